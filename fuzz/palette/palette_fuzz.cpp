// Arbitrary bytes as a palette file (enciphered or text), as a plain palette
// body, as the older palette record of design files and as a colour-list
// set-up. Whatever reads must write and read back to the same colours.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "palette/ColorListData.h"
#include "palette/ColorSet.h"
#include "palette/OmitName.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckRoundTrip(CColorSet& set) {
  std::vector<BYTE> bytes;
  if (!set.SaveToBytes(bytes)) return;
  CColorSet back;
  Check(back.LoadPaletteFromBytes(bytes.data(), bytes.size()));
  Check(back.GetCount() == set.GetCount());
  for (int i = 0; i < set.GetCount(); ++i) {
    const CPaletteColor& a = set.GetItem(i);
    const CPaletteColor& b = back.GetItem(i);
    Check(a.GetColorref() == b.GetColorref() && a.mfgName == b.mfgName && a.price == b.price &&
          a.symbol == b.symbol && a.miscInfo == b.miscInfo);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  std::vector<BYTE> bytes(data, data + size);

  CColorSet file;
  if (file.LoadPaletteFromBytes(bytes.data(), bytes.size())) CheckRoundTrip(file);

  {
    std::vector<BYTE> copy = bytes;
    CByteStream stream(copy.data(), static_cast<int>(copy.size()));
    CColorSet body;
    if (body.ReadBody(stream)) CheckRoundTrip(body);
  }
  for (bool withCounts : {false, true}) {
    std::vector<BYTE> copy = bytes;
    CByteStream stream(copy.data(), static_cast<int>(copy.size()));
    CColorSet old;
    if (old.ReadFromDesign(stream, withCounts)) CheckRoundTrip(old);
  }
  {
    std::vector<BYTE> copy = bytes;
    CByteStream stream(copy.data(), static_cast<int>(copy.size()));
    CColorListData list(0);
    if (list.Read(stream)) {
      std::vector<BYTE> out(static_cast<size_t>(list.GetStreamSize()));
      CByteStream w(out.data(), static_cast<int>(out.size()));
      Check(list.Write(w));
      CByteStream r(out.data(), static_cast<int>(out.size()));
      CColorListData back(1);
      Check(back.Read(r));
      back.preset = list.preset;
      Check(back == list);
      std::vector<CPaletteColor> colors(3);
      list.Sort(colors);
      for (int p = 0; p < static_cast<int>(list.columns.size()) && p < 64; ++p)
        FormatColorCell(colors[0], list.columns, p);
    }
    CByteStream again(copy.data(), static_cast<int>(copy.size()));
    COmitName option{COmitName::Detached{}};
    option.Read(again);
  }
  return 0;
}
