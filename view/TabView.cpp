// CTabView: construction, painting, hit testing, rendering and zoom, the
// status texts and the ITabView services. The mouse tools are in
// TabViewTools.cpp with the Undo and Redo of the edit history.
#include "view/TabView.h"

#include "view/CtrlPane.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "builder/PatternBuilder.h"
#include "core/PathUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "design/PatternParams.h"
#include "image/ImageView.h"
#include "lang/ids/view.h"
#include "settings/AppSettings.h"
#include "settings/GridSettings.h"
#include "view/BeadPainters.h"
#include "view/DrawingTools.h"

namespace {

// The texts of the shell's status panes.
constexpr UINT kIdsPaletteNotLoaded = 200;
constexpr UINT kIdsOriginalNotLoaded = 216;
constexpr UINT kIdsOriginalInfo = 217;
constexpr UINT kIdsDesignInfo = 218;
constexpr UINT kIdsPaletteInfo = 219;
constexpr UINT kHintCursor = 500;
constexpr UINT kCmdFileNew = 32000;
constexpr UINT kCmdFileOpen = 32001;

const UINT g_msgPatternChanged = RegisterWindowMessage("MsgPatternChanged");
const UINT g_msgPopupVisibleBead = RegisterWindowMessage("MsgPopupVisibleBead");
const UINT g_msgPopupInvisibleBead = RegisterWindowMessage("MsgPopupInVisibleBead");
const UINT g_msgMirrorChanged = RegisterWindowMessage("MsgNotifyMirrorChangedPattern");
const UINT g_msgTabViewSizeChanged = RegisterWindowMessage("MsgTabViewSizeChanged");

// Digits in groups of three separated by a blank: 12345 -> "12 345".
CString GroupedNumber(long long value) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%lld", value < 0 ? -value : value);
  std::string s = digits, out;
  const int n = static_cast<int>(s.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ' ';
    out += s[size_t(i)];
  }
  if (value < 0) out = "-" + out;
  return CString(out.c_str());
}

// The file name without folder and extension.
void FileTitleOf(const CString& path, CString& out) {
  std::string s = path.GetString();
  const size_t slash = s.find_last_of("\\/");
  if (slash != std::string::npos) s = s.substr(slash + 1);
  const size_t dot = s.find_last_of('.');
  if (dot != std::string::npos && dot > 0) s = s.substr(0, dot);
  out = s.c_str();
}

}  // namespace

UINT GetMsgPatternChanged() { return g_msgPatternChanged; }
UINT GetMsgPopupVisibleBead() { return g_msgPopupVisibleBead; }
UINT GetMsgPopupInvisibleBead() { return g_msgPopupInvisibleBead; }
UINT GetMsgNotifyMirrorChangedPattern() { return g_msgMirrorChanged; }
UINT GetMsgTabViewSizeChanged() { return g_msgTabViewSizeChanged; }

CRect CTabViewImageOwner::GetOwnerClientRect() {
  CRect r(0, 0, 0, 0);
  if (m_view->GetSafeHwnd()) m_view->GetClientRect(&r);
  return r;
}

CPoint CTabViewImageOwner::GetOwnerScrollPosition() {
  return m_view->GetSafeHwnd() ? m_view->GetScrollPosition() : CPoint(0, 0);
}

void CTabViewImageOwner::SetOwnerScrollSizes(int mapMode, SIZE total) {
  if (m_view->GetSafeHwnd()) m_view->SetScrollSizes(mapMode, total);
}

CDC* CTabViewImageOwner::GetOwnerDC() { return m_view->GetSafeHwnd() ? m_view->GetDC() : nullptr; }

void CTabViewImageOwner::ReleaseOwnerDC(CDC* dc) {
  if (dc) m_view->ReleaseDC(dc);
}

void CTabViewImageOwner::InvalidateOwner(bool erase) {
  if (m_view->GetSafeHwnd()) m_view->Invalidate(erase ? TRUE : FALSE);
}

IMPLEMENT_DYNCREATE(CTabView, CScrollView)

