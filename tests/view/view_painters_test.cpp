// Bead painters and colour functions: the colour values, each effect's
// pixels at chosen points, and that no painter leaves its cell.
#include <gtest/gtest.h>

#include "tests/view/view_test_util.h"
#include "view/BeadPainters.h"

using namespace viewtest;

TEST(ColorFunctions, ShadeStepContrastText) {
  COLORREF light, shadow, lighter, darker;
  MakeShadeColors(RGB(64, 255, 128), light, shadow);
  EXPECT_EQ(light, RGB(128, 255, 255));
  EXPECT_EQ(shadow, RGB(32, 127, 64));
  MakeStepColors(RGB(160, 240, 16), lighter, darker, 64);
  EXPECT_EQ(lighter, RGB(224, 255, 80));
  EXPECT_EQ(darker, RGB(96, 176, 0));
  EXPECT_EQ(GetContrastColor(RGB(0, 128, 127)), RGB(255, 0, 255));
  EXPECT_EQ(GetTripleContrastColor(CRgbTriple(0, 128, 127)), RGB(255, 0, 255));
  EXPECT_EQ(GetTextColorForBackground(RGB(127, 128, 128)), 0xFFFFFFu);
  EXPECT_EQ(GetTextColorForBackground(RGB(128, 128, 128)), 0u);
  EXPECT_EQ(GetTripleTextColor(CRgbTriple(127, 128, 128)), 0xFFFFFFu);
  EXPECT_EQ(InvertColor(RGB(1, 2, 3)), RGB(254, 253, 252));
  // The rim colour: A toward the upper left, B opposite.
  EXPECT_EQ(GradientColorAt(-2.356, RGB(200, 100, 0), RGB(0, 0, 0)), RGB(200, 100, 0));
  const COLORREF opposite = GradientColorAt(0.785, RGB(200, 100, 0), RGB(10, 20, 30));
  EXPECT_NEAR(GetRValue(opposite), 10, 1);
  EXPECT_NEAR(GetGValue(opposite), 20, 1);
  EXPECT_NEAR(GetBValue(opposite), 30, 1);
}

TEST(ColorFunctions, VerticalGradientLines) {
  CanvasDC canvas(4, 10, 0xFFFFFF);
  DrawVerticalGradient(canvas.dc(), RECT{0, 0, 4, 10}, RGB(0, 0, 0), RGB(100, 200, 50), 2);
  EXPECT_EQ(canvas.At(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(1, 4), RGB(40, 80, 20));
  EXPECT_EQ(canvas.At(1, 1), 0xFFFFFFu);  // every second line only
}

namespace {
constexpr COLORREF kBack = RGB(1, 2, 3);
constexpr COLORREF kColor = RGB(64, 128, 200);
const RECT kCell{10, 10, 30, 30};

struct Painted {
  CanvasDC canvas{40, 40, kBack};
};

void Paint(CanvasDC& canvas, CPattern& design, int effect, int format, bool outline, bool selected, int alternate = 1,
           RECT cell = kCell) {
  design.m_format = format;
  CColorSet palette = MakePalette({kColor});
  CBead bead = design.m_beads[0];
  bead.m_alternate = static_cast<BYTE>(alternate);
  bead.SetSelected(selected);
  DrawBeadCell(bead, design, effect, format == kFormatHerringbone, cell, canvas.dc(), palette, outline,
               IsBrickFormat(design));
}

// Nothing of the bead outside the cell.
void ExpectInsideCell(CanvasDC& canvas, const RECT& cell) {
  for (int y = 0; y < canvas.h(); ++y)
    for (int x = 0; x < canvas.w(); ++x) {
      if (x < cell.left || x >= cell.right || y < cell.top || y >= cell.bottom) {
        ASSERT_EQ(canvas.At(x, y), kBack) << x << "," << y;
      }
    }
}
}  // namespace

TEST(BeadPainters, EffectsAtChosenPixels) {
  COLORREF light, shadow, lighter, darker;
  MakeShadeColors(kColor, light, shadow);
  MakeStepColors(kColor, lighter, darker, 64);
  struct Case {
    const char* name;
    int effect;
    int format;
    POINT at;
    COLORREF expected;
  };
  const Case cases[] = {
      {"round rim", kBeadEffectRound, kFormatLoom, {20, 10}, kColor},
      {"round middle", kBeadEffectRound, kFormatLoom, {20, 20}, RGB(64 + 57, 128 + 114, 200 + 49)},
      {"round corner", kBeadEffectRound, kFormatLoom, {10, 10}, kBack},
      {"circle middle", kBeadEffectCircle, kFormatLoom, {20, 20}, kColor},
      {"cylinder top", kBeadEffectCylinder, kFormatLoom, {15, 10}, darker},
      {"cylinder band", kBeadEffectCylinder, kFormatLoom, {15, 18}, lighter},
      {"cylinder right quarter", kBeadEffectCylinder, kFormatLoom, {25, 14}, kColor},
      {"brick cylinder top line", kBeadEffectCylinder, kFormatBrick, {15, 10}, darker},
      {"brick cylinder left", kBeadEffectCylinder, kFormatBrick, {10, 15}, darker},
      {"brick cylinder middle", kBeadEffectCylinder, kFormatBrick, {20, 15}, lighter},
      {"round rectangle ring", kBeadEffectRoundRect, kFormatLoom, {10, 10}, light},
      {"round rectangle fill", kBeadEffectRoundRect, kFormatLoom, {20, 20}, kColor},
      {"hexagon middle", kBeadEffectRound, kFormatHerringbone, {20, 20}, kColor},
  };
  for (const Case& c : cases) {
    CPattern design = MakeDesign(1, 1);
    CanvasDC canvas(40, 40, kBack);
    Paint(canvas, design, c.effect, c.format, false, false);
    EXPECT_EQ(canvas.At(c.at.x, c.at.y), c.expected) << c.name;
    ExpectInsideCell(canvas, kCell);
  }
}

TEST(BeadPainters, CircleRimLightUpperLeftShadowLowerRight) {
  CPattern design = MakeDesign(1, 1);
  CanvasDC canvas(40, 40, kBack);
  Paint(canvas, design, kBeadEffectCircle, kFormatLoom, false, false);
  int lightUpperLeft = 0, shadowLowerRight = 0, lightLowerRight = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) {
      const COLORREF c = canvas.At(x, y);
      // Light red is 128, the bead's 64, shadow red 32.
      if (GetRValue(c) >= 110 && x < 20 && y < 20) ++lightUpperLeft;
      if (GetRValue(c) >= 110 && x > 20 && y > 20) ++lightLowerRight;
      if (GetRValue(c) <= 45 && x > 20 && y > 20) ++shadowLowerRight;
    }
  EXPECT_GT(lightUpperLeft, 0);
  EXPECT_GT(shadowLowerRight, 0);
  EXPECT_EQ(lightLowerRight, 0);
  ExpectInsideCell(canvas, kCell);
}

