#include "palette/PaletteCipher.h"

#include <nettle/blowfish.h>

#include <cstring>

const char CPaletteCipher::kPaletteKey[] = "6C0B94E2A7F3410d8E5A27C9D1B64F30";

const char kPaletteHeaderV6[kPaletteHeaderLength + 1] =
    "Palette File V.6,\r\n                                     Inc.\r\n\r\n";
const char kPaletteHeaderV5[kPaletteHeaderLength + 1] =
    "Palette File V.5,\r\nCopyright (C) 2008 ThoughtFishMedia, Inc.\r\n\r\n";
const char kPaletteHeaderV3[kPaletteHeaderLength + 1] =
    "Palette File Version 3,\r\nCopyright (C) 2006 NuveraSoft, Inc.\r\n\r\n";
static_assert(sizeof("Palette File V.6,\r\n                                     Inc.\r\n\r\n") == 65);
static_assert(sizeof("Palette File V.5,\r\nCopyright (C) 2008 ThoughtFishMedia, Inc.\r\n\r\n") == 65);
static_assert(sizeof("Palette File Version 3,\r\nCopyright (C) 2006 NuveraSoft, Inc.\r\n\r\n") == 65);

struct CPaletteCipher::Context {
  blowfish_ctx ctx;
};

namespace {

void PutBigEndian(BYTE* p, DWORD v) {
  p[0] = static_cast<BYTE>(v >> 24);
  p[1] = static_cast<BYTE>(v >> 16);
  p[2] = static_cast<BYTE>(v >> 8);
  p[3] = static_cast<BYTE>(v);
}

DWORD GetBigEndian(const BYTE* p) {
  return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) | (static_cast<DWORD>(p[2]) << 8) |
         static_cast<DWORD>(p[3]);
}

DWORD GetLittleEndian(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}

void PutLittleEndian(BYTE* p, DWORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
  p[2] = static_cast<BYTE>(v >> 16);
  p[3] = static_cast<BYTE>(v >> 24);
}

}  // namespace

CPaletteCipher::CPaletteCipher(const BYTE* key, size_t keyLength) : context_(std::make_unique<Context>()) {
  // The weak-key answer is of no concern here: the key schedule is set up
  // in any case, and the palette key is fixed.
  blowfish_set_key(&context_->ctx, keyLength, key);
}

CPaletteCipher::CPaletteCipher()
    : CPaletteCipher(reinterpret_cast<const BYTE*>(kPaletteKey), sizeof(kPaletteKey) - 1) {}

CPaletteCipher::~CPaletteCipher() = default;

void CPaletteCipher::EncipherBlock(DWORD& left, DWORD& right) const {
  BYTE block[8];
  PutBigEndian(block, left);
  PutBigEndian(block + 4, right);
  blowfish_encrypt(&context_->ctx, 8, block, block);
  left = GetBigEndian(block);
  right = GetBigEndian(block + 4);
}

void CPaletteCipher::DecipherBlock(DWORD& left, DWORD& right) const {
  BYTE block[8];
  PutBigEndian(block, left);
  PutBigEndian(block + 4, right);
  blowfish_decrypt(&context_->ctx, 8, block, block);
  left = GetBigEndian(block);
  right = GetBigEndian(block + 4);
}

size_t CPaletteCipher::EncipherBuffer(const BYTE* source, BYTE* target, size_t length) const {
  const size_t padded = (length + 7) / 8 * 8;
  for (size_t offset = 0; offset < padded; offset += 8) {
    BYTE block[8] = {};
    const size_t take = length - offset < 8 ? length - offset : 8;
    std::memcpy(block, source + offset, take);
    DWORD left = GetLittleEndian(block);
    DWORD right = GetLittleEndian(block + 4);
    EncipherBlock(left, right);
    PutLittleEndian(target + offset, left);
    PutLittleEndian(target + offset + 4, right);
  }
  return padded;
}

size_t CPaletteCipher::DecipherBuffer(const BYTE* source, BYTE* target, size_t length) const {
  const size_t whole = length / 8 * 8;
  for (size_t offset = 0; offset < whole; offset += 8) {
    DWORD left = GetLittleEndian(source + offset);
    DWORD right = GetLittleEndian(source + offset + 4);
    DecipherBlock(left, right);
    PutLittleEndian(target + offset, left);
    PutLittleEndian(target + offset + 4, right);
  }
  return whole;
}

DWORD PaletteChecksum(const BYTE* bytes, size_t length) {
  DWORD sum = 7;
  size_t i = 0;
  for (; i + 4 <= length; i += 4) sum += GetLittleEndian(bytes + i);
  if (i < length) {
    BYTE last[4] = {};
    std::memcpy(last, bytes + i, length - i);
    sum += GetLittleEndian(last);
  }
  return sum;
}

bool IsPaletteHeader(const BYTE* bytes, size_t size) {
  if (!bytes || size < static_cast<size_t>(kPaletteHeaderLength)) return false;
  for (const char* header : {kPaletteHeaderV6, kPaletteHeaderV5, kPaletteHeaderV3})
    if (std::memcmp(bytes, header, kPaletteHeaderLength) == 0) return true;
  return false;
}
