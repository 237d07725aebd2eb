// The few services of the platform and of the registry that the settings
// records (AppSettings, GridSettings) call, gathered in one place.
#pragma once

#include <vector>

#include "platform/base.h"

namespace settings_glue {

// The interface language flag (Russian texts and centimetres when true).
bool IsRussian();
// The folder under which the program writes its own folders.
CString WritableProgramFolder();
bool FolderExists(const CString& path);
bool CreateFolderPath(const CString& path);
// The screen size in pixels (SM_CXSCREEN, SM_CYSCREEN).
void GetScreenSize(int& width, int& height);
// Reads the whole binary value of that name under the program key. False
// when the key or the value is missing or cannot be read.
bool ReadProgramValue(const char* valueName, std::vector<BYTE>& bytes);
// Stores the bytes as REG_BINARY under the program key (created when missing).
bool WriteProgramValue(const char* valueName, const BYTE* data, int size);

}  // namespace settings_glue
