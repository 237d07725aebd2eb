// Weave formats, stitch-path kinds and colour modes, and the counting of
// beads in a length. Every rounding of geometry to pixels or counts goes
// through RoundToInt.
#pragma once

#include <cstdint>
#include <vector>

#include "core/TextUtils.h"
#include "platform/base.h"

// Weave formats (the design's format and every row-format run).
enum : int {
  kFormatLoom = 0,
  kFormatPeyote = 1,  // 1..9: n-Peyote
  kFormatPeyote9 = 9,
  kFormatBrick = 10,
  kFormatHerringbone = 11,
  kFormatSacredBrick = 12,
  kFormatSacredPeyote = 13,
  kFormatCount = 14,
};

// Stitch-path kinds 0..9 (0 = none).
constexpr int kStitchPathCount = 10;

// Colour conversion modes of the design builder.
enum : int { kColorModeExact = 0, kColorModeSoftened = 1, kColorModeSharp = 2, kColorModeClassic = 3 };

// Length units of the information texts and the rulers' unit combo.
enum : int { kUnitInch = 0, kUnitCentimetre = 1, kUnitMillimetre = 2 };

// The number of beads that a length holds: RoundToInt((length + spacer) /
// (spacer + bead)); the actual length is n beads plus n - 1 spacers. A bead
// plus spacer of zero or less, a non-finite quotient or a negative count give
// 0 beads and an actual length of 0.
unsigned CountBeadsInLength(double length, double bead, double spacer, double* actualLength = nullptr);

// A bead centre's position as a fraction of the design's actual size, kept
// within 0..1 where rounding would carry the outermost centres past an edge.
inline double BeadFraction(double position, double actualSize) {
  const double f = position / actualSize;
  return f > 1.0 ? 1.0 : (f < 0.0 ? 0.0 : f);
}

// 1 <= format <= 9.
bool IsPeyoteFormat(int format);
// Sacred Peyote or an n-Peyote.
bool IsPeyoteLikeFormat(int format);
// For n-Peyote (n = format): true when column mod 2n < n; false for every
// other format.
bool IsShiftedColumn(int format, int column);

// One run of rows with one weave format. Runs are listed from the top row
// downwards.
struct CRowFormat {
  DWORD rows = 0;
  DWORD format = 0;
  friend bool operator==(const CRowFormat& a, const CRowFormat& b) { return a.rows == b.rows && a.format == b.format; }
};
using CRowFormatArray = std::vector<CRowFormat>;

// The format of a row counted from the top: the first run whose running sum
// of rows exceeds the row; past the last run, the last run's format; no runs,
// 0.
int RowFormatAt(const CRowFormatArray& runs, int row);

// Display names by the interface language (a number outside the table gives
// "Loom"; a stitch path outside the table leaves the text unchanged).
void GetFormatName(int format, CString& out);
void GetStitchPathName(int path, CString& out);
// The English and Russian (UTF-8) names, for tests and for code that must
// name a format in a given language.
const char* GetFormatNameUtf8(int format, bool russian);
const char* GetStitchPathNameUtf8(int path, bool russian);
const char* GetColorModeNameUtf8(int comboPosition, bool russian);
// The colour mode shown at a combo position (0 Sharp, 1 Classic, 2 Exact,
// 3 Softened) and back.
int ColorModeFromComboPosition(int position);
int ComboPositionFromColorMode(int mode);

// Length units: divide by 2.54 for centimetres, by 25.4 for millimetres;
// any other unit leaves the value.
void UnitsToInches(float& value, int unit);
// Unit 0 the value, 1 value x 2.54, 2 value x 2.54 x 10; any other unit 0.
float InchesToUnits(float inches, int unit);

// Fallback sizing of a rendered design: both sides scaled by the square root
// of budget / (width x height) and truncated; 0 x 0 for an empty size.
void ScaleToBeadCount(long long budget, int width, int height, int& outWidth, int& outHeight);
