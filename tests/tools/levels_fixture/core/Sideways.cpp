// Planted: core and the codecs share a level; core may not use them.
#include "image/codec/Codec.h"
