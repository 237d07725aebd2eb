#include "setup/Install.h"

#include <cstring>

#include "core/FileUtils.h"
#include "core/Registry.h"
#include "platform/wnd/commctrl_classes.h"
#include "setup/DesktopForms.h"
#include "setup/SetupApp.h"
#include "setup/SetupLanguage.h"
#include "setup/SetupShell.h"

namespace qmsetup {

namespace {

CString Ru(const char* utf8) { return CString(Utf8ToCodePage(utf8, 1251)); }

bool EndsWithSeparator(const CString& s) {
  return !s.IsEmpty() && (s[s.GetLength() - 1] == '/' || s[s.GetLength() - 1] == '\\');
}

CString ProgramPath(const CString& destination) { return JoinPath(destination, kProgramFile); }

}  // namespace

CString JoinPath(const CString& folder, const CString& name) {
  return EndsWithSeparator(folder) ? folder + name : folder + "/" + name;
}

bool IsBadGroupName(const CString& name) {
  return name.IsEmpty() || name == "." || name == ".." || name.Find('/') >= 0 || name.Find('\\') >= 0;
}

// ---------------------------------------------------------------------------
// The install set.

CInstallData::CInstallData() {
  items_.push_back(new CInstallItem(kIdProgram, kProgramFile));
  items_.push_back(new CInstallItem(kIdUninstall, kUninstallFile));
  items_.push_back(new CInstallItem(kIdPdfLibrary, kPdfLibraryFile));
  if (IsRussianSetup()) {
    static const std::pair<UINT, const char*> kRussian[] = {
        {kIdManual, kManualPath},
        {kIdPackRussian, "Pellow_Ru.dll"},
        {231, "Design/SAMPLES/Взыскание погибших.qx"},
        {232, "Design/SAMPLES/Женщина с шляпкой.qx"},
        {233, "Design/SAMPLES/Тарроби.qx"},
        {234, "Design/SAMPLES/Музы.qx"},
        {235, "Design/SAMPLES/Мальчик.qx"},
        {236, "Design/SAMPLES/Дубы.qx"},
        {237, "Design/SAMPLES/Букетик розочек.qx"},
        {238, "Design/SAMPLES/Кораблики.qx"},
        {239, "Design/SAMPLES/Пейзаж летний с храмом.qx"},
        {410, "Palettes/Delica.pal"},
        {414, "Palettes/Preciosa.pal"},
        {422, "Palettes/Toho.pal"},
        {416, "Palettes/Астра.pal"},
        {415, "Palettes/Златка.pal"},
    };
    for (const auto& [id, path] : kRussian) items_.push_back(new CInstallItem(id, Ru(path)));
  } else {
    static const std::pair<UINT, const char*> kEnglish[] = {
        {kIdPackEnglish, "Pellow_En.dll"},
        {301, "Design/SAMPLES/Russian Orthodox icon.qx"},
        {302, "Design/SAMPLES/Wooman with hat.qx"},
        {303, "Design/SAMPLES/Tarrowby.qx"},
        {304, "Design/SAMPLES/Muses.qx"},
        {305, "Design/SAMPLES/Boy.qx"},
        {306, "Design/SAMPLES/Oaks.qx"},
        {307, "Design/SAMPLES/Rose bunch.qx"},
        {308, "Design/SAMPLES/ships.qx"},
        {309, "Design/SAMPLES/Summer landscape with Template.qx"},
        {410, "Palettes/Delica.pal"},
        {420, "Palettes/Preciosa.pal"},
        {423, "Palettes/Toho.pal"},
        {421, "Palettes/Zlatka.pal"},
        {424, "Palettes/Colibry.pal"},
        {426, "Palettes/Twin.pal"},
        {428, "Palettes/Omed.pal"},
        {430, "Palettes/Mill Hill.pal"},
    };
    for (const auto& [id, path] : kEnglish) items_.push_back(new CInstallItem(id, path));
  }
}

CInstallData::~CInstallData() {
  for (CInstallItem* item : items_) delete item;
}

bool CInstallData::GetItem(CInstallItem** item, unsigned index) const {
  if (index >= items_.size()) return false;
  *item = items_[index];
  return true;
}

bool CopyInstallSet(const CString& destination, const InterfaceInstallData& set) {
  if (!FolderExists(destination)) CreateFolderPathRecorded(destination);
  CProgressCtrl progress;
  CWnd* sheet = AfxGetMainWnd();
  if (sheet && sheet->GetSafeHwnd()) {
    CRect client;
    sheet->GetClientRect(&client);
    const CRect bar(client.left + 10, client.bottom - 34, client.right - 10, client.bottom - 10);
    progress.Create(WS_CHILD | WS_VISIBLE, bar, sheet, 0xFFF0);
    progress.SetRange(0, set.GetCount() - 1);
  }
  bool result = true;
  for (int i = 0; i < set.GetCount(); ++i) {
    if (progress.GetSafeHwnd()) progress.SetPos(i);
    CInstallItem* item = nullptr;
    if (!set.GetItem(&item, static_cast<unsigned>(i))) continue;
    const CString full = JoinPath(destination, item->m_path);
    CString drive, dir;
    SplitPath(full, &drive, &dir, nullptr, nullptr);
    CString folder = drive + dir;
    if (folder.GetLength() > 3 && EndsWithSeparator(folder)) folder = folder.Left(folder.GetLength() - 1);
    if (!FolderExists(folder) && !CreateFolderPathRecorded(folder)) {
      if (progress.GetSafeHwnd()) progress.DestroyWindow();
      return false;
    }
    if (!ExtractResourceToFile(item->m_id, full)) result = false;
  }
  if (progress.GetSafeHwnd()) progress.DestroyWindow();
  return result;
}

// ---------------------------------------------------------------------------
// The program group.

bool RemoveExistingProgramGroups(const CString& name) {
  if (IsBadGroupName(name)) return false;
  bool removed = false;
  for (int i = 0; i < 4; ++i) {
    CString folder;
    if (!GetStartMenuFolder(i, folder)) continue;
    const CString group = JoinPath(folder, name);
    if (FolderExists(group)) removed = DeleteFolderTree(group) || removed;
  }
  return removed;
}

bool CreateProgramGroupLinks(const CString& groupFolder, const CString& destination) {
  if (groupFolder.IsEmpty() || !CreateFolderPathRecorded(groupFolder)) return false;
  const CString name = GetProductDisplayName();
  auto link = [&](int number) {
    CString file;
    file.Format("velloran-%d.desktop", number);
    return JoinPath(groupFolder, file);
  };
  CString title;
  title.Format("%d %s", 1, name.GetString());
  if (CreateShellLink(ProgramPath(destination), link(1), Pick("Bead Design Software", "Программа дизайна бисером"),
                      title, "%f") < 0)
    return false;
  int next = 2;
  if (IsRussianSetup()) {
    title.Format(Ru("%d Документация %s"), 2, name.GetString());
    const CString description = Ru("Документация <") + name + ">";
    if (CreateShellLink(JoinPath(destination, kManualPath), link(2), description, title) >= 0) next = 3;
  }
  CString description;
  if (IsRussianSetup()) {
    title.Format(Ru("%d Деинсталляция %s"), next, name.GetString());
    description.Format(Ru("Деинсталляция %s"), kShortName);
  } else {
    title.Format("%d Uninstall %s", 2, kShortName);
    next = 2;
    description.Format("Uninstall %s", kShortName);
  }
  return CreateShellLink(JoinPath(destination, kUninstallFile), link(next), description, title) >= 0;
}

bool CApp::CreateProgramGroup() {
  RemoveExistingProgramGroups(GetProductDisplayName());
  CFinishPage_6* finish = GetFinishPage();
  const bool allUsers = finish && finish->IsForAllUsers();
  CGroupPage_5* group = GetGroupPage();
  CString folder;
  if (!group || !group->GetGroupFolder(allUsers, folder)) return false;
  CFolderPage_4* page = GetFolderPage();
  return CreateProgramGroupLinks(folder, page ? page->GetFolder() : CString());
}

// ---------------------------------------------------------------------------
// Registry values, the documents folder.

HKEY OpenUninstallKey() {
  HKEY key = nullptr;
  const CString path = CString(kUninstallKeyBase) + kShortName;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  RecordRegistryKey("HKCU", path, nullptr);
  return key;
}

bool WriteUninstallValues(HKEY key, const CString& destination) {
  if (!key) return false;
  const CString uninstall = "\"" + JoinPath(destination, kUninstallFile) + "\"";
  const bool a = RegSetValueEx(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kShortName),
                               static_cast<DWORD>(std::strlen(kShortName))) == ERROR_SUCCESS;
  const bool b = RegSetValueEx(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstall.GetString()),
                               static_cast<DWORD>(uninstall.GetLength())) == ERROR_SUCCESS;
  return a && b;
}

