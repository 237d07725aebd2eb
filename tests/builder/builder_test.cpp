// The design builder: the fast build against a plain bead-by-bead build
// written here from the rules, the reduction against the picture library's
// resizing, sampling, progress, blank designs, softening, format layouts,
// failures, and builds straight from picture files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "builder/BuildPicture.h"
#include "builder/PatternBuilder.h"
#include "design/StitchPath.h"
#include "core/FrameServices.h"
#include "core/Registry.h"
#include "design/Pattern.h"
#include "design/PatternParams.h"
#include "image/Image.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/base/resource.h"
#include "settings/AppSettings.h"
#include "tests/common/test_util.h"

namespace {

// ---- Fixtures ----

CColorSet MakePalette(int count, unsigned seed, int notInUseEvery = 0) {
  CColorSet set;
  std::mt19937 rng(seed);
  for (int i = 0; i < count; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(rng()), static_cast<BYTE>(rng()), static_cast<BYTE>(rng())), "C", 0,
                    i, kDefaultBeadsPerTube, 0);
    if (notInUseEvery && i % notInUseEvery == 1) c.SetInUse(0);
    set.Append(c);
  }
  return set;
}

CColorSet PaletteOf(const std::vector<COLORREF>& colors) {
  CColorSet set;
  int i = 0;
  for (COLORREF c : colors)
    set.Append(CPaletteColor(CRgbTriple(GetRValue(c), GetGValue(c), GetBValue(c)), "C", 0, i++, kDefaultBeadsPerTube,
                             0));
  return set;
}

std::unique_ptr<CImage> MakePicture(int w, int h, const std::function<COLORREF(int, int)>& color) {
  bool ok = false;
  auto image = std::make_unique<CImage>(w, h, ok, 0xFFFFFFFFu);
  EXPECT_TRUE(ok);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = color(x, y);
      image->SetPixelRGB(x, y, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  return image;
}

// Noise over smooth gradients: neighbouring pixels differ, as in photographs.
std::unique_ptr<CImage> NoisePicture(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  return MakePicture(w, h, [&](int x, int y) {
    const int r = (x * 255 / w + static_cast<int>(rng() % 40)) & 0xFF;
    const int g = (y * 255 / h + static_cast<int>(rng() % 40)) & 0xFF;
    const int b = static_cast<int>(rng() & 0xFF);
    return RGB(r, g, b);
  });
}

CPatternParams Params(double columns, double rows, int format, int mode, double spacer = 0.0) {
  CPatternParams p;
  p.m_width = columns;
  p.m_height = rows;
  p.m_beadWidth = 1.0;
  p.m_beadHeight = 1.0;
  p.m_spacer = spacer;
  p.m_format = format;
  p.m_colorMode = mode;
  return p;
}

// Records the message boxes; opens the English pack for their texts.
class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    english_.emplace(false);
    wasRussian_ = IsRussianInterface();
    SetRussianInterface(false);
    SetMessageBoxHook([this](const CString& text, const CString&, UINT type) {
      messages_.push_back(text);
      types_.push_back(type);
      return IDOK;
    });
    blank_ = GetAppSettings().m_blankColor;
    border_ = GetAppSettings().m_borderColor;
  }
  void TearDown() override {
    GetAppSettings().m_blankColor = blank_;
    GetAppSettings().m_borderColor = border_;
    SetMessageBoxHook(nullptr);
    SetRussianInterface(wasRussian_);
    english_.reset();
  }

  std::vector<CString> messages_;
  std::vector<UINT> types_;
  std::optional<qmtest::LanguagePack> english_;
  bool wasRussian_ = false;
  COLORREF blank_ = 0, border_ = 0;
};

// ---- The plain build, step by step as the rules give it ----

COLORREF PlainSample(const CBead& bead, double rw, double rh, const CImage& picture, bool centreOnly) {
  const int W = picture.GetWidth(), H = picture.GetHeight();
  double fx = bead.m_x - rw / 2;
  if (fx < 0) fx = 0;
  int c0 = static_cast<int>(W * fx * 1.0);
  int c1 = static_cast<int>(W * std::min(1.0, 1.0 * (rw + fx)));
  if (c1 >= W) c1 = W - 1;
  double fy = bead.m_y - rh / 2;
  if (fy < 0) fy = 0;
  int r0 = static_cast<int>(H * fy * 1.0);
  int r1 = static_cast<int>(H * std::min(1.0, 1.0 * (rh + fy)));
  if (r1 >= H) r1 = H - 1;
  if (centreOnly) {
    c0 = c1 = (c0 + c1) / 2;
    r0 = r1 = (r0 + r1) / 2;
  }
  unsigned long long sr = 0, sg = 0, sb = 0, n = 0;
  for (int y = r0; y <= r1; ++y)
    for (int x = c0; x <= c1; ++x) {
      BYTE r, g, b;
      if (!picture.GetPixelRGB(x, y, r, g, b)) continue;
      sr += r;
      sg += g;
      sb += b;
      ++n;
    }
  if (!n) return 0;
  return RGB(sr / n, sg / n, sb / n);
}

void PlainSmooth(CPattern& d, const CColorSet& palette) {
  const int columns = static_cast<int>(d.GetColumnCount()), rows = static_cast<int>(d.GetRowCount());
  const std::vector<CBead> before(d.m_beads.begin(), d.m_beads.end());
  for (int i = 1; i < rows - 1; ++i)
    for (int j = 1; j < columns - 1; ++j) {
      int r = 0, g = 0, b = 0;
      for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj) {
          const COLORREF c = before[static_cast<size_t>((i + di) * columns + j + dj)].m_cachedColor;
          r += GetRValue(c);
          g += GetGValue(c);
          b += GetBValue(c);
        }
      d.m_beads[static_cast<size_t>(i * columns + j)].SetColorIndex(palette.FindNearestColor(r / 9, g / 9, b / 9));
    }
}

