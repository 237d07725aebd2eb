// The pixel back ends of a picture (CImage). A back end keeps the pixels as
// a device-independent bitmap in one memory block: a 40-byte
// BITMAPINFOHEADER, the colour table (or the three bit-field masks) and the
// pixel rows, bottom row first, ready for the DIB drawing calls. A block the
// back end makes itself (Create) comes from the large-block allocator, so a
// photograph's rows lie in page memory that the system backs with large
// pages where it can; a block taken over (TakeBlock) is a movable memory
// block.
//
// Pixel coordinates: x counts columns from the left, y counts DIB rows, so
// y = 0 is the bottom row of the picture as shown.
//
// While a palette is attached the block's colour table holds the palette
// indices 0, 1, 2 ... (the DIB_PAL_COLORS form); the BMP writer turns it into
// colours for the file and back.
#pragma once

#include <array>
#include <cstdint>

#include "platform/base.h"
#include "platform/gdi.h"

// Flag bits of a back end.
constexpr DWORD kImageFlagIndexed = 0x1;     // pixels are palette indices
constexpr DWORD kImageFlagHasPalette = 0x2;  // more than 8 bits, or a palette attached

// The block is allocated with this much room for the header and a full
// colour table in front of the rows.
constexpr size_t kDibHeaderRoom = 40 + 4 * 256;

// A GDI palette owned by a back end. Its entries are kept beside the GDI
// object too, so colour look-ups need no call into the drawing layer.
class CImagePalette : public CPalette {
 public:
  // Fails when the palette already exists or count is not 1..256. A
  // missing green array means the red one, a missing blue one the green one.
  bool CreateFromArrays(int count, const BYTE* red, const BYTE* green, const BYTE* blue);
  // From PALETTEENTRY values (flags kept).
  bool CreateFromEntries(int count, const PALETTEENTRY* entries);
  // The entry nearest to the colour (GetNearestPaletteIndex).
  int NearestIndex(BYTE red, BYTE green, BYTE blue) const;
  // Entry 0..255; false outside the palette.
  bool GetEntryRGB(int index, BYTE& red, BYTE& green, BYTE& blue) const;
  int GetCount() const { return m_count; }

 private:
  int m_count = 0;
  std::array<PALETTEENTRY, 256> m_entries{};
};

// A bitmap holder that deletes its bitmap when destroyed; bitmaps cross the
// picture classes' interface in it.
class CSafeBitmap : public CBitmap {
 public:
  CSafeBitmap() = default;
  explicit CSafeBitmap(HBITMAP bitmap) { Attach(bitmap); }
};

// ---- The DIB block ---------------------------------------------------------

// The largest pixel area (row stride x height) a picture may have; sizes
// beyond it fail cleanly. Tests and fuzz targets lower it.
void SetImageMemoryLimit(std::uint64_t bytes);  // 0 restores the default
std::uint64_t GetImageMemoryLimit();
// Number of colour-table entries of a header: colours used, or 2 to the
// power of the bit count for 8 bits or fewer when that is 0.
int DibTableEntries(const BITMAPINFOHEADER& header);
// Offset of the pixel rows from the block start: header + 4 x colours used,
// or header + 12 (the masks) for bit-field compression.
size_t DibBitsOffset(const BITMAPINFOHEADER& header);
// A new zero-filled block for a picture: header, the standard 16 VGA colours
// repeated in the table, room for the rows. Null when the size is not
// positive, too large, or the memory cannot be had.
HGLOBAL CreateDIB(int bitsPerPixel, int width, int height);
// Fills the block's colour table from the palette: mode 1 writes the
// indices 0, 1, 2 ... (16-bit), mode 0 the palette's colours (the default
// palette without one). Nothing for pictures above 8 bits per pixel.
void SetColourTableFromPalette(BYTE* block, const CImagePalette* palette, int mode);
// A palette of the block's colour table (8 bits per pixel or fewer, with
// entries); null otherwise.
CImagePalette* CreatePaletteFromDIB(const BYTE* block, BYTE flags);

// ---- Back ends ---------------------------------------------------------------

class CImageImpl {
 public:
  CImageImpl() = default;
  CImageImpl(const CImageImpl&) = delete;
  CImageImpl& operator=(const CImageImpl&) = delete;
  virtual ~CImageImpl();

  virtual bool IsInside(int x, int y) const;
  // Makes a new zero-filled pixel block; flags < 0 means 0 for 8 bits or
  // fewer and kImageFlagHasPalette above. Non-zero on success.
  virtual int Create(int width, int height, int bitsPerPixel, int flags);
  // The palette index; -1 outside or above 8 bits per pixel.
  virtual int GetPixelIndex(int x, int y) const;
  virtual bool GetPixelRGB(int x, int y, BYTE& red, BYTE& green, BYTE& blue) const;
  // count pixels of row y from x on as blue, green, red bytes, as
  // GetPixelRGB gives them; 24- and plain 32-bit blocks a row at a time.
  // False when the span leaves the picture.
  bool GetRowBGR(int x, int y, int count, BYTE* out) const;
  virtual bool SetPixelIndex(int x, int y, int index);
  virtual bool SetPixelColorref(int x, int y, COLORREF color);
  virtual bool SetPixelRGB(int x, int y, BYTE red, BYTE green, BYTE blue);
  virtual bool Load(const char* name);
  virtual bool Save(const char* name);

