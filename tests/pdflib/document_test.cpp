#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "pdflib/pdflib.h"
#include "tests/pdflib/doc_helpers.h"
#include "tests/pdflib/pdf_tools.h"

using qmtest::ErrorNumberOf;
using qmtest::PdfInfo;

TEST(PdfDocumentTest, PagesSizesRotationAndCyrillicInformation) {
  qmtest::CodePageScope russian(1251);
  const auto path = qmtest::PdfPath("pages");
  {
    PDFlib p;
    // Kept before the document begins, in the interface code page.
    p.set_info("Title", "\xd1\xf5\xe5\xec\xe0 \xe1\xe8\xf1\xe5\xf0\xe0");  // Схема бисера
    p.set_info("Author", "\xc0\xed\xed\xe0");                              // Анна
    p.set_info("Creator", "Quillmere");
    p.set_info("Subject", "Loom");
    p.set_info("Keywords", "beads");
    ASSERT_EQ(p.begin_document(path.string(), ""), 1);
    const int font = p.load_font("Arial", "cp1251", "");
    // Three pages begun and suspended, then resumed and ended in order, as charts are written.
    p.begin_page_ext(595, 842, "");
    p.suspend_page("");
    p.begin_page_ext(0, 0, "width=842 height=595");
    p.suspend_page("");
    p.begin_page_ext(595, 842, "");
    p.suspend_page("");
    for (int n = 1; n <= 3; ++n) {
      p.resume_page("pagenumber " + std::to_string(n));
      p.setfont(font, 10);
      p.fit_textline("Page " + std::to_string(n), 20, 20, n == 3 ? "rotate=90" : "");
      p.end_page_ext(n == 3 ? "rotate=90" : "");
    }
    p.end_document("");
  }
  EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
  EXPECT_EQ(PdfInfo(path, "Pages"), "3");
  EXPECT_EQ(PdfInfo(path, "Title"), "Схема бисера");
  EXPECT_EQ(PdfInfo(path, "Author"), "Анна");
  EXPECT_EQ(PdfInfo(path, "Creator"), "Quillmere");
  EXPECT_EQ(PdfInfo(path, "Subject"), "Loom");
  EXPECT_EQ(PdfInfo(path, "Keywords"), "beads");
  EXPECT_EQ(PdfInfo(path, "size", 1).substr(0, 13), "595 x 842 pts");
  EXPECT_EQ(PdfInfo(path, "size", 2).substr(0, 13), "842 x 595 pts");
  EXPECT_EQ(PdfInfo(path, "rot", 1), "0");
  EXPECT_EQ(PdfInfo(path, "rot", 2), "0");
  EXPECT_EQ(PdfInfo(path, "rot", 3), "90");
  const std::string text = qmtest::PdfText(path);
  EXPECT_LT(text.find("Page 1"), text.find("Page 2"));
  EXPECT_LT(text.find("Page 2"), text.find("Page 3"));
}

