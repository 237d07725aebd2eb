// File > Print and File > PDF file... with the PDF options sheet, in the
// running program: the prompt's choice leads to the PDF sheet or the
// picture export's file dialog; the sheet's changes reach the written
// chart (margins, passwords and restrictions checked with qpdf and
// pdfinfo), are kept with the design (modified only when they differ) and
// survive saving; Cancel exports nothing; the print mode survives a
// restart. The reference device context of the chart pictures is the
// design view's window.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/PdfSheet.h"
#include "lang/ids/pdfsheet.h"
#include "lang/ids/shell.h"
#include "platform/base/files.h"
#include "platform/gdi/surface.h"
#include "settings/AppSettings.h"
#include "tests/app/app_fixture.h"
#include "tests/pdflib/pdf_tools.h"
#include "tests/view/file_fixture.h"
#include "view/ReferenceDC.h"

namespace fs = std::filesystem;

namespace apptest {
namespace {

class AppPrintTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    dir = qmtest::MakeTempDir(std::string("appprint_") +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    QmSetShellExecuteHook([this](HWND, const char* operation, const char* file, const char*, const char*, int) {
      opened.push_back(std::string(operation) + " " + file);
      return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42));
    });
  }
  void TearDown() override {
    QmSetShellExecuteHook(nullptr);
    AppTest::TearDown();
  }

  // Starts the program on a saved design whose chart goes into the test's
  // folder.
  void StartWithDesign() {
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
    design = dir / "meadow.qx";
    filetest::WriteDesignFile(design, 6, 5);
    ASSERT_TRUE(View()->OpenDesignFile(filetest::Path(design)));
    View()->GetPattern()->m_pdfData.m_outputPath = filetest::Path(dir / "meadow.pdf");
    View()->GetPattern()->SetModified(false);
    QmPumpMessages(100);
  }

  // Posts the command and answers the modal dialogs in turn.
  void Run(UINT command, std::vector<std::function<void(HWND)>> steps) {
    size_t next = 0;
    dialogs = 0;
    qmtest::SetModalHook([&](HWND dlg) {
      ++dialogs;
      if (next < steps.size()) {
        steps[next++](dlg);
      } else {
        ADD_FAILURE() << "an unexpected dialog";
        SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
      }
    });
    Frame()->PostMessage(WM_COMMAND, command);
    QmPumpMessages(300);
    qmtest::SetModalHook(nullptr);
    EXPECT_EQ(next, steps.size());
  }

  void Restart() {
    Close();
    QmPumpMessages();
    app->ExitInstance();
    delete app;
    app = nullptr;
    ASSERT_TRUE(Start());
  }

  fs::path dir, design;
  std::vector<std::string> opened;
  int dialogs = 0;
};

CPdfSheet* SheetOf(HWND dlg) { return dynamic_cast<CPdfSheet*>(CWnd::FromHandle(dlg)); }

bool IsPropertySheet(HWND dlg) {
  CWnd* window = CWnd::FromHandle(dlg);
  return window && window->IsKindOf(RUNTIME_CLASS(CPropertySheet));
}

HWND PageItem(CPropertyPage& page, int id) { return ::GetDlgItem(page.GetSafeHwnd(), id); }

void Press(HWND dlg, int id) { QmClickButton(::GetDlgItem(dlg, id)); }

// The prompt answered: the choice (596 picture, 597 PDF) and OK.
std::function<void(HWND)> Prompt(int choice, int* shownChecked = nullptr) {
  return [=](HWND dlg) {
    if (shownChecked) *shownChecked = IsDlgButtonChecked(dlg, IDC_PRINT_PDF) == BST_CHECKED ? IDC_PRINT_PDF : IDC_PRINT_PICTURE;
    Press(dlg, choice);
    Press(dlg, IDOK);
  };
}

// The sheet answered: the work on it, then OK.
std::function<void(HWND)> Sheet(std::function<void(CPdfSheet&)> work, int button = IDOK) {
  return [=](HWND dlg) {
    CPdfSheet* sheet = SheetOf(dlg);
    ASSERT_NE(sheet, nullptr);
    if (work) work(*sheet);
    Press(dlg, button);
  };
}

