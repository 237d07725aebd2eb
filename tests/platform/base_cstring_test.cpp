#include <gtest/gtest.h>

#include "platform/base.h"

TEST(CStringTest, SlicingClampsToTheString) {
  const CString s("beadwork");
  EXPECT_EQ(s.Left(4), "bead");
  EXPECT_EQ(s.Left(40), "beadwork");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Right(4), "work");
  EXPECT_EQ(s.Right(0), "");
  EXPECT_EQ(s.Mid(4), "work");
  EXPECT_EQ(s.Mid(2, 3), "adw");
  EXPECT_EQ(s.Mid(20, 3), "");
  EXPECT_EQ(s.Mid(-2, 3), "bea");
}

TEST(CStringTest, FindTrimReplaceTokenize) {
  CString s("  a,b;;c  ");
  s.Trim();
  EXPECT_EQ(s, "a,b;;c");
  EXPECT_EQ(s.Find(';'), 3);
  EXPECT_EQ(s.Find(";;"), 3);
  EXPECT_EQ(s.Find('z'), -1);
  EXPECT_EQ(s.ReverseFind(';'), 4);
  EXPECT_EQ(s.FindOneOf(";,"), 1);
  int pos = 0;
  std::vector<std::string> tokens;
  for (CString t = s.Tokenize(",;", pos); pos != -1; t = s.Tokenize(",;", pos)) tokens.push_back(t.str());
  EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(s.Replace(";", "--"), 2);
  EXPECT_EQ(s, "a,b----c");
  EXPECT_EQ(s.Remove('-'), 4);
  EXPECT_EQ(s, "a,bc");
}

TEST(CStringTest, FormatAndBuffer) {
  CString s;
  s.Format("%d beads, %.2f in", 1200, 2.5);
  EXPECT_EQ(s, "1200 beads, 2.50 in");
  s.AppendFormat(" %s", "long");
  EXPECT_EQ(s, "1200 beads, 2.50 in long");
  char* p = s.GetBuffer(64);
  std::strcpy(p, "short");
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 5);
}

TEST(CStringTest, CaseFollowsTheCodePage) {
  SetAnsiCodePage(1251);
  CString ru(Utf8ToCodePage("Бисер ёлка", 1251));
  ru.MakeUpper();
  EXPECT_EQ(CodePageToUtf8(ru.str(), 1251), "БИСЕР ЁЛКА");
  EXPECT_EQ(ru.CompareNoCase(Utf8ToCodePage("бисер ЁЛКА", 1251).c_str()), 0);
  SetAnsiCodePage(1252);
  CString en(Utf8ToCodePage("Perlé", 1252));
  en.MakeUpper();
  EXPECT_EQ(CodePageToUtf8(en.str(), 1252), "PERLÉ");
  SetAnsiCodePage(1251);
}

TEST(CodePageTest, CyrillicSurvivesTheRoundTrip) {
  const std::string utf8 = "Съешь же ещё этих мягких французских булок";
  const std::string cp = Utf8ToCodePage(utf8, 1251);
  EXPECT_EQ(cp.size(), 42u);  // one byte per character
  EXPECT_EQ(CodePageToUtf8(cp, 1251), utf8);
}

TEST(CodePageTest, UnmappableAndInvalidBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCodePage("a€b", 1251), std::string("a\x88" "b"));  // the euro sign exists in 1251
  EXPECT_EQ(Utf8ToCodePage("a\xE4\xB8\xAD" "b", 1252), "a?b");            // a CJK letter does not
  EXPECT_EQ(Utf8ToCodePage("a\xFF" "b", 1252), "a?b");                    // broken UTF-8
}

TEST(GeometryTest, RectIntersectionAndUnion) {
  CRect a(0, 0, 10, 10), b(5, 5, 20, 20), out;
  EXPECT_TRUE(out.IntersectRect(&a, &b));
  EXPECT_EQ(out, CRect(5, 5, 10, 10));
  EXPECT_FALSE(out.IntersectRect(&a, CRect(10, 0, 12, 5)));
  EXPECT_TRUE(out.IsRectNull());
  EXPECT_TRUE(out.UnionRect(&a, &b));
  EXPECT_EQ(out, CRect(0, 0, 20, 20));
  EXPECT_TRUE(a.PtInRect(CPoint(0, 9)));
  EXPECT_FALSE(a.PtInRect(CPoint(10, 5)));
}
