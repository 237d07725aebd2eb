// The window stand-in's test program: an application whose single-document
// template makes a frame with a splitter (a scrolling view and a form view),
// a bar updated when idle, a data dialog and a self-deleting tool window, on
// a resource pack compiled from tests/platform/wnd_data.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "tests/platform/wnd_data/ids/wndtest.h"
#include "tests/platform/wnd_test_program.h"

// Readable failures for the geometry classes.
inline void PrintTo(const CRect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
inline void PrintTo(const CPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
inline void PrintTo(const CSize& s, std::ostream* os) { *os << s.cx << "x" << s.cy; }

namespace wndtest {

// The test pack of a language, compiled once per run (null on failure).
HINSTANCE Pack(bool russian);
// The interface of a language: its code page and its pack.
void UseLanguage(bool russian);

// What the program's handlers did, in order.
std::vector<std::string>& Log();
bool Logged(const std::string& what);

extern const UINT g_msgToolDone;

class CTestDoc : public CDocument {
  DECLARE_DYNCREATE(CTestDoc)
 public:
  CTestDoc() { ++s_alive; }
  ~CTestDoc() override { --s_alive; }
  static int s_alive;

 protected:
  afx_msg void OnDocCommand() { Log().push_back("doc"); }
  DECLARE_MESSAGE_MAP()
};

class CTestView : public CScrollView {
  DECLARE_DYNCREATE(CTestView)
 public:
  CTestView() = default;
  void OnDraw(CDC* pDC) override;
  void OnInitialUpdate() override;
  int m_endScrolls = 0;
  int m_paints = 0;
  CPoint m_lastOrigin;
  UINT m_lastKey = 0;
  std::string m_chars;
  UINT m_lastMouseFlags = 0;
  CPoint m_lastMouse;
  using CScrollView::m_totalDev;

 protected:
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnViewCommand() { Log().push_back("view"); }
  afx_msg void OnGo() { Log().push_back("go"); }
  afx_msg void OnShared() { Log().push_back("shared-view"); }
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

class CTestForm : public CFormView {
  DECLARE_DYNCREATE(CTestForm)
 public:
  CTestForm() : CFormView(IDD_FORM) {}
  void DoDataExchange(CDataExchange* pDX) override;
  CString m_name = "Rose";
  int m_mark = 1;
};

// A child of the splitter that is not a pane (as the rulers beside the
// design view are), placed by the splitter's layout override.
class CTestSplitter : public CSplitterWnd {
 public:
  void RecalcLayout() override;
  CWnd m_ruler;
  static constexpr int kRuler = 16;
};

// A bar: takes the top of the frame and updates its buttons when idle.
class CTestBar : public CWnd {
 public:
  BOOL Create(CWnd* parent);
  static constexpr UINT kId = AFX_IDW_CONTROLBAR_FIRST + 5;

 protected:
  // The buttons' commands go to the frame, as a tool bar's do.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  afx_msg LRESULT OnSizeParent(WPARAM, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdate(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

class CToolDlg;

class CTestFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CTestFrame)
 public:
  CTestFrame() = default;
  CTestSplitter m_split;
  CTestBar m_bar;
  int m_ticks = 0;
  BOOL m_offDisabled = TRUE;
  CToolDlg* m_pTool = nullptr;
  std::vector<WPARAM> m_toolMessages;

 protected:
  BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg LRESULT OnToolDone(WPARAM wParam, LPARAM lParam);
  afx_msg void OnFrameCommand() { Log().push_back("frame"); }
  afx_msg void OnShared() { Log().push_back("shared-frame"); }
  afx_msg void OnOff() { Log().push_back("off"); }
  afx_msg void OnUpdateOff(CCmdUI* pCmdUI) { pCmdUI->Enable(!m_offDisabled); }
  afx_msg void OnUpdateGo(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  DECLARE_MESSAGE_MAP()
};

class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("Window Test") {}
  BOOL InitInstance() override;
  CTestFrame* Frame() const { return static_cast<CTestFrame*>(m_pMainWnd); }
  CTestView* View() const;
  CTestForm* Form() const;

 protected:
  afx_msg void OnAppCommand() { Log().push_back("app"); }
  afx_msg void OnShared() { Log().push_back("shared-app"); }
  DECLARE_MESSAGE_MAP()
};

class CDataDlg : public CDialog {
 public:
  explicit CDataDlg(CWnd* parent = nullptr) : CDialog(IDD_DATA, parent) {}
  void DoDataExchange(CDataExchange* pDX) override;
  int m_int = 42;
  UINT m_uint = 7;
  float m_float = 2.5f;
  double m_double = 0.125;
  CString m_text = "beads";
  int m_check = 1;
  int m_radio = 1;
};

class CToolDlg : public CDialog {
 public:
  CToolDlg(CToolDlg** slot, CWnd* owner) : CDialog(IDD_TOOL, owner), m_slot(slot) {}
  ~CToolDlg() override { ++s_deleted; }
  void PostNcDestroy() override;
  void OnCancel() override { DestroyWindow(); }
  static int s_deleted;

 protected:
  afx_msg void OnSend();
  DECLARE_MESSAGE_MAP()
  CToolDlg** m_slot;
};

// Each test runs the test program in English unless it says otherwise, and
// closes it at the end.
class WndProgram : public wndprogram::ProgramTest<CTestApp, Pack> {
  friend void UseLanguage(bool russian);

 protected:
  void SetUp() override;
};

// A window's client area in its parent's client coordinates.
CRect ChildRect(HWND child);
// The window's picture without frame.
QImage Picture(HWND hwnd);

}  // namespace wndtest
