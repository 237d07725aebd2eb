// What the codec layer writes, another reader (Qt's) reads the same, and the
// other way round.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdio>
#include <string>

#include "codec_helpers.h"

using namespace codectest;

namespace {

QImage QtRead(const Bytes& data, const char* format) {
  QImage img;
  img.loadFromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), format);
  return img;
}

Bytes QtWrite(const QImage& img, const char* format, int quality = -1) {
  QByteArray out;
  QBuffer buf(&out);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, format, quality);
  return Bytes(out.begin(), out.end());
}

::testing::AssertionResult SameAsQt(CBaseImage& ours, const QImage& qt, int tolerance = 0) {
  if (qt.isNull()) return ::testing::AssertionFailure() << "Qt could not read it";
  if (static_cast<DWORD>(qt.width()) != ours.GetWidth() || static_cast<DWORD>(qt.height()) != ours.GetHeight())
    return ::testing::AssertionFailure() << "sizes differ";
  for (int y = 0; y < qt.height(); ++y)
    for (int x = 0; x < qt.width(); ++x) {
      const QRgb q = qt.pixel(x, y);
      const COLORREF c = ColorAt(ours, x, static_cast<long>(ours.GetHeight()) - 1 - y);
      if (std::abs(qRed(q) - GetRValue(c)) > tolerance || std::abs(qGreen(q) - GetGValue(c)) > tolerance ||
          std::abs(qBlue(q) - GetBValue(c)) > tolerance)
        return ::testing::AssertionFailure() << "pixel " << x << "," << y;
    }
  return ::testing::AssertionSuccess();
}

// A picture of a colour for every pixel.
void MakeRich(CBaseImage& img, DWORD w, DWORD h) {
  ASSERT_TRUE(img.Create(w, h, 24, 0));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x)
      img.SetPixelColor(x, y, RGB(static_cast<BYTE>(x * 3 + y), static_cast<BYTE>(y * 6), static_cast<BYTE>(x * 2 + y * 2)));
}

// A command's standard output; empty when it fails.
std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof(buf), p)) > 0;) out.append(buf, n);
  if (pclose(p) != 0) out.clear();
  return out;
}

bool HaveImageMagick() { return RunCommand("convert -version").find("ImageMagick") != std::string::npos; }

}  // namespace

TEST(CodecInterop, OurFilesReadByQt) {
  CBaseImage rgb;
  MakePattern(rgb, 37, 23);
  EXPECT_TRUE(SameAsQt(rgb, QtRead(EncodeTo(rgb, CODEC_FORMAT_BMP), "BMP")));
  EXPECT_TRUE(SameAsQt(rgb, QtRead(EncodeTo(rgb, CODEC_FORMAT_PNG), "PNG")));
  CBaseImage eight(29, 31, 8, 0);
  for (int i = 0; i < 256; ++i) eight.SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i * 7), 40);
  for (long y = 0; y < 31; ++y)
    for (long x = 0; x < 29; ++x) eight.SetPixelIndex(x, y, static_cast<BYTE>(x * y));
  EXPECT_TRUE(SameAsQt(eight, QtRead(EncodeTo(eight, CODEC_FORMAT_GIF), "GIF")));
  EXPECT_TRUE(SameAsQt(eight, QtRead(EncodeTo(eight, CODEC_FORMAT_PNG), "PNG")));
  EXPECT_TRUE(SameAsQt(eight, QtRead(EncodeTo(eight, CODEC_FORMAT_BMP), "BMP")));
  EXPECT_TRUE(SameAsQt(eight, QtRead(EncodeTo(eight, CODEC_FORMAT_ICO), "ICO")));
  // A true-colour picture of few colours is a plain GIF.
  CBaseImage tile;
  MakePattern(tile, 17, 15);
  EXPECT_TRUE(SameAsQt(tile, QtRead(EncodeTo(tile, CODEC_FORMAT_GIF), "GIF")));
  // Of many colours, Qt's reader shows the first image: the whole picture
  // in the colours of the fixed table (levels 51 apart, dithered).
  CBaseImage rich;
  MakeRich(rich, 70, 40);
  EXPECT_TRUE(SameAsQt(rich, QtRead(EncodeTo(rich, CODEC_FORMAT_GIF), "GIF"), 51));
  CBaseImage smooth(40, 40, 24, 0);
  for (long y = 0; y < 40; ++y)
    for (long x = 0; x < 40; ++x) smooth.SetPixelColor(x, y, RGB(static_cast<BYTE>(x * 6), static_cast<BYTE>(y * 6), 90));
  smooth.SetJpegQuality(100);
  EXPECT_TRUE(SameAsQt(smooth, QtRead(EncodeTo(smooth, CODEC_FORMAT_JPG), "JPG"), 6));
}

