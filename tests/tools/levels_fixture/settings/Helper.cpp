// Planted: a library includes a test helper.
#include "tests/common/test_util.h"
