// Picture files: loading by extension with the fallbacks, saving by type,
// the own BMP and GIF readers and writers, memory blocks, the picture block
// of byte streams and the clipboard.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/ByteStream.h"
#include "image/codec/BaseImage.h"
#include "picture_helpers.h"
#include "tests/image/gif_builder.h"

using namespace picturetest;
namespace fs = std::filesystem;

namespace {

// A BMP file: 14-byte file header (unless bare), a 40-byte info header or
// a 12-byte core header, the table and the rows.
struct BmpSpec {
  int width = 2;
  int height = 2;  // negative: top-down
  int bpp = 24;
  DWORD compression = BI_RGB;
  DWORD clrUsed = 0;
  Bytes table;  // bytes as they go into the file
  Bytes rows;
  bool bare = false;
  bool core = false;
};

Bytes MakeBmp(const BmpSpec& s) {
  Bytes header;
  if (s.core) {
    PutLE32(header, 12);
    PutLE16(header, static_cast<unsigned>(s.width));
    PutLE16(header, static_cast<unsigned>(s.height));
    PutLE16(header, 1);
    PutLE16(header, static_cast<unsigned>(s.bpp));
  } else {
    PutLE32(header, 40);
    PutLE32(header, static_cast<std::uint32_t>(s.width));
    PutLE32(header, static_cast<std::uint32_t>(s.height));
    PutLE16(header, 1);
    PutLE16(header, static_cast<unsigned>(s.bpp));
    PutLE32(header, s.compression);
    PutLE32(header, static_cast<std::uint32_t>(s.rows.size()));
    PutLE32(header, 0);
    PutLE32(header, 0);
    PutLE32(header, s.clrUsed);
    PutLE32(header, 0);
  }
  Bytes out;
  if (!s.bare) {
    out = {'B', 'M'};
    PutLE32(out, static_cast<std::uint32_t>(14 + header.size() + s.table.size() + s.rows.size()));
    PutLE32(out, 0);
    PutLE32(out, static_cast<std::uint32_t>(14 + header.size() + s.table.size()));
  }
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), s.table.begin(), s.table.end());
  out.insert(out.end(), s.rows.begin(), s.rows.end());
  return out;
}

std::string Write(const std::string& name, const Bytes& bytes) {
  const std::string path = TempPath(name);
  qmtest::WriteAll(path, bytes);
  return path;
}

CImage Load(const std::string& path, bool& ok) { return CImage(path.c_str(), ok); }

int TableEntries(const CImage& img) {
  return static_cast<int>(reinterpret_cast<const BITMAPINFOHEADER*>(img.GetImpl()->GetDib())->biClrUsed);
}

// A smooth picture, for the lossy JPEG round trips.
void FillSmooth(CImage& img) {
  for (int y = 0; y < img.GetHeight(); ++y)
    for (int x = 0; x < img.GetWidth(); ++x)
      img.SetPixelRGB(x, y, static_cast<BYTE>(40 + x * 8), static_cast<BYTE>(200 - y * 9), 120);
}

}  // namespace

TEST(PictureFiles, TypeIdsFromExtensions) {
  const struct {
    const char* ext;
    int id;
  } cases[] = {{"bmp", 0},  {"BMP", 0},  {"gif", 2},  {"jpg", 1},   {"png", 4},   {"xpm", 3},
               {"tif", 5},  {"psd", 6},  {"tga", 7},  {"pcx", 8},   {"emf", 9},   {"tsw", 10},
               {"jpeg", -1}, {"tiff", -1}, {"gif2", -1}, {"", -1}};
  for (const auto& c : cases) EXPECT_EQ(ImageTypeFromExtension(c.ext), c.id) << c.ext;
  EXPECT_EQ(ImageTypeFromExtension(nullptr), -1);
  EXPECT_EQ(GetFileExtension("a.b.PNG"), CString("PNG"));
  EXPECT_EQ(GetFileExtension("noext"), CString(""));
  EXPECT_EQ(GetFileExtension("dot."), CString(""));
  EXPECT_EQ(ImageTypeFromExtension(GetFileExtension("noext")), -1);
}

// ---- The own BMP reader and writer ------------------------------------------------------

TEST(PictureFiles, Bmp24LoadsAsATrueColourPicture) {
  BmpSpec s;
  s.rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  bool ok = false;
  CImage img = Load(Write("t24.bmp", MakeBmp(s)), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetType(), kImageTypeBMP);
  EXPECT_EQ(img.GetBitsPerPixel(), 24);
  EXPECT_EQ(img.GetPalette(), nullptr);
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(3, 2, 1));
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(12, 11, 10));
}

