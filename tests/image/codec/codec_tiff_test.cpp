// TIFF over the codec streams: pages, palettes, depths, orientation, tiles.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <functional>

#include "codec_helpers.h"
#include "image/codec/CodecTIF.h"
#include "tests/common/test_util.h"

using namespace codectest;

namespace {

std::function<void(TIFF*)> Tags(uint32_t w, uint32_t h, uint16_t bits, uint16_t samples, uint16_t photometric,
                                uint16_t orientation = ORIENTATION_TOPLEFT) {
  return [=](TIFF* tif) {
    TiffTags(tif, w, h, bits, samples, photometric);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation);
  };
}

}  // namespace

TEST(CodecTiff, PagesOfOneFile) {
  CBaseImage rgb, eight(9, 5, 8, 0), one(12, 3, 1, 0);
  MakePattern(rgb, 11, 7);
  for (int i = 0; i < 256; ++i) eight.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i), 3, static_cast<BYTE>(255 - i));
  for (long y = 0; y < 5; ++y)
    for (long x = 0; x < 9; ++x) eight.SetPixelIndex(x, y, static_cast<BYTE>(x * 20 + y));
  one.SetPaletteColor(0, 0, 0, 0);
  one.SetPaletteColor(1, 255, 255, 255);
  for (long x = 0; x < 12; x += 2) one.SetPixelIndex(x, 1, 1);
  CBaseImage* pages[3] = {&rgb, &eight, &one};
  CCodecMemFile out;
  out.Open();
  CCodecTIF writer;
  ASSERT_TRUE(writer.Encode(&out, pages, 3)) << writer.GetLastError();
  const Bytes file(out.GetBuffer(false), out.GetBuffer(false) + out.Size());
  for (int page = 0; page < 3; ++page) {
    CBaseImage img;
    img.SetFrame(page);
    ASSERT_TRUE(DecodeFrom(img, file, CODEC_FORMAT_TIF)) << page << img.GetLastError();
    EXPECT_EQ(img.GetNumFrames(), 3);
    EXPECT_TRUE(SameColors(*pages[page], img)) << page;
  }
  CBaseImage img;
  img.SetFrame(3);
  EXPECT_FALSE(DecodeFrom(img, file, CODEC_FORMAT_TIF));
  EXPECT_STREQ(img.GetLastError(), "Error: page not present in TIFF file");
  EXPECT_EQ(img.GetNumFrames(), 3);
}

TEST(CodecTiff, RoundTripsWithCompressionAndAlpha) {
  for (DWORD compression : {1u, 5u, 8u, 32773u}) {
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
      CBaseImage img(13, 6, bpp, 0);
      img.SetGrayPalette();
      if (bpp == 4) img.SetPaletteColor(3, 200, 10, 20);  // not a grey ramp: written as a palette
      for (long y = 0; y < 6; ++y)
        for (long x = 0; x < 13; ++x) img.SetPixelColor(x, y, PatternColor(x, y));
      img.SetCodecOption(compression, CODEC_FORMAT_TIF);
      img.SetXDPI(150);
      CBaseImage back;
      ASSERT_TRUE(DecodeFrom(back, EncodeTo(img, CODEC_FORMAT_TIF), CODEC_FORMAT_UNKNOWN)) << back.GetLastError();
      EXPECT_EQ(back.GetType(), static_cast<DWORD>(CODEC_FORMAT_TIF));
      EXPECT_EQ(back.GetCodecOption(CODEC_FORMAT_TIF), compression);
      EXPECT_EQ(back.GetXDPI(), 150);
      EXPECT_TRUE(SameColors(img, back)) << bpp << " " << compression;
    }
  }
  CBaseImage rgba;
  MakePattern(rgba, 5, 4);
  ASSERT_TRUE(rgba.AlphaCreate());
  rgba.AlphaSet(2, 3, 17);
  CBaseImage back;
  ASSERT_TRUE(DecodeFrom(back, EncodeTo(rgba, CODEC_FORMAT_TIF), CODEC_FORMAT_TIF));
  ASSERT_TRUE(back.AlphaIsValid());
  EXPECT_EQ(back.AlphaGet(2, 3), 17);
  // libtiff's RGBA reader gives unassociated alpha premultiplied; opaque
  // pixels keep their colour.
  EXPECT_EQ(ColorAt(back, 1, 1), ColorAt(rgba, 1, 1));
  EXPECT_EQ(ColorAt(back, 4, 0), ColorAt(rgba, 4, 0));
}

