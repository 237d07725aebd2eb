// The rows-and-columns window over a real design view: the band as cells,
// the location question with its side codes and "Center", the messages for
// no band and for removing everything, Back to initial pattern, the mode
// kept between openings, and OK (history emptied) and Cancel.
#include <gtest/gtest.h>

#include "core/FrameServices.h"
#include "dialogs/InsertRemoveColRowDlg.h"
#include "lang/ids/tooldlg.h"
#include "tests/dialogs/tooldlg_fixture.h"
#include "tools/dialogshots/DialogShots.h"
#include "tests/common/modal_hook.h"

using namespace tooltest;

namespace {

const std::vector<COLORREF> kColors = {RGB(40, 200, 40), RGB(200, 30, 30), RGB(30, 30, 200)};

class RowsColumnsTest : public ToolDialogTest {
 protected:
  CInsertRemoveColRowDlg* Open() {
    CInsertRemoveColRowDlg* dialog = OpenRowsColumnsDialog(view, frame);
    EXPECT_NE(dialog, nullptr);
    QmPumpMessages(20);
    return dialog;
  }
  // 5 x 6 design, row r (from the top) in colour r % 2, one blue bead at
  // (4, 5).
  CPattern Start() {
    CPattern d = MakeDesign(5, 6, 0);
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 5; ++c) d.SetBeadColor(c, r, r % 2, true);
    d.SetBeadColor(4, 5, 2, true);
    d.SetModified(false);
    return d;
  }
  // Answers the location question with the edge (true) or "Center", and
  // records what it showed.
  void AnswerLocation(bool edge) {
    qmtest::SetModalHook([this, edge](HWND ask) {
      char text[128] = {};
      ::GetWindowText(::GetDlgItem(ask, IDC_LOC_EDGE), text, sizeof(text));
      asked.emplace_back(text);
      ::GetWindowText(::GetDlgItem(ask, IDC_LOC_GROUP), text, sizeof(text));
      askedGroup.emplace_back(text);
      // Escape does nothing: the question stays until OK.
      ::SendMessage(ask, WM_COMMAND, IDCANCEL, 0);
      EXPECT_TRUE(::IsWindow(ask));
      ::CheckRadioButton(ask, IDC_LOC_EDGE, IDC_LOC_CENTER, edge ? IDC_LOC_EDGE : IDC_LOC_CENTER);
      ::SendMessage(ask, WM_COMMAND, IDOK, 0);
    });
  }
  std::vector<std::string> asked, askedGroup;
};

}  // namespace

TEST_F(RowsColumnsTest, InsertRowsAtTheTopAsksAndCenterInsertsBelowTheBand) {
  PutDesign(Start(), kColors);
  struct Case {
    bool edge;
    int firstNewRow;  // the first inserted row (from the top)
  } cases[] = {{true, 0}, {false, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge ? "Top" : "Center");
    PutDesign(Start(), kColors);
    CInsertRemoveColRowDlg* dialog = Open();
    dialog->SetMode(CInsertRemoveColRowDlg::kInsertRows);
    Drag(1, 0, 2, 2);
    const RECT band = dialog->GetSelectionRect();
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.right, 4);
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(band.bottom, 2);
    static_cast<CComboBox*>(dialog->GetDlgItem(IDC_RC_COLOR))->SetCurSel(2);
    AnswerLocation(c.edge);
    dialog->OnAdd();
    qmtest::SetModalHook(nullptr);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked.back(), LoadResString(IDS_RC_SIDE_TOP).GetString());
    EXPECT_EQ(askedGroup.back(), LoadResString(IDS_RC_ADD_ROWS).GetString());
    asked.clear();
    EXPECT_EQ(Design().GetRowCount(), 9u);
    for (int r = c.firstNewRow; r < c.firstNewRow + 3; ++r)
      for (int col = 0; col < 5; ++col) EXPECT_EQ(At(col, r), 2) << col << "," << r;
    EXPECT_TRUE(dialog->IsChanged());
    EXPECT_FALSE(dialog->IsBandShown());
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(20);
    EXPECT_TRUE(SameBeads(Design(), Start()));
  }
}

