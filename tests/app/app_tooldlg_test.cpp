// The editing windows through the running program's commands: Partial
// design, Text by beads, Add/Remove Columns/Rows, Edit color group and
// Mirror on a design in the main frame's view. While a window is open the
// view shows its change; OK leaves one step that Edit > Undo takes back
// bead for bead (or an emptied history where the grid changed) and the
// saved file holds the edited beads; Cancel leaves design, palette,
// modified flag and history as they were; closing the main window with a
// window open ends cleanly.
#include <filesystem>

#include "dialogs/AddRemoveBlock.h"
#include "dialogs/AddTextDlg.h"
#include "dialogs/EditColorGroup.h"
#include "dialogs/InsertRemoveColRowDlg.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg.h"
#include "tests/app/app_fixture.h"
#include "tests/dialogs/tooldlg_view.h"
#include "tests/view/view_test_util.h"

namespace apptest {
namespace {

const std::vector<COLORREF> kColors = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200)};

class ToolWindowsAppTest : public AppTest {
 protected:
  CTabView* StartWithDesign() {
    StoreAcceptedSettings();
    if (!Start()) return nullptr;
    CTabView* view = View();
    CPattern design = viewtest::MakeDesign(10, 8, 0);
    for (int r = 0; r < 8; ++r) design.SetBeadColor(r, r, 1, true);
    design.SetModified(false);
    tooltest::ShowDesign(view, design, viewtest::MakePalette(kColors), "three.pal");
    QmPumpMessages(100);
    return view;
  }
  void Command(UINT id) {
    Frame()->PostMessage(WM_COMMAND, id, 0);
    QmPumpMessages(200);
  }
  QImage Picture(CTabView* view) {
    QmPumpMessages(50);
    return QmRenderWindow(view->GetSafeHwnd(), false);
  }
  POINT Cell(CTabView* view, int column, int row) { return tooltest::CellCentre(view, column, row); }
  // Saves the design and opens it again; the beads read back.
  CPattern SaveAndReopen(CTabView* view, const char* name) {
    const std::filesystem::path dir = qmtest::MakeTempDir("apptooldlg");
    const std::string path = (dir / name).string();
    EXPECT_TRUE(view->SaveDesignFile(path.c_str(), false));
    EXPECT_TRUE(view->OpenDesignFile(path.c_str()));
    QmPumpMessages(100);
    return CPattern(*view->GetPattern());
  }
};

bool SameBeads(const CPattern& a, const CPattern& b) {
  if (a.GetColumnCount() != b.GetColumnCount() || a.GetRowCount() != b.GetRowCount()) return false;
  for (int i = 0; i < a.GetBeadCount(); ++i) {
    const CBead& x = a.m_beads[size_t(i)];
    const CBead& y = b.m_beads[size_t(i)];
    if (x.m_present != y.m_present || x.GetColorIndex(a) != y.GetColorIndex(b)) return false;
  }
  return true;
}

TEST_F(ToolWindowsAppTest, PartialDesignRemoveAllIsOneUndoStepAndIsSaved) {
  CTabView* view = StartWithDesign();
  ASSERT_NE(view, nullptr);
  const CPattern opened(*view->GetPattern());
  const QImage before = Picture(view);
  Command(ID_EDIT_PARTIAL_DESIGN);
  auto* dialog = dynamic_cast<CAddRemoveBlock*>(view->GetToolWindow(CTabView::kToolPartial));
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->IsWindowVisible());
  // The commands that edit the design are greyed while it is open.
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_TEXT_BY_BEADS).enabled);
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  // A pencil click on a bead removes it; the view shows it at once.
  CBaseBeadSelectorDlg::SetSharedTool(CBaseBeadSelectorDlg::kSelPencil);
  dialog->SetTool(CBaseBeadSelectorDlg::kSelPencil);
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONDOWN, Cell(view, 4, 4), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONUP, Cell(view, 4, 4), 0);
  EXPECT_EQ(ColorAt(view, 4, 4), -2);
  EXPECT_NE(before, Picture(view));
  // The window's Undo stays available through the program's idle updates.
  QmRunIdle();
  QmPumpMessages(50);
  EXPECT_TRUE(dialog->GetDlgItem(IDC_SEL_UNDO)->IsWindowEnabled());
  dialog->SendMessage(WM_COMMAND, IDC_PARTIAL_REMOVE_ALL, 0);
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(100);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolPartial), nullptr);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_TRUE(view->GetPattern()->IsModified());
  for (const CBead& b : view->GetPattern()->m_beads) EXPECT_FALSE(b.IsPresent());
  EXPECT_TRUE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  Command(ID_EDIT_UNDO_STEP);
  EXPECT_TRUE(SameBeads(*view->GetPattern(), opened));
  Command(ID_EDIT_REDO_STEP);
  const CPattern removed(*view->GetPattern());
  EXPECT_EQ(ColorAt(view, 0, 0), -2);
  EXPECT_TRUE(SameBeads(SaveAndReopen(view, "partial.qx"), removed));
}

