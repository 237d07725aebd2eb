// The design as a picture: fitted on one page, tiled at actual size, and
// the collage that grows row by row. The pictures come from the caller's
// renderer (the design view's) or from the plain one of this file.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <system_error>
#include <thread>
#include <vector>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/TextUtils.h"
#include "design/Pattern.h"
#include "image/Image.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"
#include "settings/GridSettings.h"

namespace {

// A 24-bit picture drawn through its rows, top-down coordinates.
class CPixelCanvas {
 public:
  explicit CPixelCanvas(CImage& image)
      : bits_(image.GetBits()), stride_(image.GetRowStride()), width_(image.GetWidth()), height_(image.GetHeight()) {}
  bool Ok() const { return bits_ && stride_ > 0; }
  void Fill(int left, int top, int right, int bottom, COLORREF color) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, width_), bottom = std::min(bottom, height_);
    if (left >= right || top >= bottom) return;
    const BYTE r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    for (int t = top; t < bottom; ++t) {
      // Rows are stored from the bottom.
      BYTE* p = bits_ + static_cast<std::ptrdiff_t>(height_ - 1 - t) * stride_ + 3 * left;
      for (int x = left; x < right; ++x, p += 3) p[0] = b, p[1] = g, p[2] = r;
    }
  }

 private:
  BYTE* bits_;
  int stride_, width_, height_;
};

// The largest rectangle of the design's proportions centred in (0, 0, w, h).
RECT FitDesignRect(const CPattern& design, int w, int h) {
  double aw = 0, ah = 0;
  design.GetActualSize(aw, ah);
  if (!(aw > 0) || !(ah > 0)) return RECT{0, 0, w, h};
  const double scale = std::min(w / aw, h / ah);
  const int fw = std::clamp(static_cast<int>(std::lround(aw * scale)), 1, w);
  const int fh = std::clamp(static_cast<int>(std::lround(ah * scale)), 1, h);
  const int left = (w - fw) / 2, top = (h - fh) / 2;
  return RECT{left, top, left + fw, top + fh};
}

// The largest size of the proportions w0 : h0 inside w x h (at least 1 x 1).
SIZE FitProportions(double w0, double h0, int w, int h) {
  if (!(w0 > 0) || !(h0 > 0)) return SIZE{std::max(w, 1), std::max(h, 1)};
  const double scale = std::min(w / w0, h / h0);
  return SIZE{std::max(1, static_cast<int>(w0 * scale)), std::max(1, static_cast<int>(h0 * scale))};
}

}  // namespace

std::unique_ptr<CImage> RenderPatternPlain(const CPattern& design, const CColorSet& palette, SIZE size,
                                           COLORREF background, const CGridSettings* grid) {
  if (!design.HasBeads() || size.cx <= 0 || size.cy <= 0) return nullptr;
  if (static_cast<long long>(size.cx) * size.cy > 400LL * 1000 * 1000) return nullptr;
  bool ok = false;
  auto image = std::make_unique<CImage>(static_cast<int>(size.cx), static_cast<int>(size.cy), ok, background);
  if (!ok || image->GetBitsPerPixel() != 24) return nullptr;
  CPixelCanvas canvas(*image);
  if (!canvas.Ok()) return nullptr;
  const RECT f = FitDesignRect(design, size.cx, size.cy);
  const int pathColor = design.m_pathColor;
  for (const CBead& bead : design.m_beads) {
    if (!bead.IsPresent()) continue;
    const CPaletteColor* color = palette.GetColor(bead.GetColorIndex(pathColor));
    const COLORREF c = color ? color->GetColorref() : bead.m_cachedColor;
    RECT r = design.GetBeadRect(bead, f);
    const int cw = r.right - r.left, ch = r.bottom - r.top;
    // A gap of the background between beads, and cut corners, once the
    // cells are large enough to show them.
    if (cw >= 6) r.right -= 1;
    if (ch >= 6) r.bottom -= 1;
    if (cw >= 8 && ch >= 8) {
      canvas.Fill(r.left + 1, r.top, r.right - 1, r.top + 1, c);
      canvas.Fill(r.left, r.top + 1, r.right, r.bottom - 1, c);
      canvas.Fill(r.left + 1, r.bottom - 1, r.right - 1, r.bottom, c);
    } else {
      canvas.Fill(r.left, r.top, r.right, r.bottom, c);
    }
  }
  if (grid && grid->m_step > 0) {
    const int columns = static_cast<int>(design.GetColumnCount()), rows = static_cast<int>(design.GetRowCount());
    const int line = std::max(grid->m_pdfWidth, 1);
    if (static_cast<long long>(columns) * rows <= design.GetBeadCount()) {
      for (int c = grid->m_step; c < columns; c += grid->m_step) {
        const RECT r = design.GetBeadRect(design.m_beads[static_cast<size_t>(c)], f);
        canvas.Fill(r.left - line / 2, f.top, r.left - line / 2 + line, f.bottom, grid->m_color);
      }
      for (int row = grid->m_step; row < rows; row += grid->m_step) {
        // Storage row `row` counts from the bottom: its bead's lower edge.
        const RECT r = design.GetBeadRect(design.m_beads[static_cast<size_t>(row) * columns], f);
        canvas.Fill(f.left, r.bottom - line / 2, f.right, r.bottom - line / 2 + line, grid->m_color);
      }
    }
  }
  return image;
}

