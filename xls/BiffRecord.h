// The record layer of the BIFF8 workbook stream: the record base class with
// its CONTINUE splitting, the two string forms used inside records, the
// little-endian field cursors and the records shared by workbook and
// worksheet (BOF, EOF).
#pragma once

#include <string>
#include <vector>

#include "platform/base.h"

namespace Biff {

constexpr WORD kContinueId = 0x003C;
// Data bytes that one record (or one CONTINUE) carries at most.
constexpr DWORD kMaxRecordData = 8224;

// Writes little-endian fields one after another.
class FieldWriter {
 public:
  explicit FieldWriter(BYTE* at) : p_(at) {}
  FieldWriter& U8(unsigned value) {
    *p_++ = static_cast<BYTE>(value);
    return *this;
  }
  FieldWriter& U16(unsigned value) {
    p_[0] = static_cast<BYTE>(value);
    p_[1] = static_cast<BYTE>(value >> 8);
    p_ += 2;
    return *this;
  }
  FieldWriter& U32(DWORD value) {
    for (int i = 0; i < 4; ++i) *p_++ = static_cast<BYTE>(value >> (8 * i));
    return *this;
  }
  FieldWriter& F64(double value);
  FieldWriter& Bytes(const BYTE* data, size_t size);
  FieldWriter& Bytes(const std::vector<BYTE>& data) { return Bytes(data.data(), data.size()); }
  BYTE* Position() const { return p_; }

 private:
  BYTE* p_;
};

// Reads little-endian fields with bounds checks: a read past the end yields
// zeros and marks the reader failed.
class FieldReader {
 public:
  FieldReader(const BYTE* data, size_t size) : p_(data), size_(size) {}
  explicit FieldReader(const std::vector<BYTE>& data) : p_(data.data()), size_(data.size()) {}
  BYTE U8();
  WORD U16();
  DWORD U32();
  double F64();
  // Copies n bytes out; false (nothing copied) when fewer remain.
  bool Bytes(size_t n, std::vector<BYTE>& out);
  bool Skip(size_t n);
  size_t Position() const { return pos_; }
  size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }
  bool Ok() const { return ok_; }
  void Fail() { ok_ = false; }

 private:
  bool Need(size_t n);
  const BYTE* p_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace Biff

// A string with an 8-bit character count (FONT and BOUNDSHEET names).
// Narrow texts are in the interface code page; they are stored one byte per
// character when every character is in Latin-1 (the 8-bit form BIFF8 reads),
// else as UTF-16. At most 255 code units are kept.
class XlsShortString {
 public:
  XlsShortString() = default;
  XlsShortString& operator=(const CString& narrow);
  XlsShortString& operator=(std::u16string_view wide);

  // True when the text was given (or read back) as a narrow text.
  bool IsNarrow() const { return narrow_; }
  const CString& GetNarrow() const { return narrowText_; }
  const std::u16string& GetUnits() const { return units_; }
  // The option byte: bit 0 set when the characters are stored as 16 bits.
  BYTE GetOption() const { return is16_ ? 1 : 0; }

  DWORD Size() const { return 2 + static_cast<DWORD>(units_.size()) * (is16_ ? 2 : 1); }
  void Write(Biff::FieldWriter& out) const;
  bool Read(Biff::FieldReader& in);

 private:
  std::u16string units_;
  bool is16_ = false;
  bool narrow_ = true;
  CString narrowText_;
};

// A string with a 16-bit character count (SST entries, FORMAT strings, user
// STYLE names); the same storage rule, at most 65535 code units. Rich-text
// runs and extension data of strings read from a stream are skipped, never
// kept: strings are written plain.
class XlsLongString {
 public:
  static constexpr size_t kMaxUnits = 65535;

  XlsLongString() = default;
  explicit XlsLongString(const CString& narrow) { *this = narrow; }
  XlsLongString& operator=(const CString& narrow);
  XlsLongString& operator=(std::u16string_view wide);

