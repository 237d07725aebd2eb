// The test program of the window stand-in (see wnd_fixture.h).
#include <filesystem>
#include <string>

#include "tests/common/test_util.h"
#include "tests/platform/wnd_fixture.h"

namespace fs = std::filesystem;

namespace wndtest {

const UINT g_msgToolDone = RegisterWindowMessage("MsgToolDone");

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

bool Logged(const std::string& what) {
  for (const auto& s : Log())
    if (s == what) return true;
  return false;
}

HINSTANCE Pack(bool russian) { return wndprogram::CompilePack("wnd_data", "wndtest", russian); }

void UseLanguage(bool russian) { WndProgram::UseLanguage(russian); }

// ---------------------------------------------------------------------------

int CTestDoc::s_alive = 0;
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
  ON_COMMAND(ID_CMD_DOC, OnDocCommand)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CTestView, CScrollView)
BEGIN_MESSAGE_MAP(CTestView, CScrollView)
  ON_WM_VSCROLL()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_LBUTTONDOWN()
  ON_COMMAND(ID_CMD_VIEW, OnViewCommand)
  ON_COMMAND(ID_CMD_GO, OnGo)
  ON_COMMAND(ID_CMD_SHARED, OnShared)
END_MESSAGE_MAP()

void CTestView::OnInitialUpdate() {
  CScrollView::OnInitialUpdate();
  SetScrollSizes(MM_TEXT, CSize(900, 1400), CSize(200, 200), CSize(10, 10));
}

void CTestView::OnDraw(CDC* pDC) {
  ++m_paints;
  m_lastOrigin = pDC->GetViewportOrg();
  // A picture of the whole scrolling area: a grid of coloured cells.
  for (int y = 0; y < 1400; y += 50)
    for (int x = 0; x < 900; x += 50) {
      const BYTE r = static_cast<BYTE>(60 + (x * 190) / 900), g = static_cast<BYTE>(80 + (y * 150) / 1400);
      pDC->FillSolidRect(x + 1, y + 1, 48, 48, RGB(r, g, 170));
    }
  pDC->TextOut(12, 12, "View", 4);
}

void CTestView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  CScrollView::OnVScroll(nSBCode, nPos, pScrollBar);
  if (nSBCode == SB_ENDSCROLL) ++m_endScrolls;
}

void CTestView::OnKeyDown(UINT nChar, UINT, UINT) { m_lastKey = nChar; }
void CTestView::OnChar(UINT nChar, UINT, UINT) { m_chars += static_cast<char>(nChar); }
void CTestView::OnLButtonDown(UINT nFlags, CPoint point) {
  m_lastMouseFlags = nFlags;
  m_lastMouse = point;
  CScrollView::OnLButtonDown(nFlags, point);
}

IMPLEMENT_DYNCREATE(CTestForm, CFormView)

void CTestForm::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, IDC_FORM_NAME, m_name);
  DDX_Check(pDX, IDC_FORM_MARK, m_mark);
}

void CTestSplitter::RecalcLayout() {
  CSplitterWnd::RecalcLayout();
  CWnd* view = GetPane(0, 0);
  if (!view || !m_ruler.m_hWnd) return;
  // The view moves down to make room for the ruler above it.
  CRect r;
  view->GetWindowRect(&r);
  ScreenToClient(&r);
  r.top += kRuler;
  view->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  m_ruler.SetWindowPos(nullptr, r.left, r.top - kRuler, r.Width(), kRuler, SWP_NOZORDER | SWP_NOACTIVATE);
}

BEGIN_MESSAGE_MAP(CTestBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

BOOL CTestBar::Create(CWnd* parent) {
  if (!CWnd::CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), nullptr,
                      WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 24), parent, kId))
    return FALSE;
  ::CreateWindowEx(0, "Button", "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 2, 2, 48, 20, m_hWnd,
                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_CMD_GO)), nullptr, nullptr);
  ::CreateWindowEx(0, "Button", "Off", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 52, 2, 48, 20, m_hWnd,
                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_CMD_OFF)), nullptr, nullptr);
  return TRUE;
}

BOOL CTestBar::OnCommand(WPARAM wParam, LPARAM) {
  CFrameWnd* f = GetParentFrame();
  return f && f->SendMessage(WM_COMMAND, LOWORD(wParam), 0);
}

LRESULT CTestBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* p = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  const RECT r = p->rect;
  if (p->hDWP) MoveWindow(r.left, r.top, r.right - r.left, 24);
  p->rect.top += 24;
  p->sizeTotal.cy += 24;
  return 0;
}

