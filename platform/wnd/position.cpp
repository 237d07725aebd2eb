// Positions, sizes, visibility, the enabled state, z-order, styles of
// top-level windows, icons and layered windows.
#include <QApplication>
#include <QIcon>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <cstdio>

#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

namespace {
bool g_layeredAvailable = true;
}

void ApplyWindowRect(Window& w, const QRect& r) {
  QWidget* wid = w.W();
  if (!wid) return;
  if (w.IsChild()) {
    Window* p = Find(w.parent);
    const QPoint o = p ? ClientRectInWidget(*p).topLeft() : QPoint();
    wid->setGeometry(QRect(r.topLeft() + o, QSize(std::max(0, r.width()), std::max(0, r.height()))));
  } else {
    const Insets out = OuterInsets(w);
    wid->setGeometry(QRect(r.left() + out.left, r.top() + out.top, std::max(1, r.width() - out.left - out.right),
                           std::max(1, r.height() - out.top - out.bottom)));
  }
  AfterGeometryChange(w);
}

void AfterGeometryChange(Window& w) {
  QWidget* wid = w.W();
  if (!wid) return;
  const QSize size = wid->size();
  if (size == w.laidOutSize) return;
  const QSize old = w.laidOutSize;
  w.laidOutSize = size;
  const Insets in = InnerInsets(w);
  const QSize oldClient(std::max(0, old.width() - in.left - in.right), std::max(0, old.height() - in.top - in.bottom));
  EnsureImage(w);
  RelayoutNonClient(w);
  const QSize nc = ClientRectInWidget(w).size();
  const UINT cs = w.cls->wc.style;
  QRegion inval;
  if (!old.isValid() || old.isEmpty() || ((cs & CS_HREDRAW) && nc.width() != oldClient.width()) ||
      ((cs & CS_VREDRAW) && nc.height() != oldClient.height())) {
    inval = QRegion(0, 0, nc.width(), nc.height());
  } else {
    if (nc.width() > oldClient.width()) inval += QRect(oldClient.width(), 0, nc.width() - oldClient.width(), nc.height());
    if (nc.height() > oldClient.height())
      inval += QRect(0, oldClient.height(), nc.width(), nc.height() - oldClient.height());
  }
  if (!inval.isEmpty()) InvalidateClient(w, inval, true);
}

void RelayoutNonClient(Window& w) {
  QWidget* wid = w.W();
  if (!wid) return;
  const QRect client = ClientRectInWidget(w);
  if (w.menuBar) w.menuBar->setGeometry(0, 0, wid->width(), GetSystemMetrics(SM_CYMENU));
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) SyncScrollBar(w, bar);
  // Children keep their place in client coordinates.
  const QPoint origin = client.topLeft();
  if (origin != w.lastClientOrigin) {
    const QPoint delta = origin - w.lastClientOrigin;
    for (HWND c : w.children) {
      Window* cw = Find(c);
      if (cw && cw->W()) cw->W()->move(cw->W()->pos() + delta);
    }
    w.lastClientOrigin = origin;
  }
  w.ncDirty = true;
  wid->update();
}

void SendSizeMove(Window& w, bool force) {
  QWidget* wid = w.W();
  if (!wid) return;
  const HWND hwnd = w.hwnd;
  const QRect client = ClientRectInWidget(w);
  QPoint pos;
  if (w.IsChild()) {
    Window* p = Find(w.parent);
    const QPoint po = p ? ClientRectInWidget(*p).topLeft() : QPoint();
    pos = wid->pos() - po + client.topLeft();
  } else {
    pos = ClientOriginOnScreen(w);
  }
  const QRect now(pos, client.size());
  const bool moved = force || now.topLeft() != w.notified.topLeft();
  const bool sized = force || now.size() != w.notified.size();
  w.notified = now;
  if (moved) Send(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(pos.x()), static_cast<WORD>(pos.y())));
  Window* again = Find(hwnd);
  if (!again || !again->W()) return;
  if (sized) {
    UINT type = SIZE_RESTORED;
    if (!again->IsChild()) {
      if (again->W()->isMinimized()) type = SIZE_MINIMIZED;
      else if (again->W()->isMaximized()) type = SIZE_MAXIMIZED;
    }
    Send(hwnd, WM_SIZE, type, MAKELPARAM(static_cast<WORD>(now.width()), static_cast<WORD>(now.height())));
  }
}

