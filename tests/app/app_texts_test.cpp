// Texts of the shell in both languages: message box captions and the
// window caption of a design without a name.
#include <QImage>
#include <filesystem>

#include "app/AboutDlg.h"
#include "app/bars/AppStatusBar.h"
#include "core/FrameServices.h"
#include "lang/ids/base.h"
#include "lang/ids/shell.h"
#include "lang/ids/view.h"
#include "palette/BasicPalette.h"
#include "pdf/PdfExport.h"
#include "platform/base/codepage.h"
#include "tests/app/app_fixture.h"
#include "tests/pdflib/pdf_tools.h"
#include "tests/view/view_test_util.h"
#include "tools/dialogshots/DialogShots.h"
#include "view/CtrlPane.h"

using namespace apptest;
namespace fs = std::filesystem;

class ShellTexts : public AppTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ShellTexts, FrameworkBoxesTakeTheProgramTitleOfTheInterface) {
  const bool russian = GetParam();
  StoreLanguage(russian);
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  std::vector<std::string> captions;
  SetMessageBoxHook([&](const CString&, const CString& caption, UINT) {
    captions.push_back(caption.str());
    return IDNO;
  });
  // The version check and the missing manual ask through the framework.
  Frame()->SendMessage(WM_COMMAND, ID_HELP_CHECK_UPDATE);
  Frame()->SendMessage(WM_COMMAND, ID_HELP_DESCRIPTION);
  AfxMessageBox("text", MB_OK);
  ASSERT_EQ(captions.size(), 3u);
  const std::string title = LoadResString(IDS_APP_TITLE).str();
  EXPECT_EQ(title, russian ? Utf8ToCodePage("Квиллмир", 1251) : std::string("Quillmere"));
  for (const std::string& caption : captions) EXPECT_EQ(caption, title);
}

TEST_P(ShellTexts, ADesignWithoutNameIsUntitledInTheCaption) {
  const bool russian = GetParam();
  StoreLanguage(russian);
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  Frame()->RefreshFrameTitle();
  CString caption;
  Frame()->GetWindowText(caption);
  const std::string expected = russian ? Utf8ToCodePage("Квиллмир - Без имени", 1251) : "Quillmere - Untitled";
  EXPECT_EQ(caption.str(), expected);
}

