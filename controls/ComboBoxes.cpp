#include "controls/ComboBoxes.h"

#include <algorithm>
#include <cstring>

#include "controls/DrawUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/base.h"
#include "palette/ColorSet.h"

// ---- CComboEditXP ----

BEGIN_MESSAGE_MAP(CComboEditXP, CEdit)
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

CComboBoxXP* CComboEditXP::GetCombo() { return dynamic_cast<CComboBoxXP*>(GetParent()); }

void CComboEditXP::OnKillFocus(CWnd* newWnd) {
  CEdit::OnKillFocus(newWnd);
  if (CComboBoxXP* combo = GetCombo(); combo && IsInDockedControlBar(combo)) combo->Invalidate(TRUE);
}

void CComboEditXP::OnMouseMove(UINT flags, CPoint point) {
  if (CComboBoxXP* combo = GetCombo()) combo->GetHoverTracker().OnMouseMove(this);
  CEdit::OnMouseMove(flags, point);
}

void CComboEditXP::OnMouseLeave() {
  if (CComboBoxXP* combo = GetCombo()) combo->GetHoverTracker().OnMouseLeave(this);
  CEdit::OnMouseLeave();
}

// ---- CComboBoxXP ----

BEGIN_MESSAGE_MAP(CComboBoxXP, CComboBox)
  ON_WM_PAINT()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

CComboBoxXP::CComboBoxXP() = default;
CComboBoxXP::~CComboBoxXP() = default;

void CComboBoxXP::Bind() {
  hover_.Init(this, CHoverTracker::kRepaint);
  if (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child && !edit_.GetSafeHwnd()) edit_.SubclassWindow(child);
}

BOOL CComboBoxXP::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!CComboBox::Create(style, rect, parent, id)) return FALSE;
  SetFont(CFont::FromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))), TRUE);
  Bind();
  return TRUE;
}

void CComboBoxXP::PreSubclassWindow() {
  CComboBox::PreSubclassWindow();
  Bind();
  CRect r;
  GetWindowRect(&r);
  SetWindowPos(nullptr, 0, 0, r.Width(), 300, SWP_NOMOVE | SWP_NOZORDER);
}

void CComboBoxXP::OnWindowPosChanging(WINDOWPOS* pos) {
  // The height asked for becomes the closed box's; the window is made tall
  // enough for the dropped list (the combo takes it as the list's height).
  if (!(pos->flags & SWP_NOSIZE) && pendingHeight_ == -1) {
    if (fieldHeight_ == -1) fieldHeight_ = GetItemHeight(-1);
    pendingHeight_ = pos->cy;
    pos->cy = GetItemHeight(0) * visibleItems_ + 7 * GetSystemMetrics(SM_CYBORDER) + fieldHeight_;
  }
  CComboBox::OnWindowPosChanging(pos);
}

void CComboBoxXP::OnWindowPosChanged(WINDOWPOS* pos) {
  CComboBox::OnWindowPosChanged(pos);
  if (!(pos->flags & SWP_NOSIZE) && pendingHeight_ != -1 && !inFieldResize_) {
    const int height = pendingHeight_;
    inFieldResize_ = true;  // the combo resizes itself for the new field
    SetItemHeight(-1, static_cast<UINT>(std::max(1, height - 6)));
    inFieldResize_ = false;
    pendingHeight_ = -1;
  }
  if (edit_.GetSafeHwnd() && ::GetFocus() != edit_.GetSafeHwnd()) edit_.SetSel(-1, 0);
}

bool CComboBoxXP::HasFocus() {
  const HWND focus = ::GetFocus();
  return focus && (focus == m_hWnd || focus == edit_.GetSafeHwnd());
}

BOOL CComboBoxXP::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->hwnd == m_hWnd || msg->hwnd == edit_.GetSafeHwnd()) &&
      IsInDockedControlBar(this)) {
    if (msg->wParam == VK_RETURN) {
      if (CWnd* parent = GetParent()) parent->SendMessage(WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    } else if (msg->wParam == VK_ESCAPE) {
      if (GetDroppedState()) {
        ShowDropDown(FALSE);
      } else {
        CWnd* frame = GetParentFrame();
        if (!frame) frame = AfxGetMainWnd();
        if (frame) frame->SetFocus();
      }
    }
  }
  return CComboBox::PreTranslateMessage(msg);
}

UINT CComboBoxXP::OnGetDlgCode() {
  UINT code = static_cast<UINT>(Default());
  if (GetKeyState(VK_RETURN) < 0) code |= DLGC_WANTALLKEYS;
  return code;
}

