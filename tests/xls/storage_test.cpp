// The compound-document writer: the new file, stream layouts, the directory,
// the block file, renumbering, rewriting streams, DIFAT sectors and failed
// writes. Files are checked with the tests' own reader.
#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/common/test_util.h"
#include "tests/xls/xls_test_util.h"
#include "xls/StorageFile.h"
#include "xls/XlsDocument.h"

using namespace xlstest;

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFFu;
constexpr std::uint32_t kEnd = 0xFFFFFFFEu;
constexpr std::uint32_t kFat = 0xFFFFFFFDu;
constexpr std::uint32_t kDifat = 0xFFFFFFFCu;

Bytes Pattern(size_t size, unsigned seed) {
  Bytes b(size);
  for (size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>((i * 31 + seed * 7 + i / 251) & 0xFF);
  return b;
}

CString PathOf(const std::filesystem::path& p) { return CString(p.string()); }

// Writes one stream "Workbook" of `size` bytes into a new file.
void WriteWorkbook(const std::filesystem::path& path, const Bytes& data) {
  StorageFile file;
  ASSERT_TRUE(file.Create(PathOf(path)));
  ASSERT_EQ(file.MakeStream(CString("Workbook")), kStorageOk);
  ASSERT_EQ(file.WriteStream(CString("Workbook"), data.data(), static_cast<DWORD>(data.size())), kStorageOk);
}

// Every sector of the file is in use and covered by the FAT.
void ExpectCompact(const CompoundFile& cf) {
  const size_t sectors = cf.file.size() / 512 - 1;
  ASSERT_LE(sectors, cf.fat.size());
  for (size_t s = 0; s < sectors; ++s) EXPECT_NE(cf.fat[s], kFree) << "sector " << s;
  for (size_t s = sectors; s < cf.fat.size(); ++s) EXPECT_EQ(cf.fat[s], kFree) << "sector " << s;
  EXPECT_EQ(cf.fatSectors.size(), (sectors + 127) / 128) << sectors;
}

// Restores the write limit when a test ends.
struct WriteLimitScope {
  explicit WriteLimitScope(long long bytes) { SetStorageWriteLimit(bytes); }
  ~WriteLimitScope() { SetStorageWriteLimit(-1); }
};

}  // namespace

TEST(StorageTest, ANewFileHoldsHeaderFatAndRoot) {
  const auto dir = qmtest::MakeTempDir("storage-new");
  StorageFile file;
  ASSERT_TRUE(file.Create(PathOf(dir / "new.xls")));
  file.Close();
  const Bytes b = qmtest::ReadAll(dir / "new.xls");
  ASSERT_EQ(b.size(), 1536u);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}));
  struct Field {
    size_t at;
    std::uint32_t value;
    int width;
  };
  for (const Field& f : {Field{24, 0x3B, 2}, Field{26, 3, 2}, Field{28, 0xFFFE, 2}, Field{30, 9, 2}, Field{32, 6, 4},
                         Field{36, 0, 4}, Field{40, 0, 4}, Field{44, 1, 4}, Field{48, 1, 4}, Field{52, 0, 4},
                         Field{56, 4096, 4}, Field{60, kEnd, 4}, Field{64, 0, 4}, Field{68, kEnd, 4}, Field{72, 0, 4},
                         Field{76, 0, 4}})
    EXPECT_EQ(f.width == 2 ? U16(b, f.at) : U32(b, f.at), f.value) << "offset " << f.at;
  for (size_t slot = 1; slot < 109; ++slot) EXPECT_EQ(U32(b, 76 + 4 * slot), kFree) << slot;
  EXPECT_EQ(U32(b, 512), kFat);
  EXPECT_EQ(U32(b, 516), kEnd);
  for (size_t i = 2; i < 128; ++i) EXPECT_EQ(U32(b, 512 + 4 * i), kFree) << i;
  const size_t root = 1024;
  EXPECT_EQ(U16(b, root), u'R');
  EXPECT_EQ(U16(b, root + 64), 22);
  EXPECT_EQ(b[root + 66], 5);
  EXPECT_EQ(b[root + 67], 1);
  for (size_t link : {68, 72, 76}) EXPECT_EQ(U32(b, root + link), kFree);
  EXPECT_EQ(U32(b, root + 116), kEnd);
  EXPECT_EQ(U32(b, root + 120), 0u);
  // Unused slots: zeros, with no sibling or child.
  for (size_t slot = 1; slot < 4; ++slot)
    for (size_t i = 0; i < 128; ++i) {
      const size_t at = root + 128 * slot + i;
      const bool link = i >= 68 && i < 80;
      EXPECT_EQ(b[at], link ? 0xFF : 0) << slot << ":" << i;
    }
}

