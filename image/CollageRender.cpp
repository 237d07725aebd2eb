// Drawing the collage layers onto the canvas: picture layers with their
// effects, rotation and mask; text layers as a cloud of lit pixels with
// rotation, shadows and a colour gradient.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/FrameServices.h"
#include "core/HslColor.h"
#include "core/TextUtils.h"
#include "image/Collage.h"
#include "image/ImageImpl.h"
#include "image/ImageView.h"

namespace {

constexpr double kPi = 3.141592654;
// Fonts beyond this height (pixels) are refused: no collage needs them, and
// their rasters would be enormous.
constexpr LONG kMaxFontHeight = 4096;

double Radians(double angle) { return angle <= 0 ? 0.0 : kPi / (180.0 / angle); }

// A progress run of one step, opened and closed with the step.
class CStepProgress {
 public:
  CStepProgress(IProgress* progress, const char* format, const char* caption, int total) : m_progress(progress) {
    if (!m_progress) return;
    std::string text(format);
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, caption ? caption : "");
    m_progress->Begin(total, text.c_str());
  }
  ~CStepProgress() {
    if (m_progress) m_progress->End();
  }
  void SetPos(int pos) {
    if (m_progress) m_progress->SetPos(pos);
  }

 private:
  IProgress* m_progress;
};

// The canvas's pixels: straight into the rows of a 24-bit picture, through
// the virtual pixel operations otherwise. Rows are DIB rows (bottom-up).
class CCanvasPixels {
 public:
  explicit CCanvasPixels(CImage& image)
      : m_image(image), m_width(image.GetWidth()), m_height(image.GetHeight()) {
    if (image.GetBitsPerPixel() == 24 && image.GetBits()) {
      m_bits = image.GetBits();
      m_stride = static_cast<size_t>(image.GetRowStride());
    }
  }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool Get(int x, int row, BYTE& r, BYTE& g, BYTE& b) const {
    if (m_bits) {
      const BYTE* p = m_bits + static_cast<size_t>(row) * m_stride + static_cast<size_t>(x) * 3;
      b = p[0];
      g = p[1];
      r = p[2];
      return true;
    }
    return m_image.GetPixelRGB(x, row, r, g, b);
  }
  void Set(int x, int row, BYTE r, BYTE g, BYTE b) {
    if (m_bits) {
      BYTE* p = m_bits + static_cast<size_t>(row) * m_stride + static_cast<size_t>(x) * 3;
      p[0] = b;
      p[1] = g;
      p[2] = r;
      return;
    }
    m_image.SetPixelRGB(x, row, r, g, b);
  }
  // (layer x (255 - t) + canvas x t) / 255 for each component.
  void Mix(int x, int row, BYTE r, BYTE g, BYTE b, BYTE t) {
    BYTE cr = 0, cg = 0, cb = 0;
    if (!Get(x, row, cr, cg, cb)) return;
    const unsigned keep = 255u - t;
    Set(x, row, static_cast<BYTE>((r * keep + cr * t) / 255u), static_cast<BYTE>((g * keep + cg * t) / 255u),
        static_cast<BYTE>((b * keep + cb * t) / 255u));
  }

 private:
  CImage& m_image;
  int m_width;
  int m_height;
  BYTE* m_bits = nullptr;
  size_t m_stride = 0;
};

struct CRotation {
  double cx, cy, c, s;
  CRotation(double centreX, double centreY, double radians)
      : cx(centreX), cy(centreY), c(std::cos(radians)), s(std::sin(radians)) {}
  POINT operator()(double x, double y) const {
    return POINT{RoundToInt(cx + (x - cx) * c - (y - cy) * s), RoundToInt(cy + (x - cx) * s + (y - cy) * c)};
  }
};

bool FitsPictureLimit(std::int64_t width, std::int64_t height, int bytesPerPixel) {
  if (width <= 0 || height <= 0) return false;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bytesPerPixel) + 3) &
                               ~std::uint64_t{3};
  return stride * static_cast<std::uint64_t>(height) <= GetImageMemoryLimit();
}

}  // namespace

// ---- Picture layers -----------------------------------------------------------------

