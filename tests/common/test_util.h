// Helpers shared by the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/base.h"

namespace qmtest {

// A fresh folder under the test run's temporary root, removed at exit.
std::filesystem::path MakeTempDir(const std::string& name);

// The build's bin folder (where the program and the resource packs are).
std::filesystem::path BinDir();
// The source tree (for fixtures kept beside the tests).
std::filesystem::path SourceDir();

std::vector<unsigned char> ReadAll(const std::filesystem::path& p);
void WriteAll(const std::filesystem::path& p, const std::vector<unsigned char>& bytes);

// Makes one of the build's language packs ("Pellow_En.dll", or
// "Pellow_Ru.dll" when russian) the resource library for the object's life.
class LanguagePack {
 public:
  explicit LanguagePack(bool russian);
  ~LanguagePack();
  LanguagePack(const LanguagePack&) = delete;
  LanguagePack& operator=(const LanguagePack&) = delete;
  bool Loaded() const { return pack_ != nullptr; }

 private:
  HINSTANCE previous_;
  HINSTANCE pack_;
};

// Stored forms spelled out byte by byte, independently of the writers under
// test: little-endian numbers, texts and blocks.
class Bytes {
 public:
  Bytes& u8(unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Bytes& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  Bytes& u32(std::uint64_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<unsigned>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  Bytes& f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Bytes& f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) u8(static_cast<unsigned>((bits >> (8 * i)) & 0xFF));
    return *this;
  }
  Bytes& raw(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    b.insert(b.end(), p, p + n);
    return *this;
  }
  Bytes& raw(const std::vector<unsigned char>& v) { return raw(v.data(), v.size()); }
  // The characters without a terminator.
  Bytes& chars(const std::string& s) { return raw(s.data(), s.size()); }
  // NUL-terminated (byte-stream texts).
  Bytes& str(const std::string& s) { return chars(s).u8(0); }
  // u32 length then the characters (design-section texts).
  Bytes& lstr(const std::string& s) { return u32(s.size()).chars(s); }
  // The characters in a zero-padded field of n bytes.
  Bytes& field(const std::string& s, size_t n) { return chars(s.substr(0, n)).zeros(n - std::min(n, s.size())); }
  Bytes& zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  // A size-prefixed block.
  Bytes& blob(const Bytes& inner) { return u32(inner.b.size()).raw(inner.b); }
  size_t size() const { return b.size(); }

  std::vector<unsigned char> b;
};

}  // namespace qmtest
