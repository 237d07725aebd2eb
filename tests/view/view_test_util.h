// Small designs, palettes and pixel access for the design view's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/gdi.h"

namespace viewtest {

// A palette of the colours given as COLORREF values, named C0, C1, ...
inline CColorSet MakePalette(const std::vector<COLORREF>& colors) {
  CColorSet set;
  for (size_t i = 0; i < colors.size(); ++i) {
    CString name;
    name.Format("C%d", static_cast<int>(i));
    CPaletteColor c(CRgbTriple::FromColorref(colors[i]), name, 0, static_cast<int>(i), 0, 0);
    c.SetInUse(1);
    set.Append(c);
  }
  return set;
}

// columns x rows beads of one inch in the format, every bead of the colour.
inline CPattern MakeDesign(int columns, int rows, int format = kFormatLoom, int color = 0, float spacer = 0.0f) {
  CPattern p;
  CGridLayout layout;
  layout.width = columns + (columns - 1) * spacer;
  layout.height = rows + (rows - 1) * spacer;
  layout.beadWidth = layout.beadHeight = 1.0f;
  layout.spacer = spacer;
  layout.format = format;
  p.CreateGrid(layout, color);
  return p;
}

// A memory DC over a new w x h bitmap filled with a colour.
class CanvasDC {
 public:
  CanvasDC(int w, int h, COLORREF fill) : w_(w), h_(h) {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, w, h);
    dc_.m_hDC = dc_.m_hAttribDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_.m_hDC, bitmap_);
    HBRUSH b = CreateSolidBrush(fill);
    RECT r{0, 0, w, h};
    FillRect(dc_.m_hDC, &r, b);
    DeleteObject(b);
  }
  ~CanvasDC() {
    SelectObject(dc_.m_hDC, old_);
    DeleteDC(dc_.m_hDC);
    dc_.m_hDC = dc_.m_hAttribDC = nullptr;
    DeleteObject(bitmap_);
  }
  CDC* dc() { return &dc_; }
  COLORREF At(int x, int y) { return GetPixel(dc_.m_hDC, x, y) & 0xFFFFFF; }
  int w() const { return w_; }
  int h() const { return h_; }

 private:
  int w_, h_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  CDC dc_;
};

// The pixels of a bitmap, 0x00RRGGBB, top-down.
inline std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int& w, int& h) {
  BITMAP info{};
  GetObject(bitmap, sizeof info, &info);
  w = info.bmWidth;
  h = info.bmHeight;
  std::vector<uint32_t> px(size_t(w) * h);
  GetBitmapBits(bitmap, static_cast<LONG>(px.size() * 4), px.data());
  for (auto& p : px) p &= 0xFFFFFF;
  return px;
}

// COLORREF of a 0x00RRGGBB pixel.
inline COLORREF Ref(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

}  // namespace viewtest
