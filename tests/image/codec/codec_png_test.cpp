// PNG decoding and encoding of the codec layer.
#include <gtest/gtest.h>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <functional>

#include "codec_helpers.h"

using namespace codectest;

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

// A PNG written by libpng itself. `setup` adds chunks before the header is
// written; rows are given top first.
Bytes LibPng(int w, int h, int depth, int colorType, const std::vector<Bytes>& rows,
             const std::function<void(png_structp, png_infop)>& setup = nullptr, int interlace = PNG_INTERLACE_NONE) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng failed";
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth, colorType, interlace,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (setup) setup(png, info);
  png_write_info(png, info);
  const int passes = interlace ? png_set_interlace_handling(png) : 1;
  for (int p = 0; p < passes; ++p)
    for (const Bytes& r : rows) png_write_row(png, const_cast<BYTE*>(r.data()));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

struct Chunks {
  bool hasPhys = false, hasBkgd = false;
  png_uint_32 physX = 0, physY = 0;
  int physUnit = -1;
  png_color_16 bkgd{};
  int colorType = -1, bitDepth = -1, interlace = -1;
};

void ReadFromVector(png_structp png, png_bytep data, png_size_t n) {
  auto* in = static_cast<std::pair<const Bytes*, size_t>*>(png_get_io_ptr(png));
  std::memcpy(data, in->first->data() + in->second, n);
  in->second += n;
}

Chunks ReadChunks(const Bytes& file) {
  Chunks c;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::pair<const Bytes*, size_t> src(&file, 0);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return c;
  }
  png_set_read_fn(png, &src, ReadFromVector);
  png_read_info(png, info);
  c.colorType = png_get_color_type(png, info);
  c.bitDepth = png_get_bit_depth(png, info);
  c.interlace = png_get_interlace_type(png, info);
  c.hasPhys = png_get_pHYs(png, info, &c.physX, &c.physY, &c.physUnit) != 0;
  png_color_16p b = nullptr;
  if (png_get_bKGD(png, info, &b)) {
    c.hasBkgd = true;
    c.bkgd = *b;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return c;
}

}  // namespace

TEST(CodecPng, TrueColourRoundTripWithItsChunks) {
  CBaseImage img;
  MakePattern(img, 19, 11);
  const Bytes file = EncodeTo(img, CODEC_FORMAT_PNG);
  const Chunks c = ReadChunks(file);
  EXPECT_EQ(c.colorType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(c.bitDepth, 8);
  EXPECT_EQ(c.interlace, PNG_INTERLACE_NONE);
  ASSERT_TRUE(c.hasPhys);
  EXPECT_EQ(c.physX, 3780u);
  EXPECT_EQ(c.physY, 3780u);
  EXPECT_EQ(c.physUnit, PNG_RESOLUTION_METER);
  ASSERT_TRUE(c.hasBkgd);
  EXPECT_EQ(c.bkgd.red, 255);
  EXPECT_EQ(c.bkgd.blue, 255);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_PNG)) << back.GetLastError();
  EXPECT_EQ(back.GetBpp(), 24);
  EXPECT_EQ(back.GetXDPI(), 96);
  EXPECT_EQ(back.GetCodecOption(CODEC_FORMAT_PNG), 0u);
  EXPECT_TRUE(SameColors(img, back));
}

TEST(CodecPng, InterlacedRoundTrip) {
  CBaseImage img;
  MakePattern(img, 23, 13);
  img.SetCodecOption(1, CODEC_FORMAT_PNG);
  img.SetXDPI(300);
  const Bytes file = EncodeTo(img, CODEC_FORMAT_PNG);
  EXPECT_EQ(ReadChunks(file).interlace, PNG_INTERLACE_ADAM7);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_PNG)) << back.GetLastError();
  EXPECT_EQ(back.GetCodecOption(CODEC_FORMAT_PNG), 1u);
  EXPECT_EQ(back.GetXDPI(), 300);
  EXPECT_TRUE(SameColors(img, back));
  // An interlaced RGBA picture merges its passes with the alpha plane.
  ASSERT_TRUE(img.AlphaCreate());
  for (long y = 0; y < 13; ++y)
    for (long x = 0; x < 23; ++x) img.AlphaSet(x, y, static_cast<BYTE>(x * 10 + y));
  CBaseImage backA;
  ASSERT_TRUE(DecodeFrom(backA, EncodeTo(img, CODEC_FORMAT_PNG), CODEC_FORMAT_PNG));
  ASSERT_TRUE(backA.AlphaIsValid());
  EXPECT_TRUE(SameColors(img, backA));
  EXPECT_EQ(backA.AlphaGet(7, 5), 75);
}

