#include "xls/XlsDocument.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "xls/Rk.h"
#include "xls/XlsStyle.h"

using Formula = Biff::Worksheet::CellTable::RowBlock::CellBlock::Formula;
using CellBlock = Biff::Worksheet::CellTable::RowBlock::CellBlock;

// ---- cells --------------------------------------------------------------

void XlsCell::SetInteger(int value) {
  type_ = kInteger;
  integer_ = value;
}

void XlsCell::SetDouble(double value) {
  type_ = kDouble;
  double_ = value;
}

void XlsCell::SetString(const CString& text) {
  if (text.IsEmpty()) {
    Clear();
    return;
  }
  type_ = kNarrow;
  narrow_ = text;
  wide_.clear();
}

void XlsCell::SetWideString(std::u16string_view text) {
  if (text.empty()) {
    Clear();
    return;
  }
  type_ = kWide;
  wide_.assign(text);
  narrow_.Empty();
}

void XlsCell::Clear() {
  type_ = kEmpty;
  narrow_.Empty();
  wide_.clear();
}

void XlsCell::SetFormat(XlsCellFormat& format) { xfIndex_ = format.GetXFIndex(); }

bool XlsCell::FormulaResultIsNumber() const {
  return formula_ && !(formula_->result[6] == 0xFF && formula_->result[7] == 0xFF);
}

double XlsCell::FormulaResult() const {
  double value;
  std::memcpy(&value, formula_->result, 8);
  return value;
}

namespace {
// Truncated toward zero and held within the int range; NaN gives 0.
int SaturatedInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT_MAX;
  if (value <= -2147483648.0) return INT_MIN;
  return static_cast<int>(value);
}
}  // namespace

int XlsCell::GetIntegerValue() const {
  switch (type_) {
    case kInteger: return integer_;
    case kDouble: return SaturatedInt(double_);
    case kFormula: return FormulaResultIsNumber() ? SaturatedInt(FormulaResult()) : 0;
    default: return 0;
  }
}

double XlsCell::GetDoubleValue() const {
  switch (type_) {
    case kInteger: return integer_;
    case kDouble: return double_;
    case kFormula: return FormulaResultIsNumber() ? FormulaResult() : 0.0;
    default: return 0.0;
  }
}

bool XlsCell::CopyString(char* buffer, size_t size) const {
  if (type_ != kNarrow || !buffer || size < static_cast<size_t>(narrow_.GetLength()) + 1) return false;
  std::memcpy(buffer, narrow_.GetString(), static_cast<size_t>(narrow_.GetLength()) + 1);
  return true;
}

bool XlsCell::CopyWideString(char16_t* buffer, size_t size) const {
  if (type_ != kWide || !buffer || size < wide_.size() + 1) return false;
  std::copy(wide_.begin(), wide_.end(), buffer);
  buffer[wide_.size()] = 0;
  return true;
}

int XlsCell::GetStringLength() const {
  if (type_ == kNarrow) return narrow_.IsEmpty() ? -1 : narrow_.GetLength();
  return wide_.empty() ? -1 : static_cast<int>(wide_.size());
}

void XlsCell::SetFormulaFromRecord(const Formula& record) {
  auto data = std::make_shared<XlsFormulaData>();
  data->followUpKind = record.followUpKind;
  switch (record.followUpKind) {
    case Formula::Table::kId: data->followUpData = record.table.GetData(); break;
    case Formula::ShrFmla::kId: data->followUpData = record.shrFmla.GetData(); break;
    case Formula::Array::kId: data->followUpData = record.array.GetData(); break;
    case Formula::ShrFmla1::kId: data->followUpData = record.shrFmla1.GetData(); break;
    default: data->followUpKind = 0; break;
  }
  data->tokens = record.tokens;
  std::memcpy(data->result, record.result, 8);
  data->options = record.options;
  type_ = kFormula;
  // The STRING record's bytes (the text result) exactly as read.
  narrow_ = CString(std::string(record.string.bytes.begin(), record.string.bytes.end()));
  wide_.clear();
  formula_ = std::move(data);
}

namespace {
// Parses a follow-up record of the given kind from its data bytes.
template <typename T>
bool ParseFollowUp(T& record, WORD id, const std::vector<BYTE>& data) {
  if (data.size() > 0xFFFF) return false;
  std::vector<BYTE> bytes = {static_cast<BYTE>(id), static_cast<BYTE>(id >> 8), static_cast<BYTE>(data.size()),
                             static_cast<BYTE>(data.size() >> 8)};
  bytes.insert(bytes.end(), data.begin(), data.end());
  return record.Read(bytes.data(), bytes.size()) != 0;
}
}  // namespace

