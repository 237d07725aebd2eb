// Designs inside zip archives: the first design entry of an archive is
// unpacked beside the archive under a free name and read from there.
//
// Entry names come from the archive and are not trusted: only their last
// component counts (split on '/' and '\'), names that are empty, "." or
// "..", or that hold a NUL or a control character are no design entries,
// and the file is created new in the archive's own folder, never over an
// existing file. An entry that declares more than 1 GiB, yields more bytes
// than it declares or fails its CRC is refused, and what was written of it
// is removed.
#pragma once

#include "platform/base.h"

// The largest entry that is unpacked.
constexpr unsigned long long kMaxZippedDesignSize = 1ull << 30;

// True when the path's extension is ".zip" (any case).
bool IsZipArchivePath(const CString& path);

// The last component of an entry name as the archive stores it (length
// bytes, not NUL-terminated), or false when that is no usable file name:
// empty, ".", "..", a NUL or a control character in the whole name, or a
// name ending in a separator (a folder).
bool GetZipEntryFileName(const char* name, size_t length, CString& fileName);

// The first path that does not exist among folder + title + ext, then
// folder + title + "1" + ext ... title + "999" + ext; false when all of
// them exist. The folder ends with its separator.
bool MakeFreeFileName(const CString& folder, const CString& title, const CString& ext, CString& out);

// When the path names a ".zip" archive that holds a design entry: unpacks
// the first one (in archive order, extension ".qx" in any case, not a
// folder) into a new file beside the archive and gives its path. False
// when the path is no archive, the archive cannot be read, it holds no
// usable design entry, or the entry cannot be unpacked whole (nothing is
// then left behind).
bool OpenZippedDesign(const CString& path, CString& out);
