// Message boxes and the beep. MessageBox shows a real Qt message box, its
// texts converted from the interface code page. Tests answer through a hook
// instead of a person. Without a hook and without a usable display (no
// QApplication, or the offscreen platform) it never blocks: it prints the
// message on stderr and answers the default button.
#pragma once

#include <functional>

#include "platform/base/cstring.h"

// Buttons (MB_TYPEMASK), icons (MB_ICONMASK) and the default button
// (MB_DEFMASK), with the Windows numbers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONSTOP = 0x10;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFBUTTON4 = 0x300;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_DEFMASK = 0xF00;

// Dialog results (also the ids of the standard dialog buttons).
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// owner: the window the box belongs to (may be null); text and caption in
// the interface code page. Returns the button pressed (IDOK...), or 0 when
// the type is not a known button set.
int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
// The system beep; type is MB_OK, an MB_ICON* value or 0xFFFFFFFF.
BOOL MessageBeep(UINT type);

// The window layer tells how to find the widget of an owner window (a
// QWidget*, as void* to keep Qt out of this header); the box is then
// centred on its owner, else on the active window.
using MessageBoxOwnerResolver = void* (*)(HWND owner);
void SetMessageBoxOwnerResolver(MessageBoxOwnerResolver resolver);

// The answer the box gives when nobody can answer: the default button of
// the type (MB_DEFBUTTONn beyond the buttons counts as the first).
int DefaultMessageBoxButton(UINT type);

// While set, the hook answers every message box instead of a dialog (tests
// record the texts and choose the button). An empty function removes it.
using MessageBoxHook = std::function<int(const CString& text, const CString& caption, UINT type)>;
void SetMessageBoxHook(MessageBoxHook hook);
