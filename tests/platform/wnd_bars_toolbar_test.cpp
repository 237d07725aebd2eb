// Toolbars: buttons from the pack, their place in the frame, clicks and
// command updates, hot item, drop-down arrows, hosted controls, the column
// layout, tooltips, and a subclass that paints the whole bar.
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

CRect ItemRect(CToolBar& bar, int i) {
  CRect r;
  bar.GetItemRect(i, &r);
  return r;
}

void Click(HWND hwnd, POINT p) {
  QmSendMouse(hwnd, WM_MOUSEMOVE, p);
  QmSendMouse(hwnd, WM_LBUTTONDOWN, p, MK_LBUTTON);
  QmSendMouse(hwnd, WM_LBUTTONUP, p);
  QmPumpMessages();
}

// The toolbar of the program's main frame: separators hold controls, and a
// vertical layout hides them (they take no room in a column).
class CHostingBar : public CToolBar {
 public:
  BYTE m_orientation = 0;  // 1 vertical, 2 horizontal, while a layout runs
  int m_queries = 0;
  CSize CalcDynamicLayout(int nLength, DWORD nMode) override {
    m_orientation = (nMode & LM_VERTDOCK) ? 1 : 2;
    const CSize size = CToolBar::CalcDynamicLayout(nLength, nMode);
    m_orientation = 0;
    if (nMode & LM_COMMIT) {
      for (int i = 0; i < GetCount(); ++i) {
        UINT id, style;
        int image;
        GetButtonInfo(i, id, style, image);
        CWnd* control = id && (style & TBBS_SEPARATOR) ? GetDlgItem(static_cast<int>(id)) : nullptr;
        if (!control) continue;
        if (nMode & LM_VERTDOCK) {
          control->ShowWindow(SW_HIDE);
        } else {
          CRect r = ItemRect(*this, i);
          r.DeflateRect(1, 1);
          control->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
      }
    }
    return size;
  }
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    const LRESULT r = CToolBar::DefWindowProc(message, wParam, lParam);
    if (message == TB_GETBUTTON && m_orientation && lParam) {
      ++m_queries;
      auto* b = reinterpret_cast<TBBUTTON*>(lParam);
      if ((b->fsStyle & TBSTYLE_SEP) && b->idCommand) {
        if (m_orientation == 1) b->fsState |= TBSTATE_HIDDEN;
        else b->fsState &= static_cast<BYTE>(~TBSTATE_HIDDEN);
      }
    }
    return r;
  }
};

// A bar that paints itself completely.
class CPaintedBar : public CToolBar {
 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, RGB(30, 90, 160));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaintedBar, CToolBar)
  ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

TEST_F(BarsTest, ToolbarFromThePackTakesTheTopOfTheFrame) {
  CBarsFrame* f = app->Frame();
  CToolBar& bar = f->m_toolbar;
  ASSERT_EQ(bar.GetCount(), 7);
  EXPECT_EQ(bar.GetItemID(0), static_cast<UINT>(ID_BAR_OPEN));
  EXPECT_EQ(bar.GetItemID(2), 0u);
  EXPECT_EQ(bar.CommandToIndex(ID_BAR_ZOOM), 6);
  EXPECT_TRUE(bar.GetButtonStyle(2) & TBBS_SEPARATOR);
  // Button size: the pack's 16 x 15 pictures plus 7 x 7; the borders given.
  EXPECT_EQ(bar.m_sizeButton, CSize(23, 22));
  EXPECT_EQ(ItemRect(bar, 0), CRect(1, 3, 24, 25));
  EXPECT_EQ(ItemRect(bar, 1), CRect(24, 3, 47, 25));
  EXPECT_EQ(ItemRect(bar, 2).Width(), 8);  // a separator
  EXPECT_EQ(ItemRect(bar, 3).left, 55);
  // Pictures: one per button, separators excluded.
  UINT id, style;
  int image;
  bar.GetButtonInfo(4, id, style, image);
  EXPECT_EQ(id, static_cast<UINT>(ID_BAR_GRID));
  EXPECT_EQ(image, 3);
  ASSERT_NE(bar.GetToolBarCtrl().GetImageList(), nullptr);
  EXPECT_EQ(bar.GetToolBarCtrl().GetImageList()->GetImageCount(), 5);

  // The frame's layout: the toolbar on top, 3 + 22 + 4 high, the status bar
  // at the bottom.
  CRect client;
  f->GetClientRect(&client);
  const CRect tb = RectIn(bar.m_hWnd, f->m_hWnd);
  EXPECT_EQ(tb, CRect(0, 0, client.Width(), 29));
  const CRect sb = RectIn(f->m_status.m_hWnd, f->m_hWnd);
  EXPECT_EQ(sb.bottom, client.bottom);
  EXPECT_EQ(sb.Width(), client.Width());
  EXPECT_GT(sb.Height(), 15);
  EXPECT_EQ(bar.m_pDockBar, nullptr);

  // Hidden, the bar gives its room back.
  f->ShowControlBar(&bar, FALSE, FALSE);
  f->ShowControlBar(&f->m_status, FALSE, FALSE);
  EXPECT_FALSE(bar.IsVisible());
  f->ShowControlBar(&bar, TRUE, FALSE);
  EXPECT_EQ(RectIn(bar.m_hWnd, f->m_hWnd), tb);
}