  BYTE* GetBits() const { return m_bits; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetBitsPerPixel() const { return m_bpp; }
  DWORD GetFlags() const { return m_flags; }
  int GetRowStride() const { return m_stride; }
  bool HasBlock() const { return m_dib != nullptr; }
  // The block: header, table or masks, rows.
  BYTE* GetDib() const { return m_dib; }
  const BITMAPINFO* GetInfo() const { return reinterpret_cast<const BITMAPINFO*>(m_dib); }
  int GetTransparentIndex() const { return m_transparent; }
  void SetTransparentIndex(int index) { m_transparent = index; }
  CImagePalette* GetPalette() const { return m_palette; }
  void SetWidthRaw(int width) { m_width = width; }
  void SetHeightRaw(int height) { m_height = height; }

  // Palettes (the back end owns its palette).
  bool SetPalette(CImagePalette* palette);
  bool SetPaletteRGB(int count, const BYTE* red, const BYTE* green, const BYTE* blue);
  bool SetPaletteTriples(int count, const BYTE* rgb);

  // Takes over a locked block (header at its start, rows behind the table
  // or masks): width, height, bit count and stride from its header. When
  // its colour table gives a palette (8 bits or fewer), the palette is
  // attached. The old block and palette are freed.
  void TakeBlock(HGLOBAL block);

 protected:
  void FreeBlock();
  // The bytes of the block (header, table or masks, rows); 0 without one.
  size_t GetBlockSize() const;
  // Byte of pixel (x, y); the caller has checked IsInside.
  BYTE* PixelByte(int x, int y) const {
    return m_bits + static_cast<std::ptrdiff_t>(y) * m_stride + (static_cast<std::ptrdiff_t>(x) * m_bpp) / 8;
  }
  // The colour of a table entry of a picture without palette.
  bool TableColor(int index, BYTE& red, BYTE& green, BYTE& blue) const;
  // The masks of a 16- or 32-bit picture (5-5-5 and 8-8-8 unless the block
  // has bit fields).
  void GetMasks(DWORD& red, DWORD& green, DWORD& blue) const;

  BYTE* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_bpp = 0;
  DWORD m_flags = 0;
  int m_stride = 0;
  HGLOBAL m_block = nullptr;  // a block taken over
  BYTE* m_pages = nullptr;    // or a block made by Create, of m_pagesSize bytes
  size_t m_pagesSize = 0;
  BYTE* m_dib = nullptr;
  int m_transparent = -1;
  CImagePalette* m_palette = nullptr;
};

// A back end that draws and knows its file.
class CFileImageImpl : public CImageImpl {
 public:
  explicit CFileImageImpl(const char* fileName = "") : m_fileName(fileName ? fileName : "") {}

  // Takes over the other's block, transparent index, palette and sizes; the
  // other is left without block or palette.
  void TakeOver(CFileImageImpl& other);

  // Drawing. False without a pixel block; a null device context (or one
  // without a handle) draws nothing and answers true. Width or height -1
  // means the picture's; source width or height -1 means to the edge.
  bool Draw(CDC* dc, int x, int y, int width, int height, int xSrc, int ySrc);
  bool StretchDraw(CDC* dc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight);

  CRect GetDrawnRect() const { return m_drawn; }
  void SetDrawnRect(const RECT& r) { m_drawn = r; }
  const CString& GetFileName() const { return m_fileName; }
  void SetFileName(const char* name) { m_fileName = name ? name : ""; }

 protected:
  // DIB_PAL_COLORS while a palette is attached (the table holds indices),
  // else DIB_RGB_COLORS.
  UINT ColorUsage() const;

  CRect m_drawn;
  CString m_fileName;
};

// Pictures built from a bitmap or read from a BMP file.
class CImageBMP : public CFileImageImpl {
 public:
  using CFileImageImpl::CFileImageImpl;
  // From a bitmap (its pixels copied at its own depth); a null bitmap leaves
  // an empty back end.
  explicit CImageBMP(HBITMAP bitmap);
  bool Load(const char* name) override;
  bool Save(const char* name) override;
};

// GIF pictures through the own reader (every image composed on the
// logical screen: 8 bits with the shared palette and, when the file says
// so, a transparent index; 24 bits when the images have tables of their
// own) and the GIF87a writer.
class CImageGIF : public CFileImageImpl {
 public:
  using CFileImageImpl::CFileImageImpl;
  bool Load(const char* name) override;
  bool Save(const char* name) override;
  // The reader over bytes in memory (the file reader's core).
  bool LoadFromBytes(const BYTE* data, size_t size);
};

// PNG and JPEG pictures are read and written by the codec layer; their back
// ends add nothing but their class.
class CImagePNG : public CFileImageImpl {
 public:
  using CFileImageImpl::CFileImageImpl;
};
class CImageJPG : public CFileImageImpl {
 public:
  using CFileImageImpl::CFileImageImpl;
};

// ---- The own BMP file reader and writer ----------------------------------

// A locked block holding header, colour table (or masks) and rows of a BMP
// file or bare DIB; null when the file cannot be read or is not a picture
// this reader takes (it takes 1, 4, 8, 16, 24 and 32 bits per pixel,
// uncompressed or with bit fields).
HGLOBAL ReadDIBFile(const char* name);
HGLOBAL ReadDIBBytes(const BYTE* data, size_t size);
// Writes a block (header, table or masks, rows; `size` bytes) as a BMP file.
bool WriteDIBFile(const char* name, const BYTE* block, size_t size);
