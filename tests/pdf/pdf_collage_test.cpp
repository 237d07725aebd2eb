// The collage pages ("the design growing row by row") against the way they
// were first written, one picture of the first rows a page: on a table of
// designs (formats, sizes, the page upright and turned, the grid on and off)
// both charts are rendered and compared page by page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "core/FrameServices.h"
#include "lang/ids/pdf.h"
#include "pdf/PdfExport.h"
#include "settings/GridSettings.h"
#include "tests/design/design_test_util.h"
#include "tests/pdf/pdf_fixture.h"
#include "tests/pdflib/pdf_tools.h"

namespace fs = std::filesystem;
using pdftest::Language;

namespace {

// The collage as it was written before the pages shared their pictures: one
// copy of the design grows row by row and each page gets its own picture.
bool WriteCollageOnePicturePerPage(CPdfExportNew& exporter, const CPattern& design, const CPdfTextStyle& style) {
  const int rows = static_cast<int>(design.GetRowCount());
  const int columns = static_cast<int>(design.GetColumnCount());
  if (rows > 1 && static_cast<long long>(rows) * columns <= design.GetBeadCount()) {
    CPattern copy(design);
    for (int row = 1; row < rows; ++row)
      for (int column = 0; column < columns; ++column) copy.SetBeadPresent(column, row, false);
    for (int k = 1; k < rows; ++k) {
      CString title;
      title.Format(LoadResString(IDS_PDF_ASSEMBLING_ROWS), k);
      if (!exporter.WritePreviewFitToPage(copy, title, style)) return false;
      for (int column = 0; column < columns; ++column) {
        const CBead* original = design.GetBeadAt(column, k);
        if (original && original->IsPresent()) copy.SetBeadPresent(column, k, true);
      }
    }
  }
  return exporter.WritePreviewFitToPage(design, LoadResString(IDS_PDF_ASSEMBLING_ALL), style);
}

bool WriteChart(CPattern& design, const CColorSet& palette, CPdfData& data, const fs::path& pdf, bool old) {
  CPdfExportNew exporter(&design, palette, &data);
  exporter.Library().begin_document(pdf.string(), "");
  const bool ok = old ? WriteCollageOnePicturePerPage(exporter, design, data.m_previewStyle)
                      : exporter.WriteCollage(data.m_previewStyle);
  if (!ok) return false;
  exporter.CloseAllPages();
  exporter.Library().end_document("");
  return true;
}

struct PageDifference {
  double meanAbs = 0;  // mean absolute difference of the channels
  double farShare = 0; // share of pixels with a channel more than 64 apart
};

PageDifference Compare(const qmtest::Pixmap& a, const qmtest::Pixmap& b) {
  PageDifference d;
  if (a.width != b.width || a.height != b.height || !a.Ok()) return PageDifference{1e9, 1};
  long long sum = 0, far = 0;
  const size_t pixels = static_cast<size_t>(a.width) * a.height;
  for (size_t i = 0; i < pixels; ++i) {
    int most = 0;
    for (int c = 0; c < 3; ++c) {
      const int diff = std::abs(int(a.rgb[i * 3 + c]) - int(b.rgb[i * 3 + c]));
      sum += diff;
      most = std::max(most, diff);
    }
    if (most > 64) ++far;
  }
  d.meanAbs = static_cast<double>(sum) / (3.0 * pixels);
  d.farShare = static_cast<double>(far) / pixels;
  return d;
}

// The picture objects the pages draw (pdfimages -list: a line a placing
// after two head lines, the object number in the eleventh column).
size_t PictureObjects(const fs::path& pdf) {
  std::istringstream lines(qmtest::RunCommand("pdfimages -list " + qmtest::Quote(pdf)));
  std::set<std::string> objects;
  std::string line;
  for (int n = 0; std::getline(lines, line); ++n) {
    if (n < 2) continue;
    std::istringstream fields(line);
    std::string field;
    for (int i = 0; i <= 10 && fields >> field; ++i)
      if (i == 10) objects.insert(field);
  }
  return objects.size();
}

CPattern Colored(CPattern design, int colors) {
  const int columns = static_cast<int>(design.GetColumnCount()), rows = static_cast<int>(design.GetRowCount());
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      if (CBead* bead = design.GetBeadAt(column, row)) bead->SetColorIndex((column / 2 + row * 3) % colors);
  return design;
}

}  // namespace

