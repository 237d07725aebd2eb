// CWnd: the window object, its window procedure and message-map dispatch,
// command handling and reflection, and its wrappers of the window calls.
#include <QEventLoop>
#include <QGuiApplication>

#include <cstring>

#include "platform/gdi/afxgdi.h"
#include "platform/wnd/app.h"
#include "platform/wnd/commctrl_classes.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/controls.h"
#include "platform/wnd/dialog.h"
#include "platform/wnd/docview.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

using namespace qmwnd;

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_WM_CTLCOLOR()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
END_MESSAGE_MAP()

CWnd::CWnd() = default;

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::~CWnd() {
  if (m_hWnd && Find(m_hWnd)) {
    Window* w = Find(m_hWnd);
    if (w && w->perm == this) {
      // A window outliving its object: destroy it, without this object.
      const HWND h = m_hWnd;
      w->perm = nullptr;
      m_hWnd = nullptr;
      ::DestroyWindow(h);
    }
  }
  m_hWnd = nullptr;
}

// ---------------------------------------------------------------------------
// Handles and objects.

CWnd* CWnd::FromHandle(HWND hWnd) {
  Window* w = Find(hWnd);
  if (!w) return nullptr;
  if (w->perm) return w->perm;
  if (!w->temp) {
    // The framework's object for the handle: a control class where it has one.
    CWnd* t = nullptr;
    const std::string& cls = w->cls->name;
    if (cls == "Button") t = new CButton;
    else if (cls == "Static") t = new CStatic;
    else if (cls == "Edit") t = new CEdit;
    else if (cls == "ComboBox") t = new CComboBox;
    else if (cls == "ListBox") t = new CListBox;
    else if (cls == "ScrollBar") t = new CScrollBar;
    else if (CWnd* common = QmMakeCommonControlObject(cls.c_str())) t = common;
    else t = new CWnd;
    t->m_hWnd = hWnd;
    w->temp.reset(t);
  }
  return w->temp.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  Window* w = Find(hWnd);
  return w ? w->perm : nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
  Window* w = Find(hWnd);
  if (!w || m_hWnd || w->perm) return FALSE;
  m_hWnd = hWnd;
  w->perm = this;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (Window* w = Find(h); w && w->perm == this) w->perm = nullptr;
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  HWND h = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

// ---------------------------------------------------------------------------
// Creation and destruction.

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WND;
  return TRUE;
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT) {
  ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, GetExStyle());
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, QmHwnd(pParentWnd), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                  pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, QmHwnd(pParentWnd), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                  lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;
  CREATESTRUCT cs{};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = static_cast<LONG>(dwStyle);
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  g_wndInit = this;
  HWND h = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx,
                            cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  g_wndInit = nullptr;
  return h != nullptr;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

// ---------------------------------------------------------------------------
// Messages.

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
  Window* w = Find(m_hWnd);
  if (!w) return;
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    Window* cw = Find(c);
    if (!cw) continue;
    if (bOnlyPerm) {
      if (cw->perm) cw->perm->SendMessage(message, wParam, lParam);
    } else {
      ::SendMessage(c, message, wParam, lParam);
    }
    if (bDeep && Find(c)) {
      CWnd* child = FromHandle(c);
      if (child) child->SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
    }
  }
}

const MSG* CWnd::GetCurrentMessage() { return CurrentMessage(); }

LRESULT CWnd::Default() {
  const MSG* m = CurrentMessage();
  return DefWindowProc(m->message, m->wParam, m->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(m_hWnd);
  if (!w) return 0;
  if (WNDPROC p = w->ClassProc(); p && p != ::DefWindowProc) return p(m_hWnd, message, wParam, lParam);
  return DefProc(*w, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT r = 0;
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      if (pResult) *pResult = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (nm && nm->hwndFrom && OnNotify(wParam, lParam, &r)) {
      if (pResult) *pResult = r;
      return TRUE;
    }
    return FALSE;
  }
  UINT lookup = message;
  UINT ctlType = 0;
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
    lookup = WM_CTLCOLOR;
    ctlType = message - WM_CTLCOLORMSGBOX;
  }
  const AFX_MSGMAP_ENTRY* e = QmFindMessageEntry(GetMessageMap(), lookup, 0, 0);
  if (!e) return FALSE;
  QmMsgCall call;
  call.message = message;
  call.wParam = wParam;
  call.lParam = lParam;
  call.id = ctlType;
  const BOOL handled = e->pfn(this, call);
  if (pResult) *pResult = call.result;
  return handled;
}