bool PlainBuild(CPattern& d, unsigned long long budget, const CPatternParams& p, const CColorSet& palette,
                const CImage* picture) {
  if (!(p.m_beadWidth + p.m_spacer > 0) || !(p.m_beadHeight + p.m_spacer > 0)) return false;
  if (!p.CheckBeadBudget(budget)) return false;
  d.ApplyParams(p);
  d.m_beads.clear();
  d.m_rowFormats.clear();
  d.m_markedBeads.clear();
  const int columns = static_cast<int>(d.ComputeColumns()), rows = static_cast<int>(d.ComputeRows());
  std::unique_ptr<CImage> resized;
  const CImage* sample = picture;
  if (picture && columns < picture->GetWidth() && rows < picture->GetHeight()) {
    resized = picture->CreateResized(SIZE{columns, rows});
    if (!resized) return false;
    sample = resized.get();
  }
  d.ApplyFormatOffset(p.m_format);
  // The columns' raises; the height grows to the highest centre when the
  // format's room leaves it above.
  const int divisor = d.m_sacredPeyoteDivisor <= 0 ? 3 : d.m_sacredPeyoteDivisor;
  std::vector<double> raise(static_cast<size_t>(columns), 0.0);
  for (int j = 0; j < columns; ++j) {
    if (IsPeyoteFormat(p.m_format) && IsShiftedColumn(p.m_format, j))
      raise[static_cast<size_t>(j)] = (d.m_spacer + d.m_beadHeight) / 2;
    else if (p.m_format == kFormatSacredPeyote)
      raise[static_cast<size_t>(j)] = (d.m_spacer + d.m_beadHeight) / divisor * (2 - j % 3);
  }
  double top = d.m_beadHeight / 2;
  for (int i = 1; i < rows; ++i) top += d.m_beadHeight + d.m_spacer;
  top += *std::max_element(raise.begin(), raise.end());
  if (top > d.m_actualHeight) d.m_actualHeight = top;
  const double rw = d.m_beadWidth / d.m_actualWidth, rh = d.m_beadHeight / d.m_actualHeight;
  double y = d.m_beadHeight / 2;
  d.m_colorMode = p.m_colorMode;
  const bool centre = p.m_colorMode == kColorModeSharp || p.m_colorMode == kColorModeClassic;
  const COLORREF blank = GetAppSettings().m_blankColor;
  for (int i = 0; i < rows; ++i) {
    const double fy = y / d.m_actualHeight;
    double x = d.GetRowStartX(rows - i - 1, p.m_format);
    BYTE alternate = 1;
    for (int j = 0; j < columns; ++j) {
      const double offset = raise[static_cast<size_t>(j)] / d.m_actualHeight;
      // Rounding never carries a centre past the edges.
      CBead bead(std::min(1.0, x / d.m_actualWidth), std::min(1.0, fy + offset));
      bead.m_alternate = alternate;
      alternate = alternate ? 0 : 1;
      bead.m_cachedColor = d.m_blank ? blank : PlainSample(bead, rw, rh, *sample, centre);
      bead.SetColorIndex(palette.FindNearestColor(GetRValue(bead.m_cachedColor), GetGValue(bead.m_cachedColor),
                                                  GetBValue(bead.m_cachedColor)));
      d.m_beads.push_back(bead);
      x += d.m_beadWidth + d.m_spacer;
    }
    y += d.m_beadHeight + d.m_spacer;
  }
  const COLORREF border = GetAppSettings().m_borderColor;
  if (d.m_blank && border != 0xFFFFFFFFu) {
    const int index = palette.FindNearestColorref(border);
    for (int r = 0; r < rows; ++r) {
      d.SetBeadColor(0, r, index, true);
      d.SetBeadColor(columns - 1, r, index, true);
    }
    for (int c = 0; c < columns; ++c) {
      d.SetBeadColor(c, 0, index, true);
      d.SetBeadColor(c, rows - 1, index, true);
    }
  }
  if (p.m_stitchPath != 0) ApplyStitchPath(d, p.m_stitchPath, p.m_pathColor);
  d.m_angle = 0;
  if (p.m_colorMode == kColorModeSoftened) PlainSmooth(d, palette);
  return true;
}

void ExpectSameDesign(const CPattern& a, const CPattern& b, const std::string& what) {
  EXPECT_EQ(a.m_actualWidth, b.m_actualWidth) << what;
  EXPECT_EQ(a.m_actualHeight, b.m_actualHeight) << what;
  EXPECT_EQ(a.m_colorMode, b.m_colorMode) << what;
  EXPECT_EQ(a.m_angle, b.m_angle) << what;
  EXPECT_EQ(a.m_modified, b.m_modified) << what;
  ASSERT_EQ(a.m_beads.size(), b.m_beads.size()) << what;
  size_t differ = 0, first = 0;
  for (size_t i = 0; i < a.m_beads.size(); ++i)
    if (!(a.m_beads[i] == b.m_beads[i]) && differ++ == 0) first = i;
  EXPECT_EQ(differ, 0u) << what << ": first different bead " << first << " cached " << std::hex
                        << (differ ? a.m_beads[first].m_cachedColor : 0) << " / "
                        << (differ ? b.m_beads[first].m_cachedColor : 0);
}

// Writes a JPEG with libjpeg (components 1 or 3).
void WriteJpeg(const std::string& path, int w, int h, int components, bool progressive,
               const std::function<COLORREF(int, int)>& color) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(w) * components);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF c = color(x, y);
      if (components == 1) {
        row[static_cast<size_t>(x)] = GetGValue(c);
      } else {
        row[3 * static_cast<size_t>(x)] = GetRValue(c);
        row[3 * static_cast<size_t>(x) + 1] = GetGValue(c);
        row[3 * static_cast<size_t>(x) + 2] = GetBValue(c);
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(f);
}

