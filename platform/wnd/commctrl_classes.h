// Control objects over the common controls: each call is the control's
// message (see commctrl.h for the messages and platform/wnd/README.md for
// how the controls behave).
#pragma once

#include "platform/gdi/imagelist.h"
#include "platform/wnd/commctrl.h"
#include "platform/wnd/controls.h"

class CHeaderCtrl : public CWnd {
  DECLARE_DYNAMIC(CHeaderCtrl)
 public:
  CHeaderCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetItemCount() const { return static_cast<int>(Msg(HDM_GETITEMCOUNT)); }
  BOOL GetItem(int nPos, HDITEM* pHeaderItem) const {
    return static_cast<BOOL>(Msg(HDM_GETITEM, static_cast<WPARAM>(nPos), reinterpret_cast<LPARAM>(pHeaderItem)));
  }
  BOOL SetItem(int nPos, HDITEM* pHeaderItem) {
    return static_cast<BOOL>(SendMessage(HDM_SETITEM, static_cast<WPARAM>(nPos), reinterpret_cast<LPARAM>(pHeaderItem)));
  }
  int InsertItem(int nPos, HDITEM* phdi) {
    return static_cast<int>(SendMessage(HDM_INSERTITEM, static_cast<WPARAM>(nPos), reinterpret_cast<LPARAM>(phdi)));
  }
  BOOL DeleteItem(int nPos) { return static_cast<BOOL>(SendMessage(HDM_DELETEITEM, static_cast<WPARAM>(nPos))); }
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
    return static_cast<BOOL>(Msg(HDM_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
  }
  BOOL Layout(HDLAYOUT* pHeaderLayout) {
    return static_cast<BOOL>(SendMessage(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(pHeaderLayout)));
  }
  int HitTest(LPHDHITTESTINFO pHeaderHitTestInfo) {
    return static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(pHeaderHitTestInfo)));
  }
  CImageList* SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
  }
  CImageList* GetImageList() const { return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Msg(HDM_GETIMAGELIST))); }
  int OrderToIndex(int nOrder) const { return static_cast<int>(Msg(HDM_ORDERTOINDEX, static_cast<WPARAM>(nOrder))); }
  BOOL GetOrderArray(LPINT piArray, int iCount) const {
    return static_cast<BOOL>(Msg(HDM_GETORDERARRAY, static_cast<WPARAM>(iCount), reinterpret_cast<LPARAM>(piArray)));
  }
  BOOL SetOrderArray(int iCount, LPINT piArray) {
    return static_cast<BOOL>(SendMessage(HDM_SETORDERARRAY, static_cast<WPARAM>(iCount), reinterpret_cast<LPARAM>(piArray)));
  }
  int SetBitmapMargin(int nWidth) { return static_cast<int>(SendMessage(HDM_SETBITMAPMARGIN, static_cast<WPARAM>(nWidth))); }
  int GetBitmapMargin() const { return static_cast<int>(Msg(HDM_GETBITMAPMARGIN)); }
  // Items with HDF_OWNERDRAW paint here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  LRESULT Msg(UINT m, WPARAM w = 0, LPARAM l = 0) const { return const_cast<CHeaderCtrl*>(this)->SendMessage(m, w, l); }
};

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)
 public:
  CListCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Colours and images.
  COLORREF GetBkColor() const { return static_cast<COLORREF>(Msg(LVM_GETBKCOLOR)); }
  BOOL SetBkColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(cr))); }
  COLORREF GetTextColor() const { return static_cast<COLORREF>(Msg(LVM_GETTEXTCOLOR)); }
  BOOL SetTextColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(cr))); }
  COLORREF GetTextBkColor() const { return static_cast<COLORREF>(Msg(LVM_GETTEXTBKCOLOR)); }
  BOOL SetTextBkColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(cr))); }
  CImageList* GetImageList(int nImageList) const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Msg(LVM_GETIMAGELIST, static_cast<WPARAM>(nImageList))));
  }
  CImageList* SetImageList(CImageList* pImageList, int nImageListType) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(
        LVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType), reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
  }
  DWORD SetExtendedStyle(DWORD dwNewStyle) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwNewStyle)));
  }
  DWORD GetExtendedStyle() const { return static_cast<DWORD>(Msg(LVM_GETEXTENDEDLISTVIEWSTYLE)); }

  // Items.
  int GetItemCount() const { return static_cast<int>(Msg(LVM_GETITEMCOUNT)); }
  BOOL SetItemCount(int nItems) { return static_cast<BOOL>(SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(nItems))); }
  BOOL GetItem(LVITEM* pItem) const { return static_cast<BOOL>(Msg(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
  BOOL SetItem(const LVITEM* pItem) { return static_cast<BOOL>(SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
  BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
               LPARAM lParam);
  int InsertItem(const LVITEM* pItem) { return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
  int InsertItem(int nItem, LPCTSTR lpszItem);
  int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam);
  BOOL DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nItem))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  CString GetItemText(int nItem, int nSubItem) const;
  int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
  DWORD_PTR GetItemData(int nItem) const;
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  UINT GetItemState(int nItem, UINT nMask) const {
    return static_cast<UINT>(Msg(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), static_cast<LPARAM>(nMask)));
  }
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  BOOL SetItemState(int nItem, LVITEM* pItem) {
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pItem)));
  }
  int GetNextItem(int nItem, int nFlags) const {
    return static_cast<int>(Msg(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), static_cast<LPARAM>(nFlags)));
  }
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& pos) const;
  UINT GetSelectedCount() const { return static_cast<UINT>(Msg(LVM_GETSELECTEDCOUNT)); }
  int GetSelectionMark() const { return static_cast<int>(Msg(LVM_GETSELECTIONMARK)); }
  int SetSelectionMark(int iIndex) { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, iIndex)); }
  int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const {
    return static_cast<int>(Msg(LVM_FINDITEM, static_cast<WPARAM>(nStart), reinterpret_cast<LPARAM>(pFindInfo)));
  }
  BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) {
    return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, dwData, reinterpret_cast<LPARAM>(pfnCompare)));
  }

  // Geometry.
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
  BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
  BOOL GetItemPosition(int nItem, LPPOINT lpPoint) const {
    return static_cast<BOOL>(Msg(LVM_GETITEMPOSITION, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpPoint)));
  }
  BOOL GetViewRect(LPRECT lpRect) const { return static_cast<BOOL>(Msg(LVM_GETVIEWRECT, 0, reinterpret_cast<LPARAM>(lpRect))); }
  int GetStringWidth(LPCTSTR lpsz) const { return static_cast<int>(Msg(LVM_GETSTRINGWIDTH, 0, reinterpret_cast<LPARAM>(lpsz))); }
  int HitTest(LVHITTESTINFO* pHitTestInfo) const {
    return static_cast<int>(Msg(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
  }
  int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  int SubItemHitTest(LPLVHITTESTINFO pInfo) {
    return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(pInfo)));
  }
  BOOL EnsureVisible(int nItem, BOOL bPartialOK) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), bPartialOK));
  }
  BOOL Scroll(CSize size) { return static_cast<BOOL>(SendMessage(LVM_SCROLL, static_cast<WPARAM>(size.cx), size.cy)); }
  BOOL RedrawItems(int nFirst, int nLast) {
    return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(nFirst), nLast));
  }
  BOOL Update(int nItem) { return static_cast<BOOL>(SendMessage(LVM_UPDATE, static_cast<WPARAM>(nItem))); }
  BOOL Arrange(UINT nCode) { return static_cast<BOOL>(SendMessage(LVM_ARRANGE, nCode)); }
  int GetTopIndex() const { return static_cast<int>(Msg(LVM_GETTOPINDEX)); }
  int GetCountPerPage() const { return static_cast<int>(Msg(LVM_GETCOUNTPERPAGE)); }
  BOOL GetOrigin(LPPOINT lpPoint) const { return static_cast<BOOL>(Msg(LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(lpPoint))); }

  // Columns.
  BOOL GetColumn(int nCol, LVCOLUMN* pColumn) const {
    return static_cast<BOOL>(Msg(LVM_GETCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
  }
  BOOL SetColumn(int nCol, const LVCOLUMN* pColumn) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
  }
  int InsertColumn(int nCol, const LVCOLUMN* pColumn) {
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
  }
  int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
  BOOL DeleteColumn(int nCol) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(nCol))); }
  int GetColumnWidth(int nCol) const { return static_cast<int>(Msg(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nCol))); }
  BOOL SetColumnWidth(int nCol, int cx) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nCol), MAKELPARAM(static_cast<WORD>(cx), 0)));
  }
  BOOL GetColumnOrderArray(LPINT piArray, int iCount = -1) const;
  BOOL SetColumnOrderArray(int iCount, LPINT piArray) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNORDERARRAY, static_cast<WPARAM>(iCount), reinterpret_cast<LPARAM>(piArray)));
  }
  CHeaderCtrl* GetHeaderCtrl() const;

  // A picture of an item for dragging (the caller deletes it); *lpPoint gets
  // the item's upper-left corner.
  CImageList* CreateDragImage(int nItem, LPPOINT lpPoint);

  // LVS_OWNERDRAWFIXED rows paint here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  LRESULT Msg(UINT m, WPARAM w = 0, LPARAM l = 0) const { return const_cast<CListCtrl*>(this)->SendMessage(m, w, l); }
};

