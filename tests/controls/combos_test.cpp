// The combo boxes.
#include <gtest/gtest.h>

#include "controls/BeadSizeCombo.h"
#include "controls/ComboBoxes.h"
#include "controls/DrawUtils.h"
#include "palette/ColorSet.h"
#include "platform/wnd/host.h"
#include "settings/AppSettings.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"

namespace {

CColorSet MakePalette(int n) {
  CColorSet set;
  for (int i = 0; i < n; ++i) {
    CPaletteColor c;
    c.SetRgb(CRgbTriple(static_cast<BYTE>(i * 20), static_cast<BYTE>(200 - i * 10), 60));
    c.mfgName.Format("C%02d", i);
    c.SetInUse(i % 3 == 0);
    set.Append(c);
  }
  return set;
}

// A toolbar in a frame, as the main window holds it.
class CTestFrame : public CFrameWnd {};

}  // namespace

TEST(ComboBoxXP, HeightGivesFieldAndTwentyRows) {
  ctltest::Host host;
  CComboBoxXP combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, RECT{10, 10, 110, 200}, &host, 50));
  for (int i = 0; i < 40; ++i) {
    CString s;
    s.Format("%d %%", i * 10);
    combo.AddString(s);
  }
  ASSERT_TRUE(combo.GetEdit().GetSafeHwnd());
  combo.SetWindowPos(nullptr, 0, 0, 100, 22, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(combo.GetItemHeight(-1), 16);
  CRect window;
  combo.GetWindowRect(&window);
  EXPECT_EQ(window.Height(), 22);
  CRect dropped;
  combo.GetDroppedControlRect(&dropped);
  EXPECT_GE((dropped.Height() - window.Height()) / combo.GetItemHeight(0), 20);
  EXPECT_EQ(combo.GetVisibleItemCount(), 20);
  // Away from a toolbar the drop button is framed and not hot.
  EXPECT_EQ(combo.GetButtonState(), kDrawButtonArrow | kDrawButtonFlat | kDrawButtonFramed);
  combo.GetHoverTracker().OnMouseMove();
  EXPECT_EQ(combo.GetButtonState(), kDrawButtonArrow | kDrawButtonFlat | kDrawButtonFramed | kDrawButtonHot);
  EXPECT_FALSE(IsInDockedControlBar(&combo));
}

TEST(ComboBoxXP, EnterAndEscapeOnADockedToolbar) {
  CFrameWnd* frame = new CTestFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 300)));
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
  CComboBoxXP combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, RECT{0, 0, 80, 200}, &bar, 60));
  EXPECT_TRUE(IsInDockedControlBar(&combo));
  combo.AddString("100");
  combo.GetEdit().SetFocus();
  EXPECT_EQ(combo.GetButtonState() & kDrawButtonHot, kDrawButtonHot);  // focused on a toolbar
  QmSendKey(combo.GetEdit().GetSafeHwnd(), VK_ESCAPE);
  QmPumpMessages();
  EXPECT_EQ(::GetFocus(), frame->GetSafeHwnd());
  frame->DestroyWindow();
}

TEST(ColorCombos, UsedColorFills) {
  qmtest::LanguagePack pack(false);
  ctltest::Host host;
  CColorSet palette = MakePalette(10);
  CComboUsedColor combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                           RECT{0, 0, 120, 200}, &host, 70));
  combo.FillAllColors(&palette, true);
  EXPECT_EQ(combo.GetCount(), 11);
  EXPECT_EQ(combo.GetCurSel(), 0);
  CString first;
  combo.GetLBText(0, first);
  EXPECT_EQ(first, "<BLANK>");
  EXPECT_EQ(reinterpret_cast<const CPaletteColor*>(combo.GetItemData(0)), &combo.GetBlankRecord());
  EXPECT_EQ(combo.GetBlankRecord().beadsPerTube, 225u);
  EXPECT_EQ(reinterpret_cast<CPaletteColor*>(combo.GetItemData(3)), palette.GetColor(2));
  // The blank item is painted black with white text.
  ctltest::Canvas canvas(120, 16);
  DRAWITEMSTRUCT dis = ctltest::ItemFor(canvas, combo.GetSafeHwnd(), 120, 16, 0);
  dis.CtlType = ODT_COMBOBOX;
  dis.itemID = 0;
  dis.itemData = combo.GetItemData(0);
  combo.DrawItem(&dis);
  EXPECT_EQ(canvas.Px(2, 2), RGB(0, 0, 0));
  EXPECT_GT(canvas.BoxOf(RGB(255, 255, 255)).right, 0);
  // Used colours are appended, twice when filled twice.
  combo.ResetContent();
  combo.FillUsedColors(&palette);
  combo.FillUsedColors(&palette);
  EXPECT_EQ(combo.GetCount(), 8);  // 4 in use (0, 3, 6, 9), twice
  EXPECT_EQ(combo.GetCurSel(), -1);
}

