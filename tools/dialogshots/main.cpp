// qmshots: pictures every dialog template of the language packs and checks
// their layout.
//
//   qmshots [--out DIR] [PACK...]
//
// PACK defaults to Pellow_En.dll and Pellow_Ru.dll beside the program; the
// pictures go to DIR/<en|ru>/dialog_<id>[_compact].png (DIR defaults to
// build/shots of the source tree). Every problem is printed; the exit status
// is 1 when there is one.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/wnd/widgetapp.h"
#include "platform/base/files.h"
#include "platform/base/resource.h"
#include "platform/wnd.h"
#include "tools/dialogshots/DialogShots.h"

int main(int argc, char** argv) {
  QmEnsureWidgetApplication();
  std::string out;
  std::vector<std::string> packs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" && i + 1 < argc)
      out = argv[++i];
    else if (arg == "-h" || arg == "--help") {
      std::printf("usage: qmshots [--out DIR] [PACK...]\n");
      return 0;
    } else
      packs.push_back(arg);
  }
  const std::filesystem::path bin = std::filesystem::path(argv[0]).parent_path();
  if (packs.empty()) packs = {(bin / "Pellow_En.dll").string(), (bin / "Pellow_Ru.dll").string()};
  int problems = 0;
  for (const std::string& path : packs) {
    HINSTANCE pack = LoadLibrary(path.c_str());
    if (!pack) {
      std::fprintf(stderr, "qmshots: cannot open %s\n", path.c_str());
      return 2;
    }
    const bool russian = QmGetPackCodePage(pack) == 1251;
    const std::string dir =
        out.empty() ? DefaultShotsDir(russian) : (std::filesystem::path(out) / (russian ? "ru" : "en")).string();
    const DialogShotResult result = ShootPackDialogs(pack, dir);
    std::printf("%s: %d dialogs pictured in %s\n", path.c_str(), result.dialogs, dir.c_str());
    for (const DialogLayoutProblem& p : result.problems) std::printf("  %s\n", DescribeProblem(p).c_str());
    problems += static_cast<int>(result.problems.size());
    FreeLibrary(pack);
  }
  return problems ? 1 : 0;
}
