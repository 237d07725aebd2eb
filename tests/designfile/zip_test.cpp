// Designs inside zip archives: the first design entry is unpacked beside
// the archive under a free name; names, sizes and CRCs from the archive are
// not trusted.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/FileUtils.h"
#include "designfile/ZippedDesign.h"
#include "tests/designfile/designfile_files.h"
#include "tests/designfile/designfile_fixtures.h"

namespace fs = std::filesystem;
using dftest::ListFolder;
using dftest::Path;
using dftest::WriteZip;
using dftest::ZipEntry;

namespace {

std::vector<unsigned char> Bytes(const std::string& s) { return std::vector<unsigned char>(s.begin(), s.end()); }

}  // namespace

TEST(FileZip, EntryNamesKeepOnlyTheirLastComponent) {
  struct Case {
    std::string name;
    const char* expected;  // null: no usable name
  };
  const Case cases[] = {
      {"x.qx", "x.qx"},           {"docs/x.qx", "x.qx"},   {"../x.qx", "x.qx"},
      {"a/../../x.qx", "x.qx"},   {"a\\..\\y.qx", "y.qx"}, {"/etc/z.qx", "z.qx"},
      {"", nullptr},              {"dir/", nullptr},       {"a/..", nullptr},
      {"a/.", nullptr},           {"x\x01.qx", nullptr},   {std::string("x\0y.qx", 6), nullptr},
      {"x\x7F.qx", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CString name;
    EXPECT_EQ(GetZipEntryFileName(c.name.data(), c.name.size(), name), c.expected != nullptr);
    if (c.expected) EXPECT_EQ(name, c.expected);
  }
}

TEST(FileZip, FreeNamesCountUpAndGiveUpAfter999) {
  const auto dir = qmtest::MakeTempDir("zip-free");
  CString out;
  ASSERT_TRUE(MakeFreeFileName(Path(dir) + "/", "x", ".qx", out));
  EXPECT_EQ(out, Path(dir / "x.qx"));
  qmtest::WriteAll(dir / "x.qx", {1});
  qmtest::WriteAll(dir / "x1.qx", {1});
  ASSERT_TRUE(MakeFreeFileName(Path(dir) + "/", "x", ".qx", out));
  EXPECT_EQ(out, Path(dir / "x2.qx"));
  for (int i = 2; i <= 999; ++i) qmtest::WriteAll(dir / ("x" + std::to_string(i) + ".qx"), {1});
  EXPECT_FALSE(MakeFreeFileName(Path(dir) + "/", "x", ".qx", out));
}

TEST(FileZip, FirstDesignEntryIsUnpackedBesideTheArchive) {
  const auto dir = qmtest::MakeTempDir("zip-open");
  const auto design = qmtest::ReadAll(dftest::WriteBlankDesignFile(dir / "source.qx"));
  fs::remove(dir / "source.qx");
  WriteZip(dir / "a.zip", {{"docs/readme.txt", Bytes("hello")}, {"docs/", {}, -1, -1, true},
                           {"inner/x.QX", design}, {"second.qx", Bytes("other")}});
  CString out;
  ASSERT_TRUE(OpenZippedDesign(Path(dir / "a.zip"), out));
  EXPECT_EQ(out, Path(dir / "x.qx"));
  EXPECT_EQ(qmtest::ReadAll(dir / "x.qx"), design);
  // Again with x.qx there: x1.qx, and x.qx untouched.
  ASSERT_TRUE(OpenZippedDesign(Path(dir / "a.zip"), out));
  EXPECT_EQ(out, Path(dir / "x1.qx"));
  // Not an archive by its extension.
  EXPECT_FALSE(OpenZippedDesign(Path(dir / "x.qx"), out));
  EXPECT_TRUE(out.IsEmpty());
}

TEST(FileZip, HostileEntriesWriteNothingOutsideTheArchiveFolder) {
  const auto top = qmtest::MakeTempDir("zip-hostile");
  const auto dir = top / "inside";
  fs::create_directories(dir);
  const auto design = Bytes("design bytes");
  struct Case {
    const char* what;
    std::vector<ZipEntry> entries;
    const char* unpacked;  // the file expected in the archive's folder, or null
  };
  std::vector<Case> cases;
  cases.push_back({"climbs up", {{"../x.qx", design}}, "x.qx"});
  cases.push_back({"climbs up twice", {{"a/../../x.qx", design}}, "x.qx"});
  cases.push_back({"absolute", {{"/tmp/x.qx", design}}, "x.qx"});
  cases.push_back({"no design", {{"readme.txt", design}}, nullptr});
  cases.push_back({"a folder named like a design", {{"d.qx/", {}, -1, -1, true}}, nullptr});
  cases.push_back({"control character", {{"x\ty.qx", design}}, nullptr});
  cases.push_back({"huge", {{"x.qx", design, (1ll << 30) + 1}}, nullptr});
  cases.push_back({"yields more than declared", {{"x.qx", design, 4}}, nullptr});
  cases.push_back({"wrong crc", {{"x.qx", design, -1, 12345}}, nullptr});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
    WriteZip(dir / "a.zip", c.entries);
    CString out;
    EXPECT_EQ(OpenZippedDesign(Path(dir / "a.zip"), out), c.unpacked != nullptr);
    std::vector<std::string> expected{"a.zip"};
    if (c.unpacked) expected.push_back(c.unpacked);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListFolder(dir), expected);
    EXPECT_EQ(ListFolder(top), std::vector<std::string>{"inside"});
    if (c.unpacked) EXPECT_EQ(qmtest::ReadAll(dir / c.unpacked), design);
  }
}

TEST(FileZip, NoFreeNameMeansNoDesign) {
  const auto dir = qmtest::MakeTempDir("zip-full");
  qmtest::WriteAll(dir / "x.qx", {7});
  for (int i = 1; i <= 999; ++i) qmtest::WriteAll(dir / ("x" + std::to_string(i) + ".qx"), {7});
  WriteZip(dir / "a.zip", {{"x.qx", Bytes("new")}});
  CString out;
  EXPECT_FALSE(OpenZippedDesign(Path(dir / "a.zip"), out));
  EXPECT_EQ(qmtest::ReadAll(dir / "x.qx"), std::vector<unsigned char>{7});
  EXPECT_EQ(qmtest::ReadAll(dir / "x999.qx"), std::vector<unsigned char>{7});
}
