// The text-by-beads window over a real design view: the text is drawn from
// the design as it was at opening every time, at transparency 0 in exactly
// the chosen colour, at 10 in each bead's own; moved partly off the design
// it is clipped and comes back whole; dragging its frame moves it; OK is one
// view step, Cancel takes the text away. No test depends on a glyph shape:
// each compares with the cells the same rasterisation gives.
#include <gtest/gtest.h>

#include "controls/DrawUtils.h"
#include "core/FrameServices.h"
#include "dialogs/AddTextDlg.h"
#include "lang/ids/tooldlg.h"
#include "tests/dialogs/tooldlg_fixture.h"
#include "tools/dialogshots/DialogShots.h"
#include "tests/common/modal_hook.h"

using namespace tooltest;

namespace {

const std::vector<COLORREF> kColors = {RGB(250, 250, 250), RGB(200, 30, 30), RGB(30, 30, 200)};

class TextByBeadsTest : public ToolDialogTest {
 protected:
  CAddTextIntoDesignDlg* Open() {
    CAddTextIntoDesignDlg* dialog = OpenTextByBeadsDialog(view, frame);
    EXPECT_NE(dialog, nullptr);
    QmPumpMessages(20);
    return dialog;
  }
  void TypeAndApply(CAddTextIntoDesignDlg* dialog, const char* text) {
    dialog->SetDlgItemText(IDC_TEXT_EDIT, text);
    dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  }
  // Selects the colour box's entry of the n-th colour in use.
  void PickColor(CAddTextIntoDesignDlg* dialog, int item) {
    static_cast<CComboBox*>(dialog->GetDlgItem(IDC_TEXT_COLOR))->SetCurSel(item);
  }
  // The cells the text covers at the position (rows from the top), inside
  // the grid.
  std::vector<POINT> Cells(const char* text, POINT at) {
    SIZE size{0, 0};
    std::vector<POINT> cells;
    EXPECT_TRUE(RasterizeText(text, CAddTextIntoDesignDlg::SharedFont(), size, cells));
    std::vector<POINT> out;
    for (POINT c : cells) {
      const POINT p{at.x + c.x, at.y + c.y};
      if (p.x >= 0 && p.y >= 0 && p.x < int(Design().GetColumnCount()) && p.y < int(Design().GetRowCount()))
        out.push_back(p);
    }
    return out;
  }
  int CountColor(int color) {
    int n = 0;
    for (const CBead& b : Design().GetBeadArray()) n += b.GetColorIndex(Design()) == color;
    return n;
  }
};

}  // namespace

TEST_F(TextByBeadsTest, TransparencyZeroPaintsTheColourAndTenLeavesEveryBeadItsOwn) {
  PutDesign(MakeDesign(60, 30, 0), kColors);
  CAddTextIntoDesignDlg* dialog = Open();
  PickColor(dialog, 1);  // colour 1 is the second colour in use
  const std::vector<POINT> cells = Cells("Hi", POINT{0, 0});
  ASSERT_FALSE(cells.empty());
  const COLORREF before = PixelAt(cells[0].x, cells[0].y);
  TypeAndApply(dialog, "Hi");
  for (POINT c : cells) ASSERT_EQ(At(c.x, c.y), 1) << c.x << "," << c.y;
  EXPECT_EQ(CountColor(1), int(cells.size()));
  EXPECT_NE(PixelAt(cells[0].x, cells[0].y), before);
  static_cast<CSliderCtrl*>(dialog->GetDlgItem(IDC_TEXT_TRANSPARENCY))->SetPos(10);
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  EXPECT_EQ(CountColor(1), 0);
  EXPECT_EQ(CountColor(0), 60 * 30);
  // Half way: a colour between, nearest in the palette per channel blend.
  static_cast<CSliderCtrl*>(dialog->GetDlgItem(IDC_TEXT_TRANSPARENCY))->SetPos(3);
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  EXPECT_EQ(CountColor(1), int(cells.size()));
}

TEST_F(TextByBeadsTest, MovedPartlyOffTheDesignTheTextIsClippedAndComesBackWhole) {
  PutDesign(MakeDesign(40, 30, 0), kColors);
  CAddTextIntoDesignDlg* dialog = Open();
  PickColor(dialog, 2);
  TypeAndApply(dialog, "W");
  const int whole = CountColor(2);
  ASSERT_GT(whole, 0);
  for (int i = 0; i < 4; ++i) dialog->SendMessage(WM_COMMAND, IDC_TEXT_LEFT, 0);
  EXPECT_EQ(dialog->GetTextPosition().x, -4);
  EXPECT_EQ(CountColor(2), int(Cells("W", POINT{-4, 0}).size()));
  EXPECT_LT(CountColor(2), whole);
  for (int i = 0; i < 4; ++i) dialog->SendMessage(WM_COMMAND, IDC_TEXT_RIGHT, 0);
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_DOWN, 0);
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_UP, 0);
  EXPECT_EQ(CountColor(2), whole);
  // An emptied text takes the old one away.
  TypeAndApply(dialog, "");
  EXPECT_TRUE(SameBeads(Design(), MakeDesign(40, 30, 0)));
}

