// Window hooks: the low-level mouse hook (WH_MOUSE_LL), which sees every
// button press and release on the program's windows (in screen
// coordinates), and a loss of the program's activation as a press outside
// all of them (at -32000, -32000). Other hook kinds are refused.
#pragma once

#include "platform/wnd/window.h"

QM_DECLARE_HANDLE(HHOOK);
using HOOKPROC = LRESULT (*)(int nCode, WPARAM wParam, LPARAM lParam);

constexpr int WH_MOUSE_LL = 14;
constexpr int HC_ACTION = 0;

struct MSLLHOOKSTRUCT {
  POINT pt;
  DWORD mouseData;
  DWORD flags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
};
using PMSLLHOOKSTRUCT = MSLLHOOKSTRUCT*;

// The hook runs before the hooks installed earlier; a non-zero answer keeps
// the press from the window.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
BOOL UnhookWindowsHookEx(HHOOK hhk);
LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);
