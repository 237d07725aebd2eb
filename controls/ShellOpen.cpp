#include "controls/ShellOpen.h"

#include <cstdint>

#include "core/FrameServices.h"
#include "lang/ids/newcomer.h"
#include "platform/wnd.h"

namespace {

// ShellExecute answers a value above 32 when it succeeded.
bool ShellOpened(HWND owner, const CString& target) {
  const auto answer =
      reinterpret_cast<std::intptr_t>(ShellExecute(owner, "open", target, nullptr, nullptr, SW_SHOWNORMAL));
  return answer > 32;
}

void TellFailure(HWND owner, UINT id, const char* english, const CString& target) {
  CString format = LoadResString(id);
  if (format.IsEmpty()) format = english;
  CString text;
  text.Format(format.GetString(), target.GetString());
  AppMessageBox(text, kMbIconStop, owner);
}

}  // namespace

bool OpenWrittenFile(HWND owner, const CString& path) {
  if (ShellOpened(owner, path)) return true;
  TellFailure(owner, IDS_SHELL_OPEN_WRITTEN_FAILED, "The file has been saved, but no program could open it:\n%s", path);
  return false;
}

bool OpenWebAddress(HWND owner, const CString& address) {
  if (ShellOpened(owner, address)) return true;
  TellFailure(owner, IDS_SHELL_OPEN_PAGE_FAILED, "No web browser could open the page:\n%s", address);
  return false;
}
