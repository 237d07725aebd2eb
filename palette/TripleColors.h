// Contrast and text colours of a palette colour given as a byte triple: the
// mark ticks, crosses and colour-list texts drawn over a bead colour.
#pragma once

#include "core/RgbTriple.h"

// Per channel 0 when the channel is 128 or more, else 255.
inline COLORREF GetTripleContrastColor(const CRgbTriple& color) {
  const auto flip = [](BYTE channel) -> BYTE { return channel >= 128 ? 0 : 255; };
  return RGB(flip(color.GetRed()), flip(color.GetGreen()), flip(color.GetBlue()));
}

// White when red + green + blue < 384, else black.
inline COLORREF GetTripleTextColor(const CRgbTriple& color) {
  return color.GetRed() + color.GetGreen() + color.GetBlue() < 384 ? 0xFFFFFF : 0;
}
