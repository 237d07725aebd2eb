// Message boxes captioned with the program's title.
#include "core/FrameServices.h"
#include "lang/ids/base.h"
#include "platform/base/msgbox.h"

namespace {
HWND g_mainWindow = nullptr;
}

void SetMainWindowHandle(HWND window) { g_mainWindow = window; }

int AppMessageBox(const char* text, UINT type, HWND owner) {
  const CString caption = LoadResString(IDS_APP_TITLE);
  return MessageBox(owner ? owner : g_mainWindow, text ? text : "", caption, type);
}

int AppMessageBoxId(UINT id, UINT type, HWND owner) { return AppMessageBox(LoadResString(id), type, owner); }
