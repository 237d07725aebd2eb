// The extended combo boxes of weave formats, stitch paths and colour modes,
// with their pictures from bitmap 147 of the language pack, and the item
// data of a combo's selection.
#pragma once

#include "platform/base.h"

class CComboBox;
class CComboBoxEx;
class CImageList;

// Pictures of bitmap 147 that the combos show.
constexpr int kFormatComboImageLoom = 5;
constexpr int kFormatComboImagePeyote = 6;
constexpr int kFormatComboImageBrick = 8;
constexpr int kFormatComboImageHerringbone = 10;
constexpr int kFormatComboImageSacredBrick = 4;
constexpr int kFormatComboImageSacredPeyote = 9;

// The picture of a weave format, of a stitch path (-1 for none) and of a
// colour mode's combo position.
int FormatComboImage(int format);
int StitchPathComboImage(int path);
int ColorModeComboImage(int position, bool russian);

// The 14 weave formats reading 0 to 13 from the top, each with its name,
// picture and number as item data; the given format selected (the first
// entry when it is not listed). The image list is made again from bitmap
// 147 (16 pixels wide, light grey transparent); without the bitmap the
// names show alone. False when an insertion fails (entries added stay).
bool FillFormatCombo(CImageList& images, CComboBoxEx& combo, int format);
// The ten stitch paths with the path number as item data, using the given
// image list as it is; the given path selected (else the first).
bool FillStitchPathCombo(CImageList& images, CComboBoxEx& combo, int path);
// The four colour modes in the order Sharp, Classic, Exact, Softened,
// without item data; mode 0 selected at position 2, 1 at 3, 3 at 1, any
// other at 0. The image list is made from bitmap 147 with red transparent;
// false when that fails or an insertion fails.
bool FillColorModeCombo(CImageList& images, CComboBoxEx& combo, int mode);
// The item data of the selected entry (CB_ERR without a selection).
DWORD_PTR GetComboSelData(CComboBox& combo);