BEGIN_MESSAGE_MAP(CTabView, CScrollView)
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_ERASEBKGND()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_COMMAND(ID_REMOVE_BEAD, OnRemoveBead)
ON_COMMAND(ID_INSERT_BEAD, OnInsertBead)
ON_REGISTERED_MESSAGE(g_msgPatternChanged, OnMsgPatternChanged)
ON_REGISTERED_MESSAGE(g_msgPopupVisibleBead, OnPopupVisibleBead)
ON_REGISTERED_MESSAGE(g_msgPopupInvisibleBead, OnPopupInvisibleBead)
ON_REGISTERED_MESSAGE(g_msgMirrorChanged, OnMirrorChangedMessage)
END_MESSAGE_MAP()

CTabView::CTabView() : m_hRuler(0, 16, 2), m_vRuler(1, 16, 2) {
  m_drawingTools[kToolPencil] = std::make_unique<CPencilTool>(*this);
  m_drawingTools[kToolLine] = std::make_unique<CLineTool>(*this);
  m_drawingTools[kToolRect] = std::make_unique<CRectangleTool>(*this, false);
  m_drawingTools[kToolRectFilled] = std::make_unique<CRectangleTool>(*this, true);
  m_drawingTools[kToolEllipse] = std::make_unique<CEllipseTool>(*this, false);
  m_drawingTools[kToolEllipseFilled] = std::make_unique<CEllipseTool>(*this, true);
  m_drawingTools[kToolFill] = std::make_unique<CFillTool>(*this);
  m_drawingTools[kToolErase] = std::make_unique<CEraserTool>(*this);
  m_hRuler.SetUnits(GetAppSettings().m_rulerUnits);
  m_vRuler.SetUnits(GetAppSettings().m_rulerUnits);
  if (CWinApp* app = AfxGetApp()) m_hintCursor = app->LoadCursor(kHintCursor);
}

CTabView::~CTabView() {
  delete m_originalView;
  m_originalView = nullptr;
  delete m_patternView;
  m_patternView = nullptr;
}

void CTabView::OnInitialUpdate() {
  CScrollView::OnInitialUpdate();
  SetScrollSizes(MM_TEXT, CSize(10, 10));
}

IViewToolSource* CTabView::GetToolSource() {
  if (m_toolSource) return m_toolSource;
  // Otherwise the main window's control pane, when this is its view.
  if (IMainFrame* frame = GetIMainFrame())
    if (frame->GetTabView() == this)
      if (CCtrlPane* pane = frame->GetCtrlPane())
        if (pane->GetSafeHwnd()) return pane;
  return nullptr;
}

// ---- Painting ----

void CTabView::OnDraw(CDC* dc) {
  if (m_patternView) {
    if (GetAppSettings().m_advancedImageQuality) {
      if (!m_patternView->Paint(dc, true, nullptr)) return;
    } else {
      m_patternView->PaintDirect(dc, true, nullptr);
    }
    if (IsRulerBarVisible()) {
      for (CRulerBar* ruler : {&m_hRuler, &m_vRuler})
        if (ruler->GetSafeHwnd()) ruler->Invalidate(TRUE);
      for (CRulerBar* ruler : {&m_hRuler, &m_vRuler})
        if (ruler->GetSafeHwnd()) ruler->UpdateWindow();
    }
    return;
  }
  if (m_design.HasBeads()) {
    RECT clip{};
    dc->GetClipBox(&clip);
    const HBRUSH brush = CreateSolidBrush(GetBackgroundColor());
    FillRect(dc->GetSafeHdc(), &clip, brush);
    DeleteObject(brush);
    RenderPatternView(dc, false);
    return;
  }
  if (IsViewAppStarting()) return;
  DrawHintLines(dc, IDS_VIEW_HINT_NEW, IDS_VIEW_HINT_OPEN);
}

void CTabView::DrawHintLines(CDC* dc, UINT first, UINT second) {
  const CString lines[2] = {LoadResString(first), LoadResString(second)};
  PaintHintText(dc, lines, 2);
}

