// Weave formats and the grid geometry: counting, fresh layouts of every
// format, row formats, rectangles, hit testing and rendered-size fitting.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "core/ByteStream.h"
#include "core/TextUtils.h"
#include "design/Pattern.h"
#include "design/PatternParams.h"
#include "tests/design/design_test_util.h"

using designtest::MakeGrid;

TEST(WeaveFormat, CountBeadsInLength) {
  double actual = -1;
  EXPECT_EQ(CountBeadsInLength(2.0, 0.1, 0.02, &actual), 17u);
  EXPECT_DOUBLE_EQ(actual, 17 * 0.1 + 16 * 0.02);
  EXPECT_EQ(CountBeadsInLength(0.04, 0.1, 0.0, &actual), 0u);  // shorter than half a bead
  EXPECT_EQ(actual, 0.0);
  EXPECT_EQ(CountBeadsInLength(0.1, 0.1, 0.0, &actual), 1u);
  EXPECT_EQ(actual, 0.1);  // one bead, no spacer
  // No division by zero and no wrap-around.
  EXPECT_EQ(CountBeadsInLength(5.0, 0.0, 0.0, &actual), 0u);
  EXPECT_EQ(CountBeadsInLength(5.0, -1.0, 0.0, &actual), 0u);
  EXPECT_EQ(CountBeadsInLength(-5.0, 1.0, 0.0, &actual), 0u);
  EXPECT_EQ(CountBeadsInLength(std::numeric_limits<double>::infinity(), 1.0, 0.0, &actual), 0u);
  EXPECT_EQ(CountBeadsInLength(std::nan(""), 1.0, 0.0, &actual), 0u);
  EXPECT_EQ(CountBeadsInLength(1e300, 1e-300, 0.0, &actual), 0u);  // quotient overflows to infinity
  EXPECT_EQ(CountBeadsInLength(1e12, 1.0, 0.0, &actual), static_cast<unsigned>(INT_MAX));
}

TEST(WeaveFormat, Predicates) {
  EXPECT_FALSE(IsPeyoteFormat(0));
  EXPECT_TRUE(IsPeyoteFormat(1));
  EXPECT_TRUE(IsPeyoteFormat(9));
  EXPECT_FALSE(IsPeyoteFormat(13));
  EXPECT_TRUE(IsPeyoteLikeFormat(13));
  EXPECT_FALSE(IsPeyoteLikeFormat(10));
  // format 1: even columns; format 2: columns 0, 1 of every 4; format 9: 0..8 of 18.
  EXPECT_TRUE(IsShiftedColumn(1, 0));
  EXPECT_FALSE(IsShiftedColumn(1, 1));
  EXPECT_TRUE(IsShiftedColumn(2, 1));
  EXPECT_FALSE(IsShiftedColumn(2, 2));
  EXPECT_TRUE(IsShiftedColumn(2, 4));
  EXPECT_TRUE(IsShiftedColumn(9, 8));
  EXPECT_FALSE(IsShiftedColumn(9, 9));
  EXPECT_TRUE(IsShiftedColumn(9, 18));
  EXPECT_FALSE(IsShiftedColumn(10, 0));
  EXPECT_FALSE(IsShiftedColumn(13, 0));
}

TEST(WeaveFormat, RowFormatRuns) {
  const CRowFormatArray runs = {{2, kFormatLoom}, {3, kFormatPeyote}};
  const int expected[] = {0, 0, 1, 1, 1, 1, 1};
  for (int row = 0; row < 7; ++row) EXPECT_EQ(RowFormatAt(runs, row), expected[row]) << row;
  EXPECT_EQ(RowFormatAt({}, 3), 0);
  CPattern p = MakeGrid(2, 6, kFormatBrick);
  EXPECT_EQ(p.GetRowFormat(4), kFormatBrick);
  EXPECT_FALSE(p.HasRowLayout());
  p.m_rowFormats = runs;
  EXPECT_EQ(p.GetRowFormat(4), kFormatPeyote);
  EXPECT_TRUE(p.HasRowLayout());
  EXPECT_TRUE(p.IsPeyoteKind());
  EXPECT_FALSE(p.IsBrickKind());
}