  bool IsNarrow() const { return narrow_; }
  bool Is16Bit() const { return is16_; }
  const std::u16string& GetUnits() const { return units_; }
  // The narrow text: as given, or for a read string its characters in the
  // interface code page; false when a character has no byte there.
  bool GetNarrow(CString& out) const;
  // 255 until the string is first written or read, then 0 or 1.
  BYTE GetOption() const { return option_; }

  // Character bytes (count, or twice the count for 16-bit characters).
  DWORD CharBytes() const { return static_cast<DWORD>(units_.size()) * (is16_ ? 2 : 1); }
  DWORD Size() const { return 3 + CharBytes(); }
  void Write(Biff::FieldWriter& out);
  // The character count and the option byte only.
  void WriteHead(Biff::FieldWriter& out);
  // Writes the characters [first, first + count) only.
  void WriteChars(Biff::FieldWriter& out, size_t first, size_t count) const;
  bool Read(Biff::FieldReader& in);
  // Reads an entry whose characters may run over CONTINUE boundaries: `splits`
  // are the data offsets at which a CONTINUE began; at each one inside the
  // characters an option byte tells the width of the characters that follow.
  bool ReadContinued(Biff::FieldReader& in, const std::vector<DWORD>& splits);

 private:
  void SetUnits(std::u16string units);
  std::u16string units_;
  bool is16_ = false;
  bool narrow_ = true;
  CString narrowText_;
  BYTE option_ = 255;
};

namespace Biff {

// A BIFF8 record: id, data length and data, data beyond 8224 bytes carried on
// in CONTINUE records (at fixed 8224-byte pieces, or at the record's own
// split positions).
class Record {
 public:
  explicit Record(WORD id = 0, DWORD fixedDataSize = 0);
  virtual ~Record() = default;
  Record(const Record&) = default;
  Record& operator=(const Record&) = default;
  Record(Record&&) noexcept = default;
  Record& operator=(Record&&) noexcept = default;

  // Reads the record at the start of `bytes` and the CONTINUE records right
  // after it; the bytes consumed, 0 when they hold no whole record of this
  // kind.
  virtual DWORD Read(const BYTE* bytes, size_t size);
  // Reads a record of any id as raw data (to pass over records of kinds
  // this writer does not know); 0 when the bytes hold no whole record.
  DWORD ReadAny(const BYTE* bytes, size_t size) { return ReadRaw(bytes, size, true); }
  // Lays the fields out and writes the record with its CONTINUE records;
  // the bytes written (the stream size).
  virtual DWORD Write(BYTE* destination);
  virtual DWORD DataSize();
  virtual DWORD RecordSize();

  WORD GetId() const { return id_; }
  const std::vector<BYTE>& GetData() const { return data_; }
  const std::vector<DWORD>& GetSplitPositions() const { return splits_; }

 protected:
  // Fills data_ (already sized by DataSize and zeroed) from the fields.
  virtual void LayOut() {}
  // Sets the fields from data_ after a read; false when the data is short.
  virtual bool ParseData() { return true; }
  // The id, the data and the CONTINUE records after it.
  DWORD ReadRaw(const BYTE* bytes, size_t size, bool anyId);
  DWORD WriteRaw(BYTE* destination) const;
  // Stream size from the data size and the split rule.
  DWORD SizeInStream() const;

  WORD id_;
  DWORD fixedSize_;  // the data size of a fixed layout; 0 for variable ones
  std::vector<BYTE> data_;
  DWORD dataSize_;
  DWORD streamSize_;
  std::vector<DWORD> splits_;
};

// Reads the id and data length of the record at `bytes`; false when fewer
// than four bytes remain.
bool PeekRecord(const BYTE* bytes, size_t size, WORD& id, WORD& length);

class BOF : public Record {
 public:
  static constexpr WORD kId = 0x0809;
  BOF() : Record(kId, 16) {}
  WORD version = 0x0600;
  WORD type = 0x0005;
  WORD build = 0x19A0;
  WORD year = 0x07CD;
  DWORD historyFlags = 0xC0C9;
  DWORD lowestVersion = 0x0306;

 protected:
  void LayOut() override;
  bool ParseData() override;
};

class YEOF : public Record {
 public:
  static constexpr WORD kId = 0x000A;
  YEOF() : Record(kId, 0) {}
};

}  // namespace Biff
