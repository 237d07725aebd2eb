// The wizard's pages that choose where a new design comes from: the project
// type, the original picture of a picture project, and the existing design
// that the existing-project path opens instead of building one.
#pragma once

#include <memory>
#include <vector>

#include "controls/Buttons.h"
#include "controls/Edits.h"
#include "controls/Lists.h"
#include "dialogs/WizardSheet.h"
#include "platform/wnd/commctrl_classes.h"
#include "view/PreViewFileDlg.h"

class CWiz_1_ProjectTypePage : public CWizardPage {
 public:
  CWiz_1_ProjectTypePage();
  ~CWiz_1_ProjectTypePage() override;
  BOOL OnInitDialog() override;

 protected:
  afx_msg void OnTypeClicked();
  DECLARE_MESSAGE_MAP()
};

class CWiz_2A_SelectOriginalImage : public CWizardPage {
 public:
  CWiz_2A_SelectOriginalImage();
  ~CWiz_2A_SelectOriginalImage() override;

  BOOL OnInitDialog() override;
  LRESULT OnWizardNext() override;
  // Puts the picture first in the recent pictures and in the list, and
  // selects it.
  void AddPicture(const CString& path);
  // The path of the selected row; false when none is selected.
  bool GetSelectedPath(CString& path) const;

 protected:
  void ShowSelection();
  int InsertRow(int at, const CString& path);
  afx_msg void OnItemChanged(NMHDR* header, LRESULT* result);
  afx_msg void OnOpenImage();
  afx_msg void OnPaste();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

  CColorStatic m_info;
  CPreviewOriginal m_preview;
  CListCtrl m_list;
  std::vector<std::unique_ptr<CString>> m_paths;  // the rows' item data
  bool m_ready = false;
};

class CWiz_2C_SelectExistedProjectPage : public CWizardPage {
 public:
  CWiz_2C_SelectExistedProjectPage();
  ~CWiz_2C_SelectExistedProjectPage() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardNext() override;

 protected:
  void ShowSelection();
  afx_msg void OnItemChanged(NMHDR* header, LRESULT* result);
  afx_msg void OnOpenProject();
  afx_msg void OnApplyDesign();
  afx_msg LRESULT OnDisplaySelection(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  CIButton m_apply;
  CColorStatic m_info;
  CPreViewDesign m_preview;
  CListCtrlHigh m_list;
  bool m_ready = false;
};

// The list's selected row, -1 when none.
int GetSelectedRow(const CListCtrl& list);
// Selects the row (and only it) and scrolls it into view.
void SelectRow(CListCtrl& list, int row);
// The path with its extension replaced by the one of a picture filter: 2
// ".png", 3 ".bmp", any other ".jpg".
CString PictureSavePath(const CString& path, int filterIndex);
