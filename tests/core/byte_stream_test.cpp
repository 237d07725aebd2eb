#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/ByteStream.h"

namespace {
void ExpectInvariant(const CByteStream& s) { EXPECT_EQ(s.GetPosition() + s.GetRemaining(), s.GetSize()); }
}  // namespace

TEST(ByteStreamTest, EncodingsAreLittleEndianAndNulTerminated) {
  BYTE buf[64] = {};
  CByteStream w(buf, sizeof buf);
  ASSERT_TRUE(w.WriteInt(0x01020304));
  ASSERT_TRUE(w.WriteByte(0xAB));
  ASSERT_TRUE(w.WriteInt16(0xBEEF));
  ASSERT_TRUE(w.WriteDouble(1.5));
  ASSERT_TRUE(w.WriteString("ab"));
  ASSERT_TRUE(w.WriteString(""));
  ASSERT_TRUE(w.WriteIntVector({7, -1}));
  const BYTE blob[3] = {9, 8, 7};
  ASSERT_TRUE(w.WriteBlob(blob, 3));
  ASSERT_TRUE(w.WriteIntPair(5, 6));
  ASSERT_TRUE(w.WriteZeros(2));
  const BYTE expected[] = {4, 3, 2, 1, 0xAB, 0xEF, 0xBE, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 'a', 'b', 0, 0,
                           2, 0, 0, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 9, 8, 7,
                           5, 0, 0, 0, 6, 0, 0, 0, 0, 0};
  ASSERT_EQ(w.GetPosition(), static_cast<int>(sizeof expected));
  EXPECT_EQ(std::memcmp(buf, expected, sizeof expected), 0);

  CByteStream r(buf, w.GetPosition());
  int i = 0;
  BYTE b = 0;
  WORD h = 0;
  double d = 0;
  CString s1, s2;
  std::vector<int> v;
  BYTE* p = nullptr;
  int n = 0, x = 0, y = 0;
  ASSERT_TRUE(r.ReadInt(i) && r.ReadByte(b) && r.ReadInt16(h) && r.ReadDouble(d) && r.ReadString(s1) &&
              r.ReadString(s2) && r.ReadIntVector(v) && r.ReadBlob(p, n) && r.ReadIntPair(x, y) && r.Skip(2));
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(b, 0xAB);
  EXPECT_EQ(h, 0xBEEF);
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(s1, "ab");
  EXPECT_EQ(s2, "");
  EXPECT_EQ(v, (std::vector<int>{7, -1}));
  ASSERT_EQ(n, 3);
  EXPECT_EQ(std::memcmp(p, blob, 3), 0);
  delete[] p;
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 6);
  EXPECT_EQ(r.GetRemaining(), 0);
}

