// Allowed: the codecs may use core.
#pragma once
#include "core/Clean.h"
