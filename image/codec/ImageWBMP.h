// Wireless bitmaps (type 0, single-byte sizes) for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CxImageWBMP : public CBaseImage {
 public:
  CxImageWBMP() : CBaseImage(CXIMAGE_FORMAT_WBMP) {}
  bool Decode(CxFile* hFile);
  bool Encode(CxFile* hFile);
};
