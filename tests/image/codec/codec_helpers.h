// Helpers shared by the codec tests.
#pragma once

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "image/codec/BaseImage.h"
#include "image/codec/CodecFile.h"
#include "tests/common/test_util.h"

namespace codectest {

using Bytes = std::vector<BYTE>;

inline COLORREF PatternColor(long x, long y) {
  return RGB(static_cast<BYTE>(x * 37 + y * 11), static_cast<BYTE>(x * 13 + y * 59), static_cast<BYTE>(x * x + y * 7));
}

// A 24-bit picture of the test pattern.
inline void MakePattern(CBaseImage& img, DWORD w, DWORD h) {
  ASSERT_TRUE(img.Create(w, h, 24, 0));
  for (long y = 0; y < static_cast<long>(h); ++y)
    for (long x = 0; x < static_cast<long>(w); ++x) img.SetPixelColor(x, y, PatternColor(x, y));
}

inline COLORREF ColorAt(CBaseImage& img, long x, long y) {
  const RGBQUAD c = img.GetPixelColor(x, y, false);
  return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// True when every pixel of b has a's colour.
inline ::testing::AssertionResult SameColors(CBaseImage& a, CBaseImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
    return ::testing::AssertionFailure() << "size " << a.GetWidth() << "x" << a.GetHeight() << " vs " << b.GetWidth()
                                         << "x" << b.GetHeight();
  for (long y = 0; y < static_cast<long>(a.GetHeight()); ++y)
    for (long x = 0; x < static_cast<long>(a.GetWidth()); ++x)
      if (ColorAt(a, x, y) != ColorAt(b, x, y))
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << std::hex << ColorAt(a, x, y)
                                             << " vs " << ColorAt(b, x, y);
  return ::testing::AssertionSuccess();
}

inline Bytes EncodeTo(CBaseImage& img, DWORD type) {
  BYTE* buffer = nullptr;
  long size = 0;
  if (!img.Encode(buffer, size, type)) {
    ADD_FAILURE() << "encode failed: " << img.GetLastError();
    return {};
  }
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

inline bool DecodeFrom(CBaseImage& img, const Bytes& data, DWORD type) {
  return img.Decode(data.data(), static_cast<DWORD>(data.size()), type);
}

inline void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v));
  b.push_back(static_cast<BYTE>(v >> 8));
}
inline void Put32(Bytes& b, unsigned v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(v >> (8 * i)));
}
inline void PutBE16(Bytes& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v >> 8));
  b.push_back(static_cast<BYTE>(v));
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// A 40-byte (or other-sized) info header.
inline Bytes InfoHeader(long w, long h, int bits, DWORD comp = BI_RGB, DWORD clrUsed = 0, DWORD size = 40,
                        DWORD sizeImage = 0, long ppm = 0) {
  Bytes b;
  Put32(b, size);
  Put32(b, static_cast<unsigned>(w));
  Put32(b, static_cast<unsigned>(h));
  Put16(b, 1);
  Put16(b, static_cast<unsigned>(bits));
  Put32(b, comp);
  Put32(b, sizeImage);
  Put32(b, static_cast<unsigned>(ppm));
  Put32(b, static_cast<unsigned>(ppm));
  Put32(b, clrUsed);
  Put32(b, 0);
  while (b.size() < size) b.push_back(0);
  return b;
}

// A 12-byte core header.
inline Bytes CoreHeader(unsigned w, unsigned h, unsigned bits) {
  Bytes b;
  Put32(b, 12);
  Put16(b, w);
  Put16(b, h);
  Put16(b, 1);
  Put16(b, bits);
  return b;
}

// A BMP file: file header (data offset right after `body`), then body, then pixels.
inline Bytes BmpFile(const Bytes& body, const Bytes& pixels) {
  Bytes b = {'B', 'M'};
  Put32(b, static_cast<unsigned>(14 + body.size() + pixels.size()));
  Put32(b, 0);
  Put32(b, static_cast<unsigned>(14 + body.size()));
  Append(b, body);
  Append(b, pixels);
  return b;
}

