// The PDF options sheet as the user meets it, headless: what each page
// shows of the settings and stores back on OK, the order of OK's checks
// with their messages and focus, the layout page's element and
// orientation lists, the protection page's passwords, the symbols dialog's
// lasting changes, and pictures of the three pages and the print prompt in
// both languages. The print prompt's choice is kept in the settings.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/DialogServices.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "design/WeaveFormat.h"
#include "dialogs/PdfSheet.h"
#include "dialogs/PromptPrintDlg.h"
#include "lang/ids/designfile.h"
#include "lang/ids/pdf.h"
#include "lang/ids/pdfsheet.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "settings/AppSettings.h"
#include "settings/PdfData.h"
#include "tests/common/test_util.h"
#include "tests/dialogs/wizard_fixture.h"
#include "tools/dialogshots/DialogShots.h"
#include "tests/common/modal_hook.h"

using wiztest::CMessageLog;
using wiztest::MakePalette;

namespace {

CString Text(HWND window) {
  char buffer[512] = {};
  GetWindowText(window, buffer, sizeof buffer);
  return CString(buffer);
}

bool Enabled(HWND window) { return window && IsWindowEnabled(window) != FALSE; }

// A Peyote design with per-row formats (laid out in rows) or a Brick one.
CPattern MakeDesign(bool peyoteRows) {
  CPattern design;
  design.m_format = peyoteRows ? kFormatPeyote : kFormatBrick;
  if (peyoteRows) design.m_rowFormats = {CRowFormat{4, kFormatPeyote}, CRowFormat{4, kFormatLoom}};
  design.m_title = "Meadow";
  design.m_symbolSet.m_fontName = "Wingdings";
  return design;
}

// Settings that differ from the defaults in every field the data page shows.
CPdfData MakeSettings() {
  CPdfData s;
  s.m_outputPath = "/tmp/meadow-chart.pdf";
  s.m_propertiesPage = 1;
  s.m_wholeDesignPage = 0;
  s.m_collagePages = 1;
  s.m_wholeDesignMode = 0;
  s.m_colorListPage = 0;
  s.m_gridPages = 1;
  s.m_gridCellCoding = 1;
  s.m_gridColoring = 2;
  s.m_wordChartPages = 1;
  s.m_wordChartAsTable = 0;
  s.m_wordChartText = 0;
  s.m_wordChartColumns = 1;
  s.m_wordChartDirection = 2;
  s.m_peyoteCombined = 0;
  s.m_colorTextOutput = 1;
  return s;
}

// The sheet run modally; `work` drives it (the dialog window given), and
// nested dialogs go to `nested` in turn.
struct SheetRun {
  CPattern design;
  CColorSet palette = MakePalette(6);
  CPdfData settings;
  std::vector<std::function<void(HWND)>> nested;

  INT_PTR Run(const std::function<void(CPdfSheet&, HWND)>& work, UINT firstPage = 0) {
    CPdfSheet sheet(&design, &palette, &settings, IDS_PDF_SHEET_CAPTION, nullptr, firstPage);
    sheet.SetDefaultOutputPath("/tmp/default-chart.pdf");
    size_t next = 0;
    bool first = true;
    qmtest::SetModalHook([&](HWND dlg) {
      if (first) {
        first = false;
        work(sheet, dlg);
      } else if (next < nested.size()) {
        nested[next++](dlg);
      } else {
        ADD_FAILURE() << "an unexpected dialog";
        EndDialog(dlg, IDCANCEL);
      }
    });
    const INT_PTR result = sheet.DoModal();
    qmtest::SetModalHook({});
    symbolsChanged = sheet.SymbolsChanged();
    return result;
  }
  bool symbolsChanged = false;
};

HWND PageItem(CPropertyPage& page, int id) { return ::GetDlgItem(page.GetSafeHwnd(), id); }

CComboBox* Combo(CPropertyPage& page, int id) { return static_cast<CComboBox*>(CWnd::FromHandle(PageItem(page, id))); }

// A user's choice in a drop-down list: the selection and its notification.
void Choose(CPropertyPage& page, int id, int index) {
  CComboBox* combo = Combo(page, id);
  combo->SetCurSel(index);
  page.SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->GetSafeHwnd()));
}

