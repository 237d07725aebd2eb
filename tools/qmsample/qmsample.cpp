// qmsample <scene 1-9> <palette.pal> <1251|1252> <out.qx>: writes one of the
// sample designs the setup installs. Each scene is a small picture drawn
// here (our own art: skies, hills, water, flowers, figures made of simple
// shapes), built into beads with the palette as the new-design wizard would
// build a picture, and saved as a design file.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "builder/PatternBuilder.h"
#include "design/Pattern.h"
#include "design/PatternParams.h"
#include "design/WeaveFormat.h"
#include "designfile/DesignFile.h"
#include "image/Image.h"
#include "palette/ColorSet.h"

namespace {

struct Rgb {
  double r, g, b;
};
Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::fmin(1.0, std::fmax(0.0, t));
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
bool InCircle(double x, double y, double cx, double cy, double r) { return std::hypot(x - cx, y - cy) <= r; }
bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
  const double dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

const Rgb kSky{120, 180, 235}, kHigh{40, 70, 150}, kSun{250, 215, 70}, kGrass{70, 150, 60}, kDark{30, 60, 35},
    kWater{40, 110, 180}, kWhite{245, 245, 240}, kRed{200, 40, 60}, kGold{220, 170, 40}, kBrown{120, 75, 40},
    kSkin{235, 190, 160}, kPurple{120, 60, 150}, kPink{235, 130, 170};

// Each scene gives the colour at (u, v), both 0..1 from the top left.
using Scene = std::function<Rgb(double u, double v)>;

Rgb Icon(double u, double v) {  // a gilded icon: a figure under an arch
  Rgb c = Mix(kGold, kBrown, v * 0.6);
  if (InEllipse(u, v, 0.5, 0.55, 0.34, 0.42)) c = Mix(kHigh, kPurple, v);
  if (InCircle(u, v, 0.5, 0.3, 0.17)) c = kGold;
  if (InCircle(u, v, 0.5, 0.3, 0.11)) c = kSkin;
  if (std::fabs(u - 0.5) < 0.12 && v > 0.42 && v < 0.9) c = kRed;
  return c;
}
Rgb Hat(double u, double v) {  // a woman with a hat
  Rgb c = Mix(kPink, kWhite, v);
  if (InEllipse(u, v, 0.5, 0.28, 0.42, 0.08)) c = kPurple;
  if (InEllipse(u, v, 0.5, 0.2, 0.2, 0.14) && v < 0.28) c = kPurple;
  if (InEllipse(u, v, 0.5, 0.45, 0.14, 0.18) && v > 0.3) c = kSkin;
  if (v > 0.62 && std::fabs(u - 0.5) < 0.1 + (v - 0.62) * 0.8) c = kHigh;
  return c;
}
Rgb Tarrowby(double u, double v) {  // a village: houses under hills
  Rgb c = Mix(kSky, kWhite, v * 1.5);
  if (v > 0.45 + 0.08 * std::sin(u * 7)) c = kGrass;
  for (int i = 0; i < 3; ++i) {
    const double x0 = 0.15 + i * 0.28;
    if (u > x0 && u < x0 + 0.18 && v > 0.55 && v < 0.75) c = kWhite;
    if (v > 0.45 && v <= 0.55 && std::fabs(u - x0 - 0.09) < (v - 0.45) * 1.0) c = kRed;
  }
  return c;
}
Rgb Muses(double u, double v) {  // three figures in a row
  Rgb c = Mix(kWhite, kGold, v);
  for (int i = 0; i < 3; ++i) {
    const double cx = 0.2 + i * 0.3;
    const Rgb robe = i == 0 ? kRed : i == 1 ? kHigh : kGrass;
    if (InCircle(u, v, cx, 0.25, 0.08)) c = kSkin;
    if (v > 0.34 && v < 0.92 && std::fabs(u - cx) < 0.05 + (v - 0.34) * 0.15) c = robe;
  }
  return c;
}
Rgb Boy(double u, double v) {  // a boy's face
  Rgb c = Mix(kSky, kHigh, v);
  if (InEllipse(u, v, 0.5, 0.45, 0.3, 0.36)) c = kSkin;
  if (InEllipse(u, v, 0.5, 0.2, 0.32, 0.16) && v < 0.3) c = kBrown;
  if (InCircle(u, v, 0.38, 0.45, 0.04) || InCircle(u, v, 0.62, 0.45, 0.04)) c = kHigh;
  if (InEllipse(u, v, 0.5, 0.64, 0.1, 0.03)) c = kRed;
  if (v > 0.85) c = kRed;
  return c;
}
Rgb Oaks(double u, double v) {  // two oaks on a meadow
  Rgb c = Mix(kSky, kWhite, v);
  if (v > 0.7) c = Mix(kGrass, kDark, (v - 0.7) * 3);
  for (double cx : {0.3, 0.72}) {
    if (std::fabs(u - cx) < 0.04 && v > 0.45 && v < 0.8) c = kBrown;
    if (InCircle(u, v, cx, 0.35, 0.18) || InCircle(u, v, cx - 0.1, 0.45, 0.1) || InCircle(u, v, cx + 0.1, 0.45, 0.1))
      c = Mix(kGrass, kDark, v);
  }
  return c;
}
Rgb Roses(double u, double v) {  // a bunch of roses
  Rgb c = Mix(kWhite, kPink, v * 0.4);
  if (std::fabs(u - 0.5 - (v - 0.6) * 0.3) < 0.02 && v > 0.5) c = kDark;
  if (std::fabs(u - 0.5 + (v - 0.6) * 0.5) < 0.02 && v > 0.5) c = kDark;
  const double pts[5][2] = {{0.35, 0.3}, {0.6, 0.28}, {0.48, 0.45}, {0.3, 0.52}, {0.68, 0.5}};
  for (auto& p : pts) {
    if (InCircle(u, v, p[0], p[1], 0.11)) c = kRed;
    if (InCircle(u, v, p[0], p[1], 0.06)) c = Mix(kRed, kPink, 0.5);
    if (InCircle(u, v, p[0], p[1], 0.025)) c = kRed;
  }
  return c;
}
Rgb Ships(double u, double v) {  // sailing boats on the sea
  Rgb c = Mix(kSky, kWhite, v * 1.4);
  if (v > 0.6) c = Mix(kWater, kHigh, (v - 0.6) * 2 + 0.1 * std::sin(u * 30));
  for (double x0 : {0.2, 0.6}) {
    if (v > 0.55 && v < 0.63 && u > x0 && u < x0 + 0.25 - (v - 0.55)) c = kBrown;
    if (v > 0.2 && v <= 0.55 && u > x0 + 0.12 && u < x0 + 0.12 + (v - 0.2) * 0.5) c = kWhite;
  }
  return c;
}
Rgb Summer(double u, double v) {  // a summer landscape with a church
  Rgb c = Mix(kSky, kWhite, v * 1.5);
  if (InCircle(u, v, 0.82, 0.15, 0.07)) c = kSun;
  if (v > 0.55 + 0.05 * std::sin(u * 9)) c = Mix(kGrass, kDark, v - 0.5);
  if (u > 0.38 && u < 0.58 && v > 0.4 && v < 0.62) c = kWhite;
  if (u > 0.45 && u < 0.51 && v > 0.25 && v <= 0.4) c = kWhite;
  if (InEllipse(u, v, 0.48, 0.24, 0.05, 0.05) && v < 0.25) c = kGold;
  if (u > 0.46 && u < 0.5 && v > 0.52 && v < 0.62) c = kBrown;
  return c;
}

struct SceneInfo {
  Scene draw;
  int format;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: qmsample <scene 1-9> <palette.pal> <1251|1252> <out.qx>\n");
    return 2;
  }
  const SceneInfo scenes[9] = {{Icon, kFormatLoom},   {Hat, kFormatPeyote},     {Tarrowby, kFormatBrick},
                               {Muses, kFormatLoom},  {Boy, kFormatPeyote},     {Oaks, kFormatLoom},
                               {Roses, kFormatBrick}, {Ships, kFormatHerringbone}, {Summer, kFormatLoom}};
  const int scene = std::atoi(argv[1]);
  if (scene < 1 || scene > 9) {
    std::fprintf(stderr, "qmsample: the scene is 1 to 9\n");
    return 2;
  }
  const UINT codePage = static_cast<UINT>(std::atoi(argv[3]));
  SetAnsiCodePage(codePage);
  CColorSet palette;
  CString reason;
  if (!palette.LoadPaletteFile(CString(Utf8ToCodePage(argv[2], codePage)), reason)) {
    std::fprintf(stderr, "qmsample: cannot read the palette %s: %s\n", argv[2], reason.GetString());
    return 1;
  }
  const int width = 120, height = 150;
  bool ok = false;
  CImage picture(width, height, ok, RGB(255, 255, 255));
  if (!ok) return 1;
  // Picture rows count from the bottom; the scenes from the top.
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgb c = scenes[scene - 1].draw((x + 0.5) / width, 1.0 - (y + 0.5) / height);
      picture.SetPixelRGB(x, y, static_cast<BYTE>(c.r), static_cast<BYTE>(c.g), static_cast<BYTE>(c.b));
    }
  CPatternParams params;
  params.m_width = 4.0;
  params.m_height = 5.0;
  params.m_beadWidth = 0.1;
  params.m_beadHeight = 0.1;
  params.m_spacer = 0.0;
  params.m_format = scenes[scene - 1].format;
  params.m_colorMode = kColorModeSoftened;
  CPattern design;
  if (!BuildPattern(design, 1000000, params, palette, &picture)) {
    std::fprintf(stderr, "qmsample: the design could not be built\n");
    return 1;
  }
  CString picturePath;
  CString why;
  // The picture travels in the design as a JPEG written beside the program
  // for the save and removed afterwards.
  const bool saved = SaveDesignFile(CString(Utf8ToCodePage(argv[4], codePage)), design, palette, "", picturePath,
                                    &picture, nullptr, &why);
  if (!picturePath.IsEmpty()) std::remove(ToUtf8(picturePath).c_str());
  if (!saved) {
    std::fprintf(stderr, "qmsample: cannot write %s: %s\n", argv[4], why.GetString());
    return 1;
  }
  return 0;
}
