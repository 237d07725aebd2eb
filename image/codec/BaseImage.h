// CBaseImage: the picture of the codec layer. A device-independent bitmap of
// 1, 4, 8 or 24 bits per pixel in one memory block (header, palette, rows
// bottom-up), with an optional alpha plane, transparency, resolution, JPEG
// settings, per-format codec options and the reason of the last failure.
// The format classes (CCodecBMP ... CCodecWMF) derive from it and decode
// into or encode from its pixels; CBaseImage::Decode, Encode, Load and Save
// choose them by format id.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/base.h"

class CCodecFile;
class CBaseImage;

// Format ids: the image type, the codec-option index and the argument of
// Encode, Decode, Save and Load.
enum ENUM_CODEC_FORMATS : DWORD {
  CODEC_FORMAT_UNKNOWN = 0,
  CODEC_FORMAT_BMP = 1,
  CODEC_FORMAT_GIF = 2,
  CODEC_FORMAT_JPG = 3,
  CODEC_FORMAT_PNG = 4,
  CODEC_FORMAT_ICO = 5,
  CODEC_FORMAT_TIF = 6,
  CODEC_FORMAT_TGA = 7,
  CODEC_FORMAT_PCX = 8,
  CODEC_FORMAT_WBMP = 9,
  CODEC_FORMAT_WMF = 10,
};
constexpr DWORD CODEC_FORMAT_COUNT = 11;

// The largest picture block the layer makes, in bytes.
constexpr DWORD CODEC_MAX_MEMORY = 256000000;

// Everything about a picture but its buffers; copied as one unit.
struct CBaseImageInfo {
  DWORD dwEffWidth;            // row stride in bytes
  BYTE* pImage;                // row 0 (the bottom row) inside the picture block
  const CBaseImage* pGhost;    // set when the buffers are borrowed
  CBaseImage* pParent;         // always null
  DWORD dwType;                // format id
  char szLastError[256];
  LONG nProgress;
  LONG nEscape;
  LONG nBkgndIndex;            // transparent / background index, -1 = none
  RGBQUAD nBkgndColor;         // transparent / background colour (true colour)
  BYTE nQuality;               // JPEG quality
  BYTE nJpegScale;             // JPEG scale denominator
  LONG nFrame;
  LONG nNumFrames;
  DWORD dwFrameDelay;
  LONG xDPI;
  LONG yDPI;
  RECT rSelectionBox;
  BYTE nAlphaMax;
  bool bAlphaPaletteEnabled;
  bool bEnabled;
  LONG xOffset;
  LONG yOffset;
  DWORD dwCodecOpt[CODEC_FORMAT_COUNT];
  RGBQUAD last_c;              // nearest-colour cache
  BYTE last_c_index;
  bool last_c_isvalid;
  LONG nNumLayers;
  DWORD dwFlags;
};

class CBaseImage {
 public:
  explicit CBaseImage(DWORD imagetype = 0);
  CBaseImage(DWORD width, DWORD height, DWORD bpp, DWORD imagetype = 0);
  CBaseImage(const CBaseImage& src, bool copypixels = true, bool copyselection = true, bool copyalpha = true);
  CBaseImage& operator=(const CBaseImage& src);
  virtual ~CBaseImage();

  // ---- lifetime (the picture block) ----
  void* Create(DWORD width, DWORD height, DWORD bpp, DWORD imagetype = 0);
  bool Destroy();
  void Copy(const CBaseImage& src, bool copypixels = true, bool copyselection = true, bool copyalpha = true);
  void CopyInfo(const CBaseImage& src);
  bool Transfer(CBaseImage& from);
  void Ghost(const CBaseImage* from);
  void Clear(BYTE bval = 0);

