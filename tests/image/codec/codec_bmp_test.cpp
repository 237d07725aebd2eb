// BMP decoding and encoding of the codec layer.
#include <gtest/gtest.h>

#include "codec_helpers.h"
#include "image/codec/CodecBMP.h"

using namespace codectest;

namespace {

// A palettised picture whose index at (x, y) is (x + 3 y) mod colours.
void MakeIndexed(CBaseImage& img, DWORD w, DWORD h, DWORD bpp) {
  ASSERT_TRUE(img.Create(w, h, bpp, 0));
  const DWORD n = img.GetNumColors();
  for (DWORD i = 0; i < n; ++i)
    img.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i * 7 + 1), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x) img.SetPixelIndex(x, y, static_cast<BYTE>((x + 3 * y) % n));
}

Bytes Palette(int n) {
  Bytes b;
  for (int i = 0; i < n; ++i) {
    b.push_back(static_cast<BYTE>(i * 10));      // blue
    b.push_back(static_cast<BYTE>(i * 20));      // green
    b.push_back(static_cast<BYTE>(255 - i));     // red
    b.push_back(0);
  }
  return b;
}

}  // namespace

TEST(CodecBmp, RoundTripsAtEveryDepth) {
  for (DWORD bpp : {1u, 4u, 8u, 24u}) {
    CBaseImage img;
    if (bpp == 24) MakePattern(img, 13, 7);
    else MakeIndexed(img, 13, 7, bpp);
    img.SetXDPI(300);
    const Bytes file = EncodeTo(img, CODEC_FORMAT_BMP);
    ASSERT_EQ(file[0], 'B');
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_BMP)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), bpp);
    EXPECT_EQ(back.GetType(), static_cast<DWORD>(CODEC_FORMAT_BMP));
    EXPECT_EQ(back.GetXDPI(), 300);
    EXPECT_TRUE(SameColors(img, back)) << bpp;
    if (bpp <= 8) {
      EXPECT_EQ(back.GetPixelIndex(5, 3), img.GetPixelIndex(5, 3));
    }
  }
}

TEST(CodecBmp, TopDownRowsDecodeUpright) {
  // 2 x 2, 24 bits, top row first: red, green / blue, white.
  Bytes pixels = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  const Bytes file = BmpFile(InfoHeader(2, -2, 24), pixels);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, file, CODEC_FORMAT_UNKNOWN));
  EXPECT_EQ(img.GetType(), static_cast<DWORD>(CODEC_FORMAT_BMP));
  EXPECT_EQ(img.GetHeight(), 2u);
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(255, 0, 0));  // top left
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(0, 255, 0));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(255, 255, 255));
}

TEST(CodecBmp, BareInfoHeaderAndCoreHeader) {
  // An 8-bit bare DIB with 2 colours used, then a 4-bit picture with a
  // 12-byte core header and 3-byte palette entries.
  Bytes dib = InfoHeader(3, 1, 8, BI_RGB, 2);
  Append(dib, Palette(2));
  Append(dib, {1, 0, 1, 0});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, dib, CODEC_FORMAT_UNKNOWN));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(254, 20, 10));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(255, 0, 0));

  Bytes core = CoreHeader(2, 2, 4);
  for (int i = 0; i < 16; ++i) Append(core, {static_cast<BYTE>(i), static_cast<BYTE>(2 * i), static_cast<BYTE>(3 * i)});
  CBaseImage c;
  ASSERT_TRUE(DecodeFrom(c, BmpFile(core, {0x12, 0, 0, 0, 0x3F, 0, 0, 0}), CODEC_FORMAT_BMP)) << c.GetLastError();
  EXPECT_EQ(c.GetBpp(), 4);
  EXPECT_EQ(c.GetPixelIndex(1, 0), 2);
  EXPECT_EQ(c.GetPixelIndex(1, 1), 15);
  EXPECT_EQ(ColorAt(c, 1, 1), RGB(45, 30, 15));
}

