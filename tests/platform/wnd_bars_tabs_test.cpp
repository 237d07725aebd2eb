// The tab control (notifications, veto, keys, display area) and tooltips
// (tools, relayed mouse messages, delays, callback texts).
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

constexpr UINT kTabId = 572;
constexpr UINT_PTR kToolId = 5;

// A window holding a tab control and tools: it logs the notifications and
// may keep the current tab.
class CTabHost : public CWnd {
 public:
  CTabCtrl m_tab;
  CButton m_button;
  BOOL m_keep = FALSE;
  std::vector<std::string> m_log;
  BOOL Make(CWnd* parent) {
    if (!CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), nullptr,
                  WS_CHILD | WS_VISIBLE, CRect(10, 40, 410, 260), parent, 77))
      return FALSE;
    if (!m_tab.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 5, 305, 155), this, kTabId)) return FALSE;
    m_tab.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)));
    return m_button.Create("Tip", WS_CHILD | WS_VISIBLE, CRect(320, 10, 390, 34), this, 9);
  }

 protected:
  afx_msg void OnChanging(NMHDR*, LRESULT* pResult) {
    m_log.push_back("changing " + std::to_string(m_tab.GetCurSel()));
    *pResult = m_keep;
  }
  afx_msg void OnChange(NMHDR*, LRESULT* pResult) {
    m_log.push_back("change " + std::to_string(m_tab.GetCurSel()));
    *pResult = 0;
  }
  afx_msg void OnNeedText(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* di = reinterpret_cast<NMTTDISPINFO*>(pNMHDR);
    std::strcpy(di->szText, "Asked for");
    *pResult = 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTabHost, CWnd)
  ON_NOTIFY(TCN_SELCHANGING, kTabId, OnChanging)
  ON_NOTIFY(TCN_SELCHANGE, kTabId, OnChange)
  ON_NOTIFY(TTN_NEEDTEXT, kToolId, OnNeedText)
END_MESSAGE_MAP()

MSG Mouse(HWND hwnd, UINT message, int x, int y) {
  MSG m{};
  m.hwnd = hwnd;
  m.message = message;
  m.lParam = MAKELPARAM(x, y);
  return m;
}

}  // namespace

TEST_F(BarsTest, TabControlAsksTheParentBeforeChangingTheTab) {
  CTabHost host;
  ASSERT_TRUE(host.Make(app->Frame()));
  CTabCtrl& tab = host.m_tab;
  EXPECT_EQ(tab.GetCurSel(), -1);
  tab.InsertItem(0, "Brightness");
  tab.InsertItem(1, "Hue");
  tab.InsertItem(2, "Red, green, blue");
  EXPECT_EQ(tab.GetItemCount(), 3);
  EXPECT_EQ(tab.GetCurSel(), 0);
  CRect r0, r1, r2;
  tab.GetItemRect(0, &r0);
  tab.GetItemRect(1, &r1);
  tab.GetItemRect(2, &r2);
  EXPECT_EQ(r1.left, r0.right);
  EXPECT_GT(r2.Width(), r1.Width());  // wider text, wider tab
  TCHITTESTINFO hit{r1.CenterPoint(), 0};
  EXPECT_EQ(tab.HitTest(&hit), 1);

  // A click: first asked, then told.
  QmSendMouse(tab.m_hWnd, WM_LBUTTONDOWN, r2.CenterPoint(), MK_LBUTTON);
  QmSendMouse(tab.m_hWnd, WM_LBUTTONUP, r2.CenterPoint());
  EXPECT_EQ(tab.GetCurSel(), 2);
  EXPECT_EQ(host.m_log, (std::vector<std::string>{"changing 0", "change 2"}));
  // The parent keeps the tab.
  host.m_log.clear();
  host.m_keep = TRUE;
  QmSendMouse(tab.m_hWnd, WM_LBUTTONDOWN, r0.CenterPoint(), MK_LBUTTON);
  EXPECT_EQ(tab.GetCurSel(), 2);
  EXPECT_EQ(host.m_log, (std::vector<std::string>{"changing 2"}));
  host.m_keep = FALSE;
  // Arrow keys, and SetCurSel without notifications.
  host.m_log.clear();
  tab.SendMessage(WM_KEYDOWN, VK_LEFT);
  EXPECT_EQ(tab.GetCurSel(), 1);
  EXPECT_EQ(tab.SetCurSel(0), 1);
  EXPECT_EQ(host.m_log, (std::vector<std::string>{"changing 2", "change 1"}));

  // The display area and back.
  CRect area(0, 0, 300, 150);
  tab.AdjustRect(FALSE, &area);
  EXPECT_GT(area.top, r0.bottom);
  CRect whole = area;
  tab.AdjustRect(TRUE, &whole);
  EXPECT_EQ(whole, CRect(0, 0, 300, 150));
  // Items: text back, deletion moves the selection.
  char buf[40] = {};
  TCITEM item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = 40;
  EXPECT_TRUE(tab.GetItem(2, &item));
  EXPECT_STREQ(buf, "Red, green, blue");
  tab.SetCurSel(2);
  tab.DeleteItem(0);
  EXPECT_EQ(tab.GetCurSel(), 1);
  EXPECT_EQ(tab.GetItemCount(), 2);
  host.DestroyWindow();
}

