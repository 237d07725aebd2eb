// The Qt side of the window stand-in, for platform code and tests (it uses
// Qt): control classes implemented over Qt widgets, the widget of a window,
// rendering windows to pictures, and the hooks through which tests drive
// the message loop, modal dialogs and pop-up menus.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

#include "platform/base/cstring.h"
#include "platform/wnd/winuser.h"

class QWidget;

// The behaviour of a window class whose windows are Qt widgets (buttons,
// edits, and the common controls the stand-in draws). Register one with
// QmRegisterControlClass; windows of the class then get their widget from
// CreateWidget and their default procedure from DefProc.
class QmControlClass {
 public:
  virtual ~QmControlClass() = default;
  // The widget of a new window (a child of parent). The stand-in positions
  // it, shows it and filters its events.
  virtual QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) = 0;
  // The class's own default handling of a message: true with *result set
  // when it handled it; false lets the generic default procedure run.
  virtual bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return false;
  }
  // The window's text, style, font or enabled state changed: show it.
  virtual void TextChanged(HWND hwnd, QWidget* widget, const CString& text) {}
  virtual void StyleChanged(HWND hwnd, QWidget* widget, DWORD style) {}
  virtual void FontChanged(HWND hwnd, QWidget* widget, const QFont& font);
  // Dialog keyboard codes (WM_GETDLGCODE) of the class.
  virtual UINT DialogCode(HWND hwnd) { return 0; }
  // True when Qt paints the control; false makes the window paint like a
  // plain window (WM_PAINT into its backing image).
  virtual bool QtPaints(HWND hwnd) { return true; }
};

// Registers a class of controls. FALSE when the name is taken.
BOOL QmRegisterControlClass(LPCTSTR name, UINT classStyle, std::unique_ptr<QmControlClass> impl);

// The widget of a window and back; null when unknown.
QWidget* QmWidgetOf(HWND hwnd);
HWND QmHwndOf(const QWidget* widget);
// Sends WM_COMMAND with a notification code from a control to its parent.
void QmNotifyParent(HWND control, UINT code);
// Text between the interface code page and Qt.
QString QmToQString(const char* text);
CString QmFromQString(const QString& text);
// The Qt font of a font handle (null: the default GUI font).
QFont QmFontOf(HFONT font);

// --- Tests and tools -------------------------------------------------------

// The window as it looks: its widget and children rendered (painting
// whatever is invalid first). With frame, a top-level window gets the
// simulated caption bar and border that its window rectangle includes.
QImage QmRenderWindow(HWND hwnd, bool withFrame = true);
bool QmSaveWindowPng(HWND hwnd, const char* path, bool withFrame = true);
// Runs the event loop until nothing is pending (posted messages, due
// timers, repaints), then the idle processing. maxMs bounds the time.
void QmPumpMessages(int maxMs = 1000);
// Waits up to ms milliseconds while running the loop (timers fire).
void QmWait(int ms);
// The idle processing (command-UI updates) now.
void QmRunIdle();

// Called once each modal loop runs (dialog boxes), with the dialog's handle,
// so tests can work the dialog and end it.
using QmModalHook = std::function<void(HWND dialog)>;
void QmSetModalHook(QmModalHook hook);
// Answers pop-up menus (TrackPopupMenu) instead of a person: returns the
// chosen command, 0 for none.
using QmPopupMenuHook = std::function<UINT(HMENU menu, int x, int y, HWND owner)>;
void QmSetPopupMenuHook(QmPopupMenuHook hook);

// Input as the user would give it: a Qt event for the window's widget,
// translated by the stand-in like a real one. The point is in client
// coordinates; flags are MK_ values (buttons and keys held).
void QmSendMouse(HWND hwnd, UINT message, POINT client, UINT flags = 0);
void QmSendWheel(HWND hwnd, POINT client, int delta, UINT flags = 0);
// A key press and release (or only the press); text is the character typed
// (empty for none).
void QmSendKey(HWND hwnd, UINT vk, const char* text = "", UINT modifiers = 0, bool release = true);
void QmSendText(HWND hwnd, const char* text);
constexpr UINT QM_MOD_SHIFT = 1;
constexpr UINT QM_MOD_CONTROL = 2;
constexpr UINT QM_MOD_ALT = 4;

// Layered windows: whether the platform can show window transparency. Tests
// switch it off to see the opaque fallback.
bool QmLayeredWindowsAvailable();
void QmSetLayeredWindowsAvailable(bool available);

// --- Owner-drawn menus, common dialogs and hooks, for tests ----------------

// A pop-up menu as it looks when open for owner (owner-drawn items measured
// and drawn by the owner), with the item at position highlight (-1: none)
// under the mouse.
QImage QmRenderPopupMenu(HMENU menu, HWND owner, int highlight = -1);

// The common dialogs (the dialog window a modal hook receives). Paths and
// face names as noted; false when the window is not such a dialog.
// The file under the cursor (a path in the interface code page, absolute or
// in the dialog's folder): the program's OnFileNameChange runs.
bool QmFileDialogSelectFile(HWND dialog, const char* path);
// The file type, 1-based: the program's OnTypeChange runs.
bool QmFileDialogChooseFilter(HWND dialog, int index);
// What the user types into the name field (UTF-8: any character a
// keyboard gives).
bool QmFileDialogTypeName(HWND dialog, const char* utf8);
bool QmColorDialogSetColor(HWND dialog, COLORREF color);
// A font by its installed family (UTF-8), in points.
bool QmFontDialogSetFont(HWND dialog, const char* familyUtf8, int pointSize, bool bold, bool italic);
// The folder browser (SHBrowseForFolder): the folder under the cursor (a
// path in the interface code page); its callback hears BFFM_SELCHANGED.
bool QmFolderDialogSelect(HWND dialog, const char* path);
// The program loses the activation (another program's window is chosen):
// the low-level mouse hooks see a press outside the program's windows.
void QmSimulateDeactivation();
