// qmpal <folder>: writes the starter palette, in English and in Russian,
// into a Palettes folder (made when missing). The build puts them beside the
// program.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/Registry.h"
#include "palette/BasicPalette.h"
#include "platform/base/codepage.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qmpal <palettes folder>\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  for (bool russian : {false, true}) {
    // Names and nicknames in the code page of that language's interface.
    SetRussianInterface(russian);
    CString folder = FromUtf8(argv[1]);
    if (folder.Right(1) != "/") folder += "/";
    const CString path = folder + BasicPaletteFileName(russian);
    CColorSet palette = MakeBasicPalette(russian);
    if (!palette.SavePaletteAs(path)) {
      std::fprintf(stderr, "qmpal: cannot write %s%s\n", argv[1], russian ? " (Russian)" : "");
      return 1;
    }
  }
  return 0;
}
