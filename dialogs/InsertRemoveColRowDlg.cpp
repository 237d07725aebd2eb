#include "dialogs/InsertRemoveColRowDlg.h"

#include <algorithm>

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "image/ImageView.h"
#include "lang/ids/shared.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg.h"
#include "palette/ColorSet.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {
constexpr COLORREF kMaskGrey = RGB(192, 192, 192);
constexpr int kModeRadios[4] = {IDC_RC_INSERT_COLUMNS, IDC_RC_INSERT_ROWS, IDC_RC_REMOVE_COLUMNS, IDC_RC_REMOVE_ROWS};
int g_mode = CInsertRemoveColRowDlg::kInsertColumns;

bool IsRowMode(int mode) { return mode == CInsertRemoveColRowDlg::kInsertRows || mode == CInsertRemoveColRowDlg::kRemoveRows; }
}  // namespace

// ---- CAskInsertingLocationDlg ----

CAskInsertingLocationDlg::CAskInsertingLocationDlg(const Question& question, CWnd* parent)
    : CDialog(IDD_ADD_LOCATION, parent), m_question(question) {}

BOOL CAskInsertingLocationDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_LOC_GROUP, m_question.groupText);
  SetDlgItemText(IDC_LOC_EDGE, m_question.radioText);
  CheckRadioButton(IDC_LOC_EDGE, IDC_LOC_CENTER, IDC_LOC_EDGE);
  EnableCloseButton(this, false);
  return TRUE;
}

void CAskInsertingLocationDlg::OnOK() {
  m_result = IsDlgButtonChecked(IDC_LOC_EDGE) ? m_question.side : 0;
  EndDialog(IDOK);
}

// ---- CInsertRemoveColRowDlg ----

BEGIN_MESSAGE_MAP(CInsertRemoveColRowDlg, CDialog)
  ON_COMMAND_RANGE(IDC_RC_INSERT_COLUMNS, IDC_RC_REMOVE_ROWS, OnModeRadio)
  ON_COMMAND(IDC_RC_ADD, OnAdd)
  ON_COMMAND(IDC_RC_REMOVE, OnRemove)
  ON_COMMAND(IDC_RC_BACK, OnBackToInitial)
END_MESSAGE_MAP()

CInsertRemoveColRowDlg::CInsertRemoveColRowDlg(CTabView* view, CWnd* parent)
    : CDialog(IDD_ROWS_COLUMNS, parent),
      m_view(view),
      m_design(view->GetPattern()),
      m_copy(*view->GetPattern()),
      m_openModified(view->GetPattern()->IsModified()),
      m_palette(view->GetColorSet()),
      m_instructions(RGB(0, 0, 192), "", 14) {}

CInsertRemoveColRowDlg::~CInsertRemoveColRowDlg() = default;

int CInsertRemoveColRowDlg::GetSharedMode() { return g_mode; }

int CInsertRemoveColRowDlg::AskLocation(const CAskInsertingLocationDlg::Question& question, CWnd* parent) {
  CAskInsertingLocationDlg dialog(question, parent);
  dialog.DoModal();
  return dialog.GetResult();
}

void CInsertRemoveColRowDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_RC_INSTRUCTIONS, m_instructions);
  DDX_Control(pDX, IDC_RC_COLOR, m_color);
  DDX_Control(pDX, IDC_RC_ADD, m_add);
  DDX_Control(pDX, IDC_RC_REMOVE, m_remove);
  DDX_Control(pDX, IDOK, m_ok);
}

BOOL CInsertRemoveColRowDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const CString instructions = LoadResString(IDS_RC_STEP_MODE) + "\n" + LoadResString(IDS_RC_STEP_DRAW) + "\n" +
                               LoadResString(IDS_RC_STEP_PRESS);
  m_instructions.SetWindowText(instructions);
  CheckRadioButton(IDC_RC_INSERT_COLUMNS, IDC_RC_REMOVE_ROWS, kModeRadios[g_mode]);
  UpdateModeControls();
  m_smallIcon = static_cast<HICON>(
      LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_ROWS_COLUMNS), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (m_smallIcon) SetIcon(m_smallIcon, FALSE);
  m_add.SetIcon(IDI_ADD_ROWS_COLUMNS, 16, 16);
  m_add.SetIconTextSpacing(-4);
  m_remove.SetIcon(IDI_PAGE_STATUSBAR, 16, 16);
  m_remove.SetIconTextSpacing(-4);
  m_ok.SetBitmap(IDB_APPLY_BUTTON, 16, 15, kMaskGrey);
  m_ok.SetIconTextSpacing(-12);
  SetDlgItemText(IDC_RC_INFO, "");
  m_color.ResetContent();
  m_color.FillUsedColors(m_palette);
  m_color.SetCurSel(0);
  if (IMainFrame* frame = GetIMainFrame()) PlaceDialogBesideView(this, frame->GetCtrlPane(), true, 2);
  return TRUE;
}

