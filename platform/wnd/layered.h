// Window transparency: a window made partly transparent with one alpha for
// the whole window. The splash and the about box are top-level windows;
// the picture layer over the design view is a child window, whose picture
// the stand-in paints at the alpha over its parent's (no compositor needed).
// Where the platform cannot show a top-level window's transparency the calls
// answer false and leave the window as it is.
#pragma once

#include "platform/wnd/winuser.h"

// Makes the window layered (WS_EX_LAYERED) and gives it the key colour,
// alpha and flags (LWA_ALPHA, LWA_COLORKEY). True once the attributes were
// applied.
bool SetLayeredAlpha(HWND window, COLORREF key, BYTE alpha, DWORD flags);
// SetLayeredAlpha with key 0, the alpha and LWA_ALPHA.
bool SetWindowAlpha(HWND window, BYTE alpha);
