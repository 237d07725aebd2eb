// Copies between device contexts: BitBlt and StretchBlt with every ternary
// raster operation, TransparentBlt, AlphaBlend and MaskBlt. Monochrome
// sources take the destination's text (0) and background (1) colours;
// colour sources copied to monochrome become white where they equal the
// source's background colour.
#include <algorithm>
#include <cmath>

#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

struct Geometry {
  QRect dst;      // normalised device rectangle of the destination
  QRect src;      // normalised device rectangle of the source
  bool flipX = false, flipY = false;
};

bool MakeGeometry(const DcAttrs& da, int x, int y, int w, int h, const DcAttrs* sa, int xs, int ys, int ws, int hs,
                  Geometry& g) {
  const QPoint d0 = ToDevice(da, x, y), d1 = ToDevice(da, x + w, y + h);
  g.dst = QRect(std::min(d0.x(), d1.x()), std::min(d0.y(), d1.y()), std::abs(d1.x() - d0.x()), std::abs(d1.y() - d0.y()));
  if (!sa) {
    g.src = QRect();
    return !g.dst.isEmpty();
  }
  const QPoint s0 = ToDevice(*sa, xs, ys), s1 = ToDevice(*sa, xs + ws, ys + hs);
  g.src = QRect(std::min(s0.x(), s1.x()), std::min(s0.y(), s1.y()), std::abs(s1.x() - s0.x()), std::abs(s1.y() - s0.y()));
  g.flipX = ((d1.x() - d0.x()) < 0) != ((s1.x() - s0.x()) < 0);
  g.flipY = ((d1.y() - d0.y()) < 0) != ((s1.y() - s0.y()) < 0);
  return !g.dst.isEmpty() && !g.src.isEmpty();
}

// Source index range [lo, hi) for destination index i of n (source length m).
inline void SourceRange(int i, int n, int m, bool flip, int& lo, int& hi) {
  if (flip) i = n - 1 - i;
  lo = static_cast<int>(static_cast<long long>(i) * m / n);
  hi = static_cast<int>((static_cast<long long>(i + 1) * m + n - 1) / n);
  if (hi <= lo) hi = lo + 1;
}

// A source prepared in destination colours.
struct Source {
  Target t;
  bool mono = false;
  uint32_t monoBlack = 0, monoWhite = 0;  // mono source -> colour destination
  bool toMono = false;
  uint32_t srcBk = 0;                      // colour source -> mono destination
  uint32_t Get(int x, int y) const {
    uint32_t p = t.Row(y)[x] | 0xFF000000u;
    if (mono) return (p & 0xFFFFFFu) ? monoWhite : monoBlack;
    if (toMono) return p == srcBk ? 0xFFFFFFFFu : 0xFF000000u;
    return p;
  }
};

bool PrepareSource(Dc& src, Dc& dst, bool dstMono, Source& s) {
  if (!SourceImage(src, s.t)) return false;
  s.mono = s.t.mono && !dstMono;
  s.monoBlack = ToPixel(ResolveColor(dst.a, dst.a.text));
  s.monoWhite = ToPixel(ResolveColor(dst.a, dst.a.bk));
  s.toMono = !s.t.mono && dstMono;
  s.srcBk = ToPixel(ResolveColor(src.a, src.a.bk));
  return true;
}

bool RopUsesSource(DWORD rop) {
  const unsigned c = (rop >> 16) & 0xFF;
  return ((c >> 2) & 0x33) != (c & 0x33);
}
bool RopUsesPattern(DWORD rop) {
  const unsigned c = (rop >> 16) & 0xFF;
  return ((c >> 4) & 0x0F) != (c & 0x0F);
}

