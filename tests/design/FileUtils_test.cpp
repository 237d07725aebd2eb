// File and folder helpers, unique names and the undo folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "design/CommonUndo.h"
#include "design/FileUtils.h"
#include "design/Pattern.h"
#include "platform/base/files.h"
#include "tests/common/test_util.h"

namespace fs = std::filesystem;

namespace {
void Touch(const fs::path& p) { std::ofstream(p) << "x"; }
CString Str(const fs::path& p) { return CString(p.string()); }

// Points the program's data folder at a fresh temporary folder.
class DataFolder {
 public:
  explicit DataFolder(const char* name) : dir_(qmtest::MakeTempDir(name)) { SetProgramDataFolder(Str(dir_)); }
  ~DataFolder() { SetProgramDataFolder(""); }
  const fs::path& Dir() const { return dir_; }

 private:
  fs::path dir_;
};
}  // namespace

TEST(FileUtils, FolderAndFileTests) {
  const fs::path dir = qmtest::MakeTempDir("fileutils-tests");
  Touch(dir / "a.txt");
  EXPECT_TRUE(FolderExists("/"));
  EXPECT_TRUE(FolderExists(Str(dir)));
  EXPECT_TRUE(FolderExists(Str(dir) + "/"));
  EXPECT_FALSE(FolderExists(Str(dir / "a.txt")));
  EXPECT_FALSE(FolderExists(Str(dir / "none")));
  EXPECT_FALSE(FolderExists(nullptr));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(FolderExists("relative/path"));
  EXPECT_TRUE(FileExists(Str(dir / "a.txt")));
  EXPECT_FALSE(FileExists(Str(dir)));
  EXPECT_FALSE(FileExists(nullptr));
  EXPECT_TRUE(DriveExists("/x"));
  EXPECT_FALSE(DriveExists("x"));
  CFileStatus status;
  ASSERT_TRUE(GetFileStatus(Str(dir / "a.txt"), status));
  EXPECT_EQ(status.size, 1u);
  EXPECT_FALSE(GetFileStatus(Str(dir / "none"), status));
}

TEST(FileUtils, CreateFolderPathAndRemoveFile) {
  const fs::path dir = qmtest::MakeTempDir("fileutils-create");
  EXPECT_TRUE(CreateFolderPath(Str(dir / "one" / "two" / "three")));
  EXPECT_TRUE(fs::is_directory(dir / "one" / "two" / "three"));
  EXPECT_TRUE(CreateFolderPath(Str(dir / "one" / "two") + "/"));
  Touch(dir / "file");
  EXPECT_FALSE(CreateFolderPath(Str(dir / "file" / "sub")));
  const CString ro = Str(dir / "ro.txt");
  Touch(dir / "ro.txt");
  ASSERT_TRUE(SetReadOnly(ro));
  bool readOnly = false;
  ASSERT_TRUE(IsReadOnly(ro, readOnly));
  EXPECT_TRUE(readOnly);
  EXPECT_TRUE(RemoveFile(ro));  // clears the read-only attribute first
  EXPECT_FALSE(fs::exists(dir / "ro.txt"));
  EXPECT_TRUE(RemoveFile(ro));  // a missing file counts as removed
  EXPECT_FALSE(IsReadOnly(ro, readOnly));
  EXPECT_FALSE(ClearReadOnly(ro));
}

TEST(FileUtils, BlocksDemandEveryByte) {
  const fs::path dir = qmtest::MakeTempDir("fileutils-blocks");
  const CString path = Str(dir / "b.bin");
  HANDLE f = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  CIntTriple triple{1, -2, 3};
  ASSERT_TRUE(triple.WriteFile(f));
  CTextBlock text;
  text.fields[0][0] = 'T';
  ASSERT_TRUE(text.WriteFile(f));
  SetFilePointer(f, 0, nullptr, FILE_BEGIN);
  CIntTriple back;
  ASSERT_TRUE(back.ReadFile(f));
  EXPECT_EQ(back, triple);
  CTextBlock textBack;
  ASSERT_TRUE(textBack.ReadFile(f));
  EXPECT_EQ(textBack.fields[0][0], 'T');
  char byte;
  EXPECT_FALSE(ReadFileBlock(f, &byte, 1));  // at the end
  SetFilePointer(f, 100, nullptr, FILE_BEGIN);
  CTextBlock shortRead;
  shortRead.fields[1][0] = 'Z';
  EXPECT_FALSE(shortRead.ReadFile(f));
  EXPECT_EQ(shortRead.fields[1][0], 0);  // both zeroed
  CloseHandle(f);
}

