// The used colour list: a table with a swatch, the chosen colour-list
// columns and, with a symbol grid, the colour's chart symbol; and the fitting
// of a finished table over as many pages as it needs.
#include <algorithm>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "designfile/SymbolImage.h"
#include "lang/ids/pdf.h"
#include "palette/ColorListData.h"
#include "pdf/PdfExport.h"

bool CPdfExportNew::WriteColorList(const CPdfTextStyle& style) {
  const CPdfData& s = *m_settings;
  const int font = LoadStyleFont(style);
  if (font < 0) return false;
  const int size = style.m_size;

  std::vector<CPaletteColor> colors;
  m_palette.CollectUsedColors(colors);
  const CColorListData model(s.m_colorListColumns);
  model.Sort(colors);

  const bool symbolColumn = s.m_gridPages && s.m_gridCellCoding == 2;
  const CColorListWidths widths = ComputeColorListWidths(model.columns, symbolColumn);
  const int m = static_cast<int>(model.columns.size());

  std::vector<CString> titles;
  titles.push_back(LoadResString(IDS_PDF_COLOR_COLUMN));
  for (const CColumnPair& column : model.columns) titles.push_back(CColorListData::GetColumnTitle(column.kind));
  if (symbolColumn) titles.push_back("Symbol");

  int table = -1;
  const CString headOptions = PdfFormat("fittextline={position=center font=%d fontsize=%d} colspan=%d", font, size, 1);
  for (size_t k = 0; k < titles.size(); ++k)
    table = m_pdf.add_table_cell(table, static_cast<int>(k) + 1, 1, titles[k].str(), headOptions.str());

  CStatusProgress progress(m_inputs.progress, static_cast<int>(colors.size()), IDS_PDF_EXPORTING);
  for (size_t i = 0; i < colors.size(); ++i) {
    progress.SetPos(static_cast<int>(i) + 1);
    const CPaletteColor& color = colors[i];
    const int row = static_cast<int>(i) + 2;
    const COLORREF rgb = color.GetColorref();
    table = m_pdf.add_table_cell(
        table, 1, row, "",
        PdfFormat("colwidth=%d%% fittextline={font=%d fontsize=%d} matchbox={fillcolor={rgb %.1f %.1f %.1f}}",
                  widths.color, font, size, GetRValue(rgb) / 255.0, GetGValue(rgb) / 255.0, GetBValue(rgb) / 255.0)
            .str());
    const bool shortage = model.highlightShortage && color.GetShortage() != 0;
    for (int j = 0; j < m; ++j) {
      const CString text = FormatColorCell(color, model.columns, j);
      const CString options = PdfFormat(
          "colwidth=%d%% fittextline={font=%d fontsize=%d} matchbox={fillcolor={rgb %.1f %.1f %.1f}}",
          widths.model[static_cast<size_t>(j)], font, size, 1.0, shortage ? 0.97 : 1.0, shortage ? 0.57 : 1.0);
      table = m_pdf.add_table_cell(table, j + 2, row, text.str(), options.str());
    }
    if (symbolColumn) {
      CString file;
      MakeTempFileName(".bmp", file);
      COLORREF background = 0, textColor = 0;
      GetGridCellColors(color, background, textColor);
      const int side = 4 * size;
      if (!RenderSymbolImage(m_design->m_symbolSet, side * 3 / 4, SIZE{side, side}, static_cast<UINT>(color.symbol),
                             file, background, textColor)) {
        RemoveFile(file);
        return false;
      }
      const int image = LoadTemporaryImage(file);
      if (image == -1) return false;
      table = m_pdf.add_table_cell(
          table, m + 2, row, "",
          PdfFormat("colwidth=%d%% image=%d fitimage={position=center}", widths.symbol, image).str());
    }
  }
  progress.SetPos(static_cast<int>(colors.size()));
  if (!FitTable(table, LoadResString(IDS_PDF_COLOR_LIST_TITLE), style.m_orientation, static_cast<int>(colors.size())))
    return false;
  m_pdf.delete_table(table, "");
  return true;
}

bool CPdfExportNew::FitTable(int table, const CString& title, int orientation, int rowCount) {
  CStatusProgress progress(m_inputs.progress, rowCount, IDS_PDF_TABLE_SAVING);
  progress.SetPos(0);
  const bool exchanged = orientation != 0;
  double w = PageWidth(), h = PageHeight();
  if (exchanged) std::swap(w, h);
  const int kind = exchanged ? kPageLandscape : kPageUpright;
  bool firstPage = m_settings->m_createBookmarks != 0;
  double placed = 0;
  std::string result;
  do {
    m_pdf.begin_page_ext(0, 0, PdfFormat("width=%f height=%f", w, h).str());
    result = m_pdf.fit_table(table, LeftMargin(), TopOffset(), w - LeftMargin() - RightMargin(),
                             h - TopOffset() - BottomOffset(), "header=1 stroke={{line=other}}");
    if (result == "_error") {
      EndPage(kind);
      return false;
    }
    placed += m_pdf.info_table(table, "rowcount");
    progress.SetPos(static_cast<int>(placed));
    DrawPageHead(title, firstPage, kind);
    firstPage = false;
    EndPage(kind);
  } while (result == "_boxfull");
  return result == "_stop";
}
