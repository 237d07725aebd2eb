// Design rendering: the pixel canvas with its colour cache, renders to a
// size and thumbnails, and the design's picture view.
#include "view/PatternRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <thread>
#include <memory>
#include <tuple>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "lang/ids/view.h"
#include "palette/ColorSet.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"
#include "view/BeadPainters.h"

namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFF;

// COLORREF (0x00BBGGRR) to a canvas pixel (0x00RRGGBB) and back.
uint32_t PixelOf(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// 32-bit top-down pixels of a rectangle of the canvas.
// The pixels come from a block kept by the thread between canvases (up to
// 64 MB): re-rendering a whole design then paints into memory already
// mapped instead of a fresh block of the picture's size.
class CCanvas {
 public:
  CCanvas(int width, int height, uint32_t fill) : width_(width), height_(height) {
    px_.swap(Kept());
    px_.assign(size_t(width) * height, fill);
    data_ = px_.data();
  }
  // Over the caller's block of width x height pixels, which outlives it.
  CCanvas(uint32_t* block, int width, int height, uint32_t fill) : width_(width), height_(height), data_(block) {
    std::fill(data_, data_ + Count(), fill);
  }
  ~CCanvas() {
    if (px_.capacity() * sizeof(uint32_t) <= kKeptBytes) px_.swap(Kept());
  }
  CCanvas(const CCanvas&) = delete;
  CCanvas& operator=(const CCanvas&) = delete;
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint32_t* Row(int y) { return data_ + size_t(y) * width_; }
  uint32_t* Data() { return data_; }
  size_t Count() const { return size_t(width_) * height_; }
  RECT Clip(const RECT& r) const {
    return RECT{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width_),
                std::min<LONG>(r.bottom, height_)};
  }

 private:
  static constexpr size_t kKeptBytes = size_t(64) << 20;
  static std::vector<uint32_t>& Kept() {
    thread_local std::vector<uint32_t> kept;
    return kept;
  }
  int width_, height_;
  std::vector<uint32_t> px_;
  uint32_t* data_ = nullptr;
};

// Paints single cells through a small bitmap that first takes the pixels
// beneath the cell, so a bead painted here looks exactly as one painted on
// the whole picture (every painter stays inside its cell).
class CCellPainter {
 public:
  CCellPainter() {
    screen_ = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen_);
    wrap_.m_hDC = dc_;
    wrap_.m_hAttribDC = dc_;
  }
  ~CCellPainter() {
    wrap_.m_hDC = nullptr;
    wrap_.m_hAttribDC = nullptr;
    if (old_) SelectObject(dc_, old_);
    for (auto& [size, bitmap] : bitmaps_) DeleteObject(bitmap);
    DeleteDC(dc_);
    ReleaseDC(nullptr, screen_);
  }
  CCellPainter(const CCellPainter&) = delete;
  CCellPainter& operator=(const CCellPainter&) = delete;

  bool Ok() const { return dc_ != nullptr; }

  // Loads w x h pixels (top-down rows, `stride` pixels apart), lets `paint`
  // draw on a DC whose cell is (0, 0, w, h), and stores the result back.
  template <class Paint>
  void PaintCell(uint32_t* first, int stride, int w, int h, Paint&& paint) {
    if (w <= 0 || h <= 0) return;
    HBITMAP& bitmap = bitmaps_[{w, h}];
    if (!bitmap) bitmap = CreateCompatibleBitmap(screen_, w, h);
    if (!bitmap) return;
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (!old_) old_ = previous;
    buffer_.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y) std::memcpy(buffer_.data() + size_t(y) * w, first + size_t(y) * stride, size_t(w) * 4);
    SetBitmapBits(bitmap, static_cast<DWORD>(buffer_.size() * 4), buffer_.data());
    paint(&wrap_, RECT{0, 0, w, h});
    GetBitmapBits(bitmap, static_cast<LONG>(buffer_.size() * 4), buffer_.data());
    for (int y = 0; y < h; ++y) {
      uint32_t* row = first + size_t(y) * stride;
      const uint32_t* src = buffer_.data() + size_t(y) * w;
      for (int x = 0; x < w; ++x) row[x] = src[x] & kRgbMask;
    }
  }

 private:
  HDC screen_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  CDC wrap_;
  std::map<std::pair<int, int>, HBITMAP> bitmaps_;
  std::vector<uint32_t> buffer_;
};

struct CPaintMode {
  int effect = 0;
  bool hexagon = false;
  bool outline = false;
  bool brick = false;
  bool crosses = true;  // DrawBeadCell (crosses on selected beads) or DrawBeadShape
  bool perBead = false;
};

// Progress of a render, stepped only when its bar can move.
class CRenderProgress {
 public:
  CRenderProgress(IProgressHost* host, int total) {
    if (!host || total < 2) return;
    progress_ = std::make_unique<CStatusProgress>(host, total, static_cast<UINT>(IDS_VIEW_SAVING_PATTERN));
    progress_->SetStartColor(0x8000FF);
    progress_->SetEndColor(0xFF0000);
    step_ = std::max(1, total / 256);
  }
  void At(int position) {
    if (progress_ && position >= next_) {
      progress_->SetPos(position);
      next_ = position + step_;
    }
  }

 private:
  std::unique_ptr<CStatusProgress> progress_;
  int step_ = 1;
  int next_ = 0;
};

// Bead cells in a rectangle for beads taken in storage order: the top and
// bottom are worked out again only when y changes (a row shares one y), the
// left and right come from a table of the x values seen (rows share their
// columns' x), so a grid's cells cost a look-up each.
class CCellMemo {
 public:
  CCellMemo(const CPattern& design, const RECT& rect) : mapper_(design, rect, false), slots_(kSlots) {}
  // `row` carries the last bead's top and bottom between calls.
  RECT Get(const CBead& bead, RECT& row) {
    if (!(bead.m_y == y_) || !haveY_) {
      mapper_.Vertical(bead.m_y, row);
      y_ = bead.m_y;
      haveY_ = true;
    }
    RECT cell = row;
    uint64_t bits = 0;
    std::memcpy(&bits, &bead.m_x, sizeof bits);
    CSlot& slot = slots_[size_t((bits * 0x9E3779B97F4A7C15ULL) >> (64 - kSlotBits))];
    if (slot.used && slot.bits == bits) {
      cell.left = slot.left;
      cell.right = slot.right;
    } else {
      mapper_.Horizontal(bead.m_x, cell);
      slot = CSlot{bits, cell.left, cell.right, true};
    }
    return cell;
  }

