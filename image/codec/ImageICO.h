// Windows icons and cursors for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CxImageICO : public CBaseImage {
 public:
  CxImageICO() : CBaseImage(CXIMAGE_FORMAT_ICO) {}
  bool Decode(CxFile* hFile);
  bool Encode(CxFile* hFile);
};
