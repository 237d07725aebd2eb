// Sliders (track bars), up-down controls, progress bars and hot-key
// controls, drawn by the stand-in. Slider and up-down positions stay inside
// their ranges; a slider's moves end with TB_ENDTRACK; an up-down control
// writes its position into its buddy without thousands separators; a
// progress bar keeps 32-bit ranges.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/base/codepage.h"
#include "platform/wnd/commctrl_internal.h"

namespace qmwnd::cc {

namespace {

// ---------------------------------------------------------------------------
// Sliders.

struct SliderState : CtlState {
  int min = 0;
  int max = 100;
  int pos = 0;
  int line = 1;
  int page = 20;
  bool pageSet = false;
  int ticFreq = 1;
  std::vector<int> tics;
  bool dragging = false;
  int dragOffset = 0;
  bool paging = false;
  UINT keyCode = 0;  // the scroll code of a key held down
};

constexpr int kThumbW = 11;
constexpr int kMargin = 8;

bool Vertical(HWND hwnd) { return (StyleOf(hwnd) & TBS_VERT) != 0; }

RECT Channel(HWND hwnd) {
  const RECT c = ClientOf(hwnd);
  const DWORD st = StyleOf(hwnd);
  const bool both = (st & TBS_BOTH) != 0, top = (st & TBS_TOP) != 0;
  if (!Vertical(hwnd)) {
    const int y = both ? (c.bottom / 2 - 2) : top ? std::max(0, static_cast<int>(c.bottom) - 14) : std::min(8, static_cast<int>(c.bottom) / 2);
    return RECT{kMargin, y, std::max<int>(kMargin + 1, c.right - kMargin), y + 4};
  }
  const int x = both ? (c.right / 2 - 2) : top ? std::max(0, static_cast<int>(c.right) - 14) : std::min(8, static_cast<int>(c.right) / 2);
  return RECT{x, kMargin, x + 4, std::max<int>(kMargin + 1, c.bottom - kMargin)};
}

int PosToPixel(HWND hwnd, const SliderState& s, int pos) {
  const RECT ch = Channel(hwnd);
  const long long span = static_cast<long long>(s.max) - s.min;
  const int a = Vertical(hwnd) ? ch.top : ch.left, b = Vertical(hwnd) ? ch.bottom : ch.right;
  if (span <= 0) return a;
  return a + static_cast<int>((static_cast<long long>(pos) - s.min) * (b - a) / span);
}

int PixelToPos(HWND hwnd, const SliderState& s, int px) {
  const RECT ch = Channel(hwnd);
  const int a = Vertical(hwnd) ? ch.top : ch.left, b = Vertical(hwnd) ? ch.bottom : ch.right;
  if (b <= a) return s.min;
  const long long span = static_cast<long long>(s.max) - s.min;
  // The nearest position.
  const long long twice = (static_cast<long long>(std::clamp(px, a, b)) - a) * span * 2 / (b - a);
  return static_cast<int>(s.min + (twice + 1) / 2);
}

RECT Thumb(HWND hwnd, const SliderState& s) {
  const RECT c = ClientOf(hwnd), ch = Channel(hwnd);
  const int p = PosToPixel(hwnd, s, s.pos);
  const DWORD st = StyleOf(hwnd);
  if (!Vertical(hwnd)) {
    const int h = std::min<int>(20, std::max<int>(8, c.bottom - 4));
    int top = (st & TBS_BOTH) ? (ch.top + ch.bottom - h) / 2 : (st & TBS_TOP) ? ch.bottom + 4 - h : ch.top - 6;
    top = std::clamp<int>(top, 0, std::max<int>(0, c.bottom - h));
    return RECT{p - kThumbW / 2, top, p - kThumbW / 2 + kThumbW, top + h};
  }
  const int w = std::min<int>(20, std::max<int>(8, c.right - 4));
  int left = (st & TBS_BOTH) ? (ch.left + ch.right - w) / 2 : (st & TBS_TOP) ? ch.right + 4 - w : ch.left - 6;
  left = std::clamp<int>(left, 0, std::max<int>(0, c.right - w));
  return RECT{left, p - kThumbW / 2, left + w, p - kThumbW / 2 + kThumbW};
}

// The thumb: a raised block, pointed towards the ticks when they are on one
// side.
void DrawThumb(HDC dc, const RECT& r, int dir, bool enabled) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE), hi = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF sh = GetSysColor(COLOR_BTNSHADOW), dk = GetSysColor(COLOR_3DDKSHADOW);
  if (dir == 0) {
    RECT t = r;
    FillSolid(dc, t, face);
    DrawEdge(dc, &t, enabled ? EDGE_RAISED : BDR_RAISEDINNER, BF_RECT);
    return;
  }
  const bool vert = dir >= 3;
  const bool flipped = dir == 2 || dir == 4;
  const int across = vert ? r.bottom - r.top : r.right - r.left;
  const int along = vert ? r.right - r.left : r.bottom - r.top;
  const int half = across / 2;
  const int body = std::max(1, along - half - 1);
  // u runs across the thumb, v along it towards the point.
  auto px = [&](int u, int v, COLORREF c) {
    switch (dir) {
      case 1: SetPixelV(dc, r.left + u, r.top + v, c); break;
      case 2: SetPixelV(dc, r.left + u, r.bottom - 1 - v, c); break;
      case 3: SetPixelV(dc, r.left + v, r.top + u, c); break;
      default: SetPixelV(dc, r.right - 1 - v, r.top + u, c); break;
    }
  };
  const COLORREF back = flipped ? dk : hi, light = hi, dark = enabled ? dk : sh;
  for (int v = 0; v < along; ++v) {
    const int k = v < body ? 0 : v - body;
    const int lo = k, top = across - 1 - k;
    if (lo > top) break;
    for (int u = lo; u <= top; ++u) px(u, v, face);
    if (v == 0) {
      for (int u = 0; u < across; ++u) px(u, v, back);
      continue;
    }
    px(lo, v, light);
    px(top, v, dark);
    if (top - 1 > lo) px(top - 1, v, sh);
  }
  if (!enabled) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    FillSolid(dc, RECT{cx - 1, cy - 1, cx + 1, cy + 1}, sh);
  }
}

