// Drawing helpers: font description, text raster, aspect fitting, colours
// and gradients.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/DrawUtils.h"
#include "platform/gdi.h"

namespace {
// A memory device context with a bitmap of w x h pixels.
class Canvas {
 public:
  Canvas(int w, int h) {
    screen_ = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen_);
    bitmap_ = CreateCompatibleBitmap(screen_, w, h);
    old_ = SelectObject(mem, bitmap_);
    dc.Attach(mem);
    const RECT all{0, 0, w, h};
    HBRUSH white = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(mem, &all, white);
    DeleteObject(white);
  }
  ~Canvas() {
    SelectObject(dc.GetSafeHdc(), old_);
    DeleteObject(bitmap_);
    ReleaseDC(nullptr, screen_);
  }
  COLORREF At(int x, int y) { return GetPixel(dc.GetSafeHdc(), x, y); }
  CDC dc;

 private:
  HDC screen_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};
}  // namespace

TEST(DrawUtils, LogFont) {
  CLogFont lf("Tahoma", -14);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -14);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(lf.lfWeight, 0);
  lf.SetBold(true);
  EXPECT_EQ(lf.lfWeight, 700);
  lf.SetBold(false);
  EXPECT_EQ(lf.lfWeight, 0);
  lf.SetItalic(true);
  lf.SetUnderline(true);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.SetFaceName("Arial"), 6);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  const std::string longName(40, 'x');
  EXPECT_EQ(lf.SetFaceName(longName.c_str()), 32);
  EXPECT_EQ(std::strlen(lf.lfFaceName), 31u);
  CLogFont none;
  EXPECT_EQ(none.lfFaceName[0], 0);
}

TEST(DrawUtils, FitRectToAspect) {
  // A wide area for a square: the height limits.
  RECT r = FitRectToAspect(RECT{0, 0, 200, 100}, 1, 1);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right, 150);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 100);
  // A tall area: the width limits and the result is centred vertically.
  r = FitRectToAspect(RECT{10, 10, 110, 310}, 2, 1);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 110);
  EXPECT_EQ(r.bottom - r.top, 50);
  EXPECT_EQ(r.top, 10 + 125);
  // Zero sizes return at once.
  r = FitRectToAspect(RECT{0, 0, 0, 50}, 1, 1);
  EXPECT_EQ(r.right, 0);
  r = FitRectToAspect(RECT{0, 0, 40, 50}, 0, 1);
  EXPECT_EQ(r.right, 40);
  r = FitRectToAspect(RECT{0, 0, 40, 50}, 1, 0);
  EXPECT_EQ(r.bottom, 50);
}

TEST(DrawUtils, Colours) {
  EXPECT_EQ(GetContrastColor(RGB(127, 128, 0)), RGB(255, 0, 255));
  EXPECT_EQ(InvertColor(RGB(0, 100, 255)), RGB(255, 155, 0));
  EXPECT_EQ(GetTextColorForBackground(RGB(128, 128, 127)), RGB(255, 255, 255));
  EXPECT_EQ(GetTextColorForBackground(RGB(128, 128, 128)), RGB(0, 0, 0));
}

TEST(DrawUtils, RasterizeText) {
  CLogFont lf("Arial", -24);
  lf.lfQuality = NONANTIALIASED_QUALITY;
  SIZE size{};
  std::vector<POINT> cells;
  ASSERT_TRUE(RasterizeText("H", lf, size, cells));
  EXPECT_GT(size.cx, 5);
  EXPECT_GT(size.cy, 10);
  ASSERT_FALSE(cells.empty());
  for (size_t i = 1; i < cells.size(); ++i) EXPECT_GE(cells[i].x, cells[i - 1].x);  // column by column
  for (const POINT& p : cells) {
    EXPECT_LT(p.x, size.cx);
    EXPECT_LT(p.y, size.cy);
  }
  std::vector<POINT> wide;
  ASSERT_TRUE(RasterizeText("HH", lf, size, wide));
  EXPECT_GT(wide.size(), cells.size());
  EXPECT_FALSE(RasterizeText("", lf, size, cells));
  EXPECT_TRUE(cells.empty());
}

TEST(DrawUtils, GradientRect) {
  Canvas canvas(10, 20);
  DrawGradientRect(&canvas.dc, RECT{0, 0, 10, 20}, RGB(0, 0, 0), RGB(100, 200, 50), 1);
  EXPECT_EQ(canvas.At(5, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(5, 5), RGB(50, 100, 25));
  EXPECT_EQ(canvas.At(5, 10), RGB(100, 200, 50));
  EXPECT_EQ(canvas.At(5, 15), RGB(50, 100, 25));
  EXPECT_EQ(canvas.At(9, 19), RGB(10, 20, 5));
  // Every second line only.
  Canvas sparse(4, 8);
  DrawGradientRect(&sparse.dc, RECT{0, 0, 4, 8}, RGB(0, 0, 0), RGB(80, 80, 80), 2);
  EXPECT_EQ(sparse.At(0, 1), RGB(1, 2, 3));
  EXPECT_EQ(sparse.At(0, 2), RGB(40, 40, 40));
  // Nothing drawn and no endless loop for degenerate input.
  Canvas tiny(4, 4);
  DrawGradientRect(&tiny.dc, RECT{0, 0, 4, 1}, RGB(0, 0, 0), RGB(9, 9, 9), 1);
  DrawGradientRect(&tiny.dc, RECT{0, 0, 4, 4}, RGB(0, 0, 0), RGB(9, 9, 9), 0);
  DrawHorizontalGradient(&tiny.dc, RECT{0, 0, 4, 4}, RGB(0, 0, 0), RGB(9, 9, 9), 0);
  DrawGradientFace(&tiny.dc, RECT{0, 0, 4, 4}, 10, false, 0);
  DrawGradientFace(&tiny.dc, RECT{0, 0, 0, 4}, 10, false, 1);
  EXPECT_EQ(tiny.At(0, 0), RGB(1, 2, 3));
}

TEST(DrawUtils, HorizontalGradientAndFace) {
  Canvas canvas(10, 4);
  DrawHorizontalGradient(&canvas.dc, RECT{0, 0, 10, 4}, RGB(0, 0, 0), RGB(100, 100, 100), 1);
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(5, 3), RGB(50, 50, 50));
  Canvas face(4, 10);
  DrawGradientFace(&face.dc, RECT{0, 0, 4, 10}, 20, false, 1);
  const COLORREF btn = GetSysColor(COLOR_BTNFACE);
  const int top = GetRValue(face.At(0, 0)), bottom = GetRValue(face.At(0, 9));
  EXPECT_EQ(top, std::max(0, GetRValue(btn) - 20));
  EXPECT_GT(bottom, top);
  EXPECT_LE(bottom, std::min(255, GetRValue(btn) + 20));
  Canvas across(10, 4);
  DrawGradientFace(&across.dc, RECT{0, 0, 10, 4}, 20, true, 1);
  EXPECT_GT(GetRValue(across.At(0, 0)), GetRValue(across.At(9, 0)));  // lighter at the left
}
