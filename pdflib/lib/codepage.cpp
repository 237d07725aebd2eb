#include "pdflib/lib/codepage.h"

#include <array>
#include <atomic>

namespace qmpdf {
namespace {

std::atomic<int> g_interfaceCodePage{1252};

// 0x80-0x9F of Windows-1252 (0xA0-0xFF are ISO 8859-1).
constexpr char16_t k1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// 0x80-0xBF of Windows-1251 (0xC0-0xFF are U+0410-U+044F).
constexpr char16_t k1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

}  // namespace

char32_t CodePageToUnicode(unsigned char b, int codePage) {
  if (b < 0x80) return b;
  if (codePage == 1251) return b >= 0xC0 ? char32_t(0x0410 + (b - 0xC0)) : char32_t(k1251High[b - 0x80]);
  return b >= 0xA0 ? char32_t(b) : char32_t(k1252High[b - 0x80]);
}

int UnicodeToCodePage(char32_t u, int codePage) {
  if (u < 0x80) return static_cast<int>(u);
  // Small tables: a linear search over 128 values is quick enough for the
  // character references of textflows, the only caller that is not a test.
  for (int b = 0x80; b < 0x100; ++b)
    if (CodePageToUnicode(static_cast<unsigned char>(b), codePage) == u) return b;
  return -1;
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const char32_t u = CodePageToUnicode(static_cast<unsigned char>(c), codePage);
    AppendUtf8(out, u != 0 || c == 0 ? u : char32_t(0xFFFD));
  }
  return out;
}

int InterfaceCodePage() { return g_interfaceCodePage.load(); }

bool SetInterfaceCodePage(int codePage) {
  if (codePage != 1251 && codePage != 1252) return false;
  g_interfaceCodePage = codePage;
  return true;
}

}  // namespace qmpdf
