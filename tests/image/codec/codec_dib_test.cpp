// Global-memory DIBs (the clipboard's CF_DIB data), transforms and filters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "codec_helpers.h"

using namespace codectest;

namespace {

HGLOBAL BlockOf(const Bytes& data) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, data.size());
  std::memcpy(GlobalLock(h), data.data(), data.size());
  GlobalUnlock(h);
  return h;
}

bool FromBlock(CBaseImage& img, const Bytes& data) {
  HGLOBAL h = BlockOf(data);
  const bool ok = img.CreateFromHANDLE(h);
  GlobalFree(h);
  return ok;
}

}  // namespace

TEST(CodecDib, ThirtyTwoBitsWithAndWithoutMasks) {
  const Bytes pixels = {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3, 0};
  Bytes plain = InfoHeader(2, 2, 32, BI_RGB, 0, 40, 0, 3780);
  Append(plain, pixels);
  Bytes masked = InfoHeader(2, 2, 32, BI_BITFIELDS, 0, 40, 0, 3780);
  Put32(masked, 0xFF0000);
  Put32(masked, 0xFF00);
  Put32(masked, 0xFF);
  Append(masked, pixels);
  CBaseImage a, b;
  ASSERT_TRUE(FromBlock(a, plain)) << a.GetLastError();
  ASSERT_TRUE(FromBlock(b, masked)) << b.GetLastError();
  EXPECT_TRUE(SameColors(a, b));
  EXPECT_EQ(ColorAt(a, 1, 0), RGB(60, 50, 40));
  EXPECT_EQ(ColorAt(b, 1, 1), RGB(3, 2, 1));
  EXPECT_EQ(a.GetXDPI(), 96);
}

TEST(CodecDib, SixteenBitsWithoutMasksAre555) {
  Bytes dib = InfoHeader(1, 1, 16);
  Put16(dib, (1u << 10) | (31u << 5) | 4u);
  Put16(dib, 0);
  CBaseImage img;
  ASSERT_TRUE(FromBlock(img, dib));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(8, 255, 33));
}

TEST(CodecDib, CoreHeaderShortPaletteAndTopDown) {
  // A 12-byte core header with 3-byte palette entries.
  Bytes core = CoreHeader(3, 1, 1);
  Append(core, {0, 0, 0, 10, 20, 30});
  Append(core, {0xA0, 0, 0, 0});
  CBaseImage img;
  ASSERT_TRUE(FromBlock(img, core)) << img.GetLastError();
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(30, 20, 10));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(0, 0, 0));
  // An 8-bit DIB with 2 colours used and rows top-down.
  Bytes top = InfoHeader(1, -2, 8, BI_RGB, 2);
  Append(top, {0, 0, 255, 0, 255, 0, 0, 0});
  Append(top, {1, 0, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(FromBlock(img, top)) << img.GetLastError();
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(0, 0, 255));  // the first row is the top one
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 0, 0));
}

TEST(CodecDib, RunLengthInAHandle) {
  Bytes dib = InfoHeader(3, 2, 8, BI_RLE8, 4);
  Append(dib, Bytes(16, 0));
  Append(dib, {3, 2, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1});
  CBaseImage img;
  ASSERT_TRUE(FromBlock(img, dib));
  EXPECT_EQ(img.GetPixelIndex(2, 0), 2);
  EXPECT_EQ(img.GetPixelIndex(2, 1), 3);
}

TEST(CodecDib, BlocksShorterThanTheirHeaderNeedsFail) {
  struct Case {
    Bytes data;
    const char* error;
  } cases[] = {
      {Bytes{1, 2, 3}, "DIB block too small"},
      {InfoHeader(4, 4, 24), "DIB block too small"},
      {InfoHeader(2, 2, 8), "DIB block too small"},
      {InfoHeader(2, 2, 32, BI_BITFIELDS), "DIB block too small"},
      {InfoHeader(2, 2, 24, BI_RLE8), "unknown compression"},
      {InfoHeader(2, 2, 8, BI_JPEG), "compression type not supported"},
      {InfoHeader(2, 2, 3), "invalid DIB header"},
      {InfoHeader(-2, 2, 24), "invalid DIB header"},
  };
  for (const Case& c : cases) {
    CBaseImage img;
    EXPECT_FALSE(FromBlock(img, c.data)) << c.error;
    EXPECT_STREQ(img.GetLastError(), c.error);
    EXPECT_FALSE(img.IsValid());
  }
  Bytes huge = InfoHeader(2, 2, 24);
  huge[0] = 0xFF;  // header size beyond the block
  CBaseImage img;
  EXPECT_FALSE(FromBlock(img, huge));
  EXPECT_FALSE(img.CreateFromHANDLE(nullptr));
}

