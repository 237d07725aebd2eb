// File and folder helpers over the platform's file calls.
#include "core/FileUtils.h"

#include <cstdint>
#include <new>

#include "core/FrameServices.h"
#include "platform/base/files.h"
#include "platform/base/msgbox.h"

namespace {
CString g_dataFolderOverride;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// A name taken from a title never leaves its folder.
CString SafeFileName(const char* name) {
  CString out(name);
  out.Replace('/', '_');
  out.Replace('\\', '_');
  return out;
}

// Today as "%B %d" with English month names ("December 09").
CString TodayText() {
  static const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
  SYSTEMTIME now{};
  GetLocalTime(&now);
  CString text;
  const int month = now.wMonth >= 1 && now.wMonth <= 12 ? now.wMonth - 1 : 0;
  text.Format("%s %02d", kMonths[month], static_cast<int>(now.wDay));
  return text;
}

// Settles the design folder: the given one when it exists, else the
// program's "Design" folder, created when missing.
bool SettleDesignFolder(CString& folder) {
  if (!FolderExists(folder)) folder = GetDesignFolder();
  return FolderExists(folder) || CreateFolderPath(folder);
}
}  // namespace

CString GetProgramDataFolder() {
  if (!g_dataFolderOverride.IsEmpty()) return g_dataFolderOverride;
  return GetWritableProgramFolder();
}

void SetProgramDataFolder(const CString& folder) { g_dataFolderOverride = folder; }

CString GetDesignFolder() { return GetProgramDataFolder() + "/Design"; }

bool DriveExists(const char* path) { return path && IsSeparator(path[0]); }

bool FolderExists(const char* path) {
  if (!path || !*path || !DriveExists(path)) return false;
  CString p(path);
  if (p.GetLength() == 1) return true;  // the root
  if (IsSeparator(p[p.GetLength() - 1])) p = p.Left(p.GetLength() - 1);
  const DWORD attributes = GetFileAttributes(p);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const char* path) {
  if (!path || !*path || !DriveExists(path)) return false;
  const DWORD attributes = GetFileAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool GetFileStatus(const char* path, CFileStatus& status) {
  if (!path || !*path) return false;
  const DWORD attributes = GetFileAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  status = CFileStatus();
  status.attributes = attributes;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const bool ok = GetFileTime(file, &status.created, &status.accessed, &status.modified) != 0;
  status.size = (static_cast<ULONGLONG>(high) << 32) | low;
  CloseHandle(file);
  return ok;
}

bool CreateFolderPath(const char* path) {
  if (!path || !*path) return false;
  const CString p(path);
  for (int i = 1; i < p.GetLength(); ++i) {
    if (!IsSeparator(p[i])) continue;
    const CString prefix = p.Left(i);
    if (!FolderExists(prefix) && !CreateDirectory(prefix, nullptr) && !FolderExists(prefix)) return false;
  }
  if (!FolderExists(p) && !CreateDirectory(p, nullptr) && !FolderExists(p)) return false;
  return true;
}

bool IsReadOnly(const char* path, bool& readOnly) {
  const DWORD attributes = path ? GetFileAttributes(path) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return true;
}

bool SetReadOnly(const char* path) {
  const DWORD attributes = path ? GetFileAttributes(path) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return SetFileAttributes(path, attributes | FILE_ATTRIBUTE_READONLY) != 0;
}

bool ClearReadOnly(const char* path) {
  const DWORD attributes = path ? GetFileAttributes(path) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return SetFileAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

bool RemoveFile(const char* path) {
  if (!path || !*path) return true;
  const DWORD attributes = GetFileAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !ClearReadOnly(path)) return false;
  return DeleteFile(path) != 0;
}

bool WriteFileBlock(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool ReadFileBlock(HANDLE file, void* buffer, DWORD size) {
  DWORD read = 0;
  return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

bool ReadWholeFile(const char* path, unsigned long long maxSize, const std::function<BYTE*(size_t)>& allocate) {
  if (!path || !*path) return false;
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const unsigned long long size = (static_cast<unsigned long long>(high) << 32) | low;
  bool ok = !(low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) && size <= maxSize &&
            size <= static_cast<unsigned long long>(SIZE_MAX);
  BYTE* room = nullptr;
  if (ok) {
    try {
      room = allocate(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
      room = nullptr;
    }
    ok = room != nullptr || size == 0;
  }
  for (unsigned long long done = 0; ok && done < size;) {
    const unsigned long long left = size - done;
    const DWORD piece = left < 0x40000000ull ? static_cast<DWORD>(left) : 0x40000000u;
    DWORD got = 0;
    if (!ReadFile(file, room + done, piece, &got, nullptr) || got == 0) ok = false;
    done += got;
  }
  CloseHandle(file);
  return ok;
}

void MakeTempFileName(const char* extension, CString& out) {
  GUID guid{};
  CoCreateGuid(&guid);
  CString uuid;
  UuidToCString(guid, uuid);
  out = GetProgramDataFolder() + "/" + uuid + (extension ? extension : "");
}

bool MakeUniqueDesignNameForDate(CString& folder, CString& fileName, const char* name, const char* date) {
  fileName.Empty();
  if (!SettleDesignFolder(folder)) return false;
  const bool named = name && *name;
  const CString safe = named ? SafeFileName(name) : CString();
  for (int n = 1; n <= 1000; ++n) {
    CString candidate;
    if (named && n == 1) candidate.Format("%s%s", safe.GetString(), kDesignExtension);
    else if (named) candidate.Format("%s %s #%d%s", safe.GetString(), date, n, kDesignExtension);
    else candidate.Format("%s #%d%s", date, n, kDesignExtension);
    if (!FileExists(folder + "/" + candidate)) {
      fileName = candidate;
      return true;
    }
  }
  return false;
}

bool MakeUniqueDesignName(CString& folder, CString& fileName, const char* name) {
  return MakeUniqueDesignNameForDate(folder, fileName, name, TodayText());
}

bool MakeUniqueDesignFolderPath(const char* path, CString& out) {
  CString folder;
  if (!SettleDesignFolder(folder)) return false;
  CString name, extension;
  SplitPath(CString(path), nullptr, nullptr, &name, &extension);
  for (int i = 0; i <= 9999; ++i) {
    CString candidate;
    if (i == 0) candidate.Format("%s/%s%s", folder.GetString(), name.GetString(), extension.GetString());
    else candidate.Format("%s/%s%d%s", folder.GetString(), name.GetString(), i, extension.GetString());
    if (!FileExists(candidate)) {
      out = candidate;
      return true;
    }
  }
  return false;
}

void LoadResStdString(UINT id, std::string& out) {
  const CString text = LoadResString(id);
  out = text.str().substr(0, 255);
}