TEST(PictureFiles, Bmp8WithoutColourCountGetsAFullPalette) {
  BmpSpec s;
  s.bpp = 8;
  for (int i = 0; i < 256; ++i) {
    s.table.push_back(static_cast<BYTE>(i));
    s.table.push_back(static_cast<BYTE>(255 - i));
    s.table.push_back(static_cast<BYTE>(i / 2));
    s.table.push_back(0);
  }
  s.rows = {0, 200, 0, 0, 17, 255, 0, 0};
  bool ok = false;
  CImage img = Load(Write("t8.bmp", MakeBmp(s)), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetBitsPerPixel(), 8);
  ASSERT_NE(img.GetPalette(), nullptr);
  EXPECT_EQ(img.GetPalette()->GetCount(), 256);
  EXPECT_EQ(img.GetFlags(), kImageFlagIndexed | kImageFlagHasPalette);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 200);
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(100, 55, 200));
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(8, 238, 17));
}

TEST(PictureFiles, CoreHeaderIsWidenedAndBareDibsLoad) {
  BmpSpec s;
  s.core = true;
  s.bpp = 4;
  s.width = 3;
  s.height = 1;
  for (int i = 0; i < 16; ++i) {
    s.table.push_back(static_cast<BYTE>(i * 16));  // blue
    s.table.push_back(static_cast<BYTE>(i));       // green
    s.table.push_back(static_cast<BYTE>(200));     // red
  }
  s.rows = {0x5A, 0x30, 0, 0};
  for (bool bare : {false, true}) {
    s.bare = bare;
    bool ok = false;
    CImage img = Load(Write(bare ? "core.dib.bmp" : "core.bmp", MakeBmp(s)), ok);
    ASSERT_TRUE(ok) << bare;
    const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(img.GetImpl()->GetDib());
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(TableEntries(img), 16);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 5);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 10);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 3);
    EXPECT_EQ(ColorAt(img, 1, 0), RGB(200, 10, 160));
  }
}

TEST(PictureFiles, PalettisedBmpRoundTrip) {
  CImage img;
  ASSERT_TRUE(img.Create(5, 3, 8, -1));
  BYTE r[256], g[256], b[256];
  for (int i = 0; i < 256; ++i) {
    r[i] = static_cast<BYTE>(i);
    g[i] = static_cast<BYTE>(i * 3);
    b[i] = static_cast<BYTE>(255 - i);
  }
  ASSERT_TRUE(img.SetPaletteRGB(256, r, g, b));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) img.SetPixelIndex(x, y, x * 40 + y);
  const std::string path = TempPath("round8.bmp");
  ASSERT_TRUE(img.SaveFile(path.c_str()));
  EXPECT_EQ(fs::file_size(path), 14u + 40 + 1024 + 8 * 3);
  // The table in memory is back in index form.
  EXPECT_EQ(img.GetImpl()->GetDib()[40 + 2], 1);
  bool ok = false;
  CImage back = Load(path, ok);
  ASSERT_TRUE(ok);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(back.GetPixelIndex(x, y), x * 40 + y);
      EXPECT_EQ(ColorAt(back, x, y), ColorAt(img, x, y));
    }
}

