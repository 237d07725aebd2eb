// Shapes with GDI's pixel rules: no anti-aliasing, rectangles and ellipses
// leave out their right and bottom edges, a line leaves out its last pixel,
// and pens and brushes go through the binary raster operation.
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Row extents [x0, x1) of the ellipse inscribed in box: a pixel belongs to it
// when its centre lies inside; every row keeps at least its middle pixel(s)
// so that the shape reaches all four sides of the box.
void EllipseRows(const QRect& box, std::vector<std::pair<int, int>>& rows) {
  rows.clear();
  const int w = box.width(), h = box.height();
  if (w <= 0 || h <= 0) return;
  const double a = w / 2.0, b = h / 2.0;
  const double cx = box.left() + a, cy = box.top() + b;
  rows.resize(static_cast<size_t>(h));
  for (int i = 0; i < h; ++i) {
    // Rows that hold the centre line take the full width.
    const double y0 = box.top() + i, y1 = y0 + 1;
    const double dy = (y0 <= cy && cy <= y1) ? 0.0 : (box.top() + i + 0.5 - cy) / b;
    const double t = 1.0 - dy * dy;
    const double half = t > 0 ? a * std::sqrt(t) : 0.0;
    int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
    int x1 = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
    if (x1 <= x0) {
      // keep the middle pixel (odd widths) or the two middle pixels
      x0 = box.left() + (w - 1) / 2;
      x1 = box.left() + w / 2 + 1;
    }
    x0 = std::max(x0, box.left());
    x1 = std::min(x1, box.left() + w);
    rows[static_cast<size_t>(i)] = {x0, x1};
  }
}

}  // namespace

void EllipseSpans(const QRect& box, SpanList& out) {
  out.clear();
  std::vector<std::pair<int, int>> rows;
  EllipseRows(box, rows);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].second > rows[i].first)
      out.emplace_back(rows[i].first, box.top() + static_cast<int>(i), rows[i].second - rows[i].first, 1);
}

QRegion SpansToRegion(const SpanList& spans) {
  QRegion r;
  if (spans.empty()) return r;
  // Sort into rows, then join runs of rows whose spans are the same, so the
  // region has the fewest rectangles (a rectangle stays one rectangle).
  SpanList sorted(spans);
  std::sort(sorted.begin(), sorted.end(), [](const QRect& a, const QRect& b) {
    return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
  });
  std::vector<std::pair<int, SpanList>> rows;
  for (const QRect& s : sorted) {
    if (s.width() <= 0) continue;
    if (rows.empty() || rows.back().first != s.top()) rows.emplace_back(s.top(), SpanList());
    SpanList& row = rows.back().second;
    if (!row.empty() && row.back().left() + row.back().width() >= s.left()) {
      const int right = std::max(row.back().left() + row.back().width(), s.left() + s.width());
      row.back().setWidth(right - row.back().left());
    } else {
      row.emplace_back(s.left(), s.top(), s.width(), 1);
    }
  }
  SpanList out;
  size_t i = 0;
  while (i < rows.size()) {
    size_t j = i + 1;
    auto same = [&](const SpanList& a, const SpanList& b) {
      if (a.size() != b.size()) return false;
      for (size_t k = 0; k < a.size(); ++k)
        if (a[k].left() != b[k].left() || a[k].width() != b[k].width()) return false;
      return true;
    };
    while (j < rows.size() && rows[j].first == rows[j - 1].first + 1 && same(rows[j].second, rows[i].second)) ++j;
    const int height = rows[j - 1].first - rows[i].first + 1;
    for (const QRect& s : rows[i].second) out.emplace_back(s.left(), rows[i].first, s.width(), height);
    i = j;
  }
  r.setRects(out.data(), static_cast<int>(out.size()));
  return r;
}

void RoundRectSpans(const QRect& box, int ew, int eh, SpanList& out) {
  out.clear();
  const int w = box.width(), h = box.height();
  if (w <= 0 || h <= 0) return;
  ew = std::min(std::abs(ew), w);
  eh = std::min(std::abs(eh), h);
  if (ew < 2 || eh < 2) {
    for (int y = 0; y < h; ++y) out.emplace_back(box.left(), box.top() + y, w, 1);
    return;
  }
  std::vector<std::pair<int, int>> corner;
  EllipseRows(QRect(0, 0, ew, eh), corner);
  const int topRows = eh / 2, bottomRows = eh - eh / 2;
  for (int y = 0; y < h; ++y) {
    int x0 = box.left(), x1 = box.left() + w;
    int ci = -1;
    if (y < topRows) ci = y;
    else if (y >= h - bottomRows && h - y <= bottomRows) ci = eh - (h - y);
    if (ci >= 0 && ci < eh) {
      x0 = box.left() + corner[static_cast<size_t>(ci)].first;
      x1 = box.left() + w - ew + corner[static_cast<size_t>(ci)].second;
    }
    if (x1 > x0) out.emplace_back(x0, box.top() + y, x1 - x0, 1);
  }
}

