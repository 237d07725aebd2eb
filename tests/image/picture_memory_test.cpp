// The picture in memory: blank pictures, joins, copies, pixel and palette
// access at every depth, drawing sizes, transparent drawing and effects.
#include <gtest/gtest.h>

#include "picture_helpers.h"

using namespace picturetest;

TEST(PictureMemory, BlankPictureIs24BitWithTheFillColour) {
  bool ok = false;
  CImage img(3, 2, ok, 0x0000FF);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetType(), kImageTypeBMP);
  EXPECT_EQ(img.GetBitsPerPixel(), 24);
  EXPECT_EQ(img.GetRowStride(), 12);
  EXPECT_EQ(img.GetFlags(), kImageFlagHasPalette);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      BYTE r, g, b;
      ASSERT_TRUE(img.GetPixelRGB(x, y, r, g, b));
      EXPECT_EQ(r, 255);
      EXPECT_EQ(g, 0);
      EXPECT_EQ(b, 0);
    }
  BYTE r, g, b;
  EXPECT_FALSE(img.GetPixelRGB(3, 0, r, g, b));
  EXPECT_FALSE(img.SetPixelRGB(0, -1, 1, 2, 3));
  EXPECT_EQ(img.GetRed(5, 5), 0);
}

TEST(PictureMemory, EmptyPictureAnswersNothing) {
  CImage img;
  EXPECT_EQ(img.GetType(), kImageTypeNone);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.GetWidth(), 0);
  EXPECT_EQ(img.GetPixelIndex(0, 0), -1);
  EXPECT_TRUE(img.GetDrawnRect().IsRectNull());
  CMemCanvas canvas(4, 4, RGB(1, 2, 3));
  EXPECT_FALSE(img.Draw(canvas.dc(), 0, 0));
  EXPECT_EQ(img.GetFitSize(CRect(0, 0, 10, 10)), CSize(0, 0));
  EXPECT_FALSE(img.ToBitmap());
  EXPECT_FALSE(img.SetPalette(nullptr));
}

TEST(PictureMemory, PicturesThatDoNotFitFailCleanly) {
  CImage img;
  EXPECT_EQ(img.Create(200000, 200000, 24, -1), 0);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.GetWidth(), 0);
  bool ok = true;
  CImage huge(0x7FFFFFFF, 3, ok, 0);
  EXPECT_FALSE(ok);
  CImage none(0, 5, ok, 0);
  EXPECT_FALSE(ok);
}

TEST(PictureMemory, RowZeroIsTheBottomRowOnScreen) {
  bool ok = false;
  CImage img(4, 3, ok, RGB(0, 0, 0));
  ASSERT_TRUE(ok);
  img.SetPixelRGB(0, 0, 255, 0, 0);
  img.SetPixelRGB(3, 2, 0, 255, 0);
  CMemCanvas canvas(4, 3, RGB(9, 9, 9));
  ASSERT_TRUE(img.Draw(canvas.dc(), 0, 0));
  EXPECT_EQ(canvas.At(0, 2), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(3, 0), RGB(0, 255, 0));
  EXPECT_EQ(img.GetDrawnRect(), CRect(0, 0, 4, 3));
}

