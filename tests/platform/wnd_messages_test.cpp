// Windows and messages: message maps with cracked parameters, registered
// and posted messages, timers, input from Qt, focus and capture, the
// window tree and its destruction, geometry, texts, the system menu.
#include <QWidget>

#include "tests/platform/wnd_fixture.h"

using namespace wndtest;

namespace {

const UINT g_msgProbe = RegisterWindowMessage("MsgProbeChanged");

class CProbe : public CWnd {
 public:
  std::vector<std::string> log;
  int cx = -1, cy = -1;
  UINT flags = 0;
  CPoint pt;
  UINT key = 0;
  std::string chars;
  int ticks = 0;
  HWND focusFrom = nullptr;
  HWND killTo = reinterpret_cast<HWND>(1);
  HWND captureTo = reinterpret_cast<HWND>(1);
  bool deleteOnDestroy = false;
  int* deleted = nullptr;
  ~CProbe() override {
    if (deleted) ++*deleted;
  }

  BOOL CreateTop(LPCTSTR title, int x, int y, int w, int h) {
    return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), title,
                    WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr);
  }
  BOOL CreateChild(CWnd* parent, const RECT& r, UINT id, DWORD style = 0, DWORD ex = 0) {
    return CreateEx(ex, AfxRegisterWndClass(CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
                    nullptr, WS_CHILD | WS_VISIBLE | style, r, parent, id);
  }
  void PostNcDestroy() override {
    log.push_back("post-nc-destroy");
    if (deleteOnDestroy) delete this;
  }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    log.push_back("create");
    return CWnd::OnCreate(cs);
  }
  afx_msg void OnDestroy() {
    log.push_back("destroy");
    CWnd::OnDestroy();
  }
  afx_msg void OnSize(UINT, int x, int y) {
    cx = x;
    cy = y;
  }
  afx_msg void OnLButtonDown(UINT f, CPoint p) {
    flags = f;
    pt = p;
    log.push_back("ldown");
  }
  afx_msg void OnLButtonDblClk(UINT f, CPoint p) {
    flags = f;
    pt = p;
    log.push_back("ldbl");
  }
  afx_msg void OnMouseMove(UINT f, CPoint p) {
    flags = f;
    pt = p;
    log.push_back("move");
  }
  afx_msg void OnKeyDown(UINT c, UINT, UINT) { key = c; }
  afx_msg void OnChar(UINT c, UINT, UINT) { chars += static_cast<char>(c); }
  afx_msg void OnTimer(UINT_PTR id) {
    if (++ticks == 3) KillTimer(id);
  }
  afx_msg void OnSetFocus(CWnd* old) { focusFrom = QmHwnd(old); }
  afx_msg void OnKillFocus(CWnd* to) { killTo = QmHwnd(to); }
  afx_msg void OnCaptureChanged(CWnd* to) { captureTo = QmHwnd(to); }
  afx_msg LRESULT OnProbe(WPARAM w, LPARAM) {
    log.push_back("probe " + std::to_string(w));
    return 99;
  }
  afx_msg LRESULT OnUser(WPARAM, LPARAM) {
    log.push_back("user");
    PostMessage(WM_USER + 2);
    log.push_back("user-end");
    return 5;
  }
  afx_msg LRESULT OnUser2(WPARAM, LPARAM) {
    log.push_back("user2");
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbe, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_TIMER()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_CAPTURECHANGED()
  ON_REGISTERED_MESSAGE(g_msgProbe, OnProbe)
  ON_MESSAGE(WM_USER + 1, OnUser)
  ON_MESSAGE(WM_USER + 2, OnUser2)
END_MESSAGE_MAP()

class WndMessages : public ::testing::Test {
 protected:
  void SetUp() override { UseLanguage(false); }
  void TearDown() override {
    QmPumpMessages();
    UseLanguage(false);
  }
};

}  // namespace

