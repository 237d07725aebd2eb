// Files and folders: the Win32 file calls the program makes, over POSIX.
// Paths are CString in the interface code page; they are converted to UTF-8
// for the file system here and nowhere else. Paths are POSIX paths; helpers
// that split paths accept both '/' and '\\' (paths read from stored files may
// carry backslashes). Failures set GetLastError to the Windows error code.
//
// A backslash in a path given to these calls is taken as a folder separator
// (code written for Windows joins paths with "\\"); file names containing a
// backslash cannot be reached through them.
//
// Windows semantics kept on purpose:
// - FILE_ATTRIBUTE_READONLY is the owner's write bit. A read-only file cannot
//   be opened for writing, truncated, replaced or deleted (ERROR_ACCESS_DENIED),
//   even when the process could (as root) on POSIX.
// - Share modes are accepted and not enforced (POSIX has no mandatory locks).
// - FindFirstFile matches names case-insensitively, with '*' and '?', and
//   lists the matches sorted by name (case-insensitively).
#pragma once

#include <functional>
#include <memory>

#include "platform/base/cstring.h"

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

// Access, share and creation values (Windows numbers).
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD GENERIC_EXECUTE = 0x20000000u;
constexpr DWORD GENERIC_ALL = 0x10000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x4;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x100;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000u;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;
constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000u;
constexpr DWORD FILE_FLAG_DELETE_ON_CLOSE = 0x04000000u;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

// More error codes of the file calls.
constexpr LONG ERROR_SHARING_VIOLATION = 32;
constexpr LONG ERROR_NOT_SAME_DEVICE = 17;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_NEGATIVE_SEEK = 131;
constexpr LONG ERROR_FILENAME_EXCED_RANGE = 206;
constexpr LONG ERROR_DIRECTORY = 267;
constexpr LONG ERROR_TOO_MANY_OPEN_FILES = 4;

// The Windows error code for a POSIX errno value.
DWORD ErrnoToWin32Error(int err);

// Kernel-object handles. CloseHandle closes any object registered here; the
// file calls register their files, other parts of the platform may register
// objects of their own kinds.
class CKernelObject {
 public:
  virtual ~CKernelObject() = default;
};
HANDLE RegisterKernelObject(std::shared_ptr<CKernelObject> object);
// The object behind a handle, or null for a closed or unknown handle.
std::shared_ptr<CKernelObject> LookupKernelObject(HANDLE handle);
// FALSE with ERROR_INVALID_HANDLE for null, INVALID_HANDLE_VALUE, unknown or
// already closed handles.
BOOL CloseHandle(HANDLE handle);

