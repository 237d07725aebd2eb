#include "design/WeaveFormat.h"

#include <climits>
#include <cmath>

#include "platform/base/codepage.h"


unsigned CountBeadsInLength(double length, double bead, double spacer, double* actualLength) {
  if (actualLength) *actualLength = 0.0;
  const double step = spacer + bead;
  if (!(step > 0.0)) return 0;
  const double quotient = (length + spacer) / step;
  if (!std::isfinite(quotient)) return 0;
  const int n = RoundToInt(quotient);
  if (n <= 0) return 0;
  if (actualLength) {
    double actual = static_cast<double>(n) * bead;
    if (n > 1) actual += static_cast<double>(n - 1) * spacer;
    *actualLength = actual;
  }
  return static_cast<unsigned>(n);
}

bool IsPeyoteFormat(int format) { return format >= kFormatPeyote && format <= kFormatPeyote9; }

bool IsPeyoteLikeFormat(int format) { return format == kFormatSacredPeyote || IsPeyoteFormat(format); }

bool IsShiftedColumn(int format, int column) {
  if (!IsPeyoteFormat(format)) return false;
  const int period = 2 * format;
  int m = column % period;
  if (m < 0) m += period;
  return m < format;
}

int RowFormatAt(const CRowFormatArray& runs, int row) {
  if (runs.empty()) return 0;
  long long sum = 0;
  for (const CRowFormat& run : runs) {
    sum += run.rows;
    if (sum > row) return static_cast<int>(run.format);
  }
  return static_cast<int>(runs.back().format);
}

namespace {

struct NamePair {
  const char* en;
  const char* ru;
};

const NamePair kFormatNames[kFormatCount] = {
    {"Loom", "Ткань (loom)"},
    {"Peyote", "Кактус (peyote)"},
    {"2-Peyote", "Кактус-2 (2-peyote)"},
    {"3-Peyote", "Кактус-3 (3-peyote)"},
    {"4-Peyote", "Кактус-4 (4-peyote)"},
    {"5-Peyote", "Кактус-5 (5-peyote)"},
    {"6-Peyote", "Кактус-6 (6-peyote)"},
    {"7-Peyote", "Кактус-7 (7-peyote)"},
    {"8-Peyote", "Кактус-8 (8-peyote)"},
    {"9-Peyote", "Кактус-9 (9-peyote)"},
    {"Brick", "Кирпич (brick)"},
    {"Herringbone", "Шеврон (herringbone)"},
    {"Sacred Brick", "Кирпичый (sacred brick)"},
    {"Sacred Peyotek", "Кактусообразный (sacred peyote)"},
};

const NamePair kStitchPathNames[kStitchPathCount] = {
    {"Nothing", "Нет"},
    {"Right Angle Weave", "Правый угол 1 бусинка (RAW1)"},
    {"RAW (2 beads)", "Правый угол 2 бусинки (RAW2)"},
    {"RAW (3 beads)", "Правый угол 3 бусинки (RAW3)"},
    {"Gilbert Curve (1 bead)", "Линия Гильберта 1 бусинка"},
    {"Gilbert Curve (2 beads)", "Линия Гильберта 2 бусинки"},
    {"Gilbert Curve (3 beads)", "Линия Гильберта 3 бусинки"},
    {"Gospero Curve 1 bead", "Линия Госперо 1 бусинка"},
    {"Gospero Curve 2 beads", "Линия Госперо 2 бусинки"},
    {"Gospero Curve 3 beads", "Линия Госперо 3 бусинки"},
};

// In combo order: Sharp, Classic, Exact, Softened.
const NamePair kColorModeNames[4] = {
    {"Sharp Color", "Контрастно"},
    {"Classic Color", "Классически"},
    {"Exact Color", "Точно"},
    {"Softened Color", "Мягко"},
};

}  // namespace

const char* GetFormatNameUtf8(int format, bool russian) {
  if (format < 0 || format >= kFormatCount) format = kFormatLoom;
  return russian ? kFormatNames[format].ru : kFormatNames[format].en;
}

const char* GetStitchPathNameUtf8(int path, bool russian) {
  if (path < 0 || path >= kStitchPathCount) return nullptr;
  return russian ? kStitchPathNames[path].ru : kStitchPathNames[path].en;
}

const char* GetColorModeNameUtf8(int comboPosition, bool russian) {
  if (comboPosition < 0 || comboPosition >= 4) return nullptr;
  return russian ? kColorModeNames[comboPosition].ru : kColorModeNames[comboPosition].en;
}

int ColorModeFromComboPosition(int position) {
  switch (position) {
    case 0: return kColorModeSharp;
    case 1: return kColorModeClassic;
    case 2: return kColorModeExact;
    case 3: return kColorModeSoftened;
    default: return kColorModeSharp;
  }
}

int ComboPositionFromColorMode(int mode) {
  switch (mode) {
    case kColorModeExact: return 2;
    case kColorModeSoftened: return 3;
    case kColorModeClassic: return 1;
    default: return 0;
  }
}

void UnitsToInches(float& value, int unit) {
  if (unit == kUnitCentimetre) value = static_cast<float>(value / 2.54);
  else if (unit == kUnitMillimetre) value = static_cast<float>(value / 25.4);
}

float InchesToUnits(float inches, int unit) {
  switch (unit) {
    case kUnitInch: return inches;
    case kUnitCentimetre: return static_cast<float>(inches * 2.54);
    case kUnitMillimetre: return static_cast<float>(inches * 2.54 * 10);
    default: return 0.0f;
  }
}

void ScaleToBeadCount(long long budget, int width, int height, int& outWidth, int& outHeight) {
  outWidth = 0;
  outHeight = 0;
  const double area = static_cast<double>(width) * static_cast<double>(height);
  if (!(area > 0.0) || budget <= 0) return;
  const double s = std::sqrt(static_cast<double>(budget) / area);
  const double w = std::trunc(static_cast<double>(width) * s);
  const double h = std::trunc(static_cast<double>(height) * s);
  outWidth = w >= INT_MAX ? INT_MAX : static_cast<int>(w);
  outHeight = h >= INT_MAX ? INT_MAX : static_cast<int>(h);
}
