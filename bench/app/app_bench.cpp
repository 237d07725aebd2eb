// The application shell's two budgets, headless (offscreen):
// - a paint of the status bar with a line of three runs (one coloured) and
//   both information boxes: under 2 ms;
// - the start-up of the real application to its shown main window, with 16
//   recent designs (and their thumbnails) stored: under 0.5 s.
#include <benchmark/benchmark.h>


#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/wnd/widgetapp.h"
#include "app/AboutDlg.h"
#include "app/App.h"
#include "app/MainFrm.h"
#include "controls/RecentFiles.h"
#include "core/Registry.h"
#include "image/Image.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"

namespace fs = std::filesystem;

namespace {

// A private registry and data folder, the English pack of the build, and the
// Qt application, once.
void Environment() {
  static bool done = false;
  if (done) return;
  done = true;
  const fs::path tmp = fs::temp_directory_path() / ("qm-bench-app-" + std::to_string(getpid()));
  fs::create_directories(tmp / "config");
  fs::create_directories(tmp / "data");
  setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);
  QmEnsureWidgetApplication();
  std::setlocale(LC_NUMERIC, "C");
  CRegistryKey key = CRegistryKey::Create("SoftWare\\Corvandel", HKEY_CURRENT_USER);
  const DWORD english = 0;
  key.SetValue("language", &english, sizeof(english), REG_DWORD);
  CApp::SetPackFolder((fs::path(GetProgramFolder().GetString()) / ".." / "bin").string().c_str());
}

void StoreSixteenRecentDesigns() {
  CRecentFiles list("RecentDesignMenu26Sept2016", 20000, 16);
  bool ok = false;
  CImage picture(800, 600, ok, RGB(180, 60, 90));
  for (int i = 0; i < 16; ++i) {
    CString path;
    path.Format("/designs/design%02d.qx", i);
    list.AddFile(path, picture, nullptr);
  }
  list.Save();
}

CApp* StartApp() {
  auto* app = new CApp;
  app->SetCommandLine("");
  if (!app->InitInstance()) {
    delete app;
    return nullptr;
  }
  return app;
}

void StopApp(CApp* app) {
  if (CAboutDlg* splash = CAboutDlg::GetLiveSplash()) splash->DestroyWindow();
  if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
  QmPumpMessages(200);
  app->ExitInstance();
  delete app;
}

void BM_StatusBarPaint(benchmark::State& state) {
  Environment();
  CApp* app = StartApp();
  if (!app) {
    state.SkipWithError("the application did not start");
    return;
  }
  QmPumpMessages();
  CAppStatusBar& bar = app->GetMainFrame()->GetAppStatusBar();
  app->GetSettings().m_designInfoShown = 1;
  app->GetSettings().m_paletteInfoShown = 1;
  bar.SetWindowText(" Bead's info: column 3, row 4, color \n200 40 40\tRuby\n, summary color's number 7");
  for (auto _ : state) {
    bar.Invalidate(FALSE);
    bar.UpdateWindow();
  }
  StopApp(app);
}
BENCHMARK(BM_StatusBarPaint)->Unit(benchmark::kMicrosecond);

void BM_StartUpToShownWindow(benchmark::State& state) {
  Environment();
  StoreSixteenRecentDesigns();
  for (auto _ : state) {
    CApp* app = StartApp();
    if (!app) {
      state.SkipWithError("the application did not start");
      return;
    }
    QmPumpMessages(50);
    state.PauseTiming();
    StopApp(app);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
