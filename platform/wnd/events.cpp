// Qt's events turned into window messages: mouse, wheel, keys, focus,
// activation, closing, size and position; the capture, the cursor and the
// keyboard state.
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QWheelEvent>

#include <array>

#include "platform/base/codepage.h"
#include "platform/wnd/internal.h"

namespace qmwnd {

namespace {

HWND g_focus = nullptr;
HWND g_capture = nullptr;
HWND g_mouseHwnd = nullptr;
HCURSOR g_cursor = nullptr;
QPoint g_cursorPos;
bool g_cursorKnown = false;
Qt::KeyboardModifiers g_modifiers;
Qt::MouseButtons g_buttons;
std::array<bool, 256> g_keyDown{};
int g_showCursor = 0;

UINT MkFlags(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
  UINT f = 0;
  if (b & Qt::LeftButton) f |= MK_LBUTTON;
  if (b & Qt::RightButton) f |= MK_RBUTTON;
  if (b & Qt::MiddleButton) f |= MK_MBUTTON;
  if (m & Qt::ShiftModifier) f |= MK_SHIFT;
  if (m & Qt::ControlModifier) f |= MK_CONTROL;
  return f;
}

LPARAM PointParam(QPoint p) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x())), static_cast<WORD>(static_cast<SHORT>(p.y())));
}

struct KeyPair {
  int qt;
  UINT vk;
};
constexpr KeyPair kKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE},     {Qt::Key_Tab, VK_TAB},           {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK},    {Qt::Key_Return, VK_RETURN},     {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Insert, VK_INSERT},     {Qt::Key_Delete, VK_DELETE},     {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Print, VK_SNAPSHOT},    {Qt::Key_Clear, VK_CLEAR},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_End, VK_END},           {Qt::Key_Left, VK_LEFT},         {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},         {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},     {Qt::Key_Shift, VK_SHIFT},       {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},          {Qt::Key_AltGr, VK_MENU},        {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_NumLock, VK_NUMLOCK},   {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_Menu, VK_APPS},         {Qt::Key_Help, VK_HELP},         {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Super_L, VK_LWIN},      {Qt::Key_Super_R, VK_RWIN},      {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Colon, VK_OEM_1},       {Qt::Key_Equal, VK_OEM_PLUS},    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},   {Qt::Key_Less, VK_OEM_COMMA},    {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},       {Qt::Key_Question, VK_OEM_2},    {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_AsciiTilde, VK_OEM_3},  {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},   {Qt::Key_Bar, VK_OEM_5},         {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_BraceRight, VK_OEM_6},  {Qt::Key_Apostrophe, VK_OEM_7},  {Qt::Key_QuoteDbl, VK_OEM_7},
    {Qt::Key_Asterisk, VK_MULTIPLY},
};

// Keys by their place on the keyboard (X keycodes), for letters of other
// layouts: Windows names them by the US layout's key.
UINT VkFromKeycode(quint32 code) {
  static const char row1[] = "QWERTYUIOP";  // 24..33
  static const char row2[] = "ASDFGHJKL";   // 38..46
  static const char row3[] = "ZXCVBNM";     // 52..58
  if (code >= 24 && code <= 33) return static_cast<UINT>(row1[code - 24]);
  if (code >= 38 && code <= 46) return static_cast<UINT>(row2[code - 38]);
  if (code >= 52 && code <= 58) return static_cast<UINT>(row3[code - 52]);
  switch (code) {
    case 34: return VK_OEM_4;
    case 35: return VK_OEM_6;
    case 47: return VK_OEM_1;
    case 48: return VK_OEM_7;
    case 49: return VK_OEM_3;
    case 51: return VK_OEM_5;
    case 59: return VK_OEM_COMMA;
    case 60: return VK_OEM_PERIOD;
    case 61: return VK_OEM_2;
  }
  return 0;
}

