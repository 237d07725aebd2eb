#include "dialogs/SelectColumnsDlg.h"

#include <algorithm>

#include "controls/Buttons.h"
#include "core/FrameServices.h"
#include "lang/ids/adjust.h"
#include "lang/ids/shell.h"
#include "palette/ColorListData.h"

// ---- CColumnChoice ----

CColumnChoice::CColumnChoice(const CColumnLayout& used, int fixedCount) : used_(used), fixed_(std::max(0, fixedCount)) {
  RebuildOther();
}

void CColumnChoice::RebuildOther() {
  other_.clear();
  for (int kind = 0; kind < kColumnKinds; ++kind) {
    const bool inUse =
        std::any_of(used_.begin(), used_.end(), [kind](const std::pair<int, int>& e) { return e.first == kind; });
    if (!inUse) other_.emplace_back(kind, kDefaultWidth);
  }
}

bool CColumnChoice::CanDrag(int list, int row) const {
  if (list == 0) return row >= fixed_ && row < static_cast<int>(used_.size());
  if (list == 1) return row >= 0 && row < static_cast<int>(other_.size());
  return false;
}

bool CColumnChoice::Drop(int fromList, int draggedRow, int toList, int dropRow) {
  if (!CanDrag(fromList, draggedRow)) return false;
  int row = dropRow < 0 ? 0 : dropRow;
  if (toList == 0) {
    row = std::max(row, fixed_);
    if (fromList == 1) {
      const auto entry = other_[static_cast<size_t>(draggedRow)];
      row = std::min(row, static_cast<int>(used_.size()));
      used_.insert(used_.begin() + row, entry);
      other_.erase(other_.begin() + draggedRow);
      return true;
    }
    if (row == draggedRow) return false;
    row = std::min(row, static_cast<int>(used_.size()) - 1);
    if (row == draggedRow) return false;
    if (row - draggedRow == 1 || draggedRow - row == 1) {
      std::swap(used_[static_cast<size_t>(row)], used_[static_cast<size_t>(draggedRow)]);
      return true;
    }
    // Lands just before the row it was dropped on.
    const auto entry = used_[static_cast<size_t>(draggedRow)];
    used_.insert(used_.begin() + row, entry);
    used_.erase(used_.begin() + (draggedRow > row ? draggedRow + 1 : draggedRow));
    return true;
  }
  if (toList == 1 && fromList == 0) {
    const auto entry = used_[static_cast<size_t>(draggedRow)];
    used_.erase(used_.begin() + draggedRow);
    row = std::min(row, static_cast<int>(other_.size()));
    other_.insert(other_.begin() + row, entry);
    return true;
  }
  return false;
}

// ---- CSelectColumnsBaseDlg ----

BEGIN_MESSAGE_MAP(CSelectColumnsBaseDlg, CDialog)
  ON_NOTIFY(LVN_BEGINDRAG, IDC_COLS_USED, OnBeginDragUsed)
  ON_NOTIFY(LVN_BEGINDRAG, IDC_COLS_OTHER, OnBeginDragOther)
  ON_NOTIFY(NM_CUSTOMDRAW, IDC_COLS_USED, OnCustomDrawUsed)
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CSelectColumnsBaseDlg::CSelectColumnsBaseDlg(UINT templateId, int fixedCount, const CColumnLayout& columns,
                                             CWnd* parent)
    : CDialog(templateId, parent), hint_(0x004060, "Tahoma", 14), choice_(columns, fixedCount) {}

CSelectColumnsBaseDlg::~CSelectColumnsBaseDlg() {
  EndImageDrag();
  FreeIcon();
}

BOOL CSelectColumnsBaseDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  hint_.SubclassDlgItem(IDC_COLS_HINT, this);
  used_.SubclassDlgItem(IDC_COLS_USED, this);
  other_.SubclassDlgItem(IDC_COLS_OTHER, this);
  const struct {
    CListCtrl* list;
    UINT title;
  } lists[] = {{&used_, IDS_USED_COLUMNS}, {&other_, IDS_OTHER_COLUMNS}};
  for (const auto& l : lists) {
    CRect client;
    l.list->GetClientRect(&client);
    l.list->InsertColumn(0, LoadResString(l.title), LVCFMT_LEFT, client.Width());
    l.list->SetExtendedStyle(l.list->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  }
  choice_.RebuildOther();
  FillLists();
  icon_ = LoadPackIcon(IDI_PAGE_BEAD_SIZES, 16, 16);
  if (icon_) SetIcon(icon_, FALSE);
  return TRUE;
}

void CSelectColumnsBaseDlg::FillList(CListCtrl& list, const CColumnLayout& entries) {
  list.DeleteAllItems();
  for (size_t i = 0; i < entries.size(); ++i) {
    const int row = list.InsertItem(static_cast<int>(i), CColorListData::GetColumnTitle(entries[i].first));
    list.SetItemData(row, static_cast<DWORD_PTR>(entries[i].first));
  }
}

void CSelectColumnsBaseDlg::FillLists() {
  if (!used_.GetSafeHwnd()) return;
  FillList(used_, choice_.Used());
  FillList(other_, choice_.Other());
}

bool CSelectColumnsBaseDlg::StartDrag(int list, int row) {
  if (dragging_ || !choice_.CanDrag(list, row)) return false;
  CListCtrl& from = list == 0 ? used_ : other_;
  source_ = list;
  dragRow_ = row;
  CPoint corner;
  dragImage_.reset(from.CreateDragImage(row, &corner));
  CPoint cursor;
  ::GetCursorPos(&cursor);
  ScreenToClient(&cursor);
  if (dragImage_) {
    dragImage_->BeginDrag(0, dragOffset_);
    CImageList::DragEnter(this, cursor);
  }
  SetCapture();
  dragging_ = true;
  return true;
}

