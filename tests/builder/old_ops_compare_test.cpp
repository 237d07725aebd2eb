// The whole-design operations against their code as it was before it was
// made faster (tests/builder/old_ops.h), on a table of designs: sizes,
// formats, colour counts, absent beads, beads in the path colour, and the
// worst cases of the benchmarks (a million beads of random colours, ~930 k
// groups of separated beads).
#include <gtest/gtest.h>

#include <random>

#include "builder/ColorOps.h"
#include "builder/SepStitchFinder.h"
#include "palette/ColorSet.h"
#include "tests/builder/builder_test_util.h"
#include "tests/builder/old_ops.h"

namespace {

CColorSet RandomPalette(int colours, unsigned seed, int levels = 256, int notInUseOneIn = 0) {
  CColorSet set;
  std::mt19937 rng(seed);
  const auto channel = [&] { return static_cast<BYTE>(rng() % levels * (255 / std::max(levels - 1, 1))); };
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(channel(), channel(), channel()), "C", 0, i, kDefaultBeadsPerTube, 0);
    if (notInUseOneIn > 0 && rng() % notInUseOneIn == 0) c.SetInUse(0);
    set.Append(c);
  }
  return set;
}

CPattern MakeFormatted(int columns, int rows, int format) {
  CPattern design;
  CGridLayout layout;
  layout.width = static_cast<float>(columns);
  layout.height = static_cast<float>(rows);
  layout.beadWidth = layout.beadHeight = 1.0f;
  layout.format = format;
  design.CreateGrid(layout, 0);
  return design;
}

struct DesignCase {
  const char* name;
  int columns, rows, format;
  int colourLevels;   // levels per channel of the beads' own colours
  int absentOneIn;    // 0: every bead present
  int pathOneIn;      // 0: no bead shown in the path colour
};

const DesignCase kDesigns[] = {
    {"loom 1000 x 1000, random colours", 1000, 1000, kFormatLoom, 256, 0, 0},
    {"loom 300 x 200, few colours", 300, 200, kFormatLoom, 4, 0, 0},
    {"peyote 257 x 131, holes", 257, 131, kFormatPeyote, 16, 9, 0},
    {"brick 120 x 333, path colour", 120, 333, kFormatBrick, 256, 13, 7},
    {"3-peyote 64 x 64", 64, 64, kFormatPeyote + 2, 8, 0, 0},
    {"herringbone 90 x 40", 90, 40, kFormatHerringbone, 256, 5, 0},
    {"sacred brick 33 x 77", 33, 77, kFormatSacredBrick, 16, 0, 11},
    {"one bead", 1, 1, kFormatLoom, 256, 0, 0},
    {"peyote 400 x 300, holes, path colour", 400, 300, kFormatPeyote, 64, 7, 9},
};

CPattern DesignOf(const DesignCase& c, unsigned seed) {
  CPattern design = MakeFormatted(c.columns, c.rows, c.format);
  design.m_pathColor = 1;
  std::mt19937 rng(seed);
  const int levels = c.colourLevels;
  const auto channel = [&] { return static_cast<BYTE>(rng() % levels * (255 / std::max(levels - 1, 1))); };
  for (CBead& b : design.m_beads) {
    b.m_cachedColor = RGB(channel(), channel(), channel());
    if (c.absentOneIn && rng() % c.absentOneIn == 0) b.m_present = 0;
    if (c.pathOneIn && rng() % c.pathOneIn == 0) b.SetPathColor();
  }
  return design;
}

void ExpectSameBeads(const CPattern& a, const CPattern& b) {
  ASSERT_EQ(a.m_beads.size(), b.m_beads.size());
  for (size_t i = 0; i < a.m_beads.size(); ++i)
    ASSERT_TRUE(a.m_beads[i] == b.m_beads[i] && a.m_beads[i].m_colorIndex == b.m_beads[i].m_colorIndex &&
                a.m_beads[i].m_cachedColor == b.m_beads[i].m_cachedColor)
        << "bead " << i;
  EXPECT_EQ(a.m_modified, b.m_modified);
}

}  // namespace

TEST(OldOpsCompare, ReduceColorsAsBefore) {
  struct PaletteCase {
    int colours, levels, notInUseOneIn;
  };
  const PaletteCase palettes[] = {{500, 256, 0}, {40, 4, 5}, {7, 256, 0}};
  unsigned seed = 1;
  for (const DesignCase& d : kDesigns)
    for (const PaletteCase& p : palettes) {
      const CPattern design = DesignOf(d, seed++);
      const CColorSet palette = RandomPalette(p.colours, seed++, p.levels, p.notInUseOneIn);
      for (int target : {0, 1, 2, 5, 20, 64, 1000}) {
        if (d.columns * d.rows >= 1000000 && (target != 20 || p.colours != 500)) continue;  // time
        SCOPED_TRACE(std::string(d.name) + ", palette " + std::to_string(p.colours) + ", target " +
                     std::to_string(target));
        CPattern now = design, before = design;
        ReduceColors(now, palette, target, "");
        oldops::ReduceColors(before, palette, target, "");
        ExpectSameBeads(now, before);
        std::vector<CColorCluster> a, b;
        CPattern x = design, y = design;
        BuildColorClusters(x, palette, a, "");
        MergeColorClusters(a, target);
        oldops::CColorRuns runs;
        oldops::SortByColor(y.m_beads, runs);
        oldops::BuildClustersFromRuns(y, palette, runs, b, nullptr);
        oldops::MergeColorClusters(b, target);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
          EXPECT_EQ(a[i].key, b[i].key);
          EXPECT_EQ(a[i].count, b[i].count);
          EXPECT_EQ(a[i].members.size(), b[i].members.size());
        }
      }
    }
}