  // ---- accessors ----
  bool IsValid() const { return pDib != nullptr; }
  DWORD GetWidth() const { return static_cast<DWORD>(head.biWidth); }
  DWORD GetHeight() const { return static_cast<DWORD>(head.biHeight); }
  WORD GetBpp() const { return head.biBitCount; }
  DWORD GetNumColors() const { return head.biClrUsed; }
  DWORD GetType() const { return info.dwType; }
  DWORD GetEffWidth() const { return info.dwEffWidth; }
  DWORD GetSize() const;
  BYTE* GetBits(DWORD row = 0);
  const BITMAPINFOHEADER& GetHeader() const { return head; }
  void* GetDIB() const { return pDib; }
  bool IsInside(long x, long y) const;
  const char* GetLastError() const { return info.szLastError; }
  void SetLastError(const char* text);
  BYTE GetColorType() const;
  void SetOffset(long x, long y) { info.xOffset = x; info.yOffset = y; }
  void GetOffset(long* x, long* y) const { *x = info.xOffset; *y = info.yOffset; }
  void SetJpegQuality(BYTE q) { info.nQuality = q; }
  BYTE GetJpegQuality() const { return info.nQuality; }
  void SetJpegScale(BYTE s) { info.nJpegScale = s; }
  BYTE GetJpegScale() const { return info.nJpegScale; }
  void SetFrame(long frame) { info.nFrame = frame; }
  long GetFrame() const { return info.nFrame; }
  long GetNumFrames() const { return info.nNumFrames; }
  DWORD GetFrameDelay() const { return info.dwFrameDelay; }
  void SetFrameDelay(DWORD d) { info.dwFrameDelay = d; }
  long GetProgress() const { return info.nProgress; }
  void SetProgress(long p) { info.nProgress = p; }
  long GetEscape() const { return info.nEscape; }
  void SetEscape(long e) { info.nEscape = e; }
  BYTE GetAlphaMax() const { return info.nAlphaMax; }
  bool IsAlphaPaletteEnabled() const { return info.bAlphaPaletteEnabled; }
  void SetAlphaPaletteEnabled(bool on) { info.bAlphaPaletteEnabled = on; }

  // ---- resolution ----
  void SetXDPI(long dpi);
  void SetYDPI(long dpi);
  long GetXDPI() const { return info.xDPI; }
  long GetYDPI() const { return info.yDPI; }

  // ---- codec options ----
  DWORD GetCodecOption(DWORD imagetype = 0) const;
  bool SetCodecOption(DWORD opt, DWORD imagetype = 0);

  // ---- palette ----
  DWORD GetPaletteSize() const;
  RGBQUAD* GetPalette() const;
  RGBQUAD GetPaletteColor(BYTE idx) const;
  bool GetPaletteColor(BYTE idx, BYTE* r, BYTE* g, BYTE* b) const;
  void SetPaletteColor(BYTE idx, BYTE r, BYTE g, BYTE b, BYTE alpha = 0);
  void SetPaletteColor(BYTE idx, RGBQUAD c);
  void SetPalette(DWORD n, const BYTE* r, const BYTE* g = nullptr, const BYTE* b = nullptr);
  void SetPalette(const RGBTRIPLE* rgb, DWORD nColors = 256);  // red, green, blue triplets
  void SetPalette(const RGBQUAD* pPal, DWORD nColors = 256);
  void SetGrayPalette();
  bool IsGrayScale() const;
  void SwapIndex(BYTE idx1, BYTE idx2);
  bool IsAlphaPalette() const;

  // ---- pixels (y counts from the bottom row) ----
  BYTE GetPixelIndex(long x, long y) const;
  BYTE BlindGetPixelIndex(long x, long y) const;
  void SetPixelIndex(long x, long y, BYTE i);
  RGBQUAD GetPixelColor(long x, long y, bool bGetAlpha = true);
  RGBQUAD BlindGetPixelColor(long x, long y, bool bGetAlpha = true);
  void SetPixelColor(long x, long y, RGBQUAD c, bool bSetAlpha = false);
  void SetPixelColor(long x, long y, COLORREF cr);
  BYTE* BlindGetPixelPointer(long x, long y);
  BYTE GetNearestIndex(RGBQUAD c);

  // ---- transparency ----
  void SetTransIndex(long idx) { info.nBkgndIndex = idx; }
  long GetTransIndex() const { return info.nBkgndIndex; }
  void SetTransColor(RGBQUAD rgb);
  RGBQUAD GetTransColor() const;
  bool IsTransparent() const { return info.nBkgndIndex >= 0; }

  // ---- alpha plane (one byte a pixel, DIB row order, 255 opaque) ----
  bool AlphaIsValid() const { return pAlpha != nullptr; }
  bool AlphaCreate();
  void AlphaDelete();
  void AlphaSet(long x, long y, BYTE level);
  BYTE AlphaGet(long x, long y) const;
  BYTE BlindAlphaGet(long x, long y) const;
  bool AlphaFlip();
  bool AlphaMirror();
  BYTE* AlphaGetPointer(long x = 0, long y = 0) const;

