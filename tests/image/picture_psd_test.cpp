// The Photoshop reader: status codes, colour modes, depths, raw and
// PackBits data, image resources.
#include <gtest/gtest.h>

#include "image/PsdReader.h"
#include "picture_helpers.h"

using namespace picturetest;

namespace {

struct PsdSpec {
  int version = 1;
  int channels = 3;
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  int depth = 8;
  int mode = kPsdModeRGB;
  Bytes colorModeData;
  Bytes resources;
  Bytes layers;
  int compression = 0;
  std::vector<Bytes> planes;  // samples, big-endian at 16 bits
  Bytes rleOverride;          // PackBits data written instead of the planes'
};

// Literal PackBits runs of at most 128 bytes.
Bytes PackLiteral(const Bytes& plane) {
  Bytes out;
  for (size_t i = 0; i < plane.size(); i += 128) {
    const size_t n = std::min<size_t>(128, plane.size() - i);
    out.push_back(static_cast<BYTE>(n - 1));
    out.insert(out.end(), plane.begin() + static_cast<long>(i), plane.begin() + static_cast<long>(i + n));
  }
  return out;
}

Bytes MakePsd(const PsdSpec& s) {
  Bytes b = {'8', 'B', 'P', 'S'};
  PutBE16(b, static_cast<unsigned>(s.version));
  b.insert(b.end(), 6, 0);
  PutBE16(b, static_cast<unsigned>(s.channels));
  PutBE32(b, s.height);
  PutBE32(b, s.width);
  PutBE16(b, static_cast<unsigned>(s.depth));
  PutBE16(b, static_cast<unsigned>(s.mode));
  PutBE32(b, static_cast<std::uint32_t>(s.colorModeData.size()));
  b.insert(b.end(), s.colorModeData.begin(), s.colorModeData.end());
  PutBE32(b, static_cast<std::uint32_t>(s.resources.size()));
  b.insert(b.end(), s.resources.begin(), s.resources.end());
  PutBE32(b, static_cast<std::uint32_t>(s.layers.size()));
  b.insert(b.end(), s.layers.begin(), s.layers.end());
  PutBE16(b, static_cast<unsigned>(s.compression));
  if (s.compression == 1) {
    for (int i = 0; i < s.channels * static_cast<int>(s.height); ++i) PutBE16(b, 0);
    if (!s.rleOverride.empty()) {
      b.insert(b.end(), s.rleOverride.begin(), s.rleOverride.end());
    } else {
      for (const Bytes& p : s.planes) {
        const Bytes packed = PackLiteral(p);
        b.insert(b.end(), packed.begin(), packed.end());
      }
    }
  } else {
    for (const Bytes& p : s.planes) b.insert(b.end(), p.begin(), p.end());
  }
  return b;
}

Bytes Resource(int id, const std::string& name, const Bytes& data) {
  Bytes r = {'8', 'B', 'I', 'M'};
  PutBE16(r, static_cast<unsigned>(id));
  r.push_back(static_cast<BYTE>(name.size()));
  r.insert(r.end(), name.begin(), name.end());
  if ((1 + name.size()) % 2) r.push_back(0);
  PutBE32(r, static_cast<std::uint32_t>(data.size()));
  r.insert(r.end(), data.begin(), data.end());
  if (data.size() % 2) r.push_back(0);
  return r;
}

struct Result {
  int status;
  std::unique_ptr<CImage> image;
};

Result Read(const PsdSpec& s) {
  const Bytes file = MakePsd(s);
  CPsdReader reader;
  Result r{reader.LoadFromBytes(file.data(), file.size()), nullptr};
  if (r.status == kPsdOk) {
    HBITMAP bitmap = reader.DetachBitmap();
    EXPECT_NE(bitmap, nullptr);
    if (bitmap) {
      r.image = std::make_unique<CImage>(bitmap);
      DeleteObject(bitmap);
    }
  }
  return r;
}

COLORREF First(const Result& r) { return r.image ? ColorAt(*r.image, 0, r.image->GetHeight() - 1) : CLR_INVALID; }

PsdSpec Rgb(BYTE r, BYTE g, BYTE b) {
  PsdSpec s;
  s.planes = {{r}, {g}, {b}};
  return s;
}

}  // namespace

TEST(PicturePsd, HeaderStatusCodes) {
  PsdSpec v2 = Rgb(1, 2, 3);
  v2.version = 2;
  EXPECT_EQ(Read(v2).status, kPsdBadHeader);
  Bytes file = MakePsd(Rgb(1, 2, 3));
  file[8] = 1;  // reserved byte
  CPsdReader reader;
  EXPECT_EQ(reader.LoadFromBytes(file.data(), file.size()), kPsdBadHeader);
  file[0] = 'X';
  EXPECT_EQ(reader.LoadFromBytes(file.data(), file.size()), kPsdBadHeader);
  EXPECT_EQ(reader.LoadFromBytes(file.data(), 20), kPsdBadHeader);
  EXPECT_EQ(reader.Load(TempPath("missing.psd").c_str()), kPsdCannotOpen);
  // Colour mode data longer than the file.
  Bytes cut = MakePsd(Rgb(1, 2, 3));
  cut.resize(30);
  cut[29] = 200;
  EXPECT_EQ(reader.LoadFromBytes(cut.data(), cut.size()), kPsdBadColorModeData);
}

