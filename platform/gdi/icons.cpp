// Icons and cursors (from icon images, bitmaps and the resource packs),
// DrawIcon/DrawIconEx, DrawState, and bitmaps loaded from the packs.
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/base/resource.h"
#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

HICON AddIcon(std::shared_ptr<Icon> icon) { return static_cast<HICON>(AddObject(std::move(icon))); }

// An icon from an ARGB32 image: transparent pixels become the AND mask.
std::shared_ptr<Icon> IconFromArgb(const QImage& src, bool isIcon, QPoint hotspot) {
  const QImage img = src.convertToFormat(QImage::Format_ARGB32);
  auto ic = std::make_shared<Icon>();
  ic->isIcon = isIcon;
  ic->hotspot = hotspot;
  ic->width = img.width();
  ic->height = img.height();
  ic->color = img;
  ic->andMask.assign(static_cast<size_t>(img.width()) * static_cast<size_t>(img.height()), 0);
  bool partial = false;
  for (int y = 0; y < img.height(); ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      const unsigned a = row[x] >> 24;
      if (a == 0) ic->andMask[static_cast<size_t>(y) * img.width() + x] = 1;
      if (a != 0 && a != 255) partial = true;
    }
  }
  ic->hasAlpha = partial;
  return ic;
}

// Reads one icon or cursor image: a DIB with doubled height (XOR then AND
// mask) or a PNG. Sizes are checked against the bytes.
std::shared_ptr<Icon> ParseIconImage(const BYTE* bits, DWORD size, bool isIcon, QPoint hotspot) {
  if (!bits || size < 8) return nullptr;
  if (size >= 8 && std::memcmp(bits, "\x89PNG", 4) == 0) {
    QImage img;
    if (!img.loadFromData(bits, static_cast<int>(size), "PNG")) return nullptr;
    return IconFromArgb(img, isIcon, hotspot);
  }
  if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER h;
  std::memcpy(&h, bits, sizeof h);
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size || h.biWidth <= 0 || h.biWidth > 4096 ||
      h.biHeight <= 0 || h.biHeight > 8192 || h.biCompression != BI_RGB)
    return nullptr;
  const int w = h.biWidth, hh = h.biHeight / 2;
  if (hh <= 0) return nullptr;
  const int bpp = h.biBitCount;
  if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32)) return nullptr;
  const size_t colors = bpp <= 8 ? (h.biClrUsed ? std::min<size_t>(h.biClrUsed, 256u) : (1u << bpp)) : 0;
  const size_t xorStride = static_cast<size_t>(DibRowStride(w, bpp));
  const size_t andStride = static_cast<size_t>(DibRowStride(w, 1));
  const size_t need = h.biSize + colors * 4 + xorStride * hh + andStride * hh;
  if (need > size) return nullptr;
  // Decode the XOR image through the DIB reader (bottom-up, height hh).
  std::vector<BYTE> info(h.biSize + colors * 4);
  std::memcpy(info.data(), bits, info.size());
  BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  ih->biHeight = hh;
  ih->biSizeImage = 0;
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(w, hh, 1, 32, nullptr);
  SetDIBits(mem, bm, 0, static_cast<UINT>(hh), bits + info.size(), reinterpret_cast<BITMAPINFO*>(info.data()),
            DIB_RGB_COLORS);
  auto b = FindBitmap(bm);
  QImage colorImg = b->img.copy();
  DeleteObject(bm);
  DeleteDC(mem);
  auto ic = std::make_shared<Icon>();
  ic->isIcon = isIcon;
  ic->hotspot = hotspot;
  ic->width = w;
  ic->height = hh;
  ic->color = QImage(w, hh, QImage::Format_ARGB32);
  ic->andMask.assign(static_cast<size_t>(w) * hh, 0);
  const BYTE* xorBits = bits + info.size();
  const BYTE* andBits = xorBits + xorStride * hh;
  bool anyAlpha = false;
  if (bpp == 32)
    for (int y = 0; y < hh && !anyAlpha; ++y)
      for (int x = 0; x < w; ++x)
        if (xorBits[static_cast<size_t>(y) * xorStride + 4 * x + 3]) {
          anyAlpha = true;
          break;
        }
  for (int y = 0; y < hh; ++y) {
    const int scan = hh - 1 - y;
    const uint32_t* src = reinterpret_cast<const uint32_t*>(colorImg.constScanLine(y));
    uint32_t* dst = reinterpret_cast<uint32_t*>(ic->color.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const bool andBit = (andBits[static_cast<size_t>(scan) * andStride + x / 8] >> (7 - x % 8)) & 1;
      unsigned alpha = 255;
      if (anyAlpha) alpha = xorBits[static_cast<size_t>(scan) * xorStride + 4 * x + 3];
      ic->andMask[static_cast<size_t>(y) * w + x] = anyAlpha ? (alpha == 0 ? 1 : 0) : (andBit ? 1 : 0);
      dst[x] = (src[x] & 0xFFFFFFu) | (alpha << 24);
    }
  }
  ic->hasAlpha = anyAlpha;
  return ic;
}

