// Bitmaps and device-independent bitmaps: 1, 4, 8, 16, 24 and 32 bits per
// pixel, bottom-up and top-down, colour tables of RGB colours or of indices
// into the device context's palette, bit-field masks; device-dependent
// bitmaps, DIB sections, and the DIB transfer calls.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/gdi/internal.h"

namespace qmgdi {

namespace {

// A DIB header read and checked, with its colour table resolved to pixels.
struct DibInfo {
  int width = 0, height = 0;  // height positive
  bool topDown = false;
  int bpp = 0;
  DWORD compression = BI_RGB;
  DWORD masks[3] = {0, 0, 0};
  size_t stride = 0;
  size_t headerBytes = 0;  // header + table or masks
  std::vector<uint32_t> colors;
  std::vector<RGBQUAD> rgbTable;  // the table as RGB colours (for remembering)
  int tableEntries = 0;
};

int Shift(DWORD m) {
  int s = 0;
  if (!m) return 0;
  while (!(m & 1u)) {
    m >>= 1;
    ++s;
  }
  return s;
}
DWORD MaxOf(DWORD m) { return m ? (m >> Shift(m)) : 0; }

const std::vector<RGBQUAD>& DefaultTable(int bpp) {
  static const std::vector<RGBQUAD> t1 = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  static const std::vector<RGBQUAD> t4 = [] {
    const BYTE v[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
                           {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
                           {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    std::vector<RGBQUAD> t;
    for (auto& c : v) t.push_back(RGBQUAD{c[2], c[1], c[0], 0});
    return t;
  }();
  static const std::vector<RGBQUAD> t8 = [] {
    std::vector<RGBQUAD> t;
    const auto& d = DefaultPaletteEntries();
    for (int i = 0; i < 10; ++i) t.push_back(RGBQUAD{d[i].peBlue, d[i].peGreen, d[i].peRed, 0});
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          t.push_back(RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(r * 51), 0});
    for (int i = 0; i < 20; ++i) {
      const BYTE v = static_cast<BYTE>(8 + i * 12);
      t.push_back(RGBQUAD{v, v, v, 0});
    }
    for (int i = 10; i < 20; ++i) t.push_back(RGBQUAD{d[i].peBlue, d[i].peGreen, d[i].peRed, 0});
    return t;
  }();
  return bpp == 1 ? t1 : bpp == 4 ? t4 : t8;
}

inline uint32_t QuadPixel(const RGBQUAD& q) {
  return 0xFF000000u | (static_cast<uint32_t>(q.rgbRed) << 16) | (static_cast<uint32_t>(q.rgbGreen) << 8) | q.rgbBlue;
}

// Reads and checks a header. `a` resolves DIB_PAL_COLORS (null: the default palette).
bool ParseDib(const BITMAPINFO* info, UINT usage, const DcAttrs* a, DibInfo& d) {
  if (!info) return false;
  const DWORD hsize = info->bmiHeader.biSize;
  const BYTE* base = reinterpret_cast<const BYTE*>(info);
  if (hsize == sizeof(BITMAPCOREHEADER)) {
    BITMAPCOREHEADER c;
    std::memcpy(&c, base, sizeof c);
    d.width = c.bcWidth;
    d.height = c.bcHeight;
    d.bpp = c.bcBitCount;
    d.compression = BI_RGB;
  } else if (hsize >= sizeof(BITMAPINFOHEADER) && hsize <= 1024) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) return false;
    d.width = h.biWidth;
    d.topDown = h.biHeight < 0;
    d.height = std::abs(h.biHeight);
    d.bpp = h.biBitCount;
    d.compression = h.biCompression;
  } else {
    return false;
  }
  if (d.width <= 0 || d.height <= 0) return false;
  switch (d.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  if (d.compression != BI_RGB && !(d.compression == BI_BITFIELDS && (d.bpp == 16 || d.bpp == 32))) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  const unsigned long long stride = DibRowStride(d.width, d.bpp);
  if (stride * static_cast<unsigned long long>(d.height) > (1ull << 40)) return false;
  d.stride = static_cast<size_t>(stride);
  size_t pos = hsize;
  if (d.compression == BI_BITFIELDS) {
    if (hsize >= 52) std::memcpy(d.masks, base + 40, 12);  // masks inside a V4/V5 header
    else {
      std::memcpy(d.masks, base + hsize, 12);
      pos += 12;
    }
    if (!d.masks[0] || !d.masks[1] || !d.masks[2]) return false;
  } else if (d.bpp == 16) {
    d.masks[0] = 0x7C00;
    d.masks[1] = 0x03E0;
    d.masks[2] = 0x001F;
  } else if (d.bpp == 32) {
    d.masks[0] = 0xFF0000;
    d.masks[1] = 0x00FF00;
    d.masks[2] = 0x0000FF;
  }
  int n = 0;
  const bool core = hsize == sizeof(BITMAPCOREHEADER);
  if (!core && info->bmiHeader.biClrUsed) n = static_cast<int>(std::min<DWORD>(info->bmiHeader.biClrUsed, 256));
  else if (d.bpp <= 8) n = 1 << d.bpp;
  if (d.bpp <= 8) n = std::min(n, 1 << d.bpp);
  d.tableEntries = n;
  const size_t entry = usage == DIB_PAL_COLORS ? 2 : (core ? 3 : 4);
  if (d.bpp <= 8) {
    const auto& pal = a && a->palette ? a->palette->entries : DefaultPaletteEntries();
    for (int i = 0; i < n; ++i) {
      const BYTE* e = base + pos + static_cast<size_t>(i) * entry;
      RGBQUAD q{};
      if (usage == DIB_PAL_COLORS) {
        WORD idx;
        std::memcpy(&idx, e, 2);
        const PALETTEENTRY pe = idx < pal.size() ? pal[idx] : (pal.empty() ? PALETTEENTRY{0, 0, 0, 0} : pal[0]);
        q = RGBQUAD{pe.peBlue, pe.peGreen, pe.peRed, 0};
      } else {
        q = RGBQUAD{e[0], e[1], e[2], 0};
      }
      d.rgbTable.push_back(q);
      d.colors.push_back(QuadPixel(q));
    }
    // Indices past the table read as its first colour.
    if (d.colors.empty()) d.colors.push_back(0xFF000000u);
  }
  d.headerBytes = pos + static_cast<size_t>(n) * entry;
  return true;
}

inline uint32_t Scale(DWORD v, DWORD max) { return max ? static_cast<uint32_t>((v * 255 + max / 2) / max) : 0; }
inline DWORD Unscale(uint32_t v8, DWORD max) { return (v8 * max + 127) / 255; }

void DecodeRow(const DibInfo& d, const BYTE* row, uint32_t* out, int width) {
  switch (d.bpp) {
    case 1:
    case 4:
    case 8: {
      const int per = 8 / d.bpp;
      const unsigned mask = (1u << d.bpp) - 1u;
      for (int x = 0; x < width; ++x) {
        const BYTE byte = row[x / per];
        const int shift = 8 - d.bpp * (x % per + 1);
        const unsigned idx = (byte >> shift) & mask;
        out[x] = idx < d.colors.size() ? d.colors[idx] : d.colors[0];
      }
      break;
    }
    case 16:
    case 32: {
      const int sr = Shift(d.masks[0]), sg = Shift(d.masks[1]), sb = Shift(d.masks[2]);
      const DWORD mr = MaxOf(d.masks[0]), mg = MaxOf(d.masks[1]), mb = MaxOf(d.masks[2]);
      const bool plain = d.bpp == 32 && d.masks[0] == 0xFF0000 && d.masks[1] == 0xFF00 && d.masks[2] == 0xFF;
      for (int x = 0; x < width; ++x) {
        DWORD v;
        if (d.bpp == 16) {
          WORD w;
          std::memcpy(&w, row + 2 * x, 2);
          v = w;
        } else {
          std::memcpy(&v, row + 4 * x, 4);
        }
        if (plain) {
          out[x] = 0xFF000000u | (v & 0xFFFFFFu);
          continue;
        }
        out[x] = 0xFF000000u | (Scale((v & d.masks[0]) >> sr, mr) << 16) | (Scale((v & d.masks[1]) >> sg, mg) << 8) |
                 Scale((v & d.masks[2]) >> sb, mb);
      }
      break;
    }
    case 24:
      for (int x = 0; x < width; ++x)
        out[x] = 0xFF000000u | (static_cast<uint32_t>(row[3 * x + 2]) << 16) | (static_cast<uint32_t>(row[3 * x + 1]) << 8) |
                 row[3 * x];
      break;
  }
}

// Nearest table index for a pixel, with a small cache for runs of one colour.
struct IndexFinder {
  const std::vector<RGBQUAD>* table;
  uint32_t lastPixel = 0;
  unsigned lastIndex = 0;
  bool has = false;
  unsigned Find(uint32_t p) {
    if (has && p == lastPixel) return lastIndex;
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    long best = -1;
    unsigned bi = 0;
    for (size_t i = 0; i < table->size(); ++i) {
      const RGBQUAD& q = (*table)[i];
      const long dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
      const long dd = dr * dr + dg * dg + db * db;
      if (best < 0 || dd < best) {
        best = dd;
        bi = static_cast<unsigned>(i);
        if (dd == 0) break;
      }
    }
    has = true;
    lastPixel = p;
    lastIndex = bi;
    return bi;
  }
};

void EncodeRow(const DibInfo& d, const uint32_t* in, BYTE* row, int width, IndexFinder* finder) {
  switch (d.bpp) {
    case 1:
    case 4:
    case 8: {
      const int per = 8 / d.bpp;
      std::memset(row, 0, d.stride);
      for (int x = 0; x < width; ++x) {
        const unsigned idx = finder->Find(in[x] | 0xFF000000u);
        const int shift = 8 - d.bpp * (x % per + 1);
        row[x / per] = static_cast<BYTE>(row[x / per] | (idx << shift));
      }
      break;
    }
    case 16:
    case 32: {
      if (d.bpp == 32 && d.masks[0] == 0xFF0000 && d.masks[1] == 0xFF00 && d.masks[2] == 0xFF) {
        // 8-bit channels in place: each channel scales to itself.
        for (int x = 0; x < width; ++x) {
          const uint32_t v = in[x] & 0xFFFFFFu;
          std::memcpy(row + 4 * x, &v, 4);
        }
        break;
      }
      const int sr = Shift(d.masks[0]), sg = Shift(d.masks[1]), sb = Shift(d.masks[2]);
      const DWORD mr = MaxOf(d.masks[0]), mg = MaxOf(d.masks[1]), mb = MaxOf(d.masks[2]);
      for (int x = 0; x < width; ++x) {
        const uint32_t p = in[x];
        const DWORD v = (Unscale((p >> 16) & 0xFF, mr) << sr) | (Unscale((p >> 8) & 0xFF, mg) << sg) |
                        (Unscale(p & 0xFF, mb) << sb);
        if (d.bpp == 16) {
          const WORD w = static_cast<WORD>(v);
          std::memcpy(row + 2 * x, &w, 2);
        } else {
          std::memcpy(row + 4 * x, &v, 4);
        }
      }
      break;
    }
    case 24:
      for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<BYTE>(in[x]);
        row[3 * x + 1] = static_cast<BYTE>(in[x] >> 8);
        row[3 * x + 2] = static_cast<BYTE>(in[x] >> 16);
      }
      break;
  }
}

// Pictures of deleted bitmaps kept for new bitmaps of the same size: a view
// that renders its picture again and again then draws into memory already
// mapped instead of a fresh block each time. A few pictures of 256 KB to
// 64 MB are kept, 96 MB at most.
class CKeptImages {
 public:
  static CKeptImages& Get() {
    static CKeptImages* kept = new CKeptImages;  // lives to the end: bitmaps may go after statics
    return *kept;
  }
  void Keep(QImage& img) {
    const qsizetype bytes = img.sizeInBytes();
    if (bytes < kMinBytes || bytes > kMaxBytes || img.format() != QImage::Format_RGB32 || !img.isDetached()) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    while (!images_.empty() && (images_.size() >= kCount || total_ + bytes > kTotalBytes)) {
      total_ -= images_.front().sizeInBytes();
      images_.erase(images_.begin());
    }
    total_ += bytes;
    images_.push_back(std::move(img));
  }
  QImage Take(int w, int h) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = images_.end(); it != images_.begin();) {
      --it;
      if (it->width() != w || it->height() != h) continue;
      QImage img = std::move(*it);
      images_.erase(it);
      total_ -= img.sizeInBytes();
      return img;
    }
    return QImage();
  }

