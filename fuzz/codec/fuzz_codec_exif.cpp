// Fuzz target: an EXIF block as it stands in a JPEG's APP1 section.
#include "fuzz/codec/fuzz_codec.h"
#include "image/codec/JpegExif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EXIFINFO info{};
  CJpegExif exif(&info);
  exif.ParseExif(data, static_cast<unsigned>(size));
  return 0;
}
