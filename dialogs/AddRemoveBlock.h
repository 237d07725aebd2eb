// The partial-design window of Edit > Partial design: removes beads from the
// design or restores removed ones with the bead-selector tools, each change
// at once and as one step of the window's own history. OK keeps the changes
// as one step of the view's history; Cancel puts the design back.
#pragma once

#include "dialogs/BeadSelectorDlg.h"

class CAddRemoveBlock : public CBaseBeadSelectorDlg {
 public:
  // 0 remove, 1 restore.
  enum : int { kModeRemove = 0, kModeRestore = 1 };

  CAddRemoveBlock(CTabView* view, CWnd* parent);
  ~CAddRemoveBlock() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  void RestoreAll() override;
  void SelectBead(const CBeadHit& hit, bool dragging) override;
  void SelectBeadList(const std::vector<int>& indexes) override;
  void SelectSameColorBlock(const CBeadHit& hit) override;
  void SelectBlockOutline(const CBeadHit& hit) override;

  // The mode shared by every opening for the run of the program.
  static int GetSharedMode();
  static void SetSharedMode(int mode);
  void OnRemoveAll();
  // The tab of the mode, as a click on it does.
  void SelectModeTab(int mode);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void PostNcDestroy() override;
  afx_msg void OnRemoveAllButton();
  afx_msg void OnTabSelChange(NMHDR* hdr, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  bool InTargetState(const CBead& bead) const;
  void Repaint(const std::vector<int>& indexes);
  void End();

  CTabCtrl m_tabs;
};

// Opens the partial-design window over the view (the main frame as parent)
// and fills the view's slot; null when the window could not be made.
CAddRemoveBlock* OpenPartialDesignDialog(CTabView* view, CWnd* parent);
