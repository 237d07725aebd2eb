#include <gtest/gtest.h>

#include <random>

#include "builder/SepStitchFinder.h"
#include "design/BeadBlock.h"
#include "palette/ColorSet.h"
#include "tests/builder/builder_test_util.h"

using buildertest::MakeDesign;
using buildertest::Paint;

namespace {

CColorSet Palette(int colors) {
  CColorSet set;
  for (int i = 0; i < colors; ++i)
    set.Append(CPaletteColor(CRgbTriple(static_cast<BYTE>(i * 40), 0, 0), "c", 0, i, 225, 0));
  return set;
}

// Finds on a design painted from rows (top first); the palette is counted.
bool FindIn(const std::vector<std::string>& rows, int largest, bool diagonals, CSepStitchFinder& finder,
            CPattern* out = nullptr) {
  CPattern design = MakeDesign(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  Paint(design, rows);
  CColorSet palette = Palette(4);
  CColorUsage usage(&design);
  EXPECT_TRUE(palette.CountUsage(usage));
  const bool found = finder.Find(design, palette, largest, diagonals, nullptr);
  if (out) *out = design;
  return found;
}

const CSepStitchGroup* EntryOf(const CSepStitchFinder& finder, int color) {
  for (const CSepStitchGroup& g : finder.GetEntries())
    if (g.colorIndex == color) return &g;
  return nullptr;
}

}  // namespace

TEST(SepStitchFinderTest, SingleBeadInsideAnotherColour) {
  CSepStitchFinder finder;
  CPattern design;
  ASSERT_TRUE(FindIn({"000", "010", "000"}, 7, false, finder, &design));
  ASSERT_EQ(finder.GetEntries().size(), 1u);
  const CSepStitchGroup& red = finder.GetEntries()[0];
  EXPECT_EQ(red.colorIndex, 1);
  EXPECT_EQ(red.count, 1u);
  EXPECT_EQ(red.GetPartCount(), 1);
  EXPECT_EQ(red.GetRegionCount(), 1);
  EXPECT_EQ(red.GetBeadCount(), 1);
  const UINT centre = static_cast<UINT>(design.GetBeadIndex(1, 1));
  EXPECT_EQ(red.parts[0][0], (std::vector<UINT>{centre}));
  EXPECT_TRUE(finder.ContainsBead(0, 1, centre));
  EXPECT_FALSE(finder.ContainsBead(0, 1, centre + 1));
  EXPECT_FALSE(finder.ContainsBead(1, 1, centre));
  CSepStitchPart part;
  EXPECT_TRUE(finder.FindGroupPart(0, 1, part));
  EXPECT_EQ(part.size(), 1u);
  EXPECT_FALSE(finder.FindGroupPart(0, 0, part));
  EXPECT_FALSE(finder.FindGroupPart(1, 1, part));

  // The eight blue beads form one group, listed once the limit allows 8.
  ASSERT_TRUE(FindIn({"000", "010", "000"}, 8, false, finder));
  ASSERT_EQ(finder.GetEntries().size(), 2u);
  const CSepStitchGroup* blue = EntryOf(finder, 0);
  ASSERT_NE(blue, nullptr);
  EXPECT_EQ(blue->GetRegionCount(), 1);
  EXPECT_EQ(blue->GetBeadCount(), 8);
  // The bead where the search started comes first, then the fill order.
  EXPECT_EQ(blue->parts[0][0].front(), 0u);
}

TEST(SepStitchFinderTest, CornersConnectOnlyWithDiagonals) {
  CSepStitchFinder finder;
  ASSERT_TRUE(FindIn({"1000", "0100", "0000"}, 7, false, finder));
  EXPECT_EQ(EntryOf(finder, 1)->GetRegionCount(), 2);
  ASSERT_TRUE(FindIn({"1000", "0100", "0000"}, 7, true, finder));
  EXPECT_EQ(EntryOf(finder, 1)->GetRegionCount(), 1);
  EXPECT_EQ(EntryOf(finder, 1)->GetBeadCount(), 2);
}

TEST(SepStitchFinderTest, GroupsThatDoNotQualify) {
  CSepStitchFinder finder;
  // A lone bead among absent places touches nothing.
  EXPECT_FALSE(FindIn({"###", "#1#", "###"}, 7, true, finder));
  EXPECT_TRUE(finder.GetEntries().empty());
  // A bead touching another only at a corner qualifies through the corner
  // even without the diagonal choice.
  ASSERT_TRUE(FindIn({"1#", "#2"}, 7, false, finder));
  EXPECT_EQ(finder.GetEntries().size(), 2u);
  // Groups larger than the limit leave their colour without an entry.
  ASSERT_TRUE(FindIn({"2222", "2112", "2222"}, 7, false, finder));
  EXPECT_EQ(EntryOf(finder, 2), nullptr);
  EXPECT_EQ(EntryOf(finder, 1)->GetRegionCount(), 1);
  EXPECT_FALSE(FindIn({"2222", "2112", "2222"}, 1, false, finder));
  // An empty design.
  CPattern empty;
  CColorSet palette = Palette(2);
  EXPECT_FALSE(finder.Find(empty, palette, 7, false, nullptr));
}

TEST(SepStitchFinderTest, EntriesWithMoreGroupsFirst) {
  CSepStitchFinder finder;
  ASSERT_TRUE(FindIn({"3000000", "0101010", "0002000", "0303000"}, 2, false, finder));
  const auto& entries = finder.GetEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].colorIndex, 1);
  EXPECT_EQ(entries[0].GetRegionCount(), 3);
  EXPECT_EQ(entries[1].colorIndex, 3);
  EXPECT_EQ(entries[1].GetRegionCount(), 3);
  EXPECT_EQ(entries[2].colorIndex, 2);
  for (size_t i = 1; i < entries.size(); ++i) EXPECT_FALSE(entries[i].HasMoreRegions(entries[i - 1]));
}