TEST(FileUtils, UniqueDesignNames) {
  DataFolder data("fileutils-names");
  const fs::path dir = qmtest::MakeTempDir("fileutils-names-folder");
  Touch(dir / "Rose.qx");
  CString folder = Str(dir), name;
  ASSERT_TRUE(MakeUniqueDesignNameForDate(folder, name, "Rose", "December 09"));
  EXPECT_EQ(name, "Rose December 09 #2.qx");
  ASSERT_TRUE(MakeUniqueDesignNameForDate(folder, name, "Tulip", "December 09"));
  EXPECT_EQ(name, "Tulip.qx");
  ASSERT_TRUE(MakeUniqueDesignNameForDate(folder, name, "a/../b", "December 09"));
  EXPECT_EQ(name, "a_.._b.qx");  // a title never leads out of the folder
  // No folder: the design folder, created on demand.
  CString empty;
  ASSERT_TRUE(MakeUniqueDesignNameForDate(empty, name, nullptr, "December 09"));
  EXPECT_EQ(name, "December 09 #1.qx");
  EXPECT_EQ(empty, Str(data.Dir() / "Design"));
  EXPECT_TRUE(fs::is_directory(data.Dir() / "Design"));
  ASSERT_TRUE(MakeUniqueDesignName(empty, name, nullptr));
  EXPECT_NE(name.Find(" #1.qx"), -1);
}

TEST(FileUtils, UniqueDesignFolderPathAndTempNames) {
  DataFolder data("fileutils-folder-path");
  ASSERT_TRUE(CreateFolderPath(Str(data.Dir() / "Design")));
  Touch(data.Dir() / "Design" / "cat.jpg");
  Touch(data.Dir() / "Design" / "cat1.jpg");
  CString out;
  ASSERT_TRUE(MakeUniqueDesignFolderPath("/pictures/cat.jpg", out));
  EXPECT_EQ(out, Str(data.Dir() / "Design" / "cat2.jpg"));
  ASSERT_TRUE(MakeUniqueDesignFolderPath("C:\\pictures\\dog.png", out));
  EXPECT_EQ(out, Str(data.Dir() / "Design" / "dog.png"));
  CString temp1, temp2;
  MakeTempFileName(".jpg", temp1);
  MakeTempFileName(".jpg", temp2);
  EXPECT_NE(temp1, temp2);
  EXPECT_EQ(temp1.Left(data.Dir().string().size() + 1), Str(data.Dir()) + "/");
  EXPECT_EQ(temp1.GetLength(), static_cast<int>(data.Dir().string().size()) + 1 + 36 + 4);
  EXPECT_EQ(temp1.Right(4), ".jpg");
}

TEST(CommonUndo, EmptiesTheFolderAndRemovesItAtTheEnd) {
  DataFolder data("common-undo");
  const fs::path undo = data.Dir() / "Undo";
  fs::create_directories(undo / "keep");
  Touch(undo / "step1.dat");
  Touch(undo / "keep" / "inner.dat");
  Touch(undo / "ro.dat");
  ASSERT_TRUE(SetReadOnly(Str(undo / "ro.dat")));
  {
    CCommonUndo common;
    EXPECT_EQ(common.GetFolder(), Str(undo));
    EXPECT_FALSE(fs::exists(undo / "step1.dat"));
    EXPECT_FALSE(fs::exists(undo / "ro.dat"));
    EXPECT_TRUE(fs::exists(undo / "keep" / "inner.dat"));  // sub-folders survive
    Touch(undo / "step2.dat");
    common.Clear();
    EXPECT_FALSE(fs::exists(undo / "step2.dat"));
  }
  EXPECT_TRUE(fs::exists(undo));  // the sub-folder keeps it from being removed
  fs::remove_all(undo / "keep");
  {
    CCommonUndo common;
    Touch(undo / "late.dat");
  }
  EXPECT_FALSE(fs::exists(undo));
  {
    CCommonUndo created;  // made when missing
    EXPECT_TRUE(fs::is_directory(undo));
  }
}
