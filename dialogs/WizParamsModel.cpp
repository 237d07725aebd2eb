#include "dialogs/WizParamsModel.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "core/TextUtils.h"
#include "design/WeaveFormat.h"
#include "dialogs/WizardData.h"
#include "lang/ids/controls.h"
#include "lang/ids/wizard.h"
#include "lang/ids/file.h"

bool ParseFieldNumber(const CString& text, double& value) {
  CString t = text;
  t.Trim();
  if (t.IsEmpty()) return false;
  const char* begin = t.GetString();
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(begin, &end);
  if (end == begin || *end != '\0' || errno == ERANGE || !std::isfinite(v)) return false;
  // Decimal texts only: no hexadecimal, infinities or exponents typed by
  // accident.
  for (const char* p = begin; *p; ++p) {
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+')) return false;
  }
  value = v;
  return true;
}

bool ParsePositiveNumber(const CString& text, double& value) {
  double v = 0;
  if (!ParseFieldNumber(text, v) || !(v > 0)) return false;
  value = v;
  return true;
}

bool ParsePositiveCount(const CString& text, int& value) {
  CString t = text;
  t.Trim();
  if (t.IsEmpty() || t.GetLength() > 9) return false;
  for (int i = 0; i < t.GetLength(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
  }
  const int v = std::atoi(t.GetString());
  if (v <= 0) return false;
  value = v;
  return true;
}

CString FormatFieldValue(double value) {
  CString text;
  if (value > 0) text.Format("%.5f", value);
  return text;
}

bool IsValidFieldUnit(int unit) { return unit == kUnitInch || unit == kUnitCentimetre || unit == kUnitMillimetre; }

double FieldUnitsToInches(double value, int unit) {
  if (unit == kUnitCentimetre) return value / 2.54;
  if (unit == kUnitMillimetre) return value / 25.4;
  return value;
}

double InchesToFieldUnits(double inches, int unit) {
  switch (unit) {
    case kUnitInch: return inches;
    case kUnitCentimetre: return inches * 2.54;
    case kUnitMillimetre: return inches * 25.4;
    default: return 0.0;
  }
}

double LengthForBeadCount(int count, double bead, double spacer) {
  if (count <= 0) return 0.0;
  return count * bead + (count - 1) * spacer;
}

CBeadSizeChoice ChooseStartBeadSize(const std::vector<std::pair<double, double>>& presets, double beadWidth,
                                    double beadHeight, int fallback) {
  CBeadSizeChoice choice;
  // Presets are kept as float32: equal within their precision.
  const auto same = [](double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); };
  for (size_t i = 0; i < presets.size(); ++i)
    if (same(presets[i].first, beadWidth) && same(presets[i].second, beadHeight)) {
      choice.index = static_cast<int>(i);
      return choice;
    }
  if (beadWidth == 1.0 && beadHeight == 1.0 && !presets.empty()) {
    choice.index = std::clamp(fallback, 0, static_cast<int>(presets.size()) - 1);
    choice.takePreset = true;
  }
  return choice;
}

namespace {

// The spacer: a number of zero or more, else 0.
double ReadSpacer(const CString& text, bool& reset) {
  double s = 0;
  reset = !ParseFieldNumber(text, s) || s < 0;
  return reset ? 0.0 : s;
}

bool ReadSize(const CString& text, int unit, double& inches) {
  double v = 0;
  if (!IsValidFieldUnit(unit) || !ParsePositiveNumber(text, v)) return false;
  inches = FieldUnitsToInches(v, unit);
  return inches > 0;
}

// One bead size of Inches mode: a positive number.
bool ReadBeadSize(const CString& text, double& size) { return ParsePositiveNumber(text, size); }

// One count of Beads mode with the kept bead size: the length it takes.
bool ReadBeadCount(const CString& text, double keptBead, double spacer, double& bead, double& length) {
  int n = 0;
  if (!ParsePositiveCount(text, n) || !(keptBead > 0)) return false;
  bead = keptBead;
  length = LengthForBeadCount(n, keptBead, spacer);
  return length > 0 && std::isfinite(length);
}

CString TrimmedSize(double value) {
  CString text;
  text.Format("%.5f", value);
  TrimDecimalZeros(text);
  return text;
}

}  // namespace

