// The codec picture: creation, palette, pixels, transparency, alpha,
// ownership and the conversions the decoders use.
#include <gtest/gtest.h>

#include "codec_helpers.h"
#include "image/codec/BaseImage.h"

using namespace codectest;

TEST(CodecImage, CreateRefusesEmptySizesAndFreesThePreviousPicture) {
  CBaseImage img(10, 10, 24, 0);
  ASSERT_TRUE(img.IsValid());
  EXPECT_EQ(img.Create(0, 10, 24, 0), nullptr);
  EXPECT_STREQ(img.GetLastError(), "CBaseImage::Create : width and height must be greater than zero");
  EXPECT_FALSE(img.IsValid());
}

TEST(CodecImage, DepthIsNormalisedWithItsPalette) {
  struct Case {
    DWORD asked, bpp, colors;
  } cases[] = {{0, 1, 2}, {1, 1, 2}, {2, 4, 16}, {3, 4, 16}, {4, 4, 16}, {5, 8, 256},
               {8, 8, 256}, {16, 24, 0}, {24, 24, 0}, {32, 24, 0}};
  for (const Case& c : cases) {
    CBaseImage img(3, 2, c.asked, 0);
    ASSERT_TRUE(img.IsValid()) << c.asked;
    EXPECT_EQ(img.GetBpp(), c.bpp) << c.asked;
    EXPECT_EQ(img.GetNumColors(), c.colors) << c.asked;
    EXPECT_EQ(img.GetPaletteSize(), c.colors * 4) << c.asked;
    EXPECT_EQ(img.GetSize(), 40 + c.colors * 4 + img.GetEffWidth() * 2) << c.asked;
  }
}

TEST(CodecImage, RowStrideIsWholeWords) {
  EXPECT_EQ(CBaseImage(1, 1, 24, 0).GetEffWidth(), 4u);
  EXPECT_EQ(CBaseImage(5, 1, 24, 0).GetEffWidth(), 16u);
  EXPECT_EQ(CBaseImage(33, 1, 1, 0).GetEffWidth(), 8u);
  EXPECT_EQ(CBaseImage(9, 1, 4, 0).GetEffWidth(), 8u);
}

TEST(CodecImage, OversizedPicturesAreRefusedBeforeAllocating) {
  CBaseImage img;
  EXPECT_EQ(img.Create(100000, 100000, 24, 0), nullptr);
  EXPECT_STREQ(img.GetLastError(), "CODEC_MAX_MEMORY exceeded");
  // A size whose 32-bit product would wrap round.
  EXPECT_EQ(img.Create(0x10000, 0x10001, 8, 0), nullptr);
  EXPECT_FALSE(img.IsValid());
}

TEST(CodecImage, ResolutionKeepsPixelsPerMetreInStep) {
  CBaseImage img(2, 2, 24, 0);
  EXPECT_EQ(img.GetXDPI(), 96);
  img.SetXDPI(0);
  EXPECT_EQ(img.GetXDPI(), 96);
  EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 3780);
  img.SetYDPI(300);
  EXPECT_EQ(img.GetHeader().biYPelsPerMeter, 11811);
}

TEST(CodecImage, OutsidePixelsFollowTheBackgroundRules) {
  CBaseImage img(4, 3, 24, 0);
  img.Clear(0);
  img.SetPixelColor(0, 0, RGB(10, 20, 30));
  // No background index: pixel (0, 0).
  RGBQUAD c = img.GetPixelColor(-1, 0, true);
  EXPECT_EQ(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue), RGB(10, 20, 30));
  // With one: the background colour at 24 bits.
  img.SetTransIndex(0);
  img.SetTransColor(RGBQUAD{1, 2, 3, 99});
  c = img.GetPixelColor(7, 7, true);
  EXPECT_EQ(c.rgbBlue, 1);
  EXPECT_EQ(c.rgbReserved, 0);
  // Palettised: the background index's palette colour.
  CBaseImage pal(2, 2, 8, 0);
  pal.SetPaletteColor(5, 200, 100, 50);
  pal.SetTransIndex(5);
  c = pal.GetPixelColor(-3, 1, false);
  EXPECT_EQ(c.rgbRed, 200);
  EXPECT_EQ(pal.GetPixelIndex(9, 9), 5);
  EXPECT_TRUE(pal.IsTransparent());
  EXPECT_EQ(pal.GetTransColor().rgbGreen, 100);
}

