// The current design-file container: saving and opening, the checksum
// trailer, safe saving, the sections and their checks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "design/StitchPath.h"
#include "core/ByteStream.h"
#include "designfile/DesignFile.h"
#include "designfile/DesignPreview.h"
#include "designfile/DesignSections.h"
#include "designfile/PrevDesign.h"
#include "image/Image.h"
#include "image/ImageView.h"
#include "platform/base/codepage.h"
#include "tests/designfile/designfile_fixtures.h"

namespace fs = std::filesystem;
using dftest::Bytes;
using dftest::ExpectSameDesign;
using dftest::Path;

namespace {

// The program's folders in a test folder; no write limit after the test.
class DesignFileTest : public dftest::DataFolderTest {
 protected:
  void TearDown() override {
    DataFolderTest::TearDown();
    SetDesignFileWriteLimit(-1);
  }

  // A small original picture file.
  CString MakePicture(const char* name) {
    bool ok = false;
    CImage picture(8, 6, ok, 0x0000FF00);
    EXPECT_TRUE(ok);
    const CString path = Path(folder / name);
    EXPECT_TRUE(picture.SaveFile(path));
    return path;
  }

  std::vector<fs::path> TemporaryFiles() const {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().extension() == ".tmp") found.push_back(e.path());
    return found;
  }
};

// A design with something in every stored part.
void FillDesign(CPattern& d) {
  dftest::MakeDesign(d, 20, 10, 5);
  d.m_rowFormats = {CRowFormat{4, kFormatLoom}, CRowFormat{6, kFormatLoom}};
  d.m_stitchPath = 1;
  d.m_pathColor = 3;
  ApplyStitchPath(d, d.m_stitchPath, d.m_pathColor);
  d.m_angle = 45;
  d.m_propertiesText = "reserved one";
  d.m_fixedLengthText = "reserved two";
  d.m_propertiesByte = 7;
  d.m_beadSectionByte = 9;
  d.m_flagByte = 5;
  d.m_texts[0] = "t1";
  d.m_texts[1] = "t2";
  d.m_texts[2] = "t3";
  d.m_sacredPeyoteDivisor = 4;
  d.m_furtherTexts[2] = "t6";
  std::strcpy(d.m_textBlock.fields[1], "second line");
  d.m_word = 11;
  d.m_intTriple = CIntTriple{1, 2, 3};
  d.m_words[1] = 13;
  d.m_title = "Roses";
  d.m_beadEffect = 2;
  d.m_attr.Author() = "me";
  d.m_attr.Comments() = "many words";
  d.m_symbolSet.m_fontName = "Wingdings";
  d.m_symbolSet.m_bold = 1;
  d.m_symbolSet.m_codes = {66, 67, 68};
  d.m_reservedBlock[0] = 1;
  d.m_reservedBlock[219] = 2;
  d.m_reservedBlockByte = 3;
  d.m_pdfData.m_title = "Chart";
  d.m_pdfData.m_gridColoring = 2;
  d.m_pdfData.m_colorListColumns.columns.push_back(CColumnPair{5, 40});
  d.m_pdfOptions.m_unusedValues[3] = 77;
  d.m_pdfOptions.m_richTexts[0].m_bytes = {9, 8, 7};
  d.SetModified(true);
}

void ExpectSamePalette(const CColorSet& a, const CColorSet& b) {
  ASSERT_EQ(a.GetCount(), b.GetCount());
  for (int i = 0; i < a.GetCount(); ++i) {
    EXPECT_EQ(a.GetItem(i).GetColorref(), b.GetItem(i).GetColorref());
    EXPECT_EQ(a.GetItem(i).mfgName, b.GetItem(i).mfgName);
    EXPECT_EQ(a.GetItem(i).nickname, b.GetItem(i).nickname);
    EXPECT_EQ(a.GetItem(i).symbol, b.GetItem(i).symbol);
  }
}

bool ReadSection(const fs::path& file, const std::function<bool(CDesignFileStream&)>& read) {
  CDesignFileStream stream;
  if (!stream.OpenRead(Path(file))) return false;
  return read(stream);
}

}  // namespace