TEST_F(BarsTest, ClicksRunCommandsThatTheIdleUpdateLeavesEnabled) {
  CBarsFrame* f = app->Frame();
  CToolBar& bar = f->m_toolbar;
  QmRunIdle();
  // No handler: disabled; an update handler decides; checks show.
  EXPECT_TRUE(bar.GetButtonStyle(1) & TBBS_DISABLED);  // its update handler disables it
  f->m_saveEnabled = TRUE;
  QmRunIdle();
  EXPECT_FALSE(bar.GetButtonStyle(1) & TBBS_DISABLED);
  f->m_saveEnabled = FALSE;
  QmRunIdle();
  EXPECT_TRUE(bar.GetButtonStyle(4) & TBBS_CHECKED);
  EXPECT_FALSE(bar.GetButtonStyle(0) & TBBS_DISABLED);
  f->m_gridChecked = FALSE;
  QmRunIdle();
  EXPECT_FALSE(bar.GetButtonStyle(4) & TBBS_CHECKED);
  EXPECT_TRUE(bar.GetToolBarCtrl().IsButtonEnabled(ID_BAR_ZOOM));

  Click(bar.m_hWnd, ItemRect(bar, 0).CenterPoint());
  Click(bar.m_hWnd, ItemRect(bar, 1).CenterPoint());  // disabled: nothing
  Click(bar.m_hWnd, ItemRect(bar, 6).CenterPoint());
  EXPECT_EQ(Log(), (std::vector<std::string>{"open", "zoom"}));

  // A press that leaves the button before the release runs nothing.
  Log().clear();
  const CPoint p = ItemRect(bar, 3).CenterPoint();
  QmSendMouse(bar.m_hWnd, WM_LBUTTONDOWN, p, MK_LBUTTON);
  EXPECT_TRUE(bar.GetButtonStyle(3) & TBBS_PRESSED);
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, CPoint(400, 10), MK_LBUTTON);
  EXPECT_FALSE(bar.GetButtonStyle(3) & TBBS_PRESSED);
  QmSendMouse(bar.m_hWnd, WM_LBUTTONUP, CPoint(400, 10));
  QmPumpMessages();
  EXPECT_TRUE(Log().empty());
}

TEST_F(BarsTest, HotItemFollowsTheMouse) {
  CToolBar& bar = app->Frame()->m_toolbar;
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  EXPECT_EQ(ctrl.GetHotItem(), -1);
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 3).CenterPoint());
  EXPECT_EQ(ctrl.GetHotItem(), 3);
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 2).CenterPoint());  // a separator
  EXPECT_EQ(ctrl.GetHotItem(), -1);
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 0).CenterPoint());
  EXPECT_EQ(ctrl.GetHotItem(), 0);
  bar.SendMessage(WM_MOUSELEAVE);
  EXPECT_EQ(ctrl.GetHotItem(), -1);
  ctrl.SetHotItem(1);
  EXPECT_EQ(ctrl.GetHotItem(), 1);
}

TEST_F(BarsTest, DropDownArrowNotifiesTheFrame) {
  CBarsFrame* f = app->Frame();
  CToolBar& bar = f->m_toolbar;
  const int plain = ItemRect(bar, 0).Width();
  bar.GetToolBarCtrl().SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
  bar.SetButtonStyle(0, bar.GetButtonStyle(0) | TBBS_DROPDOWN);
  f->RecalcLayout();
  const CRect r = ItemRect(bar, 0);
  EXPECT_EQ(r.Width(), plain + 14);
  EXPECT_EQ(ItemRect(bar, 1).left, r.right);
  // The arrow part notifies; the button part runs the command.
  Click(bar.m_hWnd, CPoint(r.right - 5, r.CenterPoint().y));
  ASSERT_EQ(f->m_dropDowns.size(), 1u);
  EXPECT_EQ(f->m_dropDowns[0].iItem, ID_BAR_OPEN);
  EXPECT_EQ(f->m_dropDowns[0].hdr.idFrom, static_cast<UINT_PTR>(AFX_IDW_TOOLBAR));
  EXPECT_EQ(CRect(f->m_dropDowns[0].rcButton), r);
  Click(bar.m_hWnd, CPoint(r.left + 5, r.CenterPoint().y));
  EXPECT_EQ(Log(), (std::vector<std::string>{"dropdown", "open"}));
  // Without drawn arrows the whole button drops down.
  bar.GetToolBarCtrl().SetExtendedStyle(0);
  f->RecalcLayout();
  Click(bar.m_hWnd, ItemRect(bar, 0).CenterPoint());
  EXPECT_EQ(f->m_dropDowns.size(), 2u);
}

