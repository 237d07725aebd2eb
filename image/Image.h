// CImage: the program's picture. Every picture the program shows, samples,
// stores or exports is a CImage: the picture a design was made from,
// previews and thumbnails, swatch pictures, collage layers, PDF page tiles.
//
// A picture owns a pixel back end (image/ImageImpl.h) that keeps its pixels
// as a device-independent bitmap; no back end means "no picture", and every
// query then answers 0, false or an empty value. Pixel rows count from the
// bottom (y = 0 is the bottom row as shown). Pictures made in memory or
// decoded by the codec layer are 24-bit; the own BMP and GIF readers keep a
// file's depth and palette; pictures made from a device bitmap keep its
// depth.
//
// Type ids (the type field, the extension table) are not the codec layer's
// format ids.
#pragma once

#include <memory>

#include "image/ImageImpl.h"
#include "platform/base.h"
#include "platform/gdi.h"

class CBaseImage;
class CByteStream;
struct CJpegSource;
class IProgress;

// Picture type ids.
enum : int {
  kImageTypeNone = -1,
  kImageTypeBMP = 0,
  kImageTypeJPG = 1,
  kImageTypeGIF = 2,
  kImageTypeXPM = 3,  // an id only: nothing reads or writes it
  kImageTypePNG = 4,
  kImageTypeTIF = 5,
  kImageTypePSD = 6,
  kImageTypeTGA = 7,
  kImageTypePCX = 8,
  kImageTypeEMF = 9,
  kImageTypeTSW = 10,  // collage picture
};

// The text after the last '.' of the name; empty for a name without '.' or
// ending in '.'.
CString GetFileExtension(const char* name);
// The type id of an extension ("bmp", "GIF"...; compared without regard to
// case against BMP GIF JPG PNG XPM TIF PSD TGA PCX EMF TSW); -1 for no match.
int ImageTypeFromExtension(const char* extension);

// A part of a picture as fractions 0 .. 1 of its width and height (left
// and top from the top-left corner). The constructor takes left, width,
// top, height in that order.
struct CFractionRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  CFractionRect() = default;
  CFractionRect(double l, double w, double t, double h) : left(l), top(t), width(w), height(h) {}
};

// Page tiling of an extent (any common unit, such as points).
class CTileGrid {
 public:
  CTileGrid(double totalWidth, double totalHeight, double tileWidth, double tileHeight)
      : m_totalWidth(totalWidth), m_totalHeight(totalHeight), m_tileWidth(tileWidth), m_tileHeight(tileHeight) {}
  // Total over tile, rounded up (0 for a tile size of 0 or less).
  int GetTilesAcross() const;
  int GetTilesDown() const;
  // The tile's part of the whole; false outside the grid.
  bool GetTileRect(int column, int row, CFractionRect& rect) const;

 private:
  double m_totalWidth;
  double m_totalHeight;
  double m_tileWidth;
  double m_tileHeight;
};

// The marker that opens a picture block in a byte stream.
constexpr const char* kPictureBlockMarker = "ADDF938B-0BB5-4aef-8636-9006FE6036EE";

// An encoded picture in memory. The name (a file name or a bare extension
// such as ".jpg") gives the format. The block frees its data when destroyed:
// owner kind 0 with delete[], 1 (allocated by the codec layer) with free.
struct CImageMemBlock {
  enum : DWORD { kOwnerProgram = 0, kOwnerCodec = 1 };
  DWORD ownerKind = kOwnerProgram;
  BYTE* data = nullptr;
  DWORD size = 0;
  char name[256] = {};

  CImageMemBlock() = default;
  explicit CImageMemBlock(const char* blockName) { SetName(blockName); }
  CImageMemBlock(const CImageMemBlock&) = delete;
  CImageMemBlock& operator=(const CImageMemBlock&) = delete;
  ~CImageMemBlock() { Free(); }
  // At most 255 characters are kept.
  void SetName(const char* blockName);
  void Free();
};

// Renders a collage file (.tsw) into a picture; installed by the collage
// reader. Without one, collage files do not load.
using CollageFileLoader = bool (*)(class CImage& target, const char* path, IProgress* progress);
void SetCollageFileLoader(CollageFileLoader loader);

