// A memory device context over a colour bitmap, for the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi.h"

namespace gditest {

struct Canvas {
  HDC dc = nullptr;
  HBITMAP bm = nullptr;
  HGDIOBJ old = nullptr;
  int w = 0, h = 0;
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255), int bpp = 32) : w(width), h(height) {
    dc = CreateCompatibleDC(nullptr);
    bm = CreateBitmap(width, height, 1, static_cast<UINT>(bpp), nullptr);
    old = SelectObject(dc, bm);
    Fill(fill);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
  }
  void Fill(COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  // Bounding box [l, r) x [t, b) of pixels different from `bg`; empty when none.
  RECT Ink(COLORREF bg = RGB(255, 255, 255)) const {
    RECT r{w, h, 0, 0};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (At(x, y) != bg) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    if (r.right == 0) r = RECT{0, 0, 0, 0};
    return r;
  }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) n += At(x, y) == c;
    return n;
  }
  std::vector<COLORREF> Snapshot() const {
    std::vector<COLORREF> v;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) v.push_back(At(x, y));
    return v;
  }
  // A pattern of distinct colours, so that every change shows.
  void Gradient() {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetPixelV(dc, x, y, RGB(x * 7 + 3, y * 11 + 5, (x * y) & 0xFF));
  }
};

}  // namespace gditest

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& o, const RECT& r) {
  return o << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