TEST(StorageTest, StreamsAreLaidOutBySize) {
  struct Case {
    DWORD size;
    size_t fileSize;
    std::vector<std::uint32_t> fatStart;
    std::uint32_t rootStart, rootSize, firstMiniFat;
  };
  const Case cases[] = {
      {3000, 5120, {kFat, kEnd, 4, kEnd, 5, 6, 7, 8, kEnd, kFree}, 2, 3008, 3},
      {4095, 6144, {kFat, kEnd, 4, kEnd, 5, 6, 7, 8, 9, 10, kEnd, kFree}, 2, 4096, 3},
      {4096, 5632, {kFat, kEnd, 3, 4, 5, 6, 7, 8, 9, kEnd, kFree}, kEnd, 0, kEnd},
      {20000, 22016, {kFat, kEnd, 3, 4, 5}, kEnd, 0, kEnd},
      {70000, 72192, {kFat, kEnd, 3, 4, 5}, kEnd, 0, kEnd},
  };
  const auto dir = qmtest::MakeTempDir("storage-layout");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const Bytes data = Pattern(c.size, c.size);
    WriteWorkbook(dir / "s.xls", data);
    CompoundFile cf;
    ASSERT_TRUE(cf.Load(dir / "s.xls")) << cf.error;
    EXPECT_EQ(cf.file.size(), c.fileSize);
    for (size_t i = 0; i < c.fatStart.size(); ++i) EXPECT_EQ(cf.fat[i], c.fatStart[i]) << "FAT " << i;
    ASSERT_EQ(cf.entries.size(), 4u);
    EXPECT_EQ(cf.entries[0].start, c.rootStart);
    EXPECT_EQ(cf.entries[0].size, c.rootSize);
    EXPECT_EQ(cf.entries[0].child, 1u);
    EXPECT_EQ(U32(cf.file, 60), c.firstMiniFat);
    EXPECT_EQ(U32(cf.file, 64), c.firstMiniFat == kEnd ? 0u : 1u);
    EXPECT_EQ(cf.entries[1].name, u"Workbook");
    EXPECT_EQ(U16(cf.file, 1024 + 128 + 64), 18);
    EXPECT_EQ(cf.entries[1].type, 2);
    EXPECT_EQ(cf.entries[1].size, c.size);
    EXPECT_EQ(cf.entries[1].start, c.size < 4096 ? 0u : 2u);
    if (c.size < 4096) {
      std::vector<std::uint32_t> chain;
      for (std::uint32_t i = 0; i < (c.size + 63) / 64; ++i) chain.push_back(i);
      EXPECT_EQ(cf.Chain(0, false), chain);
    }
    Bytes back;
    ASSERT_TRUE(cf.Stream(u"Workbook", back));
    EXPECT_EQ(back, data);
    ExpectCompact(cf);
  }
  // Past the first FAT sector: the stream fills sectors 2 to 127, FAT sector
  // 128 follows, the stream goes on at 129, and the header's empty DIFAT
  // slots and "none" fields stay as they were.
  WriteWorkbook(dir / "big.xls", Pattern(70000, 1));
  CompoundFile cf;
  ASSERT_TRUE(cf.Load(dir / "big.xls")) << cf.error;
  EXPECT_EQ(cf.fat[127], 129u);
  EXPECT_EQ(cf.fat[128], kFat);
  EXPECT_EQ(cf.fat[139], kEnd);
  EXPECT_EQ(U32(cf.file, 44), 2u);
  EXPECT_EQ(U32(cf.file, 76), 0u);
  EXPECT_EQ(U32(cf.file, 80), 128u);
  for (size_t slot = 2; slot < 109; ++slot) EXPECT_EQ(U32(cf.file, 76 + 4 * slot), kFree) << slot;
  EXPECT_EQ(U32(cf.file, 48), 1u);
  EXPECT_EQ(U32(cf.file, 60), kEnd);
  EXPECT_EQ(U32(cf.file, 68), kEnd);
  EXPECT_EQ(U32(cf.file, 72), 0u);
}

