// Inside the drawing stand-in: the objects behind the handles, device
// context state, and the pixel writer every drawing call goes through.
// Not for program code (it includes Qt).
#pragma once

#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QRegion>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/surface.h"

namespace qmgdi {

enum class Kind { Pen, Brush, Font, Bitmap, Region, Palette, Icon, ImageList, Dc };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  bool stock = false;  // stock objects are never deleted
};

struct Pen : Object {
  Pen() : Object(Kind::Pen) {}
  int style = PS_SOLID;  // full style word
  int width = 0;
  COLORREF color = 0;
  bool dcPen = false;  // DC_PEN: takes the colour of the device context
  int Style() const { return style & PS_STYLE_MASK; }
};

struct Bitmap;

struct Brush : Object {
  Brush() : Object(Kind::Brush) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  bool dcBrush = false;    // DC_BRUSH
  QImage pattern;          // BS_PATTERN: the pattern's pixels (RGB32)
  bool patternMono = false;
};

struct FontFace;  // realised font, text.cpp

struct Font : Object {
  Font() : Object(Kind::Font) {}
  LOGFONT lf{};
};

struct Bitmap : Object {
  Bitmap() : Object(Kind::Bitmap) {}
  // A large picture goes back to the kept images (dib.cpp).
  ~Bitmap() override;
  QImage img;         // Format_RGB32, always 0xFF in the top byte
  int bpp = 32;       // as created; 1 = monochrome
  SIZE dimension{0, 0};
  std::vector<RGBQUAD> table;  // colour table remembered from a DIB of <= 8 bits
  int tableBpp = 0;
  int selectedIn = 0;  // device contexts that hold it
  // DIB section: the caller-visible bits are the master copy.
  bool dibSection = false;
  std::vector<unsigned char> dibStore;
  BITMAPINFOHEADER dibHeader{};
  DWORD dibMasks[3] = {0, 0, 0};
  bool Mono() const { return bpp == 1; }
};

struct Region : Object {
  Region() : Object(Kind::Region) {}
  QRegion rgn;
};

struct Palette : Object {
  Palette() : Object(Kind::Palette) {}
  std::vector<PALETTEENTRY> entries;
};

struct Icon : Object {
  Icon() : Object(Kind::Icon) {}
  bool isIcon = true;
  QPoint hotspot;
  int width = 0, height = 0;
  QImage color;             // ARGB32 (alpha used when hasAlpha)
  std::vector<uint8_t> andMask;  // 1 = the screen shows through (width x height)
  bool hasAlpha = false;
  int standardId = 0;       // standard cursors and icons
};

struct DcAttrs {
  std::shared_ptr<Pen> pen;
  std::shared_ptr<Brush> brush;
  std::shared_ptr<Font> font;
  std::shared_ptr<Bitmap> bitmap;
  std::shared_ptr<Palette> palette;
  COLORREF text = 0;
  COLORREF bk = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFill = ALTERNATE;
  int arcDir = AD_COUNTERCLOCKWISE;
  UINT textAlign = 0;
  int mapMode = MM_TEXT;
  POINT wOrg{0, 0}, vOrg{0, 0};
  SIZE wExt{1, 1}, vExt{1, 1};
  POINT cur{0, 0};
  POINT brushOrg{0, 0};
  bool hasClip = false;
  QRegion clip;  // device units
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0;
};

struct Dc : Object {
  Dc() : Object(Kind::Dc) {}
  enum Type { Memory, Screen, Surface } type = Memory;
  DcAttrs a;
  std::vector<DcAttrs> saved;
  std::shared_ptr<CDrawSurface> surface;
  HWND hwnd = nullptr;
};

// ---- handle table -------------------------------------------------------
void* AddObject(std::shared_ptr<Object> obj);
std::shared_ptr<Object> FindObject(const void* handle);
bool RemoveObject(const void* handle);
void* HandleOf(const Object* obj);  // the handle of a live object, or null

