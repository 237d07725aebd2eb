// Stitch paths on a design: the right-angle-weave masks (kinds 1-3), the
// Hilbert path (kinds 4-6) and the Gosper path (kinds 7-9). Path colour 0
// makes the path's beads absent; n > 0 shows them in palette colour n - 1.
#pragma once

#include "platform/base.h"

class CPattern;

// Applies stitch path `kind` with `pathColor`; other kinds do nothing.
void ApplyStitchPath(CPattern& design, int kind, int pathColor);
// Marks the cells of a straight line between two cells given as (column,
// row counted from the bottom). Cells outside the grid are skipped; nothing
// happens when both ends lie outside.
void LineCells(CPattern& design, POINT from, POINT to, int pathColor);

// The stitch-path steps, for callers that want one of them alone.
void ApplyRightAngleMask(CPattern& design, int kind, int pathColor);
void ApplyHilbertPath(CPattern& design, int stepLength, int pathColor);
void ApplyGosperPath(CPattern& design, int stepLength, int pathColor);
