#include "pdflib/lib/png.h"

#include <png.h>

#include <cstring>

namespace qmpdf {

bool IsPng(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return size >= 8 && std::memcmp(data, sig, 8) == 0;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, RgbImage& out, std::vector<std::uint8_t>& alpha,
               std::string& why) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!IsPng(data, size) || !png_image_begin_read_from_memory(&image, data, size))
    return why = image.message[0] ? image.message : "not a PNG file", false;
  // Deflate packs at most about 1032 bytes into one: a picture larger than
  // the file can hold is refused before its pixels are allocated.
  const std::uint64_t pixels = static_cast<std::uint64_t>(image.width) * image.height;
  const std::uint64_t channels = PNG_IMAGE_SAMPLE_CHANNELS(image.format);
  const std::uint64_t raw = static_cast<std::uint64_t>(image.height) +
                            pixels * channels * PNG_IMAGE_SAMPLE_COMPONENT_SIZE(image.format) / 8;
  if (image.width == 0 || image.height == 0 || image.width > 65535 || image.height > 65535 ||
      raw / 1032 > static_cast<std::uint64_t>(size) + 64) {
    png_image_free(&image);
    return why = "picture size beyond what the file holds", false;
  }
  const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = hasAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixelsOut(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixelsOut.data(), 0, nullptr)) {
    why = image.message;
    png_image_free(&image);
    return false;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  alpha.clear();
  if (!hasAlpha) {
    out.rgb = std::move(pixelsOut);
    return true;
  }
  out.rgb.resize(static_cast<std::size_t>(pixels) * 3);
  alpha.resize(static_cast<std::size_t>(pixels));
  bool opaque = true;
  for (std::size_t i = 0; i < pixels; ++i) {
    std::memcpy(&out.rgb[i * 3], &pixelsOut[i * 4], 3);
    alpha[i] = pixelsOut[i * 4 + 3];
    opaque = opaque && alpha[i] == 255;
  }
  if (opaque) alpha.clear();
  return true;
}

}  // namespace qmpdf