TEST(PictureFiles, BitFieldsAndTopDownRowsAreRead) {
  BmpSpec s;
  s.bpp = 16;
  s.compression = BI_BITFIELDS;
  s.width = 2;
  s.height = -2;  // top-down
  PutLE32(s.table, 0xF800);
  PutLE32(s.table, 0x07E0);
  PutLE32(s.table, 0x001F);
  // Top row: pure red, pure green; bottom row: pure blue, white (5-6-5).
  PutLE16(s.rows, 0xF800);
  PutLE16(s.rows, 0x07E0);
  PutLE16(s.rows, 0x001F);
  PutLE16(s.rows, 0xFFFF);
  bool ok = false;
  CImage img = Load(Write("fields.bmp", MakeBmp(s)), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetHeight(), 2);
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(255, 0, 0));
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(0, 255, 0));
  EXPECT_EQ(ColorAt(img, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(ColorAt(img, 1, 0), RGB(255, 255, 255));
  CMemCanvas canvas(2, 2, 0);
  ASSERT_TRUE(img.Draw(canvas.dc(), 0, 0));
  EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
}

TEST(PictureFiles, BadBmpFilesAreRefusedByTheOwnReader) {
  BmpSpec good;
  good.bpp = 8;
  good.clrUsed = 2;
  good.table = {0, 0, 0, 0, 255, 255, 255, 0};
  good.rows = {0, 1, 0, 0, 1, 0, 0, 0};
  const Bytes goodFile = MakeBmp(good);
  HGLOBAL goodBlock = ReadDIBBytes(goodFile.data(), goodFile.size());
  ASSERT_NE(goodBlock, nullptr);
  GlobalFree(goodBlock);

  BmpSpec badBits = good;
  badBits.bpp = 7;
  BmpSpec tooManyColours = good;
  tooManyColours.clrUsed = 300;
  BmpSpec shortRows = good;
  shortRows.rows.resize(5);
  BmpSpec rle = good;
  rle.compression = BI_RLE8;
  BmpSpec fieldsOn24 = good;
  fieldsOn24.bpp = 24;
  fieldsOn24.compression = BI_BITFIELDS;
  for (const BmpSpec* s : {&badBits, &tooManyColours, &shortRows, &rle, &fieldsOn24}) {
    const Bytes file = MakeBmp(*s);
    HGLOBAL block = ReadDIBBytes(file.data(), file.size());
    EXPECT_EQ(block, nullptr);
    if (block) GlobalFree(block);
  }
  // A huge declared size is refused before anything is allocated.
  BmpSpec huge = good;
  huge.width = 0x7FFFFFF0;
  huge.height = 0x7FFFFFF0;
  const Bytes file = MakeBmp(huge);
  EXPECT_EQ(ReadDIBBytes(file.data(), file.size()), nullptr);
}

TEST(PictureFiles, RunLengthBmpFallsBackToTheCodecLayer) {
  // 2 x 2, 8 bits: rows of "two pixels of index 1", end of line, end of bitmap.
  BmpSpec s;
  s.bpp = 8;
  s.compression = BI_RLE8;
  s.clrUsed = 2;
  s.table = {0, 0, 0, 0, 10, 20, 30, 0};
  s.rows = {2, 1, 0, 0, 2, 1, 0, 1};
  bool ok = false;
  CImage img = Load(Write("rle.bmp", MakeBmp(s)), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetWidth(), 2);
  EXPECT_EQ(ColorAt(img, 1, 1), RGB(30, 20, 10));
}

// ---- The own GIF reader and writer -------------------------------------------------------

TEST(PictureFiles, GifTransparentIndexBuildsAFullPalette) {
  GifSpec s;
  s.width = 2;
  s.height = 1;
  s.pixels = {3, 5};
  for (int i = 0; i < 16; ++i) s.table.push_back(RGB(i * 10, i, 7));
  s.transparent = 3;
  bool ok = false;
  CImage img = Load(Write("trans.gif", MakeGif(s)), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetType(), kImageTypeGIF);
  EXPECT_EQ(img.GetBitsPerPixel(), 8);
  EXPECT_EQ(img.GetImpl()->GetTransparentIndex(), 3);
  const CImagePalette* pal = img.GetPalette();
  ASSERT_NE(pal, nullptr);
  ASSERT_EQ(pal->GetCount(), 256);
  for (int i = 0; i < 256; ++i) {
    BYTE r, g, b;
    ASSERT_TRUE(pal->GetEntryRGB(i, r, g, b));
    const COLORREF want = i == 3 ? RGB(0, 0, 0) : i < 16 ? RGB(i * 10, i, 7) : RGB(255, 255, 255);
    EXPECT_EQ(RGB(r, g, b), want) << i;
  }
  EXPECT_EQ(img.GetPixelIndex(0, 0), 3);
  EXPECT_EQ(img.GetPixelIndex(1, 0), 5);
}

TEST(PictureFiles, InterlacedGifRowsFollowThePasses) {
  // Rows in file order 0, 2, 1, 3 (from the top) for a height of 4: each
  // row's pixel is its file position, so the picture from the top reads
  // 0, 2, 1, 3.
  GifSpec s;
  s.width = 1;
  s.height = 4;
  s.pixels = {0, 1, 2, 3};
  for (int i = 0; i < 4; ++i) s.table.push_back(RGB(i, i, i));
  s.interlaced = true;
  CImageGIF impl;
  const Bytes gif = MakeGif(s);
  ASSERT_TRUE(impl.LoadFromBytes(gif.data(), gif.size()));
  const int fromTop[4] = {0, 2, 1, 3};
  for (int t = 0; t < 4; ++t) EXPECT_EQ(impl.GetPixelIndex(0, 3 - t), fromTop[t]) << t;

  s.height = 1;
  s.pixels = {2};
  const Bytes one = MakeGif(s);
  CImageGIF single;
  ASSERT_TRUE(single.LoadFromBytes(one.data(), one.size()));
  EXPECT_EQ(single.GetPixelIndex(0, 0), 2);
}

TEST(PictureFiles, GifBadCodeSizeGivesABlankPicture) {
  for (int bad : {1, 10}) {
    GifSpec s;
    s.width = 3;
    s.height = 2;
    s.pixels = {1, 2, 3, 1, 2, 3};
    for (int i = 0; i < 4; ++i) s.table.push_back(RGB(i * 50, 0, 0));
    s.forcedCodeSizeByte = bad;
    CImageGIF impl;
    const Bytes gif = MakeGif(s);
    ASSERT_TRUE(impl.LoadFromBytes(gif.data(), gif.size())) << bad;
    EXPECT_EQ(impl.GetWidth(), 3);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(impl.GetPixelIndex(x, y), 0);
  }
  CImageGIF notGif;
  const Bytes junk = {'G', 'I', 'F', '7', '8', '9', 'a', 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(notGif.LoadFromBytes(junk.data(), junk.size()));
  // A header and a trailer but no image: no picture.
  CImageGIF noImage;
  const Bytes empty = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
  EXPECT_FALSE(noImage.LoadFromBytes(empty.data(), empty.size()));
}

TEST(PictureFiles, GifImagesAreComposedOnTheScreen) {
  for (const gifbuild::Composition& c : gifbuild::Compositions()) {
    SCOPED_TRACE(c.what);
    const Bytes file = gifbuild::Build(c.file);
    CImageGIF own;
    ASSERT_TRUE(own.LoadFromBytes(file.data(), file.size()));
    ASSERT_EQ(own.GetWidth(), c.width);
    ASSERT_EQ(own.GetHeight(), c.height);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        BYTE r = 0, g = 0, b = 0;
        ASSERT_TRUE(own.GetPixelRGB(x, c.height - 1 - y, r, g, b));
        const BYTE* want = c.expected.data() + 3 * (y * c.width + x);
        EXPECT_EQ(RGB(r, g, b), RGB(want[0], want[1], want[2])) << x << "," << y;
      }
  }
  // One table for all: 8 bits with that palette; the first image's
  // transparent index also where nothing covers the screen.
  const Bytes file = gifbuild::Build(gifbuild::SharedTableFile());
  CImageGIF own;
  ASSERT_TRUE(own.LoadFromBytes(file.data(), file.size()));
  EXPECT_EQ(own.GetBitsPerPixel(), 8);
  EXPECT_EQ(own.GetTransparentIndex(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(own.GetPixelIndex(x, 1 - y), gifbuild::kSharedTableIndices[y][x]) << x << "," << y;
}

TEST(PictureFiles, SavedGifsReopenWhole) {
  // A picture of a colour for every pixel and one of a few colours, saved
  // as GIF and opened again by file name.
  bool ok = false;
  CImage rich(61, 37, ok, 0);
  ASSERT_TRUE(ok);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x)
      ASSERT_TRUE(rich.SetPixelRGB(x, y, static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 6), static_cast<BYTE>(x + y)));
  CImage few(45, 20, ok, RGB(200, 10, 10));
  ASSERT_TRUE(ok);
  for (int x = 0; x < 45; x += 2) few.SetPixelRGB(x, x % 20, 0, 0, 90);
  for (CImage* img : {&rich, &few}) {
    const std::string path = TempPath(img == &rich ? "rich.gif" : "few.gif");
    ASSERT_TRUE(img->SaveFile(path.c_str()));
    CImage back = Load(path, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(back.GetType(), kImageTypeGIF);
    EXPECT_TRUE(SamePixels(back, *img));
  }
}

TEST(PictureFiles, Gif87aWriterRoundTrip) {
  CImage img;
  ASSERT_TRUE(img.CreateImpl("", kImageTypeGIF));
  ASSERT_TRUE(img.Create(37, 23, 8, -1));
  img.SetType(kImageTypeGIF);
  BYTE r[256], g[256], b[256];
  for (int i = 0; i < 256; ++i) {
    r[i] = static_cast<BYTE>(i);
    g[i] = static_cast<BYTE>(i * 7);
    b[i] = static_cast<BYTE>(i * 13);
  }
  ASSERT_TRUE(img.SetPaletteRGB(256, r, g, b));
  // Long runs and varied pixels, enough codes to grow past 9 bits and clear.
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) img.SetPixelIndex(x, y, (x / 5 + y * y * 3 + (x * y) % 7) & 0xFF);
  const std::string path = TempPath("w87.gif");
  ASSERT_TRUE(img.GetImpl()->Save(path.c_str()));
  const Bytes file = qmtest::ReadAll(path);
  ASSERT_GT(file.size(), 13u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF87a");
  EXPECT_EQ(file[10], 0xE7);
  CImageGIF back;
  ASSERT_TRUE(back.LoadFromBytes(file.data(), file.size()));
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(back.GetPixelIndex(x, y), img.GetPixelIndex(x, y)) << x << "," << y;
  // Also a big noisy picture, past the 4096-code limit.
  CImage big;
  ASSERT_TRUE(big.CreateImpl("", kImageTypeGIF));
  ASSERT_TRUE(big.Create(300, 200, 8, -1));
  big.SetPaletteRGB(256, r, g, b);
  unsigned seed = 1;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) {
      seed = seed * 1103515245u + 12345u;
      big.SetPixelIndex(x, y, static_cast<int>((seed >> 16) & 0x3F));
    }
  const std::string bigPath = TempPath("big87.gif");
  ASSERT_TRUE(big.GetImpl()->Save(bigPath.c_str()));
  const Bytes bigFile = qmtest::ReadAll(bigPath);
  CImageGIF bigBack;
  ASSERT_TRUE(bigBack.LoadFromBytes(bigFile.data(), bigFile.size()));
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(bigBack.GetPixelIndex(x, y), big.GetPixelIndex(x, y));
  // The codec layer reads the file too.
  CBaseImage codec;
  ASSERT_TRUE(codec.Decode(bigFile.data(), static_cast<DWORD>(bigFile.size()), CODEC_FORMAT_GIF));
  EXPECT_EQ(codec.GetPixelIndex(7, 7), big.GetPixelIndex(7, 7));
}

TEST(PictureFiles, GifWriterRefusesTrueColour) {
  std::vector<CString> messages;
  SetMessageBoxHook([&](const CString& text, const CString&, UINT) {
    messages.push_back(text);
    return IDOK;
  });
  CImage img;
  ASSERT_TRUE(img.CreateImpl("", kImageTypeGIF));
  ASSERT_TRUE(img.Create(4, 4, 24, -1));
  const std::string path = TempPath("refused.gif");
  EXPECT_FALSE(img.GetImpl()->Save(path.c_str()));
  SetMessageBoxHook({});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], CString("GIF Images must be 8 bit or less"));
  EXPECT_FALSE(fs::exists(path));
}