uint32_t Combine(const Source& s, int x0, int x1, int y0, int y1, int mode) {
  if (x1 - x0 == 1 && y1 - y0 == 1) return s.Get(x0, y0);
  switch (mode) {
    case BLACKONWHITE: {
      uint32_t v = 0xFFFFFFFFu;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) v &= s.Get(x, y);
      return v;
    }
    case WHITEONBLACK: {
      uint32_t v = 0xFF000000u;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) v |= s.Get(x, y);
      return v;
    }
    case HALFTONE: {
      unsigned long r = 0, g = 0, b = 0, n = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const uint32_t p = s.Get(x, y);
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
          ++n;
        }
      return 0xFF000000u | static_cast<uint32_t>(((r + n / 2) / n) << 16) |
             static_cast<uint32_t>(((g + n / 2) / n) << 8) | static_cast<uint32_t>((b + n / 2) / n);
    }
    default: return s.Get(x0, y0);
  }
}

// What a copy between two contexts works on: the destination's pixels, the
// geometry, and the source in destination colours (read from a copy of the
// pixels when the source is the destination itself).
struct Copy {
  std::shared_ptr<Dc> dst, src;  // held while the copy draws (StartSourceCopy)
  Target t;
  Geometry g;
  Source s;
  QImage selfCopy;
};

enum class CopyStart { kDraw, kNothingToDraw, kFailed };

// The steps every copy starts with: the destination's target, the geometry
// (against `geometrySource`, or the destination alone when null), then the
// source when one is given.
CopyStart StartCopy(Dc& dst, const DcAttrs* geometrySource, Dc* source, int x, int y, int w, int h, int xs, int ys,
                    int ws, int hs, Copy& c) {
  if (!BeginTarget(dst, c.t)) return CopyStart::kFailed;
  if (!MakeGeometry(dst.a, x, y, w, h, geometrySource, xs, ys, ws, hs, c.g)) return CopyStart::kNothingToDraw;
  if (!source) return CopyStart::kDraw;
  if (!PrepareSource(*source, dst, c.t.mono, c.s)) return CopyStart::kFailed;
  if (c.s.t.img == c.t.img) {
    c.selfCopy = c.t.img->copy();
    c.s.t.img = &c.selfCopy;
  }
  return CopyStart::kDraw;
}

// The start of a copy that always has a source and takes no negative size
// (TransparentBlt, AlphaBlend): ERROR_INVALID_HANDLE when either handle is
// not a context, ERROR_INVALID_PARAMETER for a negative size or when
// `valid` is false, then StartCopy. The contexts stay held in `c`.
CopyStart StartSourceCopy(HDC hdst, HDC hsrc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, bool valid,
                          Copy& c) {
  c.dst = FindDc(hdst);
  c.src = FindDc(hsrc);
  if (!c.dst || !c.src) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CopyStart::kFailed;
  }
  if (!valid || w < 0 || h < 0 || ws < 0 || hs < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return CopyStart::kFailed;
  }
  return StartCopy(*c.dst, &c.src->a, c.src.get(), x, y, w, h, xs, ys, ws, hs, c);
}

// The general copy: every destination pixel of g.dst from its source block.
template <class Pixel>
void ForEachDest(Target& t, const Geometry& g, const QRect& srcBounds, Pixel&& pixel) {
  const int n = g.dst.width(), m = g.dst.height();
  for (int j = 0; j < m; ++j) {
    int sy0, sy1;
    SourceRange(j, m, g.src.height(), g.flipY, sy0, sy1);
    sy0 += g.src.top();
    sy1 += g.src.top();
    if (sy0 < srcBounds.top() || sy1 - 1 > srcBounds.bottom()) continue;
    const int y = g.dst.top() + j;
    t.ForSpan(y, g.dst.left(), g.dst.left() + n, [&](int yy, int a, int b) {
      uint32_t* row = t.Row(yy);
      for (int x = a; x < b; ++x) {
        int sx0, sx1;
        SourceRange(x - g.dst.left(), n, g.src.width(), g.flipX, sx0, sx1);
        sx0 += g.src.left();
        sx1 += g.src.left();
        if (sx0 < srcBounds.left() || sx1 - 1 > srcBounds.right()) continue;
        pixel(row[x], x, yy, sx0, sx1, sy0, sy1);
      }
    });
  }
}

