// CImageView: a picture painted into a scrolling window at a zoom or fitted
// to the window, through a cached reduced copy when it is shown smaller
// than its size.
#include "image/ImageView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/TextUtils.h"

CImageView::CImageView(IImageViewOwner* owner) : m_owner(owner) {}

CImageView::CImageView(IImageViewOwner* owner, HBITMAP bitmap, bool fitToWindow)
    : CImage(bitmap), m_owner(owner), m_fit(fitToWindow) {}

CImageView::CImageView(IImageViewOwner* owner, CByteStream& stream, bool& ok) : CImage(stream, ok), m_owner(owner) {}

CImageView::CImageView(IImageViewOwner* owner, const char* path, bool& ok, int type, IProgress* progress)
    : CImage(path, ok, type, progress), m_owner(owner) {}

CImageView::~CImageView() {
  if (m_cached) DeleteObject(m_cached);
  m_cached = nullptr;
}

void CImageView::OnAfterPaint(CDC*) {}

void CImageView::ReleaseOwnerDC(CDC* dc) {
  if (dc && m_owner) m_owner->ReleaseOwnerDC(dc);
}

void CImageView::Finish(CDC* dc, bool release, CDC** dcOut) {
  OnAfterPaint(dc);
  if (release || !dcOut) {
    ReleaseOwnerDC(dc);
    if (dcOut) *dcOut = nullptr;
  } else {
    *dcOut = dc;
  }
}

int CImageView::FitZoom(const CRect& client) const {
  const int w = GetWidth();
  if (w <= 0) return m_zoom;
  return GetFitSize(client).cx * 100 / w;
}

void CImageView::SetFitToWindow(bool fit, bool repaint) {
  m_fit = fit;
  if (fit) {
    if (m_owner) m_owner->SetOwnerScrollSizes(MM_TEXT, CSize(0, 0));
    const int w = GetWidth();
    m_zoom = w > 0 ? RoundToInt(100.0 * GetDrawnRect().Width() / w) : 100;
  } else {
    m_zoom = 100;
  }
  if (repaint && m_owner) m_owner->InvalidateOwner(true);
}

void CImageView::SetZoom(int percent, bool repaint, bool erase) {
  m_fit = false;
  m_zoom = percent;
  if (repaint && m_owner) m_owner->InvalidateOwner(erase);
}

int CImageView::GetZoom() {
  if (m_zoom == 0 && m_owner) {
    const CRect client = m_owner->GetOwnerClientRect();
    const int w = GetWidth(), h = GetHeight();
    if (!client.IsRectEmpty() && w > 0 && h > 0)
      m_zoom = RoundToInt(std::min(client.Width() * 100.0 / w, client.Height() * 100.0 / h));
  }
  return m_zoom;
}

CSize CImageView::GetPaintTarget(const CRect& client) {
  const int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0) return CSize(0, 0);
  if (m_fit) {
    if (client.Width() <= 0 || client.Height() <= 0) return CSize(0, 0);
    const double f1 = static_cast<double>(client.Width()) / w;
    const float f2 = static_cast<float>(client.Height()) / static_cast<float>(h);
    const double f = std::min(f1, static_cast<double>(f2));
    return CSize(static_cast<int>(std::trunc(f * w)), static_cast<int>(std::trunc(f * h)));
  }
  const std::int64_t zoom = GetZoom();
  return CSize(static_cast<int>(std::clamp<std::int64_t>(w * zoom / 100, 0, INT32_MAX)),
               static_cast<int>(std::clamp<std::int64_t>(h * zoom / 100, 0, INT32_MAX)));
}