TEST(CodecDib, CopyToHandleRoundTrips) {
  for (DWORD bpp : {1u, 4u, 8u, 24u}) {
    CBaseImage img(7, 3, bpp, 0);
    if (bpp == 24) {
      MakePattern(img, 7, 3);
    } else {
      img.SetGrayPalette();
      for (long x = 0; x < 7; ++x) img.SetPixelIndex(x, 1, static_cast<BYTE>(x));
    }
    img.SetXDPI(200);
    HANDLE h = img.CopyToHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), img.GetSize());
    CBaseImage back;
    ASSERT_TRUE(back.CreateFromHANDLE(h));
    GlobalFree(h);
    EXPECT_TRUE(SameColors(img, back)) << bpp;
    EXPECT_EQ(back.GetXDPI(), 200);
  }
  CBaseImage empty;
  EXPECT_EQ(empty.CopyToHandle(), nullptr);
}

// ------------------------------------------------------------- transforms

TEST(CodecTransform, RotationsFlipAndMirror) {
  CBaseImage img;
  MakePattern(img, 3, 2);
  ASSERT_TRUE(img.AlphaCreate());
  img.AlphaSet(0, 1, 7);  // top left
  CBaseImage left;
  ASSERT_TRUE(img.RotateLeft(&left));
  EXPECT_EQ(left.GetWidth(), 2u);
  EXPECT_EQ(left.GetHeight(), 3u);
  EXPECT_EQ(ColorAt(left, 0, 0), PatternColor(0, 1));  // bottom left was the top left
  EXPECT_EQ(left.AlphaGet(0, 0), 7);
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 2; ++x) EXPECT_EQ(ColorAt(left, x, y), PatternColor(y, 1 - x));
  CBaseImage right(img);
  ASSERT_TRUE(right.RotateRight());
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 2; ++x) EXPECT_EQ(ColorAt(right, x, y), PatternColor(2 - y, x));
  EXPECT_EQ(right.AlphaGet(1, 2), 7);

  for (DWORD bpp : {1u, 4u, 8u, 24u}) {
    CBaseImage p(70, 67, bpp, 0);
    p.SetGrayPalette();
    for (long y = 0; y < 67; ++y)
      for (long x = 0; x < 70; ++x) p.SetPixelColor(x, y, PatternColor(x, y));
    CBaseImage f(p), m(p), r(p);
    ASSERT_TRUE(f.Flip());
    ASSERT_TRUE(m.Mirror());
    ASSERT_TRUE(r.RotateLeft());
    ASSERT_TRUE(r.RotateRight());
    EXPECT_TRUE(SameColors(p, r)) << bpp;
    for (long y = 0; y < 67; y += 5)
      for (long x = 0; x < 70; x += 3) {
        EXPECT_EQ(ColorAt(f, x, y), ColorAt(p, x, 66 - y)) << bpp;
        EXPECT_EQ(ColorAt(m, x, y), ColorAt(p, 69 - x, y)) << bpp;
      }
  }
  CBaseImage empty;
  EXPECT_FALSE(empty.Flip());
  EXPECT_FALSE(empty.RotateLeft());
}

TEST(CodecTransform, NegativeByKindOfPicture) {
  CBaseImage rgb(1, 1, 24, 0);
  rgb.SetPixelColor(0, 0, RGB(10, 20, 30));
  rgb.SetTransColor(RGBQUAD{1, 2, 3, 0});
  ASSERT_TRUE(rgb.Negative());
  EXPECT_EQ(ColorAt(rgb, 0, 0), RGB(245, 235, 225));
  EXPECT_EQ(rgb.GetTransColor().rgbBlue, 254);
  // A grey ramp inverts the indexes; another palette inverts its colours.
  CBaseImage grey(1, 1, 8, 0);
  grey.SetGrayPalette();
  grey.SetPixelIndex(0, 0, 10);
  ASSERT_TRUE(grey.Negative());
  EXPECT_EQ(grey.GetPixelIndex(0, 0), 245);
  CBaseImage pal(1, 1, 4, 0);
  pal.SetPaletteColor(3, 100, 0, 255);
  pal.SetPixelIndex(0, 0, 3);
  ASSERT_TRUE(pal.Negative());
  EXPECT_EQ(pal.GetPixelIndex(0, 0), 3);
  EXPECT_EQ(ColorAt(pal, 0, 0), RGB(155, 255, 0));
}

// --------------------------------------------------------------- filters

