// Design rendering: the colour cache paints the same pixels as painting
// every bead alone; renders to a size, thumbnails, grid lines; the reduced
// copy of the picture view follows edits in place.
#include <gtest/gtest.h>

#include <cstring>

#include "settings/GridSettings.h"
#include "tests/view/view_test_util.h"
#include "view/BeadPainters.h"
#include "view/PatternRender.h"

using namespace viewtest;

namespace {
// Colours by (column + row) % 3, some beads absent and some selected.
void Decorate(CPattern& design) {
  const int n = design.GetBeadCount();
  const int columns = static_cast<int>(design.GetColumnCount());
  for (int i = 0; i < n; ++i) {
    CBead& bead = design.m_beads[size_t(i)];
    bead.SetColorIndex((i % columns + i / columns) % 3);
    if (i % 7 == 3) bead.m_present = 0;
    if (i % 11 == 5) bead.SetSelected(true);
  }
}

std::vector<uint32_t> Render(CPattern& design, const CColorSet& palette, bool perBead, long long budget, int& w,
                             int& h) {
  CRenderUnder under;
  under.perBead = perBead;
  under.background = RGB(9, 9, 9);
  under.budget = budget;
  HBITMAP bitmap = nullptr;
  EXPECT_TRUE(RenderPatternBitmap(nullptr, &bitmap, design, palette, false, IsBrickFormat(design), &under));
  if (!bitmap) return {};
  auto px = PixelsOf(bitmap, w, h);
  DeleteObject(bitmap);
  return px;
}
}  // namespace

TEST(Render, CacheEqualsPaintingEveryBeadAlone) {
  const CColorSet palette = MakePalette({RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200)});
  struct Case {
    int format;
    int effect;
    float spacer;
  };
  const Case cases[] = {{kFormatHerringbone, kBeadEffectRound, 0.0f}, {kFormatHerringbone, kBeadEffectCircle, 0.0f},
                        {kFormatBrick, kBeadEffectCylinder, 0.0f},    {kFormatLoom, kBeadEffectRound, 0.25f},
                        {kFormatPeyote, kBeadEffectRoundRect, 0.0f},  {kFormatSacredBrick, kBeadEffectCylinder, 0.0f}};
  for (const Case& c : cases) {
    CPattern design = MakeDesign(9, 7, c.format, 0, c.spacer);
    design.m_beadEffect = static_cast<DWORD>(c.effect);
    Decorate(design);
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    const auto cached = Render(design, palette, false, 90000, w1, h1);
    const auto alone = Render(design, palette, true, 90000, w2, h2);
    ASSERT_EQ(w1, w2);
    ASSERT_EQ(h1, h2);
    ASSERT_GT(w1, 50);
    EXPECT_TRUE(cached == alone) << "format " << c.format << " effect " << c.effect;
    // The design's view rectangle is the fitted picture.
    EXPECT_EQ(design.GetViewRect().left, 0);
    EXPECT_LE(design.GetViewRect().right, w1);
  }
}

TEST(Render, SizesFromTheBudget) {
  const CColorSet palette = MakePalette({RGB(10, 20, 30)});
  // Square beads: the largest whole multiple of the raster (10 x 10 loom).
  CPattern square = MakeDesign(10, 10);
  int w = 0, h = 0;
  Render(square, palette, false, 10000, w, h);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 100);
  Render(square, palette, false, 9999, w, h);
  EXPECT_EQ(w, 90);
  // Beads that are not square: by the square root of the budget.
  CPattern tall = MakeDesign(4, 4);
  tall.m_beadHeight = 2.0;
  tall.m_actualHeight = 8.0;
  for (size_t i = 0; i < tall.m_beads.size(); ++i) tall.m_beads[i].m_y = (double(i / 4) * 2 + 1) / 8.0;
  Render(tall, palette, false, 20000, w, h);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 200);
}

