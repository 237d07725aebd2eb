#include "app/bars/ToolBarXP.h"

#include <cstdlib>

#include "controls/DrawUtils.h"
#include "controls/MemDC.h"
#include "core/FrameServices.h"
#include "controls/ButtonDrawing.h"
#include <algorithm>
#include "lang/ids/shell.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {

COLORREF Adjust(COLORREF color, int lightness, int saturation) {
  return AdjustLightnessSaturation(color, lightness, saturation);
}

}  // namespace

void NotifyTabViewSizeChanged() {
  static const UINT message = RegisterWindowMessage("MsgTabViewSizeChanged");
  if (IMainFrame* frame = GetIMainFrame())
    if (CCtrlPane* pane = frame->GetCtrlPane())
      if (pane->m_hWnd) pane->PostMessage(message);
}

// ---- CToolBarXP ----

BEGIN_MESSAGE_MAP(CToolBarXP, CToolBar)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CToolBarXP::CToolBarXP(int backgroundStyle, COLORREF colorA, COLORREF colorB)
    : m_backgroundStyle(backgroundStyle), m_colorA(colorA), m_colorB(colorB) {}

CToolBarXP::~CToolBarXP() = default;

bool CToolBarXP::LoadToolBarResource(UINT id) {
  if (!LoadToolBar(id)) return false;
  SetBorders(1, 3, 6, 4);
  GetToolBarCtrl().SetExtendedStyle(GetToolBarCtrl().GetExtendedStyle() | TBSTYLE_EX_DRAWDDARROWS);
  return true;
}

bool CToolBarXP::InsertControl(int index, CWnd* control) {
  if (!control || !control->m_hWnd) return false;
  const int count = GetToolBarCtrl().GetButtonCount();
  if (index < 0 || index > count) index = count;
  CRect r;
  control->GetWindowRect(&r);
  TBBUTTON sep{};
  sep.iBitmap = r.Width();
  sep.idCommand = control->GetDlgCtrlID();
  sep.fsState = 0;
  sep.fsStyle = TBSTYLE_SEP;
  sep.dwData = 1;
  sep.iString = -1;
  if (!GetToolBarCtrl().InsertButton(index, &sep)) return false;
  m_layoutPending = true;
  return true;
}

LRESULT CToolBarXP::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT r = CToolBar::DefWindowProc(message, wParam, lParam);
  // Hosted controls take no room in a vertical bar.
  if (message == TB_GETBUTTON && m_orientation && lParam) {
    auto* b = reinterpret_cast<TBBUTTON*>(lParam);
    if ((b->fsStyle & TBSTYLE_SEP) && b->idCommand) {
      if (m_orientation == 1) b->fsState |= TBSTATE_HIDDEN;
      else b->fsState &= static_cast<BYTE>(~TBSTATE_HIDDEN);
    }
  }
  return r;
}

CSize CToolBarXP::CalcDynamicLayout(int nLength, DWORD nMode) {
  m_orientation = (nMode & LM_VERTDOCK) ? 1 : 2;
  const CSize size = CToolBar::CalcDynamicLayout(nLength, nMode);
  m_orientation = 0;
  if (nMode & LM_COMMIT) {
    m_layoutPending = false;
    for (int i = 0; i < GetCount(); ++i) {
      TBBUTTON b{};
      GetToolBarCtrl().GetButton(i, &b);
      if (!(b.fsStyle & TBSTYLE_SEP) || b.idCommand == 0) continue;
      CWnd* control = GetDlgItem(b.idCommand);
      if (!control) continue;
      if (nMode & LM_VERTDOCK) {
        control->ShowWindow(SW_HIDE);
        continue;
      }
      CRect r;
      GetItemRect(i, &r);
      r.DeflateRect(1, 1);
      if (b.dwData != 0 && r.Height() > 20) r.DeflateRect(0, 4);
      CRect current;
      control->GetWindowRect(&current);
      UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;
      if (current.Width() == r.Width()) flags |= SWP_NOSIZE;
      control->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), flags);
    }
  }
  return size;
}