TEST(StorageTest, DirectoryKeepsSiblingOrderAndRefusesBadNames) {
  const auto dir = qmtest::MakeTempDir("storage-dir");
  StorageFile file;
  ASSERT_TRUE(file.Create(PathOf(dir / "d.xls")));
  ASSERT_EQ(file.MakeStream(u"Workbook"), kStorageOk);
  ASSERT_EQ(file.MakeStream(u"AB"), kStorageOk);
  {
    const auto& d = file.GetDirectory();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[1].name, u"AB");
    EXPECT_EQ(d[2].name, u"Workbook");
    EXPECT_EQ(d[0].child, 2u);
    EXPECT_EQ(d[2].left, 1u);
    EXPECT_EQ(d[2].right, kStorageNoStream);
    EXPECT_EQ(d[1].left, kStorageNoStream);
    EXPECT_EQ(d[1].right, kStorageNoStream);
  }
  EXPECT_EQ(file.MakeStream(std::u16string(32, u'n')), kStorageNameTooLong);
  EXPECT_EQ(file.MakeStream(std::u16string(31, u'n')), kStorageOk);
  EXPECT_EQ(file.MakeStream(u"Workbook"), kStorageExists);
  EXPECT_EQ(file.MakeStream(u"WORKBOOK"), kStorageExists);
  EXPECT_EQ(file.MakeStream(u"Sub\\"), kStorageNoName);
  // Equal lengths order by upper-cased code units: "a" before "B".
  ASSERT_EQ(file.MakeStream(u"B"), kStorageOk);
  ASSERT_EQ(file.MakeStream(u"a"), kStorageOk);
  EXPECT_EQ(file.GetDirectory()[1].name, u"a");
  EXPECT_EQ(file.GetDirectory()[2].name, u"B");
  // A stream inside a storage made on the way.
  ASSERT_EQ(file.MakeStream(u"\\Sub\\Inner"), kStorageOk);
  ASSERT_NE(file.FindEntry(u"\\Sub\\Inner"), nullptr);
  EXPECT_EQ(file.FindEntry(u"Inner"), nullptr);
  ASSERT_EQ(file.ChangeStorage(u"Sub"), kStorageOk);
  EXPECT_NE(file.FindEntry(u"Inner"), nullptr);
  EXPECT_NE(file.FindEntry(u"..\\Workbook"), nullptr);
  EXPECT_EQ(file.ChangeStorage(u"\\Nowhere"), kStorageNoStorage);
  EXPECT_EQ(file.ChangeStorage(u"\\"), kStorageOk);
  EXPECT_EQ(file.WriteStream(u"Missing", nullptr, 0), kStorageStreamNotFound);
  const Bytes inner = Pattern(700, 9);
  EXPECT_EQ(file.WriteStream(u"\\Sub\\Inner", inner.data(), 700), kStorageOk);
  file.Close();
  // The directory on disk is a valid tree: every entry reached once.
  CompoundFile cf;
  ASSERT_TRUE(cf.Load(dir / "d.xls")) << cf.error;
  std::vector<int> seen(cf.entries.size(), 0);
  std::vector<std::uint32_t> stack = {0};
  while (!stack.empty()) {
    const std::uint32_t i = stack.back();
    stack.pop_back();
    ASSERT_LT(i, cf.entries.size());
    ++seen[i];
    for (std::uint32_t link : {cf.entries[i].left, cf.entries[i].right, cf.entries[i].child})
      if (link != kStorageNoStream) stack.push_back(link);
  }
  for (size_t i = 0; i < cf.entries.size(); ++i) EXPECT_EQ(seen[i], cf.entries[i].type ? 1 : 0) << i;
}

