// The splitter window.
#include <QWidget>

#include <algorithm>

#include "platform/gdi/afxgdi.h"
#include "platform/wnd/internal.h"
#include "platform/wnd/splitter.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_SETCURSOR()
  ON_WM_CANCELMODE()
END_MESSAGE_MAP()

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() {
  if (auto* w = static_cast<QWidget*>(m_pTrackerWidget)) {
    m_pTrackerWidget = nullptr;
    delete w;
  }
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID) {
  if (!pParentWnd || nRows < 1 || nCols < 1 || nRows > 16 || nCols > 16) return FALSE;
  m_nRows = nRows;
  m_nCols = nCols;
  m_pRowInfo.assign(static_cast<size_t>(nRows), CRowColInfo{});
  m_pColInfo.assign(static_cast<size_t>(nCols), CRowColInfo{});
  CRect rc;
  pParentWnd->GetClientRect(&rc);
  return CreateEx(0, AFX_WND, nullptr, dwStyle | WS_CHILD | WS_CLIPCHILDREN, rc, pParentWnd, nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext) {
  if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || !pViewClass || GetPane(row, col)) return FALSE;
  CObject* obj = pViewClass->CreateObject();
  CWnd* wnd = dynamic_cast<CWnd*>(obj);
  if (!wnd) {
    delete obj;
    return FALSE;
  }
  const CRect rect(CPoint(0, 0), sizeInit);
  if (!wnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, this, static_cast<UINT>(IdFromRowCol(row, col)),
                   pContext)) {
    return FALSE;  // the view deleted itself
  }
  m_pColInfo[static_cast<size_t>(col)].nIdealSize = sizeInit.cx;
  m_pRowInfo[static_cast<size_t>(row)].nIdealSize = sizeInit.cy;
  return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const {
  const CRowColInfo& i = m_pRowInfo.at(static_cast<size_t>(row));
  cyCur = i.nCurSize;
  cyMin = i.nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin) {
  CRowColInfo& i = m_pRowInfo.at(static_cast<size_t>(row));
  i.nIdealSize = cyIdeal;
  i.nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
  const CRowColInfo& i = m_pColInfo.at(static_cast<size_t>(col));
  cxCur = i.nCurSize;
  cxMin = i.nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin) {
  CRowColInfo& i = m_pColInfo.at(static_cast<size_t>(col));
  i.nIdealSize = cxIdeal;
  i.nMinSize = cxMin;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
  HWND h = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
  return h ? FromHandle(h) : nullptr;
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol) {
  if (!pWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd) return FALSE;
  const int id = pWnd->GetDlgCtrlID() - static_cast<int>(AFX_IDW_PANE_FIRST);
  if (id < 0 || id / 16 >= m_nRows || id % 16 >= m_nCols) return FALSE;
  if (pRow) *pRow = id / 16;
  if (pCol) *pCol = id % 16;
  return TRUE;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol) {
  CWnd* focus = GetFocus();
  for (CWnd* w = focus; w; w = w->GetParent())
    if (IsChildPane(w, pRow, pCol)) return w;
  return nullptr;
}

CRect CSplitterWnd::PaneRect(int row, int col) const {
  int x = m_cxBorder;
  for (int c = 0; c < col; ++c) x += m_pColInfo[static_cast<size_t>(c)].nCurSize + m_cxSplitterGap;
  int y = m_cyBorder;
  for (int r = 0; r < row; ++r) y += m_pRowInfo[static_cast<size_t>(r)].nCurSize + m_cySplitterGap;
  return CRect(x, y, x + m_pColInfo[static_cast<size_t>(col)].nCurSize, y + m_pRowInfo[static_cast<size_t>(row)].nCurSize);
}

CRect CSplitterWnd::BarRect(int ht) const {
  CRect client;
  GetClientRect(&client);
  if (ht >= vSplitterBar1 && ht < vSplitterBar1 + m_nCols - 1) {
    const CRect p = PaneRect(0, ht - vSplitterBar1);
    return CRect(p.right + m_cxBorder, 0, p.right + m_cxSplitterGap - m_cxBorder, client.bottom);
  }
  if (ht >= hSplitterBar1 && ht < hSplitterBar1 + m_nRows - 1) {
    const CRect p = PaneRect(ht - hSplitterBar1, 0);
    return CRect(0, p.bottom + m_cyBorder, client.right, p.bottom + m_cySplitterGap - m_cyBorder);
  }
  return CRect();
}