TEST(WeaveFormat, Names) {
  EXPECT_STREQ(GetFormatNameUtf8(0, false), "Loom");
  EXPECT_STREQ(GetFormatNameUtf8(13, false), "Sacred Peyotek");
  EXPECT_STREQ(GetFormatNameUtf8(14, false), "Loom");
  EXPECT_STREQ(GetFormatNameUtf8(-1, true), "Ткань (loom)");
  EXPECT_STREQ(GetFormatNameUtf8(10, true), "Кирпич (brick)");
  EXPECT_STREQ(GetStitchPathNameUtf8(2, false), "RAW (2 beads)");
  EXPECT_EQ(GetStitchPathNameUtf8(10, false), nullptr);
  EXPECT_STREQ(GetColorModeNameUtf8(0, false), "Sharp Color");
  for (int pos = 0; pos < 4; ++pos) EXPECT_EQ(ComboPositionFromColorMode(ColorModeFromComboPosition(pos)), pos);
  EXPECT_EQ(ColorModeFromComboPosition(2), kColorModeExact);
  EXPECT_EQ(ComboPositionFromColorMode(7), 0);
}

TEST(WeaveFormat, Units) {
  EXPECT_FLOAT_EQ(InchesToUnits(1, 0), 1.0f);
  EXPECT_FLOAT_EQ(InchesToUnits(1, 1), 2.54f);
  EXPECT_FLOAT_EQ(InchesToUnits(1, 2), 25.4f);
  EXPECT_EQ(InchesToUnits(1, 3), 0.0f);
  float v = 2.54f;
  UnitsToInches(v, 1);
  EXPECT_FLOAT_EQ(v, 1.0f);
  v = 25.4f;
  UnitsToInches(v, 2);
  EXPECT_FLOAT_EQ(v, 1.0f);
  v = 3.0f;
  UnitsToInches(v, 7);
  EXPECT_EQ(v, 3.0f);
}

TEST(GridLayout, FreshLoomGrid) {
  CPattern p;
  p.m_rowFormats = {{1, 1}};
  p.m_angle = 90;
  p.m_modified = 1;
  CGridLayout layout{2.0f, 1.0f, 0.1f, 0.1f, 0.02f, kFormatLoom};
  ASSERT_TRUE(p.CreateGrid(layout, 4));
  EXPECT_TRUE(p.m_rowFormats.empty());
  EXPECT_EQ(p.m_angle, 0);
  EXPECT_EQ(p.m_blank, 1);
  EXPECT_EQ(p.m_modified, 0);
  EXPECT_EQ(p.m_nominalWidth, static_cast<double>(2.0f));
  EXPECT_EQ(p.m_beadWidth, static_cast<double>(0.1f));  // single precision kept exactly
  const unsigned columns = p.GetColumnCount(), rows = p.GetRowCount();
  EXPECT_EQ(columns, 17u);
  EXPECT_EQ(rows, 8u);
  ASSERT_EQ(p.m_beads.size(), size_t{columns * rows});
  const CBead& first = p.m_beads[0];
  EXPECT_DOUBLE_EQ(first.m_x, (p.m_beadWidth / 2) / p.m_actualWidth);
  EXPECT_DOUBLE_EQ(first.m_y, (p.m_beadHeight / 2) / p.m_actualHeight);
  EXPECT_EQ(first.m_colorIndex, 4);
  EXPECT_EQ(first.m_cachedColor, 4u);  // a fresh layout stores the index number there
  EXPECT_EQ(p.m_beads[0].m_alternate, 1);
  EXPECT_EQ(p.m_beads[1].m_alternate, 0);
  EXPECT_EQ(p.m_beads[2].m_alternate, 1);
  EXPECT_EQ(p.m_beads[columns].m_alternate, 1);  // restarts every row
  for (const CBead& b : p.m_beads) {
    EXPECT_GE(b.m_x, 0.0);
    EXPECT_LE(b.m_x, 1.0);
    EXPECT_LE(b.m_y, 1.0);
  }
}

TEST(GridLayout, BrickRowsAreOffset) {
  CPattern p = MakeGrid(5, 4, kFormatBrick);
  ASSERT_EQ(p.GetColumnCount(), 5u);
  EXPECT_DOUBLE_EQ(p.m_actualWidth, 5.5);
  for (int row = 0; row < 4; ++row) {
    const double start = p.m_beads[static_cast<size_t>(row * 5)].m_x * p.m_actualWidth;
    EXPECT_DOUBLE_EQ(start, row % 2 == 0 ? 1.0 : 0.5) << row;
  }
}

