// Changes of a design's shape: inserting and removing rows or columns,
// mirroring, and repeating the design across and down.
#include <climits>
#include <utility>

#include "design/BeadBlock.h"
#include "design/Pattern.h"

namespace {

// The length that holds exactly n beads: n beads and n - 1 spacers, plus
// half a bead when `halfBead` (room for the brick or peyote offset). The
// half bead is left out when, with the single-precision sizes of a fresh
// layout, it would round the count up to n + 1 (spacer 0).
float LengthForBeads(long long n, double bead, double spacer, bool halfBead) {
  const double plain = static_cast<double>(n - 1) * spacer + static_cast<double>(n) * bead;
  const float fBead = static_cast<float>(bead), fSpacer = static_cast<float>(spacer);
  if (halfBead) {
    const float withHalf = static_cast<float>(plain + bead / 2);
    if (CountBeadsInLength(withHalf, fBead, fSpacer) == n) return withHalf;
  }
  return static_cast<float>(plain);
}

CGridLayout LayoutOf(const CPattern& p, float width, float height) {
  CGridLayout layout;
  layout.width = width;
  layout.height = height;
  layout.beadWidth = static_cast<float>(p.m_beadWidth);
  layout.beadHeight = static_cast<float>(p.m_beadHeight);
  layout.spacer = static_cast<float>(p.m_spacer);
  layout.format = p.m_format;
  return layout;
}

// Whether a grid of that many beads can be laid out at all.
bool GridFits(long long columns, long long rows) { return columns > 0 && rows > 0 && columns * rows <= INT_MAX; }

}  // namespace

CPattern::SavedShape CPattern::TakeShape() {
  SavedShape shape{m_nominalWidth, m_nominalHeight, m_beadWidth, m_beadHeight, m_spacer, m_actualWidth,
                   m_actualHeight, m_format, m_blank, m_modified, m_angle, m_rowFormats, std::move(m_beads)};
  m_beads.clear();
  return shape;
}

void CPattern::RestoreShape(SavedShape&& shape) {
  m_nominalWidth = shape.nominalWidth;
  m_nominalHeight = shape.nominalHeight;
  m_beadWidth = shape.beadWidth;
  m_beadHeight = shape.beadHeight;
  m_spacer = shape.spacer;
  m_actualWidth = shape.actualWidth;
  m_actualHeight = shape.actualHeight;
  m_format = shape.format;
  m_blank = shape.blank;
  m_modified = shape.modified;
  m_angle = shape.angle;
  m_rowFormats = std::move(shape.rowFormats);
  m_beads = std::move(shape.beads);
}

namespace {

// Copies cached colour, stored colour index (path mark dropped) and present
// byte of a half-open block of cells (rows from the top) from a grid of
// sc x sr beads into the target. The caller has checked both rectangles.
void CopyCells(const CBead* source, long long sc, long long sr, const RECT& s, CPattern& target, const RECT& t) {
  const long long tc = target.GetColumnCount(), tr = target.GetRowCount();
  const long long width = s.right - s.left;
  for (long long row = 0; row < s.bottom - s.top; ++row) {
    const CBead* from = source + (sr - (s.top + row) - 1) * sc + s.left;  // storage rows count from the bottom
    CBead* to = target.m_beads.data() + (tr - (t.top + row) - 1) * tc + t.left;
    for (long long c = 0; c < width; ++c) {
      to[c].m_cachedColor = from[c].m_cachedColor;
      to[c].SetColorIndex(from[c].m_colorIndex);
      to[c].m_present = from[c].m_present;
    }
  }
}

// The checks of a block copy between a grid of sc x sr beads (holding
// `sourceBeads` records) and the target.
bool BlockFits(long long sc, long long sr, size_t sourceBeads, const RECT& s, const CPattern& target, const RECT& t) {
  const long long tc = target.GetColumnCount(), tr = target.GetRowCount();
  if (s.left < 0 || s.top < 0 || s.right < 0 || s.bottom < 0) return false;
  if (t.left < 0 || t.top < 0 || t.right < 0 || t.bottom < 0) return false;
  if (s.right > sc || s.bottom > sr || t.right > tc || t.bottom > tr) return false;
  if (s.right - s.left != t.right - t.left || s.bottom - s.top != t.bottom - t.top) return false;
  return static_cast<long long>(sourceBeads) >= sc * sr && static_cast<long long>(target.m_beads.size()) >= tc * tr;
}

bool CopyFromGrid(const CBeadArray& source, long long sc, long long sr, const RECT& s, CPattern& target, const RECT& t) {
  if (!BlockFits(sc, sr, source.size(), s, target, t)) return false;
  if (s.right > s.left && s.bottom > s.top) CopyCells(source.data(), sc, sr, s, target, t);
  return true;
}

}  // namespace

