// The drawing stand-in: device contexts and the MFC drawing classes, image
// lists, the clipboard, system colours and metrics.
#pragma once

#include "platform/gdi/afxgdi.h"
#include "platform/gdi/clipboard.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/imagelist.h"
#include "platform/gdi/metafile.h"
