#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pdflib/lib/errors.h"
#include "pdflib/lib/table.h"
#include "tests/pdflib/engine_fakes.h"

namespace {

using qmpdf::Box;
using qmpdf::FitResult;
using qmpdf::Table;
using qmpdf::TableCell;

// A text cell in font 0 (0.5 em a character), size 10: a line 10 points
// high, 12 with the default margins of 1 above and below.
TableCell Text(int column, int row, const std::string& text, double percent = 0) {
  TableCell c;
  c.column = column;
  c.row = row;
  c.text = text;
  c.textline = true;
  c.font = 0;
  c.fontsize = 10;
  if (percent > 0) c.hasColwidth = true, c.colwidth = percent, c.colwidthPercent = true;
  return c;
}

int ErrorOf(Table& t, const Box& box, int header = 1) {
  qmtest::FakeMeasurer m;
  try {
    t.Fit(box, {header, false}, m, nullptr);
  } catch (const qmpdf::Error& e) {
    return e.number;
  }
  return 0;
}

}  // namespace

TEST(TableTest, ColumnWidthsShareTheBox) {
  qmtest::FakeMeasurer m;
  std::vector<double> cols, rows;
  {
    // 10% and 30% given, the other two share the remaining 60%.
    Table t;
    t.AddCell(Text(1, 1, "a", 10));
    t.AddCell(Text(2, 1, "b", 30));
    t.AddCell(Text(3, 1, "c"));
    t.AddCell(Text(4, 1, "d"));
    t.Layout(200, m, cols, rows);
    EXPECT_EQ(cols, (std::vector<double>{20, 60, 60, 60}));
    EXPECT_EQ(rows, (std::vector<double>{12}));
  }
  {
    // A text line wider than its 10% takes its width from the textflow column.
    Table t;
    t.AddCell(Text(1, 1, "abcdefgh", 10));  // needs 40 + 4
    auto flow = std::make_shared<qmpdf::Textflow>();
    qmpdf::FlowStyle style;
    style.font = 0, style.size = 10;
    flow->Append("one two three four five six", style, m);
    TableCell f;
    f.column = 2, f.row = 1, f.flow = flow;
    f.marginLeft = f.marginRight = f.marginTop = f.marginBottom = 2;
    t.AddCell(f);
    TableCell text = Text(3, 1, "x", 30);
    t.AddCell(text);
    t.Layout(200, m, cols, rows);
    EXPECT_DOUBLE_EQ(cols[0], 44);
    EXPECT_DOUBLE_EQ(cols[1], 96);  // 120 less the 24 that column 1 needed
    EXPECT_DOUBLE_EQ(cols[2], 60);
    // "one two three four five six" wrapped at 92 points (18 characters): 2 lines + margins.
    EXPECT_DOUBLE_EQ(rows[0], 24);
  }
  {
    // Spans: a header over two columns; its text widens the last column of the span.
    Table t;
    TableCell head = Text(1, 1, "a very long header");  // 90 + 4
    head.colspan = 2;
    t.AddCell(head);
    t.AddCell(Text(1, 2, "x", 20));
    t.AddCell(Text(2, 2, "y", 20));
    t.Layout(300, m, cols, rows);
    EXPECT_DOUBLE_EQ(cols[0], 60);
    EXPECT_DOUBLE_EQ(cols[1], 60);
    t.Layout(100, m, cols, rows);
    EXPECT_GE(cols[0] + cols[1], 94);
    EXPECT_LE(cols[0] + cols[1], 100);
    EXPECT_DOUBLE_EQ(cols[0], 20);
  }
}

TEST(TableTest, FittingOverBoxesWithRepeatedHeader) {
  qmtest::FakeMeasurer m;
  Table t;
  t.AddCell(Text(1, 1, "Head"));
  for (int r = 2; r <= 11; ++r) t.AddCell(Text(1, r, "row" + std::to_string(r - 1)));
  // A box of 50 points: the header (12) and three rows (36) a time.
  const Box box{0, 0, 100, 50};
  std::vector<std::string> pages;
  std::vector<int> counts;
  FitResult r;
  do {
    qmtest::RecordingCanvas canvas;
    r = t.Fit(box, {1, true}, m, &canvas);
    pages.push_back(canvas.Lines());
    counts.push_back(t.LastRowCount());
    EXPECT_EQ(canvas.rects.size(), canvas.runs.size()) << "a rule around every placed cell";
  } while (r == FitResult::BoxFull && pages.size() < 10);
  EXPECT_EQ(r, FitResult::Stop);
  EXPECT_EQ(pages, (std::vector<std::string>{"Head|row1|row2|row3", "Head|row4|row5|row6", "Head|row7|row8|row9",
                                             "Head|row10"}));
  EXPECT_EQ(counts, (std::vector<int>{3, 3, 3, 1}));
}

