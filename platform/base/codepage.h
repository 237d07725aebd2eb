// The one place where the program's narrow text (Windows-1251 or -1252, by
// the interface language) is converted to and from UTF-8.
#pragma once

#include <string>

#include "platform/base/cstring.h"

// 1251 (Russian interface) or 1252 (English). The language flag sets it at
// start-up; until then it is 1251, as the flag starts Russian.
UINT GetAnsiCodePage();
void SetAnsiCodePage(UINT codePage);

// Conversions with an explicit code page (1251 or 1252; the drawing layer
// also decodes fonts' code pages: 1250, 1253 to 1258, 874, 932, 936, 949,
// 950 and 437). Characters that have
// no place in the target code page become '?'. Invalid UTF-8 bytes become '?'.
std::string CodePageToUtf8(std::string_view text, UINT codePage);
std::string Utf8ToCodePage(std::string_view text, UINT codePage);

// Conversions in the interface code page.
std::string ToUtf8(const CString& text);
CString FromUtf8(std::string_view utf8);
