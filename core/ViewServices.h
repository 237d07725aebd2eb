// Two services of the design view for the levels below it, neither of them
// a window: the OLE picture loader that the picture code uses for files no
// reader handles, and the design thumbnail renderer of the previews in
// controls/ (level 7), which draw designs with the view's renderer (level
// 8). The application installs both at start-up (InstallViewHooks,
// view/ViewHooks.h); a hook stays here because the renderer lives above
// the controls that call it. Without them the accessors answer null or
// false.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/base.h"

class CBitmap;
class CColorSet;
class CDC;
class CPattern;

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
// background colour. The design view's renderer is installed; without it
// the answer is false.
using PatternThumbnailRenderer = std::function<bool(CDC* dc, CPattern& design, CColorSet& palette, SIZE size,
                                                    int startFactor, CBitmap& out, COLORREF background)>;
void SetPatternThumbnailRenderer(PatternThumbnailRenderer renderer);
bool RenderPatternThumbnail(CDC* dc, CPattern& design, CColorSet& palette, SIZE size, int startFactor, CBitmap& out,
                            COLORREF background);
