#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_defs.h"
#include "settings/AppSettings.h"
#include "settings_test_util.h"

namespace {

using settings_test::Bytes;
using settings_test::LanguageScope;

// A record with a value in every field that differs from its default.
CAppSettings SampleSettings() {
  CAppSettings s;
  s.m_lastDesign = "/home/u/Rose.qx";
  s.m_reservedText = "r";
  s.m_unusedFlags[0] = 2;
  s.m_advancedImageQuality = 0;
  s.m_toolbarShown = 0;
  s.m_rulerBarShown = 0;
  s.m_statusBarShown = 0;
  s.m_reopenLastDesign = 0;
  s.m_unusedFlags[1] = 3;
  s.m_warningSound = 0;
  s.m_reservedBytes[0] = 0x11;
  s.m_reservedBytes[1] = 0x12;
  s.m_reservedBytes[2] = 0x13;
  s.m_unusedValues[0] = -7;
  s.m_recentListSize = 16;
  s.m_unusedValues[1] = 0x01020304;
  s.m_unusedFloat = 0.5f;
  s.m_viewBackgroundColor = RGB(1, 2, 3);
  s.m_blankColor = RGB(4, 5, 6);
  s.m_borderColor = RGB(7, 8, 9);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  s.m_virtualScreenSize = cx * cy;
  s.m_maxBeads = 200000;
  s.m_unusedValues[2] = 9;
  s.m_rulerUnits = 3;
  s.m_rightClickAction = 2;
  s.m_showColor = 0;
  s.m_omitUnusedColors = 0;
  s.m_unusedFlags[2] = 4;
  s.m_reservedBytes[3] = 0x21;
  s.m_reservedBytes[4] = 0x22;
  s.m_unusedValues[3] = 5;
  s.m_unusedList = {10, -1};
  s.m_unusedFlags[3] = 6;
  s.m_unusedFlags[4] = 7;
  s.m_beadRealColorShown = 0;
  s.m_unusedFlags[5] = 8;
  s.m_designInfoShown = 0;
  s.m_paletteInfoShown = 0;
  s.m_pdfPageUnits = 1;
  s.m_pdfPageWidth = 8.5;
  s.m_pdfPageHeight = 11.0;
  s.m_pdfPageWidthText = "21.59";
  s.m_pdfPageHeightText = "27.94";
  s.m_pdfPageFormat = 1;
  s.m_pdfZoom = 110.0;
  s.m_beadSizes = {{"a", 0.25f, 0.125f}, {"Tiny", 0.0625f, 0.5f}};
  s.m_designFolder = "/d/";
  s.m_printChoice = 1;
  return s;
}

// The stored form of SampleSettings, spelled out field by field in the
// record's order, independently of the record's writer.
std::vector<BYTE> SampleBytes() {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  Bytes b;
  b.str("/home/u/Rose.qx").str("r");  // fields 1, 2; P = 18
  b.u8(2).u8(0).u8(0).u8(0).u8(0).u8(0).u8(3).u8(0).u8(0x11).u8(0x12).u8(0x13);  // P+0: 3..13
  b.i32(-7).i32(16).i32(0x01020304).f32(0.5f);                                   // P+11: 14..17
  b.i32(0x030201).i32(0x060504).i32(0x090807).i32(cx * cy).i32(200000);         // P+27: 18..22
  b.i32(9).i32(3).i32(2);                                                        // P+47: 23..25
  b.u8(0).u8(0).u8(4).u8(0x21).u8(0x22);                                         // P+59: 26..30
  b.i32(5);                                                                      // P+64: 31
  b.i32(2).i32(10).i32(-1);                                                      // P+68: 32
  b.u8(6).u8(7).u8(0).u8(8).u8(0).u8(0);                                         // Q: 33..38
  b.i32(1).f64(8.5).f64(11.0).str("21.59").str("27.94").i32(1).f64(110.0);       // Q+6: 39..45
  b.i32(2).str("a").f32(0.25f).f32(0.125f).i32(0).str("Tiny").f32(0.0625f).f32(0.5f).i32(0);  // 46
  b.str("/d/").i32(1).zeros(256);                                               // 47, 48, 49
  return b.b;
}

void ExpectSameRecord(const CAppSettings& a, const CAppSettings& b) {
  std::vector<BYTE> x, y;
  ASSERT_TRUE(a.WriteToBytes(x));
  ASSERT_TRUE(b.WriteToBytes(y));
  EXPECT_EQ(x, y);
}

}  // namespace