WORD CComboBoxXP::GetButtonState() {
  WORD state = kDrawButtonArrow | kDrawButtonFlat;
  if (!IsWindowEnabled()) state |= kDrawButtonDisabled;
  if (IsInDockedControlBar(this)) {
    if (HasFocus() || hover_.IsHovering()) state |= kDrawButtonHot;
  } else {
    state |= kDrawButtonFramed;
    if (hover_.IsHovering()) state |= kDrawButtonHot;
  }
  if (GetDroppedState()) state |= kDrawButtonPressed | kDrawButtonHot;
  return state;
}

void CComboBoxXP::OnPaint() {
  Default();
  CClientDC dc(this);
  CRect client;
  GetClientRect(&client);
  const int thumb = GetSystemMetrics(SM_CXHTHUMB);
  CDrawButton button;
  button.m_rect = RECT{client.right - thumb, 0, client.right, client.bottom};
  button.Draw(&dc, GetButtonState());
  const bool onToolbar = IsInDockedControlBar(this);
  const bool lit = (onToolbar && HasFocus()) || GetDroppedState() || hover_.IsHovering();
  const HDC hdc = dc.GetSafeHdc();
  {
    CSelectBrush brush(hdc, 0xFFFFFFFF);
    CSelectPen pen(hdc, lit ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(onToolbar ? COLOR_WINDOW : COLOR_BTNSHADOW));
    dc.Rectangle(&client);
    pen.SetColor(GetSysColor(IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
    CRect inner = client;
    inner.DeflateRect(1, 1);
    inner.right -= thumb;
    dc.Rectangle(&inner);
    dc.MoveTo(inner.right, client.top);
    dc.LineTo(inner.right, client.bottom);
  }
}

void CComboBoxXP::OnSetFocus(CWnd* oldWnd) {
  CComboBox::OnSetFocus(oldWnd);
  if (IsInDockedControlBar(this)) Invalidate(TRUE);
}

void CComboBoxXP::OnKillFocus(CWnd* newWnd) {
  CComboBox::OnKillFocus(newWnd);
  if (IsInDockedControlBar(this)) Invalidate(TRUE);
}

void CComboBoxXP::OnMouseMove(UINT flags, CPoint point) {
  hover_.OnMouseMove();
  CComboBox::OnMouseMove(flags, point);
}

void CComboBoxXP::OnMouseLeave() {
  hover_.OnMouseLeave();
  CComboBox::OnMouseLeave();
}

// ---- CComboUsedColor ----

CComboUsedColor::CComboUsedColor() {
  blank_.SetRgb(CRgbTriple(0, 0, 0));
  blank_.mfgName.Empty();
  blank_.beadsPerTube = 225;
}

CComboUsedColor::~CComboUsedColor() = default;

void CComboUsedColor::EnsureFont() {
  if (fontCreated_) return;
  LOGFONT lf;
  std::memset(&lf, 0, sizeof(lf));
  lf.lfHeight = 13;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "Tahoma");
  fontCreated_ = font_.CreateFontIndirect(&lf) ? 1 : 0;
}

void CComboUsedColor::FillAllColors(CColorSet* set, bool withBlank) {
  ResetContent();
  if (withBlank) {
    blank_.mfgName = LoadResString(IDS_INFO_PATH_COLOR_BLANK);
    const int i = AddString(blank_.mfgName);
    if (i >= 0) SetItemData(i, reinterpret_cast<DWORD_PTR>(&blank_));
  }
  if (set) {
    for (int c = 0; c < set->GetCount(); ++c) {
      CPaletteColor* color = set->GetColor(c);
      const int i = AddString(color->mfgName);
      if (i >= 0) SetItemData(i, reinterpret_cast<DWORD_PTR>(color));
    }
  }
  EnsureFont();
  SetCurSel(0);
}

void CComboUsedColor::FillUsedColors(CColorSet* set) {
  if (set) {
    for (int c = 0; c < set->GetCount(); ++c) {
      CPaletteColor* color = set->GetColor(c);
      if (!color->IsInUse()) continue;
      const int i = AddString(color->mfgName);
      if (i >= 0) SetItemData(i, reinterpret_cast<DWORD_PTR>(color));
    }
  }
  EnsureFont();
}

void CComboUsedColor::MeasureItem(LPMEASUREITEMSTRUCT mis) { mis->itemHeight = 16; }

void CComboUsedColor::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (GetCount() <= 0 || static_cast<int>(dis->itemID) < 0) return;
  const auto* record = reinterpret_cast<const CPaletteColor*>(dis->itemData);
  if (!record) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT item = dis->rcItem;
  const bool enabled = IsWindowEnabled() != FALSE;
  const COLORREF c = enabled ? record->GetColorref() : 0xC8D0D4;
  dc->FillSolidRect(&item, c);
  if (dis->itemState & ODS_SELECTED) {
    CPen pen(PS_SOLID, 1, InvertColor(c));
    CPen* oldPen = dc->SelectObject(&pen);
    CBrush* oldBrush = dc->SelectObject(CBrush::FromHandle(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
    CRect r = item;
    r.DeflateRect(1, 1);
    dc->Rectangle(&r);
    r.DeflateRect(1, 1);
    dc->Rectangle(&r);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
  }
  CFont* oldFont = font_.GetSafeHandle() ? dc->SelectObject(&font_) : nullptr;
  const CSize size = dc->GetTextExtent(record->mfgName);
  const int x = item.left + std::max<int>(0, (item.right - item.left - size.cx) / 2);
  const int y = item.top + (item.bottom - item.top - size.cy) / 2;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColor = dc->GetTextColor();
  if (enabled) {
    dc->SetTextColor(InvertColor(c));
    dc->ExtTextOut(x, y, ETO_CLIPPED, &item, record->mfgName, nullptr);
  } else {
    dc->SetTextColor(RGB(255, 255, 255));
    dc->ExtTextOut(x + 1, y + 1, ETO_CLIPPED, &item, record->mfgName, nullptr);
    dc->SetTextColor(0x404040);
    dc->ExtTextOut(x, y, ETO_CLIPPED, &item, record->mfgName, nullptr);
  }
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
  if (oldFont) dc->SelectObject(oldFont);
}

// ---- CColorSetComboBox ----

bool CColorSetComboBox::Fill() {
  ResetContent();
  if (!set_) return false;
  SetRedraw(FALSE);
  bool ok = true;
  for (int c = 0; c < set_->GetCount() && ok; ++c) {
    const int i = AddString("");
    ok = i >= 0 && SetItemData(i, reinterpret_cast<DWORD_PTR>(set_->GetColor(c))) != CB_ERR;
  }
  if (ok) SetCurSel(0);
  SetRedraw(TRUE);
  return ok;
}

int CColorSetComboBox::SelectColor(COLORREF color) {
  if (!set_) return -1;
  const int index = set_->FindNearestColorref(color);
  if (index < 0) return index;
  return SetCurSel(index);
}

COLORREF CColorSetComboBox::GetSelectedColor() const {
  const int i = GetCurSel();
  if (i < 0) return 0xFFFFFFFF;
  const auto* record = reinterpret_cast<const CPaletteColor*>(GetItemData(i));
  if (!record || reinterpret_cast<DWORD_PTR>(record) == static_cast<DWORD_PTR>(CB_ERR)) return 0xFFFFFFFF;
  return record->GetColorref();
}

void CColorSetComboBox::MeasureItem(LPMEASUREITEMSTRUCT mis) { mis->itemHeight = 18; }

void CColorSetComboBox::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!set_ || static_cast<int>(dis->itemID) < 0) return;
  const auto* record = reinterpret_cast<const CPaletteColor*>(dis->itemData);
  if (!record) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const RECT item = dis->rcItem;
  const bool enabled = !(dis->itemState & ODS_DISABLED);
  const COLORREF c = enabled ? record->GetColorref() : GetSysColor(COLOR_BTNFACE);
  dc->FillSolidRect(&item, c);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldColor = dc->GetTextColor();
  if (enabled) {
    dc->SetTextColor(GetContrastColor(c));
    dc->ExtTextOut(item.left + 4, item.top + 2, ETO_CLIPPED, &item, record->mfgName, nullptr);
  } else {
    dc->SetTextColor(0xE8E8E8);
    dc->ExtTextOut(item.left + 5, item.top + 3, ETO_CLIPPED, &item, record->mfgName, nullptr);
    dc->SetTextColor(0x404040);
    dc->ExtTextOut(item.left + 4, item.top + 2, ETO_CLIPPED, &item, record->mfgName, nullptr);
  }
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
  if (dis->itemState & ODS_SELECTED) {
    const RECT strips[4] = {{item.left, item.top, item.right, item.top + 1},
                            {item.left, item.bottom - 1, item.right, item.bottom},
                            {item.left, item.top + 1, item.left + 1, item.bottom - 1},
                            {item.right - 1, item.top + 1, item.right, item.bottom - 1}};
    for (const RECT& s : strips) dc->InvertRect(&s);
  }
}
