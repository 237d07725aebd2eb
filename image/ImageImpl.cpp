// The pixel back ends: the DIB block, pixel and palette access, drawing.
#include "image/ImageImpl.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "core/LargeArray.h"
#include "image/codec/CodecUtil.h"

namespace {

// 1 GiB of pixel rows unless a test or fuzz target asks for less.
constexpr std::uint64_t kDefaultMemoryLimit = std::uint64_t{1} << 30;
std::uint64_t g_memoryLimit = kDefaultMemoryLimit;

// The 16 standard VGA colours, red, green, blue.
constexpr BYTE kVgaColors[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

int MaskShift(DWORD m) {
  if (!m) return 0;
  int s = 0;
  while (!(m & 1u)) {
    m >>= 1;
    ++s;
  }
  return s;
}

BYTE MaskToByte(DWORD value, DWORD mask) {
  if (!mask) return 0;
  const int s = MaskShift(mask);
  int width = 0;
  for (DWORD m = mask >> s; m; m >>= 1) ++width;
  return codec::WidenChannel((value & mask) >> s, width);
}

DWORD ByteToMask(BYTE value, DWORD mask) {
  if (!mask) return 0;
  const int s = MaskShift(mask);
  const std::uint64_t max = mask >> s;
  return static_cast<DWORD>(((value * max + 127) / 255) << s) & mask;
}

DWORD GetLE32(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}

const BITMAPINFOHEADER& Header(const BYTE* block) { return *reinterpret_cast<const BITMAPINFOHEADER*>(block); }
BITMAPINFOHEADER& Header(BYTE* block) { return *reinterpret_cast<BITMAPINFOHEADER*>(block); }

}  // namespace

// ---- The DIB block ---------------------------------------------------------------

void SetImageMemoryLimit(std::uint64_t bytes) { g_memoryLimit = bytes ? bytes : kDefaultMemoryLimit; }
std::uint64_t GetImageMemoryLimit() { return g_memoryLimit; }

int DibTableEntries(const BITMAPINFOHEADER& h) {
  if (h.biClrUsed) return static_cast<int>(std::min<DWORD>(h.biClrUsed, 256));
  if (h.biBitCount <= 8) return 1 << h.biBitCount;
  return 0;
}

size_t DibBitsOffset(const BITMAPINFOHEADER& h) {
  if (h.biCompression == BI_BITFIELDS) return h.biSize + 12;
  return h.biSize + 4 * static_cast<size_t>(DibTableEntries(h));
}

namespace {

// The bytes of a picture's rows, or 0 when the size is not positive or too
// large.
std::uint64_t DibImageSize(int bitsPerPixel, int width, int height) {
  switch (bitsPerPixel) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return 0;
  }
  if (width <= 0 || height <= 0) return 0;
  const std::uint64_t stride = DibRowStride(width, bitsPerPixel);
  const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
  if (stride > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) || imageSize > g_memoryLimit ||
      imageSize > std::numeric_limits<DWORD>::max() - kDibHeaderRoom)
    return 0;
  return imageSize;
}

// The header and colour table of a new zero-filled block.
void InitDibHeader(BYTE* p, int bitsPerPixel, int width, int height, std::uint64_t imageSize) {
  BITMAPINFOHEADER& hd = Header(p);
  hd.biSize = sizeof(BITMAPINFOHEADER);
  hd.biWidth = width;
  hd.biHeight = height;
  hd.biPlanes = 1;
  hd.biBitCount = static_cast<WORD>(bitsPerPixel);
  hd.biCompression = BI_RGB;
  hd.biSizeImage = static_cast<DWORD>(imageSize);
  hd.biClrUsed = bitsPerPixel <= 8 ? (1u << bitsPerPixel) : 0;
  RGBQUAD* table = reinterpret_cast<RGBQUAD*>(p + sizeof(BITMAPINFOHEADER));
  if (bitsPerPixel == 1) {
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{255, 255, 255, 0};
  } else {
    for (DWORD i = 0; i < hd.biClrUsed; ++i) {
      const BYTE* c = kVgaColors[i % 16];
      table[i] = RGBQUAD{c[2], c[1], c[0], 0};
    }
  }
}

}  // namespace

