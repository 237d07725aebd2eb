// The column chooser: what a drop does to the two column vectors (a table),
// the dialog worked by drags as the mouse makes them, its options, and its
// pictures in both languages.
#include <gtest/gtest.h>

#include "core/DialogServices.h"
#include "dialogs/SelectColumnsDlg.h"
#include "lang/ids/adjust.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/adjust_fixture.h"
#include "tests/common/modal_hook.h"

using namespace adjusttest;

namespace {

std::vector<int> Kinds(const CColumnLayout& layout) {
  std::vector<int> out;
  for (const auto& e : layout) out.push_back(e.first);
  return out;
}

// The centre of a list's row (or below its last row for -1) in the
// dialog's client coordinates.
CPoint RowPoint(CDialog& dialog, CListCtrl& list, int row) {
  CRect r;
  if (row >= 0) {
    list.GetItemRect(row, &r, LVIR_BOUNDS);
  } else {
    list.GetClientRect(&r);
    r.top = r.bottom - 6;
  }
  CPoint p = r.CenterPoint();
  list.ClientToScreen(&p);
  dialog.ScreenToClient(&p);
  return p;
}

}  // namespace

TEST(ColumnChoice, DropsMoveEntriesAsTheTableSays) {
  const CColumnLayout used = {{0, 50}, {1, 60}, {2, 70}, {3, 80}};
  struct Case {
    const char* what;
    int fixed, from, dragged, to, row;
    bool changes;
    std::vector<int> used, otherFront;
  } cases[] = {
      {"neighbour below: swap", 0, 0, 1, 0, 2, true, {0, 2, 1, 3}, {4}},
      {"neighbour above: swap", 0, 0, 2, 0, 1, true, {0, 2, 1, 3}, {4}},
      {"two below: lands above the row dropped on", 0, 0, 0, 0, 3, true, {1, 2, 0, 3}, {4}},
      {"two above: lands above the row dropped on", 0, 0, 3, 0, 1, true, {0, 3, 1, 2}, {4}},
      {"below the last used row: to the top", 0, 0, 2, 0, -1, true, {2, 0, 1, 3}, {4}},
      {"onto itself: nothing", 0, 0, 2, 0, 2, false, {0, 1, 2, 3}, {4}},
      {"other onto a used row: inserted there", 0, 1, 0, 0, 2, true, {0, 1, 4, 2, 3}, {5}},
      {"other below the used rows: at the top", 0, 1, 1, 0, -1, true, {5, 0, 1, 2, 3}, {4}},
      {"used onto other: inserted there", 0, 0, 1, 1, 1, true, {0, 2, 3}, {4, 1, 5}},
      {"used below the other rows: at the top", 0, 0, 3, 1, -1, true, {0, 1, 2}, {3, 4}},
      {"other onto other: nothing", 0, 1, 0, 1, 3, false, {0, 1, 2, 3}, {4}},
      {"fixed row cannot be dragged", 1, 0, 0, 0, 3, false, {0, 1, 2, 3}, {4}},
      {"drop before the fixed rows is raised to them", 2, 1, 0, 0, 0, true, {0, 1, 4, 2, 3}, {5}},
      {"below the last row with fixed rows: at the fixed count", 1, 0, 3, 0, -1, true, {0, 3, 1, 2}, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CColumnChoice choice(used, c.fixed);
    ASSERT_EQ(choice.Other().size(), 17u);
    EXPECT_EQ(choice.Drop(c.from, c.dragged, c.to, c.row), c.changes);
    EXPECT_EQ(Kinds(choice.Used()), c.used);
    const std::vector<int> other = Kinds(choice.Other());
    ASSERT_GE(other.size(), c.otherFront.size());
    EXPECT_EQ(std::vector<int>(other.begin(), other.begin() + static_cast<long>(c.otherFront.size())), c.otherFront);
  }
  // A used column dropped on the other list keeps its width there.
  CColumnChoice choice(used, 0);
  choice.Drop(0, 1, 1, 0);
  EXPECT_EQ(choice.Other().front(), std::make_pair(1, 60));
}

TEST(SelectColumnsDlg, DragsByTheMouseOptionsAndDefaultWidths) {
  qmtest::LanguagePack pack(false);
  const CColumnLayout columns = {{0, 120}, {5, 40}};
  CColumnListOptions options;
  options.rememberSelection = 1;
  options.highlightShortage = 0;
  options.allowUsageChange = 1;
  options.usageChangeLocked = 1;
  CSelectDisplayingColumnsDlg dialog(columns, options, nullptr);
  qmtest::SetModalHook([&](HWND dlg) {
    EXPECT_FALSE(Shown(GetDlgItem(dlg, IDC_COLS_SHORTAGE)));
    EXPECT_FALSE(Shown(GetDlgItem(dlg, IDC_COLS_USAGE)));
    EXPECT_FALSE(Enabled(GetDlgItem(dlg, IDC_COLS_USAGE)));
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_COLS_REMEMBER), BST_CHECKED);
    CListCtrl& used = dialog.GetUsedList();
    CListCtrl& other = dialog.GetOtherList();
    EXPECT_EQ(used.GetItemCount(), 2);
    EXPECT_EQ(other.GetItemCount(), 19);
    EXPECT_EQ(used.GetItemData(1), 5u);
    CheckAndShoot(dlg, false, "select_columns");
    // Both used columns dragged out: OK goes grey with the last one.
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(dialog.StartDrag(0, 0));
      dialog.DropAt(RowPoint(dialog, other, 0));
    }
    EXPECT_EQ(used.GetItemCount(), 0);
    EXPECT_FALSE(Enabled(GetDlgItem(dlg, IDOK)));
    // The first other column back, by the mouse: pressed on its row, moved
    // into "Used columns", released there.
    const int last = 0;
    const DWORD_PTR kind = other.GetItemData(last);
    CRect r;
    other.GetItemRect(last, &r, LVIR_BOUNDS);
    const CPoint press = r.CenterPoint();
    QmSendMouse(other.m_hWnd, WM_LBUTTONDOWN, press, MK_LBUTTON);
    QmSendMouse(other.m_hWnd, WM_MOUSEMOVE, CPoint(press.x + 12, press.y + 12), MK_LBUTTON);
    EXPECT_TRUE(dialog.IsDragging());
    const CPoint drop = RowPoint(dialog, used, -1);
    SendMessage(dlg, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drop.x, drop.y));
    SendMessage(dlg, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
    EXPECT_FALSE(dialog.IsDragging());
    EXPECT_EQ(used.GetItemCount(), 1);
    if (used.GetItemCount() == 1) EXPECT_EQ(used.GetItemData(0), kind);
    EXPECT_TRUE(Enabled(GetDlgItem(dlg, IDOK)));
    EXPECT_TRUE(dialog.StartDrag(1, 0));
    dialog.DropAt(RowPoint(dialog, used, 0));
    CheckDlgButton(dlg, IDC_COLS_REMEMBER, BST_UNCHECKED);
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  qmtest::SetModalHook({});
  CColumnLayout chosen;
  dialog.GetColumns(chosen);
  ASSERT_EQ(chosen.size(), 2u);
  for (const auto& c : chosen) EXPECT_EQ(c.second, -7);
  EXPECT_FALSE(dialog.GetRememberSelection());
  EXPECT_FALSE(dialog.GetHighlightShortage());
  // Locked usage change comes back cleared.
  EXPECT_FALSE(dialog.GetAllowUsageChange());
}

