#include "controls/Buttons.h"

#include <algorithm>

#include "controls/DrawUtils.h"

namespace {

// The bitmap of the resource library scaled to width x height with every
// pixel of the mask colour replaced; null when the bitmap is missing.
HBITMAP LoadMappedBitmap(UINT id, int width, int height, COLORREF mask, COLORREF replacement) {
  HBITMAP source = static_cast<HBITMAP>(
      LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  if (!source) return nullptr;
  BITMAP info{};
  HBITMAP result = nullptr;
  if (GetObject(source, sizeof(info), &info) && width > 0 && height > 0) {
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    result = CreateCompatibleBitmap(screen, width, height);
    if (from && to && result) {
      HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, result);
      SetStretchBltMode(to, COLORONCOLOR);
      StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if (GetPixel(to, x, y) == mask) SetPixel(to, x, y, replacement);
      SelectObject(from, oldFrom);
      SelectObject(to, oldTo);
    } else if (result) {
      DeleteObject(result);
      result = nullptr;
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    ReleaseDC(nullptr, screen);
  }
  DeleteObject(source);
  return result;
}

CString WithoutAmpersands(const CString& text) {
  CString out;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] != '&') out += text[i];
  return out;
}

void MakeOwnerDrawn(CWnd* button) {
  if ((button->GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW) button->ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

}  // namespace

HICON LoadPackIcon(UINT id, int width, int height) {
  return static_cast<HICON>(LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(id), IMAGE_ICON, width, height,
                                      LR_DEFAULTCOLOR));
}

int DrawButtonIcon(CDC* dc, const RECT& rect, HICON icon, int width, int height, int leftOffset, bool notPressed,
                   bool enabled) {
  const int p = notPressed ? 0 : 1;
  const int x = rect.left + leftOffset + p;
  const int y = (rect.bottom - rect.top - height) / 2 + p;
  if (icon) dc->DrawState(CPoint(x, y), CSize(width, height), icon, enabled ? DSS_NORMAL : DSS_DISABLED, HBRUSH(nullptr));
  return x + width;
}

void DrawButtonCaption(CDC* dc, const RECT& rect, const CString& text, const LOGFONT& font, COLORREF color, int x,
                       bool pressed, bool enabled) {
  const CString shown = WithoutAmpersands(text);
  CFont f;
  f.CreateFontIndirect(&font);
  CFont* oldFont = f.m_hObject ? dc->SelectObject(&f) : nullptr;
  const CSize size = dc->GetTextExtent(shown);
  if (x < 0) x = (rect.right - rect.left - size.cx) / 2;
  int y = (rect.bottom - rect.top - size.cy) / 2;
  if (enabled && pressed) {
    ++x;
    ++y;
  }
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColor = dc->GetTextColor();
  if (!enabled) {
    dc->SetTextColor(RGB(255, 255, 255));
    dc->ExtTextOut(x + 1, y + 1, ETO_CLIPPED, &rect, shown, nullptr);
    dc->SetTextColor(0x8E9090);
    dc->ExtTextOut(x, y, ETO_CLIPPED, &rect, shown, nullptr);
  } else {
    dc->SetTextColor(color);
    dc->ExtTextOut(x, y, ETO_CLIPPED, &rect, shown, nullptr);
  }
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
  if (oldFont) dc->SelectObject(oldFont);
}

// ---- CIButton ----

BEGIN_MESSAGE_MAP(CIButton, CButton)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CIButton::CIButton() = default;
CIButton::~CIButton() { FreeImages(); }

void CIButton::FreeImages() {
  if (icon_) DestroyIcon(icon_);
  if (bitmap_) DeleteObject(bitmap_);
  if (disabledBitmap_) DeleteObject(disabledBitmap_);
  icon_ = nullptr;
  bitmap_ = disabledBitmap_ = nullptr;
}

void CIButton::Repaint() {
  if (GetSafeHwnd()) InvalidateRect(nullptr, TRUE);
}

bool CIButton::SetIcon(UINT id, int width, int height) {
  FreeImages();
  icon_ = LoadPackIcon(id, width, height);
  imageWidth_ = width;
  imageHeight_ = height;
  Repaint();
  return icon_ != nullptr;
}

bool CIButton::SetBitmap(UINT id, int width, int height, COLORREF mask) {
  FreeImages();
  bitmap_ = LoadMappedBitmap(id, width, height, mask, GetSysColor(COLOR_BTNFACE));
  disabledBitmap_ = LoadMappedBitmap(id, width, height, mask, RGB(255, 255, 255));
  imageWidth_ = width;
  imageHeight_ = height;
  if (!bitmap_ || !disabledBitmap_) FreeImages();
  Repaint();
  return bitmap_ != nullptr;
}