TEST(GridLayout, SacredBrickRowsAreOffset) {
  CPattern p = MakeGrid(4, 2, kFormatSacredBrick);
  EXPECT_DOUBLE_EQ(p.m_actualWidth, 4.0 + 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(p.m_beads[0].m_x * p.m_actualWidth, 0.5);
  EXPECT_DOUBLE_EQ(p.m_beads[4].m_x * p.m_actualWidth, 7.0 / 6.0);
}

TEST(GridLayout, PeyoteColumnsAreRaisedInGroups) {
  CPattern p = MakeGrid(7, 2, 3);
  EXPECT_DOUBLE_EQ(p.m_actualHeight, 2.5);
  for (int column = 0; column < 7; ++column) {
    const double y = p.m_beads[static_cast<size_t>(column)].m_y * p.m_actualHeight;
    const bool raised = column < 3 || column == 6;
    EXPECT_DOUBLE_EQ(y, raised ? 1.0 : 0.5) << column;
  }
  // Sacred Peyote only gets the room, no stagger in the fresh layout.
  CPattern s = MakeGrid(3, 2, kFormatSacredPeyote);
  EXPECT_DOUBLE_EQ(s.m_actualHeight, 3.0);
  EXPECT_DOUBLE_EQ(s.m_beads[0].m_y, s.m_beads[1].m_y);
}

TEST(GridLayout, PeyoteCentresStayInsideWhateverTheSpacer) {
  // A spacer larger than a bead raises the shifted columns past the room of
  // half a bead: the height grows to the highest centre (5.5 + 1.25).
  CPattern wide = MakeGrid(4, 3, kFormatPeyote, 0, 1.0f, 1.5f);
  EXPECT_DOUBLE_EQ(wide.m_actualHeight, 6.75);
  EXPECT_EQ(wide.m_beads[8].m_y, 1.0);  // top row, column 0
  EXPECT_DOUBLE_EQ(wide.m_beads[9].m_y * wide.m_actualHeight, 5.5);
  // A spacer below the bead keeps the format's room.
  CPattern narrow = MakeGrid(4, 3, kFormatPeyote, 0, 1.0f, 0.5f);
  EXPECT_DOUBLE_EQ(narrow.m_actualHeight, 4.5);
  // Peyote rows under a loom top row: the highest centre may be a lower row's.
  CPattern runs;
  CGridLayout layout{4.0f, 6.0f, 1.0f, 1.0f, 1.5f, kFormatLoom};
  ASSERT_TRUE(runs.CreateGridWithRowFormats(layout, {{1, kFormatLoom}, {2, kFormatPeyote}}, 0));
  EXPECT_DOUBLE_EQ(runs.m_actualHeight, 6.5);  // centres 4.25 and 5.5 lie below the room
  // A spacer as large as the bead: rounding never carries a centre past 1.
  for (int rows : {13, 16, 17, 26, 31, 64}) {
    for (int format : {static_cast<int>(kFormatPeyote), 4}) {
      CPattern p = MakeGrid(5, rows, format, 0, 0.1f, 0.1f);
      for (const CBead& b : p.m_beads) ASSERT_TRUE(b.IsValid()) << rows << " rows: " << b.m_y;
    }
  }
  for (const CPattern* p : {&wide, &narrow, &runs})
    for (const CBead& b : p->m_beads) EXPECT_TRUE(b.IsValid()) << b.m_x << " " << b.m_y;
}

TEST(GridLayout, EveryFormatLaysOutColumnsTimesRows) {
  for (int format = 0; format < kFormatCount; ++format) {
    CPattern p = MakeGrid(6, 5, format, 0, 0.11f, 0.02f);
    EXPECT_EQ(p.GetColumnCount(), 6u) << format;
    EXPECT_EQ(p.GetRowCount(), 5u) << format;
    EXPECT_EQ(p.m_beads.size(), 30u) << format;
    EXPECT_GE(p.m_actualWidth, p.m_nominalWidth - 1e-6) << format;
  }
}

TEST(GridLayout, RowFormatLayout) {
  CPattern p;
  p.m_blank = 0;
  const CRowFormatArray runs = {{1, kFormatBrick}, {2, kFormatPeyote}};
  CGridLayout layout{4.0f, 3.0f, 1.0f, 1.0f, 0.0f, kFormatLoom};
  ASSERT_TRUE(p.CreateGridWithRowFormats(layout, runs, 2));
  EXPECT_EQ(p.m_rowFormats, runs);
  EXPECT_EQ(p.m_blank, 0);
  EXPECT_EQ(p.m_modified, 1);
  EXPECT_DOUBLE_EQ(p.m_actualWidth, 4.5);
  EXPECT_DOUBLE_EQ(p.m_actualHeight, 3.5);
  // Top row (storage row 2, odd... counted from the bottom: 2, even) is Brick.
  EXPECT_DOUBLE_EQ(p.m_beads[8].m_x * p.m_actualWidth, 1.0);
  // The two lower rows are Peyote: column 0 raised, column 1 not.
  EXPECT_DOUBLE_EQ(p.m_beads[0].m_y * p.m_actualHeight, 1.0);
  EXPECT_DOUBLE_EQ(p.m_beads[1].m_y * p.m_actualHeight, 0.5);
  EXPECT_DOUBLE_EQ(p.m_beads[0].m_x * p.m_actualWidth, 0.5);
  // Laying out again from the design's own runs works.
  ASSERT_TRUE(p.CreateGridWithRowFormats(layout, p.m_rowFormats, 2));
  EXPECT_EQ(p.m_rowFormats, runs);
}

TEST(GridLayout, TooManyBeadsFailsCleanly) {
  CPattern p;
  CGridLayout layout{100000.0f, 100000.0f, 1.0f, 1.0f, 0.0f, kFormatLoom};
  EXPECT_FALSE(p.CreateGrid(layout, 0));
  EXPECT_FALSE(p.HasBeads());
}

TEST(GridLayout, BeadRectangles) {
  CPattern p = MakeGrid(2, 2);
  const RECT area{0, 0, 100, 100};
  const RECT r = p.GetBeadRect(p.m_beads[0], area);  // bottom-left bead
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right, 50);
  EXPECT_EQ(r.bottom, 100);
  const RECT t = p.GetBeadRectTopDown(p.m_beads[0], area);
  EXPECT_EQ(t.top, 0);
  EXPECT_EQ(t.bottom, 50);
  p.SetViewRect(RECT{10, 10, 110, 110});
  const RECT v = p.GetBeadViewRect(p.m_beads[3]);
  EXPECT_EQ(v.left, 60);
  EXPECT_EQ(v.top, 10);
  // Halves round away from zero: 3 columns over 100 pixels.
  CPattern q = MakeGrid(3, 1);
  const RECT m = q.GetBeadRect(q.m_beads[1], RECT{0, 0, 100, 10});
  EXPECT_EQ(m.left, 33);  // 50 - 16.67
  EXPECT_EQ(m.right, 67);
  // Left of the origin too: 4 columns over 10 pixels from -11 put bead 1 from -8.5 to -6.
  CPattern n = MakeGrid(4, 1);
  const RECT k = n.GetBeadRect(n.m_beads[1], RECT{-11, -3, -1, 0});
  EXPECT_EQ(k.left, -9);
  EXPECT_EQ(k.right, -6);
  EXPECT_EQ(k.top, -3);
  // Far outside the int range the edges saturate.
  const RECT huge = n.GetBeadRect(n.m_beads[3], RECT{INT_MAX - 10, 0, INT_MAX, 1});
  EXPECT_LE(huge.left, huge.right);
  EXPECT_EQ(huge.right, INT_MAX);
}

