// The control pane's pixel layout and the overlay's opacity rule.
#include <gtest/gtest.h>

#include "view/CtrlPane.h"

namespace {

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(CtrlPaneLayout, EnglishRussianAndCompact) {
  const CCtrlPaneLayout en = LayoutCtrlPane(280, 600, false, false);
  ASSERT_TRUE(en.originalShown);
  ASSERT_TRUE(en.paletteShown);
  EXPECT_TRUE(Same(en.originalGroup, RECT{1, 1, 280, 54}));
  EXPECT_TRUE(Same(en.slider, RECT{55, 21, 278, 50}));
  EXPECT_TRUE(Same(en.paletteGroup, RECT{1, 64, 280, 599}));
  const int toolX[8] = {5, 26, 52, 73, 99, 120, 146, 172};
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(Same(en.tools[i], RECT{toolX[i], 82, toolX[i] + 20, 102})) << i;
  EXPECT_TRUE(Same(en.label, RECT{3, 104, 273, 143}));
  EXPECT_TRUE(Same(en.combo, RECT{3, 144, 189, 444}));
  EXPECT_TRUE(Same(en.showColor, RECT{200, 144, 276, 164}));  // clear of the group's frame
  EXPECT_TRUE(Same(en.list, RECT{3, 165, 278, 577}));
  EXPECT_TRUE(Same(en.omitUnused, RECT{3, 578, 119, 594}));
  EXPECT_TRUE(Same(en.columns, RECT{210, 578, 278, 597}));
  EXPECT_TRUE(Same(en.clearMarked, RECT{124, 578, 208, 597}));

  const CCtrlPaneLayout ru = LayoutCtrlPane(280, 600, true, false);
  EXPECT_EQ(ru.slider.left, 75);
  EXPECT_EQ(ru.combo.right, 3 + 172);
  EXPECT_EQ(ru.omitUnused.right, 3 + 136);
  EXPECT_EQ(ru.clearMarked.left, 280 - 136);
  EXPECT_GT(ru.clearMarked.left, ru.omitUnused.right);

  // Compact: the list reaches 20 pixels lower, the row below it too.
  const CCtrlPaneLayout compact = LayoutCtrlPane(280, 600, false, true);
  EXPECT_EQ(compact.list.bottom, 597);
  EXPECT_EQ(compact.columns.top, 598);

  // A label that needs more room moves what is below it down.
  const CCtrlPaneLayout tall = LayoutCtrlPane(280, 600, false, false, 60);
  EXPECT_EQ(tall.label.bottom, 104 + 60);
  EXPECT_EQ(tall.combo.top, 144 + 21);
  EXPECT_EQ(tall.list.top, 165 + 21);
  EXPECT_EQ(tall.list.bottom, 577);
}

TEST(CtrlPaneLayout, TooSmallPanesHideTheirGroups) {
  const CCtrlPaneLayout narrow = LayoutCtrlPane(41, 600, false, false);
  EXPECT_FALSE(narrow.originalShown);
  EXPECT_TRUE(narrow.paletteShown);
  const CCtrlPaneLayout low = LayoutCtrlPane(280, 66, false, false);
  EXPECT_TRUE(low.originalShown);
  EXPECT_FALSE(low.paletteShown);
  EXPECT_TRUE(LayoutCtrlPane(280, 67, false, false).paletteShown);
}

TEST(CtrlPaneLayout, OverlayAlphaNeverOpaqueAndZeroAtTheRight) {
  const struct {
    int position;
    int alpha;
  } cases[] = {{0, 248}, {15, 128}, {30, 8}, {31, 0}};
  for (const auto& c : cases) EXPECT_EQ(OverlayAlpha(c.position), c.alpha) << c.position;
}

}  // namespace
