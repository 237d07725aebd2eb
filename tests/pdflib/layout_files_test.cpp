// Textflows and tables on real files, and every option list that the
// program's chart pages send.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "pdflib/pdflib.h"
#include "tests/pdflib/doc_helpers.h"
#include "tests/pdflib/pdf_tools.h"

namespace {

using qmtest::ErrorNumberOf;

struct Word {
  std::string text;
  double xMin, yMin, xMax, yMax;  // from the page's top-left corner
  int page;
};

// Words with their boxes, as the reader sees them.
std::vector<Word> Words(const std::filesystem::path& pdf) {
  std::vector<Word> words;
  const std::string xml = qmtest::RunCommand("pdftotext -bbox " + qmtest::Quote(pdf) + " -");
  std::istringstream in(xml);
  std::string line;
  int page = 0;
  while (std::getline(in, line)) {
    if (line.find("<page ") != std::string::npos) ++page;
    const std::size_t w = line.find("<word ");
    if (w == std::string::npos) continue;
    Word word{};
    word.page = page;
    std::sscanf(line.c_str() + w, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &word.xMin, &word.yMin,
                &word.xMax, &word.yMax);
    const std::size_t open = line.find('>', w), close = line.find("</word>");
    word.text = line.substr(open + 1, close - open - 1);
    words.push_back(word);
  }
  return words;
}

const Word* Find(const std::vector<Word>& words, const std::string& text) {
  for (const Word& w : words)
    if (w.text == text) return &w;
  return nullptr;
}

// Courier is Liberation Mono: 0.6 em a character, 6 points at size 10.
const char* kMono = "fontname=Courier encoding=winansi fontsize=10";

}  // namespace