void PolygonSpans(const std::vector<QPointF>& pts, const std::vector<int>& counts, int fillMode, SpanList& out,
                  double centre) {
  out.clear();
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  double ymin = 1e18, ymax = -1e18;
  size_t base = 0;
  for (int n : counts) {
    for (int i = 0; i < n; ++i) {
      const QPointF a = pts[base + static_cast<size_t>(i)], b = pts[base + static_cast<size_t>((i + 1) % n)];
      if (a.y() == b.y()) continue;
      if (a.y() < b.y()) edges.push_back({a.x(), a.y(), b.x(), b.y(), 1});
      else edges.push_back({b.x(), b.y(), a.x(), a.y(), -1});
      ymin = std::min({ymin, a.y(), b.y()});
      ymax = std::max({ymax, a.y(), b.y()});
    }
    base += static_cast<size_t>(n);
  }
  if (edges.empty()) return;
  // Rows go down in order, so each row looks only at the edges it crosses:
  // edges join the active list at their top row and leave below their end.
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.y0 < r.y0; });
  size_t next = 0;
  std::vector<const Edge*> active;
  std::vector<std::pair<double, int>> xs;
  for (int y = static_cast<int>(std::floor(ymin)); y <= static_cast<int>(std::ceil(ymax)); ++y) {
    const double yc = y + centre;
    while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [yc](const Edge* e) { return yc >= e->y1; }),
                 active.end());
    xs.clear();
    for (const Edge* e : active) xs.emplace_back(e->x0 + (yc - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir);
    if (xs.size() < 2) continue;
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      wind += xs[i].second;
      const bool inside = fillMode == WINDING ? wind != 0 : (i % 2) == 0;
      if (!inside) continue;
      const int a = static_cast<int>(std::ceil(xs[i].first - centre));
      const int b = static_cast<int>(std::ceil(xs[i + 1].first - centre));
      if (b > a) out.emplace_back(a, y, b - a, 1);
    }
  }
}

namespace {

// The pen of one drawing call, resolved to device pixels.
struct PenDraw {
  bool none = true;
  uint32_t color = 0, bk = 0;
  bool opaqueGaps = false;
  int width = 1;
  int rop2 = R2_COPYPEN;
  std::vector<int> dashes;  // on, off, on, off ... in pixels
  int dashIndex = 0, dashLeft = 0;

