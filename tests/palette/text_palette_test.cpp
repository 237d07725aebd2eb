#include <gtest/gtest.h>

#include <filesystem>

#include "palette/ColorSet.h"
#include "palette/TextPalette.h"
#include "platform/base/files.h"
#include "tests/common/test_util.h"

namespace {

bool ReadText(CColorSet& set, const std::string& text, CString& reason) {
  CPaletteLineReader reader(reinterpret_cast<const BYTE*>(text.data()), text.size());
  return set.ReadTextPalette(reader, reason);
}

const std::string kExtended = "# Extended Palette 7F06E3E3-1D0D-430d-A4E5-14E458BBD130\n";
const std::string kMosaic = "# Extended Mosaic Palette 7F06E3E3-1D0D-430d-A4E5-14E458BBD130 anything\n";

// Stops after a given line.
class CStoppingColorSet : public CColorSet {
 public:
  explicit CStoppingColorSet(int stopAfter) : stopAfter_(stopAfter) {}
  bool OnTextLine(int line) override {
    lines.push_back(line);
    return line < stopAfter_;
  }
  std::vector<int> lines;

 private:
  int stopAfter_;
};

}  // namespace

TEST(TextPaletteTest, LineReaderPiecesAndLineEnds) {
  const std::string text = "a\r\nb\rc\n" + std::string(515, 'x') + "\n" + std::string(510, 'y') + "\n" + std::string("z\0w\nlast", 8);
  CPaletteLineReader reader(reinterpret_cast<const BYTE*>(text.data()), text.size());
  CString line;
  std::vector<std::string> lines;
  while (reader.ReadLine(line)) lines.push_back(line.str());
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "a\n");
  EXPECT_EQ(lines[1], "b\rc\n");
  EXPECT_EQ(lines[2], std::string(510, 'x'));
  EXPECT_EQ(lines[3], "xxxxx\n");
  EXPECT_EQ(lines[4], std::string(510, 'y'));
  EXPECT_EQ(lines[5], "\n");
  EXPECT_EQ(lines[6], "z");
  EXPECT_EQ(lines[7], "last");
}

