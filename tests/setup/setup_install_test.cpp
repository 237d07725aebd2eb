// The whole installation end to end, in a temporary home with every XDG
// variable pointed there: the real setup application in-process with the
// built VelloranSetup's payload, walked page by page in each language; the
// installed files, entries, file type and registry values; the installed
// program run for five seconds; the installed uninstaller run as a process.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "designfile/DesignFile.h"
#include "platform/wnd/host.h"
#include "setup/DesktopForms.h"
#include "setup/Install.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"
#include "setup/Uninstaller.h"
#include "setup/lang/ids/setup.h"
#include "tests/common/test_util.h"
#include "tests/setup/setup_fixture.h"
#include "tools/dialogshots/DialogShots.h"

extern char** environ;

namespace setuptest {
namespace {

using namespace qmsetup;

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// A registry value's bytes.
std::string RegBytes(HKEY root, const char* key, const char* name) {
  HKEY h = nullptr;
  if (RegOpenKeyEx(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return "<no key>";
  char buffer[2048];
  DWORD size = sizeof buffer, type = 0;
  const LONG rc = RegQueryValueEx(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS) return "<no value>";
  return std::string(buffer, size);
}

// The payload's source of each installed file.
fs::path SourceOf(UINT id) {
  switch (id) {
    case kIdProgram: return qmtest::BinDir() / "Velloran";
    case kIdUninstall: return qmtest::BinDir() / "UnInstall";
    case kIdPdfLibrary: return qmtest::BinDir() / "libpdflib.so";
    case kIdPackEnglish: return qmtest::BinDir() / "Pellow_En.dll";
    case kIdPackRussian: return qmtest::BinDir() / "Pellow_Ru.dll";
    case kIdManual: return qmtest::SourceDir() / "setup/data/Velloran.doc";
    default: return PayloadFolder() / (std::to_string(id) + (id >= 400 ? ".pal" : ".qx"));
  }
}

std::vector<fs::path> FilesUnder(const fs::path& dir) {
  std::vector<fs::path> out;
  if (!fs::exists(dir)) return out;
  for (auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file() || e.is_symlink()) out.push_back(fs::relative(e.path(), dir));
  std::sort(out.begin(), out.end());
  return out;
}

class InstallTest : public SetupTest {
 protected:
  // Walks the wizard in the language, checking each page and picturing it,
  // and installs into dest.
  void WalkAndInstall(bool russian, const fs::path& dest) {
    const std::string shots = DefaultShotsDir(russian);
    RunSetup(russian, [&](CApp& app, CPropertySheet& sheet) {
      auto shoot = [&](const char* name) {
        QmPumpMessages();
        EXPECT_TRUE(SaveDialogShot(sheet.GetSafeHwnd(), shots + "/setup_" + name + ".png"));
        CWnd* page = sheet.GetActivePage();
        for (const DialogLayoutProblem& p : CheckDialogLayout(page->GetSafeHwnd()))
          ADD_FAILURE() << name << ": " << DescribeProblem(p);
      };
      auto texts = [&]() {
        CString caption;
        sheet.GetWindowText(caption);
        EXPECT_EQ(caption, sheet.GetActivePage()->GetCaption());
        EXPECT_EQ(ButtonText(sheet, ID_WIZNEXT), Utf8(LoadSetupString(IDS_SETUP_NEXT)));
        EXPECT_EQ(ButtonText(sheet, IDCANCEL), Utf8(LoadSetupString(IDS_SETUP_CANCEL)));
        EXPECT_EQ(ButtonText(sheet, ID_WIZBACK), Utf8(LoadSetupString(IDS_SETUP_BACK)));
      };
      EXPECT_EQ(IsRussianSetup(), russian);
      // Welcome: no Back.
      ASSERT_EQ(sheet.GetActiveIndex(), 0);
      EXPECT_FALSE(ButtonVisible(sheet, ID_WIZBACK));
      EXPECT_TRUE(ButtonEnabled(sheet, ID_WIZNEXT));
      texts();
      shoot("1_welcome");
      {
        CString caption;
        sheet.GetWindowText(caption);
        EXPECT_EQ(Utf8(caption), russian ? "Вас приветствует «Квиллмир (бесплатная версия)»"
                                         : "Welcome to freeware \"Quillmere\"");
      }
      if (!russian) {
        // The wave's first visible dot, in its first colour.
        CWnd* page = sheet.GetActivePage();
        CRect client;
        page->GetClientRect(&client);
        const int x0 = (2 * client.Width()) / 12;
        const int h = client.Height() - 1;
        const int x = x0 + 7;
        const double f = 7.0 / (client.Width() - x0);
        const int y = h / 7 - static_cast<int>(std::trunc(-0.5 * h * std::sin(2.0 * f - 0.3)));
        const QImage image = QmRenderWindow(page->GetSafeHwnd(), false);
        ASSERT_TRUE(y >= 0 && y < image.height());
        EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xA7A5B0u) << x << "," << y;
        EXPECT_EQ(CBasePage::WaveColor(0, 100), RGB(167, 165, 176));
      }
      // Agreement: Next only with Yes.
      Press(sheet, ID_WIZNEXT);
      ASSERT_EQ(sheet.GetActiveIndex(), 1);
      EXPECT_TRUE(ButtonVisible(sheet, ID_WIZBACK));
      EXPECT_FALSE(ButtonEnabled(sheet, ID_WIZNEXT));
      texts();
      CWnd* license = sheet.GetActivePage();
      Click(license, IDC_SETUP_ACCEPT);
      EXPECT_TRUE(ButtonEnabled(sheet, ID_WIZNEXT));
      Click(license, IDC_SETUP_DECLINE);
      EXPECT_FALSE(ButtonEnabled(sheet, ID_WIZNEXT));
      Press(sheet, ID_WIZBACK);
      Press(sheet, ID_WIZNEXT);
      EXPECT_FALSE(ButtonEnabled(sheet, ID_WIZNEXT));  // the choice kept
      Click(license, IDC_SETUP_ACCEPT);
      shoot("2_license");
      Press(sheet, ID_WIZNEXT);
      // Folder.
      ASSERT_EQ(sheet.GetActiveIndex(), 2);
      texts();
      CString proposed;
      sheet.GetActivePage()->GetDlgItem(IDC_SETUP_FOLDER)->GetWindowText(proposed);
      EXPECT_EQ(Utf8(proposed), home.dataHome.string() + "/" + Utf8(GetProductDisplayName()));
      sheet.GetActivePage()->GetDlgItem(IDC_SETUP_FOLDER)->SetWindowText(Cp(dest.string()));
      shoot("3_folder");
      Press(sheet, ID_WIZNEXT);
      ASSERT_EQ(sheet.GetActiveIndex(), 3);
      EXPECT_TRUE(fs::is_directory(dest));
      // Group.
      texts();
      shoot("4_group");
      Press(sheet, ID_WIZNEXT);
      // Finish: only Finish, Cancel greyed, the design-file box ticked and greyed.
      ASSERT_EQ(sheet.GetActiveIndex(), 4);
      CWnd* finish = sheet.GetActivePage();
      EXPECT_TRUE(app.GetFinishPage()->InstallResult());
      EXPECT_FALSE(ButtonVisible(sheet, ID_WIZBACK));
      EXPECT_FALSE(ButtonVisible(sheet, ID_WIZNEXT));
      EXPECT_TRUE(ButtonVisible(sheet, ID_WIZFINISH));
      EXPECT_EQ(ButtonText(sheet, ID_WIZFINISH), Utf8(LoadSetupString(IDS_SETUP_FINISH)));
      EXPECT_FALSE(ButtonEnabled(sheet, IDCANCEL));
      EXPECT_EQ(finish->IsDlgButtonChecked(IDC_SETUP_QX), static_cast<UINT>(BST_CHECKED));
      EXPECT_FALSE(finish->GetDlgItem(IDC_SETUP_QX)->IsWindowEnabled());
      EXPECT_EQ(finish->IsDlgButtonChecked(IDC_SETUP_LAUNCH), static_cast<UINT>(BST_CHECKED));
      EXPECT_EQ(finish->GetCheckedRadioButton(IDC_SETUP_ALL_USERS, IDC_SETUP_ME_ONLY), IDC_SETUP_ME_ONLY);
      shoot("5_finish");
      EXPECT_EQ(app.GetFinishPage()->FinishStepsRun(), 0);
      Press(sheet, ID_WIZFINISH);
      EXPECT_EQ(app.GetFinishPage()->FinishStepsRun(), 1);
    });
    EXPECT_EQ(launched, std::vector<std::string>{(dest / "Velloran").string()});
  }

  // The files of the destination against their sources, modes too.
  void ExpectInstalledFiles(bool russian, const fs::path& dest, size_t count) {
    qmsetup::SetLanguage(russian);
    CInstallData set;
    ASSERT_EQ(static_cast<size_t>(set.GetCount()), count);
    std::vector<fs::path> expected;
    for (int i = 0; i < set.GetCount(); ++i) {
      CInstallItem* item = nullptr;
      ASSERT_TRUE(set.GetItem(&item, static_cast<unsigned>(i)));
      const fs::path file = dest / Utf8(item->m_path);
      const fs::path source = SourceOf(item->m_id);
      expected.push_back(fs::relative(file, dest));
      ASSERT_TRUE(fs::exists(file)) << file;
      EXPECT_TRUE(SameBytes(file, source)) << file << " vs " << source;
      EXPECT_EQ(fs::status(file).permissions(), fs::status(source).permissions()) << file;
    }
    // The samples are designs the program opens (their pictures go to a
    // folder of the test's own).
    SetProgramDataFolder(Cp((home.root / "program-data").string()));
    for (const fs::path& rel : expected)
      if (rel.extension() == ".qx") {
        CDesignFileContents contents;
        CString reason;
        EXPECT_EQ(OpenDesignFile(Cp((dest / rel).string()), contents, reason), kDesignOpenOk) << rel << reason.GetString();
        if (contents.design) EXPECT_GT(contents.design->m_beads.size(), 1000u) << rel;
        if (!contents.picturePath.IsEmpty()) fs::remove(Utf8(contents.picturePath));
      }
    SetProgramDataFolder("");
    expected.push_back(kInstallRecordName);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesUnder(dest), expected);
  }

  void ExpectValidEntries(const std::vector<fs::path>& entries) {
    for (const fs::path& e : entries) {
      ASSERT_TRUE(fs::exists(e)) << e;
      std::string out;
      EXPECT_EQ(RunProgram({"desktop-file-validate", e.string()}, &out), 0) << e << "\n" << out;
    }
  }

  void ExpectRegistry(const fs::path& dest) {
    const std::string d = Cp(dest.string()).GetString();  // the setup's code page
    EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, g_szProgramKey, "InstallPath"), d);
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran";
    EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, uninstall.c_str(), "DisplayName"), "Velloran");
    EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, uninstall.c_str(), "UninstallString"), "\"" + d + "/UnInstall\"");
    EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".qx", nullptr), std::string("Velloran.Document\0", 18));
    EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, "Velloran.Document\\shell\\open\\command", nullptr),
              d + "/Velloran %1" + std::string(1, '\0'));
    EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, "Velloran.Document\\DefaultIcon", nullptr),
              d + "/Velloran,1" + std::string(1, '\0'));
  }

  void ExpectFileType() {
    EXPECT_NE(ReadText(home.dataHome / "mime/globs2").find("application/x-velloran-document:*.qx"),
              std::string::npos);
    std::string out;
    EXPECT_EQ(RunProgram({"xdg-mime", "query", "default", "application/x-velloran-document"}, &out), 0) << out;
    EXPECT_EQ(out, "Velloran.Document.desktop\n");
    EXPECT_TRUE(fs::exists(home.dataHome / "icons/hicolor/48x48/apps/velloran.png"));
    EXPECT_TRUE(fs::exists(home.dataHome / "icons/hicolor/48x48/mimetypes/application-x-velloran-document.png"));
  }
};

