// Bead editing operations and the index lists of the drawing tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "design/BeadBlock.h"
#include "design/Pattern.h"
#include "tests/design/design_test_util.h"

using designtest::FakePalette;
using designtest::MakeGrid;

TEST(CellEdits, PresenceAndModifiedByte) {
  CPattern p = MakeGrid(3, 2);
  EXPECT_TRUE(p.SetBeadPresent(1, 0, true));  // already present
  EXPECT_EQ(p.m_modified, 0);
  EXPECT_TRUE(p.SetBeadPresent(1, 0, false));
  EXPECT_EQ(p.m_modified, 1);
  EXPECT_EQ(p.GetBeadAt(1, 0)->m_present, 0);
  EXPECT_FALSE(p.SetBeadPresent(3, 0, true));
  p.m_modified = 0;
  p.SetPathBead(0, 1, false);
  EXPECT_TRUE(p.GetBeadAt(0, 1)->IsPathColor());
  EXPECT_EQ(p.GetBeadAt(0, 1)->m_present, 0);
  EXPECT_EQ(p.m_modified, 1);
  p.m_modified = 0;
  p.ClearPathBead(0, 1);
  EXPECT_FALSE(p.GetBeadAt(0, 1)->IsPathColor());
  EXPECT_EQ(p.m_modified, 1);
  p.SetPathBead(9, 9, true);  // outside: nothing
}

TEST(CellEdits, SetBeadColorReturnsOwnIndexAndSetBeadColorIndexTheShownOne) {
  CPattern p = MakeGrid(2, 2, kFormatLoom, 3);
  p.m_pathColor = 9;
  p.GetBeadAt(0, 0)->SetPathColor();
  EXPECT_EQ(p.SetBeadColor(0, 0, 5, false), 3);  // its own index, not the path colour 8
  EXPECT_FALSE(p.GetBeadAt(0, 0)->IsPathColor());
  EXPECT_EQ(p.GetBeadAt(0, 0)->m_colorIndex, 5);
  EXPECT_EQ(p.GetBeadAt(0, 0)->m_present, 0);
  EXPECT_EQ(p.m_modified, 0);
  p.GetBeadAt(1, 1)->SetPathColor();
  EXPECT_EQ(p.SetBeadColorIndex(1, 1, 6), 8);  // the shown path colour
  EXPECT_EQ(p.GetBeadColor(1, 1), 6);
  EXPECT_EQ(p.SetBeadColor(5, 5, 1, true), -1);
  EXPECT_EQ(p.SetBeadColorIndex(-1, 0, 1), -1);
}

TEST(IndexEdits, RecolorPutReplace) {
  CPattern p = MakeGrid(3, 1, kFormatLoom, 2);
  EXPECT_EQ(p.RecolorBead(0, 2), -1);  // already that colour
  EXPECT_EQ(p.RecolorBead(0, 4), 2);
  EXPECT_EQ(p.m_modified, 1);
  p.m_beads[1].m_present = 0;
  EXPECT_EQ(p.RecolorBead(1, 4), -1);  // absent
  EXPECT_EQ(p.RecolorBead(3, 4), -1);  // outside the beads
  EXPECT_EQ(p.RecolorBead(-1, 4), -1);
  p.m_modified = 0;
  EXPECT_FALSE(p.PutBead(0, 4));
  EXPECT_TRUE(p.PutBead(1, 2));  // absent: made present
  EXPECT_EQ(p.m_beads[1].m_present, 1);
  EXPECT_EQ(p.m_modified, 0);
  EXPECT_FALSE(p.PutBead(99, 1));
  EXPECT_FALSE(p.ReplaceBeadColor(2, 2, 2));
  EXPECT_FALSE(p.ReplaceBeadColor(2, 3, 5));
  EXPECT_TRUE(p.ReplaceBeadColor(2, 2, 5));
  EXPECT_EQ(p.m_beads[2].m_colorIndex, 5);
  EXPECT_FALSE(p.ReplaceBeadColor(7, 2, 5));
}

TEST(WholeDesign, ReplaceColor) {
  CPattern p = MakeGrid(3, 1, kFormatLoom, 3);
  p.m_beads[2].SetColorIndex(1);
  EXPECT_FALSE(p.ReplaceColor(3, 3));
  EXPECT_EQ(p.m_modified, 0);
  p.m_beads[1].m_present = 0;
  EXPECT_TRUE(p.ReplaceColor(3, 5));
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 5);
  EXPECT_EQ(p.m_beads[1].m_colorIndex, 5);  // absent beads too
  EXPECT_EQ(p.m_beads[2].m_colorIndex, 1);
  EXPECT_EQ(p.m_modified, 1);
  EXPECT_FALSE(p.ReplaceColor(3, 5));  // nothing left to change
  CPattern empty;
  EXPECT_FALSE(empty.ReplaceColor(0, 1));
}

