// Bead editing: cell and storage-index edits, whole-design colour changes,
// colour caches, re-matching, blended painting and the index lists that the
// drawing tools fill.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/Progress.h"
#include "core/TextUtils.h"
#include "design/ColorSource.h"
#include "design/Pattern.h"

// ---- Cell edits ----

bool CPattern::SetBeadPresent(int column, int row, bool present) {
  CBead* bead = GetBeadAt(column, row);
  if (!bead) return false;
  const BYTE value = present ? 1 : 0;
  if (bead->m_present != value) {
    bead->m_present = value;
    m_modified = 1;
  }
  return true;
}

void CPattern::SetPathBead(int column, int row, bool present) {
  CBead* bead = GetBeadAt(column, row);
  if (!bead) return;
  bead->SetPathColor();
  bead->m_present = present ? 1 : 0;
  m_modified = 1;
}

void CPattern::ClearPathBead(int column, int row) {
  CBead* bead = GetBeadAt(column, row);
  if (!bead) return;
  bead->ClearPathColor();
  m_modified = 1;
}

int CPattern::SetBeadColor(int column, int row, int color, bool present) {
  CBead* bead = GetBeadAt(column, row);
  if (!bead) return -1;
  bead->ClearPathColor();
  const int previous = bead->m_colorIndex;
  bead->SetColorIndex(color);
  bead->m_present = present ? 1 : 0;
  return previous;
}

int CPattern::SetBeadColorIndex(int column, int row, int color) {
  CBead* bead = GetBeadAt(column, row);
  if (!bead) return -1;
  const int previous = bead->GetColorIndex(m_pathColor);
  bead->SetColorIndex(color);
  return previous;
}

// ---- Storage-index edits ----

int CPattern::RecolorBead(int index, int color) {
  if (!IsValidIndex(index)) return -1;
  CBead& bead = m_beads[static_cast<size_t>(index)];
  const int old = bead.GetColorIndex(m_pathColor);
  if (!bead.m_present || old == color) return -1;
  bead.SetColorIndex(color);
  m_modified = 1;
  return old;
}

bool CPattern::PutBead(int index, int color) {
  if (!IsValidIndex(index)) return false;
  CBead& bead = m_beads[static_cast<size_t>(index)];
  if (bead.m_present && bead.GetColorIndex(m_pathColor) == color) return false;
  bead.m_present = 1;
  bead.SetColorIndex(color);
  return true;
}

bool CPattern::ReplaceBeadColor(int index, int from, int to) {
  if (from == to || !IsValidIndex(index)) return false;
  CBead& bead = m_beads[static_cast<size_t>(index)];
  if (!bead.m_present || bead.GetColorIndex(m_pathColor) != from) return false;
  bead.SetColorIndex(to);
  m_modified = 1;
  return true;
}

// ---- Whole design ----

bool CPattern::ReplaceColor(int from, int to) {
  if (from == to || m_beads.empty()) return false;
  bool changed = false;
  for (CBead& bead : m_beads) {
    if (bead.GetColorIndex(m_pathColor) == from) {
      bead.SetColorIndex(to);
      changed = true;
    }
  }
  if (changed) m_modified = 1;
  return changed;
}

void CPattern::CacheBeadColors(const IColorSource& palette) {
  const int count = palette.GetCount();
  for (CBead& bead : m_beads) {
    const int index = bead.GetColorIndex(m_pathColor);
    // A bead whose colour lies outside the palette keeps its cache.
    if (index >= 0 && index < count) bead.m_cachedColor = palette.GetColorrefAt(index) & 0xFFFFFFu;
  }
}