TEST(ColorCombos, ColorSetCombo) {
  ctltest::Host host;
  CColorSetComboBox empty(nullptr);
  ASSERT_TRUE(empty.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, RECT{0, 0, 100, 200}, &host,
                           80));
  EXPECT_FALSE(empty.Fill());
  EXPECT_EQ(empty.GetCount(), 0);
  EXPECT_EQ(empty.GetSelectedColor(), 0xFFFFFFFFu);

  CColorSet palette = MakePalette(10);
  CColorSetComboBox combo(&palette);
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, RECT{0, 30, 100, 200}, &host,
                           81));
  EXPECT_TRUE(combo.Fill());
  EXPECT_EQ(combo.GetCount(), 10);
  EXPECT_EQ(combo.GetSelectedColor(), palette.GetColor(0)->GetColorref());
  // The nearest colour in use: colour 7 is not in use, 6 is.
  EXPECT_EQ(combo.SelectColor(palette.GetColor(7)->GetColorref()), 6);
  EXPECT_EQ(combo.GetSelectedColor(), palette.GetColor(6)->GetColorref());
  for (int i = 0; i < palette.GetCount(); ++i) palette.SetColorInUse(i, false);
  EXPECT_LT(combo.SelectColor(RGB(1, 2, 3)), 0);
  // Selected item: a 1-pixel inverted frame, the text in the contrast colour.
  ctltest::Canvas canvas(100, 18);
  DRAWITEMSTRUCT dis = ctltest::ItemFor(canvas, combo.GetSafeHwnd(), 100, 18, ODS_SELECTED);
  dis.CtlType = ODT_COMBOBOX;
  dis.itemID = 1;
  dis.itemData = combo.GetItemData(1);
  combo.DrawItem(&dis);
  const COLORREF c = palette.GetColor(1)->GetColorref();
  EXPECT_EQ(canvas.Px(50, 0), InvertColor(c));
  EXPECT_EQ(canvas.Px(0, 9), InvertColor(c));
  EXPECT_EQ(canvas.Px(80, 9), c);
}

TEST(BeadSizeCombo, FillAndSelection) {
  ctltest::Host host;
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, RECT{0, 0, 100, 200}, &host, 90));
  CAppSettings settings;
  FillBeadSizeCombo(combo, settings);
  EXPECT_EQ(combo.GetCount(), 21);
  CString text;
  combo.GetLBText(combo.GetCurSel(), text);
  EXPECT_EQ(text, "11");
  double w = 0, h = 0;
  EXPECT_TRUE(GetSelectedBeadSize(combo, settings, w, h));
  EXPECT_FLOAT_EQ(static_cast<float>(w), 0.05f);
  settings.m_beadSizes.resize(5);
  FillBeadSizeCombo(combo, settings);
  EXPECT_EQ(combo.GetCurSel(), 4);
  combo.SetCurSel(-1);
  EXPECT_TRUE(GetSelectedBeadSize(combo, settings, w, h));  // no selection: the first entry
  EXPECT_FLOAT_EQ(static_cast<float>(w), 0.5f);
  settings.m_beadSizes.clear();
  FillBeadSizeCombo(combo, settings);
  EXPECT_EQ(combo.GetCount(), 0);
  w = h = 7;
  EXPECT_FALSE(GetSelectedBeadSize(combo, settings, w, h));
  EXPECT_EQ(w, 7);
  EXPECT_EQ(h, 7);
}
