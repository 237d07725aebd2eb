// Windows-1252 and Windows-1251, the two code pages of the program's texts.
#pragma once

#include <string>
#include <string_view>

namespace qmpdf {

// The Unicode value of byte b in code page 1252 or 1251; 0 when the byte has
// no character there.
char32_t CodePageToUnicode(unsigned char b, int codePage);
// The byte of Unicode value u in code page 1252 or 1251, or -1.
int UnicodeToCodePage(char32_t u, int codePage);
// Bytes of the code page as UTF-8 (bytes without a character become U+FFFD).
std::string CodePageToUtf8(std::string_view bytes, int codePage);
// A Unicode value as UTF-8.
void AppendUtf8(std::string& out, char32_t u);

// The interface code page (1252 by default).
int InterfaceCodePage();
bool SetInterfaceCodePage(int codePage);

}  // namespace qmpdf
