// Dialogs from templates: creation in dialog units, the dialog manager's
// keyboard (tab, arrows, Enter, Escape), the default button, CDialog and
// CFormView.
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

#include "platform/gdi/afxgdi.h"
#include "platform/wnd/controls.h"
#include "platform/wnd/dialog.h"
#include "platform/wnd/internal.h"

namespace qmwnd {

bool ModalHookInstalled();
void CheckAutoRadio(HWND hwnd);

namespace {

BOOL g_useCompact = FALSE;

bool NoDisplay() {
  const QString p = QGuiApplication::platformName();
  return p == QLatin1String("offscreen") || p == QLatin1String("minimal");
}

bool Tabbable(HWND h) {
  Window* w = Find(h);
  return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

bool Usable(HWND h) {
  Window* w = Find(h);
  return w && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

HWND FirstTabStop(HWND dlg) {
  Window* d = Find(dlg);
  if (!d) return nullptr;
  for (HWND c : d->children)
    if (Tabbable(c)) return c;
  return nullptr;
}

// Focus to a control as the dialog manager does it: an edit's text is
// selected.
void FocusControl(HWND dlg, HWND ctl) {
  if (!ctl) return;
  if (Window* d = Find(dlg)) d->lastFocus = ctl;
  ::SetFocus(ctl);
  if (Find(ctl) && (SendMessage(ctl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) SendMessage(ctl, EM_SETSEL, 0, -1);
}

// The control of a mnemonic character ('&x' in its text).
HWND FindMnemonic(HWND dlg, char ch) {
  Window* d = Find(dlg);
  if (!d) return nullptr;
  const char lower = CodePageToLower(ch);
  for (HWND c : d->children) {
    Window* cw = Find(c);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    const std::string& t = cw->text.str();
    for (size_t i = 0; i + 1 < t.size(); ++i) {
      if (t[i] != '&') continue;
      if (t[i + 1] == '&') {
        ++i;
        continue;
      }
      if (CodePageToLower(t[i + 1]) == lower) return c;
      break;
    }
  }
  return nullptr;
}

}  // namespace

// The dialog class's own default handling.
void DialogDefault(Window& w, UINT message, WPARAM wParam, LPARAM lParam, bool* handled, LRESULT* result) {
  const HWND hwnd = w.hwnd;
  *handled = true;
  switch (message) {
    case WM_CLOSE: {
      HWND cancel = ::GetDlgItem(hwnd, IDCANCEL);
      if (cancel && !::IsWindowEnabled(cancel)) {
        *result = 0;
        return;
      }
      Send(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      *result = 0;
      return;
    }
    case DM_GETDEFID:
      *result = MAKELONG(static_cast<WORD>(w.defId), DC_HASDEFID);
      return;
    case DM_SETDEFID: {
      const int old = w.defId;
      w.defId = static_cast<int>(wParam);
      if (HWND b = ::GetDlgItem(hwnd, old); b && (Send(b, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
        Send(b, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      if (HWND b = ::GetDlgItem(hwnd, w.defId); b && (Send(b, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        Send(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
      *result = TRUE;
      return;
    }
    case WM_ERASEBKGND: {
      const HDC hdc = reinterpret_cast<HDC>(wParam);
      HBRUSH b = reinterpret_cast<HBRUSH>(Send(hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hwnd)));
      if (!b) b = GetSysColorBrush(COLOR_BTNFACE);
      RECT rc;
      ::GetClientRect(hwnd, &rc);
      FillRect(hdc, &rc, b);
      *result = 1;
      return;
    }
    case WM_NEXTDLGCTL: {
      HWND target = nullptr;
      if (LOWORD(lParam)) {
        target = reinterpret_cast<HWND>(wParam);
      } else {
        HWND f = ::GetFocus();
        if (f && f != hwnd && !::IsChild(hwnd, f)) f = nullptr;
        target = ::GetNextDlgTabItem(hwnd, f == hwnd ? nullptr : f, wParam != 0);
      }
      FocusControl(hwnd, target);
      *result = 0;
      return;
    }
    case WM_SETFOCUS: {
      HWND to = (w.lastFocus && ::IsChild(hwnd, w.lastFocus) && Usable(w.lastFocus)) ? w.lastFocus : FirstTabStop(hwnd);
      if (to) FocusControl(hwnd, to);
      *result = 0;
      return;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND f = ::GetFocus();
        if (f && ::IsChild(hwnd, f)) w.lastFocus = f;
        *result = 0;
        return;
      }
      *handled = false;  // the generic handling moves the focus in
      return;
    case WM_GETDLGCODE:
      *result = 0;
      return;
    default:
      *handled = false;
      return;
  }
}

}  // namespace qmwnd

using namespace qmwnd;

void AfxSetUseCompactDialogs(BOOL bCompact) { g_useCompact = bCompact; }
BOOL AfxGetUseCompactDialogs() { return g_useCompact; }

LONG GetDialogBaseUnits() {
  // The system font's average character width and height.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SIZE s{0, 0};
  GetTextExtentPoint32(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &s);
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  const int x = (s.cx / 26 + 1) / 2;
  return MAKELONG(static_cast<WORD>(x), static_cast<WORD>(tm.tmHeight));
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  Window* w = Find(dialog);
  if (!w || !rect || !w->dlgBaseX) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  rect->left = QmMulDiv(rect->left, w->dlgBaseX, 4);
  rect->right = QmMulDiv(rect->right, w->dlgBaseX, 4);
  rect->top = QmMulDiv(rect->top, w->dlgBaseY, 8);
  rect->bottom = QmMulDiv(rect->bottom, w->dlgBaseY, 8);
  return TRUE;
}

HWND QmCreateDialogFromTemplate(const QmDialogTemplate& t, HWND parent, CWnd* object, LPARAM initParam,
                                LPVOID createParam) {
  // The font and the base units.
  HFONT font = nullptr;
  bool ownsFont = false;
  if (t.fontSize) {
    const int height = -QmMulDiv(t.fontSize, 96, 72);
    font = CreateFont(height, 0, 0, 0, t.fontWeight ? t.fontWeight : FW_NORMAL, t.fontItalic, 0, 0, t.fontCharset,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                      t.fontFace);
    ownsFont = font != nullptr;
  }
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  int baseX = 0, baseY = 0;
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{0, 0};
    GetTextExtentPoint32(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &s);
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    baseX = (s.cx / 26 + 1) / 2;
    baseY = tm.tmHeight;
  }
  if (baseX <= 0 || baseY <= 0) {
    baseX = 6;
    baseY = 13;
  }
  DWORD style = t.style;
  DWORD ex = t.exStyle;
  if (style & DS_MODALFRAME) ex |= WS_EX_DLGMODALFRAME;
  if (style & DS_CONTROL) {
    style &= ~(WS_CAPTION | WS_SYSMENU);
    ex |= WS_EX_CONTROLPARENT;
  }
  const bool child = (style & WS_CHILD) != 0;
  const bool visible = (style & WS_VISIBLE) != 0;
  style &= ~WS_VISIBLE;
  RECT rc{QmMulDiv(t.x, baseX, 4), QmMulDiv(t.y, baseY, 8), 0, 0};
  rc.right = rc.left + QmMulDiv(t.cx, baseX, 4);
  rc.bottom = rc.top + QmMulDiv(t.cy, baseY, 8);
  if (!child) {
    // Positions count from the owner's client area, unless absolute.
    if (parent && !(style & DS_ABSALIGN)) {
      POINT o{0, 0};
      ::ClientToScreen(parent, &o);
      ::OffsetRect(&rc, o.x, o.y);
    }
    ::AdjustWindowRectEx(&rc, style, FALSE, ex);
  }
  g_wndInit = object;
  HWND dlg = ::CreateWindowEx(ex, "#32770", t.caption, style, rc.left, rc.top, rc.right - rc.left,
                              rc.bottom - rc.top, parent, nullptr, AfxGetResourceHandle(), createParam);
  g_wndInit = nullptr;
  if (!dlg) {
    if (ownsFont) DeleteObject(font);
    return nullptr;
  }
  Window* w = Find(dlg);
  w->dlgBaseX = baseX;
  w->dlgBaseY = baseY;
  w->dlgFont = font;
  w->ownsDlgFont = ownsFont;
  if (t.fontSize) Send(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (!Find(dlg)) return nullptr;
  // Centring.
  if (!child && (style & DS_CENTER)) {
    if (CWnd* d = CWnd::FromHandle(dlg)) d->CenterWindow();
  }
  // The controls, in template order (which is the tab order).
  int defId = IDOK;
  bool haveDef = false;
  for (const QmDialogControl& c : t.controls) {
    // Position and size each in dialog units (not the right and bottom
    // edges), as the dialog manager maps them.
    const int px = QmMulDiv(c.x, baseX, 4), py = QmMulDiv(c.y, baseY, 8);
    const RECT r{px, py, px + QmMulDiv(c.cx, baseX, 4), py + QmMulDiv(c.cy, baseY, 8)};
    const UINT id = c.id < 0 ? 0xFFFF : static_cast<UINT>(c.id);
    const char* text = c.imageId ? "" : c.text.GetString();
    HWND h = ::CreateWindowEx(c.exStyle | WS_EX_NOPARENTNOTIFY, c.className, text, c.style, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, dlg,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetResourceHandle(), nullptr);
    if (!h) {
      if (!Find(dlg)) return nullptr;
      std::fprintf(stderr, "Dialog %u: control %d of class \"%s\" cannot be made\n", t.id, c.id, c.className.GetString());
      if (!(t.style & DS_NOFAILCREATE)) {
        ::DestroyWindow(dlg);
        return nullptr;
      }
      continue;
    }
    Send(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.imageId) {
      HINSTANCE inst = AfxGetResourceHandle();
      const bool bitmap = (c.className.CompareNoCase("Static") == 0 && (c.style & SS_TYPEMASK) == SS_BITMAP) ||
                          (c.className.CompareNoCase("Button") == 0 && (c.style & BS_BITMAP));
      if (bitmap) {
        HBITMAP bm = ::LoadBitmap(inst, MAKEINTRESOURCE(c.imageId));
        Send(h, c.className.CompareNoCase("Button") == 0 ? BM_SETIMAGE : STM_SETIMAGE, IMAGE_BITMAP,
             reinterpret_cast<LPARAM>(bm));
      } else {
        HICON icon = ::LoadIcon(inst, MAKEINTRESOURCE(c.imageId));
        if (c.className.CompareNoCase("Button") == 0) Send(h, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        else Send(h, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
      }
    }
    if (!haveDef && c.className.CompareNoCase("Button") == 0 && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      defId = static_cast<int>(id);
      haveDef = true;
    }
  }
  if (!(w = Find(dlg))) return nullptr;
  w->defId = defId;
  // Initialisation; TRUE asks the dialog manager to set the focus.
  const HWND first = FirstTabStop(dlg);
  const LRESULT focus = Send(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
  if (!Find(dlg)) return nullptr;
  if (focus && first && Find(first)) FocusControl(dlg, first);
  if (visible && Find(dlg)) ::ShowWindow(dlg, SW_SHOWNORMAL);
  return Find(dlg) ? dlg : nullptr;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  Window* w = Find(dialog);
  if (!w) return FALSE;
  w->dialogEnded = true;
  w->dialogResult = result;
  if (w->perm && (w->perm->m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))) {
    w->perm->EndModalLoop(static_cast<int>(result));
  } else {
    ::ShowWindow(dialog, SW_HIDE);
  }
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  Window* d = Find(dialog);
  if (!d || d->children.empty()) return nullptr;
  const auto& kids = d->children;
  const int n = static_cast<int>(kids.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (kids[static_cast<size_t>(i)] == control) start = i;
  if (start < 0) {
    // From nothing: the first (or last) tab stop.
    for (int k = 0; k < n; ++k) {
      const int i = previous ? n - 1 - k : k;
      if (Tabbable(kids[static_cast<size_t>(i)])) return kids[static_cast<size_t>(i)];
    }
    return nullptr;
  }
  for (int k = 1; k <= n; ++k) {
    const int i = ((previous ? start - k : start + k) % n + n) % n;
    if (Tabbable(kids[static_cast<size_t>(i)])) return kids[static_cast<size_t>(i)];
  }
  return nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  Window* d = Find(dialog);
  if (!d || !control) return nullptr;
  const auto& kids = d->children;
  auto it = std::find(kids.begin(), kids.end(), control);
  if (it == kids.end()) return nullptr;
  // The group: from the last WS_GROUP at or before the control to the next.
  size_t first = static_cast<size_t>(it - kids.begin());
  while (first > 0) {
    Window* cw = Find(kids[first]);
    if (cw && (cw->style & WS_GROUP)) break;
    --first;
  }
  size_t last = first;
  while (last + 1 < kids.size()) {
    Window* cw = Find(kids[last + 1]);
    if (cw && (cw->style & WS_GROUP)) break;
    ++last;
  }
  const size_t count = last - first + 1;
  const size_t pos = static_cast<size_t>(it - kids.begin()) - first;
  for (size_t k = 1; k <= count; ++k) {
    const size_t i = first + (previous ? (pos + count - k % count) % count : (pos + k) % count);
    if (Usable(kids[i])) return kids[i];
  }
  return control;
}

BOOL IsDialogMessage(HWND dialog, LPMSG msg) {
  if (!msg || !Find(dialog)) return FALSE;
  if (msg->hwnd != dialog && !::IsChild(dialog, msg->hwnd)) return FALSE;
  const HWND focus = msg->hwnd;
  if (msg->message == WM_SYSCHAR) {
    if (HWND c = FindMnemonic(dialog, static_cast<char>(msg->wParam))) {
      const UINT code = static_cast<UINT>(Send(c, WM_GETDLGCODE, 0, 0));
      if (code & DLGC_STATIC) {
        // A label: the control after it.
        HWND next = ::GetNextDlgTabItem(dialog, c, FALSE);
        FocusControl(dialog, next);
      } else if (::IsWindowEnabled(c)) {
        FocusControl(dialog, c);
        if (code & DLGC_BUTTON) Send(c, BM_CLICK, 0, 0);
      }
      return TRUE;
    }
    return FALSE;
  }
  if (msg->message != WM_KEYDOWN) return FALSE;
  const UINT code = focus != dialog ? static_cast<UINT>(Send(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg))) : 0;
  if (!Find(dialog)) return TRUE;
  if (code & DLGC_WANTALLKEYS) return FALSE;
  switch (msg->wParam) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return FALSE;
      const bool back = GetKeyState(VK_SHIFT) < 0;
      HWND next = ::GetNextDlgTabItem(dialog, focus == dialog ? nullptr : focus, back);
      if (next) FocusControl(dialog, next);
      return TRUE;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      if (code & DLGC_WANTARROWS) return FALSE;
      if (focus == dialog) return FALSE;
      const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
      HWND next = ::GetNextDlgGroupItem(dialog, focus, back);
      if (next && next != focus) {
        FocusControl(dialog, next);
        if (Window* nw = Find(next); nw && nw->cls->name == "Button" && (nw->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
          CheckAutoRadio(next);
          QmNotifyParent(next, BN_CLICKED);
        }
      }
      return TRUE;
    }
    case VK_RETURN: {
      UINT id;
      if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        id = static_cast<UINT>(::GetDlgCtrlID(focus));
      } else {
        const DWORD def = static_cast<DWORD>(Send(dialog, DM_GETDEFID, 0, 0));
        id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
      }
      HWND button = ::GetDlgItem(dialog, static_cast<int>(id));
      if (button && !::IsWindowEnabled(button)) {
        MessageBeep(0);
        return TRUE;
      }
      Send(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return TRUE;
    }
    case VK_ESCAPE: {
      HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
      if (cancel && !::IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return TRUE;
      }
      Send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// ---------------------------------------------------------------------------
// CDialog.

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() : m_bCompactTemplate(AfxGetUseCompactDialogs()) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_bCompactTemplate(AfxGetUseCompactDialogs()) {}

// A window still open is destroyed by ~CWnd, without this half-destroyed
// object receiving its last messages.
CDialog::~CDialog() = default;

const QmDialogTemplate* CDialog::FindTemplate() const {
  if (m_lpDialogTemplate) return m_lpDialogTemplate;
  const QmDialogTemplate* t = LoadDialogTemplate(AfxGetResourceHandle(), m_nIDTemplate, m_bCompactTemplate != FALSE);
  if (!t) std::fprintf(stderr, "Dialog template %u is missing from the resource pack\n", m_nIDTemplate);
  return t;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  const QmDialogTemplate* t = FindTemplate();
  if (!t) return FALSE;
  return CreateIndirect(t, m_pParentWnd);
}

BOOL CDialog::CreateIndirect(const QmDialogTemplate* pTemplate, CWnd* pParentWnd) {
  if (!pTemplate || m_hWnd) return FALSE;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  HWND parent = QmHwnd(m_pParentWnd);
  if (!parent && !(pTemplate->style & WS_CHILD)) {
    if (CWnd* main = AfxGetMainWnd()) parent = main->m_hWnd;
  }
  HWND h = QmCreateDialogFromTemplate(*pTemplate, parent, this, 0);
  return h != nullptr;
}

HWND CDialog::PreModal() {
  HWND parent = QmHwnd(m_pParentWnd);
  if (!parent) {
    if (CWnd* main = AfxGetMainWnd()) parent = main->m_hWnd;
  }
  return parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
  const QmDialogTemplate* t = FindTemplate();
  if (!t) return -1;
  HWND parent = PreModal();
  bool enableParent = false;
  if (parent && ::IsWindowEnabled(parent)) {
    ::EnableWindow(parent, FALSE);
    enableParent = true;
  }
  m_nModalResult = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  QmDialogTemplate copy = *t;
  copy.style &= ~WS_CHILD;
  copy.style |= WS_POPUP;
  const HWND dlg = QmCreateDialogFromTemplate(copy, parent, this, 0);
  if (dlg) {
    if (m_nFlags & WF_CONTINUEMODAL) {
      ::ShowWindow(dlg, SW_SHOWNORMAL);
      if (!ModalHookInstalled() && NoDisplay()) {
        std::fprintf(stderr, "Dialog %u: no display to show it on; it is cancelled\n", m_nIDTemplate);
        EndDialog(IDCANCEL);
      } else if (::IsWindow(dlg)) {
        RunModalLoop();
      }
    }
    if (::IsWindow(dlg)) ::SetWindowPos(dlg, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  m_nFlags &= ~WF_CONTINUEMODAL;
  if (enableParent && ::IsWindow(parent)) {
    ::EnableWindow(parent, TRUE);
    ::SetActiveWindow(parent);
  }
  if (::IsWindow(dlg)) ::DestroyWindow(dlg);
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nResult);
  if (m_hWnd) ::EndDialog(m_hWnd, nResult);
  else m_nModalResult = nResult;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  if (!UpdateData(FALSE)) return FALSE;
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (pWndCtrl) ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}
void CDialog::SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }
void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    // A dialog inside a dialog leaves the keys to the outer one.
    if (!(GetStyle() & WS_CHILD) || !(GetExStyle() & WS_EX_CONTROLPARENT)) return ::IsDialogMessage(m_hWnd, pMsg);
  }
  return FALSE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (nCode != CN_COMMAND && nCode != CN_UPDATE_COMMAND_UI) return FALSE;
  // Commands a dialog does not handle go to the application.
  if (CWinApp* app = AfxGetApp(); app && app->CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return FALSE;
}

// ---------------------------------------------------------------------------
// CFormView.

IMPLEMENT_DYNAMIC(CFormView, CScrollView)

BEGIN_MESSAGE_MAP(CFormView, CScrollView)
  ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CFormView::CFormView(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

BOOL CFormView::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       CCreateContext* pContext) {
  const QmDialogTemplate* t =
      LoadDialogTemplate(AfxGetResourceHandle(), m_nIDTemplate, AfxGetUseCompactDialogs() != FALSE);
  if (!t || !pParentWnd) {
    std::fprintf(stderr, "Form template %u is missing from the resource pack\n", m_nIDTemplate);
    PostNcDestroy();
    return FALSE;
  }
  QmDialogTemplate copy = *t;
  // A form is a child without caption or frame, visible when its view is.
  copy.style = (copy.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE)) |
               WS_CHILD | (dwStyle & (WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL));
  copy.exStyle &= ~WS_EX_DLGMODALFRAME;
  if (copy.style & WS_BORDER) {
    copy.style &= ~WS_BORDER;
    copy.exStyle |= WS_EX_CLIENTEDGE;
  }
  copy.x = 0;
  copy.y = 0;
  HWND h = QmCreateDialogFromTemplate(copy, pParentWnd->m_hWnd, this, 0, pContext);
  if (!h) return FALSE;  // the view deleted itself with its window
  ::SetWindowLongPtr(h, GWL_ID, static_cast<LONG_PTR>(nID));
  // The form's size in the template is its scrolling size.
  RECT client;
  ::GetClientRect(h, &client);
  SetScrollSizes(MM_TEXT, CSize(client.right, client.bottom));
  if (rect.right > rect.left || rect.bottom > rect.top)
    ::MoveWindow(h, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  if (dwStyle & WS_VISIBLE) ::ShowWindow(h, SW_SHOWNORMAL);
  return TRUE;
}

void CFormView::OnInitialUpdate() {
  CScrollView::OnInitialUpdate();
  UpdateData(FALSE);
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    if (CView::PreTranslateMessage(pMsg)) return TRUE;
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
      // A form has no OK or Cancel: Enter and Escape go to the control.
      return FALSE;
    }
    return ::IsDialogMessage(m_hWnd, pMsg);
  }
  return FALSE;
}

void CFormView::OnSetFocus(CWnd* pOldWnd) {
  // The focus goes to the form's last (or first) control.
  Window* w = Find(m_hWnd);
  HWND to = (w && w->lastFocus && ::IsChild(m_hWnd, w->lastFocus)) ? w->lastFocus : ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
  if (to) ::SetFocus(to);
  else CScrollView::OnSetFocus(pOldWnd);
}