bool CPattern::CopyBlock(const CPattern& source, const RECT& s, CPattern& target, const RECT& t) {
  return CopyFromGrid(source.m_beads, source.GetColumnCount(), source.GetRowCount(), s, target, t);
}

bool CPattern::InsertRowsOrColumns(const CInsertRequest& request) {
  const long long c = GetColumnCount(), r = GetRowCount();
  if (c <= 0 || r <= 0) return false;
  const bool rows = request.rows != 0;
  const long long k = rows ? static_cast<long long>(request.block.bottom) - request.block.top + 1
                           : static_cast<long long>(request.block.right) - request.block.left + 1;
  if (k < 1) return false;
  const int atEdgeBefore = rows ? 3 : 1;
  const int atEdgeAfter = rows ? 4 : 2;
  const bool atEdge = request.place == atEdgeBefore || request.place == atEdgeAfter;
  const long long at = rows ? request.block.top : request.block.left;
  if (!atEdge && (at < 0 || at > (rows ? r : c))) return false;
  if (!GridFits(rows ? c : c + k, rows ? r + k : r)) return false;

  const float width = rows ? static_cast<float>(m_nominalWidth) : LengthForBeads(c + k, m_beadWidth, m_spacer, IsBrickKind());
  const float height = rows ? LengthForBeads(r + k, m_beadHeight, m_spacer, IsPeyoteKind()) : static_cast<float>(m_nominalHeight);
  const CGridLayout layout = LayoutOf(*this, width, height);
  SavedShape old = TakeShape();
  if (!CreateGrid(layout, request.colorIndex)) {
    RestoreShape(std::move(old));
    return false;
  }
  const LONG nc = static_cast<LONG>(GetColumnCount()), nr = static_cast<LONG>(GetRowCount());
  const LONG oc = static_cast<LONG>(c), orr = static_cast<LONG>(r), kk = static_cast<LONG>(k), a = static_cast<LONG>(at);
  const CBeadArray& from = old.beads;
  bool ok = true;
  if (!rows) {
    if (request.place == 1) ok = CopyFromGrid(from, c, r, RECT{0, 0, oc, orr}, *this, RECT{kk, 0, kk + oc, orr});
    else if (request.place == 2) ok = CopyFromGrid(from, c, r, RECT{0, 0, oc, orr}, *this, RECT{0, 0, oc, orr});
    else
      ok = CopyFromGrid(from, c, r, RECT{0, 0, a, orr}, *this, RECT{0, 0, a, orr}) &&
           CopyFromGrid(from, c, r, RECT{a, 0, oc, orr}, *this, RECT{nc - (oc - a), 0, nc, orr});
  } else {
    if (request.place == 3) ok = CopyFromGrid(from, c, r, RECT{0, 0, oc, orr}, *this, RECT{0, kk, oc, kk + orr});
    else if (request.place == 4) ok = CopyFromGrid(from, c, r, RECT{0, 0, oc, orr}, *this, RECT{0, 0, oc, orr});
    else
      ok = CopyFromGrid(from, c, r, RECT{0, 0, oc, a}, *this, RECT{0, 0, oc, a}) &&
           CopyFromGrid(from, c, r, RECT{0, a, oc, orr}, *this, RECT{0, nr - (orr - a), oc, nr});
  }
  return ok;
}

