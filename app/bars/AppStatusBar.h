// CAppStatusBar: the main window's status bar, painted whole by itself: the
// first pane's text in plain and coloured runs, held alerts in bold red or
// green, and at the right the framed design and palette information it
// fetches from the design view. A right-click offers the three display
// options of the settings.
#pragma once

#include <ctime>
#include <functional>
#include <vector>

#include "platform/wnd.h"

// One run of the first pane's text.
struct StatusSegment {
  CString text;
  COLORREF color = 0;
  bool colored = false;
};

// The runs of a status line: "plain\nR G B\tcoloured\nplain".
std::vector<StatusSegment> SplitStatusLine(const CString& text);
// An alert text: TAB, kind byte (1 red, 2 green), message of at least one
// character. False for anything else.
bool ParseStatusAlert(const CString& text, int& kind, CString& message);

class CAppStatusBar : public CStatusBar {
 public:
  static constexpr UINT kAlertTimer = 10;
  static constexpr UINT kAlertPeriod = 200;

  CAppStatusBar();
  ~CAppStatusBar() override;

  // Draws the information box ending at the right edge; answers its left.
  // A box wider than maxWidth is cut to it, its text ending in "...".
  int DrawInfoBox(CDC* dc, int right, int top, int bottom, COLORREF color, const CString& text, int icon,
                  int maxWidth = 1 << 30);
  // The widths two information boxes get from the room there is: each its
  // own when both fit, else the smaller keeps its own up to half the room
  // and the other gets the rest.
  static void ShareInfoBoxWidths(int room, int& first, int& second);
  static constexpr int kInfoBoxChrome = 24;  // icon, frame and margins

  bool IsAlertHeld() const { return m_alertHeld; }
  UINT GetAlertTimer() const { return m_alertTimer; }

  // The clock of the alert hold, in whole seconds (tests set their own).
  static void SetClock(std::function<time_t()> clock);

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) { return TRUE; }
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnBeadColor();
  afx_msg void OnDesignInfo();
  afx_msg void OnPaletteInfo();
  DECLARE_MESSAGE_MAP()

 private:
  void PaintAlert(CDC* dc, int kind, const CString& message);
  void PaintLine(CDC* dc, const std::vector<StatusSegment>& runs);
  void Toggle(BYTE& field);

  CImageList m_icons;
  bool m_alertHeld = false;
  time_t m_alertStart = 0;
  UINT m_alertTimer = 0;
};