bool GetBooksFolderPath(CString& out) {
  CString documents;
  if (!GetSpecialFolderPath(CSIDL_PERSONAL, documents)) return false;
  out.Format("%s/Kestlewain Books", documents.GetString());
  return true;
}

bool CApp::CreateBooksFolder() {
  CString path;
  if (!GetBooksFolderPath(path)) return false;
  if (FolderExists(path)) return true;
  return CreateDirectory(path, nullptr) != FALSE;
}

bool CApp::CopyFiles(const CString& destination) {
  CInstallData set;
  return CopyInstallSet(destination, set);
}

bool CApp::Install() {
  CFolderPage_4* page = GetFolderPage();
  const CString destination = page ? page->GetFolder() : CString();
  BeginInstallRecord(destination);
  if (!CopyFiles(destination)) {
    SaveInstallRecord();
    SetupMessageBox(Pick("Failed to copy all files\nYou need to repeat QX_FREE installation within right folder",
                         "Ошибка копирования всех необходимых файлов\nНужно повторить инсталляцию приложения"),
                    MB_OK | MB_ICONSTOP);
    return false;
  }
  if (!CreateProgramGroup()) {
    SaveInstallRecord();
    SetupMessageBox(Pick("Failed to create startup menu", "Ошибка создания пункта программы в системном меню Windows"),
                    MB_OK | MB_ICONSTOP);
    return false;
  }
  bool result = true;
  {
    const CRegistryKey key = CRegistryKey::Create(g_szProgramKey, HKEY_CURRENT_USER);
    result = key.SetValue("InstallPath", destination.GetString(), static_cast<DWORD>(destination.GetLength()),
                          REG_SZ);
    RecordRegistryValue("HKCU", g_szProgramKey, "InstallPath");
  }
  HKEY uninstall = OpenUninstallKey();
  result = WriteUninstallValues(uninstall, destination) && result;
  if (uninstall) RegCloseKey(uninstall);
  CreateBooksFolder();
  SaveInstallRecord();
  return result;
}

