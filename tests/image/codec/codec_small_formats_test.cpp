// TGA, PCX and WBMP.
#include <gtest/gtest.h>

#include <filesystem>

#include "codec_helpers.h"

using namespace codectest;

namespace {

Bytes TgaHeader(int type, int w, int h, int depth, int descriptor = 0, int cmapType = 0, int cmapFirst = 0,
                int cmapLen = 0, int cmapEntry = 0, int idLen = 0) {
  Bytes b = {static_cast<BYTE>(idLen), static_cast<BYTE>(cmapType), static_cast<BYTE>(type)};
  Put16(b, static_cast<unsigned>(cmapFirst));
  Put16(b, static_cast<unsigned>(cmapLen));
  b.push_back(static_cast<BYTE>(cmapEntry));
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, static_cast<unsigned>(w));
  Put16(b, static_cast<unsigned>(h));
  b.push_back(static_cast<BYTE>(depth));
  b.push_back(static_cast<BYTE>(descriptor));
  for (int i = 0; i < idLen; ++i) b.push_back('i');
  return b;
}

Bytes PcxHeader(int bits, int w, int h, int planes, int bytesPerLine, const Bytes& palette16 = {}) {
  Bytes b(128, 0);
  b[0] = 10;
  b[1] = 5;
  b[2] = 1;
  b[3] = static_cast<BYTE>(bits);
  b[8] = static_cast<BYTE>(w - 1);
  b[9] = static_cast<BYTE>((w - 1) >> 8);
  b[10] = static_cast<BYTE>(h - 1);
  b[11] = static_cast<BYTE>((h - 1) >> 8);
  b[12] = 72;
  b[14] = 72;
  for (size_t i = 0; i < palette16.size() && i < 48; ++i) b[16 + i] = palette16[i];
  b[65] = static_cast<BYTE>(planes);
  b[66] = static_cast<BYTE>(bytesPerLine);
  b[67] = static_cast<BYTE>(bytesPerLine >> 8);
  return b;
}

}  // namespace

TEST(CodecTga, SixteenBitsRepeatTheirHighBits) {
  Bytes f = TgaHeader(2, 2, 1, 16);
  Put16(f, (31u << 10) | (1u << 5) | 2u);
  Put16(f, 0x7FFF);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA)) << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 24);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 8, 16));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(255, 255, 255));
}

TEST(CodecTga, TopToBottomAndRightToLeft) {
  // 2 x 2, 24 bits, first file line red then green / blue then white.
  const Bytes px = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
  CBaseImage img;
  Bytes f = TgaHeader(2, 2, 2, 24, 0x20, 0, 0, 0, 0, 3);
  Append(f, px);
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA));
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(255, 0, 0));  // the first line is the top one
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(0, 255, 0));
  f = TgaHeader(2, 2, 2, 24, 0x10);
  Append(f, px);
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(255, 0, 0));  // bottom-up and mirrored
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(255, 255, 255));
}

TEST(CodecTga, RunLengthPacketsSpanLines) {
  // 3 x 2 grey: a run of 4 (crossing the line end), then a raw packet of 2.
  Bytes f = TgaHeader(11, 3, 2, 8);
  Append(f, {0x83, 7, 0x01, 8, 9});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA)) << img.GetLastError();
  EXPECT_TRUE(img.IsGrayScale());
  const BYTE expect[2][3] = {{7, 7, 7}, {7, 8, 9}};
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 3; ++x) EXPECT_EQ(img.GetPixelIndex(x, y), expect[y][x]) << x << "," << y;
  // A raw packet crossing the line end continues on the next line.
  f = TgaHeader(10, 2, 2, 24);
  Append(f, {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0x80, 4, 4, 4});
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA));
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(3, 3, 3));
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(4, 4, 4));
}

TEST(CodecTga, ColourMapsByEntrySizeAndFirstIndex) {
  // 16-bit entries starting at index 2; pixels use indexes 2 and 3.
  Bytes f = TgaHeader(1, 2, 1, 8, 0, 1, 2, 2, 16);
  Put16(f, 31u << 10);
  Put16(f, 31u);
  Append(f, {2, 3});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA)) << img.GetLastError();
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(0, 0, 255));
  // 32-bit entries; a true-colour picture skips its colour map.
  f = TgaHeader(1, 1, 1, 8, 0, 1, 0, 1, 32);
  Append(f, {10, 20, 30, 40, 0});
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(30, 20, 10));
  f = TgaHeader(2, 1, 1, 24, 0, 1, 0, 2, 24);
  Append(f, {9, 9, 9, 9, 9, 9, 1, 2, 3});
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_TGA));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(3, 2, 1));
}

