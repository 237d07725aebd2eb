// Helpers shared by the codec tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/codec/BaseImage.h"
#include "image/codec/CodecFile.h"

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
class FailingFile : public CxMemFile {
 public:
  explicit FailingFile(long limit) : limit_(limit) { Open(); }
  size_t Write(const void* buffer, size_t size, size_t count) override {
    if (Tell() + static_cast<long>(size * count) > limit_) {
      failed_ = true;
      return 0;
    }
    return CxMemFile::Write(buffer, size, count);
  }
  bool PutC(unsigned char c) override { return Write(&c, 1, 1) == 1; }
  long Error() override { return failed_ ? 1 : CxMemFile::Error(); }
  bool failed() const { return failed_; }

 private:
  long limit_;
  bool failed_ = false;
};

}  // namespace codectest