// Starts a program with arguments, output into a file; its id.
pid_t Start(const std::vector<std::string>& argv, const fs::path& output) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

TEST_F(InstallTest, EnglishInstallRunsAndUninstallsLeavingUserData) {
  const fs::path dest = home.root / "Apps" / "Quillmere freeware";
  WalkAndInstall(false, dest);
  ExpectInstalledFiles(false, dest, 21);
  const fs::path group = home.dataHome / "applications/Quillmere freeware";
  EXPECT_EQ(FilesUnder(group), (std::vector<fs::path>{"velloran-1.desktop", "velloran-2.desktop"}));
  EXPECT_NE(ReadText(group / "velloran-1.desktop").find("Name=1 Quillmere freeware\n"), std::string::npos);
  EXPECT_NE(ReadText(group / "velloran-1.desktop").find("Exec=\"" + dest.string() + "/Velloran\" %f\n"),
            std::string::npos);
  EXPECT_NE(ReadText(group / "velloran-2.desktop").find("Name=2 Uninstall Velloran\n"), std::string::npos);
  const fs::path desktopLink = home.desktop / "Quillmere freeware.desktop";
  ASSERT_TRUE(fs::exists(desktopLink));
  EXPECT_EQ(fs::status(desktopLink).permissions() & fs::perms::all, static_cast<fs::perms>(0755));
  ExpectValidEntries({group / "velloran-1.desktop", group / "velloran-2.desktop", desktopLink,
                      home.dataHome / "applications/Velloran.Document.desktop"});
  ExpectFileType();
  ExpectRegistry(dest);
  EXPECT_TRUE(fs::is_directory(home.documents / "Kestlewain Books"));
  EXPECT_EQ(ReadText(home.configHome / "mimeapps.list"),
            "\n[Default Applications]\napplication/x-velloran-document=Velloran.Document.desktop\n");

  // Nothing of the build tree is needed by the installed program.
  std::string ldd;
  EXPECT_EQ(RunProgram({"ldd", (dest / "Velloran").string()}, &ldd), 0);
  EXPECT_EQ(ldd.find(qmtest::BinDir().parent_path().string()), std::string::npos) << ldd;
  EXPECT_EQ(ldd.find("not found"), std::string::npos) << ldd;
  EXPECT_NE(ldd.find((dest / "libpdflib.so").string()), std::string::npos) << ldd;

  // The installed program opens a sample and keeps running.
  const fs::path log = home.root / "velloran.log";
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const pid_t pid = Start({(dest / "Velloran").string(), (dest / "Design/SAMPLES/Oaks.qx").string()}, log);
  ASSERT_GT(pid, 0);
  std::this_thread::sleep_for(std::chrono::seconds(5));
  int status = 0;
  const pid_t done = waitpid(pid, &status, WNOHANG);
  EXPECT_EQ(done, 0) << "Velloran ended early:\n" << ReadText(log);
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  const std::string said = ReadText(log);
  EXPECT_EQ(said.find("Cannot to find the library"), std::string::npos) << said;
  EXPECT_EQ(said.find("error while loading shared libraries"), std::string::npos) << said;
  EXPECT_EQ(said.find("Pellow"), std::string::npos) << said;

  // The user's own work: a design, a PDF export, an edited sample.
  fs::create_directories(dest / "PDF Export");
  qmtest::WriteAll(dest / "Design/My bracelet.qx", {1, 2, 3});
  qmtest::WriteAll(dest / "PDF Export/My bracelet.pdf", {'%', 'P'});
  {
    std::ofstream edit(dest / "Design/SAMPLES/Boy.qx", std::ios::app | std::ios::binary);
    edit << "changed";
  }
  fs::create_directories(dest / "Undo");
  qmtest::WriteAll(dest / "Undo/step1", {1});

  // The installed uninstaller, as a process: its one question answered Yes
  // (the default button, taken with no display to ask on).
  std::string out;
  EXPECT_EQ(RunProgram({(dest / "UnInstall").string()}, &out), 0) << out;
  EXPECT_EQ(FilesUnder(dest), (std::vector<fs::path>{"Design/My bracelet.qx", "Design/SAMPLES/Boy.qx",
                                                     "PDF Export/My bracelet.pdf"}));
  EXPECT_FALSE(fs::exists(group));
  EXPECT_FALSE(fs::exists(desktopLink));
  EXPECT_FALSE(fs::exists(home.dataHome / "applications/Velloran.Document.desktop"));
  EXPECT_FALSE(fs::exists(home.dataHome / "mime/packages/velloran.xml"));
  EXPECT_FALSE(fs::exists(home.dataHome / "icons/hicolor/48x48/apps/velloran.png"));
  EXPECT_EQ(ReadText(home.dataHome / "mime/globs2").find("velloran"), std::string::npos);
  EXPECT_EQ(ReadText(home.configHome / "mimeapps.list").find("velloran"), std::string::npos)
      << ReadText(home.configHome / "mimeapps.list");
  EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, g_szProgramKey, "InstallPath"), "<no value>");
  EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran",
                     "DisplayName"),
            "<no key>");
  EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, ".qx", nullptr), "<no key>");
  EXPECT_EQ(RegBytes(HKEY_CLASSES_ROOT, "Velloran.Document\\shell\\open\\command", nullptr), "<no key>");
  EXPECT_TRUE(fs::is_directory(home.documents / "Kestlewain Books"));
  DWORD language = 9;
  EXPECT_TRUE(CRegistryKey::Open(g_szMakerKey, HKEY_CURRENT_USER).ReadDword(g_szLanguageValue, language));
  EXPECT_EQ(language, 0u);
}

