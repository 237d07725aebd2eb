// Texts in the interface language: format names, the bead budget message,
// design descriptions and the information rows, in English and Russian.
#include <gtest/gtest.h>

#include "core/FrameServices.h"
#include "core/Registry.h"
#include "design/PatternInfo.h"
#include "design/PatternParams.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/base/resource.h"
#include "settings/AppSettings.h"
#include "tests/common/test_util.h"
#include "tests/core/core_test_util.h"
#include "tests/design/design_test_util.h"

using designtest::FakePalette;
using designtest::MakeGrid;

namespace {

// Opens the language pack of one language and sets the interface flag.
class Language {
 public:
  explicit Language(bool russian) : pack_(russian), flag_(russian) {}
  bool Loaded() const { return pack_.Loaded(); }

 private:
  qmtest::LanguagePack pack_;
  coretest::LanguageScope flag_;
};

std::string Utf8(const CString& text) { return CodePageToUtf8(text.str(), IsRussianInterface() ? 1251 : 1252); }

}  // namespace

TEST(InterfaceTexts, FormatAndStitchPathNames) {
  CString name("unchanged");
  {
    Language en(false);
    GetFormatName(12, name);
    EXPECT_EQ(name, "Sacred Brick");
    GetFormatName(99, name);
    EXPECT_EQ(name, "Loom");
    GetStitchPathName(4, name);
    EXPECT_EQ(name, "Gilbert Curve (1 bead)");
    GetStitchPathName(12, name);
    EXPECT_EQ(name, "Gilbert Curve (1 bead)");  // outside the table: unchanged
  }
  {
    Language ru(true);
    GetFormatName(2, name);
    EXPECT_EQ(Utf8(name), "Кактус-2 (2-peyote)");
    GetStitchPathName(0, name);
    EXPECT_EQ(Utf8(name), "Нет");
  }
}

TEST(InterfaceTexts, BeadBudgetMessage) {
  Language en(false);
  ASSERT_TRUE(en.Loaded());
  std::vector<CString> texts;
  UINT type = 0;
  SetMessageBoxHook([&](const CString& text, const CString& caption, UINT t) {
    texts.push_back(text);
    EXPECT_EQ(caption, "Quillmere");
    type = t;
    return IDOK;
  });
  CPatternParams params;
  params.m_width = 40;
  params.m_height = 30;
  EXPECT_FALSE(params.CheckBeadBudget(1000));
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Left(56), "Bead number 1,200 (40 x 30) is bigger than maximum allow");
  EXPECT_NE(texts[0].Find("number 1,000."), -1);
  EXPECT_EQ(type, 16u);
  EXPECT_TRUE(params.CheckBeadBudget(1200));
  EXPECT_EQ(texts.size(), 1u);
  // A grid whose bead count does not fit in 32 bits is refused, not wrapped.
  params.m_width = 100000;
  params.m_height = 100000;
  params.m_beadWidth = params.m_beadHeight = 1;
  EXPECT_FALSE(params.CheckBeadBudget(5000000));
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[1].Find("10,000,000,000"), -1);
  SetMessageBoxHook(nullptr);
}

TEST(InterfaceTexts, Descriptions) {
  Language en(false);
  CPattern p;
  EXPECT_EQ(p.GetDescription(), "<Pattern without a name>");
  p.m_filePath = "/home/ann/designs/rose.qx";
  EXPECT_EQ(p.GetDescription(), "Pattern from the file 'rose'");
  p.m_filePath = "C:\\old\\tulip.qx";  // paths from older files may use backslashes
  EXPECT_EQ(p.GetDescription(), "Pattern from the file 'tulip'");
  p.m_title = "Rose";
  EXPECT_EQ(p.GetDescription(), "Rose");
}

TEST(InterfaceTexts, InformationRows) {
  CPattern p = MakeGrid(2, 1);  // 2 x 1 inches, bead 1
  p.m_spacer = 0.1;
  p.m_filePath = "/d/rose.qx";
  p.m_pathColor = 2;
  p.m_stitchPath = 1;
  FakePalette palette({RGB(1, 2, 3), RGB(4, 5, 6)});
  palette.entries[1].name = "DB-0042";
  {
    Language en(false);
    CPatternInfoRows rows;
    BuildPatternInfoRows(p, palette, false, rows);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].label, "Pattern size");
    EXPECT_EQ(rows[0].value, "2.00000 x 1.00000 inches");
    EXPECT_EQ(rows[1].value, "2 x 1 beads");
    EXPECT_EQ(rows[2].value, "format Loom, mask Right Angle Weave, mask color DB-0042");
    const int preset = GetAppSettings().FindNearestBeadSize(1.0, 1.0) + 1;
    EXPECT_EQ(rows[3].value, CString("1.00000 x 1.00000 (1/") + CString(std::to_string(preset)) + ")");
    EXPECT_EQ(rows[4].value, "spacer 0.10000 inches");
    EXPECT_EQ(rows[5].label, "Beads number");
    EXPECT_EQ(rows[5].value, "number 2");
    EXPECT_EQ(rows[6].label, "File");
    EXPECT_EQ(rows[6].value, "rose");
    p.m_pathColor = 0;
    BuildPatternInfoRows(p, palette, true, rows);
    EXPECT_EQ(rows[2].value, "format Loom, mask Right Angle Weave, mask color <BLANK>");
    EXPECT_EQ(rows[6].label, "Path");
    EXPECT_EQ(rows[6].value, "/d/rose.qx");
    p.m_pathColor = 9;  // not a palette colour
    BuildPatternInfoRows(p, palette, false, rows);
    EXPECT_EQ(rows[2].value, "format Loom, mask Right Angle Weave, mask color <BLANK>");
  }
  {
    Language ru(true);
    CPatternInfoRows rows;
    BuildPatternInfoRows(p, palette, false, rows);
    EXPECT_EQ(Utf8(rows[0].value), "5.08000 x 2.54000 см");
    EXPECT_EQ(Utf8(rows[4].value), "зазор 0.25400 см");
    // The bead size in centimetres too, beside the size and the spacer.
    const int preset = GetAppSettings().FindNearestBeadSize(1.0, 1.0) + 1;
    EXPECT_EQ(Utf8(rows[3].value), "2.54000 x 2.54000 (1/" + std::to_string(preset) + ")");
    EXPECT_EQ(p.GetActualWidthInUnits(), 2 * 2.54);
  }
}

TEST(InterfaceTexts, GroupedBeadNumber) {
  Language en(false);
  CPattern p = MakeGrid(12345, 1);
  FakePalette palette({RGB(0, 0, 0)});
  CPatternInfoRows rows;
  BuildPatternInfoRows(p, palette, false, rows);
  EXPECT_EQ(rows[5].value, "number 12 345");
  EXPECT_EQ(rows[6].value, "");  // no file path
}
