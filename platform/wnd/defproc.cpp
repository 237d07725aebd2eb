// The default window procedure: what a window does with a message its
// program leaves alone, for plain windows, dialogs and controls.
#include <QWidget>

#include <cstring>

#include "platform/wnd/commctrl.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

const MSG* CurrentMessage();
void MarkDefaultReached(HWND hwnd, UINT message);
HICON SetWindowIconImpl(Window& w, WPARAM which, HICON icon);
void DialogDefault(Window& w, UINT message, WPARAM wParam, LPARAM lParam, bool* handled, LRESULT* result);
void DrawQtLook(Window& w);

namespace {

HBRUSH ClassBrush(const Window& w) {
  HBRUSH b = w.cls->wc.hbrBackground;
  const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(b);
  if (v > 0 && v <= 31) return GetSysColorBrush(static_cast<int>(v - 1));
  return b;
}

LRESULT CtlColorDefault(UINT message, HDC hdc) {
  int text = COLOR_WINDOWTEXT, back = COLOR_BTNFACE;
  switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      back = COLOR_WINDOW;
      break;
    case WM_CTLCOLORSCROLLBAR:
      back = COLOR_SCROLLBAR;
      break;
    case WM_CTLCOLORBTN:
      text = COLOR_BTNTEXT;
      break;
    default:
      break;
  }
  if (hdc) {
    SetTextColor(hdc, GetSysColor(text));
    SetBkColor(hdc, GetSysColor(back));
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

}  // namespace

// A Frame's "default procedure ran" mark: the Qt event behind an input
// message then gets Qt's own handling too.
void MarkDefault(HWND hwnd, UINT message);

LRESULT DefProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = w.hwnd;
  MarkDefault(hwnd, message);
  if (w.cls->control) {
    LRESULT r = 0;
    if (w.cls->control->DefProc(hwnd, message, wParam, lParam, &r)) return r;
  }
  if (w.cls->dialog) {
    bool handled = false;
    LRESULT r = 0;
    DialogDefault(w, message, wParam, lParam, &handled, &r);
    if (handled) return r;
  }
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(lParam);
      w.text = t ? t : "";
      if (QWidget* wid = w.W()) {
        if (!w.IsChild()) wid->setWindowTitle(ToQt(w.text));
        if (w.cls->control) w.cls->control->TextChanged(hwnd, wid, w.text);
        if (w.IsChild() && (w.style & WS_CAPTION) == WS_CAPTION) {
          w.ncDirty = true;
          wid->update();
        }
      }
      return TRUE;
    }
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(lParam);
      const int size = static_cast<int>(wParam);
      if (!buf || size <= 0) return 0;
      const int n = std::min(size - 1, w.text.GetLength());
      std::memcpy(buf, w.text.GetString(), static_cast<size_t>(n));
      buf[n] = 0;
      return n;
    }
    case WM_GETTEXTLENGTH:
      return w.text.GetLength();
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      // A control Qt draws, painted by a subclass: its own look first.
      if (w.cls->control) DrawQtLook(w);
      PAINTSTRUCT ps{};
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH b = ClassBrush(w);
      if (!b) return 0;
      RECT rc;
      ::GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, b);
      return 1;
    }
    case WM_SETCURSOR: {
      if (w.IsChild() && Find(w.parent)) {
        if (Send(w.parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      }
      const int ht = static_cast<short>(LOWORD(lParam));
      if (ht == HTCLIENT) {
        if (w.cls->wc.hCursor) {
          ::SetCursor(w.cls->wc.hCursor);
          return TRUE;
        }
        return FALSE;
      }
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return FALSE;
    }
    case WM_MOUSEACTIVATE:
      if (w.IsChild() && Find(w.parent)) {
        const LRESULT r = Send(w.parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
      if (w.IsChild() && Find(w.parent)) return Send(w.parent, WM_MOUSEWHEEL, wParam, lParam);
      return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ::ClientToScreen(hwnd, &p);
      Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
           MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
      return 0;
    }
    case WM_CONTEXTMENU:
      if (w.IsChild() && Find(w.parent)) Send(w.parent, WM_CONTEXTMENU, wParam, lParam);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          if (IsSysCloseEnabled(hwnd)) Send(hwnd, WM_CLOSE, 0, 0);
          return 0;
        case SC_MINIMIZE:
          ShowWindow(hwnd, SW_MINIMIZE);
          return 0;
        case SC_MAXIMIZE:
          ShowWindow(hwnd, SW_MAXIMIZE);
          return 0;
        case SC_RESTORE:
          ShowWindow(hwnd, SW_RESTORE);
          return 0;
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && !w.IsChild() && (GetKeyState(VK_MENU) < 0))
        Send(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      void SendSizeMove(Window & w, bool force);
      SendSizeMove(w, false);
      return 0;
    }
    case WM_SETFONT:
      w.font = reinterpret_cast<HFONT>(wParam);
      if (w.cls->control && w.W()) w.cls->control->FontChanged(hwnd, w.W(), QtFontOf(w.font));
      if (LOWORD(lParam) && w.W()) w.W()->update();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(w.font);
    case WM_SETICON:
      return reinterpret_cast<LRESULT>(SetWindowIconImpl(w, wParam, reinterpret_cast<HICON>(lParam)));
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(w.icons[wParam == ICON_BIG ? 1 : 0]);
    case WM_SETREDRAW:
      w.redraw = wParam != 0;
      if (QWidget* wid = w.W()) wid->setUpdatesEnabled(w.redraw);
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return CtlColorDefault(message, reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT wr;
      ::GetWindowRect(hwnd, &wr);
      if (!::PtInRect(&wr, p)) return HTNOWHERE;
      ::ScreenToClient(hwnd, &p);
      RECT cr;
      ::GetClientRect(hwnd, &cr);
      if (::PtInRect(&cr, p)) return HTCLIENT;
      if (w.scroll[SB_VERT].shown && p.x >= cr.right && p.y >= 0 && p.y < cr.bottom) return HTVSCROLL;
      if (w.scroll[SB_HORZ].shown && p.y >= cr.bottom && p.x >= 0 && p.x < cr.right) return HTHSCROLL;
      return HTBORDER;
    }
    case WM_GETDLGCODE:
      return w.cls->control ? w.cls->control->DialogCode(hwnd) : 0;
    case WM_DELETEITEM:
    case WM_COMPAREITEM: {
      // Reflected to the control object of the list or combo box.
      const HWND item = message == WM_DELETEITEM ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem
                                                 : reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
      LRESULT r = 0;
      if (CWnd* c = CWnd::FromHandlePermanent(item); c && c->OnChildNotify(message, wParam, lParam, &r)) return r;
      return message == WM_DELETEITEM ? TRUE : 0;
    }
    case WM_CANCELMODE:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !w.IsChild()) {
        const HWND f = FocusWindow();
        if (!f || (f != hwnd && !IsChild(hwnd, f))) SetFocusWindow(hwnd, true);
      }
      return 0;
    case WM_QUERYAFXWNDPROC:
      return 0;
    default:
      return 0;
  }
}

}  // namespace qmwnd
