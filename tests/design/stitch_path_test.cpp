#include <gtest/gtest.h>

#include <cmath>

#include "design/LSystem.h"
#include "design/StitchPath.h"
#include "tests/builder/builder_test_util.h"

using buildertest::MakeDesign;
using buildertest::Picture;
using Rows = std::vector<std::string>;

TEST(LSystemTest, DegreesToRadians) {
  const double pi = 3.141592654;
  EXPECT_EQ(DegreesToRadians(0), 0.0);
  EXPECT_EQ(DegreesToRadians(-360), 0.0);
  EXPECT_EQ(DegreesToRadians(90), pi / 2);
  EXPECT_EQ(DegreesToRadians(-270), pi / 2);
  EXPECT_EQ(DegreesToRadians(60), pi / 3);
  EXPECT_EQ(DegreesToRadians(22), pi / 8);   // whole-number division: the bush's 22.5 degrees
  EXPECT_EQ(DegreesToRadians(25), pi / 7);   // the weed's 180/7 degrees
  EXPECT_EQ(DegreesToRadians(180), pi);
  // Above 180 the whole-number division gives 0: the angle is converted as it is.
  EXPECT_DOUBLE_EQ(DegreesToRadians(270), pi * 1.5);
  EXPECT_DOUBLE_EQ(DegreesToRadians(-1), pi * 359 / 180);
}

TEST(LSystemTest, ColourCommands) {
  int length = 0;
  COLORREF value = 0;
  EXPECT_TRUE(ParseRgbCommand("xRGB(1,2,3)F", 1, length, value));
  EXPECT_EQ(length, 10);
  EXPECT_EQ(value, RGB(1, 2, 3));
  EXPECT_TRUE(ParseRgbCommand("rgb(255,0,7)", 0, length, value));
  EXPECT_FALSE(ParseRgbCommand("RGB(1,2,300)", 0, length, value));
  EXPECT_FALSE(ParseRgbCommand("RGB(1,,3)", 0, length, value));
  EXPECT_FALSE(ParseRgbCommand("RGB(1,2,3", 0, length, value));
  EXPECT_FALSE(ParseRgbCommand("Rgb(1,2,3)", 0, length, value));
  EXPECT_FALSE(ParseRgbCommand("RGB(", 0, length, value));
  float h = 0, s = 0, l = 0;
  EXPECT_TRUE(ParseHslCommand("HSL(10.5,0.25,1)", 0, length, h, s, l));
  EXPECT_EQ(length, 16);
  EXPECT_FLOAT_EQ(h, 10.5f);
  EXPECT_FLOAT_EQ(s, 0.25f);
  EXPECT_FLOAT_EQ(l, 1.0f);
  EXPECT_FALSE(ParseHslCommand("hsl(361,0,0)", 0, length, h, s, l));
  EXPECT_FALSE(ParseHslCommand("hsl(0,1.5,0)", 0, length, h, s, l));
}

TEST(LSystemTest, Validation) {
  struct Case {
    const char* axiom;
    const char* ruleF;
    const char* ruleX;
    const char* ruleY;
    const char* hsl;
    const char* error;
  } cases[] = {
      {"", "F", "", "", "", "Axiom is empty"},
      {"FQ", "F", "", "", "", "Wrong axiom"},
      {"RGB(1,2,300)F", "F", "", "", "", "Wrong axiom"},
      {"F", "", "", "", "", "The rule <new F> is empty"},
      {"F", "F?", "", "", "", "Wrong rule <new F>"},
      {"F", "F", "Z", "", "", "Wrong rule <new X>"},
      {"F", "F", "", "Z", "", "Wrong rule <new Y>"},
      {"F", "F", "", "", "HSL(1,2,3)", "Wrong HSL Updating"},
      {"rgb(1,2,3)F", "F", "", "", "", ""},
      {"F", "F", "", "", "hsl(10,0.1,0.1) trailing", ""},
  };
  for (const Case& c : cases) {
    CLSystem engine;
    engine.axiom = c.axiom;
    engine.ruleF = c.ruleF;
    engine.ruleX = c.ruleX;
    engine.ruleY = c.ruleY;
    engine.hslUpdating = c.hsl;
    CString current, error;
    EXPECT_EQ(engine.Validate(current, error), *c.error == 0) << c.axiom;
    EXPECT_EQ(error, c.error) << c.axiom;
  }
}

