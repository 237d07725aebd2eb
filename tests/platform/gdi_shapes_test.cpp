// Shapes follow GDI's pixel rules; raster operations follow their truth tables.
#include "tests/platform/gdi_fixture.h"

using gditest::Canvas;

namespace {

struct Box {
  int l, t, r, b;
};
const Box kBoxes[] = {{2, 3, 12, 9}, {0, 0, 1, 1}, {5, 5, 7, 20}, {1, 1, 30, 4}, {3, 2, 20, 19}, {10, 10, 13, 13}};

TEST(GdiShapes, RectangleAndEllipseStayInsideTheirBox) {
  for (bool ellipse : {false, true})
    for (const Box& k : kBoxes) {
      Canvas c(40, 30);
      SelectObject(c.dc, GetStockObject(BLACK_PEN));
      SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
      if (ellipse) Ellipse(c.dc, k.l, k.t, k.r, k.b);
      else Rectangle(c.dc, k.l, k.t, k.r, k.b);
      EXPECT_EQ(c.Ink(), (RECT{k.l, k.t, k.r, k.b})) << (ellipse ? "ellipse " : "rectangle ") << k.l << "," << k.t;
      // Without a pen the shape is one pixel smaller at the right and bottom.
      if (k.r - k.l > 1 && k.b - k.t > 1) {
        Canvas n(40, 30);
        SelectObject(n.dc, GetStockObject(NULL_PEN));
        SelectObject(n.dc, GetStockObject(BLACK_BRUSH));
        if (ellipse) Ellipse(n.dc, k.l, k.t, k.r, k.b);
        else Rectangle(n.dc, k.l, k.t, k.r, k.b);
        EXPECT_EQ(n.Ink(), (RECT{k.l, k.t, k.r - 1, k.b - 1}));
      }
    }
}

TEST(GdiShapes, FilledShapesHaveNoGaps) {
  struct Shape {
    const char* name;
    void (*draw)(HDC);
  } shapes[] = {
      {"wide ellipse", [](HDC d) { Ellipse(d, 2, 2, 30, 22); }},
      {"wide rectangle", [](HDC d) { Rectangle(d, 3, 3, 25, 20); }},
      {"round rect", [](HDC d) { RoundRect(d, 2, 2, 30, 22, 10, 8); }},
      {"pie", [](HDC d) { Pie(d, 2, 2, 30, 30, 30, 16, 16, 2); }},
      {"chord", [](HDC d) { Chord(d, 2, 2, 30, 30, 30, 16, 2, 16); }},
      {"hexagon", [](HDC d) {
         const POINT p[] = {{4, 12}, {10, 3}, {22, 3}, {28, 12}, {22, 21}, {10, 21}};
         Polygon(d, p, 6);
       }},
  };
  for (const Shape& sh : shapes)
    for (int width : {1, 3}) {
      Canvas c(34, 34);
      HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
      SelectObject(c.dc, pen);
      SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
      sh.draw(c.dc);
      const RECT ink = c.Ink();
      ASSERT_GT(ink.bottom - ink.top, 5) << sh.name;
      for (int y = ink.top; y < ink.bottom; ++y) {
        int l = -1, r = -1;
        for (int x = 0; x < 34; ++x)
          if (c.At(x, y) == RGB(0, 0, 0)) {
            if (l < 0) l = x;
            r = x;
          }
        ASSERT_GE(l, 0) << sh.name << " row " << y;
        for (int x = l; x <= r; ++x) EXPECT_EQ(c.At(x, y), RGB(0, 0, 0)) << sh.name << " " << width << " at " << x << "," << y;
      }
      SelectObject(c.dc, GetStockObject(BLACK_PEN));
      DeleteObject(pen);
    }
}

TEST(GdiShapes, RectangleOutlineAndFillTakeTheirColours) {
  Canvas c(20, 20);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(c.dc, pen);
  SelectObject(c.dc, brush);
  Rectangle(c.dc, 2, 2, 8, 6);
  for (int x = 2; x < 8; ++x) {
    EXPECT_EQ(c.At(x, 2), RGB(255, 0, 0));
    EXPECT_EQ(c.At(x, 5), RGB(255, 0, 0));
  }
  for (int y = 3; y < 5; ++y)
    for (int x = 3; x < 7; ++x) EXPECT_EQ(c.At(x, y), RGB(0, 0, 255));
  SelectObject(c.dc, GetStockObject(BLACK_PEN));
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(GdiShapes, LineToLeavesOutItsEndPixel) {
  struct L {
    int x0, y0, x1, y1;
  } lines[] = {{2, 2, 12, 2}, {12, 5, 2, 5}, {4, 1, 4, 15}, {6, 15, 6, 1}, {1, 1, 11, 11}, {15, 2, 3, 14}, {2, 3, 17, 8}, {5, 5, 5, 5}};
  for (const L& l : lines) {
    Canvas c(20, 20);
    MoveToEx(c.dc, l.x0, l.y0, nullptr);
    LineTo(c.dc, l.x1, l.y1);
    const int n = std::max(std::abs(l.x1 - l.x0), std::abs(l.y1 - l.y0));
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), n) << l.x0 << "," << l.y0 << " -> " << l.x1 << "," << l.y1;
    if (n > 0) {
      EXPECT_EQ(c.At(l.x0, l.y0), RGB(0, 0, 0));
    }
    EXPECT_EQ(c.At(l.x1, l.y1), RGB(255, 255, 255));
    POINT p{};
    GetCurrentPositionEx(c.dc, &p);
    EXPECT_EQ(p.x, l.x1);
    EXPECT_EQ(p.y, l.y1);
  }
}

