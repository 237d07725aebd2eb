// The writer's files as outside readers see them: xlrd (with formatting),
// olefile in its strict mode and LibreOffice.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/common/test_util.h"
#include "tests/xls/xls_test_util.h"
#include "xls/XlsDocument.h"

using namespace xlstest;

namespace {

std::filesystem::path SaveFixture(Fixture fixture, const std::filesystem::path& dir, Bytes* stream = nullptr) {
  CodePageScope scope(1252);
  XlsDocument doc;
  BuildFixture(fixture, doc);
  const std::filesystem::path path = dir / (std::string(FixtureName(fixture)) + ".xls");
  EXPECT_TRUE(doc.SaveAs(path.string().c_str()));
  if (stream) doc.BuildStreamBytes(*stream);
  return path;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string CellLine(int r, int c, int type, const std::string& value, int weight = 400, int color = 32767,
                     int fill = 0, int pattern = 64) {
  return "cell " + std::to_string(r) + " " + std::to_string(c) + " " + std::to_string(type) + " " + value +
         " weight=" + std::to_string(weight) + " color=" + std::to_string(color) + " fill=" + std::to_string(fill) +
         " pattern=" + std::to_string(pattern);
}

void ExpectNoLog(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) EXPECT_NE(line.rfind("log ", 0), 0u) << line;
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("sheet ", 0), 0u) << lines[0];
}

}  // namespace

TEST(XlsReadersTest, XlrdReadsThePaletteFixtureWithItsFormats) {
  const auto dir = qmtest::MakeTempDir("xlrd-palette");
  const auto lines = XlrdDump(SaveFixture(Fixture::kPaletteRu, dir));
  ExpectNoLog(lines);
  const std::vector<std::string> expected = {
      "sheet Sheet1 4 4",
      CellLine(0, 0, 1, "'Название'", 700),
      CellLine(0, 1, 1, "'Номер'", 700),
      CellLine(0, 2, 1, "'Цена\\туба'", 700),
      CellLine(0, 3, 1, "'Наличие'", 700),
      CellLine(1, 0, 1, "'Красный коралл'"),
      CellLine(1, 1, 2, "12.0"),
      CellLine(1, 2, 2, "1234.56"),
      CellLine(1, 3, 1, "'[X]'"),
      CellLine(2, 0, 1, "'Ёлочный зелёный'", 700, 2, 1, 5),
      CellLine(2, 1, 2, "7.0", 700, 2, 1, 5),
      CellLine(2, 2, 2, "0.5", 700, 2, 1, 5),
      CellLine(2, 3, 1, "'[  ]'", 700, 2, 1, 5),
      CellLine(3, 0, 1, "'Opaque White'"),
      CellLine(3, 1, 2, "1001.0"),
      CellLine(3, 2, 2, "12.25"),
      CellLine(3, 3, 1, "'[X]'"),
  };
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + std::min(lines.size(), expected.size())),
            expected);
  EXPECT_EQ(lines.size(), expected.size());
}

TEST(XlsReadersTest, XlrdReadsLongTextsNumbersAndMergedRanges) {
  const auto dir = qmtest::MakeTempDir("xlrd-texts");
  const auto lines = XlrdDump(SaveFixture(Fixture::kTextsEn, dir));
  ExpectNoLog(lines);
  EXPECT_EQ(lines[0], "sheet Sheet1 160 5");
  EXPECT_TRUE(Has(lines, "merged 0 2 4 5"));
  const char* values[] = {"0.5", "2.25", "0.125", "12345.67", "-7.0"};
  for (int r = 0; r < kTextsEnRows; ++r) {
    EXPECT_TRUE(Has(lines, CellLine(r, 0, 1, "'" + TextsEnText(r) + "'"))) << r;
    EXPECT_TRUE(Has(lines, CellLine(r, 1, 2, values[r % 5]))) << r;
    EXPECT_TRUE(Has(lines, CellLine(r, 2, 2, values[(r + 1) % 5]))) << r;
    EXPECT_TRUE(Has(lines, CellLine(r, 3, 2, r % 3 == 0 ? "600000000.0" : std::to_string(r) + ".0"))) << r;
  }
  EXPECT_TRUE(Has(lines, CellLine(0, 4, 1, "'merged'")));
  EXPECT_TRUE(Has(lines, CellLine(1, 4, 6, "''")));
}

