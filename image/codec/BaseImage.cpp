#include "image/codec/BaseImage.h"

#include "image/codec/CodecUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

std::uint64_t g_memoryLimit = CODEC_MAX_MEMORY;

}  // namespace

void CBaseImage::SetMemoryLimit(std::uint64_t bytes) { g_memoryLimit = bytes ? bytes : CODEC_MAX_MEMORY; }
std::uint64_t CBaseImage::GetMemoryLimit() { return g_memoryLimit; }

bool CBaseImage::FitsMemoryLimit(std::uint64_t width, std::uint64_t height, std::uint64_t bpp) {
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return false;
  if (bpp <= 1) bpp = 1;
  else if (bpp <= 4) bpp = 4;
  else if (bpp <= 8) bpp = 8;
  else bpp = 24;
  const std::uint64_t palette = bpp <= 8 ? (std::uint64_t{4} << bpp) : 0;
  const std::uint64_t stride = DibRowStride(width, bpp);
  if (stride > g_memoryLimit || height > g_memoryLimit) return false;
  const std::uint64_t total = sizeof(BITMAPINFOHEADER) + palette + stride * height;
  return total <= g_memoryLimit && total <= 0xFFFFFFFFu;
}

// ------------------------------------------------------------------ lifetime

CBaseImage::CBaseImage(DWORD imagetype) { Startup(imagetype); }

CBaseImage::CBaseImage(DWORD width, DWORD height, DWORD bpp, DWORD imagetype) {
  Startup(imagetype);
  Create(width, height, bpp, imagetype);
}

CBaseImage::CBaseImage(const CBaseImage& src, bool copypixels, bool copyselection, bool copyalpha) {
  Startup(src.GetType());
  Copy(src, copypixels, copyselection, copyalpha);
}

CBaseImage& CBaseImage::operator=(const CBaseImage& src) {
  if (this != &src) Copy(src);
  return *this;
}

CBaseImage::~CBaseImage() { Destroy(); }

void CBaseImage::Startup(DWORD imagetype) {
  pDib = nullptr;
  pSelection = nullptr;
  pAlpha = nullptr;
  ppLayers = nullptr;
  std::memset(&head, 0, sizeof(head));
  std::memset(&info, 0, sizeof(info));
  info.dwType = imagetype;
  info.nQuality = 90;
  info.nAlphaMax = 255;
  info.nBkgndIndex = -1;
  info.bEnabled = true;
  SetXDPI(96);
  SetYDPI(96);
}

void CBaseImage::SetLastError(const char* text) {
  std::snprintf(info.szLastError, sizeof(info.szLastError), "%s", text ? text : "");
}

bool CBaseImage::Destroy() {
  if (info.pGhost) return false;
  if (ppLayers) {
    for (long n = 0; n < info.nNumLayers; ++n) delete ppLayers[n];
    delete[] ppLayers;
    ppLayers = nullptr;
    info.nNumLayers = 0;
  }
  std::free(pSelection);
  pSelection = nullptr;
  std::free(pAlpha);
  pAlpha = nullptr;
  std::free(pDib);
  pDib = nullptr;
  return true;
}

