#include "dialogs/PdfSheet.h"

#include <cstring>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "design/WeaveFormat.h"
#include "dialogs/SelectSymbolsDlg.h"
#include "lang/ids/pdf.h"
#include "lang/ids/pdfsheet.h"
#include "lang/ids/shell.h"
#include "palette/ColorSet.h"
#include "settings/PdfData.h"
#include "view/FramePorts.h"

namespace {

constexpr COLORREF kStaticText = 0x00C00000;
constexpr COLORREF kFontNameText = 0x00004060;

ChartSymbolsDialog& SymbolsDialog() {
  static ChartSymbolsDialog dialog;
  return dialog;
}

struct ChartFormat {
  UINT text;
  int direction;
};
// The word chart's directions in the order offered; the last one only for
// designs laid out in rows.
const ChartFormat kChartFormats[] = {
    {IDS_PDF_CHART_ROWS_LR_REVERSE, 0}, {IDS_PDF_CHART_ROWS_RL_REVERSE, 1},   {IDS_PDF_CHART_ROWS_LR_ALWAYS, 3},
    {IDS_PDF_CHART_ROWS_RL_ALWAYS, 4},  {IDS_PDF_CHART_COLUMNS_REVERSE, 2}, {IDS_PDF_CHART_COLUMNS_ALWAYS, 5},
};

void AddStrings(CComboBox& combo, std::initializer_list<UINT> ids) {
  for (UINT id : ids) combo.AddString(LoadResString(id));
}

void Check(CWnd* page, int id, bool on) { page->CheckDlgButton(id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(const CWnd* page, int id) { return page->IsDlgButtonChecked(id) == BST_CHECKED; }

}  // namespace

void SetChartSymbolsDialog(ChartSymbolsDialog dialog) { SymbolsDialog() = std::move(dialog); }

// ---- The export-data page ----

BEGIN_MESSAGE_MAP(CPdfDataPage, CPropertyPage)
ON_BN_CLICKED(IDC_PDFD_EDIT_PROPERTIES, OnEditProperties)
ON_BN_CLICKED(IDC_PDFD_COLUMNS, OnColumns)
ON_BN_CLICKED(IDC_PDFD_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_PDFD_SYMBOLS, OnSymbols)
ON_CBN_SELCHANGE(IDC_PDFD_CODING, UpdateSymbolFontName)
ON_CBN_SELCHANGE(IDC_PDFD_COLORING, OnColoringChanged)
ON_BN_CLICKED(IDC_PDFD_TABLE, OnLayoutKind)
ON_BN_CLICKED(IDC_PDFD_IN_COLUMNS, OnLayoutKind)
ON_BN_CLICKED(IDC_PDFD_BACKGROUND, OnBackgroundColor)
END_MESSAGE_MAP()

CPdfDataPage::CPdfDataPage(CPattern* design, CColorSet* palette, CPdfData* settings)
    : CPropertyPage(IDD_PDF_DATA_PAGE),
      m_list("ColorListPdfExport16Jule2010", 0, 0),
      m_listText(kStaticText, "Arial", 14),
      m_outputTitle(kStaticText, "Arial", 14),
      m_fontTitle(kStaticText, "Arial", 14),
      m_fontName(kStaticText, "Arial", 14),
      m_design(design),
      m_palette(palette),
      m_settings(settings) {}

void CPdfDataPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PDFD_BACKGROUND, m_background);
  DDX_Control(pDX, IDC_PDFD_CHART_COLUMNS, m_chartColumns);
  DDX_Control(pDX, IDC_PDFD_PEYOTE, m_peyote);
  DDX_Control(pDX, IDC_PDFD_CHART_FORMAT, m_chartFormat);
  DDX_Control(pDX, IDC_PDFD_CHART_TEXT, m_chartText);
  DDX_Control(pDX, IDC_PDFD_COLORING, m_coloring);
  DDX_Control(pDX, IDC_PDFD_CODING, m_coding);
  DDX_Control(pDX, IDC_PDFD_LIST, m_list);
  DDX_Control(pDX, IDC_PDFD_LIST_TEXT, m_listText);
  DDX_Control(pDX, IDC_PDFD_WHOLE_MODE, m_wholeMode);
  DDX_Control(pDX, IDC_PDFD_OUTPUT_TITLE, m_outputTitle);
  DDX_Control(pDX, IDC_PDFD_FONT_TITLE, m_fontTitle);
  DDX_Control(pDX, IDC_PDFD_FONT_NAME, m_fontName);
}