void CSplitterWnd::RecalcLayout() {
  if (!m_hWnd || m_nRows == 0 || m_nCols == 0) return;
  CRect client;
  GetClientRect(&client);
  auto lay = [](std::vector<CRowColInfo>& info, int total, int border, int gap) {
    int avail = total - 2 * border - gap * static_cast<int>(info.size() - 1);
    for (size_t i = 0; i + 1 < info.size(); ++i) {
      int s = std::clamp(info[i].nIdealSize, 0, std::max(0, avail));
      if (s < info[i].nMinSize) s = 0;
      info[i].nCurSize = s;
      avail -= s;
    }
    info.back().nCurSize = std::max(0, avail);
  };
  lay(m_pColInfo, client.Width(), m_cxBorder, m_cxSplitterGap);
  lay(m_pRowInfo, client.Height(), m_cyBorder, m_cySplitterGap);
  for (int r = 0; r < m_nRows; ++r)
    for (int c = 0; c < m_nCols; ++c)
      if (CWnd* pane = GetPane(r, c)) {
        const CRect p = PaneRect(r, c);
        pane->SetWindowPos(nullptr, p.left, p.top, p.Width(), p.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
      }
  Invalidate(TRUE);
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0) RecalcLayout();
}

BOOL CSplitterWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CSplitterWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  OnDrawSplitter(&dc, splitBorder, client);
  for (int r = 0; r < m_nRows; ++r)
    for (int c = 0; c < m_nCols; ++c) {
      CRect p = PaneRect(r, c);
      p.InflateRect(m_cxBorder, m_cyBorder);
      ::DrawEdge(dc.m_hDC, &p, EDGE_SUNKEN, BF_RECT);
    }
  for (int c = 0; c + 1 < m_nCols; ++c) OnDrawSplitter(&dc, splitBar, BarRect(vSplitterBar1 + c));
  for (int r = 0; r + 1 < m_nRows; ++r) OnDrawSplitter(&dc, splitBar, BarRect(hSplitterBar1 + r));
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) {
  if (!pDC) return;
  switch (nType) {
    case splitBorder:
      ::FillRect(pDC->m_hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
      break;
    case splitBar: {
      ::FillRect(pDC->m_hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
      RECT r = rect;
      ::DrawEdge(pDC->m_hDC, &r, BDR_RAISEDINNER, BF_RECT);
      break;
    }
    default:
      break;
  }
}

int CSplitterWnd::HitTest(CPoint pt) const {
  for (int c = 0; c + 1 < m_nCols; ++c) {
    CRect b = BarRect(vSplitterBar1 + c);
    b.InflateRect(m_cxBorder, 0);
    if (b.PtInRect(pt)) return vSplitterBar1 + c;
  }
  for (int r = 0; r + 1 < m_nRows; ++r) {
    CRect b = BarRect(hSplitterBar1 + r);
    b.InflateRect(0, m_cyBorder);
    if (b.PtInRect(pt)) return hSplitterBar1 + r;
  }
  return noHit;
}

void CSplitterWnd::StartTracking(int ht) {
  if (ht == noHit) return;
  m_htTrack = ht;
  m_rectTracker = BarRect(ht);
  CRect client;
  GetClientRect(&client);
  m_rectLimit = client;
  if (ht >= vSplitterBar1 && ht < hSplitterBar1) {
    const int col = ht - vSplitterBar1;
    const CRect left = PaneRect(0, col);
    m_rectLimit.left = left.left + m_pColInfo[static_cast<size_t>(col)].nMinSize;
    m_rectLimit.right = client.right - m_cxSplitterGap;
  } else {
    const int row = ht - hSplitterBar1;
    const CRect top = PaneRect(row, 0);
    m_rectLimit.top = top.top + m_pRowInfo[static_cast<size_t>(row)].nMinSize;
    m_rectLimit.bottom = client.bottom - m_cySplitterGap;
  }
  SetCapture();
  m_bTracking = TRUE;
  OnInvertTracker(m_rectTracker);
}

void CSplitterWnd::StopTracking(BOOL bAccept) {
  if (!m_bTracking) return;
  OnInvertTracker(m_rectTracker);
  m_bTracking = FALSE;
  if (GetCapture() == this) ReleaseCapture();
  if (!bAccept) return;
  if (m_htTrack >= vSplitterBar1 && m_htTrack < hSplitterBar1) {
    TrackColumnSize(m_rectTracker.left - m_cxBorder, m_htTrack - vSplitterBar1);
  } else if (m_htTrack >= hSplitterBar1) {
    TrackRowSize(m_rectTracker.top - m_cyBorder, m_htTrack - hSplitterBar1);
  }
  RecalcLayout();
}

void CSplitterWnd::TrackColumnSize(int x, int col) {
  const CRect p = PaneRect(0, col);
  int size = x - p.left;
  if (size < m_pColInfo[static_cast<size_t>(col)].nMinSize) size = 0;
  m_pColInfo[static_cast<size_t>(col)].nIdealSize = std::max(0, size);
}

void CSplitterWnd::TrackRowSize(int y, int row) {
  const CRect p = PaneRect(row, 0);
  int size = y - p.top;
  if (size < m_pRowInfo[static_cast<size_t>(row)].nMinSize) size = 0;
  m_pRowInfo[static_cast<size_t>(row)].nIdealSize = std::max(0, size);
}

void CSplitterWnd::OnInvertTracker(const CRect& rect) {
  // The tracker is shown above the panes: a dark bar that the same call
  // takes away again, as inverting twice would.
  QWidget* host = QmWidgetOf(m_hWnd);
  if (!host) return;
  auto* bar = static_cast<QWidget*>(m_pTrackerWidget);
  if (!bar) {
    bar = new QWidget(host);
    bar->setAttribute(Qt::WA_TransparentForMouseEvents);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    bar->setPalette(pal);
    bar->hide();
    m_pTrackerWidget = bar;
    QObject::connect(bar, &QObject::destroyed, bar, [this] { m_pTrackerWidget = nullptr; });
  }
  RECT cr;
  ::GetClientRect(m_hWnd, &cr);
  POINT o{0, 0};
  ::ClientToScreen(m_hWnd, &o);
  const QPoint originInWidget = host->mapFromGlobal(QPoint(o.x, o.y));
  const QRect r(originInWidget.x() + rect.left, originInWidget.y() + rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
  if (bar->isVisible() && bar->geometry() == r) {
    bar->hide();
  } else {
    bar->setGeometry(r);
    bar->raise();
    bar->show();
  }
}

void CSplitterWnd::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_bTracking) return;
  const int ht = HitTest(point);
  if (ht == noHit) {
    CWnd::OnLButtonDown(nFlags, point);
    return;
  }
  const CRect b = BarRect(ht);
  m_ptTrackOffset = CPoint(point.x - b.left, point.y - b.top);
  StartTracking(ht);
}

void CSplitterWnd::OnMouseMove(UINT nFlags, CPoint point) {
  if (!m_bTracking) {
    CWnd::OnMouseMove(nFlags, point);
    return;
  }
  CRect r = m_rectTracker;
  if (m_htTrack >= vSplitterBar1 && m_htTrack < hSplitterBar1) {
    const int x = std::clamp<int>(point.x - m_ptTrackOffset.x, m_rectLimit.left, std::max(m_rectLimit.left, m_rectLimit.right));
    r.MoveToX(x);
  } else {
    const int y = std::clamp<int>(point.y - m_ptTrackOffset.y, m_rectLimit.top, std::max(m_rectLimit.top, m_rectLimit.bottom));
    r.MoveToY(y);
  }
  if (r != m_rectTracker) {
    OnInvertTracker(m_rectTracker);
    m_rectTracker = r;
    OnInvertTracker(m_rectTracker);
  }
}

void CSplitterWnd::OnLButtonUp(UINT nFlags, CPoint point) {
  if (m_bTracking) StopTracking(TRUE);
  else CWnd::OnLButtonUp(nFlags, point);
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (pWnd == this && nHitTest == HTCLIENT) {
    POINT p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    const int ht = m_bTracking ? m_htTrack : HitTest(CPoint(p));
    if (ht != noHit) {
      ::SetCursor(LoadCursor(nullptr, ht >= hSplitterBar1 ? IDC_SIZENS : IDC_SIZEWE));
      return TRUE;
    }
  }
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnCancelMode() {
  StopTracking(FALSE);
  CWnd::OnCancelMode();
}
