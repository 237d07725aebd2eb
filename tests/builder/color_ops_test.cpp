#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "builder/ColorOps.h"
#include "core/HslColor.h"
#include "palette/ColorSet.h"
#include "tests/builder/builder_test_util.h"

using buildertest::MakeDesign;

namespace {

CColorSet MakePalette(const std::vector<COLORREF>& colors) {
  CColorSet set;
  for (COLORREF c : colors) set.Append(CPaletteColor(CRgbTriple::FromColorref(c), "c", 0, 0, 225, 0));
  return set;
}

std::set<int> UsedIndexes(const CPattern& design) {
  std::set<int> used;
  for (const CBead& b : design.m_beads)
    if (b.m_present) used.insert(b.GetColorIndex(design.m_pathColor));
  return used;
}

}  // namespace

TEST(ColorOpsTest, BrightnessContrastTable) {
  BYTE table[256];
  MakeBrightnessContrastTable(0, 0, table);
  for (int x = 0; x <= 128; ++x) EXPECT_EQ(table[x], x);
  EXPECT_EQ(table[129], 128);  // the factor is 0.99999998, not 1
  EXPECT_EQ(table[255], 254);
  MakeBrightnessContrastTable(200, 0, table);
  EXPECT_EQ(table[54], 254);
  for (int x = 55; x < 256; ++x) EXPECT_EQ(table[x], 255);
  MakeBrightnessContrastTable(0, -100, table);
  for (int x = 0; x < 256; ++x) EXPECT_EQ(table[x], 128);
  MakeBrightnessContrastTable(-255, 100, table);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[255], 126);  // -127 + 2 x 127 x 0.99999998
  MakeBrightnessContrastTable(0, 100, table);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[100], 72);  // 128 - 2 x 28 x 0.99999998 = 72.0000011
  EXPECT_EQ(table[200], 255);
}

TEST(ColorOpsTest, BrightnessContrastOnADesign) {
  CColorSet palette = MakePalette({RGB(100, 100, 100), RGB(150, 150, 150), RGB(255, 255, 255), RGB(0, 0, 0)});
  palette.GetColor(3)->SetInUse(0);
  CPattern design = MakeDesign(4, 1);
  buildertest::Paint(design, {"0123"});
  design.m_beads[1].m_present = 0;  // absent beads are adjusted too
  design.m_pathColor = 1;
  design.m_beads[3].SetPathColor();  // shows colour 0
  design.SetModified(false);
  AdjustBrightnessContrast(design, palette, 50, 0);
  EXPECT_EQ(design.m_beads[0].m_colorIndex, 1);  // 150 -> 150
  EXPECT_EQ(design.m_beads[1].m_colorIndex, 1);  // 150 -> 200, nearer 150 than 255
  EXPECT_EQ(design.m_beads[2].m_colorIndex, 2);
  EXPECT_EQ(design.m_beads[3].m_colorIndex, 1);  // its shown colour, path mark cleared
  EXPECT_FALSE(design.m_beads[3].IsPathColor());
  EXPECT_TRUE(design.IsModified());
  // A bead whose colour lies outside the palette is left as it is.
  design.m_beads[0].SetColorIndex(-1);
  design.m_beads[1].SetColorIndex(9);
  AdjustBrightnessContrast(design, palette, 0, 0);
  EXPECT_EQ(design.m_beads[0].m_colorIndex, -1);
  EXPECT_EQ(design.m_beads[1].m_colorIndex, 9);
}

TEST(ColorOpsTest, HslShiftsWrap) {
  int h = 0;
  float s = 0, l = 0;
  NormalizeHslShifts(370, -10, 250, h, s, l);
  EXPECT_EQ(h, 10);
  EXPECT_FLOAT_EQ(s, 0.9f);
  EXPECT_FLOAT_EQ(l, 0.5f);
  NormalizeHslShifts(-30, 0, -100, h, s, l);
  EXPECT_EQ(h, 330);
  EXPECT_EQ(l, 0.0f);
  // Saturation 0.05 shifted by -10 percent wraps to 0.95.
  const COLORREF color = RGB(126, 120, 114);  // saturation 12 / 240 = 0.05
  CHslColor before(color);
  EXPECT_FLOAT_EQ(before.GetSaturation(), 0.05f);
  NormalizeHslShifts(0, -10, 0, h, s, l);
  CHslColor after(ShiftColorHsl(color, h, s, l));
  EXPECT_NEAR(after.GetSaturation(), 0.95f, 0.01f);
  // Hue: red shifted by 120 is green.
  EXPECT_EQ(ShiftColorHsl(RGB(255, 0, 0), 120, 0.0f, 0.0f), RGB(0, 255, 0));
}

