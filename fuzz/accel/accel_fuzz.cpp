// The stored shortcut keys read from arbitrary registry bytes: no read past
// the bytes given, the entries read before a short one kept, every key text
// made without fault, and a whole table written back gives its bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/AccelTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CAccelTable table;
  const bool whole = table.LoadFromBytes(data, size);
  for (const CAccelEntry& e : table.GetEntries()) {
    CString text;
    if (!table.GetKeyText(e.command, text)) std::abort();
    (void)table.IsKeyFree(e);
  }
  if (whole) {
    const std::vector<BYTE> bytes = table.ToBytes();
    CAccelTable again;
    if (!again.LoadFromBytes(bytes.data(), bytes.size()) || again.GetEntries() != table.GetEntries()) std::abort();
  }
  return 0;
}
