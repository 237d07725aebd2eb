// Window transparency.
#include "platform/wnd/layered.h"

#include "platform/wnd/host.h"

bool SetLayeredAlpha(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  // The platform's layered windows are looked up once; without them the
  // window stays opaque and untouched.
  if (!QmLayeredWindowsAvailable()) return false;
  if (!IsWindow(window)) return false;
  const LONG ex = GetWindowLong(window, GWL_EXSTYLE);
  SetWindowLong(window, GWL_EXSTYLE, ex | static_cast<LONG>(WS_EX_LAYERED));
  SetLayeredWindowAttributes(window, key, alpha, flags);
  return true;
}

bool SetWindowAlpha(HWND window, BYTE alpha) { return SetLayeredAlpha(window, 0, alpha, LWA_ALPHA); }
