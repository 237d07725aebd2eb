// CImage: construction in memory, pixel and palette access, drawing, and
// the effects done through the codec layer.
#include "image/Image.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "core/TextUtils.h"
#include "image/codec/BaseImage.h"

namespace {

constexpr COLORREF kNoFill = 0xFFFFFFFFu;

bool FitsInt(std::int64_t v) { return v > 0 && v <= INT_MAX; }

}  // namespace

// ---- Type ids ----------------------------------------------------------------------

CString GetFileExtension(const char* name) {
  if (!name) return CString();
  const char* dot = nullptr;
  for (const char* p = name; *p; ++p)
    if (*p == '.') dot = p;
  if (!dot || !dot[1]) return CString();
  return CString(dot + 1);
}

int ImageTypeFromExtension(const char* extension) {
  if (!extension || !*extension) return kImageTypeNone;
  struct Entry {
    const char* name;
    int id;
  };
  static const Entry kTable[] = {
      {"BMP", kImageTypeBMP}, {"GIF", kImageTypeGIF}, {"JPG", kImageTypeJPG}, {"PNG", kImageTypePNG},
      {"XPM", kImageTypeXPM}, {"TIF", kImageTypeTIF}, {"PSD", kImageTypePSD}, {"TGA", kImageTypeTGA},
      {"PCX", kImageTypePCX}, {"EMF", kImageTypeEMF}, {"TSW", kImageTypeTSW},
  };
  const CString ext(extension);
  for (const Entry& e : kTable)
    if (ext.CompareNoCase(e.name) == 0) return e.id;
  return kImageTypeNone;
}

// ---- Memory blocks ----------------------------------------------------------------

void CImageMemBlock::SetName(const char* blockName) {
  std::memset(name, 0, sizeof name);
  if (!blockName) return;
  std::strncpy(name, blockName, sizeof name - 1);
}

void CImageMemBlock::Free() {
  if (data) {
    if (ownerKind == kOwnerCodec) std::free(data);
    else delete[] data;
  }
  data = nullptr;
  size = 0;
}

// ---- Construction -----------------------------------------------------------------

CImage::CImage() = default;

CImage::CImage(HBITMAP bitmap) : m_type(kImageTypeBMP) { TakeBitmap(bitmap); }

CImage::CImage(const CBitmap& bitmap) : m_type(kImageTypeBMP) { TakeBitmap(static_cast<HBITMAP>(bitmap.GetSafeHandle())); }

CImage::CImage(CByteStream& stream, bool& ok) : m_type(kImageTypeBMP) {
  try {
    ok = ReadFromStream(stream);
  } catch (...) {
    ok = false;
  }
}

CImage::CImage(int width, int height, bool& ok, COLORREF fill) : m_type(kImageTypeBMP) {
  try {
    ok = CreateBlankInPlace(width, height, fill);
  } catch (...) {
    ok = false;
  }
}

CImage::CImage(const CImage& upper, const CImage& lower, int gap, COLORREF fill, bool& ok) : m_type(kImageTypeBMP) {
  ok = false;
  try {
    gap = std::max(gap, 0);
    const std::int64_t w = std::max(upper.GetWidth(), lower.GetWidth());
    const std::int64_t h = static_cast<std::int64_t>(upper.GetHeight()) + lower.GetHeight() + gap;
    if (!FitsInt(w) || !FitsInt(h)) return;
    if (!CreateBlankInPlace(static_cast<int>(w), static_cast<int>(h), fill)) return;
    ok = CopyPixelsFrom(lower, 0, 0) && CopyPixelsFrom(upper, 0, lower.GetHeight() + gap);
  } catch (...) {
    ok = false;
  }
}