TEST(TableTest, CellsOfEveryKindAndMissingCells) {
  qmtest::FakeMeasurer m;
  Table t;
  TableCell swatch = Text(1, 1, "", 20);
  swatch.hasFill = true;
  swatch.fill = qmpdf::Color::FromRgb(0.5, 0.3, 1.0);
  t.AddCell(swatch);
  TableCell centred = Text(2, 1, "ab", 40);
  centred.textPosition = {qmpdf::HPos::Center, qmpdf::VPos::Center};
  t.AddCell(centred);
  TableCell picture;
  picture.column = 3, picture.row = 1, picture.image = 7, picture.imageWidth = 20, picture.imageHeight = 10;
  picture.imagePosition = {qmpdf::HPos::Center, qmpdf::VPos::Center};
  t.AddCell(picture);
  t.AddCell(Text(1, 3, "z"));  // row 2 has no cells, row 3 misses columns 2 and 3

  qmtest::RecordingCanvas canvas;
  ASSERT_EQ(t.Fit(Box{0, 0, 100, 100}, {0, true}, m, &canvas), FitResult::Stop);
  // The swatch fills its cell, 20 x 12 at the top.
  ASSERT_FALSE(canvas.rects.empty());
  EXPECT_FALSE(canvas.rects[0].stroke);
  EXPECT_EQ(canvas.rects[0].color, swatch.fill);
  EXPECT_DOUBLE_EQ(canvas.rects[0].y, 88);
  EXPECT_DOUBLE_EQ(canvas.rects[0].w, 20);
  // The centred text: cell 20..60, text 10 wide.
  ASSERT_EQ(canvas.runs.size(), 2u);
  EXPECT_DOUBLE_EQ(canvas.runs[0].x, 35);
  // The picture is fitted into its cell (36..98 x 89..99, 2:1) and does not make the row higher.
  ASSERT_EQ(canvas.images.size(), 1u);
  EXPECT_DOUBLE_EQ(canvas.images[0].h, 10);
  EXPECT_DOUBLE_EQ(canvas.images[0].w, 20);
  EXPECT_DOUBLE_EQ(canvas.images[0].x, 60 + 2 + (36 - 20) / 2.0);
  // Rules: 3 cells in row 1, 3 empty ones in row 2, 3 in row 3.
  int strokes = 0;
  for (const auto& r : canvas.rects) strokes += r.stroke;
  EXPECT_EQ(strokes, 9);

  EXPECT_THROW(t.AddCell(Text(1, 4, "late")), qmpdf::Error);
  Table u;
  u.AddCell(Text(1, 1, "a"));
  TableCell over = Text(1, 1, "b");
  EXPECT_THROW(u.AddCell(over), qmpdf::Error);
}

TEST(TableTest, TablesThatCannotBePlacedAreTheTwoErrors) {
  Table wide;
  wide.AddCell(Text(1, 1, "abcdefghijklmnopqrst"));  // 100 + 4
  wide.AddCell(Text(2, 1, "x"));
  EXPECT_EQ(ErrorOf(wide, Box{0, 0, 100, 500}), qmpdf::kErrTableWidth);
  EXPECT_EQ(ErrorOf(wide, Box{0, 0, 120, 500}), 0);

  Table high;
  high.AddCell(Text(1, 1, "head"));
  high.AddCell(Text(1, 2, "body"));
  EXPECT_EQ(ErrorOf(high, Box{0, 0, 100, 23}), qmpdf::kErrTableHeight);
  // The failed call placed nothing: the same table fits a larger box afterwards.
  EXPECT_EQ(ErrorOf(high, Box{0, 0, 100, 24}), 0);

  // A header-only table is placed once and stops.
  qmtest::FakeMeasurer m;
  Table headerOnly;
  headerOnly.AddCell(Text(1, 1, "head"));
  EXPECT_EQ(headerOnly.Fit(Box{0, 0, 100, 100}, {1, false}, m, nullptr), FitResult::Stop);
  EXPECT_EQ(headerOnly.LastRowCount(), 0);
}
