// Shared by the codec fuzz targets: each decodes the input with one
// decoder and, for small results, sends the picture through the encoders
// and transforms as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/codec/BaseImage.h"

namespace codecfuzz {

// Where pixel sums go, so that reading them is not optimised away.
inline volatile unsigned g_sink = 0;

// Pictures above 2 MB are refused like oversized files, which keeps every
// run small.
inline void Setup() {
  static const bool done = [] {
    CBaseImage::SetMemoryLimit(2u << 20);
    return true;
  }();
  (void)done;
}

// Works the decoded picture: reads its pixels and, when it is small, writes
// it in a few formats and transforms it.
inline void Exercise(CBaseImage& img) {
  if (!img.IsValid()) return;
  const long w = static_cast<long>(img.GetWidth()), h = static_cast<long>(img.GetHeight());
  unsigned sum = 0;
  for (long y = 0; y < h; y += 1 + h / 64)
    for (long x = 0; x < w; x += 1 + w / 64) {
      const RGBQUAD c = img.GetPixelColor(x, y, true);
      sum += c.rgbRed + c.rgbGreen + c.rgbBlue + c.rgbReserved;
    }
  g_sink = sum;
  if (static_cast<std::uint64_t>(w) * h > 4096) return;
  for (DWORD type : {CODEC_FORMAT_BMP, CODEC_FORMAT_PNG, CODEC_FORMAT_GIF}) {
    BYTE* buffer = nullptr;
    long size = 0;
    if (img.Encode(buffer, size, type)) {
      CBaseImage back;
      back.Decode(buffer, static_cast<DWORD>(size), type);
      std::free(buffer);
    }
  }
  CBaseImage copy(img);
  copy.RotateLeft();
  copy.Mirror();
  copy.Light(20, 10);
  HANDLE handle = copy.CopyToHandle();
  if (handle) {
    CBaseImage pasted;
    pasted.CreateFromHANDLE(handle);
    GlobalFree(handle);
  }
}

inline int DecodeAs(const std::uint8_t* data, std::size_t size, DWORD type, DWORD option = 0) {
  Setup();
  CBaseImage img;
  if (option) img.SetCodecOption(option, type);
  if (img.Decode(data, static_cast<DWORD>(size), type)) Exercise(img);
  return 0;
}

}  // namespace codecfuzz
