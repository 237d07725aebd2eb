// Byte-by-byte builders for palette fixtures.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/base.h"

namespace palettetest {

struct Bytes {
  std::vector<BYTE> v;
  Bytes& u8(unsigned x) {
    v.push_back(static_cast<BYTE>(x));
    return *this;
  }
  Bytes& u32(unsigned long long x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<BYTE>(x >> (8 * i)));
    return *this;
  }
  Bytes& i32(int x) { return u32(static_cast<unsigned>(x)); }
  Bytes& f32(float f) {
    unsigned x;
    std::memcpy(&x, &f, 4);
    return u32(x);
  }
  Bytes& str(const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    v.push_back(0);
    return *this;
  }
  Bytes& raw(const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& zeros(size_t n) {
    v.insert(v.end(), n, 0);
    return *this;
  }
  Bytes& append(const std::vector<BYTE>& other) {
    v.insert(v.end(), other.begin(), other.end());
    return *this;
  }
  size_t size() const { return v.size(); }
};

}  // namespace palettetest
