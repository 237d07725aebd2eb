// The quick ways of loading JPEG pictures and resizing pictures against the
// straightforward ones they replace: the same pixels, bit for bit, and the
// same refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "image/ImageView.h"
#include "picture_helpers.h"

using namespace picturetest;

namespace {

// ---- The straightforward resize --------------------------------------------------------

BITMAPINFO TopDown24(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// Area averaging in one pass over the source pixels: a source row adds the
// new height to a counter, a pixel the new width; passing the old size
// means the pixel or row straddles two target cells, split by the overhang.
HBITMAP StraightforwardScale(HBITMAP bitmap, int newWidth, int newHeight) {
  BITMAP bm{};
  if (!GetObject(bitmap, sizeof bm, &bm)) return nullptr;
  const int w = bm.bmWidth, h = bm.bmHeight;
  if (newWidth <= 0 || newHeight <= 0 || newWidth > w || newHeight > h) return nullptr;
  const size_t srcStride = DibRowStride(w, 24), dstStride = DibRowStride(newWidth, 24);
  std::vector<BYTE> src(srcStride * static_cast<size_t>(h)), dst(dstStride * static_cast<size_t>(newHeight), 0);
  std::vector<float> accCur(static_cast<size_t>(newWidth) * 3, 0.0f), accNext(accCur.size(), 0.0f);
  HDC screen = GetDC(nullptr);
  BITMAPINFO srcInfo = TopDown24(w, h);
  if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(h), src.data(), &srcInfo, DIB_RGB_COLORS) != h) {
    ReleaseDC(nullptr, screen);
    return nullptr;
  }
  const float factor =
      static_cast<float>(static_cast<double>(newWidth) * newHeight) / static_cast<float>(static_cast<double>(w) * h);
  auto finishRow = [&](int ty) {
    if (ty < 0 || ty >= newHeight) return;
    BYTE* out = dst.data() + static_cast<size_t>(ty) * dstStride;
    for (size_t i = 0; i < accCur.size(); ++i) {
      const float v = accCur[i] * factor + 0.5f;
      out[i] = static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 255));
    }
  };
  std::int64_t rowCounter = 0;
  int ty = 0;
  for (int sy = 0; sy < h; ++sy) {
    rowCounter += newHeight;
    const bool rowSplit = rowCounter > h;
    const float ry = rowSplit ? static_cast<float>(rowCounter - h) / static_cast<float>(newHeight) : 0.0f;
    const BYTE* row = src.data() + static_cast<size_t>(sy) * srcStride;
    std::int64_t colCounter = 0;
    int tx = 0;
    for (int sx = 0; sx < w; ++sx) {
      colCounter += newWidth;
      const bool colSplit = colCounter > w;
      const float rx = colSplit ? static_cast<float>(colCounter - w) / static_cast<float>(newWidth) : 0.0f;
      const bool hasNextCol = tx + 1 < newWidth;
      if (tx < newWidth) {
        float* cur = accCur.data() + static_cast<size_t>(tx) * 3;
        float* next = accNext.data() + static_cast<size_t>(tx) * 3;
        for (int c = 0; c < 3; ++c) {
          const float v = row[3 * sx + c];
          if (!colSplit && !rowSplit) {
            cur[c] += v;
          } else if (colSplit && !rowSplit) {
            cur[c] += v * (1.0f - rx);
            if (hasNextCol) cur[c + 3] += v * rx;
          } else if (!colSplit && rowSplit) {
            cur[c] += v * (1.0f - ry);
            next[c] += v * ry;
          } else {
            cur[c] += v * (1.0f - rx) * (1.0f - ry);
            next[c] += v * (1.0f - rx) * ry;
            if (hasNextCol) {
              cur[c + 3] += v * rx * (1.0f - ry);
              next[c + 3] += v * rx * ry;
            }
          }
        }
      }
      if (colCounter >= w) {
        colCounter -= w;
        ++tx;
      }
    }
    if (rowCounter >= h) {
      rowCounter -= h;
      finishRow(ty);
      accCur.swap(accNext);
      std::fill(accNext.begin(), accNext.end(), 0.0f);
      ++ty;
    }
  }
  if (ty < newHeight) finishRow(ty);
  HBITMAP result = CreateCompatibleBitmap(screen, newWidth, newHeight);
  BITMAPINFO dstInfo = TopDown24(newWidth, newHeight);
  if (result &&
      SetDIBits(screen, result, 0, static_cast<UINT>(newHeight), dst.data(), &dstInfo, DIB_RGB_COLORS) != newHeight) {
    DeleteObject(result);
    result = nullptr;
  }
  ReleaseDC(nullptr, screen);
  return result;
}