bool CLayerImage::Rotate() {
  CWaitCursor wait;
  int a = m_rotationAngle;
  if (a >= 360) a %= 360;
  CImage& pic = *m_picture;
  const int w = pic.GetWidth(), h = pic.GetHeight();
  const CImageRGBContainer copy(pic);
  const CRotation quad(w / 2, h / 2, Radians(a));
  const CRotation move(w / 2, h / 2, Radians(360.0 - a));
  const POINT corners[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
  for (int i = 0; i < 4; ++i) m_corners[i] = quad(corners[i].x, corners[i].y);
  int nw = w, nh = h;
  std::int64_t minX = 0, minY = 0;
  if (m_rotationMode == 0) {
    std::int64_t maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
      const POINT p = move(corners[i].x, corners[i].y);
      if (i == 0 || p.x < minX) minX = p.x;
      if (i == 0 || p.y < minY) minY = p.y;
      if (i == 0 || p.x > maxX) maxX = p.x;
      if (i == 0 || p.y > maxY) maxY = p.y;
    }
    if (!FitsPictureLimit(maxX - minX + 1, maxY - minY + 1, 3)) return false;
    nw = static_cast<int>(maxX - minX + 1);
    nh = static_cast<int>(maxY - minY + 1);
    if (!pic.CreateBlankInPlace(nw, nh, 0)) return false;
    for (POINT& p : m_corners) {
      p.x = static_cast<LONG>(p.x - minX);
      p.y = static_cast<LONG>(p.y - minY);
    }
  } else {
    CCanvasPixels px(pic);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) px.Set(x, y, 0, 0, 0);
  }
  if (!m_mask.Resize(nw, nh)) return false;
  std::vector<BYTE> written(static_cast<size_t>(nw) * static_cast<size_t>(nh), 0);
  CCanvasPixels out(pic);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const POINT p = move(x, y);
      const std::int64_t tx = p.x - minX, ty = p.y - minY;
      if (tx < 0 || ty < 0 || tx >= nw || ty >= nh) continue;
      BYTE r = 0, g = 0, b = 0;
      copy.GetPixel(x, y, r, g, b);
      out.Set(static_cast<int>(tx), static_cast<int>(ty), r, g, b);
      written[static_cast<size_t>(ty) * nw + static_cast<size_t>(tx)] = 1;
      m_mask.Unmask(static_cast<int>(tx), static_cast<int>(ty));
    }
  // Holes between written pixels of a row take the average of their nearest
  // written neighbours.
  std::vector<int> nextWritten(static_cast<size_t>(nw));
  for (int y = 0; y < nh; ++y) {
    const BYTE* row = written.data() + static_cast<size_t>(y) * nw;
    int first = -1, last = -1;
    for (int x = 0; x < nw; ++x)
      if (row[x]) {
        if (first < 0) first = x;
        last = x;
      }
    if (first < 0 || last - first < 2) continue;
    int next = -1;
    for (int x = last; x >= first; --x) {
      if (row[x]) next = x;
      nextWritten[static_cast<size_t>(x)] = next;
    }
    int prev = first;
    for (int x = first + 1; x < last; ++x) {
      if (row[x]) {
        prev = x;
        continue;
      }
      BYTE r1, g1, b1, r2, g2, b2;
      const int right = nextWritten[static_cast<size_t>(x)];
      if (right < 0 || !out.Get(prev, y, r1, g1, b1) || !out.Get(right, y, r2, g2, b2)) continue;
      out.Set(x, y, static_cast<BYTE>((r1 + r2) >> 1), static_cast<BYTE>((g1 + g2) >> 1),
              static_cast<BYTE>((b1 + b2) >> 1));
      m_mask.Unmask(x, y);
    }
  }
  return true;
}