TEST(PictureMemory, JoinVerticalPutsTheUpperPictureOnTop) {
  bool ok = false;
  CImage upper(10, 4, ok, RGB(1, 1, 1));
  CImage lower(6, 3, ok, RGB(2, 2, 2));
  const COLORREF fill = RGB(200, 100, 50);
  CImage joined(upper, lower, 2, fill, ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(joined.GetWidth(), 10);
  ASSERT_EQ(joined.GetHeight(), 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 10; ++x) {
      COLORREF want;
      if (y < 3) want = x < 6 ? RGB(2, 2, 2) : fill;
      else if (y < 5) want = fill;
      else want = RGB(1, 1, 1);
      EXPECT_EQ(ColorAt(joined, x, y), want) << x << "," << y;
    }
}

TEST(PictureMemory, JoinHorizontalSitsOnTheBottomEdge) {
  bool ok = false;
  CImage left(4, 5, ok, RGB(1, 1, 1));
  CImage right(3, 2, ok, RGB(2, 2, 2));
  const COLORREF fill = RGB(7, 8, 9);
  CImage joined(1, fill, left, right, ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(joined.GetWidth(), 8);
  ASSERT_EQ(joined.GetHeight(), 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x) {
      COLORREF want;
      if (x < 4) want = RGB(1, 1, 1);
      else if (x == 4) want = fill;
      else want = y < 2 ? RGB(2, 2, 2) : fill;
      EXPECT_EQ(ColorAt(joined, x, y), want) << x << "," << y;
    }
}

TEST(PictureMemory, CopyAndAssignment) {
  bool ok = false;
  CImage src(5, 4, ok, 0);
  FillPattern(src);
  CImage copy(src);
  EXPECT_EQ(copy.GetType(), kImageTypeBMP);
  EXPECT_TRUE(SamePixels(copy, src));

  CImage target;
  target.SetType(kImageTypePNG);
  target.SetFileName("keep.png");
  target = src;
  EXPECT_EQ(target.GetType(), kImageTypePNG);
  EXPECT_EQ(target.GetFileName(), CString("keep.png"));
  EXPECT_TRUE(SamePixels(target, src));

  CImage& self = target;
  target = self;
  EXPECT_TRUE(SamePixels(target, src));
  target = CImage();
  EXPECT_FALSE(target.IsValid());
}

TEST(PictureMemory, SixteenBitPixelsAreFiveFiveFive) {
  CImage img;
  ASSERT_TRUE(img.Create(3, 2, 16, -1));
  ASSERT_TRUE(img.SetPixelRGB(1, 0, 255, 0, 8));
  const BYTE* p = img.GetBits() + 2;
  const WORD w = static_cast<WORD>(p[0] | (p[1] << 8));
  EXPECT_EQ(w, (31 << 10) | 1);
  BYTE r, g, b;
  ASSERT_TRUE(img.GetPixelRGB(1, 0, r, g, b));
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 8);
  // The neighbour is untouched.
  ASSERT_TRUE(img.GetPixelRGB(2, 0, r, g, b));
  EXPECT_EQ(RGB(r, g, b), 0u);
}

TEST(PictureMemory, LowDepthIndicesKeepTheirNeighbours) {
  for (int bpp : {1, 4, 8}) {
    CImage img;
    ASSERT_TRUE(img.Create(11, 2, bpp, -1));
    const int n = 1 << bpp;
    for (int x = 0; x < 11; ++x) ASSERT_TRUE(img.SetPixelIndex(x, 1, (x * 3) % n));
    for (int x = 0; x < 11; ++x) EXPECT_EQ(img.GetPixelIndex(x, 1), (x * 3) % n) << bpp;
    for (int x = 0; x < 11; ++x) EXPECT_EQ(img.GetPixelIndex(x, 0), 0) << bpp;
  }
  CImage img;
  ASSERT_TRUE(img.Create(2, 2, 24, -1));
  EXPECT_EQ(img.GetPixelIndex(0, 0), -1);
  EXPECT_FALSE(img.SetPixelIndex(0, 0, 1));
}

TEST(PictureMemory, PalettisedWritesTakeTheNearestEntry) {
  CImage img;
  ASSERT_TRUE(img.Create(2, 2, 8, -1));
  const BYTE r[3] = {0, 255, 10}, g[3] = {0, 0, 200}, b[3] = {0, 0, 20};
  ASSERT_TRUE(img.SetPaletteRGB(3, r, g, b));
  EXPECT_EQ(img.GetFlags(), kImageFlagIndexed | kImageFlagHasPalette);
  ASSERT_TRUE(img.SetPixelRGB(1, 1, 240, 20, 10));
  EXPECT_EQ(img.GetPixelIndex(1, 1), 1);
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(255, 0, 0));
  ASSERT_TRUE(img.SetPixelRGB(0, 1, 20, 190, 30));
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(10, 200, 20));
  // The table holds palette indices while in memory.
  const BYTE* table = img.GetImpl()->GetDib() + 40;
  EXPECT_EQ(table[2] | (table[3] << 8), 1);
  // Grey ramp from one array.
  const BYTE ramp[2] = {30, 60};
  ASSERT_TRUE(img.SetPaletteRGB(2, ramp));
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(60, 60, 60));
}

TEST(PictureMemory, PaletteLessLowDepthUsesTheColourTable) {
  CImage img;
  ASSERT_TRUE(img.Create(3, 1, 8, -1));
  // A new block carries the VGA colours; index 9 is red.
  ASSERT_TRUE(img.SetPixelRGB(2, 0, 250, 5, 5));
  EXPECT_EQ(img.GetPixelIndex(2, 0), 9);
  EXPECT_EQ(ColorAt(img, 2, 0), RGB(255, 0, 0));
}

TEST(PictureMemory, DrawingSizesAtAZoom) {
  bool ok = false;
  CImage img(101, 10, ok, RGB(10, 20, 30));
  CMemCanvas canvas(200, 40, 0);
  ASSERT_TRUE(img.DrawZoomedPercent(canvas.dc(), 0, 0, 50));
  EXPECT_EQ(img.GetDrawnRect(), CRect(0, 0, 50, 5));
  ASSERT_TRUE(img.DrawZoomed(canvas.dc(), 0, 0, 50.0));
  EXPECT_EQ(img.GetDrawnRect(), CRect(0, 0, 51, 5));
  ASSERT_TRUE(img.DrawZoomedPercent(canvas.dc(), 3, 4, 100));
  EXPECT_EQ(img.GetDrawnRect(), CRect(3, 4, 104, 14));
  EXPECT_EQ(canvas.At(3, 4), RGB(10, 20, 30));
  ASSERT_TRUE(img.DrawZoomed(canvas.dc(), 0, 0, 100.0));
  EXPECT_EQ(img.GetDrawnRect(), CRect(0, 0, 101, 10));
  // No device context: nothing drawn, still true.
  EXPECT_TRUE(img.Draw(nullptr, 0, 0));
}

