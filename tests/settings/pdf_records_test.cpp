// The PDF records kept with every design: stored forms, defaults, repairs.
#include <gtest/gtest.h>

#include "core/ByteStream.h"
#include "platform/base.h"
#include "settings/GraphicOutput.h"
#include "settings/PdfData.h"
#include "tests/common/test_util.h"
#include "tests/core/core_test_util.h"

using coretest::Stored;
using qmtest::Bytes;

namespace {

// A style in its stored form.
void Style(Bytes& b, const char* face, int size, int orientation = 0, std::uint32_t color = 0) {
  b.str(face).i32(size).i32(orientation).u32(color);
}

}  // namespace

TEST(PdfDataTest, DefaultsRoundTripAndSize) {
  CPdfData data;
  // 324 fixed bytes, 11 empty texts, seven "Arial" and two "Tahoma" styles,
  // and the default column layout (3 columns).
  const int columns = 13 + 8 * 3 + 128;
  EXPECT_EQ(data.GetStreamSize(), 324 + 11 + 7 * 18 + 2 * 19 + columns);
  std::vector<BYTE> bytes = Stored(data, data.GetStreamSize());
  CPdfData back;
  back.m_marginTop = 99;
  back.m_colorListColumns.columns.clear();
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(back.ReadCurrent(s));
  EXPECT_EQ(s.GetRemaining(), 0);
  EXPECT_TRUE(back == data);
  EXPECT_TRUE(data.IsEmpty() == false);
  EXPECT_FALSE(data.HasRestrictions());
}

TEST(PdfDataTest, EveryFieldSurvivesTheCurrentLayout) {
  const auto folder = qmtest::MakeTempDir("pdfdata-fields");
  CPdfData data;
  data.m_outputPath = coretest::Str(folder / "chart.pdf");
  data.m_marginTop = 1;
  data.m_marginBottom = 2;
  data.m_marginLeft = 3;
  data.m_marginRight = 4;
  data.m_headerText = "head";
  data.m_footerText = "foot";
  data.m_createBookmarks = 0;
  data.m_wordChartStyle = CPdfTextStyle("Times-Roman", 14);
  data.m_wordChartStyle.m_orientation = 1;
  data.m_wordChartStyle.m_color = 0x123456;
  data.m_colorListColumns.columns.push_back(CColumnPair{19, 80});
  data.m_colorListColumns.sortColumn = 2;
  data.m_gridCellCoding = 0;
  data.m_gridColoring = 2;
  data.m_reservedText = "kept";
  data.m_wordChartDirection = 4;
  data.m_peyoteCombined = 0;
  data.m_wordChartColumns = 1;
  data.m_title = "T";
  data.m_author = "A";
  data.m_subject = "S";
  data.m_keywords = "K";
  data.m_creator = "C";
  data.m_noCopy = 1;
  data.m_userPassword = "u";
  data.m_masterPassword = "m";
  data.m_maskPasswords = 1;
  data.m_omitFirstChars = 3;
  data.m_pageBackground = 0x00102030;
  std::vector<BYTE> bytes = Stored(data, data.GetStreamSize());
  CPdfData back;
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(back.ReadCurrent(s));
  EXPECT_TRUE(back == data);
  EXPECT_EQ(back.m_reservedText, "kept");
  EXPECT_TRUE(back.HasRestrictions());
}

TEST(PdfDataTest, BackgroundIsStoredComplemented) {
  for (COLORREF colour : {COLORREF(0x00FFFFFF), COLORREF(0)}) {
    CPdfData data;
    data.m_pageBackground = colour;
    std::vector<BYTE> bytes = Stored(data, data.GetStreamSize());
    // The background is the fourth-last int32 before the 56 zero bytes.
    DWORD stored = 0;
    std::memcpy(&stored, bytes.data() + bytes.size() - 56 - 4, 4);
    EXPECT_EQ(stored, colour == 0 ? 0x00FFFFFFu : 0u);
  }
  EXPECT_EQ(ComplementColor(0xFF123456u), 0x00EDCBA9u);
}

