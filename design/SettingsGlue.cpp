#include "design/SettingsGlue.h"

#include "platform/base/files.h"

namespace settings_glue {

bool FolderExists(const CString& path) { return !path.IsEmpty() && PathIsDirectory(path); }

bool CreateFolderPath(const CString& path) { return CreateFolderTree(path); }

void GetScreenSize(int& width, int& height) {
  width = 1920;
  height = 1080;
}

}  // namespace settings_glue