class CImage {
 public:
  // Empty: type -1, no file name, no back end.
  CImage();
  // From a device bitmap: type 0, its pixels copied at its own depth; the
  // bitmap stays the caller's.
  explicit CImage(HBITMAP bitmap);
  explicit CImage(const CBitmap& bitmap);
  // From a picture block of a byte stream (ReadFromStream).
  CImage(CByteStream& stream, bool& ok);
  // A blank 24-bit picture; unless fill is -1 (0xFFFFFFFF) every pixel gets
  // that colour.
  CImage(int width, int height, bool& ok, COLORREF fill);
  // Join vertically: the upper picture on top, gap rows of the fill colour,
  // then the lower one; both at the left edge, the narrower one padded.
  CImage(const CImage& upper, const CImage& lower, int gap, COLORREF fill, bool& ok);
  // Join horizontally: the left picture, gap columns, the right one; both on
  // the bottom edge, the shorter one padded above.
  CImage(int gap, COLORREF fill, const CImage& left, const CImage& right, bool& ok);
  // A 24-bit copy of the other's pixels (type 0).
  CImage(const CImage& other);
  // Loads a picture file chosen by its extension (type -1: from the
  // extension; used only for the files that fall through to Load).
  CImage(const char* path, bool& ok, int type = -1, IProgress* progress = nullptr);
  CImage(const CString& path, bool& ok, int type = -1, IProgress* progress = nullptr);
  // From the clipboard's device-independent bitmap (type 0); ok is false
  // when the clipboard holds none.
  explicit CImage(bool& ok);

  // Keeps this picture's type and file name, takes a 24-bit copy of the
  // other's pixels.
  CImage& operator=(const CImage& other);
  virtual ~CImage();

  // ---- The virtual operations, in slot order ----
  virtual int GetRowStride() const;
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual int GetBitsPerPixel() const;
  virtual DWORD GetFlags() const;
  virtual bool IsInside(int x, int y) const;
  // Makes an empty BMP back end first when there is none (type 0, no file
  // name). Non-zero when the pixel block was made.
  virtual int Create(int width, int height, int bitsPerPixel, int flags);
  // Replaces the back end by an empty one of the type's class: 0 BMP, 1 JPEG,
  // 2 GIF, 4 PNG; any other type answers false and leaves no back end.
  virtual bool CreateImpl(const char* name, int type);
  // Called after every successful drawing with the device context.
  virtual void OnAfterDraw(CDC* dc);
  virtual bool Draw(CDC* dc, int x, int y, int width = -1, int height = -1, int xSrc = 0, int ySrc = 0);
  virtual bool StretchDraw(CDC* dc, int x, int y, int width, int height, int xSrc = 0, int ySrc = 0,
                           int srcWidth = -1, int srcHeight = -1);
  virtual int GetPixelIndex(int x, int y) const;
  virtual bool GetPixelRGB(int x, int y, BYTE& red, BYTE& green, BYTE& blue) const;
  virtual bool SetPixelIndex(int x, int y, int index);
  virtual bool SetPixelRGB(int x, int y, BYTE red, BYTE green, BYTE blue);
  virtual bool SetPaletteRGB(int count, const BYTE* red, const BYTE* green = nullptr, const BYTE* blue = nullptr);
  virtual bool SetPaletteTriples(int count, const BYTE* rgb);
  // Takes ownership of the palette (also on failure when non-null).
  virtual bool SetPalette(CImagePalette* palette);
  virtual CImagePalette* GetPalette() const;
  virtual bool IsValid() const;
  virtual CFileImageImpl* GetImpl() const;
  virtual BYTE* GetBits() const;
  // Change the recorded size without touching the pixel block; the caller
  // keeps it within the block.
  virtual void SetWidthRaw(int width);
  virtual void SetHeightRaw(int height);

  // ---- Identity ----
  int GetType() const { return m_type; }
  void SetType(int type) { m_type = type; }
  const CString& GetFileName() const { return m_fileName; }
  void SetFileName(const char* name) { m_fileName = name ? name : ""; }

  // ---- Pixels ----
  // Deletes the back end and puts a blank 24-bit one in its place (type and
  // file name stay). True when the block was made and every fill succeeded.
  bool CreateBlankInPlace(int width, int height, COLORREF fill);
  bool GetPixelColor(int x, int y, COLORREF& color) const;
  BYTE GetRed(int x, int y) const;
  BYTE GetGreen(int x, int y) const;
  BYTE GetBlue(int x, int y) const;