void CToolBarXP::OnPaint() {
  if (m_layoutPending) {
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
  }
  CPaintDC paint(this);
  CMemDC dc(&paint);
  CRect clip = dc.GetRect();
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  if (m_backgroundStyle == 1) dc.FillSolidRect(clip, Adjust(face, 20, 0));
  else if (m_backgroundStyle == 2) DrawGradientRect(&dc, clip, m_colorA, m_colorB, 1);
  else dc.FillSolidRect(clip, face);
  dc.SetBkMode(TRANSPARENT);
  CPoint cursor;
  ::GetCursorPos(&cursor);
  ScreenToClient(&cursor);
  CRect client;
  GetClientRect(&client);
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  CImageList* images = ctrl.GetImageList();
  const int count = ctrl.GetButtonCount();
  const int hotItem = ctrl.GetHotItem();
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const bool leftDown = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
  int imageWidth = 16, imageHeight = 15;
  if (images) ImageList_GetIconSize(*images, &imageWidth, &imageHeight);
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    if (!ctrl.GetButton(i, &b) || (b.fsState & TBSTATE_HIDDEN)) continue;
    CRect r;
    ctrl.GetItemRect(i, &r);
    CRect meet;
    if (!meet.IntersectRect(&r, &clip)) continue;
    const bool enabled = (b.fsState & TBSTATE_ENABLED) != 0;
    const bool checked = (b.fsState & TBSTATE_CHECKED) != 0;
    const bool dropDown = (b.fsStyle & TBSTYLE_DROPDOWN) != 0;
    bool hot = i == hotItem && enabled;
    bool pressedInside = false;
    if (b.fsStyle & TBSTYLE_SEP) {
      if (b.idCommand != 0) continue;  // a hosted control draws itself
      CPen pen(PS_SOLID, 1, Adjust(face, -15, 0));
      CPen* old = dc.SelectObject(&pen);
      if (b.fsState & TBSTATE_WRAP) {
        dc.MoveTo(client.left + 2, r.bottom - 4);
        dc.LineTo(client.right - 2, r.bottom - 4);
      } else {
        const int x = (r.left + r.right) / 2 - 1;
        dc.MoveTo(x, r.top + 2);
        dc.LineTo(x, r.bottom - 2);
      }
      dc.SelectObject(old);
      continue;
    }
    const bool indeterminate = (b.fsState & TBSTATE_INDETERMINATE) != 0;
    if (indeterminate) {
      CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
      CPen* old = dc.SelectObject(&pen);
      dc.MoveTo(r.left, r.bottom - 1);
      dc.LineTo(r.left, r.top);
      dc.LineTo(r.right - 1, r.top);
      dc.LineTo(r.right - 1, r.bottom - 1);
      dc.LineTo(r.left, r.bottom - 1);
      dc.SelectObject(old);
      hot = true;
    } else if (hot || checked) {
      pressedInside = leftDown && r.PtInRect(cursor);
      CRect body = r;
      if (dropDown && pressedInside) {
        pressedInside = cursor.x < r.right - 13;
        if (pressedInside) body.right = r.right - 13;
      }
      COLORREF fill;
      if (pressedInside) fill = Adjust(highlight, 50, -50);
      else if (!hot) fill = Adjust(highlight, 80, -66);
      else if (checked) fill = Adjust(highlight, 50, -50);
      else fill = XPColorTable[6];
      CPen pen(PS_SOLID, 1, highlight);
      CBrush brush(fill);
      CPen* oldPen = dc.SelectObject(&pen);
      CBrush* oldBrush = dc.SelectObject(&brush);
      dc.Rectangle(body);
      if (dropDown) {
        if (pressedInside) {
          CBrush arrowFill(Adjust(highlight, 70, -66));
          dc.SelectObject(&arrowFill);
          dc.Rectangle(body.right - 1, r.top, r.right, r.bottom);
          dc.SelectObject(&brush);
        } else {
          dc.MoveTo(r.right - 14, r.top);
          dc.LineTo(r.right - 14, r.bottom);
        }
      }
      dc.SelectObject(oldBrush);
      dc.SelectObject(oldPen);
    }
    if (dropDown) {
      const COLORREF arrow = (hot && !indeterminate) ? RGB(0, 0, 0)
                             : enabled                ? ::GetSysColor(COLOR_BTNTEXT)
                                                      : ::GetSysColor(COLOR_GRAYTEXT);
      CPen pen(PS_SOLID, 1, arrow);
      CPen* old = dc.SelectObject(&pen);
      const int m = (r.top + r.bottom) / 2;
      dc.MoveTo(r.right - 9, m - 1);
      dc.LineTo(r.right - 4, m - 1);
      dc.MoveTo(r.right - 8, m);
      dc.LineTo(r.right - 5, m);
      dc.SetPixel(r.right - 7, m + 1, arrow);
      dc.SelectObject(old);
    }
    if (b.iBitmap < 0 || !images) continue;
    if (!enabled || (hot && !pressedInside)) {
      const int s = hot ? 1 : 0;
      const COLORREF shade = (hot && indeterminate) ? Adjust(face, -20, 0)
                             : hot                  ? Adjust(highlight, 50, -66)
                                                    : Adjust(face, -27, 0);
      if (HICON icon = ImageList_GetIcon(*images, b.iBitmap, 0)) {
        CBrush brush(shade);
        dc.DrawState(CPoint(r.left + 3 + s, r.top + 3 + s), CSize(imageWidth, imageHeight), icon, DSS_MONO, &brush);
        ::DestroyIcon(icon);
      }
    }
    if (enabled) {
      const int offset = (hot && !pressedInside) ? 2 : 3;
      images->Draw(&dc, b.iBitmap, CPoint(r.left + offset, r.top + offset), ILD_TRANSPARENT);
    }
  }
}

