// Saving a document: the sheets converted into worksheet records and the
// shared-string table, the stream offsets inside the records fixed, and the
// whole stream written into one buffer and stored as stream "Workbook".
#include <unordered_map>

#include "xls/Rk.h"
#include "xls/XlsDocument.h"

namespace {

using RowBlock = Biff::Worksheet::CellTable::RowBlock;
using CellBlock = RowBlock::CellBlock;

constexpr DWORD kUnsetRow = 100000;
constexpr WORD kUnsetColumn = 1000;
constexpr size_t kCellReserveStep = 1000;

bool IsRkEligible(const XlsCell& cell) {
  return cell.GetType() == XlsCell::kInteger ? RkIntegerFits(cell.GetIntegerValue())
                                             : RkIsEligible(cell.GetDoubleValue());
}

DWORD RkOf(const XlsCell& cell) {
  return cell.GetType() == XlsCell::kInteger ? RkFromInteger(cell.GetIntegerValue())
                                             : RkFromDouble(cell.GetDoubleValue());
}

struct U16Hash {
  size_t operator()(const std::u16string& s) const {
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t)));
  }
};

}  // namespace

void XlsDocument::ConvertSheetsToRecords() {
  worksheets_.clear();
  for (size_t i = 0; i < sheets_.size(); ++i) worksheets_.push_back(std::make_unique<Biff::Worksheet>());
  Biff::Workbook::SharedStringTable& sst = workbook_.sst;
  sst.Clear();
  std::unordered_map<std::string, DWORD> narrowIndex;
  std::unordered_map<std::u16string, DWORD, U16Hash> wideIndex;

  for (size_t i = 0; i < sheets_.size(); ++i) {
    const XlsSheet& sheet = *sheets_[i];
    Biff::Worksheet& ws = *worksheets_[i];
    const int rowCount = sheet.GetRowCount();
    const int columnCount = sheet.GetColumnCount();
    ws.index.firstUsedRow = kUnsetRow;
    ws.index.lastUsedRowPlus1 = static_cast<DWORD>(rowCount);
    ws.dimensions.firstRow = kUnsetRow;
    ws.dimensions.lastRowPlus1 = static_cast<DWORD>(rowCount);
    ws.dimensions.firstColumn = kUnsetColumn;
    ws.dimensions.lastColumnPlus1 = static_cast<WORD>(columnCount);
    if (i > 0) ws.window2.options &= static_cast<WORD>(~Biff::Worksheet::Window2::kSelected);
    ws.cellTable.blocks.resize(static_cast<size_t>((rowCount + 31) / 32));

    RowBlock* block = nullptr;
    for (int r = 0; r < rowCount; ++r) {
      if (r % 32 == 0) block = &ws.cellTable.blocks[static_cast<size_t>(r / 32)];
      for (int c = 0; c < columnCount; ++c) {
        const XlsCell& cell = *sheet.CellAt(r, c);
        if (ws.index.firstUsedRow == kUnsetRow) {
          ws.index.firstUsedRow = ws.dimensions.firstRow = static_cast<DWORD>(r);
          ws.index.dbcellPositions.assign(static_cast<size_t>((rowCount - r - 1) / 32 + 1), 0);
        }
        if (ws.dimensions.firstColumn == kUnsetColumn) ws.dimensions.firstColumn = static_cast<WORD>(c);
        if (c == 0) {
          RowBlock::Row row;
          row.row = static_cast<WORD>(r);
          row.firstColumn = 0;
          row.lastColumnPlus1 = static_cast<WORD>(columnCount);
          block->rows.push_back(row);
          block->dbcell.cellOffsets.push_back(0);
        }
        if (block->cells.size() == block->cells.capacity())
          block->cells.reserve(block->cells.size() + kCellReserveStep);
        const WORD row = static_cast<WORD>(r);
        const WORD column = static_cast<WORD>(c);
        const WORD xf = static_cast<WORD>(cell.GetXFIndex());
        const auto head = [&](CellBlock::CellRecord& record, WORD atColumn) {
          record.row = row;
          record.column = atColumn;
          record.xfIndex = xf;
        };
        switch (cell.GetType()) {
          case XlsCell::kInteger:
          case XlsCell::kDouble: {
            const bool eligible = IsRkEligible(cell);
            int last = c;
            while (last + 1 < columnCount) {
              const XlsCell& next = *sheet.CellAt(r, last + 1);
              if (next.GetType() != cell.GetType() || IsRkEligible(next) != eligible) break;
              ++last;
            }
            if (eligible && last > c) {
              CellBlock::MulRK mulrk;
              head(mulrk, column);
              for (int k = c; k <= last; ++k) {
                const XlsCell& each = *sheet.CellAt(r, k);
                mulrk.entries.push_back({static_cast<WORD>(each.GetXFIndex()), RkOf(each)});
              }
              mulrk.lastColumn = static_cast<WORD>(last);
              block->cells.emplace_back(std::move(mulrk));
              c = last;
            } else if (eligible) {
              CellBlock::RK rk;
              head(rk, column);
              rk.rk = RkOf(cell);
              block->cells.emplace_back(std::move(rk));
            } else {
              CellBlock::Number number;
              head(number, column);
              number.value = cell.GetDoubleValue();
              block->cells.emplace_back(std::move(number));
            }
            break;
          }
          case XlsCell::kNarrow:
          case XlsCell::kWide: {
            ++sst.totalCount;
            DWORD index;
            if (cell.GetType() == XlsCell::kNarrow) {
              auto [it, added] = narrowIndex.try_emplace(cell.GetNarrow().str(), sst.uniqueCount);
              if (added) {
                sst.entries.emplace_back(cell.GetNarrow());
                ++sst.uniqueCount;
              }
              index = it->second;
            } else {
              auto [it, added] = wideIndex.try_emplace(cell.GetWide(), sst.uniqueCount);
              if (added) {
                XlsLongString entry;
                entry = std::u16string_view(cell.GetWide());
                sst.entries.push_back(std::move(entry));
                ++sst.uniqueCount;
              }
              index = it->second;
            }
            CellBlock::LabelSST label;
            head(label, column);
            label.sstIndex = index;
            block->cells.emplace_back(std::move(label));
            break;
          }
          case XlsCell::kFormula: {
            auto formula = std::make_unique<CellBlock::Formula>();
            head(*formula, column);
            if (cell.FillFormulaRecord(*formula)) {
              block->cells.emplace_back(std::move(formula));
              break;
            }
            [[fallthrough]];
          }
          default: {
            CellBlock::Blank blank;
            head(blank, column);
            block->cells.emplace_back(std::move(blank));
            break;
          }
        }
      }
    }
    for (int r = 0; r < rowCount; ++r)
      for (int c = 0; c < columnCount; ++c) {
        const XlsCell& cell = *sheet.CellAt(r, c);
        if (cell.GetMergedRows() > 1 || cell.GetMergedColumns() > 1) {
          Biff::Worksheet::MergedCells::MergedCell range;
          range.firstRow = static_cast<WORD>(r);
          range.lastRow = static_cast<WORD>(std::min(r + cell.GetMergedRows() - 1, XlsSheet::kMaxRows - 1));
          range.firstColumn = static_cast<WORD>(c);
          range.lastColumn = static_cast<WORD>(std::min(c + cell.GetMergedColumns() - 1, XlsSheet::kMaxColumns - 1));
          ws.mergedCells.ranges.push_back(range);
        }
      }
    if (ws.index.firstUsedRow == kUnsetRow) {
      ws.index.firstUsedRow = ws.dimensions.firstRow = 0;
      ws.index.dbcellPositions.assign(static_cast<size_t>((rowCount - 1) / 32 + 1), 0);
    }
    if (ws.dimensions.firstColumn == kUnsetColumn) ws.dimensions.firstColumn = 0;
  }
}

