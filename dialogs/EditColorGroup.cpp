#include "dialogs/EditColorGroup.h"

#include <cstdlib>

#include "controls/WindowUtils.h"
#include "core/FrameServices.h"
#include "lang/ids/shared.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg.h"
#include "palette/ColorSet.h"
#include "view/CtrlPane.h"
#include "view/FramePorts.h"
#include "view/TabView.h"

namespace {
constexpr COLORREF kMaskGrey = RGB(192, 192, 192);

// The edit's text as a decimal number, -1 when it is not one.
long ReadNumber(CWnd* dialog, int id) {
  CString text;
  dialog->GetDlgItemText(id, text);
  text.Trim();
  if (text.IsEmpty()) return -1;
  char* end = nullptr;
  const long value = std::strtol(text.GetString(), &end, 10);
  return (end && *end == 0) ? value : -1;
}
}  // namespace

BEGIN_MESSAGE_MAP(CEditColorGroup, CDialog)
  ON_COMMAND(IDC_ECG_APPLY, OnApply)
  ON_COMMAND(IDC_ECG_UNDO, OnUndo)
  ON_COMMAND(IDC_ECG_REDO, OnRedo)
  ON_COMMAND(IDC_ECG_SHOW_MARKS, OnShowMarks)
  ON_COMMAND(IDC_ECG_HIDE_MARKS, OnHideMarks)
  ON_COMMAND(IDC_ECG_UP_COLUMNS, OnUpperColumns)
  ON_COMMAND(IDC_ECG_DOWN_COLUMNS, OnLowerColumns)
END_MESSAGE_MAP()

CEditColorGroup::CEditColorGroup(CTabView* view, CWnd* parent)
    : CDialog(IsSmallScreen() ? IDD_EDIT_COLOR_GROUP_SMALL : IDD_EDIT_COLOR_GROUP, parent),
      m_view(view),
      m_design(view->GetPattern()),
      m_copy(*view->GetPattern()),
      m_lowerMfg(false, false),
      m_upperMfg(false, false),
      m_lowerNumber(false, false),
      m_upperNumber(false, false),
      m_lowerNumberLabel(RGB(64, 64, 64), "", 14),
      m_upperNumberLabel(RGB(64, 64, 64), "", 14),
      m_sortHint(RGB(0, 0, 128), "", 14),
      m_rightClickHint(RGB(96, 64, 0), "", 14),
      m_multiHint(RGB(96, 64, 0), "", 14),
      m_lower("EditColorGroupDownList16Jule2010", 0, 0),
      m_upper("EditColorGroupUpList16Jule2010", 0, 0) {}

CEditColorGroup::~CEditColorGroup() = default;

void CEditColorGroup::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ECG_DOWN_MFG, m_lowerMfg);
  DDX_Control(pDX, IDC_ECG_UP_MFG, m_upperMfg);
  DDX_Control(pDX, IDC_ECG_DOWN_NUMBER, m_lowerNumber);
  DDX_Control(pDX, IDC_ECG_UP_NUMBER, m_upperNumber);
  DDX_Control(pDX, IDC_ECG_DOWN_NUMBER_LABEL, m_lowerNumberLabel);
  DDX_Control(pDX, IDC_ECG_UP_NUMBER_LABEL, m_upperNumberLabel);
  DDX_Control(pDX, IDC_ECG_SORT_HINT, m_sortHint);
  DDX_Control(pDX, IDC_ECG_RIGHT_CLICK_HINT, m_rightClickHint);
  DDX_Control(pDX, IDC_ECG_MULTI_HINT, m_multiHint);
  DDX_Control(pDX, IDC_ECG_UNDO, m_undo);
  DDX_Control(pDX, IDC_ECG_REDO, m_redo);
  DDX_Control(pDX, IDC_ECG_APPLY, m_apply);
  DDX_Control(pDX, IDC_ECG_DOWN_LIST, m_lower);
  DDX_Control(pDX, IDC_ECG_UP_LIST, m_upper);
}

BOOL CEditColorGroup::OnInitDialog() {
  CDialog::OnInitDialog();
  m_upper.Init();
  m_lower.Init();
  FillLists();
  m_undo.SetBitmap(IDB_UNDO_BUTTON, 16, 15, kMaskGrey);
  m_redo.SetBitmap(IDB_REDO_BUTTON, 16, 15, kMaskGrey);
  m_apply.SetBitmap(IDB_APPLY_BUTTON, 16, 15, kMaskGrey);
  m_apply.SetIconTextSpacing(-4);
  if (IMainFrame* frame = GetIMainFrame()) PlaceDialogBesideView(this, frame->GetCtrlPane(), true, 2);
  m_snapshots.emplace_back(*m_design);
  m_position = 0;
  UpdateUndoButtons();
  m_smallIcon = static_cast<HICON>(
      LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_COLOR_GROUP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (m_smallIcon) SetIcon(m_smallIcon, FALSE);
  return TRUE;
}

void CEditColorGroup::FillLists() {
  CColorSet* palette = m_view->GetColorSet();
  m_upper.SetColorSet(palette, 0);
  m_lower.SetColorSet(palette, 1);
}

bool CEditColorGroup::CanUndo() const {
  return !m_snapshots.empty() && m_position > 0 && m_position < static_cast<int>(m_snapshots.size());
}

bool CEditColorGroup::CanRedo() const { return m_position + 1 < static_cast<int>(m_snapshots.size()); }

void CEditColorGroup::UpdateUndoButtons() {
  EnableOwnerDrawn(m_undo, CanUndo());
  EnableOwnerDrawn(m_redo, CanRedo());
}

BOOL CEditColorGroup::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (HIWORD(wParam) == EN_CHANGE) {
    const long number = ReadNumber(this, id);
    if (number >= 0) {
      const auto value = static_cast<unsigned>(number);
      switch (id) {
        case IDC_ECG_UP_NUMBER: m_upper.FindColorNumber(value); break;
        case IDC_ECG_DOWN_NUMBER: m_lower.FindColorNumber(value); break;
        case IDC_ECG_UP_MFG: m_upper.FindNumberInName(value); break;
        case IDC_ECG_DOWN_MFG: m_lower.FindNumberInName(value); break;
        default: break;
      }
    }
  }
  return CDialog::OnCommand(wParam, lParam);
}

