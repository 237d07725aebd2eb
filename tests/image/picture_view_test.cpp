// The picture view, scaling, resizing, crops and page tiles.
#include <gtest/gtest.h>

#include <climits>

#include "image/ImageView.h"
#include "picture_helpers.h"
#include "platform/wnd.h"

using namespace picturetest;

namespace {

// A grey picture of one row with the given values.
CImage GreyRow(const std::vector<int>& values) {
  bool ok = false;
  CImage img(static_cast<int>(values.size()), 1, ok, 0);
  for (size_t i = 0; i < values.size(); ++i) {
    const BYTE v = static_cast<BYTE>(values[i]);
    img.SetPixelRGB(static_cast<int>(i), 0, v, v, v);
  }
  return img;
}

std::unique_ptr<CImage> Scaled(const CImage& img, int w, int h) {
  std::unique_ptr<CSafeBitmap> bitmap = img.ToBitmap();
  if (!bitmap) return nullptr;
  HBITMAP scaled = ScaleBitmap(static_cast<HBITMAP>(bitmap->GetSafeHandle()), w, h);
  if (!scaled) return nullptr;
  auto out = std::make_unique<CImage>(scaled);
  DeleteObject(scaled);
  return out;
}

// A device bitmap of a blank picture; the holder deletes it.
std::unique_ptr<CSafeBitmap> BlankBitmap(int w, int h, COLORREF fill) {
  bool ok = false;
  return CImage(w, h, ok, fill).ToBitmap();
}

HBITMAP H(const std::unique_ptr<CSafeBitmap>& b) { return static_cast<HBITMAP>(b->GetSafeHandle()); }

class CFakeOwner : public IImageViewOwner {
 public:
  CFakeOwner(int w, int h) : canvas(w, h, RGB(255, 255, 255)), client(0, 0, w, h) {}
  CRect GetOwnerClientRect() override { return client; }
  CPoint GetOwnerScrollPosition() override { return scroll; }
  void SetOwnerScrollSizes(int mode, SIZE total) override {
    lastMode = mode;
    lastTotal = total;
  }
  CDC* GetOwnerDC() override {
    ++dcs;
    return canvas.dc();
  }
  void ReleaseOwnerDC(CDC*) override { ++releases; }
  void InvalidateOwner(bool erase) override {
    ++invalidates;
    lastErase = erase;
  }

  CMemCanvas canvas;
  CRect client;
  CPoint scroll;
  int lastMode = 0;
  CSize lastTotal{-1, -1};
  int dcs = 0, releases = 0, invalidates = 0;
  bool lastErase = false;
};

}  // namespace

// ---- ScaleBitmap --------------------------------------------------------------------------

TEST(PictureScale, AreaAveraging) {
  std::unique_ptr<CImage> a = Scaled(GreyRow({0, 100, 200, 60}), 2, 1);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->GetRed(0, 0), 50);
  EXPECT_EQ(a->GetRed(1, 0), 130);
  std::unique_ptr<CImage> b = Scaled(GreyRow({0, 90, 180}), 2, 1);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->GetRed(0, 0), 30);
  EXPECT_EQ(b->GetRed(1, 0), 150);
  // Two dimensions: a 3 x 3 block of 9s with one 90 averages to 18.
  bool ok = false;
  CImage sq(3, 3, ok, RGB(9, 9, 9));
  sq.SetPixelRGB(1, 1, 90, 90, 90);
  std::unique_ptr<CImage> one = Scaled(sq, 1, 1);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->GetRed(0, 0), 18);
}

TEST(PictureScale, NoSixteenBitLimitAndReductionOnly) {
  std::vector<int> values(70000);
  for (size_t i = 0; i < values.size(); ++i) values[i] = i % 2 ? 200 : 100;
  std::unique_ptr<CImage> half = Scaled(GreyRow(values), 35000, 1);
  ASSERT_TRUE(half);
  EXPECT_EQ(half->GetWidth(), 35000);
  EXPECT_EQ(half->GetRed(34999, 0), 150);
  bool ok = false;
  CImage small(4, 4, ok, 0);
  EXPECT_FALSE(Scaled(small, 5, 4));
  EXPECT_FALSE(Scaled(small, 0, 4));
  EXPECT_EQ(ScaleBitmap(nullptr, 2, 2), nullptr);
}