// Pixel replication up to the first common multiple that covers the size,
// then the device bitmap of that reduced by area averaging.
std::unique_ptr<CImage> StraightforwardResize(const CImage& picture, SIZE size) {
  const int w = picture.GetWidth(), h = picture.GetHeight();
  if (w <= 0 || h <= 0 || size.cx <= 0 || size.cy <= 0) return nullptr;
  int k = 0;
  for (int f = 1; f <= 799 && !k; ++f)
    if (static_cast<std::int64_t>(f) * w >= size.cx && static_cast<std::int64_t>(f) * h >= size.cy) k = f;
  if (!k) return nullptr;
  const CImage* enlarged = &picture;
  std::unique_ptr<CImage> copy;
  if (k > 1) {
    bool ok = false;
    copy = std::make_unique<CImage>(k * w, k * h, ok, 0xFFFFFFFFu);
    if (!ok) return nullptr;
    for (int y = 0; y < k * h; ++y)
      for (int x = 0; x < k * w; ++x) {
        BYTE r, g, b;
        if (!picture.GetPixelRGB(x / k, y / k, r, g, b)) return nullptr;
        copy->SetPixelRGB(x, y, r, g, b);
      }
    enlarged = copy.get();
  }
  std::unique_ptr<CSafeBitmap> bitmap = enlarged->ToBitmap();
  if (!bitmap) return nullptr;
  HBITMAP scaled = StraightforwardScale(static_cast<HBITMAP>(bitmap->GetSafeHandle()), size.cx, size.cy);
  if (!scaled) return nullptr;
  auto result = std::make_unique<CImage>(scaled);
  DeleteObject(scaled);
  return result->IsValid() ? std::move(result) : nullptr;
}

// ---- Pictures of every depth -----------------------------------------------------------

enum Depth { kDepth24, kDepth32, kDepth16, kDepth8 };

std::unique_ptr<CImage> NoisePicture(int w, int h, Depth depth, std::mt19937& rng) {
  auto picture = std::make_unique<CImage>();
  const int bits = depth == kDepth16 ? 16 : depth == kDepth8 ? 8 : 24;
  if (!picture->Create(w, h, bits, -1)) return nullptr;
  if (depth == kDepth8) {
    BYTE r[256], g[256], b[256];
    for (int i = 0; i < 256; ++i) {
      r[i] = static_cast<BYTE>(rng());
      g[i] = static_cast<BYTE>(rng());
      b[i] = static_cast<BYTE>(rng());
    }
    picture->SetPaletteRGB(256, r, g, b);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) picture->SetPixelIndex(x, y, static_cast<int>(rng() % 256));
    return picture;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned v = static_cast<unsigned>(rng());
      picture->SetPixelRGB(x, y, static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16));
    }
  if (depth == kDepth32) {
    // A picture made from a device bitmap keeps its 32 bits.
    std::unique_ptr<CSafeBitmap> bitmap = picture->ToBitmap();
    picture = std::make_unique<CImage>(static_cast<HBITMAP>(bitmap->GetSafeHandle()));
  }
  return picture;
}

::testing::AssertionResult SameResult(const std::unique_ptr<CImage>& fast, const std::unique_ptr<CImage>& plain) {
  if (!fast || !plain) {
    if (!fast && !plain) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (fast ? "only the straightforward resize failed"
                                                  : "only the new one failed");
  }
  return SamePixels(*fast, *plain);
}

}  // namespace

