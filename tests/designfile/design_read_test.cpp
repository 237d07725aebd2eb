// Reading a design for the view: zip archives, the one message of a
// failure, the automatic save of older files, and the other product's
// files with their pictures.
#include <gtest/gtest.h>

#include "designfile/DesignRead.h"
#include "image/ImageView.h"
#include "tests/designfile/designfile_builders.h"
#include "tests/designfile/designfile_files.h"

namespace fs = std::filesystem;
using dftest::ListFolder;
using dftest::Path;
using dftest::WriteZip;

namespace {

class DesignReadTest : public dftest::DataFolderTest {};

}  // namespace

TEST_F(DesignReadTest, ZippedDesignOpensWithoutAPathAndLeavesNothingBehind) {
  const auto bytes = qmtest::ReadAll(dftest::WriteBlankDesignFile(folder / "src.qx"));
  fs::remove(folder / "src.qx");
  const fs::path dir = folder / "zips";
  fs::create_directories(dir);
  WriteZip(dir / "a.zip", {{"docs/readme.txt", {1, 2, 3}}, {"x.qx", bytes}});
  CDesignForView read;
  CString message;
  ASSERT_EQ(ReadDesignForView(Path(dir / "a.zip"), read, message, nullptr), kDesignOpenOk) << message.GetString();
  EXPECT_TRUE(read.zipped);
  CString own;
  EXPECT_FALSE(read.contents.design->GetFilePath(own));
  EXPECT_EQ(ListFolder(dir), std::vector<std::string>{"a.zip"});

  // No design entry: the archive itself is refused, named in the message.
  WriteZip(dir / "b.zip", {{"readme.txt", {1}}});
  CDesignForView none;
  EXPECT_EQ(ReadDesignForView(Path(dir / "b.zip"), none, message, nullptr), kDesignOpenFailed);
  EXPECT_NE(message.Find(Path(dir / "b.zip")), -1);
  EXPECT_EQ(message.Find("Failed to load the design"), 0);
  // A damaged design inside: refused, and the unpacked file removed.
  WriteZip(dir / "c.zip", {{"y.qx", dftest::WithTrailer({'b', 'a', 'd'})}});
  EXPECT_EQ(ReadDesignForView(Path(dir / "c.zip"), none, message, nullptr), kDesignOpenFailed);
  EXPECT_EQ(ListFolder(dir), (std::vector<std::string>{"a.zip", "b.zip", "c.zip"}));
}

TEST_F(DesignReadTest, CorruptOlderAndImportedFiles) {
  // A wrong trailer: the corrupt-file message alone.
  auto bytes = qmtest::ReadAll(dftest::WriteBlankDesignFile(folder / "w.qx"));
  bytes[40] ^= 0x55;
  qmtest::WriteAll(folder / "w.qx", bytes);
  CDesignForView read;
  CString message;
  EXPECT_EQ(ReadDesignForView(Path(folder / "w.qx"), read, message, nullptr), kDesignOpenCorrupt);
  EXPECT_EQ(message, "The design file is corrupt.\nInvalid check sum has been found.");

  // A current file of version 2 is read as modified: saved at once.
  dftest::FixtureDesign f;
  f.blank = true;
  qmtest::WriteAll(folder / "v2.qx",
                   dftest::WithTrailer(dftest::CurrentFile("FaldrenwickPro Design: 12 Nov 2007", 2, f)));
  CDesignForView older;
  ASSERT_EQ(ReadDesignForView(Path(folder / "v2.qx"), older, message, nullptr), kDesignOpenOk) << message.GetString();
  EXPECT_TRUE(older.saveNow);
  EXPECT_EQ(older.contents.version, 2);

  // The other product's file (older container) with its picture.
  dftest::FixtureDesign g;
  qmtest::WriteAll(folder / "other.fw",
                   dftest::WithTrailer(dftest::OlderFile("Trn 5.5.1,14Aug16, (C) Corvandelle", 16, g)));
  CDesignForView imported;
  ASSERT_EQ(ReadDesignForView(Path(folder / "other.fw"), imported, message, nullptr), kDesignOpenOk)
      << message.GetString();
  EXPECT_TRUE(imported.contents.olderFile);
  EXPECT_NE(imported.picture, nullptr);
  EXPECT_TRUE(imported.picturePath.IsEmpty());
  EXPECT_EQ(imported.contents.design->GetColumnCount(), 3u);
}