void* CBaseImage::Create(DWORD width, DWORD height, DWORD bpp, DWORD imagetype) {
  if (!Destroy()) return nullptr;
  if (width == 0 || height == 0) {
    SetLastError("CBaseImage::Create : width and height must be greater than zero");
    return nullptr;
  }
  if (bpp <= 1) bpp = 1;
  else if (bpp <= 4) bpp = 4;
  else if (bpp <= 8) bpp = 8;
  else bpp = 24;
  // Every size is worked out in 64 bits; a block that does not fit the
  // ceiling (or 32 bits) is refused rather than allocated short.
  if (!FitsMemoryLimit(width, height, bpp)) {
    SetLastError("CODEC_MAX_MEMORY exceeded");
    return nullptr;
  }
  switch (bpp) {
    case 1: head.biClrUsed = 2; break;
    case 4: head.biClrUsed = 16; break;
    case 8: head.biClrUsed = 256; break;
    default: head.biClrUsed = 0;
  }
  info.dwType = imagetype;
  info.dwEffWidth = static_cast<DWORD>(DibRowStride(width, bpp));
  head.biSize = sizeof(BITMAPINFOHEADER);
  head.biWidth = static_cast<LONG>(width);
  head.biHeight = static_cast<LONG>(height);
  head.biPlanes = 1;
  head.biBitCount = static_cast<WORD>(bpp);
  head.biCompression = BI_RGB;
  head.biSizeImage = info.dwEffWidth * height;
  head.biClrImportant = 0;

  pDib = std::calloc(1, GetSize());
  if (!pDib) {
    SetLastError("CBaseImage::Create can't allocate memory");
    std::memset(&head, 0, sizeof(head));
    return nullptr;
  }
  info.last_c_isvalid = false;
  std::memcpy(pDib, &head, sizeof(BITMAPINFOHEADER));
  info.pImage = static_cast<BYTE*>(pDib) + sizeof(BITMAPINFOHEADER) + GetPaletteSize();
  return pDib;
}

void CBaseImage::Copy(const CBaseImage& src, bool copypixels, bool copyselection, bool copyalpha) {
  if (this == &src) return;
  CBaseImageInfo saved = src.info;
  saved.pGhost = nullptr;
  saved.pParent = nullptr;
  saved.nNumLayers = 0;
  if (!src.pDib) {
    if (Destroy()) {
      std::memset(&head, 0, sizeof(head));
      info = saved;
      info.pImage = nullptr;
    }
    return;
  }
  if (!Create(src.GetWidth(), src.GetHeight(), src.GetBpp(), src.GetType())) return;
  const DWORD effwidth = info.dwEffWidth;
  BYTE* image = info.pImage;
  info = saved;
  info.dwEffWidth = effwidth;
  info.pImage = image;
  head.biXPelsPerMeter = src.head.biXPelsPerMeter;
  head.biYPelsPerMeter = src.head.biYPelsPerMeter;
  head.biClrImportant = src.head.biClrImportant;
  if (copypixels) {
    std::memcpy(pDib, src.pDib, GetSize());
  } else {
    CopyPalette(src);
  }
  if (copyselection && src.pSelection) {
    const size_t n = static_cast<size_t>(GetWidth()) * GetHeight();
    pSelection = static_cast<BYTE*>(std::malloc(n));
    if (pSelection) std::memcpy(pSelection, src.pSelection, n);
  }
  if (copyalpha && src.pAlpha) {
    const size_t n = static_cast<size_t>(GetWidth()) * GetHeight();
    pAlpha = static_cast<BYTE*>(std::malloc(n));
    if (pAlpha) std::memcpy(pAlpha, src.pAlpha, n);
  }
}

void CBaseImage::CopyPalette(const CBaseImage& src) {
  if (!pDib || !src.pDib) return;
  const DWORD n = std::min(GetPaletteSize(), std::min<DWORD>(src.GetPaletteSize(), 256 * sizeof(RGBQUAD)));
  if (n) std::memcpy(GetPalette(), src.GetPalette(), n);
}

void CBaseImage::CopyInfo(const CBaseImage& src) {
  if (pDib) return;
  // What the caller asks of a decoder travels (quality, JPEG scale, codec
  // options, the frame wanted, escape); what described the caller's previous
  // picture (transparency, resolution, frame count) does not.
  const DWORD type = info.dwType;
  Startup(type);
  info.nQuality = src.info.nQuality;
  info.nJpegScale = src.info.nJpegScale;
  std::memcpy(info.dwCodecOpt, src.info.dwCodecOpt, sizeof(info.dwCodecOpt));
  info.nFrame = src.info.nFrame;
  info.nEscape = src.info.nEscape;
  info.nAlphaMax = src.info.nAlphaMax;
  info.bEnabled = src.info.bEnabled;
  info.dwFlags = src.info.dwFlags;
}

