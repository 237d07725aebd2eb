// The bead selector's tools and the partial-design window over a real
// design view: direction runs, the inverted band and its erasing, the block
// tools in both modes, Remove all / Restore all, the window's own history,
// and what OK and Cancel leave in the design and the view's history.
#include <gtest/gtest.h>

#include "dialogs/AddRemoveBlock.h"
#include "core/FrameServices.h"
#include "lang/ids/tooldlg.h"
#include "tests/dialogs/tooldlg_fixture.h"
#include "tools/dialogshots/DialogShots.h"

using namespace tooltest;

namespace {

constexpr COLORREF kRed = RGB(200, 40, 40), kGreen = RGB(40, 200, 40), kBlue = RGB(40, 40, 200);

class PartialDesignTest : public ToolDialogTest {
 protected:
  CAddRemoveBlock* Open() {
    CAddRemoveBlock* dialog = OpenPartialDesignDialog(view, frame);
    EXPECT_NE(dialog, nullptr);
    QmPumpMessages(50);
    return dialog;
  }
  void Click(CWnd* dialog, int id) { dialog->SendMessage(WM_COMMAND, static_cast<WPARAM>(id), 0); }
  void TearDown() override {
    CAddRemoveBlock::SetSharedMode(CAddRemoveBlock::kModeRemove);
    CBaseBeadSelectorDlg::SetSharedTool(CBaseBeadSelectorDlg::kSelPencil);
    ToolDialogTest::TearDown();
  }
};

// 6 x 4: a red block in the top-left 2 x 2 corner, blue bead at (5, 3),
// green elsewhere.
CPattern BlockDesign() {
  CPattern d = MakeDesign(6, 4, 1);
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 2; ++r) d.SetBeadColor(c, r, 0, true);
  d.SetBeadColor(5, 3, 2, true);
  d.SetModified(false);
  return d;
}

}  // namespace

TEST(BeadSelector, DirectionRunsStopAtTheEdgeOrTheFirstBeadOfTheOtherState) {
  CPattern d = MakeDesign(5, 3);
  // Row 1 from the top: columns 0..4, column 1 removed.
  d.SetBeadPresent(1, 1, false);
  const int mid = d.GetBeadIndex(3, 1);
  struct Case {
    const char* name;
    int index;
    int direction;
    std::vector<int> expected;
  } cases[] = {
      {"left stops before the removed bead", mid, CBaseBeadSelectorDlg::kDirLeft,
       {d.GetBeadIndex(3, 1), d.GetBeadIndex(2, 1)}},
      {"right runs to the last column", mid, CBaseBeadSelectorDlg::kDirRight,
       {d.GetBeadIndex(3, 1), d.GetBeadIndex(4, 1)}},
      {"up from the middle row", mid, CBaseBeadSelectorDlg::kDirUp, {d.GetBeadIndex(3, 1), d.GetBeadIndex(3, 0)}},
      {"down from the middle row", mid, CBaseBeadSelectorDlg::kDirDown, {d.GetBeadIndex(3, 1), d.GetBeadIndex(3, 2)}},
      {"up on the top row is the bead alone", d.GetBeadIndex(2, 0), CBaseBeadSelectorDlg::kDirUp,
       {d.GetBeadIndex(2, 0)}},
      {"down on the bottom row is the bead alone", d.GetBeadIndex(2, 2), CBaseBeadSelectorDlg::kDirDown,
       {d.GetBeadIndex(2, 2)}},
      {"left from column 0 never reaches the row before", d.GetBeadIndex(0, 2), CBaseBeadSelectorDlg::kDirLeft,
       {d.GetBeadIndex(0, 2)}},
      {"a removed bead runs over removed beads only", d.GetBeadIndex(1, 1), CBaseBeadSelectorDlg::kDirRight,
       {d.GetBeadIndex(1, 1)}},
      {"everywhere collects nothing", mid, CBaseBeadSelectorDlg::kDirEverywhere, {}},
  };
  for (const Case& c : cases) {
    std::vector<int> run;
    CBaseBeadSelectorDlg::CollectDirectionRun(d, c.index, c.direction, run);
    EXPECT_EQ(run, c.expected) << c.name;
  }
}