TEST(GridLayout, MapCellToImage) {
  CPattern p = MakeGrid(4, 2);
  POINT c;
  SIZE s;
  EXPECT_TRUE(p.MapCellToImage(1, 2, RECT{10, 20, 110, 70}, c, s, true));
  EXPECT_EQ(c.x, 10 + 63);  // 62.5 rounds up
  EXPECT_EQ(c.y, 20 + 38);  // 37.5 rounds up
  EXPECT_EQ(s.cx, 25);
  EXPECT_EQ(s.cy, 25);
  EXPECT_FALSE(p.MapCellToImage(2, 0, RECT{10, 20, 110, 70}, c, s, true));
  EXPECT_TRUE(p.MapCellToImage(2, 0, RECT{10, 20, 110, 70}, c, s, false));
  CPattern empty;
  EXPECT_FALSE(empty.MapCellToImage(0, 0, RECT{0, 0, 10, 10}, c, s, true));
}

TEST(HitTest, SpacerGapAndNumbering) {
  // 3 x 2 Loom, bead 1, spacer 0.5: actual 4 x 2.5.
  CPattern p = MakeGrid(3, 2, kFormatLoom, 0, 1.0f, 0.5f);
  ASSERT_EQ(p.GetColumnCount(), 3u);
  ASSERT_DOUBLE_EQ(p.m_actualWidth, 4.0);
  const double gapX = 1.2 / 4.0;  // between bead 0 (0..1) and bead 1 (1.5..2.5)
  const double bottomRowY = 1 - 0.5 / 2.5;
  BYTE present = 9;
  EXPECT_EQ(p.HitTestBead(gapX, bottomRowY, false, &present, false), -1);
  EXPECT_EQ(p.HitTestBead(gapX, bottomRowY, false, &present, true), 0);
  EXPECT_EQ(present, 1);
  const double x1 = 2.0 / 4.0;
  EXPECT_EQ(p.HitTestBead(x1, bottomRowY, false, nullptr, false), 1);
  EXPECT_EQ(p.HitTestBead(x1, bottomRowY, true, nullptr, false), 1 + 3 * 1);  // row flip only
  const double topRowY = 1 - 2.0 / 2.5;
  EXPECT_EQ(p.HitTestBead(x1, topRowY, false, nullptr, false), 4);
  EXPECT_EQ(p.HitTestBead(x1, topRowY, true, nullptr, false), 1);
  p.m_beads[4].m_present = 0;
  EXPECT_EQ(p.HitTestBead(x1, topRowY, false, &present, false), 4);
  EXPECT_EQ(present, 0);
  EXPECT_EQ(p.HitTestBead(1.5, 0.5, false, nullptr, true), -1);
}

