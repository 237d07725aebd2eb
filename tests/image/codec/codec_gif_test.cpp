// GIF decoding and encoding: true-colour pictures, images composed on the
// screen, animations, interlacing.
#include <gtest/gtest.h>

#include "codec_helpers.h"
#include "image/codec/CodecGIF.h"
#include "tests/image/gif_builder.h"

using namespace codectest;

namespace {

struct GifImage {
  unsigned left, top, width, height;
  BYTE flags;
  size_t start, end;  // the image's bytes from its ',' to after its data
  int control;        // the control block's flags before it, -1 without one
  unsigned delay;
};

struct GifFile {
  unsigned width = 0, height = 0;
  bool globalTable = false;
  int applicationBlocks = 0;  // e.g. the loop count of animations
  std::vector<GifImage> images;
};

// Walks the blocks of a well-formed GIF.
GifFile Parse(const Bytes& b) {
  GifFile g;
  g.width = b[6] | (b[7] << 8);
  g.height = b[8] | (b[9] << 8);
  g.globalTable = (b[10] & 0x80) != 0;
  size_t p = 13 + (g.globalTable ? 3u << ((b[10] & 7) + 1) : 0);
  auto skipBlocks = [&]() {
    while (p < b.size() && b[p] != 0) p += b[p] + 1u;
    ++p;
  };
  int control = -1;
  unsigned delay = 0;
  while (p < b.size()) {
    const BYTE c = b[p];
    if (c == 0x21) {
      if (b[p + 1] == 0xF9) {
        control = b[p + 3];
        delay = b[p + 4] | (b[p + 5] << 8);
      }
      if (b[p + 1] == 0xFF) ++g.applicationBlocks;
      p += 2;
      skipBlocks();
    } else if (c == 0x2C) {
      GifImage im{static_cast<unsigned>(b[p + 1] | (b[p + 2] << 8)), static_cast<unsigned>(b[p + 3] | (b[p + 4] << 8)),
                  static_cast<unsigned>(b[p + 5] | (b[p + 6] << 8)), static_cast<unsigned>(b[p + 7] | (b[p + 8] << 8)),
                  b[p + 9], p, 0, control, delay};
      control = -1;
      delay = 0;
      p += 10;
      if (im.flags & 0x80) p += 3u << ((im.flags & 7) + 1);
      ++p;  // code size
      skipBlocks();
      im.end = p;
      g.images.push_back(im);
    } else {
      break;
    }
  }
  return g;
}

// An 8-bit picture whose index at (x, row from the top) is given.
void MakeIndexed(CBaseImage& img, DWORD w, DWORD h, BYTE (*index)(long x, long top)) {
  ASSERT_TRUE(img.Create(w, h, 8, 0));
  for (int i = 0; i < 256; ++i)
    img.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x) img.SetPixelIndex(x, static_cast<long>(h) - 1 - y, index(x, y));
}

}  // namespace

namespace {

// A picture of many colours (more than 256 when it has more than 256
// pixels).
void MakeRich(CBaseImage& img, DWORD w, DWORD h) {
  ASSERT_TRUE(img.Create(w, h, 24, 0));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x)
      img.SetPixelColor(x, y, RGB(static_cast<BYTE>(x * 7 + y), static_cast<BYTE>(y * 5 + x / 37), static_cast<BYTE>(x * 3 + y * 11)));
}

}  // namespace

TEST(CodecGif, TrueColourOfFewColoursIsOnePalettisedImage) {
  // 40 colours, one of them transparent.
  CBaseImage img(23, 19, 24, 0);
  for (long y = 0; y < 19; ++y)
    for (long x = 0; x < 23; ++x) img.SetPixelColor(x, y, PatternColor(x % 5, y % 8));
  img.SetTransColor(CBaseImage::RGBtoRGBQUAD(PatternColor(2, 3)));
  img.SetTransIndex(0);
  const Bytes file = EncodeTo(img, CODEC_FORMAT_GIF);
  const GifFile g = Parse(file);
  EXPECT_TRUE(g.globalTable);
  ASSERT_EQ(g.images.size(), 1u);
  EXPECT_EQ(g.images[0].control & 1, 1);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_GIF)) << back.GetLastError();
  EXPECT_EQ(back.GetBpp(), 8);
  EXPECT_TRUE(SameColors(img, back));
  ASSERT_TRUE(back.IsTransparent());
  EXPECT_EQ(CBaseImage::RGBQUADtoRGB(back.GetTransColor()), PatternColor(2, 3));
}