TEST_F(RowsColumnsTest, SideCodesOfTheFourEdgesAndNoQuestionInTheMiddle) {
  struct Case {
    int mode;
    POINT from, to;
    const char* radio;  // empty: no question
    unsigned columns, rows;
    POINT newCell;  // a cell of the inserted block
  } cases[] = {
      {CInsertRemoveColRowDlg::kInsertColumns, {0, 1}, {1, 3}, "Left", 7, 6, {0, 0}},
      {CInsertRemoveColRowDlg::kInsertColumns, {4, 1}, {3, 3}, "Right", 7, 6, {6, 0}},
      {CInsertRemoveColRowDlg::kInsertRows, {1, 5}, {1, 4}, "Bottom", 5, 8, {0, 7}},
      {CInsertRemoveColRowDlg::kInsertColumns, {2, 0}, {2, 5}, "", 6, 6, {2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radio);
    PutDesign(Start(), kColors);
    CInsertRemoveColRowDlg* dialog = Open();
    dialog->SetMode(c.mode);
    Drag(c.from.x, c.from.y, c.to.x, c.to.y);
    static_cast<CComboBox*>(dialog->GetDlgItem(IDC_RC_COLOR))->SetCurSel(2);
    AnswerLocation(true);
    dialog->OnAdd();
    qmtest::SetModalHook(nullptr);
    if (*c.radio) {
      ASSERT_EQ(asked.size(), 1u);
      EXPECT_EQ(asked.back(), c.radio);
    } else {
      EXPECT_TRUE(asked.empty());
    }
    asked.clear();
    EXPECT_EQ(Design().GetColumnCount(), c.columns);
    EXPECT_EQ(Design().GetRowCount(), c.rows);
    EXPECT_EQ(At(c.newCell.x, c.newCell.y), 2);
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(20);
  }
}

TEST_F(RowsColumnsTest, NoBandAndRemovingEverythingAreToldAndAllButOneRowGoes) {
  PutDesign(Start(), kColors);
  CInsertRemoveColRowDlg* dialog = Open();
  dialog->SetMode(CInsertRemoveColRowDlg::kInsertColumns);
  dialog->OnAdd();
  dialog->SetMode(CInsertRemoveColRowDlg::kRemoveRows);
  EXPECT_TRUE(dialog->GetDlgItem(IDC_RC_REMOVE)->IsWindowEnabled());
  EXPECT_FALSE(dialog->GetDlgItem(IDC_RC_ADD)->IsWindowEnabled());
  dialog->OnRemove();
  const std::string select = LoadResString(IDS_RC_SELECT_AREA).GetString();
  EXPECT_EQ(TakeMessages(), (std::vector<std::string>{select, select}));
  Drag(0, 0, 0, 5);
  dialog->OnRemove();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{LoadResString(IDS_RC_AREA_TOO_BIG).GetString()});
  EXPECT_EQ(Design().GetRowCount(), 6u);
  Drag(0, 1, 0, 5);
  dialog->OnRemove();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(Design().GetRowCount(), 1u);
  EXPECT_EQ(At(3, 0), 0);
  // Back to initial pattern: the grid and the modified flag of the opening.
  dialog->SendMessage(WM_COMMAND, IDC_RC_BACK, 0);
  EXPECT_TRUE(SameBeads(Design(), Start()));
  EXPECT_FALSE(Design().IsModified());
  EXPECT_FALSE(dialog->IsChanged());
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
}

