#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "palette/ColorSet.h"

namespace {

CPaletteColor MakeColor(BYTE r, BYTE g, BYTE b, const char* name, DWORD count = 0) {
  CPaletteColor c(CRgbTriple(r, g, b), name, count, 0, kDefaultBeadsPerTube, 0);
  return c;
}

}  // namespace

TEST(PaletteColorTest, TubesShortageAndCosts) {
  CPaletteColor c = MakeColor(1, 2, 3, "A");
  c.beadsPerTube = 225;
  EXPECT_EQ(c.TubesFor(0), 0u);
  EXPECT_EQ(c.TubesFor(225), 1u);
  EXPECT_EQ(c.TubesFor(226), 2u);
  EXPECT_EQ(c.TubesFor(0xFFFFFFFFu), 0xFFFFFFFFu / 225 + 1);
  c.count = 500;
  c.tubePrice = 250;
  EXPECT_EQ(c.GetTubesUsed(), 3u);
  EXPECT_EQ(c.GetCostSummary(), 750u);
  EXPECT_EQ(c.GetCostSummaryText(), "7.50");
  c.assigned = 300;
  EXPECT_EQ(c.GetShortage(), 200u);
  EXPECT_EQ(c.GetTubesShortage(), 1u);
  EXPECT_EQ(c.GetCostShortageText(), "2.50");
  c.assigned = 600;
  EXPECT_EQ(c.GetShortage(), 0u);
  c.assigned = -1;  // compared as unsigned: far above any count
  EXPECT_EQ(c.GetShortage(), 0u);
  // A record without a tube size has no tubes and costs nothing.
  c.beadsPerTube = 0;
  c.assigned = 0;
  EXPECT_EQ(c.GetTubesUsed(), 0u);
  EXPECT_EQ(c.GetCostSummary(), 0u);
  EXPECT_EQ(c.GetCostShortageText(), "0.00");
}

TEST(PaletteColorTest, MoneyTextsAndNames) {
  EXPECT_EQ(FormatMoney(123456), "1 234.56");
  EXPECT_EQ(FormatMoney(5), "0.05");
  EXPECT_EQ(FormatMoney(0), "0.00");
  EXPECT_EQ(FormatMoney(100000000), "1 000 000.00");
  EXPECT_EQ(FormatMoney5(150000), "1.50000");
  EXPECT_EQ(FormatMoney5(7), "0.00007");
  EXPECT_EQ(FormatMoney5(4294967295u), "42 949.67295");
  EXPECT_EQ(FormatGroupedDigits(1234567, ','), "1,234,567");
  EXPECT_EQ(FormatGroupedDigits(123, ','), "123");
  EXPECT_EQ(FormatGroupedDigits(1000, ' '), "1 000");
  CPaletteColor c = MakeColor(0, 0, 0, "AB-0001");
  EXPECT_EQ(c.OmitName(3), "0001");
  EXPECT_EQ(c.OmitName(7), "");
  EXPECT_EQ(c.OmitName(100), "");
}

TEST(PaletteColorTest, SortPredicates) {
  const CPaletteColor dark = MakeColor(10, 10, 10, "b", 5), light = MakeColor(200, 200, 200, "a", 9);
  EXPECT_TRUE(CompareDarkerFirst(dark, light));
  EXPECT_TRUE(CompareLighterFirst(light, dark));
  EXPECT_TRUE(CompareNameAscending(light, dark));
  EXPECT_TRUE(CompareNameDescending(dark, light));
  EXPECT_TRUE(CompareUsageAscending(dark, light));
  EXPECT_TRUE(CompareUsageDescending(light, dark));
  // Names compare as signed bytes: 0xE0 sorts before 'a'; a shorter common
  // start sorts first.
  const CPaletteColor cyr = MakeColor(0, 0, 0, "\xE0");
  EXPECT_TRUE(CompareNameAscending(cyr, light));
  EXPECT_TRUE(CompareNameAscending(MakeColor(0, 0, 0, "ab"), MakeColor(0, 0, 0, "abc")));
  CPaletteColor s1 = dark, s2 = light;
  s1.symbol = -1;  // unsigned: the largest
  s2.symbol = 65;
  EXPECT_TRUE(CompareSymbolAscending(s2, s1));
  EXPECT_TRUE(CompareSymbolDescending(s1, s2));
  s1.symbolVariant = 2;
  EXPECT_TRUE(CompareVariantAscending(s2, s1));
  EXPECT_TRUE(CompareVariantDescending(s1, s2));
}