TEST(TextPaletteTest, CuttingFields) {
  struct Case {
    const char* line;
    char open, close;
    bool found;
    const char* text;
    const char* rest;
  } cases[] = {
      {"5 1 2 3 {AB-05} (120)\n", '{', '}', true, "AB-05", "5 1 2 3 (120)\n"},
      {"{AB} 1 2 3\n", '{', '}', false, "", "{AB} 1 2 3\n"},
      {"1 2 3 {", '{', '}', false, "", "1 2 3 {"},
      {"1 2 3 {AB\n", '{', '}', false, "", "1 2 3 {AB\n"},
      {"1 |30| 2\n", '|', '|', true, "30", "1 2\n"},
      {"1 ||\n", '|', '|', true, "", "1\n"},
  };
  for (const Case& c : cases) {
    CString line = c.line, text;
    EXPECT_EQ(CutDelimitedField(line, c.open, c.close, text), c.found) << c.line;
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

TEST(TextPaletteTest, KindsFromTheFirstLine) {
  EXPECT_EQ(CColorSet::DetectTextPaletteKind(kMosaic.c_str()), 2);
  EXPECT_EQ(CColorSet::DetectTextPaletteKind(kExtended.c_str()), 1);
  EXPECT_EQ(CColorSet::DetectTextPaletteKind("# extended palette 7F06E3E3-1D0D-430d-A4E5-14E458BBD130"), 0);
  EXPECT_EQ(CColorSet::DetectTextPaletteKind("1 2 3 4"), 0);
}

TEST(TextPaletteTest, PlainPalettes) {
  CColorSet set;
  CString reason;
  ASSERT_TRUE(ReadText(set, "# my beads\r\n7 300 20 30 Red extra\r\n8 1 2 3\n", reason));
  EXPECT_EQ(set.GetKind(), CColorSet::kKindPlainText);
  ASSERT_EQ(set.GetCount(), 2);
  const CPaletteColor& red = set.GetItem(0);
  EXPECT_EQ(red.number, 2);  // its line number; the comment counts
  EXPECT_EQ(red.GetColorref(), RGB(300 & 0xFF, 20, 30));
  EXPECT_EQ(red.mfgName, "Red");
  EXPECT_EQ(red.beadsPerTube, 225u);
  EXPECT_EQ(red.tubePrice, 0u);
  EXPECT_EQ(red.GetInUse(), 1);
  EXPECT_EQ(set.GetItem(1).mfgName, "");
  EXPECT_EQ(set.GetItem(1).number, 3);

  // A long name is read whole.
  const std::string longName(400, 'n');
  ASSERT_TRUE(ReadText(set, "1 2 3 4 " + longName + "\n", reason));
  EXPECT_EQ(set.GetItem(0).mfgName, longName.c_str());

  EXPECT_FALSE(ReadText(set, "1 2 3 4 A\n1 2 3\n9 9 9 9\n", reason));
  EXPECT_EQ(reason, "Invalid line 2 of the palette file\n1 2 3\n");
  EXPECT_EQ(set.GetCount(), 1);
  EXPECT_FALSE(ReadText(set, "1 2 3 4\n\n", reason));
  EXPECT_EQ(reason, "Invalid line 2 of the palette file\n\n");

  ASSERT_TRUE(ReadText(set, "", reason));
  EXPECT_EQ(set.GetCount(), 0);
}

TEST(TextPaletteTest, ExtendedLines) {
  CColorSet set;
  CString reason;
  ASSERT_TRUE(ReadText(set, kExtended + "5 200 100 50 {AB-05} (120)\n" +
                                "6 1 2 3 {C D} (10) [no] |100| =77= ~0.5~\n" +
                                "7 1 2 3 {E} (10) [NO] |x| =0= ~y~\n" + "8 1 2 3 {F} (10) |0|\n",
                       reason));
  EXPECT_EQ(set.GetKind(), CColorSet::kKindSheetData);
  ASSERT_EQ(set.GetCount(), 4);
  const CPaletteColor& a = set.GetItem(0);
  EXPECT_EQ(a.number, 5);
  EXPECT_EQ(a.GetColorref(), RGB(200, 100, 50));
  EXPECT_EQ(a.mfgName, "AB-05");
  EXPECT_EQ(a.price, 120u);
  EXPECT_EQ(a.beadsPerTube, 225u);
  EXPECT_EQ(a.tubePrice, 2700u);
  EXPECT_EQ(a.grams, 7.5f);
  EXPECT_EQ(a.GetInUse(), 1);
  const CPaletteColor& b = set.GetItem(1);
  EXPECT_EQ(b.mfgName, "C D");
  EXPECT_EQ(b.GetInUse(), 1);  // only "NO" switches it off
  EXPECT_EQ(b.beadsPerTube, 100u);
  EXPECT_EQ(b.tubePrice, 77u);
  EXPECT_EQ(b.grams, 0.5f);
  const CPaletteColor& c = set.GetItem(2);
  EXPECT_EQ(c.GetInUse(), 0);
  EXPECT_EQ(c.beadsPerTube, 225u);
  EXPECT_EQ(c.tubePrice, 10u * 225u / 10u);
  EXPECT_EQ(c.grams, 7.5f);
  EXPECT_EQ(set.GetItem(3).beadsPerTube, 0u);
  EXPECT_EQ(set.GetItem(3).tubePrice, 0u);

  struct Bad {
    const char* line;
    const char* reason;
  } bad[] = {
      {"{AB} 1 2 3 4 (1)\n", "Invalid line 2 of the palette file (mfg code)\n{AB} 1 2 3 4 (1)\n"},
      {"1 2 3 4 {AB}\n", "Invalid line 2 of the palette file (price)\n1 2 3 4 {AB}\n"},
      {"1 2 3 4 {AB} (x)\n", "Invalid line 2 of the palette file (price)\n1 2 3 4 {AB} (x)\n"},
      {"1 2 3 {AB} (5)\n", "Invalid line 2 of the palette file\n1 2 3 {AB} (5)\n"},
      {"\n", "Invalid line 2 of the palette file (mfg code)\n\n"},
  };
  for (const Bad& x : bad) {
    EXPECT_FALSE(ReadText(set, kExtended + x.line, reason)) << x.line;
    EXPECT_EQ(reason, x.reason);
  }
  // Colours before the failing line stay.
  EXPECT_FALSE(ReadText(set, kExtended + "1 2 3 4 {A} (1)\n# comment\n", reason));
  EXPECT_EQ(reason, "Invalid line 3 of the palette file (mfg code)\n# comment\n");
  EXPECT_EQ(set.GetCount(), 1);
}

TEST(TextPaletteTest, StoppingAfterALine) {
  std::string text = kExtended;
  for (int i = 0; i < 20; ++i) text += "1 2 3 4 {A} (1)\n";
  CStoppingColorSet set(11);
  CString reason;
  ASSERT_TRUE(ReadText(set, text, reason));
  EXPECT_EQ(set.GetCount(), 10);  // lines 2 to 11
  EXPECT_EQ(set.lines.front(), 2);
  EXPECT_EQ(set.lines.back(), 11);

  std::string plain = "# c\n";
  for (int i = 0; i < 20; ++i) plain += "1 2 3 4\n";
  CStoppingColorSet plainSet(10);
  ASSERT_TRUE(ReadText(plainSet, plain, reason));
  EXPECT_EQ(plainSet.GetCount(), 9);
  EXPECT_EQ(plainSet.lines.front(), 1);
}

TEST(TextPaletteTest, MosaicPalettes) {
  const auto dir = qmtest::MakeTempDir("mosaic");
  qmtest::WriteAll(dir / "lib.mil", {1, 2, 3});
  CColorSet set;
  CString reason;
  // The stored library path names no file, but its file name lies beside
  // the palette (a Windows path, split on backslashes).
  const std::string text = kMosaic + "Version=2\r\nImageLibraryPath=C:\\Old Place\\lib.mil\r\n" +
                           "5 200 100 50 !img1! {AB-05} (120)\r\n" + "6 1 2 3 {C} (10)\r\n";
  qmtest::WriteAll(dir / "m.pal", std::vector<BYTE>(text.begin(), text.end()));
  const CString path((dir / "m.pal").string());
  ASSERT_TRUE(set.LoadPaletteFile(path, reason)) << reason.GetString();
  EXPECT_EQ(set.GetKind(), CColorSet::kKindSheetDataAndImage);
  EXPECT_EQ(set.GetImageLibPath(), CString((dir / "lib.mil").string()));
  ASSERT_EQ(set.GetCount(), 2);
  EXPECT_EQ(set.GetItem(0).mfgName, "AB-05");
  EXPECT_EQ(set.GetItem(0).number, 5);
  EXPECT_EQ(set.GetItem(1).number, 6);

  // A path that names an existing file stays; one found nowhere stays as written.
  const std::string existing = (dir / "lib.mil").string();
  ASSERT_TRUE(ReadText(set, kMosaic + "Version=1\nImageLibraryPath=" + existing + "\n", reason));
  EXPECT_EQ(set.GetImageLibPath(), existing.c_str());
  ASSERT_TRUE(ReadText(set, kMosaic + "Version=1\nImageLibraryPath=/nowhere/x.mil\n", reason));
  EXPECT_EQ(set.GetImageLibPath(), "/nowhere/x.mil");
  EXPECT_EQ(set.GetKind(), CColorSet::kKindSheetDataAndImage);

  struct Bad {
    std::string text;
    const char* reason;
  } bad[] = {
      {kMosaic, "Invalid Version"},
      {kMosaic + "Version=0\n", "Invalid Version"},
      {kMosaic + "Version=\n", "Invalid Version"},
      {kMosaic + "Versions=3\n", "Invalid Version"},
      {kMosaic + "Version=1\n", "Invalid Image Library Path"},
      {kMosaic + "Version=1\nImageLibraryPath=", "Invalid Image Library Path"},
      {kMosaic + "Version=1\nLibrary=x\n", "Invalid Image Library Path"},
      {kMosaic + "Version=1\nImageLibraryPath=a\n!x! 1 2 3 {A} (1)\n", "Invalid line 4 of the palette file\n!x! 1 2 3 {A} (1)\n"},
  };
  for (const Bad& x : bad) {
    EXPECT_FALSE(ReadText(set, x.text, reason)) << x.text;
    EXPECT_EQ(reason, x.reason);
  }
}

TEST(TextPaletteTest, EmptyLibraryPathMakesAnExtendedPalette) {
  CColorSet set;
  CString reason;
  // "ImageLibraryPath=" followed by a carriage return alone: the path is empty.
  ASSERT_TRUE(ReadText(set, kMosaic + "Version=1\nImageLibraryPath=\r\r\n1 2 3 4 {A} (1)\n", reason));
  EXPECT_EQ(set.GetImageLibPath(), "");
  EXPECT_EQ(set.GetKind(), CColorSet::kKindSheetData);
  EXPECT_EQ(set.GetCount(), 1);
}
