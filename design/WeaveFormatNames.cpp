// Names of formats and stitch paths in the interface language.
#include "core/Registry.h"
#include "design/WeaveFormat.h"
#include "platform/base/codepage.h"

namespace {
CString InInterfaceLanguage(const char* en, const char* ru) {
  if (IsRussianInterface()) return CString(Utf8ToCodePage(ru, 1251));
  return CString(en);
}
}  // namespace

void GetFormatName(int format, CString& out) {
  out = InInterfaceLanguage(GetFormatNameUtf8(format, false), GetFormatNameUtf8(format, true));
}

void GetStitchPathName(int path, CString& out) {
  if (path < 0 || path >= kStitchPathCount) return;
  out = InInterfaceLanguage(GetStitchPathNameUtf8(path, false), GetStitchPathNameUtf8(path, true));
}
