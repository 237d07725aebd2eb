// The setup's language: one flag for the whole run (Russian or English),
// the texts chosen by it, and the value "language" left for the program.
#pragma once

#include "platform/base.h"

namespace qmsetup {

// The build line texts: a fixed build date and version.
inline constexpr char kSetupBuildDate[] = "Feb 23 2018";
inline constexpr char kSetupVersion[] = "1.01";
// The maker's key and the program's short name.
inline constexpr char kShortName[] = "Velloran";

bool IsRussianSetup();
// Stores the flag, switches the shared texts and the code page with it
// (SetRussianInterface) and writes "language" (REG_DWORD 1 or 0) under the
// maker's key; a registry failure is passed over.
void SetLanguage(bool russian);

// "Quillmere freeware" or the Russian display name (the product title).
CString GetProductDisplayName();
// "Product ID: Feb 23 2018", or "Сборка от: " with the Russian date.
void FormatBuildLine(CString& out);

// String id of the language: the English id, or id + 30.
UINT LangId(UINT englishId);
// The string of the language (LangId) from the setup's pack.
CString LoadSetupString(UINT englishId);
// One text of the two given, by the language (both in UTF-8; the result is
// in the code page).
CString Pick(const char* englishUtf8, const char* russianUtf8);
// A message box captioned with the display name.
int SetupMessageBox(const CString& text, UINT type, HWND owner = nullptr);

}  // namespace qmsetup
