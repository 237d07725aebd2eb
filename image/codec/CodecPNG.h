// PNG pictures for the codec layer, through libpng.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecPNG : public CBaseImage {
 public:
  CCodecPNG() : CBaseImage(CODEC_FORMAT_PNG) {}
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);

  // Codec option bits (format 4) besides 1 (interlaced): reading ignores
  // checksum errors (for the fuzz target, which mutates whole files).
  static constexpr DWORD DECODE_IGNORE_CHECKSUMS = 0x100;
};
