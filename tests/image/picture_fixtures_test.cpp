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

// Pictures have no alpha: only the colours are compared.
::testing::AssertionResult Matches(const std::string& name, const CImage& img, Rule rule) {
  rule.alpha = false;
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

}  // namespace

TEST(PictureFixtures, FilesOpenAsImageMagickDecodesThem) {
  for (const fixturetest::Case& c : fixturetest::Cases()) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    CImage img(Fixture(c.name).string().c_str(), ok);
    if (ok) EXPECT_TRUE(Matches(c.name, img, c.rule));
    else ADD_FAILURE() << "not opened";
  }
}

TEST(PictureFixtures, MemoryBlocksDecodeAsImageMagickDoes) {
  for (const fixturetest::Case& c : fixturetest::Cases()) {
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
