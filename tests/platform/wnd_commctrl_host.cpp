// The common-control tests' host window.
#include "tests/platform/wnd_commctrl_host.h"

#include <filesystem>

#include "tests/common/test_util.h"

namespace cctest {

BEGIN_MESSAGE_MAP(CCtlHost, CWnd)
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

std::string ShotsDir(bool russian) {
  const std::filesystem::path dir = qmtest::BinDir().parent_path() / "shots" / "platform" / (russian ? "ru" : "en");
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir.string();
}

}  // namespace cctest
