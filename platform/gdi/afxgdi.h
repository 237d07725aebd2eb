// The MFC-style drawing classes over the drawing calls: CGdiObject and its
// kinds (CPen, CBrush, CFont, CBitmap, CRgn, CPalette) and the device
// contexts (CDC, CPaintDC, CClientDC, CWindowDC).
//
// An object owns its handle and deletes it when destroyed, unless it was
// detached. FromHandle gives the object attached to a handle, or a
// temporary wrapper that lives until the handle is deleted (it never deletes
// the handle itself).
#pragma once

#include "platform/gdi/gdi_api.h"

class CWnd;
class CDC;

class CGdiObject {
 public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  virtual ~CGdiObject();

  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  static CGdiObject* FromHandle(HGDIOBJ h);
  BOOL Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int size, LPVOID out) const { return ::GetObject(m_hObject, size, out); }
  UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
  BOOL CreateStockObject(int index) { return Attach(::GetStockObject(index)); }
  BOOL UnrealizeObject() { return m_hObject != nullptr; }
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  static CPen* FromHandle(HPEN h);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
  BOOL CreatePenIndirect(const LOGPEN* pen) { return Attach(::CreatePenIndirect(pen)); }
  int GetLogPen(LOGPEN* pen) const { return ::GetObject(m_hObject, sizeof(LOGPEN), pen); }
};

class CBitmap;

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
  explicit CBrush(CBitmap* bitmap);
  static CBrush* FromHandle(HBRUSH h);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
  BOOL CreateHatchBrush(int hatch, COLORREF color) { return Attach(::CreateHatchBrush(hatch, color)); }
  BOOL CreatePatternBrush(CBitmap* bitmap);
  BOOL CreateBrushIndirect(const LOGBRUSH* brush) { return Attach(::CreateBrushIndirect(brush)); }
  // A solid brush of the system colour's current value (owned).
  BOOL CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(::GetSysColor(index))); }
  int GetLogBrush(LOGBRUSH* brush) const { return ::GetObject(m_hObject, sizeof(LOGBRUSH), brush); }
};

class CFont : public CGdiObject {
 public:
  static CFont* FromHandle(HFONT h);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  BOOL CreateFontIndirect(const LOGFONT* font) { return Attach(::CreateFontIndirect(font)); }
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR faceName) {
    return Attach(::CreateFont(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                               outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
  }
  // Sizes in tenths of a point, turned into the DC's logical units (the
  // screen when no DC is given).
  BOOL CreatePointFont(int pointSize, LPCSTR faceName, CDC* dc = nullptr);
  BOOL CreatePointFontIndirect(const LOGFONT* font, CDC* dc = nullptr);
  int GetLogFont(LOGFONT* font) const { return ::GetObject(m_hObject, sizeof(LOGFONT), font); }
};

class CBitmap : public CGdiObject {
 public:
  static CBitmap* FromHandle(HBITMAP h);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  // From the current resource pack (AfxGetResourceHandle).
  BOOL LoadBitmap(UINT id);
  BOOL LoadBitmap(LPCSTR name);
  BOOL LoadMappedBitmap(UINT id, UINT flags = 0, const COLORMAP* map = nullptr, int mapSize = 0);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
  }
  BOOL CreateBitmapIndirect(const BITMAP* bitmap) { return Attach(::CreateBitmapIndirect(bitmap)); }
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  BOOL CreateDiscardableBitmap(CDC* dc, int width, int height) { return CreateCompatibleBitmap(dc, width, height); }
  int GetBitmap(BITMAP* bm) const { return ::GetObject(m_hObject, sizeof(BITMAP), bm); }
  DWORD GetBitmapBits(DWORD count, LPVOID bits) const {
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(count), bits));
  }
  DWORD SetBitmapBits(DWORD count, const void* bits) {
    return static_cast<DWORD>(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), count, bits));
  }
  CSize SetBitmapDimension(int width, int height) {
    SIZE old{0, 0};
    ::SetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), width, height, &old);
    return CSize(old);
  }
  CSize GetBitmapDimension() const {
    SIZE s{0, 0};
    ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &s);
    return CSize(s);
  }
};

