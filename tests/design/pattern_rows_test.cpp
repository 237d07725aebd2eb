// Rows and columns, mirroring and repetition.
#include <gtest/gtest.h>

#include "design/BeadBlock.h"
#include "design/Pattern.h"
#include "tests/design/design_test_util.h"

using designtest::MakeGrid;
using designtest::NumberCells;

namespace {
int Color(const CPattern& p, int column, int row) { return p.GetBeadAt(column, row)->GetColorIndex(p); }
CInsertRequest Insert(bool rows, RECT block, int color, int place) {
  CInsertRequest r;
  r.rows = rows ? 1 : 0;
  r.block = block;
  r.colorIndex = color;
  r.place = place;
  return r;
}
}  // namespace

TEST(InsertRemove, ColumnsAtTheLeftEdge) {
  CPattern p = MakeGrid(5, 3);
  NumberCells(p);
  ASSERT_TRUE(p.InsertRowsOrColumns(Insert(false, RECT{0, 0, 1, 2}, 77, 1)));
  ASSERT_EQ(p.GetColumnCount(), 7u);
  ASSERT_EQ(p.GetRowCount(), 3u);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(Color(p, 0, row), 77);
    EXPECT_EQ(Color(p, 1, row), 77);
    for (int col = 0; col < 5; ++col) EXPECT_EQ(Color(p, col + 2, row), row * 100 + col);
  }
  EXPECT_EQ(p.m_blank, 1);  // a fresh layout
  EXPECT_EQ(p.m_modified, 0);
}

TEST(InsertRemove, ColumnsAtTheRightEdgeAndInside) {
  CPattern p = MakeGrid(4, 2);
  NumberCells(p);
  CPattern q(p);
  ASSERT_TRUE(p.InsertRowsOrColumns(Insert(false, RECT{3, 0, 3, 1}, 9, 2)));
  ASSERT_EQ(p.GetColumnCount(), 5u);
  EXPECT_EQ(Color(p, 3, 1), 103);
  EXPECT_EQ(Color(p, 4, 1), 9);
  ASSERT_TRUE(q.InsertRowsOrColumns(Insert(false, RECT{1, 0, 2, 0}, 9, 0)));
  ASSERT_EQ(q.GetColumnCount(), 6u);
  const int expected[] = {0, 9, 9, 1, 2, 3};
  for (int col = 0; col < 6; ++col) EXPECT_EQ(Color(q, col, 0), expected[col]) << col;
}

TEST(InsertRemove, RowAtTheBlockPosition) {
  CPattern p = MakeGrid(4, 4);
  NumberCells(p);
  ASSERT_TRUE(p.InsertRowsOrColumns(Insert(true, RECT{0, 1, 3, 1}, 55, 0)));
  ASSERT_EQ(p.GetRowCount(), 5u);
  for (int col = 0; col < 4; ++col) {
    EXPECT_EQ(Color(p, col, 0), col);
    EXPECT_EQ(Color(p, col, 1), 55);
    for (int row = 1; row < 4; ++row) EXPECT_EQ(Color(p, col, row + 1), row * 100 + col);
  }
}

TEST(InsertRemove, RowsAtTheEdges) {
  CPattern top = MakeGrid(2, 2);
  NumberCells(top);
  CPattern bottom(top);
  ASSERT_TRUE(top.InsertRowsOrColumns(Insert(true, RECT{0, 0, 0, 1}, 5, 3)));
  ASSERT_EQ(top.GetRowCount(), 4u);
  EXPECT_EQ(Color(top, 1, 0), 5);
  EXPECT_EQ(Color(top, 1, 1), 5);
  EXPECT_EQ(Color(top, 1, 2), 1);
  EXPECT_EQ(Color(top, 1, 3), 101);
  ASSERT_TRUE(bottom.InsertRowsOrColumns(Insert(true, RECT{0, 1, 0, 1}, 5, 4)));
  EXPECT_EQ(Color(bottom, 0, 0), 0);
  EXPECT_EQ(Color(bottom, 0, 2), 5);
}

