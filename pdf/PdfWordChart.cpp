// The word-chart pages: the lines of the design in working order with their
// number, direction and runs, as a three-column table or as running text in
// one to three columns a page.
#include <algorithm>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "design/WeaveFormat.h"
#include "lang/ids/pdf.h"
#include "lang/ids/texts.h"
#include "pdf/PdfExport.h"
#include "pdf/WordChart.h"

namespace {

const CPaletteColor* FindRunColor(const CColorSet& palette, int index) {
  return index >= 0 && index < palette.GetCount() ? palette.GetColor(index) : nullptr;
}

}  // namespace

CString GetWordChartColorText(const CPaletteColor* color, const CPdfData& data) {
  if (!color) return EscapeCharrefText(LoadResString(IDS_PDF_SKIP));
  if (data.m_wordChartText == 1) return EscapeCharrefText(color->mfgName);
  return PdfFormat("%u", static_cast<unsigned>(color->number));
}

void FormatWordChartRuns(const CColorSet& palette, const CPdfData& data, const CWordChartRunLine& line, CString& out) {
  std::string text;
  for (const auto& [count, index] : line.runs) {
    const CPaletteColor* color = FindRunColor(palette, index);
    const CString name = GetWordChartColorText(color, data);
    if (!text.empty()) text += ' ';
    if (data.m_colorTextOutput) {
      const CPdfRgb rgb(color ? color->GetColorref() : 0);
      text += PdfFormat("%d(<fillcolor={rgb %.3f %.3f %.3f}>%s<fillcolor={rgb 0 0 0}>)", count, rgb.red, rgb.green,
                        rgb.blue, name.GetString())
                  .str();
    } else {
      text += PdfFormat("%d(%s)", count, name.GetString()).str();
    }
  }
  out = CString(std::move(text));
}

CString GetWordChartLineNumber(int index, bool combinedPeyote) {
  if (!combinedPeyote) return PdfFormat("%d", index);
  if (index == 1) return "1 & 2";
  return PdfFormat("%d", index + 1);
}

namespace {

CString ListHead(const CPdfTextStyle& style) {
  return PdfFormat("fontname=%s fontsize=%d encoding=%s", QuoteOptionValue(style.m_face).GetString(), style.m_size,
                   GetPdfEncoding().GetString());
}

}  // namespace

void BuildWordChartOptionLists(const CPdfTextStyle& style, CString& lineHead, CString& body, CString& coloredBody) {
  const CString head = ListHead(style);
  lineHead = head + " fillcolor={rgb 0 0 0.7} charref underline=true alignment=center";
  body = head + " fillcolor={rgb 0 0 0} charref underline=false alignment=justify";
  coloredBody = head + " fillcolor={rgb %f %f %f} charref underline=false alignment=justify";
}

CString FormatColoredBodyList(const CPdfTextStyle& style, COLORREF color) {
  const CPdfRgb rgb(color);
  return ListHead(style) +
         PdfFormat(" fillcolor={rgb %f %f %f} charref underline=false alignment=justify", rgb.red, rgb.green, rgb.blue);
}

bool CPdfExportNew::IsCombinedPeyote() const {
  return IsPeyoteFormat(m_design->m_format) && m_settings->m_peyoteCombined != 0;
}