TEST_F(WndMessages, RegisteredMessagesHaveOneStableNumberPerName) {
  const UINT a = RegisterWindowMessage("MsgPatternChanged");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("MsgPatternChanged"), a);
  EXPECT_EQ(RegisterWindowMessage("msgpatternchanged"), a);  // names ignore case
  EXPECT_NE(RegisterWindowMessage("MsgTabViewSizeChanged"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
  // Registered during static initialisation, before any window existed.
  EXPECT_EQ(RegisterWindowMessage("MsgProbeChanged"), g_msgProbe);
}

TEST_F(WndMessages, MapsCallHandlersWithTheirParameters) {
  CProbe w;
  ASSERT_TRUE(w.CreateTop("Probe", 20, 20, 320, 240));
  ASSERT_EQ(w.log.front(), "create");
  CRect client;
  w.GetClientRect(&client);
  EXPECT_EQ(w.cx, client.Width());
  EXPECT_EQ(w.cy, client.Height());
  w.ShowWindow(SW_SHOW);

  EXPECT_EQ(w.SendMessage(g_msgProbe, 12, 0), 99);
  EXPECT_EQ(w.log.back(), "probe 12");

  QmSendMouse(w, WM_LBUTTONDOWN, POINT{30, 40}, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(w.log.back(), "ldown");
  EXPECT_EQ(w.flags, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(w.pt, CPoint(30, 40));
  QmSendMouse(w, WM_LBUTTONUP, POINT{30, 40}, 0);
  QmSendMouse(w, WM_LBUTTONDBLCLK, POINT{31, 41}, MK_LBUTTON);
  EXPECT_EQ(w.log.back(), "ldbl");  // the class asks for double clicks
  QmSendMouse(w, WM_MOUSEMOVE, POINT{5, 6}, MK_CONTROL);
  EXPECT_EQ(w.flags, MK_CONTROL);
  EXPECT_EQ(w.pt, CPoint(5, 6));

  QmSendKey(w, 'A', "a");
  EXPECT_EQ(w.key, static_cast<UINT>('A'));
  EXPECT_EQ(w.chars, "a");
  QmSendKey(w, VK_F5);
  EXPECT_EQ(w.key, VK_F5);
  EXPECT_EQ(w.chars, "a");  // no character for a function key

  // Characters arrive in the interface code page.
  UseLanguage(true);
  w.chars.clear();
  QmSendText(w, Utf8ToCodePage("жЯ", 1251).c_str());
  EXPECT_EQ(w.chars, "\xE6\xDF");
  w.DestroyWindow();
}

TEST_F(WndMessages, PostedMessagesArriveAfterTheCurrentOne) {
  CProbe w;
  ASSERT_TRUE(w.CreateTop("Probe", 20, 20, 200, 100));
  EXPECT_EQ(w.SendMessage(WM_USER + 1), 5);
  EXPECT_EQ(w.log.back(), "user-end");  // posted, not yet handled
  QmPumpMessages();
  EXPECT_EQ(w.log.back(), "user2");
  // A message posted to a window that is gone is dropped.
  w.PostMessage(WM_USER + 2);
  w.DestroyWindow();
  QmPumpMessages();
  EXPECT_EQ(std::count(w.log.begin(), w.log.end(), "user2"), 1);
  EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(0x4), WM_USER, 0, 0));
}

TEST_F(WndMessages, TimersFireUntilKilled) {
  CProbe w;
  ASSERT_TRUE(w.CreateTop("Probe", 20, 20, 200, 100));
  ASSERT_EQ(w.SetTimer(3, 10), 3u);
  for (int i = 0; i < 40 && w.ticks < 3; ++i) QmWait(15);
  EXPECT_EQ(w.ticks, 3);
  QmWait(60);
  EXPECT_EQ(w.ticks, 3);  // the handler killed it at the third tick
  EXPECT_FALSE(w.KillTimer(3));
  w.DestroyWindow();
}

TEST_F(WndMessages, DestructionReachesChildrenAndSelfDeletingObjects) {
  CProbe parent;
  ASSERT_TRUE(parent.CreateTop("Parent", 20, 20, 300, 200));
  int deleted = 0;
  auto* child = new CProbe;
  child->deleteOnDestroy = true;
  child->deleted = &deleted;
  ASSERT_TRUE(child->CreateChild(&parent, CRect(10, 20, 110, 70), 5));
  const HWND ch = child->m_hWnd;
  EXPECT_EQ(GetDlgItem(parent, 5), ch);
  EXPECT_EQ(GetDlgCtrlID(ch), 5);
  EXPECT_EQ(CWnd::FromHandle(ch), child);
  EXPECT_EQ(child->GetParent(), &parent);
  // A window without an object gets a temporary one.
  HWND raw = CreateWindowEx(0, "Static", "raw", WS_CHILD, 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(6), nullptr, nullptr);
  ASSERT_NE(raw, nullptr);
  EXPECT_NE(CWnd::FromHandle(raw), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);

  parent.DestroyWindow();
  EXPECT_FALSE(IsWindow(ch));
  EXPECT_FALSE(IsWindow(raw));
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(parent.m_hWnd, nullptr);
  const std::vector<std::string> tail(parent.log.end() - 2, parent.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"destroy", "post-nc-destroy"}));
}