void CPdfDataPage::FillChartFormatCombo(CComboBox& combo, bool hasRowLayout) {
  combo.ResetContent();
  for (const ChartFormat& format : kChartFormats) {
    if (format.direction == 5 && !hasRowLayout) continue;
    const int index = combo.AddString(LoadResString(format.text));
    combo.SetItemData(index, static_cast<DWORD_PTR>(format.direction));
  }
}

int CPdfDataPage::ChartFormatIndex(int direction, bool hasRowLayout) {
  switch (direction) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 4;
    case 3: return 2;
    case 4: return 3;
    case 5:
      if (hasRowLayout) return 5;
      break;
    default: break;
  }
  // A direction the list does not offer (the column one of a design not
  // laid out in rows, a damaged value): the first row direction, or the
  // second for designs laid out in rows, so OK always stores a real one.
  return hasRowLayout ? 1 : 0;
}

BOOL CPdfDataPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CPdfData& s = *m_settings;
  SetDlgItemText(IDC_PDFD_OUTPUT, s.m_outputPath);
  Check(this, IDC_PDFD_PROPERTIES, s.m_propertiesPage != 0);
  Check(this, IDC_PDFD_WHOLE, s.m_wholeDesignPage != 0);
  Check(this, IDC_PDFD_COLLAGE, s.m_collagePages != 0);
  AddStrings(m_wholeMode, {IDS_PDF_WHOLE_ACTUAL_SIZE, IDS_PDF_WHOLE_ONE_PAGE});
  m_wholeMode.SetCurSel(s.m_wholeDesignMode != 0 ? 1 : 0);
  Check(this, IDC_PDFD_COLOR_LIST, s.m_colorListPage != 0);
  static_cast<CColorColumnLayout&>(m_list.GetData()) = s.m_colorListColumns;
  m_list.Init();
  m_list.SetColorSet(m_palette, 0);
  m_laidOutWidths = ColumnWidths();
  Check(this, IDC_PDFD_GRID, s.m_gridPages != 0);
  const UINT codings[] = {IDS_PDF_GRID_FONT_SYMBOL, IDS_PDF_GRID_MFG_NAME, IDS_PDF_GRID_NUMBER};
  for (int i = 0; i < 3; ++i) {
    m_coding.AddString(LoadResString(codings[i]));
    m_coding.SetItemData(i, static_cast<DWORD_PTR>(2 - i));
  }
  m_coding.SetCurSel(s.m_gridCellCoding >= 0 && s.m_gridCellCoding <= 2 ? 2 - s.m_gridCellCoding : -1);
  AddStrings(m_coloring, {IDS_PDF_REAL_COLOR, IDS_PDF_BLACK_COLOR, IDS_PDF_THREE_COLORS});
  m_coloring.SetCurSel(s.m_gridColoring);
  Check(this, IDC_PDFD_WORD_CHART, s.m_wordChartPages != 0);
  AddStrings(m_chartText, {IDS_PDF_GRID_NUMBER, IDS_PDF_GRID_MFG_NAME});
  m_chartText.SetCurSel(s.m_wordChartText);
  const bool rows = m_design && m_design->HasRowLayout();
  FillChartFormatCombo(m_chartFormat, rows);
  m_chartFormat.SetCurSel(ChartFormatIndex(s.m_wordChartDirection, rows));
  AddStrings(m_peyote, {IDS_PDF_PEYOTE_COMBINED, IDS_PDF_PEYOTE_ORIGINAL});
  m_peyote.SetCurSel(1 - (s.m_peyoteCombined != 0 ? 1 : 0));
  m_peyote.EnableWindow(m_design && IsPeyoteLikeFormat(m_design->m_format));
  Check(this, IDC_PDFD_TABLE, s.m_wordChartAsTable != 0);
  Check(this, IDC_PDFD_IN_COLUMNS, s.m_wordChartAsTable == 0);
  AddStrings(m_chartColumns, {IDS_PDF_ONE_COLUMN, IDS_PDF_TWO_COLUMNS});
  m_chartColumns.SetCurSel(s.m_wordChartColumns != 1 ? 1 : 0);
  Check(this, IDC_PDFD_COLOR_TEXT, s.m_colorTextOutput != 0);
  OnLayoutKind();
  m_background.SetColor(s.m_pageBackground);
  if (s.m_outputPath.IsEmpty()) s.m_outputPath = m_defaultPath;
  SetDlgItemText(IDC_PDFD_OUTPUT, s.m_outputPath);
  UpdateSymbolFontName();
  LOGFONT font;
  std::memset(&font, 0, sizeof font);
  std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
  font.lfHeight = 15;
  font.lfCharSet = DEFAULT_CHARSET;
  m_fontTitle.SetLogFont(font);
  m_fontName.SetTextColor(kFontNameText);
  return TRUE;
}

