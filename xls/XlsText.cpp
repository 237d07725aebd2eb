#include "xls/XlsText.h"

#include <array>
#include <mutex>

namespace xlstext {
namespace {

using Table = std::array<char16_t, 128>;

// Decodes one UTF-8 character of at most three bytes (the code pages hold
// only characters of the basic plane); 0 when the text is not one such
// character.
char16_t DecodeSingleUtf8(const std::string& s) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.size() == 1 && b(0) < 0x80) return b(0);
  if (s.size() == 2 && (b(0) & 0xE0) == 0xC0 && (b(1) & 0xC0) == 0x80)
    return static_cast<char16_t>(((b(0) & 0x1F) << 6) | (b(1) & 0x3F));
  if (s.size() == 3 && (b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 && (b(2) & 0xC0) == 0x80)
    return static_cast<char16_t>(((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F));
  return 0;
}

// The upper half of a code page, made once from the platform's converter.
Table MakeTable(UINT codePage) {
  Table table{};
  for (int i = 0; i < 128; ++i) {
    const char byte = static_cast<char>(0x80 + i);
    const std::string utf8 = CodePageToUtf8(std::string_view(&byte, 1), codePage);
    const char16_t unit = DecodeSingleUtf8(utf8);
    table[static_cast<size_t>(i)] = (unit == 0 || unit == u'?') ? static_cast<char16_t>(0x80 + i) : unit;
  }
  return table;
}

const Table& UpperHalf(UINT codePage) {
  static std::once_flag once1251, once1252;
  static Table t1251, t1252;
  if (codePage == 1251) {
    std::call_once(once1251, [] { t1251 = MakeTable(1251); });
    return t1251;
  }
  std::call_once(once1252, [] { t1252 = MakeTable(1252); });
  return t1252;
}

}  // namespace

std::u16string CodePageToUtf16(std::string_view text, UINT codePage) {
  std::u16string out;
  out.reserve(text.size());
  const Table* table = nullptr;
  for (char ch : text) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      continue;
    }
    if (!table) table = &UpperHalf(codePage);
    out += (*table)[b - 0x80];
  }
  return out;
}

bool Utf16ToCodePage(std::u16string_view text, UINT codePage, std::string& out) {
  out.clear();
  out.reserve(text.size());
  bool exact = true;
  const Table* table = nullptr;
  for (char16_t unit : text) {
    if (unit < 0x80) {
      out += static_cast<char>(unit);
      continue;
    }
    if (!table) table = &UpperHalf(codePage);
    int found = -1;
    for (int i = 0; i < 128; ++i)
      if ((*table)[static_cast<size_t>(i)] == unit) {
        found = i;
        break;
      }
    if (found < 0) {
      out += '?';
      exact = false;
    } else {
      out += static_cast<char>(0x80 + found);
    }
  }
  return exact;
}

std::u16string ToUtf16(std::string_view text) { return CodePageToUtf16(text, GetAnsiCodePage()); }

bool FromUtf16(std::u16string_view text, std::string& out) { return Utf16ToCodePage(text, GetAnsiCodePage(), out); }

bool FitsInLatin1(std::u16string_view text) {
  for (char16_t unit : text)
    if (unit > 0xFF) return false;
  return true;
}

char16_t UpperCaseUnit(char16_t u) {
  if (u >= u'a' && u <= u'z') return static_cast<char16_t>(u - 0x20);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char16_t>(u - 0x20);
  if (u == 0xFF) return 0x178;
  if (u >= 0x430 && u <= 0x44F) return static_cast<char16_t>(u - 0x20);
  if (u >= 0x450 && u <= 0x45F) return static_cast<char16_t>(u - 0x50);
  return u;
}

}  // namespace xlstext