TEST(GdiShapes, PolylineDrawsEveryJointOnce) {
  Canvas c(20, 20);
  SetROP2(c.dc, R2_NOT);
  const POINT pts[] = {{2, 2}, {10, 2}, {10, 10}, {2, 10}, {2, 2}};
  Polyline(c.dc, pts, 5);
  // A closed square drawn with inversion: every outline pixel inverted once.
  EXPECT_EQ(c.Count(RGB(0, 0, 0)), 32);
  EXPECT_EQ(c.Ink(), (RECT{2, 2, 11, 11}));
}

TEST(GdiShapes, FrameRectStaysInsideItsRectangle) {
  const Box boxes[] = {{2, 2, 10, 8}, {0, 0, 3, 3}, {4, 4, 5, 9}, {1, 6, 12, 7}};
  for (const Box& k : boxes) {
    Canvas c(16, 16);
    RECT r{k.l, k.t, k.r, k.b};
    FrameRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.Ink(), r);
    int border = 0;
    for (int y = k.t; y < k.b; ++y)
      for (int x = k.l; x < k.r; ++x) {
        const bool edge = x == k.l || x == k.r - 1 || y == k.t || y == k.b - 1;
        EXPECT_EQ(c.At(x, y), edge ? RGB(0, 0, 0) : RGB(255, 255, 255));
        border += edge;
      }
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), border);
  }
}

TEST(GdiShapes, Rop2TruthTable) {
  // Pen 0xCC and screen 0xAA in every channel: R2_n gives 0x11 * (n - 1).
  const COLORREF pen = RGB(0xCC, 0xCC, 0xCC), screen = RGB(0xAA, 0xAA, 0xAA);
  const int expected[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                            0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
    Canvas c(8, 8, screen);
    HPEN p = CreatePen(PS_SOLID, 1, pen);
    HGDIOBJ old = SelectObject(c.dc, p);
    SetROP2(c.dc, rop);
    MoveToEx(c.dc, 1, 3, nullptr);
    LineTo(c.dc, 6, 3);
    const int v = expected[rop - 1];
    EXPECT_EQ(c.At(2, 3), RGB(v, v, v)) << "rop " << rop;
    EXPECT_EQ(c.At(2, 4), screen);
    SelectObject(c.dc, old);
    DeleteObject(p);
  }
}

TEST(GdiShapes, TernaryRasterOperationsTruthTable) {
  // Pattern 0xF0, source 0xCC, destination 0xAA: the result is the
  // operation's own index byte.
  const DWORD rops[] = {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, SRCERASE, NOTSRCCOPY, NOTSRCERASE, DSTINVERT,
                        PATCOPY, PATINVERT, MERGECOPY, MERGEPAINT, PATPAINT, BLACKNESS, WHITENESS, 0x00B8074A};
  for (DWORD rop : rops) {
    Canvas src(6, 6, RGB(0xCC, 0xCC, 0xCC));
    Canvas dst(6, 6, RGB(0xAA, 0xAA, 0xAA));
    HBRUSH b = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    HGDIOBJ old = SelectObject(dst.dc, b);
    BitBlt(dst.dc, 1, 1, 4, 4, src.dc, 0, 0, rop);
    const int v = static_cast<int>((rop >> 16) & 0xFF);
    EXPECT_EQ(dst.At(2, 2), RGB(v, v, v)) << std::hex << rop;
    EXPECT_EQ(dst.At(0, 0), RGB(0xAA, 0xAA, 0xAA));
    EXPECT_EQ(dst.At(5, 5), RGB(0xAA, 0xAA, 0xAA));
    SelectObject(dst.dc, old);
    DeleteObject(b);
  }
  // PatBlt takes the operations without a source and refuses the others.
  Canvas c(4, 4, RGB(0xAA, 0xAA, 0xAA));
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 4, 4, PATINVERT));
  EXPECT_EQ(c.At(1, 1), RGB(0xAA, 0xAA, 0xAA));
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 4, 4, DSTINVERT));
  EXPECT_EQ(c.At(1, 1), RGB(0x55, 0x55, 0x55));
  EXPECT_FALSE(PatBlt(c.dc, 0, 0, 4, 4, SRCCOPY));
}