// Picks the directory entry of an ICO or CUR file that best fits a size.
bool PickIconEntry(const BYTE* file, DWORD size, int cx, int cy, const BYTE** image, DWORD* imageSize, QPoint* hotspot,
                   bool* isIcon) {
  if (!file || size < 6) return false;
  WORD reserved, type, count;
  std::memcpy(&reserved, file, 2);
  std::memcpy(&type, file + 2, 2);
  std::memcpy(&count, file + 4, 2);
  if (reserved != 0 || (type != 1 && type != 2) || count == 0 || 6u + 16u * count > size) return false;
  int best = -1;
  long bestScore = 0;
  for (int i = 0; i < count; ++i) {
    const BYTE* e = file + 6 + 16 * i;
    const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    WORD bitCount;
    std::memcpy(&bitCount, e + 6, 2);
    // exact size first, then the nearest larger, then the nearest smaller; deeper colour wins ties
    long score = std::labs(static_cast<long>(w) - cx) + std::labs(static_cast<long>(h) - cy);
    score *= 2;
    if (w < cx || h < cy) score += 1;
    score = score * 64 - (type == 1 ? bitCount : 0);
    if (best < 0 || score < bestScore) {
      best = i;
      bestScore = score;
    }
  }
  const BYTE* e = file + 6 + 16 * best;
  DWORD bytes, offset;
  std::memcpy(&bytes, e + 8, 4);
  std::memcpy(&offset, e + 12, 4);
  if (offset > size || bytes > size - offset || bytes == 0) return false;
  *image = file + offset;
  *imageSize = bytes;
  *isIcon = type == 1;
  WORD hx, hy;
  std::memcpy(&hx, e + 4, 2);
  std::memcpy(&hy, e + 6, 2);
  *hotspot = type == 2 ? QPoint(hx, hy) : QPoint(0, 0);
  return true;
}

std::shared_ptr<Icon> Scaled(const std::shared_ptr<Icon>& ic, int cx, int cy) {
  if (!ic || cx <= 0 || cy <= 0 || (cx == ic->width && cy == ic->height)) return ic;
  QImage argb = ic->color.copy();
  for (int y = 0; y < ic->height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(argb.scanLine(y));
    for (int x = 0; x < ic->width; ++x)
      if (ic->andMask[static_cast<size_t>(y) * ic->width + x]) row[x] &= 0x00FFFFFFu;
  }
  const QImage scaled = argb.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  auto out = IconFromArgb(scaled, ic->isIcon, QPoint(ic->hotspot.x() * cx / std::max(1, ic->width),
                                                      ic->hotspot.y() * cy / std::max(1, ic->height)));
  return out;
}

std::shared_ptr<Icon> StandardIcon(int id, bool isIcon) {
  const int n = 32;
  QImage img(n, n, QImage::Format_ARGB32);
  img.fill(0);
  QPainter p(&img);
  QColor c(0, 0, 0);
  QString mark;
  switch (id) {
    case QM_IDI_ERROR: c = QColor(200, 0, 0); mark = QStringLiteral("x"); break;
    case QM_IDI_QUESTION: c = QColor(0, 0, 160); mark = QStringLiteral("?"); break;
    case QM_IDI_WARNING: c = QColor(220, 180, 0); mark = QStringLiteral("!"); break;
    case QM_IDI_INFORMATION: c = QColor(0, 0, 160); mark = QStringLiteral("i"); break;
    default: c = QColor(0, 96, 160); break;
  }
  if (isIcon) {
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, n - 4, n - 4);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, n, n), Qt::AlignCenter, mark);
  }
  p.end();
  auto ic = IconFromArgb(img, isIcon, QPoint(0, 0));
  ic->standardId = id;
  return ic;
}

}  // namespace

