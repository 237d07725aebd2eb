// The small design records read from and written to open files.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/FileUtils.h"
#include "design/Pattern.h"
#include "tests/core/core_test_util.h"

namespace fs = std::filesystem;
using coretest::Str;

TEST(PatternRecords, FileRecordsDemandEveryByte) {
  const fs::path dir = qmtest::MakeTempDir("pattern-records");
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