void SetPasswords(CPdfSheet& sheet, bool noCopy, const char* master, const char* user) {
  sheet.SetActivePage(CPdfSheet::kProtectPage);
  CPdfProtectPage& page = sheet.GetProtectPage();
  page.CheckDlgButton(IDC_PDFP_NO_COPY, noCopy ? BST_CHECKED : BST_UNCHECKED);
  ::SetWindowText(PageItem(page, IDC_PDFP_MASTER), master);
  ::SetWindowText(PageItem(page, IDC_PDFP_USER), user);
}

std::string Encryption(const fs::path& pdf, const std::string& password = "") {
  std::string command = "qpdf --show-encryption ";
  if (!password.empty()) command += "--password=" + password + " ";
  return qmtest::RunCommand(command + qmtest::Quote(pdf), nullptr, true);
}

}  // namespace

TEST_F(AppPrintTest, PrintLeadsToTheSheetWhoseChangesAreExportedAndSaved) {
  StartWithDesign();
  CPattern* pattern = View()->GetPattern();
  EXPECT_EQ(GetAppSettings().m_printChoice, 0);
  int shown = 0;
  Run(ID_FILE_PRINT_DESIGN, {Prompt(IDC_PRINT_PDF, &shown), Sheet([](CPdfSheet& sheet) {
                                 sheet.SetActivePage(CPdfSheet::kLayoutPage);
                                 sheet.GetLayoutPage().SetDlgItemText(IDC_PDFL_LEFT, "35");
                                 SetPasswords(sheet, true, "Meister7", "");
                               })});
  EXPECT_EQ(shown, IDC_PRINT_PICTURE);
  EXPECT_EQ(dialogs, 2);
  EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].first);
  const fs::path pdf = dir / "meadow.pdf";
  ASSERT_EQ(opened, std::vector<std::string>{"open " + pdf.string()});
  EXPECT_EQ(GetAppSettings().m_printChoice, 1);
  // Opens without a password; copying refused, printing allowed.
  EXPECT_TRUE(qmtest::QpdfCheckPasses(pdf));
  EXPECT_GT(std::atoi(qmtest::PdfInfo(pdf, "Pages").c_str()), 0);
  EXPECT_NE(qmtest::PdfInfo(pdf, "Encrypted").find("yes"), std::string::npos);
  const std::string encryption = Encryption(pdf);
  EXPECT_NE(encryption.find("extract for any purpose: not allowed"), std::string::npos) << encryption;
  EXPECT_NE(encryption.find("print high resolution: allowed"), std::string::npos) << encryption;
  // Kept with the design, which is modified, and saved with it.
  EXPECT_TRUE(pattern->IsModified());
  EXPECT_EQ(pattern->m_pdfData.m_marginLeft, 35);
  EXPECT_EQ(pattern->m_pdfData.m_masterPassword, CString("Meister7"));
  const CPdfData kept = pattern->m_pdfData;
  Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_DESIGN);
  QmPumpMessages(100);
  EXPECT_FALSE(pattern->IsModified());
  ASSERT_TRUE(View()->OpenDesignFile(filetest::Path(design)));
  EXPECT_TRUE(View()->GetPattern()->m_pdfData == kept);

  // OK without changes: exported again, the design stays unmodified.
  opened.clear();
  Run(ID_FILE_EXPORT_PDF, {Sheet(nullptr)});
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_FALSE(View()->GetPattern()->IsModified());
  // Cancel: nothing exported, nothing changed.
  opened.clear();
  fs::remove(pdf);
  Run(ID_FILE_EXPORT_PDF, {Sheet([](CPdfSheet& sheet) { SetPasswords(sheet, false, "", ""); }, IDCANCEL)});
  EXPECT_TRUE(opened.empty());
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_FALSE(View()->GetPattern()->IsModified());

  // The next Print opens with PDF checked, also after a restart; its Cancel
  // posts nothing.
  Run(ID_FILE_PRINT_DESIGN, {[&](HWND dlg) {
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_PRINT_PDF), BST_CHECKED);
        Press(dlg, IDCANCEL);
      }});
  EXPECT_EQ(dialogs, 1);
  Restart();
  EXPECT_EQ(GetAppSettings().m_printChoice, 1);
  ASSERT_TRUE(View()->OpenDesignFile(filetest::Path(design)));
  Run(ID_FILE_PRINT_DESIGN, {[&](HWND dlg) {
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_PRINT_PDF), BST_CHECKED);
        Press(dlg, IDCANCEL);
      }});
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(opened.empty());
}

