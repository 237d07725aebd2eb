#include "dialogs/SeparatedBeadsDlg.h"

#include <algorithm>

#include "core/FrameServices.h"
#include "core/TextUtils.h"
#include "dialogs/ChangeColorDlg.h"
#include "lang/ids/file.h"
#include "lang/ids/shell.h"
#include "lang/ids/tooldlg2.h"
#include "palette/ColorSet.h"
#include "controls/WindowUtils.h"
#include "view/TabView.h"

BEGIN_MESSAGE_MAP(CDeleteSepStitchDlg, CDialog)
  ON_CBN_SELCHANGE(IDC_SEP_SIZE, OnSizeChange)
  ON_BN_CLICKED(IDC_SEP_DIAGONAL, OnDiagonal)
  ON_BN_CLICKED(IDC_SEP_DISPLAY_ALL, OnDisplayAll)
  ON_BN_CLICKED(IDC_SEP_FORBIDDEN_SHOW, OnDisplayForbidden)
  ON_BN_CLICKED(IDC_SEP_CHANGE_SELECTED, OnChangeSelected)
  ON_BN_CLICKED(IDC_SEP_CHANGE_ALL, OnChangeAll)
  ON_BN_CLICKED(IDC_SEP_UNDO, OnUndo)
  ON_BN_CLICKED(IDC_SEP_REDO, OnRedo)
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_SEP_LIST, OnGroupSelect)
END_MESSAGE_MAP()

CDeleteSepStitchDlg::CDeleteSepStitchDlg(UINT templateId, CTabView* view, CWnd* parent)
    : CDialog(templateId, parent),
      m_design(view->GetPattern()),
      m_palette(view->GetColorSet()),
      m_view(view),
      m_viewWindow(view->GetSafeHwnd()),
      m_undo(view->GetPattern()),
      m_opened(*view->GetPattern()),
      m_forbidden(view->GetPattern()->m_markedBeads) {
  m_diagonalValue = std::make_unique<CSerializeValue<bool>>(kDiagonalValueName, m_diagonal);
}

CDeleteSepStitchDlg::~CDeleteSepStitchDlg() {
  ClearSlot();
  if (m_icon) ::DestroyIcon(m_icon);
}

CDeleteSepStitchDlg* CDeleteSepStitchDlg::Open(CTabView* view, CWnd* frame) {
  if (!view || !view->GetPattern()->HasBeads() || view->IsToolDialogOpen()) return nullptr;
  const UINT id = IsSmallScreen() ? IDD_SEPARATED_BEADS_SMALL : IDD_SEPARATED_BEADS;
  auto* dialog = new CDeleteSepStitchDlg(id, view, frame);
  view->SetToolWindow(CTabView::kToolSeparated, dialog);
  if (!dialog->Create(id, frame)) {
    dialog->ClearSlot();
    delete dialog;
    return nullptr;
  }
  dialog->ShowWindow(SW_SHOW);
  return dialog;
}

IProgressHost* CDeleteSepStitchDlg::ProgressHost() const {
  return m_view && ViewAlive() ? m_view->GetProgressHost() : nullptr;
}

void CDeleteSepStitchDlg::ClearSlot() {
  if (!m_view || !ViewAlive()) return;
  if (m_view->GetToolWindow(CTabView::kToolSeparated) == this) m_view->SetToolWindow(CTabView::kToolSeparated, nullptr);
}

void CDeleteSepStitchDlg::PostNcDestroy() { delete this; }

void CDeleteSepStitchDlg::InvalidateView() {
  if (m_view->GetSafeHwnd()) m_view->Invalidate(FALSE);
}

void CDeleteSepStitchDlg::RecountPalette() { m_palette->CountUsageQuick(*m_design); }

// The colour list of the control pane shows the counts of the design as the
// window leaves it (its own changes only recount the palette).
void CDeleteSepStitchDlg::RefreshPaneCounts() {
  m_view->CountUsedColors();
  if (IViewToolSource* pane = m_view->GetToolSource()) pane->RefreshColorList();
}

