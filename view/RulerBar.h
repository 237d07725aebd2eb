// CRulerBar: the ruler beside the design picture (one horizontal bar above
// the design view, one vertical bar to its left). It spans the picture as
// the view draws it and counts whole units (beads, inches, centimetres,
// millimetres) with labels and half- and quarter-unit ticks. The horizontal
// bar carries the corner button that gives the control pane its ideal
// width.
//
// What a ruler shows comes from LayoutRuler, a pure function of the length
// to measure, the area and the label sizes; painting only draws its result.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/wnd.h"

// One label of a ruler and the short marks beside it.
struct CRulerLabel {
  int value = 0;
  RECT rect{0, 0, 0, 0};  // where the text goes (bar coordinates)
  int markAt = 0;         // position of the two short marks along the bar
};

struct CRulerLayout {
  std::vector<CRulerLabel> labels;
  std::vector<int> halfTicks;     // positions along the bar
  std::vector<int> quarterTicks;  // positions along the bar
  bool smallFont = false;         // the height-11 font (length above 10)
  // The vertical bar's labels read upwards, turned a quarter, when the
  // widest of them does not fit across the bar (three digits and more);
  // their rectangles are then as tall as the text is wide.
  bool turned = false;
};

// Lays out a ruler of `length` units over the area [start, end) along the
// bar; across the bar from 0 to thickness. measure gives a label's text
// size in the chosen font (smallFont tells which).
CRulerLayout LayoutRuler(bool horizontal, double length, int start, int end, int thickness,
                         const std::function<SIZE(const char* text, bool smallFont)>& measure);

// The length a ruler measures: unit 0 the beads (columns or rows), 1 the
// inches, 2 centimetres, 3 millimetres.
double RulerLength(int unit, double inches, int beads);

class CRulerBar : public CWnd {
 public:
  CRulerBar(int orientation, int thickness, int unit);
  ~CRulerBar() override;

  BOOL Create(CWnd* parent);
  int GetThickness() const { return m_thickness; }
  int GetUnits() const { return m_unit; }
  void SetUnits(int unit);
  int GetOrientation() const { return m_orientation; }
  // Times the bar was painted (a unit set again must not repaint it).
  int GetPaintCount() const { return m_paints; }
  // The layout of the last paint.
  const CRulerLayout& GetLastLayout() const { return m_layout; }
  CWnd* GetCornerButton() { return m_button; }

  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnCornerButton();
  DECLARE_MESSAGE_MAP()

 private:
  void Paint(CDC* dc);

  int m_unit;
  CWnd* m_button = nullptr;
  CToolTipCtrl* m_tooltip = nullptr;
  int m_orientation;
  int m_thickness;
  CString m_className;
  CFont m_fontSmall;
  CFont m_fontLarge;
  CFont m_fontSmallTurned;
  CFont m_fontLargeTurned;
  int m_paints = 0;
  CRulerLayout m_layout;
};

// Called by the corner button in place of its own action (the main
// frame refits its splitter panes); null restores that action.
void SetRulerCornerHandler(std::function<void()> handler);
