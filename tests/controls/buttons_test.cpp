// The drawing toolkit and the owner-drawn buttons.
#include <gtest/gtest.h>

#include "controls/AdjustButton.h"
#include "controls/Buttons.h"
#include "lang/ids/controls.h"
#include "tests/common/test_util.h"
#include "tests/controls/controls_fixture.h"

using ctltest::Canvas;

TEST(ColorFunctions, PackedHslTable) {
  struct Case {
    COLORREF rgb;
    DWORD hsl;
    COLORREF back;
  };
  const Case cases[] = {
      {0x808080, 0x008000, 0x808080},                // grey: hue 0, saturation 0
      {RGB(255, 0, 0), 0xFF7FFF, RGB(254, 0, 0)},    // hue 360 packs as 255; truncation loses a step
      {RGB(0, 0, 255), 0xFF7FAA, RGB(0, 0, 254)},    // blue: 240 degrees
      {RGB(0, 0, 0), 0x000000, RGB(0, 0, 0)},
      {RGB(255, 255, 255), 0x00FF00, RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RgbToHsl(c.rgb), c.hsl) << std::hex << c.rgb;
    EXPECT_EQ(HslToRgb(c.hsl), c.back) << std::hex << c.rgb;
  }
  // Saturation 0 gives grey whose channels equal the lightness byte.
  EXPECT_EQ(HslToRgb(0x00375A), RGB(0x37, 0x37, 0x37));
}

TEST(ColorFunctions, AdjustLightnessSaturation) {
  const COLORREF colors[] = {RGB(10, 200, 90), RGB(255, 0, 0), RGB(1, 2, 3), RGB(128, 128, 127)};
  for (COLORREF c : colors) {
    EXPECT_EQ(AdjustLightnessSaturation(c, 0, 0), HslToRgb(RgbToHsl(c)));
    // Lightness 255 is white (up to the truncation of the conversion).
    const COLORREF light = AdjustLightnessSaturation(c, 100, 0);
    EXPECT_GE(GetRValue(light), 254);
    EXPECT_GE(GetGValue(light), 254);
    EXPECT_GE(GetBValue(light), 254);
    EXPECT_EQ(AdjustLightnessSaturation(c, -100, 0), RGB(0, 0, 0));
  }
  // Red, lightness +50 % and saturation -50 %: L 127 -> 191, S 255 -> 127,
  // hue kept.
  EXPECT_EQ(AdjustLightnessSaturation(RGB(255, 0, 0), 50, -50), HslToRgb(0x7FBFFF));
}

TEST(DrawingToolkit, RampFrameRings) {
  for (bool raised : {true, false}) {
    Canvas canvas(12, 12);
    DrawRampFrame(canvas.dc(), RECT{0, 0, 12, 12}, raised, 2);
    for (int ring = 0; ring < 2; ++ring) {
      const COLORREF topLeft = raised ? kRampLight[ring] : kRampDark[ring];
      const COLORREF bottomRight = raised ? kRampDark[ring] : kRampLight[ring];
      EXPECT_EQ(canvas.Px(6, ring), topLeft);
      EXPECT_EQ(canvas.Px(ring, 6), topLeft);
      EXPECT_EQ(canvas.Px(6, 11 - ring), bottomRight);
      EXPECT_EQ(canvas.Px(11 - ring, 6), bottomRight);
    }
    EXPECT_EQ(canvas.Px(6, 2), RGB(255, 255, 255));  // only two rings
  }
  Canvas disabled(10, 10);
  DrawDisabledButtonFrame(disabled.dc(), RECT{0, 0, 10, 10});
  for (int ring = 0; ring < 4; ++ring) {
    EXPECT_EQ(disabled.Px(5, ring), kDisabledFrame[ring]);
    EXPECT_EQ(disabled.Px(9 - ring, 5), kDisabledFrame[ring]);
  }
}

