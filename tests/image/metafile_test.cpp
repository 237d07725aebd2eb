// Metafiles written byte by byte, decoded by the codec layer (and so
// played by the drawing stand-in's player), checked by their pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/Image.h"
#include "image/codec/BaseImage.h"
#include "platform/base/codepage.h"
#include "platform/gdi.h"
#include "tests/common/test_util.h"
#include "tests/image/metafile_fixtures.h"

namespace {

using namespace metafiletest;
namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

const COLORREF kWhite = RGB(255, 255, 255);

struct Decoded {
  CBaseImage img;
  bool ok = false;
  std::string error;
  COLORREF At(int x, int y) {
    const RGBQUAD q = img.GetPixelColor(x, static_cast<long>(img.GetHeight()) - 1 - y, false);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  int W() const { return static_cast<int>(img.GetWidth()); }
  int H() const { return static_cast<int>(img.GetHeight()); }
};

void Decode(const Bytes& b, Decoded& d) {
  d.ok = d.img.Decode(b.data(), static_cast<DWORD>(b.size()), CODEC_FORMAT_WMF);
  d.error = d.img.GetLastError();
}

TEST(Metafile, PlaceableWmfOfTwoByOneInches) {
  Wmf w;
  w.Rec(0x020B, {0, 0})              // window origin
      .Rec(0x020C, {1440, 2880})     // window extent (y, x)
      .Rec(0x02FC, {0, 0x00FF, 0x0000, 0})  // solid red brush -> slot 0
      .Rec(0x012D, {0})
      .Rec(0x02FA, {5, 0, 0, 0, 0})  // null pen -> slot 1
      .Rec(0x012D, {1})
      .Rec(0x041B, {720, 1440, 0, 0});  // rectangle (bottom, right, top, left)
  Decoded d;
  Decode(w.Bytes(0, 0, 2880, 1440, 1440), d);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.W(), 192);
  EXPECT_EQ(d.H(), 96);
  EXPECT_EQ(d.img.GetBpp(), 24);
  EXPECT_EQ(d.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(d.At(94, 46), RGB(255, 0, 0));
  // Without a pen the rectangle is one pixel smaller at the right and bottom.
  EXPECT_EQ(d.At(95, 47), kWhite);
  EXPECT_EQ(d.At(96, 10), kWhite);
  EXPECT_EQ(d.At(150, 80), kWhite);
}

TEST(Metafile, PlaceableWmfRefusals) {
  Wmf w;
  w.Rec(0x041B, {10, 10, 0, 0});
  struct Case {
    const char* what;
    Bytes bytes;
    const char* error;
  };
  Bytes shortRecord = w.Bytes(0, 0, 100, 100, 96);
  shortRecord[40] = 0xFF;  // the first record claims far more than is there
  Bytes badIndex;
  {
    Wmf bad;
    bad.Rec(0x012D, {3});  // selects a slot never filled
    badIndex = bad.Bytes(0, 0, 100, 100, 96);
  }
  Bytes fullTable;
  {
    Wmf bad;
    bad.Rec(0x02FC, {0, 0, 0, 0}).Rec(0x02FC, {0, 0, 0, 0});
    fullTable = bad.Bytes(0, 0, 100, 100, 96, 1);
  }
  const Case cases[] = {
      {"checksum", w.Bytes(0, 0, 100, 100, 96, 4, true), "corrupted WMF"},
      {"units per inch 0", w.Bytes(0, 0, 100, 100, 0), "corrupted WMF"},
      {"units per inch 2541", w.Bytes(0, 0, 100, 100, 2541), "corrupted WMF"},
      {"empty frame", w.Bytes(5, 5, 5, 100, 96), "empty WMF"},
      {"short record", shortRecord, "corrupted WMF"},
      {"object index", badIndex, "corrupted WMF"},
      {"object table full", fullTable, "corrupted WMF"},
  };
  for (const Case& c : cases) {
    Decoded d;
    Decode(c.bytes, d);
    EXPECT_FALSE(d.ok) << c.what;
    EXPECT_EQ(d.error, c.error) << c.what;
  }
}

TEST(Metafile, EmfShapesWithPensAndBrushes) {
  Emf e(100, 60);
  e.Rec(EmrCreatePen, Pen(1, 0, 1, RGB(0, 128, 0)))
      .Rec(EmrSelectObject, One(1))
      .Rec(EmrCreateBrush, Brush(2, RGB(0, 0, 255)))
      .Rec(EmrSelectObject, One(2))
      .Rec(EmrRectangle, Box(10, 10, 40, 30))
      .Rec(EmrSelectObject, One(0x80000000u | 8))  // null pen
      .Rec(EmrCreateBrush, Brush(3, RGB(255, 255, 0)))
      .Rec(EmrSelectObject, One(3))
      .Rec(EmrEllipse, Box(50, 10, 90, 50))
      .Rec(EmrPolygon16, Points16({{10, 40}, {30, 40}, {10, 58}}))
      .Rec(EmrSelectObject, One(0x80000000u | 7))  // black pen
      .Rec(EmrPolyline16, Points16({{0, 5}, {99, 5}}))
      .Rec(EmrDeleteObject, One(3));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.W(), 100);
  EXPECT_EQ(d.H(), 60);
  EXPECT_EQ(d.At(10, 10), RGB(0, 128, 0));   // outline
  EXPECT_EQ(d.At(39, 29), RGB(0, 128, 0));
  EXPECT_EQ(d.At(20, 20), RGB(0, 0, 255));   // inside
  EXPECT_EQ(d.At(40, 20), kWhite);           // right edge left out
  EXPECT_EQ(d.At(70, 30), RGB(255, 255, 0)); // ellipse centre
  EXPECT_EQ(d.At(51, 11), kWhite);           // its bounding corner
  EXPECT_EQ(d.At(12, 43), RGB(255, 255, 0)); // polygon
  EXPECT_EQ(d.At(28, 56), kWhite);
  EXPECT_EQ(d.At(50, 5), RGB(0, 0, 0));      // line
}

// A pie whose ellipse is hundreds of times the picture fills the quarter
// that covers the picture, in time linear in its rows.
TEST(Metafile, PieFarLargerThanThePicture) {
  Emf e(100, 60);
  qmtest::Bytes pie = Box(-30000, -30000, 30000, 30000);
  pie.i32(0).i32(30000).i32(30000).i32(0);  // from straight down to the right, counter-clockwise
  e.Rec(EmrCreateBrush, Brush(1, RGB(0, 0, 255)))
      .Rec(EmrSelectObject, One(1))
      .Rec(EmrSelectObject, One(0x80000000u | 8))  // null pen
      .Rec(EmrPie, pie);
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  for (auto [x, y] : {std::pair{1, 1}, {50, 30}, {99, 59}}) EXPECT_EQ(d.At(x, y), RGB(0, 0, 255)) << x << "," << y;
}

// A wide pen along a line far longer than the picture paints the band it
// covers (only the stamps that reach the picture are made).
TEST(Metafile, WidePenAlongALongLine) {
  Emf e(100, 60);
  e.Rec(EmrCreatePen, Pen(1, 0, 2000, RGB(0, 128, 0)))
      .Rec(EmrSelectObject, One(1))
      .Rec(EmrPolyline16, Points16({{-30000, 30}, {30000, 30}}));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  for (auto [x, y] : {std::pair{0, 0}, {50, 30}, {99, 59}}) EXPECT_EQ(d.At(x, y), RGB(0, 128, 0)) << x << "," << y;
}

TEST(Metafile, EmfFilledPathAndClipping) {
  Emf e(60, 60);
  e.Rec(EmrCreateBrush, Brush(1, RGB(255, 0, 0)))
      .Rec(EmrSelectObject, One(1))
      .Rec(EmrBeginPath, {})
      .Rec(EmrMoveTo, Two(5, 5))
      .Rec(EmrLineTo, Two(25, 5))
      .Rec(EmrLineTo, Two(25, 25))
      .Rec(EmrLineTo, Two(5, 25))
      .Rec(EmrCloseFigure, {})
      .Rec(EmrEndPath, {})
      .Rec(EmrFillPath, Box(0, 0, 0, 0))
      // Clipped: a big green rectangle shows only inside the clip.
      .Rec(EmrSaveDC, {})
      .Rec(EmrIntersectClipRect, Box(30, 30, 50, 50))
      .Rec(EmrExcludeClipRect, Box(30, 30, 35, 35))
      .Rec(EmrCreateBrush, Brush(2, RGB(0, 255, 0)))
      .Rec(EmrSelectObject, One(2))
      .Rec(EmrRectangle, Box(0, 0, 60, 60))
      .Rec(EmrRestoreDC, One(static_cast<std::uint32_t>(-1)))
      // After the restore the clip is gone.
      .Rec(EmrRectangle, Box(52, 2, 58, 8));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.At(15, 15), RGB(255, 0, 0));
  EXPECT_EQ(d.At(4, 15), kWhite);
  EXPECT_EQ(d.At(28, 15), kWhite);
  EXPECT_EQ(d.At(40, 40), RGB(0, 255, 0));
  EXPECT_EQ(d.At(32, 32), kWhite);  // excluded
  EXPECT_EQ(d.At(55, 55), kWhite);  // outside the clip
  EXPECT_EQ(d.At(20, 40), kWhite);
  EXPECT_EQ(d.At(55, 5), RGB(255, 0, 0));
}