// ---- Resizing, crops, units ---------------------------------------------------------------

TEST(PictureScale, CreateResized) {
  bool ok = false;
  CImage img(10, 10, ok, RGB(40, 80, 120));
  std::unique_ptr<CImage> r = img.CreateResized(CSize(25, 15));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetWidth(), 25);
  EXPECT_EQ(r->GetHeight(), 15);
  EXPECT_EQ(r->GetType(), kImageTypeBMP);
  EXPECT_EQ(ColorAt(*r, 24, 14), RGB(40, 80, 120));
  std::unique_ptr<CImage> s = img.CreateResized(CSize(7, 7));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->GetWidth(), 7);
  // Left half black, right half white: an enlargement keeps the edge sharp
  // where it falls on whole target pixels.
  CImage halves(2, 1, ok, 0);
  halves.SetPixelRGB(1, 0, 255, 255, 255);
  std::unique_ptr<CImage> wide = halves.CreateResized(CSize(4, 1));
  ASSERT_TRUE(wide);
  EXPECT_EQ(ColorAt(*wide, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(ColorAt(*wide, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(ColorAt(*wide, 2, 0), RGB(255, 255, 255));

  CImage dot(1, 1, ok, 0);
  EXPECT_TRUE(dot.CreateResized(CSize(799, 1)));
  EXPECT_FALSE(dot.CreateResized(CSize(800, 1)));
  EXPECT_FALSE(dot.CreateResized(CSize(0, 1)));
  EXPECT_FALSE(CImage().CreateResized(CSize(5, 5)));
}

TEST(PictureScale, CropKeepsTheLastColumnAndRow) {
  bool ok = false;
  CImage img(10, 8, ok, 0);
  FillPattern(img);
  std::unique_ptr<CImage> whole = img.CropByFractions(CFractionRect(0, 1, 0, 1));
  ASSERT_TRUE(whole);
  EXPECT_TRUE(SamePixels(*whole, img));

  // Columns 2..4, top-down rows 1..3 (DIB rows 6..4).
  std::unique_ptr<CImage> part = img.Crop(CRect(2, 1, 5, 4));
  ASSERT_TRUE(part);
  ASSERT_EQ(part->GetWidth(), 3);
  ASSERT_EQ(part->GetHeight(), 3);
  for (int t = 0; t < 3; ++t)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(ColorAt(*part, x, 2 - t), PatternColor(x + 2, 8 - (t + 1) - 1));

  std::unique_ptr<CImage> clamped = img.Crop(CRect(-3, -2, 4, 3));
  ASSERT_TRUE(clamped);
  EXPECT_EQ(clamped->GetWidth(), 4);
  EXPECT_EQ(clamped->GetHeight(), 3);
  EXPECT_EQ(ColorAt(*clamped, 0, 2), PatternColor(0, 7));

  EXPECT_FALSE(img.Crop(CRect(0, 0, 0, 0)));
  EXPECT_FALSE(img.Crop(CRect(5, 5, 5, 9)));
  EXPECT_FALSE(img.Crop(CRect(12, 0, 20, 8)));
  EXPECT_FALSE(img.Crop(CRect(5, 5, INT_MIN, INT_MIN)));  // edges far below zero
}

// Crops and the codec's copy read whole rows where they can (24 and 32
// bits); every depth gives the pixels GetPixelRGB gives.
TEST(PictureScale, CropsAndCodecCopiesOfEveryDepthKeepThePixels) {
  for (int bits : {24, 32, 8}) {
    CImage img;
    ASSERT_TRUE(img.Create(13, 7, bits, -1)) << bits;
    if (bits == 8) {
      BYTE red[256], green[256], blue[256];
      for (int i = 0; i < 256; ++i) red[i] = BYTE(i), green[i] = BYTE(255 - i), blue[i] = BYTE(i * 7);
      ASSERT_TRUE(img.SetPaletteRGB(256, red, green, blue));
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_TRUE(img.SetPixelIndex(x, y, (x * 19 + y * 5) % 256));
    } else {
      FillPattern(img);
    }
    std::unique_ptr<CImage> part = img.Crop(CRect(3, 2, 12, 6));
    ASSERT_TRUE(part) << bits;
    ASSERT_EQ(part->GetWidth(), 9);
    ASSERT_EQ(part->GetHeight(), 4);
    // Top-down rows 2..5 are DIB rows 4..1.
    for (int t = 0; t < 4; ++t)
      for (int x = 0; x < 9; ++x) EXPECT_EQ(ColorAt(*part, x, 3 - t), ColorAt(img, x + 3, 7 - (t + 2) - 1)) << bits;
    CBaseImage* codec = nullptr;
    ASSERT_TRUE(img.ToCodecImage(&codec)) << bits;
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) {
        const RGBQUAD q = codec->GetPixelColor(x, y, false);
        EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), ColorAt(img, x, y)) << bits << " " << x << "," << y;
      }
    delete codec;
  }
}

