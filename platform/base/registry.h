// The registry: a persistent per-user tree of keys with typed values, kept
// in one text file, $XDG_CONFIG_HOME/Quillmere/registry.txt (~/.config by
// default). Every change is written at once by replacing the file
// atomically (temporary file in the same folder, fsync, rename), under an
// advisory lock so that several processes (the program, the setup, qmreg)
// can share it. Every change is a read-modify-write under that lock: the
// file is read again after the lock is taken (its text compared with the
// text the tree stands for), so a change another process made is never
// written over, however coarse the file's times. A read picks up such a
// change at the next call: the file's time, size and inode are compared,
// and, while the file's time is less than three seconds older than when it
// was looked at (a write within the same tick of a coarse clock would not
// change them), its text as well.
//
// Roots: HKEY_CURRENT_USER, and HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE and
// HKEY_USERS as trees of their own in the same per-user file. Nothing is
// written outside the user's own store: a file association stored under
// HKEY_CLASSES_ROOT is seen by this program only.
//
// Key names are paths with backslashes; key and value names compare without
// regard to ASCII case and keep the spelling they were created with. Value
// data are kept exactly as given, whatever the type (REG_SZ is not
// NUL-terminated unless the caller stored the NUL). A null or empty value
// name is the key's default value.
//
// A store that cannot be parsed is renamed aside (registry.broken-<time>)
// and reported on stderr; the program then starts from an empty store. A
// store that exists but cannot be read is reported on stderr, read as empty,
// and never overwritten: writes then fail with ERROR_ACCESS_DENIED.
//
// All calls are thread-safe (one mutex) and never throw.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/files.h"

#ifndef HKEY_USERS
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000003u)))
#endif

using PHKEY = HKEY*;
using REGSAM = DWORD;

constexpr DWORD KEY_CREATE_SUB_KEY = 0x0004;
constexpr DWORD KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr DWORD KEY_NOTIFY = 0x0010;
constexpr DWORD KEY_WOW64_64KEY = 0x0100;
constexpr DWORD KEY_WOW64_32KEY = 0x0200;
constexpr DWORD KEY_EXECUTE = KEY_READ;
constexpr DWORD REG_OPTION_VOLATILE = 1;
constexpr LONG ERROR_KEY_DELETED = 1018;

LONG RegCreateKeyEx(HKEY key, LPCTSTR subKey, DWORD reserved, LPTSTR keyClass, DWORD options, REGSAM desired,
                    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
// ERROR_FILE_NOT_FOUND when the key does not exist.
LONG RegOpenKeyEx(HKEY key, LPCTSTR subKey, DWORD options, REGSAM desired, PHKEY result);
// ERROR_INVALID_HANDLE for null, unknown and already closed handles; closing
// a predefined root does nothing and succeeds.
LONG RegCloseKey(HKEY key);

// data null: *dataSize becomes the value's size (ERROR_SUCCESS). A buffer
// smaller than the value: ERROR_MORE_DATA, *dataSize the size needed, the
// buffer untouched. A string value stored without its NUL gets one after
// its bytes when the buffer has room (the size reported stays the stored
// one). ERROR_FILE_NOT_FOUND for a missing value. type may be null.
LONG RegQueryValueEx(HKEY key, LPCTSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
LONG RegSetValueEx(HKEY key, LPCTSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValue(HKEY key, LPCTSTR valueName);
// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED when it has some).
LONG RegDeleteKey(HKEY key, LPCTSTR subKey);
// Deletes a key with everything under it; subKey null or empty: everything
// under key, key itself kept.
LONG RegDeleteTree(HKEY key, LPCTSTR subKey);
// Sub-keys and values by index, in the order of their names (case-insensitive)
// for keys and in the order of creation for values. nameSize counts
// characters with the NUL on input and without it on output; ERROR_MORE_DATA
// when a buffer is too small, ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumKeyEx(HKEY key, DWORD index, LPTSTR name, LPDWORD nameSize, LPDWORD reserved, LPTSTR keyClass,
                  LPDWORD classSize, FILETIME* lastWriteTime);
LONG RegEnumValue(HKEY key, DWORD index, LPTSTR valueName, LPDWORD valueNameSize, LPDWORD reserved, LPDWORD type,
                  LPBYTE data, LPDWORD dataSize);

// Where the store lives (UTF-8 file-system path), and its folder.
std::string RegistryStorePath();

// For tests of the crash safety: the next store write stops at the given
// stage, as a crash or a failing file system would. 0: no failure; 1: the
// temporary file is written half and left behind (as after a crash); 2: the
// rename over the store fails. The write then reports ERROR_WRITE_FAULT and
// the value is not changed.
void RegSimulateStoreWriteFailure(int stage);
