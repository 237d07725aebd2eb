// CTabView: the mouse (each event goes to the active tool as a pointer
// event), the bead edits of the drawing tools, marking, the bead pop-ups,
// Undo and Redo, and the mirror and edit-colour-group hand-over.
#include <algorithm>
#include <utility>

#include "core/IndexList.h"
#include "lang/ids/view.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

namespace {
constexpr UINT kCmdFileNew = 32000;
constexpr UINT kCmdFileOpen = 32001;
}  // namespace

// ---- Mouse ----

void CTabView::SetDrawingTool(int number, std::unique_ptr<IViewMouseTool> tool) {
  const auto it = m_drawingTools.find(number);
  if (it != m_drawingTools.end() && it->second.get() == m_lastDrawingTool) {
    m_lastDrawingTool->PointerCancel();
    m_lastDrawingTool = nullptr;
  }
  if (tool) m_drawingTools[number] = std::move(tool);
  else if (it != m_drawingTools.end()) m_drawingTools.erase(it);
}

IViewMouseTool* CTabView::GetDrawingTool(int number) const {
  const auto it = m_drawingTools.find(number);
  return it == m_drawingTools.end() ? nullptr : it->second.get();
}

IViewMouseTool* CTabView::GetActiveTool() {
  for (int slot = 0; slot < kToolSlotCount; ++slot)
    if (m_toolWindows[slot]) return m_windowTools[slot];
  IViewToolSource* tools = GetToolSource();
  IViewMouseTool* tool = GetDrawingTool(tools ? tools->GetCurrentTool() : kToolPencil);
  if (tool != m_lastDrawingTool) {
    if (m_lastDrawingTool) m_lastDrawingTool->PointerCancel();
    m_lastDrawingTool = tool;
  }
  return tool;
}

CViewPointer CTabView::MakePointer(POINT point, UINT keys, CViewPointer::Button button) {
  CViewPointer pointer;
  pointer.point = point;
  pointer.keys = keys;
  pointer.button = button;
  int color = 0;
  pointer.onCell = BeadFromPoint(point.x, point.y, pointer.column, pointer.row, color, false, nullptr);
  if (!pointer.onCell) pointer.column = pointer.row = -1;
  HitTest(point, pointer.hit);
  return pointer;
}

void CTabView::OnLButtonDown(UINT flags, CPoint point) {
  CScrollView::OnLButtonDown(flags, point);
  const CViewPointer pointer = MakePointer(point, flags, CViewPointer::kLeft);
  if (IViewMouseTool* tool = GetActiveTool()) {
    const int before = BeadStateAt(pointer);
    tool->PointerDown(pointer);
    if (BeadStateAt(pointer) != before) ShowViewStatusText(BeadInfoText(pointer));
  }
  // The hint lines of the empty view start a new design or open one.
  if (!m_patternView) {
    CWnd* frame = AfxGetMainWnd();
    if (frame && frame->GetSafeHwnd()) {
      if (PtInRect(&m_hintRect[0], point)) frame->PostMessage(WM_COMMAND, kCmdFileNew, 0);
      else if (PtInRect(&m_hintRect[1], point)) frame->PostMessage(WM_COMMAND, kCmdFileOpen, 0);
    }
  }
}

int CTabView::BeadStateAt(const CViewPointer& pointer) {
  if (!pointer.onCell || !m_patternView) return -1;
  const CBead* bead = m_design.GetBeadAt(pointer.column, pointer.row);
  if (!bead) return -1;
  return bead->IsPresent() ? bead->GetColorIndex(m_design) : -2;
}