// ---------------------------------------------------------------------------
// The file type and the desktop link.

bool RegisterFileAssociation(const char* extension, const CString& destination, const char* shortName) {
  BeginInstallRecord(destination);
  RegDeleteTree(HKEY_CLASSES_ROOT, extension);
  const CString type = CString(shortName) + ".Document";
  if (!WriteRegDefaultString(HKEY_CLASSES_ROOT, extension, type)) return false;
  RecordRegistryKey("HKCR", extension, type);
  const CString program = JoinPath(destination, shortName);
  if (!WriteRegDefaultString(HKEY_CLASSES_ROOT, type + "\\shell\\open\\command", program + " %1")) return false;
  RecordRegistryKey("HKCR", type, nullptr);
  WriteRegDefaultString(HKEY_CLASSES_ROOT, type + "\\DefaultIcon", program + ",1");
  RegisterDesktopAssociation(destination);
  SaveInstallRecord();
  return true;
}

bool CreateDesktopLink(bool allUsers, const CString& target, const CString& name, const CString& description) {
  CString desktop;
  if (!GetSpecialFolderPath(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY, desktop)) return false;
  CString link;
  link.Format("%s/%s.desktop", desktop.GetString(), name.GetString());
  const bool ok = CreateShellLink(target, link, description, name, "%f", 0755) >= 0;
  SaveInstallRecord();
  return ok;
}

}  // namespace qmsetup
