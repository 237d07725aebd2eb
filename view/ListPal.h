// CListPal: the colour list of the palette file dialog, an owner-drawn list
// with one column whose rows are swatches of the previewed palette's
// colours (each row's data points at its colour record).
#pragma once

#include "platform/wnd.h"

class CColorSet;
class CPaletteColor;

class CListPal : public CListCtrl {
 public:
  // The one column, titled "Color" (string 59460), as wide as the list less
  // 12 pixels.
  void MakeColumn();
  // One row per colour of the palette, in palette order.
  void Fill(CColorSet& palette);
  const CPaletteColor* GetRowColor(int row) const;

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
};
