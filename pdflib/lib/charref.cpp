#include "pdflib/lib/charref.h"

#include "pdflib/lib/codepage.h"
#include "pdflib/lib/errors.h"

namespace qmpdf {

std::string DecodeCharrefs(std::string_view s, int codePage) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    const std::size_t semi = s.find(';', i + 1);
    if (semi == std::string_view::npos || semi - i > 12) {
      out += '&';
      continue;
    }
    const std::string_view name = s.substr(i + 1, semi - i - 1);
    long code = -1;
    if (name == "amp") code = '&';
    else if (name == "lt") code = '<';
    else if (name == "gt") code = '>';
    else if (name == "quot") code = '"';
    else if (name == "apos") code = '\'';
    else if (name.size() >= 2 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      const std::string_view digits = name.substr(hex ? 2 : 1);
      long v = 0;
      bool ok = !digits.empty();
      for (char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || v > 0x10FFFF) {
          ok = false;
          break;
        }
        v = v * (hex ? 16 : 10) + d;
      }
      if (ok && v > 0 && v <= 0x10FFFF) code = v;
    }
    if (code < 0) {
      out += '&';
      continue;
    }
    int byte = codePage == 0 ? (code < 256 ? static_cast<int>(code) : -1)
                             : UnicodeToCodePage(static_cast<char32_t>(code), codePage);
    if (byte < 0)
      Fail(kErrTextflow, "Character reference '&" + std::string(name) + ";' has no character in the font's encoding");
    out += static_cast<char>(byte);
    i = semi;
  }
  return out;
}

}  // namespace qmpdf