TEST(StorageTest, BlockFileMovesAndErasesWholeBlocks) {
  const auto dir = qmtest::MakeTempDir("storage-blocks");
  StorageBlockFile f;
  ASSERT_TRUE(f.Create(PathOf(dir / "b.bin")));
  BYTE block[512];
  for (DWORD i = 0; i < 6; ++i) {
    std::fill(block, block + 512, static_cast<BYTE>(i));
    ASSERT_TRUE(f.WriteBlock(i, block));
  }
  const auto firstBytes = [&] {
    std::vector<int> v;
    for (DWORD i = 0; i < f.GetBlockCount(); ++i) {
      EXPECT_TRUE(f.ReadBlock(i, block));
      v.push_back(block[0]);
    }
    return v;
  };
  ASSERT_TRUE(f.EraseBlocks({1, 3}));
  EXPECT_EQ(firstBytes(), (std::vector<int>{0, 2, 4, 5}));
  EXPECT_EQ(std::filesystem::file_size(dir / "b.bin"), 2048u);
  std::fill(block, block + 512, 9);
  ASSERT_TRUE(f.InsertBlock(1, block));
  EXPECT_EQ(firstBytes(), (std::vector<int>{0, 9, 2, 4, 5}));
  ASSERT_TRUE(f.MoveBlock(4, 0));
  EXPECT_EQ(firstBytes(), (std::vector<int>{5, 0, 9, 2, 4}));
  ASSERT_TRUE(f.SwapBlocks(0, 4));
  EXPECT_EQ(firstBytes(), (std::vector<int>{4, 0, 9, 2, 5}));
  std::fill(block, block + 512, 7);
  ASSERT_TRUE(f.WriteBlock(9, block));
  EXPECT_EQ(f.GetBlockCount(), 10u);
  EXPECT_EQ(f.GetFileSize(), 5120u);
  EXPECT_FALSE(f.ReadBlock(10, block));
  EXPECT_FALSE(f.SwapBlocks(2, 10));
  EXPECT_FALSE(f.EraseBlocks({10}));
  f.Close();
  ASSERT_TRUE(f.Open(PathOf(dir / "b.bin"), StorageBlockFile::kRead));
  EXPECT_EQ(f.GetBlockCount(), 10u);
  EXPECT_FALSE(f.WriteBlock(0, block));
  f.Close();
  EXPECT_FALSE(f.Open(PathOf(dir / "b.bin"), 0));
  EXPECT_FALSE(f.Create(PathOf(dir / "missing" / "b.bin")));
  EXPECT_FALSE(f.Create(PathOf(dir)));
}

TEST(StorageTest, InsertingASectorRaisesOnlyLaterReferences) {
  const auto dir = qmtest::MakeTempDir("storage-insert");
  const Bytes data = Pattern(20000, 5);
  StorageFile file;
  ASSERT_TRUE(file.Create(PathOf(dir / "i.xls")));
  ASSERT_EQ(file.MakeStream(u"Workbook"), kStorageOk);
  ASSERT_EQ(file.WriteStream(u"Workbook", data.data(), 20000), kStorageOk);
  ASSERT_TRUE(file.InsertSector(5));
  const auto& fat = file.GetFat();
  EXPECT_EQ(fat[2], 3u);
  EXPECT_EQ(fat[3], 4u);
  EXPECT_EQ(fat[4], 6u);
  EXPECT_EQ(fat[5], kFree);
  EXPECT_EQ(fat[6], 7u);
  EXPECT_EQ(fat[42], kEnd);
  EXPECT_EQ(file.GetDirectory()[1].start, 2u);
  // Before the directory: its first sector moves up, the FAT sector stays.
  ASSERT_TRUE(file.InsertSector(1));
  EXPECT_EQ(file.GetHeader().firstDirectorySector, 2u);
  EXPECT_EQ(file.GetFatSectors(), (std::vector<DWORD>{0}));
  EXPECT_EQ(file.GetDirectory()[1].start, 3u);
  ASSERT_TRUE(file.WriteDirectory());
  ASSERT_TRUE(file.WriteAllocationTables());
  ASSERT_TRUE(file.WriteHeader());
  file.Close();
  CompoundFile cf;
  ASSERT_TRUE(cf.Load(dir / "i.xls")) << cf.error;
  Bytes back;
  ASSERT_TRUE(cf.Stream(u"Workbook", back));
  EXPECT_EQ(back, data);
}

