// Real charts read back as pixels (grid cells and the fitted picture show
// the bead colours), and the failures: long comments continue, a table too
// wide, a folder that cannot be written; an existing PDF is never touched by
// a failed export and no temporary file stays.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"
#include "pdf/PdfExportCommand.h"
#include "platform/base/files.h"
#include "platform/base/msgbox.h"
#include "tests/pdf/pdf_fixture.h"
#include "tests/pdflib/pdf_tools.h"

namespace fs = std::filesystem;
using pdftest::Language;

namespace {

CPdfData Only() {
  CPdfData data = pdftest::AllSections();
  data.m_propertiesPage = data.m_wholeDesignPage = data.m_collagePages = data.m_colorListPage = data.m_gridPages =
      data.m_wordChartPages = 0;
  return data;
}

std::vector<std::string> FolderEntries(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(dir)) out.push_back(entry.path().filename().string());
  return out;
}

// Message boxes and shell calls of one test.
struct Hooks {
  Hooks() {
    SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
      messages.push_back(text);
      types.push_back(type);
      return IDOK;
    });
    QmSetShellExecuteHook([this](HWND, const char* operation, const char* file, const char*, const char*, int show) {
      opened.push_back(std::string(operation) + " " + file + " " + std::to_string(show));
      return reinterpret_cast<HINSTANCE>(42);
    });
  }
  ~Hooks() {
    SetMessageBoxHook(nullptr);
    QmSetShellExecuteHook(nullptr);
  }
  std::vector<CString> messages;
  std::vector<UINT> types;
  std::vector<std::string> opened;
};

}  // namespace

TEST(PdfPixels, GridCellsShowTheirBeadColours) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(20, 16, palette);
  CPdfData data = Only();
  data.m_gridPages = 1;
  data.m_gridCellCoding = 0;
  data.m_gridColoring = 0;
  const fs::path dir = qmtest::MakeTempDir("pdf-grid-pixels");
  const fs::path pdf = dir / "grid.pdf";
  {
    CPdfExportNew exporter(&design, palette, &data);
    ASSERT_TRUE(exporter.Export(pdf.string().c_str())) << exporter.GetErrorText().GetString();
  }
  // The same cell geometry from a second exporter.
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document((dir / "scratch.pdf").string(), "");
  const double cellWidth = exporter.GetGridCellWidth(data.m_gridStyle);
  const int w = static_cast<int>(cellWidth), h = data.m_gridStyle.m_size + 4;
  int cc = 0, rr = 0;
  ASSERT_TRUE(exporter.GetGridPageCapacity(cellWidth, h, 0, cc, rr));
  const int c1 = std::min(cc, 19), r1 = std::min(rr, 15);
  const CGridPageMapper mapper(exporter, RECT{0, 0, c1 + 1, r1 + 1}, exporter.PageHeight(), w, h);
  const int dpi = 144;
  const qmtest::Pixmap page = qmtest::Render(pdf, 1, dpi);
  ASSERT_TRUE(page.Ok());
  int checked = 0;
  for (int r = 0; r <= r1; ++r)
    for (int c = 0; c <= c1; ++c) {
      RECT rect{};
      ASSERT_TRUE(mapper.GetCellRect(c + 1, r + 1, rect));
      rect = exporter.ShiftGridCell(rect, c, r, w);
      const COLORREF want = palette.GetItem(design.GetBeadColor(c, r)).GetColorref();
      const std::uint8_t* px = qmtest::PointPixel(page, rect.left + 2.5, rect.top - 2.5, dpi);
      EXPECT_NEAR(px[0], GetRValue(want), 2) << c << "," << r;
      EXPECT_NEAR(px[1], GetGValue(want), 2) << c << "," << r;
      EXPECT_NEAR(px[2], GetBValue(want), 2) << c << "," << r;
      ++checked;
    }
  EXPECT_EQ(checked, (c1 + 1) * (r1 + 1));
}

