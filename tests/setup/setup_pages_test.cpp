// The setup's start dialog and wizard pages as a user meets them: the
// language stored twice, the folder page's refusals, the group list, a
// damaged payload, and the pictures of the setup's resource pack.
#include <QLineEdit>
#include <QWidget>

#include <fstream>

#include "core/Registry.h"
#include "platform/wnd/host.h"
#include "setup/Install.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"
#include "setup/lang/ids/setup.h"
#include "tests/common/test_util.h"
#include "tests/setup/setup_fixture.h"
#include "tools/dialogshots/DialogShots.h"

namespace setuptest {
namespace {

using namespace qmsetup;

DWORD StoredLanguage() {
  DWORD value = 0xFFFFFFFF;
  CRegistryKey::Open(g_szMakerKey, HKEY_CURRENT_USER).ReadDword(g_szLanguageValue, value);
  return value;
}

TEST_F(SetupTest, LanguageStoredAsGuessedThenAsChosen) {
  std::ofstream(home.root / "keyboard") << "XKBLAYOUT=\"us,ru\"\n";
  bool russianPages = true;
  RunSetup(false, [&](CApp&, CPropertySheet& sheet) {
    russianPages = IsRussianSetup();
    Press(sheet, IDCANCEL);
  });
  EXPECT_EQ(languageDuringStart, 1u);  // the guess, while the start dialog asks
  EXPECT_FALSE(russianPages);          // the wizard speaks the choice
  EXPECT_EQ(StoredLanguage(), 0u);
  // Closing the start dialog keeps the guess.
  startShown = false;
  RunSetup(false, [&](CApp&, CPropertySheet& sheet) {
    russianPages = IsRussianSetup();
    Press(sheet, IDCANCEL);
  }, true);
  EXPECT_TRUE(russianPages);
  EXPECT_EQ(StoredLanguage(), 1u);
}

TEST_F(SetupTest, FolderPageRefusesWhatItCannotUse) {
  RunSetup(false, [&](CApp& app, CPropertySheet& sheet) {
    ToFolderPage(sheet);
    CWnd* page = sheet.GetActivePage();
    CWnd* edit = page->GetDlgItem(IDC_SETUP_FOLDER);
    // A folder without the right to write: asked to overwrite, then refused.
    edit->SetWindowText("/proc");
    Press(sheet, ID_WIZNEXT);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_TRUE(BoxShown("already exists"));
    EXPECT_TRUE(BoxShown("You don't have a permission for writting within the folder\n/proc\n"));
    // A folder that cannot be made: string 4 and the system's reason.
    boxes.clear();
    edit->SetWindowText("/proc/quillmere/beads");
    Press(sheet, ID_WIZNEXT);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].text.find("does not exist"), std::string::npos);
    EXPECT_EQ(boxes[1].text.rfind("Failed to create the directory\n/proc/quillmere/beads\n", 0), 0u) << boxes[1].text;
    EXPECT_GT(boxes[1].text.size(), std::string("Failed to create the directory\n/proc/quillmere/beads\n").size());
    EXPECT_EQ(boxes[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    // Saying No to the creation stays, and makes nothing.
    boxes.clear();
    boxAnswer = IDNO;
    const fs::path wanted = home.root / "Apps" / "Beads";
    edit->SetWindowText(Cp(wanted.string()));
    Press(sheet, ID_WIZNEXT);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_FALSE(fs::exists(wanted));
    // A name typed in letters the English setup cannot write.
    boxes.clear();
    boxAnswer = IDYES;
    static_cast<QLineEdit*>(QmWidgetOf(edit->GetSafeHwnd()))
        ->setText(QString::fromUtf8((home.root.string() + "/Бисер").c_str()));
    Press(sheet, ID_WIZNEXT);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("cannot write"), std::string::npos);
    EXPECT_FALSE(fs::exists(home.root / "Бисер"));
    // The browser puts the chosen folder into the edit.
    fs::create_directories(home.root / "Chosen");
    nestedModal = [&](HWND dialog) {
      char caption[MAX_PATH] = {};
      ::GetWindowText(dialog, caption, MAX_PATH);
      EXPECT_STREQ(caption, "Select Folder");
      EXPECT_TRUE(QmFolderDialogSelect(dialog, Cp((home.root / "Chosen").string())));
      ::SendMessage(dialog, WM_COMMAND, IDOK, 0);
    };
    Click(page, IDC_SETUP_BROWSE);
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(Utf8(text), (home.root / "Chosen").string());
    // Cancelled, it changes nothing.
    nestedModal = [&](HWND dialog) { ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0); };
    Click(page, IDC_SETUP_BROWSE);
    edit->GetWindowText(text);
    EXPECT_EQ(Utf8(text), (home.root / "Chosen").string());
    // A good folder goes on.
    boxes.clear();
    Press(sheet, ID_WIZNEXT);
    EXPECT_EQ(sheet.GetActiveIndex(), 3);
    EXPECT_TRUE(BoxShown("already exists"));
    Press(sheet, IDCANCEL);
  });
}

