// JPEG decoding and encoding, and the EXIF reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

#include "codec_helpers.h"
#include "image/codec/CodecJPG.h"
#include "image/codec/JpegExif.h"

using namespace codectest;

namespace {

void MakeSmooth(CBaseImage& img, DWORD w, DWORD h) {
  ASSERT_TRUE(img.Create(w, h, 24, 0));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x)
      img.SetPixelColor(x, y, RGB(static_cast<BYTE>(x * 8), static_cast<BYTE>(y * 8), 128));
}

double MeanError(CBaseImage& a, CBaseImage& b) {
  double sum = 0;
  long n = 0;
  for (long y = 0; y < static_cast<long>(a.GetHeight()); ++y)
    for (long x = 0; x < static_cast<long>(a.GetWidth()); ++x) {
      const COLORREF p = ColorAt(a, x, y), q = ColorAt(b, x, y);
      sum += std::abs(GetRValue(p) - GetRValue(q)) + std::abs(GetGValue(p) - GetGValue(q)) +
             std::abs(GetBValue(p) - GetBValue(q));
      n += 3;
    }
  return sum / n;
}

// The raw samples libjpeg decodes from a stream.
Bytes LibJpegDecode(const Bytes& data) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), data.size());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  Bytes out(cinfo.output_width * cinfo.output_height * cinfo.output_components);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.data() + cinfo.output_scanline * cinfo.output_width * cinfo.output_components;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

// An EXIF block (without the APP1 marker): IFD0 with the resolution and a
// link to a sub-directory. `subLinkToItself` makes the sub-directory point
// at itself; `nextToIfd0` makes IFD0's next link point back to IFD0.
Bytes ExifBlock(bool motorola, unsigned xres, unsigned unit, bool subLinkToItself = false, bool nextToIfd0 = false) {
  ExifBytes t(motorola);
  t.u16(42);
  t.u32(8);
  // IFD0 at 8: 4 entries, next link; rationals after it at 8 + 2 + 48 + 4 = 62.
  const unsigned ratAt = 62, subAt = 78;
  t.u16(4);
  t.Entry(0x011A, 5, 1, ratAt);
  t.Entry(0x011B, 5, 1, ratAt + 8);
  t.Entry(0x0128, 3, 1, unit);
  t.Entry(0x8769, 4, 1, subAt);
  t.u32(nextToIfd0 ? 8 : 0);
  t.u32(xres);
  t.u32(1);
  t.u32(xres);
  t.u32(1);
  // The sub-directory at 78: ISO 80 and, optionally, a link to itself.
  t.u16(subLinkToItself ? 2 : 1);
  t.Entry(0x8827, 3, 1, 80);
  if (subLinkToItself) t.Entry(0x8769, 4, 1, subAt);
  t.u32(0);
  return t.Block();
}

}  // namespace

TEST(CodecJpeg, RoundTripIsCloseAndCarriesItsSettings) {
  CBaseImage img;
  MakeSmooth(img, 33, 17);
  img.SetJpegQuality(50);
  img.SetXDPI(150);
  img.SetYDPI(150);
  const Bytes file = EncodeTo(img, CODEC_FORMAT_JPG);
  ASSERT_GT(file.size(), 20u);
  // JFIF: density unit 1, 150 x 150.
  EXPECT_EQ(file[2], 0xFF);
  EXPECT_EQ(file[3], 0xE0);
  EXPECT_EQ(file[13], 1);
  EXPECT_EQ(file[14] * 256 + file[15], 150);
  EXPECT_EQ(file[16] * 256 + file[17], 150);
  // Quality 50 keeps the standard luminance table (its first entry is 16).
  size_t dqt = 2;
  while (dqt + 5 < file.size() && !(file[dqt] == 0xFF && file[dqt + 1] == 0xDB)) ++dqt;
  ASSERT_LT(dqt + 5, file.size());
  EXPECT_EQ(file[dqt + 5], 16);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_JPG)) << back.GetLastError();
  EXPECT_EQ(back.GetBpp(), 24);
  EXPECT_EQ(back.GetXDPI(), 150);
  EXPECT_LT(MeanError(img, back), 8.0);
  // Default quality 90 and 96 dpi.
  CBaseImage plain;
  MakeSmooth(plain, 8, 8);
  const Bytes def = EncodeTo(plain, CODEC_FORMAT_JPG);
  EXPECT_EQ(def[14] * 256 + def[15], 96);
}

