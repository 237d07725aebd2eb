// Records of the workbook stream: their bytes, CONTINUE splitting, the
// shared-string layout, merged ranges, string storage, and reading back.
#include <gtest/gtest.h>

#include "tests/xls/xls_test_util.h"
#include "xls/BiffWorkbook.h"
#include "xls/BiffWorksheet.h"

using namespace xlstest;
using Blank = Biff::Worksheet::CellTable::RowBlock::CellBlock::Blank;
using Number = Biff::Worksheet::CellTable::RowBlock::CellBlock::Number;
using StringRecord = Biff::Worksheet::CellTable::RowBlock::CellBlock::Formula::String;
using SST = Biff::Workbook::SharedStringTable;

namespace {

template <typename R>
Bytes Written(R& record) {
  Bytes out(record.RecordSize() + 16, 0xEE);
  const DWORD n = record.Write(out.data());
  EXPECT_EQ(n, record.RecordSize());
  out.resize(n);
  return out;
}

Bytes Utf16(const std::u16string& s) {
  Bytes b;
  for (char16_t u : s) {
    b.push_back(static_cast<std::uint8_t>(u));
    b.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The SST's strings decoded by the format's rules from the written bytes:
// at a CONTINUE boundary inside a string's characters an option byte gives
// the width of what follows; heads are never split.
struct DecodedSst {
  std::uint32_t total = 0, unique = 0;
  std::vector<std::u16string> strings;
  std::vector<RecordAt> records;  // the SST and its CONTINUE records
  bool ok = true;
};

DecodedSst DecodeSst(const Bytes& bytes) {
  DecodedSst d;
  std::vector<Bytes> pieces;
  for (const RecordAt& r : WalkRecords(bytes, 0)) {
    if (pieces.empty() ? r.id != 0x00FC : r.id != 0x003C) break;
    d.records.push_back(r);
    pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(r.offset + 4),
                        bytes.begin() + static_cast<std::ptrdiff_t>(r.offset + 4 + r.length));
  }
  size_t p = 0, at = 0;
  const auto byte = [&]() -> std::uint8_t {
    if (p >= pieces.size() || at >= pieces[p].size()) {
      d.ok = false;
      return 0;
    }
    return pieces[p][at++];
  };
  const auto u16 = [&] { return static_cast<std::uint16_t>(byte() | (byte() << 8)); };
  d.total = u16() | (static_cast<std::uint32_t>(u16()) << 16);
  d.unique = u16() | (static_cast<std::uint32_t>(u16()) << 16);
  for (std::uint32_t i = 0; i < d.unique && d.ok; ++i) {
    if (at == pieces[p].size()) {
      ++p;
      at = 0;
    }
    const std::uint16_t count = u16();
    bool wide = (byte() & 1) != 0;
    std::u16string s;
    while (s.size() < count && d.ok) {
      if (at == pieces[p].size()) {
        ++p;
        at = 0;
        wide = (byte() & 1) != 0;
      }
      s += wide ? static_cast<char16_t>(u16()) : static_cast<char16_t>(byte());
    }
    d.strings.push_back(s);
  }
  if (p + 1 != pieces.size() || at != pieces[p].size()) d.ok = false;
  return d;
}

SST MakeSst(const std::vector<std::u16string>& strings, UINT codePage = 1252) {
  CodePageScope scope(codePage);
  SST sst;
  for (const std::u16string& s : strings) {
    XlsLongString entry;
    // Narrow when the characters fit in Latin-1 (stored 8-bit), else wide.
    bool latin1 = true;
    for (char16_t u : s) latin1 = latin1 && u <= 0xFF && u != 0x80;
    if (latin1) {
      std::string bytes(s.begin(), s.end());
      entry = CString(bytes);
    } else {
      entry = std::u16string_view(s);
    }
    sst.entries.push_back(entry);
  }
  sst.uniqueCount = sst.totalCount = static_cast<DWORD>(strings.size());
  return sst;
}

}  // namespace

TEST(BiffRecordsTest, GoldenBytesOfSingleRecords) {
  Number number;
  number.row = 1;
  number.column = 2;
  number.xfIndex = 15;
  number.value = 1.5;
  EXPECT_EQ(Written(number), (Bytes{0x03, 0x02, 0x0E, 0x00, 1, 0, 2, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));

  Biff::Workbook::Font font;
  EXPECT_EQ(font.DataSize(), 26u);
  EXPECT_EQ(Written(font), Cat({{0x31, 0x00, 0x1A, 0x00, 0xC8, 0x00, 0x00, 0x00, 0xFF, 0x7F, 0x90, 0x01, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x05, 0x01},
                                Utf16(u"Arial")}));

  Biff::Workbook::BoundSheet sheet;
  sheet.streamPosition = 0x01020304;
  EXPECT_EQ(sheet.DataSize(), 14u);
  EXPECT_EQ(Written(sheet),
            (Bytes{0x85, 0x00, 0x0E, 0x00, 4, 3, 2, 1, 0, 0, 6, 0, 'S', 'h', 'e', 'e', 't', '1'}));

  Biff::Worksheet::Window2 window;
  EXPECT_EQ(Written(window), (Bytes{0x3E, 0x02, 18, 0, 0xB6, 0x06, 0, 0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(BiffRecordsTest, LongDataGoesOnInContinueRecords) {
  struct Case {
    size_t dataSize;
    std::vector<std::uint16_t> pieces;
  };
  for (const Case& c : {Case{8224, {8224}}, Case{8225, {8224, 1}}, Case{20000, {8224, 8224, 3552}}}) {
    StringRecord record;
    record.bytes.resize(c.dataSize);
    for (size_t i = 0; i < c.dataSize; ++i) record.bytes[i] = static_cast<BYTE>(i);
    const Bytes out = Written(record);
    EXPECT_EQ(out.size(), c.dataSize + 4 * c.pieces.size());
    const auto records = WalkRecords(out, 0);
    ASSERT_EQ(records.size(), c.pieces.size());
    for (size_t k = 0; k < records.size(); ++k) {
      EXPECT_EQ(records[k].id, k == 0 ? 0x0207 : 0x003C);
      EXPECT_EQ(records[k].length, c.pieces[k]);
    }
    // Read back whole, CONTINUE data joined.
    StringRecord back;
    EXPECT_EQ(back.Read(out.data(), out.size()), out.size());
    EXPECT_EQ(back.bytes, record.bytes);
  }
}

TEST(BiffRecordsTest, SharedStringsSplitOnlyWhereAReaderCanFollow) {
  // Fillers of 8-bit characters put the entry under test where it must be.
  const auto filler = [](size_t n, char16_t ch) { return std::u16string(n, ch); };
  const std::u16string hundred8(100, u'x');
  const std::u16string hundred16(100, u'\u0416');
  struct Case {
    const char* name;
    std::vector<std::u16string> strings;
    std::vector<std::uint16_t> lengths;  // SST then each CONTINUE
    std::vector<int> continueFirstByte;  // -1: a head, else the option byte
  };
  const Case cases[] = {
      // Starts 50 bytes before the end: 47 characters stay, the CONTINUE
      // starts with option byte 0 and holds the other 53.
      {"8-bit split", {filler(4080, u'a'), filler(4080, u'b'), hundred8, u"end"}, {8224, 1 + 53 + 6}, {0}},
      // 16-bit with an even room: one byte earlier, whole characters only.
      {"16-bit split", {filler(4080, u'a'), filler(4080, u'b'), hundred16, u"end"}, {8223, 1 + 154 + 6}, {1}},
      // Less than 12 bytes left: the entry starts the next CONTINUE whole.
      {"short head moves", {filler(4100, u'a'), filler(4100, u'b'), hundred8}, {8214, 103}, {-1}},
      // The rest of an entry fills a CONTINUE exactly: the next entry starts
      // a CONTINUE of its own, with no option byte before it.
      {"8-bit exact end", {filler(8213 + 8223, u'a'), u"next"}, {8224, 8224, 7}, {0, -1}},
      {"16-bit exact end", {std::u16string(4106 + 4111, u'\u0416'), u"next"}, {8223, 8223, 7}, {1, -1}},
      // An entry over several records.
      {"three records", {filler(20000, u'z'), u"tail"}, {8224, 8224, 1 + 3564 + 7}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SST sst = MakeSst(c.strings);
    const Bytes out = Written(sst);
    const DecodedSst decoded = DecodeSst(out);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.strings, c.strings);
    ASSERT_EQ(decoded.records.size(), c.lengths.size());
    for (size_t k = 0; k < c.lengths.size(); ++k) EXPECT_EQ(decoded.records[k].length, c.lengths[k]) << k;
    for (size_t k = 0; k < c.continueFirstByte.size(); ++k) {
      const RecordAt& r = decoded.records[k + 1];
      const int first = out[r.offset + 4];
      if (c.continueFirstByte[k] >= 0)
        EXPECT_EQ(first, c.continueFirstByte[k]) << k;
      else  // a head: the next entry's character count
        EXPECT_EQ(U16(out, r.offset + 4), c.strings.back().size()) << k;
    }
    // The writer's own reader agrees.
    SST back;
    EXPECT_EQ(back.Read(out.data(), out.size()), out.size());
    ASSERT_EQ(back.entries.size(), c.strings.size());
    for (size_t i = 0; i < c.strings.size(); ++i) EXPECT_EQ(back.entries[i].GetUnits(), c.strings[i]) << i;
  }
}

TEST(BiffRecordsTest, NarrowTextsAreStoredByTheirCharacters) {
  struct Case {
    UINT codePage;
    const char* utf8;
    bool is16;
    std::u16string units;
  };
  const Case cases[] = {
      {1252, "plain", false, u"plain"},
      {1252, "caf\u00e9", false, u"caf\u00e9"},
      {1252, "\u20ac 5", true, u"\u20ac 5"},
      {1251, "\u00ab\u00bb", false, u"\u00ab\u00bb"},
      {1251, "\u041a\u0440\u0430\u0441\u043d\u044b\u0439", true, u"\u041a\u0440\u0430\u0441\u043d\u044b\u0439"},
  };
  for (const Case& c : cases) {
    CodePageScope scope(c.codePage);
    const CString narrow = FromUtf8(c.utf8);
    XlsLongString s(narrow);
    EXPECT_EQ(s.Is16Bit(), c.is16) << c.utf8;
    EXPECT_EQ(s.GetUnits(), c.units) << c.utf8;
    XlsShortString name;
    name = narrow;
    EXPECT_EQ(name.GetOption(), c.is16 ? 1 : 0) << c.utf8;
    EXPECT_EQ(name.Size(), 2 + c.units.size() * (c.is16 ? 2 : 1)) << c.utf8;
    // Read back, the narrow text comes back in the code page.
    SST sst;
    sst.entries.push_back(s);
    sst.totalCount = sst.uniqueCount = 1;
    const Bytes out = Written(sst);
    SST back;
    ASSERT_NE(back.Read(out.data(), out.size()), 0u);
    CString again;
    EXPECT_TRUE(back.entries[0].GetNarrow(again));
    EXPECT_EQ(again, narrow) << c.utf8;
  }
  // Long strings keep 65535 code units; short ones 255.
  CodePageScope scope(1252);
  XlsLongString longText(CString(std::string(70000, 'q')));
  EXPECT_EQ(longText.GetUnits().size(), 65535u);
  XlsShortString shortText;
  shortText = CString(std::string(300, 'q'));
  EXPECT_EQ(shortText.Size(), 2u + 255u);
}

TEST(BiffRecordsTest, MergedRangesGoInRecordsOf1027) {
  Biff::Worksheet::MergedCells merged;
  for (int i = 0; i < 1028; ++i) {
    Biff::Worksheet::MergedCells::MergedCell range;
    range.firstRow = range.lastRow = static_cast<WORD>(i);
    range.firstColumn = 0;
    range.lastColumn = 1;
    merged.ranges.push_back(range);
  }
  EXPECT_EQ(merged.Size(), 8u * 1028 + 12);
  Bytes out(merged.Size());
  EXPECT_EQ(merged.Write(out.data()), out.size());
  const auto records = WalkRecords(out, 0);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].id, 0x00E5);
  EXPECT_EQ(records[0].length, 8 * 1027 + 2);
  EXPECT_EQ(U16(out, 4), 1027);
  EXPECT_EQ(records[1].length, 10);
  EXPECT_EQ(U16(out, records[1].offset + 4), 1);
  EXPECT_EQ(U16(out, records[1].offset + 6), 1027);  // first row of the last range
  Biff::Worksheet::MergedCells back;
  size_t at = 0;
  for (const RecordAt& r : records) at += back.Read(out.data() + r.offset, out.size() - r.offset);
  EXPECT_EQ(at, out.size());
  EXPECT_EQ(back.ranges.size(), 1028u);
}

TEST(BiffRecordsTest, ReadersRefuseShortOrForeignBytes) {
  Blank blank;
  blank.row = 3;
  const Bytes out = Written(blank);
  for (size_t n = 0; n < out.size(); ++n) {
    Blank back;
    EXPECT_EQ(back.Read(out.data(), n), 0u) << n;
  }
  Number other;
  EXPECT_EQ(other.Read(out.data(), out.size()), 0u);  // another record's id
  // A length that claims more than the record holds.
  Bytes lying = out;
  lying[2] = 2;
  Blank back;
  EXPECT_EQ(back.Read(lying.data(), lying.size()), 0u);
  // A 16-bit string whose characters are cut at a CONTINUE boundary.
  const Bytes sst = {0xFC, 0x00, 12, 0, 1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 1, 0x16,
                     0x3C, 0x00, 3, 0, 0x04, 0x16, 0x04};
  SST broken;
  EXPECT_EQ(broken.Read(sst.data(), sst.size()), 0u);
}
