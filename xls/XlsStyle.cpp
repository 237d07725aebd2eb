#include "xls/XlsStyle.h"

namespace {

struct BuiltInFormat {
  DWORD index;
  const char16_t* format;
};

const BuiltInFormat kBuiltInFormats[] = {
    {0, u"General"},
    {1, u"0"},
    {2, u"0.00"},
    {3, u"#,##0"},
    {4, u"#,##0.00"},
    {5, u"\"$\"#,##0_);(\"$\"#,##0)"},
    {6, u"\"$\"#,##0_);[Red](\"$\"#,##0)"},
    {7, u"\"$\"#,##0.00_);(\"$\"#,##0.00)"},
    {8, u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)"},
    {9, u"0%"},
    {10, u"0.00%"},
    {11, u"0.00E+00"},
    {12, u"# ?/?"},
    {13, u"# ?\?/?\?"},
    {14, u"M/D/YY"},
    {15, u"D-MMM-YY"},
    {16, u"D-MMM"},
    {17, u"MMM-YY"},
    {18, u"h:mm AM/PM"},
    {19, u"h:mm:ss AM/PM"},
    {20, u"h:mm"},
    {21, u"h:mm:ss"},
    {22, u"M/D/YY h:mm"},
    {37, u"_(#,##0_);(#,##0)"},
    {38, u"_(#,##0_);[Red](#,##0)"},
    {39, u"_(#,##0.00_);(#,##0.00)"},
    {40, u"_(#,##0.00_);[Red](#,##0.00)"},
    {41, u"_(\"$\"* #,##0_);_(\"$\"* (#,##0);_(\"$\"* \"-\"_);_(@_)"},
    {42, u"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"},
    {43, u"_(\"$\"* #,##0.00_);_(\"$\"* (#,##0.00);_(\"$\"* \"-\"?\?_);_(@_)"},
    {44, u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)"},
    {45, u"mm:ss"},
    {46, u"[h]:mm:ss"},
    {47, u"mm:ss.0"},
    {48, u"##0.0E+0"},
    {49, u"@"},
};

// BIFF8 has no font index 4: the fifth FONT record is font 5.
DWORD FontIndexOfPosition(size_t position) { return static_cast<DWORD>(position < 4 ? position : position + 1); }

}  // namespace

bool XlsFont::Matches(const Biff::Workbook::Font& r) const {
  return r.name.GetUnits() == faceName && r.height == height && r.weight == weight && r.options == options &&
         r.colorIndex == colorIndex && r.escapement == escapement && r.underline == underline && r.family == family &&
         r.charSet == charSet;
}

XlsStyleTable::XlsStyleTable(XlsDocument& document) : document_(document) {
  for (const BuiltInFormat& f : kBuiltInFormats) formatsByIndex_[f.index] = f.format;
  for (const Biff::Workbook::Format& record : document_.GetWorkbookRecords().formats) {
    formatsByIndex_[record.index] = record.format.GetUnits();
    if (record.index >= nextFormatIndex_) nextFormatIndex_ = record.index + 1u;
  }
  for (const auto& [index, format] : formatsByIndex_) indicesByFormat_[format] = index;
}

DWORD XlsStyleTable::FindOrAddFont(const XlsFont& font) {
  std::vector<Biff::Workbook::Font>& fonts = document_.GetWorkbookRecords().fonts;
  for (size_t p = 0; p < fonts.size(); ++p)
    if (font.Matches(fonts[p])) return FontIndexOfPosition(p);
  Biff::Workbook::Font record;
  record.height = font.height;
  record.options = font.options;
  record.colorIndex = font.colorIndex;
  record.weight = font.weight;
  record.escapement = font.escapement;
  record.underline = font.underline;
  record.family = font.family;
  record.charSet = font.charSet;
  record.name = std::u16string_view(font.faceName);
  fonts.push_back(std::move(record));
  return FontIndexOfPosition(fonts.size() - 1);
}

DWORD XlsStyleTable::FindOrAddXF(const XlsCellFormat& format) {
  std::vector<Biff::Workbook::XF>& xfs = document_.GetWorkbookRecords().xfs;
  for (size_t p = 0; p < xfs.size(); ++p)
    if (format.Matches(xfs[p])) return static_cast<DWORD>(p);
  Biff::Workbook::XF record;
  format.FillXF(record);
  record.typeProtection = 0x0078;
  xfs.push_back(record);
  return static_cast<DWORD>(xfs.size() - 1);
}

XlsCellFormat::XlsCellFormat(XlsStyleTable& table) : table_(&table) { Reset(); }

XlsCellFormat::XlsCellFormat(XlsStyleTable& table, const XlsFont& font) : table_(&table) {
  Reset();
  SetFont(font);
}

void XlsCellFormat::Reset() {
  cachedXF_ = 0;
  fontIndex_ = 0;
  formatIndex_ = 0;
  alignment_ = 0x20;
  rotation_ = 0;
  textProperties_ = 0;
  borderLines_ = 0;
  borderColorsPattern_ = 0;
  fillColors_ = 0x20C0;
}

void XlsCellFormat::SetFont(const XlsFont& font) {
  fontIndex_ = table_->FindOrAddFont(font);
  cachedXF_ = kUnknown;
}

void XlsCellFormat::SetLineColorsAndPattern(DWORD value) {
  borderColorsPattern_ = value;
  cachedXF_ = kUnknown;
}

void XlsCellFormat::SetPatternColors(DWORD value) {
  fillColors_ = value;
  cachedXF_ = kUnknown;
}

DWORD XlsCellFormat::GetXFIndex() {
  if (cachedXF_ == kUnknown) cachedXF_ = table_->FindOrAddXF(*this);
  return cachedXF_;
}

bool XlsCellFormat::Matches(const Biff::Workbook::XF& r) const {
  return r.fontIndex == static_cast<WORD>(fontIndex_) && r.formatIndex == static_cast<WORD>(formatIndex_) &&
         r.alignment == alignment_ && r.rotation == rotation_ && r.textProperties == textProperties_ &&
         r.borderLines == borderLines_ && r.borderColorsPattern == borderColorsPattern_ &&
         r.fillColors == static_cast<WORD>(fillColors_);
}

void XlsCellFormat::FillXF(Biff::Workbook::XF& r) const {
  r.fontIndex = static_cast<WORD>(fontIndex_);
  r.formatIndex = static_cast<WORD>(formatIndex_);
  r.alignment = alignment_;
  r.rotation = rotation_;
  r.textProperties = textProperties_;
  r.borderLines = borderLines_;
  r.borderColorsPattern = borderColorsPattern_;
  r.fillColors = static_cast<WORD>(fillColors_);
}