 private:
  static constexpr int kSlotBits = 13;
  static constexpr size_t kSlots = size_t(1) << kSlotBits;
  struct CSlot {
    uint64_t bits = 0;
    LONG left = 0, right = 0;
    bool used = false;
  };
  CBeadRectMapper mapper_;
  std::vector<CSlot> slots_;
  double y_ = 0;
  bool haveY_ = false;
};

// Paints the present beads of the design fitted in `fitted` onto the canvas,
// in storage order. Without perBead, the first bead of each kind (colour,
// leaning for hexagons, cell size) is painted and the later ones copy its
// pixels; selected beads are always painted.
bool PaintBeads(CCanvas& canvas, const CPattern& design, const CColorSet& palette, const RECT& fitted,
                const CPaintMode& mode, IProgressHost* progress) {
  CCellPainter painter;
  if (!painter.Ok()) return false;
  using Key = std::tuple<int, int, int, int>;
  std::map<Key, std::vector<uint32_t>> cache;
  const int count = design.GetBeadCount();
  CRenderProgress bar(progress, count);
  const int stride = canvas.Width();
  CCellMemo columns(design, fitted);
  RECT lastRow{0, 0, 0, 0};
  const int pathColor = design.m_pathColor;
  // Neighbours are mostly of one kind: the last cell found comes first.
  Key lastKey{0, 0, 0, 0};
  const std::vector<uint32_t>* lastCached = nullptr;
  for (int i = 0; i < count; ++i) {
    const CBead& bead = design.m_beads[size_t(i)];
    if (progress) bar.At(i + 1);
    if (!bead.IsPresent()) continue;
    const RECT cell = columns.Get(bead, lastRow);
    const RECT clip = canvas.Clip(cell);
    const int w = clip.right - clip.left, h = clip.bottom - clip.top;
    if (w <= 0 || h <= 0) continue;
    uint32_t* first = canvas.Row(clip.top) + clip.left;
    const auto paint = [&](CDC* dc, const RECT&) {
      const RECT moved{cell.left - clip.left, cell.top - clip.top, cell.right - clip.left, cell.bottom - clip.top};
      if (mode.crosses)
        DrawBeadCell(bead, design, mode.effect, mode.hexagon, moved, dc, palette, mode.outline, mode.brick);
      else DrawBeadShape(bead, design, mode.effect, mode.hexagon, moved, dc, palette, mode.outline, mode.brick);
    };
    const bool alone = mode.perBead || (mode.crosses && bead.IsSelected()) || clip.left != cell.left ||
                       clip.top != cell.top || clip.right != cell.right || clip.bottom != cell.bottom;
    if (alone) {
      painter.PaintCell(first, stride, w, h, paint);
      continue;
    }
    const Key key{bead.GetColorIndex(pathColor), mode.hexagon ? bead.m_alternate : 0, w, h};
    const std::vector<uint32_t>* cached = nullptr;
    if (lastCached && key == lastKey) {
      cached = lastCached;
    } else {
      const auto it = cache.find(key);
      if (it != cache.end()) cached = &it->second;
    }
    if (!cached) {
      painter.PaintCell(first, stride, w, h, paint);
      std::vector<uint32_t>& stored = cache[key];
      stored.resize(size_t(w) * h);
      for (int y = 0; y < h; ++y) std::memcpy(stored.data() + size_t(y) * w, first + size_t(y) * stride, size_t(w) * 4);
      cached = &stored;
    } else if (w == 1 && h == 1) {
      *first = cached->front();
    } else {
      const uint32_t* src = cached->data();
      for (int y = 0; y < h; ++y) std::memcpy(first + size_t(y) * stride, src + size_t(y) * w, size_t(w) * 4);
    }
    lastKey = key;
    lastCached = cached;
  }
  return true;
}

HBITMAP BitmapFromCanvas(CDC* dc, CCanvas& canvas) {
  const HDC screen = GetDC(nullptr);
  const HDC ref = dc && dc->GetSafeHdc() ? dc->GetSafeHdc() : screen;
  HBITMAP bitmap = CreateCompatibleBitmap(ref, canvas.Width(), canvas.Height());
  ReleaseDC(nullptr, screen);
  if (!bitmap) return nullptr;
  SetBitmapBits(bitmap, static_cast<DWORD>(canvas.Count() * 4), canvas.Data());
  SetBitmapDimensionEx(bitmap, canvas.Width(), canvas.Height(), nullptr);
  return bitmap;
}

// Runs `draw` on a memory DC over the canvas's pixels and takes them back.
template <class Draw>
bool DrawOnCanvas(CCanvas& canvas, Draw&& draw) {
  HBITMAP bitmap = BitmapFromCanvas(nullptr, canvas);
  if (!bitmap) return false;
  const HDC screen = GetDC(nullptr);
  const HDC mem = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bitmap);
  {
    CDC wrap;
    wrap.m_hDC = mem;
    wrap.m_hAttribDC = mem;
    draw(&wrap);
    wrap.m_hDC = nullptr;
    wrap.m_hAttribDC = nullptr;
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  GetBitmapBits(bitmap, static_cast<LONG>(canvas.Count() * 4), canvas.Data());
  uint32_t* const pixels = canvas.Data();
  for (size_t i = 0, n = canvas.Count(); i < n; ++i) pixels[i] &= kRgbMask;
  DeleteObject(bitmap);
  return true;
}

