#include "image/codec/CodecPCX.h"

#include <cstring>
#include <vector>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

using namespace codec;

bool CCodecPCX::UnpackPixels(BYTE* pixels, const BYTE* bitplane, long bytesperline, long planes, long bitsperpixel,
                              long width, const char*& error) {
  if (planes != 1) {
    error = "Can't handle packed pixels with more than 1 plane.";
    return false;
  }
  if (static_cast<std::int64_t>(width) * bitsperpixel > static_cast<std::int64_t>(bytesperline) * 8) {
    error = "PCX bytes per line too small for the width";
    return false;
  }
  const int mask = (1 << bitsperpixel) - 1;
  for (long x = 0; x < width; ++x) {
    const long bit = x * bitsperpixel;
    pixels[x] = static_cast<BYTE>((bitplane[bit >> 3] >> (8 - bitsperpixel - (bit & 7))) & mask);
  }
  return true;
}

bool CCodecPCX::PlanesToPixels(BYTE* pixels, const BYTE* bitplanes, long bytesperline, long planes,
                                long bitsperpixel, long width, const char*& error) {
  if (planes > 4) {
    error = "Can't handle more than 4 planes";
    return false;
  }
  if (bitsperpixel != 1) {
    error = "Can't handle more than 1 bit per pixel";
    return false;
  }
  if (width > static_cast<std::int64_t>(bytesperline) * 8) {
    error = "PCX bytes per line too small for the width";
    return false;
  }
  for (long x = 0; x < width; ++x) {
    BYTE idx = 0;
    for (long p = 0; p < planes; ++p) {
      const BYTE b = bitplanes[p * bytesperline + (x >> 3)];
      if ((b >> (7 - (x & 7))) & 1) idx = static_cast<BYTE>(idx | (1 << p));
    }
    pixels[x] = idx;
  }
  return true;
}

