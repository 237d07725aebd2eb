// Movable memory blocks (the GlobalAlloc family) as opaque handles with a
// size, and GUID generation in the Windows byte layout.
#pragma once

#include "platform/base/cstring.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// A block of `bytes` bytes; null (with ERROR_NOT_ENOUGH_MEMORY) when it
// cannot be had. Blocks are zero-filled whatever the flags.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// Resizes keeping the contents (new bytes zero); null and the old block
// untouched on failure.
HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT flags);
// The block's bytes; null for a null or unknown handle.
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
// The size asked for at allocation; 0 for a null or unknown handle.
size_t GlobalSize(HGLOBAL block);
// Frees the block; returns null on success, the handle when it is unknown.
HGLOBAL GlobalFree(HGLOBAL block);

// A new random (version 4) GUID.
HRESULT CoCreateGuid(GUID* out);
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Text form "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (lower case, no braces),
// as UuidToString gives it, and back. Parsing accepts braces and either case.
CString GuidToText(const GUID& guid);
bool TextToGuid(const char* text, GUID& out);

// Page memory for large arrays (VirtualAlloc with MEM_COMMIT | MEM_RESERVE
// and PAGE_READWRITE at a system-chosen address): zero-filled pages, backed
// by transparent huge pages where the system offers them, which makes the
// first touch of big arrays (a million beads) many times cheaper. Other
// arguments give null with ERROR_INVALID_PARAMETER. VirtualFree releases a
// whole block (size 0, MEM_RELEASE).
using SIZE_T = size_t;
constexpr DWORD MEM_COMMIT = 0x1000;
constexpr DWORD MEM_RESERVE = 0x2000;
constexpr DWORD MEM_RELEASE = 0x8000;
constexpr DWORD PAGE_READWRITE = 0x04;
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect);
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType);