namespace {

// How the beads' own colours are laid for the colour-reduction comparison:
// as the design case makes them, 30 colours at random, one colour, a
// checkerboard of two colours, and no bead present.
enum class ReduceLayout { kAsMade, kThirtyColours, kOneColour, kCheckerboard, kNoBeads };

struct ReducePalette {
  const char* name;
  int colours, levels, notInUseOneIn;
};
const ReducePalette kReducePalettes[] = {{"500 colours", 500, 256, 0},
                                         {"40 colours, some not in use", 40, 4, 5},
                                         {"30 colours", 30, 256, 0},
                                         {"one colour", 1, 256, 0},
                                         {"none in use", 12, 256, 1}};
const std::pair<ReduceLayout, const char*> kReduceLayouts[] = {{ReduceLayout::kAsMade, "as made"},
                                                               {ReduceLayout::kThirtyColours, "30 colours"},
                                                               {ReduceLayout::kOneColour, "one colour"},
                                                               {ReduceLayout::kCheckerboard, "checkerboard"},
                                                               {ReduceLayout::kNoBeads, "no beads"}};

// The reduction and its grouping steps against the code with sorted runs,
// for one design, layout and palette, at the targets given.
void CompareReductions(const DesignCase& d, const std::pair<ReduceLayout, const char*>& layout,
                       const ReducePalette& p, std::initializer_list<int> targets, unsigned& seed) {
  CPattern design = DesignOf(d, seed++);
  std::mt19937 rng(seed++);
  COLORREF thirty[30];
  for (COLORREF& c : thirty) c = rng() & 0xFFFFFF;
  const int columns = std::max(1, static_cast<int>(design.GetColumnCount()));
  for (size_t i = 0; i < design.m_beads.size(); ++i) {
    CBead& b = design.m_beads[i];
    switch (layout.first) {
      case ReduceLayout::kAsMade: break;
      case ReduceLayout::kThirtyColours: b.m_cachedColor = thirty[rng() % 30]; break;
      case ReduceLayout::kOneColour: b.m_cachedColor = RGB(90, 140, 200); break;
      case ReduceLayout::kCheckerboard:
        b.m_cachedColor = (i % columns + i / columns) % 2 ? RGB(250, 250, 240) : RGB(10, 20, 30);
        break;
      case ReduceLayout::kNoBeads: b.m_present = 0; break;
    }
  }
  const CColorSet palette = RandomPalette(p.colours, seed++, p.levels, p.notInUseOneIn);
  for (int target : targets) {
    SCOPED_TRACE(std::string(d.name) + ", " + layout.second + ", palette " + p.name + ", target " +
                 std::to_string(target));
    CPattern now = design, before = design;
    ReduceColors(now, palette, target, "");
    oldops::sweep::ReduceColors(before, palette, target, "");
    ExpectSameBeads(now, before);
    // The grouping steps on their own: the same clusters in the same order,
    // with the same members in the same order.
    std::vector<CColorCluster> a, b;
    CPattern x = design, y = design;
    BuildColorClusters(x, palette, a, "");
    oldops::sweep::CColorRuns runs;
    oldops::sweep::SortByColor(y.m_beads, runs);
    oldops::sweep::BuildClustersFromRuns(y, palette, runs, b, nullptr);
    ExpectSameBeads(x, y);
    MergeColorClusters(a, target);
    oldops::sweep::MergeColorClusters(b, target);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].key, b[i].key);
      EXPECT_EQ(a[i].count, b[i].count);
      ASSERT_EQ(a[i].members.size(), b[i].members.size());
      for (size_t m = 0; m < a[i].members.size(); ++m)
        ASSERT_TRUE(a[i].members[m].color == b[i].members[m].color && a[i].members[m].count == b[i].members[m].count)
            << "cluster " << i << ", member " << m;
    }
  }
}

}  // namespace

