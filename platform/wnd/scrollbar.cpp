// The scroll bars that windows with WS_HSCROLL / WS_VSCROLL carry in their
// non-client area: Qt scroll bars whose actions become WM_HSCROLL and
// WM_VSCROLL, and whose position is the one the program sets.
#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

#include "platform/wnd/internal.h"

namespace qmwnd {

namespace {

int MaxPos(const ScrollState& s) { return std::max(s.min, s.max - std::max<int>(static_cast<int>(s.page) - 1, 0)); }

bool RangeEmpty(const ScrollState& s) {
  return s.max <= s.min || (s.page != 0 && static_cast<long long>(s.page) > static_cast<long long>(s.max) - s.min);
}

void SendScroll(HWND hwnd, int bar, UINT code, int pos) {
  if (!Find(hwnd)) return;
  Send(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL,
       MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(static_cast<short>(pos))), 0);
}

class BarFilter : public QObject {
 public:
  BarFilter(HWND hwnd, int bar, QObject* parent) : QObject(parent), hwnd_(hwnd), bar_(bar) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    // A window that takes no input (a modal dialog's owner) keeps its bars still.
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
        if (Window* w = Find(hwnd_); !w || InputBlocked(*w)) return true;
        break;
      default:
        break;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
      auto* sb = static_cast<QScrollBar*>(o);
      if (!sb->isSliderDown()) {
        EnterDispatch();
        SendScroll(hwnd_, bar_, SB_ENDSCROLL, 0);
        LeaveDispatch();
      }
    }
    return false;
  }

 private:
  HWND hwnd_;
  int bar_;
};

void OnAction(HWND hwnd, int bar, int action) {
  Window* w = Find(hwnd);
  if (!w) return;
  ScrollState& s = w->scroll[bar];
  QScrollBar* sb = s.bar;
  if (!sb) return;
  UINT code = 0;
  int pos = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove:
      code = SB_THUMBTRACK;
      pos = sb->sliderPosition();
      s.trackPos = pos;
      s.tracking = true;
      break;
    default: return;
  }
  EnterDispatch();
  SendScroll(hwnd, bar, code, pos);
  // The window decides the position (SetScrollPos); tracking keeps the thumb
  // where the mouse has it.
  if ((w = Find(hwnd)) && w->scroll[bar].bar && code != SB_THUMBTRACK)
    w->scroll[bar].bar->setSliderPosition(w->scroll[bar].pos);
  LeaveDispatch();
}

void OnReleased(HWND hwnd, int bar) {
  Window* w = Find(hwnd);
  if (!w) return;
  ScrollState& s = w->scroll[bar];
  const int pos = s.trackPos;
  s.tracking = false;
  EnterDispatch();
  SendScroll(hwnd, bar, SB_THUMBPOSITION, pos);
  SendScroll(hwnd, bar, SB_ENDSCROLL, 0);
  if ((w = Find(hwnd)) && w->scroll[bar].bar) w->scroll[bar].bar->setSliderPosition(w->scroll[bar].pos);
  LeaveDispatch();
}

}  // namespace

void SyncScrollBar(Window& w, int bar) {
  ScrollState& s = w.scroll[bar];
  QWidget* wid = w.W();
  if (!wid) return;
  if (!s.shown) {
    if (s.bar) s.bar->hide();
    return;
  }
  if (!s.bar) {
    s.bar = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, wid);
    s.bar->setFocusPolicy(Qt::NoFocus);
    s.bar->setTracking(true);
    const HWND hwnd = w.hwnd;
    QObject::connect(s.bar, &QAbstractSlider::actionTriggered, s.bar, [hwnd, bar](int a) { OnAction(hwnd, bar, a); });
    QObject::connect(s.bar, &QAbstractSlider::sliderReleased, s.bar, [hwnd, bar] { OnReleased(hwnd, bar); });
    s.bar->installEventFilter(new BarFilter(hwnd, bar, s.bar));
  }
  const QRect c = ClientRectInWidget(w);
  const int sx = GetSystemMetrics(SM_CXVSCROLL), sy = GetSystemMetrics(SM_CYHSCROLL);
  if (bar == SB_VERT) s.bar->setGeometry(c.right() + 1, c.top(), sx, c.height());
  else s.bar->setGeometry(c.left(), c.bottom() + 1, c.width(), sy);
  const QSignalBlocker block(s.bar);
  s.bar->setRange(s.min, MaxPos(s));
  s.bar->setPageStep(s.page ? static_cast<int>(s.page) : std::max(1, (s.max - s.min) / 10));
  s.bar->setSingleStep(1);
  if (!s.tracking) s.bar->setSliderPosition(s.pos);
  s.bar->setEnabled(s.enabled && !RangeEmpty(s) && !(w.style & WS_DISABLED));
  s.bar->show();
}

