// Sending, posting and dispatching messages, the default window procedure,
// registered messages, timers, accelerators, idle processing and the hooks
// the stand-in hangs on Qt's event loop.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QGuiApplication>
#include <QCursor>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/base/msgbox.h"
#include "platform/wnd/app.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

// ---------------------------------------------------------------------------
// The messages being handled, innermost last.

namespace {

struct Frame {
  MSG msg;
  bool* defaultReached;
};

std::vector<Frame>& Frames() {
  static auto* f = new std::vector<Frame>;
  return *f;
}

MSG g_lastQueued{};
bool g_idlePending = true;
POINT g_lastMovePt{-1, -1};
HWND g_lastMoveHwnd = nullptr;
int g_postedOutstanding = 0;

LRESULT CALLBACK_AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

std::vector<HWND>& ModalStack() {
  static auto* v = new std::vector<HWND>;
  return *v;
}

void MarkIdle() { g_idlePending = true; }

LRESULT SendFrame(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool* defaultReached) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  EnterDispatch();
  ++w->busy;
  MSG m{};
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = g_lastQueued.time;
  m.pt = g_lastQueued.pt;
  Frames().push_back(Frame{m, defaultReached});
  LRESULT r = 0;
  if (w->subclassProc) {
    r = w->subclassProc(hwnd, message, wParam, lParam);
  } else if (w->perm) {
    r = w->perm->WindowProc(message, wParam, lParam);
  } else if (WNDPROC p = w->ClassProc(); p && p != ::DefWindowProc) {
    r = p(hwnd, message, wParam, lParam);
  } else {
    r = DefProc(*w, message, wParam, lParam);
  }
  Frames().pop_back();
  --w->busy;
  LeaveDispatch();
  return r;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendFrame(hwnd, message, wParam, lParam, nullptr);
}

const MSG* CurrentMessage() { return Frames().empty() ? &g_lastQueued : &Frames().back().msg; }

void MarkDefault(HWND hwnd, UINT message) {
  if (Frames().empty()) return;
  Frame& f = Frames().back();
  if (f.defaultReached && f.msg.hwnd == hwnd && f.msg.message == message) *f.defaultReached = true;
}

namespace {

LRESULT CALLBACK_AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(hwnd);
  if (w && w->perm) return w->perm->WindowProc(message, wParam, lParam);
  return ::DefWindowProc(hwnd, message, wParam, lParam);
}

BOOL PreTranslate(MSG* m) {
  if (CWinThread* t = AfxGetThread()) return t->PreTranslateMessage(m);
  return CWnd::WalkPreTranslateTree(nullptr, m);
}

}  // namespace

WNDPROC AfxWndProcFor(const Window& w) { return w.perm ? CALLBACK_AfxWndProc : w.ClassProc(); }

bool SendQueued(const MSG& msg, bool* passToQt) {
  if (passToQt) *passToQt = false;
  if (msg.hwnd && !Find(msg.hwnd)) return true;
  // Moves to the same place do not count as activity (no idle run after them).
  if (msg.message == WM_MOUSEMOVE) {
    const POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (p.x != g_lastMovePt.x || p.y != g_lastMovePt.y || msg.hwnd != g_lastMoveHwnd) MarkIdle();
    g_lastMovePt = p;
    g_lastMoveHwnd = msg.hwnd;
  } else if (msg.message != WM_PAINT) {
    MarkIdle();
  }
  EnterDispatch();
  MSG m = msg;
  m.time = static_cast<DWORD>(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFF);
  GetCursorPos(&m.pt);
  g_lastQueued = m;
  const bool taken = PreTranslate(&m) != FALSE;
  if (!taken) {
    if (m.message == WM_TIMER && m.lParam) {
      reinterpret_cast<TIMERPROC>(m.lParam)(m.hwnd, WM_TIMER, static_cast<UINT_PTR>(m.wParam), m.time);
    } else if (m.hwnd) {
      bool reached = false;
      SendFrame(m.hwnd, m.message, m.wParam, m.lParam, &reached);
      if (passToQt) *passToQt = reached;
    }
  }
  LeaveDispatch();
  return !taken;
}

// ---------------------------------------------------------------------------
// Posting.

