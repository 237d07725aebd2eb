#include "setup/SetupShell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/FileUtils.h"
#include "setup/DesktopForms.h"
#include "setup/Payload.h"
#include "setup/SetupLanguage.h"

namespace qmsetup {

bool ExtractResourceToFile(UINT id, const char* path) {
  CExtracted written;
  if (!ExtractPayloadEntry(id, path, &written)) return false;
  RecordInstalledFile(path, written.crc, written.size);
  return true;
}

CString GuidToString(const GUID& guid) {
  CString text;
  UuidToCString(guid, text);
  return text;
}

bool CanWriteToFolder(const char* folder) {
  CString path = folder ? folder : "";
  if (path.IsEmpty() || (path[path.GetLength() - 1] != '/' && path[path.GetLength() - 1] != '\\')) path += "/";
  GUID guid{};
  CoCreateGuid(&guid);
  path += GuidToString(guid);
  HANDLE file = CreateFile(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  RemoveFile(path);
  return true;
}

HRESULT CreateShellLink(const char* target, const char* linkPath, const char* description, const char* name,
                        const char* arguments, DWORD mode) {
  const CString targetText = target ? target : "";
  if (targetText.IsEmpty() || (targetText[0] != '/' && targetText[0] != '\\'))
    SetupMessageBox("SetPath failed!", MB_OK | MB_ICONSTOP);
  CString title = name ? CString(name) : CString();
  if (title.IsEmpty()) {
    CString fname;
    SplitPath(linkPath ? linkPath : "", nullptr, nullptr, &fname, nullptr);
    title = fname;
  }
  CDesktopEntry entry;
  entry.name = title;
  entry.comment = description ? description : "";
  entry.target = targetText;
  entry.arguments = arguments ? arguments : "";
  entry.icon = kDesktopIconName;
  entry.categories = "Graphics;";
  struct stat st {};
  const std::string utf8 = ToUtf8(targetText);
  entry.link = !(::stat(utf8.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR));
  if (!WriteDesktopEntry(linkPath, entry, mode)) return E_FAIL;
  return S_OK;
}

namespace {

// The browser's state for the length of one call.
struct BrowseState {
  HICON icon = nullptr;
  bool status = false;
  CString path;
  CString caption;
  CString title;
} g_browse;

int BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM) {
  if (msg == BFFM_INITIALIZED) {
    if (g_browse.icon) ::SendMessage(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_browse.icon));
    if (!g_browse.caption.IsEmpty()) ::SetWindowText(hwnd, g_browse.caption);
    ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(g_browse.path.GetString()));
  } else if (msg == BFFM_SELCHANGED && g_browse.status) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
      ::SendMessage(hwnd, BFFM_SETSTATUSTEXT, 0, reinterpret_cast<LPARAM>(path));
  }
  return 0;
}

}  // namespace

bool BrowseForFolder(int mode, CString& folder, CWnd* owner, UINT captionId, UINT titleId, bool statusText,
                     HICON icon) {
  g_browse = BrowseState();
  g_browse.icon = icon;
  g_browse.status = statusText;
  g_browse.path = folder;
  if (titleId) g_browse.title = LoadSetupString(titleId >= 30 ? titleId - 30 : titleId);
  if (captionId) {
    g_browse.caption = LoadSetupString(captionId >= 30 ? captionId - 30 : captionId);
    if (g_browse.caption.IsEmpty()) return false;
  }
  char displayName[MAX_PATH] = {};
  BROWSEINFO info{};
  info.hwndOwner = owner ? owner->GetSafeHwnd() : nullptr;
  info.pszDisplayName = displayName;
  info.lpszTitle = g_browse.title.IsEmpty() ? nullptr : g_browse.title.GetString();
  info.ulFlags = mode == 1 ? 0x1057u : 0x4044u;
  info.lpfn = BrowseCallback;
  LPITEMIDLIST list = SHBrowseForFolder(&info);
  if (!list) return false;
  char path[MAX_PATH] = {};
  const bool got = SHGetPathFromIDList(list, path) != FALSE;
  CoTaskMemFree(list);
  if (!got) return false;
  folder = path;
  return FolderExists(path) || FileExists(path);
}

