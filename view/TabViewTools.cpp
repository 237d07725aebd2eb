// CTabView: the mouse, the drawing tools, marking, the bead pop-ups, and the
// edit history with the mirror and edit-colour-group hand-over.
#include <algorithm>

#include "core/IndexList.h"
#include "lang/ids/view.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

namespace {
constexpr UINT kCmdFileNew = 32000;
constexpr UINT kCmdFileOpen = 32001;
}  // namespace

void CTabView::ResetToolState() {
  m_anchorBead = -1;
  m_endBead = -1;
  m_bandDrawn = 0;
  m_anchorPoint = POINT{-1, -1};
  m_lastPoint = POINT{-1, -1};
}

// ---- Mouse ----

void CTabView::OnLButtonDown(UINT flags, CPoint point) {
  CScrollView::OnLButtonDown(flags, point);
  IViewToolSource* tools = GetToolSource();
  const int tool = tools ? tools->GetCurrentTool() : kToolPencil;
  int column = 0, row = 0, color = 0;
  if (!IsToolDialogOpen() && tool >= kToolLine && tool <= kToolEllipseFilled) {
    if (BeadFromPoint(point.x, point.y, column, row, color, false, nullptr) && tools && tools->GetPenColor() >= 0) {
      m_anchorBead = m_design.GetBeadIndex(column, row);
      m_bandDrawn = 0;
      m_anchorPoint = point;
    }
  }
  if (m_textDlg || m_rowsColumnsDlg) {
    if (BeadFromPoint(point.x, point.y, column, row, color, false, nullptr)) {
      if (m_textDlg) m_textDlg->OnViewLButtonDown(flags, column, row);
      else m_rowsColumnsDlg->OnViewLButtonDown(column, row);
    }
  } else if (m_separatedDlg) {
    CBeadHit hit;
    hit.Reset();
    if (HitTest(point, hit)) m_separatedDlg->OnViewLButtonDown(flags, point, hit);
  } else {
    if (m_partialDlg) {
      CBeadHit hit;
      hit.Reset();
      if (HitTest(point, hit)) m_partialDlg->OnViewLButtonDown(flags, point, hit);
    }
    if (!m_patternView) {
      CWnd* frame = AfxGetMainWnd();
      if (frame && frame->GetSafeHwnd()) {
        if (PtInRect(&m_hintRect[0], point)) frame->PostMessage(WM_COMMAND, kCmdFileNew, 0);
        else if (PtInRect(&m_hintRect[1], point)) frame->PostMessage(WM_COMMAND, kCmdFileOpen, 0);
      }
    }
  }
}

void CTabView::DrawBand(int tool) {
  if (tool == kToolLine) {
    DrawXorLine(m_anchorPoint, m_lastPoint);
    return;
  }
  const POINT tl{std::min(m_anchorPoint.x, m_lastPoint.x), std::min(m_anchorPoint.y, m_lastPoint.y)};
  const POINT br{std::max(m_anchorPoint.x, m_lastPoint.x), std::max(m_anchorPoint.y, m_lastPoint.y)};
  if (tool == kToolEllipse || tool == kToolEllipseFilled) DrawXorEllipse(tl, br);
  else DrawXorRect(tl, br);
}

