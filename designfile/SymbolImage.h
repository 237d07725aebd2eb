// Symbol pictures: one chart symbol of a design's symbol set drawn on a
// coloured square and saved as a picture file, for the PDF colour table.
#pragma once

#include "design/PatternAttr.h"
#include "platform/base.h"

// Deletes an existing file at the path, then draws the character `code`
// in the symbol set's font of the given height, centred, in the text
// colour on a picture of `size` filled with the background colour, and
// saves it in the format of the path's extension (".bmp", ".jpg", ".png",
// ".gif"). False when the picture cannot be made or written (the old file
// is gone by then).
bool RenderSymbolImage(const CSymbolSet& symbols, int height, SIZE size, UINT code, const CString& path,
                       COLORREF background, COLORREF textColor);
