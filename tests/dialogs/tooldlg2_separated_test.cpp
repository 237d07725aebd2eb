// The separated-beads window over a real design view: the list, the marks,
// one colour, all colours, the colour variants of a clicked piece, its own
// undo, OK as one step of the view's history and Cancel; the candidates of
// a piece; the diagonal option kept in the registry.
#include "builder/SepStitchFinder.h"
#include "core/Registry.h"
#include "dialogs/ChangeColorDlg.h"
#include "dialogs/SeparatedBeadsDlg.h"
#include "dialogs/SerializeValue.h"
#include "lang/ids/tooldlg2.h"
#include "platform/wnd/controls.h"
#include "platform/wnd/host.h"
#include "tests/dialogs/tooldlg2_fixture.h"
#include "tests/dialogs/tooldlg_fixture.h"
#include "tests/common/modal_hook.h"

using namespace tool2test;

namespace {

class SeparatedTest : public Tool2DialogTest {
 protected:
  void TearDown() override {
    if (dialog && view->GetToolWindow(CTabView::kToolSeparated)) dialog->SendMessage(WM_COMMAND, IDCANCEL);
    view->SetToolSource(nullptr);
    Tool2DialogTest::TearDown();
  }
  CDeleteSepStitchDlg* Open() {
    view->SetToolSource(&pane);
    dialog = CDeleteSepStitchDlg::Open(view, frame);
    return dialog;
  }
  void Click(int id) { dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  CDeleteSepStitchDlg* dialog = nullptr;
  tooltest::CRecordingPane pane;
};

const std::vector<std::string> kTwoStrays = {
    "00000",
    "01000",
    "00000",
    "00020",
    "00000",
};

}  // namespace

TEST_F(SeparatedTest, ChangeSelectedColourThenOwnUndoRedoAndOkMakeOneViewStep) {
  PutRows(kTwoStrays);
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolSeparated), dialog);
  EXPECT_TRUE(view->IsToolDialogOpen());
  ASSERT_EQ(dialog->GetList().GetItemCount(), 2);
  EXPECT_TRUE(boxes.empty());
  // The row of colour 1 marks its bead.
  int row1 = -1;
  for (int r = 0; r < 2; ++r)
    if (dialog->GetList().GetItemText(r, 0) == "C1") row1 = r;
  ASSERT_GE(row1, 0);
  dialog->ChooseRow(row1);
  ASSERT_NE(dialog->GetSelectedGroup(), nullptr);
  EXPECT_EQ(view->GetPattern()->m_markedBeads, (std::vector<UINT>{UINT(view->GetPattern()->GetBeadIndex(1, 1))}));
  Click(IDC_SEP_CHANGE_SELECTED);
  EXPECT_EQ(ViewRows(), (std::vector<std::string>{"00000", "00000", "00000", "00020", "00000"}));
  EXPECT_EQ(dialog->GetList().GetItemCount(), 1);
  EXPECT_TRUE(::IsWindowEnabled(dialog->GetDlgItem(IDC_SEP_UNDO)->GetSafeHwnd()));
  Click(IDC_SEP_UNDO);
  EXPECT_EQ(ViewRows(), kTwoStrays);
  Click(IDC_SEP_REDO);
  EXPECT_EQ(ViewRows()[1], "00000");
  EXPECT_EQ(view->GetEditHistory().size(), 0u);
  Click(IDOK);
  QmPumpMessages(50);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolSeparated), nullptr);
  EXPECT_FALSE(view->IsToolDialogOpen());
  dialog = nullptr;
  ASSERT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_TRUE(view->GetPattern()->m_markedBeads.empty());
  view->Undo();
  EXPECT_EQ(ViewRows(), kTwoStrays);
  view->Redo();
  EXPECT_EQ(ViewRows()[1], "00000");
}

TEST_F(SeparatedTest, ChangeAllIsOneOwnStepAndCancelPutsTheDesignBack) {
  PutRows(kTwoStrays);
  view->GetPattern()->SetModified(false);
  ASSERT_NE(Open(), nullptr);
  Click(IDC_SEP_CHANGE_ALL);
  EXPECT_EQ(ViewRows(), (std::vector<std::string>(5, "00000")));
  EXPECT_EQ(dialog->GetList().GetItemCount(), 0);
  EXPECT_EQ(dialog->GetUndo().GetStepCount(), 1);
  Click(IDC_SEP_UNDO);
  EXPECT_EQ(ViewRows(), kTwoStrays);
  Click(IDC_SEP_REDO);
  Click(IDCANCEL);
  QmPumpMessages(50);
  dialog = nullptr;
  EXPECT_EQ(ViewRows(), kTwoStrays);
  EXPECT_FALSE(view->GetPattern()->IsModified());
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolSeparated), nullptr);
}

