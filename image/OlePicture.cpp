// The platform's picture loader over the codec layer.
#include "image/OlePicture.h"

#include <cmath>
#include <new>

#include "image/codec/BaseImage.h"

namespace {

// The resolution pictures are sized at.
constexpr int kPictureDpi = 96;
constexpr int kHimetricPerInch = 2540;

// v * num / den rounded half away from zero, in 64 bits.
int MulDivRound(long long v, long long num, long long den) {
  if (den == 0) return 0;
  const long long p = v * num;
  const long long q = (p >= 0 ? p + den / 2 : p - den / 2) / den;
  return static_cast<int>(q);
}

}  // namespace

COlePicture::~COlePicture() { Free(); }

void COlePicture::Free() {
  delete m_picture;
  m_picture = nullptr;
  m_loaded = false;
}

bool COlePicture::LoadFromResource(UINT id) {
  Free();
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC res = FindResource(module, MAKEINTRESOURCE(id), RT_RCDATA);
  if (!res) return false;
  HGLOBAL data = LoadResource(module, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  const DWORD size = SizeofResource(module, res);
  if (!bytes || !size) return false;
  return LoadFromMemory(static_cast<const BYTE*>(bytes), size);
}

bool COlePicture::LoadWith(const std::function<bool(CBaseImage&)>& load) {
  Free();
  try {
    auto* picture = new CBaseImage;
    if (!load(*picture) || !picture->IsValid()) {
      delete picture;
      return false;
    }
    m_picture = picture;
    m_loaded = true;
  } catch (...) {
    Free();
  }
  return m_loaded;
}

bool COlePicture::LoadFromFile(const char* path) {
  if (!path) {
    Free();
    return false;
  }
  return LoadWith([path](CBaseImage& picture) { return picture.Load(path, CODEC_FORMAT_UNKNOWN); });
}

bool COlePicture::LoadFromMemory(const BYTE* data, size_t size) {
  if (!data || !size || size > 0xFFFFFFFFu) {
    Free();
    return false;
  }
  return LoadWith([data, size](CBaseImage& picture) {
    return picture.Decode(data, static_cast<DWORD>(size), CODEC_FORMAT_UNKNOWN);
  });
}

CSize COlePicture::GetHimetricSize() const {
  if (!m_loaded) return CSize(0, 0);
  return CSize(MulDivRound(m_picture->GetWidth(), kHimetricPerInch, kPictureDpi),
               MulDivRound(m_picture->GetHeight(), kHimetricPerInch, kPictureDpi));
}

CSize COlePicture::GetSizeInPixels(HDC dc) const {
  if (!m_loaded) return CSize(0, 0);
  const CSize hm = GetHimetricSize();
  HDC screen = dc ? nullptr : GetDC(nullptr);
  HDC use = dc ? dc : screen;
  int dpiX = GetDeviceCaps(use, LOGPIXELSX), dpiY = GetDeviceCaps(use, LOGPIXELSY);
  if (screen) ReleaseDC(nullptr, screen);
  if (dpiX <= 0) dpiX = kPictureDpi;
  if (dpiY <= 0) dpiY = kPictureDpi;
  return CSize(MulDivRound(hm.cx, dpiX, kHimetricPerInch), MulDivRound(hm.cy, dpiY, kHimetricPerInch));
}

bool COlePicture::Render(HDC dc, int left, int top, int right, int bottom, const RECT*) {
  if (!m_loaded || !dc) return false;
  const int w = static_cast<int>(m_picture->GetWidth()), h = static_cast<int>(m_picture->GetHeight());
  SetStretchBltMode(dc, COLORONCOLOR);
  return StretchDIBits(dc, left, top, right - left, bottom - top, 0, 0, w, h, m_picture->GetBits(),
                       static_cast<const BITMAPINFO*>(m_picture->GetDIB()), DIB_RGB_COLORS, SRCCOPY) != 0;
}

bool COlePicture::Render(HDC dc, const RECT& rect, double x, double y, double w, double h, bool flipHorizontally,
                         bool flipVertically) {
  if (!m_loaded || !dc || x < 0 || y < 0 || w < 0) return false;
  const double pw = m_picture->GetWidth(), ph = m_picture->GetHeight();
  const int srcX = static_cast<int>(std::lround(x * pw));
  const int srcW = static_cast<int>(std::lround(w * pw));
  const int srcH = static_cast<int>(std::lround(h * ph));
  // DIB rows count from the bottom: the part's lower edge.
  const int srcY = static_cast<int>(std::lround(ph - (y + h) * ph));
  int dx = rect.left, dw = rect.right - rect.left, dy = rect.top, dh = rect.bottom - rect.top;
  if (flipHorizontally) {
    dx = rect.right;
    dw = rect.left - rect.right;
  }
  if (flipVertically) {
    dy = rect.bottom;
    dh = rect.top - rect.bottom;
  }
  SetStretchBltMode(dc, COLORONCOLOR);
  return StretchDIBits(dc, dx, dy, dw, dh, srcX, srcY, srcW, srcH, m_picture->GetBits(),
                       static_cast<const BITMAPINFO*>(m_picture->GetDIB()), DIB_RGB_COLORS, SRCCOPY) != 0;
}