 private:
  static constexpr qsizetype kMinBytes = qsizetype(256) << 10;
  static constexpr qsizetype kMaxBytes = qsizetype(64) << 20;
  static constexpr qsizetype kTotalBytes = qsizetype(96) << 20;
  static constexpr size_t kCount = 4;
  std::mutex mutex_;
  std::vector<QImage> images_;
  qsizetype total_ = 0;
};

std::shared_ptr<Bitmap> NewBitmap(int w, int h, int bpp) {
  auto b = std::make_shared<Bitmap>();
  b->bpp = bpp;
  if (w <= 0 || h <= 0 || static_cast<unsigned long long>(w) * static_cast<unsigned long long>(h) > (1ull << 31)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  b->img = CKeptImages::Get().Take(w, h);
  if (b->img.isNull()) b->img = QImage(w, h, QImage::Format_RGB32);
  if (b->img.isNull()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  b->img.fill(0xFF000000u);
  return b;
}

bool IsMonoTarget(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc && dc->type == Dc::Memory && dc->a.bitmap && dc->a.bitmap->Mono();
}

// Rows of a DDB's bits (WORD-aligned rows, top row first).
DibInfo DdbInfo(const Bitmap& b) {
  DibInfo d;
  d.width = b.img.width();
  d.height = b.img.height();
  d.topDown = true;
  d.bpp = b.bpp;
  d.stride = static_cast<size_t>((d.width * d.bpp + 15) / 16) * 2;
  if (d.bpp == 16) {
    d.masks[0] = 0x7C00;
    d.masks[1] = 0x03E0;
    d.masks[2] = 0x001F;
  } else if (d.bpp == 32) {
    d.masks[0] = 0xFF0000;
    d.masks[1] = 0xFF00;
    d.masks[2] = 0xFF;
  }
  if (d.bpp <= 8) {
    d.rgbTable = DefaultTable(d.bpp);
    for (const auto& q : d.rgbTable) d.colors.push_back(QuadPixel(q));
  }
  return d;
}

// Draws `src` (RGB32, top-down) scaled into a device rectangle.
void StretchImage(Target& t, const QRect& dst, bool flipX, bool flipY, const QImage& src, DWORD rop, int mode,
                  const BrushFill& pat) {
  const int n = dst.width(), m = dst.height(), sw = src.width(), sh = src.height();
  if (n <= 0 || m <= 0 || sw <= 0 || sh <= 0) return;
  for (int j = 0; j < m; ++j) {
    int jj = flipY ? m - 1 - j : j;
    const int sy0 = static_cast<int>(static_cast<long long>(jj) * sh / m);
    int sy1 = static_cast<int>((static_cast<long long>(jj + 1) * sh + m - 1) / m);
    if (sy1 <= sy0) sy1 = sy0 + 1;
    t.ForSpan(dst.top() + j, dst.left(), dst.left() + n, [&](int y, int a, int b) {
      uint32_t* row = t.Row(y);
      for (int x = a; x < b; ++x) {
        int ii = x - dst.left();
        if (flipX) ii = n - 1 - ii;
        const int sx0 = static_cast<int>(static_cast<long long>(ii) * sw / n);
        int sx1 = static_cast<int>((static_cast<long long>(ii + 1) * sw + n - 1) / n);
        if (sx1 <= sx0) sx1 = sx0 + 1;
        uint32_t s;
        if (sx1 - sx0 == 1 && sy1 - sy0 == 1) {
          s = reinterpret_cast<const uint32_t*>(src.constScanLine(sy0))[sx0] | 0xFF000000u;
        } else if (mode == HALFTONE) {
          unsigned long r = 0, g = 0, bl = 0, k = 0;
          for (int yy = sy0; yy < sy1; ++yy)
            for (int xx = sx0; xx < sx1; ++xx) {
              const uint32_t p = reinterpret_cast<const uint32_t*>(src.constScanLine(yy))[xx];
              r += (p >> 16) & 0xFF;
              g += (p >> 8) & 0xFF;
              bl += p & 0xFF;
              ++k;
            }
          s = 0xFF000000u | static_cast<uint32_t>(((r + k / 2) / k) << 16) | static_cast<uint32_t>(((g + k / 2) / k) << 8) |
              static_cast<uint32_t>((bl + k / 2) / k);
        } else if (mode == BLACKONWHITE || mode == WHITEONBLACK) {
          s = mode == BLACKONWHITE ? 0xFFFFFFFFu : 0xFF000000u;
          for (int yy = sy0; yy < sy1; ++yy)
            for (int xx = sx0; xx < sx1; ++xx) {
              const uint32_t p = reinterpret_cast<const uint32_t*>(src.constScanLine(yy))[xx] | 0xFF000000u;
              s = mode == BLACKONWHITE ? (s & p) : (s | p);
            }
        } else {
          s = reinterpret_cast<const uint32_t*>(src.constScanLine(sy0))[sx0] | 0xFF000000u;
        }
        const uint32_t p = pat.none ? 0xFF000000u : pat.At(x, y);
        row[x] = rop == SRCCOPY ? s : Rop3(rop, p, s, row[x]);
      }
    });
  }
}

// Decodes the rows [y0, y0 + h) (top-down picture rows) and columns [x0, x0 + w) of a DIB.
QImage DecodeRect(const DibInfo& d, const BYTE* bits, int x0, int y0, int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  if (img.isNull()) return img;
  std::vector<uint32_t> row(static_cast<size_t>(d.width));
  for (int j = 0; j < h; ++j) {
    const int pictureRow = y0 + j;
    const int scan = d.topDown ? pictureRow : d.height - 1 - pictureRow;
    DecodeRow(d, bits + static_cast<size_t>(scan) * d.stride, row.data(), d.width);
    std::memcpy(img.scanLine(j), row.data() + x0, static_cast<size_t>(w) * 4);
  }
  return img;
}

}  // namespace

void InRowBands(UINT rows, long long pixels, const std::function<void(UINT, UINT)>& work) {
  constexpr long long kPixelsPerBand = 1 << 19;
  const long long cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  const UINT bands = static_cast<UINT>(std::clamp<long long>(pixels / kPixelsPerBand, 1, std::min<long long>(cores, rows)));
  if (bands <= 1) {
    work(0, rows);
    return;
  }
  std::vector<std::thread> helpers;
  const auto band = [&](UINT b) { work(static_cast<UINT>(static_cast<unsigned long long>(rows) * b / bands),
                                        static_cast<UINT>(static_cast<unsigned long long>(rows) * (b + 1) / bands)); };
  for (UINT b = 1; b < bands; ++b) {
    try {
      helpers.emplace_back(band, b);
    } catch (...) {
      band(b);  // no thread to be had: this one does the band
    }
  }
  band(0);
  for (std::thread& t : helpers) t.join();
}

Bitmap::~Bitmap() {
  if (!img.isNull()) CKeptImages::Get().Keep(img);
}

const QImage& BitmapImage(Bitmap& b) {
  if (b.dibSection) LoadDibSection(b);
  return b.img;
}

void LoadDibSection(Bitmap& b) {
  BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(&b.dibHeader);
  (void)info;
  DibInfo d;
  d.width = b.img.width();
  d.height = b.img.height();
  d.topDown = b.dibHeader.biHeight < 0;
  d.bpp = b.bpp;
  d.stride = static_cast<size_t>(DibRowStride(d.width, d.bpp));
  std::memcpy(d.masks, b.dibMasks, sizeof d.masks);
  for (const auto& q : b.table) d.colors.push_back(QuadPixel(q));
  if (d.colors.empty()) d.colors.push_back(0xFF000000u);
  for (int y = 0; y < d.height; ++y) {
    const int scan = d.topDown ? y : d.height - 1 - y;
    DecodeRow(d, b.dibStore.data() + static_cast<size_t>(scan) * d.stride, reinterpret_cast<uint32_t*>(b.img.scanLine(y)),
              d.width);
  }
}

void StoreDibSection(Bitmap& b, const QRect& r) {
  DibInfo d;
  d.width = b.img.width();
  d.height = b.img.height();
  d.topDown = b.dibHeader.biHeight < 0;
  d.bpp = b.bpp;
  d.stride = static_cast<size_t>(DibRowStride(d.width, d.bpp));
  std::memcpy(d.masks, b.dibMasks, sizeof d.masks);
  IndexFinder f{&b.table};
  std::vector<BYTE> tmp(d.stride);
  for (int y = std::max(0, r.top()); y <= std::min(d.height - 1, r.bottom()); ++y) {
    const int scan = d.topDown ? y : d.height - 1 - y;
    BYTE* row = b.dibStore.data() + static_cast<size_t>(scan) * d.stride;
    if (d.bpp == 32) {
      // keep the reserved byte of untouched pixels; drawn ones get 0
      const uint32_t* in = reinterpret_cast<const uint32_t*>(b.img.constScanLine(y));
      for (int x = std::max(0, r.left()); x <= std::min(d.width - 1, r.right()); ++x) {
        const uint32_t v = in[x] & 0xFFFFFFu;
        std::memcpy(row + 4 * x, &v, 4);
      }
      continue;
    }
    EncodeRow(d, reinterpret_cast<const uint32_t*>(b.img.constScanLine(y)), tmp.data(), d.width, &f);
    std::memcpy(row, tmp.data(), d.stride);
  }
}

}  // namespace qmgdi