void CPattern::RematchColors(IColorSource& palette, const char* caption, IProgressHost* host) {
  const int count = palette.GetCount();
  if (count <= 0) return;
  bool anyInUse = false;
  for (int i = 0; i < count && !anyInUse; ++i) anyInUse = palette.IsColorInUse(i);
  if (!anyInUse) palette.SetColorInUse(0, true);
  std::unique_ptr<CStatusProgress> progress;
  if (host && caption && *caption) progress = std::make_unique<CStatusProgress>(host, GetBeadCount(), caption);
  std::unordered_map<COLORREF, int> nearest;
  int position = 0;
  for (CBead& bead : m_beads) {
    const COLORREF c = bead.m_cachedColor;
    auto it = nearest.find(c);
    int index;
    if (it != nearest.end()) {
      index = it->second;
    } else {
      int distance = 0;
      index = palette.FindNearestColor(GetRValue(c), GetGValue(c), GetBValue(c), distance);
      nearest.emplace(c, index);
    }
    bead.SetColorIndex(index);
    if (progress) progress->SetPos(++position);
  }
  m_modified = 1;
}

void CPattern::PaintCells(int column, int row, const std::vector<POINT>& offsets, const IColorSource& palette,
                          double weight, int color, bool force) {
  const int count = palette.GetCount();
  // The new colour must be a palette colour to be blended.
  if (color < 0 || color >= count) return;
  const COLORREF newColor = palette.GetColorrefAt(color);
  const int p = static_cast<int>(std::trunc(100 - 100 * weight));
  bool painted = false;
  for (const POINT& offset : offsets) {
    CBead* bead = GetBeadAt(column + offset.x, row + offset.y);
    if (!bead) continue;
    painted = true;
    if (!force && !bead->m_present) {
      bead->SetColorIndex(color);
      continue;
    }
    bead->m_present = 1;
    const int q = static_cast<int>(std::trunc(100 * weight));
    const int shown = bead->GetColorIndex(m_pathColor);
    // A bead without a palette colour blends as if it showed the new one.
    const COLORREF oldColor = (shown >= 0 && shown < count) ? palette.GetColorrefAt(shown) : newColor;
    const int r = (p * GetRValue(newColor) + q * GetRValue(oldColor)) / 100;
    const int g = (p * GetGValue(newColor) + q * GetGValue(oldColor)) / 100;
    const int b = (p * GetBValue(newColor) + q * GetBValue(oldColor)) / 100;
    auto clamp = [](int v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); };
    int distance = 0;
    int nearest = palette.FindNearestColor(clamp(r), clamp(g), clamp(b), distance);
    if (nearest < 0) nearest = 0;
    bead->SetColorIndex(nearest);
  }
  if (painted) m_modified = 1;
}

// ---- Index lists ----

void CPattern::AddRunIndices(POINT start, int count, CIndexList& list) const {
  int first = 0;
  if (!CellToIndex(start.x, start.y, first)) return;
  const long long end = std::min<long long>(static_cast<long long>(first) + count, static_cast<long long>(m_beads.size()));
  for (long long i = first; i < end; ++i) list.Add(static_cast<UINT>(i));
}

bool CPattern::GetBoundingCells(int a, int b, RECT& out) const {
  int ca = 0, ra = 0, cb = 0, rb = 0;
  if (!IndexToCell(a, ca, ra) || !IndexToCell(b, cb, rb)) return false;
  out = RECT{std::min(ca, cb), std::min(ra, rb), std::max(ca, cb), std::max(ra, rb)};
  return true;
}

void CPattern::LineBetweenBeads(int a, int b, CIndexList& list) const {
  int ca = 0, ra = 0, cb = 0, rb = 0;
  if (!IndexToCell(a, ca, ra) || !IndexToCell(b, cb, rb)) return;
  std::vector<CBeadRun> runs;
  LineStaircase(POINT{ca, ra}, POINT{cb, rb}, runs);
  for (const CBeadRun& run : runs) AddRunIndices(POINT{run.column, run.row}, run.count, list);
}

