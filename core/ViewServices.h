// What the lower levels (design, pictures, palettes) call of the design
// view: the ITabView interface that the design view implements (reached
// through GetActiveTabView, core/FrameServices.h), and the OLE picture
// loader that the picture code uses for files no reader handles. The view
// installs its implementations at start-up; without them the accessors
// answer null.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/base.h"

class CBitmap;
class CColorSet;
class CDC;
class CImage;
class CImageView;
class CPattern;
class CPatternImageView;
class CTabView;
struct CBead;

// The design view as the other parts of the program see it. Every operation
// works on the one view; "the design" and "the palette" are its members.
class ITabView {
 public:
  virtual CImageView* GetOriginalView() = 0;
  virtual bool HasPatternView() = 0;
  virtual CPatternImageView* GetPatternView() = 0;
  // The working bead list: empty it keeping its room, add an index (its
  // position; a listed index keeps its place), count.
  virtual void ClearBeadList() = 0;
  virtual int AddToBeadList(int index) = 0;
  virtual int GetBeadListCount() = 0;
  virtual void DrawBead(const CBead& bead, CDC* dc, RECT* outRect) = 0;
  virtual void DrawBeads(const std::vector<int>& indexes) = 0;
  virtual CTabView* GetTabView() = 0;
  virtual CColorSet* GetColorSet() = 0;
  virtual CPattern* GetPattern() = 0;
  virtual void OnEditColorGroupClosed() = 0;
  virtual bool RenderPatternImage(CDC* dc, CImage** out) = 0;
  virtual bool RenderPatternScaled(SIZE size, int factor, CBitmap* out, COLORREF background) = 0;
  // The largest rectangle of the design's aspect centred in the given one.
  virtual const RECT& GetFitMargins(const RECT& rect) = 0;
  virtual void GetPaletteFilePath(CString& out) = 0;
  virtual void SetPaletteModified() = 0;
  virtual void SetFitToWindow() = 0;
  // Recounts every palette colour's usage from the design and refreshes what
  // shows it; the number of present beads.
  virtual int CountUsedColors() = 0;
  virtual void OnTextDialogClosed() = 0;
  virtual COLORREF GetBackgroundColor() = 0;
  // Re-renders the design (keeping the zoom when asked) and repaints.
  virtual int OnPatternChanged(bool keepZoom) = 0;
  virtual bool BeadFromPoint(int x, int y, int& column, int& row, int& colorIndex, bool insideOnly,
                             bool* present) = 0;
  // The bead under a client point (CPattern::HitTestBead), -1 outside the
  // design picture.
  virtual int PointToBead(POINT point, bool topDown, BYTE* present, bool spacerTolerance) = 0;
  virtual void DrawXorLine(POINT from, POINT to) = 0;
  virtual void DrawXorRect(POINT from, POINT to) = 0;
  virtual void DrawXorEllipse(POINT from, POINT to) = 0;
  virtual void DrawXorCellRect(const RECT& cells) = 0;

 protected:
  ~ITabView() = default;
};

// A picture loaded through the platform's OLE picture service.
class IOlePicture {
 public:
  virtual ~IOlePicture() = default;
  // False when the file cannot be opened or holds no picture.
  virtual bool LoadFromFile(const char* path) = 0;
  // The picture's size in device units of the device context (the screen
  // when null); (0, 0) without a picture.
  virtual SIZE GetSizeInPixels(CDC* dc) = 0;
  // Draws the whole picture stretched into the rectangle; false when nothing
  // is loaded.
  virtual bool Render(CDC* dc, const RECT& rect) = 0;
};
using OlePictureFactory = std::function<std::unique_ptr<IOlePicture>()>;
void SetOlePictureFactory(OlePictureFactory factory);
// A new empty picture of the installed service; null when none is installed.
std::unique_ptr<IOlePicture> CreateOlePicture();

// Renders a design with a palette as a thumbnail of the target size: at the
// largest integer factor from startFactor down that keeps the rendering
// within 2048 x 2048 pixels, then area-averaged to the target size, over the
// background colour (overlay: an optional picture over the rendering, may be
// null). The design view installs it; without it the answer is false.
using PatternThumbnailRenderer = std::function<bool(CDC* dc, CPattern& design, CColorSet& palette, SIZE size,
                                                    int startFactor, CBitmap& out, COLORREF background,
                                                    CImage* overlay)>;
void SetPatternThumbnailRenderer(PatternThumbnailRenderer renderer);
bool RenderPatternThumbnail(CDC* dc, CPattern& design, CColorSet& palette, SIZE size, int startFactor, CBitmap& out,
                            COLORREF background, CImage* overlay = nullptr);
