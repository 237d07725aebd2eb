// The codec streams and the format dispatch.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>

#include "codec_helpers.h"
#include "image/codec/CodecFile.h"
#include "tests/common/test_util.h"

using namespace codectest;

TEST(CodecMemFile, GrowsInSteps) {
  CCodecMemFile f;
  ASSERT_TRUE(f.Open());
  EXPECT_FALSE(f.Open());  // already has a buffer
  EXPECT_EQ(f.Capacity(), 0);
  EXPECT_TRUE(f.PutC(1));
  EXPECT_EQ(f.Capacity(), 4096);
  Bytes block(4095, 2);
  EXPECT_EQ(f.Write(block.data(), 1, block.size()), block.size());
  EXPECT_EQ(f.Capacity(), 4096);
  EXPECT_TRUE(f.PutC(3));
  EXPECT_EQ(f.Capacity(), 8192);
  EXPECT_EQ(f.Size(), 4097);
}

TEST(CodecMemFile, ReadsWholeItems) {
  Bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  CCodecMemFile f(data.data(), static_cast<DWORD>(data.size()));
  f.Seek(4, SEEK_SET);
  BYTE out[40];
  EXPECT_EQ(f.Read(out, 4, 10), 1u);
  EXPECT_EQ(f.Tell(), 10);
  EXPECT_TRUE(f.Eof());
  EXPECT_EQ(f.Read(out, 1, 1), 0u);
  EXPECT_EQ(f.GetC(), -1);
}

TEST(CodecMemFile, SeekRules) {
  Bytes data(10, 0);
  CCodecMemFile f(data.data(), 10);
  EXPECT_TRUE(f.Seek(-5, SEEK_SET));
  EXPECT_EQ(f.Tell(), 0);
  EXPECT_FALSE(f.Seek(0, 3));
  EXPECT_TRUE(f.Seek(-2, SEEK_END));
  EXPECT_EQ(f.Tell(), 8);
  EXPECT_TRUE(f.Seek(20, SEEK_SET));  // beyond the end is allowed
  EXPECT_EQ(f.Error(), 1);
}

TEST(CodecMemFile, SeekPastTheEndZeroFillsTheGap) {
  CCodecMemFile f;
  ASSERT_TRUE(f.Open());
  const BYTE junk[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  f.Write(junk, 1, 8);
  f.Seek(2, SEEK_SET);
  f.Write(junk, 1, 1);  // the high-water mark stays at 8
  ASSERT_TRUE(f.Seek(100, SEEK_SET));
  ASSERT_TRUE(f.PutC(7));
  EXPECT_EQ(f.Size(), 101);
  const BYTE* b = f.GetBuffer(false);
  for (int i = 8; i < 100; ++i) ASSERT_EQ(b[i], 0) << i;
  EXPECT_EQ(b[100], 7);
}

TEST(CodecMemFile, FailedGrowthLeavesTheBufferAlone) {
  CCodecMemFile f;
  ASSERT_TRUE(f.Open());
  const BYTE data[4] = {1, 2, 3, 4};
  ASSERT_EQ(f.Write(data, 1, 4), 4u);
  BYTE* before = f.GetBuffer(false);
  ASSERT_TRUE(f.Seek(INT_MAX - 2, SEEK_SET));
  EXPECT_EQ(f.Write(data, 1, 4), 0u);
  EXPECT_FALSE(f.PutC(1));
  EXPECT_EQ(f.GetBuffer(false), before);
  EXPECT_EQ(f.Size(), 4);
  EXPECT_EQ(before[3], 4);
}

TEST(CodecMemFile, NeverChangesTheCallersBlock) {
  Bytes data = {1, 2, 3};
  {
    CCodecMemFile f(data.data(), 3);
    f.Seek(0, SEEK_END);
    const BYTE more[2] = {9, 9};
    EXPECT_EQ(f.Write(more, 1, 2), 2u);  // moves to a block of its own
    EXPECT_EQ(f.Size(), 5);
    EXPECT_NE(f.GetBuffer(false), data.data());
  }
  EXPECT_EQ(data, (Bytes{1, 2, 3}));
}

TEST(CodecIOFile, WrapsAStdioStream) {
  const auto dir = qmtest::MakeTempDir("codec_iofile");
  const std::string path = (dir / "x.bin").string();
  FILE* fp = std::fopen(path.c_str(), "w+b");
  ASSERT_NE(fp, nullptr);
  {
    CCodecIOFile f(fp);
    EXPECT_TRUE(f.PutC(65));
    const BYTE data[3] = {1, 2, 3};
    EXPECT_EQ(f.Write(data, 1, 3), 3u);
    EXPECT_EQ(f.Size(), 4);
    EXPECT_EQ(f.Tell(), 4);
    EXPECT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.GetC(), 65);
    EXPECT_TRUE(f.Close());  // not its stream: stays open
  }
  EXPECT_EQ(std::fgetc(fp), 1);
  std::fclose(fp);
  CCodecIOFile none;
  EXPECT_EQ(none.Size(), -1);
  EXPECT_TRUE(none.Eof());
  EXPECT_EQ(none.Error(), -1);
  EXPECT_EQ(none.GetC(), -1);
}