template <class T>
std::shared_ptr<T> Find(const void* handle, Kind kind) {
  auto o = FindObject(handle);
  if (!o || o->kind != kind) return nullptr;
  return std::static_pointer_cast<T>(o);
}
inline std::shared_ptr<Dc> FindDc(HDC h) { return Find<Dc>(h, Kind::Dc); }
inline std::shared_ptr<Bitmap> FindBitmap(HBITMAP h) { return Find<Bitmap>(h, Kind::Bitmap); }
inline std::shared_ptr<Brush> FindBrush(HBRUSH h) { return Find<Brush>(h, Kind::Brush); }
inline std::shared_ptr<Pen> FindPen(HPEN h) { return Find<Pen>(h, Kind::Pen); }
inline std::shared_ptr<Font> FindFont(HFONT h) { return Find<Font>(h, Kind::Font); }
inline std::shared_ptr<Region> FindRegion(HRGN h) { return Find<Region>(h, Kind::Region); }
inline std::shared_ptr<Palette> FindPalette(HPALETTE h) { return Find<Palette>(h, Kind::Palette); }
inline std::shared_ptr<Icon> FindIcon(HICON h) { return Find<Icon>(h, Kind::Icon); }

std::shared_ptr<Object> StockObject(int index);
std::shared_ptr<Bitmap> StockBitmap();  // the 1 x 1 monochrome bitmap of new memory DCs
std::shared_ptr<Brush> SysColorBrush(int index);