UINT VkFromQt(const QKeyEvent* ke) {
  const int k = ke->key();
  const bool keypad = (ke->modifiers() & Qt::KeypadModifier) != 0;
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + static_cast<UINT>(k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return (keypad ? VK_NUMPAD0 : '0') + static_cast<UINT>(k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(k - Qt::Key_F1);
  if (keypad) {
    switch (k) {
      case Qt::Key_Plus: return VK_ADD;
      case Qt::Key_Minus: return VK_SUBTRACT;
      case Qt::Key_Asterisk: return VK_MULTIPLY;
      case Qt::Key_Slash: return VK_DIVIDE;
      case Qt::Key_Period: return VK_DECIMAL;
      case Qt::Key_Comma: return VK_DECIMAL;
    }
  }
  for (const KeyPair& p : kKeys)
    if (p.qt == k) return p.vk;
  return VkFromKeycode(ke->nativeScanCode());
}

int QtKeyFromVk(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + static_cast<int>(vk - VK_NUMPAD0);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
  switch (vk) {
    case VK_ADD: return Qt::Key_Plus;
    case VK_SUBTRACT: return Qt::Key_Minus;
    case VK_DIVIDE: return Qt::Key_Slash;
    case VK_DECIMAL: return Qt::Key_Period;
  }
  for (const KeyPair& p : kKeys)
    if (p.vk == vk) return p.qt;
  return 0;
}

void NoteModifiers(Qt::KeyboardModifiers m) {
  g_modifiers = m;
  g_keyDown[VK_SHIFT] = (m & Qt::ShiftModifier) != 0;
  g_keyDown[VK_CONTROL] = (m & Qt::ControlModifier) != 0;
  g_keyDown[VK_MENU] = (m & Qt::AltModifier) != 0;
}

Qt::CursorShape ShapeOf(int standardId) {
  switch (standardId) {
    case QM_IDC_IBEAM: return Qt::IBeamCursor;
    case QM_IDC_WAIT: return Qt::WaitCursor;
    case QM_IDC_CROSS: return Qt::CrossCursor;
    case QM_IDC_UPARROW: return Qt::UpArrowCursor;
    case QM_IDC_SIZENWSE: return Qt::SizeFDiagCursor;
    case QM_IDC_SIZENESW: return Qt::SizeBDiagCursor;
    case QM_IDC_SIZEWE: return Qt::SizeHorCursor;
    case QM_IDC_SIZENS: return Qt::SizeVerCursor;
    case QM_IDC_SIZEALL: return Qt::SizeAllCursor;
    case QM_IDC_NO: return Qt::ForbiddenCursor;
    case QM_IDC_HAND: return Qt::PointingHandCursor;
    case QM_IDC_APPSTARTING: return Qt::BusyCursor;
    default: return Qt::ArrowCursor;
  }
}

QCursor QtCursorOf(HCURSOR c) {
  QImage img;
  QPoint hot;
  int std = 0;
  if (!c || !GetIconImage(c, &img, &hot, &std)) return QCursor(Qt::ArrowCursor);
  if (std || img.isNull()) return QCursor(ShapeOf(std));
  return QCursor(QPixmap::fromImage(img), hot.x(), hot.y());
}

void ApplyCursor() {
  Window* w = Find(g_capture ? g_capture : g_mouseHwnd);
  if (!w || !w->W()) return;
  if (g_showCursor < 0) w->W()->setCursor(Qt::BlankCursor);
  else if (g_cursor) w->W()->setCursor(QtCursorOf(g_cursor));
  else w->W()->unsetCursor();
}

UINT ButtonMessage(Qt::MouseButton b, QEvent::Type t, bool dblClass) {
  int base;
  switch (b) {
    case Qt::LeftButton: base = WM_LBUTTONDOWN; break;
    case Qt::RightButton: base = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
    default: return 0;
  }
  if (t == QEvent::MouseButtonRelease) return static_cast<UINT>(base + 1);
  if (t == QEvent::MouseButtonDblClick && dblClass) return static_cast<UINT>(base + 2);
  return static_cast<UINT>(base);
}

bool HandleMouse(Window& w, QWidget* widget, QMouseEvent* me) {
  g_cursorPos = me->globalPosition().toPoint();
  g_cursorKnown = true;
  g_buttons = me->buttons();
  NoteModifiers(me->modifiers());
  if (InputBlocked(w)) return true;
  HWND target = w.hwnd;
  QPoint client;
  Window* cap = Find(g_capture);
  if (cap && cap != &w) {
    target = cap->hwnd;
    client = g_cursorPos - ClientOriginOnScreen(*cap);
  } else {
    client = me->position().toPoint() - ClientRectInWidget(w).topLeft();
    if (!cap && !ClientRectInWidget(w).contains(me->position().toPoint())) {
      // The non-client part (borders, a child's caption) gets no client
      // message; a Qt control handles its own frame.
      if (w.cls->control) return false;
      return me->type() != QEvent::MouseMove;
    }
  }
  if (!cap) {
    if (g_mouseHwnd != target) {
      g_mouseHwnd = target;
    }
  }
  Window* tw = Find(target);
  if (!tw) return true;
  const UINT flags = MkFlags(me->buttons(), me->modifiers());
  const LPARAM lp = PointParam(client);
  MSG m{};
  m.hwnd = target;
  m.wParam = flags;
  m.lParam = lp;
  if (me->type() == QEvent::MouseMove) {
    if (!cap) {
      Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      if (!Find(target)) return true;
      tw->mouseInside = true;
    }
    m.message = WM_MOUSEMOVE;
  } else {
    const bool dblClass = (tw->cls->wc.style & CS_DBLCLKS) != 0;
    m.message = ButtonMessage(me->button(), me->type(), dblClass);
    if (!m.message) return false;
    if (me->type() != QEvent::MouseButtonRelease && !cap) {
      const LRESULT act = Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(GetAncestor(target, GA_ROOT)),
                               MAKELPARAM(HTCLIENT, m.message));
      if (!Find(target)) return true;
      if (act == MA_ACTIVATEANDEAT || act == MA_NOACTIVATEANDEAT) return true;
      Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, m.message));
      if (!Find(target)) return true;
    }
  }
  bool pass = false;
  SendQueued(m, &pass);
  if (target != w.hwnd) return true;
  return !pass;
}

