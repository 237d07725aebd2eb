// Rescaling, resizing, cropping and page tiling of pictures, and the packed
// colour copy.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "core/TextUtils.h"
#include "image/ImageView.h"

namespace {

BITMAPINFO TopDown24(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  bi.bmiHeader.biXPelsPerMeter = 1;
  bi.bmiHeader.biYPelsPerMeter = 1;
  return bi;
}

// The buffers ScaleBitmap needs, or false when they do not fit.
bool FitsBuffer(std::uint64_t stride, std::uint64_t rows) {
  const std::uint64_t bytes = stride * rows;
  return bytes <= GetImageMemoryLimit() && bytes <= static_cast<std::uint64_t>(SIZE_MAX / 2);
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

  std::vector<BYTE> src, dst;
  std::vector<float> accCur, accNext;
  try {
    src.resize(static_cast<size_t>(srcStride) * static_cast<size_t>(h));
    dst.assign(static_cast<size_t>(dstStride) * static_cast<size_t>(newHeight), 0);
    accCur.assign(static_cast<size_t>(newWidth) * 3, 0.0f);
    accNext.assign(static_cast<size_t>(newWidth) * 3, 0.0f);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }

  HDC screen = GetDC(nullptr);
  BITMAPINFO srcInfo = TopDown24(w, h);
  const int got = GetDIBits(screen, bitmap, 0, static_cast<UINT>(h), src.data(), &srcInfo, DIB_RGB_COLORS);
  if (got != h) {
    ReleaseDC(nullptr, screen);
    return nullptr;
  }

  const float factor = static_cast<float>(static_cast<double>(newWidth) * newHeight) /
                       static_cast<float>(static_cast<double>(w) * h);
  auto finishRow = [&](int ty) {
    if (ty < 0 || ty >= newHeight) return;
    BYTE* out = dst.data() + static_cast<size_t>(ty) * static_cast<size_t>(dstStride);
    for (size_t i = 0; i < accCur.size(); ++i) {
      const float v = accCur[i] * factor + 0.5f;
      out[i] = static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 255));
    }
  };

  // Counters in 64 bits: a source row adds the new height, a pixel the new
  // width; passing the old size means the pixel or row straddles two target
  // cells, split by the overhang.
  std::int64_t rowCounter = 0;
  int ty = 0;
  for (int sy = 0; sy < h; ++sy) {
    rowCounter += newHeight;
    const bool rowSplit = rowCounter > h;
    const float ry = rowSplit ? static_cast<float>(rowCounter - h) / static_cast<float>(newHeight) : 0.0f;
    const BYTE* row = src.data() + static_cast<size_t>(sy) * static_cast<size_t>(srcStride);
    std::int64_t colCounter = 0;
    int tx = 0;
    for (int sx = 0; sx < w; ++sx) {
      colCounter += newWidth;
      const bool colSplit = colCounter > w;
      const float rx = colSplit ? static_cast<float>(colCounter - w) / static_cast<float>(newWidth) : 0.0f;
      const bool hasNextCol = tx + 1 < newWidth;
      if (tx < newWidth) {
        float* cur = accCur.data() + static_cast<size_t>(tx) * 3;
        float* next = accNext.data() + static_cast<size_t>(tx) * 3;
        for (int c = 0; c < 3; ++c) {
          const float v = row[3 * sx + c];
          if (!colSplit && !rowSplit) {
            cur[c] += v;
          } else if (colSplit && !rowSplit) {
            cur[c] += v * (1.0f - rx);
            if (hasNextCol) cur[c + 3] += v * rx;
          } else if (!colSplit && rowSplit) {
            cur[c] += v * (1.0f - ry);
            next[c] += v * ry;
          } else {
            cur[c] += v * (1.0f - rx) * (1.0f - ry);
            next[c] += v * (1.0f - rx) * ry;
            if (hasNextCol) {
              cur[c + 3] += v * rx * (1.0f - ry);
              next[c + 3] += v * rx * ry;
            }
          }
        }
      }
      if (colCounter >= w) {
        colCounter -= w;
        ++tx;
      }
    }
    if (rowCounter >= h) {
      rowCounter -= h;
      finishRow(ty);
      accCur.swap(accNext);
      std::fill(accNext.begin(), accNext.end(), 0.0f);
      ++ty;
    }
  }
  if (ty < newHeight) finishRow(ty);

  HBITMAP result = CreateCompatibleBitmap(screen, newWidth, newHeight);
  if (result) {
    BITMAPINFO dstInfo = TopDown24(newWidth, newHeight);
    if (SetDIBits(screen, result, 0, static_cast<UINT>(newHeight), dst.data(), &dstInfo, DIB_RGB_COLORS) !=
        newHeight) {
      DeleteObject(result);
      result = nullptr;
    }
  }
  ReleaseDC(nullptr, screen);
  return result;
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
    const CImage* enlarged = this;
    std::unique_ptr<CImage> copy;
    if (k > 1) {
      const std::int64_t ew = static_cast<std::int64_t>(k) * w, eh = static_cast<std::int64_t>(k) * h;
      if (ew > INT_MAX || eh > INT_MAX) return nullptr;
      bool ok = false;
      copy = std::make_unique<CImage>(static_cast<int>(ew), static_cast<int>(eh), ok, 0xFFFFFFFFu);
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
      enlarged = copy.get();
    }
    std::unique_ptr<CSafeBitmap> bitmap = enlarged->ToBitmap();
    if (!bitmap) return nullptr;
    copy.reset();
    HBITMAP scaled = ScaleBitmap(static_cast<HBITMAP>(bitmap->GetSafeHandle()), size.cx, size.cy);
    if (!scaled) return nullptr;
    auto result = std::make_unique<CImage>(scaled);
    DeleteObject(scaled);
    if (!result->IsValid()) return nullptr;
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
  const int nw = right - left, nh = bottom - top;
  if (nw <= 0 || nh <= 0) return nullptr;
  try {
    bool ok = false;
    auto result = std::make_unique<CImage>(nw, nh, ok, 0xFFFFFFFFu);
    if (!ok) return nullptr;
    for (int t = top; t < bottom; ++t)
      for (int x = left; x < right; ++x) {
        BYTE r, g, b;
        if (GetPixelRGB(x, h - t - 1, r, g, b)) result->SetPixelRGB(x - left, bottom - t - 1, r, g, b);
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
