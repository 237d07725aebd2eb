// Shell and hooks: special folders on the XDG folders, item id lists, the
// small system image list, the folder browser with its callback, the
// low-level mouse hook (presses and the loss of activation), and the test
// hook of ShellExecute.
#include <cstdlib>
#include <fstream>

#include "platform/base/files.h"
#include "tests/common/test_util.h"
#include "tests/platform/wnd_bars_fixture.h"

using namespace barstest;
namespace fs = std::filesystem;

namespace {

CString Cp(const fs::path& p) { return FromUtf8(p.string()); }

// Points the all-users and the user's XDG folders at a test folder.
class XdgFolders {
 public:
  explicit XdgFolders(const fs::path& root) : root_(root) {
    const char* old = std::getenv("XDG_DATA_DIRS");
    saved_ = old ? old : "";
    hadOld_ = old != nullptr;
    setenv("XDG_DATA_DIRS", ((root / "share").string() + ":" + (root / "other").string()).c_str(), 1);
    const fs::path config = std::getenv("XDG_CONFIG_HOME");
    std::ofstream(config / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"" << (root / "docs").string() << "\"\n"
                                             << "XDG_DESKTOP_DIR=\"" << (root / "desk").string() << "\"\n";
  }
  ~XdgFolders() {
    if (hadOld_) setenv("XDG_DATA_DIRS", saved_.c_str(), 1);
    else unsetenv("XDG_DATA_DIRS");
    std::error_code ec;
    fs::remove(fs::path(std::getenv("XDG_CONFIG_HOME")) / "user-dirs.dirs", ec);
  }

 private:
  fs::path root_;
  std::string saved_;
  bool hadOld_ = false;
};

std::string Special(int csidl, BOOL create) {
  char buf[MAX_PATH] = {};
  if (!SHGetSpecialFolderPath(nullptr, buf, csidl, create)) return "<none>";
  return buf;
}

struct BrowseLog {
  std::vector<std::string> selected;
  std::string start;
};

int BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data) {
  auto* log = reinterpret_cast<BrowseLog*>(data);
  if (msg == BFFM_INITIALIZED) {
    SetWindowText(hwnd, "Select Folder");
    SendMessage(hwnd, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(log->start.c_str()));
  } else if (msg == BFFM_SELCHANGED) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) {
      log->selected.push_back(path);
      SendMessage(hwnd, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(path));
    }
  }
  return 0;
}

std::vector<std::pair<WPARAM, POINT>> g_presses;
HHOOK g_hook = nullptr;

LRESULT RecordPresses(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN))
    g_presses.emplace_back(wParam, reinterpret_cast<MSLLHOOKSTRUCT*>(lParam)->pt);
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

int g_inner = 0;
LRESULT CountPresses(int code, WPARAM wParam, LPARAM lParam) {
  if (wParam == WM_LBUTTONDOWN) ++g_inner;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(BarsTest, SpecialFoldersLieInTheXdgFolders) {
  const fs::path root = qmtest::MakeTempDir("shell-xdg");
  XdgFolders xdg(root);
  const std::string home = std::getenv("XDG_DATA_HOME");
  EXPECT_EQ(Special(CSIDL_PROGRAMS, TRUE), home + "/applications");
  EXPECT_EQ(Special(CSIDL_STARTMENU, FALSE), home + "/applications");
  EXPECT_EQ(Special(CSIDL_PERSONAL, FALSE), "<none>");  // not made without asking
  EXPECT_EQ(Special(CSIDL_PERSONAL, TRUE), (root / "docs").string());
  EXPECT_EQ(Special(CSIDL_DESKTOPDIRECTORY, TRUE), (root / "desk").string());
  // All users: the first XDG_DATA_DIRS folder.
  for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY})
    EXPECT_EQ(Special(csidl, TRUE), (root / "share" / "applications").string()) << csidl;
  EXPECT_EQ(Special(0x1A, TRUE), "<none>");
  // The same as an item id list.
  LPITEMIDLIST pidl = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_PROGRAMS, &pidl), S_OK);
  char path[MAX_PATH] = {};
  EXPECT_TRUE(SHGetPathFromIDList(pidl, path));
  EXPECT_EQ(std::string(path), (root / "share" / "applications").string());
  LPMALLOC shell = nullptr;
  ASSERT_EQ(SHGetMalloc(&shell), S_OK);
  shell->Free(pidl);
  shell->Release();
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 0x1A, &pidl), E_FAIL);
  EXPECT_EQ(pidl, nullptr);
}

