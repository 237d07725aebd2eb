#include "image/codec/CodecWBMP.h"

#include <vector>

#include "image/codec/CodecFile.h"

namespace {

enum class MbResult { kOk, kEnd, kTooLong };

// A multi-byte integer; at most five bytes (32 bits) are taken.
MbResult ReadMultiByte(CCodecFile* f, DWORD& value) {
  value = 0;
  for (int i = 0; i < 5; ++i) {
    const long c = f->GetC();
    if (c < 0) return MbResult::kEnd;
    if (i == 4 && (value >> 25) != 0) return MbResult::kTooLong;
    value = (value << 7) | static_cast<DWORD>(c & 0x7F);
    if (!(c & 0x80)) return MbResult::kOk;
  }
  return MbResult::kTooLong;
}

void PutMultiByte(std::vector<BYTE>& out, DWORD value) {
  BYTE groups[5];
  int n = 0;
  do {
    groups[n++] = static_cast<BYTE>(value & 0x7F);
    value >>= 7;
  } while (value);
  while (n > 1) out.push_back(static_cast<BYTE>(0x80 | groups[--n]));
  out.push_back(groups[0]);
}

}  // namespace

bool CCodecWBMP::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  DWORD type = 0, width = 0, height = 0;
  const MbResult t = ReadMultiByte(hFile, type);
  const long fixed = t == MbResult::kOk ? hFile->GetC() : -1;
  if (t == MbResult::kEnd || fixed < 0) {
    SetLastError("Not a WBMP");
    return false;
  }
  if (t != MbResult::kOk || type != 0 || (fixed & 0x80)) {
    // Type 0 has no extension headers.
    SetLastError("Unsupported WBMP type");
    return false;
  }
  const MbResult w = ReadMultiByte(hFile, width);
  const MbResult h = w == MbResult::kOk ? ReadMultiByte(hFile, height) : w;
  if (w == MbResult::kEnd || h == MbResult::kEnd) {
    SetLastError("Not a WBMP");
    return false;
  }
  const std::uint64_t lineBytes = (static_cast<std::uint64_t>(width) + 7) / 8;
  // Every row must be there.
  if (w != MbResult::kOk || h != MbResult::kOk || width == 0 || height == 0 ||
      lineBytes * height > static_cast<std::uint64_t>(hFile->BytesLeft())) {
    SetLastError("Corrupted WBMP");
    return false;
  }
  if (!FitsMemoryLimit(width, height, 1) || !Create(width, height, 1, CODEC_FORMAT_WBMP)) {
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
  if (GetBpp() != 1) {
    SetLastError("Can't save this image as WBMP");
    return false;
  }
  const DWORD height = GetHeight();
  const size_t lineBytes = (GetWidth() + 7) / 8;
  std::vector<BYTE> out = {0, 0};
  PutMultiByte(out, GetWidth());
  PutMultiByte(out, height);
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