namespace {

// The state of a command that is only being tested (enabled or not).
class CTestCmdUI : public CCmdUI {
 public:
  BOOL m_bEnabled = TRUE;
  void Enable(BOOL bOn) override {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCTSTR) override {}
};

}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT nID = LOWORD(wParam);
  const HWND hCtl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (!hCtl) {
    // A menu item or accelerator: a disabled command does not run.
    if (nCode == 0 || nCode == 1) nCode = CN_COMMAND;
    CTestCmdUI state;
    state.m_nID = nID;
    OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
    if (!state.m_bEnabled) return TRUE;
  } else {
    if (ReflectLastMsg(hCtl)) return TRUE;
    if (nID == 0) return FALSE;
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
  const HWND hCtl = nm->hwndFrom;
  const UINT nID = static_cast<UINT>(nm->idFrom);
  if (ReflectLastMsg(hCtl, pResult)) return TRUE;
  AFX_NOTIFY notify{pResult, nm};
  return OnCmdMsg(nID, static_cast<int>(MAKELONG(static_cast<WORD>(nm->code), WM_NOTIFY)), &notify, nullptr);
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* child = FromHandlePermanent(hWndChild);
  if (!child) return FALSE;
  const MSG* m = CurrentMessage();
  return child->OnChildNotify(m->message, m->wParam, m->lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const AFX_MSGMAP* map = GetMessageMap();
  switch (message) {
    case WM_COMMAND: {
      const AFX_MSGMAP_ENTRY* e = QmFindMessageEntry(map, WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
      if (!e) return FALSE;
      QmMsgCall call;
      call.message = WM_REFLECT_BASE + WM_COMMAND;
      call.wParam = wParam;
      call.lParam = lParam;
      return e->pfn(this, call);
    }
    case WM_NOTIFY: {
      NMHDR* nm = reinterpret_cast<NMHDR*>(lParam);
      const AFX_MSGMAP_ENTRY* e = QmFindMessageEntry(map, WM_REFLECT_BASE + WM_NOTIFY, nm->code, 0);
      if (!e) return FALSE;
      LRESULT dummy = 0;
      AFX_NOTIFY notify{pResult ? pResult : &dummy, nm};
      QmMsgCall call;
      call.message = WM_REFLECT_BASE + WM_NOTIFY;
      call.wParam = wParam;
      call.lParam = lParam;
      call.extra = &notify;
      return e->pfn(this, call);
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      const AFX_MSGMAP_ENTRY* e = QmFindMessageEntry(map, WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
      if (!e) return FALSE;
      QmMsgCall call;
      call.message = WM_REFLECT_BASE + WM_CTLCOLOR;
      call.wParam = wParam;
      call.lParam = lParam;
      call.id = message - WM_CTLCOLORMSGBOX;
      if (!e->pfn(this, call) || call.result == 0) return FALSE;  // a null brush lets the parent decide
      if (pResult) *pResult = call.result;
      return TRUE;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DELETEITEM: {
      const AFX_MSGMAP_ENTRY* e = QmFindMessageEntry(map, WM_REFLECT_BASE + message, 0, 0);
      if (!e) return FALSE;
      QmMsgCall call;
      call.message = WM_REFLECT_BASE + message;
      call.wParam = wParam;
      call.lParam = lParam;
      const BOOL ok = e->pfn(this, call);
      if (pResult) *pResult = TRUE;
      return ok;
    }
    default:
      return FALSE;
  }
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
    if (CWnd* w = FromHandlePermanent(h)) {
      if (w->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (h == hWndStop) break;
    Window* rec = Find(h);
    if (!rec || !rec->IsChild()) break;  // stop at the top-level window
  }
  return FALSE;
}

// ---------------------------------------------------------------------------
// Family.

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, QmHwnd(pWndNewParent))); }
CWnd* CWnd::GetOwner() const {
  Window* w = Find(m_hWnd);
  if (!w) return nullptr;
  return FromHandle(w->IsChild() ? w->parent : w->owner);
}
void CWnd::SetOwner(CWnd* pOwnerWnd) {
  if (Window* w = Find(m_hWnd); w && !w->IsChild()) w->owner = QmHwnd(pOwnerWnd);
}
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
CWnd* CWnd::GetTopLevelOwner() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOTOWNER)); }
CWnd* CWnd::GetParentOwner() const {
  HWND h = m_hWnd;
  while (Window* w = Find(h)) {
    if (!w->IsChild()) return FromHandle(w->owner ? w->owner : h);
    h = w->parent;
  }
  return nullptr;
}
CFrameWnd* CWnd::GetParentFrame() const {
  for (CWnd* p = GetParent(); p; p = p->GetParent())
    if (p->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(p);
  return nullptr;
}
CFrameWnd* CWnd::GetTopLevelFrame() const {
  CFrameWnd* f = IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? const_cast<CFrameWnd*>(static_cast<const CFrameWnd*>(this))
                                                     : GetParentFrame();
  while (f) {
    CFrameWnd* up = f->GetParentFrame();
    if (!up) break;
    f = up;
  }
  return f;
}
CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
void CWnd::GetDlgItem(int nID, HWND* phWnd) const {
  if (phWnd) *phWnd = ::GetDlgItem(m_hWnd, nID);
}
CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const {
  Window* w = Find(m_hWnd);
  if (!w) return nullptr;
  // A direct child first; its own children with the same id come before it
  // (a splitter and its first pane share AFX_IDW_PANE_FIRST).
  if (HWND c = ::GetDlgItem(m_hWnd, nID)) {
    if (::GetWindow(c, GW_CHILD)) {
      if (CWnd* d = FromHandle(c)->GetDescendantWindow(nID, bOnlyPerm)) return d;
    }
    if (CWnd* found = bOnlyPerm ? FromHandlePermanent(c) : FromHandle(c)) return found;
  }
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    CWnd* child = FromHandle(c);
    if (!child) continue;
    if (CWnd* d = child->GetDescendantWindow(nID, bOnlyPerm)) return d;
  }
  return nullptr;
}
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLongPtr(m_hWnd, GWL_ID, nID)); }
BOOL CWnd::IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, QmHwnd(pWnd)); }
CWnd* CWnd::ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }
CWnd* CWnd::WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
CWnd* CWnd::GetDesktopWindow() { return nullptr; }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
  return FromHandle(::GetNextDlgTabItem(m_hWnd, QmHwnd(pWndCtl), bPrevious));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const {
  return FromHandle(::GetNextDlgGroupItem(m_hWnd, QmHwnd(pWndCtl), bPrevious));
}

