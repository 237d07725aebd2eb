// Helpers of the settings tests: a little-endian byte builder that spells out
// stored forms independently of the records' writers, and a scope that sets
// the interface language.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/base.h"

namespace settings_test {

struct Bytes {
  std::vector<BYTE> bytes;

  template <typename T>
  Bytes& Raw(T v) {
    BYTE b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    bytes.insert(bytes.end(), b, b + sizeof(T));
    return *this;
  }
  Bytes& U8(BYTE v) { return Raw(v); }
  Bytes& I32(int v) { return Raw(v); }
  Bytes& F32(float v) { return Raw(v); }
  Bytes& F64(double v) { return Raw(v); }
  Bytes& Str(const std::string& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
    return *this;
  }
  Bytes& Zeros(size_t n) {
    bytes.insert(bytes.end(), n, 0);
    return *this;
  }
};

// Sets the interface language for the life of the scope.
class LanguageScope {
 public:
  explicit LanguageScope(bool russian);
  ~LanguageScope();

 private:
  bool saved_;
};

// Removes a value of the program key (nothing when it is missing).
void DeleteProgramValue(const char* name);

}  // namespace settings_test