TEST(CodecTga, EncoderRoundTrips) {
  CBaseImage rgb;
  MakePattern(rgb, 7, 5);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(rgb, CODEC_FORMAT_TGA), CODEC_FORMAT_TGA));
  EXPECT_TRUE(SameColors(rgb, back));
  ASSERT_TRUE(rgb.AlphaCreate());
  rgb.AlphaSet(3, 4, 9);
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(rgb, CODEC_FORMAT_TGA), CODEC_FORMAT_TGA));
  EXPECT_TRUE(SameColors(rgb, back));
  EXPECT_EQ(back.AlphaGet(3, 4), 9);
  CBaseImage pal(6, 3, 8, 0);
  for (int i = 0; i < 256; ++i) pal.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i), 0, static_cast<BYTE>(i / 2));
  for (long x = 0; x < 6; ++x) pal.SetPixelIndex(x, 1, static_cast<BYTE>(x * 40));
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(pal, CODEC_FORMAT_TGA), CODEC_FORMAT_TGA));
  EXPECT_TRUE(SameColors(pal, back));
  CBaseImage one(4, 4, 1, 0);
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(one.Encode(buffer, size, CODEC_FORMAT_TGA));
  EXPECT_STREQ(one.GetLastError(), "Bit depth must be 8 or 24");
  // Saved to a file, the refusal leaves no file behind.
  const auto path = qmtest::MakeTempDir("tga-refused") / "one.tga";
  EXPECT_FALSE(one.Save(path.c_str(), CODEC_FORMAT_TGA));
  EXPECT_STREQ(one.GetLastError(), "Bit depth must be 8 or 24");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CodecTga, BadFiles) {
  struct Case {
    Bytes file;
    const char* error;
  } cases[] = {
      {{1, 2, 3}, "Not a TGA"},
      {TgaHeader(4, 1, 1, 24), "Unknown TGA image type"},
      {TgaHeader(2, 0, 1, 24), "bad TGA header"},
      {TgaHeader(2, 1, 1, 12), "bad TGA header"},
      {TgaHeader(1, 1, 1, 16, 0, 1, 0, 2, 24), "bad TGA header"},
      {TgaHeader(1, 1, 1, 8, 0, 1, 0, 300, 24), "bad TGA header"},
      {TgaHeader(1, 1, 1, 8, 0, 1, 0, 2, 20), "bad TGA header"},
      {TgaHeader(2, 100, 100, 24), "corrupted TGA"},
      {TgaHeader(10, 1000, 1000, 24), "corrupted TGA"},
  };
  for (const Case& c : cases) {
    CBaseImage img;
    EXPECT_FALSE(DecodeFrom(img, c.file, CODEC_FORMAT_TGA)) << c.error;
    EXPECT_STREQ(img.GetLastError(), c.error);
  }
  // Run-length data that ends early fails at the next line.
  Bytes f = TgaHeader(10, 4, 4, 24);
  Append(f, {0x83, 1, 2, 3, 0x83, 1, 2, 3, 0x81, 1, 2, 3});
  CBaseImage img;
  EXPECT_FALSE(DecodeFrom(img, f, CODEC_FORMAT_TGA));
  EXPECT_STREQ(img.GetLastError(), "corrupted TGA");
}

TEST(CodecPcx, FourPlanesOfOneBit) {
  // 8 x 1: plane p carries bit p of each index; indexes 0..7 and 15.
  Bytes pal16;
  for (int i = 0; i < 16; ++i) Append(pal16, {static_cast<BYTE>(i * 16), static_cast<BYTE>(255 - i), 7});
  Bytes f = PcxHeader(1, 8, 1, 4, 2, pal16);
  // Planes (bits 0..3) of indexes 0,1,2,3,4,5,6,15 (MSB = x 0).
  Append(f, {0x55, 0, 0x33, 0, 0x0F, 0, 0x01, 0});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_PCX)) << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 4);
  const BYTE expect[8] = {0, 1, 2, 3, 4, 5, 6, 15};
  for (long x = 0; x < 8; ++x) EXPECT_EQ(img.GetPixelIndex(x, 0), expect[x]) << x;
  EXPECT_EQ(ColorAt(img, 7, 0), RGB(240, 240, 7));
  EXPECT_EQ(img.GetXDPI(), 72);
}

TEST(CodecPcx, EightBitPaletteAndRuns) {
  Bytes f = PcxHeader(8, 5, 2, 1, 6);
  // Row 0 (top): a run of 5 of value 0xC8 (always a run) and a pad byte;
  // row 1: literals.
  Append(f, {0xC5, 0xC8, 0, 1, 2, 3, 4, 5, 0});
  Bytes pal = {12};
  for (int i = 0; i < 256; ++i) Append(pal, {static_cast<BYTE>(i), 1, 2});
  Append(f, pal);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_PCX)) << img.GetLastError();
  EXPECT_EQ(img.GetPixelIndex(4, 1), 0xC8);
  EXPECT_EQ(img.GetPixelIndex(4, 0), 5);
  EXPECT_EQ(ColorAt(img, 4, 1), RGB(0xC8, 1, 2));
  // Without the signature byte.
  f[f.size() - pal.size()] = 11;
  EXPECT_FALSE(DecodeFrom(img, f, CODEC_FORMAT_PCX));
  EXPECT_STREQ(img.GetLastError(), "bad color map signature");
}

