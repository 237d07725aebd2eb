#include "tests/app/app_fixture.h"

#include <fstream>

#include "app/AboutDlg.h"
#include "core/Registry.h"
#include "core/ByteStream.h"
#include "design/Pattern.h"
#include "tests/view/view_test_util.h"

namespace apptest {

void StoreLanguage(bool russian) {
  CRegistryKey key = CRegistryKey::Create("SoftWare\\Corvandel", HKEY_CURRENT_USER);
  const DWORD value = russian ? 1 : 0;
  key.SetValue("language", &value, sizeof(value), REG_DWORD);
}

void ForgetLanguage() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, "SoftWare\\Corvandel", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValue(key, "language");
    RegCloseKey(key);
  }
}

void ForgetValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, "SoftWare\\Corvandel\\QuillmereFreeware", 0, KEY_ALL_ACCESS, &key) ==
      ERROR_SUCCESS) {
    RegDeleteValue(key, name);
    RegCloseKey(key);
  }
}

void StoreAcceptedSettings(void (*adjust)(CAppSettings&)) {
  CAppSettings s;
  s.SetVirtualScreenSize(::GetSystemMetrics(SM_CXSCREEN) * ::GetSystemMetrics(SM_CYSCREEN));
  if (adjust) adjust(s);
  ASSERT_TRUE(s.Save());
}

std::string MakeFile(const std::string& name) {
  const std::string path = (qmtest::MakeTempDir("files") / name).string();
  std::ofstream(path) << "x";
  return path;
}

void GiveBeads(CTabView* view, bool modified) {
  // A whole 2 x 2 grid: the view renders and paints what it is given.
  CPattern* design = view->GetPattern();
  *design = viewtest::MakeDesign(2, 2);
  design->SetModified(modified);
}

namespace {
class CRecordingCmdUI : public CCmdUI {
 public:
  CommandState state;
  void Enable(BOOL on) override {
    state.enabled = on != FALSE;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int check) override { state.check = check; }
  void SetRadio(BOOL on) override {
    state.radio = true;
    state.check = on ? 1 : 0;
  }
  void SetText(LPCTSTR) override {}
};
}  // namespace

CommandState QueryCommand(CFrameWnd* frame, UINT id) {
  CRecordingCmdUI ui;
  ui.m_nID = id;
  ui.m_nIndexMax = 1;
  ui.state.handled = ui.DoUpdate(frame, TRUE) != FALSE;
  return ui.state;
}

void AppTest::SetUp() {
  // Every test starts as a first start in English.
  for (const char* value : {"AppData_01_October_2017", "PatternGrid_Jul_20_2011", "Accel_28_Jan_2010",
                            "RecentDesignMenu26Sept2016", "RecentOriginalMenu01Oct2017", "RecentPaletteMenu01Oct2017"})
    ForgetValue(value);
  StoreLanguage(false);
  CApp::SetPackFolder(qmtest::BinDir().string().c_str());
  SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
    boxes.emplace_back(text.str(), type);
    return boxAnswer;
  });
}

bool AppTest::Start(const char* commandLine) {
  app = new CApp;
  app->SetCommandLine(commandLine);
  const bool ok = app->InitInstance() != FALSE;
  QmPumpMessages();
  return ok;
}

void AppTest::Close() {
  if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->SendMessage(WM_CLOSE);
  QmPumpMessages();
}

bool AppTest::BoxShown(const std::string& part) const {
  for (const auto& b : boxes)
    if (b.first.find(part) != std::string::npos) return true;
  return false;
}

void AppTest::TearDown() {
  qmtest::SetModalHook(nullptr);
  QmSetPopupMenuHook(nullptr);
  if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
  if (app) {
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    QmPumpMessages();
    app->ExitInstance();
    delete app;
    app = nullptr;
  }
  QmPumpMessages();
  SetMessageBoxHook(nullptr);
  CApp::SetPackFolder(nullptr);
}

}  // namespace apptest
