// Global-memory DIBs (the clipboard's CF_DIB), run-length DIB data and the
// geometric transforms.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/codec/BaseImage.h"
#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

using namespace codec;

long CBaseImage::ReadByte(CCodecFile* hFile) { return hFile->GetC(); }

void CBaseImage::DecodeRLE(CCodecFile* hFile, bool rle4) {
  if (!pDib || !hFile) return;
  const long height = head.biHeight;
  const long stride = static_cast<long>(info.dwEffWidth);
  // Column position in bytes (RLE8) or pixels (RLE4); y counts from the
  // bottom row. Writes that fall outside the pixel data are dropped.
  long x = 0, y = 0;
  auto put = [&](long value) {
    if (y < 0 || y >= height || x < 0) return;
    BYTE* row = info.pImage + static_cast<size_t>(y) * stride;
    if (rle4) {
      if ((x >> 1) >= stride) return;
      BYTE& b = row[x >> 1];
      if (x & 1) b = static_cast<BYTE>((b & 0xF0) | (value & 0x0F));
      else b = static_cast<BYTE>((b & 0x0F) | ((value & 0x0F) << 4));
    } else {
      if (x >= stride) return;
      row[x] = static_cast<BYTE>(value);
    }
  };
  const long limitX = 0x40000000;  // past any picture; keeps the counters small
  for (;;) {
    const long n = ReadByte(hFile);
    if (n < 0) return;
    const long v = ReadByte(hFile);
    if (v < 0) return;
    if (n == 0) {
      if (v == 0) {  // end of line
        x = 0;
        if (++y > height) y = height;
      } else if (v == 1) {  // end of bitmap
        return;
      } else if (v == 2) {  // delta
        const long dx = ReadByte(hFile);
        const long dy = ReadByte(hFile);
        if (dx < 0 || dy < 0) return;
        x = std::min(x + dx, limitX);
        y = std::min(y + dy, height);
      } else {  // literal run of v values, padded to a whole word
        if (rle4) {
          long b = 0;
          for (long i = 0; i < v; ++i) {
            if ((i & 1) == 0) {
              b = ReadByte(hFile);
              if (b < 0) return;
            }
            put((i & 1) ? (b & 0x0F) : (b >> 4));
            ++x;
          }
          if (((v + 1) / 2) & 1) {
            if (ReadByte(hFile) < 0) return;
          }
        } else {
          for (long i = 0; i < v; ++i) {
            const long b = ReadByte(hFile);
            if (b < 0) return;
            put(b);
            ++x;
          }
          if (v & 1) {
            if (ReadByte(hFile) < 0) return;
          }
        }
        x = std::min(x, limitX);
      }
    } else {  // encoded run of n pixels
      if (rle4) {
        for (long i = 0; i < n; ++i) {
          put((i & 1) ? (v & 0x0F) : (v >> 4));
          ++x;
        }
        x = std::min(x, limitX);
      } else {
        // A run that goes past the end of the row ends the decoding.
        if (x + n > stride) return;
        for (long i = 0; i < n; ++i) {
          put(v);
          ++x;
        }
      }
    }
  }
}

// ---------------------------------------------------------- global memory