TEST(GdiShapes, InvertingTwiceRestoresThePixels) {
  struct Op {
    const char* name;
    void (*draw)(HDC);
  } ops[] = {
      {"xor line", [](HDC d) { SetROP2(d, R2_XORPEN); SelectObject(d, GetStockObject(WHITE_PEN)); MoveToEx(d, 1, 1, nullptr); LineTo(d, 20, 13); }},
      {"not rectangle", [](HDC d) { SetROP2(d, R2_NOT); SelectObject(d, GetStockObject(NULL_BRUSH)); Rectangle(d, 2, 3, 17, 12); }},
      {"xor ellipse", [](HDC d) {
         SetROP2(d, R2_XORPEN);
         HBRUSH b = CreateSolidBrush(RGB(10, 200, 30));
         HGDIOBJ o = SelectObject(d, b);
         Ellipse(d, 3, 1, 19, 14);
         SelectObject(d, o);
         DeleteObject(b);
       }},
      {"focus rect", [](HDC d) { RECT r{2, 2, 15, 11}; DrawFocusRect(d, &r); }},
      {"invert rect", [](HDC d) { RECT r{4, 1, 9, 12}; InvertRect(d, &r); }},
      {"invert ring", [](HDC d) {
         HRGN a = CreateEllipticRgn(2, 2, 18, 14), b = CreateEllipticRgn(3, 3, 17, 13);
         EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), COMPLEXREGION);
         InvertRgn(d, a);
         DeleteObject(a);
         DeleteObject(b);
       }},
      {"pattern invert", [](HDC d) { SelectObject(d, GetStockObject(GRAY_BRUSH)); PatBlt(d, 1, 2, 12, 9, PATINVERT); }},
      {"dotted xor pen", [](HDC d) {
         SetROP2(d, R2_XORPEN);
         SetBkMode(d, TRANSPARENT);
         HPEN p = CreatePen(PS_DOT, 1, RGB(255, 255, 255));
         HGDIOBJ o = SelectObject(d, p);
         MoveToEx(d, 0, 7, nullptr);
         LineTo(d, 21, 7);
         SelectObject(d, o);
         DeleteObject(p);
       }},
  };
  for (const Op& op : ops) {
    Canvas c(22, 15);
    c.Gradient();
    const auto before = c.Snapshot();
    op.draw(c.dc);
    EXPECT_NE(c.Snapshot(), before) << op.name;
    op.draw(c.dc);
    EXPECT_EQ(c.Snapshot(), before) << op.name;
  }
}

TEST(GdiShapes, CombineRgnResults) {
  struct Case {
    RECT a, b;
    int mode, result;
    RECT box;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 15, 15}, RGN_AND, SIMPLEREGION, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {5, 5, 15, 15}, RGN_OR, COMPLEXREGION, {0, 0, 15, 15}},
      {{0, 0, 10, 10}, {0, 0, 10, 10}, RGN_OR, SIMPLEREGION, {0, 0, 10, 10}},
      {{0, 0, 10, 10}, {0, 0, 10, 10}, RGN_DIFF, NULLREGION, {0, 0, 0, 0}},
      {{0, 0, 10, 10}, {0, 0, 10, 10}, RGN_XOR, NULLREGION, {0, 0, 0, 0}},
      {{0, 0, 10, 10}, {20, 20, 30, 30}, RGN_AND, NULLREGION, {0, 0, 0, 0}},
      {{0, 0, 10, 10}, {0, 0, 5, 10}, RGN_DIFF, SIMPLEREGION, {5, 0, 10, 10}},
      {{0, 0, 10, 10}, {2, 2, 8, 8}, RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}},
      {{0, 0, 10, 10}, {5, 5, 15, 15}, RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}},
      {{3, 4, 9, 8}, {0, 0, 1, 1}, RGN_COPY, SIMPLEREGION, {3, 4, 9, 8}},
  };
  for (const Case& k : cases) {
    HRGN a = CreateRectRgnIndirect(&k.a), b = CreateRectRgnIndirect(&k.b), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, k.mode), k.result) << "mode " << k.mode;
    RECT box{};
    EXPECT_EQ(GetRgnBox(d, &box), k.result);
    EXPECT_TRUE(box == k.box) << box;
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(d);
  }
  // A round-rectangle region with no corners is its rectangle; an ellipse is complex.
  HRGN rr = CreateRoundRectRgn(2, 3, 9, 8, 0, 0), rc = CreateRectRgn(2, 3, 9, 8), e = CreateEllipticRgn(0, 0, 20, 12);
  EXPECT_TRUE(EqualRgn(rr, rc));
  RECT box{};
  EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
  EXPECT_TRUE(box == (RECT{0, 0, 20, 12}));
  EXPECT_FALSE(PtInRegion(e, 0, 0));
  EXPECT_TRUE(PtInRegion(e, 10, 6));
  EXPECT_EQ(CombineRgn(nullptr, rr, rc, RGN_OR), ERROR);
  DeleteObject(rr);
  DeleteObject(rc);
  DeleteObject(e);
}