TEST(StorageTest, RewritingStreamsKeepsEveryStreamAndNoFreeSector) {
  const auto dir = qmtest::MakeTempDir("storage-rewrite");
  StorageFile file;
  ASSERT_TRUE(file.Create(PathOf(dir / "r.xls")));
  ASSERT_EQ(file.MakeStream(u"Workbook"), kStorageOk);
  ASSERT_EQ(file.MakeStream(u"Small"), kStorageOk);
  ASSERT_EQ(file.MakeStream(u"Tiny"), kStorageOk);
  ASSERT_EQ(file.MakeStream(u"Third"), kStorageOk);
  ASSERT_EQ(file.MakeStream(u"Fourth"), kStorageOk);
  const Bytes tiny = Pattern(130, 1);
  // With two more streams the mini stream needs more than one mini-FAT
  // sector (128 mini sectors each).
  const Bytes third = Pattern(4000, 11);
  ASSERT_EQ(file.WriteStream(u"Third", third.data(), 4000), kStorageOk);
  const Bytes fourth = Pattern(4000, 12);
  ASSERT_EQ(file.WriteStream(u"Fourth", fourth.data(), 4000), kStorageOk);
  // A small stream whose mini sectors lie after those of the others.
  const Bytes small = Pattern(1000, 2);
  unsigned seed = 3;
  for (DWORD size : {2000u, 20000u, 5000u, 70000u, 3000u, 100u, 4096u, 0u, 3500u, 9000u, 600u}) {
    SCOPED_TRACE(size);
    const Bytes data = Pattern(size, ++seed);
    ASSERT_EQ(file.WriteStream(u"Workbook", data.data(), size), kStorageOk);
    if (seed == 4) {
      ASSERT_EQ(file.WriteStream(u"Small", small.data(), 1000), kStorageOk);
      ASSERT_EQ(file.WriteStream(u"Tiny", tiny.data(), 130), kStorageOk);
    }
    CompoundFile cf;
    ASSERT_TRUE(cf.Load(dir / "r.xls")) << cf.error;
    Bytes back;
    ASSERT_TRUE(cf.Stream(u"Workbook", back));
    EXPECT_EQ(back, data);
    ASSERT_TRUE(cf.Stream(u"Small", back));
    EXPECT_EQ(back, small);
    ASSERT_TRUE(cf.Stream(u"Tiny", back));
    EXPECT_EQ(back, tiny);
    ASSERT_TRUE(cf.Stream(u"Third", back));
    EXPECT_EQ(back, third);
    ASSERT_TRUE(cf.Stream(u"Fourth", back));
    EXPECT_EQ(back, fourth);
    ExpectCompact(cf);
    EXPECT_EQ(cf.miniFat.size(), 128 * static_cast<size_t>(U32(cf.file, 64)));
    // The mini-FAT holds the mini sectors in use and no more than a sector
    // of free entries.
    EXPECT_LE(cf.miniFat.size(), 128 * ((cf.miniStream.size() / 64 + 127) / 128));
    EXPECT_EQ(U32(cf.file, 64), 2u);
  }
  // Emptied small streams give back their mini sectors and the mini-FAT
  // sector no longer needed.
  ASSERT_EQ(file.WriteStream(u"Third", nullptr, 0), kStorageOk);
  ASSERT_EQ(file.WriteStream(u"Fourth", nullptr, 0), kStorageOk);
  EXPECT_EQ(file.GetHeader().miniFatSectorCount, 1u);
  EXPECT_EQ(file.GetMiniFat().size(), 128u);
  file.Close();
  CompoundFile last;
  ASSERT_TRUE(last.Load(dir / "r.xls")) << last.error;
  ExpectCompact(last);
  Bytes back;
  ASSERT_TRUE(last.Stream(u"Small", back));
  EXPECT_EQ(back, small);
  ASSERT_TRUE(last.Stream(u"Third", back));
  EXPECT_TRUE(back.empty());
  // olefile in its strict mode reads the file the rewrites left.
  qmtest::WriteAll(dir / "expected.bin", Pattern(600, seed));
  EXPECT_EQ(OlefileCheck(dir / "r.xls", dir / "expected.bin"), "ok Fourth,Small,Third,Tiny,Workbook same");
}

