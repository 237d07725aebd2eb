// The status bar's progress displays: the caption (CCaptionProgress), the
// gradient bar (CGradientProgressCtrl), and the display that the main frame
// puts on its status bar for the progress objects of the lower levels.
#pragma once

#include "core/Progress.h"
#include "platform/wnd.h"

class CCaptionProgress : public CStatic {
 public:
  CCaptionProgress() = default;
  ~CCaptionProgress() override;
  bool Create(const CString& text, const CRect& rect, CWnd* parent, UINT id);
  // The caption font: Tahoma, height 14.
  static void MakeFont(CFont& font);

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  CString m_text;
  CFont m_font;
};

class CGradientProgressCtrl : public CProgressCtrl {
 public:
  CGradientProgressCtrl();
  ~CGradientProgressCtrl() override;

  void SetRange(int lower, int upper);
  void SetPos(int position);
  void SetStartColor(COLORREF color) { m_start = color; }
  void SetEndColor(COLORREF color) { m_end = color; }
  int GetLower() const { return m_lower; }
  int GetUpper() const { return m_upper; }
  int GetPosition() const { return m_position; }

  // Paints the bar into a device context of the client size.
  void PaintBar(CDC* dc, const CRect& client);

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  int m_lower = 0;
  int m_upper = 100;
  int m_position = 0;
  COLORREF m_start = RGB(0, 0, 96);
  COLORREF m_end = RGB(0, 0, 255);
  COLORREF m_background;
};

class CAppStatusBar;

// A progress display on the status bar (the main frame's
// IProgressHost::CreateProgressDisplay); null without a status bar window.
IStatusProgressDisplay* CreateStatusBarProgress(CAppStatusBar* bar, int total, const CString* caption, bool simple);
