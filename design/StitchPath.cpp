#include "design/StitchPath.h"

#include <algorithm>
#include <cstdlib>

#include "design/LSystem.h"
#include "design/Pattern.h"
#include "design/WeaveFormat.h"
#include "platform/base/waitcursor.h"

namespace {

// A curve string is not grown beyond this many characters: a design so long
// and thin that the curve would need more is covered only in part.
constexpr size_t kMaxCurveString = size_t{96} << 20;

struct CGrid {
  explicit CGrid(CPattern& d)
      : design(d), columns(static_cast<long long>(d.GetColumnCount())), rows(static_cast<long long>(d.GetRowCount())) {}
  bool IsValid() const {
    return columns > 0 && rows > 0 && columns * rows <= static_cast<long long>(design.m_beads.size());
  }
  CBead* At(long long column, long long rowFromBottom) const {
    if (column < 0 || column >= columns || rowFromBottom < 0 || rowFromBottom >= rows) return nullptr;
    return &design.m_beads[static_cast<size_t>(rowFromBottom * columns + column)];
  }

  CPattern& design;
  long long columns;
  long long rows;
};

void MarkBead(CPattern& design, CBead& bead, int pathColor) {
  bead.ClearPathColor();
  if (pathColor == 0) {
    bead.m_present = 0;
  } else {
    bead.SetPathColor();
    bead.m_present = 1;
  }
  design.SetModified(true);
}

void LineCellsOnGrid(const CGrid& grid, long long ax, long long ay, long long bx, long long by, int pathColor) {
  const bool aInside = ax >= 0 && ax < grid.columns && ay >= 0 && ay < grid.rows;
  const bool bInside = bx >= 0 && bx < grid.columns && by >= 0 && by < grid.rows;
  if (!aInside && !bInside) return;
  long long x0 = ax, y0 = ay, y1 = by;
  long long x1 = bx;
  if (bx < ax) {
    x0 = bx;
    y0 = by;
    x1 = ax;
    y1 = ay;
  }
  const float step = static_cast<float>(x1 - x0 + 1) / static_cast<float>(std::llabs(y1 - y0) + 1);
  long long s = x0;
  long long y = y0;
  for (long long k = 1;; ++k) {
    const long long reach = x0 + static_cast<long long>(static_cast<float>(k) * step);
    const long long count = std::max<long long>(1, reach - s);
    if (y >= 0 && y < grid.rows) {
      const long long from = std::max<long long>(s, 0);
      const long long to = std::min<long long>(s + count, grid.columns);
      for (long long x = from; x < to; ++x) MarkBead(grid.design, *grid.At(x, y), pathColor);
    }
    if (y == y1) break;
    s = reach;
    y = y1 > y ? y + 1 : y - 1;
  }
}

// RoundToInt (halves away from zero) without the library call, for the
// millions of segment ends of a path: the fraction left after truncating
// is exact for every value in the int range; NaN and values beyond that
// range go to RoundToInt.
inline int RoundEnd(double value) {
  if (!(value > -2147483648.0 && value < 2147483647.0)) return RoundToInt(value);
  const long long whole = static_cast<long long>(value);
  const double rest = value - static_cast<double>(whole);
  if (rest >= 0.5) return static_cast<int>(whole + 1);
  if (rest <= -0.5) return static_cast<int>(whole - 1);
  return static_cast<int>(whole);
}

// Sums the rounded segment ends for the centre of a drawing.
class CCentreSink : public ILSegmentSink {
 public:
  void OnSegments(const CLSegment* segments, size_t n) override {
    for (size_t i = 0; i < n; ++i) {
      const CLSegment& s = segments[i];
      sumX += static_cast<long long>(RoundEnd(s.x1)) + RoundEnd(s.x2);
      sumY += static_cast<long long>(RoundEnd(s.y1)) + RoundEnd(s.y2);
    }
    count += static_cast<long long>(n);
  }
  void Reset() { sumX = sumY = count = 0; }
  long long sumX = 0;
  long long sumY = 0;
  long long count = 0;
};

// Grows the curve of preset `presetIndex` until its rounded bounding box is
// at least `width` x `height`; false when the engine does not validate.
bool GrowCurve(CLSystem& engine, int presetIndex, double step, long long width, long long height, int& minX,
               int& minY, CCentreSink* sink = nullptr) {
  CLSystemPreset preset;
  preset.Load(presetIndex);
  preset.hslUpdating.Empty();
  engine.SetFromPreset(preset);
  CString current, error;
  if (!engine.Validate(current, error)) return false;
  for (;;) {
    engine.Rewrite();
    if (sink) sink->Reset();
    engine.DrawTo(CLPoint{0.0, 0.0}, step, 0.0, sink);
    minX = RoundToInt(engine.GetMin().x);
    minY = RoundToInt(engine.GetMin().y);
    const long long boxWidth = static_cast<long long>(RoundToInt(engine.GetMax().x)) - minX;
    const long long boxHeight = static_cast<long long>(RoundToInt(engine.GetMax().y)) - minY;
    if (boxHeight >= height && boxWidth >= width) return true;
    // The next generation would be too long: the curve covers what it can.
    if (static_cast<unsigned long long>(engine.GetCurrentLength()) > kMaxCurveString / 8) return true;
  }
}

// Marks each segment's rounded ends moved by -offset.
class CMarkSink : public ILSegmentSink {
 public:
  CMarkSink(const CGrid& grid, int offsetX, int offsetY, int pathColor)
      : grid_(grid), offsetX_(offsetX), offsetY_(offsetY), pathColor_(pathColor) {}
  void OnSegments(const CLSegment* segments, size_t n) override {
    for (size_t i = 0; i < n; ++i) {
      const CLSegment& s = segments[i];
      LineCellsOnGrid(grid_, static_cast<long long>(RoundEnd(s.x1)) - offsetX_,
                      static_cast<long long>(RoundEnd(s.y1)) - offsetY_,
                      static_cast<long long>(RoundEnd(s.x2)) - offsetX_,
                      static_cast<long long>(RoundEnd(s.y2)) - offsetY_, pathColor_);
    }
  }