void PaintIcon(Target& t, const Icon& ic, const QRect& dst, UINT flags) {
  if (dst.isEmpty() || ic.width <= 0 || ic.height <= 0) return;
  const int w = dst.width(), h = dst.height();
  for (int j = 0; j < h; ++j) {
    const int sy = static_cast<int>(static_cast<long long>(j) * ic.height / h);
    const uint32_t* src = reinterpret_cast<const uint32_t*>(ic.color.constScanLine(sy));
    t.ForSpan(dst.top() + j, dst.left(), dst.left() + w, [&](int y, int a, int b) {
      uint32_t* row = t.Row(y);
      for (int x = a; x < b; ++x) {
        const int sx = static_cast<int>(static_cast<long long>(x - dst.left()) * ic.width / w);
        const bool keep = ic.andMask[static_cast<size_t>(sy) * ic.width + sx] != 0;
        const uint32_t c = src[sx];
        uint32_t d = row[x];
        if ((flags & DI_NORMAL) == DI_MASK) {
          d = keep ? d : 0xFF000000u;
        } else if (ic.hasAlpha && (flags & DI_IMAGE)) {
          const unsigned al = c >> 24;
          if ((flags & DI_NORMAL) == DI_IMAGE && al == 0) {
            d = 0xFF000000u;
          } else if (al) {
            uint32_t out = 0xFF000000u;
            for (int sh = 0; sh <= 16; sh += 8) {
              const unsigned s = (c >> sh) & 0xFF, dd = (d >> sh) & 0xFF;
              out |= ((s * al + dd * (255 - al) + 127) / 255) << sh;
            }
            d = out;
          }
        } else if ((flags & DI_NORMAL) == DI_IMAGE) {
          d = c | 0xFF000000u;
        } else {
          d = ((keep ? d : 0xFF000000u) ^ (c & 0xFFFFFFu)) | 0xFF000000u;
        }
        row[x] = d;
      }
    });
  }
}

}  // namespace qmgdi

using namespace qmgdi;