void CTabView::PaintHintText(CDC* dc, const CString* lines, int count) {
  const HDC hdc = dc->GetSafeHdc();
  CRect client;
  GetClientRect(&client);
  // Arial 26, smaller (down to 12) when a line would not fit the window.
  std::vector<SIZE> sizes(static_cast<size_t>(count));
  HFONT font = nullptr;
  HGDIOBJ oldFont = nullptr;
  for (int height = 26;; height -= 2) {
    if (font) {
      SelectObject(hdc, oldFont);
      DeleteObject(font);
    }
    font = CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    oldFont = SelectObject(hdc, font);
    int widest = 0;
    for (int i = 0; i < count; ++i) {
      GetTextExtentPoint32(hdc, lines[i].GetString(), lines[i].GetLength(), &sizes[size_t(i)]);
      widest = std::max<int>(widest, sizes[size_t(i)].cx + 2);
    }
    if (widest <= client.Width() - 16 || height <= 12) break;
  }
  const int oldMode = SetBkMode(hdc, TRANSPARENT);
  int total = 0;
  for (int i = 0; i < count; ++i) total += sizes[size_t(i)].cy;
  int y = (client.Height() - total) / 2;
  for (int i = 0; i < count; ++i) {
    const int x = (client.Width() - sizes[size_t(i)].cx) / 2;
    SetTextColor(hdc, 0xFFFFFF);
    TextOut(hdc, x, y, lines[i].GetString(), lines[i].GetLength());
    SetTextColor(hdc, 0xC0C0C0);
    TextOut(hdc, x + 2, y + 2, lines[i].GetString(), lines[i].GetLength());
    if (i < 2) m_hintRect[i] = RECT{x + 2, y + 2, x + 2 + sizes[size_t(i)].cx, y + 2 + sizes[size_t(i)].cy};
    y += sizes[size_t(i)].cy;
  }
  SetBkMode(hdc, oldMode);
  SelectObject(hdc, oldFont);
  DeleteObject(font);
}

BOOL CTabView::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  const HBRUSH brush = CreateSolidBrush(GetBackgroundColor());
  FillRect(dc->GetSafeHdc(), &client, brush);
  DeleteObject(brush);
  return TRUE;
}

BOOL CTabView::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if ((m_hintHot[0] || m_hintHot[1]) && m_hintCursor) {
    ::SetCursor(m_hintCursor);
    return TRUE;
  }
  return CScrollView::OnSetCursor(wnd, hitTest, message);
}

void CTabView::OnSize(UINT type, int cx, int cy) {
  CScrollView::OnSize(type, cx, cy);
  if (m_patternView && cx > 0 && cy > 0) {
    IViewToolSource* pane = GetToolSource();
    if (HWND window = pane ? pane->GetPaneWindow() : nullptr) ::PostMessage(window, g_msgTabViewSizeChanged, 0, 0);
  }
}

void CTabView::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
  CScrollView::OnHScroll(code, pos, bar);
  if (m_patternView && code == SB_ENDSCROLL) {
    IViewToolSource* pane = GetToolSource();
    if (HWND window = pane ? pane->GetPaneWindow() : nullptr) ::PostMessage(window, g_msgTabViewSizeChanged, 0, 0);
  }
}

void CTabView::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
  CScrollView::OnVScroll(code, pos, bar);
  if (m_patternView && code == SB_ENDSCROLL) {
    IViewToolSource* pane = GetToolSource();
    if (HWND window = pane ? pane->GetPaneWindow() : nullptr) ::PostMessage(window, g_msgTabViewSizeChanged, 0, 0);
  }
}

LRESULT CTabView::OnMsgPatternChanged(WPARAM wParam, LPARAM) {
  OnPatternChanged(wParam != 0);
  return 1;
}

// ---- The bead list ----

int CTabView::AddToBeadList(int index) {
  const auto it = std::find(m_beadList.begin(), m_beadList.end(), index);
  if (it != m_beadList.end()) return static_cast<int>(it - m_beadList.begin());
  m_beadList.push_back(index);
  return static_cast<int>(m_beadList.size()) - 1;
}

