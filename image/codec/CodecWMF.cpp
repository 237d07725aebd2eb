// Windows metafiles: a placeable WMF or an EMF is played at its own size
// (at most 4000 pixels a side) onto a bitmap in the window colour, and the
// bitmap's pixels become the picture. The screen's values are fixed: 96 dots
// per inch, 32 bits (so a 24-bit picture), a white window colour.
#include "image/codec/CodecWMF.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "image/codec/CodecFile.h"
#include "platform/gdi.h"

namespace {

struct WmfError {
  const char* text;
};

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr long kMaxSide = 4000;

std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const BYTE* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The GDI objects of one decode, freed on every path.
struct CRenderTarget {
  HDC screen = nullptr;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HPALETTE palette = nullptr;
  HPALETTE oldPalette = nullptr;
  HENHMETAFILE metafile = nullptr;
  ~CRenderTarget() {
    if (dc && oldPalette) SelectPalette(dc, oldPalette, FALSE);
    if (dc && oldBitmap) SelectObject(dc, oldBitmap);
    if (palette) DeleteObject(palette);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    if (screen) ReleaseDC(nullptr, screen);
    if (metafile) DeleteEnhMetaFile(metafile);
  }
};

}  // namespace

bool CCodecWMF::Decode(CCodecFile* hFile, long nMaxWidth, long nMaxHeight) {
  if (!hFile) return false;
  try {
    CRenderTarget t;
    t.screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(t.screen, LOGPIXELSX), dpiY = GetDeviceCaps(t.screen, LOGPIXELSY);
    const long start = hFile->Tell();
    const long streamSize = hFile->Size();
    long width = 0, height = 0;

    BYTE placeable[22] = {};
    const bool isPlaceable = hFile->Read(placeable, 1, 22) == 22 && Le32(placeable) == kPlaceableKey;
    if (isPlaceable) {
      std::uint16_t sum = 0;
      for (int i = 0; i < 10; ++i) sum ^= Le16(placeable + 2 * i);
      const auto left = static_cast<std::int16_t>(Le16(placeable + 6)), top = static_cast<std::int16_t>(Le16(placeable + 8));
      const auto right = static_cast<std::int16_t>(Le16(placeable + 10)),
                 bottom = static_cast<std::int16_t>(Le16(placeable + 12));
      const std::uint16_t inch = Le16(placeable + 14);
      if (sum != Le16(placeable + 20) || inch < 1 || inch > 2540) throw WmfError{"corrupted WMF"};
      BYTE header[18];
      if (hFile->Read(header, 1, 18) != 18) throw WmfError{"corrupted WMF"};
      const std::uint16_t type = Le16(header);
      const std::uint64_t bytes = std::uint64_t{Le32(header + 6)} * 2;
      if ((type != 1 && type != 2) || bytes < 18 || bytes > static_cast<std::uint64_t>(streamSize))
        throw WmfError{"corrupted WMF"};
      std::vector<BYTE> bits(static_cast<size_t>(bytes));
      if (!hFile->Seek(start + 22, SEEK_SET) || hFile->Read(bits.data(), 1, bits.size()) != bits.size())
        throw WmfError{"corrupted WMF"};
      width = (static_cast<long>(right) - left) * dpiX / inch;
      height = (static_cast<long>(bottom) - top) * dpiY / inch;
      METAFILEPICT pict{MM_ANISOTROPIC, static_cast<LONG>(width), static_cast<LONG>(height), nullptr};
      if (pict.xExt < 6554)
        while (pict.yExt < 6554) {
          pict.xExt *= 10;
          pict.yExt *= 10;
          if (pict.xExt >= 6553 || pict.xExt == 0) break;
        }
      t.metafile = SetWinMetaFileBits(static_cast<UINT>(bits.size()), bits.data(), t.screen, &pict);
      if (!t.metafile) {
        pict.mm = MM_TEXT;
        t.metafile = SetWinMetaFileBits(static_cast<UINT>(bits.size()), bits.data(), t.screen, &pict);
      }
      if (!t.metafile) throw WmfError{"corrupted WMF"};
    } else {
      if (!hFile->Seek(start, SEEK_SET) || streamSize - start <= 0) throw WmfError{"corrupted WMF"};
      std::vector<BYTE> bits(static_cast<size_t>(streamSize - start));
      if (hFile->Read(bits.data(), 1, bits.size()) != bits.size()) throw WmfError{"corrupted WMF"};
      t.metafile = SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
      ENHMETAHEADER h{};
      if (!t.metafile || !GetEnhMetaFileHeader(t.metafile, sizeof h, &h)) throw WmfError{"corrupted WMF"};
      width = static_cast<long>(h.rclBounds.right) - h.rclBounds.left;
      height = static_cast<long>(h.rclBounds.bottom) - h.rclBounds.top;
    }
    if (info.nEscape) throw WmfError{"Cancelled"};
    if (width == 0 || height == 0) throw WmfError{"empty WMF"};
    if (width < 0 || height < 0) throw WmfError{"corrupted WMF"};
    if (nMaxWidth > 0) width = nMaxWidth;
    if (nMaxHeight > 0) height = nMaxHeight;
    if (width > kMaxSide) {
      height = static_cast<long>(static_cast<std::int64_t>(height) * kMaxSide / width);
      width = kMaxSide;
    }
    if (height > kMaxSide) {
      width = static_cast<long>(static_cast<std::int64_t>(width) * kMaxSide / height);
      height = kMaxSide;
    }
    if (width <= 0 || height <= 0) throw WmfError{"empty WMF"};
    // A picture the codec layer cannot hold is not drawn at all.
    if (!FitsMemoryLimit(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), 24))
      throw WmfError{"Cancelled"};

    t.dc = CreateCompatibleDC(t.screen);
    t.bitmap = t.dc ? CreateCompatibleBitmap(t.screen, static_cast<int>(width), static_cast<int>(height)) : nullptr;
    if (!t.bitmap) throw WmfError{"Cancelled"};
    t.oldBitmap = SelectObject(t.dc, t.bitmap);
    HBRUSH window = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    const RECT all{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    FillRect(t.dc, &all, window);
    DeleteObject(window);
    const UINT entries = GetEnhMetaFilePaletteEntries(t.metafile, 0, nullptr);
    if (entries && entries != GDI_ERROR) {
      std::vector<BYTE> buf(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
      auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
      lp->palVersion = 0x300;
      lp->palNumEntries = static_cast<WORD>(std::min<UINT>(entries, 0xFFFF));
      GetEnhMetaFilePaletteEntries(t.metafile, lp->palNumEntries, lp->palPalEntry);
      t.palette = CreatePalette(lp);
      if (!t.palette) throw WmfError{"Cancelled"};
      t.oldPalette = SelectPalette(t.dc, t.palette, FALSE);
      RealizePalette(t.dc);
    }
    if (!PlayEnhMetaFile(t.dc, t.metafile, &all)) throw WmfError{"corrupted WMF"};
    if (info.nEscape) throw WmfError{"Cancelled"};
    // 16- and 32-bit screens give 24-bit pictures.
    const int screenBpp = GetDeviceCaps(t.screen, BITSPIXEL);
    const DWORD bpp = screenBpp > 8 ? 24 : static_cast<DWORD>(screenBpp);
    if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), bpp, CODEC_FORMAT_WMF))
      throw WmfError{"Cancelled"};
    SelectObject(t.dc, t.oldBitmap);
    t.oldBitmap = nullptr;
    std::vector<std::uint32_t> infoBuf((sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)) / 4, 0);
    auto* bi = reinterpret_cast<BITMAPINFO*>(infoBuf.data());
    bi->bmiHeader = head;
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biCompression = BI_RGB;
    const int lines =
        GetDIBits(t.dc, t.bitmap, 0, static_cast<UINT>(height), GetBits(), bi, DIB_RGB_COLORS);
    if (bpp <= 8 && lines)
      for (DWORD i = 0; i < head.biClrUsed && i < 256; ++i)
        SetPaletteColor(static_cast<BYTE>(i), bi->bmiColors[i].rgbRed, bi->bmiColors[i].rgbGreen,
                        bi->bmiColors[i].rgbBlue);
    return lines != 0;
  } catch (const WmfError& e) {
    SetLastError(e.text);
    return false;
  } catch (const std::bad_alloc&) {
    SetLastError("Cancelled");
    return false;
  }
}

bool CCodecWMF::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  SetLastError("Save WMF not supported");
  return false;
}