TEST(ColorOpsTest, HslOnADesignKeepsTheModifiedByte) {
  CColorSet palette = MakePalette({RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
  CPattern design = MakeDesign(3, 1);
  buildertest::Paint(design, {"012"});
  design.SetModified(false);
  AdjustHsl(design, palette, 120 + 360, 0, 0);
  EXPECT_EQ(design.m_beads[0].m_colorIndex, 1);
  EXPECT_EQ(design.m_beads[1].m_colorIndex, 2);
  EXPECT_EQ(design.m_beads[2].m_colorIndex, 0);
  EXPECT_FALSE(design.IsModified());
  AdjustHsl(design, palette, -120, 0, 0);
  EXPECT_EQ(design.m_beads[0].m_colorIndex, 0);
}

TEST(ColorOpsTest, ReduceColors) {
  // Five palette colours; the beads' cached colours are those colours with
  // 10, 2, 6, 5 and 1 beads.
  const std::vector<COLORREF> colors = {RGB(255, 0, 0), RGB(200, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                        RGB(0, 0, 150)};
  const int counts[] = {10, 2, 6, 5, 1};
  CColorSet palette = MakePalette(colors);
  auto make = [&] {
    CPattern design = MakeDesign(24, 1);
    int b = 0;
    for (int c = 0; c < 5; ++c)
      for (int n = 0; n < counts[c]; ++n) {
        design.m_beads[static_cast<size_t>(b)].m_cachedColor = colors[static_cast<size_t>(c)];
        design.m_beads[static_cast<size_t>(b++)].SetColorIndex(0);
      }
    return design;
  };
  for (int target : {0, 5, 6}) {
    CPattern design = make();
    ReduceColors(design, palette, target, "");
    EXPECT_EQ(UsedIndexes(design), (std::set<int>{0, 1, 2, 3, 4})) << target;
    EXPECT_TRUE(design.IsModified());
  }
  CPattern design = make();
  std::vector<CColorCluster> clusters;
  BuildColorClusters(design, palette, clusters, "");
  ASSERT_EQ(clusters.size(), 5u);
  EXPECT_EQ(clusters[0].key, colors[0]);
  EXPECT_EQ(clusters[0].count, 10);
  MergeColorClusters(clusters, 3);
  ASSERT_EQ(clusters.size(), 3u);
  // Navy (1 bead) goes to blue, then dark red (2) to red.
  EXPECT_EQ(clusters[0].key, colors[0]);
  EXPECT_EQ(clusters[0].count, 12);
  EXPECT_EQ(clusters[1].key, colors[2]);
  EXPECT_EQ(clusters[2].key, colors[3]);
  EXPECT_EQ(clusters[2].count, 6);
  ASSERT_EQ(clusters[2].members.size(), 2u);
  EXPECT_EQ(clusters[2].members[1].color, colors[4]);

  design = make();
  design.m_beads[23].m_cachedColor = RGB(0, 0, 170);  // nearest navy, then blue
  ReduceColors(design, palette, 3, "");
  EXPECT_EQ(UsedIndexes(design), (std::set<int>{0, 2, 3}));
  EXPECT_EQ(design.m_beads[10].m_colorIndex, 0);  // dark red became red
  EXPECT_EQ(design.m_beads[23].m_colorIndex, 3);

  // Absent beads are not grouped; beads keep their colour when no palette
  // colour is in use.
  design = make();
  design.m_beads[0].m_present = 0;
  design.m_beads[0].SetColorIndex(4);
  ReduceColors(design, palette, 1, "");
  EXPECT_EQ(design.m_beads[0].m_colorIndex, 4);
  EXPECT_EQ(UsedIndexes(design), (std::set<int>{0}));
  CColorSet none = MakePalette(colors);
  for (int i = 0; i < 5; ++i) none.GetColor(i)->SetInUse(0);
  design = make();
  ReduceColors(design, none, 2, "");
  EXPECT_EQ(UsedIndexes(design), (std::set<int>{0}));
}

namespace {

// The colour reduction written the plain way, bead by bead, for comparison.
void ReferenceReduce(CPattern& design, const CColorSet& palette, int target) {
  std::vector<CColorCluster> groups;
  for (CBead& bead : design.m_beads) {
    if (!bead.m_present) continue;
    int d = 0;
    const COLORREF source = bead.m_cachedColor & 0xFFFFFF;
    const int index = FindNearestColorPlain(palette.GetColors(), GetRValue(source), GetGValue(source),
                                            GetBValue(source), d);
    if (index < 0) continue;
    bead.SetColorIndex(index);
    const COLORREF key = palette.GetColorrefAt(index);
    auto g = std::find_if(groups.begin(), groups.end(), [&](const CColorCluster& c) { return c.key == key; });
    if (g == groups.end()) {
      groups.push_back(CColorCluster{key, 0, {}});
      g = groups.end() - 1;
    }
    auto m = std::find_if(g->members.begin(), g->members.end(), [&](const CColorClusterMember& x) { return x.color == source; });
    if (m == g->members.end())
      g->members.push_back(CColorClusterMember{source, 1});
    else
      ++m->count;
    ++g->count;
  }
  auto nearestKey = [&](COLORREF color) {
    size_t best = 0;
    for (size_t i = 1; i < groups.size(); ++i)
      if (SquaredColorDistance(groups[i].key, color) < SquaredColorDistance(groups[best].key, color)) best = i;
    return best;
  };
  if (target > 0 && static_cast<size_t>(target) < groups.size()) {
    while (groups.size() > static_cast<size_t>(target)) {
      std::stable_sort(groups.begin(), groups.end(),
                       [](const CColorCluster& a, const CColorCluster& b) { return a.count > b.count; });
      CColorCluster removed = groups.back();
      groups.pop_back();
      for (const CColorClusterMember& m : removed.members) {
        CColorCluster& into = groups[nearestKey(m.color)];
        auto same = std::find_if(into.members.begin(), into.members.end(),
                                 [&](const CColorClusterMember& x) { return x.color == m.color; });
        if (same != into.members.end())
          same->count += m.count;
        else
          into.members.push_back(m);
        into.count += m.count;
      }
    }
    for (CBead& bead : design.m_beads) {
      if (!bead.m_present) continue;
      const COLORREF key = groups[nearestKey(bead.m_cachedColor & 0xFFFFFF)].key;
      int d = 0;
      bead.SetColorIndex(FindNearestColorPlain(palette.GetColors(), GetRValue(key), GetGValue(key), GetBValue(key), d));
    }
  }
}

}  // namespace

TEST(ColorOpsTest, ReduceColorsAgreesWithThePlainWay) {
  std::mt19937 rng(11);
  for (int round = 0; round < 30; ++round) {
    // Few levels make ties of counts and of distances.
    const int levels = round % 3 == 0 ? 4 : (round % 3 == 1 ? 16 : 256);
    auto channel = [&] { return static_cast<BYTE>(rng() % levels * (255 / (levels - 1))); };
    std::vector<COLORREF> colors;
    const int paletteSize = 2 + static_cast<int>(rng() % 40);
    for (int i = 0; i < paletteSize; ++i) colors.push_back(RGB(channel(), channel(), channel()));
    CColorSet palette = MakePalette(colors);
    for (int i = 0; i < paletteSize; ++i)
      if (rng() % 6 == 0) palette.GetColor(i)->SetInUse(0);
    CPattern design = MakeDesign(30, 20);
    for (CBead& b : design.m_beads) {
      b.m_cachedColor = RGB(channel(), channel(), channel()) | (rng() % 2 ? 0x7F000000u : 0);
      b.m_present = rng() % 10 != 0;
    }
    const int target = static_cast<int>(rng() % 12);
    CPattern fast = design, plain = design;
    ReduceColors(fast, palette, target, "");
    ReferenceReduce(plain, palette, target);
    for (size_t i = 0; i < design.m_beads.size(); ++i)
      ASSERT_EQ(fast.m_beads[i].m_colorIndex, plain.m_beads[i].m_colorIndex) << round << " bead " << i;
  }
}
