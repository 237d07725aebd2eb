// The workbook model, cell formats and the workbook stream: sheets and
// cells, the format table, RK numbers, the records a sheet becomes, stream
// offsets, golden files and reading back.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "tests/common/test_util.h"
#include "tests/xls/xls_test_util.h"
#include "xls/Rk.h"
#include "xls/XlsText.h"
#include "xls/XlsStyle.h"

using namespace xlstest;

namespace {

constexpr std::uint16_t kBof = 0x0809, kEof = 0x000A, kWindow1 = 0x003D, kFont = 0x0031, kXf = 0x00E0,
                        kStyle = 0x0293, kBoundSheet = 0x0085, kSst = 0x00FC, kIndex = 0x020B,
                        kDimensions = 0x0200, kRow = 0x0208, kBlank = 0x0201, kLabelSst = 0x00FD,
                        kMulRk = 0x00BD, kNumber = 0x0203, kRk = 0x027E, kDbCell = 0x00D7, kWindow2 = 0x023E,
                        kMerged = 0x00E5, kContinue = 0x003C, kFormula = 0x0006, kArray = 0x0221, kString = 0x0207;

Bytes StreamOf(XlsDocument& doc) {
  Bytes stream;
  doc.BuildStreamBytes(stream);
  return stream;
}

std::vector<std::uint16_t> Ids(const Bytes& stream, size_t from = 0) {
  std::vector<std::uint16_t> ids;
  for (const RecordAt& r : WalkRecords(stream, from)) ids.push_back(r.id);
  return ids;
}

// The ids with runs of one id shown once with their count: {id, count}.
std::vector<std::pair<std::uint16_t, int>> Runs(const std::vector<std::uint16_t>& ids) {
  std::vector<std::pair<std::uint16_t, int>> runs;
  for (std::uint16_t id : ids) {
    if (!runs.empty() && runs.back().first == id)
      ++runs.back().second;
    else
      runs.push_back({id, 1});
  }
  return runs;
}

// The cell records of one sheet's stream part, in order.
std::vector<RecordAt> CellRecords(const Bytes& stream, size_t sheetOffset) {
  std::vector<RecordAt> cells;
  for (const RecordAt& r : WalkRecords(stream, sheetOffset)) {
    if (r.id == kEof) break;
    if (r.id == kBlank || r.id == kLabelSst || r.id == kMulRk || r.id == kNumber || r.id == kRk || r.id == kFormula)
      cells.push_back(r);
  }
  return cells;
}

size_t FirstSheetOffset(const Bytes& stream) {
  for (const RecordAt& r : WalkRecords(stream, 0))
    if (r.id == kBoundSheet) return U32(stream, r.offset + 4);
  return 0;
}

}  // namespace

TEST(XlsModelTest, NewWorkbooksAndTheirSheets) {
  CodePageScope scope(1252);
  XlsDocument doc;
  EXPECT_EQ(doc.GetWorksheet(0), nullptr);
  doc.New(3);
  ASSERT_EQ(doc.GetSheetCount(), 3);
  const auto& wb = doc.GetWorkbookRecords();
  EXPECT_EQ(wb.fonts.size(), 1u);
  EXPECT_EQ(wb.xfs.size(), 21u);
  EXPECT_EQ(wb.styles.size(), 6u);
  ASSERT_EQ(wb.boundSheets.size(), 3u);
  const char* names[] = {"Sheet1", "Sheet2", "Sheet3"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(wb.boundSheets[static_cast<size_t>(i)].name.GetNarrow(), names[i]);
    EXPECT_EQ(doc.GetWorksheet(i)->GetIndex(), i);
    // Only the first sheet is selected.
    EXPECT_EQ(doc.GetWorksheetRecords(i).window2.options, i == 0 ? 0x06B6 : 0x04B6) << i;
  }
  const Bytes stream = StreamOf(doc);
  int selected = 0;
  for (const RecordAt& r : WalkRecords(stream, 0))
    if (r.id == kWindow2) selected += (U16(stream, r.offset + 4) & 0x0200) ? 1 : 0;
  EXPECT_EQ(selected, 1);
  doc.New(0);
  EXPECT_EQ(doc.GetSheetCount(), 1);
  EXPECT_EQ(doc.GetWorkbookRecords().boundSheets.size(), 1u);
}

