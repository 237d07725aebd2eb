#include "design/EditHistory.h"

#include <utility>

CBeadEdit::CBeadEdit(int i, const CPattern& design) : index(i) {
  if (!design.IsValidIndex(i)) return;
  const CBead& bead = design.m_beads[size_t(i)];
  oldPresent = newPresent = bead.m_present;
  oldColor = newColor = bead.GetColorIndex(design);
}

std::vector<int> ListFromEdits(const CEditStep& edits) {
  std::vector<int> list;
  list.reserve(CountEditedBeads(edits));
  for (const CBeadEdit& e : edits)
    for (int k = 0; k < e.count; ++k) list.push_back(e.index + k);
  return list;
}

size_t CountEditedBeads(const CEditStep& edits) {
  size_t n = 0;
  for (const CBeadEdit& e : edits) n += e.count;
  return n;
}

void CEditHistory::Clear() {
  steps_.clear();
  position_ = -1;
}

void CEditHistory::Push(CEditStep step) {
  if (position_ + 1 < static_cast<int>(steps_.size())) steps_.resize(size_t(position_ + 1));
  steps_.push_back(std::move(step));
  position_ = static_cast<int>(steps_.size()) - 1;
}

bool CEditHistory::RecordChanges(const CPattern& before, const CPattern& after) {
  if (before.GetBeadCount() != after.GetBeadCount()) return false;
  CEditStep edits;
  const int count = after.GetBeadCount();
  for (int i = 0; i < count; ++i) {
    const CBead& was = before.m_beads[size_t(i)];
    const CBead& is = after.m_beads[size_t(i)];
    const int oldColor = was.GetColorIndex(before), newColor = is.GetColorIndex(after);
    if (was.m_present == is.m_present && oldColor == newColor) continue;
    CBeadEdit edit;
    edit.index = i;
    edit.oldPresent = was.m_present;
    edit.oldColor = oldColor;
    edit.newPresent = is.m_present;
    edit.newColor = newColor;
    AppendInOrder(edits, edit);
  }
  if (edits.empty()) return false;
  Push(std::move(edits));
  return true;
}

void CEditHistory::Apply(const CEditStep& step, bool forward, CPattern& design) {
  for (const CBeadEdit& e : step) {
    const BYTE present = forward ? e.newPresent : e.oldPresent;
    const int color = forward ? e.newColor : e.oldColor;
    for (int k = 0; k < e.count; ++k) {
      const long long at = static_cast<long long>(e.index) + k;
      if (!design.IsValidIndex(at)) continue;
      CBead& bead = design.m_beads[size_t(at)];
      bead.m_present = present;
      bead.SetColorIndex(color);
    }
  }
  design.SetModified(true);
}

bool CEditHistory::Undo(CPattern& design) {
  if (!CanUndo()) return false;
  Apply(steps_[size_t(position_)], false, design);
  --position_;
  return true;
}

bool CEditHistory::Redo(CPattern& design) {
  if (!CanRedo()) return false;
  ++position_;
  Apply(steps_[size_t(position_)], true, design);
  return true;
}
