// The edit-colour-group window over a real design view: Apply replaces a
// colour, its snapshot history (Undo, Redo, a new Apply drops the redo
// steps), the messages of a missing or equal choice, marks, right clicks,
// typed numbers, and what OK and Cancel leave.
#include <gtest/gtest.h>

#include "core/FrameServices.h"
#include "dialogs/EditColorGroup.h"
#include "lang/ids/tooldlg.h"
#include "tests/dialogs/tooldlg_fixture.h"
#include "tools/dialogshots/DialogShots.h"

using namespace tooltest;

namespace {

const std::vector<COLORREF> kColors = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200), RGB(230, 230, 30),
                                       RGB(200, 40, 40)};

class EditColorGroupTest : public ToolDialogTest {
 protected:
  void SetUp() override {
    ToolDialogTest::SetUp();
    SetViewDialogFactories(CViewDialogFactories{nullptr, &OpenEditColorGroupDialog, nullptr});
  }
  void TearDown() override {
    SetViewDialogFactories({});
    ToolDialogTest::TearDown();
  }
  // 4 x 3: columns 0-1 colour 0, column 2 colour 1, column 3 colour 2.
  CPattern Start() {
    CPattern d = MakeDesign(4, 3, 0);
    for (int r = 0; r < 3; ++r) {
      d.SetBeadColor(2, r, 1, true);
      d.SetBeadColor(3, r, 2, true);
    }
    d.SetModified(false);
    return d;
  }
  CEditColorGroup* Open() {
    view->OpenEditColorGroup();
    QmPumpMessages(50);
    auto* dialog = dynamic_cast<CEditColorGroup*>(view->GetToolWindow(CTabView::kToolColorGroup));
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  void Choose(CEditColorGroup* dialog, int source, int target) {
    dialog->GetUpperList().ClearSelection();
    dialog->GetLowerList().ClearSelection();
    if (source >= 0) dialog->GetUpperList().SelectColor(CRgbTriple::FromColorref(kColors[size_t(source)]));
    if (target >= 0) dialog->GetLowerList().SelectColor(CRgbTriple::FromColorref(kColors[size_t(target)]));
  }
  int Count(int color) {
    int n = 0;
    for (const CBead& b : Design().GetBeadArray()) n += b.IsPresent() && b.GetColorIndex(Design()) == color;
    return n;
  }
};

}  // namespace

TEST_F(EditColorGroupTest, ApplyReplacesAColourAndTheListsFollow) {
  PutDesign(Start(), kColors);
  CEditColorGroup* dialog = Open();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolColorGroup), dialog);
  EXPECT_EQ(dialog->GetUpperList().GetItemCount(), 3);
  EXPECT_EQ(dialog->GetLowerList().GetItemCount(), 5);
  const COLORREF before = PixelAt(2, 1);
  Choose(dialog, 1, 3);
  dialog->OnApply();
  EXPECT_NE(PixelAt(2, 1), before);
  EXPECT_EQ(Count(1), 0);
  EXPECT_EQ(Count(3), 3);
  EXPECT_TRUE(TakeMessages().empty());
  // The source left the upper list, the target joined it; the target stays
  // selected below.
  EXPECT_FALSE(dialog->GetUpperList().SelectColor(CRgbTriple::FromColorref(kColors[1])));
  EXPECT_TRUE(dialog->GetUpperList().SelectColor(CRgbTriple::FromColorref(kColors[3])));
  EXPECT_EQ(dialog->GetLowerList().GetSelectedIndex(), 3);
}

TEST_F(EditColorGroupTest, MissingOrEqualChoicesAreToldAndChangeNothing) {
  PutDesign(Start(), kColors);
  CEditColorGroup* dialog = Open();
  struct Case {
    int source, target;
    UINT message;
  } cases[] = {{-1, 2, IDS_ECG_SELECT_SOURCE}, {0, -1, IDS_ECG_SELECT_TARGET}, {2, 2, IDS_ECG_SAME_COLORS}};
  for (const Case& c : cases) {
    Choose(dialog, c.source, c.target);
    dialog->OnApply();
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{LoadResString(c.message).GetString()});
    EXPECT_TRUE(SameBeads(Design(), Start()));
    EXPECT_EQ(dialog->GetSnapshotCount(), 1);
  }
}