bool CBaseImage::Transfer(CBaseImage& from) {
  if (&from == this) return true;
  if (!Destroy()) return false;
  head = from.head;
  info = from.info;
  pDib = from.pDib;
  pSelection = from.pSelection;
  pAlpha = from.pAlpha;
  ppLayers = from.ppLayers;
  std::memset(&from.head, 0, sizeof(from.head));
  std::memset(&from.info, 0, sizeof(from.info));
  from.pDib = nullptr;
  from.pSelection = nullptr;
  from.pAlpha = nullptr;
  from.ppLayers = nullptr;
  return true;
}

bool CBaseImage::TakePixels(CBaseImage& from) {
  if (&from == this) return true;
  if (!Destroy()) return false;
  head = from.head;
  pDib = from.pDib;
  pAlpha = from.pAlpha;
  pSelection = from.pSelection;
  info.dwEffWidth = from.info.dwEffWidth;
  info.pImage = from.info.pImage;
  info.last_c_isvalid = false;
  std::memset(&from.head, 0, sizeof(from.head));
  from.pDib = nullptr;
  from.pAlpha = nullptr;
  from.pSelection = nullptr;
  from.info.pImage = nullptr;
  from.info.dwEffWidth = 0;
  return true;
}

void CBaseImage::Ghost(const CBaseImage* from) {
  if (!from) return;
  head = from->head;
  info = from->info;
  pDib = from->pDib;
  pSelection = from->pSelection;
  pAlpha = from->pAlpha;
  ppLayers = from->ppLayers;
  info.pGhost = from;
}

void CBaseImage::Clear(BYTE bval) {
  if (!pDib) return;
  if (GetBpp() == 1) {
    if (bval > 0) bval = 255;
  } else if (GetBpp() == 4) {
    bval = static_cast<BYTE>(17 * (bval & 0x0F));
  }
  std::memset(info.pImage, bval, head.biSizeImage);
}

// ----------------------------------------------------------------- accessors

DWORD CBaseImage::GetSize() const { return head.biSize + head.biSizeImage + GetPaletteSize(); }

BYTE* CBaseImage::GetBits(DWORD row) {
  if (!pDib) return nullptr;
  if (row == 0) return info.pImage;
  if (row < static_cast<DWORD>(head.biHeight)) return info.pImage + static_cast<size_t>(row) * info.dwEffWidth;
  return nullptr;
}

bool CBaseImage::IsInside(long x, long y) const {
  return y >= 0 && y < head.biHeight && x >= 0 && x < head.biWidth;
}

BYTE CBaseImage::GetColorType() const {
  if (pAlpha) return 4;
  return head.biBitCount <= 8 ? 1 : 2;
}

void CBaseImage::SetXDPI(long dpi) {
  if (dpi <= 0) dpi = 96;
  if (dpi > 0x7FFFFFFF) dpi = 0x7FFFFFFF;
  info.xDPI = static_cast<LONG>(dpi);
  head.biXPelsPerMeter = static_cast<LONG>(codec::TruncToRange(std::floor(dpi * 39.37007874015748 + 0.5), 0, 0x7FFFFFFF));
}

void CBaseImage::SetYDPI(long dpi) {
  if (dpi <= 0) dpi = 96;
  if (dpi > 0x7FFFFFFF) dpi = 0x7FFFFFFF;
  info.yDPI = static_cast<LONG>(dpi);
  head.biYPelsPerMeter = static_cast<LONG>(codec::TruncToRange(std::floor(dpi * 39.37007874015748 + 0.5), 0, 0x7FFFFFFF));
}

DWORD CBaseImage::GetCodecOption(DWORD imagetype) const {
  if (imagetype == 0) imagetype = GetType();
  if (imagetype >= CODEC_FORMAT_COUNT) return 0;
  return info.dwCodecOpt[imagetype];
}

bool CBaseImage::SetCodecOption(DWORD opt, DWORD imagetype) {
  if (imagetype == 0) imagetype = GetType();
  if (imagetype >= CODEC_FORMAT_COUNT) return false;
  info.dwCodecOpt[imagetype] = opt;
  return true;
}

// ------------------------------------------------------------------- palette

DWORD CBaseImage::GetPaletteSize() const { return head.biClrUsed * static_cast<DWORD>(sizeof(RGBQUAD)); }

