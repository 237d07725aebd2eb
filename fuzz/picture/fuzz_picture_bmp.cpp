// Fuzz target: the own BMP reader of the picture back ends.
#include "fuzz/picture/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  picturefuzz::Setup();
  HGLOBAL block = ReadDIBBytes(data, size);
  if (!block) return 0;
  CImage img;
  img.CreateImpl("", kImageTypeBMP);
  img.GetImpl()->TakeBlock(block);
  picturefuzz::Exercise(img);
  return 0;
}
