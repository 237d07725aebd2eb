// Metafiles kept as their bits and played through the drawing calls. The
// player keeps the metafile's own mapping (map mode, window and viewport,
// the enhanced metafile's world transform) and turns every coordinate into
// device units of the target itself; the target device context draws in
// MM_TEXT meanwhile, so every shape goes through the ordinary calls and
// their pixel rules. Every size, count, offset, object index and bitmap is
// checked against its record before use; a malformed record ends playing
// with failure.
#include "platform/gdi/metafile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Corrupt {};

struct PtF {
  double x = 0, y = 0;
  PtF() = default;
  PtF(double px, double py) : x(px), y(py) {}
};

// ---- The metafiles behind the handles ----------------------------------------------

struct Meta {
  bool wmf = false;
  std::vector<BYTE> bits;
  ENHMETAHEADER header{};
  std::vector<PALETTEENTRY> palette;
  METAFILEPICT picture{};
  // A Windows metafile's window: the frame it is stretched from.
  double winX = 0, winY = 0, winW = 0, winH = 0;
  int wmfObjects = 0;
};

std::mutex g_mu;
std::map<std::uintptr_t, std::shared_ptr<Meta>> g_metas;
std::uintptr_t g_next = 0x4D000;
thread_local QmMetafilePlayCounts g_counts;

HENHMETAFILE AddMeta(std::shared_ptr<Meta> m) {
  std::lock_guard<std::mutex> g(g_mu);
  g_next += 4;
  g_metas[g_next] = std::move(m);
  return reinterpret_cast<HENHMETAFILE>(g_next);
}

std::shared_ptr<Meta> FindMeta(HENHMETAFILE h) {
  std::lock_guard<std::mutex> g(g_mu);
  auto it = g_metas.find(reinterpret_cast<std::uintptr_t>(h));
  return it == g_metas.end() ? nullptr : it->second;
}

// ---- Bounds-checked reading of records ---------------------------------------------------

struct Rec {
  const BYTE* p = nullptr;
  size_t n = 0;
  void Need(size_t off, size_t len) const {
    if (off > n || len > n - off) throw Corrupt();
  }
  std::uint32_t U32(size_t off) const {
    Need(off, 4);
    std::uint32_t v;
    std::memcpy(&v, p + off, 4);
    return v;
  }
  std::int32_t I32(size_t off) const { return static_cast<std::int32_t>(U32(off)); }
  std::uint16_t U16(size_t off) const {
    Need(off, 2);
    std::uint16_t v;
    std::memcpy(&v, p + off, 2);
    return v;
  }
  std::int16_t I16(size_t off) const { return static_cast<std::int16_t>(U16(off)); }
  BYTE U8(size_t off) const {
    Need(off, 1);
    return p[off];
  }
  float F32(size_t off) const {
    const std::uint32_t v = U32(off);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
  }
};

// An affine map: x' = a x + c y + e, y' = b x + d y + f.
struct Xf {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  // this after other (other first).
  Xf Then(const Xf& o) const {
    Xf r;
    r.a = o.a * a + o.c * b;
    r.b = o.b * a + o.d * b;
    r.c = o.a * c + o.c * d;
    r.d = o.b * c + o.d * d;
    r.e = o.a * e + o.c * f + o.e;
    r.f = o.b * e + o.d * f + o.f;
    return r;
  }
};

// Device coordinates are kept well inside what the rasterisers handle.
constexpr double kCoordLimit = 1 << 17;
constexpr int kMaxSaveDepth = 1024;
constexpr int kMaxObjects = 65536;
constexpr int kMaxPenWidth = 4096;
constexpr LONG kMaxFontHeight = 4096;

int Clamp(double v) {
  if (!(v == v)) return 0;
  return static_cast<int>(std::lround(std::clamp(v, -kCoordLimit, kCoordLimit)));
}

struct Figure {
  std::vector<POINT> pts;
  bool closed = false;
};

// A logical object of the metafile, made real on the target when selected.
struct Obj {
  enum Kind { None, Pen, Brush, Font, Palette, Other } kind = None;
  int penStyle = 0;
  double penWidth = 0;
  COLORREF color = 0;
  UINT brushStyle = 0;
  int hatch = 0;
  std::vector<std::uint32_t> dib;  // packed DIB of a pattern brush (aligned)
  UINT dibUsage = 0;
  LOGFONT font{};
  std::u16string faceW;
  std::vector<PALETTEENTRY> entries;
  HGDIOBJ real = nullptr;
};

class Player {
 public:
  Player(HDC dc, const Meta& m, const RECT& target) : m_dc(dc), m_meta(m), m_target(target) {}
  ~Player() {
    for (HGDIOBJ o : m_made) DeleteObject(o);
  }
  bool Play();

 private:
  // Mapping.
  void Update();
  PtF Map(double x, double y) const { return PtF(m_x.a * x + m_x.c * y + m_x.e, m_x.b * x + m_x.d * y + m_x.f); }
  POINT Dev(double x, double y) const {
    const PtF p = Map(x, y);
    return POINT{Clamp(p.x), Clamp(p.y)};
  }
  bool Axis() const { return std::fabs(m_x.b) < 1e-9 && std::fabs(m_x.c) < 1e-9; }
  double ScaleX() const { return std::hypot(m_x.a, m_x.b); }
  double ScaleY() const { return std::hypot(m_x.c, m_x.d); }
  bool Flipped() const { return m_x.a * m_x.d - m_x.b * m_x.c < 0; }
  RECT DevRect(double l, double t, double r, double b) const;

  // Drawing, into the path when one is open.
  void MoveTo(double x, double y);
  void PolyTo(const std::vector<PtF>& pts);
  void Poly(const std::vector<std::vector<PtF>>& polys, bool closed);
  void Shape(int kind, double l, double t, double r, double b, double x1, double y1, double x2, double y2);
  void Bezier(std::vector<PtF>& pts, bool fromCurrent);
  void AddFigure(std::vector<POINT> pts, bool closed);
  void FillStrokePath(bool fill, bool stroke);
  void ClipPath(int mode);
  void Text(double x, double y, UINT options, const RECT* rect, bool haveRect, const std::u16string* wide,
            const std::string* narrow, const std::vector<INT>& dx);
  void Blit(const Rec& r, double x, double y, double w, double h, int sx, int sy, int sw, int sh, size_t offBmi,
            size_t cbBmi, size_t offBits, size_t cbBits, UINT usage, DWORD rop);
  void ClipRect(double l, double t, double r, double b, bool exclude);
  void Save();
  void Restore(int n);

  // Objects.
  void Create(size_t index, Obj o);
  void Select(size_t index);
  void Delete(size_t index);
  HGDIOBJ Realize(Obj& o);

  bool PlayEmf();
  bool PlayWmf();
  void EmfRecord(DWORD type, const Rec& r);
  void WmfRecord(WORD fn, const Rec& r);

  HDC m_dc;
  const Meta& m_meta;
  RECT m_target;
  Xf m_x;      // logical units to target device units
  Xf m_world;  // enhanced metafiles' world transform
  int m_mapMode = MM_TEXT;
  double m_wox = 0, m_woy = 0, m_wex = 1, m_wey = 1, m_vox = 0, m_voy = 0, m_vex = 1, m_vey = 1;
  bool m_windowSet = false;
  PtF m_cur;
  struct Saved {
    Xf world;
    int mapMode;
    double wox, woy, wex, wey, vox, voy, vex, vey;
    bool windowSet;
    PtF cur;
  };
  std::vector<Saved> m_saved;
  std::vector<Obj> m_objs;
  std::vector<HGDIOBJ> m_made;
  bool m_inPath = false;
  std::vector<Figure> m_path;
};


// ---- Mapping ----------------------------------------------------------------------------