TEST(CodecImage, PixelIndexesPackMostSignificantFirst) {
  CBaseImage one(10, 1, 1, 0);
  one.Clear(0);
  one.SetPixelIndex(0, 0, 1);
  one.SetPixelIndex(9, 0, 3);  // only bit 0 counts
  EXPECT_EQ(one.GetBits()[0], 0x80);
  EXPECT_EQ(one.GetBits()[1], 0x40);
  EXPECT_EQ(one.GetPixelIndex(9, 0), 1);
  CBaseImage four(3, 1, 4, 0);
  four.Clear(0);
  four.SetPixelIndex(0, 0, 0x1A);
  four.SetPixelIndex(1, 0, 0x05);
  EXPECT_EQ(four.GetBits()[0], 0xA5);
  EXPECT_EQ(four.GetPixelIndex(0, 0), 0x0A);
  // Clear of a 1- and a 4-bit picture fills whole bytes.
  one.Clear(7);
  EXPECT_EQ(one.GetBits()[0], 0xFF);
  four.Clear(0x13);
  EXPECT_EQ(four.GetBits()[0], 0x33);
}

TEST(CodecImage, NearestIndexPrefersTheLowerOfEqualEntries) {
  CBaseImage img(1, 1, 4, 0);
  img.SetPaletteColor(3, 100, 100, 100);
  img.SetPaletteColor(7, 100, 100, 100);
  img.SetPaletteColor(2, 110, 100, 100);
  EXPECT_EQ(img.GetNearestIndex(RGBQUAD{100, 100, 101, 0}), 3);
  // An exact match stops the scan; the cache answers the same question.
  EXPECT_EQ(img.GetNearestIndex(RGBQUAD{100, 100, 110, 0}), 2);
  EXPECT_EQ(img.GetNearestIndex(RGBQUAD{100, 100, 110, 0}), 2);
  // A palette write invalidates the cache.
  img.SetPaletteColor(0, 110, 100, 100);
  EXPECT_EQ(img.GetNearestIndex(RGBQUAD{100, 100, 110, 0}), 0);
}

TEST(CodecImage, GreyPaletteAndGreyTest) {
  CBaseImage four(1, 1, 4, 0);
  four.SetGrayPalette();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(four.GetPaletteColor(static_cast<BYTE>(i)).rgbGreen, i * 17);
  EXPECT_FALSE(four.IsGrayScale());
  CBaseImage eight(1, 1, 8, 0);
  eight.SetGrayPalette();
  EXPECT_TRUE(eight.IsGrayScale());
  eight.SetPaletteColor(9, 9, 9, 8);
  EXPECT_FALSE(eight.IsGrayScale());
}

TEST(CodecImage, SwapIndexSwapsEntriesAndPixels) {
  CBaseImage img(3, 1, 4, 0);
  img.SetPaletteColor(1, 10, 0, 0);
  img.SetPaletteColor(4, 40, 0, 0);
  img.SetPixelIndex(0, 0, 1);
  img.SetPixelIndex(1, 0, 4);
  img.SetPixelIndex(2, 0, 2);
  img.SwapIndex(1, 4);
  EXPECT_EQ(img.GetPixelIndex(0, 0), 4);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
  EXPECT_EQ(img.GetPixelIndex(2, 0), 2);
  EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 40);
}

TEST(CodecImage, TransferGhostAndCopy) {
  CBaseImage a;
  MakePattern(a, 5, 4);
  a.SetJpegQuality(33);
  ASSERT_TRUE(a.AlphaCreate());
  a.AlphaSet(1, 1, 7);

  CBaseImage copy(a);
  EXPECT_TRUE(SameColors(a, copy));
  EXPECT_EQ(copy.AlphaGet(1, 1), 7);
  EXPECT_EQ(copy.GetJpegQuality(), 33);

  CBaseImage b;
  EXPECT_TRUE(b.Transfer(a));
  EXPECT_FALSE(a.IsValid());
  EXPECT_TRUE(SameColors(b, copy));
  EXPECT_EQ(b.AlphaGet(1, 1), 7);

  CBaseImage ghost;
  ghost.Ghost(&b);
  EXPECT_EQ(ghost.GetBits(), b.GetBits());
  EXPECT_FALSE(ghost.Destroy());  // frees nothing
  EXPECT_EQ(ghost.Create(2, 2, 8, 0), nullptr);
  EXPECT_TRUE(b.IsValid());
}

TEST(CodecImage, CodecOptionsByFormat) {
  CBaseImage img(CODEC_FORMAT_PNG);
  EXPECT_TRUE(img.SetCodecOption(1));  // own format
  EXPECT_EQ(img.GetCodecOption(CODEC_FORMAT_PNG), 1u);
  EXPECT_FALSE(img.SetCodecOption(5, 11));
  EXPECT_EQ(img.GetCodecOption(11), 0u);
}

