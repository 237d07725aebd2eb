#include "pdf/WordChart.h"

#include <algorithm>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "design/WeaveFormat.h"
#include "lang/ids/pdf.h"
#include "settings/PdfData.h"

CWordChartOptions::CWordChartOptions(const CPdfData& data)
    : combined(data.m_peyoteCombined != 0 ? 1 : 0), mode(data.m_wordChartDirection) {}

CString CWordChartOptions::GetLineLabel() const {
  CPdfData data;
  data.m_wordChartDirection = mode;
  return data.GetWordChartHeadLabel();
}

CString CWordChartRunLine::GetDirectionName() const {
  switch (direction) {
    case kWordChartLeftToRight: return LoadResString(IDS_PDF_LEFT_TO_RIGHT);
    case kWordChartRightToLeft: return LoadResString(IDS_PDF_RIGHT_TO_LEFT);
    case kWordChartTopToBottom: return LoadResString(IDS_PDF_TOP_TO_BOTTOM);
    case kWordChartBottomToTop: return LoadResString(IDS_PDF_BOTTOM_TO_TOP);
    default: return CString();
  }
}

CWordChart::CWordChart(const CPattern* design, const CWordChartOptions& options)
    : m_pattern(design), m_options(options) {
  if (m_pattern) {
    m_columns = static_cast<int>(m_pattern->GetColumnCount());
    m_rows = static_cast<int>(m_pattern->GetRowCount());
    // Counts that do not match the beads held would read outside them.
    if (static_cast<long long>(m_columns) * m_rows != m_pattern->GetBeadCount()) m_columns = m_rows = 0;
    m_peyote = IsPeyoteFormat(m_pattern->m_format);
  }
  SplitPeyoteColumns();
  BuildLines();
}

void CWordChart::SplitPeyoteColumns() {
  m_allColumns.resize(static_cast<size_t>(m_columns));
  for (int c = 0; c < m_columns; ++c) m_allColumns[static_cast<size_t>(c)] = c;
  if (!m_peyote) return;
  for (int c = 0; c < m_columns; ++c)
    if (IsShiftedColumn(m_pattern->m_format, c)) m_shiftedColumns.push_back(c);
  for (int c = 0; c < m_columns; ++c)
    if (!IsShiftedColumn(m_pattern->m_format, c)) m_plainColumns.push_back(c);
}

void CWordChart::BuildLines() {
  if (!m_pattern) return;
  // A peyote row gives two lines; a column chart one line per column.
  m_runLines.reserve(static_cast<size_t>(std::max(2 * m_rows + 1, m_columns)));
  switch (m_options.mode) {
    case 0:
      if (m_peyote) ReadPeyoteRowsAlternating(kWordChartLeftToRight);
      else ReadRowsAlternating(kWordChartLeftToRight);
      break;
    case 1:
      if (m_peyote) ReadPeyoteRowsAlternating(kWordChartRightToLeft);
      else ReadRowsAlternating(kWordChartRightToLeft);
      break;
    case 2: ReadColumns(true); break;
    case 3:
      if (m_peyote) ReadPeyoteRowsAlways(kWordChartLeftToRight);
      else ReadRowsAlways(kWordChartLeftToRight);
      break;
    case 4:
      if (m_peyote) ReadPeyoteRowsAlways(kWordChartRightToLeft);
      else ReadRowsAlways(kWordChartRightToLeft);
      break;
    case 5: ReadColumns(false); break;
    default: return;
  }
}

namespace {

// Groups the colours of one line into runs as they are read: a run of one
// colour is {count, colour}. Beads without a colour are left out, so the
// beads on either side of them join when they match. The runs gather in a
// buffer the chart reuses, so each line costs one allocation of its own size.
class CRunCollector {
 public:
  CRunCollector(int direction, std::vector<std::pair<int, int>>& buffer) : direction_(direction), runs_(buffer) {
    runs_.clear();
  }
  void Take(int color) {
    if (color == -1) return;
    if (color == previous_) {
      ++count_;
      return;
    }
    if (count_ > 0) runs_.emplace_back(count_, previous_);
    previous_ = color;
    count_ = 1;
  }
  CWordChartRunLine Finish() {
    if (count_ > 0) runs_.emplace_back(count_, previous_);
    count_ = 0;
    CWordChartRunLine line;
    line.direction = direction_;
    line.runs.assign(runs_.begin(), runs_.end());
    return line;
  }

 private:
  int direction_;
  std::vector<std::pair<int, int>>& runs_;
  int previous_ = -1;
  int count_ = 0;
};

}  // namespace

void CWordChart::ReadRow(int row, const std::vector<int>& columns, int direction) {
  CRunCollector line(direction, m_runBuffer);
  const CBead* beads = m_pattern->m_beads.data();
  // Row `row` from the top is storage row rows - row - 1.
  const CBead* rowBeads = beads + static_cast<size_t>(m_rows - row - 1) * static_cast<size_t>(m_columns);
  auto take = [&](int column) {
    const CBead& bead = rowBeads[column];
    if (bead.IsPresent()) line.Take(bead.GetColorIndex(m_pattern->m_pathColor));
  };
  if (direction == kWordChartRightToLeft)
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) take(*it);
  else
    for (int column : columns) take(column);
  m_runLines.push_back(line.Finish());
}

void CWordChart::ReadRowsAlternating(int direction) {
  for (int row = 0; row < m_rows; ++row) {
    ReadRow(row, m_allColumns, direction);
    direction = 1 - direction;
  }
}

void CWordChart::ReadRowsAlways(int direction) {
  for (int row = 0; row < m_rows; ++row) ReadRow(row, m_allColumns, direction);
}

void CWordChart::ReadPeyoteRowsAlternating(int direction) {
  int first = 0;
  if (m_options.combined && m_rows > 0) {
    ReadRow(0, m_allColumns, direction);
    direction = 1 - direction;
    first = 1;
  }
  for (int row = first; row < m_rows; ++row) {
    ReadRow(row, m_shiftedColumns, direction);
    direction = 1 - direction;
    ReadRow(row, m_plainColumns, direction);
    direction = 1 - direction;
  }
}

void CWordChart::ReadPeyoteRowsAlways(int direction) {
  std::vector<int> even, odd;
  for (int c = 0; c < m_columns; ++c) (c % 2 == 0 ? even : odd).push_back(c);
  int first = 0;
  if (m_options.combined && m_rows > 0) {
    ReadRow(0, m_allColumns, direction);
    first = 1;
  }
  for (int row = first; row < m_rows; ++row) {
    ReadRow(row, even, direction);
    ReadRow(row, odd, direction);
  }
}

void CWordChart::ReadColumns(bool alternating) {
  int direction = kWordChartTopToBottom;
  const CBead* beads = m_pattern->m_beads.data();
  for (int column = 0; column < m_columns; ++column) {
    CRunCollector line(direction, m_runBuffer);
    auto take = [&](int row) {
      const CBead& bead =
          beads[static_cast<size_t>(m_rows - row - 1) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
      if (bead.IsPresent()) line.Take(bead.GetColorIndex(m_pattern->m_pathColor));
    };
    if (direction == kWordChartTopToBottom)
      for (int row = 0; row < m_rows; ++row) take(row);
    else
      for (int row = m_rows - 1; row >= 0; --row) take(row);
    m_runLines.push_back(line.Finish());
    if (alternating) direction = direction == kWordChartTopToBottom ? kWordChartBottomToTop : kWordChartTopToBottom;
  }
}
