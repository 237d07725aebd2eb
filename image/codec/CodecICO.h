// Windows icons and cursors for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecICO : public CBaseImage {
 public:
  CCodecICO() : CBaseImage(CODEC_FORMAT_ICO) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);
};