class CRgn : public CGdiObject {
 public:
  static CRgn* FromHandle(HRGN h);
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
  BOOL CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
  BOOL CreateEllipticRgn(int l, int t, int r, int b) { return Attach(::CreateEllipticRgn(l, t, r, b)); }
  BOOL CreateEllipticRgnIndirect(LPCRECT r) { return Attach(::CreateEllipticRgnIndirect(r)); }
  BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) { return Attach(::CreateRoundRectRgn(l, t, r, b, w, h)); }
  BOOL CreatePolygonRgn(const POINT* points, int count, int mode) { return Attach(::CreatePolygonRgn(points, count, mode)); }
  int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), a ? static_cast<HRGN>(a->m_hObject) : nullptr,
                        b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
  }
  int CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
  BOOL EqualRgn(const CRgn* other) const {
    return ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(other->m_hObject));
  }
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), dx, dy); }
  int OffsetRgn(POINT p) { return OffsetRgn(p.x, p.y); }
  int GetRgnBox(LPRECT r) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), r); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
  BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
  BOOL RectInRegion(LPCRECT r) const { return ::RectInRegion(static_cast<HRGN>(m_hObject), r); }
  void SetRectRgn(int l, int t, int r, int b) { ::SetRectRgn(static_cast<HRGN>(m_hObject), l, t, r, b); }
  void SetRectRgn(LPCRECT r) { SetRectRgn(r->left, r->top, r->right, r->bottom); }
};

class CPalette : public CGdiObject {
 public:
  static CPalette* FromHandle(HPALETTE h);
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
  BOOL CreatePalette(const LOGPALETTE* lp) { return Attach(::CreatePalette(lp)); }
  BOOL CreateHalftonePalette(CDC* dc);
  int GetEntryCount() const {
    WORD n = 0;
    ::GetObject(m_hObject, sizeof n, &n);
    return n;
  }
  UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const {
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), start, count, entries);
  }
  UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* entries) {
    return ::SetPaletteEntries(static_cast<HPALETTE>(m_hObject), start, count, entries);
  }
  UINT GetNearestPaletteIndex(COLORREF color) const {
    return ::GetNearestPaletteIndex(static_cast<HPALETTE>(m_hObject), color);
  }
  BOOL ResizePalette(UINT count) { return ::ResizePalette(static_cast<HPALETTE>(m_hObject), count); }
};

