// The file dialog's name field: the name given to the dialog is shown and
// chosen, a name written into the field by the program can be saved with
// the dialog's own button, and a name written after a selection is the one
// name the field holds.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>

#include "tests/common/test_util.h"
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

CString Cp(const fs::path& p) { return FromUtf8(p.string()); }

QLineEdit* NameEdit(HWND h) { return QmWidgetOf(h)->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }

// The Qt dialog's own Open / Save button.
QPushButton* AcceptButton(HWND h) {
  auto* box = QmWidgetOf(h)->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  if (box == nullptr) return nullptr;
  if (QPushButton* save = box->button(QDialogButtonBox::Save)) return save;
  return box->button(QDialogButtonBox::Open);
}

// Presses it; a disabled one cannot be pressed, and the dialog is cancelled.
void PressAccept(HWND h) {
  QPushButton* button = AcceptButton(h);
  if (button != nullptr && button->isEnabled())
    button->click();
  else
    SendMessage(h, WM_COMMAND, IDCANCEL, 0);
}

std::string FieldText(HWND h) {
  char name[300] = {};
  GetDlgItemText(h, QM_IDC_FILE_NAME, name, sizeof name);
  return name;
}

}  // namespace

TEST_F(BarsTest, FileDialogShowsAndChoosesTheNameItWasGiven) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-given");
  for (BOOL open : {FALSE, TRUE}) {
    SCOPED_TRACE(open ? "open" : "save");
    if (open) Touch(dir / "given.pal");
    CFileDialog dlg(open, "pal", "given.pal", OFN_HIDEREADONLY, "Palettes|*.pal||", app->Frame());
    const CString folder = Cp(dir);
    dlg.m_ofn.lpstrInitialDir = folder.GetString();
    QmSetModalHook([&](HWND h) {
      EXPECT_EQ(FieldText(h), "given.pal");
      ASSERT_NE(NameEdit(h), nullptr);
      EXPECT_EQ(NameEdit(h)->text(), QStringLiteral("given.pal"));
      ASSERT_NE(AcceptButton(h), nullptr);
      EXPECT_TRUE(AcceptButton(h)->isEnabled());
      PressAccept(h);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName(), Cp(dir / "given.pal"));
  }
}

// Writes a name into the field while its panel is made.
class CNamingDialog : public CFileDialog {
 public:
  CNamingDialog() : CFileDialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY, "Pictures|*.jpg;*.png||", nullptr) {}
  BOOL OnInitDialog() override {
    CFileDialog::OnInitDialog();
    GetParent()->SetDlgItemText(QM_IDC_FILE_NAME, "Test design");
    return TRUE;
  }
};

TEST_F(BarsTest, ANameWrittenWhileThePanelIsMadeCanBeSaved) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-init");
  CNamingDialog dlg;
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  QmSetModalHook([&](HWND h) {
    EXPECT_EQ(FieldText(h), "Test design");
    ASSERT_NE(AcceptButton(h), nullptr);
    EXPECT_TRUE(AcceptButton(h)->isEnabled());
    PressAccept(h);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "Test design"));
}

TEST_F(BarsTest, ANameWrittenByTheProgramCanBeSaved) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-written");
  Touch(dir / "old.pal");
  CFileDialog dlg(FALSE, "pal", nullptr, OFN_HIDEREADONLY, "Palettes|*.pal||", app->Frame());
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  QmSetModalHook([&](HWND h) {
    ASSERT_NE(AcceptButton(h), nullptr);
    EXPECT_FALSE(AcceptButton(h)->isEnabled());  // nothing to save yet
    dlg.SetControlText(QM_IDC_FILE_NAME, "written.pal");
    QmPumpMessages(50);
    EXPECT_EQ(FieldText(h), "written.pal");
    EXPECT_TRUE(AcceptButton(h)->isEnabled());
    PressAccept(h);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "written.pal"));
}

TEST_F(BarsTest, ANameWrittenAfterASelectionReplacesIt) {
  const fs::path dir = qmtest::MakeTempDir("commdlg-stale");
  for (const char* name : {"a_red.pal", "b_green.pal", "d_junk.pal"}) Touch(dir / name);
  CFileDialog dlg(TRUE, "pal", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Palettes|*.pal||", app->Frame());
  const CString folder = Cp(dir);
  dlg.m_ofn.lpstrInitialDir = folder.GetString();
  QmSetModalHook([&](HWND h) {
    ASSERT_TRUE(QmFileDialogSelectFile(h, Cp(dir / "d_junk.pal")));
    QmPumpMessages(50);
    EXPECT_EQ(FieldText(h), "d_junk.pal");
    // A search result written into the focused field, as the palette
    // dialog does.
    ::SetFocus(GetDlgItem(h, QM_IDC_FILE_NAME));
    dlg.SetControlText(QM_IDC_FILE_NAME, "b_green.pal");
    QmPumpMessages(50);
    EXPECT_EQ(FieldText(h), "b_green.pal");
    // The focus moves on (to the list): the field keeps the one name.
    QmWidgetOf(h)->findChild<QFileDialog*>()->setFocus();
    QmPumpMessages(50);
    EXPECT_EQ(FieldText(h), "b_green.pal");
    ASSERT_TRUE(QmFileDialogSelectFile(h, Cp(dir / "a_red.pal")));
    QmPumpMessages(50);
    EXPECT_EQ(FieldText(h), "a_red.pal");
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), Cp(dir / "a_red.pal"));
}
