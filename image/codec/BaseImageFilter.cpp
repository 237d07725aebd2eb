// Brightness and contrast, edge and contour filters and the radial
// distortions that the collage layers apply.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "image/codec/BaseImage.h"

bool CBaseImage::Light(long brightness, long contrast) {
  if (!pDib) return false;
  // The factor is the single-precision constant 0.01 widened to double, so
  // that a contrast of 0 gives a factor just below 1.
  const double c = static_cast<double>(contrast + 100) * static_cast<double>(0.01f);
  const long offset = brightness + 128;
  BYTE table[256];
  for (int i = 0; i < 256; ++i) {
    const double v = (i - 128) * c + static_cast<double>(offset);
    // Truncated toward zero, kept to 0 ... 255.
    long n;
    if (!(v > 0)) n = 0;
    else if (v >= 255) n = 255;
    else n = static_cast<long>(v);
    table[i] = static_cast<BYTE>(n);
  }
  return Lut(table);
}

bool CBaseImage::Lut(const BYTE* pLut) {
  if (!pDib || !pLut) return false;
  if (head.biClrUsed == 0) {
    BYTE* p = info.pImage;
    for (DWORD i = 0; i < head.biSizeImage; ++i) p[i] = pLut[p[i]];
  } else {
    RGBQUAD* pal = GetPalette();
    for (DWORD i = 0; i < head.biClrUsed; ++i) {
      pal[i].rgbBlue = pLut[pal[i].rgbBlue];
      pal[i].rgbGreen = pLut[pal[i].rgbGreen];
      pal[i].rgbRed = pLut[pal[i].rgbRed];
    }
    info.last_c_isvalid = false;
  }
  return true;
}

bool CBaseImage::Edge(long Ksize) {
  if (!pDib) return false;
  if (Ksize < 1) Ksize = 1;
  const long k2 = Ksize / 2;
  const long kmax = Ksize - k2;
  CBaseImage tmp(*this, true, false, true);
  if (!tmp.IsValid()) return false;
  const long w = head.biWidth, h = head.biHeight;
  for (long y = 0; y < h; ++y) {
    info.nProgress = static_cast<LONG>(100 * y / h);
    if (info.nEscape) break;
    for (long x = 0; x < w; ++x) {
      BYTE rmax = 0, gmax = 0, bmax = 0, rmin = 255, gmin = 255, bmin = 255;
      for (long j = -k2; j < kmax; ++j) {
        for (long l = -k2; l < kmax; ++l) {
          const RGBQUAD c = GetPixelColor(x + j, y + l, true);
          rmax = std::max(rmax, c.rgbRed);
          gmax = std::max(gmax, c.rgbGreen);
          bmax = std::max(bmax, c.rgbBlue);
          rmin = std::min(rmin, c.rgbRed);
          gmin = std::min(gmin, c.rgbGreen);
          bmin = std::min(bmin, c.rgbBlue);
        }
      }
      RGBQUAD out;
      out.rgbRed = static_cast<BYTE>(255 - std::abs(rmax - rmin));
      out.rgbGreen = static_cast<BYTE>(255 - std::abs(gmax - gmin));
      out.rgbBlue = static_cast<BYTE>(255 - std::abs(bmax - bmin));
      out.rgbReserved = 0;
      tmp.SetPixelColor(x, y, out, false);
    }
  }
  return Transfer(tmp);
}

bool CBaseImage::Contour() {
  if (!pDib) return false;
  CBaseImage tmp(*this, true, false, true);
  if (!tmp.IsValid()) return false;
  const long w = head.biWidth, h = head.biHeight;
  for (long y = 0; y < h; ++y) {
    info.nProgress = static_cast<LONG>(100 * y / h);
    if (info.nEscape) break;
    for (long x = 0; x < w; ++x) {
      const RGBQUAD p = GetPixelColor(x, y, true);
      long rmax = 0, gmax = 0, bmax = 0;
      for (long j = -1; j <= 1; ++j) {
        for (long k = -1; k <= 1; ++k) {
          const RGBQUAD q = GetPixelColor(x + j, y + k, true);
          if (q.rgbRed - p.rgbRed > rmax) rmax = q.rgbRed;
          if (q.rgbGreen - p.rgbGreen > gmax) gmax = q.rgbGreen;
          if (q.rgbBlue - p.rgbBlue > bmax) bmax = q.rgbBlue;
        }
      }
      RGBQUAD out;
      out.rgbRed = static_cast<BYTE>(255 - rmax);
      out.rgbGreen = static_cast<BYTE>(255 - gmax);
      out.rgbBlue = static_cast<BYTE>(255 - bmax);
      out.rgbReserved = p.rgbReserved;
      tmp.SetPixelColor(x, y, out, false);
    }
  }
  return Transfer(tmp);
}

bool CBaseImage::CircleTransform(int type, long rmax, float Koeff) {
  if (!pDib) return false;
  CBaseImage tmp(*this, true, false, true);
  if (!tmp.IsValid()) return false;
  const long xmax = static_cast<long>(tmp.GetWidth());
  const long ymax = static_cast<long>(tmp.GetHeight());
  const long xmid = xmax / 2;
  const long ymid = ymax / 2;
  if (rmax == 0) rmax = static_cast<long>(std::sqrt(static_cast<float>(xmid * xmid + ymid * ymid)));
  if (Koeff == 0.0f) Koeff = 1.0f;
  const double kPi = 3.141592653589793;
  const bool palettised = head.biClrUsed != 0;
  for (long y = 0; y < ymax; ++y) {
    info.nProgress = static_cast<LONG>(100 * y / ymax);
    if (info.nEscape) break;
    for (long x = 0; x < xmax; ++x) {
      long nx = xmid - x;
      long ny = ymid - y;
      const double radius = std::sqrt(static_cast<double>(nx * nx + ny * ny));
      if (radius < rmax) {
        double angle = std::atan2(static_cast<double>(ny), static_cast<double>(nx));
        double rnew = radius;
        if (type == 0) {
          rnew = radius * radius / rmax;
        } else if (type == 1) {
          rnew = std::sqrt(radius * rmax);
        } else if (type == 2) {
          rnew = radius;
          angle += radius / Koeff;
        }
        if (type < 3) {
          nx = xmid + static_cast<long>(rnew * std::cos(angle));
          ny = ymid - static_cast<long>(rnew * std::sin(angle));
        } else if (type == 3) {
          nx = static_cast<long>(std::fabs(angle * xmax / (2 * kPi)));
          ny = static_cast<long>(std::fabs(radius * ymax / rmax));
        } else {
          nx = x + (x % 32) - 16;
          ny = y;
        }
      } else {
        nx = -1;
        ny = -1;
      }
      if (palettised) {
        tmp.SetPixelIndex(x, y, GetPixelIndex(nx, ny));
      } else {
        tmp.SetPixelColor(x, y, GetPixelColor(nx, ny, true), false);
      }
      if (pAlpha) tmp.AlphaSet(x, y, AlphaGet(nx, ny));
    }
  }
  return Transfer(tmp);
}