void Player::Update() {
  const double tw = m_target.right - m_target.left, th = m_target.bottom - m_target.top;
  if (m_meta.wmf) {
    // The metafile's window is stretched into the target rectangle.
    double wx = m_meta.winX, wy = m_meta.winY, ww = m_meta.winW, wh = m_meta.winH;
    if (m_windowSet) {
      wx = m_wox;
      wy = m_woy;
      ww = m_wex;
      wh = m_wey;
    }
    if (ww == 0) ww = tw ? tw : 1;
    if (wh == 0) wh = th ? th : 1;
    m_x = Xf{tw / ww, 0, 0, th / wh, m_target.left - wx * tw / ww, m_target.top - wy * th / wh};
    return;
  }
  const ENHMETAHEADER& h = m_meta.header;
  const double pxmmX = h.szlMillimeters.cx > 0 && h.szlDevice.cx > 0 ? double(h.szlDevice.cx) / h.szlMillimeters.cx
                                                                      : 96.0 / 25.4;
  const double pxmmY = h.szlMillimeters.cy > 0 && h.szlDevice.cy > 0 ? double(h.szlDevice.cy) / h.szlMillimeters.cy
                                                                      : 96.0 / 25.4;
  // Page: logical (after the world transform) to the reference device.
  double sx = 1, sy = 1;
  switch (m_mapMode) {
    case MM_LOMETRIC: sx = pxmmX * 0.1, sy = -pxmmY * 0.1; break;
    case MM_HIMETRIC: sx = pxmmX * 0.01, sy = -pxmmY * 0.01; break;
    case MM_LOENGLISH: sx = pxmmX * 0.254, sy = -pxmmY * 0.254; break;
    case MM_HIENGLISH: sx = pxmmX * 0.0254, sy = -pxmmY * 0.0254; break;
    case MM_TWIPS: sx = pxmmX * 25.4 / 1440, sy = -pxmmY * 25.4 / 1440; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
      sx = m_wex ? m_vex / m_wex : 1;
      sy = m_wey ? m_vey / m_wey : 1;
      if (m_mapMode == MM_ISOTROPIC) {
        const double s = std::min(std::fabs(sx), std::fabs(sy));
        sx = sx < 0 ? -s : s;
        sy = sy < 0 ? -s : s;
      }
      break;
    default: break;
  }
  const Xf page{sx, 0, 0, sy, m_vox - m_wox * sx, m_voy - m_woy * sy};
  // The frame (0.01 mm) on the reference device, stretched into the target.
  const double fx0 = h.rclFrame.left * pxmmX / 100.0, fy0 = h.rclFrame.top * pxmmY / 100.0;
  double fw = (h.rclFrame.right - h.rclFrame.left) * pxmmX / 100.0;
  double fh = (h.rclFrame.bottom - h.rclFrame.top) * pxmmY / 100.0;
  if (std::fabs(fw) < 1e-9) fw = tw ? tw : 1;
  if (std::fabs(fh) < 1e-9) fh = th ? th : 1;
  const Xf play{tw / fw, 0, 0, th / fh, m_target.left - fx0 * tw / fw, m_target.top - fy0 * th / fh};
  m_x = m_world.Then(page).Then(play);
}

RECT Player::DevRect(double l, double t, double r, double b) const {
  const PtF p[4] = {Map(l, t), Map(r, t), Map(r, b), Map(l, b)};
  double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
  for (const PtF& q : p) {
    x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
    y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
  }
  return RECT{Clamp(x0), Clamp(y0), Clamp(x1), Clamp(y1)};
}

// ---- Drawing ------------------------------------------------------------------------------

void Player::MoveTo(double x, double y) {
  m_cur = PtF(x, y);
  const POINT d = Dev(x, y);
  if (m_inPath) {
    Figure f;
    f.pts.push_back(d);
    m_path.push_back(std::move(f));
    return;
  }
  MoveToEx(m_dc, d.x, d.y, nullptr);
}

void Player::AddFigure(std::vector<POINT> pts, bool closed) {
  if (pts.empty()) return;
  Figure f;
  f.pts = std::move(pts);
  f.closed = closed;
  m_path.push_back(std::move(f));
}

void Player::PolyTo(const std::vector<PtF>& pts) {
  if (pts.empty()) return;
  std::vector<POINT> dev;
  dev.reserve(pts.size() + 1);
  if (m_inPath) {
    if (m_path.empty() || m_path.back().closed) {
      Figure f;
      f.pts.push_back(Dev(m_cur.x, m_cur.y));
      m_path.push_back(std::move(f));
    }
    for (const PtF& p : pts) m_path.back().pts.push_back(Dev(p.x, p.y));
  } else {
    dev.push_back(Dev(m_cur.x, m_cur.y));
    for (const PtF& p : pts) dev.push_back(Dev(p.x, p.y));
    Polyline(m_dc, dev.data(), static_cast<int>(dev.size()));
  }
  m_cur = pts.back();
  const POINT d = Dev(m_cur.x, m_cur.y);
  if (!m_inPath) MoveToEx(m_dc, d.x, d.y, nullptr);
}

void Player::Poly(const std::vector<std::vector<PtF>>& polys, bool closed) {
  std::vector<POINT> pts;
  std::vector<INT> counts;
  for (const auto& poly : polys) {
    if (poly.empty()) continue;
    std::vector<POINT> one;
    one.reserve(poly.size());
    for (const PtF& p : poly) one.push_back(Dev(p.x, p.y));
    if (m_inPath) {
      AddFigure(one, closed);
      continue;
    }
    if (closed) {
      counts.push_back(static_cast<INT>(one.size()));
      pts.insert(pts.end(), one.begin(), one.end());
    } else {
      Polyline(m_dc, one.data(), static_cast<int>(one.size()));
    }
  }
  if (!m_inPath && closed && !counts.empty())
    PolyPolygon(m_dc, pts.data(), counts.data(), static_cast<int>(counts.size()));
}

namespace {

// Points of an ellipse (or its arc from angle a0 through sweep) in logical units.
std::vector<PtF> EllipsePoints(double l, double t, double r, double b, double a0, double sweep, int steps) {
  const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
  std::vector<PtF> out;
  for (int i = 0; i <= steps; ++i) {
    const double a = a0 + sweep * i / steps;
    out.emplace_back(cx + rx * std::cos(a), cy - ry * std::sin(a));
  }
  return out;
}

}  // namespace

// kind: 0 rectangle, 1 ellipse, 2 round rectangle (x1, y1 the corner size),
// 3 arc, 4 chord, 5 pie (x1, y1 and x2, y2 the radial points).
void Player::Shape(int kind, double l, double t, double r, double b, double x1, double y1, double x2, double y2) {
  if (Axis() && !m_inPath) {
    const POINT p = Dev(l, t), q = Dev(r, b);
    const int L = std::min(p.x, q.x), R = std::max(p.x, q.x), T = std::min(p.y, q.y), B = std::max(p.y, q.y);
    switch (kind) {
      case 0: Rectangle(m_dc, L, T, R, B); return;
      case 1: Ellipse(m_dc, L, T, R, B); return;
      case 2:
        RoundRect(m_dc, L, T, R, B, Clamp(std::fabs(x1 * m_x.a)), Clamp(std::fabs(y1 * m_x.d)));
        return;
      default: {
        POINT s = Dev(x1, y1), e = Dev(x2, y2);
        if (Flipped()) std::swap(s, e);
        if (kind == 3) Arc(m_dc, L, T, R, B, s.x, s.y, e.x, e.y);
        else if (kind == 4) Chord(m_dc, L, T, R, B, s.x, s.y, e.x, e.y);
        else Pie(m_dc, L, T, R, B, s.x, s.y, e.x, e.y);
        return;
      }
    }
  }
  // Turned or sheared mapping, or a path: the shape as a polygon.
  std::vector<PtF> pts;
  if (kind == 0 || kind == 2) {
    pts = {PtF(l, t), PtF(r, t), PtF(r, b), PtF(l, b)};
  } else if (kind == 1) {
    pts = EllipsePoints(l, t, r, b, 0, 2 * M_PI, 64);
  } else {
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    const double a0 = std::atan2(-(y1 - cy), x1 - cx), a1 = std::atan2(-(y2 - cy), x2 - cx);
    double sweep = a1 - a0;
    const bool clockwise = GetArcDirection(m_dc) == AD_CLOCKWISE;
    if (clockwise) {
      while (sweep >= 0) sweep -= 2 * M_PI;
    } else {
      while (sweep <= 0) sweep += 2 * M_PI;
    }
    pts = EllipsePoints(l, t, r, b, a0, sweep, 48);
    if (kind == 5) pts.emplace_back(cx, cy);
  }
  std::vector<POINT> dev;
  for (const PtF& p : pts) dev.push_back(Dev(p.x, p.y));
  if (m_inPath) {
    AddFigure(dev, kind != 3);
    return;
  }
  if (kind == 3) Polyline(m_dc, dev.data(), static_cast<int>(dev.size()));
  else Polygon(m_dc, dev.data(), static_cast<int>(dev.size()));
}

void Player::Bezier(std::vector<PtF>& pts, bool fromCurrent) {
  if (fromCurrent) pts.insert(pts.begin(), m_cur);
  if (pts.size() < 4 || (pts.size() - 1) % 3 != 0) throw Corrupt();
  std::vector<PtF> flat;
  flat.push_back(pts[0]);
  for (size_t i = 0; i + 3 < pts.size(); i += 3) {
    const PtF &p0 = pts[i], &p1 = pts[i + 1], &p2 = pts[i + 2], &p3 = pts[i + 3];
    for (int k = 1; k <= 16; ++k) {
      const double t = k / 16.0, u = 1 - t;
      flat.emplace_back(u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                        u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y);
    }
  }
  if (fromCurrent) {
    flat.erase(flat.begin());
    PolyTo(flat);
  } else {
    Poly({flat}, false);
  }
}

void Player::FillStrokePath(bool fill, bool stroke) {
  std::vector<POINT> pts;
  std::vector<INT> counts;
  for (const Figure& f : m_path)
    if (f.pts.size() >= 2) {
      counts.push_back(static_cast<INT>(f.pts.size()));
      pts.insert(pts.end(), f.pts.begin(), f.pts.end());
    }
  if (fill && !counts.empty()) {
    HGDIOBJ old = SelectObject(m_dc, GetStockObject(NULL_PEN));
    PolyPolygon(m_dc, pts.data(), counts.data(), static_cast<int>(counts.size()));
    SelectObject(m_dc, old);
  }
  if (stroke)
    for (const Figure& f : m_path) {
      std::vector<POINT> line = f.pts;
      if (f.closed && !line.empty()) line.push_back(line.front());
      if (line.size() >= 2) Polyline(m_dc, line.data(), static_cast<int>(line.size()));
    }
  m_path.clear();
}