bool CPattern::RemoveRowsOrColumns(const CRemoveRequest& request) {
  const long long c = GetColumnCount(), r = GetRowCount();
  if (c <= 0 || r <= 0 || static_cast<long long>(m_beads.size()) < c * r) return false;
  const bool columns = request.mode == 2;
  const long long first = columns ? request.block.left : request.block.top;
  const long long last = columns ? request.block.right : request.block.bottom;
  const long long total = columns ? c : r;
  if (first < 0 || last < first || last >= total) return false;
  const long long k = last - first + 1;
  const long long n = total - k;
  if (n <= 0) return false;

  const float width = columns ? LengthForBeads(n, m_beadWidth, m_spacer, IsBrickKind()) : static_cast<float>(m_nominalWidth);
  const float height = columns ? static_cast<float>(m_nominalHeight) : LengthForBeads(n, m_beadHeight, m_spacer, IsPeyoteKind());
  const CGridLayout layout = LayoutOf(*this, width, height);
  SavedShape old = TakeShape();
  if (!CreateGrid(layout, 0)) {
    RestoreShape(std::move(old));
    return false;
  }
  const long long nc = GetColumnCount(), nr = GetRowCount();
  if (static_cast<long long>(m_beads.size()) < nc * nr) return false;
  // Cells keep their place before the block and move up (or left) by k after
  // it; rows here count from the top.
  for (long long row = 0; row < nr; ++row) {
    const long long sr = columns ? row : (row < first ? row : row + k);
    if (sr >= r) continue;
    const CBead* from = old.beads.data() + (r - sr - 1) * c;
    CBead* to = m_beads.data() + (nr - row - 1) * nc;
    for (long long column = 0; column < nc; ++column) {
      const long long sc = columns ? (column < first ? column : column + k) : column;
      if (sc >= c) continue;
      to[column].SetColorIndex(from[sc].GetColorIndex(m_pathColor));
      to[column].m_present = from[sc].m_present;
    }
  }
  return true;
}

namespace {
// Exchanges what a mirror moves between two beads: presence, shown colour
// and cached colour. Path marks become plain colours.
inline void SwapMirrored(CBead& a, CBead& b) {
  std::swap(a.m_present, b.m_present);
  std::swap(a.m_colorIndex, b.m_colorIndex);
  std::swap(a.m_cachedColor, b.m_cachedColor);
}
}  // namespace

void CPattern::FlipVertical() {
  const long long c = GetColumnCount(), r = GetRowCount();
  if (c <= 0 || r <= 0 || static_cast<long long>(m_beads.size()) < c * r) return;
  for (CBead& bead : m_beads) bead.SetColorIndex(bead.GetColorIndex(m_pathColor));
  for (long long top = 0, bottom = r - 1; top < bottom; ++top, --bottom)
    for (long long col = 0; col < c; ++col)
      SwapMirrored(m_beads[static_cast<size_t>(top * c + col)], m_beads[static_cast<size_t>(bottom * c + col)]);
}

void CPattern::FlipHorizontal() {
  const long long c = GetColumnCount(), r = GetRowCount();
  if (c <= 0 || r <= 0 || static_cast<long long>(m_beads.size()) < c * r) return;
  for (CBead& bead : m_beads) bead.SetColorIndex(bead.GetColorIndex(m_pathColor));
  for (long long row = 0; row < r; ++row) {
    CBead* line = &m_beads[static_cast<size_t>(row * c)];
    for (long long a = 0, b = c - 1; a < b; ++a, --b) SwapMirrored(line[a], line[b]);
  }
}

void CPattern::FlipPresenceHorizontal() {
  const long long c = GetColumnCount(), r = GetRowCount();
  if (c <= 0 || r <= 0 || static_cast<long long>(m_beads.size()) < c * r) return;
  for (long long row = 0; row < r; ++row) {
    CBead* line = &m_beads[static_cast<size_t>(row * c)];
    for (long long a = 0, b = c - 1; a < b; ++a, --b) std::swap(line[a].m_present, line[b].m_present);
  }
}

bool CPattern::RepeatBySample(int across, int down, bool mirror) {
  const long long c = GetColumnCount(), r = GetRowCount();
  if (across < 1 || down < 1 || c <= 0 || r <= 0) return false;
  if (!GridFits(c * across, r * down)) return false;
  const CBeadBlock block(*this, mirror);
  // The layout is sized from whole beads so that every tile gets exactly the
  // design's columns and rows.
  const CGridLayout layout = LayoutOf(*this, LengthForBeads(c * across, m_beadWidth, m_spacer, false),
                                      LengthForBeads(r * down, m_beadHeight, m_spacer, false));
  SavedShape old = TakeShape();
  bool laidOut;
  if (!m_rowFormats.empty()) {
    CRowFormatArray runs;
    runs.reserve(m_rowFormats.size() * static_cast<size_t>(down));
    for (int i = 0; i < down; ++i) runs.insert(runs.end(), m_rowFormats.begin(), m_rowFormats.end());
    laidOut = CreateGridWithRowFormats(layout, runs, 0);
  } else {
    laidOut = CreateGrid(layout, 0);
  }
  if (!laidOut) {
    RestoreShape(std::move(old));
    return false;
  }
  block.FillPattern(*this);
  return true;
}

