// The design view's mouse: one pointer event and one tool interface. The
// view turns every press, move and release over it into a CViewPointer and
// hands it to its one active tool: the open tool window, or else the
// drawing tool the control pane has selected (view/DrawingTools.h). A new
// tool is a class implementing IViewMouseTool; the view's handlers stay as
// they are.
#pragma once

#include "design/Pattern.h"
#include "platform/base.h"

struct CViewPointer {
  enum Button { kLeft, kRight };

  // The point in the view's client area.
  POINT point{0, 0};
  // The cell under the point (column, row from the top) when a bead with a
  // colour lies there, present or not; false and -1, -1 otherwise.
  bool onCell = false;
  int column = -1;
  int row = -1;
  // The bead under the point by its storage index (hit.bead null for none).
  CBeadHit hit;
  // The MK_ flags of the message (buttons held, Shift, Ctrl).
  UINT keys = 0;
  // The button pressed or released; moves say kLeft.
  Button button = kLeft;
};

// The methods are named apart from the window's own OnCancel and mouse
// handlers, since the tool windows are dialogs as well.
class IViewMouseTool {
 public:
  virtual ~IViewMouseTool() = default;
  // A press of either button. True when the tool took it: the view then
  // does nothing more with it (a right press otherwise picks the bead's
  // colour, marks beads or offers the bead menu).
  virtual bool PointerDown(const CViewPointer& pointer) {
    (void)pointer;
    return false;
  }
  virtual void PointerMove(const CViewPointer& pointer) { (void)pointer; }
  virtual void PointerUp(const CViewPointer& pointer) { (void)pointer; }
  // The tool stops being the active one (the pane chose another, or a tool
  // window opened): it drops a gesture half done and takes back what it drew
  // over the picture.
  virtual void PointerCancel() {}
};