// ---- Loading by extension, with the fallbacks -----------------------------------------

TEST(PictureFiles, CodecFormatsByExtensionWhateverTheCase) {
  bool ok = false;
  CImage img(16, 8, ok, 0);
  FillSmooth(img);
  for (const char* name : {"a.JPG", "a.jpeg"}) {
    const std::string path = TempPath(name);
    ASSERT_TRUE(img.SaveFile(path.c_str(), kImageTypeJPG));
    CImage back = Load(path, ok);
    ASSERT_TRUE(ok) << name;
    EXPECT_EQ(back.GetType(), kImageTypeJPG);
    EXPECT_EQ(back.GetBitsPerPixel(), 24);
    EXPECT_EQ(back.GetFileName(), CString(path.c_str()));
    EXPECT_TRUE(SamePixels(back, img, 12)) << name;
  }
  const std::string png = TempPath("a.png");
  ASSERT_TRUE(img.SaveFile(png.c_str()));
  CImage back = Load(png, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(back.GetType(), kImageTypePNG);
  EXPECT_TRUE(SamePixels(back, img));
  // A missing file.
  CImage missing = Load(TempPath("missing.png"), ok);
  EXPECT_FALSE(ok);
}

TEST(PictureFiles, UnreadableByTheOwnReaderFallsBackToContent) {
  const Bytes png = PatternPng(6, 4);
  bool ok = false;
  // A PNG named .gif: the own GIF reader refuses it, the loader by content
  // takes it; the type stays the one Load set.
  CImage gif = Load(Write("really-png.gif", png), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(gif.GetType(), kImageTypeGIF);
  EXPECT_EQ(gif.GetWidth(), 6);
  EXPECT_EQ(ColorAt(gif, 5, 3), PatternColor(5, 3));
  // An extension without a back-end class.
  CImage wmf = Load(Write("png-inside.wmf", png), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(wmf.GetType(), kImageTypeNone);
  EXPECT_EQ(ColorAt(wmf, 2, 1), PatternColor(2, 1));
  // Nothing can read it.
  CImage junk = Load(Write("junk.gif", Bytes(100, 0x11)), ok);
  EXPECT_FALSE(ok);
}

TEST(PictureFiles, SavingByType) {
  // A picture loaded from a TIFF file.
  CBaseImage codec;
  codec.Create(5, 4, 24, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) codec.SetPixelColor(x, y, PatternColor(x, y));
  const std::string tif = TempPath("src.tif");
  ASSERT_TRUE(codec.Save(tif.c_str(), CODEC_FORMAT_TIF));
  bool ok = false;
  CImage img = Load(tif, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetType(), kImageTypeTIF);

  // Types the program cannot write: false, nothing written, nothing changed.
  for (const char* name : {"x.tga", "x.tif", "x.psd", "x.xpm", "x"}) {
    const std::string path = TempPath(name);
    EXPECT_FALSE(img.SaveFile(path.c_str())) << name;
    EXPECT_FALSE(fs::exists(path)) << name;
  }
  EXPECT_EQ(img.GetType(), kImageTypeTIF);
  EXPECT_EQ(img.GetFileName(), CString(tif.c_str()));

  const std::string jpg = TempPath("x.jpg");
  const BYTE quality = 90;
  const int dpi[2] = {300, 150};
  ASSERT_TRUE(img.SaveFile(jpg.c_str(), -1, &quality, dpi));
  EXPECT_EQ(img.GetType(), kImageTypeJPG);
  const Bytes j = qmtest::ReadAll(jpg);
  ASSERT_GT(j.size(), 2u);
  EXPECT_EQ(j[0], 0xFF);
  EXPECT_EQ(j[1], 0xD8);
  CImage jback = Load(jpg, ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(SamePixels(jback, img, 48));

  // A picture made in memory is written as BMP by the own writer.
  CImage mem(3, 2, ok, RGB(1, 2, 3));
  const std::string bmp = TempPath("mem.bmp");
  ASSERT_TRUE(mem.SaveFile(bmp.c_str()));
  const Bytes b = qmtest::ReadAll(bmp);
  ASSERT_EQ(b.size(), 14u + 40 + 12 * 2);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(b[10], 54);
  EXPECT_EQ(b[54], 3);  // blue, green, red of the first pixel
  EXPECT_EQ(b[56], 1);

  // GIF through the codec layer.
  const std::string gif = TempPath("mem.gif");
  ASSERT_TRUE(mem.SaveFile(gif.c_str()));
  CImage gback = Load(gif, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ColorAt(gback, 0, 0), RGB(1, 2, 3));

  CImage empty;
  EXPECT_FALSE(empty.SaveFile(TempPath("empty.bmp").c_str()));
}

// ---- Memory blocks and the picture block -------------------------------------------------

TEST(PictureFiles, MemoryBlocksByName) {
  bool ok = false;
  CImage img(9, 5, ok, 0);
  FillPattern(img);
  for (const char* name : {".png", ".bmp", ".PNG"}) {
    CImageMemBlock block(name);
    ASSERT_TRUE(img.EncodeToMemoryBlock(block)) << name;
    EXPECT_EQ(block.ownerKind, CImageMemBlock::kOwnerCodec);
    CImage back;
    ASSERT_TRUE(back.LoadFromMemoryBlock(block)) << name;
    EXPECT_TRUE(SamePixels(back, img)) << name;
    EXPECT_TRUE(back.GetFileName().IsEmpty());
  }
  CImageMemBlock png(".png");
  ASSERT_TRUE(img.EncodeToMemoryBlock(png));
  for (const char* refused : {".tif", ".psd", "x.bmp", ".xyz"}) {
    png.SetName(refused);
    CImage back;
    EXPECT_FALSE(back.LoadFromMemoryBlock(png)) << refused;
  }
  CImageMemBlock empty(".png");
  CImage back;
  EXPECT_FALSE(back.LoadFromMemoryBlock(empty));
}

TEST(PictureFiles, PictureBlockLayout) {
  bool ok = false;
  CImage img(12, 10, ok, 0);
  FillSmooth(img);
  img.SetFileName("C:\\a.png");
  const int size = img.GetStreamSize(".jpg");
  ASSERT_GT(size, 0);
  Bytes buffer(static_cast<size_t>(size) + 10, 0xEE);
  CByteStream out(buffer.data(), static_cast<int>(buffer.size()));
  ASSERT_TRUE(img.WriteToStream(out, ".jpg"));
  EXPECT_EQ(out.GetPosition(), size);
  EXPECT_EQ(std::memcmp(buffer.data(), "ADDF938B-0BB5-4aef-8636-9006FE6036EE", 37), 0);
  EXPECT_EQ(std::memcmp(buffer.data() + 37, "C:\\a.png", 9), 0);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(buffer[46 + static_cast<size_t>(i)], 0);
  EXPECT_EQ(std::memcmp(buffer.data() + 174, ".jpg", 5), 0);
  const std::uint32_t L = buffer[179] | (buffer[180] << 8) | (buffer[181] << 16) | (static_cast<std::uint32_t>(buffer[182]) << 24);
  EXPECT_EQ(static_cast<int>(37 + 9 + 128 + 5 + 4 + L), size);
  EXPECT_EQ(buffer[183], 0xFF);  // JPEG data

  CByteStream in(buffer.data(), size);
  CImage back(in, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(back.GetFileName(), CString("C:\\a.png"));
  EXPECT_EQ(back.GetType(), kImageTypeJPG);
  EXPECT_TRUE(SamePixels(back, img, 12));
}

TEST(PictureFiles, PictureBlockWithoutMarkerAndEmptyBlocks) {
  bool ok = false;
  CImage img(4, 3, ok, RGB(9, 8, 7));
  img.SetFileName("name.bmp");
  CImageMemBlock block(".bmp");
  ASSERT_TRUE(img.EncodeToMemoryBlock(block));
  Bytes buffer(5 + 4 + block.size);
  CByteStream w(buffer.data(), static_cast<int>(buffer.size()));
  ASSERT_TRUE(w.WriteString(CString(".bmp")));
  ASSERT_TRUE(w.WriteBlob(block.data, static_cast<int>(block.size)));
  CByteStream r(buffer.data(), static_cast<int>(buffer.size()));
  CImage back;
  back.SetFileName("old");
  ASSERT_TRUE(back.ReadFromStream(r));
  EXPECT_TRUE(back.GetFileName().IsEmpty());
  EXPECT_EQ(ColorAt(back, 3, 2), RGB(9, 8, 7));

  // A length of 0 empties a picture that had pixels, and fails on an empty one.
  Bytes none;
  none.resize(5 + 4);
  CByteStream w0(none.data(), static_cast<int>(none.size()));
  ASSERT_TRUE(w0.WriteString(CString(".bmp")));
  ASSERT_TRUE(w0.WriteInt(0));
  CByteStream r0(none.data(), static_cast<int>(none.size()));
  EXPECT_TRUE(back.ReadFromStream(r0));
  EXPECT_FALSE(back.IsValid());
  CByteStream r1(none.data(), static_cast<int>(none.size()));
  EXPECT_FALSE(back.ReadFromStream(r1));

  // A blob that runs past the end.
  CByteStream shortStream(buffer.data(), static_cast<int>(buffer.size()) - 1);
  CImage cut;
  EXPECT_FALSE(cut.ReadFromStream(shortStream));
}

TEST(PictureFiles, PictureBlockNeedsRoomForEveryField) {
  bool ok = false;
  CImage img(4, 3, ok, RGB(1, 1, 1));
  const int size = img.GetStreamSize(".bmp");
  ASSERT_GT(size, 0);
  Bytes buffer(static_cast<size_t>(size) - 1);
  CByteStream out(buffer.data(), static_cast<int>(buffer.size()));
  EXPECT_FALSE(img.WriteToStream(out, ".bmp"));
  // Everything up to the length fitted; the length and data did not.
  EXPECT_EQ(out.GetPosition(), 37 + 1 + 128 + 5);
  CImage empty;
  EXPECT_EQ(empty.GetStreamSize(".bmp"), 0);
  CByteStream s(buffer.data(), static_cast<int>(buffer.size()));
  EXPECT_FALSE(empty.WriteToStream(s, ".bmp"));
}

TEST(PictureFiles, ClipboardRoundTrip) {
  bool ok = false;
  CImage img(7, 4, ok, 0);
  FillPattern(img);
  ASSERT_TRUE(img.CopyToClipboard());
  CImage back(ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(back.GetType(), kImageTypeBMP);
  EXPECT_TRUE(SamePixels(back, img));
  // Nothing but text on the clipboard: no picture.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  CImage none(ok);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(none.IsValid());
}

TEST(PictureFiles, OwnGifReaderAgreesWithTheCodecLayer) {
  // Compressed GIFs of every kind (the fuzz seeds): both readers give the
  // same indices.
  int files = 0;
  for (const char* dir : {"fuzz/picture/corpus/gif", "fuzz/codec/corpus/gif"}) {
    const fs::path folder = qmtest::SourceDir() / dir;
    if (!fs::is_directory(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const Bytes file = qmtest::ReadAll(entry.path());
      CBaseImage codec;
      if (!codec.Decode(file.data(), static_cast<DWORD>(file.size()), CODEC_FORMAT_GIF)) continue;
      CImageGIF own;
      ASSERT_TRUE(own.LoadFromBytes(file.data(), file.size())) << entry.path();
      ASSERT_EQ(own.GetWidth(), static_cast<int>(codec.GetWidth())) << entry.path();
      ASSERT_EQ(own.GetHeight(), static_cast<int>(codec.GetHeight())) << entry.path();
      // Indices where both keep them, else colours (the own reader blackens
      // a transparent entry for drawing).
      const bool indexed = own.GetBitsPerPixel() == 8 && codec.GetBpp() <= 8;
      for (int y = 0; y < own.GetHeight(); ++y)
        for (int x = 0; x < own.GetWidth(); ++x) {
          if (indexed) {
            ASSERT_EQ(own.GetPixelIndex(x, y), codec.GetPixelIndex(x, y)) << entry.path() << " " << x << "," << y;
            continue;
          }
          BYTE r = 0, g = 0, b = 0;
          ASSERT_TRUE(own.GetPixelRGB(x, y, r, g, b));
          ASSERT_EQ(RGB(r, g, b), CBaseImage::RGBQUADtoRGB(codec.GetPixelColor(x, y, false)))
              << entry.path() << " " << x << "," << y;
        }
      ++files;
    }
  }
  EXPECT_GE(files, 7);
}

TEST(PictureFiles, AnAnimationGivesItsFirstFrameByEveryRoute) {
  // Two full-screen frames with delays: red, then blue. A still file of two
  // images (no delay) stays composed.
  gifbuild::File anim{2, 2, {0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 0}, 0, {}};
  for (int frame = 0; frame < 2; ++frame) {
    gifbuild::Image im;
    im.width = im.height = 2;
    im.pixels.assign(4, static_cast<unsigned char>(frame + 1));
    im.delay = 10;
    anim.images.push_back(im);
  }
  const Bytes file = gifbuild::Build(anim);
  const auto dir = qmtest::MakeTempDir("gif-anim");
  qmtest::WriteAll(dir / "anim.gif", file);
  bool ok = false;
  CImage byPath((dir / "anim.gif").string().c_str(), ok);
  ASSERT_TRUE(ok);
  CImageMemBlock block(".gif");
  block.data = new BYTE[file.size()];
  block.size = static_cast<DWORD>(file.size());
  std::memcpy(block.data, file.data(), file.size());
  CImage byBlock;
  ASSERT_TRUE(byBlock.LoadFromMemoryBlock(block));
  CBaseImage codec;
  ASSERT_TRUE(codec.Decode(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()), CODEC_FORMAT_GIF));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      COLORREF a = 0, b = 0;
      ASSERT_TRUE(byPath.GetPixelColor(x, y, a));
      ASSERT_TRUE(byBlock.GetPixelColor(x, y, b));
      EXPECT_EQ(a, RGB(255, 0, 0)) << x << "," << y;
      EXPECT_EQ(b, RGB(255, 0, 0)) << x << "," << y;
      EXPECT_EQ(CBaseImage::RGBQUADtoRGB(codec.GetPixelColor(x, y, false)), RGB(255, 0, 0));
    }
  gifbuild::File still = anim;
  for (auto& im : still.images) im.delay = 0;
  still.images[1].width = 1;
  still.images[1].pixels.assign(2, 2);
  const Bytes stillFile = gifbuild::Build(still);
  CImageGIF own;
  ASSERT_TRUE(own.LoadFromBytes(stillFile.data(), stillFile.size()));
  EXPECT_EQ(own.GetPixelIndex(0, 0), 2);
  EXPECT_EQ(own.GetPixelIndex(1, 0), 1);
}
