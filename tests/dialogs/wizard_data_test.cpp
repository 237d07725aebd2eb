// The wizard's record: its stored bytes, read back, and damaged records.
#include <gtest/gtest.h>

#include "core/ByteStream.h"
#include "core/Registry.h"
#include "dialogs/WizardData.h"
#include "tests/common/test_util.h"

namespace {

CWizardData SampleRecord() {
  CWizardData d;
  d.m_projectType = 1;
  d.m_picturePath = "/pics/cat.jpg";
  d.m_palettePath = "/pal/delica.pal";
  d.m_existingDesignPath = "";
  d.m_params.m_width = 4.5;
  d.m_params.m_height = 3.25;
  d.m_params.m_beadWidth = 0.0625;
  d.m_params.m_beadHeight = 0.075;
  d.m_params.m_spacer = 0.01;
  d.m_params.m_format = 10;
  d.m_params.m_stitchPath = 4;
  d.m_params.m_colorMode = 0;
  d.m_params.m_pathColor = 2;
  d.m_params.m_blank = 1;
  d.m_params.m_lastByte = 1;
  d.m_proportionate = 0;
  d.m_pictureWidth = 640;
  d.m_pictureHeight = 480;
  d.m_rulerUnit = 2;
  d.m_designIn = 1;
  d.m_blankColor = 0x00FF8040;
  d.m_borderColor = -1;
  return d;
}

qmtest::Bytes SampleBytes() {
  qmtest::Bytes b;
  b.u32(1).str("/pics/cat.jpg").str("/pal/delica.pal").str("");
  b.f64(4.5).f64(3.25).f64(0.0625).f64(0.075).f64(0.01).i32(10).i32(4).i32(2).i32(0).u8(1).u8(1).zeros(32);
  b.u8(0).i32(2).i32(1).i32(0x00FF8040).i32(-1).zeros(64);
  return b;
}

}  // namespace

TEST(WizardData, DefaultsAreTheFirstWizardsValues) {
  CWizardData d;
  EXPECT_EQ(d.m_projectType, 0);
  EXPECT_EQ(d.m_proportionate, 1);
  EXPECT_EQ(d.m_rulerUnit, 0);
  EXPECT_EQ(d.m_designIn, 0);
  EXPECT_EQ(d.m_blankColor, 0xFFFFFF);
  EXPECT_EQ(d.m_borderColor, 0);
  EXPECT_EQ(d.m_pictureWidth, 0);
  EXPECT_EQ(d.m_pictureHeight, 0);
  EXPECT_EQ(d.m_params, CPatternParams());
}

TEST(WizardData, StoredBytesAndSize) {
  const CWizardData d = SampleRecord();
  // The three texts with their NULs + 90 + 85.
  EXPECT_EQ(d.GetStreamSize(), 14 + 16 + 1 + 90 + 85);
  std::vector<BYTE> bytes;
  ASSERT_TRUE(d.WriteToBytes(bytes));
  EXPECT_EQ(bytes, SampleBytes().b);
  // Every write stops at a shortfall.
  std::vector<BYTE> small(bytes.size() - 1);
  CByteStream s(small.data(), static_cast<int>(small.size()));
  EXPECT_FALSE(d.Write(s));
}

TEST(WizardData, RegistryRecordIsScrambledAndReadBack) {
  const CWizardData d = SampleRecord();
  ASSERT_TRUE(d.SaveToRegistry());
  std::vector<BYTE> raw;
  ASSERT_TRUE(ReadProgramBinaryValue(CWizardData::kValueName, raw));
  const auto plain = SampleBytes().b;
  ASSERT_EQ(raw.size(), plain.size());
  for (size_t i = 0; i < raw.size(); ++i) ASSERT_EQ(raw[i], static_cast<BYTE>(plain[i] + 0x6B)) << i;

  CWizardData back;
  ASSERT_TRUE(back.LoadFromRegistry());
  EXPECT_EQ(back.m_projectType, 1);
  EXPECT_EQ(back.m_picturePath, CString("/pics/cat.jpg"));
  EXPECT_EQ(back.m_palettePath, CString("/pal/delica.pal"));
  EXPECT_EQ(back.m_existingDesignPath, CString(""));
  EXPECT_EQ(back.m_proportionate, 0);
  EXPECT_EQ(back.m_rulerUnit, 2);
  EXPECT_EQ(back.m_designIn, 1);
  EXPECT_EQ(back.m_blankColor, 0x00FF8040);
  EXPECT_EQ(back.m_borderColor, -1);
  // Not stored: the picture's size and the colour mode.
  EXPECT_EQ(back.m_pictureWidth, 0);
  EXPECT_EQ(back.m_pictureHeight, 0);
  CPatternParams expected = d.m_params;
  expected.m_colorMode = 3;
  EXPECT_EQ(back.m_params, expected);
}

TEST(WizardData, DamagedRecordsGiveTheDefaults) {
  const auto good = SampleBytes().b;
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"without the reserved bytes", std::vector<BYTE>(good.begin(), good.end() - 64)});
  cases.push_back({"one reserved byte short", std::vector<BYTE>(good.begin(), good.end() - 1)});
  cases.push_back({"cut in the parameters", std::vector<BYTE>(good.begin(), good.begin() + 60)});
  std::vector<BYTE> unterminated(200, 'a');
  cases.push_back({"a text without its end", unterminated});
  std::vector<BYTE> huge = good;
  huge.resize(CWizardData::kMaxStoredSize + 1);
  cases.push_back({"over 64 KiB", huge});
  for (const Case& c : cases) {
    CWizardData d = SampleRecord();
    EXPECT_FALSE(d.LoadFromBytes(c.bytes.data(), c.bytes.size())) << c.name;
    EXPECT_EQ(d.m_projectType, 0) << c.name;
    EXPECT_TRUE(d.m_picturePath.IsEmpty()) << c.name;
    EXPECT_EQ(d.m_params, CPatternParams()) << c.name;
    EXPECT_EQ(d.m_borderColor, 0) << c.name;
  }
  // A longer record keeps what it had in front.
  std::vector<BYTE> longer = good;
  longer.push_back(7);
  CWizardData d;
  EXPECT_TRUE(d.LoadFromBytes(longer.data(), longer.size()));
  EXPECT_EQ(d.m_rulerUnit, 2);
}

TEST(WizardData, DamagedOrOversizedRegistryValueGivesTheDefaults) {
  // A short record.
  ASSERT_TRUE(WriteProgramBinaryValue(CWizardData::kValueName, std::vector<BYTE>(10, 0x6B)));
  CWizardData d = SampleRecord();
  EXPECT_FALSE(d.LoadFromRegistry());
  EXPECT_EQ(d.m_projectType, 0);
  EXPECT_EQ(d.m_rulerUnit, 0);
  // A value larger than any record is refused before it is read.
  std::vector<BYTE> huge = SampleBytes().b;
  huge.resize(CWizardData::kMaxStoredSize + 16);
  ASSERT_TRUE(WriteProgramBinaryValue(CWizardData::kValueName, huge, true));
  d = SampleRecord();
  EXPECT_FALSE(d.LoadFromRegistry());
  EXPECT_EQ(d.m_projectType, 0);
  // No value at all.
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  RegDeleteValue(key.GetHandle(), CWizardData::kValueName);
  d = SampleRecord();
  EXPECT_FALSE(d.LoadFromRegistry());
  EXPECT_EQ(d.m_designIn, 0);
}
