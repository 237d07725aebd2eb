// CDesignFileStream: the stream under the design-file containers. Design
// files are written and read item by item (a million beads make six million
// items). Writing goes through a buffer, never one system call per item.
// Reading works on the whole file in memory: read at once, or handed in by
// a caller that already holds the bytes (the open checks the trailer and
// tries both containers on one read of the file). Every read and write must
// move all its bytes; the first one that does not fails, and the stream
// stays failed.
//
// Reading knows the file's size, so every count and size taken from the
// file can be checked against the bytes left (Fits) before anything is
// allocated. Writing keeps the CRC-32 of every byte written, so the
// checksum trailer can be appended without reading the file again.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/base.h"

// The checksum trailer at the end of a design file: a 32-byte marker and
// the CRC-32 of every byte before it.
constexpr size_t kDesignTrailerLength = 36;

// A design file read into memory at once, so that it is opened and read
// one time whatever reads it next (the checksum check, then one container
// or both). The CRC-32 of the bytes before the trailer's place is taken
// while reading, chunk by chunk, while the bytes are still in the cache.
class CDesignFileBytes {
 public:
  // Reads the whole file; false, and nothing held, when it cannot be read
  // whole (or memory for it cannot be had).
  bool Read(const char* path);
  std::span<const BYTE> Get() const { return {data_.get(), size_}; }
  // The CRC-32 of every byte but the last kDesignTrailerLength (0 for a
  // file shorter than that).
  DWORD GetCrcBeforeTrailer() const { return crcBeforeTrailer_; }

 private:
  std::unique_ptr<BYTE[]> data_;
  size_t size_ = 0;
  DWORD crcBeforeTrailer_ = 0;
};

class CDesignFileStream {
 public:
  CDesignFileStream() = default;
  // Closes the file; unflushed writes are dropped (call Close to learn
  // whether everything was written).
  ~CDesignFileStream();
  CDesignFileStream(const CDesignFileStream&) = delete;
  CDesignFileStream& operator=(const CDesignFileStream&) = delete;

  // An existing file for reading: its bytes are read into memory at once.
  bool OpenRead(const char* path);
  // A file already in memory for reading. The bytes stay the caller's and
  // must outlive the stream.
  bool OpenBytes(std::span<const BYTE> bytes);
  // A new file for writing (an existing one is truncated).
  bool OpenWrite(const char* path);
  // Writing: flushes the buffer, then closes. True only when every write
  // made it to the file and nothing failed before.
  bool Close();
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE || reading_; }
  bool IsWriting() const { return writing_; }
  bool HasFailed() const { return failed_; }

  bool Read(void* data, size_t size);
  // Reading: the next size bytes where they lie in memory, moved past
  // (null, as a failed Read, when fewer are left).
  const BYTE* ReadInPlace(size_t size);
  bool Write(const void* data, size_t size);
  // Reading: moves past size bytes (false when fewer are left).
  bool Skip(unsigned long long size);

  // Little-endian items.
  bool ReadByte(BYTE& value) { return Read(&value, 1); }
  bool ReadU32(DWORD& value) { return Read(&value, 4); }
  bool ReadI32(int& value) { return Read(&value, 4); }
  bool ReadDouble(double& value) { return Read(&value, 8); }
  bool WriteByte(BYTE value) { return Write(&value, 1); }
  bool WriteU32(DWORD value) { return Write(&value, 4); }
  bool WriteI32(int value) { return Write(&value, 4); }
  bool WriteDouble(double value) { return Write(&value, 8); }
  bool WriteZeros(size_t count);

  // Offset of the next byte from the start of the file.
  unsigned long long GetOffset() const { return offset_; }
  // Reading: the file's size; writing: the bytes written so far.
  unsigned long long GetSize() const { return writing_ ? offset_ : fileSize_; }
  // Reading: bytes between the offset and the end of the file.
  unsigned long long BytesLeft() const { return fileSize_ > offset_ ? fileSize_ - offset_ : 0; }
  // Reading: whether count items of itemSize bytes lie within the bytes
  // left (computed without overflow).
  bool Fits(unsigned long long count, unsigned long long itemSize = 1) const;

  // Writing: the CRC-32 (zlib) of every byte written so far.
  DWORD GetCrc() const { return crc_; }
  // Writing: flushes the buffer and asks the system to put the file on
  // disk.
  bool Sync();

 private:
  bool FlushBuffer();
  bool Fail() {
    failed_ = true;
    return false;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;  // writing
  bool writing_ = false;
  bool reading_ = false;
  bool failed_ = false;
  std::vector<BYTE> buffer_;     // writing
  size_t bufferPos_ = 0;         // writing: bytes waiting
  CDesignFileBytes read_;        // reading a file by its path
  std::span<const BYTE> data_;   // reading: the whole file
  unsigned long long offset_ = 0;
  unsigned long long fileSize_ = 0;
  unsigned long long written_ = 0;  // bytes handed to the system
  DWORD crc_ = 0;
};

// For tests and fault drills: every design-file write that would make a
// file longer than `bytes` writes up to that length and then fails, as a
// full disk would. A negative value (the default) sets no limit.
void SetDesignFileWriteLimit(long long bytes);
long long GetDesignFileWriteLimit();
