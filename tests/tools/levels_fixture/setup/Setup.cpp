// Allowed: the setup program uses a control; planted: it uses the design model.
#include "controls/Button.h"
#include "core/Clean.h"
#include "design/Pattern.h"
