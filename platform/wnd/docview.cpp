// Documents, views, scrolling views, frame windows and document templates.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/gdi/afxgdi.h"
#include "platform/wnd/docview.h"
#include "platform/wnd/internal.h"

// ---------------------------------------------------------------------------
// Documents.

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument() {
  for (CView* v : m_viewList) v->m_pDocument = nullptr;
  m_viewList.clear();
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle) {
  m_strTitle = lpszTitle ? lpszTitle : "";
  for (CView* v : m_viewList)
    if (CFrameWnd* f = v->GetParentFrame()) f->DelayUpdateFrameTitle();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL) {
  m_strPathName = lpszPathName ? lpszPathName : "";
  // The title is the file's name.
  std::string p = m_strPathName.str();
  const size_t slash = p.find_last_of("/\\");
  SetTitle(slash == std::string::npos ? p.c_str() : p.c_str() + slash + 1);
}

void CDocument::AddView(CView* pView) {
  if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end()) return;
  m_viewList.push_back(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
  auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
  if (it == m_viewList.end()) return;
  m_viewList.erase(it);
  pView->m_pDocument = nullptr;
  OnChangedViewList();
}

void CDocument::OnChangedViewList() {
  // A document without views closes itself (when it deletes itself).
  if (m_viewList.empty() && m_bAutoDelete) OnCloseDocument();
}

POSITION CDocument::GetFirstViewPosition() const {
  return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
  const std::uintptr_t i = reinterpret_cast<std::uintptr_t>(rPosition);
  if (i == 0 || i > m_viewList.size()) {
    rPosition = nullptr;
    return nullptr;
  }
  CView* v = m_viewList[i - 1];
  rPosition = i < m_viewList.size() ? reinterpret_cast<POSITION>(i + 1) : nullptr;
  return v;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
  const std::vector<CView*> views = m_viewList;
  for (CView* v : views)
    if (v != pSender) v->OnUpdate(pSender, lHint, pHint);
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR) {
  DeleteContents();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR) {
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::OnCloseDocument() {
  const BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // not while its views go
  while (!m_viewList.empty()) {
    CView* v = m_viewList.front();
    const HWND vh = v->m_hWnd;
    CFrameWnd* f = v->GetParentFrame();
    if (f) {
      PreCloseFrame(f);
      f->DestroyWindow();
    } else if (vh) {
      ::DestroyWindow(vh);
    }
    // A view that did not leave the list (no window) leaves it now.
    if (!m_viewList.empty() && m_viewList.front() == v) m_viewList.erase(m_viewList.begin());
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
  if (name.IsEmpty()) name = AfxLoadFrameworkString(AFX_IDS_UNTITLED);
  CString prompt;
  AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
  switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
      return FALSE;
    case IDYES:
      return OnSaveDocument(m_strPathName);
    default:
      SetModifiedFlag(FALSE);
      return TRUE;
  }
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return FALSE;
}

// ---------------------------------------------------------------------------
// Views.

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WNDFRAMEORVIEW;
  if (cs.style & WS_BORDER) {
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
  }
  return TRUE;
}

void CView::PostNcDestroy() { delete this; }

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return FALSE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  auto* context = static_cast<CCreateContext*>(lpcs ? lpcs->lpCreateParams : nullptr);
  if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  if (CFrameWnd* f = GetParentFrame(); f && f->GetActiveView() == this) f->SetActiveView(nullptr, FALSE);
  CWnd::OnDestroy();
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
  const int r = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
  if (r == MA_NOACTIVATE || r == MA_NOACTIVATEANDEAT) return r;
  if (CFrameWnd* f = GetParentFrame()) {
    if (f->GetActiveView() != this) f->SetActiveView(this);
    else if (::GetFocus() != m_hWnd) SetFocus();
  }
  return r;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnPrepareDC(CDC*, CPrintInfo*) {}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*) {
  if (bActivate && pActivateView == this && m_hWnd && ::GetFocus() != m_hWnd) SetFocus();
}

// ---------------------------------------------------------------------------
// Scrolling views.

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

CScrollView::CScrollView() = default;

