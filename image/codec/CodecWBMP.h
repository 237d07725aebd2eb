// Wireless bitmaps (type 0) for the codec layer. Sizes are multi-byte
// integers: seven bits a byte, most significant first, the top bit set on
// every byte but the last.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecWBMP : public CBaseImage {
 public:
  CCodecWBMP() : CBaseImage(CODEC_FORMAT_WBMP) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);
};
