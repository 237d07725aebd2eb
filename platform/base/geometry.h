// CPoint, CSize and CRect: the geometry value classes over POINT, SIZE, RECT.
#pragma once

#include <algorithm>

#include "platform/base/wintypes.h"

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int x, int y) : SIZE{x, y} {}
  CSize(SIZE s) : SIZE(s) {}
  bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(const SIZE& o) const { return !(*this == o); }
  CSize operator+(const SIZE& o) const { return CSize(cx + o.cx, cy + o.cy); }
  CSize operator-(const SIZE& o) const { return CSize(cx - o.cx, cy - o.cy); }
};

class CPoint : public POINT {
 public:
  CPoint() : POINT{0, 0} {}
  CPoint(int x_, int y_) : POINT{x_, y_} {}
  CPoint(POINT p) : POINT(p) {}
  explicit CPoint(SIZE s) : POINT{s.cx, s.cy} {}
  explicit CPoint(LPARAM lp) : POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)} {}
  void Offset(int dx, int dy) { x += dx; y += dy; }
  void Offset(POINT p) { Offset(p.x, p.y); }
  void Offset(SIZE s) { Offset(s.cx, s.cy); }
  bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
  bool operator!=(const POINT& o) const { return !(*this == o); }
  CPoint operator+(const SIZE& s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(const SIZE& s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator+(const POINT& p) const { return CPoint(x + p.x, y + p.y); }
  CSize operator-(const POINT& p) const { return CSize(x - p.x, y - p.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
  CPoint& operator+=(const SIZE& s) { Offset(s); return *this; }
  CPoint& operator-=(const SIZE& s) { x -= s.cx; y -= s.cy; return *this; }
  CPoint& operator+=(const POINT& p) { Offset(p); return *this; }
  CPoint& operator-=(const POINT& p) { x -= p.x; y -= p.y; return *this; }
};

// A rectangle whose right and bottom edges lie outside it, as in GDI.
class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}
  CRect(const RECT* r) : RECT(r ? *r : RECT{0, 0, 0, 0}) {}
  CRect(POINT p, SIZE s) : RECT{p.x, p.y, p.x + s.cx, p.y + s.cy} {}
  CRect(POINT a, POINT b) : RECT{a.x, a.y, b.x, b.y} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
  const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void CopyRect(LPCRECT r) { *static_cast<RECT*>(this) = *r; }
  bool EqualRect(LPCRECT r) const { return left == r->left && top == r->top && right == r->right && bottom == r->bottom; }
  void InflateRect(int dx, int dy) { left -= dx; top -= dy; right += dx; bottom += dy; }
  void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
  void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
  void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
  void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
  void MoveToX(int x) { OffsetRect(x - left, 0); }
  void MoveToY(int y) { OffsetRect(0, y - top); }
  void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  // Intersection; an empty result is set to all zeros. True when not empty.
  bool IntersectRect(LPCRECT a, LPCRECT b) {
    CRect r(std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right), std::min(a->bottom, b->bottom));
    if (r.IsRectEmpty()) r.SetRectEmpty();
    *this = r;
    return !r.IsRectEmpty();
  }
  // Smallest rectangle holding both; empty inputs are ignored.
  bool UnionRect(LPCRECT a, LPCRECT b) {
    const CRect ra(a), rb(b);
    if (ra.IsRectEmpty()) *this = rb;
    else if (rb.IsRectEmpty()) *this = ra;
    else *this = CRect(std::min(ra.left, rb.left), std::min(ra.top, rb.top), std::max(ra.right, rb.right), std::max(ra.bottom, rb.bottom));
    if (IsRectEmpty()) { SetRectEmpty(); return false; }
    return true;
  }
  bool operator==(const RECT& r) const { return EqualRect(&r); }
  bool operator!=(const RECT& r) const { return !EqualRect(&r); }
  CRect& operator&=(const RECT& r) { IntersectRect(this, &r); return *this; }
  CRect& operator|=(const RECT& r) { UnionRect(this, &r); return *this; }
  CRect operator&(const RECT& r) const { CRect o; o.IntersectRect(this, &r); return o; }
  CRect operator|(const RECT& r) const { CRect o; o.UnionRect(this, &r); return o; }
  CRect& operator+=(POINT p) { OffsetRect(p); return *this; }
  CRect& operator-=(POINT p) { OffsetRect(-p.x, -p.y); return *this; }
};

// Win32-style free functions on rectangles.
inline BOOL SetRect(LPRECT r, int l, int t, int rr, int b) { *r = RECT{l, t, rr, b}; return TRUE; }
inline BOOL SetRectEmpty(LPRECT r) { *r = RECT{0, 0, 0, 0}; return TRUE; }
inline BOOL IsRectEmpty(LPCRECT r) { return r->right <= r->left || r->bottom <= r->top; }
inline BOOL PtInRect(LPCRECT r, POINT p) { return CRect(r).PtInRect(p); }
inline BOOL OffsetRect(LPRECT r, int dx, int dy) { static_cast<CRect*>(static_cast<RECT*>(r))->OffsetRect(dx, dy); return TRUE; }
inline BOOL InflateRect(LPRECT r, int dx, int dy) { r->left -= dx; r->top -= dy; r->right += dx; r->bottom += dy; return TRUE; }
inline BOOL IntersectRect(LPRECT out, LPCRECT a, LPCRECT b) { CRect r; BOOL ok = r.IntersectRect(a, b); *out = r; return ok; }
inline BOOL UnionRect(LPRECT out, LPCRECT a, LPCRECT b) { CRect r; BOOL ok = r.UnionRect(a, b); *out = r; return ok; }
inline BOOL EqualRect(LPCRECT a, LPCRECT b) { return CRect(a).EqualRect(b); }
inline BOOL CopyRect(LPRECT out, LPCRECT in) { *out = *in; return TRUE; }
