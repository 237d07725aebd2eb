// The "beaded image": the rendered design as a picture file, optionally
// with the list of the colours it uses (below it or right of it) and a
// title band with the program's name and web site, written with the
// resolution that gives the design its real size.
//
// Everything is composed in memory and written under a temporary name
// beside the target, which is renamed over the target at the end: a
// failed export leaves the target as it was.
#pragma once

#include <memory>
#include <vector>

#include "palette/PaletteColor.h"
#include "platform/base.h"
#include "platform/gdi.h"

class CColorSet;
class CGraphicOutputParams;
class CImage;

// The largest font height (5 .. 199) of the face at which the texts side
// by side are at most `width` pixels wide; 6 when none fits or no device
// context can be made.
int FindFontSize(CDC* dc, const char* face, int width, const std::vector<CString>& texts);

// The title band `width` pixels wide: the program's title at the left and
// its web-site link at the right, in "Tahoma" of the band's height, which
// is max(height, 24) but no more than FindFontSize allows. Null when the
// bitmap cannot be made.
std::unique_ptr<CImage> BuildTitleBand(int width, int height);

// The colours of the list: the palette's colours with a count, most used
// first (palette order among equal counts).
void CollectUsedColors(const CColorSet& palette, std::vector<CPaletteColor>& out);

// One cell of the list: the widest name + 2 x font size, the tallest name.
SIZE GetColorListCell(const std::vector<CPaletteColor>& entries, int fontSize);

// The layout of the list: columns and rows of cells for placement 0 (rows
// of `width` pixels) or 1 (columns of `height` pixels). At least one column
// (row) even when a cell does not fit.
struct CColorListLayout {
  SIZE cell{0, 0};
  int columns = 0;
  int rows = 0;
  int width = 0;   // of the list picture
  int height = 0;
};
bool LayOutColorList(const std::vector<CPaletteColor>& entries, int placement, int fontSize, int width, int height,
                     CColorListLayout& out);

// The list as a picture: cells row by row, a swatch of the colour with its
// chart symbol (in the symbol font given) and the name in black. Null for
// another placement or no entries.
std::unique_ptr<CImage> BuildColorListImage(const std::vector<CPaletteColor>& entries, int placement, int fontSize,
                                            int width, int height, const LOGFONT& symbolFont);

// The design picture alone at `path` (type from the extension): rescaled to
// `size` when given and different, with the title band under it when
// asked, and with the resolution of the design's nominal size in inches.
bool SaveDesignPicture(const CImage& picture, double nominalWidth, double nominalHeight, const CString& path,
                       const SIZE* size, bool titleBand);

// The whole beaded image by the parameters: the design picture at the
// output size, then the colour list (placement 0 below, 1 right, 2 none;
// none either when no colour is used) and the title band.
bool ComposeBeadedImage(const CImage& picture, double nominalWidth, double nominalHeight, const CColorSet& palette,
                        const LOGFONT& symbolFont, const CGraphicOutputParams& params, const CString& path);

// The picture written to `path` through a temporary file beside it, with a
// resolution (dots per inch across and down) or none; the type is that of
// the path's extension, or `fallbackType` when the extension names none
// that can be written.
bool SavePictureReplacing(const CImage& picture, const CString& path, const int* resolution, int fallbackType);

// ---- The original picture ----

// The path with the file type's extension (".jpg", ".png", ".bmp" for the
// types 1, 4, 0) added when its name has none.
CString WithTypeExtension(const CString& path, int type);

// Saves the original picture as `path` in `type`: at its own size a picture
// that came from a file of that type is copied byte for byte (never
// re-encoded); otherwise the picture, rescaled to `size` when that differs
// (the picture itself when rescaling fails), is encoded. Written through a
// temporary file beside the target.
bool SaveOriginalPicture(const CImage& picture, const CString& sourcePath, const CString& path, int type,
                         SIZE size);