TEST_F(SeparatedTest, ChangeAllRunsPassesUntilNothingIsLeft) {
  // A chequerboard: every bead stands apart; the passes leave one colour.
  PutRows({"0101", "1010", "0101", "1010"});
  ASSERT_NE(Open(), nullptr);
  CheckDlgButton(dialog->GetSafeHwnd(), IDC_SEP_DIAGONAL, BST_UNCHECKED);
  Click(IDC_SEP_DIAGONAL);
  ASSERT_GT(dialog->GetList().GetItemCount(), 0);
  Click(IDC_SEP_CHANGE_ALL);
  const auto rows = ViewRows();
  const std::string one(4, rows.front().front());
  for (const auto& r : rows) EXPECT_EQ(r, one);
  EXPECT_EQ(dialog->GetUndo().GetStepCount(), 1);
}

TEST_F(SeparatedTest, ADesignWithoutSeparatedBeadsSaysSoAtOpeningAndOnChangeAll) {
  PutRows({"000", "000", "000"});
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(Shown("doesn't have separated beads"));
  EXPECT_EQ(dialog->GetList().GetItemCount(), 0);
  boxes.clear();
  Click(IDC_SEP_CHANGE_ALL);
  EXPECT_TRUE(Shown("doesn't have separated beads"));
  boxes.clear();
  Click(IDC_SEP_CHANGE_SELECTED);
  EXPECT_TRUE(Shown("doesn't have separated beads"));
}

TEST_F(SeparatedTest, SizeAndDiagonalChangeWhatIsListedAndTheRowFollowsTheColour) {
  // Two beads of colour 1 touching at a corner: one piece of two with the
  // diagonal, two single beads without it.
  PutRows({"00000", "01000", "00100", "00000", "00020"});
  CSerializeValue<bool>::Write(kDiagonalValueName, true);
  ASSERT_NE(Open(), nullptr);
  auto countOf = [&](int color) {
    for (const auto& g : dialog->GetFinder().GetEntries())
      if (g.colorIndex == color) return g.GetBeadCount();
    return 0;
  };
  EXPECT_EQ(countOf(1), 0);  // a piece of two is above "1"
  dialog->ChooseSize(1);    // "1 - 2"
  EXPECT_EQ(countOf(1), 2);
  // Select colour 1's row, then turn the diagonal off: the row of colour 1
  // stays selected.
  for (int r = 0; r < dialog->GetList().GetItemCount(); ++r)
    if (dialog->GetList().GetItemText(r, 0) == "C1") dialog->ChooseRow(r);
  ASSERT_NE(dialog->GetSelectedGroup(), nullptr);
  CheckDlgButton(dialog->GetSafeHwnd(), IDC_SEP_DIAGONAL, BST_UNCHECKED);
  Click(IDC_SEP_DIAGONAL);
  ASSERT_NE(dialog->GetSelectedGroup(), nullptr);
  EXPECT_EQ(dialog->GetSelectedGroup()->colorIndex, 1);
  EXPECT_EQ(countOf(1), 2);
  EXPECT_EQ(dialog->GetSelectedGroup()->GetRegionCount(), 2);
}

TEST_F(SeparatedTest, ClickingAMarkedPieceRecoloursTheWholePieceWithTheChosenVariant) {
  PutRows({"00000", "01100", "00200", "00000"});
  ASSERT_NE(Open(), nullptr);
  dialog->ChooseSize(1);
  for (int r = 0; r < dialog->GetList().GetItemCount(); ++r)
    if (dialog->GetList().GetItemText(r, 0) == "C1") dialog->ChooseRow(r);
  ASSERT_NE(dialog->GetSelectedGroup(), nullptr);
  std::vector<CString> offered;
  qmtest::SetModalHook([&](HWND variants) {
    HWND list = ::GetDlgItem(variants, IDC_CHG_LIST);
    CListCtrl* ctrl = static_cast<CListCtrl*>(CWnd::FromHandle(list));
    for (int r = 0; r < ctrl->GetItemCount(); ++r) offered.push_back(ctrl->GetItemText(r, 0));
    // Colour 2 is the second candidate (colour 0 is seen first).
    ctrl->SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    QmClickButton(::GetDlgItem(variants, IDOK));
  });
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONDOWN, CellPoint(2, 1), MK_LBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_LBUTTONUP, CellPoint(2, 1), 0);
  QmPumpMessages(50);
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(offered, (std::vector<CString>{"C0", "C2"}));
  EXPECT_EQ(ViewRows()[1], "02200");
  EXPECT_EQ(dialog->GetUndo().GetStepCount(), 1);
  EXPECT_TRUE(dialog->IsChanged());
}

