// Tooltips: a top-level pop-up without activation, shown by timers that
// the relayed mouse messages start and stop.
#include <QWidget>

#include <string>
#include <vector>

#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/tooltip.h"

namespace qmwnd {

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr COLORREF kNoColor = 0xFFFFFFFF;

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{0, 0, 0, 0};
  bool callback = false;
  CString text;
  LPARAM param = 0;
};

struct TipState {
  std::vector<Tool> tools;
  bool active = true;
  int current = -1;     // the tool under the mouse
  bool suppressed = false;  // a click hid the tip until the mouse leaves the tool
  POINT lastScreen{0, 0};
  int initial = 500, autopop = 5000, reshow = 100;
  int maxWidth = -1;
  COLORREF back = kNoColor, fore = kNoColor;
  CString shown;
};

StateTable<TipState>& Tips() {
  static auto* t = new StateTable<TipState>;
  return *t;
}

int FindTool(const TipState& s, HWND hwnd, UINT_PTR id) {
  for (size_t i = 0; i < s.tools.size(); ++i)
    if (s.tools[i].hwnd == hwnd && s.tools[i].id == id) return static_cast<int>(i);
  return -1;
}

// The tool under a mouse message, or -1.
int ToolAt(const TipState& s, const MSG& m) {
  const POINT p{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  for (size_t i = 0; i < s.tools.size(); ++i) {
    const Tool& t = s.tools[i];
    if (t.flags & TTF_IDISHWND) {
      if (reinterpret_cast<HWND>(t.id) == m.hwnd) return static_cast<int>(i);
    } else if (t.hwnd == m.hwnd && ::PtInRect(&t.rect, p)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

CString ToolText(HWND tip, const Tool& t) {
  if (!t.callback) return t.text;
  NMTTDISPINFO di{};
  di.hdr.hwndFrom = tip;
  di.hdr.idFrom = t.id;
  di.hdr.code = TTN_NEEDTEXT;
  di.uFlags = t.flags;
  di.lParam = t.param;
  if (t.hwnd) Send(t.hwnd, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&di));
  if (di.lpszText && IS_INTRESOURCE(di.lpszText)) {
    CString s;
    s.LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(di.lpszText)));
    return s;
  }
  if (di.lpszText && di.lpszText != LPSTR_TEXTCALLBACK) return CString(di.lpszText);
  di.szText[sizeof(di.szText) - 1] = 0;
  return CString(di.szText);
}

void Hide(HWND hwnd, TipState& s) {
  ::KillTimer(hwnd, kShowTimer);
  ::KillTimer(hwnd, kPopTimer);
  if (::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_HIDE);
  s.shown.Empty();
}

SIZE TextSize(HWND hwnd, const TipState& s, const CString& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
  RECT r{0, 0, s.maxWidth > 0 ? s.maxWidth : 4000, 0};
  DrawText(dc, text, text.GetLength(), &r, DT_CALCRECT | DT_NOPREFIX | (s.maxWidth > 0 ? DT_WORDBREAK : 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void Show(HWND hwnd, TipState& s) {
  if (s.current < 0 || s.current >= static_cast<int>(s.tools.size())) return;
  const CString text = ToolText(hwnd, s.tools[static_cast<size_t>(s.current)]);
  TipState* again = Tips().Get(hwnd);
  if (!again || text.IsEmpty()) return;
  again->shown = text;
  ::SetWindowText(hwnd, text);
  const SIZE sz = TextSize(hwnd, *again, text);
  const int cx = sz.cx + 8, cy = sz.cy + 6;
  int x = again->lastScreen.x, y = again->lastScreen.y + 20;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (x + cx > sw) x = std::max(0, sw - cx);
  if (y + cy > sh) y = std::max(0, again->lastScreen.y - cy - 4);
  ::SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::InvalidateRect(hwnd, nullptr, TRUE);
  if (again->autopop > 0) ::SetTimer(hwnd, kPopTimer, static_cast<UINT>(again->autopop), nullptr);
}

void Relay(HWND hwnd, TipState& s, const MSG& m) {
  if (!s.active) return;
  switch (m.message) {
    case WM_MOUSEMOVE: {
      const int t = ToolAt(s, m);
      POINT sp{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
      if (m.hwnd) ::ClientToScreen(m.hwnd, &sp);
      s.lastScreen = sp;
      if (t == s.current) return;
      const bool wasShown = ::IsWindowVisible(hwnd) != FALSE;
      Hide(hwnd, s);
      s.current = t;
      s.suppressed = false;
      if (t >= 0) ::SetTimer(hwnd, kShowTimer, static_cast<UINT>(std::max(1, wasShown ? s.reshow : s.initial)), nullptr);
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      Hide(hwnd, s);
      s.suppressed = s.current >= 0;
      return;
    case WM_MOUSELEAVE:
      Hide(hwnd, s);
      s.current = -1;
      return;
    default:
      return;
  }
}

void Paint(HWND hwnd, TipState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  const COLORREF back = s.back != kNoColor ? s.back : GetSysColor(COLOR_INFOBK);
  const COLORREF fore = s.fore != kNoColor ? s.fore : GetSysColor(COLOR_INFOTEXT);
  HBRUSH b = CreateSolidBrush(back);
  FillRect(dc, &rc, b);
  DeleteObject(b);
  FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
  HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, fore);
  RECT tr{rc.left + 4, rc.top + 3, rc.right - 4, rc.bottom - 3};
  DrawText(dc, s.shown, s.shown.GetLength(), &tr, DT_NOPREFIX | (s.maxWidth > 0 ? DT_WORDBREAK : 0));
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

Tool ToolFrom(const TOOLINFO& ti) {
  Tool t;
  t.flags = ti.uFlags;
  t.hwnd = ti.hwnd;
  t.id = ti.uId;
  t.rect = ti.rect;
  t.param = ti.lParam;
  if (ti.lpszText == LPSTR_TEXTCALLBACK) {
    t.callback = true;
  } else if (ti.lpszText && IS_INTRESOURCE(ti.lpszText)) {
    CString s;
    if (ti.hinst) LoadResourceString(ti.hinst, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(ti.lpszText)), s);
    else s.LoadString(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(ti.lpszText)));
    t.text = s;
  } else if (ti.lpszText) {
    t.text = ti.lpszText;
  }
  return t;
}

class TipClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT&, QWidget* parent) override {
    Tips().Make(hwnd);
    QWidget* w = NewPaintedWidget(parent, Qt::NoFocus, Qt::ToolTip);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    return w;
  }
  bool QtPaints(HWND) override { return false; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    TipState* s = Tips().Get(hwnd);
    if (!s) return false;
    *result = 0;
    switch (message) {
      case WM_NCDESTROY:
        Tips().Drop(hwnd);
        return false;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, *s);
        return true;
      case WM_MOUSEACTIVATE:
        *result = MA_NOACTIVATE;
        return true;
      case WM_NCHITTEST:
        *result = HTTRANSPARENT;
        return true;
      case WM_TIMER:
        if (wParam == kShowTimer) {
          ::KillTimer(hwnd, kShowTimer);
          if (s->active && !s->suppressed) Show(hwnd, *s);
        } else if (wParam == kPopTimer) {
          Hide(hwnd, *s);
        }
        return true;
      case TTM_ACTIVATE:
        s->active = wParam != 0;
        if (!s->active) Hide(hwnd, *s);
        return true;
      case TTM_SETDELAYTIME: {
        const int v = static_cast<int>(static_cast<short>(LOWORD(lParam)));
        switch (wParam) {
          case TTDT_AUTOMATIC:
            s->initial = v < 0 ? 500 : v;
            s->autopop = v < 0 ? 5000 : v * 10;
            s->reshow = v < 0 ? 100 : v / 5;
            break;
          case TTDT_INITIAL: s->initial = v < 0 ? 500 : v; break;
          case TTDT_AUTOPOP: s->autopop = v < 0 ? 5000 : v; break;
          case TTDT_RESHOW: s->reshow = v < 0 ? 100 : v; break;
          default: break;
        }
        return true;
      }
      case TTM_GETDELAYTIME:
        *result = wParam == TTDT_AUTOPOP ? s->autopop : wParam == TTDT_RESHOW ? s->reshow : s->initial;
        return true;
      case TTM_ADDTOOL: {
        const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
        if (!ti) return true;
        const int at = FindTool(*s, ti->hwnd, ti->uId);
        if (at >= 0) s->tools[static_cast<size_t>(at)] = ToolFrom(*ti);
        else s->tools.push_back(ToolFrom(*ti));
        *result = TRUE;
        return true;
      }
      case TTM_DELTOOL: {
        const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
        const int at = ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
        if (at >= 0) {
          if (at == s->current) {
            Hide(hwnd, *s);
            s->current = -1;
          } else if (at < s->current) {
            --s->current;
          }
          s->tools.erase(s->tools.begin() + at);
        }
        return true;
      }
      case TTM_NEWTOOLRECT:
      case TTM_UPDATETIPTEXT:
      case TTM_SETTOOLINFO: {
        const auto* ti = reinterpret_cast<const TOOLINFO*>(lParam);
        const int at = ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
        if (at < 0) return true;
        Tool& t = s->tools[static_cast<size_t>(at)];
        if (message == TTM_NEWTOOLRECT) {
          t.rect = ti->rect;
        } else if (message == TTM_UPDATETIPTEXT) {
          const Tool n = ToolFrom(*ti);
          t.callback = n.callback;
          t.text = n.text;
          if (at == s->current && ::IsWindowVisible(hwnd)) Show(hwnd, *s);
        } else {
          t = ToolFrom(*ti);
        }
        return true;
      }
      case TTM_GETTOOLINFO:
      case TTM_GETTEXT: {
        auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
        const int at = ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
        if (at < 0) {
          *result = FALSE;
          return true;
        }
        const Tool& t = s->tools[static_cast<size_t>(at)];
        if (message == TTM_GETTOOLINFO) {
          ti->uFlags = t.flags;
          ti->rect = t.rect;
          ti->lParam = t.param;
        }
        // The caller's buffer holds at least 80 characters, as on Windows.
        if (ti->lpszText && ti->lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(ti->lpszText)) {
          const CString text = t.callback ? CString() : t.text;
          const int n = std::min(79, text.GetLength());
          std::memcpy(ti->lpszText, text.GetString(), static_cast<size_t>(n));
          ti->lpszText[n] = 0;
        }
        *result = TRUE;
        return true;
      }
      case TTM_GETTOOLCOUNT:
        *result = static_cast<LRESULT>(s->tools.size());
        return true;
      case TTM_GETCURRENTTOOL: {
        const bool shown = ::IsWindowVisible(hwnd) != FALSE;
        auto* ti = reinterpret_cast<TOOLINFO*>(lParam);
        if (shown && ti && s->current >= 0) {
          const Tool& t = s->tools[static_cast<size_t>(s->current)];
          ti->hwnd = t.hwnd;
          ti->uId = t.id;
          ti->uFlags = t.flags;
          ti->rect = t.rect;
        }
        *result = shown && s->current >= 0;
        return true;
      }
      case TTM_RELAYEVENT:
        if (lParam) Relay(hwnd, *s, *reinterpret_cast<const MSG*>(lParam));
        return true;
      case TTM_SETMAXTIPWIDTH:
        *result = s->maxWidth;
        s->maxWidth = static_cast<int>(lParam);
        return true;
      case TTM_GETMAXTIPWIDTH:
        *result = s->maxWidth;
        return true;
      case TTM_SETTIPBKCOLOR:
        s->back = static_cast<COLORREF>(wParam);
        return true;
      case TTM_SETTIPTEXTCOLOR:
        s->fore = static_cast<COLORREF>(wParam);
        return true;
      case TTM_POP:
        Hide(hwnd, *s);
        return true;
      case TTM_UPDATE:
        if (::IsWindowVisible(hwnd)) Show(hwnd, *s);
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

QmControlClass* MakeTipClass() { return new TipClass; }

}  // namespace qmwnd

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  return CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, QmHwnd(pParentWnd), nullptr);
}

void CToolTipCtrl::FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
  ti = TOOLINFO{};
  ti.cbSize = sizeof(TOOLINFO);
  HWND h = QmHwnd(pWnd);
  if (nIDTool == 0) {
    ti.hwnd = ::GetParent(h) ? ::GetParent(h) : h;
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(h);
  } else {
    ti.hwnd = h;
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  if (!pWnd || !pWnd->m_hWnd) return FALSE;
  TOOLINFO ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (lpRectTool) {
    ti.uFlags &= ~TTF_IDISHWND;
    ti.hwnd = pWnd->m_hWnd;
    ti.uId = nIDTool;
    ti.rect = *lpRectTool;
  }
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  CString text;
  text.LoadString(nIDText);
  return AddTool(pWnd, text.GetString(), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
  TOOLINFO ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  char buf[80] = {};
  ti.lpszText = buf;
  const_cast<CToolTipCtrl*>(this)->SendMessage(TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&ti));
  str = buf;
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TOOLINFO ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (lpRect) ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.lpszText = const_cast<LPSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool) {
  CString text;
  text.LoadString(nIDText);
  UpdateTipText(text.GetString(), pWnd, nIDTool);
}
