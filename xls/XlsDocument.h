// The workbook model of the spreadsheet writer: a document (XlsDocument) of
// worksheets (XlsSheet) made of cells (XlsCell), saved as the stream
// "Workbook" of BIFF8 records inside a compound document file.
//
// Narrow texts (cell strings, sheet names, paths) are CString bytes in the
// interface code page; in the file they become UTF-16 code units, stored
// one byte each when all of them are at most 0xFF, else two.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "xls/BiffWorkbook.h"
#include "xls/BiffWorksheet.h"
#include "xls/StorageFile.h"

class XlsDocument;
class XlsCellFormat;

// What a formula cell read from a FORMULA record carries back into one.
struct XlsFormulaData {
  WORD followUpKind = 0;              // TABLE, ARRAY or a shared-formula record id; 0 none
  std::vector<BYTE> followUpData;     // that record's data, as read
  std::vector<BYTE> tokens;           // the formula's own token bytes
  BYTE result[8] = {};                // the cached result
  WORD options = 0;
};

class XlsCell {
 public:
  enum : int { kEmpty = 0, kInteger = 1, kDouble = 2, kNarrow = 3, kWide = 4, kFormula = 5 };

  void SetInteger(int value);
  void SetDouble(double value);
  // An empty text clears the cell (format and merged size stay).
  void SetString(const CString& text);
  XlsCell& operator=(const CString& text) {
    SetString(text);
    return *this;
  }
  XlsCell& operator=(const char* text) {
    SetString(CString(text));
    return *this;
  }
  void SetWideString(std::u16string_view text);
  XlsCell& operator=(std::u16string_view text) {
    SetWideString(text);
    return *this;
  }
  void Clear();
  void SetFormat(XlsCellFormat& format);
  void SetXFIndex(DWORD index) { xfIndex_ = index; }
  void SetMergedSize(WORD rows, WORD columns) {
    mergedRows_ = rows ? rows : 1;
    mergedColumns_ = columns ? columns : 1;
  }

  int GetType() const { return type_; }
  // Integer of an integer cell; a number cell's value truncated toward zero
  // and held within the int range; 0 for anything else.
  int GetIntegerValue() const;
  double GetDoubleValue() const;
  // The text with its NUL into a buffer of `size` bytes (code units); false
  // for another type or a buffer too small.
  bool CopyString(char* buffer, size_t size) const;
  bool CopyWideString(char16_t* buffer, size_t size) const;
  // Narrow cells: the narrow text's length; others: the wide text's; -1 when
  // that text is empty.
  int GetStringLength() const;
  const CString& GetNarrow() const { return narrow_; }
  const std::u16string& GetWide() const { return wide_; }
  DWORD GetXFIndex() const { return xfIndex_; }
  WORD GetMergedRows() const { return mergedRows_; }
  WORD GetMergedColumns() const { return mergedColumns_; }
  const std::shared_ptr<XlsFormulaData>& GetFormulaData() const { return formula_; }

  void SetFormulaFromRecord(const Biff::Worksheet::CellTable::RowBlock::CellBlock::Formula& record);
  bool FillFormulaRecord(Biff::Worksheet::CellTable::RowBlock::CellBlock::Formula& record) const;

 private:
  // True when the cached result of a formula is a number.
  bool FormulaResultIsNumber() const;
  double FormulaResult() const;

  int type_ = kEmpty;
  int integer_ = 0;
  double double_ = 0.0;
  CString narrow_;
  std::u16string wide_;
  WORD mergedRows_ = 1;
  WORD mergedColumns_ = 1;
  DWORD xfIndex_ = 0;
  std::shared_ptr<XlsFormulaData> formula_;
};

class XlsSheet {
 public:
  static constexpr int kMaxRows = 65536;
  static constexpr int kMaxColumns = 256;

  // Made by the document; fills its grid from worksheet record set `index`.
  XlsSheet(XlsDocument* document, int index);

  // The cell at a zero-based row and column, growing the grid to reach it;
  // null outside 65536 rows and 256 columns. The pointer is valid until the
  // next call that grows this sheet's grid.
  XlsCell* Cell(int row, int column);
  // The cell without growing; null outside the grid.
  const XlsCell* CellAt(int row, int column) const;
  int GetRowCount() const { return rows_; }
  int GetColumnCount() const { return columns_; }
  int GetIndex() const { return index_; }
  void SetIndex(int index) { index_ = index; }

 private:
  void LoadCells();

  XlsDocument* document_;
  int index_;
  int rows_ = 0;
  int columns_ = 0;
  std::vector<std::vector<XlsCell>> grid_;
};

class XlsDocument {
 public:
  XlsDocument();
  ~XlsDocument();
  XlsDocument(const XlsDocument&) = delete;
  XlsDocument& operator=(const XlsDocument&) = delete;

  // A new workbook of `sheetCount` sheets (Sheet1, Sheet2 ...; 0 gives one).
  void New(int sheetCount);
  // Adds a sheet with a narrow name at `index` (-1, or an index past the
  // count, appends); null when the name is empty, longer than 31 characters
  // or already taken (names compare ignoring case).
  XlsSheet* AddWorksheet(const CString& name, int index);
  // Adds a sheet named "Sheet<n>", n from the sheet count + 1 upward.
  XlsSheet* AddWorksheet(int index = -1);
  // Null for an index outside the sheets.
  XlsSheet* GetWorksheet(int index);
  int GetSheetCount() const { return static_cast<int>(sheets_.size()); }
  // Writes the workbook to the file at `path`; true only when the whole
  // stream was stored. On failure no file made by the save is left behind.
  bool SaveAs(const CString& path);

  // The workbook stream.
  bool BuildWorkbookStream();
  void ConvertSheetsToRecords();
  void FixStreamOffsets();
  void FixSheetOffsets();
  void FixCellBlockOffsets();
  DWORD WriteRecords(BYTE* buffer);
  // Converts, fixes the offsets and writes the whole stream into `out`.
  void BuildStreamBytes(std::vector<BYTE>& out);
  // Reads a workbook stream into the record sets and remakes the sheets from
  // them; false (the document unchanged) when the bytes do not parse.
  bool LoadWorkbookStream(const BYTE* bytes, size_t size);

  Biff::Workbook& GetWorkbookRecords() { return workbook_; }
  Biff::Worksheet& GetWorksheetRecords(int index) { return *worksheets_.at(static_cast<size_t>(index)); }
  StorageFile& GetFile() { return file_; }

 private:
  void RebuildSheets();

  StorageFile file_;
  Biff::Workbook workbook_;
  std::vector<std::unique_ptr<Biff::Worksheet>> worksheets_;
  std::vector<std::unique_ptr<XlsSheet>> sheets_;
};
