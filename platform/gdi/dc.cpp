// Device contexts: creation, selected objects, attributes, saved states,
// coordinate mapping, clipping, and the pixel target of a drawing call.
#include <algorithm>
#include <cmath>

#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

IWindowDCProvider* g_provider = nullptr;

void InitAttrs(DcAttrs& a) {
  a.pen = std::static_pointer_cast<Pen>(StockObject(BLACK_PEN));
  a.brush = std::static_pointer_cast<Brush>(StockObject(WHITE_BRUSH));
  a.font = std::static_pointer_cast<Font>(StockObject(SYSTEM_FONT));
  a.palette = std::static_pointer_cast<Palette>(StockObject(DEFAULT_PALETTE));
}

HDC NewDc(Dc::Type type) {
  auto dc = std::make_shared<Dc>();
  dc->type = type;
  InitAttrs(dc->a);
  if (type == Dc::Memory) {
    dc->a.bitmap = StockBitmap();
  }
  return static_cast<HDC>(AddObject(dc));
}

void SetBitmap(DcAttrs& a, std::shared_ptr<Bitmap> b) {
  if (a.bitmap == b) return;
  if (a.bitmap && !a.bitmap->stock) --a.bitmap->selectedIn;
  a.bitmap = std::move(b);
  if (a.bitmap && !a.bitmap->stock) ++a.bitmap->selectedIn;
}

QRect DeviceBounds(const Dc& dc) {
  if (dc.type == Dc::Memory && dc.a.bitmap) return QRect(QPoint(0, 0), dc.a.bitmap->img.size());
  if (dc.type == Dc::Surface && dc.surface) return QRect(QPoint(0, 0), dc.surface->SurfaceSize());
  if (dc.type == Dc::Screen) return QRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  return QRect();
}

// The region drawing may reach, in device units.
QRegion VisibleRegion(const Dc& dc) {
  QRegion r(DeviceBounds(dc));
  if (dc.type == Dc::Surface && dc.surface) {
    const QRegion s = dc.surface->SurfaceClip();
    if (!s.isEmpty()) r &= s;
  }
  if (dc.a.hasClip) r &= dc.a.clip;
  return r;
}

int Complexity(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

double ScaleX(const DcAttrs& a) {
  if (a.mapMode == MM_TEXT || a.wExt.cx == 0) return 1.0;
  return static_cast<double>(a.vExt.cx) / a.wExt.cx;
}
double ScaleY(const DcAttrs& a) {
  if (a.mapMode == MM_TEXT || a.wExt.cy == 0) return 1.0;
  return static_cast<double>(a.vExt.cy) / a.wExt.cy;
}

QPoint ToDevice(const DcAttrs& a, int x, int y) {
  if (a.mapMode == MM_TEXT) return QPoint(x - a.wOrg.x + a.vOrg.x, y - a.wOrg.y + a.vOrg.y);
  const double dx = std::floor((x - a.wOrg.x) * ScaleX(a) + 0.5) + a.vOrg.x;
  const double dy = std::floor((y - a.wOrg.y) * ScaleY(a) + 0.5) + a.vOrg.y;
  return QPoint(static_cast<int>(dx), static_cast<int>(dy));
}

QPoint ToLogical(const DcAttrs& a, int x, int y) {
  if (a.mapMode == MM_TEXT) return QPoint(x - a.vOrg.x + a.wOrg.x, y - a.vOrg.y + a.wOrg.y);
  const double sx = ScaleX(a), sy = ScaleY(a);
  const double lx = std::floor((x - a.vOrg.x) / (sx == 0 ? 1 : sx) + 0.5) + a.wOrg.x;
  const double ly = std::floor((y - a.vOrg.y) / (sy == 0 ? 1 : sy) + 0.5) + a.wOrg.y;
  return QPoint(static_cast<int>(lx), static_cast<int>(ly));
}

QRect ToDeviceRect(const DcAttrs& a, int l, int t, int r, int b) {
  const QPoint p = ToDevice(a, l, t), q = ToDevice(a, r, b);
  const int x0 = std::min(p.x(), q.x()), x1 = std::max(p.x(), q.x());
  const int y0 = std::min(p.y(), q.y()), y1 = std::max(p.y(), q.y());
  return QRect(x0, y0, x1 - x0, y1 - y0);
}

bool BeginTarget(Dc& dc, Target& t) {
  t = Target();
  if (dc.type == Dc::Memory) {
    Bitmap* b = dc.a.bitmap.get();
    if (!b || b->img.isNull()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    if (b->dibSection) LoadDibSection(*b);
    t.img = &b->img;
    t.bitmap = b;
    t.mono = b->Mono();
    t.bounds = QRect(QPoint(0, 0), b->img.size());
  } else if (dc.type == Dc::Surface && dc.surface) {
    QImage* img = dc.surface->SurfaceImage();
    if (!img || img->isNull() || img->format() != QImage::Format_RGB32) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    t.img = img;
    t.surface = dc.surface.get();
    t.origin = dc.surface->SurfaceOrigin();
    // The device area never reaches outside the image.
    t.bounds = QRect(QPoint(0, 0), dc.surface->SurfaceSize()) & img->rect().translated(-t.origin);
  } else {
    // The screen itself is not drawn on.
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  QRegion extra;
  bool useRegion = false;
  if (t.surface) {
    const QRegion s = t.surface->SurfaceClip();
    if (!s.isEmpty()) {
      extra = s;
      useRegion = true;
    }
  }
  if (dc.a.hasClip) {
    extra = useRegion ? extra & dc.a.clip : dc.a.clip;
    useRegion = true;
  }
  if (!useRegion) {
    t.rectOnly = true;
    t.clipRect = t.bounds;
  } else {
    t.clip = extra & t.bounds;
    if (t.clip.rectCount() <= 1) {
      t.rectOnly = true;
      t.clipRect = t.clip.boundingRect();
    } else {
      t.rectOnly = false;
      t.clipRect = t.clip.boundingRect();
    }
  }
  return true;
}

void EndTarget(Target& t) {
  if (t.touched.isEmpty()) return;
  const QRect r = t.touched & t.bounds;
  if (t.mono) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      uint32_t* row = t.Row(y);
      for (int x = r.left(); x <= r.right(); ++x) row[x] = ToMono(row[x]);
    }
  }
  if (t.bitmap && t.bitmap->dibSection) StoreDibSection(*t.bitmap, r);
  if (t.surface) t.surface->SurfaceChanged(r);
}

bool SourceImage(Dc& dc, Target& t) {
  if (!BeginTarget(dc, t)) return false;
  t.rectOnly = true;
  t.clipRect = t.bounds;
  return true;
}

}  // namespace qmgdi

