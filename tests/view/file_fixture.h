// Shared by the tests of the view's file operations: the program's folders
// in a folder of the test's own, the language pack, message boxes and the
// shell's "open" answered instead of a person, small designs and palettes,
// and a hand-made zip writer whose entries may lie.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"
#include "tests/common/test_util.h"
#include "tests/designfile/designfile_files.h"

namespace filetest {

namespace fs = std::filesystem;

inline CString Path(const fs::path& p) { return CString(p.string().c_str()); }

// A loom design of columns x rows beads of 0.1 inch, colour index
// (column + row) % colours, blank (no original picture) unless asked.
void MakeDesign(CPattern& d, int columns, int rows, int colours, bool blank = true);
void MakePalette(CColorSet& palette, int colours);
// A design file written by the program's writer (blank design).
fs::path WriteDesignFile(const fs::path& path, int columns = 4, int rows = 3);

// The hand-made zip writer and the folder listing of the design-file tests.
using dftest::ListFolder;
using dftest::WriteZip;
using dftest::ZipEntry;

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Switches the interface language (code page and pack).
  void UseLanguage(bool russian);

  fs::path folder;
  std::vector<std::pair<std::string, UINT>> boxes;  // message boxes shown
  int boxAnswer = IDOK;
  std::vector<std::string> opened;  // files the shell was asked to open
  std::unique_ptr<qmtest::LanguagePack> pack;
  CFrameWnd* frame = nullptr;
};

// Where a dialog picture goes: build/shots/<en|ru>/name.
fs::path ShotPath(bool russian, const std::string& name);

}  // namespace filetest