TEST_F(SeparatedTest, RightClickSelectsTheRowOfTheBeadsColour) {
  PutRows(kTwoStrays);
  ASSERT_NE(Open(), nullptr);
  QmSendMouse(view->GetSafeHwnd(), WM_RBUTTONDOWN, CellPoint(3, 3), MK_RBUTTON);
  QmSendMouse(view->GetSafeHwnd(), WM_RBUTTONUP, CellPoint(3, 3), 0);
  QmPumpMessages(50);
  ASSERT_NE(dialog->GetSelectedGroup(), nullptr);
  EXPECT_EQ(dialog->GetSelectedGroup()->colorIndex, 2);
  EXPECT_EQ(view->GetPattern()->m_markedBeads.size(), 1u);
}

TEST_F(SeparatedTest, ForbiddenAreaIsTheMarksAtOpeningAndCanBeShown) {
  PutRows(kTwoStrays);
  view->GetPattern()->SetMarkedBeads(std::vector<UINT>{0, 1, 2});
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(dialog->GetForbiddenArea(), (std::vector<UINT>{0, 1, 2}));
  EXPECT_TRUE(view->GetPattern()->m_markedBeads.empty());
  EXPECT_EQ(IsDlgButtonChecked(dialog->GetSafeHwnd(), IDC_SEP_FORBIDDEN_SHOW), BST_CHECKED);
  CString count;
  dialog->GetDlgItemText(IDC_SEP_FORBIDDEN_COUNT, count);
  EXPECT_EQ(count, "3");
  Click(IDC_SEP_FORBIDDEN_SHOW);
  EXPECT_EQ(view->GetPattern()->m_markedBeads, (std::vector<UINT>{0, 1, 2}));
  CheckDlgButton(dialog->GetSafeHwnd(), IDC_SEP_FORBIDDEN_SHOW, BST_UNCHECKED);
  Click(IDC_SEP_FORBIDDEN_SHOW);
  EXPECT_TRUE(view->GetPattern()->m_markedBeads.empty());
  // The region box has its single, disabled entry.
  EXPECT_FALSE(::IsWindowEnabled(dialog->GetDlgItem(IDC_SEP_REGION)->GetSafeHwnd()));
}

TEST(SeparatedOption, TheDiagonalOptionIsOneByteAndReadsTrueOtherwise) {
  const char* name = kDiagonalValueName;
  CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  RegDeleteValue(key.GetHandle(), name);
  EXPECT_TRUE(CSerializeValue<bool>::Read(name));  // missing
  const DWORD four = 0;
  key.SetValue(name, &four, 4, REG_BINARY);
  EXPECT_TRUE(CSerializeValue<bool>::Read(name));  // not one byte
  {
    bool flag = true;
    CSerializeValue<bool> value(name, flag);
    EXPECT_TRUE(flag);
    flag = false;
  }
  DWORD size = 0;
  ASSERT_TRUE(key.GetValueSize(name, size));
  EXPECT_EQ(size, 1u);
  EXPECT_FALSE(CSerializeValue<bool>::Read(name));
  const BYTE one = 1;
  key.SetValue(name, &one, 1, REG_BINARY);
  EXPECT_TRUE(CSerializeValue<bool>::Read(name));
}

TEST_F(SeparatedTest, TheDiagonalOptionChosenIsTheOneOfTheNextOpening) {
  PutRows(kTwoStrays);
  CSerializeValue<bool>::Write(kDiagonalValueName, true);
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(IsDlgButtonChecked(dialog->GetSafeHwnd(), IDC_SEP_DIAGONAL), BST_CHECKED);
  CheckDlgButton(dialog->GetSafeHwnd(), IDC_SEP_DIAGONAL, BST_UNCHECKED);
  Click(IDC_SEP_DIAGONAL);
  Click(IDOK);
  QmPumpMessages(50);
  EXPECT_FALSE(CSerializeValue<bool>::Read(kDiagonalValueName));
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(IsDlgButtonChecked(dialog->GetSafeHwnd(), IDC_SEP_DIAGONAL), BST_UNCHECKED);
}

// ---- The colour variants ----

TEST(ColorVariants, CandidatesComeOnceInTheOrderSeenAndSkipRemovedBeads) {
  const CColorSet palette = tooltest::MakePalette({RGB(0, 0, 0), RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)});
  // The piece is the bead at column 1, row 1 (colour 1).
  const CPattern design = MakeDesign({"3.0", "012", "020"});
  const std::vector<UINT> piece{UINT(design.GetBeadIndex(1, 1))};
  CNeighbourColors found;
  CollectNeighbourColors(found, piece, design, palette);
  std::vector<int> colors, where;
  for (const auto& c : found) {
    colors.push_back(c.colorIndex);
    where.push_back(c.beadIndex);
  }
  // Left (0), right (2), below (2 again), above (removed), then the corners.
  EXPECT_EQ(colors, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(where[0], design.GetBeadIndex(0, 1));
  EXPECT_EQ(where[1], design.GetBeadIndex(2, 1));
  EXPECT_EQ(found[1].color, RGB(0, 200, 0));
  // No other colour around: nothing.
  const CPattern plain = MakeDesign({"111", "111"});
  CollectNeighbourColors(found, {0}, plain, palette);
  EXPECT_TRUE(found.empty());
}

