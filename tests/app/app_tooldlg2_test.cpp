// The separated-beads, interesting-colours, design-by-sample, use-only-N-
// colours and preview commands in the running program: while a window is
// open the view shows its change; OK leaves one history step (or an emptied
// history where the grid changed) that Edit > Undo takes back and a saved
// design keeps; Cancel or closing leaves design, palette, modified flag and
// history as they were; closing the frame with windows open ends cleanly.
#include <cstdlib>
#include <QImage>

#include <set>

#include "dialogs/DesignBySampleDlg.h"
#include "dialogs/LayerView.h"
#include "dialogs/InterestingColorsDlg.h"
#include "dialogs/PatternPreviewDlg.h"
#include "dialogs/ReduceColorsDlg.h"
#include "dialogs/SeparatedBeadsDlg.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg2.h"
#include "lang/ids/view.h"
#include "image/ImageView.h"
#include "view/CtrlPane.h"
#include "platform/wnd/controls.h"
#include "tests/app/app_fixture.h"
#include "tests/dialogs/tooldlg_view.h"
#include "tests/view/view_test_util.h"

namespace apptest {
namespace {

class ToolCommandsTest : public AppTest {
 protected:
  // The rows from the top as digits; colours red, green, blue, yellow.
  void Put(const std::vector<std::string>& rows) {
    CTabView* view = View();
    CPattern design = viewtest::MakeDesign(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c) design.SetBeadColor(int(c), int(r), rows[r][c] - '0', true);
    design.SetModified(false);
    tooltest::ShowDesign(view, design,
                         viewtest::MakePalette({RGB(220, 30, 30), RGB(30, 200, 30), RGB(30, 30, 220), RGB(230, 220, 20)}),
                         "four.pal", true);
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    CPattern* design = View()->GetPattern();
    for (unsigned r = 0; r < design->GetRowCount(); ++r) {
      std::string row;
      for (unsigned c = 0; c < design->GetColumnCount(); ++c) row += char('0' + ColorAt(View(), int(c), int(r)));
      rows.push_back(row);
    }
    return rows;
  }
  COLORREF Pixel(int column, int row) { return tooltest::ViewPixel(View(), column, row); }
  // Two beads of one colour at fit zoom may sit on cells a pixel apart in
  // size, so their shading can differ by a unit or two.
  static bool Alike(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 2 && std::abs(GetGValue(a) - GetGValue(b)) <= 2 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 2;
  }
  void Command(UINT id) {
    Frame()->SendMessage(WM_COMMAND, id);
    QmPumpMessages(50);
  }
};

const std::vector<std::string> kStrays = {"000000", "010000", "000000", "000020", "000000"};

TEST_F(ToolCommandsTest, RemoveSeparateBeadsChangesAllThenOkIsOneStepThatUndoAndSaveKeep) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  Put(kStrays);
  Command(ID_EDIT_REMOVE_SEPARATE);
  CTabView* view = View();
  auto* dialog = dynamic_cast<CDeleteSepStitchDlg*>(view->GetToolWindow(CTabView::kToolSeparated));
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(::IsWindowVisible(dialog->GetSafeHwnd()));
  // Commands that would edit the design are off while it is open.
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_USE_ONLY_COLORS).enabled);
  EXPECT_FALSE(QueryCommand(Frame(), ID_VIEW_INTERESTING_COLORS).enabled);
  EXPECT_EQ(dialog->GetList().GetItemCount(), 2);
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEP_CHANGE_ALL, BN_CLICKED));
  QmPumpMessages(50);
  EXPECT_TRUE(Alike(Pixel(1, 1), Pixel(0, 0))) << Pixel(1, 1) << " " << Pixel(0, 0);
  dialog->SendMessage(WM_COMMAND, IDOK);
  QmPumpMessages(50);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolSeparated), nullptr);
  EXPECT_EQ(Rows(), std::vector<std::string>(5, "000000"));
  EXPECT_TRUE(view->GetPattern()->IsModified());
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_TRUE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  Command(ID_EDIT_UNDO_STEP);
  EXPECT_EQ(Rows(), kStrays);
  Command(ID_EDIT_REDO_STEP);
  EXPECT_EQ(Rows(), std::vector<std::string>(5, "000000"));
  const std::string path = (qmtest::MakeTempDir("apptool2") / "clean.qx").string();
  ASSERT_TRUE(view->SaveDesignFile(path.c_str(), false));
  Put(kStrays);
  ASSERT_TRUE(view->OpenDesignFile(path.c_str()));
  EXPECT_EQ(Rows(), std::vector<std::string>(5, "000000"));
}

