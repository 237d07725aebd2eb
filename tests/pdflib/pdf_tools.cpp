#include "tests/pdflib/pdf_tools.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/common/test_util.h"

namespace qmtest {

std::string Quote(const std::filesystem::path& p) {
  std::string s = "'";
  for (char c : p.string()) s += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return s + "'";
}

std::string RunCommand(const std::string& command, int* rc, bool withStderr) {
  const std::string full = command + (withStderr ? " 2>&1" : " 2>/dev/null");
  FILE* f = popen(full.c_str(), "r");
  if (!f) {
    if (rc) *rc = -1;
    return {};
  }
  std::string out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  const int status = pclose(f);
  if (rc) *rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

bool QpdfCheckPasses(const std::filesystem::path& pdf, const std::string& password) {
  int rc = 0;
  RunCommand("qpdf --check " + (password.empty() ? "" : "--password=" + password + " ") + Quote(pdf), &rc);
  return rc == 0;
}

std::string PdfInfo(const std::filesystem::path& pdf, const std::string& field, int page, const std::string& password) {
  // One pdfinfo run per state of the file answers all its fields and pages.
  static std::string cachedKey, cachedOutput;
  std::error_code ec;
  const std::string key = pdf.string() + "|" + password + "|" + std::to_string(std::filesystem::file_size(pdf, ec)) +
                          "|" + std::to_string(std::filesystem::last_write_time(pdf, ec).time_since_epoch().count());
  if (key != cachedKey) {
    cachedOutput = RunCommand("pdfinfo -f 1 -l 100000 " + (password.empty() ? "" : "-upw " + password + " ") +
                              Quote(pdf));
    cachedKey = key;
  }
  const std::string wanted = page ? "Page " + std::string(page < 10 ? "   " : page < 100 ? "  " : " ") +
                                        std::to_string(page) + " " + field + ":"
                                  : field + ":";
  std::istringstream in(cachedOutput);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(wanted, 0) == 0) {
      std::string v = line.substr(wanted.size());
      const auto b = v.find_first_not_of(' ');
      return b == std::string::npos ? "" : v.substr(b);
    }
  }
  return "<no " + field + ">";
}

std::string PdfText(const std::filesystem::path& pdf, const std::string& password, bool layout) {
  return RunCommand("pdftotext " + std::string(layout ? "-layout " : "") +
                    (password.empty() ? "" : "-upw " + password + " ") + Quote(pdf) + " -");
}

bool Pixmap::IsWhite(int x, int y) const {
  const std::uint8_t* p = At(x, y);
  return p[0] > 240 && p[1] > 240 && p[2] > 240;
}

Pixmap Render(const std::filesystem::path& pdf, int page, int dpi, const std::string& password) {
  Pixmap pm;
  const std::filesystem::path dir = MakeTempDir("render");
  const std::filesystem::path root = dir / "page";
  RunCommand("pdftoppm -singlefile -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
             std::to_string(page) + " " + (password.empty() ? "" : "-upw " + password + " ") + Quote(pdf) + " " +
             Quote(root));
  std::ifstream in(root.string() + ".ppm", std::ios::binary);
  std::string magic;
  int maxval = 0;
  if (!(in >> magic >> pm.width >> pm.height >> maxval) || magic != "P6" || maxval != 255) return Pixmap{};
  in.get();
  pm.rgb.resize(static_cast<std::size_t>(pm.width) * pm.height * 3);
  in.read(reinterpret_cast<char*>(pm.rgb.data()), static_cast<std::streamsize>(pm.rgb.size()));
  if (!in) return Pixmap{};
  return pm;
}

const std::uint8_t* PointPixel(const Pixmap& pm, double px, double py, int dpi) {
  int x = static_cast<int>(px * dpi / 72.0);
  int y = pm.height - 1 - static_cast<int>(py * dpi / 72.0);
  x = std::max(0, std::min(pm.width - 1, x));
  y = std::max(0, std::min(pm.height - 1, y));
  return pm.At(x, y);
}

}  // namespace qmtest