void UpdateTopLevelFlags(Window& w) {
  QWidget* wid = w.W();
  if (!wid || w.IsChild()) return;
  Qt::WindowFlags f = (w.exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : (w.owner ? Qt::Dialog : Qt::Window);
  if ((w.style & WS_CAPTION) != WS_CAPTION) {
    f |= Qt::FramelessWindowHint;
  } else {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (w.style & WS_SYSMENU) {
      f |= Qt::WindowSystemMenuHint;
      if (IsSysCloseEnabledImpl(w)) f |= Qt::WindowCloseButtonHint;
      if (w.style & WS_MINIMIZEBOX) f |= Qt::WindowMinimizeButtonHint;
      if (w.style & WS_MAXIMIZEBOX) f |= Qt::WindowMaximizeButtonHint;
    }
  }
  if (w.exStyle & WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
  if (wid->windowFlags() == f) return;
  const bool vis = wid->isVisible();
  wid->setWindowFlags(f);
  if (vis) wid->show();
}

void StyleChanged(Window& w, DWORD, DWORD) {
  QWidget* wid = w.W();
  if (!wid) return;
  w.scroll[SB_HORZ].shown = (w.style & WS_HSCROLL) != 0;
  w.scroll[SB_VERT].shown = (w.style & WS_VSCROLL) != 0;
  if (!w.IsChild()) UpdateTopLevelFlags(w);
  if (w.cls->control) w.cls->control->StyleChanged(w.hwnd, wid, w.style);
  const QSize before = ClientRectInWidget(w).size();
  RelayoutNonClient(w);
  if (ClientRectInWidget(w).size() != before) {
    InvalidateClient(w, QRegion(QRect(QPoint(0, 0), ClientRectInWidget(w).size())), true);
    SendSizeMove(w, false);
  }
}

bool IsSysCloseEnabledImpl(const Window& w) {
  if (w.cls && (w.cls->wc.style & CS_NOCLOSE)) return false;
  return IsSysCloseEnabled(w.hwnd);
}

HICON SetWindowIconImpl(Window& w, WPARAM which, HICON icon) {
  const int i = which == ICON_BIG ? 1 : 0;
  const HICON old = w.icons[i];
  w.icons[i] = icon;
  if (QWidget* wid = w.W(); wid && !w.IsChild()) {
    QIcon qi;
    for (HICON h : w.icons) {
      QImage img;
      QPoint hot;
      int std = 0;
      if (h && GetIconImage(h, &img, &hot, &std) && !img.isNull()) qi.addPixmap(QPixmap::fromImage(img));
    }
    wid->setWindowIcon(qi);
  }
  return old;
}

namespace {

void ZOrder(Window& w, HWND after) {
  QWidget* wid = w.W();
  if (!wid) return;
  // Headless platforms have no stacking of top-level windows.
  const QString platform = QGuiApplication::platformName();
  const bool stacking = w.IsChild() || (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"));
  if (after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    if (w.IsChild()) return;
    if (after == HWND_TOPMOST) w.exStyle |= WS_EX_TOPMOST;
    else w.exStyle &= ~WS_EX_TOPMOST;
    UpdateTopLevelFlags(w);
    if (stacking) wid->raise();
    return;
  }
  std::vector<HWND>* sib = nullptr;
  if (Window* p = Find(w.parent); p && w.IsChild()) sib = &p->children;
  if (sib) sib->erase(std::remove(sib->begin(), sib->end(), w.hwnd), sib->end());
  if (after == HWND_TOP) {
    if (sib) sib->insert(sib->begin(), w.hwnd);
    if (stacking) wid->raise();
  } else if (after == HWND_BOTTOM) {
    if (sib) sib->push_back(w.hwnd);
    if (stacking) wid->lower();
  } else {
    Window* a = Find(after);
    if (sib) {
      auto it = std::find(sib->begin(), sib->end(), after);
      sib->insert(it == sib->end() ? sib->end() : it + 1, w.hwnd);
    }
    if (a && a->W() && a->W()->parentWidget() == wid->parentWidget()) wid->stackUnder(a->W());
  }
}

QtMessageHandler g_opacityPrevious = nullptr;

void DropOpacityNotice(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text == QLatin1String("This plugin does not support setting window opacity")) return;
  if (g_opacityPrevious) g_opacityPrevious(type, context, text);
  else std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

// A window's constant alpha. The headless platform shows no window and says
// on every change that it cannot make one translucent: that notice is
// dropped (the alpha is kept as on any platform).
void ApplyWindowOpacity(QWidget* wid, double opacity) {
  if (!wid) return;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    wid->setWindowOpacity(opacity);
    return;
  }
  g_opacityPrevious = qInstallMessageHandler(DropOpacityNotice);
  wid->setWindowOpacity(opacity);
  qInstallMessageHandler(g_opacityPrevious);
  g_opacityPrevious = nullptr;
}

}  // namespace qmwnd

using namespace qmwnd;

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  const bool wasVisible = (w->style & WS_VISIBLE) != 0;
  const bool show = cmd != SW_HIDE;
  if (show != wasVisible) {
    Send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!(w = Find(hwnd))) return wasVisible;
  }
  QWidget* wid = w->W();
  if (!wid) return wasVisible;
  const bool top = !w->IsChild();
  bool activate = true;
  switch (cmd) {
    case SW_HIDE:
      w->style &= ~WS_VISIBLE;
      wid->hide();
      if (HWND f = FocusWindow(); f && (f == hwnd || IsChild(hwnd, f))) {
        SetFocusWindow(w->IsChild() ? w->parent : nullptr, false);
      }
      return wasVisible;
    case SW_SHOWMAXIMIZED:
      w->style = (w->style | WS_VISIBLE | WS_MAXIMIZE) & ~WS_MINIMIZE;
      if (top) wid->showMaximized();
      else wid->show();
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      w->style = (w->style | WS_VISIBLE | WS_MINIMIZE) & ~WS_MAXIMIZE;
      if (top) wid->showMinimized();
      else wid->show();
      activate = false;
      break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      w->style = (w->style | WS_VISIBLE) & ~(WS_MAXIMIZE | WS_MINIMIZE);
      if (top && (wid->isMaximized() || wid->isMinimized())) wid->showNormal();
      else wid->show();
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      activate = false;
      w->style |= WS_VISIBLE;
      wid->show();
      break;
    default:
      w->style |= WS_VISIBLE;
      wid->show();
      break;
  }
  if (!(w = Find(hwnd))) return wasVisible;
  if (!wasVisible) {
    AfterGeometryChange(*w);
    InvalidateClient(*w, QRegion(QRect(QPoint(0, 0), ClientRectInWidget(*w).size())), true);
    w->ncDirty = true;
  }
  if (top && activate && !(w->exStyle & WS_EX_NOACTIVATE)) wid->activateWindow();
  return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
  for (Window* w = Find(hwnd); w; w = w->IsChild() ? Find(w->parent) : nullptr) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!w->IsChild()) return TRUE;
  }
  return FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  const BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (static_cast<bool>(enable) == !wasDisabled) return wasDisabled;
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    if (HWND f = FocusWindow(); f && (f == hwnd || IsChild(hwnd, f))) SetFocusWindow(nullptr, false);
  }
  if ((w = Find(hwnd))) {
    if (w->cls->control && w->W()) w->W()->setEnabled(enable != FALSE);
    if (w->menuBar) w->menuBar->setEnabled(enable != FALSE);
    for (auto& s : w->scroll)
      if (s.bar) s.bar->setEnabled(enable != FALSE && s.enabled);
    Send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  }
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL IsIconic(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!w->IsChild() && w->W() && w->W()->isMaximized()) return TRUE;
  return (w->style & WS_MAXIMIZE) != 0;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = Find(hwnd);
  if (!w || !rect || !w->W()) {
    SetLastError(1400);
    return FALSE;
  }
  QWidget* wid = w->W();
  if (w->IsChild()) {
    const QPoint p = wid->mapToGlobal(QPoint(0, 0));
    *rect = RECT{p.x(), p.y(), p.x() + wid->width(), p.y() + wid->height()};
  } else {
    const QRect g = wid->geometry();
    const Insets out = OuterInsets(*w);
    *rect = RECT{g.left() - out.left, g.top() - out.top, g.left() + g.width() + out.right,
                 g.top() + g.height() + out.bottom};
  }
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) {
    SetLastError(1400);
    return FALSE;
  }
  const QRect c = ClientRectInWidget(*w);
  *rect = RECT{0, 0, c.width(), c.height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  const QPoint o = ClientOriginOnScreen(*w);
  pt->x += o.x();
  pt->y += o.y();
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  const QPoint o = ClientOriginOnScreen(*w);
  pt->x -= o.x();
  pt->y -= o.y();
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count) {
  QPoint a, b;
  if (from) {
    Window* w = Find(from);
    if (!w) return 0;
    a = ClientOriginOnScreen(*w);
  }
  if (to) {
    Window* w = Find(to);
    if (!w) return 0;
    b = ClientOriginOnScreen(*w);
  }
  const QPoint d = a - b;
  for (UINT i = 0; pts && i < count; ++i) {
    pts[i].x += d.x();
    pts[i].y += d.y();
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(d.x())), static_cast<WORD>(static_cast<SHORT>(d.y())));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Find(hwnd);
  if (!w || !w->W()) {
    SetLastError(1400);
    return FALSE;
  }
  RECT cur;
  ::GetWindowRect(hwnd, &cur);
  if (w->IsChild() && Find(w->parent)) {
    POINT tl{cur.left, cur.top};
    ::ScreenToClient(w->parent, &tl);
    cur = RECT{tl.x, tl.y, tl.x + (cur.right - cur.left), tl.y + (cur.bottom - cur.top)};
  }
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = cur.left;
    wp.y = cur.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = cur.right - cur.left;
    wp.cy = cur.bottom - cur.top;
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!(w = Find(hwnd))) return FALSE;
  }
  wp.cx = std::max(0, wp.cx);
  wp.cy = std::max(0, wp.cy);
  const bool moved = !(wp.flags & SWP_NOMOVE) && (wp.x != cur.left || wp.y != cur.top);
  const bool sized = !(wp.flags & SWP_NOSIZE) && (wp.cx != cur.right - cur.left || wp.cy != cur.bottom - cur.top);
  w->inSetPos = true;
  if (moved || sized) ApplyWindowRect(*w, QRect(wp.x, wp.y, wp.cx, wp.cy));
  const bool zorder = !(wp.flags & SWP_NOZORDER);
  if (zorder) ZOrder(*w, wp.hwndInsertAfter);
  if (wp.flags & SWP_FRAMECHANGED) {
    RelayoutNonClient(*w);
    const QRect c = ClientRectInWidget(*w);
    InvalidateClient(*w, QRegion(0, 0, c.width(), c.height()), true);
  }
  w->inSetPos = false;
  if (wp.flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (wp.flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (wp.flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (!Find(hwnd)) return TRUE;
  // A move or size asked for is reported even when the window kept its
  // place (a combo box keeps its height and makes the request its list's).
  const bool asked = !(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE);
  if (moved || sized || zorder || asked || (wp.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)))
    Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if ((w = Find(hwnd)) && (moved || sized) && !(wp.flags & SWP_NOREDRAW) && w->W()) w->W()->update();
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
  Window* w = Find(hwnd);
  if (!w || !wp) return FALSE;
  wp->flags = 0;
  wp->showCmd = !(w->style & WS_VISIBLE) ? SW_HIDE
                : IsZoomed(hwnd)          ? SW_SHOWMAXIMIZED
                : IsIconic(hwnd)          ? SW_SHOWMINIMIZED
                                          : SW_SHOWNORMAL;
  RECT r;
  ::GetWindowRect(hwnd, &r);
  if (w->IsChild() && Find(w->parent)) {
    POINT tl{r.left, r.top};
    ::ScreenToClient(w->parent, &tl);
    r = RECT{tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top)};
  } else if (w->W() && w->W()->isMaximized()) {
    const QRect n = w->W()->normalGeometry();
    const Insets out = OuterInsets(*w);
    if (n.isValid())
      r = RECT{n.left() - out.left, n.top() - out.top, n.left() + n.width() + out.right,
               n.top() + n.height() + out.bottom};
  }
  wp->rcNormalPosition = r;
  wp->ptMinPosition = POINT{-1, -1};
  wp->ptMaxPosition = POINT{-1, -1};
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
  if (!wp || !Find(hwnd)) return FALSE;
  const RECT& r = wp->rcNormalPosition;
  MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  ShowWindow(hwnd, static_cast<int>(wp->showCmd));
  return TRUE;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
  Window* w = Find(parent);
  if (!w) return nullptr;
  RECT cr;
  ::GetClientRect(parent, &cr);
  for (HWND c : w->children) {
    RECT r;
    ::GetWindowRect(c, &r);
    POINT tl{r.left, r.top};
    ::ScreenToClient(parent, &tl);
    const RECT rc{tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top)};
    if (::PtInRect(&rc, pt)) return c;
  }
  RECT wr;
  ::GetWindowRect(parent, &wr);
  POINT s = pt;
  ::ClientToScreen(parent, &s);
  return ::PtInRect(&wr, s) ? parent : nullptr;
}

