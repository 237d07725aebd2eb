// Fuzz target: the codec layer's ico decoder.
#include "fuzz/codec/fuzz_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return codecfuzz::DecodeAs(data, size, CODEC_FORMAT_ICO);
}
