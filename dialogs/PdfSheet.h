// The PDF options sheet shown before a PDF export: three pages that edit one
// CPdfData in place -- what the chart holds and how it is coded (the
// export-data page, here), how it looks (CPdfLayoutPage) and its
// protection and document information (CPdfProtectPage). OK checks, in
// order, that something is exported, that there is an output file and
// that the protection can work, and keeps the sheet open with a message
// when not.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "controls/Buttons.h"
#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "design/PatternAttr.h"
#include "dialogs/PdfLayoutPage.h"
#include "dialogs/PdfProtectPage.h"
#include "platform/wnd.h"

class CColorSet;
class CPattern;
class CPdfData;

// The chart symbols dialog as the export-data page runs it
// (CSelectSymbolsDlgNew): true when it ended with OK. Tests may put their
// own in (an empty function puts the real one back).
using ChartSymbolsDialog = std::function<bool(CColorSet* palette, CPdfData* settings, CSymbolSet* symbols, CWnd* parent)>;
void SetChartSymbolsDialog(ChartSymbolsDialog dialog);
bool RunChartSymbolsDialog(CColorSet* palette, CPdfData* settings, CSymbolSet* symbols, CWnd* parent);

class CPdfDataPage : public CPropertyPage {
 public:
  CPdfDataPage(CPattern* design, CColorSet* palette, CPdfData* settings);

  BOOL OnInitDialog() override;
  // The controls into the settings (the output path is already there).
  void StoreSettings();
  bool HasOutputPath() const;
  // The list's column widths into its model -- only when the user resized
  // a column: automatic widths stay automatic, so OK without a change
  // leaves the settings equal.
  void StoreColumnWidths();
  // The output file shown when the settings have none (made by the caller:
  // the export's default file).
  void SetDefaultOutputPath(const CString& path) { m_defaultPath = path; }

  // The chart formats of a design (item data: the word-chart direction),
  // and the entry selected for a stored direction.
  static void FillChartFormatCombo(CComboBox& combo, bool hasRowLayout);
  static int ChartFormatIndex(int direction, bool hasRowLayout);

  CColorListCtrl& GetColorList() { return m_list; }
  CMyColorButton& GetBackgroundButton() { return m_background; }

  // The handlers, reachable for tests.
  afx_msg void OnEditProperties();
  afx_msg void OnColumns();
  afx_msg void OnBrowse();
  afx_msg void OnSymbols();
  afx_msg void OnLayoutKind();
  afx_msg void OnBackgroundColor();
  void UpdateSymbolFontName();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnColoringChanged() {}
  DECLARE_MESSAGE_MAP()

 private:
  CMyColorButton m_background;
  CComboBox m_chartColumns;
  CComboBox m_peyote;
  CComboBox m_chartFormat;
  CComboBox m_chartText;
  CComboBox m_coloring;
  CComboBox m_coding;
  CColorListCtrl m_list;
  CColorStatic m_listText;
  CComboBox m_wholeMode;
  CColorStatic m_outputTitle;
  CColorStatic m_fontTitle;
  CColorStatic m_fontName;
  CPattern* m_design;
  CColorSet* m_palette;
  CPdfData* m_settings;
  std::vector<int> ColumnWidths();

  CString m_defaultPath;
  std::vector<int> m_laidOutWidths;  // the list's column widths as first laid out
};

class CPdfSheet : public CPropertySheet {
 public:
  static constexpr int kDataPage = 0;
  static constexpr int kLayoutPage = 1;
  static constexpr int kProtectPage = 2;

  CPdfSheet(CPattern* design, CColorSet* palette, CPdfData* settings, UINT captionId, CWnd* parent, UINT firstPage);
  ~CPdfSheet() override;

  void SetDefaultOutputPath(const CString& path) { m_dataPage.SetDefaultOutputPath(path); }
  // The design's chart symbols or the palette's symbols differ from when
  // the sheet was made (the symbols dialog changes them for good).
  bool SymbolsChanged() const;

  CPdfDataPage& GetDataPage() { return m_dataPage; }
  CPdfLayoutPage& GetLayoutPage() { return m_layoutPage; }
  CPdfProtectPage& GetProtectPage() { return m_protectPage; }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  // The palette's chart symbols (code and output colour) per colour.
  std::vector<std::pair<int, int>> PaletteSymbols() const;

  CPdfDataPage m_dataPage;
  CPdfLayoutPage m_layoutPage;
  CPdfProtectPage m_protectPage;
  CPattern* m_design;
  CColorSet* m_palette;
  CPdfData* m_settings;
  CSymbolSet m_symbolsBefore;
  std::vector<std::pair<int, int>> m_paletteSymbolsBefore;
};