TEST_F(DesignFileTest, SaveThenOpenGivesTheDesignBack) {
  CPattern design;
  FillDesign(design);
  CColorSet palette;
  dftest::MakePalette(palette, 5);
  palette.SetModified(true);
  CString picturePath = MakePicture("original.bmp");
  CString written;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "roses.txt"), design, palette, "C:\\Palettes\\beads.pal", picturePath,
                             nullptr, &written));
  EXPECT_EQ(written, Path(folder / "roses.qx"));
  EXPECT_FALSE(design.IsModified());
  EXPECT_FALSE(palette.IsModified());
  CString filePath;
  EXPECT_TRUE(design.GetFilePath(filePath));
  EXPECT_EQ(filePath, written);
  EXPECT_TRUE(TemporaryFiles().empty());

  const std::vector<unsigned char> bytes = dftest::Read(folder / "roses.qx");
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 34), kCurrentDesignSignature);
  EXPECT_EQ(std::string(bytes.end() - 36, bytes.end() - 4), kDesignChecksumMarker);

  CDesignFileContents contents;
  CString reason;
  ASSERT_EQ(OpenDesignFile(written, contents, reason), kDesignOpenOk) << reason.GetString();
  EXPECT_EQ(contents.version, 4);
  EXPECT_FALSE(contents.olderFile);
  EXPECT_EQ(contents.signature, kCurrentDesignSignature);
  EXPECT_FALSE(contents.design->IsModified());
  ExpectSameDesign(*contents.design, design);
  ExpectSamePalette(*contents.palette, palette);
  EXPECT_EQ(contents.palettePath, "C:\\Palettes\\beads.pal");
  // The picture comes back byte for byte, extracted into the design folder.
  EXPECT_EQ(fs::path(contents.picturePath.GetString()).parent_path(), folder / "data" / "Design");
  EXPECT_EQ(dftest::Read(contents.picturePath.GetString()), dftest::Read(picturePath.GetString()));
  EXPECT_EQ(contents.params, CDesignParams::ForWriting());
}

TEST_F(DesignFileTest, PictureWithoutAFileIsSavedAsJpeg) {
  CPattern design;
  dftest::MakeDesign(design, 3, 2, 2);
  CColorSet palette;
  dftest::MakePalette(palette, 2);
  bool ok = false;
  CImage picture(5, 4, ok, 0x00336699);
  CString picturePath;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "a.qx"), design, palette, "", picturePath, &picture));
  ASSERT_FALSE(picturePath.IsEmpty());
  EXPECT_EQ(fs::path(picturePath.GetString()).extension(), ".jpg");
  EXPECT_EQ(fs::path(picturePath.GetString()).parent_path(), folder / "data");
  // A blank design stores no picture at all.
  CPattern blank;
  dftest::MakeDesign(blank, 3, 2, 2, true);
  CString none;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "b.qx"), blank, palette, "", none, nullptr));
  EXPECT_TRUE(none.IsEmpty());
  // A design that is not blank and has no picture cannot be saved.
  CString missing, reason;
  EXPECT_FALSE(SaveDesignFile(Path(folder / "c.qx"), design, palette, "", missing, nullptr, nullptr, &reason));
  EXPECT_FALSE(fs::exists(folder / "c.qx"));
  EXPECT_EQ(reason, "The design has no original picture to store with it.");
}

