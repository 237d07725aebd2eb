// Bead painters and colour functions.
#include "view/BeadPainters.h"

#include <algorithm>
#include <cmath>

#include "design/Pattern.h"
#include "palette/ColorSet.h"

namespace {

BYTE Clamp255(int v) { return static_cast<BYTE>(std::clamp(v, 0, 255)); }

// A solid pen and optionally a brush selected for the lifetime of the object.
class CPenBrush {
 public:
  CPenBrush(HDC dc, COLORREF pen, const COLORREF* brush) : dc_(dc) {
    pen_ = CreatePen(PS_SOLID, 1, pen);
    oldPen_ = SelectObject(dc, pen_);
    if (brush) {
      brush_ = CreateSolidBrush(*brush);
      oldBrush_ = SelectObject(dc, brush_);
    }
  }
  ~CPenBrush() {
    SelectObject(dc_, oldPen_);
    DeleteObject(pen_);
    if (brush_) {
      SelectObject(dc_, oldBrush_);
      DeleteObject(brush_);
    }
  }
  CPenBrush(const CPenBrush&) = delete;
  CPenBrush& operator=(const CPenBrush&) = delete;

 private:
  HDC dc_;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// Everything a painter draws stays inside the cell.
class CCellClip {
 public:
  CCellClip(HDC dc, const RECT& cell) : dc_(dc) {
    saved_ = SaveDC(dc);
    IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
  }
  ~CCellClip() { RestoreDC(dc_, saved_); }
  CCellClip(const CCellClip&) = delete;
  CCellClip& operator=(const CCellClip&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// Channel a + trunc(s * (b - a) / extent).
BYTE Step(int a, int b, int s, int extent) {
  const double d = static_cast<double>(b - a) / extent;
  return Clamp255(a + static_cast<int>(std::trunc(s * d)));
}

}  // namespace

void MakeShadeColors(COLORREF color, COLORREF& light, COLORREF& shadow) {
  const auto up = [](int c) { return c >= 128 ? 255 : c * 2; };
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  light = RGB(up(r), up(g), up(b));
  shadow = RGB(r >> 1, g >> 1, b >> 1);
}

void MakeStepColors(COLORREF color, COLORREF& lighter, COLORREF& darker, int step) {
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  lighter = RGB(Clamp255(r + step), Clamp255(g + step), Clamp255(b + step));
  darker = RGB(Clamp255(r - step), Clamp255(g - step), Clamp255(b - step));
}

COLORREF GradientColorAt(double angle, COLORREF a, COLORREF b) {
  double t = -2.356 - angle;
  if (t < -3.1415) t += 6.293;
  else if (t > 3.1415) t = 6.293 - t;
  const double w = (std::cos(t) + 1.0) / 2.0;
  const auto mix = [w](int ca, int cb) { return Clamp255(static_cast<int>(std::trunc(w * ca + (1.0 - w) * cb))); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void DrawVerticalGradient(CDC* dc, const RECT& rect, COLORREF a, COLORREF b, int step) {
  const int h = rect.bottom - rect.top;
  if (!dc || h <= 0 || step <= 0) return;
  const HDC hdc = dc->GetSafeHdc();
  for (int s = 0; s < h; s += step) {
    const COLORREF c = RGB(Step(GetRValue(a), GetRValue(b), s, h), Step(GetGValue(a), GetGValue(b), s, h),
                           Step(GetBValue(a), GetBValue(b), s, h));
    CPenBrush pen(hdc, c, nullptr);
    Line(hdc, rect.left, rect.top + s, rect.right, rect.top + s);
  }
}

void DrawGradientEllipse(CDC* dc, int cx, int cy, int rx, int ry, COLORREF a, COLORREF b) {
  if (!dc) return;
  const HDC hdc = dc->GetSafeHdc();
  constexpr double kPi = 3.141592654;
  const auto plot = [&](long long x, long long y) {
    const double theta = std::atan2(static_cast<double>(y), static_cast<double>(x));
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    SetPixelV(hdc, cx + px, cy + py, GradientColorAt(theta, a, b));
    SetPixelV(hdc, cx - px, cy + py, GradientColorAt(kPi - theta, a, b));
    SetPixelV(hdc, cx - px, cy - py, GradientColorAt(theta - kPi, a, b));
    SetPixelV(hdc, cx + px, cy - py, GradientColorAt(-theta, a, b));
  };
  const long long d = 4LL * ry * ry, e = 4LL * rx * rx, f = 2 * e;
  long long g = 2 * d * rx;
  long long x = rx, y = 0, s = 0;
  long long h = d + static_cast<long long>(rx) * rx - g;
  long long l = static_cast<long long>(ry) * ry + e - d * rx;
  while (h < 0) {
    plot(x, y);
    const bool flag = l >= 0;
    s += f;
    if (flag) --x;
    ++y;
    h += flag ? s + 3 * d - g : s;
    l += flag ? s + 2 * d + e - g : s + e;
    if (flag) g -= 2 * d;
  }
  do {
    plot(x, y);
    const bool flag = h < 0;
    --x;
    if (flag) ++y;
    h += 3 * d + (flag ? s + f : 0) - g;
    g -= 2 * d;
    if (flag) s += f;
  } while (x >= 0);
}

void GetHexagonPoints(const RECT& cell, bool orientation, POINT (&p)[6]) {
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  const int cw = w / 6, ch = h / 6;
  const int l = cell.left, t = cell.top, r = cell.right, b = cell.bottom;
  if (orientation) {
    p[0] = {l, t + 2 * h / 3};
    p[1] = {l + cw, t + ch};
    p[2] = {l + 2 * w / 3, t};
    p[3] = {r, t + h / 3};
    p[4] = {r - cw, b - ch};
    p[5] = {l + w / 3, b};
  } else {
    p[0] = {l + cw, b - ch};
    p[1] = {l, t + h / 3};
    p[2] = {l + w / 3, t};
    p[3] = {r - cw, t + ch};
    p[4] = {r, b - h / 3};
    p[5] = {r - w / 3, b};
  }
}

void Draw3DRoundBead(CDC* dc, const RECT& cell, COLORREF c) {
  const HDC hdc = dc->GetSafeHdc();
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  const int n = std::max(1, std::min(h / 2, w / 2));
  COLORREF light, shadow;
  MakeShadeColors(c, light, shadow);
  const double dr = static_cast<double>(GetRValue(light) - GetRValue(c)) / n;
  const double dg = static_cast<double>(GetGValue(light) - GetGValue(c)) / n;
  const double db = static_cast<double>(GetBValue(light) - GetBValue(c)) / n;
  for (int i = 0; i < n; ++i) {
    const COLORREF ci = RGB(Clamp255(GetRValue(c) + static_cast<int>(std::floor(i * dr))),
                            Clamp255(GetGValue(c) + static_cast<int>(std::floor(i * dg))),
                            Clamp255(GetBValue(c) + static_cast<int>(std::floor(i * db))));
    CPenBrush pb(hdc, ci, &ci);
    Ellipse(hdc, cell.left + i, cell.top + i, cell.right - i, cell.bottom - i);
  }
}

void Draw3DCircleBead(CDC* dc, const RECT& cell, COLORREF c) {
  const HDC hdc = dc->GetSafeHdc();
  {
    CPenBrush pb(hdc, c, &c);
    Ellipse(hdc, cell.left, cell.top, cell.right, cell.bottom);
  }
  COLORREF light, shadow;
  MakeShadeColors(c, light, shadow);
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  DrawGradientEllipse(dc, cell.left + (w >> 1), cell.top + (h >> 1), w >> 1, h >> 1, light, shadow);
}

void DrawCylinderBead(CDC* dc, const RECT& cell, COLORREF c) {
  COLORREF lighter, darker;
  MakeStepColors(c, lighter, darker, 64);
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  const int k = 5 * h / 12;
  DrawVerticalGradient(dc, RECT{cell.left, cell.top, cell.right, cell.top + k}, darker, lighter, 1);
  DrawVerticalGradient(dc, RECT{cell.left, cell.top + k, cell.right, cell.bottom}, lighter, darker, 1);
  DrawHorizontalGradient(dc, RECT{cell.right - w / 4, cell.top, cell.right, cell.bottom}, c, darker, 1);
}

void DrawBrickCylinderBead(CDC* dc, const RECT& cell, COLORREF c) {
  COLORREF lighter, darker;
  MakeStepColors(c, lighter, darker, 64);
  const int m = (cell.right - cell.left) / 2;
  DrawHorizontalGradient(dc, RECT{cell.left, cell.top, cell.left + m, cell.bottom}, darker, lighter, 1);
  DrawHorizontalGradient(dc, RECT{cell.left + m, cell.top, cell.right, cell.bottom}, lighter, darker, 1);
  const HDC hdc = dc->GetSafeHdc();
  CPenBrush pen(hdc, darker, nullptr);
  Line(hdc, cell.left, cell.top, cell.right, cell.top);
  Line(hdc, cell.left, cell.bottom, cell.right, cell.bottom);
}

void DrawRoundRectBead(CDC* dc, const RECT& cell, COLORREF c) {
  const HDC hdc = dc->GetSafeHdc();
  const HRGN outer = CreateRoundRectRgn(cell.left, cell.top, cell.right, cell.bottom, 0, 0);
  const HBRUSH fill = CreateSolidBrush(c);
  FillRgn(hdc, outer, fill);
  DeleteObject(fill);
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  if (w > 1 && h > 1) {
    const HRGN inner = CreateRoundRectRgn(cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1, 0, 0);
    const HRGN ring = CreateRectRgn(0, 0, 0, 0);
    const int kind = CombineRgn(ring, outer, inner, RGN_DIFF);
    if (kind != ERROR && kind != NULLREGION) {
      COLORREF light, shadow;
      MakeShadeColors(c, light, shadow);
      const HBRUSH lightBrush = CreateSolidBrush(light);
      FillRgn(hdc, ring, lightBrush);
      DeleteObject(lightBrush);
    }
    DeleteObject(ring);
    DeleteObject(inner);
  }
  DeleteObject(outer);
}

void DrawHexagon(CDC* dc, const RECT& cell, COLORREF c, bool edgeShading, bool orientation) {
  const HDC hdc = dc->GetSafeHdc();
  POINT p[6];
  GetHexagonPoints(cell, orientation, p);
  COLORREF light, shadow;
  MakeShadeColors(c, light, shadow);
  {
    CPenBrush pb(hdc, light, &c);
    Polygon(hdc, p, 6);
  }
  if (edgeShading) {
    CPenBrush pen(hdc, shadow, nullptr);
    Line(hdc, p[3].x, p[3].y, p[4].x, p[4].y);
    Line(hdc, p[4].x, p[4].y, p[5].x, p[5].y);
    Line(hdc, p[5].x, p[5].y, p[0].x, p[0].y);
  }
}

void DrawEllipseOutline(CDC* dc, const RECT& cell, COLORREF c) {
  const HDC hdc = dc->GetSafeHdc();
  CPenBrush pen(hdc, GetContrastColor(c), nullptr);
  const int y = (cell.top + cell.bottom) / 2;
  Arc(hdc, cell.left, cell.top, cell.right, cell.bottom, cell.left, y, cell.left, y);
}

void DrawRectOutline(CDC* dc, const RECT& cell, COLORREF c) {
  const HBRUSH brush = CreateSolidBrush(GetContrastColor(c));
  FrameRect(dc->GetSafeHdc(), &cell, brush);
  DeleteObject(brush);
}

bool GetBeadPaintColor(const CBead& bead, const CPattern& design, const CColorSet& palette, COLORREF& color) {
  const int index = bead.GetColorIndex(design);
  if (index < 0 || index >= palette.GetCount()) return false;
  color = palette.GetItem(index).GetColorref();
  return true;
}

bool IsHexagonFormat(const CPattern& design) { return design.m_format == kFormatHerringbone; }

bool IsBrickFormat(const CPattern& design) {
  return design.m_format == kFormatBrick || design.m_format == kFormatSacredBrick ||
         design.m_format == kFormatSacredPeyote;
}

void DrawBeadShape(const CBead& bead, const CPattern& design, int effect, bool hexagon, const RECT& cell, CDC* dc,
                   const CColorSet& palette, bool outline, bool brick) {
  COLORREF c;
  if (!dc || !dc->GetSafeHdc() || !GetBeadPaintColor(bead, design, palette, c)) return;
  CCellClip clip(dc->GetSafeHdc(), cell);
  if (hexagon) {
    DrawHexagon(dc, cell, c, effect == kBeadEffectRound, bead.m_alternate != 0);
    return;
  }
  switch (effect) {
    case kBeadEffectRound: Draw3DRoundBead(dc, cell, c); break;
    case kBeadEffectCircle: Draw3DCircleBead(dc, cell, c); break;
    case kBeadEffectCylinder:
      if (brick) DrawBrickCylinderBead(dc, cell, c);
      else DrawCylinderBead(dc, cell, c);
      break;
    case kBeadEffectRoundRect: DrawRoundRectBead(dc, cell, c); break;
    default: return;
  }
  if (outline) {
    if (effect == kBeadEffectRound || effect == kBeadEffectCircle) DrawEllipseOutline(dc, cell, c);
    else DrawRectOutline(dc, cell, c);
  }
}

void DrawBeadCell(const CBead& bead, const CPattern& design, int effect, bool hexagon, const RECT& cell, CDC* dc,
                  const CColorSet& palette, bool outline, bool brick) {
  DrawBeadShape(bead, design, effect, hexagon, cell, dc, palette, outline, brick);
  if (!dc || !dc->GetSafeHdc() || !(bead.IsSelected() || outline)) return;
  const int index = bead.GetColorIndex(design);
  if (index < 0 || index >= palette.GetCount()) return;
  const HDC hdc = dc->GetSafeHdc();
  CCellClip clip(hdc, cell);
  CPenBrush pen(hdc, GetTripleContrastColor(palette.GetItem(index).GetRgb()), nullptr);
  Line(hdc, cell.left, cell.top, cell.right, cell.bottom);
  Line(hdc, cell.right, cell.top, cell.left, cell.bottom);
}