  void Init(const DcAttrs& a) {
    const Pen* p = a.pen.get();
    none = !p || p->Style() == PS_NULL;
    if (none) return;
    color = ToPixel(ResolveColor(a, p->dcPen ? a.dcPenColor : p->color));
    bk = ToPixel(ResolveColor(a, a.bk));
    opaqueGaps = a.bkMode == OPAQUE;
    rop2 = a.rop2;
    width = std::max(1, static_cast<int>(std::lround(p->width * std::fabs(ScaleX(a)))));
    dashes.clear();
    if (width == 1) {
      switch (p->Style()) {
        case PS_DASH: dashes = {18, 6}; break;
        case PS_DOT: dashes = {3, 3}; break;
        case PS_DASHDOT: dashes = {9, 6, 3, 6}; break;
        case PS_DASHDOTDOT: dashes = {9, 3, 3, 3, 3, 3}; break;
        default: break;
      }
    }
    dashIndex = 0;
    dashLeft = dashes.empty() ? 0 : dashes[0];
  }
  // Whether the next pixel of a styled line is "on"; advances the style.
  bool Step() {
    if (dashes.empty()) return true;
    const bool on = (dashIndex % 2) == 0;
    if (--dashLeft <= 0) {
      dashIndex = (dashIndex + 1) % static_cast<int>(dashes.size());
      dashLeft = dashes[static_cast<size_t>(dashIndex)];
    }
    return on;
  }
};

void Plot(Target& t, int x, int y, uint32_t c, int rop2) {
  if (!t.Visible(x, y)) return;
  uint32_t* p = t.Row(y) + x;
  *p = rop2 == R2_COPYPEN ? c : Rop2(rop2, c, *p);
  t.Touch(y, x, x + 1);
}

// Applies colour c with rop2 over a set of pixels given as spans.
void ApplySpans(Target& t, const SpanList& spans, uint32_t c, int rop2) {
  for (const QRect& s : spans)
    for (int yy = s.top(); yy < s.top() + s.height(); ++yy)
      t.ForSpan(yy, s.left(), s.left() + s.width(), [&](int y, int a, int b) {
        uint32_t* row = t.Row(y);
        if (rop2 == R2_COPYPEN) std::fill(row + a, row + b, c);
        else
          for (int x = a; x < b; ++x) row[x] = Rop2(rop2, c, row[x]);
      });
}

// Fills rectangles (of any height) with a brush.
void FillRects(Target& t, BrushFill& fill, const SpanList& rects) {
  for (const QRect& s : rects)
    for (int y = s.top(); y < s.top() + s.height(); ++y) fill.Span(t, y, s.left(), s.left() + s.width());
}

// Bresenham from p to q; the last pixel only when `last`.
template <class F>
void LinePixels(QPoint p, QPoint q, bool last, F&& f) {
  int x0 = p.x(), y0 = p.y();
  const int x1 = q.x(), y1 = q.y();
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (true) {
    if (x0 == x1 && y0 == y1) {
      if (last) f(x0, y0);
      break;
    }
    f(x0, y0);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

// The pixels a wide pen's stamps cover, row by row over the visible
// rectangle. Stamps along a line overlap their neighbours, so a stamp's row
// usually joins the row's last run: a long wide stroke keeps a few runs a
// row, not one a stamp.
class StampRows {
 public:
  StampRows(int width, const QRect& visible) : m_width(width), m_visible(visible) {
    EllipseSpans(QRect(0, 0, width, width), m_disk);
    if (!visible.isEmpty()) m_rows.resize(static_cast<size_t>(visible.height()));
  }
  // A stamp centred on (cx, cy); one wholly outside the visible rectangle
  // adds nothing.
  void Stamp(int cx, int cy) {
    const int l = cx - m_width / 2, t = cy - m_width / 2;
    if (m_rows.empty() || !QRect(l, t, m_width, m_width).intersects(m_visible)) return;
    for (const QRect& r : m_disk) {
      const int y = r.top() + t;
      if (y < m_visible.top() || y > m_visible.bottom()) continue;
      const int x0 = r.left() + l, x1 = x0 + r.width();
      auto& row = m_rows[static_cast<size_t>(y - m_visible.top())];
      if (!row.empty() && x0 <= row.back().second && x1 >= row.back().first) {
        row.back().first = std::min(row.back().first, x0);
        row.back().second = std::max(row.back().second, x1);
      } else {
        row.emplace_back(x0, x1);
      }
    }
  }
  SpanList Spans() const {
    SpanList out;
    for (size_t i = 0; i < m_rows.size(); ++i)
      for (const auto& [x0, x1] : m_rows[i]) out.emplace_back(x0, m_visible.top() + static_cast<int>(i), x1 - x0, 1);
    return out;
  }

 private:
  int m_width;
  QRect m_visible;
  SpanList m_disk;
  std::vector<std::vector<std::pair<int, int>>> m_rows;
};

// Draws a polyline through device points with the pen.
void StrokePath(Target& t, PenDraw& pen, const std::vector<QPoint>& pts, bool closed) {
  if (pen.none || pts.empty()) return;
  const size_t n = pts.size();
  const size_t segs = closed ? n : n - 1;
  if (pen.width <= 1) {
    for (size_t i = 0; i < segs; ++i) {
      LinePixels(pts[i], pts[(i + 1) % n], false, [&](int x, int y) {
        if (pen.Step()) Plot(t, x, y, pen.color, pen.rop2);
        else if (pen.opaqueGaps) Plot(t, x, y, pen.bk, pen.rop2);
      });
    }
    return;
  }
  // Wide pens: round stamps along the path, each pixel painted once.
  StampRows stamps(pen.width, t.rectOnly ? t.clipRect : t.clip.boundingRect());
  for (size_t i = 0; i < segs; ++i)
    LinePixels(pts[i], pts[(i + 1) % n], true, [&](int x, int y) { stamps.Stamp(x, y); });
  if (n == 1) stamps.Stamp(pts[0].x(), pts[0].y());
  const QRegion r = SpansToRegion(stamps.Spans());
  SpanList merged(r.begin(), r.end());
  ApplySpans(t, merged, pen.color, pen.rop2);
}

// The one-pixel boundary ring of a shape given by one span per row.
void BoundaryRing(const SpanList& rows, SpanList& ring, SpanList& inner) {
  ring.clear();
  inner.clear();
  for (size_t i = 0; i < rows.size(); ++i) {
    const QRect& r = rows[i];
    const int x0 = r.left(), x1 = r.left() + r.width();
    const bool hasUp = i > 0 && rows[i - 1].top() == r.top() - 1;
    const bool hasDown = i + 1 < rows.size() && rows[i + 1].top() == r.top() + 1;
    int i0 = x0 + 1, i1 = x1 - 1;  // interior candidates
    if (!hasUp || !hasDown) i1 = i0;  // the first and last rows are all boundary
    else {
      i0 = std::max({i0, rows[i - 1].left(), rows[i + 1].left()});
      i1 = std::min({i1, rows[i - 1].left() + rows[i - 1].width(), rows[i + 1].left() + rows[i + 1].width()});
    }
    if (i1 > i0) {
      if (i0 > x0) ring.emplace_back(x0, r.top(), i0 - x0, 1);
      inner.emplace_back(i0, r.top(), i1 - i0, 1);
      if (x1 > i1) ring.emplace_back(i1, r.top(), x1 - i1, 1);
    } else {
      ring.push_back(r);
    }
  }
}

// Fill then outline of a shape given as row spans of its box (pen inside).
void FillAndOutline(Target& t, const DcAttrs& a, PenDraw& pen, const SpanList& shape,
                    const std::function<void(const QRect&, SpanList&)>& shapeOf, const QRect& box) {
  BrushFill fill;
  fill.Init(a, a.brush.get(), a.rop2);
  if (pen.none) {
    // Without a pen the shape is one pixel smaller at the right and bottom.
    SpanList smaller;
    shapeOf(QRect(box.left(), box.top(), box.width() - 1, box.height() - 1), smaller);
    FillRects(t, fill, smaller);
    return;
  }
  SpanList ring, inner;
  if (pen.width <= 1) {
    BoundaryRing(shape, ring, inner);
  } else {
    SpanList in;
    shapeOf(box.adjusted(pen.width, pen.width, -pen.width, -pen.width), in);
    const QRegion outer = SpansToRegion(shape), innerR = SpansToRegion(in);
    const QRegion ringR = outer.subtracted(innerR);
    ring.assign(ringR.begin(), ringR.end());
    inner.assign(innerR.begin(), innerR.end());
  }
  FillRects(t, fill, inner);
  ApplySpans(t, ring, pen.color, pen.rop2);
}

QRegion RegionToDevice(const DcAttrs& a, const QRegion& r) {
  if (a.mapMode == MM_TEXT) return r.translated(a.vOrg.x - a.wOrg.x, a.vOrg.y - a.wOrg.y);
  QRegion out;
  for (const QRect& q : r) out |= ToDeviceRect(a, q.left(), q.top(), q.right() + 1, q.bottom() + 1);
  return out;
}

HBRUSH BrushArg(HBRUSH brush) {
  // FillRect accepts a system colour index + 1 in place of a brush.
  const auto v = reinterpret_cast<std::uintptr_t>(brush);
  if (v >= 1 && v <= 31) return GetSysColorBrush(static_cast<int>(v - 1));
  return brush;
}

// Fills a device rectangle with a raster operation of pattern and destination.
void PatRect(Target& t, const DcAttrs& a, const Brush* brush, const QRect& r, DWORD rop) {
  BrushFill pat;
  pat.Init(a, brush, R2_COPYPEN);
  for (int y = r.top(); y <= r.bottom(); ++y)
    t.ForSpan(y, r.left(), r.right() + 1, [&](int yy, int x0, int x1) {
      uint32_t* row = t.Row(yy);
      if (rop == PATCOPY && pat.isSolid) {
        std::fill(row + x0, row + x1, pat.solid);
        return;
      }
      for (int x = x0; x < x1; ++x) {
        const uint32_t p = pat.none ? 0xFF000000u : pat.At(x, yy);
        row[x] = Rop3(rop, p, 0, row[x]);
      }
    });
}

bool RopUsesSource(DWORD rop) {
  const unsigned c = (rop >> 16) & 0xFF;
  return ((c >> 2) & 0x33) != (c & 0x33);
}

}  // namespace

}  // namespace qmgdi

using namespace qmgdi;

#define QM_TARGET_OR(fail)               \
  auto dc = FindDc(hdc);                 \
  if (!dc) {                             \
    SetLastError(ERROR_INVALID_HANDLE);  \
    return fail;                         \
  }                                      \
  Target t;                              \
  if (!BeginTarget(*dc, t)) return fail; \
  const DcAttrs& a = dc->a;              \
  (void)a;

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (old) *old = dc->a.cur;
  dc->a.cur = POINT{x, y};
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pos) {
  auto dc = FindDc(hdc);
  if (!dc || !pos) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *pos = dc->a.cur;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  QM_TARGET_OR(FALSE);
  PenDraw pen;
  pen.Init(a);
  StrokePath(t, pen, {ToDevice(a, a.cur.x, a.cur.y), ToDevice(a, x, y)}, false);
  dc->a.cur = POINT{x, y};
  EndTarget(t);
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  if (!points || count < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  PenDraw pen;
  pen.Init(a);
  std::vector<QPoint> pts;
  for (int i = 0; i < count; ++i) pts.push_back(ToDevice(a, points[i].x, points[i].y));
  StrokePath(t, pen, pts, false);
  EndTarget(t);
  return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count) {
  if (!points || count == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  PenDraw pen;
  pen.Init(a);
  std::vector<QPoint> pts{ToDevice(a, a.cur.x, a.cur.y)};
  for (DWORD i = 0; i < count; ++i) pts.push_back(ToDevice(a, points[i].x, points[i].y));
  StrokePath(t, pen, pts, false);
  dc->a.cur = points[count - 1];
  EndTarget(t);
  return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons) {
  if (!points || !counts || polygons < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  std::vector<QPointF> fpts;
  std::vector<int> cnt;
  size_t total = 0;
  for (int i = 0; i < polygons; ++i) {
    if (counts[i] < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    cnt.push_back(counts[i]);
    total += static_cast<size_t>(counts[i]);
  }
  std::vector<QPoint> dev;
  for (size_t i = 0; i < total; ++i) {
    dev.push_back(ToDevice(a, points[i].x, points[i].y));
    fpts.emplace_back(dev.back());
  }
  BrushFill fill;
  fill.Init(a, a.brush.get(), a.rop2);
  SpanList spans;
  PolygonSpans(fpts, cnt, a.polyFill, spans);
  FillRects(t, fill, spans);
  PenDraw pen;
  pen.Init(a);
  size_t base = 0;
  for (int n : cnt) {
    std::vector<QPoint> ring(dev.begin() + static_cast<long>(base), dev.begin() + static_cast<long>(base + static_cast<size_t>(n)));
    StrokePath(t, pen, ring, true);
    base += static_cast<size_t>(n);
  }
  EndTarget(t);
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  const INT n = count;
  return PolyPolygon(hdc, points, &n, 1);
}

namespace {

void RectShape(const QRect& box, SpanList& out) {
  out.clear();
  for (int y = 0; y < box.height(); ++y) out.emplace_back(box.left(), box.top() + y, box.width(), 1);
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  QM_TARGET_OR(FALSE);
  const QRect box = ToDeviceRect(a, left, top, right, bottom);
  PenDraw pen;
  pen.Init(a);
  SpanList shape;
  QRect outer = box;
  if (!pen.none && pen.width > 1) outer = box.adjusted(-(pen.width / 2), -(pen.width / 2), (pen.width - 1) / 2, (pen.width - 1) / 2);
  RectShape(outer, shape);
  FillAndOutline(t, a, pen, shape, RectShape, outer);
  EndTarget(t);
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ew, int eh) {
  QM_TARGET_OR(FALSE);
  const QRect box = ToDeviceRect(a, left, top, right, bottom);
  const int dew = static_cast<int>(std::lround(ew * std::fabs(ScaleX(a))));
  const int deh = static_cast<int>(std::lround(eh * std::fabs(ScaleY(a))));
  PenDraw pen;
  pen.Init(a);
  auto shapeOf = [&](const QRect& b, SpanList& out) { RoundRectSpans(b, dew, deh, out); };
  SpanList shape;
  shapeOf(box, shape);
  FillAndOutline(t, a, pen, shape, shapeOf, box);
  EndTarget(t);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  QM_TARGET_OR(FALSE);
  const QRect box = ToDeviceRect(a, left, top, right, bottom);
  PenDraw pen;
  pen.Init(a);
  SpanList shape;
  EllipseSpans(box, shape);
  FillAndOutline(t, a, pen, shape, EllipseSpans, box);
  EndTarget(t);
  return TRUE;
}

namespace {

// Angle of a device point around the centre, counter-clockwise on screen, in [0, 2pi).
double ScreenAngle(double cx, double cy, double x, double y) {
  double th = std::atan2(-(y - cy), x - cx);
  if (th < 0) th += 2 * kPi;
  return th;
}

bool InSweep(double th, double start, double end, bool ccw) {
  if (!ccw) std::swap(start, end);
  double span = end - start;
  if (span <= 0) span += 2 * kPi;
  double d = th - start;
  if (d < 0) d += 2 * kPi;
  return d <= span + 1e-9;
}

enum class ArcKind { Arc, Pie, Chord };

BOOL ArcShape(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye, ArcKind kind) {
  QM_TARGET_OR(FALSE);
  const QRect box = ToDeviceRect(a, left, top, right, bottom);
  const QPoint ps = ToDevice(a, xs, ys), pe = ToDevice(a, xe, ye);
  const double cx = box.left() + box.width() / 2.0, cy = box.top() + box.height() / 2.0;
  const double th0 = ScreenAngle(cx, cy, ps.x(), ps.y()), th1 = ScreenAngle(cx, cy, pe.x(), pe.y());
  const bool full = ps == pe || th0 == th1;
  const bool ccw = a.arcDir == AD_COUNTERCLOCKWISE;
  PenDraw pen;
  pen.Init(a);
  SpanList shape, ring, inner;
  EllipseSpans(box, shape);
  BoundaryRing(shape, ring, inner);
  const double rx = box.width() / 2.0, ry = box.height() / 2.0;
  auto onEllipse = [&](double th) {
    return QPoint(static_cast<int>(std::floor(cx + rx * std::cos(th) - 0.5 + 0.5)),
                  static_cast<int>(std::floor(cy - ry * std::sin(th) - 0.5 + 0.5)));
  };
  if (kind != ArcKind::Arc) {
    // Fill: the sector (pie) or segment (chord) as a polygon along the ellipse.
    std::vector<QPointF> poly;
    double sweep = ccw ? th1 - th0 : th0 - th1;
    if (sweep <= 0 || full) sweep += 2 * kPi;
    const int steps = std::max(8, static_cast<int>(std::max(rx, ry) * 2));
    if (kind == ArcKind::Pie && !full) poly.emplace_back(cx, cy);
    for (int i = 0; i <= steps; ++i) {
      const double th = th0 + (ccw ? 1 : -1) * sweep * i / steps;
      poly.emplace_back(cx + rx * std::cos(th), cy - ry * std::sin(th));
    }
    SpanList fillSpans;
    PolygonSpans(poly, {static_cast<int>(poly.size())}, ALTERNATE, fillSpans, 0.5);
    BrushFill fill;
    fill.Init(a, a.brush.get(), a.rop2);
    const QRegion inside = SpansToRegion(fillSpans) & SpansToRegion(inner);
    FillRects(t, fill, SpanList(inside.begin(), inside.end()));
  }
  if (!pen.none) {
    SpanList arcPixels;
    for (const QRect& s : ring)
      for (int x = s.left(); x < s.left() + s.width(); ++x)
        if (full || InSweep(ScreenAngle(cx, cy, x + 0.5, s.top() + 0.5), th0, th1, ccw))
          arcPixels.emplace_back(x, s.top(), 1, 1);
    ApplySpans(t, arcPixels, pen.color, pen.rop2);
    if (!full && kind != ArcKind::Arc) {
      const QPoint e0 = onEllipse(th0), e1 = onEllipse(th1);
      const QPoint c(static_cast<int>(cx), static_cast<int>(cy));
      if (kind == ArcKind::Pie) StrokePath(t, pen, {e1, c, e0}, false);
      else StrokePath(t, pen, {e1, e0}, false);
    }
  }
  EndTarget(t);
  return TRUE;
}

}  // namespace

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Arc);
}
BOOL Pie(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Pie);
}
BOOL Chord(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Chord);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  QM_TARGET_OR(CLR_INVALID);
  const QPoint p = ToDevice(a, x, y);
  if (!t.Visible(p.x(), p.y())) return CLR_INVALID;
  uint32_t c = ToPixel(ResolveColor(a, color));
  if (t.mono) c = ToMono(c);
  t.Row(p.y())[p.x()] = c;
  t.Touch(p.y(), p.x(), p.x() + 1);
  EndTarget(t);
  return ToColorref(c);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  QM_TARGET_OR(CLR_INVALID);
  const QPoint p = ToDevice(a, x, y);
  if (!t.Visible(p.x(), p.y())) return CLR_INVALID;
  return ToColorref(t.Row(p.y())[p.x()]);
}

int FillRect(HDC hdc, LPCRECT rect, HBRUSH brush) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto b = FindBrush(BrushArg(brush));
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  QM_TARGET_OR(0);
  if (rect->right <= rect->left || rect->bottom <= rect->top) return 1;
  const QRect r = ToDeviceRect(a, rect->left, rect->top, rect->right, rect->bottom);
  if (!r.isEmpty()) PatRect(t, a, b.get(), r, PATCOPY);
  EndTarget(t);
  return 1;
}