bool CLayerImage::Render(CImage& canvas, CString& reason, IProgress* progress, const char* caption) {
  const CString path = ResolveFileName();
  if (path.IsEmpty()) {
    reason = CString("There is not the image file\n") + m_fileName;
    return false;
  }
  // A collage naming a collage (itself, or one naming it back) would load
  // without end.
  const std::string& p = path.str();
  if (p.size() >= 4 && CString(p.substr(p.size() - 4)).CompareNoCase(".tsw") == 0) {
    reason = CString("Failed to load the image file\n") + m_fileName;
    return false;
  }
  bool ok = false;
  auto picture = std::make_unique<CImage>(path.GetString(), ok, kImageTypeNone, nullptr);
  if (!ok || !picture->IsValid()) {
    reason = CString("Failed to load the image file\n") + m_fileName;
    return false;
  }
  if (picture->GetBitsPerPixel() != 24) picture = std::make_unique<CImage>(*picture);
  m_picture = std::move(picture);
  if (m_crop.left || m_crop.top || m_crop.right || m_crop.bottom) {
    if (auto cropped = m_picture->Crop(m_crop)) m_picture = std::move(cropped);
  }
  if (!m_picture->IsValid()) {
    reason = CString("Failed to load the image file\n") + m_fileName;
    return false;
  }

  if (m_hueShift || m_saturationShift || m_lightnessShift) {
    CCanvasPixels px(*m_picture);
    const int h = px.Height(), w = px.Width();
    CStepProgress run(progress, "%s - HSL effecting", caption, h);
    const std::int64_t hs = m_hueShift;
    const float ls = 0.02f * static_cast<float>(m_lightnessShift), ss = 0.02f * static_cast<float>(m_saturationShift);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        BYTE r, g, b;
        if (!px.Get(x, y, r, g, b)) continue;
        CHslColor c(RGB(r, g, b));
        float hue = c.GetHue(), sat = c.GetSaturation(), light = c.GetLightness();
        const std::int64_t base = static_cast<std::int64_t>(hs <= 0 ? hue : 360.0f - hue);
        hue += static_cast<float>(4 * hs * base / 180);
        light += ls * (m_lightnessShift > 0 ? 1.0f - light : light);
        sat += ss * (m_saturationShift > 0 ? 1.0f - sat : sat);
        // Large shifts overshoot: the hue goes round the circle, the others
        // stop at their ends.
        hue = std::fmod(hue, 360.0f);
        if (hue < 0) hue += 360.0f;
        if (!(sat >= 0.0f)) sat = 0.0f;
        if (sat > 1.0f) sat = 1.0f;
        if (!(light >= 0.0f)) light = 0.0f;
        if (light > 1.0f) light = 1.0f;
        c.SetHsl(hue, light, sat);
        const COLORREF out = c.GetColorRef();
        px.Set(x, y, GetRValue(out), GetGValue(out), GetBValue(out));
      }
      run.SetPos(y);
    }
  }

  static const int kKinds[5] = {1, 0, 2, 3, 4};
  for (int i = 0; i < 5; ++i) {
    if (!m_distortion[i]) continue;
    if (!m_picture->ApplyDistortion(kKinds[i], 0, i == 4 ? 1.0f : 100.0f)) break;
  }
  if (m_contrast || m_brightness)
    m_picture->AdjustLight(static_cast<long>(m_brightness) * 8, static_cast<long>(m_contrast) * 8);
  if (m_picture->GetBitsPerPixel() != 24) m_picture = std::make_unique<CImage>(*m_picture);

  const int pw = m_picture->GetWidth(), ph = m_picture->GetHeight();
  if (!m_mask.Resize(pw, ph)) return false;
  m_mask.ClearAll();
  m_corners[0] = POINT{0, 0};
  m_corners[1] = POINT{pw, 0};
  m_corners[2] = POINT{pw, ph};
  m_corners[3] = POINT{0, ph};
  if (m_rotationAngle != 0 && !Rotate()) return false;
  for (POINT& c : m_corners) {
    c.x += m_position.x;
    c.y += m_position.y;
  }
  m_picture->ApplyEdgeFilter(m_edgeFilter);
  if (m_picture->GetBitsPerPixel() != 24) m_picture = std::make_unique<CImage>(*m_picture);

  CCanvasPixels src(*m_picture);
  CCanvasPixels dst(canvas);
  const int w = src.Width(), h = src.Height();
  const int cw = dst.Width(), ch = dst.Height();
  CStepProgress run(progress, "%s - color mixing", caption, h);
  const std::int64_t visibleW = std::min<std::int64_t>(m_visibleSize.cx, w);
  for (int i = 0; i < h && i < m_visibleSize.cy; ++i) {
    run.SetPos(i);
    const int srcRow = h - 1 - i;
    const std::int64_t top = static_cast<std::int64_t>(m_position.y) + i;
    if (top < 0 || top >= ch) continue;
    const int dstRow = static_cast<int>(ch - top - 1);
    for (int j = 0; j < visibleW; ++j) {
      const std::int64_t x = static_cast<std::int64_t>(m_position.x) + j;
      if (x >= cw) break;
      if (x < 0 || m_mask.IsMasked(j, srcRow)) continue;
      BYTE r, g, b;
      if (!src.Get(j, srcRow, r, g, b)) continue;
      dst.Mix(static_cast<int>(x), dstRow, r, g, b, m_transparency);
    }
  }
  return true;
}