bool CCodecPCX::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  const char* error = nullptr;
  BYTE h[128];
  if (hFile->Read(h, 1, sizeof(h)) != sizeof(h)) {
    SetLastError("Can't read PCX image");
    return false;
  }
  if (h[0] != 10) {
    SetLastError("Error: Not a PCX file");
    return false;
  }
  if (h[2] != 1) {
    SetLastError("PCX file has unknown encoding scheme");
    return false;
  }
  const long bits = h[3];
  const long width = static_cast<long>(GetLE16(h + 8)) - GetLE16(h + 4) + 1;
  const long height = static_cast<long>(GetLE16(h + 10)) - GetLE16(h + 6) + 1;
  const long planes = h[65];
  const long bytesPerLine = GetLE16(h + 66);
  if (width <= 0 || height <= 0) {
    SetLastError("corrupted PCX");
    return false;
  }
  SetXDPI(GetLE16(h + 12));
  SetYDPI(GetLE16(h + 14));
  if (planes > 4) {
    SetLastError("Can't handle image with more than 4 planes");
    return false;
  }
  const bool trueColour = planes > 2 && bits == 8;
  if (!trueColour) {
    if (planes == 1) {
      if (!(bits == 1 || bits == 2 || bits == 4 || bits == 8)) error = "Can't handle more than 1 bit per pixel";
    } else if (planes < 1) {
      error = "corrupted PCX";
    } else if (bits != 1) {
      error = "Can't handle more than 1 bit per pixel";
    }
  }
  if (!error && static_cast<std::int64_t>(width) * (trueColour ? 8 : bits) > static_cast<std::int64_t>(bytesPerLine) * 8)
    error = "PCX bytes per line too small for the width";
  if (error) {
    SetLastError(error);
    return false;
  }
  // Each two bytes of the data give at most 63 bytes of the picture.
  const std::uint64_t total = static_cast<std::uint64_t>(height) * planes * bytesPerLine;
  if ((total + 62) / 63 * 2 > static_cast<std::uint64_t>(hFile->BytesLeft()) || total > GetMemoryLimit()) {
    SetLastError("corrupted PCX");
    return false;
  }
  const long bpp = trueColour ? 24 : (planes == 1 ? bits : 4);
  if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), static_cast<DWORD>(bpp), CODEC_FORMAT_PCX))
    return false;
  if (trueColour && planes == 4 && !AlphaCreate()) return false;
  if (info.nEscape) {
    SetLastError("Cancelled");
    return false;
  }

  std::vector<BYTE> data(static_cast<size_t>(total));
  for (std::uint64_t n = 0; n < total;) {
    const long c = hFile->GetC();
    if (c < 0) {
      SetLastError("corrupted PCX");
      return false;
    }
    if (c > 0xBF) {
      const std::uint64_t count = static_cast<std::uint64_t>(c & 0x3F);
      const long v = hFile->GetC();
      if (v < 0) {
        SetLastError("corrupted PCX");
        return false;
      }
      if (count > total - n) {
        SetLastError("repeat count spans end of image");
        return false;
      }
      std::memset(data.data() + n, static_cast<int>(v), static_cast<size_t>(count));
      n += count;
    } else {
      data[static_cast<size_t>(n++)] = static_cast<BYTE>(c);
    }
  }

  // Palette: the header's 16 colours; 256 after the data for 8 bits.
  if (GetPalette()) {
    if (bits == 8 && planes == 1) {
      BYTE pal[769] = {0};
      if (hFile->Read(pal, 1, sizeof(pal)) < 1 || pal[0] != 12) {
        SetLastError("bad color map signature");
        return false;
      }
      for (int i = 0; i < 256; ++i) SetPaletteColor(static_cast<BYTE>(i), pal[1 + 3 * i], pal[2 + 3 * i], pal[3 + 3 * i]);
    } else if (bits == 1 && planes == 1) {
      // The header's first two colours, unless they are left empty (both
      // black) or hold the standard EGA table (black, dark blue): such
      // files are black and white.
      const BYTE* e = h + 16;
      const bool emptyTable = e[0] == 0 && e[1] == 0 && e[2] == 0 && e[3] == 0 && e[4] == 0 && (e[5] == 0 || e[5] == 170);
      if (emptyTable) {
        SetPaletteColor(0, 0, 0, 0);
        SetPaletteColor(1, 255, 255, 255);
      } else {
        SetPaletteColor(0, e[0], e[1], e[2]);
        SetPaletteColor(1, e[3], e[4], e[5]);
      }
    } else {
      for (int i = 0; i < 16 && i < static_cast<int>(head.biClrUsed); ++i)
        SetPaletteColor(static_cast<BYTE>(i), h[16 + 3 * i], h[17 + 3 * i], h[18 + 3 * i]);
    }
  }

  std::vector<BYTE> indexes(static_cast<size_t>(width));
  const size_t lineSize = static_cast<size_t>(planes) * bytesPerLine;
  for (long y = 0; y < height; ++y) {
    const BYTE* line = data.data() + static_cast<size_t>(y) * lineSize;
    const long row = height - 1 - y;
    if (trueColour) {
      BYTE* dst = GetBits(static_cast<DWORD>(row));
      for (long x = 0; x < width; ++x) {
        dst[3 * x + 2] = line[x];
        dst[3 * x + 1] = line[bytesPerLine + x];
        dst[3 * x] = line[2 * bytesPerLine + x];
        if (planes == 4) AlphaSet(x, row, line[3 * bytesPerLine + x]);
      }
      continue;
    }
    const bool ok = planes == 1 ? UnpackPixels(indexes.data(), line, bytesPerLine, planes, bits, width, error)
                                : PlanesToPixels(indexes.data(), line, bytesPerLine, planes, bits, width, error);
    if (!ok) {
      SetLastError(error);
      return false;
    }
    for (long x = 0; x < width; ++x) SetPixelIndex(x, row, indexes[static_cast<size_t>(x)]);
  }
  return true;
}

bool CCodecPCX::PackAndWrite(CCodecFile* hFile, const BYTE* line, long len) {
  std::vector<BYTE> out;
  out.reserve(static_cast<size_t>(len) * 2);
  for (long i = 0; i < len;) {
    const BYTE v = line[i];
    long run = 1;
    while (i + run < len && run < 63 && line[i + run] == v) ++run;
    if (run > 1 || v >= 0xC0) {
      out.push_back(static_cast<BYTE>(0xC0 | run));
      out.push_back(v);
    } else {
      out.push_back(v);
    }
    i += run;
  }
  return hFile->Write(out.data(), 1, out.size()) == out.size();
}