TEST(ColorSetTest, EmptyPaletteAnswersWithoutCrashing) {
  CColorSet set;
  int distance = 0;
  EXPECT_EQ(set.FindNearestColor(1, 2, 3, distance), -1);
  EXPECT_EQ(distance, 100000);
  EXPECT_EQ(set.GetColor(0), nullptr);
  EXPECT_EQ(set.GetColor(-1), nullptr);
  EXPECT_EQ(set.GetItem(0).mfgName, "");
  EXPECT_EQ(set.GetItem(5).beadsPerTube, kDefaultBeadsPerTube);
  EXPECT_EQ(set.GetColorrefAt(0), 0xFFFFFFFFu);
  CPaletteColor out;
  EXPECT_FALSE(set.GetColorCopy(0, out));
  EXPECT_EQ(set.GetNthChecked(0), -1);
  set.AssignSymbolsByCounts({});
  set.EnsureDistinctSymbols();
}

TEST(ColorSetTest, LookupsByIndexAndName) {
  CColorSet set;
  set.Append(MakeColor(1, 1, 1, "A"));
  set.Append(MakeColor(2, 2, 2, "B"));
  set.Append(MakeColor(3, 3, 3, "B"));
  EXPECT_EQ(set.GetCount(), 3);
  EXPECT_EQ(set.GetItem(-1).mfgName, "A");
  EXPECT_EQ(set.GetItem(3).mfgName, "A");
  EXPECT_EQ(set.GetColor(-1), nullptr);
  EXPECT_EQ(set.GetColor(7)->mfgName, "A");
  EXPECT_EQ(set.GetColorrefAt(1), 0x020202u);
  CPaletteColor out;
  EXPECT_TRUE(set.GetColorCopy(2, out));
  EXPECT_EQ(out.GetRgb().red, 3);
  EXPECT_FALSE(set.GetColorCopy(3, out));
  EXPECT_EQ(set.FindByName("B")->GetRgb().red, 2);
  EXPECT_EQ(set.FindByName("C"), nullptr);
  EXPECT_TRUE(set.SetSymbolByName("B", 66));
  EXPECT_FALSE(set.SetSymbolByName("C", 66));
  EXPECT_EQ(set.GetItem(1).symbol, 66);
  set.SetColorSymbol(2, 0x141, 2);
  EXPECT_EQ(set.GetItem(2).symbolVariant, 2);
  // Only used colours count, and the code is compared by its low byte.
  EXPECT_FALSE(set.IsSymbolUsed(0x41));
  set.GetColor(2)->count = 1;
  EXPECT_FALSE(set.IsSymbolUsed(0x41));
  set.SetColorSymbol(2, 0x41, 0);
  EXPECT_TRUE(set.IsSymbolUsed(0x141));
  EXPECT_EQ(set.GetUsedCount(), 1);
  EXPECT_EQ(set.CountUsedColors(), 1);
  set.ClearUsage();
  EXPECT_EQ(set.GetUsedCount(), 0);
}

TEST(ColorSetTest, CheckedColours) {
  CColorSet set;
  for (int i = 0; i < 5; ++i) set.Append(MakeColor(static_cast<BYTE>(i), 0, 0, "x"));
  set.GetColor(0)->SetInUse(0);
  set.GetColor(3)->SetInUse(0);
  EXPECT_EQ(set.GetCheckedCount(), 3);
  EXPECT_EQ(set.GetNthChecked(0), 1);
  EXPECT_EQ(set.GetNthChecked(2), 4);
  EXPECT_EQ(set.GetNthChecked(3), -1);
  set.CheckAll();
  EXPECT_EQ(set.GetCheckedCount(), 5);
}