TEST(PdfCollage, PagesLookAsOnePicturePerPageAndTheFileHoldsTwoPictures) {
  Language english(false);
  ASSERT_TRUE(english.Loaded());
  CColorSet palette = pdftest::MakePalette();
  struct Case {
    const char* name;
    CPattern design;
    int orientation;
    bool grid;
  };
  CPattern withHoles = Colored(designtest::MakeGrid(9, 7, kFormatLoom, 0, 0.3f), 5);
  withHoles.SetBeadPresent(4, 2, false);
  withHoles.SetBeadPresent(0, 6, false);
  std::vector<Case> cases;
  cases.push_back({"loom", Colored(designtest::MakeGrid(12, 9, kFormatLoom, 0, 0.3f), 5), 0, false});
  cases.push_back({"peyote turned", pdftest::MakePeyote(20, 16, palette), 1, false});
  cases.push_back({"peyote grid", pdftest::MakePeyote(14, 11, palette), 0, true});
  // Narrow beads: neighbours in a row share a pixel column of the picture.
  cases.push_back({"loom 300 x 12 narrow", Colored(designtest::MakeGrid(300, 12, kFormatLoom, 0, 0.05f), 5), 0, false});
  cases.push_back({"brick", Colored(designtest::MakeGrid(10, 8, kFormatBrick, 0, 0.3f), 5), 0, false});
  cases.push_back({"3-peyote", Colored(designtest::MakeGrid(9, 8, kFormatPeyote + 2, 0, 0.3f), 5), 0, false});
  cases.push_back({"loom with holes turned", withHoles, 1, true});
  CGridSettings& grid = GetGridSettings();
  const CGridSettings savedGrid = grid;
  const fs::path dir = qmtest::MakeTempDir("pdf-collage");
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid.m_showGrid = c.grid;
    grid.m_step = 3;
    grid.m_pdfWidth = 3;
    grid.m_color = RGB(200, 0, 0);
    palette.CountUsageQuick(c.design);
    CPdfData data;
    data.m_previewStyle.m_orientation = c.orientation;
    const fs::path before = dir / "before.pdf", after = dir / "after.pdf";
    ASSERT_TRUE(WriteChart(c.design, palette, data, before, true));
    ASSERT_TRUE(WriteChart(c.design, palette, data, after, false));
    EXPECT_TRUE(qmtest::QpdfCheckPasses(after));
    const int rows = static_cast<int>(c.design.GetRowCount());
    ASSERT_EQ(qmtest::PdfInfo(after, "Pages"), std::to_string(rows));
    EXPECT_EQ(qmtest::PdfText(after), qmtest::PdfText(before));
    // Two pictures instead of one a page.
    EXPECT_LT(fs::file_size(after) * 3, fs::file_size(before)) << fs::file_size(after) << " " << fs::file_size(before);
    EXPECT_EQ(PictureObjects(after), 2u);
    for (int page = 1; page <= rows; ++page) {
      SCOPED_TRACE(page);
      const qmtest::Pixmap a = qmtest::Render(before, page, 50), b = qmtest::Render(after, page, 50);
      const PageDifference d = Compare(a, b);
      // Only pixels along the rows' edge may differ (the clipping path's
      // edge and the JPEG's blocks there); a row too many or too few would
      // differ on 4 % of the page or more.
      EXPECT_LT(d.meanAbs, 1.0);
      EXPECT_LT(d.farShare, 0.008);
      if (page == rows) {
        EXPECT_EQ(d.meanAbs, 0.0);  // the whole design: the same picture
      }
    }
    if (std::string(c.name) == "peyote turned") pdftest::Shoot(after.string(), "collage-peyote", false);
  }
  grid = savedGrid;
}
