// The settings records in the registry store (a private one: the test main
// points XDG_CONFIG_HOME at a temporary folder).
#include <gtest/gtest.h>

#include <vector>

#include "core/Registry.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"
#include "settings_test_util.h"

using settings_test::Bytes;
using settings_test::DeleteProgramValue;

TEST(SettingsRegistryTest, AppSettingsSaveAndLoad) {
  DeleteProgramValue(CAppSettings::kValueName);
  CAppSettings first;
  first.m_lastDesign = "/x/First.qx";
  EXPECT_FALSE(first.Load());  // nothing stored yet: defaults
  EXPECT_EQ(first.m_lastDesign, "");

  CAppSettings saved;
  saved.m_lastDesign = "/x/Rose.qx";
  saved.m_viewBackgroundColor = RGB(9, 8, 7);
  saved.m_beadSizes.resize(3);
  ASSERT_TRUE(saved.Save());
  std::vector<BYTE> stored, expected;
  ASSERT_TRUE(ReadProgramBinaryValue(CAppSettings::kValueName, stored));
  ASSERT_TRUE(saved.WriteToBytes(expected));
  EXPECT_EQ(stored, expected);  // plain, not scrambled

  CAppSettings loaded;
  ASSERT_TRUE(loaded.Load());
  EXPECT_EQ(loaded.m_lastDesign, "/x/Rose.qx");
  EXPECT_EQ(loaded.m_viewBackgroundColor, RGB(9, 8, 7));
  EXPECT_EQ(loaded.m_beadSizes.size(), 3u);
}

TEST(SettingsRegistryTest, DamagedOrImplausibleStoredAppSettingsGiveDefaults) {
  CAppSettings sample;
  sample.m_lastDesign = "/x/Rose.qx";
  std::vector<BYTE> good;
  ASSERT_TRUE(sample.WriteToBytes(good));

  std::vector<BYTE> shortRecord(good.begin(), good.end() - 1);
  CAppSettings implausibleRecord = sample;
  implausibleRecord.SetVirtualScreenSize(1);
  std::vector<BYTE> implausible;
  ASSERT_TRUE(implausibleRecord.WriteToBytes(implausible));

  for (const std::vector<BYTE>* bytes : {&shortRecord, &implausible}) {
    ASSERT_TRUE(WriteProgramBinaryValue(CAppSettings::kValueName, *bytes));
    CAppSettings s;
    s.m_lastDesign = "kept?";
    EXPECT_FALSE(s.Load());
    EXPECT_EQ(s.m_lastDesign, "");
    EXPECT_EQ(s.GetVirtualScreenSize(), CAppSettings().GetVirtualScreenSize());
  }
}

TEST(SettingsRegistryTest, GridSettingsSaveLoadAndStoredLengths) {
  DeleteProgramValue(CGridSettings::kValueName);
  CGridSettings g;
  g.m_showGrid = 1;
  EXPECT_FALSE(g.LoadGridSettings());
  EXPECT_EQ(g, CGridSettings());

  // View > Show Grid, then the program closes: the stored first byte is 1.
  g.m_showGrid = 1;
  g.m_step = 12;
  ASSERT_TRUE(g.SaveGridSettings());
  std::vector<BYTE> stored;
  ASSERT_TRUE(ReadProgramBinaryValue(CGridSettings::kValueName, stored));
  ASSERT_EQ(stored.size(), 17u);
  EXPECT_EQ(stored[0], 1);
  CGridSettings loaded;
  ASSERT_TRUE(loaded.LoadGridSettings());
  EXPECT_EQ(loaded, g);

  // 16 bytes: the defaults.
  ASSERT_TRUE(WriteProgramBinaryValue(CGridSettings::kValueName, std::vector<BYTE>(stored.begin(), stored.end() - 1)));
  EXPECT_FALSE(loaded.LoadGridSettings());
  EXPECT_EQ(loaded, CGridSettings());

  // 20 bytes: read from the first 17.
  const std::vector<BYTE> twenty = Bytes().u8(1).i32(3).i32(0x00FF00).i32(2).i32(4).u8(7).u8(7).u8(7).b;
  ASSERT_TRUE(WriteProgramBinaryValue(CGridSettings::kValueName, twenty));
  ASSERT_TRUE(loaded.LoadGridSettings());
  EXPECT_EQ(loaded.m_showGrid, 1);
  EXPECT_EQ(loaded.m_step, 3);
  EXPECT_EQ(loaded.m_color, 0x00FF00u);
  EXPECT_EQ(loaded.m_screenWidth, 2);
  EXPECT_EQ(loaded.m_pdfWidth, 4);
}