void XlsDocument::FixStreamOffsets() {
  FixSheetOffsets();
  FixCellBlockOffsets();
}

void XlsDocument::FixSheetOffsets() {
  DWORD pos = workbook_.Size();
  for (size_t i = 0; i < worksheets_.size() && i < workbook_.boundSheets.size(); ++i) {
    workbook_.boundSheets[i].streamPosition = pos;
    pos += worksheets_[i]->Size();
  }
}

void XlsDocument::FixCellBlockOffsets() {
  DWORD pos = workbook_.Size();
  for (auto& sheet : worksheets_) {
    Biff::Worksheet& ws = *sheet;
    pos += ws.bof.RecordSize() + ws.index.RecordSize() + ws.dimensions.RecordSize();
    for (size_t k = 0; k < ws.cellTable.blocks.size(); ++k) {
      RowBlock& block = ws.cellTable.blocks[k];
      DWORD s = 0;
      DWORD rowSizes = 0;
      for (RowBlock::Row& row : block.rows) {
        const DWORD size = row.RecordSize();
        pos += size;
        s += size;
        rowSizes += size;
      }
      std::vector<DWORD> cellSizes;
      cellSizes.reserve(block.cells.size());
      for (CellBlock& cell : block.cells) {
        cellSizes.push_back(cell.Size());
        pos += cellSizes.back();
        s += cellSizes.back();
      }
      if (k < ws.index.dbcellPositions.size()) ws.index.dbcellPositions[k] = pos;
      block.dbcell.firstRowOffset = s;
      DWORD t = rowSizes - 20;
      size_t cursor = 0;
      for (size_t u = 0; u < block.rows.size() && u < block.dbcell.cellOffsets.size(); ++u) {
        while (cursor < block.cells.size() && block.cells[cursor].Row() < block.rows[u].row) t += cellSizes[cursor++];
        block.dbcell.cellOffsets[u] = static_cast<WORD>(t);
        t = 0;
      }
      pos += block.dbcell.RecordSize();
    }
    pos += ws.window2.RecordSize() + ws.mergedCells.Size() + ws.eof.RecordSize();
  }
}

