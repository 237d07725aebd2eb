// Design files of earlier versions, written byte by byte as those releases
// laid them out, open with the documented defaults.
#include <gtest/gtest.h>

#include "design/StitchPath.h"
#include "core/ByteStream.h"
#include "designfile/DesignFile.h"
#include "designfile/DesignPreview.h"
#include "designfile/DesignSections.h"
#include "designfile/PrevDesign.h"
#include "image/ImageView.h"
#include "tests/designfile/designfile_builders.h"

namespace fs = std::filesystem;
using dftest::Bytes;
using dftest::FixtureDesign;
using dftest::Path;

namespace {

class OlderFilesTest : public dftest::DataFolderTest {
 protected:
  CString Put(const std::string& name, const std::vector<unsigned char>& bytes) {
    dftest::Write(folder / name, bytes);
    return Path(folder / name);
  }
};

GUID FixtureGuid() {
  GUID g;
  unsigned char bytes[16];
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(0x10 + i);
  std::memcpy(&g, bytes, 16);
  return g;
}

void ExpectFixtureBeads(const CPattern& d, const FixtureDesign& f) {
  ASSERT_EQ(d.m_beads.size(), static_cast<size_t>(f.columns * f.rows));
  for (int i = 0; i < f.columns * f.rows; ++i) {
    const CBead& b = d.m_beads[static_cast<size_t>(i)];
    EXPECT_EQ(b.m_colorIndex, dftest::FixtureColorIndex(i)) << i;
    EXPECT_EQ(b.m_cachedColor, 0xA0u + i) << i;
    EXPECT_EQ(b.m_present, 1) << i;
    EXPECT_EQ(b.m_alternate, i % 2) << i;
    EXPECT_EQ(b.m_flags, 0) << i;
  }
  EXPECT_EQ(d.m_beadWidth, 0.125);
  EXPECT_EQ(d.GetColumnCount(), static_cast<unsigned>(f.columns));
  EXPECT_EQ(d.GetRowCount(), static_cast<unsigned>(f.rows));
}

}  // namespace

TEST_F(OlderFilesTest, CurrentContainerOfVersionsZeroToFour) {
  struct Case {
    const char* signature;
    int version;
  };
  const Case cases[] = {
      {"FaldrenwickPro Design 23 June 2004", 0}, {"FaldrenwickPro Design 1 March 2006", 1},
      {"FaldrenwickPro Design: 12 Nov 2007", 2}, {"FaldrenwickPro Design: 12 Jan 2010", 3},
      {"FaldrenwickPro Design: 26 Jul 2011", 4}, {"Crandlewhirry:         12 Feb 2012", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signature);
    FixtureDesign f;
    const CString path = Put("current.qx", dftest::WithTrailer(dftest::CurrentFile(c.signature, c.version, f)));
    CDesignFileContents contents;
    CString reason;
    ASSERT_EQ(OpenDesignFile(path, contents, reason), kDesignOpenOk) << reason.GetString();
    const CPattern& d = *contents.design;
    EXPECT_EQ(contents.version, c.version);
    EXPECT_FALSE(contents.olderFile);
    EXPECT_EQ(contents.signature, c.signature);
    ExpectFixtureBeads(d, f);
    EXPECT_EQ(d.m_beadSectionByte, 6);
    EXPECT_EQ(d.m_rowFormats.size(), c.version >= 1 ? 2u : 0u);
    EXPECT_EQ(d.m_sectionVersion, 4);
    if (c.version >= 2) {
      EXPECT_EQ(d.m_title, "Old design");
      EXPECT_EQ(d.m_angle, 45);
      EXPECT_EQ(d.m_texts[0], "text one");
      EXPECT_EQ(d.m_sacredPeyoteDivisor, 2);
      EXPECT_EQ(d.m_intTriple, (CIntTriple{180, 50, 50}));
      EXPECT_EQ(d.m_pathColor, 2);
      EXPECT_EQ(d.m_flagByte, 1);
      EXPECT_EQ(d.m_attr.m_texts[CPatternAttr::kAuthor], "Ann");
      EXPECT_EQ(d.m_symbolSet.m_name, "Old symbols");
      EXPECT_EQ(d.m_reservedBlock[0], 0xEE);
      EXPECT_EQ(d.m_reservedBlockByte, 4);
      EXPECT_EQ(d.m_pdfOptions.m_styles[8].m_size, 18);
    } else {
      EXPECT_TRUE(d.m_title.IsEmpty());
      EXPECT_EQ(d.m_angle, 0);
      EXPECT_EQ(d.m_symbolSet.m_name, "<Predefined>");
      EXPECT_TRUE(d.m_pdfOptions == CPdfExportOptions());
    }
    EXPECT_EQ(d.m_pdfData.m_title, "Current chart");
    // Versions 0 to 2 get a new identity and are to be saved again at once.
    const GUID fixture = FixtureGuid();
    EXPECT_EQ(d.IsModified(), c.version <= 2);
    EXPECT_EQ(std::memcmp(&d.m_guid, &fixture, sizeof(GUID)) == 0, c.version > 2);
    EXPECT_EQ(contents.palette->GetCount(), 3);
    EXPECT_EQ(contents.palettePath, "C:\\Palettes\\old.pal");
    ASSERT_FALSE(contents.picturePath.IsEmpty());
    EXPECT_EQ(fs::path(contents.picturePath.GetString()).filename().string().substr(0, 4), "rose");
    const auto picture = dftest::Read(contents.picturePath.GetString());
    EXPECT_EQ(std::string(picture.begin(), picture.end()), "BM picture bytes");
    fs::remove(contents.picturePath.GetString());
  }
}

