#include "dialogs/PromptPrintDlg.h"

#include "controls/Buttons.h"
#include "lang/ids/pdfsheet.h"
#include "settings/AppSettings.h"

namespace {

constexpr COLORREF kPromptText = 0x00004060;

}  // namespace

CPromptPrintDlg::CPromptPrintDlg(CWnd* parent)
    : CDialog(IDD_PROMPT_PRINT, parent),
      m_then(kPromptText, "Arial", 14, true),
      m_how(kPromptText, "Arial", 14, true) {}

CPromptPrintDlg::~CPromptPrintDlg() { DestroyIcon(); }

void CPromptPrintDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PRINT_THEN, m_then);
  DDX_Control(pDX, IDC_PRINT_HOW, m_how);
}

BOOL CPromptPrintDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const bool pdf = GetAppSettings().m_printChoice == 1;
  CheckRadioButton(IDC_PRINT_PICTURE, IDC_PRINT_PDF, pdf ? IDC_PRINT_PDF : IDC_PRINT_PICTURE);
  m_icon = LoadPackIcon(IDI_PROMPT_PRINT, 16, 16);
  if (m_icon) SetIcon(m_icon, FALSE);
  return TRUE;
}

void CPromptPrintDlg::DestroyIcon() {
  if (m_icon) ::DestroyIcon(m_icon);
  m_icon = nullptr;
}

void CPromptPrintDlg::OnOK() {
  GetAppSettings().m_printChoice = IsDlgButtonChecked(IDC_PRINT_PICTURE) == BST_CHECKED ? 0 : 1;
  DestroyIcon();
  CDialog::OnOK();
}

void CPromptPrintDlg::OnCancel() {
  DestroyIcon();
  CDialog::OnCancel();
}
