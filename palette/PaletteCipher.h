// The cipher and checksum of palette files.
//
// Blocks are enciphered with Blowfish (16 rounds, the published key schedule
// and tables) in ECB mode, but each 8-byte block holds its two 32-bit halves
// little-endian: the left half is bytes 0-3 read as a little-endian number,
// the right half bytes 4-7. An ordinary Blowfish works on big-endian halves,
// so every half is byte-swapped on the way in and out.
#pragma once

#include <memory>

#include "platform/base.h"

class CPaletteCipher {
 public:
  // The key built into the program.
  static const char kPaletteKey[];

  // `key` of 8 to 56 bytes.
  CPaletteCipher(const BYTE* key, size_t keyLength);
  // The palette key.
  CPaletteCipher();
  ~CPaletteCipher();
  CPaletteCipher(const CPaletteCipher&) = delete;
  CPaletteCipher& operator=(const CPaletteCipher&) = delete;

  void EncipherBlock(DWORD& left, DWORD& right) const;
  void DecipherBlock(DWORD& left, DWORD& right) const;
  // Enciphers `length` bytes block by block into `target`, the tail of the
  // last block filled with zero bytes; answers the enciphered length (length
  // rounded up to a multiple of 8). Source and target may be the same buffer,
  // which must then hold the rounded length.
  size_t EncipherBuffer(const BYTE* source, BYTE* target, size_t length) const;
  // Deciphers the whole blocks of `length` bytes; answers the bytes done.
  size_t DecipherBuffer(const BYTE* source, BYTE* target, size_t length) const;

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

// 7 plus the sum of the little-endian 32-bit words of the bytes, modulo
// 2^32; a last partial word counts padded with zero bytes at the high end.
DWORD PaletteChecksum(const BYTE* bytes, size_t length);

// The three 64-byte header texts of palette files: the one written, then the
// two read only (palettes of two outside programs sharing the layout).
constexpr int kPaletteHeaderLength = 64;
extern const char kPaletteHeaderV6[kPaletteHeaderLength + 1];
extern const char kPaletteHeaderV5[kPaletteHeaderLength + 1];
extern const char kPaletteHeaderV3[kPaletteHeaderLength + 1];
// True when the first 64 bytes are one of the three texts.
bool IsPaletteHeader(const BYTE* bytes, size_t size);