CImage::CImage(int gap, COLORREF fill, const CImage& left, const CImage& right, bool& ok) : m_type(kImageTypeBMP) {
  ok = false;
  try {
    gap = std::max(gap, 0);
    const std::int64_t w = static_cast<std::int64_t>(left.GetWidth()) + right.GetWidth() + gap;
    const std::int64_t h = std::max(left.GetHeight(), right.GetHeight());
    if (!FitsInt(w) || !FitsInt(h)) return;
    if (!CreateBlankInPlace(static_cast<int>(w), static_cast<int>(h), fill)) return;
    ok = CopyPixelsFrom(left, 0, 0) && CopyPixelsFrom(right, left.GetWidth() + gap, 0);
  } catch (...) {
    ok = false;
  }
}

CImage::CImage(const CImage& other) : m_type(kImageTypeBMP) {
  if (other.GetWidth() <= 0) return;
  try {
    if (CreateBlankInPlace(other.GetWidth(), other.GetHeight(), kNoFill)) CopyPixelsFrom(other, 0, 0);
  } catch (...) {
    DeleteImpl();
  }
}

CImage::CImage(const char* path, bool& ok, int type, IProgress* progress) { LoadFileImpl(path, ok, type, progress); }

CImage::CImage(const CString& path, bool& ok, int type, IProgress* progress) {
  LoadFileImpl(path.GetString(), ok, type, progress);
}

CImage::CImage(bool& ok) : m_type(kImageTypeBMP) { FromClipboardImpl(ok); }

CImage& CImage::operator=(const CImage& other) {
  if (&other == this) return *this;
  try {
    if (other.GetWidth() <= 0 || other.GetHeight() <= 0) {
      DeleteImpl();
    } else if (CreateBlankInPlace(other.GetWidth(), other.GetHeight(), kNoFill)) {
      CopyPixelsFrom(other, 0, 0);
    }
  } catch (...) {
    DeleteImpl();
  }
  return *this;
}

CImage::~CImage() { DeleteImpl(); }

void CImage::DeleteImpl() {
  delete m_impl;
  m_impl = nullptr;
}

void CImage::TakeBitmap(HBITMAP bitmap) {
  DeleteImpl();
  m_impl = new (std::nothrow) CImageBMP(bitmap);
}

bool CImage::CopyPixelsFrom(const CImage& src, int dx, int dy) {
  const int w = src.GetWidth(), h = src.GetHeight();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      BYTE r, g, b;
      if (!src.GetPixelRGB(x, y, r, g, b)) continue;
      if (!SetPixelRGB(x + dx, y + dy, r, g, b)) return false;
    }
  return true;
}

bool CImage::CreateBlankInPlace(int width, int height, COLORREF fill) {
  DeleteImpl();
  m_impl = new (std::nothrow) CImageBMP("");
  if (!m_impl) return false;
  if (!m_impl->Create(width, height, 24, -1)) return false;
  if (fill == kNoFill) return true;
  // Fill the first row, then copy it up.
  BYTE* bits = m_impl->GetBits();
  const int stride = m_impl->GetRowStride();
  for (int x = 0; x < width; ++x) {
    bits[3 * x] = GetBValue(fill);
    bits[3 * x + 1] = GetGValue(fill);
    bits[3 * x + 2] = GetRValue(fill);
  }
  for (int y = 1; y < height; ++y)
    std::memcpy(bits + static_cast<size_t>(y) * stride, bits, static_cast<size_t>(width) * 3);
  return true;
}

// ---- Forwarding operations --------------------------------------------------------

int CImage::GetRowStride() const { return m_impl ? m_impl->GetRowStride() : 0; }
int CImage::GetWidth() const { return m_impl ? m_impl->GetWidth() : 0; }
int CImage::GetHeight() const { return m_impl ? m_impl->GetHeight() : 0; }
int CImage::GetBitsPerPixel() const { return m_impl ? m_impl->GetBitsPerPixel() : 0; }
DWORD CImage::GetFlags() const { return m_impl ? m_impl->GetFlags() : 0; }
bool CImage::IsInside(int x, int y) const { return m_impl && m_impl->IsInside(x, y); }