bool XlsCell::FillFormulaRecord(Formula& record) const {
  if (type_ != kFormula || !formula_) return false;
  const XlsFormulaData& f = *formula_;
  record.followUpKind = f.followUpKind;
  bool ok = true;
  switch (f.followUpKind) {
    case Formula::Table::kId: ok = ParseFollowUp(record.table, f.followUpKind, f.followUpData); break;
    case Formula::ShrFmla::kId: ok = ParseFollowUp(record.shrFmla, f.followUpKind, f.followUpData); break;
    case Formula::Array::kId: ok = ParseFollowUp(record.array, f.followUpKind, f.followUpData); break;
    case Formula::ShrFmla1::kId: ok = ParseFollowUp(record.shrFmla1, f.followUpKind, f.followUpData); break;
    default: record.followUpKind = 0; break;
  }
  if (!ok) record.followUpKind = 0;
  std::memcpy(record.result, f.result, 8);
  record.options = f.options;
  record.tokens = f.tokens;
  record.string.bytes.assign(narrow_.str().begin(), narrow_.str().end());
  return true;
}

// ---- sheets -------------------------------------------------------------

XlsSheet::XlsSheet(XlsDocument* document, int index) : document_(document), index_(index) { LoadCells(); }

XlsCell* XlsSheet::Cell(int row, int column) {
  if (row < 0 || column < 0 || row >= kMaxRows || column >= kMaxColumns) return nullptr;
  if (column >= columns_) {
    columns_ = column + 1;
    for (auto& cells : grid_) cells.resize(static_cast<size_t>(columns_));
  }
  if (row >= rows_) {
    rows_ = row + 1;
    grid_.resize(static_cast<size_t>(rows_), std::vector<XlsCell>(static_cast<size_t>(columns_)));
  }
  return &grid_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

const XlsCell* XlsSheet::CellAt(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return nullptr;
  return &grid_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

namespace {
// A number cell from an RK value.
void SetRk(XlsCell& cell, DWORD rk) {
  if (RkIsInteger(rk)) {
    const int value = static_cast<int>(rk) >> 2;
    // An integer with hundredths is not a whole number: keep its fraction.
    if ((rk & 1u) && value % 100 != 0)
      cell.SetDouble(value / 100.0);
    else
      cell.SetInteger(RkToInteger(rk));
  } else {
    cell.SetDouble(RkToDouble(rk));
  }
}
}  // namespace

void XlsSheet::LoadCells() {
  Biff::Worksheet& records = document_->GetWorksheetRecords(index_);
  const std::vector<XlsLongString>& strings = document_->GetWorkbookRecords().sst.entries;
  long long rows = records.dimensions.lastRowPlus1;
  long long columns = records.dimensions.lastColumnPlus1;
  if (rows == 0 && columns == 0 && !records.cellTable.blocks.empty()) {
    for (auto& block : records.cellTable.blocks)
      for (auto& cell : block.cells) {
        long long last = cell.Column();
        if (auto* mulrk = cell.As<CellBlock::MulRK>()) last += static_cast<long long>(mulrk->entries.size()) - 1;
        if (auto* mulblank = cell.As<CellBlock::MulBlank>())
          last += static_cast<long long>(mulblank->xfIndices.size()) - 1;
        rows = std::max(rows, cell.Row() + 1ll);
        columns = std::max(columns, last + 1);
      }
  }
  rows = std::min<long long>(rows, kMaxRows);
  columns = std::min<long long>(columns, kMaxColumns);
  rows_ = static_cast<int>(rows);
  columns_ = static_cast<int>(columns);
  grid_.assign(static_cast<size_t>(rows_), std::vector<XlsCell>(static_cast<size_t>(columns_)));
  const auto at = [&](long long r, long long c) -> XlsCell* {
    if (r < 0 || c < 0 || r >= rows_ || c >= columns_) return nullptr;
    return &grid_[static_cast<size_t>(r)][static_cast<size_t>(c)];
  };
  for (auto& block : records.cellTable.blocks) {
    for (auto& cell : block.cells) {
      const long long r = cell.Row();
      const long long c = cell.Column();
      if (auto* mulrk = cell.As<CellBlock::MulRK>()) {
        for (size_t k = 0; k < mulrk->entries.size(); ++k)
          if (XlsCell* target = at(r, c + static_cast<long long>(k))) {
            SetRk(*target, mulrk->entries[k].rk);
            target->SetXFIndex(mulrk->entries[k].xfIndex);
          }
        continue;
      }
      if (auto* mulblank = cell.As<CellBlock::MulBlank>()) {
        for (size_t k = 0; k < mulblank->xfIndices.size(); ++k)
          if (XlsCell* target = at(r, c + static_cast<long long>(k))) target->SetXFIndex(mulblank->xfIndices[k]);
        continue;
      }
      XlsCell* target = at(r, c);
      const CellBlock::CellRecord* record = cell.Get();
      if (!target || !record) continue;
      if (auto* number = cell.As<CellBlock::Number>()) {
        target->SetDouble(number->value);
      } else if (auto* boolErr = cell.As<CellBlock::BoolErr>()) {
        if (!boolErr->isError) target->SetInteger(boolErr->value ? 1 : 0);
      } else if (auto* rk = cell.As<CellBlock::RK>()) {
        SetRk(*target, rk->rk);
      } else if (auto* label = cell.As<CellBlock::LabelSST>()) {
        if (label->sstIndex < strings.size()) {
          const XlsLongString& s = strings[label->sstIndex];
          CString narrow;
          if (s.GetNarrow(narrow))
            target->SetString(narrow);
          else
            target->SetWideString(s.GetUnits());
        }
      } else if (auto* formula = cell.As<Formula>()) {
        target->SetFormulaFromRecord(*formula);
      }
      target->SetXFIndex(record->xfIndex);
    }
  }
  for (const auto& range : records.mergedCells.ranges) {
    if (XlsCell* first = at(range.firstRow, range.firstColumn))
      first->SetMergedSize(static_cast<WORD>(range.lastRow - range.firstRow + 1),
                           static_cast<WORD>(range.lastColumn - range.firstColumn + 1));
  }
}

// ---- document -----------------------------------------------------------

XlsDocument::XlsDocument() = default;

XlsDocument::~XlsDocument() {
  file_.Close();
  sheets_.clear();
  worksheets_.clear();
}

void XlsDocument::New(int sheetCount) {
  workbook_ = Biff::Workbook();
  worksheets_.clear();
  workbook_.fonts.resize(1);
  workbook_.xfs.resize(21);
  workbook_.styles.resize(6);
  workbook_.boundSheets.resize(1);
  worksheets_.push_back(std::make_unique<Biff::Worksheet>());
  RebuildSheets();
  for (int i = 1; i < sheetCount; ++i) AddWorksheet(-1);
}

void XlsDocument::RebuildSheets() {
  sheets_.clear();
  for (size_t i = 0; i < worksheets_.size(); ++i)
    sheets_.push_back(std::make_unique<XlsSheet>(this, static_cast<int>(i)));
}

XlsSheet* XlsDocument::AddWorksheet(const CString& name, int index) {
  if (name.IsEmpty() || name.GetLength() > 31) return nullptr;
  for (const auto& sheet : workbook_.boundSheets)
    if (sheet.name.IsNarrow() && sheet.name.GetNarrow().CompareNoCase(name) == 0) return nullptr;
  if (index < 0 || index > GetSheetCount()) index = GetSheetCount();
  const auto at = static_cast<size_t>(index);
  workbook_.boundSheets.insert(workbook_.boundSheets.begin() + index, Biff::Workbook::BoundSheet());
  worksheets_.insert(worksheets_.begin() + index, std::make_unique<Biff::Worksheet>());
  sheets_.insert(sheets_.begin() + index, std::make_unique<XlsSheet>(this, index));
  for (size_t i = at + 1; i < sheets_.size(); ++i) sheets_[i]->SetIndex(static_cast<int>(i));
  workbook_.boundSheets[at].name = name;
  worksheets_[at]->window2.options &= static_cast<WORD>(~Biff::Worksheet::Window2::kSelected);
  return sheets_[at].get();
}

XlsSheet* XlsDocument::AddWorksheet(int index) {
  for (unsigned number = static_cast<unsigned>(GetSheetCount()) + 1;; ++number) {
    CString name;
    name.Format("Sheet%u", number);
    if (XlsSheet* sheet = AddWorksheet(name, index)) return sheet;
  }
}

XlsSheet* XlsDocument::GetWorksheet(int index) {
  if (index < 0 || index >= GetSheetCount()) return nullptr;
  return sheets_[static_cast<size_t>(index)].get();
}

bool XlsDocument::SaveAs(const CString& path) {
  if (file_.IsOpen()) file_.Close();
  if (!file_.Create(path)) return false;
  try {
    if (file_.MakeStream(CString("Workbook")) != kStorageOk || !BuildWorkbookStream()) {
      file_.Discard();
      return false;
    }
  } catch (...) {
    file_.Discard();
    throw;
  }
  return true;
}