TEST(PdfDocumentTest, TextInBothEncodingsAndWidthsAsDrawn) {
  const auto path = qmtest::PdfPath("text");
  double width = 0;
  {
    PDFlib p;
    p.begin_document(path.string(), "");
    p.begin_page_ext(595, 842, "");
    const int latin = p.load_font("Times New Roman", "winansi", "");
    const int cyrillic = p.load_font("Tahoma", "cp1251", "");
    EXPECT_EQ(p.load_font("Times New Roman", "winansi", ""), latin) << "a font is loaded once";
    p.setfont(latin, 12);
    p.show_xy("Caf\xe9 cr\xe8me \x80 5", 50, 700);
    width = p.stringwidth("Caf\xe9", latin, 12);
    p.setfont(cyrillic, 12);
    p.show_xy("\xc1\xe8\xf1\xe5\xf0 \xe8 \xf1\xf2\xe5\xea\xeb\xff\xf0\xf3\xf1", 50, 680);  // Бисер и стеклярус
    p.show_xy(std::string("No\0Nul", 6), 50, 660);
    EXPECT_EQ(p.stringwidth(std::string("a\0", 2), cyrillic, 12), p.stringwidth("a", cyrillic, 12));
    p.end_page_ext("");
    p.end_document("");
  }
  ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
  const std::string text = qmtest::PdfText(path);
  EXPECT_NE(text.find("Café crème € 5"), std::string::npos) << text;
  EXPECT_NE(text.find("Бисер и стеклярус"), std::string::npos) << text;
  EXPECT_NE(text.find("NoNul"), std::string::npos) << text;
  // The word's box as the reader computes it from the drawn advances.
  const std::string bbox = qmtest::RunCommand("pdftotext -bbox " + qmtest::Quote(path) + " -");
  const std::size_t at = bbox.find(">Café<");
  ASSERT_NE(at, std::string::npos) << bbox;
  const std::size_t line = bbox.rfind("<word", at);
  double xMin = 0, xMax = 0;
  ASSERT_EQ(std::sscanf(bbox.c_str() + line, "<word xMin=\"%lf\" yMin=\"%*f\" xMax=\"%lf\"", &xMin, &xMax), 2);
  EXPECT_NEAR(xMax - xMin, width, 0.01);
}

TEST(PdfDocumentTest, ProtectionRemovesExactlyTheGivenRights) {
  struct Case {
    const char* options;
    const char* user;  // password needed to open, "" when none
    bool print, modify, copy;
  } cases[] = {
      {"masterpassword=m userpassword=u permissions={noprint nomodify nocopy }", "u", false, false, false},
      {"masterpassword=m permissions={nocopy }", "", true, true, false},
      {"masterpassword=m permissions={noprint }", "", false, true, true},
      {"masterpassword=Secret userpassword=open permissions={nomodify }", "open", true, false, true},
  };
  for (const Case& c : cases) {
    const auto path = qmtest::PdfPath("protect");
    {
      PDFlib p;
      ASSERT_EQ(p.begin_document(path.string(), c.options), 1);
      p.begin_page_ext(200, 200, "");
      p.end_page_ext("");
      p.end_document("");
    }
    EXPECT_TRUE(qmtest::QpdfCheckPasses(path, c.user)) << c.options;
    int rc = 0;
    const std::string json =
        qmtest::RunCommand("qpdf --json --json-key=encrypt " + (std::string(c.user).empty() ? "" : "--password=" + std::string(c.user) + " ") +
                               qmtest::Quote(path),
                           &rc);
    auto has = [&](const std::string& s) { return json.find(s) != std::string::npos; };
    EXPECT_TRUE(has("\"bits\": 128") && has("\"method\": \"RC4\"") && has("\"R\": 3")) << json;
    EXPECT_TRUE(has(std::string("\"printhigh\": ") + (c.print ? "true" : "false"))) << c.options;
    EXPECT_TRUE(has(std::string("\"printlow\": ") + (c.print ? "true" : "false"))) << c.options;
    EXPECT_TRUE(has(std::string("\"modifyother\": ") + (c.modify ? "true" : "false"))) << c.options;
    EXPECT_TRUE(has(std::string("\"extract\": ") + (c.copy ? "true" : "false"))) << c.options;
    // Rights not named stay.
    EXPECT_TRUE(has("\"modifyannotations\": true") && has("\"modifyassembly\": true") && has("\"accessibility\": true"));
    if (*c.user) {
      qmtest::RunCommand("qpdf --check " + qmtest::Quote(path), &rc);
      EXPECT_NE(rc, 0) << "opening needs the user password";
    }
  }
  // An empty list: no encryption at all.
  const auto plain = qmtest::PdfPath("plain");
  {
    PDFlib p;
    p.begin_document(plain.string(), "");
    p.begin_page_ext(200, 200, "");
    p.end_page_ext("");
    p.end_document("");
  }
  EXPECT_NE(qmtest::RunCommand("qpdf --show-encryption " + qmtest::Quote(plain)).find("File is not encrypted"),
            std::string::npos);
  // Lists that cannot protect anything are refused before the file is made.
  for (const char* bad : {"permissions={nocopy}", "userpassword=u", "masterpassword=x userpassword=x"}) {
    PDFlib p;
    const auto path = qmtest::PdfPath("refused");
    EXPECT_EQ(ErrorNumberOf([&] { p.begin_document(path.string(), bad); }), 2200) << bad;
    EXPECT_FALSE(std::filesystem::exists(path)) << bad;
  }
}