int CIButton::SetIconTextSpacing(int spacing) {
  const int previous = spacing_;
  spacing_ = spacing;
  autoLayout_ = 1;
  Repaint();
  return previous;
}

POINT CIButton::SetIconPosition(int x, int y) {
  const POINT previous{imageX_, imageY_};
  imageX_ = x;
  imageY_ = y;
  autoLayout_ = 0;
  Repaint();
  return previous;
}

void CIButton::SetFillColor(COLORREF color) {
  fill_ = 1;
  fillColor_ = color;
  Repaint();
}

void CIButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  MakeOwnerDrawn(this);
}

void CIButton::OnClose() {
  FreeImages();
  CButton::OnClose();
}

void CIButton::OnDestroy() {
  FreeImages();
  CButton::OnDestroy();
}

int CIButton::FocusInset(int width, int height) {
  const int m = std::min(width, height);
  return (m / 4) * 4 > 12 ? 3 : m / 4;
}

COLORREF CIButton::FillTextColor(COLORREF fill) {
  auto channel = [](int c) { return c > 65 && c < 191 ? 255 : 255 - c; };
  return RGB(channel(GetRValue(fill)), channel(GetGValue(fill)), channel(GetBValue(fill)));
}

void CIButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  RECT item = dis->rcItem;
  const UINT state = dis->itemState;
  const bool pushed = (state & ODS_SELECTED) != 0;
  const bool disabled = (state & ODS_DISABLED) != 0;
  if (dis->itemAction != ODA_FOCUS) {
    dc->DrawFrameControl(&item, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const int offset = pushed ? 1 : 0;
    if (fill_) {
      CBrush brush(fillColor_);
      const RECT inner{item.left + 3, item.top + 3, item.right - 3, item.bottom - 3};
      dc->FillRect(&inner, &brush);
    }
    RECT client{0, 0, 0, 0};
    GetClientRect(&client);
    const int clientW = client.right - client.left, clientH = client.bottom - client.top;
    CString caption;
    GetWindowText(caption);
    const CSize textSize = dc->GetTextExtent(WithoutAmpersands(caption));
    const bool image = HasImage();
    if (image) {
      int x = autoLayout_ ? (caption.IsEmpty() ? -1 : item.left + margin_) : imageX_;
      int y = autoLayout_ ? -1 : imageY_;
      if (x == -1) x = (clientW - imageWidth_) / 2;
      if (y == -1) y = (clientH - imageHeight_) / 2;
      const CPoint at(x + offset, y + offset);
      const CSize size(imageWidth_, imageHeight_);
      if (icon_)
        dc->DrawState(at, size, icon_, disabled ? DSS_DISABLED : DSS_NORMAL, HBRUSH(nullptr));
      else
        dc->DrawState(at, size, disabled ? disabledBitmap_ : bitmap_, disabled ? DSS_DISABLED : DSS_NORMAL,
                      HBRUSH(nullptr));
    }
    const COLORREF oldColor = dc->GetTextColor();
    if (fill_) dc->SetTextColor(FillTextColor(fillColor_));
    if (!caption.IsEmpty()) {
      int x;
      if (image) {
        // Without automatic layout the caption keeps the place it has with it.
        const int free = std::max(0, clientW - imageWidth_ - margin_ - spacing_ - static_cast<int>(textSize.cx));
        x = margin_ + imageWidth_ + spacing_ + free / 2;
      } else {
        x = (clientW - textSize.cx) / 2;
      }
      const int y = (clientH - textSize.cy) / 2 - 1;
      const int oldMode = dc->SetBkMode(TRANSPARENT);
      dc->DrawState(CPoint(x + offset, y + offset), textSize, caption, disabled ? DSS_DISABLED : DSS_NORMAL, TRUE, 0,
                    static_cast<CBrush*>(nullptr));
      dc->SetBkMode(oldMode);
    }
    dc->SetTextColor(oldColor);
  }
  // The focus rectangle is drawn in XOR: a focus change alone toggles it, a
  // full paint draws it when the button has the focus.
  const bool focus = (state & ODS_FOCUS) != 0;
  const bool draw = dis->itemAction == ODA_FOCUS ? ((state ^ lastState_) & ODS_FOCUS) != 0 : focus;
  if (!disabled && draw) {
    const int inset = FocusInset(item.right - item.left, item.bottom - item.top);
    RECT r = item;
    InflateRect(&r, -inset, -inset);
    dc->DrawFocusRect(&r);
  }
  lastAction_ = dis->itemAction;
  lastState_ = state;
}

// ---- CFlatFaceButton ----