namespace {
// Logical to device sizes for a map mode (96 pixels per inch).
CSize ToDevice(int mapMode, SIZE s) {
  if (mapMode == MM_TEXT || mapMode == 0) return CSize(s.cx, s.cy);
  HDC dc = CreateCompatibleDC(nullptr);
  SetMapMode(dc, mapMode);
  POINT p{s.cx, s.cy};
  LPtoDP(dc, &p, 1);
  DeleteDC(dc);
  return CSize(std::abs(p.x), std::abs(p.y));
}
}  // namespace

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine) {
  const int oldMode = m_nMapMode;
  const SIZE oldTotal = m_totalDev, oldPage = m_pageDev, oldLine = m_lineDev;
  m_nMapMode = nMapMode;
  m_totalLog = sizeTotal;
  m_totalDev = ToDevice(nMapMode, sizeTotal);
  m_pageDev = ToDevice(nMapMode, sizePage);
  m_lineDev = ToDevice(nMapMode, sizeLine);
  // Defaults: a tenth of the total per page, a tenth of the page per line.
  if (m_pageDev.cx == 0) m_pageDev.cx = m_totalDev.cx / 10;
  if (m_pageDev.cy == 0) m_pageDev.cy = m_totalDev.cy / 10;
  if (m_lineDev.cx == 0) m_lineDev.cx = m_pageDev.cx / 10;
  if (m_lineDev.cy == 0) m_lineDev.cy = m_pageDev.cy / 10;
  const auto same = [](SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; };
  // The same sizes again (a view that sets them while it paints) change
  // nothing and must not repaint: only a new mapping or size does.
  if (oldMode == m_nMapMode && same(oldTotal, m_totalDev) && same(oldPage, m_pageDev) && same(oldLine, m_lineDev))
    return;
  if (m_hWnd) {
    UpdateBars();
    Invalidate(TRUE);
  }
}