TEST(DrawingToolkit, DropButtonArrowRowsAndColours) {
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  {
    Canvas canvas(15, 20);
    CDrawButton button;
    button.m_rect = RECT{0, 0, 15, 20};
    button.Draw(canvas.dc(), kDrawButtonArrow | kDrawButtonFlat | kDrawButtonFramed);
    // Apex at ((0 + 15) / 2, (0 + 20) / 2 + 2) = (7, 12), widening upwards.
    EXPECT_EQ(canvas.CountInRow(12, text), 1);
    EXPECT_EQ(canvas.CountInRow(11, text), 3);
    EXPECT_EQ(canvas.CountInRow(10, text), 5);
    EXPECT_EQ(canvas.CountInRow(9, text), 7);
    EXPECT_EQ(canvas.CountInRow(8, text), 0);
    EXPECT_EQ(canvas.Px(7, 12), text);
    EXPECT_EQ(canvas.Px(0, 0), GetSysColor(COLOR_BTNSHADOW));  // framed
    EXPECT_EQ(canvas.Px(5, 5), GetSysColor(COLOR_BTNFACE));
  }
  {
    Canvas canvas(15, 20);
    CDrawButton button;
    button.m_rect = RECT{0, 0, 15, 20};
    button.Draw(canvas.dc(), kDrawButtonArrow | kDrawButtonFlat | kDrawButtonHot);
    EXPECT_EQ(canvas.Px(3, 3), XPColorTable[6]);
    EXPECT_EQ(canvas.Px(0, 0), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas.CountInRow(9, RGB(0, 0, 0)), 7);  // black over the hot fill
  }
  {
    Canvas canvas(15, 20);
    CDrawButton button;
    button.m_rect = RECT{0, 0, 15, 20};
    button.Draw(canvas.dc(), kDrawButtonArrow | kDrawButtonFlat | kDrawButtonHot | kDrawButtonPressed);
    EXPECT_EQ(canvas.Px(3, 3), AdjustLightnessSaturation(GetSysColor(COLOR_HIGHLIGHT), 50, -50));
    EXPECT_EQ(canvas.CountInRow(10, 0xF0F0F0), 5);
  }
  {
    Canvas canvas(15, 20);
    CDrawButton button;
    button.m_rect = RECT{0, 0, 15, 20};
    button.Draw(canvas.dc(), kDrawButtonArrow | kDrawButtonFlat | kDrawButtonDisabled | kDrawButtonHot);
    EXPECT_EQ(canvas.Px(0, 0), GetSysColor(COLOR_WINDOW));  // not framed, not hot when disabled
    EXPECT_EQ(canvas.CountInRow(9, GetSysColor(COLOR_GRAYTEXT)), 7);
  }
}

TEST(DrawingToolkit, BufferLeavesOutsideUntouched) {
  Canvas target(40, 40);
  {
    CBufferDC buffer(target.hdc(), RECT{10, 12, 30, 33});
    buffer.FillSolidRect(0, 0, 40, 40, RGB(200, 0, 0));
    EXPECT_EQ(target.Px(20, 20), RGB(255, 255, 255));  // nothing shows before the copy
  }
  EXPECT_EQ(target.BoxOf(RGB(200, 0, 0)).left, 10);
  EXPECT_EQ(target.BoxOf(RGB(200, 0, 0)).top, 12);
  EXPECT_EQ(target.BoxOf(RGB(200, 0, 0)).right, 30);
  EXPECT_EQ(target.BoxOf(RGB(200, 0, 0)).bottom, 33);
  EXPECT_EQ(target.Px(5, 5), RGB(255, 255, 255));
  EXPECT_EQ(target.Px(35, 35), RGB(255, 255, 255));
}