void PaintSlider(HWND hwnd, SliderState& s, HDC dc) {
  const RECT c = ClientOf(hwnd);
  // The parent chooses the background, as for statics.
  HBRUSH br = nullptr;
  if (HWND p = ParentOf(hwnd)) br = reinterpret_cast<HBRUSH>(Send(p, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (br) FillRect(dc, &c, br);
  else FillSolid(dc, c, GetSysColor(COLOR_BTNFACE));
  const bool enabled = Enabled(hwnd);
  RECT ch = Channel(hwnd);
  DrawEdge(dc, &ch, EDGE_SUNKEN, BF_RECT);
  const DWORD st = StyleOf(hwnd);
  const RECT th = Thumb(hwnd, s);
  if (!(st & TBS_NOTICKS)) {
    std::vector<int> at{s.min, s.max};
    if (st & TBS_AUTOTICKS)
      for (long long v = static_cast<long long>(s.min) + std::max(1, s.ticFreq); v < s.max; v += std::max(1, s.ticFreq))
        at.push_back(static_cast<int>(v));
    at.insert(at.end(), s.tics.begin(), s.tics.end());
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (int v : at) {
      if (v < s.min || v > s.max) continue;
      const int px = PosToPixel(hwnd, s, v);
      if (!Vertical(hwnd)) {
        if (!(st & TBS_TOP) || (st & TBS_BOTH)) LineV(dc, px, th.bottom + 2, th.bottom + 5, ink);
        if ((st & TBS_TOP) || (st & TBS_BOTH)) LineV(dc, px, th.top - 5, th.top - 2, ink);
      } else {
        if (!(st & TBS_LEFT) || (st & TBS_BOTH)) LineH(dc, th.right + 2, th.right + 5, px, ink);
        if ((st & TBS_LEFT) || (st & TBS_BOTH)) LineH(dc, th.left - 5, th.left - 2, px, ink);
      }
    }
  }
  if (!(st & TBS_NOTHUMB)) {
    int dir = 0;  // pointing towards the ticks: 1 down, 2 up, 3 right, 4 left
    if (!(st & (TBS_BOTH | TBS_NOTICKS))) dir = Vertical(hwnd) ? ((st & TBS_LEFT) ? 4 : 3) : ((st & TBS_TOP) ? 2 : 1);
    DrawThumb(dc, th, dir, enabled);
  }
  if (Focused(hwnd)) {
    RECT f = c;
    DrawFocusRect(dc, &f);
  }
}

void SliderNotify(HWND hwnd, UINT code, int pos) { ScrollToParent(hwnd, Vertical(hwnd), code, pos); }

void SetSliderPos(HWND hwnd, SliderState& s, int pos, bool redraw) {
  pos = std::clamp(pos, std::min(s.min, s.max), std::max(s.min, s.max));
  if (pos == s.pos) return;
  s.pos = pos;
  if (redraw) Redraw(hwnd);
}

void DefaultPage(SliderState& s) {
  if (!s.pageSet) s.page = std::max(1, static_cast<int>((static_cast<long long>(s.max) - s.min) / 5));
}

class SliderClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<SliderState>(), true);
  }
  UINT DialogCode(HWND) override { return DLGC_WANTARROWS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    SliderState* s = StateOf<SliderState>(hwnd);
    if (!s) return false;
    *result = 0;
    switch (message) {
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintSlider(hwnd, *s, dc); });
        return true;
      case WM_SIZE:
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        Redraw(hwnd);
        return false;
      case WM_GETDLGCODE:
        *result = DLGC_WANTARROWS;
        return true;
      case TBM_GETPOS: *result = s->pos; return true;
      case TBM_SETPOS:
        SetSliderPos(hwnd, *s, static_cast<int>(lParam), wParam != 0);
        return true;
      case TBM_GETRANGEMIN: *result = s->min; return true;
      case TBM_GETRANGEMAX: *result = s->max; return true;
      case TBM_SETRANGE:
        s->min = static_cast<short>(LOWORD(lParam));
        s->max = static_cast<short>(HIWORD(lParam));
        DefaultPage(*s);
        s->pos = std::clamp(s->pos, std::min(s->min, s->max), std::max(s->min, s->max));
        if (wParam) Redraw(hwnd);
        return true;
      case TBM_SETRANGEMIN:
      case TBM_SETRANGEMAX:
        (message == TBM_SETRANGEMIN ? s->min : s->max) = static_cast<int>(lParam);
        DefaultPage(*s);
        s->pos = std::clamp(s->pos, std::min(s->min, s->max), std::max(s->min, s->max));
        if (wParam) Redraw(hwnd);
        return true;
      case TBM_SETTICFREQ:
        s->ticFreq = std::max(1, static_cast<int>(wParam));
        Redraw(hwnd);
        return true;
      case TBM_SETTIC:
        if (static_cast<int>(lParam) <= s->min || static_cast<int>(lParam) >= s->max) {
          *result = FALSE;
          return true;
        }
        s->tics.push_back(static_cast<int>(lParam));
        Redraw(hwnd);
        *result = TRUE;
        return true;
      case TBM_CLEARTICS:
        s->tics.clear();
        if (wParam) Redraw(hwnd);
        return true;
      case TBM_GETNUMTICS: {
        if (StyleOf(hwnd) & TBS_NOTICKS) return true;
        long long n = 2 + static_cast<long long>(s->tics.size());
        if (StyleOf(hwnd) & TBS_AUTOTICKS) n += std::max(0LL, (static_cast<long long>(s->max) - s->min - 1) / std::max(1, s->ticFreq));
        *result = static_cast<LRESULT>(n);
        return true;
      }
      case TBM_SETPAGESIZE:
        *result = s->page;
        s->page = static_cast<int>(lParam);
        s->pageSet = true;
        return true;
      case TBM_GETPAGESIZE: *result = s->page; return true;
      case TBM_SETLINESIZE:
        *result = s->line;
        s->line = static_cast<int>(lParam);
        return true;
      case TBM_GETLINESIZE: *result = s->line; return true;
      case TBM_GETTHUMBRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = Thumb(hwnd, *s);
        return true;
      case TBM_GETCHANNELRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = Channel(hwnd);
        return true;
      case WM_LBUTTONDOWN: {
        if (!Focused(hwnd)) ::SetFocus(hwnd);
        if (!(s = StateOf<SliderState>(hwnd))) return true;
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT th = Thumb(hwnd, *s);
        const int along = Vertical(hwnd) ? p.y : p.x;
        ::SetCapture(hwnd);
        if (::PtInRect(&th, p)) {
          s->dragging = true;
          s->dragOffset = along - PosToPixel(hwnd, *s, s->pos);
        } else {
          const bool before = along < PosToPixel(hwnd, *s, s->pos);
          s->paging = true;
          SetSliderPos(hwnd, *s, s->pos + (before ? -s->page : s->page), true);
          SliderNotify(hwnd, before ? TB_PAGEUP : TB_PAGEDOWN, s->pos);
        }
        return true;
      }
      case WM_MOUSEMOVE: {
        if (!s->dragging) return true;
        const int along = Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
        const int pos = PixelToPos(hwnd, *s, along - s->dragOffset);
        if (pos != s->pos) {
          SetSliderPos(hwnd, *s, pos, true);
          SliderNotify(hwnd, TB_THUMBTRACK, s->pos);
        }
        return true;
      }
      case WM_LBUTTONUP: {
        const bool dragged = s->dragging, paged = s->paging;
        s->dragging = s->paging = false;
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        if (!(s = StateOf<SliderState>(hwnd))) return true;
        if (dragged) SliderNotify(hwnd, TB_THUMBPOSITION, s->pos);
        if ((dragged || paged) && (s = StateOf<SliderState>(hwnd))) SliderNotify(hwnd, TB_ENDTRACK, s->pos);
        return true;
      }
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd && (s->dragging || s->paging)) {
          s->dragging = s->paging = false;
          SliderNotify(hwnd, TB_ENDTRACK, s->pos);
        }
        return false;
      case WM_KEYDOWN: {
        UINT code;
        int pos = s->pos;
        switch (wParam) {
          case VK_LEFT:
          case VK_UP: code = TB_LINEUP; pos -= s->line; break;
          case VK_RIGHT:
          case VK_DOWN: code = TB_LINEDOWN; pos += s->line; break;
          case VK_PRIOR: code = TB_PAGEUP; pos -= s->page; break;
          case VK_NEXT: code = TB_PAGEDOWN; pos += s->page; break;
          case VK_HOME: code = TB_TOP; pos = s->min; break;
          case VK_END: code = TB_BOTTOM; pos = s->max; break;
          default: return false;
        }
        SetSliderPos(hwnd, *s, pos, true);
        s->keyCode = code;
        SliderNotify(hwnd, code, s->pos);
        return true;
      }
      case WM_KEYUP:
        switch (wParam) {
          case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
          case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
            s->keyCode = 0;
            SliderNotify(hwnd, TB_ENDTRACK, s->pos);
            return true;
          default:
            return false;
        }
      default:
        return false;
    }
  }
};