TEST_F(OlderFilesTest, StitchPathIsAppliedAgainOnReading) {
  FixtureDesign f;
  f.columns = 8;
  f.rows = 8;
  f.stitchPath = 1;
  const CString path = Put("path.qx", dftest::WithTrailer(dftest::CurrentFile("Quillmerewise freeware 26 Jan 2017", 4, f)));
  CDesignFileContents contents;
  CString reason;
  ASSERT_EQ(OpenDesignFile(path, contents, reason), kDesignOpenOk);
  CPattern expected(*contents.design);
  for (CBead& b : expected.m_beads) b.m_flags = 0;
  ApplyStitchPath(expected, 1, 2);
  EXPECT_TRUE(contents.design->m_beads == expected.m_beads);
}

TEST_F(OlderFilesTest, OlderContainerOfVersionsFourToSixteen) {
  struct Case {
    const char* signature;
    int version;
    int sectionVersion;
    bool blank;
  };
  const Case cases[] = {
      {"Crandlewhirry:         20 May 2012", 4, 4, false}, {"Harrowmistlanery:      26 May 2012", 5, 1, false},
      {"Harrowmistlanes 3.3.00 25 Sep 2012", 8, 8, true},  {"Tamblewickery 5.0.00 ::30 Dec 2012", 9, 8, false},
      {"Tamblewickery 5.0.00  30 Jule 2013", 11, 4, false}, {"Tamblewickery 5.0.00  18 Aug  2013", 12, 8, false},
      {"Tamblewickery 5.1.00  10 Jun  2014", 13, 8, true},  {"Sorrelkintashe 5.3.1  28 Nov  2014", 15, 8, false},
      {"Trn 5.5.1,14Aug16, (C) Corvandelle", 16, 8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.signature);
    FixtureDesign f;
    f.sectionVersion = c.sectionVersion;
    f.blank = c.blank;
    const CString path = Put("older.qx", dftest::WithTrailer(dftest::OlderFile(c.signature, c.version, f)));
    CDesignFileContents contents;
    CString reason;
    ASSERT_EQ(OpenDesignFile(path, contents, reason), kDesignOpenOk) << reason.GetString();
    const CPattern& d = *contents.design;
    EXPECT_TRUE(contents.olderFile);
    EXPECT_EQ(contents.version, c.version);
    ExpectFixtureBeads(d, f);
    EXPECT_EQ(d.m_angle, 0);
    EXPECT_EQ(d.m_title, "Old design");
    EXPECT_TRUE(d.m_texts[0].IsEmpty());
    EXPECT_EQ(d.m_texts[1], "text two");
    EXPECT_EQ(d.m_attr.m_texts[CPatternAttr::kCopyright], "(c)");
    EXPECT_EQ(d.m_symbolSet.m_codes.size(), 3u);
    EXPECT_EQ(d.m_pathColor, 0);  // not carried by these files
    EXPECT_FALSE(d.IsModified());
    // The identity is the file's.
    const GUID fixture = FixtureGuid();
    EXPECT_EQ(std::memcmp(&d.m_guid, &fixture, sizeof(GUID)), 0);
    if (c.version < 16) {
      // The sections after the blob: row formats and earlier properties.
      EXPECT_EQ(d.m_rowFormats.size(), 2u);
      EXPECT_EQ(d.m_sacredPeyoteDivisor, 2);
      EXPECT_EQ(d.m_intTriple, (CIntTriple{180, 50, 50}));
      EXPECT_EQ(d.m_reservedBlock[0], 0xEE);
      EXPECT_EQ(d.m_pdfOptions.m_styles[0].m_size, 10);
    } else {
      // Version 16 ends with the blob: its row formats, its values as
      // stored, the rest at their defaults.
      ASSERT_EQ(d.m_rowFormats.size(), 1u);
      EXPECT_EQ(d.m_rowFormats[0].rows, static_cast<DWORD>(f.rows));
      EXPECT_EQ(d.m_sacredPeyoteDivisor, 9);
      EXPECT_EQ(d.m_intTriple, (CIntTriple{0, 0, 0}));
      EXPECT_EQ(d.m_reservedBlock[0], 0);
      EXPECT_TRUE(d.m_pdfOptions == CPdfExportOptions());
    }
    // Tags from version 9 on; versions 5 to 8 store a count only.
    EXPECT_EQ(d.m_tags.size(), c.version >= 9 ? 2u : 0u);
    // PDF settings from blobs of section version 8 and up.
    if (c.version >= 5 && c.sectionVersion >= 8) {
      EXPECT_EQ(d.m_pdfData.m_title, "Old chart");
      EXPECT_EQ(d.m_pdfData.m_headerText, "head");
      EXPECT_EQ(d.m_pdfData.m_wordChartDirection, 3);
    } else {
      EXPECT_TRUE(d.m_pdfData == CPdfData());
    }
    EXPECT_EQ(d.m_blank, c.blank ? 1 : 0);
    if (c.blank) {
      EXPECT_EQ(contents.picture, nullptr);
    } else {
      ASSERT_NE(contents.picture, nullptr);
      EXPECT_EQ(contents.picture->GetWidth(), 4);
      EXPECT_EQ(contents.picture->GetHeight(), 3);
    }
    ASSERT_EQ(contents.palette->GetCount(), 3);
    EXPECT_EQ(contents.palette->GetItem(2).mfgName, "OLD2");
    EXPECT_EQ(contents.palette->GetItem(1).symbol, 71);
    EXPECT_TRUE(contents.picturePath.IsEmpty());
  }
}