void CTabView::OnMouseMove(UINT flags, CPoint point) {
  CScrollView::OnMouseMove(flags, point);
  CString info;
  IViewToolSource* tools = GetToolSource();
  if (m_design.HasBeads() && m_patternView) {
    int column = 0, row = 0, color = 0;
    bool present = false;
    const bool hit = BeadFromPoint(point.x, point.y, column, row, color, false, &present);
    if (!IsToolDialogOpen() && (flags & MK_LBUTTON) && hit) {
      const int i = m_design.GetBeadIndex(column, row);
      const int tool = tools ? tools->GetCurrentTool() : kToolPencil;
      const int pen = tools ? tools->GetPenColor() : -1;
      bool changed = false;
      if (tool == kToolErase) {
        changed = ToggleBead(i);
      } else if (pen >= 0) {
        if (tool == kToolPencil) {
          changed = PaintBead(i, pen);
        } else if (tool >= kToolLine && tool <= kToolEllipseFilled && m_anchorBead >= 0) {
          if (m_bandDrawn) DrawBand(tool);
          m_lastPoint = point;
          m_bandDrawn = 1;
          DrawBand(tool);
          m_endBead = i;
        }
      }
      if (changed) {
        Invalidate(FALSE);
        OnBeadsEdited();
      }
    }
    if (hit) {
      if (const CBead* bead = m_design.GetBeadAt(column, row)) {
        CPaletteColor colour;
        if (bead->IsPresent() && m_palette.GetColorCopy(bead->GetColorIndex(m_design), colour)) {
          const CRgbTriple& rgb = colour.GetRgb();
          info.Format(LoadResString(IDS_VIEW_BEAD_INFO), unsigned(column + 1), unsigned(row + 1),
                      unsigned(rgb.GetRed()), unsigned(rgb.GetGreen()), unsigned(rgb.GetBlue()),
                      colour.mfgName.GetString(), unsigned(colour.count));
        } else if (!bead->IsPresent()) {
          info.Format(LoadResString(IDS_VIEW_BEAD_INFO_ABSENT), unsigned(column + 1), unsigned(row + 1));
        }
      }
      if (m_textDlg) m_textDlg->OnViewMouseMove(flags, column, row);
      else if (m_rowsColumnsDlg) m_rowsColumnsDlg->OnViewMouseMove(column, row);
    }
    m_hintHot[0] = m_hintHot[1] = 0;
  } else {
    m_hintHot[0] = PtInRect(&m_hintRect[0], point) ? 1 : 0;
    m_hintHot[1] = PtInRect(&m_hintRect[1], point) ? 1 : 0;
  }
  if (m_partialDlg && (flags & MK_LBUTTON)) {
    CBeadHit hit;
    hit.Reset();
    if (HitTest(point, hit)) m_partialDlg->OnViewMouseMove(flags, point, hit);
  }
  ShowViewStatusText(info);
}

void CTabView::OnLButtonUp(UINT flags, CPoint point) {
  CScrollView::OnLButtonUp(flags, point);
  IViewToolSource* tools = GetToolSource();
  int column = 0, row = 0, color = 0;
  if (!IsToolDialogOpen() && m_design.HasBeads() && m_patternView &&
      BeadFromPoint(point.x, point.y, column, row, color, false, nullptr)) {
    const int i = m_design.GetBeadIndex(column, row);
    const int pen = tools ? tools->GetPenColor() : -1;
    const int tool = tools ? tools->GetCurrentTool() : kToolPencil;
    bool changed = false;
    if (tool == kToolErase) changed = ToggleBead(i);
    if (pen < 0) {
      ShowStatusAlert(IDS_VIEW_SELECT_COLOR, 1);
    } else {
      switch (tool) {
        case kToolPencil: changed = PaintBead(i, pen); break;
        case kToolLine:
        case kToolRect:
        case kToolRectFilled:
        case kToolEllipse:
        case kToolEllipseFilled:
          if (m_anchorBead >= 0 && m_endBead >= 0) {
            if (m_bandDrawn) DrawBand(tool);
            m_bandDrawn = 0;
            m_endBead = i;
            if (tool == kToolLine) changed = DrawLineTool(pen);
            else if (tool == kToolRect || tool == kToolRectFilled)
              changed = DrawRectangleTool(pen, tool == kToolRectFilled);
            else changed = DrawEllipseTool(pen, tool == kToolEllipseFilled);
          }
          ResetToolState();
          break;
        case kToolFill: changed = FillArea(i, pen); break;
        default: break;
      }
    }
    if (changed) {
      Invalidate(FALSE);
      OnBeadsEdited();
    }
  }
  if (m_partialDlg) {
    CBeadHit hit;
    hit.Reset();
    if (HitTest(point, hit)) m_partialDlg->OnViewLButtonUp(flags, point, hit);
  }
  if ((m_textDlg || m_rowsColumnsDlg) && BeadFromPoint(point.x, point.y, column, row, color, false, nullptr)) {
    if (m_textDlg) m_textDlg->OnViewLButtonUp(flags, column, row);
    else m_rowsColumnsDlg->OnViewLButtonUp(column, row);
  }
}

