// CBaseBeadSelectorDlg: the base of the modeless dialogs that pick beads of
// the design with their own tools while they float beside the design view.
// It owns the tool row (single bead, line, rectangle, filled rectangle,
// ellipse, filled ellipse, same-colour block, block outline), the optional
// line-direction box, the Undo and Redo buttons and a private history of
// what was done to the design while it is open. The view hands it the left
// button's presses, moves and releases over beads; it turns them into bead
// sets and gives each set to one of five operations of the concrete dialog.
#pragma once

#include <vector>

#include "controls/Buttons.h"
#include "design/Pattern.h"
#include "design/PatternUndo.h"
#include "platform/gdi.h"
#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CTabView;

// What the concrete dialog's template holds.
struct CBeadSelectorOptions {
  UINT templateId = 0;
  bool undo = false;        // Undo (159) and Redo (160) buttons
  bool restoreAll = false;  // the "Restore all" button (574)
  bool direction = false;   // the line-direction box (576), made at run time
};

class CBaseBeadSelectorDlg : public CDialog, public IViewToolDialog {
 public:
  // The tools (there is no tool 6).
  enum : int {
    kSelPencil = 0,
    kSelLine = 1,
    kSelRect = 2,
    kSelRectFilled = 3,
    kSelEllipse = 4,
    kSelEllipseFilled = 5,
    kSelBlock = 7,
    kSelOutline = 8,
  };
  // Line directions (item data of the direction box).
  enum : int { kDirEverywhere = 0, kDirLeft = 1, kDirRight = 2, kDirUp = 3, kDirDown = 4 };

  CBaseBeadSelectorDlg(CTabView* view, const CBeadSelectorOptions& options, CWnd* parent, bool restoreAllIcon);
  ~CBaseBeadSelectorDlg() override;

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The view's mouse over beads.
  // The view's mouse over beads: left presses, moves with the left button
  // held and releases select beads with the window's tool.
  bool PointerDown(const CViewPointer& pointer) override;
  void PointerMove(const CViewPointer& pointer) override;
  void PointerUp(const CViewPointer& pointer) override;

  // The five operations of the concrete dialog.
  virtual void RestoreAll() = 0;
  virtual void SelectBead(const CBeadHit& hit, bool dragging) = 0;
  virtual void SelectBeadList(const std::vector<int>& indexes) = 0;
  virtual void SelectSameColorBlock(const CBeadHit& hit) = 0;
  virtual void SelectBlockOutline(const CBeadHit& hit) = 0;

  void SetTool(int tool);
  // The tool shared by every opening for the run of the program.
  static int GetSharedTool();
  static void SetSharedTool(int tool);
  void ResetRubberBand();
  void PushChanges(CBeadChangeList&& changes);
  void PushSingleChange(const CBeadChange& change);
  void UpdateUndoButtons();
  // The chosen direction; 0 without a direction box.
  int GetLineDirection() const;
  void SetLineDirection(int direction);

  // The beads from `index` towards the grid's edge in the direction (the
  // clicked bead first), up to the first bead whose present flag differs.
  static void CollectDirectionRun(const CPattern& design, int index, int direction, std::vector<int>& out);

  CToolbarButton& GetToolButton(int tool);
  CUndoPattern& GetHistory() { return m_history; }
  const CPattern& GetCopy() const { return m_copy; }
  int GetAnchorBead() const { return m_anchorBead; }
  int GetEndBead() const { return m_endBead; }
  bool IsBandDrawn() const { return m_drawn; }

 protected:
  // The tool row with its first button at the client point.
  void CreateToolButtons(POINT start);
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnToolButton(UINT id);
  afx_msg void OnUndo();
  afx_msg void OnRedo();
  afx_msg void OnRestoreAllButton();
  DECLARE_MESSAGE_MAP()

  CTabView* m_view;
  CPattern* m_design;
  CPattern m_copy;
  CUndoPattern m_history;
  CBeadSelectorOptions m_options;
  HICON m_smallIcon = nullptr;

 private:
  void DrawShape();
  void RepaintRestored(const std::vector<int>& restored);

  CToolbarButton m_tools[8];
  CComboBox m_direction;
  CFont m_directionFont;
  CIButton m_undo;
  CIButton m_redo;
  CIButton m_restoreAll;
  CToolTipCtrl m_tooltip;
  bool m_restoreAllIcon;
  int m_anchorBead = -1;
  int m_endBead = -1;
  bool m_drawn = false;
  POINT m_anchorPoint{-1, -1};
  POINT m_currentPoint{-1, -1};
};