TEST(SepStitchFinderTest, AgreesWithAFreshGroupPerBead) {
  std::mt19937 rng(5);
  for (int round = 0; round < 20; ++round) {
    CPattern design = MakeDesign(17, 13);
    design.m_pathColor = 2;
    for (CBead& b : design.m_beads) {
      b.SetColorIndex(static_cast<int>(rng() % 3));
      b.m_present = rng() % 7 != 0;
      if (rng() % 9 == 0) b.SetPathColor();  // shows colour 1 whatever it holds
    }
    CColorSet palette = Palette(3);
    CColorUsage usage(&design);
    ASSERT_TRUE(palette.CountUsage(usage));
    const int largest = 1 + static_cast<int>(rng() % 6);
    const bool diagonals = rng() % 2 != 0;
    CSepStitchFinder finder;
    finder.Find(design, palette, largest, diagonals, nullptr);

    // The plain way: a new list for every group.
    std::vector<std::vector<std::vector<UINT>>> expected(3);
    std::vector<bool> visited(design.m_beads.size(), false);
    CBeadBlockFinder grower(&design);
    for (size_t i = 0; i < design.m_beads.size(); ++i) {
      if (visited[i] || !design.m_beads[i].m_present) continue;
      const int color = design.m_beads[i].GetColorIndex(design);
      CIndexList group{static_cast<UINT>(i)};
      grower.GrowSameColor({static_cast<UINT>(i)}, group, diagonals, color);
      bool touches = false;
      std::vector<int> around;
      for (UINT b : group) {
        design.GetNeighbours(static_cast<int>(b), true, around);
        for (int n : around)
          if (design.m_beads[static_cast<size_t>(n)].m_present && !group.Contains(static_cast<UINT>(n))) touches = true;
      }
      if (static_cast<int>(group.size()) <= largest && touches && palette.GetItem(color).count > 0)
        expected[static_cast<size_t>(color)].emplace_back(group.begin(), group.end());
      for (UINT b : group) visited[b] = true;
    }
    for (int color = 0; color < 3; ++color) {
      const CSepStitchGroup* entry = EntryOf(finder, color);
      if (expected[static_cast<size_t>(color)].empty()) {
        EXPECT_EQ(entry, nullptr);
        continue;
      }
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(buildertest::GroupLists(entry->parts[0]), expected[static_cast<size_t>(color)])
          << round << " colour " << color;
    }
  }
}

TEST(SepStitchFinderTest, CopiedResultsOutliveTheFinder) {
  // Groups are views into lists the search made: a copied part or entry
  // keeps its beads after the finder searches again, is emptied or is gone.
  CSepStitchPart part;
  std::vector<CSepStitchGroup> entries;
  {
    CSepStitchFinder finder;
    ASSERT_TRUE(FindIn({"0000", "0100", "0020", "0000"}, 7, false, finder));
    ASSERT_TRUE(finder.FindGroupPart(0, 1, part));
    entries = finder.GetEntries();
    ASSERT_TRUE(FindIn({"2222", "2232"}, 7, false, finder));  // nothing left of the first search
    EXPECT_FALSE(finder.FindGroupPart(0, 1, part));
    finder.RemoveAll();
  }
  ASSERT_EQ(part.size(), 1u);
  EXPECT_EQ(part[0], (std::vector<UINT>{9}));  // column 1 of the second row from the top
  EXPECT_EQ(part.GetBeadCount(), 1u);
  ASSERT_EQ(entries.size(), 2u);
  for (const CSepStitchGroup& entry : entries) {
    EXPECT_EQ(entry.GetRegionCount(), 1);
    EXPECT_EQ(entry.GetBeadCount(), 1);
    const std::vector<UINT> beads = entry.parts[0][0];  // a list of its own, as the dialogs take it
    EXPECT_EQ(beads, (std::vector<UINT>{entry.colorIndex == 1 ? 9u : 6u}));
  }
}