void CTabView::OnRButtonDown(UINT flags, CPoint point) {
  CScrollView::OnRButtonDown(flags, point);
  if (!m_design.HasBeads() || !m_patternView) return;
  BYTE hitPresent = 0;
  const int n = PointToBead(point, true, &hitPresent, true);
  const int columns = static_cast<int>(m_design.GetColumnCount());
  if (n < 0 || columns <= 0) return;
  const int column = n % columns, row = n / columns;
  const bool present = hitPresent != 0;
  if (present) {
    if (!(flags & MK_SHIFT) && m_separatedDlg) {
      CBeadHit hit;
      hit.Reset();
      if (HitTest(point, hit)) m_separatedDlg->OnViewRButtonDown(flags, point, hit);
      return;
    }
    CPaletteColor colour;
    const CBead* bead = m_design.GetBeadAt(column, row);
    if (bead && m_palette.GetColorCopy(bead->GetColorIndex(m_design), colour)) {
      if (m_editColorGroupDlg) {
        m_editColorGroupDlg->OnViewRButtonDown(colour.GetRgb());
        return;
      }
      IViewToolSource* tools = GetToolSource();
      if (flags == MK_RBUTTON) {
        if (tools) tools->SelectColor(colour.GetRgb());
        return;
      }
      if (flags & MK_CONTROL) {
        MarkBeads(column, row);
        if (GetAppSettings().m_showColor && tools) tools->SelectColor(colour.GetRgb());
        return;
      }
    }
  }
  if (flags & MK_SHIFT) {
    POINT screen = point;
    ClientToScreen(&screen);
    m_popupPoint = screen;
    m_popupCell = POINT{column, row};
    PostMessage(present ? GetMsgPopupVisibleBead() : GetMsgPopupInvisibleBead(), 0, 0);
  }
}

// ---- Bead pop-ups ----

void CTabView::TrackBeadPopup(UINT menuId) {
  CMenu menu;
  if (!menu.LoadMenu(menuId)) return;
  if (CMenu* popup = menu.GetSubMenu(0)) popup->TrackPopupMenu(TPM_RIGHTBUTTON, m_popupPoint.x, m_popupPoint.y, this);
}

LRESULT CTabView::OnPopupVisibleBead(WPARAM, LPARAM) {
  TrackBeadPopup(IDR_POPUP_VISIBLE_BEAD);
  return 1;
}

LRESULT CTabView::OnPopupInvisibleBead(WPARAM, LPARAM) {
  TrackBeadPopup(IDR_POPUP_INVISIBLE_BEAD);
  return 1;
}

void CTabView::SetBeadPresent(bool present) {
  const int i = m_design.GetBeadIndex(m_popupCell.x, m_popupCell.y);
  if (!m_design.IsValidIndex(i)) return;
  CBeadEdit edit(i, m_design);
  edit.newPresent = present ? 1 : 0;
  PushSingleEdit(edit);
  m_design.m_beads[size_t(i)].m_present = present ? 1 : 0;
  m_design.SetModified(true);
  OnPatternChanged(true);
}

void CTabView::OnRemoveBead() { SetBeadPresent(false); }
void CTabView::OnInsertBead() { SetBeadPresent(true); }

// ---- Marking ----

void CTabView::MarkBeads(int column, int row) {
  const int i = m_design.GetBeadIndex(column, row);
  if (!m_design.IsValidIndex(i)) return;
  int action = GetAppSettings().m_rightClickAction;
  if (action < 0 || action > 2) action = 0;
  if (action == 0) ToggleMarkOne(i);
  else if (action == 1) MarkBeadsOfColor(i);
  else MarkConnectedBeads(i);
}

void CTabView::ToggleMarkOne(int index) {
  if (m_design.ToggleBeadMark(static_cast<UINT>(index))) {
    if (m_patternView) m_patternView->DrawMarkTickNow(index);
  } else if (m_patternView && GetSafeHwnd()) {
    const RECT cell = m_patternView->GetBeadRectInView(m_design.m_beads[size_t(index)]);
    InvalidateRect(&cell, FALSE);
  }
}

void CTabView::MarkBeadsOfColor(int index) {
  const int color = m_design.m_beads[size_t(index)].GetColorIndex(m_design);
  std::vector<UINT> marks;
  const int count = m_design.GetBeadCount();
  for (int i = 0; i < count; ++i) {
    const CBead& bead = m_design.m_beads[size_t(i)];
    if (bead.IsPresent() && bead.GetColorIndex(m_design) == color) marks.push_back(static_cast<UINT>(i));
  }
  m_design.SetMarkedBeads(marks);
  if (GetSafeHwnd()) Invalidate(FALSE);
}

