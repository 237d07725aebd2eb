// The export's arithmetic and option texts without a real library: page
// geometry, document options, information order, error texts, colour-list
// widths, grid tiling, rulers, row shifts and cell colours (the calls are
// recorded by the recording table).
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <set>

#include "core/FrameServices.h"
#include "image/Image.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"
#include "tests/design/design_test_util.h"
#include "tests/pdf/pdf_fixture.h"

using pdftest::Language;
using pdftest::PageSize;
using pdftest::Recording;

TEST(PdfGeometry, DefaultPagesOfBothLanguagesAndLetter) {
  for (bool russian : {false, true}) {
    Language language(russian);
    CAppSettings defaults;
    EXPECT_EQ(PdfInchesToPoints(defaults.m_pdfPageWidth), 595) << russian;
    EXPECT_EQ(PdfInchesToPoints(defaults.m_pdfPageHeight), 842) << russian;
  }
  EXPECT_EQ(PdfInchesToPoints(8.5), 612);
  EXPECT_EQ(PdfInchesToPoints(11), 792);
  // The exporter's page follows the application settings.
  Recording recording;
  PageSize letter(8.5, 11);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(4, 4, palette);
  CPdfData data;
  CPdfExportNew exporter(&design, palette, &data);
  EXPECT_EQ(exporter.PageWidth(), 612);
  EXPECT_EQ(exporter.PageHeight(), 792);
  // Settings without a page take the language's default.
  PageSize none(0, 0);
  EXPECT_EQ(exporter.PageWidth(), 595);
  EXPECT_EQ(exporter.PageHeight(), 842);
}

TEST(PdfGeometry, BandsAtTopAndBottom) {
  CPdfData data;
  data.m_marginTop = 10;
  data.m_pageTitleStyle.m_size = 10;
  data.m_marginBottom = 10;
  data.m_versionStyle.m_size = 8;
  EXPECT_EQ(ComputeTopOffset(data), 22);
  EXPECT_EQ(ComputeBottomOffset(data), 19);
  data.m_headerText = "Header";
  data.m_headerStyle.m_size = 7;
  data.m_footerText = "Footer";
  data.m_footerStyle.m_size = 6;
  EXPECT_EQ(ComputeTopOffset(data), 29);
  EXPECT_EQ(ComputeBottomOffset(data), 25);
}

TEST(PdfOptions, DocumentOptionsAndQuoting) {
  struct Case {
    int noPrint, noModify, noCopy;
    const char* user;
    const char* master;
    const char* expected;
  };
  const Case cases[] = {
      {0, 0, 0, "user", "master", ""},
      {0, 0, 1, "", "m", "masterpassword={m} permissions={nocopy }"},
      {1, 1, 1, "u", "m", "masterpassword={m} userpassword={u} permissions={noprint nomodify nocopy }"},
      {1, 0, 0, "", "a b}", "masterpassword={a b\\}} permissions={noprint }"},
      {0, 1, 0, "x\\{", "m", "masterpassword={m} userpassword={x\\\\\\{} permissions={nomodify }"},
  };
  for (const Case& c : cases) {
    CPdfData data;
    data.m_noPrint = c.noPrint;
    data.m_noModify = c.noModify;
    data.m_noCopy = c.noCopy;
    data.m_userPassword = c.user;
    data.m_masterPassword = c.master;
    EXPECT_EQ(CPdfExportNew::BuildDocumentOptions(data), c.expected) << c.expected;
  }
  EXPECT_EQ(EscapeCharrefText("A&B <1>"), "A&amp;B &lt;1&gt;");
}

TEST(PdfOptions, NumbersUseAPointWhateverTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  bool commaLocale = false;
  for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"})
    if (std::setlocale(LC_NUMERIC, name)) {
      commaLocale = true;
      break;
    }
  EXPECT_EQ(PdfFormat("rgb %.2f %.3f %f %.1f", 0.5, 0.25, 1.0, 0.97), "rgb 0.50 0.250 1.000000 1.0");
  EXPECT_EQ(PdfFormat("%d%% {%s} %u %5d|%c", 7, "Arial,Bold", 12u, 42, 'x'), "7% {Arial,Bold} 12    42|x");
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!commaLocale) GTEST_SKIP() << "no locale with a decimal comma installed";
}

