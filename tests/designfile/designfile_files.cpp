#include "tests/designfile/designfile_files.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

#include "designfile/DesignFile.h"
#include "tests/designfile/designfile_fixtures.h"

namespace dftest {

namespace fs = std::filesystem;

fs::path WriteBlankDesignFile(const fs::path& path, int columns, int rows) {
  CPattern design;
  MakeDesign(design, columns, rows, 3, true);
  CColorSet palette;
  MakePalette(palette, 3);
  CString picturePath, reason;
  EXPECT_TRUE(SaveDesignFile(Path(path), design, palette, "pal.pal", picturePath, nullptr, nullptr, &reason))
      << reason.GetString();
  return path;
}

namespace {

void Put16(std::vector<unsigned char>& b, unsigned v) {
  b.push_back(static_cast<unsigned char>(v & 0xFF));
  b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}
void Put32(std::vector<unsigned char>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

void WriteZip(const fs::path& path, const std::vector<ZipEntry>& entries) {
  std::vector<unsigned char> out, central;
  for (const ZipEntry& e : entries) {
    const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    const std::uint32_t crc = e.crc >= 0 ? static_cast<std::uint32_t>(e.crc)
                                         : static_cast<std::uint32_t>(crc32(0L, e.data.data(), static_cast<uInt>(e.data.size())));
    const std::uint32_t size = static_cast<std::uint32_t>(e.data.size());
    const std::uint32_t declared = e.declaredSize >= 0 ? static_cast<std::uint32_t>(e.declaredSize) : size;
    // Local header: stored, the stored bytes' count as compressed size.
    Put32(out, 0x04034b50);
    Put16(out, 20);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, crc);
    Put32(out, size);
    Put32(out, declared);
    Put16(out, static_cast<unsigned>(e.name.size()));
    Put16(out, 0);
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), e.data.begin(), e.data.end());
    Put32(central, 0x02014b50);
    Put16(central, 20);
    Put16(central, 20);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, crc);
    Put32(central, size);
    Put32(central, declared);
    Put16(central, static_cast<unsigned>(e.name.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.folder ? 0x10 : 0x20);
    Put32(central, offset);
    central.insert(central.end(), e.name.begin(), e.name.end());
  }
  const std::uint32_t centralOffset = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), central.begin(), central.end());
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<unsigned>(entries.size()));
  Put16(out, static_cast<unsigned>(entries.size()));
  Put32(out, static_cast<std::uint32_t>(central.size()));
  Put32(out, centralOffset);
  Put16(out, 0);
  qmtest::WriteAll(path, out);
}

std::vector<std::string> ListFolder(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace dftest
