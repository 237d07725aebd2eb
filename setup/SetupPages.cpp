#include "setup/SetupPages.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "controls/DrawUtils.h"
#include "core/Registry.h"
#include "setup/Install.h"
#include "setup/Payload.h"
#include "setup/SetupApp.h"
#include "setup/SetupLanguage.h"
#include "setup/lang/ids/setup.h"

namespace qmsetup {

namespace {

const UINT g_msgPostInitDialog = RegisterWindowMessage("MsgPostInitDialog");

UINT ByLanguage(UINT english, UINT russian) { return IsRussianSetup() ? russian : english; }

void SetHeaderFont(CColorStatic& header, int height) {
  CLogFont font("Tahoma", height);
  font.lfWeight = 700;
  font.lfCharSet = 1;
  header.SetLogFont(font);
}

CString WebSite() {
  CString link;
  GetWebSiteLink(link);
  return link;
}

}  // namespace

// ---------------------------------------------------------------------------
// The sheet.

CSetupPropertySheet::CSetupPropertySheet() : CPropertySheet("CPropertySheet") {}

BOOL CSetupPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == ID_WIZFINISH) {
    if (auto* finish = dynamic_cast<CFinishPage_6*>(GetActivePage())) finish->OnFinish();
  }
  return CPropertySheet::OnCommand(wParam, lParam);
}

// ---------------------------------------------------------------------------
// The pages' base.

BEGIN_MESSAGE_MAP(CBasePage, CPropertyPage)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CBasePage::CBasePage(UINT englishTemplate, UINT russianTemplate)
    : CPropertyPage(ByLanguage(englishTemplate, russianTemplate)) {}

CPropertySheet* CBasePage::GetSheet() const { return dynamic_cast<CPropertySheet*>(GetParent()); }

BOOL CBasePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  icon_.Create("", WS_CHILD | WS_VISIBLE | SS_ICON, CRect(0, 0, 32, 32), this, IDC_SETUP_PAGE_ICON);
  if (CApp* app = GetSetupApp()) icon_.SetIcon(app->GetPageIcon());
  return TRUE;
}

BOOL CBasePage::OnSetActive() {
  if (CPropertySheet* sheet = GetSheet()) {
    // A wizard's title bar shows the page's caption.
    sheet->SetWindowText(GetCaption());
    if (CWnd* back = sheet->GetDlgItem(ID_WIZBACK)) {
      back->SetWindowText(LoadSetupString(IDS_SETUP_BACK));
      back->ShowWindow(sheet->GetPageIndex(this) == 0 ? SW_HIDE : SW_SHOW);
    }
    if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT)) {
      next->SetWindowText(LoadSetupString(IDS_SETUP_NEXT));
      if (!dynamic_cast<CLicenseAgrPage_2*>(this)) next->EnableWindow(TRUE);
    }
    if (CWnd* cancel = sheet->GetDlgItem(IDCANCEL)) cancel->SetWindowText(LoadSetupString(IDS_SETUP_CANCEL));
  }
  return CPropertyPage::OnSetActive();
}

COLORREF CBasePage::WaveColor(int k, int span) {
  float r = 167, g = 165, b = 176;
  for (int i = 0; i < k; ++i) {
    r += 32.0f / span;
    g += 20.0f / span;
    b += 10.0f / span;
  }
  return RGB(static_cast<BYTE>(std::min(255, static_cast<int>(r))), static_cast<BYTE>(std::min(255, static_cast<int>(g))),
             static_cast<BYTE>(std::min(255, static_cast<int>(b))));
}

void CBasePage::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  const int x0 = client.left + (2 * (client.right - client.left)) / 12;
  const int n = client.right - x0;
  if (x0 >= client.right) return;
  float r = 167, g = 165, b = 176;
  for (int k = 0;; ++k) {
    const int l = x0 + k, t = client.top, rr = client.right, bb = client.bottom - 1 - k;
    if (bb - t < 2 || l >= rr) break;
    const COLORREF colour = RGB(static_cast<BYTE>(std::min(255, static_cast<int>(r))),
                                static_cast<BYTE>(std::min(255, static_cast<int>(g))),
                                static_cast<BYTE>(std::min(255, static_cast<int>(b))));
    const int h = bb - t;
    for (int x = l; x <= rr; x += 7) {
      const double f = static_cast<double>(x - l) / static_cast<double>(rr - l);
      const int y = h / 7 - static_cast<int>(std::trunc(-0.5 * h * std::sin(2.0 * f - 0.3)));
      dc.SetPixel(x, y, colour);
    }
    r += 32.0f / n;
    g += 20.0f / n;
    b += 10.0f / n;
  }
}

// ---------------------------------------------------------------------------
// Welcome.

