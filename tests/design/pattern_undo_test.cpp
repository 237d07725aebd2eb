// The dialogs' undo stores and restore points.
#include <gtest/gtest.h>

#include "design/PatternUndo.h"
#include "tests/design/design_test_util.h"

using designtest::MakeGrid;

namespace {
// Recolours one bead and records the change as one step.
void Edit(CUndoPattern& undo, CPattern& p, int index, int color) {
  const CBeadArray before = p.m_beads;
  p.m_beads[static_cast<size_t>(index)].SetColorIndex(color);
  undo.RecordChanges(before);
}
}  // namespace

TEST(UndoPattern, RedoIsGoneAfterANewEdit) {
  CPattern p = MakeGrid(3, 1, kFormatLoom, 0);
  CUndoPattern undo(&p);
  Edit(undo, p, 0, 1);
  Edit(undo, p, 1, 2);
  ASSERT_TRUE(undo.CanUndo());
  undo.Undo();
  EXPECT_EQ(p.m_beads[1].m_colorIndex, 0);
  EXPECT_TRUE(undo.CanRedo());
  Edit(undo, p, 2, 3);
  EXPECT_FALSE(undo.CanRedo());
  EXPECT_EQ(undo.GetStepCount(), 2);
  undo.Undo();
  EXPECT_EQ(p.m_beads[2].m_colorIndex, 0);
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 1);
  undo.Undo();
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 0);
  EXPECT_FALSE(undo.CanUndo());
  EXPECT_TRUE(p.IsModified());
}

TEST(UndoPattern, WhatIsRecorded) {
  CPattern p = MakeGrid(3, 1, kFormatLoom, 0);
  CUndoPattern undo(&p);
  CBeadArray shorter(2);
  undo.RecordChanges(shorter);
  EXPECT_EQ(undo.GetStepCount(), 0);
  // A change of the path mark alone is not recorded.
  CBeadArray before = p.m_beads;
  p.m_pathColor = 4;
  p.m_beads[0].SetPathColor();
  undo.RecordChanges(before);
  EXPECT_EQ(undo.GetStepCount(), 0);
  // Two beads in one step, in storage order.
  before = p.m_beads;
  p.m_beads[2].m_present = 0;
  p.m_beads[1].SetColorIndex(5);
  undo.RecordChanges(before);
  ASSERT_EQ(undo.GetStepCount(), 1);
  CUndoPattern unbound;
  unbound.RecordChanges(before);
  EXPECT_EQ(unbound.GetStepCount(), 0);
}

TEST(UndoPattern, WholeRecordsAndRestoredIndexes) {
  CPattern p = MakeGrid(3, 1, kFormatLoom, 0);
  p.m_pathColor = 4;
  p.m_beads[1].SetPathColor();
  p.m_beads[1].m_cachedColor = 0x123;
  CUndoPattern undo(&p);
  const CBeadArray before = p.m_beads;
  p.m_beads[1].SetColorIndex(7);
  p.m_beads[1].m_cachedColor = 0x456;
  p.m_beads[2].m_present = 0;
  undo.RecordChanges(before);
  std::vector<int> restored;
  EXPECT_FALSE(undo.Undo(&restored));  // bead 1 did not change its presence
  EXPECT_EQ(restored, (std::vector<int>{1, 2}));
  EXPECT_EQ(p.m_beads, before);  // path mark and cache back as recorded
  restored.clear();
  EXPECT_FALSE(undo.Redo(&restored));
  EXPECT_EQ(p.m_beads[1].m_colorIndex, 7);
  EXPECT_EQ(p.m_beads[1].m_cachedColor, 0x456u);
  // A step that only changed presence answers true.
  const CBeadArray b2 = p.m_beads;
  p.m_beads[0].m_present = 0;
  undo.RecordChanges(b2);
  EXPECT_TRUE(undo.Undo());
  EXPECT_TRUE(undo.Redo());
}

TEST(UndoPattern, EndsOfTheHistoryAndStaleSteps) {
  CPattern p = MakeGrid(3, 1);
  CUndoPattern undo(&p);
  std::vector<int> restored;
  EXPECT_FALSE(undo.Undo(&restored));
  EXPECT_FALSE(undo.Redo(&restored));
  EXPECT_TRUE(restored.empty());
  EXPECT_EQ(undo.GetPosition(), -1);
  Edit(undo, p, 2, 9);
  EXPECT_FALSE(undo.Redo());
  EXPECT_EQ(undo.GetPosition(), 0);
  // The design lost beads since: the restore stops at the stale index.
  p.m_beads.resize(2);
  EXPECT_FALSE(undo.Undo(&restored));
  EXPECT_TRUE(restored.empty());
  EXPECT_EQ(undo.GetPosition(), -1);
  undo.Clear();
  EXPECT_EQ(undo.GetStepCount(), 0);
}

