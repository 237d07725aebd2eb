#include <gtest/gtest.h>

#include <filesystem>

#include "palette/ColorSet.h"
#include "palette/PaletteCipher.h"
#include "platform/base/files.h"
#include "tests/common/test_util.h"
#include "tests/palette/palette_test_util.h"

using palettetest::Bytes;

namespace {

const std::string kV6 = std::string("Palette File V.6,\r\n") + std::string(37, ' ') + "Inc.\r\n\r\n";
const std::string kV5 = "Palette File V.5,\r\nCopyright (C) 2008 ThoughtFishMedia, Inc.\r\n\r\n";
const std::string kV3 = "Palette File Version 3,\r\nCopyright (C) 2006 NuveraSoft, Inc.\r\n\r\n";

// A whole palette file from a plain body: header text, the body enciphered
// with zero padding, the checksum.
std::vector<BYTE> MakeFile(const std::string& header, std::vector<BYTE> body) {
  const size_t plain = body.size();
  body.resize((plain + 7) / 8 * 8, 0);
  CPaletteCipher cipher;
  cipher.EncipherBuffer(body.data(), body.data(), plain);
  Bytes file;
  file.chars(header).raw(body).u32(PaletteChecksum(body.data(), body.size()));
  return file.b;
}

// A plain body with the header record and the given records.
Bytes BodyStart(int version, int flags, const std::string& path, unsigned count) {
  Bytes b;
  b.i32(version).i32(flags).i32(0).i32(0).str("").str("").str(path).u32(count);
  return b;
}

// One stored record of layout `version` with recognisable values.
void AddRecord(Bytes& b, int version, const std::string& name, unsigned topByte = 0xAA) {
  b.u32((topByte << 24) | 0x030201u).str(name).str("nick").str("type").i32(-5).u32(12).i32(77).u8(0).u32(250).u32(199).str("tc");
  if (version >= 2) b.f32(0.25f);
  if (version >= 3) b.i32(65);
  if (version >= 4) b.u8(2);
  if (version >= 5) b.str("dur").str("safe").str("misc");
}

CString ToCString(const std::filesystem::path& p) { return CString(p.string()); }

}  // namespace

TEST(PaletteCipherTest, BlowfishPublishedVectors) {
  struct Vector {
    unsigned long long key, plain, cipher;
  } vectors[] = {
      {0x0000000000000000ull, 0x0000000000000000ull, 0x4EF997456198DD78ull},
      {0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull, 0x51866FD5B85ECB8Aull},
      {0x3000000000000000ull, 0x1000000000000001ull, 0x7D856F9A613063F2ull},
      {0x1111111111111111ull, 0x1111111111111111ull, 0x2466DD878B963C9Dull},
      {0x0123456789ABCDEFull, 0x1111111111111111ull, 0x61F9C3802281B096ull},
      {0x1111111111111111ull, 0x0123456789ABCDEFull, 0x7D0CC630AFDA1EC7ull},
      {0xFEDCBA9876543210ull, 0x0123456789ABCDEFull, 0x0ACEAB0FC6A0A28Dull},
  };
  for (const Vector& v : vectors) {
    BYTE key[8];
    for (int i = 0; i < 8; ++i) key[i] = static_cast<BYTE>(v.key >> (56 - 8 * i));
    CPaletteCipher cipher(key, 8);
    DWORD left = static_cast<DWORD>(v.plain >> 32), right = static_cast<DWORD>(v.plain);
    cipher.EncipherBlock(left, right);
    EXPECT_EQ(left, static_cast<DWORD>(v.cipher >> 32));
    EXPECT_EQ(right, static_cast<DWORD>(v.cipher));
    cipher.DecipherBlock(left, right);
    EXPECT_EQ((static_cast<unsigned long long>(left) << 32) | right, v.plain);
  }
}

