#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace fs = std::filesystem;

namespace {

// Replaces the store file by a copy of itself, as another process writing it
// would: the next call must read the file again.
void RewriteStoreFromOutside(const std::string& text) {
  const fs::path store = RegistryStorePath();
  fs::create_directories(store.parent_path());
  const fs::path tmp = store.string() + ".outside";
  qmtest::WriteAll(tmp, std::vector<unsigned char>(text.begin(), text.end()));
  fs::rename(tmp, store);
}

void ReloadStoreFromDisk() {
  const auto bytes = qmtest::ReadAll(RegistryStorePath());
  RewriteStoreFromOutside(std::string(bytes.begin(), bytes.end()));
}

std::vector<fs::path> FilesStartingWith(const std::string& prefix) {
  std::vector<fs::path> out;
  const fs::path dir = fs::path(RegistryStorePath()).parent_path();
  if (!fs::exists(dir)) return out;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().rfind(prefix, 0) == 0) out.push_back(e.path());
  return out;
}

HKEY CreateKey(const char* path) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           &key, &disposition),
            ERROR_SUCCESS);
  return key;
}

std::string QueryBytes(HKEY key, const char* name, DWORD* type = nullptr) {
  DWORD size = 0;
  if (RegQueryValueEx(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return "<missing>";
  std::string data(size, '\0');
  EXPECT_EQ(RegQueryValueEx(key, name, nullptr, type, reinterpret_cast<LPBYTE>(data.data()), &size), ERROR_SUCCESS);
  return data;
}

}  // namespace

TEST(RegistryTest, TypedValuesSurviveTheStoreFile) {
  HKEY key = CreateKey("Software\\Quillmere Test\\Values");
  ASSERT_NE(key, nullptr);
  const std::string text("Bead \xc1\xe8\xf1\xe5\xf0 \"%\\\n", 12);  // bytes of any kind, with the NUL
  const DWORD number = 0xA1B2C3D4;
  const std::string binary("\x00\xff%\"[]\\\r\n\x7f", 11);
  ASSERT_EQ(RegSetValueEx(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size())),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>(binary.data()),
                          static_cast<DWORD>(binary.size())),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>("a\0b\0"), 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("default"), 7), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, "Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  ReloadStoreFromDisk();

  // Keys and value names ignore case.
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\quillmere test\\values", 0, KEY_READ, &again), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(QueryBytes(again, "text", &type), text);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(QueryBytes(again, "Number", &type), std::string(reinterpret_cast<const char*>(&number), 4));
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(QueryBytes(again, "Blob", &type), binary);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(QueryBytes(again, "Multi", &type), std::string("a\0b\0", 4));
  EXPECT_EQ(type, REG_MULTI_SZ);
  EXPECT_EQ(QueryBytes(again, ""), "default");
  EXPECT_EQ(QueryBytes(again, "Empty"), "");

  // The key keeps the spelling it was created with.
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\QUILLMERE TEST", 0, KEY_READ, &parent), ERROR_SUCCESS);
  char name[256];
  DWORD nameSize = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(parent, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Values");
  EXPECT_EQ(nameSize, 6u);
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(parent, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  RegCloseKey(parent);
  RegCloseKey(again);
}

TEST(RegistryTest, QuerySizesBuffersAndMissingValues) {
  HKEY key = CreateKey("Software\\Quillmere Test");
  const BYTE data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(RegSetValueEx(key, "Ten", 0, REG_BINARY, data, sizeof data), ERROR_SUCCESS);

  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "Ten", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 10u);

  BYTE small[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  size = sizeof small;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(key, "Ten", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(small[0], 0xEE);

  size = 99;
  EXPECT_EQ(RegQueryValueEx(key, "Nothing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueEx(key, "Ten", nullptr, nullptr, small, nullptr), ERROR_INVALID_PARAMETER);

  // A text stored without its NUL gets one when the buffer has room.
  ASSERT_EQ(RegSetValueEx(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("/opt/q"), 6), ERROR_SUCCESS);
  char path[16];
  std::memset(path, 'x', sizeof path);
  size = sizeof path;
  EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, nullptr, reinterpret_cast<LPBYTE>(path), &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(path, "/opt/q");

  EXPECT_EQ(RegDeleteValue(key, "Ten"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key, "Ten"), ERROR_FILE_NOT_FOUND);
  HKEY missing = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\No Such Key", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing, nullptr);
  RegCloseKey(key);
}

TEST(RegistryTest, HandlesCloseOnceAndReadOnlyHandlesCannotWrite) {
  HKEY key = CreateKey("Software\\Quillmere Test");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueEx(nullptr, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

  HKEY reader = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quillmere Test", 0, KEY_READ, &reader), ERROR_SUCCESS);
  const DWORD one = 1;
  EXPECT_EQ(RegSetValueEx(reader, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_ACCESS_DENIED);
  RegCloseKey(reader);
}

TEST(RegistryTest, KeysDeleteAndEnumerate) {
  HKEY a = CreateKey("Software\\Tree\\A\\Deep");
  HKEY b = CreateKey("Software\\Tree\\b");
  const DWORD v = 5;
  RegSetValueEx(b, "second", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
  RegSetValueEx(b, "first", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
  char name[8];
  DWORD nameSize = 3;
  DWORD dataSize = 0;
  EXPECT_EQ(RegEnumValue(b, 0, name, &nameSize, nullptr, nullptr, nullptr, &dataSize), ERROR_MORE_DATA);
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumValue(b, 0, name, &nameSize, nullptr, nullptr, nullptr, &dataSize), ERROR_SUCCESS);
  EXPECT_STREQ(name, "second");  // values keep the order they were made in
  EXPECT_EQ(dataSize, 4u);

  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\Tree\\A"), ERROR_ACCESS_DENIED);  // has a sub-key
  EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software\\Tree\\A"), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(a, "x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\Tree\\B"), ERROR_SUCCESS);
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Tree\\b", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  RegCloseKey(a);
  RegCloseKey(b);
}

TEST(RegistryTest, InterruptedWritesLeaveTheOldStoreReadable) {
  HKEY key = CreateKey("Software\\Quillmere Test");
  const DWORD before = 1, after = 2;
  ASSERT_EQ(RegSetValueEx(key, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before), 4), ERROR_SUCCESS);

  for (const int stage : {1, 2}) {
    SCOPED_TRACE(stage);
    RegSimulateStoreWriteFailure(stage);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RegSetValueEx(key, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&after), 4), ERROR_WRITE_FAULT);
    testing::internal::GetCapturedStderr();
    // The failed change is forgotten; the file on disk still holds the old value.
    EXPECT_EQ(QueryBytes(key, "n"), std::string(reinterpret_cast<const char*>(&before), 4));
    ReloadStoreFromDisk();
    EXPECT_EQ(QueryBytes(key, "n"), std::string(reinterpret_cast<const char*>(&before), 4));
  }
  // The crash of stage 1 left its temporary file; the store reads past it,
  // and writing works again.
  EXPECT_FALSE(FilesStartingWith("registry.txt.tmp-").empty());
  ASSERT_EQ(RegSetValueEx(key, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&after), 4), ERROR_SUCCESS);
  ReloadStoreFromDisk();
  EXPECT_EQ(QueryBytes(key, "n"), std::string(reinterpret_cast<const char*>(&after), 4));
  RegCloseKey(key);
}

TEST(RegistryTest, DamagedStoreIsKeptAsideAndReported) {
  const std::string garbage = "QuillmereRegistry 1\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:12\n";
  RewriteStoreFromOutside(garbage);
  testing::internal::CaptureStderr();
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("damaged"), std::string::npos) << err;
  EXPECT_NE(err.find("line 3"), std::string::npos) << err;
  const auto aside = FilesStartingWith("registry.broken-");
  ASSERT_EQ(aside.size(), 1u);
  const auto kept = qmtest::ReadAll(aside[0]);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), garbage);

  // A new store starts empty beside it.
  key = CreateKey("A");
  const DWORD v = 3;
  EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4), ERROR_SUCCESS);
  EXPECT_EQ(FilesStartingWith("registry.broken-").size(), 1u);
  RegCloseKey(key);
}