TEST(XlsModelTest, AddingSheetsByNameAndNumber) {
  CodePageScope scope(1252);
  XlsDocument doc;
  doc.New(1);
  ASSERT_NE(doc.AddWorksheet(CString("Sheet3"), -1), nullptr);
  XlsSheet* numbered = doc.AddWorksheet(-1);
  ASSERT_NE(numbered, nullptr);
  EXPECT_EQ(doc.GetWorkbookRecords().boundSheets[2].name.GetNarrow(), "Sheet4");
  EXPECT_EQ(doc.AddWorksheet(CString("sheet1"), -1), nullptr);
  EXPECT_EQ(doc.AddWorksheet(CString(std::string(32, 'x')), -1), nullptr);
  EXPECT_EQ(doc.AddWorksheet(CString(""), -1), nullptr);
  EXPECT_NE(doc.AddWorksheet(CString(std::string(31, 'x')), 99), nullptr);
  EXPECT_EQ(doc.GetSheetCount(), 4);
  XlsSheet* front = doc.AddWorksheet(CString("Front"), 0);
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(doc.GetWorksheet(0), front);
  for (int i = 0; i < doc.GetSheetCount(); ++i) EXPECT_EQ(doc.GetWorksheet(i)->GetIndex(), i);
  EXPECT_EQ(doc.GetWorkbookRecords().boundSheets[1].name.GetNarrow(), "Sheet1");
  EXPECT_EQ(doc.GetWorksheetRecords(0).window2.options & 0x0200, 0);
  EXPECT_EQ(doc.GetWorksheet(5), nullptr);
  EXPECT_EQ(doc.GetWorksheet(-1), nullptr);
}