TEST(ColorSetTest, NearestColourTiesAndUnusedColours) {
  CColorSet set;
  set.Append(MakeColor(10, 0, 0, "far"));
  set.Append(MakeColor(0, 0, 0, "a"));       // distance 5 from (3,4,0)
  set.Append(MakeColor(6, 8, 0, "b"));       // distance 5 as well
  set.Append(MakeColor(3, 4, 1, "unused"));  // nearer, not in use
  set.GetColor(3)->SetInUse(0);
  int distance = 0;
  EXPECT_EQ(set.FindNearestColor(3, 4, 0, distance), 1);
  EXPECT_EQ(distance, 5);
  EXPECT_EQ(set.FindNearestToTriple(CRgbTriple(3, 4, 0)), 1);
  EXPECT_EQ(set.FindNearestColorref(RGB(3, 4, 0)), 1);
  // Distances that round equal tie as well: (1,1,0) rounds to 1 like (1,0,0).
  CColorSet round;
  round.Append(MakeColor(1, 1, 0, "x"));
  round.Append(MakeColor(1, 0, 0, "y"));
  EXPECT_EQ(round.FindNearestColor(0, 0, 0, distance), 0);
  EXPECT_EQ(distance, 1);
  // A change of the in-use flag through the accessor is seen by the next search.
  set.GetColor(3)->SetInUse(1);
  EXPECT_EQ(set.FindNearestColor(3, 4, 0, distance), 3);
  set.GetColorsForEdit()[3].SetRgb(CRgbTriple(200, 200, 200));
  EXPECT_EQ(set.FindNearestColor(3, 4, 0, distance), 1);
  set.CheckAll();
  CPaletteColor* kept = set.GetColor(0);
  EXPECT_EQ(set.FindNearestColor(10, 0, 0, distance), 0);
  kept->SetInUse(0);
  EXPECT_NE(set.FindNearestColor(10, 0, 0, distance), 0);
}

TEST(ColorSetTest, NearestColourSeesChangesMadeThroughKeptRecords) {
  // A colour list keeps pointers and references from GetColor / GetItem and
  // changes colours through them between searches.
  CColorSet set;
  set.Append(MakeColor(0, 0, 0, "black"));
  set.Append(MakeColor(100, 100, 100, "grey"));
  set.Append(MakeColor(250, 250, 250, "white"));
  CPaletteColor* grey = set.GetColor(1);
  CPaletteColor& white = set.GetItem(2);
  int distance = 0;
  auto expectPlain = [&](int r, int g, int b, int expected) {
    int plainDistance = 0;
    EXPECT_EQ(set.FindNearestColor(r, g, b, distance), expected) << r << " " << g << " " << b;
    EXPECT_EQ(FindNearestColorPlain(set.GetColors(), r, g, b, plainDistance), expected);
    EXPECT_EQ(distance, plainDistance);
  };
  expectPlain(110, 110, 110, 1);
  grey->SetInUse(0);  // switched off
  expectPlain(110, 110, 110, 0);
  grey->SetInUse(1);  // and on again
  expectPlain(110, 110, 110, 1);
  grey->SetRgb(CRgbTriple(240, 240, 240));  // recoloured
  expectPlain(110, 110, 110, 0);
  expectPlain(242, 242, 242, 1);
  white = MakeColor(110, 110, 110, "copied");  // a whole record assigned
  expectPlain(110, 110, 110, 2);
  white.SetInUse(0);
  expectPlain(110, 110, 110, 0);
  white.SetInUse(1);
  std::vector<CPaletteColor>& edit = set.GetColorsForEdit();  // kept and used later
  expectPlain(5, 5, 5, 0);
  edit.clear();
  edit.push_back(MakeColor(10, 10, 10, "a"));
  edit.push_back(MakeColor(200, 0, 0, "b"));
  edit.push_back(MakeColor(0, 200, 0, "c"));
  expectPlain(5, 5, 5, 0);
  expectPlain(190, 10, 10, 1);
  edit.pop_back();
  expectPlain(10, 190, 10, 0);
}