TEST_F(OlderFilesTest, OlderLayoutOfTheEarliestVersions) {
  struct Case {
    const char* signature;
    int version;
  };
  for (const Case& c : {Case{"FaldrenwickPro Design 23 June 2004", 0}, Case{"FaldrenwickPro Design 1 March 2006", 1},
                        Case{"FaldrenwickPro Design: 12 Nov 2007", 2}}) {
    SCOPED_TRACE(c.signature);
    FixtureDesign f;
    const CString path = Put("early.qx", dftest::OlderFile(c.signature, c.version, f));
    CPrevDesign reader(CPrevDesign::kModeRead, path);
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.GetVersion(), c.version);
    CPattern d;
    ASSERT_TRUE(reader.ReadBody(path, d));
    ExpectFixtureBeads(d, f);
    // The byte after the format is not kept by the older reader.
    EXPECT_EQ(d.m_beadSectionByte, 0);
    EXPECT_EQ(d.m_rowFormats.size(), c.version >= 1 ? 2u : 0u);
    EXPECT_EQ(d.m_title, c.version >= 2 ? "Old design" : "");
    CString filePath;
    EXPECT_TRUE(d.GetFilePath(filePath));
    std::unique_ptr<CImageView> picture;
    ASSERT_TRUE(reader.ReadPicture(picture, nullptr));
    EXPECT_EQ(picture->GetWidth(), 4);
    CColorSet palette;
    ASSERT_TRUE(reader.ReadColorSet(reader.GetVersion(), palette));
    EXPECT_EQ(palette.GetCount(), 3);
  }
}

