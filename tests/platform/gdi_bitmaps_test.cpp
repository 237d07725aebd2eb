// DIBs at every depth and orientation, stretching, palettes, monochrome
// conversion, DrawState, image lists and the clipboard.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/base.h"
#include "tests/platform/gdi_fixture.h"

using gditest::Canvas;

namespace {

// A packed DIB built in memory: header, table (RGB or palette indices), rows.
struct Dib {
  std::vector<unsigned char> bytes;
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(bytes.data()); }
  unsigned char* Bits() { return bytes.data() + headerBytes; }
  size_t headerBytes = 0, stride = 0;
  int w = 0, h = 0, bpp = 0;
};

Dib MakeDib(int w, int h, int bpp, bool topDown, const std::vector<RGBQUAD>& table, bool palIndices = false) {
  Dib d;
  d.w = w;
  d.h = h;
  d.bpp = bpp;
  d.stride = static_cast<size_t>(DibRowStride(w, bpp));
  const size_t entries = bpp <= 8 ? (static_cast<size_t>(1) << bpp) : 0;
  d.headerBytes = 40 + entries * (palIndices ? 2 : 4);
  d.bytes.assign(d.headerBytes + d.stride * h, 0);
  BITMAPINFOHEADER ih{};
  ih.biSize = 40;
  ih.biWidth = w;
  ih.biHeight = topDown ? -h : h;
  ih.biPlanes = 1;
  ih.biBitCount = static_cast<WORD>(bpp);
  std::memcpy(d.bytes.data(), &ih, 40);
  for (size_t i = 0; i < table.size() && i < entries && !palIndices; ++i) std::memcpy(d.bytes.data() + 40 + 4 * i, &table[i], 4);
  return d;
}

// Writes a value into pixel (x, row) of the stored rows (row 0 first in memory).
void Put(Dib& d, int x, int row, unsigned v) {
  unsigned char* p = d.Bits() + d.stride * row;
  switch (d.bpp) {
    case 1:
    case 4:
    case 8: {
      const int per = 8 / d.bpp;
      const int shift = 8 - d.bpp * (x % per + 1);
      p[x / per] = static_cast<unsigned char>((p[x / per] & ~(((1u << d.bpp) - 1) << shift)) | (v << shift));
      break;
    }
    case 16: p[2 * x] = v & 0xFF; p[2 * x + 1] = (v >> 8) & 0xFF; break;
    case 24: p[3 * x] = v & 0xFF; p[3 * x + 1] = (v >> 8) & 0xFF; p[3 * x + 2] = (v >> 16) & 0xFF; break;
    case 32: std::memcpy(p + 4 * x, &v, 4); break;
  }
}

std::vector<RGBQUAD> SomeTable(int bpp) {
  std::vector<RGBQUAD> t;
  for (int i = 0; i < (1 << std::min(bpp, 8)); ++i)
    t.push_back(RGBQUAD{static_cast<BYTE>(i * 37 + 11), static_cast<BYTE>(255 - i * 5), static_cast<BYTE>(i * 91 + 3), 0});
  return t;
}

unsigned ValueAt(int bpp, int x, int y) {
  switch (bpp) {
    case 1: return (x + y) & 1;
    case 4: return (x * 3 + y) & 15;
    case 8: return (x * 17 + y * 5) & 255;
    case 16: return ((x * 2311 + y * 977) & 0x7FFF);
    case 24: return (x * 0x0A0B0C + y * 0x030507) & 0xFFFFFF;
    default: return (x * 0x0A0B0C + y * 0x030507) & 0xFFFFFF;
  }
}

