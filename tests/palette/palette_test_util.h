// Fixtures of the palette tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace palettetest {

using Bytes = qmtest::Bytes;

}  // namespace palettetest