TEST_F(BarsTest, TooltipShowsRelayedToolsAndAsksForCallbackTexts) {
  CTabHost host;
  ASSERT_TRUE(host.Make(app->Frame()));
  CToolTipCtrl tips;
  ASSERT_TRUE(tips.Create(&host));
  tips.SetDelayTime(TTDT_INITIAL, 20);
  tips.SetDelayTime(TTDT_RESHOW, 20);
  EXPECT_TRUE(tips.AddTool(&host.m_button, "Resize right window to ideal width"));
  const CRect area(10, 170, 110, 210);
  EXPECT_TRUE(tips.AddTool(&host, LPSTR_TEXTCALLBACK, &area, kToolId));
  EXPECT_EQ(tips.GetToolCount(), 2);
  CString text;
  tips.GetText(text, &host.m_button);
  EXPECT_EQ(text, CString("Resize right window to ideal width"));

  // The button: shown after the delay, hidden by a click.
  MSG m = Mouse(host.m_button.m_hWnd, WM_MOUSEMOVE, 5, 5);
  tips.RelayEvent(&m);
  EXPECT_FALSE(tips.IsWindowVisible());
  QmWait(80);
  ASSERT_TRUE(tips.IsWindowVisible());
  tips.GetWindowText(text);
  EXPECT_EQ(text, CString("Resize right window to ideal width"));
  m = Mouse(host.m_button.m_hWnd, WM_LBUTTONDOWN, 5, 5);
  tips.RelayEvent(&m);
  EXPECT_FALSE(tips.IsWindowVisible());
  // A rectangle of the host asks its text.
  m = Mouse(host.m_hWnd, WM_MOUSEMOVE, 50, 180);
  tips.RelayEvent(&m);
  QmWait(80);
  ASSERT_TRUE(tips.IsWindowVisible());
  tips.GetWindowText(text);
  EXPECT_EQ(text, CString("Asked for"));
  // Outside every tool: hidden; inactive: never shown.
  m = Mouse(host.m_hWnd, WM_MOUSEMOVE, 200, 180);
  tips.RelayEvent(&m);
  EXPECT_FALSE(tips.IsWindowVisible());
  tips.Activate(FALSE);
  m = Mouse(host.m_button.m_hWnd, WM_MOUSEMOVE, 6, 6);
  tips.RelayEvent(&m);
  QmWait(80);
  EXPECT_FALSE(tips.IsWindowVisible());
  tips.Activate(TRUE);
  tips.UpdateTipText("Fit", &host.m_button);
  tips.GetText(text, &host.m_button);
  EXPECT_EQ(text, CString("Fit"));
  tips.DelTool(&host.m_button);
  EXPECT_EQ(tips.GetToolCount(), 1);
  tips.DestroyWindow();
  host.DestroyWindow();
}
