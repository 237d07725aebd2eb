#include "image/codec/CodecFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/codepage.h"

long CCodecFile::BytesLeft() {
  const long size = Size();
  const long pos = Tell();
  if (size < 0 || pos < 0) return LONG_MAX;
  return size > pos ? size - pos : 0;
}

// ---------------------------------------------------------------- CCodecIOFile

CCodecIOFile::CCodecIOFile(FILE* fp) : m_fp(fp), m_bCloseFile(fp == nullptr) {}

CCodecIOFile::~CCodecIOFile() { Close(); }

bool CCodecIOFile::Open(const char* filename, const char* mode) {
  if (m_fp || !filename || !mode) return false;
  m_fp = std::fopen(ToUtf8(CString(filename)).c_str(), mode);
  m_bCloseFile = true;
  return m_fp != nullptr;
}

bool CCodecIOFile::Close() {
  int r = 0;
  if (m_fp && m_bCloseFile) {
    r = std::fclose(m_fp);
    m_fp = nullptr;
  }
  return r == 0;
}

size_t CCodecIOFile::Read(void* buffer, size_t size, size_t count) {
  if (!m_fp || !buffer) return 0;
  return std::fread(buffer, size, count, m_fp);
}

size_t CCodecIOFile::Write(const void* buffer, size_t size, size_t count) {
  if (!m_fp || !buffer) return 0;
  return std::fwrite(buffer, size, count, m_fp);
}

bool CCodecIOFile::Seek(long offset, int origin) {
  if (!m_fp) return false;
  return std::fseek(m_fp, offset, origin) == 0;
}

long CCodecIOFile::Tell() { return m_fp ? std::ftell(m_fp) : 0; }

long CCodecIOFile::Size() {
  if (!m_fp) return -1;
  const long pos = std::ftell(m_fp);
  std::fseek(m_fp, 0, SEEK_END);
  const long size = std::ftell(m_fp);
  std::fseek(m_fp, pos, SEEK_SET);
  return size;
}

bool CCodecIOFile::Flush() { return m_fp && std::fflush(m_fp) == 0; }
bool CCodecIOFile::Eof() { return !m_fp || std::feof(m_fp) != 0; }
long CCodecIOFile::Error() { return m_fp ? std::ferror(m_fp) : -1; }
bool CCodecIOFile::PutC(unsigned char c) { return m_fp && std::fputc(c, m_fp) == c; }
long CCodecIOFile::GetC() { return m_fp ? std::getc(m_fp) : -1; }

// ---------------------------------------------------------------- CCodecMemFile

CCodecMemFile::CCodecMemFile(BYTE* buffer, DWORD size)
    : m_pBuffer(buffer),
      m_Size(buffer ? static_cast<int>(std::min<DWORD>(size, INT_MAX)) : 0),
      m_bFreeOnClose(buffer == nullptr),
      m_Position(0),
      m_Edge(m_Size) {}

CCodecMemFile::~CCodecMemFile() { Close(); }

bool CCodecMemFile::Open() {
  if (m_pBuffer) return false;
  m_Position = m_Size = m_Edge = 0;
  m_pBuffer = static_cast<BYTE*>(std::malloc(1));
  m_bFreeOnClose = true;
  return m_pBuffer != nullptr;
}

BYTE* CCodecMemFile::GetBuffer(bool detach) {
  if (detach) m_bFreeOnClose = false;
  return m_pBuffer;
}

void CCodecMemFile::Free() {
  if (m_pBuffer && m_bFreeOnClose) std::free(m_pBuffer);
  m_pBuffer = nullptr;
  m_Size = m_Position = m_Edge = 0;
}

bool CCodecMemFile::Close() {
  const bool had = m_pBuffer != nullptr;
  Free();
  return had;
}

size_t CCodecMemFile::Read(void* buffer, size_t size, size_t count) {
  if (!buffer || !m_pBuffer || m_Position >= m_Size || size == 0 || count == 0) return 0;
  const size_t left = static_cast<size_t>(m_Size - m_Position);
  size_t asked;
  if (__builtin_mul_overflow(size, count, &asked)) asked = SIZE_MAX;
  const size_t n = asked < left ? asked : left;
  std::memcpy(buffer, m_pBuffer + m_Position, n);
  m_Position += static_cast<int>(n);
  return n / size;
}

bool CCodecMemFile::Alloc(long n) {
  if (n <= m_Edge) return true;
  const long long wanted = (static_cast<long long>(n) & ~4095LL) + 4096;
  if (wanted > INT_MAX) return false;
  BYTE* block;
  if (m_pBuffer && m_bFreeOnClose) {
    block = static_cast<BYTE*>(std::realloc(m_pBuffer, static_cast<size_t>(wanted)));
  } else {
    // A caller's block is never reallocated: the stream moves to its own.
    block = static_cast<BYTE*>(std::malloc(static_cast<size_t>(wanted)));
    if (block && m_pBuffer && m_Size > 0) std::memcpy(block, m_pBuffer, static_cast<size_t>(m_Size));
  }
  if (!block) return false;
  m_pBuffer = block;
  m_bFreeOnClose = true;
  m_Edge = static_cast<int>(wanted);
  return true;
}

void CCodecMemFile::FillGap() {
  if (m_Position > m_Size) std::memset(m_pBuffer + m_Size, 0, static_cast<size_t>(m_Position - m_Size));
}

size_t CCodecMemFile::Write(const void* buffer, size_t size, size_t count) {
  if (!m_pBuffer || !buffer || size == 0 || count == 0) return 0;
  size_t bytes;
  if (__builtin_mul_overflow(size, count, &bytes) || bytes > static_cast<size_t>(INT_MAX - m_Position)) return 0;
  const long end = m_Position + static_cast<long>(bytes);
  if (!Alloc(end)) return 0;
  FillGap();
  std::memcpy(m_pBuffer + m_Position, buffer, bytes);
  m_Position = static_cast<int>(end);
  if (m_Position > m_Size) m_Size = m_Position;
  return count;
}

bool CCodecMemFile::Seek(long offset, int origin) {
  if (!m_pBuffer) return false;
  long long pos;
  switch (origin) {
    case SEEK_SET: pos = offset; break;
    case SEEK_CUR: pos = static_cast<long long>(m_Position) + offset; break;
    case SEEK_END: pos = static_cast<long long>(m_Size) + offset; break;
    default: return false;
  }
  if (pos < 0) pos = 0;
  if (pos > INT_MAX) return false;
  m_Position = static_cast<int>(pos);
  return true;
}

long CCodecMemFile::Tell() { return m_pBuffer ? m_Position : -1; }
long CCodecMemFile::Size() { return m_pBuffer ? m_Size : -1; }
bool CCodecMemFile::Flush() { return m_pBuffer != nullptr; }
bool CCodecMemFile::Eof() { return !m_pBuffer || m_Position >= m_Size; }
long CCodecMemFile::Error() { return m_pBuffer ? (m_Position > m_Size ? 1 : 0) : -1; }

bool CCodecMemFile::PutC(unsigned char c) {
  if (!m_pBuffer || m_Position == INT_MAX) return false;
  if (!Alloc(static_cast<long>(m_Position) + 1)) return false;
  FillGap();
  m_pBuffer[m_Position++] = c;
  if (m_Position > m_Size) m_Size = m_Position;
  return true;
}

long CCodecMemFile::GetC() {
  if (!m_pBuffer || m_Position >= m_Size) return -1;
  return m_pBuffer[m_Position++];
}
