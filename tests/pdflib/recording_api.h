// A function table that records the calls it receives instead of writing a
// PDF, for tests of the binding and of its callers. Install it with
// PDFlib::SetApiSourceForTesting(qmtest::RecordingApi::Source).
#pragma once

#include <string>
#include <vector>

#include "pdflib/api.h"

namespace qmtest {

struct RecordingApi {
  // Each call as "name(arg, arg, ...)"; texts with a length appear with it
  // as "'bytes'/len" (NUL bytes shown as \0), the others as 'text'.
  static std::vector<std::string> calls;
  // The version the table reports.
  static std::uint32_t size, major, minor, revision;
  // When set, the next call fails with this number and message.
  static int failNumber;
  static std::string failMessage;
  // The result keyword of fit_table and fit_textflow (null: none).
  static const char* fitResult;
  // PDF_new2 gives no context.
  static bool noContext;
  static int deletes;

  static void Reset();
  static const PdfFunctionTable* Source();
};

}  // namespace qmtest
