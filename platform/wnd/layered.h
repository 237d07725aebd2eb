// Window transparency: a top-level window made partly transparent with one
// alpha for the whole window. The splash, the about box and the picture
// layer over the design view use it. Where the platform cannot show
// transparency the calls answer false and leave the window as it is.
#pragma once

#include "platform/wnd/winuser.h"

// Makes the window layered (WS_EX_LAYERED) and gives it the key colour,
// alpha and flags (LWA_ALPHA, LWA_COLORKEY). True once the attributes were
// applied.
bool SetLayeredAlpha(HWND window, COLORREF key, BYTE alpha, DWORD flags);
// SetLayeredAlpha with key 0, the alpha and LWA_ALPHA.
bool SetWindowAlpha(HWND window, BYTE alpha);