BOOL CDeleteSepStitchDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CWaitCursor wait;
  m_title.SubclassDlgItem(IDC_SEP_TITLE, this);
  m_hint.SubclassDlgItem(IDC_SEP_HINT, this);
  m_sizeLabel.SubclassDlgItem(IDC_SEP_SIZE_LABEL, this);
  m_forbiddenCount.SubclassDlgItem(IDC_SEP_FORBIDDEN_COUNT, this);
  m_countLabel.SubclassDlgItem(IDC_SEP_COUNT, this);
  m_changeSelected.SubclassDlgItem(IDC_SEP_CHANGE_SELECTED, this);
  m_changeAll.SubclassDlgItem(IDC_SEP_CHANGE_ALL, this);
  m_list.SubclassDlgItem(IDC_SEP_LIST, this);
  m_undoButton.SubclassDlgItem(IDC_SEP_UNDO, this);
  m_redoButton.SubclassDlgItem(IDC_SEP_REDO, this);
  m_region.SubclassDlgItem(IDC_SEP_REGION, this);
  m_size.SubclassDlgItem(IDC_SEP_SIZE, this);

  CheckDlgButton(IDC_SEP_FORBIDDEN_SHOW, m_forbidden.empty() ? BST_UNCHECKED : BST_CHECKED);
  for (int n = 1; n <= 7; ++n) {
    CString text;
    if (n == 1)
      text = "1";
    else
      text.Format("1 - %d", n);
    const int at = m_size.AddString(text);
    m_size.SetItemData(at, static_cast<DWORD_PTR>(n));
  }
  m_size.SetCurSel(0);
  m_largest = 1;
  GetDlgItemText(IDC_SEP_COUNT, m_countFormat);

  CRect client;
  m_list.GetClientRect(&client);
  const int width = client.Width();
  const int first = width / 4;
  const int second = (width - first) / 2 + 3;
  m_list.InsertColumn(0, LoadResString(IDS_LIST_COLOR_COLUMN), LVCFMT_LEFT, first);
  m_list.InsertColumn(1, LoadResString(IDS_SEP_COLUMN_SEPARATED), LVCFMT_LEFT, second);
  m_list.InsertColumn(2, LoadResString(IDS_SEP_COLUMN_TOTAL), LVCFMT_LEFT, std::max(20, width - first - second - 16));
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

  m_changeAll.SetIcon(IDI_PAGE_STARTUP, 16, 16, 4, 4);
  GetDlgItemText(IDC_SEP_CHANGE_ALL, m_changeAllCaption);
  m_undoButton.SetBitmap(159, 16, 15, RGB(192, 192, 192));
  m_undoButton.SetIconTextSpacing(-4);
  m_redoButton.SetBitmap(160, 16, 15, RGB(192, 192, 192));
  m_redoButton.SetIconTextSpacing(-4);
  m_undo.SetButtonUpdater([this](bool canUndo, bool canRedo) {
    if (m_undoButton.GetSafeHwnd()) m_undoButton.EnableWindow(canUndo);
    if (m_redoButton.GetSafeHwnd()) m_redoButton.EnableWindow(canRedo);
  });
  SetUndoRedoTexts(this, IDC_SEP_UNDO, IDC_SEP_REDO);
  m_icon = static_cast<HICON>(
      ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_TB_REMOVE_SEPARATE), IMAGE_ICON, 16, 16, 0));
  if (m_icon) SetIcon(m_icon, FALSE);
  if (m_view->GetSafeHwnd()) PlaceDialogBesideView(this, m_view, true, 2);
  m_list.SetImageList(m_swatches.GetImageList(), LVSIL_SMALL);
  m_selected = -1;
  CheckDlgButton(IDC_SEP_DIAGONAL, m_diagonal ? BST_CHECKED : BST_UNCHECKED);
  FindGroups(-1, true, false);
  m_forbiddenCount.SetText(FormatGroupedNumber(m_forbidden.size(), ' '));
  FillRegionCombo(&m_region);
  GetDlgItem(IDC_SEP_FORBIDDEN_SHOW)->EnableWindow(!m_forbidden.empty());
  m_design->ClearMarkedBeads();
  InvalidateView();
  UpdateCountLabel();
  return TRUE;
}

void CDeleteSepStitchDlg::UpdateCountLabel() {
  CString text;
  text.Format(m_countFormat.IsEmpty() ? "%d" : m_countFormat.GetString(), m_list.GetItemCount());
  m_countLabel.SetText(text);
}

