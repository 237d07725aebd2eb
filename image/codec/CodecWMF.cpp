#include "image/codec/CodecWMF.h"

bool CCodecWMF::Decode(CCodecFile* hFile, long, long) {
  if (!hFile) return false;
  SetLastError("metafile pictures are not supported yet");
  return false;
}

bool CCodecWMF::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  SetLastError("Save WMF not supported");
  return false;
}
