// The grid geometry of a design: column and row counts, weave-format
// offsets, the fresh layout of a grid, bead rectangles and hit testing.
#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#include "core/TextUtils.h"
#include "design/Pattern.h"
#include "design/PatternParams.h"

unsigned CPattern::GetColumnCount() const { return CountBeadsInLength(m_nominalWidth, m_beadWidth, m_spacer); }

unsigned CPattern::GetRowCount() const { return CountBeadsInLength(m_nominalHeight, m_beadHeight, m_spacer); }

unsigned CPattern::ComputeColumns() { return CountBeadsInLength(m_nominalWidth, m_beadWidth, m_spacer, &m_actualWidth); }

unsigned CPattern::ComputeRows() { return CountBeadsInLength(m_nominalHeight, m_beadHeight, m_spacer, &m_actualHeight); }

void CPattern::ApplyFormatOffset(int format) {
  if (format == kFormatBrick) m_actualWidth += m_beadWidth / 2;
  else if (format == kFormatSacredBrick) m_actualWidth += m_beadWidth * 2.0 / 3.0;
  else if (format == kFormatSacredPeyote) m_actualHeight += m_beadHeight;
  else if (IsPeyoteFormat(format)) m_actualHeight += m_beadHeight / 2;
}

bool CPattern::IsPeyoteKind() const {
  if (m_rowFormats.empty()) return IsPeyoteFormat(m_format);
  for (const CRowFormat& run : m_rowFormats)
    if (IsPeyoteFormat(static_cast<int>(run.format))) return true;
  return false;
}

bool CPattern::IsBrickKind() const {
  if (m_rowFormats.empty()) return m_format == kFormatBrick;
  for (const CRowFormat& run : m_rowFormats)
    if (run.format == static_cast<DWORD>(kFormatBrick)) return true;
  return false;
}

int CPattern::GetRowFormat(int row) const {
  if (!m_rowFormats.empty()) return RowFormatAt(m_rowFormats, row);
  return m_format;
}

double CPattern::GetRowStartX(int row, int format) const {
  const bool odd = (row & 1) != 0;
  if (format == kFormatBrick) return odd ? m_beadWidth / 2 : m_beadWidth;
  if (format == kFormatSacredBrick) return odd ? m_beadWidth * 7.0 / 6.0 : m_beadWidth / 2;
  return m_beadWidth / 2;
}

