// Shared by the tests of core and of the levels above it that write files:
// paths as texts, small files, and the program's data folder pointed at a
// fresh temporary folder.
#pragma once

#include <filesystem>
#include <fstream>

#include "core/FileUtils.h"
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

}  // namespace coretest