void CTabView::MarkConnectedBeads(int index) {
  CIndexList list;
  m_design.FloodFillFrom(index, list, true);
  m_design.SetMarkedBeads(list);
  if (GetSafeHwnd()) Invalidate(FALSE);
}

// ---- Tools ----

void CTabView::OnBeadsEdited() {
  m_design.SetModified(true);
  CountUsedColors();
  if (IViewToolSource* tools = GetToolSource()) tools->RefreshColorList();
}

bool CTabView::PaintBead(int index, int color) {
  if (!m_design.IsValidIndex(index)) return false;
  CBead& bead = m_design.m_beads[size_t(index)];
  if (bead.GetColorIndex(m_design) == color) return false;
  CBeadEdit edit(index, m_design);
  edit.newPresent = 1;
  edit.newColor = color;
  PushSingleEdit(edit);
  bead.m_present = 1;
  bead.SetColorIndex(color);
  RedrawBeads(std::vector<int>{index});
  return true;
}

bool CTabView::ToggleBead(int index) {
  if (!m_design.IsValidIndex(index)) return false;
  CBead& bead = m_design.m_beads[size_t(index)];
  CBeadEdit edit(index, m_design);
  bead.m_present = bead.m_present ? 0 : 1;
  edit.newPresent = bead.m_present;
  PushSingleEdit(edit);
  if (bead.m_present) RedrawBeads(std::vector<int>{index});
  else RedrawRemovedBeads(std::vector<int>{index});
  return true;
}

bool CTabView::PutBeadRun(int startColumn, int storageRow, int count, int color, CEditStep& edits) {
  bool any = false;
  for (int k = 0; k < count; ++k) {
    int index = 0;
    if (!m_design.CellToIndex(startColumn + k, storageRow, index)) continue;
    CBeadEdit edit(index, m_design);
    if (m_design.PutBead(index, color)) {
      edit.newPresent = 1;
      edit.newColor = color;
      edits.push_back(edit);
      any = true;
    }
  }
  return any;
}

void CTabView::DrawBeadLine(POINT p, POINT q, int color, CEditStep& edits) {
  // Cells come with rows from the top; the runs go to storage rows.
  const int rows = static_cast<int>(m_design.GetRowCount());
  std::vector<CBeadRun> runs;
  LineStaircase(p, q, runs);
  for (const CBeadRun& run : runs) PutBeadRun(run.column, rows - 1 - run.row, run.count, color, edits);
}

void CTabView::FinishFigure(int color, CEditStep& edits) {
  (void)color;
  if (edits.empty()) return;
  RedrawBeads(ListFromEdits(edits));
  PushEditStep(std::move(edits));
  m_design.SetModified(true);
}

bool CTabView::DrawLineTool(int color) {
  int ca = 0, ra = 0, cb = 0, rb = 0;
  if (!m_design.IndexToCell(m_anchorBead, ca, ra) || !m_design.IndexToCell(m_endBead, cb, rb)) return false;
  const int rows = static_cast<int>(m_design.GetRowCount());
  CEditStep edits;
  DrawBeadLine(POINT{ca, rows - 1 - ra}, POINT{cb, rows - 1 - rb}, color, edits);
  const bool changed = !edits.empty();
  FinishFigure(color, edits);
  return changed;
}

bool CTabView::DrawRectangleTool(int color, bool filled) {
  RECT r;
  if (!m_design.GetBoundingCells(m_anchorBead, m_endBead, r)) return false;
  const int width = r.right - r.left + 1;
  CEditStep edits;
  PutBeadRun(r.left, r.top, width, color, edits);
  if (r.bottom != r.top) PutBeadRun(r.left, r.bottom, width, color, edits);
  for (int row = r.top + 1; row < r.bottom; ++row) {
    if (filled) {
      PutBeadRun(r.left, row, width, color, edits);
    } else {
      PutBeadRun(r.left, row, 1, color, edits);
      if (r.right != r.left) PutBeadRun(r.right, row, 1, color, edits);
    }
  }
  const bool changed = !edits.empty();
  FinishFigure(color, edits);
  return changed;
}