namespace {

// The design drawn at the size: the caller's renderer at the factors 6, 4
// and 2, else the plain one.
std::unique_ptr<CImage> RenderDesign(const PdfPatternRenderer& renderer, const CPattern& design,
                                     const CColorSet& palette, SIZE size, COLORREF background) {
  CGridSettings& settings = GetGridSettings();
  const CGridSettings* grid = settings.m_showGrid ? &settings : nullptr;
  try {
    if (renderer) {
      for (int factor : {6, 4, 2})
        if (auto image = renderer(design, palette, size, factor, background, grid)) return image;
      return nullptr;
    }
    return RenderPatternPlain(design, palette, size, background, grid);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

bool CPdfExportNew::RenderPreviewFile(const CPattern& design, const CString& path, SIZE size) {
  auto image = RenderDesign(m_inputs.renderer, design, m_palette, size, m_settings->m_pageBackground);
  return image && image->SaveFile(path);
}

struct CPdfExportNew::CPictureBox {
  bool turned = false;
  double x = 0, y = 0;  // the box's lower-left corner on the page
  int w = 0, h = 0;     // the box in points
  SIZE size{0, 0};      // the picture in pixels
};

bool CPdfExportNew::GetPictureBox(const CPattern& design, const CPdfTextStyle& style, CPictureBox& box) {
  const bool turned = style.m_orientation != 0;
  const double pw = PageWidth(), ph = PageHeight();
  // The box on the page between the bands; a turned page keeps its head on
  // the left edge and its foot on the right edge of the upright page.
  double x, y;
  int w, h;
  if (!turned) {
    x = LeftMargin(), y = BottomOffset();
    w = static_cast<int>(pw - LeftMargin() - RightMargin());
    h = static_cast<int>(ph - TopOffset() - BottomOffset());
  } else {
    // The turned picture keeps clear of the head and the foot along the
    // page's edges: the box loses 5 x the version-ID size each way,
    // centred in the free area.
    const int inset = static_cast<int>(5 * m_settings->m_versionStyle.m_size);
    x = TopOffset() + inset / 2.0, y = LeftMargin() + inset / 2.0;
    w = static_cast<int>(pw - TopOffset() - BottomOffset()) - inset;
    h = static_cast<int>(ph - LeftMargin() - RightMargin()) - inset;
  }
  if (w <= 0 || h <= 0) return false;
  // The picture's own width runs along the page's height when turned.
  const int pictureW = 4 * (turned ? h : w), pictureH = 4 * (turned ? w : h);
  SIZE size;
  if (m_inputs.fitPicture) {
    const RECT fit = m_inputs.fitPicture(RECT{0, 0, pictureW, pictureH});
    size = SIZE{std::max<LONG>(fit.right - fit.left, 1), std::max<LONG>(fit.bottom - fit.top, 1)};
  } else {
    double aw = 0, ah = 0;
    design.GetActualSize(aw, ah);
    size = FitProportions(aw, ah, pictureW, pictureH);
  }
  box.turned = turned;
  box.x = x, box.y = y, box.w = w, box.h = h;
  box.size = size;
  return true;
}

int CPdfExportNew::LoadDesignPicture(const CPattern& design, const CPictureBox& box) {
  CString file;
  MakeTempFileName(".jpg", file);
  if (!RenderPreviewFile(design, file, box.size)) {
    RemoveFile(file);
    CString text;
    text.Format(LoadResString(IDS_PDF_SAVE_PREVIEW_FAILED), static_cast<int>(box.size.cx),
                static_cast<int>(box.size.cy));
    Fail(PdfExportError::PictureNotSaved, text);
    return -1;
  }
  return LoadTemporaryImage(file);
}

void CPdfExportNew::PlacePicture(int image, const CPictureBox& box) {
  if (!box.turned)
    m_pdf.fit_image(image, box.x, box.y,
                    PdfFormat("boxsize={%d %d} position={center} fitmethod=meet", box.w, box.h).str());
  else
    m_pdf.fit_image(image, box.x, box.y,
                    PdfFormat("boxsize={%d %d} position={center} fitmethod=meet orientate=west", box.w, box.h).str());
}

void CPdfExportNew::WriteFittedPage(int image, const CPictureBox& box, const CString& title) {
  BeginPage(false);
  PlacePicture(image, box);
  const int kind = box.turned ? kPageTurned : kPageUpright;
  DrawPageHead(title, true, kind);
  EndPage(kind);
}

bool CPdfExportNew::WritePreviewFitToPage(const CPattern& design, const CString& title, const CPdfTextStyle& style) {
  CPictureBox box;
  if (!GetPictureBox(design, style, box)) return false;
  const int image = LoadDesignPicture(design, box);
  if (image == -1) return false;
  WriteFittedPage(image, box, title);
  return true;
}

namespace {

// A tile of the picture at actual size as a temporary JPEG file.
struct CTileFile {
  enum State { kNoRect, kNotCropped, kNotSaved, kSaved };
  CFractionRect rect;
  CString file;
  State state = kNoRect;
};

// Crops and saves the tiles that have a rectangle, on several cores at
// once (the JPEG encoding is most of a tile's time); each tile's state
// tells how far it got.
void SaveTiles(const CImage& picture, std::vector<CTileFile>& tiles) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < tiles.size(); i = next++) {
      CTileFile& t = tiles[i];
      if (t.state == CTileFile::kNoRect) continue;
      std::unique_ptr<CImage> tile = picture.CropByFractions(t.rect);
      if (!tile) t.state = CTileFile::kNotCropped;
      else if (!tile->SaveFile(t.file)) t.state = CTileFile::kNotSaved;
      else t.state = CTileFile::kSaved;
    }
  };
  const size_t helpers = std::min<size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u) - 1, tiles.size());
  std::vector<std::thread> threads;
  for (size_t k = 0; k < helpers; ++k) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads: the others and this one do the rest
    }
  }
  work();
  for (std::thread& t : threads) t.join();
}

}  // namespace