class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)
 public:
  CTreeCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(lpInsertStruct)));
  }
  HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState, UINT nStateMask,
                       LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
  HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
  HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST);
  BOOL DeleteItem(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem))); }
  BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
  BOOL Expand(HTREEITEM hItem, UINT nCode) {
    return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)));
  }
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
  UINT GetCount() const { return static_cast<UINT>(Msg(TVM_GETCOUNT)); }
  UINT GetIndent() const { return static_cast<UINT>(Msg(TVM_GETINDENT)); }
  void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
  CImageList* GetImageList(UINT nImageList) const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(Msg(TVM_GETIMAGELIST, nImageList)));
  }
  CImageList* SetImageList(CImageList* pImageList, int nImageListType) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(
        TVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType), reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
  }
  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const {
    return reinterpret_cast<HTREEITEM>(Msg(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
  }
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
  HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
  HTREEITEM GetLastVisibleItem() const { return GetNextItem(nullptr, TVGN_LASTVISIBLE); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  BOOL Select(HTREEITEM hItem, UINT nCode) {
    return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
  }
  BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
  BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
  BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
  BOOL GetItem(TVITEM* pItem) const { return static_cast<BOOL>(Msg(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
  BOOL SetItem(TVITEM* pItem) { return static_cast<BOOL>(SendMessage(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(pItem))); }
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
  BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
  BOOL ItemHasChildren(HTREEITEM hItem) const;
  UINT GetVisibleCount() const { return static_cast<UINT>(Msg(TVM_GETVISIBLECOUNT)); }
  HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const {
    return reinterpret_cast<HTREEITEM>(Msg(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
  }
  BOOL SortChildren(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(hItem))); }
  BOOL EnsureVisible(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem))); }
  SHORT SetItemHeight(SHORT cyHeight) { return static_cast<SHORT>(SendMessage(TVM_SETITEMHEIGHT, static_cast<WPARAM>(cyHeight))); }
  SHORT GetItemHeight() const { return static_cast<SHORT>(Msg(TVM_GETITEMHEIGHT)); }
  COLORREF SetBkColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(clr))); }
  COLORREF GetBkColor() const { return static_cast<COLORREF>(Msg(TVM_GETBKCOLOR)); }
  COLORREF SetTextColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(clr))); }
  COLORREF GetTextColor() const { return static_cast<COLORREF>(Msg(TVM_GETTEXTCOLOR)); }

 private:
  LRESULT Msg(UINT m, WPARAM w = 0, LPARAM l = 0) const { return const_cast<CTreeCtrl*>(this)->SendMessage(m, w, l); }
};

class CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)
 public:
  CSliderCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetPos() const { return static_cast<int>(Msg(TBM_GETPOS)); }
  void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
  int GetRangeMin() const { return static_cast<int>(Msg(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(Msg(TBM_GETRANGEMAX)); }
  void GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
  }
  // Whole int ranges (the minimum, then the maximum).
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
    SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
    SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
  }
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
  void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(nFreq)); }
  BOOL SetTic(int nTic) { return static_cast<BOOL>(SendMessage(TBM_SETTIC, 0, nTic)); }
  void ClearTics(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARTICS, bRedraw); }
  UINT GetNumTics() const { return static_cast<UINT>(Msg(TBM_GETNUMTICS)); }
  int GetPageSize() const { return static_cast<int>(Msg(TBM_GETPAGESIZE)); }
  int SetPageSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, nSize)); }
  int GetLineSize() const { return static_cast<int>(Msg(TBM_GETLINESIZE)); }
  int SetLineSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, nSize)); }
  void GetThumbRect(LPRECT lprc) const { Msg(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(lprc)); }
  void GetChannelRect(LPRECT lprc) const { Msg(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(lprc)); }

 private:
  LRESULT Msg(UINT m, WPARAM w = 0, LPARAM l = 0) const { return const_cast<CSliderCtrl*>(this)->SendMessage(m, w, l); }
};

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
 public:
  CSpinButtonCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
  void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
  void GetRange(int& lower, int& upper) const { GetRange32(lower, upper); }
  void GetRange32(int& lower, int& upper) const {
    Msg(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
  }
  // The position (read from a buddy that shows it, kept inside the range).
  int GetPos() const { return GetPos32(); }
  int GetPos32(LPBOOL lpbError = nullptr) const {
    return static_cast<int>(Msg(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(lpbError)));
  }
  int SetPos(int nPos) { return SetPos32(nPos); }
  int SetPos32(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
  CWnd* SetBuddy(CWnd* pWndBuddy) {
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(QmHwnd(pWndBuddy)))));
  }
  CWnd* GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(Msg(UDM_GETBUDDY))); }
  int SetBase(int nBase) { return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(nBase))); }
  UINT GetBase() const { return static_cast<UINT>(Msg(UDM_GETBASE)); }
  BOOL SetAccel(int nAccel, UDACCEL* pAccel) {
    return static_cast<BOOL>(SendMessage(UDM_SETACCEL, static_cast<WPARAM>(nAccel), reinterpret_cast<LPARAM>(pAccel)));
  }
  UINT GetAccel(int nAccel, UDACCEL* pAccel) const {
    return static_cast<UINT>(Msg(UDM_GETACCEL, static_cast<WPARAM>(nAccel), reinterpret_cast<LPARAM>(pAccel)));
  }

 private:
  LRESULT Msg(UINT m, WPARAM w = 0, LPARAM l = 0) const { return const_cast<CSpinButtonCtrl*>(this)->SendMessage(m, w, l); }
};

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)
 public:
  CProgressCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // Whole int ranges: totals above 65535 keep their size.
  void SetRange(int nLower, int nUpper) { SetRange32(nLower, nUpper); }
  void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
  void GetRange(int& nLower, int& nUpper) const {
    PBRANGE r{0, 0};
    Msg(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
    nLower = r.iLow;
    nUpper = r.iHigh;
  }
  int GetPos() const { return static_cast<int>(Msg(PBM_GETPOS)); }
  int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
  int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nPos))); }
  int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep))); }
  int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
  COLORREF SetBarColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, static_cast<LPARAM>(clr))); }
  COLORREF SetBkColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, static_cast<LPARAM>(clr))); }

 private:
  LRESULT Msg(UINT m, WPARAM w = 0, LPARAM l = 0) const { return const_cast<CProgressCtrl*>(this)->SendMessage(m, w, l); }
};