TEST(PdfPixels, FittedPictureShowsEachBeadInItsColour) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(20, 16, palette);
  CPdfData data = Only();
  data.m_wholeDesignPage = 1;
  data.m_wholeDesignMode = 1;
  const fs::path dir = qmtest::MakeTempDir("pdf-fit-pixels");
  const fs::path pdf = dir / "fit.pdf";
  CPdfExportNew exporter(&design, palette, &data);
  ASSERT_TRUE(exporter.Export(pdf.string().c_str())) << exporter.GetErrorText().GetString();
  pdftest::Shoot(pdf.string(), "fitted", false);
  // Where the picture lands: the design's proportions fitted into the box
  // between the bands, centred.
  const double boxW = 565, boxH = 842 - 22 - 19;
  double aw = 0, ah = 0;
  design.GetActualSize(aw, ah);
  const double scale = std::min(4 * boxW / aw, 4 * boxH / ah);
  const double pw = static_cast<int>(aw * scale), ph = static_cast<int>(ah * scale);
  const double fit = std::min(boxW / pw, boxH / ph);
  const double x0 = 20 + (boxW - pw * fit) / 2, y0 = 19 + (boxH - ph * fit) / 2;
  const int dpi = 72;
  const qmtest::Pixmap page = qmtest::Render(pdf, 1, dpi);
  ASSERT_TRUE(page.Ok());
  for (const CBead& bead : design.m_beads) {
    const double px = x0 + bead.m_x * pw * fit, py = y0 + bead.m_y * ph * fit;
    double mean[3] = {0, 0, 0};
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        const std::uint8_t* p = qmtest::PointPixel(page, px + dx, py + dy, dpi);
        for (int k = 0; k < 3; ++k) mean[k] += p[k] / 9.0;
      }
    int best = -1;
    double bestDistance = 1e9;
    for (int i = 0; i < 5; ++i) {
      const COLORREF c = palette.GetItem(i).GetColorref();
      const double d = std::pow(mean[0] - GetRValue(c), 2) + std::pow(mean[1] - GetGValue(c), 2) +
                       std::pow(mean[2] - GetBValue(c), 2);
      if (d < bestDistance) bestDistance = d, best = i;
    }
    EXPECT_EQ(best, bead.m_colorIndex) << bead.m_x << "," << bead.m_y;
  }
}

TEST(PdfFailures, LongCommentsContinueOnTheNextPage) {
  Language russian(true);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(6, 4, palette);
  CString comments;
  for (int i = 0; i < 1500; ++i) comments.AppendFormat("%d ", i);
  comments += pdftest::ToCodePage("Конец описания.", true).c_str();
  design.m_attr.Comments() = comments;
  CPdfData data = Only();
  data.m_propertiesPage = 1;
  data.m_propertiesStyle.m_size = 14;
  const fs::path dir = qmtest::MakeTempDir("pdf-comments");
  const fs::path pdf = dir / "comments.pdf";
  CPdfExportNew exporter(&design, palette, &data);
  ASSERT_TRUE(exporter.Export(pdf.string().c_str())) << exporter.GetErrorText().GetString();
  EXPECT_EQ(exporter.GetPageList(), (std::vector<int>{0, 0}));
  EXPECT_TRUE(qmtest::QpdfCheckPasses(pdf));
  const std::string second =
      qmtest::RunCommand("pdftotext -f 2 -l 2 " + qmtest::Quote(pdf) + " -");
  EXPECT_NE(second.find("свойства"), std::string::npos);
  EXPECT_NE(second.find("Конец описания."), std::string::npos);
  EXPECT_NE(second.find("1499"), std::string::npos);
  const std::string first = qmtest::RunCommand("pdftotext -f 1 -l 1 " + qmtest::Quote(pdf) + " -");
  EXPECT_EQ(first.find("1499"), std::string::npos);
  EXPECT_NE(first.find("Автор:"), std::string::npos);
  pdftest::Shoot(pdf.string(), "comments", true);
}

TEST(PdfFailures, TooWideTableKeepsTheOldFile) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(6, 4, palette);
  design.m_pdfData = Only();
  design.m_pdfData.m_colorListPage = 1;
  design.m_pdfData.m_colorListStyle.m_size = 30;
  for (int kind = 0; kind < kColumnKindCount; ++kind)
    design.m_pdfData.m_colorListColumns.columns.push_back(CColumnPair{kind, 50});
  const fs::path dir = qmtest::MakeTempDir("pdf-too-wide");
  const fs::path pdf = dir / "chart.pdf";
  qmtest::WriteAll(pdf, {'o', 'l', 'd'});
  design.m_pdfData.m_outputPath = pdf.string().c_str();
  Hooks hooks;
  EXPECT_FALSE(RunPdfExportCommand(design, palette, nullptr));
  ASSERT_EQ(hooks.messages.size(), 1u);
  EXPECT_EQ(hooks.types[0], kMbIconStop);
  const std::string message = hooks.messages[0].GetString();
  EXPECT_EQ(message.rfind("PDF export error\nPDF export error code 3424\nThe table width is too large.", 0), 0u)
      << message;
  EXPECT_TRUE(hooks.opened.empty());
  EXPECT_EQ(qmtest::ReadAll(pdf), (std::vector<unsigned char>{'o', 'l', 'd'}));
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"chart.pdf"});
}