bool CTabView::DrawEllipseTool(int color, bool filled) {
  int ca = 0, ra = 0, cb = 0, rb = 0;
  if (!m_design.IndexToCell(m_anchorBead, ca, ra) || !m_design.IndexToCell(m_endBead, cb, rb)) return false;
  const int rows = static_cast<int>(m_design.GetRowCount());
  const int ta = rows - 1 - ra, tb = rows - 1 - rb;
  const RECT cells{std::min(ca, cb), std::min(ta, tb), std::max(ca, cb), std::max(ta, tb)};
  std::vector<POINT> outline;
  EllipseOutlineCells(cells, outline);
  CEditStep edits;
  if (filled) {
    std::vector<POINT> left, right;
    RowSpans(outline, left, right);
    for (size_t k = 0; k < left.size(); ++k) DrawBeadLine(left[k], right[k], color, edits);
  } else {
    for (const POINT& cell : outline) PutBeadRun(cell.x, rows - 1 - cell.y, 1, color, edits);
  }
  const bool changed = !edits.empty();
  FinishFigure(color, edits);
  return changed;
}

bool CTabView::FillArea(int index, int color) {
  if (!m_design.IsValidIndex(index)) return false;
  const CBead& start = m_design.m_beads[size_t(index)];
  const int old = start.GetColorIndex(m_design);
  if (!start.IsPresent() || old == color) return false;
  // The search runs on a compact copy of the beads' state (one read of the
  // beads in storage order): 1 a present bead of the old colour, 2 taken.
  const int count = m_design.GetBeadCount();
  // The state and the list of changed beads live in blocks kept between
  // fills: a whole-design fill then works in memory already mapped.
  thread_local std::vector<BYTE> keptState;
  thread_local std::vector<int, CLargeBlockAllocator<int>> keptList;
  std::vector<BYTE>& state = keptState;
  state.assign(size_t(count), 0);
  size_t candidates = 0;
  for (int i = 0; i < count; ++i) {
    const CBead& bead = m_design.m_beads[size_t(i)];
    if (bead.m_present && bead.GetColorIndex(m_design) == old) {
      state[size_t(i)] = 1;
      ++candidates;
    }
  }
  // Room for every bead of the colour: a large area is not copied over and
  // over while it grows; a small one gives the room back below.
  CEditStep edits;
  edits.reserve(candidates);
  const auto take = [&](int i) {
    state[size_t(i)] = 2;
    CBeadEdit edit;
    edit.index = i;
    edit.oldPresent = edit.newPresent = 1;
    edit.oldColor = old;
    edit.newColor = color;
    edits.push_back(edit);
  };
  take(index);
  // Breadth first, one frontier after the other, in a loop: a long area
  // costs no deeper call stack.
  const int columns = static_cast<int>(m_design.GetColumnCount()), rows = static_cast<int>(m_design.GetRowCount());
  std::vector<int> frontier{index}, next;
  while (columns > 0 && !frontier.empty()) {
    next.clear();
    for (int i : frontier) {
      // Every index taken is a valid one (below count): its cell directly.
      const int column = i % columns, row = i / columns;
      const int neighbours[4][2] = {{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}};
      for (const auto& n : neighbours) {
        if (n[0] < 0 || n[0] >= columns || n[1] < 0 || n[1] >= rows) continue;
        const int j = n[1] * columns + n[0];
        if (j >= count || state[size_t(j)] != 1) continue;
        take(j);
        next.push_back(j);
      }
    }
    frontier.swap(next);
  }
  // The beads change, and are repainted, in storage order.
  std::vector<int, CLargeBlockAllocator<int>>& list = keptList;
  list.clear();
  list.reserve(edits.size());
  for (int i = 0; i < count; ++i)
    if (state[size_t(i)] == 2) {
      m_design.m_beads[size_t(i)].SetColorIndex(color);
      list.push_back(i);
    }
  m_design.SetModified(true);
  RedrawBeads(list.data(), list.size());
  // Blocks of a design of more than 16 M beads are not kept.
  if (state.capacity() > (size_t(16) << 20)) std::vector<BYTE>().swap(state);
  if (list.capacity() > (size_t(16) << 20)) std::vector<int, CLargeBlockAllocator<int>>().swap(list);
  if (edits.size() < edits.capacity() / 2) edits.shrink_to_fit();
  PushEditStep(std::move(edits));
  return true;
}