TEST(WholeDesign, CacheAndRematch) {
  FakePalette palette({RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
  CPattern p = MakeGrid(4, 1, kFormatLoom, 1);
  p.m_beads[3].SetColorIndex(7);  // outside the palette: its cache is kept
  p.m_beads[3].m_cachedColor = 0x123456;
  p.CacheBeadColors(palette);
  EXPECT_EQ(p.m_beads[0].m_cachedColor, RGB(0, 255, 0));
  EXPECT_EQ(p.m_beads[3].m_cachedColor, 0x123456u);

  p.m_beads[0].m_cachedColor = RGB(250, 10, 10);
  p.m_beads[1].m_cachedColor = RGB(250, 10, 10);
  p.m_beads[2].m_cachedColor = RGB(10, 60, 240);
  p.m_beads[3].m_cachedColor = RGB(10, 60, 240);
  p.m_beads[2].m_present = 0;
  p.m_pathColor = 2;
  p.m_beads[1].SetPathColor();
  palette.entries[2].inUse = false;
  palette.searches = 0;
  p.RematchColors(palette, nullptr);
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 0);
  EXPECT_FALSE(p.m_beads[1].IsPathColor());
  EXPECT_EQ(p.m_beads[2].m_colorIndex, 1);  // blue not in use: nearest in use
  EXPECT_EQ(palette.searches, 2);  // each distinct cached colour once
  EXPECT_EQ(p.m_modified, 1);

  for (auto& e : palette.entries) e.inUse = false;
  p.RematchColors(palette, "Palette Replacing");
  EXPECT_TRUE(palette.entries[0].inUse);  // the first colour is put in use
  for (const CBead& b : p.m_beads) EXPECT_EQ(b.m_colorIndex, 0);

  FakePalette empty;
  p.m_modified = 0;
  p.RematchColors(empty, nullptr);
  EXPECT_EQ(p.m_modified, 0);
}

TEST(WholeDesign, PaintCellsBlends) {
  // colour 0 new (200, 0, 0), colour 1 old (0, 0, 200), colour 2 the blend target.
  FakePalette palette({RGB(200, 0, 0), RGB(0, 0, 200), RGB(150, 0, 50), RGB(0, 0, 0)});
  CPattern p = MakeGrid(3, 3, kFormatLoom, 1);
  p.GetBeadAt(2, 2)->m_present = 0;
  const std::vector<POINT> offsets = {{0, 0}, {1, 1}, {5, 5}, {-9, 0}};
  p.PaintCells(1, 1, offsets, palette, 0.25, 0, false);
  EXPECT_EQ(p.GetBeadAt(1, 1)->m_colorIndex, 2);  // aims at (150, 0, 50)
  EXPECT_EQ(p.GetBeadAt(2, 2)->m_colorIndex, 0);  // absent: only takes the colour
  EXPECT_EQ(p.GetBeadAt(2, 2)->m_present, 0);
  EXPECT_EQ(p.GetBeadAt(0, 0)->m_colorIndex, 1);
  EXPECT_EQ(p.m_modified, 1);
  p.GetBeadAt(2, 2)->SetColorIndex(1);
  p.PaintCells(1, 1, {{1, 1}}, palette, 0.25, 0, true);
  EXPECT_EQ(p.GetBeadAt(2, 2)->m_present, 1);
  EXPECT_EQ(p.GetBeadAt(2, 2)->m_colorIndex, 2);
  // Nothing inside the grid: modified stays.
  p.m_modified = 0;
  p.PaintCells(1, 1, {{7, 7}}, palette, 0.5, 0, true);
  EXPECT_EQ(p.m_modified, 0);
  // No colour in use: colour 0.
  for (auto& e : palette.entries) e.inUse = false;
  p.PaintCells(0, 0, {{0, 0}}, palette, 0.0, 1, true);
  EXPECT_EQ(p.GetBeadAt(0, 0)->m_colorIndex, 0);
  // A colour outside the palette paints nothing.
  p.m_modified = 0;
  p.PaintCells(0, 0, {{0, 0}}, palette, 0.0, 9, true);
  EXPECT_EQ(p.m_modified, 0);
}

TEST(IndexLists, RunsAndBounds) {
  CPattern p = MakeGrid(4, 3);
  CIndexList list{5};
  p.AddRunIndices(POINT{0, 1}, 3, list);
  EXPECT_EQ(list.ToVector(), (std::vector<UINT>{5, 4, 6}));
  p.AddRunIndices(POINT{4, 0}, 3, list);  // start outside
  p.AddRunIndices(POINT{3, 2}, 5, list);  // stops at the last bead
  EXPECT_EQ(list.ToVector(), (std::vector<UINT>{5, 4, 6, 11}));
  RECT r;
  ASSERT_TRUE(p.GetBoundingCells(9, 2, r));
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 2);
  EXPECT_EQ(r.bottom, 2);
  EXPECT_FALSE(p.GetBoundingCells(12, 2, r));
}