CPoint CScrollView::GetDeviceScrollPosition() const {
  return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const {
  const CPoint d = GetDeviceScrollPosition();
  if (m_nMapMode == MM_TEXT || m_nMapMode == 0) return d;
  HDC dc = CreateCompatibleDC(nullptr);
  SetMapMode(dc, m_nMapMode);
  POINT p = d;
  DPtoLP(dc, &p, 1);
  DeleteDC(dc);
  return CPoint(p);
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const {
  nMapMode = m_nMapMode;
  sizeTotal = m_totalDev;
  sizePage = m_pageDev;
  sizeLine = m_lineDev;
}

void CScrollView::ScrollToPosition(POINT pt) {
  if (m_nMapMode != MM_TEXT && m_nMapMode != 0) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetMapMode(dc, m_nMapMode);
    LPtoDP(dc, &pt, 1);
    DeleteDC(dc);
    pt.x = std::abs(pt.x);
    pt.y = std::abs(pt.y);
  }
  ScrollToDevicePosition(pt);
}

void CScrollView::ScrollToDevicePosition(POINT ptDev) {
  const CPoint cur = GetDeviceScrollPosition();
  OnScrollBy(CSize(ptDev.x - cur.x, ptDev.y - cur.y), TRUE);
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) {
  if (pDC && m_nMapMode) {
    pDC->SetMapMode(m_nMapMode);
    const CPoint p = GetDeviceScrollPosition();
    pDC->SetViewportOrg(-p.x, -p.y);
  }
  CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::UpdateBars() {
  if (m_bInsideUpdate || !m_hWnd) return;
  m_bInsideUpdate = TRUE;
  CRect rc;
  GetClientRect(&rc);
  const int sbx = GetSystemMetrics(SM_CXVSCROLL), sby = GetSystemMetrics(SM_CYHSCROLL);
  // The client area as it is without scroll bars.
  CSize client = rc.Size();
  const DWORD style = GetStyle();
  if (style & WS_VSCROLL) client.cx += sbx;
  if (style & WS_HSCROLL) client.cy += sby;
  bool needH = m_totalDev.cx > client.cx;
  bool needV = m_totalDev.cy > client.cy;
  if (needH && !needV) needV = m_totalDev.cy > client.cy - sby;
  if (needV && !needH) needH = m_totalDev.cx > client.cx - sbx;
  const CSize view(std::max(0, client.cx - (needV ? sbx : 0)), std::max(0, client.cy - (needH ? sby : 0)));
  const CPoint old = GetDeviceScrollPosition();
  const CPoint limit(std::max(0, m_totalDev.cx - view.cx), std::max(0, m_totalDev.cy - view.cy));
  const CPoint pos(needH ? std::min<int>(old.x, limit.x) : 0, needV ? std::min<int>(old.y, limit.y) : 0);
  if (pos != old) ScrollWindow(old.x - pos.x, old.y - pos.y);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_PAGE | SIF_RANGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, m_totalDev.cx - 1);
  si.nPage = static_cast<UINT>(view.cx);
  si.nPos = pos.x;
  ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
  si.nMax = std::max(0, m_totalDev.cy - 1);
  si.nPage = static_cast<UINT>(view.cy);
  si.nPos = pos.y;
  ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
  m_bInsideUpdate = FALSE;
}

void CScrollView::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  if (m_nMapMode) UpdateBars();
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll) {
  const CPoint orig = GetDeviceScrollPosition();
  CPoint p = orig;
  auto step = [&](BYTE code, int& v, int line, int page, int bar) {
    switch (code) {
      case SB_TOP: v = 0; break;
      case SB_BOTTOM: v = INT_MAX; break;
      case SB_LINEUP: v -= line; break;
      case SB_LINEDOWN: v += line; break;
      case SB_PAGEUP: v -= page; break;
      case SB_PAGEDOWN: v += page; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        v = ::GetScrollInfo(m_hWnd, bar, &si) ? si.nTrackPos : static_cast<int>(nPos);
        if (code == SB_THUMBPOSITION) v = static_cast<int>(static_cast<short>(nPos)) >= 0 ? v : v;
        break;
      }
      default: break;
    }
  };
  step(LOBYTE(nScrollCode), p.x, m_lineDev.cx, m_pageDev.cx, SB_HORZ);
  step(HIBYTE(nScrollCode), p.y, m_lineDev.cy, m_pageDev.cy, SB_VERT);
  return OnScrollBy(CSize(p.x - orig.x, p.y - orig.y), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll) {
  const DWORD style = GetStyle();
  if (!(style & WS_HSCROLL)) sizeScroll.cx = 0;
  if (!(style & WS_VSCROLL)) sizeScroll.cy = 0;
  const CPoint orig = GetDeviceScrollPosition();
  const long long nx = static_cast<long long>(orig.x) + sizeScroll.cx;
  const long long ny = static_cast<long long>(orig.y) + sizeScroll.cy;
  const int x = static_cast<int>(std::clamp<long long>(nx, 0, GetScrollLimit(SB_HORZ)));
  const int y = static_cast<int>(std::clamp<long long>(ny, 0, GetScrollLimit(SB_VERT)));
  if (x == orig.x && y == orig.y) return FALSE;
  if (bDoScroll) {
    ScrollWindow(orig.x - x, orig.y - y);
    if (x != orig.x) SetScrollPos(SB_HORZ, x);
    if (y != orig.y) SetScrollPos(SB_VERT, y);
  }
  return TRUE;
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  if (pScrollBar) {
    CWnd::OnHScroll(nSBCode, nPos, pScrollBar);
    return;
  }
  OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  if (pScrollBar) {
    CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
    return;
  }
  OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint) {
  const DWORD style = GetStyle();
  const int lines = -zDelta * 3 / WHEEL_DELTA;
  if (style & WS_VSCROLL) return OnScrollBy(CSize(0, lines * std::max(1, m_lineDev.cy)), TRUE);
  if (style & WS_HSCROLL) return OnScrollBy(CSize(lines * std::max(1, m_lineDev.cx), 0), TRUE);
  return FALSE;
}

void CScrollView::FillOutsideRect(CDC* pDC, HBRUSH hBrush) {
  CRect rc;
  GetClientRect(&rc);
  const CPoint p = GetDeviceScrollPosition();
  const int right = m_totalDev.cx - p.x, bottom = m_totalDev.cy - p.y;
  if (right < rc.right) {
    RECT r{right, 0, rc.right, rc.bottom};
    ::FillRect(pDC->m_hDC, &r, hBrush);
  }
  if (bottom < rc.bottom) {
    RECT r{0, bottom, std::min<int>(right, rc.right), rc.bottom};
    ::FillRect(pDC->m_hDC, &r, hBrush);
  }
}

