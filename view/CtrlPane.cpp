// The control pane: layout, tools, the colour list and the overlay.
#include "view/CtrlPane.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "core/FrameServices.h"
#include "core/Registry.h"
#include "image/ImageView.h"
#include "lang/ids/view.h"
#include "settings/AppSettings.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {

constexpr UINT kPaneTimer = 7;
constexpr int kToolValues[8] = {0, 1, 2, 3, 4, 5, 6, 9};
constexpr UINT kToolIds[8] = {IDC_CP_PENCIL, IDC_CP_LINE,           IDC_CP_RECT, IDC_CP_RECT_FILLED,
                              IDC_CP_ELLIPSE, IDC_CP_ELLIPSE_FILLED, IDC_CP_FILL, IDC_CP_ERASE};
constexpr UINT kToolIcons[8] = {IDI_TOOL_PENCIL,  IDI_TOOL_LINE,           IDI_TOOL_RECT, IDI_TOOL_RECT_FILLED,
                                IDI_TOOL_ELLIPSE, IDI_TOOL_ELLIPSE_FILLED, IDI_TOOL_FILL, IDI_TOOL_ERASE};
constexpr UINT kToolTips[8] = {IDS_TOOL_PENCIL,  IDS_TOOL_LINE,           IDS_TOOL_RECT, IDS_TOOL_RECT_FILLED,
                               IDS_TOOL_ELLIPSE, IDS_TOOL_ELLIPSE_FILLED, IDS_TOOL_FILL, IDS_TOOL_ERASE};
constexpr int kToolX[8] = {5, 26, 52, 73, 99, 120, 146, 172};

const UINT g_msgViewSizeChanged = RegisterWindowMessage("MsgTabViewSizeChanged");
const UINT g_msgFitPanes = RegisterWindowMessage("QmCtrlPaneFitPanes");

RECT Box(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

int SlotOf(int tool) {
  for (int i = 0; i < 8; ++i)
    if (kToolValues[i] == tool) return i;
  return -1;
}

}  // namespace

CCtrlPaneLayout LayoutCtrlPane(int cx, int cy, bool russian, bool compact, int labelHeight) {
  CCtrlPaneLayout l;
  const int d = std::max(labelHeight, 39) - 39;
  if (cx - 1 > 40) {
    l.originalShown = true;
    l.originalGroup = Box(1, 1, cx - 1, 53);
    const int x = russian ? 75 : 55;
    l.slider = Box(x, 21, cx - 2 - x, 29);
  }
  if (cx > 1 && cy - 65 > 1) {
    l.paletteShown = true;
    l.paletteGroup = Box(1, 64, cx - 1, cy - 65);
    for (int i = 0; i < 8; ++i) l.tools[i] = Box(kToolX[i], 82, 20, 20);
    l.label = Box(3, 104, 270, 39 + d);
    l.combo = Box(3, 144 + d, russian ? 172 : 186, 300);
    // Room for the check box's text, clear of the group's frame on the right.
    l.showColor = Box(cx - 80, 144 + d, 76, 20);
    const int b = cy - 23 + (compact ? 20 : 0);
    l.list = RECT{3, 165 + d, 3 + cx - 5, std::max(b, 165 + d)};
    l.omitUnused = Box(3, b + 1, russian ? 136 : 116, 16);
    // The two buttons wide enough for their texts in the button font
    // ("Clear marked", "Columns...", "Сбросить", "Столбцы...").
    l.columns = Box(cx - 70, b + 1, 68, 19);
    l.clearMarked = RECT{cx - (russian ? 136 : 156), b + 1, cx - 72, b + 1 + 19};
  }
  return l;
}

BYTE OverlayAlpha(int position) { return static_cast<BYTE>((256 - 8 * (position + 1)) % 256); }

IMPLEMENT_DYNCREATE(CCtrlPane, CFormView)

