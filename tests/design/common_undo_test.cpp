// The "Undo" scratch folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "design/CommonUndo.h"
#include "platform/base/files.h"
#include "tests/core/core_test_util.h"

namespace fs = std::filesystem;
using coretest::DataFolder;
using coretest::Str;
using coretest::Touch;

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
