#include "setup/Payload.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
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

// The temporary file that will replace the target once written; -1 with
// the last error set when the target is read-only or no file can be made.
int OpenReplacement(const std::string& target, std::string& tmp) {
  if (TargetIsReadOnly(target)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return -1;
  }
  const int fd = MakeTemporary(target, tmp);
  if (fd < 0) SetLastError(ErrnoToWin32Error(errno));
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

namespace {

using Sink = std::function<bool(const char* data, size_t size)>;

enum class StreamResult { kOk, kMissing, kDamaged, kSinkFailed };

// A little-endian number of the bytes at p.
unsigned Le(const unsigned char* p, int bytes) {
  unsigned v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// The archive read without its directory (which a file cut short has
// lost): from the local header of the first entry (the setup's pack, id
// 100) on, one entry after another. The mode is not in local headers: a
// program (ELF) gets 0755, anything else 0644.
StreamResult StreamWithoutDirectory(const std::string& file, UINT id, const Sink& sink, DWORD& mode) {
  const int fd = ::open(file.c_str(), O_RDONLY);
  if (fd < 0) return StreamResult::kMissing;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size < 64) {
    ::close(fd);
    return StreamResult::kMissing;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return StreamResult::kMissing;
  const auto* bytes = static_cast<const unsigned char*>(map);
  const unsigned char first[] = {'P', 'K', 3, 4};
  StreamResult result = StreamResult::kMissing;
  // The first local header whose entry is named "100".
  size_t at = std::string::npos;
  for (size_t i = 0; i + 33 < size;) {
    const void* hit = std::memchr(bytes + i, 'P', size - 33 - i);
    if (!hit) break;
    const unsigned char* p = static_cast<const unsigned char*>(hit);
    if (std::memcmp(p, first, 4) == 0 && Le(p + 26, 2) == 3 && std::memcmp(p + 30, "100", 3) == 0) {
      at = static_cast<size_t>(p - bytes);
      break;
    }
    i = static_cast<size_t>(p - bytes) + 1;
  }
  const std::string wanted = std::to_string(id);
  while (at != std::string::npos && at + 30 <= size && std::memcmp(bytes + at, first, 4) == 0) {
    const unsigned char* h = bytes + at;
    const unsigned flags = Le(h + 6, 2), method = Le(h + 8, 2), crc = Le(h + 14, 4);
    const size_t packed = Le(h + 18, 4), unpacked = Le(h + 22, 4), nameLength = Le(h + 26, 2),
                 extraLength = Le(h + 28, 2);
    const size_t data = at + 30 + nameLength + extraLength;
    if ((flags & 8) != 0 || data > size) break;  // sizes after the data, or cut in the header
    const std::string name(reinterpret_cast<const char*>(h + 30), std::min(nameLength, size - at - 30));
    if (name == wanted) {
      if (data + packed > size || (method != 0 && method != 8)) {
        result = StreamResult::kDamaged;
        break;
      }
      mode = packed >= 4 && std::memcmp(bytes + data, "\x7f" "ELF", 4) == 0 ? 0755 : 0644;
      uLong sum = crc32(0L, Z_NULL, 0);
      size_t total = 0;
      bool sinkFailed = false, ok = true;
      if (method == 0) {
        mode = std::memcmp(bytes + data, "\x7f" "ELF", std::min<size_t>(4, packed)) == 0 ? 0755 : 0644;
        sum = crc32(sum, bytes + data, static_cast<uInt>(packed));
        total = packed;
        sinkFailed = !sink(reinterpret_cast<const char*>(bytes + data), packed);
      } else {
        z_stream z{};
        ok = inflateInit2(&z, -MAX_WBITS) == Z_OK;
        z.next_in = const_cast<Bytef*>(bytes + data);
        z.avail_in = static_cast<uInt>(packed);
        std::vector<unsigned char> out(1 << 16);
        bool elfChecked = false;
        while (ok) {
          z.next_out = out.data();
          z.avail_out = static_cast<uInt>(out.size());
          const int rc = inflate(&z, Z_NO_FLUSH);
          const size_t n = out.size() - z.avail_out;
          if (!elfChecked && n >= 4) {
            mode = std::memcmp(out.data(), "\x7f" "ELF", 4) == 0 ? 0755 : 0644;
            elfChecked = true;
          }
          sum = crc32(sum, out.data(), static_cast<uInt>(n));
          total += n;
          if (n && !sink(reinterpret_cast<const char*>(out.data()), n)) {
            sinkFailed = true;
            break;
          }
          if (rc == Z_STREAM_END) break;
          if (rc != Z_OK) ok = false;
        }
        inflateEnd(&z);
      }
      result = sinkFailed ? StreamResult::kSinkFailed
                          : (ok && sum == crc && total == unpacked ? StreamResult::kOk : StreamResult::kDamaged);
      break;
    }
    at = data + packed;
  }
  ::munmap(map, size);
  return result;
}

// One entry through the sink: by the archive's directory (minizip), or,
// when the directory cannot be read, from the local headers.
StreamResult StreamPayloadEntry(UINT id, const Sink& sink, DWORD& mode) {
  const std::string file = PathUtf8(GetPayloadFile());
  CZip zip(GetPayloadFile());
  if (!zip.get()) return StreamWithoutDirectory(file, id, sink, mode);
  unz_file_info64 info{};
  if (!OpenEntry(zip.get(), id, info)) return StreamResult::kMissing;
  mode = (info.external_fa >> 16) & 07777;
  if (mode == 0) mode = 0644;
  bool sinkFailed = false;
  const bool ok = StreamEntry(zip.get(), [&](const char* data, size_t n) {
    sinkFailed = !sink(data, n);
    return !sinkFailed;
  });
  if (sinkFailed) return StreamResult::kSinkFailed;
  return ok ? StreamResult::kOk : StreamResult::kDamaged;
}

}  // namespace

bool ReadPayloadEntry(UINT id, std::vector<BYTE>& out) {
  out.clear();
  DWORD mode = 0;
  const StreamResult result = StreamPayloadEntry(id, [&out](const char* data, size_t size) {
    out.insert(out.end(), data, data + size);
    return true;
  }, mode);
  if (result == StreamResult::kOk) return true;
  out.clear();
  SetLastError(result == StreamResult::kMissing ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_INVALID_DATA);
  return false;
}

bool ExtractPayloadEntry(UINT id, const CString& path, CExtracted* written) {
  const std::string target = PathUtf8(path);
  std::string tmp;
  const int fd = OpenReplacement(target, tmp);
  if (fd < 0) return false;
  uLong crc = crc32(0L, Z_NULL, 0);
  ULONGLONG size = 0;
  int writeError = 0;
  DWORD mode = 0644;
  const StreamResult result = StreamPayloadEntry(id, [&](const char* data, size_t n) {
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(n));
    size += n;
    if (!WriteAll(fd, data, n)) {
      writeError = errno;
      return false;
    }
    return true;
  }, mode);
  if (result != StreamResult::kOk) {
    ::close(fd);
    ::unlink(tmp.c_str());
    if (result == StreamResult::kMissing) {
      std::fprintf(stderr, "setup: the payload holds no entry %u (%s)\n", id, ToUtf8(GetPayloadFile()).c_str());
      SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    } else if (result == StreamResult::kDamaged) {
      std::fprintf(stderr, "setup: entry %u of the payload is damaged\n", id);
      SetLastError(ERROR_INVALID_DATA);
    } else {
      SetLastError(ErrnoToWin32Error(writeError ? writeError : EIO));
    }
    return false;
  }
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
  std::string tmp;
  const int fd = OpenReplacement(target, tmp);
  if (fd < 0) return false;
  if (!WriteAll(fd, static_cast<const char*>(data), size)) {
    SetLastError(ErrnoToWin32Error(errno));
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }
  return Commit(fd, tmp, target, mode);
}

}  // namespace qmsetup
