#include "view/DrawingTools.h"

#include <algorithm>

#include "lang/ids/view.h"
#include "view/TabView.h"

// ---- CDrawingTool ----

int CDrawingTool::PenColor() const {
  IViewToolSource* tools = m_view.GetToolSource();
  return tools ? tools->GetPenColor() : -1;
}

int CDrawingTool::IndexOf(const CViewPointer& pointer) const {
  return m_view.GetPattern()->GetBeadIndex(pointer.column, pointer.row);
}

bool CDrawingTool::IsDragOverCell(const CViewPointer& pointer) { return (pointer.keys & MK_LBUTTON) && pointer.onCell; }

void CDrawingTool::Edited() {
  m_view.Invalidate(FALSE);
  m_view.OnBeadsEdited();
}

void CDrawingTool::PointerUp(const CViewPointer& pointer) {
  if (!pointer.onCell) return;
  const int pen = PenColor();
  const bool changed = Release(IndexOf(pointer), pen);
  if (pen < 0) m_view.ShowStatusAlert(IDS_VIEW_SELECT_COLOR, 1);
  if (changed) Edited();
}

// ---- The pencil, the eraser and the fill ----

void CPencilTool::PointerMove(const CViewPointer& pointer) {
  const int pen = PenColor();
  if (IsDragOverCell(pointer) && pen >= 0 && m_view.PaintBead(IndexOf(pointer), pen)) Edited();
}

bool CPencilTool::Release(int index, int pen) { return pen >= 0 && m_view.PaintBead(index, pen); }

void CEraserTool::PointerMove(const CViewPointer& pointer) {
  if (IsDragOverCell(pointer) && m_view.ToggleBead(IndexOf(pointer))) Edited();
}

bool CEraserTool::Release(int index, int) { return m_view.ToggleBead(index); }

bool CFillTool::Release(int index, int pen) { return pen >= 0 && m_view.FillArea(index, pen); }

// ---- The figures ----

POINT CShapeTool::TopLeft(POINT a, POINT b) { return POINT{std::min(a.x, b.x), std::min(a.y, b.y)}; }
POINT CShapeTool::BottomRight(POINT a, POINT b) { return POINT{std::max(a.x, b.x), std::max(a.y, b.y)}; }

void CShapeTool::Reset() {
  m_anchorBead = -1;
  m_endBead = -1;
  m_bandDrawn = false;
  m_anchorPoint = POINT{-1, -1};
  m_lastPoint = POINT{-1, -1};
}

bool CShapeTool::PointerDown(const CViewPointer& pointer) {
  if (pointer.button != CViewPointer::kLeft || !pointer.onCell || PenColor() < 0) return false;
  m_anchorBead = IndexOf(pointer);
  m_bandDrawn = false;
  m_anchorPoint = pointer.point;
  return true;
}

void CShapeTool::PointerMove(const CViewPointer& pointer) {
  if (!IsDragOverCell(pointer) || PenColor() < 0 || m_anchorBead < 0) return;
  if (m_bandDrawn) InvertBand(m_anchorPoint, m_lastPoint);
  m_lastPoint = pointer.point;
  m_bandDrawn = true;
  InvertBand(m_anchorPoint, m_lastPoint);
  m_endBead = IndexOf(pointer);
}

bool CShapeTool::Release(int index, int pen) {
  // Without a pen colour the anchor stays for the next release.
  if (pen < 0) return false;
  bool changed = false;
  if (m_anchorBead >= 0 && m_endBead >= 0) {
    if (m_bandDrawn) InvertBand(m_anchorPoint, m_lastPoint);
    m_bandDrawn = false;
    m_endBead = index;
    changed = DrawFigure(m_anchorBead, m_endBead, pen);
  }
  Reset();
  return changed;
}

void CShapeTool::PointerCancel() {
  if (m_bandDrawn) InvertBand(m_anchorPoint, m_lastPoint);
  Reset();
}

void CLineTool::InvertBand(POINT from, POINT to) { m_view.DrawXorLine(from, to); }
bool CLineTool::DrawFigure(int anchor, int end, int color) { return m_view.DrawLineOfBeads(anchor, end, color); }

void CRectangleTool::InvertBand(POINT from, POINT to) { m_view.DrawXorRect(TopLeft(from, to), BottomRight(from, to)); }
bool CRectangleTool::DrawFigure(int anchor, int end, int color) {
  return m_view.DrawRectangleOfBeads(anchor, end, color, m_filled);
}

void CEllipseTool::InvertBand(POINT from, POINT to) { m_view.DrawXorEllipse(TopLeft(from, to), BottomRight(from, to)); }
bool CEllipseTool::DrawFigure(int anchor, int end, int color) {
  return m_view.DrawEllipseOfBeads(anchor, end, color, m_filled);
}