TEST_F(PartialDesignTest, PencilDragRemovesEachBeadOnceAsItsOwnStepAndLeavesTheModifiedFlag) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  ASSERT_EQ(view->GetToolWindow(CTabView::kToolPartial), dialog);
  EXPECT_TRUE(view->IsToolDialogOpen());
  EXPECT_TRUE(dialog->GetToolButton(CBaseBeadSelectorDlg::kSelPencil).IsPressed());
  Press(2, 2);
  Move(3, 2);
  Move(3, 2);  // already removed: no step for it
  Release(3, 2);
  Move(4, 2, 0);  // a move without the button selects nothing
  EXPECT_EQ(At(2, 2), -2);
  EXPECT_EQ(At(3, 2), -2);
  EXPECT_EQ(At(4, 2), 1);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 2);
  EXPECT_TRUE(dialog->GetDlgItem(IDC_SEL_UNDO)->IsWindowEnabled());
  EXPECT_FALSE(dialog->GetDlgItem(IDC_SEL_REDO)->IsWindowEnabled());
  // Single beads do not set the modified flag (OnInitDialog cleared it).
  EXPECT_FALSE(Design().IsModified());
  // The removed beads show the view's background (no original picture).
  EXPECT_EQ(PixelAt(2, 2), COLORREF(0x808080));
  // A real click on Undo (the button is enabled for input, not only in
  // its style).
  HWND undo = dialog->GetDlgItem(IDC_SEL_UNDO)->GetSafeHwnd();
  QmSendMouse(undo, WM_LBUTTONDOWN, POINT{30, 8}, MK_LBUTTON);
  QmSendMouse(undo, WM_LBUTTONUP, POINT{30, 8}, 0);
  QmPumpMessages(50);
  EXPECT_EQ(At(3, 2), 1);
  Click(dialog, IDC_SEL_REDO);
  EXPECT_EQ(At(3, 2), -2);
}

TEST_F(PartialDesignTest, BandToolsDrawAnInvertedShapeThatASecondDrawingOrAToolSwitchErases) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  Click(dialog, IDC_SEL_TOOL_RECT);
  EXPECT_TRUE(dialog->GetToolButton(CBaseBeadSelectorDlg::kSelRect).IsPressed());
  EXPECT_FALSE(dialog->GetToolButton(CBaseBeadSelectorDlg::kSelPencil).IsPressed());
  const QImage before = QmRenderWindow(view->GetSafeHwnd(), false);
  Press(1, 1);
  Move(4, 3);
  EXPECT_TRUE(dialog->IsBandDrawn());
  QmPumpMessages(50);
  const QImage during = QmRenderWindow(view->GetSafeHwnd(), false);
  EXPECT_NE(before, during);
  Move(3, 2);  // erased and drawn again at the new corner
  EXPECT_TRUE(dialog->IsBandDrawn());
  // A tool switch takes the band off the screen and resets it.
  Click(dialog, IDC_SEL_TOOL_ELLIPSE);
  EXPECT_FALSE(dialog->IsBandDrawn());
  EXPECT_EQ(dialog->GetAnchorBead(), -1);
  QmPumpMessages(50);
  EXPECT_EQ(before, QmRenderWindow(view->GetSafeHwnd(), false));
  // 1031 is no tool.
  Click(dialog, IDC_SEL_TOOL_UNUSED);
  EXPECT_EQ(CBaseBeadSelectorDlg::GetSharedTool(), CBaseBeadSelectorDlg::kSelEllipse);
  EXPECT_TRUE(SameBeads(Design(), BlockDesign()));
}

