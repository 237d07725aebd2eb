// The tab control (class "SysTabControl32") and CTabCtrl over it: one row
// of tabs above a display area, TCN_SELCHANGING (a non-zero answer keeps the
// current tab) and TCN_SELCHANGE to the parent when the user picks a tab.
#pragma once

#include "platform/gdi/imagelist.h"
#include "platform/wnd/window.h"

#define WC_TABCONTROL "SysTabControl32"

constexpr DWORD TCS_BOTTOM = 0x0002;
constexpr DWORD TCS_FOCUSONBUTTONDOWN = 0x1000;
constexpr DWORD TCS_FOCUSNEVER = 0x8000;

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEM = TCM_FIRST + 5;
constexpr UINT TCM_SETITEM = TCM_FIRST + 6;
constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_GETROWCOUNT = TCM_FIRST + 44;
constexpr UINT TCM_GETCURFOCUS = TCM_FIRST + 47;
constexpr UINT TCM_SETCURFOCUS = TCM_FIRST + 48;

constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;
constexpr UINT TCIF_STATE = 0x0010;

constexpr UINT TCN_FIRST = static_cast<UINT>(-550);
constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

constexpr UINT TCHT_NOWHERE = 0x0001;
constexpr UINT TCHT_ONITEMICON = 0x0002;
constexpr UINT TCHT_ONITEMLABEL = 0x0004;
constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

struct TCITEM {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};
using LPTCITEM = TCITEM*;

struct TCHITTESTINFO {
  POINT pt;
  UINT flags;
};

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)
 public:
  CTabCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  LONG InsertItem(int nItem, LPCTSTR lpszItem) { return InsertItem(nItem, lpszItem, -1); }
  LONG InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  LONG InsertItem(int nItem, TCITEM* pTabCtrlItem) {
    return static_cast<LONG>(SendMessage(TCM_INSERTITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const {
    return static_cast<BOOL>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETITEM, static_cast<WPARAM>(nItem),
                                                                      reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL SetItem(int nItem, TCITEM* pTabCtrlItem) {
    return static_cast<BOOL>(SendMessage(TCM_SETITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(nItem))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
  int GetItemCount() const { return static_cast<int>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETITEMCOUNT)); }
  int GetCurSel() const { return static_cast<int>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETCURSEL)); }
  int SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem))); }
  int GetCurFocus() const { return static_cast<int>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETCURFOCUS)); }
  void SetCurFocus(int nItem) { SendMessage(TCM_SETCURFOCUS, static_cast<WPARAM>(nItem)); }
  BOOL GetItemRect(int nItem, LPRECT lpRect) const {
    return static_cast<BOOL>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem),
                                                                      reinterpret_cast<LPARAM>(lpRect)));
  }
  // bLarger FALSE: the display area of a window rectangle; TRUE: the window
  // rectangle of a display area.
  void AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, static_cast<WPARAM>(bLarger), reinterpret_cast<LPARAM>(lpRect)); }
  int HitTest(TCHITTESTINFO* pHitTestInfo) const {
    return static_cast<int>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
  }
  int GetRowCount() const { return static_cast<int>(const_cast<CTabCtrl*>(this)->SendMessage(TCM_GETROWCOUNT)); }
  CImageList* SetImageList(CImageList* pImageList);
  CImageList* GetImageList() const;
};