// In units of 1 / tw source pixel, target column X spans [X sw, (X + 1) sw)
// and source column i spans [i tw, (i + 1) tw); likewise for rows. rowOf(j)
// gives source row j (full width).
template <class RowOf>
void AverageRegion(RowOf rowOf, int sw, int sh, uint32_t* target, int tw, int th, int x0, int y0, int x1, int y1) {
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, tw);
  y1 = std::min(y1, th);
  if (x0 >= x1 || y0 >= y1) return;
  const long long total = static_cast<long long>(sw) * sh;
  // The source columns under each target column with their widths, worked
  // out once for all rows (integer weights: the sums are exact in any order).
  struct CTap {
    int i;
    long long wx;
  };
  std::vector<CTap> taps;
  std::vector<size_t> firstTap(size_t(x1 - x0) + 1);
  for (int X = x0; X < x1; ++X) {
    firstTap[size_t(X - x0)] = taps.size();
    const long long tx0 = static_cast<long long>(X) * sw, tx1 = tx0 + sw;
    const int i0 = static_cast<int>(tx0 / tw), i1 = static_cast<int>(std::min<long long>((tx1 + tw - 1) / tw, sw));
    for (int i = i0; i < i1; ++i) {
      const long long wx =
          std::min(tx1, static_cast<long long>(i + 1) * tw) - std::max(tx0, static_cast<long long>(i) * tw);
      if (wx > 0) taps.push_back(CTap{i, wx});
    }
  }
  firstTap[size_t(x1 - x0)] = taps.size();
  const auto avg = [total](long long v) { return static_cast<uint32_t>((v + total / 2) / total); };
  std::vector<long long> sums(size_t(x1 - x0) * 3);
  for (int Y = y0; Y < y1; ++Y) {
    const long long ty0 = static_cast<long long>(Y) * sh, ty1 = ty0 + sh;
    const int j0 = static_cast<int>(ty0 / th), j1 = static_cast<int>(std::min<long long>((ty1 + th - 1) / th, sh));
    std::fill(sums.begin(), sums.end(), 0);
    for (int j = j0; j < j1; ++j) {
      const long long wy =
          std::min(ty1, static_cast<long long>(j + 1) * th) - std::max(ty0, static_cast<long long>(j) * th);
      if (wy <= 0) continue;
      const uint32_t* row = rowOf(j);
      for (int X = x0; X < x1; ++X) {
        long long r = 0, g = 0, b = 0;
        for (size_t k = firstTap[size_t(X - x0)], e = firstTap[size_t(X - x0) + 1]; k < e; ++k) {
          const uint32_t p = row[taps[k].i];
          const long long wx = taps[k].wx;
          r += wx * ((p >> 16) & 0xFF);
          g += wx * ((p >> 8) & 0xFF);
          b += wx * (p & 0xFF);
        }
        long long* sum = &sums[size_t(X - x0) * 3];
        sum[0] += wy * r;
        sum[1] += wy * g;
        sum[2] += wy * b;
      }
    }
    for (int X = x0; X < x1; ++X) {
      const long long* sum = &sums[size_t(X - x0) * 3];
      target[size_t(Y) * tw + X] = (avg(sum[0]) << 16) | (avg(sum[1]) << 8) | avg(sum[2]);
    }
  }
}

// AverageRegion with the target rows in bands on several threads when the
// source part is large (every target pixel is worked out on its own, so the
// result is the same).
template <class RowOf>
void AverageInBands(const RowOf& rowOf, int sw, int sh, uint32_t* target, int tw, int th, int x0, int y0, int x1,
                    int y1) {
  const long long work = static_cast<long long>(std::max(0, y1 - y0)) * sh / std::max(1, th) * sw;
  const long long cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  const int bands = static_cast<int>(std::clamp<long long>(work / 250000, 1, std::min<long long>(cores, std::max(1, y1 - y0))));
  const auto band = [&](int b) {
    AverageRegion(rowOf, sw, sh, target, tw, th, x0, y0 + (y1 - y0) * b / bands, x1, y0 + (y1 - y0) * (b + 1) / bands);
  };
  std::vector<std::thread> helpers;
  for (int b = 1; b < bands; ++b) {
    try {
      helpers.emplace_back(band, b);
    } catch (...) {
      band(b);  // no thread to be had: this one does the band
    }
  }
  band(0);
  for (std::thread& t : helpers) t.join();
}

long long RenderBudget(const CRenderUnder* under) {
  if (under && under->budget > 0) return under->budget;
  const long long b = GetAppSettings().GetVirtualScreenSize();
  return b > 0 ? b : 1920LL * 1080;
}

}  // namespace

COLORREF GetViewBackground() { return GetAppSettings().m_viewBackgroundColor; }

RECT FitRectToSize(const RECT& rect, double width, double height) {
  const long long w0 = static_cast<long long>(rect.right) - rect.left;
  const long long h0 = static_cast<long long>(rect.bottom) - rect.top;
  if (w0 <= 0 || h0 <= 0) return RECT{0, 0, 0, 0};
  if (!(width > 0) || !(height > 0)) return rect;
  double fw = static_cast<double>(w0), fh = fw * height / width;
  if (fh > static_cast<double>(h0)) {
    fh = static_cast<double>(h0);
    fw = fh * width / height;
  }
  const LONG iw = std::min<LONG>(static_cast<LONG>(std::lround(fw)), static_cast<LONG>(w0));
  const LONG ih = std::min<LONG>(static_cast<LONG>(std::lround(fh)), static_cast<LONG>(h0));
  const LONG left = rect.left + static_cast<LONG>((w0 - iw) / 2);
  const LONG top = rect.top + static_cast<LONG>((h0 - ih) / 2);
  return RECT{left, top, left + iw, top + ih};
}