TEST(GdiDib, RoundTripsAtEveryDepthAndOrientation) {
  const int W = 13, H = 5;
  for (int bpp : {1, 4, 8, 16, 24, 32})
    for (bool topDown : {false, true}) {
      Dib d = MakeDib(W, H, bpp, topDown, SomeTable(bpp));
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) Put(d, x, y, ValueAt(bpp, x, y));
      HDC screen = GetDC(nullptr);
      HBITMAP bm = CreateDIBitmap(screen, &d.Info()->bmiHeader, CBM_INIT, d.Bits(), d.Info(), DIB_RGB_COLORS);
      ASSERT_NE(bm, nullptr);
      // The top row of the picture is the first stored row of a top-down DIB
      // and the last of a bottom-up one.
      HDC mem = CreateCompatibleDC(screen);
      HGDIOBJ old = SelectObject(mem, bm);
      Dib probe = MakeDib(W, H, 32, true, {});
      SetDIBitsToDevice(mem, 0, 0, W, H, 0, 0, 0, H, d.Bits(), d.Info(), DIB_RGB_COLORS);
      const COLORREF top = GetPixel(mem, 0, 0);
      SelectObject(mem, old);
      DeleteDC(mem);
      Dib back = MakeDib(W, H, bpp, topDown, {});
      ASSERT_EQ(GetDIBits(screen, bm, 0, H, back.Bits(), back.Info(), DIB_RGB_COLORS), H) << bpp;
      EXPECT_EQ(std::vector<unsigned char>(back.Bits(), back.Bits() + back.stride * H),
                std::vector<unsigned char>(d.Bits(), d.Bits() + d.stride * H))
          << bpp << (topDown ? " top-down" : " bottom-up");
      // The colour of pixel (0, 0) as shown is the DIB's top row.
      const int topRow = topDown ? 0 : H - 1;
      Dib one = MakeDib(1, 1, bpp, false, SomeTable(bpp));
      Put(one, 0, 0, ValueAt(bpp, 0, topRow));
      HBITMAP b1 = CreateDIBitmap(screen, &one.Info()->bmiHeader, CBM_INIT, one.Bits(), one.Info(), DIB_RGB_COLORS);
      HDC m1 = CreateCompatibleDC(screen);
      HGDIOBJ o1 = SelectObject(m1, b1);
      EXPECT_EQ(top, GetPixel(m1, 0, 0)) << bpp;
      SelectObject(m1, o1);
      DeleteDC(m1);
      DeleteObject(b1);
      DeleteObject(bm);
      ReleaseDC(nullptr, screen);
      (void)probe;
    }
}

// Large bitmaps reuse the pictures of deleted ones of their size: a new
// bitmap is still black all over, whatever the last one held, and sizes
// never mix. Large pictures are read and written in bands of rows: every
// row lands where it belongs at 32 and 24 bits, either way up.
TEST(GdiDib, NewBitmapsAreBlackAfterLargeOnesWereDeleted) {
  HDC screen = GetDC(nullptr);
  const SIZE sizes[] = {{700, 500}, {500, 700}, {700, 500}, {1200, 900}, {700, 500}};
  for (int round = 0; round < 2; ++round)
    for (const SIZE& size : sizes) {
      HBITMAP bm = CreateCompatibleBitmap(screen, size.cx, size.cy);
      ASSERT_NE(bm, nullptr);
      BITMAP info{};
      ASSERT_NE(GetObject(bm, sizeof info, &info), 0);
      EXPECT_EQ(info.bmWidth, size.cx);
      EXPECT_EQ(info.bmHeight, size.cy);
      std::vector<uint32_t> px(size_t(size.cx) * size.cy, 1);
      ASSERT_EQ(GetBitmapBits(bm, static_cast<LONG>(px.size() * 4), px.data()), static_cast<LONG>(px.size() * 4));
      EXPECT_EQ(std::count(px.begin(), px.end(), 0u), static_cast<long>(px.size())) << size.cx << " x " << size.cy;
      // A pattern in, read back as DIB rows.
      for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) px[size_t(y) * size.cx + x] = uint32_t(x * 0x010203 + y * 0x0B0705) & 0xFFFFFF;
      SetBitmapBits(bm, static_cast<DWORD>(px.size() * 4), px.data());
      for (int bpp : {32, 24})
        for (bool topDown : {false, true}) {
          Dib back = MakeDib(size.cx, size.cy, bpp, topDown, {});
          ASSERT_EQ(GetDIBits(screen, bm, 0, static_cast<UINT>(size.cy), back.Bits(), back.Info(), DIB_RGB_COLORS),
                    size.cy);
          bool same = true;
          for (int y = 0; y < size.cy && same; ++y) {
            const unsigned char* row = back.Bits() + back.stride * size_t(topDown ? y : size.cy - 1 - y);
            for (int x = 0; x < size.cx && same; ++x) {
              const uint32_t v = px[size_t(y) * size.cx + x];
              const unsigned char* p = row + size_t(x) * (bpp / 8);
              same = p[0] == (v & 0xFF) && p[1] == ((v >> 8) & 0xFF) && p[2] == (v >> 16) && (bpp == 24 || p[3] == 0);
            }
          }
          EXPECT_TRUE(same) << size.cx << " x " << size.cy << " at " << bpp << (topDown ? " top-down" : " bottom-up");
        }
      DeleteObject(bm);
    }
  ReleaseDC(nullptr, screen);
}