// ---- CAppToolbar ----

BEGIN_MESSAGE_MAP(CAppToolbar, CToolBarXP)
  ON_CBN_SELENDOK(IDC_ZOOM_COMBO, OnZoomSelEndOk)
  ON_CBN_SETFOCUS(IDC_ZOOM_COMBO, OnZoomSetFocus)
  ON_CBN_KILLFOCUS(IDC_ZOOM_COMBO, OnZoomKillFocus)
END_MESSAGE_MAP()

CAppToolbar::CAppToolbar() : CToolBarXP(1, 0, 0) {}

CAppToolbar::~CAppToolbar() = default;

bool CAppToolbar::CreateZoomCombo() {
  if (!m_zoomFont.m_hObject) {
    CLogFont lf;
    lf.SetFaceName("MS Sans Serif");
    lf.lfHeight = 10;
    if (!m_zoomFont.CreateFontIndirect(&lf)) return false;
  }
  CRect r;
  GetToolBarCtrl().GetItemRect(kZoomIndex, &r);
  const int left = r.left;
  if (m_zoom.m_hWnd) m_zoom.DestroyWindow();
  if (!m_zoom.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN,
                     CRect(left, 5, left + kZoomWidth, 405), this, IDC_ZOOM_COMBO))
    return false;
  InsertControl(kZoomIndex, &m_zoom);
  m_zoom.SetFont(&m_zoomFont);
  FillZoomList();
  return true;
}

void CAppToolbar::FillZoomList() {
  static const int zooms[] = {10, 25, 50, 75, 100, 125, 150, 200, 250, 300, 400, 500, 800, 1600};
  m_zoom.ResetContent();
  for (int z : zooms) {
    CString text;
    text.Format("%u%%", static_cast<unsigned>(z));
    const int i = m_zoom.AddString(text);
    m_zoom.SetItemData(i, static_cast<DWORD_PTR>(z));
  }
  const int fit = m_zoom.AddString(LoadResString(IDS_ZOOM_FIT));
  m_zoom.SetItemData(fit, static_cast<DWORD_PTR>(-1));
  m_zoom.SetCurSel(4);
  // The list is as wide as its widest entry: the fit entry is longer than
  // the box.
  CClientDC dc(&m_zoom);
  CFont* old = dc.SelectObject(&m_zoomFont);
  int widest = 0;
  for (int i = 0; i < m_zoom.GetCount(); ++i) {
    CString text;
    m_zoom.GetLBText(i, text);
    widest = std::max(widest, static_cast<int>(dc.GetTextExtent(text).cx));
  }
  dc.SelectObject(old);
  m_zoom.SetDroppedWidth(static_cast<UINT>(std::max(kZoomWidth, widest + 12)));
}

