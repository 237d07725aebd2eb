// Allowed: the codecs below, the ids of the language packs.
#pragma once
#include "image/codec/Codec.h"
#include "lang/ids/picture.h"
