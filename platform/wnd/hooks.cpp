// The low-level mouse hook over an application-wide event filter.
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <vector>

#include "platform/base/files.h"
#include "platform/wnd/commctl_internal.h"
#include "platform/wnd/hooks.h"

namespace {

struct Hook {
  HHOOK handle;
  HOOKPROC proc;
};

std::vector<Hook>& Chain() {  // the newest first
  static auto* chain = new std::vector<Hook>;
  return *chain;
}

std::uintptr_t g_nextHook = 0x7A000;

UINT PressMessage(QEvent::Type type, Qt::MouseButton button) {
  const bool down = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  switch (button) {
    case Qt::LeftButton: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Qt::RightButton: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case Qt::MiddleButton: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return 0;
  }
}

LRESULT CallFrom(size_t i, int code, WPARAM wParam, LPARAM lParam) {
  if (i >= Chain().size()) return 0;
  const Hook h = Chain()[i];
  return h.proc ? h.proc(code, wParam, lParam) : 0;
}

// Sees each press once: an event passed on to a parent widget is the same
// press again.
class MouseHookFilter : public QObject {
 public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (Chain().empty() || !o->isWidgetType()) return false;
    const QEvent::Type t = e->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonDblClick)
      return false;
    auto* me = static_cast<QMouseEvent*>(e);
    const QPoint global = me->globalPosition().toPoint();
    auto* w = static_cast<QWidget*>(o);
    if (last_ && t == lastType_ && me->button() == lastButton_ && global == lastPoint_ &&
        me->timestamp() == lastTime_ && w->isAncestorOf(last_))
      return false;
    last_ = w;
    lastType_ = t;
    lastButton_ = me->button();
    lastPoint_ = global;
    lastTime_ = me->timestamp();
    const UINT message = PressMessage(t, me->button());
    if (!message) return false;
    qmwnd::EnterDispatch();
    const bool eat = CallMouseHooksResult(message, POINT{global.x(), global.y()});
    qmwnd::LeaveDispatch();
    return eat;
  }
  static bool CallMouseHooksResult(UINT message, POINT pt) {
    MSLLHOOKSTRUCT s{};
    s.pt = pt;
    s.time = GetTickCount();
    return CallFrom(0, HC_ACTION, message, reinterpret_cast<LPARAM>(&s)) != 0;
  }

 private:
  QPointer<QWidget> last_;
  QEvent::Type lastType_ = QEvent::None;
  Qt::MouseButton lastButton_ = Qt::NoButton;
  QPoint lastPoint_;
  quint64 lastTime_ = 0;
};

void EnsureFilter() {
  static MouseHookFilter* filter = nullptr;
  if (filter || !QCoreApplication::instance()) return;
  filter = new MouseHookFilter;
  filter->setParent(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QObject::connect(app, &QGuiApplication::applicationStateChanged, filter, [](Qt::ApplicationState state) {
      if (state != Qt::ApplicationActive) QmSimulateDeactivation();
    });
  }
}

}  // namespace

namespace qmwnd {
void CallMouseHooks(UINT message, POINT screen) {
  EnterDispatch();
  MouseHookFilter::CallMouseHooksResult(message, screen);
  LeaveDispatch();
}
}  // namespace qmwnd

void QmSimulateDeactivation() {
  if (!Chain().empty()) qmwnd::CallMouseHooks(WM_LBUTTONDOWN, POINT{-32000, -32000});
}

HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD) {
  if (idHook != WH_MOUSE_LL) {
    std::fprintf(stderr, "SetWindowsHookEx: hooks of kind %d are not available on this system\n", idHook);
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if (!lpfn) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  EnsureFilter();
  g_nextHook += 4;
  const HHOOK h = reinterpret_cast<HHOOK>(g_nextHook);
  Chain().insert(Chain().begin(), Hook{h, lpfn});
  return h;
}

BOOL UnhookWindowsHookEx(HHOOK hhk) {
  auto& chain = Chain();
  for (auto it = chain.begin(); it != chain.end(); ++it) {
    if (it->handle == hhk) {
      chain.erase(it);
      return TRUE;
    }
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
  const auto& chain = Chain();
  for (size_t i = 0; i < chain.size(); ++i)
    if (chain[i].handle == hhk) return CallFrom(i + 1, nCode, wParam, lParam);
  return 0;
}
