#include "app/prefs/PropDlg.h"

CPropDlg::CPropDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CPropDlg::~CPropDlg() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CPropDlg::CreatePage(CWnd* owner) {
  if (!Create(m_nIDTemplate, owner)) return FALSE;
  if (GetStyle() != WS_POPUP) ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(WS_POPUP));
  return TRUE;
}

BOOL CPropDlg::OnInitDialog() {
  const BOOL result = CDialog::OnInitDialog();
  for (int id : {IDOK, IDCANCEL})
    if (CWnd* button = GetDlgItem(id)) button->ShowWindow(SW_HIDE);
  return result;
}
