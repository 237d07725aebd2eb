#include <gtest/gtest.h>

#include "core/Registry.h"
#include "palette/ColorListData.h"
#include "palette/OmitName.h"
#include "platform/base/codepage.h"
#include "platform/base/resource.h"
#include "tests/common/test_util.h"
#include "tests/core/core_test_util.h"
#include "tests/palette/palette_test_util.h"

namespace {

CPaletteColor Record(const char* name, int number, DWORD count) {
  CPaletteColor c(CRgbTriple(1, 2, 3), name, count, number, 225, 0);
  return c;
}

std::vector<std::string> Names(const std::vector<CPaletteColor>& v) {
  std::vector<std::string> out;
  for (const CPaletteColor& c : v) out.push_back(c.mfgName.str());
  return out;
}

}  // namespace

TEST(ColorListDataTest, PresetsAndStoredForm) {
  const CColorListData p0(0), p1(1), p2(2), p9(9);
  EXPECT_EQ(p0.columns, (CColumnArray{{0, -7}, {2, -7}, {3, -7}}));
  EXPECT_EQ(p0.usageChangeLocked, 1);
  EXPECT_EQ(p0.allowUsageChange, 0);
  EXPECT_EQ(p1.columns, (CColumnArray{{0, -7}, {2, -7}, {16, -7}}));
  EXPECT_EQ(p1.allowUsageChange, 1);
  EXPECT_EQ(p2.columns, (CColumnArray{{0, -7}, {3, -7}, {16, -7}}));
  EXPECT_TRUE(p9.columns.empty());
  EXPECT_EQ(p9.sortDirection, 1);
  EXPECT_TRUE(p0.HasAutoWidth());

  CColorListData model(0);
  model.sortDirection = 0;
  model.sortColumn = 2;
  model.highlightShortage = 1;
  model.columns[1].width = 120;
  EXPECT_EQ(model.GetStreamSize(), 165);
  std::vector<BYTE> buffer(165, 0xEE);
  CByteStream w(buffer.data(), 165);
  ASSERT_TRUE(model.Write(w));
  EXPECT_EQ(w.GetRemaining(), 0);
  palettetest::Bytes expected;
  expected.u8(0).u8(1).u8(0).u8(1).u8(0).i32(2).u32(3).i32(0).i32(-7).i32(2).i32(120).i32(3).i32(-7).zeros(128);
  EXPECT_EQ(buffer, expected.b);

  CColorListData back(2);
  CByteStream r(buffer.data(), 165);
  ASSERT_TRUE(back.Read(r));
  back.preset = 0;
  EXPECT_TRUE(back == model);

  // Without the reserved tail the read fails.
  CByteStream shortStream(buffer.data(), 164);
  EXPECT_FALSE(back.Read(shortStream));
  // A count beyond the bytes fails without reserving room.
  palettetest::Bytes huge;
  huge.zeros(5).i32(0).u32(0xFFFFFFFFu).i32(1).i32(2);
  CByteStream h(huge.b.data(), static_cast<int>(huge.size()));
  EXPECT_FALSE(back.Read(h));
  // Writing into too little room fails.
  std::vector<BYTE> small(100);
  CByteStream ws(small.data(), 100);
  EXPECT_FALSE(model.Write(ws));

  // The later layout: the same head, then 4 bytes, a number and 124 bytes.
  palettetest::Bytes v2;
  v2.u8(1).u8(0).u8(1).u8(0).u8(1).i32(0).u32(1).i32(5).i32(40).zeros(4).i32(99).zeros(124);
  CByteStream r2(v2.b.data(), static_cast<int>(v2.size()));
  CColorListData later(0);
  ASSERT_TRUE(later.ReadV2(r2));
  EXPECT_EQ(r2.GetRemaining(), 0);
  EXPECT_EQ(later.columns, (CColumnArray{{5, 40}}));
  EXPECT_FALSE(later.HasAutoWidth());
  EXPECT_EQ(later.rememberSelection, 1);
}

