// Helpers of the settings tests: the byte builder and the language scope of
// the shared helpers, and the removal of a stored value.
#pragma once

#include "platform/base.h"
#include "tests/common/test_util.h"
#include "tests/core/core_test_util.h"

namespace settings_test {

using Bytes = qmtest::Bytes;
using coretest::LanguageScope;

// Removes a value of the program key (nothing when it is missing).
void DeleteProgramValue(const char* name);

}  // namespace settings_test