RGBQUAD* CBaseImage::GetPalette() const {
  if (pDib && head.biClrUsed) return reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(pDib) + sizeof(BITMAPINFOHEADER));
  return nullptr;
}

RGBQUAD CBaseImage::GetPaletteColor(BYTE idx) const {
  RGBQUAD rgb = {0, 0, 0, 0};
  if (pDib && head.biClrUsed && idx < head.biClrUsed) rgb = GetPalette()[idx];
  return rgb;
}

bool CBaseImage::GetPaletteColor(BYTE idx, BYTE* r, BYTE* g, BYTE* b) const {
  RGBQUAD* pal = GetPalette();
  if (!pal || idx >= head.biClrUsed) return false;
  *r = pal[idx].rgbRed;
  *g = pal[idx].rgbGreen;
  *b = pal[idx].rgbBlue;
  return true;
}

void CBaseImage::SetPaletteColor(BYTE idx, BYTE r, BYTE g, BYTE b, BYTE alpha) {
  RGBQUAD* pal = GetPalette();
  if (!pal || idx >= head.biClrUsed) return;
  pal[idx].rgbBlue = b;
  pal[idx].rgbGreen = g;
  pal[idx].rgbRed = r;
  pal[idx].rgbReserved = alpha;
  info.last_c_isvalid = false;
}

void CBaseImage::SetPaletteColor(BYTE idx, RGBQUAD c) {
  RGBQUAD* pal = GetPalette();
  if (!pal || idx >= head.biClrUsed) return;
  pal[idx] = c;
  info.last_c_isvalid = false;
}

void CBaseImage::SetPalette(DWORD n, const BYTE* r, const BYTE* g, const BYTE* b) {
  RGBQUAD* pal = GetPalette();
  if (!pal || !r) return;
  if (!g) g = r;
  if (!b) b = g;
  const DWORD m = std::min(n, head.biClrUsed);
  for (DWORD i = 0; i < m; ++i) {
    pal[i].rgbRed = r[i];
    pal[i].rgbGreen = g[i];
    pal[i].rgbBlue = b[i];
  }
  info.last_c_isvalid = false;
}

void CBaseImage::SetPalette(const RGBTRIPLE* rgb, DWORD nColors) {
  RGBQUAD* pal = GetPalette();
  if (!pal || !rgb) return;
  // The triplets are red, green, blue in memory order.
  const BYTE* p = reinterpret_cast<const BYTE*>(rgb);
  const DWORD m = std::min(nColors, head.biClrUsed);
  for (DWORD i = 0; i < m; ++i) {
    pal[i].rgbRed = p[3 * i];
    pal[i].rgbGreen = p[3 * i + 1];
    pal[i].rgbBlue = p[3 * i + 2];
  }
  info.last_c_isvalid = false;
}

void CBaseImage::SetPalette(const RGBQUAD* pPal, DWORD nColors) {
  RGBQUAD* pal = GetPalette();
  if (!pal || !pPal) return;
  const std::uint64_t bytes = std::min<std::uint64_t>(std::uint64_t{nColors} * sizeof(RGBQUAD), GetPaletteSize());
  std::memcpy(pal, pPal, static_cast<size_t>(bytes));
  info.last_c_isvalid = false;
}

void CBaseImage::SetGrayPalette() {
  RGBQUAD* pal = GetPalette();
  if (!pal || head.biClrUsed < 2) return;
  const DWORD step = 255 / (head.biClrUsed - 1);
  for (DWORD i = 0; i < head.biClrUsed; ++i) {
    const BYTE v = static_cast<BYTE>(i * step);
    pal[i].rgbBlue = pal[i].rgbGreen = pal[i].rgbRed = v;
  }
  info.last_c_isvalid = false;
}

bool CBaseImage::IsGrayScale() const {
  RGBQUAD* pal = GetPalette();
  if (!pal) return false;
  for (DWORD i = 0; i < head.biClrUsed; ++i) {
    if (pal[i].rgbBlue != i || pal[i].rgbGreen != i || pal[i].rgbRed != i) return false;
  }
  return true;
}

