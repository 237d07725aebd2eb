#include <gtest/gtest.h>

#include <vector>

#include "core/Registry.h"

namespace {
void StoreLanguage(const BYTE* data, DWORD size, DWORD type) {
  CRegistryKey key = CRegistryKey::Create(g_szMakerKey, HKEY_CURRENT_USER);
  ASSERT_TRUE(key.SetValue(g_szLanguageValue, data, size, type));
}
}  // namespace

TEST(RegistryKeyTest, LanguageFlagFollowsTheStoredValue) {
  SetRussianInterface(true);
  LoadLanguageFlag();  // no value: stays Russian
  EXPECT_TRUE(IsRussianInterface());
  EXPECT_EQ(GetAnsiCodePage(), 1251u);

  struct Case {
    DWORD value;
    bool russian;
  };
  for (const Case c : {Case{0, false}, Case{1, true}, Case{7, true}, Case{0, false}}) {
    const DWORD v = c.value;
    StoreLanguage(reinterpret_cast<const BYTE*>(&v), 4, REG_DWORD);
    LoadLanguageFlag();
    EXPECT_EQ(IsRussianInterface(), c.russian) << c.value;
    EXPECT_EQ(IsEnglishInterface(), !c.russian);
    EXPECT_EQ(GetAnsiCodePage(), c.russian ? 1251u : 1252u);
  }
  // English now; a value that is not 4 bytes long is not a language.
  const BYTE one = 1;
  StoreLanguage(&one, 1, REG_BINARY);
  LoadLanguageFlag();
  EXPECT_TRUE(IsEnglishInterface());

  CString title, link;
  GetProductTitle(title);
  GetWebSiteLink(link);
  EXPECT_EQ(title, "Quillmere freeware");
  EXPECT_EQ(link, "https://quillmere.example.org/");
  SetRussianInterface(true);
  GetProductTitle(title);
  EXPECT_EQ(CodePageToUtf8(title.str(), 1251), "Квиллмир (бесплатная версия)");
}

TEST(RegistryKeyTest, ClearingTheLayerEditorNoteStoresOneNul) {
  ASSERT_FALSE(CRegistryKey::Open(g_szMarlowispKey, HKEY_CURRENT_USER).IsOpen());
  ASSERT_TRUE(WriteLatestMarlowispDesignFileName("/home/u/rose.tsw"));
  ASSERT_TRUE(ClearLatestMarlowispDesignFileName());
  const CRegistryKey key = CRegistryKey::Open(HKEY_CURRENT_USER, g_szMarlowispKey);
  ASSERT_TRUE(key.IsOpen());
  DWORD size = 0;
  ASSERT_TRUE(key.GetValueSize(g_szLatestMarlowispValue, size));
  EXPECT_EQ(size, 1u);
  DWORD type = 0;
  BYTE byte = 0xFF;
  DWORD got = 1;
  EXPECT_EQ(RegQueryValueEx(key.GetHandle(), g_szLatestMarlowispValue, nullptr, &type, &byte, &got), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(byte, 0);
}

TEST(RegistryKeyTest, ClosedAndMissingKeysFailQuietly) {
  CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  ASSERT_TRUE(key.IsOpen());
  DWORD size = 1234;
  EXPECT_FALSE(key.GetValueSize("NoSuchRecord", size));
  EXPECT_EQ(size, 1234u);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS);
  BYTE buf[4];
  EXPECT_FALSE(key.ReadValue("x", buf, sizeof buf));
  EXPECT_FALSE(key.QueryValue("x", buf, sizeof buf));
  EXPECT_FALSE(key.SetValue("x", buf, sizeof buf, REG_BINARY));
  DWORD d = 9;
  EXPECT_FALSE(key.ReadDword("x", d));
  EXPECT_EQ(d, 9u);
  const CRegistryKey missing = CRegistryKey::Open("SoftWare\\Corvandel\\Nothing", HKEY_CURRENT_USER);
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_FALSE(missing.GetValueSize("x", size));
}

TEST(RegistryKeyTest, ProgramValuesRoundTripScrambled) {
  const std::vector<BYTE> record = {0x00, 0x95, 0xFF, 0x10, 'a'};
  ASSERT_TRUE(WriteProgramBinaryValue("WizardData16Jule2010", record, true));
  std::vector<BYTE> raw, back;
  ASSERT_TRUE(ReadProgramBinaryValue("WizardData16Jule2010", raw));
  EXPECT_EQ(raw, (std::vector<BYTE>{0x6B, 0x00, 0x6A, 0x7B, 'a' + 0x6B}));
  ASSERT_TRUE(ReadProgramBinaryValue("WizardData16Jule2010", back, true));
  EXPECT_EQ(back, record);
  EXPECT_FALSE(ReadProgramBinaryValue("Missing", back));
  EXPECT_TRUE(back.empty());

  ASSERT_TRUE(WriteProgramStringValue("CWiz_2B_SelectPalette_PriorPalette_15_nov", "/p/Mill Hill.pal"));
  CString path;
  ASSERT_TRUE(ReadProgramStringValue("CWiz_2B_SelectPalette_PriorPalette_15_nov", path));
  EXPECT_EQ(path, "/p/Mill Hill.pal");
  DWORD size = 0;
  EXPECT_TRUE(CRegistryKey::Open(g_szProgramKey, HKEY_CURRENT_USER)
                  .GetValueSize("CWiz_2B_SelectPalette_PriorPalette_15_nov", size));
  EXPECT_EQ(size, 17u);
}