void CScrollView::ResizeParentToFit(BOOL bShrinkOnly) {
  CFrameWnd* f = GetParentFrame();
  if (!f) return;
  CRect client;
  GetClientRect(&client);
  const int dx = m_totalDev.cx - client.Width(), dy = m_totalDev.cy - client.Height();
  if (bShrinkOnly && (dx > 0 || dy > 0)) return;
  CRect fr;
  f->GetWindowRect(&fr);
  f->SetWindowPos(nullptr, 0, 0, fr.Width() + dx, fr.Height() + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// Frame windows.

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
  ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
  ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
END_MESSAGE_MAP()

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() {
  if (m_hMenuDefault && ::IsMenu(m_hMenuDefault) && ::GetMenu(m_hWnd) != m_hMenuDefault) ::DestroyMenu(m_hMenuDefault);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WNDFRAMEORVIEW;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return TRUE;
}

void CFrameWnd::PostNcDestroy() { delete this; }

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU menu = nullptr;
  if (lpszMenuName) {
    menu = ::LoadMenu(AfxGetResourceHandle(), lpszMenuName);
    if (!menu) {
      std::fprintf(stderr, "CFrameWnd::Create: the menu is missing from the resource pack\n");
      PostNcDestroy();
      return FALSE;
    }
  }
  m_strTitle = lpszWindowName ? lpszWindowName : "";
  const int cx = rect.right == 0 && rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
  const int cy = rect.bottom == 0 && rect.top == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
  if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, cx, cy,
                QmHwnd(pParentWnd), menu, pContext)) {
    if (menu) ::DestroyMenu(menu);
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  CString full;
  full.LoadString(nIDResource);
  AfxExtractSubString(m_strTitle, full, 0);
  const CString title = m_strTitle;
  HINSTANCE inst = AfxGetResourceHandle();
  HMENU menu = ::LoadMenu(inst, MAKEINTRESOURCE(nIDResource));
  m_hMenuDefault = menu;
  if (!m_hAccelTable) m_hAccelTable = ::LoadAccelerators(inst, MAKEINTRESOURCE(nIDResource));
  if (!CreateEx(0, nullptr, title, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                QmHwnd(pParentWnd), menu, pContext)) {
    return FALSE;
  }
  if (HICON icon = ::LoadIcon(inst, MAKEINTRESOURCE(nIDResource))) {
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  auto* context = static_cast<CCreateContext*>(lpcs ? lpcs->lpCreateParams : nullptr);
  if (!OnCreateClient(lpcs, context)) return -1;
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (pContext && pContext->m_pNewViewClass) {
    if (!CreateView(pContext, AFX_IDW_PANE_FIRST)) return FALSE;
  }
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  if (!pContext || !pContext->m_pNewViewClass) return nullptr;
  CObject* obj = pContext->m_pNewViewClass->CreateObject();
  CWnd* view = dynamic_cast<CWnd*>(obj);
  if (!view) {
    delete obj;
    return nullptr;
  }
  if (!view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext)) {
    return nullptr;  // the view deleted itself
  }
  return view;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* old = m_pViewActive;
  if (old == pViewNew) {
    if (pViewNew && bNotify) pViewNew->OnActivateView(TRUE, pViewNew, pViewNew);
    return;
  }
  m_pViewActive = pViewNew;
  if (bNotify && old) old->OnActivateView(FALSE, pViewNew, old);
  if (bNotify && pViewNew) pViewNew->OnActivateView(TRUE, pViewNew, old);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::RecalcLayout(BOOL) {
  if (m_bInRecalcLayout || !m_hWnd) return;
  m_bInRecalcLayout = TRUE;
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
  m_bInRecalcLayout = FALSE;
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) {
    if (!IsWindowVisible()) nCmdShow = SW_SHOWNORMAL;
    else if (IsIconic()) nCmdShow = SW_RESTORE;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this && app->m_nCmdShow != -1 && nCmdShow != -1) {
      nCmdShow = app->m_nCmdShow;
      app->m_nCmdShow = -1;
    }
  }
  if (nCmdShow != -1) {
    ShowWindow(nCmdShow);
    BringWindowToTop();
  }
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible) {
  CView* view = nullptr;
  if (!GetActiveView()) {
    CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
    if (pane && pane->IsKindOf(RUNTIME_CLASS(CView))) {
      view = static_cast<CView*>(pane);
      SetActiveView(view, FALSE);
    }
  }
  if (bMakeVisible) {
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    if (!m_hWnd) return;
    ActivateFrame();
    if (view && view->m_hWnd) view->OnActivateView(TRUE, view, view);
  }
  if (m_hWnd) OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  if (bAddToTitle && doc) UpdateFrameTitleForDocument(doc->GetTitle());
  else UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName) {
  CString text;
  if (lpszDocName && *lpszDocName) {
    if (GetStyle() & FWS_PREFIXTITLE) text = CString(lpszDocName) + " - " + m_strTitle;
    else text = m_strTitle + " - " + lpszDocName;
  } else {
    text = m_strTitle;
  }
  CString cur;
  GetWindowText(cur);
  if (cur != text) SetWindowText(text);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const {
  CString s;
  if (s.LoadString(nID)) {
    const int nl = s.Find('\n');
    rMessage = nl >= 0 ? s.Left(nl) : s;
  } else {
    rMessage.Empty();
  }
}

CWnd* CFrameWnd::GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

void CFrameWnd::SetMessageText(LPCTSTR lpszText) {
  SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID, 0); }

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  CWnd* bar = GetMessageBar();
  if (!bar) return 0;
  CString text;
  if (lParam) {
    text = reinterpret_cast<LPCTSTR>(lParam);
  } else if (wParam == AFX_IDS_IDLEMESSAGE) {
    text = AfxLoadFrameworkString(AFX_IDS_IDLEMESSAGE);
  } else if (wParam) {
    GetMessageString(static_cast<UINT>(wParam), text);
  }
  bar->SetWindowText(text);
  return 0;
}