TEST(PdfDocumentTest, FilesAreMadeAtOnceAndWrittenOnlyWhenEnded) {
  {
    PDFlib p;
    EXPECT_EQ(p.begin_document("/no/such/folder/x.pdf", ""), -1);
    EXPECT_EQ(p.begin_document("", ""), -1);
  }
  // Backslashes separate folders; the name is in the interface code page.
  const auto dir = qmtest::MakeTempDir("pdf-names");
  {
    PDFlib p;
    ASSERT_EQ(p.begin_document((dir.string() + "\\Caf\xe9.pdf"), ""), 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "Café.pdf"));
    p.begin_page_ext(100, 100, "");
    p.end_page_ext("");
    p.end_document("");
  }
  EXPECT_TRUE(qmtest::QpdfCheckPasses(dir / "Café.pdf"));

  // A document that is not ended leaves its file empty.
  const auto unended = qmtest::PdfPath("unended");
  {
    PDFlib p;
    p.begin_document(unended.string(), "");
    p.begin_page_ext(100, 100, "");
    EXPECT_EQ(std::filesystem::file_size(unended), 0u);
  }
  EXPECT_EQ(std::filesystem::file_size(unended), 0u);

  // A write that fails is an error; the object is still destroyed cleanly.
  if (std::filesystem::exists("/dev/full")) {
    PDFlib p;
    ASSERT_EQ(p.begin_document("/dev/full", ""), 1);
    p.begin_page_ext(100, 100, "");
    p.end_page_ext("");
    std::string message;
    EXPECT_EQ(ErrorNumberOf([&] { p.end_document(""); }, &message), 2100);
    EXPECT_NE(message.find("/dev/full"), std::string::npos) << message;
  }

  // Ending needs every page ended, and at least one page.
  {
    PDFlib p;
    const auto path = qmtest::PdfPath("suspended");
    p.begin_document(path.string(), "");
    EXPECT_EQ(ErrorNumberOf([&] { p.end_document(""); }), 2101);
    p.begin_page_ext(100, 100, "");
    p.suspend_page("");
    EXPECT_EQ(ErrorNumberOf([&] { p.end_document(""); }), 2101);
    EXPECT_EQ(ErrorNumberOf([&] { p.resume_page("pagenumber 2"); }), 2101);
    EXPECT_EQ(ErrorNumberOf([&] { p.resume_page(""); }), 1103);
    p.resume_page("pagenumber 1");
    p.end_page_ext("");
    EXPECT_EQ(ErrorNumberOf([&] { p.resume_page("pagenumber 1"); }), 2101);
    p.end_document("");
    EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
  }
}

