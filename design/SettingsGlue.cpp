#include "design/SettingsGlue.h"

#include <filesystem>
#include <system_error>

namespace settings_glue {

bool IsRussian() { return GetAnsiCodePage() == 1251; }

CString WritableProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return CString(exe.parent_path().string());
}

bool FolderExists(const CString& path) {
  std::error_code ec;
  return !path.IsEmpty() && std::filesystem::is_directory(std::filesystem::path(path.str()), ec);
}

bool CreateFolderPath(const CString& path) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path.str()), ec);
  return FolderExists(path);
}

void GetScreenSize(int& width, int& height) {
  width = 1920;
  height = 1080;
}

bool ReadProgramValue(const char*, std::vector<BYTE>&) { return false; }

bool WriteProgramValue(const char*, const BYTE*, int) { return false; }

}  // namespace settings_glue