int CImage::Create(int width, int height, int bitsPerPixel, int flags) {
  if (!m_impl) {
    if (!CreateImpl("", kImageTypeBMP)) return 0;
    m_type = kImageTypeBMP;
    m_fileName.Empty();
  }
  return m_impl->Create(width, height, bitsPerPixel, flags);
}

bool CImage::CreateImpl(const char* name, int type) {
  DeleteImpl();
  switch (type) {
    case kImageTypeBMP: m_impl = new (std::nothrow) CImageBMP(name); break;
    case kImageTypeJPG: m_impl = new (std::nothrow) CImageJPG(name); break;
    case kImageTypeGIF: m_impl = new (std::nothrow) CImageGIF(name); break;
    case kImageTypePNG: m_impl = new (std::nothrow) CImagePNG(name); break;
    default: return false;
  }
  return m_impl != nullptr;
}

void CImage::OnAfterDraw(CDC*) {}

bool CImage::Draw(CDC* dc, int x, int y, int width, int height, int xSrc, int ySrc) {
  if (!m_impl || !m_impl->Draw(dc, x, y, width, height, xSrc, ySrc)) return false;
  if (dc && dc->GetSafeHdc()) OnAfterDraw(dc);
  return true;
}

bool CImage::StretchDraw(CDC* dc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth,
                         int srcHeight) {
  if (!m_impl || !m_impl->StretchDraw(dc, x, y, width, height, xSrc, ySrc, srcWidth, srcHeight)) return false;
  if (dc && dc->GetSafeHdc()) OnAfterDraw(dc);
  return true;
}

int CImage::GetPixelIndex(int x, int y) const { return m_impl ? m_impl->GetPixelIndex(x, y) : -1; }
bool CImage::GetPixelRGB(int x, int y, BYTE& red, BYTE& green, BYTE& blue) const {
  return m_impl && m_impl->GetPixelRGB(x, y, red, green, blue);
}
bool CImage::SetPixelIndex(int x, int y, int index) { return m_impl && m_impl->SetPixelIndex(x, y, index); }
bool CImage::SetPixelRGB(int x, int y, BYTE red, BYTE green, BYTE blue) {
  return m_impl && m_impl->SetPixelRGB(x, y, red, green, blue);
}
bool CImage::SetPaletteRGB(int count, const BYTE* red, const BYTE* green, const BYTE* blue) {
  return m_impl && m_impl->SetPaletteRGB(count, red, green, blue);
}
bool CImage::SetPaletteTriples(int count, const BYTE* rgb) { return m_impl && m_impl->SetPaletteTriples(count, rgb); }
bool CImage::SetPalette(CImagePalette* palette) {
  if (!m_impl) {
    delete palette;
    return false;
  }
  return m_impl->SetPalette(palette);
}
CImagePalette* CImage::GetPalette() const { return m_impl ? m_impl->GetPalette() : nullptr; }
bool CImage::IsValid() const { return m_impl && m_impl->HasBlock(); }
CFileImageImpl* CImage::GetImpl() const { return m_impl; }
BYTE* CImage::GetBits() const { return m_impl ? m_impl->GetBits() : nullptr; }
void CImage::SetWidthRaw(int width) {
  if (m_impl) m_impl->SetWidthRaw(width);
}
void CImage::SetHeightRaw(int height) {
  if (m_impl) m_impl->SetHeightRaw(height);
}

bool CImage::GetPixelColor(int x, int y, COLORREF& color) const {
  BYTE r, g, b;
  if (!GetPixelRGB(x, y, r, g, b)) return false;
  color = RGB(r, g, b);
  return true;
}

BYTE CImage::GetRed(int x, int y) const {
  BYTE r = 0, g = 0, b = 0;
  return GetPixelRGB(x, y, r, g, b) ? r : 0;
}
BYTE CImage::GetGreen(int x, int y) const {
  BYTE r = 0, g = 0, b = 0;
  return GetPixelRGB(x, y, r, g, b) ? g : 0;
}
BYTE CImage::GetBlue(int x, int y) const {
  BYTE r = 0, g = 0, b = 0;
  return GetPixelRGB(x, y, r, g, b) ? b : 0;
}

