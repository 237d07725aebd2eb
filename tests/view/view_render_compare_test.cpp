// The whole-design render and the bead rectangles, checked against the code
// they replaced, kept here as the reference: the bead rectangle worked out
// for every bead through RoundToInt, the picture sized from every bead's
// rectangle, and each bead painted with a map of painted kinds and no
// shortcuts. Pixels and view rectangles must be the same, bit for bit, on a
// table of formats, sizes, budgets, bead effects and bead states.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "core/TextUtils.h"
#include "tests/view/view_fixture.h"
#include "tests/view/view_test_util.h"
#include "view/BeadPainters.h"
#include "view/PatternRender.h"

using namespace viewtest;

namespace {

RECT OldBeadRect(const CPattern& p, const CBead& bead, const RECT& rect, bool topDown) {
  const double w = static_cast<double>(rect.right - rect.left);
  const double h = static_cast<double>(rect.bottom - rect.top);
  const double r = w * (p.m_beadWidth / p.m_actualWidth) / 2;
  const double cx = rect.left + bead.m_x * w;
  const double u = h * (p.m_beadHeight / p.m_actualHeight) / 2;
  const double cy = topDown ? rect.top + bead.m_y * h : rect.top + (1 - bead.m_y) * h;
  return RECT{RoundToInt(cx - r), RoundToInt(cy - u), RoundToInt(cx + r), RoundToInt(cy + u)};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// One cell painted on a small bitmap loaded with the pixels beneath.
template <class Paint>
void OldPaintCell(uint32_t* first, int stride, int w, int h, Paint&& paint) {
  const HDC screen = GetDC(nullptr);
  const HDC mem = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  ReleaseDC(nullptr, screen);
  std::vector<uint32_t> buffer(size_t(w) * h);
  for (int y = 0; y < h; ++y) std::memcpy(buffer.data() + size_t(y) * w, first + size_t(y) * stride, size_t(w) * 4);
  SetBitmapBits(bitmap, static_cast<DWORD>(buffer.size() * 4), buffer.data());
  const HGDIOBJ old = SelectObject(mem, bitmap);
  CDC wrap;
  wrap.m_hDC = wrap.m_hAttribDC = mem;
  paint(&wrap);
  wrap.m_hDC = wrap.m_hAttribDC = nullptr;
  SelectObject(mem, old);
  GetBitmapBits(bitmap, static_cast<LONG>(buffer.size() * 4), buffer.data());
  DeleteDC(mem);
  DeleteObject(bitmap);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) first[size_t(y) * stride + x] = buffer[size_t(y) * w + x] & 0xFFFFFF;
}

// The render as it was: size, view rectangle and pixels (top-down 0x00RRGGBB).
bool OldRender(CPattern& design, const CColorSet& palette, bool outline, bool brick, COLORREF background,
               long long budget, bool perBead, std::vector<uint32_t>& px, int& width, int& height) {
  const int columns = static_cast<int>(design.GetColumnCount()), rows = static_cast<int>(design.GetRowCount());
  int w = 0, h = 0;
  if (!FindGridForBeadCount(budget, columns, rows, w, h, design)) {
    const double s = std::sqrt(static_cast<double>(budget) / (design.m_actualWidth * design.m_actualHeight));
    w = static_cast<int>(std::min(std::trunc(design.m_actualWidth * s), 32767.0));
    h = static_cast<int>(std::min(std::trunc(design.m_actualHeight * s), 32767.0));
  }
  if (w > 16384 || h > 16384) {
    const double k = std::min(16384.0 / w, 16384.0 / h);
    w = static_cast<int>(w * k);
    h = static_cast<int>(h * k);
  }
  if (w <= 0 || h <= 0) return false;
  const RECT first = FitRectToSize(RECT{0, 0, w, h}, design.m_actualWidth, design.m_actualHeight);
  LONG right = 0, bottom = 0;
  for (const CBead& bead : design.m_beads) {
    const RECT cell = OldBeadRect(design, bead, first, false);
    right = std::max(right, cell.right);
    bottom = std::max(bottom, cell.bottom);
  }
  if (right <= 0 || bottom <= 0) return false;
  width = right;
  height = bottom;
  RECT fitted = FitRectToSize(RECT{0, 0, width, height}, design.m_actualWidth, design.m_actualHeight);
  OffsetRect(&fitted, -fitted.left, -fitted.top);
  design.SetViewRect(fitted);
  px.assign(size_t(width) * height,
            (uint32_t(GetRValue(background)) << 16) | (uint32_t(GetGValue(background)) << 8) | GetBValue(background));
  const int effect = static_cast<int>(design.m_beadEffect);
  const bool hexagon = IsHexagonFormat(design);
  std::map<std::tuple<int, int, int, int>, std::vector<uint32_t>> cache;
  for (const CBead& bead : design.m_beads) {
    if (!bead.IsPresent()) continue;
    const RECT cell = OldBeadRect(design, bead, fitted, false);
    const RECT clip{std::max<LONG>(cell.left, 0), std::max<LONG>(cell.top, 0), std::min<LONG>(cell.right, width),
                    std::min<LONG>(cell.bottom, height)};
    const int cw = clip.right - clip.left, ch = clip.bottom - clip.top;
    if (cw <= 0 || ch <= 0) continue;
    uint32_t* at = px.data() + size_t(clip.top) * width + clip.left;
    const auto paint = [&](CDC* dc) {
      const RECT moved{cell.left - clip.left, cell.top - clip.top, cell.right - clip.left, cell.bottom - clip.top};
      DrawBeadCell(bead, design, effect, hexagon, moved, dc, palette, outline, brick);
    };
    if (perBead || bead.IsSelected() || !SameRect(cell, clip)) {
      OldPaintCell(at, width, cw, ch, paint);
      continue;
    }
    const auto key = std::make_tuple(bead.GetColorIndex(design), hexagon ? bead.m_alternate : 0, cw, ch);
    const auto found = cache.find(key);
    if (found == cache.end()) {
      OldPaintCell(at, width, cw, ch, paint);
      std::vector<uint32_t>& stored = cache[key];
      for (int y = 0; y < ch; ++y) stored.insert(stored.end(), at + size_t(y) * width, at + size_t(y) * width + cw);
    } else {
      for (int y = 0; y < ch; ++y)
        std::memcpy(at + size_t(y) * width, found->second.data() + size_t(y) * cw, size_t(cw) * 4);
    }
  }
  return true;
}

struct CCase {
  int format;
  int columns, rows;
  int effect;
  float spacer;
  long long budget;
};

const CCase kCases[] = {
    {kFormatLoom, 9, 7, kBeadEffectRound, 0.0f, 90000},
    {kFormatLoom, 300, 200, kBeadEffectCylinder, 0.0f, 1920LL * 1080},  // cells of 1 or 2 pixels
    {kFormatLoom, 41, 23, kBeadEffectRoundRect, 0.25f, 250000},
    {kFormatPeyote, 37, 29, kBeadEffectRoundRect, 0.0f, 120000},
    {2, 40, 33, kBeadEffectCircle, 0.0f, 400000},  // 2-peyote
    {kFormatBrick, 31, 45, kBeadEffectCylinder, 0.0f, 200000},
    {kFormatBrick, 150, 120, kBeadEffectRound, 0.0f, 30000},  // cells under a pixel
    {kFormatHerringbone, 24, 18, kBeadEffectRound, 0.0f, 500000},
    {kFormatHerringbone, 24, 18, kBeadEffectCircle, 0.1f, 77777},
    {kFormatSacredBrick, 33, 21, kBeadEffectCylinder, 0.0f, 333333},
    {kFormatSacredPeyote, 28, 36, kBeadEffectRoundRect, 0.0f, 150000},
};

// Colours in patches, some beads absent, selected or of the path colour.
void Vary(CPattern& design, int colors) {
  const int columns = std::max(1, static_cast<int>(design.GetColumnCount()));
  for (int i = 0; i < design.GetBeadCount(); ++i) {
    CBead& bead = design.m_beads[size_t(i)];
    bead.SetColorIndex(((i % columns) / 3 + (i / columns) / 2) % colors);
    if (i % 13 == 4) bead.m_present = 0;
    if (i % 17 == 6) bead.SetSelected(true);
    if (i % 29 == 11) bead.SetPathColor();
  }
  design.m_pathColor = 2;
}

}  // namespace