long long CAppToolbar::LeadingNumber(const CString& text) {
  // A long run of digits saturates: it is simply too big.
  long long number = 0;
  for (int i = 0; i < text.GetLength() && text[i] >= '0' && text[i] <= '9'; ++i)
    number = std::min<long long>(number * 10 + (text[i] - '0'), 1000000);
  return number;
}

bool CAppToolbar::ParseZoomText(CString& text, int& value) {
  const long long number = LeadingNumber(text);
  if (number < 5 || number > 3000) {
    CTabView* view = nullptr;
    if (IMainFrame* frame = GetIMainFrame()) view = frame->GetTabView();
    if (view && view->GetPatternZoom() > 0) text.Format("%d%%", view->GetPatternZoom());
    return false;
  }
  value = static_cast<int>(number);
  text.Format("%d%%", value);
  return true;
}

void CAppToolbar::SetZoomText(int percent) {
  if (!m_zoom.m_hWnd) return;
  CString text;
  m_zoom.GetWindowText(text);
  const long long number = LeadingNumber(text);
  if (number < 5 || number > 3000 || number != percent) {
    CString s;
    s.Format("%d%%", percent);
    m_zoom.SetWindowText(s);
  }
}

void CAppToolbar::FocusView() {
  if (IMainFrame* frame = GetIMainFrame())
    if (CTabView* view = frame->GetTabView()) view->SetFocus();
}

BOOL CAppToolbar::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && m_zoom.m_hWnd) {
    CString text;
    m_zoom.GetWindowText(text);
    int value = 0;
    if (ParseZoomText(text, value)) {
      CTabView* view = nullptr;
      if (IMainFrame* frame = GetIMainFrame()) view = frame->GetTabView();
      if (view && view->GetPatternView()) {
        view->SetPatternZoom(value);
        NotifyTabViewSizeChanged();
        FocusView();
      }
    }
    m_zoom.SetWindowText(text);
  }
  return CToolBarXP::PreTranslateMessage(pMsg);
}

void CAppToolbar::OnZoomSelEndOk() {
  const int sel = m_zoom.GetCurSel();
  if (sel < 0) return;
  CTabView* view = nullptr;
  if (IMainFrame* frame = GetIMainFrame()) view = frame->GetTabView();
  if (!view || !view->GetPatternView()) return;
  const int data = static_cast<int>(m_zoom.GetItemData(sel));
  if (data == -1) {
    if (!view->IsPatternFitToWindow()) view->FitPatternToWindow();
  } else {
    view->SetPatternZoom(data);
  }
  NotifyTabViewSizeChanged();
  FocusView();
}

bool CAppToolbar::LoadEffectIcons(CImageList* list) {
  static const UINT icons[] = {IDI_EFFECT_ROUND, IDI_EFFECT_CIRCLE, IDI_EFFECT_CYLINDER, IDI_EFFECT_ROUND_RECT};
  for (int effect = 0; effect < 4; ++effect) {
    HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(icons[effect]));
    if (!icon) return false;
    const int index = list->Add(icon);
    ::DestroyIcon(icon);
    if (index < 0) return false;
    m_effectImages[effect] = index;
  }
  return true;
}

int CAppToolbar::GetEffectImage(int effect) const {
  const auto it = m_effectImages.find(effect);
  return it == m_effectImages.end() ? -1 : it->second;
}

void CAppToolbar::SetEffectImage(int effect) {
  const auto it = m_effectImages.find(effect);
  if (it == m_effectImages.end()) return;
  const int index = CommandToIndex(ID_BEAD_EFFECT);
  if (index < 0) return;
  UINT id = 0, style = 0;
  int image = 0;
  GetButtonInfo(index, id, style, image);
  if (image != it->second) SetButtonInfo(index, id, style, it->second);
}

CRect CAppToolbar::GetEffectButtonRect() const {
  CRect r;
  const int index = CommandToIndex(ID_BEAD_EFFECT);
  if (index >= 0) GetItemRect(index, &r);
  return r;
}