void Player::ClipPath(int mode) {
  HRGN all = CreateRectRgn(0, 0, 0, 0);
  const int fillMode = GetPolyFillMode(m_dc);
  for (const Figure& f : m_path) {
    if (f.pts.size() < 3) continue;
    HRGN one = CreatePolygonRgn(f.pts.data(), static_cast<int>(f.pts.size()), fillMode);
    if (one) {
      CombineRgn(all, all, one, fillMode == WINDING ? RGN_OR : RGN_XOR);
      DeleteObject(one);
    }
  }
  ExtSelectClipRgn(m_dc, all, mode >= RGN_AND && mode <= RGN_COPY ? mode : RGN_COPY);
  DeleteObject(all);
  m_path.clear();
}

void Player::Text(double x, double y, UINT options, const RECT* rect, bool haveRect, const std::u16string* wide,
                  const std::string* narrow, const std::vector<INT>& dx) {
  if (m_inPath) return;
  const POINT p = Dev(x, y);
  RECT dr{};
  if (haveRect && rect) dr = DevRect(rect->left, rect->top, rect->right, rect->bottom);
  std::vector<INT> ddx;
  const double s = ScaleX();
  for (INT v : dx) ddx.push_back(Clamp(v * s));
  const INT* adv = dx.empty() ? nullptr : ddx.data();
  const UINT opt = haveRect ? (options & (ETO_OPAQUE | ETO_CLIPPED)) : 0;
  if (wide)
    ExtTextOutW(m_dc, p.x, p.y, opt, haveRect ? &dr : nullptr, reinterpret_cast<const WCHAR*>(wide->data()),
                static_cast<UINT>(wide->size()), adv);
  else
    ExtTextOut(m_dc, p.x, p.y, opt, haveRect ? &dr : nullptr, narrow->data(), static_cast<UINT>(narrow->size()), adv);
}

namespace {

// A packed DIB checked against the bytes that hold it: the header, its colour
// table and every row must be there. Copied into aligned memory.
bool TakeDib(const BYTE* head, size_t headBytes, const BYTE* bits, size_t bitBytes, UINT usage,
             std::vector<std::uint32_t>& info, std::vector<std::uint32_t>& pixels) {
  if (headBytes < 4) throw Corrupt();
  DWORD size;
  std::memcpy(&size, head, 4);
  if (size != sizeof(BITMAPCOREHEADER) && size < sizeof(BITMAPINFOHEADER)) throw Corrupt();
  if (size > headBytes) throw Corrupt();
  info.assign((headBytes + 3) / 4 + 1, 0);
  std::memcpy(info.data(), head, headBytes);
  const auto* bi = reinterpret_cast<const BITMAPINFO*>(info.data());
  std::int64_t w, h, bpp;
  DWORD compression = BI_RGB;
  if (size == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER core;
    std::memcpy(&core, head, sizeof core);
    w = core.bcWidth, h = core.bcHeight, bpp = core.bcBitCount;
  } else {
    w = bi->bmiHeader.biWidth, h = bi->bmiHeader.biHeight, bpp = bi->bmiHeader.biBitCount;
    compression = bi->bmiHeader.biCompression;
  }
  if (w <= 0 || h == 0 || w > 1 << 16 || std::llabs(h) > 1 << 16) throw Corrupt();
  const size_t headerAll = DIBHeaderBytes(bi, usage);
  if (headerAll == 0 || headerAll > headBytes) throw Corrupt();
  if (compression != BI_RGB && compression != 3 /* BI_BITFIELDS */) return false;  // not drawn
  const std::uint64_t need = DibRowStride(w, bpp) * static_cast<std::uint64_t>(std::llabs(h));
  if (bpp <= 0 || need > bitBytes || need > (std::uint64_t{1} << 28)) throw Corrupt();
  pixels.assign(static_cast<size_t>((need + 3) / 4), 0);
  std::memcpy(pixels.data(), bits, static_cast<size_t>(need));
  return true;
}

}  // namespace

void Player::Blit(const Rec& r, double x, double y, double w, double h, int sx, int sy, int sw, int sh,
                  size_t offBmi, size_t cbBmi, size_t offBits, size_t cbBits, UINT usage, DWORD rop) {
  const POINT p = Dev(x, y), q = Dev(x + w, y + h);
  if (cbBmi == 0) {
    if (!m_inPath) PatBlt(m_dc, std::min(p.x, q.x), std::min(p.y, q.y), std::abs(q.x - p.x), std::abs(q.y - p.y), rop);
    return;
  }
  r.Need(offBmi, cbBmi);
  r.Need(offBits, cbBits);
  std::vector<std::uint32_t> info, pixels;
  if (!TakeDib(r.p + offBmi, cbBmi, r.p + offBits, cbBits, usage, info, pixels)) return;
  if (m_inPath) return;
  StretchDIBits(m_dc, p.x, p.y, q.x - p.x, q.y - p.y, sx, sy, sw, sh, pixels.data(),
                reinterpret_cast<const BITMAPINFO*>(info.data()), usage, rop);
}

void Player::ClipRect(double l, double t, double r, double b, bool exclude) {
  const RECT d = DevRect(l, t, r, b);
  if (exclude) ExcludeClipRect(m_dc, d.left, d.top, d.right, d.bottom);
  else IntersectClipRect(m_dc, d.left, d.top, d.right, d.bottom);
}

void Player::Save() {
  if (static_cast<int>(m_saved.size()) >= kMaxSaveDepth) throw Corrupt();
  m_saved.push_back(Saved{m_world, m_mapMode, m_wox, m_woy, m_wex, m_wey, m_vox, m_voy, m_vex, m_vey, m_windowSet,
                          m_cur});
  SaveDC(m_dc);
}

void Player::Restore(int n) {
  // Relative (negative) levels within what this metafile saved; anything
  // else restores nothing.
  if (n >= 0 || -static_cast<std::int64_t>(n) > static_cast<std::int64_t>(m_saved.size())) {
    ++g_counts.skipped;
    --g_counts.played;
    return;
  }
  const Saved s = m_saved[m_saved.size() - static_cast<size_t>(-n)];
  m_saved.resize(m_saved.size() - static_cast<size_t>(-n));
  RestoreDC(m_dc, n);
  m_world = s.world;
  m_mapMode = s.mapMode;
  m_wox = s.wox, m_woy = s.woy, m_wex = s.wex, m_wey = s.wey;
  m_vox = s.vox, m_voy = s.voy, m_vex = s.vex, m_vey = s.vey;
  m_windowSet = s.windowSet;
  m_cur = s.cur;
  Update();
}

// ---- Objects ---------------------------------------------------------------------------------

void Player::Create(size_t index, Obj o) {
  if (index >= m_objs.size()) throw Corrupt();
  Delete(index);
  m_objs[index] = std::move(o);
}

void Player::Delete(size_t index) {
  if (index >= m_objs.size()) throw Corrupt();
  // The real object may still be selected: it goes when playing ends.
  m_objs[index] = Obj();
}

HGDIOBJ Player::Realize(Obj& o) {
  if (o.real) return o.real;
  HGDIOBJ made = nullptr;
  switch (o.kind) {
    case Obj::Pen: {
      const int style = o.penStyle & PS_STYLE_MASK;
      double w = o.penWidth * (ScaleX() + ScaleY()) / 2;
      if (o.penWidth <= 0 || (o.penStyle & PS_GEOMETRIC) == 0) w = o.penWidth > 1 && (o.penStyle & PS_GEOMETRIC) ? w : 0;
      const int width = std::clamp(static_cast<int>(std::lround(w)), 0, kMaxPenWidth);
      made = CreatePen(style > PS_INSIDEFRAME ? PS_SOLID : style, width, o.color & 0x03FFFFFF);
      break;
    }
    case Obj::Brush:
      if (o.brushStyle == BS_NULL) return GetStockObject(NULL_BRUSH);
      if (o.brushStyle == BS_HATCHED) made = CreateHatchBrush(std::clamp(o.hatch, 0, HS_DIAGCROSS), o.color);
      else if (o.brushStyle == BS_DIBPATTERNPT && !o.dib.empty()) {
        const auto* bi = reinterpret_cast<const BITMAPINFO*>(o.dib.data());
        const size_t head = DIBHeaderBytes(bi, o.dibUsage);
        HDC screen = GetDC(nullptr);
        HBITMAP bm = head ? CreateDIBitmap(screen, &bi->bmiHeader, CBM_INIT,
                                           reinterpret_cast<const BYTE*>(o.dib.data()) + head, bi, o.dibUsage)
                          : nullptr;
        ReleaseDC(nullptr, screen);
        if (bm) {
          made = CreatePatternBrush(bm);
          DeleteObject(bm);
        }
        if (!made) made = CreateSolidBrush(0);
      } else {
        made = CreateSolidBrush(o.color & 0x03FFFFFF);
      }
      break;
    case Obj::Font: {
      LOGFONT lf = o.font;
      const double sy = ScaleY(), sx = ScaleX();
      lf.lfHeight = static_cast<LONG>(std::clamp<double>(std::lround(lf.lfHeight * sy), -kMaxFontHeight, kMaxFontHeight));
      lf.lfWidth = static_cast<LONG>(std::clamp<double>(std::lround(lf.lfWidth * sx), 0, kMaxFontHeight));
      made = CreateFontIndirect(&lf);
      break;
    }
    case Obj::Palette: {
      std::vector<BYTE> buf(sizeof(LOGPALETTE) + o.entries.size() * sizeof(PALETTEENTRY));
      auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
      lp->palVersion = 0x300;
      lp->palNumEntries = static_cast<WORD>(o.entries.size());
      std::memcpy(lp->palPalEntry, o.entries.data(), o.entries.size() * sizeof(PALETTEENTRY));
      made = CreatePalette(lp);
      break;
    }
    default: return nullptr;
  }
  if (made) m_made.push_back(made);
  o.real = made;
  return made;
}