TEST(PdfFailures, UnwritableFolderShowsTheErrorAndKeepsTheOldFile) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(6, 4, palette);
  design.m_pdfData = Only();
  design.m_pdfData.m_colorListPage = 1;
  const fs::path dir = qmtest::MakeTempDir("pdf-unwritable");
  const fs::path pdf = dir / "chart.pdf";
  qmtest::WriteAll(pdf, {'%', 'P', 'D', 'F'});
  design.m_pdfData.m_outputPath = pdf.string().c_str();
  // Root writes into any folder whose mode forbids it; an immutable folder
  // stops root too.
  const bool root = geteuid() == 0;
  int rc = 0;
  if (root) qmtest::RunCommand("chattr +i " + qmtest::Quote(dir) + " 2>&1", &rc);
  else fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  if (rc != 0) GTEST_SKIP() << "the folder cannot be made unwritable here";
  Hooks hooks;
  const bool ok = RunPdfExportCommand(design, palette, nullptr);
  if (root) qmtest::RunCommand("chattr -i " + qmtest::Quote(dir));
  else fs::permissions(dir, fs::perms::owner_all);
  EXPECT_FALSE(ok);
  ASSERT_EQ(hooks.messages.size(), 1u);
  const std::string message = hooks.messages[0].GetString();
  EXPECT_EQ(message, "PDF export error\nPDF export error code 0\nCannot create the file " + pdf.string()) << message;
  EXPECT_EQ(qmtest::ReadAll(pdf), (std::vector<unsigned char>{'%', 'P', 'D', 'F'}));
  EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"chart.pdf"});
}

TEST(PdfCommand, SuccessReplacesTheFileAndOpensIt) {
  for (bool russian : {false, true}) {
    Language language(russian);
    CColorSet palette = pdftest::MakePalette();
    CPattern design = pdftest::MakePeyote(6, 4, palette);
    design.m_pdfData = Only();
    design.m_pdfData.m_wordChartPages = 1;
    design.m_pdfData.m_colorListPage = 1;
    design.m_pdfData.m_wholeDesignPage = 1;
    design.m_pdfData.m_wholeDesignMode = 0;  // actual size
    const fs::path dir = qmtest::MakeTempDir(russian ? "pdf-command-ru" : "pdf-command-en");
    const fs::path pdf = dir / "chart.pdf";
    qmtest::WriteAll(pdf, {'o', 'l', 'd'});
    design.m_pdfData.m_outputPath = pdf.string().c_str();
    const CPdfData before = design.m_pdfData;
    // A data folder of its own: other test programs export beside it.
    const fs::path data = qmtest::MakeTempDir(russian ? "pdf-command-data-ru" : "pdf-command-data-en");
    SetProgramDataFolder(data.string().c_str());
    Hooks hooks;
    EXPECT_TRUE(RunPdfExportCommand(design, palette, nullptr));
    EXPECT_TRUE(hooks.messages.empty());
    EXPECT_EQ(hooks.opened, std::vector<std::string>{"open " + pdf.string() + " 1"});
    EXPECT_TRUE(qmtest::QpdfCheckPasses(pdf));
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"chart.pdf"});
    EXPECT_TRUE(design.m_pdfData == before);
    pdftest::Shoot(pdf.string(), "actual-size", russian);
    // No picture left in the program's data folder either.
    for (const std::string& name : FolderEntries(data)) EXPECT_EQ(name.find(".jpg"), std::string::npos) << name;
    SetProgramDataFolder("");
  }
}

TEST(PdfCommand, EmptyOutputPathUsesThePdfExportFolder) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(6, 4, palette);
  design.m_pdfData = Only();
  design.m_pdfData.m_wordChartPages = 1;
  design.m_title = "My/Design";
  CString path;
  ASSERT_TRUE(GetDefaultPdfOutputPath(design, path));
  EXPECT_EQ(path, GetProgramDataFolder() + "/PDF Export/My_Design.pdf");
  design.m_title = "";
  design.m_filePath = "/some/where/Flowers.qx";
  ASSERT_TRUE(GetDefaultPdfOutputPath(design, path));
  EXPECT_EQ(path, GetProgramDataFolder() + "/PDF Export/Flowers.pdf");
  design.m_filePath = "";
  ASSERT_TRUE(GetDefaultPdfOutputPath(design, path));
  EXPECT_EQ(path, GetProgramDataFolder() + "/PDF Export/<Pattern without a name>.pdf");
  Hooks hooks;
  EXPECT_TRUE(RunPdfExportCommand(design, palette, nullptr));
  EXPECT_TRUE(qmtest::QpdfCheckPasses(path.GetString()));
  EXPECT_EQ(hooks.opened.size(), 1u);
}