void ClickOk(HWND sheet) { QmClickButton(::GetDlgItem(sheet, IDOK)); }
void ClickCancel(HWND sheet) { QmClickButton(::GetDlgItem(sheet, IDCANCEL)); }

void SelectRow(CListCtrl& list, int row) {
  for (int i = 0; i < list.GetItemCount(); ++i) list.SetItemState(i, 0, LVIS_SELECTED);
  list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

class PdfSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRussianInterface(false);
    GetAppSettings().SetDefaults();
  }
  void TearDown() override {
    qmtest::SetModalHook({});
    SetChartSymbolsDialog({});
  }
};

}  // namespace

TEST_F(PdfSheetTest, ChartFormatsFollowTheRowLayout) {
  qmtest::LanguagePack pack(false);
  // direction -> index, with and without row layout
  const int withRows[] = {0, 1, 4, 2, 3, 5};
  const int withoutRows[] = {0, 1, 4, 2, 3, 0};
  for (int d = 0; d < 6; ++d) {
    EXPECT_EQ(CPdfDataPage::ChartFormatIndex(d, true), withRows[d]) << d;
    EXPECT_EQ(CPdfDataPage::ChartFormatIndex(d, false), withoutRows[d]) << d;
  }
  EXPECT_EQ(CPdfDataPage::ChartFormatIndex(-1, true), 1);
  EXPECT_EQ(CPdfDataPage::ChartFormatIndex(77, false), 0);
}

TEST_F(PdfSheetTest, PeyoteWithRowsShowsAndStoresEveryField) {
  qmtest::LanguagePack pack(false);
  SheetRun run;
  run.design = MakeDesign(true);
  run.settings = MakeSettings();
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    EXPECT_EQ(Text(dlg), CString("Export pattern into PDF"));
    EXPECT_EQ(::GetDlgItem(dlg, ID_APPLY_NOW), nullptr);
    CPdfDataPage& page = sheet.GetDataPage();
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_PDFD_PROPERTIES), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_PDFD_WHOLE), BST_UNCHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_PDFD_COLLAGE), BST_CHECKED);
    EXPECT_EQ(Combo(page, IDC_PDFD_WHOLE_MODE)->GetCurSel(), 0);
    EXPECT_EQ(Combo(page, IDC_PDFD_CODING)->GetCurSel(), 1);  // 2 - coding
    EXPECT_EQ(Combo(page, IDC_PDFD_COLORING)->GetCurSel(), 2);
    EXPECT_EQ(Combo(page, IDC_PDFD_CHART_TEXT)->GetCurSel(), 0);
    CComboBox* formats = Combo(page, IDC_PDFD_CHART_FORMAT);
    ASSERT_EQ(formats->GetCount(), 6);
    const int data[] = {0, 1, 3, 4, 2, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(static_cast<int>(formats->GetItemData(i)), data[i]) << i;
    EXPECT_EQ(formats->GetCurSel(), 4);  // direction 2
    EXPECT_TRUE(Enabled(PageItem(page, IDC_PDFD_PEYOTE)));
    EXPECT_EQ(Combo(page, IDC_PDFD_PEYOTE)->GetCurSel(), 1);  // 1 - combined
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_PDFD_IN_COLUMNS), BST_CHECKED);
    EXPECT_EQ(Combo(page, IDC_PDFD_CHART_COLUMNS)->GetCurSel(), 0);
    EXPECT_TRUE(Enabled(PageItem(page, IDC_PDFD_CHART_COLUMNS)));
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_OUTPUT)), CString("/tmp/meadow-chart.pdf"));
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_FONT_NAME)), CString(""));  // coding is not symbols
    // "Font Symbol" shows the symbol font at once, another coding empties it.
    Choose(page, IDC_PDFD_CODING, 0);
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_FONT_NAME)), CString("Wingdings"));
    EXPECT_EQ(run.settings.m_gridCellCoding, 2);
    Choose(page, IDC_PDFD_CODING, 2);
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_FONT_NAME)), CString(""));
    // Table: the column count is not editable; back to Columns, 2 columns.
    QmClickButton(PageItem(page, IDC_PDFD_TABLE));
    EXPECT_FALSE(Enabled(PageItem(page, IDC_PDFD_CHART_COLUMNS)));
    QmClickButton(PageItem(page, IDC_PDFD_IN_COLUMNS));
    EXPECT_TRUE(Enabled(PageItem(page, IDC_PDFD_CHART_COLUMNS)));
    Choose(page, IDC_PDFD_CHART_COLUMNS, 1);
    Choose(page, IDC_PDFD_CHART_FORMAT, 5);
    Choose(page, IDC_PDFD_PEYOTE, 0);
    Choose(page, IDC_PDFD_WHOLE_MODE, 1);
    QmClickButton(PageItem(page, IDC_PDFD_WHOLE));
    ClickOk(dlg);
  });
  EXPECT_EQ(result, IDOK);
  const CPdfData& s = run.settings;
  EXPECT_EQ(s.m_gridCellCoding, 0);
  EXPECT_EQ(s.m_gridColoring, 2);
  EXPECT_EQ(s.m_wordChartColumns, 2);
  EXPECT_EQ(s.m_wordChartDirection, 5);
  EXPECT_EQ(s.m_peyoteCombined, 1);
  EXPECT_EQ(s.m_wholeDesignMode, 1);
  EXPECT_EQ(s.m_wholeDesignPage, 1);
  EXPECT_EQ(s.m_wordChartAsTable, 0);
  EXPECT_EQ(s.m_colorTextOutput, 1);
  EXPECT_EQ(s.m_outputPath, CString("/tmp/meadow-chart.pdf"));
}

