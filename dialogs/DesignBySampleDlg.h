// CDesignBySampleDlg: Edit > Design by sample. A modal window that repeats
// the current design (the sample) across and down, 1 to 10 times each,
// optionally rotating the repeats. Apply shows the result in the view at
// once, always built from the design at opening; Cancel puts the sample
// back, OK keeps the last result (the opener then empties the history,
// since the grid changed).
#pragma once

#include "controls/Buttons.h"
#include "design/Pattern.h"
#include "platform/wnd.h"

class CTabView;

class CDesignBySampleDlg : public CDialog {
 public:
  CDesignBySampleDlg(CTabView* view, CWnd* parent);
  ~CDesignBySampleDlg() override;

  // The rotation option every opening shares for the run of the program.
  static bool GetRotation();
  static void SetRotation(bool rotate);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnCancel() override;
  // The checks of Apply, in order; true when Apply may go on.
  bool ValidateCounts();
  bool IsApplied() const { return m_applied; }

  afx_msg void OnApply();

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  UINT m_across = 1;
  UINT m_down = 1;
  CIButton m_apply;
  HICON m_icon = nullptr;
  CTabView* m_view;
  CPattern m_sample;
  bool m_sampleModified;
  bool m_applied = false;
};
