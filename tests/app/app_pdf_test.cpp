// File > PDF file... in the running program: the design of the frame's view
// exported with its own settings, the chart handed to the desktop to open,
// its texts in the interface language, and its picture drawn by the view's
// renderer (the beads as the view shows them).
#include <cmath>
#include <filesystem>
#include <regex>

#include "image/Image.h"
#include "lang/ids/shell.h"
#include "pdf/PdfExport.h"
#include "platform/base/codepage.h"
#include "platform/base/files.h"
#include "tests/app/app_fixture.h"
#include "tests/pdflib/pdf_tools.h"
#include "view/PatternRender.h"

namespace fs = std::filesystem;

namespace apptest {
namespace {

// Four named colours with numbers and prices; the second one's name is
// Cyrillic in the Russian run.
CColorSet ChartPalette(bool russian) {
  struct Entry {
    COLORREF color;
    const char* name;
    int number;
  };
  const Entry entries[] = {{RGB(200, 30, 40), "Ruby", 41},
                           {RGB(30, 160, 60), russian ? "\xC8\xE7\xF3\xEC\xF0\xF3\xE4" : "Emerald", 52},
                           {RGB(40, 60, 210), "Sapphire", 63},
                           {RGB(250, 220, 40), "Amber", 74}};
  CColorSet palette;
  for (const Entry& e : entries) {
    CPaletteColor color(CRgbTriple::FromColorref(e.color), e.name, 0, e.number, 100, 250);
    color.price = 250000;
    palette.Append(color);
  }
  return palette;
}

// A Loom design of 12 x 10 beads of 0.2 inch in runs of the four colours.
CPattern ChartDesign() {
  CPattern p;
  CGridLayout layout;
  layout.beadWidth = layout.beadHeight = 0.2f;
  layout.width = 12 * 0.2f;
  layout.height = 10 * 0.2f;
  layout.format = kFormatLoom;
  p.CreateGrid(layout, 0);
  for (int row = 0; row < static_cast<int>(p.GetRowCount()); ++row)
    for (int column = 0; column < static_cast<int>(p.GetColumnCount()); ++column)
      p.GetBeadAt(column, row)->SetColorIndex((column / 3 + row / 2) % 4);
  p.m_title = "Garden";
  return p;
}

// Every section but the collage; the chart written into the folder.
CPdfData ChartSettings(const fs::path& output) {
  CPdfData data;
  data.m_propertiesPage = data.m_wholeDesignPage = data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 1;
  data.m_wholeDesignMode = 1;  // fitted on one page
  data.m_collagePages = 0;
  data.m_gridCellCoding = 0;  // numbers in the cells
  data.m_wordChartText = 0;   // runs by number
  data.m_wordChartAsTable = 1;
  data.m_createBookmarks = 1;
  data.m_title = "Garden chart";
  data.m_outputPath = (output / "garden.pdf").string().c_str();
  return data;
}

std::string Utf8(const std::string& bytes, bool russian) { return CodePageToUtf8(bytes, russian ? 1251 : 1252); }

// Mean absolute difference per channel of two pictures of one size (-1 when
// the sizes differ).
double MeanDifference(const CImage& a, const CImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetWidth() <= 0) return -1;
  double sum = 0;
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x) {
      BYTE r1, g1, b1, r2, g2, b2;
      a.GetPixelRGB(x, y, r1, g1, b1);
      b.GetPixelRGB(x, y, r2, g2, b2);
      sum += std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2);
    }
  return sum / (3.0 * a.GetWidth() * a.GetHeight());
}