TEST(PdfDataTest, OutputPathWhoseFolderIsGoneReadsEmpty) {
  const auto folder = qmtest::MakeTempDir("pdfdata-folder");
  for (const std::string& path : {(folder / "x.pdf").string(), (folder / "gone" / "x.pdf").string(),
                                  std::string("C:\\charts\\x.pdf"), std::string("x.pdf")}) {
    CPdfData data;
    data.m_outputPath = path.c_str();
    std::vector<BYTE> bytes = Stored(data, data.GetStreamSize());
    CPdfData back;
    CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_TRUE(back.ReadCurrent(s));
    EXPECT_EQ(back.m_outputPath.IsEmpty(), path != (folder / "x.pdf").string()) << path;
  }
}

TEST(PdfDataTest, ComparisonLabelsAndCopies) {
  CPdfData a, b;
  b.m_headerStyle.m_label = "Header";
  b.m_reservedText = "not compared";
  EXPECT_TRUE(a == b);
  b.m_colorListColumns.columns.pop_back();
  EXPECT_TRUE(a != b);
  // Assignment copies labels, the copy constructor leaves them empty.
  CPdfData c;
  c = b;
  EXPECT_EQ(c.m_headerStyle.m_label, "Header");
  CPdfData d(b);
  EXPECT_TRUE(d.m_headerStyle.m_label.IsEmpty());
  EXPECT_TRUE(d == b);
  // SetDefaults keeps the labels.
  c.SetDefaults();
  EXPECT_EQ(c.m_headerStyle.m_label, "Header");
  EXPECT_TRUE(c == CPdfData());
}

TEST(PdfDataTest, LabelsFromTheLanguagePack) {
  qmtest::LanguagePack pack(false);
  ASSERT_TRUE(pack.Loaded());
  CPdfTextStyle style;
  EXPECT_EQ(style.GetOrientationLabel(), "Portrait");
  style.m_orientation = 2;
  EXPECT_EQ(style.GetOrientationLabel(), "Landscape");
  CPdfData data;
  data.m_wordChartDirection = 5;
  EXPECT_EQ(data.GetWordChartHeadLabel(), "Column");
  data.m_wordChartDirection = 3;
  EXPECT_EQ(data.GetWordChartHeadLabel(), "Row");
  data.m_propertiesPage = data.m_wholeDesignPage = data.m_collagePages = 0;
  data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 0;
  EXPECT_TRUE(data.IsEmpty());
}

