#include "xls/BiffRecord.h"

#include <algorithm>
#include <cstring>

#include "xls/XlsText.h"

namespace Biff {

FieldWriter& FieldWriter::F64(double value) {
  unsigned long long bits;
  std::memcpy(&bits, &value, 8);
  for (int i = 0; i < 8; ++i) *p_++ = static_cast<BYTE>(bits >> (8 * i));
  return *this;
}

FieldWriter& FieldWriter::Bytes(const BYTE* data, size_t size) {
  if (size) std::memcpy(p_, data, size);
  p_ += size;
  return *this;
}

bool FieldReader::Need(size_t n) {
  if (!ok_ || size_ - pos_ < n) {
    ok_ = false;
    return false;
  }
  return true;
}

BYTE FieldReader::U8() { return Need(1) ? p_[pos_++] : 0; }

WORD FieldReader::U16() {
  if (!Need(2)) return 0;
  const WORD v = static_cast<WORD>(p_[pos_] | (p_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

DWORD FieldReader::U32() {
  if (!Need(4)) return 0;
  DWORD v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p_[pos_ + static_cast<size_t>(i)];
  pos_ += 4;
  return v;
}

double FieldReader::F64() {
  if (!Need(8)) return 0.0;
  unsigned long long bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p_[pos_ + static_cast<size_t>(i)];
  pos_ += 8;
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}

bool FieldReader::Bytes(size_t n, std::vector<BYTE>& out) {
  if (!Need(n)) return false;
  out.assign(p_ + pos_, p_ + pos_ + n);
  pos_ += n;
  return true;
}

bool FieldReader::Skip(size_t n) {
  if (!Need(n)) return false;
  pos_ += n;
  return true;
}

}  // namespace Biff

// ---- string forms -------------------------------------------------------

namespace {

// Narrow text to stored code units and width.
void EncodeNarrow(const CString& narrow, size_t maxUnits, std::u16string& units, bool& is16) {
  units = xlstext::ToUtf16(narrow.str());
  if (units.size() > maxUnits) {
    size_t keep = maxUnits;
    // Never keep half of a surrogate pair.
    if (keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF) --keep;
    units.resize(keep);
  }
  is16 = !xlstext::FitsInLatin1(units);
}

void ClipWide(std::u16string& units, size_t maxUnits) {
  if (units.size() <= maxUnits) return;
  size_t keep = maxUnits;
  if (keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF) --keep;
  units.resize(keep);
}

void WriteUnits(Biff::FieldWriter& out, const std::u16string& units, size_t first, size_t count, bool is16) {
  if (is16) {
    for (size_t i = first; i < first + count; ++i) out.U16(units[i]);
  } else {
    for (size_t i = first; i < first + count; ++i) out.U8(units[i]);
  }
}

bool ReadUnits(Biff::FieldReader& in, size_t count, bool is16, std::u16string& units) {
  if (in.Remaining() < count * (is16 ? 2 : 1)) {
    in.Fail();
    return false;
  }
  for (size_t i = 0; i < count; ++i) units += is16 ? static_cast<char16_t>(in.U16()) : static_cast<char16_t>(in.U8());
  return true;
}

// The narrow form of read characters: the interface code page when every
// character has a byte there.
bool NarrowFromUnits(const std::u16string& units, CString& out) {
  std::string bytes;
  const bool exact = xlstext::FromUtf16(units, bytes);
  out = CString(std::move(bytes));
  return exact;
}

}  // namespace

XlsShortString& XlsShortString::operator=(const CString& narrow) {
  EncodeNarrow(narrow, 255, units_, is16_);
  narrow_ = true;
  narrowText_ = narrow;
  return *this;
}

XlsShortString& XlsShortString::operator=(std::u16string_view wide) {
  units_.assign(wide);
  ClipWide(units_, 255);
  is16_ = true;
  narrow_ = false;
  narrowText_.Empty();
  return *this;
}

void XlsShortString::Write(Biff::FieldWriter& out) const {
  out.U8(static_cast<unsigned>(units_.size())).U8(GetOption());
  WriteUnits(out, units_, 0, units_.size(), is16_);
}

bool XlsShortString::Read(Biff::FieldReader& in) {
  const size_t count = in.U8();
  const BYTE option = in.U8();
  if (!in.Ok()) return false;
  std::u16string units;
  if (!ReadUnits(in, count, (option & 1) != 0, units)) return false;
  units_ = std::move(units);
  is16_ = (option & 1) != 0;
  narrow_ = !is16_ && NarrowFromUnits(units_, narrowText_);
  if (!narrow_) narrowText_.Empty();
  return true;
}

void XlsLongString::SetUnits(std::u16string units) {
  units_ = std::move(units);
  ClipWide(units_, kMaxUnits);
}

XlsLongString& XlsLongString::operator=(const CString& narrow) {
  EncodeNarrow(narrow, kMaxUnits, units_, is16_);
  narrow_ = true;
  narrowText_ = narrow;
  return *this;
}

XlsLongString& XlsLongString::operator=(std::u16string_view wide) {
  SetUnits(std::u16string(wide));
  is16_ = true;
  narrow_ = false;
  narrowText_.Empty();
  return *this;
}

bool XlsLongString::GetNarrow(CString& out) const {
  if (narrow_) {
    out = narrowText_;
    return true;
  }
  return NarrowFromUnits(units_, out);
}

void XlsLongString::WriteHead(Biff::FieldWriter& out) {
  option_ = is16_ ? 1 : 0;
  out.U16(static_cast<unsigned>(units_.size())).U8(option_);
}

void XlsLongString::Write(Biff::FieldWriter& out) {
  WriteHead(out);
  WriteUnits(out, units_, 0, units_.size(), is16_);
}

void XlsLongString::WriteChars(Biff::FieldWriter& out, size_t first, size_t count) const {
  WriteUnits(out, units_, first, count, is16_);
}

namespace {
// Skips the rich-text runs and extension data that follow a string's
// characters (their count and size come from the string's head).
bool SkipStringTail(Biff::FieldReader& in, DWORD runs, DWORD extension) {
  return in.Skip(4ull * runs) && in.Skip(extension);
}
}  // namespace

bool XlsLongString::Read(Biff::FieldReader& in) { return ReadContinued(in, {}); }

bool XlsLongString::ReadContinued(Biff::FieldReader& in, const std::vector<DWORD>& splits) {
  const size_t count = in.U16();
  const BYTE option = in.U8();
  const DWORD runs = (option & 0x08) ? in.U16() : 0;
  const DWORD extension = (option & 0x04) ? in.U32() : 0;
  if (!in.Ok()) return false;
  bool wide = (option & 1) != 0;
  std::u16string units;
  units.reserve(count);
  auto nextSplit = std::upper_bound(splits.begin(), splits.end(), static_cast<DWORD>(in.Position()));
  bool anyWide = wide;
  while (units.size() < count) {
    // Characters up to the next CONTINUE boundary.
    size_t room = nextSplit == splits.end() ? static_cast<size_t>(-1) : *nextSplit - in.Position();
    size_t take = std::min(count - units.size(), wide ? room / 2 : room);
    if (take > 0) {
      if (!ReadUnits(in, take, wide, units)) return false;
    }
    if (units.size() < count) {
      if (nextSplit == splits.end() || in.Position() != *nextSplit) {
        in.Fail();  // a character cut in half, or no CONTINUE where one is needed
        return false;
      }
      wide = (in.U8() & 1) != 0;
      anyWide = anyWide || wide;
      ++nextSplit;
    }
  }
  if (!SkipStringTail(in, runs, extension)) return false;
  units_ = std::move(units);
  is16_ = anyWide || !xlstext::FitsInLatin1(units_);
  option_ = is16_ ? 1 : 0;
  narrow_ = !is16_ && NarrowFromUnits(units_, narrowText_);
  if (!narrow_) narrowText_.Empty();
  return true;
}

// ---- records ------------------------------------------------------------

namespace Biff {

Record::Record(WORD id, DWORD fixedDataSize)
    : id_(id), fixedSize_(fixedDataSize), dataSize_(fixedDataSize), streamSize_(fixedDataSize + 4) {}

DWORD Record::DataSize() { return dataSize_; }

DWORD Record::SizeInStream() const {
  DWORD continues;
  if (!splits_.empty())
    continues = static_cast<DWORD>(splits_.size());
  else
    continues = dataSize_ > kMaxRecordData ? (dataSize_ - 1) / kMaxRecordData : 0;
  return dataSize_ + 4 + 4 * continues;
}

DWORD Record::RecordSize() {
  DataSize();
  streamSize_ = SizeInStream();
  return streamSize_;
}

DWORD Record::Write(BYTE* destination) {
  DataSize();
  data_.assign(dataSize_, 0);
  LayOut();
  streamSize_ = SizeInStream();
  return WriteRaw(destination);
}

DWORD Record::WriteRaw(BYTE* destination) const {
  FieldWriter out(destination);
  const DWORD size = static_cast<DWORD>(data_.size());
  // Piece boundaries: the split positions, or every 8224 bytes.
  std::vector<DWORD> bounds;
  if (!splits_.empty()) {
    bounds = splits_;
  } else {
    for (DWORD at = kMaxRecordData; at < size; at += kMaxRecordData) bounds.push_back(at);
  }
  DWORD begin = 0;
  for (size_t k = 0; k <= bounds.size(); ++k) {
    const DWORD end = k < bounds.size() ? bounds[k] : size;
    out.U16(k == 0 ? id_ : kContinueId).U16(end - begin).Bytes(data_.data() + begin, end - begin);
    begin = end;
  }
  return static_cast<DWORD>(out.Position() - destination);
}

bool PeekRecord(const BYTE* bytes, size_t size, WORD& id, WORD& length) {
  if (size < 4) return false;
  id = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
  length = static_cast<WORD>(bytes[2] | (bytes[3] << 8));
  return true;
}

DWORD Record::ReadRaw(const BYTE* bytes, size_t size, bool anyId) {
  WORD id, length;
  if (!PeekRecord(bytes, size, id, length) || (!anyId && id != id_) || size - 4 < length) return 0;
  size_t pos = 4;
  std::vector<BYTE> data(bytes + pos, bytes + pos + length);
  std::vector<DWORD> splits;
  pos += length;
  WORD nextId, nextLength;
  while (PeekRecord(bytes + pos, size - pos, nextId, nextLength) && nextId == kContinueId &&
         size - pos - 4 >= nextLength) {
    splits.push_back(static_cast<DWORD>(data.size()));
    data.insert(data.end(), bytes + pos + 4, bytes + pos + 4 + nextLength);
    pos += 4 + static_cast<size_t>(nextLength);
  }
  id_ = id;
  data_ = std::move(data);
  splits_ = std::move(splits);
  dataSize_ = static_cast<DWORD>(data_.size());
  streamSize_ = static_cast<DWORD>(pos);
  return static_cast<DWORD>(pos);
}

DWORD Record::Read(const BYTE* bytes, size_t size) {
  const DWORD used = ReadRaw(bytes, size, false);
  if (used == 0 || !ParseData()) return 0;
  // From here on the record is sized and split by its fields, as when made.
  splits_.clear();
  dataSize_ = fixedSize_;
  DataSize();
  streamSize_ = SizeInStream();
  return used;
}

void BOF::LayOut() {
  FieldWriter(data_.data()).U16(version).U16(type).U16(build).U16(year).U32(historyFlags).U32(lowestVersion);
}

bool BOF::ParseData() {
  FieldReader in(data_);
  version = in.U16();
  type = in.U16();
  build = in.U16();
  year = in.U16();
  historyFlags = in.U32();
  lowestVersion = in.U32();
  return in.Ok();
}

}  // namespace Biff