TEST(GdiShapes, ClippingLimitsDrawing) {
  Canvas c(20, 20);
  IntersectClipRect(c.dc, 5, 5, 15, 15);
  ExcludeClipRect(c.dc, 8, 8, 12, 12);
  RECT clip{};
  EXPECT_EQ(GetClipBox(c.dc, &clip), COMPLEXREGION);
  EXPECT_TRUE(clip == (RECT{5, 5, 15, 15}));
  c.Fill(RGB(0, 0, 0));
  EXPECT_EQ(c.Count(RGB(0, 0, 0)), 100 - 16);
  EXPECT_EQ(GetPixel(c.dc, 9, 9), CLR_INVALID);
  const int saved = SaveDC(c.dc);
  SelectClipRgn(c.dc, nullptr);
  EXPECT_EQ(GetClipBox(c.dc, &clip), SIMPLEREGION);
  EXPECT_TRUE(clip == (RECT{0, 0, 20, 20}));
  RestoreDC(c.dc, saved);
  EXPECT_EQ(GetClipBox(c.dc, &clip), COMPLEXREGION);
  // The window origin moves logical coordinates.
  SelectClipRgn(c.dc, nullptr);
  c.Fill(RGB(255, 255, 255));
  SetWindowOrgEx(c.dc, 10, 10, nullptr);
  SetPixelV(c.dc, 10, 10, RGB(1, 2, 3));
  SetWindowOrgEx(c.dc, 0, 0, nullptr);
  EXPECT_EQ(c.At(0, 0), RGB(1, 2, 3));
}

TEST(GdiShapes, SelectObjectAnswersThePreviousObject) {
  Canvas c(4, 4);
  HPEN p1 = CreatePen(PS_SOLID, 1, RGB(1, 1, 1)), p2 = CreatePen(PS_DOT, 1, RGB(2, 2, 2));
  HGDIOBJ stock = SelectObject(c.dc, p1);
  EXPECT_EQ(stock, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(c.dc, p2), p1);
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), p2);
  const int s = SaveDC(c.dc);
  SelectObject(c.dc, p1);
  SetTextColor(c.dc, RGB(9, 9, 9));
  RestoreDC(c.dc, s);
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), p2);
  EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0));
  EXPECT_FALSE(RestoreDC(c.dc, 5));
  SelectObject(c.dc, stock);
  EXPECT_TRUE(DeleteObject(p1));
  EXPECT_TRUE(DeleteObject(p2));
  EXPECT_FALSE(DeleteObject(p2));
  // A bitmap selected into a device context is not deleted.
  EXPECT_FALSE(DeleteObject(c.bm));
  // Stock objects survive deletion.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
}

TEST(GdiShapes, SystemColoursAndMetricsAreFixed) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  // The screen is measured, never drawn on.
  EXPECT_FALSE(Rectangle(screen, 0, 0, 5, 5));
  ReleaseDC(nullptr, screen);
  // A system colour brush is the colour and cannot be deleted.
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  Canvas c(3, 3);
  RECT r{0, 0, 3, 3};
  FillRect(c.dc, &r, face);
  EXPECT_EQ(c.At(1, 1), RGB(212, 208, 200));
  FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1)));
  EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));
}

TEST(GdiShapes, Draw3dRectAndFillSolidRect) {
  Canvas c(10, 10);
  CDC* dc = CDC::FromHandle(c.dc);
  dc->Draw3dRect(CRect(1, 1, 7, 6), RGB(255, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.At(5, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.At(6, 1), RGB(0, 0, 255));   // top-right corner is the dark side
  EXPECT_EQ(c.At(1, 5), RGB(0, 0, 255));   // bottom-left corner too
  EXPECT_EQ(c.At(3, 3), RGB(255, 255, 255));
  EXPECT_EQ(dc->GetBkColor(), RGB(0, 0, 255));
}

}  // namespace