TEST(OldOpsCompare, ReduceColorsAsWithSortedRuns) {
  unsigned seed = 7;
  for (const DesignCase& d : kDesigns) {
    if (d.columns * d.rows >= 1000000) continue;  // the next test
    for (const auto& layout : kReduceLayouts)
      for (const ReducePalette& p : kReducePalettes) {
        const bool plain = layout.first == ReduceLayout::kOneColour || layout.first == ReduceLayout::kNoBeads ||
                           p.colours < 30;
        if (d.columns * d.rows > 50000 && plain) continue;  // time: the small designs have these
        if (p.colours > 100) CompareReductions(d, layout, p, {1, 20}, seed);
        else CompareReductions(d, layout, p, {0, 1, 2, 20, 1000}, seed);
      }
  }
}

// The benchmark's worst cases: a million beads of random colours, and of
// 30 colours at random, reduced from a 500-colour palette to 20.
TEST(OldOpsCompare, MillionBeadReductionsAsWithSortedRuns) {
  unsigned seed = 70;
  for (const DesignCase& d : kDesigns)
    if (d.columns * d.rows >= 1000000)
      for (size_t l = 0; l < 2; ++l) CompareReductions(d, kReduceLayouts[l], kReducePalettes[0], {20}, seed);
}

// How the beads of a design are coloured for the separated-bead comparison:
// random colours (with some beads in the path colour where the design case
// has them), every bead one colour, a checkerboard of two colours (one
// piece with corners, single beads without), no bead present, and a bead
// list shorter than the grid.
enum class SepLayout { kRandom, kOneColour, kCheckerboard, kNoBeads, kShortList };

TEST(OldOpsCompare, SeparatedBeadsAsBefore) {
  unsigned seed = 100;
  const std::pair<SepLayout, const char*> layouts[] = {{SepLayout::kRandom, "random"},
                                                       {SepLayout::kOneColour, "one colour"},
                                                       {SepLayout::kCheckerboard, "checkerboard"},
                                                       {SepLayout::kNoBeads, "no beads"},
                                                       {SepLayout::kShortList, "short bead list"}};
  for (const DesignCase& d : kDesigns)
    for (const auto& [layout, layoutName] : layouts)
      for (int colours : {2, 3, 30})
        for (bool diagonals : {false, true})
          for (int largest : {1, 7, 40}) {
            if (layout != SepLayout::kRandom && colours != 3) continue;  // the colour count plays no part
            const bool big = d.columns * d.rows >= 1000000;
            if (big && !((layout == SepLayout::kRandom && colours == 30 && largest == 7 && !diagonals) ||
                         (layout == SepLayout::kOneColour && largest == 7 && !diagonals) ||
                         (layout == SepLayout::kCheckerboard && largest == 7)))
              continue;  // time
            SCOPED_TRACE(std::string(d.name) + ", " + layoutName + ", colours " + std::to_string(colours) +
                         ", largest " + std::to_string(largest) + (diagonals ? ", diagonals" : ""));
            CPattern design = DesignOf(d, seed++);
            std::mt19937 rng(seed++);
            const int columns = static_cast<int>(design.GetColumnCount());
            for (size_t i = 0; i < design.m_beads.size(); ++i) {
              CBead& b = design.m_beads[i];
              switch (layout) {
                case SepLayout::kRandom:
                case SepLayout::kShortList:
                  b.SetColorIndex(static_cast<int>(rng() % colours));  // drops the path colour
                  if (d.pathOneIn && rng() % d.pathOneIn == 0) b.SetPathColor();
                  break;
                case SepLayout::kOneColour:
                  b.SetColorIndex(2);
                  b.m_present = 1;
                  break;
                case SepLayout::kCheckerboard:
                  b.SetColorIndex(static_cast<int>((i % columns + i / columns) % 2));
                  b.m_present = 1;
                  break;
                case SepLayout::kNoBeads:
                  b.m_present = 0;
                  break;
              }
            }
            if (layout == SepLayout::kShortList) design.m_beads.resize(design.m_beads.size() * 2 / 3);
            if (layout == SepLayout::kRandom && colours == 3 && !design.m_beads.empty())
              design.m_beads[0].SetColorIndex(colours + 5);  // outside
            CColorSet palette = RandomPalette(colours, seed++);
            CColorUsage usage(&design);
            palette.CountUsage(usage);
            CSepStitchFinder finder;
            const bool found = finder.Find(design, palette, largest, diagonals, nullptr);
            std::vector<oldops::CSepStitchGroup> before;
            const bool foundBefore = oldops::FindSeparatedBeads(design, palette, largest, diagonals, before);
            EXPECT_EQ(found, foundBefore);
            const std::vector<CSepStitchGroup>& now = finder.GetEntries();
            ASSERT_EQ(now.size(), before.size());
            for (size_t e = 0; e < now.size(); ++e) {
              EXPECT_EQ(now[e].colorIndex, before[e].colorIndex);
              EXPECT_EQ(now[e].count, before[e].count);
              ASSERT_EQ(now[e].parts.size(), before[e].parts.size());
              for (size_t p = 0; p < now[e].parts.size(); ++p)
                ASSERT_EQ(buildertest::GroupLists(now[e].parts[p]), before[e].parts[p]) << "entry " << e;
            }
          }
}