// A view that draws a 2 x 2 loom design into a 100-pixel square asks
// (x / 100, y / 100).
TEST(HitTest, SmallLoomGrid) {
  CPattern p;
  CGridLayout layout{2.0f, 2.0f, 1.0f, 1.0f, 0.0f, kFormatLoom};
  ASSERT_TRUE(p.CreateGrid(layout, 0));
  EXPECT_EQ(std::count_if(p.m_beads.begin(), p.m_beads.end(), [](const CBead& b) { return b.m_present != 0; }), 4);
  EXPECT_EQ(p.HitTestBead(0.75, 0.25, true, nullptr, false), 1);
  EXPECT_EQ(p.HitTestBead(0.75, 0.25, false, nullptr, false), 3);
  EXPECT_EQ(p.HitTestBead(1.5, 0.25, false, nullptr, false), -1);
}

TEST(HitTest, PeyoteSearchesColumnFirst) {
  // Peyote 2 x 2, bead 1: column 0 raised by half a bead; actual height 2.5.
  CPattern p = MakeGrid(2, 2, kFormatPeyote);
  const double x0 = 0.5 / 2.0;
  EXPECT_EQ(p.HitTestBead(x0, 1 - 1.0 / 2.5, false, nullptr, false), 0);
  EXPECT_EQ(p.HitTestBead(x0, 1 - 2.0 / 2.5, false, nullptr, false), 2);
  const double x1 = 1.5 / 2.0;
  EXPECT_EQ(p.HitTestBead(x1, 1 - 0.5 / 2.5, false, nullptr, false), 1);
  EXPECT_EQ(p.HitTestBead(x1, 1 - 1.5 / 2.5, true, nullptr, false), 1);
  EXPECT_EQ(p.HitTestBead(x0, 0.999, false, nullptr, false), -1);  // below the raised column
}

