#include "designfile/DesignFileStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kReadBufferSize = 64 * 1024;
constexpr size_t kWriteBufferSize = 256 * 1024;

long long g_writeLimit = -1;

// Writes to the system, honouring the write limit. `offset` is where the
// bytes start in the file.
bool WriteToFile(HANDLE file, const BYTE* data, size_t size, unsigned long long offset) {
  size_t allowed = size;
  bool limited = false;
  if (g_writeLimit >= 0) {
    const unsigned long long limit = static_cast<unsigned long long>(g_writeLimit);
    if (offset + size > limit) {
      allowed = offset >= limit ? 0 : static_cast<size_t>(limit - offset);
      limited = true;
    }
  }
  while (allowed > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(allowed, 1u << 30));
    DWORD done = 0;
    if (!WriteFile(file, data, chunk, &done, nullptr) || done != chunk) return false;
    data += chunk;
    allowed -= chunk;
  }
  return !limited;
}

}  // namespace

void SetDesignFileWriteLimit(long long bytes) { g_writeLimit = bytes; }
long long GetDesignFileWriteLimit() { return g_writeLimit; }

CDesignFileStream::~CDesignFileStream() {
  if (IsOpen()) CloseHandle(file_);
}

bool CDesignFileStream::OpenRead(const char* path) {
  if (IsOpen() || !path) return false;
  file_ = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD low = GetFileSize(file_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != 0) {
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return false;
  }
  fileSize_ = (static_cast<unsigned long long>(high) << 32) | low;
  writing_ = false;
  failed_ = false;
  offset_ = 0;
  bufferPos_ = bufferLen_ = 0;
  buffer_.assign(kReadBufferSize, 0);
  return true;
}

bool CDesignFileStream::OpenWrite(const char* path) {
  if (IsOpen() || !path) return false;
  file_ = CreateFile(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN,
                     nullptr);
  if (file_ == INVALID_HANDLE_VALUE) return false;
  writing_ = true;
  failed_ = false;
  offset_ = written_ = fileSize_ = 0;
  bufferPos_ = bufferLen_ = 0;
  crc_ = static_cast<DWORD>(crc32(0L, Z_NULL, 0));
  buffer_.assign(kWriteBufferSize, 0);
  return true;
}

bool CDesignFileStream::FlushBuffer() {
  if (!writing_ || bufferPos_ == 0) return !failed_;
  const bool ok = WriteToFile(file_, buffer_.data(), bufferPos_, written_);
  written_ += bufferPos_;
  bufferPos_ = 0;
  return ok ? !failed_ : Fail();
}

bool CDesignFileStream::Close() {
  if (!IsOpen()) return false;
  bool ok = !failed_;
  if (writing_) ok = FlushBuffer() && ok;
  ok = CloseHandle(file_) && ok;
  file_ = INVALID_HANDLE_VALUE;
  buffer_.clear();
  buffer_.shrink_to_fit();
  return ok;
}

bool CDesignFileStream::Sync() {
  if (!IsOpen() || !writing_) return false;
  return FlushBuffer() && (FlushFileBuffers(file_) ? true : Fail());
}

bool CDesignFileStream::Fits(unsigned long long count, unsigned long long itemSize) const {
  const unsigned long long left = BytesLeft();
  if (itemSize == 0) return true;
  return count <= left / itemSize;
}

bool CDesignFileStream::Fill() {
  bufferPos_ = 0;
  bufferLen_ = 0;
  DWORD done = 0;
  if (!ReadFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &done, nullptr)) return Fail();
  bufferLen_ = done;
  return done > 0;
}

bool CDesignFileStream::Read(void* data, size_t size) {
  if (!IsOpen() || writing_ || failed_) return false;
  if (size == 0) return true;
  if (!Fits(size)) {
    // Whatever the file holds is consumed, as a short read would.
    offset_ = fileSize_;
    bufferPos_ = bufferLen_ = 0;
    SetFilePointer(file_, 0, nullptr, FILE_END);
    return Fail();
  }
  BYTE* out = static_cast<BYTE*>(data);
  size_t left = size;
  while (left > 0) {
    if (bufferPos_ == bufferLen_) {
      if (left >= buffer_.size()) {
        // Large blocks go straight to the caller.
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 1u << 30));
        DWORD done = 0;
        if (!ReadFile(file_, out, chunk, &done, nullptr) || done != chunk) return Fail();
        out += chunk;
        left -= chunk;
        offset_ += chunk;
        continue;
      }
      if (!Fill()) return Fail();
    }
    const size_t n = std::min(left, bufferLen_ - bufferPos_);
    std::memcpy(out, buffer_.data() + bufferPos_, n);
    bufferPos_ += n;
    out += n;
    left -= n;
    offset_ += n;
  }
  return true;
}

bool CDesignFileStream::Skip(unsigned long long size) {
  if (!IsOpen() || writing_ || failed_) return false;
  if (!Fits(size)) return Fail();
  const size_t inBuffer = bufferLen_ - bufferPos_;
  if (size <= inBuffer) {
    bufferPos_ += static_cast<size_t>(size);
    offset_ += size;
    return true;
  }
  const unsigned long long target = offset_ + size;
  LONG high = static_cast<LONG>(target >> 32);
  if (SetFilePointer(file_, static_cast<LONG>(target & 0xFFFFFFFFu), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
      GetLastError() != 0)
    return Fail();
  bufferPos_ = bufferLen_ = 0;
  offset_ = target;
  return true;
}

bool CDesignFileStream::Write(const void* data, size_t size) {
  if (!IsOpen() || !writing_ || failed_) return false;
  if (size == 0) return true;
  const BYTE* in = static_cast<const BYTE*>(data);
  crc_ = static_cast<DWORD>(crc32_z(crc_, in, size));
  offset_ += size;
  if (bufferPos_ + size <= buffer_.size()) {
    std::memcpy(buffer_.data() + bufferPos_, in, size);
    bufferPos_ += size;
    return true;
  }
  if (!FlushBuffer()) return false;
  if (size >= buffer_.size()) {
    const bool ok = WriteToFile(file_, in, size, written_);
    written_ += size;
    return ok ? true : Fail();
  }
  std::memcpy(buffer_.data(), in, size);
  bufferPos_ = size;
  return true;
}

bool CDesignFileStream::WriteZeros(size_t count) {
  static const BYTE kZeros[256] = {};
  while (count > 0) {
    const size_t n = std::min(count, sizeof(kZeros));
    if (!Write(kZeros, n)) return false;
    count -= n;
  }
  return true;
}