COLORREF PhotoColor(int x, int y) {
  const unsigned h = static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u;
  return RGB((x * 3 + (h & 15)) & 0xFF, (y * 2 + ((h >> 4) & 31)) & 0xFF, ((x + y) + ((h >> 9) & 63)) & 0xFF);
}

}  // namespace

// ---- The reduction ----

TEST(AreaReduction, SameBytesAsThePictureLibraryResizing) {
  struct Case {
    int w, h, tw, th;
  } cases[] = {{5, 3, 2, 2},     {10, 10, 7, 7},   {97, 61, 40, 30},  {120, 90, 40, 30}, {41, 31, 40, 30},
               {300, 7, 1, 1},   {7, 300, 3, 299}, {64, 48, 64, 48},  {1, 1, 1, 1},     {601, 403, 200, 150},
               {257, 129, 256, 128}};
  unsigned seed = 1;
  for (const Case& c : cases) {
    auto picture = NoisePicture(c.w, c.h, seed++);
    auto resized = picture->CreateResized(SIZE{c.tw, c.th});
    ASSERT_TRUE(resized) << c.w << "x" << c.h;
    for (int bands : {1, 3, 1000}) {
      CAreaReduction reduction;
      ASSERT_TRUE(reduction.Plan(c.w, c.h, c.tw, c.th, bands));
      // Bands in any order give the same result.
      CSourceRows rows;
      rows.base = picture->GetBits();
      rows.stride = picture->GetRowStride();
      rows.height = c.h;
      for (int b = reduction.GetBandCount() - 1; b >= 0; --b) reduction.RunBand(b, rows);
      const CSampleImage& out = reduction.GetResult();
      int differ = 0;
      for (int y = 0; y < c.th; ++y)
        for (int x = 0; x < c.tw; ++x) {
          BYTE r, g, b;
          ASSERT_TRUE(resized->GetPixelRGB(x, y, r, g, b));
          const BYTE* p = out.Pixel(x, y);
          if (p[0] != b || p[1] != g || p[2] != r) ++differ;
        }
      EXPECT_EQ(differ, 0) << c.w << "x" << c.h << " to " << c.tw << "x" << c.th << ", " << bands << " bands";
    }
  }
  // Random sizes and band counts.
  std::mt19937 rng(99);
  for (int k = 0; k < 150; ++k) {
    const int w = 1 + static_cast<int>(rng() % 70), h = 1 + static_cast<int>(rng() % 70);
    const int tw = 1 + static_cast<int>(rng() % static_cast<unsigned>(w));
    const int th = 1 + static_cast<int>(rng() % static_cast<unsigned>(h));
    const int bands = 1 + static_cast<int>(rng() % 9);
    auto picture = NoisePicture(w, h, static_cast<unsigned>(k));
    auto resized = picture->CreateResized(SIZE{tw, th});
    ASSERT_TRUE(resized);
    CAreaReduction reduction;
    ASSERT_TRUE(reduction.Plan(w, h, tw, th, bands));
    CSourceRows rows;
    rows.base = picture->GetBits();
    rows.stride = picture->GetRowStride();
    rows.height = h;
    for (int b = 0; b < reduction.GetBandCount(); ++b) reduction.RunBand(b, rows);
    int differ = 0;
    for (int y = 0; y < th; ++y)
      for (int x = 0; x < tw; ++x) {
        BYTE r, g, b;
        resized->GetPixelRGB(x, y, r, g, b);
        const BYTE* p = reduction.GetResult().Pixel(x, y);
        if (p[0] != b || p[1] != g || p[2] != r) ++differ;
      }
    EXPECT_EQ(differ, 0) << w << "x" << h << " to " << tw << "x" << th << ", " << bands << " bands";
  }
  CAreaReduction larger;
  EXPECT_FALSE(larger.Plan(10, 10, 11, 5, 1));
  EXPECT_FALSE(larger.Plan(10, 10, 0, 5, 1));
}

TEST(AreaReduction, PipelineThroughASmallRingOfRows) {
  // A decoder stand-in copies the picture's rows, top first, into a ring
  // barely larger than one band; the pipeline must hold it back until the
  // bands have read the rows it would overwrite.
  auto picture = NoisePicture(97, 203, 5);
  auto resized = picture->CreateResized(SIZE{40, 30});
  ASSERT_TRUE(resized);
  for (int helpers : {0, 1, 3}) {
    for (int batch : {1, 5, 16}) {
      CAreaReduction reduction;
      ASSERT_TRUE(reduction.Plan(97, 203, 40, 30, 12));
      CSourceRows ring;
      ring.height = 203;
      ring.ringRows = reduction.GetMaxBandRows() + batch;
      ring.stride = 97 * 3;
      std::vector<BYTE> slots(static_cast<size_t>(ring.ringRows) * static_cast<size_t>(ring.stride));
      ring.base = slots.data();
      {
        CReductionPipeline pipeline(reduction, ring, helpers);
        for (int first = 0; first < 203; first += batch) {
          const int count = std::min(batch, 203 - first);
          pipeline.BeforeRows(first, count);
          for (int k = 0; k < count; ++k) {
            const int sy = first + k;
            const BYTE* source = picture->GetBits() + static_cast<size_t>(202 - sy) * picture->GetRowStride();
            std::memcpy(const_cast<BYTE*>(ring.Row(sy)), source, 97 * 3);
          }
          pipeline.RowsDecoded(first + count);
        }
        pipeline.Finish();
      }
      int differ = 0;
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
          BYTE r, g, b;
          resized->GetPixelRGB(x, y, r, g, b);
          const BYTE* p = reduction.GetResult().Pixel(x, y);
          if (p[0] != b || p[1] != g || p[2] != r) ++differ;
        }
      EXPECT_EQ(differ, 0) << helpers << " helpers, batches of " << batch;
    }
  }
}