TEST(Metafile, EmfPathAsClip) {
  Emf e(40, 40);
  e.Rec(EmrBeginPath, {})
      .Rec(EmrPolygon16, Points16({{0, 0}, {20, 0}, {0, 20}}))
      .Rec(EmrEndPath, {})
      .Rec(EmrSelectClipPath, One(5 /* copy */))
      .Rec(EmrCreateBrush, Brush(1, RGB(0, 0, 255)))
      .Rec(EmrSelectObject, One(1))
      .Rec(EmrRectangle, Box(0, 0, 40, 40));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.At(3, 3), RGB(0, 0, 255));
  EXPECT_EQ(d.At(18, 18), kWhite);
  EXPECT_EQ(d.At(30, 5), kWhite);
}

// STRETCHDIBITS of a 2 x 2 24-bit DIB (bottom-up rows) stretched to 20 x 20.
qmtest::Bytes StretchDib(int x, int y, int w, int h) {
  qmtest::Bytes bmi;
  bmi.u32(40).i32(2).i32(2).u16(1).u16(24).u32(0).u32(16).i32(0).i32(0).u32(0).u32(0);
  qmtest::Bytes bits;
  // Bottom row: blue, green; top row: red, white (blue, green, red bytes).
  bits.u8(255).u8(0).u8(0).u8(0).u8(255).u8(0).u8(0).u8(0);
  bits.u8(0).u8(0).u8(255).u8(255).u8(255).u8(255).u8(0).u8(0);
  qmtest::Bytes b;
  b.i32(0).i32(0).i32(0).i32(0).i32(x).i32(y).i32(0).i32(0).i32(2).i32(2);
  b.u32(80).u32(40).u32(120).u32(16).u32(0).u32(0x00CC0020).i32(w).i32(h);
  b.raw(bmi.b).raw(bits.b);
  return b;
}