// ---------------------------------------------------------------------------
// Up-down controls.

struct UpDownState : CtlState {
  int lower = 100;  // the Windows default range: 100 down to 0
  int upper = 0;
  int pos = 0;
  int base = 10;
  HWND buddy = nullptr;
  std::vector<UDACCEL> accel{UDACCEL{0, 1}};
  int pressed = 0;  // 1 up, -1 down
  bool placed = false;
};

bool Horizontal(HWND hwnd) { return (StyleOf(hwnd) & UDS_HORZ) != 0; }

CString FormatPos(const UpDownState& s) {
  char buf[32];
  if (s.base == 16) std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(s.pos));
  else std::snprintf(buf, sizeof buf, "%d", s.pos);
  return CString(buf);
}

void WriteBuddy(HWND hwnd, UpDownState& s) {
  if (!(StyleOf(hwnd) & UDS_SETBUDDYINT) || !s.buddy || !Find(s.buddy)) return;
  ::SetWindowText(s.buddy, FormatPos(s));
}

int Lo(const UpDownState& s) { return std::min(s.lower, s.upper); }
int Hi(const UpDownState& s) { return std::max(s.lower, s.upper); }

// Reads the buddy's number (base 10 with optional separators, or base 16);
// false when it is not one.
bool ReadBuddy(HWND hwnd, UpDownState& s) {
  if (!(StyleOf(hwnd) & UDS_SETBUDDYINT) || !s.buddy || !Find(s.buddy)) return true;
  char buf[64] = {};
  ::GetWindowText(s.buddy, buf, sizeof buf);
  std::string t;
  for (const char* p = buf; *p; ++p)
    if (*p != ' ' && *p != ',' && static_cast<unsigned char>(*p) != 0xA0) t += *p;
  if (t.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(t.c_str(), &end, s.base == 16 ? 16 : 10);
  if (!end || *end) return false;
  s.pos = static_cast<int>(std::clamp<long>(v, Lo(s), Hi(s)));
  return true;
}

void PlaceBeside(HWND hwnd, UpDownState& s) {
  const DWORD st = StyleOf(hwnd);
  if (!s.buddy || !Find(s.buddy) || !(st & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
  RECT br;
  ::GetWindowRect(s.buddy, &br);
  HWND parent = ::GetParent(s.buddy);
  POINT tl{br.left, br.top};
  if (parent) ::ScreenToClient(parent, &tl);
  const int bw = br.right - br.left, bh = br.bottom - br.top;
  RECT mine;
  ::GetWindowRect(hwnd, &mine);
  const int w = std::max<int>(mine.right - mine.left, 1) > 1 ? mine.right - mine.left : 16;
  const int newW = std::max(0, bw - w);
  if (st & UDS_ALIGNRIGHT) {
    ::SetWindowPos(s.buddy, nullptr, tl.x, tl.y, newW, bh, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(hwnd, nullptr, tl.x + newW, tl.y, w, bh, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    ::SetWindowPos(s.buddy, nullptr, tl.x + w, tl.y, newW, bh, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(hwnd, nullptr, tl.x, tl.y, w, bh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Step(HWND hwnd, int dir) {
  UpDownState* s = StateOf<UpDownState>(hwnd);
  if (!s) return;
  ReadBuddy(hwnd, *s);
  // The up arrow moves towards the upper end of the range.
  const int delta = (s->upper >= s->lower ? dir : -dir) * static_cast<int>(std::max<UINT>(1, s->accel.front().nInc));
  NMUPDOWN nm{};
  nm.iPos = s->pos;
  nm.iDelta = delta;
  if (Notify(hwnd, UDN_DELTAPOS, &nm.hdr)) return;
  if (!(s = StateOf<UpDownState>(hwnd))) return;
  long long to = static_cast<long long>(s->pos) + nm.iDelta;
  if (StyleOf(hwnd) & UDS_WRAP) {
    if (to > Hi(*s)) to = Lo(*s);
    else if (to < Lo(*s)) to = Hi(*s);
  }
  s->pos = static_cast<int>(std::clamp<long long>(to, Lo(*s), Hi(*s)));
  WriteBuddy(hwnd, *s);
  if (!(s = StateOf<UpDownState>(hwnd))) return;
  ScrollToParent(hwnd, !Horizontal(hwnd), SB_THUMBPOSITION, s->pos);
}

void PaintUpDown(HWND hwnd, UpDownState& s, HDC dc) {
  const RECT c = ClientOf(hwnd);
  const bool enabled = Enabled(hwnd);
  RECT a = c, b = c;
  if (Horizontal(hwnd)) {
    a.right = (c.left + c.right) / 2;
    b.left = a.right;
  } else {
    a.bottom = (c.top + c.bottom) / 2;
    b.top = a.bottom;
  }
  // a: up (or left), b: down (or right)
  UINT fa = Horizontal(hwnd) ? DFCS_SCROLLLEFT : DFCS_SCROLLUP;
  UINT fb = Horizontal(hwnd) ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN;
  if (!enabled) fa |= DFCS_INACTIVE, fb |= DFCS_INACTIVE;
  if (s.pressed == 1) fa |= DFCS_PUSHED;
  if (s.pressed == -1) fb |= DFCS_PUSHED;
  DrawFrameControl(dc, &a, DFC_SCROLL, fa);
  DrawFrameControl(dc, &b, DFC_SCROLL, fb);
}

class UpDownClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<UpDownState>(), false);
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    UpDownState* s = StateOf<UpDownState>(hwnd);
    if (!s) return false;
    *result = 0;
    switch (message) {
      case WM_CREATE:
        if (StyleOf(hwnd) & UDS_AUTOBUDDY) {
          s->buddy = ::GetWindow(hwnd, GW_HWNDPREV);
          PlaceBeside(hwnd, *s);
        }
        return true;
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintUpDown(hwnd, *s, dc); });
        return true;
      case WM_SIZE:
        Redraw(hwnd);
        return false;
      case UDM_SETRANGE:
        s->upper = static_cast<short>(LOWORD(lParam));
        s->lower = static_cast<short>(HIWORD(lParam));
        s->pos = std::clamp(s->pos, Lo(*s), Hi(*s));
        return true;
      case UDM_SETRANGE32:
        s->lower = static_cast<int>(wParam);
        s->upper = static_cast<int>(lParam);
        s->pos = std::clamp(s->pos, Lo(*s), Hi(*s));
        return true;
      case UDM_GETRANGE:
        *result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s->upper), static_cast<WORD>(s->lower)));
        return true;
      case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = s->lower;
        if (lParam) *reinterpret_cast<int*>(lParam) = s->upper;
        return true;
      case UDM_SETPOS:
      case UDM_SETPOS32: {
        const int want = message == UDM_SETPOS ? static_cast<short>(LOWORD(lParam)) : static_cast<int>(lParam);
        *result = s->pos;
        s->pos = std::clamp(want, Lo(*s), Hi(*s));
        WriteBuddy(hwnd, *s);
        return true;
      }
      case UDM_GETPOS: {
        const bool ok = ReadBuddy(hwnd, *s);
        *result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s->pos), ok ? 0 : 1));
        return true;
      }
      case UDM_GETPOS32: {
        const bool ok = ReadBuddy(hwnd, *s);
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = ok ? FALSE : TRUE;
        *result = s->pos;
        return true;
      }
      case UDM_SETBUDDY:
        *result = reinterpret_cast<LRESULT>(s->buddy);
        s->buddy = reinterpret_cast<HWND>(wParam);
        PlaceBeside(hwnd, *s);
        return true;
      case UDM_GETBUDDY:
        *result = reinterpret_cast<LRESULT>(s->buddy);
        return true;
      case UDM_SETBASE:
        if (wParam != 10 && wParam != 16) return true;
        *result = s->base;
        s->base = static_cast<int>(wParam);
        WriteBuddy(hwnd, *s);
        return true;
      case UDM_GETBASE: *result = s->base; return true;
      case UDM_SETACCEL: {
        const auto* a = reinterpret_cast<const UDACCEL*>(lParam);
        if (!a || wParam == 0) {
          *result = FALSE;
          return true;
        }
        s->accel.assign(a, a + wParam);
        *result = TRUE;
        return true;
      }
      case UDM_GETACCEL: {
        auto* a = reinterpret_cast<UDACCEL*>(lParam);
        const size_t n = std::min<size_t>(wParam, s->accel.size());
        if (a) std::copy(s->accel.begin(), s->accel.begin() + static_cast<std::ptrdiff_t>(n), a);
        *result = static_cast<LRESULT>(s->accel.size());
        return true;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        const RECT c = ClientOf(hwnd);
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool first = Horizontal(hwnd) ? p.x < (c.left + c.right) / 2 : p.y < (c.top + c.bottom) / 2;
        // Up (or left) half: towards the upper end for a vertical control;
        // the right half of a horizontal one.
        const int dir = Horizontal(hwnd) ? (first ? -1 : 1) : (first ? 1 : -1);
        s->pressed = first ? 1 : -1;
        Redraw(hwnd);
        ::SetCapture(hwnd);
        if (s->buddy && Find(s->buddy)) ::SetFocus(s->buddy);
        Step(hwnd, dir);
        return true;
      }
      case WM_LBUTTONUP:
        if (s->pressed) {
          s->pressed = 0;
          Redraw(hwnd);
          if (::GetCapture() == hwnd) ::ReleaseCapture();
          if ((s = StateOf<UpDownState>(hwnd))) ScrollToParent(hwnd, !Horizontal(hwnd), SB_ENDSCROLL, s->pos);
        }
        return true;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd && s->pressed) {
          s->pressed = 0;
          Redraw(hwnd);
        }
        return false;
      default:
        return false;
    }
  }
};

