// Inside the common controls: the state of a header control, which the list
// view reads directly for its column widths and order.
#pragma once

#include <vector>

#include "platform/wnd/commctrl_internal.h"

namespace qmwnd::cc {

struct HdrItem {
  CString text;
  int width = 0;
  int fmt = HDF_LEFT | HDF_STRING;
  LPARAM lParam = 0;
  int image = -1;
  HBITMAP bitmap = nullptr;
};

struct HeaderState : CtlState {
  std::vector<HdrItem> items;
  std::vector<int> order;  // order[position] = item index
  HIMAGELIST images = nullptr;
  int bitmapMargin = 6;
  // Mouse: the item pressed, the divider being dragged, the item being moved.
  int pressed = -1;
  bool pressedDown = false;
  int track = -1;
  int trackStartX = 0;
  int trackStartW = 0;
  int drag = -1;
  bool dragging = false;
  POINT dragStart{0, 0};
  int dropPos = -1;
};

// The height a header takes with its font.
int HeaderHeight(HWND hwnd);
// An item's rectangle in the header's client area.
RECT ItemRect(HWND hwnd, const HeaderState& s, int index);
// The item under a point (-1 for none) with the HHT_ flags.
int HitTest(HWND hwnd, const HeaderState& s, POINT p, UINT* flags);
// Sets an item's width through HDM_SETITEM (with its notifications).
void SetWidth(HWND hwnd, HeaderState& s, int index, int width);
void RegisterHeaderClass();

}  // namespace qmwnd::cc