TEST(AppSettingsTest, StoredFormIsByteExactBothWays) {
  const CAppSettings sample = SampleSettings();
  const std::vector<BYTE> golden = SampleBytes();

  std::vector<BYTE> written;
  ASSERT_TRUE(sample.WriteToBytes(written));
  EXPECT_EQ(written, golden);
  EXPECT_EQ(sample.GetStoredSize(), static_cast<int>(golden.size()));
  // Size: five strings, 110 fixed bytes, the value list, the bead sizes and 260.
  EXPECT_EQ(golden.size(), 16u + 2 + 6 + 6 + 4 + 110 + 12 + (2 + 12) + (5 + 12) + 260);
  // Offsets relative to P, the first byte after the two leading strings.
  const size_t p = 18;
  int v = 0;
  std::memcpy(&v, &golden[p + 39], 4);
  EXPECT_EQ(v, sample.m_virtualScreenSize);
  std::memcpy(&v, &golden[p + 55], 4);
  EXPECT_EQ(v, 2);  // right-click action
  const size_t q = p + 72 + 4 * 2;
  double d = 0;
  std::memcpy(&d, &golden[q + 10], 8);
  EXPECT_EQ(d, 8.5);

  CAppSettings read;
  CByteStream stream(const_cast<BYTE*>(golden.data()), static_cast<int>(golden.size()), 0);
  ASSERT_TRUE(read.Read(stream));
  EXPECT_EQ(stream.GetRemaining(), 0);
  EXPECT_EQ(read.m_lastDesign, "/home/u/Rose.qx");
  EXPECT_EQ(read.m_reservedBytes[2], 0x13);
  EXPECT_EQ(read.m_unusedFloat, 0.5f);
  EXPECT_EQ(read.m_unusedList, (std::vector<int>{10, -1}));
  EXPECT_EQ(read.m_beadSizes, sample.m_beadSizes);
  EXPECT_EQ(read.m_pdfPageHeightText, "27.94");
  EXPECT_EQ(read.m_designFolder, "/d/");
  EXPECT_EQ(read.m_printChoice, 1);
  std::vector<BYTE> again;
  ASSERT_TRUE(read.WriteToBytes(again));
  EXPECT_EQ(again, golden);
}

TEST(AppSettingsTest, DefaultRecordRoundTripsThroughLoadFromBytes) {
  const CAppSettings defaults;
  std::vector<BYTE> bytes;
  ASSERT_TRUE(defaults.WriteToBytes(bytes));
  CAppSettings loaded = SampleSettings();
  ASSERT_TRUE(loaded.LoadFromBytes(bytes.data(), bytes.size()));
  ExpectSameRecord(loaded, defaults);
}

TEST(AppSettingsTest, WriteFailsIntoTooSmallBuffer) {
  const CAppSettings sample = SampleSettings();
  std::vector<BYTE> buffer(static_cast<size_t>(sample.GetStoredSize()) - 1);
  CByteStream stream(buffer.data(), static_cast<int>(buffer.size()), 0);
  EXPECT_FALSE(sample.Write(stream));
}

// Every prefix of a valid record, down to nothing and up to one byte short
// of the end of the reserved tail, is refused as a whole.
TEST(AppSettingsTest, RecordCutShortAtAnyOffsetGivesDefaults) {
  const std::vector<BYTE> golden = SampleBytes();
  const CAppSettings defaults;
  for (size_t n = 0; n < golden.size(); ++n) {
    SCOPED_TRACE(n);
    CAppSettings s = SampleSettings();
    // Read alone leaves the record as it was.
    std::vector<BYTE> cut(golden.begin(), golden.begin() + static_cast<long>(n));
    CByteStream stream(cut.data(), static_cast<int>(cut.size()), 0);
    ASSERT_FALSE(s.Read(stream));
    ASSERT_EQ(s.m_lastDesign, "/home/u/Rose.qx");
    // Loading falls back to the defaults.
    ASSERT_FALSE(s.LoadFromBytes(cut.data(), cut.size()));
    ASSERT_EQ(s.m_lastDesign, "");
    ASSERT_EQ(s.m_beadSizes.size(), 21u);
    ASSERT_EQ(s.m_maxBeads, 1000000);
  }
  CAppSettings s = SampleSettings();
  std::vector<BYTE> cut(golden.begin(), golden.end() - 1);
  ASSERT_FALSE(s.LoadFromBytes(cut.data(), cut.size()));
  ExpectSameRecord(s, defaults);
}

