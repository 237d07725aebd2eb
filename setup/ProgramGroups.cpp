#include "setup/Install.h"
#include "setup/SetupLanguage.h"
#include "setup/SetupPages.h"
#include "setup/lang/ids/setup.h"

namespace qmsetup {

// ---------------------------------------------------------------------------
// The enumerator.

CEnumMenuCommonPrograms::~CEnumMenuCommonPrograms() { CloseFinder(); }

void CEnumMenuCommonPrograms::CloseFinder() {
  if (finder_ != INVALID_HANDLE_VALUE) FindClose(finder_);
  finder_ = INVALID_HANDLE_VALUE;
  more_ = false;
}

bool CEnumMenuCommonPrograms::Begin() {
  if (OpenFolder(true)) {
    readingAllUsers_ = true;
    return true;
  }
  readingAllUsers_ = false;
  userOpened_ = true;
  return OpenFolder(false);
}

bool CEnumMenuCommonPrograms::OpenFolder(bool allUsers) {
  CloseFinder();
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPath(nullptr, path, allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, FALSE)) return false;
  folder_ = path;
  folderIsAllUsers_ = allUsers;
  WIN32_FIND_DATA data{};
  finder_ = FindFirstFile(JoinPath(folder_, "*.*"), &data);
  more_ = finder_ != INVALID_HANDLE_VALUE;
  if (more_) {
    first_ = data;
    haveFirst_ = true;
  }
  return true;
}

bool CEnumMenuCommonPrograms::NextInFolder(CProgramGroupItem& item) {
  while (more_) {
    WIN32_FIND_DATA data{};
    if (haveFirst_) {
      data = first_;
      haveFirst_ = false;
    } else if (!FindNextFile(finder_, &data)) {
      CloseFinder();
      return false;
    }
    const CString name = data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
    item.name = name;
    item.path = JoinPath(folder_, name);
    item.allUsers = folderIsAllUsers_;
    SHFILEINFO info{};
    item.icon = SHGetFileInfo(item.path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) ? info.iIcon : -1;
    if (info.hIcon) DestroyIcon(info.hIcon);
    return true;
  }
  return false;
}

bool CEnumMenuCommonPrograms::Next(CProgramGroupItem& item) {
  if (readingAllUsers_) {
    if (NextInFolder(item)) return true;
    readingAllUsers_ = false;
    CloseFinder();
  }
  if (!userOpened_) {
    userOpened_ = true;
    if (!OpenFolder(false)) return false;
  }
  return NextInFolder(item);
}

// ---------------------------------------------------------------------------
// The list.

BEGIN_MESSAGE_MAP(CChoseCommonProgCtrl, CListCtrl)
  ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

bool CChoseCommonProgCtrl::FillGroups() {
  ModifyStyle(0, LVS_REPORT | LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER);
  if (images_) SetImageList(images_, LVSIL_SMALL);
  CRect client;
  GetClientRect(&client);
  InsertColumn(0, LoadSetupString(IDS_SETUP_COL_GROUPS), LVCFMT_LEFT, client.Width());
  CEnumMenuCommonPrograms groups;
  if (groups.Begin()) {
    CProgramGroupItem item;
    while (groups.Next(item)) {
      const int index = InsertItem(GetItemCount(), item.name, item.icon);
      if (index >= 0) SetItemData(index, reinterpret_cast<DWORD_PTR>(new CProgramGroupItem(item)));
    }
  }
  return GetItemCount() > 0;
}

const CProgramGroupItem* CChoseCommonProgCtrl::GetGroup(int index) const {
  return reinterpret_cast<const CProgramGroupItem*>(GetItemData(index));
}

void CChoseCommonProgCtrl::OnItemChanged(NMHDR* nmhdr, LRESULT* result) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(nmhdr);
  if (const CProgramGroupItem* item = GetGroup(change->iItem)) OnGroupChosen(*item);
  *result = 0;
}

void CChoseCommonProgCtrl::FreeItems() {
  if (!GetSafeHwnd()) return;
  for (int i = 0; i < GetItemCount(); ++i) {
    delete GetGroup(i);
    SetItemData(i, 0);
  }
}

BOOL CChoseCommonProgCtrl::DestroyWindow() {
  FreeItems();
  return CListCtrl::DestroyWindow();
}

void CChoseCommonProgCtrl::OnDestroy() {
  FreeItems();
  CListCtrl::OnDestroy();
}

void CMyChoseCommonProgCtrl::OnGroupChosen(const CProgramGroupItem& item) {
  page_->GroupName() = item.name;
  page_->UpdateData(FALSE);
}

bool CGroupPage_5::GetGroupFolder(bool allUsers, CString& out) {
  out.Empty();
  if (GetSafeHwnd()) UpdateData(TRUE);
  // A name that cannot be one folder is refused like an empty one.
  if (IsBadGroupName(group_)) return false;
  if (list_.GetSafeHwnd())
    for (int i = 0; i < list_.GetItemCount(); ++i) {
      const CProgramGroupItem* item = list_.GetGroup(i);
      if (item && item->name == group_) {
        out = item->path;
        return true;
      }
    }
  CString programs;
  if (GetSpecialFolderPath(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, programs))
    out = JoinPath(programs, group_);
  return !out.IsEmpty();
}

}  // namespace qmsetup