void Player::Select(size_t index) {
  if (index >= m_objs.size()) throw Corrupt();
  Obj& o = m_objs[index];
  if (o.kind == Obj::None) throw Corrupt();
  if (o.kind == Obj::Other) return;
  HGDIOBJ h = Realize(o);
  if (!h) return;
  if (o.kind == Obj::Palette) SelectPalette(m_dc, static_cast<HPALETTE>(h), FALSE);
  else SelectObject(m_dc, h);
}

// ---- Playing ------------------------------------------------------------------------------------

bool Player::Play() {
  g_counts = QmMetafilePlayCounts();
  const int level = SaveDC(m_dc);
  if (!level) return false;
  // The target draws in device units from here on.
  POINT corners[2] = {{m_target.left, m_target.top}, {m_target.right, m_target.bottom}};
  LPtoDP(m_dc, corners, 2);
  m_target = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  SetMapMode(m_dc, MM_TEXT);
  SetWindowOrgEx(m_dc, 0, 0, nullptr);
  SetViewportOrgEx(m_dc, 0, 0, nullptr);
  SelectObject(m_dc, GetStockObject(BLACK_PEN));
  SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
  SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
  SetTextColor(m_dc, 0);
  SetBkColor(m_dc, RGB(255, 255, 255));
  SetBkMode(m_dc, OPAQUE);
  SetROP2(m_dc, R2_COPYPEN);
  SetPolyFillMode(m_dc, ALTERNATE);
  SetTextAlign(m_dc, 0);
  SetArcDirection(m_dc, AD_COUNTERCLOCKWISE);
  bool ok = false;
  try {
    ok = m_meta.wmf ? PlayWmf() : PlayEmf();
  } catch (const Corrupt&) {
    ok = false;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  RestoreDC(m_dc, level);
  if (!ok) SetLastError(ERROR_INVALID_DATA);
  return ok;
}

bool Player::PlayEmf() {
  m_objs.assign(std::clamp<size_t>(m_meta.header.nHandles, 1, kMaxObjects), Obj());
  Update();
  const std::vector<BYTE>& b = m_meta.bits;
  size_t pos = 0;
  while (pos + 8 <= b.size()) {
    Rec r;
    r.p = b.data() + pos;
    r.n = b.size() - pos;
    const DWORD type = r.U32(0), size = r.U32(4);
    if (size < 8 || size % 4 || size > r.n) throw Corrupt();
    r.n = size;
    ++g_counts.played;
    if (type == EMR_EOF) return true;
    EmfRecord(type, r);
    pos += size;
  }
  throw Corrupt();
}

namespace {

enum : DWORD {
  kPolyBezier = 2, kPolygon = 3, kPolyline = 4, kPolyBezierTo = 5, kPolylineTo = 6, kPolyPolyline = 7,
  kPolyPolygon = 8, kSetWindowExt = 9, kSetWindowOrg = 10, kSetViewportExt = 11, kSetViewportOrg = 12,
  kSetBrushOrg = 13, kSetPixelV = 15, kSetMapMode = 17, kSetBkMode = 18, kSetPolyFillMode = 19, kSetRop2 = 20,
  kSetStretchBltMode = 21, kSetTextAlign = 22, kSetTextColor = 24, kSetBkColor = 25, kOffsetClipRgn = 26,
  kMoveTo = 27, kExcludeClipRect = 29, kIntersectClipRect = 30, kScaleViewportExt = 31, kScaleWindowExt = 32,
  kSaveDC = 33, kRestoreDC = 34, kSetWorldTransform = 35, kModifyWorldTransform = 36, kSelectObject = 37,
  kCreatePen = 38, kCreateBrush = 39, kDeleteObject = 40, kEllipse = 42, kRectangle = 43, kRoundRect = 44,
  kArc = 45, kChord = 46, kPie = 47, kSelectPalette = 48, kCreatePalette = 49, kRealizePalette = 52,
  kLineTo = 54, kArcTo = 55, kSetArcDirection = 57, kBeginPath = 59, kEndPath = 60, kCloseFigure = 61,
  kFillPath = 62, kStrokeAndFillPath = 63, kStrokePath = 64, kFlattenPath = 65, kSelectClipPath = 67,
  kAbortPath = 68, kExtSelectClipRgn = 75, kBitBlt = 76, kStretchBlt = 77, kSetDIBitsToDevice = 80,
  kStretchDIBits = 81, kExtCreateFont = 82, kExtTextOutA = 83, kExtTextOutW = 84, kPolyBezier16 = 85,
  kPolygon16 = 86, kPolyline16 = 87, kPolyBezierTo16 = 88, kPolylineTo16 = 89, kPolyPolyline16 = 90,
  kPolyPolygon16 = 91, kCreateMonoBrush = 93, kCreateDibPatternBrush = 94, kExtCreatePen = 95,
};

// Points of a poly record: after the bounds, a count and the points (32 or
// 16 bits each).
std::vector<PtF> ReadPoints(const Rec& r, size_t off, std::uint32_t count, bool small) {
  const size_t each = small ? 4 : 8;
  if (count > (r.n - std::min(r.n, off)) / each) throw Corrupt();
  std::vector<PtF> pts;
  pts.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const size_t o = off + i * each;
    if (small) pts.emplace_back(r.I16(o), r.I16(o + 2));
    else pts.emplace_back(r.I32(o), r.I32(o + 4));
  }
  return pts;
}

Xf ReadXf(const Rec& r, size_t off) {
  Xf x{r.F32(off), r.F32(off + 4), r.F32(off + 8), r.F32(off + 12), r.F32(off + 16), r.F32(off + 20)};
  for (double v : {x.a, x.b, x.c, x.d, x.e, x.f})
    if (!std::isfinite(v) || std::fabs(v) > 1e9) throw Corrupt();
  return x;
}

}  // namespace