bool CImageView::Paint(CDC* ignored, bool release, CDC** dcOut) {
  if (dcOut) *dcOut = nullptr;
  if (!m_owner || !IsValid()) return false;
  const int w = GetWidth(), h = GetHeight();
  const CSize target = GetPaintTarget(m_owner->GetOwnerClientRect());
  if (target.cx >= w && target.cy >= h) return PaintDirect(ignored, release, dcOut);
  if (target.cx <= 0 || target.cy <= 0) return false;
  if (m_cached && std::abs(m_cachedWidth - target.cx) <= 1 && std::abs(m_cachedHeight - target.cy) <= 1)
    return PaintScaledBitmap(m_cached, m_cachedWidth, m_cachedHeight, release, dcOut);
  const float factor = std::min(static_cast<float>(target.cx) / static_cast<float>(w),
                                static_cast<float>(target.cy) / static_cast<float>(h));
  const int newWidth = static_cast<int>(std::trunc(static_cast<float>(w) * factor));
  const int newHeight = static_cast<int>(std::trunc(static_cast<float>(h) * factor));
  std::unique_ptr<CSafeBitmap> bitmap = ToBitmap();
  if (!bitmap) return false;
  if (m_cached) DeleteObject(m_cached);
  m_cached = ScaleBitmap(static_cast<HBITMAP>(bitmap->GetSafeHandle()), newWidth, newHeight);
  m_cachedWidth = m_cached ? newWidth : 0;
  m_cachedHeight = m_cached ? newHeight : 0;
  if (!m_cached) return false;
  return PaintScaledBitmap(m_cached, m_cachedWidth, m_cachedHeight, release, dcOut);
}

CDC* CImageView::OwnerDCWithPalette() {
  CDC* dc = m_owner->GetOwnerDC();
  if (!dc) return nullptr;
  CImagePalette* palette = GetPalette();
  if (palette && palette->GetSafeHandle()) {
    dc->SelectPalette(palette, FALSE);
    dc->RealizePalette();
  }
  return dc;
}

bool CImageView::PaintDirect(CDC*, bool release, CDC** dcOut) {
  if (dcOut) *dcOut = nullptr;
  if (!m_owner) return false;
  const CPoint scroll = m_owner->GetOwnerScrollPosition();
  const CRect client = m_owner->GetOwnerClientRect();
  const int zoom = GetZoom();
  const int zw = static_cast<int>(static_cast<std::int64_t>(GetWidth()) * zoom / 100);
  const int zh = static_cast<int>(static_cast<std::int64_t>(GetHeight()) * zoom / 100);
  const int x = client.Width() < zw ? -scroll.x : (client.Width() - zw) / 2;
  const int y = client.Height() < zh ? -scroll.y : (client.Height() - zh) / 2;
  CDC* dc = OwnerDCWithPalette();
  if (!dc) return false;
  bool ok;
  if (m_fit) {
    m_zoom = FitZoom(client);
    ok = DrawFit(dc, client);
  } else {
    m_origin = CPoint(x, y);
    m_owner->SetOwnerScrollSizes(MM_TEXT, CSize(zw, zh));
    ok = DrawZoomedPercent(dc, x, y, zoom);
  }
  Finish(dc, release, dcOut);
  return ok;
}

bool CImageView::PaintScaledBitmap(HBITMAP bitmap, int width, int height, bool release, CDC** dcOut) {
  if (dcOut) *dcOut = nullptr;
  if (!m_owner || !bitmap) return false;
  const CPoint scroll = m_owner->GetOwnerScrollPosition();
  const CRect client = m_owner->GetOwnerClientRect();
  const int x = client.Width() >= width ? (client.Width() - width) / 2 : -scroll.x;
  const int y = client.Height() >= height ? (client.Height() - height) / 2 : -scroll.y;
  CDC* dc = OwnerDCWithPalette();
  if (!dc) return false;
  if (m_fit) m_zoom = FitZoom(client);
  m_origin = CPoint(x, y);
  m_owner->SetOwnerScrollSizes(MM_TEXT, CSize(width, height));
  HDC mem = CreateCompatibleDC(dc->GetSafeHdc());
  bool ok = false;
  if (mem) {
    SetMapMode(mem, dc->GetMapMode());
    HGDIOBJ old = SelectObject(mem, bitmap);
    ok = BitBlt(dc->GetSafeHdc(), x, y, width, height, mem, 0, 0, SRCCOPY) != 0;
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  SetDrawnRect(CRect(x, y, x + width, y + height));
  Finish(dc, release, dcOut);
  return ok;
}