TEST_F(OlderFilesTest, OlderFilesOpenOnlyWithTheirTrailerButPreviewWithout) {
  FixtureDesign f;
  const auto bytes = dftest::OlderFile("Trn 5.5.1,14Aug16, (C) Corvandelle", 16, f);
  const CString path = Put("notrailer.qx", bytes);
  CDesignFileContents contents;
  CString reason;
  EXPECT_EQ(OpenDesignFile(path, contents, reason), kDesignOpenFailed);
  EXPECT_FALSE(reason.IsEmpty());  // the current container's "Wrong file version"
  CDesignPreview preview;
  CString signature;
  ASSERT_TRUE(preview.Load(path, &signature));
  EXPECT_EQ(signature, "Trn 5.5.1,14Aug16, (C) Corvandelle");
  EXPECT_EQ(preview.m_design.GetBeadCount(), 6);
}

TEST_F(OlderFilesTest, DamagedBlobsFail) {
  FixtureDesign f;
  const std::string signature = "Trn 5.5.1,14Aug16, (C) Corvandelle";
  auto opens = [&](std::vector<unsigned char> blob) {
    Bytes b;
    b.chars(signature).u32(static_cast<std::uint32_t>(blob.size())).raw(blob);
    Bytes picture;
    picture.raw(dftest::PictureBlock());
    b.blob(picture);
    Bytes palette;
    palette.raw(dftest::OlderPalette(2));
    b.blob(palette);
    const CString path = Put("damaged.qx", dftest::WithTrailer(b.b));
    CDesignFileContents contents;
    CString reason;
    return OpenDesignFile(path, contents, reason) == kDesignOpenOk;
  };
  const auto blob = dftest::DesignBlob(f, 16);
  EXPECT_TRUE(opens(blob));
  // A bead count beyond the blob, and cuts at every stage, fail.
  std::vector<unsigned char> count = blob;
  count[0] = 0xFF;
  count[1] = 0xFF;
  EXPECT_FALSE(opens(count));
  for (size_t cut : {size_t(3), size_t(50), blob.size() / 2, blob.size() - 61, blob.size() - 1}) {
    EXPECT_FALSE(opens(std::vector<unsigned char>(blob.begin(), blob.begin() + static_cast<long>(cut)))) << cut;
  }
  // A palette that yields no colours fails the whole read.
  Bytes b;
  b.chars(signature).u32(static_cast<std::uint32_t>(blob.size())).raw(blob);
  Bytes picture;
  picture.raw(dftest::PictureBlock());
  b.blob(picture);
  Bytes palette;
  palette.raw(dftest::OlderPalette(0));
  b.blob(palette);
  CDesignFileContents contents;
  CString reason;
  EXPECT_EQ(OpenDesignFile(Put("nocolours.qx", dftest::WithTrailer(b.b)), contents, reason), kDesignOpenFailed);
}

TEST_F(OlderFilesTest, SeventeenByteRecordSize) {
  FixtureDesign f;
  for (std::uint32_t size : {17u, 0u, 5u}) {
    auto blob = dftest::DesignBlob(f, 12);
    // Version 12 ends with: size, 17-byte record, 2 int pairs, a byte, 266.
    const size_t at = blob.size() - 266 - 1 - 16 - 17 - 4;
    std::uint32_t stored = 0;
    std::memcpy(&stored, blob.data() + at, 4);
    ASSERT_EQ(stored, 17u);
    std::memcpy(blob.data() + at, &size, 4);
    CByteStream s(blob.data(), static_cast<int>(blob.size()));
    CPattern d;
    EXPECT_EQ(ParseDesignBlob(s, d, 12), size != 5) << size;
  }
}

TEST_F(OlderFilesTest, BlobsAreReadToTheirLastByte) {
  for (int version = 5; version <= 16; ++version) {
    for (int sectionVersion : {1, 4, 8}) {
      FixtureDesign f;
      f.sectionVersion = sectionVersion;
      f.textItems = version % 2 == 0;
      auto blob = dftest::DesignBlob(f, version);
      CByteStream s(blob.data(), static_cast<int>(blob.size()));
      CPattern d;
      ASSERT_TRUE(ParseDesignBlob(s, d, version)) << version << " " << sectionVersion;
      EXPECT_EQ(s.GetRemaining(), 0) << version << " " << sectionVersion;
    }
  }
}