BEGIN_MESSAGE_MAP(CFlatFaceButton, CButton)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CFlatFaceButton::CFlatFaceButton() { InitSoftButtonFont(font_); }
CFlatFaceButton::~CFlatFaceButton() { FreeIcon(); }

void CFlatFaceButton::FreeIcon() {
  if (icon_) DestroyIcon(icon_);
  icon_ = nullptr;
}

bool CFlatFaceButton::SetIcon(UINT id, int width, int height, int leftOffset, int gap) {
  FreeIcon();
  icon_ = LoadPackIcon(id, width, height);
  iconWidth_ = width;
  iconHeight_ = height;
  iconLeft_ = leftOffset;
  iconGap_ = gap;
  if (GetSafeHwnd()) InvalidateRect(nullptr, TRUE);
  return icon_ != nullptr;
}

int CFlatFaceButton::DrawIcon(CDC* dc, const RECT& rect, bool notPressed, bool enabled) {
  return DrawButtonIcon(dc, rect, icon_, iconWidth_, iconHeight_, iconLeft_, notPressed, enabled);
}

COLORREF CFlatFaceButton::GetFaceColor() { return faceColor_; }

void CFlatFaceButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  MakeOwnerDrawn(this);
}

void CFlatFaceButton::DrawFace(const DRAWITEMSTRUCT& dis, bool pressed, int rings) {
  CDC* dc = CDC::FromHandle(dis.hDC);
  const RECT item = dis.rcItem;
  const bool enabled = !(dis.itemState & ODS_DISABLED);
  CBrush face(GetFaceColor());
  dc->FillRect(&item, &face);
  if (!enabled)
    DrawDisabledButtonFrame(dc, item);
  else
    DrawRampFrame(dc, item, !pressed, rings);
  const int x = icon_ ? DrawIcon(dc, item, !pressed, enabled) + iconGap_ : -1;
  CString caption;
  GetWindowText(caption);
  DrawButtonCaption(dc, item, caption, font_, textColor_, x, pressed, enabled);
  if (enabled && (dis.itemState & ODS_FOCUS)) {
    RECT r = item;
    InflateRect(&r, -4, -4);
    dc->DrawFocusRect(&r);
  }
}

void CFlatFaceButton::OnClose() {
  FreeIcon();
  CButton::OnClose();
}

void CFlatFaceButton::OnDestroy() {
  FreeIcon();
  CButton::OnDestroy();
}

// ---- CSoftButton ----

BEGIN_MESSAGE_MAP(CSoftButton, CFlatFaceButton)
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

void CSoftButton::PreSubclassWindow() {
  CFlatFaceButton::PreSubclassWindow();
  hover_.Init(this, CHoverTracker::kRepaint);
}

void CSoftButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  DrawFace(*dis, (dis->itemState & ODS_SELECTED) != 0, hover_.IsHovering() ? 4 : 2);
}

void CSoftButton::OnMouseMove(UINT flags, CPoint point) {
  if (!hover_.GetTracked() && !hover_.IsHovering()) hover_.Init(this, CHoverTracker::kRepaint);
  hover_.OnMouseMove();
  CFlatFaceButton::OnMouseMove(flags, point);
}

void CSoftButton::OnMouseLeave() {
  hover_.OnMouseLeave();
  CFlatFaceButton::OnMouseLeave();
}

void CMyColorButton::SetColor(COLORREF color) {
  faceColor_ = color;
  textColor_ = GetTextColorForBackground(color);
  if (GetSafeHwnd()) InvalidateRect(nullptr, FALSE);
}

// ---- CToolbarButton ----

void CToolbarButton::SetPressed(bool pressed) {
  pressed_ = pressed ? 1 : 0;
  if (GetSafeHwnd()) InvalidateRect(nullptr, TRUE);
}

void CToolbarButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!pressed_) {
    DrawFace(*dis, (dis->itemState & ODS_SELECTED) != 0, 2);
    return;
  }
  // Latched: a grid of light lines over the face, the icon at rest and a
  // sunken frame; no caption.
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT item = dis->rcItem;
  CBrush face(GetFaceColor());
  dc->FillRect(&item, &face);
  CPen pen(PS_SOLID, 1, RGB(232, 232, 232));
  CPen* oldPen = dc->SelectObject(&pen);
  for (int y = item.top; y < item.bottom; y += 2) {
    dc->MoveTo(item.left, y);
    dc->LineTo(item.right, y);
  }
  for (int x = item.left; x < item.right; x += 2) {
    dc->MoveTo(x, item.top);
    dc->LineTo(x, item.bottom);
  }
  dc->SelectObject(oldPen);
  DrawIcon(dc, item, true, true);
  DrawRampFrame(dc, item, false, 2);
}
