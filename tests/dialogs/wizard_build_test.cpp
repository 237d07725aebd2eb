// The wizard's build step: its calls into the view in order, the picture
// decoded once and kept as the original, the same beads as loading the
// picture and then building, the blank canvas, and the failures.
#include <gtest/gtest.h>

#include "builder/PatternBuilder.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "dialogs/WizardBuild.h"
#include "dialogs/WizardData.h"
#include "lang/ids/wizard.h"
#include "lang/ids/file.h"
#include "settings/AppSettings.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/wizard_fixture.h"

using namespace wiztest;

namespace {

CWizardData PictureRecord(const std::filesystem::path& picture) {
  CWizardData d;
  d.m_projectType = kProjectFromPicture;
  d.m_picturePath = picture.c_str();
  d.m_palettePath = "/palettes/test.pal";
  d.m_params.m_width = 3.0;
  d.m_params.m_height = 2.0;
  d.m_params.m_beadWidth = 0.1;
  d.m_params.m_beadHeight = 0.1;
  d.m_params.m_spacer = 0.0;
  d.m_params.m_format = 1;
  d.m_params.m_colorMode = 3;
  return d;
}

std::function<void(bool)> FinishLogger(CFakeHost& host) {
  return [&host](bool enable) { host.Log(enable ? "EnableFinish 1" : "EnableFinish 0"); };
}

}  // namespace

TEST(WizardBuild, PictureProjectInOrderAndBeadForBeadAsLoadThenBuild) {
  SetRussianInterface(false);
  qmtest::LanguagePack pack(false);
  const auto dir = qmtest::MakeTempDir("wizbuild");
  const auto jpeg = SavePicture(dir / "photo.jpg", 300, 200);
  const CColorSet palette = MakePalette(12);
  CWizardData record = PictureRecord(jpeg);
  CFakeHost host;
  host.pattern.m_filePath = "/old/design.qx";
  host.pattern.m_word = 3;
  CMessageLog messages;
  ASSERT_TRUE(BuildWizardDesign(host, record, palette, "Sunset", FinishLogger(host)));
  const std::vector<std::string> expected = {
      "SetColorSet",   "SetOriginalPicture", "ClearEditHistory", "RenderPatternView", "SetZoomMode 1",
      "ApplyZoomMode", "RepaintNow",         "EnableFinish 1",   "FillColorList",     "UpdateOriginalControls"};
  EXPECT_EQ(host.calls, expected);
  EXPECT_TRUE(messages.texts.empty());
  EXPECT_EQ(host.pattern.m_title, CString("Sunset"));
  EXPECT_EQ(host.pattern.m_beadEffect, 2u);
  EXPECT_EQ(host.pattern.m_word, 7u);
  CString path;
  EXPECT_FALSE(host.pattern.GetFilePath(path));
  EXPECT_EQ(host.palettePath, CString("/palettes/test.pal"));
  ASSERT_NE(host.original, nullptr);
  EXPECT_EQ(host.original->GetWidth(), 300);
  EXPECT_EQ(host.original->GetHeight(), 200);
  EXPECT_EQ(host.originalPath, CString(jpeg.c_str()));
  EXPECT_EQ(host.pattern.GetColumnCount(), 30u);

  // The straightforward way: load the picture, then build from it.
  bool ok = false;
  CImage picture(jpeg.c_str(), ok);
  ASSERT_TRUE(ok);
  CPattern literal;
  CColorSet literalPalette(palette);
  ASSERT_TRUE(BuildPattern(literal, 1000000, record.m_params, literalPalette, &picture));
  EXPECT_TRUE(SameBeads(host.pattern, literal));
  // The decoded picture is the same picture.
  for (int y = 0; y < 200; y += 37) {
    for (int x = 0; x < 300; x += 41) {
      COLORREF a = 0, b = 0;
      ASSERT_TRUE(host.original->GetPixelColor(x, y, a));
      ASSERT_TRUE(picture.GetPixelColor(x, y, b));
      EXPECT_EQ(a, b);
    }
  }
}

TEST(WizardBuild, BlankCanvasDropsTheOriginalPicture) {
  SetRussianInterface(false);
  qmtest::LanguagePack pack(false);
  const CColorSet palette = MakePalette(5);
  CWizardData record;
  record.m_projectType = kProjectBlankCanvas;
  record.m_params.m_width = 1.0;
  record.m_params.m_height = 0.5;
  record.m_params.m_beadWidth = 0.1;
  record.m_params.m_beadHeight = 0.1;
  record.m_params.m_blank = 1;
  GetAppSettings().m_blankColor = palette.GetItem(2).GetColorref();
  GetAppSettings().m_borderColor = 0xFFFFFFFF;
  CFakeHost host;
  bool ok = false;
  host.original = std::make_unique<CImage>(10, 10, ok, 0);
  CMessageLog messages;
  ASSERT_TRUE(BuildWizardDesign(host, record, palette, "Blank", FinishLogger(host)));
  EXPECT_EQ(host.calls.at(0), "SetColorSet");
  EXPECT_EQ(host.calls.at(1), "DeleteOriginalPicture");
  EXPECT_EQ(host.original, nullptr);
  EXPECT_EQ(host.pattern.GetColumnCount(), 10u);
  EXPECT_EQ(host.pattern.GetRowCount(), 5u);
  for (const CBead& bead : host.pattern.GetBeadArray()) ASSERT_EQ(bead.m_colorIndex, 2);
  EXPECT_TRUE(messages.texts.empty());
}

TEST(WizardBuild, PictureThatCannotBeReadAndFailedBuild) {
  SetRussianInterface(false);
  qmtest::LanguagePack pack(false);
  const auto dir = qmtest::MakeTempDir("wizbuildfail");
  const auto junk = dir / "junk.jpg";
  qmtest::WriteAll(junk, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
  const CColorSet palette = MakePalette(4);
  {
    CFakeHost host;
    bool ok = false;
    host.original = std::make_unique<CImage>(10, 10, ok, 0);
    CMessageLog messages;
    EXPECT_FALSE(BuildWizardDesign(host, PictureRecord(junk), palette, "x", FinishLogger(host)));
    const std::vector<std::string> expected = {"SetColorSet", "DeleteOriginalPicture", "EnableFinish 0"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(host.original, nullptr);
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[0], std::string(LoadResString(IDS_FAILED_LOAD_IMAGE)) + "\n" + junk.string());
    EXPECT_EQ(messages.texts[1], std::string(LoadResString(IDS_WIZ_BUILD_FAILED)));
  }
  {
    // More beads than allowed: the builder's message, then 59416.
    const auto jpeg = SavePicture(dir / "small.jpg", 40, 30);
    CFakeHost host;
    host.maxBeads = 100;
    CMessageLog messages;
    EXPECT_FALSE(BuildWizardDesign(host, PictureRecord(jpeg), palette, "x", FinishLogger(host)));
    EXPECT_EQ(host.calls.back(), "EnableFinish 0");
    ASSERT_GE(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts.back(), std::string(LoadResString(IDS_WIZ_BUILD_FAILED)));
  }
}