TEST(CodecTiff, SixteenBitGreyGivesTheHighByte) {
  std::vector<Bytes> rows(2);
  for (int x = 0; x < 3; ++x) {
    const uint16_t v = static_cast<uint16_t>(0x1234 * (x + 1)), w = static_cast<uint16_t>(0xFF00 - x);
    rows[0].insert(rows[0].end(), reinterpret_cast<const BYTE*>(&v), reinterpret_cast<const BYTE*>(&v) + 2);
    rows[1].insert(rows[1].end(), reinterpret_cast<const BYTE*>(&w), reinterpret_cast<const BYTE*>(&w) + 2);
  }
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibTiff(Tags(3, 2, 16, 1, PHOTOMETRIC_MINISBLACK), rows), CODEC_FORMAT_TIF))
      << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 8);
  EXPECT_TRUE(img.IsGrayScale());
  EXPECT_EQ(img.GetPixelIndex(0, 1), 0x12);
  EXPECT_EQ(img.GetPixelIndex(2, 1), 0x36);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 0xFE);
}

TEST(CodecTiff, AlphaSamplesThatTheRgbaReaderLosesAreKept) {
  auto both = [](std::function<void(TIFF*)> a, std::function<void(TIFF*)> b) {
    return [a, b](TIFF* t) {
      a(t);
      b(t);
    };
  };
  auto words = [](std::initializer_list<uint16_t> v) {
    Bytes b;
    for (uint16_t w : v) b.insert(b.end(), reinterpret_cast<const BYTE*>(&w), reinterpret_cast<const BYTE*>(&w) + 2);
    return b;
  };
  auto alphaKind = [](uint16_t kind) { return [kind](TIFF* t) { TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &kind); }; };
  struct Case {
    const char* what;
    std::function<void(TIFF*)> tags;
    Bytes row;
    COLORREF colour;
    BYTE alpha;
  };
  const Case cases[] = {
      // Grey 0x8000 at alpha 0x4000, premultiplied to 0x2000: divided back at 16 bits.
      {"16-bit grey, premultiplied", both(Tags(1, 1, 16, 2, PHOTOMETRIC_MINISBLACK), alphaKind(EXTRASAMPLE_ASSOCALPHA)),
       words({0x2000, 0x4000}), RGB(0x80, 0x80, 0x80), 0x40},
      {"16-bit grey, straight", both(Tags(1, 1, 16, 2, PHOTOMETRIC_MINISBLACK), alphaKind(EXTRASAMPLE_UNASSALPHA)),
       words({0x1234, 0xABCD}), RGB(0x12, 0x12, 0x12), 0xAB},
      // About 0x9000, 0x3000, 0xF000 at alpha 0x0100, premultiplied to 144,
      // 48, 240: divided back at 16 bits they are 0x8FFF, 0x3000, 0xEFFF; at
      // 8 bits (libtiff's) nothing would be left of them.
      {"16-bit RGBA, premultiplied, low alpha",
       both(Tags(1, 1, 16, 4, PHOTOMETRIC_RGB), alphaKind(EXTRASAMPLE_ASSOCALPHA)), words({144, 48, 240, 0x0100}),
       RGB(0x8F, 0x30, 0xEF), 0x01},
      // Magenta and yellow ink: red.
      {"CMYK with alpha", both(Tags(1, 1, 8, 5, PHOTOMETRIC_SEPARATED), alphaKind(EXTRASAMPLE_UNASSALPHA)),
       Bytes{0, 255, 255, 0, 100}, RGB(255, 0, 0), 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, LibTiff(c.tags, {c.row}), CODEC_FORMAT_TIF)) << img.GetLastError();
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(ColorAt(img, 0, 0), c.colour);
    EXPECT_EQ(img.AlphaGet(0, 0), c.alpha);
  }
}

TEST(CodecTiff, ATransparentIndexIsWrittenAsAnAlphaSample) {
  for (DWORD bpp : {4u, 8u}) {
    SCOPED_TRACE(bpp);
    CBaseImage pal(4, 2, bpp, CODEC_FORMAT_GIF);
    for (int i = 0; i < 4; ++i) pal.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(60 * i), 10, 20);
    for (long x = 0; x < 4; ++x) {
      pal.SetPixelIndex(x, 0, static_cast<BYTE>(x));
      pal.SetPixelIndex(x, 1, static_cast<BYTE>(3 - x));
    }
    pal.SetTransIndex(2);
    CBaseImage back;
    ASSERT_TRUE(DecodeFrom(back, EncodeTo(pal, CODEC_FORMAT_TIF), CODEC_FORMAT_TIF)) << back.GetLastError();
    ASSERT_TRUE(back.AlphaIsValid());
    for (long y = 0; y < 2; ++y)
      for (long x = 0; x < 4; ++x) {
        EXPECT_EQ(ColorAt(back, x, y), ColorAt(pal, x, y)) << x << "," << y;
        EXPECT_EQ(back.AlphaGet(x, y), pal.GetPixelIndex(x, y) == 2 ? 0 : 255) << x << "," << y;
      }
  }
}