TEST_F(BarsTest, SeparatorHostsAControlAndAColumnHidesIt) {
  CBarsFrame* f = app->Frame();
  CHostingBar bar;
  ASSERT_TRUE(bar.CreateEx(f, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(1, 3, 6, 4),
                           AFX_IDW_CONTROLBAR_FIRST + 9));
  ASSERT_TRUE(bar.LoadToolBar(IDR_BARS));
  // A control over a separator: the separator's width is the control's.
  TBBUTTON sep{};
  sep.iBitmap = 68;
  sep.idCommand = IDC_BAR_COMBO;
  sep.fsStyle = TBSTYLE_SEP;
  sep.dwData = 1;
  ASSERT_TRUE(bar.GetToolBarCtrl().InsertButton(5, &sep));
  CEdit zoom;
  ASSERT_TRUE(zoom.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 68, 20), &bar, IDC_BAR_COMBO));
  const CSize row = bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  EXPECT_EQ(ItemRect(bar, 5).Width(), 68);
  EXPECT_EQ(row.cx, 1 + 5 * 23 + 2 * 8 + 68 + 6);
  EXPECT_EQ(row.cy, 3 + 22 + 4);
  CRect hosted = ItemRect(bar, 5);
  hosted.DeflateRect(1, 1);
  EXPECT_EQ(RectIn(zoom.m_hWnd, bar.m_hWnd), hosted);
  EXPECT_TRUE(zoom.IsWindowVisible());

  // A column: every button on its own row; the control's separator hidden.
  bar.m_queries = 0;
  const CSize column = bar.CalcDynamicLayout(-1, LM_VERTDOCK | LM_COMMIT);
  EXPECT_GE(bar.m_queries, bar.GetCount());
  EXPECT_EQ(column.cx, 1 + 23 + 6);
  EXPECT_EQ(column.cy, 3 + 5 * 22 + 2 * 8 + 4);
  EXPECT_TRUE(bar.GetButtonStyle(5) & TBBS_HIDDEN);
  EXPECT_FALSE(zoom.IsWindowVisible());
  EXPECT_TRUE(bar.GetButtonStyle(0) & TBBS_WRAPPED);
  EXPECT_EQ(ItemRect(bar, 1).left, ItemRect(bar, 0).left);
  EXPECT_EQ(ItemRect(bar, 1).top, ItemRect(bar, 0).bottom);
  EXPECT_EQ(ItemRect(bar, 2).Height(), 8);  // a separator across the column

  // And a row again.
  bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  EXPECT_FALSE(bar.GetButtonStyle(5) & TBBS_HIDDEN);
  EXPECT_FALSE(bar.GetButtonStyle(0) & TBBS_WRAPPED);
  EXPECT_TRUE(zoom.IsWindowVisible());
  EXPECT_EQ(ItemRect(bar, 1).top, ItemRect(bar, 0).top);
  bar.DestroyWindow();
}

TEST_F(BarsTest, TooltipShowsTheTextAfterTheLineBreakOfTheCommandString) {
  CToolBar& bar = app->Frame()->m_toolbar;
  // The first move over the bar makes its tooltip; quick delays for the test.
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 2).CenterPoint());
  CToolTipCtrl* tips = bar.GetToolBarCtrl().GetToolTips();
  ASSERT_NE(tips, nullptr);
  tips->SetDelayTime(TTDT_INITIAL, 30);
  tips->SetDelayTime(TTDT_RESHOW, 30);
  const HWND tip = tips->m_hWnd;
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 3).CenterPoint());
  EXPECT_FALSE(IsWindowVisible(tip));  // not before the delay
  QmWait(120);
  EXPECT_TRUE(IsWindowVisible(tip));
  char text[80] = {};
  GetWindowText(tip, text, 80);
  EXPECT_STREQ(text, "Bead effect");
  // Another button shows its tip; a click hides it; a command string
  // without a line break has no tip.
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 0).CenterPoint());
  QmWait(120);
  EXPECT_TRUE(IsWindowVisible(tip));
  GetWindowText(tip, text, 80);
  EXPECT_STREQ(text, "Open design");
  QmSendMouse(bar.m_hWnd, WM_LBUTTONDOWN, ItemRect(bar, 0).CenterPoint(), MK_LBUTTON);
  EXPECT_FALSE(IsWindowVisible(tip));
  QmSendMouse(bar.m_hWnd, WM_LBUTTONUP, ItemRect(bar, 0).CenterPoint());
  QmPumpMessages();
  QmSendMouse(bar.m_hWnd, WM_MOUSEMOVE, ItemRect(bar, 6).CenterPoint());
  QmWait(120);
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(BarsTest, SubclassPaintsTheWholeBar) {
  CBarsFrame* f = app->Frame();
  CPaintedBar bar;
  ASSERT_TRUE(bar.CreateEx(f, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(1, 3, 6, 4),
                           AFX_IDW_CONTROLBAR_FIRST + 9));
  ASSERT_TRUE(bar.LoadToolBar(IDR_BARS));
  f->RecalcLayout();
  const QImage img = QmRenderWindow(bar.m_hWnd, false);
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(Pixel(img, 5, 5), RGB(30, 90, 160));
  EXPECT_EQ(Pixel(img, img.width() - 2, img.height() - 2), RGB(30, 90, 160));
  bar.DestroyWindow();
}