HICON CreateIconFromImage(const QImage& image, bool isIcon, QPoint hotspot) {
  if (image.isNull()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return AddIcon(IconFromArgb(image, isIcon, hotspot));
}

bool GetIconImage(HICON icon, QImage* out, QPoint* hotspot, int* standardId) {
  auto ic = FindIcon(icon);
  if (!ic) return false;
  if (out) {
    QImage img = ic->color.copy();
    for (int y = 0; y < ic->height; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
      for (int x = 0; x < ic->width; ++x) {
        if (ic->andMask[static_cast<size_t>(y) * ic->width + x]) row[x] &= 0x00FFFFFFu;
        else if (!ic->hasAlpha) row[x] |= 0xFF000000u;
      }
    }
    *out = img;
  }
  if (hotspot) *hotspot = ic->hotspot;
  if (standardId) *standardId = ic->standardId;
  return true;
}

bool GetBitmapImage(HBITMAP bitmap, QImage* out) {
  auto b = FindBitmap(bitmap);
  if (!b) return false;
  if (out) *out = BitmapImage(*b).convertToFormat(QImage::Format_ARGB32);
  return true;
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info || !info->hbmMask) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto mask = FindBitmap(info->hbmMask);
  auto color = info->hbmColor ? FindBitmap(info->hbmColor) : nullptr;
  if (!mask || (info->hbmColor && !color)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const QImage& m = BitmapImage(*mask);
  const int w = m.width();
  const int h = color ? BitmapImage(*color).height() : m.height() / 2;
  if (w <= 0 || h <= 0 || (color && BitmapImage(*color).width() != w) || m.height() < h) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto ic = std::make_shared<Icon>();
  ic->isIcon = info->fIcon != 0;
  ic->hotspot = ic->isIcon ? QPoint(w / 2, h / 2) : QPoint(static_cast<int>(info->xHotspot), static_cast<int>(info->yHotspot));
  ic->width = w;
  ic->height = h;
  ic->color = QImage(w, h, QImage::Format_ARGB32);
  ic->andMask.assign(static_cast<size_t>(w) * h, 0);
  bool alpha = false;
  if (color && color->dibSection && color->bpp == 32) {
    for (size_t i = 3; i < color->dibStore.size(); i += 4)
      if (color->dibStore[i]) {
        alpha = true;
        break;
      }
  }
  for (int y = 0; y < h; ++y) {
    const uint32_t* mr = reinterpret_cast<const uint32_t*>(m.constScanLine(y));
    const uint32_t* xr = color ? reinterpret_cast<const uint32_t*>(BitmapImage(*color).constScanLine(y))
                               : reinterpret_cast<const uint32_t*>(m.constScanLine(y + h));
    uint32_t* dst = reinterpret_cast<uint32_t*>(ic->color.scanLine(y));
    for (int x = 0; x < w; ++x) {
      unsigned a = 255;
      if (alpha) {
        const bool bottomUp = color->dibHeader.biHeight > 0;
        const int row = bottomUp ? h - 1 - y : y;
        a = color->dibStore[static_cast<size_t>(row) * w * 4 + static_cast<size_t>(x) * 4 + 3];
      }
      const bool keep = alpha ? a == 0 : (mr[x] & 0xFFFFFFu) != 0;
      ic->andMask[static_cast<size_t>(y) * w + x] = keep ? 1 : 0;
      dst[x] = (xr[x] & 0xFFFFFFu) | (a << 24);
    }
  }
  ic->hasAlpha = alpha;
  return AddIcon(ic);
}

BOOL GetIconInfo(HICON icon, PICONINFO info) {
  auto ic = FindIcon(icon);
  if (!ic || !info) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  info->fIcon = ic->isIcon;
  info->xHotspot = static_cast<DWORD>(ic->hotspot.x());
  info->yHotspot = static_cast<DWORD>(ic->hotspot.y());
  info->hbmColor = CreateBitmap(ic->width, ic->height, 1, 32, nullptr);
  info->hbmMask = CreateBitmap(ic->width, ic->height, 1, 1, nullptr);
  auto c = FindBitmap(info->hbmColor);
  auto m = FindBitmap(info->hbmMask);
  for (int y = 0; y < ic->height; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(ic->color.constScanLine(y));
    uint32_t* cr = reinterpret_cast<uint32_t*>(c->img.scanLine(y));
    uint32_t* mr = reinterpret_cast<uint32_t*>(m->img.scanLine(y));
    for (int x = 0; x < ic->width; ++x) {
      const bool keep = ic->andMask[static_cast<size_t>(y) * ic->width + x] != 0;
      cr[x] = keep ? 0xFF000000u : (src[x] | 0xFF000000u);
      mr[x] = keep ? 0xFFFFFFFFu : 0xFF000000u;
    }
  }
  return TRUE;
}

HICON CopyIcon(HICON icon) {
  auto ic = FindIcon(icon);
  if (!ic) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto copy = std::make_shared<Icon>(*ic);
  copy->stock = false;
  return AddIcon(copy);
}

BOOL DestroyIcon(HICON icon) {
  auto ic = FindIcon(icon);
  if (!ic) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ic->stock) return TRUE;
  RemoveObject(icon);
  return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD, int cx, int cy, UINT flags) {
  QPoint hot(0, 0);
  if (!icon) {
    // Cursor resources start with the hot spot.
    if (!bits || size < 4) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    WORD hx, hy;
    std::memcpy(&hx, bits, 2);
    std::memcpy(&hy, bits + 2, 2);
    hot = QPoint(hx, hy);
    bits += 4;
    size -= 4;
  }
  auto ic = ParseIconImage(bits, size, icon != 0, hot);
  if (!ic) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  if ((flags & LR_DEFAULTSIZE) && cx == 0) cx = GetSystemMetrics(icon ? SM_CXICON : SM_CXCURSOR);
  if ((flags & LR_DEFAULTSIZE) && cy == 0) cy = GetSystemMetrics(icon ? SM_CYICON : SM_CYCURSOR);
  return AddIcon(Scaled(ic, cx, cy));
}

