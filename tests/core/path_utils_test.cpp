// The parts of a path, split on both separators.
#include <gtest/gtest.h>

#include "core/PathUtils.h"

TEST(PathUtils, PartsOnBothSeparators) {
  struct Case {
    const char* path;
    const char* folder;
    const char* fileName;
    const char* title;
    const char* extension;
  } cases[] = {
      {"/home/ann/Rose.qx", "/home/ann/", "Rose.qx", "Rose", ".qx"},
      {"C:\\Designs\\Old\\Tulip.bmp", "C:\\Designs\\Old\\", "Tulip.bmp", "Tulip", ".bmp"},
      {"/mixed\\parts/x.tar.gz", "/mixed\\parts/", "x.tar.gz", "x.tar", ".gz"},
      {"/Rose.qx", "/", "Rose.qx", "Rose", ".qx"},
      {"Rose", "", "Rose", "Rose", ""},
      {"folder.d/name", "folder.d/", "name", "name", ""},
      {"/a/.hidden", "/a/", ".hidden", "", ".hidden"},
      {"/a/b/", "/a/b/", "", "", ""},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetPathFolder(c.path), c.folder) << c.path;
    EXPECT_EQ(GetPathFileName(c.path), c.fileName) << c.path;
    EXPECT_EQ(GetPathTitle(c.path), c.title) << c.path;
    EXPECT_EQ(GetPathExtension(c.path), c.extension) << c.path;
  }
}
