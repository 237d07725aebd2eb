// Windows bitmaps (BMP files and bare DIBs) for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecBMP : public CBaseImage {
 public:
  CCodecBMP() : CBaseImage(CODEC_FORMAT_BMP) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);

  // Reads and normalises the info header (12-, 40-, 64-byte and, under
  // conditions, longer headers); the stream ends up after the header.
  static bool DibReadBitmapInfo(CCodecFile* fh, BITMAPINFOHEADER* pdib);
};