void CInsertRemoveColRowDlg::OnModeRadio(UINT id) {
  for (int mode = 0; mode < 4; ++mode)
    if (kModeRadios[mode] == static_cast<int>(id)) SetMode(mode);
}

void CInsertRemoveColRowDlg::SetMode(int mode) {
  if (mode < 0 || mode > 3) return;
  g_mode = mode;
  CheckRadioButton(IDC_RC_INSERT_COLUMNS, IDC_RC_REMOVE_ROWS, kModeRadios[mode]);
  UpdateModeControls();
}

void CInsertRemoveColRowDlg::ClearBand() {
  const bool shown = m_bandShown;
  m_bandShown = m_dragging = m_dragEnded = false;
  SetDlgItemText(IDC_RC_INFO, "");
  if (shown) m_view->Invalidate(FALSE);
}

void CInsertRemoveColRowDlg::UpdateModeControls() {
  if (m_bandShown) ClearBand();
  const bool insert = g_mode == kInsertColumns || g_mode == kInsertRows;
  EnableOwnerDrawn(m_add, insert);
  EnableOwnerDrawn(m_color, insert);
  EnableOwnerDrawn(m_remove, !insert);
}

RECT CInsertRemoveColRowDlg::GetSelectionRect() const {
  const int columns = static_cast<int>(m_design->GetColumnCount());
  const int rows = static_cast<int>(m_design->GetRowCount());
  if (IsRowMode(g_mode))
    return RECT{0, std::min(m_first.y, m_second.y), columns - 1, std::max(m_first.y, m_second.y)};
  return RECT{std::min(m_first.x, m_second.x), 0, std::max(m_first.x, m_second.x), rows - 1};
}

bool CInsertRemoveColRowDlg::PointerDown(const CViewPointer& pointer) {
  if (pointer.button != CViewPointer::kLeft || !pointer.onCell) return false;
  if (m_bandShown) ClearBand();
  m_first = POINT{pointer.column, pointer.row};
  m_dragging = true;
  m_dragEnded = false;
  return true;
}

void CInsertRemoveColRowDlg::PointerMove(const CViewPointer& pointer) {
  if (!pointer.onCell || !m_dragging || m_dragEnded) return;
  m_second = POINT{pointer.column, pointer.row};
  m_bandShown = true;
  m_view->Invalidate(FALSE);
}

void CInsertRemoveColRowDlg::PointerUp(const CViewPointer& pointer) {
  if (pointer.onCell) m_dragEnded = true;
}

void CInsertRemoveColRowDlg::DrawOverDesign(CDC* dc) {
  if (!m_bandShown || !dc) return;
  CPatternImageView* picture = m_view->GetPatternView();
  if (!picture) return;
  const RECT band = GetSelectionRect();
  const RECT drawn = picture->GetDrawnRect();
  CBead first, second;
  if (!m_design->GetBead(band.left, band.top, first) || !m_design->GetBead(band.right, band.bottom, second)) return;
  first.m_y = 1.0 - first.m_y;
  second.m_y = 1.0 - second.m_y;
  const RECT a = m_design->GetBeadRectTopDown(first, drawn);
  const RECT b = m_design->GetBeadRectTopDown(second, drawn);
  const int qx = (a.right - a.left) / 4, qy = (a.bottom - a.top) / 4;
  const POINT p{(a.left + a.right) / 2 - qx, (a.top + a.bottom) / 2 - qy};
  const POINT q{(b.left + b.right) / 2 + qx, (b.top + b.bottom) / 2 + qy};
  CTabView::DrawXorRectOnDC(dc, p, q);
  CString info;
  if (IsRowMode(g_mode))
    info.Format(LoadResString(IDS_RC_ROWS_INFO).GetString(), band.top + 1, band.bottom + 1, int(m_design->GetRowCount()));
  else
    info.Format(LoadResString(IDS_RC_COLUMNS_INFO).GetString(), band.left + 1, band.right + 1, int(m_design->GetColumnCount()));
  CString shown;
  GetDlgItemText(IDC_RC_INFO, shown);
  if (shown != info) SetDlgItemText(IDC_RC_INFO, info);
}