using namespace qmgdi;

size_t DIBHeaderBytes(const BITMAPINFO* info, UINT usage) {
  DibInfo d;
  if (!ParseDib(info, usage, nullptr, d)) return 0;
  return d.headerBytes;
}

const void* FindDIBBits(const BITMAPINFO* info) {
  const size_t n = DIBHeaderBytes(info, DIB_RGB_COLORS);
  if (!n) return nullptr;
  return reinterpret_cast<const BYTE*>(info) + n;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || !(bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
                       bitsPerPixel == 24 || bitsPerPixel == 32) ||
      width < 0 || height < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (width == 0 || height == 0) {
    width = height = 1;
    bitsPerPixel = 1;
    bits = nullptr;
  }
  auto b = NewBitmap(width, height, static_cast<int>(bitsPerPixel));
  if (!b) return nullptr;
  if (bits) {
    const DibInfo d = DdbInfo(*b);
    for (int y = 0; y < height; ++y)
      DecodeRow(d, static_cast<const BYTE*>(bits) + static_cast<size_t>(y) * d.stride,
                reinterpret_cast<uint32_t*>(b->img.scanLine(y)), width);
  }
  return static_cast<HBITMAP>(AddObject(b));
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (!bm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (!FindDc(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (width < 0 || height < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (width == 0 || height == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
  auto b = NewBitmap(width, height, IsMonoTarget(hdc) ? 1 : 32);
  if (!b) return nullptr;
  return static_cast<HBITMAP>(AddObject(b));
}

LONG GetBitmapBits(HBITMAP bitmap, LONG bytes, LPVOID bits) {
  auto b = FindBitmap(bitmap);
  if (!b || bytes < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const QImage& img = BitmapImage(*b);
  DibInfo d = DdbInfo(*b);
  const size_t total = d.stride * static_cast<size_t>(d.height);
  if (!bits) return static_cast<LONG>(total);
  const size_t n = std::min(total, static_cast<size_t>(bytes));
  std::vector<BYTE> row(d.stride);
  IndexFinder f{&d.rgbTable};
  size_t done = 0;
  for (int y = 0; y < d.height && done < n; ++y) {
    EncodeRow(d, reinterpret_cast<const uint32_t*>(img.constScanLine(y)), row.data(), d.width, &f);
    const size_t k = std::min(d.stride, n - done);
    std::memcpy(static_cast<BYTE*>(bits) + done, row.data(), k);
    done += k;
  }
  return static_cast<LONG>(done);
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits) {
  auto b = FindBitmap(bitmap);
  if (!b || !bits) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DibInfo d = DdbInfo(*b);
  const size_t rows = std::min(static_cast<size_t>(d.height), static_cast<size_t>(bytes) / d.stride);
  // Rows stand alone: a large picture is read in bands (the image is made
  // writable here, once).
  uchar* const first = b->img.bits();
  const qsizetype perLine = b->img.bytesPerLine();
  InRowBands(static_cast<UINT>(rows), static_cast<long long>(rows) * d.width, [&](UINT y0, UINT y1) {
    for (size_t y = y0; y < y1; ++y)
      DecodeRow(d, static_cast<const BYTE*>(bits) + y * d.stride,
                reinterpret_cast<uint32_t*>(first + static_cast<qsizetype>(y) * perLine), d.width);
  });
  if (b->dibSection) StoreDibSection(*b, b->img.rect());
  return static_cast<LONG>(rows * d.stride);
}

BOOL SetBitmapDimensionEx(HBITMAP bitmap, int width, int height, LPSIZE old) {
  auto b = FindBitmap(bitmap);
  if (!b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (old) *old = b->dimension;
  b->dimension = SIZE{width, height};
  return TRUE;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, LPSIZE size) {
  auto b = FindBitmap(bitmap);
  if (!b || !size) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *size = b->dimension;
  return TRUE;
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage) {
  auto dc = FindDc(hdc);
  auto b = FindBitmap(bitmap);
  if (!dc || !b || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  const QImage& img = BitmapImage(*b);
  if (!bits && h.biBitCount == 0) {
    h.biWidth = img.width();
    h.biHeight = img.height();
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(b->bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibRowStride(img.width(), b->bpp) * img.height());
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    return 1;
  }
  if (h.biWidth <= 0) h.biWidth = img.width();
  if (h.biHeight == 0) h.biHeight = img.height();
  h.biPlanes = 1;
  if (h.biCompression != BI_BITFIELDS) h.biCompression = BI_RGB;
  // The colour table the rows are written with.
  std::vector<RGBQUAD> table;
  if (h.biBitCount <= 8) {
    if (usage == DIB_PAL_COLORS) {
      const auto& pal = dc->a.palette ? dc->a.palette->entries : DefaultPaletteEntries();
      for (size_t i = 0; i < pal.size() && i < (1u << h.biBitCount); ++i)
        table.push_back(RGBQUAD{pal[i].peBlue, pal[i].peGreen, pal[i].peRed, 0});
    } else if (b->tableBpp == h.biBitCount && !b->table.empty()) {
      table = b->table;
    } else {
      table = DefaultTable(h.biBitCount);
    }
    const size_t n = 1u << h.biBitCount;
    table.resize(n, RGBQUAD{0, 0, 0, 0});
    BYTE* tbl = reinterpret_cast<BYTE*>(info) + h.biSize;
    for (size_t i = 0; i < n; ++i) {
      if (usage == DIB_PAL_COLORS) {
        const WORD idx = static_cast<WORD>(i);
        std::memcpy(tbl + 2 * i, &idx, 2);
      } else {
        std::memcpy(tbl + 4 * i, &table[i], 4);
      }
    }
    h.biClrUsed = 0;
  }
  DibInfo d;
  {
    // Parse what the header now says (RGB table just written).
    if (!ParseDib(info, usage, &dc->a, d)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
  }
  h.biSizeImage = static_cast<DWORD>(d.stride * static_cast<size_t>(d.height));
  if (!bits) return static_cast<int>(d.height);
  if (start >= static_cast<UINT>(d.height)) return 0;
  const UINT n = std::min(lines, static_cast<UINT>(d.height) - start);
  // Scan lines [s0, s1); with 16 bits or more every line stands alone (no
  // colour table to search), so a large picture is written in bands.
  const auto scanLines = [&](UINT s0, UINT s1) {
    IndexFinder f{&table};
    std::vector<uint32_t> px(static_cast<size_t>(d.width), 0xFF000000u);
    for (UINT s = s0; s < s1; ++s) {
      const int scan = static_cast<int>(start + s);
      // Rows of the bitmap counted from its own bottom for bottom-up DIBs.
      const int bmRow = d.topDown ? scan : img.height() - 1 - scan;
      std::fill(px.begin(), px.end(), 0xFF000000u);
      if (bmRow >= 0 && bmRow < img.height()) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(img.constScanLine(bmRow));
        std::copy(src, src + std::min(d.width, img.width()), px.begin());
      }
      BYTE* row = static_cast<BYTE*>(bits) + static_cast<size_t>(s) * d.stride;
      EncodeRow(d, px.data(), row, d.width, &f);
      if (d.bpp == 32 && d.compression == BI_RGB)
        for (int x = 0; x < d.width; ++x) row[4 * x + 3] = 0;
    }
  };
  if (d.bpp >= 16)
    InRowBands(n, static_cast<long long>(n) * d.width, scanLines);
  else
    scanLines(0, n);
  return static_cast<int>(n);
}

int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  auto dc = hdc ? FindDc(hdc) : nullptr;
  auto b = FindBitmap(bitmap);
  DibInfo d;
  if (!b || !bits || !ParseDib(info, usage, dc ? &dc->a : nullptr, d)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (start >= static_cast<UINT>(d.height)) return 0;
  const UINT n = std::min(lines, static_cast<UINT>(d.height) - start);
  QImage& img = b->img;
  if (b->dibSection) LoadDibSection(*b);
  std::vector<uint32_t> px(static_cast<size_t>(d.width));
  for (UINT s = 0; s < n; ++s) {
    const int scan = static_cast<int>(start + s);
    const int bmRow = d.topDown ? scan : img.height() - 1 - scan;
    if (bmRow < 0 || bmRow >= img.height()) continue;
    DecodeRow(d, static_cast<const BYTE*>(bits) + static_cast<size_t>(s) * d.stride, px.data(), d.width);
    uint32_t* dst = reinterpret_cast<uint32_t*>(img.scanLine(bmRow));
    const int w = std::min(d.width, img.width());
    for (int x = 0; x < w; ++x) dst[x] = b->Mono() ? ToMono(px[static_cast<size_t>(x)]) : px[static_cast<size_t>(x)];
  }
  if (d.bpp <= 8 && usage == DIB_RGB_COLORS) {
    b->table = d.rgbTable;
    b->tableBpp = d.bpp;
  }
  if (b->dibSection) StoreDibSection(*b, img.rect());
  return static_cast<int>(n);
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header || header->biSize < sizeof(BITMAPINFOHEADER) || header->biWidth <= 0 || header->biHeight == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int w = header->biWidth, h = std::abs(header->biHeight);
  auto b = NewBitmap(w, h, hdc && IsMonoTarget(hdc) ? 1 : 32);
  if (!b) return nullptr;
  HBITMAP hb = static_cast<HBITMAP>(AddObject(b));
  if ((init & CBM_INIT) && bits) {
    if (!info || SetDIBits(hdc, hb, 0, static_cast<UINT>(h), bits, info, usage) == 0) {
      DeleteObject(hb);
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  }
  return hb;
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  auto dc = hdc ? FindDc(hdc) : nullptr;
  DibInfo d;
  if (section || !ParseDib(info, usage, dc ? &dc->a : nullptr, d)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = NewBitmap(d.width, d.height, d.bpp);
  if (!b) return nullptr;
  b->dibSection = true;
  b->dibHeader = info->bmiHeader;
  b->dibHeader.biSize = sizeof(BITMAPINFOHEADER);
  std::memcpy(b->dibMasks, d.masks, sizeof d.masks);
  b->table = d.rgbTable;
  b->tableBpp = d.bpp <= 8 ? d.bpp : 0;
  try {
    b->dibStore.assign(d.stride * static_cast<size_t>(d.height), 0);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  LoadDibSection(*b);
  if (bits) *bits = b->dibStore.data();
  return static_cast<HBITMAP>(AddObject(b));
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
  auto dc = FindDc(hdc);
  if (!dc || !dc->a.bitmap || !dc->a.bitmap->dibSection || !colors) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto& t = dc->a.bitmap->table;
  if (start >= t.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(t.size()) - start);
  std::copy(t.begin() + start, t.begin() + start + n, colors);
  return n;
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
  auto dc = FindDc(hdc);
  if (!dc || !dc->a.bitmap || !dc->a.bitmap->dibSection || !colors) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& t = dc->a.bitmap->table;
  if (start >= t.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(t.size()) - start);
  std::copy(colors, colors + n, t.begin() + start);
  return n;
}

BOOL GdiFlush() { return TRUE; }

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  auto dc = FindDc(hdc);
  DibInfo d;
  if (!dc || !bits || !ParseDib(info, usage, dc ? &dc->a : nullptr, d)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Target t;
  if (!BeginTarget(*dc, t)) return 0;
  const QPoint o = ToDevice(dc->a, xDest, yDest);
  const int w = static_cast<int>(std::min<DWORD>(width, 1u << 30)), h = static_cast<int>(std::min<DWORD>(height, 1u << 30));
  std::vector<uint32_t> px(static_cast<size_t>(d.width));
  for (int j = 0; j < h; ++j) {
    // The source rectangle's origin is the DIB's lower-left corner for
    // bottom-up DIBs and its upper-left corner for top-down ones.
    const long long scan = d.topDown ? static_cast<long long>(ySrc) + j : static_cast<long long>(ySrc) + (h - 1 - j);
    if (scan < startScan || scan >= static_cast<long long>(startScan) + lines || scan >= d.height || scan < 0) continue;
    const BYTE* row = static_cast<const BYTE*>(bits) + static_cast<size_t>(scan - startScan) * d.stride;
    bool decoded = false;
    t.ForSpan(o.y() + j, o.x(), o.x() + w, [&](int y, int a, int b) {
      if (!decoded) {
        DecodeRow(d, row, px.data(), d.width);
        decoded = true;
      }
      uint32_t* dst = t.Row(y);
      for (int x = a; x < b; ++x) {
        const long long sx = static_cast<long long>(xSrc) + (x - o.x());
        if (sx < 0 || sx >= d.width) continue;
        dst[x] = px[static_cast<size_t>(sx)];
      }
    });
  }
  EndTarget(t);
  return static_cast<int>(lines);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  auto dc = FindDc(hdc);
  DibInfo d;
  if (!dc || !bits || !ParseDib(info, usage, dc ? &dc->a : nullptr, d)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Target t;
  if (!BeginTarget(*dc, t)) return 0;
  // The source rectangle in picture rows (top-down).
  const int sx0 = std::min(xSrc, xSrc + srcWidth), sx1 = std::max(xSrc, xSrc + srcWidth);
  const int sy0 = std::min(ySrc, ySrc + srcHeight), sy1 = std::max(ySrc, ySrc + srcHeight);
  int top = d.topDown ? sy0 : d.height - sy1;
  int bottom = d.topDown ? sy1 : d.height - sy0;
  int left = sx0, right = sx1;
  // Parts of the source rectangle outside the DIB are left out, with the
  // destination shrunk in proportion.
  const QPoint p0 = ToDevice(dc->a, xDest, yDest), p1 = ToDevice(dc->a, xDest + destWidth, yDest + destHeight);
  QRect dst(std::min(p0.x(), p1.x()), std::min(p0.y(), p1.y()), std::abs(p1.x() - p0.x()), std::abs(p1.y() - p0.y()));
  const int fullW = right - left, fullH = bottom - top;
  if (fullW <= 0 || fullH <= 0 || dst.isEmpty()) return static_cast<int>(d.height);
  const bool flipX = ((p1.x() - p0.x()) < 0) != (srcWidth < 0);
  const bool flipY = ((p1.y() - p0.y()) < 0) != (srcHeight < 0);
  const int cl = std::max(left, 0), cr = std::min(right, d.width), ct = std::max(top, 0), cb = std::min(bottom, d.height);
  if (cr <= cl || cb <= ct) return static_cast<int>(d.height);
  auto part = [](int lo, int hi, int full, int n0, int n) { return QPair<int, int>(static_cast<int>(static_cast<long long>(lo) * n / full) + n0, static_cast<int>(static_cast<long long>(hi) * n / full) + n0); };
  const auto xr = flipX ? part(right - cr, right - cl, fullW, dst.left(), dst.width()) : part(cl - left, cr - left, fullW, dst.left(), dst.width());
  const auto yr = flipY ? part(bottom - cb, bottom - ct, fullH, dst.top(), dst.height()) : part(ct - top, cb - top, fullH, dst.top(), dst.height());
  const QRect clipped(xr.first, yr.first, xr.second - xr.first, yr.second - yr.first);
  const QImage src = DecodeRect(d, static_cast<const BYTE*>(bits), cl, ct, cr - cl, cb - ct);
  if (src.isNull()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  BrushFill pat;
  pat.Init(dc->a, dc->a.brush.get(), R2_COPYPEN);
  StretchImage(t, clipped, flipX, flipY, src, rop, dc->a.stretchMode, pat);
  EndTarget(t);
  return static_cast<int>(d.height);
}