TEST(GdiDib, GetDIBitsFillsTheHeaderFirst) {
  Canvas c(7, 3);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = 40;
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  EXPECT_NE(GetDIBits(c.dc, c.bm, 0, 0, nullptr, &bi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(bi.bmiHeader.biWidth, 7);
  EXPECT_EQ(bi.bmiHeader.biHeight, 3);
  EXPECT_EQ(bi.bmiHeader.biBitCount, 32);
  BITMAP bm{};
  EXPECT_EQ(GetObject(c.bm, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 7);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  SIZE dim{};
  SetBitmapDimensionEx(c.bm, 70, 30, nullptr);
  GetBitmapDimensionEx(c.bm, &dim);
  EXPECT_EQ(dim.cx, 70);
}

TEST(GdiDib, StretchDIBitsHalvesAndDoublesWithColorOnColor) {
  // A 4 x 2 picture: top row A B C D, bottom row E F G H.
  const COLORREF top[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  const COLORREF bottom[4] = {RGB(0, 255, 255), RGB(255, 0, 255), RGB(10, 20, 30), RGB(40, 50, 60)};
  Dib d = MakeDib(4, 2, 24, false, {});
  for (int x = 0; x < 4; ++x) {
    Put(d, x, 1, RGB(GetBValue(top[x]), GetGValue(top[x]), GetRValue(top[x])));
    Put(d, x, 0, RGB(GetBValue(bottom[x]), GetGValue(bottom[x]), GetRValue(bottom[x])));
  }
  struct Case {
    int w, h;
  } cases[] = {{2, 1}, {8, 4}};
  for (const Case& k : cases) {
    Canvas c(10, 6);
    SetStretchBltMode(c.dc, COLORONCOLOR);
    ASSERT_NE(StretchDIBits(c.dc, 1, 1, k.w, k.h, 0, 0, 4, 2, d.Bits(), d.Info(), DIB_RGB_COLORS, SRCCOPY), 0);
    for (int y = 0; y < k.h; ++y)
      for (int x = 0; x < k.w; ++x) {
        const int sx = x * 4 / k.w, sy = y * 2 / k.h;
        EXPECT_EQ(c.At(1 + x, 1 + y), sy == 0 ? top[sx] : bottom[sx]) << k.w << "x" << k.h << " at " << x << "," << y;
      }
    EXPECT_EQ(c.At(1 + k.w, 1), RGB(255, 255, 255));
    EXPECT_EQ(c.At(0, 1), RGB(255, 255, 255));
  }
  // A part of the picture, given from its lower-left corner: the bottom-right 2 x 1.
  Canvas c(4, 4);
  StretchDIBits(c.dc, 0, 0, 2, 1, 2, 0, 2, 1, d.Bits(), d.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), bottom[2]);
  EXPECT_EQ(c.At(1, 0), bottom[3]);
}

TEST(GdiDib, PaletteColorsComeFromTheSelectedPalette) {
  // The colour table holds indices into the palette selected in the DC.
  std::vector<unsigned char> lpBytes(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
  LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(lpBytes.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 4;
  const PALETTEENTRY entries[4] = {{200, 10, 10, 0}, {10, 200, 10, 0}, {10, 10, 200, 0}, {90, 90, 90, 0}};
  std::memcpy(lp->palPalEntry, entries, sizeof entries);
  HPALETTE pal = CreatePalette(lp);
  ASSERT_NE(pal, nullptr);
  EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(20, 190, 0)), 1u);
  EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(95, 85, 90)), 3u);
  PALETTEENTRY got[4];
  EXPECT_EQ(GetPaletteEntries(pal, 1, 8, got), 3u);
  EXPECT_EQ(got[0].peGreen, 200);
  Dib d = MakeDib(4, 1, 8, false, {}, true);
  const WORD idx[4] = {3, 2, 1, 0};  // table entry i -> palette index 3 - i
  std::memcpy(d.bytes.data() + 40, idx, sizeof idx);
  for (int x = 0; x < 4; ++x) Put(d, x, 0, static_cast<unsigned>(x));
  Canvas c(4, 1);
  HPALETTE old = SelectPalette(c.dc, pal, FALSE);
  EXPECT_EQ(RealizePalette(c.dc), 0u);
  SetDIBitsToDevice(c.dc, 0, 0, 4, 1, 0, 0, 0, 1, d.Bits(), d.Info(), DIB_PAL_COLORS);
  for (int x = 0; x < 4; ++x) {
    const PALETTEENTRY& e = entries[3 - x];
    EXPECT_EQ(c.At(x, 0), RGB(e.peRed, e.peGreen, e.peBlue)) << x;
  }
  // PALETTEINDEX colours go through the same palette.
  SetPixelV(c.dc, 0, 0, PALETTEINDEX(2));
  EXPECT_EQ(c.At(0, 0), RGB(10, 10, 200));
  // And a bitmap made through the palette keeps those colours.
  HBITMAP bm = CreateDIBitmap(c.dc, &d.Info()->bmiHeader, CBM_INIT, d.Bits(), d.Info(), DIB_PAL_COLORS);
  HDC m = CreateCompatibleDC(c.dc);
  HGDIOBJ o = SelectObject(m, bm);
  EXPECT_EQ(GetPixel(m, 1, 0), RGB(10, 10, 200));
  SelectObject(m, o);
  DeleteDC(m);
  DeleteObject(bm);
  SelectPalette(c.dc, old, FALSE);
  DeleteObject(pal);
}

TEST(GdiDib, MonochromeConversionFollowsTheColours) {
  // Colour to monochrome: the source's background colour becomes white.
  Canvas src(4, 1);
  SetPixelV(src.dc, 0, 0, RGB(10, 20, 30));
  SetPixelV(src.dc, 1, 0, RGB(255, 255, 255));
  SetPixelV(src.dc, 2, 0, RGB(10, 20, 30));
  SetPixelV(src.dc, 3, 0, RGB(0, 0, 0));
  SetBkColor(src.dc, RGB(10, 20, 30));
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP mb = CreateBitmap(4, 1, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(mono, mb);
  BitBlt(mono, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(mono, 2, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono, 3, 0), RGB(0, 0, 0));
  // Monochrome to colour: black takes the text colour, white the background colour.
  Canvas dst(4, 1);
  SetTextColor(dst.dc, RGB(200, 0, 0));
  SetBkColor(dst.dc, RGB(0, 0, 200));
  BitBlt(dst.dc, 0, 0, 4, 1, mono, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 200));
  EXPECT_EQ(dst.At(1, 0), RGB(200, 0, 0));
  // A compatible bitmap of a fresh memory DC is monochrome.
  HBITMAP cb = CreateCompatibleBitmap(mono, 3, 3);
  BITMAP info{};
  GetObject(cb, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  DeleteObject(cb);
  SelectObject(mono, old);
  DeleteObject(mb);
  DeleteDC(mono);
}

TEST(GdiDib, TransparentBltAndDibSections) {
  Canvas src(3, 1, RGB(255, 0, 255));
  SetPixelV(src.dc, 1, 0, RGB(1, 2, 3));
  Canvas dst(3, 1, RGB(9, 9, 9));
  TransparentBlt(dst.dc, 0, 0, 3, 1, src.dc, 0, 0, 3, 1, RGB(255, 0, 255));
  EXPECT_EQ(dst.At(0, 0), RGB(9, 9, 9));
  EXPECT_EQ(dst.At(1, 0), RGB(1, 2, 3));
  // A DIB section's bits are the bitmap: writes through the DC show in them.
  Dib d = MakeDib(2, 2, 32, true, {});
  void* bits = nullptr;
  HBITMAP sec = CreateDIBSection(nullptr, d.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(sec, nullptr);
  HDC m = CreateCompatibleDC(nullptr);
  HGDIOBJ o = SelectObject(m, sec);
  SetPixelV(m, 1, 0, RGB(0x11, 0x22, 0x33));
  const unsigned char* b = static_cast<const unsigned char*>(bits);
  EXPECT_EQ(b[4], 0x33);
  EXPECT_EQ(b[5], 0x22);
  EXPECT_EQ(b[6], 0x11);
  static_cast<unsigned char*>(bits)[8] = 0x44;  // blue of pixel (0, 1)
  EXPECT_EQ(GetPixel(m, 0, 1), RGB(0, 0, 0x44));
  SelectObject(m, o);
  DeleteDC(m);
  DeleteObject(sec);
}

// A 6 x 4 cross of red on magenta for DrawState and image lists.
HBITMAP CrossBitmap(COLORREF ink, COLORREF back) {
  HBITMAP bm = CreateBitmap(6, 4, 1, 32, nullptr);
  HDC m = CreateCompatibleDC(nullptr);
  HGDIOBJ o = SelectObject(m, bm);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) SetPixelV(m, x, y, (x == 2 || y == 1) ? ink : back);
  SelectObject(m, o);
  DeleteDC(m);
  return bm;
}

TEST(GdiDrawState, DisabledAndMonoDrawTheShape) {
  HBITMAP bm = CrossBitmap(RGB(200, 0, 0), RGB(255, 255, 255));
  const COLORREF bg = RGB(0, 128, 0);
  // Mono: the shape in the brush colour, the rest untouched.
  {
    Canvas c(10, 8, bg);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    EXPECT_TRUE(DrawState(c.dc, blue, nullptr, reinterpret_cast<LPARAM>(bm), 0, 1, 1, 0, 0, DST_BITMAP | DSS_MONO));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(c.At(1 + x, 1 + y), (x == 2 || y == 1) ? RGB(0, 0, 255) : bg);
    DeleteObject(blue);
  }
  // Disabled: the shadow over the highlight one pixel down and right.
  {
    Canvas c(10, 8, bg);
    EXPECT_TRUE(DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bm), 0, 1, 1, 0, 0, DST_BITMAP | DSS_DISABLED));
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW), light = GetSysColor(COLOR_3DHILIGHT);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool on = x == 2 || y == 1;
        const bool lit = (x - 1 == 2 || y - 1 == 1) && x >= 1 && y >= 1;
        EXPECT_EQ(c.At(1 + x, 1 + y), on ? shadow : lit ? light : bg) << x << "," << y;
      }
    EXPECT_EQ(c.At(1 + 6, 1 + 2), light);  // the highlight reaches one past the shape
  }
  // Text: disabled text is embossed; normal text keeps the background.
  {
    Canvas c(60, 20, bg);
    SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_TRUE(DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>("&Ab"), 0, 2, 2, 0, 0, DST_PREFIXTEXT | DSS_DISABLED));
    EXPECT_GT(c.Count(GetSysColor(COLOR_3DSHADOW)), 0);
    EXPECT_GT(c.Count(GetSysColor(COLOR_3DHILIGHT)), 0);
    EXPECT_EQ(c.Count(bg) + c.Count(GetSysColor(COLOR_3DSHADOW)) + c.Count(GetSysColor(COLOR_3DHILIGHT)), 60 * 20);
  }
  DeleteObject(bm);
}

