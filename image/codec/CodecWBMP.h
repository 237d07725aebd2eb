// Wireless bitmaps (type 0, single-byte sizes) for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecWBMP : public CBaseImage {
 public:
  CCodecWBMP() : CBaseImage(CODEC_FORMAT_WBMP) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);
};