HGLOBAL CreateDIB(int bitsPerPixel, int width, int height) {
  const std::uint64_t imageSize = DibImageSize(bitsPerPixel, width, height);
  if (!imageSize) return nullptr;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kDibHeaderRoom + static_cast<size_t>(imageSize));
  if (!h) return nullptr;
  BYTE* p = static_cast<BYTE*>(GlobalLock(h));
  if (!p) {
    GlobalFree(h);
    return nullptr;
  }
  InitDibHeader(p, bitsPerPixel, width, height, imageSize);
  return h;
}

void SetColourTableFromPalette(BYTE* block, const CImagePalette* palette, int mode) {
  if (!block) return;
  const BITMAPINFOHEADER& h = Header(block);
  if (h.biBitCount > 8) return;
  const int n = DibTableEntries(h);
  if (n <= 0) return;
  BYTE* table = block + h.biSize;
  if (mode == 1) {
    for (int i = 0; i < n; ++i) {
      const WORD idx = static_cast<WORD>(i);
      std::memcpy(table + 2 * i, &idx, 2);
    }
    return;
  }
  PALETTEENTRY entries[256] = {};
  int count = 0;
  if (palette) {
    count = palette->GetCount();
    for (int i = 0; i < count; ++i) palette->GetEntryRGB(i, entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
  } else {
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    count = static_cast<int>(GetPaletteEntries(stock, 0, 256, entries));
  }
  count = std::min(count, n);
  for (int i = 0; i < count; ++i) {
    const RGBQUAD q{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    std::memcpy(table + 4 * i, &q, 4);
  }
}

CImagePalette* CreatePaletteFromDIB(const BYTE* block, BYTE flags) {
  if (!block) return nullptr;
  const BITMAPINFOHEADER& h = Header(block);
  if (h.biBitCount > 8 || h.biCompression == BI_BITFIELDS) return nullptr;
  const int n = DibTableEntries(h);
  if (n <= 0) return nullptr;
  PALETTEENTRY entries[256];
  const BYTE* table = block + h.biSize;
  for (int i = 0; i < n; ++i) entries[i] = PALETTEENTRY{table[4 * i + 2], table[4 * i + 1], table[4 * i], flags};
  auto* pal = new (std::nothrow) CImagePalette;
  if (!pal) return nullptr;
  if (!pal->CreateFromEntries(n, entries)) {
    delete pal;
    return nullptr;
  }
  return pal;
}

// ---- CImagePalette -------------------------------------------------------------------

bool CImagePalette::CreateFromEntries(int count, const PALETTEENTRY* entries) {
  if (m_hObject || count <= 0 || count > 256 || !entries) return false;
  std::vector<BYTE> buffer(4 + 4 * static_cast<size_t>(count));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(count);
  std::memcpy(buffer.data() + 4, entries, 4 * static_cast<size_t>(count));
  if (!CreatePalette(lp)) return false;
  m_count = count;
  std::copy(entries, entries + count, m_entries.begin());
  return true;
}

bool CImagePalette::CreateFromArrays(int count, const BYTE* red, const BYTE* green, const BYTE* blue) {
  if (!red || count <= 0 || count > 256) return false;
  if (!green) green = red;
  if (!blue) blue = green;
  PALETTEENTRY entries[256];
  for (int i = 0; i < count; ++i) entries[i] = PALETTEENTRY{red[i], green[i], blue[i], 0};
  return CreateFromEntries(count, entries);
}

int CImagePalette::NearestIndex(BYTE red, BYTE green, BYTE blue) const {
  if (!m_hObject) return -1;
  const UINT i = GetNearestPaletteIndex(RGB(red, green, blue));
  if (i == CLR_INVALID || static_cast<int>(i) >= m_count) return -1;
  return static_cast<int>(i);
}

bool CImagePalette::GetEntryRGB(int index, BYTE& red, BYTE& green, BYTE& blue) const {
  if (index < 0 || index > 255 || index >= m_count) return false;
  red = m_entries[static_cast<size_t>(index)].peRed;
  green = m_entries[static_cast<size_t>(index)].peGreen;
  blue = m_entries[static_cast<size_t>(index)].peBlue;
  return true;
}

// ---- CImageImpl -------------------------------------------------------------------------

CImageImpl::~CImageImpl() {
  FreeBlock();
  delete m_palette;
}

void CImageImpl::FreeBlock() {
  if (m_block) {
    GlobalUnlock(m_block);
    GlobalFree(m_block);
  }
  if (m_pages) CLargeBlockAllocator<BYTE>().deallocate(m_pages, m_pagesSize);
  m_block = nullptr;
  m_pages = nullptr;
  m_pagesSize = 0;
  m_dib = nullptr;
  m_bits = nullptr;
}

size_t CImageImpl::GetBlockSize() const {
  if (m_pages) return m_pagesSize;
  return m_block ? GlobalSize(m_block) : 0;
}

bool CImageImpl::IsInside(int x, int y) const { return m_bits && x >= 0 && x < m_width && y >= 0 && y < m_height; }

int CImageImpl::Create(int width, int height, int bitsPerPixel, int flags) {
  FreeBlock();
  delete m_palette;
  m_palette = nullptr;
  m_flags = flags < 0 ? (bitsPerPixel <= 8 ? 0u : kImageFlagHasPalette) : static_cast<DWORD>(flags);
  const std::uint64_t imageSize = DibImageSize(bitsPerPixel, width, height);
  const size_t bytes = kDibHeaderRoom + static_cast<size_t>(imageSize);
  BYTE* block = nullptr;
  if (imageSize) {
    try {
      block = CLargeBlockAllocator<BYTE>().allocate(bytes);
    } catch (const std::bad_alloc&) {
      block = nullptr;
    }
  }
  if (!block) {
    // A picture that does not fit is no picture: sizes stay 0.
    m_width = m_height = m_bpp = m_stride = 0;
    return 0;
  }
  // Page memory comes zeroed, and stays untouched until the rows are
  // written; a small block is cleared here.
  if (bytes < CLargeBlockAllocator<BYTE>::kLargeBlock) std::memset(block, 0, bytes);
  InitDibHeader(block, bitsPerPixel, width, height, imageSize);
  m_pages = block;
  m_pagesSize = bytes;
  m_dib = block;
  m_width = width;
  m_height = height;
  m_bpp = bitsPerPixel;
  m_stride = static_cast<int>(DibRowStride(width, bitsPerPixel));
  m_bits = m_dib + DibBitsOffset(Header(m_dib));
  return 1;
}

void CImageImpl::TakeBlock(HGLOBAL block) {
  FreeBlock();
  delete m_palette;
  m_palette = nullptr;
  if (!block) return;
  BYTE* p = static_cast<BYTE*>(GlobalLock(block));
  GlobalUnlock(block);
  if (!p) return;
  m_block = block;
  m_dib = p;
  const BITMAPINFOHEADER& h = Header(p);
  m_width = h.biWidth;
  m_height = h.biHeight;
  m_bpp = h.biBitCount;
  m_stride = m_width > 0 && m_bpp > 0 ? static_cast<int>(DibRowStride(m_width, m_bpp)) : 0;
  m_bits = p + DibBitsOffset(h);
  m_flags = m_bpp <= 8 ? 0u : kImageFlagHasPalette;
  if (CImagePalette* pal = CreatePaletteFromDIB(p, 0)) {
    m_palette = pal;
    SetColourTableFromPalette(m_dib, m_palette, 1);
    m_flags = kImageFlagIndexed | kImageFlagHasPalette;
  }
}

void CImageImpl::GetMasks(DWORD& red, DWORD& green, DWORD& blue) const {
  if (m_dib && Header(m_dib).biCompression == BI_BITFIELDS) {
    const BYTE* m = m_dib + Header(m_dib).biSize;
    red = GetLE32(m);
    green = GetLE32(m + 4);
    blue = GetLE32(m + 8);
    return;
  }
  if (m_bpp == 16) {
    red = 0x7C00;
    green = 0x03E0;
    blue = 0x001F;
  } else {
    red = 0xFF0000;
    green = 0x00FF00;
    blue = 0x0000FF;
  }
}

bool CImageImpl::TableColor(int index, BYTE& red, BYTE& green, BYTE& blue) const {
  if (!m_dib || index < 0 || index >= DibTableEntries(Header(m_dib))) return false;
  const BYTE* q = m_dib + Header(m_dib).biSize + 4 * static_cast<size_t>(index);
  blue = q[0];
  green = q[1];
  red = q[2];
  return true;
}

int CImageImpl::GetPixelIndex(int x, int y) const {
  if (!IsInside(x, y) || m_bpp > 8) return -1;
  const BYTE byte = *PixelByte(x, y);
  switch (m_bpp) {
    case 8: return byte;
    case 4: return (x & 1) ? (byte & 0x0F) : (byte >> 4);
    case 1: return (byte >> (7 - (x & 7))) & 1;
    default: return -1;
  }
}

bool CImageImpl::SetPixelIndex(int x, int y, int index) {
  if (!IsInside(x, y) || m_bpp > 8) return false;
  BYTE* p = PixelByte(x, y);
  switch (m_bpp) {
    case 8: *p = static_cast<BYTE>(index); return true;
    case 4:
      if (x & 1) *p = static_cast<BYTE>((*p & 0xF0) | (index & 0x0F));
      else *p = static_cast<BYTE>((*p & 0x0F) | ((index & 0x0F) << 4));
      return true;
    case 1: {
      const int bit = 7 - (x & 7);
      *p = static_cast<BYTE>((*p & ~(1 << bit)) | ((index & 1) << bit));
      return true;
    }
    default: return false;
  }
}

bool CImageImpl::GetPixelRGB(int x, int y, BYTE& red, BYTE& green, BYTE& blue) const {
  if (!IsInside(x, y)) return false;
  if (m_bpp <= 8) {
    const int idx = GetPixelIndex(x, y);
    if (m_palette) return m_palette->GetEntryRGB(idx, red, green, blue);
    // Without a palette the block's own colour table gives the colours.
    return TableColor(idx, red, green, blue);
  }
  const BYTE* p = PixelByte(x, y);
  if (m_bpp == 16 || (m_bpp == 32 && Header(m_dib).biCompression == BI_BITFIELDS)) {
    DWORD mr, mg, mb;
    GetMasks(mr, mg, mb);
    const DWORD v = m_bpp == 16 ? static_cast<DWORD>(p[0] | (p[1] << 8)) : GetLE32(p);
    red = MaskToByte(v, mr);
    green = MaskToByte(v, mg);
    blue = MaskToByte(v, mb);
    return true;
  }
  blue = p[0];
  green = p[1];
  red = p[2];
  return true;
}

bool CImageImpl::SetPixelColorref(int x, int y, COLORREF color) {
  return SetPixelRGB(x, y, GetRValue(color), GetGValue(color), GetBValue(color));
}

bool CImageImpl::GetRowBGR(int x, int y, int count, BYTE* out) const {
  if (count <= 0) return true;
  if (!IsInside(x, y) || !IsInside(x + count - 1, y)) return false;
  const BYTE* p = PixelByte(x, y);
  if (m_bpp == 24) {
    std::memcpy(out, p, 3 * static_cast<size_t>(count));
    return true;
  }
  if (m_bpp == 32 && Header(m_dib).biCompression != BI_BITFIELDS) {
    for (int i = 0; i < count; ++i, p += 4, out += 3) out[0] = p[0], out[1] = p[1], out[2] = p[2];
    return true;
  }
  for (int i = 0; i < count; ++i, out += 3)
    if (!GetPixelRGB(x + i, y, out[2], out[1], out[0])) return false;
  return true;
}

bool CImageImpl::SetPixelRGB(int x, int y, BYTE red, BYTE green, BYTE blue) {
  if (!IsInside(x, y)) return false;
  if (m_flags & kImageFlagIndexed) {
    if (!m_palette) return false;
    const int idx = m_palette->NearestIndex(red, green, blue);
    return idx >= 0 && SetPixelIndex(x, y, idx);
  }
  if (m_bpp <= 8) {
    // No palette: the nearest colour of the block's own table.
    const int n = DibTableEntries(Header(m_dib));
    long best = -1;
    int bestIndex = 0;
    for (int i = 0; i < n; ++i) {
      BYTE r, g, b;
      TableColor(i, r, g, b);
      const long dr = r - red, dg = g - green, db = b - blue;
      const long d = dr * dr + dg * dg + db * db;
      if (best < 0 || d < best) {
        best = d;
        bestIndex = i;
      }
    }
    return SetPixelIndex(x, y, bestIndex);
  }
  BYTE* p = PixelByte(x, y);
  if (m_bpp == 16 || (m_bpp == 32 && Header(m_dib).biCompression == BI_BITFIELDS)) {
    DWORD mr, mg, mb;
    GetMasks(mr, mg, mb);
    DWORD v = m_bpp == 16 ? static_cast<DWORD>(p[0] | (p[1] << 8)) : GetLE32(p);
    v = (v & ~(mr | mg | mb)) | ByteToMask(red, mr) | ByteToMask(green, mg) | ByteToMask(blue, mb);
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    if (m_bpp == 32) {
      p[2] = static_cast<BYTE>(v >> 16);
      p[3] = static_cast<BYTE>(v >> 24);
    }
    return true;
  }
  p[0] = blue;
  p[1] = green;
  p[2] = red;
  return true;
}

bool CImageImpl::Load(const char*) { return false; }
bool CImageImpl::Save(const char*) { return false; }

bool CImageImpl::SetPalette(CImagePalette* palette) {
  if (!palette) return false;
  if (palette != m_palette) {
    delete m_palette;
    m_palette = palette;
  }
  m_flags |= kImageFlagIndexed | kImageFlagHasPalette;
  SetColourTableFromPalette(m_dib, m_palette, 1);
  return true;
}

bool CImageImpl::SetPaletteRGB(int count, const BYTE* red, const BYTE* green, const BYTE* blue) {
  auto* pal = new (std::nothrow) CImagePalette;
  if (!pal) return false;
  if (!pal->CreateFromArrays(count, red, green, blue)) {
    delete pal;
    return false;
  }
  return SetPalette(pal);
}

bool CImageImpl::SetPaletteTriples(int count, const BYTE* rgb) {
  if (!rgb || count <= 0) return false;
  count = std::min(count, 256);
  BYTE r[256], g[256], b[256];
  for (int i = 0; i < count; ++i) {
    r[i] = rgb[3 * i];
    g[i] = rgb[3 * i + 1];
    b[i] = rgb[3 * i + 2];
  }
  return SetPaletteRGB(count, r, g, b);
}

// ---- CFileImageImpl ---------------------------------------------------------------------

void CFileImageImpl::TakeOver(CFileImageImpl& other) {
  if (&other == this) return;
  FreeBlock();
  delete m_palette;
  m_block = other.m_block;
  m_pages = other.m_pages;
  m_pagesSize = other.m_pagesSize;
  m_dib = other.m_dib;
  m_transparent = other.m_transparent;
  m_palette = other.m_palette;
  m_bits = other.m_bits;
  m_width = other.m_width;
  m_height = other.m_height;
  m_bpp = other.m_bpp;
  m_flags = other.m_flags;
  m_stride = other.m_stride;
  other.m_block = nullptr;
  other.m_pages = nullptr;
  other.m_pagesSize = 0;
  other.m_dib = nullptr;
  other.m_bits = nullptr;
  other.m_palette = nullptr;
  other.m_width = other.m_height = other.m_bpp = other.m_stride = 0;
}

UINT CFileImageImpl::ColorUsage() const { return m_palette && m_bpp <= 8 ? DIB_PAL_COLORS : DIB_RGB_COLORS; }

namespace {

// Selects the picture's palette into the device context for one drawing and
// puts the old one back afterwards.
class CPaletteScope {
 public:
  CPaletteScope(CDC* dc, CImagePalette* palette) : m_dc(dc) {
    if (palette && palette->GetSafeHandle()) m_old = dc->SelectPalette(palette, FALSE);
    dc->RealizePalette();
  }
  ~CPaletteScope() {
    if (m_old) m_dc->SelectPalette(m_old, FALSE);
  }

 private:
  CDC* m_dc;
  CPalette* m_old = nullptr;
};

}  // namespace

bool CFileImageImpl::Draw(CDC* dc, int x, int y, int width, int height, int xSrc, int ySrc) {
  if (!m_dib) return false;
  if (!dc || !dc->GetSafeHdc()) return true;
  if (width == -1) width = m_width;
  if (height == -1) height = m_height;
  int lines;
  {
    CPaletteScope scope(dc, m_palette);
    lines = SetDIBitsToDevice(dc->GetSafeHdc(), x, y, static_cast<DWORD>(std::max(width, 0)),
                              static_cast<DWORD>(std::max(height, 0)), xSrc, ySrc, 0, static_cast<UINT>(m_height), m_bits,
                              GetInfo(), ColorUsage());
  }
  m_drawn = CRect(x, y, x + width, y + height);
  return lines != 0;
}

bool CFileImageImpl::StretchDraw(CDC* dc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth,
                                 int srcHeight) {
  if (!m_dib) return false;
  if (!dc || !dc->GetSafeHdc()) return true;
  if (width == -1) width = m_width;
  if (height == -1) height = m_height;
  if (srcWidth == -1) srcWidth = m_width - xSrc;
  if (srcHeight == -1) srcHeight = m_height - ySrc;
  const HDC hdc = dc->GetSafeHdc();
  CPaletteScope scope(dc, m_palette);
  SetStretchBltMode(hdc, COLORONCOLOR);
  bool ok;
  if (m_transparent < 0 || m_bpp != 8 || !m_palette) {
    ok = StretchDIBits(hdc, x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, m_bits, GetInfo(), ColorUsage(),
                       SRCCOPY) != 0;
  } else {
    // Transparent pixels keep what is under them: a mask pass (transparent
    // white, the rest black) with AND, then the picture with the transparent
    // pixels black with OR.
    const size_t count = static_cast<size_t>(m_stride) * static_cast<size_t>(m_height);
    std::vector<BYTE> saved;
    try {
      saved.assign(m_bits, m_bits + count);
    } catch (const std::bad_alloc&) {
      return false;
    }
    const int black = std::max(0, m_palette->NearestIndex(0, 0, 0));
    const int white = std::max(0, m_palette->NearestIndex(255, 255, 255));
    const BYTE trans = static_cast<BYTE>(m_transparent);
    for (int row = 0; row < m_height; ++row) {
      BYTE* p = m_bits + static_cast<size_t>(row) * m_stride;
      for (int col = 0; col < m_width; ++col) p[col] = p[col] == trans ? static_cast<BYTE>(white) : static_cast<BYTE>(black);
    }
    ok = StretchDIBits(hdc, x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, m_bits, GetInfo(), ColorUsage(),
                       SRCAND) != 0;
    std::memcpy(m_bits, saved.data(), count);
    for (int row = 0; row < m_height; ++row) {
      BYTE* p = m_bits + static_cast<size_t>(row) * m_stride;
      for (int col = 0; col < m_width; ++col)
        if (p[col] == trans) p[col] = static_cast<BYTE>(black);
    }
    ok = StretchDIBits(hdc, x, y, width, height, xSrc, ySrc, srcWidth, srcHeight, m_bits, GetInfo(), ColorUsage(),
                       SRCPAINT) != 0 &&
         ok;
    std::memcpy(m_bits, saved.data(), count);
  }
  m_drawn = CRect(x, y, x + width, y + height);
  return ok;
}

// ---- CImageBMP from a bitmap -------------------------------------------------------------

CImageBMP::CImageBMP(HBITMAP bitmap) {
  m_transparent = -1;
  if (!bitmap) return;
  BITMAP bm{};
  if (!GetObject(bitmap, sizeof bm, &bm)) return;
  if (!Create(bm.bmWidth, bm.bmHeight, bm.bmBitsPixel, -1)) return;
  HDC screen = GetDC(nullptr);
  BITMAPINFOHEADER saved = Header(m_dib);
  const int lines = GetDIBits(screen, bitmap, 0, static_cast<UINT>(m_height), m_bits,
                              reinterpret_cast<BITMAPINFO*>(m_dib), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  // The call may rewrite the header's counts; the block keeps its layout.
  Header(m_dib).biClrUsed = saved.biClrUsed;
  Header(m_dib).biSizeImage = saved.biSizeImage;
  Header(m_dib).biCompression = saved.biCompression;
  if (lines <= 0) {
    FreeBlock();
    m_width = m_height = m_bpp = m_stride = 0;
    return;
  }
  if (CImagePalette* pal = CreatePaletteFromDIB(m_dib, 0)) {
    m_palette = pal;
    SetColourTableFromPalette(m_dib, m_palette, 1);
    m_flags = kImageFlagIndexed | kImageFlagHasPalette;
  }
}