TEST(AppSettingsTest, BytesAfterTheReservedTailAreIgnored) {
  for (size_t extra : {1u, 3u, 1000u}) {
    SCOPED_TRACE(extra);
    std::vector<BYTE> bytes = SampleBytes();
    bytes.insert(bytes.end(), extra, 0xEE);
    CAppSettings s;
    ASSERT_TRUE(s.LoadFromBytes(bytes.data(), bytes.size()));
    ExpectSameRecord(s, SampleSettings());
  }
}

TEST(AppSettingsTest, BeadSizeCountBeyondTheBytesLeftIsRefused) {
  // The count sits right after the zoom; give it a huge value.
  const CAppSettings sample = SampleSettings();
  std::vector<BYTE> bytes = SampleBytes();
  const size_t countOffset = 18 + 72 + 8 + 26 + 6 + 6 + 4 + 8;
  int count = 0;
  std::memcpy(&count, &bytes[countOffset], 4);
  ASSERT_EQ(count, 2);
  for (int bad : {0x7FFFFFFF, 22}) {
    SCOPED_TRACE(bad);
    std::memcpy(&bytes[countOffset], &bad, 4);
    CAppSettings s;
    EXPECT_FALSE(s.LoadFromBytes(bytes.data(), bytes.size()));
  }
}

TEST(AppSettingsTest, NegativeListCountReadsAsEmptyAndKeepsTheRest) {
  // Offsets of the two counts in the sample's stored form, with both lists
  // empty: the value list's right after field 31, the bead sizes' after the
  // zoom.
  CAppSettings sample = SampleSettings();
  sample.m_unusedList.clear();
  sample.m_beadSizes.clear();
  std::vector<BYTE> clean;
  ASSERT_TRUE(sample.WriteToBytes(clean));
  const size_t valueListCount = 18 + 68;
  const size_t beadSizeCount = 18 + 72 + 26 + 6 + 6 + 4 + 8;
  for (size_t offset : {valueListCount, beadSizeCount}) {
    for (int bad : {-1, -12345, INT_MIN}) {
      SCOPED_TRACE(testing::Message() << offset << " " << bad);
      std::vector<BYTE> bytes = clean;
      int stored = -7;
      std::memcpy(&stored, &bytes[offset], 4);
      ASSERT_EQ(stored, 0);
      std::memcpy(&bytes[offset], &bad, 4);
      CAppSettings s;
      ASSERT_TRUE(s.LoadFromBytes(bytes.data(), bytes.size()));
      EXPECT_TRUE(s.m_unusedList.empty());
      EXPECT_EQ(s.m_beadSizes.size(), 21u);  // the presets, as for an empty list
      EXPECT_EQ(s.m_lastDesign, "/home/u/Rose.qx");
      EXPECT_EQ(s.m_pdfZoom, 110.0);
      EXPECT_EQ(s.m_designFolder, "/d/");
      EXPECT_EQ(s.m_printChoice, 1);
    }
  }
}

TEST(AppSettingsTest, ScreenAreaPlausibilityBoundaries) {
  struct Case {
    int cx, cy;
    long long size;
    bool plausible;
  };
  const long long a = 1920LL * 1080;  // products above 2^31 must not overflow
  const long long a4k = 3840LL * 2160;
  const Case cases[] = {
      {1920, 1080, a / 2, true},        {1920, 1080, a / 2 - 1, false},
      {1920, 1080, a * 20, true},       {1920, 1080, a * 20 + 1, false},
      {1920, 1080, a, true},            {3840, 2160, a4k, true},
      {3840, 2160, a4k * 20 > INT32_MAX ? INT32_MAX : a4k * 20, true},
      {1001, 1001, 1001LL * 1001 * 50 / 100, true},  // 501000.5 rounds down
      {1001, 1001, 1001LL * 1001 * 50 / 100 - 1, false},
      {1920, 1080, 0, false},           {1920, 1080, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy << " size " << c.size);
    CAppSettings s;
    s.SetVirtualScreenSize(static_cast<int>(c.size));
    EXPECT_EQ(s.IsScreenAreaPlausible(c.cx, c.cy), c.plausible);
  }
}

