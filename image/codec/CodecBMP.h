// Windows bitmaps (BMP files and bare DIBs) for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecBMP : public CBaseImage {
 public:
  CCodecBMP() : CBaseImage(CODEC_FORMAT_BMP) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);

  // Reads and normalises the info header (12-byte core, 40-byte info,
  // 64-byte OS/2 and the longer ones up to the 124-byte fifth version); the
  // stream ends up after the header. Headers of 52 bytes or more hold the
  // red, green and blue masks of bit-field pixels: with masks given they
  // are stored there (zeros for shorter headers).
  static bool DibReadBitmapInfo(CCodecFile* fh, BITMAPINFOHEADER* pdib, DWORD* masks = nullptr);
};