void CPdfDataPage::UpdateSymbolFontName() {
  const int index = m_coding.GetCurSel();
  if (index >= 0) m_settings->m_gridCellCoding = static_cast<int>(m_coding.GetItemData(index));
  const bool symbols = m_settings->m_gridCellCoding == 2 && m_design;
  m_fontName.SetText(symbols ? m_design->m_symbolSet.m_fontName.GetString() : "");
}

void CPdfDataPage::OnLayoutKind() { m_chartColumns.EnableWindow(Checked(this, IDC_PDFD_IN_COLUMNS)); }

void CPdfDataPage::StoreSettings() {
  if (!GetSafeHwnd()) return;
  CPdfData& s = *m_settings;
  s.m_propertiesPage = Checked(this, IDC_PDFD_PROPERTIES) ? 1 : 0;
  s.m_wholeDesignPage = Checked(this, IDC_PDFD_WHOLE) ? 1 : 0;
  s.m_collagePages = Checked(this, IDC_PDFD_COLLAGE) ? 1 : 0;
  s.m_wholeDesignMode = m_wholeMode.GetCurSel() != 0 ? 1 : 0;
  s.m_colorListPage = Checked(this, IDC_PDFD_COLOR_LIST) ? 1 : 0;
  s.m_colorListColumns = m_list.GetData();
  s.m_gridPages = Checked(this, IDC_PDFD_GRID) ? 1 : 0;
  if (const int coding = m_coding.GetCurSel(); coding >= 0)
    s.m_gridCellCoding = static_cast<int>(m_coding.GetItemData(coding));
  if (const int coloring = m_coloring.GetCurSel(); coloring >= 0) s.m_gridColoring = coloring;
  s.m_wordChartPages = Checked(this, IDC_PDFD_WORD_CHART) ? 1 : 0;
  s.m_wordChartAsTable = Checked(this, IDC_PDFD_TABLE) ? 1 : 0;
  if (const int text = m_chartText.GetCurSel(); text >= 0) s.m_wordChartText = static_cast<BYTE>(text);
  s.m_wordChartColumns = m_chartColumns.GetCurSel() == 1 ? 2 : 1;
  if (const int format = m_chartFormat.GetCurSel(); format >= 0)
    s.m_wordChartDirection = static_cast<int>(m_chartFormat.GetItemData(format));
  s.m_peyoteCombined = m_peyote.GetCurSel() == 0 ? 1 : 0;
  s.m_colorTextOutput = Checked(this, IDC_PDFD_COLOR_TEXT) ? 1 : 0;
}

std::vector<int> CPdfDataPage::ColumnWidths() {
  std::vector<int> widths;
  CHeaderCtrl* header = m_list.GetSafeHwnd() ? m_list.GetHeaderCtrl() : nullptr;
  for (int c = 0; header && c < header->GetItemCount(); ++c) widths.push_back(m_list.GetColumnWidth(c));
  return widths;
}

void CPdfDataPage::StoreColumnWidths() {
  if (!m_list.GetSafeHwnd() || ColumnWidths() == m_laidOutWidths) return;
  m_list.StoreColumnWidths();
}

bool CPdfDataPage::HasOutputPath() const { return !m_settings->m_outputPath.IsEmpty(); }

void CPdfDataPage::OnEditProperties() {
  if (IFrameServices* frame = GetFrameServices()) frame->OnFileProperties();
}

