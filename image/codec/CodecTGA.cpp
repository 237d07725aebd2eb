#include "image/codec/CodecTGA.h"

#include <cstring>
#include <vector>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

using namespace codec;

namespace {

// One pixel value of a file (1 to 4 bytes) into the picture at (x, row);
// a 32-bit pixel's alpha goes to the alpha plane at (x, line).
void PutPixel(CBaseImage& img, const BYTE* v, int depth, long x, long row, long line) {
  BYTE* p = img.GetBits(static_cast<DWORD>(row));
  switch (depth) {
    case 8:
      p[x] = v[0];
      break;
    case 15:
    case 16: {
      const WORD w = GetLE16(v);
      p[3 * x] = WidenChannel(w, 5);
      p[3 * x + 1] = WidenChannel(w >> 5, 5);
      p[3 * x + 2] = WidenChannel(w >> 10, 5);
      break;
    }
    case 24:
      p[3 * x] = v[0];
      p[3 * x + 1] = v[1];
      p[3 * x + 2] = v[2];
      break;
    case 32:
      p[3 * x] = v[0];
      p[3 * x + 1] = v[1];
      p[3 * x + 2] = v[2];
      img.AlphaSet(x, line, v[3]);
      break;
  }
}

}  // namespace

bool CCodecTGA::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  BYTE h[18];
  if (hFile->Read(h, 1, sizeof(h)) != sizeof(h)) {
    SetLastError("Not a TGA");
    return false;
  }
  const BYTE idLength = h[0], cmapType = h[1], imageType = h[2];
  const WORD cmapFirst = GetLE16(h + 3), cmapLength = GetLE16(h + 5);
  const BYTE cmapEntry = h[7];
  const WORD width = GetLE16(h + 12), height = GetLE16(h + 14);
  const BYTE depth = h[16], descriptor = h[17];

  bool rle;
  switch (imageType) {
    case 1: case 2: case 3: rle = false; break;
    case 9: case 10: case 11: rle = true; break;
    default: SetLastError("Unknown TGA image type"); return false;
  }
  const bool mapped = imageType == 1 || imageType == 9;
  const bool grey = imageType == 3 || imageType == 11;
  bool headerOk = width && height && depth && cmapLength <= 256 &&
                  (depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32) && cmapType <= 1;
  // Indexes and grey levels are one byte; true colour is 15 bits or more;
  // a colour map states its entry size.
  if ((mapped || grey) && depth != 8) headerOk = false;
  if (!mapped && !grey && depth == 8) headerOk = false;
  if (cmapType == 1 && cmapLength &&
      !(cmapEntry == 15 || cmapEntry == 16 || cmapEntry == 24 || cmapEntry == 32))
    headerOk = false;
  if (!headerOk) {
    SetLastError("bad TGA header");
    return false;
  }
  hFile->Seek(idLength, SEEK_CUR);

  const int bytesPerPixel = (depth + 7) / 8;
  const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
  const std::uint64_t cmapBytes = cmapType == 1 ? std::uint64_t{cmapLength} * ((cmapEntry + 7) / 8) : 0;
  const std::uint64_t minData = rle ? ((pixels + 127) / 128) * (1 + bytesPerPixel) : pixels * bytesPerPixel;
  if (cmapBytes + minData > static_cast<std::uint64_t>(hFile->BytesLeft())) {
    SetLastError("corrupted TGA");
    return false;
  }
  if (!Create(width, height, depth, CODEC_FORMAT_TGA) || (depth == 32 && !AlphaCreate())) {
    SetLastError("TGA Create failed");
    return false;
  }
  if (info.nEscape) {
    SetLastError("Cancelled");
    return false;
  }

  // The colour map, entries from its first index on.
  if (cmapBytes) {
    const int entryBytes = (cmapEntry + 7) / 8;
    std::vector<BYTE> map(static_cast<size_t>(cmapBytes));
    if (hFile->Read(map.data(), 1, map.size()) != map.size()) {
      SetLastError("corrupted TGA");
      return false;
    }
    if (GetPalette()) {
      for (long i = 0; i < cmapLength; ++i) {
        const long idx = cmapFirst + i;
        if (idx >= static_cast<long>(head.biClrUsed)) break;
        const BYTE* e = map.data() + static_cast<size_t>(i) * entryBytes;
        if (entryBytes == 2) {
          const WORD w = GetLE16(e);
          SetPaletteColor(static_cast<BYTE>(idx), WidenChannel(w >> 10, 5), WidenChannel(w >> 5, 5), WidenChannel(w, 5));
        } else {
          SetPaletteColor(static_cast<BYTE>(idx), e[2], e[1], e[0]);
        }
      }
    }
  }
  if (grey) SetGrayPalette();

  const bool topdown = (descriptor & 0x20) != 0;
  std::vector<BYTE> line(static_cast<size_t>(width) * bytesPerPixel);
  // Run-length state carried from line to line.
  long remaining = 0;
  bool isRun = false;
  BYTE runValue[4] = {0, 0, 0, 0};
  for (long i = 0; i < height; ++i) {
    if (info.nEscape) {
      SetLastError("Cancelled");
      return false;
    }
    if (hFile->BytesLeft() <= 0 && !(rle && remaining > 0 && isRun)) {
      SetLastError("corrupted TGA");
      return false;
    }
    const long row = topdown ? height - 1 - i : i;
    if (!rle) {
      const size_t n = hFile->Read(line.data(), 1, line.size());
      const long whole = static_cast<long>(n / bytesPerPixel);
      for (long x = 0; x < whole; ++x) PutPixel(*this, line.data() + x * bytesPerPixel, depth, x, row, i);
      continue;
    }
    long x = 0;
    while (x < width) {
      if (remaining == 0) {
        const long hdr = hFile->GetC();
        if (hdr < 0) break;
        isRun = (hdr & 0x80) != 0;
        remaining = (hdr & 0x7F) + 1;
        if (isRun && hFile->Read(runValue, 1, bytesPerPixel) != static_cast<size_t>(bytesPerPixel)) {
          remaining = 0;
          break;
        }
      }
      bool lineEnds = false;
      while (remaining > 0 && x < width) {
        BYTE v[4];
        const BYTE* src = runValue;
        if (!isRun) {
          if (hFile->Read(v, 1, bytesPerPixel) != static_cast<size_t>(bytesPerPixel)) {
            remaining = 0;
            lineEnds = true;
            break;
          }
          src = v;
        }
        PutPixel(*this, src, depth, x, row, i);
        ++x;
        --remaining;
      }
      if (lineEnds) break;
    }
  }

  if (descriptor & 0x10) Mirror();
  if (topdown && depth == 32) AlphaFlip();
  return true;
}