TEST(CodecGif, ManyColoursAreTheWholePictureThenTiles) {
  // The whole picture first (a fixed table), then a 17 x 15 tile with its
  // own table wherever that is not exact. Nothing waits or is cleared and
  // nothing loops: viewers compose the images into one picture.
  struct Case {
    DWORD w, h;
    size_t tiles;
  } cases[] = {{34, 30, 4}, {17, 200, 14}, {18, 16, 4}, {200, 15, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
    CBaseImage img;
    MakeRich(img, c.w, c.h);
    const Bytes file = EncodeTo(img, CODEC_FORMAT_GIF);
    ASSERT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
    const GifFile g = Parse(file);
    EXPECT_TRUE(g.globalTable);
    EXPECT_EQ(g.applicationBlocks, 0);
    ASSERT_EQ(g.images.size(), 1 + c.tiles);
    EXPECT_EQ(g.images[0].width, c.w);
    EXPECT_EQ(g.images[0].height, c.h);
    EXPECT_EQ(g.images[0].flags & 0x80, 0);
    for (size_t i = 0; i < g.images.size(); ++i) {
      EXPECT_EQ(g.images[i].control, 1 << 2) << i;  // left in place, no delay
      EXPECT_EQ(g.images[i].delay, 0u) << i;
      if (i > 0) {
        EXPECT_EQ(g.images[i].flags & 0xC0, 0x80) << i;  // an own table, not interlaced
        EXPECT_LE(g.images[i].width, 17u);
        EXPECT_LE(g.images[i].height, 15u);
      }
    }
    EXPECT_EQ(file.back(), ';');
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_GIF)) << back.GetLastError();
    EXPECT_EQ(back.GetNumFrames(), static_cast<long>(1 + c.tiles));
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_TRUE(SameColors(img, back));
  }
  // The 17 x 200 mosaic: 13 tiles of 15 rows and one of 5.
  CBaseImage tall;
  MakeRich(tall, 17, 200);
  const GifFile g = Parse(EncodeTo(tall, CODEC_FORMAT_GIF));
  EXPECT_EQ(g.images[13].top, 180u);
  EXPECT_EQ(g.images[14].height, 5u);
  // A tile the fixed table shows exactly is left out: here the left one,
  // of levels of 51 in red and blue and of 42.5 in green.
  CBaseImage half;
  MakeRich(half, 34, 15);
  for (long y = 0; y < 15; ++y)
    for (long x = 0; x < 17; ++x)
      half.SetPixelColor(x, y, RGB(static_cast<BYTE>(x % 6 * 51), static_cast<BYTE>((y % 7 * 255 + 3) / 6), 102));
  const Bytes halfFile = EncodeTo(half, CODEC_FORMAT_GIF);
  ASSERT_EQ(Parse(halfFile).images.size(), 2u);
  EXPECT_EQ(Parse(halfFile).images[1].left, 17u);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, halfFile, CODEC_FORMAT_GIF));
  EXPECT_TRUE(SameColors(half, back));
  // A transparent colour stays transparent.
  CBaseImage clear;
  MakeRich(clear, 40, 20);
  clear.SetPixelColor(3, 4, RGB(1, 2, 3));
  clear.SetPixelColor(30, 15, RGB(1, 2, 3));
  clear.SetTransColor(CBaseImage::RGBtoRGBQUAD(RGB(1, 2, 3)));
  clear.SetTransIndex(0);
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(clear, CODEC_FORMAT_GIF), CODEC_FORMAT_GIF));
  EXPECT_TRUE(SameColors(clear, back));
  ASSERT_TRUE(back.IsTransparent());
  EXPECT_EQ(CBaseImage::RGBQUADtoRGB(back.GetTransColor()), RGB(1, 2, 3));
}