class CHotKeyCtrl : public CWnd {
  DECLARE_DYNAMIC(CHotKeyCtrl)
 public:
  CHotKeyCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers) {
    SendMessage(HKM_SETHOTKEY, MAKEWORD(static_cast<BYTE>(wVirtualKeyCode), static_cast<BYTE>(wModifiers)));
  }
  DWORD GetHotKey() const { return static_cast<DWORD>(const_cast<CHotKeyCtrl*>(this)->SendMessage(HKM_GETHOTKEY)); }
  void GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const {
    const DWORD k = GetHotKey();
    wVirtualKeyCode = LOBYTE(LOWORD(k));
    wModifiers = HIBYTE(LOWORD(k));
  }
  void SetRules(WORD wInvalidComb, WORD wModifiers) { SendMessage(HKM_SETRULES, wInvalidComb, MAKELPARAM(wModifiers, 0)); }
  // The combination as the control shows it ("Ctrl + Shift + F5").
  CString GetHotKeyName() const;
};

class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)
 public:
  CRichEditCtrl() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  long StreamIn(int nFormat, EDITSTREAM& es) {
    return static_cast<long>(SendMessage(EM_STREAMIN, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
  }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly))); }
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr) {
    return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, static_cast<WPARAM>(bSysColor), static_cast<LPARAM>(cr)));
  }
  DWORD SetEventMask(DWORD dwEventMask) { return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwEventMask))); }
  void SetSel(long nStartChar, long nEndChar) { SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar); }
  void GetSel(long& nStartChar, long& nEndChar) const {
    CHARRANGE r{0, 0};
    const_cast<CRichEditCtrl*>(this)->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    nStartChar = r.cpMin;
    nEndChar = r.cpMax;
  }
  void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
  int GetLineCount() const { return static_cast<int>(const_cast<CRichEditCtrl*>(this)->SendMessage(EM_GETLINECOUNT)); }
};