TEST(CodecPcx, EncoderRoundTrips) {
  CBaseImage rgb;
  MakePattern(rgb, 9, 4);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(rgb, CODEC_FORMAT_PCX), CODEC_FORMAT_PCX)) << back.GetLastError();
  EXPECT_TRUE(SameColors(rgb, back));
  ASSERT_TRUE(rgb.AlphaCreate());
  rgb.AlphaSet(1, 1, 3);
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(rgb, CODEC_FORMAT_PCX), CODEC_FORMAT_PCX));
  EXPECT_EQ(back.AlphaGet(1, 1), 3);
  for (DWORD bpp : {1u, 4u, 8u}) {
    CBaseImage pal(11, 3, bpp, 0);
    for (DWORD i = 0; i < pal.GetNumColors(); ++i)
      pal.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(255 - i * 16), static_cast<BYTE>(i), 0);
    if (bpp == 1) {
      // White first: written darker colour first, the bits inverted.
      pal.SetPaletteColor(0, 255, 255, 255);
      pal.SetPaletteColor(1, 0, 0, 0);
    }
    for (long y = 0; y < 3; ++y)
      for (long x = 0; x < 11; ++x) pal.SetPixelIndex(x, y, static_cast<BYTE>((x + y) % pal.GetNumColors()));
    ASSERT_TRUE(DecodeFrom(back, EncodeTo(pal, CODEC_FORMAT_PCX), CODEC_FORMAT_PCX)) << bpp;
    EXPECT_TRUE(SameColors(pal, back)) << bpp;
  }
}

TEST(CodecPcx, OneBitPicturesKeepTheirTwoColours) {
  // Written with the two colours in the header, darker first; read back
  // from it. Files whose header holds no colours (all black) or the
  // standard EGA table are black and white.
  struct Case {
    COLORREF c0, c1;
    BYTE firstByte;  // the top row's first pixels as written
  } cases[] = {
      {RGB(200, 30, 30), RGB(20, 20, 120), 0x50},  // brighter first: inverted
      {RGB(0, 90, 0), RGB(250, 240, 0), 0xA8},
      {RGB(0, 0, 0), RGB(255, 255, 255), 0xA8},
      {RGB(40, 50, 60), RGB(40, 50, 60), 0xC2},  // one colour: every pixel 0 (a run of two 0 bytes)
  };
  for (const Case& c : cases) {
    CBaseImage img(5, 2, 1, 0);
    img.SetPaletteColor(0, GetRValue(c.c0), GetGValue(c.c0), GetBValue(c.c0));
    img.SetPaletteColor(1, GetRValue(c.c1), GetGValue(c.c1), GetBValue(c.c1));
    for (long x = 0; x < 5; ++x) {
      img.SetPixelIndex(x, 1, static_cast<BYTE>(x % 2 == 0));
      img.SetPixelIndex(x, 0, static_cast<BYTE>(x < 2));
    }
    const Bytes file = EncodeTo(img, CODEC_FORMAT_PCX);
    const bool brighterFirst = GetRValue(c.c0) + GetGValue(c.c0) + GetBValue(c.c0) >
                               GetRValue(c.c1) + GetGValue(c.c1) + GetBValue(c.c1);
    const COLORREF dark = brighterFirst ? c.c1 : c.c0, light = brighterFirst ? c.c0 : c.c1;
    EXPECT_EQ(RGB(file[16], file[17], file[18]), dark);
    EXPECT_EQ(RGB(file[19], file[20], file[21]), light);
    EXPECT_EQ(file[128], c.firstByte) << std::hex << c.c0;
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_PCX)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), 1);
    EXPECT_TRUE(SameColors(img, back)) << std::hex << c.c0;
  }
  // Bits 1 0 under a header without colours, or with the EGA table.
  for (const Bytes& table : {Bytes{}, Bytes{0, 0, 0, 0, 0, 170, 0, 170, 0}}) {
    Bytes f = PcxHeader(1, 2, 1, 1, 2, table);
    Append(f, {0x80, 0});
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, f, CODEC_FORMAT_PCX)) << img.GetLastError();
    EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(ColorAt(img, 1, 0), RGB(0, 0, 0));
  }
}