namespace {

bool RemoveTree(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) {
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXU);
    bool ok = true;
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path.c_str())) {
      while (dirent* e = ::readdir(dir)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      ::closedir(dir);
    }
    for (const std::string& n : names) ok = RemoveTree(path + "/" + n) && ok;
    return ::rmdir(path.c_str()) == 0 && ok;
  }
  return ::unlink(path.c_str()) == 0;
}

}  // namespace

bool DeleteFolderTree(const char* path) {
  std::string p = path ? ToUtf8(CString(path)) : std::string();
  for (char& c : p)
    if (c == '\\') c = '/';
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const char* home = std::getenv("HOME");
  std::string h = home ? home : "";
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  if (p.empty() || p == "/" || (!h.empty() && p == h)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return RemoveTree(p);
}

bool GetSpecialFolderPath(int csidl, CString& out) {
  char buffer[512] = {};
  const int id = csidl & 0xFF;
  const bool own = id == CSIDL_PROGRAMS || id == CSIDL_STARTMENU || id == CSIDL_PERSONAL ||
                   id == CSIDL_DESKTOPDIRECTORY;
  if (!SHGetSpecialFolderPath(nullptr, buffer, id, own ? TRUE : FALSE)) return false;
  out = buffer;
  return !out.IsEmpty();
}

bool GetStartMenuFolder(int index, CString& out) {
  static const int kFolders[4] = {CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
  if (index < 0 || index > 3) return false;
  return GetSpecialFolderPath(kFolders[index], out);
}

bool GetLastErrorText(CString& out) {
  struct Text {
    DWORD code;
    const char* en;
    const char* ru;
  };
  static const Text kTexts[] = {
      {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.", "Не удается найти указанный файл."},
      {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.", "Не удается найти указанный путь."},
      {ERROR_ACCESS_DENIED, "Access is denied.", "Отказано в доступе."},
      {ERROR_WRITE_FAULT, "The system cannot write to the specified device.",
       "Не удается произвести запись на указанное устройство."},
      {ERROR_NOT_SUPPORTED, "The request is not supported.", "Такой запрос не поддерживается."},
      {ERROR_FILE_EXISTS, "The file exists.", "Файл существует."},
      {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists.",
       "Невозможно создать файл, так как он уже существует."},
      {ERROR_INVALID_PARAMETER, "The parameter is incorrect.", "Параметр задан неверно."},
      {ERROR_DIR_NOT_EMPTY, "The directory is not empty.", "Папка не пуста."},
      {112, "There is not enough space on the disk.", "Недостаточно места на диске."},
      {19, "The media is write protected.", "Носитель защищен от записи."},
  };
  const DWORD code = GetLastError();
  for (const Text& t : kTexts)
    if (t.code == code) {
      out = Pick(t.en, t.ru);
      return true;
    }
  if (code == 0) return false;
  CString number;
  number.Format("%lu", static_cast<unsigned long>(code));
  out = Pick("System error ", "Системная ошибка ") + number;
  return true;
}

bool WriteRegDefaultString(HKEY root, const char* subKey, const char* value) {
  HKEY key = nullptr;
  if (RegCreateKeyEx(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD size = static_cast<DWORD>(std::strlen(value) + 1);
  const LONG rc = RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

BEGIN_MESSAGE_MAP(CHyperLink, CColorStatic)
  ON_WM_SETCURSOR()
  ON_WM_CTLCOLOR_REFLECT()
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CHyperLink::CHyperLink(UINT cursorId, const char* address)
    : CColorStatic(RGB(0, 0, 192), "", 14), address_(address ? address : "") {
  cursor_ = AfxGetApp() ? AfxGetApp()->LoadCursor(cursorId) : ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(cursorId));
}

CHyperLink::~CHyperLink() {
  if (cursor_) DestroyCursor(cursor_);
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT) {
  if (cursor_) ::SetCursor(cursor_);
  return TRUE;
}

HBRUSH CHyperLink::CtlColor(CDC* dc, UINT) {
  dc->SetTextColor(RGB(0, 0, 192));
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CHyperLink::OnClicked() { OpenLink(); }

void CHyperLink::OpenLink() { ShellExecute(nullptr, "open", address_, nullptr, nullptr, SW_SHOW); }

void AddNotifyStyle(CWnd* window) {
  if (window && window->GetSafeHwnd()) window->ModifyStyle(0, SS_NOTIFY);
}

}  // namespace qmsetup