TEST(PictureResize, SameBytesAsTheStraightforwardResize) {
  std::mt19937 rng(20240611);
  struct Case {
    int w, h, tw, th;
    Depth depth;
  } cases[] = {
      {613, 457, 300, 250, kDepth24}, {900, 700, 301, 233, kDepth24}, {1000, 3, 7, 1, kDepth24},
      {3, 1000, 1, 999, kDepth24},    {64, 48, 64, 48, kDepth24},     {1, 1, 799, 1, kDepth24},
      {10, 10, 25, 15, kDepth24},     {97, 61, 40, 30, kDepth32},     {97, 61, 40, 30, kDepth16},
      {97, 61, 40, 30, kDepth8},      {7, 5, 20, 3, kDepth8},         {7, 5, 20, 3, kDepth16},
  };
  for (const Case& c : cases) {
    auto picture = NoisePicture(c.w, c.h, c.depth, rng);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(SameResult(picture->CreateResized(SIZE{c.tw, c.th}), StraightforwardResize(*picture, {c.tw, c.th})))
        << c.w << "x" << c.h << " to " << c.tw << "x" << c.th << ", depth " << c.depth;
  }
  // Random sizes, smaller and larger, of every depth.
  for (int k = 0; k < 160; ++k) {
    const int w = 1 + static_cast<int>(rng() % 60), h = 1 + static_cast<int>(rng() % 60);
    const int tw = 1 + static_cast<int>(rng() % static_cast<unsigned>(2 * w + 3));
    const int th = 1 + static_cast<int>(rng() % static_cast<unsigned>(2 * h + 3));
    const Depth depth = static_cast<Depth>(k % 4);
    auto picture = NoisePicture(w, h, depth, rng);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(SameResult(picture->CreateResized(SIZE{tw, th}), StraightforwardResize(*picture, {tw, th})))
        << w << "x" << h << " to " << tw << "x" << th << ", depth " << depth;
  }
}

TEST(PictureResize, ScaleBitmapSameBytesAsTheStraightforwardScale) {
  std::mt19937 rng(7);
  for (int k = 0; k < 40; ++k) {
    const int w = 1 + static_cast<int>(rng() % 90), h = 1 + static_cast<int>(rng() % 90);
    const int tw = 1 + static_cast<int>(rng() % static_cast<unsigned>(w));
    const int th = 1 + static_cast<int>(rng() % static_cast<unsigned>(h));
    auto picture = NoisePicture(w, h, kDepth24, rng);
    std::unique_ptr<CSafeBitmap> bitmap = picture->ToBitmap();
    ASSERT_TRUE(bitmap);
    const HBITMAP source = static_cast<HBITMAP>(bitmap->GetSafeHandle());
    HBITMAP fast = ScaleBitmap(source, tw, th), plain = StraightforwardScale(source, tw, th);
    ASSERT_TRUE(fast && plain);
    EXPECT_TRUE(SamePixels(CImage(fast), CImage(plain))) << w << "x" << h << " to " << tw << "x" << th;
    DeleteObject(fast);
    DeleteObject(plain);
  }
}

// ---- JPEG pictures -------------------------------------------------------------------------

namespace {

struct JpegKind {
  const char* name;
  int components;  // 1 grey, 3 colour, 4 CMYK
  bool fullChroma;
  bool progressive;
  int restartRows;
};

// A photograph-like JPEG written by libjpeg.
Bytes MakeJpeg(const JpegKind& kind, int w, int h) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = kind.components;
  cinfo.in_color_space = kind.components == 1 ? JCS_GRAYSCALE : kind.components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 85, TRUE);
  if (kind.fullChroma) cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
  if (kind.progressive) jpeg_simple_progression(&cinfo);
  cinfo.restart_in_rows = kind.restartRows;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(w) * static_cast<size_t>(kind.components));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < kind.components; ++c)
        row[static_cast<size_t>(x * kind.components + c)] =
            static_cast<JSAMPLE>((x * (3 + c) + y * (5 - c) + ((x ^ y) & 15) * 4) & 0xFF);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// What the codec layer makes of the bytes, pixel by pixel as pictures were
// filled from it; null when it refuses them.
std::unique_ptr<CImage> ThroughTheCodecLayer(const Bytes& bytes, DWORD format) {
  CBaseImage codec;
  if (bytes.empty() || !codec.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), format)) return nullptr;
  const int w = static_cast<int>(codec.GetWidth()), h = static_cast<int>(codec.GetHeight());
  bool ok = false;
  auto picture = std::make_unique<CImage>(w, h, ok, 0xFFFFFFFFu);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const RGBQUAD c = codec.GetPixelColor(x, y, false);
      picture->SetPixelRGB(x, y, c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
  return picture;
}