TEST(PdfDataTest, EarlierLayoutKeepsWhatItDoesNotCarry) {
  Bytes b;
  b.str("").str("header").str("footer").u8(0).i32(1).i32(2).i32(3).i32(4);
  Style(b, "Arial", 5);
  Style(b, "Arial", 6);
  Style(b, "Arial", 7);
  Style(b, "Arial", 8);
  b.u8(1);
  Style(b, "Tahoma", 11, 1);
  b.zeros(32);
  b.u8(0).u8(1).u8(0).i32(0);
  Style(b, "Tahoma", 12);
  // Passed over: 2, 30, 1, a style, a column layout (later layout), 2, 30.
  b.zeros(2).zeros(30).u8(0);
  Style(b, "Courier", 9);
  b.u8(1).u8(1).u8(1).u8(1).u8(0).i32(0).u32(1).i32(16).i32(50).zeros(4).i32(0).zeros(124);
  b.zeros(2).zeros(30);
  // Grid: pages, style, 4 skipped bytes, colouring, reserved text.
  b.u8(0);
  Style(b, "Arial", 13);
  b.u32(0xFFFFFFFF).i32(1).str("r");
  b.u8(0).i32(0).i32(0).zeros(32);
  // Word chart with an announced extra style.
  b.u8(0);
  Style(b, "Arial", 14);
  b.u8(1);
  Style(b, "Symbol", 3);
  b.i32(2).u8(0).u8(0).i32(1).i32(30).u8(1).zeros(32);
  b.str("t").str("a").str("s").str("k").str("c").i32(1).i32(0).i32(1).str("up").str("mp").i32(1).zeros(32);
  // Name cutting, background (complemented: black), then passed over.
  b.u8(1).u8(2).u8(0).u8(0).u32(0x00FFFFFF).i32(0).zeros(4);
  Style(b, "Arial", 1);
  b.i32(0).zeros(3);
  b.u8(1).i32(0).u8(0).u8(3).u8(10).i32(255).u8(0).u8(5).u8(100).i32(0).u8(1).u8(101).zeros(2);
  b.zeros(5);

  CPdfData data;
  data.m_colorListPage = 0;
  data.m_colorListStyle = CPdfTextStyle("Keep", 1);
  data.m_colorListColumns.columns.clear();
  data.m_gridCellCoding = 1;
  data.m_peyoteCombined = 0;
  data.m_omitFirstChars = 5;
  data.m_wordChartText = 0;
  CByteStream s(b.b.data(), static_cast<int>(b.size()));
  ASSERT_TRUE(data.Read(s));
  EXPECT_EQ(s.GetRemaining(), 0);
  EXPECT_EQ(data.m_headerText, "header");
  EXPECT_EQ(data.m_marginRight, 4);
  EXPECT_EQ(data.m_versionStyle.m_size, 8);
  EXPECT_EQ(data.m_propertiesStyle.m_orientation, 1);
  EXPECT_EQ(data.m_wholeDesignMode, 0);
  EXPECT_EQ(data.m_gridColoring, 1);
  EXPECT_EQ(data.m_reservedText, "r");
  EXPECT_EQ(data.m_wordChartStyle.m_size, 14);
  EXPECT_EQ(data.m_wordChartDirection, 2);
  EXPECT_EQ(data.m_wordChartColumnGap, 30);
  EXPECT_EQ(data.m_masterPassword, "mp");
  EXPECT_EQ(data.m_pageBackground, 0u);
  // Not carried by this layout.
  EXPECT_EQ(data.m_colorListPage, 0);
  EXPECT_EQ(data.m_colorListStyle.m_face, "Keep");
  EXPECT_TRUE(data.m_colorListColumns.columns.empty());
  EXPECT_EQ(data.m_gridCellCoding, 1);
  EXPECT_EQ(data.m_peyoteCombined, 0);
  EXPECT_EQ(data.m_omitFirstChars, 5);
  EXPECT_EQ(data.m_wordChartText, 0);
  // Cut anywhere, it fails.
  for (size_t cut : {size_t(0), size_t(40), b.size() - 1}) {
    CPdfData d;
    CByteStream shortStream(b.b.data(), static_cast<int>(cut));
    EXPECT_FALSE(d.Read(shortStream)) << cut;
  }
}

TEST(PdfDataTest, TaggedBlockOnAFile) {
  const auto folder = qmtest::MakeTempDir("pdfdata-block");
  CPdfData data;
  data.m_title = "Block";
  std::vector<BYTE> block;
  ASSERT_TRUE(data.WriteBlock(block));
  ASSERT_EQ(block.size(), 40u + static_cast<size_t>(data.GetStreamSize()));
  EXPECT_EQ(std::string(block.begin(), block.begin() + 36), CPdfData::kBlockTag);

  const CString path = coretest::Str(folder / "block.bin");
  HANDLE f = CreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_TRUE(data.WriteToFile(f));
  CloseHandle(f);
  EXPECT_EQ(qmtest::ReadAll(folder / "block.bin"), block);
  auto readBack = [&](const std::vector<BYTE>& bytes) {
    qmtest::WriteAll(folder / "block.bin", bytes);
    HANDLE r = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    CPdfData back;
    const bool ok = back.ReadFromFile(r);
    CloseHandle(r);
    return ok && back == data;
  };
  EXPECT_TRUE(readBack(block));
  std::vector<BYTE> wrongCase = block;
  wrongCase[35] = 'f';  // "...9F59" -> "...9f59"
  EXPECT_FALSE(readBack(wrongCase));
  std::vector<BYTE> huge = block;
  const DWORD tooBig = 0x7FFFFFF0;
  std::memcpy(huge.data() + 36, &tooBig, 4);
  EXPECT_FALSE(readBack(huge));
}