// ---- The fast build against the plain one ----

TEST_F(BuilderTest, FastBuildGivesThePlainBuildsResults) {
  const CColorSet palette = MakePalette(60, 7, 5);
  struct Case {
    int pw, ph;
    double columns, rows, spacer;
    int format, mode, stitch, pathColor;
    int step = 3;  // Sacred Peyote
  } cases[] = {
      {97, 61, 40, 30, 0.0, kFormatLoom, kColorModeExact, 0, 0},
      {97, 61, 40, 30, 0.0, kFormatLoom, kColorModeSharp, 0, 0},
      {120, 90, 40, 30, 0.0, kFormatBrick, kColorModeSoftened, 0, 0},
      {41, 31, 40, 30, 0.25, 3, kColorModeClassic, 0, 0},
      {40, 30, 40, 30, 0.0, kFormatSacredPeyote, kColorModeExact, 0, 0},  // not larger: sampled unchanged
      {30, 50, 40, 30, 0.0, kFormatSacredBrick, kColorModeExact, 0, 0},   // larger one way only
      {200, 150, 40, 30, 0.125, kFormatHerringbone, kColorModeSharp, 1, 3},
      {200, 150, 40, 30, 0.0, 9, kColorModeSoftened, 2, 0},
      // Large enough for the threaded reduction and bead rows.
      {613, 457, 300, 250, 0.0, kFormatLoom, kColorModeExact, 0, 0},
      {613, 457, 300, 250, 0.0, 1, kColorModeSoftened, 0, 0},
      {900, 700, 301, 233, 0.0, kFormatBrick, kColorModeSharp, 0, 0},
      // Centres the format's room would leave above the design: the height
      // grows to the highest one.
      {97, 61, 40, 30, 0.6, kFormatSacredPeyote, kColorModeExact, 0, 0, 2},
      {97, 61, 40, 30, 1.5, 3, kColorModeSoftened, 0, 0},
      {613, 457, 300, 250, 1.0, kFormatPeyote, kColorModeExact, 0, 0},
  };
  unsigned seed = 11;
  for (const Case& c : cases) {
    auto picture = NoisePicture(c.pw, c.ph, seed++);
    CPatternParams params = Params(c.columns, c.rows, c.format, c.mode, c.spacer);
    params.m_stitchPath = c.stitch;
    params.m_pathColor = c.pathColor;
    CPattern fast, plain;
    fast.m_sacredPeyoteDivisor = plain.m_sacredPeyoteDivisor = c.step;
    ASSERT_TRUE(BuildPattern(fast, 1000000, params, palette, picture.get()));
    ASSERT_TRUE(PlainBuild(plain, 1000000, params, palette, picture.get()));
    ExpectSameDesign(fast, plain,
                     std::to_string(c.pw) + "x" + std::to_string(c.ph) + " format " + std::to_string(c.format) +
                         " mode " + std::to_string(c.mode));
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(BuilderTest, ResizesOnlyAPictureStrictlyLargerBothWays) {
  const CColorSet palette = MakePalette(40, 3);
  const CPatternParams params = Params(40, 30, kFormatLoom, kColorModeExact);
  auto expectSampledFrom = [&](const CImage& picture, const CImage& sampled, const char* what) {
    CPattern design;
    ASSERT_TRUE(BuildPattern(design, 1000000, params, palette, &picture));
    const double rw = design.m_beadWidth / design.m_actualWidth, rh = design.m_beadHeight / design.m_actualHeight;
    int differ = 0;
    for (const CBead& b : design.m_beads)
      if (b.m_cachedColor != SampleImageRect(b, rw, rh, sampled, 1.0, 1.0, false)) ++differ;
    EXPECT_EQ(differ, 0) << what;
  };
  auto big = NoisePicture(400, 300, 1);
  expectSampledFrom(*big, *big->CreateResized(SIZE{40, 30}), "400 x 300");
  auto same = NoisePicture(40, 30, 2);
  expectSampledFrom(*same, *same, "40 x 30");
  auto wide = NoisePicture(400, 30, 3);
  expectSampledFrom(*wide, *wide, "400 x 30");
  auto tall = NoisePicture(40, 300, 4);
  expectSampledFrom(*tall, *tall, "40 x 300");
}

TEST(BuilderSampling, SharpTakesTheCentrePixel) {
  // A bead whose rectangle covers columns 10..13 and rows 4..5 of a 64 x 64
  // picture whose every pixel differs.
  auto picture = MakePicture(64, 64, [](int x, int y) { return RGB(x * 4, y * 4, (x + y) & 0xFF); });
  CBead bead(11.75 / 64, 4.75 / 64);
  const double rw = 3.5 / 64, rh = 1.5 / 64;
  EXPECT_EQ(SampleImageRect(bead, rw, rh, *picture, 1.0, 1.0, true), RGB(44, 16, 15));
  // The mean of the 4 x 2 block: red (40+44+48+52)/4, green (16+20)/2, blue
  // of x + y over the block, 8 pixels.
  EXPECT_EQ(SampleImageRect(bead, rw, rh, *picture, 1.0, 1.0, false), RGB(46, 18, 16));
  // No pixel at all: 0.
  CImage empty;
  EXPECT_EQ(SampleImageRect(bead, rw, rh, empty, 1.0, 1.0, false), 0u);
}

// ---- Progress ----

namespace {
struct NullDisplay : IStatusProgressDisplay {
  void SetPos(int) override {}
  void SetStartColor(COLORREF) override {}
  void SetEndColor(COLORREF) override {}
};
struct CountingHost : IProgressHost {
  IStatusProgressDisplay* CreateProgressDisplay(int t, const CString* c, bool) override {
    ++created;
    total = t;
    caption = c ? *c : CString();
    return new NullDisplay;
  }
  void OnProgressEnded() override {}
  int created = 0;
  int total = 0;
  CString caption;
};
}  // namespace

TEST_F(BuilderTest, ProgressFrom8001Beads) {
  CountingHost host;
  const CColorSet palette = MakePalette(8, 1);
  CPatternParams params = Params(80, 100, kFormatLoom, kColorModeExact);
  params.m_blank = 1;
  CPattern design;
  ASSERT_TRUE(BuildPattern(design, 1000000, params, palette, nullptr, &host));
  EXPECT_EQ(design.GetBeadCount(), 8000);
  EXPECT_EQ(host.created, 0);
  params = Params(3, 2667, kFormatLoom, kColorModeExact);
  params.m_blank = 1;
  ASSERT_TRUE(BuildPattern(design, 1000000, params, palette, nullptr, &host));
  EXPECT_EQ(design.GetBeadCount(), 8001);
  EXPECT_EQ(host.created, 1);
  EXPECT_EQ(host.total, 2667 >> 5);  // rows, scaled
  EXPECT_EQ(host.caption, "Pattern's building");
}

// ---- Blank designs ----

TEST_F(BuilderTest, BlankDesignsWithAndWithoutBorder) {
  const CColorSet palette = PaletteOf({RGB(255, 255, 255), RGB(200, 0, 0), RGB(0, 0, 200), RGB(0, 0, 0)});
  GetAppSettings().m_blankColor = RGB(250, 250, 240);
  GetAppSettings().m_borderColor = 0xFFFFFFFFu;
  CPatternParams params = Params(6, 5, kFormatLoom, kColorModeExact);
  params.m_blank = 1;
  CPattern design;
  ASSERT_TRUE(BuildPattern(design, 1000, params, palette, nullptr));
  ASSERT_EQ(design.GetBeadCount(), 30);
  for (const CBead& b : design.m_beads) {
    EXPECT_EQ(b.m_colorIndex, 0);
    EXPECT_EQ(b.m_cachedColor, RGB(250, 250, 240));
    EXPECT_TRUE(b.IsPresent());
  }
  GetAppSettings().m_borderColor = RGB(10, 10, 180);
  ASSERT_TRUE(BuildPattern(design, 1000, params, palette, nullptr));
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 6; ++column) {
      const CBead* b = design.GetBeadAt(column, row);
      ASSERT_NE(b, nullptr);
      const bool ring = row == 0 || row == 4 || column == 0 || column == 5;
      EXPECT_EQ(b->m_colorIndex, ring ? 2 : 0) << column << "," << row;
      EXPECT_EQ(b->m_cachedColor, RGB(250, 250, 240));  // cached colours keep the blank colour
    }
  CPattern plain;
  ASSERT_TRUE(PlainBuild(plain, 1000, params, palette, nullptr));
  ExpectSameDesign(design, plain, "blank with border");
}

// ---- Softening ----

TEST_F(BuilderTest, SofteningLeavesDesignsWithoutInnerBeadsUnchanged) {
  const CColorSet palette = MakePalette(30, 5);
  auto picture = NoisePicture(20, 20, 9);
  for (auto [columns, rows] : {std::pair{2, 7}, std::pair{7, 2}}) {
    CPattern exact, softened;
    ASSERT_TRUE(BuildPattern(exact, 1000, Params(columns, rows, kFormatLoom, kColorModeExact), palette, picture.get()));
    ASSERT_TRUE(
        BuildPattern(softened, 1000, Params(columns, rows, kFormatLoom, kColorModeSoftened), palette, picture.get()));
    ASSERT_EQ(exact.m_beads.size(), softened.m_beads.size());
    for (size_t i = 0; i < exact.m_beads.size(); ++i)
      EXPECT_EQ(exact.m_beads[i].m_colorIndex, softened.m_beads[i].m_colorIndex) << columns << "x" << rows;
    EXPECT_EQ(SmoothColors(softened, palette), rows);
  }
  // A 3 x 3 design: the centre takes the colour nearest to the mean of all
  // nine cached colours; the others keep theirs.
  CPattern design;
  ASSERT_TRUE(BuildPattern(design, 1000, Params(3, 3, kFormatLoom, kColorModeExact), palette, picture.get()));
  const CPattern before = design;
  unsigned r = 0, g = 0, b = 0;
  for (const CBead& bead : design.m_beads) {
    r += GetRValue(bead.m_cachedColor);
    g += GetGValue(bead.m_cachedColor);
    b += GetBValue(bead.m_cachedColor);
  }
  EXPECT_EQ(SmoothColors(design, palette), 3);
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(design.m_beads[i].m_cachedColor, before.m_beads[i].m_cachedColor);
    if (i != 4) {
      EXPECT_EQ(design.m_beads[i].m_colorIndex, before.m_beads[i].m_colorIndex);
    }
  }
  EXPECT_EQ(design.m_beads[4].m_colorIndex, palette.FindNearestColor(r / 9, g / 9, b / 9));
}