TEST(CodecFilter, LightTableNumbers) {
  struct Case {
    long brightness, contrast;
    BYTE in, out;
  } cases[] = {
      {0, 0, 0, 0},     {0, 0, 100, 100}, {0, 0, 128, 128}, {0, 0, 129, 128},   {0, 0, 255, 254},
      {80, 0, 10, 90},  {80, 0, 150, 229}, {80, 0, 200, 255}, {0, -100, 0, 128}, {0, -100, 255, 128},
      {-200, 0, 255, 54}, {-300, 0, 255, 0}, {0, 100, 200, 255}, {0, 100, 100, 72},
  };
  for (const Case& c : cases) {
    CBaseImage img(1, 1, 24, 0);
    img.SetPixelColor(0, 0, RGB(c.in, c.in, c.in));
    ASSERT_TRUE(img.Light(c.brightness, c.contrast));
    EXPECT_EQ(GetRValue(ColorAt(img, 0, 0)), c.out) << c.brightness << " " << c.contrast << " " << int(c.in);
  }
  // Palettised pictures change their palette.
  CBaseImage pal(1, 1, 8, 0);
  pal.SetPaletteColor(0, 10, 10, 10);
  ASSERT_TRUE(pal.Light(80, 0));
  EXPECT_EQ(pal.GetPaletteColor(0).rgbRed, 90);
  CBaseImage empty;
  EXPECT_FALSE(empty.Light(1, 1));
  EXPECT_FALSE(pal.Lut(nullptr));
}

TEST(CodecFilter, UniformPicturesGoWhite) {
  CBaseImage img(6, 5, 24, 0);
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 6; ++x) img.SetPixelColor(x, y, RGB(90, 120, 30));
  CBaseImage contour(img), edge(img);
  ASSERT_TRUE(contour.Contour());
  ASSERT_TRUE(edge.Edge(2));
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 6; ++x) {
      EXPECT_EQ(ColorAt(contour, x, y), RGB(255, 255, 255));
      EXPECT_EQ(ColorAt(edge, x, y), RGB(255, 255, 255));
    }
}

TEST(CodecFilter, EdgeAndContourNumbers) {
  // 3 x 1: 100, 200, 50 in red only.
  CBaseImage img(3, 1, 24, 0);
  img.SetPixelColor(0, 0, RGB(100, 0, 0));
  img.SetPixelColor(1, 0, RGB(200, 0, 0));
  img.SetPixelColor(2, 0, RGB(50, 0, 0));
  CBaseImage edge(img), contour(img);
  ASSERT_TRUE(edge.Edge(2));
  // Edge(2) looks at the pixel, its left and lower neighbours; outside
  // neighbours read as pixel (0, 0).
  EXPECT_EQ(GetRValue(ColorAt(edge, 0, 0)), 255);
  EXPECT_EQ(GetRValue(ColorAt(edge, 1, 0)), 255 - 100);
  EXPECT_EQ(GetRValue(ColorAt(edge, 2, 0)), 255 - 150);
  ASSERT_TRUE(contour.Contour());
  // The largest neighbour value above the centre (the value, not the gap).
  EXPECT_EQ(GetRValue(ColorAt(contour, 0, 0)), 255 - 200);
  EXPECT_EQ(GetRValue(ColorAt(contour, 1, 0)), 255);
  EXPECT_EQ(GetRValue(ColorAt(contour, 2, 0)), 255 - 200);
}

TEST(CodecFilter, CircleTransformCentreAndCorner) {
  CBaseImage img;
  MakePattern(img, 9, 7);
  for (int type : {0, 1, 2, 3}) {
    CBaseImage t(img);
    ASSERT_TRUE(t.CircleTransform(type, 0, 100.0f));
    if (type < 3) {
      EXPECT_EQ(ColorAt(t, 4, 3), PatternColor(4, 3)) << type;  // the centre maps to itself
    }
    EXPECT_EQ(ColorAt(t, 0, 0), PatternColor(0, 0)) << type;               // outside the radius
    EXPECT_EQ(ColorAt(t, 8, 6), PatternColor(0, 0)) << type;
  }
  // Strip displacement moves each column by (x mod 32) - 16.
  CBaseImage s;
  MakePattern(s, 40, 2);
  CBaseImage strips(s);
  ASSERT_TRUE(strips.CircleTransform(4, 1000, 1.0f));
  EXPECT_EQ(ColorAt(strips, 10, 1), PatternColor(4, 1));
  EXPECT_EQ(ColorAt(strips, 20, 0), PatternColor(24, 0));
  // The pinch of a pixel inside the radius: r' = r * r / radius.
  CBaseImage p;
  MakePattern(p, 21, 21);
  CBaseImage pinch(p);
  ASSERT_TRUE(pinch.CircleTransform(0, 8, 1.0f));
  // Pixel (6, 10): nx = 4, ny = 0, r = 4, r' = 2, angle 0: source (12, 10).
  EXPECT_EQ(ColorAt(pinch, 6, 10), PatternColor(12, 10));
}
