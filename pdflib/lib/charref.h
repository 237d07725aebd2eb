// Character references in textflow text.
#pragma once

#include <string>
#include <string_view>

namespace qmpdf {

// Character references: "&#n;", "&#xh;", "&amp;", "&lt;", "&gt;", "&quot;",
// "&apos;"; anything else stays as written. The values are Unicode, written
// in the code page of the font's encoding (codePage 0: the code itself).
// Throws kErrTextflow for a reference without a character in the code page.
std::string DecodeCharrefs(std::string_view s, int codePage);

}  // namespace qmpdf