using namespace qmgdi;

// ---- creation -----------------------------------------------------------------

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !FindDc(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return NewDc(Dc::Memory);
}

BOOL DeleteDC(HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SetBitmap(dc->a, nullptr);
  RemoveObject(hdc);
  ForgetTemporaryDC(hdc);
  return TRUE;
}

HDC CreateSurfaceDC(std::shared_ptr<CDrawSurface> surface, HWND hwnd) {
  if (!surface) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HDC h = NewDc(Dc::Surface);
  auto dc = FindDc(h);
  dc->surface = std::move(surface);
  dc->hwnd = hwnd;
  return h;
}

HWND WindowFromDC(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->hwnd : nullptr;
}

void SetWindowDCProvider(IWindowDCProvider* provider) { g_provider = provider; }
IWindowDCProvider* GetWindowDCProvider() { return g_provider; }

HDC GetDC(HWND hwnd) {
  if (!hwnd) return NewDc(Dc::Screen);
  if (!g_provider) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return g_provider->GetDC(hwnd);
}

HDC GetWindowDC(HWND hwnd) {
  if (!hwnd) return NewDc(Dc::Screen);
  if (!g_provider) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return g_provider->GetWindowDC(hwnd);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) return 0;
  if (dc->type == Dc::Memory) return 0;
  if (hwnd && g_provider) return g_provider->ReleaseDC(hwnd, hdc);
  SetBitmap(dc->a, nullptr);
  RemoveObject(hdc);
  ForgetTemporaryDC(hdc);
  return 1;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  if (!hwnd || !ps || !g_provider) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return g_provider->BeginPaint(hwnd, ps);
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!hwnd || !ps || !g_provider) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return g_provider->EndPaint(hwnd, ps);
}