TEST(Render, ToSizeBackgroundAndGrid) {
  const CColorSet palette = MakePalette({RGB(200, 200, 200)});
  CPattern design = MakeDesign(4, 2);
  design.m_beadEffect = kBeadEffectRoundRect;
  CGridSettings grid;
  grid.m_step = 2;
  grid.m_pdfWidth = 1;
  grid.m_color = RGB(255, 0, 0);
  HBITMAP bitmap = nullptr;
  ASSERT_TRUE(RenderPatternToSize(nullptr, &bitmap, design, palette, SIZE{80, 60}, RGB(0, 0, 255), &grid));
  int w = 0, h = 0;
  const auto px = PixelsOf(bitmap, w, h);
  DeleteObject(bitmap);
  ASSERT_EQ(w, 80);
  // Fitted 80 x 40 in the middle; blue above and below.
  EXPECT_EQ(Ref(px[size_t(5) * w + 5]), RGB(0, 0, 255));
  EXPECT_EQ(Ref(px[size_t(20) * w + 5]), RGB(200, 200, 200));
  // The vertical grid line at column 2 (x = 40), no line at column 1.
  EXPECT_EQ(Ref(px[size_t(20) * w + 40]), RGB(255, 0, 0));
  EXPECT_EQ(Ref(px[size_t(20) * w + 25]), RGB(200, 200, 200));
  // Without a grid the same place is the bead.
  ASSERT_TRUE(RenderPatternToSize(nullptr, &bitmap, design, palette, SIZE{80, 60}, RGB(0, 0, 255), nullptr));
  const auto plain = PixelsOf(bitmap, w, h);
  DeleteObject(bitmap);
  EXPECT_EQ(Ref(plain[size_t(20) * w + 40]), RGB(255, 255, 255));  // the ring of the next bead
  CPattern empty;
  EXPECT_FALSE(RenderPatternToSize(nullptr, &bitmap, empty, palette, SIZE{80, 60}, 0, nullptr));
}

TEST(Render, ThumbnailFactor) {
  EXPECT_EQ(ThumbnailFactor(SIZE{300, 200}, 10), 6);
  EXPECT_EQ(ThumbnailFactor(SIZE{3000, 20}, 10), 1);
  const CColorSet palette = MakePalette({RGB(200, 100, 50)});
  CPattern design = MakeDesign(30, 20);
  CBitmap out;
  int used = 0;
  ASSERT_TRUE(RenderPatternThumbnail(nullptr, design, palette, SIZE{300, 200}, 10, &out, RGB(0, 0, 0), nullptr, &used));
  EXPECT_EQ(used, 6);
  int w = 0, h = 0;
  const auto thumbnail = PixelsOf(static_cast<HBITMAP>(out.GetSafeHandle()), w, h);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 200);
  // The shrunk render at the factor used is the thumbnail; factors below 1
  // and sizes without area give nothing and leave the bitmap alone.
  CBitmap shrunk;
  ASSERT_TRUE(RenderPatternShrunk(nullptr, design, palette, SIZE{300, 200}, 6, &shrunk, RGB(0, 0, 0), nullptr));
  EXPECT_TRUE(PixelsOf(static_cast<HBITMAP>(shrunk.GetSafeHandle()), w, h) == thumbnail);
  const HGDIOBJ kept = shrunk.GetSafeHandle();
  EXPECT_FALSE(RenderPatternShrunk(nullptr, design, palette, SIZE{300, 200}, 0, &shrunk, RGB(0, 0, 0), nullptr));
  EXPECT_FALSE(RenderPatternShrunk(nullptr, design, palette, SIZE{0, 200}, 2, &shrunk, RGB(0, 0, 0), nullptr));
  EXPECT_EQ(shrunk.GetSafeHandle(), kept);
}

