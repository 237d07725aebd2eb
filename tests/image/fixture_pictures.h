// The picture fixtures of tests/image/fixtures (made by make_fixtures.py)
// and ImageMagick's decoding of each (<name>.pam), which the readers are
// compared with.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/common/test_util.h"

namespace fixturetest {

inline std::filesystem::path Fixture(const std::string& name) {
  return qmtest::SourceDir() / "tests" / "image" / "fixtures" / name;
}

// A PAM file: 8-bit samples, 1 to 4 a pixel (grey, grey and alpha, RGB,
// RGB and alpha), rows from the top.
struct Reference {
  int width = 0, height = 0, depth = 0;
  std::vector<unsigned char> samples;
  bool HasAlpha() const { return depth == 2 || depth == 4; }
  // Red, green, blue and alpha (255 without alpha) of (x, y from the top).
  void At(int x, int y, int out[4]) const {
    const unsigned char* p = samples.data() + (static_cast<size_t>(y) * width + x) * depth;
    const bool colour = depth >= 3;
    out[0] = p[0];
    out[1] = colour ? p[1] : p[0];
    out[2] = colour ? p[2] : p[0];
    out[3] = HasAlpha() ? p[depth - 1] : 255;
  }
};

inline Reference ReadReference(const std::string& name) {
  Reference r;
  const std::vector<unsigned char> bytes = qmtest::ReadAll(Fixture(name + ".pam"));
  const std::string text(bytes.begin(), bytes.end());
  const size_t end = text.find("ENDHDR\n");
  if (text.compare(0, 3, "P7\n") != 0 || end == std::string::npos) {
    ADD_FAILURE() << "not a PAM file: " << name << ".pam";
    return r;
  }
  std::istringstream header(text.substr(3, end - 3));
  std::string key;
  int maxval = 0;
  while (header >> key) {
    if (key == "WIDTH") header >> r.width;
    else if (key == "HEIGHT") header >> r.height;
    else if (key == "DEPTH") header >> r.depth;
    else if (key == "MAXVAL") header >> maxval;
    else std::getline(header, key);
  }
  const size_t size = static_cast<size_t>(r.width) * r.height * r.depth;
  if (maxval != 255 || bytes.size() < end + 7 + size) {
    ADD_FAILURE() << "unexpected PAM layout: " << name << ".pam";
    return Reference{};
  }
  r.samples.assign(bytes.begin() + static_cast<long>(end + 7), bytes.begin() + static_cast<long>(end + 7 + size));
  return r;
}

// How a reader's picture is held against the reference.
struct Rule {
  int tolerance = 0;       // per sample
  bool flattened = false;  // fully transparent pixels must be light grey 192
  bool alpha = false;      // the alpha the reader gives must match too
};

struct Case {
  const char* name;
  Rule rule;
};

// Every fixture and how a reader's picture of it is held against the
// reference.
inline const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
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
      // ImageMagick scales 5-bit TGA levels where the readers here repeat
      // their bits; the two differ by one at a few levels.
      {"tga-16.tga", {1, false, false}},
      {"tga-colour-map16.tga", {1, false, false}},
      {"psd-indexed.psd", {}},
      {"gif-two-tables.gif", {}},
  };
  return cases;
}

// pixel(x, y from the top, rgba): the reader's colour, and alpha (255 when
// it has none). Colours of fully transparent pixels are compared only when
// they are to be flattened.
inline ::testing::AssertionResult MatchesReference(const std::string& name, int width, int height,
                                                   const std::function<void(int, int, int*)>& pixel, Rule rule) {
  const Reference ref = ReadReference(name);
  if (ref.width != width || ref.height != height)
    return ::testing::AssertionFailure() << name << ": size " << width << "x" << height << ", expected " << ref.width
                                         << "x" << ref.height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int want[4], got[4] = {0, 0, 0, 255};
      ref.At(x, y, want);
      pixel(x, y, got);
      if (want[3] == 0 && rule.flattened) want[0] = want[1] = want[2] = 192;
      const bool compareColour = want[3] != 0 || rule.flattened;
      bool ok = true;
      for (int i = 0; i < 3 && compareColour; ++i) ok = ok && std::abs(want[i] - got[i]) <= rule.tolerance;
      if (rule.alpha) ok = ok && std::abs(want[3] - got[3]) <= rule.tolerance;
      if (!ok)
        return ::testing::AssertionFailure() << name << ": pixel (" << x << ", " << y << " from the top) is " << got[0]
                                             << "," << got[1] << "," << got[2] << " alpha " << got[3] << ", expected "
                                             << want[0] << "," << want[1] << "," << want[2] << " alpha " << want[3];
    }
  return ::testing::AssertionSuccess();
}

}  // namespace fixturetest
