// Window handles and their records, window classes, creation and
// destruction, the window tree, styles, texts and window data.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/base/codepage.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/menu.h"

namespace qmwnd {

CWnd* g_wndInit = nullptr;
// position.cpp: a window's constant alpha, quietly on the headless platform.
void ApplyWindowOpacity(QWidget* wid, double opacity);

namespace {

struct Registry {
  std::map<HWND, std::unique_ptr<Window>> windows;
  std::vector<std::unique_ptr<Window>> dead;  // freed when no dispatch runs
  std::uintptr_t next = 0x10010;
  std::map<std::string, std::unique_ptr<WndClass>> classes;  // key: upper case
  std::map<ATOM, std::string> atoms;
  ATOM nextAtom = 0xC000;
};

Registry& R() {
  static Registry* r = new Registry;
  return *r;
}

std::string Upper(const char* s) {
  std::string u = s ? s : "";
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

HWND NewHandle() {
  Registry& r = R();
  r.next += 4;
  return reinterpret_cast<HWND>(r.next);
}

}  // namespace

// ---------------------------------------------------------------------------
// Records.

Window* Find(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& m = R().windows;
  auto it = m.find(hwnd);
  if (it == m.end() || it->second->dead) return nullptr;
  return it->second.get();
}

Window* FromWidget(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (HWND h = QmHwndOf(w)) return Find(h);
  }
  return nullptr;
}

std::vector<HWND> AllWindows() {
  std::vector<HWND> out;
  for (auto& [h, w] : R().windows)
    if (!w->dead) out.push_back(h);
  return out;
}

WNDPROC Window::ClassProc() const { return cls ? cls->wc.lpfnWndProc : nullptr; }

namespace {
int g_dispatchDepth = 0;
}

void EnterDispatch() { ++g_dispatchDepth; }
void LeaveDispatch() {
  if (--g_dispatchDepth == 0 && !R().dead.empty()) {
    auto dead = std::move(R().dead);
    R().dead.clear();
    dead.clear();
  }
}

// ---------------------------------------------------------------------------
// Window classes.

WndClass* FindClass(const char* name) {
  RegisterBuiltinClasses();
  Registry& r = R();
  std::string key;
  if (name && IS_INTRESOURCE(name)) {
    auto a = r.atoms.find(static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name)));
    if (a == r.atoms.end()) return nullptr;
    key = a->second;
  } else {
    key = Upper(name);
  }
  auto it = r.classes.find(key);
  return it == r.classes.end() ? nullptr : it->second.get();
}

namespace {

ATOM AddClass(const WNDCLASS& wc, QmControlClass* control, bool dialog) {
  Registry& r = R();
  const std::string key = Upper(wc.lpszClassName);
  auto it = r.classes.find(key);
  if (it != r.classes.end()) {
    SetLastError(1410);  // ERROR_CLASS_ALREADY_EXISTS
    return 0;
  }
  auto c = std::make_unique<WndClass>();
  c->name = wc.lpszClassName;
  c->wc = wc;
  c->wc.lpszClassName = nullptr;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) {
    c->menuName = wc.lpszMenuName;
    c->wc.lpszMenuName = nullptr;
  }
  c->control = control;
  c->dialog = dialog;
  const ATOM atom = r.nextAtom++;
  r.atoms[atom] = key;
  r.classes[key] = std::move(c);
  return atom;
}

}  // namespace

// Control classes live for the run.
std::vector<std::unique_ptr<QmControlClass>>& ControlImpls() {
  static auto* v = new std::vector<std::unique_ptr<QmControlClass>>;
  return *v;
}
std::map<std::string, bool>& PlaceholderNames() {
  static auto* m = new std::map<std::string, bool>;
  return *m;
}

QmControlClass* MakeButtonClass();
QmControlClass* MakeStaticClass();
QmControlClass* MakeEditClass();
QmControlClass* MakePlaceholderClass();
void RegisterCommonControls();
void RegisterBarClasses();

void RegisterBuiltinClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  auto add = [](const char* name, UINT style, HBRUSH brush, QmControlClass* control, bool dialog) {
    WNDCLASS wc{};
    wc.style = style;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = brush;
    wc.lpszClassName = name;
    AddClass(wc, control, dialog);
  };
  auto sysBrush = [](int index) { return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(index + 1)); };
  add("#32770", CS_DBLCLKS | CS_SAVEBITS, nullptr, nullptr, true);
  add(AFX_WND, CS_DBLCLKS, nullptr, nullptr, false);
  add(AFX_WNDFRAMEORVIEW, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, sysBrush(COLOR_WINDOW), nullptr, false);
  add(AFX_WNDCONTROLBAR, CS_DBLCLKS, sysBrush(COLOR_BTNFACE), nullptr, false);
  auto own = [](QmControlClass* c) {
    ControlImpls().emplace_back(c);
    return c;
  };
  add("Button", CS_DBLCLKS | CS_PARENTDC, nullptr, own(MakeButtonClass()), false);
  add("Static", CS_DBLCLKS | CS_PARENTDC, nullptr, own(MakeStaticClass()), false);
  add("Edit", CS_DBLCLKS | CS_PARENTDC, nullptr, own(MakeEditClass()), false);
  if (WndClass* edit = FindClass("Edit")) edit->wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  // Every control class exists from the start as a place-holder; the drawn
  // implementations below register over it (all but "ScrollBar").
  QmControlClass* placeholder = own(MakePlaceholderClass());
  for (const char* name :
       {"ComboBox", "ListBox", "ScrollBar", "SysListView32", "SysTreeView32", "SysTabControl32",
        "msctls_progress32", "msctls_trackbar32", "msctls_updown32", "msctls_hotkey32", "RichEdit20A",
        "SysHeader32", "ToolbarWindow32", "msctls_statusbar32", "tooltips_class32"}) {
    add(name, CS_DBLCLKS | CS_PARENTDC, nullptr, placeholder, false);
    PlaceholderNames()[Upper(name)] = true;
  }
  RegisterCommonControls();
  // Tabs, tooltips, toolbars and status bars.
  RegisterBarClasses();
}

}  // namespace qmwnd

using namespace qmwnd;

const char* const AFX_WND = "AfxWnd";
const char* const AFX_WNDFRAMEORVIEW = "AfxFrameOrView";
const char* const AFX_WNDCONTROLBAR = "AfxControlBar";

BOOL QmRegisterControlClass(LPCTSTR name, UINT classStyle, std::unique_ptr<QmControlClass> impl) {
  if (!name || !impl) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RegisterBuiltinClasses();
  const std::string key = Upper(name);
  auto& r = R();
  auto it = r.classes.find(key);
  if (it != r.classes.end()) {
    auto ph = PlaceholderNames().find(key);
    if (ph == PlaceholderNames().end() || !ph->second) {
      SetLastError(1410);
      return FALSE;
    }
    // Replace the place-holder.
    ph->second = false;
    it->second->control = impl.get();
    it->second->wc.style = classStyle;
    ControlImpls().push_back(std::move(impl));
    return TRUE;
  }
  WNDCLASS wc{};
  wc.style = classStyle;
  wc.lpfnWndProc = ::DefWindowProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  QmControlClass* c = impl.get();
  ControlImpls().push_back(std::move(impl));
  return AddClass(wc, c, false) != 0;
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  RegisterBuiltinClasses();
  return AddClass(*wc, nullptr, false);
}

BOOL UnregisterClass(LPCTSTR className, HINSTANCE) {
  WndClass* c = FindClass(className);
  if (!c || c->control || c->dialog) {
    SetLastError(1411);  // ERROR_CLASS_DOES_NOT_EXIST
    return FALSE;
  }
  for (auto& [h, w] : R().windows)
    if (!w->dead && w->cls == c) {
      SetLastError(1412);  // ERROR_CLASS_HAS_WINDOWS
      return FALSE;
    }
  R().classes.erase(Upper(c->name.c_str()));
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE, LPCTSTR className, LPWNDCLASS out) {
  WndClass* c = FindClass(className);
  if (!c || !out) {
    SetLastError(1411);
    return FALSE;
  }
  *out = c->wc;
  out->lpszClassName = c->name.c_str();
  if (!c->menuName.empty()) out->lpszMenuName = c->menuName.c_str();
  return TRUE;
}