TEST(ColorListDataTest, CellTexts) {
  CPaletteColor c = Record("AB-1", -3, 1234567);
  c.nickname = "nick";
  c.price = 150000;
  c.beadsPerTube = 1000;
  c.tubePrice = 123456;
  c.grams = 0.0625f;
  c.assigned = 1234000;
  c.inventory = 0;
  c.SetInUse(0);
  const char* expected[] = {"AB-1", "-3", "nick", "1 234 567", "1.50000", "1 000", "1 234.56", "0.062", "", "", "", "",
                            "", "", "1 234 000", "567", "[  ]", "1 235", "1", "1524681.60", "1234.56"};
  CColumnArray columns;
  for (int kind = 0; kind < kColumnKindCount; ++kind) columns.push_back(CColumnPair{kind, 50});
  columns.push_back(CColumnPair{21, 50});
  columns.push_back(CColumnPair{-1, 50});
  for (int kind = 0; kind < kColumnKindCount; ++kind)
    EXPECT_EQ(FormatColorCell(c, columns, kind), expected[kind]) << kind;
  EXPECT_EQ(FormatColorCell(c, columns, 21), "Unknown");
  EXPECT_EQ(FormatColorCell(c, columns, 22), "Unknown");
  c.SetInUse(1);
  c.count = 0;
  EXPECT_EQ(FormatColorCellOfKind(c, kColumnUsage), "[X]");
  EXPECT_EQ(FormatColorCellOfKind(c, kColumnCount), "");
  EXPECT_EQ(FormatCount(1234567), "1 234 567");
  EXPECT_EQ(FormatCount(0), "");

  EXPECT_EQ(GetColumnValueKind(0), kColumnValueText);
  EXPECT_EQ(GetColumnValueKind(1), kColumnValueInteger);
  EXPECT_EQ(GetColumnValueKind(7), kColumnValueReal);
  EXPECT_EQ(GetColumnValueKind(16), kColumnValueText);
  EXPECT_EQ(GetColumnValueKind(20), kColumnValueReal);
  EXPECT_EQ(GetColumnValueKind(21), kColumnValueNone);
  EXPECT_EQ(GetColumnValueKind(-1), kColumnValueNone);
}

TEST(ColorListDataTest, Sorting) {
  std::vector<CPaletteColor> colors = {Record("B", 2, 5), Record("C", -1, 1), Record("A", 10, 9)};
  CColorListData model(9);
  model.columns = {{kColumnMfgName, -7}, {kColumnIndex, -7}, {kColumnCount, -7}};
  model.sortColumn = 0;
  model.Sort(colors);
  EXPECT_EQ(Names(colors), (std::vector<std::string>{"C", "B", "A"}));  // names descend at 1
  model.sortDirection = 0;
  model.Sort(colors);
  EXPECT_EQ(Names(colors), (std::vector<std::string>{"A", "B", "C"}));
  model.sortDirection = 1;
  model.sortColumn = 1;
  model.Sort(colors);
  EXPECT_EQ(Names(colors), (std::vector<std::string>{"B", "A", "C"}));  // -1 is the largest number
  model.sortColumn = 7;  // beyond the columns: the last one (Count, descending)
  model.Sort(colors);
  EXPECT_EQ(Names(colors), (std::vector<std::string>{"A", "B", "C"}));
  model.sortColumn = -4;  // the first one
  model.Sort(colors);
  EXPECT_EQ(Names(colors), (std::vector<std::string>{"C", "B", "A"}));
  model.columns = {{21, -7}};
  model.sortColumn = 0;
  std::vector<CPaletteColor> before = colors;
  model.Sort(colors);
  EXPECT_EQ(Names(colors), Names(before));
  model.columns.clear();
  model.Sort(colors);
  EXPECT_EQ(Names(colors), Names(before));

  // Every kind has a less and a greater predicate; unknown kinds have none.
  for (int kind = 0; kind < kColumnKindCount; ++kind) {
    ASSERT_NE(GetColumnLess(kind), nullptr);
    EXPECT_FALSE(GetColumnLess(kind)(colors[0], colors[0]));
    EXPECT_FALSE(GetColumnGreater(kind)(colors[0], colors[0]));
  }
  EXPECT_EQ(GetColumnLess(21), nullptr);
  EXPECT_TRUE(GetColumnLess(kColumnCount)(colors[0], colors[2]));
  // Text keys compare as unsigned bytes.
  EXPECT_TRUE(GetColumnLess(kColumnMfgName)(Record("a", 0, 0), Record("\xE0", 0, 0)));
}