void Player::EmfRecord(DWORD type, const Rec& r) {
  switch (type) {
    case EMR_HEADER: return;
    case kPolyBezier: case kPolygon: case kPolyline: case kPolyBezierTo: case kPolylineTo:
    case kPolyBezier16: case kPolygon16: case kPolyline16: case kPolyBezierTo16: case kPolylineTo16: {
      const bool small = type >= kPolyBezier16;
      const DWORD base = small ? type - kPolyBezier16 + kPolyBezier : type;
      std::vector<PtF> pts = ReadPoints(r, 28, r.U32(24), small);
      if (base == kPolyBezier) Bezier(pts, false);
      else if (base == kPolyBezierTo) Bezier(pts, true);
      else if (base == kPolylineTo) PolyTo(pts);
      else Poly({pts}, base == kPolygon);
      if (base == kPolyline || base == kPolygon || base == kPolyBezier) {
        if (pts.size() < 2 && base != kPolyBezier) return;
      }
      return;
    }
    case kPolyPolyline: case kPolyPolygon: case kPolyPolyline16: case kPolyPolygon16: {
      const bool small = type >= kPolyPolyline16;
      const std::uint32_t n = r.U32(24), total = r.U32(28);
      if (n > (r.n - 32) / 4) throw Corrupt();
      std::vector<PtF> all = ReadPoints(r, 32 + size_t{n} * 4, total, small);
      std::vector<std::vector<PtF>> polys;
      std::uint64_t used = 0;
      for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t c = r.U32(32 + size_t{i} * 4);
        if (c > total - used) throw Corrupt();
        polys.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(used),
                           all.begin() + static_cast<std::ptrdiff_t>(used + c));
        used += c;
      }
      Poly(polys, type == kPolyPolygon || type == kPolyPolygon16);
      return;
    }
    case kSetWindowExt: m_wex = r.I32(8), m_wey = r.I32(12); Update(); return;
    case kSetWindowOrg: m_wox = r.I32(8), m_woy = r.I32(12); Update(); return;
    case kSetViewportExt: m_vex = r.I32(8), m_vey = r.I32(12); Update(); return;
    case kSetViewportOrg: m_vox = r.I32(8), m_voy = r.I32(12); Update(); return;
    case kScaleViewportExt: case kScaleWindowExt: {
      const std::int32_t xn = r.I32(8), xd = r.I32(12), yn = r.I32(16), yd = r.I32(20);
      if (!xd || !yd) throw Corrupt();
      double& ex = type == kScaleWindowExt ? m_wex : m_vex;
      double& ey = type == kScaleWindowExt ? m_wey : m_vey;
      ex = ex * xn / xd;
      ey = ey * yn / yd;
      Update();
      return;
    }
    case kSetBrushOrg: SetBrushOrgEx(m_dc, r.I32(8), r.I32(12), nullptr); return;
    case kSetPixelV: {
      if (m_inPath) return;
      const POINT p = Dev(r.I32(8), r.I32(12));
      SetPixelV(m_dc, p.x, p.y, r.U32(16) & 0x03FFFFFF);
      return;
    }
    case kSetMapMode: {
      const int mode = r.I32(8);
      if (mode >= MM_TEXT && mode <= MM_ANISOTROPIC) m_mapMode = mode;
      Update();
      return;
    }
    case kSetBkMode: SetBkMode(m_dc, r.I32(8)); return;
    case kSetPolyFillMode: SetPolyFillMode(m_dc, r.I32(8)); return;
    case kSetRop2: SetROP2(m_dc, r.I32(8)); return;
    case kSetStretchBltMode: SetStretchBltMode(m_dc, r.I32(8)); return;
    case kSetTextAlign: SetTextAlign(m_dc, r.U32(8)); return;
    case kSetTextColor: SetTextColor(m_dc, r.U32(8) & 0x03FFFFFF); return;
    case kSetBkColor: SetBkColor(m_dc, r.U32(8) & 0x03FFFFFF); return;
    case kSetArcDirection: SetArcDirection(m_dc, r.I32(8)); return;
    case kOffsetClipRgn: {
      const PtF o = Map(r.I32(8), r.I32(12)), z = Map(0, 0);
      OffsetClipRgn(m_dc, Clamp(o.x - z.x), Clamp(o.y - z.y));
      return;
    }
    case kMoveTo: MoveTo(r.I32(8), r.I32(12)); return;
    case kLineTo: PolyTo({PtF(r.I32(8), r.I32(12))}); return;
    case kExcludeClipRect: case kIntersectClipRect:
      ClipRect(r.I32(8), r.I32(12), r.I32(16), r.I32(20), type == kExcludeClipRect);
      return;
    case kSaveDC: Save(); return;
    case kRestoreDC: Restore(r.I32(8)); return;
    case kSetWorldTransform: m_world = ReadXf(r, 8); Update(); return;
    case kModifyWorldTransform: {
      const Xf x = ReadXf(r, 8);
      switch (r.U32(32)) {
        case 1: m_world = Xf(); break;
        case 2: m_world = x.Then(m_world); break;  // left multiply: x first
        case 3: m_world = m_world.Then(x); break;
        case 4: m_world = x; break;
        default: throw Corrupt();
      }
      Update();
      return;
    }
    case kSelectObject: {
      const DWORD index = r.U32(8);
      if (index & 0x80000000u) {
        const int stock = static_cast<int>(index & 0x7FFFFFFF);
        HGDIOBJ h = stock <= DC_PEN && stock != 9 ? GetStockObject(stock) : nullptr;
        if (!h) throw Corrupt();
        if (stock == DEFAULT_PALETTE) SelectPalette(m_dc, static_cast<HPALETTE>(h), FALSE);
        else SelectObject(m_dc, h);
        return;
      }
      if (index == 0) throw Corrupt();
      Select(index);
      return;
    }
    case kDeleteObject: {
      const DWORD index = r.U32(8);
      if (index == 0 || index >= m_objs.size()) throw Corrupt();
      Delete(index);
      return;
    }
    case kCreatePen: {
      Obj o;
      o.kind = Obj::Pen;
      o.penStyle = r.I32(12);
      o.penWidth = r.I32(16);
      o.color = r.U32(24);
      // A width above one in a plain pen is in logical units.
      if (o.penWidth > 1) o.penStyle |= PS_GEOMETRIC;
      const DWORD index = r.U32(8);
      if (index == 0) throw Corrupt();
      Create(index, std::move(o));
      return;
    }
    case kExtCreatePen: {
      Obj o;
      o.kind = Obj::Pen;
      o.penStyle = r.I32(28);
      o.penWidth = r.U32(32);
      o.color = r.U32(40);
      const DWORD index = r.U32(8);
      if (index == 0) throw Corrupt();
      Create(index, std::move(o));
      return;
    }
    case kCreateBrush: {
      Obj o;
      o.kind = Obj::Brush;
      o.brushStyle = r.U32(12);
      o.color = r.U32(16);
      o.hatch = r.I32(20);
      if (o.brushStyle != BS_SOLID && o.brushStyle != BS_NULL && o.brushStyle != BS_HATCHED) o.brushStyle = BS_SOLID;
      const DWORD index = r.U32(8);
      if (index == 0) throw Corrupt();
      Create(index, std::move(o));
      return;
    }
    case kCreateMonoBrush: case kCreateDibPatternBrush: {
      Obj o;
      o.kind = Obj::Brush;
      o.brushStyle = BS_DIBPATTERNPT;
      o.dibUsage = r.U32(12);
      const size_t offBmi = r.U32(16), cbBmi = r.U32(20), offBits = r.U32(24), cbBits = r.U32(28);
      r.Need(offBmi, cbBmi);
      r.Need(offBits, cbBits);
      std::vector<std::uint32_t> info, pixels;
      if (o.dibUsage > DIB_PAL_COLORS) throw Corrupt();
      if (TakeDib(r.p + offBmi, cbBmi, r.p + offBits, cbBits, o.dibUsage, info, pixels)) {
        const size_t head = DIBHeaderBytes(reinterpret_cast<const BITMAPINFO*>(info.data()), o.dibUsage);
        std::vector<BYTE> packed(head + pixels.size() * 4);
        std::memcpy(packed.data(), info.data(), head);
        std::memcpy(packed.data() + head, pixels.data(), pixels.size() * 4);
        o.dib.assign((packed.size() + 3) / 4, 0);
        std::memcpy(o.dib.data(), packed.data(), packed.size());
      } else {
        o.brushStyle = BS_SOLID;
      }
      const DWORD index = r.U32(8);
      if (index == 0) throw Corrupt();
      Create(index, std::move(o));
      return;
    }
    case kExtCreateFont: {
      Obj o;
      o.kind = Obj::Font;
      LOGFONT& lf = o.font;
      lf.lfHeight = r.I32(12);
      lf.lfWidth = r.I32(16);
      lf.lfEscapement = r.I32(20);
      lf.lfOrientation = r.I32(24);
      lf.lfWeight = r.I32(28);
      lf.lfItalic = r.U8(32);
      lf.lfUnderline = r.U8(33);
      lf.lfStrikeOut = r.U8(34);
      lf.lfCharSet = r.U8(35);
      lf.lfOutPrecision = r.U8(36);
      lf.lfClipPrecision = r.U8(37);
      lf.lfQuality = r.U8(38);
      lf.lfPitchAndFamily = r.U8(39);
      // The face name in UTF-16; the name table knows only plain names.
      for (int i = 0; i < LF_FACESIZE - 1; ++i) {
        const std::uint16_t c = r.U16(40 + static_cast<size_t>(i) * 2);
        if (!c) break;
        lf.lfFaceName[i] = c < 0x80 ? static_cast<char>(c) : '?';
      }
      const DWORD index = r.U32(8);
      if (index == 0) throw Corrupt();
      Create(index, std::move(o));
      return;
    }
    case kCreatePalette: {
      Obj o;
      o.kind = Obj::Palette;
      const std::uint16_t count = r.U16(14);
      r.Need(16, size_t{count} * 4);
      o.entries.resize(count);
      if (count) std::memcpy(o.entries.data(), r.p + 16, size_t{count} * 4);
      const DWORD index = r.U32(8);
      if (index == 0) throw Corrupt();
      Create(index, std::move(o));
      return;
    }
    case kSelectPalette: {
      const DWORD index = r.U32(8);
      if (index & 0x80000000u) {
        SelectPalette(m_dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
        return;
      }
      if (index == 0 || index >= m_objs.size() || m_objs[index].kind != Obj::Palette) throw Corrupt();
      Select(index);
      return;
    }
    case kRealizePalette: RealizePalette(m_dc); return;
    case kEllipse: case kRectangle:
      Shape(type == kEllipse ? 1 : 0, r.I32(8), r.I32(12), r.I32(16), r.I32(20), 0, 0, 0, 0);
      return;
    case kRoundRect:
      Shape(2, r.I32(8), r.I32(12), r.I32(16), r.I32(20), r.I32(24), r.I32(28), 0, 0);
      return;
    case kArc: case kChord: case kPie: case kArcTo:
      Shape(type == kChord ? 4 : type == kPie ? 5 : 3, r.I32(8), r.I32(12), r.I32(16), r.I32(20), r.I32(24),
            r.I32(28), r.I32(32), r.I32(36));
      return;
    case kBeginPath: m_inPath = true; m_path.clear(); return;
    case kEndPath: m_inPath = false; return;
    case kAbortPath: m_inPath = false; m_path.clear(); return;
    case kCloseFigure:
      if (!m_path.empty()) m_path.back().closed = true;
      return;
    case kFlattenPath: return;  // curves are flat already
    case kFillPath: FillStrokePath(true, false); return;
    case kStrokePath: FillStrokePath(false, true); return;
    case kStrokeAndFillPath: FillStrokePath(true, true); return;
    case kSelectClipPath: ClipPath(r.I32(8)); return;
    case kExtSelectClipRgn: {
      const std::uint32_t cb = r.U32(8);
      const int mode = r.I32(12);
      if (cb == 0) {
        if (mode == RGN_COPY) SelectClipRgn(m_dc, nullptr);
        return;
      }
      r.Need(16, cb);
      const std::uint32_t count = r.U32(16 + 8);
      if (cb < 32 || count > (cb - 32) / 16) throw Corrupt();
      // The rectangles are in device units of the reference device: only
      // the frame's stretch applies.
      const Xf keep = m_world;
      const int keepMode = m_mapMode;
      const double keepV[8] = {m_wox, m_woy, m_wex, m_wey, m_vox, m_voy, m_vex, m_vey};
      m_world = Xf();
      m_mapMode = MM_TEXT;
      m_wox = m_woy = m_vox = m_voy = 0;
      Update();
      HRGN all = CreateRectRgn(0, 0, 0, 0);
      for (std::uint32_t i = 0; i < count; ++i) {
        const size_t o = 16 + 32 + size_t{i} * 16;
        const RECT d = DevRect(r.I32(o), r.I32(o + 4), r.I32(o + 8), r.I32(o + 12));
        HRGN one = CreateRectRgn(d.left, d.top, d.right, d.bottom);
        CombineRgn(all, all, one, RGN_OR);
        DeleteObject(one);
      }
      m_world = keep;
      m_mapMode = keepMode;
      m_wox = keepV[0], m_woy = keepV[1], m_wex = keepV[2], m_wey = keepV[3];
      m_vox = keepV[4], m_voy = keepV[5], m_vex = keepV[6], m_vey = keepV[7];
      Update();
      ExtSelectClipRgn(m_dc, all, mode >= RGN_AND && mode <= RGN_COPY ? mode : RGN_COPY);
      DeleteObject(all);
      return;
    }
    case kBitBlt: case kStretchBlt: {
      const double x = r.I32(24), y = r.I32(28), w = r.I32(32), h = r.I32(36);
      const DWORD rop = r.U32(40);
      const int sx = r.I32(44), sy = r.I32(48);
      const UINT usage = r.U32(80);
      const size_t offBmi = r.U32(84), cbBmi = r.U32(88), offBits = r.U32(92), cbBits = r.U32(96);
      int sw = static_cast<int>(w), sh = static_cast<int>(h);
      if (type == kStretchBlt) sw = r.I32(100), sh = r.I32(104);
      if (usage > DIB_PAL_COLORS) throw Corrupt();
      Blit(r, x, y, w, h, sx, sy, sw, sh, offBmi, cbBmi, offBits, cbBits, usage, rop);
      return;
    }
    case kStretchDIBits: {
      const double x = r.I32(24), y = r.I32(28);
      const int sx = r.I32(32), sy = r.I32(36), sw = r.I32(40), sh = r.I32(44);
      const size_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
      const UINT usage = r.U32(64);
      const DWORD rop = r.U32(68);
      const double w = r.I32(72), h = r.I32(76);
      if (usage > DIB_PAL_COLORS) throw Corrupt();
      Blit(r, x, y, w, h, sx, sy, sw, sh, offBmi, cbBmi, offBits, cbBits, usage, rop);
      return;
    }
    case kSetDIBitsToDevice: {
      const double x = r.I32(24), y = r.I32(28);
      const int sx = r.I32(32), sy = r.I32(36), sw = r.I32(40), sh = r.I32(44);
      const size_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
      const UINT usage = r.U32(64);
      if (usage > DIB_PAL_COLORS) throw Corrupt();
      Blit(r, x, y, sw, sh, sx, sy, sw, sh, offBmi, cbBmi, offBits, cbBits, usage, SRCCOPY);
      return;
    }
    case kExtTextOutA: case kExtTextOutW: {
      // Bounds, graphics mode, scales, then the text record.
      const double x = r.I32(36), y = r.I32(40);
      const std::uint32_t n = r.U32(44), offString = r.U32(48), options = r.U32(52);
      const RECT rc{r.I32(56), r.I32(60), r.I32(64), r.I32(68)};
      const std::uint32_t offDx = r.U32(72);
      const bool wide = type == kExtTextOutW;
      if (n > r.n) throw Corrupt();
      r.Need(offString, size_t{n} * (wide ? 2 : 1));
      std::vector<INT> dx;
      if (offDx && n) {
        r.Need(offDx, size_t{n} * 4);
        for (std::uint32_t i = 0; i < n; ++i) dx.push_back(r.I32(offDx + size_t{i} * 4));
      }
      const bool haveRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
      if (wide) {
        std::u16string s(n, u'\0');
        if (n) std::memcpy(s.data(), r.p + offString, size_t{n} * 2);
        Text(x, y, options, &rc, haveRect, &s, nullptr, dx);
      } else {
        std::string s(reinterpret_cast<const char*>(r.p + offString), n);
        Text(x, y, options, &rc, haveRect, nullptr, &s, dx);
      }
      return;
    }
    default:
      ++g_counts.skipped;
      --g_counts.played;
      return;
  }
}

