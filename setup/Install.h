// The installation: the install set of the chosen language, the copy, the
// program group, the registry values, the documents folder, the file type,
// the desktop link and the finish step.
#pragma once

#include <vector>

#include "platform/base.h"

namespace qmsetup {

// One carried file: its payload id and its path under the destination.
class CInstallItem {
 public:
  CInstallItem(UINT id, const CString& path) : m_id(id), m_path(path) {}
  UINT m_id;
  CString m_path;
};

class InterfaceInstallData {
 public:
  virtual int GetCount() const = 0;
  virtual bool GetItem(CInstallItem** item, unsigned index) const = 0;
  virtual ~InterfaceInstallData() = default;
};

// The install set of the current language (IsRussianSetup).
class CInstallData : public InterfaceInstallData {
 public:
  CInstallData();
  ~CInstallData() override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  bool GetItem(CInstallItem** item, unsigned index) const override;

 private:
  std::vector<CInstallItem*> items_;
};

// Payload ids of the installed files.
constexpr UINT kIdProgram = 200;
constexpr UINT kIdUninstall = 224;
constexpr UINT kIdPdfLibrary = 400;
constexpr UINT kIdManual = 600;
constexpr UINT kIdPackRussian = 221;
constexpr UINT kIdPackEnglish = 222;

// The installed names on this system.
inline constexpr char kProgramFile[] = "Velloran";
inline constexpr char kUninstallFile[] = "UnInstall";
inline constexpr char kPdfLibraryFile[] = "libpdflib.so";
inline constexpr char kManualPath[] = "Doc/Velloran.doc";
inline constexpr char kDocumentType[] = "Velloran.Document";
inline constexpr char kUninstallKeyBase[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Copies every item under the destination (made when missing), with a
// progress bar in the wizard; false when any item failed (the others are
// still written) or at once when a folder cannot be made.
bool CopyInstallSet(const CString& destination, const InterfaceInstallData& set);

bool RemoveExistingProgramGroups(const CString& name);
bool CreateProgramGroupLinks(const CString& groupFolder, const CString& destination);

// HKEY_CURRENT_USER ...\Uninstall\Velloran (created when missing); null on
// failure. The caller closes it.
HKEY OpenUninstallKey();
bool WriteUninstallValues(HKEY key, const CString& destination);
bool GetBooksFolderPath(CString& out);

// The file type: the registry keys, then the desktop's forms.
bool RegisterFileAssociation(const char* extension, const CString& destination, const char* shortName);
bool CreateDesktopLink(bool allUsers, const CString& target, const CString& name, const CString& description);

// A group name that cannot name one folder: empty, ".", "..", or holding
// '/' or '\'.
bool IsBadGroupName(const CString& name);
// Folder + '/' + name, with one separator.
CString JoinPath(const CString& folder, const CString& name);

}  // namespace qmsetup
