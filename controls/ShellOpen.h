// Opening with the desktop's programs: a file the program has just written
// (a PDF chart, a picture, a palette export) and a web page. When no
// program takes it, the user is told where the file is (or which page did
// not open) in one message; a failure is never reported as success.
#pragma once

#include "platform/base.h"

// True when a program took the file; else tells the user the file's path.
bool OpenWrittenFile(HWND owner, const CString& path);
// True when a browser took the page; else tells the user its address.
bool OpenWebAddress(HWND owner, const CString& address);
