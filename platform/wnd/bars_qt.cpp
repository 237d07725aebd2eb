// The toolbar and status bar controls: button records and pane texts, their
// layout inside the bar's borders, the default painting with the system
// colours, and the mouse (hot item, pressed button, drop-down arrows).
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/wnd/bars.h"
#include "platform/wnd/commctl_internal.h"

namespace qmwnd {

namespace {

constexpr int kArrow = 14;     // the drop-down arrow part of a button
constexpr int kSepWidth = 8;   // a separator without its own width
constexpr int kSepHeight = 8;  // a separator that ends a row

// ---------------------------------------------------------------------------
// Toolbars.

struct TbButton {
  TBBUTTON b{};
  CString text;
  int cx = 0;  // TBIF_SIZE
};

struct TbState {
  std::vector<TbButton> buttons;
  SIZE button{23, 22};
  SIZE bitmap{16, 15};
  HIMAGELIST images = nullptr;
  HIMAGELIST hotImages = nullptr;
  HIMAGELIST disabledImages = nullptr;
  HIMAGELIST ownImages = nullptr;  // made by TB_ADDBITMAP
  DWORD exStyle = 0;
  int hot = -1;
  int pressed = -1;
  bool pressedInside = false;
  bool tracking = false;
  RECT borders{0, 0, 0, 0};
  DWORD barStyle = 0;
  HWND notify = nullptr;
  HWND tooltips = nullptr;
  ~TbState() {
    if (ownImages) ImageList_Destroy(ownImages);
  }
};

StateTable<TbState>& Toolbars() {
  static auto* t = new StateTable<TbState>;
  return *t;
}

int ButtonWidth(const TbState& s, const TBBUTTON& b, int cx) {
  if (b.fsStyle & TBSTYLE_SEP) return b.iBitmap > 0 ? b.iBitmap : kSepWidth;
  int w = cx > 0 ? cx : static_cast<int>(s.button.cx);
  if ((b.fsStyle & TBSTYLE_DROPDOWN) && (s.exStyle & TBSTYLE_EX_DRAWDDARROWS)) w += kArrow;
  return w;
}

// Button rectangles for a set of records (their wrap and hidden states),
// and the bar's size with its borders.
std::vector<RECT> Layout(const TbState& s, const std::vector<TBBUTTON>& btns, const std::vector<int>& widths,
                         SIZE* total) {
  std::vector<RECT> rects(btns.size(), RECT{0, 0, 0, 0});
  const int x0 = s.borders.left;
  int x = x0, y = s.borders.top, rowH = 0, maxRight = x0;
  for (size_t i = 0; i < btns.size(); ++i) {
    const TBBUTTON& b = btns[i];
    if (b.fsState & TBSTATE_HIDDEN) {
      rects[i] = RECT{x, y, x, y};
      continue;
    }
    const bool sep = (b.fsStyle & TBSTYLE_SEP) != 0;
    const bool wrap = (b.fsState & TBSTATE_WRAP) != 0;
    int w = ButtonWidth(s, b, i < widths.size() ? widths[i] : 0);
    int h = s.button.cy;
    if (sep && wrap) {
      // A separator that ends a row lies across the bar.
      w = std::max(static_cast<int>(s.button.cx), maxRight - x0);
      h = kSepHeight;
    }
    rects[i] = RECT{x, y, x + w, y + h};
    x += w;
    rowH = std::max(rowH, h);
    maxRight = std::max(maxRight, x);
    if (wrap) {
      y += rowH;
      x = x0;
      rowH = 0;
    }
  }
  if (total) {
    total->cx = maxRight + s.borders.right;
    total->cy = y + rowH + s.borders.bottom;
    if (btns.empty()) total->cy = s.borders.top + s.button.cy + s.borders.bottom;
  }
  return rects;
}

std::vector<RECT> Layout(const TbState& s, SIZE* total = nullptr) {
  std::vector<TBBUTTON> btns;
  std::vector<int> widths;
  btns.reserve(s.buttons.size());
  for (const TbButton& b : s.buttons) {
    btns.push_back(b.b);
    widths.push_back(b.cx);
  }
  return Layout(s, btns, widths, total);
}

int IndexOfCommand(const TbState& s, int cmd) {
  for (size_t i = 0; i < s.buttons.size(); ++i)
    if (s.buttons[i].b.idCommand == cmd && !(s.buttons[i].b.fsStyle & TBSTYLE_SEP)) return static_cast<int>(i);
  for (size_t i = 0; i < s.buttons.size(); ++i)
    if (s.buttons[i].b.idCommand == cmd) return static_cast<int>(i);
  return -1;
}

// The button (not a separator, not hidden) under a client point, or -1.
int HitButton(const TbState& s, POINT p) {
  const std::vector<RECT> rects = Layout(s);
  for (size_t i = 0; i < rects.size(); ++i) {
    const TBBUTTON& b = s.buttons[i].b;
    if ((b.fsState & TBSTATE_HIDDEN) || (b.fsStyle & TBSTYLE_SEP)) continue;
    if (::PtInRect(&rects[i], p)) return static_cast<int>(i);
  }
  return -1;
}

HWND NotifyTarget(HWND hwnd, const TbState& s) {
  if (s.notify && Find(s.notify)) return s.notify;
  return ::GetParent(hwnd);
}

void InvalidateButton(HWND hwnd, const TbState& s, int i) {
  if (i < 0 || i >= static_cast<int>(s.buttons.size())) return;
  const std::vector<RECT> rects = Layout(s);
  ::InvalidateRect(hwnd, &rects[static_cast<size_t>(i)], TRUE);
}

void SetHot(HWND hwnd, TbState& s, int i) {
  if (i == s.hot) return;
  const int old = s.hot;
  s.hot = i;
  InvalidateButton(hwnd, s, old);
  InvalidateButton(hwnd, s, i);
}

bool HostsControl(HWND hwnd, const TBBUTTON& b) {
  return (b.fsStyle & TBSTYLE_SEP) && b.idCommand != 0 && ::GetDlgItem(hwnd, b.idCommand) != nullptr;
}

void DrawBarBorders(HDC dc, const RECT& rc, DWORD barStyle) {
  const HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
  const HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  auto line = [&](int l, int t, int r, int b, HBRUSH br) {
    RECT x{l, t, r, b};
    FillRect(dc, &x, br);
  };
  if (barStyle & CBRS_BORDER_TOP) {
    line(rc.left, rc.top, rc.right, rc.top + 1, shadow);
    line(rc.left, rc.top + 1, rc.right, rc.top + 2, light);
  }
  if (barStyle & CBRS_BORDER_BOTTOM) {
    line(rc.left, rc.bottom - 2, rc.right, rc.bottom - 1, shadow);
    line(rc.left, rc.bottom - 1, rc.right, rc.bottom, light);
  }
  if (barStyle & CBRS_BORDER_LEFT) {
    line(rc.left, rc.top, rc.left + 1, rc.bottom, shadow);
    line(rc.left + 1, rc.top, rc.left + 2, rc.bottom, light);
  }
  if (barStyle & CBRS_BORDER_RIGHT) {
    line(rc.right - 2, rc.top, rc.right - 1, rc.bottom, shadow);
    line(rc.right - 1, rc.top, rc.right, rc.bottom, light);
  }
}

void DrawArrow(HDC dc, int cx, int cy, COLORREF color) {
  HBRUSH b = CreateSolidBrush(color);
  for (int row = 0; row < 3; ++row) {
    RECT r{cx - 2 + row, cy - 1 + row, cx + 3 - row, cy + row};
    FillRect(dc, &r, b);
  }
  DeleteObject(b);
}

void PaintToolbar(HWND hwnd, TbState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawBarBorders(dc, rc, s.barStyle);
  const bool flat = (GetWindowLong(hwnd, GWL_STYLE) & TBSTYLE_FLAT) != 0;
  const std::vector<RECT> rects = Layout(s);
  for (size_t i = 0; i < s.buttons.size(); ++i) {
    const TBBUTTON& b = s.buttons[i].b;
    if (b.fsState & TBSTATE_HIDDEN) continue;
    RECT r = rects[i];
    RECT clip;
    if (!::IntersectRect(&clip, &r, &ps.rcPaint)) continue;
    if (b.fsStyle & TBSTYLE_SEP) {
      if (HostsControl(hwnd, b)) continue;
      if (b.fsState & TBSTATE_WRAP) {
        const int y = (r.top + r.bottom) / 2 - 1;
        RECT e{rc.left + 2, y, rc.right - 2, y + 2};
        DrawEdge(dc, &e, EDGE_ETCHED, BF_TOP);
      } else {
        const int x = (r.left + r.right) / 2 - 1;
        RECT e{x, r.top + 2, x + 2, r.bottom - 2};
        DrawEdge(dc, &e, EDGE_ETCHED, BF_LEFT);
      }
      continue;
    }
    const bool enabled = (b.fsState & TBSTATE_ENABLED) != 0;
    const bool checked = (b.fsState & TBSTATE_CHECKED) != 0;
    const bool pressed = (b.fsState & TBSTATE_PRESSED) != 0;
    const bool hot = static_cast<int>(i) == s.hot && enabled;
    const bool arrows = (b.fsStyle & TBSTYLE_DROPDOWN) && (s.exStyle & TBSTYLE_EX_DRAWDDARROWS);
    RECT face = r;
    RECT arrow = r;
    if (arrows) {
      face.right -= kArrow;
      arrow.left = face.right;
    }
    if (checked && !pressed) {
      HBRUSH light = CreateSolidBrush(RGB(236, 234, 230));
      RECT in = face;
      ::InflateRect(&in, -1, -1);
      FillRect(dc, &in, light);
      DeleteObject(light);
    }
    if (pressed || checked) {
      DrawEdge(dc, &face, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
      if (arrows) DrawEdge(dc, &arrow, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    } else if (hot || !flat) {
      DrawEdge(dc, &face, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
      if (arrows) DrawEdge(dc, &arrow, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    }
    // The picture.
    const int shift = pressed ? 1 : 0;
    const int ix = face.left + (face.right - face.left - static_cast<int>(s.bitmap.cx)) / 2 + shift;
    const int iy = face.top + (face.bottom - face.top - static_cast<int>(s.bitmap.cy)) / 2 + shift;
    HIMAGELIST list = s.images;
    if (hot && s.hotImages) list = s.hotImages;
    if (!enabled && s.disabledImages) list = s.disabledImages;
    if (list && b.iBitmap >= 0 && b.iBitmap < ImageList_GetImageCount(list)) {
      if (enabled || list == s.disabledImages) {
        ImageList_Draw(list, b.iBitmap, dc, ix, iy, ILD_TRANSPARENT);
      } else if (HICON icon = ImageList_GetIcon(list, b.iBitmap, 0)) {
        DrawState(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, ix, iy, s.bitmap.cx, s.bitmap.cy,
                  DST_ICON | DSS_DISABLED);
        DestroyIcon(icon);
      }
    }
    if (!s.buttons[i].text.IsEmpty()) {
      HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      RECT tr{face.left + 2, face.bottom - 14, face.right - 2, face.bottom - 1};
      DrawText(dc, s.buttons[i].text, s.buttons[i].text.GetLength(), &tr, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
    }
    if (b.fsStyle & TBSTYLE_DROPDOWN) {
      const RECT& a = arrows ? arrow : face;
      const int ax = arrows ? (a.left + a.right) / 2 : a.right - 6;
      DrawArrow(dc, ax + shift, (a.top + a.bottom) / 2 + shift, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    }
  }
  EndPaint(hwnd, &ps);
}

void SetButtonRecord(TbButton& tb, const TBBUTTON& b) {
  tb.b = b;
  if (b.iString && !IS_INTRESOURCE(reinterpret_cast<LPCSTR>(b.iString)) && b.iString != -1)
    tb.text = reinterpret_cast<LPCSTR>(b.iString);
}

class ToolbarClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT&, QWidget* parent) override {
    Toolbars().Make(hwnd);
    return NewPaintedWidget(parent, Qt::NoFocus);
  }
  bool QtPaints(HWND) override { return false; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    TbState* s = Toolbars().Get(hwnd);
    if (!s) return false;
    *result = 0;
    const int count = static_cast<int>(s->buttons.size());
    auto byCommand = [&](WPARAM id) { return IndexOfCommand(*s, static_cast<int>(id)); };
    auto changeState = [&](WPARAM id, BYTE bit, bool on) {
      const int i = byCommand(id);
      if (i < 0) return false;
      BYTE& st = s->buttons[static_cast<size_t>(i)].b.fsState;
      const BYTE before = st;
      st = on ? static_cast<BYTE>(st | bit) : static_cast<BYTE>(st & ~bit);
      if (st != before) {
        if (bit == TBSTATE_HIDDEN) ::InvalidateRect(hwnd, nullptr, TRUE);
        else InvalidateButton(hwnd, *s, i);
      }
      return true;
    };
    switch (message) {
      case WM_NCDESTROY:
        Toolbars().Drop(hwnd);
        return false;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        PaintToolbar(hwnd, *s);
        return true;
      case WM_GETDLGCODE:
        *result = 0;
        return true;
      case WM_MOUSEMOVE: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int i = HitButton(*s, p);
        if (s->pressed >= 0) {
          const bool inside = i == s->pressed;
          if (inside != s->pressedInside) {
            s->pressedInside = inside;
            BYTE& st = s->buttons[static_cast<size_t>(s->pressed)].b.fsState;
            st = inside ? static_cast<BYTE>(st | TBSTATE_PRESSED) : static_cast<BYTE>(st & ~TBSTATE_PRESSED);
            InvalidateButton(hwnd, *s, s->pressed);
          }
          return true;
        }
        SetHot(hwnd, *s, i);
        if (!s->tracking) {
          TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
          ::TrackMouseEvent(&tme);
          s->tracking = true;
        }
        return true;
      }
      case WM_MOUSELEAVE:
        s->tracking = false;
        if (s->pressed < 0) SetHot(hwnd, *s, -1);
        return true;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int i = HitButton(*s, p);
        if (i < 0) return true;
        TbButton& tb = s->buttons[static_cast<size_t>(i)];
        if (!(tb.b.fsState & TBSTATE_ENABLED)) return true;
        const RECT r = Layout(*s)[static_cast<size_t>(i)];
        const bool arrows = (s->exStyle & TBSTYLE_EX_DRAWDDARROWS) != 0;
        if ((tb.b.fsStyle & TBSTYLE_DROPDOWN) && (!arrows || p.x >= r.right - kArrow)) {
          NMTOOLBAR nm{};
          nm.iItem = tb.b.idCommand;
          nm.tbButton = tb.b;
          nm.rcButton = r;
          tb.b.fsState |= TBSTATE_PRESSED;
          InvalidateButton(hwnd, *s, i);
          const HWND target = NotifyTarget(hwnd, *s);
          Window* w = Find(hwnd);
          nm.hdr.hwndFrom = hwnd;
          nm.hdr.idFrom = w ? w->id : 0;
          nm.hdr.code = TBN_DROPDOWN;
          if (target) Send(target, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
          if ((s = Toolbars().Get(hwnd)) && i < static_cast<int>(s->buttons.size())) {
            s->buttons[static_cast<size_t>(i)].b.fsState &= static_cast<BYTE>(~TBSTATE_PRESSED);
            InvalidateButton(hwnd, *s, i);
          }
          return true;
        }
        s->pressed = i;
        s->pressedInside = true;
        tb.b.fsState |= TBSTATE_PRESSED;
        InvalidateButton(hwnd, *s, i);
        ::SetCapture(hwnd);
        return true;
      }
      case WM_LBUTTONUP: {
        if (s->pressed < 0) return true;
        const int i = s->pressed;
        const bool inside = s->pressedInside;
        s->pressed = -1;
        TbButton& tb = s->buttons[static_cast<size_t>(i)];
        tb.b.fsState &= static_cast<BYTE>(~TBSTATE_PRESSED);
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        if (!inside) {
          InvalidateButton(hwnd, *s, i);
          return true;
        }
        if ((tb.b.fsStyle & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP) {
          // The checked button of a group: the group runs between separators.
          int a = i, z = i;
          while (a > 0 && (s->buttons[static_cast<size_t>(a - 1)].b.fsStyle & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP) --a;
          while (z + 1 < count && (s->buttons[static_cast<size_t>(z + 1)].b.fsStyle & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP) ++z;
          for (int k = a; k <= z; ++k) {
            BYTE& st = s->buttons[static_cast<size_t>(k)].b.fsState;
            st = k == i ? static_cast<BYTE>(st | TBSTATE_CHECKED) : static_cast<BYTE>(st & ~TBSTATE_CHECKED);
          }
          ::InvalidateRect(hwnd, nullptr, TRUE);
        } else if (tb.b.fsStyle & TBSTYLE_CHECK) {
          tb.b.fsState ^= TBSTATE_CHECKED;
        }
        InvalidateButton(hwnd, *s, i);
        const int cmd = tb.b.idCommand;
        if (const HWND target = NotifyTarget(hwnd, *s))
          Send(target, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(cmd), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
        return true;
      }
      case WM_CAPTURECHANGED:
        if (s->pressed >= 0 && reinterpret_cast<HWND>(lParam) != hwnd) {
          s->buttons[static_cast<size_t>(s->pressed)].b.fsState &= static_cast<BYTE>(~TBSTATE_PRESSED);
          InvalidateButton(hwnd, *s, s->pressed);
          s->pressed = -1;
        }
        return true;
      case TB_BUTTONSTRUCTSIZE:
      case TB_SETMAXTEXTROWS:
        *result = TRUE;
        return true;
      case TB_ENABLEBUTTON:
        *result = changeState(wParam, TBSTATE_ENABLED, LOWORD(lParam) != 0);
        return true;
      case TB_CHECKBUTTON:
        *result = changeState(wParam, TBSTATE_CHECKED, LOWORD(lParam) != 0);
        return true;
      case TB_PRESSBUTTON:
        *result = changeState(wParam, TBSTATE_PRESSED, LOWORD(lParam) != 0);
        return true;
      case TB_HIDEBUTTON:
        *result = changeState(wParam, TBSTATE_HIDDEN, LOWORD(lParam) != 0);
        return true;
      case TB_INDETERMINATE:
        *result = changeState(wParam, TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
        return true;
      case TB_ISBUTTONENABLED:
      case TB_ISBUTTONCHECKED:
      case TB_ISBUTTONPRESSED:
      case TB_ISBUTTONHIDDEN:
      case TB_ISBUTTONINDETERMINATE: {
        const int i = byCommand(wParam);
        const BYTE bit = message == TB_ISBUTTONENABLED   ? TBSTATE_ENABLED
                         : message == TB_ISBUTTONCHECKED ? TBSTATE_CHECKED
                         : message == TB_ISBUTTONPRESSED ? TBSTATE_PRESSED
                         : message == TB_ISBUTTONHIDDEN  ? TBSTATE_HIDDEN
                                                         : TBSTATE_INDETERMINATE;
        *result = i >= 0 ? (s->buttons[static_cast<size_t>(i)].b.fsState & bit) != 0 : 0;
        return true;
      }
      case TB_SETSTATE: {
        const int i = byCommand(wParam);
        if (i >= 0) {
          s->buttons[static_cast<size_t>(i)].b.fsState = static_cast<BYTE>(LOWORD(lParam));
          ::InvalidateRect(hwnd, nullptr, TRUE);
        }
        *result = i >= 0;
        return true;
      }
      case TB_GETSTATE: {
        const int i = byCommand(wParam);
        *result = i >= 0 ? s->buttons[static_cast<size_t>(i)].b.fsState : -1;
        return true;
      }
      case TB_ADDBITMAP: {
        const auto* ab = reinterpret_cast<const TBADDBITMAP*>(lParam);
        if (!ab) {
          *result = -1;
          return true;
        }
        HBITMAP bm = ab->hInst ? ::LoadBitmap(ab->hInst, MAKEINTRESOURCE(ab->nID)) : reinterpret_cast<HBITMAP>(ab->nID);
        if (!bm) {
          *result = -1;
          return true;
        }
        if (!s->ownImages) {
          s->ownImages = ImageList_Create(s->bitmap.cx, s->bitmap.cy, ILC_COLOR24 | ILC_MASK, 4, 4);
          if (!s->images) s->images = s->ownImages;
        }
        *result = ImageList_AddMasked(s->ownImages, bm, RGB(192, 192, 192));
        if (ab->hInst) DeleteObject(bm);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return true;
      }
      case TB_ADDBUTTONS:
      case TB_INSERTBUTTON: {
        const auto* in = reinterpret_cast<const TBBUTTON*>(lParam);
        if (!in) {
          *result = FALSE;
          return true;
        }
        if (message == TB_ADDBUTTONS) {
          for (WPARAM k = 0; k < wParam; ++k) {
            TbButton tb;
            SetButtonRecord(tb, in[k]);
            s->buttons.push_back(tb);
          }
        } else {
          int at = static_cast<int>(static_cast<INT_PTR>(wParam));
          if (at < 0 || at > count) at = count;
          TbButton tb;
          SetButtonRecord(tb, *in);
          s->buttons.insert(s->buttons.begin() + at, tb);
          if (s->hot >= at) ++s->hot;
        }
        ::InvalidateRect(hwnd, nullptr, TRUE);
        *result = TRUE;
        return true;
      }
      case TB_DELETEBUTTON: {
        const int i = static_cast<int>(wParam);
        if (i < 0 || i >= count) {
          *result = FALSE;
          return true;
        }
        s->buttons.erase(s->buttons.begin() + i);
        if (s->hot == i) s->hot = -1;
        else if (s->hot > i) --s->hot;
        if (s->pressed == i) s->pressed = -1;
        ::InvalidateRect(hwnd, nullptr, TRUE);
        *result = TRUE;
        return true;
      }
      case TB_GETBUTTON: {
        const int i = static_cast<int>(wParam);
        auto* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (!out || i < 0 || i >= count) {
          *result = FALSE;
          return true;
        }
        *out = s->buttons[static_cast<size_t>(i)].b;
        *result = TRUE;
        return true;
      }
      case TB_BUTTONCOUNT:
        *result = count;
        return true;
      case TB_COMMANDTOINDEX:
        *result = byCommand(wParam);
        return true;
      case TB_GETITEMRECT: {
        const int i = static_cast<int>(wParam);
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || i < 0 || i >= count || (s->buttons[static_cast<size_t>(i)].b.fsState & TBSTATE_HIDDEN)) {
          *result = FALSE;
          return true;
        }
        *r = Layout(*s)[static_cast<size_t>(i)];
        *result = TRUE;
        return true;
      }
      case TB_GETRECT: {
        const int i = byCommand(wParam);
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || i < 0 || (s->buttons[static_cast<size_t>(i)].b.fsState & TBSTATE_HIDDEN)) {
          *result = FALSE;
          return true;
        }
        *r = Layout(*s)[static_cast<size_t>(i)];
        *result = TRUE;
        return true;
      }
      case TB_SETBUTTONSIZE:
        s->button = SIZE{std::max(1, static_cast<int>(LOWORD(lParam))), std::max(1, static_cast<int>(HIWORD(lParam)))};
        ::InvalidateRect(hwnd, nullptr, TRUE);
        *result = TRUE;
        return true;
      case TB_GETBUTTONSIZE:
        *result = MAKELONG(s->button.cx, s->button.cy);
        return true;
      case TB_SETBITMAPSIZE:
        s->bitmap = SIZE{std::max(1, static_cast<int>(LOWORD(lParam))), std::max(1, static_cast<int>(HIWORD(lParam)))};
        *result = TRUE;
        return true;
      case TB_AUTOSIZE:
        return true;
      case TB_SETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->images);
        s->images = reinterpret_cast<HIMAGELIST>(lParam);
        if (s->images) ImageList_GetIconSize(s->images, reinterpret_cast<int*>(&s->bitmap.cx), reinterpret_cast<int*>(&s->bitmap.cy));
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return true;
      case TB_GETIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->images);
        return true;
      case TB_SETHOTIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->hotImages);
        s->hotImages = reinterpret_cast<HIMAGELIST>(lParam);
        return true;
      case TB_GETHOTIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->hotImages);
        return true;
      case TB_SETDISABLEDIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->disabledImages);
        s->disabledImages = reinterpret_cast<HIMAGELIST>(lParam);
        return true;
      case TB_GETDISABLEDIMAGELIST:
        *result = reinterpret_cast<LRESULT>(s->disabledImages);
        return true;
      case TB_SETSTYLE: {
        Window* w = Find(hwnd);
        if (w) w->style = (w->style & 0xFFFF0000u) | (static_cast<DWORD>(lParam) & 0xFFFFu);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return true;
      }
      case TB_GETSTYLE:
        *result = GetWindowLong(hwnd, GWL_STYLE) & 0xFFFF;
        return true;
      case TB_SETEXTENDEDSTYLE:
        *result = static_cast<LRESULT>(s->exStyle);
        s->exStyle = static_cast<DWORD>(lParam);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return true;
      case TB_GETEXTENDEDSTYLE:
        *result = static_cast<LRESULT>(s->exStyle);
        return true;
      case TB_GETHOTITEM:
        *result = s->hot;
        return true;
      case TB_SETHOTITEM: {
        const int i = static_cast<int>(static_cast<INT_PTR>(wParam));
        *result = s->hot;
        SetHot(hwnd, *s, (i >= 0 && i < count) ? i : -1);
        return true;
      }
      case TB_HITTEST: {
        const auto* p = reinterpret_cast<const POINT*>(lParam);
        if (!p) {
          *result = -1;
          return true;
        }
        const std::vector<RECT> rects = Layout(*s);
        *result = -1;
        for (size_t i = 0; i < rects.size(); ++i) {
          if ((s->buttons[i].b.fsState & TBSTATE_HIDDEN) || !::PtInRect(&rects[i], *p)) continue;
          // A separator answers its index as a negative number (-1 - index).
          *result = (s->buttons[i].b.fsStyle & TBSTYLE_SEP) ? -static_cast<LRESULT>(i) - 1 : static_cast<LRESULT>(i);
          break;
        }
        return true;
      }
      case TB_GETBUTTONINFO:
      case TB_SETBUTTONINFO: {
        auto* bi = reinterpret_cast<TBBUTTONINFO*>(lParam);
        if (!bi) {
          *result = -1;
          return true;
        }
        const int i = (bi->dwMask & TBIF_BYINDEX) ? static_cast<int>(wParam) : byCommand(wParam);
        if (i < 0 || i >= count) {
          *result = message == TB_GETBUTTONINFO ? -1 : FALSE;
          return true;
        }
        TbButton& tb = s->buttons[static_cast<size_t>(i)];
        if (message == TB_GETBUTTONINFO) {
          if (bi->dwMask & TBIF_COMMAND) bi->idCommand = tb.b.idCommand;
          if (bi->dwMask & TBIF_IMAGE) bi->iImage = tb.b.iBitmap;
          if (bi->dwMask & TBIF_STATE) bi->fsState = tb.b.fsState;
          if (bi->dwMask & TBIF_STYLE) bi->fsStyle = tb.b.fsStyle;
          if (bi->dwMask & TBIF_LPARAM) bi->lParam = tb.b.dwData;
          if (bi->dwMask & TBIF_SIZE) bi->cx = static_cast<WORD>(Layout(*s)[static_cast<size_t>(i)].right - Layout(*s)[static_cast<size_t>(i)].left);
          if ((bi->dwMask & TBIF_TEXT) && bi->pszText && bi->cchText > 0) {
            const int n = std::min(bi->cchText - 1, tb.text.GetLength());
            std::memcpy(bi->pszText, tb.text.GetString(), static_cast<size_t>(n));
            bi->pszText[n] = 0;
          }
          *result = i;
        } else {
          if (bi->dwMask & TBIF_COMMAND) tb.b.idCommand = bi->idCommand;
          if (bi->dwMask & TBIF_IMAGE) tb.b.iBitmap = bi->iImage;
          if (bi->dwMask & TBIF_STATE) tb.b.fsState = bi->fsState;
          if (bi->dwMask & TBIF_STYLE) tb.b.fsStyle = bi->fsStyle;
          if (bi->dwMask & TBIF_LPARAM) tb.b.dwData = bi->lParam;
          if (bi->dwMask & TBIF_SIZE) tb.cx = bi->cx;
          if (bi->dwMask & TBIF_TEXT) tb.text = bi->pszText ? bi->pszText : "";
          ::InvalidateRect(hwnd, nullptr, TRUE);
          *result = TRUE;
        }
        return true;
      }
      case TB_GETBUTTONTEXT: {
        const int i = byCommand(wParam);
        if (i < 0) {
          *result = -1;
          return true;
        }
        const CString& t = s->buttons[static_cast<size_t>(i)].text;
        if (auto* buf = reinterpret_cast<char*>(lParam)) {
          std::memcpy(buf, t.GetString(), static_cast<size_t>(t.GetLength()) + 1);
        }
        *result = t.GetLength();
        return true;
      }
      case TB_SETPARENT:
        *result = reinterpret_cast<LRESULT>(NotifyTarget(hwnd, *s));
        s->notify = reinterpret_cast<HWND>(wParam);
        return true;
      case TB_SETTOOLTIPS:
        s->tooltips = reinterpret_cast<HWND>(wParam);
        return true;
      case TB_GETTOOLTIPS:
        *result = reinterpret_cast<LRESULT>(s->tooltips);
        return true;
      default:
        return false;
    }
  }
};

// ---------------------------------------------------------------------------
// Status bars.

struct SbPart {
  CString text;
  UINT type = 0;
  LPARAM data = 0;  // SBT_OWNERDRAW
};

struct SbState {
  std::vector<int> rights{-1};
  std::vector<SbPart> parts{SbPart{}};
  bool simple = false;
  SbPart simplePart;
  int minHeight = 0;
  RECT borders{0, 2, 0, 0};
  DWORD barStyle = 0;
  int gap = 2;
};

StateTable<SbState>& StatusBars() {
  static auto* t = new StateTable<SbState>;
  return *t;
}

RECT PartRect(HWND hwnd, const SbState& s, int i) {
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  RECT r{rc.left + s.borders.left, rc.top + s.borders.top, rc.right - s.borders.right, rc.bottom - s.borders.bottom};
  if (s.simple) return r;
  if (i > 0) r.left = s.rights[static_cast<size_t>(i - 1)] + s.gap;
  const int right = s.rights[static_cast<size_t>(i)];
  if (right >= 0) r.right = std::min(static_cast<int>(r.right), right);
  return r;
}

// Text with TABs: the first part left, the second centred, the third right.
void DrawPartText(HDC dc, const RECT& r, const CString& text, bool parseTabs) {
  std::string parts[3];
  int k = 0;
  for (char c : text.str()) {
    if (c == '\t' && parseTabs && k < 2) {
      ++k;
      continue;
    }
    parts[k] += c;
  }
  const UINT align[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  for (int i = 0; i < 3; ++i) {
    if (parts[i].empty()) continue;
    RECT t = r;
    DrawText(dc, parts[i].c_str(), static_cast<int>(parts[i].size()), &t,
             align[i] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void PaintStatus(HWND hwnd, SbState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawBarBorders(dc, rc, s.barStyle);
  HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const int n = s.simple ? 1 : static_cast<int>(s.parts.size());
  for (int i = 0; i < n; ++i) {
    const SbPart& p = s.simple ? s.simplePart : s.parts[static_cast<size_t>(i)];
    RECT r = PartRect(hwnd, s, i);
    if (r.right <= r.left) continue;
    if (!(p.type & SBT_NOBORDERS)) DrawEdge(dc, &r, (p.type & SBT_POPOUT) ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
    RECT in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (p.type & SBT_OWNERDRAW) {
      Window* w = Find(hwnd);
      DRAWITEMSTRUCT dis{};
      dis.CtlID = w ? static_cast<UINT>(w->id) : 0;
      dis.itemID = static_cast<UINT>(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.hwndItem = hwnd;
      dis.hDC = dc;
      dis.rcItem = in;
      dis.itemData = static_cast<ULONG_PTR>(p.data);
      const HWND parent = ::GetParent(hwnd);
      const int saved = SaveDC(dc);
      if (parent) Send(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      RestoreDC(dc, saved);
      continue;
    }
    RECT tr{in.left + 2, in.top, in.right - 2, in.bottom};
    DrawPartText(dc, tr, p.text, !(p.type & SBT_NOTABPARSING));
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

class StatusClass : public QmControlClass {
 public:
  QWidget* CreateWidget(HWND hwnd, const CREATESTRUCT&, QWidget* parent) override {
    StatusBars().Make(hwnd);
    return NewPaintedWidget(parent, Qt::NoFocus);
  }
  bool QtPaints(HWND) override { return false; }
  void TextChanged(HWND hwnd, QWidget*, const CString& text) override {
    SbState* s = StatusBars().Get(hwnd);
    if (!s) return;
    SbPart& p = s->simple ? s->simplePart : s->parts[0];
    if (p.type & SBT_OWNERDRAW) return;
    if (p.text != text) {
      p.text = text;
      ::InvalidateRect(hwnd, nullptr, FALSE);
    }
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    SbState* s = StatusBars().Get(hwnd);
    if (!s) return false;
    *result = 0;
    const int count = static_cast<int>(s->parts.size());
    switch (message) {
      case WM_NCDESTROY:
        StatusBars().Drop(hwnd);
        return false;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        PaintStatus(hwnd, *s);
        return true;
      case WM_SIZE:
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return false;
      case WM_GETDLGCODE:
        *result = 0;
        return true;
      case SB_SETTEXT: {
        const int i = static_cast<int>(LOBYTE(LOWORD(wParam)));
        const UINT type = static_cast<UINT>(wParam) & 0xFF00u;
        SbPart* p = nullptr;
        if (i == 255 || s->simple) p = &s->simplePart;
        else if (i < count) p = &s->parts[static_cast<size_t>(i)];
        if (!p) {
          *result = FALSE;
          return true;
        }
        p->type = type;
        if (type & SBT_OWNERDRAW) {
          p->data = lParam;
          p->text.Empty();
        } else {
          p->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
          if (i == 0 && !s->simple) {
            if (Window* w = Find(hwnd)) w->text = p->text;
          }
        }
        ::InvalidateRect(hwnd, nullptr, FALSE);
        *result = TRUE;
        return true;
      }
      case SB_GETTEXT:
      case SB_GETTEXTLENGTH: {
        const int i = static_cast<int>(wParam);
        if (i < 0 || i >= count) {
          *result = 0;
          return true;
        }
        const SbPart& p = s->parts[static_cast<size_t>(i)];
        if (message == SB_GETTEXT && (p.type & SBT_OWNERDRAW)) {
          *result = p.data;
          return true;
        }
        if (message == SB_GETTEXT && lParam)
          std::memcpy(reinterpret_cast<char*>(lParam), p.text.GetString(), static_cast<size_t>(p.text.GetLength()) + 1);
        *result = MAKELONG(static_cast<WORD>(p.text.GetLength()), static_cast<WORD>(p.type));
        return true;
      }
      case SB_SETPARTS: {
        const int n = static_cast<int>(wParam);
        const auto* rights = reinterpret_cast<const int*>(lParam);
        if (n <= 0 || n > 256 || !rights) {
          *result = FALSE;
          return true;
        }
        s->rights.assign(rights, rights + n);
        s->parts.resize(static_cast<size_t>(n));
        ::InvalidateRect(hwnd, nullptr, FALSE);
        *result = TRUE;
        return true;
      }
      case SB_GETPARTS: {
        if (auto* out = reinterpret_cast<int*>(lParam)) {
          const int n = std::min(static_cast<int>(wParam), count);
          for (int i = 0; i < n; ++i) out[i] = s->rights[static_cast<size_t>(i)];
        }
        *result = count;
        return true;
      }
      case SB_GETBORDERS:
        if (auto* b = reinterpret_cast<int*>(lParam)) {
          b[0] = s->borders.top;
          b[1] = s->borders.top;
          b[2] = s->gap;
        }
        *result = TRUE;
        return true;
      case SB_SETMINHEIGHT:
        s->minHeight = static_cast<int>(wParam);
        return true;
      case SB_SIMPLE:
        s->simple = wParam != 0;
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return true;
      case SB_ISSIMPLE:
        *result = s->simple;
        return true;
      case SB_GETRECT: {
        const int i = static_cast<int>(wParam);
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r || i < 0 || i >= (s->simple ? 1 : count)) {
          *result = FALSE;
          return true;
        }
        *r = PartRect(hwnd, *s, i);
        *result = TRUE;
        return true;
      }
      default:
        return false;
    }
  }
};

}  // namespace

QmControlClass* MakeToolbarClass() { return new ToolbarClass; }
QmControlClass* MakeStatusClass() { return new StatusClass; }

void SetBarFrame(HWND bar, const RECT& borders, DWORD barStyle) {
  if (TbState* t = Toolbars().Get(bar)) {
    t->borders = borders;
    t->barStyle = barStyle;
  }
  if (SbState* s = StatusBars().Get(bar)) {
    s->borders = borders;
    s->barStyle = barStyle;
  }
  ::InvalidateRect(bar, nullptr, TRUE);
}

SIZE ToolbarLayoutSize(HWND toolbar, const std::vector<TBBUTTON>& buttons) {
  SIZE total{0, 0};
  TbState* s = Toolbars().Get(toolbar);
  if (!s) return total;
  std::vector<int> widths;
  for (size_t i = 0; i < buttons.size(); ++i) widths.push_back(i < s->buttons.size() ? s->buttons[i].cx : 0);
  Layout(*s, buttons, widths, &total);
  return total;
}

int StatusBarHeight(HWND bar) {
  SbState* s = StatusBars().Get(bar);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(bar));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  int h = static_cast<int>(tm.tmHeight) + 6;
  if (s) h = std::max(h, s->minHeight) + s->borders.top + s->borders.bottom;
  return h;
}

}  // namespace qmwnd