TEST(IndexLists, LineBetweenBeads) {
  CPattern p = MakeGrid(6, 2);
  CIndexList list;
  p.LineBetweenBeads(p.m_beads.size() - 1, 0, list);  // (5, 1) to (0, 0): the left bead leads
  EXPECT_EQ(list.ToVector(), (std::vector<UINT>{0, 1, 2, 9, 10, 11}));
  CPattern tall = MakeGrid(2, 5);
  CIndexList steep;
  tall.LineBetweenBeads(0, 9, steep);  // (0, 0) to (1, 4)
  EXPECT_EQ(steep.ToVector(), (std::vector<UINT>{0, 2, 4, 7, 9}));
  CIndexList vertical;
  tall.LineBetweenBeads(8, 0, vertical);  // same column, from the first bead downwards
  EXPECT_EQ(vertical.ToVector(), (std::vector<UINT>{8, 6, 4, 2, 0}));
  CIndexList none;
  tall.LineBetweenBeads(0, 10, none);
  EXPECT_TRUE(none.empty());
}

// Every run of a staircase: the line reaches its end cell, also where a
// single-precision ratio (13 / 11) falls short.
TEST(IndexLists, LineStaircaseReachesItsEnd) {
  struct Case {
    POINT from, to;
    std::vector<int> runEnds;  // last column of each run
  };
  const Case cases[] = {
      {{0, 0}, {9, 2}, {2, 5, 9}},                              // 10 over 3: trunc(k * 10 / 3)
      {{12, 10}, {0, 0}, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 12}},  // 13 over 11, right to left
      {{3, 4}, {3, 0}, {3, 3, 3, 3, 3}},                        // vertical: one bead per row
      {{2, 1}, {2, 1}, {2}},                                    // one cell
  };
  for (const Case& c : cases) {
    std::vector<CBeadRun> runs;
    LineStaircase(c.from, c.to, runs);
    ASSERT_EQ(runs.size(), c.runEnds.size());
    for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i].column + runs[i].count - 1, c.runEnds[i]) << i;
    const POINT& right = c.to.x < c.from.x ? c.from : c.to;
    EXPECT_EQ(runs.back().row, right.y);
    EXPECT_EQ(runs.back().column + runs.back().count - 1, right.x);
  }
  CPattern wide = MakeGrid(13, 11);
  CIndexList list;
  wide.LineBetweenBeads(0, static_cast<int>(wide.m_beads.size()) - 1, list);
  EXPECT_TRUE(list.Contains(static_cast<UINT>(wide.m_beads.size()) - 1));
  EXPECT_EQ(list.size(), 13u);
}

TEST(MarkedBeads, BulkReplaceKeepsOrderAndDropsRepeats) {
  CPattern p = MakeGrid(4, 4);
  p.ToggleBeadMark(7);
  const std::vector<UINT> set{3, 1, 3, 9, 1};
  p.SetMarkedBeads(set);
  EXPECT_EQ(p.m_markedBeads, (std::vector<UINT>{3, 1, 9}));
  EXPECT_FALSE(p.ToggleBeadMark(1));  // marked: toggling removes it
  EXPECT_EQ(p.m_markedBeads, (std::vector<UINT>{3, 9}));
}

