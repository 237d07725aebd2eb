// Shared by the design-file tests: a byte builder for fixtures written by
// hand, small designs and palettes, and file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileUtils.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "tests/common/test_util.h"

namespace dftest {

using Bytes = qmtest::Bytes;

// A loom design of columns x rows beads of 0.1 inch without spacer, every
// bead present in colour (column + row) % colours.
inline void MakeDesign(CPattern& d, int columns, int rows, int colours, bool blank = false) {
  CGridLayout layout;
  layout.width = 0.1f * columns;
  layout.height = 0.1f * rows;
  layout.beadWidth = 0.1f;
  layout.beadHeight = 0.1f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  d.CreateGrid(layout, 0);
  d.m_blank = blank ? 1 : 0;
  for (size_t i = 0; i < d.m_beads.size(); ++i) {
    d.m_beads[i].m_colorIndex = static_cast<int>(i % static_cast<size_t>(colours));
    d.m_beads[i].m_cachedColor = 0x010203u * static_cast<unsigned>(i % 7);
  }
}

inline void MakePalette(CColorSet& palette, int colours) {
  palette.Clear();
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(10 * i), static_cast<BYTE>(255 - 10 * i), 77),
                    CString(("C" + std::to_string(i)).c_str()), 0, i + 1, 225, 150);
    c.nickname = ("nick " + std::to_string(i)).c_str();
    c.symbol = 65 + i;
    palette.Append(c);
  }
}

// A test with the program's folders (temporary files, the design folder)
// pointed into a folder of its own, "data" under `folder`.
class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = qmtest::MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder / "data");
    SetProgramDataFolder(CString((folder / "data").string().c_str()));
  }
  void TearDown() override { SetProgramDataFolder(""); }

  std::filesystem::path folder;
};

// Every stored part of two designs is the same.
inline void ExpectSameDesign(const CPattern& a, const CPattern& b) {
  EXPECT_TRUE(a.m_beads == b.m_beads);
  EXPECT_EQ(a.m_nominalWidth, b.m_nominalWidth);
  EXPECT_EQ(a.m_nominalHeight, b.m_nominalHeight);
  EXPECT_EQ(a.m_beadWidth, b.m_beadWidth);
  EXPECT_EQ(a.m_beadHeight, b.m_beadHeight);
  EXPECT_EQ(a.m_spacer, b.m_spacer);
  EXPECT_EQ(a.m_actualWidth, b.m_actualWidth);
  EXPECT_EQ(a.m_actualHeight, b.m_actualHeight);
  EXPECT_EQ(a.m_format, b.m_format);
  EXPECT_EQ(a.m_blank, b.m_blank);
  EXPECT_EQ(a.m_beadSectionByte, b.m_beadSectionByte);
  EXPECT_EQ(a.m_rowFormats, b.m_rowFormats);
  EXPECT_EQ(a.m_stitchPath, b.m_stitchPath);
  EXPECT_EQ(a.m_pathColor, b.m_pathColor);
  EXPECT_EQ(a.m_angle, b.m_angle);
  EXPECT_EQ(std::memcmp(&a.m_guid, &b.m_guid, sizeof(GUID)), 0);
  EXPECT_EQ(a.m_propertiesText, b.m_propertiesText);
  EXPECT_EQ(a.m_fixedLengthText, b.m_fixedLengthText);
  EXPECT_EQ(a.m_propertiesByte, b.m_propertiesByte);
  EXPECT_EQ(a.m_flagByte, b.m_flagByte);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(a.m_texts[i], b.m_texts[i]);
    EXPECT_EQ(a.m_furtherTexts[i], b.m_furtherTexts[i]);
  }
  EXPECT_EQ(a.m_sacredPeyoteDivisor, b.m_sacredPeyoteDivisor);
  EXPECT_EQ(std::memcmp(a.m_textBlock.fields, b.m_textBlock.fields, 160), 0);
  EXPECT_EQ(a.m_word, b.m_word);
  EXPECT_EQ(a.m_intTriple, b.m_intTriple);
  EXPECT_EQ(a.m_words[1], b.m_words[1]);
  EXPECT_EQ(a.m_title, b.m_title);
  EXPECT_EQ(a.m_beadEffect, b.m_beadEffect);
  EXPECT_TRUE(a.m_attr == b.m_attr);
  EXPECT_TRUE(a.m_symbolSet == b.m_symbolSet);
  EXPECT_EQ(std::memcmp(a.m_reservedBlock, b.m_reservedBlock, 220), 0);
  EXPECT_EQ(a.m_reservedBlockByte, b.m_reservedBlockByte);
  EXPECT_TRUE(a.m_pdfData == b.m_pdfData);
  EXPECT_TRUE(a.m_pdfOptions == b.m_pdfOptions);
}

inline std::vector<unsigned char> Read(const std::filesystem::path& p) { return qmtest::ReadAll(p); }
inline void Write(const std::filesystem::path& p, const std::vector<unsigned char>& b) { qmtest::WriteAll(p, b); }
inline CString Path(const std::filesystem::path& p) { return CString(p.string().c_str()); }

}  // namespace dftest