// ---- Layouts ----

TEST_F(BuilderTest, SacredPeyoteStaggersColumnsInThrees) {
  const CColorSet palette = MakePalette(4, 2);
  CPatternParams params = Params(7, 3, kFormatSacredPeyote, kColorModeExact);
  params.m_blank = 1;
  for (int divisor : {3, 0, -2}) {  // zero or less counts as 3
    CPattern design;
    design.m_sacredPeyoteDivisor = divisor;
    ASSERT_TRUE(BuildPattern(design, 1000, params, palette, nullptr));
    EXPECT_EQ(design.m_actualHeight, 4.0);  // three rows and one bead of room
    const double base = 0.5 / 4.0;
    const double raise[3] = {2.0 / 3.0 / 4.0, 1.0 / 3.0 / 4.0, 0.0};
    for (int j = 0; j < 7; ++j)
      EXPECT_DOUBLE_EQ(design.m_beads[static_cast<size_t>(j)].m_y, base + raise[j % 3]) << divisor << " column " << j;
  }
  CPattern halves;
  halves.m_sacredPeyoteDivisor = 2;
  ASSERT_TRUE(BuildPattern(halves, 1000, params, palette, nullptr));
  EXPECT_DOUBLE_EQ(halves.m_beads[0].m_y, 0.5 / 4.0 + 1.0 / 4.0);
  EXPECT_DOUBLE_EQ(halves.m_beads[1].m_y, 0.5 / 4.0 + 0.5 / 4.0);
}