int GetClassName(HWND hwnd, LPTSTR buf, int size) {
  Window* w = Find(hwnd);
  if (!w || !buf || size <= 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  std::snprintf(buf, static_cast<size_t>(size), "%s", w->cls->name.c_str());
  return static_cast<int>(std::strlen(buf));
}

BOOL AfxRegisterClass(WNDCLASS* wc) {
  if (!wc) return FALSE;
  WNDCLASS existing;
  if (GetClassInfo(wc->hInstance, wc->lpszClassName, &existing)) return TRUE;
  return RegisterClass(wc) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  char name[96];
  std::snprintf(name, sizeof name, "Afx:%x:%llx:%llx:%llx", nClassStyle,
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hCursor)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hbrBackground)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hIcon)));
  WndClass* c = FindClass(name);
  if (!c) {
    WNDCLASS wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!RegisterClass(&wc)) return nullptr;
    c = FindClass(name);
  }
  return c ? c->name.c_str() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
  // The program file itself holds no resources; its "instance" is the pack.
  return AfxGetResourceHandle();
}

// ---------------------------------------------------------------------------
// Geometry of the non-client area.

namespace qmwnd {

namespace {

int FrameWidth(DWORD style, DWORD exStyle) {
  if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
  if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
  if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

int CaptionHeight(DWORD style, DWORD exStyle) {
  if ((style & WS_CAPTION) != WS_CAPTION) return 0;
  return GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

int EdgeWidth(DWORD exStyle) {
  int e = 0;
  if (exStyle & WS_EX_CLIENTEDGE) e += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) e += GetSystemMetrics(SM_CXBORDER);
  return e;
}

}  // namespace

Insets OuterInsets(const Window& w) {
  Insets in;
  if (w.IsChild()) return in;
  const int f = FrameWidth(w.style, w.exStyle);
  in.left = in.right = in.bottom = f;
  in.top = f + CaptionHeight(w.style, w.exStyle);
  return in;
}

Insets InnerInsets(const Window& w) {
  Insets in;
  if (w.IsChild()) {
    const int f = FrameWidth(w.style, w.exStyle);
    in.left = in.right = in.bottom = f;
    in.top = f + CaptionHeight(w.style, w.exStyle);
  } else if (w.menu) {
    in.top += GetSystemMetrics(SM_CYMENU);
  }
  const int e = EdgeWidth(w.exStyle);
  in.left += e;
  in.top += e;
  in.right += e;
  in.bottom += e;
  if (w.scroll[SB_VERT].shown) in.right += GetSystemMetrics(SM_CXVSCROLL);
  if (w.scroll[SB_HORZ].shown) in.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return in;
}

QRect ClientRectInWidget(const Window& w) {
  const QWidget* wid = w.W();
  if (!wid) return QRect();
  const Insets in = InnerInsets(w);
  const int cw = std::max(0, wid->width() - in.left - in.right);
  const int ch = std::max(0, wid->height() - in.top - in.bottom);
  return QRect(in.left, in.top, cw, ch);
}

QPoint ClientOriginOnScreen(const Window& w) {
  const QWidget* wid = w.W();
  if (!wid) return QPoint();
  return wid->mapToGlobal(ClientRectInWidget(w).topLeft());
}

}  // namespace qmwnd

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  Window tmp;
  tmp.style = style;
  tmp.exStyle = exStyle;
  tmp.menu = menu ? reinterpret_cast<HMENU>(1) : nullptr;
  const Insets out = OuterInsets(tmp);
  const Insets in = InnerInsets(tmp);
  rect->left -= out.left + in.left;
  rect->top -= out.top + in.top;
  rect->right += out.right + in.right;
  rect->bottom += out.bottom + in.bottom;
  return TRUE;
}

// ---------------------------------------------------------------------------
// Creation.