TEST(PdfDocument, InformationOrderAndTableSizeTexts) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(4, 4, palette);
  CPdfData data;
  data.m_wholeDesignPage = data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 0;
  data.m_keywords = "k";
  data.m_author = "a";
  data.m_creator = "c";
  data.m_subject = "";
  data.m_title = "t";
  const auto dir = qmtest::MakeTempDir("pdf-info");
  {
    Recording recording;
    CPdfExportNew exporter(&design, palette, &data);
    // The recording table writes no file: the finished document has nothing
    // to put in the target's place.
    EXPECT_FALSE(exporter.Export((dir / "info.pdf").string().c_str()));
    EXPECT_EQ(exporter.GetErrorText().Left(26), "Cannot delete existed file");
    const auto infos = recording.Named("set_info2");
    ASSERT_EQ(infos.size(), 4u);
    EXPECT_NE(infos[0].find("'Creator'"), std::string::npos);
    EXPECT_NE(infos[1].find("'Author'"), std::string::npos);
    EXPECT_NE(infos[2].find("'Title'"), std::string::npos);
    EXPECT_NE(infos[3].find("'Keywords'"), std::string::npos);
    EXPECT_EQ(recording.Count("begin_document"), 1);
    EXPECT_EQ(recording.Count("end_document"), 1);
  }
  for (int code : {3424, 3425, 1101}) {
    Recording recording;
    CPdfExportNew exporter(&design, palette, &data);
    qmtest::RecordingApi::failNumber = code;
    qmtest::RecordingApi::failMessage = "library text";
    EXPECT_FALSE(exporter.Export((dir / "fail.pdf").string().c_str()));
    EXPECT_EQ(exporter.GetError(), PdfExportError::Library);
    EXPECT_EQ(exporter.GetErrorCode(), code);
    const CString expected = code == 3424   ? LoadResString(IDS_PDF_TABLE_TOO_WIDE)
                             : code == 3425 ? LoadResString(IDS_PDF_TABLE_TOO_HIGH)
                                            : CString("library text");
    EXPECT_EQ(exporter.GetErrorText(), expected);
  }
  EXPECT_TRUE(LoadResString(IDS_PDF_TABLE_TOO_WIDE).Left(25) == "The table width is too la");
}

// The page services leave a library error to the export step that called
// them: a page head whose font call fails throws, and the whole export
// stops with the library's number and text.
TEST(PdfDocument, LibraryErrorsStopTheStep) {
  Language english(false);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(4, 4, palette);
  CPdfData data;
  Recording recording;
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document("x.pdf", "");
  qmtest::RecordingApi::failNumber = 2100;
  qmtest::RecordingApi::failMessage = "no font";
  EXPECT_THROW(exporter.DrawPageHead("T", true, CPdfExportNew::kPageUpright), PDFlib::Exception);
  EXPECT_EQ(exporter.GetError(), PdfExportError::None);
  EXPECT_TRUE(exporter.DrawPageHead("T", true, CPdfExportNew::kPageUpright));
}

