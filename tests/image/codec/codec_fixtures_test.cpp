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
  for (const fixturetest::Case& c : fixturetest::Cases()) {
    const DWORD format = CBaseImage::GetTypeIdFromName(c.name);
    // Photoshop documents are the picture classes' own.
    if (format == CODEC_FORMAT_UNKNOWN) continue;
    SCOPED_TRACE(c.name);
    // From memory and from a disk file (TIFF reads the two differently).
    CBaseImage mem;
    if (DecodeFrom(mem, qmtest::ReadAll(Fixture(c.name)), format)) EXPECT_TRUE(Matches(c.name, mem, c.rule));
    else ADD_FAILURE() << "not read from memory: " << mem.GetLastError();
    CBaseImage file;
    if (file.Load(Fixture(c.name).string().c_str(), format)) EXPECT_TRUE(Matches(c.name, file, c.rule));
    else ADD_FAILURE() << "not read from the file: " << file.GetLastError();
  }
}