TEST(ColorVariants, NearestCandidateIsTheFirstOfTheClosest) {
  const CNeighbourColors candidates = {
      {0, RGB(255, 0, 0), 1}, {1, RGB(0, 0, 250), 2}, {2, RGB(0, 0, 250), 3}, {3, RGB(10, 10, 10), 4}};
  EXPECT_EQ(FindNearestCandidate(RGB(0, 0, 255), candidates), 1);
  EXPECT_EQ(FindNearestCandidate(RGB(0, 0, 0), candidates), 3);
  EXPECT_EQ(FindNearestCandidate(RGB(250, 5, 5), candidates), 0);
  EXPECT_EQ(FindNearestCandidate(RGB(1, 2, 3), {}), 0);
}

TEST_F(Tool2DialogTest, VariantsTestThenCancelGivesEveryBeadBackAndTestThenOkKeepsTheTestedColour) {
  PutRows({"000", "011", "022"});
  const std::vector<std::string> before = ViewRows();
  const std::vector<UINT> piece{UINT(view->GetPattern()->GetBeadIndex(1, 1)),
                                UINT(view->GetPattern()->GetBeadIndex(2, 1))};
  {
    CChangeColorDlg variants(view, piece, CellPoint(1, 1), frame);
    qmtest::SetModalHook([&](HWND h) {
      auto* list = static_cast<CListCtrl*>(CWnd::FromHandle(::GetDlgItem(h, IDC_CHG_LIST)));
      EXPECT_EQ(list->GetItemCount(), 2);
      list->SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      QmClickButton(::GetDlgItem(h, IDC_CHG_TEST));
      EXPECT_EQ(ViewRows()[1], "022");
      QmClickButton(::GetDlgItem(h, IDCANCEL));
    });
    EXPECT_EQ(variants.DoModal(), IDCANCEL);
    EXPECT_EQ(ViewRows(), before);
  }
  {
    CChangeColorDlg variants(view, piece, CellPoint(1, 1), frame);
    qmtest::SetModalHook([&](HWND h) {
      auto* list = static_cast<CListCtrl*>(CWnd::FromHandle(::GetDlgItem(h, IDC_CHG_LIST)));
      list->SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      QmClickButton(::GetDlgItem(h, IDC_CHG_TEST));
      list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      QmClickButton(::GetDlgItem(h, IDOK));
    });
    EXPECT_EQ(variants.DoModal(), IDOK);
    EXPECT_EQ(variants.GetSelectedColor(), 2);
  }
  qmtest::SetModalHook(nullptr);
}

TEST_F(Tool2DialogTest, VariantsWithoutCandidatesAskForAColourAndCancelChangesNothing) {
  PutRows({"111", "111"});
  const std::vector<UINT> piece{0};
  CChangeColorDlg variants(view, piece, CellPoint(0, 0), frame);
  qmtest::SetModalHook([&](HWND h) {
    QmClickButton(::GetDlgItem(h, IDC_CHG_TEST));
    QmClickButton(::GetDlgItem(h, IDOK));
    EXPECT_TRUE(::IsWindowVisible(h));
    QmClickButton(::GetDlgItem(h, IDCANCEL));
  });
  EXPECT_EQ(variants.DoModal(), IDCANCEL);
  qmtest::SetModalHook(nullptr);
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "Select a color"), 2);
  EXPECT_EQ(ViewRows(), (std::vector<std::string>{"111", "111"}));
}

// The pane's colour list follows what the window leaves: the counts after
// OK, the design's own counts again after Cancel.
TEST_F(SeparatedTest, OkAndCancelAfterAChangeLeaveThePaneWithTheDesignsCounts) {
  for (const bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    PutRows(kTwoStrays);
    ASSERT_NE(Open(), nullptr);
    Click(IDC_SEP_CHANGE_ALL);
    const int before = pane.refreshes;
    Click(ok ? IDOK : IDCANCEL);
    QmPumpMessages(50);
    dialog = nullptr;
    EXPECT_GT(pane.refreshes, before);
    EXPECT_EQ(view->GetColorSet()->GetUsedCount(), ok ? 1 : 3);
  }
}
