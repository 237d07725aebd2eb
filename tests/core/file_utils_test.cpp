// File and folder helpers and unique names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/FileUtils.h"
#include "platform/base/files.h"
#include "tests/common/test_util.h"
#include "tests/core/core_test_util.h"

namespace fs = std::filesystem;
using coretest::DataFolder;
using coretest::Str;
using coretest::Touch;

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
  const char written[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  ASSERT_TRUE(WriteFileBlock(f, written, sizeof written));
  SetFilePointer(f, 0, nullptr, FILE_BEGIN);
  char read[6] = {};
  ASSERT_TRUE(ReadFileBlock(f, read, 4));
  EXPECT_EQ(std::string(read, 4), "abcd");
  EXPECT_FALSE(ReadFileBlock(f, read, 4));  // two bytes are left, not four
  EXPECT_FALSE(ReadFileBlock(f, read, 1));  // at the end
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