// With a design of the starter palette open: no text of the control pane is
// cut or overlaps another, its list's column titles fit their columns, and
// the status line's bead text is not covered by the information boxes.
TEST_P(ShellTexts, ThePaneAndTheStatusBarGiveTheirTextsRoom) {
  const bool russian = GetParam();
  StoreLanguage(russian);
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
  CTabView* view = View();
  CCtrlPane* pane = Frame()->GetCtrlPane();
  ASSERT_NE(view, nullptr);
  ASSERT_NE(pane, nullptr);
  *view->GetPattern() = viewtest::MakeDesign(111, 55);
  view->SetColorSet(MakeBasicPalette(russian), BasicPaletteFileName(russian));
  view->OnPatternChanged(false);
  pane->FillColorList();
  QmPumpMessages(100);

  CRect paneClient;
  pane->GetClientRect(&paneClient);
  for (const DialogLayoutProblem& p : CheckDialogLayout(pane->m_hWnd))
    ADD_FAILURE() << DescribeProblem(p) << " (pane " << paneClient.Width() << " wide)";
  CColorListCtrl& list = pane->GetColorList();
  CHeaderCtrl* header = list.GetHeaderCtrl();
  ASSERT_NE(header, nullptr);
  {
    CClientDC dc(header);
    CFont* old = dc.SelectObject(header->GetFont() ? header->GetFont() : list.GetFont());
    for (int c = 0; c < header->GetItemCount(); ++c) {
      char title[128] = {};
      HDITEM item{};
      item.mask = HDI_TEXT;
      item.pszText = title;
      item.cchTextMax = sizeof title;
      header->GetItem(c, &item);
      EXPECT_LE(dc.GetTextExtent(title).cx + 8, list.GetColumnWidth(c)) << title;
    }
    dc.SelectObject(old);
  }

  // The bead text of the design view for a colour of the palette: drawn
  // whole left of the information boxes, which give way to it up to half
  // the bar (the window here is 800 pixels wide).
  CString line;
  line.Format(LoadResString(IDS_VIEW_BEAD_INFO), 111u, 55u, 200u, 40u, 40u,
              view->GetColorSet()->GetItem(26).mfgName.GetString(), 6105u);
  CAppStatusBar& bar = Frame()->GetAppStatusBar();
  bar.SetWindowText(line);
  QmPumpMessages(50);
  CRect client;
  bar.GetClientRect(&client);
  int runs = 0;
  {
    CClientDC dc(&bar);
    CFont* old = dc.SelectObject(bar.GetFont());
    for (const StatusSegment& run : SplitStatusLine(line)) runs += dc.GetTextExtent(run.text).cx;
    dc.SelectObject(old);
  }
  auto boxesLeft = [&] {
    const QImage picture = QmRenderWindow(bar.m_hWnd, false);
    for (int x = 0; x < picture.width(); ++x)
      if ((picture.pixel(x, picture.height() / 2) & 0xFFFFFF) == 0x8080C4u) return x;  // a frame, RGB(128, 128, 196)
    return picture.width();
  };
  // Here (800 pixels) the text keeps half the bar, the boxes the rest.
  EXPECT_GE(boxesLeft(), std::min(1 + runs, client.Width() / 2)) << line.GetString();
  EXPECT_LT(boxesLeft(), client.Width());
  // In a window of 1280 pixels nothing of it is covered.
  Frame()->MoveWindow(0, 0, 1280, 900);
  QmPumpMessages(50);
  bar.GetClientRect(&client);
  ASSERT_GE(client.Width(), 1200);
  EXPECT_GE(boxesLeft(), 1 + runs) << line.GetString();
  EXPECT_LT(boxesLeft(), client.Width());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShellTexts, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Russian" : "English"; });

// A Russian chart of a peyote design with every section, written where the
// pictures of the windows go (build/shots/ru/shell_chart.pdf) to be looked
// at: its word chart's title and its properties page speak Russian.
TEST_F(AppTest, ARussianPeyoteChartReadsInRussian) {
  StoreLanguage(true);
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  CTabView* view = View();
  ASSERT_NE(view, nullptr);
  const fs::path dir = qmtest::SourceDir() / "build" / "shots" / "ru";
  fs::create_directories(dir);
  const fs::path pdf = dir / "shell_chart.pdf";
  fs::remove(pdf);
  *view->GetPattern() = viewtest::MakeDesign(12, 10, kFormatPeyote);
  view->GetPattern()->m_title = "Garden";
  CPdfData& data = view->GetPattern()->m_pdfData;
  data.m_propertiesPage = data.m_wholeDesignPage = data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 1;
  data.m_collagePages = 0;
  data.m_gridCellCoding = 2;  // symbols
  data.m_peyoteCombined = 1;
  data.m_wordChartAsTable = 1;
  data.m_outputPath = pdf.string().c_str();
  view->SetColorSet(MakeBasicPalette(true), BasicPaletteFileName(true));
  view->GetColorSet()->CountUsageQuick(*view->GetPattern());
  view->OnPatternChanged(false);
  QmPumpMessages(50);
  QmSetShellExecuteHook(
      [](HWND, const char*, const char*, const char*, const char*, int) { return reinterpret_cast<HINSTANCE>(42); });
  // The options sheet comes first: OK exports with the design's settings.
  qmtest::SetModalHook([](HWND sheet) { QmClickButton(GetDlgItem(sheet, IDOK)); });
  Frame()->SendMessage(WM_COMMAND, ID_FILE_EXPORT_PDF);
  QmPumpMessages(100);
  qmtest::SetModalHook(nullptr);
  QmSetShellExecuteHook(nullptr);
  ASSERT_TRUE(fs::exists(pdf)) << (boxes.empty() ? "" : boxes[0].first);
  const std::string text = qmtest::PdfText(pdf);
  for (const char* part : {"словесное описание (ряды попарно)", "Размер бисера:", "2.54000 x 2.54000 (1/"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}