// ---- Text layers ------------------------------------------------------------------------

namespace {

std::uint64_t PointKey(std::int64_t x, std::int64_t y) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}

// The text drawn white on black; the lit points of it, column by column.
bool RasterizeText(const CString& text, const LOGFONT& font, std::vector<POINT>& cloud, int& width, int& height,
                   IProgress* progress, const char* caption) {
  std::vector<CString> lines;
  {
    const std::string& s = text.str();
    size_t start = 0;
    for (;;) {
      const size_t at = s.find("\r\n", start);
      lines.emplace_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
      if (at == std::string::npos) break;
      start = at + 2;
    }
  }
  if (font.lfHeight > kMaxFontHeight || font.lfHeight < -kMaxFontHeight || font.lfWidth > kMaxFontHeight ||
      font.lfWidth < -kMaxFontHeight)
    return false;
  LOGFONT lf = font;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  // The cloud keeps exactly white pixels: no smoothed edges.
  lf.lfQuality = NONANTIALIASED_QUALITY;
  HFONT hfont = CreateFontIndirect(&lf);
  if (!hfont) return false;
  HDC screen = GetDC(nullptr);
  if (!screen) {
    DeleteObject(hfont);
    return false;
  }
  HGDIOBJ oldScreenFont = SelectObject(screen, hfont);
  std::int64_t maxW = 0, lineH = 0;
  for (const CString& line : lines) {
    const CString measured = line + "   ";
    SIZE size{0, 0};
    if (GetTextExtentPoint32(screen, measured, measured.GetLength(), &size)) {
      maxW = std::max<std::int64_t>(maxW, size.cx);
      lineH = std::max<std::int64_t>(lineH, size.cy);
    }
  }
  SelectObject(screen, oldScreenFont);
  const std::int64_t totalH = lineH * static_cast<std::int64_t>(lines.size());
  bool ok = FitsPictureLimit(maxW, totalH, 4);
  HDC mem = ok ? CreateCompatibleDC(screen) : nullptr;
  HBITMAP bitmap = mem ? CreateCompatibleBitmap(screen, static_cast<int>(maxW), static_cast<int>(totalH)) : nullptr;
  ReleaseDC(nullptr, screen);
  ok = ok && mem && bitmap;
  std::vector<std::uint32_t> pixels;
  if (ok) {
    width = static_cast<int>(maxW);
    height = static_cast<int>(totalH);
    HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    HGDIOBJ oldFont = SelectObject(mem, hfont);
    ok = PatBlt(mem, 0, 0, width, height, BLACKNESS) != FALSE;
    SetTextColor(mem, RGB(255, 255, 255));
    SetBkMode(mem, TRANSPARENT);
    for (size_t i = 0; ok && i < lines.size(); ++i)
      ok = TextOut(mem, 0, static_cast<int>(i * lineH), lines[i], lines[i].GetLength()) != FALSE;
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBitmap);
    if (ok) {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = -height;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
      ok = GetDIBits(mem, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) == height;
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (mem) DeleteDC(mem);
  DeleteObject(hfont);
  if (!ok) return false;
  CStepProgress run(progress, "%s - raster creation", caption, width);
  cloud.clear();
  for (int x = 0; x < width; ++x) {
    run.SetPos(x);
    for (int y = 0; y < height; ++y)
      if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFFu) == 0xFFFFFFu) cloud.push_back(POINT{x, y});
  }
  return true;
}

}  // namespace

