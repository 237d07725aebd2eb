#include "dialogs/PdfProtectPage.h"

#include <cstring>

#include "core/FrameServices.h"
#include "core/Registry.h"
#include "lang/ids/pdfsheet.h"
#include "platform/base/codepage.h"
#include "settings/PdfData.h"

namespace {

// The help texts are built into the program (UTF-8 here, turned into the
// interface's code page when shown).
const char kHelpEnglish[] =
    "\tIt's necessary to define master password for any restriction setting.\n"
    "1. If only master password defined, then a customer should be free to open the document.\n"
    "The restritictions should be worked.\n"
    "It will be possible in the future to take away the restriction within 'Acrobat' with the password.\n\n"
    "2. In addition it's possible to define user password.\n"
    "In that case 'Acrobat' will ask the password each time the document opening.\n"
    "You have to insert any of the passwords.\n"
    "It will be impossible PDF document opening without the password.";

const char kHelpRussian[] =
    "\tДля установки любого ограничения необходимо задать мастер-пароль.\n"
    "1. Если задать только мастер-пароль, то без пароля пользователь только прочитает документ."
    "Установленные ограничения использования документа будут действовать.\n"
    "В дальнейшем из программы 'Acrobat' с помощью этого пароля можно будет снять ограничения.\n"
    "2. Дополнительно можно задать пароль пользователя.\n"
    "В этом случае при каждом открытии документа программа 'Acrobat' будет запрашивать пароль."
    "Необходимо будет ввести любой из паролей.\n"
    "Незнание пароля не позволит открыть документ.";

}  // namespace

BEGIN_MESSAGE_MAP(CPdfProtectPage, CPropertyPage)
ON_BN_CLICKED(IDC_PDFP_MASK, OnMaskPasswords)
END_MESSAGE_MAP()

CPdfProtectPage::CPdfProtectPage(CPdfData* settings)
    : CPropertyPage(IDD_PDF_PROTECT_PAGE),
      m_help(0x00004060, "Arial", 14),
      m_userLabel(0x00008000, "Arial", 14),
      m_masterLabel(0x000000A4, "Arial", 14),
      m_settings(settings) {}

const char* CPdfProtectPage::GetHelpText(bool russian) { return russian ? kHelpRussian : kHelpEnglish; }

void CPdfProtectPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PDFP_HELP, m_help);
  DDX_Control(pDX, IDC_PDFP_USER_LABEL, m_userLabel);
  DDX_Control(pDX, IDC_PDFP_MASTER_LABEL, m_masterLabel);
  DDX_Check(pDX, IDC_PDFP_NO_PRINT, m_settings->m_noPrint);
  DDX_Check(pDX, IDC_PDFP_NO_MODIFY, m_settings->m_noModify);
  DDX_Check(pDX, IDC_PDFP_NO_COPY, m_settings->m_noCopy);
  DDX_Text(pDX, IDC_PDFP_USER, m_settings->m_userPassword);
  DDX_Text(pDX, IDC_PDFP_MASTER, m_settings->m_masterPassword);
  DDX_Check(pDX, IDC_PDFP_MASK, m_settings->m_maskPasswords);
  DDX_Text(pDX, IDC_PDFP_TITLE, m_settings->m_title);
  DDX_Text(pDX, IDC_PDFP_AUTHOR, m_settings->m_author);
  DDX_Text(pDX, IDC_PDFP_SUBJECT, m_settings->m_subject);
  DDX_Text(pDX, IDC_PDFP_KEYWORDS, m_settings->m_keywords);
  DDX_Text(pDX, IDC_PDFP_CREATOR, m_settings->m_creator);
}

BOOL CPdfProtectPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  for (int id : {IDC_PDFP_USER, IDC_PDFP_MASTER}) SendDlgItemMessage(id, EM_LIMITTEXT, kMaxPassword);
  m_help.SetText(FromUtf8(GetHelpText(IsRussianInterface())));
  OnMaskPasswords();
  LOGFONT font;
  std::memset(&font, 0, sizeof font);
  std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
  font.lfHeight = 14;
  font.lfCharSet = DEFAULT_CHARSET;
  m_help.SetLogFont(font);
  return TRUE;
}

void CPdfProtectPage::OnMaskPasswords() {
  const bool mask = IsDlgButtonChecked(IDC_PDFP_MASK) == BST_CHECKED;
  for (int id : {IDC_PDFP_MASTER, IDC_PDFP_USER}) {
    // (what CEdit::SetPasswordChar sends; the edits are not subclassed)
    SendDlgItemMessage(id, EM_SETPASSWORDCHAR, mask ? '*' : 0);
    if (CWnd* edit = GetDlgItem(id)) edit->Invalidate();
  }
}

bool CPdfProtectPage::Validate(bool showMessages) {
  if (GetSafeHwnd() && !UpdateData(TRUE)) return false;
  if (!m_settings->HasRestrictions()) return true;
  auto refuse = [&](UINT message, int focus) {
    if (showMessages) {
      AppMessageBoxId(message, kMbIconStop, GetSafeHwnd());
      if (CWnd* edit = GetSafeHwnd() ? GetDlgItem(focus) : nullptr) edit->SetFocus();
    }
    return false;
  };
  if (m_settings->m_masterPassword.IsEmpty()) return refuse(IDS_PDF_MASTER_EMPTY, IDC_PDFP_MASTER);
  if (std::strcmp(m_settings->m_userPassword.GetString(), m_settings->m_masterPassword.GetString()) == 0)
    return refuse(IDS_PDF_PASSWORDS_EQUAL, IDC_PDFP_USER);
  return true;
}