TEST(GdiImageList, DrawnWithItsMask) {
  const COLORREF key = RGB(255, 0, 255), ink = RGB(200, 0, 0), bg = RGB(0, 100, 0);
  HBITMAP strip = CreateBitmap(12, 4, 1, 32, nullptr);
  {
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ o = SelectObject(m, strip);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 12; ++x) SetPixelV(m, x, y, ((x % 6) == 2 || y == 1) ? (x < 6 ? ink : RGB(0, 0, 200)) : key);
    SelectObject(m, o);
    DeleteDC(m);
  }
  CImageList list;
  ASSERT_TRUE(list.Create(6, 4, ILC_COLOR24 | ILC_MASK, 2, 2));
  CBitmap* b = CBitmap::FromHandle(strip);
  EXPECT_EQ(list.Add(b, key), 0);
  EXPECT_EQ(list.GetImageCount(), 2);
  struct Case {
    UINT style;
    COLORREF listBk;
  } cases[] = {{ILD_TRANSPARENT, CLR_NONE}, {ILD_NORMAL, CLR_NONE}, {ILD_NORMAL, RGB(1, 2, 3)}};
  for (const Case& k : cases) {
    Canvas c(10, 6, bg);
    list.SetBkColor(k.listBk);
    EXPECT_TRUE(list.Draw(CDC::FromHandle(c.dc), 0, CPoint(2, 1), k.style));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool on = x == 2 || y == 1;
        const COLORREF masked = (k.style == ILD_NORMAL && k.listBk != CLR_NONE) ? k.listBk : bg;
        EXPECT_EQ(c.At(2 + x, 1 + y), on ? ink : masked) << k.style << " " << x << "," << y;
      }
  }
  // Focus blends a quarter of the highlight colour over the image only.
  Canvas f(10, 6, bg);
  list.SetBkColor(CLR_NONE);
  list.Draw(CDC::FromHandle(f.dc), 1, CPoint(0, 0), ILD_TRANSPARENT | ILD_FOCUS);
  const COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
  auto mix = [](int image, int light) { return (image * 75 + light * 25 + 50) / 100; };
  EXPECT_EQ(f.At(2, 0), RGB(mix(0, GetRValue(hl)), mix(0, GetGValue(hl)), mix(200, GetBValue(hl))));
  EXPECT_EQ(f.At(0, 0), bg);
  // Copy, remove and icons.
  EXPECT_TRUE(list.Copy(0, 1, ILCF_SWAP));
  Canvas s(10, 6, bg);
  list.Draw(CDC::FromHandle(s.dc), 0, CPoint(0, 0), ILD_TRANSPARENT);
  EXPECT_EQ(s.At(2, 0), RGB(0, 0, 200));
  HICON icon = list.ExtractIcon(1);
  ASSERT_NE(icon, nullptr);
  Canvas ic(10, 6, bg);
  DrawIconEx(ic.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(ic.At(2, 0), ink);
  EXPECT_EQ(ic.At(0, 0), bg);
  DestroyIcon(icon);
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.GetImageCount(), 1);
  EXPECT_FALSE(list.Remove(3));
  DeleteObject(strip);
}