TEST_F(BuilderTest, EveryWeaveFormatIsLaidOutByItsRules) {
  const CColorSet palette = MakePalette(4, 2);
  const int columns = 7, rows = 4;
  const double bw = 1.0, bh = 1.0, sp = 0.25;
  for (int format = 0; format < kFormatCount; ++format) {
    CPatternParams params = Params(columns * bw + (columns - 1) * sp, rows * bh + (rows - 1) * sp, format,
                                   kColorModeExact, sp);
    params.m_blank = 1;
    CPattern design;
    ASSERT_TRUE(BuildPattern(design, 1000, params, palette, nullptr)) << format;
    ASSERT_EQ(design.GetBeadCount(), columns * rows) << format;
    double aw = columns * bw + (columns - 1) * sp, ah = rows * bh + (rows - 1) * sp;
    if (format == kFormatBrick) aw += bw / 2;
    if (format == kFormatSacredBrick) aw += bw * 2 / 3;
    if (IsPeyoteFormat(format)) ah += bh / 2;
    if (format == kFormatSacredPeyote) ah += bh;
    EXPECT_DOUBLE_EQ(design.m_actualWidth, aw) << format;
    EXPECT_DOUBLE_EQ(design.m_actualHeight, ah) << format;
    EXPECT_EQ(design.m_format, format);
    for (int i = 0; i < rows; ++i) {
      // Row parity counts from the top row here.
      const bool oddFromTop = ((rows - i - 1) & 1) != 0;
      double start = bw / 2;
      if (format == kFormatBrick) start = oddFromTop ? bw / 2 : bw;
      if (format == kFormatSacredBrick) start = oddFromTop ? bw * 7 / 6 : bw / 2;
      for (int j = 0; j < columns; ++j) {
        const CBead& b = design.m_beads[static_cast<size_t>(i * columns + j)];
        double raise = 0;
        if (IsPeyoteFormat(format) && (j % (2 * format)) < format) raise = (sp + bh) / 2;
        if (format == kFormatSacredPeyote) raise = (sp + bh) / 3 * (2 - j % 3);
        EXPECT_NEAR(b.m_x, (start + j * (bw + sp)) / aw, 1e-12) << format << " bead " << i << "," << j;
        EXPECT_NEAR(b.m_y, (bh / 2 + i * (bh + sp) + raise) / ah, 1e-12) << format << " bead " << i << "," << j;
        EXPECT_EQ(b.m_alternate, (j % 2) == 0 ? 1 : 0);
        EXPECT_TRUE(b.IsPresent());
      }
    }
  }
}

TEST_F(BuilderTest, BeadCentresStayInsideTheDesign) {
  // Sacred Peyote step 2 with a spacer above half a bead and n-Peyote with
  // one above a whole bead raise columns past the format's room: the height
  // grows to the highest centre, which lies on the top edge.
  const CColorSet palette = MakePalette(4, 2);
  struct Case {
    int format, step;
    double spacer, height;
  } cases[] = {{kFormatSacredPeyote, 2, 0.6, 3 * 1.6 + 0.5 + 1.6}, {kFormatPeyote, 3, 1.5, 2.5 * 3 + 0.5 + 1.25},
               {kFormatSacredPeyote, 3, 0.6, 4 + 3 * 0.6 + 1.0}};  // step 3: the room holds the raises
  for (const Case& c : cases) {
    CPatternParams params = Params(7, 4 + 3 * c.spacer, c.format, kColorModeExact, c.spacer);
    params.m_width = 7 + 6 * c.spacer;
    params.m_blank = 1;
    CPattern design;
    design.m_sacredPeyoteDivisor = c.step;
    ASSERT_TRUE(BuildPattern(design, 1000, params, palette, nullptr));
    EXPECT_DOUBLE_EQ(design.m_actualHeight, c.height) << c.format << " step " << c.step;
    double highest = 0;
    for (const CBead& b : design.m_beads) {
      EXPECT_TRUE(b.IsValid()) << b.m_y;
      highest = std::max(highest, b.m_y);
    }
    if (c.step == 2 || c.format == kFormatPeyote) {
      EXPECT_DOUBLE_EQ(highest, 1.0);
    }
  }
}