CWelcomePage_1::CWelcomePage_1()
    : CBasePage(IDD_SETUP_WELCOME, IDD_SETUP_WELCOME_RU),
      buildLine_(RGB(0, 0, 0), "", 14),
      welcome_(RGB(162, 49, 198), RGB(242, 92, 212), RGB(112, 64, 96), GetSysColor(COLOR_BTNFACE)) {}

BOOL CWelcomePage_1::OnInitDialog() {
  CBasePage::OnInitDialog();
  buildLine_.SubclassDlgItem(IDC_SETUP_BUILD_LINE, this);
  welcome_.SubclassDlgItem(IDC_SETUP_HEADER, this);
  welcome_.SetTransparent();
  CString line;
  FormatBuildLine(line);
  buildLine_.SetText(line);
  CString text;
  if (IsRussianSetup())
    text = Pick("", "Эта утилита установит бесплатную\nсвободно распространяемую программу\nсоздания некоммерченских "
                    "бисерных схем\n") +
           "\"" + GetProductDisplayName() + "\"";
  else
    text = "This utility will install\nfreeware software\n\"Quillmere\"";
  welcome_.SetWindowText(text);
  CLogFont font("Tahoma", 24);
  font.lfWeight = 700;
  font.lfItalic = 1;
  font.lfCharSet = 1;
  welcome_.SetLogFont(font);
  return TRUE;
}

// ---------------------------------------------------------------------------
// The agreement.

BEGIN_MESSAGE_MAP(CLicenseAgrPage_2, CBasePage)
  ON_BN_CLICKED(IDC_SETUP_ACCEPT, OnChoice)
  ON_BN_CLICKED(IDC_SETUP_DECLINE, OnChoice)
  ON_REGISTERED_MESSAGE(g_msgPostInitDialog, OnPostInitDialog)
END_MESSAGE_MAP()

CLicenseAgrPage_2::CLicenseAgrPage_2()
    : CBasePage(IDD_SETUP_LICENSE, IDD_SETUP_LICENSE_RU), header_(RGB(12, 12, 12), "", 14) {}

CLicenseAgrPage_2::~CLicenseAgrPage_2() {
  if (rich_ && rich_->GetSafeHwnd()) rich_->DestroyWindow();
}

namespace {
struct StreamCookie {
  const BYTE* data;
  LONG left;
};
DWORD StreamRead(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
  auto* c = reinterpret_cast<StreamCookie*>(cookie);
  const LONG n = std::min(cb, c->left);
  std::memcpy(buffer, c->data, static_cast<size_t>(n));
  c->data += n;
  c->left -= n;
  *pcb = n;
  return 0;
}
}  // namespace

BOOL CLicenseAgrPage_2::OnInitDialog() {
  CBasePage::OnInitDialog();
  header_.SubclassDlgItem(IDC_SETUP_HEADER, this);
  SetHeaderFont(header_, 15);
  // The agreement from (0, 30) to (480, 250), kept below the header and the
  // page icon and above the choice, so that none covers another.
  CRect area(0, 30, 480, 250);
  CRect header;
  header_.GetWindowRect(&header);
  ScreenToClient(&header);
  CRect choice(0, 0, 0, 156);
  MapDialogRect(&choice);
  CRect client;
  GetClientRect(&client);
  area.top = std::max<LONG>(area.top, std::max<LONG>(header.bottom, 32) + 4);
  area.bottom = std::min<LONG>(area.bottom, choice.bottom);
  area.right = std::min<LONG>(area.right, client.right);
  rich_ = std::make_unique<CRichEditCtrl>();
  rich_->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_READONLY | ES_WANTRETURN |
                    ES_MULTILINE,
                area, this, 0x3FF);
  const UINT id = IsRussianSetup() ? IDR_SETUP_LICENSE_RU : IDR_SETUP_LICENSE_EN;
  if (const QmResourceBytes bytes = LoadRawData(AfxGetResourceHandle(), id)) {
    StreamCookie cookie{bytes.data, static_cast<LONG>(bytes.size)};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cookie);
    stream.pfnCallback = StreamRead;
    rich_->StreamIn(SF_RTF, stream);
  }
  PostMessage(g_msgPostInitDialog);
  return TRUE;
}

LRESULT CLicenseAgrPage_2::OnPostInitDialog(WPARAM, LPARAM) {
  if (CWnd* accept = GetDlgItem(IDC_SETUP_ACCEPT)) accept->SetFocus();
  return 0;
}

BOOL CLicenseAgrPage_2::OnSetActive() {
  const BOOL ok = CBasePage::OnSetActive();
  UpdateNextButton();
  return ok;
}

void CLicenseAgrPage_2::UpdateNextButton() {
  CPropertySheet* sheet = GetSheet();
  if (!sheet) return;
  if (CWnd* next = sheet->GetDlgItem(ID_WIZNEXT))
    next->EnableWindow(GetCheckedRadioButton(IDC_SETUP_ACCEPT, IDC_SETUP_DECLINE) == IDC_SETUP_ACCEPT);
}