TEST(PaletteCipherTest, BufferHalvesAreLittleEndian) {
  // Key 3000000000000000: halves 0x10000000, 0x00000001 give 0x7D856F9A,
  // 0x613063F2. In a buffer each half lies little-endian.
  const BYTE key[8] = {0x30, 0, 0, 0, 0, 0, 0, 0};
  CPaletteCipher cipher(key, 8);
  const BYTE plain[8] = {0x00, 0x00, 0x00, 0x10, 0x01, 0x00, 0x00, 0x00};
  BYTE out[8];
  EXPECT_EQ(cipher.EncipherBuffer(plain, out, 8), 8u);
  const BYTE expected[8] = {0x9A, 0x6F, 0x85, 0x7D, 0xF2, 0x63, 0x30, 0x61};
  EXPECT_EQ(std::memcmp(out, expected, 8), 0);
  BYTE back[8];
  EXPECT_EQ(cipher.DecipherBuffer(out, back, 8), 8u);
  EXPECT_EQ(std::memcmp(back, plain, 8), 0);

  // A partial last block is padded with zeros, in place too.
  BYTE buffer[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  CPaletteCipher palette;
  EXPECT_EQ(palette.EncipherBuffer(buffer, buffer, 10), 16u);
  EXPECT_EQ(palette.DecipherBuffer(buffer, buffer, 16), 16u);
  const BYTE padded[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(buffer, padded, 16), 0);
  EXPECT_EQ(palette.DecipherBuffer(buffer, buffer, 15), 8u);
}

TEST(PaletteCipherTest, Checksum) {
  const BYTE zeros[8] = {};
  EXPECT_EQ(PaletteChecksum(zeros, 8), 7u);
  const BYTE words[8] = {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(PaletteChecksum(words, 8), 7u);  // 7 + 1 + 0xFFFFFFFF wraps
  const BYTE partial[6] = {0, 0, 0, 0, 2, 1};
  EXPECT_EQ(PaletteChecksum(partial, 6), 7u + 0x0102u);
  EXPECT_EQ(PaletteChecksum(nullptr, 0), 7u);
}

TEST(PaletteFileTest, EmptyPaletteIsA92ByteFile) {
  // Body: version 5, flags 0, two zeros, two empty texts, empty path, no
  // colours: 23 bytes, one zero byte of padding.
  const std::vector<BYTE> fixture = MakeFile(kV6, BodyStart(5, 0, "", 0).b);
  ASSERT_EQ(fixture.size(), 92u);
  CColorSet empty;
  std::vector<BYTE> written;
  ASSERT_TRUE(empty.SaveToBytes(written));
  EXPECT_EQ(written, fixture);
  EXPECT_EQ(empty.GetBodySize(), 23u);

  CColorSet read;
  read.Append(CPaletteColor());
  ASSERT_TRUE(read.ReadEncipheredBody(fixture.data(), fixture.size()));
  EXPECT_EQ(read.GetCount(), 0);
  EXPECT_EQ(read.GetKind(), CColorSet::kKindSheetData);
}

TEST(PaletteFileTest, RecordVersions) {
  for (int version = 1; version <= 5; ++version) {
    Bytes body = BodyStart(version, 0, "C:\\pal\\x.pal", 1);
    AddRecord(body, version, "AB-05");
    CColorSet set;
    const std::vector<BYTE> file = MakeFile(kV6, body.b);
    ASSERT_TRUE(set.ReadEncipheredBody(file.data(), file.size())) << version;
    ASSERT_EQ(set.GetCount(), 1);
    const CPaletteColor& c = set.GetItem(0);
    EXPECT_EQ(c.GetColorref(), 0x030201u);
    EXPECT_EQ(c.mfgName, "AB-05");
    EXPECT_EQ(c.nickname, "nick");
    EXPECT_EQ(c.colorType, "type");
    EXPECT_EQ(c.reserved, -5);
    EXPECT_EQ(c.price, version <= 3 ? 1200u : 12u) << version;
    EXPECT_EQ(c.number, 77);
    EXPECT_EQ(c.GetInUse(), 0);
    EXPECT_EQ(c.beadsPerTube, 250u);
    EXPECT_EQ(c.tubePrice, 199u);
    EXPECT_EQ(c.typeColor, "tc");
    EXPECT_EQ(c.grams, version >= 2 ? 0.25f : 7.5f);
    EXPECT_EQ(c.symbol, version >= 3 ? 65 : 0);
    EXPECT_EQ(c.symbolVariant, version >= 4 ? 2 : 0);
    EXPECT_EQ(c.durability, version >= 5 ? "dur" : "");
    EXPECT_EQ(c.miscInfo, version >= 5 ? "misc" : "");
    EXPECT_EQ(c.count, 0u);
    // The file keeps its version in memory; writing stores version 5.
    EXPECT_EQ(set.GetHeader().version, version);
    EXPECT_EQ(set.GetFilePath(), "C:\\pal\\x.pal");
    std::vector<BYTE> written;
    ASSERT_TRUE(set.SaveToBytes(written));
    CColorSet again;
    ASSERT_TRUE(again.ReadEncipheredBody(written.data(), written.size()));
    EXPECT_EQ(again.GetHeader().version, 5);
    EXPECT_EQ(again.GetItem(0).price, c.price);
    EXPECT_EQ(again.GetItem(0).grams, c.grams);
  }
  // A version-5 record takes 34 bytes plus its seven texts.
  Bytes five;
  AddRecord(five, 5, "AB-05");
  CColorSet set;
  const std::vector<BYTE> file = MakeFile(kV5, BodyStart(5, 0, "", 1).raw(five.b).b);
  ASSERT_TRUE(set.ReadEncipheredBody(file.data(), file.size()));
  EXPECT_EQ(static_cast<size_t>(set.GetItem(0).GetStreamSize()), five.size());
}

TEST(PaletteFileTest, HeaderTextsChecksumAndDamage) {
  Bytes body = BodyStart(5, 0, "", 1);
  AddRecord(body, 5, "A");
  for (const std::string& header : {kV6, kV5, kV3}) {
    const std::vector<BYTE> file = MakeFile(header, body.b);
    CColorSet set;
    EXPECT_TRUE(set.ReadEncipheredBody(file.data(), file.size()));
    EXPECT_EQ(set.GetCount(), 1);
  }
  const std::vector<BYTE> good = MakeFile(kV6, body.b);
  for (size_t at : {size_t(64), size_t(70), good.size() - 5, good.size() - 1}) {
    std::vector<BYTE> bad = good;
    bad[at] ^= 0x10;
    CColorSet set;
    EXPECT_FALSE(set.ReadEncipheredBody(bad.data(), bad.size())) << at;
  }
  std::vector<BYTE> foreign = good;
  foreign[20] = 'X';
  CColorSet set;
  EXPECT_FALSE(set.ReadEncipheredBody(foreign.data(), foreign.size()));
  // 64 bytes or less, a body shorter than a block or not whole blocks.
  EXPECT_FALSE(set.ReadEncipheredBody(good.data(), 64));
  for (size_t cut : {size_t(65), size_t(67), size_t(68), size_t(71), good.size() - 3}) {
    std::vector<BYTE> shortFile(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_FALSE(set.ReadEncipheredBody(shortFile.data(), shortFile.size())) << cut;
  }
  // A record count beyond the records fails without a large allocation and
  // leaves no colours.
  const std::vector<BYTE> huge = MakeFile(kV6, BodyStart(5, 0, "", 0xFFFFFFFFu).b);
  set.Append(CPaletteColor());
  EXPECT_FALSE(set.ReadEncipheredBody(huge.data(), huge.size()));
  EXPECT_EQ(set.GetCount(), 0);
}

TEST(PaletteFileTest, ImageLibraryBlock) {
  Bytes lib;
  lib.chars("MosaicImageLibrary").u32(1).str("img").str("x").u32(2).u32(5).u8(7).u8(8);
  Bytes body = BodyStart(5, 1, "", 1);
  AddRecord(body, 5, "A", 0);  // the top byte is written as 0
  body.u32(lib.size()).raw(lib.b);
  const std::vector<BYTE> file = MakeFile(kV6, body.b);
  CColorSet set;
  ASSERT_TRUE(set.ReadEncipheredBody(file.data(), file.size()));
  EXPECT_EQ(set.GetKind(), CColorSet::kKindSheetDataAndImage);
  EXPECT_EQ(set.GetImageLibPath(), "<Inner Image Lib>");
  EXPECT_EQ(set.GetImageLib().GetData(), lib.b);
  std::vector<BYTE> written;
  ASSERT_TRUE(set.SaveToBytes(written));
  EXPECT_EQ(written, file);

  // A library without entries is empty: the palette is stored as kind 1.
  Bytes emptyLib;
  emptyLib.chars("MosaicImageLibrary").u32(0);
  set.GetImageLib().SetData(emptyLib.b.data(), static_cast<int>(emptyLib.size()));
  ASSERT_TRUE(set.SaveToBytes(written));
  CColorSet again;
  ASSERT_TRUE(again.ReadEncipheredBody(written.data(), written.size()));
  EXPECT_EQ(again.GetKind(), CColorSet::kKindSheetData);
  EXPECT_FALSE(again.GetHeader().HasImageLibrary());

  // A damaged library block keeps the colours and reports false.
  Bytes badBody = BodyStart(5, 1, "", 1);
  AddRecord(badBody, 5, "A");
  badBody.u32(4).chars("Mosa");
  const std::vector<BYTE> badFile = MakeFile(kV6, badBody.b);
  EXPECT_FALSE(again.ReadEncipheredBody(badFile.data(), badFile.size()));
  EXPECT_EQ(again.GetCount(), 1);
}

TEST(PaletteFileTest, LoadingFromBytesAndFromFiles) {
  const auto dir = qmtest::MakeTempDir("palette_files");
  CColorSet source;
  CPaletteColor c(CRgbTriple(9, 8, 7), "N1", 4, 12, 100, 300);
  c.count = 55;
  source.Append(c);
  source.SetFilePath("stored/path.pal");
  std::vector<BYTE> bytes;
  ASSERT_TRUE(source.SaveToBytes(bytes));

  // Bytes with a known header: parsed directly, loaded byte untouched.
  CColorSet fromBytes;
  ASSERT_TRUE(fromBytes.LoadPaletteFromBytes(bytes.data(), bytes.size()));
  EXPECT_FALSE(fromBytes.IsLoaded());
  EXPECT_EQ(fromBytes.GetFilePath(), "stored/path.pal");
  EXPECT_EQ(fromBytes.GetItem(0).count, 0u);  // counts are never stored

  // The same bytes through a file set the loaded byte and the path.
  const CString path = ToCString(dir / "p.pal");
  qmtest::WriteAll(dir / "p.pal", bytes);
  CColorSet fromFile;
  CString reason;
  fromFile.SetModified(true);
  ASSERT_TRUE(fromFile.LoadPaletteFile(path, reason));
  EXPECT_TRUE(fromFile.IsLoaded());
  EXPECT_FALSE(fromFile.IsModified());
  EXPECT_EQ(fromFile.GetFilePath(), path);
  CColorSet enciphered;
  EXPECT_TRUE(enciphered.LoadEncipheredFile(path));
  EXPECT_TRUE(enciphered.IsLoaded());

  // Text bytes: read as a text palette and the loaded byte is set.
  const std::string text = "1 10 20 30 Red\n";
  CColorSet fromText;
  ASSERT_TRUE(fromText.LoadPaletteFromBytes(reinterpret_cast<const BYTE*>(text.data()), text.size()));
  EXPECT_TRUE(fromText.IsLoaded());
  EXPECT_EQ(fromText.GetItem(0).mfgName, "Red");
  EXPECT_EQ(fromText.GetKind(), CColorSet::kKindPlainText);
  // A file with a foreign header goes to the text reader.
  std::vector<BYTE> foreign = bytes;
  foreign[0] = 'X';
  qmtest::WriteAll(dir / "foreign.pal", foreign);
  CColorSet bad;
  EXPECT_FALSE(bad.LoadPaletteFile(ToCString(dir / "foreign.pal"), reason));
  EXPECT_EQ(reason.Left(34), "Invalid line 1 of the palette file");
  EXPECT_FALSE(bad.LoadEncipheredFile(ToCString(dir / "foreign.pal")));
  // A missing file.
  EXPECT_FALSE(bad.LoadPaletteFile(ToCString(dir / "none.pal"), reason));
  EXPECT_EQ(reason, CString("Cannot to read the palette file ") + ToCString(dir / "none.pal") + "\n");
}

TEST(PaletteFileTest, SavingReplacesOnlyAWholeFile) {
  const auto dir = qmtest::MakeTempDir("palette_save");
  CColorSet set;
  set.Append(CPaletteColor(CRgbTriple(1, 2, 3), "A", 0, 1, 225, 0));
  set.SetModified(true);
  const CString path = ToCString(dir / "a.pal");
  ASSERT_TRUE(set.SavePaletteAs(path));
  EXPECT_FALSE(set.IsModified());
  std::vector<BYTE> expected;
  set.SaveToBytes(expected);
  EXPECT_EQ(qmtest::ReadAll(dir / "a.pal"), expected);

  // A read-only palette is replaced.
  ASSERT_TRUE(SetFileAttributes(path, FILE_ATTRIBUTE_READONLY));
  set.Append(CPaletteColor(CRgbTriple(4, 5, 6), "B", 0, 2, 225, 0));
  ASSERT_TRUE(set.SavePaletteAs(path));
  CColorSet back;
  ASSERT_TRUE(back.LoadEncipheredFile(path));
  EXPECT_EQ(back.GetCount(), 2);

  // A save that cannot be done keeps the modified flag and leaves nothing.
  set.SetModified(true);
  EXPECT_FALSE(set.SavePaletteAs(ToCString(dir / "missing" / "b.pal")));
  EXPECT_TRUE(set.IsModified());
  std::filesystem::create_directory(dir / "folder.pal");
  EXPECT_FALSE(set.SavePaletteAs(ToCString(dir / "folder.pal")));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2);  // a.pal and the folder: no temporary left behind
}

TEST(PaletteFileTest, OlderLayoutEmbeddedInDesigns) {
  // One old-style record of layout f, with or without its count.
  auto record = [](Bytes& b, int f, bool withCount) {
    b.u32(0x00332211u).str("name").str("nick").str("type").str("drop").u8(1);
    if (f >= 10) b.str("d1").str("d2");
    if (f >= 11) b.u8(1).u8(2).u8(3).u8(4);
    b.zeros(f <= 6 ? 2 : (f <= 9 ? 32 : (f == 10 ? 30 : 26)));
    if (f <= 5) b.zeros(4);
    b.i32(42);
    if (withCount) b.u32(900);
    b.u8(0).u32(300).u32(450).str("tc");
    if (f >= 2) b.zeros(4);
    if (f >= 3) b.i32(70);
    if (f >= 4) b.u8(1);
    if (f >= 5) b.str("du").str("sa").str("mi");
    if (f >= 7) b.zeros(4);
    if (f >= 9) b.u8(9).u8(9).u8(9);
  };
  for (int f : {1, 3, 5, 6, 7, 8, 9, 10, 11, 12}) {
    for (bool withCount : {false, true}) {
      Bytes b;
      b.i32(f).i32(0).i32(0).i32(0).str("").str("");
      if (f > 6) b.i32(1234).zeros(124);
      b.str("old.pal").u32(2);
      record(b, f, withCount);
      record(b, f, withCount);
      if (f >= 8) {
        b.u32(2).i32(1).i32(2);
        if (f >= 12) b.u32(0).u32(1).i32(5);
        b.str("x").u32(1).str("e1").str("e2").i32(1).i32(2).zeros(32).zeros(123);
      }
      b.u8(0xCC);  // whatever follows the palette record
      CByteStream stream(b.b.data(), static_cast<int>(b.size()));
      CColorSet set;
      ASSERT_TRUE(set.ReadFromDesign(stream, withCount)) << f << withCount;
      EXPECT_EQ(stream.GetRemaining(), 1) << f;
      ASSERT_EQ(set.GetCount(), 2);
      const CPaletteColor& c = set.GetItem(1);
      EXPECT_EQ(c.GetColorref(), 0x332211u);
      EXPECT_EQ(c.mfgName, "name");
      EXPECT_EQ(c.number, 42);
      EXPECT_EQ(c.count, withCount ? 900u : 0u);
      EXPECT_EQ(c.GetInUse(), 0);
      EXPECT_EQ(c.beadsPerTube, 300u);
      EXPECT_EQ(c.tubePrice, 450u);
      EXPECT_EQ(c.typeColor, "tc");
      EXPECT_EQ(c.symbol, f >= 3 ? 70 : 0);
      EXPECT_EQ(c.symbolVariant, f >= 4 ? 1 : 0);
      EXPECT_EQ(c.safeColor, f >= 5 ? "sa" : "");
      EXPECT_EQ(c.price, 0u);
      EXPECT_EQ(c.grams, 7.5f);
      EXPECT_EQ(set.GetHeader().version, 5);
      EXPECT_EQ(set.GetKind(), CColorSet::kKindSheetData);
      EXPECT_EQ(set.GetFilePath(), "old.pal");
      // Cut short anywhere: false, and no half-read colours.
      for (size_t cut = 0; cut + 1 < b.size(); cut += 7) {
        CByteStream part(b.b.data(), static_cast<int>(cut));
        CColorSet partial;
        EXPECT_FALSE(partial.ReadFromDesign(part, withCount));
      }
    }
  }
}

TEST(PaletteFileTest, PalettesFolder) {
  EXPECT_EQ(GetPalettesFolder(), GetProgramFolder() + "/Palettes/");
  CString found;
  const bool exists = FindPalettesFolder(found);
  if (exists) {
    EXPECT_EQ(found, GetProgramFolder() + "/Palettes");
  }
}
