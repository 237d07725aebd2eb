// Fuzz target: the Photoshop reader.
#include "fuzz/picture/fuzz_picture.h"
#include "image/PsdReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  picturefuzz::Setup();
  CPsdReader reader;
  if (reader.LoadFromBytes(data, size) != kPsdOk) return 0;
  HBITMAP bitmap = reader.DetachBitmap();
  if (!bitmap) return 0;
  CImage img(bitmap);
  DeleteObject(bitmap);
  picturefuzz::ExercisePixels(*img.GetImpl());
  return 0;
}