TEST(CodecPng, SixteenBitSamplesAreStripped) {
  std::vector<Bytes> rgb = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}, {0, 0, 0x80, 0x01, 0x7F, 0xFF}};
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibPng(1, 2, 16, PNG_COLOR_TYPE_RGB, rgb), CODEC_FORMAT_PNG)) << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 24);
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(0x12, 0xAB, 0xFF));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(0, 0x80, 0x7F));
  std::vector<Bytes> grey = {{0xAB, 0xCD, 0x01, 0x02}};
  ASSERT_TRUE(DecodeFrom(img, LibPng(2, 1, 16, PNG_COLOR_TYPE_GRAY, grey), CODEC_FORMAT_PNG));
  EXPECT_EQ(img.GetBpp(), 8);
  EXPECT_TRUE(img.IsGrayScale());
  EXPECT_EQ(img.GetPixelIndex(0, 0), 0xAB);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 0x01);
}

TEST(CodecPng, TwoBitGreyWidensToFourBits) {
  // 5 pixels: 0, 1, 2, 3, 2.
  std::vector<Bytes> rows = {{0x1B, 0x80}, {0xE4, 0x00}};
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibPng(5, 2, 2, PNG_COLOR_TYPE_GRAY, rows), CODEC_FORMAT_PNG)) << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 4);
  const BYTE top[5] = {0, 1, 2, 3, 2}, bottom[5] = {3, 2, 1, 0, 0};
  for (long x = 0; x < 5; ++x) {
    EXPECT_EQ(img.GetPixelIndex(x, 1), top[x]);
    EXPECT_EQ(img.GetPixelIndex(x, 0), bottom[x]);
  }
  EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 85);
  EXPECT_EQ(img.GetPaletteColor(2).rgbGreen, 170);
  EXPECT_EQ(img.GetPaletteColor(3).rgbBlue, 255);
  // Interlaced as well.
  std::vector<Bytes> tall;
  for (int y = 0; y < 9; ++y) tall.push_back({static_cast<BYTE>(y * 0x1B), 0x40});
  CBaseImage il;
  ASSERT_TRUE(
      DecodeFrom(il, LibPng(5, 9, 2, PNG_COLOR_TYPE_GRAY, tall, nullptr, PNG_INTERLACE_ADAM7), CODEC_FORMAT_PNG));
  for (long y = 0; y < 9; ++y)
    for (long x = 0; x < 4; ++x) EXPECT_EQ(il.GetPixelIndex(x, 8 - y), (y * 0x1B >> (6 - 2 * x)) & 3) << x << "," << y;
}

TEST(CodecPng, PaletteTransparency) {
  std::vector<Bytes> rows = {{0, 1, 2}};
  auto withTrns = [](std::vector<png_byte> trans) {
    return [trans](png_structp png, png_infop info) {
      static png_color pal[3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
      png_set_PLTE(png, info, pal, 3);
      png_set_tRNS(png, info, trans.data(), static_cast<int>(trans.size()), nullptr);
    };
  };
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibPng(3, 1, 8, PNG_COLOR_TYPE_PALETTE, rows, withTrns({0})), CODEC_FORMAT_PNG))
      << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 8);
  EXPECT_EQ(img.GetTransIndex(), 0);
  EXPECT_FALSE(img.IsAlphaPaletteEnabled());
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(40, 50, 60));
  ASSERT_TRUE(DecodeFrom(img, LibPng(3, 1, 8, PNG_COLOR_TYPE_PALETTE, rows, withTrns({255, 128})), CODEC_FORMAT_PNG));
  EXPECT_EQ(img.GetTransIndex(), -1);
  EXPECT_TRUE(img.IsAlphaPaletteEnabled());
  EXPECT_EQ(img.GetPaletteColor(1).rgbReserved, 128);
  EXPECT_EQ(img.GetPaletteColor(2).rgbReserved, 255);
}