namespace qmwnd {
void ApplyWindowRect(Window& w, const QRect& windowRect);
void SendSizeMove(Window& w, bool force);
void DisposeTimers(Window& w);
void UpdateTopLevelFlags(Window& w);
void ShowMenuBar(Window& w);
void DestroyMenuBar(Window& w);
void ReleaseCaptureIfIn(HWND hwnd);
}  // namespace qmwnd

HWND CreateWindowEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int cx,
                    int cy, HWND parentHwnd, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  CWnd* init = g_wndInit;
  g_wndInit = nullptr;
  if (!QApplication::instance()) {
    std::fprintf(stderr, "CreateWindowEx: no application object, no window can be made\n");
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  EnsureInit();
  WndClass* cls = FindClass(className);
  if (!cls) {
    SetLastError(1407);  // ERROR_CANNOT_FIND_WND_CLASS
    return nullptr;
  }
  Window* parent = nullptr;
  HWND owner = nullptr;
  if (style & WS_CHILD) {
    parent = Find(parentHwnd);
    if (!parent) {
      SetLastError(1406);  // ERROR_TLW_WITH_WSCHILD
      return nullptr;
    }
  } else if (parentHwnd) {
    if (!Find(parentHwnd)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    owner = GetAncestor(parentHwnd, GA_ROOT);
  }
  if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;

  auto rec = std::make_unique<Window>();
  Window& w = *rec;
  w.hwnd = NewHandle();
  w.cls = cls;
  w.style = style & ~WS_VISIBLE;
  w.exStyle = exStyle;
  w.parent = parent ? parent->hwnd : nullptr;
  w.owner = owner;
  if (style & WS_CHILD) {
    w.id = reinterpret_cast<UINT_PTR>(menuOrId);
  } else {
    w.menu = menuOrId;
  }
  if (!w.menu && !(style & WS_CHILD) && !cls->menuName.empty()) {
    w.menu = LoadMenu(instance ? instance : AfxGetResourceHandle(), cls->menuName.c_str());
  }
  w.text = windowName ? windowName : "";
  w.scroll[SB_HORZ].shown = (style & WS_HSCROLL) != 0;
  w.scroll[SB_VERT].shown = (style & WS_VSCROLL) != 0;
  if (exStyle & WS_EX_LAYERED) w.layered = true;

  CREATESTRUCT cs{};
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menuOrId;
  cs.hwndParent = parentHwnd;
  cs.cx = cx;
  cs.cy = cy;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  // The widget.
  QWidget* parentWidget = parent ? parent->W() : nullptr;
  if (!parent && owner) {
    if (Window* o = Find(owner)) parentWidget = o->W();
  }
  const HWND hwnd = w.hwnd;
  R().windows[hwnd] = std::move(rec);
  QWidget* widget = nullptr;
  if (cls->control) {
    widget = cls->control->CreateWidget(hwnd, cs, parentWidget);
    if (widget) {
      widget->setProperty("qm_hwnd", QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<std::uintptr_t>(hwnd))));
      widget->installEventFilter(new ControlFilter(hwnd, widget));
    }
  } else {
    widget = new HostWidget(hwnd, parentWidget, parent ? Qt::Widget : Qt::Window);
  }
  if (!widget) {
    R().windows.erase(hwnd);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  w.widget = widget;
  widget->setMouseTracking(true);
  if (!parent) UpdateTopLevelFlags(w);
  if (parent) parent->children.push_back(hwnd);

  if (init) {
    init->m_hWnd = hwnd;
    w.perm = init;
  }

  // Position and size.
  if (!parent) {
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1920, 1080);
    static int cascade = 0;
    if (x == CW_USEDEFAULT) {
      x = screen.left() + 40 + 24 * (cascade % 8);
      y = screen.top() + 40 + 24 * (cascade % 8);
      ++cascade;
    }
    if (cx == CW_USEDEFAULT) {
      cx = screen.width() * 3 / 4;
      cy = screen.height() * 3 / 4;
    }
  }
  cx = std::max(0, cx);
  cy = std::max(0, cy);
  if (w.menu) ShowMenuBar(w);
  ApplyWindowRect(w, QRect(x, y, cx, cy));
  RelayoutNonClient(w);
  if (!parent) {
    widget->setWindowTitle(ToQt(w.text));
    // The class's icon until the window is given its own.
    QImage img;
    QPoint hot;
    int std = 0;
    if (cls->wc.hIcon && GetIconImage(cls->wc.hIcon, &img, &hot, &std) && !img.isNull())
      widget->setWindowIcon(QIcon(QPixmap::fromImage(img)));
  }
  if (cls->control) {
    cls->control->FontChanged(hwnd, widget, QtFontOf(nullptr));
    cls->control->StyleChanged(hwnd, widget, w.style | (style & WS_VISIBLE));
    cls->control->TextChanged(hwnd, widget, w.text);
    if (style & WS_DISABLED) widget->setEnabled(false);
  }
  widget->setVisible(false);
  EnsureImage(w);
  w.invalid = QRegion(ClientRectInWidget(w).translated(-ClientRectInWidget(w).topLeft()));
  w.erase = true;

  if (!parent) {
    MINMAXINFO mmi{};
    Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  }
  if (!Find(hwnd)) return nullptr;
  if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!Find(hwnd)) return nullptr;
  if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    SetLastError(1400);  // ERROR_INVALID_WINDOW_HANDLE: creation refused
    return nullptr;
  }
  Window* wp = Find(hwnd);
  if (!wp) return nullptr;
  wp->createdDone = true;
  SendSizeMove(*wp, true);
  if (parent && !(exStyle & WS_EX_NOPARENTNOTIFY) && Find(parent->hwnd))
    Send(parent->hwnd, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<WORD>(wp->id)),
         reinterpret_cast<LPARAM>(hwnd));
  if (!Find(hwnd)) return nullptr;
  if (style & WS_VISIBLE) {
    ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
  }
  return Find(hwnd) ? hwnd : nullptr;
}