TEST(RenderCompare, BeadRectanglesAsWorkedOutBeadByBead) {
  const RECT rects[] = {{0, 0, 1440, 1440}, {-37, 15, 803, 611}, {5, -9, 6, 3}, {0, 0, 0, 0}};
  for (const CCase& c : kCases) {
    CPattern design = MakeDesign(c.columns, c.rows, c.format, 0, c.spacer);
    for (const RECT& rect : rects) {
      const CBeadRectMapper down(design, rect, true), up(design, rect, false);
      for (const CBead& bead : design.m_beads) {
        ASSERT_TRUE(SameRect(design.GetBeadRect(bead, rect), OldBeadRect(design, bead, rect, false))) << c.format;
        ASSERT_TRUE(SameRect(design.GetBeadRectTopDown(bead, rect), OldBeadRect(design, bead, rect, true)));
        ASSERT_TRUE(SameRect(up.Get(bead), OldBeadRect(design, bead, rect, false)));
        ASSERT_TRUE(SameRect(down.Get(bead), OldBeadRect(design, bead, rect, true)));
      }
    }
  }
  // Halves, values past the int range and NaN round as RoundToInt does.
  CPattern design = MakeDesign(4, 4);
  CBead odd(0.5, 0.25);
  for (const RECT& rect : {RECT{0, 0, 3, 5}, RECT{-3, -5, 0, 0}, RECT{-1000000000, 0, 1000000000, 7}}) {
    const CBeadRectMapper mapper(design, rect, false);
    EXPECT_TRUE(SameRect(mapper.Get(odd), OldBeadRect(design, odd, rect, false)));
  }
  odd.m_x = std::nan("");
  odd.m_y = 1e300;
  const RECT rect{0, 0, 100, 100};
  EXPECT_TRUE(SameRect(CBeadRectMapper(design, rect, false).Get(odd), OldBeadRect(design, odd, rect, false)));
}

