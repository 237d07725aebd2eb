// Helpers of the settings tests: a little-endian byte builder that spells out
// stored forms independently of the records' writers, and a scope that sets
// the interface language.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/base.h"
#include "tests/common/test_util.h"

namespace settings_test {

using Bytes = qmtest::Bytes;

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
