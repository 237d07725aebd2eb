// The Shortcut Keys page of the preferences (template 173): one tab per
// top-level menu, the menu's commands as a tree with their keys in a second
// column, and a hot-key control that assigns the keys of the selected
// command. The page works on its own copy of the table; Apply stores it,
// applies it to the main frame and rewrites the menu's labels.
#pragma once

#include "controls/AccelTable.h"
#include "app/prefs/PropDlg.h"
#include "controls/Edits.h"

class CMSOfficeMenu;
class CCustShortcutKeyDlg;

class CAccelTreeCtrl : public CTreeCtrl {
 public:
  void SetTable(const CAccelTable* table) { m_table = table; }
  // The x of the key column (-1: two thirds of the client width).
  void SetKeyColumn(int x) { m_keyColumn = x; }
  int GetKeyColumn() const;

 protected:
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  const CAccelTable* m_table = nullptr;
  int m_keyColumn = -1;
};

class CAccelHotKeyCtrl : public CHotKeyCtrl {
 public:
  void SetPage(CCustShortcutKeyDlg* page) { m_page = page; }

 protected:
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  DECLARE_MESSAGE_MAP()

 private:
  CCustShortcutKeyDlg* m_page = nullptr;
};

class CCustShortcutKeyDlg : public CPropDlg {
 public:
  CCustShortcutKeyDlg(UINT menuId, UINT accelId, CMSOfficeMenu* iconSource, CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;

  // The hot-key control's combination for the selected command.
  void AssignKey();
  // Fills the tree with the tab's menu.
  void FillTree(int tab);
  CAccelTable& GetTable() { return m_table; }
  CAccelTreeCtrl& GetTree() { return m_tree; }
  CAccelHotKeyCtrl& GetHotKey() { return m_hotKey; }
  CTabCtrl& GetTabs() { return m_tabs; }
  // Menu texts without their mnemonic marks, cut at the first TAB.
  static CString CleanText(const CString& text);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnTabChanged(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnTreeSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnHeaderChanged(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

 private:
  int SelectedCommand();

  UINT m_menuId;
  CMSOfficeMenu* m_iconSource;
  CAccelTable m_table;
  CTabCtrl m_tabs;
  CHeaderCtrl m_header;
  CAccelTreeCtrl m_tree;
  CAccelHotKeyCtrl m_hotKey;
  CColorStatic m_description;
  CColorStatic m_text2;
  CColorStatic m_text3;
  CImageList m_images;
};
