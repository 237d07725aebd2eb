// Fuzz target: the BMP reader of the PDF library's pictures.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pdflib/lib/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qmpdf::RgbImage image;
  std::string why;
  if (qmpdf::DecodeBmp(data, size, image, why)) {
    // Every pixel was written: reading them all must stay inside the picture.
    unsigned sum = 0;
    for (std::uint8_t b : image.rgb) sum += b;
    if (image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) __builtin_trap();
    (void)sum;
  }
  return 0;
}