TEST_F(PdfSheetTest, BrickWithoutRowsKeepsARealDirectionAndDefaultPath) {
  qmtest::LanguagePack pack(false);
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings = MakeSettings();
  run.settings.m_wordChartDirection = 5;  // no entry for it on a Brick design
  run.settings.m_wordChartColumns = 3;
  run.settings.m_outputPath.Empty();
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    CPdfDataPage& page = sheet.GetDataPage();
    EXPECT_EQ(Combo(page, IDC_PDFD_CHART_FORMAT)->GetCount(), 5);
    EXPECT_EQ(Combo(page, IDC_PDFD_CHART_FORMAT)->GetCurSel(), 0);
    EXPECT_FALSE(Enabled(PageItem(page, IDC_PDFD_PEYOTE)));
    EXPECT_EQ(Combo(page, IDC_PDFD_CHART_COLUMNS)->GetCurSel(), 1);
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_OUTPUT)), CString("/tmp/default-chart.pdf"));
    // The output path is read-only: only Browse changes it.
    EXPECT_NE(::GetWindowLong(PageItem(page, IDC_PDFD_OUTPUT), GWL_STYLE) & ES_READONLY, 0);
    ClickOk(dlg);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(run.settings.m_wordChartDirection, 0);
  EXPECT_EQ(run.settings.m_wordChartColumns, 2);
  EXPECT_EQ(run.settings.m_outputPath, CString("/tmp/default-chart.pdf"));
}

TEST_F(PdfSheetTest, BrowseAndBackgroundColourTakeEffectAtOnce) {
  qmtest::LanguagePack pack(false);
  const std::string chosen = (qmtest::MakeTempDir("pdfbrowse") / "garden.pdf").string();
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  run.nested = {[&](HWND files) {
                  EXPECT_TRUE(QmFileDialogTypeName(files, chosen.c_str()));
                  SendMessage(files, WM_COMMAND, IDOK, 0);
                },
                [&](HWND colours) {
                  EXPECT_TRUE(QmColorDialogSetColor(colours, RGB(250, 240, 200)));
                  SendMessage(colours, WM_COMMAND, IDOK, 0);
                },
                [&](HWND files) { SendMessage(files, WM_COMMAND, IDCANCEL, 0); }};
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    CPdfDataPage& page = sheet.GetDataPage();
    QmClickButton(PageItem(page, IDC_PDFD_BROWSE));
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_OUTPUT)), CString(chosen.c_str()));
    QmClickButton(PageItem(page, IDC_PDFD_BACKGROUND));
    EXPECT_EQ(run.settings.m_pageBackground, RGB(250, 240, 200));
    // A cancelled Browse keeps the file.
    QmClickButton(PageItem(page, IDC_PDFD_BROWSE));
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_OUTPUT)), CString(chosen.c_str()));
    ClickCancel(dlg);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(run.settings.m_outputPath, CString(chosen.c_str()));
}

