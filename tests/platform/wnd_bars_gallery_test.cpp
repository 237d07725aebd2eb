// The gallery of bars, menus, sheets and common dialogs, in English and
// Russian: pictures under build/shots/platform/<language> to look at.
#include <cstring>
#include <fstream>

#include "tests/common/test_util.h"
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;
namespace fs = std::filesystem;

namespace {

class BarsGallery : public BarsTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    BarsTest::SetUp();
    UseLanguage(GetParam());
  }
  bool Russian() const { return GetParam(); }
};

}  // namespace

TEST_P(BarsGallery, FrameWithToolbarAndStatusBar) {
  // A new frame in the language of the test.
  app->m_pMainWnd->DestroyWindow();
  QmPumpMessages();
  ASSERT_TRUE(app->InitInstance());
  CBarsFrame* f = app->Frame();
  f->SetMessageText(Russian() ? "\xC3\xEE\xF2\xEE\xE2\xEE" : "Ready");
  f->m_gridChecked = TRUE;
  QmRunIdle();
  CRect r;
  f->m_toolbar.GetItemRect(3, &r);
  QmSendMouse(f->m_toolbar.m_hWnd, WM_MOUSEMOVE, r.CenterPoint());
  QmPumpMessages();
  const QImage img = Picture(f->m_hWnd);
  ASSERT_FALSE(img.isNull());
  EXPECT_TRUE(img.save(QString::fromStdString(ShotPath(Russian(), "bars_frame.png").string())));
}