TEST_F(DesignFileTest, ChecksumTrailer) {
  CPattern design;
  dftest::MakeDesign(design, 4, 4, 3, true);
  CColorSet palette;
  dftest::MakePalette(palette, 3);
  CString none;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "d.qx"), design, palette, "", none, nullptr));
  const CString path = Path(folder / "d.qx");
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, path), 0);
  std::vector<unsigned char> bytes = dftest::Read(folder / "d.qx");
  for (size_t at : {size_t(0), size_t(100), bytes.size() - 37}) {
    std::vector<unsigned char> changed = bytes;
    changed[at] ^= 0x01;
    dftest::Write(folder / "changed.qx", changed);
    EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(folder / "changed.qx")), 1) << at;
  }
  dftest::Write(folder / "short.qx", std::vector<unsigned char>(bytes.begin(), bytes.end() - 1));
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(folder / "short.qx")), 2);
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(folder / "missing.qx")), 2);
  // Only the marker and a CRC of nothing (0).
  dftest::Write(folder / "empty.qx", Bytes().chars(kDesignChecksumMarker).u32(0).b);
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(folder / "empty.qx")), 0);

  // Appending to a file, read-only or not, gives the same trailer.
  std::vector<unsigned char> body(bytes.begin(), bytes.end() - 36);
  dftest::Write(folder / "plain.qx", body);
  ASSERT_TRUE(SetReadOnly(Path(folder / "plain.qx")));
  ASSERT_TRUE(AppendDesignChecksum(kDesignChecksumMarker, Path(folder / "plain.qx")));
  EXPECT_EQ(dftest::Read(folder / "plain.qx"), bytes);
  bool readOnly = false;
  EXPECT_TRUE(IsReadOnly(Path(folder / "plain.qx"), readOnly) && readOnly);
  ClearReadOnly(Path(folder / "plain.qx"));
}

TEST_F(DesignFileTest, FailedSaveKeepsThePreviousFile) {
  CPattern design;
  dftest::MakeDesign(design, 30, 20, 4);
  CColorSet palette;
  dftest::MakePalette(palette, 4);
  CString picturePath = MakePicture("p.bmp");
  const CString target = Path(folder / "keep.qx");
  ASSERT_TRUE(SaveDesignFile(target, design, palette, "", picturePath, nullptr));
  const std::vector<unsigned char> before = dftest::Read(folder / "keep.qx");

  design.m_title = "changed";
  design.SetModified(true);
  design.ClearFilePath();
  palette.SetModified(true);
  // Writes that stop at the start, inside the beads, inside the picture and
  // palette, and inside the trailer: every one is a failed save.
  for (long long limit : {0LL, 40LL, 2000LL, static_cast<long long>(before.size()) - 300,
                          static_cast<long long>(before.size()) - 20, static_cast<long long>(before.size()) - 1}) {
    SetDesignFileWriteLimit(limit);
    CString reason;
    EXPECT_FALSE(SaveDesignFile(target, design, palette, "", picturePath, nullptr, nullptr, &reason)) << limit;
    EXPECT_EQ(std::string(reason.GetString()), "The file could not be written:\n" + std::string(target.GetString()));
    SetDesignFileWriteLimit(-1);
    EXPECT_EQ(dftest::Read(folder / "keep.qx"), before) << limit;
    EXPECT_TRUE(TemporaryFiles().empty()) << limit;
    EXPECT_TRUE(design.IsModified());
    EXPECT_TRUE(palette.IsModified());
    CString path;
    EXPECT_FALSE(design.GetFilePath(path));
  }
  // A picture file that has gone away fails the save half-way too.
  CString gone = Path(folder / "gone.bmp"), reason;
  EXPECT_FALSE(SaveDesignFile(target, design, palette, "", gone, nullptr, nullptr, &reason));
  EXPECT_EQ(std::string(reason.GetString()),
            "The original picture could not be stored with the design:\n" + std::string(gone.GetString()));
  EXPECT_EQ(dftest::Read(folder / "keep.qx"), before);
  EXPECT_TRUE(TemporaryFiles().empty());
  // The same save without a limit succeeds.
  ASSERT_TRUE(SaveDesignFile(target, design, palette, "", picturePath, nullptr));
  EXPECT_NE(dftest::Read(folder / "keep.qx"), before);
}

