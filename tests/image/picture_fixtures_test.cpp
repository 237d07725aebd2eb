// Pictures opened from the fixture corpus (tests/image/fixtures) by file
// and from memory blocks, held against ImageMagick's decoding of each.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/PathUtils.h"
#include "picture_helpers.h"
#include "tests/image/fixture_pictures.h"

using namespace picturetest;
using fixturetest::Fixture;
using fixturetest::Rule;

namespace {

::testing::AssertionResult Matches(const std::string& name, const CImage& img, Rule rule) {
  const int h = img.GetHeight();
  return fixturetest::MatchesReference(
      name, img.GetWidth(), h,
      [&](int x, int y, int* rgba) {
        const COLORREF c = ColorAt(img, x, h - 1 - y);
        rgba[0] = GetRValue(c);
        rgba[1] = GetGValue(c);
        rgba[2] = GetBValue(c);
      },
      rule);
}

struct Case {
  const char* name;
  Rule rule;
};

const Case kCases[] = {
    {"bmp-v5-rle8.bmp", {}},
    {"bmp-v5-rle8-short-palette.bmp", {}},
    {"bmp-v5-short-palette.bmp", {}},
    {"bmp-v5-565.bmp", {}},
    {"bmp-v5-555.bmp", {}},
    {"bmp-v4-565.bmp", {}},
    {"bmp-v5-argb.bmp", {}},
    {"bmp-v5-size0.bmp", {}},
    {"tiff-tiled-16x16.tif", {}},
    {"tiff-tiled-32x16.tif", {}},
    {"tiff-tiled-grey-16x16.tif", {}},
    {"tiff-alpha-unassociated.tif", {}},
    {"tiff-alpha-associated.tif", {1, false, false}},
    {"png-rgba16.png", {}},
    {"png-grey-alpha8.png", {}},
    {"png-rgb-trns16.png", {0, true, false}},
    {"png-grey-trns2.png", {0, true, false}},
    {"tga-16.tga", {1, false, false}},
    {"tga-colour-map16.tga", {1, false, false}},
    {"psd-indexed.psd", {}},
    {"gif-two-tables.gif", {}},
};

}  // namespace

TEST(PictureFixtures, FilesOpenAsImageMagickDecodesThem) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    CImage img(Fixture(c.name).string().c_str(), ok);
    if (ok) EXPECT_TRUE(Matches(c.name, img, c.rule));
    else ADD_FAILURE() << "not opened";
  }
}

TEST(PictureFixtures, MemoryBlocksDecodeAsImageMagickDoes) {
  for (const Case& c : kCases) {
    const CString ext = GetPathExtension(c.name);
    if (ext != ".bmp" && ext != ".png" && ext != ".gif") continue;
    SCOPED_TRACE(c.name);
    const std::vector<BYTE> bytes = qmtest::ReadAll(Fixture(c.name));
    CImageMemBlock block(ext.GetString());
    block.data = new BYTE[bytes.size()];
    block.size = static_cast<DWORD>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), block.data);
    CImage img;
    if (img.LoadFromMemoryBlock(block)) EXPECT_TRUE(Matches(c.name, img, c.rule));
    else ADD_FAILURE() << "not read";
  }
}
