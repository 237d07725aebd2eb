// What the program does with whole pictures on the way to the screen, to a
// design and to PDF pages: CImageView, a picture shown in a scrolling
// window at a zoom or fitted to the window, with a cached, smoothly reduced
// copy; ScaleBitmap, the area-averaging reduction of device bitmaps; and
// CImageRGBContainer, a packed copy of a picture's colours.
// (CImage::CreateResized, Crop, CropByFractions and CTileGrid are declared
// with CImage.)
#pragma once

#include <memory>
#include <vector>

#include "image/Image.h"

class CScrollView;

// A new screen-compatible bitmap of the new size with the bitmap's picture
// reduced by area averaging; null on failure, for an empty size, or when
// the new size is larger than the old one in either direction (reduction
// only: each source pixel then overlaps at most two target columns and
// rows). The caller deletes it.
HBITMAP ScaleBitmap(HBITMAP bitmap, int newWidth, int newHeight);

// What a picture view needs of the scrolling window it is shown in. The
// window layer's scrolling views are bound through it (see
// CScrollViewImageOwner); tests give their own.
class IImageViewOwner {
 public:
  virtual ~IImageViewOwner() = default;
  virtual CRect GetOwnerClientRect() = 0;
  virtual CPoint GetOwnerScrollPosition() = 0;
  // MM_TEXT sizes; page and line sizes are the defaults.
  virtual void SetOwnerScrollSizes(int mapMode, SIZE total) = 0;
  // The window's device context, released with ReleaseOwnerDC.
  virtual CDC* GetOwnerDC() = 0;
  virtual void ReleaseOwnerDC(CDC* dc) = 0;
  virtual void InvalidateOwner(bool erase) = 0;
};

// The owner over a scrolling view of the window layer: its client area and
// scroll position, its scroll sizes, its device context (GetDC, without the
// view's own origin: the picture view places itself by the scroll position)
// and its invalidation.
class CScrollViewImageOwner : public IImageViewOwner {
 public:
  explicit CScrollViewImageOwner(CScrollView* view) : m_view(view) {}
  CRect GetOwnerClientRect() override;
  CPoint GetOwnerScrollPosition() override;
  void SetOwnerScrollSizes(int mapMode, SIZE total) override;
  CDC* GetOwnerDC() override;
  void ReleaseOwnerDC(CDC* dc) override;
  void InvalidateOwner(bool erase) override;
  CScrollView* GetView() const { return m_view; }

 private:
  CScrollView* m_view;
};

// A picture bound to a scrolling window. The window is a CScrollView (the
// program's windows) or any IImageViewOwner (tests, other hosts); it is not
// owned and must outlive the picture's painting.
class CImageView : public CImage {
 public:
  // The same constructors over a scrolling view of the window layer.
  explicit CImageView(CScrollView* owner);
  CImageView(CScrollView* owner, HBITMAP bitmap, bool fitToWindow);
  CImageView(CScrollView* owner, CByteStream& stream, bool& ok);
  CImageView(CScrollView* owner, const char* path, bool& ok, int type = -1, IProgress* progress = nullptr);

  // No picture yet.
  explicit CImageView(IImageViewOwner* owner);
  // From a device bitmap (as CImage(HBITMAP)).
  CImageView(IImageViewOwner* owner, HBITMAP bitmap, bool fitToWindow);
  // From a picture block of a byte stream.
  CImageView(IImageViewOwner* owner, CByteStream& stream, bool& ok);
  // From a picture file (as CImage's file constructor).
  CImageView(IImageViewOwner* owner, const char* path, bool& ok, int type = -1, IProgress* progress = nullptr);
  ~CImageView() override;

  // ---- Virtual operations after CImage's ----
  // Paints straight from the picture's pixels. With release the device
  // context is released, otherwise it is handed out through dcOut (the
  // caller gives it back with ReleaseOwnerDC).
  virtual bool PaintDirect(CDC* ignored, bool release, CDC** dcOut);
  // Paints directly at a zoom of 100 or more, otherwise through the cached
  // reduced copy (rebuilt when its size differs by more than one pixel);
  // false when the picture cannot be turned into a bitmap.
  virtual bool Paint(CDC* ignored, bool release, CDC** dcOut);
  virtual bool PaintScaledBitmap(HBITMAP bitmap, int width, int height, bool release, CDC** dcOut);
  // Called with the window's device context after every paint.
  virtual void OnAfterPaint(CDC* dc);

  void SetFitToWindow(bool fit, bool repaint);
  bool IsFitToWindow() const { return m_fit; }
  void SetZoom(int percent, bool repaint, bool erase);
  // The zoom; a stored 0 is first computed from the window.
  int GetZoom();
  CPoint GetOrigin() const { return m_origin; }
  IImageViewOwner* GetOwner() const { return m_owner; }
  // The scrolling view the picture is bound to, when it is one.
  CScrollView* GetScrollView() const { return m_viewOwner ? m_viewOwner->GetView() : nullptr; }
  void ReleaseOwnerDC(CDC* dc);

  // The size the picture is painted at for a client size: fitted, or at
  // the zoom. (0, 0) for an empty picture or client.
  CSize GetPaintTarget(const CRect& client);
  // The cached bitmap and its size (for the view's own checks).
  HBITMAP GetCachedBitmap() const { return m_cached; }
  CSize GetCachedSize() const { return CSize(m_cachedWidth, m_cachedHeight); }

 private:
  // The owner's DC with the picture's palette selected and realised; null
  // when the owner gives none.
  CDC* OwnerDCWithPalette();
  void Finish(CDC* dc, bool release, CDC** dcOut);
  int FitZoom(const CRect& client) const;

  int m_cachedWidth = 0;
  int m_cachedHeight = 0;
  HBITMAP m_cached = nullptr;
  std::unique_ptr<CScrollViewImageOwner> m_viewOwner;
  IImageViewOwner* m_owner = nullptr;
  int m_zoom = 100;
  bool m_fit = false;
  CPoint m_origin;
};

// A packed copy of a picture's colours (red, green, blue per pixel, rows in
// the picture's row order) with clamped look-up.
class CImageRGBContainer {
 public:
  explicit CImageRGBContainer(const CImage& image);
  // Loads the file; an unreadable file gives an empty container.
  explicit CImageRGBContainer(const char* fileName);
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  // The colour at (x, y) with x and y clamped into the picture; false (and
  // black) for an empty container.
  bool GetPixel(int x, int y, BYTE& red, BYTE& green, BYTE& blue) const;

 private:
  void CopyFrom(const CImage& image);
  int m_width = 0;
  int m_height = 0;
  std::vector<BYTE> m_rgb;
};