TEST(RenderCompare, WholeDesignPixelsAsPaintedBeadByBead) {
  const CColorSet palette = MakePalette({RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200), RGB(240, 240, 10),
                                         RGB(0, 0, 0), RGB(255, 255, 255)});
  for (const CCase& c : kCases) {
    for (int variant = 0; variant < 3; ++variant) {
      CPattern design = MakeDesign(c.columns, c.rows, c.format, 0, c.spacer);
      design.m_beadEffect = static_cast<DWORD>(c.effect);
      Vary(design, variant == 2 ? 2 : 6);
      const bool outline = variant == 1, brick = variant == 1 || IsBrickFormat(design), perBead = variant == 2;
      std::vector<uint32_t> before;
      int w0 = 0, h0 = 0;
      ASSERT_TRUE(OldRender(design, palette, outline, brick, RGB(9, 8, 7), c.budget, perBead, before, w0, h0));
      const RECT oldView = design.GetViewRect();
      CRenderUnder under;
      under.background = RGB(9, 8, 7);
      under.budget = c.budget;
      under.perBead = perBead;
      HBITMAP bitmap = nullptr;
      design.SetViewRect(RECT{0, 0, 0, 0});
      ASSERT_TRUE(RenderPatternBitmap(nullptr, &bitmap, design, palette, outline, brick, &under));
      int w1 = 0, h1 = 0;
      const std::vector<uint32_t> after = PixelsOf(bitmap, w1, h1);
      DeleteObject(bitmap);
      SCOPED_TRACE(testing::Message() << "format " << c.format << " " << c.columns << " x " << c.rows << " effect "
                                      << c.effect << " variant " << variant);
      ASSERT_EQ(w0, w1);
      ASSERT_EQ(h0, h1);
      EXPECT_TRUE(SameRect(oldView, design.GetViewRect()));
      EXPECT_TRUE(before == after);
    }
  }
}