TEST_F(ToolCommandsTest, CancelOfSeparatedAndClosingInterestingColoursLeaveEverythingButMarks) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  Put(kStrays);
  CTabView* view = View();
  const CColorSet palette = *view->GetColorSet();
  Command(ID_EDIT_REMOVE_SEPARATE);
  auto* separated = dynamic_cast<CDeleteSepStitchDlg*>(view->GetToolWindow(CTabView::kToolSeparated));
  ASSERT_NE(separated, nullptr);
  separated->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEP_CHANGE_ALL, BN_CLICKED));
  separated->SendMessage(WM_COMMAND, IDCANCEL);
  QmPumpMessages(50);
  EXPECT_EQ(Rows(), kStrays);
  EXPECT_FALSE(view->GetPattern()->IsModified());
  EXPECT_TRUE(view->GetEditHistory().empty());

  CDisplayOnlyColorsDialog::ResetSharedValues();
  Command(ID_VIEW_INTERESTING_COLORS);
  auto* interesting = dynamic_cast<CDisplayOnlyColorsDialog*>(view->GetToolWindow(CTabView::kToolInteresting));
  ASSERT_NE(interesting, nullptr);
  const COLORREF before = Pixel(1, 1);
  const COLORREF before0 = Pixel(0, 0);
  interesting->GetList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);  // colour 0, the most used
  interesting->Refresh();
  QmPumpMessages(50);
  EXPECT_NE(Pixel(1, 1), before);  // green faded
  EXPECT_EQ(Pixel(0, 0), before0);  // red, selected, unchanged
  interesting->SendMessage(WM_COMMAND, IDCANCEL);
  QmPumpMessages(50);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolInteresting), nullptr);
  EXPECT_EQ(Pixel(1, 1), before);
  for (int c = 0; c < palette.GetCount(); ++c) EXPECT_EQ(view->GetColorSet()->GetColorrefAt(c), palette.GetColorrefAt(c));
  EXPECT_EQ(Rows(), kStrays);
  EXPECT_FALSE(view->GetPattern()->IsModified());
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_EQ(view->GetPattern()->m_markedBeads.size(), 28u);  // the marks stay
}

TEST_F(ToolCommandsTest, DesignBySampleOkEmptiesTheHistoryAndUseOnlyColoursIsOneStep) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  Put({"012", "230"});
  CTabView* view = View();
  // A step to lose.
  view->GetPattern()->SetBeadColor(0, 0, 3, true);
  CPattern copy(*view->GetPattern());
  copy.SetBeadColor(0, 0, 0, true);
  view->RecordChanges(copy);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  qmtest::SetModalHook([&](HWND h) {
    ::SetDlgItemText(h, IDC_SAMPLE_ACROSS, "2");
    ::SetDlgItemText(h, IDC_SAMPLE_DOWN, "1");
    ::CheckDlgButton(h, IDC_SAMPLE_ROTATE, BST_UNCHECKED);
    QmClickButton(::GetDlgItem(h, IDC_SAMPLE_APPLY));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"312312", "230230"}));
    QmClickButton(::GetDlgItem(h, IDOK));
  });
  Command(ID_EDIT_DESIGN_BY_SAMPLE);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"312312", "230230"}));
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);

  qmtest::SetModalHook([&](HWND h) {
    ::SetDlgItemText(h, IDC_ONLY_LIMIT, "1");
    QmClickButton(::GetDlgItem(h, IDC_ONLY_APPLY));
    QmClickButton(::GetDlgItem(h, IDOK));
  });
  Command(ID_EDIT_USE_ONLY_COLORS);
  qmtest::SetModalHook(nullptr);
  std::set<char> used;
  for (const auto& r : Rows()) used.insert(r.begin(), r.end());
  EXPECT_EQ(used.size(), 1u);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  Command(ID_EDIT_UNDO_STEP);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"312312", "230230"}));
}