// Head and foot of the three page kinds: the header and the title centred
// along the top edge under its margin; the version line, the page number
// and the footer along the bottom edge over its margin. A turned page has
// them along the upright page's left and right edges. The recording
// library measures every text 12.5 points wide.
TEST(PdfPages, HeadAndFootOfEachPageKind) {
  Language english(false);
  PageSize a4(595 / 72.0, 842 / 72.0);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = pdftest::MakePeyote(4, 4, palette);
  CPdfData data;
  data.m_marginTop = 10, data.m_marginBottom = 12, data.m_marginLeft = 20, data.m_marginRight = 30;
  data.m_headerText = "Header", data.m_headerStyle.m_size = 7, data.m_pageTitleStyle.m_size = 10;
  data.m_footerText = "Footer", data.m_footerStyle.m_size = 6, data.m_versionStyle.m_size = 8;
  data.m_createBookmarks = 1;
  struct Case {
    int kind;
    const char* api;  // of the head's lines
    std::vector<std::string> head, foot;
  };
  const Case cases[] = {
      {CPdfExportNew::kPageUpright, "show_xy2",
       {", 291.25, 825)", ", 291.25, 815)"},
       {", 20, 18, '')", ", 552.5, 18, '')", ", 291.25, 10, '')"}},
      {CPdfExportNew::kPageLandscape, "show_xy2",
       {", 414.75, 578)", ", 414.75, 568)"},
       {", 20, 18, '')", ", 799.5, 18, '')", ", 414.75, 10, '')"}},
      {CPdfExportNew::kPageTurned, "fit_textline",
       {", 17, 414.75, 'rotate=90')", ", 27, 414.75, 'rotate=90')"},
       {", 577, 20, 'rotate=90')", ", 577, 799.5, 'rotate=90')", ", 585, 414.75, 'rotate=90')"}},
  };
  auto endsWith = [](const std::string& call, const std::string& end) {
    return call.size() >= end.size() && call.compare(call.size() - end.size(), end.size(), end) == 0;
  };
  for (const Case& c : cases) {
    Recording recording;
    CPdfExportNew exporter(&design, palette, &data);
    ASSERT_TRUE(exporter.DrawPageHead("Title", true, c.kind));
    auto lines = recording.Named(c.api);
    ASSERT_EQ(lines.size(), c.head.size()) << c.kind;
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(endsWith(lines[i], c.head[i])) << lines[i];
    EXPECT_NE(lines[0].find("'Header'"), std::string::npos);
    EXPECT_EQ(recording.Count("create_bookmark"), 1);
    qmtest::RecordingApi::calls.clear();
    ASSERT_TRUE(exporter.DrawPageFoot(c.kind, 3, 9));
    lines = recording.Named("fit_textline");
    ASSERT_EQ(lines.size(), c.foot.size()) << c.kind;
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(endsWith(lines[i], c.foot[i])) << lines[i];
    EXPECT_NE(lines[2].find("'Footer'"), std::string::npos);
  }
}

TEST(PdfColorList, ColumnWidthShares) {
  struct Case {
    std::vector<int> widths;
    bool symbol;
    std::vector<int> model;
    int color, symbolWidth;
  };
  const Case cases[] = {
      {{100, 50, 50}, false, {47, 23, 23}, 7, 0},
      {{100, 50, 50}, true, {47, 23, 23}, 5, 2},
      {{100, 0, 50}, false, {31, 31, 31}, 7, 0},                      // a width of 0: equal shares
      {{kColumnAutoWidth, kColumnAutoWidth}, false, {47, 47}, 6, 0},  // automatic
      {{}, false, {}, 100, 0},
      {{}, true, {}, 83, 17},
  };
  for (const Case& c : cases) {
    CColumnArray columns;
    for (int w : c.widths) columns.push_back(CColumnPair{kColumnMfgName, w});
    const CColorListWidths widths = ComputeColorListWidths(columns, c.symbol);
    EXPECT_EQ(widths.model, c.model);
    EXPECT_EQ(widths.color, c.color);
    EXPECT_EQ(widths.symbol, c.symbolWidth);
  }
}

namespace {

// The ruler numbers (texts of digits only) of the recorded pages, page by
// page, in the order drawn.
std::vector<std::vector<std::string>> RulerNumbers(const std::vector<std::string>& calls) {
  std::vector<std::vector<std::string>> pages;
  for (const std::string& call : calls) {
    if (call.rfind("begin_page_ext", 0) == 0) pages.emplace_back();
    if (call.rfind("show_xy2('", 0) != 0 || pages.empty()) continue;
    const size_t end = call.find('\'', 10);
    const std::string text = call.substr(10, end - 10);
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) pages.back().push_back(text);
  }
  return pages;
}

}  // namespace