TEST(CodecTiff, OrientationPutsTheFirstLineInItsPlace) {
  // 3 x 2 stored, value at stored row r, column c = 1 + 3 r + c.
  const std::vector<Bytes> rows = {{1, 2, 3}, {4, 5, 6}};
  const long W = 3, H = 2;
  for (uint16_t o = 1; o <= 8; ++o) {
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, LibTiff(Tags(3, 2, 8, 1, PHOTOMETRIC_MINISBLACK, o), rows), CODEC_FORMAT_TIF));
    const bool turned = o >= 5;
    ASSERT_EQ(img.GetWidth(), static_cast<DWORD>(turned ? H : W)) << o;
    ASSERT_EQ(img.GetHeight(), static_cast<DWORD>(turned ? W : H)) << o;
    const long vw = static_cast<long>(img.GetWidth()), vh = static_cast<long>(img.GetHeight());
    for (long yv = 0; yv < vh; ++yv)
      for (long xv = 0; xv < vw; ++xv) {
        long r = 0, c = 0;
        switch (o) {
          case 1: r = yv; c = xv; break;
          case 2: r = yv; c = W - 1 - xv; break;
          case 3: r = H - 1 - yv; c = W - 1 - xv; break;
          case 4: r = H - 1 - yv; c = xv; break;
          case 5: r = xv; c = yv; break;
          case 6: r = H - 1 - xv; c = yv; break;
          case 7: r = H - 1 - xv; c = W - 1 - yv; break;
          case 8: r = xv; c = W - 1 - yv; break;
        }
        EXPECT_EQ(img.GetPixelIndex(xv, vh - 1 - yv), 1 + 3 * r + c) << "orientation " << o << " at " << xv << "," << yv;
      }
  }
}

TEST(CodecTiff, PalettesAndLowDepths) {
  auto colormap = [](int n, bool wide) {
    return [n, wide](TIFF* tif) {
      std::vector<uint16_t> r(n), g(n), b(n);
      for (int i = 0; i < n; ++i) {
        r[i] = static_cast<uint16_t>(wide ? i * 257 * (255 / (n - 1)) : i);
        g[i] = static_cast<uint16_t>(wide ? 65535 : 7);
        b[i] = 0;
      }
      TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    };
  };
  auto both = [](std::function<void(TIFF*)> a, std::function<void(TIFF*)> b) {
    return [a, b](TIFF* t) {
      a(t);
      b(t);
    };
  };
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, LibTiff(both(Tags(4, 1, 4, 1, PHOTOMETRIC_PALETTE), colormap(16, true)), {{0x01, 0xF0}}),
                         CODEC_FORMAT_TIF))
      << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 4);
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(17, 255, 0));
  EXPECT_EQ(ColorAt(img, 2, 0), RGB(255, 255, 0));
  // Colour maps whose values all fit a byte are taken as they stand.
  ASSERT_TRUE(DecodeFrom(img, LibTiff(both(Tags(2, 1, 8, 1, PHOTOMETRIC_PALETTE), colormap(256, false)), {{5, 200}}),
                         CODEC_FORMAT_TIF));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(200, 7, 0));
  // 1 bit, white is zero.
  ASSERT_TRUE(DecodeFrom(img, LibTiff(Tags(8, 1, 1, 1, PHOTOMETRIC_MINISWHITE), {{0x0F}}), CODEC_FORMAT_TIF));
  EXPECT_EQ(img.GetBpp(), 1);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(ColorAt(img, 7, 0), RGB(0, 0, 0));
  // 2-bit grey: four levels in a 4-bit picture.
  ASSERT_TRUE(DecodeFrom(img, LibTiff(Tags(4, 1, 2, 1, PHOTOMETRIC_MINISBLACK), {{0x1B}}), CODEC_FORMAT_TIF));
  EXPECT_EQ(img.GetBpp(), 4);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(85, 85, 85));
  EXPECT_EQ(ColorAt(img, 3, 0), RGB(255, 255, 255));
  // Grey with alpha.
  ASSERT_TRUE(DecodeFrom(img, LibTiff(both(Tags(2, 1, 8, 2, PHOTOMETRIC_MINISBLACK), [](TIFF* t) {
                                        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
                                        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
                                      }),
                                      {{100, 50, 200, 255}}),
                         CODEC_FORMAT_TIF));
  EXPECT_EQ(img.GetPixelIndex(1, 0), 200);
  EXPECT_EQ(img.AlphaGet(0, 0), 50);
}