TEST(RegistryTest, ChangesByAnotherProcessAreSeen) {
  HKEY key = CreateKey("Software\\Corvandel");
  EXPECT_EQ(QueryBytes(key, "language"), "<missing>");
  RewriteStoreFromOutside(
      "; written elsewhere\n"
      "QuillmereRegistry 1\n"
      "[HKEY_CURRENT_USER\\Software\\Corvandel]\n"
      "\"language\"=dword:00000001\n"
      "\"Name\"=sz:\"%c1%e8%f1%e5%f0%00\"\n"
      "[HKEY_CLASSES_ROOT\\.qx]\n"
      "@=sz:\"Velloran.Document%00\"\n");
  EXPECT_EQ(QueryBytes(key, "language"), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(QueryBytes(key, "Name"), std::string("\xc1\xe8\xf1\xe5\xf0\0", 6));
  HKEY ext = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, ".qx", 0, KEY_READ, &ext), ERROR_SUCCESS);
  EXPECT_EQ(QueryBytes(ext, nullptr), std::string("Velloran.Document\0", 18));
  RegCloseKey(ext);
  RegCloseKey(key);
}

// Two processes set their own values over and over while the store file's
// stamp repeats (file times cut to ten-second ticks, one inode number for
// every version, by a preloaded shim): every change is a read-modify-write
// under the lock, so neither loses the other's values. A third process,
// whose file times are cut to two seconds as on FAT, read the store before
// the writes and reads it again after them: it sees the last values.
TEST(RegistryTest, TwoProcessesWritingUnderCoarseFileTimesLoseNothing) {
  HKEY key = CreateKey("Software\\Race");
  const DWORD zero = 0;
  for (const char* name : {"a", "b"})
    ASSERT_EQ(RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4), ERROR_SUCCESS);
  const fs::path folder = qmtest::MakeTempDir("race");
  const int rounds = 25;

  // Our environment, with the shim preloaded and its tick.
  auto environment = [](const std::string& tick) {
    std::vector<std::string> env;
    std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      if (entry.rfind("LD_PRELOAD=", 0) == 0 || entry.rfind("QM_FILE_TIME_TICK=", 0) == 0) continue;
      if (entry.rfind("ASAN_OPTIONS=", 0) == 0) asan = entry + ":verify_asan_link_order=0";
      else env.push_back(entry);
    }
    env.push_back(asan);
    env.push_back(std::string("LD_PRELOAD=") + QM_COARSE_FILE_TIMES_SHIM);
    env.push_back("QM_FILE_TIME_TICK=" + tick);
    return env;
  };
  auto spawn = [&](std::string name, const std::string& tick) {
    std::vector<std::string> env = environment(tick);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = QM_REGISTRY_RACE_WRITER, count = std::to_string(rounds), dir = folder.string();
    char* argv[] = {program.data(), name.data(), count.data(), dir.data(), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    return pid;
  };
  auto waitFor = [&](std::initializer_list<const char*> names) {
    for (const char* name : names)
      for (int wait = 0; !fs::exists(folder / name) && wait < 20000; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  auto exitCode = [](pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  };

  const pid_t reader = spawn("reader", "2");
  waitFor({"ready-reader"});
  const pid_t a = spawn("a", "10"), b = spawn("b", "10");
  // Both writers have read the store before either writes.
  waitFor({"ready-a", "ready-b"});
  std::ofstream(folder / "start") << "start";
  EXPECT_EQ(exitCode(a), 0);
  EXPECT_EQ(exitCode(b), 0);
  std::ofstream(folder / "done") << "done";
  EXPECT_EQ(exitCode(reader), 0);  // 7: the reader did not see the last values
  const std::string last("\x19\0\0\0", 4);  // 25
  EXPECT_EQ(QueryBytes(key, "a"), last);
  EXPECT_EQ(QueryBytes(key, "b"), last);
  RegCloseKey(key);
}