TEST_F(SetupTest, GroupNamesResolveToFolders) {
  fs::create_directories(home.systemData / "applications/Beads");
  fs::create_directories(home.dataHome / "applications/Beads");
  fs::create_directories(home.dataHome / "applications/Graphics");
  RunSetup(false, [&](CApp& app, CPropertySheet& sheet) {
    ToFolderPage(sheet);
    Press(sheet, ID_WIZNEXT);  // the proposed folder, created
    ASSERT_EQ(sheet.GetActiveIndex(), 3);
    CGroupPage_5* page = app.GetGroupPage();
    CMyChoseCommonProgCtrl& list = page->GetList();
    ASSERT_EQ(list.GetItemCount(), 3);
    CString name;
    page->GetDlgItem(IDC_SETUP_GROUP)->GetWindowText(name);
    EXPECT_STREQ(name.GetString(), "Quillmere freeware");  // after filling, whatever the list said
    EXPECT_TRUE(SaveDialogShot(sheet.GetSafeHwnd(), DefaultShotsDir(false) + "/setup_4_group_list.png"));
    // Choosing a group puts its name in the edit.
    int graphics = -1, firstBeads = -1;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      if (Utf8(list.GetGroup(i)->name) == "Graphics") graphics = i;
      if (Utf8(list.GetGroup(i)->name) == "Beads" && firstBeads < 0) firstBeads = i;
    }
    ASSERT_GE(graphics, 0);
    list.SetItemState(graphics, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    QmPumpMessages();
    page->GetDlgItem(IDC_SETUP_GROUP)->GetWindowText(name);
    EXPECT_STREQ(name.GetString(), "Graphics");
    CString folder;
    ASSERT_TRUE(page->GetGroupFolder(true, folder));  // a listed group keeps its place
    EXPECT_EQ(Utf8(folder), (home.dataHome / "applications/Graphics").string());
    // Two groups of one name: the first in the list.
    page->GetDlgItem(IDC_SETUP_GROUP)->SetWindowText("Beads");
    ASSERT_TRUE(page->GetGroupFolder(false, folder));
    EXPECT_EQ(folder, list.GetGroup(firstBeads)->path);
    // Another letter case is another group, in the chosen scope.
    page->GetDlgItem(IDC_SETUP_GROUP)->SetWindowText("beads");
    ASSERT_TRUE(page->GetGroupFolder(false, folder));
    EXPECT_EQ(Utf8(folder), (home.dataHome / "applications/beads").string());
    ASSERT_TRUE(page->GetGroupFolder(true, folder));
    EXPECT_EQ(Utf8(folder), (home.systemData / "applications/beads").string());
    for (const char* bad : {"", ".", "..", "a/b", "a\\b"}) {
      page->GetDlgItem(IDC_SETUP_GROUP)->SetWindowText(bad);
      EXPECT_FALSE(page->GetGroupFolder(false, folder)) << bad;
      EXPECT_TRUE(folder.IsEmpty());
    }
    Press(sheet, IDCANCEL);
  });
}