TEST_F(RowsColumnsTest, OkEmptiesTheHistoryOnlyWhenTheGridChangedAndCancelRestoresTheModifiedFlag) {
  PutDesign(Start(), kColors);
  view->GetHistory().PushEdit(CBeadEdit(0, Design()));
  CInsertRemoveColRowDlg* dialog = Open();
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(20);
  EXPECT_EQ(view->GetEditHistory().size(), 1u);
  EXPECT_EQ(view->GetToolWindow(CTabView::kToolRowsColumns), nullptr);

  Design().SetModified(true);
  dialog = Open();
  dialog->SetMode(CInsertRemoveColRowDlg::kRemoveColumns);
  Drag(1, 2, 2, 2);
  dialog->OnRemove();
  EXPECT_EQ(Design().GetColumnCount(), 3u);
  dialog->SendMessage(WM_COMMAND, IDOK, 0);
  QmPumpMessages(20);
  EXPECT_TRUE(view->GetEditHistory().empty());
  EXPECT_EQ(Design().GetColumnCount(), 3u);
  EXPECT_TRUE(Design().IsModified());

  PutDesign(Start(), kColors);
  dialog = Open();
  dialog->SetMode(CInsertRemoveColRowDlg::kRemoveRows);
  Drag(1, 2, 2, 3);
  dialog->OnRemove();
  dialog->SetMode(CInsertRemoveColRowDlg::kInsertColumns);
  Drag(1, 1, 1, 1);
  dialog->OnAdd();
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(20);
  EXPECT_TRUE(SameBeads(Design(), Start()));
  EXPECT_FALSE(Design().IsModified());
}

TEST_F(RowsColumnsTest, EachModeIsCheckedAgainAtTheNextOpeningAndTheBandIsPainted) {
  PutDesign(Start(), kColors);
  const int radios[] = {IDC_RC_INSERT_COLUMNS, IDC_RC_INSERT_ROWS, IDC_RC_REMOVE_COLUMNS, IDC_RC_REMOVE_ROWS};
  for (int mode = 0; mode < 4; ++mode) {
    CInsertRemoveColRowDlg* dialog = Open();
    dialog->SendMessage(WM_COMMAND, static_cast<WPARAM>(radios[mode]), 0);
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(20);
    dialog = Open();
    EXPECT_EQ(CInsertRemoveColRowDlg::GetSharedMode(), mode);
    EXPECT_TRUE(dialog->IsDlgButtonChecked(radios[mode]));
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(20);
  }
  CInsertRemoveColRowDlg* dialog = Open();
  dialog->SetMode(CInsertRemoveColRowDlg::kInsertColumns);
  const QImage before = QmRenderWindow(view->GetSafeHwnd(), false);
  Drag(1, 1, 3, 1);
  QmPumpMessages(50);
  EXPECT_NE(before, QmRenderWindow(view->GetSafeHwnd(), false));
  CString info;
  dialog->GetDlgItemText(IDC_RC_INFO, info);
  CString expected;
  expected.Format(LoadResString(IDS_RC_COLUMNS_INFO).GetString(), 2, 4, 5);
  EXPECT_EQ(info, expected);
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(50);
  EXPECT_EQ(before, QmRenderWindow(view->GetSafeHwnd(), false));
}

TEST_F(RowsColumnsTest, LiveWindowsLayOutInBothLanguages) {
  for (bool russian : {false, true}) {
    UseLanguage(russian);
    PutDesign(Start(), kColors);
    CInsertRemoveColRowDlg* dialog = Open();
    dialog->SetMode(CInsertRemoveColRowDlg::kInsertRows);
    Drag(1, 0, 1, 1);
    QmPumpMessages(50);
    for (const auto& problem : CheckDialogLayout(dialog->GetSafeHwnd())) ADD_FAILURE() << DescribeProblem(problem);
    EXPECT_TRUE(SaveDialogShot(dialog->GetSafeHwnd(), DefaultShotsDir(russian) + "/tooldlg_rows_columns_live.png"));
    qmtest::SetModalHook([&](HWND ask) {
      for (const auto& problem : CheckDialogLayout(ask)) ADD_FAILURE() << DescribeProblem(problem);
      EXPECT_TRUE(SaveDialogShot(ask, DefaultShotsDir(russian) + "/tooldlg_add_location_live.png"));
      ::SendMessage(ask, WM_COMMAND, IDOK, 0);
    });
    dialog->OnAdd();
    qmtest::SetModalHook(nullptr);
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    QmPumpMessages(20);
  }
}