BOOL Blit(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, DWORD rop, bool stretch) {
  auto dst = FindDc(hdst);
  if (!dst) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const bool useSrc = RopUsesSource(rop);
  std::shared_ptr<Dc> src;
  if (useSrc) {
    src = FindDc(hsrc);
    if (!src) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
  if (!stretch) {
    ws = w;
    hs = h;
  }
  Copy c;
  const CopyStart start = StartCopy(*dst, useSrc ? &src->a : nullptr, src.get(), x, y, w, h, xs, ys, ws, hs, c);
  if (start != CopyStart::kDraw) return start == CopyStart::kNothingToDraw ? TRUE : FALSE;
  Target& t = c.t;
  const Geometry& g = c.g;
  const Source& s = c.s;
  BrushFill pat;
  pat.Init(dst->a, dst->a.brush.get(), R2_COPYPEN);
  const bool usePat = RopUsesPattern(rop);
  if (!useSrc) {
    for (int yy = g.dst.top(); yy <= g.dst.bottom(); ++yy)
      t.ForSpan(yy, g.dst.left(), g.dst.right() + 1, [&](int ry, int a, int b) {
        uint32_t* row = t.Row(ry);
        for (int xx = a; xx < b; ++xx) row[xx] = Rop3(rop, usePat && !pat.none ? pat.At(xx, ry) : 0xFF000000u, 0, row[xx]);
      });
    EndTarget(t);
    return TRUE;
  }
  const QRect sb = s.t.bounds;
  const bool oneToOne = g.dst.size() == g.src.size() && !g.flipX && !g.flipY;
  if (oneToOne && rop == SRCCOPY && !s.mono && !s.toMono) {
    const int dx = g.src.left() - g.dst.left(), dy = g.src.top() - g.dst.top();
    for (int yy = g.dst.top(); yy <= g.dst.bottom(); ++yy) {
      const int sy = yy + dy;
      if (sy < sb.top() || sy > sb.bottom()) continue;
      const int lo = std::max(g.dst.left(), sb.left() - dx), hi = std::min(g.dst.right() + 1, sb.right() + 1 - dx);
      t.ForSpan(yy, lo, hi, [&](int ry, int a, int b) {
        const uint32_t* sr = s.t.Row(ry + dy) + a + dx;
        uint32_t* dr = t.Row(ry) + a;
        for (int i = 0; i < b - a; ++i) dr[i] = sr[i] | 0xFF000000u;
      });
    }
    EndTarget(t);
    return TRUE;
  }
  const int mode = stretch ? dst->a.stretchMode : COLORONCOLOR;
  ForEachDest(t, g, sb, [&](uint32_t& d, int dx, int dy, int sx0, int sx1, int sy0, int sy1) {
    const uint32_t sp = Combine(s, sx0, sx1, sy0, sy1, mode);
    const uint32_t pp = usePat && !pat.none ? pat.At(dx, dy) : 0xFF000000u;
    d = Rop3(rop, pp, sp, d);
  });
  EndTarget(t);
  return TRUE;
}

}  // namespace

}  // namespace qmgdi

using namespace qmgdi;

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, false);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop, true);
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, UINT transparent) {
  Copy c;
  const CopyStart start = StartSourceCopy(hdst, hsrc, x, y, w, h, xs, ys, ws, hs, true, c);
  if (start != CopyStart::kDraw) return start == CopyStart::kNothingToDraw ? TRUE : FALSE;
  Target& t = c.t;
  const Source& s = c.s;
  const uint32_t key = ToPixel(transparent & 0xFFFFFFu);
  ForEachDest(t, c.g, s.t.bounds, [&](uint32_t& d, int, int, int sx0, int, int sy0, int) {
    const uint32_t raw = s.t.Row(sy0)[sx0] | 0xFF000000u;
    if (raw == key) return;
    d = s.Get(sx0, sy0);
  });
  EndTarget(t);
  return TRUE;
}