TEST_F(BuilderTest, PaletteWithoutColoursInUseIsRefusedUpFront) {
  CColorSet palette = MakePalette(5, 4);
  for (int i = 0; i < palette.GetCount(); ++i) palette.SetColorInUse(i, false);
  const CColorSet empty;
  auto picture = NoisePicture(50, 40, 3);
  const std::string jpeg = (qmtest::MakeTempDir("nocolour") / "p.jpg").string();
  WriteJpeg(jpeg, 50, 40, 3, false, PhotoColor);
  const std::string text =
      "No color of the palette is in use, so the beads cannot be given colors.\n"
      "Mark at least one color of the palette as used and build the design again.";
  const CColorSet* const palettes[] = {&palette, &empty};
  for (const CColorSet* p : palettes) {
    for (bool blank : {false, true}) {
      CPatternParams params = Params(20, 10, kFormatLoom, kColorModeExact);
      params.m_blank = blank ? 1 : 0;
      CPattern design;
      design.m_title = "kept";
      messages_.clear();
      EXPECT_FALSE(BuildPattern(design, 1000, params, *p, picture.get()));
      ASSERT_EQ(messages_.size(), 1u);  // this message alone, not 308 as well
      EXPECT_EQ(std::string(messages_[0].GetString()), text);
      EXPECT_EQ(types_[0], 16u);
      EXPECT_FALSE(design.HasBeads());
      EXPECT_EQ(design.m_title, "kept");
      EXPECT_FALSE(design.IsModified());
      EXPECT_FALSE(BuildPatternGrid(design, 1000, params, *p, picture.get()));
      EXPECT_EQ(messages_.size(), 1u);
      std::unique_ptr<CImage> loaded;
      EXPECT_EQ(BuildPatternFromFile(design, 1000, params, *p, jpeg.c_str(), &loaded), BuildFileResult::kBuildFailed);
      ASSERT_EQ(messages_.size(), 2u);
      EXPECT_EQ(std::string(messages_[1].GetString()), text);
      EXPECT_FALSE(loaded);
      EXPECT_FALSE(design.HasBeads());
    }
  }
}

// ---- Failures ----

TEST_F(BuilderTest, SizesThatHoldNoBeadFailWithMessage308) {
  const CColorSet palette = MakePalette(4, 2);
  auto picture = NoisePicture(20, 20, 1);
  // Also sizes a stored design cannot hold: a bead of no size beside a
  // spacer, a negative spacer, sizes that are not finite.
  const double nan = std::nan("");
  struct Case {
    double bead, spacer;
  } cases[] = {{0.0, 0.0}, {-1.0, 0.5}, {0.5, -0.5}, {-0.5, 1.0}, {0.0, 1.0}, {1.0, -0.25}, {nan, 0.0}, {1.0, nan},
               {INFINITY, 0.0}};
  for (const Case& c : cases) {
    for (bool widthWay : {true, false}) {
      CPatternParams params = Params(10, 10, kFormatLoom, kColorModeExact, c.spacer);
      (widthWay ? params.m_beadWidth : params.m_beadHeight) = c.bead;
      messages_.clear();
      CPattern design;
      EXPECT_FALSE(BuildPattern(design, 1000000, params, palette, picture.get()));
      ASSERT_EQ(messages_.size(), 1u);
      EXPECT_EQ(messages_[0], "Memory problem");
      EXPECT_EQ(types_[0], 16u);
    }
  }
  // A size below half a bead holds no bead: nothing to build, blank or not.
  for (bool blank : {false, true}) {
    CPatternParams params = Params(0.4, 10, kFormatLoom, kColorModeExact);
    params.m_blank = blank ? 1 : 0;
    messages_.clear();
    CPattern design;
    EXPECT_FALSE(BuildPattern(design, 1000000, params, palette, picture.get()));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Memory problem");
  }
}

