// Number and text helpers.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "core/FileUtils.h"
#include "core/TextUtils.h"
#include "platform/base/codepage.h"

TEST(TextUtils, GroupedNumbers) {
  EXPECT_EQ(FormatGroupedNumber(1234567, ','), "1,234,567");
  EXPECT_EQ(FormatGroupedNumber(123, ','), "123");
  EXPECT_EQ(FormatGroupedNumber(1000, ' '), "1 000");
  EXPECT_EQ(FormatGroupedNumber(0, ' '), "0");
  EXPECT_EQ(FormatGroupedNumber(100000, ' '), "100 000");
  EXPECT_EQ(FormatGroupedNumber(5000000000ULL, ','), "5,000,000,000");
  CString out;
  FormatGroupedNumber(out, 12345, ' ');
  EXPECT_EQ(out, "12 345");
}

TEST(TextUtils, TrimDecimalZerosDropsTrailingZerosOnly) {
  const char* cases[][2] = {
      {"12.50", "12.5"}, {"12.00", "12.0"}, {"0.10500", "0.105"}, {"1.2304", "1.2304"}, {"12.05", "12.05"},
      {"5", "5"},        {".50", ".50"},    {"12.0", "12.0"},     {"12.", "12."},       {"100.000", "100.0"},
  };
  for (const auto& c : cases) {
    CString text(c[0]);
    TrimDecimalZeros(text);
    EXPECT_EQ(text, c[1]) << c[0];
  }
}

TEST(TextUtils, Rounding) {
  EXPECT_EQ(RoundToInt(0.5f), 1);
  EXPECT_EQ(RoundToInt(-0.5f), -1);
  EXPECT_EQ(RoundToInt(0.49f), 0);
  EXPECT_EQ(RoundToInt(2.5f), 3);
  EXPECT_EQ(RoundToInt(-2.4f), -2);
  EXPECT_EQ(RoundToInt(3e9f), INT_MAX);
  EXPECT_EQ(RoundToInt(-3e9f), INT_MIN);
}

TEST(TextUtils, CompareStringsUsesSignedBytes) {
  EXPECT_EQ(CompareStrings("ab", "abc"), -1);
  EXPECT_EQ(CompareStrings("abc", "ab"), 1);
  EXPECT_EQ(CompareStrings("ab", "ab"), 0);
  EXPECT_EQ(CompareStrings("\xE0z", "a"), -1);  // 0xE0 is negative as a signed byte
  EXPECT_EQ(CompareStrings("b", "a"), 1);
  EXPECT_EQ(CompareStrings(nullptr, ""), 0);
}

TEST(TextUtils, ParsingAndBlanks) {
  EXPECT_TRUE(IsBlankString(""));
  EXPECT_TRUE(IsBlankString("   "));
  EXPECT_FALSE(IsBlankString(" a "));
  EXPECT_EQ(ParseIntIgnoringSpaces(""), 0);
  EXPECT_EQ(ParseIntIgnoringSpaces("1 234 567"), 1234567);
  EXPECT_EQ(ParseIntIgnoringSpaces("-12"), -12);
  EXPECT_EQ(ParseIntIgnoringSpaces("99999999999"), INT_MAX);
  EXPECT_EQ(ParseIntIgnoringSpaces(std::string(100, '1').c_str()), INT_MAX);
  EXPECT_DOUBLE_EQ(ParseFloat("2.54"), 2.54);
  EXPECT_EQ(ParseFloat("abc"), 0.0);
}

TEST(TextUtils, LocalizeBuildDate) {
  CString date("Aug 14 2016");
  LocalizeBuildDate(date);
  EXPECT_EQ(CodePageToUtf8(date.str(), 1251), "14 Августа 2016");
  CString lower("aug 14 2016");
  LocalizeBuildDate(lower);
  EXPECT_EQ(lower, "aug 14 2016");
  CString partial("Aug 14");
  LocalizeBuildDate(partial);
  EXPECT_EQ(partial, "Aug 14");
  CString longWord("Augustissimusmaximus 1 2");
  LocalizeBuildDate(longWord);
  EXPECT_EQ(longWord, "Augustissimusmaximus 1 2");
}

TEST(TextUtils, UuidText) {
  GUID g{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  CString text;
  UuidToCString(g, text);
  EXPECT_EQ(text, "01234567-89ab-cdef-0123-456789abcdef");
  EXPECT_EQ(CopyString(text), text);
}

TEST(TextUtils, RoundToIntHalvesAwayFromZeroAndClamps) {
  EXPECT_EQ(RoundToInt(2.5), 3);
  EXPECT_EQ(RoundToInt(-2.5), -3);
  EXPECT_EQ(RoundToInt(2.4999), 2);
  EXPECT_EQ(RoundToInt(-0.4), 0);
  EXPECT_EQ(RoundToInt(0.49999999999999994), 0);
  EXPECT_EQ(RoundToInt(1e300), INT_MAX);
  EXPECT_EQ(RoundToInt(-1e300), INT_MIN);
  EXPECT_EQ(RoundToInt(std::numeric_limits<double>::quiet_NaN()), 0);
}