BOOL AlphaBlend(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, BLENDFUNCTION blend) {
  Copy c;
  const CopyStart start = StartSourceCopy(hdst, hsrc, x, y, w, h, xs, ys, ws, hs, blend.BlendOp == AC_SRC_OVER, c);
  if (start != CopyStart::kDraw) return start == CopyStart::kNothingToDraw ? TRUE : FALSE;
  Target& t = c.t;
  const Source& s = c.s;
  // Per-pixel alpha lives in the bits of a 32-bit DIB section.
  const Bitmap* sb = s.t.bitmap;
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) && sb && sb->dibSection && sb->bpp == 32;
  const unsigned sca = blend.SourceConstantAlpha;
  ForEachDest(t, c.g, s.t.bounds, [&](uint32_t& d, int, int, int sx0, int, int sy0, int) {
    const uint32_t p = s.Get(sx0, sy0);
    unsigned alpha = 255;
    if (perPixel) {
      const int stride = sb->img.width() * 4;
      const bool bottomUp = sb->dibHeader.biHeight > 0;
      const int row = bottomUp ? sb->img.height() - 1 - sy0 : sy0;
      alpha = sb->dibStore[static_cast<size_t>(row) * stride + static_cast<size_t>(sx0) * 4 + 3];
    }
    uint32_t out = 0xFF000000u;
    for (int sh = 0; sh <= 16; sh += 8) {
      const unsigned sc = (p >> sh) & 0xFF, dc = (d >> sh) & 0xFF;
      unsigned v;
      if (perPixel) {
        // premultiplied source
        v = (sc * sca + dc * (255 - alpha * sca / 255) + 127) / 255;
      } else {
        v = (sc * sca + dc * (255 - sca) + 127) / 255;
      }
      out |= std::min(255u, v) << sh;
    }
    d = out;
  });
  EndTarget(t);
  return TRUE;
}

BOOL MaskBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int xs, int ys, HBITMAP mask, int xm, int ym, DWORD rop) {
  if (!mask) return BitBlt(hdst, x, y, w, h, hsrc, xs, ys, rop & 0x00FFFFFFu);
  auto m = FindBitmap(mask);
  auto dst = FindDc(hdst);
  auto src = FindDc(hsrc);
  if (!m || !dst || !m->Mono()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD fore = rop & 0x00FFFFFFu;
  const DWORD back = ((rop >> 8) & 0x00FF0000u) | (fore & 0xFFFFu);
  const bool useSrc = src && (RopUsesSource(fore) || RopUsesSource(back));
  Copy c;
  const CopyStart start =
      StartCopy(*dst, src ? &src->a : &dst->a, useSrc ? src.get() : nullptr, x, y, w, h, xs, ys, w, h, c);
  if (start != CopyStart::kDraw) return start == CopyStart::kNothingToDraw ? TRUE : FALSE;
  Target& t = c.t;
  const Geometry& g = c.g;
  const Source& s = c.s;
  BrushFill pat;
  pat.Init(dst->a, dst->a.brush.get(), R2_COPYPEN);
  const QImage& mi = BitmapImage(*m);
  ForEachDest(t, g, useSrc ? s.t.bounds : QRect(-1000000, -1000000, 2000000, 2000000),
              [&](uint32_t& d, int dx, int dy, int sx0, int, int sy0, int) {
                const int mx = xm + dx - g.dst.left(), my = ym + dy - g.dst.top();
                const bool on = mx >= 0 && my >= 0 && mx < mi.width() && my < mi.height() &&
                                (reinterpret_cast<const uint32_t*>(mi.constScanLine(my))[mx] & 0xFFFFFFu) != 0;
                const uint32_t sp = useSrc ? s.Get(sx0, sy0) : 0xFF000000u;
                const uint32_t pp = pat.none ? 0xFF000000u : pat.At(dx, dy);
                d = Rop3(on ? fore : back, pp, sp, d);
              });
  EndTarget(t);
  return TRUE;
}