TEST(InsertRemove, PathMarksAndCachedColoursOnInsert) {
  CPattern p = MakeGrid(2, 1, kFormatLoom, 3);
  p.m_pathColor = 8;
  p.m_beads[0].SetPathColor();
  p.m_beads[0].m_cachedColor = 0xABCDEF;
  p.m_beads[1].m_present = 0;
  ASSERT_TRUE(p.InsertRowsOrColumns(Insert(false, RECT{0, 0, 0, 0}, 1, 2)));
  EXPECT_FALSE(p.m_beads[0].IsPathColor());
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 3);  // the stored index, not the path colour
  EXPECT_EQ(p.m_beads[0].m_cachedColor, 0xABCDEFu);
  EXPECT_EQ(p.m_beads[1].m_present, 0);
}

TEST(InsertRemove, RemovingColumnsAndRows) {
  CPattern p = MakeGrid(5, 3);
  NumberCells(p);
  p.m_pathColor = 4;
  p.GetBeadAt(4, 0)->SetPathColor();
  p.GetBeadAt(3, 2)->m_present = 0;
  p.GetBeadAt(3, 2)->m_cachedColor = 0x111111;
  ASSERT_TRUE(p.RemoveRowsOrColumns(CRemoveRequest{2, RECT{1, 0, 2, 0}}));
  ASSERT_EQ(p.GetColumnCount(), 3u);
  EXPECT_EQ(Color(p, 0, 1), 100);
  EXPECT_EQ(Color(p, 1, 1), 103);
  EXPECT_EQ(Color(p, 2, 0), 3);  // the path colour became a plain colour
  EXPECT_EQ(p.GetBeadAt(1, 2)->m_present, 0);
  EXPECT_EQ(p.GetBeadAt(1, 2)->m_cachedColor, 0u);  // caches are not carried
  ASSERT_TRUE(p.RemoveRowsOrColumns(CRemoveRequest{0, RECT{0, 0, 0, 0}}));
  ASSERT_EQ(p.GetRowCount(), 2u);
  EXPECT_EQ(Color(p, 0, 0), 100);
  EXPECT_EQ(Color(p, 0, 1), 200);
}

TEST(InsertRemove, RefusedRequestsLeaveTheDesign) {
  CPattern p = MakeGrid(3, 2);
  NumberCells(p);
  const CPattern before(p);
  EXPECT_FALSE(p.RemoveRowsOrColumns(CRemoveRequest{2, RECT{0, 0, 2, 0}}));  // all columns
  EXPECT_FALSE(p.RemoveRowsOrColumns(CRemoveRequest{1, RECT{0, 0, 0, 1}}));  // all rows
  EXPECT_FALSE(p.RemoveRowsOrColumns(CRemoveRequest{2, RECT{2, 0, 3, 0}}));  // past the edge
  EXPECT_FALSE(p.RemoveRowsOrColumns(CRemoveRequest{2, RECT{-1, 0, 0, 0}}));
  EXPECT_FALSE(p.InsertRowsOrColumns(Insert(false, RECT{2, 0, 1, 0}, 0, 1)));  // empty block
  EXPECT_FALSE(p.InsertRowsOrColumns(Insert(false, RECT{4, 0, 4, 0}, 0, 0)));  // block beyond the grid
  EXPECT_FALSE(p.InsertRowsOrColumns(Insert(true, RECT{0, 0, 0, 2000000000}, 0, 3)));  // too many beads
  EXPECT_EQ(p.m_beads, before.m_beads);
  EXPECT_EQ(p.m_nominalWidth, before.m_nominalWidth);
  CPattern empty;
  EXPECT_FALSE(empty.InsertRowsOrColumns(Insert(false, RECT{0, 0, 0, 0}, 0, 1)));
}

