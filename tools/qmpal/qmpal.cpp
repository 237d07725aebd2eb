// qmpal <folder>: writes the starter palette into a Palettes folder (made
// when missing). The build puts it beside the program.
// qmpal --list <colours.txt> <1251|1252> <out.pal>: writes a palette file
// from a colour list kept as text (the setup's palettes): UTF-8 lines
// "number;code;nickname;red;green;blue", '#' starting a comment line; the
// texts are stored in the code page given.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "palette/BasicPalette.h"

namespace {

int WriteFromList(const char* listPath, UINT codePage, const char* outPath) {
  std::ifstream in(listPath);
  if (!in) {
    std::fprintf(stderr, "qmpal: cannot read %s\n", listPath);
    return 1;
  }
  SetAnsiCodePage(codePage);
  CColorSet palette;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream ss(line);
    for (std::string part; std::getline(ss, part, ';');) f.push_back(part);
    if (f.size() != 6) {
      std::fprintf(stderr, "%s:%d: expected number;code;nickname;red;green;blue\n", listPath, lineNo);
      return 1;
    }
    const int rgb[3] = {std::atoi(f[3].c_str()), std::atoi(f[4].c_str()), std::atoi(f[5].c_str())};
    for (int v : rgb)
      if (v < 0 || v > 255) {
        std::fprintf(stderr, "%s:%d: a colour value lies outside 0..255\n", listPath, lineNo);
        return 1;
      }
    const int number = std::atoi(f[0].c_str());
    palette.AppendPlainColor(static_cast<BYTE>(rgb[0]), static_cast<BYTE>(rgb[1]), static_cast<BYTE>(rgb[2]),
                             CString(Utf8ToCodePage(f[1], codePage)), number);
    palette.GetItem(palette.GetCount() - 1).nickname = CString(Utf8ToCodePage(f[2], codePage));
  }
  if (palette.GetCount() == 0) {
    std::fprintf(stderr, "qmpal: %s holds no colour\n", listPath);
    return 1;
  }
  palette.CheckAll();
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(outPath).parent_path(), error);
  if (!palette.SavePaletteAs(CString(Utf8ToCodePage(outPath, codePage)))) {
    std::fprintf(stderr, "qmpal: cannot write %s\n", outPath);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--list")
    return WriteFromList(argv[2], static_cast<UINT>(std::atoi(argv[3])), argv[4]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qmpal <palettes folder>\n       qmpal --list <colours.txt> <1251|1252> <out.pal>\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  const std::filesystem::path path = std::filesystem::path(argv[1]) / BasicPaletteFileName();
  CColorSet palette = MakeBasicPalette();
  if (!palette.SavePaletteAs(path.c_str())) {
    std::fprintf(stderr, "qmpal: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
