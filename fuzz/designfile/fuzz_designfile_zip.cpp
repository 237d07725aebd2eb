// The zip reader from arbitrary bytes: the bytes become an archive in a
// folder of its own, and the first design entry is unpacked. What it unpacks
// lands in that folder under a plain name and holds exactly what the
// archive declared; a refused archive leaves nothing behind. Entry names
// from the bytes give either no name or one plain file name.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/FileUtils.h"
#include "core/PathUtils.h"
#include "designfile/ZippedDesign.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "qm-zip-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    return fs::path(pattern);
  }();
  return folder;
}

// The folder's entries besides the archive; removes them.
int RemoveOthers(const fs::path& archive) {
  int others = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(Folder(), ec)) {
    if (e.path() == archive) continue;
    ++others;
    fs::remove_all(e.path(), ec);
  }
  return others;
}

void CheckEntryName(const std::uint8_t* data, std::size_t size) {
  CString name;
  if (!GetZipEntryFileName(reinterpret_cast<const char*>(data), size, name)) {
    if (!name.IsEmpty()) std::abort();
    return;
  }
  const std::string s = name.str();
  if (s.empty() || s == "." || s == ".." || s.find_first_of("/\\") != std::string::npos) std::abort();
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7F) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckEntryName(data, size);
  const fs::path archive = Folder() / "input.zip";
  {
    std::ofstream f(archive, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!f) std::abort();
  }
  CString out;
  const bool opened = OpenZippedDesign(CString(archive.string()), out);
  if (opened) {
    // The path is in the interface code page, as every path of the program.
    if (GetPathFolder(out) != CString(Folder().string().c_str()) + "/" || !FileExists(out)) std::abort();
    if (RemoveOthers(archive) != 1) std::abort();
  } else {
    if (!out.IsEmpty()) std::abort();
    if (RemoveOthers(archive) != 0) std::abort();
  }
  return 0;
}