void LineStaircase(POINT from, POINT to, std::vector<CBeadRun>& runs) {
  runs.clear();
  POINT left = from, right = to;
  if (to.x < from.x) std::swap(left, right);
  const long long width = static_cast<long long>(right.x) - left.x + 1;
  const long long rows = std::llabs(static_cast<long long>(right.y) - left.y) + 1;
  const int direction = right.y > left.y ? 1 : -1;
  // Integer steps: trunc(k x width / rows) exactly, where a single-precision
  // ratio could fall one bead short of the end cell.
  long long start = left.x;
  int row = left.y;
  for (long long k = 1;; ++k) {
    const long long end = left.x + k * width / rows;
    const long long length = end - start;
    runs.push_back(CBeadRun{static_cast<int>(start), row, static_cast<int>(std::max<long long>(length, 1))});
    if (row == right.y) break;
    start = end;
    row += direction;
  }
}

void CPattern::RectBetweenBeads(bool filled, int a, int b, CIndexList& list) const {
  RECT r;
  if (!GetBoundingCells(a, b, r)) return;
  const int width = r.right - r.left + 1;
  AddRunIndices(POINT{r.left, r.top}, width, list);
  AddRunIndices(POINT{r.left, r.bottom}, width, list);
  for (int row = r.top + 1; row < r.bottom; ++row) {
    if (filled) {
      AddRunIndices(POINT{r.left, row}, width, list);
    } else {
      AddRunIndices(POINT{r.left, row}, 1, list);
      AddRunIndices(POINT{r.right, row}, 1, list);
    }
  }
}

void CPattern::EllipseOutlineBetweenBeads(int a, int b, CIndexList& list) const {
  RECT r;
  if (!GetBoundingCells(a, b, r)) return;
  std::vector<POINT> points;
  EllipseOutlineCells(r, points);
  for (const POINT& p : points) {
    int index = 0;
    if (CellToIndex(p.x, p.y, index)) list.Add(static_cast<UINT>(index));
  }
}

void CPattern::FilledEllipseBetweenBeads(int a, int b, CIndexList& list) const {
  RECT r;
  if (!GetBoundingCells(a, b, r)) return;
  std::vector<POINT> points, low, high;
  EllipseOutlineCells(r, points);
  PointSpans(points, low, high);
  for (size_t i = 0; i < low.size(); ++i) {
    int from = 0, to = 0;
    if (CellToIndex(low[i].x, low[i].y, from) && CellToIndex(high[i].x, high[i].y, to)) LineBetweenBeads(from, to, list);
  }
}

void CPattern::GetNeighbours(int index, bool diagonals, std::vector<int>& out) const {
  out.clear();
  int column = 0, row = 0;
  if (!IndexToCell(index, column, row)) return;
  const int columns = static_cast<int>(GetColumnCount());
  const int rows = static_cast<int>(GetRowCount());
  auto add = [&](int c, int r) {
    if (c < 0 || r < 0 || c >= columns || r >= rows) return;
    const long long i = static_cast<long long>(r) * columns + c;
    if (IsValidIndex(i)) out.push_back(static_cast<int>(i));
  };
  add(column - 1, row);
  add(column + 1, row);
  add(column, row - 1);
  add(column, row + 1);
  if (diagonals) {
    add(column - 1, row - 1);
    add(column + 1, row - 1);
    add(column - 1, row + 1);
    add(column + 1, row + 1);
  }
}

namespace {

// Calls visit(neighbour) for the neighbours of a storage index in the flood
// fill's order: left, right, below, above, then below-left, below-right,
// above-left, above-right.
template <typename Visit>
inline void ForEachNeighbour(long long index, long long columns, long long rows, bool diagonals, Visit visit) {
  const long long c = index % columns;
  const long long r = index / columns;
  const bool left = c > 0, right = c + 1 < columns, below = r > 0, above = r + 1 < rows;
  if (left) visit(index - 1);
  if (right) visit(index + 1);
  if (below) visit(index - columns);
  if (above) visit(index + columns);
  if (diagonals) {
    if (below && left) visit(index - columns - 1);
    if (below && right) visit(index - columns + 1);
    if (above && left) visit(index + columns - 1);
    if (above && right) visit(index + columns + 1);
  }
}

}  // namespace