namespace {

const QEvent::Type kPostedType = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kModalHookType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedEvent : public QEvent {
 public:
  explicit PostedEvent(const MSG& m) : QEvent(kPostedType), msg(m) {}
  MSG msg;
};

class ModalHookEvent : public QEvent {
 public:
  explicit ModalHookEvent(HWND h) : QEvent(kModalHookType), hwnd(h) {}
  HWND hwnd;
};

QmModalHook g_modalHook;

// WM_QUIT: modal loops end, and so does the main loop when it runs. (Qt's
// own exit outside its main loop would stop every later event loop.)
int g_runDepth = 0;
bool g_quitPending = false;
int g_quitCode = 0;

void Quit(int code) {
  g_quitPending = true;
  g_quitCode = code;
  const std::vector<HWND> modal = ModalStack();
  for (auto it = modal.rbegin(); it != modal.rend(); ++it)
    if (Window* w = Find(*it); w && w->perm) w->perm->EndModalLoop(-1);
  if (g_runDepth > 0) QCoreApplication::exit(code);
}

class Dispatcher : public QObject {
 public:
  void customEvent(QEvent* e) override {
    if (e->type() == kPostedType) {
      --g_postedOutstanding;
      const MSG m = static_cast<PostedEvent*>(e)->msg;
      if (m.message == WM_QUIT) {
        Quit(static_cast<int>(m.wParam));
        return;
      }
      SendQueued(m, nullptr);
    } else if (e->type() == kModalHookType) {
      const HWND h = static_cast<ModalHookEvent*>(e)->hwnd;
      if (g_modalHook && Find(h)) {
        QmModalHook hook = g_modalHook;
        hook(h);
      }
    }
  }
};

Dispatcher* TheDispatcher() {
  static Dispatcher* d = nullptr;
  if (!d && QCoreApplication::instance()) {
    d = new Dispatcher;
    // Lives as long as the application; removed with it.
    d->setParent(QCoreApplication::instance());
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] { d = nullptr; });
  }
  return d;
}

}  // namespace

void PostModalHook(HWND hwnd) {
  if (!g_modalHook) return;
  if (Dispatcher* d = TheDispatcher()) QCoreApplication::postEvent(d, new ModalHookEvent(hwnd));
}

// ---------------------------------------------------------------------------
// Idle processing.

namespace {
bool g_inIdle = false;
std::vector<std::unique_ptr<QObject>>& Graveyard() {
  static auto* g = new std::vector<std::unique_ptr<QObject>>;
  return *g;
}
}  // namespace

void Bury(QObject* o) {
  if (o) Graveyard().emplace_back(o);
}

void FlushGraveyard() {
  if (Graveyard().empty()) return;
  auto g = std::move(Graveyard());
  Graveyard().clear();
  g.clear();
}

