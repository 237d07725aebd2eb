// Benchmarks of the palette subsystem: the nearest-colour search, the
// whole-design colour operations, the separated-bead finder and the Gosper
// stitch path.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <random>

#include "builder/ColorOps.h"
#include "builder/SepStitchFinder.h"
#include "design/StitchPath.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "tests/builder/builder_test_util.h"
#include "tests/builder/old_ops.h"
#include "tests/design/old_gosper.h"

namespace {

CColorSet MakePalette(int colours, unsigned seed) {
  CColorSet set;
  std::mt19937 rng(seed);
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(rng()), static_cast<BYTE>(rng()), static_cast<BYTE>(rng())), "C",
                    0, i, kDefaultBeadsPerTube, 0);
    set.Append(c);
  }
  return set;
}

// A 1000 x 1000 design whose beads carry random picture colours, matched to
// the palette.
const CPattern& PictureDesign(const CColorSet& palette) {
  static const CPattern design = [&] {
    CPattern d = buildertest::MakeDesign(1000, 1000);
    std::mt19937 rng(3);
    for (CBead& b : d.m_beads) {
      b.m_cachedColor = rng() & 0xFFFFFF;
      b.SetColorIndex(palette.FindNearestColorref(b.m_cachedColor));
    }
    return d;
  }();
  return design;
}

const CColorSet& BigPalette() {
  static const CColorSet palette = MakePalette(500, 1);
  return palette;
}

std::vector<COLORREF> RandomColours(size_t n) {
  std::mt19937 rng(2);
  std::vector<COLORREF> v(n);
  for (COLORREF& q : v) q = rng() & 0xFFFFFF;
  return v;
}

void BM_FindNearestColor(benchmark::State& state) {
  const CColorSet& set = BigPalette();
  const std::vector<COLORREF> queries = RandomColours(1000000);
  for (auto _ : state) {
    set.ColorsChanged();  // a fresh search each run: no answers kept from the last one
    long long sum = 0;
    for (COLORREF q : queries) sum += set.FindNearestColorref(q);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(queries.size()));
}
BENCHMARK(BM_FindNearestColor)->Unit(benchmark::kMillisecond);

void BM_FindNearestColorPlainSearch(benchmark::State& state) {
  const CColorSet& set = BigPalette();
  const std::vector<COLORREF> queries = RandomColours(1000000);
  for (auto _ : state) {
    long long sum = 0;
    int d = 0;
    for (COLORREF q : queries)
      sum += FindNearestColorPlain(set.GetColors(), GetRValue(q), GetGValue(q), GetBValue(q), d);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(queries.size()));
}
BENCHMARK(BM_FindNearestColorPlainSearch)->Unit(benchmark::kMillisecond);

template <typename Operation>
void RunOnDesignCopy(benchmark::State& state, Operation operation) {
  const CColorSet& palette = BigPalette();
  const CPattern& source = PictureDesign(palette);
  for (auto _ : state) {
    state.PauseTiming();
    CPattern design = source;
    state.ResumeTiming();
    operation(design, palette);
    benchmark::DoNotOptimize(design.m_beads.data());
    state.PauseTiming();
    design = CPattern();
    state.ResumeTiming();
  }
}

void BM_ReduceColorsTo20(benchmark::State& state) {
  RunOnDesignCopy(state, [](CPattern& d, const CColorSet& p) { ReduceColors(d, p, 20, ""); });
}
BENCHMARK(BM_ReduceColorsTo20)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The code as it was, side by side (tests/builder/old_ops.h).
void BM_ReduceColorsTo20Old(benchmark::State& state) {
  RunOnDesignCopy(state, [](CPattern& d, const CColorSet& p) { oldops::ReduceColors(d, p, 20, ""); });
}
BENCHMARK(BM_ReduceColorsTo20Old)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The code before the distinct colours were found through a bitmap and the
// merging ran on flat lists, side by side.
void BM_ReduceColorsTo20Sweep(benchmark::State& state) {
  RunOnDesignCopy(state, [](CPattern& d, const CColorSet& p) { oldops::sweep::ReduceColors(d, p, 20, ""); });
}
BENCHMARK(BM_ReduceColorsTo20Sweep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_BrightnessContrast(benchmark::State& state) {
  RunOnDesignCopy(state, [](CPattern& d, const CColorSet& p) { AdjustBrightnessContrast(d, p, 30, 20); });
}
BENCHMARK(BM_BrightnessContrast)->Unit(benchmark::kMillisecond);

void BM_AdjustHsl(benchmark::State& state) {
  RunOnDesignCopy(state, [](CPattern& d, const CColorSet& p) { AdjustHsl(d, p, 40, 10, -5); });
}
BENCHMARK(BM_AdjustHsl)->Unit(benchmark::kMillisecond);

void BM_SeparatedBeadFinder(benchmark::State& state) {
  // 1000 x 1000 beads in 30 colours laid in random patches.
  CColorSet palette = MakePalette(30, 5);
  CPattern design = buildertest::MakeDesign(1000, 1000);
  std::mt19937 rng(4);
  for (CBead& b : design.m_beads) b.SetColorIndex(static_cast<int>(rng() % 30));
  CColorUsage usage(&design);
  palette.CountUsage(usage);
  size_t groups = 0;
  const bool old = state.range(1) != 0;
  for (auto _ : state) {
    groups = 0;
    if (old) {
      std::vector<oldops::CSepStitchGroup> entries;
      oldops::FindSeparatedBeads(design, palette, 7, state.range(0) != 0, entries);
      for (const oldops::CSepStitchGroup& g : entries) groups += static_cast<size_t>(g.GetRegionCount());
    } else {
      CSepStitchFinder finder;
      finder.Find(design, palette, 7, state.range(0) != 0, nullptr);
      for (const CSepStitchGroup& g : finder.GetEntries()) groups += static_cast<size_t>(g.GetRegionCount());
    }
    benchmark::DoNotOptimize(groups);
  }
  state.counters["groups"] = static_cast<double>(groups);
}
// diagonals, 1: the code as it was (tests/builder/old_ops.h), side by side.
BENCHMARK(BM_SeparatedBeadFinder)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void BM_GosperPath2000(benchmark::State& state) {
  const long before = PeakRssMb();
  for (auto _ : state) {
    state.PauseTiming();
    CPattern design = buildertest::MakeDesign(2000, 2000);
    state.ResumeTiming();
    ApplyStitchPath(design, static_cast<int>(state.range(0)), 0);
    benchmark::DoNotOptimize(design.m_beads.data());
  }
  state.counters["peak_rss_MB_before"] = static_cast<double>(before);
  state.counters["peak_rss_MB"] = static_cast<double>(PeakRssMb());
}
BENCHMARK(BM_GosperPath2000)->Arg(7)->Arg(9)->Unit(benchmark::kMillisecond)->Iterations(2);

// The path as drawn while every generation was written out as a string
// (tests/design/old_gosper.h), side by side.
void BM_GosperPath2000Old(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    CPattern design = buildertest::MakeDesign(2000, 2000);
    state.ResumeTiming();
    oldgosper::ApplyGosperPath(design, static_cast<int>(state.range(0)) - 4, 0);
    benchmark::DoNotOptimize(design.m_beads.data());
  }
}
BENCHMARK(BM_GosperPath2000Old)->Arg(7)->Arg(9)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