bool CPdfExportNew::WritePreviewActualSize(const CPattern& design, const CPdfTextStyle& style) {
  const bool turned = style.m_orientation != 0;
  const double pw = PageWidth(), ph = PageHeight();
  const double availW = pw - LeftMargin() - RightMargin();
  const double availH = ph - 2.0 * (BottomOffset() + TopOffset());
  double aw = 0, ah = 0;
  design.GetActualSize(aw, ah);
  // The tiles cut the picture as it stands; on a turned page the picture's
  // width runs along the page's height.
  const CTileGrid grid(aw * 72, ah * 72, turned ? availH : availW, turned ? availW : availH);
  const SIZE size{RoundToInt(aw * 100), RoundToInt(ah * 100)};
  auto picture = RenderDesign(m_inputs.renderer, design, m_palette, size, m_settings->m_pageBackground);
  if (!picture) {
    CString text;
    text.Format(LoadResString(IDS_PDF_SAVE_PREVIEW_FAILED), static_cast<int>(size.cx), static_cast<int>(size.cy));
    return Fail(PdfExportError::PictureNotSaved, text);
  }
  const int across = grid.GetTilesAcross(), down = grid.GetTilesDown();
  CStatusProgress progress(m_inputs.progress, down, IDS_PDF_ACTUAL_PREVIEW);
  std::vector<CTileFile> tiles(static_cast<size_t>(across) * static_cast<size_t>(std::max(down, 0)));
  for (int r = 0; r < down; ++r)
    for (int c = 0; c < across; ++c) {
      CTileFile& t = tiles[static_cast<size_t>(r) * across + c];
      MakeTempFileName(".jpg", t.file);
      if (grid.GetTileRect(c, r, t.rect)) t.state = CTileFile::kNotCropped;
    }
  SaveTiles(*picture, tiles);
  picture.reset();
  // The files a failure leaves (those already loaded are gone).
  struct CRemoveTiles {
    std::vector<CTileFile>& tiles;
    ~CRemoveTiles() {
      for (const CTileFile& t : tiles)
        if (t.state == CTileFile::kSaved) RemoveFile(t.file);
    }
  } removeLeft{tiles};
  // The pages in order; the first tile that failed stops them.
  for (int r = 0; r < down; ++r) {
    progress.SetPos(r);
    for (int c = 0; c < across; ++c) {
      CTileFile& t = tiles[static_cast<size_t>(r) * across + c];
      const CFractionRect& fr = t.rect;
      switch (t.state) {
        case CTileFile::kNoRect:
          return Fail(PdfExportError::TileRect, PdfFormat("Fail to get subimage rect( col %d, row %d)", c, r));
        case CTileFile::kNotCropped:
          return Fail(PdfExportError::TileCrop, PdfFormat("Fail to create subimage( col %d, row %d)", c, r));
        case CTileFile::kNotSaved:
          RemoveFile(t.file);
          return Fail(PdfExportError::TileSave, PdfFormat("Fail to save subimage( col %d, row %d)", c, r));
        case CTileFile::kSaved: break;
      }
      t.state = CTileFile::kNoRect;  // LoadTemporaryImage removes the file
      const int image = LoadTemporaryImage(t.file);
      if (image == -1) return Fail(PdfExportError::TileLoad, PdfFormat("Fail load subimage( col %d, row %d)", c, r));
      BeginPage(false);
      const int tw = RoundToInt(fr.width * aw * 72), th = RoundToInt(fr.height * ah * 72);
      const int bw = turned ? th : tw, bh = turned ? tw : th;
      CString options = PdfFormat("boxsize={%d %d} position={center}", bw, bh);
      if (turned) options += " orientate=west";
      m_pdf.fit_image(image, static_cast<int>((pw - bw) / 2), static_cast<int>((ph - bh) / 2), options.str());
      CString title;
      title.Format(LoadResString(IDS_PDF_TILE_TITLE), c + 1, r + 1);
      const int kind = turned ? kPageTurned : kPageUpright;
      DrawPageHead(title, true, kind);
      EndPage(kind);
    }
  }
  return true;
}