class CComboBoxEx : public CComboBox {
  DECLARE_DYNAMIC(CComboBoxEx)
 public:
  CComboBoxEx() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  using CComboBox::DeleteItem;
  int InsertItem(const COMBOBOXEXITEM* pCBItem) {
    return static_cast<int>(SendMessage(CBEM_INSERTITEM, 0, reinterpret_cast<LPARAM>(pCBItem)));
  }
  int DeleteItem(int iIndex) { return static_cast<int>(SendMessage(CBEM_DELETEITEM, static_cast<WPARAM>(iIndex))); }
  BOOL GetItem(COMBOBOXEXITEM* pCBItem) { return static_cast<BOOL>(SendMessage(CBEM_GETITEM, 0, reinterpret_cast<LPARAM>(pCBItem))); }
  BOOL SetItem(const COMBOBOXEXITEM* pCBItem) {
    return static_cast<BOOL>(SendMessage(CBEM_SETITEM, 0, reinterpret_cast<LPARAM>(pCBItem)));
  }
  CImageList* SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr))));
  }
  CImageList* GetImageList() const {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(const_cast<CComboBoxEx*>(this)->SendMessage(CBEM_GETIMAGELIST)));
  }
  CComboBox* GetComboBoxCtrl() { return this; }
  CEdit* GetEditCtrl() {
    return static_cast<CEdit*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(CBEM_GETEDITCONTROL))));
  }
  DWORD SetExtendedStyle(DWORD dwExMask, DWORD dwExStyles) {
    return static_cast<DWORD>(SendMessage(CBEM_SETEXTENDEDSTYLE, dwExMask, static_cast<LPARAM>(dwExStyles)));
  }
  DWORD GetExtendedStyle() const {
    return static_cast<DWORD>(const_cast<CComboBoxEx*>(this)->SendMessage(CBEM_GETEXTENDEDSTYLE));
  }
};

// The framework's object for a window of one of these classes (used by
// CWnd::FromHandle); null for other classes.
CWnd* QmMakeCommonControlObject(const char* className);
