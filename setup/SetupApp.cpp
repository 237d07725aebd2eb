#include "setup/SetupApp.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "controls/DrawUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"
#include "setup/lang/ids/setup.h"

namespace qmsetup {

namespace {

bool g_russian = false;
bool g_choice = false;
CApp* g_app = nullptr;

constexpr char kPreloadKey[] = ".DEFAULT\\Keyboard Layout\\Preload";

}  // namespace

// ---------------------------------------------------------------------------
// The language.

bool IsRussianSetup() { return g_russian; }

void SetLanguage(bool russian) {
  g_russian = russian;
  SetRussianInterface(russian);
  const CRegistryKey key = CRegistryKey::Create(g_szMakerKey, HKEY_CURRENT_USER);
  const DWORD value = russian ? 1 : 0;
  key.SetValue(g_szLanguageValue, &value, sizeof value, REG_DWORD);
}

CString GetProductDisplayName() {
  CString title;
  GetProductTitle(title);
  return title;
}

void FormatBuildLine(CString& out) {
  if (IsRussianSetup()) {
    CString date = kSetupBuildDate;
    LocalizeBuildDate(date);
    out.Format(Pick("", "Сборка от: %s"), date.GetString());
  } else {
    out.Format("Product ID: %s", kSetupBuildDate);
  }
}

UINT LangId(UINT englishId) { return IsRussianSetup() ? englishId + 30 : englishId; }

CString LoadSetupString(UINT englishId) {
  CString text;
  LoadResourceString(AfxGetResourceHandle(), LangId(englishId), text);
  return text;
}

CString Pick(const char* englishUtf8, const char* russianUtf8) {
  return IsRussianSetup() ? CString(Utf8ToCodePage(russianUtf8, 1251)) : CString(Utf8ToCodePage(englishUtf8, 1252));
}

int SetupMessageBox(const CString& text, UINT type, HWND owner) {
  if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->GetSafeHwnd();
  return MessageBox(owner, text, GetProductDisplayName(), type);
}

// ---------------------------------------------------------------------------
// The keyboard guess.

bool IsRussianKeyboardPreloaded(HKEY preload) {
  for (const char* name : {"1", "2"}) {
    char buffer[256] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    if (!preload || RegQueryValueEx(preload, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
      buffer[0] = 0;
    if (std::atoi(buffer) == 419) return true;
  }
  return false;
}

std::vector<std::string> ParseXkbLayouts(const std::string& text) {
  std::vector<std::string> layouts;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 10, "XKBLAYOUT=") != 0) continue;
    std::string value = line.substr(start + 10);
    std::string clean;
    for (char c : value)
      if (c != '"' && c != '\'' && c != ' ' && c != '\t' && c != '\r') clean += c;
    layouts.clear();
    std::stringstream parts(clean);
    for (std::string part; std::getline(parts, part, ',');)
      if (!part.empty() && layouts.size() < 2) layouts.push_back(part);
  }
  return layouts;
}

CString KeyboardLayoutId(const std::string& layout) {
  static const std::pair<const char*, const char*> kIds[] = {
      {"ru", "00000419"}, {"us", "00000409"}, {"gb", "00000809"}, {"de", "00000407"}, {"fr", "0000040c"},
      {"es", "0000040a"}, {"it", "00000410"}, {"pl", "00000415"}, {"cz", "00000405"}, {"ua", "00000422"},
      {"by", "00000423"}, {"kz", "0000043f"}, {"fi", "0000040b"}, {"se", "0000041d"}, {"nl", "00000413"}};
  for (const auto& [name, id] : kIds)
    if (layout == name) return id;
  return "00000409";
}

void StorePreloadFromKeyboardFile() {
  const char* file = std::getenv("QM_KEYBOARD_FILE");
  std::ifstream in(file && *file ? file : "/etc/default/keyboard");
  if (!in) return;
  std::ostringstream ss;
  ss << in.rdbuf();
  const std::vector<std::string> layouts = ParseXkbLayouts(ss.str());
  if (layouts.empty()) return;
  const CRegistryKey key = CRegistryKey::Create(kPreloadKey, HKEY_USERS);
  const char* names[2] = {"1", "2"};
  for (size_t i = 0; i < 2; ++i) {
    if (i < layouts.size()) {
      const CString id = KeyboardLayoutId(layouts[i]);
      key.SetValue(names[i], id.GetString(), static_cast<DWORD>(id.GetLength() + 1), REG_SZ);
    } else if (key.IsOpen()) {
      RegDeleteValue(key.GetHandle(), names[i]);
    }
  }
}

// ---------------------------------------------------------------------------
// The language dialog.

BEGIN_MESSAGE_MAP(CStartDlg, CDialog)
  ON_BN_CLICKED(IDC_SETUP_RUSSIAN, OnRussian)
  ON_BN_CLICKED(IDC_SETUP_ENGLISH, OnEnglish)
