#include "dialogs/ChangeColorDlg.h"

#include "core/FrameServices.h"
#include "core/RgbTriple.h"
#include "lang/ids/tooldlg2.h"
#include "palette/ColorSet.h"
#include "view/TabView.h"

void CollectNeighbourColors(CNeighbourColors& candidates, const std::vector<UINT>& piece, const CPattern& design,
                            const CColorSet& palette) {
  candidates.clear();
  if (piece.empty() || !design.IsValidIndex(piece.front())) return;
  const int pieceColor = design.m_beads[piece.front()].GetColorIndex(design);
  std::vector<int> around;
  for (UINT index : piece) {
    design.GetNeighbours(static_cast<int>(index), true, around);
    for (int n : around) {
      const CBead& bead = design.m_beads[static_cast<size_t>(n)];
      if (!bead.IsPresent()) continue;
      const int color = bead.GetColorIndex(design);
      if (color == pieceColor) continue;
      bool known = false;
      for (const CNeighbourColor& c : candidates) known = known || c.colorIndex == color;
      if (!known) candidates.push_back({color, palette.GetColorrefAt(color), n});
    }
  }
}

int FindNearestCandidate(COLORREF color, const CNeighbourColors& candidates) {
  const CRgbTriple from = CRgbTriple::FromColorref(color);
  int best = 0;
  long long bestDistance = 0x0FFFFFFF;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const long long d = from.DistanceTo(CRgbTriple::FromColorref(candidates[i].color));
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

BEGIN_MESSAGE_MAP(CChangeColorDlg, CDialog)
  ON_BN_CLICKED(IDC_CHG_TEST, OnTest)
  ON_BN_CLICKED(IDC_CHG_MARK, OnMark)
END_MESSAGE_MAP()

CChangeColorDlg::CChangeColorDlg(CTabView* view, const std::vector<UINT>& piece, POINT point, CWnd* parent)
    : CDialog(IDD_CHANGE_COLOR, parent),
      m_view(view),
      m_design(view->GetPattern()),
      m_palette(view->GetColorSet()),
      m_piece(piece),
      m_point(point) {}

CChangeColorDlg::~CChangeColorDlg() = default;

BOOL CChangeColorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_CHG_LIST, this);
  m_list.SetImageList(m_swatches.GetImageList(), LVSIL_SMALL);
  CollectNeighbourColors(m_candidates, m_piece, *m_design, *m_palette);
  for (size_t i = 0; i < m_candidates.size(); ++i) {
    const CNeighbourColor& c = m_candidates[i];
    m_list.InsertItem(static_cast<int>(i), m_palette->GetColorName(c.colorIndex), m_swatches.GetImageIndex(c.color));
  }
  if (!m_candidates.empty()) m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_saved.clear();
  for (UINT index : m_piece)
    m_saved.push_back(m_design->IsValidIndex(index) ? m_design->m_beads[index] : CBead());
  CheckDlgButton(IDC_CHG_MARK, BST_CHECKED);
  // Beside the clicked point: centred across it, 30 pixels below it, or
  // above it when the bottom would leave the screen; inside the screen.
  POINT at = m_point;
  if (m_view->GetSafeHwnd()) m_view->ClientToScreen(&at);
  CRect own;
  GetWindowRect(&own);
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
  int top = at.y + 30;
  if (top + own.Height() > screenH) top = at.y - 50 - own.Height();
  int left = at.x - own.Width() / 2;
  if (left + own.Width() > screenW) left = screenW - own.Width();
  if (left < 0) left = 0;
  SetWindowPos(nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  return TRUE;
}

int CChangeColorDlg::SelectedCandidateColor() {
  const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
  if (row < 0 || row >= static_cast<int>(m_candidates.size())) return -1;
  return m_candidates[static_cast<size_t>(row)].colorIndex;
}

void CChangeColorDlg::MarkPiece() {
  m_design->SetMarkedBeads(m_piece);
}

void CChangeColorDlg::OnTest() {
  const int color = SelectedCandidateColor();
  if (color < 0) {
    AppMessageBoxId(IDS_SELECT_A_COLOR, kMbIconStop);
    return;
  }
  CWaitCursor wait;
  m_chosen = color;
  const COLORREF shown = m_palette->GetColorrefAt(color);
  for (UINT index : m_piece) {
    if (!m_design->IsValidIndex(index)) continue;
    CBead& bead = m_design->m_beads[index];
    bead.SetColorIndex(color);
    bead.m_cachedColor = shown;
  }
  m_design->ClearMarkedBeads();
  if (IsDlgButtonChecked(IDC_CHG_MARK) == BST_CHECKED) MarkPiece();
  m_view->OnPatternChanged(true);
  m_tested = true;
}

void CChangeColorDlg::OnMark() {
  if (IsDlgButtonChecked(IDC_CHG_MARK) == BST_CHECKED)
    MarkPiece();
  else
    m_design->ClearMarkedBeads();
  if (m_view->GetSafeHwnd()) {
    m_view->Invalidate(FALSE);
    m_view->UpdateWindow();
  }
}

void CChangeColorDlg::OnOK() {
  if (m_chosen < 0) m_chosen = SelectedCandidateColor();
  if (m_chosen < 0) {
    AppMessageBoxId(IDS_SELECT_A_COLOR, kMbIconStop);
    return;
  }
  m_list.SetImageList(nullptr, LVSIL_SMALL);
  m_swatches.RemoveAll();
  EndDialog(IDOK);
}

void CChangeColorDlg::OnCancel() {
  m_list.SetImageList(nullptr, LVSIL_SMALL);
  m_swatches.RemoveAll();
  EndDialog(IDCANCEL);
  if (m_tested) {
    CWaitCursor wait;
    for (size_t i = 0; i < m_piece.size() && i < m_saved.size(); ++i)
      if (m_design->IsValidIndex(m_piece[i])) m_design->m_beads[m_piece[i]] = m_saved[i];
    m_view->OnPatternChanged(true);
  }
}
