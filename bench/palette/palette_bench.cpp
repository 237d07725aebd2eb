#include <benchmark/benchmark.h>

#include <random>

#include "palette/ColorSet.h"

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

void BM_FindNearestColor(benchmark::State& state) {
  const CColorSet set = MakePalette(500, 1);
  std::mt19937 rng(2);
  std::vector<COLORREF> queries(1000000);
  for (COLORREF& q : queries) q = rng() & 0xFFFFFF;
  for (auto _ : state) {
    long long sum = 0;
    for (COLORREF q : queries) sum += set.FindNearestColorref(q);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FindNearestColor)->Unit(benchmark::kMillisecond);

void BM_FindNearestColorPlain(benchmark::State& state) {
  const CColorSet set = MakePalette(500, 1);
  std::mt19937 rng(2);
  std::vector<COLORREF> queries(1000000);
  for (COLORREF& q : queries) q = rng() & 0xFFFFFF;
  for (auto _ : state) {
    long long sum = 0;
    int d = 0;
    for (COLORREF q : queries) sum += FindNearestColorPlain(set.GetColors(), GetRValue(q), GetGValue(q), GetBValue(q), d);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FindNearestColorPlain)->Unit(benchmark::kMillisecond);

}  // namespace