void CFrameWnd::ShowControlBar(CWnd* pBar, BOOL bShow, BOOL bDelay) {
  if (!pBar || !pBar->m_hWnd) return;
  pBar->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
  if (bDelay) DelayRecalcLayout();
  else RecalcLayout();
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  CWnd* bar = GetDescendantWindow(static_cast<int>(pCmdUI->m_nID), TRUE);
  if (!bar) {
    pCmdUI->ContinueRouting();
    return;
  }
  pCmdUI->SetCheck(bar->IsWindowVisible() ? 1 : 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
  CWnd* bar = GetDescendantWindow(static_cast<int>(nID), TRUE);
  if (!bar) return FALSE;
  ShowControlBar(bar, !(bar->GetStyle() & WS_VISIBLE), FALSE);
  return TRUE;
}

HACCEL CFrameWnd::GetDefaultAccelerator() { return m_hAccelTable; }

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    if (HACCEL h = GetDefaultAccelerator(); h && ::TranslateAccelerator(m_hWnd, h, pMsg)) return TRUE;
  }
  return CWnd::PreTranslateMessage(pMsg);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CView* v = GetActiveView(); v && v->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return FALSE;
}

void CFrameWnd::OnClose() {
  const HWND self = m_hWnd;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    if (!app->SaveAllModified()) return;
    app->CloseAllDocuments(FALSE);  // may take this frame with it
  } else if (CDocument* doc = GetActiveDocument()) {
    if (!doc->CanCloseFrame(this)) return;
    doc->PreCloseFrame(this);
  }
  if (::IsWindow(self)) ::DestroyWindow(self);
}

void CFrameWnd::OnDestroy() {
  if (m_pViewActive) {
    m_pViewActive = nullptr;
  }
  CWnd::OnDestroy();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd) {
  if (m_pViewActive && m_pViewActive->m_hWnd) m_pViewActive->SetFocus();
  else CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || !pMenu) return;
  CCmdUI state;
  state.m_pMenu = pMenu;
  state.m_nIndexMax = pMenu->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == 0) continue;  // separator
    if (state.m_nID == static_cast<UINT>(-1)) continue;  // a pop-up: updated when it opens
    state.m_pSubMenu = nullptr;
    state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    // The menu may have changed under the handler.
    state.m_nIndexMax = pMenu->GetMenuItemCount();
  }
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC) {
  // The pane covers the client area; erase only when there is none.
  if (m_pViewActive) return TRUE;
  return CWnd::OnEraseBkgnd(pDC);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (m_nIdleFlags & idleTitle) {
    m_nIdleFlags &= ~idleTitle;
    OnUpdateFrameTitle(TRUE);
  }
  if (m_nIdleFlags & idleLayout) RecalcLayout((m_nIdleFlags & idleNotify) != 0);
  return 0;
}

