#include "pdflib/lib/bmp.h"

#include <cstring>

namespace qmpdf {
namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// A channel of a bit-field pixel scaled to 0-255.
struct Field {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Field(std::uint32_t m) : mask(m) {
    if (!m) return;
    while (!(m & 1)) {
      m >>= 1;
      ++shift;
    }
    max = m;
  }
  std::uint8_t Get(std::uint32_t px) const {
    if (!mask) return 0;
    const std::uint64_t v = (px & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }
};

}  // namespace

bool IsBmp(const std::uint8_t* data, std::size_t size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbImage& out, std::string& why) {
  constexpr std::size_t kFileHeader = 14;
  if (size < kFileHeader + 12 || !IsBmp(data, size)) return why = "not a bitmap file", false;
  const std::uint32_t pixelOffset = U32(data + 10);
  const std::uint8_t* info = data + kFileHeader;
  const std::uint32_t infoSize = U32(info);
  std::int64_t width = 0, height = 0;
  int bits = 0;
  std::uint32_t compression = 0, colorsUsed = 0;
  std::size_t paletteEntry = 4;
  if (infoSize == 12) {  // core header
    width = U16(info + 4);
    height = static_cast<std::int16_t>(U16(info + 6));
    bits = U16(info + 10);
    paletteEntry = 3;
  } else if (infoSize >= 40 && infoSize <= 124) {
    if (size < kFileHeader + infoSize) return why = "truncated header", false;
    width = static_cast<std::int32_t>(U32(info + 4));
    height = static_cast<std::int32_t>(U32(info + 8));
    bits = U16(info + 14);
    compression = U32(info + 16);
    colorsUsed = U32(info + 32);
  } else {
    return why = "unknown header size", false;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return why = "bad picture size", false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return why = "unsupported bit depth", false;

  // Bit fields: after a 40-byte header they follow it; larger headers hold them.
  std::uint32_t masks[3] = {0, 0, 0};
  if (compression == 3) {
    if (bits != 16 && bits != 32) return why = "bit fields need 16 or 32 bits", false;
    const std::size_t at = kFileHeader + 40;
    if (size < at + 12) return why = "truncated bit fields", false;
    for (int i = 0; i < 3; ++i) masks[i] = U32(data + at + 4 * i);
  } else if (compression == 0) {
    if (bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  } else {
    return why = "compressed bitmaps are not supported", false;
  }

  // Palette.
  std::uint8_t palette[256][3] = {};
  std::size_t paletteSize = 0;
  if (bits <= 8) {
    const std::size_t maxColors = std::size_t(1) << bits;
    paletteSize = colorsUsed == 0 || colorsUsed > maxColors ? maxColors : colorsUsed;
    const std::size_t at = kFileHeader + infoSize + (compression == 3 && infoSize == 40 ? 12 : 0);
    if (at > size || (size - at) / paletteEntry < paletteSize) return why = "truncated palette", false;
    for (std::size_t i = 0; i < paletteSize; ++i) {
      const std::uint8_t* e = data + at + i * paletteEntry;
      palette[i][0] = e[2];
      palette[i][1] = e[1];
      palette[i][2] = e[0];
    }
  }

  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  if (pixelOffset > size || (size - pixelOffset) / stride < static_cast<std::uint64_t>(height))
    return why = "pixel data shorter than the picture", false;

  const Field fr(masks[0]), fg(masks[1]), fb(masks[2]);
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
  for (std::int64_t y = 0; y < height; ++y) {
    const std::int64_t fileRow = topDown ? y : height - 1 - y;
    const std::uint8_t* row = data + pixelOffset + static_cast<std::size_t>(fileRow) * stride;
    std::uint8_t* o = out.rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    for (std::int64_t x = 0; x < width; ++x, o += 3) {
      if (bits <= 8) {
        const std::size_t bitPos = static_cast<std::size_t>(x) * bits;
        const unsigned byte = row[bitPos / 8];
        const unsigned index = (byte >> (8 - bits - bitPos % 8)) & ((1u << bits) - 1);
        if (index < paletteSize) std::memcpy(o, palette[index], 3);
      } else if (bits == 24) {
        const std::uint8_t* p = row + x * 3;
        o[0] = p[2], o[1] = p[1], o[2] = p[0];
      } else {
        const std::uint32_t px = bits == 16 ? U16(row + x * 2) : U32(row + x * 4);
        o[0] = fr.Get(px), o[1] = fg.Get(px), o[2] = fb.Get(px);
      }
    }
  }
  return true;
}

}  // namespace qmpdf
