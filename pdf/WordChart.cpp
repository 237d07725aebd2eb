#include "pdf/WordChart.h"

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
  GroupRuns();
}

void CWordChart::ReadRow(int row, const std::vector<int>& columns, int direction) {
  Line line;
  line.direction = direction;
  line.colors.reserve(columns.size());
  const CBead* beads = m_pattern->m_beads.data();
  // Row `row` from the top is storage row rows - row - 1.
  const CBead* rowBeads = beads + static_cast<size_t>(m_rows - row - 1) * static_cast<size_t>(m_columns);
  auto take = [&](int column) {
    const CBead& bead = rowBeads[column];
    if (!bead.IsPresent()) return;
    const int color = bead.GetColorIndex(m_pattern->m_pathColor);
    if (color != -1) line.colors.push_back(color);
  };
  if (direction == kWordChartRightToLeft)
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) take(*it);
  else
    for (int column : columns) take(column);
  m_lines.push_back(std::move(line));
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
    Line line;
    line.direction = direction;
    line.colors.reserve(static_cast<size_t>(m_rows));
    auto take = [&](int row) {
      const CBead& bead =
          beads[static_cast<size_t>(m_rows - row - 1) * static_cast<size_t>(m_columns) + static_cast<size_t>(column)];
      if (!bead.IsPresent()) return;
      const int color = bead.GetColorIndex(m_pattern->m_pathColor);
      if (color != -1) line.colors.push_back(color);
    };
    if (direction == kWordChartTopToBottom)
      for (int row = 0; row < m_rows; ++row) take(row);
    else
      for (int row = m_rows - 1; row >= 0; --row) take(row);
    m_lines.push_back(std::move(line));
    if (alternating) direction = direction == kWordChartTopToBottom ? kWordChartBottomToTop : kWordChartTopToBottom;
  }
}

void CWordChart::GroupRuns() {
  m_runLines.reserve(m_lines.size());
  for (const Line& line : m_lines) {
    CWordChartRunLine out;
    out.direction = line.direction;
    int previous = -1, count = 0;
    for (int color : line.colors) {
      if (color == previous) {
        ++count;
        continue;
      }
      if (count > 0) out.runs.emplace_back(count, previous);
      previous = color;
      count = 1;
    }
    if (count > 0) out.runs.emplace_back(count, previous);
    m_runLines.push_back(std::move(out));
  }
  m_lines.clear();
  m_lines.shrink_to_fit();
}
