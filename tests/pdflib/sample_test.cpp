// A sample chart written through the binding, checked by the readers and
// rendered to build/shots/pdf for a person to look at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdflib/pdflib.h"
#include "tests/pdflib/doc_helpers.h"
#include "tests/pdflib/pdf_tools.h"

namespace {

// A 16 x 16 bitmap: a blue diamond on yellow.
std::vector<unsigned char> DiamondBmp() {
  std::vector<unsigned char> v = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 16, 0, 0, 0, 16, 0,
                                  0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 0, 0};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool in = std::abs(x - 7.5) + std::abs(y - 7.5) < 7;
      v.push_back(in ? 200 : 40), v.push_back(in ? 60 : 220), v.push_back(in ? 30 : 240);
    }
  v[2] = static_cast<unsigned char>(v.size());
  v[3] = static_cast<unsigned char>(v.size() >> 8);
  return v;
}

const char* kRussianComments =
    "\xc1\xe8\xf1\xe5\xf0 \xed\xe0\xf8\xe8\xe2\xe0\xe5\xf2\xf1\xff \xef\xee \xf0\xff\xe4\xe0\xec \xf1\xeb\xe5\xe2\xe0 "
    "\xed\xe0\xef\xf0\xe0\xe2\xee, \xea\xe0\xe6\xe4\xfb\xe9 \xf0\xff\xe4 \xef\xee \xf1\xf5\xe5\xec\xe5. "
    "\xd6\xe2\xe5\xf2\xe0 \xef\xee\xe4\xee\xe1\xf0\xe0\xed\xfb \xef\xee \xea\xe0\xf2\xe0\xeb\xee\xe3\xf3 "
    "\xef\xf0\xee\xe8\xe7\xe2\xee\xe4\xe8\xf2\xe5\xeb\xff.";  // Бисер нашивается по рядам слева направо, ...

}  // namespace

