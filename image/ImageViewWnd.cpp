// The picture view bound to a scrolling view of the window layer.
#include "image/ImageView.h"
#include "platform/wnd.h"

CRect CScrollViewImageOwner::GetOwnerClientRect() {
  CRect r(0, 0, 0, 0);
  if (m_view && m_view->GetSafeHwnd()) m_view->GetClientRect(&r);
  return r;
}

CPoint CScrollViewImageOwner::GetOwnerScrollPosition() {
  return m_view && m_view->GetSafeHwnd() ? m_view->GetScrollPosition() : CPoint(0, 0);
}

void CScrollViewImageOwner::SetOwnerScrollSizes(int mapMode, SIZE total) {
  if (m_view && m_view->GetSafeHwnd()) m_view->SetScrollSizes(mapMode, total);
}

CDC* CScrollViewImageOwner::GetOwnerDC() { return m_view && m_view->GetSafeHwnd() ? m_view->GetDC() : nullptr; }

void CScrollViewImageOwner::ReleaseOwnerDC(CDC* dc) {
  if (m_view && dc) m_view->ReleaseDC(dc);
}

void CScrollViewImageOwner::InvalidateOwner(bool erase) {
  if (m_view && m_view->GetSafeHwnd()) m_view->Invalidate(erase ? TRUE : FALSE);
}

CImageView::CImageView(CScrollView* owner)
    : m_viewOwner(std::make_unique<CScrollViewImageOwner>(owner)), m_owner(m_viewOwner.get()) {}

CImageView::CImageView(CScrollView* owner, HBITMAP bitmap, bool fitToWindow)
    : CImage(bitmap), m_viewOwner(std::make_unique<CScrollViewImageOwner>(owner)), m_owner(m_viewOwner.get()),
      m_fit(fitToWindow) {}

CImageView::CImageView(CScrollView* owner, CByteStream& stream, bool& ok)
    : CImage(stream, ok), m_viewOwner(std::make_unique<CScrollViewImageOwner>(owner)), m_owner(m_viewOwner.get()) {}

CImageView::CImageView(CScrollView* owner, const char* path, bool& ok, int type, IProgress* progress)
    : CImage(path, ok, type, progress),
      m_viewOwner(std::make_unique<CScrollViewImageOwner>(owner)),
      m_owner(m_viewOwner.get()) {}
