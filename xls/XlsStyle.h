// Cell formats of the spreadsheet writer: fonts (XlsFont) and cell formats
// (XlsCellFormat) described as plain values and turned into FONT and XF
// records of one document's workbook record set by its style table
// (XlsStyleTable), an equal record being reused when there is one.
#pragma once

#include <map>
#include <string>

#include "xls/XlsDocument.h"

struct XlsFont {
  std::u16string faceName = u"Arial";
  WORD height = 200;  // twentieths of a point
  WORD weight = 400;
  WORD options = 0;
  WORD colorIndex = 0x7FFF;  // automatic
  WORD escapement = 0;
  BYTE underline = 0;
  BYTE family = 0;
  BYTE charSet = 1;

  bool Matches(const Biff::Workbook::Font& record) const;
};

class XlsStyleTable {
 public:
  // Registers the built-in number formats and those of the workbook's
  // FORMAT records. The table lives until the document has been saved.
  explicit XlsStyleTable(XlsDocument& document);

  // BIFF font index of an equal FONT record, added when there is none (the
  // fifth record is font 5: BIFF8 has no font 4).
  DWORD FindOrAddFont(const XlsFont& font);
  // XF index (list position) of an equal XF record, added when there is none.
  DWORD FindOrAddXF(const XlsCellFormat& format);

  DWORD GetNextFormatIndex() const { return nextFormatIndex_; }
  const std::map<DWORD, std::u16string>& GetFormatsByIndex() const { return formatsByIndex_; }
  const std::map<std::u16string, DWORD>& GetIndicesByFormat() const { return indicesByFormat_; }

 private:
  XlsDocument& document_;
  DWORD nextFormatIndex_ = 164;
  std::map<DWORD, std::u16string> formatsByIndex_;
  std::map<std::u16string, DWORD> indicesByFormat_;
};

class XlsCellFormat {
 public:
  explicit XlsCellFormat(XlsStyleTable& table);
  XlsCellFormat(XlsStyleTable& table, const XlsFont& font);

  void Reset();
  void SetFont(const XlsFont& font);
  // Bits 26 to 31 hold the fill pattern (0x04000000: solid).
  void SetLineColorsAndPattern(DWORD value);
  // Bits 0 to 6 the pattern colour index, bits 7 to 13 its background.
  void SetPatternColors(DWORD value);
  // The XF index, the record being found or added at the first call after a
  // change.
  DWORD GetXFIndex();

  bool Matches(const Biff::Workbook::XF& record) const;
  void FillXF(Biff::Workbook::XF& record) const;

  DWORD GetFontIndex() const { return fontIndex_; }

 private:
  static constexpr DWORD kUnknown = 0xFFFFFFFFu;
  XlsStyleTable* table_;
  DWORD cachedXF_ = 0;
  DWORD fontIndex_ = 0;
  DWORD formatIndex_ = 0;
  BYTE alignment_ = 0x20;
  BYTE rotation_ = 0;
  BYTE textProperties_ = 0;
  DWORD borderLines_ = 0;
  DWORD borderColorsPattern_ = 0;
  DWORD fillColors_ = 0x20C0;
};
