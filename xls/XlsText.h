// Text conversions of the spreadsheet writer: the program's narrow text (bytes
// in the interface code page, 1251 or 1252) to and from the UTF-16 code units
// that workbook strings and compound-file names are made of.
#pragma once

#include <string>
#include <string_view>

#include "platform/base.h"

namespace xlstext {

// Every byte becomes the UTF-16 code unit of its character in the code page
// (ASCII unchanged). A byte that the code page leaves undefined becomes the
// code unit of the same value, as Windows converts it.
std::u16string CodePageToUtf16(std::string_view text, UINT codePage);
// The reverse; false when a code unit has no byte in the code page (out then
// holds '?' in its place).
bool Utf16ToCodePage(std::u16string_view text, UINT codePage, std::string& out);

// The same in the interface code page.
std::u16string ToUtf16(std::string_view text);
bool FromUtf16(std::u16string_view text, std::string& out);

// True when every code unit is at most 0xFF (the text can be stored with one
// byte per character, which BIFF8 reads as Latin-1).
bool FitsInLatin1(std::u16string_view text);

// Upper case of one code unit for name comparisons: ASCII, Latin-1 and
// Cyrillic letters; other code units stay.
char16_t UpperCaseUnit(char16_t unit);

}  // namespace xlstext