void CPdfDataPage::OnColumns() { m_list.OnColumns(); }

void CPdfDataPage::OnBrowse() {
  CFileDialog dialog(FALSE, "pdf", m_settings->m_outputPath, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     LoadResString(IDS_PDF_FILE_FILTER), this);
  const CString title = LoadResString(IDS_PDF_SELECT_FILE);
  dialog.m_ofn.lpstrTitle = title.GetString();
  if (dialog.DoModal() != IDOK) return;
  m_settings->m_outputPath = dialog.GetPathName();
  SetDlgItemText(IDC_PDFD_OUTPUT, m_settings->m_outputPath);
}

void CPdfDataPage::OnBackgroundColor() {
  CColorDialog dialog(m_settings->m_pageBackground, CC_FULLOPEN, this);
  if (dialog.DoModal() != IDOK) return;
  m_settings->m_pageBackground = dialog.GetColor();
  m_background.SetColor(m_settings->m_pageBackground);
  m_background.Invalidate();
}

void CPdfDataPage::OnSymbols() {
  if (!m_design) return;
  if (RunChartSymbolsDialog(m_palette, m_settings, &m_design->m_symbolSet, this)) UpdateSymbolFontName();
}

// ---- The sheet ----

CPdfSheet::CPdfSheet(CPattern* design, CColorSet* palette, CPdfData* settings, UINT captionId, CWnd* parent,
                     UINT firstPage)
    : CPropertySheet(captionId, parent, firstPage),
      m_dataPage(design, palette, settings),
      m_layoutPage(settings, palette),
      m_protectPage(settings),
      m_design(design),
      m_palette(palette),
      m_settings(settings) {
  m_psh.dwFlags |= PSH_NOAPPLYNOW | PSH_USEICONID;
  m_psh.dwFlags &= ~PSH_HASHELP;
  m_psh.pszIcon = MAKEINTRESOURCE(IDI_TB_PDF);
  AddPage(&m_dataPage);
  AddPage(&m_layoutPage);
  AddPage(&m_protectPage);
  if (m_design) m_symbolsBefore = m_design->m_symbolSet;
  m_paletteSymbolsBefore = PaletteSymbols();
}

CPdfSheet::~CPdfSheet() = default;

std::vector<std::pair<int, int>> CPdfSheet::PaletteSymbols() const {
  std::vector<std::pair<int, int>> symbols;
  if (!m_palette) return symbols;
  for (int i = 0; i < m_palette->GetCount(); ++i) {
    const CPaletteColor& color = m_palette->GetItem(i);
    symbols.emplace_back(color.symbol, color.symbolVariant);
  }
  return symbols;
}

bool CPdfSheet::SymbolsChanged() const {
  if (m_design && !(m_design->m_symbolSet == m_symbolsBefore)) return true;
  return PaletteSymbols() != m_paletteSymbolsBefore;
}

BOOL CPdfSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != IDOK) return CPropertySheet::OnCommand(wParam, lParam);
  m_dataPage.StoreColumnWidths();
  m_dataPage.StoreSettings();
  if (m_settings->IsEmpty() || !m_dataPage.HasOutputPath()) {
    SetActivePage(kDataPage);
    AppMessageBoxId(m_settings->IsEmpty() ? IDS_PDF_DATA_BLANK : IDS_PDF_NEED_FILE_NAME, kMbIconStop, GetSafeHwnd());
    return TRUE;
  }
  if (!m_protectPage.Validate(false)) {
    // The page is made (and filled) first, so the message can put the
    // focus in the field to mend.
    SetActivePage(kProtectPage);
    m_protectPage.Validate(true);
    return TRUE;
  }
  m_layoutPage.StoreSettings();
  return CPropertySheet::OnCommand(wParam, lParam);
}

bool RunChartSymbolsDialog(CColorSet* palette, CPdfData* settings, CSymbolSet* symbols, CWnd* parent) {
  if (SymbolsDialog()) return SymbolsDialog()(palette, settings, symbols, parent);
  if (!palette || !symbols) return false;
  CSelectSymbolsDlgNew dialog(palette, settings, symbols, parent);
  return dialog.DoModal() == IDOK;
}