// ---------------------------------------------------------------------------
// Texts and data.

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount);
}
void CWnd::GetWindowText(CString& rString) const {
  const int n = ::GetWindowTextLength(m_hWnd);
  std::string buf(static_cast<size_t>(n) + 1, '\0');
  const int got = ::GetWindowText(m_hWnd, buf.data(), n + 1);
  buf.resize(static_cast<size_t>(std::max(0, got)));
  rString = CString(buf);
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
int CWnd::GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const {
  return static_cast<int>(::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount));
}
int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND c = ::GetDlgItem(m_hWnd, nID);
  if (!c) return 0;
  FromHandle(c)->GetWindowText(rString);
  return rString.GetLength();
}
void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
  return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}
void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}
int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const {
  for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
    if (::IsDlgButtonChecked(m_hWnd, id)) return id;
  return 0;
}
LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
}
void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}
CFont* CWnd::GetFont() const {
  return CFont::FromHandle(reinterpret_cast<HFONT>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT)));
}
HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}
HICON CWnd::GetIcon(BOOL bBigIcon) const {
  return reinterpret_cast<HICON>(const_cast<CWnd*>(this)->SendMessage(WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL));
}

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtr(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtr(hWnd, GWL_STYLE));
  const DWORD n = (style & ~dwRemove) | dwAdd;
  if (n == style) return FALSE;
  ::SetWindowLongPtr(hWnd, GWL_STYLE, static_cast<LONG>(n));
  if (nFlags) ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}
BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtr(hWnd, GWL_EXSTYLE));
  const DWORD n = (style & ~dwRemove) | dwAdd;
  if (n == style) return FALSE;
  ::SetWindowLongPtr(hWnd, GWL_EXSTYLE, static_cast<LONG>(n));
  if (nFlags) ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}
BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) { return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags); }
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