void CDeleteSepStitchDlg::UpdateUndoButtons() { m_undo.UpdateButtons(); }

const CSepStitchGroup* CDeleteSepStitchDlg::GetSelectedGroup() const {
  const auto& entries = m_finder.GetEntries();
  if (m_selected < 0 || m_selected >= static_cast<int>(entries.size())) return nullptr;
  return &entries[static_cast<size_t>(m_selected)];
}

bool CDeleteSepStitchDlg::FindGroups(int colorToSelect, bool warn, bool quiet) {
  CWaitCursor wait;
  // The forbidden area stands in for the design's marks while the search
  // runs (the finder itself does not look at marks).
  std::vector<UINT> own = m_design->m_markedBeads;
  m_design->SetMarkedBeads(m_forbidden);
  RecountPalette();
  bool found = false;
  {
    std::unique_ptr<CStatusProgress> progress;
    if (IProgressHost* host = ProgressHost(); !quiet && host)
      progress = std::make_unique<CStatusProgress>(host, m_design->GetBeadCount(), IDS_SEP_INIT_PROGRESS);
    found = m_finder.Find(*m_design, *m_palette, m_largest, m_diagonal, progress.get());
  }
  m_design->SetMarkedBeads(own);
  if (found) {
    FillList(colorToSelect, quiet);
  } else {
    m_finder.RemoveAll();
    m_listHandling = false;
    m_list.DeleteAllItems();
    m_listHandling = true;
    m_selected = -1;
    m_changeAll.SetWindowText(m_changeAllCaption);
    UpdateCountLabel();
    if (warn) {
      CString text;
      text.Format(LoadResString(IDS_SEP_NONE), m_largest);
      AppMessageBox(text, kMbIconInformation, GetSafeHwnd());
    }
  }
  return found;
}

void CDeleteSepStitchDlg::FillList(int colorToSelect, bool quiet) {
  const int oldTop = m_list.GetTopIndex();
  m_listHandling = false;
  m_selected = -1;
  m_list.DeleteAllItems();
  const auto& entries = m_finder.GetEntries();
  unsigned long long total = 0;
  int selectRow = -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    const CSepStitchGroup& group = entries[i];
    const int row = static_cast<int>(i);
    m_list.InsertItem(row, m_palette->GetColorName(group.colorIndex),
                      m_swatches.GetImageIndex(m_palette->GetColorrefAt(group.colorIndex)));
    CString text;
    text.Format("%d", group.GetBeadCount());
    m_list.SetItemText(row, 1, text);
    text.Format("%d", static_cast<int>(group.count));
    m_list.SetItemText(row, 2, text);
    m_list.SetItemData(row, static_cast<DWORD_PTR>(i));
    total += static_cast<unsigned long long>(group.GetBeadCount());
    if (group.colorIndex == colorToSelect && selectRow < 0) selectRow = row;
  }
  CString caption;
  caption.Format("%s (%s)", m_changeAllCaption.GetString(), FormatGroupedNumber(total, ' ').GetString());
  m_changeAll.SetWindowText(caption);
  m_listHandling = true;
  if (!quiet && m_list.GetItemCount() > 0) m_list.EnsureVisible(std::min(oldTop, m_list.GetItemCount() - 1), FALSE);
  if (selectRow >= 0) {
    m_selected = selectRow;
    MarkSelectedGroup();
    if (!quiet) SelectRow(selectRow, true);
  }
  UpdateCountLabel();
}

void CDeleteSepStitchDlg::SelectRow(int row, bool visible) {
  const bool handling = m_listHandling;
  m_listHandling = false;
  m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_listHandling = handling;
  if (visible) m_list.EnsureVisible(row, FALSE);
}

void CDeleteSepStitchDlg::MarkSelectedGroup() {
  CheckDlgButton(IDC_SEP_DISPLAY_ALL, BST_UNCHECKED);
  std::vector<UINT> marks;
  if (const CSepStitchGroup* group = GetSelectedGroup()) {
    for (const CSepStitchPart& part : group->parts)
      for (const CSepBeadGroup& piece : part)
        for (UINT index : piece) {
          if (!m_design->IsValidIndex(index)) continue;
          const CBead& bead = m_design->m_beads[index];
          if (bead.IsPresent() && bead.GetColorIndex(*m_design) == group->colorIndex) marks.push_back(index);
        }
  }
  m_design->SetMarkedBeads(marks);
  InvalidateView();
}

