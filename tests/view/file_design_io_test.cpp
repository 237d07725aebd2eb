// Saving designs for the view (whole or not at all, and read back as the
// view reads them), the question before replacing another design, and the
// helpers of the file dialogs (design extensions, folders without designs,
// dates).
#include <ctime>

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "designfile/DesignFileStream.h"
#include "designfile/DesignRead.h"
#include "image/Image.h"
#include "image/ImageView.h"
#include "tests/view/file_fixture.h"
#include "view/DesignIO.h"

using namespace filetest;

TEST_F(FileTest, DesignExtensionsAndFoldersWithoutDesigns) {
  for (const char* yes : {"a.qx", "A.QX", "/x/y.Fw", "b.fw"}) EXPECT_TRUE(IsDesignFileExtension(yes)) << yes;
  for (const char* no : {"a.qxx", "a", "a.zip", "qx", "a.q"}) EXPECT_FALSE(IsDesignFileExtension(no)) << no;
  const fs::path dir = folder / "designs";
  fs::create_directories(dir / "sub.qx");  // a folder named like a design
  qmtest::WriteAll(dir / "note.txt", {1});
  EXPECT_TRUE(IsFolderWithoutDesigns(Path(dir)));
  qmtest::WriteAll(dir / "one.qx", {1});
  EXPECT_FALSE(IsFolderWithoutDesigns(Path(dir)));
  EXPECT_FALSE(IsFolderWithoutDesigns(Path(dir) + "/"));
  EXPECT_TRUE(IsFolderWithoutDesigns(Path(folder / "missing")));
}

TEST_F(FileTest, DatesInTheInterfaceLanguage) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 11;
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_isdst = -1;
  const std::time_t moment = std::mktime(&t);
  EXPECT_EQ(FormatDateTimeText(moment), "Friday, December 11, 2026   14:05");
  UseLanguage(true);
  EXPECT_EQ(ToUtf8(FormatDateTimeText(moment)), "пятница, 11 декабря 2026   14:05");
  // A file's time: its birth or its modification, never the status change.
  const fs::path file = folder / "dated.qx";
  qmtest::WriteAll(file, {1});
  std::time_t created = 0;
  ASSERT_TRUE(GetFileCreationTime(Path(file), created));
  EXPECT_LE(std::llabs(static_cast<long long>(created - std::time(nullptr))), 5);
  EXPECT_FALSE(GetFileCreationTime(Path(folder / "none"), created));
  EXPECT_TRUE(FormatFileCreationText(Path(folder / "none")).IsEmpty());
}

TEST_F(FileTest, SaveAndReopenKeepTheDesignPaletteAndPicture) {
  CPattern design;
  MakeDesign(design, 6, 4, 3, false);
  design.m_pdfData.m_title = "Chart title";
  CColorSet palette;
  MakePalette(palette, 3);
  bool ok = false;
  CImage picture(40, 30, ok, RGB(10, 200, 30));
  ASSERT_TRUE(ok);
  // A picture whose file has gone is stored from memory.
  CString picturePath = Path(folder / "gone.bmp");
  CString written, message;
  ASSERT_TRUE(SaveDesignForView(Path(folder / "d.txt"), design, palette, "my.pal", picturePath, &picture, written,
                                message))
      << message.GetString();
  EXPECT_EQ(written, Path(folder / "d.qx"));
  EXPECT_FALSE(fs::exists(folder / "d.txt"));
  EXPECT_NE(picturePath, Path(folder / "gone.bmp"));
  EXPECT_TRUE(FileExists(picturePath));
  EXPECT_EQ(VerifyDesignChecksum(kDesignChecksumMarker, written), 0);
  EXPECT_FALSE(design.IsModified());

  CDesignForView read;
  ASSERT_EQ(ReadDesignForView(written, read, message, nullptr), kDesignOpenOk) << message.GetString();
  EXPECT_TRUE(read.contents.design->m_beads == design.m_beads);
  EXPECT_TRUE(read.contents.design->m_pdfData == design.m_pdfData);
  EXPECT_EQ(read.contents.palette->GetCount(), 3);
  EXPECT_EQ(read.contents.palettePath, "my.pal");
  ASSERT_NE(read.picture, nullptr);
  EXPECT_EQ(read.picture->GetWidth(), 40);
  EXPECT_EQ(read.picturePath, read.contents.picturePath);
  EXPECT_TRUE(FileExists(read.picturePath));
  EXPECT_FALSE(read.zipped);
  EXPECT_FALSE(read.saveNow);
  CString own;
  EXPECT_TRUE(read.contents.design->GetFilePath(own));
  EXPECT_EQ(own, written);
}

TEST_F(FileTest, FailedSaveKeepsTheOldFileAndTheModifiedDesign) {
  const fs::path target = WriteDesignFile(folder / "keep.qx");
  const auto before = qmtest::ReadAll(target);
  CPattern design;
  MakeDesign(design, 20, 20, 3);
  design.SetModified(true);
  CColorSet palette;
  MakePalette(palette, 3);
  CString picturePath, written, message;
  SetDesignFileWriteLimit(300);
  const bool saved = SaveDesignForView(Path(target), design, palette, "", picturePath, nullptr, written, message);
  SetDesignFileWriteLimit(-1);
  EXPECT_FALSE(saved);
  EXPECT_EQ(message.Find("Failed to save the design\n"), 0);
  EXPECT_EQ(qmtest::ReadAll(target), before);
  EXPECT_TRUE(design.IsModified());
  EXPECT_EQ(ListFolder(folder), (std::vector<std::string>{"data", "keep.qx"}));
}

TEST_F(FileTest, ReplacingAnotherDesignIsAskedFirst) {
  WriteDesignFile(folder / "other.qx");
  WriteDesignFile(folder / "mine.qx");
  struct Case {
    const char* path;
    const char* own;
    bool asks;
  };
  const std::string f = folder.string() + "/";
  const Case cases[] = {
      {"other.qx", "", true},          {"other.txt", "", true},   {"other.qx", "mine.qx", true},
      {"mine.qx", "mine.qx", false},   {"mine.fw", "mine.qx", false}, {"new.qx", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const CString own = *c.own ? CString((f + c.own).c_str()) : CString();
    EXPECT_EQ(WouldReplaceOtherFile((f + c.path).c_str(), own), c.asks);
  }
  EXPECT_NE(FormatReplaceQuestion((f + "other.txt").c_str()).Find("other.qx already exists"), -1);
}