TEST(PicturePsd, DepthAndCompressionStatusCodes) {
  PsdSpec bit = Rgb(0, 0, 0);
  bit.depth = 1;
  bit.mode = kPsdModeBitmap;
  bit.channels = 1;
  bit.planes = {{0}};
  EXPECT_EQ(Read(bit).status, kPsdDepth1);
  PsdSpec four = Rgb(0, 0, 0);
  four.depth = 4;
  EXPECT_EQ(Read(four).status, kPsdBadDepth);
  for (auto [compression, status] : {std::pair{2, kPsdZip}, {3, kPsdZipPrediction}, {7, kPsdBadCompression}}) {
    PsdSpec s = Rgb(0, 0, 0);
    s.compression = compression;
    EXPECT_EQ(Read(s).status, status) << compression;
  }
  // A ZIP document at depth 1 reports the compression.
  bit.compression = 2;
  EXPECT_EQ(Read(bit).status, kPsdZip);
}

TEST(PicturePsd, RgbWithAlphaLoadsRawAndPacked) {
  for (int compression : {0, 1}) {
    PsdSpec s;
    s.width = 2;
    s.channels = 4;
    s.compression = compression;
    s.planes = {{10, 20}, {30, 40}, {50, 60}, {0, 255}};
    const Result r = Read(s);
    ASSERT_EQ(r.status, kPsdOk) << compression;
    ASSERT_TRUE(r.image);
    EXPECT_EQ(ColorAt(*r.image, 0, 0), RGB(10, 30, 50));
    EXPECT_EQ(ColorAt(*r.image, 1, 0), RGB(20, 40, 60));
  }
}

TEST(PicturePsd, TooFewChannelsAndShortData) {
  PsdSpec one = Rgb(1, 2, 3);
  one.channels = 1;
  one.planes = {{1}};
  EXPECT_EQ(Read(one).status, kPsdBadImageData);
  PsdSpec cmyk3 = Rgb(1, 2, 3);
  cmyk3.mode = kPsdModeCMYK;
  EXPECT_EQ(Read(cmyk3).status, kPsdBadImageData);
  PsdSpec shortRaw = Rgb(1, 2, 3);
  shortRaw.planes = {{1}, {2}};
  EXPECT_EQ(Read(shortRaw).status, kPsdBadImageData);
  PsdSpec shortRle = Rgb(1, 2, 3);
  shortRle.compression = 1;
  shortRle.rleOverride = {0, 1, 0};
  EXPECT_EQ(Read(shortRle).status, kPsdBadImageData);
  // A too large picture is refused before its planes are allocated.
  PsdSpec huge = Rgb(1, 2, 3);
  huge.width = 30000;
  huge.height = 30000;
  EXPECT_EQ(Read(huge).status, kPsdNoBitmap);
}

TEST(PicturePsd, PackBitsRunsStayInsideThePlane) {
  // Gray 3 x 1: a repeat run of 100 (only 3 fit), then a literal that
  // would run past the plane.
  PsdSpec s;
  s.mode = kPsdModeGrayscale;
  s.channels = 1;
  s.width = 3;
  s.compression = 1;
  s.rleOverride = {static_cast<BYTE>(257 - 100), 77};
  Result r = Read(s);
  ASSERT_EQ(r.status, kPsdOk);
  EXPECT_EQ(ColorAt(*r.image, 2, 0), RGB(77, 77, 77));
  s.rleOverride = {0x80, 4, 1, 2, 3, 4, 5};  // no-op, then 5 literals
  r = Read(s);
  ASSERT_EQ(r.status, kPsdOk);
  EXPECT_EQ(ColorAt(*r.image, 2, 0), RGB(3, 3, 3));
}

TEST(PicturePsd, SixteenBitGrey) {
  for (int compression : {0, 1}) {
    PsdSpec s;
    s.mode = kPsdModeGrayscale;
    s.channels = 1;
    s.depth = 16;
    s.width = 2;
    s.compression = compression;
    s.planes = {{0x80, 0x00, 0xFF, 0xFF}};
    const Result r = Read(s);
    ASSERT_EQ(r.status, kPsdOk) << compression;
    EXPECT_EQ(ColorAt(*r.image, 0, 0), RGB(128, 128, 128));
    EXPECT_EQ(ColorAt(*r.image, 1, 0), RGB(255, 255, 255));
  }
}