// Every format, with and without a spacer, and bead sizes whose halves land
// exactly on a rounding boundary, gets exactly the requested counts.
TEST(InsertRemove, ExactCountsInEveryFormat) {
  const float beads[] = {0.5f, 1.0f, 0.11f, 0.075f};
  const float spacers[] = {0.0f, 0.02f};
  for (int format = 0; format < kFormatCount; ++format)
    for (float bead : beads)
      for (float spacer : spacers) {
        CPattern p = MakeGrid(5, 4, format, 0, bead, spacer);
        ASSERT_EQ(p.GetColumnCount(), 5u);
        ASSERT_EQ(p.GetRowCount(), 4u);
        ASSERT_TRUE(p.InsertRowsOrColumns(Insert(false, RECT{0, 0, 1, 0}, 1, 1)));
        EXPECT_EQ(p.GetColumnCount(), 7u) << format << " " << bead << " " << spacer;
        ASSERT_TRUE(p.InsertRowsOrColumns(Insert(true, RECT{0, 0, 0, 2}, 1, 3)));
        EXPECT_EQ(p.GetRowCount(), 7u) << format << " " << bead << " " << spacer;
        EXPECT_EQ(p.GetColumnCount(), 7u);
        ASSERT_TRUE(p.RemoveRowsOrColumns(CRemoveRequest{2, RECT{0, 0, 2, 0}}));
        EXPECT_EQ(p.GetColumnCount(), 4u) << format << " " << bead << " " << spacer;
        ASSERT_TRUE(p.RemoveRowsOrColumns(CRemoveRequest{0, RECT{0, 1, 0, 5}}));
        EXPECT_EQ(p.GetRowCount(), 2u) << format << " " << bead << " " << spacer;
        EXPECT_EQ(p.m_beads.size(), 8u);
      }
}

TEST(InsertRemove, BrickWithHalfBeadStillGetsTheHalfBeadWhenItFits) {
  CPattern p = MakeGrid(5, 2, kFormatBrick, 0, 0.1f, 0.02f);
  ASSERT_TRUE(p.InsertRowsOrColumns(Insert(false, RECT{0, 0, 0, 0}, 0, 2)));
  EXPECT_EQ(p.GetColumnCount(), 6u);
  EXPECT_NEAR(p.m_nominalWidth, 5 * 0.02 + 6 * 0.1 + 0.05, 1e-6);
}

TEST(CopyBlock, RectanglesAreChecked) {
  CPattern a = MakeGrid(3, 3), b = MakeGrid(3, 3);
  NumberCells(a);
  EXPECT_TRUE(CPattern::CopyBlock(a, RECT{0, 0, 0, 0}, b, RECT{1, 1, 1, 1}));  // empty
  EXPECT_FALSE(CPattern::CopyBlock(a, RECT{-1, 0, 1, 1}, b, RECT{0, 0, 2, 1}));
  EXPECT_FALSE(CPattern::CopyBlock(a, RECT{0, 0, 4, 1}, b, RECT{0, 0, 4, 1}));
  EXPECT_FALSE(CPattern::CopyBlock(a, RECT{0, 0, 2, 2}, b, RECT{0, 0, 2, 1}));
  ASSERT_TRUE(CPattern::CopyBlock(a, RECT{1, 1, 3, 3}, b, RECT{0, 0, 2, 2}));
  EXPECT_EQ(Color(b, 0, 0), 101);
  EXPECT_EQ(Color(b, 1, 1), 202);
  EXPECT_EQ(Color(b, 2, 2), 0);
}

TEST(Mirror, FlipsMoveColoursPresenceAndCaches) {
  CPattern p = MakeGrid(3, 2);
  NumberCells(p);
  p.m_pathColor = 50;
  p.GetBeadAt(0, 0)->SetPathColor();
  p.GetBeadAt(0, 0)->m_cachedColor = 0x0000FF;
  p.GetBeadAt(1, 1)->SetPathColor();  // the middle column stays in place
  p.GetBeadAt(0, 1)->m_present = 0;
  p.GetBeadAt(0, 1)->SetSelected(true);
  const double x0 = p.GetBeadAt(0, 0)->m_x;
  p.FlipHorizontal();
  EXPECT_EQ(Color(p, 2, 0), 49);  // the path colour moved as an ordinary index
  EXPECT_FALSE(p.GetBeadAt(2, 0)->IsPathColor());
  EXPECT_EQ(p.GetBeadAt(2, 0)->m_cachedColor, 0x0000FFu);
  EXPECT_EQ(Color(p, 0, 0), 2);
  EXPECT_EQ(Color(p, 1, 1), 49);
  EXPECT_FALSE(p.GetBeadAt(1, 1)->IsPathColor());
  EXPECT_EQ(p.GetBeadAt(2, 1)->m_present, 0);
  EXPECT_EQ(p.GetBeadAt(0, 1)->m_present, 1);
  EXPECT_TRUE(p.GetBeadAt(0, 1)->IsSelected());  // positions and selection stay
  EXPECT_EQ(p.GetBeadAt(0, 0)->m_x, x0);
  EXPECT_EQ(p.m_modified, 0);
  p.FlipVertical();
  EXPECT_EQ(Color(p, 0, 1), 2);
  EXPECT_EQ(Color(p, 2, 1), 49);
  EXPECT_EQ(p.GetBeadAt(2, 0)->m_present, 0);
}