namespace {
// The picture of the design view, top-down 0x00RRGGBB.
std::vector<uint32_t> PictureOf(const CImage& image) {
  const int w = image.GetWidth(), h = image.GetHeight(), bytes = image.GetBitsPerPixel() / 8;
  std::vector<uint32_t> px(size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const BYTE* row = image.GetBits() + size_t(h - 1 - y) * image.GetRowStride();
    for (int x = 0; x < w; ++x) {
      const BYTE* p = row + size_t(x) * bytes;
      px[size_t(y) * w + x] = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
  }
  return px;
}
}  // namespace

// A fill over most of a large design repaints its beads through the table of
// x values: the picture equals the same beads repainted in small batches (a
// cell at a time from the rectangle), and the fitted view's reduced copy,
// averaged in bands from the picture in place, equals the whole picture
// averaged at once.
TEST_F(ViewTest, LargeRepaintsAndTheReducedCopyAsBefore) {
  for (int format : {kFormatLoom, kFormatPeyote, kFormatBrick, kFormatSacredPeyote}) {
    CPattern design = MakeDesign(320, 260, format, 0);
    for (int i = 0; i < design.GetBeadCount(); ++i) design.m_beads[size_t(i)].SetColorIndex(i % 97 == 3 ? 1 : 0);
    design.m_beads[5].SetColorIndex(0);
    PutDesign(design);
    CPatternImageView* picture = view->GetPatternView();
    ASSERT_NE(picture, nullptr);
    SCOPED_TRACE(testing::Message() << "format " << format);
    ASSERT_TRUE(view->FillArea(0, 2));
    view->UpdateWindow();
    const std::vector<uint32_t> filled = PictureOf(*picture);
    // The same beads, changed back and repainted a thousand at a time.
    std::vector<int> changed;
    CPattern& beads = *view->GetPattern();
    for (int i = 0; i < beads.GetBeadCount(); ++i)
      if (beads.m_beads[size_t(i)].GetColorIndex(beads) == 2) changed.push_back(i);
    ASSERT_GT(changed.size(), 4096u);
    for (int i : changed) beads.m_beads[size_t(i)].SetColorIndex(0);
    picture->RepaintBeads(changed, false, nullptr, nullptr);
    for (int i : changed) beads.m_beads[size_t(i)].SetColorIndex(2);
    for (size_t k = 0; k < changed.size(); k += 1000)
      picture->RepaintBeads(changed.data() + k, std::min<size_t>(1000, changed.size() - k), false, nullptr, nullptr);
    EXPECT_TRUE(PictureOf(*picture) == filled);
    // The reduced copy.
    const SIZE reduced = picture->GetReducedSize();
    ASSERT_GT(reduced.cx, 0);
    ASSERT_LT(reduced.cx, picture->GetWidth());
    int rw = 0, rh = 0;
    const std::vector<uint32_t> shown = PixelsOf(picture->GetReducedBitmap(), rw, rh);
    ASSERT_EQ(rw, reduced.cx);
    ASSERT_EQ(rh, reduced.cy);
    std::vector<uint32_t> whole(size_t(rw) * rh);
    AreaAverage(filled.data(), picture->GetWidth(), picture->GetHeight(), whole.data(), rw, rh, 0, 0, rw, rh);
    EXPECT_TRUE(shown == whole);
  }
}

namespace {
// Area averaging as it was: every weight worked out for every target pixel.
void OldAreaAverage(const uint32_t* source, int sw, int sh, uint32_t* target, int tw, int th) {
  const long long total = static_cast<long long>(sw) * sh;
  for (int Y = 0; Y < th; ++Y) {
    const long long ty0 = static_cast<long long>(Y) * sh, ty1 = ty0 + sh;
    const int j0 = static_cast<int>(ty0 / th), j1 = static_cast<int>(std::min<long long>((ty1 + th - 1) / th, sh));
    for (int X = 0; X < tw; ++X) {
      const long long tx0 = static_cast<long long>(X) * sw, tx1 = tx0 + sw;
      const int i0 = static_cast<int>(tx0 / tw), i1 = static_cast<int>(std::min<long long>((tx1 + tw - 1) / tw, sw));
      long long r = 0, g = 0, b = 0;
      for (int j = j0; j < j1; ++j) {
        const long long wy =
            std::min(ty1, static_cast<long long>(j + 1) * th) - std::max(ty0, static_cast<long long>(j) * th);
        if (wy <= 0) continue;
        for (int i = i0; i < i1; ++i) {
          const long long wx =
              std::min(tx1, static_cast<long long>(i + 1) * tw) - std::max(tx0, static_cast<long long>(i) * tw);
          if (wx <= 0) continue;
          const uint32_t p = source[size_t(j) * sw + i];
          r += wx * wy * ((p >> 16) & 0xFF);
          g += wx * wy * ((p >> 8) & 0xFF);
          b += wx * wy * (p & 0xFF);
        }
      }
      const auto avg = [total](long long v) { return static_cast<uint32_t>((v + total / 2) / total); };
      target[size_t(Y) * tw + X] = (avg(r) << 16) | (avg(g) << 8) | avg(b);
    }
  }
}
}  // namespace

TEST(RenderCompare, AreaAverageAsWorkedOutPixelByPixel) {
  const int sizes[][4] = {{7, 5, 7, 5}, {7, 5, 3, 2}, {640, 480, 333, 251}, {1001, 97, 1000, 96}, {50, 800, 1, 1},
                          {129, 130, 64, 65}};
  for (const auto& s : sizes) {
    std::vector<uint32_t> source(size_t(s[0]) * s[1]);
    uint32_t seed = 12345;
    for (uint32_t& p : source) p = (seed = seed * 1103515245u + 12345u) >> 4;  // the top byte as in 32-bit rows
    std::vector<uint32_t> before(size_t(s[2]) * s[3]), after(before.size(), 7);
    OldAreaAverage(source.data(), s[0], s[1], before.data(), s[2], s[3]);
    AreaAverage(source.data(), s[0], s[1], after.data(), s[2], s[3], 0, 0, s[2], s[3]);
    EXPECT_TRUE(before == after) << s[0] << " x " << s[1] << " to " << s[2] << " x " << s[3];
  }
}

// Fills one after the other on designs of changing sizes (the fill keeps its
// blocks between fills) change exactly the beads a plain flood over the
// grid reaches.
TEST_F(ViewTest, FillsInKeptBlocksReachWhatAPlainFloodReaches) {
  struct Size {
    int columns, rows;
  };
  for (const Size& size : {Size{60, 40}, Size{9, 7}, Size{75, 50}, Size{1, 30}, Size{30, 1}}) {
    CPattern design = MakeDesign(size.columns, size.rows);
    for (int i = 0; i < design.GetBeadCount(); ++i) {
      design.m_beads[size_t(i)].SetColorIndex((i * 7 / 5 + i / size.columns) % 3 == 0 ? 1 : 0);
      if (i % 23 == 9) design.m_beads[size_t(i)].m_present = 0;
    }
    PutDesign(design);
    for (int start : {0, design.GetBeadCount() / 2, design.GetBeadCount() - 1}) {
      CPattern& beads = *view->GetPattern();
      const std::vector<CBead> before(beads.m_beads.begin(), beads.m_beads.end());
      const CBead& first = beads.m_beads[size_t(start)];
      const int old = first.GetColorIndex(beads), color = (old + 1) % 3;
      // The plain flood.
      std::vector<int> expected(before.size(), 0);
      if (first.IsPresent()) {
        std::vector<int> stack{start};
        expected[size_t(start)] = 1;
        while (!stack.empty()) {
          const int i = stack.back();
          stack.pop_back();
          const int c = i % size.columns, r = i / size.columns;
          const int next[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
          for (const auto& n : next) {
            if (n[0] < 0 || n[0] >= size.columns || n[1] < 0 || n[1] >= size.rows) continue;
            const int j = n[1] * size.columns + n[0];
            if (expected[size_t(j)] || !before[size_t(j)].IsPresent() || before[size_t(j)].GetColorIndex(beads) != old)
              continue;
            expected[size_t(j)] = 1;
            stack.push_back(j);
          }
        }
      }
      const size_t stepsBefore = view->GetEditHistory().size();
      EXPECT_EQ(view->FillArea(start, color), first.IsPresent());
      for (size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(beads.m_beads[i].GetColorIndex(beads), expected[i] ? color : before[i].GetColorIndex(beads))
            << size.columns << " x " << size.rows << " from " << start << " bead " << i;
      if (first.IsPresent()) {
        // One step: the filled beads in storage order, in runs that change
        // alike; Undo gives back the design before, Redo the filled one.
        ASSERT_EQ(view->GetEditHistory().size(), stepsBefore + 1);
        const CEditStep& step = view->GetEditHistory().back();
        std::vector<int> filled;
        for (size_t i = 0; i < before.size(); ++i)
          if (expected[i]) filled.push_back(static_cast<int>(i));
        ASSERT_EQ(ListFromEdits(step), filled) << size.columns << " x " << size.rows << " from " << start;
        for (const CBeadEdit& e : step) {
          EXPECT_EQ(e.oldColor, old);
          EXPECT_EQ(e.newColor, color);
          EXPECT_EQ(e.oldPresent + e.newPresent, 2);
        }
        const std::vector<CBead> after(beads.m_beads.begin(), beads.m_beads.end());
        view->Undo();
        ASSERT_TRUE(std::vector<CBead>(beads.m_beads.begin(), beads.m_beads.end()) == before);
        view->Redo();
        ASSERT_TRUE(std::vector<CBead>(beads.m_beads.begin(), beads.m_beads.end()) == after);
      }
    }
  }
}
