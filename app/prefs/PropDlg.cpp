#include "app/prefs/PropDlg.h"

CPropDlg::CPropDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CPropDlg::~CPropDlg() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CPropDlg::CreatePage(CWnd* owner) {
  // A child of the container, whatever its template says: it moves with the
  // container and stays inside its client area, clear of the buttons below
  // the pages.
  const QmDialogTemplate* own = FindTemplate();
  if (!own) return FALSE;
  QmDialogTemplate page = *own;
  page.style = WS_CHILD | (page.style & DS_SETFONT);
  if (!CreateIndirect(&page, owner)) return FALSE;
  if (GetStyle() != WS_CHILD) ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(WS_CHILD));
  return TRUE;
}

BOOL CPropDlg::OnInitDialog() {
  const BOOL result = CDialog::OnInitDialog();
  for (int id : {IDOK, IDCANCEL})
    if (CWnd* button = GetDlgItem(id)) button->ShowWindow(SW_HIDE);
  return result;
}
