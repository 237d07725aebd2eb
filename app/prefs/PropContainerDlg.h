// CPropContainerDlg: the preferences (template 172): a category list on the
// left and one page per category beside it. Apply applies the page shown;
// Exit closes without applying anything.
#pragma once

#include <memory>
#include <vector>

#include "controls/Lists.h"
#include "platform/wnd.h"

class CPropDlg;

class CPropContainerDlg : public CDialog {
 public:
  static constexpr int kPageCount = 8;

  CPropContainerDlg(int startPage, CWnd* parent);
  ~CPropContainerDlg() override;

  BOOL OnInitDialog() override;
  int GetCurrentPage() const { return m_current; }
  CPropDlg* GetPage(int index) const;
  CKestlewainListCtrl& GetList() { return m_list; }
  // Places the page beside the list (screen coordinates for pop-up pages,
  // the container's client coordinates for child pages).
  void PlacePage(int index);
  void ApplyCurrentPage();

 protected:
  afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnApply();
  afx_msg void OnMove(int x, int y);
  DECLARE_MESSAGE_MAP()

 private:
  struct Page {
    std::unique_ptr<CPropDlg> page;
    CString name;
    CSize size;
    UINT icon = 0;
  };
  CKestlewainListCtrl m_list;
  CImageList m_icons;
  CWnd* m_parent;
  std::vector<Page> m_pages;
  int m_current;
};
