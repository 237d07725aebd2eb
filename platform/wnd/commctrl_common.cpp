// What the common controls share: their widget, window facts, notifications
// to the parent, small drawing helpers, the registration of every control
// class, and the painting rule of the controls Qt draws (a subclass that
// paints runs the control's own look first through Default()).
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/gdi/internal.h"
#include "platform/wnd/commctrl_internal.h"

namespace qmwnd {

namespace cc {

DrawnWidget::DrawnWidget(QWidget* parent, Qt::WindowFlags flags, std::unique_ptr<CtlState> state)
    : QWidget(parent, flags), state_(std::move(state)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

bool DrawnWidget::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      e->accept();
      return true;
    default:
      return QWidget::event(e);
  }
}

QWidget* DrawnClass::MakeWidget(const CREATESTRUCT& cs, QWidget* parent, std::unique_ptr<CtlState> state,
                                bool focusable) {
  const DWORD style = static_cast<DWORD>(cs.style);
  auto* w = new DrawnWidget(parent, (style & WS_CHILD) ? Qt::Widget : Qt::Window, std::move(state));
  if (!focusable) w->setFocusPolicy(Qt::NoFocus);
  else w->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  return w;
}

DWORD StyleOf(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->style : 0;
}

DWORD ExStyleOf(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->exStyle : 0;
}

bool Enabled(HWND hwnd) { return Find(hwnd) && !(StyleOf(hwnd) & WS_DISABLED); }

bool Focused(HWND hwnd) { return hwnd && FocusWindow() == hwnd; }

int CtlId(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? static_cast<int>(w->id) : 0;
}

HWND ParentOf(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  return w->IsChild() ? w->parent : w->owner;
}

RECT ClientOf(HWND hwnd) {
  RECT r{0, 0, 0, 0};
  ::GetClientRect(hwnd, &r);
  return r;
}

HFONT FontOf(HWND hwnd) {
  Window* w = Find(hwnd);
  if (w && w->font) return w->font;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

TEXTMETRIC MetricsOf(HFONT font) {
  TEXTMETRIC tm{};
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return tm;
  HGDIOBJ old = SelectObject(dc, font);
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm;
}

int TextWidth(HFONT font, const CString& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE sz{0, 0};
  GetTextExtentPoint32(dc, text.GetString(), text.GetLength(), &sz);
  SelectObject(dc, old);
  DeleteDC(dc);
  return sz.cx;
}

LRESULT Notify(HWND from, UINT code, NMHDR* nm) {
  const HWND parent = ParentOf(from);
  if (!parent || !Find(parent)) return 0;
  nm->hwndFrom = from;
  nm->idFrom = static_cast<UINT_PTR>(CtlId(from));
  nm->code = code;
  EnterDispatch();
  const LRESULT r = Send(parent, WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm));
  LeaveDispatch();
  return r;
}

void Command(HWND from, UINT code) { QmNotifyParent(from, code); }

void ScrollToParent(HWND from, bool vertical, UINT code, int pos) {
  const HWND parent = ParentOf(from);
  if (!parent || !Find(parent)) return;
  EnterDispatch();
  Send(parent, vertical ? WM_VSCROLL : WM_HSCROLL,
       MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(static_cast<short>(pos))), reinterpret_cast<LPARAM>(from));
  LeaveDispatch();
}

void FillSolid(HDC dc, const RECT& r, COLORREF c) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  const COLORREF old = SetBkColor(dc, c);
  ExtTextOut(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void Frame(HDC dc, const RECT& r, COLORREF c) {
  LineH(dc, r.left, r.right, r.top, c);
  LineH(dc, r.left, r.right, r.bottom - 1, c);
  LineV(dc, r.left, r.top, r.bottom, c);
  LineV(dc, r.right - 1, r.top, r.bottom, c);
}

void LineH(HDC dc, int x0, int x1, int y, COLORREF c) {
  const RECT r{x0, y, x1, y + 1};
  FillSolid(dc, r, c);
}

void LineV(HDC dc, int x, int y0, int y1, COLORREF c) {
  const RECT r{x, y0, x + 1, y1};
  FillSolid(dc, r, c);
}

void DrawCellText(HDC dc, const CString& text, RECT r, UINT align) {
  if (text.IsEmpty() || r.right <= r.left) return;
  DrawText(dc, text.GetString(), text.GetLength(), &r,
           align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Arrow(HDC dc, int cx, int cy, int size, int direction, COLORREF c) {
  // Rows of a triangle pointing in the direction, size rows deep.
  for (int i = 0; i < size; ++i) {
    const int half = (direction == 0 || direction == 2) ? i : size - 1 - i;
    switch (direction) {
      case 0:
      case 1:
        LineH(dc, cx - half, cx + half + 1, cy - size / 2 + i, c);
        break;
      default:
        LineV(dc, cx - size / 2 + i, cy - half, cy + half + 1, c);
        break;
    }
  }
}

int CompareNoCase(const CString& a, const CString& b) {
  return QString::compare(QmToQString(a.GetString()), QmToQString(b.GetString()), Qt::CaseInsensitive);
}

bool ScrollTarget(HWND hwnd, int bar, UINT code, int cur, int line, int* to) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(hwnd, bar, &si);
  const int page = std::max(1, static_cast<int>(si.nPage));
  switch (code) {
    case SB_LINEUP: *to = cur - line; return true;
    case SB_LINEDOWN: *to = cur + line; return true;
    case SB_PAGEUP: *to = cur - page; return true;
    case SB_PAGEDOWN: *to = cur + page; return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: *to = si.nTrackPos; return true;
    case SB_TOP: *to = si.nMin; return true;
    case SB_BOTTOM: *to = si.nMax; return true;
    default: return false;
  }
}

bool ScrolledFirstLine(HWND hwnd, UINT message, WPARAM wParam, int cur, int* to) {
  if (message == WM_MOUSEWHEEL) {
    *to = cur + WheelScrollLines(wParam);
    return true;
  }
  return ScrollTarget(hwnd, message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam), cur, 1, to);
}

void Redraw(HWND hwnd, const RECT* part) { ::InvalidateRect(hwnd, part, FALSE); }

void SetBar(HWND hwnd, int bar, int min, int max, int page, int pos) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = min;
  si.nMax = max;
  si.nPage = static_cast<UINT>(std::max(0, page));
  si.nPos = pos;
  Window* w = Find(hwnd);
  if (!w) return;
  const ScrollState& s = w->scroll[bar];
  const bool same = s.min == min && s.max == max && s.page == si.nPage && s.pos == pos;
  const bool wanted = max >= min && (page == 0 || page <= max - min);
  if (same && s.shown == wanted) return;
  ::SetScrollInfo(hwnd, bar, &si, TRUE);
}

}  // namespace cc

