// CPaletteWorkbookExport: a palette as a spreadsheet workbook (.xls), one
// worksheet with a bold header row of the shown columns' titles and one row
// per colour, in the order and columns of a colour list; shortage rows can be
// shown bold red on yellow.
#pragma once

#include <memory>
#include <vector>

#include "palette/ColorListData.h"
#include "palette/PaletteColor.h"

class XlsDocument;
class XlsStyleTable;

class CPaletteWorkbookExport {
 public:
  // The colours (in display order) and the column layout are borrowed and
  // must outlive the export.
  CPaletteWorkbookExport(const std::vector<CPaletteColor>& colors, const CColorListData& layout,
                         const CString& targetPath);
  ~CPaletteWorkbookExport();
  CPaletteWorkbookExport(const CPaletteWorkbookExport&) = delete;
  CPaletteWorkbookExport& operator=(const CPaletteWorkbookExport&) = delete;

  // Removes the target file, then builds and saves the workbook. False when
  // there are no columns, the palette does not fit in a worksheet, the save
  // fails or anything raised while building; no file is left then.
  bool Export(bool highlightShortage);
  // Releases what the export made (Export already does; safe to call again).
  void FreeWorkbook();

 private:
  bool Build(bool highlightShortage);

  const std::vector<CPaletteColor>& colors_;
  const CColorListData& layout_;
  CString targetPath_;
  std::unique_ptr<XlsDocument> document_;
  std::unique_ptr<XlsStyleTable> styles_;
};

// The number in a money or count text ("1 234.56"): spaces removed, read in
// the "C" locale; 0 for an empty or unreadable text.
double ParseDoubleIgnoringSpaces(const char* text);