TEST(BeadPainters, OutlineCrossAndHexagonLeaning) {
  const COLORREF contrast = RGB(255, 0, 0);  // of (64, 128, 200)
  {
    CPattern design = MakeDesign(1, 1);
    CanvasDC canvas(40, 40, kBack);
    Paint(canvas, design, kBeadEffectRoundRect, kFormatLoom, true, false);
    EXPECT_EQ(canvas.At(10, 20), contrast);  // frame
    EXPECT_EQ(canvas.At(20, 20), contrast);  // cross of the outline flag
    ExpectInsideCell(canvas, kCell);
  }
  {
    // A selected bead gets the cross without the outline flag.
    CPattern design = MakeDesign(1, 1);
    CanvasDC canvas(40, 40, kBack);
    Paint(canvas, design, kBeadEffectRoundRect, kFormatLoom, false, true);
    EXPECT_EQ(canvas.At(12, 12), contrast);
    EXPECT_EQ(canvas.At(28, 12), contrast);
    EXPECT_EQ(canvas.At(12, 20), kColor);
    ExpectInsideCell(canvas, kCell);
  }
  // The two hexagon orientations lean opposite ways; both stay in the cell.
  CPattern design = MakeDesign(1, 1);
  CanvasDC a(40, 40, kBack), b(40, 40, kBack);
  Paint(a, design, kBeadEffectRound, kFormatHerringbone, false, false, 1);
  Paint(b, design, kBeadEffectRound, kFormatHerringbone, false, false, 0);
  ExpectInsideCell(a, kCell);
  ExpectInsideCell(b, kCell);
  int differ = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) differ += a.At(x, y) != b.At(x, y);
  EXPECT_GT(differ, 10);
  // Near the top edge: outside the hexagon leaning one way, inside the other.
  EXPECT_EQ(a.At(17, 11), kBack);
  EXPECT_NE(b.At(17, 11), kBack);
}

TEST(BeadPainters, TinyCellsAndBeadsWithoutColour) {
  CPattern design = MakeDesign(1, 1);
  for (int effect : {kBeadEffectRound, kBeadEffectRoundRect}) {
    CanvasDC canvas(4, 4, kBack);
    Paint(canvas, design, effect, kFormatLoom, false, false, 1, RECT{1, 1, 2, 2});
    EXPECT_EQ(canvas.At(1, 1), kColor) << effect;  // one step / the fill only
    ExpectInsideCell(canvas, RECT{1, 1, 2, 2});
  }
  // A bead whose colour index is negative, or beyond the palette, is not drawn.
  for (int index : {-1, 5}) {
    CanvasDC canvas(40, 40, kBack);
    design.m_beads[0].SetColorIndex(index);
    Paint(canvas, design, kBeadEffectRoundRect, kFormatLoom, true, true);
    ExpectInsideCell(canvas, RECT{0, 0, 0, 0});
  }
}