void CInsertRemoveColRowDlg::Refresh() {
  ClearBand();
  // Rendered again in the view's zoom mode (fitted stays fitted to the new
  // grid).
  m_view->OnPatternChanged(false);
  m_view->Invalidate(FALSE);
  m_design->SetModified(true);
  if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
}

void CInsertRemoveColRowDlg::OnAdd() {
  if (!m_bandShown) {
    AppMessageBoxId(IDS_RC_SELECT_AREA, kMbIconStop, m_hWnd);
    return;
  }
  const int item = m_color.GetCurSel();
  if (item < 0) return;
  const int color = m_palette->GetNthChecked(item);
  if (color < 0) return;
  RECT band = GetSelectionRect();
  int side = 0;
  const int columns = static_cast<int>(m_design->GetColumnCount());
  const int rows = static_cast<int>(m_design->GetRowCount());
  CAskInsertingLocationDlg::Question question;
  if (g_mode == kInsertColumns) {
    question.groupText = LoadResString(IDS_RC_ADD_COLUMNS);
    if (band.left == 0) {
      question.side = 1;
      question.radioText = LoadResString(IDS_DIR_LEFT);
      side = AskLocation(question, this);
      if (side == 0) OffsetRect(&band, band.right - band.left + 1, 0);
    } else if (band.right == columns - 1) {
      question.side = 2;
      question.radioText = LoadResString(IDS_DIR_RIGHT);
      side = AskLocation(question, this);
    }
  } else if (g_mode == kInsertRows) {
    question.groupText = LoadResString(IDS_RC_ADD_ROWS);
    if (band.top == 0) {
      question.side = 3;
      question.radioText = LoadResString(IDS_RC_SIDE_TOP);
      side = AskLocation(question, this);
      if (side == 0) OffsetRect(&band, 0, band.bottom - band.top + 1);
    } else if (band.bottom == rows - 1) {
      question.side = 4;
      question.radioText = LoadResString(IDS_RC_SIDE_BOTTOM);
      side = AskLocation(question, this);
    }
  } else {
    return;
  }
  CInsertRequest request;
  request.rows = g_mode == kInsertRows ? 1 : 0;
  request.block = band;
  request.colorIndex = color;
  request.place = side;
  if (!m_design->InsertRowsOrColumns(request)) return;
  Refresh();
  m_changed = true;
}

void CInsertRemoveColRowDlg::OnRemove() {
  if (!m_bandShown) {
    AppMessageBoxId(IDS_RC_SELECT_AREA, kMbIconStop, m_hWnd);
    return;
  }
  const RECT band = GetSelectionRect();
  const int columns = static_cast<int>(m_design->GetColumnCount());
  const int rows = static_cast<int>(m_design->GetRowCount());
  if (band.left == 0 && band.top == 0 && band.right == columns - 1 && band.bottom == rows - 1) {
    AppMessageBoxId(IDS_RC_AREA_TOO_BIG, kMbIconStop, m_hWnd);
    return;
  }
  CRemoveRequest request;
  request.mode = g_mode;
  request.block = band;
  if (!m_design->RemoveRowsOrColumns(request)) return;
  Refresh();
  m_changed = true;
}

void CInsertRemoveColRowDlg::OnBackToInitial() {
  *m_design = m_copy;
  Refresh();
  m_design->SetModified(m_openModified);
  m_changed = false;
}

void CInsertRemoveColRowDlg::OnOK() {
  if (m_changed) m_view->ClearEditHistory();
  End();
}

void CInsertRemoveColRowDlg::OnCancel() {
  if (m_changed) OnBackToInitial();
  End();
}

void CInsertRemoveColRowDlg::End() {
  if (m_smallIcon) DestroyIcon(m_smallIcon);
  m_smallIcon = nullptr;
  DestroyWindow();
}

void CInsertRemoveColRowDlg::PostNcDestroy() {
  if (m_view->GetToolWindow(CTabView::kToolRowsColumns) == this) {
    m_view->SetToolWindow(CTabView::kToolRowsColumns, nullptr);
    m_view->Invalidate(FALSE);
  }
  delete this;
}

CInsertRemoveColRowDlg* OpenRowsColumnsDialog(CTabView* view, CWnd* parent) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return nullptr;
  auto* dialog = new CInsertRemoveColRowDlg(view, parent);
  view->SetToolWindow(CTabView::kToolRowsColumns, dialog);
  if (!dialog->Create(IDD_ROWS_COLUMNS, parent)) {
    view->SetToolWindow(CTabView::kToolRowsColumns, nullptr);
    delete dialog;
    return nullptr;
  }
  dialog->ShowWindow(SW_SHOW);
  return dialog;
}