TEST(XlsModelTest, CellsGrowTheGridAndHoldOneValue) {
  XlsDocument doc;
  doc.New(1);
  XlsSheet* sheet = doc.GetWorksheet(0);
  EXPECT_EQ(sheet->GetRowCount(), 0);
  XlsCell* cell = sheet->Cell(2, 5);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(sheet->GetRowCount(), 3);
  EXPECT_EQ(sheet->GetColumnCount(), 6);
  cell->SetInteger(4);
  for (auto [r, c] : {std::pair{65536, 0}, {0, 256}, {-1, 0}, {0, -1}}) EXPECT_EQ(sheet->Cell(r, c), nullptr);
  EXPECT_EQ(sheet->GetRowCount(), 3);
  EXPECT_EQ(sheet->GetColumnCount(), 6);
  doc.New(1);
  EXPECT_NE(doc.GetWorksheet(0)->Cell(65535, 0), nullptr);
  doc.New(1);
  EXPECT_NE(doc.GetWorksheet(0)->Cell(0, 255), nullptr);
  doc.New(1);
  sheet = doc.GetWorksheet(0);
  sheet->Cell(2, 5)->SetInteger(4);
  const Bytes stream = StreamOf(doc);
  int blanks = 0, rks = 0;
  for (const RecordAt& r : CellRecords(stream, FirstSheetOffset(stream))) {
    blanks += r.id == kBlank;
    rks += r.id == kRk;
  }
  EXPECT_EQ(blanks, 17);
  EXPECT_EQ(rks, 1);

  XlsCell c;
  c.SetXFIndex(21);
  c.SetString(CString(""));
  EXPECT_EQ(c.GetType(), XlsCell::kEmpty);
  EXPECT_EQ(c.GetXFIndex(), 21u);
  c = "text";
  char buffer[8];
  EXPECT_FALSE(c.CopyString(buffer, 4));
  ASSERT_TRUE(c.CopyString(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "text");
  EXPECT_EQ(c.GetStringLength(), 4);
  c.SetInteger(3);
  EXPECT_EQ(c.GetType(), XlsCell::kInteger);
  EXPECT_FALSE(c.CopyString(buffer, sizeof buffer));
  EXPECT_EQ(c.GetStringLength(), -1);
  EXPECT_EQ(c.GetDoubleValue(), 3.0);
  c = std::u16string_view(u"\u0416x");
  char16_t wide[4];
  ASSERT_TRUE(c.CopyWideString(wide, 4));
  EXPECT_EQ(std::u16string(wide), u"\u0416x");
  EXPECT_EQ(c.GetStringLength(), 2);
  struct Case {
    double value;
    int integer;
  };
  for (const Case& k : {Case{-2.7, -2}, Case{2.7, 2}, Case{1e20, INT_MAX}, Case{-1e20, INT_MIN},
                        Case{std::numeric_limits<double>::quiet_NaN(), 0}, Case{2147483647.5, INT_MAX}}) {
    c.SetDouble(k.value);
    EXPECT_EQ(c.GetIntegerValue(), k.integer) << k.value;
  }
}

TEST(XlsModelTest, FormatsFindOrAddTheirRecords) {
  XlsDocument doc;
  doc.New(1);
  XlsStyleTable styles(doc);
  XlsFont bold;
  bold.weight = 700;
  XlsCellFormat header(styles, bold);
  EXPECT_EQ(header.GetFontIndex(), 1u);
  EXPECT_EQ(header.GetXFIndex(), 21u);
  XlsFont red = bold;
  red.colorIndex = 2;
  XlsCellFormat shortage(styles, red);
  shortage.SetLineColorsAndPattern(0x04000000);
  shortage.SetPatternColors(5);
  EXPECT_EQ(shortage.GetFontIndex(), 2u);
  EXPECT_EQ(doc.GetWorkbookRecords().xfs.size(), 22u);  // made at first use only
  XlsCell cell;
  cell.SetFormat(shortage);
  EXPECT_EQ(cell.GetXFIndex(), 22u);
  const auto& xf = doc.GetWorkbookRecords().xfs[22];
  EXPECT_EQ(xf.fontIndex, 2);
  EXPECT_EQ(xf.typeProtection, 0x0078);
  EXPECT_EQ(xf.borderColorsPattern, 0x04000000u);
  EXPECT_EQ(xf.fillColors, 5);
  // Equal fonts and formats are found again.
  EXPECT_EQ(styles.FindOrAddFont(bold), 1u);
  XlsCellFormat again(styles, red);
  again.SetLineColorsAndPattern(0x04000000);
  again.SetPatternColors(5);
  EXPECT_EQ(again.GetXFIndex(), 22u);
  EXPECT_EQ(doc.GetWorkbookRecords().fonts.size(), 3u);
  // A default format is the first XF and adds nothing.
  XlsCellFormat plain(styles);
  cell.SetFormat(plain);
  EXPECT_EQ(cell.GetXFIndex(), 0u);
  EXPECT_EQ(doc.GetWorkbookRecords().xfs.size(), 23u);
  // BIFF8 has no font 4: the fifth FONT record is font 5.
  XlsFont big;
  big.height = 400;
  EXPECT_EQ(styles.FindOrAddFont(big), 3u);
  big.height = 480;
  EXPECT_EQ(styles.FindOrAddFont(big), 5u);
  EXPECT_EQ(styles.FindOrAddFont(big), 5u);
  // User number formats raise the next index.
  Biff::Workbook::Format format;
  format.index = 200;
  format.format = CString("0.000");
  doc.GetWorkbookRecords().formats.push_back(format);
  format.index = 100;
  doc.GetWorkbookRecords().formats.push_back(format);
  EXPECT_EQ(XlsStyleTable(doc).GetNextFormatIndex(), 201u);
  doc.GetWorkbookRecords().formats.erase(doc.GetWorkbookRecords().formats.begin());
  XlsStyleTable table(doc);
  EXPECT_EQ(table.GetNextFormatIndex(), 164u);
  EXPECT_EQ(table.GetFormatsByIndex().at(100), u"0.000");
  EXPECT_EQ(table.GetFormatsByIndex().size(), 37u);  // the built-in ones and 100
  EXPECT_EQ(table.GetIndicesByFormat().at(u"General"), 0u);
}

TEST(XlsModelTest, RkValues) {
  EXPECT_EQ(RkFromInteger(1), 6u);
  EXPECT_EQ(RkFromInteger(-1), 0xFFFFFFFEu);
  EXPECT_EQ(RkFromInteger(536870911), 0x7FFFFFFEu);
  EXPECT_EQ(RkToInteger(RkFromInteger(-536870912)), -536870912);
  EXPECT_TRUE(RkIntegerFits(-536870912));
  EXPECT_FALSE(RkIntegerFits(536870912));
  EXPECT_EQ(RkFromDouble(0.5), 0x40490001u);  // 50 hundredths
  EXPECT_EQ(RkFromDouble(3.0), 0x40080000u);
  EXPECT_EQ(RkFromDouble(2.25), 0x406C2001u);
  struct Case {
    double value;
    bool eligible;
  };
  for (const Case& c : {Case{0.5, true}, Case{2.25, true}, Case{-7.0, true}, Case{1234.5, true}, Case{0.125, false},
                        Case{12345.67, false}, Case{1e10, false}, Case{1e300, false}, Case{-1e300, false},
                        Case{std::numeric_limits<double>::infinity(), false},
                        Case{std::numeric_limits<double>::quiet_NaN(), false}}) {
    EXPECT_EQ(RkIsEligible(c.value), c.eligible) << c.value;
    if (c.eligible) {
      EXPECT_EQ(RkValue(RkFromDouble(c.value)), c.value) << c.value;
    }
  }
  EXPECT_TRUE(RkIsInteger(RkFromInteger(5)));
  EXPECT_FALSE(RkIsInteger(RkFromDouble(5.5)));
  EXPECT_EQ(RkToDouble(RkFromDouble(2.25)), 2.25);
}

TEST(XlsModelTest, NumbersBecomeRkRunsOrNumbers) {
  struct Value {
    int type;  // 1 integer, 2 double, 3 text
    double number;
  };
  struct Case {
    const char* name;
    std::vector<Value> row;
    std::vector<std::uint16_t> records;
  };
  const Case cases[] = {
      {"integers then a text", {{1, 1}, {1, 2}, {1, 3}, {3, 0}}, {kMulRk, kLabelSst}},
      {"doubles with hundredths", {{2, 0.5}, {2, 2.25}}, {kMulRk}},
      {"an eighth", {{2, 0.125}}, {kNumber}},
      {"too many digits for RK", {{2, 12345.67}}, {kNumber}},
      {"an integer beyond 30 bits", {{1, 600000000}}, {kNumber}},
      {"an integer and a double", {{1, 1}, {2, 0.5}}, {kRk, kRk}},
      {"an ineligible run", {{1, 600000000}, {1, 600000001}, {1, 1}, {1, 2}}, {kNumber, kNumber, kMulRk}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XlsDocument doc;
    doc.New(1);
    for (size_t i = 0; i < c.row.size(); ++i) {
      XlsCell* cell = doc.GetWorksheet(0)->Cell(0, static_cast<int>(i));
      if (c.row[i].type == 1) cell->SetInteger(static_cast<int>(c.row[i].number));
      if (c.row[i].type == 2) cell->SetDouble(c.row[i].number);
      if (c.row[i].type == 3) *cell = "text";
    }
    const Bytes stream = StreamOf(doc);
    std::vector<std::uint16_t> ids;
    for (const RecordAt& r : CellRecords(stream, FirstSheetOffset(stream))) {
      ids.push_back(r.id);
      if (r.id == kNumber) {
        double value;
        std::memcpy(&value, &stream[r.offset + 10], 8);
        EXPECT_EQ(value, c.row[U16(stream, r.offset + 6)].number);
      }
      if (r.id == kMulRk && c.row[0].number == 0.5) {
        EXPECT_EQ(U32(stream, r.offset + 4 + 4 + 6 + 2), 0x406C2001u);
      }
    }
    EXPECT_EQ(ids, c.records);
  }
}

TEST(XlsModelTest, RepeatedTextsShareOneString) {
  CodePageScope scope(1252);
  XlsDocument doc;
  doc.New(1);
  for (int r = 0; r < 40; ++r) *doc.GetWorksheet(0)->Cell(r, 0) = "same";
  *doc.GetWorksheet(0)->Cell(0, 1) = std::u16string_view(u"same");
  const Bytes stream = StreamOf(doc);
  int labels = 0;
  for (const RecordAt& r : CellRecords(stream, FirstSheetOffset(stream))) labels += r.id == kLabelSst;
  EXPECT_EQ(labels, 41);
  const auto& sst = doc.GetWorkbookRecords().sst;
  EXPECT_EQ(sst.totalCount, 41u);
  EXPECT_EQ(sst.uniqueCount, 2u);  // the wide text is an entry of its own
}

TEST(XlsModelTest, ThePaletteWorkbookIsWrittenInRecordOrder) {
  XlsDocument doc;
  BuildFixture(Fixture::kPaletteRu, doc);
  const Bytes stream = StreamOf(doc);
  const std::vector<std::pair<std::uint16_t, int>> expected = {
      {kBof, 1},      {kWindow1, 1}, {kFont, 3}, {kXf, 23},       {kStyle, 6}, {kBoundSheet, 1},
      {kSst, 1},      {kEof, 1},     {kBof, 1},  {kIndex, 1},     {kDimensions, 1}, {kRow, 4},
      // Titles, then per colour a name, an integer and a double (RK each:
      // they differ in type), and a text.
      {kLabelSst, 5}, {kRk, 2},      {kLabelSst, 2}, {kRk, 2},    {kLabelSst, 2}, {kRk, 2},
      {kLabelSst, 1}, {kDbCell, 1},  {kWindow2, 1},  {kEof, 1}};
  bool complete = false;
  WalkRecords(stream, 0, &complete);
  EXPECT_TRUE(complete);
  EXPECT_EQ(Runs(Ids(stream)), expected);
}

TEST(XlsModelTest, StreamOffsetsPointAtTheirRecords) {
  XlsDocument doc;
  BuildFixture(Fixture::kSheets, doc);
  const Bytes stream = StreamOf(doc);
  bool complete = false;
  const std::vector<RecordAt> records = WalkRecords(stream, 0, &complete);
  ASSERT_TRUE(complete);
  std::map<size_t, size_t> byOffset;  // offset -> position in records
  for (size_t i = 0; i < records.size(); ++i) byOffset[records[i].offset] = i;
  const auto at = [&](size_t offset) -> const RecordAt* {
    auto it = byOffset.find(offset);
    return it == byOffset.end() ? nullptr : &records[it->second];
  };
  std::vector<size_t> sheetStarts;
  for (const RecordAt& r : records)
    if (r.id == kBoundSheet) sheetStarts.push_back(U32(stream, r.offset + 4));
  ASSERT_EQ(sheetStarts.size(), 3u);
  std::vector<size_t> blockCounts;
  for (size_t sheet = 0; sheet < sheetStarts.size(); ++sheet) {
    SCOPED_TRACE(sheet);
    const RecordAt* bof = at(sheetStarts[sheet]);
    ASSERT_NE(bof, nullptr);
    ASSERT_EQ(bof->id, kBof);
    EXPECT_EQ(U16(stream, bof->offset + 6), 0x0010);
    // The sheet's records up to its EOF, which the next sheet follows.
    std::vector<const RecordAt*> own;
    for (size_t i = byOffset[sheetStarts[sheet]]; i < records.size(); ++i) {
      own.push_back(&records[i]);
      if (records[i].id == kEof) break;
    }
    ASSERT_EQ(own.back()->id, kEof);
    const size_t end = own.back()->offset + 4;
    if (sheet + 1 < sheetStarts.size())
      EXPECT_EQ(end, sheetStarts[sheet + 1]);
    else
      EXPECT_EQ(end, stream.size());
    ASSERT_EQ(own[1]->id, kIndex);
    const RecordAt& index = *own[1];
    std::vector<size_t> dbcells;
    for (const RecordAt* r : own)
      if (r->id == kDbCell) dbcells.push_back(r->offset);
    blockCounts.push_back(dbcells.size());
    ASSERT_EQ((index.length - 16u) / 4u, std::max<size_t>(dbcells.size(), 1));
    for (size_t k = 0; k < dbcells.size(); ++k) {
      EXPECT_EQ(U32(stream, index.offset + 4 + 16 + 4 * k), dbcells[k]) << k;
      const RecordAt& db = *at(dbcells[k]);
      // Back to the block's first ROW record, then to each row's first cell.
      const RecordAt* firstRow = at(db.offset - U32(stream, db.offset + 4));
      ASSERT_NE(firstRow, nullptr);
      ASSERT_EQ(firstRow->id, kRow);
      const size_t rows = (db.length - 4u) / 2u;
      size_t cursor = firstRow->offset + 20;
      for (size_t u = 0; u < rows; ++u) {
        cursor += U16(stream, db.offset + 8 + 2 * u);
        const RecordAt* cell = at(cursor);
        ASSERT_NE(cell, nullptr) << u;
        EXPECT_TRUE(cell->id == kRk || cell->id == kMulRk || cell->id == kLabelSst || cell->id == kBlank ||
                    cell->id == kNumber)
            << u;
        EXPECT_EQ(U16(stream, cell->offset + 4), U16(stream, firstRow->offset + 4) + u) << u;
      }
    }
  }
  EXPECT_EQ(blockCounts, (std::vector<size_t>{2, 0, 1}));
  // The empty sheet: INDEX (rows 0 to 0, one position 0), DIMENSIONS all 0.
  const RecordAt& emptyIndex = records[byOffset[sheetStarts[1]] + 1];
  EXPECT_EQ(emptyIndex.length, 20);
  for (size_t i = 0; i < 20; ++i) EXPECT_EQ(stream[emptyIndex.offset + 4 + i], 0) << i;
  const RecordAt& emptyDimensions = records[byOffset[sheetStarts[1]] + 2];
  EXPECT_EQ(emptyDimensions.id, kDimensions);
  for (size_t i = 0; i < 14; ++i) EXPECT_EQ(stream[emptyDimensions.offset + 4 + i], 0) << i;
}

TEST(XlsModelTest, SavedFilesEqualTheGoldenFiles) {
  const auto dir = qmtest::MakeTempDir("xls-golden");
  const bool write = std::getenv("QM_WRITE_XLS_GOLDEN") != nullptr;
  for (Fixture fixture : kFixtures) {
    SCOPED_TRACE(FixtureName(fixture));
    CodePageScope scope(1252);
    XlsDocument doc;
    BuildFixture(fixture, doc);
    const auto path = dir / "a.xls";
    ASSERT_TRUE(doc.SaveAs(CString(path.string())));
    // Saving again gives the same bytes.
    ASSERT_TRUE(doc.SaveAs(CString((dir / "b.xls").string())));
    const Bytes saved = qmtest::ReadAll(path);
    EXPECT_EQ(qmtest::ReadAll(dir / "b.xls"), saved);
    const auto golden = TestDataDir() / "golden" / (std::string(FixtureName(fixture)) + ".xls");
    if (write) {
      std::filesystem::create_directories(golden.parent_path());
      qmtest::WriteAll(golden, saved);
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_TRUE(qmtest::ReadAll(golden) == saved);
  }
}

TEST(XlsModelTest, WrittenStreamsReadBackCellForCell) {
  for (Fixture fixture : kFixtures) {
    SCOPED_TRACE(FixtureName(fixture));
    CodePageScope scope(1252);
    XlsDocument doc;
    BuildFixture(fixture, doc);
    const Bytes stream = StreamOf(doc);
    XlsDocument back;
    ASSERT_TRUE(back.LoadWorkbookStream(stream.data(), stream.size()));
    ASSERT_EQ(back.GetSheetCount(), doc.GetSheetCount());
    for (int s = 0; s < doc.GetSheetCount(); ++s) {
      const XlsSheet& a = *doc.GetWorksheet(s);
      const XlsSheet& b = *back.GetWorksheet(s);
      ASSERT_EQ(b.GetRowCount(), a.GetRowCount());
      ASSERT_EQ(b.GetColumnCount(), a.GetColumnCount());
      for (int r = 0; r < a.GetRowCount(); ++r)
        for (int c = 0; c < a.GetColumnCount(); ++c) {
          const XlsCell& x = *a.CellAt(r, c);
          const XlsCell& y = *b.CellAt(r, c);
          SCOPED_TRACE(testing::Message() << s << ":" << r << ":" << c);
          // Numbers may come back as the other number type (a large integer
          // is stored as a double), texts as narrow when the code page holds
          // every character.
          const auto kind = [](const XlsCell& cell) {
            const int t = cell.GetType();
            return t == XlsCell::kEmpty ? 0 : t <= XlsCell::kDouble ? 1 : t <= XlsCell::kWide ? 2 : 3;
          };
          EXPECT_EQ(kind(y), kind(x));
          const auto text = [](const XlsCell& cell) {
            return cell.GetType() == XlsCell::kNarrow ? xlstext::ToUtf16(cell.GetNarrow().str()) : cell.GetWide();
          };
          EXPECT_EQ(text(y), text(x));
          EXPECT_EQ(y.GetXFIndex(), x.GetXFIndex());
          EXPECT_EQ(y.GetMergedRows(), x.GetMergedRows());
          EXPECT_EQ(y.GetMergedColumns(), x.GetMergedColumns());
          EXPECT_EQ(y.GetIntegerValue(), x.GetIntegerValue());
          EXPECT_DOUBLE_EQ(y.GetDoubleValue(), x.GetDoubleValue());
        }
    }
    // Every prefix of the stream is refused without harm.
    for (size_t n = 0; n < stream.size(); n += 1 + n / 8) EXPECT_FALSE(back.LoadWorkbookStream(stream.data(), n)) << n;
  }
}

TEST(XlsModelTest, FormulaCellsTravelWithTheirRecords) {
  // A worksheet with one array formula cell and its text result, as another
  // program writes it: the formula records put where a BLANK stood.
  XlsDocument source;
  source.New(1);
  source.GetWorksheet(0)->Cell(0, 1)->SetInteger(1);
  Bytes stream = StreamOf(source);
  RecordAt blank{};
  for (const RecordAt& r : WalkRecords(stream, FirstSheetOffset(stream)))
    if (r.id == kBlank) blank = r;
  ASSERT_EQ(blank.id, kBlank);
  const Bytes formula = {0x06, 0x00, 24, 0,    0, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF,
                         0x01, 0x00, 0, 0,    0, 0, 0x02, 0, 0x1E, 0x05};
  const Bytes array = {0x21, 0x02, 14, 0, 0, 0, 0, 0, 0, 0, 0x02, 0, 0, 0, 0, 0, 0x1E, 0x05};
  const Bytes string = {0x07, 0x02, 5, 0, 2, 0, 0, 'o', 'k'};
  Bytes withFormula(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(blank.offset));
  for (const Bytes* part : {&formula, &array, &string}) withFormula.insert(withFormula.end(), part->begin(), part->end());
  withFormula.insert(withFormula.end(), stream.begin() + static_cast<std::ptrdiff_t>(blank.offset + 4 + blank.length),
                     stream.end());
  XlsDocument doc;
  ASSERT_TRUE(doc.LoadWorkbookStream(withFormula.data(), withFormula.size()));
  const XlsCell* cell = doc.GetWorksheet(0)->CellAt(0, 0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->GetType(), XlsCell::kFormula);
  EXPECT_EQ(cell->GetXFIndex(), 15u);
  EXPECT_EQ(cell->GetIntegerValue(), 0);  // the result is a text, not a number
  EXPECT_EQ(doc.GetWorksheet(0)->CellAt(0, 1)->GetIntegerValue(), 1);
  // Saved again, the three records come back as they were.
  const Bytes saved = StreamOf(doc);
  const std::vector<RecordAt> records = WalkRecords(saved, FirstSheetOffset(saved));
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].id != kFormula) continue;
    ASSERT_LT(i + 2, records.size());
    EXPECT_TRUE(std::equal(formula.begin(), formula.end(), saved.begin() + static_cast<std::ptrdiff_t>(records[i].offset)));
    EXPECT_TRUE(std::equal(array.begin(), array.end(), saved.begin() + static_cast<std::ptrdiff_t>(records[i + 1].offset)));
    EXPECT_TRUE(std::equal(string.begin(), string.end(), saved.begin() + static_cast<std::ptrdiff_t>(records[i + 2].offset)));
    return;
  }
  ADD_FAILURE() << "no FORMULA record written";
}