TEST(StorageTest, ManyFatSectorsAreListedInDifatSectors) {
  const auto dir = qmtest::MakeTempDir("storage-difat");
  // More than 109 FAT sectors of 128 sectors each.
  const Bytes data = Pattern(110 * 128 * 512, 8);
  WriteWorkbook(dir / "large.xls", data);
  CompoundFile cf;
  ASSERT_TRUE(cf.Load(dir / "large.xls")) << cf.error;
  EXPECT_GT(cf.fatSectors.size(), 109u);
  ASSERT_EQ(cf.difatSectors.size(), 1u);
  EXPECT_EQ(cf.fat[cf.difatSectors[0]], kDifat);
  for (std::uint32_t s : cf.fatSectors) EXPECT_EQ(cf.fat[s], kFat) << s;
  const Bytes difat = cf.Sector(cf.difatSectors[0]);
  EXPECT_EQ(U32(difat, 508), kEnd);
  const size_t listed = cf.fatSectors.size() - 109;
  for (size_t k = listed; k < 127; ++k) EXPECT_EQ(U32(difat, 4 * k), kFree) << k;
  Bytes back;
  ASSERT_TRUE(cf.Stream(u"Workbook", back));
  EXPECT_TRUE(back == data);
  ExpectCompact(cf);
  // Shrunk again: the FAT and DIFAT sectors no longer needed are gone.
  StorageFile file;
  ASSERT_TRUE(file.Create(PathOf(dir / "shrink.xls")));
  ASSERT_EQ(file.MakeStream(u"Workbook"), kStorageOk);
  ASSERT_EQ(file.WriteStream(u"Workbook", data.data(), static_cast<DWORD>(data.size())), kStorageOk);
  const Bytes small = Pattern(1000, 9);
  ASSERT_EQ(file.WriteStream(u"Workbook", small.data(), 1000), kStorageOk);
  file.Close();
  CompoundFile again;
  ASSERT_TRUE(again.Load(dir / "shrink.xls")) << again.error;
  EXPECT_EQ(again.file.size(), 512u * 6);  // header, FAT, directory, mini stream (2), mini-FAT
  EXPECT_TRUE(again.difatSectors.empty());
  EXPECT_EQ(U32(again.file, 68), kEnd);
  ASSERT_TRUE(again.Stream(u"Workbook", back));
  EXPECT_EQ(back, small);
}

TEST(StorageTest, AFailedWriteIsReportedAndTheFileRemoved) {
  const auto dir = qmtest::MakeTempDir("storage-fail");
  const Bytes data = Pattern(20000, 4);
  for (long long limit : {0LL, 700LL, 1536LL, 2000LL, 6000LL, 21000LL}) {
    SCOPED_TRACE(limit);
    const auto path = dir / "f.xls";
    WriteLimitScope scope(limit);
    StorageFile file;
    bool ok = file.Create(PathOf(path));
    if (ok) ok = file.MakeStream(u"Workbook") == kStorageOk;
    if (ok) ok = file.WriteStream(u"Workbook", data.data(), 20000) == kStorageOk;
    EXPECT_FALSE(ok);
    file.Discard();
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  // The workbook save: false, and no file left.
  for (long long limit : {0LL, 1000LL, 3000LL}) {
    WriteLimitScope scope(limit);
    XlsDocument doc;
    doc.New(1);
    for (int r = 0; r < 200; ++r) doc.GetWorksheet(0)->Cell(r, 0)->SetInteger(r * 1000000);
    EXPECT_FALSE(doc.SaveAs(PathOf(dir / "w.xls"))) << limit;
    EXPECT_FALSE(std::filesystem::exists(dir / "w.xls")) << limit;
  }
  XlsDocument doc;
  doc.New(1);
  doc.GetWorksheet(0)->Cell(0, 0)->SetInteger(1);
  EXPECT_FALSE(doc.SaveAs(PathOf(dir / "missing" / "w.xls")));
  // A device that refuses to take the bytes is reported, never removed.
  if (std::filesystem::exists("/dev/full") && access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(doc.SaveAs(CString("/dev/full")));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
  }
  EXPECT_TRUE(doc.SaveAs(PathOf(dir / "w.xls")));
}