// ---------------------------------------------------------------------------
// Destruction.

namespace qmwnd {

namespace {

void SendDestroyTree(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  Send(hwnd, WM_DESTROY, 0, 0);
  w = Find(hwnd);
  if (!w) return;
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    Window* cw = Find(c);
    if (!cw) continue;
    cw->destroying = true;
    SendDestroyTree(c);
  }
}

void Dispose(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) Dispose(c);
  w = Find(hwnd);
  if (!w) return;
  Send(hwnd, WM_NCDESTROY, 0, 0);
  w = Find(hwnd);
  if (!w) return;
  if (w->perm) {
    // The object's own WM_NCDESTROY handling normally detaches it.
    if (w->perm->m_hWnd == hwnd) w->perm->m_hWnd = nullptr;
    w->perm = nullptr;
  }
  if (w->temp) w->temp->m_hWnd = nullptr;
  DisposeTimers(*w);
  DestroyMenuBar(*w);
  if (Window* p = Find(w->parent)) {
    auto& v = p->children;
    v.erase(std::remove(v.begin(), v.end(), hwnd), v.end());
  }
  if (w->sysMenu) {
    DestroyMenu(w->sysMenu);
    w->sysMenu = nullptr;
  }
  if (w->menu && !w->IsChild()) {
    // A window's menu goes with it.
    DestroyMenu(w->menu);
    w->menu = nullptr;
  }
  if (w->ownsDlgFont && w->dlgFont) {
    DeleteObject(w->dlgFont);
    w->dlgFont = nullptr;
  }
  ForgetFocus(hwnd);
  w->dead = true;
  if (QWidget* wid = w->W()) {
    wid->setProperty("qm_hwnd", QVariant());
    wid->hide();
    wid->deleteLater();
  }
  auto& m = R().windows;
  auto it = m.find(hwnd);
  if (it != m.end()) {
    R().dead.push_back(std::move(it->second));
    m.erase(it);
  }
}

}  // namespace

}  // namespace qmwnd

