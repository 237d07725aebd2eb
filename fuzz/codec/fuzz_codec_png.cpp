// Fuzz target: the codec layer's png decoder.
#include "fuzz/codec/fuzz_codec.h"
#include "image/codec/CodecPNG.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Checksums are not checked, so that mutated chunks reach the decoder.
  return codecfuzz::DecodeAs(data, size, CODEC_FORMAT_PNG, CCodecPNG::DECODE_IGNORE_CHECKSUMS);
}
