// Icons of the codec layer: masks, transparency, alpha and the encoder.
#include <gtest/gtest.h>

#include "codec_helpers.h"
#include "image/codec/CodecICO.h"

using namespace codectest;

namespace {

Bytes IconFile(int w, int h, int bits, const Bytes& palette, DWORD clrUsed, const Bytes& xorData, const Bytes& andData,
               int count = 1) {
  Bytes body = InfoHeader(w, 2 * h, bits, BI_RGB, clrUsed);
  Append(body, palette);
  Append(body, xorData);
  Append(body, andData);
  Bytes f;
  Put16(f, 0);
  Put16(f, 1);
  Put16(f, static_cast<unsigned>(count));
  for (int i = 0; i < count; ++i) {
    f.push_back(static_cast<BYTE>(w));
    f.push_back(static_cast<BYTE>(h));
    f.push_back(0);
    f.push_back(0);
    Put16(f, 1);
    Put16(f, static_cast<unsigned>(bits));
    Put32(f, static_cast<unsigned>(body.size()));
    Put32(f, static_cast<unsigned>(6 + 16 * count));
  }
  Append(f, body);
  return f;
}

Bytes Pal16() {
  Bytes p;
  for (int i = 0; i < 16; ++i) Append(p, {static_cast<BYTE>(i * 16), static_cast<BYTE>(i * 8), static_cast<BYTE>(255 - i), 0});
  return p;
}

// 4 x 4 mask rows (4 bytes each, bottom row first) with the border set.
Bytes BorderMask() {
  return {0xF0, 0, 0, 0, 0x90, 0, 0, 0, 0x90, 0, 0, 0, 0xF0, 0, 0, 0};
}

}  // namespace

TEST(CodecIco, MaskedBorderTakesTheFirstUnusedIndex) {
  // Every pixel uses index 1 or 2 (the inner four are 2).
  const Bytes xorData = {0x11, 0x11, 0, 0, 0x12, 0x21, 0, 0, 0x12, 0x21, 0, 0, 0x11, 0x11, 0, 0};
  for (DWORD clrUsed : {16u, 0u}) {  // 0 stands for all 16 entries
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, IconFile(4, 4, 4, Pal16(), clrUsed, xorData, BorderMask()), CODEC_FORMAT_UNKNOWN))
        << img.GetLastError();
    EXPECT_EQ(img.GetType(), static_cast<DWORD>(CODEC_FORMAT_ICO));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetTransIndex(), 0);
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 2);
    EXPECT_EQ(ColorAt(img, 1, 1), RGB(253, 16, 32));
  }
}

TEST(CodecIco, AllOnesMaskInvertsThePicture) {
  const Bytes xorData = {0x10, 0, 0, 0};
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, IconFile(2, 1, 4, Pal16(), 16, xorData, {0xFF, 0xFF, 0xFF, 0xFF}), CODEC_FORMAT_ICO));
  EXPECT_EQ(img.GetTransIndex(), 0);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(255 - 254, 255 - 8, 255 - 16));
}

TEST(CodecIco, TrueColourMasks) {
  // 24 bits, 2 x 1: the masked pixel's colour becomes the transparent colour.
  const Bytes xorData = {1, 2, 3, 4, 5, 6, 0, 0};
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, IconFile(2, 1, 24, {}, 0, xorData, {0x80, 0, 0, 0}), CODEC_FORMAT_ICO));
  EXPECT_EQ(img.GetTransIndex(), 0);
  EXPECT_FALSE(img.AlphaIsValid());
  EXPECT_EQ(img.GetTransColor().rgbRed, 3);
  // Two masked pixels of different colours keep an alpha plane.
  const Bytes xor3 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
  ASSERT_TRUE(DecodeFrom(img, IconFile(3, 1, 24, {}, 0, xor3, {0xA0, 0, 0, 0}), CODEC_FORMAT_ICO));
  ASSERT_TRUE(img.AlphaIsValid());
  EXPECT_EQ(img.AlphaGet(0, 0), 0);
  EXPECT_EQ(img.AlphaGet(1, 0), 255);
  EXPECT_EQ(img.AlphaGet(2, 0), 0);
  // 32 bits: the fourth byte is alpha and masked pixels are transparent.
  const Bytes xor32 = {1, 2, 3, 128, 4, 5, 6, 255};
  ASSERT_TRUE(DecodeFrom(img, IconFile(2, 1, 32, {}, 0, xor32, {0x40, 0, 0, 0}), CODEC_FORMAT_ICO));
  EXPECT_EQ(img.GetBpp(), 24);
  EXPECT_EQ(img.AlphaGet(0, 0), 128);
  EXPECT_EQ(img.AlphaGet(1, 0), 0);
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(6, 5, 4));
}