TEST(GdiClipboard, DibAndTextRoundTrip) {
  Dib d = MakeDib(5, 3, 24, false, {});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) Put(d, x, y, ValueAt(24, x, y));
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, d.bytes.size());
  std::memcpy(GlobalLock(block), d.bytes.data(), d.bytes.size());
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_DIB, block), block);
  EXPECT_TRUE(CloseClipboard());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE got = GetClipboardData(CF_DIB);
  ASSERT_NE(got, nullptr);
  const BITMAPINFO* bi = static_cast<const BITMAPINFO*>(GlobalLock(got));
  ASSERT_EQ(bi->bmiHeader.biWidth, 5);
  ASSERT_EQ(std::abs(bi->bmiHeader.biHeight), 3);
  // Compare the pictures through a DC, whatever depth came back.
  Canvas a(5, 3), b(5, 3);
  SetDIBitsToDevice(a.dc, 0, 0, 5, 3, 0, 0, 0, 3, d.Bits(), d.Info(), DIB_RGB_COLORS);
  SetDIBitsToDevice(b.dc, 0, 0, 5, 3, 0, 0, 0, 3, FindDIBBits(bi), bi, DIB_RGB_COLORS);
  EXPECT_EQ(a.Snapshot(), b.Snapshot());
  GlobalUnlock(got);
  // Text in the interface code page.
  const UINT oldCp = GetAnsiCodePage();
  SetAnsiCodePage(1251);
  const char text[] = "\xC1\xE8\xF1\xE5\xF0 beads";  // "Бисер beads"
  HGLOBAL t = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::memcpy(GlobalLock(t), text, sizeof text);
  GlobalUnlock(t);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  SetClipboardData(CF_TEXT, t);
  HANDLE tt = GetClipboardData(CF_TEXT);
  ASSERT_NE(tt, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(tt)), text);
  GlobalUnlock(tt);
  EXPECT_TRUE(CloseClipboard());
  SetAnsiCodePage(oldCp);
}

}  // namespace

