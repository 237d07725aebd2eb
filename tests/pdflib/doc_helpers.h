// Small helpers of the tests that write real files through the binding.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "pdflib/pdflib.h"
#include "tests/common/test_util.h"

namespace qmtest {

inline std::filesystem::path PdfPath(const std::string& name) { return MakeTempDir("pdf-" + name) / (name + ".pdf"); }

// The error number of a call that must fail (0 when it did not).
template <class F>
int ErrorNumberOf(F&& call, std::string* message = nullptr) {
  try {
    call();
  } catch (const PDFlib::Exception& e) {
    if (message) *message = e.get_errmsg();
    return e.get_errnum();
  }
  return 0;
}

// Runs body; an exception of the library fails the test with its message
// instead of gtest's "unknown exception".
template <class F>
void WithMessages(F&& body) {
  try {
    body();
  } catch (const PDFlib::Exception& e) {
    ADD_FAILURE() << "PDFlib::Exception " << e.get_errnum() << " in " << e.get_apiname() << ": " << e.get_errmsg();
  }
}

// The interface code page for one test.
class CodePageScope {
 public:
  explicit CodePageScope(int codePage) { PDF_set_interface_codepage(codePage); }
  ~CodePageScope() { PDF_set_interface_codepage(1252); }
};

}  // namespace qmtest