TEST(RenderSize, FindGridForBeadCount) {
  int w = 0, h = 0;
  CPattern loom = MakeGrid(10, 5);
  EXPECT_TRUE(FindGridForBeadCount(10000, 10, 5, w, h, loom));
  EXPECT_EQ(w, 140);
  EXPECT_EQ(h, 70);
  EXPECT_FALSE(FindGridForBeadCount(49, 10, 5, w, h, loom));  // smaller than one block
  EXPECT_FALSE(FindGridForBeadCount(10000, 0, 5, w, h, loom));
  CPattern peyote = MakeGrid(10, 5, 2);
  EXPECT_TRUE(FindGridForBeadCount(20 * 11, 10, 5, w, h, peyote));
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 11);
  CPattern brick = MakeGrid(10, 5, kFormatBrick);
  EXPECT_TRUE(FindGridForBeadCount(21 * 10 * 4, 10, 5, w, h, brick));
  EXPECT_EQ(w, 42);
  EXPECT_EQ(h, 20);
  CPattern sacred = MakeGrid(10, 5, kFormatSacredBrick);
  EXPECT_TRUE(FindGridForBeadCount(32 * 15, 10, 5, w, h, sacred));
  EXPECT_EQ(w, 32);
  CPattern sp = MakeGrid(10, 5, kFormatSacredPeyote);
  EXPECT_TRUE(FindGridForBeadCount(10 * 6, 10, 5, w, h, sp));
  EXPECT_EQ(h, 6);
  // At most 999 sizes are tried, and huge budgets do not overflow.
  EXPECT_TRUE(FindGridForBeadCount(LLONG_MAX, 1, 1, w, h, loom));
  EXPECT_EQ(w, 999);
  CPattern oblong = MakeGrid(10, 5);
  oblong.m_beadHeight = 2.0;
  EXPECT_FALSE(FindGridForBeadCount(10000, 10, 5, w, h, oblong));
  ScaleToBeadCount(400, 10, 40, w, h);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 40);
  ScaleToBeadCount(100, 10, 40, w, h);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 20);
  ScaleToBeadCount(100, 0, 40, w, h);
  EXPECT_EQ(w, 0);
}

TEST(BuildParams, StoredFormRoundTrip) {
  CPatternParams a;
  EXPECT_EQ(a.m_beadWidth, 1.0);
  EXPECT_EQ(a.m_colorMode, kColorModeClassic);
  a.m_width = 3.25;
  a.m_height = 1.5;
  a.m_beadWidth = 0.11;
  a.m_beadHeight = 0.12;
  a.m_spacer = 0.01;
  a.m_format = 10;
  a.m_stitchPath = 7;
  a.m_pathColor = 3;
  a.m_extraInt = -5;
  a.m_blank = 1;
  a.m_lastByte = 0xAB;
  a.m_colorMode = kColorModeExact;
  BYTE buf[100];
  memset(buf, 0xEE, sizeof(buf));
  CByteStream w(buf, 90);
  ASSERT_TRUE(a.Write(w));
  EXPECT_EQ(w.GetPosition(), CPatternParams::GetStoredSize());
  for (int i = 58; i < 90; ++i) EXPECT_EQ(buf[i], 0) << i;
  EXPECT_EQ(buf[56], 1);
  EXPECT_EQ(buf[57], 0xAB);
  CPatternParams b;
  b.m_colorMode = kColorModeSoftened;
  CByteStream r(buf, 90);
  ASSERT_TRUE(b.Read(r));
  EXPECT_EQ(b.m_colorMode, kColorModeSoftened);  // not stored
  b.m_colorMode = a.m_colorMode;
  EXPECT_EQ(a, b);
  for (int size : {0, 39, 57, 89}) {
    CByteStream shortWrite(buf, size);
    EXPECT_FALSE(a.Write(shortWrite)) << size;
    CByteStream shortRead(buf, size);
    CPatternParams c;
    EXPECT_FALSE(c.Read(shortRead)) << size;
  }
}

TEST(BuildParams, ApplyParams) {
  CPatternParams params;
  params.m_width = 2;
  params.m_height = 3;
  params.m_format = 5;
  params.m_stitchPath = 2;
  params.m_pathColor = 4;
  params.m_blank = 1;
  params.m_colorMode = kColorModeExact;
  CPattern p;
  p.ApplyParams(params);
  EXPECT_EQ(p.m_nominalWidth, 2);
  EXPECT_EQ(p.m_format, 5);
  EXPECT_EQ(p.m_stitchPath, 2);
  EXPECT_EQ(p.m_pathColor, 4);
  EXPECT_EQ(p.m_blank, 1);
  EXPECT_EQ(p.m_modified, 1);
  EXPECT_EQ(p.m_colorMode, kColorModeClassic);  // the builder sets it
  EXPECT_EQ(p.GetColumnCount(), 2u);
}
