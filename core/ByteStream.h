// CByteStream: the cursor over a caller-owned buffer through which every
// stored record is written and read. Little-endian integers, IEEE doubles,
// NUL-terminated strings, count-prefixed int vectors, size-prefixed blobs and
// reserved zero runs. Every operation checks the room it needs first; on a
// shortfall it answers false and changes nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/base.h"

class CByteStream {
 public:
  // The scrambling constant added to every byte of a scrambled record.
  static constexpr BYTE kScrambleConstant = 0x6B;

  CByteStream(BYTE* buffer, int size);
  CByteStream(BYTE* buffer, int size, BYTE flag);

  static int StringSize(const CString& s) { return s.GetLength() + 1; }
  static int StdStringSize(const std::string& s) { return static_cast<int>(s.size()) + 1; }
  static int IntVectorSize(const std::vector<int>& v) { return 4 + 4 * static_cast<int>(v.size()); }

  bool ReadByte(BYTE& out);
  bool ReadBool(bool& out);
  bool ReadInt16(SHORT& out);
  bool ReadInt16(WORD& out);
  bool ReadInt(int& out);
  bool ReadInt(DWORD& out);
  bool ReadFloat(float& out);
  bool ReadDouble(double& out);
  bool ReadIntPair(int& first, int& second);
  bool ReadString(CString& out);
  bool ReadStdString(std::string& out);
  bool ReadIntVector(std::vector<int>& out);
  // Reads a u32 size then that many bytes into memory allocated with
  // new BYTE[]; the caller deletes it. Size 0 succeeds and leaves the pointer.
  bool ReadBlob(BYTE*& out, int& size);
  bool ReadBytes(void* out, int n);
  bool Skip(int n);

  bool WriteByte(BYTE v);
  bool WriteBool(bool v) { return WriteByte(v ? 1 : 0); }
  bool WriteInt16(WORD v);
  bool WriteInt(int v);
  bool WriteInt(DWORD v) { return WriteInt(static_cast<int>(v)); }
  bool WriteFloat(float v);
  bool WriteDouble(double v);
  bool WriteIntPair(int first, int second);
  bool WriteString(const CString& s);
  bool WriteStdString(const std::string& s);
  bool WriteIntVector(const std::vector<int>& v);
  bool WriteBlob(const BYTE* data, int size);
  bool WriteBytes(const void* data, int n);
  bool WriteZeros(int n);

  // Add or subtract the scrambling constant to every byte of the buffer,
  // whatever the position.
  void Scramble();
  void Unscramble();

  BYTE* GetBuffer() const { return buffer_; }
  int GetRemaining() const { return remaining_; }
  int GetSize() const { return size_; }
  int GetPosition() const { return position_; }
  BYTE GetFlag() const { return flag_; }

 private:
  bool Has(int n) const { return n >= 0 && n <= remaining_; }
  void Advance(int n) { position_ += n; remaining_ -= n; }

  BYTE* buffer_;
  int remaining_;
  int size_;
  int position_;
  BYTE flag_ = 0;
};