TEST_F(PartialDesignTest, RectangleOutlineIsOneStepAndPressReleaseOnOneBeadAppliesNothing) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  Click(dialog, IDC_SEL_TOOL_RECT);
  Press(2, 2);
  Release(2, 2);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 0);
  Drag(1, 1, 4, 3);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 1);
  EXPECT_FALSE(dialog->IsBandDrawn());
  for (int c = 1; c <= 4; ++c) {
    EXPECT_EQ(At(c, 1), -2);
    EXPECT_EQ(At(c, 3), -2);
  }
  EXPECT_NE(At(2, 2), -2);  // the inside stays
  EXPECT_TRUE(Design().IsModified());
  // A line dragged back onto its first bead takes that bead alone.
  Click(dialog, IDC_SEL_TOOL_LINE);
  Press(0, 3);
  Move(1, 3);
  Move(0, 3);
  Release(0, 3);
  EXPECT_EQ(At(0, 3), -2);
  EXPECT_NE(At(0, 2), -2);
}

TEST_F(PartialDesignTest, LineToolWithADirectionActsOnOneClickAndOtherToolsIgnoreIt) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  Click(dialog, IDC_SEL_TOOL_LINE);
  dialog->SetLineDirection(CBaseBeadSelectorDlg::kDirRight);
  Press(3, 0);
  Release(3, 0);
  for (int c = 3; c < 6; ++c) EXPECT_EQ(At(c, 0), -2) << c;
  EXPECT_NE(At(2, 0), -2);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 1);
  // The pencil with a direction still chosen acts as the pencil.
  Click(dialog, IDC_SEL_TOOL_PENCIL);
  EXPECT_FALSE(dialog->GetDlgItem(IDC_SEL_DIRECTION)->IsWindowEnabled());
  Press(0, 3);
  Release(0, 3);
  EXPECT_EQ(At(0, 3), -2);
  EXPECT_NE(At(1, 3), -2);
}

TEST_F(PartialDesignTest, BlockToolsInRemoveAndRestoreModes) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  // Remove mode, block outline on the red block: the ring around it goes.
  Click(dialog, IDC_SEL_TOOL_OUTLINE);
  Press(0, 0);
  Release(0, 0);
  EXPECT_EQ(At(0, 0), 0);
  EXPECT_EQ(At(1, 1), 0);
  for (POINT p : {POINT{2, 0}, POINT{2, 1}, POINT{2, 2}, POINT{0, 2}, POINT{1, 2}}) EXPECT_EQ(At(p.x, p.y), -2);
  EXPECT_EQ(At(3, 3), 1);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 1);
  // Remove mode, same-colour block: the red block goes in one step.
  Click(dialog, IDC_SEL_TOOL_BLOCK);
  Press(1, 0);
  Release(1, 0);
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 2; ++r) EXPECT_EQ(At(c, r), -2);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 2);
  // Restore mode: the block on a present bead does nothing; on a removed
  // bead the whole connected removed area comes back, whatever its colours.
  dialog->SelectModeTab(CAddRemoveBlock::kModeRestore);
  EXPECT_EQ(CAddRemoveBlock::GetSharedMode(), CAddRemoveBlock::kModeRestore);
  Press(4, 3);
  Release(4, 3);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 2);
  Press(0, 0);
  Release(0, 0);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 3);
  EXPECT_TRUE(SameBeads(Design(), BlockDesign()));
  // Restore mode, outline on a present bead restores nothing when nothing
  // removed touches it.
  Click(dialog, IDC_SEL_TOOL_OUTLINE);
  Press(4, 3);
  Release(4, 3);
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 3);
}

TEST_F(PartialDesignTest, RemoveAllAndRestoreAllAreOneStepEachAndSayWhenThereIsNothingToDo) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  Click(dialog, IDC_PARTIAL_RESTORE_ALL);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{LoadResString(IDS_PARTIAL_NONE_REMOVED).GetString()});
  Click(dialog, IDC_PARTIAL_REMOVE_ALL);
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(Design().GetBeadCount(), 24);
  for (const CBead& b : Design().GetBeadArray()) EXPECT_FALSE(b.IsPresent());
  EXPECT_EQ(CAddRemoveBlock::GetSharedMode(), CAddRemoveBlock::kModeRemove);
  Click(dialog, IDC_PARTIAL_REMOVE_ALL);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{LoadResString(IDS_PARTIAL_ALL_REMOVED).GetString()});
  Click(dialog, IDC_PARTIAL_RESTORE_ALL);
  EXPECT_TRUE(SameBeads(Design(), BlockDesign()));
  EXPECT_EQ(dialog->GetHistory().GetStepCount(), 2);
  Click(dialog, IDC_SEL_UNDO);
  for (const CBead& b : Design().GetBeadArray()) EXPECT_FALSE(b.IsPresent());
}

