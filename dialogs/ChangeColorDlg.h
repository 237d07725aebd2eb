// The colour variants of a separated piece: the colours around it
// (CollectNeighbourColors), the one nearest to a colour
// (FindNearestCandidate), and CChangeColorDlg, the small modal window that
// lists them for one piece, lets the user try one on the design ("Test")
// and answers the chosen colour.
#pragma once

#include <vector>

#include "design/Pattern.h"
#include "palette/SwatchImageList.h"
#include "platform/wnd.h"

class CColorSet;
class CTabView;

// A colour seen around a piece: palette index, its colour, and the storage
// index of the neighbour bead where it was first seen.
struct CNeighbourColor {
  int colorIndex = -1;
  COLORREF color = 0;
  int beadIndex = -1;
};
static_assert(sizeof(CNeighbourColor) == 12);
using CNeighbourColors = std::vector<CNeighbourColor>;

// Empties the candidates and collects the piece's: for every bead in order,
// its eight neighbours in their order; each present neighbour whose shown
// colour differs from the piece's (its first bead's) adds its colour once.
void CollectNeighbourColors(CNeighbourColors& candidates, const std::vector<UINT>& piece, const CPattern& design,
                            const CColorSet& palette);
// The position of the candidate nearest to the colour (the first of equals);
// 0 when there are none.
int FindNearestCandidate(COLORREF color, const CNeighbourColors& candidates);

class CChangeColorDlg : public CDialog {
 public:
  // The view's design and palette; the piece (storage indexes) and the
  // point (view client coordinates) near which the window opens.
  CChangeColorDlg(CTabView* view, const std::vector<UINT>& piece, POINT point, CWnd* parent);
  ~CChangeColorDlg() override;

  int GetSelectedColor() const { return m_chosen; }
  const CNeighbourColors& GetCandidates() const { return m_candidates; }
  bool WasTested() const { return m_tested; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnTest();
  afx_msg void OnMark();

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  int SelectedCandidateColor();
  void MarkPiece();

  CListCtrl m_list;
  int m_chosen = -1;
  CNeighbourColors m_candidates;
  CSwatchImageList m_swatches{16, 16};
  CTabView* m_view;
  CPattern* m_design;
  CColorSet* m_palette;
  std::vector<UINT> m_piece;
  std::vector<CBead> m_saved;
  bool m_tested = false;
  POINT m_point;
};