TEST(IndexLists, Rectangles) {
  CPattern p = MakeGrid(5, 4);
  CIndexList outline, filled;
  p.RectBetweenBeads(false, p.GetBeadIndex(3, 0), p.GetBeadIndex(1, 3), outline);
  p.RectBetweenBeads(true, p.GetBeadIndex(3, 0), p.GetBeadIndex(1, 3), filled);
  EXPECT_EQ(outline.size(), 10u);  // 3 + 3 + 2 x 2
  EXPECT_EQ(filled.size(), 12u);
  EXPECT_FALSE(outline.Contains(static_cast<UINT>(p.GetBeadIndex(2, 1))));
  EXPECT_TRUE(filled.Contains(static_cast<UINT>(p.GetBeadIndex(2, 1))));
  // Bottom storage row first, then the top one, then the rows between.
  EXPECT_EQ(outline[0], static_cast<UINT>(p.GetBeadIndex(1, 3)));
  EXPECT_EQ(outline[3], static_cast<UINT>(p.GetBeadIndex(1, 0)));
  CIndexList single;
  p.RectBetweenBeads(true, 7, 7, single);
  EXPECT_EQ(single.ToVector(), (std::vector<UINT>{7}));
}

TEST(IndexLists, EllipseOutlineCells) {
  std::vector<POINT> pts;
  EllipseOutlineCells(RECT{4, 4, 4, 4}, pts);
  ASSERT_EQ(pts.size(), 1u);
  EXPECT_EQ(pts[0].x, 4);
  EllipseOutlineCells(RECT{0, 0, 2, 2}, pts);
  auto has = [&](int x, int y) {
    return std::any_of(pts.begin(), pts.end(), [&](const POINT& q) { return q.x == x && q.y == y; });
  };
  EXPECT_TRUE(has(1, 0));
  EXPECT_TRUE(has(2, 1));
  EXPECT_TRUE(has(1, 2));
  EXPECT_TRUE(has(0, 1));
  EXPECT_FALSE(has(1, 1));
  EXPECT_EQ(pts[0].x, 1);  // angle 0 first: (1, 2)
  EXPECT_EQ(pts[0].y, 2);
  std::set<std::pair<int, int>> distinct;
  for (const POINT& q : pts) distinct.insert({q.x, q.y});
  EXPECT_EQ(distinct.size(), pts.size());
}

TEST(IndexLists, EllipsesBetweenBeads) {
  CPattern p = MakeGrid(9, 9);
  CIndexList outline, filled;
  const int a = p.GetBeadIndex(0, 0), b = p.GetBeadIndex(8, 8);
  p.EllipseOutlineBetweenBeads(a, b, outline);
  p.FilledEllipseBetweenBeads(a, b, filled);
  for (UINT i : outline) EXPECT_TRUE(filled.Contains(i));
  EXPECT_TRUE(filled.Contains(static_cast<UINT>(p.GetBeadIndex(4, 4))));
  EXPECT_FALSE(outline.Contains(static_cast<UINT>(p.GetBeadIndex(4, 4))));
  EXPECT_FALSE(filled.Contains(static_cast<UINT>(p.GetBeadIndex(0, 0))));  // corners lie outside
  // Each column of the filled ellipse is one unbroken run.
  for (int col = 0; col < 9; ++col) {
    int first = -1, last = -1, count = 0;
    for (int row = 0; row < 9; ++row)
      if (filled.Contains(static_cast<UINT>(p.GetBeadIndex(col, row)))) {
        if (first < 0) first = row;
        last = row;
        ++count;
      }
    if (count) {
      EXPECT_EQ(count, last - first + 1) << col;
    }
  }
}

TEST(IndexLists, Spans) {
  const std::vector<POINT> pts = {{2, 5}, {1, 3}, {2, 1}, {2, 9}, {1, 4}};
  std::vector<POINT> low, high;
  PointSpans(pts, low, high);
  ASSERT_EQ(low.size(), 2u);
  EXPECT_EQ(low[0].x, 2);
  EXPECT_EQ(low[0].y, 1);
  EXPECT_EQ(high[0].y, 9);
  EXPECT_EQ(low[1].y, 3);
  EXPECT_EQ(high[1].y, 4);
  std::vector<POINT> left, right;
  RowSpans({{5, 2}, {1, 2}, {3, 7}, {9, 2}}, left, right);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].x, 1);
  EXPECT_EQ(right[0].x, 9);
  EXPECT_EQ(left[1].x, 3);
  EXPECT_EQ(right[1].x, 3);
}

TEST(IndexLists, Neighbours) {
  CPattern p = MakeGrid(3, 3);
  std::vector<int> n;
  p.GetNeighbours(4, false, n);
  EXPECT_EQ(n, (std::vector<int>{3, 5, 1, 7}));
  p.GetNeighbours(4, true, n);
  EXPECT_EQ(n, (std::vector<int>{3, 5, 1, 7, 0, 2, 6, 8}));
  p.GetNeighbours(0, true, n);
  EXPECT_EQ(n, (std::vector<int>{1, 3, 4}));
  p.GetNeighbours(9, true, n);
  EXPECT_TRUE(n.empty());
}