// ---- Windows metafiles ------------------------------------------------------------------------

namespace {

enum : WORD {
  kWSetBkColor = 0x0201, kWSetBkMode = 0x0102, kWSetMapMode = 0x0103, kWSetRop2 = 0x0104,
  kWSetPolyFillMode = 0x0106, kWSetStretchBltMode = 0x0107, kWSetTextColor = 0x0209, kWSetWindowOrg = 0x020B,
  kWSetWindowExt = 0x020C, kWSetViewportOrg = 0x020D, kWSetViewportExt = 0x020E, kWOffsetWindowOrg = 0x020F,
  kWScaleWindowExt = 0x0410, kWOffsetViewportOrg = 0x0211, kWScaleViewportExt = 0x0412, kWLineTo = 0x0213,
  kWMoveTo = 0x0214, kWExcludeClipRect = 0x0415, kWIntersectClipRect = 0x0416, kWArc = 0x0817,
  kWEllipse = 0x0418, kWPie = 0x081A, kWRectangle = 0x041B, kWRoundRect = 0x061C, kWPatBlt = 0x061D,
  kWSaveDC = 0x001E, kWSetPixel = 0x041F, kWOffsetClipRgn = 0x0220, kWTextOut = 0x0521, kWPolygon = 0x0324,
  kWPolyline = 0x0325, kWRestoreDC = 0x0127, kWSelectClipRegion = 0x012C, kWSelectObject = 0x012D,
  kWSetTextAlign = 0x012E, kWChord = 0x0830, kWExtTextOut = 0x0A32, kWSelectPalette = 0x0234,
  kWRealizePalette = 0x0035, kWPolyPolygon = 0x0538, kWDibBitBlt = 0x0940, kWDibStretchBlt = 0x0B41,
  kWDibCreatePatternBrush = 0x0142, kWStretchDib = 0x0F43, kWDeleteObject = 0x01F0, kWCreatePalette = 0x00F7,
  kWCreatePatternBrush = 0x01F9, kWCreatePenIndirect = 0x02FA, kWCreateFontIndirect = 0x02FB,
  kWCreateBrushIndirect = 0x02FC, kWCreateRegion = 0x06FF,
};

COLORREF WColor(const Rec& r, size_t off) { return r.U32(off) & 0x03FFFFFF; }

}  // namespace

bool Player::PlayWmf() {
  m_objs.assign(std::clamp<size_t>(m_meta.wmfObjects, 0, kMaxObjects), Obj());
  Update();
  const std::vector<BYTE>& b = m_meta.bits;
  Rec head{b.data(), b.size()};
  size_t pos = size_t{head.U16(2)} * 2;
  while (pos + 6 <= b.size()) {
    Rec r{b.data() + pos, b.size() - pos};
    const std::uint64_t size = std::uint64_t{r.U32(0)} * 2;
    const WORD fn = r.U16(4);
    if (size < 6 || size > r.n) throw Corrupt();
    r.n = static_cast<size_t>(size);
    ++g_counts.played;
    if (fn == 0) return true;
    // Parameters start at offset 6.
    Rec p{r.p + 6, r.n - 6};
    WmfRecord(fn, p);
    pos += static_cast<size_t>(size);
  }
  throw Corrupt();
}

