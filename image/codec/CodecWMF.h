// Windows metafiles (placeable WMF and EMF) for the codec layer, played by
// the drawing stand-in's metafile player at their own size (at most 4000
// pixels a side) on the window colour. Saving is not supported.
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