TEST(PictureScale, PageTilesOfATenByFiveInchPicture) {
  // 1000 x 500 pixels at 100 pixels an inch, on pages of 8 x 10 inches
  // (in points).
  bool ok = false;
  CImage img(1000, 500, ok, 0);
  for (int y = 0; y < 500; ++y) img.SetPixelRGB(999, y, 255, 0, 0);
  CTileGrid grid(10 * 72.0, 5 * 72.0, 8 * 72.0, 10 * 72.0);
  ASSERT_EQ(grid.GetTilesAcross(), 2);
  ASSERT_EQ(grid.GetTilesDown(), 1);
  int total = 0;
  for (int c = 0; c < 2; ++c) {
    CFractionRect f;
    ASSERT_TRUE(grid.GetTileRect(c, 0, f));
    EXPECT_DOUBLE_EQ(f.top, 0);
    EXPECT_DOUBLE_EQ(f.height, 1);
    std::unique_ptr<CImage> tile = img.CropByFractions(f);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->GetHeight(), 500);
    total += tile->GetWidth();
    if (c == 1) {
      EXPECT_EQ(tile->GetWidth(), 200);
      EXPECT_EQ(ColorAt(*tile, 199, 0), RGB(255, 0, 0));  // the edge line is there
    }
  }
  EXPECT_EQ(total, 1000);
  CFractionRect f;
  EXPECT_FALSE(grid.GetTileRect(2, 0, f));
  EXPECT_FALSE(grid.GetTileRect(0, 1, f));
  EXPECT_FALSE(grid.GetTileRect(-1, 0, f));
}

TEST(PictureScale, TileGridCounts) {
  CTileGrid grid(100, 50, 40, 40);
  EXPECT_EQ(grid.GetTilesAcross(), 3);
  EXPECT_EQ(grid.GetTilesDown(), 2);
  CFractionRect f;
  ASSERT_TRUE(grid.GetTileRect(2, 0, f));
  EXPECT_NEAR(f.left, 0.8, 1e-12);
  EXPECT_NEAR(f.width, 0.2, 1e-12);
  ASSERT_TRUE(grid.GetTileRect(0, 1, f));
  EXPECT_NEAR(f.top, 0.8, 1e-12);
  EXPECT_NEAR(f.height, 0.2, 1e-12);
  EXPECT_FALSE(grid.GetTileRect(3, 0, f));
  EXPECT_EQ(CTileGrid(80, 40, 40, 40).GetTilesAcross(), 2);
  EXPECT_EQ(CTileGrid(80, 40, 0, 40).GetTilesAcross(), 0);
}

