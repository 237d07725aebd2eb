#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "core/Registry.h"
#include "palette/BasicPalette.h"
#include "platform/base/codepage.h"
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

  const std::filesystem::path file = qmtest::MakeTempDir("basic-palette") / BasicPaletteFileName(false).GetString();
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

// The Russian palette has the same colours and codes with Russian nicknames,
// under its own file name; each interface knows the other's file.
TEST(BasicPalette, BothLanguages) {
  CColorSet english = MakeBasicPalette(false), russian = MakeBasicPalette(true);
  ASSERT_EQ(russian.GetCount(), english.GetCount());
  for (int i = 0; i < english.GetCount(); ++i) {
    EXPECT_EQ(russian.GetItem(i).GetRgb(), english.GetItem(i).GetRgb()) << i;
    EXPECT_EQ(russian.GetItem(i).mfgName, english.GetItem(i).mfgName) << i;
    EXPECT_NE(russian.GetItem(i).nickname, english.GetItem(i).nickname) << i;
    // Cyrillic letters of Windows-1251 (0xC0 and up) lead every Russian name.
    EXPECT_GE(static_cast<unsigned char>(russian.GetItem(i).nickname[0]), 0xC0) << i;
  }
  EXPECT_EQ(russian.GetItem(0).nickname, CString(Utf8ToCodePage("Белый", 1251)));
  const bool was = IsRussianInterface();
  SetRussianInterface(true);
  EXPECT_EQ(BasicPaletteFileName(true), CString(Utf8ToCodePage("Базовая.pal", 1251)));
  EXPECT_TRUE(IsOtherLanguageBasicPalette("basic.pal", true));
  EXPECT_FALSE(IsOtherLanguageBasicPalette(BasicPaletteFileName(true), true));
  SetRussianInterface(false);
  EXPECT_TRUE(IsOtherLanguageBasicPalette(BasicPaletteFileName(true), false));
  EXPECT_FALSE(IsOtherLanguageBasicPalette("Basic.pal", false));
  EXPECT_FALSE(IsOtherLanguageBasicPalette("delica.pal", false));
  SetRussianInterface(was);
}

}  // namespace