// ---- Single beads on the window ----

RECT CTabView::GetFittedClientRect() {
  CRect client;
  GetClientRect(&client);
  return FitRectToSize(client, m_design.m_actualWidth, m_design.m_actualHeight);
}

void CTabView::DrawBead(const CBead& bead, CDC* dc, RECT* outRect) {
  if (!dc) return;
  if (!m_design.HasBeads()) {
    DrawHintLines(dc, IDS_VIEW_HINT_NEW, IDS_VIEW_HINT_OPEN);
    return;
  }
  const RECT cell = m_design.GetBeadRect(bead, GetFittedClientRect());
  DrawBeadCell(bead, m_design, static_cast<int>(m_design.m_beadEffect), IsHexagonFormat(m_design), cell, dc, m_palette,
               true, IsBrickFormat(m_design));
  if (outRect) *outRect = cell;
}

void CTabView::DrawBeads(const std::vector<int>& indexes) {
  CClientDC dc(this);
  for (int i : indexes)
    if (m_design.IsValidIndex(i)) DrawBead(m_design.m_beads[size_t(i)], &dc, nullptr);
  if (m_patternView) m_patternView->OnAfterPaint(&dc);
}

// ---- Hit testing ----

int CTabView::PointToBead(POINT point, bool topDown, BYTE* present, bool spacerTolerance) {
  if (!m_patternView) return -1;
  const CRect drawn = m_patternView->GetDrawnRect();
  // A picture drawn without width or height has no beads to hit.
  if (drawn.Width() <= 0 || drawn.Height() <= 0) return -1;
  const double x = static_cast<double>(point.x - drawn.left) / drawn.Width();
  const double y = static_cast<double>(point.y - drawn.top) / drawn.Height();
  if (x < 0 || x > 1 || y < 0 || y > 1) return -1;
  return m_design.HitTestBead(x, y, topDown, present, spacerTolerance);
}

bool CTabView::BeadFromPoint(int x, int y, int& column, int& row, int& colorIndex, bool insideOnly, bool* present) {
  BYTE p = 0;
  const int n = PointToBead(POINT{x, y}, true, &p, true);
  if (n < 0) return false;
  if (present) *present = p != 0;
  if (insideOnly && !p) return false;
  const int columns = static_cast<int>(m_design.GetColumnCount());
  if (columns <= 0) return false;
  column = n % columns;
  row = n / columns;
  if (row >= static_cast<int>(m_design.GetRowCount())) return false;
  colorIndex = m_design.GetBeadColorByIndex(m_design.GetBeadIndex(column, row));
  return colorIndex >= 0;
}

bool CTabView::HitTest(POINT point, CBeadHit& hit) {
  BYTE present = 0;
  const int index = PointToBead(point, false, &present, true);
  if (index < 0 || !m_design.IsValidIndex(index)) return false;
  hit.bead = &m_design.m_beads[size_t(index)];
  hit.index = index;
  hit.point = point;
  return true;
}

// ---- Inverted drawing ----

void CTabView::DrawXorLineOnDC(CDC* dc, POINT from, POINT to) {
  const HDC hdc = dc->GetSafeHdc();
  const int old = SetROP2(hdc, R2_NOT);
  MoveToEx(hdc, from.x, from.y, nullptr);
  LineTo(hdc, to.x, to.y);
  SetROP2(hdc, old);
}

void CTabView::DrawXorRectOnDC(CDC* dc, POINT p, POINT q) {
  DrawXorLineOnDC(dc, POINT{p.x, p.y}, POINT{q.x, p.y});
  DrawXorLineOnDC(dc, POINT{p.x, q.y}, POINT{q.x, q.y});
  DrawXorLineOnDC(dc, POINT{p.x, p.y}, POINT{p.x, q.y});
  DrawXorLineOnDC(dc, POINT{q.x, p.y}, POINT{q.x, q.y});
}