bool CCodecTGA::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  if (GetBpp() < 8) {
    SetLastError("Bit depth must be 8 or 24");
    return false;
  }
  const bool palettised = GetBpp() == 8;
  const bool alpha = !palettised && AlphaIsValid();
  BYTE h[18] = {0};
  h[1] = palettised ? 1 : 0;
  h[2] = palettised ? 1 : 2;
  PutLE16(h + 3, 0);
  PutLE16(h + 5, palettised ? 256 : 0);
  h[7] = palettised ? 24 : 0;
  PutLE16(h + 12, static_cast<WORD>(GetWidth()));
  PutLE16(h + 14, static_cast<WORD>(GetHeight()));
  h[16] = palettised ? 8 : (alpha ? 32 : 24);
  h[17] = 0;
  if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) {
    SetLastError("Can't save this image as TGA");
    return false;
  }
  std::vector<BYTE> out(h, h + sizeof(h));
  if (palettised) {
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD c = GetPaletteColor(static_cast<BYTE>(i));
      out.push_back(c.rgbBlue);
      out.push_back(c.rgbGreen);
      out.push_back(c.rgbRed);
    }
  }
  const long w = static_cast<long>(GetWidth());
  for (DWORD y = 0; y < GetHeight(); ++y) {
    const BYTE* row = GetBits(y);
    if (alpha) {
      for (long x = 0; x < w; ++x) {
        out.push_back(row[3 * x]);
        out.push_back(row[3 * x + 1]);
        out.push_back(row[3 * x + 2]);
        out.push_back(static_cast<BYTE>(AlphaGet(x, static_cast<long>(y)) * GetAlphaMax() / 255));
      }
    } else {
      out.insert(out.end(), row, row + w * (palettised ? 1 : 3));
    }
  }
  if (hFile->Write(out.data(), 1, out.size()) != out.size()) {
    SetLastError("Write Error");
    return false;
  }
  return true;
}
