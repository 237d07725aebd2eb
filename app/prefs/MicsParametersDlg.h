// CMicsParametersDlg: the Miscellaneous page of the preferences (template
// 185): the grid's step, colour and line widths, the warning sound, and the
// design folder carried through.
#pragma once

#include "app/prefs/PropDlg.h"
#include "controls/Buttons.h"

class CMicsParametersDlg : public CPropDlg {
 public:
  explicit CMicsParametersDlg(CWnd* parent);
  BOOL OnInitDialog() override;
  // Stores the page; a grid size the data exchange refuses stops here and
  // nothing is stored.
  void Apply() override;
  COLORREF GetGridColor() const { return m_gridColor; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnGridColor();
  DECLARE_MESSAGE_MAP()

 private:
  CIButton m_colorButton;
  CSpinButtonCtrl m_screenSpin;
  CSpinButtonCtrl m_pdfSpin;
  UINT m_gridSize;
  COLORREF m_gridColor;
  int m_warningSound;
  CString m_designFolder;
};
