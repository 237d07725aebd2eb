#include "view/RulerBar.h"

#include "controls/AdjustButton.h"
#include "core/FrameServices.h"
#include "lang/ids/shell.h"
#include "settings/AppSettings.h"

BEGIN_MESSAGE_MAP(CRulerBar, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CRulerBar::CRulerBar(bool horizontal) : m_horizontal(horizontal), m_units(GetAppSettings().m_rulerUnits) {}

CRulerBar::~CRulerBar() {
  m_corner.reset();
  if (m_hWnd) DestroyWindow();
}

bool CRulerBar::Create(CWnd* parent) {
  m_units = GetAppSettings().m_rulerUnits;
  const CString cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
  const CRect r(0, 0, m_horizontal ? 100 : kThickness, m_horizontal ? kThickness + 2 : 100);
  if (!CreateEx(0, cls, nullptr, WS_CHILD | WS_VISIBLE, r, parent, m_horizontal ? 1 : 2)) return false;
  if (m_horizontal) {
    auto button = std::make_unique<CAdjustButton>(IDI_RULER_ADJUST, 8, 13);
    if (!button->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 3, 8, 16), this, kCornerButtonId))
      return false;
    m_corner = std::move(button);
    m_tip.Create(this);
    m_tip.AddTool(m_corner.get(), LoadResString(IDS_RULER_ADJUST_TIP));
  }
  return true;
}

BOOL CRulerBar::PreTranslateMessage(MSG* pMsg) {
  if (m_tip.m_hWnd) m_tip.RelayEvent(pMsg);
  return CWnd::PreTranslateMessage(pMsg);
}

void CRulerBar::SetUnits(int units) {
  if (units == m_units) return;
  m_units = units;
  if (m_hWnd) Invalidate();
}

BOOL CRulerBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kCornerButtonId && HIWORD(wParam) == BN_CLICKED) {
    if (IFrameServices* frame = GetFrameServices()) frame->RefitPanes();
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

void CRulerBar::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  dc.FillSolidRect(r, RGB(250, 248, 236));
  CPen pen(PS_SOLID, 1, RGB(96, 96, 96));
  CPen* old = dc.SelectObject(&pen);
  // Ticks every 10 pixels, longer every 50.
  const int length = m_horizontal ? r.Width() : r.Height();
  for (int p = 0; p < length; p += 10) {
    const int tick = p % 50 == 0 ? 8 : 4;
    if (m_horizontal) {
      dc.MoveTo(p, r.bottom - 1);
      dc.LineTo(p, r.bottom - 1 - tick);
    } else {
      dc.MoveTo(r.right - 1, p);
      dc.LineTo(r.right - 1 - tick, p);
    }
  }
  if (m_horizontal) {
    dc.MoveTo(r.left, r.bottom - 1);
    dc.LineTo(r.right, r.bottom - 1);
  } else {
    dc.MoveTo(r.right - 1, r.top);
    dc.LineTo(r.right - 1, r.bottom);
  }
  dc.SelectObject(old);
}
