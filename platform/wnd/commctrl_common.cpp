// What the common controls share: their widget, window facts, notifications
// to the parent, small drawing helpers, the registration of every control
// class, and the painting rule of the controls Qt draws (a subclass that
// paints runs the control's own look first through Default()).
#include <QEvent>
#include <QPainter>
#include <QString>

#include <algorithm>

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

// The own look of a control that Qt draws, put into the window's backing
// image: what Default() does for WM_PAINT when a subclass paints the control,
// so that the subclass can draw over it.
void DrawQtLook(Window& w) {
  QWidget* wid = w.W();
  if (!wid || !w.cls->control || !w.cls->control->QtPaints(w.hwnd)) return;
  EnsureImage(w);
  // The stand-in's filter would take the paint event for the window: let Qt
  // have it while the widget renders itself.
  std::vector<QObject*> filters;
  for (QObject* o : wid->children())
    if (dynamic_cast<ControlFilter*>(o)) filters.push_back(o);
  for (QObject* f : filters) wid->removeEventFilter(f);
  QImage look = w.image.copy();
  wid->render(&look, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  for (QObject* f : filters) wid->installEventFilter(f);
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
