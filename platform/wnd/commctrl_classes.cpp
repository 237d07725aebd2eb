// The control objects of the common controls, and the owner-draw and
// reflection entries of the combo and list box objects.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/wnd/commctrl_classes.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHotKeyCtrl, CWnd)
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)
IMPLEMENT_DYNAMIC(CComboBoxEx, CComboBox)

namespace {

// Owner-draw requests that reach a control object through its parent.
template <class T>
BOOL OwnerDrawNotify(T* self, UINT message, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_DRAWITEM:
      self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      if (pResult) *pResult = TRUE;
      return TRUE;
    case WM_MEASUREITEM:
      self->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      if (pResult) *pResult = TRUE;
      return TRUE;
    case WM_COMPAREITEM: {
      const int r = self->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      if (pResult) *pResult = r;
      return TRUE;
    }
    case WM_DELETEITEM:
      self->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      if (pResult) *pResult = TRUE;
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Combo and list boxes: their owner-drawn items.

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  // WM_DELETEITEM reaches the object only when it overrides DeleteItem.
  if (message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_COMPAREITEM || message == WM_DELETEITEM)
    return OwnerDrawNotify(this, message, lParam, pResult);
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_COMPAREITEM || message == WM_DELETEITEM)
    return OwnerDrawNotify(this, message, lParam, pResult);
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---------------------------------------------------------------------------
// Headers.

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(WC_HEADER, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
  }
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---------------------------------------------------------------------------
// List views.

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState, UINT nStateMask,
                        LPARAM lParam) {
  LVITEM it{};
  it.mask = nMask;
  it.iItem = nItem;
  it.iSubItem = nSubItem;
  it.pszText = const_cast<LPSTR>(lpszItem);
  it.iImage = nImage;
  it.state = nState;
  it.stateMask = nStateMask;
  it.lParam = lParam;
  return SetItem(&it);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam) {
  LVITEM it{};
  it.mask = nMask;
  it.iItem = nItem;
  it.pszText = const_cast<LPSTR>(lpszItem);
  it.state = nState;
  it.stateMask = nStateMask;
  it.iImage = nImage;
  it.lParam = lParam;
  return InsertItem(&it);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) { return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0); }

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  std::string buf(256, '\0');
  for (;;) {
    LVITEM it{};
    it.iSubItem = nSubItem;
    it.pszText = buf.data();
    it.cchTextMax = static_cast<int>(buf.size());
    const int n = static_cast<int>(Msg(LVM_GETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&it)));
    if (n < static_cast<int>(buf.size()) - 1) return CString(buf.substr(0, static_cast<size_t>(std::max(0, n))));
    buf.resize(buf.size() * 2);
  }
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
  LVITEM it{};
  it.iSubItem = nSubItem;
  it.pszText = lpszText;
  it.cchTextMax = nLen;
  return static_cast<int>(Msg(LVM_GETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&it)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEM it{};
  it.iSubItem = nSubItem;
  it.pszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&it)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  LVITEM it{};
  it.mask = LVIF_PARAM;
  it.iItem = nItem;
  return GetItem(&it) ? static_cast<DWORD_PTR>(it.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(dwData));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEM it{};
  it.state = nState;
  it.stateMask = nMask;
  return SetItemState(nItem, &it);
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  const int i = GetNextItem(-1, LVNI_SELECTED);
  return reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(i + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
  const int i = static_cast<int>(reinterpret_cast<std::uintptr_t>(pos)) - 1;
  const int next = GetNextItem(i, LVNI_SELECTED);
  pos = reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(next + 1));
  return i;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
  if (!lpRect) return FALSE;
  lpRect->left = static_cast<LONG>(nCode);
  return static_cast<BOOL>(Msg(LVM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const {
  RECT r{nArea, iSubItem, 0, 0};
  const BOOL ok = static_cast<BOOL>(Msg(LVM_GETSUBITEMRECT, static_cast<WPARAM>(iItem), reinterpret_cast<LPARAM>(&r)));
  if (ok) ref = CRect(r);
  return ok;
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  LVHITTESTINFO ht{};
  ht.pt = pt;
  const int i = HitTest(&ht);
  if (pFlags) *pFlags = ht.flags;
  return i;
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
  LVCOLUMN c{};
  c.mask = LVCF_TEXT | LVCF_FMT;
  c.pszText = const_cast<LPSTR>(lpszColumnHeading);
  c.fmt = nFormat;
  if (nWidth != -1) {
    c.mask |= LVCF_WIDTH;
    c.cx = nWidth;
  }
  if (nSubItem != -1) {
    c.mask |= LVCF_SUBITEM;
    c.iSubItem = nSubItem;
  }
  return InsertColumn(nCol, &c);
}

BOOL CListCtrl::GetColumnOrderArray(LPINT piArray, int iCount) const {
  if (iCount == -1) {
    CHeaderCtrl* h = GetHeaderCtrl();
    iCount = h ? h->GetItemCount() : 0;
  }
  return static_cast<BOOL>(Msg(LVM_GETCOLUMNORDERARRAY, static_cast<WPARAM>(iCount), reinterpret_cast<LPARAM>(piArray)));
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
  const HWND h = reinterpret_cast<HWND>(Msg(LVM_GETHEADER));
  return static_cast<CHeaderCtrl*>(CWnd::FromHandle(h));
}

CImageList* CListCtrl::CreateDragImage(int nItem, LPPOINT lpPoint) {
  const HIMAGELIST h = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_CREATEDRAGIMAGE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpPoint)));
  if (!h) return nullptr;
  auto* list = new CImageList;
  list->Attach(h);
  return list;
}

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) {}
void CListCtrl::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
  }
  if (message == WM_MEASUREITEM) {
    MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
  }
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---------------------------------------------------------------------------
// Trees.

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  TVINSERTSTRUCT ins{};
  ins.hParent = hParent;
  ins.hInsertAfter = hInsertAfter;
  ins.item.mask = nMask;
  ins.item.pszText = const_cast<LPSTR>(lpszItem);
  ins.item.iImage = nImage;
  ins.item.iSelectedImage = nSelectedImage;
  ins.item.state = nState;
  ins.item.stateMask = nStateMask;
  ins.item.lParam = lParam;
  return InsertItem(&ins);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter) {
  return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0, hParent,
                    hInsertAfter);
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
  if (!lpRect) return FALSE;
  std::memcpy(lpRect, &hItem, sizeof hItem);
  return static_cast<BOOL>(Msg(TVM_GETITEMRECT, static_cast<WPARAM>(bTextOnly), reinterpret_cast<LPARAM>(lpRect)));
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  std::string buf(1024, '\0');
  TVITEM it{};
  it.mask = TVIF_TEXT | TVIF_HANDLE;
  it.hItem = hItem;
  it.pszText = buf.data();
  it.cchTextMax = static_cast<int>(buf.size());
  if (!GetItem(&it)) return CString();
  return CString(buf.c_str());
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) {
  TVITEM it{};
  it.mask = TVIF_TEXT | TVIF_HANDLE;
  it.hItem = hItem;
  it.pszText = const_cast<LPSTR>(lpszItem);
  return SetItem(&it);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const {
  TVITEM it{};
  it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  it.hItem = hItem;
  if (!GetItem(&it)) return FALSE;
  nImage = it.iImage;
  nSelectedImage = it.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) {
  TVITEM it{};
  it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  it.hItem = hItem;
  it.iImage = nImage;
  it.iSelectedImage = nSelectedImage;
  return SetItem(&it);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const {
  TVITEM it{};
  it.mask = TVIF_STATE | TVIF_HANDLE;
  it.hItem = hItem;
  it.stateMask = nStateMask;
  return GetItem(&it) ? (it.state & nStateMask) : 0;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
  TVITEM it{};
  it.mask = TVIF_STATE | TVIF_HANDLE;
  it.hItem = hItem;
  it.state = nState;
  it.stateMask = nStateMask;
  return SetItem(&it);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEM it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = hItem;
  return GetItem(&it) ? static_cast<DWORD_PTR>(it.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
  TVITEM it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = hItem;
  it.lParam = static_cast<LPARAM>(dwData);
  return SetItem(&it);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const {
  TVITEM it{};
  it.mask = TVIF_CHILDREN | TVIF_HANDLE;
  it.hItem = hItem;
  return GetItem(&it) && it.cChildren != 0;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO ht{};
  ht.pt = pt;
  const HTREEITEM h = HitTest(&ht);
  if (pFlags) *pFlags = ht.flags;
  return h;
}

// ---------------------------------------------------------------------------
// The other controls.

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(TRACKBAR_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(UPDOWN_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CHotKeyCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(HOTKEY_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

CString QmHotKeyText(WORD modifiers, UINT vk);

CString CHotKeyCtrl::GetHotKeyName() const {
  WORD vk = 0, mods = 0;
  GetHotKey(vk, mods);
  return QmHotKeyText(mods, vk);
}

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(RICHEDIT_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CComboBoxEx::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create(WC_COMBOBOXEX, nullptr, dwStyle, rect, pParentWnd, nID);
}

CWnd* QmMakeCommonControlObject(const char* className) {
  const std::string c = className ? className : "";
  if (c == WC_LISTVIEW) return new CListCtrl;
  if (c == WC_HEADER) return new CHeaderCtrl;
  if (c == WC_TREEVIEW) return new CTreeCtrl;
  if (c == TRACKBAR_CLASS) return new CSliderCtrl;
  if (c == UPDOWN_CLASS) return new CSpinButtonCtrl;
  if (c == PROGRESS_CLASS) return new CProgressCtrl;
  if (c == HOTKEY_CLASS) return new CHotKeyCtrl;
  if (c == RICHEDIT_CLASS) return new CRichEditCtrl;
  if (c == WC_COMBOBOXEX) return new CComboBoxEx;
  return nullptr;
}
