// Windows bitmaps (BMP files and bare DIBs) for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CxImageBMP : public CBaseImage {
 public:
  CxImageBMP() : CBaseImage(CXIMAGE_FORMAT_BMP) {}
  bool Decode(CxFile* hFile);
  bool Encode(CxFile* hFile);

  // Reads and normalises the info header (12-, 40-, 64-byte and, under
  // conditions, longer headers); the stream ends up after the header.
  static bool DibReadBitmapInfo(CxFile* fh, BITMAPINFOHEADER* pdib);
};
