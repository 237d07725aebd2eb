// The clipboard over the desktop's clipboard: device-independent bitmaps
// (CF_DIB, CF_BITMAP) as pictures, texts (CF_TEXT in the interface code
// page, CF_UNICODETEXT). The calls are declared in gdi_api.h.
#pragma once

#include "platform/gdi/gdi_api.h"