TEST(PdfSampleTest, SampleChartRendersForALook) {
  qmtest::CodePageScope russian(1251);
  const auto dir = qmtest::MakeTempDir("pdf-sample");
  qmtest::WriteAll(dir / "symbol.bmp", DiamondBmp());
  const auto path = dir / "sample.pdf";
  qmtest::WithMessages([&] {
    PDFlib p;
    p.set_info("Title", "\xd1\xf5\xe5\xec\xe0 Sample");
    p.set_info("Creator", "Quillmere");
    ASSERT_EQ(p.begin_document(path.string(), ""), 1);
    const int latin = p.load_font("Arial", "winansi", "");
    const int latinBold = p.load_font("Arial,Bold", "winansi", "");
    const int cyrillic = p.load_font("Times New Roman", "cp1251", "");
    const int symbols = p.load_font("Symbol", "builtin", "");
    const int image = p.load_image("auto", (dir / "symbol.bmp").string(), "");
    auto head = [&](int font, const std::string& text, double w, double h) {
      p.setcolor("fill", "rgb", 0, 0, 0.5, 0);
      p.setfont(font, 16);
      p.show_xy(text, (w - p.stringwidth(text, font, 16)) / 2, h - 36);
      p.create_bookmark(text, "");
    };

    // 1: a Latin head, a picture in its box.
    p.begin_page_ext(595, 842, "");
    head(latinBold, "Loom - design preview", 595, 842);
    p.setcolor("stroke", "gray", 0.6, 0, 0, 0);
    p.setlinewidth(0.5);
    p.rect(100, 300, 395, 400);
    p.stroke();
    p.fit_image(image, 100, 300, "boxsize={395 400} position={center} fitmethod=meet");
    p.suspend_page("");

    // 2: a Cyrillic head and a justified flow.
    p.begin_page_ext(595, 842, "");
    head(cyrillic, "\xd2\xea\xe0\xf6\xea\xe8\xe9 \xf1\xf2\xe0\xed\xee\xea - \xf1\xe2\xee\xe9\xf1\xf2\xe2\xe0", 595, 842);
    std::string comments;
    for (int i = 0; i < 12; ++i) comments += std::string(kRussianComments) + (i % 4 == 3 ? "\n" : " ");
    const int flow = p.add_textflow(-1, comments, "fontname={Times New Roman} fontsize=12 encoding=cp1251 "
                                                  "alignment=justify fillcolor={rgb 0.10 0.10 0.10}");
    EXPECT_EQ(p.fit_textflow(flow, 40, 780, 555, 40, "verticalalign=justify linespreadlimit=120%"), "_stop");
    p.suspend_page("");

    // 3-4: a colour list over two pages.
    const std::string f = std::to_string(latin);
    int t = -1;
    const char* titles[] = {"Color", "Name", "Number", "Count", "Symbol"};
    for (int c = 0; c < 5; ++c)
      t = p.add_table_cell(t, c + 1, 1, titles[c], "fittextline={position=center font=" + f + " fontsize=10} colspan=1");
    const int widths[] = {5, 47, 23, 23};
    for (int r = 0; r < 70; ++r) {
      char fill[96];
      std::snprintf(fill, sizeof fill, "matchbox={fillcolor={rgb %.1f %.1f %.1f}}", (r % 10) / 10.0, (r % 7) / 7.0,
                    (r % 4) / 4.0);
      for (int c = 0; c < 4; ++c) {
        const std::string text = c == 0 ? "" : c == 1 ? "Bead colour " + std::to_string(r + 1)
                                               : c == 2 ? std::to_string(1000 + r) : std::to_string((r * 37) % 500);
        t = p.add_table_cell(t, c + 1, r + 2, text,
                             "colwidth=" + std::to_string(widths[c]) + "% fittextline={font=" + f + " fontsize=10} " +
                                 (c == 0 ? fill : "matchbox={fillcolor={rgb 1.0 1.0 1.0}}"));
      }
      t = p.add_table_cell(t, 5, r + 2, "", "image=" + std::to_string(image) + " fitimage={position=center}");
    }
    std::string r;
    do {
      p.begin_page_ext(0, 0, "width=595 height=842");
      head(latinBold, "Loom - bead color list", 595, 842);
      r = p.fit_table(t, 20, 22, 565, 790, "header=1 stroke={{line=other}}");
      p.suspend_page("");
    } while (r == "_boxfull");
    EXPECT_EQ(r, "_stop");
    p.delete_table(t, "");

    // 5: a turned grid page with symbol glyphs.
    p.begin_page_ext(595, 842, "");
    p.setcolor("fill", "rgb", 0, 0, 0.5, 0);
    p.setfont(latinBold, 16);
    const std::string title = "Loom - grid as font symbol";
    p.fit_textline(title, 36, (842 - p.stringwidth(title, latinBold, 16)) / 2, "rotate=90");
    p.setlinewidth(1);
    p.setcolor("stroke", "gray", 0.5, 0, 0, 0);
    const std::string glyphs = "\xa9\xaa\xab\xa8" "abcdqxyz" "\xc5\xc4\xb4\xd7";
    for (int row = 0; row < 20; ++row)
      for (int col = 0; col < 16; ++col) {
        const double x = 80 + row * 22, y = 100 + col * 40;
        const bool real = (row + col) % 3 == 0;
        p.setcolor("fill", "rgb", real ? 0.9 : 1, real ? 0.5 : 1, real ? 0.2 : 1, 0);
        p.rect(x, y, 22, 40);
        p.fill();
        p.setcolor("fill", "rgb", 0, 0, 0, 0);
        p.setfont(symbols, 14);
        p.fit_textline(glyphs.substr(static_cast<std::size_t>((row + col) % 16), 1), x + 16, y + 13, "rotate=90");
        p.rect(x, y, 22, 40);
        p.stroke();
      }
    p.suspend_page("");

    for (int n = 1; n <= 5; ++n) {
      p.resume_page("pagenumber " + std::to_string(n));
      p.setcolor("fill", "gray", 0.3, 0, 0, 0);
      p.setfont(latin, 8);
      const std::string foot = "Page " + std::to_string(n) + " from 5";
      if (n == 5) {
        p.fit_textline(foot, 595 - 10, 842 - p.stringwidth(foot, latin, 8) - 10, "rotate=90");
        p.end_page_ext("rotate=90");
      } else {
        p.fit_textline(foot, 595 - p.stringwidth(foot, latin, 8) - 10, 10, "");
        p.end_page_ext("");
      }
    }
    p.end_document("");
  });
  ASSERT_TRUE(qmtest::QpdfCheckPasses(path));
  EXPECT_EQ(qmtest::PdfInfo(path, "Pages"), "5");
  EXPECT_EQ(qmtest::PdfInfo(path, "rot", 5), "90");
  const std::string text = qmtest::PdfText(path);
  EXPECT_NE(text.find("Ткацкий станок"), std::string::npos);
  EXPECT_NE(text.find("Бисер нашивается"), std::string::npos);
  EXPECT_NE(text.find("Bead colour 70"), std::string::npos);

  // An inked symbol glyph: some dark pixels inside a white cell of the grid.
  const qmtest::Pixmap grid = qmtest::Render(path, 5, 72);
  ASSERT_TRUE(grid.Ok());
  int dark = 0;
  // Cell row 0, column 1 (white): x 80..102, y 140..180 on the upright page; the page shows turned.
  for (int i = 0; i < grid.width; ++i)
    for (int j = 0; j < grid.height; ++j) {
      const std::uint8_t* px = grid.At(i, j);
      dark += px[0] < 60 && px[1] < 60 && px[2] < 60;
    }
  EXPECT_GT(dark, 2000);

  const std::filesystem::path shots = qmtest::BinDir().parent_path() / "shots" / "pdf";
  std::filesystem::create_directories(shots);
  int rc = 0;
  qmtest::RunCommand("pdftoppm -r 60 -png " + qmtest::Quote(path) + " " + qmtest::Quote(shots / "sample"), &rc);
  EXPECT_EQ(rc, 0);
  std::filesystem::copy_file(path, shots / "sample.pdf", std::filesystem::copy_options::overwrite_existing);
}