namespace {

// An icon image as stored in icon resources: a DIB of twice the height
// (the colour rows, then the AND mask rows), bottom-up.
std::vector<unsigned char> IconImage(int w, int h, COLORREF ink, const std::vector<int>& clearColumns) {
  const size_t xorStride = static_cast<size_t>(DibRowStride(w, 24)),
               andStride = static_cast<size_t>(DibRowStride(w, 1));
  std::vector<unsigned char> v(40 + (xorStride + andStride) * h, 0);
  BITMAPINFOHEADER ih{};
  ih.biSize = 40;
  ih.biWidth = w;
  ih.biHeight = 2 * h;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  std::memcpy(v.data(), &ih, 40);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = v.data() + 40 + xorStride * y + 3 * x;
      p[0] = GetBValue(ink);
      p[1] = GetGValue(ink);
      p[2] = GetRValue(ink);
    }
  for (int y = 0; y < h; ++y)
    for (int c : clearColumns) {
      v[40 + xorStride * h + andStride * y + c / 8] |= static_cast<unsigned char>(0x80 >> (c % 8));
      unsigned char* p = v.data() + 40 + xorStride * y + 3 * c;
      p[0] = p[1] = p[2] = 0;  // transparent pixels are black in the colour image
    }
  return v;
}

TEST(GdiIcons, IconImagesKeepTheScreenUnderTheirMask) {
  const auto bytes = IconImage(6, 3, RGB(10, 200, 30), {0, 5});
  HICON icon = CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE, 0x30000, 0, 0, 0);
  ASSERT_NE(icon, nullptr);
  Canvas c(8, 5, RGB(90, 90, 90));
  EXPECT_TRUE(DrawIconEx(c.dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
  for (int x = 0; x < 6; ++x) EXPECT_EQ(c.At(1 + x, 2), (x == 0 || x == 5) ? RGB(90, 90, 90) : RGB(10, 200, 30)) << x;
  // Drawn at twice the size.
  Canvas big(14, 8, RGB(90, 90, 90));
  DrawIconEx(big.dc, 0, 0, icon, 12, 6, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(big.At(1, 3), RGB(90, 90, 90));
  EXPECT_EQ(big.At(2, 3), RGB(10, 200, 30));
  EXPECT_EQ(big.At(11, 3), RGB(90, 90, 90));
  // Its pieces come back as bitmaps and make the same icon.
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  HICON again = CreateIconIndirect(&info);
  Canvas c2(8, 5, RGB(90, 90, 90));
  DrawIconEx(c2.dc, 1, 1, again, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(c.Snapshot(), c2.Snapshot());
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(again);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  // Cut or damaged images are refused.
  EXPECT_EQ(CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size() - 1), TRUE, 0x30000, 0, 0, 0), nullptr);
  std::vector<unsigned char> bad = bytes;
  bad[4] = 0xFF;  // width far past the data
  bad[5] = 0x0F;
  EXPECT_EQ(CreateIconFromResourceEx(bad.data(), static_cast<DWORD>(bad.size()), TRUE, 0x30000, 0, 0, 0), nullptr);
  // Standard cursors and icons exist.
  EXPECT_NE(LoadCursor(nullptr, IDC_ARROW), nullptr);
  EXPECT_NE(LoadIcon(nullptr, IDI_WARNING), nullptr);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(5)), nullptr);
}

}  // namespace