namespace {

bool ValidDibBits(WORD bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool CBaseImage::CreateFromHANDLE(HANDLE hMem) {
  if (!Destroy()) return false;
  const size_t blockSize = GlobalSize(hMem);
  if (!blockSize) return false;
  const BYTE* p = static_cast<const BYTE*>(GlobalLock(hMem));
  if (!p) return false;

  const char* error = nullptr;
  bool ok = false;
  do {
    // The header: a 12-byte core header or an info header of 40 bytes or more.
    if (blockSize < 12) {
      error = "DIB block too small";
      break;
    }
    const DWORD hdrSize = GetLE32(p);
    BITMAPINFOHEADER bih;
    std::memset(&bih, 0, sizeof(bih));
    bool core = false;
    if (hdrSize == sizeof(BITMAPCOREHEADER)) {
      core = true;
      bih.biSize = hdrSize;
      bih.biWidth = GetLE16(p + 4);
      bih.biHeight = GetLE16(p + 6);
      bih.biPlanes = GetLE16(p + 8);
      bih.biBitCount = GetLE16(p + 10);
    } else if (hdrSize >= sizeof(BITMAPINFOHEADER) && hdrSize <= blockSize) {
      ReadInfoHeader(p, bih);
    } else {
      error = "DIB block too small";
      break;
    }
    if (!ValidDibBits(bih.biBitCount) || bih.biWidth <= 0 || bih.biHeight == 0 ||
        bih.biHeight == static_cast<LONG>(0x80000000u)) {
      error = "invalid DIB header";
      break;
    }
    const bool topdown = bih.biHeight < 0;
    const std::uint64_t width = static_cast<std::uint64_t>(bih.biWidth);
    const std::uint64_t height = static_cast<std::uint64_t>(topdown ? -static_cast<std::int64_t>(bih.biHeight) : bih.biHeight);
    const WORD bits = bih.biBitCount;

    // Compression by depth.
    const DWORD comp = bih.biCompression;
    if (bits <= 8) {
      if (!(comp == BI_RGB || (comp == BI_RLE8 && bits == 8) || (comp == BI_RLE4 && bits == 4))) {
        error = "compression type not supported";
        break;
      }
    } else if (bits == 24) {
      if (comp != BI_RGB) {
        error = "unknown compression";
        break;
      }
    } else if (comp != BI_RGB && comp != BI_BITFIELDS) {
      error = "unknown compression";
      break;
    }

    // Masks (16 and 32 bits): the three values after the 40 bytes, inside
    // a longer header or right behind a 40-byte one.
    DWORD masks[3] = {0, 0, 0};
    std::uint64_t maskBytes = 0;
    if (bits > 8 && comp == BI_BITFIELDS) {
      if (hdrSize == sizeof(BITMAPINFOHEADER)) maskBytes = 12;
      if (blockSize < 40 + 12) {
        error = "DIB block too small";
        break;
      }
      masks[0] = GetLE32(p + 40);
      masks[1] = GetLE32(p + 44);
      masks[2] = GetLE32(p + 48);
    }

    // Palette of the source: its own count, 3-byte entries after a core header.
    const std::uint64_t entrySize = core ? 3 : 4;
    std::uint64_t srcColors = bih.biClrUsed;
    if (bits <= 8 && srcColors == 0) srcColors = std::uint64_t{1} << bits;
    const std::uint64_t paletteAt = hdrSize + maskBytes;
    const std::uint64_t pixelsAt = paletteAt + srcColors * entrySize;
    if (pixelsAt > blockSize) {
      error = "DIB block too small";
      break;
    }
    if (!FitsMemoryLimit(width, height, bits)) {
      SetLastError("CODEC_MAX_MEMORY exceeded");
      break;
    }
    const std::uint64_t srcStride = DibRowStride(width, bits);
    if (comp == BI_RGB || comp == BI_BITFIELDS) {
      if (srcStride * height > blockSize - pixelsAt) {
        error = "DIB block too small";
        break;
      }
    }

    if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), bits, CODEC_FORMAT_UNKNOWN)) break;

    const LONG xppm = bih.biXPelsPerMeter, yppm = bih.biYPelsPerMeter;
    SetXDPI(xppm > 0 ? static_cast<long>(xppm * 0.0254 + 0.5) : 96);
    SetYDPI(yppm > 0 ? static_cast<long>(yppm * 0.0254 + 0.5) : 96);

    if (RGBQUAD* pal = GetPalette()) {
      const std::uint64_t n = std::min<std::uint64_t>(srcColors, head.biClrUsed);
      for (std::uint64_t i = 0; i < n; ++i) {
        const BYTE* e = p + paletteAt + i * entrySize;
        pal[i].rgbBlue = e[0];
        pal[i].rgbGreen = e[1];
        pal[i].rgbRed = e[2];
        pal[i].rgbReserved = 0;
      }
    }