bool HandleWheel(Window& w, QWheelEvent* we) {
  g_cursorPos = we->globalPosition().toPoint();
  g_cursorKnown = true;
  NoteModifiers(we->modifiers());
  if (InputBlocked(w)) return true;
  int delta = we->angleDelta().y();
  if (delta == 0) delta = we->angleDelta().x();
  if (delta == 0) return true;
  MSG m{};
  m.hwnd = g_capture && Find(g_capture) ? g_capture : w.hwnd;
  m.message = WM_MOUSEWHEEL;
  m.wParam = MAKEWPARAM(static_cast<WORD>(MkFlags(we->buttons(), we->modifiers())), static_cast<WORD>(static_cast<short>(delta)));
  m.lParam = PointParam(g_cursorPos);
  bool pass = false;
  SendQueued(m, &pass);
  return !pass;
}

std::string CharsOf(const QKeyEvent* ke) {
  const QString t = ke->text();
  if (t.isEmpty()) return std::string();
  const QByteArray u = t.toUtf8();
  std::string bytes = Utf8ToCodePage(std::string_view(u.constData(), static_cast<size_t>(u.size())), GetAnsiCodePage());
  std::string out;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) != 0x7F) out += c;
  return out;
}

bool HandleKey(Window& w, QKeyEvent* ke) {
  NoteModifiers(ke->modifiers());
  const UINT vk = VkFromQt(ke);
  if (vk && vk < 256) g_keyDown[vk] = ke->type() == QEvent::KeyPress;
  if (InputBlocked(w)) return true;
  HWND target = w.hwnd;
  if (!w.IsChild()) {
    const HWND f = g_focus;
    if (f && f != w.hwnd && Find(f) && GetAncestor(f, GA_ROOT) == w.hwnd) target = f;
  }
  if (!vk && (ke->type() != QEvent::KeyPress || CharsOf(ke).empty())) return false;
  const bool alt = (ke->modifiers() & Qt::AltModifier) != 0;
  const bool sys = alt || vk == VK_F10;
  const LPARAM scan = static_cast<LPARAM>((ke->nativeScanCode() > 8 ? ke->nativeScanCode() - 8 : 0) & 0xFF) << 16;
  LPARAM lp = 1 | scan | (alt ? (1 << 29) : 0);
  MSG m{};
  m.hwnd = target;
  if (ke->type() == QEvent::KeyPress) {
    if (ke->isAutoRepeat()) lp |= (1 << 30);
    m.message = sys ? WM_SYSKEYDOWN : WM_KEYDOWN;
    m.wParam = vk;
    m.lParam = lp;
    bool allPass = true;
    if (vk) {
      // Keys of no known place (letters of other layouts typed with no
      // key code) come as characters only.
      bool pass = false;
      if (!SendQueued(m, &pass)) return true;
      if (!Find(target)) return true;
      allPass = pass;
    }
    for (char c : CharsOf(ke)) {
      MSG cm = m;
      cm.message = sys ? WM_SYSCHAR : WM_CHAR;
      cm.wParam = static_cast<unsigned char>(c);
      bool p = false;
      if (!SendQueued(cm, &p)) return true;
      if (!Find(target)) return true;
      allPass = allPass && p;
    }
    return target != w.hwnd ? true : !allPass;
  }
  m.message = sys ? WM_SYSKEYUP : WM_KEYUP;
  m.wParam = vk;
  m.lParam = lp | (1 << 30) | static_cast<LPARAM>(1u << 31);
  bool pass = false;
  SendQueued(m, &pass);
  return target != w.hwnd ? true : !pass;
}