TEST(CodecImage, AlphaPlaneFlipAndMirror) {
  CBaseImage img(3, 2, 24, 0);
  EXPECT_EQ(img.AlphaGet(0, 0), 0);
  ASSERT_TRUE(img.AlphaCreate());
  EXPECT_EQ(img.AlphaGet(2, 1), 255);
  img.AlphaSet(0, 0, 1);
  img.AlphaSet(2, 1, 2);
  img.AlphaSet(5, 5, 9);  // outside: ignored
  ASSERT_TRUE(img.AlphaFlip());
  EXPECT_EQ(img.AlphaGet(0, 1), 1);
  ASSERT_TRUE(img.AlphaMirror());
  EXPECT_EQ(img.AlphaGet(2, 1), 1);
  EXPECT_EQ(img.AlphaGet(0, 0), 2);
  const RGBQUAD c = img.GetPixelColor(0, 0, true);
  EXPECT_EQ(c.rgbReserved, 2);
}

TEST(CodecImage, Bitfield16ByItsMasks) {
  // 5-5-5 by default, 5-6-5 and a 4-4-4 layout by their masks; narrow
  // channels are widened by repeating their bits, so that full is 255.
  struct Case {
    DWORD r, g, b;
    WORD pixel;
    BYTE red, green, blue;
  } cases[] = {
      {0, 0, 0, 0x7FFF, 255, 255, 255},
      {0, 0, 0, (1 << 10) | (2 << 5) | 3, 8, 16, 24},
      {0, 0, 0, (16 << 10) | (30 << 5) | 7, 132, 247, 57},
      {0xF800, 0x07E0, 0x001F, (1 << 11) | (3 << 5) | 31, 8, 12, 255},
      {0xF800, 0x07E0, 0x001F, (0 << 11) | (33 << 5) | 0, 0, 134, 0},
      {0x0F00, 0x00F0, 0x000F, 0x0F84, 0xFF, 0x88, 0x44},
  };
  for (const Case& c : cases) {
    CBaseImage img(3, 2, 24, 0);
    // Rows of ((3 + 1) / 2) * 4 = 8 bytes, all pixels the same.
    Bytes src;
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) Put16(src, c.pixel);
      Put16(src, 0);
    }
    img.Bitfield2RGB(src.data(), c.r, c.g, c.b, 16);
    for (long y = 0; y < 2; ++y)
      for (long x = 0; x < 3; ++x) EXPECT_EQ(ColorAt(img, x, y), RGB(c.red, c.green, c.blue)) << std::hex << c.pixel;
  }
}

TEST(CodecImage, Bitfield16WorksInPlace) {
  CBaseImage img(5, 3, 24, 0);
  BYTE* bits = img.GetBits();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const WORD v = static_cast<WORD>((x << 10) | (y << 5) | (x + y));
      bits[y * 12 + 2 * x] = static_cast<BYTE>(v);
      bits[y * 12 + 2 * x + 1] = static_cast<BYTE>(v >> 8);
    }
  img.Bitfield2RGB(bits, 0, 0, 0, 16);
  auto widen = [](long v) { return static_cast<BYTE>((v << 3) | (v >> 2)); };
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 5; ++x) EXPECT_EQ(ColorAt(img, x, y), RGB(widen(x), widen(y), widen(x + y)));
}

TEST(CodecImage, TypeIdFromName) {
  struct Case {
    const char* name;
    DWORD id;
  } cases[] = {{"a.bmp", 1},      {"dir.x/b.GIF", 2}, {"C:\\p\\x.JPEG", 3}, {"x.jpg", 3},   {"x.png", 4},
               {"x.ico", 5},      {"x.tif", 6},       {"x.TIFF", 6},        {"x.tga", 7},   {"x.pcx", 8},
               {"x.wbmp", 9},     {"x.wmf", 10},      {"x.emf", 0},         {"x.tar.gz", 0}, {"x.gif/noext", 0},
               {"noextension", 0}};
  for (const Case& c : cases) EXPECT_EQ(CBaseImage::GetTypeIdFromName(c.name), c.id) << c.name;
}

TEST(CodecImage, IteratorWalksRowsFromTheTop) {
  CBaseImage img(2, 3, 8, 0);
  img.Clear(0);
  CImageIterator it(&img);
  it.Upset();
  EXPECT_EQ(it.GetY(), 2);
  const BYTE row[4] = {9, 8, 0, 0};
  it.SetRow(row, -1);
  EXPECT_EQ(img.GetPixelIndex(0, 2), 9);
  EXPECT_TRUE(it.NextRow());
  EXPECT_TRUE(it.NextRow());
  EXPECT_FALSE(it.NextRow());
  it.SetY(3);  // one past the top: writes are refused
  it.SetRow(row, 4);
  BYTE out[4] = {0};
  it.GetRow(2);
  it.GetRow(out, 4);
  EXPECT_EQ(out[0], 9);
}
