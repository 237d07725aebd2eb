// The bead painters: the four bead effects, the hexagon of the herringbone
// format, outlines and the selection cross, the shaded ellipse rim, the
// linear gradient fills, and the colour functions that derive light,
// shadow, contrast and text colours. Everything draws with plain pens,
// brushes, regions and single pixels on the given device context, one pixel
// wide and without smoothing, and keeps no state.
//
// A bead shape never leaves its cell: every painter is clipped to the cell
// rectangle it is given.
#pragma once

#include "controls/DrawUtils.h"
#include "palette/TripleColors.h"
#include "platform/base.h"
#include "platform/gdi.h"

class CPattern;
class CColorSet;
struct CBead;

// The bead effects the View menu offers.
enum : int {
  kBeadEffectRound = 0,      // "3-D Round"
  kBeadEffectCircle = 1,     // "3-D Circle"
  kBeadEffectCylinder = 2,   // "3-D Cylinder"
  kBeadEffectRoundRect = 3,  // "Round Rectangle"
};

// light: each channel doubled (255 from 128 on); shadow: each channel halved.
void MakeShadeColors(COLORREF color, COLORREF& light, COLORREF& shadow);
// lighter: channel + step (at most 255); darker: channel - step (at least 0).
void MakeStepColors(COLORREF color, COLORREF& lighter, COLORREF& darker, int step);
// The rim colour at an angle (radians, screen y downwards): A toward the
// upper left (-2.356), B opposite.
COLORREF GradientColorAt(double angle, COLORREF a, COLORREF b);

// Horizontal 1-pixel lines every `step` pixels from A at the top toward B.
void DrawVerticalGradient(CDC* dc, const RECT& rect, COLORREF a, COLORREF b, int step);
// The one-pixel rim of an ellipse around the centre, light toward the upper
// left, shadow toward the lower right (integer midpoint walk).
void DrawGradientEllipse(CDC* dc, int cx, int cy, int rx, int ry, COLORREF a, COLORREF b);

// The six corners of a hexagon bead; the two orientations lean opposite ways.
void GetHexagonPoints(const RECT& cell, bool orientation, POINT (&points)[6]);

// The single shapes (colour c, in the cell).
void Draw3DRoundBead(CDC* dc, const RECT& cell, COLORREF c);
void Draw3DCircleBead(CDC* dc, const RECT& cell, COLORREF c);
void DrawCylinderBead(CDC* dc, const RECT& cell, COLORREF c);
void DrawBrickCylinderBead(CDC* dc, const RECT& cell, COLORREF c);
void DrawRoundRectBead(CDC* dc, const RECT& cell, COLORREF c);
void DrawHexagon(CDC* dc, const RECT& cell, COLORREF c, bool edgeShading, bool orientation);
void DrawEllipseOutline(CDC* dc, const RECT& cell, COLORREF c);
void DrawRectOutline(CDC* dc, const RECT& cell, COLORREF c);

// One bead in its cell: by the effect, or as a hexagon; with the outline
// flag an outline. Nothing for a null DC or a bead without a palette colour.
void DrawBeadShape(const CBead& bead, const CPattern& design, int effect, bool hexagon, const RECT& cell, CDC* dc,
                   const CColorSet& palette, bool outline, bool brick);
// DrawBeadShape, then a cross over the cell in the contrast colour when the
// bead is selected or the outline flag is set.
void DrawBeadCell(const CBead& bead, const CPattern& design, int effect, bool hexagon, const RECT& cell, CDC* dc,
                  const CColorSet& palette, bool outline, bool brick);

// The bead's palette colour as COLORREF; false when the bead has none.
bool GetBeadPaintColor(const CBead& bead, const CPattern& design, const CColorSet& palette, COLORREF& color);
// The render flags of a design's weave format.
bool IsHexagonFormat(const CPattern& design);
bool IsBrickFormat(const CPattern& design);