TEST(PictureScale, UnitsAndColourContainer) {
  bool ok = false;
  CImage img(300, 200, ok, 0);
  EXPECT_EQ(img.GetSizeInUnits(10, 10), CSize(30, 20));
  EXPECT_EQ(img.GetSizeInUnits(7, 3), CSize(43, 67));
  EXPECT_EQ(img.GetSizeInUnits(0, 3), CSize(0, 67));

  CImage small(4, 3, ok, 0);
  FillPattern(small);
  CImageRGBContainer box(small);
  BYTE r, g, b;
  ASSERT_TRUE(box.GetPixel(-5, 1000, r, g, b));
  EXPECT_EQ(RGB(r, g, b), PatternColor(0, 2));
  ASSERT_TRUE(box.GetPixel(2, 1, r, g, b));
  EXPECT_EQ(RGB(r, g, b), PatternColor(2, 1));
  CImageRGBContainer none(TempPath("no-such-file.png").c_str());
  EXPECT_EQ(none.GetWidth(), 0);
  EXPECT_FALSE(none.GetPixel(0, 0, r, g, b));
}

// ---- The picture view -------------------------------------------------------------------

TEST(PictureView, ZoomFromTheWindowAndFromTheDrawnWidth) {
  CFakeOwner owner(200, 200);
  auto bitmap = BlankBitmap(400, 200, 0);
  CImageView view(&owner, H(bitmap), false);
  EXPECT_EQ(view.GetZoom(), 100);
  view.SetZoom(0, true, true);
  EXPECT_EQ(owner.invalidates, 1);
  EXPECT_TRUE(owner.lastErase);
  EXPECT_EQ(view.GetZoom(), 50);

  auto wideBitmap = BlankBitmap(600, 10, 0);
  CImageView wide(&owner, H(wideBitmap), false);
  wide.SetDrawnRect(CRect(0, 0, 300, 5));
  wide.SetFitToWindow(true, false);
  EXPECT_TRUE(wide.IsFitToWindow());
  EXPECT_EQ(wide.GetZoom(), 50);
  EXPECT_EQ(owner.lastTotal, CSize(0, 0));
  wide.SetFitToWindow(false, true);
  EXPECT_EQ(wide.GetZoom(), 100);

  CImageView empty(&owner);
  empty.SetFitToWindow(true, false);
  EXPECT_EQ(empty.GetZoom(), 100);
  EXPECT_FALSE(empty.Paint(nullptr, true, nullptr));
}

TEST(PictureView, PaintsDirectlyAtFullSizeOrMore) {
  CFakeOwner owner(300, 300);
  auto bitmap = BlankBitmap(100, 100, RGB(10, 200, 30));
  CImageView view(&owner, H(bitmap), false);
  ASSERT_TRUE(view.Paint(nullptr, true, nullptr));
  EXPECT_EQ(view.GetCachedBitmap(), nullptr);
  EXPECT_EQ(view.GetOrigin(), CPoint(100, 100));
  EXPECT_EQ(owner.lastTotal, CSize(100, 100));
  EXPECT_EQ(owner.canvas.At(100, 100), RGB(10, 200, 30));
  EXPECT_EQ(owner.canvas.At(99, 99), RGB(255, 255, 255));
  EXPECT_EQ(owner.releases, 1);

  view.SetZoom(200, false, false);
  CDC* dc = nullptr;
  ASSERT_TRUE(view.Paint(nullptr, false, &dc));
  EXPECT_EQ(dc, owner.canvas.dc());
  EXPECT_EQ(owner.releases, 1);
  view.ReleaseOwnerDC(dc);
  EXPECT_EQ(owner.releases, 2);
  EXPECT_EQ(view.GetCachedBitmap(), nullptr);
  EXPECT_EQ(owner.lastTotal, CSize(200, 200));
  // Scrolled: the picture is wider than the window.
  EXPECT_EQ(view.GetOrigin(), CPoint(50, 50));
  view.SetZoom(400, false, false);
  owner.scroll = CPoint(30, 40);
  ASSERT_TRUE(view.Paint(nullptr, true, nullptr));
  EXPECT_EQ(view.GetOrigin(), CPoint(-30, -40));
}