TEST_F(WndMessages, GeometryOfChildrenAndTopLevelWindows) {
  CProbe top;
  ASSERT_TRUE(top.CreateTop("Top", 100, 80, 400, 300));
  RECT wr, cr;
  top.GetWindowRect(&wr);
  top.GetClientRect(&cr);
  EXPECT_EQ(wr.left, 100);
  EXPECT_EQ(wr.top, 80);
  EXPECT_EQ(wr.right - wr.left, 400);
  // The frame around the client area has the Windows metrics.
  const int frame = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(cr.right, 400 - 2 * frame);
  EXPECT_EQ(cr.bottom, 300 - 2 * frame - caption);
  RECT adj{0, 0, cr.right, cr.bottom};
  AdjustWindowRectEx(&adj, top.GetStyle(), FALSE, top.GetExStyle());
  EXPECT_EQ(adj.right - adj.left, 400);
  EXPECT_EQ(adj.bottom - adj.top, 300);

  CProbe child;
  ASSERT_TRUE(child.CreateChild(&top, CRect(10, 20, 110, 70), 1, 0, WS_EX_CLIENTEDGE));
  const CRect r = ChildRect(child);
  EXPECT_EQ(r, CRect(10, 20, 110, 70));
  child.GetClientRect(&cr);
  EXPECT_EQ(cr.right, 100 - 4);  // the sunken edge takes two pixels a side
  POINT p{0, 0};
  child.MapWindowPoints(&top, &p, 1);
  EXPECT_EQ(p.x, 12);
  EXPECT_EQ(p.y, 22);
  POINT s{0, 0};
  child.ClientToScreen(&s);
  POINT back = s;
  top.ScreenToClient(&back);
  EXPECT_EQ(back.x, 12);

  child.MoveWindow(30, 40, 50, 60);
  EXPECT_EQ(ChildRect(child), CRect(30, 40, 80, 100));
  EXPECT_EQ(child.cx, 50 - 4);
  child.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_FALSE(child.IsWindowVisible());
  top.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(top.GetExStyle() & WS_EX_TOPMOST);
  top.DestroyWindow();
}

TEST_F(WndMessages, TextsKeepTheirCodePageBytes) {
  UseLanguage(true);
  CProbe top;
  ASSERT_TRUE(top.CreateTop("", 20, 20, 200, 100));
  const std::string title = Utf8ToCodePage("Проба окна", 1251);
  top.SetWindowText(title.c_str());
  CString got;
  top.GetWindowText(got);
  EXPECT_EQ(got.str(), title);
  EXPECT_EQ(QmWidgetOf(top)->windowTitle(), QString::fromUtf8("Проба окна"));
  HWND edit = CreateWindowEx(0, "Edit", title.c_str(), WS_CHILD | WS_VISIBLE, 5, 5, 100, 20, top,
                             reinterpret_cast<HMENU>(9), nullptr, nullptr);
  char buf[64];
  EXPECT_EQ(GetWindowText(edit, buf, sizeof buf), static_cast<int>(title.size()));
  EXPECT_EQ(std::string(buf), title);
  EXPECT_EQ(GetWindowText(edit, buf, 4), 3);  // cut to the buffer
  top.DestroyWindow();
}

TEST_F(WndMessages, FocusCaptureAndDisabledWindows) {
  CProbe top;
  ASSERT_TRUE(top.CreateTop("Top", 20, 20, 300, 200));
  top.ShowWindow(SW_SHOW);
  CProbe a, b;
  ASSERT_TRUE(a.CreateChild(&top, CRect(0, 0, 100, 100), 1));
  ASSERT_TRUE(b.CreateChild(&top, CRect(150, 0, 250, 100), 2));
  a.SetFocus();
  EXPECT_EQ(GetFocus(), a.m_hWnd);
  b.SetFocus();
  EXPECT_EQ(a.killTo, b.m_hWnd);
  EXPECT_EQ(b.focusFrom, a.m_hWnd);

  // With the capture, the mouse over b goes to a, in a's coordinates.
  a.SetCapture();
  a.log.clear();
  QmSendMouse(b, WM_MOUSEMOVE, POINT{10, 10}, 0);
  ASSERT_FALSE(a.log.empty());
  EXPECT_EQ(a.log.back(), "move");
  EXPECT_EQ(a.pt, CPoint(160, 10));
  ReleaseCapture();
  EXPECT_EQ(a.captureTo, nullptr);

  // A disabled window gets no input.
  b.EnableWindow(FALSE);
  b.log.clear();
  QmSendMouse(b, WM_LBUTTONDOWN, POINT{10, 10}, MK_LBUTTON);
  EXPECT_TRUE(b.log.empty());
  b.EnableWindow(TRUE);
  QmSendMouse(b, WM_LBUTTONDOWN, POINT{10, 10}, MK_LBUTTON);
  EXPECT_EQ(b.log.back(), "ldown");
  top.DestroyWindow();
}