TEST(CodecPng, TransparentColourIsFlattenedAtEveryDepth) {
  // Grey and colour pictures with a transparent colour (tRNS), the first
  // pixel transparent and the second opaque: the first becomes light grey
  // 192 whatever the depth, or the file's background colour.
  auto trns = [](int grey, int r, int g, int b, int bkgdGrey, int bkgdR) {
    return [=](png_structp png, png_infop info) {
      png_color_16 t{};
      t.gray = static_cast<png_uint_16>(grey);
      t.red = static_cast<png_uint_16>(r);
      t.green = static_cast<png_uint_16>(g);
      t.blue = static_cast<png_uint_16>(b);
      png_set_tRNS(png, info, nullptr, 0, &t);
      if (bkgdGrey >= 0) {
        png_color_16 back{};
        back.gray = static_cast<png_uint_16>(bkgdGrey);
        back.red = back.green = back.blue = static_cast<png_uint_16>(bkgdR);
        png_set_bKGD(png, info, &back);
      }
    };
  };
  struct Case {
    int depth, colorType;
    Bytes row;
    int tGrey, tR, tG, tB;
    COLORREF opaque;
  } cases[] = {
      {2, PNG_COLOR_TYPE_GRAY, {0x1C}, 1, 0, 0, 0, RGB(255, 255, 255)},  // pixels 0 1 3 0
      {8, PNG_COLOR_TYPE_GRAY, {7, 200}, 7, 0, 0, 0, RGB(200, 200, 200)},
      {16, PNG_COLOR_TYPE_GRAY, {0x12, 0x34, 0xC8, 0}, 0x1234, 0, 0, 0, RGB(200, 200, 200)},
      {8, PNG_COLOR_TYPE_RGB, {1, 2, 3, 10, 20, 30}, 0, 1, 2, 3, RGB(10, 20, 30)},
      {16, PNG_COLOR_TYPE_RGB, {1, 1, 2, 2, 3, 3, 10, 0, 20, 0, 30, 0}, 0, 0x101, 0x202, 0x303, RGB(10, 20, 30)},
  };
  for (const Case& c : cases) {
    for (bool withBackground : {false, true}) {
      SCOPED_TRACE(::testing::Message() << c.depth << "-bit type " << c.colorType << (withBackground ? " bKGD" : ""));
      // A background colour in the file's own levels: full or 80 of 255.
      const int top = (1 << c.depth) - 1;
      const int bkgd = withBackground ? (c.depth == 2 ? 1 : 80 * top / 255) : -1;
      const int pixels = c.depth == 2 ? 4 : 2;
      CBaseImage img;
      ASSERT_TRUE(DecodeFrom(img, LibPng(pixels, 1, c.depth, c.colorType, {c.row}, trns(c.tGrey, c.tR, c.tG, c.tB, bkgd, bkgd)),
                             CODEC_FORMAT_PNG))
          << img.GetLastError();
      EXPECT_FALSE(img.AlphaIsValid());
      const COLORREF under = !withBackground ? RGB(192, 192, 192) : c.depth == 2 ? RGB(85, 85, 85) : RGB(80, 80, 80);
      if (c.depth == 2) {
        EXPECT_EQ(ColorAt(img, 0, 0), RGB(0, 0, 0));
        EXPECT_EQ(ColorAt(img, 1, 0), under);
        EXPECT_EQ(ColorAt(img, 2, 0), c.opaque);
      } else {
        EXPECT_EQ(ColorAt(img, 0, 0), under);
        EXPECT_EQ(ColorAt(img, 1, 0), c.opaque);
      }
    }
  }
}

TEST(CodecPng, AlphaChannelsKeepTheirAlphaAtEveryDepth) {
  // Grey and colour with alpha, 8 and 16 bits: the alpha plane holds the
  // file's alpha and the colours stay as stored.
  struct Case {
    int depth, colorType;
    Bytes row;
  } cases[] = {
      {8, PNG_COLOR_TYPE_GRAY_ALPHA, {90, 0, 200, 128}},
      {16, PNG_COLOR_TYPE_GRAY_ALPHA, {90, 9, 0, 0, 200, 1, 128, 0}},
      {8, PNG_COLOR_TYPE_RGB_ALPHA, {90, 90, 90, 0, 200, 200, 200, 128}},
      {16, PNG_COLOR_TYPE_RGB_ALPHA, {90, 1, 90, 2, 90, 3, 0, 9, 200, 0, 200, 0, 200, 0, 128, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.depth << "-bit type " << c.colorType);
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, LibPng(2, 1, c.depth, c.colorType, {c.row}), CODEC_FORMAT_PNG)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(ColorAt(img, 0, 0), RGB(90, 90, 90));
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    EXPECT_EQ(ColorAt(img, 1, 0), RGB(200, 200, 200));
    EXPECT_EQ(img.AlphaGet(1, 0), 128);
  }
}

