// Metafiles: enhanced metafiles (EMF) and Windows metafiles (WMF) kept as
// their bits and played record by record through the drawing calls on the
// target device context, so the drawing stand-in's pixel rules hold for
// them too. See platform/gdi/README.md for the records that play.
#pragma once

#include "platform/gdi/gdi_api.h"

QM_DECLARE_HANDLE(HENHMETAFILE);
QM_DECLARE_HANDLE(HMETAFILE);

#pragma pack(push, 4)
// The header record of an enhanced metafile, as GetEnhMetaFileHeader gives it.
struct ENHMETAHEADER {
  DWORD iType;
  DWORD nSize;
  RECT rclBounds;  // device units of the reference device, inclusive
  RECT rclFrame;   // 0.01 mm, inclusive
  DWORD dSignature;
  DWORD nVersion;
  DWORD nBytes;
  DWORD nRecords;
  WORD nHandles;
  WORD sReserved;
  DWORD nDescription;
  DWORD offDescription;
  DWORD nPalEntries;
  SIZE szlDevice;       // reference device in pixels
  SIZE szlMillimeters;  // reference device in millimetres
  DWORD cbPixelFormat;
  DWORD offPixelFormat;
  DWORD bOpenGL;
  SIZE szlMicrometers;
};
static_assert(sizeof(ENHMETAHEADER) == 108);

// A Windows metafile's picture: mapping mode and extents (0.01 mm in the
// isotropic and anisotropic modes).
struct METAFILEPICT {
  LONG mm;
  LONG xExt;
  LONG yExt;
  HMETAFILE hMF;
};
static_assert(sizeof(METAFILEPICT) == 12 + sizeof(void*));
#pragma pack(pop)

constexpr DWORD ENHMETA_SIGNATURE = 0x464D4520;  // " EMF"
constexpr DWORD EMR_HEADER = 1;
constexpr DWORD EMR_EOF = 14;

// An enhanced metafile from its bits (a copy is kept); null when the bits
// are not a well-formed metafile (header, record sizes, end record).
HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* bits);
// A Windows metafile (without its placeable header) kept as it is; its
// window (from its first window records, or the picture's extents) is
// stretched into the rectangle it is played into. hdcRef may be null.
HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* bits, HDC hdcRef, const METAFILEPICT* picture);
// The header (a Windows metafile gets one made from its window, at 96 dots
// per inch). Answers the bytes copied, or the header size when header is null.
UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header);
// The palette of the end record; answers the number of entries (entries null:
// just the count), 0 without one, GDI_ERROR for a bad handle.
UINT GetEnhMetaFilePaletteEntries(HENHMETAFILE metafile, UINT count, PALETTEENTRY* entries);
// Plays every record into the rectangle (logical units of hdc). FALSE when a
// record is malformed (sizes, counts, offsets, object indices, bitmaps),
// with ERROR_INVALID_DATA; what was drawn before it stays drawn.
BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE metafile, LPCRECT rect);
BOOL DeleteEnhMetaFile(HENHMETAFILE metafile);

// What the last PlayEnhMetaFile on this thread did: records played and
// records skipped (kinds the player does not draw, comments included).
struct QmMetafilePlayCounts {
  int played = 0;
  int skipped = 0;
};
QmMetafilePlayCounts QmLastMetafilePlayCounts();
