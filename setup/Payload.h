// The files the setup carries: a zip archive appended to the setup program
// after linking, one entry per resource id (its name the decimal id) with
// the file's Unix mode. minizip finds the archive behind the program's own
// bytes, checks every entry's CRC and streams it out.
#pragma once

#include <vector>

#include "platform/base.h"

namespace qmsetup {

// Payload ids beyond the installed files: the setup's own resource pack and
// the desktop icons of the program and of its design files.
constexpr UINT kPayloadSetupPack = 100;
constexpr UINT kPayloadProgramIcon = 500;
constexpr UINT kPayloadDocumentIcon = 501;

// The file that holds the payload: the running program, unless tests set
// another (empty restores the running program).
void SetPayloadFile(const CString& path);
CString GetPayloadFile();

// The whole entry in memory; false (out emptied) when it is missing,
// damaged (CRC) or unreadable.
bool ReadPayloadEntry(UINT id, std::vector<BYTE>& out);

// What one extraction wrote.
struct CExtracted {
  DWORD crc = 0;
  ULONGLONG size = 0;
  DWORD mode = 0644;
};
// Streams the entry into a new file beside path and renames it over path,
// with the entry's mode: the target is never half-written, a program that
// runs from the old file keeps it. False, with the target untouched and
// GetLastError set, when the entry is missing or damaged, the folder cannot
// be written or the target is read-only.
bool ExtractPayloadEntry(UINT id, const CString& path, CExtracted* written = nullptr);

// Writes bytes the same way (temporary name, rename), with the mode given.
bool WriteFileReplacing(const CString& path, const void* data, size_t size, DWORD mode);

}  // namespace qmsetup
