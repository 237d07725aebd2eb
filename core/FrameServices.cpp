// Program-wide services that need no window: resource texts, the
// compact-layout flag, the line reader, the alert text and the starting flag.
#include "core/FrameServices.h"

#include "platform/base/resource.h"

namespace {
bool g_smallScreen = false;
}  // namespace

bool IsSmallScreen() { return g_smallScreen; }
void SetSmallScreen(bool small) { g_smallScreen = small; }

CString LoadResString(UINT id) {
  CString text;
  if (!LoadResourceString(AfxGetResourceHandle(), id, text)) text.Empty();
  return text;
}

// ---- CStringLineReader ----

bool CStringLineReader::ReadLine(CString& line) {
  const int length = text_.GetLength();
  if (position_ >= length) return false;
  auto isEnd = [&](int i) { return text_[i] == '\r' || text_[i] == '\n'; };
  if (isEnd(position_)) {
    ++position_;
    return false;
  }
  int end = position_;
  while (end < length && !isEnd(end)) ++end;
  line = text_.Mid(position_, end - position_);
  while (end < length && isEnd(end)) ++end;
  position_ = end;
  return true;
}

// ---- Alert text, file title ----

CString MakeStatusAlertText(int kind, const char* text) {
  if (kind != 0 && kind != 1) return CString();
  CString message(text ? text : "");
  if (message.GetLength() > 255) message = message.Left(255);
  CString out;
  out += '\t';
  out += static_cast<char>(kind == 0 ? 1 : 2);
  out += message;
  return out;
}

void GetFileTitleFromPath(const char* path, CString& out) {
  CString name;
  SplitPath(CString(path ? path : ""), nullptr, nullptr, &name, nullptr);
  out = name;
}

// ---- The starting flag ----

namespace {
bool g_appStarting = false;
}  // namespace

bool IsAppStarting() { return g_appStarting; }
void SetAppStarting(bool starting) { g_appStarting = starting; }