namespace {

// Where the first rows of a design lie in its fitted picture: for every
// pixel column the span [top, bottom) (pixels from the picture's top) that
// the beads of the rows added so far cover. A pixel column no bead covers
// looks alike in every picture of the design, so it takes its neighbour's
// span and the outline stays one polygon.
class CRowsOutline {
 public:
  // The bead rectangles are those of the renderer: the design fitted in
  // the picture drawn `factor` times larger (plain: in the picture itself).
  CRowsOutline(const CPattern& design, SIZE size, int factor, bool plain)
      : design_(design), width_(static_cast<int>(size.cx)), factor_(std::max(factor, 1)),
        top_(static_cast<size_t>(width_), kEmptyTop), bottom_(static_cast<size_t>(width_), kEmptyBottom) {
    if (plain) {
      fitted_ = FitDesignRect(design, static_cast<int>(size.cx), static_cast<int>(size.cy));
      factor_ = 1;
    } else {
      fitted_ = FitLikeRenderer(design, static_cast<int>(size.cx) * factor_, static_cast<int>(size.cy) * factor_);
    }
  }

  // Adds the beads of one row (present or not). False when one of them
  // reaches into the rows already added by more than a pixel: the outline
  // then cannot tell the rows apart.
  bool AddRow(int row, int columns) {
    // Beads of one row may share a pixel column; each is checked against
    // the rows before it only, then the row is added.
    for (int pass = 0; pass < 2; ++pass)
      for (int column = 0; column < columns; ++column) {
        const CBead* bead = design_.GetBeadAt(column, row);
        if (!bead) continue;
        const RECT r = design_.GetBeadRect(*bead, fitted_);
        const int left = std::max(Down(r.left), 0), right = std::min(Up(r.right), width_);
        const double top = static_cast<double>(r.top) / factor_, bottom = static_cast<double>(r.bottom) / factor_;
        for (int x = left; x < right; ++x) {
          if (pass == 0) {
            if (std::min(bottom, bottom_[size_t(x)]) - std::max(top, top_[size_t(x)]) > 1.0) return false;
          } else {
            top_[size_t(x)] = std::min(top_[size_t(x)], top);
            bottom_[size_t(x)] = std::max(bottom_[size_t(x)], bottom);
          }
        }
      }
    return true;
  }

