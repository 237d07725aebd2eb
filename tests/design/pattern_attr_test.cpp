// Design attributes and the chart symbol set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/ByteStream.h"
#include "design/PatternAttr.h"

TEST(PatternAttr, StoredFormAndRoundTrip) {
  CPatternAttr empty;
  EXPECT_EQ(empty.GetStoredSize(), 70);
  std::vector<BYTE> buf(70, 0xEE);
  CByteStream w(buf.data(), 70);
  ASSERT_TRUE(empty.Write(w));
  EXPECT_TRUE(std::all_of(buf.begin(), buf.end(), [](BYTE b) { return b == 0; }));

  CPatternAttr a;
  a.Author() = "Ann";
  a.Comments() = "line";
  ASSERT_EQ(a.GetStoredSize(), 70 + 3 + 4);
  std::vector<BYTE> buf2(static_cast<size_t>(a.GetStoredSize()));
  CByteStream w2(buf2.data(), a.GetStoredSize());
  ASSERT_TRUE(a.Write(w2));
  CPatternAttr b;
  CByteStream r(buf2.data(), a.GetStoredSize());
  ASSERT_TRUE(b.Read(r));
  EXPECT_EQ(a, b);
  // A short read empties all six.
  CByteStream shortRead(buf2.data(), a.GetStoredSize() - 1);
  EXPECT_FALSE(b.Read(shortRead));
  EXPECT_TRUE(b.Author().IsEmpty());
  CByteStream shortWrite(buf2.data(), 10);
  EXPECT_FALSE(a.Write(shortWrite));
}

TEST(SymbolSet, DefaultsAndCodeOrder) {
  CSymbolSet s;
  EXPECT_EQ(s.m_name, "<Predefined>");
  EXPECT_EQ(s.m_fontName, "Arial");
  EXPECT_EQ(s.m_charSet, DEFAULT_CHARSET);
  ASSERT_EQ(s.m_codes.size(), 256u);
  EXPECT_EQ(s.GetStoredSize(), 1066);
  for (DWORD i = 0; i < 9; ++i) EXPECT_EQ(s.m_codes[i], 49 + i);
  EXPECT_EQ(s.m_codes[9], 65u);
  EXPECT_EQ(s.m_codes.back(), 255u);
  const auto pos = [&](DWORD code) { return std::find(s.m_codes.begin(), s.m_codes.end(), code) - s.m_codes.begin(); };
  EXPECT_GE(pos(79), 59);   // O and o only in the tail
  EXPECT_GE(pos(111), 59);
  EXPECT_LT(pos(78), pos(79));
  EXPECT_LT(pos(79), pos(111));
  EXPECT_EQ(s.m_codes[59], 0u);  // the tail starts with 0
  std::vector<DWORD> sorted = s.m_codes;
  std::sort(sorted.begin(), sorted.end());
  for (DWORD i = 0; i < 256; ++i) EXPECT_EQ(sorted[i], i);
}

TEST(SymbolSet, StoredFormRoundTripAndFailures) {
  CSymbolSet s;
  s.m_name = "Mine";
  s.m_fontName = "Symbol";
  s.m_charSet = SYMBOL_CHARSET;
  s.m_bold = 1;
  s.m_codes = {65, 66, 0x2665};
  std::vector<BYTE> buf(static_cast<size_t>(s.GetStoredSize()));
  CByteStream w(buf.data(), static_cast<int>(buf.size()));
  ASSERT_TRUE(s.Write(w));
  EXPECT_EQ(w.GetRemaining(), 0);
  CSymbolSet t;
  CByteStream r(buf.data(), static_cast<int>(buf.size()));
  ASSERT_TRUE(t.Read(r));
  EXPECT_EQ(s, t);
  CByteStream shortRead(buf.data(), static_cast<int>(buf.size()) - 1);
  EXPECT_FALSE(t.Read(shortRead));
  // A count far beyond the bytes left fails before allocating.
  const size_t countAt = 5 + 7 + 3;
  std::memset(&buf[countAt], 0xFF, 4);
  CByteStream huge(buf.data(), static_cast<int>(buf.size()));
  EXPECT_FALSE(t.Read(huge));
}

TEST(SymbolSet, LogFont) {
  CSymbolSet s;
  LOGFONT lf;
  std::memset(&lf, 0x55, sizeof(lf));
  s.GetLogFont(lf);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfWeight, 0);
  EXPECT_EQ(lf.lfHeight, 0);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  lf.lfWeight = 400;
  s.SetLogFont(lf);
  EXPECT_EQ(s.m_bold, 0);
  lf.lfWeight = 401;
  lf.lfItalic = 7;
  std::strcpy(lf.lfFaceName, "Courier New");
  lf.lfCharSet = SYMBOL_CHARSET;
  s.SetLogFont(lf);
  EXPECT_EQ(s.m_bold, 1);
  EXPECT_EQ(s.m_italic, 1);
  EXPECT_EQ(s.m_fontName, "Courier New");
  s.GetLogFont(lf);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfCharSet, SYMBOL_CHARSET);
  // A face name that fills the whole field is taken without running past it.
  std::memset(lf.lfFaceName, 'A', sizeof(lf.lfFaceName));
  s.SetLogFont(lf);
  EXPECT_EQ(s.m_fontName.GetLength(), 32);
  s.GetLogFont(lf);
  EXPECT_EQ(lf.lfFaceName[31], 0);
}