TEST(DrawingToolkit, SelectorsRestoreTheDc) {
  Canvas canvas(10, 10);
  HGDIOBJ pen = GetCurrentObject(canvas.hdc(), OBJ_PEN);
  HGDIOBJ brush = GetCurrentObject(canvas.hdc(), OBJ_BRUSH);
  {
    CSelectPen p(canvas.hdc(), RGB(1, 2, 3));
    CSelectBrush b(canvas.hdc(), 0xFFFFFFFF);  // the null brush
    p.SetColor(RGB(9, 9, 9));
    EXPECT_EQ(p.GetColor(), RGB(9, 9, 9));
    Rectangle(canvas.hdc(), 0, 0, 10, 10);
    b.SetColor(RGB(0, 0, 200));
    Rectangle(canvas.hdc(), 2, 2, 8, 8);
  }
  EXPECT_EQ(canvas.Px(0, 0), RGB(9, 9, 9));
  EXPECT_EQ(canvas.Px(1, 1), RGB(255, 255, 255));  // null brush left the inside
  EXPECT_EQ(canvas.Px(4, 4), RGB(0, 0, 200));
  EXPECT_EQ(GetCurrentObject(canvas.hdc(), OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(canvas.hdc(), OBJ_BRUSH), brush);
}

TEST(Hover, EnterLeaveSequence) {
  ctltest::Host host;
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 20}, &host, 5));
  CHoverTracker tracker;
  tracker.Init(&host, CHoverTracker::kRepaint);
  EXPECT_TRUE(tracker.OnMouseMove());
  EXPECT_FALSE(tracker.OnMouseMove());
  EXPECT_TRUE(tracker.IsHovering());
  EXPECT_FALSE(tracker.OnMouseLeave(&other));  // not the tracked window: nothing changes
  EXPECT_TRUE(tracker.IsHovering());
  EXPECT_FALSE(tracker.OnMouseMove(&other));   // moves on to the child, still hovering
  EXPECT_FALSE(tracker.OnMouseLeave());        // the owner is no longer tracked
  EXPECT_TRUE(tracker.OnMouseLeave(&other));
  EXPECT_FALSE(tracker.IsHovering());
  EXPECT_TRUE(tracker.OnMouseMove());
}

TEST(IButton, FocusInsetAndFillCaption) {
  EXPECT_EQ(CIButton::FocusInset(40, 10), 2);
  EXPECT_EQ(CIButton::FocusInset(40, 20), 3);
  EXPECT_EQ(CIButton::FocusInset(16, 16), 3);
  EXPECT_EQ(CIButton::FocusInset(12, 30), 3);  // 12 is not greater than 12
  EXPECT_EQ(CIButton::FocusInset(13, 30), 3);
  EXPECT_EQ(CIButton::FocusInset(8, 8), 2);
  // Mid tones give white, light and dark tones their inverse.
  EXPECT_EQ(CIButton::FillTextColor(RGB(128, 30, 220)), RGB(255, 225, 35));
  EXPECT_EQ(CIButton::FillTextColor(RGB(65, 191, 66)), RGB(190, 64, 255));

  ctltest::Host host;
  for (const SIZE size : {SIZE{40, 10}, SIZE{40, 20}}) {
    CIButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, size.cx, size.cy}, &host, 10));
    Canvas plain(size.cx, size.cy), focused(size.cx, size.cy);
    DRAWITEMSTRUCT a = ctltest::ItemFor(plain, button.GetSafeHwnd(), size.cx, size.cy, 0);
    button.DrawItem(&a);
    CIButton other;
    ASSERT_TRUE(other.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, size.cx, size.cy}, &host, 11));
    DRAWITEMSTRUCT b = ctltest::ItemFor(focused, other.GetSafeHwnd(), size.cx, size.cy, ODS_FOCUS);
    other.DrawItem(&b);
    // The pictures differ exactly on the focus rectangle.
    RECT diff{size.cx, size.cy, -1, -1};
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x)
        if (plain.Px(x, y) != focused.Px(x, y)) {
          diff.left = std::min<LONG>(diff.left, x);
          diff.top = std::min<LONG>(diff.top, y);
          diff.right = std::max<LONG>(diff.right, x + 1);
          diff.bottom = std::max<LONG>(diff.bottom, y + 1);
        }
    const int inset = CIButton::FocusInset(size.cx, size.cy);
    EXPECT_EQ(diff.left, inset);
    EXPECT_EQ(diff.top, inset);
    EXPECT_EQ(diff.right, size.cx - inset);
    EXPECT_EQ(diff.bottom, size.cy - inset);
  }
}

