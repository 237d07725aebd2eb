// The Linux forms of what the setup makes: desktop entries for links, the
// file type (a shared-mime-info package, the entry that opens designs, the
// default-application line of mimeapps.list, hicolor icons), and the record
// of everything made, which the uninstaller reads. Every place honours HOME
// and the XDG variables.
#pragma once

#include <string>
#include <vector>

#include "platform/base.h"

namespace qmsetup {

inline constexpr char kDesktopIconName[] = "velloran";
inline constexpr char kDocumentIconName[] = "application-x-velloran-document";
inline constexpr char kMimeType[] = "application/x-velloran-document";
inline constexpr char kDocumentEntryName[] = "Velloran.Document.desktop";
inline constexpr char kMimePackageName[] = "velloran.xml";
// The record of what the setup made, in the destination folder.
inline constexpr char kInstallRecordName[] = "UnInstall.dat";

// $XDG_DATA_HOME or ~/.local/share; $XDG_CONFIG_HOME or ~/.config (UTF-8).
std::string XdgDataHome();
std::string XdgConfigHome();

struct CDesktopEntry {
  CString name;        // texts in the code page
  CString comment;
  CString target;      // the program (Exec) or the document (URL of a link)
  CString arguments;   // after the quoted program, e.g. "%f"
  CString icon;
  CString categories;
  CString mimeType;
  bool link = false;   // Type=Link (a document) instead of Type=Application
  bool noDisplay = false;
};
// One argument of an Exec line, quoted and escaped as desktop entries want.
std::string QuoteExecArgument(const std::string& utf8);
// The entry's text (UTF-8).
std::string FormatDesktopEntry(const CDesktopEntry& entry);
// Writes it (a new file renamed over the old) and records it.
bool WriteDesktopEntry(const char* path, const CDesktopEntry& entry, DWORD mode);

// mimeapps.list: sets mime=app in [Default Applications] as xdg-mime
// default does (other lines kept); removes that line when it still names
// app.
std::string SetDefaultApplication(const std::string& text, const std::string& mime, const std::string& app);
std::string RemoveDefaultApplication(const std::string& text, const std::string& mime, const std::string& app);

// The file type on the desktop: the MIME package, the opening entry for the
// program in destFolder, the default-application line, the icons; then
// update-mime-database and update-desktop-database when they are there.
bool RegisterDesktopAssociation(const CString& destFolder);
// Runs a tool of the desktop with its arguments when it is installed;
// false when it is missing or fails.
bool RunDesktopTool(const char* tool, const std::vector<std::string>& arguments);

// Creates every missing folder of path, recording those it made.
bool CreateFolderPathRecorded(const char* path);

// The record. Begin loads the record of an earlier installation into
// destFolder (so a second run adds to it); the Record calls add lines; Save
// writes it into the destination folder.
void BeginInstallRecord(const CString& destFolder);
void RecordInstalledFile(const char* path, DWORD crc, ULONGLONG size);
void RecordCreatedFolder(const char* path);
void RecordMimeappsLine(const std::string& file, const std::string& mime, const std::string& app);
void RecordRegistryValue(const char* root, const char* key, const char* name);
void RecordRegistryKey(const char* root, const char* key, const char* expectedDefault);
bool SaveInstallRecord();
// The lines of the record (for tests).
std::vector<std::string> GetInstallRecordLines();

// What the uninstaller did.
struct CUninstallResult {
  int removed = 0;
  std::vector<std::string> kept;  // files changed since they were installed
};
// Removes what the record in folder names (unchanged files, entries, MIME
// and icon files, the mimeapps line, registry values), the program's undo
// folder, then the folders it made that are empty now, and the record.
// False when there is no record.
bool UninstallFromRecord(const CString& folder, CUninstallResult& result);

}  // namespace qmsetup