// ---- objects --------------------------------------------------------------------

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  auto dc = FindDc(hdc);
  auto o = FindObject(obj);
  if (!dc || !o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DcAttrs& a = dc->a;
  switch (o->kind) {
    case Kind::Pen: {
      void* old = HandleOf(a.pen.get());
      a.pen = std::static_pointer_cast<Pen>(o);
      return old;
    }
    case Kind::Brush: {
      void* old = HandleOf(a.brush.get());
      a.brush = std::static_pointer_cast<Brush>(o);
      return old;
    }
    case Kind::Font: {
      void* old = HandleOf(a.font.get());
      a.font = std::static_pointer_cast<Font>(o);
      return old;
    }
    case Kind::Bitmap: {
      auto b = std::static_pointer_cast<Bitmap>(o);
      if (dc->type != Dc::Memory) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      // A bitmap lives in one device context at a time.
      if (!b->stock && b->selectedIn > 0 && a.bitmap != b) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      void* old = HandleOf(a.bitmap.get());
      SetBitmap(a, b);
      return old;
    }
    case Kind::Region: {
      const int r = SelectClipRgn(hdc, static_cast<HRGN>(obj));
      return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(r));
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  switch (type) {
    case OBJ_PEN: return HandleOf(dc->a.pen.get());
    case OBJ_BRUSH: return HandleOf(dc->a.brush.get());
    case OBJ_FONT: return HandleOf(dc->a.font.get());
    case OBJ_BITMAP: return HandleOf(dc->a.bitmap.get());
    case OBJ_PAL: return HandleOf(dc->a.palette.get());
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  auto dc = FindDc(hdc);
  auto p = FindPalette(palette);
  if (!dc || !p) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* old = HandleOf(dc->a.palette.get());
  dc->a.palette = p;
  return static_cast<HPALETTE>(old);
}

UINT RealizePalette(HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return GDI_ERROR;
  }
  // A true-colour device: the palette maps colours for DIB_PAL_COLORS and
  // PALETTEINDEX, nothing changes in a system palette.
  return 0;
}

int SaveDC(HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  dc->saved.push_back(dc->a);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const int n = static_cast<int>(dc->saved.size());
  const int level = savedDC < 0 ? n + savedDC + 1 : savedDC;
  if (level < 1 || level > n) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DcAttrs s = dc->saved[static_cast<size_t>(level - 1)];
  dc->saved.resize(static_cast<size_t>(level - 1));
  auto bmp = s.bitmap;
  s.bitmap = dc->a.bitmap;
  dc->a = s;
  SetBitmap(dc->a, bmp);
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return QmMulDiv(w, 254, 960);
    case VERTSIZE: return QmMulDiv(h, 254, 960);
    case HORZRES:
    case DESKTOPHORZRES: return w;
    case VERTRES:
    case DESKTOPVERTRES: return h;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMFONTS: return 0;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case CURVECAPS: return 0xFF;
    case LINECAPS: return 0xFE;
    case POLYGONALCAPS: return 0xFF;
    case TEXTCAPS: return 0x7800;
    case CLIPCAPS: return 1;
    case SHADEBLENDCAPS: return 3;
    default: return 0;  // printer-only values
  }
}

// ---- attributes -------------------------------------------------------------------

