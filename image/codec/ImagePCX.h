// ZSoft PCX pictures for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CxImagePCX : public CBaseImage {
 public:
  CxImagePCX() : CBaseImage(CXIMAGE_FORMAT_PCX) {}
  bool Decode(CxFile* hFile);
  bool Encode(CxFile* hFile);

 protected:
  // One plane of packed 1, 2, 4 or 8-bit pixels to one index a byte.
  static bool UnpackPixels(BYTE* pixels, const BYTE* bitplane, long bytesperline, long planes, long bitsperpixel,
                           long width, const char*& error);
  // 1-bit planes to one index a byte, plane p giving bit p.
  static bool PlanesToPixels(BYTE* pixels, const BYTE* bitplanes, long bytesperline, long planes, long bitsperpixel,
                             long width, const char*& error);
  bool PackAndWrite(CxFile* hFile, const BYTE* line, long len);
};
