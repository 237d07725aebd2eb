// Window transparency: layered windows with one alpha for the whole window,
// and the opaque fallback where the platform has none.
#include <QWidget>

#include "tests/platform/wnd_fixture.h"

namespace {

HWND MakeTop() {
  return CreateWindowEx(0, AFX_WND, "Layer", WS_POPUP, 10, 10, 120, 80, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(WndLayered, WithoutPlatformSupportTheWindowStaysOpaqueAndUnchanged) {
  HWND h = MakeTop();
  ASSERT_NE(h, nullptr);
  QmSetLayeredWindowsAvailable(false);
  EXPECT_FALSE(SetWindowAlpha(h, 128));
  EXPECT_FALSE(SetLayeredAlpha(h, 0, 0, LWA_ALPHA));
  QmSetLayeredWindowsAvailable(true);
  EXPECT_FALSE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(QmWidgetOf(h)->windowOpacity(), 1.0);
  DestroyWindow(h);
}

TEST(WndLayered, AlphaAppliesToTheWholeWindow) {
  HWND h = MakeTop();
  ASSERT_NE(h, nullptr);
  // Not layered yet: the attributes are refused.
  EXPECT_FALSE(SetLayeredWindowAttributes(h, 0, 100, LWA_ALPHA));
  struct Case {
    BYTE alpha;
    double opacity;
  };
  for (const Case c : {Case{255, 1.0}, Case{128, 128 / 255.0}, Case{0, 0.0}}) {
    ASSERT_TRUE(SetWindowAlpha(h, c.alpha));
    EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 1;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, c.alpha);
    EXPECT_EQ(flags, LWA_ALPHA);
    EXPECT_DOUBLE_EQ(QmWidgetOf(h)->windowOpacity(), c.opacity);
  }
  // Colour keys are not offered: the call fails and says why.
  EXPECT_FALSE(SetLayeredWindowAttributes(h, RGB(255, 0, 255), 0, LWA_COLORKEY));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  DestroyWindow(h);
  QmPumpMessages();
}

// A child window with a constant alpha: its picture is laid over the
// parent's at that alpha, also where the platform has no compositor.
TEST(WndLayered, ChildAlphaBlendsItsPictureOverTheParent) {
  HWND parent = MakeTop();
  ASSERT_NE(parent, nullptr);
  HWND child = CreateWindowEx(0, AFX_WND, "", WS_CHILD | WS_VISIBLE, 10, 10, 40, 30, parent, nullptr, nullptr,
                              nullptr);
  ASSERT_NE(child, nullptr);
  ShowWindow(parent, SW_SHOWNA);
  UpdateWindow(parent);
  UpdateWindow(child);
  QmRenderWindow(parent, false);
  auto fill = [](HWND h, COLORREF color) {
    HDC dc = GetDC(h);
    RECT r{0, 0, 200, 200};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(h, dc);
  };
  fill(parent, RGB(0, 0, 255));
  fill(child, RGB(255, 0, 0));
  QmSetLayeredWindowsAvailable(false);
  // Not layered yet: refused; layered: accepted at any alpha.
  EXPECT_FALSE(SetLayeredWindowAttributes(child, 0, 128, LWA_ALPHA));
  ASSERT_TRUE(SetWindowAlpha(child, 128));
  QmSetLayeredWindowsAvailable(true);
  BYTE alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(child, nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 128);
  const QImage blended = QmRenderWindow(parent, false);
  const QColor mid = blended.pixelColor(25, 25);
  EXPECT_NEAR(mid.red(), 128, 3);
  EXPECT_NEAR(mid.blue(), 127, 3);
  EXPECT_EQ(blended.pixelColor(100, 60), QColor(0, 0, 255));
  // Opaque again: the child's own colour.
  ASSERT_TRUE(SetWindowAlpha(child, 255));
  EXPECT_EQ(QmRenderWindow(parent, false).pixelColor(25, 25), QColor(255, 0, 0));
  DestroyWindow(parent);
  QmPumpMessages();
}
