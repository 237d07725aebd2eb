// Shared by the tests that read designs from files and archives (here and
// in tests/view): a blank design file written by the program's writer, a
// hand-made zip writer whose entries may lie, and a folder listing.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace dftest {

// A blank loom design of columns x rows beads written by SaveDesignFile.
std::filesystem::path WriteBlankDesignFile(const std::filesystem::path& path, int columns = 4, int rows = 3);

// One entry of a zip archive written by hand: stored (no compression) with
// the sizes and CRC given, or the true ones when left at -1.
struct ZipEntry {
  std::string name;
  std::vector<unsigned char> data;
  long long declaredSize = -1;
  long long crc = -1;
  bool folder = false;
};
void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);
// The names in a folder, sorted.
std::vector<std::string> ListFolder(const std::filesystem::path& folder);

}  // namespace dftest