TEST(CodecGif, ImagesAreComposedOnTheScreen) {
  for (const gifbuild::Composition& c : gifbuild::Compositions()) {
    SCOPED_TRACE(c.what);
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, gifbuild::Build(c.file), CODEC_FORMAT_GIF)) << img.GetLastError();
    ASSERT_EQ(img.GetWidth(), static_cast<DWORD>(c.width));
    ASSERT_EQ(img.GetHeight(), static_cast<DWORD>(c.height));
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const BYTE* want = c.expected.data() + 3 * (y * c.width + x);
        EXPECT_EQ(ColorAt(img, x, c.height - 1 - y), RGB(want[0], want[1], want[2])) << x << "," << y;
      }
  }
}

TEST(CodecGif, SharedTablesStayPalettised) {
  // One table for every image: the picture keeps its indices at the
  // table's depth. The first image's transparent index stays transparent,
  // also where no image covers the screen.
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, gifbuild::Build(gifbuild::SharedTableFile()), CODEC_FORMAT_GIF)) << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 4);
  EXPECT_EQ(img.GetTransIndex(), 3);
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 4; ++x)
      EXPECT_EQ(img.GetPixelIndex(x, 1 - y), gifbuild::kSharedTableIndices[y][x]) << x << "," << y;
}

TEST(CodecGif, PalettisedRoundTrips) {
  for (DWORD bpp : {1u, 4u, 8u}) {
    CBaseImage img(37, 21, bpp, 0);
    for (DWORD i = 0; i < img.GetNumColors(); ++i)
      img.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i * 3), static_cast<BYTE>(i), static_cast<BYTE>(255 - i));
    for (long y = 0; y < 21; ++y)
      for (long x = 0; x < 37; ++x) img.SetPixelIndex(x, y, static_cast<BYTE>((x * y + x) % img.GetNumColors()));
    img.SetTransIndex(1);
    const Bytes file = EncodeTo(img, CODEC_FORMAT_GIF);
    EXPECT_TRUE(Parse(file).globalTable);
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_GIF)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), bpp);
    EXPECT_EQ(back.GetTransIndex(), 1);
    for (long y = 0; y < 21; ++y)
      for (long x = 0; x < 37; ++x) ASSERT_EQ(back.GetPixelIndex(x, y), img.GetPixelIndex(x, y)) << bpp;
  }
}

TEST(CodecGif, LargePicturesKeepEveryColour) {
  // Enough pixels for the LZW table to fill and clear many times.
  CBaseImage img;
  MakePattern(img, 301, 157);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(img, CODEC_FORMAT_GIF), CODEC_FORMAT_GIF));
  EXPECT_TRUE(SameColors(img, back));
  CBaseImage noise(300, 300, 8, 0);
  for (int i = 0; i < 256; ++i) noise.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i), 0, 0);
  unsigned seed = 1;
  for (long y = 0; y < 300; ++y)
    for (long x = 0; x < 300; ++x) {
      seed = seed * 1103515245u + 12345u;
      noise.SetPixelIndex(x, y, static_cast<BYTE>(seed >> 16));
    }
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(noise, CODEC_FORMAT_GIF), CODEC_FORMAT_GIF));
  for (long y = 0; y < 300; y += 7)
    for (long x = 0; x < 300; x += 3) ASSERT_EQ(back.GetPixelIndex(x, y), noise.GetPixelIndex(x, y));
}

