// Fuzz target: a collage file (the input, unscrambled) parsed and rendered
// with its layers. Picture layers find "p.bmp" and "q.gif" beside the
// collage; pictures beyond 4 MB are refused.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ByteStream.h"
#include "image/Collage.h"
#include "image/ImageImpl.h"
#include "image/codec/BaseImage.h"
#include "platform/gdi/guiapp.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    QmEnsureGuiApplication();
    SetImageMemoryLimit(4u << 20);
    CBaseImage::SetMemoryLimit(4u << 20);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qm_fuzz_collage_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    bool ok = false;
    CImage small(6, 4, ok, RGB(200, 100, 50));
    small.SaveFile((dir / "p.bmp").string().c_str(), kImageTypeBMP);
    return dir.string();
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = Folder() + "/c.tsw";
  std::vector<BYTE> bytes(data, data + size);
  if (!bytes.empty()) {
    CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
    s.Scramble();
  }
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  CImage picture;
  CCollageBase collage;
  collage.LoadAndRender(picture, path.c_str());
  return 0;
}