    const BYTE* src = p + pixelsAt;
    if (bits <= 8 && (comp == BI_RLE8 || comp == BI_RLE4)) {
      CCodecMemFile data(const_cast<BYTE*>(src),
                         static_cast<DWORD>(std::min<std::uint64_t>(blockSize - pixelsAt, 0xFFFFFFFFu)));
      DecodeRLE(&data, comp == BI_RLE4);
    } else if (bits == 16) {
      std::memcpy(info.pImage, src, static_cast<size_t>(srcStride * height));
      Bitfield2RGB(info.pImage, masks[0], masks[1], masks[2], 16);
    } else if (bits == 32) {
      Bitfield2RGB(src, masks[0], masks[1], masks[2], 32);
    } else {
      std::memcpy(info.pImage, src, static_cast<size_t>(srcStride * height));
    }
    if (topdown) Flip();
    ok = true;
  } while (false);

  GlobalUnlock(hMem);
  if (error) SetLastError(error);
  return ok;
}

HANDLE CBaseImage::CopyToHandle() const {
  if (!pDib) return nullptr;
  HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, GetSize());
  if (!hMem) return nullptr;
  BYTE* dst = static_cast<BYTE*>(GlobalLock(hMem));
  if (!dst) {
    GlobalFree(hMem);
    return nullptr;
  }
  std::memcpy(dst, pDib, GetSize());
  // The header as it stands now (the resolution may have changed since the
  // block was made).
  WriteInfoHeader(dst, head);
  GlobalUnlock(hMem);
  return hMem;
}

// --------------------------------------------------------------- transforms

void CBaseImage::CopySettingsFrom(const CBaseImage& src) {
  const DWORD effwidth = info.dwEffWidth;
  BYTE* image = info.pImage;
  const CBaseImage* ghost = info.pGhost;
  const LONG layers = info.nNumLayers;
  info = src.info;
  info.dwEffWidth = effwidth;
  info.pImage = image;
  info.pGhost = ghost;
  info.pParent = nullptr;
  info.nNumLayers = layers;
  info.last_c_isvalid = false;
  head.biXPelsPerMeter = src.head.biXPelsPerMeter;
  head.biYPelsPerMeter = src.head.biYPelsPerMeter;
  head.biClrImportant = src.head.biClrImportant;
  CopyPalette(src);
}

bool CBaseImage::Flip() {
  if (!pDib) return false;
  CBaseImage tmp(*this, false, false, false);
  if (!tmp.IsValid()) return false;
  const long h = head.biHeight;
  for (long y = 0; y < h; ++y)
    std::memcpy(tmp.GetBits(static_cast<DWORD>(h - 1 - y)), GetBits(static_cast<DWORD>(y)), info.dwEffWidth);
  if (pAlpha) {
    const size_t n = static_cast<size_t>(GetWidth()) * GetHeight();
    tmp.pAlpha = static_cast<BYTE*>(std::malloc(n));
    if (!tmp.pAlpha) return false;
    std::memcpy(tmp.pAlpha, pAlpha, n);
    tmp.AlphaFlip();
  }
  return Transfer(tmp);
}

bool CBaseImage::Mirror() {
  if (!pDib) return false;
  CBaseImage tmp(*this, false, false, false);
  if (!tmp.IsValid()) return false;
  const long w = head.biWidth, h = head.biHeight;
  for (long y = 0; y < h; ++y) {
    const BYTE* s = GetBits(static_cast<DWORD>(y));
    BYTE* d = tmp.GetBits(static_cast<DWORD>(y));
    switch (head.biBitCount) {
      case 24:
        for (long x = 0; x < w; ++x) std::memcpy(d + 3 * (w - 1 - x), s + 3 * x, 3);
        break;
      case 8:
        for (long x = 0; x < w; ++x) d[w - 1 - x] = s[x];
        break;
      default:
        for (long x = 0; x < w; ++x) tmp.SetPixelIndex(w - 1 - x, y, BlindGetPixelIndex(x, y));
    }
  }
  if (pAlpha) {
    const size_t n = static_cast<size_t>(GetWidth()) * GetHeight();
    tmp.pAlpha = static_cast<BYTE*>(std::malloc(n));
    if (!tmp.pAlpha) return false;
    std::memcpy(tmp.pAlpha, pAlpha, n);
    tmp.AlphaMirror();
  }
  return Transfer(tmp);
}

