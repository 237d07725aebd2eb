// Window transparency.
#include "platform/wnd/layered.h"

#include "platform/wnd/host.h"

bool SetLayeredAlpha(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  // The platform's layered windows are looked up once; without them the
  // window stays opaque and untouched.
  if (!IsWindow(window)) return false;
  // A child's translucency is painted by the stand-in itself; a top-level
  // window's needs the platform's compositor.
  const bool child = (GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0;
  if (!child && !QmLayeredWindowsAvailable()) return false;
  const LONG ex = GetWindowLong(window, GWL_EXSTYLE);
  SetWindowLong(window, GWL_EXSTYLE, ex | static_cast<LONG>(WS_EX_LAYERED));
  SetLayeredWindowAttributes(window, key, alpha, flags);
  return true;
}

bool SetWindowAlpha(HWND window, BYTE alpha) { return SetLayeredAlpha(window, 0, alpha, LWA_ALPHA); }