BOOL DestroyWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(1400);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  EnterDispatch();
  w->destroying = true;
  // Owned windows go first.
  for (HWND h : AllWindows()) {
    Window* o = Find(h);
    if (o && !o->IsChild() && o->owner == hwnd && !o->destroying) DestroyWindow(h);
  }
  w = Find(hwnd);
  if (w) {
    ReleaseCaptureIfIn(hwnd);
    // The focus leaves the window (to its parent when it had it).
    HWND f = FocusWindow();
    if (f && (f == hwnd || IsChild(hwnd, f))) SetFocusWindow(nullptr, false);
    if (w->style & WS_VISIBLE) {
      w->style &= ~WS_VISIBLE;
      if (QWidget* wid = w->W()) wid->hide();
    }
    SendDestroyTree(hwnd);
    Dispose(hwnd);
  }
  LeaveDispatch();
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

// ---------------------------------------------------------------------------
// The window tree.

HWND GetParent(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (w->IsChild()) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT:
      return w->IsChild() ? w->parent : nullptr;
    case GA_ROOT:
      while (w && w->IsChild() && Find(w->parent)) w = Find(w->parent);
      return w ? w->hwnd : nullptr;
    case GA_ROOTOWNER: {
      HWND h = GetAncestor(hwnd, GA_ROOT);
      for (Window* r = Find(h); r && r->owner; r = Find(r->owner)) h = r->owner;
      return h;
    }
  }
  return nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
  Window* w = Find(child);
  if (!w) return nullptr;
  const HWND old = w->IsChild() ? w->parent : w->owner;
  if (w->IsChild()) {
    Window* np = Find(newParent);
    if (!np) return nullptr;
    const QRect r = w->W() ? w->W()->geometry() : QRect();
    const QPoint oldOrigin = Find(w->parent) ? ClientRectInWidget(*Find(w->parent)).topLeft() : QPoint();
    if (Window* op = Find(w->parent)) {
      auto& v = op->children;
      v.erase(std::remove(v.begin(), v.end(), child), v.end());
    }
    w->parent = newParent;
    np->children.push_back(child);
    if (QWidget* wid = w->W()) {
      const bool vis = (w->style & WS_VISIBLE) != 0;
      wid->setParent(np->W());
      wid->setGeometry(r.translated(ClientRectInWidget(*np).topLeft() - oldOrigin));
      wid->setVisible(vis);
    }
  } else {
    w->owner = newParent ? GetAncestor(newParent, GA_ROOT) : nullptr;
  }
  return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return w->IsChild() ? nullptr : w->owner;
  const std::vector<HWND>* sib = nullptr;
  std::vector<HWND> tops;
  if (Window* p = Find(w->parent); p && w->IsChild()) {
    sib = &p->children;
  } else {
    for (HWND h : AllWindows()) {
      Window* t = Find(h);
      if (t && !t->IsChild()) tops.push_back(h);
    }
    std::reverse(tops.begin(), tops.end());  // newest on top
    sib = &tops;
  }
  auto it = std::find(sib->begin(), sib->end(), hwnd);
  if (it == sib->end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST:
      return sib->front();
    case GW_HWNDLAST:
      return sib->back();
    case GW_HWNDNEXT:
      return (it + 1 == sib->end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return (it == sib->begin()) ? nullptr : *(it - 1);
  }
  return nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
  Window* w = Find(dialog);
  if (!w) return nullptr;
  for (HWND c : w->children) {
    Window* cw = Find(c);
    if (cw && static_cast<int>(static_cast<WORD>(cw->id)) == static_cast<int>(static_cast<WORD>(id))) return c;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w || !w->IsChild()) return 0;
  return static_cast<int>(w->id);
}

BOOL IsChild(HWND parent, HWND hwnd) {
  for (Window* w = Find(hwnd); w && w->IsChild(); w = Find(w->parent))
    if (w->parent == parent) return TRUE;
  return FALSE;
}

HWND GetDesktopWindow() { return nullptr; }

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  std::vector<HWND> list;
  std::function<void(HWND)> collect = [&](HWND h) {
    Window* w = Find(h);
    if (!w) return;
    for (HWND c : w->children) {
      list.push_back(c);
      collect(c);
    }
  };
  if (parent) {
    collect(parent);
  } else {
    for (HWND h : AllWindows())
      if (Window* w = Find(h); w && !w->IsChild()) list.push_back(h);
  }
  for (HWND h : list)
    if (IsWindow(h) && !proc(h, lParam)) break;
  return TRUE;
}

