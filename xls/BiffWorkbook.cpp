#include "xls/BiffWorkbook.h"

namespace Biff {

void Workbook::Window1::LayOut() {
  FieldWriter(data_.data())
      .U16(horizontalPosition).U16(verticalPosition).U16(width).U16(height).U16(options)
      .U16(activeSheet).U16(firstVisibleTab).U16(selectedSheets).U16(tabBarWidth);
}

bool Workbook::Window1::ParseData() {
  FieldReader in(data_);
  horizontalPosition = in.U16();
  verticalPosition = in.U16();
  width = in.U16();
  height = in.U16();
  options = in.U16();
  activeSheet = in.U16();
  firstVisibleTab = in.U16();
  selectedSheets = in.U16();
  tabBarWidth = in.U16();
  return in.Ok();
}

Workbook::Font::Font() : Record(kId, 0) {
  name = std::u16string_view(u"Arial");
  DataSize();
  streamSize_ = SizeInStream();
}

DWORD Workbook::Font::DataSize() { return dataSize_ = 14 + name.Size(); }

void Workbook::Font::LayOut() {
  FieldWriter out(data_.data());
  out.U16(height).U16(options).U16(colorIndex).U16(weight).U16(escapement)
      .U8(underline).U8(family).U8(charSet).U8(reserved);
  name.Write(out);
}

bool Workbook::Font::ParseData() {
  FieldReader in(data_);
  height = in.U16();
  options = in.U16();
  colorIndex = in.U16();
  weight = in.U16();
  escapement = in.U16();
  underline = in.U8();
  family = in.U8();
  charSet = in.U8();
  reserved = in.U8();
  return in.Ok() && name.Read(in);
}

DWORD Workbook::Format::DataSize() { return dataSize_ = 2 + format.Size(); }

void Workbook::Format::LayOut() {
  FieldWriter out(data_.data());
  out.U16(index);
  format.Write(out);
}

bool Workbook::Format::ParseData() {
  FieldReader in(data_);
  index = in.U16();
  return in.Ok() && format.Read(in);
}

void Workbook::XF::LayOut() {
  FieldWriter(data_.data())
      .U16(fontIndex).U16(formatIndex).U16(typeProtection)
      .U8(alignment).U8(rotation).U8(textProperties).U8(usedAttributes)
      .U32(borderLines).U32(borderColorsPattern).U16(fillColors);
}

bool Workbook::XF::ParseData() {
  FieldReader in(data_);
  fontIndex = in.U16();
  formatIndex = in.U16();
  typeProtection = in.U16();
  alignment = in.U8();
  rotation = in.U8();
  textProperties = in.U8();
  usedAttributes = in.U8();
  borderLines = in.U32();
  borderColorsPattern = in.U32();
  fillColors = in.U16();
  return in.Ok();
}

DWORD Workbook::Style::DataSize() { return dataSize_ = IsBuiltIn() ? 4 : 2 + name.Size(); }

void Workbook::Style::LayOut() {
  FieldWriter out(data_.data());
  out.U16(xfIndex);
  if (IsBuiltIn())
    out.U8(styleId).U8(level);
  else
    name.Write(out);
}

bool Workbook::Style::ParseData() {
  FieldReader in(data_);
  xfIndex = in.U16();
  if (IsBuiltIn()) {
    styleId = in.U8();
    level = in.U8();
    return in.Ok();
  }
  return in.Ok() && name.Read(in);
}

Workbook::BoundSheet::BoundSheet() : Record(kId, 0) {
  name = CString("Sheet1");
  DataSize();
  streamSize_ = SizeInStream();
}

DWORD Workbook::BoundSheet::DataSize() { return dataSize_ = 6 + name.Size(); }

void Workbook::BoundSheet::LayOut() {
  FieldWriter out(data_.data());
  out.U32(streamPosition).U8(visibility).U8(sheetType);
  name.Write(out);
}

bool Workbook::BoundSheet::ParseData() {
  FieldReader in(data_);
  streamPosition = in.U32();
  visibility = in.U8();
  sheetType = in.U8();
  return in.Ok() && name.Read(in);
}

// ---- shared strings -----------------------------------------------------

void Workbook::SharedStringTable::Clear() {
  totalCount = 0;
  uniqueCount = 0;
  entries.clear();
}

DWORD Workbook::SharedStringTable::DataSize() {
  splits_.clear();
  insideChars_.clear();
  DWORD size = 8;
  DWORD limit = kMaxRecordData;
  for (const XlsLongString& entry : entries) {
    const DWORD d = entry.CharBytes();
    const bool is16 = entry.Is16Bit();
    if (size + d + 3 <= limit) {
      size += d + 3;
      continue;
    }
    if (limit - size < 12) {
      // Too little room for a head and some characters: the entry starts
      // the next CONTINUE whole.
      splits_.push_back(size);
      insideChars_.push_back(false);
      limit = size + kMaxRecordData;
      if (size + d + 3 <= limit) {
        size += d + 3;
        continue;
      }
    }
    // The head and the first characters stay; only whole characters for a
    // 16-bit entry.
    DWORD room = limit - size - 3;
    if (is16 && room % 2 == 1) --room;
    DWORD left = d - room;
    DWORD split = size + 3 + room;
    splits_.push_back(split);
    insideChars_.push_back(true);
    // Further full CONTINUE records only while more than one record's worth
    // remains, so the last piece always carries characters and no lone option
    // byte stands before the next entry.
    const DWORD capacity = is16 ? kMaxRecordData - 2 : kMaxRecordData - 1;
    while (left > capacity) {
      split += 1 + capacity;
      splits_.push_back(split);
      insideChars_.push_back(true);
      left -= capacity;
    }
    size = split + 1 + left;
    limit = split + kMaxRecordData;
  }
  return dataSize_ = size;
}

void Workbook::SharedStringTable::LayOut() {
  FieldWriter out(data_.data());
  out.U32(totalCount).U32(uniqueCount);
  const auto pos = [&] { return static_cast<DWORD>(out.Position() - data_.data()); };
  size_t k = 0;
  for (XlsLongString& entry : entries) {
    // A split before the entry's head starts a CONTINUE with the head itself.
    while (k < splits_.size() && !insideChars_[k] && splits_[k] <= pos()) ++k;
    entry.WriteHead(out);
    const size_t unit = entry.Is16Bit() ? 2 : 1;
    const size_t count = entry.GetUnits().size();
    size_t done = 0;
    while (k < splits_.size() && insideChars_[k] && splits_[k] < pos() + (count - done) * unit) {
      const size_t take = (splits_[k] - pos()) / unit;
      entry.WriteChars(out, done, take);
      done += take;
      out.U8(entry.GetOption());
      ++k;
    }
    entry.WriteChars(out, done, count - done);
  }
}

bool Workbook::SharedStringTable::ParseData() {
  FieldReader in(data_);
  totalCount = in.U32();
  uniqueCount = in.U32();
  if (!in.Ok()) return false;
  entries.clear();
  while (entries.size() < uniqueCount && in.Remaining() > 0) {
    XlsLongString entry;
    if (!entry.ReadContinued(in, splits_)) return false;
    entries.push_back(std::move(entry));
  }
  return entries.size() == uniqueCount;
}

DWORD Workbook::ExtSST::DataSize() { return dataSize_ = 2 + 8 * static_cast<DWORD>(buckets.size()); }

void Workbook::ExtSST::LayOut() {
  FieldWriter out(data_.data());
  out.U16(stringsPerBucket);
  for (const Bucket& b : buckets) out.U32(b.streamPosition).U16(b.offset).U16(b.reserved);
}

bool Workbook::ExtSST::ParseData() {
  FieldReader in(data_);
  stringsPerBucket = in.U16();
  buckets.clear();
  while (in.Ok() && in.Remaining() >= 8) {
    Bucket b;
    b.streamPosition = in.U32();
    b.offset = in.U16();
    b.reserved = in.U16();
    buckets.push_back(b);
  }
  return in.Ok();
}

// ---- the record set -----------------------------------------------------

Workbook::Workbook() {
  bof.type = 0x0005;
}

DWORD Workbook::Size() {
  DWORD size = bof.RecordSize() + window1.RecordSize();
  for (Font& r : fonts) size += r.RecordSize();
  for (Format& r : formats)
    if (r.index >= 164) size += r.RecordSize();
  for (XF& r : xfs) size += r.RecordSize();
  for (Style& r : styles) size += r.RecordSize();
  for (BoundSheet& r : boundSheets) size += r.RecordSize();
  size += sst.RecordSize();
  size += eof.RecordSize();
  return size;
}

DWORD Workbook::Write(BYTE* destination) {
  BYTE* p = destination;
  p += bof.Write(p);
  p += window1.Write(p);
  for (Font& r : fonts) p += r.Write(p);
  for (Format& r : formats)
    if (r.index >= 164) p += r.Write(p);
  for (XF& r : xfs) p += r.Write(p);
  for (Style& r : styles) p += r.Write(p);
  for (BoundSheet& r : boundSheets) p += r.Write(p);
  p += sst.Write(p);
  p += eof.Write(p);
  return static_cast<DWORD>(p - destination);
}

namespace {
// Reads one record of type T into the list; false when it does not parse.
template <typename T>
bool ReadInto(std::vector<T>& list, const BYTE* bytes, size_t size, size_t& used) {
  T record;
  used = record.Read(bytes, size);
  if (used == 0) return false;
  list.push_back(std::move(record));
  return true;
}
}  // namespace

size_t Workbook::Read(const BYTE* bytes, size_t size) {
  Workbook read;
  size_t pos = read.bof.Read(bytes, size);
  if (pos == 0 || read.bof.type != 0x0005) return 0;
  for (;;) {
    WORD id, length;
    if (!PeekRecord(bytes + pos, size - pos, id, length)) return 0;
    const BYTE* at = bytes + pos;
    const size_t left = size - pos;
    size_t used = 0;
    bool ok = true;
    switch (id) {
      case Window1::kId: ok = (used = read.window1.Read(at, left)) != 0; break;
      case Font::kId: ok = ReadInto(read.fonts, at, left, used); break;
      case Format::kId: ok = ReadInto(read.formats, at, left, used); break;
      case XF::kId: ok = ReadInto(read.xfs, at, left, used); break;
      case Style::kId: ok = ReadInto(read.styles, at, left, used); break;
      case BoundSheet::kId: ok = ReadInto(read.boundSheets, at, left, used); break;
      case SharedStringTable::kId: ok = (used = read.sst.Read(at, left)) != 0; break;
      case ExtSST::kId: ok = (used = read.extSst.Read(at, left)) != 0; break;
      case YEOF::kId:
        if ((used = read.eof.Read(at, left)) == 0) return 0;
        *this = std::move(read);
        return pos + used;
      default: {
        Record other;
        ok = (used = other.ReadAny(at, left)) != 0;
        break;
      }
    }
    if (!ok) return 0;
    pos += used;
  }
}

}  // namespace Biff