void CSelectColumnsBaseDlg::OnBeginDragUsed(NMHDR* hdr, LRESULT* result) {
  StartDrag(0, reinterpret_cast<NMLISTVIEW*>(hdr)->iItem);
  *result = 0;
}

void CSelectColumnsBaseDlg::OnBeginDragOther(NMHDR* hdr, LRESULT* result) {
  StartDrag(1, reinterpret_cast<NMLISTVIEW*>(hdr)->iItem);
  *result = 0;
}

void CSelectColumnsBaseDlg::OnMouseMove(UINT flags, CPoint point) {
  if (dragging_ && dragImage_) CImageList::DragMove(point);
  CDialog::OnMouseMove(flags, point);
}

void CSelectColumnsBaseDlg::OnLButtonUp(UINT flags, CPoint point) {
  if (dragging_) DropAt(point);
  CDialog::OnLButtonUp(flags, point);
}

void CSelectColumnsBaseDlg::EndImageDrag() {
  if (dragImage_) {
    CImageList::DragLeave(this);
    CImageList::EndDrag();
    dragImage_.reset();
  }
  if (dragging_ && ::GetCapture() == m_hWnd) ::ReleaseCapture();
  dragging_ = false;
}

void CSelectColumnsBaseDlg::DropAt(CPoint client) {
  if (!dragging_) return;
  EndImageDrag();
  int target = -1;
  CListCtrl* lists[2] = {&used_, &other_};
  for (int i = 0; i < 2; ++i) {
    CRect r;
    lists[i]->GetWindowRect(&r);
    ScreenToClient(&r);
    if (r.PtInRect(client)) target = i;
  }
  if (target >= 0) {
    CPoint inList = client;
    ClientToScreen(&inList);
    lists[target]->ScreenToClient(&inList);
    const int row = lists[target]->HitTest(inList);
    if (choice_.Drop(source_, dragRow_, target, row)) FillLists();
  }
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(used_.GetItemCount() > 0);
}

void CSelectColumnsBaseDlg::OnCustomDrawUsed(NMHDR* hdr, LRESULT* result) {
  auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
  *result = CDRF_DODEFAULT;
  if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
    *result = CDRF_NOTIFYITEMDRAW;
  } else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    if (static_cast<int>(cd->nmcd.dwItemSpec) < choice_.FixedCount()) {
      cd->clrText = 0x606060;
      cd->clrTextBk = 0xE8E8E8;
    }
  }
}

void CSelectColumnsBaseDlg::FreeIcon() {
  if (icon_) ::DestroyIcon(icon_);
  icon_ = nullptr;
}

void CSelectColumnsBaseDlg::OnOK() {
  CColumnLayout& used = choice_.Used();
  used.clear();
  for (int i = 0; i < used_.GetItemCount(); ++i)
    used.emplace_back(static_cast<int>(used_.GetItemData(i)), CColumnChoice::kDefaultWidth);
  FreeIcon();
  CDialog::OnOK();
}

void CSelectColumnsBaseDlg::OnCancel() {
  EndImageDrag();
  FreeIcon();
  CDialog::OnCancel();
}

// ---- CSelectDisplayingColumnsDlg ----

CSelectDisplayingColumnsDlg::CSelectDisplayingColumnsDlg(const CColumnLayout& columns,
                                                         const CColumnListOptions& options, CWnd* parent)
    : CSelectColumnsBaseDlg(IDD_SELECT_COLUMNS, 0, columns, parent), options_(options) {}

CSelectDisplayingColumnsDlg::~CSelectDisplayingColumnsDlg() = default;

BOOL CSelectDisplayingColumnsDlg::OnInitDialog() {
  CSelectColumnsBaseDlg::OnInitDialog();
  if (options_.usageChangeLocked) options_.allowUsageChange = 0;
  CheckDlgButton(IDC_COLS_REMEMBER, options_.rememberSelection ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_COLS_SHORTAGE, options_.highlightShortage ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_COLS_USAGE, options_.allowUsageChange ? BST_CHECKED : BST_UNCHECKED);
  if (options_.usageChangeLocked)
    if (CWnd* usage = GetDlgItem(IDC_COLS_USAGE)) usage->EnableWindow(FALSE);
  // The shortage highlight and the usage switch pass through unchanged.
  for (int id : {IDC_COLS_SHORTAGE, IDC_COLS_USAGE})
    if (CWnd* box = GetDlgItem(id)) box->ShowWindow(SW_HIDE);
  return TRUE;
}

void CSelectDisplayingColumnsDlg::OnOK() {
  options_.rememberSelection = IsDlgButtonChecked(IDC_COLS_REMEMBER) == BST_CHECKED ? 1 : 0;
  options_.highlightShortage = IsDlgButtonChecked(IDC_COLS_SHORTAGE) == BST_CHECKED ? 1 : 0;
  options_.allowUsageChange = IsDlgButtonChecked(IDC_COLS_USAGE) == BST_CHECKED ? 1 : 0;
  CSelectColumnsBaseDlg::OnOK();
}

void InstallSelectColumnsDialog() {
  SetSelectColumnsDialog([](CColumnLayout& columns, CColumnListOptions& options, CWnd* parent) {
    CSelectDisplayingColumnsDlg dialog(columns, options, parent);
    if (dialog.DoModal() != IDOK) return false;
    dialog.GetColumns(columns);
    const CColumnListOptions& chosen = dialog.GetOptions();
    options.rememberSelection = chosen.rememberSelection;
    options.highlightShortage = chosen.highlightShortage;
    options.allowUsageChange = chosen.allowUsageChange;
    return true;
  });
}