END_MESSAGE_MAP()

CStartDlg::CStartDlg(bool russianGuess, CWnd* parent)
    : CDialog(russianGuess ? IDD_SETUP_START_RU : IDD_SETUP_START, parent), invitation_(RGB(96, 64, 0), "", 14) {
  g_choice = russianGuess;
}

bool CStartDlg::GetChoice() { return g_choice; }

BOOL CStartDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  invitation_.SubclassDlgItem(IDC_SETUP_INVITATION, this);
  CLogFont font("Tahoma", 15);
  invitation_.SetLogFont(font);
  if (g_app) {
    SetIcon(g_app->GetWindowIcon(), TRUE);
    SetIcon(g_app->GetWindowIcon(), FALSE);
  }
  CString format, line, caption;
  GetWindowText(format);
  FormatBuildLine(line);
  caption.Format(format, kSetupVersion, line.GetString());
  SetWindowText(caption);
  return TRUE;
}

void CStartDlg::OnRussian() {
  g_choice = true;
  EndDialog(IDOK);
}

void CStartDlg::OnEnglish() {
  g_choice = false;
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------
// The application.

CApp* GetSetupApp() { return g_app; }

CApp::CApp() : CWinApp("VelloranSetup") { g_app = this; }

CApp::~CApp() {
  if (g_app == this) g_app = nullptr;
}

bool CApp::AttachSystemImageList(CImageList& list) {
  SHFILEINFO info{};
  const DWORD_PTR handle = SHGetFileInfo("/", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  if (!handle) return false;
  return list.Attach(reinterpret_cast<HIMAGELIST>(handle)) != FALSE;
}

CFolderPage_4* CApp::GetFolderPage() const { return dynamic_cast<CFolderPage_4*>(sheet_.GetPage(2)); }
CGroupPage_5* CApp::GetGroupPage() const { return dynamic_cast<CGroupPage_5*>(sheet_.GetPage(3)); }
CFinishPage_6* CApp::GetFinishPage() const { return dynamic_cast<CFinishPage_6*>(sheet_.GetPage(4)); }

BOOL CApp::InitInstance() {
  Enable3dControlsStatic();
  // The setup's own texts, dialogs and pictures travel in its payload.
  std::vector<BYTE> pack;
  if (!ReadPayloadEntry(kPayloadSetupPack, pack) || !(pack_ = QmLoadPackFromMemory(pack.data(), pack.size()))) {
    MessageBox(nullptr,
               CString(Utf8ToCodePage("The setup program is damaged: the files it carries cannot be read.\n"
                                      "Программа установки повреждена: её файлы не читаются.",
                                      1251)),
               "VelloranSetup", MB_OK | MB_ICONSTOP);
    return FALSE;
  }
  AfxSetResourceHandle(pack_);
  AttachSystemImageList(imageList_);

  StorePreloadFromKeyboardFile();
  HKEY preload = nullptr;
  if (RegOpenKeyEx(HKEY_USERS, kPreloadKey, 0, KEY_READ, &preload) != ERROR_SUCCESS) preload = nullptr;
  const bool guess = IsRussianKeyboardPreloaded(preload);
  SetLanguage(guess);
  {
    CStartDlg start(guess);
    start.DoModal();
  }
  SetLanguage(CStartDlg::GetChoice());

  pageIcon_ = LoadIcon(IDI_SETUP_PAGE);
  windowIcon_ = LoadIcon(IDI_SETUP_WINDOW);
  sheet_.m_psh.hIcon = windowIcon_;
  sheet_.m_psh.dwFlags |= PSH_WIZARD | PSH_USEHICON | PSH_NOAPPLYNOW;
  sheet_.m_psh.dwFlags &= ~PSH_HASHELP;

  {
    CWelcomePage_1 welcome;
    CLicenseAgrPage_2 license;
    CFolderPage_4 folder;
    CGroupPage_5 group(&imageList_);
    CFinishPage_6 finish;
    sheet_.AddPage(&welcome);
    sheet_.AddPage(&license);
    sheet_.AddPage(&folder);
    sheet_.AddPage(&group);
    sheet_.AddPage(&finish);
    m_pMainWnd = &sheet_;
    sheet_.DoModal();
    m_pMainWnd = nullptr;
    while (sheet_.GetPageCount() > 0) sheet_.RemovePage(0);
  }
  if (preload) RegCloseKey(preload);
  return FALSE;
}

int CApp::ExitInstance() {
  imageList_.Detach();
  for (HICON* icon : {&pageIcon_, &windowIcon_})
    if (*icon) {
      DestroyIcon(*icon);
      *icon = nullptr;
    }
  if (pack_) {
    if (AfxGetResourceHandle() == pack_) AfxSetResourceHandle(nullptr);
    FreeLibrary(pack_);
    pack_ = nullptr;
  }
  return CWinApp::ExitInstance();
}

}  // namespace qmsetup