// ---------------------------------------------------------------------------
// Window data.

namespace qmwnd {
void StyleChanged(Window& w, DWORD oldStyle, DWORD oldExStyle);
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(1400);
    return 0;
  }
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    case GWL_ID:
      return static_cast<LONG_PTR>(w->id);
    case GWL_USERDATA:
      return w->userData;
    case GWL_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent : w->owner);
    case GWL_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(AfxGetInstanceHandle());
    case GWL_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->subclassProc ? w->subclassProc : w->ClassProc());
    case DWL_MSGRESULT:
      return w->dlgResult;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Window* w = Find(hwnd);
  if (!w) {
    SetLastError(1400);
    return 0;
  }
  LONG_PTR old = GetWindowLongPtr(hwnd, index);
  switch (index) {
    case GWL_STYLE: {
      STYLESTRUCT ss{w->style, static_cast<DWORD>(value)};
      Send(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&ss));
      if (!(w = Find(hwnd))) return old;
      const DWORD os = w->style, oe = w->exStyle;
      // Visibility and the enabled state change through their own calls.
      w->style = (ss.styleNew & ~(WS_VISIBLE | WS_DISABLED)) | (os & (WS_VISIBLE | WS_DISABLED));
      StyleChanged(*w, os, oe);
      Send(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&ss));
      if ((ss.styleNew ^ os) & WS_DISABLED) EnableWindow(hwnd, !(ss.styleNew & WS_DISABLED));
      if ((ss.styleNew ^ os) & WS_VISIBLE) ShowWindow(hwnd, (ss.styleNew & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
      break;
    }
    case GWL_EXSTYLE: {
      STYLESTRUCT ss{w->exStyle, static_cast<DWORD>(value)};
      Send(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(GWL_EXSTYLE), reinterpret_cast<LPARAM>(&ss));
      if (!(w = Find(hwnd))) return old;
      const DWORD os = w->style, oe = w->exStyle;
      w->exStyle = ss.styleNew;
      if (w->exStyle & WS_EX_LAYERED) {
        w->layered = true;
      } else if (w->layered) {
        w->layered = false;
        w->alpha = 255;
        w->layeredFlags = 0;
        if (QWidget* wid = w->W(); wid && wid->isWindow()) {
          ApplyWindowOpacity(wid, 1.0);
        } else if (wid) {
          wid->setAttribute(Qt::WA_OpaquePaintEvent, true);
          wid->setAttribute(Qt::WA_NoSystemBackground, true);
          wid->update();
        }
      }
      StyleChanged(*w, os, oe);
      Send(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(GWL_EXSTYLE), reinterpret_cast<LPARAM>(&ss));
      break;
    }
    case GWL_ID:
      w->id = static_cast<UINT_PTR>(value);
      break;
    case GWL_USERDATA:
      w->userData = value;
      break;
    case GWL_WNDPROC:
      w->subclassProc = reinterpret_cast<WNDPROC>(value);
      break;
    case DWL_MSGRESULT:
      w->dlgResult = value;
      break;
    case GWL_HWNDPARENT:
      if (!w->IsChild()) w->owner = reinterpret_cast<HWND>(value);
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
  return old;
}

LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }
LONG SetWindowLong(HWND hwnd, int index, LONG value) {
  return static_cast<LONG>(SetWindowLongPtr(hwnd, index, static_cast<LONG_PTR>(value)));
}

