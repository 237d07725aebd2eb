// The embossed static, the window class name and the version text.
#include <gtest/gtest.h>

#include <QImage>

#include <cstring>

#include "controls/3dColorStatic.h"
#include "controls/VersionText.h"
#include "core/DialogServices.h"
#include "core/Registry.h"
#include "platform/wnd/host.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"

namespace {

constexpr COLORREF kFace = 0x000000, kHighlight = 0xDEDEDE, kShadow = 0x404040, kBack = RGB(200, 220, 240);

QRgb Q(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Rows holding face-coloured pixels, grouped in runs (one run per line),
// each with its horizontal extent.
struct LineRun {
  int top, bottom, left, right;
};
std::vector<LineRun> FaceRuns(const QImage& image) {
  std::vector<LineRun> runs;
  bool inRun = false;
  for (int y = 0; y < image.height(); ++y) {
    int left = image.width(), right = -1;
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (Q(kFace) & 0xFFFFFF)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    if (right >= 0) {
      if (!inRun) runs.push_back({y, y, left, right});
      LineRun& r = runs.back();
      r.bottom = y;
      r.left = std::min(r.left, left);
      r.right = std::max(r.right, right);
    }
    inRun = right >= 0;
  }
  return runs;
}

}  // namespace

TEST(EmbossedStatic, EmptyTextPaintsOnlyTheBackground) {
  ctltest::Host host;
  C3dColorStatic title(kFace, kHighlight, kShadow, kBack);
  ASSERT_TRUE(title.Create("", WS_CHILD | WS_VISIBLE, RECT{0, 0, 120, 40}, &host, 1));
  const QImage image = QmRenderWindow(title.GetSafeHwnd(), false);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, Q(kBack) & 0xFFFFFF);
}

TEST(EmbossedStatic, LinesCentredAsOneBlock) {
  ctltest::Host host(500, 300);
  C3dColorStatic title(kFace, kHighlight, kShadow, kBack);
  ASSERT_TRUE(title.Create("Ab\nWide middle line\nCd", WS_CHILD | WS_VISIBLE, RECT{0, 0, 300, 160}, &host, 1));
  LOGFONT font;
  std::memset(&font, 0, sizeof(font));
  std::strcpy(font.lfFaceName, "Tahoma");
  font.lfHeight = 24;
  font.lfWeight = 700;
  font.lfCharSet = 1;
  title.SetLogFont(font);
  title.Invalidate();
  const QImage image = QmRenderWindow(title.GetSafeHwnd(), false);
  const std::vector<LineRun> runs = FaceRuns(image);
  ASSERT_EQ(runs.size(), 3u);
  for (const LineRun& r : runs) EXPECT_NEAR((r.left + r.right) / 2.0, 150, 2.0);  // each line centred
  EXPECT_GT(runs[1].right - runs[1].left, 3 * (runs[0].right - runs[0].left));
  // The block sits in the middle: equal room above and below, within the
  // glyphs' own ascent and descent.
  EXPECT_NEAR(runs.front().top, 160 - 1 - runs.back().bottom, 10);
  // The highlight copy up-left, the shadow copy down-right.
  const LineRun& first = runs.front();
  bool highlight = false, shadow = false;
  for (int y = first.top - 1; y <= first.bottom + 1; ++y)
    for (int x = first.left - 1; x <= first.right + 1; ++x) {
      highlight |= (image.pixel(x, y) & 0xFFFFFF) == (Q(kHighlight) & 0xFFFFFF);
      shadow |= (image.pixel(x, y) & 0xFFFFFF) == (Q(kShadow) & 0xFFFFFF);
    }
  EXPECT_TRUE(highlight);
  EXPECT_TRUE(shadow);
}

TEST(EmbossedStatic, WindowClassName) {
  EXPECT_STREQ(kMainWindowClassName, "Quillmere Freeware Corvandel Application Class");
  EXPECT_EQ(g_mainWindowClassName, kMainWindowClassName);
}

TEST(VersionText, NumberFromTheDescription) {
  EXPECT_EQ(ExtractVersionNumber("Quillmere 1.01 Freeware\nQuillmere"), "1.01");
  EXPECT_EQ(ExtractVersionNumber("Quillmere v2.5b build"), "2.5b");
  EXPECT_EQ(ExtractVersionNumber("Quillmere Freeware"), "?.?");  // no digit
  EXPECT_EQ(ExtractVersionNumber("Quillmere 1.01"), "?.?");      // no blank after it
  EXPECT_EQ(ExtractVersionNumber(""), "?.?");
}

TEST(VersionText, BothLanguages) {
  const bool wasRussian = IsRussianInterface();
  CString date;
  {
    qmtest::LanguagePack pack(false);
    ASSERT_TRUE(pack.Loaded());
    SetRussianInterface(false);
    GetBuildDateText(date);
    CString text;
    FormatVersionText(text);
    EXPECT_EQ(text, CString("Version #1.01, ") + date);
  }
  {
    qmtest::LanguagePack pack(true);
    ASSERT_TRUE(pack.Loaded());
    SetRussianInterface(true);
    CString ruDate;
    GetBuildDateText(ruDate);
    EXPECT_NE(ruDate, date);  // the month in Russian
    CString text;
    FormatVersionText(text);
    EXPECT_NE(text.Find("1.01"), -1);
    EXPECT_NE(text.Find(ruDate), -1);
  }
  SetRussianInterface(wasRussian);
}
