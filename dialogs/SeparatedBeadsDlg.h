// CDeleteSepStitchDlg: Edit > Remove separate beads. A modeless window over
// the design view that finds the beads standing apart from their colour
// (pieces of 1 to 7 beads, builder/SepStitchFinder.h), lists them by
// colour, marks those of the selected colour, and recolours them with the
// colour of their surroundings: one colour, all colours in up to 12 passes,
// or one piece at a time through its colour variants (CChangeColorDlg).
// Its own Undo and Redo go back and forth over its changes; OK makes all
// of them one step of the view's history, Cancel puts the design back.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "builder/SepStitchFinder.h"
#include "controls/Buttons.h"
#include "controls/Edits.h"
#include "design/PatternUndo.h"
#include "dialogs/SerializeValue.h"
#include "palette/SwatchImageList.h"
#include "platform/wnd.h"
#include "view/ToolDialogs.h"

class CChangeColorDlg;
class CColorSet;
class CStatusProgress;
class IProgressHost;
class CTabView;

// The registry value of the diagonal option.
inline constexpr char kDiagonalValueName[] = "CheckDiagonalDeleteSepStitchDlg";

class CDeleteSepStitchDlg : public CDialog, public IViewToolDialog {
 public:
  // Over the view's design and palette; the marks of the design become the
  // forbidden area.
  CDeleteSepStitchDlg(UINT templateId, CTabView* view, CWnd* parent);
  ~CDeleteSepStitchDlg() override;

  // The Edit command: makes the window (template 442 on small screens, else
  // 443) with the frame as its owner, puts it into the view's slot and shows
  // it. Null when it could not be made.
  static CDeleteSepStitchDlg* Open(CTabView* view, CWnd* frame);

  // The view's mouse: a left press on a bead of the selected group offers
  // colours for its piece; a right press on a present bead without Shift
  // selects the group of its colour.
  bool PointerDown(const CViewPointer& pointer) override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // For tests and the benchmark.
  const CSepStitchFinder& GetFinder() const { return m_finder; }
  const CSepStitchGroup* GetSelectedGroup() const;
  CListCtrl& GetList() { return m_list; }
  CUndoPattern& GetUndo() { return m_undo; }
  bool IsChanged() const { return m_changed; }
  bool GetDiagonal() const { return m_diagonal; }
  const std::vector<UINT>& GetForbiddenArea() const { return m_forbidden; }
  // Picks a size entry (0 = "1" ... 6 = "1 - 7") as the user does.
  void ChooseSize(int entry);
  // Selects a list row as a click does.
  void ChooseRow(int row);
  // The answer of the colour-variant window, for tests (default: run it).
  std::function<int(CChangeColorDlg&)> m_runVariants;

  afx_msg void OnSizeChange();
  afx_msg void OnDiagonal();
  afx_msg void OnDisplayAll();
  afx_msg void OnDisplayForbidden();
  afx_msg void OnChangeSelected();
  afx_msg void OnChangeAll();
  afx_msg void OnUndo();
  afx_msg void OnRedo();
  afx_msg void OnGroupSelect(NMHDR* hdr, LRESULT* result);

 protected:
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()

 private:
  // Offers colours for the separated piece of the selected group that holds
  // the bead, and gives the whole piece the one taken.
  void RecolorPieceAt(POINT point, const CBeadHit& hit);
  // Selects the list's group of the bead's colour.
  void SelectGroupOfBead(const CBeadHit& hit);
  bool FindGroups(int colorToSelect, bool warn, bool quiet);
  void FillList(int colorToSelect, bool quiet);
  void MarkSelectedGroup();
  void ChangeGroup(size_t group, bool refresh, CStatusProgress* progress, bool perBead);
  void SelectRow(int row, bool visible);
  void UpdateUndoButtons();
  void MoveInHistory(bool forward);
  void UpdateCountLabel();
  void InvalidateView();
  void ClearSlot();
  // False once the view's window is gone (the frame closing first).
  bool ViewAlive() const { return !m_viewWindow || ::IsWindow(m_viewWindow); }
  // The view's progress host while the view lives (null: no progress).
  IProgressHost* ProgressHost() const;
  void RecountPalette();
  void RefreshPaneCounts();

  CColorStatic m_title{RGB(96, 64, 0), "Arial", 14, true};
  CColorStatic m_hint{RGB(64, 32, 0)};
  CColorStatic m_forbiddenCount{RGB(128, 0, 0), "Arial", 14};
  CColorStatic m_sizeLabel{RGB(0, 0, 192), "Arial", 14};
  CColorStatic m_countLabel{RGB(96, 64, 0), "Arial", 14};
  CSoftButton m_changeSelected;
  CSoftButton m_changeAll;
  CListCtrl m_list;
  CIButton m_undoButton;
  CIButton m_redoButton;
  CComboBox m_region;
  CComboBox m_size;
  bool m_diagonal = true;
  std::unique_ptr<CSerializeValue<bool>> m_diagonalValue;
  CPattern* m_design;
  CColorSet* m_palette;
  CTabView* m_view;
  HWND m_viewWindow = nullptr;
  CUndoPattern m_undo;
  CPattern m_opened;
  CSwatchImageList m_swatches{16, 16};
  CSepStitchFinder m_finder;
  bool m_changed = false;
  CString m_countFormat;
  HICON m_icon = nullptr;
  bool m_listHandling = true;
  int m_selected = -1;  // the selected group's position, -1 for none
  std::vector<UINT> m_forbidden;
  CString m_changeAllCaption;
  int m_largest = 1;
  bool m_closing = false;
};
