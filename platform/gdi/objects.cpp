// The handle table, stock objects, pens, brushes, fonts, palettes and regions.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

struct Table {
  std::mutex mu;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> map;
  std::unordered_map<const Object*, std::uintptr_t> reverse;
  std::uintptr_t next = 0x10000;
};

Table& T() {
  static Table* t = new Table;  // lives to the end of the process
  return *t;
}

}  // namespace

void* AddObject(std::shared_ptr<Object> obj) {
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  const std::uintptr_t h = t.next;
  t.next += 0x10;
  t.reverse[obj.get()] = h;
  t.map.emplace(h, std::move(obj));
  return reinterpret_cast<void*>(h);
}

std::shared_ptr<Object> FindObject(const void* handle) {
  if (!handle) return nullptr;
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  auto it = t.map.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == t.map.end() ? nullptr : it->second;
}

bool RemoveObject(const void* handle) {
  std::shared_ptr<Object> keep;  // destroyed outside the lock
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  auto it = t.map.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == t.map.end()) return false;
  keep = it->second;
  t.reverse.erase(keep.get());
  t.map.erase(it);
  return true;
}

void* HandleOf(const Object* obj) {
  if (!obj) return nullptr;
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  auto it = t.reverse.find(obj);
  return it == t.reverse.end() ? nullptr : reinterpret_cast<void*>(it->second);
}

uint32_t Rop3(DWORD rop, uint32_t p, uint32_t s, uint32_t d) {
  const unsigned code = (rop >> 16) & 0xFFu;
  switch (code) {
    case 0xCC: return s | 0xFF000000u;
    case 0xF0: return p | 0xFF000000u;
    case 0xAA: return d | 0xFF000000u;
    case 0x00: return 0xFF000000u;
    case 0xFF: return 0xFFFFFFFFu;
    case 0x88: return (s & d) | 0xFF000000u;
    case 0xEE: return (s | d) | 0xFF000000u;
    case 0x66: return ((s ^ d) & 0xFFFFFFu) | 0xFF000000u;
    default: break;
  }
  uint32_t out = 0;
  for (unsigned k = 0; k < 8; ++k) {
    if (!(code & (1u << k))) continue;
    const uint32_t tp = (k & 4u) ? p : ~p;
    const uint32_t ts = (k & 2u) ? s : ~s;
    const uint32_t td = (k & 1u) ? d : ~d;
    out |= tp & ts & td;
  }
  return (out & 0xFFFFFFu) | 0xFF000000u;
}