TEST_F(PdfSheetTest, OkChecksSectionsFileAndPasswordsInOrder) {
  qmtest::LanguagePack pack(false);
  CMessageLog messages;
  SheetRun run;
  run.design = MakeDesign(true);
  run.settings.m_outputPath = "/tmp/x.pdf";
  run.settings.m_noCopy = 1;
  const INT_PTR result = run.Run(
      [&](CPdfSheet& sheet, HWND dlg) {
        // Started on the protection page; every section off: 361, data page.
        CPdfDataPage& data = sheet.GetDataPage();
        EXPECT_EQ(sheet.GetActiveIndex(), CPdfSheet::kProtectPage);
        sheet.SetActivePage(CPdfSheet::kDataPage);
        for (int id : {IDC_PDFD_WHOLE, IDC_PDFD_COLOR_LIST, IDC_PDFD_GRID, IDC_PDFD_WORD_CHART})
          data.CheckDlgButton(id, BST_UNCHECKED);
        sheet.SetActivePage(CPdfSheet::kLayoutPage);
        ClickOk(dlg);
        EXPECT_EQ(messages.texts.size(), 1u);
        EXPECT_TRUE(messages.Has(LoadResString(IDS_PDF_DATA_BLANK)));
        EXPECT_EQ(sheet.GetActiveIndex(), CPdfSheet::kDataPage);
        // A section on; "no copy" with no master password: 59466, focus 1155.
        data.CheckDlgButton(IDC_PDFD_GRID, BST_CHECKED);
        ClickOk(dlg);
        EXPECT_TRUE(messages.Has(LoadResString(IDS_PDF_MASTER_EMPTY)));
        EXPECT_EQ(sheet.GetActiveIndex(), CPdfSheet::kProtectPage);
        CPdfProtectPage& protect = sheet.GetProtectPage();
        EXPECT_EQ(::GetFocus(), PageItem(protect, IDC_PDFP_MASTER));
        // Equal passwords: 59465, focus 1153.
        ::SetWindowText(PageItem(protect, IDC_PDFP_MASTER), "Bead5");
        ::SetWindowText(PageItem(protect, IDC_PDFP_USER), "Bead5");
        ClickOk(dlg);
        EXPECT_TRUE(messages.Has(LoadResString(IDS_PDF_PASSWORDS_EQUAL)));
        EXPECT_EQ(::GetFocus(), PageItem(protect, IDC_PDFP_USER));
        EXPECT_EQ(messages.texts.size(), 3u);
        // Differing in case only: accepted.
        ::SetWindowText(PageItem(protect, IDC_PDFP_USER), "bead5");
        ClickOk(dlg);
      },
      CPdfSheet::kProtectPage);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(messages.texts.size(), 3u);
  EXPECT_EQ(run.settings.m_masterPassword, CString("Bead5"));
  EXPECT_EQ(run.settings.m_userPassword, CString("bead5"));
  EXPECT_EQ(run.settings.m_gridPages, 1);
}