bool RenderPatternBitmap(CDC* dc, HBITMAP* out, CPattern& design, const CColorSet& palette, bool outline, bool brick,
                         const CRenderUnder* under) {
  if (!out || !design.HasBeads()) return false;
  const long long budget = RenderBudget(under);
  const int columns = static_cast<int>(design.GetColumnCount()), rows = static_cast<int>(design.GetRowCount());
  int w = 0, h = 0;
  if (!FindGridForBeadCount(budget, columns, rows, w, h, design)) {
    const double area = design.m_actualWidth * design.m_actualHeight;
    if (!(area > 0)) return false;
    const double s = std::sqrt(static_cast<double>(budget) / area);
    w = static_cast<int>(std::min(std::trunc(design.m_actualWidth * s), 32767.0));
    h = static_cast<int>(std::min(std::trunc(design.m_actualHeight * s), 32767.0));
  }
  // A bitmap side stays within what the drawing layer holds.
  if (w > 16384 || h > 16384) {
    const double k = std::min(16384.0 / w, 16384.0 / h);
    w = static_cast<int>(w * k);
    h = static_cast<int>(h * k);
  }
  if (w <= 0 || h <= 0) return false;
  const RECT first = FitRectToSize(RECT{0, 0, w, h}, design.m_actualWidth, design.m_actualHeight);
  // The picture reaches the right of the rightmost bead and the bottom of
  // the lowest (the smallest y: y runs upwards); both edges grow with the
  // centre, so the two extreme beads give them.
  const CBead* rightmost = &design.m_beads.front();
  const CBead* lowest = rightmost;
  for (const CBead& bead : design.m_beads) {
    if (bead.m_x > rightmost->m_x) rightmost = &bead;
    if (bead.m_y < lowest->m_y) lowest = &bead;
  }
  const CBeadRectMapper firstCells(design, first, false);
  const LONG width = std::max<LONG>(0, firstCells.Get(*rightmost).right);
  const LONG height = std::max<LONG>(0, firstCells.Get(*lowest).bottom);
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  RECT fitted = FitRectToSize(RECT{0, 0, width, height}, design.m_actualWidth, design.m_actualHeight);
  OffsetRect(&fitted, -fitted.left, -fitted.top);
  design.SetViewRect(fitted);

  const COLORREF background =
      under && under->background != static_cast<COLORREF>(-1) ? under->background : GetViewBackground();
  CCanvas canvas(width, height, PixelOf(background));
  if (under && under->original && under->original->IsValid()) {
    CImage* original = const_cast<CImage*>(under->original);
    DrawOnCanvas(canvas, [&](CDC* mem) { original->DrawFitCentred(mem, fitted); });
  }
  CPaintMode mode;
  mode.effect = static_cast<int>(design.m_beadEffect);
  mode.hexagon = IsHexagonFormat(design);
  mode.outline = outline;
  mode.brick = brick;
  mode.perBead = under && under->perBead;
  if (!PaintBeads(canvas, design, palette, fitted, mode, under ? under->progress : nullptr)) return false;
  *out = BitmapFromCanvas(dc, canvas);
  return *out != nullptr;
}

namespace {

// The pixels of RenderPatternToSize, painted on the canvas.
bool PaintToSize(CCanvas& canvas, const CPattern& design, const CColorSet& palette, SIZE size, COLORREF background,
                 const CGridSettings* grid) {
  const bool outside = background != static_cast<COLORREF>(-1);
  const RECT fitted = FitRectToSize(RECT{0, 0, size.cx, size.cy}, design.m_actualWidth, design.m_actualHeight);
  const uint32_t inside = PixelOf(outside ? background : GetViewBackground());
  for (LONG y = fitted.top; y < fitted.bottom; ++y)
    std::fill(canvas.Row(y) + fitted.left, canvas.Row(y) + fitted.right, inside);
  CPaintMode mode;
  mode.effect = static_cast<int>(design.m_beadEffect);
  mode.hexagon = IsHexagonFormat(design);
  mode.crosses = false;
  if (!PaintBeads(canvas, design, palette, fitted, mode, nullptr)) return false;
  if (grid) DrawOnCanvas(canvas, [&](CDC* mem) { DrawGridLines(mem, design, fitted, *grid); });
  return true;
}

bool SizeFits(const CPattern& design, SIZE size) {
  return design.HasBeads() && size.cx > 0 && size.cy > 0 && size.cx <= 32767 && size.cy <= 32767;
}

}  // namespace

bool RenderPatternToSize(CDC* dc, HBITMAP* out, const CPattern& design, const CColorSet& palette, SIZE size,
                         COLORREF background, const CGridSettings* grid) {
  if (!out || !SizeFits(design, size)) return false;
  const bool outside = background != static_cast<COLORREF>(-1);
  CCanvas canvas(size.cx, size.cy, outside ? PixelOf(background) : 0);
  if (!PaintToSize(canvas, design, palette, size, background, grid)) return false;
  *out = BitmapFromCanvas(dc, canvas);
  return *out != nullptr;
}

int ThumbnailFactor(SIZE size, int factor) {
  for (int k = factor; k >= 1; --k)
    if (static_cast<long long>(k) * size.cx <= 2048 && static_cast<long long>(k) * size.cy <= 2048) return k;
  return 1;
}

bool RenderPatternShrunk(CDC* dc, const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                         CBitmap* out, COLORREF background, const CGridSettings* grid) {
  try {
    if (!out || size.cx <= 0 || size.cy <= 0 || factor < 1) return false;
    HBITMAP large = nullptr;
    const SIZE big{size.cx * factor, size.cy * factor};
    if (!RenderPatternToSize(dc, &large, design, palette, big, background, grid)) return false;
    HBITMAP small = factor == 1 ? large : ScaleBitmap(large, size.cx, size.cy);
    if (small != large) DeleteObject(large);
    if (!small) return false;
    out->DeleteObject();
    out->Attach(small);
    return true;
  } catch (...) {
    return false;
  }
}

bool RenderPatternThumbnail(CDC* dc, const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                            CBitmap* out, COLORREF background, const CGridSettings* grid, int* usedFactor) {
  if (!out || size.cx <= 0 || size.cy <= 0) return false;
  const int k = ThumbnailFactor(size, factor);
  if (usedFactor) *usedFactor = k;
  return RenderPatternShrunk(dc, design, palette, size, k, out, background, grid);
}

