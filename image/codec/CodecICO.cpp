#include "image/codec/CodecICO.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

using namespace codec;

namespace {

struct IconEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes, imageOffset;
};

}  // namespace

bool CCodecICO::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  const long start = hFile->Tell();
  BYTE dir[6];
  if (hFile->Read(dir, 1, sizeof(dir)) != sizeof(dir)) return false;
  const WORD reserved = GetLE16(dir), type = GetLE16(dir + 2), count = GetLE16(dir + 4);
  if (reserved != 0 || (type != 1 && type != 2)) return false;
  info.nNumFrames = count;
  if (static_cast<std::uint64_t>(count) * 16 > static_cast<std::uint64_t>(hFile->BytesLeft())) {
    SetLastError("corrupted icon directory");
    return false;
  }
  std::vector<IconEntry> entries(count);
  for (WORD i = 0; i < count; ++i) {
    BYTE e[16];
    if (hFile->Read(e, 1, sizeof(e)) != sizeof(e)) return false;
    entries[i] = {e[0], e[1], e[2], e[3], GetLE16(e + 4), GetLE16(e + 6), GetLE32(e + 8), GetLE32(e + 12)};
  }
  if (info.nFrame < 0 || info.nFrame >= count) return false;
  const IconEntry& entry = entries[static_cast<size_t>(info.nFrame)];

  BYTE raw[40];
  const long size = hFile->Size();
  if (entry.imageOffset > static_cast<DWORD>(LONG_MAX) - static_cast<DWORD>(start) ||
      start + static_cast<long>(entry.imageOffset) > size - static_cast<long>(sizeof(raw)) ||
      !hFile->Seek(start + static_cast<long>(entry.imageOffset), SEEK_SET) ||
      hFile->Read(raw, 1, sizeof(raw)) != sizeof(raw)) {
    SetLastError("icon image lies past the end of the file");
    return false;
  }
  // Icons of 256 pixels are often stored as whole PNG files.
  static const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (std::memcmp(raw, kPngSignature, sizeof(kPngSignature)) == 0) {
    const long at = start + static_cast<long>(entry.imageOffset);
    const long length = std::min<long>(size - at, static_cast<long>(std::min<DWORD>(entry.bytesInRes, LONG_MAX)));
    std::vector<BYTE> png(static_cast<size_t>(length));
    if (!hFile->Seek(at, SEEK_SET) || hFile->Read(png.data(), 1, png.size()) != png.size()) {
      SetLastError("icon image lies past the end of the file");
      return false;
    }
    CBaseImage picture;
    if (!picture.Decode(png.data(), static_cast<DWORD>(png.size()), CODEC_FORMAT_PNG)) {
      SetLastError(*picture.GetLastError() ? picture.GetLastError() : "corrupted PNG icon image");
      return false;
    }
    if (!Transfer(picture)) return false;
    info.dwType = CODEC_FORMAT_ICO;
    info.nNumFrames = count;
    return true;
  }
  BITMAPINFOHEADER bih;
  ReadInfoHeader(raw, bih);
  const WORD bits = bih.biBitCount;
  if (bih.biSize < sizeof(BITMAPINFOHEADER) ||
      !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    SetLastError("corrupted icon image");
    return false;
  }
  if (bih.biSize > sizeof(BITMAPINFOHEADER)) hFile->Seek(static_cast<long>(bih.biSize - 40), SEEK_CUR);

  // A size byte of 0 stands for 256 pixels.
  const std::uint64_t width = entry.width ? entry.width : 256;
  const std::uint64_t height = entry.height ? entry.height : 256;
  std::uint64_t colors = bih.biClrUsed;
  if (colors == 0 && bits <= 8) colors = std::uint64_t{1} << bits;
  const std::uint64_t colorBytes = DibRowStride(width, bits) * height;
  if (colors * 4 + colorBytes > static_cast<std::uint64_t>(hFile->BytesLeft())) {
    SetLastError("corrupted icon image");
    return false;
  }
  if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), bits, CODEC_FORMAT_ICO)) return false;

  if (RGBQUAD* pal = GetPalette()) {
    const std::uint64_t n = std::min<std::uint64_t>(colors, head.biClrUsed);
    hFile->Read(pal, 4, static_cast<size_t>(n));
    if (colors > n) hFile->Seek(static_cast<long>((colors - n) * 4), SEEK_CUR);
    info.last_c_isvalid = false;
  } else if (colors) {
    hFile->Seek(static_cast<long>(colors * 4), SEEK_CUR);
  }

  const long w = static_cast<long>(width), h = static_cast<long>(height);
  bool hadAlpha = false;
  if (bits == 32) {
    std::vector<BYTE> buf(static_cast<size_t>(colorBytes));
    hFile->Read(buf.data(), 1, buf.size());
    if (!AlphaCreate()) return false;
    hadAlpha = true;
    for (long y = 0; y < h; ++y) {
      BYTE* row = GetBits(static_cast<DWORD>(y));
      const BYTE* src = buf.data() + static_cast<size_t>(y) * w * 4;
      for (long x = 0; x < w; ++x) {
        row[3 * x] = src[4 * x];
        row[3 * x + 1] = src[4 * x + 1];
        row[3 * x + 2] = src[4 * x + 2];
        AlphaSet(x, y, src[4 * x + 3]);
      }
    }
  } else if (bits == 16) {
    hFile->Read(info.pImage, 1, static_cast<size_t>(colorBytes));
    Bitfield2RGB(info.pImage, 0, 0, 0, 16);
  } else {
    hFile->Read(info.pImage, 1, static_cast<size_t>(colorBytes));
  }

  // The AND mask: a set bit is transparent. A mask cut short counts as
  // opaque where it is missing.
  const size_t maskStride = static_cast<size_t>(DibRowStride(width, 1));
  std::vector<BYTE> mask(maskStride * static_cast<size_t>(h), 0);
  hFile->Read(mask.data(), 1, mask.size());
  auto masked = [&](long x, long y) { return (mask[static_cast<size_t>(y) * maskStride + (x >> 3)] >> (7 - (x & 7))) & 1; };

  bool allOnes = true;
  for (BYTE b : mask)
    if (b != 0xFF) {
      allOnes = false;
      break;
    }
  if (allOnes) {
    info.nBkgndIndex = 0;
    Negative();
    return true;
  }

  if (!AlphaCreate()) return false;
  bool anyMasked = false;
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      if (masked(x, y)) {
        AlphaSet(x, y, 0);
        anyMasked = true;
      }
  if (!anyMasked && !hadAlpha) {
    AlphaDelete();
    return true;
  }
  if (bits == 24 || bits == 16) {
    // One colour under every masked pixel: that colour is transparent.
    bool same = true, first = true;
    RGBQUAD ct = {0, 0, 0, 0};
    for (long y = 0; y < h && same; ++y)
      for (long x = 0; x < w; ++x) {
        if (!masked(x, y)) continue;
        const RGBQUAD c = BlindGetPixelColor(x, y, false);
        if (first) {
          ct = c;
          first = false;
        } else if (c.rgbBlue != ct.rgbBlue || c.rgbGreen != ct.rgbGreen || c.rgbRed != ct.rgbRed) {
          same = false;
          break;
        }
      }
    if (same && !first) {
      SetTransColor(ct);
      info.nBkgndIndex = 0;
      AlphaDelete();
    }
  } else if (bits <= 8) {
    // The first index no pixel uses takes every masked pixel.
    std::vector<bool> used(head.biClrUsed, false);
    for (long y = 0; y < h; ++y)
      for (long x = 0; x < w; ++x) used[BlindGetPixelIndex(x, y)] = true;
    long unused = -1;
    for (DWORD i = 0; i < head.biClrUsed; ++i)
      if (!used[i]) {
        unused = static_cast<long>(i);
        break;
      }
    if (unused >= 0) {
      for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x)
          if (masked(x, y)) SetPixelIndex(x, y, static_cast<BYTE>(unused));
      if (anyMasked) info.nBkgndIndex = unused;
      AlphaDelete();
    }
  }
  return true;
}