bool CLayerText::Render(CImage& canvas, CString&, IProgress* progress, const char* caption) {
  m_visibleSize = SIZE{0, 0};
  std::vector<POINT> cloud;
  int rw = 0, rh = 0;
  if (!RasterizeText(m_text, m_font, cloud, rw, rh, progress, caption)) return false;

  int angle = m_angle;
  if (angle < 0) angle = 359 - static_cast<int>((359 - static_cast<std::int64_t>(angle)) % 360);
  angle %= 360;
  if (angle != 0) {
    const CRotation rot(rw / 2, rh / 2, Radians(angle));
    std::int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    const POINT corners[4] = {{0, 0}, {rw, 0}, {rw, rh}, {0, rh}};
    for (const POINT& c : corners) {
      const POINT p = rot(c.x, c.y);
      minX = std::min<std::int64_t>(minX, p.x);
      minY = std::min<std::int64_t>(minY, p.y);
      maxX = std::max<std::int64_t>(maxX, p.x);
      maxY = std::max<std::int64_t>(maxY, p.y);
    }
    {
      CStepProgress run(progress, "%s - prerotation", caption, 2 * static_cast<int>(cloud.size()));
      int n = 0;
      for (const POINT& q : cloud) {
        const POINT p = rot(q.x, q.y);
        const std::int64_t ox = p.x - minX, oy = p.y - minY;
        if (ox < 0) minX += ox;
        if (oy < 0) minY += oy;
        maxX = std::max(maxX, ox);
        maxY = std::max(maxY, oy);
        run.SetPos(n++);
      }
    }
    const std::int64_t nw64 = maxX - minX + 2, nh64 = maxY - minY + 2;
    if (!FitsPictureLimit(nw64, nh64, 4)) return false;
    const int nw = static_cast<int>(nw64), nh = static_cast<int>(nh64);
    std::vector<BYTE> raster(static_cast<size_t>(nw) * static_cast<size_t>(nh), 0);
    LONG bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;
    bool first = true;
    for (const POINT& q : cloud) {
      const POINT p = rot(q.x, q.y);
      const std::int64_t x = p.x - minX, y = p.y - minY;
      if (x >= 0 && y >= 0 && x < nw && y < nh) raster[static_cast<size_t>(y) * nw + static_cast<size_t>(x)] = 1;
      if (first || q.x < bx0) bx0 = q.x;
      if (first || q.y < by0) by0 = q.y;
      if (first || q.x > bx1) bx1 = q.x;
      if (first || q.y > by1) by1 = q.y;
      first = false;
    }
    const POINT box[4] = {{bx0, by0}, {bx1, by0}, {bx1, by1}, {bx0, by1}};
    for (int i = 0; i < 4; ++i) {
      const POINT p = rot(box[i].x, box[i].y);
      m_corners[i] = POINT{static_cast<LONG>(p.x - minX), static_cast<LONG>(p.y - minY)};
    }
    {
      // Pixels the rotation missed inside strokes: a dark pixel with lit
      // pixels on all four sides is lit.
      CStepProgress run(progress, "%s - rotation", caption, 2 * nh - 2);
      for (int y = 1; y < nh - 1; ++y) {
        BYTE* row = raster.data() + static_cast<size_t>(y) * nw;
        for (int x = 1; x < nw - 1; ++x)
          if (!row[x] && row[x - 1] && row[x + 1] && row[x - nw] && row[x + nw]) row[x] = 1;
        run.SetPos(y);
      }
    }
    cloud.clear();
    for (int y = 0; y < nh; ++y)
      for (int x = 0; x < nw; ++x)
        if (raster[static_cast<size_t>(y) * nw + static_cast<size_t>(x)]) cloud.push_back(POINT{x, y});
    rw = nw;
    rh = nh;
  } else {
    LONG bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;
    for (size_t i = 0; i < cloud.size(); ++i) {
      const POINT& q = cloud[i];
      if (i == 0 || q.x < bx0) bx0 = q.x;
      if (i == 0 || q.y < by0) by0 = q.y;
      if (i == 0 || q.x > bx1) bx1 = q.x;
      if (i == 0 || q.y > by1) by1 = q.y;
    }
    m_corners[0] = POINT{bx0, by0};
    m_corners[1] = POINT{bx1, by0};
    m_corners[2] = POINT{bx1, by1};
    m_corners[3] = POINT{bx0, by1};
  }

  // Points are kept in 64 bits: the position counts twice below.
  struct P64 {
    std::int64_t x, y;
  };
  std::vector<P64> points;
  points.reserve(cloud.size());
  for (const POINT& q : cloud)
    points.push_back(P64{static_cast<std::int64_t>(q.x) + m_position.x, static_cast<std::int64_t>(q.y) + m_position.y});
  for (POINT& c : m_corners) {
    c.x += m_position.x;
    c.y += m_position.y;
  }

  CCanvasPixels px(canvas);
  const int cw = px.Width(), ch = px.Height();
  std::int64_t seenX = 0, seenY = 0;
  auto draw = [&](const P64& p, std::int64_t off, COLORREF color, BYTE t) {
    if (p.x < 0 && p.y < 0) return;
    seenX = std::max(seenX, p.x);
    seenY = std::max(seenY, p.y);
    const std::int64_t x = p.x + m_position.x + off, y = p.y + m_position.y + off;
    if (x < 0 || y < 0 || x >= cw || y >= ch) return;
    px.Mix(static_cast<int>(x), static_cast<int>(ch - y - 1), GetRValue(color), GetGValue(color), GetBValue(color), t);
  };

  const int n = m_shadowSize;
  if (n > 0) {
    std::unordered_set<std::uint64_t> lit;
    lit.reserve(points.size() * 2);
    for (const P64& p : points) lit.insert(PointKey(p.x, p.y));
    std::unordered_set<std::uint64_t> taken;
    std::vector<P64> outline;
    for (const P64& p : points) {
      const std::uint64_t key = PointKey(p.x + 1, p.y + 1);
      if (lit.count(key) || !taken.insert(key).second) continue;
      outline.push_back(P64{p.x + 1, p.y + 1});
    }
    const BYTE step = static_cast<BYTE>(m_shadowFade / n);
    CStepProgress run(progress, "%s - shadowing", caption, static_cast<int>(outline.size()));
    // Step k draws the outline moved k pixels right and down, each step
    // more transparent (the byte wraps). Only the steps between the first
    // that reaches the canvas and the last that still touches it can draw:
    // the others are passed over, whatever the shadow's size.
    std::int64_t firstStep = INT64_MAX, lastStep = INT64_MIN;
    for (const P64& p : outline) {
      if (p.x < 0 && p.y < 0) continue;
      const std::int64_t x = p.x + m_position.x, y = p.y + m_position.y;
      firstStep = std::min(firstStep, std::max(-x, -y));
      lastStep = std::max(lastStep, std::min(cw - 1 - x, ch - 1 - y));
    }
    auto shadowStep = [&](std::int64_t k) {
      const BYTE t = static_cast<BYTE>((m_transparency + (k + 1) * step) & 0xFF);
      int i = 0;
      for (const P64& p : outline) {
        draw(p, k, m_shadowColor, t);
        run.SetPos(i++);
      }
    };
    // The first step always runs: it measures the visible size.
    shadowStep(0);
    const std::int64_t last = std::min<std::int64_t>(n - 1, lastStep);
    for (std::int64_t k = std::max<std::int64_t>(1, firstStep); k <= last; ++k) shadowStep(k);
  }

  if (m_gradient) {
    CStepProgress run(progress, "%s - gradienting", caption, 2 * static_cast<int>(points.size()));
    std::int64_t m = 0;
    for (const P64& p : points) m = std::max(m, p.x);
    const int sr = GetRValue(m_textColor), sg = GetGValue(m_textColor), sb = GetBValue(m_textColor);
    const int er = GetRValue(m_gradientEnd), eg = GetGValue(m_gradientEnd), eb = GetBValue(m_gradientEnd);
    auto part = [&](int s, int e, std::int64_t x) {
      const std::int64_t v = m == 0 ? s : s + (e - s) * x / m;
      return static_cast<BYTE>(std::clamp<std::int64_t>(v, 0, 255));
    };
    int i = 0;
    for (const P64& p : points) {
      draw(p, 0, RGB(part(sr, er, p.x), part(sg, eg, p.x), part(sb, eb, p.x)), m_transparency);
      run.SetPos(i++);
    }
  } else {
    CStepProgress run(progress, "%s - finishing", caption, static_cast<int>(points.size()));
    int i = 0;
    for (const P64& p : points) {
      draw(p, 0, m_textColor, m_transparency);
      run.SetPos(i++);
    }
  }
  const std::int64_t vw = seenX + n, vh = seenY + n;
  m_visibleSize.cx = static_cast<LONG>(std::clamp<std::int64_t>(vw, INT32_MIN, INT32_MAX));
  m_visibleSize.cy = static_cast<LONG>(std::clamp<std::int64_t>(vh, INT32_MIN, INT32_MAX));
  return true;
}