TEST(CodecBmp, HeadersOfTheFourthAndFifthVersion) {
  // What other programs write under 52- to 124-byte headers: bit fields with
  // the masks inside the header, a short palette, an image size of 0, run
  // lengths. Each is 2 x 2; the expected colours are bottom-left,
  // bottom-right, top-left, top-right.
  auto withMasks = [](DWORD size, DWORD r, DWORD g, DWORD b) {
    Bytes h = InfoHeader(2, 2, 16, BI_BITFIELDS, 0, size);
    for (int i = 0; i < 3; ++i) {
      const DWORD m = i == 0 ? r : i == 1 ? g : b;
      for (int k = 0; k < 4; ++k) h[40 + 4 * i + k] = static_cast<BYTE>(m >> (8 * k));
    }
    return h;
  };
  Bytes px565;
  for (unsigned v : {0xF800u, 0x07E0u, 0u, 0x001Fu}) Put16(px565, v);
  Bytes px555;
  for (unsigned v : {0x7C00u, 0x03E0u, 0u, 0x001Fu}) Put16(px555, v);
  Bytes shortPalette = InfoHeader(2, 2, 8, BI_RGB, 2, 124);
  Append(shortPalette, {0, 0, 255, 0, 0, 255, 0, 0});
  Bytes rle = InfoHeader(2, 2, 8, BI_RLE8, 2, 124, 10);
  Append(rle, {0, 0, 255, 0, 0, 255, 0, 0});
  Bytes rgb108 = InfoHeader(2, 2, 24, BI_RGB, 0, 108, 0);
  struct Case {
    const char* what;
    Bytes body, pixels;
    COLORREF colours[4];
  } cases[] = {
      {"5-6-5 masks in a 124-byte header", withMasks(124, 0xF800, 0x07E0, 0x001F), px565,
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 0), RGB(0, 0, 255)}},
      {"5-5-5 masks in a 108-byte header", withMasks(108, 0x7C00, 0x03E0, 0x001F), px555,
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 0), RGB(0, 0, 255)}},
      {"masks in a 56-byte header", withMasks(56, 0xF800, 0x07E0, 0x001F), px565,
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 0), RGB(0, 0, 255)}},
      {"two palette entries", shortPalette, {1, 0, 0, 0, 0, 1, 0, 0},
       {RGB(0, 255, 0), RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0)}},
      {"run lengths", rle, {2, 1, 0, 0, 1, 0, 1, 1, 0, 1},
       {RGB(0, 255, 0), RGB(0, 255, 0), RGB(255, 0, 0), RGB(0, 255, 0)}},
      {"image size 0", rgb108, {0, 0, 255, 0, 255, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0},
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 0), RGB(0, 0, 255)}},
  };
  for (const Case& c : cases) {
    for (DWORD format : {static_cast<DWORD>(CODEC_FORMAT_BMP), static_cast<DWORD>(CODEC_FORMAT_UNKNOWN)}) {
      CBaseImage img;
      ASSERT_TRUE(DecodeFrom(img, BmpFile(c.body, c.pixels), format)) << c.what << ": " << img.GetLastError();
      EXPECT_EQ(ColorAt(img, 0, 0), c.colours[0]) << c.what;
      EXPECT_EQ(ColorAt(img, 1, 0), c.colours[1]) << c.what;
      EXPECT_EQ(ColorAt(img, 0, 1), c.colours[2]) << c.what;
      EXPECT_EQ(ColorAt(img, 1, 1), c.colours[3]) << c.what;
    }
  }
  // Headers of other sizes are still no bitmap header.
  for (DWORD size : {44u, 128u, 300u}) {
    CBaseImage img;
    EXPECT_FALSE(DecodeFrom(img, BmpFile(InfoHeader(2, 2, 24, BI_RGB, 0, size), Bytes(16, 0)), CODEC_FORMAT_BMP));
    EXPECT_STREQ(img.GetLastError(), "Error reading BMP info");
  }
}