void RunIdle(bool force) {
  if (g_inIdle || (!g_idlePending && !force)) return;
  g_inIdle = true;
  g_idlePending = false;
  EnterDispatch();
  if (!ModalStack().empty()) {
    const HWND top = ModalStack().back();
    if (Find(top)) Send(top, WM_KICKIDLE, MSGF_DIALOGBOX, 0);
  } else if (CWinThread* t = AfxGetThread()) {
    for (LONG n = 0; n < 16 && t->OnIdle(n); ++n) {
    }
  } else if (CWnd* main = AfxGetMainWnd()) {
    if (main->m_hWnd) {
      Send(main->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
      main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
  }
  LeaveDispatch();
  g_inIdle = false;
}

// ---------------------------------------------------------------------------
// Set-up.

IWindowDCProvider* TheDCProvider();
void InstallGlobalFilter();

void EnsureInit() {
  static bool done = false;
  if (done || !QCoreApplication::instance()) return;
  done = true;
  RegisterBuiltinClasses();
  SetWindowDCProvider(TheDCProvider());
  SetWindowHandleFn([](CWnd* w) -> HWND { return w ? w->m_hWnd : nullptr; });
  TheDispatcher();
  SetMessageBoxOwnerResolver([](HWND owner) -> void* { return QmWidgetOf(owner); });
  QGuiApplication::setQuitOnLastWindowClosed(false);
  if (QAbstractEventDispatcher* ed = QAbstractEventDispatcher::instance()) {
    QObject::connect(ed, &QAbstractEventDispatcher::aboutToBlock, [] {
      FlushGraveyard();
      RunIdle(false);
    });
  }
  InstallGlobalFilter();
}

// ---------------------------------------------------------------------------
// Timers.

void DisposeTimers(Window& w) {
  for (auto& [id, t] : w.timers) {
    if (t.timer) {
      t.timer->stop();
      QObject::disconnect(t.timer.get(), nullptr, nullptr, nullptr);
      Bury(t.timer.release());
    }
  }
  w.timers.clear();
}

namespace {

struct ThreadTimer {
  std::unique_ptr<QTimer> timer;
  TIMERPROC proc = nullptr;
};
std::map<UINT_PTR, ThreadTimer>& ThreadTimers() {
  static auto* m = new std::map<UINT_PTR, ThreadTimer>;
  return *m;
}
UINT_PTR g_nextThreadTimer = 0x7FF0;

void FireTimer(HWND hwnd, UINT_PTR id) {
  Window* w = Find(hwnd);
  if (!w) return;
  auto it = w->timers.find(id);
  if (it == w->timers.end()) return;
  MSG m{};
  m.hwnd = hwnd;
  m.message = WM_TIMER;
  m.wParam = id;
  m.lParam = reinterpret_cast<LPARAM>(it->second.proc);
  SendQueued(m, nullptr);
}

void FireThreadTimer(UINT_PTR id) {
  auto it = ThreadTimers().find(id);
  if (it == ThreadTimers().end()) return;
  MSG m{};
  m.message = WM_TIMER;
  m.wParam = id;
  m.lParam = reinterpret_cast<LPARAM>(it->second.proc);
  SendQueued(m, nullptr);
}

}  // namespace

}  // namespace qmwnd

using namespace qmwnd;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (!QCoreApplication::instance()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
  }
  EnsureInit();
  // Windows keeps periods between 10 ms and about 24.8 days.
  elapse = std::clamp<UINT>(elapse, 10u, 0x7FFFFFFFu);
  if (!hwnd) {
    if (id == 0 || !ThreadTimers().count(id)) id = ++g_nextThreadTimer;
    ThreadTimer& t = ThreadTimers()[id];
    if (!t.timer) {
      t.timer = std::make_unique<QTimer>();
      const UINT_PTR tid = id;
      QObject::connect(t.timer.get(), &QTimer::timeout, [tid] { FireThreadTimer(tid); });
    }
    t.proc = proc;
    t.timer->start(static_cast<int>(elapse));
    return id;
  }
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(1400);
    return 0;
  }
  TimerEntry& t = w->timers[id];
  if (!t.timer) {
    t.timer = std::make_unique<QTimer>();
    QObject::connect(t.timer.get(), &QTimer::timeout, [hwnd, id] { FireTimer(hwnd, id); });
  }
  t.proc = proc;
  t.timer->start(static_cast<int>(elapse));
  return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  if (!hwnd) {
    auto it = ThreadTimers().find(id);
    if (it == ThreadTimers().end()) return FALSE;
    it->second.timer->stop();
    QObject::disconnect(it->second.timer.get(), nullptr, nullptr, nullptr);
    Bury(it->second.timer.release());
    ThreadTimers().erase(it);
    return TRUE;
  }
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  auto it = w->timers.find(id);
  if (it == w->timers.end()) return FALSE;
  it->second.timer->stop();
  QObject::disconnect(it->second.timer.get(), nullptr, nullptr, nullptr);
  Bury(it->second.timer.release());
  w->timers.erase(it);
  return TRUE;
}

// ---------------------------------------------------------------------------
// Messages.

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Find(hwnd)) {
    SetLastError(1400);
    return 0;
  }
  return Send(hwnd, message, wParam, lParam);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !Find(hwnd)) {
    SetLastError(1400);
    return FALSE;
  }
  EnsureInit();
  Dispatcher* d = TheDispatcher();
  if (!d) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  MSG m{};
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  ++g_postedOutstanding;
  QCoreApplication::postEvent(d, new PostedEvent(m));
  return TRUE;
}

void PostQuitMessage(int exitCode) { PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  return DefProc(*w, message, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!proc) return ::DefWindowProc(hwnd, message, wParam, lParam);
  return proc(hwnd, message, wParam, lParam);
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, static_cast<UINT_PTR>(msg->wParam), msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG*) {
  // Characters come with the key events already (see events.cpp).
  return FALSE;
}

BOOL PeekMessage(LPMSG msg, HWND, UINT, UINT, UINT) {
  // Messages are delivered by the event loop itself: running it here handles
  // whatever is waiting, and nothing is left to hand back.
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (msg) *msg = MSG{};
  return FALSE;
}

DWORD GetMessagePos() {
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(g_lastQueued.pt.x), static_cast<WORD>(g_lastQueued.pt.y)));
}
LONG GetMessageTime() { return static_cast<LONG>(g_lastQueued.time); }

