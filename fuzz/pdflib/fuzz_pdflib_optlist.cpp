// Fuzz target: option lists parsed against every schema of the PDF library,
// and the same bytes as textflow text with character references. Only the
// library's own errors may come out.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pdflib/lib/charref.h"
#include "pdflib/lib/errors.h"
#include "pdflib/lib/optlist.h"
#include "pdflib/lib/schemas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (std::size_t i = 0; i < qmpdf::schemas::kAllCount; ++i) {
    try {
      const qmpdf::opt::Options o = qmpdf::opt::Parse(text, *qmpdf::schemas::kAll[i]);
      for (const auto& item : o.Items()) (void)item.second.number;
    } catch (const qmpdf::Error&) {
    }
  }
  for (int codePage : {0, 1251, 1252}) {
    try {
      (void)qmpdf::DecodeCharrefs(text, codePage);
    } catch (const qmpdf::Error&) {
    }
  }
  return 0;
}
