// Allowed: a header beside the file.
#include "Clean.h"