TEST(CodecBmp, RunLength8) {
  // 4 x 3: bottom row a run, middle row a literal (padded) and a run, top
  // row a delta then a run.
  Bytes data = {4, 1, 0, 0,  0, 3, 5, 6, 7, 0, 1, 8, 0, 0,  0, 2, 2, 0, 2, 9, 0, 1};
  Bytes body = InfoHeader(4, 3, 8, BI_RLE8, 16);
  Append(body, Palette(16));
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, BmpFile(body, data), CODEC_FORMAT_BMP)) << img.GetLastError();
  const BYTE expect[3][4] = {{1, 1, 1, 1}, {5, 6, 7, 8}, {0, 0, 9, 9}};
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 4; ++x) EXPECT_EQ(img.GetPixelIndex(x, y), expect[y][x]) << x << "," << y;
}

TEST(CodecBmp, RunLength4) {
  // 5 x 2: a run of 5 alternating nibbles, then 3 literal nibbles and a run.
  Bytes data = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x77, 0, 1};
  Bytes body = InfoHeader(5, 2, 4, BI_RLE4);
  Append(body, Palette(16));
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, BmpFile(body, data), CODEC_FORMAT_BMP)) << img.GetLastError();
  const BYTE expect[2][5] = {{1, 2, 1, 2, 1}, {3, 4, 5, 7, 7}};
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 5; ++x) EXPECT_EQ(img.GetPixelIndex(x, y), expect[y][x]) << x << "," << y;
}

TEST(CodecBmp, RunLengthThatOverrunsStaysInsideThePicture) {
  Bytes body = InfoHeader(4, 2, 8, BI_RLE8);
  Append(body, Palette(256));
  // A run past the row ends the decoding; deltas far away and literal runs
  // past the picture are dropped.
  for (const Bytes& data : {Bytes{200, 3}, Bytes{0, 2, 255, 255, 0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0},
                            Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0}, Bytes{0, 5, 1}}) {
    CBaseImage img;
    EXPECT_TRUE(DecodeFrom(img, BmpFile(body, data), CODEC_FORMAT_BMP));
  }
  Bytes body4 = InfoHeader(3, 1, 4, BI_RLE4);
  Append(body4, Palette(16));
  CBaseImage img;
  EXPECT_TRUE(DecodeFrom(img, BmpFile(body4, {255, 0x11, 0, 9, 1, 2, 3, 4, 5, 0}), CODEC_FORMAT_BMP));
  EXPECT_EQ(img.GetPixelIndex(2, 0), 1);
}

TEST(CodecBmp, BitfieldsAfterA40ByteHeader) {
  // 16-bit 5-6-5 with its masks, with and without a file header.
  Bytes body = InfoHeader(2, 1, 16, BI_BITFIELDS);
  Put32(body, 0xF800);
  Put32(body, 0x07E0);
  Put32(body, 0x001F);
  Bytes pixels;
  Put16(pixels, (31u << 11) | (0u << 5) | 0u);
  Put16(pixels, (0u << 11) | (63u << 5) | 16u);
  for (bool fileHeader : {true, false}) {
    Bytes file = fileHeader ? BmpFile(body, pixels) : body;
    if (!fileHeader) Append(file, pixels);
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, file, CODEC_FORMAT_BMP)) << img.GetLastError();
    EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(ColorAt(img, 1, 0), RGB(0, 255, 132));
  }
  // 32-bit with masks and no file header: the pixels start after the masks.
  Bytes dib = InfoHeader(2, 1, 32, BI_BITFIELDS);
  Put32(dib, 0x00FF0000);
  Put32(dib, 0x0000FF00);
  Put32(dib, 0x000000FF);
  Append(dib, {1, 2, 3, 0, 4, 5, 6, 0});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, dib, CODEC_FORMAT_BMP)) << img.GetLastError();
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(3, 2, 1));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(6, 5, 4));
  // Masks in another order are honoured.
  Bytes rgba = InfoHeader(1, 1, 32, BI_BITFIELDS);
  Put32(rgba, 0xFF000000);
  Put32(rgba, 0x00FF0000);
  Put32(rgba, 0x0000FF00);
  ASSERT_TRUE(DecodeFrom(img, BmpFile(rgba, {9, 30, 20, 10}), CODEC_FORMAT_BMP));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(10, 20, 30));
}

