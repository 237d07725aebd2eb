// The seed corpus of the codec fuzz targets: small valid files of every
// format and layout the decoders know. The test checks that each seed
// decodes; with QM_CODEC_CORPUS_OUT set to a folder it also writes them
// there, one sub-folder per fuzz target (fuzz/codec/corpus is made so).
#include <gtest/gtest.h>

#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

extern "C" {
#include <jpeglib.h>
}

#include "codec_helpers.h"
#include "image/codec/CodecTIF.h"
#include "image/codec/JpegExif.h"
#include "tests/common/test_util.h"
#include "tests/image/gif_builder.h"

using namespace codectest;

namespace {

struct Seed {
  std::string target;  // fuzz target folder
  std::string name;
  Bytes data;
};

Bytes Encoded(CBaseImage& img, DWORD type) { return EncodeTo(img, type); }

void Pattern(CBaseImage& img, DWORD w, DWORD h, DWORD bpp) {
  ASSERT_TRUE(img.Create(w, h, bpp, 0));
  for (DWORD i = 0; i < img.GetNumColors(); ++i)
    img.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i * 5), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x) img.SetPixelColor(x, y, PatternColor(x, y));
}

// An 8 x 8 CMYK JPEG at libjpeg's default quality.
Bytes CmykJpeg() {
  Bytes pixels;
  for (int y = 0; y < 8; ++y)
    for (int i = 0; i < 32; ++i) pixels.push_back(static_cast<BYTE>(i * 8));
  return LibJpeg(8, 8, 4, JCS_CMYK, pixels, 0, 1, 75);
}

Bytes ExifBlock(bool motorola) {
  ExifBytes t(motorola);
  t.u16(42);
  t.u32(8);
  t.u16(5);
  // IFD0 at 8 (5 entries, ends at 74); make at 74, rationals at 80; sub-IFD at 96.
  t.Entry(0x010F, 2, 6, 74);
  t.Entry(0x011A, 5, 1, 80);
  t.Entry(0x011B, 5, 1, 88);
  t.Entry(0x0128, 3, 1, 2);
  t.Entry(0x8769, 4, 1, 96);
  t.u32(0);
  Append(t.b, {'M', 'a', 'k', 'e', 'r', 0});
  t.u32(300);
  t.u32(1);
  t.u32(300);
  t.u32(1);
  t.u16(2);
  t.Entry(0x8827, 3, 1, 100);
  t.Entry(0x829A, 5, 1, 80);
  t.u32(0);
  return t.Block();
}