TEST_F(PdfSheetTest, PasswordsWithoutRestrictionPassAndAnEmptyPathIsRefused) {
  qmtest::LanguagePack pack(false);
  CMessageLog messages;
  // No restriction: equal passwords are not checked.
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  run.settings.m_masterPassword = run.settings.m_userPassword = "same";
  EXPECT_EQ(run.Run([&](CPdfSheet&, HWND dlg) { ClickOk(dlg); }), IDOK);
  EXPECT_TRUE(messages.texts.empty());
  // No output file and no default one: 362, the sheet stays.
  CPattern design = MakeDesign(false);
  CColorSet palette = MakePalette(3);
  CPdfData settings;
  settings.m_outputPath.Empty();
  CPdfSheet sheet(&design, &palette, &settings, IDS_PDF_SHEET_CAPTION, nullptr, 0);
  qmtest::SetModalHook([&](HWND dlg) {
    ClickOk(dlg);
    EXPECT_TRUE(messages.Has(LoadResString(IDS_PDF_NEED_FILE_NAME)));
    EXPECT_EQ(sheet.GetActiveIndex(), CPdfSheet::kDataPage);
    ClickCancel(dlg);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  qmtest::SetModalHook({});
}

TEST_F(PdfSheetTest, LayoutPageEditsStylesAndKeepsWhatItNeverShowed) {
  qmtest::LanguagePack pack(false);
  CMessageLog messages;
  // Never opened: margins, texts, bookmarks and omit count stay.
  {
    SheetRun run;
    run.design = MakeDesign(false);
    run.settings.m_outputPath = "/tmp/x.pdf";
    run.settings.m_marginTop = 33;
    run.settings.m_headerText = "Top line";
    run.settings.m_createBookmarks = 0;
    run.settings.m_omitFirstChars = 2;
    const CPdfData before = run.settings;
    EXPECT_EQ(run.Run([&](CPdfSheet&, HWND dlg) { ClickOk(dlg); }), IDOK);
    EXPECT_TRUE(run.settings == before);
  }
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  run.settings.m_versionStyle.m_face = "Courier";  // from an older design
  run.settings.m_pageTitleStyle.m_color = RGB(10, 20, 30);
  run.palette = CColorSet();
  for (const char* name : {"DB-001", "DB-002"}) {
    CPaletteColor color(CRgbTriple::FromColorref(RGB(90, 40, 10)), name, 0, 1, 100, 250);
    color.count = 4;
    run.palette.Append(color);
  }
  const CPdfData before = run.settings;
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    sheet.SetActivePage(CPdfSheet::kLayoutPage);
    CPdfLayoutPage& page = sheet.GetLayoutPage();
    CListCtrl& elements = page.GetElementList();
    ASSERT_EQ(elements.GetItemCount(), 8);
    EXPECT_EQ(elements.GetItemText(7, 0), LoadResString(IDS_PDF_WORD_CHART_COLUMN));
    EXPECT_EQ(page.GetOrientationList().GetItemCount(), 4);
    CComboBox* faces = Combo(page, IDC_PDFL_FACE);
    EXPECT_EQ(faces->GetCount(), 11);
    // Colour only for rows 0, 1, 2 and 4; row 0 shows the title's colour.
    for (int row = 0; row < 8; ++row) {
      SelectRow(elements, row);
      EXPECT_EQ(Enabled(PageItem(page, IDC_PDFL_COLOR)), row == 0 || row == 1 || row == 2 || row == 4) << row;
    }
    SelectRow(elements, 0);
    EXPECT_EQ(faces->GetCurSel(), 0);  // "Arial"
    // Version ID's face is not offered: the box keeps "Arial" and the face stays.
    SelectRow(elements, 3);
    EXPECT_EQ(faces->GetCurSel(), 0);
    EXPECT_EQ(elements.GetItemText(3, 1), CString("Courier"));
    // A face and a size for the grid row.
    SelectRow(elements, 6);
    Choose(page, IDC_PDFL_FACE, 8);
    page.GetSizeSpin().SetPos32(40);  // held at 32
    page.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0),
                     reinterpret_cast<LPARAM>(page.GetSizeSpin().GetSafeHwnd()));
    EXPECT_EQ(elements.GetItemText(6, 2), CString("32"));
    // Landscape on the grid row of the orientation list.
    SelectRow(page.GetOrientationList(), 2);
    QmClickButton(PageItem(page, IDC_PDFL_LANDSCAPE));
    EXPECT_EQ(page.GetOrientationList().GetItemText(2, 1), LoadResString(IDS_PDF_LANDSCAPE));
    // Margins held at 150, texts and the omit count.
    page.SetDlgItemText(IDC_PDFL_LEFT, "400");
    page.SetDlgItemText(IDC_PDFL_HEADER, "Meadow by Ann");
    page.CheckDlgButton(IDC_PDFL_BOOKMARKS, BST_UNCHECKED);
    // Omit 6 makes "DB-001" blank: the page stays with the palette's reason.
    page.SetDlgItemText(IDC_PDFL_OMIT, "6");
    EXPECT_FALSE(sheet.SetActivePage(CPdfSheet::kDataPage));
    EXPECT_EQ(sheet.GetActiveIndex(), CPdfSheet::kLayoutPage);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("DB-001"), std::string::npos);
    page.SetDlgItemText(IDC_PDFL_OMIT, "3");
    ClickOk(dlg);
  });
  EXPECT_EQ(result, IDOK);
  const CPdfData& s = run.settings;
  EXPECT_EQ(s.m_gridStyle.m_face, CString("Verdana,Bold"));
  EXPECT_EQ(s.m_gridStyle.m_size, 32);
  EXPECT_EQ(s.m_gridStyle.m_orientation, 1);
  EXPECT_EQ(s.m_versionStyle.m_face, CString("Courier"));
  EXPECT_EQ(s.m_wordChartStyle, before.m_wordChartStyle);
  EXPECT_EQ(s.m_propertiesStyle, before.m_propertiesStyle);
  EXPECT_EQ(s.m_colorListStyle, before.m_colorListStyle);
  EXPECT_EQ(s.m_marginLeft, 150);
  EXPECT_EQ(s.m_marginTop, before.m_marginTop);
  EXPECT_EQ(s.m_headerText, CString("Meadow by Ann"));
  EXPECT_EQ(s.m_createBookmarks, 0);
  EXPECT_EQ(s.m_omitFirstChars, 3);
}