TEST_F(EditColorGroupTest, SnapshotHistoryUndoRedoAndANewApplyDropsTheRedoSteps) {
  PutDesign(Start(), kColors);
  CEditColorGroup* dialog = Open();
  EXPECT_FALSE(dialog->CanUndo());
  EXPECT_FALSE(dialog->CanRedo());
  Choose(dialog, 0, 3);
  dialog->OnApply();
  const CPattern first(Design());
  Choose(dialog, 1, 3);
  dialog->OnApply();
  EXPECT_EQ(dialog->GetSnapshotCount(), 3);
  EXPECT_TRUE(dialog->CanUndo());
  EXPECT_FALSE(dialog->CanRedo());
  EXPECT_FALSE(dialog->GetDlgItem(IDC_ECG_REDO)->IsWindowEnabled());
  dialog->OnUndo();
  EXPECT_TRUE(SameBeads(Design(), first));
  EXPECT_TRUE(dialog->CanRedo());
  EXPECT_TRUE(dialog->GetDlgItem(IDC_ECG_REDO)->IsWindowEnabled());
  Choose(dialog, 2, 4);
  dialog->OnApply();
  EXPECT_FALSE(dialog->CanRedo());
  EXPECT_EQ(dialog->GetSnapshotCount(), 3);
  dialog->OnUndo();
  EXPECT_TRUE(SameBeads(Design(), first));
  dialog->OnUndo();
  EXPECT_TRUE(SameBeads(Design(), Start()));
  EXPECT_FALSE(dialog->CanUndo());
  EXPECT_FALSE(Design().IsModified());
}

TEST_F(EditColorGroupTest, CancelGivesBackTheDesignItsColoursAndModifiedFlag) {
  PutDesign(Start(), kColors);
  CEditColorGroup* dialog = Open();
  Choose(dialog, 0, 3);
  dialog->OnApply();
  Choose(dialog, 2, 1);
  dialog->OnApply();
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(50);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolColorGroup), nullptr);
  EXPECT_FALSE(view->IsToolDialogOpen());
  EXPECT_TRUE(SameBeads(Design(), Start()));
  EXPECT_FALSE(Design().IsModified());
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_GE(pane.refreshes, 1);
}

TEST_F(EditColorGroupTest, OkIsOneViewStepThatUndoTakesBackBeadForBead) {
  PutDesign(Start(), kColors);
  CEditColorGroup* dialog = Open();
  Choose(dialog, 0, 3);
  dialog->OnApply();
  Choose(dialog, 2, 1);
  dialog->OnApply();
  const CPattern after(Design());
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(50);
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_EQ(CountEditedBeads(view->GetEditHistory()[0]), 9u);
  view->Undo();
  EXPECT_TRUE(SameBeads(Design(), Start()));
  view->Redo();
  EXPECT_TRUE(SameBeads(Design(), after));
}

TEST_F(EditColorGroupTest, MarksRightClicksAndTypedNumbers) {
  PutDesign(Start(), kColors);
  CEditColorGroup* dialog = Open();
  dialog->GetUpperList().ClearSelection();
  dialog->OnShowMarks();  // nothing selected: nothing marked
  for (const CBead& b : Design().GetBeadArray()) EXPECT_FALSE(b.IsSelected());
  // A right click on a bead of colour 1 selects it above.
  QmSendMouse(view->GetSafeHwnd(), WM_RBUTTONDOWN, CellPoint(2, 0), MK_RBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_RBUTTONUP, CellPoint(2, 0), 0);
  QmPumpMessages(50);
  EXPECT_EQ(dialog->GetUpperList().GetSelectedIndex(), 1);
  dialog->OnShowMarks();
  int marked = 0;
  for (const CBead& b : Design().GetBeadArray()) marked += b.IsSelected();
  EXPECT_EQ(marked, 3);
  dialog->OnHideMarks();
  for (const CBead& b : Design().GetBeadArray()) EXPECT_FALSE(b.IsSelected());
  // Typing a colour number in the lower "Color #" selects that colour.
  dialog->SetDlgItemText(IDC_ECG_DOWN_NUMBER, "4");
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ECG_DOWN_NUMBER, EN_CHANGE),
                      reinterpret_cast<LPARAM>(dialog->GetDlgItem(IDC_ECG_DOWN_NUMBER)->GetSafeHwnd()));
  EXPECT_EQ(dialog->GetLowerList().GetSelectedIndex(), 4);
  // Marks set while open are gone once the window closes.
  dialog->GetUpperList().SelectColor(CRgbTriple::FromColorref(kColors[0]));
  dialog->OnShowMarks();
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(50);
  for (const CBead& b : Design().GetBeadArray()) EXPECT_FALSE(b.IsSelected());
  EXPECT_TRUE(view->GetEditHistory().empty());
}

TEST_F(EditColorGroupTest, LiveWindowLaysOutInBothLanguagesAndBothSizes) {
  for (bool small : {false, true}) {
    for (bool russian : {false, true}) {
      SetSmallScreen(small);
      UseLanguage(russian);
      PutDesign(Start(), kColors);
      CEditColorGroup* dialog = Open();
      ASSERT_TRUE(dialog);
      for (const auto& problem : CheckDialogLayout(dialog->GetSafeHwnd())) ADD_FAILURE() << DescribeProblem(problem);
      const std::string name = small ? "tooldlg_color_group_compact_live.png" : "tooldlg_color_group_live.png";
      EXPECT_TRUE(SaveDialogShot(dialog->GetSafeHwnd(), DefaultShotsDir(russian) + "/" + name));
      dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
      QmPumpMessages(20);
    }
  }
  SetSmallScreen(false);
}