// Lays the beads out row by row from the bottom. With runs, each storage row
// takes its own format (row from the top = rows - i - 1); otherwise the
// given format.
bool CPattern::LayOutRows(const CRowFormatArray* runs, int format, int colorIndex) {
  m_beads.clear();
  const unsigned columns = ComputeColumns();
  const unsigned rows = ComputeRows();
  if (runs) {
    bool brick = false, peyote = false;
    for (const CRowFormat& run : *runs) {
      if (run.format == static_cast<DWORD>(kFormatBrick)) brick = true;
      if (IsPeyoteFormat(static_cast<int>(run.format))) peyote = true;
    }
    if (brick) m_actualWidth += m_beadWidth / 2;
    if (peyote) m_actualHeight += m_beadHeight / 2;
  } else {
    ApplyFormatOffset(format);
  }
  const unsigned long long count = static_cast<unsigned long long>(columns) * rows;
  if (count > static_cast<unsigned long long>(INT_MAX)) return false;
  try {
    m_beads.reserve(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The highest centre, the rows added up as below (the first column of a
  // peyote row is a raised one).
  const double raise = (m_spacer + m_beadHeight) / 2;
  double y = m_beadHeight / 2;
  if (columns > 0) {
    double highest = 0.0;
    for (unsigned i = 0; i < rows; ++i) {
      const int rowFormat = runs ? RowFormatAt(*runs, static_cast<int>(rows - i - 1)) : format;
      highest = std::max(highest, IsPeyoteFormat(rowFormat) ? y + raise : y);
      y += m_beadHeight + m_spacer;
    }
    HoldBeadCentre(highest);
  }
  y = m_beadHeight / 2;
  for (unsigned i = 0; i < rows; ++i) {
    const int rowFormat = runs ? RowFormatAt(*runs, static_cast<int>(rows - i - 1)) : format;
    const bool peyote = IsPeyoteFormat(rowFormat);
    double x = GetRowStartX(static_cast<int>(i), rowFormat);
    BYTE alternate = 1;
    for (unsigned j = 0; j < columns; ++j) {
      const double offset = (peyote && IsShiftedColumn(rowFormat, static_cast<int>(j))) ? raise : 0.0;
      CBead bead(BeadFraction(x, m_actualWidth), BeadFraction(y + offset, m_actualHeight));
      bead.m_alternate = alternate;
      alternate = alternate ? 0 : 1;
      bead.SetColorIndex(colorIndex);
      // A fresh layout stores the colour index number in the cached colour.
      bead.m_cachedColor = static_cast<COLORREF>(colorIndex);
      bead.m_present = 1;
      m_beads.push_back(bead);
      x += m_beadWidth + m_spacer;
    }
    y += m_beadHeight + m_spacer;
  }
  return true;
}

bool CPattern::CreateGrid(const CGridLayout& layout, int colorIndex) {
  m_rowFormats.clear();
  m_nominalWidth = m_actualWidth = layout.width;
  m_nominalHeight = m_actualHeight = layout.height;
  m_beadWidth = layout.beadWidth;
  m_beadHeight = layout.beadHeight;
  m_spacer = layout.spacer;
  m_format = layout.format;
  m_blank = 1;
  m_beads.clear();
  m_modified = 0;
  const bool ok = LayOutRows(nullptr, layout.format, colorIndex);
  m_angle = 0;
  if (!ok) m_beads.clear();
  return ok;
}

bool CPattern::CreateGridWithRowFormats(const CGridLayout& layout, const CRowFormatArray& runs, int colorIndex) {
  const CRowFormatArray copy = runs;  // runs may be the design's own
  m_rowFormats = copy;
  m_nominalWidth = m_actualWidth = layout.width;
  m_nominalHeight = m_actualHeight = layout.height;
  m_beadWidth = layout.beadWidth;
  m_beadHeight = layout.beadHeight;
  m_spacer = layout.spacer;
  m_format = layout.format;
  m_modified = 1;
  const bool ok = LayOutRows(&copy, layout.format, colorIndex);
  if (!ok) m_beads.clear();
  return ok;
}

void CPattern::ApplyParams(const CPatternParams& params) {
  m_nominalWidth = params.m_width;
  m_nominalHeight = params.m_height;
  m_beadWidth = params.m_beadWidth;
  m_beadHeight = params.m_beadHeight;
  m_spacer = params.m_spacer;
  m_format = params.m_format;
  m_stitchPath = params.m_stitchPath;
  m_pathColor = params.m_pathColor;
  m_blank = params.m_blank;
  m_modified = 1;
}

// ---- Rectangles and points ----

CBeadRectMapper::CBeadRectMapper(const CPattern& p, const RECT& rect, bool topDown)
    : left_(static_cast<double>(rect.left)), top_(static_cast<double>(rect.top)), topDown_(topDown) {
  w_ = static_cast<double>(rect.right - rect.left);
  h_ = static_cast<double>(rect.bottom - rect.top);
  r_ = w_ * (p.m_beadWidth / p.m_actualWidth) / 2;
  u_ = h_ * (p.m_beadHeight / p.m_actualHeight) / 2;
}

int CBeadRectMapper::RoundOutside(double v) { return RoundToInt(v); }

namespace {
RECT BeadRect(const CPattern& p, const CBead& bead, const RECT& rect, bool topDown) {
  return CBeadRectMapper(p, rect, topDown).Get(bead);
}
}  // namespace

RECT CPattern::GetBeadRect(const CBead& bead, const RECT& rect) const { return BeadRect(*this, bead, rect, false); }

RECT CPattern::GetBeadRectTopDown(const CBead& bead, const RECT& rect) const { return BeadRect(*this, bead, rect, true); }

bool CPattern::MapCellToImage(int row, int column, const RECT& drawn, POINT& centre, SIZE& cellSize, bool check) const {
  const int columns = static_cast<int>(GetColumnCount());
  const int rows = static_cast<int>(GetRowCount());
  const double w = static_cast<double>(drawn.right - drawn.left);
  const double h = static_cast<double>(drawn.bottom - drawn.top);
  // An empty grid has no cells; the quotients below then stay finite.
  const double cols = columns > 0 ? columns : 1;
  const double rws = rows > 0 ? rows : 1;
  centre.x = drawn.left + RoundToInt(w * (2.0 * column + 1) / (2.0 * cols));
  centre.y = drawn.top + RoundToInt(h * (2.0 * row + 1) / (2.0 * rws));
  cellSize.cx = RoundToInt(w / cols);
  cellSize.cy = RoundToInt(h / rws);
  if (check && (column < 0 || row < 0 || column >= columns || row >= rows)) return false;
  return true;
}

int CPattern::HitTestBead(double x, double y, bool topDown, BYTE* present, bool countSpacer) const {
  const long long columns = GetColumnCount();
  const long long rows = GetRowCount();
  if (columns <= 0 || rows <= 0 || static_cast<long long>(m_beads.size()) < columns * rows) return -1;
  if (!(m_actualWidth > 0.0) || !(m_actualHeight > 0.0)) return -1;
  double hx = m_beadWidth / (2 * m_actualWidth);
  if (countSpacer) hx += m_spacer / (2 * m_actualWidth);
  double hy = m_beadHeight / (2 * m_actualHeight);
  if (countSpacer) hy += m_spacer / (2 * m_actualHeight);
  const double yb = 1 - y;
  auto matchX = [&](const CBead& b) { return b.m_x - hx <= x && x <= b.m_x + hx; };
  auto matchY = [&](const CBead& b) { return b.m_y - hy <= yb && yb <= b.m_y + hy; };
  auto result = [&](long long column, long long storageRow) -> int {
    if (present) *present = m_beads[static_cast<size_t>(storageRow * columns + column)].m_present;
    const long long row = topDown ? rows - storageRow - 1 : storageRow;
    return static_cast<int>(column + columns * row);
  };
  const bool columnFirst = IsPeyoteLikeFormat(m_format);
  if (!columnFirst) {
    for (long long r = 0; r < rows; ++r) {
      if (!matchY(m_beads[static_cast<size_t>(r * columns)])) continue;
      for (long long c = 0; c < columns; ++c)
        if (matchX(m_beads[static_cast<size_t>(r * columns + c)])) return result(c, r);
      return -1;
    }
    return -1;
  }
  for (long long c = 0; c < columns; ++c) {
    if (!matchX(m_beads[static_cast<size_t>(c)])) continue;
    for (long long r = 0; r < rows; ++r)
      if (matchY(m_beads[static_cast<size_t>(r * columns + c)])) return result(c, r);
    return -1;
  }
  return -1;
}

bool FindGridForBeadCount(long long budget, int columns, int rows, int& outWidth, int& outHeight,
                          const CPattern& design) {
  if (columns < 1 || rows < 1 || design.m_beadWidth != design.m_beadHeight) return false;
  const long long c = columns, r = rows;
  long long stepW = c, stepH = r;
  if (design.IsPeyoteKind()) {
    stepW = 2 * c;
    stepH = 2 * r + 1;
  } else if (design.IsBrickKind()) {
    stepW = 2 * c + 1;
    stepH = 2 * r;
  } else if (design.m_format == kFormatSacredBrick) {
    stepW = 3 * c + 2;
    stepH = 3 * r;
  } else if (design.m_format == kFormatSacredPeyote) {
    stepH = r + 1;
  }
  bool found = false;
  for (long long k = 1; k <= 999; ++k) {
    const long long w = k * stepW, h = k * stepH;
    if (w > INT_MAX || h > INT_MAX) break;
    // w and h stay below 2^31, so their product fits in 64 bits.
    if (budget < w * h) break;
    outWidth = static_cast<int>(w);
    outHeight = static_cast<int>(h);
    found = true;
  }
  return found;
}