#define QM_DC_OR(fail)                 \
  auto dc = FindDc(hdc);               \
  if (!dc) {                           \
    SetLastError(ERROR_INVALID_HANDLE); \
    return fail;                       \
  }

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  QM_DC_OR(CLR_INVALID);
  const COLORREF old = dc->a.text;
  dc->a.text = color;
  return old;
}
COLORREF GetTextColor(HDC hdc) {
  QM_DC_OR(CLR_INVALID);
  return dc->a.text;
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  QM_DC_OR(CLR_INVALID);
  const COLORREF old = dc->a.bk;
  dc->a.bk = color;
  return old;
}
COLORREF GetBkColor(HDC hdc) {
  QM_DC_OR(CLR_INVALID);
  return dc->a.bk;
}
int SetBkMode(HDC hdc, int mode) {
  QM_DC_OR(0);
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int old = dc->a.bkMode;
  dc->a.bkMode = mode;
  return old;
}
int GetBkMode(HDC hdc) {
  QM_DC_OR(0);
  return dc->a.bkMode;
}
int SetROP2(HDC hdc, int rop2) {
  QM_DC_OR(0);
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int old = dc->a.rop2;
  dc->a.rop2 = rop2;
  return old;
}
int GetROP2(HDC hdc) {
  QM_DC_OR(0);
  return dc->a.rop2;
}
int SetStretchBltMode(HDC hdc, int mode) {
  QM_DC_OR(0);
  if (mode < BLACKONWHITE || mode > HALFTONE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int old = dc->a.stretchMode;
  dc->a.stretchMode = mode;
  return old;
}
int GetStretchBltMode(HDC hdc) {
  QM_DC_OR(0);
  return dc->a.stretchMode;
}
int SetPolyFillMode(HDC hdc, int mode) {
  QM_DC_OR(0);
  if (mode != ALTERNATE && mode != WINDING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int old = dc->a.polyFill;
  dc->a.polyFill = mode;
  return old;
}
int GetPolyFillMode(HDC hdc) {
  QM_DC_OR(0);
  return dc->a.polyFill;
}
UINT SetTextAlign(HDC hdc, UINT align) {
  QM_DC_OR(GDI_ERROR);
  const UINT old = dc->a.textAlign;
  dc->a.textAlign = align;
  return old;
}
UINT GetTextAlign(HDC hdc) {
  QM_DC_OR(GDI_ERROR);
  return dc->a.textAlign;
}
int SetArcDirection(HDC hdc, int direction) {
  QM_DC_OR(0);
  if (direction != AD_CLOCKWISE && direction != AD_COUNTERCLOCKWISE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int old = dc->a.arcDir;
  dc->a.arcDir = direction;
  return old;
}
int GetArcDirection(HDC hdc) {
  QM_DC_OR(0);
  return dc->a.arcDir;
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.brushOrg;
  dc->a.brushOrg = POINT{x, y};
  return TRUE;
}
BOOL GetBrushOrgEx(HDC hdc, LPPOINT org) {
  QM_DC_OR(FALSE);
  if (org) *org = dc->a.brushOrg;
  return TRUE;
}
COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
  QM_DC_OR(CLR_INVALID);
  const COLORREF old = dc->a.dcBrushColor;
  dc->a.dcBrushColor = color;
  return old;
}
COLORREF SetDCPenColor(HDC hdc, COLORREF color) {
  QM_DC_OR(CLR_INVALID);
  const COLORREF old = dc->a.dcPenColor;
  dc->a.dcPenColor = color;
  return old;
}
COLORREF GetNearestColor(HDC hdc, COLORREF color) {
  QM_DC_OR(CLR_INVALID);
  return ResolveColor(dc->a, color);
}

// ---- coordinates -----------------------------------------------------------------

int SetMapMode(HDC hdc, int mode) {
  QM_DC_OR(0);
  if (mode < MM_TEXT || mode > MM_ANISOTROPIC) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DcAttrs& a = dc->a;
  const int old = a.mapMode;
  a.mapMode = mode;
  auto fixed = [&](int units) {
    a.wExt = SIZE{units, units};
    a.vExt = SIZE{96, -96};
  };
  switch (mode) {
    case MM_TEXT: a.wExt = SIZE{1, 1}; a.vExt = SIZE{1, 1}; break;
    case MM_LOMETRIC: fixed(254); break;
    case MM_HIMETRIC: fixed(2540); break;
    case MM_LOENGLISH: fixed(100); break;
    case MM_HIENGLISH: fixed(1000); break;
    case MM_TWIPS: fixed(1440); break;
    default: break;  // isotropic and anisotropic keep the extents
  }
  return old;
}
int GetMapMode(HDC hdc) {
  QM_DC_OR(0);
  return dc->a.mapMode;
}

namespace {

void Isotropic(DcAttrs& a) {
  if (a.mapMode != MM_ISOTROPIC || a.wExt.cx == 0 || a.wExt.cy == 0) return;
  const double sx = std::fabs(static_cast<double>(a.vExt.cx) / a.wExt.cx);
  const double sy = std::fabs(static_cast<double>(a.vExt.cy) / a.wExt.cy);
  if (sx > sy) a.vExt.cx = static_cast<LONG>(std::lround(a.vExt.cx * sy / sx));
  else if (sy > sx) a.vExt.cy = static_cast<LONG>(std::lround(a.vExt.cy * sx / sy));
}

}  // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.wOrg;
  dc->a.wOrg = POINT{x, y};
  return TRUE;
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT org) {
  QM_DC_OR(FALSE);
  if (org) *org = dc->a.wOrg;
  return TRUE;
}
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.wOrg;
  dc->a.wOrg.x += dx;
  dc->a.wOrg.y += dy;
  return TRUE;
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.vOrg;
  dc->a.vOrg = POINT{x, y};
  return TRUE;
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT org) {
  QM_DC_OR(FALSE);
  if (org) *org = dc->a.vOrg;
  return TRUE;
}
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.vOrg;
  dc->a.vOrg.x += dx;
  dc->a.vOrg.y += dy;
  return TRUE;
}
BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.wExt;
  if (dc->a.mapMode != MM_ISOTROPIC && dc->a.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  dc->a.wExt = SIZE{x, y};
  Isotropic(dc->a);
  return TRUE;
}
BOOL GetWindowExtEx(HDC hdc, LPSIZE ext) {
  QM_DC_OR(FALSE);
  if (ext) *ext = dc->a.wExt;
  return TRUE;
}
BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old) {
  QM_DC_OR(FALSE);
  if (old) *old = dc->a.vExt;
  if (dc->a.mapMode != MM_ISOTROPIC && dc->a.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  dc->a.vExt = SIZE{x, y};
  Isotropic(dc->a);
  return TRUE;
}
BOOL GetViewportExtEx(HDC hdc, LPSIZE ext) {
  QM_DC_OR(FALSE);
  if (ext) *ext = dc->a.vExt;
  return TRUE;
}
BOOL LPtoDP(HDC hdc, LPPOINT points, int count) {
  QM_DC_OR(FALSE);
  for (int i = 0; points && i < count; ++i) {
    const QPoint p = ToDevice(dc->a, points[i].x, points[i].y);
    points[i] = POINT{p.x(), p.y()};
  }
  return TRUE;
}
BOOL DPtoLP(HDC hdc, LPPOINT points, int count) {
  QM_DC_OR(FALSE);
  for (int i = 0; points && i < count; ++i) {
    const QPoint p = ToLogical(dc->a, points[i].x, points[i].y);
    points[i] = POINT{p.x(), p.y()};
  }
  return TRUE;
}

// ---- clipping -----------------------------------------------------------------------

int GetClipBox(HDC hdc, LPRECT rect) {
  QM_DC_OR(ERROR);
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  const QRegion vis = VisibleRegion(*dc);
  const QRect b = vis.boundingRect();
  if (vis.isEmpty()) {
    *rect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  const QPoint p = ToLogical(dc->a, b.left(), b.top());
  const QPoint q = ToLogical(dc->a, b.right() + 1, b.bottom() + 1);
  *rect = RECT{std::min(p.x(), q.x()), std::min(p.y(), q.y()), std::max(p.x(), q.x()), std::max(p.y(), q.y())};
  return Complexity(vis);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  QM_DC_OR(ERROR);
  const QRect r = ToDeviceRect(dc->a, left, top, right, bottom);
  dc->a.clip = (dc->a.hasClip ? dc->a.clip : QRegion(DeviceBounds(*dc))) & QRegion(r);
  dc->a.hasClip = true;
  return Complexity(VisibleRegion(*dc));
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  QM_DC_OR(ERROR);
  const QRect r = ToDeviceRect(dc->a, left, top, right, bottom);
  dc->a.clip = (dc->a.hasClip ? dc->a.clip : QRegion(DeviceBounds(*dc))).subtracted(QRegion(r));
  dc->a.hasClip = true;
  return Complexity(VisibleRegion(*dc));
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  QM_DC_OR(ERROR);
  if (dc->a.hasClip)
    dc->a.clip.translate(static_cast<int>(std::lround(dx * ScaleX(dc->a))), static_cast<int>(std::lround(dy * ScaleY(dc->a))));
  return Complexity(VisibleRegion(*dc));
}

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  QM_DC_OR(ERROR);
  if (!rgn) {
    if (mode != RGN_COPY) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    dc->a.hasClip = false;
    dc->a.clip = QRegion();
    return Complexity(VisibleRegion(*dc));
  }
  auto r = FindRegion(rgn);
  if (!r) {
    SetLastError(ERROR_INVALID_HANDLE);
    return ERROR;
  }
  const QRegion cur = dc->a.hasClip ? dc->a.clip : QRegion(DeviceBounds(*dc));
  switch (mode) {
    case RGN_COPY: dc->a.clip = r->rgn; break;
    case RGN_AND: dc->a.clip = cur & r->rgn; break;
    case RGN_OR: dc->a.clip = cur | r->rgn; break;
    case RGN_XOR: dc->a.clip = cur ^ r->rgn; break;
    case RGN_DIFF: dc->a.clip = cur.subtracted(r->rgn); break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return ERROR;
  }
  dc->a.hasClip = true;
  return Complexity(VisibleRegion(*dc));
}

int GetClipRgn(HDC hdc, HRGN rgn) {
  QM_DC_OR(-1);
  auto r = FindRegion(rgn);
  if (!r) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  if (!dc->a.hasClip) return 0;
  r->rgn = dc->a.clip;
  return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  QM_DC_OR(FALSE);
  const QPoint p = ToDevice(dc->a, x, y);
  return VisibleRegion(*dc).contains(p);
}

BOOL RectVisible(HDC hdc, LPCRECT rect) {
  QM_DC_OR(FALSE);
  if (!rect) return FALSE;
  return VisibleRegion(*dc).intersects(ToDeviceRect(dc->a, rect->left, rect->top, rect->right, rect->bottom));
}