bool ComputeSizeInfo(const CWizParamFields& fields, CWizSizeInfo& info, CWizardData* record) {
  CWizSizeInfo r;
  const bool beads = fields.designIn == kDesignInBeads;
  if (!beads && (!ReadSize(fields.width, fields.unit, r.width) || !ReadSize(fields.height, fields.unit, r.height)))
    return false;
  if (beads && !IsValidFieldUnit(fields.unit)) return false;
  r.spacer = ReadSpacer(fields.spacer, r.spacerReset);
  if (record) record->m_params.m_spacer = r.spacer;
  const bool read =
      beads ? ReadBeadCount(fields.beadWidth, fields.keptBeadWidth, r.spacer, r.beadWidth, r.width) &&
                  ReadBeadCount(fields.beadHeight, fields.keptBeadHeight, r.spacer, r.beadHeight, r.height)
            : ReadBeadSize(fields.beadWidth, r.beadWidth) && ReadBeadSize(fields.beadHeight, r.beadHeight);
  if (!read) {
    info.spacer = r.spacer;
    info.spacerReset = r.spacerReset;
    return false;
  }
  if (record) {
    record->m_params.m_beadWidth = r.beadWidth;
    record->m_params.m_beadHeight = r.beadHeight;
  }
  r.columns = CountBeadsInLength(r.width, r.beadWidth, r.spacer, &r.actualWidth);
  r.rows = CountBeadsInLength(r.height, r.beadHeight, r.spacer, &r.actualHeight);
  if (beads) {
    r.countText = TrimmedSize(r.beadWidth) + " x " + TrimmedSize(r.beadHeight);
  } else {
    r.countText = FormatGroupedNumber(static_cast<unsigned long long>(r.columns) * r.rows, ' ');
  }
  info = r;
  return true;
}

UINT ReadSizeParameters(const CWizParamFields& fields, CWizardData& record, int& focusId) {
  bool reset = false;
  const double s = ReadSpacer(fields.spacer, reset);
  double w = 0, h = 0, bw = 0, bh = 0;
  if (fields.designIn == kDesignInBeads) {
    // The counts with the kept bead size give the size.
    if (!ReadBeadCount(fields.beadWidth, fields.keptBeadWidth, s, bw, w)) {
      focusId = kIdcWizBeadWidth;
      return IDS_WIZ_WRONG_BEAD_COUNT_WIDTH;
    }
    record.m_params.m_width = w;
    record.m_params.m_beadWidth = bw;
    if (!ReadBeadCount(fields.beadHeight, fields.keptBeadHeight, s, bh, h)) {
      focusId = kIdcWizBeadHeight;
      return IDS_WIZ_WRONG_BEAD_COUNT_HEIGHT;
    }
    record.m_params.m_height = h;
    record.m_params.m_beadHeight = bh;
    record.m_params.m_spacer = s;
    focusId = 0;
    return 0;
  }
  if (!ReadSize(fields.width, fields.unit, w)) {
    focusId = kIdcWizWidth;
    return IDS_WIZ_WRONG_WIDTH;
  }
  record.m_params.m_width = w;
  if (!ReadSize(fields.height, fields.unit, h)) {
    focusId = kIdcWizHeight;
    return IDS_WIZ_WRONG_HEIGHT;
  }
  record.m_params.m_height = h;
  if (!ReadBeadSize(fields.beadWidth, bw)) {
    focusId = kIdcWizBeadWidth;
    return IDS_WRONG_BEAD_WIDTH;
  }
  record.m_params.m_beadWidth = bw;
  if (!ReadBeadSize(fields.beadHeight, bh)) {
    focusId = kIdcWizBeadHeight;
    return IDS_WRONG_BEAD_HEIGHT;
  }
  record.m_params.m_beadHeight = bh;
  record.m_params.m_spacer = s;
  focusId = 0;
  return 0;
}

bool ConvertSizeUnits(CWizParamFields& fields, int oldUnit, int newUnit) {
  if (!IsValidFieldUnit(oldUnit) || !IsValidFieldUnit(newUnit)) return false;
  double w = 0, h = 0;
  if (!ParsePositiveNumber(fields.width, w) || !ParsePositiveNumber(fields.height, h)) return false;
  fields.width = FormatFieldValue(InchesToFieldUnits(FieldUnitsToInches(w, oldUnit), newUnit));
  fields.height = FormatFieldValue(InchesToFieldUnits(FieldUnitsToInches(h, oldUnit), newUnit));
  fields.unit = newUnit;
  return true;
}

bool ApplyProportions(CWizParamFields& fields, int pictureWidth, int pictureHeight, bool fromWidth) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return false;
  double v = 0;
  if (fromWidth) {
    if (!ParseFieldNumber(fields.width, v)) return false;
    fields.height.Format("%.5f", v * pictureHeight / pictureWidth);
  } else {
    if (!ParseFieldNumber(fields.height, v)) return false;
    fields.width.Format("%.5f", v * pictureWidth / pictureHeight);
  }
  return true;
}

void CBeadFieldMemory::Switch(int newMode, CString& beadWidth, CString& beadHeight, int& sizeSelection) {
  const int old = mode_ == kDesignInBeads ? 1 : 0;
  texts_[old][0] = beadWidth;
  texts_[old][1] = beadHeight;
  if (old == 0) inchesSelection_ = sizeSelection;
  mode_ = newMode == kDesignInBeads ? kDesignInBeads : kDesignInInches;
  const int now = mode_ == kDesignInBeads ? 1 : 0;
  beadWidth = texts_[now][0];
  beadHeight = texts_[now][1];
  if (now == 0) sizeSelection = inchesSelection_;
}
