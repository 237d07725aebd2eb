#include "dialogs/AddRemoveBlock.h"

#include "core/FrameServices.h"
#include "design/BeadBlock.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg.h"
#include "platform/base/waitcursor.h"
#include "view/TabView.h"

namespace {
int g_mode = CAddRemoveBlock::kModeRemove;

CBeadSelectorOptions PartialOptions() {
  CBeadSelectorOptions options;
  options.templateId = IDD_PARTIAL_DESIGN;
  options.undo = true;
  options.restoreAll = true;
  options.direction = true;
  return options;
}

std::vector<UINT> StartOf(int index) { return std::vector<UINT>{static_cast<UINT>(index)}; }

}  // namespace

BEGIN_MESSAGE_MAP(CAddRemoveBlock, CBaseBeadSelectorDlg)
  ON_COMMAND(IDC_PARTIAL_REMOVE_ALL, OnRemoveAllButton)
  ON_NOTIFY(TCN_SELCHANGE, IDC_PARTIAL_TABS, OnTabSelChange)
END_MESSAGE_MAP()

CAddRemoveBlock::CAddRemoveBlock(CTabView* view, CWnd* parent)
    : CBaseBeadSelectorDlg(view, PartialOptions(), parent, false) {}

CAddRemoveBlock::~CAddRemoveBlock() = default;

int CAddRemoveBlock::GetSharedMode() { return g_mode; }
void CAddRemoveBlock::SetSharedMode(int mode) { g_mode = mode == kModeRestore ? kModeRestore : kModeRemove; }

void CAddRemoveBlock::DoDataExchange(CDataExchange* pDX) {
  CBaseBeadSelectorDlg::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PARTIAL_TABS, m_tabs);
}

BOOL CAddRemoveBlock::OnInitDialog() {
  CBaseBeadSelectorDlg::OnInitDialog();
  m_tabs.InsertItem(0, LoadResString(IDS_PARTIAL_REMOVE_TAB));
  m_tabs.InsertItem(1, LoadResString(IDS_PARTIAL_RESTORE_TAB));
  m_tabs.SetCurSel(g_mode);
  CreateToolButtons(POINT{3, 27});
  m_smallIcon = static_cast<HICON>(
      LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_PARTIAL), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (m_smallIcon) SetIcon(m_smallIcon, FALSE);
  UpdateUndoButtons();
  // From here the flag tells whether the design changed while the window
  // was open.
  m_design->SetModified(false);
  return TRUE;
}

bool CAddRemoveBlock::InTargetState(const CBead& bead) const {
  return g_mode == kModeRestore ? bead.IsPresent() : !bead.IsPresent();
}

void CAddRemoveBlock::Repaint(const std::vector<int>& indexes) {
  if (g_mode == kModeRestore) m_view->RedrawBeads(indexes);
  else m_view->RedrawRemovedBeads(indexes);
}

void CAddRemoveBlock::SelectBead(const CBeadHit& hit, bool) {
  if (!m_design->IsValidIndex(hit.index)) return;
  const bool modified = m_design->IsModified();
  CBead& bead = m_design->m_beads[size_t(hit.index)];
  if (InTargetState(bead)) return;
  CBeadChange change(*m_design, hit.index);
  change.m_new.m_present = static_cast<BYTE>(g_mode);
  PushSingleChange(change);
  bead.m_present = static_cast<BYTE>(g_mode);
  Repaint(std::vector<int>{hit.index});
  // A single bead leaves the flag as it was (the repaint sets it).
  m_design->SetModified(modified);
}

void CAddRemoveBlock::SelectBeadList(const std::vector<int>& indexes) {
  CBeadChangeList step;
  std::vector<int> changed;
  step.reserve(indexes.size());
  changed.reserve(indexes.size());
  for (int i : indexes) {
    if (!m_design->IsValidIndex(i)) continue;
    CBead& bead = m_design->m_beads[size_t(i)];
    if (InTargetState(bead)) continue;
    CBeadChange change(*m_design, i);
    change.m_new.m_present = static_cast<BYTE>(g_mode);
    step.push_back(change);
    bead.m_present = static_cast<BYTE>(g_mode);
    changed.push_back(i);
  }
  if (changed.empty()) return;
  m_design->SetModified(true);
  PushChanges(std::move(step));
  Repaint(changed);
}

void CAddRemoveBlock::SelectSameColorBlock(const CBeadHit& hit) {
  if (!m_design->IsValidIndex(hit.index)) return;
  CWaitCursor wait;
  const CBead& bead = m_design->m_beads[size_t(hit.index)];
  CBeadBlockFinder finder(m_design);
  CIndexList result;
  result.Add(static_cast<UINT>(hit.index));
  if (g_mode == kModeRemove) {
    if (!bead.IsPresent()) return;
    finder.GrowSameColor(StartOf(hit.index), result, true, bead.m_colorIndex);
  } else {
    if (bead.IsPresent()) return;
    finder.GrowRemoved(StartOf(hit.index), result, true);
  }
  SelectBeadList(result.ToIntVector());
}

