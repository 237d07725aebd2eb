// The recent-file lists read from arbitrary registry bytes: no read past the
// bytes given, no allocation from a stored count, and an accepted list
// written back and read again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/RecentFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CRecentFiles designs("fuzz", 20000, 16);
  if (designs.LoadFromBytes(data, size)) {
    std::vector<BYTE> first, second;
    if (designs.WriteToBytes(first)) {
      CRecentFiles again("fuzz", 20000, 16);
      if (!again.LoadFromBytes(first.data(), first.size()) || again.GetCount() != designs.GetCount()) std::abort();
      for (int i = 0; i < designs.GetCount(); ++i) {
        if (again.GetEntry(i).path != designs.GetEntry(i).path) std::abort();
        (void)designs.GetItemText(i);
      }
    }
  } else if (!designs.IsEmpty()) {
    std::abort();
  }
  CRecentFileLst paths(20100, "fuzz", 16);
  if (paths.LoadFromBytes(data, size)) {
    std::vector<BYTE> bytes;
    if (!paths.WriteToBytes(bytes)) std::abort();
    if (bytes.size() != size || !std::equal(bytes.begin(), bytes.end(), data)) std::abort();
  } else if (paths.GetCount() != 0) {
    std::abort();
  }
  return 0;
}
