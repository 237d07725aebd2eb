// Shared by the design-file tests: a byte builder for fixtures written by
// hand, small designs and palettes, and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileUtils.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "tests/common/test_util.h"

namespace dftest {

using Bytes = qmtest::Bytes;

// A loom design of columns x rows beads of 0.1 inch without spacer, every
// bead present in colour (column + row) % colours.
inline void MakeDesign(CPattern& d, int columns, int rows, int colours, bool blank = false) {
  CGridLayout layout;
  layout.width = 0.1f * columns;
  layout.height = 0.1f * rows;
  layout.beadWidth = 0.1f;
  layout.beadHeight = 0.1f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  d.CreateGrid(layout, 0);
  d.m_blank = blank ? 1 : 0;
  for (size_t i = 0; i < d.m_beads.size(); ++i) {
    d.m_beads[i].m_colorIndex = static_cast<int>(i % static_cast<size_t>(colours));
    d.m_beads[i].m_cachedColor = 0x010203u * static_cast<unsigned>(i % 7);
  }
}

inline void MakePalette(CColorSet& palette, int colours) {
  palette.Clear();
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(10 * i), static_cast<BYTE>(255 - 10 * i), 77),
                    CString(("C" + std::to_string(i)).c_str()), 0, i + 1, 225, 150);
    c.nickname = ("nick " + std::to_string(i)).c_str();
    c.symbol = 65 + i;
    palette.Append(c);
  }
}

// A test with the program's folders (temporary files, the design folder)
// pointed into a folder of its own, "data" under `folder`.
class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = qmtest::MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder / "data");
    SetProgramDataFolder(CString((folder / "data").string().c_str()));
  }
  void TearDown() override { SetProgramDataFolder(""); }

  std::filesystem::path folder;
};

inline std::vector<unsigned char> Read(const std::filesystem::path& p) { return qmtest::ReadAll(p); }
inline void Write(const std::filesystem::path& p, const std::vector<unsigned char>& b) { qmtest::WriteAll(p, b); }
inline CString Path(const std::filesystem::path& p) { return CString(p.string().c_str()); }

}  // namespace dftest