TEST(CodecIco, FramesAndBadEntries) {
  const Bytes xorData = {0x11, 0, 0, 0};
  const Bytes ico = IconFile(2, 1, 4, Pal16(), 16, xorData, {0, 0, 0, 0});
  CBaseImage img;
  img.SetFrame(1);
  EXPECT_FALSE(DecodeFrom(img, ico, CODEC_FORMAT_ICO));
  EXPECT_EQ(img.GetNumFrames(), 1);
  // A PNG-compressed entry that is no PNG fails, naming the PNG reader's cause.
  Bytes png = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0, 60, 0, 0, 0, 22, 0, 0, 0,
               0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  png.resize(png.size() + 60, 0);
  CBaseImage p;
  EXPECT_FALSE(DecodeFrom(p, png, CODEC_FORMAT_ICO));
  EXPECT_STRNE(p.GetLastError(), "");
  // Truncated pixel data, and an entry pointing past the end.
  CBaseImage t;
  EXPECT_FALSE(DecodeFrom(t, IconFile(32, 32, 8, {}, 256, {}, {}), CODEC_FORMAT_ICO));
  Bytes far = ico;
  far[18] = 0xFF;
  EXPECT_FALSE(DecodeFrom(t, far, CODEC_FORMAT_ICO));
  EXPECT_STREQ(t.GetLastError(), "icon image lies past the end of the file");
  // A directory that claims more entries than the file holds.
  Bytes many = ico;
  many[4] = 0xFF;
  many[5] = 0xFF;
  EXPECT_FALSE(DecodeFrom(t, many, CODEC_FORMAT_ICO));
}

TEST(CodecIco, PngEntriesAreDecoded) {
  // A 256-pixel icon stored as a whole PNG file, with alpha.
  CBaseImage rgb;
  MakePattern(rgb, 5, 3);
  ASSERT_TRUE(rgb.AlphaCreate());
  rgb.AlphaSet(1, 2, 40);
  const Bytes body = EncodeTo(rgb, CODEC_FORMAT_PNG);
  Bytes ico = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0};
  Put32(ico, static_cast<unsigned>(body.size()));
  Put32(ico, 22);
  Append(ico, body);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, ico, CODEC_FORMAT_ICO)) << img.GetLastError();
  EXPECT_EQ(img.GetType(), static_cast<DWORD>(CODEC_FORMAT_ICO));
  EXPECT_EQ(img.GetNumFrames(), 1);
  EXPECT_TRUE(SameColors(rgb, img));
  EXPECT_EQ(img.AlphaGet(1, 2), 40);
}

TEST(CodecIco, SizeByteZeroMeans256) {
  const Bytes xorData(256 * 32, 0xAA);
  const Bytes mask(256 * 32, 0);
  Bytes ico = IconFile(256, 256, 1, {0, 0, 0, 0, 255, 255, 255, 0}, 2, xorData, mask);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, ico, CODEC_FORMAT_ICO)) << img.GetLastError();
  EXPECT_EQ(img.GetWidth(), 256u);
  EXPECT_EQ(img.GetHeight(), 256u);
  EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
}

TEST(CodecIco, EncoderWritesMasks) {
  // An 8-bit picture with a transparent index, and a 24-bit one with alpha.
  CBaseImage img(5, 3, 8, 0);
  for (int i = 0; i < 256; ++i) img.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i), 0, static_cast<BYTE>(255 - i));
  for (long y = 0; y < 3; ++y)
    for (long x = 0; x < 5; ++x) img.SetPixelIndex(x, y, static_cast<BYTE>(x == 2 ? 7 : 1 + x + y));
  img.SetTransIndex(7);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(img, CODEC_FORMAT_ICO), CODEC_FORMAT_ICO));
  EXPECT_EQ(back.GetBpp(), 8);
  EXPECT_TRUE(back.IsTransparent());
  EXPECT_EQ(back.GetPixelIndex(2, 1), back.GetTransIndex());
  EXPECT_EQ(ColorAt(back, 0, 0), ColorAt(img, 0, 0));

  CBaseImage rgb;
  MakePattern(rgb, 4, 4);
  ASSERT_TRUE(rgb.AlphaCreate());
  rgb.AlphaSet(1, 2, 0);
  rgb.AlphaSet(3, 3, 100);
  CBaseImage back32;
  ASSERT_TRUE(DecodeFrom(back32, EncodeTo(rgb, CODEC_FORMAT_ICO), CODEC_FORMAT_ICO));
  EXPECT_TRUE(SameColors(rgb, back32));
  EXPECT_EQ(back32.AlphaGet(1, 2), 0);
  EXPECT_EQ(back32.AlphaGet(3, 3), 100);

  CBaseImage big(300, 2, 24, 0);
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(big.Encode(buffer, size, CODEC_FORMAT_ICO));
  EXPECT_STREQ(big.GetLastError(), "Can't save this image as icon");
}

TEST(CodecLoad, EachRefusalNamesItsCause) {
  // Loaded by name with the format given, as CImage loads codec files.
  Bytes cutTable = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x87, 0, 0, 1, 2, 3};
  Bytes noImage = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x00, 0, 0, ';'};
  Bytes farIcon = IconFile(2, 1, 4, Pal16(), 16, {0x11, 0, 0, 0}, {0, 0, 0, 0});
  farIcon[18] = 0xFF;
  struct Case {
    const char* name;
    const Bytes* bytes;
    DWORD type;
    const char* cause;
  };
  const Case cases[] = {
      {"cut.gif", &cutTable, CODEC_FORMAT_GIF, "GIF colour table runs past the end of the file"},
      {"empty.gif", &noImage, CODEC_FORMAT_GIF, "GIF file holds no image"},
      {"far.ico", &farIcon, CODEC_FORMAT_ICO, "icon image lies past the end of the file"},
  };
  const auto dir = qmtest::MakeTempDir("codec-load-causes");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qmtest::WriteAll(dir / c.name, *c.bytes);
    CBaseImage img;
    EXPECT_FALSE(img.Load((dir / c.name).c_str(), c.type));
    EXPECT_STREQ(img.GetLastError(), c.cause);
  }
}
