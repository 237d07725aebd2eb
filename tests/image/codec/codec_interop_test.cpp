// What the codec layer writes, another reader (Qt's) reads the same, and the
// other way round.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

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
  // A one-tile true-colour GIF is a plain GIF.
  CBaseImage tile;
  MakePattern(tile, 17, 15);
  EXPECT_TRUE(SameAsQt(tile, QtRead(EncodeTo(tile, CODEC_FORMAT_GIF), "GIF")));
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
