// IColorSource: what the design model asks of a palette. The palette
// (CColorSet) implements it; tests use small fakes. Colour indexes are the
// positions of the colours in the palette, as beads hold them.
#pragma once

#include "platform/base.h"

class CPattern;

class IColorSource {
 public:
  virtual ~IColorSource() = default;

  // Number of colours.
  virtual int GetCount() const = 0;
  // The colour at index as R | G << 8 | B << 16; callers pass indexes in
  // 0 .. GetCount() - 1.
  virtual COLORREF GetColorrefAt(int index) const = 0;
  // The in-use flag of a colour (only colours in use are chosen when colours
  // are matched), and setting it.
  virtual bool IsColorInUse(int index) const = 0;
  virtual void SetColorInUse(int index, bool inUse) = 0;
  // The in-use colour nearest to (r, g, b) (rounded Euclidean distance, the
  // lowest index wins a tie); -1 and distance 100000 when none is in use.
  virtual int FindNearestColor(int red, int green, int blue, int& distance) const = 0;
  // The colour's manufacturer name.
  virtual CString GetColorName(int index) const = 0;
  // Recounts the palette's usage from the design's present beads (as
  // CColorSet::CountUsage does) and answers the number of beads counted.
  virtual int CountDesignUsage(const CPattern& design) = 0;
};