TEST(CodecDispatch, EncodeIntoABufferNeedsAnEmptyPointer) {
  CBaseImage img;
  MakePattern(img, 4, 4);
  BYTE dummy = 0;
  BYTE* buffer = &dummy;
  long size = 0;
  EXPECT_FALSE(img.Encode(buffer, size, CODEC_FORMAT_PNG));
  EXPECT_EQ(buffer, &dummy);
  EXPECT_STREQ(img.GetLastError(), "the buffer must be empty");
  buffer = nullptr;
  ASSERT_TRUE(img.Encode(buffer, size, CString(".png")));
  EXPECT_GT(size, 8);
  EXPECT_EQ(buffer[1], 'P');
  std::free(buffer);
}

TEST(CodecDispatch, UnknownFormatsAndEmptyPictures) {
  CBaseImage img;
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(img.Encode(buffer, size, CODEC_FORMAT_PNG));
  EXPECT_STREQ(img.GetLastError(), "null image!!!");
  MakePattern(img, 2, 2);
  EXPECT_FALSE(img.Encode(buffer, size, 11));
  EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
  const Bytes junk = {'h', 'e', 'l', 'l', 'o', 1, 2, 3};
  EXPECT_FALSE(DecodeFrom(img, junk, CODEC_FORMAT_UNKNOWN));
  EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
  EXPECT_FALSE(DecodeFrom(img, junk, 12));
  EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
  EXPECT_FALSE(img.Encode(buffer, size, CODEC_FORMAT_WMF));
  EXPECT_STREQ(img.GetLastError(), "Save WMF not supported");
}

TEST(CodecDispatch, LoadTriesEveryDecoderAndKeepsTheFirstReason) {
  const auto dir = qmtest::MakeTempDir("codec_load");
  CBaseImage img;
  MakePattern(img, 7, 5);
  const std::string png = (dir / "picture.jpg").string();  // a PNG under a JPEG name
  ASSERT_TRUE(img.Save(png.c_str(), CODEC_FORMAT_PNG));
  CBaseImage loaded;
  ASSERT_TRUE(loaded.Load(png.c_str(), 0));
  EXPECT_EQ(loaded.GetType(), static_cast<DWORD>(CODEC_FORMAT_PNG));
  EXPECT_TRUE(SameColors(img, loaded));
  CBaseImage again;
  ASSERT_TRUE(again.Load(png.c_str(), CODEC_FORMAT_JPG));  // JPEG fails, the fall-back finds PNG
  EXPECT_TRUE(SameColors(img, again));

  const std::string junk = (dir / "junk.jpg").string();
  qmtest::WriteAll(junk, {'j', 'u', 'n', 'k', 0, 0, 0, 0, 0});
  CBaseImage bad;
  EXPECT_FALSE(bad.Load(junk.c_str(), CODEC_FORMAT_JPG));
  EXPECT_STRNE(bad.GetLastError(), "Decode: Unknown or wrong format");  // libjpeg's own reason
  EXPECT_FALSE(bad.Load((dir / "missing.png").string().c_str(), 0));
  EXPECT_FALSE(img.Save((dir / "no" / "such" / "folder.png").string().c_str(), CODEC_FORMAT_PNG));
}

TEST(CodecDispatch, FailedWritesAreFailures) {
  CBaseImage img;
  MakePattern(img, 40, 40);
  for (DWORD type : {CODEC_FORMAT_BMP, CODEC_FORMAT_GIF, CODEC_FORMAT_JPG, CODEC_FORMAT_PNG, CODEC_FORMAT_TGA,
                     CODEC_FORMAT_PCX, CODEC_FORMAT_TIF}) {
    FailingFile f(100);
    EXPECT_FALSE(img.Encode(&f, type)) << type;
    EXPECT_TRUE(f.failed()) << type;
  }
}