int FrameRect(HDC hdc, LPCRECT rect, HBRUSH brush) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto b = FindBrush(BrushArg(brush));
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  QM_TARGET_OR(0);
  if (rect->right <= rect->left || rect->bottom <= rect->top) return 1;
  const QRect r = ToDeviceRect(a, rect->left, rect->top, rect->right, rect->bottom);
  PatRect(t, a, b.get(), QRect(r.left(), r.top(), r.width(), 1), PATCOPY);
  if (r.height() > 1) PatRect(t, a, b.get(), QRect(r.left(), r.bottom(), r.width(), 1), PATCOPY);
  if (r.height() > 2) {
    PatRect(t, a, b.get(), QRect(r.left(), r.top() + 1, 1, r.height() - 2), PATCOPY);
    if (r.width() > 1) PatRect(t, a, b.get(), QRect(r.right(), r.top() + 1, 1, r.height() - 2), PATCOPY);
  }
  EndTarget(t);
  return 1;
}

BOOL InvertRect(HDC hdc, LPCRECT rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  const QRect r = ToDeviceRect(a, rect->left, rect->top, rect->right, rect->bottom);
  PatRect(t, a, nullptr, r, DSTINVERT);
  EndTarget(t);
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, LPCRECT rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  const QRect r = ToDeviceRect(a, rect->left, rect->top, rect->right, rect->bottom);
  if (r.isEmpty()) return TRUE;
  // Every other pixel of the one-pixel frame is inverted, so drawing the
  // same focus rectangle twice removes it.
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) Plot(t, x, y, 0xFFFFFFFFu, R2_XORPEN);
  };
  for (int x = r.left(); x <= r.right(); ++x) {
    dot(x, r.top());
    if (r.height() > 1) dot(x, r.bottom());
  }
  for (int y = r.top() + 1; y < r.bottom(); ++y) {
    dot(r.left(), y);
    if (r.width() > 1) dot(r.right(), y);
  }
  EndTarget(t);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  if (RopUsesSource(rop)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  const QRect r = ToDeviceRect(a, x, y, x + width, y + height);
  PatRect(t, a, a.brush.get(), r, rop);
  EndTarget(t);
  return TRUE;
}