TEST(Metafile, EmfDibBlitAndBadDibs) {
  Emf e(40, 40);
  e.Rec(EmrStretchDIBits, StretchDib(10, 10, 20, 20));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.At(12, 12), RGB(255, 0, 0));
  EXPECT_EQ(d.At(27, 12), kWhite);
  EXPECT_EQ(d.At(12, 27), RGB(0, 0, 255));
  EXPECT_EQ(d.At(27, 27), RGB(0, 255, 0));
  EXPECT_EQ(d.At(5, 5), kWhite);

  // Bits that run past the record, or a header larger than its room.
  qmtest::Bytes cut = StretchDib(0, 0, 10, 10);
  cut.b.resize(cut.b.size() - 4);
  qmtest::Bytes bigHeader = StretchDib(0, 0, 10, 10);
  bigHeader.b[72] = 200;  // the info header claims 200 bytes
  for (const qmtest::Bytes& bad : {cut, bigHeader}) {
    Emf f(40, 40);
    f.Rec(EmrStretchDIBits, bad);
    Decoded g;
    Decode(f.Bytes(), g);
    EXPECT_FALSE(g.ok);
    EXPECT_EQ(g.error, "corrupted WMF");
  }
}

TEST(Metafile, EmfWorldTransformAndMapping) {
  Emf e(100, 100);
  qmtest::Bytes xf;
  xf.f32(2).f32(0).f32(0).f32(2).f32(10).f32(20);  // twice the size, moved by (10, 20)
  e.Rec(EmrSetWorldTransform, xf)
      .Rec(EmrSelectObject, One(0x80000000u | 8))
      .Rec(EmrSelectObject, One(0x80000000u | 4))  // black brush
      .Rec(EmrRectangle, Box(0, 0, 10, 10));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_EQ(d.At(11, 21), RGB(0, 0, 0));
  EXPECT_EQ(d.At(28, 38), RGB(0, 0, 0));
  EXPECT_EQ(d.At(9, 21), kWhite);
  EXPECT_EQ(d.At(31, 30), kWhite);

  // Anisotropic mapping: a window of 10 x 10 units on a 100-pixel viewport.
  Emf m(100, 100);
  m.Rec(EmrSetMapMode, One(8))
      .Rec(EmrSetWindowExt, Two(10, 10))
      .Rec(EmrSetViewportExt, Two(100, 100))
      .Rec(EmrSelectObject, One(0x80000000u | 8))
      .Rec(EmrSelectObject, One(0x80000000u | 4))
      .Rec(EmrRectangle, Box(5, 5, 10, 10));
  Decoded a;
  Decode(m.Bytes(), a);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.At(60, 60), RGB(0, 0, 0));
  EXPECT_EQ(a.At(40, 60), kWhite);
}

