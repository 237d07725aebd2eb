// Window helpers of the tool dialogs.
#include <gtest/gtest.h>

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "platform/base/resource.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"

namespace {

class CTestWindow : public CWnd {
 public:
  BOOL CreateTop(int x, int y, int w, int h) {
    return CreateEx(0, AfxRegisterWndClass(0), "Top", WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr);
  }
  BOOL CreateChild(CWnd* parent, const RECT& r, UINT id) {
    return CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE, r, parent, id);
  }
};

HWND MakeEdit(CWnd& parent, int id, const char* text) {
  return CreateWindowEx(0, "Edit", text, WS_CHILD | WS_VISIBLE, 5, 5 + id, 100, 20, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

TEST(WindowUtils, ReadDialogItemNumbers) {
  CTestWindow dialog;
  ASSERT_TRUE(dialog.CreateTop(10, 10, 300, 200));
  MakeEdit(dialog, 101, "0");
  MakeEdit(dialog, 102, "2.5");
  MakeEdit(dialog, 103, "abc");
  MakeEdit(dialog, 104, "");
  MakeEdit(dialog, 105, "-3");
  int i = 9;
  float f = 9;
  EXPECT_FALSE(ReadDlgItemInt(&dialog, 101, i, false));
  EXPECT_EQ(i, 0);
  EXPECT_TRUE(ReadDlgItemInt(&dialog, 101, i, true));
  EXPECT_TRUE(ReadDlgItemFloat(&dialog, 102, f, false));
  EXPECT_FLOAT_EQ(f, 2.5f);
  i = 9;
  EXPECT_FALSE(ReadDlgItemInt(&dialog, 103, i, false));
  EXPECT_EQ(i, 0);  // stored, and answered as for 0
  EXPECT_TRUE(ReadDlgItemInt(&dialog, 103, i, true));
  i = 9;
  EXPECT_FALSE(ReadDlgItemInt(&dialog, 104, i, true));  // empty: nothing stored
  EXPECT_EQ(i, 9);
  EXPECT_FALSE(ReadDlgItemInt(&dialog, 199, i, true));  // no such control
  EXPECT_FALSE(ReadDlgItemFloat(&dialog, 105, f, true));
  EXPECT_FLOAT_EQ(f, -3.0f);
  dialog.DestroyWindow();
}

TEST(WindowUtils, UndoRedoTexts) {
  qmtest::LanguagePack pack(false);
  ASSERT_TRUE(pack.Loaded());
  CTestWindow dialog;
  ASSERT_TRUE(dialog.CreateTop(10, 10, 300, 200));
  MakeEdit(dialog, 159, "x");
  MakeEdit(dialog, 160, "y");
  SetUndoRedoTexts(&dialog, 159, 160);
  CString text;
  dialog.GetDlgItemText(159, text);
  EXPECT_EQ(text, "Undo");
  dialog.GetDlgItemText(160, text);
  EXPECT_EQ(text, "Redo");
  dialog.DestroyWindow();
}

TEST(WindowUtils, RegionComboHoldsEverywhereOnlyAndIsGreyed) {
  for (bool russian : {false, true}) {
    qmtest::LanguagePack pack(russian);
    ASSERT_TRUE(pack.Loaded());
    CTestWindow dialog;
    ASSERT_TRUE(dialog.CreateTop(10, 10, 300, 200));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, RECT{5, 5, 150, 120}, &dialog, 300));
    combo.AddString("stale");
    FillRegionCombo(&combo);
    ASSERT_EQ(combo.GetCount(), 1);
    EXPECT_EQ(combo.GetCurSel(), 0);
    CString text;
    combo.GetLBText(0, text);
    EXPECT_EQ(text, LoadResString(507));
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_FALSE(combo.IsWindowEnabled());
    FillRegionCombo(nullptr);
    dialog.DestroyWindow();
  }
}

TEST(WindowUtils, EnableOwnerDrawnChangesTheStateOnlyWhenItDiffers) {
  CTestWindow dialog;
  ASSERT_TRUE(dialog.CreateTop(10, 10, 300, 200));
  CButton button;
  ASSERT_TRUE(button.Create("Undo", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{5, 5, 80, 30}, &dialog, 159));
  EnableOwnerDrawn(button, false);
  EXPECT_FALSE(button.IsWindowEnabled());
  EnableOwnerDrawn(button, false);
  EXPECT_FALSE(button.IsWindowEnabled());
  EnableOwnerDrawn(button, true);
  EXPECT_TRUE(button.IsWindowEnabled());
  dialog.DestroyWindow();
}

TEST(WindowUtils, IconsAndCloseBox) {
  CTestWindow top, child;
  ASSERT_TRUE(top.CreateTop(10, 10, 300, 200));
  ASSERT_TRUE(child.CreateChild(&top, RECT{10, 10, 50, 50}, 7));
  EXPECT_TRUE(SetParentWindowIcon(&child, nullptr));
  EXPECT_FALSE(SetParentWindowIcon(&top, nullptr));
  EXPECT_FALSE(SetParentWindowIcon(nullptr, nullptr));
  EnableCloseButton(&top, false);
  if (CMenu* menu = top.GetSystemMenu(FALSE)) {
    EXPECT_NE(menu->GetMenuState(SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EnableCloseButton(&top, true);
    EXPECT_EQ(menu->GetMenuState(SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  }
  EnableCloseButton(nullptr, true);
  top.DestroyWindow();
}

TEST(WindowUtils, PlaceDialogBesideView) {
  CTestWindow view, dialog;
  ASSERT_TRUE(view.CreateTop(100, 80, 600, 400));
  ASSERT_TRUE(dialog.CreateTop(0, 0, 200, 150));
  RECT client;
  dialog.GetClientRect(&client);
  const int w = client.right + 2 * GetSystemMetrics(SM_CXBORDER) + 4;
  const int h = GetSystemMetrics(SM_CYCAPTION) + client.bottom + 2 * GetSystemMetrics(SM_CYBORDER) + 4;
  RECT area, frame;
  view.GetClientRect(&area);
  view.ClientToScreen(&area);
  view.GetWindowRect(&frame);
  PlaceDialogBesideView(&dialog, &view, true, 2);
  RECT placed;
  dialog.GetWindowRect(&placed);
  EXPECT_EQ(placed.left, area.left);
  EXPECT_EQ(placed.right - placed.left, w);
  EXPECT_EQ(placed.bottom - placed.top, h);
  EXPECT_EQ(placed.top, frame.top + (frame.bottom - frame.top) / 2 - h / 2);
  PlaceDialogBesideView(&dialog, &view, false, 0);  // right edge; divisor 0 counts as 2
  dialog.GetWindowRect(&placed);
  EXPECT_EQ(placed.right, area.right);
  RECT now, inParent;
  dialog.GetClientRect(&now);
  GetChildRectInParent(&view, &dialog, inParent);
  EXPECT_EQ(inParent.right - inParent.left, now.right);
  EXPECT_EQ(inParent.bottom - inParent.top, now.bottom);
  dialog.DestroyWindow();
  view.DestroyWindow();
}