  // The outline as one closed path of picture points (x right, y down);
  // empty when no column is covered yet.
  void GetPolygon(std::vector<std::pair<double, double>>& out) const {
    out.clear();
    std::vector<double> top(top_), bottom(bottom_);
    int first = -1;
    for (int x = 0; x < width_; ++x)
      if (top[size_t(x)] < bottom[size_t(x)]) {
        if (first < 0) first = x;
      } else if (first >= 0) {
        top[size_t(x)] = top[size_t(x) - 1], bottom[size_t(x)] = bottom[size_t(x) - 1];
      }
    if (first < 0) return;
    for (int x = first - 1; x >= 0; --x) top[size_t(x)] = top[size_t(first)], bottom[size_t(x)] = bottom[size_t(first)];
    // Along the tops left to right, then the bottoms right to left; one
    // point at each end of a run of the same height.
    for (int x = 0; x < width_; ++x)
      if (x == 0 || top[size_t(x)] != top[size_t(x) - 1]) {
        if (x > 0) out.emplace_back(x, top[size_t(x) - 1]);
        out.emplace_back(x, top[size_t(x)]);
      }
    out.emplace_back(width_, top[size_t(width_) - 1]);
    for (int x = width_; x-- > 0;)
      if (x == width_ - 1 || bottom[size_t(x)] != bottom[size_t(x) + 1]) {
        if (x < width_ - 1) out.emplace_back(x + 1, bottom[size_t(x) + 1]);
        out.emplace_back(x + 1, bottom[size_t(x)]);
      }
    out.emplace_back(0, bottom[0]);
  }

 private:
  static constexpr double kEmptyTop = 1e18, kEmptyBottom = -1e18;
  int Down(LONG v) const { return static_cast<int>(std::floor(static_cast<double>(v) / factor_)); }
  int Up(LONG v) const { return static_cast<int>(std::ceil(static_cast<double>(v) / factor_)); }
  // The design view's fitting of a design into a picture of w x h.
  static RECT FitLikeRenderer(const CPattern& design, int w, int h) {
    const double aw = design.m_actualWidth, ah = design.m_actualHeight;
    if (w <= 0 || h <= 0 || !(aw > 0) || !(ah > 0)) return RECT{0, 0, w, h};
    double fw = w, fh = fw * ah / aw;
    if (fh > h) {
      fh = h;
      fw = fh * aw / ah;
    }
    const LONG iw = std::min<LONG>(static_cast<LONG>(std::lround(fw)), w);
    const LONG ih = std::min<LONG>(static_cast<LONG>(std::lround(fh)), h);
    const LONG left = (w - iw) / 2, top = (h - ih) / 2;
    return RECT{left, top, left + iw, top + ih};
  }

  const CPattern& design_;
  int width_;
  int factor_;
  RECT fitted_{};
  std::vector<double> top_, bottom_;
};

// The supersampling factor the design view's renderer uses for a picture
// of the size (its first try, 6, within 2048 pixels a side).
int RendererFactor(SIZE size) {
  for (int k = 6; k > 1; --k)
    if (static_cast<long long>(k) * size.cx <= 2048 && static_cast<long long>(k) * size.cy <= 2048) return k;
  return 1;
}

}  // namespace

