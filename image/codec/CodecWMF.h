// Windows metafiles (placeable WMF and EMF) for the codec layer. Decoding
// needs a metafile player over the drawing layer; until it exists the
// decoder declines every stream, so the format dispatch moves on.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecWMF : public CBaseImage {
 public:
  CCodecWMF() : CBaseImage(CODEC_FORMAT_WMF) {}
  bool Decode(CCodecFile* hFile, long nMaxWidth = 0, long nMaxHeight = 0);
  bool Encode(CCodecFile* hFile);

 protected:
  DWORD m_reserved[3] = {0, 0, 0};
};