void CDeleteSepStitchDlg::OnGroupSelect(NMHDR* hdr, LRESULT* result) {
  *result = 0;
  if (!m_listHandling) return;
  const auto* item = reinterpret_cast<const NMLISTVIEW*>(hdr);
  const UINT wanted = LVIS_SELECTED | LVIS_FOCUSED;
  if ((item->uNewState & wanted) != wanted || item->iItem < 0) return;
  m_selected = static_cast<int>(m_list.GetItemData(item->iItem));
  MarkSelectedGroup();
}

void CDeleteSepStitchDlg::ChooseRow(int row) {
  m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CDeleteSepStitchDlg::ChooseSize(int entry) {
  m_size.SetCurSel(entry);
  OnSizeChange();
}

void CDeleteSepStitchDlg::OnSizeChange() {
  UpdateWindow();
  const int entry = m_size.GetCurSel();
  if (entry < 0) return;
  m_largest = std::clamp(static_cast<int>(m_size.GetItemData(entry)), 1, 7);
  FindGroups(-1, true, false);
  m_design->ClearMarkedBeads();
  InvalidateView();
}

void CDeleteSepStitchDlg::OnDiagonal() {
  m_diagonal = IsDlgButtonChecked(IDC_SEP_DIAGONAL) == BST_CHECKED;
  const CSepStitchGroup* group = GetSelectedGroup();
  FindGroups(group ? group->colorIndex : -1, true, false);
}

void CDeleteSepStitchDlg::OnDisplayAll() {
  std::vector<UINT> marks;
  const bool checked = IsDlgButtonChecked(IDC_SEP_DISPLAY_ALL) == BST_CHECKED;
  if (checked && !m_finder.GetEntries().empty()) {
    CWaitCursor wait;
    for (const CSepStitchGroup& group : m_finder.GetEntries())
      for (const CSepStitchPart& part : group.parts)
        for (const CSepBeadGroup& piece : part)
          for (UINT index : piece)
            if (m_design->IsValidIndex(index) && m_design->m_beads[index].IsPresent()) marks.push_back(index);
  }
  m_design->SetMarkedBeads(marks);
  if (checked && m_finder.GetEntries().empty()) {
    CString text;
    text.Format(LoadResString(IDS_SEP_NONE), m_largest);
    AppMessageBox(text, kMbIconInformation, GetSafeHwnd());
  }
  InvalidateView();
}

void CDeleteSepStitchDlg::OnDisplayForbidden() {
  if (IsDlgButtonChecked(IDC_SEP_FORBIDDEN_SHOW) == BST_CHECKED)
    m_design->SetMarkedBeads(m_forbidden);
  else
    m_design->ClearMarkedBeads();
  InvalidateView();
}

void CDeleteSepStitchDlg::ChangeGroup(size_t position, bool refresh, CStatusProgress* progress, bool perBead) {
  CWaitCursor wait;
  auto& entries = m_finder.GetEntries();
  if (position >= entries.size()) return;
  std::unique_ptr<CPattern> copy;
  if (refresh) copy = std::make_unique<CPattern>(*m_design);
  const int groupColor = entries[position].colorIndex;
  CNeighbourColors candidates;
  int step = progress ? progress->GetPos() : 0;
  const CSepStitchGroup& group = entries[position];
  for (size_t p = 0; p < group.parts.size(); ++p) {
    for (const CSepBeadGroup& piece : group.parts[p]) {
      if (piece.empty()) continue;
      CollectNeighbourColors(candidates, piece, *m_design, *m_palette);
      if (!candidates.empty()) {
        // A neighbour colour that is itself separated in this part wins;
        // otherwise the one nearest to the piece's colour.
        int chosen = -1;
        for (const CNeighbourColor& c : candidates)
          if (m_finder.ContainsBead(static_cast<int>(p), c.colorIndex, static_cast<UINT>(c.beadIndex))) {
            chosen = c.colorIndex;
            break;
          }
        if (chosen < 0) {
          const COLORREF own = m_design->m_beads[piece.front()].m_cachedColor;
          chosen = candidates[static_cast<size_t>(FindNearestCandidate(own, candidates))].colorIndex;
        }
        const COLORREF shown = m_palette->GetColorrefAt(chosen);
        for (UINT index : piece) {
          if (!m_design->IsValidIndex(index)) continue;
          CBead& bead = m_design->m_beads[index];
          bead.SetColorIndex(chosen);
          bead.m_cachedColor = shown;
          if (progress && perBead) progress->SetPos(++step);
        }
      }
      if (progress && !perBead) progress->SetPos(++step);
    }
  }
  m_design->ClearMarkedBeads();
  m_design->SetModified(true);
  m_changed = true;
  if (refresh) {
    m_view->OnPatternChanged(true);
    m_undo.RecordChanges(copy->m_beads);
    UpdateUndoButtons();
    FindGroups(groupColor, false, false);
  } else {
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(position));
    const bool handling = m_listHandling;
    m_listHandling = false;
    for (int row = m_list.GetItemCount() - 1; row >= 0; --row) {
      const auto data = static_cast<size_t>(m_list.GetItemData(row));
      if (data == position) {
        m_list.DeleteItem(row);
      } else if (data > position) {
        m_list.SetItemData(row, data - 1);
      }
    }
    m_listHandling = handling;
    m_selected = -1;
  }
}

