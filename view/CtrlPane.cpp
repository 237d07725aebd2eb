#include "view/CtrlPane.h"

#include "core/FrameServices.h"

IMPLEMENT_DYNCREATE(CCtrlPane, CView)

namespace {
const UINT g_msgFitPanes = RegisterWindowMessage("QmCtrlPaneFitPanes");
}

BEGIN_MESSAGE_MAP(CCtrlPane, CView)
  ON_WM_SIZE()
  ON_REGISTERED_MESSAGE(g_msgFitPanes, OnFitPanes)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CCtrlPane::CCtrlPane() = default;
CCtrlPane::~CCtrlPane() = default;

void CCtrlPane::OnDraw(CDC* pDC) {
  CRect r;
  GetClientRect(&r);
  pDC->FillSolidRect(r, ::GetSysColor(COLOR_BTNFACE));
}

BOOL CCtrlPane::OnEraseBkgnd(CDC* pDC) {
  CRect r;
  GetClientRect(&r);
  pDC->FillSolidRect(r, ::GetSysColor(COLOR_BTNFACE));
  return TRUE;
}

void CCtrlPane::GetIdealSize(CSize& size) const { size = CSize(kIdealWidth, 0); }

void CCtrlPane::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  // The splitter gets its fitted width when the pane is first laid out,
  // once the layout that sized it has finished.
  if (!m_fitted && cy > 0) {
    m_fitted = true;
    PostMessage(g_msgFitPanes);
  }
}

LRESULT CCtrlPane::OnFitPanes(WPARAM, LPARAM) {
  if (IFrameServices* frame = GetFrameServices()) frame->FitPanes();
  return 0;
}
