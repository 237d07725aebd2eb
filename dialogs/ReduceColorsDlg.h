// CReduceColorsNumberDlg: Edit > Use only XX colors. A modal window that
// limits the design to at most N colours taken from the palette colours the
// user checks. It works on copies of the design and palette and shows them
// before (left) and after (right); every Apply reduces the working copy
// further. OK after an Apply hands the copies to the view as one history
// step; Cancel, or OK without Apply, changes nothing.
#pragma once

#include "controls/Buttons.h"
#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "platform/wnd.h"

class CTabView;

class CReduceColorsNumberDlg : public CDialog {
 public:
  CReduceColorsNumberDlg(CTabView* view, CWnd* parent);
  ~CReduceColorsNumberDlg() override;

  // The Edit command: runs the window over the view's design; after OK the
  // view takes the working copies and one history step. The answer of the
  // window (IDOK or IDCANCEL).
  static INT_PTR Run(CTabView* view, CWnd* frame);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // The limit typed: an empty or non-numeric text, or 0, is no limit (the
  // largest design the settings allow).
  static int ReadLimit(const CString& text, int noLimit);

  CPattern& GetWorkingPattern() { return m_working; }
  CColorSet& GetWorkingPalette() { return m_workingPalette; }
  bool IsApplied() const { return m_applied; }
  CColorListCtrl& GetList() { return m_list; }

  afx_msg void OnApply();
  afx_msg void OnColumns();
  afx_msg LRESULT OnUsageChanged(WPARAM index, LPARAM checked);

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  CTabView* m_view;
  CPattern m_working;
  CColorSet m_workingPalette;
  CIButton m_apply;
  CColorStatic m_count{RGB(64, 32, 0), "Arial", 15, true};
  CColorStatic m_from{RGB(0, 64, 0), "Arial", 15, true};
  CColorStatic m_noMore{RGB(0, 64, 0), "Arial", 15, true};
  CColorListCtrl m_list{"UseOnlyColorsDlg16Jule2010", 0, 2};
  CNumEdit m_limit{false, false};
  CStaticPatternPreview m_after;
  CStaticPatternPreview m_before;
  bool m_applied = false;
  HICON m_icon = nullptr;
};
