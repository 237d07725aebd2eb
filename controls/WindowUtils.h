// Window helpers of the tool dialogs and owner-drawn controls: the close
// box, placing a tool dialog beside the design view, child rectangles,
// icons, visible list items, reading numbers from dialog items, the Undo and
// Redo button texts, and the gradient face painted over a window.
#pragma once

#include "platform/base.h"

class CComboBox;
class CDC;
class CWnd;

// Enables or greys the Close item (SC_CLOSE) of the window's system menu.
void EnableCloseButton(CWnd* window, bool enable);
// Moves and sizes a tool dialog beside the view: at the left of the view's
// client area (or its right edge when keepLeft is false or the dialog would
// pass it), its centre at the view's top + height / divisor, kept on the
// view and on the screen. A divisor of 0 or less counts as 2.
void PlaceDialogBesideView(CWnd* dialog, CWnd* view, bool keepLeft, int divisor);
// The child's client rectangle in the parent's coordinates (without the
// parent's caption and dialog frame).
void GetChildRectInParent(CWnd* parent, CWnd* child, RECT& out);
// Sends WM_SETICON (small) with the icon to the window's parent; false when
// it has none.
bool SetParentWindowIcon(CWnd* window, HICON icon);
// False when the control is missing or its text is empty; otherwise the
// value is stored and the answer is value > 0 (value >= 0 with zero allowed).
bool ReadDlgItemFloat(CWnd* dialog, int id, float& value, bool zeroAllowed);
bool ReadDlgItemInt(CWnd* dialog, int id, int& value, bool zeroAllowed);
// The short parts (after the line break) of the Undo and Redo command
// strings on the two controls.
void SetUndoRedoTexts(CWnd* dialog, int undoId, int redoId);
// The gradient face over the window's client area.
void DrawGradientFace(CDC* dc, CWnd* window, int step, bool horizontal, int spacing);

// Enables or greys a control and repaints it at once: an owner-drawn
// button shows its state only when it is painted again.
void EnableOwnerDrawn(CWnd& control, bool enable);

// Fills a region box with its one entry, "Everywhere" (string 507), selects
// it and greys the box.
void FillRegionCombo(CComboBox* combo);

// A walk over the items of a list-view control that are visible.
class CVisibleListItems {
 public:
  void Reset(CWnd* list);
  // The next item with a corner of its bounds in the client area.
  bool Next(int& index);

 private:
  CWnd* list_ = nullptr;
  int index_ = -1;
  RECT client_{0, 0, 0, 0};
};