TEST(ColorSetTest, NearestColourAgreesWithThePlainSearch) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    CColorSet set;
    const int n = 1 + static_cast<int>(rng() % 300);
    // Few distinct levels make many exact and rounded ties.
    const int levels = round % 2 ? 6 : 256;
    for (int i = 0; i < n; ++i) {
      CPaletteColor c = MakeColor(static_cast<BYTE>(rng() % levels * (255 / std::max(1, levels - 1))),
                                  static_cast<BYTE>(rng() % levels * (255 / std::max(1, levels - 1))),
                                  static_cast<BYTE>(rng() % levels * (255 / std::max(1, levels - 1))), "c");
      c.SetInUse(rng() % 5 != 0);
      set.Append(c);
    }
    for (int q = 0; q < 3000; ++q) {
      const int r = static_cast<int>(rng() % 256), g = static_cast<int>(rng() % 256), b = static_cast<int>(rng() % 256);
      int d1 = 0, d2 = 0;
      const int fast = set.FindNearestColor(r, g, b, d1);
      const int plain = FindNearestColorPlain(set.GetColors(), r, g, b, d2);
      ASSERT_EQ(fast, plain) << round << " " << r << " " << g << " " << b;
      ASSERT_EQ(d1, d2);
      // The memo answers the same a second time.
      ASSERT_EQ(set.FindNearestColor(r, g, b, d1), plain);
    }
  }
}

TEST(ColorSetTest, CopyKeepsHeaderButNotLibraryAndAssignmentKeepsTargetHeader) {
  CColorSet source;
  source.Append(MakeColor(1, 2, 3, "A"));
  source.SetKind(CColorSet::kKindSheetDataAndImage);
  source.SetFilePath("/x/y.pal");
  source.SetImageLibPath(kInnerImageLibPath);
  source.GetHeader().version = 3;
  source.GetHeader().unusedTexts[0] = "source";
  const BYTE lib[22] = {'M', 'o', 's', 'a', 'i', 'c', 'I', 'm', 'a', 'g', 'e', 'L', 'i', 'b', 'r', 'a', 'r', 'y', 0, 0, 0, 0};
  source.GetImageLib().SetData(lib, sizeof lib);
  source.SetModified(true);

  CColorSet copy(source);
  EXPECT_EQ(copy.GetCount(), 1);
  EXPECT_EQ(copy.GetHeader().unusedTexts[0], "source");
  EXPECT_EQ(copy.GetHeader().version, 3);
  EXPECT_EQ(copy.GetImageLib().GetSize(), 0);
  EXPECT_EQ(copy.GetKind(), CColorSet::kKindSheetDataAndImage);
  EXPECT_EQ(copy.GetFilePath(), "/x/y.pal");
  EXPECT_TRUE(copy.IsModified());

  CColorSet target;
  target.GetHeader().unusedTexts[0] = "target";
  target.GetImageLib().SetData(lib, sizeof lib);
  target = source;
  EXPECT_EQ(target.GetHeader().unusedTexts[0], "target");
  EXPECT_EQ(target.GetImageLib().GetSize(), 0);
  EXPECT_EQ(target.GetItem(0).mfgName, "A");
  EXPECT_EQ(target.GetImageLibPath(), kInnerImageLibPath);
  target = target;
  EXPECT_EQ(target.GetCount(), 1);
}

