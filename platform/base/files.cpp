#include "platform/base/files.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "platform/base/codepage.h"

namespace {

// ---- paths -----------------------------------------------------------------

// A program path (code page, either separator) as a file-system path.
std::string FsPath(LPCTSTR path) {
  std::string s = ToUtf8(CString(path));
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

CString FromFs(const std::string& utf8) { return FromUtf8(utf8); }

std::string ParentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsDir(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// FALSE/INVALID results set the error through these.
BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// ERROR_FILE_NOT_FOUND when the folder exists, ERROR_PATH_NOT_FOUND when not.
DWORD NotFoundError(const std::string& path) {
  return IsDir(ParentOf(path)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD ErrorFor(int err, const std::string& path) {
  if (err == ENOENT) return NotFoundError(path);
  return ErrnoToWin32Error(err);
}

bool ReadOnlyMode(mode_t mode) { return !S_ISDIR(mode) && (mode & S_IWUSR) == 0; }

// ---- times ------------------------------------------------------------------

constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
constexpr long long kTicksPerSecond = 10000000LL;

FILETIME MakeFileTime(unsigned long long ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

unsigned long long Ticks(const FILETIME& ft) {
  return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME FileTimeFromTimespec(const timespec& ts) {
  const long long secs = static_cast<long long>(ts.tv_sec) + kSecondsFrom1601To1970;
  if (secs < 0) return MakeFileTime(0);
  return MakeFileTime(static_cast<unsigned long long>(secs) * kTicksPerSecond +
                      static_cast<unsigned long long>(ts.tv_nsec / 100));
}

DWORD AttributesFromStat(const struct stat& st, const std::string& name) {
  DWORD a = 0;
  if (S_ISDIR(st.st_mode)) a |= FILE_ATTRIBUTE_DIRECTORY;
  if (ReadOnlyMode(st.st_mode)) a |= FILE_ATTRIBUTE_READONLY;
  if (name.size() > 1 && name[0] == '.' && name != "..") a |= FILE_ATTRIBUTE_HIDDEN;
  return a ? a : FILE_ATTRIBUTE_NORMAL;
}

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const size_t slash = p.find_last_of('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

// ---- handles ----------------------------------------------------------------

struct HandleTable {
  std::mutex mutex;
  std::map<std::uintptr_t, std::shared_ptr<CKernelObject>> objects;
  std::uintptr_t next = 0x1000;
};

HandleTable& Handles() {
  static HandleTable* table = new HandleTable;  // lives to the very end
  return *table;
}

class FileObject : public CKernelObject {
 public:
  FileObject(int fd, bool canRead, bool canWrite, std::string path, bool deleteOnClose)
      : fd_(fd), canRead_(canRead), canWrite_(canWrite), path_(std::move(path)), deleteOnClose_(deleteOnClose) {}
  ~FileObject() override {
    ::close(fd_);
    if (deleteOnClose_) ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  bool canRead() const { return canRead_; }
  bool canWrite() const { return canWrite_; }

 private:
  int fd_;
  bool canRead_;
  bool canWrite_;
  std::string path_;
  bool deleteOnClose_;
};

struct FindEntry {
  CString name;
  DWORD attributes;
  unsigned long long size;
  FILETIME creation, access, write;
};

class FindObject : public CKernelObject {
 public:
  std::vector<FindEntry> entries;
  size_t next = 0;
};

std::shared_ptr<FileObject> FileFromHandle(HANDLE h) {
  auto file = std::dynamic_pointer_cast<FileObject>(LookupKernelObject(h));
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

void FillFindData(const FindEntry& e, WIN32_FIND_DATA* fd) {
  std::memset(fd, 0, sizeof *fd);
  fd->dwFileAttributes = e.attributes;
  fd->ftCreationTime = e.creation;
  fd->ftLastAccessTime = e.access;
  fd->ftLastWriteTime = e.write;
  fd->nFileSizeHigh = static_cast<DWORD>(e.size >> 32);
  fd->nFileSizeLow = static_cast<DWORD>(e.size & 0xFFFFFFFFu);
  std::memcpy(fd->cFileName, e.name.GetString(), static_cast<size_t>(e.name.GetLength()));
}

// Copies text into a caller's buffer the way GetTempPath does: the length
// on success, the size needed (NUL included) when it does not fit.
DWORD CopyOutOrNeed(const std::string& text, LPTSTR buffer, DWORD size) {
  if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<DWORD>(text.size());
}

std::mutex g_moduleMutex;
std::function<bool(HMODULE, CString&)> g_moduleProvider;

std::string ExecutablePath() {
  std::string buf(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return std::string();
  buf.resize(static_cast<size_t>(n));
  // A program rebuilt while it runs shows its old file as deleted.
  const std::string deleted = " (deleted)";
  if (buf.size() > deleted.size() && buf.compare(buf.size() - deleted.size(), deleted.size(), deleted) == 0)
    buf.resize(buf.size() - deleted.size());
  return buf;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_dir;
  return "/";
}

int WriteAllBytes(int fd, const char* data, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += w;
    n -= static_cast<size_t>(w);
  }
  return 0;
}

// Copies src's bytes, mode and times into a new temporary file beside dst and
// renames it over dst (or beside it when dst must not be replaced).
DWORD CopyFileBytes(const std::string& src, const std::string& dst, bool replace) {
  const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return ErrorFor(errno, src);
  struct stat st;
  if (::fstat(in, &st) != 0) {
    const int e = errno;
    ::close(in);
    return ErrnoToWin32Error(e);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(in);
    return ERROR_ACCESS_DENIED;
  }
  static std::atomic<unsigned> counter{0};
  const std::string tmp = ParentOf(dst) + "/." + BaseName(dst) + ".qmcopy-" + std::to_string(::getpid()) + "-" +
                          std::to_string(counter++);
  const int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    const int e = errno;
    ::close(in);
    return ErrorFor(e, dst);
  }
  int err = 0;
  std::vector<char> buf(1 << 16);
  for (;;) {
    const ssize_t r = ::read(in, buf.data(), buf.size());
    if (r < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (r == 0) break;
    if ((err = WriteAllBytes(out, buf.data(), static_cast<size_t>(r))) != 0) break;
  }
  ::close(in);
  if (!err) {
    ::fchmod(out, st.st_mode & 07777);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
  }
  if (::close(out) != 0 && !err) err = errno;
  if (!err) {
    const int r = replace ? ::rename(tmp.c_str(), dst.c_str())
                          : ::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE);
    if (r != 0) err = errno;
    if (r != 0 && !replace && err == EINVAL) {
      // The file system cannot refuse to replace while renaming: link instead.
      err = ::link(tmp.c_str(), dst.c_str()) == 0 ? 0 : errno;
    }
  }
  ::unlink(tmp.c_str());
  if (err == EEXIST) return ERROR_FILE_EXISTS;
  return err ? ErrorFor(err, dst) : 0;
}

// Splits "a b "c d"" into words, double quotes grouping.
QStringList SplitParameters(const std::string& params) {
  QStringList out;
  QString cur;
  bool quoted = false, any = false;
  const QString text = QString::fromStdString(params);
  for (const QChar ch : text) {
    if (ch == u'"') {
      quoted = !quoted;
      any = true;
    } else if (ch.isSpace() && !quoted) {
      if (any) out << cur;
      cur.clear();
      any = false;
    } else {
      cur += ch;
      any = true;
    }
  }
  if (any) out << cur;
  return out;
}

bool LooksLikeProgram(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char head[4] = {};
  const ssize_t n = ::read(fd, head, sizeof head);
  ::close(fd);
  return (n >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0) || (n >= 2 && head[0] == '#' && head[1] == '!');
}

HINSTANCE ShellResult(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(code)); }

}  // namespace

// ---- errors and handles ----------------------------------------------------

DWORD ErrnoToWin32Error(int err) {
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EIO: return ERROR_READ_FAULT;
    case ENOTSUP: return ERROR_NOT_SUPPORTED;
    default: return ERROR_ACCESS_DENIED;
  }
}

HANDLE RegisterKernelObject(std::shared_ptr<CKernelObject> object) {
  if (!object) return INVALID_HANDLE_VALUE;
  HandleTable& t = Handles();
  std::lock_guard<std::mutex> lock(t.mutex);
  const std::uintptr_t id = t.next;
  t.next += 4;
  t.objects.emplace(id, std::move(object));
  return reinterpret_cast<HANDLE>(id);
}

std::shared_ptr<CKernelObject> LookupKernelObject(HANDLE handle) {
  HandleTable& t = Handles();
  std::lock_guard<std::mutex> lock(t.mutex);
  const auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<CKernelObject> object;
  {
    HandleTable& t = Handles();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.objects.end()) return Fail(ERROR_INVALID_HANDLE);
    object = std::move(it->second);
    t.objects.erase(it);
  }
  object.reset();  // closed outside the table's lock
  return TRUE;
}

// ---- files --------------------------------------------------------------------

HANDLE CreateFile(LPCTSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                  DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = FsPath(fileName);
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const bool canRead = (desiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
  const bool canWrite = (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  auto fail = [](DWORD e) {
    SetLastError(e);
    return INVALID_HANDLE_VALUE;
  };
  if (exists && S_ISDIR(st.st_mode)) return fail(ERROR_ACCESS_DENIED);

  int flags = O_CLOEXEC;
  bool truncates = false;
  switch (creationDisposition) {
    case CREATE_NEW:
      if (exists) return fail(ERROR_FILE_EXISTS);
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      truncates = true;
      break;
    case OPEN_EXISTING:
      if (!exists) return fail(NotFoundError(path));
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      if (!canWrite) return fail(ERROR_INVALID_PARAMETER);
      if (!exists) return fail(NotFoundError(path));
      flags |= O_TRUNC;
      truncates = true;
      break;
    default:
      return fail(ERROR_INVALID_PARAMETER);
  }
  if (exists && (canWrite || truncates) && ReadOnlyMode(st.st_mode)) return fail(ERROR_ACCESS_DENIED);

  // Truncating needs a writable descriptor even when the caller only reads;
  // the handle's own access flags still govern ReadFile and WriteFile.
  flags |= canWrite ? (canRead ? O_RDWR : O_WRONLY) : (truncates ? O_RDWR : O_RDONLY);
  const mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  const int fd = ::open(path.c_str(), flags, mode);
  if (fd < 0) return fail(ErrorFor(errno, path));
  const HANDLE h = RegisterKernelObject(std::make_shared<FileObject>(
      fd, canRead, canWrite, path, (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0));
  const bool reportsExisting = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
  SetLastError(reportsExisting && exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return h;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
  if (bytesRead) *bytesRead = 0;
  const auto f = FileFromHandle(file);
  if (!f) return FALSE;
  if (overlapped) return Fail(ERROR_NOT_SUPPORTED);
  if (!f->canRead()) return Fail(ERROR_ACCESS_DENIED);
  if (!buffer && bytesToRead) return Fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  while (done < bytesToRead) {
    const ssize_t r = ::read(f->fd(), static_cast<char*>(buffer) + done, bytesToRead - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      if (bytesRead) *bytesRead = done;
      return Fail(ErrnoToWin32Error(errno));
    }
    if (r == 0) break;
    done += static_cast<DWORD>(r);
  }
  if (bytesRead) *bytesRead = done;
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped) {
  if (bytesWritten) *bytesWritten = 0;
  const auto f = FileFromHandle(file);
  if (!f) return FALSE;
  if (overlapped) return Fail(ERROR_NOT_SUPPORTED);
  if (!f->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  if (!buffer && bytesToWrite) return Fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  while (done < bytesToWrite) {
    const ssize_t w = ::write(f->fd(), static_cast<const char*>(buffer) + done, bytesToWrite - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      if (bytesWritten) *bytesWritten = done;
      return Fail(ErrnoToWin32Error(errno));
    }
    done += static_cast<DWORD>(w);
  }
  if (bytesWritten) *bytesWritten = done;
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod) {
  const auto f = FileFromHandle(file);
  if (!f) return INVALID_SET_FILE_POINTER;
  long long offset = distanceHigh ? static_cast<long long>((static_cast<unsigned long long>(
                                                               static_cast<DWORD>(*distanceHigh))
                                                           << 32) |
                                                          static_cast<DWORD>(distance))
                                  : static_cast<long long>(distance);
  off_t base = 0;
  if (moveMethod == FILE_CURRENT) {
    base = ::lseek(f->fd(), 0, SEEK_CUR);
  } else if (moveMethod == FILE_END) {
    struct stat st;
    base = ::fstat(f->fd(), &st) == 0 ? st.st_size : -1;
  } else if (moveMethod != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (base < 0) {
    SetLastError(ErrnoToWin32Error(errno));
    return INVALID_SET_FILE_POINTER;
  }
  const long long target = static_cast<long long>(base) + offset;
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (!distanceHigh && target > 0xFFFFFFFELL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  const off_t pos = ::lseek(f->fd(), static_cast<off_t>(target), SEEK_SET);
  if (pos < 0) {
    SetLastError(ErrnoToWin32Error(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<unsigned long long>(pos) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(static_cast<unsigned long long>(pos) & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
  const auto f = FileFromHandle(file);
  if (!f) return INVALID_FILE_SIZE;
  struct stat st;
  if (::fstat(f->fd(), &st) != 0) {
    SetLastError(ErrnoToWin32Error(errno));
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<unsigned long long>(st.st_size);
  if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL GetFileTime(HANDLE file, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  const auto f = FileFromHandle(file);
  if (!f) return FALSE;
  struct stat st;
  if (::fstat(f->fd(), &st) != 0) return Fail(ErrnoToWin32Error(errno));
  if (creation) *creation = FileTimeFromTimespec(st.st_mtim);
  if (lastAccess) *lastAccess = FileTimeFromTimespec(st.st_atim);
  if (lastWrite) *lastWrite = FileTimeFromTimespec(st.st_mtim);
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
  const auto f = FileFromHandle(file);
  if (!f) return FALSE;
  if (::fsync(f->fd()) != 0) return Fail(ErrnoToWin32Error(errno));
  return TRUE;
}

BOOL SetEndOfFile(HANDLE file) {
  const auto f = FileFromHandle(file);
  if (!f) return FALSE;
  if (!f->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  const off_t pos = ::lseek(f->fd(), 0, SEEK_CUR);
  if (pos < 0 || ::ftruncate(f->fd(), pos) != 0) return Fail(ErrnoToWin32Error(errno));
  return TRUE;
}

// ---- attributes, copies, moves ------------------------------------------------

DWORD GetFileAttributes(LPCTSTR fileName) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  const std::string path = FsPath(fileName);
  struct stat st;
  if (path.empty() || (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0)) {
    SetLastError(path.empty() ? ERROR_PATH_NOT_FOUND : ErrorFor(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesFromStat(st, BaseName(path));
}

BOOL SetFileAttributes(LPCTSTR fileName, DWORD attributes) {
  if (!fileName || attributes == INVALID_FILE_ATTRIBUTES) return Fail(ERROR_INVALID_PARAMETER);
  const std::string path = FsPath(fileName);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return Fail(ErrorFor(errno, path));
  if (S_ISDIR(st.st_mode)) return TRUE;
  mode_t mode = st.st_mode & 07777;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else if (ReadOnlyMode(st.st_mode))
    mode |= S_IWUSR;
  if (mode != (st.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0) return Fail(ErrnoToWin32Error(errno));
  return TRUE;
}

BOOL DeleteFile(LPCTSTR fileName) {
  if (!fileName) return Fail(ERROR_INVALID_PARAMETER);
  const std::string path = FsPath(fileName);
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return Fail(ErrorFor(errno, path));
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!S_ISLNK(st.st_mode) && ReadOnlyMode(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(path.c_str()) != 0) return Fail(ErrorFor(errno, path));
  return TRUE;
}

BOOL CopyFile(LPCTSTR existingFileName, LPCTSTR newFileName, BOOL failIfExists) {
  if (!existingFileName || !newFileName) return Fail(ERROR_INVALID_PARAMETER);
  const std::string src = FsPath(existingFileName);
  const std::string dst = FsPath(newFileName);
  struct stat ss, ds;
  if (::stat(src.c_str(), &ss) != 0) return Fail(ErrorFor(errno, src));
  if (S_ISDIR(ss.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (::stat(dst.c_str(), &ds) == 0) {
    if (failIfExists) return Fail(ERROR_FILE_EXISTS);
    if (ss.st_dev == ds.st_dev && ss.st_ino == ds.st_ino) return Fail(ERROR_SHARING_VIOLATION);
    if (S_ISDIR(ds.st_mode) || ReadOnlyMode(ds.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  }
  const DWORD e = CopyFileBytes(src, dst, !failIfExists);
  if (e) return Fail(e);
  return TRUE;
}

BOOL MoveFileEx(LPCTSTR existingFileName, LPCTSTR newFileName, DWORD flags) {
  if (!existingFileName || !newFileName) return Fail(ERROR_INVALID_PARAMETER);
  const std::string src = FsPath(existingFileName);
  const std::string dst = FsPath(newFileName);
  const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  struct stat ss, ds;
  if (::lstat(src.c_str(), &ss) != 0) return Fail(ErrorFor(errno, src));
  if (src == dst) return TRUE;
  if (::lstat(dst.c_str(), &ds) == 0) {
    if (!replace) return Fail(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(ds.st_mode) || (!S_ISLNK(ds.st_mode) && ReadOnlyMode(ds.st_mode))) return Fail(ERROR_ACCESS_DENIED);
  }
  int r = replace ? ::rename(src.c_str(), dst.c_str())
                  : ::renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE);
  if (r != 0 && !replace && errno == EINVAL) {
    // No atomic "do not replace" here: check, then rename.
    r = ::lstat(dst.c_str(), &ds) == 0 ? (errno = EEXIST, -1) : ::rename(src.c_str(), dst.c_str());
  }
  if (r != 0) {
    const int err = errno;
    if (err == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    if (err == EXDEV) {
      if (!(flags & MOVEFILE_COPY_ALLOWED) || !S_ISREG(ss.st_mode)) return Fail(ERROR_NOT_SAME_DEVICE);
      const DWORD e = CopyFileBytes(src, dst, replace);
      if (e) return Fail(e == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : e);
      if (::unlink(src.c_str()) != 0) return Fail(ErrnoToWin32Error(errno));
      return TRUE;
    }
    return Fail(ErrorFor(err, err == ENOENT ? dst : src));
  }
  if (flags & MOVEFILE_WRITE_THROUGH) {
    const int dir = ::open(ParentOf(dst).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
  return TRUE;
}

BOOL MoveFile(LPCTSTR existingFileName, LPCTSTR newFileName) {
  return MoveFileEx(existingFileName, newFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL CreateDirectory(LPCTSTR pathName, LPSECURITY_ATTRIBUTES security) {
  if (!pathName) return Fail(ERROR_INVALID_PARAMETER);
  const std::string path = FsPath(pathName);
  if (path.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  if (::mkdir(path.c_str(), 0777) != 0) {
    const int err = errno;
    if (err == ENOENT) return Fail(ERROR_PATH_NOT_FOUND);
    return Fail(ErrnoToWin32Error(err));
  }
  return TRUE;
}

BOOL RemoveDirectory(LPCTSTR pathName) {
  if (!pathName) return Fail(ERROR_INVALID_PARAMETER);
  const std::string path = FsPath(pathName);
  if (::rmdir(path.c_str()) != 0) {
    const int err = errno;
    if (err == ENOTEMPTY || err == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY);
    if (err == ENOTDIR) return Fail(IsDir(ParentOf(path)) ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND);
    return Fail(ErrorFor(err, path));
  }
  return TRUE;
}

BOOL PathFileExists(LPCTSTR path) { return path && GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

BOOL PathIsDirectory(LPCTSTR path) {
  if (!path) return FALSE;
  const DWORD a = GetFileAttributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- listing ----------------------------------------------------------------

bool MatchFileNamePattern(const char* name, const char* pattern) {
  if (!name || !pattern) return false;
  std::string p(pattern);
  if (p == "*.*") p = "*";
  const std::string n(name);
  size_t ni = 0, pi = 0, star = std::string::npos, mark = 0;
  auto same = [](char a, char b) { return CodePageToLower(a) == CodePageToLower(b); };
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || (p[pi] != '*' && same(p[pi], n[ni])))) {
      ++ni;
      ++pi;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  // "name.*" also matches "name" with no extension, as on Windows.
  if (pi + 2 == p.size() && p[pi] == '.' && p[pi + 1] == '*') return true;
  return pi == p.size();
}

HANDLE FindFirstFile(LPCTSTR pattern, LPWIN32_FIND_DATA findData) {
  if (!pattern || !findData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string full(pattern);
  const size_t sep = full.find_last_of("/\\");
  const std::string folder = sep == std::string::npos ? std::string() : full.substr(0, sep + 1);
  const std::string namePattern = sep == std::string::npos ? full : full.substr(sep + 1);
  std::string fsFolder = folder.empty() ? std::string(".") : FsPath(folder.c_str());
  if (namePattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  DIR* dir = ::opendir(fsFolder.c_str());
  if (!dir) {
    const int err = errno;
    SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrnoToWin32Error(err));
    return INVALID_HANDLE_VALUE;
  }
  auto find = std::make_shared<FindObject>();
  const int dfd = ::dirfd(dir);
  while (const dirent* de = ::readdir(dir)) {
    const CString name = FromFs(de->d_name);
    if (name.GetLength() >= MAX_PATH) continue;
    if (!MatchFileNamePattern(name, namePattern.c_str())) continue;
    struct stat st;
    if (::fstatat(dfd, de->d_name, &st, 0) != 0 && ::fstatat(dfd, de->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    FindEntry e;
    e.name = name;
    e.attributes = AttributesFromStat(st, de->d_name);
    e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<unsigned long long>(st.st_size);
    e.creation = FileTimeFromTimespec(st.st_mtim);
    e.access = FileTimeFromTimespec(st.st_atim);
    e.write = FileTimeFromTimespec(st.st_mtim);
    find->entries.push_back(std::move(e));
  }
  ::closedir(dir);
  if (find->entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(find->entries.begin(), find->entries.end(), [](const FindEntry& a, const FindEntry& b) {
    const int c = a.name.CompareNoCase(b.name);
    return c != 0 ? c < 0 : a.name.Compare(b.name) < 0;
  });
  FillFindData(find->entries[0], findData);
  find->next = 1;
  SetLastError(ERROR_SUCCESS);
  return RegisterKernelObject(find);
}

BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA findData) {
  auto f = std::dynamic_pointer_cast<FindObject>(LookupKernelObject(find));
  if (!f) return Fail(ERROR_INVALID_HANDLE);
  if (!findData) return Fail(ERROR_INVALID_PARAMETER);
  if (f->next >= f->entries.size()) return Fail(ERROR_NO_MORE_FILES);
  FillFindData(f->entries[f->next++], findData);
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  if (!std::dynamic_pointer_cast<FindObject>(LookupKernelObject(find))) return Fail(ERROR_INVALID_HANDLE);
  return CloseHandle(find);
}

// ---- program and folders ------------------------------------------------------

void SetModuleFileNameProvider(std::function<bool(HMODULE, CString&)> provider) {
  std::lock_guard<std::mutex> lock(g_moduleMutex);
  g_moduleProvider = std::move(provider);
}

DWORD GetModuleFileName(HMODULE module, LPTSTR fileName, DWORD size) {
  CString path;
  if (!module) {
    const std::string exe = ExecutablePath();
    if (exe.empty()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = FromFs(exe);
  } else {
    std::function<bool(HMODULE, CString&)> provider;
    {
      std::lock_guard<std::mutex> lock(g_moduleMutex);
      provider = g_moduleProvider;
    }
    if (!provider || !provider(module, path)) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
  }
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const DWORD len = static_cast<DWORD>(path.GetLength());
  if (len < size) {
    std::memcpy(fileName, path.GetString(), len + 1);
    SetLastError(ERROR_SUCCESS);
    return len;
  }
  std::memcpy(fileName, path.GetString(), size - 1);
  fileName[size - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

DWORD GetTempPath(DWORD size, LPTSTR buffer) {
  std::string dir = "/tmp";
  if (const char* t = std::getenv("TMPDIR"); t && *t == '/' && IsDir(t)) dir = t;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir != "/") dir += '/';
  return CopyOutOrNeed(FromFs(dir).str(), buffer, size);
}

DWORD GetCurrentDirectory(DWORD size, LPTSTR buffer) {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec) {
    SetLastError(ErrnoToWin32Error(ec.value()));
    return 0;
  }
  return CopyOutOrNeed(FromFs(cwd.string()).str(), buffer, size);
}

BOOL SetCurrentDirectory(LPCTSTR pathName) {
  if (!pathName) return Fail(ERROR_INVALID_PARAMETER);
  const std::string path = FsPath(pathName);
  if (::chdir(path.c_str()) != 0) return Fail(ErrorFor(errno, path));
  return TRUE;
}

UINT GetTempFileName(LPCTSTR pathName, LPCTSTR prefix, UINT unique, LPTSTR tempFileName) {
  if (!pathName || !tempFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string folder(pathName);
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  if (!IsDir(FsPath(folder.c_str()))) {
    SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  const std::string pre = std::string(prefix ? prefix : "").substr(0, 3);
  auto nameFor = [&](UINT n) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", n & 0xFFFFu);
    return folder + pre + hex + ".tmp";
  };
  auto put = [&](const std::string& name) {
    if (name.size() >= MAX_PATH) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return false;
    }
    std::memcpy(tempFileName, name.c_str(), name.size() + 1);
    return true;
  };
  if (unique != 0) return put(nameFor(unique)) ? (unique & 0xFFFFu) : 0;
  std::random_device rd;
  UINT start = (rd() & 0xFFFFu) | 1u;
  for (UINT i = 0; i < 0xFFFFu; ++i) {
    UINT n = ((start + i - 1) % 0xFFFFu) + 1;
    const std::string name = nameFor(n);
    const int fd = ::open(FsPath(name.c_str()).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      if (!put(name)) {
        ::unlink(FsPath(name.c_str()).c_str());
        return 0;
      }
      return n;
    }
    if (errno != EEXIST) {
      SetLastError(ErrnoToWin32Error(errno));
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

CString GetProgramFolder() {
  std::string exe = ExecutablePath();
  if (exe.empty()) {
    std::error_code ec;
    std::fprintf(stderr, "Quillmere: cannot find the program's own file (/proc/self/exe); using the current folder.\n");
    return FromFs(std::filesystem::current_path(ec).string());
  }
  return FromFs(ParentOf(exe));
}

CString GetUserDataFolder() {
  std::string base;
  if (const char* d = std::getenv("XDG_DATA_HOME"); d && *d == '/') base = d;
  else base = HomeFolder() + "/.local/share";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return FromFs(base + "/Quillmere");
}

CString GetWritableProgramFolder() {
  const CString program = GetProgramFolder();
  if (::access(FsPath(program).c_str(), W_OK) == 0) return program;
  const CString data = GetUserDataFolder();
  if (!CreateFolderTree(data))
    std::fprintf(stderr, "Quillmere: cannot create the data folder %s\n", FsPath(data).c_str());
  return data;
}

bool CreateFolderTree(const CString& path) {
  const std::string fs = FsPath(path);
  if (fs.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(fs, ec);
  return IsDir(fs);
}

// ---- path splitting -----------------------------------------------------------

void SplitPath(const CString& path, CString* drive, CString* dir, CString* fname, CString* ext) {
  const std::string& p = path.str();
  const size_t sep = p.find_last_of("/\\");
  const size_t nameStart = sep == std::string::npos ? 0 : sep + 1;
  const std::string name = p.substr(nameStart);
  const size_t dot = name.find_last_of('.');
  if (drive) drive->Empty();
  if (dir) *dir = CString(p.substr(0, nameStart));
  if (fname) *fname = CString(dot == std::string::npos ? name : name.substr(0, dot));
  if (ext) *ext = CString(dot == std::string::npos ? std::string() : name.substr(dot));
}

CString MakePath(const CString& drive, const CString& dir, const CString& fname, const CString& ext) {
  CString out = drive;
  out += dir;
  if (!dir.IsEmpty() && dir[dir.GetLength() - 1] != '/' && dir[dir.GetLength() - 1] != '\\') out += '/';
  out += fname;
  if (!ext.IsEmpty() && ext[0] != '.') out += '.';
  out += ext;
  return out;
}

namespace {
void CopyCut(char* out, const CString& s, int capacity) {
  if (!out) return;
  const int n = std::min(s.GetLength(), capacity - 1);
  std::memcpy(out, s.GetString(), static_cast<size_t>(n));
  out[n] = '\0';
}
}  // namespace

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  CString d, f, e;
  SplitPath(CString(path), nullptr, &d, &f, &e);
  CopyCut(drive, CString(), _MAX_DRIVE);
  CopyCut(dir, d, _MAX_DIR);
  CopyCut(fname, f, _MAX_FNAME);
  CopyCut(ext, e, _MAX_EXT);
}

void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext) {
  CopyCut(path, MakePath(CString(drive), CString(dir), CString(fname), CString(ext)), _MAX_PATH);
}

// ---- times ---------------------------------------------------------------------

namespace {
void FillSystemTime(const std::tm& tm, long ms, SYSTEMTIME* out) {
  out->wYear = static_cast<WORD>(tm.tm_year + 1900);
  out->wMonth = static_cast<WORD>(tm.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  out->wDay = static_cast<WORD>(tm.tm_mday);
  out->wHour = static_cast<WORD>(tm.tm_hour);
  out->wMinute = static_cast<WORD>(tm.tm_min);
  out->wSecond = static_cast<WORD>(std::min(tm.tm_sec, 59));
  out->wMilliseconds = static_cast<WORD>(ms);
}
}  // namespace

void GetLocalTime(SYSTEMTIME* time) {
  if (!time) return;
  timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  ::localtime_r(&ts.tv_sec, &tm);
  FillSystemTime(tm, ts.tv_nsec / 1000000, time);
}

void GetSystemTime(SYSTEMTIME* time) {
  if (!time) return;
  timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm tm{};
  ::gmtime_r(&ts.tv_sec, &tm);
  FillSystemTime(tm, ts.tv_nsec / 1000000, time);
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  if (!fileTime || !systemTime) return Fail(ERROR_INVALID_PARAMETER);
  const unsigned long long ticks = Ticks(*fileTime);
  if (ticks >> 63) return Fail(ERROR_INVALID_PARAMETER);
  using namespace std::chrono;
  const long long totalMs = static_cast<long long>(ticks / 10000);
  const long long daysSince1601 = totalMs / 86400000LL;
  const long long msOfDay = totalMs % 86400000LL;
  // 1601-01-01 is 134774 days before 1970-01-01.
  const sys_days day{days{daysSince1601 - 134774}};
  const year_month_day ymd{day};
  const weekday wd{day};
  systemTime->wYear = static_cast<WORD>(static_cast<int>(ymd.year()));
  systemTime->wMonth = static_cast<WORD>(static_cast<unsigned>(ymd.month()));
  systemTime->wDay = static_cast<WORD>(static_cast<unsigned>(ymd.day()));
  systemTime->wDayOfWeek = static_cast<WORD>(wd.c_encoding());
  systemTime->wHour = static_cast<WORD>(msOfDay / 3600000);
  systemTime->wMinute = static_cast<WORD>(msOfDay / 60000 % 60);
  systemTime->wSecond = static_cast<WORD>(msOfDay / 1000 % 60);
  systemTime->wMilliseconds = static_cast<WORD>(msOfDay % 1000);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime) {
  if (!st || !fileTime) return Fail(ERROR_INVALID_PARAMETER);
  using namespace std::chrono;
  const year_month_day ymd{year{st->wYear}, month{st->wMonth}, day{st->wDay}};
  if (st->wYear < 1601 || st->wYear > 30827 || !ymd.ok() || st->wHour > 23 || st->wMinute > 59 ||
      st->wSecond > 59 || st->wMilliseconds > 999)
    return Fail(ERROR_INVALID_PARAMETER);
  const long long d = sys_days{ymd}.time_since_epoch().count() + 134774;
  const long long ms =
      ((d * 24 + st->wHour) * 60 + st->wMinute) * 60000LL + st->wSecond * 1000LL + st->wMilliseconds;
  *fileTime = MakeFileTime(static_cast<unsigned long long>(ms) * 10000ULL);
  return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
  if (!utc || !local) return Fail(ERROR_INVALID_PARAMETER);
  const unsigned long long ticks = Ticks(*utc);
  const time_t secs = static_cast<time_t>(static_cast<long long>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970);
  std::tm tm{};
  ::localtime_r(&secs, &tm);
  const long long shifted = static_cast<long long>(ticks) + static_cast<long long>(tm.tm_gmtoff) * kTicksPerSecond;
  *local = MakeFileTime(shifted < 0 ? 0 : static_cast<unsigned long long>(shifted));
  return TRUE;
}

ULONGLONG GetTickCount64() {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<ULONGLONG>(ts.tv_sec) * 1000ULL + static_cast<ULONGLONG>(ts.tv_nsec / 1000000);
}

DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64() & 0xFFFFFFFFu); }

// ---- shell -----------------------------------------------------------------------

namespace {
QmShellExecuteHook& ShellHook() {
  static auto* hook = new QmShellExecuteHook;
  return *hook;
}
}  // namespace

void QmSetShellExecuteHook(QmShellExecuteHook hook) { ShellHook() = std::move(hook); }

HINSTANCE ShellExecute(HWND owner, LPCTSTR operation, LPCTSTR file, LPCTSTR parameters, LPCTSTR directory,
                       INT showCommand) {
  if (ShellHook()) {
    const QmShellExecuteHook hook = ShellHook();
    return hook(owner, operation ? operation : "", file ? file : "", parameters ? parameters : "",
                directory ? directory : "", showCommand);
  }
  const std::string op = operation ? operation : "";
  if (!op.empty() && op != "open" && op != "explore") {
    std::fprintf(stderr, "Quillmere: the shell operation \"%s\" is not available on this system.\n", op.c_str());
    return ShellResult(SE_ERR_NOASSOC);
  }
  if (!file || !*file) return ShellResult(SE_ERR_FNF);
  const std::string target = ToUtf8(CString(file));
  const bool isAddress = target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
  std::string path;
  if (!isAddress) {
    path = FsPath(file);
    if (!path.empty() && path[0] != '/' && directory && *directory) path = FsPath(directory) + "/" + path;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
      const DWORD e = ErrorFor(errno, path);
      return ShellResult(e == ERROR_PATH_NOT_FOUND ? SE_ERR_PNF : e == ERROR_FILE_NOT_FOUND ? SE_ERR_FNF
                                                                                           : SE_ERR_ACCESSDENIED);
    }
    if (S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR) && LooksLikeProgram(path)) {
      const QString workDir = directory && *directory ? QString::fromStdString(FsPath(directory)) : QString();
      const QStringList args = SplitParameters(parameters ? ToUtf8(CString(parameters)) : std::string());
      if (!QProcess::startDetached(QString::fromStdString(path), args, workDir)) {
        std::fprintf(stderr, "Quillmere: cannot start %s\n", path.c_str());
        return ShellResult(SE_ERR_ACCESSDENIED);
      }
      return ShellResult(33);
    }
  }
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  const std::string what = isAddress ? target : path;
  if (opener.isEmpty()) {
    std::fprintf(stderr,
                 "Quillmere: cannot open %s: the program xdg-open is not installed (it comes with xdg-utils).\n",
                 what.c_str());
    return ShellResult(SE_ERR_NOASSOC);
  }
  // xdg-open hands the file to the desktop's program and ends; its exit
  // code tells whether a program took it (failures answer SE_ERR_NOASSOC, or
  // SE_ERR_FNF when xdg-open found no file, and are reported on stderr).
  // One that is still running after two seconds runs the program itself
  // (a browser in the foreground): it is left running and counts as opened.
  auto* process = new QProcess;
  process->start(opener, QStringList{QString::fromStdString(what)});
  if (!process->waitForStarted(5000)) {
    std::fprintf(stderr, "Quillmere: cannot start xdg-open for %s\n", what.c_str());
    delete process;
    return ShellResult(SE_ERR_NOASSOC);
  }
  if (!process->waitForFinished(2000)) {
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return ShellResult(33);
  }
  const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
  const int code = process->exitCode();
  delete process;
  if (!opened) {
    std::fprintf(stderr, "Quillmere: no program opened %s (xdg-open ended with %d)\n", what.c_str(), code);
    return ShellResult(code == 2 ? SE_ERR_FNF : SE_ERR_NOASSOC);
  }
  return ShellResult(33);
}
