// The rules of the wizard's parameters page over the texts of its fields,
// without windows: reading sizes, the bead grid shown while typing, unit
// changes, proportions, the per-mode memory of the bead fields, and the
// validation order of the page's parameters with the message and the field
// that takes the focus.
#pragma once

#include <utility>
#include <vector>

#include "platform/base.h"

class CWizardData;

// Control ids of the parameters page that the model names.
constexpr int kIdcWizWidth = 1055;
constexpr int kIdcWizHeight = 1057;
constexpr int kIdcWizBeadWidth = 1075;
constexpr int kIdcWizBeadHeight = 1076;
constexpr int kIdcWizSpacer = 1077;
constexpr int kIdcWizFillColor = 1082;

// Design-in modes.
enum : int { kDesignInInches = 0, kDesignInBeads = 1 };

// The texts of the size fields and the choices they are read with.
struct CWizParamFields {
  CString width;       // 1055, in the unit
  CString height;      // 1057
  CString beadWidth;   // 1075: inches, or beads across
  CString beadHeight;  // 1076: inches, or beads down
  CString spacer;      // 1077, inches
  int unit = 0;        // 0 inch, 1 cm, 2 mm
  int designIn = kDesignInInches;
  // Beads mode: the bead size chosen in Inches mode (inches), which the
  // counts keep; the size fields then follow from the counts.
  double keptBeadWidth = 0, keptBeadHeight = 0;
};

// A number the field holds: the whole text (spaces around allowed) must be
// a finite decimal number.
bool ParseFieldNumber(const CString& text, double& value);
// A positive number; a positive whole number of beads.
bool ParsePositiveNumber(const CString& text, double& value);
bool ParsePositiveCount(const CString& text, int& value);
// "%.5f"; empty for a value that is not positive.
CString FormatFieldValue(double value);
// Unit conversions of the size fields (inch x 1, cm x 2.54, mm x 25.4; any
// other unit gives 0 / leaves the value).
double FieldUnitsToInches(double value, int unit);
double InchesToFieldUnits(double inches, int unit);
bool IsValidFieldUnit(int unit);

// The length of n beads of a size with spacers between them:
// n x bead + (n - 1) x spacer, so that counting the beads in the length
// gives back n.
double LengthForBeadCount(int count, double bead, double spacer);

// What the page shows while values are typed.
struct CWizSizeInfo {
  double width = 0, height = 0;  // inches
  double spacer = 0;
  bool spacerReset = false;  // the spacer field was not a number: shown as 0
  double beadWidth = 0, beadHeight = 0;
  unsigned columns = 0, rows = 0;
  double actualWidth = 0, actualHeight = 0;
  CString countText;  // field 1080
};

// The grid the fields give. False (nothing read) when the size, the unit or
// a bead field cannot be read; the spacer is read first and never fails.
// On success the record's spacer and bead sizes follow. In Beads mode the
// size fields are not read: the counts and the kept bead size give the
// width and height (which the page then shows in the unit).
bool ComputeSizeInfo(const CWizParamFields& fields, CWizSizeInfo& info, CWizardData* record);
// Reads the size fields into the record in the page's validation order:
// width, height, bead width, bead height (the spacer never fails). Answers 0,
// or the message id of the first failure with the field that takes the
// focus; fields read before the failure are stored. In Beads mode the counts
// come first and the width and height follow from them and the kept bead
// size, which the record keeps.
UINT ReadSizeParameters(const CWizParamFields& fields, CWizardData& record, int& focusId);

// A unit change: both fields converted from the old unit into the new one
// ("%.5f"). False (texts unchanged) when a unit is not valid or a field is
// not a positive number.
bool ConvertSizeUnits(CWizParamFields& fields, int oldUnit, int newUnit);
// Proportions of a picture of w x h pixels: the other field from the one
// changed, "%.5f". False (nothing changed) without a picture size or when
// the source field is not a number.
bool ApplyProportions(CWizParamFields& fields, int pictureWidth, int pictureHeight, bool fromWidth);

// The bead-size list's entry that the page starts with, so that the list and
// the bead fields agree: the preset equal to the record's bead size; for a
// record that never had one chosen (the default size of 1 x 1 inch that no
// preset has) the list's first choice, `fallback`, whose size the fields
// then show; -1 (no entry) for a size of the user's own.
struct CBeadSizeChoice {
  int index = -1;
  bool takePreset = false;  // the record and the fields take the preset's size
};
CBeadSizeChoice ChooseStartBeadSize(const std::vector<std::pair<double, double>>& presets, double beadWidth,
                                    double beadHeight, int fallback);

// The per-mode memory of the bead fields: the texts of 1075 and 1076 of
// each design-in mode, and the bead-size selection of the Inches mode.
class CBeadFieldMemory {
 public:
  explicit CBeadFieldMemory(int mode = kDesignInInches) : mode_(mode) {}
  int GetMode() const { return mode_; }
  void Bind(int mode) { mode_ = mode; }
  // Keeps the texts (and the selection) of the mode being left, then puts
  // back those of the mode entered. The Beads texts start empty; the Inches
  // selection starts at 10.
  void Switch(int newMode, CString& beadWidth, CString& beadHeight, int& sizeSelection);
  // The texts kept for a mode (field 0 across, 1 down).
  const CString& GetText(int mode, int field) const {
    return texts_[mode == kDesignInBeads ? 1 : 0][field == 0 ? 0 : 1];
  }

 private:
  int mode_;
  CString texts_[2][2];
  int inchesSelection_ = 10;
};