// The picture of a thumbnail, made straight from the pixels at factor 1 and
// through a bitmap above it, is the one a bitmap of the same render gives:
// same depth, header, flags and bytes.
TEST(Render, ThumbnailImageIsTheBitmapsPicture) {
  const CColorSet palette = MakePalette({RGB(200, 100, 50), RGB(10, 220, 30), RGB(90, 90, 250)});
  CPattern design = MakeDesign(30, 20);
  Decorate(design);
  design.m_beadEffect = kBeadEffectRoundRect;
  CGridSettings grid;
  grid.m_step = 5;
  grid.m_pdfWidth = 2;
  grid.m_color = RGB(255, 0, 0);
  struct Case {
    SIZE size;
    int factor;
    COLORREF background;
    const CGridSettings* grid;
  };
  const Case cases[] = {
      {SIZE{3000, 20}, 10, RGB(0, 0, 255), nullptr},                 // no factor above 1 fits
      {SIZE{301, 199}, 1, static_cast<COLORREF>(-1), &grid},         // odd size, view background, grid
      {SIZE{97, 250}, 1, RGB(255, 255, 255), &grid},                 // taller than the design
      {SIZE{300, 200}, 10, RGB(0, 0, 0), &grid},                     // shrunk from factor 6
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size.cx << " x " << c.size.cy << " factor " << c.factor);
    CBitmap bitmap;
    ASSERT_TRUE(RenderPatternThumbnail(nullptr, design, palette, c.size, c.factor, &bitmap, c.background, c.grid));
    const CImage expected(bitmap);
    const auto image = RenderPatternThumbnailImage(nullptr, design, palette, c.size, c.factor, c.background, c.grid);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->GetWidth(), expected.GetWidth());
    ASSERT_EQ(image->GetHeight(), expected.GetHeight());
    ASSERT_EQ(image->GetBitsPerPixel(), expected.GetBitsPerPixel());
    ASSERT_EQ(image->GetRowStride(), expected.GetRowStride());
    EXPECT_EQ(image->GetType(), expected.GetType());
    EXPECT_EQ(image->GetFlags(), expected.GetFlags());
    const size_t bytes = size_t(expected.GetRowStride()) * size_t(expected.GetHeight());
    EXPECT_EQ(std::memcmp(image->GetBits(), expected.GetBits(), bytes), 0);
    // The header before the rows too.
    const BITMAPINFOHEADER* a = reinterpret_cast<const BITMAPINFOHEADER*>(image->GetBits()) - 1;
    const BITMAPINFOHEADER* b = reinterpret_cast<const BITMAPINFOHEADER*>(expected.GetBits()) - 1;
    EXPECT_EQ(std::memcmp(a, b, sizeof *a), 0);
  }
  CPattern empty;
  EXPECT_FALSE(RenderPatternThumbnailImage(nullptr, empty, palette, SIZE{80, 60}, 1, RGB(0, 0, 0), nullptr));
  EXPECT_FALSE(RenderPatternThumbnailImage(nullptr, design, palette, SIZE{0, 60}, 1, RGB(0, 0, 0), nullptr));
}

TEST(Render, AreaAveragePartsEqualTheWhole) {
  const int sw = 37, sh = 23, tw = 15, th = 9;
  std::vector<uint32_t> source(size_t(sw) * sh);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint32_t>((i * 2654435761u) & 0xFFFFFF);
  std::vector<uint32_t> whole(size_t(tw) * th), parts(size_t(tw) * th, 0);
  AreaAverage(source.data(), sw, sh, whole.data(), tw, th, 0, 0, tw, th);
  AreaAverage(source.data(), sw, sh, parts.data(), tw, th, 0, 0, 7, th);
  AreaAverage(source.data(), sw, sh, parts.data(), tw, th, 7, 0, tw, 4);
  AreaAverage(source.data(), sw, sh, parts.data(), tw, th, 7, 4, tw, th);
  EXPECT_EQ(whole, parts);
  // A uniform picture stays uniform.
  std::vector<uint32_t> grey(size_t(sw) * sh, 0x404040), out(size_t(tw) * th);
  AreaAverage(grey.data(), sw, sh, out.data(), tw, th, 0, 0, tw, th);
  for (uint32_t p : out) EXPECT_EQ(p, 0x404040u);
}