std::unique_ptr<CImage> RenderPatternThumbnailImage(CDC* dc, const CPattern& design, const CColorSet& palette,
                                                    SIZE size, int factor, COLORREF background,
                                                    const CGridSettings* grid) {
  try {
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    // The bitmap's depth is the reference context's: a 1 x 1 bitmap tells it.
    const HDC screen = GetDC(nullptr);
    const HDC ref = dc && dc->GetSafeHdc() ? dc->GetSafeHdc() : screen;
    const HBITMAP probe = CreateCompatibleBitmap(ref, 1, 1);
    ReleaseDC(nullptr, screen);
    BITMAP bm{};
    const bool deep = probe && GetObject(probe, sizeof bm, &bm) && bm.bmBitsPixel == 32;
    if (probe) DeleteObject(probe);
    if (ThumbnailFactor(size, factor) != 1 || !deep) {
      CBitmap bitmap;
      if (!RenderPatternThumbnail(dc, design, palette, size, factor, &bitmap, background, grid) ||
          !bitmap.GetSafeHandle())
        return nullptr;
      auto image = std::make_unique<CImage>(bitmap);
      if (image->GetWidth() <= 0 || image->GetHeight() <= 0) return nullptr;
      return image;
    }
    // At factor 1 the beads are painted straight into the picture's block
    // (32-bit rows, the fourth byte 0, as a bitmap of them would give it);
    // the canvas's rows run top-down, the picture's bottom-up, so the rows
    // are turned over at the end.
    if (!SizeFits(design, size)) return nullptr;
    auto image = std::make_unique<CImage>();
    if (!image->Create(size.cx, size.cy, 32, -1) || !image->GetBits() || image->GetRowStride() != size.cx * 4)
      return nullptr;
    uint32_t* const block = reinterpret_cast<uint32_t*>(image->GetBits());
    const bool outside = background != static_cast<COLORREF>(-1);
    CCanvas canvas(block, size.cx, size.cy, outside ? PixelOf(background) : 0);
    if (!PaintToSize(canvas, design, palette, size, background, grid)) return nullptr;
    for (int top = 0, bottom = size.cy - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(canvas.Row(top), canvas.Row(top) + size.cx, canvas.Row(bottom));
    return image;
  } catch (...) {
    return nullptr;
  }
}

bool RenderPatternToImageView(CDC* dc, CImageView** out, IImageViewOwner* owner, CPattern& design,
                              const CColorSet& palette, IProgressHost* progress) {
  if (!out) return false;
  HBITMAP bitmap = nullptr;
  CRenderUnder under;
  under.progress = progress;
  if (!RenderPatternBitmap(dc, &bitmap, design, palette, false, false, &under)) return false;
  delete *out;
  *out = new CImageView(owner, bitmap, false);
  DeleteObject(bitmap);
  return true;
}

void DrawGridLines(CDC* dc, const CPattern& design, const RECT& fitted, const CGridSettings& grid) {
  if (!dc || !dc->GetSafeHdc() || grid.m_step < 1) return;
  const HDC hdc = dc->GetSafeHdc();
  const HPEN pen = CreatePen(PS_SOLID, grid.m_pdfWidth, grid.m_color);
  const HGDIOBJ old = SelectObject(hdc, pen);
  const int columns = static_cast<int>(design.GetColumnCount()), rows = static_cast<int>(design.GetRowCount());
  for (int c = grid.m_step; c < columns && c < design.GetBeadCount(); c += grid.m_step) {
    const RECT cell = design.GetBeadRect(design.m_beads[size_t(c)], fitted);
    MoveToEx(hdc, cell.left, fitted.top, nullptr);
    LineTo(hdc, cell.left, fitted.bottom);
  }
  for (int r = grid.m_step; r < rows; r += grid.m_step) {
    const size_t index = size_t(r) * columns;
    if (index >= design.m_beads.size()) break;
    const RECT cell = design.GetBeadRectTopDown(design.m_beads[index], fitted);
    MoveToEx(hdc, fitted.left, cell.top, nullptr);
    LineTo(hdc, fitted.right, cell.top);
  }
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void AreaAverage(const uint32_t* source, int sw, int sh, uint32_t* target, int tw, int th, int x0, int y0, int x1,
                 int y1) {
  AverageRegion([source, sw](int j) { return source + size_t(j) * sw; }, sw, sh, target, tw, th, x0, y0, x1, y1);
}

// ---- CPatternImageView ----

CPatternImageView::CPatternImageView(CPattern* design, CColorSet* palette, IImageViewOwner* owner, HBITMAP bitmap,
                                     bool fit)
    : CImageView(owner, bitmap, fit), m_design(design), m_palette(palette) {}

CPatternImageView::CPatternImageView(CPattern* design, CColorSet* palette, CScrollView* owner, HBITMAP bitmap, bool fit)
    : CImageView(owner, bitmap, fit), m_design(design), m_palette(palette) {}

CPatternImageView::~CPatternImageView() {
  DropReduced();
  if (m_full) DeleteObject(m_full);
}

void CPatternImageView::DropReduced() {
  if (m_reduced) DeleteObject(m_reduced);
  m_reduced = nullptr;
  m_reducedWidth = m_reducedHeight = 0;
  m_reducedPixels.clear();
}

namespace {

// Reads pixels of a picture's rows (bottom-up DIB rows, 24 or 32 bits).
struct CPictureRows {
  const BYTE* bits = nullptr;
  int stride = 0;
  int bytes = 0;
  int width = 0;
  int height = 0;
  explicit CPictureRows(const CImage& image) {
    bits = image.GetBits();
    stride = image.GetRowStride();
    bytes = image.GetBitsPerPixel() / 8;
    width = image.GetWidth();
    height = image.GetHeight();
    if (bytes != 3 && bytes != 4) bits = nullptr;
  }
  bool Ok() const { return bits != nullptr && width > 0 && height > 0; }
  // Row y from the top.
  BYTE* Row(int y) const { return const_cast<BYTE*>(bits) + size_t(height - 1 - y) * stride; }
  uint32_t Get(int x, int y) const {
    const BYTE* p = Row(y) + size_t(x) * bytes;
    return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
  }
  void Set(int x, int y, uint32_t v) const {
    BYTE* p = Row(y) + size_t(x) * bytes;
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
  }
};

}  // namespace

void CPatternImageView::ReadPixels(std::vector<uint32_t>& out) const {
  CPictureRows rows(*this);
  out.assign(rows.Ok() ? size_t(rows.width) * rows.height : 0, 0);
  if (!rows.Ok()) return;
  for (int y = 0; y < rows.height; ++y)
    for (int x = 0; x < rows.width; ++x) out[size_t(y) * rows.width + x] = rows.Get(x, y);
}

bool CPatternImageView::EnsureReduced(int width, int height) {
  if (m_reduced && std::abs(m_reducedWidth - width) <= 1 && std::abs(m_reducedHeight - height) <= 1) return true;
  DropReduced();
  if (width <= 0 || height <= 0) return false;
  CPictureRows rows(*this);
  if (!rows.Ok()) return false;
  m_reducedPixels.assign(size_t(width) * height, 0);
  std::vector<uint32_t> source;
  if (rows.bytes != 4) ReadPixels(source);
  // 32-bit rows are read in place: the averaging reads the low three bytes
  // of each pixel (blue, green, red), as ReadPixels would hand them over.
  const uint32_t* const copied = source.data();
  const auto rowOf = [&rows, copied](int j) {
    return copied ? copied + size_t(j) * rows.width : reinterpret_cast<const uint32_t*>(rows.Row(j));
  };
  AverageInBands(rowOf, rows.width, rows.height, m_reducedPixels.data(), width, height, 0, 0, width, height);
  const HDC screen = GetDC(nullptr);
  m_reduced = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  if (!m_reduced) return false;
  SetBitmapBits(m_reduced, static_cast<DWORD>(m_reducedPixels.size() * 4), m_reducedPixels.data());
  m_reducedWidth = width;
  m_reducedHeight = height;
  return true;
}

void CPatternImageView::UpdateReduced(const RECT& s) {
  if (!m_reduced) return;
  CPictureRows rows(*this);
  if (!rows.Ok()) return;
  const int sw = rows.width, sh = rows.height, tw = m_reducedWidth, th = m_reducedHeight;
  // Target pixels whose area meets the source rectangle.
  const int x0 = static_cast<int>(static_cast<long long>(std::max<LONG>(s.left, 0)) * tw / sw);
  const int y0 = static_cast<int>(static_cast<long long>(std::max<LONG>(s.top, 0)) * th / sh);
  const int x1 =
      std::min(tw, static_cast<int>((static_cast<long long>(std::min<LONG>(s.right, sw)) * tw + sw - 1) / sw));
  const int y1 =
      std::min(th, static_cast<int>((static_cast<long long>(std::min<LONG>(s.bottom, sh)) * th + sh - 1) / sh));
  if (x0 >= x1 || y0 >= y1) return;
  // The source block those target pixels cover.
  const int sx0 = static_cast<int>(static_cast<long long>(x0) * sw / tw);
  const int sy0 = static_cast<int>(static_cast<long long>(y0) * sh / th);
  const int sx1 = std::min(sw, static_cast<int>((static_cast<long long>(x1) * sw + tw - 1) / tw));
  const int sy1 = std::min(sh, static_cast<int>((static_cast<long long>(y1) * sh + th - 1) / th));
  if (rows.bytes == 4) {
    // 32-bit rows are read in place (the averaging takes the low three
    // bytes: blue, green, red).
    AverageInBands([&rows](int j) { return reinterpret_cast<const uint32_t*>(rows.Row(j)); }, sw, sh,
                   m_reducedPixels.data(), tw, th, x0, y0, x1, y1);
  } else {
    // The source rows of that block, full width.
    std::vector<uint32_t> block(size_t(sw) * (sy1 - sy0));
    for (int y = sy0; y < sy1; ++y)
      for (int x = sx0; x < sx1; ++x) block[size_t(y - sy0) * sw + x] = rows.Get(x, y);
    const uint32_t* base = block.data();
    AverageInBands([base, sw, sy0](int j) { return base + size_t(j - sy0) * sw; }, sw, sh, m_reducedPixels.data(), tw,
                   th, x0, y0, x1, y1);
  }
  // Hand the changed rows to the bitmap (bottom-up scan lines).
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = tw;
  info.bmiHeader.biHeight = th;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> lines(size_t(tw) * (y1 - y0));
  for (int y = y0; y < y1; ++y)
    std::memcpy(lines.data() + size_t(y1 - 1 - y) * tw, m_reducedPixels.data() + size_t(y) * tw, size_t(tw) * 4);
  const HDC screen = GetDC(nullptr);
  SetDIBits(screen, m_reduced, static_cast<UINT>(th - y1), static_cast<UINT>(y1 - y0), lines.data(), &info,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
}

bool CPatternImageView::EnsureFull() {
  if (m_full) return true;
  std::vector<uint32_t> pixels;
  ReadPixels(pixels);
  if (pixels.empty()) return false;
  const HDC screen = GetDC(nullptr);
  m_full = CreateCompatibleBitmap(screen, GetWidth(), GetHeight());
  ReleaseDC(nullptr, screen);
  if (!m_full) return false;
  SetBitmapBits(m_full, static_cast<DWORD>(pixels.size() * 4), pixels.data());
  return true;
}

void CPatternImageView::UpdateFull(const RECT& s) {
  if (!m_full) return;
  CPictureRows rows(*this);
  if (!rows.Ok()) return;
  const int y0 = std::max<int>(s.top, 0), y1 = std::min<int>(s.bottom, rows.height);
  if (y0 >= y1) return;
  const int w = rows.width;
  std::vector<uint32_t> lines(size_t(w) * (y1 - y0));
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < w; ++x) lines[size_t(y1 - 1 - y) * w + x] = rows.Get(x, y);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = rows.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const HDC screen = GetDC(nullptr);
  SetDIBits(screen, m_full, static_cast<UINT>(rows.height - y1), static_cast<UINT>(y1 - y0), lines.data(), &info,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
}

bool CPatternImageView::PaintDirect(CDC* ignored, bool release, CDC** dcOut) {
  IImageViewOwner* owner = GetOwner();
  if (!owner || IsFitToWindow() || GetZoom() != 100 || !EnsureFull()) return CImageView::PaintDirect(ignored, release, dcOut);
  if (dcOut) *dcOut = nullptr;
  const CPoint scroll = owner->GetOwnerScrollPosition();
  const CRect client = owner->GetOwnerClientRect();
  const int w = GetWidth(), h = GetHeight();
  const int x = client.Width() < w ? -scroll.x : (client.Width() - w) / 2;
  const int y = client.Height() < h ? -scroll.y : (client.Height() - h) / 2;
  owner->SetOwnerScrollSizes(MM_TEXT, CSize(w, h));
  CDC* dc = owner->GetOwnerDC();
  if (!dc) return false;
  // Only the part of the picture inside the window is copied.
  RECT part{std::max(x, 0), std::max(y, 0), std::min(x + w, static_cast<int>(client.Width())),
            std::min(y + h, static_cast<int>(client.Height()))};
  bool ok = true;
  if (part.right > part.left && part.bottom > part.top) {
    const HDC mem = CreateCompatibleDC(dc->GetSafeHdc());
    const HGDIOBJ old = SelectObject(mem, m_full);
    ok = BitBlt(dc->GetSafeHdc(), part.left, part.top, part.right - part.left, part.bottom - part.top, mem,
                part.left - x, part.top - y, SRCCOPY) != 0;
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  SetDrawnRect(CRect(x, y, x + w, y + h));
  OnAfterPaint(dc);
  if (release || !dcOut)
    owner->ReleaseOwnerDC(dc);
  else
    *dcOut = dc;
  return ok;
}

bool CPatternImageView::Paint(CDC* ignored, bool release, CDC** dcOut) {
  if (dcOut) *dcOut = nullptr;
  IImageViewOwner* owner = GetOwner();
  if (!owner || !IsValid()) return false;
  const int w = GetWidth(), h = GetHeight();
  const CSize target = GetPaintTarget(owner->GetOwnerClientRect());
  if (target.cx >= w && target.cy >= h) return PaintDirect(ignored, release, dcOut);
  if (target.cx <= 0 || target.cy <= 0) return false;
  const float factor = std::min(static_cast<float>(target.cx) / static_cast<float>(w),
                                static_cast<float>(target.cy) / static_cast<float>(h));
  const int newWidth = static_cast<int>(std::trunc(static_cast<float>(w) * factor));
  const int newHeight = static_cast<int>(std::trunc(static_cast<float>(h) * factor));
  if (!EnsureReduced(newWidth, newHeight)) return false;
  return PaintScaledBitmap(m_reduced, m_reducedWidth, m_reducedHeight, release, dcOut);
}

RECT CPatternImageView::GetBeadRectInView(const CBead& bead) const {
  return m_design ? m_design->GetBeadRect(bead, GetDrawnRect()) : RECT{0, 0, 0, 0};
}

bool CPatternImageView::GetMarkTick(int index, RECT& cell, COLORREF& color) const {
  if (!m_design || !m_palette || !m_design->IsValidIndex(index)) return false;
  const CBead& bead = m_design->m_beads[size_t(index)];
  if (!bead.IsPresent()) return false;
  const int ci = bead.GetColorIndex(*m_design);
  if (ci < 0 || ci >= m_palette->GetCount()) return false;
  cell = GetBeadRectInView(bead);
  color = GetTripleContrastColor(m_palette->GetItem(ci).GetRgb());
  return true;
}

void CPatternImageView::DrawMarkTick(CDC* dc, const RECT& cell, COLORREF color) {
  const HDC hdc = dc->GetSafeHdc();
  const HPEN pen = CreatePen(PS_SOLID, 1, color);
  const HGDIOBJ old = SelectObject(hdc, pen);
  MoveToEx(hdc, cell.left + 2, cell.top + 2, nullptr);
  LineTo(hdc, (cell.left + cell.right) / 2 - 1, cell.bottom - 2);
  LineTo(hdc, cell.right - 1, cell.top + 1);
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void CPatternImageView::DrawGrid(CDC* dc, int step, int width, COLORREF color) const {
  if (!m_design || step < 1 || !dc) return;
  const HDC hdc = dc->GetSafeHdc();
  const RECT drawn = GetDrawnRect();
  const HPEN pen = CreatePen(PS_SOLID, width, color);
  const HGDIOBJ old = SelectObject(hdc, pen);
  const int columns = static_cast<int>(m_design->GetColumnCount()), rows = static_cast<int>(m_design->GetRowCount());
  for (int c = step; c < columns && c < m_design->GetBeadCount(); c += step) {
    const RECT cell = GetBeadRectInView(m_design->m_beads[size_t(c)]);
    MoveToEx(hdc, cell.left, drawn.top, nullptr);
    LineTo(hdc, cell.left, drawn.bottom);
  }
  for (int r = step; r < rows; r += step) {
    const size_t index = size_t(r) * columns;
    if (index >= m_design->m_beads.size()) break;
    const RECT cell = m_design->GetBeadRectTopDown(m_design->m_beads[index], drawn);
    MoveToEx(hdc, drawn.left, cell.top, nullptr);
    LineTo(hdc, drawn.right, cell.top);
  }
  SelectObject(hdc, old);
  DeleteObject(pen);
}

void CPatternImageView::OnAfterPaint(CDC* dc) {
  if (!dc || !dc->GetSafeHdc() || !m_design) return;
  RECT clip{};
  const bool clipped = GetClipBox(dc->GetSafeHdc(), &clip) != ERROR;
  const HDC hdc = dc->GetSafeHdc();
  std::map<COLORREF, HPEN> pens;
  const HGDIOBJ oldPen = GetCurrentObject(hdc, OBJ_PEN);
  for (UINT index : m_design->m_markedBeads) {
    RECT cell;
    COLORREF color;
    if (!GetMarkTick(static_cast<int>(index), cell, color)) continue;
    RECT meet;
    if (clipped && !IntersectRect(&meet, &cell, &clip)) continue;
    HPEN& pen = pens[color];
    if (!pen) pen = CreatePen(PS_SOLID, 1, color);
    SelectObject(hdc, pen);
    MoveToEx(hdc, cell.left + 2, cell.top + 2, nullptr);
    LineTo(hdc, (cell.left + cell.right) / 2 - 1, cell.bottom - 2);
    LineTo(hdc, cell.right - 1, cell.top + 1);
  }
  SelectObject(hdc, oldPen);
  for (auto& [color, pen] : pens) DeleteObject(pen);
  const CGridSettings& grid = GetGridSettings();
  if (grid.m_showGrid) DrawGrid(dc, grid.m_step, grid.m_screenWidth, grid.m_color);
  if (m_afterPaint) m_afterPaint(dc);
}

void CPatternImageView::DrawMarkTickNow(int index) {
  RECT cell;
  COLORREF color;
  if (!GetOwner() || !GetMarkTick(index, cell, color)) return;
  CDC* dc = GetOwner()->GetOwnerDC();
  if (!dc) return;
  DrawMarkTick(dc, cell, color);
  GetOwner()->ReleaseOwnerDC(dc);
}

void CPatternImageView::RepaintBeads(const int* indexes, size_t count, bool removed, const CImage* original,
                                     RECT* changed) {
  if (changed) SetRectEmpty(changed);
  if (!m_design || !m_palette) return;
  CPictureRows rows(*this);
  if (!rows.Ok()) return;
  CCellPainter painter;
  const RECT view = m_design->GetViewRect();
  const int effect = static_cast<int>(m_design->m_beadEffect);
  const bool hexagon = IsHexagonFormat(*m_design), brick = IsBrickFormat(*m_design);
  const uint32_t background = PixelOf(GetViewBackground());
  RECT dirty{0, 0, 0, 0};
  std::vector<uint32_t> cellPixels;
  using CellKey = std::tuple<int, int, int, int>;
  std::map<CellKey, std::vector<uint32_t>> cache;
  CellKey lastKey{0, 0, 0, 0};
  const std::vector<uint32_t>* lastCached = nullptr;
  const CBeadRectMapper cells(*m_design, view, false);
  // Many beads: their cells through the table of x values.
  std::unique_ptr<CCellMemo> memo;
  if (count >= 4096) memo = std::make_unique<CCellMemo>(*m_design, view);
  RECT lastRow{0, 0, 0, 0};
  const int pathColor = m_design->m_pathColor;
  for (size_t k = 0; k < count; ++k) {
    const int index = indexes[k];
    if (!m_design->IsValidIndex(index)) continue;
    const CBead& bead = m_design->m_beads[size_t(index)];
    const RECT cell = memo ? memo->Get(bead, lastRow) : cells.Get(bead);
    const RECT clip{std::max<LONG>(cell.left, 0), std::max<LONG>(cell.top, 0), std::min<LONG>(cell.right, rows.width),
                    std::min<LONG>(cell.bottom, rows.height)};
    const int w = clip.right - clip.left, h = clip.bottom - clip.top;
    if (w <= 0 || h <= 0) continue;
    if (!removed && !bead.IsPresent()) continue;
    // Beads of one kind look alike: paint the first, copy the others
    // straight into the picture.
    const bool whole = !removed && clip.left == cell.left && clip.top == cell.top && clip.right == cell.right &&
                       clip.bottom == cell.bottom && !bead.IsSelected();
    const CellKey key{removed ? -1 : bead.GetColorIndex(pathColor), hexagon ? bead.m_alternate : 0, w, h};
    // Neighbours are mostly of one kind: the last cell found comes first.
    const std::vector<uint32_t>* cached = nullptr;
    if (whole && lastCached && key == lastKey) {
      cached = lastCached;
    } else if (whole) {
      const auto found = cache.find(key);
      if (found != cache.end()) {
        cached = &found->second;
        lastKey = key;
        lastCached = cached;
      }
    }
    if (cached) {
      const uint32_t* from = cached->data();
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) rows.Set(clip.left + x, clip.top + y, from[size_t(y) * w + x]);
      if (IsRectEmpty(&dirty)) dirty = clip;
      else UnionRect(&dirty, &dirty, &clip);
      continue;
    }
    cellPixels.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) cellPixels[size_t(y) * w + x] = rows.Get(clip.left + x, clip.top + y);
    const RECT moved{cell.left - clip.left, cell.top - clip.top, cell.right - clip.left, cell.bottom - clip.top};
    if (!removed) {
      painter.PaintCell(cellPixels.data(), w, w, h, [&](CDC* dc, const RECT&) {
        DrawBeadCell(bead, *m_design, effect, hexagon, moved, dc, *m_palette, false, brick);
      });
      if (whole) cache[key] = cellPixels;
    } else if (original && original->IsValid()) {
      RECT under = view;
      OffsetRect(&under, -clip.left, -clip.top);
      painter.PaintCell(cellPixels.data(), w, w, h,
                        [&](CDC* dc, const RECT&) { const_cast<CImage*>(original)->DrawFitCentred(dc, under); });
    } else {
      // The part of the cell inside the view rectangle takes the background.
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const int px = clip.left + x, py = clip.top + y;
          if (px >= view.left && px < view.right && py >= view.top && py < view.bottom)
            cellPixels[size_t(y) * w + x] = background;
        }
    }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) rows.Set(clip.left + x, clip.top + y, cellPixels[size_t(y) * w + x]);
    if (IsRectEmpty(&dirty)) dirty = clip;
    else UnionRect(&dirty, &dirty, &clip);
  }
  if (!IsRectEmpty(&dirty)) {
    UpdateReduced(dirty);
    UpdateFull(dirty);
    if (changed) *changed = PictureToWindow(dirty);
  }
}

RECT CPatternImageView::PictureToWindow(const RECT& part) const {
  const RECT drawn = GetDrawnRect();
  const int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0) return RECT{0, 0, 0, 0};
  const long long dw = drawn.right - drawn.left, dh = drawn.bottom - drawn.top;
  // Outwards by a pixel: every window pixel the part shows in is inside.
  return RECT{static_cast<LONG>(drawn.left + part.left * dw / w - 1), static_cast<LONG>(drawn.top + part.top * dh / h - 1),
              static_cast<LONG>(drawn.left + (part.right * dw + w - 1) / w + 1),
              static_cast<LONG>(drawn.top + (part.bottom * dh + h - 1) / h + 1)};
}
