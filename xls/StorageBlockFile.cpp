#include "xls/StorageBlockFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace {

std::atomic<long long> g_writeLimit{-1};

std::string FileSystemPath(const CString& path) {
  std::string s = ToUtf8(path);
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

}  // namespace

void SetStorageWriteLimit(long long bytes) { g_writeLimit = bytes; }
long long GetStorageWriteLimit() { return g_writeLimit; }

bool StorageBlockFile::Open(const CString& path, unsigned mode) {
  Close();
  if (!(mode & (kRead | kWrite))) return false;
  const std::string fsPath = FileSystemPath(path);
  if (fsPath.empty()) return false;
  struct stat st;
  if (::stat(fsPath.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    // A read-only file is never written over, as on Windows.
    if ((mode & (kWrite | kTruncate)) && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) return false;
  }
  int flags = O_CLOEXEC;
  if ((mode & kRead) && (mode & kWrite))
    flags |= O_RDWR;
  else
    flags |= (mode & kWrite) ? O_WRONLY : O_RDONLY;
  if (mode & kWrite) flags |= O_CREAT;
  if ((mode & kTruncate) && (mode & kWrite)) flags |= O_TRUNC;
  const int fd = ::open(fsPath.c_str(), flags, 0666);
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  name_ = path;
  mode_ = mode;
  regular_ = S_ISREG(st.st_mode);
  device_ = st.st_dev;
  inode_ = st.st_ino;
  fileSize_ = regular_ ? static_cast<unsigned long long>(st.st_size) : 0;
  blockCount_ = static_cast<DWORD>((fileSize_ + kBlockSize - 1) / kBlockSize);
  return true;
}

void StorageBlockFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  mode_ = 0;
  blockCount_ = 0;
  fileSize_ = 0;
  regular_ = false;
}

void StorageBlockFile::CloseAndRemove() {
  if (fd_ < 0) return;
  const bool regular = regular_;
  const dev_t device = device_;
  const ino_t inode = inode_;
  const std::string fsPath = FileSystemPath(name_);
  Close();
  struct stat st;
  if (regular && ::lstat(fsPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == device &&
      st.st_ino == inode)
    ::unlink(fsPath.c_str());
}

bool StorageBlockFile::WriteAt(unsigned long long offset, const BYTE* data, size_t size) {
  size_t allowed = size;
  const long long limit = g_writeLimit;
  if (limit >= 0) {
    const unsigned long long cap = static_cast<unsigned long long>(limit);
    allowed = offset >= cap ? 0 : static_cast<size_t>(std::min<unsigned long long>(size, cap - offset));
  }
  size_t done = 0;
  while (done < allowed) {
    const ssize_t n = ::pwrite(fd_, data + done, allowed - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  if (allowed < size) errno = ENOSPC;
  return allowed == size;
}

bool StorageBlockFile::ReadAt(unsigned long long offset, BYTE* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool StorageBlockFile::ReadBlock(DWORD index, BYTE* buffer) {
  if (fd_ < 0 || !(mode_ & kRead) || index >= blockCount_) return false;
  return ReadAt(static_cast<unsigned long long>(index) * kBlockSize, buffer, kBlockSize);
}

bool StorageBlockFile::WriteBlock(DWORD index, const BYTE* buffer) {
  if (fd_ < 0 || !(mode_ & kWrite)) return false;
  if (!WriteAt(static_cast<unsigned long long>(index) * kBlockSize, buffer, kBlockSize)) return false;
  if (index >= blockCount_) {
    blockCount_ = index + 1;
    fileSize_ = static_cast<unsigned long long>(blockCount_) * kBlockSize;
  }
  return true;
}

bool StorageBlockFile::SwapBlocks(DWORD a, DWORD b) {
  if (fd_ < 0 || !(mode_ & kWrite) || !(mode_ & kRead) || a >= blockCount_ || b >= blockCount_) return false;
  if (a == b) return true;
  BYTE first[kBlockSize], second[kBlockSize];
  return ReadBlock(a, first) && ReadBlock(b, second) && WriteBlock(a, second) && WriteBlock(b, first);
}

bool StorageBlockFile::MoveBlock(DWORD from, DWORD to) {
  if (from >= blockCount_ || to >= blockCount_) return false;
  while (from < to) {
    if (!SwapBlocks(from, from + 1)) return false;
    ++from;
  }
  while (from > to) {
    if (!SwapBlocks(from, from - 1)) return false;
    --from;
  }
  return true;
}

bool StorageBlockFile::InsertBlock(DWORD index, const BYTE* buffer) {
  if (index >= blockCount_) return WriteBlock(index, buffer);
  const DWORD end = blockCount_;
  return WriteBlock(end, buffer) && MoveBlock(end, index);
}

bool StorageBlockFile::EraseBlocks(std::vector<DWORD> indices) {
  if (fd_ < 0 || !(mode_ & kWrite) || !(mode_ & kRead)) return false;
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  if (!indices.empty() && indices.back() >= blockCount_) return false;
  if (indices.empty()) return true;
  BYTE block[kBlockSize];
  DWORD to = indices.front();
  size_t k = 0;
  for (DWORD from = indices.front(); from < blockCount_; ++from) {
    if (k < indices.size() && indices[k] == from) {
      ++k;
      continue;
    }
    if (!ReadBlock(from, block) || !WriteAt(static_cast<unsigned long long>(to) * kBlockSize, block, kBlockSize))
      return false;
    ++to;
  }
  blockCount_ = to;
  fileSize_ = static_cast<unsigned long long>(to) * kBlockSize;
  return !regular_ || ::ftruncate(fd_, static_cast<off_t>(fileSize_)) == 0;
}
