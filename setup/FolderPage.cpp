#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/DrawUtils.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "core/TextUtils.h"
#include "setup/DesktopForms.h"
#include "setup/Install.h"
#include "setup/SetupApp.h"
#include "setup/SetupLanguage.h"
#include "setup/SetupPages.h"
#include "setup/lang/ids/setup.h"

namespace qmsetup {

BEGIN_MESSAGE_MAP(CFolderPage_4, CBasePage)
  ON_BN_CLICKED(IDC_SETUP_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CFolderPage_4::CFolderPage_4() : CBasePage(IDD_SETUP_FOLDER, IDD_SETUP_FOLDER_RU), header_(RGB(12, 12, 12), "", 14) {}

void CFolderPage_4::DoDataExchange(CDataExchange* pDX) {
  CBasePage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_SETUP_FOLDER, folder_);
}

CString CFolderPage_4::DefaultFolder() {
  // The folder of an earlier installation, read by its stored length.
  const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
  DWORD size = 0;
  if (key.GetValueSize("InstallPath", size) && size > 0) {
    std::vector<char> bytes(size + 1, '\0');
    DWORD got = size;
    if (key.ReadValue("InstallPath", bytes.data(), size, &got)) {
      const CString stored(std::string(bytes.data(), std::min(got, size)).c_str());
      if (!stored.IsEmpty() && DriveExists(stored)) return stored;
    }
  }
  CString base;
  const char* programFiles = std::getenv("ProgramFiles");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  CString documents;
  if (programFiles && *programFiles)
    base = FromUtf8(programFiles);
  else if (dataHome && *dataHome)
    base = FromUtf8(dataHome);
  else if (GetSpecialFolderPath(CSIDL_PERSONAL, documents))
    base = documents;
  else
    base = FromUtf8(std::getenv("HOME") ? std::getenv("HOME") : "/");
  CString folder = JoinPath(base, GetProductDisplayName());
  CString associated;
  if (FindAssociatedFolder(associated)) folder = associated;
  return folder;
}

BOOL CFolderPage_4::OnInitDialog() {
  folder_ = DefaultFolder();
  CBasePage::OnInitDialog();
  header_.SubclassDlgItem(IDC_SETUP_HEADER, this);
  drives_.SubclassDlgItem(IDC_SETUP_LIST, this);
  UpdateData(FALSE);
  InitDriveList();
  FillDriveList();
  CLogFont font("Tahoma", 13);
  font.lfWeight = 700;
  font.lfCharSet = 1;
  header_.SetLogFont(font);
  return TRUE;
}

bool CFolderPage_4::FindAssociatedFolder(CString& out) {
  // ".qx" names the type; the type's open command names the program.
  auto readDefault = [](const CString& keyPath, CString& value) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0, type = 0;
    bool ok = RegQueryValueEx(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0;
    if (ok) {
      std::vector<char> bytes(size + 1, '\0');
      ok = RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) == ERROR_SUCCESS;
      value = CString(std::string(bytes.data(), size).c_str());
    }
    RegCloseKey(key);
    return ok;
  };
  CString type, command;
  if (!readDefault(g_szDesignFileExt, type) || type.IsEmpty()) return false;
  if (!readDefault(type + "\\shell\\open\\command", command)) return false;
  const int percent = command.Find('%');
  if (percent <= 1 || command[percent - 1] != ' ') return false;
  const CString program = command.Left(percent - 1);
  CString drive, dir;
  SplitPath(program, &drive, &dir, nullptr, nullptr);
  CString folder = drive + dir;
  if (folder.GetLength() > 4 && (folder[folder.GetLength() - 1] == '/' || folder[folder.GetLength() - 1] == '\\'))
    folder = folder.Left(folder.GetLength() - 1);
  out = folder;
  return true;
}

void CFolderPage_4::OnBrowse() {
  UpdateData(TRUE);
  CApp* app = GetSetupApp();
  if (BrowseForFolder(1, folder_, this, LangId(IDS_SETUP_SELECT_FOLDER), LangId(IDS_SETUP_INSTALL_FOLDER_TITLE), true,
                      app ? app->GetWindowIcon() : nullptr))
    UpdateData(FALSE);
}