void CPattern::FloodFill(const CFillCriterion& criterion, std::vector<UINT> frontier, CIndexList& list,
                         bool diagonals) const {
  const long long columns = GetColumnCount();
  const long long rows = GetRowCount();
  const long long count = std::min<long long>(columns * rows, static_cast<long long>(m_beads.size()));
  if (columns <= 0 || rows <= 0) return;
  list.ReserveIndexes(static_cast<size_t>(count));
  auto matches = [&](const CBead& bead) {
    switch (criterion.mode) {
      case 0: return bead.m_present && bead.GetColorIndex(m_pathColor) == criterion.color;
      case 1: return bead.m_present != 0;
      case 2: return bead.m_present == 0;
      default: return false;
    }
  };
  CIndexArray current(frontier.begin(), frontier.end()), next;
  while (!current.empty()) {
    next.clear();
    for (UINT index : current) {
      if (index >= count) continue;
      ForEachNeighbour(index, columns, rows, diagonals, [&](long long n) {
        if (n >= count) return;
        const UINT u = static_cast<UINT>(n);
        if (list.Contains(u) || !matches(m_beads[static_cast<size_t>(n)])) return;
        list.Add(u);
        next.push_back(u);
      });
    }
    current.swap(next);
  }
}

void CPattern::FloodFillFrom(int index, CIndexList& list, bool diagonals) const {
  list.clear();
  if (!IsValidIndex(index)) return;
  list.Add(static_cast<UINT>(index));
  const CFillCriterion criterion{0, m_beads[static_cast<size_t>(index)].GetColorIndex(m_pathColor)};
  FloodFill(criterion, std::vector<UINT>{static_cast<UINT>(index)}, list, diagonals);
}

// ---- Cells and spans ----

void EllipseOutlineCells(const RECT& rect, std::vector<POINT>& out) {
  out.clear();
  const float rx = static_cast<float>(rect.right - rect.left) / 2;
  const float ry = static_cast<float>(rect.bottom - rect.top) / 2;
  const float left = static_cast<float>(rect.left);
  const float top = static_cast<float>(rect.top);
  for (int d = 0; d <= 360; ++d) {
    const float a = static_cast<float>(d * (1.0 / 180) * 3.141592654);
    const float x = left + rx + rx * std::sin(a);
    const float y = top + ry + ry * std::cos(a);
    const POINT p{RoundToInt(x), RoundToInt(y)};
    bool known = false;
    for (const POINT& q : out)
      if (q.x == p.x && q.y == p.y) {
        known = true;
        break;
      }
    if (!known) out.push_back(p);
  }
}

namespace {
void Spans(const std::vector<POINT>& points, std::vector<POINT>& low, std::vector<POINT>& high, bool byX) {
  low.clear();
  high.clear();
  std::unordered_map<LONG, size_t> slot;
  for (const POINT& p : points) {
    const LONG key = byX ? p.x : p.y;
    const LONG value = byX ? p.y : p.x;
    auto it = slot.find(key);
    if (it == slot.end()) {
      slot.emplace(key, low.size());
      low.push_back(p);
      high.push_back(p);
      continue;
    }
    POINT& lo = low[it->second];
    POINT& hi = high[it->second];
    if (value < (byX ? lo.y : lo.x)) lo = p;
    if (value > (byX ? hi.y : hi.x)) hi = p;
  }
}
}  // namespace

void PointSpans(const std::vector<POINT>& points, std::vector<POINT>& low, std::vector<POINT>& high) {
  Spans(points, low, high, true);
}

void RowSpans(const std::vector<POINT>& cells, std::vector<POINT>& left, std::vector<POINT>& right) {
  Spans(cells, left, right, false);
}
