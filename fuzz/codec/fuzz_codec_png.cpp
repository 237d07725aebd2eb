// Fuzz target: the codec layer's png decoder.
#include "fuzz/codec/fuzz_codec.h"
#include "image/codec/ImagePNG.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Checksums are not checked, so that mutated chunks reach the decoder.
  return codecfuzz::DecodeAs(data, size, CXIMAGE_FORMAT_PNG, CxImagePNG::DECODE_IGNORE_CHECKSUMS);
}
