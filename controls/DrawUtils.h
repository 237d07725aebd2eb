// Drawing helpers used across the program: a font description with the
// LOGFONT layout, text rasterised into cells (text in beads), fitting a
// rectangle to an aspect ratio, colour helpers and the gradient painters of
// owner-drawn controls.
#pragma once

#include <vector>

#include "platform/base.h"

class CDC;
class CWnd;

// A LOGFONT with every field zero, DEFAULT_CHARSET, a face name and a height.
class CLogFont : public LOGFONT {
 public:
  explicit CLogFont(const char* faceName = nullptr, LONG height = 0);
  // Copies the name with its NUL (at most 31 characters); returns length + 1.
  int SetFaceName(const char* name);
  void SetBold(bool bold) { lfWeight = bold ? FW_BOLD : 0; }
  void SetItalic(bool italic) { lfItalic = italic ? 1 : 0; }
  void SetUnderline(bool underline) { lfUnderline = underline ? 1 : 0; }
};
static_assert(sizeof(CLogFont) == sizeof(LOGFONT), "CLogFont keeps the LOGFONT layout");

// Draws the text in white on black in a bitmap of its extent and lists every
// pixel that is exactly white, column by column. False when no device
// context or bitmap can be had (an empty text has no bitmap).
bool RasterizeText(const char* text, const LOGFONT& font, SIZE& size, std::vector<POINT>& cells);

// The largest rectangle of width : height that fits the given one, centred
// in it. The result is one program-wide rectangle, overwritten by the next
// call. A rectangle without area or a zero proportion gives the rectangle
// itself.
const RECT& FitRectToAspect(const RECT& rect, int width, int height);

// 255 for each channel below 128, else 0.
COLORREF GetContrastColor(COLORREF color);
// Every channel complemented.
COLORREF InvertColor(COLORREF color);
// White when red + green + blue < 384, else black.
COLORREF GetTextColorForBackground(COLORREF color);

// The button-face colour from darkened by `step` (top, or right when
// horizontal) to lightened by `step`, in 1-pixel lines every `spacing`
// pixels over the rectangle (the window form paints its client area).
void DrawGradientFace(CDC* dc, const RECT& rect, int step, bool horizontal, int spacing);
// Colour a to b over the top half and back to a over the bottom half, in
// horizontal lines every `spacing` pixels.
void DrawGradientRect(CDC* dc, const RECT& rect, COLORREF a, COLORREF b, int spacing);
// Vertical lines every `spacing` pixels from a at the left to b at the right.
void DrawHorizontalGradient(CDC* dc, const RECT& rect, COLORREF a, COLORREF b, int spacing);
