#include "tests/controls/controls_fixture.h"

#include <filesystem>

#include "tests/common/test_util.h"

namespace ctltest {

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
  const RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

int Canvas::CountInRow(int y, COLORREF color) const {
  int n = 0;
  for (int x = 0; x < width_; ++x) n += Px(x, y) == color;
  return n;
}

RECT Canvas::BoxNot(COLORREF color) const {
  RECT box{width_, height_, -1, -1};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (Px(x, y) != color) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.right < 0 ? RECT{0, 0, 0, 0} : box;
}

RECT Canvas::BoxOf(COLORREF color) const {
  RECT box{width_, height_, -1, -1};
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (Px(x, y) == color) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.right < 0 ? RECT{0, 0, 0, 0} : box;
}

Host::Host(int width, int height) {
  CreateEx(0, AfxRegisterWndClass(0), "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, width, height, nullptr,
           nullptr);
}

Host::~Host() {
  if (GetSafeHwnd()) DestroyWindow();
}

LRESULT Host::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= 0xC000 && message <= 0xFFFF) {
    lastMessage = message;
    lastWParam = wParam;
    lastLParam = lParam;
    ++registeredCount;
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

DRAWITEMSTRUCT ItemFor(Canvas& canvas, HWND control, int width, int height, UINT state, UINT action) {
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.itemAction = action;
  dis.itemState = state;
  dis.hwndItem = control;
  dis.hDC = canvas.hdc();
  dis.rcItem = RECT{0, 0, width, height};
  return dis;
}

std::string ShotPath(bool russian, const std::string& name) {
  const std::filesystem::path dir = qmtest::SourceDir() / "build" / "shots" / (russian ? "ru" : "en");
  std::filesystem::create_directories(dir);
  return (dir / (name + ".png")).string();
}

}  // namespace ctltest
