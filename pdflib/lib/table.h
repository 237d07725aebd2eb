// Tables: cells in rows and columns, laid out in a box and fitted over as
// many boxes (pages) as they need, the header rows repeated in each.
//
// - Columns: colwidth in percent of the box (or points); columns without one
//   share the rest. A column is at least as wide as its widest text line
//   plus margins; the width it needs beyond its share is taken first from
//   columns of textflows and pictures, then from the others' spare width.
//   Error 3424 when the columns' minimum widths exceed the box.
// - Rows: as high as their highest cell: a text line (font ascent to
//   descent), a textflow wrapped to the cell (the row grows), plus margins;
//   a picture is fitted into the row and never makes it higher.
// - Fitting: the header rows, then body rows while they fit. Stop when the
//   last body row is placed; BoxFull after at least one body row with more
//   left; error 3425 when the header and the next body row are higher than
//   the box. A missing cell is an empty one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pdflib/lib/textflow.h"
#include "pdflib/lib/types.h"

namespace qmpdf {

struct TableCell {
  int column = 1, row = 1, colspan = 1;
  bool hasColwidth = false;
  double colwidth = 0;
  bool colwidthPercent = false;
  // A text line (text, font and size), a textflow or a picture, or nothing.
  std::string text;
  bool textline = false;
  int font = -1;
  double fontsize = 0;
  Position textPosition{HPos::Left, VPos::Top};
  std::shared_ptr<Textflow> flow;
  int image = -1;
  double imageWidth = 0, imageHeight = 0;
  Position imagePosition{HPos::Left, VPos::Top};
  bool hasFill = false;
  Color fill;
  double marginLeft = 2, marginRight = 2, marginTop = 1, marginBottom = 1;
};

struct TableFitOptions {
  int headerRows = 0;
  bool rules = false;  // every cell edge, 1 point black
};

class Table {
 public:
  // Throws kErrTableCell for a cell over another one or after fitting began.
  void AddCell(TableCell cell);
  FitResult Fit(const Box& box, const TableFitOptions& options, const Measurer& m, Canvas* canvas);
  int LastRowCount() const { return lastRowCount_; }
  int Rows() const { return static_cast<int>(grid_.size()); }
  int Columns() const { return columns_; }
  // The column widths and row heights for a box width (for tests).
  void Layout(double boxWidth, const Measurer& m, std::vector<double>& columns, std::vector<double>& rows);

 private:
  void EnsureLayout(double boxWidth, const Measurer& m);
  void PlaceRow(int row, double x0, double top, const Measurer& m, Canvas* canvas) const;
  void RuleRow(int row, double x0, double top, Canvas* canvas) const;

  std::vector<TableCell> cells_;
  std::vector<std::vector<int>> grid_;  // [row][column]: cell index, -1 missing, -2 covered by a span
  int columns_ = 0;
  bool started_ = false;
  bool done_ = false;
  int nextBody_ = -1;
  int lastRowCount_ = 0;
  double layoutWidth_ = -1;
  std::vector<double> colW_, rowH_;
};

}  // namespace qmpdf
