// The rows-and-columns window of Edit > Add/Remove Columns/Rows: inserts or
// removes whole rows or columns over a band the user drags in the view. Each
// change reshapes the design at once; "Back to initial pattern" and Cancel
// put the design back; OK keeps the changes and empties the view's history,
// whose steps no longer fit the grid.
#pragma once

#include "controls/Buttons.h"
#include "controls/ComboBoxes.h"
#include "controls/Edits.h"
#include "design/Pattern.h"
#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CColorSet;
class CTabView;

// The question where new rows or columns go when the band touches an edge:
// outside that edge (the side code) or at the band ("Center", 0). Only OK
// closes it.
class CAskInsertingLocationDlg : public CDialog {
 public:
  struct Question {
    int side = 0;  // 1 left, 2 right, 3 top, 4 bottom
    CString radioText;
    CString groupText;
  };
  CAskInsertingLocationDlg(const Question& question, CWnd* parent);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override {}
  int GetResult() const { return m_result; }

 private:
  Question m_question;
  int m_result = 0;
};

class CInsertRemoveColRowDlg : public CDialog, public IViewToolDialog {
 public:
  enum : int { kInsertColumns = 0, kInsertRows = 1, kRemoveColumns = 2, kRemoveRows = 3 };

  CInsertRemoveColRowDlg(CTabView* view, CWnd* parent);
  ~CInsertRemoveColRowDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // The view's mouse over cells: a left press starts the band of rows or
  // columns, moves stretch it until the release.
  bool PointerDown(const CViewPointer& pointer) override;
  void PointerMove(const CViewPointer& pointer) override;
  void PointerUp(const CViewPointer& pointer) override;
  // The band over the design picture.
  void DrawOverDesign(CDC* dc) override;

  // The band as cells (inclusive, rows from the top).
  RECT GetSelectionRect() const;
  bool IsBandShown() const { return m_bandShown; }
  bool IsChanged() const { return m_changed; }

  static int GetSharedMode();
  // The mode as its radio does.
  void SetMode(int mode);
  void OnAdd();
  void OnRemove();
  void OnBackToInitial();

  // Asks where new cells go; tests answer it. The default runs the modal
  // question.
  static int AskLocation(const CAskInsertingLocationDlg::Question& question, CWnd* parent);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void PostNcDestroy() override;
  afx_msg void OnModeRadio(UINT id);
  DECLARE_MESSAGE_MAP()

 private:
  void UpdateModeControls();
  void ClearBand();
  void Refresh();
  void End();

  CTabView* m_view;
  CPattern* m_design;
  CPattern m_copy;
  bool m_openModified;
  CColorSet* m_palette;
  bool m_changed = false;
  HICON m_smallIcon = nullptr;
  CColorStatic m_instructions;
  CComboUsedColor m_color;
  CIButton m_add;
  CIButton m_remove;
  CIButton m_ok;
  bool m_bandShown = false;
  bool m_dragging = false;
  bool m_dragEnded = false;
  POINT m_first{0, 0};
  POINT m_second{0, 0};
};

// Opens the rows-and-columns window over the view (the main frame as
// parent) and fills the view's slot; null when it could not be made.
CInsertRemoveColRowDlg* OpenRowsColumnsDialog(CTabView* view, CWnd* parent);
