// Truevision TGA pictures for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CxImageTGA : public CBaseImage {
 public:
  CxImageTGA() : CBaseImage(CXIMAGE_FORMAT_TGA) {}
  bool Decode(CxFile* hFile);
  bool Encode(CxFile* hFile);
};