DWORD XlsDocument::WriteRecords(BYTE* buffer) {
  DWORD written = workbook_.Write(buffer);
  for (auto& sheet : worksheets_) written += sheet->Write(buffer + written);
  return written;
}

void XlsDocument::BuildStreamBytes(std::vector<BYTE>& out) {
  ConvertSheetsToRecords();
  FixStreamOffsets();
  DWORD total = workbook_.Size();
  for (auto& sheet : worksheets_) total += sheet->Size();
  out.assign(total, 0);
  WriteRecords(out.data());
}

bool XlsDocument::BuildWorkbookStream() {
  if (!file_.IsOpen()) return false;
  std::vector<BYTE> stream;
  BuildStreamBytes(stream);
  return file_.WriteStream(CString("Workbook"), stream.data(), static_cast<DWORD>(stream.size())) == kStorageOk;
}

bool XlsDocument::LoadWorkbookStream(const BYTE* bytes, size_t size) {
  Biff::Workbook workbook;
  if (workbook.Read(bytes, size) == 0) return false;
  std::vector<std::unique_ptr<Biff::Worksheet>> worksheets;
  for (const auto& boundSheet : workbook.boundSheets) {
    auto ws = std::make_unique<Biff::Worksheet>();
    if (boundSheet.streamPosition >= size || ws->Read(bytes + boundSheet.streamPosition, size - boundSheet.streamPosition) == 0)
      return false;
    worksheets.push_back(std::move(ws));
  }
  workbook_ = std::move(workbook);
  worksheets_ = std::move(worksheets);
  RebuildSheets();
  return true;
}
