// The TIFF loader and the picture loader by content.
#include <gtest/gtest.h>
#include <tiffio.h>

#include "image/OlePicture.h"
#include "image/TiffLoader.h"
#include "image/codec/BaseImage.h"
#include "picture_helpers.h"

using namespace picturetest;

namespace {

struct Page {
  int width = 2;
  int height = 2;
  int samples = 3;
  int bits = 8;
  int photometric = PHOTOMETRIC_RGB;
  bool associatedAlpha = false;  // a fourth (or a grey's second) sample is alpha, premultiplied or straight
  Bytes data;  // rows from the top, contiguous samples
  std::vector<uint16_t> colormap;  // 3 x 2^bits for palette pages
};

void WriteTiff(const std::string& path, const std::vector<Page>& pages) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tif, nullptr);
  for (const Page& p : pages) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.height);
    if (p.samples == 4 || p.samples == 2) {
      const uint16_t extra = p.associatedAlpha ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA;
      TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (!p.colormap.empty()) {
      const size_t n = p.colormap.size() / 3;
      TIFFSetField(tif, TIFFTAG_COLORMAP, p.colormap.data(), p.colormap.data() + n, p.colormap.data() + 2 * n);
    }
    const size_t rowBytes = p.data.size() / static_cast<size_t>(p.height);
    for (int y = 0; y < p.height; ++y)
      ASSERT_EQ(TIFFWriteScanline(tif, const_cast<BYTE*>(p.data.data()) + static_cast<size_t>(y) * rowBytes,
                                  static_cast<uint32_t>(y), 0),
                1);
    ASSERT_TRUE(TIFFWriteDirectory(tif));
  }
  TIFFClose(tif);
}

Page Solid(int w, int h, BYTE r, BYTE g, BYTE b) {
  Page p;
  p.width = w;
  p.height = h;
  for (int i = 0; i < w * h; ++i) p.data.insert(p.data.end(), {r, g, b});
  return p;
}

}  // namespace

TEST(PictureTiff, MultiPageFilesLoadTheirFirstPage) {
  Page first = Solid(3, 2, 200, 10, 20);
  first.data[0] = 1;  // top-left pixel red 1
  const std::string path = TempPath("pages.tif");
  WriteTiff(path, {first, Solid(5, 5, 0, 0, 255)});
  for (const std::string& name : {path, TempPath("copy.TIFF")}) {
    if (name != path) std::filesystem::copy_file(path, name, std::filesystem::copy_options::overwrite_existing);
    bool ok = false;
    CImage img(name.c_str(), ok);
    ASSERT_TRUE(ok) << name;
    EXPECT_EQ(img.GetType(), kImageTypeTIF);
    EXPECT_EQ(img.GetBitsPerPixel(), 24);
    EXPECT_EQ(img.GetWidth(), 3);
    EXPECT_EQ(img.GetHeight(), 2);
    EXPECT_EQ(ColorAt(img, 0, 1), RGB(1, 10, 20));
    EXPECT_EQ(ColorAt(img, 2, 0), RGB(200, 10, 20));
  }
}

TEST(PictureTiff, AlphaGivesStraightColoursAndOtherDepthsBecomeColour) {
  // Stored straight, the colours come as they are; stored premultiplied,
  // they are divided back (90, 60, 30 at alpha 128 is 179, 120, 60).
  for (bool associated : {false, true}) {
    Page rgba;
    rgba.width = 1;
    rgba.height = 1;
    rgba.samples = 4;
    rgba.associatedAlpha = associated;
    rgba.data = {90, 60, 30, 128};
    const std::string a = TempPath("alpha.tif");
    WriteTiff(a, {rgba});
    CTiffLoader loader;
    ASSERT_TRUE(loader.Open(a.c_str()));
    EXPECT_EQ(loader.GetSize(), CSize(1, 1));
    const BYTE* row = loader.GetRow(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row[0], associated ? 179 : 90);
    EXPECT_EQ(row[1], associated ? 120 : 60);
    EXPECT_EQ(row[2], associated ? 60 : 30);
    EXPECT_EQ(row[3], 128);
    EXPECT_EQ(loader.GetRow(1), nullptr);
    EXPECT_EQ(loader.GetRow(-1), nullptr);
    bool ok = false;
    CImage img(a.c_str(), ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ColorAt(img, 0, 0), associated ? RGB(179, 120, 60) : RGB(90, 60, 30));
  }

  Page wide;
  wide.width = 1;
  wide.height = 1;
  wide.bits = 16;
  // 16-bit samples in the machine's order.
  const uint16_t s[3] = {0x8000, 0xFFFF, 0x0000};
  wide.data.assign(reinterpret_cast<const BYTE*>(s), reinterpret_cast<const BYTE*>(s) + 6);
  const std::string w = TempPath("wide.tif");
  WriteTiff(w, {wide});
  bool ok = false;
  CImage img16(w.c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ColorAt(img16, 0, 0), RGB(128, 255, 0));

  Page pal;
  pal.width = 2;
  pal.height = 1;
  pal.samples = 1;
  pal.bits = 8;
  pal.photometric = PHOTOMETRIC_PALETTE;
  pal.data = {0, 1};
  pal.colormap.assign(3 * 256, 0);
  pal.colormap[1] = 0xFFFF;          // red of entry 1
  pal.colormap[256 + 0] = 0x8080;    // green of entry 0
  const std::string p = TempPath("palette.tif");
  WriteTiff(p, {pal});
  CImage imgPal(p.c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(imgPal.GetBitsPerPixel(), 24);
  EXPECT_EQ(ColorAt(imgPal, 0, 0), RGB(0, 128, 0));
  EXPECT_EQ(ColorAt(imgPal, 1, 0), RGB(255, 0, 0));
}

TEST(PictureTiff, SixteenBitGreyWithPremultipliedAlphaIsDividedBack) {
  // Grey 0x8000 at alpha 0x4000, stored premultiplied (0x2000): grey 0x80,
  // alpha 0x40 (libtiff's RGBA reader gives 0x20 and 255).
  Page grey;
  grey.width = 1;
  grey.height = 1;
  grey.samples = 2;
  grey.bits = 16;
  grey.photometric = PHOTOMETRIC_MINISBLACK;
  grey.associatedAlpha = true;
  const uint16_t s[2] = {0x2000, 0x4000};
  grey.data.assign(reinterpret_cast<const BYTE*>(s), reinterpret_cast<const BYTE*>(s) + 4);
  const std::string path = TempPath("grey16alpha.tif");
  WriteTiff(path, {grey});
  CTiffLoader loader;
  ASSERT_TRUE(loader.Open(path.c_str()));
  const BYTE* row = loader.GetRow(0);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row[0], 0x80);
  EXPECT_EQ(row[1], 0x80);
  EXPECT_EQ(row[2], 0x80);
  EXPECT_EQ(row[3], 0x40);
}