TEST(Mirror, PresenceOnly) {
  CPattern p = MakeGrid(3, 1);
  NumberCells(p);
  p.m_beads[0].m_present = 0;
  p.FlipPresenceHorizontal();
  EXPECT_EQ(p.m_beads[2].m_present, 0);
  EXPECT_EQ(p.m_beads[0].m_present, 1);
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 0);
}

TEST(Repeat, MirroredTwoByTwo) {
  CPattern p = MakeGrid(3, 2);
  NumberCells(p);
  p.GetBeadAt(0, 0)->m_present = 0;
  ASSERT_TRUE(p.RepeatBySample(2, 2, true));
  ASSERT_EQ(p.GetColumnCount(), 6u);
  ASSERT_EQ(p.GetRowCount(), 4u);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 6; ++col) {
      const int srcCol = col < 3 ? col : 5 - col;
      const int srcRow = row < 2 ? row : 3 - row;
      EXPECT_EQ(Color(p, col, row), srcRow * 100 + srcCol) << col << "," << row;
      EXPECT_EQ(p.GetBeadAt(col, row)->m_present, (srcCol == 0 && srcRow == 0) ? 0 : 1);
    }
  EXPECT_EQ(p.m_blank, 1);
}

TEST(Repeat, PlainTilesLineUpWithAFractionalNominalSize) {
  CPattern p;
  CGridLayout layout{3.3f, 2.0f, 1.0f, 1.0f, 0.0f, kFormatLoom};
  ASSERT_TRUE(p.CreateGrid(layout, 0));
  ASSERT_EQ(p.GetColumnCount(), 3u);
  NumberCells(p);
  ASSERT_TRUE(p.RepeatBySample(3, 1, false));
  ASSERT_EQ(p.GetColumnCount(), 9u);  // 3 x 3.3 would round to 10
  for (int col = 0; col < 9; ++col) EXPECT_EQ(Color(p, col, 1), 100 + col % 3);
}

TEST(Repeat, RowFormatsAreRepeated) {
  CPattern p;
  CGridLayout layout{2.0f, 3.0f, 1.0f, 1.0f, 0.0f, kFormatLoom};
  ASSERT_TRUE(p.CreateGridWithRowFormats(layout, {{1, kFormatBrick}, {2, kFormatLoom}}, 0));
  p.m_blank = 0;
  p.m_angle = 30;
  ASSERT_TRUE(p.RepeatBySample(1, 2, false));
  EXPECT_EQ(p.GetRowCount(), 6u);
  EXPECT_EQ(p.m_rowFormats,
            (CRowFormatArray{{1, kFormatBrick}, {2, kFormatLoom}, {1, kFormatBrick}, {2, kFormatLoom}}));
  EXPECT_EQ(p.m_blank, 0);
  EXPECT_EQ(p.m_angle, 30);
  EXPECT_EQ(p.m_modified, 1);
  EXPECT_FALSE(p.RepeatBySample(0, 1, false));
}

TEST(Repeat, BeadBlockCells) {
  CPattern p = MakeGrid(2, 2);
  NumberCells(p);
  CBeadBlock block(p, false);
  BYTE present = 0;
  EXPECT_EQ(block.GetCell(1, 0, present), 1);
  EXPECT_EQ(present, 1);
  EXPECT_EQ(block.GetCell(2, 0, present), -1);
  int index = 0;
  ASSERT_TRUE(block.GetCellMirrored(0, 0, index, present, true, true));
  EXPECT_EQ(index, 101);
  EXPECT_FALSE(block.GetCellMirrored(0, 5, index, present, false, false));
  CPattern empty;
  CBeadBlock none(empty, true);
  EXPECT_FALSE(none.FillPattern(p));
}
