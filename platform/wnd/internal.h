// Inside the window stand-in: the record behind each window handle, window
// classes, and the Qt widgets that carry the windows. Only platform code
// includes this header (it uses Qt).
#pragma once

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/wnd/host.h"
#include "platform/wnd/window.h"

class QMenuBar;
class QScrollBar;

namespace qmwnd {

struct Window;

// A registered window class.
struct WndClass {
  std::string name;
  WNDCLASS wc{};
  std::string menuName;
  // Built-in or registered control behaviour; null for plain windows.
  QmControlClass* control = nullptr;
  bool dialog = false;  // the dialog class "#32770"
};

// The state of one of a window's own scroll bars.
struct ScrollState {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  bool tracking = false;
  bool shown = false;  // WS_HSCROLL / WS_VSCROLL
  bool enabled = true;
  QScrollBar* bar = nullptr;  // child widget in the non-client area
};

struct TimerEntry {
  std::unique_ptr<QTimer> timer;
  TIMERPROC proc = nullptr;
};

// Non-client insets of a window.
struct Insets {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Window {
  HWND hwnd = nullptr;
  WndClass* cls = nullptr;
  CWnd* perm = nullptr;             // the program's object
  std::unique_ptr<CWnd> temp;       // the framework's object for FromHandle
  QPointer<QWidget> widget;         // the Qt widget of the whole window
  HWND parent = nullptr;            // child windows: the parent
  HWND owner = nullptr;             // top-level windows: the owner
  std::vector<HWND> children;       // z-order, first is the top
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT_PTR id = 0;                  // child id
  HMENU menu = nullptr;             // top-level menu bar
  CString text;
  HFONT font = nullptr;
  HICON icons[2] = {nullptr, nullptr};
  HCURSOR cursor = nullptr;         // last cursor set while over this window
  LONG_PTR userData = 0;
  LONG_PTR dlgResult = 0;           // DWL_MSGRESULT
  WNDPROC subclassProc = nullptr;   // GWL_WNDPROC replaced by the program
  std::map<std::string, HANDLE> props;
  std::map<UINT_PTR, TimerEntry> timers;
  ScrollState scroll[2];
  QMenuBar* menuBar = nullptr;

  // Painting: the backing image of the whole window (widget size), the
  // client area's invalid region and whether it is to be erased.
  QImage image;
  QRegion invalid;
  bool erase = false;
  bool ncDirty = true;
  bool inPaint = false;
  bool redraw = true;

  // Layered windows.
  bool layered = false;
  BYTE alpha = 255;
  COLORREF colorKey = 0;
  DWORD layeredFlags = 0;

  // System menu state.
  HMENU sysMenu = nullptr;

  // Last position and size told to the window (WM_MOVE / WM_SIZE), the
  // widget size the image and non-client parts were last laid out for, and
  // where the client area then began.
  QRect notified;
  QSize laidOutSize;
  QPoint lastClientOrigin;
  bool createdDone = false;

  // Dialogs: the dialog font and its base units (dialog units to pixels).
  int dlgBaseX = 0;
  int dlgBaseY = 0;
  HFONT dlgFont = nullptr;
  bool ownsDlgFont = false;
  int defId = IDOK;
  HWND lastFocus = nullptr;
  bool dialogEnded = false;
  INT_PTR dialogResult = 0;

  // Life.
  int busy = 0;
  bool destroying = false;
  bool dead = false;
  bool trackLeave = false;
  bool mouseInside = false;
  bool inSetPos = false;
  bool beganPaint = false;
  bool suppressContextMenu = false;

  QWidget* W() const { return widget.data(); }
  bool IsChild() const { return (style & WS_CHILD) != 0; }
  WNDPROC ClassProc() const;
};

// The record of a handle, or null.
Window* Find(HWND hwnd);
// The record of a widget (the widget itself or its closest window ancestor).
Window* FromWidget(const QWidget* w);
// All live windows (for tests and enumeration), in creation order.
std::vector<HWND> AllWindows();

// Geometry.
Insets InnerInsets(const Window& w);   // drawn inside the widget
Insets OuterInsets(const Window& w);   // simulated outside top-level widgets
QRect ClientRectInWidget(const Window& w);
QPoint ClientOriginOnScreen(const Window& w);
void RelayoutNonClient(Window& w);
// After the widget's size changed: image, non-client parts, invalidation.
void AfterGeometryChange(Window& w);
void SyncScrollBar(Window& w, int bar);
bool IsSysCloseEnabledImpl(const Window& w);
QRegion RegionOf(HRGN rgn);

// Painting.
void InvalidateClient(Window& w, const QRegion& region, bool erase);
void EnsureImage(Window& w);
void PaintWindowNow(Window& w);  // runs WM_PAINT when needed
void BlitToWidget(Window& w, QPainter& p, const QRect& widgetRect);
// Qt paint events being handled (no synchronous repaint inside them).
extern int g_qtPaintDepth;

// Messages.
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Sends an input message that stands for a Qt event: first offered to
// PreTranslateMessage, then to the window. passToQt becomes true when the
// window's default procedure ran (the widget's own behaviour applies).
// Answers false when PreTranslateMessage took the message.
bool SendQueued(const MSG& msg, bool* passToQt);
LRESULT DefProc(Window& w, UINT message, WPARAM wParam, LPARAM lParam);
void MarkIdle();

// Records are freed only when no message is being handled: every entry
// into a window procedure or event handler is bracketed by these.
void EnterDispatch();
void LeaveDispatch();

// Sets up the Qt hooks once a QApplication exists.
void EnsureInit();

// Keyboard focus kept by the stand-in.
HWND FocusWindow();
void SetFocusWindow(HWND hwnd, bool moveQtFocus);
void ForgetFocus(HWND hwnd);
// The window whose modal loop or whose ancestors' disabled state blocks input.
bool InputBlocked(const Window& w);
// Timers and Qt objects deleted at a safe point (never inside their signal).
void Bury(QObject* o);
void FlushGraveyard();
void RunIdle(bool force);
void PostModalHook(HWND hwnd);
const MSG* CurrentMessage();
void SendSizeMove(Window& w, bool force);
void UpdateTopLevelFlags(Window& w);
bool ModalHookInstalled();
// The main message loop (until WM_QUIT); the quit code.
int RunMainLoop();
void ResetQuit();
int QuitCode();

// The built-in control classes.
void RegisterBuiltinClasses();
WndClass* FindClass(const char* name);

// Text between the interface code page and Qt.
QString ToQt(const char* text);
CString FromQt(const QString& text);
// Dialog-control text: '&' marks the mnemonic ("&&" is one '&').
QString ToQtMnemonic(const char* text, bool keepAmpersand);

// A QFont for a font handle (null: the default GUI font).
QFont QtFontOf(HFONT font);

// The event handler every window widget runs before Qt's own handling.
bool HandleEvent(Window& w, QWidget* widget, QEvent* e);

// The widget of plain windows, dialogs and placeholders.
class HostWidget : public QWidget {
 public:
  HostWidget(HWND hwnd, QWidget* parent, Qt::WindowFlags flags);
  HWND hwnd() const { return hwnd_; }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  HWND hwnd_;
};

// Filters the events of control widgets (Qt's own widgets) for their window.
class ControlFilter : public QObject {
 public:
  explicit ControlFilter(HWND hwnd, QObject* parent) : QObject(parent), hwnd_(hwnd) {}
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  HWND hwnd_;
};

// Modal loops in progress (innermost last).
std::vector<HWND>& ModalStack();

// The window whose CREATESTRUCT is being made by CWnd::CreateEx.
extern CWnd* g_wndInit;

}  // namespace qmwnd