BEGIN_MESSAGE_MAP(CCtrlPane, CFormView)
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_HSCROLL()
  ON_WM_DESTROY()
  ON_COMMAND_RANGE(IDC_CP_PENCIL, IDC_CP_ERASE, OnToolButton)
  ON_BN_CLICKED(IDC_CP_SHOW_ORIGINAL, OnShowOriginal)
  ON_BN_CLICKED(IDC_CP_OMIT_UNUSED, OnOmitUnused)
  ON_BN_CLICKED(IDC_CP_COLUMNS, OnColumns)
  ON_CBN_SELCHANGE(IDC_CP_RIGHT_ACTION, OnRightActionChange)
  ON_BN_CLICKED(IDC_CP_SHOW_COLOR, OnShowColor)
  ON_BN_CLICKED(IDC_CP_CLEAR_MARKED, OnClearMarked)
  ON_REGISTERED_MESSAGE(g_msgViewSizeChanged, OnViewSizeChanged)
  ON_REGISTERED_MESSAGE(g_msgFitPanes, OnFitPanes)
END_MESSAGE_MAP()

CCtrlPane::CCtrlPane()
    : CFormView(IDD_CTRL_PANE),
      m_rightClickLabel(0x304040, "Arial", 14),
      m_colorList("ColorCtrlPane16Jule2010", 0, 0),
      m_originalGroup(false, 0x608080),
      m_paletteGroup(false, 0x608080) {}

CCtrlPane::~CCtrlPane() { CloseOverlay(); }

void CCtrlPane::DoDataExchange(CDataExchange* dx) {
  CFormView::DoDataExchange(dx);
  DDX_Control(dx, IDC_CP_CLEAR_MARKED, m_clearMarked);
  DDX_Control(dx, IDC_CP_SHOW_COLOR, m_showColor);
  DDX_Control(dx, IDC_CP_RIGHT_ACTION, m_rightAction);
  DDX_Control(dx, IDC_CP_COLUMNS, m_columns);
  DDX_Control(dx, IDC_CP_OMIT_UNUSED, m_omitUnused);
  DDX_Control(dx, IDC_CP_RIGHT_CLICK_LABEL, m_rightClickLabel);
  for (int i = 0; i < 8; ++i) DDX_Control(dx, static_cast<int>(kToolIds[i]), m_tools[i]);
  DDX_Control(dx, IDC_CP_COLOR_LIST, m_colorList);
  DDX_Control(dx, IDC_CP_OPACITY, m_opacity);
  DDX_Control(dx, IDC_CP_ORIGINAL_GROUP, m_originalGroup);
  DDX_Control(dx, IDC_CP_PALETTE_GROUP, m_paletteGroup);
  DDX_Control(dx, IDC_CP_SHOW_ORIGINAL, m_showOriginal);
}

CTabView* CCtrlPane::GetDesignView() {
  if (m_view) return m_view;
  IMainFrame* frame = GetIMainFrame();
  return frame ? frame->GetTabView() : nullptr;
}

CToolbarButton& CCtrlPane::GetToolButton(int tool) {
  const int slot = SlotOf(tool);
  return m_tools[slot < 0 ? 0 : slot];
}

