// The few platform services that the settings records (AppSettings,
// GridSettings) call and that are kept apart from the records themselves.
#pragma once

#include "platform/base.h"

namespace settings_glue {

bool FolderExists(const CString& path);
bool CreateFolderPath(const CString& path);
// The screen size in pixels (SM_CXSCREEN, SM_CYSCREEN).
void GetScreenSize(int& width, int& height);

}  // namespace settings_glue
