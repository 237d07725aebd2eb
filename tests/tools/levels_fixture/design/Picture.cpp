// Planted: the design model includes the pictures, a lower level it may not use.
#include "image/Picture.h"