TEST(CodecInterop, QtFilesReadByUs) {
  QImage q(31, 17, QImage::Format_RGB32);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 31; ++x) {
      const COLORREF c = PatternColor(x, y);
      q.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  for (const char* format : {"BMP", "PNG"}) {
    CBaseImage img;
    ASSERT_TRUE(DecodeFrom(img, QtWrite(q, format), CODEC_FORMAT_UNKNOWN)) << format << img.GetLastError();
    EXPECT_TRUE(SameAsQt(img, q)) << format;
  }
  QImage indexed = q.convertToFormat(QImage::Format_Indexed8);
  CBaseImage img;
  ASSERT_TRUE(DecodeFrom(img, QtWrite(indexed, "BMP"), CODEC_FORMAT_BMP));
  EXPECT_TRUE(SameAsQt(img, indexed));
  QImage argb(9, 9, QImage::Format_ARGB32);
  argb.fill(qRgba(10, 200, 30, 128));
  ASSERT_TRUE(DecodeFrom(img, QtWrite(argb, "PNG"), CODEC_FORMAT_PNG));
  EXPECT_EQ(img.AlphaGet(4, 4), 128);
  EXPECT_EQ(ColorAt(img, 4, 4), RGB(10, 200, 30));
  QImage smooth(32, 32, QImage::Format_RGB32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) smooth.setPixel(x, y, qRgb(x * 8, y * 8, 60));
  ASSERT_TRUE(DecodeFrom(img, QtWrite(smooth, "JPG", 100), CODEC_FORMAT_UNKNOWN));
  EXPECT_TRUE(SameAsQt(img, smooth, 6));
}

TEST(CodecInterop, ImageMagickComposesOurManyColourGifs) {
  // Every image is left in place and none waits, so ImageMagick's
  // composition of all of them is the picture itself.
  if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  CBaseImage rich;
  MakeRich(rich, 70, 40);
  const auto path = qmtest::MakeTempDir("codec_interop") / "rich.gif";
  qmtest::WriteAll(path, EncodeTo(rich, CODEC_FORMAT_GIF));
  const std::string frames = RunCommand("identify -format '%T %D %g\\n' '" + path.string() + "'");
  ASSERT_FALSE(frames.empty());
  size_t count = 0;
  for (size_t at = 0, end; (end = frames.find('\n', at)) != std::string::npos; at = end + 1, ++count) {
    const std::string line = frames.substr(at, end - at);
    EXPECT_EQ(line.substr(0, 7), "0 None ") << line;
    if (count == 0) EXPECT_EQ(line, "0 None 70x40+0+0");
  }
  EXPECT_GT(count, 1u);
  const std::string rgb = RunCommand("convert '" + path.string() + "' -coalesce -delete 0--2 -depth 8 rgb:-");
  ASSERT_EQ(rgb.size(), 70u * 40 * 3);
  for (long y = 0; y < 40; ++y)
    for (long x = 0; x < 70; ++x) {
      const BYTE* p = reinterpret_cast<const BYTE*>(rgb.data()) + 3 * (y * 70 + x);
      ASSERT_EQ(RGB(p[0], p[1], p[2]), ColorAt(rich, x, 39 - y)) << x << "," << y;
    }
}
