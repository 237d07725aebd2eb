// Small helpers shared by the codecs: little- and big-endian fields.
#pragma once

#include <cmath>

#include "platform/base.h"

namespace codec {

// A double truncated toward zero into [lo, hi]; NaN gives 0 (or lo when 0
// is outside the range). Values read from files go through it before any
// conversion to an integer.
inline long TruncToRange(double v, long lo, long hi) {
  if (std::isnan(v)) return lo > 0 ? lo : (hi < 0 ? hi : 0);
  if (v <= static_cast<double>(lo)) return lo;
  if (v >= static_cast<double>(hi)) return hi;
  return static_cast<long>(v);
}

// A channel value of `bits` bits (1 to 32) as a byte: narrower values are
// widened by repeating their bits from the top down (5-bit 31 gives 255,
// 16 gives 132), wider ones keep their high eight bits.
inline BYTE WidenChannel(DWORD value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<BYTE>(value >> (bits - 8));
  value &= (1u << bits) - 1;
  DWORD out = 0;
  int have = 0;
  while (have < 8) {
    out = (out << bits) | value;
    have += bits;
  }
  return static_cast<BYTE>(out >> (have - 8));
}

inline WORD GetLE16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
inline DWORD GetLE32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}
inline WORD GetBE16(const BYTE* p) { return static_cast<WORD>((p[0] << 8) | p[1]); }
inline DWORD GetBE32(const BYTE* p) {
  return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) | (static_cast<DWORD>(p[2]) << 8) |
         static_cast<DWORD>(p[3]);
}
inline void PutLE16(BYTE* p, WORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
}
inline void PutLE32(BYTE* p, DWORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
  p[2] = static_cast<BYTE>(v >> 16);
  p[3] = static_cast<BYTE>(v >> 24);
}

// A BITMAPINFOHEADER from its 40 stored bytes, and back.
inline void ReadInfoHeader(const BYTE* p, BITMAPINFOHEADER& h) {
  h.biSize = GetLE32(p);
  h.biWidth = static_cast<LONG>(GetLE32(p + 4));
  h.biHeight = static_cast<LONG>(GetLE32(p + 8));
  h.biPlanes = GetLE16(p + 12);
  h.biBitCount = GetLE16(p + 14);
  h.biCompression = GetLE32(p + 16);
  h.biSizeImage = GetLE32(p + 20);
  h.biXPelsPerMeter = static_cast<LONG>(GetLE32(p + 24));
  h.biYPelsPerMeter = static_cast<LONG>(GetLE32(p + 28));
  h.biClrUsed = GetLE32(p + 32);
  h.biClrImportant = GetLE32(p + 36);
}
inline void WriteInfoHeader(BYTE* p, const BITMAPINFOHEADER& h) {
  PutLE32(p, h.biSize);
  PutLE32(p + 4, static_cast<DWORD>(h.biWidth));
  PutLE32(p + 8, static_cast<DWORD>(h.biHeight));
  PutLE16(p + 12, h.biPlanes);
  PutLE16(p + 14, h.biBitCount);
  PutLE32(p + 16, h.biCompression);
  PutLE32(p + 20, h.biSizeImage);
  PutLE32(p + 24, static_cast<DWORD>(h.biXPelsPerMeter));
  PutLE32(p + 28, static_cast<DWORD>(h.biYPelsPerMeter));
  PutLE32(p + 32, h.biClrUsed);
  PutLE32(p + 36, h.biClrImportant);
}

}  // namespace codec
