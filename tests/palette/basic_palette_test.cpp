#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "palette/BasicPalette.h"
#include "tests/common/test_util.h"

namespace {

// The shipped palette must be usable for a first design: distinct colours and
// codes, all in use, and it reads back from the file the build writes.
TEST(BasicPalette, DistinctColoursAllInUseAndReadBack) {
  CColorSet palette = MakeBasicPalette();
  ASSERT_GE(palette.GetCount(), 40);
  EXPECT_EQ(palette.GetCheckedCount(), palette.GetCount());
  std::set<std::tuple<int, int, int>> colours;
  std::set<std::string> codes;
  for (int i = 0; i < palette.GetCount(); ++i) {
    const CPaletteColor& c = palette.GetItem(i);
    colours.emplace(c.GetRgb().red, c.GetRgb().green, c.GetRgb().blue);
    codes.insert(c.mfgName.GetString());
    EXPECT_FALSE(c.nickname.IsEmpty()) << i;
  }
  EXPECT_EQ(colours.size(), static_cast<size_t>(palette.GetCount()));
  EXPECT_EQ(codes.size(), static_cast<size_t>(palette.GetCount()));

  const std::filesystem::path file = qmtest::MakeTempDir("basic-palette") / BasicPaletteFileName();
  ASSERT_TRUE(palette.SavePaletteAs(file.c_str()));
  CColorSet loaded;
  ASSERT_TRUE(loaded.LoadEncipheredFile(file.c_str()));
  ASSERT_EQ(loaded.GetCount(), palette.GetCount());
  for (int i = 0; i < loaded.GetCount(); ++i) {
    EXPECT_EQ(loaded.GetItem(i).GetRgb(), palette.GetItem(i).GetRgb()) << i;
    EXPECT_EQ(loaded.GetItem(i).nickname, palette.GetItem(i).nickname) << i;
    EXPECT_TRUE(loaded.IsColorInUse(i)) << i;
  }
}

}  // namespace
