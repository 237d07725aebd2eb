// The word chart: the bead order of a design written out as lines of runs.
// For every line of beads the beader works (a row, a column, or one half of
// a peyote row) the colours in working order, each run of one colour as its
// count and colour index. Everything is computed in the constructor; the
// pages (PdfWordChart.cpp) only read the result.
#pragma once

#include <utility>
#include <vector>

#include "platform/base.h"

class CPattern;
class CPdfData;

// Reading directions of a line.
enum : int {
  kWordChartLeftToRight = 0,
  kWordChartRightToLeft = 1,
  kWordChartTopToBottom = 2,
  kWordChartBottomToTop = 3,
};

// The two settings the generator reads.
struct CWordChartOptions {
  CWordChartOptions() = default;
  CWordChartOptions(bool combinedFlag, int chartMode) : combined(combinedFlag ? 1 : 0), mode(chartMode) {}
  explicit CWordChartOptions(const CPdfData& data);
  // "Row" for the row modes, "Column" for the column modes 2 and 5.
  CString GetLineLabel() const;

  BYTE combined = 0;
  int mode = 0;
};

// One line of the result: its runs {count, colour index} and its direction.
struct CWordChartRunLine {
  std::vector<std::pair<int, int>> runs;
  int direction = kWordChartLeftToRight;
  // The direction's name ("left to right"...); empty for any other value.
  CString GetDirectionName() const;
};

class CWordChart {
 public:
  CWordChart(const CPattern* design, const CWordChartOptions& options);
  virtual ~CWordChart() = default;
  CWordChart(const CWordChart&) = delete;
  CWordChart& operator=(const CWordChart&) = delete;

  CString GetLineLabel() const { return m_options.GetLineLabel(); }
  const std::vector<CWordChartRunLine>& GetRunLines() const { return m_runLines; }
  int GetLineCount() const { return static_cast<int>(m_runLines.size()); }

 private:
  void SplitPeyoteColumns();
  void BuildLines();
  void ReadRowsAlternating(int direction);
  void ReadRowsAlways(int direction);
  void ReadPeyoteRowsAlternating(int direction);
  void ReadPeyoteRowsAlways(int direction);
  void ReadColumns(bool alternating);
  // Appends one line reading the given columns (ascending) of a row.
  void ReadRow(int row, const std::vector<int>& columns, int direction);

  std::vector<CWordChartRunLine> m_runLines;
  const CPattern* m_pattern;
  CWordChartOptions m_options;
  std::vector<int> m_shiftedColumns;
  std::vector<int> m_plainColumns;
  std::vector<int> m_allColumns;
  std::vector<std::pair<int, int>> m_runBuffer;
  bool m_peyote = false;
  int m_columns = 0;
  int m_rows = 0;
};