TEST(PdfExportOptionsTest, DefaultsRoundTripAndVersions) {
  CPdfExportOptions options;
  options.m_richTexts[2].m_bytes = {1, 2, 3};
  options.m_textsKeptOnReset[1] = "more";
  std::vector<BYTE> bytes = Stored(options, options.GetSize());
  CPdfExportOptions back;
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(back.ReadOrDefault(s, 4));
  EXPECT_EQ(s.GetRemaining(), 0);
  EXPECT_TRUE(back == options);

  // A default record with one empty rich text stores it as four zeros.
  CPdfExportOptions plain;
  const std::vector<BYTE> plainBytes = Stored(plain, plain.GetSize());
  int styles = 0;
  for (const CPdfTextStyle& style : plain.m_styles) styles += style.GetStreamSize();
  const size_t rich = static_cast<size_t>(styles) + 29 + 1 + 1 + 7 + 1 + 1;  // 5 texts ("Symbol" among them)
  EXPECT_EQ(std::vector<BYTE>(plainBytes.begin() + rich, plainBytes.begin() + rich + 32), std::vector<BYTE>(32, 0));

  // Version 1: no fifth style, no table data, no column layout.
  Bytes v1;
  for (int i = 0; i < 9; ++i)
    if (i != 4) Style(v1, "F", i);
  v1.zeros(8).i32(0).u8(1).u8(1).i32(2).i32(20).u8(0).i32(30).u8(1).u8(1);
  v1.str("").str("").str("").str("").str("");  // an empty symbol font becomes "Symbol"
  for (int i = 0; i < 8; ++i) v1.u32(0);
  v1.str("").str("").str("").u8(0).u8(1).u8(0).u8(0).u8(0).zeros(3);
  CPdfExportOptions one;
  one.m_styles[4] = CPdfTextStyle("Fifth", 4);
  CByteStream s1(v1.b.data(), static_cast<int>(v1.size()));
  ASSERT_TRUE(one.ReadOrDefault(s1, 1));
  EXPECT_EQ(s1.GetRemaining(), 0);
  EXPECT_EQ(one.m_styles[4].m_face, "Fifth");
  EXPECT_EQ(one.m_styles[5].m_size, 5);
  EXPECT_EQ(one.m_symbolFont, "Symbol");

  // Version 3: table data, no column layout.
  Bytes v3;
  for (int i = 0; i < 9; ++i) Style(v3, "F", i);
  v3.zeros(8).i32(0).u8(1).u8(1).i32(2).i32(20).u8(0).i32(30).u8(1).u8(1);
  v3.str("").str("").str("Wingdings").str("").str("");
  for (int i = 0; i < 8; ++i) v3.u32(0);
  v3.str("").str("").str("").u8(0);
  v3.i32(7).str("a").str("b").str("c");
  for (int i = 0; i < 3; ++i) Style(v3, "T", 20 + i);
  v3.zeros(32).u8(1).u8(0).u8(0).u8(0).zeros(3);
  CPdfExportOptions three;
  three.m_columns.columns.clear();
  CByteStream s3(v3.b.data(), static_cast<int>(v3.size()));
  ASSERT_TRUE(three.ReadOrDefault(s3, 3));
  EXPECT_EQ(s3.GetRemaining(), 0);
  EXPECT_EQ(three.m_table.m_count, 7);
  EXPECT_EQ(three.m_table.m_styles[2].m_size, 22);
  EXPECT_EQ(three.m_columns, CColorColumnLayout(0));

  // A damaged record becomes equal to a new one.
  CPdfExportOptions damaged;
  damaged.m_textsKeptOnReset[0] = "gone";
  CByteStream cut(bytes.data(), static_cast<int>(bytes.size()) - 1);
  EXPECT_FALSE(damaged.ReadOrDefault(cut, 4));
  EXPECT_TRUE(damaged == CPdfExportOptions());
}

