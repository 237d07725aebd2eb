#include "platform/base/codepage.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>

namespace {
std::atomic<UINT> g_codePage{1251};

const char* IconvName(UINT codePage) {
  switch (codePage) {
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    // Code pages of fonts' character sets (drawing only).
    case 1250: return "CP1250";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 437: return "CP437";
    default: throw std::invalid_argument("unsupported code page");
  }
}

// Converts with iconv, replacing what cannot be converted by '?'.
std::string Convert(std::string_view text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buf[1024];
  while (inLeft > 0) {
    char* o = buf;
    size_t oLeft = sizeof buf;
    const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one input byte (a whole UTF-8 sequence is
      // skipped byte by byte, each continuation byte being invalid alone).
      out += '?';
      ++in;
      --inLeft;
      if (std::string_view(from) == "UTF-8")
        while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) { ++in; --inLeft; }
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}
}  // namespace

UINT GetAnsiCodePage() { return g_codePage.load(); }

void SetAnsiCodePage(UINT codePage) {
  if (codePage == 1251 || codePage == 1252) g_codePage = codePage;
}

std::string CodePageToUtf8(std::string_view text, UINT codePage) {
  bool ascii = true;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(text);
  return Convert(text, IconvName(codePage), "UTF-8");
}

std::string Utf8ToCodePage(std::string_view text, UINT codePage) {
  bool ascii = true;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) { ascii = false; break; }
  if (ascii) return std::string(text);
  return Convert(text, "UTF-8", IconvName(codePage));
}

std::string ToUtf8(const CString& text) { return CodePageToUtf8(text.str(), GetAnsiCodePage()); }
CString FromUtf8(std::string_view utf8) { return CString(Utf8ToCodePage(utf8, GetAnsiCodePage())); }
