// The drawing calls of the Windows programming model, over our own device
// contexts (see platform/gdi/README.md). Every call that fails answers the
// documented failure value and sets the last error.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/gdi/gdi_defs.h"

// ---- Device contexts ----------------------------------------------------
// A memory device context compatible with hdc (null: the screen). It starts
// with a 1 x 1 monochrome bitmap selected, the black pen, the white brush,
// the system font and the default palette.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// GetDC(NULL) is the screen: it measures text and makes compatible objects,
// but drawing on it fails. Window device contexts come from the window layer.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int savedDC);
int GetDeviceCaps(HDC hdc, int index);
DWORD GetObjectType(HGDIOBJ obj);

// Colours and modes.
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetArcDirection(HDC hdc, int direction);
int GetArcDirection(HDC hdc);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT org);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);
COLORREF GetNearestColor(HDC hdc, COLORREF color);

// Coordinates.
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT org);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT org);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old);
BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old);
BOOL GetWindowExtEx(HDC hdc, LPSIZE ext);
BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old);
BOOL GetViewportExtEx(HDC hdc, LPSIZE ext);
BOOL LPtoDP(HDC hdc, LPPOINT points, int count);
BOOL DPtoLP(HDC hdc, LPPOINT points, int count);

// Clipping (rectangles in logical units; SelectClipRgn takes device units).
int GetClipBox(HDC hdc, LPRECT rect);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int dx, int dy);
int SelectClipRgn(HDC hdc, HRGN rgn);
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int GetClipRgn(HDC hdc, HRGN rgn);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, LPCRECT rect);

// ---- Objects --------------------------------------------------------------
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ obj);
int GetObject(HGDIOBJ obj, int size, LPVOID out);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HBRUSH GetSysColorBrush(int index);

HFONT CreateFontIndirect(const LOGFONT* font);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);

HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE CreateHalftonePalette(HDC hdc);
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
BOOL ResizePalette(HPALETTE palette, UINT count);
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(LPCRECT rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(LPCRECT rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, LPRECT rect);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, LPCRECT rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC hdc, HRGN rgn);
BOOL InvertRgn(HDC hdc, HRGN rgn);
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height);

// ---- Shapes -----------------------------------------------------------------
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pos);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);
int FillRect(HDC hdc, LPCRECT rect, HBRUSH brush);
int FrameRect(HDC hdc, LPCRECT rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, LPCRECT rect);
BOOL DrawFocusRect(HDC hdc, LPCRECT rect);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state);

// ---- Text -----------------------------------------------------------------
BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int length);
BOOL TextOutW(HDC hdc, int x, int y, const WCHAR* text, int length);
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, LPCRECT rect, LPCSTR text, UINT length, const INT* dx);
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, LPCRECT rect, const WCHAR* text, UINT length, const INT* dx);
int DrawText(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format);
int DrawTextW(HDC hdc, const WCHAR* text, int length, LPRECT rect, UINT format);
BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int length, LPSIZE size);
BOOL GetTextExtentPoint32W(HDC hdc, const WCHAR* text, int length, LPSIZE size);
BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int length, LPSIZE size);
BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC metrics);
int GetTextFace(HDC hdc, int size, LPSTR face);
BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths);
DWORD GetTabbedTextExtent(HDC hdc, LPCSTR text, int length, int tabCount, const INT* tabStops);

// ---- Bitmaps and DIBs --------------------------------------------------------
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
LONG GetBitmapBits(HBITMAP bitmap, LONG bytes, LPVOID bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD bytes, const void* bits);
BOOL SetBitmapDimensionEx(HBITMAP bitmap, int width, int height, LPSIZE old);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, LPSIZE size);
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors);
BOOL GdiFlush();

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent);
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend);
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop);

// Bits in a packed DIB block (header, colour table or masks, rows), as the
// clipboard and the image library hand them around.
const void* FindDIBBits(const BITMAPINFO* info);
// Bytes of the header and colour table of a DIB (0 when the header is bad).
size_t DIBHeaderBytes(const BITMAPINFO* info, UINT usage);

// ---- Icons, cursors, DrawState -------------------------------------------
HICON CreateIconIndirect(const ICONINFO* info);
BOOL GetIconInfo(HICON icon, PICONINFO info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
// An icon or cursor from one image of an icon resource (a DIB with its AND
// mask, or a PNG), at the size asked for (0 = the image's own).
HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx, int cy, UINT flags);
// The image of a group-icon resource (the directory) that best fits a size.
int LookupIconIdFromDirectoryEx(const BYTE* dir, BOOL icon, int cx, int cy, UINT flags);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker, UINT flags);
BOOL DrawState(HDC hdc, HBRUSH fore, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
               UINT flags);
// Standard cursors and icons (instance null) or those of a resource pack.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
// A copy of a bitmap resource with colours replaced (mapped bitmaps).
struct COLORMAP {
  COLORREF from;
  COLORREF to;
};
HBITMAP CreateMappedBitmap(HINSTANCE instance, INT_PTR bitmapId, UINT flags, const COLORMAP* map, int mapSize);

// ---- System values ----------------------------------------------------------
// From one fixed table of the classic Windows scheme.
DWORD GetSysColor(int index);
// The screen from the Qt screen (1920 x 1080 when headless); borders,
// captions, scroll bars and menus from a fixed table.
int GetSystemMetrics(int index);

// ---- Clipboard --------------------------------------------------------------
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Takes over the block (CF_DIB, CF_TEXT, CF_UNICODETEXT) or bitmap (CF_BITMAP).
HANDLE SetClipboardData(UINT format, HANDLE data);
// A block owned by the clipboard, valid until the clipboard is emptied or closed.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();

// ---- Small helpers ----------------------------------------------------------
// number * numerator / denominator rounded half away from zero; -1 when the
// denominator is 0.
int QmMulDiv(int number, int numerator, int denominator);