TEST_F(PdfSheetTest, ProtectionPageMasksAtOnceAndLimitsPasswords) {
  qmtest::LanguagePack pack(false);
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  run.settings.m_maskPasswords = 1;
  run.settings.m_title = "Meadow chart";
  const INT_PTR result = run.Run(
      [&](CPdfSheet& sheet, HWND dlg) {
        CPdfProtectPage& page = sheet.GetProtectPage();
        HWND master = PageItem(page, IDC_PDFP_MASTER);
        HWND user = PageItem(page, IDC_PDFP_USER);
        auto mask = [](HWND edit) { return ::SendMessage(edit, EM_GETPASSWORDCHAR, 0, 0); };
        EXPECT_EQ(mask(master), '*');
        EXPECT_EQ(mask(user), '*');
        QmClickButton(PageItem(page, IDC_PDFP_MASK));
        EXPECT_EQ(mask(master), 0);
        EXPECT_EQ(mask(user), 0);
        EXPECT_EQ(Text(PageItem(page, IDC_PDFP_TITLE)), CString("Meadow chart"));
        EXPECT_NE(Text(PageItem(page, IDC_PDFP_HELP)).Find("master password"), -1);
        // The 33rd character is refused.
        ::SetFocus(master);
        QmSendText(master, std::string(33, 'k').c_str());
        EXPECT_EQ(Text(master).GetLength(), 32);
        page.CheckDlgButton(IDC_PDFP_NO_PRINT, BST_CHECKED);
        ClickOk(dlg);
      },
      CPdfSheet::kProtectPage);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(run.settings.m_maskPasswords, 0);
  EXPECT_EQ(run.settings.m_noPrint, 1);
  EXPECT_EQ(run.settings.m_masterPassword, CString(std::string(32, 'k').c_str()));
}

TEST_F(PdfSheetTest, SymbolsChosenStayWhenTheSheetIsCancelled) {
  qmtest::LanguagePack pack(false);
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  run.settings.m_gridCellCoding = 2;
  SetChartSymbolsDialog([](CColorSet* palette, CPdfData*, CSymbolSet* symbols, CWnd*) {
    symbols->m_fontName = "Webdings";
    palette->GetItem(1).symbol = 77;
    return true;
  });
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    CPdfDataPage& page = sheet.GetDataPage();
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_FONT_NAME)), CString("Wingdings"));
    EXPECT_FALSE(sheet.SymbolsChanged());
    QmClickButton(PageItem(page, IDC_PDFD_SYMBOLS));
    EXPECT_EQ(Text(PageItem(page, IDC_PDFD_FONT_NAME)), CString("Webdings"));
    ClickCancel(dlg);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(run.symbolsChanged);
  EXPECT_EQ(run.design.m_symbolSet.m_fontName, CString("Webdings"));
}

TEST_F(PdfSheetTest, SymbolsButtonOpensTheChartSymbolsDialog) {
  qmtest::LanguagePack pack(false);
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  CString caption;
  run.nested = {[&](HWND symbols) {
    caption = Text(symbols);
    QmClickButton(::GetDlgItem(symbols, IDCANCEL));
  }};
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    QmClickButton(PageItem(sheet.GetDataPage(), IDC_PDFD_SYMBOLS));
    ClickCancel(dlg);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(caption.IsEmpty());
}