  // ---- selection (never made in the program; kept for completeness) ----
  bool SelectionIsValid() const { return pSelection != nullptr; }
  void SelectionDelete();
  bool SelectionIsInside(long x, long y) const;

  // ---- conversions used by the decoders ----
  void Bitfield2RGB(const BYTE* src, DWORD redmask, DWORD greenmask, DWORD bluemask, BYTE bpp);
  void RGBtoBGR(BYTE* buffer, long length);
  static RGBQUAD RGBtoRGBQUAD(COLORREF cr);
  static COLORREF RGBQUADtoRGB(RGBQUAD c);
  static int CompareColors(const void* a, const void* b);

  // ---- files, memory blocks and streams ----
  static DWORD GetTypeIdFromName(const char* name);
  bool Load(const char* filename, DWORD imagetype = 0);
  bool Save(const char* filename, DWORD imagetype);
  bool Encode(CCodecFile* hFile, DWORD imagetype);
  // Encodes into a new malloc'ed block; buffer must be null on entry; the
  // caller frees the block with free.
  bool Encode(BYTE*& buffer, long& size, DWORD imagetype);
  bool Encode(BYTE*& buffer, long& size, const CString& filename);
  bool Decode(CCodecFile* hFile, DWORD imagetype);
  bool Decode(const BYTE* buffer, DWORD size, DWORD imagetype);
  bool Decode(FILE* hFile, DWORD imagetype);
  // Takes the frame count of a format object whose decode failed.
  void CopyFrameCount(const CBaseImage& from);

  // ---- global-memory DIBs (the clipboard's CF_DIB) ----
  bool CreateFromHANDLE(HANDLE hMem);
  HANDLE CopyToHandle() const;

  // ---- transforms ----
  bool Flip();
  bool Mirror();
  bool RotateLeft(CBaseImage* iDst = nullptr);
  bool RotateRight(CBaseImage* iDst = nullptr);
  bool Negative();

  // ---- filters ----
  bool Light(long brightness, long contrast = 0);
  bool Lut(const BYTE* pLut);
  bool Edge(long Ksize = 2);
  bool Contour();
  bool CircleTransform(int type, long rmax = 0, float Koeff = 1.0f);

  // The ceiling on one picture block (and alpha plane), in bytes. Fuzz
  // targets lower it to keep each run small.
  static void SetMemoryLimit(std::uint64_t bytes);
  static std::uint64_t GetMemoryLimit();
  // True when a picture of this size fits the ceiling.
  static bool FitsMemoryLimit(std::uint64_t width, std::uint64_t height, std::uint64_t bpp);

 protected:
  void Startup(DWORD imagetype);
  // The common check of every encoder: false (with the reason) when there is
  // no stream or no picture.
  bool EncodeSafeCheck(CCodecFile* hFile);
  void CopyPalette(const CBaseImage& src);
  // Run-length decoding of BI_RLE8 / BI_RLE4 data from a stream into the
  // pixel area; stops at the end of the data or of the stream.
  void DecodeRLE(CCodecFile* hFile, bool rle4);
  // Reads one byte; -1 at the end.
  static long ReadByte(CCodecFile* hFile);
  BYTE BlindGetPixelIndexFast(long x, long y) const;
  // Takes the other picture's settings (info record, resolution, palette)
  // while keeping this picture's own buffers.
  void CopySettingsFrom(const CBaseImage& src);
  bool RotateImpl(CBaseImage* iDst, bool left);
  // Takes the other picture's header and buffers, keeping this picture's
  // settings; the other is left empty.
  bool TakePixels(CBaseImage& from);

  void* pDib;                  // header + palette + pixels
  BITMAPINFOHEADER head;
  CBaseImageInfo info;
  BYTE* pSelection;
  BYTE* pAlpha;
  CBaseImage** ppLayers;

  friend class CImageIterator;
};

// A row cursor over a picture's pixel rows.
class CImageIterator {
 public:
  explicit CImageIterator(CBaseImage* image);
  bool ItOK() const;
  void Upset();
  bool NextRow();
  void SetY(long y);
  BYTE* GetRow();
  BYTE* GetRow(long n);
  void SetRow(const BYTE* buf, long n);
  void GetRow(BYTE* buf, long n);
  long GetY() const { return Ity; }

 protected:
  long Itx;
  long Ity;
  BYTE* IterImage;
  CBaseImage* ima;
};