// ---- colours --------------------------------------------------------------
inline uint32_t ToPixel(COLORREF c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ToColorref(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
// The nearest of black and white for monochrome surfaces.
inline uint32_t ToMono(uint32_t p) {
  const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return (r * 299 + g * 587 + b * 114) >= 128000 ? 0xFFFFFFFFu : 0xFF000000u;
}
// A COLORREF with the palette-index and palette-relative forms resolved
// through the DC's palette.
COLORREF ResolveColor(const DcAttrs& a, COLORREF c);
// The nearest entry of a palette (squared distance, lowest index on ties).
UINT NearestIndex(const std::vector<PALETTEENTRY>& entries, COLORREF c);
const std::vector<PALETTEENTRY>& DefaultPaletteEntries();

// Binary raster operation on pixels (pen P, destination D), 24 bits.
inline uint32_t Rop2(int rop, uint32_t p, uint32_t d) {
  const unsigned r = static_cast<unsigned>(rop - 1) & 15u;
  uint32_t out = 0;
  if (r & 1u) out |= ~p & ~d;
  if (r & 2u) out |= ~p & d;
  if (r & 4u) out |= p & ~d;
  if (r & 8u) out |= p & d;
  return (out & 0xFFFFFFu) | 0xFF000000u;
}
// Ternary raster operation (pattern P, source S, destination D), 24 bits.
uint32_t Rop3(DWORD rop, uint32_t p, uint32_t s, uint32_t d);

// ---- coordinates -------------------------------------------------------------
QPoint ToDevice(const DcAttrs& a, int x, int y);
QPoint ToLogical(const DcAttrs& a, int x, int y);
// A logical rectangle in device units (normalised only when asked).
QRect ToDeviceRect(const DcAttrs& a, int l, int t, int r, int b);
double ScaleX(const DcAttrs& a);
double ScaleY(const DcAttrs& a);

// ---- the pixel target of one drawing call -----------------------------------
struct Target {
  QImage* img = nullptr;
  QPoint origin;        // device (0, 0) inside the image
  QRect bounds;         // device rectangle of the surface
  bool mono = false;
  bool rectOnly = true;  // clipping is the rectangle `clipRect`
  QRect clipRect;
  QRegion clip;
  Bitmap* bitmap = nullptr;   // memory DCs
  CDrawSurface* surface = nullptr;
  QRect touched;              // device rectangle written

  uint32_t* Row(int y) const { return reinterpret_cast<uint32_t*>(img->scanLine(y + origin.y())) + origin.x(); }
  bool Visible(int x, int y) const {
    if (rectOnly) return clipRect.contains(x, y);
    return clip.contains(QPoint(x, y));
  }
  // Calls f(y, x0, x1) for the visible parts of a span [x0, x1).
  template <class F>
  void ForSpan(int y, int x0, int x1, F&& f) {
    if (x0 >= x1) return;
    if (rectOnly) {
      if (y < clipRect.top() || y > clipRect.bottom()) return;
      const int a = std::max(x0, clipRect.left()), b = std::min(x1, clipRect.right() + 1);
      if (a < b) { f(y, a, b); Touch(y, a, b); }
      return;
    }
    for (const QRect& r : clip) {
      if (y < r.top() || y > r.bottom()) continue;
      const int a = std::max(x0, r.left()), b = std::min(x1, r.right() + 1);
      if (a < b) { f(y, a, b); Touch(y, a, b); }
    }
  }
  void Touch(int y, int a, int b) { touched |= QRect(a, y, b - a, 1); }
};

// Prepares the target of a DC; false (last error set) when it has none.
bool BeginTarget(Dc& dc, Target& t);
// Finishes a call that wrote pixels: monochrome thresholding, DIB-section
// write-back, surface notification.
void EndTarget(Target& t);
// Reading target for a source DC (no clipping).
bool SourceImage(Dc& dc, Target& t);

// DIB-section syncing (dib.cpp).
// Runs work(first, end) over [0, rows) in up to four bands of rows on
// threads when the rows hold many pixels (each band must stand alone).
void InRowBands(UINT rows, long long pixels, const std::function<void(UINT, UINT)>& work);
void LoadDibSection(Bitmap& b);
void StoreDibSection(Bitmap& b, const QRect& r);

// Fills spans with a brush under the DC's raster operation (rop2 0 = copy).
struct BrushFill {
  const DcAttrs* a = nullptr;
  const Brush* brush = nullptr;
  uint32_t solid = 0;
  bool isSolid = true;
  bool none = false;
  int rop2 = R2_COPYPEN;
  QPoint org;  // brush origin in device units
  void Init(const DcAttrs& attrs, const Brush* b, int rop);
  uint32_t At(int x, int y) const;
  void Span(Target& t, int y, int x0, int x1);
};

// Rasterisers (raster.cpp). Spans are half-open [x0, x1) on row y.
using SpanList = std::vector<QRect>;  // each rect one row high
void EllipseSpans(const QRect& box, SpanList& out);
QRegion SpansToRegion(const SpanList& spans);
void RoundRectSpans(const QRect& box, int ew, int eh, SpanList& out);
// Vertices at whole coordinates are pixel centres (offset 0, as for
// Polygon); continuous geometry passes 0.5.
void PolygonSpans(const std::vector<QPointF>& pts, const std::vector<int>& counts, int fillMode, SpanList& out,
                  double centre = 0.0);

// Text (text.cpp).
struct FontFace;
std::shared_ptr<FontFace> Realize(const LOGFONT& lf, double scaleY);
std::u16string DecodeText(const FontFace& f, const char* text, int length);
int TextWidth(const FontFace& f, const std::u16string& s, std::vector<int>* advances = nullptr);
void FaceMetrics(const FontFace& f, int& ascent, int& descent, int& internalLeading, int& avgWidth, int& maxWidth);
// Draws text on the target with the DC's colours; (x, y) is the cell's top-left in device units.
void DrawGlyphs(Target& t, const FontFace& f, const std::u16string& s, const std::vector<int>& advances, int x, int y,
                uint32_t color);
// The family a Windows face name is drawn with.
QString MapFaceName(const char* face, BYTE charset, BYTE pitchAndFamily);

// Icons (icons.cpp): draws an icon's image at a size on a target.
void PaintIcon(Target& t, const Icon& icon, const QRect& dst, UINT flags);

// QImage of a bitmap for reading (DIB sections loaded first).
const QImage& BitmapImage(Bitmap& b);

// Temporary MFC wrappers of a deleted handle go with it (afxgdi.cpp).
void ForgetTemporary(void* handle);
void ForgetTemporaryDC(HDC hdc);
// The window handle of a CWnd, through the window layer's function.
HWND HandleOfCWnd(CWnd* wnd);

}  // namespace qmgdi