void Player::WmfRecord(WORD fn, const Rec& r) {
  auto createAt = [&](Obj o) {
    // The lowest free slot.
    for (size_t i = 0; i < m_objs.size(); ++i)
      if (m_objs[i].kind == Obj::None) {
        m_objs[i] = std::move(o);
        return;
      }
    throw Corrupt();
  };
  switch (fn) {
    case kWSetBkColor: SetBkColor(m_dc, WColor(r, 0)); return;
    case kWSetBkMode: SetBkMode(m_dc, r.U16(0)); return;
    case kWSetMapMode: m_mapMode = r.U16(0); return;
    case kWSetRop2: SetROP2(m_dc, r.U16(0)); return;
    case kWSetPolyFillMode: SetPolyFillMode(m_dc, r.U16(0)); return;
    case kWSetStretchBltMode: SetStretchBltMode(m_dc, r.U16(0)); return;
    case kWSetTextColor: SetTextColor(m_dc, WColor(r, 0)); return;
    case kWSetTextAlign: SetTextAlign(m_dc, r.U16(0)); return;
    case kWSetWindowOrg:
      m_wox = r.I16(2), m_woy = r.I16(0);
      if (!m_windowSet) m_wex = m_meta.winW, m_wey = m_meta.winH;
      m_windowSet = true;
      Update();
      return;
    case kWSetWindowExt:
      m_wex = r.I16(2), m_wey = r.I16(0);
      if (!m_windowSet) m_wox = m_meta.winX, m_woy = m_meta.winY;
      m_windowSet = true;
      Update();
      return;
    case kWOffsetWindowOrg:
      if (!m_windowSet) m_wox = m_meta.winX, m_woy = m_meta.winY, m_wex = m_meta.winW, m_wey = m_meta.winH;
      m_windowSet = true;
      m_wox += r.I16(2), m_woy += r.I16(0);
      Update();
      return;
    case kWScaleWindowExt: {
      const int yd = r.I16(0), yn = r.I16(2), xd = r.I16(4), xn = r.I16(6);
      if (!xd || !yd) throw Corrupt();
      if (!m_windowSet) m_wox = m_meta.winX, m_woy = m_meta.winY, m_wex = m_meta.winW, m_wey = m_meta.winH;
      m_windowSet = true;
      m_wex = m_wex * xn / xd, m_wey = m_wey * yn / yd;
      Update();
      return;
    }
    // The viewport is the target rectangle.
    case kWSetViewportOrg: case kWSetViewportExt: case kWOffsetViewportOrg: case kWScaleViewportExt: return;
    case kWMoveTo: MoveTo(r.I16(2), r.I16(0)); return;
    case kWLineTo: PolyTo({PtF(r.I16(2), r.I16(0))}); return;
    case kWExcludeClipRect: case kWIntersectClipRect:
      ClipRect(r.I16(6), r.I16(4), r.I16(2), r.I16(0), fn == kWExcludeClipRect);
      return;
    case kWOffsetClipRgn: {
      const PtF o = Map(r.I16(2), r.I16(0)), z = Map(0, 0);
      OffsetClipRgn(m_dc, Clamp(o.x - z.x), Clamp(o.y - z.y));
      return;
    }
    case kWRectangle: case kWEllipse:
      Shape(fn == kWEllipse ? 1 : 0, r.I16(6), r.I16(4), r.I16(2), r.I16(0), 0, 0, 0, 0);
      return;
    case kWRoundRect: Shape(2, r.I16(10), r.I16(8), r.I16(6), r.I16(4), r.I16(2), r.I16(0), 0, 0); return;
    case kWArc: case kWPie: case kWChord:
      Shape(fn == kWArc ? 3 : fn == kWChord ? 4 : 5, r.I16(14), r.I16(12), r.I16(10), r.I16(8), r.I16(6), r.I16(4),
            r.I16(2), r.I16(0));
      return;
    case kWSetPixel: {
      if (m_inPath) return;
      const POINT d = Dev(r.I16(6), r.I16(4));
      SetPixelV(m_dc, d.x, d.y, WColor(r, 0));
      return;
    }
    case kWPolygon: case kWPolyline: {
      const std::uint16_t n = r.U16(0);
      std::vector<PtF> pts = ReadPoints(r, 2, n, true);
      Poly({pts}, fn == kWPolygon);
      return;
    }
    case kWPolyPolygon: {
      const std::uint16_t n = r.U16(0);
      r.Need(2, size_t{n} * 2);
      std::vector<std::vector<PtF>> polys;
      size_t off = 2 + size_t{n} * 2;
      for (std::uint16_t i = 0; i < n; ++i) {
        const std::uint16_t c = r.U16(2 + size_t{i} * 2);
        polys.push_back(ReadPoints(r, off, c, true));
        off += size_t{c} * 4;
      }
      Poly(polys, true);
      return;
    }
    case kWSaveDC: Save(); return;
    case kWRestoreDC: Restore(r.I16(0)); return;
    case kWTextOut: {
      const std::uint16_t n = r.U16(0);
      const size_t padded = (size_t{n} + 1) & ~size_t{1};
      r.Need(2, padded);
      const std::string s(reinterpret_cast<const char*>(r.p + 2), n);
      const double y = r.I16(2 + padded), x = r.I16(4 + padded);
      Text(x, y, 0, nullptr, false, nullptr, &s, {});
      return;
    }
    case kWExtTextOut: {
      const double y = r.I16(0), x = r.I16(2);
      const std::uint16_t n = r.U16(4), options = r.U16(6);
      size_t off = 8;
      RECT rc{};
      const bool haveRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
      if (haveRect) {
        rc = RECT{r.I16(8), r.I16(10), r.I16(12), r.I16(14)};
        off += 8;
      }
      r.Need(off, n);
      const std::string s(reinterpret_cast<const char*>(r.p + off), n);
      off += (size_t{n} + 1) & ~size_t{1};
      std::vector<INT> dx;
      if (n && off + size_t{n} * 2 <= r.n)
        for (std::uint16_t i = 0; i < n; ++i) dx.push_back(r.I16(off + size_t{i} * 2));
      Text(x, y, options, &rc, haveRect, nullptr, &s, dx);
      return;
    }
    case kWCreatePenIndirect: {
      Obj o;
      o.kind = Obj::Pen;
      o.penStyle = r.U16(0);
      o.penWidth = r.I16(2);
      o.color = WColor(r, 6);
      if (o.penWidth > 1) o.penStyle |= PS_GEOMETRIC;
      createAt(std::move(o));
      return;
    }
    case kWCreateBrushIndirect: {
      Obj o;
      o.kind = Obj::Brush;
      o.brushStyle = r.U16(0);
      o.color = WColor(r, 2);
      o.hatch = r.U16(6);
      if (o.brushStyle != BS_SOLID && o.brushStyle != BS_NULL && o.brushStyle != BS_HATCHED) o.brushStyle = BS_SOLID;
      createAt(std::move(o));
      return;
    }
    case kWCreateFontIndirect: {
      Obj o;
      o.kind = Obj::Font;
      LOGFONT& lf = o.font;
      lf.lfHeight = r.I16(0);
      lf.lfWidth = r.I16(2);
      lf.lfEscapement = r.I16(4);
      lf.lfOrientation = r.I16(6);
      lf.lfWeight = r.I16(8);
      lf.lfItalic = r.U8(10);
      lf.lfUnderline = r.U8(11);
      lf.lfStrikeOut = r.U8(12);
      lf.lfCharSet = r.U8(13);
      lf.lfOutPrecision = r.U8(14);
      lf.lfClipPrecision = r.U8(15);
      lf.lfQuality = r.U8(16);
      lf.lfPitchAndFamily = r.U8(17);
      for (size_t i = 0; i < LF_FACESIZE - 1 && 18 + i < r.n; ++i) {
        const char c = static_cast<char>(r.U8(18 + i));
        if (!c) break;
        lf.lfFaceName[i] = c;
      }
      createAt(std::move(o));
      return;
    }
    case kWCreatePalette: {
      Obj o;
      o.kind = Obj::Palette;
      const std::uint16_t count = r.U16(2);
      r.Need(4, size_t{count} * 4);
      o.entries.resize(count);
      if (count) std::memcpy(o.entries.data(), r.p + 4, size_t{count} * 4);
      createAt(std::move(o));
      return;
    }
    case kWDibCreatePatternBrush: {
      Obj o;
      o.kind = Obj::Brush;
      o.brushStyle = BS_DIBPATTERNPT;
      o.dibUsage = r.U16(2);
      if (o.dibUsage > DIB_PAL_COLORS) throw Corrupt();
      std::vector<std::uint32_t> info, pixels;
      const DWORD hs = r.U32(4);
      r.Need(4, hs);
      if (TakeDib(r.p + 4, r.n - 4, r.p + 4, r.n - 4, o.dibUsage, info, pixels)) {
        const size_t head = DIBHeaderBytes(reinterpret_cast<const BITMAPINFO*>(info.data()), o.dibUsage);
        r.Need(4 + head, pixels.size() * 4 > r.n ? r.n : 0);
        std::vector<BYTE> packed(head + pixels.size() * 4, 0);
        std::memcpy(packed.data(), info.data(), head);
        const size_t avail = std::min(pixels.size() * 4, r.n - 4 - head);
        std::memcpy(packed.data() + head, r.p + 4 + head, avail);
        o.dib.assign((packed.size() + 3) / 4, 0);
        std::memcpy(o.dib.data(), packed.data(), packed.size());
      } else {
        o.brushStyle = BS_SOLID;
      }
      createAt(std::move(o));
      return;
    }
    case kWCreatePatternBrush: case kWCreateRegion: {
      // Kept only for their slots: old bitmap brushes and regions do not draw.
      Obj o;
      o.kind = Obj::Other;
      createAt(std::move(o));
      ++g_counts.skipped;
      --g_counts.played;
      return;
    }
    case kWSelectObject: {
      const std::uint16_t i = r.U16(0);
      if (i >= m_objs.size()) throw Corrupt();
      Select(i);
      return;
    }
    case kWSelectPalette: {
      const std::uint16_t i = r.U16(0);
      if (i >= m_objs.size() || m_objs[i].kind != Obj::Palette) throw Corrupt();
      Select(i);
      return;
    }
    case kWRealizePalette: RealizePalette(m_dc); return;
    case kWSelectClipRegion: {
      const std::uint16_t i = r.U16(0);
      if (i >= m_objs.size() || m_objs[i].kind == Obj::None) throw Corrupt();
      ++g_counts.skipped;
      --g_counts.played;
      return;
    }
    case kWDeleteObject: {
      const std::uint16_t i = r.U16(0);
      if (i >= m_objs.size()) throw Corrupt();
      Delete(i);
      return;
    }
    case kWPatBlt: {
      const DWORD rop = r.U32(0);
      const double h = r.I16(4), w = r.I16(6), y = r.I16(8), x = r.I16(10);
      Blit(r, x, y, w, h, 0, 0, 0, 0, 0, 0, 0, 0, DIB_RGB_COLORS, rop);
      return;
    }
    case kWDibBitBlt: case kWDibStretchBlt: case kWStretchDib: {
      const DWORD rop = r.U32(0);
      size_t o = 4;
      UINT usage = DIB_RGB_COLORS;
      if (fn == kWStretchDib) {
        usage = r.U16(o);
        o += 2;
        if (usage > DIB_PAL_COLORS) throw Corrupt();
      }
      int sh, sw;
      if (fn == kWDibBitBlt) {
        // Without a bitmap the record is a pattern fill with one more word.
        const bool noBitmap = r.n == 4 + 7 * 2;
        if (noBitmap) {
          const double h = r.I16(6), w = r.I16(8), y = r.I16(10), x = r.I16(12);
          Blit(r, x, y, w, h, 0, 0, 0, 0, 0, 0, 0, 0, DIB_RGB_COLORS, rop);
          return;
        }
        const int sy = r.I16(o), sx = r.I16(o + 2);
        const double h = r.I16(o + 4), w = r.I16(o + 6), y = r.I16(o + 8), x = r.I16(o + 10);
        const size_t dib = o + 12;
        r.Need(dib, 4);
        Blit(r, x, y, w, h, sx, sy, static_cast<int>(w), static_cast<int>(h), dib, r.n - dib, dib, r.n - dib, usage,
             rop);
        return;
      }
      sh = r.I16(o), sw = r.I16(o + 2);
      const int sy = r.I16(o + 4), sx = r.I16(o + 6);
      const double h = r.I16(o + 8), w = r.I16(o + 10), y = r.I16(o + 12), x = r.I16(o + 14);
      const size_t dib = o + 16;
      if (fn == kWDibStretchBlt && r.n == dib + 2) {
        Blit(r, x, y, w, h, 0, 0, 0, 0, 0, 0, 0, 0, DIB_RGB_COLORS, rop);
        return;
      }
      r.Need(dib, 4);
      // A packed DIB: the bits follow the header and colour table.
      std::vector<std::uint32_t> info, pixels;
      const BYTE* d = r.p + dib;
      const size_t total = r.n - dib;
      DWORD hsz;
      std::memcpy(&hsz, d, 4);
      if (hsz > total) throw Corrupt();
      std::vector<std::uint32_t> probe((total + 3) / 4 + 1, 0);
      std::memcpy(probe.data(), d, total);
      const size_t head = DIBHeaderBytes(reinterpret_cast<const BITMAPINFO*>(probe.data()), usage);
      if (head == 0 || head > total) throw Corrupt();
      Blit(r, x, y, w, h, sx, sy, sw, sh, dib, head, dib + head, total - head, usage, rop);
      return;
    }
    default:
      ++g_counts.skipped;
      --g_counts.played;
      return;
  }
}

}  // namespace