TEST(PdfLayoutFilesTest, TextflowFittingCases) {
  qmtest::WithMessages([&] {
    const auto path = qmtest::PdfPath("flows");
    std::vector<std::string> results;
    {
      PDFlib p;
      p.begin_document(path.string(), "");
      const std::string mono = kMono;
      p.begin_page_ext(600, 800, "");
      // Empty flow.
      results.push_back(p.fit_textflow(p.create_textflow("", mono), 0, 700, 100, 800, ""));
      // A word wider than its box breaks between characters (10 characters a line).
      results.push_back(p.fit_textflow(p.create_textflow("abcdefghijklmnopqrstuvwxyz", mono), 10, 600, 70, 790, ""));
      // Box lower than a line.
      results.push_back(p.fit_textflow(p.create_textflow("low", mono), 100, 790, 200, 795, ""));
      // Centred, and corners given upper-left first.
      results.push_back(p.fit_textflow(p.create_textflow("mid", mono + " alignment=center"), 300, 790, 100, 740, ""));
      // Justified: the first line reaches the right edge.
      results.push_back(p.fit_textflow(p.create_textflow("aaa bbb ccc ddd eee", mono + " alignment=justify"), 310, 790,
                                       380, 700, ""));
      // Paragraphs: "\n\n" leaves an empty line.
      results.push_back(p.fit_textflow(p.create_textflow("para1\n\npara2", mono), 420, 790, 590, 700, ""));
      // Lines spread to at most 120 % of the font size.
      results.push_back(p.fit_textflow(p.create_textflow("s1\ns2\ns3", mono), 420, 690, 590, 400,
                                       "verticalalign=justify linespreadlimit=120%"));
      // Inline colours and character references.
      results.push_back(p.fit_textflow(
          p.create_textflow("black <fillcolor={rgb 1 0 0}>RRRRR<fillcolor={rgb 0 0 0}> &lt;x&gt; &amp; &#65;&#x42; &copy;",
                            "charref " + mono + " fontsize=20"),
          10, 300, 590, 400, ""));
      p.end_page_ext("");

      // A long flow over columns and pages keeps its order.
      std::string text;
      for (int i = 1; i <= 400; ++i) {
        char w[16];
        std::snprintf(w, sizeof w, "w%03d ", i);
        text += w;
      }
      const int flow = p.create_textflow(text, mono);
      std::string r;
      int pages = 0;
      do {
        p.begin_page_ext(300, 200, "");
        r = p.fit_textflow(flow, 10, 10, 140, 190, "");
        if (r == "_boxfull") r = p.fit_textflow(flow, 160, 10, 290, 190, "");
        p.end_page_ext("");
        ++pages;
      } while (r == "_boxfull" && pages < 50);
      results.push_back(r + " after " + std::to_string(pages) + " pages");
      p.end_document("");
    }
    ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
    EXPECT_EQ(results, (std::vector<std::string>{"_stop", "_stop", "_boxempty", "_stop", "_stop", "_stop", "_stop",
                                                 "_stop", "_stop after 3 pages"}));
    const auto words = Words(path);
    // Broken word.
    for (const char* part : {"abcdefghij", "klmnopqrst", "uvwxyz"}) EXPECT_NE(Find(words, part), nullptr) << part;
    // Centre of "mid" at the centre of 100..300.
    const Word* mid = Find(words, "mid");
    ASSERT_NE(mid, nullptr);
    EXPECT_NEAR((mid->xMin + mid->xMax) / 2, 200, 0.5);
    // Justified first line: "aaa bbb ccc" (66 points) spread over 70 (310..380).
    const Word* aaa = Find(words, "aaa");
    const Word* ccc = Find(words, "ccc");
    ASSERT_TRUE(aaa && ccc);
    EXPECT_NEAR(aaa->xMin, 310, 0.5);
    EXPECT_NEAR(ccc->xMax, 380, 0.5);
    EXPECT_NEAR(Find(words, "ddd")->xMin, 310, 0.5);
    EXPECT_NEAR(Find(words, "eee")->xMin, 334, 0.5) << "the last line is not spread";
    // "\n\n": two lines between the paragraphs.
    EXPECT_NEAR(Find(words, "para2")->yMin - Find(words, "para1")->yMin, 20, 0.5);
    // Spread: 12 points from line to line.
    EXPECT_NEAR(Find(words, "s2")->yMin - Find(words, "s1")->yMin, 12, 0.5);
    EXPECT_NEAR(Find(words, "s3")->yMin - Find(words, "s2")->yMin, 12, 0.5);
    // Character references.
    // (the reader's XML escapes "<", ">" and "&")
    for (const char* w : {"&lt;x&gt;", "&amp;", "AB", "&amp;copy;"}) EXPECT_NE(Find(words, w), nullptr) << w;
    // Every word of the long flow once, in order.
    std::vector<std::string> order;
    for (const Word& w : words)
      if (w.page >= 2 && w.text.size() == 4 && w.text[0] == 'w') order.push_back(w.text);
    ASSERT_EQ(order.size(), 400u);
    for (int i = 1; i <= 400; ++i) {
      char w[16];
      std::snprintf(w, sizeof w, "w%03d", i);
      ASSERT_EQ(order[static_cast<std::size_t>(i - 1)], w);
    }
    // The red word is red.
    const qmtest::Pixmap pm = qmtest::Render(path, 1, 72);
    const Word* red = Find(words, "RRRRR");
    ASSERT_TRUE(pm.Ok() && red);
    int redPixels = 0;
    for (int y = static_cast<int>(red->yMin); y < static_cast<int>(red->yMax); ++y)
      for (int x = static_cast<int>(red->xMin); x < static_cast<int>(red->xMax); ++x) {
        const std::uint8_t* px = pm.At(x, y);
        redPixels += px[0] > 200 && px[1] < 80 && px[2] < 80;
      }
    EXPECT_GT(redPixels, 20);
    EXPECT_TRUE(pm.IsWhite(static_cast<int>(Find(words, "black")->xMin) - 3, static_cast<int>(red->yMin) + 5));
  });
}