  // ---- Drawing ----
  CRect GetDrawnRect() const;
  void SetDrawnRect(const RECT& rect);
  // A new device bitmap of the picture (screen-compatible), or null.
  std::unique_ptr<CSafeBitmap> ToBitmap() const;
  // The largest size with the picture's proportions inside the rectangle;
  // (0, 0) for an empty picture or rectangle.
  CSize GetFitSize(const RECT& rect) const;
  // The whole picture stretched to the fit size, centred in the rectangle;
  // scale (when given) gets the smaller of the two factors.
  bool DrawFit(CDC* dc, const RECT& rect, float* scale = nullptr);
  bool DrawFitCentred(CDC* dc, const RECT& rect, float* scale = nullptr) { return DrawFit(dc, rect, scale); }
  // Top-left at (x, y); at 100 one to one, otherwise stretched to
  // percent x size / 100 (integer), or RoundToInt(percent x size x 0.01).
  bool DrawZoomedPercent(CDC* dc, int x, int y, int percent);
  bool DrawZoomed(CDC* dc, int x, int y, double percent);

  // ---- Effects through the codec layer (false when the codec picture
  // cannot be made) ----
  bool ApplyDistortion(int kind, long radius, float factor);
  bool AdjustLight(long brightness, long contrast);
  bool ApplyContour();
  bool ApplyEdge(long size);
  // 1: contour, 2: edge of size 2, anything else: nothing.
  bool ApplyEdgeFilter(int selector);

  // ---- Files, memory blocks, the picture block, the clipboard ----
  // Loads through the picture's own back end (BMP and GIF readers); type
  // -1: from the extension.
  bool Load(const char* name, int type = -1);
  // Writes the picture: type -1 from the extension; BMP by the own writer,
  // JPEG, GIF and PNG by the codec layer. Other types cannot be written:
  // false, nothing written. quality: JPEG quality or null; resolution: two
  // values (dots per inch across and down) or null.
  bool SaveFile(const char* name, int type = -1, const BYTE* quality = nullptr, const int* resolution = nullptr);
  bool LoadFromMemoryBlock(const CImageMemBlock& block);
  bool EncodeToMemoryBlock(CImageMemBlock& block) const;
  // Bytes WriteToStream will write; 0 when the picture cannot be encoded.
  int GetStreamSize(const char* encodingName) const;
  bool WriteToStream(CByteStream& stream, const char* encodingName) const;
  bool ReadFromStream(CByteStream& stream);
  bool CopyToClipboard() const;
  // Replaces *codec by a 24-bit codec picture with this picture's pixels.
  bool ToCodecImage(CBaseImage** codec) const;

  // ---- Sizes, crops, tiles ----
  // A picture of exactly the size (pixel replication up to a common multiple,
  // then area averaging), or null.
  std::unique_ptr<CImage> CreateResized(const SIZE& size) const;
  // The rectangle (top-down window coordinates) as a new picture: columns
  // left .. right - 1, top-down rows top .. bottom - 1, clamped to the
  // picture; null for an all-zero or empty rectangle.
  std::unique_ptr<CImage> Crop(const RECT& rect) const;
  std::unique_ptr<CImage> CropByFractions(const CFractionRect& fractions) const;
  // (RoundToInt(width / unit width), RoundToInt(height / unit height)).
  CSize GetSizeInUnits(double unitWidth, double unitHeight) const;

 protected:
  // Puts a new empty BMP back end from the bitmap in place of the old one.
  void TakeBitmap(HBITMAP bitmap);
  // A new 24-bit BMP back end with the codec picture's pixels.
  bool FromCodecImage(CBaseImage& codec);
  void LoadFileImpl(const char* path, bool& ok, int type, IProgress* progress);
  bool LoadViaCodec(const char* name);
  // A colour or grey JPEG decoded straight into a new 24-bit back end, with
  // the codec layer's pixels; false, and no back end, for anything else (the
  // codec layer then has its say). A file is read from where it stands.
  bool DecodeJpeg(const CJpegSource& source);
  bool LoadJpegFile(const char* name);
  bool LoadTiff(const char* name);
  bool LoadPsd(const char* name);
  bool LoadOlePicture(const char* name);
  bool DecodeMemoryBlock(const CImageMemBlock& block);
  void FromClipboardImpl(bool& ok);
  // Copies every pixel of src (at this picture's origin); false when a
  // write failed.
  bool CopyPixelsFrom(const CImage& src, int dx, int dy);
  void DeleteImpl();

  int m_type = kImageTypeNone;
  CString m_fileName;
  CFileImageImpl* m_impl = nullptr;
};
