// Control objects over control windows: each call is the control's
// message. Buttons, statics and edits are Qt's widgets; combo and list boxes
// are drawn by the stand-in (commctrl_lists.cpp); scroll bar controls are
// still place-holders.
#pragma once

#include "platform/wnd/commctrl.h"
#include "platform/wnd/window.h"

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
 public:
  CStatic() = default;
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);
  HICON SetIcon(HICON hIcon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon))); }
  HICON GetIcon() const { return reinterpret_cast<HICON>(const_cast<CStatic*>(this)->SendMessage(STM_GETICON)); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(const_cast<CStatic*>(this)->SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
  }
  // Owner-drawn statics.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  CButton() = default;
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCheck() const { return static_cast<int>(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
  UINT GetState() const { return static_cast<UINT>(const_cast<CButton*>(this)->SendMessage(BM_GETSTATE)); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(bHighlight)); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
  }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  // Owner-drawn buttons (BS_OWNERDRAW) paint here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  CEdit() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    (void)bNoScroll;
    SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
  }
  void GetSel(int& nStartChar, int& nEndChar) const {
    DWORD a = 0, b = 0;
    const_cast<CEdit*>(this)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    nStartChar = static_cast<int>(a);
    nEndChar = static_cast<int>(b);
  }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
  }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
  void SetLimitText(UINT nMax) { SendMessage(EM_LIMITTEXT, nMax); }
  UINT GetLimitText() const { return static_cast<UINT>(const_cast<CEdit*>(this)->SendMessage(EM_GETLIMITTEXT)); }
  // The character shown for every typed one; 0 shows the text as typed
  // (sets or clears ES_PASSWORD). The caller redraws the edit.
  void SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, static_cast<BYTE>(ch)); }
  TCHAR GetPasswordChar() const {
    return static_cast<TCHAR>(const_cast<CEdit*>(this)->SendMessage(EM_GETPASSWORDCHAR));
  }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly))); }
  BOOL GetModify() const { return static_cast<BOOL>(const_cast<CEdit*>(this)->SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, static_cast<WPARAM>(bModified)); }
  BOOL CanUndo() const { return static_cast<BOOL>(const_cast<CEdit*>(this)->SendMessage(EM_CANUNDO)); }
  BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
  void Cut() { SendMessage(WM_CUT); }
  void Copy() { SendMessage(WM_COPY); }
  void Paste() { SendMessage(WM_PASTE); }
  void Clear() { SendMessage(WM_CLEAR); }
  int GetLineCount() const { return static_cast<int>(const_cast<CEdit*>(this)->SendMessage(EM_GETLINECOUNT)); }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)
 public:
  CComboBox() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int AddString(LPCTSTR s) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
  int InsertString(int i, LPCTSTR s) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s)));
  }
  int DeleteString(UINT i) { return static_cast<int>(SendMessage(CB_DELETESTRING, i)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int i) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(i))); }
  DWORD_PTR GetItemData(int i) const {
    return static_cast<DWORD_PTR>(const_cast<CComboBox*>(this)->SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(i)));
  }
  int SetItemData(int i, DWORD_PTR d) {
    return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(d)));
  }
  int FindStringExact(int start, LPCTSTR s) const {
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start),
                                                                       reinterpret_cast<LPARAM>(s)));
  }
  int SelectString(int start, LPCTSTR s) {
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s)));
  }
  int GetLBTextLen(int i) const {
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(i)));
  }
  void GetLBText(int i, CString& s) const;
  int FindString(int start, LPCTSTR s) const {
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_FINDSTRING, static_cast<WPARAM>(start),
                                                                       reinterpret_cast<LPARAM>(s)));
  }
  // The dropped list and the item heights (-1: the selection field).
  void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt)); }
  BOOL GetDroppedState() const { return static_cast<BOOL>(const_cast<CComboBox*>(this)->SendMessage(CB_GETDROPPEDSTATE)); }
  void GetDroppedControlRect(LPRECT lprect) const {
    const_cast<CComboBox*>(this)->SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(lprect));
  }
  int SetDroppedWidth(UINT nWidth) { return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, nWidth)); }
  int GetDroppedWidth() const { return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETDROPPEDWIDTH)); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(cyItemHeight)));
  }
  int GetItemHeight(int nIndex) const {
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
  }
  int SetExtendedUI(BOOL bExtended = TRUE) { return static_cast<int>(SendMessage(CB_SETEXTENDEDUI, static_cast<WPARAM>(bExtended))); }
  BOOL GetExtendedUI() const { return static_cast<BOOL>(const_cast<CComboBox*>(this)->SendMessage(CB_GETEXTENDEDUI)); }
  int GetTopIndex() const { return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETTOPINDEX)); }
  int SetTopIndex(int nIndex) { return static_cast<int>(SendMessage(CB_SETTOPINDEX, static_cast<WPARAM>(nIndex))); }
  // The edit field (drop-down combos).
  DWORD GetEditSel() const { return static_cast<DWORD>(const_cast<CComboBox*>(this)->SendMessage(CB_GETEDITSEL)); }
  BOOL SetEditSel(int nStartChar, int nEndChar) {
    return static_cast<BOOL>(SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(nStartChar), static_cast<WORD>(nEndChar))));
  }
  BOOL LimitText(int nMaxChars) { return static_cast<BOOL>(SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars))); }
  BOOL GetComboBoxInfo(PCOMBOBOXINFO pcbi) const {
    return static_cast<BOOL>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(pcbi)));
  }
  // Owner-drawn combo boxes (CBS_OWNERDRAWFIXED / VARIABLE) draw and measure
  // their items here; CBS_SORT without CBS_HASSTRINGS compares them here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)
 public:
  CListBox() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int AddString(LPCTSTR s) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s))); }
  int InsertString(int i, LPCTSTR s) {
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s)));
  }
  int DeleteString(UINT i) { return static_cast<int>(SendMessage(LB_DELETESTRING, i)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int i) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(i))); }
  DWORD_PTR GetItemData(int i) const {
    return static_cast<DWORD_PTR>(const_cast<CListBox*>(this)->SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(i)));
  }
  int SetItemData(int i, DWORD_PTR d) {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(d)));
  }
  void GetText(int i, CString& s) const;
  int GetTextLen(int i) const {
    return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i)));
  }
  int FindString(int start, LPCTSTR s) const {
    return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_FINDSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s)));
  }
  int FindStringExact(int start, LPCTSTR s) const {
    return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(start),
                                                                      reinterpret_cast<LPARAM>(s)));
  }
  int SelectString(int start, LPCTSTR s) {
    return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s)));
  }
  // Multiple selection.
  int GetSel(int i) const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETSEL, static_cast<WPARAM>(i))); }
  int SetSel(int i, BOOL bSelect = TRUE) { return static_cast<int>(SendMessage(LB_SETSEL, static_cast<WPARAM>(bSelect), i)); }
  int GetSelCount() const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETSELCOUNT)); }
  int GetSelItems(int nMaxItems, LPINT rgIndex) const {
    return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(nMaxItems),
                                                                      reinterpret_cast<LPARAM>(rgIndex)));
  }
  int SelItemRange(BOOL bSelect, int nFirstItem, int nLastItem) {
    return static_cast<int>(SendMessage(LB_SELITEMRANGE, static_cast<WPARAM>(bSelect),
                                        MAKELPARAM(static_cast<WORD>(nFirstItem), static_cast<WORD>(nLastItem))));
  }
  int GetCaretIndex() const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETCARETINDEX)); }
  int SetCaretIndex(int i, BOOL bScroll = TRUE) { return static_cast<int>(SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(i), bScroll)); }
  int GetAnchorIndex() const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETANCHORINDEX)); }
  // Geometry.
  int GetTopIndex() const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETTOPINDEX)); }
  int SetTopIndex(int i) { return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(i))); }
  int GetItemRect(int i, LPRECT lpRect) const {
    return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(lpRect)));
  }
  int SetItemHeight(int i, UINT cyItemHeight) {
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(i), MAKELPARAM(static_cast<WORD>(cyItemHeight), 0)));
  }
  int GetItemHeight(int i) const { return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i))); }
  void SetColumnWidth(int cxWidth) { SendMessage(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(cxWidth)); }
  void SetHorizontalExtent(int cxExtent) { SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(cxExtent)); }
  UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const {
    const DWORD r = static_cast<DWORD>(const_cast<CListBox*>(this)->SendMessage(LB_ITEMFROMPOINT, 0,
                                                                                 MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y))));
    bOutside = HIWORD(r) != 0;
    return LOWORD(r);
  }
  // Owner-drawn list boxes (LBS_OWNERDRAWFIXED / VARIABLE).
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)
 public:
  CScrollBar() = default;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
  void GetScrollRange(int* lpMinPos, int* lpMaxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos); }
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
  }
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    return ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw) != 0;
  }
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) {
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
  }
};

// Clicks a button as a person would (press and release over it).
void QmClickButton(HWND button);