TEST(PdfLayoutFilesTest, TableFittingCases) {
  qmtest::WithMessages([&] {
    const auto dir = qmtest::MakeTempDir("pdf-tables");
    const auto path = dir / "tables.pdf";
    std::vector<std::string> results;
    std::vector<double> rowcounts;
    {
      PDFlib p;
      p.begin_document(path.string(), "");
      const int font = p.load_font("Courier", "winansi", "");
      const std::string f = "font=" + std::to_string(font) + " fontsize=10";
      // Header over two columns, 20% + the rest; row 3 misses its second cell.
      int t = p.add_table_cell(-1, 1, 1, "Head", "fittextline={position=center " + f + "} colspan=2");
      for (int r = 2; r <= 40; ++r) {
        if (r == 3) {
          t = p.add_table_cell(t, 1, r, "", "colwidth=20% fittextline={" + f + "} matchbox={fillcolor={rgb 0.5 0.3 1.0}}");
          continue;
        }
        t = p.add_table_cell(t, 1, r, "r" + std::to_string(r - 1), "colwidth=20% fittextline={" + f + "}");
        t = p.add_table_cell(t, 2, r, "v" + std::to_string(r - 1), "fittextline={" + f + "}");
      }
      std::string r;
      do {
        p.begin_page_ext(0, 0, "width=300 height=400");
        r = p.fit_table(t, 50, 50, 250, 350, "header=1 stroke={{line=other}}");
        results.push_back(r);
        rowcounts.push_back(p.info_table(t, "rowcount"));
        p.end_page_ext("");
      } while (r == "_boxfull" && results.size() < 10);
      p.delete_table(t, "");

      // Too wide, too high: the two errors, and nothing placed.
      p.begin_page_ext(300, 400, "");
      const int wide = p.add_table_cell(-1, 1, 1, std::string(40, 'x'), "fittextline={" + f + "}");
      EXPECT_EQ(ErrorNumberOf([&] { p.fit_table(wide, 0, 0, 200, 300, ""); }), 3424);
      int high = p.add_table_cell(-1, 1, 1, "head", "fittextline={" + f + "}");
      high = p.add_table_cell(high, 1, 2, "body", "fittextline={" + f + "}");
      EXPECT_EQ(ErrorNumberOf([&] { p.fit_table(high, 0, 0, 200, 20, "header=1"); }), 3425);
      // A textflow cell wraps and makes its row higher; a picture cell fits its row.
      const int flow = p.add_textflow(-1, "one two three four five six seven", kMono);
      qmtest::WriteAll(dir / "dot.bmp", {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                         0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         0, 0, 0, 0, 0, 0, 255, 0});
      const int image = p.load_image("auto", (dir / "dot.bmp").string(), "");
      ASSERT_GT(image, 0);
      int mixed = p.add_table_cell(-1, 1, 1, "", "marginleft=2 marginright=2 margintop=2 marginbottom=2 textflow=" +
                                                    std::to_string(flow));
      mixed = p.add_table_cell(mixed, 2, 1, "", "image=" + std::to_string(image) + " fitimage={position=center}");
      results.push_back(p.fit_table(mixed, 0, 0, 200, 390, "stroke={{line=other}}"));
      p.end_page_ext("");
      p.end_document("");
    }
    ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
    EXPECT_EQ(results, (std::vector<std::string>{"_boxfull", "_stop", "_stop"}));
    ASSERT_EQ(rowcounts.size(), 2u);
    EXPECT_EQ(rowcounts[0] + rowcounts[1], 39) << "every body row once, the repeated header not counted";
    const std::string page2 = qmtest::RunCommand("pdftotext -f 2 -l 2 " + qmtest::Quote(path) + " -");
    EXPECT_NE(page2.find("Head"), std::string::npos) << "the header repeats";
    EXPECT_NE(page2.find("r39"), std::string::npos);

    const qmtest::Pixmap pm = qmtest::Render(path, 1, 72);
    ASSERT_TRUE(pm.Ok());
    auto dark = [&](double x, double y) {
      const std::uint8_t* px = qmtest::PointPixel(pm, x, y, 72);
      return px[0] < 100 && px[1] < 100 && px[2] < 100;
    };
    // Horizontal rules where x = 150 crosses them, from the table's top (350) down.
    std::vector<int> rules;
    for (int y = 352; y >= 40; --y)
      if (dark(150, y + 0.5) && (rules.empty() || rules.back() - y > 2)) rules.push_back(y);
    ASSERT_GE(rules.size(), 3u);
    const double row = rules[1] - rules[2];
    EXPECT_NEAR(rules[0], 350, 1.5);
    EXPECT_EQ(static_cast<double>(rules.size()), rowcounts[0] + 2) << "top, under the header, under each row";
    EXPECT_GE(rules.back(), 50 - 1) << "nothing below the box";
    EXPECT_LT(rules.back() - row, 50) << "the next row would not have fitted";
    // Vertical rules: left edge 50, column edge 50 + 20% of 200, right edge 250; none inside the spanning header.
    const double body = rules[1] - row / 2;
    EXPECT_TRUE(dark(50, body));
    EXPECT_TRUE(dark(90, body));
    EXPECT_TRUE(dark(250, body));
    EXPECT_FALSE(dark(90, (rules[0] + rules[1]) / 2.0));
    // Row 3 (the second body row): the swatch 0.5 0.3 1.0, and the missing cell beside it empty but ruled.
    const double second = rules[2] - row / 2;
    const std::uint8_t* swatch = qmtest::PointPixel(pm, 70, second, 72);
    EXPECT_NEAR(swatch[0], 128, 3);
    EXPECT_NEAR(swatch[1], 77, 3);
    EXPECT_NEAR(swatch[2], 255, 3);
    const std::uint8_t* missing = qmtest::PointPixel(pm, 170, second, 72);
    EXPECT_GT(missing[0] + missing[1] + missing[2], 720);
    EXPECT_TRUE(dark(250, second));
  });
}