const std::vector<PALETTEENTRY>& DefaultPaletteEntries() {
  // The 20 reserved colours of the system palette.
  static const std::vector<PALETTEENTRY> e = {
      {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
      {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
      {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
      {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0}};
  return e;
}

UINT NearestIndex(const std::vector<PALETTEENTRY>& entries, COLORREF c) {
  if (entries.empty()) return CLR_INVALID;
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  long best = -1;
  UINT bestIndex = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const long dr = entries[i].peRed - r, dg = entries[i].peGreen - g, db = entries[i].peBlue - b;
    const long d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < best) {
      best = d;
      bestIndex = static_cast<UINT>(i);
      if (d == 0) break;
    }
  }
  return bestIndex;
}

COLORREF ResolveColor(const DcAttrs& a, COLORREF c) {
  const DWORD kind = c >> 24;
  if (kind == 0x01) {  // PALETTEINDEX
    const auto& e = a.palette ? a.palette->entries : DefaultPaletteEntries();
    const UINT i = c & 0xFFFFu;
    if (i < e.size()) return RGB(e[i].peRed, e[i].peGreen, e[i].peBlue);
    return e.empty() ? 0 : RGB(e[0].peRed, e[0].peGreen, e[0].peBlue);
  }
  return c & 0x00FFFFFFu;
}

namespace {

std::shared_ptr<Object> MakeStock(int index) {
  auto pen = [](int style, COLORREF c) {
    auto p = std::make_shared<Pen>();
    p->style = style;
    p->width = 0;
    p->color = c;
    return p;
  };
  auto brush = [](UINT style, COLORREF c) {
    auto b = std::make_shared<Brush>();
    b->style = style;
    b->color = c;
    return b;
  };
  auto font = [](LONG h, LONG weight, const char* face, BYTE pitch) {
    auto f = std::make_shared<Font>();
    f->lf.lfHeight = h;
    f->lf.lfWeight = weight;
    f->lf.lfCharSet = DEFAULT_CHARSET;
    f->lf.lfPitchAndFamily = pitch;
    std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
    return f;
  };
  std::shared_ptr<Object> o;
  switch (index) {
    case WHITE_BRUSH: o = brush(BS_SOLID, RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = brush(BS_SOLID, RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = brush(BS_SOLID, RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = brush(BS_SOLID, RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = brush(BS_SOLID, RGB(0, 0, 0)); break;
    case NULL_BRUSH: o = brush(BS_NULL, 0); break;
    case WHITE_PEN: o = pen(PS_SOLID, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    case NULL_PEN: o = pen(PS_NULL, 0); break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: o = font(-13, FW_NORMAL, "Courier New", FIXED_PITCH | FF_MODERN); break;
    case ANSI_VAR_FONT: o = font(-11, FW_NORMAL, "MS Sans Serif", VARIABLE_PITCH | FF_SWISS); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: o = font(16, FW_BOLD, "System", VARIABLE_PITCH | FF_SWISS); break;
    case DEFAULT_GUI_FONT: o = font(-11, FW_NORMAL, "MS Shell Dlg", VARIABLE_PITCH | FF_SWISS); break;
    case DEFAULT_PALETTE: {
      auto p = std::make_shared<Palette>();
      p->entries = DefaultPaletteEntries();
      o = p;
      break;
    }
    case DC_BRUSH: {
      auto b = brush(BS_SOLID, RGB(255, 255, 255));
      b->dcBrush = true;
      o = b;
      break;
    }
    case DC_PEN: {
      auto p = pen(PS_SOLID, 0);
      p->dcPen = true;
      o = p;
      break;
    }
    default: return nullptr;
  }
  o->stock = true;
  AddObject(o);
  return o;
}

}  // namespace

std::shared_ptr<Object> StockObject(int index) {
  static std::mutex mu;
  static std::shared_ptr<Object> stock[20];
  if (index < 0 || index >= 20) return nullptr;
  std::lock_guard<std::mutex> g(mu);
  if (!stock[index]) stock[index] = MakeStock(index);
  return stock[index];
}

std::shared_ptr<Bitmap> StockBitmap() {
  static std::shared_ptr<Bitmap> b = [] {
    auto bm = std::make_shared<Bitmap>();
    bm->bpp = 1;
    bm->img = QImage(1, 1, QImage::Format_RGB32);
    bm->img.fill(0xFF000000u);
    bm->stock = true;
    AddObject(bm);
    return bm;
  }();
  return b;
}

std::shared_ptr<Brush> SysColorBrush(int index) {
  static std::mutex mu;
  static std::shared_ptr<Brush> brushes[31];
  if (index < 0 || index > 30) return nullptr;
  std::lock_guard<std::mutex> g(mu);
  if (!brushes[index]) {
    auto b = std::make_shared<Brush>();
    b->color = ::GetSysColor(index);
    b->stock = true;
    AddObject(b);
    brushes[index] = b;
  }
  return brushes[index];
}

}  // namespace qmgdi

using namespace qmgdi;

int QmMulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const long long p = static_cast<long long>(number) * numerator;
  long long q = p / denominator;
  const long long r = p % denominator;
  if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(denominator))) q += ((p < 0) != (denominator < 0)) ? -1 : 1;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int>(q);
}

HGDIOBJ GetStockObject(int index) {
  auto o = StockObject(index);
  if (!o) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return HandleOf(o.get());
}

DWORD GetObjectType(HGDIOBJ obj) {
  auto o = FindObject(obj);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  switch (o->kind) {
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Region: return OBJ_REGION;
    case Kind::Palette: return OBJ_PAL;
    case Kind::Dc: return static_cast<Dc&>(*o).type == Dc::Memory ? OBJ_MEMDC : OBJ_DC;
    default: return 0;
  }
}

BOOL DeleteObject(HGDIOBJ obj) {
  auto o = FindObject(obj);
  if (!o || o->kind == Kind::Dc || o->kind == Kind::Icon || o->kind == Kind::ImageList) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (o->stock) return TRUE;
  if (o->kind == Kind::Bitmap && static_cast<Bitmap&>(*o).selectedIn > 0) {
    // A bitmap selected into a device context stays until it is deselected.
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RemoveObject(obj);
  ForgetTemporary(obj);
  return TRUE;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
  auto o = FindObject(obj);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  auto put = [&](const void* src, int n) -> int {
    if (!out) return n;
    const int k = std::min(n, size);
    if (k <= 0) return 0;
    std::memcpy(out, src, static_cast<size_t>(k));
    return k;
  };
  switch (o->kind) {
    case Kind::Pen: {
      auto& p = static_cast<Pen&>(*o);
      LOGPEN lp{static_cast<UINT>(p.style), {p.width, 0}, p.color};
      return put(&lp, sizeof lp);
    }
    case Kind::Brush: {
      auto& b = static_cast<Brush&>(*o);
      LOGBRUSH lb{b.style, b.color, static_cast<std::uintptr_t>(b.hatch)};
      return put(&lb, sizeof lb);
    }
    case Kind::Font: return put(&static_cast<Font&>(*o).lf, sizeof(LOGFONT));
    case Kind::Palette: {
      const WORD n = static_cast<WORD>(static_cast<Palette&>(*o).entries.size());
      return put(&n, sizeof n);
    }
    case Kind::Bitmap: {
      auto& b = static_cast<Bitmap&>(*o);
      DIBSECTION ds{};
      ds.dsBm.bmType = 0;
      ds.dsBm.bmWidth = b.img.width();
      ds.dsBm.bmHeight = b.img.height();
      ds.dsBm.bmPlanes = 1;
      ds.dsBm.bmBitsPixel = static_cast<WORD>(b.bpp);
      if (b.dibSection) {
        ds.dsBm.bmWidthBytes = static_cast<LONG>(DibRowStride(b.img.width(), b.bpp));
        ds.dsBm.bmBits = b.dibStore.data();
        ds.dsBmih = b.dibHeader;
        std::memcpy(ds.dsBitfields, b.dibMasks, sizeof ds.dsBitfields);
        if (size >= static_cast<int>(sizeof(DIBSECTION))) return put(&ds, sizeof ds);
      } else {
        ds.dsBm.bmWidthBytes = ((b.img.width() * b.bpp + 15) / 16) * 2;
      }
      return put(&ds.dsBm, sizeof(BITMAP));
    }
    default: SetLastError(ERROR_INVALID_HANDLE); return 0;
  }
}

// ---- pens and brushes ---------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
  const int s = style & PS_STYLE_MASK;
  if (s > PS_INSIDEFRAME) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = std::make_shared<Pen>();
  p->style = style;
  p->width = std::max(0, width);
  p->color = color;
  return static_cast<HPEN>(AddObject(p));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_shared<Brush>();
  b->color = color;
  return static_cast<HBRUSH>(AddObject(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = std::make_shared<Brush>();
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = color;
  return static_cast<HBRUSH>(AddObject(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  auto bm = FindBitmap(bitmap);
  if (!bm) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto b = std::make_shared<Brush>();
  b->style = BS_PATTERN;
  b->pattern = BitmapImage(*bm).copy();
  b->patternMono = bm->Mono();
  b->hatch = 0;
  return static_cast<HBRUSH>(AddObject(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default: SetLastError(ERROR_NOT_SUPPORTED); return nullptr;
  }
}

HBRUSH GetSysColorBrush(int index) {
  auto b = SysColorBrush(index);
  if (!b) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HBRUSH>(HandleOf(b.get()));
}

void qmgdi::BrushFill::Init(const DcAttrs& attrs, const Brush* b, int rop) {
  a = &attrs;
  brush = b;
  rop2 = rop;
  none = !b || b->style == BS_NULL;
  isSolid = !none && b->style == BS_SOLID;
  if (isSolid) solid = ToPixel(ResolveColor(attrs, b->dcBrush ? attrs.dcBrushColor : b->color));
  org = QPoint(attrs.brushOrg.x, attrs.brushOrg.y);
}

uint32_t qmgdi::BrushFill::At(int x, int y) const {
  if (isSolid) return solid;
  const int px = ((x - org.x()) % 8 + 8) % 8, py = ((y - org.y()) % 8 + 8) % 8;
  if (brush->style == BS_HATCHED) {
    bool on = false;
    switch (brush->hatch) {
      case HS_HORIZONTAL: on = py == 7; break;
      case HS_VERTICAL: on = px == 7; break;
      case HS_FDIAGONAL: on = px == py; break;
      case HS_BDIAGONAL: on = px == 7 - py; break;
      case HS_CROSS: on = px == 7 || py == 7; break;
      case HS_DIAGCROSS: on = px == py || px == 7 - py; break;
    }
    // Hatch lines take the brush colour; the gaps the background colour.
    return ToPixel(ResolveColor(*a, on ? brush->color : a->bk));
  }
  if (brush->style == BS_PATTERN && !brush->pattern.isNull()) {
    const int w = brush->pattern.width(), h = brush->pattern.height();
    const int qx = ((x - org.x()) % w + w) % w, qy = ((y - org.y()) % h + h) % h;
    const uint32_t p = reinterpret_cast<const uint32_t*>(brush->pattern.constScanLine(qy))[qx] | 0xFF000000u;
    if (brush->patternMono) return p == 0xFF000000u ? ToPixel(a->text) : ToPixel(a->bk);
    return p;
  }
  return ToPixel(ResolveColor(*a, brush->color));
}

void qmgdi::BrushFill::Span(Target& t, int y, int x0, int x1) {
  if (none) return;
  t.ForSpan(y, x0, x1, [&](int yy, int a0, int a1) {
    uint32_t* row = t.Row(yy);
    if (isSolid && rop2 == R2_COPYPEN) {
      std::fill(row + a0, row + a1, solid);
      return;
    }
    for (int x = a0; x < a1; ++x) row[x] = Rop2(rop2, At(x, yy), row[x]);
  });
}

// ---- palettes ---------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palVersion != 0x300 || lp->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = std::make_shared<Palette>();
  p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
  return static_cast<HPALETTE>(AddObject(p));
}

HPALETTE CreateHalftonePalette(HDC) {
  auto p = std::make_shared<Palette>();
  p->entries = DefaultPaletteEntries();
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p->entries.push_back({static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51), 0});
  return static_cast<HPALETTE>(AddObject(p));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  auto p = FindPalette(palette);
  if (!p) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const UINT n = static_cast<UINT>(p->entries.size());
  if (!entries) return n;
  if (start >= n) return 0;
  const UINT k = std::min(count, n - start);
  std::copy(p->entries.begin() + start, p->entries.begin() + start + k, entries);
  return k;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
  auto p = FindPalette(palette);
  if (!p || p->stock || !entries) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const UINT n = static_cast<UINT>(p->entries.size());
  if (start >= n) return 0;
  const UINT k = std::min(count, n - start);
  std::copy(entries, entries + k, p->entries.begin() + start);
  return k;
}

BOOL ResizePalette(HPALETTE palette, UINT count) {
  auto p = FindPalette(palette);
  if (!p || p->stock || count == 0 || count > 1024) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  p->entries.resize(count, PALETTEENTRY{0, 0, 0, 0});
  return TRUE;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
  auto p = FindPalette(palette);
  if (!p) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CLR_INVALID;
  }
  return NearestIndex(p->entries, color);
}

// ---- regions ------------------------------------------------------------------

namespace {

HRGN NewRegion(QRegion r) {
  auto g = std::make_shared<Region>();
  g->rgn = std::move(r);
  return static_cast<HRGN>(AddObject(g));
}

QRect RectFrom(int l, int t, int r, int b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return QRect(l, t, r - l, b - t);
}

int Complexity(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) { return NewRegion(QRegion(RectFrom(left, top, right, bottom))); }
HRGN CreateRectRgnIndirect(LPCRECT r) {
  if (!r) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  SpanList spans;
  EllipseSpans(RectFrom(left, top, right, bottom), spans);
  return NewRegion(SpansToRegion(spans));
}
HRGN CreateEllipticRgnIndirect(LPCRECT r) {
  if (!r) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateEllipticRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ew, int eh) {
  SpanList spans;
  RoundRectSpans(RectFrom(left, top, right, bottom), ew, eh, spans);
  return NewRegion(SpansToRegion(spans));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<QPointF> pts;
  for (int i = 0; i < count; ++i) pts.emplace_back(points[i].x, points[i].y);
  SpanList spans;
  PolygonSpans(pts, {count}, fillMode, spans);
  return NewRegion(SpansToRegion(spans));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  auto d = FindRegion(dest);
  auto a = FindRegion(src1);
  auto b = mode == RGN_COPY ? a : FindRegion(src2);
  if (!d || !a || !b || mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  QRegion r;
  switch (mode) {
    case RGN_AND: r = a->rgn.intersected(b->rgn); break;
    case RGN_OR: r = a->rgn.united(b->rgn); break;
    case RGN_XOR: r = a->rgn.xored(b->rgn); break;
    case RGN_DIFF: r = a->rgn.subtracted(b->rgn); break;
    default: r = a->rgn; break;
  }
  d->rgn = r;
  return Complexity(d->rgn);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  auto g = FindRegion(rgn);
  if (!g) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  g->rgn = QRegion(RectFrom(left, top, right, bottom));
  return TRUE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  auto g = FindRegion(rgn);
  if (!g) {
    SetLastError(ERROR_INVALID_HANDLE);
    return ERROR;
  }
  g->rgn.translate(dx, dy);
  return Complexity(g->rgn);
}

int GetRgnBox(HRGN rgn, LPRECT rect) {
  auto g = FindRegion(rgn);
  if (!g || !rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  const QRect b = g->rgn.boundingRect();
  if (g->rgn.isEmpty()) *rect = RECT{0, 0, 0, 0};
  else *rect = RECT{b.left(), b.top(), b.right() + 1, b.bottom() + 1};
  return Complexity(g->rgn);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  auto g = FindRegion(rgn);
  return g && g->rgn.contains(QPoint(x, y));
}

BOOL RectInRegion(HRGN rgn, LPCRECT rect) {
  auto g = FindRegion(rgn);
  if (!g || !rect) return FALSE;
  return g->rgn.intersects(RectFrom(rect->left, rect->top, rect->right, rect->bottom));
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto x = FindRegion(a), y = FindRegion(b);
  if (!x || !y) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return x->rgn.xored(y->rgn).isEmpty();
}
