// The parts of a path, split on both separators ('/' and '\'): paths read
// from stored files may come from a system that joins them with '\'. On this
// system the drive part is always empty.
#pragma once

#include "platform/base.h"

// The folder part with its last separator ("" when the path has none).
CString GetPathFolder(const CString& path);
// The last part: the file name with its extension.
CString GetPathFileName(const CString& path);
// The last part without its extension.
CString GetPathTitle(const CString& path);
// The extension of the last part with its '.' ("" when it has none).
CString GetPathExtension(const CString& path);
