// The file dialog: a panel from the pack with real child windows, the
// selection that repaints the preview, the type change, a refused OK, the
// checks of the Windows dialog (must exist, overwrite and create prompts,
// names the interface code page cannot hold), the filter index in and out,
// the name field by its id, and the folder shown.
#include <QLineEdit>

#include <fstream>

#include "tests/common/test_util.h"
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;
namespace fs = std::filesystem;

namespace {

constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kPalette = RGB(0, 150, 0);
constexpr COLORREF kOther = RGB(200, 0, 0);

class CPreviewFileDialog : public CFileDialog {
 public:
  CPreviewFileDialog(BOOL open, LPCTSTR defExt, DWORD flags, CWnd* parent)
      : CFileDialog(open, defExt, nullptr, flags | OFN_ENABLETEMPLATE | OFN_ENABLESIZING,
                    "Palettes (*.pal)|*.pal|Pictures|*.bmp;*.png|All files (*.*)|*.*||", parent) {
    m_ofn.lpTemplateName = MAKEINTRESOURCE(IDD_FILE_PANEL);
    m_ofn.hInstance = AfxGetResourceHandle();
  }
  std::vector<CString> m_seen;
  std::vector<DWORD> m_types;
  int m_okAsked = 0;
  BOOL m_refuse = FALSE;
  BOOL m_inited = FALSE;
  CString m_folderSeen;
  COLORREF m_preview = kFace;

  BOOL OnInitDialog() override {
    CFileDialog::OnInitDialog();
    m_inited = GetParent() != nullptr && GetParent()->m_hWnd == m_hDialog;
    return TRUE;
  }
  void OnFileNameChange() override {
    const CString path = GetPathName();
    m_seen.push_back(path);
    m_preview = GetFileExt() == "pal" ? kPalette : kOther;
    SetDlgItemText(IDC_PANEL_INFO, GetFileName());
    GetDlgItem(IDC_PANEL_PREVIEW)->Invalidate();
  }
  void OnTypeChange() override { m_types.push_back(m_ofn.nFilterIndex); }
  BOOL OnFileNameOK() override {
    ++m_okAsked;
    return m_refuse;
  }

 protected:
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT dis) {
    if (nIDCtl != IDC_PANEL_PREVIEW) return;
    CDC::FromHandle(dis->hDC)->FillSolidRect(&dis->rcItem, m_preview);
  }
  afx_msg void OnFind() {
    m_folderSeen = GetFolderPath();
    GetParent()->SetDlgItemText(QM_IDC_FILE_NAME, "best.pal");
    GetParent()->GetDlgItem(QM_IDC_FILE_NAME)->SetFocus();
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPreviewFileDialog, CFileDialog)
  ON_WM_DRAWITEM()
  ON_BN_CLICKED(IDC_PANEL_FIND, OnFind)
END_MESSAGE_MAP()

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

CString Cp(const fs::path& p) { return FromUtf8(p.string()); }

}  // namespace

