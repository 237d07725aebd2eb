// Helpers shared by the picture tests: pictures with known pixels, memory
// canvases to draw on, and hand-made GIF, BMP and Photoshop files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/Image.h"
#include "image/codec/BaseImage.h"
#include "tests/common/test_util.h"
#include "tests/image/gif_builder.h"

namespace picturetest {

using Bytes = std::vector<BYTE>;

inline std::string TempPath(const std::string& name) {
  static const std::filesystem::path dir = qmtest::MakeTempDir("picture");
  return (dir / name).string();
}

inline COLORREF PatternColor(int x, int y) {
  return RGB(static_cast<BYTE>(x * 37 + y * 11), static_cast<BYTE>(x * 13 + y * 59), static_cast<BYTE>(x * x + y * 7));
}

// A PNG of the test pattern written by the codec layer.
inline Bytes PatternPng(int w, int h) {
  CBaseImage codec;
  codec.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) codec.SetPixelColor(x, y, PatternColor(x, y));
  BYTE* buffer = nullptr;
  long size = 0;
  EXPECT_TRUE(codec.Encode(buffer, size, CODEC_FORMAT_PNG));
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// A 24-bit picture of the test pattern.
inline void FillPattern(CImage& img) {
  for (int y = 0; y < img.GetHeight(); ++y)
    for (int x = 0; x < img.GetWidth(); ++x) {
      const COLORREF c = PatternColor(x, y);
      ASSERT_TRUE(img.SetPixelRGB(x, y, GetRValue(c), GetGValue(c), GetBValue(c)));
    }
}

inline COLORREF ColorAt(const CImage& img, int x, int y) {
  COLORREF c = CLR_INVALID;
  img.GetPixelColor(x, y, c);
  return c;
}

inline ::testing::AssertionResult SamePixels(const CImage& a, const CImage& b, int tolerance = 0) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
    return ::testing::AssertionFailure() << "size " << a.GetWidth() << "x" << a.GetHeight() << " vs " << b.GetWidth()
                                         << "x" << b.GetHeight();
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x) {
      const COLORREF ca = ColorAt(a, x, y), cb = ColorAt(b, x, y);
      if (std::abs(GetRValue(ca) - GetRValue(cb)) > tolerance || std::abs(GetGValue(ca) - GetGValue(cb)) > tolerance ||
          std::abs(GetBValue(ca) - GetBValue(cb)) > tolerance)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << std::hex << ca << " vs " << cb;
    }
  return ::testing::AssertionSuccess();
}

// A memory device context with a 32-bit bitmap filled with one colour.
class CMemCanvas {
 public:
  CMemCanvas(int width, int height, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    m_hdc = CreateCompatibleDC(screen);
    m_bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    m_old = SelectObject(m_hdc, m_bitmap);
    m_dc.Attach(m_hdc);
    m_dc.FillSolidRect(0, 0, width, height, fill);
  }
  ~CMemCanvas() {
    m_dc.Detach();
    SelectObject(m_hdc, m_old);
    DeleteDC(m_hdc);
    DeleteObject(m_bitmap);
  }
  CDC* dc() { return &m_dc; }
  COLORREF At(int x, int y) { return GetPixel(m_hdc, x, y) & 0xFFFFFF; }

 private:
  HDC m_hdc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  CDC m_dc;
};

inline void PutLE16(Bytes& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v));
  b.push_back(static_cast<BYTE>(v >> 8));
}
inline void PutLE32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(v >> (8 * i)));
}
inline void PutBE16(Bytes& b, unsigned v) {
  b.push_back(static_cast<BYTE>(v >> 8));
  b.push_back(static_cast<BYTE>(v));
}
inline void PutBE32(Bytes& b, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<BYTE>(v >> (8 * i)));
}

struct GifSpec {
  int width = 1;
  int height = 1;
  Bytes pixels;                 // indices, rows in file order
  std::vector<COLORREF> table;  // global table (size a power of two)
  int transparent = -1;
  bool interlaced = false;
  int minCodeSize = -1;         // -1: from the table size
  int forcedCodeSizeByte = -1;  // written instead of the real one
};

inline Bytes MakeGif(const GifSpec& s) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  PutLE16(b, static_cast<unsigned>(s.width));
  PutLE16(b, static_cast<unsigned>(s.height));
  int bitsField = 0;
  while ((2 << bitsField) < static_cast<int>(s.table.size())) ++bitsField;
  b.push_back(static_cast<BYTE>(s.table.empty() ? 0 : (0x80 | bitsField)));
  b.push_back(0);
  b.push_back(0);
  for (COLORREF c : s.table) {
    b.push_back(GetRValue(c));
    b.push_back(GetGValue(c));
    b.push_back(GetBValue(c));
  }
  if (s.transparent >= 0) {
    const Bytes gce = {0x21, 0xF9, 4, 1, 0, 0, static_cast<BYTE>(s.transparent), 0};
    b.insert(b.end(), gce.begin(), gce.end());
  }
  b.push_back(0x2C);
  PutLE16(b, 0);
  PutLE16(b, 0);
  PutLE16(b, static_cast<unsigned>(s.width));
  PutLE16(b, static_cast<unsigned>(s.height));
  b.push_back(static_cast<BYTE>(s.interlaced ? 0x40 : 0));
  int mcs = s.minCodeSize >= 0 ? s.minCodeSize : std::max(2, bitsField + 1);
  Bytes data = gifbuild::ImageData(s.pixels, mcs);
  if (s.forcedCodeSizeByte >= 0) data[0] = static_cast<BYTE>(s.forcedCodeSizeByte);
  b.insert(b.end(), data.begin(), data.end());
  b.push_back(';');
  return b;
}

}  // namespace picturetest
