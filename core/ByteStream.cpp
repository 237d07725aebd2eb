#include "core/ByteStream.h"

#include <cstring>
#include <new>

namespace {
template <typename T>
T LoadLE(const BYTE* p) {
  T v{};
  std::memcpy(&v, p, sizeof(T));  // the program's stored form is little-endian, as is the machine
  return v;
}
template <typename T>
void StoreLE(BYTE* p, T v) {
  std::memcpy(p, &v, sizeof(T));
}
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored records are little-endian");
}  // namespace

CByteStream::CByteStream(BYTE* buffer, int size)
    : buffer_(buffer), remaining_(size < 0 ? 0 : size), size_(size < 0 ? 0 : size), position_(0) {}

CByteStream::CByteStream(BYTE* buffer, int size, BYTE flag) : CByteStream(buffer, size) { flag_ = flag; }

bool CByteStream::ReadByte(BYTE& out) {
  if (!Has(1)) return false;
  out = buffer_[position_];
  Advance(1);
  return true;
}

bool CByteStream::ReadBool(bool& out) {
  BYTE b = 0;
  if (!ReadByte(b)) return false;
  out = b != 0;
  return true;
}

bool CByteStream::ReadInt16(SHORT& out) {
  if (!Has(2)) return false;
  out = LoadLE<SHORT>(buffer_ + position_);
  Advance(2);
  return true;
}

bool CByteStream::ReadInt16(WORD& out) {
  if (!Has(2)) return false;
  out = LoadLE<WORD>(buffer_ + position_);
  Advance(2);
  return true;
}

bool CByteStream::ReadInt(int& out) {
  if (!Has(4)) return false;
  out = LoadLE<int>(buffer_ + position_);
  Advance(4);
  return true;
}

bool CByteStream::ReadInt(DWORD& out) {
  int v = 0;
  if (!ReadInt(v)) return false;
  out = static_cast<DWORD>(v);
  return true;
}

bool CByteStream::ReadFloat(float& out) {
  if (!Has(4)) return false;
  out = LoadLE<float>(buffer_ + position_);
  Advance(4);
  return true;
}

bool CByteStream::ReadDouble(double& out) {
  if (!Has(8)) return false;
  out = LoadLE<double>(buffer_ + position_);
  Advance(8);
  return true;
}

bool CByteStream::ReadIntPair(int& first, int& second) { return ReadInt(first) && ReadInt(second); }

bool CByteStream::ReadStdString(std::string& out) {
  if (remaining_ <= 0) return false;
  const void* nul = std::memchr(buffer_ + position_, 0, static_cast<size_t>(remaining_));
  if (!nul) return false;
  const int length = static_cast<int>(static_cast<const BYTE*>(nul) - (buffer_ + position_));
  out.assign(reinterpret_cast<const char*>(buffer_ + position_), static_cast<size_t>(length));
  Advance(length + 1);
  return true;
}

bool CByteStream::ReadString(CString& out) {
  std::string s;
  if (!ReadStdString(s)) return false;
  out = CString(std::move(s));
  return true;
}

bool CByteStream::ReadIntVector(std::vector<int>& out) {
  out.clear();
  DWORD count = 0;
  if (!ReadInt(count)) return false;
  // Refuse a count that cannot fit in what is left, before reserving room.
  if (static_cast<long long>(count) * 4 > remaining_) return false;
  out.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    int v = 0;
    if (!ReadInt(v)) return false;
    out.push_back(v);
  }
  return true;
}

bool CByteStream::ReadBlob(BYTE*& out, int& size) {
  int n = 0;
  if (!ReadInt(n)) return false;
  size = n;
  if (n == 0) return true;
  if (!Has(n)) return false;
  BYTE* p = new (std::nothrow) BYTE[static_cast<size_t>(n)];
  if (!p) return false;
  std::memcpy(p, buffer_ + position_, static_cast<size_t>(n));
  out = p;
  Advance(n);
  return true;
}

bool CByteStream::ReadBytes(void* out, int n) {
  if (!Has(n)) return false;
  if (n > 0) std::memcpy(out, buffer_ + position_, static_cast<size_t>(n));
  Advance(n);
  return true;
}

bool CByteStream::Skip(int n) {
  if (!Has(n)) return false;
  Advance(n);
  return true;
}

bool CByteStream::WriteByte(BYTE v) {
  if (!Has(1)) return false;
  buffer_[position_] = v;
  Advance(1);
  return true;
}

bool CByteStream::WriteInt16(WORD v) {
  if (!Has(2)) return false;
  StoreLE(buffer_ + position_, v);
  Advance(2);
  return true;
}

bool CByteStream::WriteInt(int v) {
  if (!Has(4)) return false;
  StoreLE(buffer_ + position_, v);
  Advance(4);
  return true;
}

bool CByteStream::WriteFloat(float v) {
  if (!Has(4)) return false;
  StoreLE(buffer_ + position_, v);
  Advance(4);
  return true;
}

bool CByteStream::WriteDouble(double v) {
  if (!Has(8)) return false;
  StoreLE(buffer_ + position_, v);
  Advance(8);
  return true;
}

bool CByteStream::WriteIntPair(int first, int second) { return WriteInt(first) && WriteInt(second); }

bool CByteStream::WriteStdString(const std::string& s) {
  // A string holding a NUL would not read back as written; store up to it.
  const size_t len = std::strlen(s.c_str());
  if (len > static_cast<size_t>(remaining_) || !Has(static_cast<int>(len) + 1)) return false;
  std::memcpy(buffer_ + position_, s.c_str(), len + 1);
  Advance(static_cast<int>(len) + 1);
  return true;
}

bool CByteStream::WriteString(const CString& s) { return WriteStdString(s.str()); }

bool CByteStream::WriteIntVector(const std::vector<int>& v) {
  if (!WriteInt(static_cast<int>(v.size()))) return false;
  for (int x : v)
    if (!WriteInt(x)) return false;
  return true;
}

bool CByteStream::WriteBlob(const BYTE* data, int size) {
  if (size < 0 || static_cast<long long>(size) + 4 > remaining_) return false;
  WriteInt(size);
  if (size > 0) {
    std::memcpy(buffer_ + position_, data, static_cast<size_t>(size));
    Advance(size);
  }
  return true;
}

bool CByteStream::WriteBytes(const void* data, int n) {
  if (!Has(n)) return false;
  if (n > 0) std::memcpy(buffer_ + position_, data, static_cast<size_t>(n));
  Advance(n);
  return true;
}

bool CByteStream::WriteZeros(int n) {
  if (!Has(n)) return false;
  if (n > 0) std::memset(buffer_ + position_, 0, static_cast<size_t>(n));
  Advance(n);
  return true;
}

void CByteStream::Scramble() {
  for (int i = 0; i < size_; ++i) buffer_[i] = static_cast<BYTE>(buffer_[i] + kScrambleConstant);
}

void CByteStream::Unscramble() {
  for (int i = 0; i < size_; ++i) buffer_[i] = static_cast<BYTE>(buffer_[i] - kScrambleConstant);
}
