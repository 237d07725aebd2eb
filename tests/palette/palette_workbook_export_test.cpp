// The palette export to a workbook: cells by column kind, the header and
// shortage formats, the records written, refusals and failed saves, and
// the files as xlrd, olefile and the tests' own reader see them.
#include <gtest/gtest.h>

#include "palette/PaletteWorkbookExport.h"
#include "platform/base/codepage.h"
#include "platform/base/resource.h"
#include "tests/common/test_util.h"
#include "tests/xls/xls_test_util.h"
#include "xls/StorageBlockFile.h"
#include "xls/XlsDocument.h"

using namespace xlstest;

namespace {

// The language pack of one language and its code page, for the titles.
class LanguageScope {
 public:
  explicit LanguageScope(bool russian) : previous_(AfxGetResourceHandle()), codePage_(russian ? 1251 : 1252) {
    pack_ = LoadLibrary((qmtest::BinDir() / (russian ? "Pellow_Ru.dll" : "Pellow_En.dll")).string().c_str());
    EXPECT_NE(pack_, nullptr);
    AfxSetResourceHandle(pack_);
  }
  ~LanguageScope() {
    AfxSetResourceHandle(previous_);
    FreeLibrary(pack_);
  }

 private:
  HINSTANCE previous_;
  HINSTANCE pack_ = nullptr;
  CodePageScope codePage_;
};

CColorListData AllColumns() {
  CColorListData layout(0);
  layout.columns.clear();
  for (int kind = 0; kind < kColumnKindCount; ++kind) layout.columns.push_back({kind, kColumnAutoWidth});
  return layout;
}

CPaletteColor Color(const char* name, int number, DWORD count, int assigned) {
  CPaletteColor c(CRgbTriple(10, 20, 30), name, count, number, 250, 123456);
  c.nickname = "nick";
  c.assigned = assigned;
  c.price = 123456;
  c.grams = 0.125f;
  return c;
}

// The workbook stream of a saved file, read by the tests' own reader, and
// the document the writer's reader makes of it.
struct Saved {
  CompoundFile file;
  Bytes stream;
  XlsDocument doc;
  bool Load(const std::filesystem::path& path) {
    return file.Load(path) && file.Stream(u"Workbook", stream) && doc.LoadWorkbookStream(stream.data(), stream.size());
  }
  const XlsCell& At(int r, int c) { return *doc.GetWorksheet(0)->CellAt(r, c); }
};

}  // namespace