TEST_F(BarsTest, FileDialogPanelFollowsTheSelectionAndTheType) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-open");
  Touch(dir / "delica.pal");
  Touch(dir / "rose.bmp");
  CPreviewFileDialog dlg(TRUE, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, app->Frame());
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  bool ran = false;
  QmSetModalHook([&](HWND h) {
    ran = true;
    EXPECT_TRUE(dlg.m_inited);
    EXPECT_EQ(dlg.m_hDialog, h);
    EXPECT_EQ(::GetParent(dlg.m_hWnd), h);
    // The panel's controls are windows; so is the name field.
    ASSERT_NE(dlg.GetDlgItem(IDC_PANEL_PREVIEW), nullptr);
    ASSERT_NE(GetDlgItem(h, QM_IDC_FILE_NAME), nullptr);
    EXPECT_EQ(dlg.GetFolderPath(), folder);
    // The selection repaints the preview.
    EXPECT_TRUE(QmFileDialogSelectFile(h, Cp(dir / "delica.pal")));
    ASSERT_EQ(dlg.m_seen.size(), 1u);
    EXPECT_EQ(dlg.m_seen[0], Cp(dir / "delica.pal"));
    char info[64] = {};
    dlg.GetDlgItemText(IDC_PANEL_INFO, info, 64);
    EXPECT_STREQ(info, "delica.pal");
    const CRect preview = RectIn(dlg.GetDlgItem(IDC_PANEL_PREVIEW)->m_hWnd, h);
    QImage img = QmRenderWindow(h, false);
    EXPECT_EQ(Pixel(img, preview.CenterPoint().x, preview.CenterPoint().y), kPalette);
    QmFileDialogSelectFile(h, Cp(dir / "rose.bmp"));
    img = QmRenderWindow(h, false);
    EXPECT_EQ(Pixel(img, preview.CenterPoint().x, preview.CenterPoint().y), kOther);
    // The type: 1-based.
    EXPECT_TRUE(QmFileDialogChooseFilter(h, 2));
    EXPECT_EQ(dlg.m_types, std::vector<DWORD>{2});
    // A refused OK keeps the dialog open.
    dlg.m_refuse = TRUE;
    SendMessage(h, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(dlg.m_okAsked, 1);
    EXPECT_TRUE(IsWindow(h));
    dlg.m_refuse = FALSE;
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(ran);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "rose.bmp"));
  EXPECT_EQ(dlg.GetFileName(), CString("rose.bmp"));
  EXPECT_EQ(dlg.GetFileTitle(), CString("rose"));
  EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
  EXPECT_EQ(dlg.GetFolderPath(), folder);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(BarsTest, FileDialogNameFieldAndChecksOfAnOpenDialog) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-checks");
  Touch(dir / "old.pal");
  CPreviewFileDialog dlg(TRUE, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, app->Frame());
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  dlg.m_ofn.nFilterIndex = 3;
  QmSetModalHook([&](HWND h) {
    // The panel's button writes the name field by its id and focuses it.
    QmClickButton(dlg.GetDlgItem(IDC_PANEL_FIND)->m_hWnd);
    EXPECT_EQ(dlg.m_folderSeen, folder);
    EXPECT_EQ(GetFocus(), GetDlgItem(h, QM_IDC_FILE_NAME));
    char name[64] = {};
    GetDlgItemText(h, QM_IDC_FILE_NAME, name, 64);
    EXPECT_STREQ(name, "best.pal");
    QLineEdit* edit = QmWidgetOf(h)->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("best.pal"));
    // It does not exist: refused with the framework's message.
    SendMessage(h, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].first.find("best.pal"), std::string::npos);
    EXPECT_EQ(dlg.m_okAsked, 0);
    // A name the interface code page (1252) cannot hold is refused too.
    QmFileDialogTypeName(h, "цвет.pal");
    SendMessage(h, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].first.find("cannot use"), std::string::npos);
    QmFileDialogTypeName(h, "old.pal");
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "old.pal"));
  EXPECT_EQ(dlg.m_ofn.nFilterIndex, 3u);  // kept from the start
}

TEST_F(BarsTest, SaveDialogAsksBeforeReplacingAndAddsTheDefaultExtension) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-save");
  Touch(dir / "design.pal");
  CPreviewFileDialog dlg(FALSE, "pal", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, app->Frame());
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  boxAnswer = IDNO;
  QmSetModalHook([&](HWND h) {
    QmFileDialogTypeName(h, "design");
    SendMessage(h, WM_COMMAND, IDOK, 0);  // design.pal exists: No keeps the dialog
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].second & MB_YESNO, static_cast<UINT>(MB_YESNO));
    EXPECT_TRUE(IsWindow(h));
    QmFileDialogTypeName(h, "fresh");
    SendMessage(h, WM_COMMAND, IDOK, 0);  // a new name: no question
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "fresh.pal"));
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(dlg.m_okAsked, 1);

  // Yes replaces; the chosen type's extension is the one added.
  boxes.clear();
  boxAnswer = IDYES;
  CPreviewFileDialog again(FALSE, "pal", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, app->Frame());
  again.m_ofn.lpstrInitialDir = folder.GetString();
  QmSetModalHook([&](HWND h) {
    QmFileDialogTypeName(h, "design");
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(again.DoModal(), IDOK);
  EXPECT_EQ(again.GetPathName(), Cp(dir / "design.pal"));
  EXPECT_EQ(boxes.size(), 1u);
  CPreviewFileDialog picture(FALSE, "pal", OFN_HIDEREADONLY, app->Frame());
  picture.m_ofn.lpstrInitialDir = folder.GetString();
  picture.m_ofn.nFilterIndex = 2;
  QmSetModalHook([&](HWND h) {
    QmFileDialogTypeName(h, "bead");
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(picture.DoModal(), IDOK);
  EXPECT_EQ(picture.GetPathName(), Cp(dir / "bead.bmp"));
}

TEST_F(BarsTest, FileDialogCreatePromptAndRussianNames) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-ru");
  UseLanguage(true);
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_CREATEPROMPT, "All|*.*||", app->Frame());
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  boxAnswer = IDNO;
  QmSetModalHook([&](HWND h) {
    char caption[64] = {};
    GetWindowText(h, caption, 64);
    EXPECT_EQ(CString(caption), CString(Utf8ToCodePage("Открыть", 1251)));
    // A Cyrillic name is a name of this interface.
    QmFileDialogTypeName(h, "узор.txt");
    SendMessage(h, WM_COMMAND, IDOK, 0);  // does not exist: create? No.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].second & MB_YESNO, static_cast<UINT>(MB_YESNO));
    boxAnswer = IDYES;
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "узор.txt"));
  // Cancel: nothing chosen.
  CFileDialog none(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "All|*.*||", app->Frame());
  QmSetModalHook([&](HWND h) { SendMessage(h, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(none.DoModal(), IDCANCEL);
  EXPECT_EQ(none.GetPathName(), CString());
}