TEST_F(SetupTest, DamagedPayloadFailsTheInstallAndFinishDoesNothing) {
  // A sample design's entry damaged: everything else installs, the copy
  // fails, then the finish page says so; Finish then links and starts
  // nothing.
  qmsetup::SetPayloadFile(Cp(DamagedSetup(home.root, 303, false).string()));
  const fs::path dest = home.root / "Apps";
  bool failedBeforeFinish = false;
  RunSetup(false, [&](CApp& app, CPropertySheet& sheet) {
    ToFolderPage(sheet);
    ToFinishPage(sheet, dest);
    failedBeforeFinish = !app.GetFinishPage()->InstallResult();
    Press(sheet, ID_WIZFINISH);
  });
  EXPECT_TRUE(failedBeforeFinish);
  ASSERT_GE(boxes.size(), 3u);
  EXPECT_EQ(boxes[boxes.size() - 2].text,
            "Failed to copy all files\nYou need to repeat QX_FREE installation within right folder");
  EXPECT_EQ(boxes.back().text, "Failed to install the program");
  EXPECT_TRUE(fs::exists(dest / "Velloran"));
  EXPECT_FALSE(fs::exists(dest / "Design/SAMPLES/Tarrowby.qx"));
  EXPECT_TRUE(fs::exists(dest / "Design/SAMPLES/Muses.qx"));  // the items after it were still written
  EXPECT_TRUE(launched.empty());
  EXPECT_FALSE(fs::exists(home.desktop / "Quillmere freeware.desktop"));
  EXPECT_FALSE(BoxShown("Setup complete"));
}

TEST_F(SetupTest, CutShortPayloadFailsTheCopy) {
  // The last entries are gone with the archive's directory: the wizard
  // still speaks (its pack comes first), the copy fails and says so.
  qmsetup::SetPayloadFile(Cp(DamagedSetup(home.root, 0, true).string()));
  const fs::path dest = home.root / "Apps";
  RunSetup(false, [&](CApp& app, CPropertySheet& sheet) {
    ToFolderPage(sheet);
    ToFinishPage(sheet, dest);
    EXPECT_FALSE(app.GetFinishPage()->InstallResult());
    Press(sheet, ID_WIZFINISH);
  });
  ASSERT_GE(boxes.size(), 3u);
  EXPECT_NE(boxes[boxes.size() - 2].text.find("Failed to copy all files"), std::string::npos);
  EXPECT_EQ(boxes.back().text, "Failed to install the program");
  EXPECT_TRUE(fs::exists(dest / "Velloran"));
  EXPECT_TRUE(launched.empty());
}

TEST_F(SetupTest, SetupWithoutItsPayloadSaysSoBeforeAsking) {
  // Nothing behind the program (not even the setup's own texts): said at
  // once, in both languages, and nothing is asked or made.
  const fs::path bare = home.root / "VelloranSetup";
  fs::copy_file(SetupProgram(), bare);
  fs::resize_file(bare, fs::file_size(qmtest::BinDir().parent_path() / "setup/VelloranSetup.bare"));
  qmsetup::SetPayloadFile(Cp(bare.string()));
  int modal = 0;
  QmSetModalHook([&](HWND dialog) {
    ++modal;
    ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  auto* app = new CApp;
  EXPECT_FALSE(app->InitInstance());
  app->ExitInstance();
  delete app;
  EXPECT_EQ(modal, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("The setup program is damaged"), std::string::npos);
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_FALSE(fs::exists(home.dataHome / "Quillmere freeware"));
}

TEST_F(SetupTest, SetupPackPictures) {
  std::vector<BYTE> bytes;
  ASSERT_TRUE(ReadPayloadEntry(kPayloadSetupPack, bytes));
  HINSTANCE pack = QmLoadPackFromMemory(bytes.data(), bytes.size());
  ASSERT_NE(pack, nullptr);
  SetRussianInterface(true);  // the pack's code page: Russian and ASCII English texts
  const fs::path dir = qmtest::MakeTempDir("setup-pack-shots");
  const DialogShotResult result = ShootPackDialogs(pack, dir.string());
  EXPECT_EQ(result.dialogs, 12);
  for (const DialogLayoutProblem& p : result.problems) ADD_FAILURE() << DescribeProblem(p);
  const std::vector<UINT> russian = {103, 105, 109, 111, 114, 130};
  for (const std::string& file : result.files) {
    const std::string name = fs::path(file).filename().string();
    const UINT id = static_cast<UINT>(std::atoi(name.c_str() + std::strlen("dialog_")));
    const bool ru = std::find(russian.begin(), russian.end(), id) != russian.end();
    const fs::path target = fs::path(DefaultShotsDir(ru)) / ("setup_" + name);
    fs::create_directories(target.parent_path());
    fs::copy_file(file, target, fs::copy_options::overwrite_existing);
  }
  FreeLibrary(pack);
  SetRussianInterface(false);
}

}  // namespace
}  // namespace setuptest