TEST(Metafile, EmfSizesAndRefusals) {
  Decoded big;
  Decode(Emf(8000, 2000).Bytes(), big);
  ASSERT_TRUE(big.ok) << big.error;
  EXPECT_EQ(big.W(), 4000);
  EXPECT_EQ(big.H(), 1000);

  Decoded empty;
  Decode(Emf(0, 50).Bytes(), empty);
  EXPECT_FALSE(empty.ok);
  EXPECT_EQ(empty.error, "empty WMF");

  struct Case {
    const char* what;
    Bytes bytes;
  };
  Bytes noEnd = Emf(10, 10).Bytes();
  noEnd.resize(noEnd.size() - 20);
  Bytes oddSize = Emf(10, 10).Rec(EmrEllipse, Box(0, 0, 5, 5)).Bytes();
  oddSize[92] = 26;  // the ellipse record's size, not a multiple of 4
  Bytes badSignature = Emf(10, 10).Bytes();
  badSignature[40] = 'X';
  const Case cases[] = {
      {"no end record", noEnd},
      {"record size", oddSize},
      {"signature", badSignature},
      {"select of an empty slot", Emf(10, 10).Rec(EmrSelectObject, One(3)).Bytes()},
      {"slot beyond the table", Emf(10, 10).Rec(EmrCreateBrush, Brush(9, 0)).Bytes(4)},
      {"slot 0", Emf(10, 10).Rec(EmrCreateBrush, Brush(0, 0)).Bytes()},
      {"short record", Emf(10, 10).Rec(EmrRectangle, Two(1, 2)).Bytes()},
      {"poly count", Emf(10, 10).Rec(EmrPolygon16, qmtest::Bytes().zeros(16).u32(1000).u32(0)).Bytes()},
  };
  for (const Case& c : cases) {
    Decoded d;
    Decode(c.bytes, d);
    EXPECT_FALSE(d.ok) << c.what;
    EXPECT_EQ(d.error, "corrupted WMF") << c.what;
  }
}