TEST_F(DesignFileTest, DesignsThatCouldNotBeReadBackAreRefusedWithTheReason) {
  CColorSet palette;
  dftest::MakePalette(palette, 2);
  // The reason of a refused save, empty when the design was saved.
  auto refusal = [&](const std::function<void(CPattern&)>& spoil) {
    CPattern design;
    dftest::MakeDesign(design, 4, 3, 2, true);
    spoil(design);
    CString none, reason;
    const bool saved = SaveDesignFile(Path(folder / "bad.qx"), design, palette, "", none, nullptr, nullptr, &reason);
    const bool exists = fs::exists(folder / "bad.qx");
    fs::remove(folder / "bad.qx");
    EXPECT_EQ(saved, exists);
    EXPECT_EQ(saved, reason.IsEmpty());
    return std::string(reason.GetString());
  };
  const std::string sizes = "The sizes of the design do not hold its grid of beads.";
  // Beads are named by column and row as the chart counts them (storage
  // index 5 of 4 x 3 is column 2 of the middle row).
  EXPECT_EQ(refusal([](CPattern& d) { d.m_beads[5].m_colorIndex = -1; }),
            "The bead in column 2, row 2 has no palette color.");
  EXPECT_EQ(refusal([](CPattern& d) { d.m_beads[0].m_x = 1.5; }), "The bead in column 1, row 3 lies outside the design.");
  EXPECT_EQ(refusal([](CPattern& d) { d.m_beads[11].m_y = std::nan(""); }),
            "The bead in column 4, row 1 lies outside the design.");
  EXPECT_EQ(refusal([](CPattern& d) { d.m_beads[1].m_present = 2; }), "The bead in column 2, row 3 is damaged.");
  EXPECT_EQ(refusal([](CPattern& d) { d.m_beads.clear(); }), "The design has no beads.");
  EXPECT_EQ(refusal([](CPattern& d) { d.m_nominalWidth = std::numeric_limits<double>::infinity(); }), sizes);
  EXPECT_EQ(refusal([](CPattern& d) { d.m_spacer = -0.1; }), sizes);
  EXPECT_EQ(refusal([](CPattern& d) { d.m_actualWidth = 0.2; }), sizes);
  EXPECT_EQ(refusal([](CPattern&) {}), "");
  // The texts come from the language pack.
  qmtest::LanguagePack russian(true);
  ASSERT_TRUE(russian.Loaded());
  EXPECT_EQ(CodePageToUtf8(refusal([](CPattern& d) { d.m_beads[5].m_colorIndex = -1; }), 1251),
            "У бусинки в столбце 2, ряду 2 нет цвета палитры.");
}

TEST_F(DesignFileTest, ReadOnlyTargetIsReplaced) {
  CPattern design;
  dftest::MakeDesign(design, 2, 2, 2, true);
  CColorSet palette;
  dftest::MakePalette(palette, 2);
  dftest::Write(folder / "ro.qx", {1, 2, 3});
  ASSERT_TRUE(SetReadOnly(Path(folder / "ro.qx")));
  CString none;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "ro.qx"), design, palette, "", none, nullptr));
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, Path(folder / "ro.qx")), 0);
}

TEST_F(DesignFileTest, SectionSizesAndTheBlankLayout) {
  CPattern one;
  dftest::MakeDesign(one, 1, 1, 1, true);
  ASSERT_EQ(one.m_beads.size(), 1u);
  {
    CDesignFileStream out;
    ASSERT_TRUE(out.OpenWrite(Path(folder / "s.bin")));
    ASSERT_TRUE(WriteBeadSection(out, one));
    EXPECT_EQ(out.GetOffset(), 95u);
    ASSERT_TRUE(WriteRowFormats(out, one));
    EXPECT_EQ(out.GetOffset(), 95u + 8u);
    ASSERT_TRUE(out.Close());
  }
  const auto bytes = dftest::Read(folder / "s.bin");
  EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 8, bytes.end()), Bytes().u32(4).u32(0).b);

  // A blank design's palette path field follows the body directly.
  CColorSet palette;
  dftest::MakePalette(palette, 1);
  CString none;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "blank.qx"), one, palette, "", none, nullptr));
  unsigned long long body = 0;
  {
    CPrevDesignFree writer(CPrevDesignFree::kModeWrite, Path(folder / "body.qx"));
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.PatternBody(one, ""));
    ASSERT_TRUE(writer.GetOffset(body));
  }
  CDesignPreview preview;
  ASSERT_TRUE(preview.Load(Path(folder / "blank.qx")));
  EXPECT_EQ(static_cast<unsigned long long>(preview.m_paletteOffset), body + 260);
  std::vector<BYTE> paletteBytes;
  palette.SaveToBytes(paletteBytes);
  EXPECT_EQ(static_cast<size_t>(preview.m_paletteSize), paletteBytes.size());
}