TEST(PdfDocumentTest, WrongScopesStaleHandlesAndBadSizesFailWithoutEffect) {
  const auto path = qmtest::PdfPath("scopes");
  PDFlib p;
  // Object scope.
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_page_ext(100, 100, ""); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.load_font("Arial", "winansi", ""); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.end_document(""); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.set_info("Producer", "x"); }), 1104);
  EXPECT_EQ(ErrorNumberOf([&] { p.set_parameter("compress", "9"); }), 1104);
  ASSERT_EQ(p.begin_document(path.string(), ""), 1);
  // Document scope.
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_document(path.string(), ""); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.show_xy("x", 1, 1); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.rect(1, 1, 1, 1); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.create_bookmark("x", ""); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.end_page_ext(""); }), 2000);
  // Fonts, widths, flows and tables are made before any page.
  const int font = p.load_font("Arial", "winansi", "");
  EXPECT_GT(p.stringwidth("10", font, 8), 0);
  const int flow = p.create_textflow("made early", "fontname=Arial encoding=winansi fontsize=10");
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_page_ext(0, 100, ""); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_page_ext(100, NAN, ""); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_page_ext(100, 100, "width=-5"); }), 1102);
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_page_ext(100, 100000, ""); }), 2002);
  p.begin_page_ext(300, 300, "");
  // Page scope.
  EXPECT_EQ(ErrorNumberOf([&] { p.begin_page_ext(100, 100, ""); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.resume_page("pagenumber 1"); }), 2000);
  EXPECT_EQ(ErrorNumberOf([&] { p.show_xy("no font yet", 1, 1); }), 2004);
  EXPECT_EQ(ErrorNumberOf([&] { p.setfont(font + 100, 10); }), 2001);
  EXPECT_EQ(ErrorNumberOf([&] { p.setfont(font, 0); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.setfont(font, INFINITY); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.stringwidth("x", font, -1); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.setlinewidth(0); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.lineto(1, 1); }), 2003);
  EXPECT_EQ(ErrorNumberOf([&] { p.fill(); }), 2003);
  EXPECT_EQ(ErrorNumberOf([&] { p.moveto(NAN, 1); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.setcolor("fill", "cmyk", 0, 0, 0, 1); }), 1104);
  EXPECT_EQ(ErrorNumberOf([&] { p.setcolor("fill", "rgb", 1.5, 0, 0, 0); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.fit_textflow(flow, 0, 0, 0, 100, ""); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.fit_textflow(flow + 100, 0, 0, 100, 100, ""); }), 2001);
  EXPECT_EQ(ErrorNumberOf([&] { p.fit_image(1, 0, 0, ""); }), 2001);
  EXPECT_EQ(ErrorNumberOf([&] { p.fit_table(1, 0, 0, 100, 100, ""); }), 2001);
  // A textflow given to a table belongs to it.
  const int table = p.add_table_cell(-1, 1, 1, "", "textflow=" + std::to_string(flow));
  EXPECT_EQ(ErrorNumberOf([&] { p.fit_textflow(flow, 0, 0, 100, 100, ""); }), 2701);
  EXPECT_EQ(ErrorNumberOf([&] { p.add_table_cell(table, 1, 1, "x", "fittextline={font=0 fontsize=8}"); }), 2800);
  EXPECT_EQ(ErrorNumberOf([&] { p.add_table_cell(table, 0, 1, "", ""); }), 2002);
  EXPECT_EQ(ErrorNumberOf([&] { p.add_table_cell(table, 2, 1, "text", ""); }), 1103);
  p.delete_table(table, "");
  EXPECT_EQ(ErrorNumberOf([&] { p.info_table(table, "rowcount"); }), 2001);
  EXPECT_EQ(ErrorNumberOf([&] { p.add_textflow(flow, "x", ""); }), 2001) << "deleted with its table";
  // After all these failures the page and the document go on as if nothing happened.
  p.setfont(font, 12);
  p.setcolor("both", "gray", 0.2, 0, 0, 0);
  p.moveto(10, 10);
  p.lineto(200, 200);
  p.stroke();
  p.rect(20, 250, 100, -30);  // a negative height reaches downwards
  p.fill();
  p.show_xy("still writing", 20, 150);
  p.end_page_ext("");
  p.end_document("");
  EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
  EXPECT_NE(qmtest::PdfText(path).find("still writing"), std::string::npos);
  const qmtest::Pixmap pm = qmtest::Render(path, 1, 72);
  ASSERT_TRUE(pm.Ok());
  EXPECT_FALSE(pm.IsWhite(70, 300 - 235)) << "inside the rectangle below y = 250";
  EXPECT_TRUE(pm.IsWhite(70, 300 - 260)) << "above it";

  // Handles of an ended document are stale in the next one.
  const auto next = qmtest::PdfPath("next");
  ASSERT_EQ(p.begin_document(next.string(), ""), 1);
  p.begin_page_ext(100, 100, "");
  EXPECT_EQ(ErrorNumberOf([&] { p.setfont(font, 10); }), 2001);
}