TEST(SelectColumnsDlg, CancelAndTheInstalledHookLeaveTheCallersColumns) {
  qmtest::LanguagePack pack(true);
  InstallSelectColumnsDialog();
  CColumnLayout columns = {{0, 120}, {1, 80}, {2, 60}};
  CColumnListOptions options;
  options.usageChangeLocked = 0;
  options.allowUsageChange = 1;
  qmtest::SetModalHook([&](HWND dlg) {
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_COLS_USAGE), BST_CHECKED);
    CheckAndShoot(dlg, true, "select_columns");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_FALSE(RunSelectColumnsDialog(columns, options, nullptr));
  qmtest::SetModalHook({});
  EXPECT_EQ(columns, (CColumnLayout{{0, 120}, {1, 80}, {2, 60}}));
  EXPECT_EQ(options.allowUsageChange, 1);
  // OK through the hook: widths back to the default, options handed back.
  qmtest::SetModalHook([&](HWND dlg) {
    CheckDlgButton(dlg, IDC_COLS_REMEMBER, BST_CHECKED);
    QmClickButton(GetDlgItem(dlg, IDOK));
  });
  EXPECT_TRUE(RunSelectColumnsDialog(columns, options, nullptr));
  qmtest::SetModalHook({});
  EXPECT_EQ(columns, (CColumnLayout{{0, -7}, {1, -7}, {2, -7}}));
  EXPECT_EQ(options.rememberSelection, 1);
  EXPECT_EQ(options.allowUsageChange, 1);
  SetSelectColumnsDialog({});
}