// Tells a top-level window that the window manager moved or sized it: its
// window rectangle now, with the flags of what did not change.
void SendWindowManagerPos(Window& w, UINT flags) {
  WINDOWPOS wp{};
  wp.hwnd = w.hwnd;
  RECT r;
  ::GetWindowRect(w.hwnd, &r);
  wp.x = r.left;
  wp.y = r.top;
  wp.cx = r.right - r.left;
  wp.cy = r.bottom - r.top;
  wp.flags = SWP_NOZORDER | SWP_NOACTIVATE | flags;
  Send(w.hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

void HandleResize(Window& w, QResizeEvent*) {
  AfterGeometryChange(w);
  if (!w.IsChild() && !w.inSetPos && w.createdDone) SendWindowManagerPos(w, SWP_NOMOVE);
}

void HandleMove(Window& w) {
  if (w.IsChild() || w.inSetPos || !w.createdDone) return;
  SendWindowManagerPos(w, SWP_NOSIZE);
}

bool HasPaintHandler(const Window& w) {
  return w.perm && QmFindMessageEntry(static_cast<const CCmdTarget*>(w.perm)->GetMessageMap(), WM_PAINT, 0, 0) != nullptr;
}

}  // namespace

bool InputBlocked(const Window& w) {
  const Window* p = &w;
  while (p) {
    if (p->style & WS_DISABLED) return true;
    if (!p->IsChild()) break;
    p = Find(p->parent);
  }
  return false;
}

namespace {

// Qt hands a mouse event that a child left alone on to the parent; a window
// gets no mouse message for a point over one of its child windows.
bool OverChildWindow(const Window& w, QWidget* widget, QPoint pos) {
  QWidget* c = widget->childAt(pos);
  if (!c) return false;
  Window* cw = FromWidget(c);
  return cw && cw != &w;
}

}  // namespace

bool HandleEvent(Window& w, QWidget* widget, QEvent* e) {
  if (w.dead || w.destroying) return false;
  const HWND hwnd = w.hwnd;
  EnterDispatch();
  bool eat = false;
  switch (e->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (!Find(g_capture) && OverChildWindow(w, widget, me->position().toPoint())) {
        eat = true;
        break;
      }
      eat = HandleMouse(w, widget, me);
      break;
    }
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      if (!Find(g_capture) && OverChildWindow(w, widget, we->position().toPoint())) {
        eat = true;
        break;
      }
      eat = HandleWheel(w, we);
      break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      eat = HandleKey(w, static_cast<QKeyEvent*>(e));
      break;
    case QEvent::FocusIn:
      if (g_focus != hwnd) SetFocusWindow(hwnd, false);
      break;
    case QEvent::Enter:
      g_mouseHwnd = hwnd;
      break;
    case QEvent::Leave:
      w.mouseInside = false;
      if (w.trackLeave) {
        w.trackLeave = false;
        PostMessage(hwnd, WM_MOUSELEAVE, 0, 0);
      }
      break;
    case QEvent::Resize:
      HandleResize(w, static_cast<QResizeEvent*>(e));
      break;
    case QEvent::Move:
      HandleMove(w);
      break;
    case QEvent::Close:
      e->ignore();
      if (!InputBlocked(w)) Send(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      eat = true;
      break;
    case QEvent::ContextMenu:
      if (!w.cls->control || w.suppressContextMenu) eat = true;
      w.suppressContextMenu = false;
      break;
    case QEvent::WindowActivate:
      if (!w.IsChild()) Send(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
      break;
    case QEvent::WindowDeactivate:
      if (!w.IsChild()) Send(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
      break;
    default:
      break;
  }
  LeaveDispatch();
  return eat;
}

// ---------------------------------------------------------------------------
// The widgets.

HostWidget::HostWidget(HWND hwnd, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), hwnd_(hwnd) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_DeleteOnClose, false);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

bool HostWidget::event(QEvent* e) {
  if (e->type() != QEvent::Paint) {
    if (Window* w = Find(hwnd_)) {
      if (HandleEvent(*w, this, e)) return true;
    }
  }
  switch (e->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
      // Mouse messages never travel on to the parent window.
      e->accept();
      return true;
    default:
      return QWidget::event(e);
  }
}

void HostWidget::paintEvent(QPaintEvent* e) {
  Window* w = Find(hwnd_);
  if (!w) return;
  const struct Depth {
    Depth() { ++g_qtPaintDepth; }
    ~Depth() { --g_qtPaintDepth; }
  } depth;
  EnterDispatch();
  PaintWindowNow(*w);
  if ((w = Find(hwnd_))) {
    QPainter p(this);
    BlitToWidget(*w, p, e->rect());
  }
  LeaveDispatch();
}

bool ControlFilter::eventFilter(QObject* watched, QEvent* e) {
  Window* w = Find(hwnd_);
  if (!w || watched != w->W()) return false;
  if (e->type() == QEvent::Paint) {
    const bool own = !w->cls->control->QtPaints(hwnd_) || HasPaintHandler(*w);
    if (!own) return false;
    const struct Depth {
      Depth() { ++g_qtPaintDepth; }
      ~Depth() { --g_qtPaintDepth; }
    } depth;
    EnterDispatch();
    PaintWindowNow(*w);
    if ((w = Find(hwnd_)) && w->W()) {
      QPainter p(w->W());
      BlitToWidget(*w, p, static_cast<QPaintEvent*>(e)->rect());
    }
    LeaveDispatch();
    return true;
  }
  return HandleEvent(*w, w->W(), e);
}

// ---------------------------------------------------------------------------
// Focus, capture, cursor.

HWND FocusWindow() { return Find(g_focus) ? g_focus : nullptr; }

void ForgetFocus(HWND hwnd) {
  if (g_focus == hwnd) g_focus = nullptr;
  if (g_capture == hwnd) g_capture = nullptr;
  if (g_mouseHwnd == hwnd) g_mouseHwnd = nullptr;
}

void SetFocusWindow(HWND hwnd, bool moveQtFocus) {
  const HWND old = FocusWindow();
  if (old == hwnd) {
    if (moveQtFocus && hwnd)
      if (Window* w = Find(hwnd); w && w->W()) w->W()->setFocus(Qt::OtherFocusReason);
    return;
  }
  g_focus = hwnd;
  if (old) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (g_focus != hwnd) return;
  Window* w = Find(hwnd);
  if (!w) {
    g_focus = nullptr;
    return;
  }
  if (moveQtFocus && w->W()) w->W()->setFocus(Qt::OtherFocusReason);
  if (Find(hwnd)) Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void ReleaseCaptureIfIn(HWND hwnd) {
  if (g_capture && (g_capture == hwnd || IsChild(hwnd, g_capture))) ReleaseCapture();
}

namespace {
class GlobalFilter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseMove:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(e);
        g_cursorPos = me->globalPosition().toPoint();
        g_cursorKnown = true;
        break;
      }
      default:
        break;
    }
    return false;
  }
};
}  // namespace

