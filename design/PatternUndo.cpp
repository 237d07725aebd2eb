#include "design/PatternUndo.h"

// ---- CBeadChange ----

CBeadChange::CBeadChange(const CPattern& design, int index) : m_index(index) {
  if (design.IsValidIndex(index)) m_old = m_new = design.m_beads[static_cast<size_t>(index)];
}

// ---- CUndoPattern ----

void CUndoPattern::Clear() {
  steps_.clear();
  position_ = -1;
  UpdateButtons();
}

void CUndoPattern::RecordChanges(const CBeadArray& earlier) {
  if (!design_ || earlier.size() != design_->m_beads.size()) return;
  const CBeadArray& now = design_->m_beads;
  auto differs = [&](size_t i) {
    return earlier[i].m_colorIndex != now[i].m_colorIndex || earlier[i].m_present != now[i].m_present;
  };
  size_t count = 0;
  for (size_t i = 0; i < now.size(); ++i) count += differs(i) ? 1 : 0;
  if (count == 0) return;
  CBeadChangeList step;
  step.reserve(count);
  for (size_t i = 0; i < now.size(); ++i)
    if (differs(i)) step.emplace_back(static_cast<int>(i), earlier[i], now[i]);
  PushStep(std::move(step));
}

void CUndoPattern::PushStep(const CBeadChangeList& step) { PushStep(CBeadChangeList(step)); }

void CUndoPattern::PushStep(CBeadChangeList&& step) {
  steps_.resize(static_cast<size_t>(position_ + 1));
  steps_.push_back(std::move(step));
  ++position_;
  UpdateButtons();
}

bool CUndoPattern::Apply(const CBeadChangeList& step, bool useNew, std::vector<int>* restored) {
  bool allChangedPresence = true;
  for (const CBeadChange& change : step) {
    if (!design_->IsValidIndex(change.m_index)) {
      allChangedPresence = false;
      break;
    }
    CBead& bead = design_->m_beads[static_cast<size_t>(change.m_index)];
    const CBead& record = useNew ? change.m_new : change.m_old;
    if (bead.m_present == record.m_present) allChangedPresence = false;
    bead = record;
    if (restored) restored->push_back(change.m_index);
  }
  design_->SetModified(true);
  return allChangedPresence;
}

bool CUndoPattern::Undo(std::vector<int>* restored) {
  if (!design_ || !CanUndo()) return false;
  const bool result = Apply(steps_[static_cast<size_t>(position_)], false, restored);
  --position_;
  UpdateButtons();
  return result;
}

bool CUndoPattern::Redo(std::vector<int>* restored) {
  if (!design_ || !CanRedo()) return false;
  ++position_;
  const bool result = Apply(steps_[static_cast<size_t>(position_)], true, restored);
  UpdateButtons();
  return result;
}

// ---- CUndoAdjustStack ----

void CUndoAdjustStack::Push(const CUndoAdjustStep& step) {
  steps_.resize(static_cast<size_t>(position_ + 1));
  steps_.push_back(step);
  ++position_;
}

bool CUndoAdjustStack::Undo(CUndoAdjustStep& out) {
  if (!CanUndo()) return false;
  out = steps_[static_cast<size_t>(position_)];
  --position_;
  return true;
}

bool CUndoAdjustStack::Redo(CUndoAdjustStep& out) {
  if (!CanRedo()) return false;
  ++position_;
  out = steps_[static_cast<size_t>(position_)];
  return true;
}

// ---- CPatternSnapshot ----

CPatternSnapshot::CPatternSnapshot(const CPattern& design)
    : columns_(design.GetColumnCount()),
      rows_(design.GetRowCount()),
      modified_(design.IsModified()),
      rowFormats_(design.m_rowFormats) {
  cells_.reserve(design.m_beads.size());
  for (const CBead& bead : design.m_beads)
    cells_.push_back(Cell{bead.GetColorIndex(design.m_pathColor), bead.m_cachedColor, bead.m_present});
}

bool CPatternSnapshot::Restore(CPattern& design) const {
  if (design.m_beads.size() != cells_.size()) return false;
  CBead* bead = design.m_beads.data();
  for (const Cell& cell : cells_) {
    bead->SetColorIndex(cell.colorIndex);
    bead->m_present = cell.present;
    bead->m_cachedColor = cell.cachedColor;
    ++bead;
  }
  design.SetModified(modified_);
  design.m_rowFormats = rowFormats_;
  return true;
}