void CBaseImage::SwapIndex(BYTE idx1, BYTE idx2) {
  RGBQUAD* pal = GetPalette();
  if (!pal || idx1 >= head.biClrUsed || idx2 >= head.biClrUsed) return;
  std::swap(pal[idx1], pal[idx2]);
  info.last_c_isvalid = false;
  for (long y = 0; y < head.biHeight; ++y) {
    for (long x = 0; x < head.biWidth; ++x) {
      const BYTE idx = BlindGetPixelIndex(x, y);
      if (idx == idx1) SetPixelIndex(x, y, idx2);
      else if (idx == idx2) SetPixelIndex(x, y, idx1);
    }
  }
}

bool CBaseImage::IsAlphaPalette() const {
  RGBQUAD* pal = GetPalette();
  if (!pal) return false;
  for (DWORD i = 0; i < head.biClrUsed; ++i)
    if (pal[i].rgbReserved != 0) return true;
  return false;
}

// -------------------------------------------------------------------- pixels

BYTE CBaseImage::BlindGetPixelIndexFast(long x, long y) const {
  const BYTE* row = info.pImage + static_cast<size_t>(y) * info.dwEffWidth;
  switch (head.biBitCount) {
    case 8: return row[x];
    case 4: {
      const BYTE b = row[x >> 1];
      return (x & 1) ? static_cast<BYTE>(b & 0x0F) : static_cast<BYTE>(b >> 4);
    }
    case 1: return static_cast<BYTE>((row[x >> 3] >> (7 - (x & 7))) & 1);
    default: return 0;
  }
}

BYTE CBaseImage::BlindGetPixelIndex(long x, long y) const { return BlindGetPixelIndexFast(x, y); }

BYTE CBaseImage::GetPixelIndex(long x, long y) const {
  if (!pDib || head.biClrUsed == 0) return 0;
  if (!IsInside(x, y)) {
    if (info.nBkgndIndex >= 0) return static_cast<BYTE>(info.nBkgndIndex);
    return *info.pImage;
  }
  return BlindGetPixelIndexFast(x, y);
}

void CBaseImage::SetPixelIndex(long x, long y, BYTE i) {
  if (!pDib || head.biClrUsed == 0 || !IsInside(x, y)) return;
  BYTE* row = info.pImage + static_cast<size_t>(y) * info.dwEffWidth;
  switch (head.biBitCount) {
    case 8: row[x] = i; break;
    case 4: {
      BYTE& b = row[x >> 1];
      if (x & 1) b = static_cast<BYTE>((b & 0xF0) | (i & 0x0F));
      else b = static_cast<BYTE>((b & 0x0F) | ((i & 0x0F) << 4));
      break;
    }
    case 1: {
      BYTE& b = row[x >> 3];
      const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
      if (i & 1) b = static_cast<BYTE>(b | mask);
      else b = static_cast<BYTE>(b & ~mask);
      break;
    }
    default: break;
  }
}

RGBQUAD CBaseImage::BlindGetPixelColor(long x, long y, bool bGetAlpha) {
  RGBQUAD rgb;
  if (head.biClrUsed) {
    rgb = GetPaletteColor(BlindGetPixelIndexFast(x, y));
  } else {
    const BYTE* p = info.pImage + static_cast<size_t>(y) * info.dwEffWidth + static_cast<size_t>(x) * 3;
    rgb.rgbBlue = p[0];
    rgb.rgbGreen = p[1];
    rgb.rgbRed = p[2];
    rgb.rgbReserved = info.nBkgndColor.rgbReserved;
  }
  if (bGetAlpha && pAlpha) rgb.rgbReserved = BlindAlphaGet(x, y);
  return rgb;
}

RGBQUAD CBaseImage::GetPixelColor(long x, long y, bool bGetAlpha) {
  RGBQUAD rgb = info.nBkgndColor;
  if (!pDib) return rgb;
  if (!IsInside(x, y)) {
    if (info.nBkgndIndex >= 0) {
      if (head.biBitCount < 24) return GetPaletteColor(static_cast<BYTE>(info.nBkgndIndex));
      return info.nBkgndColor;
    }
    return BlindGetPixelColor(0, 0, bGetAlpha);
  }
  return BlindGetPixelColor(x, y, bGetAlpha);
}