TEST(IButton, FillAndBitmap) {
  qmtest::LanguagePack pack(false);
  ASSERT_TRUE(pack.Loaded());
  ctltest::Host host;
  CIButton button;
  ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE, RECT{0, 0, 40, 24}, &host, 10));
  button.SetFillColor(RGB(10, 120, 240));
  Canvas canvas(40, 24);
  DRAWITEMSTRUCT dis = ctltest::ItemFor(canvas, button.GetSafeHwnd(), 40, 24, 0);
  button.DrawItem(&dis);
  EXPECT_EQ(canvas.Px(3, 3), RGB(10, 120, 240));
  EXPECT_EQ(canvas.Px(36, 20), RGB(10, 120, 240));
  EXPECT_NE(canvas.Px(2, 2), RGB(10, 120, 240));
  // The sort arrows' strip (green mask) as the button's picture: the mask
  // becomes the button face, and a missing bitmap reports failure.
  EXPECT_TRUE(button.SetBitmap(IDB_SORT_ARROWS, 24, 8, RGB(0, 255, 0)));
  EXPECT_TRUE(button.HasImage());
  EXPECT_FALSE(button.SetBitmap(9999, 16, 15, 0xC0C0C0));
  EXPECT_FALSE(button.HasImage());
  EXPECT_TRUE(button.SetIcon(IDI_RULER_ADJUST, 8, 13));
  EXPECT_FALSE(button.SetIcon(9998, 16, 16));
}

TEST(SoftButton, CaptionWithoutAmpersandAndColourButton) {
  ctltest::Host host;
  CSoftButton withAmp, plain;
  ASSERT_TRUE(withAmp.Create("&Apply", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 80, 24}, &host, 20));
  ASSERT_TRUE(plain.Create("Apply", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 80, 24}, &host, 21));
  Canvas a(80, 24), b(80, 24);
  DRAWITEMSTRUCT da = ctltest::ItemFor(a, withAmp.GetSafeHwnd(), 80, 24, 0);
  DRAWITEMSTRUCT db = ctltest::ItemFor(b, plain.GetSafeHwnd(), 80, 24, 0);
  withAmp.DrawItem(&da);
  plain.DrawItem(&db);
  int differing = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 80; ++x) differing += a.Px(x, y) != b.Px(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(a.Px(40, 3), GetSysColor(COLOR_BTNFACE) == 0xC8D0D4 ? 0xC8D0D4 : a.Px(40, 3));
  EXPECT_EQ(a.Px(0, 0), kRampLight[0]);  // raised, two rings
  EXPECT_EQ(a.Px(40, 2), 0xC8D0D4);

  // Disabled: the four-colour frame and the embossed caption.
  Canvas c(80, 24);
  DRAWITEMSTRUCT dc = ctltest::ItemFor(c, plain.GetSafeHwnd(), 80, 24, ODS_DISABLED);
  plain.DrawItem(&dc);
  EXPECT_EQ(c.Px(0, 0), kDisabledFrame[0]);
  EXPECT_GT(c.BoxOf(0x8E9090).right, 10);

  CMyColorButton color;
  color.SetColor(RGB(128, 128, 127));
  EXPECT_EQ(color.GetTextColor(), RGB(255, 255, 255));
  EXPECT_EQ(color.GetFaceColor(), RGB(128, 128, 127));
  color.SetColor(RGB(128, 128, 128));
  EXPECT_EQ(color.GetTextColor(), RGB(0, 0, 0));
}