// ---------------------------------------------------------------------------
// Document templates.

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate() {
  if (m_strDocStrings.IsEmpty()) m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const {
  return AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_pDocClass) return nullptr;
  CObject* obj = m_pDocClass->CreateObject();
  auto* doc = dynamic_cast<CDocument*>(obj);
  if (!doc) {
    delete obj;
    return nullptr;
  }
  AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
  if (!m_pFrameClass) return nullptr;
  CCreateContext context;
  context.m_pCurrentFrame = pOther;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  CObject* obj = m_pFrameClass->CreateObject();
  auto* frame = dynamic_cast<CFrameWnd*>(obj);
  if (!frame) {
    delete obj;
    return nullptr;
  }
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
  if (pFrame) pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }
void CDocTemplate::RemoveDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = nullptr; }

BOOL CDocTemplate::SaveAllModified() {
  POSITION pos = GetFirstDocPosition();
  while (pos) {
    CDocument* d = GetNextDoc(pos);
    if (d && !d->SaveModified()) return FALSE;
  }
  return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  POSITION pos = GetFirstDocPosition();
  while (pos) {
    CDocument* d = GetNextDoc(pos);
    if (d) d->OnCloseDocument();
    pos = GetFirstDocPosition();  // the list changed
  }
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
  // A document still open closes with its template (and its frame).
  if (m_pOnlyDoc) m_pOnlyDoc->OnCloseDocument();
  if (m_pOnlyDoc) {
    m_pOnlyDoc->m_pDocTemplate = nullptr;
    m_pOnlyDoc = nullptr;
  }
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
  CDocTemplate::AddDocument(pDoc);
  m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
  CDocTemplate::RemoveDocument(pDoc);
  if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const {
  return m_pOnlyDoc ? reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1)) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const {
  CDocument* d = rPos ? m_pOnlyDoc : nullptr;
  rPos = nullptr;
  return d;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
  CString name;
  if (!GetDocString(name, docName) || name.IsEmpty()) name = AfxLoadFrameworkString(AFX_IDS_UNTITLED);
  pDocument->SetTitle(name);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
  CDocument* doc = nullptr;
  CFrameWnd* frame = nullptr;
  bool created = false;
  if (m_pOnlyDoc) {
    doc = m_pOnlyDoc;
    if (!doc->SaveModified()) return nullptr;
    POSITION pos = doc->GetFirstViewPosition();
    if (CView* v = doc->GetNextView(pos)) frame = v->GetParentFrame();
  } else {
    doc = CreateNewDocument();
    if (!doc) return nullptr;
    created = true;
  }
  bool frameCreated = false;
  if (!frame) {
    frame = CreateNewFrame(doc, nullptr);
    if (!frame) {
      if (created) {
        // The document never got a view; it goes.
        RemoveDocument(doc);
        delete doc;
      }
      return nullptr;
    }
    frameCreated = true;
  }
  const HWND frameHwnd = frame->m_hWnd;
  if (!lpszPathName) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      if (frameCreated && ::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
      return nullptr;
    }
  } else {
    if (!doc->OnOpenDocument(lpszPathName)) {
      if (frameCreated && ::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
      return nullptr;
    }
    doc->SetPathName(lpszPathName);
  }
  if (CWinThread* t = AfxGetThread(); t && frameCreated && !t->m_pMainWnd) t->m_pMainWnd = frame;
  InitialUpdateFrame(frame, doc, bMakeVisible);
  return doc;
}

BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, char chSep) {
  rString.Empty();
  if (!lpszFullString) return FALSE;
  const char* p = lpszFullString;
  for (int i = 0; i < iSubString; ++i) {
    p = std::strchr(p, chSep);
    if (!p) return FALSE;
    ++p;
  }
  const char* end = std::strchr(p, chSep);
  rString = end ? CString(p, static_cast<int>(end - p)) : CString(p);
  return TRUE;
}