// A memory stream whose writes fail once `limit` bytes have been written.
class FailingFile : public CCodecMemFile {
 public:
  explicit FailingFile(long limit) : limit_(limit) { Open(); }
  size_t Write(const void* buffer, size_t size, size_t count) override {
    if (Tell() + static_cast<long>(size * count) > limit_) {
      failed_ = true;
      return 0;
    }
    return CCodecMemFile::Write(buffer, size, count);
  }
  bool PutC(unsigned char c) override { return Write(&c, 1, 1) == 1; }
  long Error() override { return failed_ ? 1 : CCodecMemFile::Error(); }
  bool failed() const { return failed_; }

 private:
  long limit_;
  bool failed_ = false;
};

// The body of an EXIF block (TIFF-structured) in either byte order.
struct ExifBytes {
  explicit ExifBytes(bool bigEndian) : motorola(bigEndian) {
    Append(b, motorola ? Bytes{'M', 'M'} : Bytes{'I', 'I'});
  }
  void u16(unsigned v) { motorola ? PutBE16(b, v) : Put16(b, v); }
  void u32(unsigned v) {
    if (motorola) {
      PutBE16(b, v >> 16);
      PutBE16(b, v & 0xFFFF);
    } else {
      Put32(b, v);
    }
  }
  // A directory entry: tag, format, count, then the value (one short fills
  // the four bytes).
  void Entry(unsigned tag, unsigned format, unsigned count, unsigned value) {
    u16(tag);
    u16(format);
    u32(count);
    if (format == 3 && count == 1) {
      u16(value);
      u16(0);
    } else {
      u32(value);
    }
  }
  // The block as an APP1 segment carries it, after "Exif\0\0".
  Bytes Block() const {
    Bytes block = {'E', 'x', 'i', 'f', 0, 0};
    Append(block, b);
    return block;
  }

  bool motorola;
  Bytes b;
};

// The JPEG with a segment inserted right after its start marker.
inline Bytes WithSegment(const Bytes& jpeg, BYTE marker, const Bytes& data) {
  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  out.push_back(0xFF);
  out.push_back(marker);
  PutBE16(out, static_cast<unsigned>(data.size() + 2));
  Append(out, data);
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// A JPEG written by libjpeg itself, for layouts the codec layer does not
// write: rows of w x components samples, top first.
inline Bytes LibJpeg(int w, int h, int components, J_COLOR_SPACE space, const Bytes& pixels, UINT8 densityUnit = 0,
                     UINT16 density = 1, int quality = 95) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(w);
  cinfo.image_height = static_cast<JDIMENSION>(h);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.density_unit = densityUnit;
  cinfo.X_density = density;
  cinfo.Y_density = density;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<BYTE*>(pixels.data()) + cinfo.next_scanline * w * components;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes result(out, out + size);
  std::free(out);
  return result;
}

// A TIFF written by libtiff itself: `setup` sets the tags (and may write
// the data itself), then the rows are written top first, or the tiles when
// `tile` is set.
inline Bytes LibTiff(const std::function<void(TIFF*)>& setup, const std::vector<Bytes>& rows = {},
                     const std::function<void(TIFF*)>& tile = nullptr) {
  static int n = 0;
  const auto path = qmtest::MakeTempDir("codec_tiff") / ("t" + std::to_string(++n) + ".tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  setup(tif);
  if (tile) {
    tile(tif);
  } else {
    for (size_t y = 0; y < rows.size(); ++y)
      TIFFWriteScanline(tif, const_cast<BYTE*>(rows[y].data()), static_cast<uint32_t>(y), 0);
  }
  TIFFClose(tif);
  return qmtest::ReadAll(path);
}

// The tags of a contiguous picture.
inline void TiffTags(TIFF* t, uint32_t w, uint32_t h, uint16_t bits, uint16_t samples, uint16_t photometric) {
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
}

}  // namespace codectest
