#include "app/prefs/BeadSizeDlg.h"

#include <cstdlib>

#include "core/FrameServices.h"
#include "lang/ids/controls.h"

// ---- CBeadParamDlg ----

CBeadParamDlg::CBeadParamDlg(CBeadSize& size, CWnd* parent)
    : CDialog(IDD_BEAD_PARAMS, parent), width_(5, 0xFFFFFFFF), height_(5, 0xFFFFFFFF), size_(size) {}

void CBeadParamDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_BEAD_WIDTH, width_);
  DDX_Control(dx, IDC_BEAD_HEIGHT, height_);
  DDX_Text(dx, IDC_BEAD_NAME, size_.name);
  DDX_Text(dx, IDC_BEAD_WIDTH, size_.width);
  DDX_Text(dx, IDC_BEAD_HEIGHT, size_.height);
}

void CBeadParamDlg::OnOK() {
  // A number the exchange cannot read is reported by it; the checks run on
  // what the entry holds in any case.
  UpdateData(TRUE);
  int failed = 0, focus = 0;
  if (!(size_.width > 0)) {
    failed = IDS_WRONG_BEAD_WIDTH;
    focus = IDC_BEAD_WIDTH;
  } else if (!(size_.height > 0)) {
    failed = IDS_WRONG_BEAD_HEIGHT;
    focus = IDC_BEAD_HEIGHT;
  } else if (size_.name.IsEmpty()) {
    failed = IDS_WRONG_BEAD_NAME;
    focus = IDC_BEAD_NAME;
  }
  if (failed) {
    AppMessageBoxId(failed, kMbIconStop, m_hWnd);
    if (CWnd* control = GetDlgItem(focus)) control->SetFocus();
    return;
  }
  EndDialog(IDOK);
}

// ---- CBeadSizeDlg ----

BEGIN_MESSAGE_MAP(CBeadSizeDlg, CPropDlg)
  ON_BN_CLICKED(IDC_BEADSIZE_EDIT, OnEdit)
  ON_BN_CLICKED(IDC_BEADSIZE_ADD, OnAdd)
  ON_BN_CLICKED(IDC_BEADSIZE_DELETE, OnDelete)
  ON_BN_CLICKED(IDC_BEADSIZE_DEFAULT, OnByDefault)
END_MESSAGE_MAP()

CBeadSizeDlg::CBeadSizeDlg(CWnd* parent) : CPropDlg(IDD_BEAD_SIZES, parent) {}

void CBeadSizeDlg::DoDataExchange(CDataExchange* dx) { DDX_Control(dx, IDC_BEADSIZE_LIST, list_); }

BOOL CBeadSizeDlg::OnInitDialog() {
  CPropDlg::OnInitDialog();
  CRect client;
  list_.GetClientRect(&client);
  const int width = client.Width() / 3 - 5;
  const UINT titles[3] = {IDS_BEADSIZE_COLUMN_NAME, IDS_BEADSIZE_COLUMN_WIDTH, IDS_BEADSIZE_COLUMN_HEIGHT};
  for (int c = 0; c < 3; ++c) list_.InsertColumn(c, LoadResString(titles[c]), LVCFMT_LEFT, width);
  list_.SetExtendedStyle(list_.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  Fill();
  list_.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  return TRUE;
}

void CBeadSizeDlg::WriteRow(int row, const CBeadSize& size) {
  CString text;
  list_.SetItemText(row, 0, size.name);
  text.Format("%.5f", static_cast<double>(size.width));
  list_.SetItemText(row, 1, text);
  text.Format("%.5f", static_cast<double>(size.height));
  list_.SetItemText(row, 2, text);
}

void CBeadSizeDlg::Fill() {
  list_.DeleteAllItems();
  const auto& sizes = GetAppSettings().m_beadSizes;
  for (size_t i = 0; i < sizes.size(); ++i) {
    const int row = list_.InsertItem(static_cast<int>(i), sizes[i].name);
    if (row >= 0) WriteRow(row, sizes[i]);
  }
}

bool CBeadSizeDlg::ReadRow(int row, CBeadSize& out) {
  if (row < 0 || row >= list_.GetItemCount()) return false;
  out.name = list_.GetItemText(row, 0);
  out.width = static_cast<float>(std::atof(list_.GetItemText(row, 1).GetString()));
  out.height = static_cast<float>(std::atof(list_.GetItemText(row, 2).GetString()));
  return true;
}

int CBeadSizeDlg::GetSelectedRow() { return list_.GetNextItem(-1, LVNI_SELECTED); }

void CBeadSizeDlg::OnEdit() {
  const int row = GetSelectedRow();
  if (row < 0) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  CBeadSize size;
  ReadRow(row, size);
  list_.EnsureVisible(row, FALSE);
  CBeadParamDlg dialog(size, this);
  if (dialog.DoModal() == IDOK) WriteRow(row, size);
}

void CBeadSizeDlg::OnAdd() {
  CBeadSize size;
  CBeadParamDlg dialog(size, this);
  if (dialog.DoModal() != IDOK) return;
  const int selected = GetSelectedRow();
  const int row = list_.InsertItem(selected < 0 ? 0 : selected, size.name);
  if (row < 0) return;
  WriteRow(row, size);
  list_.EnsureVisible(row, FALSE);
  for (int i = list_.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list_.GetNextItem(i, LVNI_SELECTED))
    list_.SetItemState(i, 0, LVIS_SELECTED);
  list_.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CBeadSizeDlg::OnDelete() {
  const int row = GetSelectedRow();
  if (row < 0) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  list_.DeleteItem(row);
}

void CBeadSizeDlg::OnByDefault() {
  GetAppSettings().FillDefaultBeadSizes();
  Fill();
}

void CBeadSizeDlg::Apply() {
  const int count = list_.GetItemCount();
  if (count == 0) {
    AppMessageBoxId(IDS_EMPTY_BEAD_LIST, kMbIconStop, m_hWnd);
    return;
  }
  std::vector<CBeadSize> sizes;
  sizes.reserve(static_cast<size_t>(count));
  for (int row = 0; row < count; ++row) {
    CBeadSize size;
    ReadRow(row, size);
    sizes.push_back(size);
  }
  GetAppSettings().m_beadSizes = std::move(sizes);
}
