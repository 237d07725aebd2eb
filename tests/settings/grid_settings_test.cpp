#include <gtest/gtest.h>

#include <vector>

#include "core/ByteStream.h"
#include "settings/GridSettings.h"
#include "settings_test_util.h"

using settings_test::Bytes;

TEST(GridSettingsTest, DefaultsAndStoredFormAreByteExact) {
  const CGridSettings defaults;
  EXPECT_EQ(defaults.m_showGrid, 0);
  EXPECT_EQ(defaults.m_step, 10);
  EXPECT_EQ(defaults.m_color, RGB(255, 0, 0));
  EXPECT_EQ(defaults.m_screenWidth, 1);
  EXPECT_EQ(defaults.m_pdfWidth, 2);

  CGridSettings g;
  g.m_showGrid = 1;
  g.m_step = 5;
  g.m_color = RGB(0x10, 0x20, 0x30);
  g.m_screenWidth = 3;
  g.m_pdfWidth = -4;
  const std::vector<BYTE> golden = {1, 5, 0, 0, 0, 0x10, 0x20, 0x30, 0, 3, 0, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF};
  BYTE bytes[CGridSettings::kStoredSize];
  g.WriteToBytes(bytes);
  EXPECT_EQ(std::vector<BYTE>(bytes, bytes + sizeof bytes), golden);

  CGridSettings r;
  ASSERT_TRUE(r.LoadFromBytes(golden.data(), golden.size()));
  EXPECT_EQ(r, g);
  r.WriteToBytes(bytes);
  EXPECT_EQ(std::vector<BYTE>(bytes, bytes + sizeof bytes), golden);
}

TEST(GridSettingsTest, ShortValueGivesDefaultsLongerOneIsReadFromItsFirst17Bytes) {
  const std::vector<BYTE> golden = Bytes().u8(1).i32(7).i32(0x00FF00).i32(2).i32(3).b;
  ASSERT_EQ(golden.size(), 17u);
  for (size_t n = 0; n < golden.size(); ++n) {
    SCOPED_TRACE(n);
    CGridSettings g;
    g.m_showGrid = 1;
    g.m_step = 99;
    EXPECT_FALSE(g.LoadFromBytes(golden.data(), n));
    EXPECT_EQ(g, CGridSettings());
  }
  std::vector<BYTE> twenty = golden;
  twenty.insert(twenty.end(), {0xAA, 0xBB, 0xCC});
  CGridSettings g;
  ASSERT_TRUE(g.LoadFromBytes(twenty.data(), twenty.size()));
  EXPECT_EQ(g.m_showGrid, 1);
  EXPECT_EQ(g.m_step, 7);
  EXPECT_EQ(g.m_color, 0x00FF00u);
  EXPECT_EQ(g.m_screenWidth, 2);
  EXPECT_EQ(g.m_pdfWidth, 3);
}

TEST(GridSettingsTest, StepBelowOneBeadIsPutBackToItsDefault) {
  for (int step : {0, -3}) {
    const std::vector<BYTE> bytes = Bytes().u8(1).i32(step).i32(255).i32(1).i32(2).b;
    CGridSettings g;
    ASSERT_TRUE(g.LoadFromBytes(bytes.data(), bytes.size()));
    EXPECT_EQ(g.m_step, 10);
    EXPECT_EQ(g.m_showGrid, 1);
  }
}

TEST(GridSettingsTest, ReadFromALongerRecordLeavesTheStreamAfterTheFiveFields) {
  // Older design files carry the five fields at the head of a longer record.
  std::vector<BYTE> bytes = Bytes().u8(0).i32(4).i32(1).i32(1).i32(1).zeros(30).b;
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()), 0);
  CGridSettings g;
  ASSERT_TRUE(g.Read(s));
  EXPECT_EQ(s.GetPosition(), 17);
  EXPECT_EQ(g.m_step, 4);
}

TEST(GridSettingsTest, ApplicationRegistersItsRecord) {
  CGridSettings mine;
  SetGridSettings(&mine);
  EXPECT_EQ(&GetGridSettings(), &mine);
  SetGridSettings(nullptr);
  EXPECT_NE(&GetGridSettings(), &mine);
}