TEST_F(InstallTest, RussianInstallAndReRunOverwrites) {
  const fs::path dest = home.root / "Программы" / "Квиллмир";
  WalkAndInstall(true, dest);
  ExpectInstalledFiles(true, dest, 19);
  const fs::path group = home.dataHome / "applications" / "Квиллмир (бесплатная версия)";
  EXPECT_EQ(FilesUnder(group),
            (std::vector<fs::path>{"velloran-1.desktop", "velloran-2.desktop", "velloran-3.desktop"}));
  EXPECT_NE(ReadText(group / "velloran-2.desktop").find("Type=Link\n"), std::string::npos);
  EXPECT_NE(ReadText(group / "velloran-2.desktop").find("Name=2 Документация Квиллмир (бесплатная версия)\n"),
            std::string::npos);
  EXPECT_NE(ReadText(group / "velloran-3.desktop").find("Name=3 Деинсталляция Квиллмир (бесплатная версия)\n"),
            std::string::npos);
  const fs::path desktopLink = home.desktop / "Квиллмир (бесплатная версия).desktop";
  ExpectValidEntries({group / "velloran-1.desktop", group / "velloran-2.desktop", group / "velloran-3.desktop",
                      desktopLink, home.dataHome / "applications/Velloran.Document.desktop"});
  ExpectFileType();
  ExpectRegistry(dest);
  // Running the setup again over it: changed files are written anew, and
  // the folder page proposes the folder of the first run.
  qmtest::WriteAll(dest / "Palettes/Toho.pal", {0});
  launched.clear();
  startShown = false;
  RunSetup(true, [&](CApp& app, CPropertySheet& sheet) {
    ToFolderPage(sheet);
    CString proposed;
    sheet.GetActivePage()->GetDlgItem(IDC_SETUP_FOLDER)->GetWindowText(proposed);
    EXPECT_EQ(Utf8(proposed), dest.string());
    Press(sheet, ID_WIZNEXT);
    Press(sheet, ID_WIZNEXT);
    EXPECT_TRUE(app.GetFinishPage()->InstallResult());
    sheet.GetActivePage()->CheckDlgButton(IDC_SETUP_LAUNCH, BST_UNCHECKED);
    Press(sheet, ID_WIZFINISH);
  });
  EXPECT_TRUE(BoxShown("Установка программы успешно завершена"));
  EXPECT_TRUE(launched.empty());
  ExpectInstalledFiles(true, dest, 19);
  // The uninstaller asks in the stored language; No keeps everything.
  boxes.clear();
  boxAnswer = IDNO;
  EXPECT_EQ(RunUninstall(Cp(dest.string())), 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text.rfind("Удалить Квиллмир (бесплатная версия) с этого компьютера?", 0), 0u) << boxes[0].text;
  EXPECT_EQ(boxes[0].type & (MB_TYPEMASK | MB_ICONMASK), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  ExpectInstalledFiles(true, dest, 19);
  boxAnswer = IDYES;
  EXPECT_EQ(RunUninstall(Cp(dest.string())), 0);
  EXPECT_TRUE(BoxShown("Программа Квиллмир (бесплатная версия) удалена."));
  EXPECT_FALSE(fs::exists(dest));  // nothing of the user's was there: the folders it made go too
  EXPECT_FALSE(fs::exists(group));
  EXPECT_FALSE(fs::exists(desktopLink));
  // Run again, there is nothing to remove, and it says so.
  fs::create_directories(dest);
  EXPECT_EQ(RunUninstall(Cp(dest.string())), 2);
  EXPECT_TRUE(BoxShown("Удалять нечего"));
}

}  // namespace
}  // namespace setuptest