CString CTabView::BeadInfoText(const CViewPointer& pointer) {
  CString info;
  if (!pointer.onCell) return info;
  const int column = pointer.column, row = pointer.row;
  const CBead* bead = m_design.GetBeadAt(column, row);
  if (!bead) return info;
  CPaletteColor colour;
  if (bead->IsPresent() && m_palette.GetColorCopy(bead->GetColorIndex(m_design), colour)) {
    const CRgbTriple& rgb = colour.GetRgb();
    info.Format(LoadResString(IDS_VIEW_BEAD_INFO), unsigned(column + 1), unsigned(row + 1), unsigned(rgb.GetRed()),
                unsigned(rgb.GetGreen()), unsigned(rgb.GetBlue()), colour.mfgName.GetString(), unsigned(colour.count));
  } else if (!bead->IsPresent()) {
    info.Format(LoadResString(IDS_VIEW_BEAD_INFO_ABSENT), unsigned(column + 1), unsigned(row + 1));
  }
  return info;
}

void CTabView::OnMouseMove(UINT flags, CPoint point) {
  CScrollView::OnMouseMove(flags, point);
  const CViewPointer pointer = MakePointer(point, flags, CViewPointer::kLeft);
  if (IViewMouseTool* tool = GetActiveTool()) tool->PointerMove(pointer);
  CString info;
  if (m_design.HasBeads() && m_patternView) {
    info = BeadInfoText(pointer);
    m_hintHot[0] = m_hintHot[1] = 0;
  } else {
    m_hintHot[0] = PtInRect(&m_hintRect[0], point) ? 1 : 0;
    m_hintHot[1] = PtInRect(&m_hintRect[1], point) ? 1 : 0;
  }
  ShowViewStatusText(info);
}

void CTabView::OnLButtonUp(UINT flags, CPoint point) {
  CScrollView::OnLButtonUp(flags, point);
  const CViewPointer pointer = MakePointer(point, flags, CViewPointer::kLeft);
  IViewMouseTool* tool = GetActiveTool();
  if (!tool) return;
  const int before = BeadStateAt(pointer);
  tool->PointerUp(pointer);
  if (BeadStateAt(pointer) != before) ShowViewStatusText(BeadInfoText(pointer));
}