TEST(AppSettingsTest, ImplausibleStoredRenderSizeDiscardsTheWholeRecord) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const long long area = static_cast<long long>(cx) * cy;
  struct Case {
    long long size;
    bool accepted;
  } const cases[] = {{area * 50 / 100, true}, {area * 50 / 100 - 1, false}, {area * 20, true}, {area * 20 + 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    CAppSettings sample = SampleSettings();
    sample.SetVirtualScreenSize(static_cast<int>(c.size));
    std::vector<BYTE> bytes;
    ASSERT_TRUE(sample.WriteToBytes(bytes));
    CAppSettings s;
    EXPECT_EQ(s.LoadFromBytes(bytes.data(), bytes.size()), c.accepted);
    EXPECT_EQ(s.m_lastDesign, c.accepted ? "/home/u/Rose.qx" : "");
    EXPECT_EQ(s.GetVirtualScreenSize(), c.accepted ? static_cast<int>(c.size) : static_cast<int>(area));
  }
}

TEST(AppSettingsTest, BeadSizePresets) {
  const CAppSettings s;
  ASSERT_EQ(s.m_beadSizes.size(), 21u);
  for (int n = 1; n <= 21; ++n) {
    SCOPED_TRACE(n);
    const CBeadSize& b = s.m_beadSizes[static_cast<size_t>(n - 1)];
    CString name;
    name.Format("%d", n);
    EXPECT_EQ(b.name, name);
    const float w = n <= 2 ? 0.5f : n == 11 ? 0.05f : 1.0f / static_cast<float>(n);
    const float h = n <= 2 ? 0.5f : n == 11 ? 0.06667f : 1.0f / static_cast<float>(n);
    EXPECT_EQ(b.width, w);
    EXPECT_EQ(b.height, h);
  }
  EXPECT_NEAR(s.m_beadSizes[2].width, 0.33333, 1e-5);
  EXPECT_NEAR(s.m_beadSizes[20].width, 0.047619, 1e-6);
}

TEST(AppSettingsTest, BeadSizeHelpers) {
  CAppSettings s;
  EXPECT_EQ(s.FindNearestBeadSize(0.1, 0.1), 9);         // "10"
  EXPECT_EQ(s.FindNearestBeadSize(0.5, 0.5), 0);         // first of "1" and "2"
  EXPECT_EQ(s.FindNearestBeadSize(0.05, 0.06667), 10);   // "11"
  EXPECT_EQ(s.FindNearestBeadSize(1000.0, 1000.0), 1);   // nothing nearer than the start

  double w = -1, h = -1;
  ASSERT_TRUE(s.GetBeadSize(9, w, h));
  EXPECT_EQ(w, static_cast<double>(0.1f));
  EXPECT_EQ(h, static_cast<double>(0.1f));
  ASSERT_TRUE(s.GetBeadSize(-5, w, h));  // clamped to the first
  EXPECT_EQ(w, 0.5);
  ASSERT_TRUE(s.GetBeadSize(99, w, h));  // clamped to the last
  EXPECT_EQ(w, static_cast<double>(1.0f / 21.0f));

  s.m_beadSizes.clear();
  EXPECT_EQ(s.FindNearestBeadSize(0.1, 0.1), 1);
  w = h = -1;
  EXPECT_FALSE(s.GetBeadSize(0, w, h));
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);

  s.m_beadSizes = {{"x", 0.2f, 0.2f}};
  ASSERT_TRUE(s.GetBeadSize(5, w, h));
  EXPECT_EQ(w, static_cast<double>(0.2f));
}