// Rotation by 90 degrees; left: dst(x, y) = src(y, H - 1 - x); right:
// dst(x, y) = src(W - 1 - y, x). Works in 64 x 64 blocks.
bool CBaseImage::RotateImpl(CBaseImage* iDst, bool left) {
  if (!pDib) return false;
  const long W = head.biWidth, H = head.biHeight;
  CBaseImage tmp;
  if (!tmp.Create(static_cast<DWORD>(H), static_cast<DWORD>(W), GetBpp(), GetType())) return false;
  tmp.CopySettingsFrom(*this);
  const long nw = H, nh = W;  // size of the result
  const int bpp = GetBpp();
  constexpr long kBlock = 64;
  for (long by = 0; by < nh; by += kBlock) {
    for (long bx = 0; bx < nw; bx += kBlock) {
      const long ey = std::min(by + kBlock, nh), ex = std::min(bx + kBlock, nw);
      for (long y = by; y < ey; ++y) {
        for (long x = bx; x < ex; ++x) {
          const long sx = left ? y : W - 1 - y;
          const long sy = left ? H - 1 - x : x;
          if (bpp == 24) {
            std::memcpy(tmp.BlindGetPixelPointer(x, y), BlindGetPixelPointer(sx, sy), 3);
          } else {
            tmp.SetPixelIndex(x, y, BlindGetPixelIndex(sx, sy));
          }
        }
      }
    }
  }
  if (pAlpha) {
    if (!tmp.AlphaCreate()) return false;
    for (long y = 0; y < nh; ++y)
      for (long x = 0; x < nw; ++x) {
        const long sx = left ? y : W - 1 - y;
        const long sy = left ? H - 1 - x : x;
        tmp.AlphaSet(x, y, BlindAlphaGet(sx, sy));
      }
  }
  return iDst ? iDst->Transfer(tmp) : Transfer(tmp);
}

bool CBaseImage::RotateLeft(CBaseImage* iDst) { return RotateImpl(iDst, true); }
bool CBaseImage::RotateRight(CBaseImage* iDst) { return RotateImpl(iDst, false); }
bool CBaseImage::Negative() {
  if (!pDib) return false;
  if (head.biBitCount <= 8) {
    if (IsGrayScale()) {
      const BYTE top = static_cast<BYTE>((1 << head.biBitCount) - 1);
      for (long y = 0; y < head.biHeight; ++y)
        for (long x = 0; x < head.biWidth; ++x) SetPixelIndex(x, y, static_cast<BYTE>(top - BlindGetPixelIndex(x, y)));
    } else {
      RGBQUAD* pal = GetPalette();
      for (DWORD i = 0; i < head.biClrUsed; ++i) {
        pal[i].rgbBlue = static_cast<BYTE>(255 - pal[i].rgbBlue);
        pal[i].rgbGreen = static_cast<BYTE>(255 - pal[i].rgbGreen);
        pal[i].rgbRed = static_cast<BYTE>(255 - pal[i].rgbRed);
      }
      info.last_c_isvalid = false;
    }
  } else {
    BYTE* p = info.pImage;
    for (DWORD i = 0; i < head.biSizeImage; ++i) p[i] = static_cast<BYTE>(255 - p[i]);
    info.nBkgndColor.rgbBlue = static_cast<BYTE>(255 - info.nBkgndColor.rgbBlue);
    info.nBkgndColor.rgbGreen = static_cast<BYTE>(255 - info.nBkgndColor.rgbGreen);
    info.nBkgndColor.rgbRed = static_cast<BYTE>(255 - info.nBkgndColor.rgbRed);
  }
  return true;
}
