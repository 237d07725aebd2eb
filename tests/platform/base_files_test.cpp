#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace fs = std::filesystem;

namespace {

CString P(const fs::path& p) { return FromUtf8(p.string()); }

void Touch(const fs::path& p, const std::string& content = "") {
  qmtest::WriteAll(p, std::vector<unsigned char>(content.begin(), content.end()));
}

std::vector<std::string> Find(const CString& pattern, std::vector<DWORD>* attrs = nullptr) {
  std::vector<std::string> names;
  WIN32_FIND_DATA fd;
  HANDLE h = FindFirstFile(pattern, &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(fd.cFileName);
    if (attrs) attrs->push_back(fd.dwFileAttributes);
  } while (FindNextFile(h, &fd));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(h));
  return names;
}

}  // namespace

TEST(FilesTest, FindFirstFileMatchesWildcardsIgnoringCase) {
  const fs::path dir = qmtest::MakeTempDir("find");
  Touch(dir / "Alpha.QX", "12345");
  Touch(dir / "beta.qx");
  Touch(dir / "gamma.txt");
  Touch(dir / "noext");
  fs::create_directory(dir / "Sub");

  using V = std::vector<std::string>;
  EXPECT_EQ(Find(P(dir / "*.qx")), (V{"Alpha.QX", "beta.qx"}));
  EXPECT_EQ(Find(P(dir / "?ETA.*")), (V{"beta.qx"}));
  EXPECT_EQ(Find(P(dir / "ALPHA.qx")), (V{"Alpha.QX"}));
  EXPECT_EQ(Find(P(dir / "noext.*")), (V{"noext"}));
  std::vector<DWORD> attrs;
  EXPECT_EQ(Find(P(dir / "*.*"), &attrs), (V{".", "..", "Alpha.QX", "beta.qx", "gamma.txt", "noext", "Sub"}));
  EXPECT_TRUE(attrs[6] & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(attrs[2] & FILE_ATTRIBUTE_DIRECTORY);

  // A folder given with backslashes, and the size of a match.
  const CString backslashed = P(dir) + "\\alpha.*";
  WIN32_FIND_DATA fd;
  HANDLE h = FindFirstFile(backslashed, &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(fd.nFileSizeLow, 5u);
  EXPECT_EQ(fd.nFileSizeHigh, 0u);
  SYSTEMTIME st;
  EXPECT_TRUE(FileTimeToSystemTime(&fd.ftLastWriteTime, &st));
  EXPECT_GE(st.wYear, 2020);
  FindClose(h);

  EXPECT_EQ(FindFirstFile(P(dir / "*.pal"), &fd), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFile(P(dir / "missing" / "*"), &fd), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(FindClose(h));
}

TEST(FilesTest, ReadOnlyAttributeGuardsTheFile) {
  const fs::path dir = qmtest::MakeTempDir("readonly");
  const CString file = P(dir / "design.qx");
  Touch(dir / "design.qx", "beads");
  EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(GetFileAttributes(P(dir)), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes(P(dir / "none")), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(fs::status(dir / "design.qx").permissions() & fs::perms::owner_write, fs::perms::none);
  // Even a process that could write it (root) is refused, as on Windows.
  EXPECT_EQ(CreateFile(file, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeleteFile(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  Touch(dir / "other");
  EXPECT_FALSE(CopyFile(P(dir / "other"), file, FALSE));
  EXPECT_FALSE(MoveFileEx(P(dir / "other"), file, MOVEFILE_REPLACE_EXISTING));
  HANDLE r = CreateFile(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(r, INVALID_HANDLE_VALUE);
  CloseHandle(r);

  ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(PathFileExists(file));
}

TEST(FilesTest, HandlesReadWriteSeekAndTruncate) {
  const fs::path dir = qmtest::MakeTempDir("handles");
  const CString file = P(dir) + "\\data.bin";  // a Windows-style join
  HANDLE h = CreateFile(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(h, "0123456789", 10, &n, nullptr));
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(SetFilePointer(h, -4, nullptr, FILE_END), 6u);
  char buf[8] = {};
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(std::string(buf, n), "6789");
  EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));  // at the end: success with nothing
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(SetFilePointer(h, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(h, 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_TRUE(SetEndOfFile(h));
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(h, &high), 3u);
  EXPECT_EQ(high, 0u);
  EXPECT_TRUE(FlushFileBuffers(h));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(nullptr));

  EXPECT_EQ(CreateFile(file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  h = CreateFile(file, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(ReadFile(h, buf, 1, &n, nullptr));  // opened for writing only
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(h);
  h = CreateFile(file, GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  CloseHandle(h);
  EXPECT_EQ(CreateFile(P(dir / "none" / "x"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(CreateFile(P(dir / "none"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FilesTest, CopyMoveAndFolders) {
  const fs::path dir = qmtest::MakeTempDir("copymove");
  Touch(dir / "a", "first");
  Touch(dir / "b", "second");
  EXPECT_FALSE(CopyFile(P(dir / "a"), P(dir / "b"), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_TRUE(CopyFile(P(dir / "a"), P(dir / "c"), TRUE));
  EXPECT_TRUE(CopyFile(P(dir / "a"), P(dir / "b"), FALSE));
  const auto b = qmtest::ReadAll(dir / "b");
  EXPECT_EQ(std::string(b.begin(), b.end()), "first");

  EXPECT_FALSE(MoveFile(P(dir / "a"), P(dir / "c")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(MoveFileEx(P(dir / "a"), P(dir / "c"), MOVEFILE_REPLACE_EXISTING));
  EXPECT_FALSE(PathFileExists(P(dir / "a")));
  EXPECT_TRUE(MoveFile(P(dir / "c"), P(dir / "d")));

  EXPECT_TRUE(CreateDirectory(P(dir / "Sub"), nullptr));
  EXPECT_FALSE(CreateDirectory(P(dir / "Sub"), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectory(P(dir / "x" / "y"), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  Touch(dir / "Sub" / "f");
  EXPECT_FALSE(RemoveDirectory(P(dir / "Sub")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(DeleteFile(P(dir / "Sub")));
  EXPECT_TRUE(DeleteFile(P(dir / "Sub" / "f")));
  EXPECT_TRUE(RemoveDirectory(P(dir / "Sub")));
  EXPECT_TRUE(PathIsDirectory(P(dir)));

  // Code-page names become UTF-8 names on disk.
  SetAnsiCodePage(1251);
  const CString russian = P(dir) + "/\xc1\xe8\xf1\xe5\xf0.qx";  // "Бисер.qx" in Windows-1251
  HANDLE h = CreateFile(russian, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(fs::exists(dir / "Бисер.qx"));
  EXPECT_EQ(Find(P(dir) + "/\xe1\xc8\xd1\xc5\xd0.*"), (std::vector<std::string>{"\xc1\xe8\xf1\xe5\xf0.qx"}));
}

TEST(FilesTest, SplitAndMakePaths) {
  struct Case {
    const char* path;
    const char* dir;
    const char* fname;
    const char* ext;
  };
  const Case cases[] = {
      {"/home/u/Designs/rose.qx", "/home/u/Designs/", "rose", ".qx"},
      {"C:\\Beads\\old\\rose.v2.qx", "C:\\Beads\\old\\", "rose.v2", ".qx"},
      {"mixed\\a/b\\name", "mixed\\a/b\\", "name", ""},
      {"file.", "", "file", "."},
      {"/folder/", "/folder/", "", ""},
      {".hidden", "", "", ".hidden"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    char drive[_MAX_DRIVE] = "x", dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(c.path, drive, dir, fname, ext);
    EXPECT_STREQ(drive, "");
    EXPECT_STREQ(dir, c.dir);
    EXPECT_STREQ(fname, c.fname);
    EXPECT_STREQ(ext, c.ext);
  }
  char path[_MAX_PATH];
  _makepath(path, "", "/designs", "rose", "qx");
  EXPECT_STREQ(path, "/designs/rose.qx");
  _makepath(path, nullptr, "C:\\d\\", "rose", ".qx");
  EXPECT_STREQ(path, "C:\\d\\rose.qx");
  EXPECT_EQ(MakePath("", "", "rose", ""), "rose");
}

TEST(FilesTest, TimesConvert) {
  // 2000-01-01 00:00:00.123 UTC, a Saturday.
  const unsigned long long ticks = 125911584000000000ULL + 1230000ULL;
  const FILETIME ft{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME st;
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(st.wYear, 2000);
  EXPECT_EQ(st.wMonth, 1);
  EXPECT_EQ(st.wDay, 1);
  EXPECT_EQ(st.wDayOfWeek, 6);
  EXPECT_EQ(st.wHour, 0);
  EXPECT_EQ(st.wMilliseconds, 123);
  FILETIME back;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
  EXPECT_EQ(back.dwLowDateTime, ft.dwLowDateTime);
  EXPECT_EQ(back.dwHighDateTime, ft.dwHighDateTime);
  st.wMonth = 13;
  EXPECT_FALSE(SystemTimeToFileTime(&st, &back));

  SYSTEMTIME now;
  GetSystemTime(&now);
  EXPECT_GE(now.wYear, 2024);
  const DWORD t0 = GetTickCount();
  EXPECT_LE(GetTickCount() - t0, 1000u);
}

TEST(FilesTest, ProgramFoldersAndBuffers) {
  char exe[MAX_PATH];
  const DWORD n = GetModuleFileName(nullptr, exe, sizeof exe);
  ASSERT_GT(n, 0u);
  const fs::path self = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(std::string(exe, n), self.string());
  EXPECT_EQ(GetProgramFolder(), P(self.parent_path()));
  // The test folder is writable, so the program writes beside itself.
  EXPECT_EQ(GetWritableProgramFolder(), GetProgramFolder());
  EXPECT_EQ(GetUserDataFolder(), P(fs::path(std::getenv("XDG_DATA_HOME")) / "Quillmere"));

  char tiny[4];
  EXPECT_EQ(GetModuleFileName(nullptr, tiny, sizeof tiny), 4u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(tiny), "/" + self.string().substr(1, 2));
  EXPECT_EQ(GetModuleFileName(reinterpret_cast<HMODULE>(0x1234), exe, sizeof exe), 0u);

  const DWORD need = GetTempPath(0, nullptr);
  std::string temp(need, '\0');
  EXPECT_EQ(GetTempPath(need, temp.data()), need - 1);
  EXPECT_EQ(temp.back(), '\0');
  EXPECT_EQ(temp[need - 2], '/');
  char cwd[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectory(sizeof cwd, cwd), fs::current_path().string().size());

  const fs::path dir = qmtest::MakeTempDir("tempname");
  char name1[MAX_PATH], name2[MAX_PATH];
  const UINT u1 = GetTempFileName(P(dir), "qmx_long", 0, name1);
  const UINT u2 = GetTempFileName(P(dir), "qmx_long", 0, name2);
  ASSERT_NE(u1, 0u);
  ASSERT_NE(u2, 0u);
  EXPECT_STRNE(name1, name2);
  EXPECT_EQ(fs::path(name1).filename().string().substr(0, 3), "qmx");
  EXPECT_TRUE(fs::exists(name1));
  EXPECT_EQ(GetTempFileName(P(dir / "none"), "q", 0, name1), 0u);
}

TEST(FilesTest, ShellExecuteFailsClearly) {
  const fs::path dir = qmtest::MakeTempDir("shell");
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(
                ShellExecute(nullptr, "open", P(dir / "missing.pdf"), nullptr, nullptr, 1)),
            static_cast<std::uintptr_t>(SE_ERR_FNF));
  Touch(dir / "chart.pdf");
  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", dir.c_str(), 1);  // no xdg-open here
  testing::internal::CaptureStderr();
  const auto r = reinterpret_cast<std::uintptr_t>(ShellExecute(nullptr, "open", P(dir / "chart.pdf"), nullptr, nullptr, 1));
  const std::string err = testing::internal::GetCapturedStderr();
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(r, static_cast<std::uintptr_t>(SE_ERR_NOASSOC));
  EXPECT_NE(err.find("xdg-open"), std::string::npos);
}