bool CCodecICO::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  const DWORD w = GetWidth(), h = GetHeight();
  if (w >= 256 || h >= 256) {
    SetLastError("Can't save this image as icon");
    return false;
  }
  const bool alpha32 = GetBpp() == 24 && AlphaIsValid();
  const WORD bits = alpha32 ? 32 : GetBpp();
  const DWORD colorStride = alpha32 ? w * 4 : GetEffWidth();
  const DWORD maskStride = static_cast<DWORD>(DibRowStride(w, 1));
  const DWORD imageSize = colorStride * h;
  const DWORD maskSize = maskStride * h;
  const DWORD bytesInRes = 40 + GetPaletteSize() + imageSize + maskSize;

  BYTE dir[6 + 16];
  PutLE16(dir, 0);
  PutLE16(dir + 2, 1);
  PutLE16(dir + 4, 1);
  dir[6] = static_cast<BYTE>(w);
  dir[7] = static_cast<BYTE>(h);
  dir[8] = static_cast<BYTE>(GetPaletteSize());
  dir[9] = 0;
  PutLE16(dir + 10, 0);
  PutLE16(dir + 12, bits);
  PutLE32(dir + 14, bytesInRes);
  PutLE32(dir + 18, 22);
  BITMAPINFOHEADER bih = head;
  bih.biHeight = static_cast<LONG>(h * 2);
  bih.biBitCount = bits;
  bih.biSizeImage = imageSize;
  BYTE ih[40];
  WriteInfoHeader(ih, bih);

  std::vector<BYTE> out;
  out.insert(out.end(), dir, dir + sizeof(dir));
  out.insert(out.end(), ih, ih + sizeof(ih));
  if (const RGBQUAD* pal = GetPalette()) {
    const BYTE* p = reinterpret_cast<const BYTE*>(pal);
    out.insert(out.end(), p, p + GetPaletteSize());
  }
  for (DWORD y = 0; y < h; ++y) {
    const BYTE* row = GetBits(y);
    if (alpha32) {
      for (DWORD x = 0; x < w; ++x) {
        out.push_back(row[3 * x]);
        out.push_back(row[3 * x + 1]);
        out.push_back(row[3 * x + 2]);
        out.push_back(AlphaGet(static_cast<long>(x), static_cast<long>(y)));
      }
    } else {
      out.insert(out.end(), row, row + GetEffWidth());
    }
  }
  const bool alphaPal = IsAlphaPaletteEnabled() && GetPalette();
  const RGBQUAD trans = GetTransColor();
  for (DWORD y = 0; y < h; ++y) {
    std::vector<BYTE> m(maskStride, 0);
    for (DWORD x = 0; x < w; ++x) {
      const long px = static_cast<long>(x), py = static_cast<long>(y);
      bool clear = false;
      if (AlphaIsValid() && AlphaGet(px, py) == 0) clear = true;
      if (alphaPal && GetPaletteColor(GetPixelIndex(px, py)).rgbReserved == 0) clear = true;
      if (IsTransparent()) {
        const RGBQUAD c = GetPixelColor(px, py, false);
        if (c.rgbBlue == trans.rgbBlue && c.rgbGreen == trans.rgbGreen && c.rgbRed == trans.rgbRed) clear = true;
      }
      if (clear) m[x >> 3] = static_cast<BYTE>(m[x >> 3] | (0x80 >> (x & 7)));
    }
    out.insert(out.end(), m.begin(), m.end());
  }
  if (hFile->Write(out.data(), 1, out.size()) != out.size()) {
    SetLastError("Write Error");
    return false;
  }
  return true;
}