TEST(CodecGif, AnimationsDecodeUpToTheFrameAskedFor) {
  // Two full frames that wait: the first by default, the second when asked
  // for. Without the wait the file is one picture: both composed.
  gifbuild::File f{3, 1, {0, 0, 0, 50, 50, 50, 100, 100, 100, 150, 150, 150}, 0, {}};
  gifbuild::Image a;
  a.width = 3;
  a.pixels = {1, 1, 1};
  a.delay = 10;
  gifbuild::Image b = a;
  b.width = 2;
  b.pixels = {2, 3};
  f.images = {a, b};
  const Bytes anim = gifbuild::Build(f);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, anim, CODEC_FORMAT_GIF));
  EXPECT_EQ(img.GetNumFrames(), 2);
  EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(img.GetFrameDelay(), 10u);
  CBaseImage second;
  second.SetFrame(1);
  ASSERT_TRUE(DecodeFrom(second, anim, CODEC_FORMAT_GIF));
  EXPECT_EQ(second.GetPixelIndex(0, 0), 2);
  EXPECT_EQ(second.GetPixelIndex(1, 0), 3);
  EXPECT_EQ(second.GetPixelIndex(2, 0), 1);
  CBaseImage none;
  none.SetFrame(2);
  EXPECT_FALSE(DecodeFrom(none, anim, CODEC_FORMAT_GIF));
  EXPECT_EQ(none.GetNumFrames(), 2);
  f.images[0].delay = f.images[1].delay = 0;
  ASSERT_TRUE(DecodeFrom(img, gifbuild::Build(f), CODEC_FORMAT_GIF));
  EXPECT_EQ(img.GetPixelIndex(0, 0), 2);
  EXPECT_EQ(img.GetPixelIndex(2, 0), 1);
}

TEST(CodecGif, InterlacedRowsLandInGifOrder) {
  CBaseImage img;
  MakeIndexed(img, 3, 16, [](long, long y) { return static_cast<BYTE>(y); });
  Bytes file = EncodeTo(img, CODEC_FORMAT_GIF);
  const GifFile g = Parse(file);
  file[g.images[0].start + 9] |= 0x40;  // the same lines, now read as interlaced
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_GIF));
  const long order[16] = {0, 8, 4, 12, 2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13, 15};
  for (long k = 0; k < 16; ++k) EXPECT_EQ(back.GetPixelIndex(1, 15 - order[k]), k) << k;
}

TEST(CodecGif, ImagesOutsideTheScreenAndBrokenData) {
  CBaseImage img;
  MakeIndexed(img, 6, 4, [](long x, long) { return static_cast<BYTE>(x); });
  Bytes file = EncodeTo(img, CODEC_FORMAT_GIF);
  Bytes small = file;
  small[6] = 5;  // screen narrower than the image: it grows to take it in
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, small, CODEC_FORMAT_GIF));
  EXPECT_EQ(back.GetWidth(), 6u);
  EXPECT_EQ(back.GetPixelIndex(5, 0), 5);
  // Images without pixels are passed over.
  Bytes empty = file;
  empty[Parse(file).images[0].start + 5] = 0;
  EXPECT_FALSE(DecodeFrom(back, empty, CODEC_FORMAT_GIF));
  EXPECT_EQ(back.GetNumFrames(), 0);
  // A bad code size gives no rows but a picture.
  Bytes badCode = file;
  badCode[Parse(file).images[0].start + 10] = 12;
  ASSERT_TRUE(DecodeFrom(back, badCode, CODEC_FORMAT_GIF));
  EXPECT_EQ(back.GetWidth(), 6u);
  // Cut anywhere, the decoder stops without harm.
  for (size_t cut = 6; cut < file.size(); cut += 3) {
    CBaseImage part;
    DecodeFrom(part, Bytes(file.begin(), file.begin() + static_cast<long>(cut)), CODEC_FORMAT_GIF);
  }
  EXPECT_FALSE(DecodeFrom(back, Bytes{'G', 'I', 'F', '7'}, CODEC_FORMAT_GIF));
}

TEST(CodecGif, WriteErrorsFailTheEncoder) {
  CBaseImage img;
  MakePattern(img, 60, 60);
  FailingFile f(2000);
  EXPECT_FALSE(img.Encode(&f, CODEC_FORMAT_GIF));
  EXPECT_STREQ(img.GetLastError(), "Write Error in GIF file");
}