TEST(CodecPcx, BadFiles) {
  Bytes notPcx = PcxHeader(8, 2, 2, 1, 2);
  notPcx[0] = 9;
  Bytes enc = PcxHeader(8, 2, 2, 1, 2);
  enc[2] = 0;
  Bytes spans = PcxHeader(8, 2, 1, 1, 2);
  Append(spans, {0xC5, 1});
  struct Case {
    Bytes file;
    const char* error;
  } cases[] = {
      {Bytes(60, 10), "Can't read PCX image"},
      {notPcx, "Error: Not a PCX file"},
      {enc, "PCX file has unknown encoding scheme"},
      {PcxHeader(1, 2, 2, 5, 2), "Can't handle image with more than 4 planes"},
      {PcxHeader(8, 20, 2, 1, 8), "PCX bytes per line too small for the width"},
      {PcxHeader(1, 20, 2, 4, 2), "PCX bytes per line too small for the width"},
      {PcxHeader(2, 4, 2, 2, 2), "Can't handle more than 1 bit per pixel"},
      {PcxHeader(8, 100, 100, 1, 100), "corrupted PCX"},
      {spans, "repeat count spans end of image"},
  };
  for (const Case& c : cases) {
    CBaseImage img;
    EXPECT_FALSE(DecodeFrom(img, c.file, CODEC_FORMAT_PCX)) << c.error;
    EXPECT_STREQ(img.GetLastError(), c.error);
  }
}

TEST(CodecWbmp, RoundTripAndBadFiles) {
  CBaseImage img(10, 3, 1, 0);
  img.SetGrayPalette();
  for (long x = 0; x < 10; x += 3) img.SetPixelIndex(x, 2, 1);
  const Bytes file = EncodeTo(img, CODEC_FORMAT_WBMP);
  EXPECT_EQ(file.size(), 4u + 2 * 3);
  EXPECT_EQ(file[4], 0x92);  // the top row first, most significant bit first
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_WBMP));
  EXPECT_TRUE(SameColors(img, back));

  EXPECT_FALSE(DecodeFrom(back, Bytes{1, 0, 2, 2, 0, 0}, CODEC_FORMAT_WBMP));
  EXPECT_STREQ(back.GetLastError(), "Unsupported WBMP type");
  EXPECT_FALSE(DecodeFrom(back, Bytes{0, 0, 2}, CODEC_FORMAT_WBMP));
  EXPECT_STREQ(back.GetLastError(), "Not a WBMP");
  EXPECT_FALSE(DecodeFrom(back, Bytes{0, 0, 0, 2}, CODEC_FORMAT_WBMP));
  EXPECT_STREQ(back.GetLastError(), "Corrupted WBMP");
  // Every row must be there.
  EXPECT_FALSE(DecodeFrom(back, Bytes{0, 0, 9, 3, 1, 2, 3, 4, 5}, CODEC_FORMAT_WBMP));
  EXPECT_STREQ(back.GetLastError(), "Corrupted WBMP");
  // A size that goes on past 32 bits.
  EXPECT_FALSE(DecodeFrom(back, Bytes{0, 0, 0x9F, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0}, CODEC_FORMAT_WBMP));
  EXPECT_STREQ(back.GetLastError(), "Corrupted WBMP");

  CBaseImage deep(3, 3, 8, 0);
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(deep.Encode(buffer, size, CODEC_FORMAT_WBMP));
  EXPECT_STREQ(deep.GetLastError(), "Can't save this image as WBMP");
}

TEST(CodecWbmp, SizesAreMultiByteIntegers) {
  // Seven bits a byte, the top bit on all bytes but the last: 200 is
  // 0x81 0x48, 16384 is 0x81 0x80 0x00.
  struct Case {
    DWORD w, h;
    Bytes header;
  } cases[] = {
      {127, 2, {0, 0, 0x7F, 0x02}},
      {200, 3, {0, 0, 0x81, 0x48, 0x03}},
      {9, 16384, {0, 0, 0x09, 0x81, 0x80, 0x00}},
  };
  for (const Case& c : cases) {
    CBaseImage img(c.w, c.h, 1, 0);
    img.SetGrayPalette();
    for (long y = 0; y < static_cast<long>(c.h); y += 7)
      for (long x = 0; x < static_cast<long>(c.w); x += 3) img.SetPixelIndex(x, y, 1);
    const Bytes file = EncodeTo(img, CODEC_FORMAT_WBMP);
    ASSERT_GE(file.size(), c.header.size());
    EXPECT_EQ(Bytes(file.begin(), file.begin() + static_cast<long>(c.header.size())), c.header) << c.w;
    EXPECT_EQ(file.size(), c.header.size() + (c.w + 7) / 8 * c.h);
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_WBMP)) << back.GetLastError();
    EXPECT_EQ(back.GetWidth(), c.w);
    EXPECT_EQ(back.GetHeight(), c.h);
    EXPECT_TRUE(SameColors(img, back)) << c.w;
  }
}