TEST(SoftButton, HoverDrawsFourRings) {
  ctltest::Host host;
  CSoftButton button;
  ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, RECT{0, 0, 60, 24}, &host, 22));
  button.SubclassWindow(button.Detach());  // as a dialog would: owner-drawn, hover bound
  EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
  button.GetHoverTracker().OnMouseMove();
  Canvas canvas(60, 24);
  DRAWITEMSTRUCT dis = ctltest::ItemFor(canvas, button.GetSafeHwnd(), 60, 24, 0);
  button.DrawItem(&dis);
  EXPECT_EQ(canvas.Px(30, 3), kRampLight[3]);
  EXPECT_EQ(canvas.Px(30, 20), kRampDark[3]);
}

TEST(ToolbarButton, LatchedPressedLines) {
  qmtest::LanguagePack pack(false);
  ctltest::Host host;
  CToolbarButton button;
  ASSERT_TRUE(button.Create("Tool", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 40, 30}, &host, 30));
  EXPECT_TRUE(button.SetIcon(IDI_RULER_ADJUST, 8, 13, 3, 4));
  button.SetPressed(true);
  EXPECT_TRUE(button.IsPressed());
  Canvas canvas(40, 30);
  DRAWITEMSTRUCT dis = ctltest::ItemFor(canvas, button.GetSafeHwnd(), 40, 30, 0);
  button.DrawItem(&dis);
  EXPECT_EQ(canvas.Px(30, 4), RGB(232, 232, 232));   // every second row
  EXPECT_EQ(canvas.Px(30, 5), RGB(232, 232, 232));   // every second column (30)
  EXPECT_EQ(canvas.Px(31, 5), 0xC8D0D4);             // between the lines
  EXPECT_EQ(canvas.Px(20, 0), kRampDark[0]);         // sunken
  button.SetPressed(false);
  Canvas up(40, 30);
  DRAWITEMSTRUCT d2 = ctltest::ItemFor(up, button.GetSafeHwnd(), 40, 30, 0);
  button.DrawItem(&d2);
  EXPECT_EQ(up.Px(20, 0), kRampLight[0]);
  EXPECT_EQ(up.Px(31, 5), 0xC8D0D4);
}

TEST(AdjustButton, PressedAndDisabledOffsets) {
  qmtest::LanguagePack pack(false);
  ctltest::Host host;
  CAdjustButton button(IDI_RULER_ADJUST, 8, 13);
  ASSERT_NE(button.GetIcon(), nullptr);
  ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 10, 15}, &host, 7));
  auto draw = [&](UINT state) {
    auto canvas = std::make_unique<Canvas>(20, 24);
    SetViewportOrgEx(canvas->hdc(), 5, 5, nullptr);  // room for the greyed icon above
    DRAWITEMSTRUCT dis = ctltest::ItemFor(*canvas, button.GetSafeHwnd(), 10, 15, state);
    button.DrawItem(&dis);
    SetViewportOrgEx(canvas->hdc(), 0, 0, nullptr);
    return canvas;
  };
  auto normal = draw(0);
  auto pressed = draw(ODS_SELECTED);
  auto disabled = draw(ODS_DISABLED);
  EXPECT_EQ(normal->Px(5, 5 + 14), 0xC0C0C0);  // the silver face
  const RECT a = normal->BoxNot(0xC0C0C0);
  const RECT b = pressed->BoxNot(0xC0C0C0);
  // The silver face covers the item; the icon shows inside it.
  RECT ia = normal->BoxNot(RGB(255, 255, 255));
  EXPECT_EQ(ia.left, 5);
  EXPECT_EQ(ia.top, 5);
  (void)a;
  (void)b;
  // Icon pixels (not silver, inside the face) move one pixel right and down.
  auto iconBox = [](Canvas& c) {
    RECT box{100, 100, -1, -1};
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) {
        const COLORREF p = c.Px(x, y);
        if (p != 0xC0C0C0 && p != RGB(255, 255, 255)) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
      }
    return box;
  };
  const RECT n = iconBox(*normal), p = iconBox(*pressed), d = iconBox(*disabled);
  EXPECT_EQ(p.left, n.left + 1);
  EXPECT_EQ(p.top, n.top + 1);
  EXPECT_LT(d.top, n.top);  // greyed two pixels higher
  EXPECT_LE(d.top, n.top - 2);
}
