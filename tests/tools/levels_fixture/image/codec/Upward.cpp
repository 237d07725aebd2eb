// Planted: the codecs include the picture classes above them.
#include "image/codec/Codec.h"
#include "image/Picture.h"
