// A small L-system engine (CLSystem) with its built-in presets
// (CLSystemPreset), used to draw the Hilbert and Gosper stitch paths.
//
// Alphabet: F f (rewritten by rule F; move forward drawing), B l (rule B;
// move without drawing), X x (rule X), Y y (rule Y), + - (turn by the angle),
// [ ] (push and pop the turtle), a space (dropped when rewriting), and the
// colour commands "RGB(r,g,b)" / "rgb(...)" (set the colour) and
// "HSL(h,s,l)" / "hsl(...)" (shift the colour in hue, saturation and
// lightness).
#pragma once

#include <vector>

#include "platform/base.h"

struct CLPoint {
  double x = 0.0;
  double y = 0.0;
};

struct CLSegment {
  double x1, y1, x2, y2;
  int color;
};

struct CLTurtle {
  double x = 0.0;
  double y = 0.0;
  double heading = 0.0;
  int color = 0;
};

// Receives the segments of a drawing in order, a batch at a time.
class ILSegmentSink {
 public:
  virtual void OnSegments(const CLSegment* segments, size_t count) = 0;

 protected:
  ~ILSegmentSink() = default;
};

class CLSystemPreset {
 public:
  static constexpr int kCount = 14;
  static constexpr int kHilbert = 1;
  static constexpr int kGosper = 2;

  // Resets every field, then fills preset `index` (0..13); another index
  // leaves the reset record.
  void Load(int index);

  CString name;  // in Windows-1251
  CString axiom;
  CString ruleF;
  CString ruleX;
  CString ruleY;
  CString ruleB;
  CString hslUpdating;
  double angle = 0.0;  // degrees
  // 3.0 in every preset, and 270.0 for presets 10 and 13 (else 0.0); the
  // stitch paths use neither.
  double unusedNumbers[2] = {3.0, 0.0};
  int color = 0;
};

class CLSystem {
 public:
  CLSystem() = default;

  void SetFromPreset(const CLSystemPreset& preset);
  // Checks the axiom and rules, converts the angle to radians and makes the
  // first generation; false with one of the error texts.
  bool Validate(CString& current, CString& error);
  // Replaces the current string by its next generation; a copy goes to out.
  void Rewrite(CString& out);
  // The same without the copy. While the current string and the rules hold
  // plain symbols only, the generation is not written out: drawing expands
  // the rules as it goes, and GetCurrent writes the string when asked.
  void Rewrite();
  // Draws the current string into `segments` (emptied first).
  void Draw(const CLPoint& start, double step, double heading, std::vector<CLSegment>& segments);
  // Draws the current string handing each segment to `sink` (none: only the
  // bounding box is computed).
  void DrawTo(const CLPoint& start, double step, double heading, ILSegmentSink* sink);

  const CString& GetCurrent() const;
  // The current string's length (counted without writing the string out;
  // at most 2^61).
  long long GetCurrentLength() const;
  const CLPoint& GetMin() const { return min_; }
  const CLPoint& GetMax() const { return max_; }
  double GetAngle() const { return angle_; }

  CString axiom;
  CString ruleF;
  CString ruleB;
  CString ruleX;
  CString ruleY;
  CString hslUpdating;

 private:
  struct CRules {
    std::string f, b, x, y;
    bool operator==(const CRules&) const = default;
  };
  class CExpansion;

  bool IsValidString(const CString& text) const;
  void ShiftColor(int& color, float h, float s, float l) const;
  CRules CurrentRules() const;
  // Writes out the generations not yet written.
  void WriteOut() const;

  double angle_ = 0.0;
  int color_ = 0;
  // The current string is current_ rewritten pending_ more times by
  // pendingRules_ (which, like current_, then hold plain symbols only).
  mutable CString current_;
  mutable int pending_ = 0;
  CRules pendingRules_;
  std::vector<CLTurtle> stack_;
  CLPoint min_;
  CLPoint max_;
};

// Whole degrees to radians: a negative value is first brought into 0..359;
// 0 gives 0; otherwise pi / (180 / degrees) with the division in whole
// numbers, so 22 gives pi/8 and 25 gives pi/7. Angles above 180 (where the
// whole-number division gives 0) are converted exactly.
double DegreesToRadians(int degrees);
// A colour command at `position` of `text`; the command's length and value.
bool ParseRgbCommand(const CString& text, int position, int& length, COLORREF& value);
bool ParseHslCommand(const CString& text, int position, int& length, float& h, float& s, float& l);