TEST_F(ToolWindowsAppTest, TextByBeadsOkIsOneStepAndCancelLeavesEverything) {
  CTabView* view = StartWithDesign();
  ASSERT_NE(view, nullptr);
  const CPattern opened(*view->GetPattern());
  const QImage before = Picture(view);
  Command(ID_EDIT_TEXT_BY_BEADS);
  auto* dialog = dynamic_cast<CAddTextIntoDesignDlg*>(view->GetToolWindow(CTabView::kToolText));
  ASSERT_NE(dialog, nullptr);
  dialog->SetDlgItemText(IDC_TEXT_EDIT, "T");
  static_cast<CComboBox*>(dialog->GetDlgItem(IDC_TEXT_COLOR))->SetCurSel(2);
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  EXPECT_NE(before, Picture(view));
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(100);
  EXPECT_TRUE(SameBeads(*view->GetPattern(), opened));
  EXPECT_FALSE(view->GetPattern()->IsModified());
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_EQ(view->GetColorSet()->GetCount(), 3);

  Command(ID_EDIT_TEXT_BY_BEADS);
  dialog = dynamic_cast<CAddTextIntoDesignDlg*>(view->GetToolWindow(CTabView::kToolText));
  ASSERT_NE(dialog, nullptr);
  dialog->SetDlgItemText(IDC_TEXT_EDIT, "T");
  static_cast<CComboBox*>(dialog->GetDlgItem(IDC_TEXT_COLOR))->SetCurSel(2);
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(100);
  const CPattern written(*view->GetPattern());
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  Command(ID_EDIT_UNDO_STEP);
  EXPECT_TRUE(SameBeads(*view->GetPattern(), opened));
  Command(ID_EDIT_REDO_STEP);
  EXPECT_TRUE(SameBeads(*view->GetPattern(), written));
  EXPECT_TRUE(SameBeads(SaveAndReopen(view, "text.qx"), written));
}

TEST_F(ToolWindowsAppTest, RowsAndColumnsOkEmptiesTheHistoryAndTheNewGridIsSaved) {
  CTabView* view = StartWithDesign();
  ASSERT_NE(view, nullptr);
  view->GetHistory().PushEdit(CBeadEdit(0, *view->GetPattern()));
  Command(ID_EDIT_ROWS_COLUMNS);
  auto* dialog = dynamic_cast<CInsertRemoveColRowDlg*>(view->GetToolWindow(CTabView::kToolRowsColumns));
  ASSERT_NE(dialog, nullptr);
  dialog->SetMode(CInsertRemoveColRowDlg::kRemoveColumns);
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONDOWN, Cell(view, 2, 3), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_MOUSEMOVE, Cell(view, 4, 3), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONUP, Cell(view, 4, 3), 0);
  EXPECT_TRUE(dialog->IsBandShown());
  dialog->OnRemove();
  EXPECT_EQ(view->GetPattern()->GetColumnCount(), 7u);
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(100);
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_FALSE(QueryCommand(Frame(), ID_EDIT_UNDO_STEP).enabled);
  const CPattern narrowed(*view->GetPattern());
  EXPECT_EQ(ColorAt(view, 5, 8 - 1), 0);
  const CPattern back = SaveAndReopen(view, "rows.qx");
  EXPECT_EQ(back.GetColumnCount(), 7u);
  EXPECT_TRUE(SameBeads(back, narrowed));
}

TEST_F(ToolWindowsAppTest, EditColorGroupAndMirrorReachTheirWindowsThroughTheInstalledFactories) {
  CTabView* view = StartWithDesign();
  ASSERT_NE(view, nullptr);
  const CPattern opened(*view->GetPattern());
  Command(ID_EDIT_COLOR_GROUP);
  auto* group = dynamic_cast<CEditColorGroup*>(view->GetToolWindow(CTabView::kToolColorGroup));
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(view->IsToolDialogOpen());
  group->GetUpperList().SelectColor(CRgbTriple::FromColorref(kColors[1]));
  group->GetLowerList().SelectColor(CRgbTriple::FromColorref(kColors[2]));
  group->OnApply();
  EXPECT_EQ(ColorAt(view, 3, 3), 2);
  group->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(100);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  Command(ID_EDIT_UNDO_STEP);
  EXPECT_TRUE(SameBeads(*view->GetPattern(), opened));

  qmtest::SetModalHook([](HWND mirror) {
    ::SendMessage(mirror, WM_COMMAND, IDC_MIRROR_LEFT_RIGHT, 0);
    QmPumpMessages(50);
    ::SendMessage(mirror, WM_COMMAND, IDOK, 0);
  });
  Command(ID_EDIT_MIRROR);
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(ColorAt(view, 9, 0), 1);
  EXPECT_EQ(ColorAt(view, 0, 0), 0);
  EXPECT_EQ(view->GetHistory().GetPosition(), 0);
  Command(ID_EDIT_UNDO_STEP);
  EXPECT_TRUE(SameBeads(*view->GetPattern(), opened));
}

TEST_F(ToolWindowsAppTest, ClosingTheMainWindowWithAToolWindowOpenKeepsItsWorkAndEndsCleanly) {
  CTabView* view = StartWithDesign();
  ASSERT_NE(view, nullptr);
  Command(ID_EDIT_PARTIAL_DESIGN);
  auto* dialog = dynamic_cast<CAddRemoveBlock*>(view->GetToolWindow(CTabView::kToolPartial));
  ASSERT_NE(dialog, nullptr);
  dialog->SendMessage(WM_COMMAND, IDC_PARTIAL_REMOVE_ALL, 0);
  boxAnswer = IDNO;  // do not save
  Close();
  // The save prompt asked about the removed beads.
  EXPECT_TRUE(BoxShown(LoadResString(IDS_SAVE_PROMPT).GetString()));
}

}  // namespace
}  // namespace apptest
