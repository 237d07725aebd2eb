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

TEST(CodecBmp, LongHeadersOnlyWhenPlain) {
  Bytes pixels(16, 0x40);
  // A 108-byte header with an image size of 0 is refused.
  CBaseImage img;
  EXPECT_FALSE(DecodeFrom(img, BmpFile(InfoHeader(2, 2, 24, BI_RGB, 0, 108, 0), pixels), CODEC_FORMAT_BMP));
  EXPECT_STREQ(img.GetLastError(), "Error reading BMP info");
  EXPECT_FALSE(DecodeFrom(img, BmpFile(InfoHeader(2, 2, 24, BI_RGB, 0, 108, 0), pixels), CODEC_FORMAT_UNKNOWN));
  // With the right image size it reads.
  ASSERT_TRUE(DecodeFrom(img, BmpFile(InfoHeader(2, 2, 24, BI_RGB, 0, 108, 16), pixels), CODEC_FORMAT_BMP));
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(0x40, 0x40, 0x40));
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
    EXPECT_EQ(ColorAt(img, 0, 0), RGB(248, 0, 0));
    EXPECT_EQ(ColorAt(img, 1, 0), RGB(0, 252, 128));
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
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(248, 8, 16));
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