TEST(PictureMemory, FitSizesAndFittedDrawing) {
  bool ok = false;
  CImage wide(200, 100, ok, RGB(1, 2, 3));
  EXPECT_EQ(wide.GetFitSize(CRect(0, 0, 100, 100)), CSize(100, 50));
  EXPECT_EQ(wide.GetFitSize(CRect(0, 0, 400, 100)), CSize(200, 100));
  EXPECT_EQ(wide.GetFitSize(CRect(0, 0, 0, 100)), CSize(0, 0));
  EXPECT_EQ(wide.GetFitSize(CRect(5, 5, 5, 5)), CSize(0, 0));
  CMemCanvas canvas(100, 100, RGB(255, 255, 255));
  float scale = 0;
  ASSERT_TRUE(wide.DrawFit(canvas.dc(), CRect(0, 0, 100, 100), &scale));
  EXPECT_FLOAT_EQ(scale, 0.5f);
  EXPECT_EQ(wide.GetDrawnRect(), CRect(0, 25, 100, 75));
  EXPECT_EQ(canvas.At(50, 10), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(50, 50), RGB(1, 2, 3));
}

// A drawing hook that counts.
class CCountingImage : public CImage {
 public:
  using CImage::CImage;
  void OnAfterDraw(CDC*) override { ++draws; }
  int draws = 0;
};

TEST(PictureMemory, AfterDrawHookFollowsEverySuccessfulDrawing) {
  bool ok = false;
  CCountingImage img(4, 4, ok, 0);
  CMemCanvas canvas(8, 8, 0);
  img.Draw(canvas.dc(), 0, 0);
  img.StretchDraw(canvas.dc(), 0, 0, 8, 8);
  img.DrawFit(canvas.dc(), CRect(0, 0, 8, 8));
  EXPECT_EQ(img.draws, 3);
  CCountingImage empty;
  empty.Draw(canvas.dc(), 0, 0);
  EXPECT_EQ(empty.draws, 0);
}

TEST(PictureMemory, TransparentIndexKeepsTheBackground) {
  CImage img;
  ASSERT_TRUE(img.Create(2, 1, 8, -1));
  BYTE r[256], g[256], b[256];
  for (int i = 0; i < 256; ++i) r[i] = g[i] = b[i] = 255;
  r[0] = g[0] = b[0] = 0;   // transparent entry, black
  r[1] = 0; g[1] = 0; b[1] = 200;
  ASSERT_TRUE(img.SetPaletteRGB(256, r, g, b));
  img.GetImpl()->SetTransparentIndex(0);
  img.SetPixelIndex(0, 0, 0);
  img.SetPixelIndex(1, 0, 1);
  CMemCanvas canvas(2, 1, RGB(0, 120, 0));
  ASSERT_TRUE(img.StretchDraw(canvas.dc(), 0, 0, 2, 1));
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 120, 0));
  EXPECT_EQ(canvas.At(1, 0), RGB(0, 0, 200));
  // The indices are as before.
  EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
}

TEST(PictureMemory, BitmapRoundTrip) {
  bool ok = false;
  CImage img(7, 5, ok, 0);
  FillPattern(img);
  std::unique_ptr<CSafeBitmap> bitmap = img.ToBitmap();
  ASSERT_TRUE(bitmap);
  CImage back(*bitmap);
  ASSERT_TRUE(back.IsValid());
  EXPECT_EQ(back.GetType(), kImageTypeBMP);
  EXPECT_TRUE(SamePixels(back, img));
}

TEST(PictureMemory, EdgeFilterSelectors) {
  bool ok = false;
  CImage img(8, 8, ok, 0);
  FillPattern(img);
  CImage before(img);
  EXPECT_FALSE(img.ApplyEdgeFilter(0));
  EXPECT_FALSE(img.ApplyEdgeFilter(3));
  EXPECT_TRUE(SamePixels(img, before));
  EXPECT_TRUE(img.ApplyEdgeFilter(1));
  EXPECT_FALSE(SamePixels(img, before));
  CImage empty;
  EXPECT_FALSE(empty.AdjustLight(10, 10));
}

TEST(PictureMemory, LightChangesThePixels) {
  bool ok = false;
  CImage img(4, 4, ok, RGB(100, 100, 100));
  ASSERT_TRUE(img.AdjustLight(50, 0));
  EXPECT_GT(img.GetRed(0, 0), 100);
}
