#include "image/codec/ImageWMF.h"

bool CxImageWMF::Decode(CxFile* hFile, long, long) {
  if (!hFile) return false;
  SetLastError("metafile pictures are not supported yet");
  return false;
}

bool CxImageWMF::Encode(CxFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  SetLastError("Save WMF not supported");
  return false;
}
