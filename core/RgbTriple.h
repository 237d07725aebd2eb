// CRgbTriple: a colour as three bytes (red, green, blue, in that order), and
// the colour distance on which every nearest-colour search rests.
#pragma once

#include "platform/base.h"

// The integer nearest to the Euclidean distance of two RGB byte triples
// given as their signed channel differences (each -255..255). The value is
// the square root of the sum of squares taken as a 32-bit float and rounded
// half away from zero; it lies in 0..442.
int ColorDistanceFromSquared(int squaredSum);
// The largest squared sum whose rounded distance is at most `distance`
// (distance 0..442; larger distances give the largest possible sum).
int MaxSquaredSumForDistance(int distance);
// The rounded distance of every sum of squares 0 .. 3 x 255 x 255, and the
// largest sum of every distance 0 .. 442 (tables made once).
const unsigned short* ColorDistanceTable();
const int* MaxSquaredSumTable();
constexpr int kMaxColorSquaredSum = 3 * 255 * 255;
constexpr int kMaxColorDistance = 442;

class CRgbTriple {
 public:
  CRgbTriple() = default;
  CRgbTriple(BYTE r, BYTE g, BYTE b) : red(r), green(g), blue(b) {}
  CRgbTriple(const CRgbTriple& other) = default;
  CRgbTriple& operator=(const CRgbTriple& other) = default;

  static CRgbTriple FromRgb(BYTE r, BYTE g, BYTE b) { return CRgbTriple(r, g, b); }
  static CRgbTriple FromColorref(COLORREF packed) {
    return CRgbTriple(GetRValue(packed), GetGValue(packed), GetBValue(packed));
  }

  void SetRgb(BYTE r, BYTE g, BYTE b) { red = r; green = g; blue = b; }
  void SetColorref(COLORREF packed) { *this = FromColorref(packed); }

  BYTE GetRed() const { return red; }
  BYTE GetGreen() const { return green; }
  BYTE GetBlue() const { return blue; }
  COLORREF GetColorref() const { return RGB(red, green, blue); }

  bool IsEqual(const CRgbTriple& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
  bool operator==(const CRgbTriple& other) const { return IsEqual(other); }

  // Rounded Euclidean distance to (r, g, b), 0..442.
  int Distance(int r, int g, int b) const;
  int DistanceTo(const CRgbTriple& other) const { return Distance(other.red, other.green, other.blue); }

  BYTE red = 0;
  BYTE green = 0;
  BYTE blue = 0;
};
static_assert(sizeof(CRgbTriple) == 3, "a triple is three bytes, red first");