// Each operation given one byte less than it needs fails without moving the
// cursor or touching the buffer.
TEST(ByteStreamTest, ShortOperationsFailAndChangeNothing) {
  struct Case {
    const char* name;
    int need;  // bytes the operation needs
    std::function<bool(CByteStream&)> op;
  };
  const Case cases[] = {
      {"ReadByte", 1, [](CByteStream& s) { BYTE v; return s.ReadByte(v); }},
      {"ReadInt16", 2, [](CByteStream& s) { WORD v; return s.ReadInt16(v); }},
      {"ReadInt", 4, [](CByteStream& s) { int v; return s.ReadInt(v); }},
      {"ReadDouble", 8, [](CByteStream& s) { double v; return s.ReadDouble(v); }},
      {"Skip", 5, [](CByteStream& s) { return s.Skip(5); }},
      {"WriteByte", 1, [](CByteStream& s) { return s.WriteByte(1); }},
      {"WriteInt", 4, [](CByteStream& s) { return s.WriteInt(1); }},
      {"WriteDouble", 8, [](CByteStream& s) { return s.WriteDouble(1); }},
      {"WriteString", 4, [](CByteStream& s) { return s.WriteString("abc"); }},
      {"WriteBlob", 7, [](CByteStream& s) { const BYTE b[3] = {1, 2, 3}; return s.WriteBlob(b, 3); }},
      {"WriteZeros", 6, [](CByteStream& s) { return s.WriteZeros(6); }},
      {"WriteIntVector", 4, [](CByteStream& s) { return s.WriteIntVector({}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> buf(static_cast<size_t>(c.need) - 1, 0x5A);
    CByteStream s(buf.data(), static_cast<int>(buf.size()));
    EXPECT_FALSE(c.op(s));
    EXPECT_EQ(s.GetPosition(), 0);
    ExpectInvariant(s);
    for (BYTE b : buf) EXPECT_EQ(b, 0x5A);
    std::vector<BYTE> room(static_cast<size_t>(c.need), 0x5A);
    CByteStream ok(room.data(), static_cast<int>(room.size()));
    EXPECT_TRUE(c.op(ok));
    EXPECT_EQ(ok.GetRemaining(), 0);
  }
}

TEST(ByteStreamTest, EmptyStream) {
  CByteStream s(nullptr, 0);
  EXPECT_TRUE(s.Skip(0));
  EXPECT_TRUE(s.WriteZeros(0));
  EXPECT_FALSE(s.WriteBlob(nullptr, 0));
  CString str;
  EXPECT_FALSE(s.ReadString(str));
  EXPECT_FALSE(s.WriteString(""));
}

TEST(ByteStreamTest, StringsNeedTheirNulInsideTheBuffer) {
  BYTE buf[4] = {'a', 'b', 'c', 0};
  CByteStream exact(buf, 4);
  CString s;
  EXPECT_TRUE(exact.ReadString(s));
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(exact.GetRemaining(), 0);
  CByteStream noNul(buf, 3);
  s = "keep";
  EXPECT_FALSE(noNul.ReadString(s));
  EXPECT_EQ(s, "keep");
  EXPECT_EQ(noNul.GetPosition(), 0);
  BYTE room[3];
  CByteStream w(room, 3);
  EXPECT_FALSE(w.WriteString("abc"));
  EXPECT_TRUE(w.WriteString("ab"));
}

TEST(ByteStreamTest, MultiItemOperationsKeepWhatWasDone) {
  BYTE buf[6] = {1, 0, 0, 0, 2, 0};
  CByteStream pair(buf, 6);
  int a = 0, b = 0;
  EXPECT_FALSE(pair.ReadIntPair(a, b));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(pair.GetRemaining(), 2);

  BYTE vec[12] = {3, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};  // says 3 ints, holds 2
  CByteStream vs(vec, 12);
  std::vector<int> v{9};
  EXPECT_FALSE(vs.ReadIntVector(v));
  EXPECT_EQ(vs.GetPosition(), 4);  // the count is consumed
  ExpectInvariant(vs);

  BYTE blob[6] = {10, 0, 0, 0, 1, 2};
  CByteStream bs(blob, 6);
  BYTE* p = nullptr;
  int n = 0;
  EXPECT_FALSE(bs.ReadBlob(p, n));
  EXPECT_EQ(n, 10);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(bs.GetPosition(), 4);
}

TEST(ByteStreamTest, HugeOrNegativeSizesFailBeforeAllocating) {
  BYTE huge[8] = {0xFF, 0xFF, 0xFF, 0x3F, 0, 0, 0, 0};  // a count near a billion
  CByteStream vs(huge, 8);
  std::vector<int> v;
  EXPECT_FALSE(vs.ReadIntVector(v));
  EXPECT_EQ(v.capacity(), 0u);
  BYTE neg[8] = {0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  CByteStream bs(neg, 8);
  BYTE* p = nullptr;
  int n = 0;
  EXPECT_FALSE(bs.ReadBlob(p, n));
  EXPECT_EQ(p, nullptr);
  CByteStream sk(neg, 8);
  EXPECT_FALSE(sk.Skip(-1));
  EXPECT_FALSE(sk.WriteZeros(-1));
  EXPECT_EQ(sk.GetPosition(), 0);
}

TEST(ByteStreamTest, ZeroBlobLeavesThePointer) {
  BYTE buf[4] = {0, 0, 0, 0};
  CByteStream s(buf, 4);
  BYTE marker = 0;
  BYTE* p = &marker;
  int n = -1;
  EXPECT_TRUE(s.ReadBlob(p, n));
  EXPECT_EQ(n, 0);
  EXPECT_EQ(p, &marker);
}

TEST(ByteStreamTest, ScrambleWrapsAndCoversTheWholeBuffer) {
  BYTE buf[4] = {0x00, 0x94, 0x95, 0xFF};
  CByteStream s(buf, 4);
  s.Skip(2);
  s.Scramble();
  EXPECT_EQ(buf[0], 0x6B);
  EXPECT_EQ(buf[1], 0xFF);
  EXPECT_EQ(buf[2], 0x00);
  EXPECT_EQ(buf[3], 0x6A);
  s.Unscramble();
  const BYTE orig[4] = {0x00, 0x94, 0x95, 0xFF};
  EXPECT_EQ(std::memcmp(buf, orig, 4), 0);
  EXPECT_EQ(s.GetPosition(), 2);
}

TEST(ByteStreamTest, SizeFunctions) {
  EXPECT_EQ(CByteStream::StringSize(""), 1);
  EXPECT_EQ(CByteStream::StringSize("abc"), 4);
  EXPECT_EQ(CByteStream::StdStringSize(std::string()), 1);
  EXPECT_EQ(CByteStream::IntVectorSize({1, 2, 3}), 16);
}