void CAddRemoveBlock::SelectBlockOutline(const CBeadHit& hit) {
  if (!m_design->IsValidIndex(hit.index)) return;
  CWaitCursor wait;
  CBeadBlockFinder finder(m_design);
  CIndexList block;
  block.Add(static_cast<UINT>(hit.index));
  if (g_mode == kModeRestore) {
    finder.GrowRemoved(StartOf(hit.index), block, true);
    SelectBeadList(block.ToIntVector());
    return;
  }
  const CBead& bead = m_design->m_beads[size_t(hit.index)];
  if (!bead.IsPresent()) return;
  finder.GrowSameColor(StartOf(hit.index), block, true, bead.m_colorIndex);
  CIndexList outline;
  std::vector<int> neighbours;
  for (UINT i : block.Items()) {
    m_design->GetNeighbours(static_cast<int>(i), true, neighbours);
    for (int n : neighbours)
      if (!block.Contains(static_cast<UINT>(n))) outline.Add(static_cast<UINT>(n));
  }
  if (outline.size() > 0) SelectBeadList(outline.ToIntVector());
}

void CAddRemoveBlock::OnRemoveAllButton() { OnRemoveAll(); }

void CAddRemoveBlock::OnRemoveAll() {
  std::vector<int> all;
  {
    CWaitCursor wait;
    const auto& beads = m_design->GetBeadArray();
    for (size_t i = 0; i < beads.size(); ++i)
      if (beads[i].IsPresent()) all.push_back(static_cast<int>(i));
    if (!all.empty()) {
      const int mode = g_mode;
      g_mode = kModeRemove;
      SelectBeadList(all);
      g_mode = mode;
    }
  }
  if (all.empty()) AppMessageBoxId(IDS_PARTIAL_ALL_REMOVED, kMbIconInformation, m_hWnd);
}

void CAddRemoveBlock::RestoreAll() {
  std::vector<int> all;
  {
    CWaitCursor wait;
    const auto& beads = m_design->GetBeadArray();
    for (size_t i = 0; i < beads.size(); ++i)
      if (!beads[i].IsPresent()) all.push_back(static_cast<int>(i));
    if (!all.empty()) {
      const int mode = g_mode;
      g_mode = kModeRestore;
      SelectBeadList(all);
      g_mode = mode;
    }
  }
  if (all.empty()) AppMessageBoxId(IDS_PARTIAL_NONE_REMOVED, kMbIconInformation, m_hWnd);
}

void CAddRemoveBlock::SelectModeTab(int mode) {
  m_tabs.SetCurSel(mode == kModeRestore ? 1 : 0);
  LRESULT result = 0;
  OnTabSelChange(nullptr, &result);
}

void CAddRemoveBlock::OnTabSelChange(NMHDR*, LRESULT* result) {
  g_mode = m_tabs.GetCurSel() > 0 ? kModeRestore : kModeRemove;
  if (result) *result = 0;
}

void CAddRemoveBlock::OnOK() {
  if (m_history.CanUndo() || m_design->IsModified()) {
    m_design->SetModified(true);
    m_view->RecordChanges(m_copy);
    m_view->PostMessage(GetMsgPatternChanged(), 1, 0);
    m_view->CountUsedColors();
    if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
  } else {
    m_design->SetModified(m_copy.IsModified());
  }
  End();
}

void CAddRemoveBlock::OnCancel() {
  if (m_history.CanUndo() || m_design->IsModified()) {
    *m_design = m_copy;
    m_view->PostMessage(GetMsgPatternChanged(), 1, 0);
  } else {
    m_design->SetModified(m_copy.IsModified());
  }
  End();
}

void CAddRemoveBlock::End() {
  if (m_smallIcon) DestroyIcon(m_smallIcon);
  m_smallIcon = nullptr;
  DestroyWindow();
}

void CAddRemoveBlock::PostNcDestroy() {
  if (m_view->GetToolWindow(CTabView::kToolPartial) == this) m_view->SetToolWindow(CTabView::kToolPartial, nullptr);
  delete this;
}

CAddRemoveBlock* OpenPartialDesignDialog(CTabView* view, CWnd* parent) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return nullptr;
  auto* dialog = new CAddRemoveBlock(view, parent);
  view->SetToolWindow(CTabView::kToolPartial, dialog);
  if (!dialog->Create(IDD_PARTIAL_DESIGN, parent)) {
    view->SetToolWindow(CTabView::kToolPartial, nullptr);
    delete dialog;
    return nullptr;
  }
  dialog->ShowWindow(SW_SHOW);
  return dialog;
}
