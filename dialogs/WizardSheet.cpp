#include "dialogs/WizardSheet.h"

#include "core/FrameServices.h"
#include "dialogs/WizPalettePage.h"
#include "dialogs/WizardData.h"
#include "lang/ids/wizard.h"
#include "platform/base/resource.h"

namespace {

const UINT g_msgFinishOK = RegisterWindowMessage("MsgFinishOK");
CWizardSheet* g_openSheet = nullptr;

constexpr UINT kSheetIcons[4] = {IDI_WIZ_PROJECT_TYPE, IDI_WIZ_PICTURE_PROJECT, IDI_WIZ_BLANK_PROJECT,
                                 IDI_WIZ_EXISTING_PROJECT};

}  // namespace

UINT GetFinishOkMessage() { return g_msgFinishOK; }

CWizardSheet* GetOpenWizardSheet() { return g_openSheet; }

// ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWizardPage, CPropertyPage)

CWizardPage::CWizardPage(UINT templateId) : CPropertyPage(templateId) {}

CWizardPage::~CWizardPage() = default;

CWizardSheet* CWizardPage::GetSheet() const {
  CWnd* parent = GetParent();
  if (parent && parent->IsKindOf(RUNTIME_CLASS(CWizardSheet))) return static_cast<CWizardSheet*>(parent);
  return nullptr;
}

CWizardData* CWizardPage::GetWizardData() const {
  CWizardSheet* sheet = GetSheet();
  return sheet ? sheet->GetWizardData() : nullptr;
}

IWizardHost* CWizardPage::GetHost() const {
  CWizardSheet* sheet = GetSheet();
  return sheet ? sheet->GetHost() : nullptr;
}

void CWizardPage::SetFinishText() {
  if (CWizardSheet* sheet = GetSheet()) sheet->SetDlgItemText(ID_WIZNEXT, LoadResString(IDS_WIZ_FINISH));
}

void CWizardPage::ShowStop(UINT id) { AppMessageBoxId(id, kMbIconStop, GetSafeHwnd()); }

void CWizardPage::ShowStopText(const CString& text) { AppMessageBox(text, kMbIconStop, GetSafeHwnd()); }

BOOL CWizardPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  LOGFONT font{};
  font.lfHeight = 24;
  font.lfWeight = 700;
  font.lfCharSet = 1;
  std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", "Tahoma");
  m_titleFont.CreateFontIndirect(&font);
  if (CWnd* title = GetDlgItem(IDC_WIZ_TITLE)) title->SetFont(&m_titleFont);
  return TRUE;
}

BOOL CWizardPage::OnSetActive() {
  if (CWizardSheet* sheet = GetSheet()) {
    const bool first = sheet->GetPageIndex(this) == kWizPageProjectType;
    sheet->ShowPageIcon(first);
    sheet->SetDlgItemText(ID_WIZBACK, LoadResString(IDS_WIZ_BACK));
    sheet->SetDlgItemText(ID_WIZNEXT, LoadResString(IDS_WIZ_NEXT));
    sheet->SetDlgItemText(IDCANCEL, LoadResString(IDS_WIZ_CANCEL));
    if (CWnd* back = sheet->GetDlgItem(ID_WIZBACK)) back->ShowWindow(first ? SW_HIDE : SW_SHOW);
  }
  return CPropertyPage::OnSetActive();
}

// ---------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWizardSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CWizardSheet, CPropertySheet)
ON_REGISTERED_MESSAGE(g_msgFinishOK, OnFinishOK)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CWizardSheet::CWizardSheet(CWizardData* record, UINT captionId, CWnd* parent, UINT startPage)
    : CPropertySheet(captionId, parent, startPage), m_record(record) {
  const HINSTANCE pack = AfxGetResourceHandle();
  for (int i = 0; i < 4; ++i) m_icons[i] = ::LoadIcon(pack, MAKEINTRESOURCE(kSheetIcons[i]));
  SetWizardMode();
  m_psh.dwFlags |= PSH_USEICONID | PSH_NOAPPLYNOW;
  m_psh.dwFlags &= ~PSH_HASHELP;
  m_psh.pszIcon = MAKEINTRESOURCE(IDI_WIZ_PROJECT_TYPE);
  g_openSheet = this;
}

CWizardSheet::~CWizardSheet() {
  if (g_openSheet == this) g_openSheet = nullptr;
  DestroyIcons();
}

void CWizardSheet::DestroyIcons() {
  for (HICON& icon : m_icons) {
    if (icon) ::DestroyIcon(icon);
    icon = nullptr;
  }
}

CColorSet* CWizardSheet::GetWizardPalette() const {
  auto* page = dynamic_cast<CWiz_2B_SelectPalette*>(GetPage(kWizPagePalette));
  return page ? &page->GetPalette() : nullptr;
}

void CWizardSheet::EnableFinish(bool enable) {
  if (CWnd* next = GetDlgItem(ID_WIZNEXT)) next->EnableWindow(enable ? TRUE : FALSE);
}

void CWizardSheet::ShowPageIcon(bool projectTypePage) {
  int which = 0;
  if (!projectTypePage && m_record) {
    const int type = m_record->m_projectType;
    which = type == kProjectBlankCanvas ? 2 : (type == kProjectExisting ? 3 : 1);
  }
  if (HICON icon = m_icons[which]) {
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }
}

BOOL CWizardSheet::OnInitDialog() {
  const BOOL result = CPropertySheet::OnInitDialog();
  ModifyStyle(0, WS_MINIMIZEBOX);
  return result;
}

BOOL CWizardSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const int type = m_record ? m_record->m_projectType : kProjectFromPicture;
  const int active = GetActiveIndex();
  if (id == ID_WIZNEXT && active == kWizPageProjectType) {
    const int target = type == kProjectBlankCanvas ? kWizPagePalette
                       : type == kProjectExisting  ? kWizPageExistingProject
                                                   : kWizPageOriginalImage;
    SetActivePage(target);
    return TRUE;
  }
  if (id == ID_WIZBACK && active == kWizPageOriginalImage) {
    SetActivePage(kWizPageProjectType);
    return TRUE;
  }
  if (id == ID_WIZBACK && active == kWizPagePalette) {
    SetActivePage(type == kProjectFromPicture ? kWizPageOriginalImage : kWizPageProjectType);
    return TRUE;
  }
  return CPropertySheet::OnCommand(wParam, lParam);
}

LRESULT CWizardSheet::OnFinishOK(WPARAM, LPARAM) {
  EndDialog(IDOK);
  return 0;
}

void CWizardSheet::OnDestroy() {
  CPropertySheet::OnDestroy();
  DestroyIcons();
}