void CTabView::DrawXorLine(POINT from, POINT to) {
  CClientDC dc(this);
  DrawXorLineOnDC(&dc, from, to);
}

void CTabView::DrawXorRect(POINT from, POINT to) {
  CClientDC dc(this);
  DrawXorRectOnDC(&dc, from, to);
}

void CTabView::DrawXorEllipse(POINT p, POINT q) {
  const int left = std::min(p.x, q.x), right = std::max(p.x, q.x);
  const int top = std::min(p.y, q.y), bottom = std::max(p.y, q.y);
  const HRGN outer = CreateEllipticRgn(left, top, right, bottom);
  const HRGN inner = CreateEllipticRgn(left + 1, top + 1, right - 1, bottom - 1);
  const HRGN ring = CreateRectRgn(0, 0, 0, 0);
  if (CombineRgn(ring, outer, inner, RGN_DIFF) == COMPLEXREGION) {
    CClientDC dc(this);
    InvertRgn(dc.GetSafeHdc(), ring);
  }
  DeleteObject(ring);
  DeleteObject(inner);
  DeleteObject(outer);
}

void CTabView::DrawXorCellRect(const RECT& cells) {
  if (!m_patternView) return;
  const RECT drawn = m_patternView->GetDrawnRect();
  POINT first, last;
  SIZE size;
  m_design.MapCellToImage(cells.top, cells.left, drawn, first, size, false);
  m_design.MapCellToImage(cells.bottom - 1, cells.right - 1, drawn, last, size, false);
  DrawXorRect(first, last);
}

// ---- Rendering and zoom ----

bool CTabView::BuildPatternView(CDC* dc, bool fit) {
  CRenderUnder under;
  if (IsPartialDialogOpen()) {
    under.perBead = true;
    under.original = m_originalView;
  }
  under.background = GetBackgroundColor();
  under.progress = m_progressHost;
  HBITMAP bitmap = nullptr;
  if (!RenderPatternBitmap(dc, &bitmap, m_design, m_palette, false, IsBrickFormat(m_design), &under)) return false;
  delete m_patternView;
  m_patternView = new CPatternImageView(&m_design, &m_palette, &m_imageOwner, bitmap, fit);
  DeleteObject(bitmap);
  m_patternView->SetAfterPaintHook([this](CDC* dc) {
    for (IViewToolDialog* tool : m_windowTools)
      if (tool) tool->DrawOverDesign(dc);
  });
  CountUsedColors();
  return true;
}

bool CTabView::RenderPatternView(CDC* dc, bool fit) {
  if (!m_design.HasBeads()) return false;
  bool ok;
  if (!dc && GetSafeHwnd()) {
    CClientDC window(this);
    ok = BuildPatternView(&window, fit);
  } else {
    ok = BuildPatternView(dc, fit);
  }
  if (ok && fit && GetSafeHwnd()) Invalidate(TRUE);
  return ok;
}

void CTabView::RefreshPatternView() {
  if (!m_design.HasBeads()) return;
  const bool fit = m_patternView && m_patternView->IsFitToWindow();
  const int zoom = m_patternView ? m_patternView->GetZoom() : 100;
  const CRect drawn = m_patternView ? m_patternView->GetDrawnRect() : CRect(0, 0, 0, 0);
  if (!RenderPatternView(nullptr, false)) return;
  if (fit) m_patternView->SetFitToWindow(true, false);
  else m_patternView->SetZoom(zoom, false, false);
  // The picture stays where it was drawn until the next paint.
  m_patternView->SetDrawnRect(drawn);
}

int CTabView::OnPatternChanged(bool keepZoom) {
  bool fit = false;
  int zoom = 100;
  CRect drawn(0, 0, 0, 0);
  const bool had = m_patternView != nullptr;
  if (had && keepZoom) {
    fit = m_patternView->IsFitToWindow();
    zoom = m_patternView->GetZoom();
    drawn = m_patternView->GetDrawnRect();
  }
  RenderPatternView(nullptr, false);
  if (m_patternView) {
    if (keepZoom && had) {
      if (fit) m_patternView->SetFitToWindow(true, false);
      else m_patternView->SetZoom(zoom, false, false);
      m_patternView->SetDrawnRect(drawn);
      if (GetSafeHwnd()) Invalidate(FALSE);
    } else {
      ApplyZoomMode(true);
    }
  }
  return CountUsedColors();
}