void CBaseImage::SetPixelColor(long x, long y, RGBQUAD c, bool bSetAlpha) {
  if (!pDib || !IsInside(x, y)) return;
  if (head.biClrUsed) {
    SetPixelIndex(x, y, GetNearestIndex(c));
  } else {
    BYTE* p = info.pImage + static_cast<size_t>(y) * info.dwEffWidth + static_cast<size_t>(x) * 3;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
  }
  if (bSetAlpha) AlphaSet(x, y, c.rgbReserved);
}

void CBaseImage::SetPixelColor(long x, long y, COLORREF cr) { SetPixelColor(x, y, RGBtoRGBQUAD(cr), false); }

BYTE* CBaseImage::BlindGetPixelPointer(long x, long y) {
  if (!pDib || head.biClrUsed) return nullptr;
  return info.pImage + static_cast<size_t>(y) * info.dwEffWidth + static_cast<size_t>(x) * 3;
}

BYTE CBaseImage::GetNearestIndex(RGBQUAD c) {
  if (!pDib || head.biClrUsed == 0) return 0;
  if (info.last_c_isvalid && std::memcmp(&info.last_c, &c, sizeof(RGBQUAD)) == 0) return info.last_c_index;
  info.last_c = c;
  info.last_c_isvalid = true;
  const RGBQUAD* pal = GetPalette();
  long distance = 200000;
  int j = 0;
  const DWORD n = head.biClrImportant ? std::min(head.biClrImportant, head.biClrUsed) : head.biClrUsed;
  for (DWORD i = 0; i < n; ++i) {
    const long db = pal[i].rgbBlue - c.rgbBlue;
    const long dg = pal[i].rgbGreen - c.rgbGreen;
    const long dr = pal[i].rgbRed - c.rgbRed;
    const long k = db * db + dg * dg + dr * dr;
    if (k < distance) {
      distance = k;
      j = static_cast<int>(i);
      if (k == 0) break;
    }
  }
  info.last_c_index = static_cast<BYTE>(j);
  return static_cast<BYTE>(j);
}

void CBaseImage::SetTransColor(RGBQUAD rgb) {
  rgb.rgbReserved = 0;
  info.nBkgndColor = rgb;
}

RGBQUAD CBaseImage::GetTransColor() const {
  if (head.biBitCount < 24 && info.nBkgndIndex >= 0) return GetPaletteColor(static_cast<BYTE>(info.nBkgndIndex));
  return info.nBkgndColor;
}

// --------------------------------------------------------------------- alpha

bool CBaseImage::AlphaCreate() {
  if (pAlpha) return true;
  if (!pDib) return false;
  const std::uint64_t n = static_cast<std::uint64_t>(GetWidth()) * GetHeight();
  if (n > g_memoryLimit) return false;
  pAlpha = static_cast<BYTE*>(std::malloc(static_cast<size_t>(n)));
  if (!pAlpha) return false;
  std::memset(pAlpha, 255, static_cast<size_t>(n));
  return true;
}

void CBaseImage::AlphaDelete() {
  std::free(pAlpha);
  pAlpha = nullptr;
}

void CBaseImage::AlphaSet(long x, long y, BYTE level) {
  if (pAlpha && IsInside(x, y)) pAlpha[x + static_cast<size_t>(y) * head.biWidth] = level;
}

BYTE CBaseImage::AlphaGet(long x, long y) const {
  if (pAlpha && IsInside(x, y)) return pAlpha[x + static_cast<size_t>(y) * head.biWidth];
  return 0;
}

BYTE CBaseImage::BlindAlphaGet(long x, long y) const { return pAlpha[x + static_cast<size_t>(y) * head.biWidth]; }

BYTE* CBaseImage::AlphaGetPointer(long x, long y) const {
  if (pAlpha && IsInside(x, y)) return pAlpha + x + static_cast<size_t>(y) * head.biWidth;
  return nullptr;
}

