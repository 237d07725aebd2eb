// CRecentFileDlg: the drop-down of recent designs under the toolbar's Open
// button: the titles on the left, the selected design's thumbnail on the
// right, the path in the status bar. A click on an entry opens it; a click
// anywhere else closes the drop-down (a low-level mouse hook exists while it
// is shown).
#pragma once

#include "controls/Lists.h"
#include "platform/wnd.h"

class CRecentFiles;

// The click-outside detection of a drop-down: posts "m_uiMsgClickOutWindow"
// to the dialog for a button press outside its window. False when a hook is
// already installed.
bool InstallClickOutHook(CWnd* dialog);
void RemoveClickOutHook();
bool IsClickOutHookInstalled();
UINT GetClickOutMessage();

class CRecentFileDlg : public CDialog {
 public:
  static constexpr int kWidth = 270;
  static constexpr int kHeight = 150;
  static constexpr int kListWidth = 120;

  CRecentFileDlg(CRecentFiles* files, CPoint topLeft, CWnd* owner);
  ~CRecentFileDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  CListCtrlMenu& GetList() { return m_list; }
  // Where the drop-down goes for a corner and a screen size.
  static CRect PlaceOnScreen(CPoint topLeft, int screenWidth, int screenHeight);

 protected:
  afx_msg void OnPaint();
  afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnItemClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg LRESULT OnClickOut(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  void Confirm();
  void ShowSelectedPath();

  CRecentFiles* m_files;
  CPoint m_topLeft;
  CWnd* m_owner;
  CListCtrlMenu m_list;
  CFont m_font;
};
