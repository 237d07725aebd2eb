// The colour adjustment sheet and its pages: neutral positions and labels,
// the red-green-blue channel pass, slider releases as steps, Undo and Redo
// across pages, "Back to original", OK and Cancel, the run-time buttons'
// places in both languages, and pictures of the live sheet.
#include <gtest/gtest.h>

#include "core/FrameServices.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "dialogs/AdjustSheet.h"
#include "lang/ids/adjust.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/adjust_fixture.h"
#include "tests/dialogs/wizard_fixture.h"
#include "core/ViewServices.h"
#include "view/TabView.h"
#include "view/ViewHooks.h"
#include "tests/common/modal_hook.h"

using namespace adjusttest;

namespace {

// A palette of reds, greens and greys, all in use.
CColorSet MakeShadesPalette() {
  CColorSet palette;
  int n = 0;
  for (int v = 0; v <= 255; v += 51)
    for (const auto& rgb : {CRgbTriple(static_cast<BYTE>(v), 40, 40), CRgbTriple(40, static_cast<BYTE>(v), 40),
                            CRgbTriple(static_cast<BYTE>(v), static_cast<BYTE>(v), static_cast<BYTE>(v))}) {
      CString name;
      name.Format("S%d", ++n);
      CPaletteColor c(rgb, name, 0, n, 1000, 100);
      c.SetInUse(1);
      palette.Append(c);
    }
  return palette;
}

// A slider released at a position, as the mouse leaves it.
void Release(CAdjustPage& page, int slider, int position) {
  page.GetSlider(slider).SetPos(position);
  page.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(page.GetSlider(slider).m_hWnd));
}

CRect ChildRect(HWND dlg, int id) {
  CRect r;
  ::GetWindowRect(GetDlgItem(dlg, id), &r);
  ::ScreenToClient(dlg, reinterpret_cast<POINT*>(&r.left));
  ::ScreenToClient(dlg, reinterpret_cast<POINT*>(&r.right));
  return r;
}

}  // namespace

TEST(AdjustPages, NeutralPositionsAndLabels) {
  EXPECT_EQ(CBrightnessContrastPage::Brightness(51), 0);
  EXPECT_EQ(CBrightnessContrastPage::Brightness(0), -255);
  EXPECT_EQ(CBrightnessContrastPage::Brightness(102), 255);
  EXPECT_EQ(CBrightnessContrastPage::Contrast(50), 0);
  EXPECT_EQ(CBrightnessContrastPage::Contrast(100), 100);
  EXPECT_EQ(CHslPage::Hue(45), 0);
  EXPECT_EQ(CHslPage::Hue(0), -180);
  EXPECT_EQ(CHslPage::Shift(50), 0);
  const struct {
    int position, percent;
  } rgb[] = {{0, -102}, {1, -100}, {40, -2}, {41, 0}, {42, 2}, {43, 5}, {80, 97}, {81, 100}};
  for (const auto& c : rgb) EXPECT_EQ(CRGBPage::PercentOf(c.position), c.percent) << c.position;
  EXPECT_FLOAT_EQ(CRGBPage::ShiftOf(0), -1.025f);
  EXPECT_FLOAT_EQ(CRGBPage::ShiftOf(81), 1.0f);
}

TEST(AdjustPages, ShiftChannelTakesTheNearestColourAndKeepsColourlessBeads) {
  CColorSet palette = MakeShadesPalette();
  CPattern design = MakeGridDesign(6, 4, 3);  // indices 0 (black-red), 1, 2
  CRGBPage::ShiftChannel(design, palette, 0, 1.0f);
  // Red (40 -> 255 after the shift of index 1's 40,0,40 ... ) every bead
  // takes the nearest in-use colour of its shifted colour.
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 6; ++c) {
      const int before = (c + r) % 3;
      COLORREF shifted = palette.GetColorrefAt(before);
      shifted = (shifted & ~0xFFu) | 0xFF;
      EXPECT_EQ(design.GetBeadAt(c, r)->GetColorIndex(design), palette.FindNearestColorref(shifted));
    }
  // No colour in use: the beads keep their colours.
  CPattern second = MakeGridDesign(6, 4, 3);
  for (int i = 0; i < palette.GetCount(); ++i) palette.SetColorInUse(i, false);
  CRGBPage::ShiftChannel(second, palette, 1, -1.0f);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 6; ++c) EXPECT_EQ(second.GetBeadAt(c, r)->GetColorIndex(second), (c + r) % 3);
}

class AdjustSheetTest : public ::testing::TestWithParam<bool> {
 protected:
  void TearDown() override {
    qmtest::SetModalHook({});
    SetRussianInterface(false);
  }
};