TEST(UndoPattern, ButtonsFollowTheHistory) {
  CPattern p = MakeGrid(2, 1);
  CUndoPattern undo;
  undo.SetPattern(&p);
  bool canUndo = true, canRedo = true;
  int calls = 0;
  undo.SetButtonUpdater([&](bool u, bool r) {
    canUndo = u;
    canRedo = r;
    ++calls;
  });
  EXPECT_FALSE(canUndo);
  EXPECT_FALSE(canRedo);
  Edit(undo, p, 0, 3);
  EXPECT_TRUE(canUndo);
  undo.Undo();
  EXPECT_FALSE(canUndo);
  EXPECT_TRUE(canRedo);
  EXPECT_GE(calls, 3);
  CBeadChange change(p, 1);
  EXPECT_EQ(change.m_index, 1);
  EXPECT_EQ(change.m_old, p.m_beads[1]);
  EXPECT_EQ(change.m_new, p.m_beads[1]);
  undo.PushStep({change});
  EXPECT_FALSE(canRedo);
}

TEST(UndoAdjustStack, PushUndoRedo) {
  CUndoAdjustStack stack;
  CUndoAdjustStep out;
  EXPECT_FALSE(stack.Undo(out));
  stack.Push(CUndoAdjustStep(0, 1, 2, 3, 4, 5, 6));
  stack.Push(CUndoAdjustStep(1, 4, 5, 6, 7, 8, 9));
  ASSERT_TRUE(stack.Undo(out));
  EXPECT_EQ(out.m_page, 1);
  EXPECT_EQ(out.m_old[0], 4);
  EXPECT_TRUE(stack.CanRedo());
  stack.Push(CUndoAdjustStep(2, 0, 0, 0, 1, 1, 1));
  EXPECT_FALSE(stack.CanRedo());
  ASSERT_TRUE(stack.Undo(out));
  EXPECT_EQ(out.m_page, 2);
  ASSERT_TRUE(stack.Undo(out));
  EXPECT_EQ(out.m_page, 0);
  EXPECT_FALSE(stack.Undo(out));
  ASSERT_TRUE(stack.Redo(out));
  EXPECT_EQ(out.m_new[2], 6);
  stack.Clear();
  EXPECT_FALSE(stack.CanUndo());
  EXPECT_FALSE(stack.Redo(out));
}

TEST(PatternSnapshot, RestoresColoursPresenceCachesModifiedAndRowFormats) {
  CPattern p = MakeGrid(3, 2, kFormatLoom, 1);
  p.m_pathColor = 6;
  p.m_beads[0].SetPathColor();
  p.m_beads[1].m_cachedColor = 0xAA;
  p.m_rowFormats = {{1, 10}};
  p.SetModified(true);
  const CPatternSnapshot snapshot(p);
  EXPECT_EQ(snapshot.GetColumnCount(), 3u);
  p.m_beads[1].SetColorIndex(4);
  p.m_beads[1].m_cachedColor = 0;
  p.m_beads[2].m_present = 0;
  p.m_rowFormats.clear();
  p.SetModified(false);
  ASSERT_TRUE(snapshot.Restore(p));
  EXPECT_EQ(p.m_beads[0].m_colorIndex, 5);  // the shown path colour, mark cleared
  EXPECT_FALSE(p.m_beads[0].IsPathColor());
  EXPECT_EQ(p.m_beads[1].m_colorIndex, 1);
  EXPECT_EQ(p.m_beads[1].m_cachedColor, 0xAAu);
  EXPECT_EQ(p.m_beads[2].m_present, 1);
  EXPECT_EQ(p.m_rowFormats, (CRowFormatArray{{1, 10}}));
  EXPECT_TRUE(p.IsModified());
  CPattern other = MakeGrid(2, 2, kFormatLoom, 3);
  const CBeadArray before = other.m_beads;
  EXPECT_FALSE(snapshot.Restore(other));
  EXPECT_EQ(other.m_beads, before);
}