BOOL SetProp(HWND hwnd, LPCTSTR name, HANDLE data) {
  Window* w = Find(hwnd);
  if (!w || !name) return FALSE;
  w->props[Upper(name)] = data;
  return TRUE;
}
HANDLE GetProp(HWND hwnd, LPCTSTR name) {
  Window* w = Find(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(Upper(name));
  return it == w->props.end() ? nullptr : it->second;
}
HANDLE RemoveProp(HWND hwnd, LPCTSTR name) {
  Window* w = Find(hwnd);
  if (!w || !name) return nullptr;
  auto it = w->props.find(Upper(name));
  if (it == w->props.end()) return nullptr;
  HANDLE h = it->second;
  w->props.erase(it);
  return h;
}

// ---------------------------------------------------------------------------
// Texts.

BOOL SetWindowText(HWND hwnd, LPCTSTR text) {
  if (!Find(hwnd)) {
    SetLastError(1400);
    return FALSE;
  }
  return Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowText(HWND hwnd, LPTSTR buf, int size) {
  if (!buf || size <= 0) return 0;
  buf[0] = 0;
  if (!Find(hwnd)) return 0;
  return static_cast<int>(Send(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buf)));
}

int GetWindowTextLength(HWND hwnd) {
  if (!Find(hwnd)) return 0;
  return static_cast<int>(Send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemText(HWND dialog, int id, LPCTSTR text) {
  HWND c = GetDlgItem(dialog, id);
  return c ? SetWindowText(c, text) : FALSE;
}

UINT GetDlgItemText(HWND dialog, int id, LPTSTR buf, int size) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) {
    if (buf && size > 0) buf[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowText(c, buf, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  char buf[32];
  if (isSigned) std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
  else std::snprintf(buf, sizeof buf, "%u", value);
  return SetDlgItemText(dialog, id, buf);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  HWND c = GetDlgItem(dialog, id);
  if (!c) return 0;
  const int n = GetWindowTextLength(c);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowText(c, s.data(), n + 1);
  s.resize(std::strlen(s.c_str()));
  // Leading and trailing blanks are allowed; the rest must be a number that fits.
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    if (s[i] == '-') {
      if (!isSigned) return 0;
      neg = true;
    }
    ++i;
  }
  if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return 0;
  unsigned long long v = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    v = v * 10 + static_cast<unsigned>(s[i] - '0');
    if (v > 0xFFFFFFFFull) return 0;
    ++i;
  }
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i != s.size()) return 0;
  if (isSigned) {
    if ((!neg && v > 0x7FFFFFFFull) || (neg && v > 0x80000000ull)) return 0;
  }
  if (translated) *translated = TRUE;
  return neg ? static_cast<UINT>(-static_cast<long long>(v)) : static_cast<UINT>(v);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND c = GetDlgItem(dialog, id);
  if (!c) return FALSE;
  Send(c, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND c = GetDlgItem(dialog, id);
  return c ? static_cast<UINT>(Send(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  for (int id = first; id <= last; ++id) {
    if (HWND c = GetDlgItem(dialog, id)) Send(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND c = GetDlgItem(dialog, id);
  return c ? Send(c, message, wParam, lParam) : 0;
}

// ---------------------------------------------------------------------------
// Code page text for Qt.

namespace qmwnd {

QString ToQt(const char* text) {
  if (!text) return QString();
  const std::string u = CodePageToUtf8(text, GetAnsiCodePage());
  return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

CString FromQt(const QString& text) {
  const QByteArray u = text.toUtf8();
  return CString(Utf8ToCodePage(std::string_view(u.constData(), static_cast<size_t>(u.size())), GetAnsiCodePage()));
}

QString ToQtMnemonic(const char* text, bool keepAmpersand) {
  QString s = ToQt(text);
  if (keepAmpersand) return s;
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('&')) {
      if (i + 1 < s.size() && s[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += s[i];
  }
  return out;
}

}  // namespace qmwnd

QString QmToQString(const char* text) { return ToQt(text); }
CString QmFromQString(const QString& text) { return FromQt(text); }

QWidget* QmWidgetOf(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->W() : nullptr;
}

HWND QmHwndOf(const QWidget* widget) {
  if (!widget) return nullptr;
  if (auto* h = dynamic_cast<const HostWidget*>(widget)) return Find(h->hwnd()) ? h->hwnd() : nullptr;
  const QVariant v = widget->property("qm_hwnd");
  if (!v.isValid()) return nullptr;
  HWND h = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(v.toULongLong()));
  return Find(h) ? h : nullptr;
}
