// CEditHistory: the Undo and Redo of the bead edits made on a design in
// the design view (drawing tools, bead pop-ups, and what the editing
// windows keep on OK). A step is the list of beads one edit changed, each
// with its presence and colour index before and after; the history holds
// the steps and a position, and applies a step to the design it is given.
// Beads side by side in storage that change alike share one entry (a fill
// of a whole design is a few entries, not a million).
// It knows no window: the view repaints after a move, and operations and
// tests use it on a bare design.
#pragma once

#include <cstdint>
#include <vector>

#include "core/LargeArray.h"
#include "design/Pattern.h"

// One bead's change: present flag and colour index before and after; or
// the same change of `count` beads from `index` on, in storage order.
// Colour indices are kept in 32 bits, so no palette size can corrupt a step.
struct CBeadEdit {
  CBeadEdit() = default;
  // The bead's current state in the design, before and after alike (an
  // index outside the beads keeps the defaults).
  CBeadEdit(int index, const CPattern& design);

  int index = -1;
  BYTE oldPresent = 0;
  BYTE newPresent = 0;
  uint16_t count = 1;
  int oldColor = -1;
  int newColor = -1;
};

// The changes of one edit, in the order they were made (a large step, a
// fill of a whole design, lies in page memory).
using CEditStep = std::vector<CBeadEdit, CLargeBlockAllocator<CBeadEdit>>;

// The storage indices of a step's edits, every bead of a shared entry.
std::vector<int> ListFromEdits(const CEditStep& edits);

// The beads a step changes (its entries' counts summed).
size_t CountEditedBeads(const CEditStep& edits);

// Appends the change of one bead to a step built in ascending storage
// order: it joins the last entry when it is the next bead and changes
// alike.
inline void AppendInOrder(CEditStep& edits, const CBeadEdit& edit) {
  if (!edits.empty()) {
    CBeadEdit& last = edits.back();
    if (last.count < UINT16_MAX && edit.count == 1 && last.index + last.count == edit.index &&
        last.oldPresent == edit.oldPresent && last.newPresent == edit.newPresent && last.oldColor == edit.oldColor &&
        last.newColor == edit.newColor) {
      ++last.count;
      return;
    }
  }
  edits.push_back(edit);
}

class CEditHistory {
 public:
  // Frees every step; nothing to undo or redo.
  void Clear();
  // Drops the steps after the position (what was undone is gone) and
  // appends the step, which becomes the one Undo takes back.
  void Push(CEditStep step);
  void PushEdit(const CBeadEdit& edit) { Push(CEditStep{edit}); }
  // Compares `after` with `before` (a copy taken before an edit): every bead
  // whose presence or shown colour index differs is one change, and the
  // changes are pushed as one step. False (nothing pushed) when the bead
  // counts differ or no bead changed.
  bool RecordChanges(const CPattern& before, const CPattern& after);
  // Puts the beads of the step at the position back to their old state in
  // `design`, moves the position back and marks the design modified. A
  // change whose index lies outside the design's beads is skipped. False
  // (nothing done) at the start of the history.
  bool Undo(CPattern& design);
  // Moves the position on and gives the beads of that step their new state;
  // false (nothing done) at the end of the history.
  bool Redo(CPattern& design);

  bool CanUndo() const { return position_ >= 0; }
  bool CanRedo() const { return position_ < static_cast<int>(steps_.size()) - 1; }
  // Every step, the undone ones after the position included.
  const std::vector<CEditStep>& GetSteps() const { return steps_; }
  // The index of the step Undo takes back, -1 when there is none.
  int GetPosition() const { return position_; }

 private:
  static void Apply(const CEditStep& step, bool forward, CPattern& design);

  std::vector<CEditStep> steps_;
  int position_ = -1;
};
