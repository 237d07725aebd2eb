// The beaded image: the colour list's layout, the title band's height, the
// composed picture of every placement and file type read back with the
// codec layer and ImageMagick, and a failed export that leaves the target.
#include <cmath>
#include <cstdio>

#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "image/Image.h"
#include "lang/ids/base.h"
#include "core/Registry.h"
#include "settings/GraphicOutput.h"
#include "tests/view/file_fixture.h"
#include "view/BeadedImageExport.h"

using namespace filetest;

namespace {

// A palette of n colours with counts n, n - 1, ... 1 in reverse palette order.
void UsedPalette(CColorSet& palette, int n) {
  MakePalette(palette, n);
  for (int i = 0; i < n; ++i) palette.GetColor(i)->count = static_cast<DWORD>(i + 1);
}

std::string Identify(const fs::path& file) {
  const std::string command = "identify -units PixelsPerInch -format '%w %h %x %y' '" + file.string() + "' 2>/dev/null";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
  }
  return out;
}

}  // namespace

TEST_F(FileTest, ColourListLayoutBelowAndBeside) {
  CColorSet palette;
  UsedPalette(palette, 7);
  palette.GetColor(3)->count = 0;  // not used: not listed
  std::vector<CPaletteColor> entries;
  CollectUsedColors(palette, entries);
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries.front().mfgName, "DB-106");  // most used first
  UsedPalette(palette, 7);
  CollectUsedColors(palette, entries);
  ASSERT_EQ(entries.size(), 7u);
  const SIZE cell = GetColorListCell(entries, 20);
  ASSERT_GT(cell.cx, 40);
  ASSERT_GT(cell.cy, 0);
  CColorListLayout layout;
  // Room for 3 cells a row: 3 rows, the last with one colour.
  ASSERT_TRUE(LayOutColorList(entries, 0, 20, 3 * cell.cx + cell.cx / 2, 500, layout));
  EXPECT_EQ(layout.columns, 3);
  EXPECT_EQ(layout.rows, 3);
  EXPECT_EQ(layout.height, 3 * cell.cy);
  // A cell wider than the picture: still one column.
  ASSERT_TRUE(LayOutColorList(entries, 0, 20, cell.cx / 2, 500, layout));
  EXPECT_EQ(layout.columns, 1);
  EXPECT_EQ(layout.rows, 7);
  // Beside: rows of the picture's height.
  ASSERT_TRUE(LayOutColorList(entries, 1, 20, 100, 2 * cell.cy + 1, layout));
  EXPECT_EQ(layout.rows, 2);
  EXPECT_EQ(layout.columns, 4);
  EXPECT_EQ(layout.width, 4 * cell.cx);
  EXPECT_FALSE(LayOutColorList(entries, 2, 20, 100, 100, layout));
  EXPECT_FALSE(LayOutColorList({}, 0, 20, 100, 100, layout));

  // The picture: the first swatch is the most used colour.
  LOGFONT symbols{};
  std::snprintf(symbols.lfFaceName, sizeof symbols.lfFaceName, "Arial");
  auto list = BuildColorListImage(entries, 0, 20, 3 * cell.cx + cell.cx / 2, 500, symbols);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetHeight(), 3 * cell.cy);
  COLORREF swatch = 0;
  ASSERT_TRUE(list->GetPixelColor(1, list->GetHeight() - 1 - cell.cy / 2, swatch));
  EXPECT_EQ(swatch, entries[0].GetColorref());
}

TEST_F(FileTest, TitleBandHeightFollowsTheRoomItHas) {
  CString title = LoadResString(IDS_APP_TITLE), link;
  GetWebSiteLink(link);
  const std::vector<CString> texts{title, link};
  const int narrowFit = FindFontSize(nullptr, "Tahoma", 160, texts);
  const int wideFit = FindFontSize(nullptr, "Tahoma", 3000, texts);
  EXPECT_LT(narrowFit, 24);
  EXPECT_GT(wideFit, 40);
  EXPECT_EQ(FindFontSize(nullptr, "Tahoma", 2, texts), 6);
  struct Case {
    int width, height, expected;
  };
  const Case cases[] = {{160, -1, narrowFit}, {160, 30, narrowFit}, {3000, -1, 24}, {3000, 30, 30}, {3000, 10, 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.height));
    auto band = BuildTitleBand(c.width, c.height);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->GetWidth(), c.width);
    EXPECT_EQ(band->GetHeight(), c.expected);
  }
}

