#include "core/PathUtils.h"

#include "platform/base/files.h"

CString GetPathFolder(const CString& path) {
  CString folder;
  SplitPath(path, nullptr, &folder, nullptr, nullptr);
  return folder;
}

CString GetPathFileName(const CString& path) {
  CString name, extension;
  SplitPath(path, nullptr, nullptr, &name, &extension);
  return name + extension;
}

CString GetPathTitle(const CString& path) {
  CString name;
  SplitPath(path, nullptr, nullptr, &name, nullptr);
  return name;
}

CString GetPathExtension(const CString& path) {
  CString extension;
  SplitPath(path, nullptr, nullptr, nullptr, &extension);
  return extension;
}