// ---------------------------------------------------------------------------
// Progress bars.

struct ProgressState : CtlState {
  int low = 0;
  int high = 100;
  int pos = 0;
  int step = 10;
  COLORREF bar = CLR_DEFAULT;
  COLORREF bk = CLR_DEFAULT;
};

void PaintProgress(HWND hwnd, ProgressState& s, HDC dc) {
  const RECT c = ClientOf(hwnd);
  FillSolid(dc, c, s.bk == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : s.bk);
  const long long span = static_cast<long long>(s.high) - s.low;
  if (span <= 0) return;
  const bool vertical = (StyleOf(hwnd) & PBS_VERTICAL) != 0;
  const int inner = vertical ? c.bottom - c.top - 2 : c.right - c.left - 2;
  const int filled = static_cast<int>((static_cast<long long>(s.pos) - s.low) * inner / span);
  const COLORREF color = !Enabled(hwnd) ? GetSysColor(COLOR_BTNSHADOW) : s.bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : s.bar;
  if (StyleOf(hwnd) & PBS_SMOOTH) {
    const RECT r = vertical ? RECT{c.left + 1, c.bottom - 1 - filled, c.right - 1, c.bottom - 1}
                            : RECT{c.left + 1, c.top + 1, c.left + 1 + filled, c.bottom - 1};
    FillSolid(dc, r, color);
    return;
  }
  // Blocks two thirds as wide as the bar is high, two pixels apart.
  const int thick = vertical ? c.right - c.left - 2 : c.bottom - c.top - 2;
  const int block = std::max(2, thick * 2 / 3);
  for (int k = 0; k < filled; k += block + 2) {
    const int len = std::min(block, filled - k);
    const RECT r = vertical ? RECT{c.left + 1, c.bottom - 1 - k - len, c.right - 1, c.bottom - 1 - k}
                            : RECT{c.left + 1 + k, c.top + 1, c.left + 1 + k + len, c.bottom - 1};
    FillSolid(dc, r, color);
  }
}

class ProgressClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<ProgressState>(), false);
  }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    ProgressState* s = StateOf<ProgressState>(hwnd);
    if (!s) return false;
    *result = 0;
    auto setPos = [&](long long v) {
      const int old = s->pos;
      s->pos = static_cast<int>(std::clamp<long long>(v, std::min(s->low, s->high), std::max(s->low, s->high)));
      if (s->pos != old) Redraw(hwnd);
      return old;
    };
    switch (message) {
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) { PaintProgress(hwnd, *s, dc); });
        return true;
      case WM_SIZE:
        Redraw(hwnd);
        return false;
      case PBM_SETRANGE:
      case PBM_SETRANGE32:
        *result = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s->low), static_cast<WORD>(s->high)));
        if (message == PBM_SETRANGE) {
          s->low = LOWORD(lParam);
          s->high = HIWORD(lParam);
        } else {
          s->low = static_cast<int>(wParam);
          s->high = static_cast<int>(lParam);
        }
        setPos(s->pos);
        Redraw(hwnd);
        return true;
      case PBM_GETRANGE: {
        if (auto* r = reinterpret_cast<PBRANGE*>(lParam)) *r = PBRANGE{s->low, s->high};
        *result = wParam ? s->low : s->high;
        return true;
      }
      case PBM_SETPOS: *result = setPos(static_cast<int>(wParam)); return true;
      case PBM_DELTAPOS: *result = setPos(static_cast<long long>(s->pos) + static_cast<int>(wParam)); return true;
      case PBM_SETSTEP:
        *result = s->step;
        s->step = static_cast<int>(wParam);
        return true;
      case PBM_STEPIT: {
        long long v = static_cast<long long>(s->pos) + s->step;
        // Past the end it starts again from the beginning.
        if (v > std::max(s->low, s->high)) v = std::min(s->low, s->high) + (v - std::max(s->low, s->high)) % std::max(1LL, static_cast<long long>(s->high) - s->low);
        *result = setPos(v);
        return true;
      }
      case PBM_GETPOS: *result = s->pos; return true;
      case PBM_SETBARCOLOR:
        *result = s->bar;
        s->bar = static_cast<COLORREF>(lParam);
        Redraw(hwnd);
        return true;
      case PBM_SETBKCOLOR:
        *result = s->bk;
        s->bk = static_cast<COLORREF>(lParam);
        Redraw(hwnd);
        return true;
      default:
        return false;
    }
  }
};