void InstallGlobalFilter() {
  static GlobalFilter* f = nullptr;
  if (f || !QCoreApplication::instance()) return;
  f = new GlobalFilter;
  f->setParent(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(f);
}

}  // namespace qmwnd

using namespace qmwnd;

HWND SetFocus(HWND hwnd) {
  const HWND old = FocusWindow();
  if (hwnd && !Find(hwnd)) {
    SetLastError(1400);
    return nullptr;
  }
  SetFocusWindow(hwnd, true);
  return old;
}

HWND GetFocus() { return FocusWindow(); }

HWND SetCapture(HWND hwnd) {
  const HWND old = Find(g_capture) ? g_capture : nullptr;
  if (!Find(hwnd)) return old;
  g_capture = hwnd;
  if (old && old != hwnd) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  const HWND old = g_capture;
  g_capture = nullptr;
  if (old && Find(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return Find(g_capture) ? g_capture : nullptr; }

BOOL GetCursorPos(LPPOINT pt) {
  if (!pt) return FALSE;
  QPoint p = g_cursorKnown ? g_cursorPos : (QGuiApplication::instance() ? QCursor::pos() : QPoint());
  pt->x = p.x();
  pt->y = p.y();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  g_cursorPos = QPoint(x, y);
  g_cursorKnown = true;
  if (QGuiApplication::instance()) QCursor::setPos(x, y);
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR old = g_cursor;
  g_cursor = cursor;
  ApplyCursor();
  return old;
}

HCURSOR GetCursor() { return g_cursor; }

int ShowCursor(BOOL show) {
  g_showCursor += show ? 1 : -1;
  ApplyCursor();
  return g_showCursor;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme) return FALSE;
  Window* w = Find(tme->hwndTrack);
  if (!w) return FALSE;
  if (tme->dwFlags & TME_CANCEL) {
    if (tme->dwFlags & TME_LEAVE) w->trackLeave = false;
    return TRUE;
  }
  if (tme->dwFlags & TME_LEAVE) {
    if (w->mouseInside || g_mouseHwnd == w->hwnd) {
      w->trackLeave = true;
    } else {
      PostMessage(w->hwnd, WM_MOUSELEAVE, 0, 0);
    }
  }
  return TRUE;
}

SHORT GetKeyState(int vkey) {
  bool down = false;
  switch (vkey) {
    case VK_LBUTTON: down = (g_buttons & Qt::LeftButton) != 0; break;
    case VK_RBUTTON: down = (g_buttons & Qt::RightButton) != 0; break;
    case VK_MBUTTON: down = (g_buttons & Qt::MiddleButton) != 0; break;
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT: down = (g_modifiers & Qt::ShiftModifier) != 0; break;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL: down = (g_modifiers & Qt::ControlModifier) != 0; break;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU: down = (g_modifiers & Qt::AltModifier) != 0; break;
    default: down = vkey > 0 && vkey < 256 && g_keyDown[static_cast<size_t>(vkey)]; break;
  }
  return down ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetAsyncKeyState(int vkey) { return GetKeyState(vkey); }

BOOL FlashWindow(HWND hwnd, BOOL) {
  Window* w = Find(hwnd);
  if (!w || !w->W()) return FALSE;
  QApplication::alert(w->W());
  return TRUE;
}

// ---------------------------------------------------------------------------
// Input for tests.

void QmSendMouse(HWND hwnd, UINT message, POINT client, UINT flags) {
  Window* w = Find(hwnd);
  if (!w || !w->W()) return;
  QWidget* wid = w->W();
  const QPointF local = QPointF(ClientRectInWidget(*w).topLeft() + QPoint(client.x, client.y));
  const QPointF global = QPointF(wid->mapToGlobal(local.toPoint()));
  Qt::MouseButtons buttons;
  if (flags & MK_LBUTTON) buttons |= Qt::LeftButton;
  if (flags & MK_RBUTTON) buttons |= Qt::RightButton;
  if (flags & MK_MBUTTON) buttons |= Qt::MiddleButton;
  Qt::KeyboardModifiers mods;
  if (flags & MK_SHIFT) mods |= Qt::ShiftModifier;
  if (flags & MK_CONTROL) mods |= Qt::ControlModifier;
  QEvent::Type type = QEvent::MouseMove;
  Qt::MouseButton button = Qt::NoButton;
  switch (message) {
    case WM_MOUSEMOVE: break;
    case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; buttons |= button; break;
    case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; buttons &= ~Qt::LeftButton; break;
    case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::LeftButton; buttons |= button; break;
    case WM_RBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::RightButton; buttons |= button; break;
    case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; buttons &= ~Qt::RightButton; break;
    case WM_RBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::RightButton; buttons |= button; break;
    case WM_MBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::MiddleButton; buttons |= button; break;
    case WM_MBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::MiddleButton; buttons &= ~Qt::MiddleButton; break;
    default: return;
  }
  QMouseEvent ev(type, local, global, button, buttons, mods);
  QCoreApplication::sendEvent(wid, &ev);
}

void QmSendWheel(HWND hwnd, POINT client, int delta, UINT flags) {
  Window* w = Find(hwnd);
  if (!w || !w->W()) return;
  QWidget* wid = w->W();
  const QPointF local = QPointF(ClientRectInWidget(*w).topLeft() + QPoint(client.x, client.y));
  Qt::KeyboardModifiers mods;
  if (flags & MK_SHIFT) mods |= Qt::ShiftModifier;
  if (flags & MK_CONTROL) mods |= Qt::ControlModifier;
  QWheelEvent ev(local, QPointF(wid->mapToGlobal(local.toPoint())), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                 Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(wid, &ev);
}

void QmSendKey(HWND hwnd, UINT vk, const char* text, UINT modifiers, bool release) {
  Window* w = Find(hwnd);
  if (!w || !w->W()) return;
  Qt::KeyboardModifiers mods;
  if (modifiers & QM_MOD_SHIFT) mods |= Qt::ShiftModifier;
  if (modifiers & QM_MOD_CONTROL) mods |= Qt::ControlModifier;
  if (modifiers & QM_MOD_ALT) mods |= Qt::AltModifier;
  int key = QtKeyFromVk(vk);
  if (vk == VK_TAB && (modifiers & QM_MOD_SHIFT)) key = Qt::Key_Backtab;
  QString t = ToQt(text ? text : "");
  if (t.isEmpty()) {
    switch (vk) {
      case VK_RETURN: t = QStringLiteral("\r"); break;
      case VK_ESCAPE: t = QStringLiteral("\x1b"); break;
      case VK_TAB: t = QStringLiteral("\t"); break;
      case VK_BACK: t = QStringLiteral("\b"); break;
    }
  }
  const QPointer<QWidget> wid = w->W();
  QKeyEvent press(QEvent::KeyPress, key, mods, t);
  QCoreApplication::sendEvent(wid.data(), &press);
  if (release && wid) {
    QKeyEvent up(QEvent::KeyRelease, key, mods, t);
    QCoreApplication::sendEvent(wid.data(), &up);
  }
  NoteModifiers(Qt::NoModifier);
}

void QmSendText(HWND hwnd, const char* text) {
  if (!text) return;
  const QString s = ToQt(text);
  for (QChar c : s) {
    Window* w = Find(hwnd);
    if (!w || !w->W()) return;
    const QString one(c);
    int key = 0;
    if (c.isLetter() && c.toUpper().unicode() < 128) key = Qt::Key_A + (c.toUpper().unicode() - 'A');
    else if (c.isDigit() && c.unicode() < 128) key = Qt::Key_0 + (c.unicode() - '0');
    else if (c == QLatin1Char(' ')) key = Qt::Key_Space;
    else key = c.unicode() < 128 ? c.unicode() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, one);
    QCoreApplication::sendEvent(w->W(), &press);
    if ((w = Find(hwnd)) && w->W()) {
      QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, one);
      QCoreApplication::sendEvent(w->W(), &up);
    }
  }
}
