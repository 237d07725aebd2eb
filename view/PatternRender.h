// Rendering a design into pictures: the whole design for the screen (with a
// per-colour cache that paints each kind of bead once and copies it), a
// design at a given size with an optional grid, thumbnails averaged down
// from a larger render, and CPatternImageView, the rendered design bound to
// the design view's window, which draws the mark ticks, the grid and a
// tool window's selection over it after every paint and takes edits of
// single beads into its picture in place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "image/ImageView.h"
#include "platform/base.h"
#include "platform/gdi.h"

class CColorSet;
class CGridSettings;
class CPattern;
class IProgressHost;
struct CBead;

// What lies under the beads of a whole-design render, how the beads are
// painted and where the render shows its progress.
struct CRenderUnder {
  // Drawn fitted and centred beneath the beads (removed beads show it).
  const CImage* original = nullptr;
  // Paint every bead by itself instead of copying from the colour cache.
  bool perBead = false;
  // The background; -1: the view's background colour from the settings.
  COLORREF background = static_cast<COLORREF>(-1);
  // The pixel budget; 0 or less: the settings' off-screen render size.
  long long budget = 0;
  // Where the render's progress shows (null: nowhere).
  IProgressHost* progress = nullptr;
};

// The view's background colour (settings).
COLORREF GetViewBackground();

// The largest rectangle of the proportion width : height centred in the
// given one (whole pixels); the rectangle itself for a zero proportion, all
// zero for a rectangle without area.
RECT FitRectToSize(const RECT& rect, double width, double height);

// The whole design into a new bitmap compatible with the DC (the caller
// deletes it). The design's view rectangle is set to the fitted rectangle.
// False when the design has no beads or no bitmap can be made.
bool RenderPatternBitmap(CDC* dc, HBITMAP* out, CPattern& design, const CColorSet& palette, bool outline, bool brick,
                         const CRenderUnder* under = nullptr);
// The design fitted into a new bitmap of the size, painted bead by bead
// (outline and brick off), on the background (-1: the view's, only inside
// the fitted rectangle), with the grid when one is given.
bool RenderPatternToSize(CDC* dc, HBITMAP* out, const CPattern& design, const CColorSet& palette, SIZE size,
                         COLORREF background, const CGridSettings* grid);
// Rendered by RenderPatternToSize at `factor` times the size (factor 1 or
// more), then area-averaged down to the size, into `out`. Any failure
// gives false.
bool RenderPatternShrunk(CDC* dc, const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                         CBitmap* out, COLORREF background, const CGridSettings* grid);
// RenderPatternShrunk at the largest factor k <= factor whose size stays
// within 2048 x 2048 (at least 1). The factor used is reported when
// usedFactor is given.
bool RenderPatternThumbnail(CDC* dc, const CPattern& design, const CColorSet& palette, SIZE size, int factor,
                            CBitmap* out, COLORREF background, const CGridSettings* grid, int* usedFactor = nullptr);
// RenderPatternThumbnail as a picture (type 0, the bitmap's depth), null on
// failure. At factor 1 the pixels go straight into the picture, without a
// bitmap between.
std::unique_ptr<CImage> RenderPatternThumbnailImage(CDC* dc, const CPattern& design, const CColorSet& palette,
                                                    SIZE size, int factor, COLORREF background,
                                                    const CGridSettings* grid);
// The render into a new picture view bound to the owner (null on failure),
// its progress on `progress` (null: none).
bool RenderPatternToImageView(CDC* dc, CImageView** out, IImageViewOwner* owner, CPattern& design,
                              const CColorSet& palette, IProgressHost* progress = nullptr);
// Grid lines of a design fitted in the rectangle, with the print width.
void DrawGridLines(CDC* dc, const CPattern& design, const RECT& fitted, const CGridSettings& grid);

// The largest factor k <= factor with k x size within 2048 x 2048; 1 when
// none fits.
int ThumbnailFactor(SIZE size, int factor);

// Area averaging of 32-bit top-down pixels (0x00RRGGBB) from a source of
// sw x sh to a target of tw x th (no larger), for the target rectangle
// [x0, x1) x [y0, y1) only: every target pixel is the exact weighted mean
// of the source pixels its area covers, so a part computed again equals the
// whole computed once.
void AreaAverage(const uint32_t* source, int sw, int sh, uint32_t* target, int tw, int th, int x0, int y0, int x1,
                 int y1);

class CPatternImageView : public CImageView {
 public:
  CPatternImageView(CPattern* design, CColorSet* palette, IImageViewOwner* owner, HBITMAP bitmap, bool fit);
  CPatternImageView(CPattern* design, CColorSet* palette, CScrollView* owner, HBITMAP bitmap, bool fit);
  ~CPatternImageView() override;

  // Paints at 100 % or more straight from the picture, otherwise from a
  // reduced copy that edits update in place.
  bool Paint(CDC* ignored, bool release, CDC** dcOut) override;
  // At 100 % copies the visible part from a device copy of the picture that
  // edits update in place; other zooms as the base paints them.
  bool PaintDirect(CDC* ignored, bool release, CDC** dcOut) override;
  // Mark ticks, the grid, and the after-paint hook (a tool window's
  // selection).
  void OnAfterPaint(CDC* dc) override;

  // The bead's cell in the drawn rectangle (window coordinates).
  RECT GetBeadRectInView(const CBead& bead) const;
  // Where a bead's tick goes and its colour; false for an absent bead or
  // one outside the palette.
  bool GetMarkTick(int index, RECT& cell, COLORREF& color) const;
  static void DrawMarkTick(CDC* dc, const RECT& cell, COLORREF color);
  void DrawGrid(CDC* dc, int step, int width, COLORREF color) const;
  // One bead's tick on the window at once.
  void DrawMarkTickNow(int index);

  void SetAfterPaintHook(std::function<void(CDC*)> hook) { m_afterPaint = std::move(hook); }
  CPattern* GetPattern() const { return m_design; }
  CColorSet* GetColorSet() const { return m_palette; }

  // Paints the beads into the picture in place (present beads by the
  // design's effect; absent ones show the background, or the original
  // picture when given, inside the design's view rectangle) and updates the
  // reduced copy where they lie. `changed` receives a window rectangle that
  // holds every changed cell (empty when nothing changed).
  void RepaintBeads(const int* indexes, size_t count, bool removed, const CImage* original, RECT* changed);
  void RepaintBeads(const std::vector<int>& indexes, bool removed, const CImage* original, RECT* changed) {
    RepaintBeads(indexes.data(), indexes.size(), removed, original, changed);
  }
  // A part of the picture (picture pixels) as the window shows it, a pixel
  // wider on every side.
  RECT PictureToWindow(const RECT& part) const;
  // The reduced copy's size (0 x 0 when none).
  SIZE GetReducedSize() const { return SIZE{m_reducedWidth, m_reducedHeight}; }
  HBITMAP GetReducedBitmap() const { return m_reduced; }

 private:
  void DropReduced();
  bool EnsureReduced(int width, int height);
  void ReadPixels(std::vector<uint32_t>& out) const;
  void UpdateReduced(const RECT& sourceRect);

  CPattern* m_design;
  CColorSet* m_palette;
  std::function<void(CDC*)> m_afterPaint;
  bool EnsureFull();
  void UpdateFull(const RECT& sourceRect);
  HBITMAP m_full = nullptr;
  HBITMAP m_reduced = nullptr;
  int m_reducedWidth = 0;
  int m_reducedHeight = 0;
  std::vector<uint32_t> m_reducedPixels;
};