void CTabView::OnRButtonDown(UINT flags, CPoint point) {
  CScrollView::OnRButtonDown(flags, point);
  if (!m_design.HasBeads() || !m_patternView) return;
  BYTE hitPresent = 0;
  const int n = PointToBead(point, true, &hitPresent, true);
  const int columns = static_cast<int>(m_design.GetColumnCount());
  if (n < 0 || columns <= 0) return;
  // An open tool window may take the press (the separated-beads window, the
  // edit-colour-group window).
  if (IViewMouseTool* tool = GetActiveTool())
    if (tool->PointerDown(MakePointer(point, flags, CViewPointer::kRight))) return;
  const int column = n % columns, row = n / columns;
  const bool present = hitPresent != 0;
  if (present) {
    CPaletteColor colour;
    const CBead* bead = m_design.GetBeadAt(column, row);
    if (bead && m_palette.GetColorCopy(bead->GetColorIndex(m_design), colour)) {
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
  m_history.PushEdit(edit);
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
  m_history.PushEdit(edit);
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
  m_history.PushEdit(edit);
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

void CTabView::FinishFigure(CEditStep& edits) {
  if (edits.empty()) return;
  RedrawBeads(ListFromEdits(edits));
  m_history.Push(std::move(edits));
  m_design.SetModified(true);
}

bool CTabView::DrawLineOfBeads(int from, int to, int color) {
  int ca = 0, ra = 0, cb = 0, rb = 0;
  if (!m_design.IndexToCell(from, ca, ra) || !m_design.IndexToCell(to, cb, rb)) return false;
  const int rows = static_cast<int>(m_design.GetRowCount());
  CEditStep edits;
  DrawBeadLine(POINT{ca, rows - 1 - ra}, POINT{cb, rows - 1 - rb}, color, edits);
  const bool changed = !edits.empty();
  FinishFigure(edits);
  return changed;
}

bool CTabView::DrawRectangleOfBeads(int from, int to, int color, bool filled) {
  RECT r;
  if (!m_design.GetBoundingCells(from, to, r)) return false;
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
  FinishFigure(edits);
  return changed;
}

bool CTabView::DrawEllipseOfBeads(int from, int to, int color, bool filled) {
  int ca = 0, ra = 0, cb = 0, rb = 0;
  if (!m_design.IndexToCell(from, ca, ra) || !m_design.IndexToCell(to, cb, rb)) return false;
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
  FinishFigure(edits);
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
  const int pathColor = m_design.m_pathColor;
  for (int i = 0; i < count; ++i) {
    const CBead& bead = m_design.m_beads[size_t(i)];
    if (bead.m_present && bead.GetColorIndex(pathColor) == old) state[size_t(i)] = 1;
  }
  const auto take = [&](int i) { state[size_t(i)] = 2; };
  take(index);
  // Breadth first, one frontier after the other, in a loop: a long area
  // costs no deeper call stack.
  const int columns = static_cast<int>(m_design.GetColumnCount()), rows = static_cast<int>(m_design.GetRowCount());
  // The frontier keeps each bead's cell beside its index: a neighbour is
  // one step away in storage, with no division per bead.
  struct CCell {
    int index, column, row;
  };
  std::vector<CCell> frontier, next;
  if (columns > 0) frontier.push_back({index, index % columns, index / columns});
  while (!frontier.empty()) {
    next.clear();
    for (const CCell& cell : frontier) {
      const int i = cell.index, column = cell.column, row = cell.row;
      // The neighbours left, right, above and below, in that order.
      if (column > 0 && row < rows && state[size_t(i - 1)] == 1) {
        take(i - 1);
        next.push_back({i - 1, column - 1, row});
      }
      if (column + 1 < columns && row < rows && i + 1 < count && state[size_t(i + 1)] == 1) {
        take(i + 1);
        next.push_back({i + 1, column + 1, row});
      }
      if (row > 0 && row <= rows && state[size_t(i - columns)] == 1) {
        take(i - columns);
        next.push_back({i - columns, column, row - 1});
      }
      if (row + 1 < rows && i + columns < count && state[size_t(i + columns)] == 1) {
        take(i + columns);
        next.push_back({i + columns, column, row + 1});
      }
    }
    frontier.swap(next);
  }
  // The beads change, and are repainted, in storage order; the step holds
  // them as runs of beads side by side.
  std::vector<int, CLargeBlockAllocator<int>>& list = keptList;
  list.clear();
  CEditStep edits;
  CBeadEdit edit;
  edit.oldPresent = edit.newPresent = 1;
  edit.oldColor = old;
  edit.newColor = color;
  for (int i = 0; i < count; ++i) {
    if (state[size_t(i)] != 2) continue;
    m_design.m_beads[size_t(i)].SetColorIndex(color);
    list.push_back(i);
    edit.index = i;
    AppendInOrder(edits, edit);
  }
  m_design.SetModified(true);
  RedrawBeads(list.data(), list.size());
  // Blocks of a design of more than 16 M beads are not kept.
  if (state.capacity() > (size_t(16) << 20)) std::vector<BYTE>().swap(state);
  if (list.capacity() > (size_t(16) << 20)) std::vector<int, CLargeBlockAllocator<int>>().swap(list);
  if (edits.size() < edits.capacity() / 2) edits.shrink_to_fit();
  m_history.Push(std::move(edits));
  return true;
}

// ---- Edit history ----

void CTabView::AfterHistoryMove() {
  m_design.SetModified(true);
  RefreshPatternView();
  if (GetSafeHwnd()) Invalidate(FALSE);
  OnBeadsEdited();
}

void CTabView::Undo() {
  try {
    if (m_history.Undo(m_design)) AfterHistoryMove();
  } catch (...) {
  }
}

void CTabView::Redo() {
  try {
    if (m_history.Redo(m_design)) AfterHistoryMove();
  } catch (...) {
  }
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
  // The window puts itself into its slot.
  if (factories.openEditColorGroup) factories.openEditColorGroup(this);
}