UINT RegisterWindowMessage(LPCTSTR name) {
  // Programs register their messages during static initialisation: the
  // table is made on first use.
  static auto* table = new std::map<std::string, UINT>;
  static UINT next = 0xC000;
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto it = table->find(key);
  if (it != table->end()) return it->second;
  if (next > 0xFFFF) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  const UINT id = next++;
  (*table)[key] = id;
  return id;
}

// ---------------------------------------------------------------------------
// Accelerators.

namespace {
struct AccelStore {
  std::map<HACCEL, std::vector<ACCEL>> tables;
  std::map<std::pair<HINSTANCE, std::uintptr_t>, HACCEL> loaded;
  std::uintptr_t next = 0x20000;
};
AccelStore& Accels() {
  static auto* s = new AccelStore;
  return *s;
}
}  // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) {
  if (!entries || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  AccelStore& s = Accels();
  s.next += 4;
  HACCEL h = reinterpret_cast<HACCEL>(s.next);
  s.tables[h] = std::vector<ACCEL>(entries, entries + count);
  return h;
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  AccelStore& s = Accels();
  for (auto& [k, v] : s.loaded)
    if (v == table) return TRUE;  // loaded tables live with their pack
  return s.tables.erase(table) ? TRUE : FALSE;
}

int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count) {
  auto it = Accels().tables.find(table);
  if (it == Accels().tables.end()) return 0;
  const int n = static_cast<int>(it->second.size());
  if (!out) return n;
  const int m = std::min(n, count);
  std::copy_n(it->second.begin(), m, out);
  return m;
}

HACCEL LoadAccelerators(HINSTANCE instance, LPCTSTR name) {
  if (!name || !IS_INTRESOURCE(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const UINT id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
  AccelStore& s = Accels();
  auto key = std::make_pair(instance, static_cast<std::uintptr_t>(id));
  auto it = s.loaded.find(key);
  if (it != s.loaded.end() && s.tables.count(it->second)) return it->second;
  const QmAcceleratorTable* t = LoadAcceleratorTable(instance, id);
  if (!t || t->entries.empty()) return nullptr;
  HACCEL h = CreateAcceleratorTable(t->entries.data(), static_cast<int>(t->entries.size()));
  if (h) s.loaded[key] = h;
  return h;
}

int TranslateAccelerator(HWND hwnd, HACCEL table, LPMSG msg) {
  if (!msg || !Find(hwnd)) return 0;
  auto it = Accels().tables.find(table);
  if (it == Accels().tables.end()) return 0;
  const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  const bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!keyDown && !charMsg) return 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  for (const ACCEL& a : it->second) {
    bool match = false;
    if (a.fVirt & FVIRTKEY) {
      match = keyDown && a.key == msg->wParam && ((a.fVirt & FSHIFT) != 0) == shift &&
              ((a.fVirt & FCONTROL) != 0) == ctrl && ((a.fVirt & FALT) != 0) == alt;
    } else {
      match = charMsg && a.key == (msg->wParam & 0xFF) && ((a.fVirt & FALT) != 0) == alt;
    }
    if (!match) continue;
    Send(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Tests and tools.

void QmSetModalHook(QmModalHook hook) { g_modalHook = std::move(hook); }

int qmwnd::RunMainLoop() {
  if (g_quitPending || !QCoreApplication::instance()) return g_quitCode;
  ++g_runDepth;
  const int rc = QCoreApplication::exec();
  --g_runDepth;
  return g_quitPending ? g_quitCode : rc;
}

void qmwnd::ResetQuit() {
  g_quitPending = false;
  g_quitCode = 0;
}

int qmwnd::QuitCode() { return g_quitCode; }

bool qmwnd::ModalHookInstalled() { return static_cast<bool>(g_modalHook); }

void QmRunIdle() {
  EnsureInit();
  RunIdle(true);
}

void QmPumpMessages(int maxMs) {
  if (!QCoreApplication::instance()) return;
  EnsureInit();
  QElapsedTimer t;
  t.start();
  int quiet = 0;
  while (t.elapsed() < maxMs && quiet < 3) {
    const int before = g_postedOutstanding;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    FlushGraveyard();
    if (g_postedOutstanding == 0 && before == 0) {
      RunIdle(false);
      ++quiet;
    } else {
      quiet = 0;
    }
  }
}

void QmWait(int ms) {
  if (!QCoreApplication::instance()) return;
  EnsureInit();
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
  FlushGraveyard();
}