// ---- The calls --------------------------------------------------------------------------------

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* bits) {
  if (!bits || size < 88) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  try {
    auto m = std::make_shared<Meta>();
    m->bits.assign(bits, bits + size);
    Rec all{m->bits.data(), m->bits.size()};
    const DWORD hsize = all.U32(4);
    if (all.U32(0) != EMR_HEADER || hsize < 88 || hsize % 4 || hsize > size || all.U32(40) != ENHMETA_SIGNATURE)
      throw Corrupt();
    std::memcpy(&m->header, m->bits.data(), std::min<size_t>(hsize, sizeof(ENHMETAHEADER)));
    if (hsize < sizeof(ENHMETAHEADER))
      std::memset(reinterpret_cast<BYTE*>(&m->header) + hsize, 0, sizeof(ENHMETAHEADER) - hsize);
    // Every record must fit, and the last must be the end record.
    size_t pos = 0;
    bool end = false;
    while (pos + 8 <= size) {
      Rec r{m->bits.data() + pos, size - pos};
      const DWORD type = r.U32(0), rs = r.U32(4);
      if (rs < 8 || rs % 4 || rs > r.n) throw Corrupt();
      if (type == EMR_EOF) {
        r.n = rs;
        const std::uint32_t n = r.U32(8), off = r.U32(12);
        if (n) {
          if (n > rs / 4) throw Corrupt();
          r.Need(off, size_t{n} * 4);
          m->palette.resize(n);
          std::memcpy(m->palette.data(), r.p + off, size_t{n} * 4);
        }
        end = true;
        break;
      }
      pos += rs;
    }
    if (!end) throw Corrupt();
    m->header.nPalEntries = static_cast<DWORD>(m->palette.size());
    return AddMeta(std::move(m));
  } catch (...) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
}

HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* bits, HDC, const METAFILEPICT* picture) {
  if (!bits || size < 18) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  try {
    auto m = std::make_shared<Meta>();
    m->wmf = true;
    m->bits.assign(bits, bits + size);
    Rec all{m->bits.data(), m->bits.size()};
    const WORD type = all.U16(0), headerWords = all.U16(2);
    if ((type != 1 && type != 2) || headerWords != 9) throw Corrupt();
    m->wmfObjects = all.U16(10);
    if (picture) m->picture = *picture;
    // The window of the first window records, before anything is drawn.
    bool haveOrg = false, haveExt = false;
    size_t pos = 18;
    bool end = false;
    while (pos + 6 <= size) {
      Rec r{m->bits.data() + pos, size - pos};
      const std::uint64_t rs = std::uint64_t{r.U32(0)} * 2;
      const WORD fn = r.U16(4);
      if (rs < 6 || rs > r.n) throw Corrupt();
      if (fn == 0) {
        end = true;
        break;
      }
      if (fn == kWSetWindowOrg && !haveOrg && rs >= 10) {
        m->winY = r.I16(6), m->winX = r.I16(8);
        haveOrg = true;
      } else if (fn == kWSetWindowExt && !haveExt && rs >= 10) {
        m->winH = r.I16(6), m->winW = r.I16(8);
        haveExt = true;
      }
      pos += static_cast<size_t>(rs);
    }
    if (!end) throw Corrupt();
    // Without window records its units are the target's pixels (winW and
    // winH stay 0); the header then takes the picture's extents (0.01 mm in
    // the scaled modes) as its size.
    LONG boundsW = static_cast<LONG>(std::fabs(m->winW)), boundsH = static_cast<LONG>(std::fabs(m->winH));
    if (!haveExt && picture) {
      const bool metric = picture->mm == MM_ANISOTROPIC || picture->mm == MM_ISOTROPIC;
      boundsW = static_cast<LONG>(metric ? std::lround(std::fabs(picture->xExt) * 96.0 / 2540) : std::labs(picture->xExt));
      boundsH = static_cast<LONG>(metric ? std::lround(std::fabs(picture->yExt) * 96.0 / 2540) : std::labs(picture->yExt));
    }
    // A header for GetEnhMetaFileHeader: the window at 96 dots per inch.
    ENHMETAHEADER& h = m->header;
    h.iType = EMR_HEADER;
    h.nSize = sizeof(ENHMETAHEADER);
    h.dSignature = ENHMETA_SIGNATURE;
    h.nVersion = 0x10000;
    h.nBytes = size;
    h.nHandles = static_cast<WORD>(std::min(m->wmfObjects + 1, 0xFFFF));
    h.szlDevice = SIZE{1920, 1080};
    h.szlMillimeters = SIZE{508, 286};
    const LONG w = boundsW, hh = boundsH;
    h.rclBounds = RECT{0, 0, w, hh};
    h.rclFrame = RECT{0, 0, static_cast<LONG>(std::lround(w * 2540.0 / 96)), static_cast<LONG>(std::lround(hh * 2540.0 / 96))};
    return AddMeta(std::move(m));
  } catch (...) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
}

UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header) {
  auto m = FindMeta(metafile);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!header) return sizeof(ENHMETAHEADER);
  const UINT n = std::min<UINT>(size, sizeof(ENHMETAHEADER));
  std::memcpy(header, &m->header, n);
  return n;
}

UINT GetEnhMetaFilePaletteEntries(HENHMETAFILE metafile, UINT count, PALETTEENTRY* entries) {
  auto m = FindMeta(metafile);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return GDI_ERROR;
  }
  if (!entries) return static_cast<UINT>(m->palette.size());
  const UINT n = std::min<UINT>(count, static_cast<UINT>(m->palette.size()));
  if (n) std::memcpy(entries, m->palette.data(), n * sizeof(PALETTEENTRY));
  return n;
}

BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE metafile, LPCRECT rect) {
  auto m = FindMeta(metafile);
  if (!m || !rect) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Player player(hdc, *m, *rect);
  return player.Play() ? TRUE : FALSE;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE metafile) {
  std::lock_guard<std::mutex> g(g_mu);
  if (!g_metas.erase(reinterpret_cast<std::uintptr_t>(metafile))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

QmMetafilePlayCounts QmLastMetafilePlayCounts() { return g_counts; }