TEST(ColorSetTest, SymbolsThatCannotBeToldApartAreRenumberedFromTheDesignsList) {
  // A chart's symbols: when the used colours' symbols clash or print
  // nothing, they are numbered again from the design's list (digits and
  // letters by default), most used first; never punctuation specks.
  struct Case {
    const char* name;
    std::vector<int> symbols;  // per colour
    std::vector<DWORD> counts;
    std::vector<DWORD> designCodes;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"all symbols 0", {0, 0, 0, 0}, {5, 9, 0, 7}, {}, {'3', '1', 0, '2'}},
      {"two colours share one", {'A', 'A', 'C'}, {1, 2, 3}, {}, {'3', '2', '1'}},
      {"one used colour at 0", {0, 'Q'}, {4, 0}, {}, {'1', 'Q'}},
      {"a blank symbol", {'x', ' '}, {2, 1}, {}, {'1', '2'}},
      {"the design's own list, blanks left out", {7, 7}, {1, 2}, {0, 32, 'K', 'L'}, {'L', 'K'}},
      {"distinct printable symbols stay", {'%', 'z', 1000}, {1, 1, 1}, {}, {'%', 'z', 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CColorSet set;
    for (size_t i = 0; i < c.symbols.size(); ++i) {
      set.Append(MakeColor(0, 0, static_cast<BYTE>(i), "c", c.counts[i]));
      set.GetColor(static_cast<int>(i))->symbol = c.symbols[i];
    }
    set.EnsureDistinctSymbols(c.designCodes);
    for (size_t i = 0; i < c.symbols.size(); ++i)
      EXPECT_EQ(set.GetItem(static_cast<int>(i)).symbol, c.expected[i]) << i;
  }
  // Without a list: the default one (the signature the dialogs call).
  CColorSet set;
  for (int i = 0; i < 70; ++i) set.Append(MakeColor(0, 0, static_cast<BYTE>(i), "c", 100 - i));
  set.EnsureDistinctSymbols();
  EXPECT_EQ(set.GetItem(0).symbol, '1');
  EXPECT_EQ(set.GetItem(9).symbol, 'A');
  EXPECT_EQ(set.GetItem(34).symbol, 'a');
  for (int i = 0; i < 70; ++i) {
    EXPECT_GT(set.GetItem(i).symbol, 32) << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(set.GetItem(i).symbol, set.GetItem(j).symbol) << i << " " << j;
  }
}

TEST(ColorSetTest, SymbolsByCountMostUsedFirst) {
  CColorSet set;
  set.Append(MakeColor(0, 0, 0, "same", 5));
  set.Append(MakeColor(0, 0, 1, "same", 50));
  set.Append(MakeColor(0, 0, 2, "", 0));
  set.Append(MakeColor(0, 0, 3, "", 20));
  set.AssignSymbolsByCounts({65, 66, 67});
  // Order by count: 1 (50), 3 (20), 0 (5), 2 (0); the cursor wraps after 3.
  EXPECT_EQ(set.GetItem(1).symbol, 65);
  EXPECT_EQ(set.GetItem(3).symbol, 66);
  EXPECT_EQ(set.GetItem(0).symbol, 67);
  EXPECT_EQ(set.GetItem(2).symbol, 65);
  EXPECT_EQ(set.GetItem(1).symbolVariant, 0);
  EXPECT_EQ(set.GetItem(3).symbolVariant, 1);
  EXPECT_EQ(set.GetItem(0).symbolVariant, 2);
  EXPECT_EQ(set.GetItem(2).symbolVariant, 0);
  // An empty code list stands for the default one: 1..9 first.
  set.AssignSymbolsByCounts({});
  EXPECT_EQ(set.GetItem(1).symbol, '1');
  EXPECT_EQ(set.GetItem(3).symbol, '2');
  EXPECT_EQ(set.GetItem(2).symbol, '4');
}

TEST(ColorSetTest, UsedColoursAndOmitNames) {
  CColorSet set;
  set.Append(MakeColor(0, 0, 0, "AB-0001", 3));
  set.Append(MakeColor(0, 0, 0, "XYZ", 0));
  set.Append(MakeColor(0, 0, 0, "AC-0001", 1));
  std::vector<CPaletteColor> used;
  set.CollectUsedColors(used);
  ASSERT_EQ(used.size(), 2u);
  EXPECT_EQ(used[1].mfgName, "AC-0001");

  CString reason;
  EXPECT_FALSE(set.CheckOmitNames(3, true, reason));
  EXPECT_EQ(reason, "Wrong omit value 3\nMfg names <AC-0001> and <AB-0001> affect the same omitted name <0001>");
  EXPECT_FALSE(set.CheckOmitNames(2, false, reason));
  EXPECT_EQ(reason, "Wrong omit value 2\nMfg names <AC-0001> and <AB-0001> affect the same omitted name <-0001>");
  EXPECT_TRUE(set.CheckOmitNames(1, true, reason));
  set.GetColor(2)->mfgName = "AC-0002";
  EXPECT_FALSE(set.CheckOmitNames(3, false, reason));
  EXPECT_EQ(reason, "Wrong omit value 3\nMfg name <XYZ> becomes blank");
  EXPECT_TRUE(set.CheckOmitNames(3, true, reason));
  EXPECT_FALSE(set.ApplyOmitName(3));
  EXPECT_EQ(set.GetItem(0).mfgName, "0001");
  EXPECT_EQ(set.GetItem(1).mfgName, "");
  set.GetColor(1)->mfgName = "Z";
  EXPECT_TRUE(set.ApplyOmitName(0));
}

TEST(ColorSetTest, VersionTextsAndModifiedFlag) {
  CColorSet set;
  CString text;
  const char* expected[] = {"Version: Without Sheet Data", "Version: With Sheet Data, Without Image",
                            "Version: With Sheet Data, With Image", "???"};
  for (int kind = 0; kind < 4; ++kind) {
    set.SetKind(kind);
    set.GetVersionText(text);
    EXPECT_EQ(text, expected[kind]);
  }
  EXPECT_FALSE(set.SetModified(true));
  EXPECT_TRUE(set.SetModified(false));
  EXPECT_FALSE(set.IsModified());
}

TEST(ImageLibTest, TagEntriesAndEmptiness) {
  auto make = [](std::vector<BYTE> entries, DWORD count) {
    std::vector<BYTE> v = {'M', 'o', 's', 'a', 'i', 'c', 'I', 'm', 'a', 'g', 'e', 'L', 'i', 'b', 'r', 'a', 'r', 'y'};
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<BYTE>(count >> (8 * i)));
    v.insert(v.end(), entries.begin(), entries.end());
    return v;
  };
  CImageLib lib;
  EXPECT_TRUE(lib.IsEmpty());
  std::vector<BYTE> block = make({}, 0);
  lib.SetData(block.data(), static_cast<int>(block.size()));
  EXPECT_TRUE(lib.CheckTag());
  EXPECT_TRUE(lib.IsEmpty());
  block = make({'a', 0, 'b', 0, 3, 0, 0, 0, 9, 0, 0, 0, 1, 2, 3}, 1);
  lib.SetData(block.data(), static_cast<int>(block.size()));
  EXPECT_FALSE(lib.IsEmpty());
  ASSERT_TRUE(lib.Rewind());
  EXPECT_EQ(lib.GetEntryCount(), 1u);
  CImageLibEntry entry;
  int offset = 0;
  ASSERT_TRUE(lib.NextEntry(entry, offset));
  EXPECT_EQ(offset, 22);
  EXPECT_EQ(entry.name, "a");
  EXPECT_EQ(entry.text, "b");
  EXPECT_EQ(entry.dataSize, 3u);
  EXPECT_EQ(entry.value, 9u);
  EXPECT_FALSE(lib.NextEntry(entry, offset));
  // An entry whose data runs past the block does not count.
  block = make({'a', 0, 'b', 0, 4, 0, 0, 0, 9, 0, 0, 0, 1, 2, 3}, 1);
  lib.SetData(block.data(), static_cast<int>(block.size()));
  EXPECT_TRUE(lib.IsEmpty());
  block[0] = 'm';
  lib.SetData(block.data(), static_cast<int>(block.size()));
  EXPECT_FALSE(lib.CheckTag());
  EXPECT_EQ(lib.GetStreamSize(), static_cast<int>(block.size()) + 4);
}