TEST(PaletteWorkbookExportTest, CellsFollowTheColumnKinds) {
  LanguageScope language(false);
  const auto dir = qmtest::MakeTempDir("workbook-kinds");
  std::vector<CPaletteColor> colors = {Color("A-01", 7, 1234, 0), Color("B-02", 8, 0, 0)};
  colors[1].SetInUse(0);
  CColorListData layout = AllColumns();
  layout.columns.push_back({30, kColumnAutoWidth});  // a kind this program does not know
  const auto path = dir / "kinds.xls";
  CPaletteWorkbookExport exporter(colors, layout, path.string().c_str());
  ASSERT_TRUE(exporter.Export(false));
  exporter.FreeWorkbook();
  Saved saved;
  ASSERT_TRUE(saved.Load(path)) << saved.file.error;
  XlsSheet& sheet = *saved.doc.GetWorksheet(0);
  ASSERT_EQ(sheet.GetRowCount(), 3);
  ASSERT_EQ(sheet.GetColumnCount(), 22);
  for (int c = 0; c < 22; ++c) {
    EXPECT_EQ(saved.At(0, c).GetNarrow(), CColorListData::GetColumnTitle(layout.columns[static_cast<size_t>(c)].kind));
    EXPECT_EQ(saved.At(0, c).GetXFIndex(), 21u) << c;
  }
  EXPECT_EQ(saved.At(0, 4).GetNarrow(), "Cost\\bead");
  struct Expect {
    int column;
    int type;
    double value;
    const char* text;
  };
  const Expect first[] = {
      {kColumnMfgName, XlsCell::kNarrow, 0, "A-01"},   {kColumnIndex, XlsCell::kInteger, 7, nullptr},
      {kColumnNickname, XlsCell::kNarrow, 0, "nick"},  {kColumnCount, XlsCell::kInteger, 1234, nullptr},
      {kColumnCostBead, XlsCell::kDouble, 1.23456, nullptr},
      {kColumnBeadsTube, XlsCell::kInteger, 250, nullptr},
      {kColumnCostTube, XlsCell::kDouble, 1234.56, nullptr},
      {kColumnGramsBead, XlsCell::kDouble, 0.125, nullptr},
      {kColumnColorType, XlsCell::kEmpty, 0, nullptr}, {kColumnUsage, XlsCell::kNarrow, 0, "[X]"},
      {kColumnTubesSummary, XlsCell::kInteger, 5, nullptr},
      {kColumnCostSummary, XlsCell::kDouble, 6172.8, nullptr}, {21, XlsCell::kEmpty, 0, nullptr},
  };
  for (const Expect& e : first) {
    SCOPED_TRACE(e.column);
    const XlsCell& cell = saved.At(1, e.column);
    EXPECT_EQ(cell.GetXFIndex(), 0u);
    // Numbers that RK cannot hold come back as doubles.
    if (e.type == XlsCell::kInteger || e.type == XlsCell::kDouble) {
      EXPECT_TRUE(cell.GetType() == XlsCell::kInteger || cell.GetType() == XlsCell::kDouble);
      EXPECT_DOUBLE_EQ(cell.GetDoubleValue(), e.value);
    } else {
      EXPECT_EQ(cell.GetType(), e.type);
    }
    if (e.text) {
      EXPECT_EQ(cell.GetNarrow(), e.text);
    }
  }
  EXPECT_EQ(saved.At(1, kColumnIndex).GetType(), XlsCell::kInteger);
  EXPECT_EQ(saved.At(2, kColumnUsage).GetNarrow(), "[  ]");
  EXPECT_EQ(saved.At(2, kColumnCount).GetIntegerValue(), 0);
}

TEST(PaletteWorkbookExportTest, ShortageRowsAreHighlightedWhenAsked) {
  LanguageScope language(false);
  const auto dir = qmtest::MakeTempDir("workbook-shortage");
  const std::vector<CPaletteColor> colors = {Color("short", 1, 10, 0), Color("none", 2, 0, 0),
                                             Color("enough", 3, 10, 10), Color("negative", 4, 0, -5)};
  const CColorListData layout = AllColumns();
  for (bool highlight : {true, false}) {
    SCOPED_TRACE(highlight);
    const auto path = dir / "s.xls";
    CPaletteWorkbookExport exporter(colors, layout, path.string().c_str());
    ASSERT_TRUE(exporter.Export(highlight));
    Saved saved;
    ASSERT_TRUE(saved.Load(path)) << saved.file.error;
    for (int c = 0; c < kColumnKindCount; ++c) {
      EXPECT_EQ(saved.At(1, c).GetXFIndex(), highlight ? 22u : 0u) << c;
      for (int r = 2; r <= 4; ++r) EXPECT_EQ(saved.At(r, c).GetXFIndex(), 0u) << r << ":" << c;
    }
    // The three fonts are made whether or not a row is highlighted; the
    // shortage XF only at its first use.
    const auto& wb = saved.doc.GetWorkbookRecords();
    ASSERT_EQ(wb.fonts.size(), 3u);
    EXPECT_EQ(wb.fonts[1].weight, 700);
    EXPECT_EQ(wb.fonts[2].colorIndex, 2);
    ASSERT_EQ(wb.xfs.size(), highlight ? 23u : 22u);
    EXPECT_EQ(wb.xfs[21].fontIndex, 1);
    if (highlight) {
      EXPECT_EQ(wb.xfs[22].fontIndex, 2);
      EXPECT_EQ(wb.xfs[22].borderColorsPattern, 0x04000000u);
      EXPECT_EQ(wb.xfs[22].fillColors, 5);
    }
  }
}