// Registers the drawn common controls in place of their place-holders.
void RegisterCommonControls() {
  cc::RegisterListViewClasses();
  cc::RegisterTreeClass();
  cc::RegisterBarClasses();
  cc::RegisterListBoxClass();
  cc::RegisterComboClasses();
  cc::RegisterRichEditClass();
}

namespace {

// The look of a control as Qt last rendered it outside a paint event, kept
// for the paints that come from the control's own paint event.
struct CQtLook {
  QPointer<QWidget> widget;
  QImage image;
  bool refreshQueued = false;
};

std::unordered_map<HWND, CQtLook>& QtLooks() {
  static std::unordered_map<HWND, CQtLook> looks;
  return looks;
}

QImage RenderQtLook(Window& w, QWidget* wid) {
  // The stand-in's filter would take the paint event for the window: let Qt
  // have it while the widget renders itself.
  std::vector<QObject*> filters;
  for (QObject* o : wid->children())
    if (dynamic_cast<ControlFilter*>(o)) filters.push_back(o);
  for (QObject* f : filters) wid->removeEventFilter(f);
  QImage look = w.image.copy();
  wid->render(&look, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  for (QObject* f : filters) wid->installEventFilter(f);
  return look;
}

// After a paint that used the kept look: render it again, outside any paint
// event, and repaint the control when it changed.
void RefreshQtLook(HWND hwnd) {
  auto it = QtLooks().find(hwnd);
  if (it == QtLooks().end()) return;
  it->second.refreshQueued = false;
  Window* w = Find(hwnd);
  QWidget* wid = w ? w->W() : nullptr;
  if (!wid) {
    QtLooks().erase(it);
    return;
  }
  if (wid->testAttribute(Qt::WA_WState_InPaintEvent)) return;
  EnsureImage(*w);
  QImage fresh = RenderQtLook(*w, wid);
  it = QtLooks().find(hwnd);
  if (it == QtLooks().end() || (it->second.widget == wid && it->second.image == fresh)) return;
  it->second.widget = wid;
  it->second.image = std::move(fresh);
  ::InvalidateRect(hwnd, nullptr, FALSE);
}

}  // namespace

// The own look of a control that Qt draws, put into the window's backing
// image: what Default() does for WM_PAINT when a subclass paints the control,
// so that the subclass can draw over it. From the control's own paint event
// (the usual case: Qt paints, the subclass's WM_PAINT calls Default()) the
// widget cannot render itself again (Qt would end the paint under way): the
// look kept from the last rendering is used, and a fresh one is rendered
// just after the paint (the control repaints once more if it changed).
void DrawQtLook(Window& w) {
  QWidget* wid = w.W();
  if (!wid || !w.cls->control || !w.cls->control->QtPaints(w.hwnd)) return;
  EnsureImage(w);
  QImage look;
  CQtLook& kept = QtLooks()[w.hwnd];
  if (!wid->testAttribute(Qt::WA_WState_InPaintEvent)) {
    look = RenderQtLook(w, wid);
    kept.widget = wid;
    kept.image = look;
  } else {
    if (kept.widget == wid && kept.image.size() == w.image.size()) look = kept.image;
    if (!kept.refreshQueued) {
      kept.refreshQueued = true;
      const HWND hwnd = w.hwnd;
      QTimer::singleShot(0, wid, [hwnd] { RefreshQtLook(hwnd); });
    }
    if (look.isNull()) return;
  }
  // Only the part being painted changes.
  const QRect client = ClientRectInWidget(w);
  QRegion part = w.invalid.translated(client.topLeft());
  if (part.isEmpty()) part = QRegion(wid->rect());
  QPainter p(&w.image);
  p.setClipRegion(part);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, look);
}

}  // namespace qmwnd

void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
  if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
