// Rescaling, resizing, cropping and page tiling of pictures, and the packed
// colour copy.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "core/LargeArray.h"
#include "core/TextUtils.h"
#include "image/AreaReduction.h"
#include "image/ImageView.h"

namespace {

constexpr COLORREF kNoFill = 0xFFFFFFFFu;

// A 24-bit DIB header with rows from the bottom.
BITMAPINFO BottomUp24(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  bi.bmiHeader.biXPelsPerMeter = 1;
  bi.bmiHeader.biYPelsPerMeter = 1;
  return bi;
}

// The buffers a reduction needs, or false when they do not fit.
bool FitsBuffer(std::uint64_t stride, std::uint64_t rows) {
  const std::uint64_t bytes = stride * rows;
  return bytes <= GetImageMemoryLimit() && bytes <= static_cast<std::uint64_t>(SIZE_MAX / 2);
}

// Rows of bytes that are not filled first: large ones in page memory, which
// the system zeroes as it is first written.
class CRowBuffer {
 public:
  explicit CRowBuffer(size_t bytes) : m_bytes(bytes), m_data(CLargeBlockAllocator<BYTE>().allocate(bytes)) {}
  CRowBuffer(const CRowBuffer&) = delete;
  CRowBuffer& operator=(const CRowBuffer&) = delete;
  ~CRowBuffer() { CLargeBlockAllocator<BYTE>().deallocate(m_data, m_bytes); }
  BYTE* data() const { return m_data; }

 private:
  size_t m_bytes;
  BYTE* m_data;
};

// A bitmap's rows as 24-bit rows from the bottom (stride DibRowStride).
bool ReadBitmapRows(HBITMAP bitmap, int width, int height, BYTE* rows) {
  HDC screen = GetDC(nullptr);
  BITMAPINFO info = BottomUp24(width, height);
  const int got = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), rows, &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return got == height;
}

// Reduces w x h 24-bit rows (from the bottom, `stride` apart) to tw x th
// rows (from the bottom, outStride apart) by area averaging, a band of a few
// target rows at a time, so the sums of a band stay in the cache.
bool ReduceRows(const BYTE* bits, std::ptrdiff_t stride, int w, int h, int tw, int th, BYTE* out,
                std::ptrdiff_t outStride) {
  constexpr int kBandRows = 4;
  CAreaReduction reduction;
  if (!reduction.Plan(w, h, tw, th, (th + kBandRows - 1) / kBandRows, out, outStride)) return false;
  CSourceRows rows;
  rows.base = bits;
  rows.stride = stride;
  rows.height = h;
  for (int band = 0; band < reduction.GetBandCount(); ++band) reduction.RunBand(band, rows);
  return true;
}

}  // namespace

HBITMAP ScaleBitmap(HBITMAP bitmap, int newWidth, int newHeight) {
  if (!bitmap || newWidth <= 0 || newHeight <= 0) return nullptr;
  BITMAP bm{};
  if (!GetObject(bitmap, sizeof bm, &bm)) return nullptr;
  const int w = bm.bmWidth, h = bm.bmHeight;
  if (w <= 0 || h <= 0 || newWidth > w || newHeight > h) return nullptr;
  const std::uint64_t srcStride = DibRowStride(w, 24);
  const std::uint64_t dstStride = DibRowStride(newWidth, 24);
  if (!FitsBuffer(srcStride, static_cast<std::uint64_t>(h)) ||
      !FitsBuffer(dstStride, static_cast<std::uint64_t>(newHeight)))
    return nullptr;
  try {
    CRowBuffer src(static_cast<size_t>(srcStride) * static_cast<size_t>(h));
    CRowBuffer dst(static_cast<size_t>(dstStride) * static_cast<size_t>(newHeight));
    if (!ReadBitmapRows(bitmap, w, h, src.data())) return nullptr;
    if (!ReduceRows(src.data(), static_cast<std::ptrdiff_t>(srcStride), w, h, newWidth, newHeight, dst.data(),
                    static_cast<std::ptrdiff_t>(dstStride)))
      return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP result = CreateCompatibleBitmap(screen, newWidth, newHeight);
    if (result) {
      BITMAPINFO dstInfo = BottomUp24(newWidth, newHeight);
      if (SetDIBits(screen, result, 0, static_cast<UINT>(newHeight), dst.data(), &dstInfo, DIB_RGB_COLORS) !=
          newHeight) {
        DeleteObject(result);
        result = nullptr;
      }
    }
    ReleaseDC(nullptr, screen);
    return result;
  } catch (...) {
    return nullptr;
  }
}