TEST_F(DesignFileTest, BeadSectionChecks) {
  struct Case {
    const char* name;
    double x, y;
    int index;
    int present;
    std::uint32_t count;
    double nominal, beadSize, spacer, actual;
    bool readable;
  };
  const double nan = std::nan("");
  const Case cases[] = {
      {"edges", 1.0, 0.0, 0, 1, 1, 0.1, 0.1, 0.0, 0.1, true},
      {"x beyond 1", 1.0000001, 0.0, 0, 1, 1, 0.1, 0.1, 0.0, 0.1, false},
      {"index -1", 0.5, 0.5, -1, 1, 1, 0.1, 0.1, 0.0, 0.1, false},
      {"present 2", 0.5, 0.5, 0, 2, 1, 0.1, 0.1, 0.0, 0.1, false},
      {"no beads", 0.5, 0.5, 0, 1, 0, 0.1, 0.1, 0.0, 0.1, false},
      {"count beyond the file", 0.5, 0.5, 0, 1, 0x7FFFFFFF, 0.1, 0.1, 0.0, 0.1, false},
      {"count beyond an index", 0.5, 0.5, 0, 1, 0xFFFFFFFF, 0.1, 0.1, 0.0, 0.1, false},
      {"grid wider than the design", 0.5, 0.5, 0, 1, 1, 0.1, 0.1, 0.0, 0.05, false},
      {"nominal not a number", 0.5, 0.5, 0, 1, 1, nan, 0.1, 0.0, 0.1, false},
      {"bead plus spacer 0", 0.5, 0.5, 0, 1, 1, 0.1, 0.1, -0.1, 0.1, false},
  };
  for (const Case& c : cases) {
    Bytes b;
    b.u32(c.count).f64(c.x).f64(c.y).u32(0x123456).i32(c.index).u8(c.present).u8(1);
    b.f64(c.nominal).f64(c.nominal).f64(c.beadSize).f64(c.beadSize).f64(c.spacer).f64(c.actual).f64(c.actual);
    b.u8(0).u32(0).u8(6).zeros(3);
    dftest::Write(folder / "beads.bin", b.b);
    CPattern design;
    dftest::MakeDesign(design, 2, 2, 1);
    const bool ok = ReadSection(folder / "beads.bin", [&](CDesignFileStream& f) {
      return ReadBeadSection(f, design, "p", kBeadRecordCurrent, true);
    });
    EXPECT_EQ(ok, c.readable) << c.name;
    if (ok) {
      ASSERT_EQ(design.m_beads.size(), 1u);
      EXPECT_EQ(design.m_beads[0].m_cachedColor, 0x123456u);
      EXPECT_EQ(design.m_beadSectionByte, 6);
      EXPECT_EQ(design.m_filePath, "p");
    } else if (c.count == 0 || c.count >= 0x7FFFFFFF) {
      EXPECT_EQ(design.m_beads.size(), 4u) << c.name;  // not touched
    } else {
      EXPECT_TRUE(design.m_beads.empty()) << c.name;
    }
  }
}

TEST_F(DesignFileTest, PropertiesRepairs) {
  struct Case {
    std::uint32_t angle;
    int step;
    int expectedAngle;
    int expectedStep;
  };
  for (const Case& c : {Case{360, 0, 0, 2}, Case{359, 12, 359, 9}, Case{0xFFFFFFFF, 5, 0, 5}}) {
    CPattern design;
    dftest::MakeDesign(design, 2, 2, 1);
    design.m_angle = static_cast<int>(c.angle);
    design.m_sacredPeyoteDivisor = c.step;
    design.m_fixedLengthText = "0123456789012345678901234567890123456789";
    design.m_intTriple = CIntTriple{0, 0, 0};
    std::memset(&design.m_guid, 0, sizeof(GUID));
    {
      CDesignFileStream out;
      ASSERT_TRUE(out.OpenWrite(Path(folder / "p.bin")));
      ASSERT_TRUE(WriteProperties(out, design));
      ASSERT_TRUE(out.Close());
    }
    CPattern back;
    ASSERT_TRUE(ReadSection(folder / "p.bin", [&](CDesignFileStream& f) { return ReadProperties(f, back); }));
    EXPECT_EQ(back.m_angle, c.expectedAngle);
    EXPECT_EQ(back.m_sacredPeyoteDivisor, c.expectedStep);
    EXPECT_EQ(back.m_fixedLengthText, "01234567890123456789012345678901");
    EXPECT_EQ(back.m_intTriple, (CIntTriple{180, 50, 50}));
    static const GUID kZero{};
    EXPECT_NE(std::memcmp(&back.m_guid, &kZero, sizeof(GUID)), 0);
  }
}