HWND WindowFromPoint(POINT pt) {
  std::vector<HWND> tops;
  for (HWND h : AllWindows())
    if (Window* w = Find(h); w && !w->IsChild() && (w->style & WS_VISIBLE)) tops.push_back(h);
  std::reverse(tops.begin(), tops.end());
  for (HWND h : tops) {
    RECT r;
    ::GetWindowRect(h, &r);
    if (!::PtInRect(&r, pt)) continue;
    HWND cur = h;
    for (;;) {
      Window* w = Find(cur);
      HWND next = nullptr;
      for (HWND c : w->children) {
        Window* cw = Find(c);
        if (!cw || !(cw->style & WS_VISIBLE) || (cw->style & WS_DISABLED)) continue;
        RECT cr;
        ::GetWindowRect(c, &cr);
        if (::PtInRect(&cr, pt)) {
          next = c;
          break;
        }
      }
      if (!next) return cur;
      cur = next;
    }
  }
  return nullptr;
}

HWND GetActiveWindow() {
  QWidget* a = QApplication::activeWindow();
  Window* w = FromWidget(a);
  return w ? GetAncestor(w->hwnd, GA_ROOT) : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  const HWND old = GetActiveWindow();
  Window* w = Find(GetAncestor(hwnd, GA_ROOT));
  if (w && w->W()) w->W()->activateWindow();
  return old;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }
BOOL SetForegroundWindow(HWND hwnd) {
  if (!Find(hwnd)) return FALSE;
  SetActiveWindow(hwnd);
  return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(1400);
    return FALSE;
  }
  if (!(w->exStyle & WS_EX_LAYERED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (flags & LWA_COLORKEY) {
    // Colour-keyed transparency is not offered by the stand-in.
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  w->layered = true;
  w->colorKey = key;
  w->alpha = (flags & LWA_ALPHA) ? alpha : 255;
  w->layeredFlags = flags;
  if (QWidget* wid = w->W()) {
    if (w->IsChild()) {
      // A child window has no window opacity of its own: its backing image
      // is painted at the alpha over what the parent painted beneath it, so
      // the parent must paint that area first.
      const bool opaque = w->alpha == 255;
      wid->setAttribute(Qt::WA_OpaquePaintEvent, opaque);
      wid->setAttribute(Qt::WA_NoSystemBackground, opaque);
      wid->update();
    } else {
      ApplyWindowOpacity(wid, w->alpha / 255.0);
    }
  }
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  Window* w = Find(hwnd);
  if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
  if (key) *key = w->colorKey;
  if (alpha) *alpha = w->alpha;
  if (flags) *flags = w->layeredFlags;
  return TRUE;
}

bool QmLayeredWindowsAvailable() { return g_layeredAvailable; }
void QmSetLayeredWindowsAvailable(bool available) { g_layeredAvailable = available; }