TEST(ColorListDataTest, TitlesFromTheLanguagePacks) {
  EXPECT_EQ(CColorListData::GetColumnTitleId(0), 229u);
  EXPECT_EQ(CColorListData::GetColumnTitleId(20), 249u);
  EXPECT_EQ(CColorListData::GetColumnTitleId(21), 250u);
  EXPECT_EQ(CColorListData::GetColumnTitleId(-1), 250u);
  for (bool russian : {false, true}) {
    qmtest::LanguagePack pack(russian);
    ASSERT_TRUE(pack.Loaded());
    for (int kind = -1; kind <= 21; ++kind) EXPECT_FALSE(CColorListData::GetColumnTitle(kind).IsEmpty()) << kind;
    if (!russian) {
      EXPECT_EQ(CColorListData::GetColumnTitle(4), "Cost\\bead");
      EXPECT_EQ(CColorListData::GetColumnTitle(21), "Unknown");
    } else {
      EXPECT_EQ(CodePageToUtf8(CColorListData::GetColumnTitle(21).str(), 1251), "Неизвестно");
    }
  }
}

TEST(OmitNameTest, StoredFormAndRegistry) {
  COmitName::Detached detached;
  COmitName a(detached);
  a.firstFlag = 1;
  a.omitCount = 3;
  a.secondFlag = 0;
  BYTE buffer[4] = {9, 9, 9, 9};
  CByteStream w(buffer, 4);
  ASSERT_TRUE(a.Write(w));
  EXPECT_EQ(buffer[0], 1);
  EXPECT_EQ(buffer[1], 3);
  EXPECT_EQ(buffer[3], 0);
  BYTE odd[4] = {7, 5, 1, 0};
  CByteStream r(odd, 4);
  COmitName b(detached);
  ASSERT_TRUE(b.Read(r));
  EXPECT_EQ(b.firstFlag, 0);  // not 0 or 1
  EXPECT_EQ(b.omitCount, 5);
  EXPECT_EQ(b.secondFlag, 1);
  CByteStream shortStream(odd, 3);
  EXPECT_FALSE(b.Read(shortStream));

  // The registry-backed record: defaults when nothing is stored, stored on
  // destruction, read back by the next one.
  {
    COmitName stored;
    EXPECT_EQ(stored.omitCount, 0);
    stored.omitCount = 4;
    stored.secondFlag = 1;
  }
  COmitName again;
  EXPECT_EQ(again.omitCount, 4);
  EXPECT_EQ(again.secondFlag, 1);
  std::vector<BYTE> raw;
  ASSERT_TRUE(ReadProgramBinaryValue(COmitName::kValueName, raw));
  EXPECT_EQ(raw, (std::vector<BYTE>{0, 4, 1, 0}));
  ASSERT_TRUE(WriteProgramBinaryValue(COmitName::kValueName, {1, 2}));
  COmitName shortValue;
  EXPECT_EQ(shortValue.omitCount, 0);
}

using coretest::Stored;

// The PDF chart's colour table keeps its columns in the stored layout that
// the colour lists build on.
TEST(ColorListDataTest, ColourListsOfAStoredLayout) {
  for (int preset : {0, 1, 2}) {
    CColorColumnLayout layout(preset);
    CColorListData list(preset);
    EXPECT_EQ(Stored(layout, layout.GetStreamSize()), Stored(list, list.GetStreamSize())) << preset;
    layout.columns.push_back(CColumnPair{7, 44});
    layout.sortColumn = 1;
    const CColorListData converted(layout);
    EXPECT_EQ(Stored(layout, layout.GetStreamSize()), Stored(converted, converted.GetStreamSize()));
    CColorColumnLayout back(9);
    back = converted;
    EXPECT_EQ(back, layout);
  }
}