void CLicenseAgrPage_2::OnChoice() { UpdateNextButton(); }

// ---------------------------------------------------------------------------
// The program group page.

CGroupPage_5::CGroupPage_5(CImageList* images)
    : CBasePage(IDD_SETUP_GROUP, IDD_SETUP_GROUP_RU), header_(RGB(12, 12, 12), "", 14), list_(images, this) {}

void CGroupPage_5::DoDataExchange(CDataExchange* pDX) {
  CBasePage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_SETUP_GROUP, group_);
}

BOOL CGroupPage_5::OnInitDialog() {
  CBasePage::OnInitDialog();
  header_.SubclassDlgItem(IDC_SETUP_HEADER, this);
  list_.SubclassDlgItem(IDC_SETUP_LIST, this);
  list_.FillGroups();
  group_ = GetProductDisplayName();
  SetHeaderFont(header_, 13);
  UpdateData(FALSE);
  return TRUE;
}

// ---------------------------------------------------------------------------
// The finish page.

CFinishPage_6::CFinishPage_6()
    : CBasePage(IDD_SETUP_FINISH, IDD_SETUP_FINISH_RU),
      link_(IDC_SETUP_HAND, WebSite()),
      note_(RGB(0, 128, 0), "", 14),
      finished_(RGB(0, 0, 0), "", 14),
      updates_(RGB(0, 0, 0), "", 14) {}

BOOL CFinishPage_6::OnInitDialog() {
  CBasePage::OnInitDialog();
  link_.SubclassDlgItem(IDC_SETUP_LINK, this);
  note_.SubclassDlgItem(IDC_SETUP_ASSOC_NOTE, this);
  finished_.SubclassDlgItem(IDC_SETUP_FINISHED, this);
  updates_.SubclassDlgItem(IDC_SETUP_UPDATES, this);
  link_.SetWindowText(link_.GetAddress());
  AddNotifyStyle(&link_);
  CheckDlgButton(IDC_SETUP_LAUNCH, BST_CHECKED);
  CheckDlgButton(IDC_SETUP_DESKTOP, BST_CHECKED);
  CheckDlgButton(IDC_SETUP_QX, BST_CHECKED);
  if (CWnd* qx = GetDlgItem(IDC_SETUP_QX)) qx->EnableWindow(FALSE);
  CApp* app = GetSetupApp();
  CFolderPage_4* folder = app ? app->GetFolderPage() : nullptr;
  RegisterFileAssociation(".qx", folder ? folder->GetFolder() : CString(), kShortName);
  CheckRadioButton(IDC_SETUP_ALL_USERS, IDC_SETUP_ME_ONLY, IDC_SETUP_ME_ONLY);
  return TRUE;
}

BOOL CFinishPage_6::OnSetActive() {
  const BOOL ok = CBasePage::OnSetActive();
  if (CPropertySheet* sheet = GetSheet()) {
    sheet->SetFinishText(LoadSetupString(IDS_SETUP_FINISH));
    if (CWnd* cancel = sheet->GetDlgItem(IDCANCEL)) cancel->EnableWindow(FALSE);
  }
  CApp* app = GetSetupApp();
  result_ = app && app->Install() ? 1 : 0;
  if (!result_) SetupMessageBox(LoadSetupString(IDS_SETUP_INSTALL_FAILED), MB_OK | MB_ICONSTOP);
  return ok;
}

bool CFinishPage_6::IsForAllUsers() const {
  return GetSafeHwnd() && GetCheckedRadioButton(IDC_SETUP_ALL_USERS, IDC_SETUP_ME_ONLY) == IDC_SETUP_ALL_USERS;
}

void CFinishPage_6::OnFinish() {
  ++finishRuns_;
  // After a failed installation there is no program to link to or start.
  if (!result_) return;
  CApp* app = GetSetupApp();
  CFolderPage_4* folder = app ? app->GetFolderPage() : nullptr;
  const CString program = JoinPath(folder ? folder->GetFolder() : CString(), kProgramFile);
  if (IsDlgButtonChecked(IDC_SETUP_DESKTOP))
    CreateDesktopLink(IsForAllUsers(), program, GetProductDisplayName(),
                      Pick("Bead design software", "Программа дизайна бисером"));
  if (IsDlgButtonChecked(IDC_SETUP_LAUNCH))
    ShellExecute(nullptr, "open", program, nullptr, nullptr, SW_SHOWNORMAL);
  else
    SetupMessageBox(LoadSetupString(IDS_SETUP_COMPLETE), MB_OK | MB_ICONINFORMATION);
}

}  // namespace qmsetup
