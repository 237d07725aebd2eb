// File, folder and text utilities used by every subsystem: file and folder
// tests, folder creation, deletion that copes with read-only files, block
// reads and writes that demand every byte, temporary and unique file names,
// number and date texts, string comparison and parsing.
//
// Paths are POSIX paths in the interface code page. Where the program names
// its own folders (designs, undo, temporary files) they lie under the
// writable program folder (GetWritableProgramFolder).
#pragma once

#include <string>

#include "platform/base.h"

// The design file extension.
constexpr const char* kDesignExtension = ".qx";

// The folder the program writes its own folders into (no trailing '/'):
// the writable program folder, or the folder set with SetProgramDataFolder
// (tests point it at a temporary folder; empty restores the default).
CString GetProgramDataFolder();
void SetProgramDataFolder(const CString& folder);
// The "Design" folder under it.
CString GetDesignFolder();

// True for an absolute path (the only "drive" on this system is the root).
bool DriveExists(const char* path);
// False for no path or a relative one; "/" is the root and answers true;
// otherwise one trailing separator is removed and the entry must be a folder.
bool FolderExists(const char* path);
// False for no path; the entry must exist and not be a folder.
bool FileExists(const char* path);
// Creation (status change), last access and last write times and the size.
struct CFileStatus {
  FILETIME created{};
  FILETIME accessed{};
  FILETIME modified{};
  ULONGLONG size = 0;
  DWORD attributes = 0;
};
bool GetFileStatus(const char* path, CFileStatus& status);
// Creates every missing folder along the path; false as soon as one cannot
// be created.
bool CreateFolderPath(const char* path);
bool IsReadOnly(const char* path, bool& readOnly);
bool SetReadOnly(const char* path);
bool ClearReadOnly(const char* path);
// True when the file does not exist; otherwise clears a read-only attribute
// first and answers whether the deletion succeeded.
bool RemoveFile(const char* path);
// True only when exactly size bytes move.
bool WriteFileBlock(HANDLE file, const void* data, DWORD size);
bool ReadFileBlock(HANDLE file, void* buffer, DWORD size);
// "<program data folder>/<new UUID><extension>"; the file is not created.
void MakeTempFileName(const char* extension, CString& out);
// 32 lower-case hexadecimal digits in groups 8-4-4-4-12 joined by '-'.
void UuidToCString(const GUID& guid, CString& out);
// A free design-file name: with a name "Name.qx", then "Name <date> #n.qx";
// without one "<date> #n.qx" (date "%B %d"), n up to 1000. The folder falls
// back to the design folder (created when missing); the caller's folder
// string is then set to it. False (empty name) when nothing is free or the
// folder cannot be had.
bool MakeUniqueDesignName(CString& folder, CString& fileName, const char* name);
// The same name formed for a given day (for tests and callers that fix the
// date); `date` is the "%B %d" text.
bool MakeUniqueDesignNameForDate(CString& folder, CString& fileName, const char* name, const char* date);
// A free path in the design folder for the given path's name and extension:
// "name.ext", then "name1.ext" ... "name9999.ext".
bool MakeUniqueDesignFolderPath(const char* path, CString& out);

// Numbers and texts.
// The decimal digits with the separator between groups of three from the
// right (1234567 with ',' gives 1,234,567).
CString FormatGroupedNumber(unsigned long long value, char separator);
void FormatGroupedNumber(CString& out, unsigned long long value, char separator);
// Drops trailing zeros of the fraction, keeping one digit after the point:
// 12.50 gives 12.5, 12.00 gives 12.0, 0.10500 gives 0.105, 12.05 stays.
// Texts without a point, or with the point first, stay as they are.
void TrimDecimalZeros(CString& text);
// The nearest integer, halves away from zero; clamps to the int range.
int RoundHalfAwayFromZero(float value);
// Byte by byte over the shorter length, bytes as signed values; on a common
// prefix the shorter string is smaller. -1, 0 or 1.
int CompareStrings(const char* a, const char* b);
// Empty or spaces only.
bool IsBlankString(const char* text);
// 0 for an empty text; else atoi of the text without spaces (63 characters
// kept).
int ParseIntIgnoringSpaces(const char* text);
double ParseFloat(const char* text);
// "Aug 14 2016" becomes "14 <Russian month> 2016" (in the interface code
// page); anything else stays.
void LocalizeBuildDate(CString& text);
// The resource string of that id, empty when there is none.
void LoadResStdString(UINT id, std::string& out);
CString CopyString(const CString& text);

// The exclamation beep when the warning sound is on (IMainFrame::
// UseWarningSound; on when there is no main frame).
void WarningBeep();
