#include "pdflib/lib/table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pdflib/lib/errors.h"

namespace qmpdf {
namespace {

constexpr double kEps = 1e-6;
constexpr double kMinFlowWidth = 1;  // a textflow column keeps at least one point of text width

std::string Points(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

double LineHeight(const FontMetrics& fm, double size) { return (fm.ascent - fm.descent) / 1000.0 * size; }

}  // namespace

void Table::AddCell(TableCell cell) {
  if (started_) Fail(kErrTableCell, "Cells cannot be added to a table that is being fitted");
  const int r = cell.row - 1, c0 = cell.column - 1, c1 = cell.column - 1 + cell.colspan;
  if (static_cast<int>(grid_.size()) <= r) grid_.resize(static_cast<std::size_t>(r) + 1);
  std::vector<int>& row = grid_[static_cast<std::size_t>(r)];
  if (static_cast<int>(row.size()) < c1) row.resize(static_cast<std::size_t>(c1), -1);
  for (int c = c0; c < c1; ++c)
    if (row[static_cast<std::size_t>(c)] != -1)
      Fail(kErrTableCell, "Table cell in column " + std::to_string(c + 1) + ", row " + std::to_string(cell.row) +
                              " is already filled");
  const int index = static_cast<int>(cells_.size());
  row[static_cast<std::size_t>(c0)] = index;
  for (int c = c0 + 1; c < c1; ++c) row[static_cast<std::size_t>(c)] = -2;
  columns_ = std::max(columns_, c1);
  cells_.push_back(std::move(cell));
  layoutWidth_ = -1;
}

void Table::EnsureLayout(double boxWidth, const Measurer& m) {
  if (layoutWidth_ == boxWidth) return;
  const auto n = static_cast<std::size_t>(columns_);
  std::vector<double> minW(n, 0), want(n, -1);
  std::vector<bool> flexible(n, false);
  auto cellMin = [&](const TableCell& cell) {
    double content = 0;
    if (cell.textline && !cell.text.empty())
      content = TextWidth(m.Metrics(cell.font), cell.text.data(), cell.text.size(), cell.fontsize);
    else if (cell.flow)
      content = kMinFlowWidth;
    return content + cell.marginLeft + cell.marginRight;
  };
  for (const TableCell& cell : cells_) {
    const auto c = static_cast<std::size_t>(cell.column - 1);
    if (cell.flow || cell.image >= 0)
      for (int k = 0; k < cell.colspan; ++k) flexible[c + static_cast<std::size_t>(k)] = true;
    if (cell.colspan == 1) {
      minW[c] = std::max(minW[c], cellMin(cell));
      if (cell.hasColwidth && want[c] < 0)
        want[c] = cell.colwidthPercent ? cell.colwidth * boxWidth / 100.0 : cell.colwidth;
    }
  }
  double wanted = 0;
  int free = 0;
  for (std::size_t c = 0; c < n; ++c) {
    if (want[c] >= 0) wanted += want[c];
    else ++free;
  }
  std::vector<double> w(n);
  const double share = free ? std::max(0.0, boxWidth - wanted) / free : 0;
  for (std::size_t c = 0; c < n; ++c) w[c] = std::max(want[c] >= 0 ? want[c] : share, minW[c]);
  // A spanning cell's text widens the last column of its span when the span
  // is too narrow; that column's minimum is what the text needs beyond the
  // other columns' minimums.
  for (const TableCell& cell : cells_) {
    if (cell.colspan == 1) continue;
    const auto c = static_cast<std::size_t>(cell.column - 1);
    const std::size_t last = c + static_cast<std::size_t>(cell.colspan - 1);
    const double need = cellMin(cell);
    double width = 0, othersMin = 0;
    for (std::size_t k = c; k <= last; ++k) {
      width += w[k];
      if (k < last) othersMin += minW[k];
    }
    minW[last] = std::max(minW[last], need - othersMin);
    if (width < need) w[last] += need - width;
  }
  double minSum = 0, total = 0;
  for (std::size_t c = 0; c < n; ++c) minSum += minW[c], total += w[c];
  if (minSum > boxWidth + kEps)
    Fail(kErrTableWidth, "Table too wide: its columns need at least " + Points(minSum) + " points, the box is " +
                             Points(boxWidth) + " points wide");
  // Too wide: take from the spare width, first of textflow and picture columns.
  for (int pass = 0; pass < 2 && total > boxWidth + kEps; ++pass) {
    double slack = 0;
    for (std::size_t c = 0; c < n; ++c)
      if (pass == 1 || flexible[c]) slack += std::max(0.0, w[c] - minW[c]);
    if (slack <= kEps) continue;
    const double take = std::min(total - boxWidth, slack);
    for (std::size_t c = 0; c < n; ++c)
      if (pass == 1 || flexible[c]) w[c] -= std::max(0.0, w[c] - minW[c]) * take / slack;
    total -= take;
  }
  colW_ = std::move(w);

  rowH_.assign(grid_.size(), 0);
  for (std::size_t r = 0; r < grid_.size(); ++r) {
    double h = 0;
    bool any = false;
    for (std::size_t c = 0; c < grid_[r].size(); ++c) {
      const int index = grid_[r][c];
      if (index < 0) continue;
      any = true;
      const TableCell& cell = cells_[static_cast<std::size_t>(index)];
      double cellW = 0;
      for (int k = 0; k < cell.colspan; ++k) cellW += colW_[c + static_cast<std::size_t>(k)];
      double content = 0;
      if (cell.textline) content = LineHeight(m.Metrics(cell.font), cell.fontsize);
      else if (cell.flow) content = cell.flow->HeightOfAll(std::max(kMinFlowWidth, cellW - cell.marginLeft - cell.marginRight), m);
      h = std::max(h, content + cell.marginTop + cell.marginBottom);
    }
    rowH_[r] = any ? h : TableCell{}.marginTop + TableCell{}.marginBottom;
  }
  layoutWidth_ = boxWidth;
}

void Table::Layout(double boxWidth, const Measurer& m, std::vector<double>& columns, std::vector<double>& rows) {
  EnsureLayout(boxWidth, m);
  columns = colW_;
  rows = rowH_;
}

void Table::PlaceRow(int row, double x0, double top, const Measurer& m, Canvas* canvas) const {
  const std::vector<int>& cells = grid_[static_cast<std::size_t>(row)];
  const double h = rowH_[static_cast<std::size_t>(row)];
  double x = x0;
  for (std::size_t c = 0; c < static_cast<std::size_t>(columns_); x += colW_[c], ++c) {
    const int index = c < cells.size() ? cells[c] : -1;
    if (index < 0) continue;
    const TableCell& cell = cells_[static_cast<std::size_t>(index)];
    double w = 0;
    for (int k = 0; k < cell.colspan; ++k) w += colW_[c + static_cast<std::size_t>(k)];
    if (cell.hasFill) canvas->FillRect(x, top - h, w, h, cell.fill);
    const Box content{x + cell.marginLeft, top - h + cell.marginBottom, x + w - cell.marginRight, top - cell.marginTop};
    if (cell.textline && !cell.text.empty()) {
      const FontMetrics& fm = m.Metrics(cell.font);
      TextRun run;
      run.font = cell.font;
      run.size = cell.fontsize;
      run.text = cell.text;
      run.width = TextWidth(fm, cell.text.data(), cell.text.size(), cell.fontsize);
      run.x = cell.textPosition.h == HPos::Left    ? content.llx
              : cell.textPosition.h == HPos::Right ? content.urx - run.width
                                                   : (content.llx + content.urx - run.width) / 2;
      const double asc = fm.ascent / 1000.0 * cell.fontsize, desc = fm.descent / 1000.0 * cell.fontsize;
      run.y = cell.textPosition.v == VPos::Top      ? content.ury - asc
              : cell.textPosition.v == VPos::Bottom ? content.lly - desc
                                                    : (content.lly + content.ury - asc - desc) / 2;
      canvas->Text(run);
    } else if (cell.flow) {
      cell.flow->PlaceAll(content, m, canvas);
    } else if (cell.image >= 0 && cell.imageWidth > 0 && cell.imageHeight > 0 && content.Width() > 0 &&
               content.Height() > 0) {
      const double scale = std::min(content.Width() / cell.imageWidth, content.Height() / cell.imageHeight);
      const double iw = cell.imageWidth * scale, ih = cell.imageHeight * scale;
      const double ix = cell.imagePosition.h == HPos::Left    ? content.llx
                        : cell.imagePosition.h == HPos::Right ? content.urx - iw
                                                              : (content.llx + content.urx - iw) / 2;
      const double iy = cell.imagePosition.v == VPos::Bottom ? content.lly
                        : cell.imagePosition.v == VPos::Top  ? content.ury - ih
                                                             : (content.lly + content.ury - ih) / 2;
      canvas->Image(cell.image, ix, iy, iw, ih);
    }
  }
}

void Table::RuleRow(int row, double x0, double top, Canvas* canvas) const {
  const std::vector<int>& cells = grid_[static_cast<std::size_t>(row)];
  const double h = rowH_[static_cast<std::size_t>(row)];
  double x = x0;
  for (std::size_t c = 0; c < static_cast<std::size_t>(columns_);) {
    const int index = c < cells.size() ? cells[c] : -1;
    const int span = index >= 0 ? cells_[static_cast<std::size_t>(index)].colspan : 1;
    double w = 0;
    for (int k = 0; k < span; ++k) w += colW_[c + static_cast<std::size_t>(k)];
    canvas->StrokeRect(x, top - h, w, h, 1.0, Color::GrayLevel(0));
    x += w;
    c += static_cast<std::size_t>(span);
  }
}

FitResult Table::Fit(const Box& box, const TableFitOptions& options, const Measurer& m, Canvas* canvas) {
  EnsureLayout(box.Width(), m);
  const int rows = Rows();
  const int header = std::min(std::max(options.headerRows, 0), rows);
  double headerH = 0;
  for (int r = 0; r < header; ++r) headerH += rowH_[static_cast<std::size_t>(r)];
  const int first = std::max(nextBody_, header);
  const bool onlyHeader = first >= rows;
  if (done_) {
    lastRowCount_ = 0;
    return FitResult::Stop;
  }
  const double firstH = onlyHeader ? 0 : rowH_[static_cast<std::size_t>(first)];
  if (headerH + firstH > box.Height() + kEps)
    Fail(kErrTableHeight, "Table too high: the header and the next row need " + Points(headerH + firstH) +
                              " points, the box is " + Points(box.Height()) + " points high");
  started_ = true;
  int last = first;
  double used = headerH;
  while (last < rows && used + rowH_[static_cast<std::size_t>(last)] <= box.Height() + kEps)
    used += rowH_[static_cast<std::size_t>(last++)];

  if (canvas) {
    double top = box.ury;
    std::vector<std::pair<int, double>> placed;
    for (int r = 0; r < header; ++r) {
      placed.emplace_back(r, top);
      top -= rowH_[static_cast<std::size_t>(r)];
    }
    for (int r = first; r < last; ++r) {
      placed.emplace_back(r, top);
      top -= rowH_[static_cast<std::size_t>(r)];
    }
    for (const auto& [r, t] : placed) PlaceRow(r, box.llx, t, m, canvas);
    if (options.rules)
      for (const auto& [r, t] : placed) RuleRow(r, box.llx, t, canvas);
  }
  lastRowCount_ = last - first;
  nextBody_ = last;
  if (last >= rows) {
    done_ = true;
    return FitResult::Stop;
  }
  return FitResult::BoxFull;
}

}  // namespace qmpdf
