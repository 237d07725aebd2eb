// qmpal <folder>: writes the starter palette into a Palettes folder (made
// when missing). The build puts it beside the program.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "palette/BasicPalette.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qmpal <palettes folder>\n");
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
