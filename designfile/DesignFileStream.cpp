#include "designfile/DesignFileStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr size_t kWriteBufferSize = 256 * 1024;
// Reading: a piece small enough to be checksummed while still in the cache.
constexpr size_t kReadChunkSize = 256 * 1024;

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
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool CDesignFileBytes::Read(const char* path) {
  data_.reset();
  size_ = 0;
  crcBeforeTrailer_ = 0;
  if (!path) return false;
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                           nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  SetLastError(0);
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const unsigned long long size = (static_cast<unsigned long long>(high) << 32) | low;
  bool ok = !(low == INVALID_FILE_SIZE && GetLastError() != 0) && size <= std::numeric_limits<size_t>::max();
  if (ok) {
    try {
      // Not zeroed: every byte is read over.
      data_.reset(new BYTE[size > 0 ? static_cast<size_t>(size) : 1]);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  const size_t body = size > kDesignTrailerLength ? static_cast<size_t>(size) - kDesignTrailerLength : 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  for (size_t done = 0; ok && done < size;) {
    const size_t chunk = std::min<size_t>(static_cast<size_t>(size) - done, kReadChunkSize);
    DWORD got = 0;
    ok = ReadFile(file, data_.get() + done, static_cast<DWORD>(chunk), &got, nullptr) && got == chunk;
    if (ok && done < body) crc = crc32_z(crc, data_.get() + done, std::min(chunk, body - done));
    done += chunk;
  }
  CloseHandle(file);
  if (!ok) {
    data_.reset();
    return false;
  }
  size_ = static_cast<size_t>(size);
  crcBeforeTrailer_ = static_cast<DWORD>(crc);
  return true;
}

bool CDesignFileStream::OpenRead(const char* path) {
  if (IsOpen() || !read_.Read(path)) return false;
  return OpenBytes(read_.Get());
}

bool CDesignFileStream::OpenBytes(std::span<const BYTE> bytes) {
  if (IsOpen()) return false;
  data_ = bytes;
  fileSize_ = bytes.size();
  reading_ = true;
  writing_ = false;
  failed_ = false;
  offset_ = 0;
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
  bufferPos_ = 0;
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
  if (reading_) {
    reading_ = false;
    data_ = {};
    read_ = CDesignFileBytes();
  } else {
    ok = FlushBuffer() && ok;
    ok = CloseHandle(file_) && ok;
    file_ = INVALID_HANDLE_VALUE;
  }
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

bool CDesignFileStream::Read(void* data, size_t size) {
  if (size == 0) return reading_ && !failed_;
  const BYTE* bytes = ReadInPlace(size);
  if (bytes == nullptr) return false;
  std::memcpy(data, bytes, size);
  return true;
}

const BYTE* CDesignFileStream::ReadInPlace(size_t size) {
  if (!reading_ || failed_) return nullptr;
  if (!Fits(size)) {
    // Whatever the file holds is consumed, as a short read would.
    offset_ = fileSize_;
    Fail();
    return nullptr;
  }
  const BYTE* bytes = data_.data() + offset_;
  offset_ += size;
  return bytes;
}

bool CDesignFileStream::Skip(unsigned long long size) {
  if (!reading_ || failed_) return false;
  if (!Fits(size)) return Fail();
  offset_ += size;
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