TEST_F(BarsTest, FileInfoGivesTheSmallSystemImageList) {
  const fs::path dir = qmtest::MakeTempDir("shell-info");
  std::ofstream(dir / "rose.qx") << "x";
  SHFILEINFO info{};
  const auto list = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfo("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  ASSERT_NE(list, nullptr);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  const int drive = info.iIcon;
  SHGetFileInfo(Cp(dir), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  const int folder = info.iIcon;
  ASSERT_NE(SHGetFileInfo(Cp(dir / "rose.qx"), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_DISPLAYNAME), 0u);
  EXPECT_NE(info.hIcon, nullptr);
  EXPECT_STREQ(info.szDisplayName, "rose.qx");
  const int document = info.iIcon;
  DestroyIcon(info.hIcon);
  EXPECT_NE(drive, folder);
  EXPECT_NE(folder, document);
  EXPECT_LT(std::max({drive, folder, document}), ImageList_GetImageCount(list));
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SHGetFileInfo(Cp(dir), 0, &info, sizeof info, SHGFI_SYSICONINDEX)), list);
  EXPECT_EQ(SHGetFileInfo(Cp(dir / "missing"), 0, &info, sizeof info, SHGFI_ICON), 0u);
}

TEST_F(BarsTest, FolderBrowserTalksToItsCallback) {
  const fs::path root = qmtest::MakeTempDir("shell-browse");
  fs::create_directories(root / "Programs" / "Beads");
  fs::create_directories(root / "Other");
  BrowseLog log;
  log.start = (root / "Programs").string();
  char display[MAX_PATH] = {};
  BROWSEINFO bi{};
  bi.hwndOwner = app->m_pMainWnd->m_hWnd;
  bi.pszDisplayName = display;
  bi.lpszTitle = "Setup will install the application in the following folder";
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  bi.lpfn = BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(&log);
  QmSetModalHook([&](HWND h) {
    char text[MAX_PATH] = {};
    GetWindowText(h, text, MAX_PATH);
    EXPECT_STREQ(text, "Select Folder");
    GetDlgItemText(h, QM_IDC_BROWSE_TITLE, text, MAX_PATH);
    EXPECT_STREQ(text, bi.lpszTitle);
    ASSERT_EQ(log.selected.size(), 1u);
    EXPECT_EQ(log.selected[0], log.start);
    EXPECT_TRUE(QmFolderDialogSelect(h, Cp(root / "Other")));
    GetDlgItemText(h, QM_IDC_BROWSE_STATUS, text, MAX_PATH);
    EXPECT_EQ(std::string(text), (root / "Other").string());
    SendMessage(h, WM_COMMAND, IDOK, 0);
  });
  LPITEMIDLIST chosen = SHBrowseForFolder(&bi);
  ASSERT_NE(chosen, nullptr);
  char path[MAX_PATH] = {};
  EXPECT_TRUE(SHGetPathFromIDList(chosen, path));
  EXPECT_EQ(std::string(path), (root / "Other").string());
  EXPECT_STREQ(display, "Other");
  CoTaskMemFree(chosen);
  // Cancelled: nothing.
  QmSetModalHook([&](HWND h) { SendMessage(h, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(SHBrowseForFolder(&bi), nullptr);
}

TEST_F(BarsTest, LowLevelMouseHookSeesPressesAndTheLossOfActivation) {
  g_presses.clear();
  g_inner = 0;
  HHOOK inner = SetWindowsHookEx(WH_MOUSE_LL, CountPresses, nullptr, 0);
  g_hook = SetWindowsHookEx(WH_MOUSE_LL, RecordPresses, nullptr, 0);
  ASSERT_NE(g_hook, nullptr);
  CToolBar& bar = app->Frame()->m_toolbar;
  QmSendMouse(bar.m_hWnd, WM_LBUTTONDOWN, CPoint(300, 10), MK_LBUTTON);
  QmSendMouse(bar.m_hWnd, WM_LBUTTONUP, CPoint(300, 10));
  QmSendMouse(app->Frame()->m_status.m_hWnd, WM_RBUTTONDOWN, CPoint(5, 5), MK_RBUTTON);
  QmSendMouse(app->Frame()->m_status.m_hWnd, WM_RBUTTONUP, CPoint(5, 5));
  ASSERT_EQ(g_presses.size(), 2u);
  EXPECT_EQ(g_presses[0].first, static_cast<WPARAM>(WM_LBUTTONDOWN));
  CPoint screen(300, 10);
  bar.ClientToScreen(&screen);
  EXPECT_EQ(g_presses[0].second.x, screen.x);
  EXPECT_EQ(g_presses[0].second.y, screen.y);
  EXPECT_EQ(g_presses[1].first, static_cast<WPARAM>(WM_RBUTTONDOWN));
  EXPECT_EQ(g_inner, 1);  // the chain goes on to the earlier hook
  // Another program's window chosen: a press outside ours.
  QmSimulateDeactivation();
  ASSERT_EQ(g_presses.size(), 3u);
  EXPECT_EQ(g_presses[2].second.x, -32000);
  EXPECT_TRUE(UnhookWindowsHookEx(g_hook));
  EXPECT_TRUE(UnhookWindowsHookEx(inner));
  EXPECT_FALSE(UnhookWindowsHookEx(inner));
  QmSendMouse(bar.m_hWnd, WM_LBUTTONDOWN, CPoint(300, 10), MK_LBUTTON);
  QmSendMouse(bar.m_hWnd, WM_LBUTTONUP, CPoint(300, 10));
  EXPECT_EQ(g_presses.size(), 3u);
  EXPECT_EQ(SetWindowsHookEx(2, CountPresses, nullptr, 0), nullptr);  // WH_KEYBOARD: not offered
}

TEST_F(BarsTest, ShellExecuteAnswersThroughItsTestHook) {
  std::vector<std::string> calls;
  QmSetShellExecuteHook([&](HWND, const char* op, const char* file, const char* params, const char*, int show) {
    calls.push_back(std::string(op) + " " + file + " [" + params + "] " + std::to_string(show));
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(42));
  });
  EXPECT_EQ(ShellExecute(nullptr, "open", "https://example.org/beads", nullptr, nullptr, SW_SHOW),
            reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(42)));
  QmSetShellExecuteHook(nullptr);
  EXPECT_EQ(calls, std::vector<std::string>{"open https://example.org/beads [] 5"});
  EXPECT_EQ(ShellExecute(nullptr, "print", "x", nullptr, nullptr, SW_SHOW),
            reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(SE_ERR_NOASSOC)));
}

// The desktop's opener answers whether a program took the file: xdg-open
// ending with an error is a failure, never a success.
TEST_F(BarsTest, ShellExecuteTellsWhenNoProgramOpensTheFile) {
  const fs::path dir = qmtest::MakeTempDir("xdg_open_stand_in");
  const fs::path file = dir / "chart.pdf";
  std::ofstream(file) << "%PDF";
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  setenv("PATH", (dir.string() + ":" + savedPath).c_str(), 1);
  struct Case {
    int exitCode;
    bool opened;
  };
  for (const Case c : {Case{0, true}, Case{3, false}, Case{4, false}}) {
    SCOPED_TRACE(c.exitCode);
    {
      std::ofstream script(dir / "xdg-open");
      script << "#!/bin/sh\nexit " << c.exitCode << "\n";
    }
    fs::permissions(dir / "xdg-open", fs::perms::owner_all);
    const auto answer = reinterpret_cast<std::intptr_t>(
        ShellExecute(nullptr, "open", Cp(file), nullptr, nullptr, SW_SHOWNORMAL));
    EXPECT_EQ(answer > 32, c.opened) << answer;
  }
  setenv("PATH", savedPath.c_str(), 1);
}
