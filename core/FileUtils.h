// File and folder utilities used by every level: file and folder tests,
// folder creation, deletion that copes with read-only files, block reads and
// writes that demand every byte, temporary and unique file names. The number
// and text helpers are in core/TextUtils.h.
//
// Paths are POSIX paths in the interface code page. Where the program names
// its own folders (designs, undo, temporary files) they lie under the
// writable program folder (GetWritableProgramFolder).
#pragma once

#include <functional>
#include <string>

#include "platform/base.h"

// The design file extension.
constexpr const char* kDesignExtension = ".qx";

// The folder the program writes its own folders into (no trailing '/'):
// the writable program folder, or the folder set with SetProgramDataFolder
// (tests point it at a temporary folder; empty restores the default).
CString GetProgramDataFolder();
void SetProgramDataFolder(const CString& folder);
// The "Design" folder under it.
CString GetDesignFolder();

// True for an absolute path (the only "drive" on this system is the root).
bool DriveExists(const char* path);
// False for no path or a relative one; "/" is the root and answers true;
// otherwise one trailing separator is removed and the entry must be a folder.
bool FolderExists(const char* path);
// False for no path; the entry must exist and not be a folder.
bool FileExists(const char* path);
// Creation (status change), last access and last write times and the size.
struct CFileStatus {
  FILETIME created{};
  FILETIME accessed{};
  FILETIME modified{};
  ULONGLONG size = 0;
  DWORD attributes = 0;
};
bool GetFileStatus(const char* path, CFileStatus& status);
// Creates every missing folder along the path; false as soon as one cannot
// be created.
bool CreateFolderPath(const char* path);
bool IsReadOnly(const char* path, bool& readOnly);
bool SetReadOnly(const char* path);
bool ClearReadOnly(const char* path);
// True when the file does not exist; otherwise clears a read-only attribute
// first and answers whether the deletion succeeded.
bool RemoveFile(const char* path);
// True only when exactly size bytes move.
bool WriteFileBlock(HANDLE file, const void* data, DWORD size);
bool ReadFileBlock(HANDLE file, void* buffer, DWORD size);
// Reads a whole file into the room `allocate(size)` gives for its bytes
// (null, or a std::bad_alloc it throws, fails the read). False when the
// file cannot be opened, is larger than maxSize, or a byte cannot be read.
bool ReadWholeFile(const char* path, unsigned long long maxSize, const std::function<BYTE*(size_t)>& allocate);
// The same into a buffer with resize(size) and data(), emptied on failure.
template <typename Buffer>
bool ReadWholeFile(const char* path, Buffer& buffer, unsigned long long maxSize) {
  if (ReadWholeFile(path, maxSize, [&buffer](size_t size) {
        buffer.resize(size);
        return buffer.data();
      }))
    return true;
  buffer.resize(0);
  return false;
}
// "<program data folder>/<new UUID><extension>"; the file is not created.
void MakeTempFileName(const char* extension, CString& out);
// 32 lower-case hexadecimal digits in groups 8-4-4-4-12 joined by '-'.
void UuidToCString(const GUID& guid, CString& out);
// A free design-file name: with a name "Name.qx", then "Name <date> #n.qx";
// without one "<date> #n.qx" (date "%B %d"), n up to 1000. The folder falls
// back to the design folder (created when missing); the caller's folder
// string is then set to it. False (empty name) when nothing is free or the
// folder cannot be had.
bool MakeUniqueDesignName(CString& folder, CString& fileName, const char* name);
// The same name formed for a given day (for tests and callers that fix the
// date); `date` is the "%B %d" text.
bool MakeUniqueDesignNameForDate(CString& folder, CString& fileName, const char* name, const char* date);
// A free path in the design folder for the given path's name and extension:
// "name.ext", then "name1.ext" ... "name9999.ext".
bool MakeUniqueDesignFolderPath(const char* path, CString& out);

// The resource string of that id, empty when there is none.
void LoadResStdString(UINT id, std::string& out);
