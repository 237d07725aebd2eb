// The drawing tools of the control pane on the design view: the pencil, the
// eraser, the fill and the figures (line, rectangle, ellipse) drawn from the
// press to the release with a rubber band between. Each edits the view's
// design through the view, which repaints the beads and keeps the edit
// history, in the pen colour the control pane has selected.
#pragma once

#include "view/MouseTool.h"

class CTabView;

class CDrawingTool : public IViewMouseTool {
 public:
  explicit CDrawingTool(CTabView& view) : m_view(view) {}
  // A release on a cell makes the tool's edit; without a pen colour the
  // status bar then asks for one.
  void PointerUp(const CViewPointer& pointer) override;

 protected:
  // The pane's pen colour, -1 for none.
  int PenColor() const;
  // The storage index of the pointer's cell.
  int IndexOf(const CViewPointer& pointer) const;
  // Whether the left button is held over a cell.
  static bool IsDragOverCell(const CViewPointer& pointer);
  // What a release over the bead does with the pen (-1 for none); true
  // when the design changed.
  virtual bool Release(int index, int pen) = 0;
  // Repaints and recounts after an edit.
  void Edited();

  CTabView& m_view;
};

// Paints every bead it passes over with the button held.
class CPencilTool : public CDrawingTool {
 public:
  using CDrawingTool::CDrawingTool;
  void PointerMove(const CViewPointer& pointer) override;

 private:
  bool Release(int index, int pen) override;
};

// Takes out a present bead or puts back an absent one, on every move and on
// the release; it needs no pen colour.
class CEraserTool : public CDrawingTool {
 public:
  using CDrawingTool::CDrawingTool;
  void PointerMove(const CViewPointer& pointer) override;

 private:
  bool Release(int index, int pen) override;
};

// Gives the connected area of the released bead's colour the pen colour.
class CFillTool : public CDrawingTool {
 public:
  using CDrawingTool::CDrawingTool;

 private:
  bool Release(int index, int pen) override;
};

// A figure from the pressed bead to the released one: the press anchors it,
// moves draw an inverted band to the pointer, the release draws the figure
// as one step of the history.
class CShapeTool : public CDrawingTool {
 public:
  using CDrawingTool::CDrawingTool;
  bool PointerDown(const CViewPointer& pointer) override;
  void PointerMove(const CViewPointer& pointer) override;
  void PointerCancel() override;

  int GetAnchorBead() const { return m_anchorBead; }
  int GetEndBead() const { return m_endBead; }
  bool IsBandDrawn() const { return m_bandDrawn; }

 protected:
  // Inverts the band between two client points (twice leaves the window).
  virtual void InvertBand(POINT from, POINT to) = 0;
  // Draws the figure between two beads (storage indices) in the colour;
  // true when the design changed.
  virtual bool DrawFigure(int anchor, int end, int color) = 0;
  static POINT TopLeft(POINT a, POINT b);
  static POINT BottomRight(POINT a, POINT b);

 private:
  bool Release(int index, int pen) override;
  void Reset();

  int m_anchorBead = -1;
  int m_endBead = -1;
  bool m_bandDrawn = false;
  POINT m_anchorPoint{-1, -1};
  POINT m_lastPoint{-1, -1};
};

class CLineTool : public CShapeTool {
 public:
  using CShapeTool::CShapeTool;

 protected:
  void InvertBand(POINT from, POINT to) override;
  bool DrawFigure(int anchor, int end, int color) override;
};

class CRectangleTool : public CShapeTool {
 public:
  CRectangleTool(CTabView& view, bool filled) : CShapeTool(view), m_filled(filled) {}

 protected:
  void InvertBand(POINT from, POINT to) override;
  bool DrawFigure(int anchor, int end, int color) override;

 private:
  bool m_filled;
};

class CEllipseTool : public CShapeTool {
 public:
  CEllipseTool(CTabView& view, bool filled) : CShapeTool(view), m_filled(filled) {}

 protected:
  void InvertBand(POINT from, POINT to) override;
  bool DrawFigure(int anchor, int end, int color) override;

 private:
  bool m_filled;
};