CString CPdfExportNew::GetWordChartTitle() const {
  const CPdfData& s = *m_settings;
  CString title;
  GetFormatName(m_design->m_format, title);
  title += LoadResString(IDS_PDF_WORD_CHART_SUFFIX);
  // English "(combined)" follows the suffix with no space, as the chart
  // title always had it; the Russian text brings its own.
  if (IsPeyoteFormat(m_design->m_format))
    title += LoadResString(s.m_peyoteCombined ? IDS_TEXT_PEYOTE_COMBINED : IDS_TEXT_PEYOTE_ORIGINAL);
  title += ": ";
  static const UINT kDirections[] = {IDS_PDF_WC_ROWS_LR_REVERSE, IDS_PDF_WC_ROWS_RL_REVERSE, IDS_PDF_WC_COLUMNS_REVERSE,
                                     IDS_PDF_WC_ROWS_LR_ALWAYS,  IDS_PDF_WC_ROWS_RL_ALWAYS,  IDS_PDF_WC_COLUMNS_ALWAYS};
  if (s.m_wordChartDirection >= 0 && s.m_wordChartDirection <= 5)
    title += LoadResString(kDirections[s.m_wordChartDirection]);
  title += " ";
  title += LoadResString(s.m_wordChartText == 1 ? IDS_PDF_WC_AS_MFG_NAME : IDS_PDF_WC_AS_NUMBER);
  return title;
}

bool CPdfExportNew::WriteWordChart(const CPdfTextStyle& style) {
  return m_settings->m_wordChartAsTable ? WriteWordChartTable(style) : WriteWordChartColumns(style);
}

void CPdfExportNew::AddWordChartHeaderRow(int& table, int font, int size) {
  const CString options = PdfFormat("fittextline={position=center font=%d fontsize=%d} colspan=%d", font, size, 1);
  table = m_pdf.add_table_cell(table, 1, 1, m_settings->GetWordChartHeadLabel().str(), options.str());
  table = m_pdf.add_table_cell(table, 2, 1, LoadResString(IDS_PDF_WC_DIRECTION).str(), options.str());
  table = m_pdf.add_table_cell(table, 3, 1, LoadResString(IDS_PDF_WORD_CHART_COLUMN).str(), options.str());
}

bool CPdfExportNew::AddWordChartTableRow(int& table, const CWordChartRunLine& line, int index, bool combinedPeyote,
                                         int font, int size) {
  const int row = index + 1;
  table = m_pdf.add_table_cell(table, 1, row, GetWordChartLineNumber(index, combinedPeyote).str(),
                               PdfFormat("colwidth=7%% fittextline={font=%d fontsize=%d}", font, size).str());
  table = m_pdf.add_table_cell(table, 2, row, PdfFormat(" %s ", line.GetDirectionName().GetString()).str(),
                               PdfFormat("colwidth=12%% fittextline={font=%d fontsize=%d}", font, size).str());
  CString runs;
  FormatWordChartRuns(m_palette, *m_settings, line, runs);
  // The runs keep Times-Roman in the interface's encoding, so Cyrillic
  // names print.
  const CString options =
      PdfFormat("charref fontname=Times-Roman encoding=%s fontsize=%d ", GetPdfEncoding().GetString(), size);
  const int flow = m_settings->m_colorTextOutput ? m_pdf.create_textflow(runs.str(), options.str())
                                                 : m_pdf.add_textflow(-1, runs.str(), options.str());
  if (flow == -1) return false;
  table = m_pdf.add_table_cell(
      table, 3, row, "", PdfFormat("marginleft=2 marginright=2 margintop=2 marginbottom=2 textflow=%d", flow).str());
  return true;
}

bool CPdfExportNew::WriteWordChartTable(const CPdfTextStyle& style) {
  const int font = LoadStyleFont(style);
  if (font < 0) {
    CString text;
    text.Format(LoadResString(IDS_PDF_FONT_LOAD_ERROR), style.m_face.GetString());
    return Fail(PdfExportError::FontNotLoaded, text);
  }
  int table = -1;
  AddWordChartHeaderRow(table, font, style.m_size);
  const CWordChart chart(m_design, CWordChartOptions(*m_settings));
  const bool combined = IsCombinedPeyote();
  int index = 1;
  for (const CWordChartRunLine& line : chart.GetRunLines())
    AddWordChartTableRow(table, line, index++, combined, font, style.m_size);
  if (!FitTable(table, GetWordChartTitle(), style.m_orientation, chart.GetLineCount())) return false;
  m_pdf.delete_table(table, "");
  return true;
}