TEST(AppSettingsTest, StoredEmptyBeadSizeListIsRefilledWithThePresets) {
  CAppSettings sample = SampleSettings();
  sample.m_beadSizes.clear();
  std::vector<BYTE> bytes;
  ASSERT_TRUE(sample.WriteToBytes(bytes));
  CAppSettings s;
  ASSERT_TRUE(s.LoadFromBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(s.m_lastDesign, "/home/u/Rose.qx");
  ASSERT_EQ(s.m_beadSizes.size(), 21u);
  EXPECT_EQ(s.m_beadSizes[0].name, "1");
}

TEST(AppSettingsTest, LoadRepairsValuesOutOfRangeFieldByField) {
  CAppSettings sample = SampleSettings();
  sample.m_recentListSize = 17;
  sample.m_maxBeads = 0;
  sample.m_rulerUnits = 4;
  sample.m_rightClickAction = -1;
  sample.m_pdfPageWidth = std::numeric_limits<double>::quiet_NaN();
  sample.m_pdfPageFormat = 3;
  sample.m_pdfZoom = 500.0;
  sample.m_beadSizes = {{"zero", 0.0f, 0.1f}, {"ok", 0.1f, 0.1f}, {"inf", 0.1f, INFINITY}, {"neg", -0.1f, 0.1f}};
  std::vector<BYTE> bytes;
  ASSERT_TRUE(sample.WriteToBytes(bytes));
  CAppSettings s;
  ASSERT_TRUE(s.LoadFromBytes(bytes.data(), bytes.size()));
  const CAppSettings defaults;
  EXPECT_EQ(s.m_recentListSize, 3);
  EXPECT_EQ(s.m_maxBeads, 1000000);
  EXPECT_EQ(s.m_rulerUnits, defaults.m_rulerUnits);
  EXPECT_EQ(s.m_rightClickAction, 1);
  EXPECT_EQ(s.m_pdfPageUnits, defaults.m_pdfPageUnits);
  EXPECT_EQ(s.m_pdfPageWidth, defaults.m_pdfPageWidth);
  EXPECT_EQ(s.m_pdfPageHeight, defaults.m_pdfPageHeight);
  EXPECT_EQ(s.m_pdfPageWidthText, defaults.m_pdfPageWidthText);
  EXPECT_EQ(s.m_pdfPageFormat, 2);
  EXPECT_EQ(s.m_pdfZoom, 100.0);
  ASSERT_EQ(s.m_beadSizes.size(), 1u);
  EXPECT_EQ(s.m_beadSizes[0].name, "ok");
  // Everything else is kept.
  EXPECT_EQ(s.m_lastDesign, "/home/u/Rose.qx");
  EXPECT_EQ(s.m_viewBackgroundColor, RGB(1, 2, 3));
  EXPECT_EQ(s.m_printChoice, 1);
}

TEST(AppSettingsTest, DefaultPageInBothLanguages) {
  {
    LanguageScope english(false);
    int units = -1;
    double w = 0, h = 0;
    CString wt, ht;
    GetDefaultPageSize(units, w, h, wt, ht);
    EXPECT_EQ(units, 0);
    EXPECT_EQ(w, 8.268);
    EXPECT_EQ(h, 11.693);
    EXPECT_EQ(wt, "8.268");
    EXPECT_EQ(ht, "11.693");
    const CAppSettings s;
    EXPECT_EQ(s.m_pdfPageUnits, 0);
    EXPECT_EQ(s.m_pdfPageWidth, 8.268);
    EXPECT_EQ(s.m_pdfPageHeightText, "11.693");
    EXPECT_EQ(s.m_rulerUnits, 1);
  }
  {
    LanguageScope russian(true);
    int units = -1;
    double w = 0, h = 0;
    CString wt, ht;
    GetDefaultPageSize(units, w, h, wt, ht);
    EXPECT_EQ(units, 2);
    EXPECT_EQ(wt, "210");
    EXPECT_EQ(ht, "297");
    // Millimetres to inches through the single-precision 2.54.
    EXPECT_EQ(w, 210.0 * 0.1 / 2.5399999618530273);
    EXPECT_EQ(h, 297.0 * 0.1 / 2.5399999618530273);
    EXPECT_NEAR(w, 8.268, 5e-4);
    EXPECT_NEAR(h, 11.693, 5e-4);
    const CAppSettings s;
    EXPECT_EQ(s.m_pdfPageUnits, 2);
    EXPECT_EQ(s.m_pdfPageWidthText, "210");
    EXPECT_EQ(s.m_rulerUnits, 2);
  }
}

TEST(AppSettingsTest, DefaultsCreateTheDesignFolder) {
  const CAppSettings s;
  EXPECT_EQ(s.m_designFolder, GetDefaultDesignFolder());
  EXPECT_TRUE(s.m_designFolder.GetLength() > 7);
  EXPECT_EQ(s.m_designFolder.Right(7), "Design/");
  EXPECT_TRUE(FolderExists(s.m_designFolder));
}

TEST(AppSettingsTest, ApplicationRegistersItsRecord) {
  CAppSettings mine;
  mine.m_rulerBarShown = 0;
  SetAppSettings(&mine);
  EXPECT_EQ(&GetAppSettings(), &mine);
  EXPECT_FALSE(IsRulerBarVisible());
  SetAppSettings(nullptr);
  EXPECT_NE(&GetAppSettings(), &mine);
  EXPECT_TRUE(IsRulerBarVisible());
}