TEST(PaletteWorkbookExportTest, TheStreamHoldsTheExportsRecordsOnly) {
  LanguageScope language(false);
  const auto dir = qmtest::MakeTempDir("workbook-records");
  std::vector<CPaletteColor> colors;
  for (int i = 0; i < 40; ++i) colors.push_back(Color(("C" + std::to_string(i)).c_str(), i, i % 3 ? 5 : 0, 0));
  const CColorListData layout = AllColumns();
  const auto path = dir / "r.xls";
  CPaletteWorkbookExport exporter(colors, layout, path.string().c_str());
  ASSERT_TRUE(exporter.Export(true));
  Saved saved;
  ASSERT_TRUE(saved.Load(path));
  std::vector<std::pair<std::uint16_t, int>> runs;
  for (const RecordAt& r : WalkRecords(saved.stream, 0)) {
    std::uint16_t id = r.id;
    // Cell records in one group: their kinds depend on the values.
    if (id == 0x0201 || id == 0x00FD || id == 0x00BD || id == 0x0203 || id == 0x027E) id = 1;
    if (!runs.empty() && runs.back().first == id)
      ++runs.back().second;
    else
      runs.push_back({id, 1});
  }
  const std::vector<std::pair<std::uint16_t, int>> expected = {
      {0x0809, 1}, {0x003D, 1}, {0x0031, 3}, {0x00E0, 23}, {0x0293, 6}, {0x0085, 1}, {0x00FC, 1}, {0x000A, 1},
      {0x0809, 1}, {0x020B, 1}, {0x0200, 1}, {0x0208, 32}, {1, runs.size() > 13 ? runs[12].second : 0},
      {0x00D7, 1}, {0x0208, 9}, {1, runs.size() > 15 ? runs[15].second : 0}, {0x00D7, 1}, {0x023E, 1},
      {0x000A, 1}};
  EXPECT_EQ(runs, expected);
  // INDEX lists two blocks; DIMENSIONS spans 41 rows and 21 columns.
  const auto& ws = saved.doc.GetWorksheetRecords(0);
  EXPECT_EQ(ws.index.dbcellPositions.size(), 2u);
  EXPECT_EQ(ws.dimensions.lastRowPlus1, 41u);
  EXPECT_EQ(ws.dimensions.lastColumnPlus1, 21);
}