// Files.
HANDLE CreateFile(LPCTSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                  DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL GetFileTime(HANDLE file, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);
BOOL FlushFileBuffers(HANDLE file);
BOOL SetEndOfFile(HANDLE file);

// Attributes, copies, moves, deletes.
DWORD GetFileAttributes(LPCTSTR fileName);
// Only FILE_ATTRIBUTE_READONLY changes anything (on files; folders ignore it);
// NORMAL, ARCHIVE, HIDDEN, SYSTEM and TEMPORARY are accepted and ignored.
BOOL SetFileAttributes(LPCTSTR fileName, DWORD attributes);
BOOL DeleteFile(LPCTSTR fileName);
BOOL CopyFile(LPCTSTR existingFileName, LPCTSTR newFileName, BOOL failIfExists);
BOOL MoveFile(LPCTSTR existingFileName, LPCTSTR newFileName);
BOOL MoveFileEx(LPCTSTR existingFileName, LPCTSTR newFileName, DWORD flags);
BOOL CreateDirectory(LPCTSTR pathName, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectory(LPCTSTR pathName);
BOOL PathFileExists(LPCTSTR path);
BOOL PathIsDirectory(LPCTSTR path);

// Folder listing.
struct WIN32_FIND_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
static_assert(sizeof(WIN32_FIND_DATA) == 320);
using WIN32_FIND_DATAA = WIN32_FIND_DATA;
using LPWIN32_FIND_DATA = WIN32_FIND_DATA*;
// pattern: a folder (optional) and a name pattern with '*' and '?'. "*.*"
// matches every name, as on Windows. The folder's "." and ".." are listed when
// they match. INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when nothing
// matches, ERROR_PATH_NOT_FOUND when the folder does not exist.
HANDLE FindFirstFile(LPCTSTR pattern, LPWIN32_FIND_DATA findData);
// FALSE with ERROR_NO_MORE_FILES after the last match.
BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA findData);
BOOL FindClose(HANDLE find);
// Case-insensitive (interface code page) match of one name against a
// pattern with '*' and '?'; "*.*" matches every name.
bool MatchFileNamePattern(const char* name, const char* pattern);

// Program and folders. Results are lengths without the NUL; when the buffer
// is too small, GetTempPath and GetCurrentDirectory return the size needed
// (NUL included) and GetModuleFileName truncates, returns the buffer size and
// sets ERROR_INSUFFICIENT_BUFFER.
// A null module is the executable. Other module handles are resolved by the
// provider set below (the resource packs register theirs); unknown handles
// give 0 with ERROR_MOD_NOT_FOUND.
DWORD GetModuleFileName(HMODULE module, LPTSTR fileName, DWORD size);
void SetModuleFileNameProvider(std::function<bool(HMODULE module, CString& path)> provider);
// $TMPDIR (when it is an existing folder) or /tmp, with a trailing '/'.
DWORD GetTempPath(DWORD size, LPTSTR buffer);
DWORD GetCurrentDirectory(DWORD size, LPTSTR buffer);
BOOL SetCurrentDirectory(LPCTSTR pathName);
// A new unique, empty file "<prefix><hex>.tmp" in pathName (created); the
// full path goes to tempFileName (MAX_PATH bytes). Returns the number used,
// 0 on failure. A non-zero `unique` only forms the name and creates nothing.
UINT GetTempFileName(LPCTSTR pathName, LPCTSTR prefix, UINT unique, LPTSTR tempFileName);

// The executable's folder, without a trailing separator.
CString GetProgramFolder();
// The folder under which the program writes its own folders (designs, undo,
// temporary files, exports): the program folder when it is writable, else
// $XDG_DATA_HOME/Quillmere (~/.local/share/Quillmere by default), created on
// demand. No trailing separator.
CString GetWritableProgramFolder();
// $XDG_DATA_HOME/Quillmere whether or not it exists; no trailing separator.
CString GetUserDataFolder();
// Creates a folder and its missing parents; true when it exists afterwards.
bool CreateFolderTree(const CString& path);

// Path splitting: drive is always empty on POSIX; the folder keeps its
// trailing separator; the extension keeps its dot. Null outputs are skipped.
constexpr int _MAX_PATH = 260;
constexpr int _MAX_DRIVE = 3;
constexpr int _MAX_DIR = 256;
constexpr int _MAX_FNAME = 256;
constexpr int _MAX_EXT = 256;
// Output buffers must hold _MAX_DRIVE, _MAX_DIR, _MAX_FNAME and _MAX_EXT
// bytes; longer parts are cut to fit.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
// drive + dir (a '/' added when it ends with no separator) + fname + ext (a
// '.' added when it has none). path must hold _MAX_PATH bytes; the result is
// cut to fit.
void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext);
// The same with CString and no length limits.
void SplitPath(const CString& path, CString* drive, CString* dir, CString* fname, CString* ext);
CString MakePath(const CString& drive, const CString& dir, const CString& fname, const CString& ext);

// Times. FILETIME counts 100-nanosecond intervals since 1601-01-01 UTC.
void GetLocalTime(SYSTEMTIME* time);
void GetSystemTime(SYSTEMTIME* time);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
// Milliseconds since an arbitrary start (monotonic); GetTickCount wraps.
DWORD GetTickCount();
ULONGLONG GetTickCount64();

// Opens a document or web address with the desktop's handler (xdg-open), or
// starts an executable file with its parameters. operation null, "open" or
// "explore"; the result is > 32 on success, else SE_ERR_* / ERROR_* as on
// Windows (ERROR_FILE_NOT_FOUND for a missing file, SE_ERR_NOASSOC when no
// handler program is found: xdg-open missing, reported on stderr).
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_NOASSOC = 31;
HINSTANCE ShellExecute(HWND owner, LPCTSTR operation, LPCTSTR file, LPCTSTR parameters, LPCTSTR directory,
                       INT showCommand);
// Tests: answers ShellExecute instead of the desktop (null to stop);
// arguments as given, null ones as empty texts.
using QmShellExecuteHook = std::function<HINSTANCE(HWND owner, const char* operation, const char* file,
                                                   const char* parameters, const char* directory, int showCommand)>;
void QmSetShellExecuteHook(QmShellExecuteHook hook);
