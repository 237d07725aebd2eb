// Shared by the tests of core and of the levels above it: paths as texts,
// small files, the program's data folder pointed at a fresh temporary
// folder, and stored forms of records.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "tests/common/test_util.h"

namespace coretest {

inline CString Str(const std::filesystem::path& p) { return CString(p.string()); }
inline void Touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }

// Points the program's data folder at a fresh temporary folder for the
// object's life.
class DataFolder {
 public:
  explicit DataFolder(const char* name) : dir_(qmtest::MakeTempDir(name)) { SetProgramDataFolder(Str(dir_)); }
  ~DataFolder() { SetProgramDataFolder(""); }
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

// Sets the interface language for the object's life.
class LanguageScope {
 public:
  explicit LanguageScope(bool russian) : saved_(IsRussianInterface()) { SetRussianInterface(russian); }
  ~LanguageScope() { SetRussianInterface(saved_); }
  LanguageScope(const LanguageScope&) = delete;
  LanguageScope& operator=(const LanguageScope&) = delete;

 private:
  bool saved_;
};

// The stored form of a record: its Write into exactly `size` bytes.
template <typename Record>
std::vector<BYTE> Stored(const Record& record, int size) {
  std::vector<BYTE> bytes(static_cast<size_t>(size));
  CByteStream s(bytes.data(), size);
  EXPECT_TRUE(record.Write(s));
  EXPECT_EQ(s.GetRemaining(), 0);
  return bytes;
}

}  // namespace coretest
