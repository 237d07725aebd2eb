// Menus: menu handles with their items, the menu bar of a top-level window,
// pop-up menus, the system menu, and CMenu over a handle.
#pragma once

#include "platform/base/cstring.h"
#include "platform/wnd/msgmap.h"

// Menu item flags besides those of resource.h.
constexpr UINT MF_UNHILITE = 0x0000;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_USECHECKBITMAPS = 0x0200;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_SYSMENU = 0x2000;
constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
constexpr UINT MF_MOUSESELECT = 0x8000;
constexpr UINT MFT_STRING = MF_STRING;
constexpr UINT MFT_BITMAP = MF_BITMAP;
constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
constexpr UINT MFT_RADIOCHECK = 0x0200;
constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;
constexpr UINT MFS_ENABLED = 0x0000;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = MF_CHECKED;
constexpr UINT MFS_HILITE = MF_HILITE;
constexpr UINT MFS_DEFAULT = MF_DEFAULT;
constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_CHECKMARKS = 0x0008;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_BITMAP = 0x0080;
constexpr UINT MIIM_FTYPE = 0x0100;

// TrackPopupMenu.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

struct MENUITEMINFO {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPTSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};
using LPMENUITEMINFO = MENUITEMINFO*;
using LPCMENUITEMINFO = const MENUITEMINFO*;

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// A menu from the resource pack (a new handle each time).
HMENU LoadMenu(HINSTANCE instance, LPCTSTR name);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCTSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCTSTR text);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCTSTR text);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or -1 when the
// item does not exist.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuString(HMENU menu, UINT item, LPTSTR buf, int size, UINT flags);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info);
// The marks of an item's checked and unchecked states (MIIM_CHECKMARKS).
BOOL SetMenuItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked);
// The framework's mark of a checked radio item (CCmdUI::SetRadio).
HBITMAP QmMenuRadioDot();
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
BOOL DrawMenuBar(HWND hwnd);
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
// Shows a pop-up menu for owner at screen point (x, y). With
// TPM_RETURNCMD it answers the chosen command (0 for none); otherwise the
// command goes to the owner as WM_COMMAND and the answer is TRUE when one
// was chosen. Tests answer through QmSetPopupMenuHook; without a hook and
// without a display nothing is chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, LPCRECT rect);

// Whether the Close item of the window's system menu is enabled (the close
// box works).
bool IsSysCloseEnabled(HWND hwnd);

class CBitmap;

class CMenu : public CObject {
  DECLARE_DYNCREATE(CMenu)
 public:
  HMENU m_hMenu = nullptr;

  CMenu() = default;
  ~CMenu() override;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  // The object of a handle: a permanent one, or one the framework keeps
  // until the menu is destroyed. Null for a null handle.
  static CMenu* FromHandle(HMENU hMenu);
  BOOL Attach(HMENU hMenu);
  HMENU Detach();
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }

  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  BOOL LoadMenu(UINT nIDResource);
  BOOL LoadMenu(LPCTSTR lpszResourceName);
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL RemoveMenu(UINT nPosition, UINT nFlags);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
  BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
  UINT GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
  BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  BOOL SetMenuItemInfo(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);
  CMenu* GetSubMenu(int nPos) const;
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

  // Owner-drawn items.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
};