// ---------------------------------------------------------------------------
// State, size and position.

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  // &wndTopMost and its kind carry the special handles.
  return ::SetWindowPos(m_hWnd, QmHwnd(pWndInsertAfter), x, y, cx, cy, nFlags);
}
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&lpRect->right));
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
  ::MapWindowPoints(m_hWnd, QmHwnd(pwndTo), lpPoint, nCount);
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, QmHwnd(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
}
void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  RECT mine;
  GetWindowRect(&mine);
  RECT area;
  HWND center = pAlternateOwner ? pAlternateOwner->m_hWnd : nullptr;
  Window* w = Find(m_hWnd);
  if (!center && w) center = w->IsChild() ? w->parent : w->owner;
  if (w && w->IsChild()) {
    ::GetClientRect(center, &area);
    if (center && center != w->parent) ::MapWindowPoints(center, w->parent, reinterpret_cast<LPPOINT>(&area), 2);
  } else if (center && ::IsWindowVisible(center) && !::IsIconic(center)) {
    ::GetWindowRect(center, &area);
  } else {
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int cx = mine.right - mine.left, cy = mine.bottom - mine.top;
  int x = (area.left + area.right) / 2 - cx / 2;
  int y = (area.top + area.bottom) / 2 - cy / 2;
  if (!w || !w->IsChild()) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    x = std::max(0, std::min(x, sw - cx));
    y = std::max(0, std::min(y, sh - cy));
  }
  SetWindowPos(nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const { return ::GetWindowPlacement(m_hWnd, lpwndpl); }
BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }

// ---------------------------------------------------------------------------
// Painting.

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase) {
  ::InvalidateRgn(m_hWnd, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr, bErase);
}
void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
void CWnd::ValidateRgn(CRgn* pRgn) { ::ValidateRgn(m_hWnd, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate ? static_cast<HRGN>(prgnUpdate->m_hObject) : nullptr, flags);
}
BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL bErase) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
void CWnd::SetRedraw(BOOL bRedraw) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(bRedraw)); }
BOOL CWnd::LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
void CWnd::UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }
CDC* CWnd::BeginPaint(PAINTSTRUCT* lpPaint) { return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint)); }
void CWnd::EndPaint(const PAINTSTRUCT* lpPaint) { ::EndPaint(m_hWnd, lpPaint); }
void CWnd::ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect, LPCRECT lpClipRect) {
  ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
}
int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate,
                         LPRECT lpRectUpdate, UINT flags) {
  return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip,
                          prgnUpdate ? static_cast<HRGN>(prgnUpdate->m_hObject) : nullptr, lpRectUpdate, flags);
}

// ---------------------------------------------------------------------------
// Input, timers, menus, scroll bars.

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
BOOL CWnd::SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags) {
  return ::SetLayeredWindowAttributes(m_hWnd, crKey, bAlpha, dwFlags);
}
BOOL CWnd::GetLayeredWindowAttributes(COLORREF* pcrKey, BYTE* pbAlpha, DWORD* pdwFlags) const {
  return ::GetLayeredWindowAttributes(m_hWnd, pcrKey, pbAlpha, pdwFlags);
}
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
void CWnd::DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

int CWnd::GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
void CWnd::GetScrollRange(int nBar, int* lpMinPos, int* lpMaxPos) const {
  ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos);
}
void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
}
BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  lpScrollInfo->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}
BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
  ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
  return TRUE;
}
int CWnd::GetScrollLimit(int nBar) const {
  SCROLLINFO si{};
  si.fMask = SIF_RANGE | SIF_PAGE;
  ::GetScrollInfo(m_hWnd, nBar, &si);
  return std::max(si.nMin, si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0));
}
void CWnd::ShowScrollBar(UINT nBar, BOOL bShow) { ::ShowScrollBar(m_hWnd, static_cast<int>(nBar), bShow); }
BOOL CWnd::EnableScrollBar(int nSBFlags, UINT nArrowFlags) { return ::EnableScrollBar(m_hWnd, nSBFlags, nArrowFlags); }
void CWnd::EnableScrollBarCtrl(int nBar, BOOL bEnable) { ::ShowScrollBar(m_hWnd, nBar, bEnable); }
CScrollBar* CWnd::GetScrollBarCtrl(int) const { return nullptr; }

// ---------------------------------------------------------------------------
// Modal loops.

int CWnd::RunModalLoop(DWORD) {
  m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
  ModalStack().push_back(m_hWnd);
  const HWND self = m_hWnd;
  PostModalHook(self);
  if (ContinueModal()) {
    QEventLoop loop;
    m_pModalLoop = &loop;
    loop.exec(QEventLoop::AllEvents);
    m_pModalLoop = nullptr;
  }
  auto& st = ModalStack();
  for (auto it = st.rbegin(); it != st.rend(); ++it) {
    if (*it == self) {
      st.erase(std::next(it).base());
      break;
    }
  }
  m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
  return m_nModalResult;
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_nFlags & WF_CONTINUEMODAL) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    if (m_pModalLoop) static_cast<QEventLoop*>(m_pModalLoop)->exit(0);
  }
}