TEST(PdfGrid, TilesRulersAndBookmarks) {
  Language english(false);
  Recording recording;
  // The recording table measures every text 12.5 wide: cells of 14.5
  // points; this page holds 10 columns and 10 rows of cells.
  PageSize small(190 / 72.0, 200 / 72.0);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = designtest::MakeGrid(25, 25, kFormatLoom, 0);
  palette.CountUsageQuick(design);
  CPdfData data;
  data.m_gridCellCoding = 1;  // names: every text of digits is a ruler number
  data.m_gridStyle.m_size = 10;
  CPdfExportNew exporter(&design, palette, &data);
  int cc = 0, rr = 0;
  ASSERT_TRUE(exporter.GetGridPageCapacity(14.5, 14, 0, cc, rr));
  EXPECT_EQ(cc, 9);
  EXPECT_EQ(rr, 9);
  exporter.Library().begin_document("x.pdf", "");
  ASSERT_TRUE(exporter.WriteGrid(data.m_gridStyle));
  EXPECT_EQ(exporter.GetPageList(), std::vector<int>(9, 0));
  EXPECT_EQ(recording.Count("create_bookmark"), 1);
  const auto numbers = RulerNumbers(recording.Calls());
  ASSERT_EQ(numbers.size(), 9u);
  // Rows 1, 10, 20 and the last row of each tile; columns 1, 10, 20.
  EXPECT_EQ(numbers[0], (std::vector<std::string>{"1", "10", "1", "10"}));
  EXPECT_EQ(numbers[1], (std::vector<std::string>{"1", "10", "20"}));
  EXPECT_EQ(numbers[2], (std::vector<std::string>{"1", "10"}));
  EXPECT_EQ(numbers[3], (std::vector<std::string>{"20", "1", "10"}));
  EXPECT_EQ(numbers[8], (std::vector<std::string>{"25"}));
  // 25 x 25 cells drawn, each filled once.
  EXPECT_EQ(recording.Count("fill"), 625);
}

TEST(PdfGrid, PageTooSmallFailsWithAText) {
  Language english(false);
  Recording recording;
  PageSize tiny(60 / 72.0, 300 / 72.0);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = designtest::MakeGrid(5, 5, kFormatLoom, 0);
  palette.CountUsageQuick(design);
  CPdfData data;
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document("x.pdf", "");
  EXPECT_FALSE(exporter.WriteGrid(data.m_gridStyle));
  EXPECT_EQ(exporter.GetErrorText(), LoadResString(IDS_PDF_PAGE_TOO_SMALL_FOR_GRID));
  EXPECT_EQ(exporter.GetError(), PdfExportError::PageTooSmallForGrid);
  EXPECT_EQ(exporter.GetErrorCode(), 0);
  EXPECT_EQ(recording.Count("begin_page_ext"), 0);
  int cc = 0, rr = 0;
  EXPECT_FALSE(exporter.GetGridPageCapacity(0, 14, 0, cc, rr));
  EXPECT_FALSE(exporter.GetGridPageCapacity(-3, 14, 0, cc, rr));
}