void CCtrlPane::OnInitialUpdate() {
  CFormView::OnInitialUpdate();
  if (IFrameServices* frame = GetFrameServices()) frame->FitPanes();
  // A later initial update (a new document in the frame) keeps the
  // controls and choices as they are.
  if (m_laidOut) return;
  m_laidOut = true;
  // Group boxes.
  LOGFONT title{};
  std::strcpy(title.lfFaceName, "Tahoma");
  title.lfHeight = 85;
  title.lfCharSet = DEFAULT_CHARSET;
  title.lfWeight = 700;
  title.lfOutPrecision = 3;
  title.lfClipPrecision = 2;
  title.lfQuality = 2;
  m_originalGroup.SetIcon(IDI_GROUP_ORIGINAL);
  m_paletteGroup.SetIcon(IDI_GROUP_PALETTE);
  for (CSSGroupBox* group : {&m_originalGroup, &m_paletteGroup}) {
    group->SetTitleFont(&title);
    group->SetUserValue(0xC00000, false);
    group->SetFrameColors(0x800000, 0xF0F0DC, false);
  }
  // Slider and "Show".
  m_opacity.SetRange(0, 255 / 8);
  m_opacity.SetPos(255 / 16);
  m_opacity.EnableWindow(FALSE);
  m_showOriginal.EnableWindow(FALSE);
  // Tools and tooltips.
  m_tooltip.Create(this);
  for (int i = 0; i < 8; ++i) {
    m_tools[i].SetIcon(kToolIcons[i], 16, 16, 2, 0);
    CString tip = LoadResString(kToolTips[i]);
    if (kToolValues[i] >= 2 && kToolValues[i] <= 5) tip += LoadResString(IDS_TOOL_CORNER_HINT);
    m_tooltip.AddTool(&m_tools[i], tip.GetString());
  }
  m_tools[0].SetPressed(true);
  m_tool = 0;
  m_tooltip.AddTool(&m_showColor, IDS_TIP_SHOW_COLOR);
  m_tooltip.AddTool(&m_clearMarked, IDS_TIP_CLEAR_MARKED);
  m_tooltip.AddTool(&m_columns, IDS_TIP_COLUMNS);
  m_tooltip.AddTool(&m_omitUnused, IDS_TIP_OMIT_UNUSED);
  m_tooltip.Activate(TRUE);
  m_rightClickLabel.SetText(LoadResString(IDS_RIGHT_CLICK_HELP).GetString());
  // Right-click options and the stored choices.
  for (UINT id : {IDS_RIGHT_ACTION_TOGGLE, IDS_RIGHT_ACTION_COLOR, IDS_RIGHT_ACTION_AREA})
    m_rightAction.AddString(LoadResString(id).GetString());
  CAppSettings& settings = GetAppSettings();
  const int action = settings.m_rightClickAction;
  m_rightAction.SetCurSel(action < 0 || action > 2 ? 0 : action);
  m_showColor.SetCheck(settings.m_showColor ? BST_CHECKED : BST_UNCHECKED);
  m_omitUnused.SetCheck(settings.m_omitUnusedColors ? BST_CHECKED : BST_UNCHECKED);
  m_buttonFont.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  m_columns.SetFont(&m_buttonFont);
  m_clearMarked.SetFont(&m_buttonFont);
  // The form's own font is wider than the room the pane's pixel layout
  // gives the check boxes and the combo box: they take an 8-point Arial.
  m_smallFont.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  for (CWnd* w : std::initializer_list<CWnd*>{&m_showOriginal, &m_showColor, &m_omitUnused, &m_rightAction})
    w->SetFont(&m_smallFont);
  CRect client;
  GetClientRect(&client);
  Layout(client.Width(), client.Height());
  // The list's automatic column widths share its laid-out width.
  m_colorList.Init();
}