void PngRowsWriter(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

Bytes GreyPng(int depth, int colorType, int w, int h, int interlace) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) return {};
  png_set_write_fn(png, &out, PngRowsWriter, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth, colorType, interlace, 0, 0);
  png_write_info(png, info);
  const int passes = interlace ? png_set_interlace_handling(png) : 1;
  Bytes row(static_cast<size_t>(w) * 8, 0);
  for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<BYTE>(i * 37);
  for (int p = 0; p < passes; ++p)
    for (int y = 0; y < h; ++y) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<Seed> MakeSeeds() {
  std::vector<Seed> s;
  // ---- BMP
  for (DWORD bpp : {1u, 4u, 8u, 24u}) {
    CBaseImage img;
    Pattern(img, 7, 3, bpp);
    s.push_back({"bmp", "depth" + std::to_string(bpp) + ".bmp", Encoded(img, CODEC_FORMAT_BMP)});
  }
  {
    Bytes body = InfoHeader(4, 3, 8, BI_RLE8, 16);
    Append(body, Bytes(64, 0x40));
    s.push_back({"bmp", "rle8.bmp", BmpFile(body, {4, 1, 0, 0, 0, 3, 5, 6, 7, 0, 1, 8, 0, 0, 0, 2, 2, 0, 2, 9, 0, 1})});
    Bytes body4 = InfoHeader(5, 2, 4, BI_RLE4);
    Append(body4, Bytes(64, 0x80));
    s.push_back({"bmp", "rle4.bmp", BmpFile(body4, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x77, 0, 1})});
    Bytes bf = InfoHeader(2, 2, 16, BI_BITFIELDS);
    Put32(bf, 0xF800);
    Put32(bf, 0x07E0);
    Put32(bf, 0x001F);
    s.push_back({"bmp", "bitfields16.bmp", BmpFile(bf, {1, 2, 3, 4, 5, 6, 7, 8})});
    Bytes b32 = InfoHeader(2, -2, 32, BI_BITFIELDS);
    Put32(b32, 0xFF0000);
    Put32(b32, 0xFF00);
    Put32(b32, 0xFF);
    Append(b32, Bytes(16, 0x70));
    s.push_back({"bmp", "bare32topdown.dib", b32});
    Bytes core = CoreHeader(2, 2, 1);
    Append(core, {0, 0, 0, 255, 255, 255});
    s.push_back({"bmp", "core.bmp", BmpFile(core, {0x80, 0, 0, 0, 0x40, 0, 0, 0})});
    // Fifth-version headers: masks inside, a short palette under run lengths.
    Bytes v5 = InfoHeader(2, 2, 16, BI_BITFIELDS, 0, 124);
    for (int i = 0; i < 4; ++i) {
      v5[40 + i] = static_cast<BYTE>(0xF800u >> (8 * i));
      v5[44 + i] = static_cast<BYTE>(0x07E0u >> (8 * i));
      v5[48 + i] = static_cast<BYTE>(0x001Fu >> (8 * i));
    }
    s.push_back({"bmp", "v5bitfields16.bmp", BmpFile(v5, {1, 2, 3, 4, 5, 6, 7, 8})});
    Bytes v5rle = InfoHeader(4, 3, 8, BI_RLE8, 3, 124);
    Append(v5rle, {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0});
    s.push_back({"bmp", "v5rle8.bmp", BmpFile(v5rle, {4, 1, 0, 0, 0, 3, 2, 0, 1, 0, 0, 1})});
  }
  // ---- ICO
  {
    CBaseImage img;
    Pattern(img, 6, 5, 8);
    img.SetTransIndex(3);
    s.push_back({"ico", "indexed.ico", Encoded(img, CODEC_FORMAT_ICO)});
    CBaseImage four;
    Pattern(four, 4, 4, 4);
    s.push_back({"ico", "four.ico", Encoded(four, CODEC_FORMAT_ICO)});
    CBaseImage rgb;
    Pattern(rgb, 5, 4, 24);
    s.push_back({"ico", "rgb.ico", Encoded(rgb, CODEC_FORMAT_ICO)});
    rgb.AlphaCreate();
    rgb.AlphaSet(1, 1, 0);
    rgb.AlphaSet(2, 2, 90);
    s.push_back({"ico", "alpha.ico", Encoded(rgb, CODEC_FORMAT_ICO)});
  }
  // ---- JPEG (and EXIF blocks)
  {
    CBaseImage img;
    Pattern(img, 16, 9, 24);
    const Bytes base = Encoded(img, CODEC_FORMAT_JPG);
    s.push_back({"jpeg", "baseline.jpg", base});
    s.push_back({"jpeg", "exif_ii.jpg", WithSegment(base, 0xE1, ExifBlock(false))});
    s.push_back({"jpeg", "exif_mm.jpg", WithSegment(base, 0xE1, ExifBlock(true))});
    img.SetCodecOption(0x10, CODEC_FORMAT_JPG);
    s.push_back({"jpeg", "progressive.jpg", Encoded(img, CODEC_FORMAT_JPG)});
    CBaseImage grey;
    Pattern(grey, 9, 9, 8);
    grey.SetGrayPalette();
    s.push_back({"jpeg", "grey.jpg", Encoded(grey, CODEC_FORMAT_JPG)});
    s.push_back({"jpeg", "cmyk.jpg", CmykJpeg()});
    s.push_back({"exif", "ii.exif", ExifBlock(false)});
    s.push_back({"exif", "mm.exif", ExifBlock(true)});
  }
  // ---- PNG
  {
    CBaseImage rgb;
    Pattern(rgb, 9, 7, 24);
    s.push_back({"png", "rgb.png", Encoded(rgb, CODEC_FORMAT_PNG)});
    rgb.SetCodecOption(1, CODEC_FORMAT_PNG);
    rgb.AlphaCreate();
    rgb.AlphaSet(3, 3, 10);
    s.push_back({"png", "rgba_interlaced.png", Encoded(rgb, CODEC_FORMAT_PNG)});
    CBaseImage pal;
    Pattern(pal, 8, 5, 4);
    pal.SetTransIndex(2);
    s.push_back({"png", "palette_trns.png", Encoded(pal, CODEC_FORMAT_PNG)});
    s.push_back({"png", "grey2.png", GreyPng(2, PNG_COLOR_TYPE_GRAY, 9, 3, PNG_INTERLACE_NONE)});
    s.push_back({"png", "grey16_interlaced.png", GreyPng(16, PNG_COLOR_TYPE_GRAY, 5, 9, PNG_INTERLACE_ADAM7)});
    s.push_back({"png", "grey_alpha.png", GreyPng(8, PNG_COLOR_TYPE_GRAY_ALPHA, 4, 4, PNG_INTERLACE_NONE)});
    s.push_back({"png", "rgb16.png", GreyPng(16, PNG_COLOR_TYPE_RGB, 3, 2, PNG_INTERLACE_NONE)});
  }
  // ---- GIF
  {
    CBaseImage rgb;
    Pattern(rgb, 17, 16, 24);
    s.push_back({"gif", "mosaic.gif", Encoded(rgb, CODEC_FORMAT_GIF)});
    // Images with their own tables, a background index, transparency and
    // disposals.
    for (const gifbuild::Composition& c : gifbuild::Compositions()) {
      std::string name = c.what;
      std::replace(name.begin(), name.end(), ' ', '_');
      s.push_back({"gif", name + ".gif", gifbuild::Build(c.file)});
    }
    CBaseImage pal;
    Pattern(pal, 12, 10, 8);
    pal.SetTransIndex(4);
    Bytes gif = Encoded(pal, CODEC_FORMAT_GIF);
    s.push_back({"gif", "palette.gif", gif});
    // The same image read as interlaced.
    for (size_t i = 13 + 768; i < gif.size(); ++i)
      if (gif[i] == 0x2C) {
        gif[i + 9] |= 0x40;
        break;
      }
    s.push_back({"gif", "interlaced.gif", gif});
    CBaseImage one;
    Pattern(one, 9, 3, 1);
    s.push_back({"gif", "onebit.gif", Encoded(one, CODEC_FORMAT_GIF)});
  }
  // ---- TIFF
  {
    CBaseImage rgb, pal, one;
    Pattern(rgb, 6, 5, 24);
    Pattern(pal, 7, 4, 8);
    Pattern(one, 9, 2, 1);
    rgb.SetCodecOption(COMPRESSION_LZW, CODEC_FORMAT_TIF);
    s.push_back({"tiff", "rgb_lzw.tif", Encoded(rgb, CODEC_FORMAT_TIF)});
    pal.SetCodecOption(COMPRESSION_PACKBITS, CODEC_FORMAT_TIF);
    s.push_back({"tiff", "palette_packbits.tif", Encoded(pal, CODEC_FORMAT_TIF)});
    CBaseImage* pages[3] = {&rgb, &pal, &one};
    CCodecMemFile out;
    out.Open();
    CCodecTIF writer;
    writer.Encode(&out, pages, 3);
    s.push_back({"tiff", "pages.tif", Bytes(out.GetBuffer(false), out.GetBuffer(false) + out.Size())});
    s.push_back({"tiff", "grey16_orient6.tif", LibTiff([](TIFF* t) {
                   TiffTags(t, 3, 2, 16, 1, PHOTOMETRIC_MINISBLACK);
                   TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_RIGHTTOP);
                   uint16_t row[3] = {0x1000, 0x8000, 0xFFFF};
                   TIFFWriteScanline(t, row, 0, 0);
                   TIFFWriteScanline(t, row, 1, 0);
                 })});
    s.push_back({"tiff", "tiled.tif", LibTiff([](TIFF* t) {
                   TiffTags(t, 20, 18, 8, 1, PHOTOMETRIC_MINISWHITE);
                   TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
                   TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
                   Bytes tile(256, 0x33);
                   for (uint32_t y = 0; y < 18; y += 16)
                     for (uint32_t x = 0; x < 20; x += 16) TIFFWriteTile(t, tile.data(), x, y, 0, 0);
                 })});
    // Small uncompressed colour tiles, and alpha stored straight.
    s.push_back({"tiff", "tiled_rgb.tif", LibTiff([](TIFF* t) {
                   TiffTags(t, 20, 18, 8, 3, PHOTOMETRIC_RGB);
                   TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
                   TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
                   Bytes tile(768, 0x5A);
                   for (uint32_t y = 0; y < 18; y += 16)
                     for (uint32_t x = 0; x < 20; x += 16) TIFFWriteTile(t, tile.data(), x, y, 0, 0);
                 })});
    s.push_back({"tiff", "rgba_straight.tif", LibTiff([](TIFF* t) {
                   TiffTags(t, 2, 1, 8, 4, PHOTOMETRIC_RGB);
                   const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
                   TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
                   BYTE row[8] = {200, 100, 50, 128, 10, 20, 30, 255};
                   TIFFWriteScanline(t, row, 0, 0);
                 })});
    s.push_back({"tiff", "cielab.tif", LibTiff([](TIFF* t) {
                   TiffTags(t, 2, 1, 8, 3, PHOTOMETRIC_CIELAB);
                   BYTE row[6] = {200, 10, 250, 50, 0, 0};
                   TIFFWriteScanline(t, row, 0, 0);
                 })});
  }
  // ---- TGA
  {
    CBaseImage rgb;
    Pattern(rgb, 5, 3, 24);
    s.push_back({"tga", "rgb.tga", Encoded(rgb, CODEC_FORMAT_TGA)});
    rgb.AlphaCreate();
    s.push_back({"tga", "rgba.tga", Encoded(rgb, CODEC_FORMAT_TGA)});
    CBaseImage pal;
    Pattern(pal, 4, 2, 8);
    s.push_back({"tga", "mapped.tga", Encoded(pal, CODEC_FORMAT_TGA)});
    Bytes rle = {0, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0x20};
    Append(rle, {0x83, 7, 0x01, 8, 9});
    s.push_back({"tga", "grey_rle.tga", rle});
    Bytes map16 = {0, 1, 9, 2, 0, 2, 0, 16, 0, 0, 0, 0, 2, 0, 2, 0, 8, 0x10};
    Put16(map16, 31u << 10);
    Put16(map16, 31u);
    Append(map16, {0x81, 2, 0x81, 3});
    s.push_back({"tga", "mapped16_rle.tga", map16});
    Bytes t16 = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 16, 0};
    Put16(t16, 0x7C1F);
    Put16(t16, 0x03E0);
    s.push_back({"tga", "rgb16.tga", t16});
  }
  // ---- PCX
  {
    CBaseImage rgb;
    Pattern(rgb, 7, 3, 24);
    s.push_back({"pcx", "rgb.pcx", Encoded(rgb, CODEC_FORMAT_PCX)});
    for (DWORD bpp : {1u, 4u, 8u}) {
      CBaseImage pal;
      Pattern(pal, 9, 4, bpp);
      s.push_back({"pcx", "depth" + std::to_string(bpp) + ".pcx", Encoded(pal, CODEC_FORMAT_PCX)});
    }
  }
  // ---- WBMP
  {
    CBaseImage one(12, 5, 1, 0);
    one.SetGrayPalette();
    for (long x = 0; x < 12; x += 2) one.SetPixelIndex(x, x % 5, 1);
    s.push_back({"wbmp", "picture.wbmp", Encoded(one, CODEC_FORMAT_WBMP)});
    CBaseImage wide(130, 2, 1, 0);
    wide.SetGrayPalette();
    for (long x = 0; x < 130; x += 3) wide.SetPixelIndex(x, x % 2, 1);
    s.push_back({"wbmp", "wide.wbmp", Encoded(wide, CODEC_FORMAT_WBMP)});
  }
  // ---- clipboard DIBs (no file header)
  {
    for (DWORD bpp : {1u, 8u, 24u}) {
      CBaseImage img;
      Pattern(img, 5, 3, bpp);
      HANDLE h = img.CopyToHandle();
      const BYTE* p = static_cast<const BYTE*>(GlobalLock(h));
      s.push_back({"dib", "depth" + std::to_string(bpp) + ".dib", Bytes(p, p + GlobalSize(h))});
      GlobalUnlock(h);
      GlobalFree(h);
    }
    Bytes d16 = InfoHeader(2, 2, 16);
    Append(d16, {1, 2, 3, 4, 5, 6, 7, 8});
    s.push_back({"dib", "sixteen.dib", d16});
    Bytes d32 = InfoHeader(2, -1, 32, BI_BITFIELDS);
    Put32(d32, 0xFF0000);
    Put32(d32, 0xFF00);
    Put32(d32, 0xFF);
    Append(d32, {1, 2, 3, 0, 4, 5, 6, 0});
    s.push_back({"dib", "bitfields32.dib", d32});
    Bytes rle = InfoHeader(3, 2, 8, BI_RLE8, 4);
    Append(rle, Bytes(16, 9));
    Append(rle, {3, 2, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1});
    s.push_back({"dib", "rle8.dib", rle});
    Bytes core = CoreHeader(3, 1, 1);
    Append(core, {0, 0, 0, 10, 20, 30, 0xA0, 0, 0, 0});
    s.push_back({"dib", "core.dib", core});
  }
  return s;
}