bool CCodecPCX::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  const long w = static_cast<long>(GetWidth()), hgt = static_cast<long>(GetHeight());
  if (w > 0x10000 || hgt > 0x10000) {
    SetLastError("cannot write PCX header");
    return false;
  }
  const int bpp = GetBpp();
  const bool eight = bpp >= 8;
  const long planes = bpp == 24 ? (AlphaIsValid() ? 4 : 3) : (bpp == 4 ? 4 : 1);
  const long bitsPerPlane = eight ? 8 : 1;
  long bytesPerLine = (w * bitsPerPlane + 7) / 8;
  bytesPerLine += bytesPerLine & 1;

  BYTE h[128] = {0};
  h[0] = 10;
  h[1] = 5;
  h[2] = 1;
  h[3] = static_cast<BYTE>(bitsPerPlane);
  PutLE16(h + 8, static_cast<WORD>(w - 1));
  PutLE16(h + 10, static_cast<WORD>(hgt - 1));
  PutLE16(h + 12, static_cast<WORD>(GetXDPI()));
  PutLE16(h + 14, static_cast<WORD>(GetYDPI()));
  // A 1-bit picture is written darker colour first, its bits inverted when
  // its own first colour is the brighter one, so that readers that take
  // such files as black and white see the light and dark parts right; the
  // header holds the two colours. With two equal colours every pixel is 0.
  bool invert = false, oneColour = false;
  if (bpp == 1) {
    const RGBQUAD c0 = GetPaletteColor(0), c1 = GetPaletteColor(1);
    invert = c0.rgbRed + c0.rgbGreen + c0.rgbBlue > c1.rgbRed + c1.rgbGreen + c1.rgbBlue;
    oneColour = c0.rgbRed == c1.rgbRed && c0.rgbGreen == c1.rgbGreen && c0.rgbBlue == c1.rgbBlue;
  }
  if (bpp == 4 || bpp == 1) {
    for (int i = 0; i < (bpp == 1 ? 2 : 16); ++i) {
      const RGBQUAD c = GetPaletteColor(static_cast<BYTE>(invert ? i ^ 1 : i));
      h[16 + 3 * i] = c.rgbRed;
      h[17 + 3 * i] = c.rgbGreen;
      h[18 + 3 * i] = c.rgbBlue;
    }
  }
  h[65] = static_cast<BYTE>(planes);
  PutLE16(h + 66, static_cast<WORD>(bytesPerLine));
  PutLE16(h + 68, 1);
  if (hFile->Write(h, 1, sizeof(h)) != sizeof(h)) {
    SetLastError("cannot write PCX header");
    return false;
  }
  std::vector<BYTE> plane(static_cast<size_t>(bytesPerLine));
  for (long y = hgt - 1; y >= 0; --y) {
    for (long p = 0; p < planes; ++p) {
      std::fill(plane.begin(), plane.end(), 0);
      for (long x = 0; x < w; ++x) {
        if (bpp == 24) {
          BYTE v;
          if (p == 3) {
            v = AlphaGet(x, y);
          } else {
            const RGBQUAD c = BlindGetPixelColor(x, y, false);
            v = p == 0 ? c.rgbRed : p == 1 ? c.rgbGreen : c.rgbBlue;
          }
          plane[static_cast<size_t>(x)] = v;
        } else if (bpp == 8) {
          plane[static_cast<size_t>(x)] = BlindGetPixelIndex(x, y);
        } else {
          BYTE idx = BlindGetPixelIndex(x, y);
          if (bpp == 1 && invert) idx ^= 1;
          if (oneColour) idx = 0;
          if ((idx >> p) & 1) plane[static_cast<size_t>(x >> 3)] |= static_cast<BYTE>(0x80 >> (x & 7));
        }
      }
      if (!PackAndWrite(hFile, plane.data(), bytesPerLine)) {
        SetLastError("Write Error");
        return false;
      }
    }
  }
  if (bpp == 8) {
    BYTE pal[769];
    pal[0] = 12;
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD c = GetPaletteColor(static_cast<BYTE>(i));
      pal[1 + 3 * i] = c.rgbRed;
      pal[2 + 3 * i] = c.rgbGreen;
      pal[3 + 3 * i] = c.rgbBlue;
    }
    if (hFile->Write(pal, 1, sizeof(pal)) != sizeof(pal)) {
      SetLastError("Write Error");
      return false;
    }
  }
  return true;
}