bool CEditColorGroup::PointerDown(const CViewPointer& pointer) {
  const CBead* bead = pointer.hit.bead;
  if (pointer.button != CViewPointer::kRight || !bead || !bead->IsPresent()) return false;
  CPaletteColor colour;
  if (!m_view->GetColorSet()->GetColorCopy(bead->GetColorIndex(*m_design), colour)) return false;
  SelectUpperColor(colour.GetRgb());
  return true;
}

void CEditColorGroup::SelectUpperColor(const CRgbTriple& color) {
  m_upper.ClearSelection();
  m_upper.SelectColor(color);
  m_upper.SetFocus();
}

void CEditColorGroup::ClearMarks() {
  for (CBead& bead : m_design->m_beads)
    if (bead.IsSelected()) bead.SetSelected(false);
}

void CEditColorGroup::OnApply() {
  const int source = m_upper.GetSelectedIndex();
  if (source < 0) {
    AppMessageBoxId(IDS_ECG_SELECT_SOURCE, kMbIconStop, m_hWnd);
    return;
  }
  const int target = m_lower.GetSelectedIndex();
  if (target < 0) {
    AppMessageBoxId(IDS_ECG_SELECT_TARGET, kMbIconStop, m_hWnd);
    return;
  }
  CPaletteColor targetColor;
  m_lower.GetSelectedColor(targetColor);
  if (source == target) {
    AppMessageBoxId(IDS_ECG_SAME_COLORS, kMbIconStop, m_hWnd);
    return;
  }
  ClearMarks();
  if (!m_design->ReplaceColor(source, target)) return;
  m_snapshots.resize(static_cast<size_t>(m_position + 1), CPatternSnapshot(*m_design));
  m_snapshots.emplace_back(*m_design);
  m_position = static_cast<int>(m_snapshots.size()) - 1;
  UpdateUndoButtons();
  m_view->CountUsedColors();
  FillLists();
  m_view->OnPatternChanged(true);
  m_lower.ClearSelection();
  m_lower.SelectColor(targetColor.GetRgb());
}

void CEditColorGroup::AfterHistoryMove() {
  m_snapshots[static_cast<size_t>(m_position)].Restore(*m_design);
  m_view->OnPatternChanged(true);
  UpdateUndoButtons();
  m_view->CountUsedColors();
  FillLists();
}

void CEditColorGroup::OnUndo() {
  if (!CanUndo()) return;
  --m_position;
  AfterHistoryMove();
}

void CEditColorGroup::OnRedo() {
  if (!CanRedo()) return;
  ++m_position;
  AfterHistoryMove();
}

void CEditColorGroup::OnShowMarks() {
  const int selected = m_upper.GetSelectedIndex();
  if (selected < 0) return;
  for (CBead& bead : m_design->m_beads) bead.SetSelected(bead.GetColorIndex(*m_design) == selected);
  m_view->OnPatternChanged(true);
}

void CEditColorGroup::OnHideMarks() {
  ClearMarks();
  m_view->OnPatternChanged(true);
}

void CEditColorGroup::OnUpperColumns() { m_upper.OnColumns(); }
void CEditColorGroup::OnLowerColumns() { m_lower.OnColumns(); }

void CEditColorGroup::OnOK() {
  m_upper.StoreColumnWidths();
  m_lower.StoreColumnWidths();
  m_view->OnPatternChanged(true);
  m_view->RecordChanges(m_copy);
  End();
}

void CEditColorGroup::OnCancel() {
  m_upper.StoreColumnWidths();
  m_lower.StoreColumnWidths();
  if (IMainFrame* frame = GetIMainFrame())
    if (CCtrlPane* pane = frame->GetCtrlPane()) pane->UpdateWindow();
  if (!m_snapshots.empty()) m_snapshots.front().Restore(*m_design);
  m_view->OnPatternChanged(true);
  End();
}

void CEditColorGroup::End() {
  if (m_smallIcon) DestroyIcon(m_smallIcon);
  m_smallIcon = nullptr;
  DestroyWindow();
}

void CEditColorGroup::PostNcDestroy() {
  ClearMarks();
  m_view->OnPatternChanged(true);
  if (m_view->GetToolWindow(CTabView::kToolColorGroup) == this)
    m_view->SetToolWindow(CTabView::kToolColorGroup, nullptr);
  m_view->CountUsedColors();
  if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
  delete this;
}

IViewToolDialog* OpenEditColorGroupDialog(CTabView* view) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return nullptr;
  auto* dialog = new CEditColorGroup(view, view);
  view->SetToolWindow(CTabView::kToolColorGroup, dialog);
  const UINT id = IsSmallScreen() ? IDD_EDIT_COLOR_GROUP_SMALL : IDD_EDIT_COLOR_GROUP;
  if (!dialog->Create(id, view)) {
    view->SetToolWindow(CTabView::kToolColorGroup, nullptr);
    delete dialog;
    return nullptr;
  }
  dialog->ShowWindow(SW_SHOW);
  return dialog;
}