DWORD FormatOf(const std::string& target) {
  static const std::map<std::string, DWORD> kIds = {
      {"bmp", CODEC_FORMAT_BMP}, {"ico", CODEC_FORMAT_ICO}, {"jpeg", CODEC_FORMAT_JPG},
      {"png", CODEC_FORMAT_PNG}, {"gif", CODEC_FORMAT_GIF}, {"tiff", CODEC_FORMAT_TIF},
      {"tga", CODEC_FORMAT_TGA}, {"pcx", CODEC_FORMAT_PCX}, {"wbmp", CODEC_FORMAT_WBMP}};
  const auto it = kIds.find(target);
  return it == kIds.end() ? 0 : it->second;
}

}  // namespace

TEST(CodecCorpus, EverySeedDecodes) {
  const std::vector<Seed> seeds = MakeSeeds();
  const char* out = std::getenv("QM_CODEC_CORPUS_OUT");
  for (const Seed& seed : seeds) {
    ASSERT_FALSE(seed.data.empty()) << seed.name;
    EXPECT_LT(seed.data.size(), 4096u) << seed.name;
    CBaseImage img;
    if (seed.target == "dib") {
      HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, seed.data.size());
      std::memcpy(GlobalLock(h), seed.data.data(), seed.data.size());
      GlobalUnlock(h);
      EXPECT_TRUE(img.CreateFromHANDLE(h)) << seed.name << ": " << img.GetLastError();
      GlobalFree(h);
    } else if (seed.target == "exif") {
      EXIFINFO info{};
      CJpegExif exif(&info);
      EXPECT_TRUE(exif.ParseExif(seed.data.data(), static_cast<unsigned>(seed.data.size()))) << seed.name;
      EXPECT_FLOAT_EQ(info.Xresolution, 300.0f);
    } else {
      EXPECT_TRUE(DecodeFrom(img, seed.data, FormatOf(seed.target))) << seed.name << ": " << img.GetLastError();
    }
    if (out) {
      const std::filesystem::path dir = std::filesystem::path(out) / seed.target;
      std::filesystem::create_directories(dir);
      qmtest::WriteAll(dir / seed.name, seed.data);
    }
  }
}

// The committed corpus holds a file for every seed made here.
TEST(CodecCorpus, CommittedCorpusIsComplete) {
  const std::filesystem::path corpus = qmtest::SourceDir() / "fuzz" / "codec" / "corpus";
  ASSERT_TRUE(std::filesystem::exists(corpus)) << corpus;
  for (const Seed& seed : MakeSeeds()) EXPECT_TRUE(std::filesystem::exists(corpus / seed.target / seed.name)) << seed.name;
}
