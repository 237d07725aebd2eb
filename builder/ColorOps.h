// Whole-design recolourings: reducing the number of palette colours a
// design uses, brightness/contrast and hue/saturation/lightness. Each bead
// ends with an in-use colour of the palette. Beads whose colour lies
// outside the palette, and beads for which the palette has no colour in use,
// are left as they are.
#pragma once

#include <vector>

#include "platform/base.h"

class CPattern;
class CColorSet;
class IProgressHost;

// A group of beads around one palette colour (the key, packed RGB), with
// the distinct source colours (cached bead colours) it holds.
struct CColorClusterMember {
  COLORREF color;
  int count;
};
struct CColorCluster {
  COLORREF key = 0;
  int count = 0;
  std::vector<CColorClusterMember> members;
};

// Sum of the squares of the byte differences of two packed colours.
int SquaredColorDistance(COLORREF a, COLORREF b);

// "Use only XX colours": re-matches every present bead to the palette and,
// when the target is above 0 and below the number of colours found, merges
// the smallest groups into their nearest neighbours until `target` remain.
// A progress with the caption runs on `progress` when the caption is not
// empty (null: none is shown).
// Sets the design's modified byte.
void ReduceColors(CPattern& design, const CColorSet& palette, int target, const char* caption,
                  IProgressHost* progress = nullptr);
// The grouping steps alone (for tests and the dialog's preview).
void BuildColorClusters(CPattern& design, const CColorSet& palette, std::vector<CColorCluster>& clusters,
                        const char* caption, IProgressHost* progress = nullptr);
void MergeColorClusters(std::vector<CColorCluster>& clusters, int target);

// Brightness -255..255 and contrast -100..100: each channel value x maps to
// trunc(b + 128 + (c + 100) x 0.01f x (x - 128)), clamped to 0..255, and the
// bead takes the in-use colour nearest to its mapped colour. Sets the
// modified byte.
void AdjustBrightnessContrast(CPattern& design, const CColorSet& palette, int brightness, int contrast);
// The channel table of the adjustment.
void MakeBrightnessContrastTable(int brightness, int contrast, BYTE table[256]);
// Hue shift in degrees, saturation and lightness shifts in percent; each
// wraps into its range. The modified byte is not changed.
void AdjustHsl(CPattern& design, const CColorSet& palette, int hue, int saturation, int lightness);
// The colour an HSL shift makes of one colour (shifts already normalised:
// hue 0..359, saturation and lightness 0..0.99).
COLORREF ShiftColorHsl(COLORREF color, int hue, float saturation, float lightness);
// The normalised shifts of AdjustHsl.
void NormalizeHslShifts(int hue, int saturation, int lightness, int& hueOut, float& saturationOut,
                        float& lightnessOut);