// The file loaded by name and the bytes loaded as a ".jpg" memory block,
// each against the codec layer.
void ExpectCodecLayersPixels(const Bytes& bytes, const std::string& what) {
  const std::string path = TempPath("fast.jpg");
  qmtest::WriteAll(path, bytes);
  bool ok = false;
  CImage loaded(path.c_str(), ok);
  std::unique_ptr<CImage> expected = ThroughTheCodecLayer(bytes, CODEC_FORMAT_UNKNOWN);
  ASSERT_EQ(ok, expected != nullptr) << what << ", from the file";
  if (ok) {
    EXPECT_TRUE(SamePixels(loaded, *expected)) << what << ", from the file";
    EXPECT_EQ(loaded.GetType(), kImageTypeJPG);
    EXPECT_EQ(loaded.GetBitsPerPixel(), 24);
  } else {
    EXPECT_FALSE(loaded.IsValid()) << what;
  }

  CImageMemBlock block(".jpg");
  block.data = bytes.empty() ? nullptr : new BYTE[bytes.size()];
  if (block.data) std::memcpy(block.data, bytes.data(), bytes.size());
  block.size = static_cast<DWORD>(bytes.size());
  CImage fromBlock;
  const bool blockOk = fromBlock.LoadFromMemoryBlock(block);
  expected = ThroughTheCodecLayer(bytes, CODEC_FORMAT_JPG);
  ASSERT_EQ(blockOk, expected != nullptr) << what << ", from a block";
  if (blockOk) {
    EXPECT_TRUE(SamePixels(fromBlock, *expected)) << what << ", from a block";
  }
}

}  // namespace

TEST(PictureJpeg, LoadsTheCodecLayersPixels) {
  const JpegKind kinds[] = {
      {"colour", 3, false, false, 0},     {"colour 4:4:4", 3, true, false, 0},
      {"progressive", 3, false, true, 0}, {"restart markers", 3, false, false, 2},
      {"grey", 1, false, false, 0},       {"grey progressive", 1, false, true, 0},
      {"CMYK", 4, false, false, 0},
  };
  for (const JpegKind& kind : kinds) {
    const Bytes jpeg = MakeJpeg(kind, 97, 61);
    ExpectCodecLayersPixels(jpeg, kind.name);
    // Cut short: libjpeg ends the picture with grey rows.
    ExpectCodecLayersPixels(Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() * 2 / 3)),
                            std::string(kind.name) + ", cut short");
  }
  // Damaged entropy data, a header only, and no JPEG at all.
  Bytes damaged = MakeJpeg(kinds[0], 97, 61);
  for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 40; ++i) damaged[i] = static_cast<BYTE>(i * 37);
  ExpectCodecLayersPixels(damaged, "damaged");
  const Bytes jpeg = MakeJpeg(kinds[0], 97, 61);
  ExpectCodecLayersPixels(Bytes(jpeg.begin(), jpeg.begin() + 200), "header only");
  ExpectCodecLayersPixels(PatternPng(9, 7), "a PNG named .jpg");
  ExpectCodecLayersPixels(Bytes{0xFF, 0xD8}, "two bytes");
}

TEST(PictureJpeg, KeepsTheCodecLayersMemoryCeiling) {
  const Bytes jpeg = MakeJpeg({"colour", 3, false, false, 0}, 300, 200);
  const std::string path = TempPath("ceiling.jpg");
  qmtest::WriteAll(path, jpeg);
  CBaseImage::SetMemoryLimit(100000);  // below the 180,000 bytes of rows
  bool ok = true;
  CImage refused(path.c_str(), ok);
  CBaseImage::SetMemoryLimit(0);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(refused.IsValid());
  CImage loaded(path.c_str(), ok);
  EXPECT_TRUE(ok);
}

// ---- Large pixel blocks -------------------------------------------------------------------

TEST(PictureBlock, LargePicturesSaveAndCopyLikeSmallOnes) {
  // 1100 x 700 pixels need 2.3 MB, so the block comes from page memory.
  const Bytes jpeg = MakeJpeg({"colour", 3, false, false, 0}, 1100, 700);
  const std::string path = TempPath("large.jpg");
  qmtest::WriteAll(path, jpeg);
  bool ok = false;
  CImage picture(path.c_str(), ok);
  ASSERT_TRUE(ok);
  const CImage copy(picture);
  // Saving as BMP moves the block to the BMP back end first.
  const std::string bmp = TempPath("large.bmp");
  ASSERT_TRUE(picture.SaveFile(bmp.c_str(), kImageTypeBMP));
  CImage back(bmp.c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(SamePixels(back, copy));
  EXPECT_TRUE(SamePixels(picture, copy));
}