TEST(PdfLayoutFilesTest, EveryOptionListOfTheChartsIsAcceptedAndMisspeltKeysAreNot) {
  qmtest::WithMessages([&] {
    const auto dir = qmtest::MakeTempDir("pdf-lists");
    qmtest::WriteAll(dir / "tile.bmp", {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                        0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        0, 0, 0, 0, 10, 20, 30, 0});
    for (const char* protection : {"", "masterpassword=master userpassword=user permissions={noprint nomodify nocopy }",
                                   "masterpassword=master permissions={nocopy }"}) {
      const auto path = dir / "lists.pdf";
      PDFlib p;
      ASSERT_EQ(p.begin_document(path.string(), protection), 1);
      const int font = p.load_font("Arial", "winansi", "");
      const std::string f = std::to_string(font);
      const int image = p.load_image("auto", (dir / "tile.bmp").string(), "");
      p.begin_page_ext(595, 842, "");
      p.fit_image(image, 20, 19, "boxsize={565 801} position={center} fitmethod=meet");
      p.fit_image(image, 22, 158, "boxsize={525 720} fitmethod=meet orientate=west");
      p.fit_image(image, 100, 100, "boxsize={360 400} position={center}");
      p.fit_image(image, 100, 100, "boxsize={360 400} position={center} orientate=west");
      p.setfont(font, 10);
      p.fit_textline("Version", 20, 19, "");
      p.fit_textline("Page 1 from 3", 570, 19, "rotate=90");
      p.create_bookmark("design preview", "");
      const int props = p.add_textflow(-1, "Comments", "fontname=Arial fontsize=10 encoding=winansi alignment=justify "
                                                       "fillcolor={rgb 0.00 0.25 1.00}");
      EXPECT_EQ(p.fit_textflow(props, 20, 19, 585, 700, "verticalalign=justify linespreadlimit=120%"), "_stop");
      int flow = p.add_textflow(-1, "--- Row 1 & 2, left to right ---\n",
                                "fontname=Arial fontsize=10 encoding=winansi fillcolor={rgb 0 0 0.7} charref "
                                "underline=true alignment=center");
      flow = p.add_textflow(flow, "12(", "fontname=Arial fontsize=10 encoding=winansi fillcolor={rgb 0 0 0} charref "
                                         "underline=false alignment=justify");
      flow = p.add_textflow(flow, "Black", "fontname=Arial fontsize=10 encoding=winansi fillcolor={rgb 0.100000 0.200000 "
                                           "0.300000} charref underline=false alignment=justify");
      flow = p.add_textflow(flow, ") \n\n", "fontname=Arial fontsize=10 encoding=winansi fillcolor={rgb 0 0 0} charref "
                                            "underline=false alignment=justify");
      EXPECT_EQ(p.fit_textflow(flow, 20, 820, 300, 19, ""), "_stop");
      p.suspend_page("");
      p.resume_page("pagenumber 1");
      p.end_page_ext("rotate=90");

      // The word chart as a table, and the colour list.
      int t = -1;
      for (int c = 1; c <= 3; ++c)
        t = p.add_table_cell(t, c, 1, c == 1 ? "Row" : c == 2 ? "Direction" : "Word Chart",
                             "fittextline={position=center font=" + f + " fontsize=10} colspan=1");
      t = p.add_table_cell(t, 1, 2, "1 & 2", "colwidth=7% fittextline={font=" + f + " fontsize=10}");
      t = p.add_table_cell(t, 2, 2, " left to right ", "colwidth=12% fittextline={font=" + f + " fontsize=10}");
      const int runs = p.create_textflow("12(<fillcolor={rgb 0.100 0.200 0.300}>Black<fillcolor={rgb 0 0 0}>) 3(skip)",
                                         "charref fontname=Times-Roman encoding=winansi fontsize=10 ");
      t = p.add_table_cell(t, 3, 2, "",
                           "marginleft=2 marginright=2 margintop=2 marginbottom=2 textflow=" + std::to_string(runs));
      const int plain = p.add_textflow(-1, "5(7) 6(8)", "charref fontname=Times-Roman encoding=winansi fontsize=10 ");
      t = p.add_table_cell(t, 3, 3, "", "marginleft=2 marginright=2 margintop=2 marginbottom=2 textflow=" +
                                            std::to_string(plain));
      p.begin_page_ext(0, 0, "width=595.000000 height=842.000000");
      EXPECT_EQ(p.fit_table(t, 20, 22, 565, 801, "header=1 stroke={{line=other}}"), "_stop");
      EXPECT_EQ(p.info_table(t, "rowcount"), 2);
      p.delete_table(t, "");
      int list = -1;
      for (int c = 1; c <= 5; ++c)
        list = p.add_table_cell(list, c, 1, c == 5 ? "Symbol" : "Color",
                                "fittextline={position=center font=" + f + " fontsize=10} colspan=1");
      list = p.add_table_cell(list, 1, 2, "", "colwidth=5% fittextline={font=" + f + " fontsize=10} matchbox={fillcolor={rgb 0.5 0.3 1.0}}");
      list = p.add_table_cell(list, 2, 2, "Silver", "colwidth=47% fittextline={font=" + f + " fontsize=10} matchbox={fillcolor={rgb 1.0 1.0 1.0}}");
      list = p.add_table_cell(list, 3, 2, "12", "colwidth=23% fittextline={font=" + f + " fontsize=10} matchbox={fillcolor={rgb 1.0 1.0 0.6}}");
      list = p.add_table_cell(list, 4, 2, "3.50", "colwidth=23% fittextline={font=" + f + " fontsize=10} matchbox={fillcolor={rgb 1.0 1.0 1.0}}");
      list = p.add_table_cell(list, 5, 2, "", "image=" + std::to_string(image) + " fitimage={position=center}");
      EXPECT_EQ(p.fit_table(list, 20, 22, 565, 801, "header=1 stroke={{line=other}}"), "_stop");
      p.delete_table(list, "");
      // Grid drawing.
      p.setcolor("fill", "rgb", 0, 0, 0, 0);
      p.setlinewidth(0.5);
      p.setcolor("stroke", "gray", 0.5, 0, 0, 0);
      p.moveto(20, 800);
      p.lineto(300, 800);
      p.stroke();
      p.rect(20, 780, 12, -14);
      p.fill();
      p.setfont(font, 8);
    p.show_xy("10", 22, 770);
      p.end_page_ext("");
      p.end_document("");
      EXPECT_TRUE(qmtest::QpdfCheckPasses(path, "master")) << protection;
    }

    // A misspelt key is refused by name.
    const auto path = dir / "misspelt.pdf";
    PDFlib p;
    struct Case {
      const char* key;
      std::function<void()> call;
    };
    EXPECT_EQ(ErrorNumberOf([&] { p.begin_document(path.string(), "masterpassword=m permisions={nocopy}"); }), 1101);
    ASSERT_EQ(p.begin_document(path.string(), ""), 1);
    const int font = p.load_font("Arial", "winansi", "");
    const std::string f = std::to_string(font);
    const int flow = p.create_textflow("x", "fontname=Arial encoding=winansi fontsize=10");
    p.begin_page_ext(300, 300, "");
    const Case cases[] = {
        {"widht", [&] { p.suspend_page("widht=3"); }},
        {"rotat", [&] { p.end_page_ext("rotat=90"); }},
        {"boxsise", [&] { p.fit_image(1, 0, 0, "boxsise={1 2}"); }},
        {"fitmetod", [&] { p.fit_textline("x", 0, 0, "fitmetod=meet"); }},
        {"fontnme", [&] { p.add_textflow(-1, "x", "fontnme=Arial encoding=winansi fontsize=10"); }},
        {"verticalalighn", [&] { p.fit_textflow(flow, 0, 0, 100, 100, "verticalalighn=justify"); }},
        {"colwidht", [&] { p.add_table_cell(-1, 1, 1, "x", "colwidht=7% fittextline={font=" + f + " fontsize=10}"); }},
        {"fnt", [&] { p.add_table_cell(-1, 1, 1, "x", "fittextline={fnt=" + f + " fontsize=10}"); }},
        {"strok", [&] { p.fit_table(1, 0, 0, 10, 10, "header=1 strok={{line=other}}"); }},
        {"fillcolour", [&] { p.create_textflow("a<fillcolour={rgb 1 0 0}>b", "fontname=Arial encoding=winansi fontsize=10"); }},
    };
    for (const Case& c : cases) {
      std::string message;
      const int number = ErrorNumberOf(c.call, &message);
      EXPECT_EQ(number, 1101) << c.key << ": " << message;
      EXPECT_NE(message.find(c.key), std::string::npos) << message;
    }
    p.end_page_ext("");
    p.end_document("");
    EXPECT_TRUE(qmtest::QpdfCheckPasses(path));
  });
}