TEST(PaletteWorkbookExportTest, RefusalsAndFailuresLeaveNoFile) {
  LanguageScope language(false);
  const auto dir = qmtest::MakeTempDir("workbook-refusals");
  const std::vector<CPaletteColor> colors = {Color("A", 1, 1, 0)};
  const auto path = dir / "x.xls";
  // No columns: false, and the old file at the target is gone.
  qmtest::WriteAll(path, {1, 2, 3});
  CColorListData none(0);
  none.columns.clear();
  EXPECT_FALSE(CPaletteWorkbookExport(colors, none, path.string().c_str()).Export(false));
  EXPECT_FALSE(std::filesystem::exists(path));
  // A save that fails part-way (a full disk) leaves nothing behind.
  std::vector<CPaletteColor> many;
  for (int i = 0; i < 300; ++i) many.push_back(Color(("N" + std::to_string(i)).c_str(), i, 2, 0));
  const CColorListData layout = AllColumns();
  for (long long limit : {0LL, 1536LL, 9000LL, 60000LL}) {
    SetStorageWriteLimit(limit);
    EXPECT_FALSE(CPaletteWorkbookExport(many, layout, path.string().c_str()).Export(true)) << limit;
    SetStorageWriteLimit(-1);
    EXPECT_FALSE(std::filesystem::exists(path)) << limit;
  }
  EXPECT_FALSE(CPaletteWorkbookExport(many, layout, (dir / "missing" / "x.xls").string().c_str()).Export(true));
  EXPECT_TRUE(CPaletteWorkbookExport(many, layout, path.string().c_str()).Export(true));
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(PaletteWorkbookExportTest, RussianTitlesAndNamesReadInXlrd) {
  LanguageScope language(true);
  const auto dir = qmtest::MakeTempDir("workbook-russian");
  std::vector<CPaletteColor> colors = {Color("", 5, 10, 0)};
  colors[0].mfgName = FromUtf8("Бирюзовый матовый");
  CColorListData layout(0);
  layout.columns = {{kColumnMfgName, kColumnAutoWidth}, {kColumnIndex, kColumnAutoWidth}};
  const auto path = dir / "ru.xls";
  ASSERT_TRUE(CPaletteWorkbookExport(colors, layout, path.string().c_str()).Export(true));
  const auto lines = XlrdDump(path);
  const std::string title0 = CodePageToUtf8(CColorListData::GetColumnTitle(kColumnMfgName).str(), 1251);
  const std::string title1 = CodePageToUtf8(CColorListData::GetColumnTitle(kColumnIndex).str(), 1251);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "sheet Sheet1 2 2",
                       "cell 0 0 1 '" + title0 + "' weight=700 color=32767 fill=0 pattern=64",
                       "cell 0 1 1 '" + title1 + "' weight=700 color=32767 fill=0 pattern=64",
                       "cell 1 0 1 'Бирюзовый матовый' weight=700 color=2 fill=1 pattern=5",
                       "cell 1 1 2 5.0 weight=700 color=2 fill=1 pattern=5",
                   }));
  EXPECT_NE(title0.find("\xD0"), std::string::npos);  // Cyrillic
}

TEST(PaletteWorkbookExportTest, ALargeExportNeedsDifatSectorsAndStillOpens) {
  LanguageScope language(true);
  const auto dir = qmtest::MakeTempDir("workbook-large");
  std::vector<CPaletteColor> colors;
  const std::string tail = "Длинное уникальное русское название цвета бисера для проверки больших файлов ";
  for (int i = 0; i < 5000; ++i) {
    CPaletteColor c = Color("", i, static_cast<DWORD>(i % 7), 3);
    const std::string id = std::to_string(i);
    c.mfgName = FromUtf8("Цвет " + id + " " + tail);
    c.nickname = FromUtf8("Ник " + id + " " + tail);
    c.colorType = FromUtf8("Тип " + id + " " + tail);
    c.typeColor = FromUtf8("Оттенок " + id + " " + tail);
    c.durability = FromUtf8("Стойкость " + id + " " + tail);
    c.safeColor = FromUtf8("Безопасность " + id + " " + tail);
    c.miscInfo = FromUtf8("Прочее " + id + " " + tail);
    colors.push_back(c);
  }
  const CColorListData layout = AllColumns();
  const auto path = dir / "large.xls";
  ASSERT_TRUE(CPaletteWorkbookExport(colors, layout, path.string().c_str()).Export(true));
  CompoundFile cf;
  ASSERT_TRUE(cf.Load(path)) << cf.error;
  EXPECT_GT(cf.fatSectors.size(), 109u);
  EXPECT_FALSE(cf.difatSectors.empty());
  Bytes stream;
  ASSERT_TRUE(cf.Stream(u"Workbook", stream));
  qmtest::WriteAll(dir / "stream.bin", stream);
  EXPECT_EQ(OlefileCheck(path, dir / "stream.bin"), "ok Workbook same");
  const auto lines = XlrdDump(path, true);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "sheet Sheet1 5001 21");
  // The last colour: 4999 % 7 = 1 bead, 3 assigned, no shortage.
  EXPECT_EQ(lines[1], "cell 5000 0 1 'Цвет 4999 " + tail + "' weight=400 color=32767 fill=0 pattern=64");
  EXPECT_EQ(lines[2], "cell 5000 1 2 4999.0 weight=400 color=32767 fill=0 pattern=64");
  for (const std::string& line : lines) EXPECT_NE(line.rfind("log ", 0), 0u) << line;
}
