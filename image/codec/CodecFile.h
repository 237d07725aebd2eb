// The byte streams of the codec layer: every decoder and encoder reads and
// writes through CCodecFile, so the same code works on a disk file (CCodecIOFile)
// and on a block of memory (CCodecMemFile).
#pragma once

#include <climits>
#include <cstdio>

#include "platform/base.h"

class CCodecFile {
 public:
  CCodecFile() = default;
  CCodecFile(const CCodecFile&) = delete;
  CCodecFile& operator=(const CCodecFile&) = delete;
  virtual ~CCodecFile() = default;

  virtual bool Close() = 0;
  // Number of whole items read or written.
  virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
  // origin: 0 from the start, 1 from the position, 2 from the end.
  virtual bool Seek(long offset, int origin) = 0;
  virtual long Tell() = 0;
  virtual long Size() = 0;
  virtual bool Flush() = 0;
  virtual bool Eof() = 0;
  virtual long Error() = 0;
  virtual bool PutC(unsigned char c) { return Write(&c, 1, 1) == 1; }
  // The byte (0-255) or -1.
  virtual long GetC() = 0;

  // Bytes between the position and the end of the stream; LONG_MAX when the
  // stream cannot tell its size. Decoders check the sizes a header asks for
  // against it before they allocate.
  long BytesLeft();
};

// A stdio stream. A stream given to the constructor is never closed by this
// object; one opened with Open is.
class CCodecIOFile : public CCodecFile {
 public:
  explicit CCodecIOFile(FILE* fp = nullptr);
  ~CCodecIOFile() override;

  // Opens a file when none is set; the name is in the program's code page.
  bool Open(const char* filename, const char* mode);
  FILE* GetFP() const { return m_fp; }

  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
  bool Seek(long offset, int origin) override;
  long Tell() override;
  long Size() override;
  bool Flush() override;
  bool Eof() override;
  long Error() override;
  bool PutC(unsigned char c) override;
  long GetC() override;

 private:
  FILE* m_fp;
  bool m_bCloseFile;
};

// A block of memory. Over a caller's block it reads without changing or
// freeing it; opened with Open it grows while it is written, in steps of
// 4096 bytes, and owns its block until GetBuffer(true) hands it over (the
// block comes from malloc; the taker frees it with free).
class CCodecMemFile : public CCodecFile {
 public:
  CCodecMemFile(BYTE* buffer = nullptr, DWORD size = 0);
  ~CCodecMemFile() override;

  bool Open();
  BYTE* GetBuffer(bool detach = true);

  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
  bool Seek(long offset, int origin) override;
  long Tell() override;
  long Size() override;
  bool Flush() override;
  bool Eof() override;
  long Error() override;
  bool PutC(unsigned char c) override;
  long GetC() override;

  // Bytes allocated (for tests of the growth rule).
  long Capacity() const { return m_Edge; }

 protected:
  // Makes room for n bytes; false (buffer untouched) when it cannot.
  bool Alloc(long n);
  void Free();
  // Zero-fills the gap between the data and a position sought past it.
  void FillGap();

  BYTE* m_pBuffer;
  int m_Size;
  bool m_bFreeOnClose;
  int m_Position;
  int m_Edge;
};