// ---- Edit history ----

void CTabView::PushEditStep(CEditStep step) {
  if (m_historyPos + 1 < static_cast<int>(m_history.size())) m_history.resize(size_t(m_historyPos + 1));
  m_history.push_back(std::move(step));
  m_historyPos = static_cast<int>(m_history.size()) - 1;
}

void CTabView::PushSingleEdit(const CBeadEdit& edit) { PushEditStep(CEditStep{edit}); }

void CTabView::RecordChanges(const CPattern& copy) {
  if (copy.GetBeadCount() != m_design.GetBeadCount()) return;
  CEditStep edits;
  const int count = m_design.GetBeadCount();
  for (int i = 0; i < count; ++i) {
    const CBead& before = copy.m_beads[size_t(i)];
    const CBead& after = m_design.m_beads[size_t(i)];
    const int oldColor = before.GetColorIndex(copy), newColor = after.GetColorIndex(m_design);
    if (before.m_present == after.m_present && oldColor == newColor) continue;
    CBeadEdit edit;
    edit.index = i;
    edit.oldPresent = before.m_present;
    edit.oldColor = oldColor;
    edit.newPresent = after.m_present;
    edit.newColor = newColor;
    edits.push_back(edit);
  }
  if (!edits.empty()) PushEditStep(std::move(edits));
}

void CTabView::ApplyStep(const CEditStep& step, bool forward) {
  for (const CBeadEdit& e : step) {
    if (!m_design.IsValidIndex(e.index)) continue;
    CBead& bead = m_design.m_beads[size_t(e.index)];
    bead.m_present = forward ? e.newPresent : e.oldPresent;
    bead.SetColorIndex(forward ? e.newColor : e.oldColor);
  }
}

void CTabView::AfterHistoryMove() {
  m_design.SetModified(true);
  RefreshPatternView();
  if (GetSafeHwnd()) Invalidate(FALSE);
  OnBeadsEdited();
}

void CTabView::Undo() {
  if (!CanUndo()) return;
  try {
    ApplyStep(m_history[size_t(m_historyPos)], false);
    --m_historyPos;
    AfterHistoryMove();
  } catch (...) {
  }
}

void CTabView::Redo() {
  if (!CanRedo()) return;
  try {
    ++m_historyPos;
    ApplyStep(m_history[size_t(m_historyPos)], true);
    AfterHistoryMove();
  } catch (...) {
  }
}

void CTabView::ClearEditHistory() {
  m_history.clear();
  m_historyPos = -1;
}

// ---- Mirror and edit colour group ----

void CTabView::OnMirror() {
  m_mirrorHorizontal = false;
  m_mirrorVertical = false;
  const CPattern copy(m_design);
  const auto& factories = GetViewDialogFactories();
  const int answer = factories.runMirror ? factories.runMirror(this, GetMsgNotifyMirrorChangedPattern()) : IDCANCEL;
  if (answer != IDOK) {
    OnMirrorChanged(0, 0);
    return;
  }
  if (m_mirrorHorizontal || m_mirrorVertical) {
    m_design.SetModified(true);
    RecordChanges(copy);
  }
}

LRESULT CTabView::OnMirrorChangedMessage(WPARAM wParam, LPARAM lParam) { return OnMirrorChanged(wParam, lParam); }

LRESULT CTabView::OnMirrorChanged(WPARAM horizontal, LPARAM vertical) {
  bool flipped = false;
  if ((horizontal != 0) != m_mirrorHorizontal) {
    m_mirrorHorizontal = horizontal != 0;
    m_design.FlipHorizontal();
    flipped = true;
  }
  if ((vertical != 0) != m_mirrorVertical) {
    m_mirrorVertical = vertical != 0;
    m_design.FlipVertical();
    OnPatternChanged(true);
  } else if (flipped) {
    OnPatternChanged(true);
  }
  return 1;
}

void CTabView::OpenEditColorGroup() {
  const auto& factories = GetViewDialogFactories();
  if (!factories.openEditColorGroup) return;
  m_editColorGroupDlg = factories.openEditColorGroup(this);
}