// ---- CBeadBlock ----

CBeadBlock::CBeadBlock(const CPattern& design, bool mirror) : mirror_(mirror) {
  columns_ = static_cast<int>(design.GetColumnCount());
  rows_ = static_cast<int>(design.GetRowCount());
  if (columns_ <= 0 || rows_ <= 0) {
    columns_ = rows_ = 0;
    return;
  }
  const size_t n = static_cast<size_t>(columns_) * static_cast<size_t>(rows_);
  colors_.resize(n, -1);
  present_.resize(n, 0);
  for (int row = 0; row < rows_; ++row)
    for (int column = 0; column < columns_; ++column) {
      const CBead* bead = design.GetBeadAt(column, row);
      if (!bead) continue;
      const size_t i = static_cast<size_t>(row) * columns_ + column;
      colors_[i] = bead->GetColorIndex(design.m_pathColor);
      present_[i] = bead->m_present;
    }
}

int CBeadBlock::GetCell(int column, int row, BYTE& present) const {
  if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return -1;
  const size_t i = static_cast<size_t>(row) * columns_ + column;
  present = present_[i];
  return colors_[i];
}

bool CBeadBlock::GetCellMirrored(int column, int row, int& index, BYTE& present, bool mirrorColumns,
                                 bool mirrorRows) const {
  if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return false;
  if (mirrorColumns) column = columns_ - column - 1;
  if (mirrorRows) row = rows_ - row - 1;
  index = GetCell(column, row, present);
  return true;
}

bool CBeadBlock::FillPattern(CPattern& design) const {
  if (columns_ <= 0 || rows_ <= 0) return false;
  const long long dc = design.GetColumnCount(), dr = design.GetRowCount();
  if (static_cast<long long>(design.m_beads.size()) < dc * dr) return false;
  int blockRow = 0;
  bool mirrorRows = false;
  for (long long row = 0; row < dr; ++row) {
    CBead* line = &design.m_beads[static_cast<size_t>((dr - row - 1) * dc)];
    int blockColumn = 0;
    bool mirrorColumns = false;
    for (long long column = 0; column < dc; ++column) {
      int index = -1;
      BYTE present = 0;
      GetCellMirrored(blockColumn, blockRow, index, present, mirrorColumns, mirrorRows);
      line[column].SetColorIndex(index);
      line[column].m_present = present;
      if (++blockColumn == columns_) {
        blockColumn = 0;
        if (mirror_) mirrorColumns = !mirrorColumns;
      }
    }
    if (++blockRow == rows_) {
      blockRow = 0;
      if (mirror_) mirrorRows = !mirrorRows;
    }
  }
  return true;
}

// ---- CBeadBlockFinder ----

template <typename Accept>
void CBeadBlockFinder::Grow(const std::vector<UINT>& frontier, CIndexList& result, bool diagonal, Accept accept) const {
  if (!design_) return;
  std::vector<int> neighbours;
  CIndexArray current(frontier.begin(), frontier.end()), next;
  while (!current.empty()) {
    next.clear();
    for (UINT index : current) {
      if (index > static_cast<UINT>(INT_MAX)) continue;
      design_->GetNeighbours(static_cast<int>(index), diagonal, neighbours);
      for (int n : neighbours) {
        const UINT u = static_cast<UINT>(n);
        if (result.Contains(u) || !design_->IsValidIndex(n)) continue;
        if (!accept(design_->m_beads[static_cast<size_t>(n)])) continue;
        result.Add(u);
        next.push_back(u);
      }
    }
    current.swap(next);
  }
}

void CBeadBlockFinder::GrowSameColor(const std::vector<UINT>& frontier, CIndexList& result, bool diagonal,
                                     int blockColor) const {
  Grow(frontier, result, diagonal, [blockColor](const CBead& bead) {
    return bead.m_present && (blockColor == -1 || bead.m_colorIndex == blockColor);
  });
}

void CBeadBlockFinder::GrowRemoved(const std::vector<UINT>& frontier, CIndexList& result, bool diagonal) const {
  Grow(frontier, result, diagonal, [](const CBead& bead) { return bead.m_present == 0; });
}