// ---- The zoom box ----

int CTabView::GetPatternZoom() const {
  if (!m_patternView || !m_patternView->IsValid()) return -1;
  return m_patternView->GetZoom();
}

void CTabView::SetPatternZoom(int percent) {
  if (!m_patternView || percent <= 0) return;
  m_patternView->SetZoom(percent, true, true);
  m_patternView->SetDrawnRect(m_zoomDrawnRect);
}

bool CTabView::IsPatternFitToWindow() const { return m_patternView && m_patternView->IsFitToWindow(); }

void CTabView::FitPatternToWindow() {
  if (!m_patternView) return;
  m_patternView->SetFitToWindow(true, true);
  m_patternView->SetDrawnRect(m_zoomDrawnRect);
}

CWnd* CTabView::GetToolWindow(ToolSlot slot) const {
  if (slot < 0 || slot >= kToolSlotCount) return nullptr;
  return m_toolWindows[slot];
}

void CTabView::SetToolWindow(ToolSlot slot, CWnd* window) {
  if (slot < 0 || slot >= kToolSlotCount) return;
  if (window && m_lastDrawingTool) {
    m_lastDrawingTool->PointerCancel();
    m_lastDrawingTool = nullptr;
  }
  m_toolWindows[slot] = window;
  // Taken once here, while the window is whole.
  m_windowTools[slot] = dynamic_cast<IViewToolDialog*>(window);
}

void CTabView::DropPatternView() {
  delete m_patternView;
  m_patternView = nullptr;
}

void CTabView::SetZoomMode(int mode) {
  m_zoomMode = mode;
  if (mode == 2) {
    if (!m_patternView || m_patternView->IsFitToWindow()) m_zoomMode = 1;
    else m_rememberedZoom = m_patternView->GetZoom();
  }
}

void CTabView::ApplyZoomMode(bool invalidate) {
  if (!m_patternView) return;
  if (m_zoomMode == 1) {
    m_zoomMode = 0;
    m_patternView->SetFitToWindow(true, invalidate);
  } else {
    const int z = m_zoomMode == 2 ? m_rememberedZoom : GetAutoZoom(m_patternView);
    if (z <= 0) m_patternView->SetFitToWindow(true, invalidate);
    else m_patternView->SetZoom(z, invalidate, true);
  }
  m_patternView->SetDrawnRect(m_zoomDrawnRect);
}

int CTabView::GetAutoZoom(CImage* image) {
  if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return 0;
  CRect window;
  GetWindowRect(&window);
  const double r = std::min(static_cast<double>(window.Width()) / image->GetWidth(),
                            static_cast<double>(window.Height()) / image->GetHeight());
  if (r > 1) return 0;
  if (r >= 0.75) return 100;
  if (r >= 0.3) return 50;
  return 25;
}

void CTabView::InvalidateCells(const RECT& cells) {
  if (IsRectEmpty(&cells) || !GetSafeHwnd()) return;
  InvalidateRect(&cells, FALSE);
}

bool CTabView::RedrawBeads(const int* indexes, size_t count) {
  if (count == 0 || !m_patternView || !m_patternView->IsValid()) return false;
  RECT cells{0, 0, 0, 0};
  m_patternView->RepaintBeads(indexes, count, false, nullptr, &cells);
  InvalidateCells(cells);
  m_design.SetModified(true);
  return true;
}

bool CTabView::RedrawRemovedBeads(const std::vector<int>& indexes) {
  if (indexes.empty() || !m_patternView || !m_patternView->IsValid()) return false;
  RECT cells{0, 0, 0, 0};
  m_patternView->RepaintBeads(indexes, true, IsPartialDialogOpen() ? m_originalView : nullptr, &cells);
  InvalidateCells(cells);
  m_design.SetModified(true);
  return true;
}

