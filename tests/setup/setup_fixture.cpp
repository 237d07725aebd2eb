#include "tests/setup/setup_fixture.h"

#include <sys/wait.h>
#include <unistd.h>
#include <unzip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "platform/wnd/host.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"
#include "setup/lang/ids/setup.h"
#include "tests/common/test_util.h"
#include "tools/dialogshots/DialogShots.h"

namespace setuptest {

fs::path SetupProgram() { return qmtest::BinDir() / "VelloranSetup"; }
fs::path PayloadFolder() { return qmtest::BinDir().parent_path() / "setup" / "payload"; }

CString Cp(const std::string& utf8) { return FromUtf8(utf8); }
std::string Utf8(const CString& text) { return ToUtf8(text); }

void SetupTest::SetUp() {
  static int serial = 0;
  home.root = qmtest::MakeTempDir("home" + std::to_string(++serial));
  home.dataHome = home.root / ".local/share";
  home.configHome = home.root / ".config";
  home.systemData = home.root / "system/share";
  home.desktop = home.root / "Desktop";
  home.documents = home.root / "Documents";
  for (const fs::path& p : {home.dataHome, home.configHome, home.systemData, home.root / "system/xdg",
                            home.root / ".cache", home.root / ".local/state", home.root / "run"})
    fs::create_directories(p);
  fs::permissions(home.root / "run", fs::perms::owner_all);
  setenv("HOME", home.root.c_str(), 1);
  setenv("XDG_DATA_HOME", home.dataHome.c_str(), 1);
  setenv("XDG_CONFIG_HOME", home.configHome.c_str(), 1);
  setenv("XDG_DATA_DIRS", home.systemData.c_str(), 1);
  setenv("XDG_CONFIG_DIRS", (home.root / "system/xdg").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home.root / ".cache").c_str(), 1);
  setenv("XDG_STATE_HOME", (home.root / ".local/state").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (home.root / "run").c_str(), 1);
  unsetenv("ProgramFiles");
  unsetenv("XDG_CURRENT_DESKTOP");
  unsetenv("DESKTOP_SESSION");
  // No keyboard file: the guess is English unless a test writes one.
  setenv("QM_KEYBOARD_FILE", (home.root / "keyboard").c_str(), 1);
  qmsetup::SetPayloadFile(FromUtf8(SetupProgram().string()));
  SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
    boxes.push_back({ToUtf8(text), type});
    if (answerBox) return answerBox(ToUtf8(text), type);
    if ((type & MB_TYPEMASK) == MB_OK) return IDOK;
    return boxAnswer;
  });
  QmSetShellExecuteHook([this](HWND, const char*, const char* file, const char*, const char*, int) {
    launched.push_back(ToUtf8(CString(file)));
    return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42));
  });
}

void SetupTest::TearDown() {
  QmSetModalHook(nullptr);
  QmSetShellExecuteHook(nullptr);
  SetMessageBoxHook(nullptr);
  qmsetup::SetPayloadFile("");
  QmPumpMessages();
}

void SetupTest::RunSetup(bool russian, const std::function<void(qmsetup::CApp&, CPropertySheet&)>& drive,
                         bool closeStart) {
  auto* app = new qmsetup::CApp;
  int calls = 0;
  QmSetModalHook([&](HWND dialog) {
    ++calls;
    if (dialog == app->GetSheet().GetSafeHwnd()) {
      drive(*app, app->GetSheet());
      return;
    }
    if (!startShown) {
      startShown = true;
      const CRegistryKey key = CRegistryKey::Open(g_szMakerKey, HKEY_CURRENT_USER);
      key.ReadDword(g_szLanguageValue, languageDuringStart);
      EXPECT_TRUE(SaveDialogShot(dialog, DefaultShotsDir(qmsetup::IsRussianSetup()) + "/setup_0_start.png"));
      for (const DialogLayoutProblem& p : CheckDialogLayout(dialog)) ADD_FAILURE() << DescribeProblem(p);
      if (closeStart) {
        ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
      } else {
        const UINT button = russian ? IDC_SETUP_RUSSIAN : IDC_SETUP_ENGLISH;
        ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(dialog, static_cast<int>(button))));
      }
      return;
    }
    if (nestedModal) {
      nestedModal(dialog);
      return;
    }
    ADD_FAILURE() << "an unexpected modal dialog";
    ::SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(app->InitInstance());
  QmPumpMessages();
  app->ExitInstance();
  delete app;
  QmSetModalHook(nullptr);
  EXPECT_GE(calls, 1);
}