// ---------------------------------------------------------------------------
// Hot-key controls.

struct HotKeyState : CtlState {
  UINT vk = 0;
  WORD mods = 0;
  WORD held = 0;  // modifiers held while no key is chosen yet
  WORD invalid = 0;
  WORD fallback = 0;
};

bool Russian() { return GetAnsiCodePage() == 1251; }

bool Extended(UINT vk) {
  switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_NUMLOCK: case VK_DIVIDE:
      return true;
    default:
      return false;
  }
}

CString KeyName(UINT vk) {
  char buf[32];
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
    buf[0] = static_cast<char>(vk);
    buf[1] = 0;
    return CString(buf);
  }
  if (vk >= VK_F1 && vk <= VK_F24) {
    std::snprintf(buf, sizeof buf, "F%u", vk - VK_F1 + 1);
    return CString(buf);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    std::snprintf(buf, sizeof buf, "Num %u", vk - VK_NUMPAD0);
    return CString(buf);
  }
  switch (vk) {
    case VK_SPACE: return CString(Russian() ? "\xCF\xF0\xEE\xE1\xE5\xEB" : "Space");
    case VK_BACK: return CString("Backspace");
    case VK_TAB: return CString("Tab");
    case VK_RETURN: return CString("Enter");
    case VK_ESCAPE: return CString("Esc");
    case VK_INSERT: return CString("Ins");
    case VK_DELETE: return CString("Del");
    case VK_HOME: return CString("Home");
    case VK_END: return CString("End");
    case VK_PRIOR: return CString("Page Up");
    case VK_NEXT: return CString("Page Down");
    case VK_LEFT: return CString("Left");
    case VK_RIGHT: return CString("Right");
    case VK_UP: return CString("Up");
    case VK_DOWN: return CString("Down");
    case VK_PAUSE: return CString("Pause");
    case VK_NUMLOCK: return CString("Num Lock");
    case VK_SCROLL: return CString("Scroll Lock");
    case VK_ADD: return CString("Num +");
    case VK_SUBTRACT: return CString("Num -");
    case VK_MULTIPLY: return CString("Num *");
    case VK_DIVIDE: return CString("Num /");
    case VK_DECIMAL: return CString("Num Del");
    case VK_OEM_1: return CString(";");
    case VK_OEM_PLUS: return CString("=");
    case VK_OEM_COMMA: return CString(",");
    case VK_OEM_MINUS: return CString("-");
    case VK_OEM_PERIOD: return CString(".");
    case VK_OEM_2: return CString("/");
    case VK_OEM_3: return CString("`");
    case VK_OEM_4: return CString("[");
    case VK_OEM_5: return CString("\\");
    case VK_OEM_6: return CString("]");
    case VK_OEM_7: return CString("'");
    default:
      std::snprintf(buf, sizeof buf, "#%u", vk);
      return CString(buf);
  }
}