TEST(PdfGrid, RowShiftsCellRectsAndTextColours) {
  Recording recording;
  CColorSet palette = pdftest::MakePalette();
  CPdfData data;
  const RECT cell{100, 500, 114, 486};
  {
    CPattern brick = designtest::MakeGrid(6, 4, kFormatBrick, 0);
    CPdfExportNew exporter(&brick, palette, &data);
    EXPECT_EQ(exporter.ShiftGridCell(cell, 2, 3, 14).left, 107);  // bottom row: half a cell right
    EXPECT_EQ(exporter.ShiftGridCell(cell, 2, 2, 14).left, 100);
  }
  {
    CPattern peyote = designtest::MakeGrid(6, 4, kFormatPeyote, 0);
    CPdfExportNew exporter(&peyote, palette, &data);
    EXPECT_EQ(exporter.ShiftGridCell(cell, 2, 1, 14).top, 500);  // even column level
    EXPECT_EQ(exporter.ShiftGridCell(cell, 3, 1, 14).top, 493);  // odd column half a row lower
    EXPECT_EQ(exporter.ShiftGridCell(cell, 3, 1, 14).bottom, 479);
  }
  {
    CPattern sacred = designtest::MakeGrid(6, 4, kFormatSacredBrick, 0);
    CPdfExportNew exporter(&sacred, palette, &data);
    EXPECT_EQ(exporter.ShiftGridCell(cell, 0, 2, 15).left, 110);  // (rows - 1 - 2) odd: 2/3 of a cell
    EXPECT_EQ(exporter.ShiftGridCell(cell, 0, 3, 15).left, 100);
  }
  // Cell rectangles of a tile starting at column 10, row 20.
  const CGridPageMapper mapper(20, 22, RECT{10, 20, 15, 25}, 842, 14, 14);
  RECT r{};
  ASSERT_TRUE(mapper.GetCellRect(10, 20, r));
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 820);
  EXPECT_EQ(r.bottom, 806);
  ASSERT_TRUE(mapper.GetCellRect(15, 25, r));
  EXPECT_EQ(r.left, 90);
  EXPECT_EQ(r.right, 104);
  EXPECT_EQ(r.top, 750);
  EXPECT_FALSE(mapper.GetCellRect(16, 20, r));
  EXPECT_FALSE(mapper.GetCellRect(10, 19, r));

  // Text on real colours: black from a sum of 384.
  CPattern design = designtest::MakeGrid(2, 2, kFormatLoom, 0);
  CPdfExportNew exporter(&design, palette, &data);
  COLORREF background = 0, text = 0;
  data.m_gridColoring = 0;
  exporter.GetGridCellColors(CPaletteColor(CRgbTriple(128, 128, 128), "g", 0, 1, 1, 1), background, text);
  EXPECT_EQ(background, RGB(128, 128, 128));
  EXPECT_EQ(text, RGB(0, 0, 0));
  exporter.GetGridCellColors(CPaletteColor(CRgbTriple(127, 128, 128), "g", 0, 1, 1, 1), background, text);
  EXPECT_EQ(text, RGB(255, 255, 255));
  data.m_gridColoring = 2;
  CPaletteColor variant(CRgbTriple(1, 2, 3), "v", 0, 1, 1, 1);
  variant.symbolVariant = 1;
  exporter.GetGridCellColors(variant, background, text);
  EXPECT_EQ(text, RGB(255, 0, 0));
  EXPECT_EQ(background, RGB(255, 255, 255));
  variant.symbolVariant = 2;
  exporter.GetGridCellColors(variant, background, text);
  EXPECT_EQ(text, RGB(0, 0, 255));
  for (int n : {1, 10, 20, 990}) EXPECT_TRUE(IsRulerNumber(n)) << n;
  for (int n : {0, 2, 9, 11, 25}) EXPECT_FALSE(IsRulerNumber(n)) << n;
}

TEST(PdfPreview, ActualSizeTilesOfATenByFiveInchDesign) {
  Language english(false);
  Recording recording;
  PageSize a4(8.268, 11.693);
  CColorSet palette = pdftest::MakePalette();
  CPattern design = designtest::MakeGrid(10, 5, kFormatLoom, 0);  // beads of 1 inch
  palette.CountUsageQuick(design);
  CPdfData data;
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document("x.pdf", "");
  ASSERT_TRUE(exporter.WritePreviewActualSize(design, data.m_previewStyle)) << exporter.GetErrorText().GetString();
  EXPECT_EQ(exporter.GetPageList(), (std::vector<int>{0, 0}));
  const auto images = recording.Named("fit_image");
  ASSERT_EQ(images.size(), 2u);
  // 720 x 360 points in tiles of 565 x 760: 565 wide and the rest, 155.
  EXPECT_NE(images[0].find("boxsize={565 360}"), std::string::npos) << images[0];
  EXPECT_NE(images[1].find("boxsize={155 360}"), std::string::npos) << images[1];
  const auto titles = recording.Named("show_xy2");
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_NE(titles[0].find(" - column 1, row 1'"), std::string::npos) << titles[0];
  EXPECT_NE(titles[1].find(" - column 2, row 1'"), std::string::npos) << titles[1];
}

TEST(PdfPreview, CollageGrowsRowByRow) {
  Language english(false);
  Recording recording;
  CColorSet palette = pdftest::MakePalette();
  CPattern design = designtest::MakeGrid(4, 3, kFormatLoom, 0);
  palette.CountUsageQuick(design);
  CPdfData data;
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document("x.pdf", "");
  ASSERT_TRUE(exporter.WriteCollage(data.m_previewStyle));
  const auto titles = recording.Named("show_xy2");
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_NE(titles[0].find("assembling preview, rows 1 - 1'"), std::string::npos);
  EXPECT_NE(titles[1].find("assembling preview, rows 1 - 2'"), std::string::npos);
  EXPECT_NE(titles[2].find("assembling preview, all rows'"), std::string::npos);
  // The design itself is left whole.
  for (const CBead& bead : design.m_beads) EXPECT_TRUE(bead.IsPresent());
  // The plain renderer leaves rows taken away in the background colour.
  CPattern half = design;
  for (int column = 0; column < 4; ++column) half.SetBeadPresent(column, 2, false);
  auto image = RenderPatternPlain(half, palette, SIZE{40, 30}, RGB(255, 255, 255), nullptr);
  ASSERT_TRUE(image);
  BYTE r = 0, g = 0, b = 0;
  image->GetPixelRGB(5, 25, r, g, b);  // top row: bead colour
  EXPECT_EQ(RGB(r, g, b), RGB(200, 30, 40));
  image->GetPixelRGB(5, 5, r, g, b);  // bottom row: taken away
  EXPECT_EQ(RGB(r, g, b), RGB(255, 255, 255));
}