TEST(LSystemTest, PresetsRewritingAndDrawing) {
  CLSystemPreset preset;
  preset.Load(1);
  EXPECT_EQ(preset.axiom, "X");
  EXPECT_EQ(preset.ruleX, "-YF+XFX+FY-");
  EXPECT_EQ(preset.angle, 90.0);
  EXPECT_EQ(preset.unusedNumbers[0], 3.0);
  EXPECT_EQ(preset.name, "\xCA\xF0\xE8\xE2\xE0\xFF \xC3\xE8\xEB\xFC\xE1\xE5\xF0\xF2\xE0");
  preset.Load(13);
  EXPECT_EQ(preset.unusedNumbers[1], 270.0);
  EXPECT_EQ(preset.angle, 11.25);
  preset.Load(14);
  EXPECT_EQ(preset.axiom, "");
  EXPECT_EQ(preset.angle, 0.0);

  preset.Load(1);
  CLSystem engine;
  engine.SetFromPreset(preset);
  CString current, error;
  ASSERT_TRUE(engine.Validate(current, error));
  EXPECT_EQ(current, "-YF+XFX+FY-");
  EXPECT_DOUBLE_EQ(engine.GetAngle(), 3.141592654 / 2);
  CString next;
  engine.Rewrite(next);
  EXPECT_EQ(next, "-+XF-YFY-FX+F+-YF+XFX+FY-F-YF+XFX+FY-+F+XF-YFY-FX+-");
  std::vector<CLSegment> segments;
  engine.Draw(CLPoint{0, 0}, 2.0, 0.0, segments);
  EXPECT_EQ(segments.size(), 15u);
  EXPECT_NEAR(engine.GetMin().x, 0.0, 1e-6);
  EXPECT_NEAR(engine.GetMax().x, 6.0, 1e-6);
  EXPECT_NEAR(engine.GetMax().y - engine.GetMin().y, 6.0, 1e-6);
}

TEST(LSystemTest, StackColourCommandsAndUpdating) {
  CLSystem engine;
  engine.axiom = "F";
  engine.ruleF = "F";
  CString current, error;
  ASSERT_TRUE(engine.Validate(current, error));
  // "]" with an empty stack sends the turtle home with heading 0 and colour 0.
  engine.axiom = "RGB(10,20,30)F]F";
  engine.ruleF = "F";
  ASSERT_TRUE(engine.Validate(current, error));
  EXPECT_EQ(current, "RGB(10,20,30)F]F");
  std::vector<CLSegment> segments;
  engine.Draw(CLPoint{5, 5}, 1.0, 1.0, segments);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0].color, static_cast<int>(RGB(10, 20, 30)));
  EXPECT_DOUBLE_EQ(segments[0].x1, 5.0);
  EXPECT_DOUBLE_EQ(segments[1].x1, 0.0);
  EXPECT_DOUBLE_EQ(segments[1].y1, 0.0);
  EXPECT_DOUBLE_EQ(segments[1].x2, 1.0);
  EXPECT_EQ(segments[1].color, 0);
  // "[" and "]" keep and restore the position; B moves without drawing.
  engine.axiom = "[F]BF";
  engine.ruleB = "B";
  ASSERT_TRUE(engine.Validate(current, error));
  engine.Draw(CLPoint{0, 0}, 1.0, 0.0, segments);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_DOUBLE_EQ(segments[1].x1, 1.0);
  EXPECT_DOUBLE_EQ(segments[1].x2, 2.0);
  // The updating command shifts the colour before every move: red's hue
  // 360 + 120 wraps to 120, green.
  engine.axiom = "RGB(255,0,0)F";
  engine.hslUpdating = "HSL(120,0,0)";
  ASSERT_TRUE(engine.Validate(current, error));
  engine.Draw(CLPoint{0, 0}, 1.0, 0.0, segments);
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0].color, static_cast<int>(RGB(0, 255, 0)));
}

TEST(StitchPathTest, RightAngleMasks) {
  CPattern design = MakeDesign(4, 4);
  ApplyStitchPath(design, 1, 0);
  EXPECT_EQ(Picture(design), (Rows{"#.#.", ".#.#", "#.#.", ".#.#"}));
  EXPECT_TRUE(design.IsModified());

  design = MakeDesign(8, 4);
  ApplyStitchPath(design, 2, 3);
  EXPECT_EQ(Picture(design), (Rows{"*..*..*.", ".**.**.*", ".**.**.*", "*..*..*."}));
  // With a path colour the other beads keep their presence.
  design = MakeDesign(5, 5);
  design.GetBeadAt(1, 0)->m_present = 0;
  ApplyStitchPath(design, 3, 1);
  EXPECT_EQ(Picture(design), (Rows{"*#..*", ".***.", ".***.", ".***.", "*...*"}));
  // Path colour 0 makes every cell present or a hole, and clears old marks.
  ApplyStitchPath(design, 3, 0);
  EXPECT_EQ(Picture(design), (Rows{"#...#", ".###.", ".###.", ".###.", "#...#"}));
  CPattern same = design;
  ApplyStitchPath(design, 0, 1);
  ApplyStitchPath(design, 10, 1);
  EXPECT_EQ(Picture(design), Picture(same));
}