namespace {

// Menu items drawn as the program's menus are: a band on the left, a
// check box, the label and the shortcut, a frame around the selection.
class CGalleryMenu : public CMenu {
 public:
  std::vector<CString> m_texts;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    const bool sep = mis->itemData >= 100;
    mis->itemWidth = 200;
    mis->itemHeight = sep ? 10 : 22;
    if (sep && !m_texts[mis->itemData - 100].IsEmpty()) mis->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect r(dis->rcItem);
    const bool sep = dis->itemData >= 100;
    const CString& text = m_texts[sep ? dis->itemData - 100 : dis->itemData];
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const bool grayed = (dis->itemState & ODS_GRAYED) != 0;
    dc->FillSolidRect(&r, RGB(255, 255, 255));
    for (int x = 0; x < 22; ++x) {
      const int c = 242 - x * 40 / 22;
      dc->FillSolidRect(r.left + x, r.top, 1, r.Height(), RGB(c, c, 255 - x * 53 / 22));
    }
    dc->SetBkMode(TRANSPARENT);
    CFont font;
    font.CreateFont(-12, 0, 0, 0, sep ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    CFont* old = dc->SelectObject(&font);
    if (sep) {
      const int m = (r.top + r.bottom) / 2;
      dc->FillSolidRect(r.left + 24, m, r.Width() - 26, 1, RGB(128, 128, 128));
      if (!text.IsEmpty()) {
        const CSize ts = dc->GetTextExtent(text);
        const int x = r.left + 22 + (r.Width() - 22 - ts.cx) / 2;
        dc->FillSolidRect(x - 2, r.top, ts.cx + 4, r.Height(), RGB(255, 255, 255));
        dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
        dc->TextOut(x, r.top + (r.Height() - ts.cy) / 2, text);
      }
      dc->SelectObject(old);
      return;
    }
    if (selected) {
      dc->FillSolidRect(&r, grayed ? GetSysColor(COLOR_BTNFACE) : RGB(192, 210, 255));
      if (!grayed) dc->FrameRect(&r, CBrush::FromHandle(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    }
    if (dis->itemState & ODS_CHECKED) {
      CRect box(r.left + 3, r.top + 4, r.left + 17, r.top + 18);
      dc->FillSolidRect(&box, RGB(230, 230, 230));
      dc->DrawEdge(&box, BDR_SUNKENOUTER, BF_RECT);
      for (int i = 0; i < 7; ++i) {
        static const int start[7] = {2, 3, 4, 3, 2, 1, 0};
        dc->FillSolidRect(box.left + 4 + i, box.top + 4 + start[i], 1, 3, RGB(185, 122, 0));
      }
    }
    const int tab = text.Find('\t');
    const CString label = tab >= 0 ? text.Left(tab) : text;
    const CString keys = tab >= 0 ? text.Mid(tab + 1) : CString();
    CRect tr(r.left + 28, r.top, r.right - 8, r.bottom);
    dc->SetTextColor(grayed ? (selected ? RGB(255, 255, 255) : GetSysColor(COLOR_GRAYTEXT)) : RGB(0, 0, 0));
    dc->DrawText(label, &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    dc->DrawText(keys, &tr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    dc->SelectObject(old);
  }
};

CString Lang(bool russian, const char* english, const char* russianUtf8) {
  return russian ? CString(Utf8ToCodePage(russianUtf8, 1251)) : CString(english);
}

}  // namespace

TEST_P(BarsGallery, OwnerDrawnPopupMenuInEachState) {
  const bool ru = Russian();
  CGalleryMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.m_texts = {Lang(ru, "&Open...\tCtrl+O", "&Открыть...\tCtrl+O"), Lang(ru, "Show &Grid", "Показать &сетку"),
                  Lang(ru, "&Save\tCtrl+S", "&Сохранить\tCtrl+S"), Lang(ru, " Bars ", " Панели "),
                  Lang(ru, "&Zoom", "&Масштаб"), CString()};
  menu.AppendMenu(MF_OWNERDRAW, ID_BAR_OPEN, reinterpret_cast<LPCTSTR>(0));
  menu.AppendMenu(MF_OWNERDRAW | MF_CHECKED, ID_BAR_GRID, reinterpret_cast<LPCTSTR>(1));
  menu.AppendMenu(MF_OWNERDRAW | MF_GRAYED, ID_BAR_SAVE, reinterpret_cast<LPCTSTR>(2));
  menu.AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, reinterpret_cast<LPCTSTR>(103));
  menu.AppendMenu(MF_OWNERDRAW, ID_BAR_ZOOM, reinterpret_cast<LPCTSTR>(4));
  menu.AppendMenu(MF_OWNERDRAW | MF_SEPARATOR, 0, reinterpret_cast<LPCTSTR>(105));
  menu.AppendMenu(MF_STRING, ID_BAR_EFFECT, Lang(ru, "Plain item", "Обычный пункт"));
  const HWND owner = app->m_pMainWnd->m_hWnd;
  for (int h : {0, 2, 4}) {
    const QImage img = QmRenderPopupMenu(menu.m_hMenu, owner, h);
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(img.save(QString::fromStdString(ShotPath(ru, "menu_popup_" + std::to_string(h) + ".png").string())));
  }
}

TEST_P(BarsGallery, TabbedSheetAndWizard) {
  const bool ru = Russian();
  {
    CPropertySheet sheet(IDS_SHEET_CAPTION, app->m_pMainWnd);
    CPropertyPage general(IDD_SHEET_GENERAL), colors(IDD_SHEET_COLORS);
    sheet.AddPage(&general);
    sheet.AddPage(&colors);
    sheet.m_psh.dwFlags |= PSH_HASHELP;
    QmSetModalHook([&](HWND dlg) {
      general.SetDlgItemText(IDC_GEN_NAME, ru ? CString(Utf8ToCodePage("Тюльпан", 1251)) : CString("Tulip"));
      general.CheckDlgButton(IDC_GEN_MARK, BST_CHECKED);
      EXPECT_TRUE(Picture(dlg).save(QString::fromStdString(ShotPath(ru, "sheet_tabbed.png").string())));
      sheet.SetActivePage(1);
      EXPECT_TRUE(Picture(dlg).save(QString::fromStdString(ShotPath(ru, "sheet_tabbed_page2.png").string())));
      QmClickButton(GetDlgItem(dlg, IDCANCEL));
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  }
  {
    CPropertySheet wiz(IDS_WIZ_CAPTION, app->m_pMainWnd);
    CPropertyPage start(IDD_WIZ_START), middle(IDD_WIZ_MIDDLE), end(IDD_WIZ_END);
    wiz.AddPage(&start);
    wiz.AddPage(&middle);
    wiz.AddPage(&end);
    wiz.SetWizardMode();
    QmSetModalHook([&](HWND dlg) {
      start.CheckRadioButton(IDC_WIZ_PICTURE, IDC_WIZ_BLANK, IDC_WIZ_PICTURE);
      EXPECT_TRUE(Picture(dlg).save(QString::fromStdString(ShotPath(ru, "wizard_first.png").string())));
      wiz.SetActivePage(2);
      CString finish;
      finish.LoadString(IDS_FINISH);
      wiz.SetFinishText(finish);
      EXPECT_TRUE(Picture(dlg).save(QString::fromStdString(ShotPath(ru, "wizard_last.png").string())));
      QmClickButton(GetDlgItem(dlg, IDCANCEL));
    });
    EXPECT_EQ(wiz.DoModal(), IDCANCEL);
  }
}

namespace {

// A file dialog whose panel previews the palette under the cursor.
class CGalleryFileDialog : public CFileDialog {
 public:
  CGalleryFileDialog(bool ru, CWnd* parent)
      : CFileDialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ENABLETEMPLATE,
                    ru ? CString(Utf8ToCodePage("Палитры (*.pal)|*.pal|Все файлы (*.*)|*.*||", 1251))
                       : CString("Palettes (*.pal)|*.pal|All files (*.*)|*.*||"),
                    parent),
        m_ru(ru) {
    m_ofn.lpTemplateName = MAKEINTRESOURCE(IDD_FILE_PANEL);
  }
  void OnFileNameChange() override {
    const CString text = GetFileName() + "\n" +
                         (m_ru ? CString(Utf8ToCodePage("Палитра, 24 цвета", 1251)) : CString("Palette, 24 colours"));
    SetDlgItemText(IDC_PANEL_INFO, text);
    GetDlgItem(IDC_PANEL_PREVIEW)->Invalidate();
  }

 protected:
  afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect r(dis->rcItem);
    dc->FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
    dc->DrawEdge(&r, EDGE_SUNKEN, BF_RECT);
    r.DeflateRect(4, 4);
    for (int i = 0; i < 24; ++i) {
      const int cx = r.Width() / 6, cy = r.Height() / 4;
      dc->FillSolidRect(r.left + (i % 6) * cx, r.top + (i / 6) * cy, cx - 1, cy - 1,
                        RGB((i * 67) % 256, (i * 131 + 60) % 256, (i * 29 + 120) % 256));
    }
  }
  DECLARE_MESSAGE_MAP()
  bool m_ru;
};
BEGIN_MESSAGE_MAP(CGalleryFileDialog, CFileDialog)
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

}  // namespace

TEST_P(BarsGallery, CommonDialogs) {
  const bool ru = Russian();
  const fs::path dir = qmtest::MakeTempDir(ru ? "gallery-ru" : "gallery-en");
  fs::create_directories(dir / (ru ? "Палитры" : "Palettes"));
  for (const char* name : {"delica.pal", "toho.pal", "rose.bmp"}) std::ofstream(dir / name) << "x";
  const CString folder = FromUtf8(dir.string());
  {
    CGalleryFileDialog dlg(ru, app->m_pMainWnd);
    dlg.m_ofn.lpstrInitialDir = folder.GetString();
    QmSetModalHook([&](HWND h) {
      QmFileDialogSelectFile(h, FromUtf8((dir / "delica.pal").string()));
      QmPumpMessages();
      QmWait(150);
      EXPECT_TRUE(Picture(h).save(QString::fromStdString(ShotPath(ru, "dialog_file.png").string())));
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.DoModal();
  }
  {
    CColorDialog dlg(RGB(40, 120, 200), CC_RGBINIT | CC_FULLOPEN, app->m_pMainWnd);
    QmSetModalHook([&](HWND h) {
      EXPECT_TRUE(Picture(h).save(QString::fromStdString(ShotPath(ru, "dialog_color.png").string())));
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.DoModal();
  }
  {
    LOGFONT lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Arial");
    CFontDialog dlg(&lf, CF_SCREENFONTS | CF_EFFECTS, nullptr, app->m_pMainWnd);
    dlg.m_cf.rgbColors = RGB(128, 0, 0);
    QmSetModalHook([&](HWND h) {
      EXPECT_TRUE(Picture(h).save(QString::fromStdString(ShotPath(ru, "dialog_font.png").string())));
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.DoModal();
  }
  {
    const CString title = ru ? CString(Utf8ToCodePage("Программа будет установлена в следующую папку", 1251))
                             : CString("Setup will install the application in the following folder");
    BROWSEINFO bi{};
    bi.hwndOwner = app->m_pMainWnd->m_hWnd;
    bi.lpszTitle = title.GetString();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE;
    QmSetModalHook([&](HWND h) {
      SendMessage(h, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(folder.GetString()));
      SendMessage(h, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(folder.GetString()));
      QmPumpMessages();
      QmWait(150);
      EXPECT_TRUE(Picture(h).save(QString::fromStdString(ShotPath(ru, "dialog_folder.png").string())));
      SendMessage(h, WM_COMMAND, IDCANCEL, 0);
    });
    SHBrowseForFolder(&bi);
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, BarsGallery, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Russian" : "English"; });