TEST(CodecJpeg, GreyscaleDecodesToTheGreyRamp) {
  CBaseImage img(16, 8, 8, 0);
  img.SetGrayPalette();
  for (long y = 0; y < 8; ++y)
    for (long x = 0; x < 16; ++x) img.SetPixelIndex(x, y, static_cast<BYTE>(x * 16));
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(img, CODEC_FORMAT_JPG), CODEC_FORMAT_UNKNOWN));
  EXPECT_EQ(back.GetType(), static_cast<DWORD>(CODEC_FORMAT_JPG));
  EXPECT_EQ(back.GetBpp(), 8);
  EXPECT_TRUE(back.IsGrayScale());
  EXPECT_LT(MeanError(img, back), 3.0);
  // A palette that is not the grey ramp cannot be written.
  CBaseImage pal(2, 2, 4, 0);
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_FALSE(pal.Encode(buffer, size, CODEC_FORMAT_JPG));
  EXPECT_STREQ(pal.GetLastError(), "JPEG can save only RGB or GreyScale images");
}

TEST(CodecJpeg, CmykMultipliesByBlack) {
  Bytes px;
  for (int i = 0; i < 16 * 16; ++i) Append(px, {static_cast<BYTE>(i), 200, static_cast<BYTE>(255 - i), 128});
  const Bytes file = LibJpeg(16, 16, 4, JCS_CMYK, px);
  const Bytes raw = LibJpegDecode(file);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, file, CODEC_FORMAT_JPG)) << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 24);
  for (long y = 0; y < 16; ++y)
    for (long x = 0; x < 16; ++x) {
      const BYTE* s = raw.data() + (y * 16 + x) * 4;
      const unsigned k = s[3];
      EXPECT_EQ(ColorAt(img, x, 15 - y), RGB(s[0] * k / 255, s[1] * k / 255, s[2] * k / 255));
    }
}

TEST(CodecJpeg, ProgressiveStreams) {
  CBaseImage img;
  MakeSmooth(img, 40, 24);
  img.SetCodecOption(CCodecJPG::ENCODE_PROGRESSIVE, CODEC_FORMAT_JPG);
  const Bytes file = EncodeTo(img, CODEC_FORMAT_JPG);
  bool sof2 = false;
  for (size_t i = 0; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xC2) sof2 = true;
  EXPECT_TRUE(sof2);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, file, CODEC_FORMAT_JPG)) << back.GetLastError();
  EXPECT_LT(MeanError(img, back), 4.0);
}

TEST(CodecJpeg, ResolutionFromJfifAndExif) {
  Bytes px(8 * 8 * 3, 100);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibJpeg(8, 8, 3, JCS_RGB, px, 2, 118), CODEC_FORMAT_JPG));
  EXPECT_EQ(img.GetXDPI(), 300);
  EXPECT_EQ(img.GetYDPI(), 300);
  ASSERT_TRUE(DecodeFrom(img, LibJpeg(8, 8, 3, JCS_RGB, px, 0, 1), CODEC_FORMAT_JPG));
  EXPECT_EQ(img.GetXDPI(), 1);  // aspect-only densities taken as they stand

  const Bytes base = LibJpeg(8, 8, 3, JCS_RGB, px, 1, 96);
  for (bool motorola : {false, true}) {
    ASSERT_TRUE(DecodeFrom(img, WithSegment(base, 0xE1, ExifBlock(motorola, 72, 2)), CODEC_FORMAT_JPG));
    EXPECT_EQ(img.GetXDPI(), 72) << motorola;
  }
  // Centimetres: 100 dots per centimetre is 254 dpi.
  ASSERT_TRUE(DecodeFrom(img, WithSegment(base, 0xE1, ExifBlock(false, 100, 3)), CODEC_FORMAT_JPG));
  EXPECT_EQ(img.GetXDPI(), 254);
}

TEST(CodecJpeg, ExifLinksThatPointBackStop) {
  CCodecJPG jpg;
  Bytes px(8 * 8 * 3, 100);
  const Bytes base = LibJpeg(8, 8, 3, JCS_RGB, px, 1, 96);
  for (int variant = 0; variant < 2; ++variant) {
    const Bytes file = WithSegment(base, 0xE1, ExifBlock(false, 72, 2, variant == 0, variant == 1));
    CCodecMemFile f(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()));
    EXPECT_TRUE(jpg.DecodeExif(&f));
    EXPECT_EQ(jpg.GetExifInfo().ISOequivalent, 80);
    EXPECT_FLOAT_EQ(jpg.GetExifInfo().Xresolution, 72.0f);
    EXPECT_EQ(f.Tell(), 0);
  }
}