CString HotKeyText(WORD mods, UINT vk) {
  CString t;
  if (mods & HOTKEYF_CONTROL) t += "Ctrl + ";
  if (mods & HOTKEYF_SHIFT) t += "Shift + ";
  if (mods & HOTKEYF_ALT) t += "Alt + ";
  if (vk) t += KeyName(vk);
  if (t.IsEmpty()) t = Russian() ? "\xCD\xE5\xF2" : "None";
  return t;
}

WORD HeldMods() {
  WORD m = 0;
  if (GetKeyState(VK_SHIFT) < 0) m |= HOTKEYF_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) m |= HOTKEYF_CONTROL;
  if (GetKeyState(VK_MENU) < 0) m |= HOTKEYF_ALT;
  return m;
}

// The rules: a combination of modifiers that is not allowed takes the
// fallback modifiers instead.
WORD ApplyRules(const HotKeyState& s, WORD mods) {
  const WORD m = mods & (HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT);
  WORD comb = HKCOMB_NONE;
  switch (m) {
    case HOTKEYF_SHIFT: comb = HKCOMB_S; break;
    case HOTKEYF_CONTROL: comb = HKCOMB_C; break;
    case HOTKEYF_ALT: comb = HKCOMB_A; break;
    case HOTKEYF_SHIFT | HOTKEYF_CONTROL: comb = HKCOMB_SC; break;
    case HOTKEYF_SHIFT | HOTKEYF_ALT: comb = HKCOMB_SA; break;
    case HOTKEYF_CONTROL | HOTKEYF_ALT: comb = HKCOMB_CA; break;
    case HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT: comb = HKCOMB_SCA; break;
    default: break;
  }
  if (s.invalid & comb) return static_cast<WORD>((mods & HOTKEYF_EXT) | s.fallback);
  return mods;
}

