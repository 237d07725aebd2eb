// Allowed: settings (absent from this tree) and core; planted: the palette above.
#pragma once
#include "settings/Settings.h"
#include "core/Clean.h"
#include "palette/ColorSet.h"