int CCtrlPane::MeasureLabel(int width) {
  CClientDC dc(&m_rightClickLabel);
  CFont* font = m_rightClickLabel.GetFont();
  CFont* old = font ? dc.SelectObject(font) : nullptr;
  CRect r(0, 0, width, 0);
  CString text;
  m_rightClickLabel.GetWindowText(text);
  dc.DrawText(text, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  if (old) dc.SelectObject(old);
  return r.Height() + 2;
}

void CCtrlPane::Layout(int cx, int cy) {
  if (!m_originalGroup.GetSafeHwnd() || !m_paletteGroup.GetSafeHwnd() || cx <= 0 || cy <= 0) return;
  // The label keeps inside the pane and is as high as its text.
  const int labelWidth = std::min(270, cx - 5);
  const CCtrlPaneLayout l =
      LayoutCtrlPane(cx, cy, IsRussianInterface(), IsSmallScreen(), labelWidth > 0 ? MeasureLabel(labelWidth) : 0);
  const auto place = [](CWnd& wnd, const RECT& r) {
    wnd.SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  if (l.originalShown) {
    place(m_originalGroup, l.originalGroup);
    place(m_opacity, l.slider);
    place(m_showOriginal, RECT{4, 24, l.slider.left - 1, 44});
  }
  if (!l.paletteShown) return;
  place(m_paletteGroup, l.paletteGroup);
  for (int i = 0; i < 8; ++i) place(m_tools[i], l.tools[i]);
  place(m_rightClickLabel, RECT{l.label.left, l.label.top, l.label.left + std::max(labelWidth, 1), l.label.bottom});
  place(m_rightAction, l.combo);
  place(m_showColor, l.showColor);
  place(m_colorList, l.list);
  place(m_omitUnused, l.omitUnused);
  place(m_columns, l.columns);
  place(m_clearMarked, l.clearMarked);
}

void CCtrlPane::OnSize(UINT type, int cx, int cy) {
  CFormView::OnSize(type, cx, cy);
  Layout(cx, cy);
  // The splitter gets its fitted width again once the layout that first
  // sized the pane has finished.
  if (!m_fitted && cy > 0) {
    m_fitted = true;
    PostMessage(g_msgFitPanes);
  }
}

LRESULT CCtrlPane::OnFitPanes(WPARAM, LPARAM) {
  if (IFrameServices* frame = GetFrameServices()) frame->FitPanes();
  return 0;
}

BOOL CCtrlPane::PreTranslateMessage(MSG* msg) {
  if (m_tooltip.GetSafeHwnd()) m_tooltip.RelayEvent(msg);
  return CFormView::PreTranslateMessage(msg);
}

void CCtrlPane::GetIdealSize(CSize& size) const {
  const CSize total = GetTotalSize();
  size = CSize(total.cx + 98, total.cy);
}

void CCtrlPane::StoreColumnWidths() {
  if (m_colorList.GetSafeHwnd()) m_colorList.StoreColumnWidths();
}

// ---- Tools ----

void CCtrlPane::SelectTool(int tool) {
  if (tool == m_tool || SlotOf(tool) < 0) return;
  CToolbarButton& old = GetToolButton(m_tool);
  old.SetPressed(false);
  old.UpdateWindow();
  m_tool = tool;
  CToolbarButton& now = GetToolButton(tool);
  now.SetPressed(true);
  now.UpdateWindow();
}

void CCtrlPane::OnToolButton(UINT id) {
  for (int i = 0; i < 8; ++i)
    if (kToolIds[i] == id) SelectTool(kToolValues[i]);
}

// ---- The colour list ----

int CCtrlPane::GetPenColor() {
  if (!m_colorList.GetSafeHwnd()) return -1;
  return m_colorList.GetSelectedIndex();
}

void CCtrlPane::SelectColor(const CRgbTriple& color) {
  if (m_colorList.GetSafeHwnd()) m_colorList.SelectColor(color);
}

void CCtrlPane::FillColorList() {
  CTabView* view = GetDesignView();
  if (!view || !m_colorList.GetSafeHwnd()) return;
  m_colorList.SetColorSet(view->GetColorSet(), m_omitUnused.GetCheck() == BST_CHECKED ? 0 : 1);
}

void CCtrlPane::RefreshColorList() {
  if (!m_colorList.GetSafeHwnd()) return;
  CPaletteColor selected;
  const bool had = m_colorList.GetSelectedColor(selected);
  FillColorList();
  if (had) m_colorList.SelectColor(selected.GetRgb());
}

void CCtrlPane::OnOmitUnused() {
  GetAppSettings().m_omitUnusedColors = m_omitUnused.GetCheck() == BST_CHECKED ? 1 : 0;
  RefreshColorList();
}

void CCtrlPane::OnColumns() { m_colorList.OnColumns(); }

void CCtrlPane::OnRightActionChange() {
  const int sel = m_rightAction.GetCurSel();
  GetAppSettings().m_rightClickAction = sel >= 0 && sel <= 2 ? sel : 0;
}

void CCtrlPane::OnShowColor() { GetAppSettings().m_showColor = m_showColor.GetCheck() == BST_CHECKED ? 1 : 0; }

void CCtrlPane::OnClearMarked() {
  CTabView* view = GetDesignView();
  if (!view || !view->GetPattern()->HasMarkedBeads()) return;
  view->GetPattern()->ClearMarkedBeads();
  if (view->GetSafeHwnd()) view->Invalidate(FALSE);
}

void CCtrlPane::RepaintDesign() {
  UpdateWindow();
  if (CTabView* view = GetDesignView()) view->RenderPatternView();
}

// ---- The original overlay ----

void CCtrlPane::UpdateOriginalControls() {
  CTabView* view = GetDesignView();
  const bool original = view && view->GetOriginalView();
  if (m_showOriginal.GetSafeHwnd()) {
    m_showOriginal.EnableWindow(original);
    m_showOriginal.SetCheck(BST_UNCHECKED);
  }
  if (m_opacity.GetSafeHwnd()) m_opacity.EnableWindow(original && m_overlay != nullptr);
}

void CCtrlPane::HideOriginalOverlay() {
  if (!m_overlayShown) return;
  m_showOriginal.SetCheck(BST_UNCHECKED);
  SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CP_SHOW_ORIGINAL, BN_CLICKED),
              reinterpret_cast<LPARAM>(m_showOriginal.GetSafeHwnd()));
}

