// Planted: the platform layer includes the ids of the language packs.
#pragma once
#include "lang/ids/base.h"