class HotKeyClass : public DrawnClass {
 public:
  QWidget* CreateWidget(HWND, const CREATESTRUCT& cs, QWidget* parent) override {
    return MakeWidget(cs, parent, std::make_unique<HotKeyState>(), true);
  }
  UINT DialogCode(HWND) override { return DLGC_WANTCHARS | DLGC_WANTARROWS; }

  bool DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    HotKeyState* s = StateOf<HotKeyState>(hwnd);
    if (!s) return false;
    *result = 0;
    switch (message) {
      case WM_ERASEBKGND:
        *result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd, [&](HDC dc, const RECT&) {
          const RECT c = ClientOf(hwnd);
          const bool enabled = Enabled(hwnd);
          FillSolid(dc, c, GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
          SetBkMode(dc, TRANSPARENT);
          SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
          const CString t = s->vk ? HotKeyText(s->mods, s->vk) : HotKeyText(s->held, 0);
          RECT r{c.left + 2, c.top, c.right - 2, c.bottom};
          DrawCellText(dc, t, r, DT_LEFT);
          if (Focused(hwnd)) {
            const int x = c.left + 2 + TextWidth(FontOf(hwnd), (s->vk || s->held) ? t : CString());
            const TEXTMETRIC tm = MetricsOf(FontOf(hwnd));
            const int y = (c.top + c.bottom - tm.tmHeight) / 2;
            LineV(dc, std::min<int>(x, c.right - 2), y, y + tm.tmHeight, GetSysColor(COLOR_WINDOWTEXT));
          }
        });
        return true;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
      case WM_SIZE:
        Redraw(hwnd);
        return false;
      case WM_GETDLGCODE:
        *result = DLGC_WANTCHARS | DLGC_WANTARROWS;
        return true;
      case HKM_SETHOTKEY:
        s->vk = LOBYTE(wParam);
        s->mods = HIBYTE(LOWORD(wParam));
        s->held = 0;
        Redraw(hwnd);
        return true;
      case HKM_GETHOTKEY:
        *result = MAKEWORD(static_cast<BYTE>(s->vk), static_cast<BYTE>(s->vk ? s->mods : 0));
        return true;
      case HKM_SETRULES:
        s->invalid = static_cast<WORD>(wParam);
        s->fallback = LOWORD(lParam);
        return true;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        const UINT vk = static_cast<UINT>(wParam);
        if (vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE) return false;
        const WORD held = HeldMods();
        if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) {
          if (!s->vk || s->held != held) {
            s->vk = 0;
            s->held = held;
          }
        } else if ((vk == VK_BACK || vk == VK_DELETE) && !held) {
          s->vk = 0;
          s->mods = 0;
          s->held = 0;
        } else {
          s->vk = vk;
          s->mods = ApplyRules(*s, static_cast<WORD>(held | (Extended(vk) ? HOTKEYF_EXT : 0)));
          s->held = 0;
        }
        Redraw(hwnd);
        Command(hwnd, EN_CHANGE);
        return true;
      }
      case WM_KEYUP:
      case WM_SYSKEYUP:
        if (!s->vk) {
          s->held = HeldMods();
          Redraw(hwnd);
        }
        return true;
      case WM_CHAR:
      case WM_SYSCHAR:
        return true;
      case WM_LBUTTONDOWN:
        ::SetFocus(hwnd);
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void RegisterBarClasses() {
  QmRegisterControlClass(TRACKBAR_CLASS, CS_DBLCLKS, std::make_unique<SliderClass>());
  QmRegisterControlClass(UPDOWN_CLASS, 0, std::make_unique<UpDownClass>());
  QmRegisterControlClass(PROGRESS_CLASS, 0, std::make_unique<ProgressClass>());
  QmRegisterControlClass(HOTKEY_CLASS, 0, std::make_unique<HotKeyClass>());
}

}  // namespace qmwnd::cc

CString QmHotKeyText(WORD modifiers, UINT vk) { return qmwnd::cc::HotKeyText(modifiers, vk); }
