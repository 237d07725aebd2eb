// Allowed: the platform below.
#pragma once
#include "platform/base.h"
