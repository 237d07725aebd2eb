// CDesignFileStream: the buffered file under the design-file containers.
// Design files are written and read item by item (a million beads make six
// million items), so the items go through a buffer, never one system call
// each. Every read and write must move all its bytes; the first one that
// does not fails, and the stream stays failed.
//
// Reading knows the file's size, so every count and size taken from the
// file can be checked against the bytes left (Fits) before anything is
// allocated. Writing keeps the CRC-32 of every byte written, so the
// checksum trailer can be appended without reading the file again.
#pragma once

#include <vector>

#include "platform/base.h"

class CDesignFileStream {
 public:
  CDesignFileStream() = default;
  // Closes the file; unflushed writes are dropped (call Close to learn
  // whether everything was written).
  ~CDesignFileStream();
  CDesignFileStream(const CDesignFileStream&) = delete;
  CDesignFileStream& operator=(const CDesignFileStream&) = delete;

  // An existing file for reading (shared for reading).
  bool OpenRead(const char* path);
  // A new file for writing (an existing one is truncated).
  bool OpenWrite(const char* path);
  // Writing: flushes the buffer, then closes. True only when every write
  // made it to the file and nothing failed before.
  bool Close();
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  bool IsWriting() const { return writing_; }
  bool HasFailed() const { return failed_; }

  bool Read(void* data, size_t size);
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
  bool Fill();
  bool Fail() {
    failed_ = true;
    return false;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool writing_ = false;
  bool failed_ = false;
  std::vector<BYTE> buffer_;
  size_t bufferPos_ = 0;   // reading: next byte; writing: bytes waiting
  size_t bufferLen_ = 0;   // reading: bytes held
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
