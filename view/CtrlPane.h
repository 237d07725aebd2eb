// CCtrlPane: the control pane of the main window's right splitter pane
// (palette colours, tools and their options).
//
// This is the pane of the application shell's first version: an empty pane
// of the ideal width 280 that fits the splitter when first laid out.
#pragma once

#include "platform/wnd.h"

class CCtrlPane : public CView {
  DECLARE_DYNCREATE(CCtrlPane)
 public:
  static constexpr int kIdealWidth = 280;

  CCtrlPane();
  ~CCtrlPane() override;
  void OnDraw(CDC* pDC) override;

  // The pane's ideal size: width 280; the height asks for no scroll bar.
  void GetIdealSize(CSize& size) const;
  void FillColorList() {}
  void HideOriginalOverlay() {}
  // Stores the colour list's column widths in its column model.
  void StoreColumnWidths() {}

 protected:
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnFitPanes(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  bool m_fitted = false;
};