TEST(PictureTiff, UnreadableFilesFail) {
  CTiffLoader loader;
  EXPECT_FALSE(loader.Open(TempPath("absent.tif").c_str()));
  const Bytes junk = {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};
  EXPECT_FALSE(loader.OpenMemory(junk.data(), junk.size()));
  EXPECT_EQ(loader.GetSize(), CSize(0, 0));
  EXPECT_EQ(loader.GetRow(0), nullptr);
  const std::string path = TempPath("junk.tif");
  qmtest::WriteAll(path, junk);
  bool ok = true;
  CImage img(path.c_str(), ok);
  EXPECT_FALSE(ok);
}

// ---- The picture loader by content -------------------------------------------------------

TEST(PictureOle, LoadsByContentAtNinetySixDpi) {
  const Bytes png = PatternPng(101, 3);
  COlePicture pic;
  EXPECT_FALSE(pic.IsLoaded());
  EXPECT_EQ(pic.GetSizeInPixels(), CSize(0, 0));
  ASSERT_TRUE(pic.LoadFromMemory(png.data(), png.size()));
  EXPECT_EQ(pic.GetHimetricSize(), CSize(2672, 79));
  EXPECT_EQ(pic.GetSizeInPixels(), CSize(101, 3));
  // A second picture replaces the first.
  const Bytes other = PatternPng(4, 2);
  const std::string path = TempPath("by-content.dat");
  qmtest::WriteAll(path, other);
  ASSERT_TRUE(pic.LoadFromFile(path.c_str()));
  EXPECT_EQ(pic.GetSizeInPixels(), CSize(4, 2));
  // What it cannot read leaves no picture.
  const Bytes junk(64, 0x5A);
  EXPECT_FALSE(pic.LoadFromMemory(junk.data(), junk.size()));
  EXPECT_FALSE(pic.IsLoaded());
  EXPECT_FALSE(pic.LoadFromFile(TempPath("absent.dat").c_str()));
  CMemCanvas canvas(4, 2, 0);
  EXPECT_FALSE(pic.Render(canvas.dc()->GetSafeHdc(), 0, 0, 4, 2, nullptr));
  EXPECT_FALSE(pic.LoadFromResource(65000));
}

TEST(PictureOle, RenderWholeAndFlipped) {
  const Bytes png = PatternPng(4, 2);
  COlePicture pic;
  ASSERT_TRUE(pic.LoadFromMemory(png.data(), png.size()));
  CMemCanvas canvas(4, 2, 0);
  HDC hdc = canvas.dc()->GetSafeHdc();
  ASSERT_TRUE(pic.Render(hdc, 0, 0, 4, 2, nullptr));
  // Codec row 1 is the top row.
  EXPECT_EQ(canvas.At(0, 0), PatternColor(0, 1));
  EXPECT_EQ(canvas.At(3, 1), PatternColor(3, 0));
  ASSERT_TRUE(pic.Render(hdc, CRect(0, 0, 4, 2), 0, 0, 1, 1, false, true));
  EXPECT_EQ(canvas.At(0, 0), PatternColor(0, 0));
  EXPECT_EQ(canvas.At(3, 1), PatternColor(3, 1));
  ASSERT_TRUE(pic.Render(hdc, CRect(0, 0, 4, 2), 0, 0, 1, 1, true, false));
  EXPECT_EQ(canvas.At(0, 0), PatternColor(3, 1));
  // The right half only, stretched over the canvas.
  ASSERT_TRUE(pic.Render(hdc, CRect(0, 0, 4, 2), 0.5, 0, 0.5, 1, false, false));
  EXPECT_EQ(canvas.At(0, 0), PatternColor(2, 1));
  EXPECT_FALSE(pic.Render(hdc, CRect(0, 0, 4, 2), -0.1, 0, 1, 1, false, false));
}
