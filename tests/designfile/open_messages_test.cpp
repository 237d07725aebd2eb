// What the user sees when a design file does not open: one message, built
// by FormatDesignOpenFailure from the open's result, the path and the
// reason of the reader that knew the file; the open itself shows nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/FrameServices.h"
#include "designfile/DesignFile.h"
#include "designfile/DesignPreview.h"
#include "lang/ids/designfile.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "tests/designfile/designfile_builders.h"

namespace fs = std::filesystem;
using dftest::Bytes;
using dftest::FixtureDesign;
using dftest::Path;

namespace {

using FileBytes = std::vector<unsigned char>;

class OpenMessagesTest : public dftest::DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    SetMessageBoxHook([this](const CString& text, const CString&, UINT) {
      shown_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    DataFolderTest::TearDown();
  }

  // A current file as the program saves it (trailer stripped), and the
  // bytes of its palette.
  FileBytes SavedDesign(bool blank, FileBytes* paletteBytes = nullptr) {
    CPattern design;
    dftest::MakeDesign(design, 4, 3, 3, blank);
    CColorSet palette;
    dftest::MakePalette(palette, 3);
    CString picture;
    if (!blank) {
      bool ok = false;
      CImage original(6, 5, ok, 0x00336699);
      picture = Path(folder / "original.bmp");
      EXPECT_TRUE(original.SaveFile(picture));
    }
    EXPECT_TRUE(SaveDesignFile(Path(folder / "saved.qx"), design, palette, "", picture, nullptr));
    if (paletteBytes) {
      std::vector<BYTE> bytes;
      EXPECT_TRUE(palette.SaveToBytes(bytes));
      paletteBytes->assign(bytes.begin(), bytes.end());
    }
    FileBytes file = dftest::Read(folder / "saved.qx");
    EXPECT_GT(file.size(), 36u);
    file.erase(file.end() - std::min<long>(36, static_cast<long>(file.size())), file.end());
    return file;
  }

  // An older file (version 16) from its parts.
  static FileBytes OlderFile(const FileBytes& blob, const FileBytes& picture, const FileBytes& palette) {
    Bytes b;
    b.chars("Trn 5.5.1,14Aug16, (C) Corvandelle").u32(static_cast<std::uint32_t>(blob.size())).raw(blob);
    Bytes p;
    p.raw(picture);
    b.blob(p);
    Bytes c;
    c.raw(palette);
    b.blob(c);
    return dftest::WithTrailer(b.b);
  }

  std::vector<CString> shown_;
};

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

TEST_F(OpenMessagesTest, OneMessageNamesTheFileAndTheReasonOnce) {
  const std::string failed = "Failed to load the design\n";
  const std::string picture = "Original image loading error";
  const std::string palette = "Failed to load the Palette";
  const std::string damaged = "The design in this file is damaged or cut short.";
  FixtureDesign f;
  const FileBytes blob = dftest::DesignBlob(f, 16);
  struct Case {
    const char* what;
    std::function<FileBytes()> file;
    int result;
    std::string reason;
  };
  const Case cases[] = {
      {"a trailer that does not match",
       [&] {
         FileBytes b = dftest::WithTrailer(SavedDesign(true));
         b[40] ^= 0x10;
         return b;
       },
       kDesignOpenCorrupt, ""},
      {"a signature no reader knows",
       [&] { return dftest::WithTrailer(Bytes().chars("Tremblewhistle Designer 1 May 2030").zeros(200).b); },
       kDesignOpenFailed, "Wrong file version\n<Tremblewhistle Designer 1 May 2030>"},
      {"a current file whose palette is damaged",
       [&] {
         FileBytes paletteBytes;
         FileBytes b = SavedDesign(false, &paletteBytes);
         auto at = std::search(b.begin(), b.end(), paletteBytes.begin(), paletteBytes.end());
         EXPECT_NE(at, b.end());
         at[static_cast<long>(paletteBytes.size() / 2)] ^= 0x5A;
         return dftest::WithTrailer(b);
       },
       kDesignOpenFailed, palette},
      {"a current file whose beads are damaged",
       [&] {
         FileBytes b = SavedDesign(true);
         b[34 + 3] = 0x7F;  // a bead count far beyond the file
         return dftest::WithTrailer(b);
       },
       kDesignOpenFailed, damaged},
      {"a current file whose picture cannot be extracted",
       [&] {
         FileBytes b = dftest::WithTrailer(SavedDesign(false));
         // Where the picture would go is a file, not a folder.
         fs::remove_all(folder / "data" / "Design");
         dftest::Write(folder / "data" / "Design", {1});
         return b;
       },
       kDesignOpenFailed, picture},
      {"an older file whose picture is damaged",
       [&] { return OlderFile(blob, Bytes().chars("not a picture").b, dftest::OlderPalette(3)); },
       kDesignOpenFailed, picture},
      {"an older file whose palette has no colours",
       [&] { return OlderFile(blob, dftest::PictureBlock(), dftest::OlderPalette(0)); }, kDesignOpenFailed, palette},
      {"an older file whose design is damaged",
       [&] {
         FileBytes cut(blob.begin(), blob.begin() + static_cast<long>(blob.size() / 2));
         return OlderFile(cut, dftest::PictureBlock(), dftest::OlderPalette(3));
       },
       kDesignOpenFailed, damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path file = folder / "open.qx";
    dftest::Write(file, c.file());
    shown_.clear();
    CDesignFileContents contents;
    CString reason = "stale";
    ASSERT_EQ(OpenDesignFile(Path(file), contents, reason), c.result);
    EXPECT_TRUE(shown_.empty());  // the open shows nothing itself
    EXPECT_EQ(std::string(reason.GetString()), c.reason);
    const std::string text = FormatDesignOpenFailure(c.result, Path(file), reason).GetString();
    if (c.result == kDesignOpenCorrupt) {
      EXPECT_EQ(text, "The design file is corrupt.\nInvalid check sum has been found.");
    } else {
      EXPECT_EQ(text, failed + file.string() + (c.reason.empty() ? "" : "\n" + c.reason));
      for (const std::string& part : {failed, picture, palette}) EXPECT_LE(Occurrences(text, part), 1u) << part;
    }
    fs::remove_all(folder / "data" / "Design");
  }
  EXPECT_TRUE(FormatDesignOpenFailure(kDesignOpenOk, "x.qx", "").IsEmpty());

  // The texts come from the language pack.
  qmtest::LanguagePack russian(true);
  ASSERT_TRUE(russian.Loaded());
  EXPECT_EQ(CodePageToUtf8(FormatDesignOpenFailure(kDesignOpenFailed, "/d/a.qx", LoadResString(IDS_LOAD_PALETTE_FAILED))
                               .str(),
                           1251),
            "Не удалось загрузить дизайн\n/d/a.qx\nНе удалось загрузить палитру");
}

// A file read into memory is read within its bytes: cut short at every
// length (the trailer gone with the end, as a copy that stopped part-way),
// the open fails with the reason of a damaged design, or of a file too
// short for a signature, and the preview refuses it with a reason, until
// only the PDF settings at the end are missing.
TEST_F(OpenMessagesTest, AFileCutShortAtAnyLengthGivesItsReason) {
  const FileBytes whole = SavedDesign(true);
  CPattern design;
  std::vector<BYTE> pdfBlock;
  ASSERT_TRUE(design.m_pdfData.WriteBlock(pdfBlock));
  ASSERT_GT(whole.size(), pdfBlock.size() + 34);
  const size_t needed = whole.size() - pdfBlock.size();
  const fs::path file = folder / "cut.qx";
  // Every length through the signature and the first bead records, then
  // every seventh, and the last one.
  std::vector<size_t> lengths;
  for (size_t length = 0; length < needed; length += length < 80 ? 1 : 7) lengths.push_back(length);
  lengths.push_back(needed - 1);
  for (size_t length : lengths) {
    SCOPED_TRACE(length);
    dftest::Write(file, FileBytes(whole.begin(), whole.begin() + static_cast<long>(length)));
    CDesignFileContents contents;
    CString reason;
    ASSERT_EQ(OpenDesignFile(Path(file), contents, reason), kDesignOpenFailed);
    EXPECT_EQ(std::string(reason.GetString()), length < 34 ? "The file is empty or too short to hold a design."
                                                           : "The design in this file is damaged or cut short.");
    CDesignPreview preview;
    CString error;
    EXPECT_FALSE(preview.Load(Path(file), nullptr, &error));
    EXPECT_FALSE(error.IsEmpty());
  }
  dftest::Write(file, whole);
  CDesignFileContents contents;
  CString reason;
  EXPECT_EQ(OpenDesignFile(Path(file), contents, reason), kDesignOpenOk) << reason.GetString();
  // A file that cannot be read at all gives the reason of an empty one.
  EXPECT_EQ(OpenDesignFile(Path(folder / "missing.qx"), contents, reason), kDesignOpenFailed);
  EXPECT_EQ(std::string(reason.GetString()), "The file is empty or too short to hold a design.");
  EXPECT_TRUE(shown_.empty());
}