// Narrow text in a metafile is read by its font's character set, wide text
// as it is; both match the platform's own drawing in either interface.
TEST(Metafile, EmfTextInBothCharacterSets) {
  struct TextCase {
    std::vector<unsigned char> bytes;
    bool wide;
    BYTE charset;
    std::u16string text;
  };
  const std::u16string russian = u"\u041F\u0440\u0438\u0432\u0435\u0442";
  std::vector<unsigned char> wideBytes;
  for (char16_t ch : russian) wideBytes.push_back(static_cast<unsigned char>(ch)), wideBytes.push_back(ch >> 8);
  const TextCase cases[] = {
      {{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, false, RUSSIAN_CHARSET, russian},
      {{'C', 'a', 'f', 0xE9, ' ', 0xC6}, false, ANSI_CHARSET, u"Caf\u00E9 \u00C6"},
      {wideBytes, true, ANSI_CHARSET, russian},
  };
  const UINT interfacePage = GetAnsiCodePage();
  for (UINT page : {1251u, 1252u}) {
    SetAnsiCodePage(page);
    for (const TextCase& c : cases) {
      Emf e(160, 40);
      e.Rec(EmrExtCreateFont, Font(1, -20, c.charset, "Arial"))
          .Rec(EmrSelectObject, One(1))
          .Rec(EmrSetBkMode, One(1))
          .Rec(EmrSetTextColor, One(RGB(0, 0, 128)))
          .Rec(c.wide ? EmrExtTextOutW : EmrExtTextOutA, TextRun(5, 6, c.bytes, c.wide));
      Decoded d;
      Decode(e.Bytes(), d);
      ASSERT_TRUE(d.ok) << d.error;
      // The same text drawn by the platform.
      HDC screen = GetDC(nullptr);
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP bm = CreateCompatibleBitmap(screen, 160, 40);
      ReleaseDC(nullptr, screen);
      HGDIOBJ old = SelectObject(dc, bm);
      PatBlt(dc, 0, 0, 160, 40, WHITENESS);
      HFONT f = CreateFont(-20, 0, 0, 0, 400, 0, 0, 0, c.charset, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
      HGDIOBJ oldFont = SelectObject(dc, f);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 128));
      TextOutW(dc, 5, 6, reinterpret_cast<const WCHAR*>(c.text.data()), static_cast<int>(c.text.size()));
      int differ = 0, ink = 0;
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 160; ++x) {
          const COLORREF want = GetPixel(dc, x, y) & 0xFFFFFF;
          ink += want != kWhite;
          differ += d.At(x, y) != want;
        }
      EXPECT_GT(ink, 30);
      EXPECT_EQ(differ, 0) << page << " " << int(c.charset) << " " << c.wide;
      SelectObject(dc, oldFont);
      SelectObject(dc, old);
      DeleteObject(f);
      DeleteObject(bm);
      DeleteDC(dc);
    }
  }
  SetAnsiCodePage(interfacePage);
}