// ---- Drawing -------------------------------------------------------------------------

CRect CImage::GetDrawnRect() const { return m_impl ? m_impl->GetDrawnRect() : CRect(0, 0, 0, 0); }

void CImage::SetDrawnRect(const RECT& rect) {
  if (m_impl) m_impl->SetDrawnRect(rect);
}

std::unique_ptr<CSafeBitmap> CImage::ToBitmap() const {
  if (!IsValid()) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  // A colour bitmap in the memory context makes the result screen-compatible
  // (a fresh context holds a monochrome one); its size does not matter.
  HBITMAP temp = CreateCompatibleBitmap(screen, 1, 1);
  HGDIOBJ oldBitmap = temp ? SelectObject(mem, temp) : nullptr;
  HPALETTE oldPalette = nullptr;
  CImagePalette* palette = GetPalette();
  if (palette && palette->GetSafeHandle()) {
    oldPalette = SelectPalette(mem, static_cast<HPALETTE>(palette->GetSafeHandle()), FALSE);
    RealizePalette(mem);
  }
  const UINT usage = palette && GetBitsPerPixel() <= 8 ? DIB_PAL_COLORS : DIB_RGB_COLORS;
  HBITMAP result = nullptr;
  if (temp)
    result = CreateDIBitmap(mem, &m_impl->GetInfo()->bmiHeader, CBM_INIT, GetBits(), m_impl->GetInfo(), usage);
  if (oldPalette) SelectPalette(mem, oldPalette, FALSE);
  if (oldBitmap) SelectObject(mem, oldBitmap);
  if (temp) DeleteObject(temp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  if (!result) return nullptr;
  return std::make_unique<CSafeBitmap>(result);
}

CSize CImage::GetFitSize(const RECT& rect) const {
  const int w = GetWidth(), h = GetHeight();
  const int rw = rect.right - rect.left, rh = rect.bottom - rect.top;
  if (w <= 0 || h <= 0 || rw <= 0 || rh <= 0) return CSize(0, 0);
  const float aspect = static_cast<float>(w) / static_cast<float>(h);
  const float d = std::trunc(static_cast<float>(rh) * aspect);
  if (d > static_cast<float>(rw)) {
    const float k = d / static_cast<float>(rw);
    return CSize(static_cast<int>(std::trunc(d / k)), static_cast<int>(std::trunc(static_cast<float>(rh) / k)));
  }
  const float f = std::trunc(static_cast<float>(rw) / aspect);
  if (f > static_cast<float>(rh)) {
    const float k = f / static_cast<float>(rh);
    return CSize(static_cast<int>(std::trunc(static_cast<float>(rw) / k)), rh);
  }
  return CSize(rw, static_cast<int>(f));
}

bool CImage::DrawFit(CDC* dc, const RECT& rect, float* scale) {
  if (!IsValid()) return false;
  const CSize fit = GetFitSize(rect);
  const int rw = rect.right - rect.left, rh = rect.bottom - rect.top;
  const int left = fit.cx < rw ? rect.left + (rw - fit.cx) / 2 : rect.left;
  const int top = fit.cy < rh ? rect.top + (rh - fit.cy) / 2 : rect.top;
  if (scale) {
    const float sx = static_cast<float>(fit.cx) / static_cast<float>(GetWidth());
    const float sy = static_cast<float>(fit.cy) / static_cast<float>(GetHeight());
    *scale = std::min(sx, sy);
  }
  return StretchDraw(dc, left, top, fit.cx, fit.cy, 0, 0, -1, -1);
}

bool CImage::DrawZoomedPercent(CDC* dc, int x, int y, int percent) {
  if (percent == 100) return Draw(dc, x, y, -1, -1, 0, 0);
  const std::int64_t w = static_cast<std::int64_t>(percent) * GetWidth() / 100;
  const std::int64_t h = static_cast<std::int64_t>(percent) * GetHeight() / 100;
  return StretchDraw(dc, x, y, static_cast<int>(std::clamp<std::int64_t>(w, INT_MIN, INT_MAX)),
                     static_cast<int>(std::clamp<std::int64_t>(h, INT_MIN, INT_MAX)), 0, 0, -1, -1);
}

bool CImage::DrawZoomed(CDC* dc, int x, int y, double percent) {
  if (percent == 100.0) return Draw(dc, x, y, -1, -1, 0, 0);
  return StretchDraw(dc, x, y, RoundToInt(percent * GetWidth() * 0.01), RoundToInt(percent * GetHeight() * 0.01), 0,
                     0, -1, -1);
}

// ---- Effects ------------------------------------------------------------------------

bool CImage::ToCodecImage(CBaseImage** codec) const {
  if (!codec) return false;
  delete *codec;
  *codec = nullptr;
  try {
    if (!IsValid()) return false;
    auto* img = new CBaseImage;
    *codec = img;
    const int w = GetWidth(), h = GetHeight();
    if (!img->Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24, 0)) return false;
    // The codec's rows take the same bytes (blue, green, red from the bottom
    // row): read a row at a time.
    bool rows = m_impl != nullptr;
    for (int y = 0; y < h && rows; ++y) rows = m_impl->GetRowBGR(0, y, w, img->GetBits(static_cast<DWORD>(y)));
    if (rows) return true;
    for (int y = 0; y < h; ++y) {
      BYTE* row = img->GetBits(static_cast<DWORD>(y));
      for (int x = 0; x < w; ++x) {
        BYTE r = 0, g = 0, b = 0;
        GetPixelRGB(x, y, r, g, b);
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
      }
    }
    return true;
  } catch (...) {
    return false;
  }
}

