// The base of the platform layer: types, strings, geometry, code pages.
#pragma once

#include "platform/base/codepage.h"
#include "platform/base/cstring.h"
#include "platform/base/drives.h"
#include "platform/base/files.h"
#include "platform/base/geometry.h"
#include "platform/base/memory.h"
#include "platform/base/msgbox.h"
#include "platform/base/registry.h"
#include "platform/base/resource.h"
#include "platform/base/waitcursor.h"
#include "platform/base/wintypes.h"