void SetupTest::Press(CPropertySheet& sheet, UINT id) {
  CWnd* button = sheet.GetDlgItem(id);
  ASSERT_NE(button, nullptr) << id;
  sheet.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button->GetSafeHwnd()));
  QmPumpMessages();
}

bool SetupTest::ButtonVisible(CPropertySheet& sheet, UINT id) {
  CWnd* b = sheet.GetDlgItem(id);
  return b && (b->GetStyle() & WS_VISIBLE) != 0;
}

bool SetupTest::ButtonEnabled(CPropertySheet& sheet, UINT id) {
  CWnd* b = sheet.GetDlgItem(id);
  return b && b->IsWindowEnabled();
}

std::string SetupTest::ButtonText(CPropertySheet& sheet, UINT id) {
  CWnd* b = sheet.GetDlgItem(id);
  if (!b) return "";
  CString text;
  b->GetWindowText(text);
  return ToUtf8(text);
}

void SetupTest::Click(CWnd* page, UINT id) {
  CWnd* control = page->GetDlgItem(id);
  ASSERT_NE(control, nullptr) << id;
  if ((control->GetStyle() & 0xF) == BS_AUTORADIOBUTTON) {
    CWnd* first = page->GetDlgItem(id == IDC_SETUP_DECLINE || id == IDC_SETUP_ACCEPT ? IDC_SETUP_ACCEPT
                                                                                      : IDC_SETUP_ALL_USERS);
    const UINT firstId = static_cast<UINT>(first->GetDlgCtrlID());
    page->CheckRadioButton(firstId, firstId + 1, id);
  }
  page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control->GetSafeHwnd()));
  QmPumpMessages();
}

void SetupTest::ToFolderPage(CPropertySheet& sheet) {
  Press(sheet, ID_WIZNEXT);
  Click(sheet.GetActivePage(), IDC_SETUP_ACCEPT);
  Press(sheet, ID_WIZNEXT);
  ASSERT_EQ(sheet.GetActiveIndex(), 2);
}

void SetupTest::ToFinishPage(CPropertySheet& sheet, const fs::path& folder) {
  sheet.GetActivePage()->GetDlgItem(IDC_SETUP_FOLDER)->SetWindowText(Cp(folder.string()));
  Press(sheet, ID_WIZNEXT);
  ASSERT_EQ(sheet.GetActiveIndex(), 3);
  Press(sheet, ID_WIZNEXT);
  ASSERT_EQ(sheet.GetActiveIndex(), 4);
}

bool SetupTest::BoxShown(const std::string& part) const {
  for (const Box& b : boxes)
    if (b.text.find(part) != std::string::npos) return true;
  return false;
}

// Whether two files hold the same bytes (read in large blocks).
bool SameBytes(const fs::path& a, const fs::path& b) {
  if (fs::file_size(a) != fs::file_size(b)) return false;
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  std::vector<char> ba(1 << 20), bb(1 << 20);
  while (fa && fb) {
    fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
    fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
    if (fa.gcount() != fb.gcount() || std::memcmp(ba.data(), bb.data(), static_cast<size_t>(fa.gcount())) != 0)
      return false;
  }
  return true;
}

fs::path DamagedSetup(const fs::path& dir, UINT id, bool cut) {
  const fs::path copy = dir / (cut ? "cut-setup" : "flipped-setup");
  fs::copy_file(SetupProgram(), copy, fs::copy_options::overwrite_existing);
  if (cut) {
    fs::resize_file(copy, fs::file_size(copy) - 100000);
    return copy;
  }
  unzFile zip = unzOpen64(copy.c_str());
  EXPECT_EQ(unzLocateFile(zip, std::to_string(id).c_str(), 1), UNZ_OK);
  EXPECT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
  const ZPOS64_T pos = unzGetCurrentFileZStreamPos64(zip);
  unzCloseCurrentFile(zip);
  unzClose(zip);
  std::fstream f(copy, std::ios::in | std::ios::out | std::ios::binary);
  f.seekg(static_cast<std::streamoff>(pos + 200));
  char byte = 0;
  f.read(&byte, 1);
  byte = static_cast<char>(byte ^ 0x55);
  f.seekp(static_cast<std::streamoff>(pos + 200));
  f.write(&byte, 1);
  return copy;
}

int RunProgram(const std::vector<std::string>& argv, std::string* output) {
  std::string command;
  for (const std::string& a : argv) {
    std::string q = "'";
    for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += q + "' ";
  }
  command += "2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  std::string out;
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = ::pclose(pipe);
  if (output) *output = out;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace setuptest
