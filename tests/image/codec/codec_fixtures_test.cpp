// The codec layer against ImageMagick's decoding of the fixture corpus
// (tests/image/fixtures): BMP headers of the fourth and fifth version, WBMP
// sizes of several bytes, small uncompressed TIFF tiles, straight TIFF
// alpha, PNG transparency at every depth, 16-bit TGA, GIF images with their
// own tables.
#include <gtest/gtest.h>

#include "codec_helpers.h"
#include "tests/image/fixture_pictures.h"

using namespace codectest;
using fixturetest::Fixture;
using fixturetest::Rule;

namespace {

::testing::AssertionResult Matches(const std::string& name, CBaseImage& img, Rule rule) {
  const long h = static_cast<long>(img.GetHeight());
  return fixturetest::MatchesReference(
      name, static_cast<int>(img.GetWidth()), static_cast<int>(h),
      [&](int x, int y, int* rgba) {
        const RGBQUAD c = img.GetPixelColor(x, h - 1 - y, false);
        rgba[0] = c.rgbRed;
        rgba[1] = c.rgbGreen;
        rgba[2] = c.rgbBlue;
        rgba[3] = img.AlphaIsValid() ? img.AlphaGet(x, h - 1 - y) : 255;
      },
      rule);
}

}  // namespace

TEST(CodecFixtures, DecodeAsImageMagickDoes) {
  struct Case {
    const char* name;
    Rule rule;
  } cases[] = {
      {"bmp-v5-rle8.bmp", {}},
      {"bmp-v5-rle8-short-palette.bmp", {}},
      {"bmp-v5-short-palette.bmp", {}},
      {"bmp-v5-565.bmp", {}},
      {"bmp-v5-555.bmp", {}},
      {"bmp-v4-565.bmp", {}},
      {"bmp-v5-argb.bmp", {}},
      {"bmp-v5-size0.bmp", {}},
      {"wbmp-160x120.wbmp", {}},
      {"tiff-tiled-16x16.tif", {}},
      {"tiff-tiled-32x16.tif", {}},
      {"tiff-tiled-grey-16x16.tif", {}},
      {"tiff-alpha-unassociated.tif", {0, false, true}},
      // Dividing premultiplied colours back is exact to one level.
      {"tiff-alpha-associated.tif", {1, false, true}},
      {"png-rgba16.png", {0, false, true}},
      {"png-grey-alpha8.png", {0, false, true}},
      {"png-grey-alpha16.png", {0, false, true}},
      {"png-rgb-trns8.png", {0, true, false}},
      {"png-rgb-trns16.png", {0, true, false}},
      {"png-grey-trns2.png", {0, true, false}},
      {"png-grey-trns16.png", {0, true, false}},
      // ImageMagick scales 5-bit TGA levels where the codecs repeat their
      // bits; the two differ by one at a few levels.
      {"tga-16.tga", {1, false, false}},
      {"tga-colour-map16.tga", {1, false, false}},
      {"gif-two-tables.gif", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DWORD format = CBaseImage::GetTypeIdFromName(c.name);
    // From memory and from a disk file (TIFF reads the two differently).
    CBaseImage mem;
    if (DecodeFrom(mem, qmtest::ReadAll(Fixture(c.name)), format)) EXPECT_TRUE(Matches(c.name, mem, c.rule));
    else ADD_FAILURE() << "not read from memory: " << mem.GetLastError();
    CBaseImage file;
    if (file.Load(Fixture(c.name).string().c_str(), format)) EXPECT_TRUE(Matches(c.name, file, c.rule));
    else ADD_FAILURE() << "not read from the file: " << file.GetLastError();
  }
}