namespace {

void SetShown(Window& w, int bar, bool show) {
  ScrollState& s = w.scroll[bar];
  if (s.shown == show) return;
  const QSize before = ClientRectInWidget(w).size();
  s.shown = show;
  const DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  if (show) w.style |= bit;
  else w.style &= ~bit;
  RelayoutNonClient(w);
  const QSize after = ClientRectInWidget(w).size();
  if (after != before) {
    QRegion grown = QRegion(0, 0, after.width(), after.height()) - QRegion(0, 0, before.width(), before.height());
    if (!grown.isEmpty()) InvalidateClient(w, grown, true);
    if (w.createdDone) SendSizeMove(w, false);
  }
}

ScrollState* StateOf(HWND hwnd, int bar, Window** out) {
  Window* w = Find(hwnd);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
  if (out) *out = w;
  return &w->scroll[bar];
}

}  // namespace

}  // namespace qmwnd

using namespace qmwnd;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL) {
  if (!info) return 0;
  if (bar == SB_CTL) return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(info)));
  Window* w = nullptr;
  ScrollState* s = StateOf(hwnd, bar, &w);
  if (!s) return 0;
  const HWND h = hwnd;
  if (info->fMask & SIF_RANGE) {
    s->min = info->nMin;
    s->max = info->nMax;
  }
  if (info->fMask & SIF_PAGE) s->page = info->nPage;
  if (info->fMask & SIF_POS) s->pos = info->nPos;
  const int maxPos = std::max(s->min, s->max - std::max<int>(static_cast<int>(s->page) - 1, 0));
  s->pos = std::clamp(s->pos, s->min, maxPos);
  const bool empty = s->max <= s->min || (s->page != 0 && static_cast<long long>(s->page) > static_cast<long long>(s->max) - s->min);
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
    if (empty && !(info->fMask & SIF_DISABLENOSCROLL)) {
      SetShown(*w, bar, false);
    } else {
      SetShown(*w, bar, true);
    }
  }
  if ((w = Find(h))) SyncScrollBar(*w, bar);
  w = Find(h);
  return w ? w->scroll[bar].pos : 0;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  if (!info) return FALSE;
  if (bar == SB_CTL) return SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) != 0;
  ScrollState* s = StateOf(hwnd, bar, nullptr);
  if (!s) return FALSE;
  if (info->fMask & SIF_RANGE) {
    info->nMin = s->min;
    info->nMax = s->max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s->page;
  if (info->fMask & SIF_POS) info->nPos = s->pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s->tracking ? s->trackPos : s->pos;
  return TRUE;
}

int GetScrollPos(HWND hwnd, int bar) {
  if (bar == SB_CTL) return static_cast<int>(SendMessage(hwnd, SBM_GETPOS, 0, 0));
  ScrollState* s = StateOf(hwnd, bar, nullptr);
  return s ? s->pos : 0;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  if (bar == SB_CTL) return static_cast<int>(SendMessage(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
  ScrollState* s = StateOf(hwnd, bar, nullptr);
  if (!s) return 0;
  const int old = s->pos;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
  if (bar == SB_CTL) {
    SendMessage(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos), reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
  }
  ScrollState* s = StateOf(hwnd, bar, nullptr);
  if (!s) return FALSE;
  if (minPos) *minPos = s->min;
  if (maxPos) *maxPos = s->max;
  return TRUE;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  if (bar == SB_CTL) {
    SendMessage(hwnd, SBM_SETRANGE, static_cast<WPARAM>(minPos), static_cast<LPARAM>(maxPos));
    return TRUE;
  }
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  ScrollState* s = StateOf(hwnd, bar, nullptr);
  if (!s) return FALSE;
  // SetScrollRange keeps the page.
  si.fMask |= SIF_PAGE;
  si.nPage = s->page;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL) return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE), TRUE;
  if (bar == SB_HORZ || bar == SB_BOTH) SetShown(*w, SB_HORZ, show != FALSE);
  if ((w = Find(hwnd)) && (bar == SB_VERT || bar == SB_BOTH)) SetShown(*w, SB_VERT, show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, int bar, UINT arrows) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  for (int b = SB_HORZ; b <= SB_VERT; ++b) {
    if (bar != SB_BOTH && bar != b) continue;
    w->scroll[b].enabled = arrows != ESB_DISABLE_BOTH;
    SyncScrollBar(*w, b);
  }
  return TRUE;
}
