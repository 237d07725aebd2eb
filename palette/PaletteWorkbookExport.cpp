#include "palette/PaletteWorkbookExport.h"

#include <charconv>
#include <string>

#include "core/FileUtils.h"
#include "core/TextUtils.h"
#include "xls/XlsStyle.h"

namespace {
constexpr WORD kBoldWeight = 700;
constexpr WORD kShortageFontColor = 2;             // red in the workbook's built-in colours
constexpr DWORD kSolidFill = 0x04000000;           // fill pattern 1
constexpr DWORD kShortageFillColor = 5;            // yellow
}  // namespace

double ParseDoubleIgnoringSpaces(const char* text) {
  std::string digits;
  for (const char* p = text; p && *p; ++p)
    if (*p != ' ') digits += *p;
  double value = 0.0;
  const char* first = digits.c_str();
  if (!digits.empty() && digits[0] == '+') ++first;
  const auto [end, error] = std::from_chars(first, digits.c_str() + digits.size(), value);
  return error == std::errc() ? value : 0.0;
}

CPaletteWorkbookExport::CPaletteWorkbookExport(const std::vector<CPaletteColor>& colors,
                                               const CColorListData& layout, const CString& targetPath)
    : colors_(colors), layout_(layout), targetPath_(targetPath) {}

CPaletteWorkbookExport::~CPaletteWorkbookExport() { FreeWorkbook(); }

void CPaletteWorkbookExport::FreeWorkbook() {
  styles_.reset();
  document_.reset();
}

bool CPaletteWorkbookExport::Export(bool highlightShortage) {
  RemoveFile(targetPath_);
  bool saved = false;
  try {
    saved = Build(highlightShortage);
  } catch (...) {
    saved = false;
  }
  FreeWorkbook();
  return saved;
}

bool CPaletteWorkbookExport::Build(bool highlightShortage) {
  const CColumnArray& columns = layout_.columns;
  if (columns.empty() || columns.size() > XlsSheet::kMaxColumns ||
      colors_.size() >= static_cast<size_t>(XlsSheet::kMaxRows))
    return false;
  document_ = std::make_unique<XlsDocument>();
  document_->New(1);
  XlsSheet* sheet = document_->GetWorksheet(0);
  styles_ = std::make_unique<XlsStyleTable>(*document_);

  XlsFont headerFont;
  headerFont.weight = kBoldWeight;
  XlsCellFormat headerFormat(*styles_, headerFont);
  for (size_t i = 0; i < columns.size(); ++i) {
    XlsCell* cell = sheet->Cell(0, static_cast<int>(i));
    *cell = CColorListData::GetColumnTitle(columns[i].kind);
    cell->SetFormat(headerFormat);
  }

  XlsFont shortageFont;
  shortageFont.weight = kBoldWeight;
  shortageFont.colorIndex = kShortageFontColor;
  XlsCellFormat shortageFormat(*styles_, shortageFont);
  shortageFormat.SetLineColorsAndPattern(kSolidFill);
  shortageFormat.SetPatternColors(kShortageFillColor);

  for (size_t r = 0; r < colors_.size(); ++r) {
    const CPaletteColor& color = colors_[r];
    const bool shortage = highlightShortage && color.count > 0 && color.GetShortage() > 0;
    for (size_t j = 0; j < columns.size(); ++j) {
      XlsCell* cell = sheet->Cell(static_cast<int>(r + 1), static_cast<int>(j));
      const CString text = FormatColorCell(color, columns, static_cast<int>(j));
      switch (GetColumnValueKind(columns[j].kind)) {
        case kColumnValueText: cell->SetString(text); break;
        case kColumnValueInteger: cell->SetInteger(ParseIntIgnoringSpaces(text)); break;
        case kColumnValueReal: cell->SetDouble(ParseDoubleIgnoringSpaces(text)); break;
        default: break;
      }
      if (shortage) cell->SetFormat(shortageFormat);
    }
  }
  return document_->SaveAs(targetPath_);
}