TEST_F(AppPrintTest, PictureChoiceReachesThePictureExportsFileDialog) {
  StartWithDesign();
  bool pictureDialog = false;
  Run(ID_FILE_PRINT_DESIGN, {Prompt(IDC_PRINT_PICTURE), [&](HWND dlg) {
                               pictureDialog = !IsPropertySheet(dlg);
                               SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
                             }});
  EXPECT_TRUE(pictureDialog);
  EXPECT_EQ(GetAppSettings().m_printChoice, 0);
  EXPECT_TRUE(opened.empty());
}

TEST_F(AppPrintTest, EditOpensTheDesignPropertiesFromTheSheet) {
  StartWithDesign();
  bool properties = false;
  Run(ID_FILE_EXPORT_PDF, {[&](HWND dlg) {
                             CPdfSheet* sheet = SheetOf(dlg);
                             ASSERT_NE(sheet, nullptr);
                             QmClickButton(PageItem(sheet->GetDataPage(), IDC_PDFD_EDIT_PROPERTIES));
                             Press(dlg, IDCANCEL);
                           },
                           [&](HWND dlg) {
                             properties = IsPropertySheet(dlg) && SheetOf(dlg) == nullptr;  // the properties sheet
                             SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
                           }});
  EXPECT_TRUE(properties);
  EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].first);
  EXPECT_TRUE(opened.empty());
}

TEST_F(AppPrintTest, PasswordsAndRestrictionsReachTheFile) {
  StartWithDesign();
  const fs::path pdf = dir / "meadow.pdf";
  struct Case {
    bool noCopy;
    const char* master;
    const char* user;
  };
  for (const Case& c : {Case{true, "Meister7", "reader3"}, Case{false, "", ""}}) {
    SCOPED_TRACE(c.master);
    opened.clear();
    fs::remove(pdf);
    Run(ID_FILE_EXPORT_PDF, {Sheet([&](CPdfSheet& sheet) { SetPasswords(sheet, c.noCopy, c.master, c.user); })});
    ASSERT_EQ(opened.size(), 1u);
    if (c.noCopy) {
      // Opening needs a password, either one.
      EXPECT_EQ(std::atoi(qmtest::PdfInfo(pdf, "Pages").c_str()), 0);
      EXPECT_GT(std::atoi(qmtest::PdfInfo(pdf, "Pages", 0, "reader3").c_str()), 0);
      const std::string owner = qmtest::RunCommand("pdfinfo -opw Meister7 " + qmtest::Quote(pdf));
      EXPECT_NE(owner.find("Pages:"), std::string::npos) << owner;
      EXPECT_TRUE(qmtest::QpdfCheckPasses(pdf, "reader3"));
      EXPECT_NE(Encryption(pdf, "reader3").find("extract for any purpose: not allowed"), std::string::npos);
    } else {
      EXPECT_NE(qmtest::PdfInfo(pdf, "Encrypted").find("no"), std::string::npos);
      EXPECT_NE(Encryption(pdf).find("File is not encrypted"), std::string::npos) << Encryption(pdf);
    }
  }
}

TEST_F(AppPrintTest, ReferenceContextIsTheDesignViewsWindow) {
  {
    CPrinerOrWndDeviceContext none;  // no main window yet
    EXPECT_EQ(none.GetKind(), 0);
    EXPECT_EQ(none.GetDC(), nullptr);
  }
  StoreAcceptedSettings();
  ASSERT_TRUE(Start());
  HDC held = nullptr;
  {
    CPrinerOrWndDeviceContext reference;
    ASSERT_EQ(reference.GetKind(), 2);
    ASSERT_NE(reference.GetDC(), nullptr);
    held = reference.GetDC()->m_hDC;
    EXPECT_EQ(WindowFromDC(held), View()->GetSafeHwnd());
  }
  EXPECT_EQ(WindowFromDC(held), nullptr);  // given back
}

}  // namespace apptest