TEST(PdfDocumentTest, FontsAreFoundNeverSubstituted) {
  const auto path = qmtest::PdfPath("fonts");
  PDFlib p;
  p.begin_document(path.string(), "");
  std::string message;
  EXPECT_EQ(ErrorNumberOf([&] { p.load_font("Wingdings Extra", "winansi", ""); }, &message), 2500);
  EXPECT_NE(message.find("Wingdings Extra"), std::string::npos) << message;
  EXPECT_EQ(ErrorNumberOf([&] { p.load_font("Wingdings Extra", "builtin", ""); }), 2500);
  EXPECT_EQ(ErrorNumberOf([&] { p.load_font("Arial,Heavy", "winansi", ""); }), 2500);
  // Encodings other than winansi, cp1251 and builtin answer -1.
  for (const char* e : {"macroman", "macroman_apple", "ebcdic", "ebcdic_37", "pdfdoc", "iso8859-X", "U+1251", "cp932",
                        "cp936", "cp949", "cp950"})
    EXPECT_EQ(p.load_font("Arial", e, ""), -1) << e;
  // A face that is not TrueType cannot be embedded as text, only drawn as outlines.
  EXPECT_EQ(ErrorNumberOf([&] { p.load_font("Symbol", "winansi", ""); }), 2501);
  EXPECT_GE(p.load_font("Symbol", "builtin", ""), 0);
  for (const char* face : {"Arial,Bold", "Arial,Italic", "Times New Roman,BoldItalic", "Helvetica", "Times-Roman",
                           "Courier", "Century", "Courier New", "Verdana", "DejaVu Sans"})
    EXPECT_GE(p.load_font(face, "winansi", ""), 0) << face;
  EXPECT_EQ(ErrorNumberOf([&] { p.load_font("", "winansi", ""); }), 2500);
}

TEST(PdfDocumentTest, SymbolGlyphsAreInkedAndAdvanceAsMeasured) {
  const auto path = qmtest::PdfPath("symbols");
  qmtest::WithMessages([&] {
    PDFlib p;
    p.begin_document(path.string(), "");
    const int symbol = p.load_font("Symbol", "builtin", "");
    // Page 1: two hearts in one call; page 2: one heart, then another one
    // stringwidth further. The pages must look the same.
    p.begin_page_ext(200, 100, "");
    p.setfont(symbol, 40);
    p.show_xy("\xa9\xa9", 20, 30);
    p.end_page_ext("");
    p.begin_page_ext(200, 100, "");
    p.setfont(symbol, 40);
    p.show_xy("\xa9", 20, 30);
    p.show_xy(std::string("\0\xa9", 2), 20 + p.stringwidth("\xa9", symbol, 40), 30);
    EXPECT_GT(p.stringwidth("\xa9", symbol, 40), 20);
    p.end_page_ext("");
    p.end_document("");
  });
  ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
  const qmtest::Pixmap one = qmtest::Render(path, 1, 144), two = qmtest::Render(path, 2, 144);
  ASSERT_TRUE(one.Ok() && two.Ok());
  int inked = 0, differ = 0;
  for (std::size_t i = 0; i < one.rgb.size(); i += 3) {
    inked += one.rgb[i] < 80;
    differ += std::abs(one.rgb[i] - two.rgb[i]) > 60;
  }
  EXPECT_GT(inked, 2000) << "two hearts of 40 points are ink";
  EXPECT_LT(differ, 10);
}