TEST_F(DesignFileTest, BlobsThatDoNotParseAndSizesBeyondTheFile) {
  CPattern design;
  dftest::MakeDesign(design, 2, 2, 1);
  design.m_attr.Author() = "author";
  design.m_symbolSet.m_fontName = "Symbol";
  {
    CDesignFileStream out;
    ASSERT_TRUE(out.OpenWrite(Path(folder / "p.bin")));
    ASSERT_TRUE(WriteProperties(out, design));
    ASSERT_TRUE(out.Close());
  }
  std::vector<unsigned char> bytes = dftest::Read(folder / "p.bin");
  // Find the attribute blob: its size sits right after the bead effect.
  const size_t attrSizeAt = 4 + 16 + 4 + 1 + 3 * 4 + 4 + 3 * 4 + 160 + 4 + 12 + 8 + 4 + 4;
  std::uint32_t attrSize = 0;
  std::memcpy(&attrSize, bytes.data() + attrSizeAt, 4);
  ASSERT_EQ(attrSize, static_cast<std::uint32_t>(design.m_attr.GetStoredSize()));
  // An attribute blob cut short inside: emptied, reading goes on.
  std::vector<unsigned char> unparsable = bytes;
  std::memset(unparsable.data() + attrSizeAt + 4, 'x', attrSize);  // no NUL anywhere
  dftest::Write(folder / "u.bin", unparsable);
  CPattern back;
  ASSERT_TRUE(ReadSection(folder / "u.bin", [&](CDesignFileStream& f) { return ReadProperties(f, back); }));
  EXPECT_TRUE(back.m_attr.Author().IsEmpty());
  EXPECT_EQ(back.m_symbolSet.m_fontName, "Symbol");
  // A blob size beyond the file fails the section.
  std::vector<unsigned char> huge = bytes;
  const std::uint32_t tooBig = 0x7FFFFFF0;
  std::memcpy(huge.data() + attrSizeAt, &tooBig, 4);
  dftest::Write(folder / "h.bin", huge);
  EXPECT_FALSE(ReadSection(folder / "h.bin", [&](CDesignFileStream& f) { return ReadProperties(f, back); }));
  // A string length beyond the file fails too.
  std::vector<unsigned char> longText = bytes;
  std::memcpy(longText.data() + 20, &tooBig, 4);
  dftest::Write(folder / "l.bin", longText);
  EXPECT_FALSE(ReadSection(folder / "l.bin", [&](CDesignFileStream& f) { return ReadProperties(f, back); }));
}

TEST_F(DesignFileTest, SectionVersionZeroHasNoPdfOptions) {
  CPattern design;
  design.m_sectionVersion = 0;
  design.m_pdfOptions.m_unusedValues[0] = 5;
  dftest::Write(folder / "nothing.bin", {});
  EXPECT_TRUE(ReadSection(folder / "nothing.bin", [&](CDesignFileStream& f) { return ReadPdfOptions(f, design); }));
  EXPECT_EQ(design.m_pdfOptions.m_unusedValues[0], 5);
  design.m_sectionVersion = 4;
  EXPECT_FALSE(ReadSection(folder / "nothing.bin", [&](CDesignFileStream& f) { return ReadPdfOptions(f, design); }));
}