TEST(PictureView, ReducedPaintsUseTheCache) {
  CFakeOwner owner(300, 300);
  auto bitmap = BlankBitmap(200, 100, RGB(60, 60, 60));
  CImageView view(&owner, H(bitmap), false);
  view.SetZoom(50, false, false);
  ASSERT_TRUE(view.Paint(nullptr, true, nullptr));
  const HBITMAP first = view.GetCachedBitmap();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(view.GetCachedSize(), CSize(100, 50));
  EXPECT_EQ(view.GetOrigin(), CPoint(100, 125));
  EXPECT_EQ(view.GetDrawnRect(), CRect(100, 125, 200, 175));
  EXPECT_EQ(owner.canvas.At(150, 150), RGB(60, 60, 60));
  ASSERT_TRUE(view.Paint(nullptr, true, nullptr));
  EXPECT_EQ(view.GetCachedBitmap(), first);

  // Fitted: a window change of one pixel reuses the cache, of two rebuilds it.
  CImageView fit(&owner, H(bitmap), true);
  owner.client = CRect(0, 0, 100, 100);
  ASSERT_TRUE(fit.Paint(nullptr, true, nullptr));
  const HBITMAP cached = fit.GetCachedBitmap();
  ASSERT_NE(cached, nullptr);
  EXPECT_EQ(fit.GetCachedSize(), CSize(100, 50));
  EXPECT_EQ(fit.GetZoom(), 50);
  owner.client = CRect(0, 0, 99, 100);
  ASSERT_TRUE(fit.Paint(nullptr, true, nullptr));
  EXPECT_EQ(fit.GetCachedBitmap(), cached);
  owner.client = CRect(0, 0, 98, 100);
  ASSERT_TRUE(fit.Paint(nullptr, true, nullptr));
  EXPECT_EQ(fit.GetCachedSize(), CSize(98, 49));
  // A window of no size paints nothing and divides by nothing.
  owner.client = CRect(0, 0, 0, 0);
  EXPECT_FALSE(fit.Paint(nullptr, true, nullptr));
  EXPECT_EQ(fit.GetPaintTarget(owner.client), CSize(0, 0));
}

TEST(PictureView, FittedPaintIntoALargerWindowIsDirect) {
  CFakeOwner owner(400, 400);
  auto bitmap = BlankBitmap(100, 50, RGB(1, 2, 3));
  CImageView view(&owner, H(bitmap), true);
  ASSERT_TRUE(view.Paint(nullptr, true, nullptr));
  EXPECT_EQ(view.GetCachedBitmap(), nullptr);
  EXPECT_EQ(view.GetZoom(), 400);
  EXPECT_EQ(view.GetDrawnRect(), CRect(0, 100, 400, 300));
  EXPECT_EQ(owner.canvas.At(200, 200), RGB(1, 2, 3));
}

// ---- Bound to a scrolling view of the window layer ---------------------------------------

namespace {

class CPictureHostView : public CScrollView {
 public:
  void OnDraw(CDC*) override {}
};

}  // namespace

TEST(PictureView, BoundToAScrollView) {
  CWnd top;
  ASSERT_TRUE(top.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), "host",
                           WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr));
  auto* view = new CPictureHostView;  // a view deletes itself when destroyed
  ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &top, 1));
  auto bitmap = BlankBitmap(400, 100, RGB(5, 6, 7));
  {
    CImageView img(view, H(bitmap), false);
    EXPECT_EQ(img.GetScrollView(), view);
    img.SetZoom(0, true, false);
    EXPECT_EQ(img.GetZoom(), 50);
    ASSERT_TRUE(img.Paint(nullptr, true, nullptr));
    EXPECT_EQ(img.GetCachedSize(), CSize(200, 50));
    EXPECT_EQ(view->GetTotalSize(), CSize(200, 50));
    EXPECT_EQ(img.GetDrawnRect(), CRect(0, 25, 200, 75));
    img.SetZoom(100, false, false);
    ASSERT_TRUE(img.Paint(nullptr, true, nullptr));
    EXPECT_EQ(view->GetTotalSize(), CSize(400, 100));
    img.SetFitToWindow(true, true);
    EXPECT_TRUE(img.IsFitToWindow());
  }
  top.DestroyWindow();
}