bool CPdfExportNew::WriteCollage(const CPdfTextStyle& style) {
  const int rows = static_cast<int>(m_design->GetRowCount());
  const int columns = static_cast<int>(m_design->GetColumnCount());
  CStatusProgress progress(m_inputs.progress, rows, IDS_PDF_ASSEMBLING);
  if (rows <= 1 || static_cast<long long>(rows) * columns > m_design->GetBeadCount()) {
    if (!WritePreviewFitToPage(*m_design, LoadResString(IDS_PDF_ASSEMBLING_ALL), style)) return false;
    progress.SetPos(rows);
    return true;
  }
  // Every page shows the design's first rows: two pictures serve them all,
  // the whole design and the design without beads (its background and
  // grid). Each page draws the second, then the first clipped to the
  // outline of its rows. A bead's pixels do not depend on the other beads,
  // so the page looks as the picture of those rows alone would, and the
  // file holds two pictures instead of one a row.
  CPictureBox box;
  if (!GetPictureBox(*m_design, style, box)) return false;
  CRowsOutline outline(*m_design, box.size, RendererFactor(box.size), !m_inputs.renderer);
  const bool outlined = [&] {
    CRowsOutline check(*m_design, box.size, RendererFactor(box.size), !m_inputs.renderer);
    for (int row = 0; row < rows; ++row)
      if (!check.AddRow(row, columns)) return false;
    return true;
  }();
  if (!outlined) {
    // Rows that interleave in the picture: one picture a page.
    CPattern copy(*m_design);
    for (int row = 1; row < rows; ++row)
      for (int column = 0; column < columns; ++column) copy.SetBeadPresent(column, row, false);
    for (int k = 1; k < rows; ++k) {
      progress.SetPos(k);
      CString title;
      title.Format(LoadResString(IDS_PDF_ASSEMBLING_ROWS), k);
      if (!WritePreviewFitToPage(copy, title, style)) return false;
      for (int column = 0; column < columns; ++column) {
        const CBead* original = m_design->GetBeadAt(column, k);
        if (original && original->IsPresent()) copy.SetBeadPresent(column, k, true);
      }
    }
    if (!WritePreviewFitToPage(*m_design, LoadResString(IDS_PDF_ASSEMBLING_ALL), style)) return false;
    progress.SetPos(rows);
    return true;
  }
  const int whole = LoadDesignPicture(*m_design, box);
  if (whole == -1) return false;
  int bare = -1;
  {
    CPattern empty(*m_design);
    for (CBead& bead : empty.m_beads) bead.m_present = 0;
    bare = LoadDesignPicture(empty, box);
  }
  if (bare == -1) return false;
  // Picture pixels to page points, as fit_image places the picture
  // (centred in the box, meet, turned to the west on a turned page).
  const double pictureW = static_cast<double>(box.size.cx), pictureH = static_cast<double>(box.size.cy);
  const double rw = box.turned ? pictureH : pictureW, rh = box.turned ? pictureW : pictureH;
  const double scale = std::min(box.w / rw, box.h / rh);
  const double px = box.x + (box.w - rw * scale) / 2, py = box.y + (box.h - rh * scale) / 2;
  const auto toPage = [&](double x, double y, double& pageX, double& pageY) {
    if (!box.turned) pageX = px + scale * x, pageY = py + scale * (pictureH - y);
    else pageX = px + scale * y, pageY = py + scale * x;
  };
  std::vector<std::pair<double, double>> polygon;
  for (int k = 1; k < rows; ++k) {
    progress.SetPos(k);
    CString title;
    title.Format(LoadResString(IDS_PDF_ASSEMBLING_ROWS), k);
    outline.AddRow(k - 1, columns);
    outline.GetPolygon(polygon);
    BeginPage(false);
    PlacePicture(bare, box);
    if (!polygon.empty()) {
      m_pdf.save();
      for (size_t i = 0; i < polygon.size(); ++i) {
        double x = 0, y = 0;
        toPage(polygon[i].first, polygon[i].second, x, y);
        // Hundredths of a point are finer than any device pixel.
        x = std::round(x * 100) / 100, y = std::round(y * 100) / 100;
        if (i == 0) m_pdf.moveto(x, y);
        else m_pdf.lineto(x, y);
      }
      m_pdf.clip();
      PlacePicture(whole, box);
      m_pdf.restore();
    }
    const int kind = box.turned ? kPageTurned : kPageUpright;
    DrawPageHead(title, true, kind);
    EndPage(kind);
  }
  WriteFittedPage(whole, box, LoadResString(IDS_PDF_ASSEMBLING_ALL));
  progress.SetPos(rows);
  return true;
}