void CDeleteSepStitchDlg::OnChangeSelected() {
  if (!GetSelectedGroup()) {
    AppMessageBoxId(m_list.GetItemCount() > 0 ? IDS_SELECT_A_COLOR : IDS_SEP_NONE,
                    m_list.GetItemCount() > 0 ? kMbIconStop : kMbIconInformation, GetSafeHwnd());
    return;
  }
  const size_t position = static_cast<size_t>(m_selected);
  std::unique_ptr<CStatusProgress> progress;
  if (IProgressHost* host = ProgressHost())
    progress = std::make_unique<CStatusProgress>(host, m_finder.GetEntries()[position].GetPartCount(),
                                                 IDS_SEP_DELETING);
  ChangeGroup(position, true, progress.get(), false);
}

void CDeleteSepStitchDlg::OnChangeAll() {
  if (m_list.GetItemCount() == 0) {
    CString text;
    text.Format(LoadResString(IDS_SEP_NONE), m_largest);
    AppMessageBox(text, kMbIconInformation, GetSafeHwnd());
    return;
  }
  const CPattern copy(*m_design);
  for (int pass = 1; pass <= 12 && !m_finder.GetEntries().empty(); ++pass) {
    CString caption;
    caption.Format(LoadResString(IDS_SEP_DELETING_PASS), pass);
    const int rows = m_list.GetItemCount();
    const bool perBead = rows == 1;
    const int total = perBead ? m_finder.GetEntries().back().GetBeadCount() : rows;
    {
      std::unique_ptr<CStatusProgress> progress;
      if (IProgressHost* host = ProgressHost()) progress = std::make_unique<CStatusProgress>(host, total, caption);
      while (m_list.GetItemCount() > 0 && !m_finder.GetEntries().empty()) {
        const int last = m_list.GetItemCount() - 1;
        SelectRow(last, true);
        m_list.UpdateWindow();
        ChangeGroup(static_cast<size_t>(m_list.GetItemData(last)), false, progress.get(), perBead);
      }
    }
    FindGroups(-1, false, true);
  }
  m_undo.RecordChanges(copy.m_beads);
  UpdateUndoButtons();
  m_design->ClearMarkedBeads();
  m_view->OnPatternChanged(true);
  RecountPalette();
  m_finder.RemoveAll();
  m_listHandling = false;
  m_list.DeleteAllItems();
  m_listHandling = true;
  m_selected = -1;
  m_changeAll.SetWindowText(m_changeAllCaption);
  UpdateCountLabel();
  m_changed = true;
}

bool CDeleteSepStitchDlg::PointerDown(const CViewPointer& pointer) {
  if (!pointer.hit.bead) return false;
  if (pointer.button == CViewPointer::kRight) {
    if (!pointer.hit.bead->IsPresent() || (pointer.keys & MK_SHIFT)) return false;
    SelectGroupOfBead(pointer.hit);
    return true;
  }
  RecolorPieceAt(pointer.point, pointer.hit);
  return true;
}

