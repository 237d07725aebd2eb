// The program's version line: "Version #<version>, <build date>".
#pragma once

#include "platform/base.h"

// The version inside a document description: from its first digit up to the
// character before the next blank; "?.?" when there is no digit or no blank
// after it.
CString ExtractVersionNumber(const CString& description);
// String 59455 filled with the version of string 128 and the build date.
void FormatVersionText(CString& out);
