// The design view as the tool windows' tests set it up, shared by the
// tests of the windows here and of the running program's commands
// (tests/app): a design shown fresh with its palette, a cell's centre, and
// the view's painted pixel there.
#pragma once

#include <QImage>

#include "palette/ColorSet.h"
#include "platform/wnd/host.h"
#include "view/PatternRender.h"
#include "view/TabView.h"

namespace tooltest {

// The design and palette in the view as a fresh design: no history, the
// colours counted, fitted to the window, rendered and painted.
// refreshColors: the beads take their colours from the palette first.
inline void ShowDesign(CTabView* view, const CPattern& design, const CColorSet& palette, const char* paletteName,
                       bool refreshColors = false) {
  *view->GetPattern() = design;
  view->ClearEditHistory();
  view->SetColorSet(palette, paletteName);
  if (refreshColors) view->GetPattern()->RefreshBeadColors(*view->GetColorSet());
  view->CountUsedColors();
  view->SetZoomMode(1);
  view->OnPatternChanged(false);
  view->Invalidate(TRUE);
  view->UpdateWindow();
  QmPumpMessages(100);
}

// The window point of a cell's centre in the view (row from the top).
inline POINT CellCentre(CTabView* view, int column, int row) {
  POINT centre{0, 0};
  SIZE size;
  view->GetPattern()->MapCellToImage(row, column, view->GetPatternView()->GetDrawnRect(), centre, size, false);
  return centre;
}

// The view's painted pixel at a cell's centre.
inline COLORREF ViewPixel(CTabView* view, int column, int row) {
  const POINT p = CellCentre(view, column, row);
  const QImage image = QmRenderWindow(view->GetSafeHwnd(), false);
  const QRgb c = image.pixel(p.x, p.y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

}  // namespace tooltest