void CDeleteSepStitchDlg::RecolorPieceAt(POINT point, const CBeadHit& hit) {
  const CSepStitchGroup* group = GetSelectedGroup();
  const CSepBeadGroup* piece = nullptr;
  if (group && hit.index >= 0 && m_design->IsValidIndex(hit.index) && m_design->m_beads[size_t(hit.index)].IsPresent()) {
    for (const CSepStitchPart& part : group->parts)
      for (const CSepBeadGroup& candidate : part)
        if (!piece && std::find(candidate.begin(), candidate.end(), static_cast<UINT>(hit.index)) != candidate.end())
          piece = &candidate;
  }
  if (!piece) {
    ::MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  m_design->ClearMarkedBeads();
  const int groupColor = group->colorIndex;
  if (m_design->m_beads[size_t(hit.index)].GetColorIndex(*m_design) == groupColor) {
    m_design->ToggleBeadMark(static_cast<UINT>(hit.index));
    InvalidateView();
    const CPattern copy(*m_design);
    const std::vector<UINT> beads(piece->begin(), piece->end());
    CChangeColorDlg variants(m_view, beads, point, this);
    const INT_PTR answer = m_runVariants ? m_runVariants(variants) : variants.DoModal();
    RecountPalette();
    if (answer == IDOK && variants.GetSelectedColor() >= 0) {
      m_changed = true;
      // The whole piece takes the colour, not only the clicked bead.
      const int color = variants.GetSelectedColor();
      const COLORREF shown = m_palette->GetColorrefAt(color);
      for (UINT index : beads) {
        if (!m_design->IsValidIndex(index)) continue;
        m_design->m_beads[index].SetColorIndex(color);
        m_design->m_beads[index].m_cachedColor = shown;
      }
      m_view->OnPatternChanged(true);
      FindGroups(groupColor, true, false);
      m_design->SetModified(true);
      m_undo.RecordChanges(copy.m_beads);
      UpdateUndoButtons();
    }
  }
  MarkSelectedGroup();
}

void CDeleteSepStitchDlg::SelectGroupOfBead(const CBeadHit& hit) {
  if (!m_design->IsValidIndex(hit.index)) return;
  const int color = m_design->m_beads[size_t(hit.index)].GetColorIndex(*m_design);
  for (int row = 0; row < m_list.GetItemCount(); ++row) {
    const auto position = static_cast<size_t>(m_list.GetItemData(row));
    if (position < m_finder.GetEntries().size() && m_finder.GetEntries()[position].colorIndex == color) {
      SelectRow(row, true);
      m_selected = static_cast<int>(position);
      MarkSelectedGroup();
      return;
    }
  }
}

void CDeleteSepStitchDlg::MoveInHistory(bool forward) {
  CWaitCursor wait;
  if (forward)
    m_undo.Redo();
  else
    m_undo.Undo();
  UpdateUndoButtons();
  m_design->ClearMarkedBeads();
  m_design->RefreshBeadColors(*m_palette);
  m_view->OnPatternChanged(true);
  FindGroups(-1, false, false);
  m_selected = -1;
}

void CDeleteSepStitchDlg::OnUndo() { MoveInHistory(false); }

void CDeleteSepStitchDlg::OnRedo() { MoveInHistory(true); }

void CDeleteSepStitchDlg::OnOK() {
  if (m_closing) return;
  m_closing = true;
  if (!ViewAlive()) {
    DestroyWindow();
    return;
  }
  m_design->ClearMarkedBeads();
  InvalidateView();
  if (m_changed) {
    m_view->RecordChanges(m_opened);
    RefreshPaneCounts();
  }
  ClearSlot();
  DestroyWindow();
}

void CDeleteSepStitchDlg::OnCancel() {
  if (m_closing) return;
  m_closing = true;
  if (!ViewAlive()) {
    DestroyWindow();
    return;
  }
  m_design->ClearMarkedBeads();
  if (m_changed) {
    CWaitCursor wait;
    *m_design = m_opened;
    m_design->ClearMarkedBeads();
    m_view->OnPatternChanged(true);
    RefreshPaneCounts();
  } else {
    InvalidateView();
  }
  ClearSlot();
  DestroyWindow();
}
