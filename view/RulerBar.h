// CRulerBar: one of the two rulers beside the design view, children of the
// splitter placed by its layout. The horizontal one carries the corner
// button that fits the panes again.
//
// This is the rulers' first version: plain 16-pixel bars with tick marks.
#pragma once

#include <memory>

#include "platform/wnd.h"

class CRulerBar : public CWnd {
 public:
  static constexpr int kThickness = 16;
  static constexpr UINT kCornerButtonId = 7;

  explicit CRulerBar(bool horizontal);
  ~CRulerBar() override;

  // Creates the ruler as a child of the splitter; the horizontal ruler also
  // creates its corner button.
  bool Create(CWnd* parent);
  int GetThickness() const { return kThickness; }
  // 0 beads, 1 inches, 2 cm, 3 mm; repaints when it changed.
  void SetUnits(int units);
  int GetUnits() const { return m_units; }
  bool IsHorizontal() const { return m_horizontal; }
  // The corner button (horizontal ruler only; null otherwise).
  CWnd* GetCornerButton() const { return m_corner.get(); }

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) { return TRUE; }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  DECLARE_MESSAGE_MAP()

 private:
  bool m_horizontal;
  int m_units;
  std::unique_ptr<CWnd> m_corner;
  CToolTipCtrl m_tip;
};
