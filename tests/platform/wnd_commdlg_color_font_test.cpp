// The colour and font dialogs (initial colour, full-open, custom colours,
// the LOGFONT in and out, the colour label and box as windows that a hook
// hides, symbol faces) and the printer set-up that knows no printer.
#include <QFontDatabase>

#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;

namespace {

std::vector<std::pair<HWND, UINT>> g_hookCalls;
HICON g_hookIcon = nullptr;

// As a program hides the colour row of the font dialog.
UINT_PTR HideColorHook(HWND hdlg, UINT message, WPARAM, LPARAM) {
  g_hookCalls.emplace_back(hdlg, message);
  if (message == WM_INITDIALOG) {
    ShowWindow(GetDlgItem(hdlg, QM_IDC_FONT_COLOR_LABEL), SW_HIDE);
    ShowWindow(GetDlgItem(hdlg, QM_IDC_FONT_COLOR), SW_HIDE);
    SendMessage(hdlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_hookIcon));
  }
  return 0;
}

LOGFONT Font(const char* face, LONG height, LONG weight) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face, sizeof(lf.lfFaceName) - 1);
  return lf;
}

}  // namespace

TEST_F(BarsTest, ColorDialogStartsFromTheGivenColourAndKeepsCustomColours) {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = RGB(i * 10, 0, 0);
  CColorDialog dlg(RGB(10, 20, 30), CC_RGBINIT | CC_FULLOPEN, app->Frame());
  dlg.m_cc.lpCustColors = custom;
  QmSetModalHook([&](HWND h) {
    EXPECT_NE(GetDlgItem(h, IDOK), nullptr);
    SendMessage(h, WM_COMMAND, IDOK, 0);  // unchanged
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));
  EXPECT_EQ(custom[5], RGB(50, 0, 0));
  // A colour chosen; Cancel keeps the last answer.
  QmSetModalHook([&](HWND h) {
    EXPECT_TRUE(QmColorDialogSetColor(h, RGB(200, 100, 0)));
    QmClickButton(GetDlgItem(h, IDOK));
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetColor(), RGB(200, 100, 0));
  QmSetModalHook([&](HWND h) {
    QmColorDialogSetColor(h, RGB(1, 2, 3));
    QmClickButton(GetDlgItem(h, IDCANCEL));
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetColor(), RGB(200, 100, 0));
}

TEST_F(BarsTest, FontDialogTakesAndGivesALogFontAndItsHookHidesTheColourRow) {
  g_hookCalls.clear();
  g_hookIcon = LoadIcon(nullptr, IDI_APPLICATION);
  LOGFONT lf = Font("Arial", -13, FW_BOLD);
  CFontDialog dlg(&lf, CF_SCREENFONTS | CF_PRINTERFONTS | CF_EFFECTS | CF_ENABLEHOOK, nullptr, app->Frame());
  dlg.m_cf.lpfnHook = HideColorHook;
  dlg.m_cf.rgbColors = RGB(0, 0, 128);
  QmSetModalHook([&](HWND h) {
    ASSERT_EQ(g_hookCalls.size(), 1u);
    EXPECT_EQ(g_hookCalls[0], std::make_pair(h, static_cast<UINT>(WM_INITDIALOG)));
    ASSERT_NE(GetDlgItem(h, QM_IDC_FONT_COLOR_LABEL), nullptr);
    ASSERT_NE(GetDlgItem(h, QM_IDC_FONT_COLOR), nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, QM_IDC_FONT_COLOR_LABEL)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, QM_IDC_FONT_COLOR)));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(h, WM_GETICON, ICON_SMALL, 0)), g_hookIcon);
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  // Unchanged: the face as the program named it, 10 points, bold.
  LOGFONT out{};
  dlg.GetCurrentFont(&out);
  EXPECT_STREQ(out.lfFaceName, "Arial");
  EXPECT_EQ(out.lfHeight, -13);
  EXPECT_EQ(out.lfWeight, FW_BOLD);
  EXPECT_FALSE(out.lfItalic);
  EXPECT_EQ(dlg.GetSize(), 100);
  EXPECT_EQ(dlg.GetColor(), RGB(0, 0, 128));
  EXPECT_TRUE(dlg.IsBold());

  // Another face and size.
  QmSetModalHook([&](HWND h) {
    EXPECT_TRUE(QmFontDialogSetFont(h, "DejaVu Sans", 14, false, true));
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  dlg.GetCurrentFont(&out);
  EXPECT_STREQ(out.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(out.lfHeight, -19);
  EXPECT_EQ(out.lfWeight, FW_NORMAL);
  EXPECT_TRUE(out.lfItalic);
  EXPECT_EQ(out.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(dlg.GetSize(), 140);
}

TEST_F(BarsTest, FontDialogGivesSymbolFacesTheSymbolCharacterSet) {
  bool installed = false;
  for (const QString& f : QFontDatabase::families()) installed = installed || f.startsWith(QLatin1String("Standard Symbols PS"));
  ASSERT_TRUE(installed) << "fonts-urw-base35 is one of the build's packages";
  LOGFONT lf = Font("MS Sans Serif", -16, FW_NORMAL);
  CFontDialog dlg(&lf, CF_SCREENFONTS, nullptr, app->Frame());
  QmSetModalHook([&](HWND h) {
    EXPECT_EQ(GetDlgItem(h, QM_IDC_FONT_COLOR), nullptr);  // no effects, no colour row
    QmFontDialogSetFont(h, "Standard Symbols PS", 12, false, false);
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetFaceName(), CString("Standard Symbols PS"));
  EXPECT_EQ(dlg.m_lf.lfCharSet, SYMBOL_CHARSET);
  // The program's own name for the symbol face comes back as it was.
  LOGFONT sym = Font("Symbol", -16, FW_NORMAL);
  CFontDialog same(&sym, CF_SCREENFONTS, nullptr, app->Frame());
  QmSetModalHook([&](HWND h) { SendMessage(h, WM_COMMAND, IDOK, 0); });
  EXPECT_EQ(same.DoModal(), IDOK);
  EXPECT_EQ(same.GetFaceName(), CString("Symbol"));
  EXPECT_EQ(same.m_lf.lfCharSet, SYMBOL_CHARSET);
}

TEST_F(BarsTest, PrinterDefaultsSayThereIsNoPrinter) {
  CPrintDialog pd(FALSE);
  EXPECT_FALSE(app->GetPrinterDeviceDefaults(&pd.m_pd));
  EXPECT_EQ(CommDlgExtendedError(), PDERR_NODEFAULTPRN);
  EXPECT_EQ(pd.m_pd.hDevMode, nullptr);
  EXPECT_FALSE(pd.GetDefaults());
  EXPECT_EQ(pd.CreatePrinterDC(), nullptr);
}