int LookupIconIdFromDirectoryEx(const BYTE* dir, BOOL icon, int cx, int cy, UINT) {
  if (!dir) return 0;
  WORD type, count;
  std::memcpy(&type, dir + 2, 2);
  std::memcpy(&count, dir + 4, 2);
  if ((icon && type != 1) || (!icon && type != 2) || count == 0) return 0;
  int best = 0;
  long bestScore = -1;
  for (int i = 0; i < count; ++i) {
    const BYTE* e = dir + 6 + 14 * i;
    int w, h;
    WORD bitCount, id;
    if (icon) {
      w = e[0] ? e[0] : 256;
      h = e[1] ? e[1] : 256;
    } else {
      WORD ww, hh;
      std::memcpy(&ww, e, 2);
      std::memcpy(&hh, e + 2, 2);
      w = ww;
      h = hh / 2;
    }
    std::memcpy(&bitCount, e + 6, 2);
    std::memcpy(&id, e + 12, 2);
    long score = (std::labs(static_cast<long>(w) - cx) + std::labs(static_cast<long>(h) - cy)) * 2;
    if (w < cx || h < cy) score += 1;
    score = score * 64 - bitCount;
    if (bestScore < 0 || score < bestScore) {
      bestScore = score;
      best = id;
    }
  }
  return best;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flicker, UINT flags) {
  auto dc = FindDc(hdc);
  auto ic = FindIcon(icon);
  if (!dc || !ic) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : ic->width;
  if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : ic->height;
  if (flicker) {
    RECT r{x, y, x + cx, y + cy};
    FillRect(hdc, &r, flicker);
  }
  Target t;
  if (!BeginTarget(*dc, t)) return FALSE;
  const QRect dst = ToDeviceRect(dc->a, x, y, x + cx, y + cy);
  PaintIcon(t, *ic, dst, (flags & DI_NORMAL) ? (flags & DI_NORMAL) : DI_NORMAL);
  EndTarget(t);
  return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
  return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

// ---- DrawState -------------------------------------------------------------------

BOOL DrawState(HDC hdc, HBRUSH fore, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
               UINT flags) {
  auto dc = FindDc(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const UINT type = flags & 0x000F;
  // The size of the item when not given.
  if (cx == 0 || cy == 0) {
    SIZE sz{0, 0};
    switch (type) {
      case DST_TEXT:
      case DST_PREFIXTEXT: {
        const char* text = reinterpret_cast<const char*>(data);
        int len = static_cast<int>(wdata);
        if (len == 0 && text) len = static_cast<int>(std::strlen(text));
        RECT r{0, 0, 0, 0};
        ::DrawText(hdc, text ? text : "", len, &r, DT_CALCRECT | DT_SINGLELINE | (type == DST_TEXT ? DT_NOPREFIX : 0));
        sz = SIZE{r.right, r.bottom};
        break;
      }
      case DST_ICON: {
        auto ic = FindIcon(reinterpret_cast<HICON>(data));
        if (ic) sz = SIZE{ic->width, ic->height};
        break;
      }
      case DST_BITMAP: {
        auto b = FindBitmap(reinterpret_cast<HBITMAP>(data));
        if (b) sz = SIZE{b->img.width(), b->img.height()};
        break;
      }
      default: break;
    }
    if (cx == 0) cx = sz.cx;
    if (cy == 0) cy = sz.cy;
  }
  if (cx <= 0 || cy <= 0) return TRUE;
  // Render the item on white in a memory DC of its size.
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bm = CreateBitmap(cx, cy, 1, 32, nullptr);
  if (!mem || !bm) {
    if (mem) DeleteDC(mem);
    if (bm) DeleteObject(bm);
    return FALSE;
  }
  HGDIOBJ oldBm = SelectObject(mem, bm);
  RECT all{0, 0, cx, cy};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const bool shapeOnly = (flags & (DSS_DISABLED | DSS_MONO | DSS_UNION)) != 0;
  BOOL ok = TRUE;
  switch (type) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
      const char* text = reinterpret_cast<const char*>(data);
      int len = static_cast<int>(wdata);
      if (len == 0 && text) len = static_cast<int>(std::strlen(text));
      HGDIOBJ oldFont = SelectObject(mem, GetCurrentObject(hdc, OBJ_FONT));
      SetBkMode(mem, TRANSPARENT);
      SetTextColor(mem, shapeOnly ? RGB(0, 0, 0) : GetTextColor(hdc));
      UINT fmt = DT_SINGLELINE | DT_NOCLIP;
      if (type == DST_TEXT) fmt |= DT_NOPREFIX;
      if (flags & DSS_HIDEPREFIX) fmt |= DT_HIDEPREFIX;
      if (flags & DSS_PREFIXONLY) fmt |= DT_PREFIXONLY;
      if (flags & DSS_RIGHT) fmt |= DT_RIGHT;
      if (!shapeOnly) {
        // Normal text keeps what is under it: draw straight on the target.
        SelectObject(mem, oldFont);
        SelectObject(mem, oldBm);
        DeleteObject(bm);
        DeleteDC(mem);
        RECT r{x, y, x + cx, y + cy};
        const int oldMode = SetBkMode(hdc, TRANSPARENT);
        ::DrawText(hdc, text ? text : "", len, &r, fmt);
        SetBkMode(hdc, oldMode);
        return TRUE;
      }
      ::DrawText(mem, text ? text : "", len, &all, fmt);
      SelectObject(mem, oldFont);
      break;
    }
    case DST_ICON: {
      auto ic = FindIcon(reinterpret_cast<HICON>(data));
      if (!ic) {
        ok = FALSE;
        break;
      }
      if (!shapeOnly) {
        SelectObject(mem, oldBm);
        DeleteObject(bm);
        DeleteDC(mem);
        return DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
      }
      DrawIconEx(mem, 0, 0, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
      break;
    }
    case DST_BITMAP: {
      HDC src = CreateCompatibleDC(hdc);
      HGDIOBJ old = SelectObject(src, reinterpret_cast<HBITMAP>(data));
      if (!old) {
        DeleteDC(src);
        ok = FALSE;
        break;
      }
      if (!shapeOnly) {
        BitBlt(hdc, x, y, cx, cy, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
        SelectObject(mem, oldBm);
        DeleteObject(bm);
        DeleteDC(mem);
        return TRUE;
      }
      BitBlt(mem, 0, 0, cx, cy, src, 0, 0, SRCCOPY);
      SelectObject(src, old);
      DeleteDC(src);
      break;
    }
    case DST_COMPLEX:
      if (!proc) {
        ok = FALSE;
        break;
      }
      if (!shapeOnly) {
        SelectObject(mem, oldBm);
        DeleteObject(bm);
        DeleteDC(mem);
        const int saved = SaveDC(hdc);
        SetViewportOrgEx(hdc, x, y, nullptr);
        const BOOL r = proc(hdc, data, wdata, cx, cy);
        RestoreDC(hdc, saved);
        return r;
      }
      ok = proc(mem, data, wdata, cx, cy);
      break;
    default: ok = FALSE; break;
  }
  if (ok) {
    // The item's shape: every pixel that is not white.
    auto b = FindBitmap(bm);
    std::vector<uint8_t> shape(static_cast<size_t>(cx) * cy);
    for (int yy = 0; yy < cy; ++yy) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(b->img.constScanLine(yy));
      for (int xx = 0; xx < cx; ++xx) shape[static_cast<size_t>(yy) * cx + xx] = (row[xx] & 0xFFFFFFu) != 0xFFFFFFu;
    }
    auto paintShape = [&](int ox, int oy, COLORREF color, HBRUSH brush) {
      Target t;
      if (!BeginTarget(*dc, t)) return;
      BrushFill fill;
      auto br = brush ? FindBrush(brush) : nullptr;
      Brush solid;
      solid.color = color;
      fill.Init(dc->a, br ? br.get() : &solid, R2_COPYPEN);
      const QPoint o = ToDevice(dc->a, x + ox, y + oy);
      for (int yy = 0; yy < cy; ++yy)
        t.ForSpan(o.y() + yy, o.x(), o.x() + cx, [&](int ry, int a0, int a1) {
          uint32_t* row = t.Row(ry);
          for (int xx = a0; xx < a1; ++xx)
            if (shape[static_cast<size_t>(yy) * cx + (xx - o.x())]) row[xx] = fill.At(xx, ry);
        });
      EndTarget(t);
    };
    if (flags & DSS_DISABLED) {
      // Embossed: the highlight one pixel down and right, the shadow on top.
      paintShape(1, 1, GetSysColor(COLOR_3DHILIGHT), nullptr);
      paintShape(0, 0, GetSysColor(COLOR_3DSHADOW), nullptr);
    } else if (flags & DSS_MONO) {
      paintShape(0, 0, GetTextColor(hdc), fore);
    } else {
      // DSS_UNION: every other pixel of the shape in the highlight colour.
      for (int yy = 0; yy < cy; ++yy)
        for (int xx = 0; xx < cx; ++xx)
          if ((xx + yy) & 1) shape[static_cast<size_t>(yy) * cx + xx] = 0;
      paintShape(0, 0, GetSysColor(COLOR_HIGHLIGHT), nullptr);
    }
  }
  SelectObject(mem, oldBm);
  DeleteObject(bm);
  DeleteDC(mem);
  return ok;
}

// ---- standard and packed resources ------------------------------------------------

namespace {

WORD IntId(LPCSTR name) { return IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)) : 0; }

