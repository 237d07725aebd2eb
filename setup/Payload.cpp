#include "setup/Payload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace qmsetup {

namespace {

CString g_payloadFile;

std::string PathUtf8(const CString& path) {
  std::string p = ToUtf8(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// An open archive, closed when it goes.
class CZip {
 public:
  explicit CZip(const CString& file) : zip_(unzOpen64(PathUtf8(file).c_str())) {}
  ~CZip() {
    if (zip_) unzClose(zip_);
  }
  unzFile get() const { return zip_; }

 private:
  unzFile zip_;
};

// Opens the entry of the id as the current file; false when missing.
bool OpenEntry(unzFile zip, UINT id, unz_file_info64& info) {
  const std::string name = std::to_string(id);
  if (unzLocateFile(zip, name.c_str(), 1) != UNZ_OK) return false;
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  return unzOpenCurrentFile(zip) == UNZ_OK;
}

// Reads the open entry through sink; false on a read error or a CRC that
// does not match.
template <typename Sink>
bool StreamEntry(unzFile zip, Sink&& sink) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const int n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (n < 0) {
      unzCloseCurrentFile(zip);
      return false;
    }
    if (n == 0) break;
    if (!sink(buffer.data(), static_cast<size_t>(n))) {
      unzCloseCurrentFile(zip);
      return false;
    }
  }
  return unzCloseCurrentFile(zip) == UNZ_OK;  // UNZ_CRCERROR on a damaged entry
}

bool TargetIsReadOnly(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

// A new file beside the target; -1 when it cannot be made.
int MakeTemporary(const std::string& target, std::string& tmp) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
  tmp = folder + "/.setup-XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd >= 0) tmp = name.data();
  return fd;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Finishes a temporary file: mode, close, rename over the target.
bool Commit(int fd, const std::string& tmp, const std::string& target, DWORD mode) {
  bool ok = ::fchmod(fd, static_cast<mode_t>(mode & 07777)) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(tmp.c_str(), target.c_str()) == 0) return true;
  SetLastError(ErrnoToWin32Error(errno ? errno : EIO));
  ::unlink(tmp.c_str());
  return false;
}

}  // namespace

void SetPayloadFile(const CString& path) { g_payloadFile = path; }

CString GetPayloadFile() {
  if (!g_payloadFile.IsEmpty()) return g_payloadFile;
  char self[4096] = {};
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  return n > 0 ? FromUtf8(std::string_view(self, static_cast<size_t>(n))) : CString();
}

bool ReadPayloadEntry(UINT id, std::vector<BYTE>& out) {
  out.clear();
  CZip zip(GetPayloadFile());
  unz_file_info64 info{};
  if (!zip.get() || !OpenEntry(zip.get(), id, info)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return false;
  }
  const bool ok = StreamEntry(zip.get(), [&out](const char* data, size_t size) {
    out.insert(out.end(), data, data + size);
    return true;
  });
  if (!ok) {
    out.clear();
    SetLastError(ERROR_INVALID_DATA);
  }
  return ok;
}

bool ExtractPayloadEntry(UINT id, const CString& path, CExtracted* written) {
  const std::string target = PathUtf8(path);
  CZip zip(GetPayloadFile());
  unz_file_info64 info{};
  if (!zip.get() || !OpenEntry(zip.get(), id, info)) {
    std::fprintf(stderr, "setup: the payload holds no entry %u (%s)\n", id, ToUtf8(GetPayloadFile()).c_str());
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return false;
  }
  if (TargetIsReadOnly(target)) {
    unzCloseCurrentFile(zip.get());
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  std::string tmp;
  const int fd = MakeTemporary(target, tmp);
  if (fd < 0) {
    unzCloseCurrentFile(zip.get());
    SetLastError(ErrnoToWin32Error(errno));
    return false;
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  ULONGLONG size = 0;
  bool writeFailed = false;
  const bool ok = StreamEntry(zip.get(), [&](const char* data, size_t n) {
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(n));
    size += n;
    if (!WriteAll(fd, data, n)) {
      writeFailed = true;
      return false;
    }
    return true;
  });
  if (!ok) {
    const int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    std::fprintf(stderr, "setup: %s entry %u of the payload\n", writeFailed ? "cannot write" : "damaged", id);
    SetLastError(writeFailed ? ErrnoToWin32Error(err) : ERROR_INVALID_DATA);
    return false;
  }
  DWORD mode = (info.external_fa >> 16) & 07777;
  if (mode == 0) mode = 0644;
  if (!Commit(fd, tmp, target, mode)) return false;
  if (written) {
    written->crc = static_cast<DWORD>(crc);
    written->size = size;
    written->mode = mode;
  }
  return true;
}

bool WriteFileReplacing(const CString& path, const void* data, size_t size, DWORD mode) {
  const std::string target = PathUtf8(path);
  if (TargetIsReadOnly(target)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  std::string tmp;
  const int fd = MakeTemporary(target, tmp);
  if (fd < 0) {
    SetLastError(ErrnoToWin32Error(errno));
    return false;
  }
  if (!WriteAll(fd, static_cast<const char*>(data), size)) {
    SetLastError(ErrnoToWin32Error(errno));
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }
  return Commit(fd, tmp, target, mode);
}

}  // namespace qmsetup
