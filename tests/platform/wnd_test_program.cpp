// The window tests' shared program parts (see wnd_test_program.h).
#include "tests/platform/wnd_test_program.h"

#include <cstdlib>
#include <filesystem>
#include <map>

#include "tests/common/test_util.h"

namespace fs = std::filesystem;

namespace wndprogram {

HINSTANCE CompilePack(const std::string& folder, const std::string& script, bool russian) {
  static std::map<std::pair<std::string, bool>, HINSTANCE> packs;
  const auto key = std::make_pair(folder + "/" + script, russian);
  if (const auto found = packs.find(key); found != packs.end()) return found->second;
  const fs::path dir = qmtest::MakeTempDir(script + (russian ? "-pack-ru" : "-pack-en"));
  const fs::path data = qmtest::SourceDir() / "tests" / "platform" / folder;
  const fs::path out = dir / (script + ".pack");
  const std::string cmd = "\"" + (qmtest::BinDir() / "qmrc").string() + "\" --codepage " +
                          (russian ? "1251 --language 0x0419" : "1252 --language 0x0409") + " --out \"" +
                          out.string() + "\" --ids \"" + (data / "ids").string() + "\" \"" +
                          (data / (russian ? "ru" : "en") / (script + ".rcs")).string() + "\"";
  HINSTANCE pack = std::system(cmd.c_str()) == 0 ? LoadLibrary(out.string().c_str()) : nullptr;
  packs[key] = pack;
  return pack;
}

}  // namespace wndprogram