TEST(StitchPathTest, LineCells) {
  CPattern design = MakeDesign(7, 3);
  design.SetModified(false);
  LineCells(design, POINT{0, 0}, POINT{5, 1}, 2);
  EXPECT_EQ(Picture(design), (Rows{".......", "...***.", "***...."}));
  EXPECT_TRUE(design.IsModified());
  // Right to left, and a steep line: one cell per row.
  design = MakeDesign(7, 3);
  LineCells(design, POINT{6, 2}, POINT{5, 0}, 0);
  EXPECT_EQ(Picture(design), (Rows{"......#", ".....#.", ".....#."}));
  // One end outside: the cells inside are marked; both outside: nothing,
  // even when the line crosses the grid.
  design = MakeDesign(4, 2);
  LineCells(design, POINT{-2, 0}, POINT{1, 0}, 0);
  EXPECT_EQ(Picture(design), (Rows{"....", "##.."}));
  design = MakeDesign(4, 2);
  LineCells(design, POINT{-2, 1}, POINT{9, 1}, 0);
  EXPECT_EQ(Picture(design), (Rows{"....", "...."}));
}

TEST(StitchPathTest, HilbertAndGosperGrids) {
  struct Case {
    int kind, columns, rows;
    Rows expected;  // '#' marks the path cells
  } cases[] = {
      {4, 5, 5, {"#.###", "....#", "###.#", "#.#.#", "#.###"}},
      {5, 6, 4, {"###..#", "..#..#", "..#..#", "..####"}},
      {6, 9, 7, {"........#", "........#", "#####...#", "#...#...#", "#...#...#", "#...#...#", "#...#####"}},
      {7, 8, 6, {".#######", ".#.....#", "..#.....", "#..####.", ".#...#..", "..####.#"}},
      {9, 12, 9, {"............", "###########.", "#.........#.", ".#.........#", "..#.........", "..#.........",
                  "...######...", ".......#....", ".......#...."}},
  };
  for (const Case& c : cases) {
    CPattern design = MakeDesign(c.columns, c.rows);
    ApplyStitchPath(design, c.kind, 0);
    EXPECT_EQ(Picture(design), c.expected) << c.kind;
  }
  // With a path colour the Gosper cells are marked and present.
  CPattern design = MakeDesign(8, 6);
  ApplyStitchPath(design, 7, 2);
  Rows marked = cases[3].expected;
  for (std::string& row : marked)
    for (char& ch : row) ch = ch == '#' ? '*' : '.';
  EXPECT_EQ(Picture(design), marked);
  // The Hilbert path mirrors only the presence: marks keep their drawn side.
  design = MakeDesign(5, 5);
  ApplyStitchPath(design, 4, 1);
  Rows hilbert = cases[0].expected;
  for (std::string& row : hilbert) {
    std::string mirrored(row.rbegin(), row.rend());
    for (char& ch : mirrored) ch = ch == '#' ? '*' : '.';
    row = mirrored;
  }
  EXPECT_EQ(Picture(design), hilbert);
  // An empty design is left alone.
  CPattern empty;
  ApplyStitchPath(empty, 7, 0);
  EXPECT_FALSE(empty.HasBeads());
}

// Checksums of the Gosper paths as the code drew them before it was made
// faster (one draw fewer, sines and cosines of repeated headings kept): the
// beads must come out bit for bit the same.
TEST(StitchPathTest, GosperPathsAsBefore) {
  struct Case {
    int columns, rows, kind, pathColor;
    uint64_t checksum;
  };
  const Case cases[] = {
      {37, 23, 7, 0, 0x1d81abdcf3ac3a98ull},   {120, 80, 7, 3, 0xb63cea0f8115a243ull},
      {300, 200, 7, 0, 0x4e1ef77e542784e1ull}, {61, 400, 8, 0, 0x9a5d8f9db7b4909dull},
      {250, 250, 9, 2, 0xe862334e0bd3e593ull}, {1, 1, 7, 0, 0xa09acb4f35aa5589ull},
      {500, 30, 8, 5, 0x783d2365d9ffdb23ull},  {2000, 2000, 7, 0, 0xfba43c9c21fd7940ull},  // the benchmark's
  };
  for (const Case& c : cases) {
    CPattern design = buildertest::MakeDesign(c.columns, c.rows, 1);
    ApplyStitchPath(design, c.kind, c.pathColor);
    uint64_t h = 1469598103934665603ull;
    for (const CBead& b : design.m_beads) {
      for (unsigned v : {unsigned(b.m_present), unsigned(b.m_flags), unsigned(b.m_colorIndex)}) {
        h ^= v;
        h *= 1099511628211ull;
      }
    }
    EXPECT_EQ(h, c.checksum) << c.columns << " x " << c.rows << " kind " << c.kind;
  }
}
