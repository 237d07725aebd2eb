// Allowed: the dialogs may use the view.
#include "view/View.h"