TEST(FloodFill, CheckerboardWithAndWithoutDiagonals) {
  CPattern p = MakeGrid(4, 4, kFormatLoom, 0);
  for (int i = 0; i < 16; ++i) p.m_beads[static_cast<size_t>(i)].SetColorIndex(((i % 4) + (i / 4)) % 2);
  CIndexList diag, plain;
  p.FloodFillFrom(0, diag, true);
  EXPECT_EQ(diag.size(), 8u);
  for (UINT i : diag) EXPECT_EQ(p.m_beads[i].m_colorIndex, 0);
  p.FloodFillFrom(0, plain, false);
  EXPECT_EQ(plain.ToVector(), (std::vector<UINT>{0}));
}

TEST(FloodFill, OrderAbsentBeadsAndCriteria) {
  CPattern p = MakeGrid(3, 3, kFormatLoom, 2);
  p.m_beads[4].m_present = 0;
  CIndexList list;
  p.FloodFillFrom(0, list, false);
  // Ring by ring: 0, then its right and upper neighbour, and so on.
  EXPECT_EQ(list.ToVector(), (std::vector<UINT>{0, 1, 3, 2, 6, 5, 7, 8}));
  CIndexList fromAbsent;
  p.FloodFillFrom(4, fromAbsent, false);  // the start is listed even when absent, and not tested
  EXPECT_EQ(fromAbsent.ToVector(), (std::vector<UINT>{4, 3, 5, 1, 7, 0, 6, 2, 8}));
  CIndexList absent{0};
  p.FloodFill(CFillCriterion{2, 0}, {0}, absent, false);
  EXPECT_EQ(absent.ToVector(), (std::vector<UINT>{0}));
  p.m_beads[1].m_present = 0;
  CIndexList absent2{1};
  p.FloodFill(CFillCriterion{2, 0}, {1}, absent2, false);
  EXPECT_EQ(absent2.ToVector(), (std::vector<UINT>{1, 4}));
  CIndexList any{8};
  p.FloodFill(CFillCriterion{1, 0}, {8}, any, true);
  EXPECT_EQ(any.size(), 7u);
  CIndexList outside;
  p.FloodFillFrom(9, outside, true);
  EXPECT_TRUE(outside.empty());
}

TEST(BlockFinder, GrowSameColorAndRemoved) {
  CPattern p = MakeGrid(4, 1, kFormatLoom, 1);
  p.m_beads[2].SetColorIndex(2);
  CBeadBlockFinder finder(&p);
  CIndexList block{0};
  finder.GrowSameColor({0}, block, false, 1);
  EXPECT_EQ(block.ToVector(), (std::vector<UINT>{0, 1}));
  CIndexList any{0};
  finder.GrowSameColor({0}, any, false, -1);
  EXPECT_EQ(any.size(), 4u);
  p.m_pathColor = 3;
  p.m_beads[1].SetPathColor();  // the stored index counts, not the path colour
  CIndexList stored{0};
  finder.GrowSameColor({0}, stored, false, 1);
  EXPECT_EQ(stored.size(), 2u);
  p.m_beads[1].m_present = 0;
  p.m_beads[2].m_present = 0;
  CIndexList removed{1};
  finder.GrowRemoved({1}, removed, false);
  EXPECT_EQ(removed.ToVector(), (std::vector<UINT>{1, 2}));
  CIndexList nothing;
  finder.GrowSameColor({}, nothing, true, 1);
  EXPECT_TRUE(nothing.empty());
}

TEST(ColorIndexMap, InsertReplaces) {
  CColorIndexMap map;
  EXPECT_EQ(map.Lookup(3), -1);
  map.Insert(3, 7);
  map.Insert(3, 9);
  EXPECT_EQ(map.Lookup(3), 9);
  EXPECT_EQ(map.GetCount(), 1u);
}

TEST(IndexList, MembershipAndOrder) {
  CIndexList list;
  EXPECT_TRUE(list.Add(1000000));
  EXPECT_TRUE(list.Add(3));
  EXPECT_FALSE(list.Add(1000000));
  EXPECT_TRUE(list.Contains(3));
  EXPECT_FALSE(list.Contains(4));
  EXPECT_FALSE(list.Contains(0xFFFFFFFFu));
  EXPECT_EQ(list.ToVector(), (std::vector<UINT>{1000000, 3}));
  list.clear();
  EXPECT_FALSE(list.Contains(3));
}