bool CTabView::RenderPatternImage(CDC* dc, CImage** out) {
  if (!out) return false;
  HBITMAP bitmap = nullptr;
  CRenderUnder under;
  under.progress = m_progressHost;
  if (!RenderPatternBitmap(dc, &bitmap, m_design, m_palette, false, false, &under)) return false;
  delete *out;
  *out = new CImage(bitmap);
  DeleteObject(bitmap);
  return true;
}

bool CTabView::RenderPatternScaled(SIZE size, int factor, CBitmap* out, COLORREF background) {
  return RenderPatternShrunk(nullptr, m_design, m_palette, size, factor, out, background, nullptr);
}

int CTabView::CountUsedColors() {
  CColorUsage usage(&m_design);
  m_palette.CountUsage(usage);
  return usage.beadCount;
}

// ---- Design, palette, pictures ----

void CTabView::SetColorSet(const CColorSet& colorSet, const CString& path) {
  m_palette = colorSet;
  m_palettePath = path;
}

bool CTabView::BuildDesign(const CPatternParams& params) {
  if (!m_originalView && !params.m_blank) return false;
  long long budget = GetAppSettings().m_maxBeads;
  return BuildPattern(m_design, static_cast<unsigned long long>(budget), params, m_palette, m_originalView,
                      m_progressHost);
}

void CTabView::ApplyPaletteChange() {
  m_design.RematchColors(m_palette, "Palette Replacing", m_progressHost);
  m_design.ClearMarkedBeads();
  OnPatternChanged(true);
  if (IViewToolSource* pane = GetToolSource()) pane->RefreshColorList();
}

void CTabView::SetOriginalView(CImageView* view, const CString& path) {
  const bool changed = view != m_originalView;
  if (changed) delete m_originalView;
  m_originalView = view;
  m_originalPath = view ? path : CString();
  if (IViewToolSource* pane = GetToolSource()) {
    // The overlay shows the old picture: it closes whenever the picture
    // changes, not only when it goes.
    if (changed || !view) pane->HideOriginalOverlay();
    pane->UpdateOriginalControls();
  }
}

bool CTabView::IsToolDialogOpen(CCmdUI* cmdUI) const {
  bool open = false;
  for (CWnd* window : m_toolWindows) open = open || window != nullptr;
  if (open && cmdUI) cmdUI->Enable(FALSE);
  return open;
}

// ---- Status bar ----

void CTabView::GetStatusPaneText(int pane, CString& text) {
  text = " ";
  switch (pane) {
    case 0:
      if (m_originalView && m_originalView->IsValid()) {
        CString title;
        FileTitleOf(m_originalPath, title);
        text.Format(LoadResString(kIdsOriginalInfo), title.GetString(), m_originalView->GetWidth(), m_originalView->GetHeight());
      } else {
        text = LoadResString(kIdsOriginalNotLoaded);
      }
      break;
    case 1:
      if (m_design.HasBeads()) {
        const int beads = CountUsedColors();
        text.Format(LoadResString(kIdsDesignInfo), m_design.GetActualWidthInUnits(), m_design.GetActualHeightInUnits(),
                    GroupedNumber(beads).GetString());
      }
      break;
    case 2:
      if (!m_palettePath.IsEmpty()) {
        CString title;
        FileTitleOf(m_palettePath, title);
        text.Format(LoadResString(kIdsPaletteInfo), title.GetString(), m_palette.GetCheckedCount(),
                    m_palette.GetUsedCount(), m_palette.GetCount());
      } else {
        text = LoadResString(kIdsPaletteNotLoaded);
      }
      break;
    default: break;
  }
}

void CTabView::ShowStatusAlert(UINT id, int kind) { ShowStatusAlertText(LoadResString(id), kind); }

void CTabView::ShowStatusAlertText(const CString& text, int kind) {
  if (kind == 0) MessageBeep(MB_ICONEXCLAMATION);
  ShowViewStatusAlert(text, kind);
}