TEST_F(FileTest, BeadedImageOfEveryPlacementAndTypeReadsBack) {
  bool ok = false;
  CImage design(300, 200, ok, RGB(200, 40, 40));
  ASSERT_TRUE(ok);
  CColorSet palette;
  UsedPalette(palette, 7);
  LOGFONT symbols{};
  std::snprintf(symbols.lfFaceName, sizeof symbols.lfFaceName, "Arial");
  const bool haveIdentify = std::system("identify -version >/dev/null 2>&1") == 0;
  for (int placement : {0, 1, 2}) {
    for (const char* ext : {".jpg", ".png", ".bmp"}) {
      SCOPED_TRACE(std::to_string(placement) + ext);
      CGraphicOutputParams params;
      params.m_listPlacement = placement;
      params.m_fontSize = 20;
      params.m_outputWidth = 300;
      params.m_outputHeight = 200;
      const fs::path file = folder / (std::string("beads") + std::to_string(placement) + ext);
      ASSERT_TRUE(ComposeBeadedImage(design, 3.0, 2.0, palette, symbols, params, Path(file)));
      bool loaded = false;
      CImage back(Path(file), loaded);
      ASSERT_TRUE(loaded);
      const int bandHeight = 20;  // the font size fits a 300-pixel band? then it is the band
      std::vector<CPaletteColor> entries;
      CollectUsedColors(palette, entries);
      CColorListLayout layout;
      LayOutColorList(entries, placement, 20, 300, 200, layout);
      int width = 300, height = 200;
      double inchesWide = 3.0, inchesHigh = 2.0;
      auto band = BuildTitleBand(placement == 1 ? 300 + layout.width : 300, placement == 2 ? -1 : 20);
      ASSERT_NE(band, nullptr);
      (void)bandHeight;
      if (placement == 0) {
        height = 200 + 10 + layout.height + 3 + band->GetHeight();
        inchesHigh = (200.0 + layout.height + band->GetHeight()) * 2.0 / 200.0;
      } else if (placement == 1) {
        width = 300 + 10 + layout.width;
        height = 200 + 3 + band->GetHeight();
        inchesWide = 3.0 * (300.0 + layout.width) / 300.0;
        inchesHigh = (200.0 + band->GetHeight()) * 2.0 / 200.0;
      } else {
        height = 200 + 3 + band->GetHeight();
        inchesHigh = height * 2.0 / 200.0 - 3 * 2.0 / 200.0;
      }
      EXPECT_EQ(back.GetWidth(), width);
      EXPECT_EQ(back.GetHeight(), height);
      if (haveIdentify) {
        int w = 0, h = 0;
        double x = 0, y = 0;
        ASSERT_EQ(std::sscanf(Identify(file).c_str(), "%d %d %lf %lf", &w, &h, &x, &y), 4) << Identify(file);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        // Dots per inch; PNG and BMP keep dots per metre, rounded.
        EXPECT_NEAR(x, std::round(width / inchesWide), 0.6);
        EXPECT_NEAR(y, std::round(height / inchesHigh), 0.6);
      }
    }
  }
}

TEST_F(FileTest, FailedExportLeavesTheTargetAlone) {
  bool ok = false;
  CImage design(60, 40, ok, RGB(0, 0, 255));
  CColorSet palette;
  UsedPalette(palette, 3);
  LOGFONT symbols{};
  CGraphicOutputParams params;
  params.m_outputWidth = 60;
  params.m_outputHeight = 40;
  // The target is a folder: the picture cannot take its place.
  fs::create_directories(folder / "taken.png" / "inside");
  EXPECT_FALSE(ComposeBeadedImage(design, 1, 1, palette, symbols, params, Path(folder / "taken.png")));
  EXPECT_TRUE(fs::is_directory(folder / "taken.png" / "inside"));
  EXPECT_FALSE(ComposeBeadedImage(design, 1, 1, palette, symbols, params, Path(folder / "no" / "x.png")));
  EXPECT_EQ(ListFolder(folder), (std::vector<std::string>{"data", "taken.png"}));
  // No colour in use: the design and its band, as without a list.
  MakePalette(palette, 3);
  ASSERT_TRUE(ComposeBeadedImage(design, 1, 1, palette, symbols, params, Path(folder / "plain.png")));
  bool loaded = false;
  CImage back(Path(folder / "plain.png"), loaded);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(back.GetWidth(), 60);
  EXPECT_EQ(back.GetHeight(), 40 + 3 + BuildTitleBand(60, -1)->GetHeight());
}

TEST_F(FileTest, OriginalPictureAtItsOwnSizeIsCopiedElseEncoded) {
  bool ok = false;
  CImage original(80, 60, ok, RGB(30, 60, 90));
  ASSERT_TRUE(ok);
  const fs::path source = folder / "source.jpg";
  ASSERT_TRUE(CImage(original).SaveFile(Path(source)));
  bool loaded = false;
  CImage picture(Path(source), loaded);
  ASSERT_TRUE(loaded);
  // Same size and type: the very bytes.
  EXPECT_EQ(WithTypeExtension(Path(folder / "copy"), 1), Path(folder / "copy.jpg"));
  ASSERT_TRUE(SaveOriginalPicture(picture, Path(source), Path(folder / "copy.jpg"), 1, SIZE{80, 60}));
  EXPECT_EQ(qmtest::ReadAll(folder / "copy.jpg"), qmtest::ReadAll(source));
  // Another type, another size: encoded.
  EXPECT_EQ(WithTypeExtension(Path(folder / "small"), 4), Path(folder / "small.png"));
  EXPECT_EQ(WithTypeExtension(Path(folder / "small.x"), 4), Path(folder / "small.x"));
  ASSERT_TRUE(SaveOriginalPicture(picture, Path(source), Path(folder / "small.png"), 4, SIZE{40, 30}));
  CImage back(Path(folder / "small.png"), loaded);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(back.GetWidth(), 40);
  EXPECT_EQ(back.GetHeight(), 30);
  ASSERT_TRUE(SaveOriginalPicture(picture, "", Path(folder / "same.bmp"), 0, SIZE{80, 60}));
  CImage bmp(Path(folder / "same.bmp"), loaded);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(bmp.GetWidth(), 80);
}