TEST(CodecPng, PaletteTransparencyAndBackground) {
  CBaseImage img;
  // A palette with transparency and a background colour stays palettised,
  // its transparent entry the background index.
  auto palBkgd = [](png_structp png, png_infop info) {
    static png_color pal[2] = {{10, 20, 30}, {40, 50, 60}};
    png_set_PLTE(png, info, pal, 2);
    png_byte trans[1] = {0};
    png_set_tRNS(png, info, trans, 1, nullptr);
    png_color_16 b{};
    b.index = 1;
    png_set_bKGD(png, info, &b);
  };
  ASSERT_TRUE(DecodeFrom(img, LibPng(2, 1, 8, PNG_COLOR_TYPE_PALETTE, {{0, 1}}, palBkgd), CODEC_FORMAT_PNG))
      << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 8);
  EXPECT_EQ(img.GetTransIndex(), 0);
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(40, 50, 60));
}

TEST(CodecPng, AlphaChannelsGiveAnAlphaPlane) {
  std::vector<Bytes> rows = {{10, 20, 30, 40, 50, 60, 70, 255}};
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibPng(2, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA, rows), CODEC_FORMAT_PNG));
  ASSERT_TRUE(img.AlphaIsValid());
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(10, 20, 30));
  EXPECT_EQ(img.AlphaGet(0, 0), 40);
  EXPECT_EQ(img.AlphaGet(1, 0), 255);
  // 16-bit grey with alpha is 32 bits a pixel: expanded to colour with alpha.
  std::vector<Bytes> ga = {{0x80, 0, 0x40, 0}};
  auto bkgd = [](png_structp png, png_infop info) {
    png_color_16 b{};
    b.gray = 0x1234;
    png_set_bKGD(png, info, &b);
  };
  ASSERT_TRUE(DecodeFrom(img, LibPng(1, 1, 16, PNG_COLOR_TYPE_GRAY_ALPHA, ga, bkgd), CODEC_FORMAT_PNG));
  EXPECT_EQ(img.GetBpp(), 24);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(img.AlphaGet(0, 0), 0x40);
}

TEST(CodecPng, PalettisedPicturesAndTransparencyOnWriting) {
  CBaseImage img(4, 2, 4, 0);
  for (int i = 0; i < 16; ++i) img.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i * 10), 5, 5);
  for (long x = 0; x < 4; ++x) {
    img.SetPixelIndex(x, 0, static_cast<BYTE>(x));
    img.SetPixelIndex(x, 1, 3);
  }
  img.SetTransIndex(3);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(img, CODEC_FORMAT_PNG), CODEC_FORMAT_PNG)) << back.GetLastError();
  // The transparent entry was moved to index 0 on writing.
  EXPECT_EQ(back.GetTransIndex(), 0);
  EXPECT_EQ(back.GetPixelIndex(0, 1), 0);
  EXPECT_EQ(back.GetPaletteColor(0).rgbRed, 30);
  // A true-colour picture with a transparent colour is written with alpha.
  CBaseImage rgb;
  MakePattern(rgb, 3, 3);
  rgb.SetTransIndex(0);
  rgb.SetTransColor(CBaseImage::RGBtoRGBQUAD(PatternColor(1, 1)));
  const Bytes file = EncodeTo(rgb, CODEC_FORMAT_PNG);
  EXPECT_FALSE(rgb.AlphaIsValid());  // the temporary plane is gone
  EXPECT_EQ(ReadChunks(file).colorType, PNG_COLOR_TYPE_RGB_ALPHA);
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_PNG));
  EXPECT_EQ(back.AlphaGet(1, 1), 0);
  EXPECT_EQ(back.AlphaGet(0, 0), 255);
}

TEST(CodecPng, BrokenStreams) {
  CBaseImage src;
  MakePattern(src, 30, 30);
  Bytes file = EncodeTo(src, CODEC_FORMAT_PNG);
  Bytes cut(file.begin(), file.begin() + static_cast<long>(file.size() / 2));
  CBaseImage img;
  EXPECT_FALSE(DecodeFrom(img, cut, CODEC_FORMAT_PNG));
  EXPECT_STREQ(img.GetLastError(), "Read Error");
  Bytes bad = file;
  bad[40] ^= 0xFF;  // inside IHDR or IDAT: a CRC error
  EXPECT_FALSE(DecodeFrom(img, bad, CODEC_FORMAT_PNG));
  EXPECT_STRNE(img.GetLastError(), "");
  EXPECT_FALSE(DecodeFrom(img, Bytes{0x89, 'P', 'N', 'G'}, CODEC_FORMAT_PNG));
}