TEST_F(PdfSheetTest, ColumnsChosenForTheListAreStoredOnOk) {
  qmtest::LanguagePack pack(false);
  SetSelectColumnsDialog([](CColumnLayout& columns, CColumnListOptions&, CWnd*) {
    columns = {{kColumnMfgName, 90}, {kColumnCount, 50}};
    return true;
  });
  SheetRun run;
  run.design = MakeDesign(false);
  run.settings.m_outputPath = "/tmp/x.pdf";
  const INT_PTR result = run.Run([&](CPdfSheet& sheet, HWND dlg) {
    CPdfDataPage& page = sheet.GetDataPage();
    // The list shows the settings' columns.
    EXPECT_EQ(page.GetColorList().GetData().columns.size(), run.settings.m_colorListColumns.columns.size());
    QmClickButton(PageItem(page, IDC_PDFD_COLUMNS));
    EXPECT_EQ(page.GetColorList().GetHeaderCtrl()->GetItemCount(), 2);
    ClickOk(dlg);
  });
  SetSelectColumnsDialog({});
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(run.settings.m_colorListColumns.columns.size(), 2u);
  EXPECT_EQ(run.settings.m_colorListColumns.columns[0].kind, kColumnMfgName);
  EXPECT_EQ(run.settings.m_colorListColumns.columns[1].kind, kColumnCount);
}

TEST_F(PdfSheetTest, PrintPromptKeepsTheChoiceInTheSettings) {
  qmtest::LanguagePack pack(false);
  GetAppSettings().m_printChoice = 0;
  auto run = [](const std::function<void(HWND)>& work) {
    CPromptPrintDlg prompt(nullptr);
    qmtest::SetModalHook(work);
    const INT_PTR result = prompt.DoModal();
    qmtest::SetModalHook({});
    return result;
  };
  EXPECT_EQ(run([](HWND dlg) {
              EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_PRINT_PICTURE), BST_CHECKED);
              QmClickButton(GetDlgItem(dlg, IDC_PRINT_PDF));
              QmClickButton(GetDlgItem(dlg, IDCANCEL));
            }),
            IDCANCEL);
  EXPECT_EQ(GetAppSettings().m_printChoice, 0);
  EXPECT_EQ(run([](HWND dlg) {
              QmClickButton(GetDlgItem(dlg, IDC_PRINT_PDF));
              QmClickButton(GetDlgItem(dlg, IDOK));
            }),
            IDOK);
  EXPECT_EQ(GetAppSettings().m_printChoice, 1);
  EXPECT_EQ(run([](HWND dlg) {
              EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_PRINT_PDF), BST_CHECKED);
              QmClickButton(GetDlgItem(dlg, IDC_PRINT_PICTURE));
              QmClickButton(GetDlgItem(dlg, IDOK));
            }),
            IDOK);
  EXPECT_EQ(GetAppSettings().m_printChoice, 0);
}

TEST_F(PdfSheetTest, ShotsOfThePagesAndThePrompt) {
  for (bool russian : {false, true}) {
    SetRussianInterface(russian);
    qmtest::LanguagePack pack(russian);
    ASSERT_TRUE(pack.Loaded());
    auto check = [&](HWND window, const char* what) {
      for (const DialogLayoutProblem& problem : CheckDialogLayout(window))
        ADD_FAILURE() << what << (russian ? " (ru): " : " (en): ") << DescribeProblem(problem);
    };
    SheetRun run;
    run.design = MakeDesign(true);
    run.settings = MakeSettings();
    run.settings.m_gridCellCoding = 2;
    for (int i = 0; i < run.palette.GetCount(); ++i) run.palette.GetItem(i).count = 10 * (i + 1);
    run.Run([&](CPdfSheet& sheet, HWND dlg) {
      const char* names[] = {"pdf_sheet_data", "pdf_sheet_layout", "pdf_sheet_protect"};
      for (int i = 0; i < 3; ++i) {
        sheet.SetActivePage(i);
        QmPumpMessages(50);
        check(sheet.GetActivePage()->GetSafeHwnd(), names[i]);
        EXPECT_TRUE(SaveDialogShot(dlg, DefaultShotsDir(russian) + "/" + names[i] + ".png")) << names[i];
      }
      ClickCancel(dlg);
    });
    CPromptPrintDlg prompt(nullptr);
    qmtest::SetModalHook([&](HWND dlg) {
      QmPumpMessages(50);
      check(dlg, "print prompt");
      EXPECT_TRUE(SaveDialogShot(dlg, DefaultShotsDir(russian) + "/print_prompt.png"));
      QmClickButton(GetDlgItem(dlg, IDCANCEL));
    });
    prompt.DoModal();
    qmtest::SetModalHook({});
  }
  SetRussianInterface(false);
}
