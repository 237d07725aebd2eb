// Fuzz target: a packed DIB in a global memory block, as the clipboard
// hands it over (CF_DIB).
#include <cstring>

#include "fuzz/codec/fuzz_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  codecfuzz::Setup();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return 0;
  if (size) std::memcpy(GlobalLock(block), data, size);
  GlobalUnlock(block);
  CBaseImage img;
  if (img.CreateFromHANDLE(block)) codecfuzz::Exercise(img);
  GlobalFree(block);
  return 0;
}