namespace {

// Copies the codec picture's pixels back into the picture.
void CopyBackFromCodec(CImage& image, CBaseImage& codec) {
  const int w = std::min<int>(image.GetWidth(), static_cast<int>(codec.GetWidth()));
  const int h = std::min<int>(image.GetHeight(), static_cast<int>(codec.GetHeight()));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const RGBQUAD c = codec.GetPixelColor(x, y, false);
      image.SetPixelRGB(x, y, c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
}

template <class Effect>
bool RunEffect(CImage& image, Effect effect) {
  CBaseImage* codec = nullptr;
  bool ok = false;
  try {
    if (image.ToCodecImage(&codec) && effect(*codec)) {
      CopyBackFromCodec(image, *codec);
      ok = true;
    }
  } catch (...) {
    ok = false;
  }
  delete codec;
  return ok;
}

}  // namespace

bool CImage::ApplyDistortion(int kind, long radius, float factor) {
  return RunEffect(*this, [&](CBaseImage& c) {
    c.CircleTransform(kind, radius, factor);
    return true;
  });
}

bool CImage::AdjustLight(long brightness, long contrast) {
  return RunEffect(*this, [&](CBaseImage& c) { return c.Light(brightness, contrast); });
}

bool CImage::ApplyContour() {
  return RunEffect(*this, [](CBaseImage& c) {
    c.Contour();
    return true;
  });
}

bool CImage::ApplyEdge(long size) {
  return RunEffect(*this, [&](CBaseImage& c) {
    c.Edge(size);
    return true;
  });
}

bool CImage::ApplyEdgeFilter(int selector) {
  switch (selector) {
    case 1: return ApplyContour();
    case 2: return ApplyEdge(2);
    default: return false;
  }
}

// ---- Sizes ------------------------------------------------------------------------------

CSize CImage::GetSizeInUnits(double unitWidth, double unitHeight) const {
  const int cx = unitWidth > 0 ? RoundToInt(GetWidth() / unitWidth) : 0;
  const int cy = unitHeight > 0 ? RoundToInt(GetHeight() / unitHeight) : 0;
  return CSize(cx, cy);
}
