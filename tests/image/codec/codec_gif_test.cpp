// GIF decoding and encoding: true-colour mosaics, frames, interlacing.
#include <gtest/gtest.h>

#include "codec_helpers.h"
#include "image/codec/CodecGIF.h"

using namespace codectest;

namespace {

struct GifImage {
  unsigned left, top, width, height;
  BYTE flags;
  size_t start, end;  // the image's bytes from its ',' to after its data
};

struct GifFile {
  unsigned width = 0, height = 0;
  bool globalTable = false;
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
  while (p < b.size()) {
    const BYTE c = b[p];
    if (c == 0x21) {
      p += 2;
      skipBlocks();
    } else if (c == 0x2C) {
      GifImage im{static_cast<unsigned>(b[p + 1] | (b[p + 2] << 8)), static_cast<unsigned>(b[p + 3] | (b[p + 4] << 8)),
                  static_cast<unsigned>(b[p + 5] | (b[p + 6] << 8)), static_cast<unsigned>(b[p + 7] | (b[p + 8] << 8)),
                  b[p + 9], p, 0};
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

TEST(CodecGif, TrueColourIsWrittenAsAMosaicAndReadBackWhole) {
  struct Case {
    DWORD w, h;
    size_t tiles;
  } cases[] = {{34, 30, 4}, {17, 200, 14}, {18, 16, 4}, {16, 200, 14}, {200, 15, 12}, {1, 1, 1}, {40, 1, 3}};
  for (const Case& c : cases) {
    CBaseImage img;
    MakePattern(img, c.w, c.h);
    const Bytes file = EncodeTo(img, CODEC_FORMAT_GIF);
    ASSERT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
    const GifFile g = Parse(file);
    EXPECT_FALSE(g.globalTable);
    ASSERT_EQ(g.images.size(), c.tiles) << c.w << "x" << c.h;
    EXPECT_EQ(g.images[0].flags, 0x87);
    EXPECT_EQ(g.images[0].width, std::min<DWORD>(c.w, 17));
    EXPECT_EQ(g.images[0].height, std::min<DWORD>(c.h, 15));
    EXPECT_EQ(file.back(), ';');
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_GIF)) << back.GetLastError();
    EXPECT_EQ(back.GetNumFrames(), static_cast<long>(c.tiles));
    if (c.tiles > 1) {
      EXPECT_EQ(back.GetBpp(), 24) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(SameColors(img, back)) << c.w << "x" << c.h;
  }
  // The 17 x 200 mosaic: 13 tiles of 15 rows and one of 5.
  CBaseImage tall;
  MakePattern(tall, 17, 200);
  const GifFile g = Parse(EncodeTo(tall, CODEC_FORMAT_GIF));
  EXPECT_EQ(g.images[12].top, 180u);
  EXPECT_EQ(g.images[13].height, 5u);
}

TEST(CodecGif, OneTileReadsBackPalettised) {
  CBaseImage img;
  MakePattern(img, 10, 10);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(img, CODEC_FORMAT_GIF), CODEC_FORMAT_UNKNOWN));
  EXPECT_EQ(back.GetType(), static_cast<DWORD>(CODEC_FORMAT_GIF));
  EXPECT_EQ(back.GetBpp(), 8);
  EXPECT_TRUE(SameColors(img, back));
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

TEST(CodecGif, AnimationDecodesItsFirstFrame) {
  CBaseImage a, b;
  MakeIndexed(a, 6, 4, [](long x, long) { return static_cast<BYTE>(x); });
  MakeIndexed(b, 6, 4, [](long, long y) { return static_cast<BYTE>(100 + y); });
  const Bytes fa = EncodeTo(a, CODEC_FORMAT_GIF), fb = EncodeTo(b, CODEC_FORMAT_GIF);
  const GifFile ga = Parse(fa), gb = Parse(fb);
  // Both frames share the global table (the same palette).
  Bytes anim(fa.begin(), fa.begin() + static_cast<long>(ga.images[0].end));
  anim.insert(anim.end(), fb.begin() + static_cast<long>(gb.images[0].start), fb.begin() + static_cast<long>(gb.images[0].end));
  anim.push_back(';');
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, anim, CODEC_FORMAT_GIF));
  EXPECT_EQ(img.GetNumFrames(), 2);
  EXPECT_EQ(img.GetPixelIndex(3, 0), 3);
  CBaseImage second;
  second.SetFrame(1);
  ASSERT_TRUE(DecodeFrom(second, anim, CODEC_FORMAT_GIF));
  EXPECT_EQ(second.GetPixelIndex(3, 3), 100);
  CBaseImage none;
  none.SetFrame(2);
  EXPECT_FALSE(DecodeFrom(none, anim, CODEC_FORMAT_GIF));
  EXPECT_EQ(none.GetNumFrames(), 2);
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
  small[6] = 5;  // screen narrower than the image
  CBaseImage back;
  EXPECT_FALSE(DecodeFrom(back, small, CODEC_FORMAT_GIF));
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
