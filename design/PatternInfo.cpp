// Design information texts and lengths in the interface's unit.
#include "design/PatternInfo.h"

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "design/ColorSource.h"
#include "design/Pattern.h"
#include "lang/ids/base.h"
#include "platform/base/files.h"
#include "settings/AppSettings.h"

namespace {
// A label of the information table (at most 255 characters).
CString Label(UINT id) {
  CString text = LoadResString(id);
  if (text.GetLength() > 255) text = text.Left(255);
  return text;
}
}  // namespace

double CPattern::GetActualWidthInUnits() const { return IsRussianInterface() ? m_actualWidth * 2.54 : m_actualWidth; }

double CPattern::GetActualHeightInUnits() const {
  return IsRussianInterface() ? m_actualHeight * 2.54 : m_actualHeight;
}

CString CPattern::GetDescription() const {
  if (!m_title.IsEmpty()) return m_title;
  CString text;
  if (!m_filePath.IsEmpty()) {
    text.Format(LoadResString(IDS_PATTERN_FROM_FILE), GetPathTitle(m_filePath).GetString());
    return text;
  }
  return LoadResString(IDS_PATTERN_WITHOUT_NAME);
}

void BuildPatternInfoRows(const CPattern& design, IColorSource& palette, bool fullPath, CPatternInfoRows& rows) {
  rows.clear();
  CString value;

  value.Format(LoadResString(IDS_INFO_SIZE_VALUE), design.GetActualWidthInUnits(), design.GetActualHeightInUnits());
  rows.push_back({Label(IDS_INFO_SIZE), value});

  value.Format(LoadResString(IDS_INFO_GRID_VALUE), design.GetColumnCount(), design.GetRowCount());
  rows.push_back({Label(IDS_INFO_GRID), value});

  CString format, path, mask;
  GetFormatName(design.m_format, format);
  GetStitchPathName(design.m_stitchPath, path);
  const int maskIndex = design.m_pathColor - 1;
  if (design.m_pathColor != 0 && maskIndex >= 0 && maskIndex < palette.GetCount())
    mask = palette.GetColorName(maskIndex);
  else
    mask = LoadResString(IDS_INFO_PATH_COLOR_BLANK);
  value.Format(LoadResString(IDS_INFO_FORMAT_VALUE), format.GetString(), path.GetString(), mask.GetString());
  rows.push_back({Label(IDS_INFO_FORMAT), value});

  const int preset = GetAppSettings().FindNearestBeadSize(design.m_beadWidth, design.m_beadHeight) + 1;
  // In the interface's unit, as the size and spacer rows around it.
  const double unit = IsRussianInterface() ? 2.54 : 1.0;
  value.Format(LoadResString(IDS_INFO_BEAD_SIZE_VALUE), design.m_beadWidth * unit, design.m_beadHeight * unit, preset);
  rows.push_back({Label(IDS_INFO_BEAD_SIZE), value});

  value.Format(LoadResString(IDS_INFO_SPACER_VALUE), IsRussianInterface() ? design.m_spacer * 2.54 : design.m_spacer);
  rows.push_back({Label(IDS_INFO_SPACER), value});

  const int beads = palette.CountDesignUsage(design);
  value.Format(LoadResString(IDS_INFO_BEADS_NUMBER_VALUE),
               FormatGroupedNumber(static_cast<unsigned long long>(beads < 0 ? 0 : beads), ' ').GetString());
  rows.push_back({Label(IDS_INFO_BEADS_NUMBER), value});

  if (fullPath) rows.push_back({Label(IDS_INFO_PATH), design.m_filePath});
  else
    rows.push_back({Label(IDS_INFO_FILE), design.m_filePath.IsEmpty() ? CString() : GetPathTitle(design.m_filePath)});
}
