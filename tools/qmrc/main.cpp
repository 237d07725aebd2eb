// qmrc: compiles language resource scripts into a resource pack.
//
//   qmrc --codepage 1252 --language 0x0409 --out Pellow_En.dll
//        [--depfile file.d] [--ids header.h|dir]... script.rcs|dir...
//
// A directory given to --ids means all its *.h; a directory among the
// scripts means all its *.rcs (both in name order). Errors are printed as
// "file:line: message" and end with exit code 1; the output is written only
// when everything compiled.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "tools/qmrc/qmrc.h"

namespace fs = std::filesystem;

namespace {

int Usage(const std::string& why) {
  std::cerr << "qmrc: " << why << "\n"
            << "usage: qmrc --codepage 1251|1252 --language ID --out FILE [--depfile FILE] [--ids HEADER|DIR]... "
               "SCRIPT|DIR...\n";
  return 2;
}

// Files of a directory with an extension, in name order; a file as itself.
void Expand(const fs::path& p, const char* ext, std::vector<fs::path>& out) {
  std::error_code ec;
  if (fs::is_directory(p, ec)) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(p, ec))
      if (e.is_regular_file() && e.path().extension() == ext) found.push_back(e.path());
    std::sort(found.begin(), found.end());
    out.insert(out.end(), found.begin(), found.end());
  } else {
    out.push_back(p);
  }
}

std::string DepEscape(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == ' ' || c == '#') r += '\\';
    if (c == '$') r += '$';
    r += c;
  }
  return r;
}

bool WriteFileAtomically(const fs::path& path, const std::vector<BYTE>& bytes) {
  const fs::path tmp = path.string() + ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) return false;
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) fs::remove(tmp, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  qmrc::Options opt;
  fs::path out, depfile;
  bool haveCodePage = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        Usage(a + " needs a value");
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--codepage") {
      opt.codePage = static_cast<UINT>(std::strtoul(value().c_str(), nullptr, 0));
      haveCodePage = true;
    } else if (a == "--language") {
      opt.language = static_cast<WORD>(std::strtoul(value().c_str(), nullptr, 0));
    } else if (a == "--out") {
      out = value();
    } else if (a == "--depfile") {
      depfile = value();
    } else if (a == "--ids") {
      Expand(value(), ".h", opt.headers);
    } else if (!a.empty() && a[0] == '-') {
      return Usage("unknown option " + a);
    } else {
      Expand(a, ".rcs", opt.scripts);
    }
  }
  if (!haveCodePage) return Usage("--codepage is required");
  if (out.empty()) return Usage("--out is required");
  if (opt.scripts.empty()) return Usage("no scripts given");

  try {
    const qmrc::Result result = qmrc::Compile(opt);
    const std::vector<BYTE> pack = qmrc::WritePack(result.resources, opt.codePage, opt.language);
    if (!WriteFileAtomically(out, pack)) {
      std::cerr << out.string() << ": cannot write the pack\n";
      return 1;
    }
    if (!depfile.empty()) {
      std::ofstream d(depfile, std::ios::trunc);
      d << DepEscape(out.string()) << ":";
      for (const fs::path& p : result.inputs) d << " \\\n  " << DepEscape(fs::absolute(p).lexically_normal().string());
      d << "\n";
      if (!d) {
        std::cerr << depfile.string() << ": cannot write the dependency file\n";
        return 1;
      }
    }
  } catch (const qmrc::Error& e) {
    std::cerr << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "qmrc: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
