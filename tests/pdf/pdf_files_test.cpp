// Real charts of a small Peyote design written through the library and read
// back with qpdf, pdfinfo, pdftotext and pdftoppm; every page kind rendered
// to build/shots/<language>/pdf for a person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/pdf.h"
#include "palette/ColorListData.h"
#include "pdf/PdfExport.h"
#include "pdf/PdfExportCommand.h"
#include "platform/base/msgbox.h"
#include "tests/pdf/pdf_fixture.h"
#include "tests/pdflib/pdf_tools.h"

namespace fs = std::filesystem;
using pdftest::Language;

namespace {

int PageCount(const fs::path& pdf) { return std::atoi(qmtest::PdfInfo(pdf, "Pages").c_str()); }

std::string PageText(const fs::path& pdf, int page) {
  return qmtest::RunCommand("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                            qmtest::Quote(pdf) + " -");
}

// Files left in a folder besides the one expected.
std::vector<std::string> OtherFiles(const fs::path& dir, const std::string& expected) {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename() != expected) out.push_back(entry.path().filename().string());
  return out;
}

}  // namespace

TEST(PdfFiles, EverySectionInBothLanguagesAndLayouts) {
  for (bool russian : {false, true})
    for (bool table : {true, false}) {
      SCOPED_TRACE(std::string(russian ? "ru" : "en") + (table ? " table" : " columns"));
      Language language(russian);
      ASSERT_TRUE(language.Loaded());
      CColorSet palette = pdftest::MakePalette();
      CPattern design = pdftest::MakePeyote(20, 16, palette);
      CPdfData data = pdftest::AllSections();
      data.m_wordChartAsTable = table ? 1 : 0;
      data.m_collagePages = !russian && table;  // 16 pages of pictures: once is enough
      data.m_wordChartText = 0;
      data.m_colorListColumns.columns = {{kColumnMfgName, 100}, {kColumnCount, 50}, {kColumnCostSummary, 50}};
      data.m_gridCellCoding = 0;
      data.m_colorListStyle.m_orientation = 1;  // a landscape table
      data.m_previewStyle.m_orientation = 1;    // turned pictures
      data.m_footerText = "Footer";
      data.m_noCopy = 1;
      data.m_noPrint = 1;
      data.m_masterPassword = "a b}";
      const fs::path dir = qmtest::MakeTempDir(std::string("pdf-all-") + (russian ? "ru" : "en") + (table ? "t" : "c"));
      const fs::path pdf = dir / "chart.pdf";
      CPdfExportNew exporter(&design, palette, &data);
      ASSERT_TRUE(exporter.Export(pdf.string().c_str()))
          << exporter.GetErrorCode() << " " << exporter.GetErrorText().GetString();
      EXPECT_TRUE(OtherFiles(dir, "chart.pdf").empty());
      EXPECT_TRUE(qmtest::QpdfCheckPasses(pdf));
      const int pages = static_cast<int>(exporter.GetPageList().size());
      EXPECT_EQ(PageCount(pdf), pages);
      EXPECT_EQ(qmtest::PdfInfo(pdf, "Title"), "Fixture chart");
      EXPECT_EQ(qmtest::PdfInfo(pdf, "Author"), "Ann Beader");
      EXPECT_EQ(qmtest::PdfInfo(pdf, "Subject"), "Peyote");
      EXPECT_EQ(qmtest::PdfInfo(pdf, "Keywords"), "beads");
      EXPECT_EQ(qmtest::PdfInfo(pdf, "Creator"), "Quillmere");
      // Pages: properties, fitted picture (turned), 16 collage pages
      // (turned), the colour list (landscape), grid pages, word chart.
      const int listPage = data.m_collagePages ? 19 : 3;
      std::vector<int> kinds(static_cast<size_t>(listPage + 1), 2);
      kinds[0] = 0;
      kinds[static_cast<size_t>(listPage - 1)] = 1;
      kinds[static_cast<size_t>(listPage)] = 0;
      EXPECT_EQ(std::vector<int>(exporter.GetPageList().begin(), exporter.GetPageList().begin() + listPage + 1), kinds);
      EXPECT_NE(qmtest::PdfInfo(pdf, "size", 1).find("595 x 842"), std::string::npos);
      EXPECT_NE(qmtest::PdfInfo(pdf, "rot", 2).find("90"), std::string::npos);
      EXPECT_NE(qmtest::PdfInfo(pdf, "size", listPage).find("842 x 595"), std::string::npos);
      EXPECT_EQ(qmtest::PdfInfo(pdf, "rot", listPage), "0");

      const std::string text = qmtest::PdfText(pdf);
      const std::string from = russian ? " Страница 1 из " : " Page 1 from ";
      EXPECT_NE(text.find(from + std::to_string(pages)), std::string::npos);
      EXPECT_NE(text.find("Footer"), std::string::npos);
      // Word chart: the combined first line and runs of count(number).
      // (pdftotext closes up the narrow number cell of the table)
      EXPECT_TRUE(std::regex_search(text, std::regex("1 ?& ?2"))) << PageText(pdf, pages);
      EXPECT_NE(text.find("3(11)"), std::string::npos);
      // Colour list: every used colour with its count and cost.
      const std::string list = PageText(pdf, listPage);
      EXPECT_NE(list.find(russian ? "список использованных цветов" : "bead color list"), std::string::npos);
      for (int i = 0; i < 5; ++i) {
        const CPaletteColor& color = palette.GetItem(i);
        const std::string name = pdftest::ToUtf8(color.mfgName, russian);
        if (russian || i != 3) EXPECT_NE(list.find(name), std::string::npos) << name;
        EXPECT_NE(list.find(pdftest::ToUtf8(FormatColorCellOfKind(color, kColumnCount), russian)), std::string::npos);
        EXPECT_NE(list.find(pdftest::ToUtf8(color.GetCostSummaryText(), russian)), std::string::npos)
            << pdftest::ToUtf8(color.GetCostSummaryText(), russian);
      }
      if (russian) {
        EXPECT_NE(text.find("Рубин-Ж"), std::string::npos);
        EXPECT_NE(text.find("свойства"), std::string::npos);
        EXPECT_NE(text.find("Сетка в виде"), std::string::npos);
      }
      const std::string encryption = qmtest::RunCommand("qpdf --show-encryption " + qmtest::Quote(pdf));
      EXPECT_NE(encryption.find("print low resolution: not allowed"), std::string::npos) << encryption;
      EXPECT_NE(encryption.find("extract for any purpose: not allowed"), std::string::npos);
      EXPECT_NE(encryption.find("modify other: allowed"), std::string::npos);
      int rc = -1;
      qmtest::RunCommand("qpdf --check --password='a b}' " + qmtest::Quote(pdf), &rc);
      EXPECT_EQ(rc, 0);
      pdftest::Shoot(pdf, table ? "all-table" : "all-columns", russian);
    }
}
