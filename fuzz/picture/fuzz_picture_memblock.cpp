// Fuzz target: pictures from memory blocks and from the picture block of a
// byte stream. The first byte chooses: below 0x80 its low bits pick the
// block name and the rest is the encoded picture; from 0x80 the rest is a
// byte stream holding a picture block.
#include <algorithm>
#include <vector>

#include "core/ByteStream.h"
#include "fuzz/picture/fuzz_picture.h"

namespace {

const char* const kNames[] = {".bmp", ".png", ".jpg", ".jpeg", ".gif", ".tga", ".pcx", ".emf", ".tif", ".psd"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  picturefuzz::Setup();
  if (size < 1 || size > 0x7FFFFFFF) return 0;
  const BYTE selector = data[0];
  std::vector<BYTE> rest(data + 1, data + size);
  CImage img;
  if (selector < 0x80) {
    const char* name = kNames[selector % (sizeof kNames / sizeof kNames[0])];
    // A picture that already has the block's type reaches the decoders
    // whose types have no back-end class.
    const int type = ImageTypeFromExtension(GetFileExtension(name));
    if (selector & 0x40 && type > 0) {
      img.CreateImpl("", kImageTypeBMP);
      img.SetType(type);
    }
    CImageMemBlock block(name);
    block.data = new BYTE[rest.size() + 1];
    std::copy(rest.begin(), rest.end(), block.data);
    block.size = static_cast<DWORD>(rest.size());
    if (img.LoadFromMemoryBlock(block)) picturefuzz::Exercise(img);
  } else {
    CByteStream stream(rest.data(), static_cast<int>(rest.size()));
    if (img.ReadFromStream(stream)) picturefuzz::Exercise(img);
  }
  return 0;
}