TEST_F(ToolCommandsTest, ClosingTheFrameWithWindowsAndPreviewsOpenEndsCleanly) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  Put(kStrays);
  Command(ID_VIEW_SEPARATE_PREVIEW);
  Command(ID_VIEW_SEPARATE_PREVIEW);
  EXPECT_EQ(CCurrentPatternViewDlg::GetOpenWindows().size(), 2u);
  Command(ID_EDIT_REMOVE_SEPARATE);
  ASSERT_NE(View()->GetToolWindow(CTabView::kToolSeparated), nullptr);
  Close();
  QmPumpMessages(100);
  EXPECT_TRUE(CCurrentPatternViewDlg::GetOpenWindows().empty());
}

// The original picture over the design through the pane's "Show": the
// layer is a child of the view at the slider's alpha and a new picture
// closes it; a factory that makes nothing leaves "Show" off.
TEST_F(ToolCommandsTest, ThePanesShowLaysThePictureOverTheViewAndANewPictureClosesIt) {
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  Put({"0000", "0000", "0000"});
  CTabView* view = View();
  CCtrlPane* pane = Frame()->GetCtrlPane();
  ASSERT_NE(pane, nullptr);
  const CViewDialogFactories kept = GetViewDialogFactories();
  CViewDialogFactories factories = kept;
  factories.createOverlay = &CLayerView::CreateOverlay;
  SetViewDialogFactories(factories);
  auto givePicture = [&](COLORREF color) {
    bool ok = false;
    CImage picture(40, 30, ok, color);
    ASSERT_TRUE(ok);
    const auto bitmap = picture.ToBitmap();
    view->SetOriginalView(new CImageView(view, static_cast<HBITMAP>(bitmap->GetSafeHandle()), false), "p.png");
    pane->UpdateOriginalControls();
  };
  CButton* show = static_cast<CButton*>(pane->GetDlgItem(IDC_CP_SHOW_ORIGINAL));
  auto clickShow = [&] {
    show->SetCheck(BST_CHECKED);
    pane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CP_SHOW_ORIGINAL, BN_CLICKED), reinterpret_cast<LPARAM>(show->m_hWnd));
    QmPumpMessages(50);
  };
  givePicture(RGB(255, 255, 255));
  const COLORREF bead = Pixel(1, 1);
  clickShow();
  ASSERT_TRUE(pane->IsOverlayShown());
  auto* layer = dynamic_cast<CLayerView*>(pane->GetOverlay());
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(::GetParent(layer->GetSafeHwnd()), view->GetSafeHwnd());
  // The white picture at half alpha lightens the bead under it.
  const COLORREF through = Pixel(1, 1);
  EXPECT_GT(GetGValue(through) + GetBValue(through), GetGValue(bead) + GetBValue(bead));
  // A new picture closes the layer that showed the old one.
  givePicture(RGB(0, 0, 0));
  EXPECT_FALSE(pane->IsOverlayShown());
  EXPECT_EQ(pane->GetOverlay(), nullptr);
  // Nothing made: "Show" stays off.
  factories.createOverlay = [](HBITMAP, BYTE, CWnd*, CTabView*) -> ILayerOverlay* { return nullptr; };
  SetViewDialogFactories(factories);
  clickShow();
  EXPECT_FALSE(pane->IsOverlayShown());
  EXPECT_EQ(show->GetCheck(), BST_UNCHECKED);
  SetViewDialogFactories(kept);
}

}  // namespace
}  // namespace apptest