TEST(CodecTiff, TilesAndCieLab) {
  const uint32_t W = 40, H = 20;
  auto tiles = [&](TIFF* tif) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
  };
  auto writeTiles = [&](TIFF* tif) {
    Bytes t(16 * 16);
    for (uint32_t ty = 0; ty < H; ty += 16)
      for (uint32_t tx = 0; tx < W; tx += 16) {
        for (uint32_t y = 0; y < 16; ++y)
          for (uint32_t x = 0; x < 16; ++x) t[y * 16 + x] = static_cast<BYTE>((tx + x) * 3 + (ty + y));
        TIFFWriteTile(tif, t.data(), tx, ty, 0, 0);
      }
  };
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img,
                         LibTiff([&](TIFF* t) {
                                   Tags(W, H, 8, 1, PHOTOMETRIC_MINISBLACK)(t);
                                   tiles(t);
                                 },
                                 {}, writeTiles),
                         CODEC_FORMAT_TIF))
      << img.GetLastError();
  for (long y = 0; y < static_cast<long>(H); ++y)
    for (long x = 0; x < static_cast<long>(W); ++x)
      ASSERT_EQ(img.GetPixelIndex(x, static_cast<long>(H) - 1 - y), static_cast<BYTE>(x * 3 + y)) << x << "," << y;

  // CIELab: L 255 is white, L 0 black, a mid grey about 119.
  ASSERT_TRUE(DecodeFrom(img, LibTiff(Tags(3, 1, 8, 3, PHOTOMETRIC_CIELAB), {{255, 0, 0, 0, 0, 0, 128, 0, 0}}),
                         CODEC_FORMAT_TIF))
      << img.GetLastError();
  EXPECT_EQ(img.GetBpp(), 24);
  const COLORREF white = ColorAt(img, 0, 0);
  EXPECT_GE(GetRValue(white), 254);
  EXPECT_GE(GetGValue(white), 254);
  EXPECT_GE(GetBValue(white), 254);
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(0, 0, 0));
  const COLORREF mid = ColorAt(img, 2, 0);
  EXPECT_NEAR(GetRValue(mid), 119, 2);
  EXPECT_NEAR(GetRValue(mid), GetBValue(mid), 1);
}

TEST(CodecTiff, ResolutionUnitsAndStreamBinding) {
  auto res = [](TIFF* t) {
    Tags(1, 1, 8, 1, PHOTOMETRIC_MINISBLACK)(t);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 100.0f);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 40.0f);
  };
  const Bytes file = LibTiff(res, {{7}});
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, file, CODEC_FORMAT_TIF));
  EXPECT_EQ(img.GetXDPI(), 254);
  EXPECT_EQ(img.GetYDPI(), 102);

  CCodecMemFile stream(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()));
  TIFF* tif = TIFFStreamOpen(&stream, "r");
  ASSERT_NE(tif, nullptr);
  EXPECT_EQ(TIFFGetSeekProc(tif)(TIFFClientdata(tif), 0xFFFFFFFFu, SEEK_SET), static_cast<toff_t>(-1));
  EXPECT_EQ(TIFFGetSeekProc(tif)(TIFFClientdata(tif), 4, SEEK_SET), 4u);
  EXPECT_EQ(TIFFGetSizeProc(tif)(TIFFClientdata(tif)), file.size());
  TIFFClose(tif);
  EXPECT_EQ(stream.Size(), static_cast<long>(file.size()));  // still open
}

TEST(CodecTiff, CorruptFiles) {
  CBaseImage img;
  EXPECT_FALSE(DecodeFrom(img, Bytes{'I', 'I', 42, 0, 1, 2}, CODEC_FORMAT_TIF));
  EXPECT_STREQ(img.GetLastError(), "Error encountered while opening TIFF file");
  CBaseImage src;
  MakePattern(src, 50, 50);
  Bytes file = EncodeTo(src, CODEC_FORMAT_TIF);
  // Pixel data cut off, the directory kept (libtiff writes it at the end).
  Bytes holes = file;
  for (size_t i = 16; i < 3000; ++i) holes[i] = 0;
  DecodeFrom(img, holes, CODEC_FORMAT_TIF);
  for (size_t cut = 8; cut < file.size(); cut += file.size() / 17) {
    CBaseImage part;
    EXPECT_FALSE(DecodeFrom(part, Bytes(file.begin(), file.begin() + static_cast<long>(cut)), CODEC_FORMAT_TIF));
  }
}