TEST(PdfPreview, FittedPictureBoxUprightAndTurned) {
  // A4: margins 20 and 10, top offset 22, bottom offset 19, version-ID size
  // 8. A turned picture keeps 5 x 8 points clear of the head and the foot.
  struct Case {
    int orientation;
    const char* fit;
  };
  const Case cases[] = {
      {0, "20, 19, 'boxsize={565 801} position={center} fitmethod=meet'"},
      {1, "42, 40, 'boxsize={514 772} position={center} fitmethod=meet orientate=west'"},
  };
  for (const Case& c : cases) {
    Language english(false);
    Recording recording;
    PageSize a4(8.268, 11.693);
    CColorSet palette = pdftest::MakePalette();
    CPattern design = designtest::MakeGrid(4, 3, kFormatLoom, 0);
    palette.CountUsageQuick(design);
    CPdfData data;
    data.m_previewStyle.m_orientation = c.orientation;
    CPdfExportNew exporter(&design, palette, &data);
    exporter.Library().begin_document("x.pdf", "");
    ASSERT_TRUE(exporter.WritePreviewFitToPage(design, "t", data.m_previewStyle));
    const auto images = recording.Named("fit_image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_NE(images[0].find(c.fit), std::string::npos) << images[0];
  }
}

// Chart symbols that cannot be told apart (all 0, two colours sharing one,
// one colour at 0) are numbered again from the design's list before the
// colour list and the grid are drawn: digits, never punctuation specks
// (the exporter keeps the palette it drew with).
TEST(PdfGrid, SymbolsThatCannotBeToldApartAreRenumberedForTheGridAndLegend) {
  Language english(false);
  struct Case {
    const char* name;
    std::vector<int> symbols;  // of the palette's first colours
    int used;                  // colours the beads use
  };
  const Case cases[] = {{"all symbols 0", {0, 0, 0}, 3}, {"two share one", {'A', 'A', 'B'}, 3}, {"one at 0", {0}, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CColorSet palette = pdftest::MakePalette();
    for (size_t i = 0; i < c.symbols.size(); ++i) palette.GetColor(static_cast<int>(i))->symbol = c.symbols[i];
    CPattern design = designtest::MakeGrid(6, 4, kFormatLoom, 0);
    for (size_t i = 0; i < design.m_beads.size(); ++i) design.m_beads[i].SetColorIndex(static_cast<int>(i) % c.used);
    palette.CountUsageQuick(design);
    CPdfData data;
    data.m_propertiesPage = 0;
    data.m_wholeDesignPage = 0;
    data.m_collagePages = 0;
    data.m_wordChartPages = 0;
    data.m_colorListPage = 1;
    data.m_gridPages = 1;
    data.m_gridCellCoding = 2;  // symbols
    const std::filesystem::path dir = qmtest::MakeTempDir(std::string("pdf-symbols-") + std::to_string(c.used));
    CPdfExportNew exporter(&design, palette, &data);
    ASSERT_TRUE(exporter.Export((dir / "chart.pdf").string().c_str())) << exporter.GetErrorText().GetString();
    std::set<int> symbols;
    for (int i = 0; i < c.used; ++i) symbols.insert(exporter.GetPalette().GetItem(i).symbol);
    EXPECT_EQ(static_cast<int>(symbols.size()), c.used);
    for (int s : symbols) EXPECT_TRUE(s >= '1' && s < '1' + c.used) << s;
    // The chart with its grid and colour list was written with them.
    EXPECT_GT(std::filesystem::file_size(dir / "chart.pdf"), 1000u);
  }
}
