// ZSoft PCX pictures for the codec layer.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecPCX : public CBaseImage {
 public:
  CCodecPCX() : CBaseImage(CODEC_FORMAT_PCX) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);

 protected:
  // One plane of packed 1, 2, 4 or 8-bit pixels to one index a byte.
  static bool UnpackPixels(BYTE* pixels, const BYTE* bitplane, long bytesperline, long planes, long bitsperpixel,
                           long width, const char*& error);
  // 1-bit planes to one index a byte, plane p giving bit p.
  static bool PlanesToPixels(BYTE* pixels, const BYTE* bitplanes, long bytesperline, long planes, long bitsperpixel,
                             long width, const char*& error);
  bool PackAndWrite(CCodecFile* hFile, const BYTE* line, long len);
};
