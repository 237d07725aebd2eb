#include "xls/BiffWorksheet.h"

#include <algorithm>

namespace Biff {

using RowBlock = Worksheet::CellTable::RowBlock;
using CellBlock = RowBlock::CellBlock;

DWORD Worksheet::Index::DataSize() { return dataSize_ = 16 + 4 * static_cast<DWORD>(dbcellPositions.size()); }

void Worksheet::Index::LayOut() {
  FieldWriter out(data_.data());
  out.U32(0).U32(firstUsedRow).U32(lastUsedRowPlus1).U32(0);
  for (DWORD p : dbcellPositions) out.U32(p);
}

bool Worksheet::Index::ParseData() {
  FieldReader in(data_);
  in.U32();
  firstUsedRow = in.U32();
  lastUsedRowPlus1 = in.U32();
  in.U32();
  if (!in.Ok()) return false;
  dbcellPositions.clear();
  while (in.Remaining() >= 4) dbcellPositions.push_back(in.U32());
  return true;
}

void Worksheet::Dimensions::LayOut() {
  FieldWriter(data_.data()).U32(firstRow).U32(lastRowPlus1).U16(firstColumn).U16(lastColumnPlus1).U16(0);
}

bool Worksheet::Dimensions::ParseData() {
  FieldReader in(data_);
  firstRow = in.U32();
  lastRowPlus1 = in.U32();
  firstColumn = in.U16();
  lastColumnPlus1 = in.U16();
  return in.Ok();
}

void RowBlock::Row::LayOut() {
  FieldWriter(data_.data()).U16(row).U16(firstColumn).U16(lastColumnPlus1).U16(height).U16(0).U16(0).U32(options);
}

bool RowBlock::Row::ParseData() {
  FieldReader in(data_);
  row = in.U16();
  firstColumn = in.U16();
  lastColumnPlus1 = in.U16();
  height = in.U16();
  in.U16();
  in.U16();
  options = in.U32();
  return in.Ok();
}

// ---- cell records -------------------------------------------------------

namespace {
FieldWriter CellHead(std::vector<BYTE>& data, const CellBlock::CellRecord& r) {
  FieldWriter out(data.data());
  out.U16(r.row).U16(r.column).U16(r.xfIndex);
  return out;
}

FieldReader ReadCellHead(const std::vector<BYTE>& data, CellBlock::CellRecord& r) {
  FieldReader in(data);
  r.row = in.U16();
  r.column = in.U16();
  r.xfIndex = in.U16();
  return in;
}
}  // namespace

void CellBlock::Blank::LayOut() { CellHead(data_, *this); }

bool CellBlock::Blank::ParseData() { return ReadCellHead(data_, *this).Ok(); }

void CellBlock::BoolErr::LayOut() { CellHead(data_, *this).U8(value).U8(isError); }

bool CellBlock::BoolErr::ParseData() {
  FieldReader in = ReadCellHead(data_, *this);
  value = in.U8();
  isError = in.U8();
  return in.Ok();
}

void CellBlock::LabelSST::LayOut() { CellHead(data_, *this).U32(sstIndex); }

bool CellBlock::LabelSST::ParseData() {
  FieldReader in = ReadCellHead(data_, *this);
  sstIndex = in.U32();
  return in.Ok();
}

DWORD CellBlock::MulBlank::DataSize() { return dataSize_ = 6 + 2 * static_cast<DWORD>(xfIndices.size()); }

void CellBlock::MulBlank::LayOut() {
  FieldWriter out(data_.data());
  out.U16(row).U16(column);
  for (WORD xf : xfIndices) out.U16(xf);
  out.U16(lastColumn);
}

bool CellBlock::MulBlank::ParseData() {
  FieldReader in(data_);
  row = in.U16();
  column = in.U16();
  if (!in.Ok() || data_.size() < 6 || data_.size() % 2 != 0) return false;
  xfIndices.clear();
  while (in.Remaining() > 2) xfIndices.push_back(in.U16());
  lastColumn = in.U16();
  xfIndex = xfIndices.empty() ? 0 : xfIndices.front();
  return in.Ok();
}

DWORD CellBlock::MulRK::DataSize() { return dataSize_ = 6 + 6 * static_cast<DWORD>(entries.size()); }

void CellBlock::MulRK::LayOut() {
  FieldWriter out(data_.data());
  out.U16(row).U16(column);
  for (const Entry& e : entries) out.U16(e.xfIndex).U32(e.rk);
  out.U16(lastColumn);
}

bool CellBlock::MulRK::ParseData() {
  FieldReader in(data_);
  row = in.U16();
  column = in.U16();
  if (!in.Ok() || data_.size() < 6 || (data_.size() - 6) % 6 != 0) return false;
  entries.clear();
  while (in.Remaining() > 2) {
    Entry e;
    e.xfIndex = in.U16();
    e.rk = in.U32();
    entries.push_back(e);
  }
  lastColumn = in.U16();
  xfIndex = entries.empty() ? 0 : entries.front().xfIndex;
  return in.Ok();
}

void CellBlock::Number::LayOut() { CellHead(data_, *this).F64(value); }

bool CellBlock::Number::ParseData() {
  FieldReader in = ReadCellHead(data_, *this);
  value = in.F64();
  return in.Ok();
}

void CellBlock::RK::LayOut() { CellHead(data_, *this).U32(rk); }

bool CellBlock::RK::ParseData() {
  FieldReader in = ReadCellHead(data_, *this);
  rk = in.U32();
  return in.Ok();
}

// ---- formulas -----------------------------------------------------------

using Formula = CellBlock::Formula;

DWORD Formula::Array::DataSize() { return dataSize_ = 12 + static_cast<DWORD>(tokens.size()); }

void Formula::Array::LayOut() {
  FieldWriter(data_.data()).U16(firstRow).U16(lastRow).U8(firstColumn).U8(lastColumn).U16(options).U32(reserved)
      .Bytes(tokens);
}

bool Formula::Array::ParseData() {
  FieldReader in(data_);
  firstRow = in.U16();
  lastRow = in.U16();
  firstColumn = in.U8();
  lastColumn = in.U8();
  options = in.U16();
  reserved = in.U32();
  return in.Ok() && in.Bytes(in.Remaining(), tokens);
}

DWORD Formula::ShrFmla::DataSize() { return dataSize_ = 8 + static_cast<DWORD>(tokens.size()); }

void Formula::ShrFmla::LayOut() {
  FieldWriter(data_.data()).U16(firstRow).U16(lastRow).U8(firstColumn).U8(lastColumn).U16(reserved).Bytes(tokens);
}

bool Formula::ShrFmla::ParseData() {
  FieldReader in(data_);
  firstRow = in.U16();
  lastRow = in.U16();
  firstColumn = in.U8();
  lastColumn = in.U8();
  reserved = in.U16();
  return in.Ok() && in.Bytes(in.Remaining(), tokens);
}

void Formula::Table::LayOut() {
  FieldWriter(data_.data()).U16(firstRow).U16(lastRow).U8(firstColumn).U8(lastColumn).U16(options)
      .U16(inputRow).U16(inputColumn).U16(secondInputRow).U16(secondInputColumn);
}

bool Formula::Table::ParseData() {
  FieldReader in(data_);
  firstRow = in.U16();
  lastRow = in.U16();
  firstColumn = in.U8();
  lastColumn = in.U8();
  options = in.U16();
  inputRow = in.U16();
  inputColumn = in.U16();
  secondInputRow = in.U16();
  secondInputColumn = in.U16();
  return in.Ok();
}

DWORD Formula::String::DataSize() { return dataSize_ = static_cast<DWORD>(bytes.size()); }

void Formula::String::LayOut() { FieldWriter(data_.data()).Bytes(bytes); }

bool Formula::String::ParseData() {
  bytes = data_;
  return true;
}

namespace {
Record* FollowUp(Formula& f) {
  switch (f.followUpKind) {
    case Formula::Table::kId: return &f.table;
    case Formula::ShrFmla::kId: return &f.shrFmla;
    case Formula::Array::kId: return &f.array;
    case Formula::ShrFmla1::kId: return &f.shrFmla1;
    default: return nullptr;
  }
}
}  // namespace

DWORD Formula::DataSize() { return dataSize_ = 20 + static_cast<DWORD>(tokens.size()); }

DWORD Formula::RecordSize() {
  DWORD size = Record::RecordSize();
  if (Record* follow = FollowUp(*this)) size += follow->RecordSize();
  if (!string.bytes.empty()) size += string.RecordSize();
  return size;
}

void Formula::LayOut() {
  CellHead(data_, *this).Bytes(result, 8).U16(options).U32(0).Bytes(tokens);
}

bool Formula::ParseData() {
  FieldReader in = ReadCellHead(data_, *this);
  for (BYTE& b : result) b = in.U8();
  options = in.U16();
  in.U32();
  return in.Ok() && in.Bytes(in.Remaining(), tokens);
}

DWORD Formula::Write(BYTE* destination) {
  DWORD written = Record::Write(destination);
  if (Record* follow = FollowUp(*this)) written += follow->Write(destination + written);
  if (!string.bytes.empty()) written += string.Write(destination + written);
  return written;
}

DWORD Formula::Read(const BYTE* bytes, size_t size) {
  DWORD used = Record::Read(bytes, size);
  if (used == 0) return 0;
  followUpKind = 0;
  string.bytes.clear();
  WORD id, length;
  if (PeekRecord(bytes + used, size - used, id, length)) {
    followUpKind = id;
    if (Record* follow = FollowUp(*this)) {
      const DWORD n = follow->Read(bytes + used, size - used);
      if (n == 0) return 0;
      used += n;
    } else {
      followUpKind = 0;
    }
  }
  if (PeekRecord(bytes + used, size - used, id, length) && id == String::kId) {
    const DWORD n = string.Read(bytes + used, size - used);
    if (n == 0) return 0;
    used += n;
  }
  return used;
}

// ---- cell blocks --------------------------------------------------------

CellBlock::CellBlock(std::unique_ptr<Formula> formula) : tag(Formula::kId), record_(std::move(formula)) {}

CellBlock::CellRecord* CellBlock::Get() {
  return std::visit(
      [](auto& r) -> CellRecord* {
        using T = std::decay_t<decltype(r)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          return nullptr;
        else if constexpr (std::is_same_v<T, std::unique_ptr<Formula>>)
          return r.get();
        else
          return &r;
      },
      record_);
}

const CellBlock::CellRecord* CellBlock::Get() const { return const_cast<CellBlock*>(this)->Get(); }

WORD CellBlock::Row() const {
  const CellRecord* r = Get();
  return r ? r->row : 0;
}

WORD CellBlock::Column() const {
  const CellRecord* r = Get();
  return r ? r->column : 0;
}

DWORD CellBlock::Size() {
  CellRecord* r = Get();
  return r ? r->RecordSize() : 0;
}

DWORD CellBlock::Write(BYTE* destination) {
  CellRecord* r = Get();
  return r ? r->Write(destination) : 0;
}

DWORD RowBlock::DBCell::DataSize() { return dataSize_ = 4 + 2 * static_cast<DWORD>(cellOffsets.size()); }

void RowBlock::DBCell::LayOut() {
  FieldWriter out(data_.data());
  out.U32(firstRowOffset);
  for (WORD o : cellOffsets) out.U16(o);
}

bool RowBlock::DBCell::ParseData() {
  FieldReader in(data_);
  firstRowOffset = in.U32();
  if (!in.Ok()) return false;
  cellOffsets.clear();
  while (in.Remaining() >= 2) cellOffsets.push_back(in.U16());
  return true;
}

void Worksheet::Window2::LayOut() {
  FieldWriter(data_.data())
      .U16(options).U16(firstVisibleRow).U16(firstVisibleColumn).U16(gridColorIndex).U16(reserved)
      .U16(pageBreakZoom).U16(normalZoom).U32(reserved2);
}

bool Worksheet::Window2::ParseData() {
  FieldReader in(data_);
  options = in.U16();
  firstVisibleRow = in.U16();
  firstVisibleColumn = in.U16();
  gridColorIndex = in.U16();
  reserved = in.U16();
  pageBreakZoom = in.U16();
  normalZoom = in.U16();
  reserved2 = in.U32();
  // Older writers end the record after the grid-line colour.
  return data_.size() >= 10;
}

// ---- merged ranges ------------------------------------------------------

DWORD Worksheet::MergedCells::MergedCell::Read(const BYTE* bytes) {
  FieldReader in(bytes, 8);
  firstRow = in.U16();
  lastRow = in.U16();
  firstColumn = in.U16();
  lastColumn = in.U16();
  return 8;
}

DWORD Worksheet::MergedCells::MergedCell::Write(BYTE* destination) const {
  FieldWriter(destination).U16(firstRow).U16(lastRow).U16(firstColumn).U16(lastColumn);
  return 8;
}

DWORD Worksheet::MergedCells::Size() const {
  if (ranges.empty()) return 0;
  const DWORD records = static_cast<DWORD>((ranges.size() + kPerRecord - 1) / kPerRecord);
  return 8 * static_cast<DWORD>(ranges.size()) + 6 * records;
}

DWORD Worksheet::MergedCells::Write(BYTE* destination) const {
  BYTE* p = destination;
  for (size_t first = 0; first < ranges.size(); first += kPerRecord) {
    const size_t n = std::min(kPerRecord, ranges.size() - first);
    FieldWriter(p).U16(kId).U16(static_cast<unsigned>(8 * n + 2)).U16(static_cast<unsigned>(n));
    p += 6;
    for (size_t i = first; i < first + n; ++i) p += ranges[i].Write(p);
  }
  return static_cast<DWORD>(p - destination);
}

DWORD Worksheet::MergedCells::Read(const BYTE* bytes, size_t size) {
  WORD id, length;
  if (!PeekRecord(bytes, size, id, length) || id != kId || size - 4 < length || length < 2) return 0;
  const size_t n = static_cast<size_t>(bytes[4] | (bytes[5] << 8));
  if (2 + 8 * n > length) return 0;
  for (size_t i = 0; i < n; ++i) {
    MergedCell range;
    range.Read(bytes + 6 + 8 * i);
    ranges.push_back(range);
  }
  return 4u + length;
}

// ---- the record set -----------------------------------------------------

Worksheet::Worksheet() { bof.type = 0x0010; }

DWORD Worksheet::Size() {
  DWORD size = bof.RecordSize() + index.RecordSize() + dimensions.RecordSize();
  for (RowBlock& block : cellTable.blocks) {
    for (RowBlock::Row& row : block.rows) size += row.RecordSize();
    for (CellBlock& cell : block.cells) size += cell.Size();
    size += block.dbcell.RecordSize();
  }
  return size + window2.RecordSize() + mergedCells.Size() + eof.RecordSize();
}

DWORD Worksheet::Write(BYTE* destination) {
  BYTE* p = destination;
  p += bof.Write(p);
  p += index.Write(p);
  p += dimensions.Write(p);
  for (RowBlock& block : cellTable.blocks) {
    for (RowBlock::Row& row : block.rows) p += row.Write(p);
    for (CellBlock& cell : block.cells) p += cell.Write(p);
    p += block.dbcell.Write(p);
  }
  p += window2.Write(p);
  p += mergedCells.Write(p);
  p += eof.Write(p);
  return static_cast<DWORD>(p - destination);
}

namespace {
template <typename T>
DWORD ReadCell(RowBlock& block, const BYTE* bytes, size_t size) {
  T record;
  const DWORD used = record.Read(bytes, size);
  if (used) block.cells.emplace_back(std::move(record));
  return used;
}
}  // namespace

size_t Worksheet::Read(const BYTE* bytes, size_t size) {
  Worksheet read;
  size_t pos = read.bof.Read(bytes, size);
  if (pos == 0 || read.bof.type != 0x0010) return 0;
  bool blockOpen = false;
  const auto block = [&]() -> RowBlock& {
    if (!blockOpen) {
      read.cellTable.blocks.emplace_back();
      blockOpen = true;
    }
    return read.cellTable.blocks.back();
  };
  for (;;) {
    WORD id, length;
    if (!PeekRecord(bytes + pos, size - pos, id, length)) return 0;
    const BYTE* at = bytes + pos;
    const size_t left = size - pos;
    DWORD used = 0;
    switch (id) {
      case Index::kId: used = read.index.Read(at, left); break;
      case Dimensions::kId: used = read.dimensions.Read(at, left); break;
      case RowBlock::Row::kId: {
        RowBlock::Row row;
        if ((used = row.Read(at, left)) != 0) block().rows.push_back(row);
        break;
      }
      case CellBlock::Blank::kId: used = ReadCell<CellBlock::Blank>(block(), at, left); break;
      case CellBlock::BoolErr::kId: used = ReadCell<CellBlock::BoolErr>(block(), at, left); break;
      case CellBlock::LabelSST::kId: used = ReadCell<CellBlock::LabelSST>(block(), at, left); break;
      case CellBlock::MulBlank::kId: used = ReadCell<CellBlock::MulBlank>(block(), at, left); break;
      case CellBlock::MulRK::kId: used = ReadCell<CellBlock::MulRK>(block(), at, left); break;
      case CellBlock::Number::kId: used = ReadCell<CellBlock::Number>(block(), at, left); break;
      case CellBlock::RK::kId: used = ReadCell<CellBlock::RK>(block(), at, left); break;
      case Formula::kId: {
        auto formula = std::make_unique<Formula>();
        if ((used = formula->Read(at, left)) != 0) block().cells.emplace_back(std::move(formula));
        break;
      }
      case RowBlock::DBCell::kId:
        if ((used = block().dbcell.Read(at, left)) != 0) blockOpen = false;
        break;
      case Window2::kId: used = read.window2.Read(at, left); break;
      case MergedCells::kId: used = read.mergedCells.Read(at, left); break;
      case YEOF::kId:
        if ((used = read.eof.Read(at, left)) == 0) return 0;
        *this = std::move(read);
        return pos + used;
      default: {
        Record other;
        used = other.ReadAny(at, left);
        break;
      }
    }
    if (used == 0) return 0;
    pos += used;
  }
}

}  // namespace Biff
