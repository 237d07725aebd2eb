// Fuzz target: the own GIF reader of the picture back ends.
#include "fuzz/picture/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  picturefuzz::Setup();
  CImage img;
  img.CreateImpl("", kImageTypeGIF);
  if (static_cast<CImageGIF*>(img.GetImpl())->LoadFromBytes(data, size)) picturefuzz::Exercise(img);
  return 0;
}