TEST(PicturePsd, CmykInkIsInverted) {
  PsdSpec s;
  s.mode = kPsdModeCMYK;
  s.channels = 4;
  s.width = 2;
  s.planes = {{255, 255}, {255, 255}, {255, 255}, {255, 0}};
  const Result r = Read(s);
  ASSERT_EQ(r.status, kPsdOk);
  EXPECT_EQ(ColorAt(*r.image, 0, 0), RGB(253, 253, 253));
  EXPECT_EQ(ColorAt(*r.image, 1, 0), RGB(0, 0, 0));
  // Multichannel with three channels: CMY without black.
  PsdSpec m;
  m.mode = kPsdModeMultichannel;
  m.channels = 3;
  m.planes = {{0}, {255}, {255}};
  const Result mr = Read(m);
  ASSERT_EQ(mr.status, kPsdOk);
  EXPECT_EQ(First(mr), RGB(0, 254, 254));
}

TEST(PicturePsd, IndexedTakesItsColourTable) {
  // The colour table's entries are the colours, with or without the
  // resource that counts them.
  PsdSpec s;
  s.mode = kPsdModeIndexed;
  s.channels = 1;
  s.width = 2;
  s.planes = {{1, 2}};
  s.colorModeData.assign(768, 0);
  s.colorModeData[1] = 11;
  s.colorModeData[256 + 1] = 22;
  s.colorModeData[512 + 1] = 33;
  s.colorModeData[2] = 200;
  for (bool counted : {false, true}) {
    s.resources = counted ? Resource(1046, "", {0, 3}) : Bytes{};
    const Result r = Read(s);
    ASSERT_EQ(r.status, kPsdOk) << counted;
    EXPECT_EQ(r.image->GetWidth(), 2);
    EXPECT_EQ(ColorAt(*r.image, 0, 0), RGB(11, 22, 33)) << counted;
    EXPECT_EQ(ColorAt(*r.image, 1, 0), RGB(200, 0, 0)) << counted;
  }
}

TEST(PicturePsd, LabLightAndDark) {
  PsdSpec s;
  s.mode = kPsdModeLab;
  s.width = 2;
  s.planes = {{255, 0}, {128, 128}, {128, 128}};
  const Result r = Read(s);
  ASSERT_EQ(r.status, kPsdOk);
  const COLORREF light = ColorAt(*r.image, 0, 0);
  EXPECT_EQ(light, RGB(254, 254, 254));
  EXPECT_EQ(ColorAt(*r.image, 1, 0), RGB(0, 0, 0));
}

TEST(PicturePsd, ResourceNamesArePaddedToEvenSizes) {
  Bytes resolution;
  PutBE32(resolution, 300u << 16);
  PutBE16(resolution, 1);
  PutBE16(resolution, 1);
  PutBE32(resolution, 150u << 16);
  PutBE16(resolution, 1);
  PutBE16(resolution, 2);
  PsdSpec s = Rgb(5, 6, 7);
  s.resources = Resource(1005, "abc", resolution);  // odd name: no pad byte
  Bytes more = Resource(1037, "ab", {0, 0, 0, 45});  // even name: one pad byte
  s.resources.insert(s.resources.end(), more.begin(), more.end());
  Bytes unknown = Resource(4000, "", {1, 2, 3});
  s.resources.insert(s.resources.end(), unknown.begin(), unknown.end());
  const Bytes file = MakePsd(s);
  CPsdReader reader;
  ASSERT_EQ(reader.LoadFromBytes(file.data(), file.size()), kPsdOk);
  EXPECT_TRUE(reader.GetResources().hasResolution);
  EXPECT_EQ(reader.GetResources().hRes, static_cast<std::int32_t>(300u << 16));
  EXPECT_EQ(reader.GetResources().vRes, static_cast<std::int32_t>(150u << 16));
  EXPECT_EQ(reader.GetResources().heightUnit, 2);
  EXPECT_EQ(reader.GetResources().globalAngle, 45);
  // A section length that does not match its blocks.
  Bytes bad = s.resources;
  bad.push_back(0);
  bad.push_back(0);
  s.resources = bad;
  EXPECT_EQ(Read(s).status, kPsdBadResources);
}

TEST(PicturePsd, LoadFileMakesA24BitPicture) {
  PsdSpec s;
  s.width = 3;
  s.height = 2;
  s.planes = {{1, 2, 3, 4, 5, 6}, {10, 20, 30, 40, 50, 60}, {0, 0, 0, 9, 9, 9}};
  const std::string path = TempPath("doc.psd");
  qmtest::WriteAll(path, MakePsd(s));
  bool ok = false;
  CImage img(path.c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(img.GetType(), kImageTypePSD);
  EXPECT_EQ(img.GetBitsPerPixel(), 24);
  // The first row of the document is the top row of the picture.
  EXPECT_EQ(ColorAt(img, 0, 1), RGB(1, 10, 0));
  EXPECT_EQ(ColorAt(img, 2, 0), RGB(6, 60, 9));
  const std::string zip = TempPath("zip.psd");
  s.compression = 2;
  qmtest::WriteAll(zip, MakePsd(s));
  CImage failed(zip.c_str(), ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(failed.GetType(), kImageTypePSD);
}