// ---- regions on a device context ---------------------------------------------------

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  auto g = FindRegion(rgn);
  auto b = FindBrush(BrushArg(brush));
  if (!g || !b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  for (const QRect& r : RegionToDevice(a, g->rgn)) PatRect(t, a, b.get(), r, PATCOPY);
  EndTarget(t);
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  auto g = FindRegion(rgn);
  if (!g) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  BrushFill fill;
  fill.Init(a, a.brush.get(), a.rop2);
  for (const QRect& r : RegionToDevice(a, g->rgn))
    for (int y = r.top(); y <= r.bottom(); ++y) fill.Span(t, y, r.left(), r.right() + 1);
  EndTarget(t);
  return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN rgn) {
  auto g = FindRegion(rgn);
  if (!g) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  for (const QRect& r : RegionToDevice(a, g->rgn)) PatRect(t, a, nullptr, r, DSTINVERT);
  EndTarget(t);
  return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
  auto g = FindRegion(rgn);
  auto b = FindBrush(BrushArg(brush));
  if (!g || !b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  QM_TARGET_OR(FALSE);
  const QRegion r = RegionToDevice(a, g->rgn);
  const int w = std::max(1, width), h = std::max(1, height);
  QRegion eroded = r & r.translated(w, 0) & r.translated(-w, 0) & r.translated(0, h) & r.translated(0, -h);
  for (const QRect& q : r.subtracted(eroded)) PatRect(t, a, b.get(), q, PATCOPY);
  EndTarget(t);
  return TRUE;
}

// ---- edges and frame controls ---------------------------------------------------------

namespace {

void HLine(HDC hdc, int x0, int x1, int y, COLORREF c) {
  if (x1 <= x0) return;
  RECT r{x0, y, x1, y + 1};
  HBRUSH b = CreateSolidBrush(c);
  FillRect(hdc, &r, b);
  DeleteObject(b);
}
void VLine(HDC hdc, int x, int y0, int y1, COLORREF c) {
  if (y1 <= y0) return;
  RECT r{x, y0, x + 1, y1};
  HBRUSH b = CreateSolidBrush(c);
  FillRect(hdc, &r, b);
  DeleteObject(b);
}

// One ring of an edge: top-left colour then bottom-right colour.
void EdgeRing(HDC hdc, const RECT& r, UINT flags, COLORREF tl, COLORREF br) {
  if (flags & BF_TOP) HLine(hdc, r.left, r.right, r.top, tl);
  if (flags & BF_LEFT) VLine(hdc, r.left, r.top, r.bottom, tl);
  if (flags & BF_BOTTOM) HLine(hdc, r.left, r.right, r.bottom - 1, br);
  if (flags & BF_RIGHT) VLine(hdc, r.right - 1, r.top, r.bottom, br);
}

}  // namespace

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
  if (!rect || !FindDc(hdc)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r = *rect;
  const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  if (flags & (BF_FLAT | BF_MONO)) {
    const COLORREF c = (flags & BF_MONO) ? GetSysColor(COLOR_WINDOWFRAME) : GetSysColor(COLOR_BTNSHADOW);
    if (outer) {
      EdgeRing(hdc, r, flags, c, c);
      if (flags & BF_LEFT) ++r.left;
      if (flags & BF_TOP) ++r.top;
      if (flags & BF_RIGHT) --r.right;
      if (flags & BF_BOTTOM) --r.bottom;
    }
    if (inner) {
      const COLORREF ic = (flags & BF_MONO) ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
      EdgeRing(hdc, r, flags, ic, ic);
      if (flags & BF_LEFT) ++r.left;
      if (flags & BF_TOP) ++r.top;
      if (flags & BF_RIGHT) --r.right;
      if (flags & BF_BOTTOM) --r.bottom;
    }
  } else {
    auto ring = [&](UINT part) {
      COLORREF tl = 0, br = 0;
      switch (part) {
        case BDR_RAISEDOUTER: tl = GetSysColor(COLOR_3DLIGHT); br = GetSysColor(COLOR_3DDKSHADOW); break;
        case BDR_SUNKENOUTER: tl = GetSysColor(COLOR_3DSHADOW); br = GetSysColor(COLOR_3DHILIGHT); break;
        case BDR_RAISEDINNER: tl = GetSysColor(COLOR_3DHILIGHT); br = GetSysColor(COLOR_3DSHADOW); break;
        case BDR_SUNKENINNER: tl = GetSysColor(COLOR_3DDKSHADOW); br = GetSysColor(COLOR_3DLIGHT); break;
        default: return;
      }
      if (flags & BF_SOFT) {
        if (part == BDR_RAISEDOUTER) tl = GetSysColor(COLOR_3DHILIGHT);
        if (part == BDR_RAISEDINNER) tl = GetSysColor(COLOR_3DLIGHT);
      }
      EdgeRing(hdc, r, flags, tl, br);
      if (flags & BF_LEFT) ++r.left;
      if (flags & BF_TOP) ++r.top;
      if (flags & BF_RIGHT) --r.right;
      if (flags & BF_BOTTOM) --r.bottom;
    };
    if (outer == BDR_RAISEDOUTER || outer == BDR_SUNKENOUTER) ring(outer);
    if (inner == BDR_RAISEDINNER || inner == BDR_SUNKENINNER) ring(inner);
  }
  if (flags & BF_MIDDLE) {
    HBRUSH b = GetSysColorBrush((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
    FillRect(hdc, &r, b);
  }
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state) {
  if (!rect || !FindDc(hdc)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool pushed = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
  const bool flat = (state & DFCS_FLAT) != 0;
  if (type == DFC_BUTTON && (state & 0x1F) == DFCS_BUTTONPUSH) {
    RECT r = *rect;
    if (pushed) DrawEdge(hdc, &r, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST | (flat ? BF_FLAT : 0));
    else DrawEdge(hdc, &r, flat ? BDR_RAISEDOUTER : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | (flat ? BF_FLAT : 0));
    if (state & DFCS_ADJUSTRECT) *rect = r;
    return TRUE;
  }
  if (type == DFC_BUTTON && ((state & 0x1F) == DFCS_BUTTONCHECK || (state & 0x1F) == DFCS_BUTTON3STATE ||
                             (state & 0x1F) == DFCS_BUTTONRADIO)) {
    const int side = std::min(rect->right - rect->left, rect->bottom - rect->top);
    RECT box{rect->left, rect->top, rect->left + side, rect->top + side};
    const bool radio = (state & 0x1F) == DFCS_BUTTONRADIO;
    const COLORREF face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
    if (radio) {
      HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
      HBRUSH br = CreateSolidBrush(face);
      HGDIOBJ oldBrush = SelectObject(hdc, br);
      Ellipse(hdc, box.left, box.top, box.right, box.bottom);
      if (state & DFCS_CHECKED) {
        HBRUSH dot = CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT));
        SelectObject(hdc, dot);
        const int q = side / 3;
        Ellipse(hdc, box.left + q, box.top + q, box.right - q, box.bottom - q);
        SelectObject(hdc, br);
        DeleteObject(dot);
      }
      SelectObject(hdc, oldBrush);
      SelectObject(hdc, oldPen);
      DeleteObject(br);
    } else {
      RECT r = box;
      DrawEdge(hdc, &r, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT | BF_ADJUST | (flat ? BF_FLAT : 0));
      HBRUSH br = CreateSolidBrush(face);
      FillRect(hdc, &r, br);
      DeleteObject(br);
      if (state & DFCS_CHECKED) {
        const COLORREF ink = (state & DFCS_INACTIVE) ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_WINDOWTEXT);
        const int w = r.right - r.left, h = r.bottom - r.top;
        // a tick: down from the left third, then up to the right
        for (int k = 0; k < 3; ++k) {
          const int x0 = r.left + w / 5, y0 = r.top + h / 2 - 1 + k;
          const int xm = r.left + w * 2 / 5, ym = y0 + w / 5;
          const int x1 = r.right - w / 5;
          for (int x = x0; x <= xm; ++x) SetPixelV(hdc, x, y0 + (x - x0), ink);
          for (int x = xm; x < x1; ++x) SetPixelV(hdc, x, ym - (x - xm), ink);
        }
      }
    }
    return TRUE;
  }
  if (type == DFC_SCROLL) {
    RECT r = *rect;
    DrawFrameControl(hdc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (state & (DFCS_PUSHED | DFCS_FLAT)));
    const COLORREF ink = (state & DFCS_INACTIVE) ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_BTNTEXT);
    const int cx = (rect->left + rect->right) / 2 + (pushed ? 1 : 0), cy = (rect->top + rect->bottom) / 2 + (pushed ? 1 : 0);
    const int n = std::max(2, std::min(rect->right - rect->left, rect->bottom - rect->top) / 4);
    const UINT kind = state & 0xF;
    for (int i = 0; i < n; ++i) {
      switch (kind) {
        case DFCS_SCROLLUP: HLine(hdc, cx - i, cx + i + 1, cy - n / 2 + i, ink); break;
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX: HLine(hdc, cx - (n - 1 - i), cx + (n - 1 - i) + 1, cy - n / 2 + i, ink); break;
        case DFCS_SCROLLLEFT: VLine(hdc, cx - n / 2 + i, cy - i, cy + i + 1, ink); break;
        case DFCS_SCROLLRIGHT: VLine(hdc, cx - n / 2 + i, cy - (n - 1 - i), cy + (n - 1 - i) + 1, ink); break;
        default: break;
      }
    }
    return TRUE;
  }
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}
