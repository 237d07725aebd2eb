#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "design/LSystem.h"
#include "design/StitchPath.h"
#include "tests/builder/builder_test_util.h"
#include "tests/design/old_gosper.h"

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

namespace {

uint64_t BeadChecksum(const CPattern& design) {
  uint64_t h = 1469598103934665603ull;
  for (const CBead& b : design.m_beads) {
    for (unsigned v : {unsigned(b.m_present), unsigned(b.m_flags), unsigned(b.m_colorIndex)}) {
      h ^= v;
      h *= 1099511628211ull;
    }
  }
  return h;
}

// The drawing's segments bit for bit (ends, colour), then its box.
uint64_t DrawingChecksum(CLSystem& engine, const std::vector<CLSegment>& segments) {
  uint64_t h = 1469598103934665603ull;
  const auto mix = [&h](uint64_t v) {
    h ^= v;
    h *= 1099511628211ull;
  };
  for (const CLSegment& s : segments) {
    for (double d : {s.x1, s.y1, s.x2, s.y2}) mix(std::bit_cast<uint64_t>(d));
    mix(static_cast<uint32_t>(s.color));
  }
  for (double d : {engine.GetMin().x, engine.GetMin().y, engine.GetMax().x, engine.GetMax().y})
    mix(std::bit_cast<uint64_t>(d));
  return h;
}

// The string of a generation by plain rewriting, as a reader would do it
// by hand: F f -> rule F, B l -> rule B, X x -> rule X, Y y -> rule Y,
// spaces dropped, every other symbol kept.
std::string RewrittenByHand(const CLSystemPreset& p, int generations) {
  std::string s = p.axiom.str();
  for (int g = 0; g < generations; ++g) {
    std::string next;
    for (char c : s) {
      switch (c) {
        case 'F': case 'f': next += p.ruleF.str(); break;
        case 'B': case 'l': next += p.ruleB.str(); break;
        case 'X': case 'x': next += p.ruleX.str(); break;
        case 'Y': case 'y': next += p.ruleY.str(); break;
        case ' ': break;
        default: next += c; break;
      }
    }
    s = std::move(next);
  }
  return s;
}

}  // namespace

// Every preset, several generations: the drawing and the string of each
// generation, whether the string is written out at every step or the
// rules are expanded while drawing. The checksums are those of the code
// that wrote every generation out before drawing it.
TEST(LSystemTest, PresetDrawingsAsBefore) {
  struct Case {
    int preset, generations;
    uint64_t checksum;
  };
  const Case cases[] = {
      {0, 4, 0x224e7533a3cdf1b0ull},  {1, 5, 0xdc03c48ced6c5b14ull},  {2, 4, 0xbdeb635c60481bddull},
      {3, 3, 0xdc8d0083ab0243f2ull},  {4, 4, 0x040c7e1b66b845cbull},  {5, 8, 0x05bb818bf558c1cbull},
      {6, 2, 0x7d36acef45bdb3cfull},  {7, 2, 0xfdf22f7bc8b09ca9ull},  {8, 3, 0x8ca96e152b1f9676ull},
      {9, 3, 0x06f9a25edb706511ull},  {10, 4, 0xcff6fa666a37c8f3ull}, {11, 3, 0xe58715ea83ada3b6ull},
      {12, 4, 0x65ac3adb7d08b8e8ull}, {13, 3, 0x9b1b76123169cec2ull},
  };
  for (const Case& c : cases) {
    CLSystemPreset preset;
    preset.Load(c.preset);
    // A space in the rules is kept for one generation and dropped by the next.
    if (c.preset == 2) preset.ruleY = "-FX+ YFYF++YF+FX--FX-Y";
    CLSystem kept, expanded;
    kept.SetFromPreset(preset);
    expanded.SetFromPreset(preset);
    CString current, error;
    ASSERT_TRUE(kept.Validate(current, error));
    ASSERT_TRUE(expanded.Validate(current, error));
    std::vector<CLSegment> a, b;
    for (int g = 2; g <= c.generations; ++g) {
      CString text;
      kept.Rewrite(text);  // written out
      expanded.Rewrite();
      kept.Draw(CLPoint{1.5, -2.0}, 3.0, 0.25, a);
      expanded.Draw(CLPoint{1.5, -2.0}, 3.0, 0.25, b);
      ASSERT_EQ(DrawingChecksum(kept, a), DrawingChecksum(expanded, b)) << c.preset << " generation " << g;
      EXPECT_EQ(expanded.GetCurrent().GetLength(), static_cast<int>(RewrittenByHand(preset, g).size()));
    }
    EXPECT_EQ(expanded.GetCurrent(), CString(RewrittenByHand(preset, c.generations))) << c.preset;
    EXPECT_EQ(DrawingChecksum(expanded, b), c.checksum) << c.preset << std::hex << " 0x" << DrawingChecksum(expanded, b);
  }
  // Rules changed between two rewritings: each generation follows the rules
  // of its time.
  CLSystemPreset hilbert;
  hilbert.Load(1);
  CLSystem engine;
  engine.SetFromPreset(hilbert);
  CString current, error;
  ASSERT_TRUE(engine.Validate(current, error));
  engine.Rewrite();
  engine.ruleX = "XF+";
  engine.Rewrite();
  engine.Rewrite();
  CLSystemPreset changed = hilbert;
  changed.axiom = CString(RewrittenByHand(hilbert, 2));
  changed.ruleX = "XF+";
  const std::string expected = RewrittenByHand(changed, 2);
  EXPECT_EQ(engine.GetCurrentLength(), static_cast<long long>(expected.size()));
  EXPECT_EQ(engine.GetCurrent(), CString(expected));
}

