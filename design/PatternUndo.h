// The undo stores of the editing dialogs: CUndoPattern (bead changes of the
// bead-selection dialogs), CUndoAdjustStack (slider settings of the colour
// adjustment sheet) and CPatternSnapshot (a restore point of a design's
// colours, presence, modified state and row formats).
#pragma once

#include <functional>
#include <list>
#include <vector>

#include "design/Pattern.h"

// One bead's change: storage index, the whole record before and after.
struct CBeadChange {
  CBeadChange() = default;
  // The index and two copies of the design's current record at that index
  // (default records when the index is outside the beads).
  CBeadChange(const CPattern& design, int index);
  CBeadChange(int index, const CBead& before, const CBead& after) : m_index(index), m_old(before), m_new(after) {}

  int m_index = -1;
  CBead m_old;
  CBead m_new;
};
using CBeadChangeList = std::vector<CBeadChange, CLargeBlockAllocator<CBeadChange>>;

class CUndoPattern {
 public:
  CUndoPattern() = default;
  explicit CUndoPattern(CPattern* design) : design_(design) {}
  virtual ~CUndoPattern() = default;

  // Binds another design; the history stays.
  void SetPattern(CPattern* design) { design_ = design; }
  CPattern* GetPattern() const { return design_; }
  // Frees every step; position -1.
  void Clear();
  // Compares the design's beads with a copy taken before an edit: every bead
  // whose stored colour index or present byte differs gives a change; they
  // are pushed as one step when there is at least one. Nothing when the
  // counts differ.
  void RecordChanges(const CBeadArray& earlier);
  // Drops the steps after the position, appends a copy of the step.
  void PushStep(const CBeadChangeList& step);
  void PushStep(CBeadChangeList&& step);
  // Writes back the old records of the step at the position, position - 1,
  // sets the modified byte. The restored storage indexes are appended to
  // `restored` when given. True when every restored bead changed its present
  // byte. At the start of the history nothing happens and the answer is
  // false; a change whose index lies past the bead count ends the restore of
  // that step (answer false).
  bool Undo(std::vector<int>* restored = nullptr);
  // Position + 1 and the new records of that step; as Undo otherwise.
  bool Redo(std::vector<int>* restored = nullptr);
  bool CanUndo() const { return position_ >= 0; }
  bool CanRedo() const { return position_ < static_cast<int>(steps_.size()) - 1; }
  int GetStepCount() const { return static_cast<int>(steps_.size()); }
  int GetPosition() const { return position_; }

  // The owning dialog's Undo and Redo buttons: called with (CanUndo,
  // CanRedo) whenever the history changes. May be absent.
  void SetButtonUpdater(std::function<void(bool canUndo, bool canRedo)> updater) {
    updater_ = std::move(updater);
    UpdateButtons();
  }
  void UpdateButtons() const {
    if (updater_) updater_(CanUndo(), CanRedo());
  }

 private:
  bool Apply(const CBeadChangeList& step, bool useNew, std::vector<int>* restored);

  CPattern* design_ = nullptr;
  std::vector<CBeadChangeList> steps_;
  int position_ = -1;
  std::function<void(bool, bool)> updater_;
};

// The colour-adjustment sheet's page and slider values before and after.
struct CUndoAdjustStep {
  CUndoAdjustStep() = default;
  CUndoAdjustStep(int page, int old1, int old2, int old3, int new1, int new2, int new3)
      : m_page(page), m_old{old1, old2, old3}, m_new{new1, new2, new3} {}
  int m_page = 0;
  int m_old[3] = {0, 0, 0};
  int m_new[3] = {0, 0, 0};
};

class CUndoAdjustStack {
 public:
  void Clear() {
    steps_.clear();
    position_ = -1;
  }
  void Push(const CUndoAdjustStep& step);
  // Copies the step at the position out, position - 1; false (nothing out)
  // when there is nothing to undo.
  bool Undo(CUndoAdjustStep& out);
  // Position + 1, that step out; false when there is nothing to redo.
  bool Redo(CUndoAdjustStep& out);
  bool CanUndo() const { return position_ >= 0; }
  bool CanRedo() const { return position_ < static_cast<int>(steps_.size()) - 1; }
  int GetPosition() const { return position_; }

 private:
  std::vector<CUndoAdjustStep> steps_;
  int position_ = -1;
};

// A restore point: column and row counts, modified state, row formats and
// every bead's shown colour index, present byte and cached colour.
class CPatternSnapshot {
 public:
  explicit CPatternSnapshot(const CPattern& design);
  // False (nothing changed) when the bead count differs; otherwise every
  // bead gets back its colour index (path mark cleared), present byte and
  // cached colour, the modified byte its captured state and the row formats
  // the captured ones.
  bool Restore(CPattern& design) const;

  unsigned GetColumnCount() const { return columns_; }
  unsigned GetRowCount() const { return rows_; }

 private:
  struct Cell {
    int colorIndex;
    COLORREF cachedColor;
    BYTE present;
  };
  unsigned columns_ = 0;
  unsigned rows_ = 0;
  bool modified_ = false;
  CRowFormatArray rowFormats_;
  std::vector<Cell, CLargeBlockAllocator<Cell>> cells_;
};