TEST_F(WndMessages, SystemMenuWithGreyedCloseKeepsTheWindow) {
  CProbe top;
  ASSERT_TRUE(top.CreateTop("Top", 20, 20, 300, 200));
  CMenu* sys = top.GetSystemMenu(FALSE);
  ASSERT_NE(sys, nullptr);
  EXPECT_EQ(sys->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_FALSE(IsSysCloseEnabled(top));
  EXPECT_FALSE(QmWidgetOf(top)->windowFlags() & Qt::WindowCloseButtonHint);
  top.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  QmWidgetOf(top)->close();  // the window manager's close box
  QmPumpMessages();
  ASSERT_TRUE(IsWindow(top));
  sys->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  top.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_FALSE(IsWindow(top.m_hWnd));
}

namespace {

// A control that handles one notification itself and paints itself red.
class CSelfButton : public CButton {
 public:
  int reflected = 0;
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dis->hDC, &dis->rcItem, red);
    DeleteObject(red);
  }

 protected:
  afx_msg void OnCustomDraw(NMHDR*, LRESULT* result) {
    ++reflected;
    *result = 5;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfButton, CButton)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

class CHolder : public CProbe {
 public:
  int clicks = 0;
  int changes = 0;
  UINT lastNotifyId = 0;

 protected:
  afx_msg void OnClick(NMHDR* nm, LRESULT* result) {
    lastNotifyId = static_cast<UINT>(nm->idFrom);
    *result = 3;
  }
  afx_msg void OnButton() { ++clicks; }
  afx_msg void OnEditChange() { ++changes; }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->GetDlgCtrlID() == 30) {
      pDC->SetTextColor(RGB(0, 0, 200));
      return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    return CProbe::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHolder, CProbe)
  ON_NOTIFY(NM_CLICK, 10, OnClick)
  ON_BN_CLICKED(11, OnButton)
  ON_EN_CHANGE(12, OnEditChange)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace

TEST_F(WndMessages, NotificationsReachTheParentOrReflectToTheControl) {
  CHolder top;
  ASSERT_TRUE(top.CreateTop("Holder", 20, 20, 300, 200));
  top.ShowWindow(SW_SHOW);
  CSelfButton self;
  ASSERT_TRUE(self.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 45, 25), &top, 10));
  NMHDR nm{self.m_hWnd, 10, NM_CLICK};
  EXPECT_EQ(top.SendMessage(WM_NOTIFY, 10, reinterpret_cast<LPARAM>(&nm)), 3);
  EXPECT_EQ(top.lastNotifyId, 10u);
  nm.code = NM_CUSTOMDRAW;
  EXPECT_EQ(top.SendMessage(WM_NOTIFY, 10, reinterpret_cast<LPARAM>(&nm)), 5);
  EXPECT_EQ(self.reflected, 1);

  // Control notifications through WM_COMMAND.
  HWND button = CreateWindowEx(0, "Button", "Go", WS_CHILD | WS_VISIBLE, 50, 5, 60, 20, top, reinterpret_cast<HMENU>(11), nullptr, nullptr);
  QmClickButton(button);
  EXPECT_EQ(top.clicks, 1);
  HWND edit = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE, 50, 30, 60, 20, top, reinterpret_cast<HMENU>(12), nullptr, nullptr);
  SetWindowText(edit, "12");
  EXPECT_EQ(top.changes, 1);

  // The owner-drawn button paints itself through the reflected WM_DRAWITEM;
  // a label takes the colours its parent chooses.
  HWND label = CreateWindowEx(0, "Static", "Blue", WS_CHILD | WS_VISIBLE, 5, 60, 80, 20, top, reinterpret_cast<HMENU>(30), nullptr, nullptr);
  const QImage img = Picture(top);
  const QColor c = img.pixelColor(ChildRect(self).CenterPoint().x, ChildRect(self).CenterPoint().y);
  EXPECT_EQ(c, QColor(255, 0, 0));
  const CRect lr = ChildRect(label);
  EXPECT_EQ(img.pixelColor(lr.right - 2, lr.bottom - 2), QColor(255, 255, 255));

  // An edit that can only be read shows the dialog's face, as Windows draws
  // it (it asks as a static text does); made writable it is white again.
  HWND locked = CreateWindowEx(WS_EX_CLIENTEDGE, "Edit", "7", WS_CHILD | WS_VISIBLE | ES_READONLY, 120, 30, 60, 20, top,
                               reinterpret_cast<HMENU>(13), nullptr, nullptr);
  const CRect er = ChildRect(edit), kr = ChildRect(locked);
  const QImage lockedImg = Picture(top);
  EXPECT_EQ(lockedImg.pixelColor(kr.right - 5, kr.bottom - 5), QColor(212, 208, 200));
  EXPECT_EQ(lockedImg.pixelColor(er.right - 5, er.bottom - 5), QColor(255, 255, 255));
  SendMessage(locked, EM_SETREADONLY, FALSE, 0);
  EXPECT_EQ(Picture(top).pixelColor(kr.right - 5, kr.bottom - 5), QColor(255, 255, 255));
  top.DestroyWindow();
}
