#include "dialogs/LayerView.h"

#include <algorithm>

#include "image/Image.h"
#include "lang/ids/tooldlg2.h"
#include "platform/wnd/layered.h"
#include "view/PatternRender.h"
#include "view/TabView.h"

BEGIN_MESSAGE_MAP(CLayerView, CDialog)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_RBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
END_MESSAGE_MAP()

CLayerView::CLayerView(HBITMAP bitmap, BYTE alpha, CTabView* view, CWnd* parent)
    : CDialog(IDD_LAYER_VIEW, parent), m_bitmap(bitmap), m_startAlpha(alpha), m_view(view) {}

CLayerView::~CLayerView() = default;

ILayerOverlay* CLayerView::CreateOverlay(HBITMAP bitmap, BYTE alpha, CWnd*, CTabView* view) {
  if (!view || !view->GetSafeHwnd() || !bitmap) return nullptr;
  auto layer = std::make_unique<CLayerView>(bitmap, alpha, view, view);
  if (!layer->Create(IDD_LAYER_VIEW, view)) return nullptr;
  if (!layer->m_picture) {
    layer->DestroyWindow();
    return nullptr;
  }
  layer->ShowWindow(SW_SHOWNA);
  return layer.release();
}

BOOL CLayerView::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_view->GetSafeHwnd()) m_view->UpdateWindow();
  if (m_bitmap) {
    m_picture = std::make_unique<CImage>(m_bitmap);
  } else if (!m_path.IsEmpty()) {
    bool ok = false;
    m_picture = std::make_unique<CImage>(m_path, ok);
    if (!ok) m_picture.reset();
  }
  if (m_picture && m_picture->GetWidth() <= 0) m_picture.reset();
  ResetPlacement();
  FitToViewImage();
  SetAlpha(m_startAlpha);
  return FALSE;
}

void CLayerView::SetAlpha(BYTE alpha) {
  if (SetWindowAlpha(m_hWnd, alpha)) m_alpha = alpha;
}

CRect CLayerView::ComputePlacement(const CRect& client, const CRect& drawn) {
  CRect out;
  out.left = std::max(client.left, client.left + drawn.left);
  out.top = std::max(client.top, client.top + drawn.top);
  out.right = drawn.Width() < client.Width() - std::max(0, drawn.left) ? client.left + drawn.right : client.right;
  out.bottom = drawn.Height() < client.Height() - std::max(0, drawn.top) ? client.top + drawn.bottom : client.bottom;
  out.right = std::min(out.right, client.right);
  out.bottom = std::min(out.bottom, client.bottom);
  return out;
}

void CLayerView::FitToViewImage() {
  if (!m_view || !m_view->GetSafeHwnd() || !GetSafeHwnd()) return;
  CPatternImageView* pattern = m_view->GetPatternView();
  if (!pattern) return;
  CRect client;
  m_view->GetClientRect(&client);
  const CRect place = ComputePlacement(client, pattern->GetDrawnRect());
  if (place == m_placed) return;
  m_placed = place;
  SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  Invalidate(TRUE);
}

void CLayerView::Close() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CLayerView::OnEraseBkgnd(CDC*) { return TRUE; }

void CLayerView::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, RGB(255, 255, 255));
  CPatternImageView* pattern = m_view ? m_view->GetPatternView() : nullptr;
  if (!m_picture || !pattern || m_picture->GetWidth() <= 0) return;
  const double zoom = pattern->GetDrawnRect().Width() * 100.0 / m_picture->GetWidth();
  const CPoint scroll = m_view->GetScrollPosition();
  m_picture->DrawZoomed(&dc, -scroll.x, -scroll.y, zoom);
}

void CLayerView::PassToView(UINT message, UINT flags, CPoint point) {
  if (!m_view || !m_view->GetSafeHwnd()) return;
  MapWindowPoints(m_view, &point, 1);
  m_view->SendMessage(message, flags, MAKELPARAM(point.x, point.y));
}

void CLayerView::OnMouseMove(UINT flags, CPoint point) { PassToView(WM_MOUSEMOVE, flags, point); }
void CLayerView::OnLButtonDown(UINT flags, CPoint point) { PassToView(WM_LBUTTONDOWN, flags, point); }
void CLayerView::OnLButtonUp(UINT flags, CPoint point) { PassToView(WM_LBUTTONUP, flags, point); }
void CLayerView::OnRButtonDown(UINT flags, CPoint point) { PassToView(WM_RBUTTONDOWN, flags, point); }
void CLayerView::OnLButtonDblClk(UINT flags, CPoint point) { PassToView(WM_LBUTTONDBLCLK, flags, point); }
void CLayerView::OnRButtonUp(UINT flags, CPoint point) { PassToView(WM_RBUTTONUP, flags, point); }
void CLayerView::OnRButtonDblClk(UINT flags, CPoint point) { PassToView(WM_RBUTTONDBLCLK, flags, point); }
