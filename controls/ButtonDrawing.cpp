#include "controls/ButtonDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/HslColor.h"
#include "platform/wnd.h"

// ---- Packed colours ----

DWORD RgbToHsl(COLORREF color) {
  double h = 0, s = 0, l = 0;
  RgbToHslParts(GetRValue(color), GetGValue(color), GetBValue(color), h, s, l);
  const DWORD hb = static_cast<DWORD>(std::trunc(h * 255 / 360)) & 0xFF;
  const DWORD lb = static_cast<DWORD>(std::trunc(l * 255)) & 0xFF;
  const DWORD sb = static_cast<DWORD>(std::trunc(s * 255)) & 0xFF;
  return hb | (lb << 8) | (sb << 16);
}

COLORREF HslToRgb(DWORD packed) {
  const int hb = packed & 0xFF, lb = (packed >> 8) & 0xFF, sb = (packed >> 16) & 0xFF;
  if (sb == 0) return RGB(lb, lb, lb);
  double shares[3];
  HslToRgbShares(hb * 360.0 / 255.0, sb / 255.0, lb / 255.0, shares);
  auto channel = [](double share) {
    return static_cast<BYTE>(std::clamp(static_cast<int>(std::trunc(share * 255)), 0, 255));
  };
  return RGB(channel(shares[0]), channel(shares[1]), channel(shares[2]));
}

COLORREF AdjustLightnessSaturation(COLORREF color, int lightness, int saturation) {
  const DWORD hsl = RgbToHsl(color);
  auto move = [](int v, int p) {
    if (p > 0) return v + (255 - v) * p / 100;
    if (p < 0) return v * (100 + p) / 100;
    return v;
  };
  const int l = std::clamp(move((hsl >> 8) & 0xFF, lightness), 0, 255);
  const int s = std::clamp(move((hsl >> 16) & 0xFF, saturation), 0, 255);
  return HslToRgb((hsl & 0xFF) | (static_cast<DWORD>(l) << 8) | (static_cast<DWORD>(s) << 16));
}

// ---- CBufferDC ----

CBufferDC::CBufferDC(HDC target, const RECT& area) : target_(target), area_(area) {
  if (IsRectEmpty(&area_)) ::GetClipBox(target, &area_);
  HDC mem = ::CreateCompatibleDC(target);
  if (!mem) return;
  Attach(mem);
  bitmap_ = ::CreateCompatibleBitmap(target, std::max<LONG>(area_.right, 1), std::max<LONG>(area_.bottom, 1));
  if (bitmap_) oldBitmap_ = ::SelectObject(mem, bitmap_);
  if (area_.top > 0) ::ExcludeClipRect(mem, 0, 0, area_.right, area_.top);
  if (area_.left > 0) ::ExcludeClipRect(mem, 0, area_.top, area_.left, area_.bottom);
}

CBufferDC::~CBufferDC() {
  HDC mem = m_hDC;
  if (!mem) return;
  if (bitmap_) {
    ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, mem, area_.left, area_.top,
             SRCCOPY);
    ::SelectObject(mem, oldBitmap_);
    ::DeleteObject(bitmap_);
  }
  Detach();
  ::DeleteDC(mem);
}

// ---- Pen and brush selectors ----

CSelectPen::CSelectPen(HDC dc, COLORREF color) : dc_(dc), color_(color) { SetColor(color); }

CSelectPen::~CSelectPen() {
  if (old_) ::SelectObject(dc_, old_);
}

void CSelectPen::SetColor(COLORREF color) {
  if (m_hObject && old_) ::SelectObject(dc_, old_);
  DeleteObject();
  color_ = color;
  CreatePen(PS_SOLID, 1, color);
  HGDIOBJ previous = ::SelectObject(dc_, m_hObject);
  if (!old_) old_ = previous;
}

CSelectBrush::CSelectBrush(HDC dc, COLORREF color) : dc_(dc) { SetColor(color); }

CSelectBrush::~CSelectBrush() {
  if (old_) ::SelectObject(dc_, old_);
}

void CSelectBrush::SetColor(COLORREF color) {
  if (m_hObject && old_) ::SelectObject(dc_, old_);
  DeleteObject();
  if (color == 0xFFFFFFFF)
    CreateStockObject(NULL_BRUSH);
  else
    CreateSolidBrush(color);
  HGDIOBJ previous = ::SelectObject(dc_, m_hObject);
  if (!old_) old_ = previous;
}

void DrawArrowTriangle(CDC* dc, int x, int y, int rows, bool pointsDown) {
  for (int i = 0; i < rows; ++i) {
    const int row = pointsDown ? y - i : y + i;
    dc->MoveTo(x - i, row);
    dc->LineTo(x + i + 1, row);
  }
}

// ---- CDrawButton ----

COLORREF XPColorTable[7] = {0xFFFFFF, 0xC56A31, 0xEED2C1, 0xE2B598, 0x6F4B4B, 0x808080, 0xD8B9AD};