TEST_F(DesignFileTest, UnknownSignatures) {
  qmtest::LanguagePack pack(false);
  ASSERT_TRUE(pack.Loaded());
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"Quillmerewise Freeware 26 Jan 2017", "Wrong file version\n<Quillmerewise Freeware 26 Jan 2017>"},
      {"FaldrenwickPro Design  1 March 2006", "Wrong file version\n<FaldrenwickPro Design  1 March 200>"},
      {std::string("ABC\0DEFGHIJKLMNOPQRSTUVWXYZ0123456", 34), "Wrong file version\n<ABC>"},
      // A picture renamed to a design: bytes that are not printable are
      // shown as \xNN, never raw.
      {std::string("\xFF\xD8\xFF\xE0\x01\x10JFIF\x7F\x1B\xC0\xE9 tab\there", 23) + std::string(11, 'z'),
       "Wrong file version\n<\\xFF\\xD8\\xFF\\xE0\\x01\\x10JFIF\\x7F\\x1B\\xC0\\xE9 tab\\x09herezzzzzzzzzzz>"},
  };
  for (const Case& c : cases) {
    dftest::Write(folder / "x.qx", Bytes().chars(c.bytes.substr(0, 34)).zeros(100).b);
    for (int reader = 0; reader < 2; ++reader) {
      CString error = "stale";
      bool opened;
      if (reader == 0) {
        CPrevDesignFree container(CPrevDesignFree::kModeRead, Path(folder / "x.qx"));
        opened = container.Open(&error);
      } else {
        CPrevDesign container(CPrevDesign::kModeRead, Path(folder / "x.qx"));
        opened = container.Open(&error);
      }
      EXPECT_FALSE(opened);
      EXPECT_EQ(std::string(error.GetString()), c.text);
    }
  }
  // Fewer than 34 bytes: false, and the reason says the file is too short.
  dftest::Write(folder / "tiny.qx", Bytes().chars("Quillmerewise").b);
  CString error = "stale";
  CPrevDesignFree tiny(CPrevDesignFree::kModeRead, Path(folder / "tiny.qx"));
  EXPECT_FALSE(tiny.Open(&error));
  EXPECT_EQ(std::string(error.GetString()), "The file is empty or too short to hold a design.");
}

TEST_F(DesignFileTest, PathFields) {
  const std::string longest = "/" + std::string(258, 'p');
  const std::string tooLong = "/folder/" + std::string(300, 'q') + "/name.bmp";
  {
    CPrevDesignFree writer(CPrevDesignFree::kModeWrite, Path(folder / "paths.qx"));
    ASSERT_TRUE(writer.Open());
    CString a = longest.c_str(), b = tooLong.c_str(), c = "";
    ASSERT_TRUE(writer.PathField(a) && writer.PathField(b) && writer.PathField(c));
    ASSERT_TRUE(writer.Close());
  }
  EXPECT_EQ(dftest::Read(folder / "paths.qx").size(), 34u + 3 * 260u);
  CPrevDesignFree reader(CPrevDesignFree::kModeRead, Path(folder / "paths.qx"));
  ASSERT_TRUE(reader.Open());
  CString a, b, c = "x";
  ASSERT_TRUE(reader.PathField(a) && reader.PathField(b) && reader.PathField(c));
  EXPECT_EQ(std::string(a.GetString()), longest);
  EXPECT_EQ(b, "name.bmp");
  EXPECT_TRUE(c.IsEmpty());
}

TEST_F(DesignFileTest, CorruptFilesAreRefusedBeforeReading) {
  CPattern design;
  dftest::MakeDesign(design, 3, 3, 2, true);
  CColorSet palette;
  dftest::MakePalette(palette, 2);
  CString none;
  ASSERT_TRUE(SaveDesignFile(Path(folder / "c.qx"), design, palette, "", none, nullptr));
  auto bytes = dftest::Read(folder / "c.qx");
  ASSERT_GT(bytes.size(), 100u);
  bytes[60] ^= 0x40;
  dftest::Write(folder / "c.qx", bytes);
  CDesignFileContents contents;
  CString reason;
  EXPECT_EQ(OpenDesignFile(Path(folder / "c.qx"), contents, reason), kDesignOpenCorrupt);
  // Without its trailer the same file is read by the current container only.
  bytes[60] ^= 0x40;
  bytes.erase(bytes.end() - 36, bytes.end());
  dftest::Write(folder / "c.qx", bytes);
  EXPECT_EQ(OpenDesignFile(Path(folder / "c.qx"), contents, reason), kDesignOpenOk);
}
