// Planted: the view includes the dialogs.
#pragma once
#include "dialogs/Dialog.h"