// ---------------------------------------------------------------------------
// Control bars and dialog data.

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch) {
  AFX_SIZEPARENTPARAMS layout{};
  RECT client;
  if (lpRectClient) client = *lpRectClient;
  else GetClientRect(&client);
  layout.rect = client;
  layout.bStretch = bStretch;
  layout.sizeTotal = SIZE{0, 0};
  layout.hDWP = (nFlag == reposQuery) ? nullptr : reinterpret_cast<HANDLE>(1);
  HWND leftOver = nullptr;
  Window* w = Find(m_hWnd);
  if (!w) return;
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(c));
    if (id == nIDLeftOver) leftOver = c;
    else if (id >= nIDFirst && id <= nIDLast && Find(c)) ::SendMessage(c, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
  }
  if (nFlag == reposQuery) {
    if (lpRectParam) {
      if (bStretch) *lpRectParam = layout.rect;
      else *lpRectParam = RECT{0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy};
    }
    return;
  }
  if (nFlag == reposExtra && lpRectParam) {
    layout.rect.left += lpRectParam->left;
    layout.rect.top += lpRectParam->top;
    layout.rect.right -= lpRectParam->right;
    layout.rect.bottom -= lpRectParam->bottom;
  }
  if (leftOver) {
    RECT r = layout.rect;
    ::MoveWindow(leftOver, r.left, r.top, std::max(0L, static_cast<long>(r.right - r.left)),
                 std::max(0L, static_cast<long>(r.bottom - r.top)), TRUE);
  }
}

BOOL CWnd::IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessage(m_hWnd, lpMsg); }

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  Window* w = Find(m_hWnd);
  if (!w) return;
  CCmdUI state;
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    if (!Find(c)) continue;
    state.m_pOther = FromHandle(c);
    state.m_nID = static_cast<UINT>(::GetDlgCtrlID(c));
    if (state.m_nID == 0 || state.m_nID == 0xFFFF) continue;
    // Ask the control itself first (it may update itself), then the target.
    CWnd* perm = FromHandlePermanent(c);
    if (perm && perm->OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
    state.DoUpdate(pTarget, bDisableIfNoHndler && (::SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON));
  }
}

// ---------------------------------------------------------------------------
// The standard handlers: the window's default procedure on the current
// message, and the reflection of control messages to the control.

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() {
  // The main window going away ends the application.
  if (CWinThread* t = AfxGetThread(); t && t->m_pMainWnd == this) {
    t->m_pMainWnd = nullptr;
    if (AfxGetApp() == t) ::PostQuitMessage(0);
  }
  if (m_nFlags & WF_MODALLOOP) EndModalLoop(-1);
  Default();
  Detach();
  PostNcDestroy();
}
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
  if (pScrollBar && ReflectLastMsg(pScrollBar->m_hWnd)) return;
  Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar) {
  if (pScrollBar && ReflectLastMsg(pScrollBar->m_hWnd)) return;
  Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
  LRESULT r = 0;
  if (pWnd && ReflectLastMsg(pWnd->m_hWnd, &r)) return reinterpret_cast<HBRUSH>(r);
  return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (lpDrawItemStruct && lpDrawItemStruct->CtlType == ODT_MENU) {
    if (CMenu* m = CMenu::FromHandle(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem))) {
      m->DrawItem(lpDrawItemStruct);
      return;
    }
  } else if (lpDrawItemStruct && ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
    return;
  }
  Default();
}
void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (lpMeasureItemStruct && lpMeasureItemStruct->CtlType == ODT_MENU) {
    // The menu object of the item being measured measures it.
    if (CMenu* m = CMenu::FromHandle(MeasuringMenu())) {
      m->MeasureItem(lpMeasureItemStruct);
      return;
    }
  } else if (lpMeasureItemStruct) {
    if (HWND c = ::GetDlgItem(m_hWnd, nIDCtl); c && ReflectLastMsg(c)) return;
  }
  Default();
}
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return static_cast<BOOL>(Default()); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnCancelMode() { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnParentNotify(UINT, LPARAM) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
void CWnd::OnEnterIdle(UINT, CWnd*) { Default(); }