TEST(PdfGridSettingsTest, FirstByteZeroMeansDefaults) {
  Bytes b;
  b.u8(0).i32(9).u8(9).u8(9).u8(9).i32(9).u8(9).u8(9).u8(9).i32(9).u8(9).u8(9).zeros(2);
  ASSERT_EQ(b.size(), 23u);
  CPdfGridSettings grid;
  CByteStream s(b.b.data(), 23);
  ASSERT_TRUE(grid.Read(s));
  EXPECT_EQ(grid.m_unusedValues[1], 255);
  EXPECT_EQ(grid.m_unusedBytes[8], 101);
  b.b[0] = 1;
  CByteStream s2(b.b.data(), 23);
  ASSERT_TRUE(grid.Read(s2));
  EXPECT_EQ(grid.m_unusedValues[1], 9);
  CByteStream s3(b.b.data(), 22);
  EXPECT_FALSE(grid.Read(s3));
}

TEST(ColorColumnLayoutTest, CountBeyondTheBytesFails) {
  // A count larger than the bytes left fails before anything is reserved.
  Bytes b;
  b.u8(0).u8(0).u8(0).u8(0).u8(1).i32(0).u32(0x10000000);
  CColorColumnLayout layout;
  CByteStream s(b.b.data(), static_cast<int>(b.size()));
  EXPECT_FALSE(layout.Read(s));
}

TEST(GraphicOutputParamsTest, DefaultsAndRepairs) {
  CGraphicOutputParams params;
  EXPECT_EQ(params.m_unusedPairs[1].x, 23);
  EXPECT_EQ(params.m_unusedPairs[1].y, 23);
  EXPECT_EQ(params.m_columns, 0);
  EXPECT_EQ(params.m_rows, 0);
  EXPECT_EQ(static_cast<int>(params.m_titleFont.lfHeight), 30);
  EXPECT_STREQ(params.m_titleFont.lfFaceName, "Arial");
  EXPECT_EQ(static_cast<int>(params.m_listFont.lfHeight), 16);
  EXPECT_EQ(static_cast<int>(params.m_listFont.lfCharSet), 1);
  EXPECT_EQ(params.GetStreamSize(), 218 + 2);

  CGraphicOutputParams stored;
  stored.m_unusedPairs[1] = POINT{0, 5};
  stored.m_unusedPairs[2] = POINT{0, 0};
  stored.m_unusedPairs[3] = POINT{0, 0};
  stored.m_unusedSizes[0] = stored.m_unusedSizes[1] = stored.m_unusedSizes[2] = 0;
  stored.m_unusedSizes[3] = -3;
  stored.m_listPlacement = 2;
  stored.m_unusedTexts[1] = "q";
  std::vector<BYTE> bytes = Stored(stored, stored.GetStreamSize());
  CGraphicOutputParams back;
  CByteStream s(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(back.Read(s));
  EXPECT_EQ(back.m_unusedPairs[1].x, 23);
  EXPECT_EQ(back.m_unusedPairs[1].y, 23);
  EXPECT_EQ(back.m_unusedPairs[2].x, 1);
  EXPECT_EQ(back.m_unusedPairs[2].y, 2);
  EXPECT_EQ(back.m_unusedPairs[3].x, 23);
  EXPECT_EQ(back.m_unusedSizes[0], 23);
  EXPECT_EQ(back.m_unusedSizes[1], 12);
  EXPECT_EQ(back.m_unusedSizes[2], 14);
  EXPECT_EQ(back.m_unusedSizes[3], -3);
  EXPECT_EQ(back.m_listPlacement, 2);
  EXPECT_EQ(back.m_unusedTexts[1], "q");

  // Cut short after the list font: false, the earlier fields read.
  const int afterListFont = 1 + 1 + 4 * 5 + 2 + 60 + 4 + 8 + 8 + 1 + 8 + 8 + 1 + 4 + 1 + 60;
  CGraphicOutputParams partial;
  CByteStream cut(bytes.data(), afterListFont);
  EXPECT_FALSE(partial.Read(cut));
  EXPECT_EQ(partial.m_listPlacement, 2);
  EXPECT_EQ(partial.m_unusedPairs[2].y, 2);
}
