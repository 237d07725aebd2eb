#include "controls/VersionText.h"

#include "core/DialogServices.h"
#include "core/FrameServices.h"
#include "lang/ids/controls.h"

CString ExtractVersionNumber(const CString& description) {
  const int length = description.GetLength();
  int first = 0;
  while (first < length && !(description[first] >= '0' && description[first] <= '9')) ++first;
  if (first >= length) return "?.?";
  int end = first;
  while (end < length && description[end] != ' ') ++end;
  if (end >= length) return "?.?";
  return description.Mid(first, end - first);
}

void FormatVersionText(CString& out) {
  CString date;
  GetBuildDateText(date);
  const CString version = ExtractVersionNumber(LoadResString(IDS_DOCUMENT_DESCRIPTION));
  out.Format(LoadResString(IDS_VERSION_FORMAT).GetString(), version.GetString(), date.GetString());
}