TEST(CodecJpeg, ExifErrors) {
  struct Case {
    Bytes block;
    const char* error;
  } cases[] = {
      {{'E', 'x', 'i', 'f', 1, 0, 'I', 'I', 42, 0, 8, 0, 0, 0}, "Incorrect Exif header"},
      {{'E', 'x', 'i', 'f', 0, 0, 'X', 'X', 42, 0, 8, 0, 0, 0}, "Invalid Exif alignment marker."},
      {{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 43, 0, 8, 0, 0, 0}, "Invalid Exif start (1)"},
      {{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 9, 0}, "Illegally sized directory"},
      {{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x1A, 1, 99, 0, 1, 0, 0, 0, 0, 0, 0, 0},
       "Illegal format code in EXIF dir"},
      {{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x1A, 1, 5, 0, 1, 0, 0, 0, 0xF0, 0, 0, 0},
       "Illegal pointer offset value in EXIF."},
      {{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x69, 0x87, 4, 0, 1, 0, 0, 0, 4, 0, 0, 0},
       "Illegal subdirectory link"},
  };
  for (const Case& c : cases) {
    EXIFINFO info{};
    CJpegExif exif(&info);
    EXPECT_FALSE(exif.ParseExif(c.block.data(), static_cast<unsigned>(c.block.size()))) << c.error;
    EXPECT_STREQ(exif.GetLastError(), c.error);
  }
}

TEST(CodecJpeg, SectionsAndComments) {
  Bytes px(8 * 8 * 3, 100);
  Bytes file = LibJpeg(8, 8, 3, JCS_RGB, px, 1, 96);
  file = WithSegment(file, 0xFE, {'o', 'n', 'e', '\r', '\n', 't', 'w', 'o', 1});
  {
    EXIFINFO info{};
    CJpegExif exif(&info);
    CCodecMemFile f(file.data(), static_cast<DWORD>(file.size()));
    EXPECT_TRUE(exif.ReadSections(&f, CJpegExif::EXIF_READ_EXIF));
    EXPECT_STREQ(info.Comments, "one\ntwo?");
    EXPECT_EQ(info.Width, 8);
    EXPECT_EQ(info.IsColor, 1);
  }
  // More sections than the store keeps: the store gives up, the picture decodes.
  Bytes many = file;
  for (int i = 0; i < 25; ++i) many = WithSegment(many, 0xE5, {1, 2, 3});
  {
    EXIFINFO info{};
    CJpegExif exif(&info);
    CCodecMemFile f(many.data(), static_cast<DWORD>(many.size()));
    EXPECT_FALSE(exif.ReadSections(&f, CJpegExif::EXIF_READ_EXIF));
    EXPECT_STREQ(exif.GetLastError(), "Too many sections in jpg file");
  }
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, many, CODEC_FORMAT_JPG));
  EXPECT_EQ(img.GetWidth(), 8u);
  // The store can write what it read whole.
  {
    CJpegExif exif;
    CCodecMemFile in(file.data(), static_cast<DWORD>(file.size()));
    ASSERT_TRUE(exif.ReadSections(&in, CJpegExif::EXIF_READ_EXIF | CJpegExif::EXIF_READ_IMAGE));
    CCodecMemFile out;
    out.Open();
    ASSERT_TRUE(exif.WriteSections(&out));
    const Bytes written(out.GetBuffer(false), out.GetBuffer(false) + out.Size());
    CBaseImage again;
    ASSERT_TRUE(DecodeFrom(again, written, CODEC_FORMAT_JPG));
    EXPECT_TRUE(SameColors(img, again));
  }
}

TEST(CodecJpeg, EmptyAndTruncatedStreams) {
  CBaseImage img;
  EXPECT_FALSE(DecodeFrom(img, Bytes{}, CODEC_FORMAT_JPG));
  EXPECT_STREQ(img.GetLastError(), "Empty input file");
  EXPECT_FALSE(DecodeFrom(img, Bytes{0xFF, 0xD8, 0xFF}, CODEC_FORMAT_JPG));
  // Cut after the header: the picture comes back whole in size.
  CBaseImage src;
  MakeSmooth(src, 64, 64);
  Bytes file = EncodeTo(src, CODEC_FORMAT_JPG);
  file.resize(file.size() / 2);
  ASSERT_TRUE(DecodeFrom(img, file, CODEC_FORMAT_JPG)) << img.GetLastError();
  EXPECT_EQ(img.GetWidth(), 64u);
  EXPECT_EQ(img.GetHeight(), 64u);
  // A frame too large for the memory ceiling is refused before decoding.
  Bytes huge = EncodeTo(src, CODEC_FORMAT_JPG);
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 0xFF;  // height 65472
      huge[i + 7] = 0xFF;  // width 65472
      break;
    }
  EXPECT_FALSE(DecodeFrom(img, huge, CODEC_FORMAT_JPG));
  EXPECT_STREQ(img.GetLastError(), "CODEC_MAX_MEMORY exceeded");
}

TEST(CodecJpeg, ScaledDecoding) {
  CBaseImage src;
  MakeSmooth(src, 64, 32);
  CBaseImage img;
  img.SetJpegScale(4);
  ASSERT_TRUE(DecodeFrom(img, EncodeTo(src, CODEC_FORMAT_JPG), CODEC_FORMAT_JPG));
  EXPECT_EQ(img.GetWidth(), 16u);
  EXPECT_EQ(img.GetHeight(), 8u);
}