// Checksums of the Hilbert paths as the code drew them before it expanded
// the rules while drawing.
TEST(StitchPathTest, HilbertPathsAsBefore) {
  struct Case {
    int columns, rows, kind, pathColor;
    uint64_t checksum;
  };
  const Case cases[] = {
      {37, 23, 4, 0, 0xb3bf95ad11731361ull},  {120, 80, 5, 3, 0xe95e3dd35ea14c83ull},
      {300, 200, 6, 0, 0x2a59ca0594171af8ull}, {61, 400, 4, 2, 0x5afe586be231ea03ull},
      {1, 1, 5, 0, 0xa944444f3a9250ceull},     {700, 650, 4, 0, 0x4edad26fd7e572b3ull},
  };
  for (const Case& c : cases) {
    CPattern design = buildertest::MakeDesign(c.columns, c.rows, 1);
    ApplyStitchPath(design, c.kind, c.pathColor);
    EXPECT_EQ(BeadChecksum(design), c.checksum)
        << c.columns << " x " << c.rows << " kind " << c.kind << std::hex << " 0x" << BeadChecksum(design);
  }
}

// Checksums of the Gosper paths as the code drew them before it was made
// faster (one draw fewer, sines and cosines of repeated headings kept; then
// the rules expanded while drawing): the beads must come out bit for bit
// the same.
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
      {2000, 2000, 9, 0, 0xbdf920e9110d7f1cull}, {1000, 1000, 7, 4, 0xfb38a5d07f0a1ac3ull},
      {3000, 40, 7, 0, 0xa23a90cd2fa1d015ull},   {777, 1333, 8, 1, 0x108b0c04d61bb959ull},
  };
  for (const Case& c : cases) {
    CPattern design = buildertest::MakeDesign(c.columns, c.rows, 1);
    ApplyStitchPath(design, c.kind, c.pathColor);
    EXPECT_EQ(BeadChecksum(design), c.checksum)
        << c.columns << " x " << c.rows << " kind " << c.kind << std::hex << " 0x" << BeadChecksum(design);
  }
}

// The Gosper path beside the string rewriting it replaced, on sizes and
// shapes the checksums above do not hold: square, wide, tall, one row or
// column, and path colours.
TEST(StitchPathTest, GosperPathsAsTheStringRewritingDrewThem) {
  struct Case {
    int columns, rows, kind, pathColor;
  };
  const Case cases[] = {{2, 2, 7, 0},    {9, 1, 8, 2},     {1, 17, 9, 0},    {64, 64, 7, 1},  {200, 13, 9, 0},
                        {13, 260, 7, 3}, {333, 222, 8, 0}, {480, 480, 9, 4}, {640, 90, 7, 0}};
  for (const Case& c : cases) {
    CPattern now = buildertest::MakeDesign(c.columns, c.rows, 1);
    CPattern before = now;
    ApplyStitchPath(now, c.kind, c.pathColor);
    oldgosper::ApplyGosperPath(before, c.kind - 4, c.pathColor);
    EXPECT_EQ(BeadChecksum(now), BeadChecksum(before)) << c.columns << " x " << c.rows << " kind " << c.kind;
    EXPECT_EQ(now.IsModified(), before.IsModified());
  }
}