bool CBaseImage::AlphaFlip() {
  if (!pAlpha) return false;
  const size_t w = GetWidth(), h = GetHeight();
  BYTE* buf = static_cast<BYTE*>(std::malloc(w * h));
  if (!buf) return false;
  for (size_t y = 0; y < h; ++y) std::memcpy(buf + (h - 1 - y) * w, pAlpha + y * w, w);
  std::free(pAlpha);
  pAlpha = buf;
  return true;
}

bool CBaseImage::AlphaMirror() {
  if (!pAlpha) return false;
  const size_t w = GetWidth(), h = GetHeight();
  BYTE* buf = static_cast<BYTE*>(std::malloc(w * h));
  if (!buf) return false;
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x) buf[y * w + (w - 1 - x)] = pAlpha[y * w + x];
  std::free(pAlpha);
  pAlpha = buf;
  return true;
}

// ----------------------------------------------------------------- selection

void CBaseImage::SelectionDelete() {
  std::free(pSelection);
  pSelection = nullptr;
  info.rSelectionBox.left = head.biWidth;
  info.rSelectionBox.bottom = head.biHeight;
  info.rSelectionBox.right = info.rSelectionBox.top = 0;
}

bool CBaseImage::SelectionIsInside(long x, long y) const {
  if (!IsInside(x, y)) return false;
  if (!pSelection) return true;
  return pSelection[x + static_cast<size_t>(y) * head.biWidth] != 0;
}

// --------------------------------------------------------------- conversions

namespace {

// Shift and width of a colour mask (the bits from its lowest to its highest
// set bit).
void MaskShape(DWORD mask, int& shift, int& bits) {
  shift = 0;
  bits = 0;
  if (!mask) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  while (mask) {
    mask >>= 1;
    ++bits;
  }
}

// The channel's bits widened to a byte.
inline BYTE MaskChannel(DWORD w, DWORD mask, int shift, int bits) {
  if (!bits) return 0;
  return codec::WidenChannel((w & mask) >> shift, bits);
}

}  // namespace

void CBaseImage::Bitfield2RGB(const BYTE* src, DWORD redmask, DWORD greenmask, DWORD bluemask, BYTE bpp) {
  if (!pDib || !src || head.biBitCount != 24) return;
  const long w = head.biWidth, h = head.biHeight;
  const size_t stride = info.dwEffWidth;
  BYTE* dst = info.pImage;
  if (bpp == 16) {
    if (!redmask && !greenmask && !bluemask) {
      redmask = 0x7C00;
      greenmask = 0x03E0;
      bluemask = 0x001F;
    }
    int rs, rb, gs, gb, bs, bb;
    MaskShape(redmask, rs, rb);
    MaskShape(greenmask, gs, gb);
    MaskShape(bluemask, bs, bb);
    const size_t srcStride = static_cast<size_t>((w + 1) / 2) * 4;
    // The 16-bit rows are shorter than the 24-bit ones: going from the last
    // row and from the right lets source and target share the buffer.
    for (long y = h - 1; y >= 0; --y) {
      const BYTE* s = src + static_cast<size_t>(y) * srcStride;
      BYTE* d = dst + static_cast<size_t>(y) * stride;
      for (long x = w - 1; x >= 0; --x) {
        const DWORD px = s[2 * x] | (s[2 * x + 1] << 8);
        BYTE* p = d + 3 * x;
        p[0] = MaskChannel(px, bluemask, bs, bb);
        p[1] = MaskChannel(px, greenmask, gs, gb);
        p[2] = MaskChannel(px, redmask, rs, rb);
      }
    }
  } else if (bpp == 32) {
    const bool standard = (!redmask && !greenmask && !bluemask) ||
                          (redmask == 0x00FF0000 && greenmask == 0x0000FF00 && bluemask == 0x000000FF);
    int rs, rb, gs, gb, bs, bb;
    MaskShape(redmask, rs, rb);
    MaskShape(greenmask, gs, gb);
    MaskShape(bluemask, bs, bb);
    const size_t srcStride = static_cast<size_t>(w) * 4;
    // The 32-bit rows are longer: going from the first row and the left
    // keeps a shared buffer safe.
    for (long y = 0; y < h; ++y) {
      const BYTE* s = src + static_cast<size_t>(y) * srcStride;
      BYTE* d = dst + static_cast<size_t>(y) * stride;
      for (long x = 0; x < w; ++x) {
        const BYTE* q = s + 4 * x;
        BYTE* p = d + 3 * x;
        if (standard) {
          const BYTE b = q[0], g = q[1], r = q[2];
          p[0] = b;
          p[1] = g;
          p[2] = r;
        } else {
          const DWORD px = q[0] | (q[1] << 8) | (q[2] << 16) | (static_cast<DWORD>(q[3]) << 24);
          p[0] = MaskChannel(px, bluemask, bs, bb);
          p[1] = MaskChannel(px, greenmask, gs, gb);
          p[2] = MaskChannel(px, redmask, rs, rb);
        }
      }
    }
  }
}

