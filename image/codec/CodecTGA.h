// Truevision TGA pictures for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecTGA : public CBaseImage {
 public:
  CCodecTGA() : CBaseImage(CODEC_FORMAT_TGA) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);
};