TEST(Metafile, UnknownRecordsAreSkippedAndCounted) {
  qmtest::Bytes comment;
  comment.u32(4).chars("abcd");
  Emf e(20, 20);
  e.Rec(EmrGdiComment, comment)
      .Rec(200, qmtest::Bytes().u32(7))
      .Rec(EmrSelectObject, One(0x80000000u | 4))
      .Rec(EmrRectangle, Box(2, 2, 10, 10));
  const Bytes b = e.Bytes();
  HENHMETAFILE mf = SetEnhMetaFileBits(static_cast<UINT>(b.size()), b.data());
  ASSERT_NE(mf, nullptr);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bm = CreateCompatibleBitmap(screen, 20, 20);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bm);
  const RECT r{0, 0, 20, 20};
  EXPECT_TRUE(PlayEnhMetaFile(dc, mf, &r));
  const QmMetafilePlayCounts counts = QmLastMetafilePlayCounts();
  EXPECT_EQ(counts.skipped, 2);
  EXPECT_EQ(counts.played, 4);  // header, select, rectangle, end
  EXPECT_EQ(GetPixel(dc, 5, 5) & 0xFFFFFF, 0u);
  ENHMETAHEADER h{};
  EXPECT_EQ(GetEnhMetaFileHeader(mf, sizeof h, &h), sizeof h);
  EXPECT_EQ(h.rclBounds.right, 20);
  EXPECT_EQ(GetEnhMetaFilePaletteEntries(mf, 0, nullptr), 0u);
  EXPECT_TRUE(DeleteEnhMetaFile(mf));
  EXPECT_FALSE(DeleteEnhMetaFile(mf));
  EXPECT_FALSE(PlayEnhMetaFile(dc, mf, &r));
  SelectObject(dc, old);
  DeleteObject(bm);
  DeleteDC(dc);
}

TEST(Metafile, PicturesLoadByContentAndByExtension) {
  const fs::path dir = qmtest::MakeTempDir("metafile");
  Wmf w;
  w.Rec(0x02FC, {0, 0x00FF, 0x0000, 0}).Rec(0x012D, {0}).Rec(0x041B, {50, 50, 0, 0});
  qmtest::WriteAll(dir / "pic.wmf", w.Bytes(0, 0, 100, 50, 96));
  bool ok = false;
  CImage wmf((dir / "pic.wmf").string().c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(wmf.GetWidth(), 100);
  EXPECT_EQ(wmf.GetHeight(), 50);
  COLORREF c = 0;
  ASSERT_TRUE(wmf.GetPixelColor(10, 40, c));
  EXPECT_EQ(c & 0xFFFFFF, RGB(255, 0, 0));

  Emf e(30, 20);
  e.Rec(EmrSelectObject, One(0x80000000u | 4)).Rec(EmrRectangle, Box(0, 0, 30, 20));
  qmtest::WriteAll(dir / "pic.emf", e.Bytes());
  CImage emf((dir / "pic.emf").string().c_str(), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(emf.GetType(), kImageTypeEMF);
  EXPECT_EQ(emf.GetWidth(), 30);
  ASSERT_TRUE(emf.GetPixelColor(10, 10, c));
  EXPECT_EQ(c & 0xFFFFFF, 0u);
}

}  // namespace

namespace {

// Escapement turns a run about its reference point: 90 degrees makes a
// run that reads upwards.
TEST(Metafile, TurnedText) {
  using namespace metafiletest;
  qmtest::Bytes font = Font(1, -20, ANSI_CHARSET, "Arial");
  font.b[12] = 0x84;  // escapement 900 (tenths of a degree)
  font.b[13] = 0x03;
  Emf e(60, 120);
  e.Rec(EmrExtCreateFont, font)
      .Rec(EmrSelectObject, One(1))
      .Rec(EmrSetBkMode, One(1))
      .Rec(EmrExtTextOutA, TextRun(10, 110, {'W', 'W', 'W', 'W'}, false));
  Decoded d;
  Decode(e.Bytes(), d);
  ASSERT_TRUE(d.ok) << d.error;
  int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
  for (int y = 0; y < d.H(); ++y)
    for (int x = 0; x < d.W(); ++x)
      if (d.At(x, y) != kWhite) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  // Four W's upright are far wider than tall; turned, the run is tall and
  // lies right of the reference point's column, above its row.
  ASSERT_GE(maxX, 0);
  EXPECT_GT(maxY - minY, 2 * (maxX - minX));
  EXPECT_GE(minX, 10);
  EXPECT_LE(maxY, 110);
}

}  // namespace
