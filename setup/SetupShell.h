// The small operations through which the setup touches the system: writing
// a carried file, testing that a folder is writable, making links (desktop
// entries), the folder browser, deleting a folder tree, special folders,
// the last error as text, a registry default value, and the web link of the
// finish page.
#pragma once

#include "controls/Edits.h"
#include "platform/wnd.h"
#include "platform/wnd/shellapi.h"

namespace qmsetup {

// Writes the carried file of the id to path (never half-written: a new file
// renamed over the old one). False when the file is not carried or damaged,
// or the path cannot be written (a read-only target included).
bool ExtractResourceToFile(UINT id, const char* path);

// Creates and removes a file named by a new UUID in the folder; false when
// it cannot be created.
bool CanWriteToFolder(const char* folder);
CString GuidToString(const GUID& guid);

// A link: a desktop entry at linkPath (a ".desktop" file) that starts the
// target (an executable, with arguments such as "%f") or opens it (any
// other file: a link entry). name is the entry's Name (the link file's
// title when null), description its Comment. An empty or relative target
// shows "SetPath failed!" and the entry is still written. Negative on
// failure.
HRESULT CreateShellLink(const char* target, const char* linkPath, const char* description,
                        const char* name = nullptr, const char* arguments = nullptr, DWORD mode = 0644);

// The folder browser. mode 1: folders only with an edit box; mode 0: files
// too. The folder text is where it starts and, when a folder was chosen,
// the chosen one. captionId / titleId are string ids (0: none). True when a
// folder that exists was chosen.
bool BrowseForFolder(int mode, CString& folder, CWnd* owner, UINT captionId, UINT titleId, bool statusText,
                     HICON icon);

// Removes the folder and everything in it, read-only files included,
// without asking; links are removed, never followed. Refuses "", "/" and
// the home folder.
bool DeleteFolderTree(const char* path);

// The path of a special folder (CSIDL); the user's own folders (Programs,
// Start menu, Documents, desktop) are made when missing. False for an
// unknown id or an empty path.
bool GetSpecialFolderPath(int csidl, CString& out);
// The Start-menu folders in the order user, all users, user Programs, all
// users Programs (index 0 to 3).
bool GetStartMenuFolder(int index, CString& out);

// The text of GetLastError() in the setup's language; false when there is
// no error or no text for it.
bool GetLastErrorText(CString& out);

// Sets the default value of root\subKey (created when missing) as REG_SZ
// with its NUL.
bool WriteRegDefaultString(HKEY root, const char* subKey, const char* value);

// The web link: blue text that opens its address with the desktop's
// browser when clicked.
class CHyperLink : public CColorStatic {
 public:
  CHyperLink(UINT cursorId, const char* address);
  ~CHyperLink() override;
  virtual void OpenLink();
  const CString& GetAddress() const { return address_; }

 protected:
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  afx_msg void OnClicked();
  DECLARE_MESSAGE_MAP()

 private:
  CString address_;
  HCURSOR cursor_ = nullptr;
};

// Lets a static control report clicks (SS_NOTIFY).
void AddNotifyStyle(CWnd* window);

}  // namespace qmsetup