TEST_F(PartialDesignTest, OkRecordsOneViewStepThatUndoTakesBackAndCancelRestoresEverything) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  Click(dialog, IDC_SEL_TOOL_RECT_FILLED);
  Drag(2, 1, 4, 2);
  Click(dialog, IDOK);
  QmPumpMessages(50);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolPartial), nullptr);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolPartial), nullptr);
  EXPECT_FALSE(view->IsToolDialogOpen());
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_EQ(CountEditedBeads(view->GetEditHistory()[0]), 6u);
  EXPECT_TRUE(Design().IsModified());
  EXPECT_GE(pane.refreshes, 1);  // the pane's counts follow
  const CPattern after(Design());
  view->Undo();
  EXPECT_TRUE(SameBeads(Design(), BlockDesign()));
  view->Redo();
  EXPECT_TRUE(SameBeads(Design(), after));

  // Cancel after changes: beads and modified flag as at opening.
  Design().SetModified(false);
  const CPattern opened(Design());
  dialog = Open();
  Click(dialog, IDC_PARTIAL_RESTORE_ALL);
  Click(dialog, IDC_PARTIAL_REMOVE_ALL);
  Click(dialog, IDCANCEL);
  QmPumpMessages(50);
  EXPECT_TRUE(SameBeads(Design(), opened));
  EXPECT_FALSE(Design().IsModified());
  EXPECT_EQ(view->GetEditHistory().size(), 1u);
}

TEST_F(PartialDesignTest, ModifiedFlagWithoutChangesIsKeptByOkAndCancel) {
  for (bool modified : {false, true}) {
    for (int button : {IDOK, IDCANCEL}) {
      SCOPED_TRACE(std::to_string(modified) + " " + std::to_string(button));
      CPattern d = BlockDesign();
      d.SetModified(modified);
      PutDesign(d, {kRed, kGreen, kBlue});
      Design().SetModified(modified);
      CAddRemoveBlock* dialog = Open();
      EXPECT_FALSE(Design().IsModified());
      Click(dialog, button);
      QmPumpMessages(20);
      EXPECT_EQ(Design().IsModified(), modified);
      EXPECT_TRUE(view->GetEditHistory().empty());
    }
  }
}

TEST_F(PartialDesignTest, ModeAndToolStayForTheNextOpening) {
  PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
  CAddRemoveBlock* dialog = Open();
  dialog->SelectModeTab(CAddRemoveBlock::kModeRestore);
  Click(dialog, IDC_SEL_TOOL_ELLIPSE_FILLED);
  Click(dialog, IDCANCEL);
  QmPumpMessages(20);
  dialog = Open();
  EXPECT_EQ(CAddRemoveBlock::GetSharedMode(), CAddRemoveBlock::kModeRestore);
  EXPECT_EQ(static_cast<CTabCtrl*>(dialog->GetDlgItem(IDC_PARTIAL_TABS))->GetCurSel(), 1);
  EXPECT_TRUE(dialog->GetToolButton(CBaseBeadSelectorDlg::kSelEllipseFilled).IsPressed());
  Click(dialog, IDCANCEL);
}

TEST_F(PartialDesignTest, LiveWindowLaysOutInBothLanguages) {
  for (bool russian : {false, true}) {
    UseLanguage(russian);
    PutDesign(BlockDesign(), {kRed, kGreen, kBlue});
    CAddRemoveBlock* dialog = Open();
    Click(dialog, IDC_SEL_TOOL_LINE);
    for (const auto& problem : CheckDialogLayout(dialog->GetSafeHwnd())) ADD_FAILURE() << DescribeProblem(problem);
    EXPECT_TRUE(SaveDialogShot(dialog->GetSafeHwnd(), DefaultShotsDir(russian) + "/tooldlg_partial_live.png"));
    Click(dialog, IDCANCEL);
    QmPumpMessages(20);
  }
}
