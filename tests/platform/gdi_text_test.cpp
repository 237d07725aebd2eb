// Text: extents equal what is drawn, height rules, the face-name table,
// symbol fonts, DrawText, and a sample picture to look at.
#include <QImage>

#include <cstring>

#include "platform/base.h"
#include "platform/gdi/surface.h"
#include "tests/platform/gdi_fixture.h"

using gditest::Canvas;

namespace {

HFONT Font(const char* face, int height, int weight = FW_NORMAL, BYTE italic = 0, BYTE charset = DEFAULT_CHARSET) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfCharSet = charset;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

SIZE Extent(HDC dc, const char* s) {
  SIZE z{};
  GetTextExtentPoint32(dc, s, static_cast<int>(std::strlen(s)), &z);
  return z;
}

struct FontCase {
  const char* face;
  int height;
  int weight;
};
const FontCase kFonts[] = {{"Arial", -13, FW_NORMAL}, {"Arial", 14, FW_BOLD}, {"Tahoma", -11, FW_NORMAL},
                           {"Times New Roman", -16, FW_NORMAL}, {"Courier New", 15, FW_NORMAL},
                           {"MS Sans Serif", -11, FW_BOLD}, {"Verdana", 28, FW_NORMAL}};
const char* kTexts[] = {"Beads 123", "Wide MMW", "Loom 1,5 mm"};

TEST(GdiText, OpaqueCellIsTheMeasuredExtent) {
  for (const FontCase& f : kFonts)
    for (const char* s : kTexts) {
      Canvas c(260, 50);
      HFONT font = Font(f.face, f.height, f.weight);
      HGDIOBJ old = SelectObject(c.dc, font);
      const SIZE z = Extent(c.dc, s);
      SetBkMode(c.dc, OPAQUE);
      SetBkColor(c.dc, RGB(255, 0, 0));
      SetTextColor(c.dc, RGB(0, 0, 0));
      TextOut(c.dc, 3, 2, s, static_cast<int>(std::strlen(s)));
      EXPECT_EQ(c.Ink(), (RECT{3, 2, 3 + z.cx, 2 + z.cy})) << f.face << " " << f.height << " " << s;
      TEXTMETRIC tm{};
      GetTextMetrics(c.dc, &tm);
      EXPECT_EQ(tm.tmHeight, z.cy);
      SelectObject(c.dc, old);
      DeleteObject(font);
    }
}

TEST(GdiText, PiecesDrawnAtTheirExtentsMatchTheWhole) {
  for (const FontCase& f : kFonts) {
    Canvas whole(260, 50), parts(260, 50);
    HFONT font = Font(f.face, f.height, f.weight);
    SelectObject(whole.dc, font);
    SelectObject(parts.dc, font);
    SetBkMode(whole.dc, TRANSPARENT);
    SetBkMode(parts.dc, TRANSPARENT);
    TextOut(whole.dc, 4, 4, "Peyote stitch", 13);
    TextOut(parts.dc, 4, 4, "Peyote", 6);
    TextOut(parts.dc, 4 + Extent(parts.dc, "Peyote").cx, 4, " stitch", 7);
    EXPECT_EQ(whole.Snapshot(), parts.Snapshot()) << f.face;
    SelectObject(whole.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(parts.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
  }
}

TEST(GdiText, TextIsNotAntiAliased) {
  // White on black leaves only pure white and pure black pixels, so a text
  // raster that keeps the white pixels keeps the whole glyphs.
  Canvas c(200, 40, RGB(0, 0, 0));
  HFONT font = Font("Arial", -24, FW_BOLD, 1);
  SelectObject(c.dc, font);
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, RGB(255, 255, 255));
  TextOut(c.dc, 2, 2, "Rose & W", 8);
  const int white = c.Count(RGB(255, 255, 255)), black = c.Count(RGB(0, 0, 0));
  EXPECT_GT(white, 100);
  EXPECT_EQ(white + black, 200 * 40);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST(GdiText, HeightRules) {
  Canvas c(10, 10);
  for (const char* face : {"Arial", "Tahoma", "Times New Roman", "Courier New"})
    for (int h : {11, 13, 16, 20, 28}) {
      HFONT em = Font(face, -h), cell = Font(face, h);
      TEXTMETRIC tm{};
      SelectObject(c.dc, em);
      GetTextMetrics(c.dc, &tm);
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, h) << face << " -" << h;
      SelectObject(c.dc, cell);
      GetTextMetrics(c.dc, &tm);
      EXPECT_LE(tm.tmHeight, h) << face << " " << h;
      EXPECT_GE(tm.tmHeight, h - 1) << face << " " << h;
      SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
      DeleteObject(em);
      DeleteObject(cell);
    }
  // Points: 8 points at 96 pixels per inch is 11 pixels of character height.
  CFont f;
  LOGFONT lf{};
  lf.lfHeight = 80;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  ASSERT_TRUE(f.CreatePointFontIndirect(&lf));
  LOGFONT back{};
  f.GetLogFont(&back);
  EXPECT_EQ(back.lfHeight, -11);
}

TEST(GdiText, WindowsFacesUseTheirStandIns) {
  const struct {
    const char* windows;
    const char* installed;
  } pairs[] = {{"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
               {"Tahoma", "DejaVu Sans"}, {"Verdana", "DejaVu Sans"}, {"MS Sans Serif", "DejaVu Sans"}};
  Canvas c(10, 10);
  for (const auto& p : pairs) {
    HFONT a = Font(p.windows, -15), b = Font(p.installed, -15);
    SelectObject(c.dc, a);
    const SIZE za = Extent(c.dc, "Bead weaving 0123");
    SelectObject(c.dc, b);
    const SIZE zb = Extent(c.dc, "Bead weaving 0123");
    EXPECT_EQ(za.cx, zb.cx) << p.windows;
    EXPECT_EQ(za.cy, zb.cy) << p.windows;
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(a);
    DeleteObject(b);
  }
}

TEST(GdiText, SymbolFontsDrawTheirOwnCodes) {
  Canvas c(100, 40);
  HFONT sym = Font("Symbol", -20, FW_NORMAL, 0, SYMBOL_CHARSET);
  SelectObject(c.dc, sym);
  // 'a' of the symbol font is not the letter a of a text font.
  SetBkMode(c.dc, TRANSPARENT);
  TextOut(c.dc, 2, 2, "a", 1);
  const auto symbolA = c.Snapshot();
  c.Fill(RGB(255, 255, 255));
  HFONT arial = Font("Arial", -20);
  SelectObject(c.dc, arial);
  TextOut(c.dc, 2, 2, "a", 1);
  EXPECT_NE(symbolA, c.Snapshot());
  SelectObject(c.dc, sym);
  DeleteObject(arial);
  c.Fill(RGB(255, 255, 255));
  // Different codes give different pictures.
  SetBkMode(c.dc, TRANSPARENT);
  TextOut(c.dc, 2, 2, "a", 1);
  const auto first = c.Snapshot();
  c.Fill(RGB(255, 255, 255));
  TextOut(c.dc, 2, 2, "b", 1);
  EXPECT_NE(first, c.Snapshot());
  EXPECT_GT(c.Count(RGB(0, 0, 0)), 10);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(sym);
}

TEST(GdiText, DrawTextLaysOutLines) {
  Canvas c(200, 60);
  HFONT font = Font("Arial", -14);
  SelectObject(c.dc, font);
  SetBkMode(c.dc, TRANSPARENT);
  // Measuring.
  RECT r{10, 5, 10, 5};
  const int h = DrawText(c.dc, "Grid size", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  const SIZE z = Extent(c.dc, "Grid size");
  EXPECT_EQ(h, z.cy);
  EXPECT_TRUE(r == (RECT{10, 5, 10 + z.cx, 5 + z.cy}));
  RECT two{0, 0, 500, 0};
  EXPECT_EQ(DrawText(c.dc, "one\r\ntwo", -1, &two, DT_CALCRECT), 2 * z.cy);
  // A mnemonic is not drawn but underlines its letter.
  RECT p{0, 0, 0, 0};
  DrawText(c.dc, "&File", -1, &p, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(p.right, Extent(c.dc, "File").cx);
  RECT q{0, 0, 0, 0};
  DrawText(c.dc, "A&&B", -1, &q, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(q.right, Extent(c.dc, "A&B").cx);
  // Centred in both directions; clipped to the rectangle.
  RECT box{20, 10, 180, 50};
  DrawText(c.dc, "Grid size", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const RECT ink = c.Ink();
  EXPECT_GE(ink.left, 20 + (160 - z.cx) / 2);
  EXPECT_LE(ink.right, 20 + (160 - z.cx) / 2 + z.cx);
  EXPECT_GE(ink.top, 10 + (40 - z.cy) / 2);
  EXPECT_LE(ink.bottom, 10 + (40 - z.cy) / 2 + z.cy);
  c.Fill(RGB(255, 255, 255));
  RECT narrow{0, 0, 30, 30};
  DrawText(c.dc, "Clipped long text", -1, &narrow, DT_SINGLELINE);
  EXPECT_LE(c.Ink().right, 30);
  // End ellipsis fits the width.
  RECT e{0, 0, 60, 20};
  DrawText(c.dc, "A very long palette name", -1, &e, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(e.right, 60);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST(GdiText, ExtTextOutOpaqueAndClipped) {
  Canvas c(80, 30);
  HFONT font = Font("Arial", -14);
  SelectObject(c.dc, font);
  SetBkColor(c.dc, RGB(0, 0, 255));
  SetBkMode(c.dc, TRANSPARENT);
  RECT r{5, 5, 25, 20};
  ExtTextOut(c.dc, 5, 5, ETO_OPAQUE | ETO_CLIPPED, &r, "Wwwwwwwwwww", 11, nullptr);
  EXPECT_TRUE(c.Ink() == r);
  EXPECT_EQ(c.At(5, 19), RGB(0, 0, 255));
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

// A picture of shapes and text, saved beside the tests for a person to look at.
TEST(GdiText, SamplePicture) {
  Canvas c(320, 200, GetSysColor(COLOR_BTNFACE));
  HFONT font = Font("Arial", -13, FW_BOLD);
  HFONT big = Font("Times New Roman", -24, FW_NORMAL, 1);
  HBRUSH blue = CreateSolidBrush(RGB(60, 90, 200));
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 0));
  HPEN red = CreatePen(PS_SOLID, 1, RGB(200, 0, 0));
  HPEN wide = CreatePen(PS_SOLID, 3, RGB(0, 120, 0));
  SelectObject(c.dc, red);
  SelectObject(c.dc, blue);
  Ellipse(c.dc, 10, 10, 60, 50);
  RoundRect(c.dc, 70, 10, 130, 50, 16, 16);
  SelectObject(c.dc, hatch);
  Rectangle(c.dc, 140, 10, 190, 50);
  SelectObject(c.dc, wide);
  MoveToEx(c.dc, 200, 10, nullptr);
  LineTo(c.dc, 300, 50);
  const POINT hex[] = {{20, 70}, {40, 60}, {60, 70}, {60, 90}, {40, 100}, {20, 90}};
  SelectObject(c.dc, blue);
  SelectObject(c.dc, red);
  Polygon(c.dc, hex, 6);
  Pie(c.dc, 80, 60, 130, 110, 130, 85, 105, 60);
  RECT edge{150, 60, 210, 100};
  DrawEdge(c.dc, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  RECT button{220, 60, 300, 100};
  DrawFrameControl(c.dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH);
  RECT focus = button;
  InflateRect(&focus, -4, -4);
  DrawFocusRect(c.dc, &focus);
  SelectObject(c.dc, font);
  SetBkMode(c.dc, TRANSPARENT);
  DrawText(c.dc, "&Apply", -1, &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  TextOut(c.dc, 10, 120, "Bead weaving: loom, peyote, brick", 33);
  SelectObject(c.dc, big);
  SetTextColor(c.dc, RGB(128, 0, 64));
  TextOut(c.dc, 10, 140, "Quillmere beads", 15);
  HICON icon = LoadIcon(nullptr, IDI_INFORMATION);
  DrawIcon(c.dc, 270, 130, icon);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{font, big, blue, hatch, red, wide}) DeleteObject(o);
  QImage img;
  ASSERT_TRUE(GetBitmapImage(c.bm, &img));
  EXPECT_TRUE(img.save(QStringLiteral("gdi_sample.png")));
}

}  // namespace
