// CToolBarXP: a toolbar painted flat, with highlighted hot buttons, lifted
// icons with a shadow and drop-down arrows, that hosts controls over
// separators (a separator whose command is the control's id and whose
// button data is 1). CAppToolbar: the main toolbar with the zoom box (168)
// and the bead-effect button (169), which shows the current effect's icon.
#pragma once

#include <map>

#include "controls/ComboBoxes.h"
#include "platform/wnd.h"

class CToolBarXP : public CToolBar {
 public:
  explicit CToolBarXP(int backgroundStyle = 0, COLORREF colorA = 0, COLORREF colorB = 0);
  ~CToolBarXP() override;

  // The toolbar resource; borders 1, 3, 6, 4 and drop-down arrows.
  bool LoadToolBarResource(UINT id);
  // Hosts the control over a separator inserted at the index (the end for
  // -1 or an index beyond the count).
  bool InsertControl(int index, CWnd* control);

  CSize CalcDynamicLayout(int nLength, DWORD nMode) override;

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) { return TRUE; }
  DECLARE_MESSAGE_MAP()

  BYTE m_orientation = 0;  // 1 vertical, 2 horizontal while a layout runs
  int m_backgroundStyle;
  COLORREF m_colorA;
  COLORREF m_colorB;
  bool m_layoutPending = false;
};

class CAppToolbar : public CToolBarXP {
 public:
  static constexpr int kZoomIndex = 22;
  static constexpr int kZoomWidth = 68;

  CAppToolbar();
  ~CAppToolbar() override;

  bool CreateZoomCombo();
  // The box shows the percent unless its text already says it.
  void SetZoomText(int percent);
  bool IsZoomComboFocused() const { return m_zoomFocused; }
  // Keeps the leading digits of the text and rewrites it as "N%"; false
  // (the text then shows the view's zoom when there is a design) below 5 or
  // above 3000.
  bool ParseZoomText(CString& text, int& value);
  // The leading decimal digits of a text as a number (0 without digits),
  // saturating at 1000000.
  static long long LeadingNumber(const CString& text);
  bool LoadEffectIcons(CImageList* list);
  void SetEffectImage(int effect);
  CRect GetEffectButtonRect() const;
  CComboBoxXP* GetZoomCombo() { return &m_zoom; }
  // The index of an effect's icon in the toolbar's images (-1 when none).
  int GetEffectImage(int effect) const;

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  afx_msg void OnZoomSelEndOk();
  afx_msg void OnZoomSetFocus() { m_zoomFocused = true; }
  afx_msg void OnZoomKillFocus() { m_zoomFocused = false; }
  DECLARE_MESSAGE_MAP()

 private:
  void FillZoomList();
  void FocusView();

  std::map<int, int> m_effectImages;
  CFont m_zoomFont;
  CComboBoxXP m_zoom;
  bool m_zoomFocused = false;
};

// Posts "MsgTabViewSizeChanged" to the control pane.
void NotifyTabViewSizeChanged();