// ---- CImage: resizing and cropping ---------------------------------------------------------

std::unique_ptr<CImage> CImage::CreateResized(const SIZE& size) const {
  const int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0 || size.cx <= 0 || size.cy <= 0) return nullptr;
  int k = 0;
  for (int f = 1; f <= 799; ++f)
    if (static_cast<std::int64_t>(f) * w >= size.cx && static_cast<std::int64_t>(f) * h >= size.cy) {
      k = f;
      break;
    }
  if (!k) return nullptr;
  try {
    const CImage* source = this;
    std::unique_ptr<CImage> copy;
    if (k > 1) {
      const std::int64_t ew = static_cast<std::int64_t>(k) * w, eh = static_cast<std::int64_t>(k) * h;
      if (ew > INT_MAX || eh > INT_MAX) return nullptr;
      bool ok = false;
      copy = std::make_unique<CImage>(static_cast<int>(ew), static_cast<int>(eh), ok, kNoFill);
      if (!ok) return nullptr;
      // Every source pixel becomes a k x k block.
      BYTE* bits = copy->GetBits();
      const size_t stride = static_cast<size_t>(copy->GetRowStride());
      for (int y = 0; y < h; ++y) {
        BYTE* row = bits + static_cast<size_t>(y) * k * stride;
        for (int x = 0; x < w; ++x) {
          BYTE r, g, b;
          if (!GetPixelRGB(x, y, r, g, b)) return nullptr;
          BYTE* p = row + static_cast<size_t>(x) * k * 3;
          for (int i = 0; i < k; ++i) {
            p[3 * i] = b;
            p[3 * i + 1] = g;
            p[3 * i + 2] = r;
          }
        }
        for (int i = 1; i < k; ++i) std::memcpy(row + i * stride, row, static_cast<size_t>(ew) * 3);
      }
      source = copy.get();
    }
    const int sw = source->GetWidth(), sh = source->GetHeight();
    const std::uint64_t srcStride = DibRowStride(sw, 24);
    if (!FitsBuffer(srcStride, static_cast<std::uint64_t>(sh)) ||
        !FitsBuffer(DibRowStride(size.cx, 24), static_cast<std::uint64_t>(size.cy)))
      return nullptr;
    bool ok = false;
    auto result = std::make_unique<CImage>(size.cx, size.cy, ok, kNoFill);
    if (!ok) return nullptr;
    // A 24-bit picture's rows are reduced where they are; any other picture's
    // colours are those of its device bitmap.
    const CFileImageImpl* impl = source->GetImpl();
    if (source->GetBitsPerPixel() == 24 && source->GetBits() && impl->GetInfo()->bmiHeader.biCompression == BI_RGB) {
      if (!ReduceRows(source->GetBits(), source->GetRowStride(), sw, sh, size.cx, size.cy, result->GetBits(),
                      result->GetRowStride()))
        return nullptr;
      return result;
    }
    std::unique_ptr<CSafeBitmap> bitmap = source->ToBitmap();
    if (!bitmap) return nullptr;
    CRowBuffer rows(static_cast<size_t>(srcStride) * static_cast<size_t>(sh));
    if (!ReadBitmapRows(static_cast<HBITMAP>(bitmap->GetSafeHandle()), sw, sh, rows.data()) ||
        !ReduceRows(rows.data(), static_cast<std::ptrdiff_t>(srcStride), sw, sh, size.cx, size.cy, result->GetBits(),
                    result->GetRowStride()))
      return nullptr;
    return result;
  } catch (...) {
    return nullptr;
  }
}