bool CPdfExportNew::AddWordChartRuns(const CWordChartRunLine& line, int& textflow, const CString& body,
                                     const CPdfTextStyle& style) {
  for (const auto& [count, index] : line.runs) {
    const CPaletteColor* color = FindRunColor(m_palette, index);
    if ((textflow = m_pdf.add_textflow(textflow, PdfFormat("%d(", count).str(), body.str())) == -1) return false;
    const CString colored = FormatColoredBodyList(style, color ? color->GetColorref() : 0);
    if ((textflow = m_pdf.add_textflow(textflow, GetWordChartColorText(color, *m_settings).str(), colored.str())) == -1)
      return false;
    if ((textflow = m_pdf.add_textflow(textflow, ") ", body.str())) == -1) return false;
  }
  return (textflow = m_pdf.add_textflow(textflow, "\n\n", body.str())) != -1;
}

bool CPdfExportNew::WriteWordChartColumns(const CPdfTextStyle& style) {
  CString headList, body, coloredList;
  BuildWordChartOptionLists(style, headList, body, coloredList);
  const CWordChart chart(m_design, CWordChartOptions(*m_settings));
  const bool combined = IsCombinedPeyote();
  const CString label = chart.GetLineLabel();
  int textflow = -1;
  int index = 1;
  for (const CWordChartRunLine& line : chart.GetRunLines()) {
    const CString direction = line.GetDirectionName();
    const CString head = combined && index == 1
                             ? PdfFormat("--- %s 1 & 2, %s ---\n", label.GetString(), direction.GetString())
                             : PdfFormat("--- %s %s, %s ---\n", label.GetString(),
                                         GetWordChartLineNumber(index, combined).GetString(), direction.GetString());
    if ((textflow = m_pdf.add_textflow(textflow, EscapeCharrefText(head).str(), headList.str())) == -1) return false;
    if (m_settings->m_colorTextOutput) {
      if (!AddWordChartRuns(line, textflow, body, style)) return false;
    } else {
      CString runs;
      FormatWordChartRuns(m_palette, *m_settings, line, runs);
      if ((textflow = m_pdf.add_textflow(textflow, (runs + "\n\n").str(), body.str())) == -1) return false;
    }
    ++index;
  }
  // A chart without lines still gives its page.
  if (textflow == -1 && (textflow = m_pdf.add_textflow(-1, "", body.str())) == -1) return false;
  return FitWordChartColumns(textflow, m_settings->m_wordChartColumns, GetWordChartTitle(), style.m_orientation);
}

bool CPdfExportNew::FitWordChartColumns(int textflow, int columns, const CString& title, int orientation) {
  const bool exchanged = orientation != 0;
  const int kind = exchanged ? kPageLandscape : kPageUpright;
  double w = PageWidth(), h = PageHeight();
  if (exchanged) std::swap(w, h);
  const int n = std::clamp(columns, 1, 3);
  const int gap = m_settings->m_wordChartColumnGap;
  const double columnWidth = (w - LeftMargin() - RightMargin() - (n - 1) * gap) / n;
  if (!(columnWidth > 0)) return false;
  bool firstPage = m_settings->m_createBookmarks != 0;
  std::string result;
  do {
    m_pdf.begin_page_ext(w, h, "");
    double x = LeftMargin();
    result = m_pdf.fit_textflow(textflow, x, BottomOffset(), x + columnWidth, h - TopOffset(), "");
    for (int filled = 1; filled < n && result != "_stop"; ++filled) {
      x += columnWidth + gap;
      result = m_pdf.fit_textflow(textflow, x, BottomOffset(), x + columnWidth, h - TopOffset(), "");
    }
    DrawPageHead(title, firstPage, kind);
    EndPage(kind);
    firstPage = false;
  } while (result == "_boxfull" || result == "_nextpage");
  return result == "_stop";
}
