// The edit-colour-group window of Edit > Edit color group: replaces every
// bead of one palette colour (picked in the upper list of the colours in
// use, by right-clicking a bead, or by typing its number) by another colour
// of the palette (the lower list). Each Apply is one step of the window's
// own history of design snapshots; OK keeps the changes as one step of the
// view's history; Cancel puts the design back.
#pragma once

#include <vector>

#include "controls/Buttons.h"
#include "controls/ColorListCtrl.h"
#include "controls/Edits.h"
#include "design/Pattern.h"
#include "design/PatternUndo.h"
#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CTabView;

class CEditColorGroup : public CDialog, public IViewToolDialog {
 public:
  CEditColorGroup(CTabView* view, CWnd* parent);
  ~CEditColorGroup() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // A right press on a present bead of the view selects its colour in the
  // upper list.
  bool PointerDown(const CViewPointer& pointer) override;
  void SelectUpperColor(const CRgbTriple& color);

  void OnApply();
  void OnUndo();
  void OnRedo();
  void OnShowMarks();
  void OnHideMarks();

  CColorListCtrl& GetUpperList() { return m_upper; }
  CColorListCtrl& GetLowerList() { return m_lower; }
  int GetSnapshotCount() const { return static_cast<int>(m_snapshots.size()); }
  int GetPosition() const { return m_position; }
  bool CanUndo() const;
  bool CanRedo() const;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void PostNcDestroy() override;
  afx_msg void OnUpperColumns();
  afx_msg void OnLowerColumns();
  DECLARE_MESSAGE_MAP()

 private:
  void FillLists();
  void UpdateUndoButtons();
  void ClearMarks();
  void AfterHistoryMove();
  void End();

  CTabView* m_view;
  CPattern* m_design;
  CPattern m_copy;
  std::vector<CPatternSnapshot> m_snapshots;
  int m_position = -1;
  HICON m_smallIcon = nullptr;
  CNumEdit m_lowerMfg, m_upperMfg, m_lowerNumber, m_upperNumber;
  CColorStatic m_lowerNumberLabel, m_upperNumberLabel, m_sortHint, m_rightClickHint, m_multiHint;
  CIButton m_undo, m_redo, m_apply;
  CColorListCtrl m_lower;
  CColorListCtrl m_upper;
};

// Creates and shows the modeless edit-colour-group window over the view's
// design and fills the view's tool slot; null when it could not be made.
IViewToolDialog* OpenEditColorGroupDialog(CTabView* view);