std::unique_ptr<CImage> CImage::Crop(const RECT& rect) const {
  if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0) return nullptr;
  const int w = GetWidth(), h = GetHeight();
  const int left = std::max<int>(rect.left, 0), top = std::max<int>(rect.top, 0);
  const int right = std::min<int>(rect.right, w), bottom = std::min<int>(rect.bottom, h);
  // Compared before subtracting: an edge far below zero would overflow.
  if (right <= left || bottom <= top) return nullptr;
  const int nw = right - left, nh = bottom - top;
  try {
    bool ok = false;
    auto result = std::make_unique<CImage>(nw, nh, ok, 0xFFFFFFFFu);
    if (!ok) return nullptr;
    // The new picture is 24-bit with its rows from the bottom: each row's
    // span is read at once, pixel by pixel only where that fails.
    BYTE* to = result->GetBits();
    const CImageImpl* from = GetImpl();
    for (int t = top; t < bottom; ++t) {
      BYTE* row = to + static_cast<std::ptrdiff_t>(bottom - t - 1) * result->GetRowStride();
      if (from && to && from->GetRowBGR(left, h - t - 1, nw, row)) continue;
      for (int x = left; x < right; ++x) {
        BYTE r, g, b;
        if (GetPixelRGB(x, h - t - 1, r, g, b)) result->SetPixelRGB(x - left, bottom - t - 1, r, g, b);
      }
    }
    return result;
  } catch (...) {
    return nullptr;
  }
}

std::unique_ptr<CImage> CImage::CropByFractions(const CFractionRect& f) const {
  const int w = GetWidth(), h = GetHeight();
  RECT r;
  r.left = RoundToInt(w * f.left);
  r.right = RoundToInt((f.width + f.left) * w);
  r.top = RoundToInt(h * f.top);
  r.bottom = RoundToInt((f.height + f.top) * h);
  return Crop(r);
}

// ---- Page tiles -------------------------------------------------------------------------------

namespace {

int TilesFor(double total, double tile) {
  if (!(tile > 0) || !(total > 0)) return 0;
  const double q = std::trunc(total / tile);
  if (q >= INT_MAX) return INT_MAX;
  int n = static_cast<int>(q);
  if (total > q * tile && n < INT_MAX) ++n;
  return n;
}

}  // namespace

int CTileGrid::GetTilesAcross() const { return TilesFor(m_totalWidth, m_tileWidth); }
int CTileGrid::GetTilesDown() const { return TilesFor(m_totalHeight, m_tileHeight); }

bool CTileGrid::GetTileRect(int column, int row, CFractionRect& rect) const {
  if (column < 0 || row < 0 || column >= GetTilesAcross() || row >= GetTilesDown()) return false;
  const double fw = std::min(1.0, m_tileWidth / m_totalWidth);
  const double fh = std::min(1.0, m_tileHeight / m_totalHeight);
  rect.left = fw * column;
  rect.width = fw;
  if (rect.left + rect.width > 1) rect.width = 1 - rect.left;
  rect.top = fh * row;
  rect.height = fh;
  if (rect.top + rect.height > 1) rect.height = 1 - rect.top;
  return true;
}

// ---- CImageRGBContainer --------------------------------------------------------------------

CImageRGBContainer::CImageRGBContainer(const CImage& image) { CopyFrom(image); }

CImageRGBContainer::CImageRGBContainer(const char* fileName) {
  bool ok = false;
  CImage image(fileName, ok, -1, nullptr);
  if (ok) CopyFrom(image);
}

void CImageRGBContainer::CopyFrom(const CImage& image) {
  const int w = image.GetWidth(), h = image.GetHeight();
  if (w <= 0 || h <= 0) return;
  try {
    m_rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
  } catch (const std::bad_alloc&) {
    m_rgb.clear();
    return;
  }
  size_t k = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, k += 3) image.GetPixelRGB(x, y, m_rgb[k], m_rgb[k + 1], m_rgb[k + 2]);
  m_width = w;
  m_height = h;
}

bool CImageRGBContainer::GetPixel(int x, int y, BYTE& red, BYTE& green, BYTE& blue) const {
  if (m_width <= 0 || m_height <= 0) {
    red = green = blue = 0;
    return false;
  }
  x = std::clamp(x, 0, m_width - 1);
  y = std::clamp(y, 0, m_height - 1);
  const size_t at = (static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(m_width)) * 3;
  red = m_rgb[at];
  green = m_rgb[at + 1];
  blue = m_rgb[at + 2];
  return true;
}