 private:
  const CGrid& grid_;
  int offsetX_;
  int offsetY_;
  int pathColor_;
};

}  // namespace

void LineCells(CPattern& design, POINT from, POINT to, int pathColor) {
  const CGrid grid(design);
  if (!grid.IsValid()) return;
  LineCellsOnGrid(grid, from.x, from.y, to.x, to.y, pathColor);
}

void ApplyRightAngleMask(CPattern& design, int kind, int pathColor) {
  const CGrid grid(design);
  if (!grid.IsValid()) return;
  const int m = kind == 1 ? 2 : (kind == 2 ? 3 : 4);
  for (long long r = 0; r < grid.rows; ++r) {
    for (long long c = 0; c < grid.columns; ++c) {
      bool hole;
      if (kind == 1)
        hole = (r + c) % 2 == 0;
      else
        hole = (r % m == 0 && c % m == 0) || (r % m != 0 && c % m != 0);
      CBead& bead = *grid.At(c, grid.rows - 1 - r);
      bead.ClearPathColor();
      if (pathColor == 0) {
        bead.m_present = hole ? 0 : 1;
      } else if (hole) {
        bead.SetPathColor();
        bead.m_present = 1;
      }
    }
  }
  design.SetModified(true);
}

void ApplyHilbertPath(CPattern& design, int stepLength, int pathColor) {
  const CGrid grid(design);
  if (!grid.IsValid()) return;
  CLSystem engine;
  int minX = 0, minY = 0;
  if (!GrowCurve(engine, CLSystemPreset::kHilbert, stepLength, grid.columns, grid.rows, minX, minY)) return;
  CMarkSink sink(grid, minX, minY, pathColor);
  engine.DrawTo(CLPoint{0.0, 0.0}, stepLength, 0.0, &sink);
  design.FlipPresenceHorizontal();
}

void ApplyGosperPath(CPattern& design, int stepLength, int pathColor) {
  const CGrid grid(design);
  if (!grid.IsValid()) return;
  CWaitCursor wait;
  CLSystem engine;
  int minX = 0, minY = 0;
  // The centre is summed while the curve grows: the last generation's
  // drawing is the one kept.
  CCentreSink centre;
  if (!GrowCurve(engine, CLSystemPreset::kGosper, stepLength, 2 * grid.columns, 2 * grid.rows, minX, minY, &centre))
    return;
  long long cx = 0, cy = 0;
  if (centre.count > 0) {
    cx = centre.sumX / centre.count / 2;
    cy = centre.sumY / centre.count / 2;
  }
  const long long offsetX = cx - grid.columns / 2;
  const long long offsetY = cy - grid.rows / 2;
  CMarkSink sink(grid, static_cast<int>(offsetX), static_cast<int>(offsetY), pathColor);
  engine.DrawTo(CLPoint{0.0, 0.0}, stepLength, 0.0, &sink);
}

void ApplyStitchPath(CPattern& design, int kind, int pathColor) {
  if (kind >= 1 && kind <= 3)
    ApplyRightAngleMask(design, kind, pathColor);
  else if (kind >= 4 && kind <= 6)
    ApplyHilbertPath(design, kind - 2, pathColor);
  else if (kind >= 7 && kind <= 9)
    ApplyGosperPath(design, kind - 4, pathColor);
}
