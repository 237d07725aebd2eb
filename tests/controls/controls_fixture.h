// Helpers of the control tests: a memory canvas to draw into and read back,
// a top-level host window for controls, and where the gallery pictures go.
#pragma once

#include <string>

#include "platform/wnd.h"

namespace ctltest {

// A memory DC with a bitmap, filled with a colour.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC hdc() const { return dc_; }
  CDC* dc() { return CDC::FromHandle(dc_); }
  COLORREF Px(int x, int y) const { return GetPixel(dc_, x, y); }
  int width() const { return width_; }
  int height() const { return height_; }
  // Pixels of the colour in row y / column x.
  int CountInRow(int y, COLORREF color) const;
  // The bounding box of the pixels that differ from the colour ({0,0,0,0}
  // when none).
  RECT BoxNot(COLORREF color) const;
  RECT BoxOf(COLORREF color) const;

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// A top-level window that hosts controls; notifications, draw-item and
// colour messages are reflected to the controls by the framework. Posted
// registered messages are recorded.
class Host : public CWnd {
 public:
  explicit Host(int width = 400, int height = 300);
  ~Host() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  UINT lastMessage = 0;
  WPARAM lastWParam = 0;
  LPARAM lastLParam = 0;
  int registeredCount = 0;
};

// A DRAWITEMSTRUCT for a control of the given size over the canvas.
DRAWITEMSTRUCT ItemFor(Canvas& canvas, HWND control, int width, int height, UINT state, UINT action = ODA_DRAWENTIRE);

// build/shots/<en|ru>/<name>.png in the source tree (the folders are made).
std::string ShotPath(bool russian, const std::string& name);

}  // namespace ctltest