class AppPdfTest : public AppTest {
 protected:
  void ExportFromTheFrame(bool russian) {
    StoreLanguage(russian);
    StoreAcceptedSettings();
    ASSERT_TRUE(Start());
    CTabView* view = View();
    ASSERT_NE(view, nullptr);
    const fs::path dir = qmtest::MakeTempDir(russian ? "app-pdf-ru" : "app-pdf-en");
    // (assigning a design leaves the view's PDF settings as they were)
    *view->GetPattern() = ChartDesign();
    view->GetPattern()->m_pdfData = ChartSettings(dir);
    view->SetColorSet(ChartPalette(russian), "chart.pal");
    view->GetColorSet()->CountUsageQuick(*view->GetPattern());
    view->OnPatternChanged(false);
    QmPumpMessages(100);

    std::vector<std::string> opened;
    QmSetShellExecuteHook([&](HWND, const char* operation, const char* file, const char*, const char*, int) {
      opened.push_back(std::string(operation) + " " + file);
      return reinterpret_cast<HINSTANCE>(42);
    });
    // The PDF options sheet comes first: OK exports with the settings.
    qmtest::SetModalHook([](HWND sheet) { QmClickButton(GetDlgItem(sheet, IDOK)); });
    Frame()->SendMessage(WM_COMMAND, ID_FILE_EXPORT_PDF);
    QmPumpMessages(100);
    qmtest::SetModalHook(nullptr);
    QmSetShellExecuteHook(nullptr);

    const fs::path pdf = dir / "garden.pdf";
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].first);
    ASSERT_EQ(opened, std::vector<std::string>{"open " + pdf.string()});
    EXPECT_TRUE(qmtest::QpdfCheckPasses(pdf));
    EXPECT_EQ(qmtest::PdfInfo(pdf, "Title"), "Garden chart");

    // Properties, the picture, the colour list, one grid page, the word chart.
    const std::string text = qmtest::PdfText(pdf);
    const int pages = std::atoi(qmtest::PdfInfo(pdf, "Pages").c_str());
    EXPECT_EQ(pages, 5);
    const char* const expected[] = {
        russian ? "Garden - свойства" : "Garden - properties",
        russian ? "Garden - список использованных цветов" : "Garden - bead color list",
        russian ? "Страница 1 из 5" : "Page 1 from 5",
        russian ? "Строчка" : "Row",
    };
    for (const char* part : expected) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    const CColorSet& palette = *view->GetColorSet();
    const std::string list = qmtest::RunCommand("pdftotext -f 3 -l 3 " + qmtest::Quote(pdf) + " -");
    const std::string grid = qmtest::RunCommand("pdftotext -f 4 -l 4 " + qmtest::Quote(pdf) + " -");
    for (int i = 0; i < 4; ++i) {
      const CPaletteColor& color = palette.GetItem(i);
      EXPECT_NE(list.find(Utf8(color.mfgName.str(), russian)), std::string::npos) << i << "\n" << list;
      EXPECT_NE(grid.find(std::to_string(color.number)), std::string::npos) << i;
    }
    // The word chart's first row: 3 of colour 41, 3 of 52, 3 of 63, 3 of 74.
    EXPECT_TRUE(std::regex_search(text, std::regex("3\\(41\\).*3\\(52\\).*3\\(63\\).*3\\(74\\)"))) << text;

    // The picture is the view's render of the design (a JPEG of it), not
    // the plain one of the export library.
    qmtest::RunCommand("pdfimages -f 2 -l 2 -png " + qmtest::Quote(pdf) + " " + qmtest::Quote(dir / "picture"));
    bool ok = false;
    CImage picture((dir / "picture-000.png").string().c_str(), ok);
    ASSERT_TRUE(ok);
    const SIZE size{picture.GetWidth(), picture.GetHeight()};
    EXPECT_GT(size.cx, 1000);
    CBitmap bitmap;
    ASSERT_TRUE(RenderPatternThumbnail(nullptr, *view->GetPattern(), palette, size, 6, &bitmap,
                                       view->GetPattern()->m_pdfData.m_pageBackground, nullptr));
    const CImage viewRender(bitmap);
    const auto plainRender = RenderPatternPlain(*view->GetPattern(), palette, size,
                                                view->GetPattern()->m_pdfData.m_pageBackground, nullptr);
    ASSERT_TRUE(plainRender);
    // Both renders have the picture's size, so that the differences below
    // compare pixel for pixel (MeanDifference answers -1 otherwise).
    ASSERT_EQ(viewRender.GetWidth(), size.cx);
    ASSERT_EQ(viewRender.GetHeight(), size.cy);
    ASSERT_EQ(plainRender->GetWidth(), size.cx);
    ASSERT_EQ(plainRender->GetHeight(), size.cy);
    const double toView = MeanDifference(picture, viewRender), toPlain = MeanDifference(picture, *plainRender);
    EXPECT_LT(toView, 4.0);
    EXPECT_GT(toPlain, 3 * toView);
    // Not blank: the picture holds every colour's beads.
    for (int i = 0; i < 4; ++i) {
      const COLORREF want = palette.GetItem(i).GetColorref();
      bool found = false;
      for (int y = 0; y < size.cy && !found; y += 3)
        for (int x = 0; x < size.cx && !found; x += 3) {
          BYTE r, g, b;
          picture.GetPixelRGB(x, y, r, g, b);
          found = std::abs(r - GetRValue(want)) + std::abs(g - GetGValue(want)) + std::abs(b - GetBValue(want)) < 30;
        }
      EXPECT_TRUE(found) << i;
    }
    const fs::path shots = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en") / "pdf";
    fs::create_directories(shots);
    qmtest::RunCommand("pdftoppm -r 100 -png " + qmtest::Quote(pdf) + " " + qmtest::Quote(shots / "app-export"));
  }
};

TEST_F(AppPdfTest, PdfFileExportsTheViewsDesignInEnglish) { ExportFromTheFrame(false); }

TEST_F(AppPdfTest, PdfFileExportsTheViewsDesignInRussian) { ExportFromTheFrame(true); }

}  // namespace
}  // namespace apptest
