// The colour values: three-byte RGB with its distance, and HSL.
#include <gtest/gtest.h>

#include <cmath>

#include "core/HslColor.h"
#include "core/RgbTriple.h"

TEST(RgbTripleTest, DistanceRoundsTheEuclideanDistance) {
  const CRgbTriple black(0, 0, 0);
  EXPECT_EQ(black.Distance(255, 255, 255), 442);
  EXPECT_EQ(black.Distance(1, 1, 0), 1);  // 1.414
  EXPECT_EQ(black.Distance(1, 1, 1), 2);  // 1.732
  EXPECT_EQ(black.Distance(0, 0, 0), 0);
  const CRgbTriple a(10, 200, 30), b(40, 20, 250);
  EXPECT_EQ(a.DistanceTo(b), b.DistanceTo(a));
  EXPECT_GT(a.DistanceTo(CRgbTriple(10, 200, 31)), 0);
  // Every sum of squares agrees with the plain formula and the search bounds.
  for (int s = 0; s <= 3 * 255 * 255; s += 7) {
    const int d = ColorDistanceFromSquared(s);
    EXPECT_EQ(d, static_cast<int>(std::lround(std::sqrt(static_cast<double>(s))))) << s;
    EXPECT_LE(s, MaxSquaredSumForDistance(d));
    if (d > 0) {
      EXPECT_GT(s, MaxSquaredSumForDistance(d - 1));
    }
  }
}

TEST(RgbTripleTest, PackingIgnoresTheTopByte) {
  EXPECT_EQ(CRgbTriple(1, 2, 3).GetColorref(), 0x030201u);
  const CRgbTriple t = CRgbTriple::FromColorref(0xAB030201u);
  EXPECT_TRUE(t.IsEqual(CRgbTriple(1, 2, 3)));
  CRgbTriple u;
  u.SetColorref(0xFF102030u);
  EXPECT_EQ(u.GetRed(), 0x30);
  EXPECT_EQ(u.GetGreen(), 0x20);
  EXPECT_EQ(u.GetBlue(), 0x10);
}

TEST(HslColorTest, ConvertsBothWays) {
  struct Case {
    COLORREF rgb;
    float hue, saturation, lightness;
  } cases[] = {
      {RGB(255, 0, 0), 360.0f, 1.0f, 0.5f},
      {RGB(128, 128, 128), 0.0f, 0.0f, 256.0f / 510.0f},
      {RGB(0, 255, 0), 120.0f, 1.0f, 0.5f},
      {RGB(0, 0, 255), 240.0f, 1.0f, 0.5f},
  };
  for (const Case& c : cases) {
    CHslColor hsl(c.rgb);
    EXPECT_FLOAT_EQ(hsl.GetHue(), c.hue) << std::hex << c.rgb;
    EXPECT_FLOAT_EQ(hsl.GetSaturation(), c.saturation);
    EXPECT_FLOAT_EQ(hsl.GetLightness(), c.lightness);
    CHslColor back(0);
    back.SetHsl(hsl.GetHue(), hsl.GetLightness(), hsl.GetSaturation());
    back.UpdateRgb();
    EXPECT_EQ(back.GetColorRef() & 0xFFFFFF, c.rgb) << std::hex << c.rgb;
  }
  CHslColor red(RGB(255, 0, 0));
  red.SetHue(180.0f);
  EXPECT_FALSE(red.IsRgbValid());
  EXPECT_EQ(red.GetColorRef(), RGB(0, 255, 255));
  // The fourth byte stays as the colour was made.
  CHslColor withTop(0x7F000000u | RGB(10, 20, 30));
  withTop.SetLightness(withTop.GetLightness());
  EXPECT_EQ(withTop.GetColorRef() >> 24, 0x7Fu);
}

TEST(HslColorTest, RoundTripsEveryGreyAndManyColours) {
  for (int v = 0; v < 256; ++v) {
    CHslColor c(RGB(v, v, v));
    c.SetHue(c.GetHue());
    EXPECT_EQ(c.GetColorRef(), RGB(v, v, v));
  }
  // Truncation may lose at most one step per channel on the way back.
  for (int r = 0; r < 256; r += 17)
    for (int g = 0; g < 256; g += 15)
      for (int b = 0; b < 256; b += 51) {
        CHslColor c(RGB(r, g, b));
        c.SetSaturation(c.GetSaturation());
        const COLORREF back = c.GetColorRef();
        EXPECT_LE(std::abs(GetRValue(back) - r), 1);
        EXPECT_LE(std::abs(GetGValue(back) - g), 1);
        EXPECT_LE(std::abs(GetBValue(back) - b), 1);
      }
}