TEST_F(TextByBeadsTest, DraggingTheFrameMovesTheTextAndAPressOutsideStartsNoDrag) {
  PutDesign(MakeDesign(50, 40, 0), kColors);
  CAddTextIntoDesignDlg* dialog = Open();
  PickColor(dialog, 1);
  TypeAndApply(dialog, "L");
  const SIZE size = dialog->GetTextSize();
  ASSERT_GT(size.cx, 0);
  Press(size.cx + 3, size.cy + 3);  // outside the frame
  EXPECT_FALSE(dialog->IsDragging());
  Release(size.cx + 3, size.cy + 3);
  Press(0, 0);
  EXPECT_TRUE(dialog->IsDragging());
  Move(3, 2);
  Move(5, 4);
  Release(5, 4);
  EXPECT_FALSE(dialog->IsDragging());
  EXPECT_EQ(dialog->GetTextPosition().x, 5);
  EXPECT_EQ(dialog->GetTextPosition().y, 4);
  EXPECT_EQ(CountColor(1), int(Cells("L", POINT{5, 4}).size()));
  for (POINT c : Cells("L", POINT{5, 4})) EXPECT_EQ(At(c.x, c.y), 1);
}

TEST_F(TextByBeadsTest, OkIsOneViewStepAndCancelTakesTheTextAway) {
  PutDesign(MakeDesign(40, 30, 0), kColors);
  CAddTextIntoDesignDlg* dialog = Open();
  PickColor(dialog, 1);
  TypeAndApply(dialog, "Ok");
  const CPattern written(Design());
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(20);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolText), nullptr);
  EXPECT_FALSE(view->IsToolDialogOpen());
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_GE(pane.refreshes, 1);
  view->Undo();
  EXPECT_TRUE(SameBeads(Design(), MakeDesign(40, 30, 0)));
  view->Redo();
  EXPECT_TRUE(SameBeads(Design(), written));

  Design().SetModified(false);
  dialog = Open();
  // An empty text applies nothing; Apply with no change leaves the design.
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  EXPECT_TRUE(SameBeads(Design(), written));
  TypeAndApply(dialog, "X");
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(20);
  EXPECT_TRUE(SameBeads(Design(), written));
  EXPECT_FALSE(Design().IsModified());
  EXPECT_EQ(view->GetEditHistory().size(), 1u);
}

TEST_F(TextByBeadsTest, TheFontDialogHidesItsColourBoxAndItsChoiceStaysForTheNextOpening) {
  PutDesign(MakeDesign(40, 30, 0), kColors);
  CAddTextIntoDesignDlg* dialog = Open();
  bool colourHidden = false;
  qmtest::SetModalHook([&](HWND font) {
    HWND colour = ::GetDlgItem(font, QM_IDC_FONT_COLOR);
    HWND label = ::GetDlgItem(font, QM_IDC_FONT_COLOR_LABEL);
    colourHidden = (!colour || !::IsWindowVisible(colour)) && (!label || !::IsWindowVisible(label));
    ::SendMessage(font, WM_COMMAND, IDOK, 0);
  });
  const LOGFONT before = CAddTextIntoDesignDlg::SharedFont();
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_FONT, 0);
  qmtest::SetModalHook(nullptr);
  EXPECT_TRUE(colourHidden);
  EXPECT_NE(CAddTextIntoDesignDlg::SharedFont().lfHeight, 0);
  CAddTextIntoDesignDlg::SharedFont().lfHeight = 31;
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(20);
  dialog = Open();
  EXPECT_EQ(CAddTextIntoDesignDlg::SharedFont().lfHeight, 31);
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  CAddTextIntoDesignDlg::SharedFont() = before;
}

TEST_F(TextByBeadsTest, LiveWindowLaysOutInBothLanguages) {
  for (bool russian : {false, true}) {
    UseLanguage(russian);
    PutDesign(MakeDesign(40, 30, 0), kColors);
    CAddTextIntoDesignDlg* dialog = Open();
    TypeAndApply(dialog, "Beads");
    for (const auto& problem : CheckDialogLayout(dialog->GetSafeHwnd())) ADD_FAILURE() << DescribeProblem(problem);
    EXPECT_TRUE(SaveDialogShot(dialog->GetSafeHwnd(), DefaultShotsDir(russian) + "/tooldlg_text_live.png"));
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(20);
  }
}