void CDrawButton::Draw(CDC* dc, WORD state) {
  if (!dc) return;
  if (state == 0) state = m_state;
  const HDC hdc = dc->GetSafeHdc();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  CSelectPen pen(hdc, face);
  CSelectBrush brush(hdc, face);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF pressedFill = AdjustLightnessSaturation(highlight, 50, -50);
  const COLORREF hotFill = XPColorTable[6];
  const bool enabled = !(state & kDrawButtonDisabled);
  const bool pressed = (state & kDrawButtonPressed) != 0;
  if (enabled && (state & kDrawButtonHot)) {
    pen.SetColor(highlight);
    brush.SetColor(pressed ? pressedFill : hotFill);
  } else {
    pen.SetColor(GetSysColor((state & kDrawButtonFramed) ? COLOR_BTNSHADOW : COLOR_WINDOW));
  }
  dc->Rectangle(&m_rect);
  COLORREF arrow;
  if (pressed)
    arrow = 0xF0F0F0;
  else if (!enabled)
    arrow = GetSysColor(COLOR_GRAYTEXT);
  else if (dc->GetPixel(m_rect.left + 1, m_rect.top + 1) == hotFill)
    arrow = 0;
  else
    arrow = GetSysColor(COLOR_BTNTEXT);
  pen.SetColor(arrow);
  DrawArrowTriangle(dc, (m_rect.left + m_rect.right) / 2, (m_rect.top + m_rect.bottom) / 2 + 2, 4, true);
}

// ---- Frames ----

const COLORREF kRampLight[4] = {RGB(246, 245, 244), RGB(237, 236, 233), RGB(229, 226, 222), RGB(220, 217, 211)};
const COLORREF kRampDark[4] = {RGB(144, 144, 142), RGB(161, 160, 156), RGB(178, 176, 171), RGB(195, 192, 185)};
const COLORREF kDisabledFrame[4] = {0x8E9090, 0x9CA0A1, 0xABB0B2, 0xB9C0C3};

void DrawRampFrame(CDC* dc, const RECT& rect, bool raised, int rings) {
  if (!dc) return;
  rings = std::clamp(rings, 0, 4);
  RECT r = rect;
  for (int i = 0; i < rings; ++i) {
    const COLORREF light = kRampLight[i], dark = kRampDark[i];
    dc->Draw3dRect(&r, raised ? light : dark, raised ? dark : light);
    InflateRect(&r, -1, -1);
  }
}

void DrawDisabledButtonFrame(CDC* dc, const RECT& rect) {
  if (!dc) return;
  RECT r = rect;
  for (COLORREF c : kDisabledFrame) {
    dc->Draw3dRect(&r, c, c);
    InflateRect(&r, -1, -1);
  }
}

void InitSoftButtonFont(LOGFONT& font) {
  std::memset(&font, 0, sizeof(font));
  font.lfHeight = 13;
  font.lfWeight = 700;
  font.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(font.lfFaceName, "Arial");
}

// ---- CHoverTracker ----

void CHoverTracker::Init(CWnd* owner, WORD options) {
  owner_ = owner ? owner->GetSafeHwnd() : nullptr;
  options_ = options;
  hovering_ = false;
  tracked_ = nullptr;
}

void CHoverTracker::Touch() {
  if (!owner_ || !::IsWindow(owner_)) return;
  if (options_ & kRepaint) ::InvalidateRect(owner_, nullptr, FALSE);
  if (options_ & kRecalcFrame)
    ::SetWindowPos(owner_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

bool CHoverTracker::OnMouseMove(CWnd* window) {
  const HWND w = window ? window->GetSafeHwnd() : owner_;
  TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, w, 0};
  if (!hovering_) {
    hovering_ = true;
    Touch();
    if (w) ::TrackMouseEvent(&tme);
    tracked_ = w;
    return true;
  }
  if (w == tracked_) return false;
  if (tracked_) {
    TRACKMOUSEEVENT cancel{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_CANCEL, tracked_, 0};
    ::TrackMouseEvent(&cancel);
  }
  if (w) ::TrackMouseEvent(&tme);
  tracked_ = w;
  return false;
}

bool CHoverTracker::OnMouseLeave(CWnd* window) {
  const HWND w = window ? window->GetSafeHwnd() : owner_;
  if (w != tracked_) return false;
  hovering_ = false;
  Touch();
  return true;
}

bool IsInDockedControlBar(CWnd* window) {
  if (!window || !window->GetSafeHwnd()) return false;
  CWnd* parent = window->GetParent();
  auto* bar = dynamic_cast<CControlBar*>(parent);
  if (!bar) return false;
  if (bar->m_pDockBar) return true;
  // Nothing docks here: a bar laid out in its frame (not floating) stands
  // for a docked one.
  CWnd* frame = bar->GetParent();
  return !bar->IsFloating() && frame && dynamic_cast<CFrameWnd*>(frame) != nullptr;
}
