#include "design/CommonUndo.h"

#include "core/FileUtils.h"
#include "platform/base/files.h"

CCommonUndo::CCommonUndo() : CCommonUndo(GetProgramDataFolder() + "/Undo") {}

CCommonUndo::CCommonUndo(const CString& folder) : folder_(folder) {
  if (!FolderExists(folder_)) CreateDirectory(folder_, nullptr);
  Clear();
}

CCommonUndo::~CCommonUndo() {
  DeleteFiles();
  RemoveDirectory(folder_);
}

void CCommonUndo::Clear() {
  DeleteFiles();
  steps_.clear();
  position_ = 0;
}

void CCommonUndo::DeleteFiles() {
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(folder_ + "/*.*", &data);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<CString> files;
  do {
    const CString path = folder_ + "/" + data.cFileName;
    if (FileExists(path)) files.push_back(path);
  } while (FindNextFile(find, &data));
  FindClose(find);
  for (const CString& path : files) RemoveFile(path);
}