HBITMAP BitmapFromFileBytes(const BYTE* data, DWORD size) {
  if (!data || size < 14) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  if (std::memcmp(data, "\x89PNG", 4) == 0) {
    QImage img;
    if (!img.loadFromData(data, static_cast<int>(size), "PNG")) {
      SetLastError(ERROR_INVALID_DATA);
      return nullptr;
    }
    img = img.convertToFormat(QImage::Format_RGB32);
    HBITMAP hb = CreateBitmap(img.width(), img.height(), 1, 32, nullptr);
    if (!hb) return nullptr;
    auto b = FindBitmap(hb);
    for (int y = 0; y < img.height(); ++y) std::memcpy(b->img.scanLine(y), img.constScanLine(y), static_cast<size_t>(img.width()) * 4);
    return hb;
  }
  if (data[0] != 'B' || data[1] != 'M') {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, data, sizeof fh);
  const BYTE* info = data + sizeof fh;
  const DWORD left = size - static_cast<DWORD>(sizeof fh);
  if (left < sizeof(BITMAPINFOHEADER) && left < sizeof(BITMAPCOREHEADER)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  // Copy the header to aligned memory and check the sizes against the file.
  std::vector<BYTE> head(info, info + std::min<DWORD>(left, 1024 + 40 + 12));
  const BITMAPINFO* bi = reinterpret_cast<const BITMAPINFO*>(head.data());
  const size_t hb = DIBHeaderBytes(bi, DIB_RGB_COLORS);
  if (!hb || hb > left) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  LONG w, h;
  WORD bpp;
  if (bi->bmiHeader.biSize == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER c;
    std::memcpy(&c, head.data(), sizeof c);
    w = c.bcWidth;
    h = c.bcHeight;
    bpp = c.bcBitCount;
  } else {
    w = bi->bmiHeader.biWidth;
    h = bi->bmiHeader.biHeight;
    bpp = bi->bmiHeader.biBitCount;
  }
  const unsigned long long stride = DibRowStride(w, bpp);
  const unsigned long long need = stride * static_cast<unsigned long long>(h < 0 ? -static_cast<long long>(h) : h);
  const DWORD off = fh.bfOffBits >= sizeof fh + hb ? fh.bfOffBits : static_cast<DWORD>(sizeof fh + hb);
  if (off > size || need > size - off) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  // A core header is widened so CreateDIBitmap gets an info header.
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = w;
  ih.biHeight = h;
  ih.biPlanes = 1;
  ih.biBitCount = bpp;
  HDC screen = GetDC(nullptr);
  HBITMAP out = CreateDIBitmap(screen, &ih, CBM_INIT, data + off, bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return out;
}

}  // namespace

namespace {
// The system's own icons and cursors (no instance): made once, shared, never destroyed.
HICON StockIconOrCursor(LPCSTR name, bool icon) {
  const WORD id = IntId(name);
  const WORD first = icon ? QM_IDI_APPLICATION : QM_IDC_ARROW;
  const WORD last = icon ? QM_IDI_INFORMATION : QM_IDC_APPSTARTING;
  if (id < first || id > last) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  static std::mutex mu;
  static std::map<WORD, HICON> made[2];  // cursors, icons (their ids overlap)
  std::lock_guard<std::mutex> g(mu);
  std::map<WORD, HICON>& cache = made[icon ? 1 : 0];
  auto it = cache.find(id);
  if (it != cache.end()) return it->second;
  auto ic = StandardIcon(id, icon);
  ic->stock = true;
  HICON h = AddIcon(ic);
  cache[id] = h;
  return h;
}
}  // namespace

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
  if (!instance) return StockIconOrCursor(name, false);
  return static_cast<HCURSOR>(LoadImage(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name) {
  if (!instance) return StockIconOrCursor(name, true);
  return static_cast<HICON>(LoadImage(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) {
  return static_cast<HBITMAP>(LoadImage(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (!instance && !(flags & LR_LOADFROMFILE)) {
    if (type == IMAGE_ICON) return LoadIcon(nullptr, name);
    if (type == IMAGE_CURSOR) return LoadCursor(nullptr, name);
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  if (flags & LR_LOADFROMFILE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  const WORD id = IntId(name);
  QmResourceBytes bytes;
  if (type == IMAGE_BITMAP) bytes = id ? LoadBitmapBytes(instance, id) : LoadResourceBytes(instance, name, RT_BITMAP);
  else if (type == IMAGE_ICON) bytes = id ? LoadIconBytes(instance, id) : LoadResourceBytes(instance, name, RT_GROUP_ICON);
  else if (type == IMAGE_CURSOR) bytes = id ? LoadCursorBytes(instance, id) : LoadResourceBytes(instance, name, RT_GROUP_CURSOR);
  else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!bytes) return nullptr;  // the resource calls set the error
  if (type == IMAGE_BITMAP) {
    HBITMAP hb = BitmapFromFileBytes(bytes.data, bytes.size);
    if (!hb) return nullptr;
    auto b = FindBitmap(hb);
    if (flags & (LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)) {
      // Greys of the classic look become the 3-D colours; the top-left pixel's
      // colour becomes the window colour.
      const uint32_t corner = b->img.pixel(0, 0) | 0xFF000000u;
      for (int y = 0; y < b->img.height(); ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(b->img.scanLine(y));
        for (int x = 0; x < b->img.width(); ++x) {
          const uint32_t p = row[x] | 0xFF000000u;
          if ((flags & LR_LOADTRANSPARENT) && p == corner) row[x] = ToPixel(GetSysColor(COLOR_WINDOW));
          else if (flags & LR_LOADMAP3DCOLORS) {
            if (p == 0xFF808080u) row[x] = ToPixel(GetSysColor(COLOR_3DSHADOW));
            else if (p == 0xFFC0C0C0u) row[x] = ToPixel(GetSysColor(COLOR_3DFACE));
            else if (p == 0xFFDFDFDFu) row[x] = ToPixel(GetSysColor(COLOR_3DLIGHT));
          }
        }
      }
    }
    if (cx > 0 && cy > 0 && (cx != b->img.width() || cy != b->img.height())) {
      HBITMAP scaled = CreateBitmap(cx, cy, 1, 32, nullptr);
      auto s = FindBitmap(scaled);
      s->img = b->img.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::FastTransformation).convertToFormat(QImage::Format_RGB32);
      DeleteObject(hb);
      return scaled;
    }
    return hb;
  }
  const bool isIcon = type == IMAGE_ICON;
  if ((flags & LR_DEFAULTSIZE) && cx == 0) cx = GetSystemMetrics(isIcon ? SM_CXICON : SM_CXCURSOR);
  if ((flags & LR_DEFAULTSIZE) && cy == 0) cy = GetSystemMetrics(isIcon ? SM_CYICON : SM_CYCURSOR);
  std::shared_ptr<Icon> ic;
  if (bytes.size >= 8 && std::memcmp(bytes.data, "\x89PNG", 4) == 0) {
    ic = ParseIconImage(bytes.data, bytes.size, isIcon, QPoint(0, 0));
  } else {
    const BYTE* image = nullptr;
    DWORD imageSize = 0;
    QPoint hot;
    bool fileIsIcon = true;
    if (PickIconEntry(bytes.data, bytes.size, cx > 0 ? cx : 32, cy > 0 ? cy : 32, &image, &imageSize, &hot, &fileIsIcon))
      ic = ParseIconImage(image, imageSize, isIcon, hot);
  }
  if (!ic) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return AddIcon(Scaled(ic, cx, cy));
}

HBITMAP CreateMappedBitmap(HINSTANCE instance, INT_PTR bitmapId, UINT, const COLORMAP* map, int mapSize) {
  HBITMAP hb = LoadBitmap(instance, MAKEINTRESOURCE(bitmapId));
  if (!hb) return nullptr;
  auto b = FindBitmap(hb);
  for (int y = 0; y < b->img.height(); ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(b->img.scanLine(y));
    for (int x = 0; x < b->img.width(); ++x)
      for (int i = 0; map && i < mapSize; ++i)
        if ((row[x] | 0xFF000000u) == ToPixel(map[i].from)) {
          row[x] = ToPixel(map[i].to);
          break;
        }
  }
  return hb;
}
