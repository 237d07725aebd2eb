#include "image/codec/CodecWBMP.h"

#include <vector>

#include "image/codec/CodecFile.h"

bool CCodecWBMP::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  BYTE h[4];
  if (hFile->Read(h, 1, sizeof(h)) != sizeof(h)) {
    SetLastError("Not a WBMP");
    return false;
  }
  if (h[0] != 0) {
    SetLastError("Unsupported WBMP type");
    return false;
  }
  const DWORD width = h[2], height = h[3];
  const long lineBytes = static_cast<long>((width + 7) / 8);
  // Every row must be there.
  if (width == 0 || height == 0 || static_cast<std::uint64_t>(lineBytes) * height > static_cast<std::uint64_t>(hFile->BytesLeft())) {
    SetLastError("Corrupted WBMP");
    return false;
  }
  if (!Create(width, height, 1, CODEC_FORMAT_WBMP)) {
    SetLastError("WBMP Create failed");
    return false;
  }
  SetGrayPalette();
  for (DWORD y = 0; y < height; ++y) {
    if (hFile->Read(GetBits(height - 1 - y), 1, static_cast<size_t>(lineBytes)) != static_cast<size_t>(lineBytes)) {
      SetLastError("Corrupted WBMP");
      return false;
    }
  }
  return true;
}

bool CCodecWBMP::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  if (GetWidth() > 255 || GetHeight() > 255 || GetBpp() != 1) {
    SetLastError("Can't save this image as WBMP");
    return false;
  }
  const DWORD height = GetHeight();
  const size_t lineBytes = (GetWidth() + 7) / 8;
  std::vector<BYTE> out = {0, 0, static_cast<BYTE>(GetWidth()), static_cast<BYTE>(height)};
  for (DWORD y = 0; y < height; ++y) {
    const BYTE* row = GetBits(height - 1 - y);
    out.insert(out.end(), row, row + lineBytes);
  }
  if (hFile->Write(out.data(), 1, out.size()) != out.size()) {
    SetLastError("Write Error");
    return false;
  }
  return true;
}