LRESULT CTestBar::OnIdleUpdate(WPARAM, LPARAM) {
  if (CFrameWnd* f = GetParentFrame()) UpdateDialogControls(f, TRUE);
  return 0;
}

IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_TIMER()
  ON_REGISTERED_MESSAGE(g_msgToolDone, OnToolDone)
  ON_COMMAND(ID_CMD_FRAME, OnFrameCommand)
  ON_COMMAND(ID_CMD_SHARED, OnShared)
  ON_COMMAND(ID_CMD_OFF, OnOff)
  ON_UPDATE_COMMAND_UI(ID_CMD_OFF, OnUpdateOff)
  ON_UPDATE_COMMAND_UI(ID_CMD_GO, OnUpdateGo)
END_MESSAGE_MAP()

int CTestFrame::OnCreate(LPCREATESTRUCT lpcs) {
  if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
  if (!m_bar.Create(this)) return -1;
  SetTimer(7, 20);
  RecalcLayout();
  return 0;
}

BOOL CTestFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (!m_split.CreateStatic(this, 1, 2)) return FALSE;
  if (!m_split.CreateView(0, 0, RUNTIME_CLASS(CTestView), CSize(420, 300), pContext) ||
      !m_split.CreateView(0, 1, RUNTIME_CLASS(CTestForm), CSize(200, 300), pContext)) {
    m_split.DestroyWindow();
    return FALSE;
  }
  m_split.m_ruler.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1)), nullptr,
                           WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 10, 10), &m_split, 1);
  return TRUE;
}

void CTestFrame::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == 7) ++m_ticks;
  else CFrameWnd::OnTimer(nIDEvent);
}

LRESULT CTestFrame::OnToolDone(WPARAM wParam, LPARAM) {
  m_toolMessages.push_back(wParam);
  Log().push_back("registered");
  return 1;
}

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(ID_CMD_APP, OnAppCommand)
  ON_COMMAND(ID_CMD_SHARED, OnShared)
END_MESSAGE_MAP()

BOOL CTestApp::InitInstance() {
  AddDocTemplate(new CSingleDocTemplate(IDR_TESTFRAME, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                        RUNTIME_CLASS(CTestView)));
  CCommandLineInfo info;
  if (!ProcessShellCommand(info)) return FALSE;
  if (!m_pMainWnd) return FALSE;
  m_pMainWnd->MoveWindow(40, 30, 760, 520);
  m_pMainWnd->ShowWindow(SW_SHOW);
  m_pMainWnd->UpdateWindow();
  return TRUE;
}

CTestView* CTestApp::View() const {
  CWnd* p = Frame() ? Frame()->m_split.GetPane(0, 0) : nullptr;
  return dynamic_cast<CTestView*>(p);
}

CTestForm* CTestApp::Form() const {
  CWnd* p = Frame() ? Frame()->m_split.GetPane(0, 1) : nullptr;
  return dynamic_cast<CTestForm*>(p);
}

void CDataDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_DATA_INT, m_int);
  DDV_MinMaxInt(pDX, m_int, -100, 100);
  DDX_Text(pDX, IDC_DATA_UINT, m_uint);
  DDX_Text(pDX, IDC_DATA_FLOAT, m_float);
  DDX_Text(pDX, IDC_DATA_DOUBLE, m_double);
  DDX_Text(pDX, IDC_DATA_TEXT, m_text);
  DDX_Check(pDX, IDC_DATA_CHECK, m_check);
  DDX_Radio(pDX, IDC_DATA_RADIO1, m_radio);
}

int CToolDlg::s_deleted = 0;

BEGIN_MESSAGE_MAP(CToolDlg, CDialog)
  ON_BN_CLICKED(IDC_TOOL_SEND, OnSend)
END_MESSAGE_MAP()

void CToolDlg::OnSend() {
  Log().push_back("send-begin");
  if (CWnd* owner = GetOwner()) owner->PostMessage(g_msgToolDone, 7, 0);
  Log().push_back("send-end");
}

void CToolDlg::PostNcDestroy() {
  if (m_slot) *m_slot = nullptr;
  delete this;
}

// ---------------------------------------------------------------------------

void WndProgram::SetUp() {
  Log().clear();
  ProgramTest::SetUp();
}

CRect ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  POINT tl{r.left, r.top};
  ScreenToClient(GetParent(child), &tl);
  return CRect(tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top));
}

QImage Picture(HWND hwnd) { return QmRenderWindow(hwnd, false); }

}  // namespace wndtest