class CDC {
 public:
  HDC m_hDC = nullptr;        // where output goes
  HDC m_hAttribDC = nullptr;  // what queries read
  BOOL m_bPrinting = FALSE;

  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC();

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC h);
  BOOL Attach(HDC h);
  HDC Detach();
  virtual void SetAttribDC(HDC h) { m_hAttribDC = h; }
  virtual void SetOutputDC(HDC h) { m_hDC = h; }
  virtual void ReleaseAttribDC() { m_hAttribDC = nullptr; }
  virtual void ReleaseOutputDC() { m_hDC = nullptr; }
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  BOOL IsPrinting() const { return m_bPrinting; }

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hAttribDC, index); }

  // Objects.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  virtual CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  int SelectObject(CRgn* rgn);
  CGdiObject* SelectObject(CGdiObject* obj);
  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  CGdiObject* SelectStockObject(int index);
  CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;
  CPalette* GetCurrentPalette() const;

  // Colours and modes.
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
  int SetROP2(int rop) { return ::SetROP2(m_hDC, rop); }
  int GetROP2() const { return ::GetROP2(m_hAttribDC); }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  int GetStretchBltMode() const { return ::GetStretchBltMode(m_hAttribDC); }
  int SetPolyFillMode(int mode) { return ::SetPolyFillMode(m_hDC, mode); }
  int GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
  UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
  UINT GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
  int SetArcDirection(int dir) { return ::SetArcDirection(m_hDC, dir); }
  int GetArcDirection() const { return ::GetArcDirection(m_hAttribDC); }
  CPoint SetBrushOrg(int x, int y) {
    POINT old{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
  }
  CPoint SetBrushOrg(POINT p) { return SetBrushOrg(p.x, p.y); }
  CPoint GetBrushOrg() const {
    POINT p{0, 0};
    ::GetBrushOrgEx(m_hDC, &p);
    return CPoint(p);
  }
  COLORREF GetNearestColor(COLORREF c) const { return ::GetNearestColor(m_hAttribDC, c); }

  // Coordinates.
  int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
  int GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
  CPoint SetWindowOrg(int x, int y) {
    POINT old{0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
  }
  CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
  CPoint GetWindowOrg() const {
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return CPoint(p);
  }
  CPoint OffsetWindowOrg(int dx, int dy) {
    POINT old{0, 0};
    ::OffsetWindowOrgEx(m_hDC, dx, dy, &old);
    return CPoint(old);
  }
  CPoint SetViewportOrg(int x, int y) {
    POINT old{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
  }
  CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
  CPoint GetViewportOrg() const {
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return CPoint(p);
  }
  CPoint OffsetViewportOrg(int dx, int dy) {
    POINT old{0, 0};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
    return CPoint(old);
  }
  CSize SetWindowExt(int x, int y) {
    SIZE old{0, 0};
    ::SetWindowExtEx(m_hDC, x, y, &old);
    return CSize(old);
  }
  CSize SetWindowExt(SIZE s) { return SetWindowExt(s.cx, s.cy); }
  CSize GetWindowExt() const {
    SIZE s{0, 0};
    ::GetWindowExtEx(m_hAttribDC, &s);
    return CSize(s);
  }
  CSize SetViewportExt(int x, int y) {
    SIZE old{0, 0};
    ::SetViewportExtEx(m_hDC, x, y, &old);
    return CSize(old);
  }
  CSize SetViewportExt(SIZE s) { return SetViewportExt(s.cx, s.cy); }
  CSize GetViewportExt() const {
    SIZE s{0, 0};
    ::GetViewportExtEx(m_hAttribDC, &s);
    return CSize(s);
  }
  void LPtoDP(LPPOINT points, int count = 1) const { ::LPtoDP(m_hAttribDC, points, count); }
  void LPtoDP(LPRECT rect) const { ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(rect), 2); }
  void DPtoLP(LPPOINT points, int count = 1) const { ::DPtoLP(m_hAttribDC, points, count); }
  void DPtoLP(LPRECT rect) const { ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(rect), 2); }

  // Clipping.
  int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
  int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
  int ExcludeClipRect(LPCRECT r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
  int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr); }
  int SelectClipRgn(CRgn* rgn, int mode) {
    return ::ExtSelectClipRgn(m_hDC, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr, mode);
  }
  int OffsetClipRgn(int dx, int dy) { return ::OffsetClipRgn(m_hDC, dx, dy); }
  BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
  BOOL PtVisible(POINT p) const { return PtVisible(p.x, p.y); }
  BOOL RectVisible(LPCRECT r) const { return ::RectVisible(m_hDC, r); }

  // Lines and shapes.
  CPoint MoveTo(int x, int y) {
    POINT old{0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
  }
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  CPoint GetCurrentPosition() const {
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &p);
    return CPoint(p);
  }
  BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
  BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
  BOOL PolyPolygon(const POINT* points, const INT* counts, int n) { return ::PolyPolygon(m_hDC, points, counts, n); }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
  BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
  BOOL RoundRect(LPCRECT r, POINT p) { return RoundRect(r->left, r->top, r->right, r->bottom, p.x, p.y); }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  BOOL Ellipse(LPCRECT r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
  BOOL Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2) { return ::Arc(m_hDC, l, t, r, b, x1, y1, x2, y2); }
  BOOL Arc(LPCRECT r, POINT s, POINT e) { return Arc(r->left, r->top, r->right, r->bottom, s.x, s.y, e.x, e.y); }
  BOOL Pie(int l, int t, int r, int b, int x1, int y1, int x2, int y2) { return ::Pie(m_hDC, l, t, r, b, x1, y1, x2, y2); }
  BOOL Pie(LPCRECT r, POINT s, POINT e) { return Pie(r->left, r->top, r->right, r->bottom, s.x, s.y, e.x, e.y); }
  BOOL Chord(int l, int t, int r, int b, int x1, int y1, int x2, int y2) { return ::Chord(m_hDC, l, t, r, b, x1, y1, x2, y2); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF SetPixel(POINT p, COLORREF c) { return SetPixel(p.x, p.y, c); }
  BOOL SetPixelV(int x, int y, COLORREF c) { return ::SetPixelV(m_hDC, x, y, c); }
  BOOL SetPixelV(POINT p, COLORREF c) { return SetPixelV(p.x, p.y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
  void FillRect(LPCRECT r, CBrush* brush) { ::FillRect(m_hDC, r, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr); }
  void FrameRect(LPCRECT r, CBrush* brush) { ::FrameRect(m_hDC, r, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr); }
  void InvertRect(LPCRECT r) { ::InvertRect(m_hDC, r); }
  // Fills with a colour; sets the background colour to it.
  void FillSolidRect(LPCRECT r, COLORREF c);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
  // A 3-D frame: top and left in one colour, bottom and right in the other.
  void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  BOOL DrawEdge(LPRECT r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
  BOOL DrawFrameControl(LPRECT r, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, r, type, state); }
  void DrawFocusRect(LPCRECT r) { ::DrawFocusRect(m_hDC, r); }
  BOOL FillRgn(CRgn* rgn, CBrush* brush) {
    return ::FillRgn(m_hDC, static_cast<HRGN>(rgn->m_hObject), static_cast<HBRUSH>(brush->m_hObject));
  }
  BOOL FrameRgn(CRgn* rgn, CBrush* brush, int w, int h) {
    return ::FrameRgn(m_hDC, static_cast<HRGN>(rgn->m_hObject), static_cast<HBRUSH>(brush->m_hObject), w, h);
  }
  BOOL InvertRgn(CRgn* rgn) { return ::InvertRgn(m_hDC, static_cast<HRGN>(rgn->m_hObject)); }
  BOOL PaintRgn(CRgn* rgn) { return ::PaintRgn(m_hDC, static_cast<HRGN>(rgn->m_hObject)); }
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, rop);
  }
  BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, ws, hs, rop);
  }
  BOOL TransparentBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs, UINT transparent) {
    return ::TransparentBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, ws, hs, transparent);
  }
  BOOL AlphaBlend(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs, BLENDFUNCTION blend) {
    return ::AlphaBlend(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, ws, hs, blend);
  }
  BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
  BOOL DrawIcon(POINT p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
  BOOL DrawState(CPoint pt, CSize size, HICON icon, UINT flags, HBRUSH brush = nullptr) {
    return ::DrawState(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, pt.x, pt.y, size.cx, size.cy, flags | DST_ICON);
  }
  BOOL DrawState(CPoint pt, CSize size, HICON icon, UINT flags, CBrush* brush) {
    return DrawState(pt, size, icon, flags, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
  }
  BOOL DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr) {
    return ::DrawState(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, pt.x, pt.y, size.cx, size.cy,
                       flags | DST_BITMAP);
  }
  BOOL DrawState(CPoint pt, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush = nullptr) {
    return DrawState(pt, size, static_cast<HBITMAP>(bitmap->m_hObject), flags,
                     brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
  }
  BOOL DrawState(CPoint pt, CSize size, LPCSTR text, UINT flags, BOOL prefixText = TRUE, int textLen = 0,
                 HBRUSH brush = nullptr) {
    return ::DrawState(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(text), static_cast<WPARAM>(textLen), pt.x, pt.y,
                       size.cx, size.cy, flags | (prefixText ? DST_PREFIXTEXT : DST_TEXT));
  }
  BOOL DrawState(CPoint pt, CSize size, const CString& text, UINT flags, BOOL prefixText = TRUE, int textLen = 0,
                 CBrush* brush = nullptr) {
    return DrawState(pt, size, text.GetString(), flags, prefixText, textLen ? textLen : text.GetLength(),
                     brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
  }

  // Text.
  BOOL TextOut(int x, int y, LPCSTR text, int length) { return ::TextOut(m_hDC, x, y, text, length); }
  BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCSTR text, UINT length, const INT* dx) {
    return ::ExtTextOut(m_hDC, x, y, options, rect, text, length, dx);
  }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, const INT* dx) {
    return ExtTextOut(x, y, options, rect, text.GetString(), static_cast<UINT>(text.GetLength()), dx);
  }
  int DrawText(LPCSTR text, int length, LPRECT rect, UINT format) { return ::DrawText(m_hDC, text, length, rect, format); }
  int DrawText(const CString& text, LPRECT rect, UINT format) {
    return DrawText(text.GetString(), text.GetLength(), rect, format);
  }
  CSize GetTextExtent(LPCSTR text, int length) const {
    SIZE s{0, 0};
    ::GetTextExtentPoint32(m_hAttribDC, text, length, &s);
    return CSize(s);
  }
  CSize GetTextExtent(const CString& text) const { return GetTextExtent(text.GetString(), text.GetLength()); }
  CSize GetOutputTextExtent(LPCSTR text, int length) const {
    SIZE s{0, 0};
    ::GetTextExtentPoint32(m_hDC, text, length, &s);
    return CSize(s);
  }
  CSize GetOutputTextExtent(const CString& text) const { return GetOutputTextExtent(text.GetString(), text.GetLength()); }
  CSize GetTabbedTextExtent(LPCSTR text, int length, int tabCount, const INT* tabs) const {
    const DWORD v = ::GetTabbedTextExtent(m_hAttribDC, text, length, tabCount, tabs);
    return CSize(LOWORD(v), HIWORD(v));
  }
  BOOL GetTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetrics(m_hAttribDC, tm); }
  BOOL GetOutputTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetrics(m_hDC, tm); }
  int GetTextFace(int size, LPSTR face) const { return ::GetTextFace(m_hAttribDC, size, face); }
  int GetTextFace(CString& face) const;
};

// Device contexts of a window. The window layer supplies them (see
// platform/gdi/surface.h); without it these hold no device context.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};
  HWND m_hWnd = nullptr;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;
  HWND m_hWnd = nullptr;
};

class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;
  HWND m_hWnd = nullptr;
};