void CBaseImage::RGBtoBGR(BYTE* buffer, long length) {
  if (!buffer || head.biClrUsed != 0) return;
  length = std::min<long>(length, static_cast<long>(info.dwEffWidth));
  for (long i = 0; i + 2 < length; i += 3) std::swap(buffer[i], buffer[i + 2]);
}

RGBQUAD CBaseImage::RGBtoRGBQUAD(COLORREF cr) {
  RGBQUAD c;
  c.rgbRed = GetRValue(cr);
  c.rgbGreen = GetGValue(cr);
  c.rgbBlue = GetBValue(cr);
  c.rgbReserved = 0;
  return c;
}

COLORREF CBaseImage::RGBQUADtoRGB(RGBQUAD c) { return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue); }

int CBaseImage::CompareColors(const void* a, const void* b) {
  const RGBQUAD* c1 = static_cast<const RGBQUAD*>(a);
  const RGBQUAD* c2 = static_cast<const RGBQUAD*>(b);
  const int g1 = (c1->rgbRed * 306 + c1->rgbGreen * 601 + c1->rgbBlue * 117) >> 10;
  const int g2 = (c2->rgbRed * 306 + c2->rgbGreen * 601 + c2->rgbBlue * 117) >> 10;
  return g1 - g2;
}

// ------------------------------------------------------------- row iterator

CImageIterator::CImageIterator(CBaseImage* image) : Itx(0), Ity(0), IterImage(nullptr), ima(image) {
  if (ima) IterImage = ima->GetBits();
}

bool CImageIterator::ItOK() const { return ima && ima->IsInside(Itx, Ity); }

void CImageIterator::Upset() {
  Itx = 0;
  Ity = ima ? static_cast<long>(ima->GetHeight()) - 1 : 0;
  IterImage = ima && ima->IsValid() ? ima->GetBits() + static_cast<size_t>(ima->GetEffWidth()) * Ity : nullptr;
}

bool CImageIterator::NextRow() {
  if (--Ity < 0) return false;
  if (IterImage) IterImage -= ima->GetEffWidth();
  return true;
}

void CImageIterator::SetY(long y) {
  if (!ima || y < 0 || y > static_cast<long>(ima->GetHeight())) return;
  Ity = y;
  IterImage = ima->IsValid() ? ima->GetBits() + static_cast<size_t>(ima->GetEffWidth()) * y : nullptr;
}

BYTE* CImageIterator::GetRow() { return IterImage; }

BYTE* CImageIterator::GetRow(long n) {
  SetY(n);
  return IterImage;
}

void CImageIterator::SetRow(const BYTE* buf, long n) {
  if (!IterImage || !buf || !ima) return;
  const long stride = static_cast<long>(ima->GetEffWidth());
  if (n < 0 || n > stride) n = stride;
  if (n <= 0 || Ity < 0 || Ity >= static_cast<long>(ima->GetHeight())) return;
  std::memcpy(IterImage, buf, static_cast<size_t>(n));
}

void CImageIterator::GetRow(BYTE* buf, long n) {
  if (!IterImage || !buf || n <= 0 || !ima) return;
  if (Ity < 0 || Ity >= static_cast<long>(ima->GetHeight())) return;
  n = std::min<long>(n, static_cast<long>(ima->GetEffWidth()));
  std::memcpy(buf, IterImage, static_cast<size_t>(n));
}