LRESULT CFolderPage_4::OnWizardNext() {
  UpdateData(TRUE);
  CString message;
  // A name the setup's code page cannot hold arrives with '?' in place of
  // the missing characters: writing it would make another folder.
  if (folder_.Find('?') >= 0 || folder_.IsEmpty() || (folder_[0] != '/' && folder_[0] != '\\')) {
    message.Format(LoadSetupString(IDS_SETUP_FOLDER_NOT_WRITABLE_NAME), folder_.GetString());
    SetupMessageBox(message, MB_OK | MB_ICONSTOP, GetSafeHwnd());
    return -1;
  }
  if (FolderExists(folder_)) {
    message.Format(LoadSetupString(IDS_SETUP_FOLDER_EXISTS), folder_.GetString());
    if (SetupMessageBox(message, MB_YESNO | MB_ICONQUESTION, GetSafeHwnd()) == IDNO) return -1;
  } else {
    message.Format(LoadSetupString(IDS_SETUP_CREATE_FOLDER), folder_.GetString());
    if (SetupMessageBox(message, MB_YESNO | MB_ICONQUESTION, GetSafeHwnd()) == IDNO) return -1;
    if (!CreateFolderPathRecorded(folder_)) {
      message.Format(LoadSetupString(IDS_SETUP_CREATE_FOLDER_FAILED), folder_.GetString());
      CString reason;
      if (GetLastErrorText(reason)) message += "\n" + reason;
      SetupMessageBox(message, MB_OK | MB_ICONSTOP, GetSafeHwnd());
      return -1;
    }
  }
  if (!CanWriteToFolder(folder_)) {
    message.Format(Pick("You don't have a permission for writting within the folder\n%s\nYou have to select another "
                        "folder",
                        "У Вас нет прав для записи в папку\n%s\nНеобходимо выбрать другую папку"),
                   folder_.GetString());
    SetupMessageBox(message, MB_OK | MB_ICONSTOP, GetSafeHwnd());
    return -1;
  }
  return CBasePage::OnWizardNext();
}

void CFolderPage_4::InitDriveList() {
  CRect client;
  drives_.GetClientRect(&client);
  const int third = client.Width() / 3;
  drives_.InsertColumn(0, LoadSetupString(IDS_SETUP_COL_DRIVE), LVCFMT_LEFT, third);
  drives_.InsertColumn(1, LoadSetupString(IDS_SETUP_COL_FREE_SPACE), LVCFMT_RIGHT, third);
  drives_.InsertColumn(2, LoadSetupString(IDS_SETUP_COL_FILE_SYSTEM), LVCFMT_LEFT, third - 20);
  drives_.SetExtendedStyle(drives_.GetExtendedStyle() | 0x31);
}

void CFolderPage_4::FillDriveList() {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  if (CApp* app = GetSetupApp()) drives_.SetImageList(&app->GetImageList(), LVSIL_SMALL);
  // The mount table has no fixed length: ask for the size first.
  const DWORD needed = GetLogicalDriveStrings(0, nullptr);
  if (needed == 0) return;
  std::vector<char> roots(needed + 1, '\0');
  if (GetLogicalDriveStrings(needed, roots.data()) == 0) return;
  for (const char* root = roots.data(); *root; root += std::strlen(root) + 1) {
    if (GetDriveType(root) != DRIVE_FIXED) continue;
    SHFILEINFO info{};
    const int icon = SHGetFileInfo(root, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) ? info.iIcon : -1;
    if (info.hIcon) DestroyIcon(info.hIcon);
    const int row = drives_.InsertItem(drives_.GetItemCount(), root, icon);
    if (row < 0) break;
    ULARGE_INTEGER free{};
    if (GetDiskFreeSpaceEx(root, &free, nullptr, nullptr))
      drives_.SetItemText(row, 1, FormatGroupedNumber(free.QuadPart / 1000, ' '));
    else
      drives_.SetItemText(row, 1, "...");
    char label[256] = {}, fileSystem[64] = {};
    if (GetVolumeInformation(root, label, sizeof label, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem)) {
      drives_.SetItemText(row, 2, fileSystem);
      if (label[0]) {
        CString text;
        text.Format("%s %s", root, label);
        drives_.SetItemText(row, 0, text);
      }
    } else {
      drives_.SetItemText(row, 2, "...");
    }
  }
}

}  // namespace qmsetup