void CCtrlPane::CloseOverlay() {
  if (!m_overlay) return;
  m_overlay->Close();
  delete m_overlay;
  m_overlay = nullptr;
}

void CCtrlPane::ApplyAlpha() {
  if (m_overlay) m_overlay->SetAlpha(OverlayAlpha(m_opacity.GetPos()));
}

void CCtrlPane::OnShowOriginal() {
  if (m_overlayShown) {
    m_overlayShown = false;
    m_opacity.EnableWindow(FALSE);
    CloseOverlay();
    return;
  }
  m_opacity.EnableWindow(TRUE);
  CTabView* view = GetDesignView();
  CImageView* original = view ? view->GetOriginalView() : nullptr;
  if (!original || !original->IsValid()) {
    m_showOriginal.SetCheck(BST_UNCHECKED);
    AppMessageBoxId(IDS_OVERLAY_NO_ORIGINAL, kMbIconStop);
    m_opacity.EnableWindow(FALSE);
    return;
  }
  CloseOverlay();
  std::unique_ptr<CSafeBitmap> bitmap = original->ToBitmap();
  const auto& factories = GetViewDialogFactories();
  if (bitmap && factories.createOverlay)
    m_overlay = factories.createOverlay(static_cast<HBITMAP>(bitmap->GetSafeHandle()), OverlayAlpha(m_opacity.GetPos()),
                                        this, view);
  if (!m_overlay) {
    // Nothing is shown: the box and the slider say so.
    m_showOriginal.SetCheck(BST_UNCHECKED);
    m_opacity.EnableWindow(FALSE);
    return;
  }
  ApplyAlpha();
  m_overlayShown = true;
}

void CCtrlPane::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
  CFormView::OnHScroll(code, pos, bar);
  if (bar && bar->GetSafeHwnd() == m_opacity.GetSafeHwnd()) ApplyAlpha();
}

LRESULT CCtrlPane::OnViewSizeChanged(WPARAM, LPARAM) {
  m_timer = SetTimer(kPaneTimer, 10, nullptr);
  return 0;
}

void CCtrlPane::OnTimer(UINT_PTR id) {
  if (id != kPaneTimer) {
    CFormView::OnTimer(id);
    return;
  }
  KillTimer(kPaneTimer);
  m_timer = 0;
  if (m_overlay) {
    m_overlay->ResetPlacement();
    m_overlay->FitToViewImage();
  }
}

void CCtrlPane::OnDestroy() {
  CloseOverlay();
  CFormView::OnDestroy();
}
