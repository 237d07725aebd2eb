// The bead-edit history of the design view, used on a bare design: steps
// recorded from a copy, Undo and Redo restoring the exact beads, and what
// happens at both ends of the history and with steps that no longer fit.
#include <gtest/gtest.h>

#include "design/EditHistory.h"
#include "tests/design/design_test_util.h"

using designtest::MakeGrid;

namespace {
// Recolours (or removes, colour -2) one bead of `p` and records the edit.
bool Edit(CEditHistory& history, CPattern& p, int index, int color) {
  const CPattern before(p);
  CBead& bead = p.m_beads[size_t(index)];
  if (color == -2) bead.m_present = 0;
  else bead.SetColorIndex(color);
  return history.RecordChanges(before, p);
}

std::vector<CBead> Beads(const CPattern& p) { return std::vector<CBead>(p.m_beads.begin(), p.m_beads.end()); }
}  // namespace

TEST(EditHistory, RecordUndoRedoExact) {
  CPattern p = MakeGrid(4, 3);
  const auto original = Beads(p);
  CEditHistory history;
  ASSERT_TRUE(Edit(history, p, 1, 2));
  ASSERT_TRUE(Edit(history, p, 5, -2));
  const auto edited = Beads(p);
  ASSERT_EQ(history.GetSteps().size(), 2u);
  ASSERT_EQ(history.GetSteps()[1].size(), 1u);
  const CBeadEdit& removal = history.GetSteps()[1][0];
  EXPECT_EQ(removal.index, 5);
  EXPECT_EQ(removal.oldPresent, 1);
  EXPECT_EQ(removal.newPresent, 0);
  EXPECT_EQ(history.GetPosition(), 1);

  p.SetModified(false);
  EXPECT_TRUE(history.Undo(p));
  EXPECT_TRUE(history.Undo(p));
  EXPECT_TRUE(Beads(p) == original);
  EXPECT_TRUE(p.IsModified());
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.GetPosition(), -1);
  EXPECT_TRUE(history.Redo(p));
  EXPECT_TRUE(history.Redo(p));
  EXPECT_TRUE(Beads(p) == edited);
  EXPECT_FALSE(history.CanRedo());

  // A new edit after an undo drops the undone step.
  history.Undo(p);
  ASSERT_TRUE(Edit(history, p, 0, 1));
  EXPECT_FALSE(history.CanRedo());
  ASSERT_EQ(history.GetSteps().size(), 2u);
  EXPECT_EQ(history.GetSteps()[1][0].index, 0);
  EXPECT_EQ(history.GetSteps()[1][0].newColor, 1);
  EXPECT_TRUE(p.m_beads[5].IsPresent());
}

TEST(EditHistory, Limits) {
  CPattern p = MakeGrid(3, 2);
  CEditHistory history;
  // Nothing to move at either end: the design stays as it is.
  p.SetModified(false);
  EXPECT_FALSE(history.Undo(p));
  EXPECT_FALSE(history.Redo(p));
  EXPECT_FALSE(p.IsModified());
  // Nothing changed, or another bead count: no step.
  EXPECT_FALSE(history.RecordChanges(p, p));
  EXPECT_FALSE(history.RecordChanges(MakeGrid(2, 2), p));
  EXPECT_TRUE(history.GetSteps().empty());

  // A path bead is recorded with the colour it shows, and gets back an own
  // colour index.
  p.m_pathColor = 3;  // path beads show colour 2
  p.m_beads[4].SetPathColor();
  CPattern before(p);
  p.m_beads[4].SetColorIndex(1);
  ASSERT_TRUE(history.RecordChanges(before, p));
  EXPECT_EQ(history.GetSteps()[0][0].oldColor, 2);
  history.Undo(p);
  EXPECT_FALSE(p.m_beads[4].IsPathColor());
  EXPECT_EQ(p.m_beads[4].m_colorIndex, 2);

  // A step reaching past a design that got smaller restores what still
  // exists and moves on.
  CEditStep step;
  CBeadEdit inside(1, p), outside(40, p);
  inside.newColor = 7;
  outside.oldColor = outside.newColor = 9;
  outside.oldPresent = outside.newPresent = 1;
  step.push_back(inside);
  step.push_back(outside);
  EXPECT_EQ(outside.index, 40);
  history.Clear();
  history.Push(step);
  EXPECT_FALSE(history.Redo(p));
  EXPECT_TRUE(history.Undo(p));
  EXPECT_EQ(p.m_beads[1].m_colorIndex, 0);
  EXPECT_TRUE(history.Redo(p));
  EXPECT_EQ(p.m_beads[1].m_colorIndex, 7);
  EXPECT_EQ(p.GetBeadCount(), 6);
  EXPECT_EQ(ListFromEdits(step), (std::vector<int>{1, 40}));

  history.Clear();
  EXPECT_FALSE(history.CanUndo());
  EXPECT_TRUE(history.GetSteps().empty());
}

TEST(EditHistory, BeadsSideBySideThatChangeAlikeShareAnEntry) {
  // A 70,000-bead row: the changed beads come in runs, a run holds at most
  // 65,535 beads, and a bead that changes otherwise starts a new entry.
  CPattern p = MakeGrid(70000, 1);
  const auto original = Beads(p);
  const CPattern before(p);
  for (int i = 10; i < 69990; ++i) p.m_beads[size_t(i)].SetColorIndex(i == 500 ? 2 : 1);
  p.m_beads[69995].m_present = 0;
  const auto edited = Beads(p);
  CEditHistory history;
  ASSERT_TRUE(history.RecordChanges(before, p));
  const CEditStep& step = history.GetSteps()[0];
  ASSERT_EQ(step.size(), 5u);
  const int starts[] = {10, 500, 501, 501 + 65535, 69995};
  const int counts[] = {490, 1, 65535, 69990 - 501 - 65535, 1};
  for (size_t k = 0; k < step.size(); ++k) {
    EXPECT_EQ(step[k].index, starts[k]);
    EXPECT_EQ(step[k].count, counts[k]);
  }
  EXPECT_EQ(CountEditedBeads(step), size_t(69990 - 10 + 1));
  EXPECT_EQ(ListFromEdits(step).size(), CountEditedBeads(step));
  EXPECT_TRUE(history.Undo(p));
  EXPECT_TRUE(Beads(p) == original);
  EXPECT_TRUE(history.Redo(p));
  EXPECT_TRUE(Beads(p) == edited);

  // A run reaching past a design that got smaller restores what exists.
  CPattern small = MakeGrid(20, 1);
  CEditStep runs;
  CBeadEdit run(15, small);
  run.newColor = 3;
  run.count = 10;
  runs.push_back(run);
  history.Clear();
  history.Push(runs);
  EXPECT_TRUE(history.Undo(small));
  EXPECT_TRUE(history.Redo(small));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(small.m_beads[size_t(i)].m_colorIndex, i >= 15 ? 3 : 0) << i;
}
