#include "controls/DrawUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi.h"

// ---- CLogFont ----

CLogFont::CLogFont(const char* faceName, LONG height) {
  std::memset(static_cast<LOGFONT*>(this), 0, sizeof(LOGFONT));
  lfCharSet = DEFAULT_CHARSET;
  if (faceName) SetFaceName(faceName);
  lfHeight = height;
}

int CLogFont::SetFaceName(const char* name) {
  const size_t n = name ? std::min<size_t>(std::strlen(name), LF_FACESIZE - 1) : 0;
  std::memset(lfFaceName, 0, sizeof(lfFaceName));
  if (n) std::memcpy(lfFaceName, name, n);
  return static_cast<int>(n) + 1;
}

// ---- Text raster ----

bool RasterizeText(const char* text, const LOGFONT& font, SIZE& size, std::vector<POINT>& cells) {
  cells.clear();
  size = SIZE{0, 0};
  if (!text) return false;
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  bool drawn = false;
  HDC mem = CreateCompatibleDC(screen);
  HFONT hfont = CreateFontIndirect(&font);
  if (mem && hfont) {
    HGDIOBJ oldFont = SelectObject(mem, hfont);
    const int length = static_cast<int>(std::strlen(text));
    if (GetTextExtentPoint32(mem, text, length, &size) && size.cx > 0 && size.cy > 0) {
      HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
      if (bitmap) {
        HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
        const RECT all{0, 0, size.cx, size.cy};
        HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
        FillRect(mem, &all, black);
        DeleteObject(black);
        SetTextColor(mem, RGB(255, 255, 255));
        SetBkMode(mem, TRANSPARENT);
        drawn = TextOut(mem, 0, 0, text, length) != 0;
        for (int x = 0; drawn && x < size.cx; ++x)
          for (int y = 0; y < size.cy; ++y)
            if (GetPixel(mem, x, y) == RGB(255, 255, 255)) cells.push_back(POINT{x, y});
        SelectObject(mem, oldBitmap);
        DeleteObject(bitmap);
      }
    }
    SelectObject(mem, oldFont);
  }
  if (hfont) DeleteObject(hfont);
  if (mem) DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return drawn;
}

// ---- Aspect ----

const RECT& FitRectToAspect(const RECT& rect, int width, int height) {
  static RECT result;
  result = rect;
  const long long w0 = static_cast<long long>(rect.right) - rect.left;
  const long long h0 = static_cast<long long>(rect.bottom) - rect.top;
  if (w0 <= 0 || h0 <= 0 || width <= 0 || height <= 0) return result;
  const double h = static_cast<double>(w0) * height / width;
  const double k = h / static_cast<double>(h0);
  const double rw = k > 1 ? static_cast<double>(w0) / k : static_cast<double>(w0);
  const double rh = k > 1 ? h / k : h;
  const LONG fw = static_cast<LONG>(std::trunc(rw));
  const LONG fh = static_cast<LONG>(std::trunc(rh));
  result = RECT{rect.left, rect.top, rect.left + fw, rect.top + fh};
  const LONG spareW = static_cast<LONG>(w0) - fw, spareH = static_cast<LONG>(h0) - fh;
  if (spareW > 0) {
    result.left += spareW / 2;
    result.right += spareW / 2;
  }
  if (spareH > 0) {
    result.top += spareH / 2;
    result.bottom += spareH / 2;
  }
  return result;
}

// ---- Colours ----

COLORREF GetContrastColor(COLORREF c) {
  auto flip = [](BYTE v) -> BYTE { return v < 128 ? 255 : 0; };
  return RGB(flip(GetRValue(c)), flip(GetGValue(c)), flip(GetBValue(c)));
}

COLORREF InvertColor(COLORREF c) {
  return RGB(static_cast<BYTE>(255 - GetRValue(c)), static_cast<BYTE>(255 - GetGValue(c)),
             static_cast<BYTE>(255 - GetBValue(c)));
}

COLORREF GetTextColorForBackground(COLORREF c) {
  return GetRValue(c) + GetGValue(c) + GetBValue(c) < 384 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

// ---- Gradients ----

namespace {

BYTE Clamp(double v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); }

COLORREF Shift(COLORREF c, int by) {
  return RGB(Clamp(GetRValue(c) + by), Clamp(GetGValue(c) + by), Clamp(GetBValue(c) + by));
}

// One colour between a and b, `part` of `whole` of the way.
COLORREF Between(COLORREF a, COLORREF b, long long part, long long whole) {
  auto mix = [&](int x, int y) { return Clamp(x + std::trunc(static_cast<double>(y - x) * part / whole)); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void HorizontalLine(HDC dc, LONG left, LONG right, LONG y, COLORREF color) {
  const RECT line{left, y, right, y + 1};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &line, brush);
  DeleteObject(brush);
}

void VerticalLine(HDC dc, LONG x, LONG top, LONG bottom, COLORREF color) {
  const RECT line{x, top, x + 1, bottom};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &line, brush);
  DeleteObject(brush);
}

}  // namespace

void DrawGradientFace(CDC* dc, const RECT& rect, int step, bool horizontal, int spacing) {
  if (!dc || spacing <= 0) return;
  const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF dark = Shift(face, -step), light = Shift(face, step);
  const HDC hdc = dc->GetSafeHdc();
  if (!horizontal) {
    for (LONG y = 0; y < h; y += spacing) HorizontalLine(hdc, rect.left, rect.right, rect.top + y, Between(dark, light, y, h));
  } else {
    for (LONG x = 0; x < w; x += spacing) VerticalLine(hdc, rect.left + x, rect.top, rect.bottom, Between(light, dark, x, w));
  }
}

void DrawGradientRect(CDC* dc, const RECT& rect, COLORREF a, COLORREF b, int spacing) {
  if (!dc || spacing <= 0) return;
  const LONG height = rect.bottom - rect.top;
  const LONG half = height / 2;
  if (half <= 0 || rect.right <= rect.left) return;
  const HDC hdc = dc->GetSafeHdc();
  auto channel = [&](int from, int to, LONG offset, bool down) {
    const double increment = static_cast<double>(to - from) / half;
    return down ? Clamp(to - std::trunc((offset - half) * increment)) : Clamp(from + std::trunc(offset * increment));
  };
  for (LONG offset = 0; offset < height; offset += spacing) {
    const bool down = offset >= half;
    const COLORREF c = RGB(channel(GetRValue(a), GetRValue(b), offset, down),
                           channel(GetGValue(a), GetGValue(b), offset, down),
                           channel(GetBValue(a), GetBValue(b), offset, down));
    HorizontalLine(hdc, rect.left, rect.right, rect.top + offset, c);
  }
}

void DrawHorizontalGradient(CDC* dc, const RECT& rect, COLORREF a, COLORREF b, int spacing) {
  if (!dc || spacing <= 0) return;
  const LONG w = rect.right - rect.left;
  if (w <= 0 || rect.bottom <= rect.top) return;
  const HDC hdc = dc->GetSafeHdc();
  for (LONG x = 0; x < w; x += spacing) VerticalLine(hdc, rect.left + x, rect.top, rect.bottom, Between(a, b, x, w));
}
