#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

#include "pdflib/lib/codepage.h"

namespace {

// The character of one byte as iconv knows it, or 0.
char32_t Iconv(unsigned char b, const char* codePage) {
  iconv_t cd = iconv_open("UTF-32LE", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char in[1] = {static_cast<char>(b)};
  unsigned char out[4] = {};
  char* ip = in;
  char* op = reinterpret_cast<char*>(out);
  size_t il = 1, ol = 4;
  const size_t r = iconv(cd, &ip, &il, &op, &ol);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return 0;
  return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
}

}  // namespace

TEST(CodePageTest, TablesAgreeWithIconvBothWays) {
  for (int cp : {1251, 1252}) {
    const std::string name = "CP" + std::to_string(cp);
    for (int b = 1; b < 256; ++b) {
      const char32_t u = qmpdf::CodePageToUnicode(static_cast<unsigned char>(b), cp);
      EXPECT_EQ(u, Iconv(static_cast<unsigned char>(b), name.c_str())) << cp << " byte " << b;
      if (u) {
        EXPECT_EQ(qmpdf::UnicodeToCodePage(u, cp), b) << cp << " byte " << b;
      }
    }
  }
  EXPECT_EQ(qmpdf::UnicodeToCodePage(0x0416, 1252), -1);  // Ж has no place in 1252
  EXPECT_EQ(qmpdf::CodePageToUtf8("\xc6\xe5\xeb\xf2\xfb\xe9", 1251), "Желтый");
  EXPECT_EQ(qmpdf::CodePageToUtf8("Caf\xe9 \x80", 1252), "Caf\xc3\xa9 \xe2\x82\xac");
}

TEST(CodePageTest, InterfaceCodePageTakesOnly1251And1252) {
  const int before = qmpdf::InterfaceCodePage();
  EXPECT_TRUE(qmpdf::SetInterfaceCodePage(1251));
  EXPECT_EQ(qmpdf::InterfaceCodePage(), 1251);
  EXPECT_FALSE(qmpdf::SetInterfaceCodePage(65001));
  EXPECT_EQ(qmpdf::InterfaceCodePage(), 1251);
  qmpdf::SetInterfaceCodePage(before);
}