TEST(XlsReadersTest, XlrdReadsEverySheet) {
  const auto dir = qmtest::MakeTempDir("xlrd-sheets");
  const auto lines = XlrdDump(SaveFixture(Fixture::kSheets, dir));
  ExpectNoLog(lines);
  EXPECT_TRUE(Has(lines, "sheet Sheet1 33 3"));
  EXPECT_TRUE(Has(lines, "sheet Пусто 0 0"));
  EXPECT_TRUE(Has(lines, "sheet Sheet3 4 3"));
  EXPECT_TRUE(Has(lines, CellLine(32, 2, 2, "322.0")));
  EXPECT_TRUE(Has(lines, CellLine(0, 0, 1, "'wide Ж'")));
  EXPECT_TRUE(Has(lines, CellLine(0, 1, 1, "'narrow'")));
  EXPECT_TRUE(Has(lines, CellLine(1, 1, 2, "-1.0")));
  EXPECT_TRUE(Has(lines, CellLine(2, 2, 2, "1e+300")));
  EXPECT_TRUE(Has(lines, "merged 3 4 0 3"));
}

TEST(XlsReadersTest, StrictOlefileListsOnlyTheWorkbookStream) {
  const auto dir = qmtest::MakeTempDir("olefile");
  for (Fixture fixture : kFixtures) {
    Bytes stream;
    const auto path = SaveFixture(fixture, dir, &stream);
    qmtest::WriteAll(dir / "expected.bin", stream);
    EXPECT_EQ(OlefileCheck(path, dir / "expected.bin"), "ok Workbook same") << FixtureName(fixture);
  }
  // Streams in mini sectors, in sectors, and past the first FAT sector.
  for (DWORD size : {3000u, 4095u, 4096u, 20000u, 70000u}) {
    Bytes data(size);
    for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 7 + 3);
    StorageFile file;
    const auto path = dir / ("stream-" + std::to_string(size) + ".xls");
    ASSERT_TRUE(file.Create(path.string().c_str()));
    ASSERT_EQ(file.MakeStream(CString("Workbook")), kStorageOk);
    ASSERT_EQ(file.WriteStream(CString("Workbook"), data.data(), size), kStorageOk);
    file.Close();
    qmtest::WriteAll(dir / "expected.bin", data);
    EXPECT_EQ(OlefileCheck(path, dir / "expected.bin"), "ok Workbook same") << size;
  }
}

namespace {
std::string ReadText(const std::filesystem::path& path) {
  const Bytes bytes = qmtest::ReadAll(path);
  std::string text(bytes.begin(), bytes.end());
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}
}  // namespace

TEST(XlsReadersTest, LibreOfficeConvertsToTheSameTable) {
  if (RunCommand("command -v soffice").empty()) GTEST_SKIP() << "soffice is not installed";
  const auto dir = qmtest::MakeTempDir("libreoffice");
  const auto palette = SaveFixture(Fixture::kPaletteRu, dir);
  const auto texts = SaveFixture(Fixture::kTextsEn, dir);
  int status = 0;
  const std::string log = RunCommand(
      // A fixed locale: under a decimal-comma one (ru_RU, de_DE) LibreOffice
      // writes the numbers of the CSV with a comma.
      "LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE= HOME=" + Quote(dir.string()) +
          " soffice --headless --norestore -env:UserInstallation=file://" + Quote((dir / "profile").string()) +
          " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir " + Quote((dir / "csv").string()) + " " +
          Quote(palette.string()) + " " + Quote(texts.string()) + " 2>&1",
      &status);
  ASSERT_EQ(status, 0) << log;
  EXPECT_EQ(ReadText(dir / "csv" / "palette-ru.csv"),
            "Название,Номер,Цена\\туба,Наличие\n"
            "Красный коралл,12,1234.56,[X]\n"
            "Ёлочный зелёный,7,0.5,[  ]\n"
            "Opaque White,1001,12.25,[X]");
  std::string expected;
  const char* values[] = {"0.5", "2.25", "0.125", "12345.67", "-7"};
  for (int r = 0; r < kTextsEnRows; ++r) {
    if (r) expected += "\n";
    expected += TextsEnText(r) + "," + values[r % 5] + "," + values[(r + 1) % 5] + "," +
                (r % 3 == 0 ? std::string("600000000") : std::to_string(r)) + "," + (r == 0 ? "merged" : "");
  }
  EXPECT_EQ(ReadText(dir / "csv" / "texts-en.csv"), expected);
}