TEST(CodecBmp, PlainSixteenAndThirtyTwoBits) {
  Bytes p16;
  Put16(p16, (31u << 10) | (1u << 5) | 2u);
  Put16(p16, 0);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, BmpFile(InfoHeader(1, 1, 16), p16), CODEC_FORMAT_BMP));
  EXPECT_EQ(img.GetBpp(), 24);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 8, 16));
  ASSERT_TRUE(DecodeFrom(img, BmpFile(InfoHeader(2, 1, 32), {1, 2, 3, 99, 7, 8, 9, 99}), CODEC_FORMAT_BMP));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(9, 8, 7));
}

TEST(CodecBmp, ExtraPaletteEntriesAreSkipped) {
  // A 1-bit bare DIB claiming 4 colours: the pixels come after all four.
  Bytes dib = InfoHeader(8, 1, 1, BI_RGB, 4);
  Append(dib, Palette(4));
  Append(dib, {0xF0, 0, 0, 0});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, dib, CODEC_FORMAT_BMP));
  EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(img.GetPixelIndex(4, 0), 0);
}

TEST(CodecBmp, CorruptFilesFailWithAReason) {
  struct Case {
    Bytes file;
    const char* error;
  } cases[] = {
      {{}, "Not a BMP"},
      {BmpFile(InfoHeader(2, 2, 24), {1, 2, 3}), "Can't allocate memory"},
      {BmpFile(InfoHeader(40000, 40000, 24), {}), "Can't allocate memory"},
      {BmpFile(InfoHeader(2, 2, 8, BI_RLE4), Palette(256)), "compression type not supported"},
      {BmpFile(InfoHeader(2, 2, 24, BI_RLE8), Bytes(16, 0)), "unknown compression"},
      {BmpFile(InfoHeader(2, 2, 7), Bytes(16, 0)), "Error reading BMP info"},
      {BmpFile(InfoHeader(0, 2, 24), Bytes(16, 0)), "Error reading BMP info"},
      {BmpFile(InfoHeader(2, 2, 24, BI_RGB, 0, 20), Bytes(40, 0)), "Error reading BMP info"},
      {Bytes{'B', 'M', 1, 2, 3}, "Error reading BMP info"},
  };
  for (const Case& c : cases) {
    CBaseImage img;
    EXPECT_FALSE(DecodeFrom(img, c.file, CODEC_FORMAT_BMP)) << c.error;
    EXPECT_STREQ(img.GetLastError(), c.error);
  }
  // A data offset past the end of the file.
  Bytes file = BmpFile(InfoHeader(1, 1, 24), {1, 2, 3, 0});
  file[10] = 0xFF;
  file[11] = 0xFF;
  CBaseImage img;
  EXPECT_FALSE(DecodeFrom(img, file, CODEC_FORMAT_BMP));
}

TEST(CodecBmp, ResolutionFromTheHeader) {
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, BmpFile(InfoHeader(1, 1, 24, BI_RGB, 0, 40, 0, 3780), {1, 2, 3, 0}), CODEC_FORMAT_BMP));
  EXPECT_EQ(img.GetXDPI(), 96);
  ASSERT_TRUE(DecodeFrom(img, BmpFile(InfoHeader(1, 1, 24, BI_RGB, 0, 40, 0, 0), {1, 2, 3, 0}), CODEC_FORMAT_BMP));
  EXPECT_EQ(img.GetXDPI(), 0);
}