TEST_F(BuilderTest, BudgetExceededShows305Then308) {
  const CColorSet palette = MakePalette(4, 2);
  CPatternParams params = Params(100000, 100000, kFormatLoom, kColorModeExact);
  params.m_blank = 1;
  CPattern design;
  EXPECT_FALSE(BuildPattern(design, 5000000, params, palette, nullptr));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_NE(messages_[0].Find("10,000,000,000"), -1);
  EXPECT_EQ(messages_[1], "Memory problem");
  messages_.clear();
  params = Params(40, 30, kFormatLoom, kColorModeExact);
  params.m_blank = 1;
  EXPECT_FALSE(BuildPattern(design, 1199, params, palette, nullptr));
  EXPECT_EQ(messages_.size(), 2u);
  messages_.clear();
  EXPECT_TRUE(BuildPattern(design, 1200, params, palette, nullptr));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(BuilderTest, RussianFailureText) {
  qmtest::LanguagePack russian(true);
  ASSERT_TRUE(russian.Loaded());
  CPattern design;
  CPatternParams params = Params(10, 10, kFormatLoom, kColorModeExact);
  params.m_beadWidth = 0;
  EXPECT_FALSE(BuildPattern(design, 1000, params, MakePalette(2, 1), nullptr));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(CodePageToUtf8(messages_[0].str(), 1251), "Проблемы с памятью");
}

TEST_F(BuilderTest, BuildKeepsTheDesignsOtherFields) {
  const CColorSet palette = MakePalette(10, 2);
  auto picture = NoisePicture(60, 60, 5);
  CPattern design;
  design.m_title = "Title";
  design.m_angle = 90;
  design.m_rowFormats.push_back(CRowFormat{2, 1});
  design.m_markedBeads.push_back(3);
  ASSERT_TRUE(BuildPattern(design, 1000, Params(10, 8, kFormatBrick, kColorModeSharp), palette, picture.get()));
  EXPECT_EQ(design.m_title, "Title");
  EXPECT_EQ(design.m_angle, 0);
  EXPECT_TRUE(design.m_rowFormats.empty());
  EXPECT_TRUE(design.m_markedBeads.empty());
  EXPECT_EQ(design.m_colorMode, kColorModeSharp);
  EXPECT_TRUE(design.IsModified());
  EXPECT_EQ(design.GetBeadCount(), 80);
}

// ---- Builds from picture files ----

TEST_F(BuilderTest, FromFileMatchesLoadingThenBuilding) {
  const auto dir = qmtest::MakeTempDir("builder-files");
  const CColorSet palette = MakePalette(80, 21, 7);
  struct Case {
    std::string name;
    int w, h, components;
    bool progressive;
    double columns, rows;
    int mode;
  } cases[] = {
      {"big.jpg", 731, 517, 3, false, 300, 250, kColorModeExact},
      {"big-sharp.JPEG", 731, 517, 3, false, 240, 170, kColorModeSharp},
      {"progressive.jpg", 300, 200, 3, true, 100, 70, kColorModeSoftened},
      {"small.jpg", 30, 20, 3, false, 40, 30, kColorModeExact},
      {"tall.jpg", 150, 1100, 3, false, 60, 100, kColorModeExact},
      {"grey.jpg", 120, 90, 1, false, 40, 30, kColorModeExact},
  };
  for (const Case& c : cases) {
    const std::string path = (dir / c.name).string();
    WriteJpeg(path, c.w, c.h, c.components, c.progressive, PhotoColor);
    const CPatternParams params = Params(c.columns, c.rows, kFormatLoom, c.mode);
    CPattern fast, plain;
    std::unique_ptr<CImage> picture;
    ASSERT_EQ(BuildPatternFromFile(fast, 1000000, params, palette, path.c_str(), &picture), BuildFileResult::kBuilt)
        << c.name;
    bool ok = false;
    CImage loaded(path.c_str(), ok);
    ASSERT_TRUE(ok) << c.name;
    ASSERT_TRUE(PlainBuild(plain, 1000000, params, palette, &loaded));
    ExpectSameDesign(fast, plain, c.name);
    // Without the picture kept, the rows pass through a ring.
    CPattern ring;
    ASSERT_EQ(BuildPatternFromFile(ring, 1000000, params, palette, path.c_str()), BuildFileResult::kBuilt);
    ExpectSameDesign(ring, plain, c.name + " (ring)");
    // The picture handed back is the loaded one.
    ASSERT_TRUE(picture) << c.name;
    EXPECT_EQ(picture->GetType(), kImageTypeJPG);
    EXPECT_EQ(picture->GetFileName(), CString(path.c_str()));
    ASSERT_EQ(picture->GetWidth(), c.w);
    ASSERT_EQ(picture->GetHeight(), c.h);
    int differ = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        BYTE r1, g1, b1, r2, g2, b2;
        picture->GetPixelRGB(x, y, r1, g1, b1);
        loaded.GetPixelRGB(x, y, r2, g2, b2);
        if (r1 != r2 || g1 != g2 || b1 != b2) ++differ;
      }
    EXPECT_EQ(differ, 0) << c.name;
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(BuilderTest, FromFileOtherFormatsAndBadFiles) {
  const auto dir = qmtest::MakeTempDir("builder-bad-files");
  const CColorSet palette = MakePalette(20, 3);
  const CPatternParams params = Params(30, 20, kFormatLoom, kColorModeExact);
  // A PNG goes the picture loader's way.
  auto png = NoisePicture(90, 60, 2);
  const std::string pngPath = (dir / "p.png").string();
  ASSERT_TRUE(png->SaveFile(pngPath.c_str()));
  CPattern fast, plain;
  ASSERT_EQ(BuildPatternFromFile(fast, 1000000, params, palette, pngPath.c_str()), BuildFileResult::kBuilt);
  bool ok = false;
  CImage loaded(pngPath.c_str(), ok);
  ASSERT_TRUE(ok);
  ASSERT_TRUE(PlainBuild(plain, 1000000, params, palette, &loaded));
  ExpectSameDesign(fast, plain, "png");
  // Missing and empty files load nothing; nothing is shown.
  EXPECT_EQ(BuildPatternFromFile(fast, 1000000, params, palette, (dir / "none.jpg").string().c_str()),
            BuildFileResult::kPictureNotLoaded);
  qmtest::WriteAll(dir / "empty.jpg", {});
  EXPECT_EQ(BuildPatternFromFile(fast, 1000000, params, palette, (dir / "empty.jpg").string().c_str()),
            BuildFileResult::kPictureNotLoaded);
  // A cut JPEG: whatever the loader makes of it, the build from the file
  // gives the same.
  const std::string whole = (dir / "whole.jpg").string();
  WriteJpeg(whole, 200, 150, 3, false, PhotoColor);
  std::vector<unsigned char> bytes = qmtest::ReadAll(whole);
  bytes.resize(bytes.size() / 2);
  const std::string cut = (dir / "cut.jpg").string();
  qmtest::WriteAll(cut, bytes);
  CImage cutLoaded(cut.c_str(), ok);
  const BuildFileResult result = BuildPatternFromFile(fast, 1000000, params, palette, cut.c_str());
  if (ok) {
    EXPECT_EQ(result, BuildFileResult::kBuilt);
    ASSERT_TRUE(PlainBuild(plain, 1000000, params, palette, &cutLoaded));
    ExpectSameDesign(fast, plain, "cut jpeg");
  } else {
    EXPECT_EQ(result, BuildFileResult::kPictureNotLoaded);
  }
  // The budget is checked before the picture is decoded.
  messages_.clear();
  std::unique_ptr<CImage> picture;
  EXPECT_EQ(BuildPatternFromFile(fast, 100, params, palette, whole.c_str(), &picture), BuildFileResult::kBuildFailed);
  EXPECT_EQ(messages_.size(), 2u);
  EXPECT_FALSE(picture);
  EXPECT_TRUE(messages_.size() == 2 && messages_[1] == "Memory problem");
}