TEST(PdfDocumentTest, ClippingInsideSaveAndRestore) {
  const auto path = qmtest::PdfPath("clip");
  qmtest::WithMessages([&] {
    PDFlib p;
    ASSERT_EQ(p.begin_document(path.string(), ""), 1);
    p.begin_page_ext(200, 200, "");
    p.setcolor("fill", "rgb", 1, 0, 0, 0);
    p.save();
    // A triangle clips the red square to its lower-left half.
    p.moveto(0, 0);
    p.lineto(200, 0);
    p.lineto(0, 200);
    p.clip();
    p.setcolor("fill", "rgb", 0, 0, 1, 0);  // given back by restore
    p.rect(0, 0, 200, 200);
    p.fill();
    p.restore();
    // The colour and the whole page again: red after the restore.
    p.rect(150, 150, 50, 50);
    p.fill();
    EXPECT_EQ(ErrorNumberOf([&] { p.restore(); }), 2101);  // no save left
    EXPECT_EQ(ErrorNumberOf([&] { p.clip(); }), 2003);     // no path
    p.save();
    EXPECT_EQ(ErrorNumberOf([&] { p.end_page_ext(""); }), 2101);  // a save without its restore
    EXPECT_EQ(ErrorNumberOf([&] { p.suspend_page(""); }), 2101);
    p.restore();
    p.end_page_ext("");
    p.end_document("");
  });
  EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
  const qmtest::Pixmap pm = qmtest::Render(path, 1, 72);
  ASSERT_TRUE(pm.Ok());
  const auto colour = [&](double x, double y) {
    const std::uint8_t* px = qmtest::PointPixel(pm, x, y, 72);
    return std::vector<int>{px[0], px[1], px[2]};
  };
  EXPECT_EQ(colour(20, 20), (std::vector<int>{0, 0, 255}));      // inside the triangle
  EXPECT_EQ(colour(120, 120), (std::vector<int>{255, 255, 255})); // clipped away
  EXPECT_EQ(colour(180, 180), (std::vector<int>{255, 0, 0}));     // after the restore
}

TEST(PdfDocumentTest, EveryEmbeddedFontHasAUnicodeMap) {
  qmtest::CodePageScope russian(1251);
  const auto path = qmtest::PdfPath("tounicode");
  qmtest::WithMessages([&] {
    PDFlib p;
    ASSERT_EQ(p.begin_document(path.string(), ""), 1);
    const int cyrillic = p.load_font("Arial", "cp1251", "");
    const int latin = p.load_font("Times New Roman", "winansi", "");
    p.load_font("Arial", "cp1251", "");  // the same font again: one map
    p.begin_page_ext(300, 200, "");
    p.setfont(cyrillic, 12);
    p.show_xy("\xd1\xf5\xe5\xec\xe0 \xe1\xe8\xf1\xe5\xf0\xe0", 20, 150);  // Схема бисера
    p.setfont(latin, 12);
    p.show_xy("Caf\xe9 \x80 5", 20, 100);  // Café € 5 in Windows-1252
    p.end_page_ext("");
    p.end_document("");
  });
  EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
  // pdffonts: name, type, encoding, emb, sub, uni, object, generation.
  std::istringstream lines(qmtest::RunCommand("pdffonts " + qmtest::Quote(path)));
  std::string line;
  int fonts = 0;
  for (int n = 0; std::getline(lines, line); ++n) {
    if (n < 2 || line.empty()) continue;
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string w; fields >> w;) f.push_back(w);
    ASSERT_GE(f.size(), 7u) << line;
    EXPECT_EQ(f[f.size() - 3], "yes") << line;  // uni
    ++fonts;
  }
  EXPECT_EQ(fonts, 2);
  const std::string text = qmtest::PdfText(path);
  EXPECT_NE(text.find("Схема бисера"), std::string::npos) << text;
  EXPECT_NE(text.find("Café € 5"), std::string::npos) << text;
}