TEST_P(AdjustSheetTest, StepsUndoAcrossPagesBackToOriginalAndCancel) {
  const bool russian = GetParam();
  SetRussianInterface(russian);
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  CColorSet palette = MakeShadesPalette();
  PutDesign(frame.View(), MakeGridDesign(20, 14, 12), palette, "/p/shades.pal");
  CPattern* design = frame.View()->GetPattern();
  design->SetModified(false);
  const CPattern original(*design);
  CAdjustSheet sheet(design, frame.View()->GetColorSet(), IDS_ADJUST_COLORS, nullptr, 0);
  qmtest::SetModalHook([&](HWND dlg) {
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_FALSE(sheet.IsChanged());
    EXPECT_NE(sheet.GetBeforeImage(), nullptr);
    EXPECT_NE(sheet.GetAfterImage(), nullptr);
    EXPECT_EQ(sheet.GetBrightnessContrastPage().GetAfterPreview().GetImage(), sheet.GetAfterImage());
    // The run-time buttons: "Back to original" 44 pixels wider in Russian,
    // Undo and Redo beside it, all on the row of OK and Cancel.
    const CRect back = ChildRect(dlg, IDC_ADJ_BACK_TO_ORIGINAL), undo = ChildRect(dlg, IDC_ADJ_UNDO),
                redo = ChildRect(dlg, IDC_ADJ_REDO);
    const CRect ok = ChildRect(dlg, IDOK);
    EXPECT_EQ(back, CRect(5, ok.top, russian ? 149 : 105, ok.bottom));
    // Undo and Redo: 94 pixels, 12 apart; wider where their caption needs
    // it (Russian), never narrower.
    EXPECT_EQ(undo.left, back.right + 20);
    EXPECT_GE(undo.Width(), 94);
    EXPECT_EQ(redo.left, undo.right + 12);
    EXPECT_GE(redo.Width(), 94);
    EXPECT_EQ(undo.top, back.top);
    EXPECT_EQ(redo.bottom, back.bottom);
    if (!russian) {
      EXPECT_EQ(undo.Width(), 94);
      EXPECT_EQ(redo.Width(), 94);
    }
    EXPECT_LT(redo.right, ok.left);
    EXPECT_FALSE(Enabled(GetDlgItem(dlg, IDC_ADJ_UNDO)));
    CheckAndShoot(dlg, russian, "adjust_brightness");

    // Red, then green: the working design shows the green shift alone.
    sheet.SetActivePage(2);
    CRGBPage& rgb = sheet.GetRgbPage();
    CheckAndShoot(dlg, russian, "adjust_rgb");
    Release(rgb, 0, 60);
    Release(rgb, 1, 20);
    CPattern greenOnly(original);
    CRGBPage::ShiftChannel(greenOnly, *frame.View()->GetColorSet(), 1, CRGBPage::ShiftOf(20));
    EXPECT_TRUE(wiztest::SameBeads(*sheet.GetWorkingPattern(), greenOnly));
    EXPECT_EQ(rgb.GetSlider(0).GetPos(), 60);
    EXPECT_TRUE(sheet.IsChanged());
    EXPECT_TRUE(Enabled(GetDlgItem(dlg, IDC_ADJ_UNDO)));
    // Undo of the green step: that slider back, recomputed with green alone.
    sheet.OnUndo();
    EXPECT_EQ(rgb.GetSlider(1).GetPos(), 41);
    EXPECT_EQ(rgb.GetSlider(0).GetPos(), 60);
    CPattern greenNeutral(original);
    CRGBPage::ShiftChannel(greenNeutral, *frame.View()->GetColorSet(), 1, 0.0f);
    EXPECT_TRUE(wiztest::SameBeads(*sheet.GetWorkingPattern(), greenNeutral));
    EXPECT_TRUE(Enabled(GetDlgItem(dlg, IDC_ADJ_REDO)));
    sheet.OnRedo();
    EXPECT_EQ(rgb.GetSlider(1).GetPos(), 20);
    EXPECT_TRUE(wiztest::SameBeads(*sheet.GetWorkingPattern(), greenOnly));

    // A brightness step, then Undo from another page: it only switches.
    sheet.SetActivePage(0);
    CBrightnessContrastPage& bc = sheet.GetBrightnessContrastPage();
    Release(bc, 0, 70);
    EXPECT_EQ(sheet.GetSteps().GetPosition(), 2);
    sheet.SetActivePage(2);
    sheet.OnUndo();
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(bc.GetSlider(0).GetPos(), 70);
    EXPECT_EQ(sheet.GetSteps().GetPosition(), 1);
    // The next Undo is the green step's, on page 2: it switches back.
    sheet.OnUndo();
    EXPECT_EQ(sheet.GetActiveIndex(), 2);

    // Back to original: every shown page at neutral, the working design
    // the initial one; a later step records the remembered positions.
    sheet.OnBackToOriginal();
    EXPECT_EQ(bc.GetSlider(0).GetPos(), 51);
    EXPECT_EQ(rgb.GetSlider(0).GetPos(), 41);
    EXPECT_EQ(rgb.GetSlider(1).GetPos(), 41);
    EXPECT_TRUE(wiztest::SameBeads(*sheet.GetWorkingPattern(), original));
    EXPECT_TRUE(sheet.IsChanged());
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  qmtest::SetModalHook({});
  EXPECT_TRUE(sheet.IsChanged());
  EXPECT_TRUE(wiztest::SameBeads(*design, original));
  EXPECT_FALSE(design->IsModified());
}

TEST_P(AdjustSheetTest, OkAppliesOnlyAfterAChange) {
  const bool russian = GetParam();
  SetRussianInterface(russian);
  qmtest::LanguagePack pack(russian);
  CViewFrame frame;
  PutDesign(frame.View(), MakeGridDesign(10, 8, 12), MakeShadesPalette(), "/p/shades.pal");
  CPattern* design = frame.View()->GetPattern();
  design->SetModified(false);
  const CPattern original(*design);
  {
    CAdjustSheet sheet(design, frame.View()->GetColorSet(), IDS_ADJUST_COLORS, nullptr, 0);
    qmtest::SetModalHook([&](HWND dlg) { QmClickButton(GetDlgItem(dlg, IDOK)); });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_FALSE(sheet.IsChanged());
    EXPECT_FALSE(design->IsModified());
  }
  CPattern expected;
  {
    CAdjustSheet sheet(design, frame.View()->GetColorSet(), IDS_ADJUST_COLORS, nullptr, 0);
    qmtest::SetModalHook([&](HWND dlg) {
      sheet.SetActivePage(1);
      CheckAndShoot(dlg, russian, "adjust_hsl");
      Release(sheet.GetHslPage(), 0, 80);
      expected = *sheet.GetWorkingPattern();
      QmClickButton(GetDlgItem(dlg, IDOK));
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_TRUE(sheet.IsChanged());
  }
  EXPECT_FALSE(wiztest::SameBeads(expected, original));
  EXPECT_TRUE(wiztest::SameBeads(*design, expected));
  EXPECT_TRUE(design->IsModified());
}

TEST(AdjustSheet, AFailedPreviewLeavesThePagesWithoutAPicture) {
  qmtest::LanguagePack pack(false);
  CViewFrame frame;
  PutDesign(frame.View(), MakeGridDesign(10, 8, 12), MakeShadesPalette(), "/p/shades.pal");
  CAdjustSheet sheet(frame.View()->GetPattern(), frame.View()->GetColorSet(), IDS_ADJUST_COLORS, nullptr, 0);
  qmtest::SetModalHook([&](HWND dlg) {
    ASSERT_NE(sheet.GetAfterImage(), nullptr);
    // The renderer fails from now on: the old picture is gone from every
    // page (they paint the background), none takes its place.
    SetPatternThumbnailRenderer([](CDC*, CPattern&, CColorSet&, SIZE, int, CBitmap&, COLORREF) { return false; });
    Release(sheet.GetBrightnessContrastPage(), 0, 80);
    EXPECT_EQ(sheet.GetAfterImage(), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sheet.GetAdjustPage(i)->GetAfterPreview().GetImage(), nullptr);
    EXPECT_NE(sheet.GetBeforeImage(), nullptr);
    EXPECT_TRUE(sheet.IsChanged());
    sheet.GetBrightnessContrastPage().GetAfterPreview().UpdateWindow();
    InstallViewHooks();
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  sheet.DoModal();
  qmtest::SetModalHook({});
}

TEST_P(AdjustSheetTest, SmallScreensTakeTheCompactPages) {
  const bool russian = GetParam();
  SetRussianInterface(russian);
  qmtest::LanguagePack pack(russian);
  SetSmallScreen(true);
  CViewFrame frame;
  PutDesign(frame.View(), MakeGridDesign(10, 8, 12), MakeShadesPalette(), "/p/shades.pal");
  CAdjustSheet sheet(frame.View()->GetPattern(), frame.View()->GetColorSet(), IDS_ADJUST_COLORS, nullptr, 0);
  int height = 0;
  qmtest::SetModalHook([&](HWND dlg) {
    CRect r;
    ::GetWindowRect(dlg, &r);
    height = r.Height();
    sheet.SetActivePage(2);
    Release(sheet.GetRgbPage(), 2, 60);
    CheckAndShoot(dlg, russian, "adjust_rgb_compact");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  sheet.DoModal();
  SetSmallScreen(false);
  EXPECT_GT(height, 0);
  EXPECT_LE(height, 560);
}

INSTANTIATE_TEST_SUITE_P(Packs, AdjustSheetTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Russian" : "English"; });
