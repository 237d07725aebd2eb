// The two settings records read from arbitrary registry bytes: no read past
// the bytes given, no allocation beyond them, and an accepted record written
// back and read again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "settings/AppSettings.h"
#include "settings/GridSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const CAppSettings defaults;
  CAppSettings settings(defaults);
  if (settings.LoadFromBytes(data, size)) {
    std::vector<BYTE> first, second;
    if (!settings.WriteToBytes(first)) std::abort();
    CAppSettings again(defaults);
    if (!again.LoadFromBytes(first.data(), first.size()) || !again.WriteToBytes(second) || first != second)
      std::abort();
  }
  CGridSettings grid;
  if (grid.LoadFromBytes(data, size)) {
    BYTE bytes[CGridSettings::kStoredSize];
    grid.WriteToBytes(bytes);
    CGridSettings again;
    if (!again.LoadFromBytes(bytes, sizeof bytes) || !(again == grid)) std::abort();
  }
  return 0;
}
