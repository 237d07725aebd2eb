// PNG pictures for the codec layer, through libpng.
#pragma once

#include "image/codec/BaseImage.h"

class CxImagePNG : public CBaseImage {
 public:
  CxImagePNG() : CBaseImage(CXIMAGE_FORMAT_PNG) {}
  bool Decode(CxFile* hFile);
  bool Encode(CxFile* hFile);
};
