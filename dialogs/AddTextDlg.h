// The text-by-beads window of Edit > Text by beads: writes a line of text
// into the design with beads, one font pixel per bead, in a colour of the
// design blended with each bead's own by the transparency slider. Every
// change draws the text again on the design as it was at opening; the text
// is placed by dragging its frame in the view or with the move buttons.
#pragma once

#include <vector>

#include "controls/Buttons.h"
#include "controls/ComboBoxes.h"
#include "controls/Edits.h"
#include "design/Pattern.h"
#include "design/PatternUndo.h"
#include "platform/wnd.h"
#include "platform/wnd/commdlg.h"
#include "view/ToolDialogs.h"

class CColorSet;
class CTabView;

// The font dialog without its colour box; it shows the given icon.
class CFontDialogWithoutColor : public CFontDialog {
 public:
  CFontDialogWithoutColor(LPLOGFONT font, DWORD flags, CWnd* parent, HICON icon);
  HICON GetIcon() const { return m_icon; }

 private:
  static UINT_PTR HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HICON m_icon;
};

class CAddTextIntoDesignDlg : public CDialog, public IViewToolDialog {
 public:
  CAddTextIntoDesignDlg(CTabView* view, CWnd* parent);
  ~CAddTextIntoDesignDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // The view's mouse over cells: a left press inside the text's frame
  // starts dragging it, moves with the button carry it, the release drops
  // it.
  bool PointerDown(const CViewPointer& pointer) override;
  void PointerMove(const CViewPointer& pointer) override;
  void PointerUp(const CViewPointer& pointer) override;
  // Whether the release ended a drag.
  bool EndDrag(int column, int row);

  // Draws the text at its place on the design as it was at opening.
  void ApplyText();

  // The font shared by every opening for the run of the program.
  static LOGFONT& SharedFont();

  POINT GetTextPosition() const { return m_position; }
  void SetTextPosition(POINT cell) { m_position = cell; }
  SIZE GetTextSize() const { return m_size; }
  const CString& GetText() const { return m_text; }
  bool IsDragging() const { return m_dragging; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void PostNcDestroy() override;
  afx_msg void OnApply();
  afx_msg void OnFont();
  afx_msg void OnColorChange();
  afx_msg void OnMoveLeft();
  afx_msg void OnMoveRight();
  afx_msg void OnMoveUp();
  afx_msg void OnMoveDown();
  afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  DECLARE_MESSAGE_MAP()

 private:
  void Move(int dx, int dy);
  void DrawFrame();
  void End();

  CTabView* m_view;
  CPattern* m_design;
  CColorSet* m_palette;
  CPatternSnapshot m_snapshot;
  CPattern m_copy;
  CSliderCtrl m_transparency;
  CComboUsedColor m_color;
  CColorStatic m_hint;
  CIButton m_apply;
  HICON m_smallIcon = nullptr;
  CString m_text;
  bool m_dragging = false;
  POINT m_lastDrag{0, 0};
  POINT m_position{0, 0};
  SIZE m_size{0, 0};
  // The storage indexes the text covered when it was last drawn.
  std::vector<int> m_painted;
};

// Opens the text window over the view (the main frame as parent) and fills
// the view's slot; null when the window could not be made.
CAddTextIntoDesignDlg* OpenTextByBeadsDialog(CTabView* view, CWnd* parent);
