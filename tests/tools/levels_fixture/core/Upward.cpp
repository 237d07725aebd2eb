// Planted: core includes the design model above it.
#include "core/Clean.h"
#include "design/Pattern.h"
