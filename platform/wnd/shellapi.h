// The shell calls the programs make: special folders, item id lists, the
// folder browser, file icons of the small system image list.
//
// Special folders are the desktop's XDG folders: the user's Programs and
// Start menu (CSIDL 2, 11) are $XDG_DATA_HOME/applications, Documents (5)
// and the desktop (16) the XDG user folders; the all-users folders (22, 23
// and the all-users desktop 25) lie in the first folder of $XDG_DATA_DIRS,
// under applications (a launcher there is what every user sees). Other ids
// fail (E_FAIL / FALSE) with a note on stderr. Paths are in the interface
// code page with '/' separators.
#pragma once

#include "platform/base/memory.h"
#include "platform/wnd/window.h"

// Item id lists: one item holding a path; free them with CoTaskMemFree,
// ILFree or the shell's IMalloc.
struct SHITEMID {
  USHORT cb;
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_PROGRAMS = 0x0002;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_STARTMENU = 0x000B;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_COMMON_STARTMENU = 0x0016;
constexpr int CSIDL_COMMON_PROGRAMS = 0x0017;
constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 0x0019;
constexpr int CSIDL_FLAG_CREATE = 0x8000;

HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, LPITEMIDLIST* ppidl);
// fCreate: the folder is made (with its parents) when missing.
BOOL SHGetSpecialFolderPath(HWND hwnd, LPSTR pszPath, int csidl, BOOL fCreate);
// The path of a list into a buffer of MAX_PATH; FALSE for a list without one.
BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath);
LPITEMIDLIST ILCreateFromPath(LPCSTR pszPath);
void ILFree(LPITEMIDLIST pidl);
void CoTaskMemFree(LPVOID pv);

class IMalloc {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual LPVOID Alloc(SIZE_T cb) = 0;
  virtual LPVOID Realloc(LPVOID pv, SIZE_T cb) = 0;
  virtual void Free(LPVOID pv) = 0;

 protected:
  virtual ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;
HRESULT SHGetMalloc(LPMALLOC* ppMalloc);

// ---------------------------------------------------------------------------
// The folder browser: Qt's folder dialog under the caller's title and an
// optional status line, with the Windows callback.

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;
constexpr UINT BIF_STATUSTEXT = 0x0004;
constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;
constexpr UINT BIF_EDITBOX = 0x0010;
constexpr UINT BIF_VALIDATE = 0x0020;
constexpr UINT BIF_NEWDIALOGSTYLE = 0x0040;
constexpr UINT BIF_BROWSEFORCOMPUTER = 0x1000;
constexpr UINT BIF_BROWSEFORPRINTER = 0x2000;
constexpr UINT BIF_BROWSEINCLUDEFILES = 0x4000;

constexpr UINT BFFM_INITIALIZED = 1;
constexpr UINT BFFM_SELCHANGED = 2;
constexpr UINT BFFM_SETSTATUSTEXT = WM_USER + 100;
constexpr UINT BFFM_ENABLEOK = WM_USER + 101;
constexpr UINT BFFM_SETSELECTION = WM_USER + 102;

// The browser's controls: the title and the status line.
constexpr int QM_IDC_BROWSE_TITLE = 0x3742;
constexpr int QM_IDC_BROWSE_STATUS = 0x3743;

using BFFCALLBACK = int (*)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFO {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;
  LPSTR pszDisplayName;  // MAX_PATH: the chosen folder's name
  LPCSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};
using LPBROWSEINFO = BROWSEINFO*;

// The chosen folder, or null when cancelled. BFFM_SETSELECTION takes a path
// (wParam TRUE) or a list; BFFM_SETSTATUSTEXT the status line's text.
LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi);

// ---------------------------------------------------------------------------
// File information: icons of this layer's small system image list (a
// folder, an open folder, a drive, a document).

constexpr UINT SHGFI_LARGEICON = 0x000000000;
constexpr UINT SHGFI_SMALLICON = 0x000000001;
constexpr UINT SHGFI_OPENICON = 0x000000002;
constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x000000010;
constexpr UINT SHGFI_ICON = 0x000000100;
constexpr UINT SHGFI_DISPLAYNAME = 0x000000200;
constexpr UINT SHGFI_TYPENAME = 0x000000400;
constexpr UINT SHGFI_ATTRIBUTES = 0x000000800;
constexpr UINT SHGFI_SYSICONINDEX = 0x000004000;

struct SHFILEINFO {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  char szDisplayName[260];
  char szTypeName[80];
};

// With SHGFI_SYSICONINDEX the answer is the system image list (never to be
// destroyed); otherwise non-zero on success. A drive root ("C:\") is the
// file system's root. 0 for a path that does not exist (unless
// SHGFI_USEFILEATTRIBUTES).
DWORD_PTR SHGetFileInfo(LPCSTR pszPath, DWORD dwFileAttributes, SHFILEINFO* psfi, UINT cbFileInfo, UINT uFlags);
