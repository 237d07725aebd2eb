// The design model on a million beads: flood fill, inserting rows,
// mirroring, recording the changes between two copies, snapshot and restore.
#include <benchmark/benchmark.h>

#include "design/Pattern.h"
#include "design/PatternUndo.h"

namespace {

constexpr int kSide = 1000;

CPattern MakeDesign(int color) {
  CPattern p;
  CGridLayout layout{static_cast<float>(kSide), static_cast<float>(kSide), 1.0f, 1.0f, 0.0f, kFormatLoom};
  p.CreateGrid(layout, color);
  return p;
}

void BM_FloodFillWholeDesign(benchmark::State& state) {
  const CPattern p = MakeDesign(3);
  for (auto _ : state) {
    CIndexList list;
    p.FloodFillFrom(kSide * kSide / 2, list, state.range(0) != 0);
    if (list.size() != static_cast<size_t>(kSide) * kSide) state.SkipWithError("fill incomplete");
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_FloodFillWholeDesign)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_InsertTenRows(benchmark::State& state) {
  const CPattern source = MakeDesign(1);
  CInsertRequest request;
  request.rows = 1;
  request.block = RECT{0, 500, kSide - 1, 509};
  request.colorIndex = 2;
  for (auto _ : state) {
    state.PauseTiming();
    CPattern p(source);
    state.ResumeTiming();
    if (!p.InsertRowsOrColumns(request) || p.GetRowCount() != kSide + 10) state.SkipWithError("insert failed");
    benchmark::DoNotOptimize(p.m_beads.data());
  }
}
BENCHMARK(BM_InsertTenRows)->Unit(benchmark::kMillisecond);

void BM_Mirror(benchmark::State& state) {
  CPattern p = MakeDesign(1);
  for (auto _ : state) {
    if (state.range(0)) p.FlipHorizontal();
    else p.FlipVertical();
    benchmark::DoNotOptimize(p.m_beads.data());
  }
}
BENCHMARK(BM_Mirror)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RecordChanges(benchmark::State& state) {
  CPattern p = MakeDesign(1);
  const CBeadArray before = p.m_beads;
  for (size_t i = 0; i < p.m_beads.size(); i += 7) p.m_beads[i].SetColorIndex(4);
  for (auto _ : state) {
    CUndoPattern undo(&p);
    undo.RecordChanges(before);
    if (undo.GetStepCount() != 1) state.SkipWithError("nothing recorded");
    benchmark::DoNotOptimize(undo);
  }
}
BENCHMARK(BM_RecordChanges)->Unit(benchmark::kMillisecond);

void BM_SnapshotAndRestore(benchmark::State& state) {
  CPattern p = MakeDesign(1);
  for (auto _ : state) {
    const CPatternSnapshot snapshot(p);
    if (!snapshot.Restore(p)) state.SkipWithError("restore failed");
    benchmark::DoNotOptimize(p.m_beads.data());
  }
}
BENCHMARK(BM_SnapshotAndRestore)->Unit(benchmark::kMillisecond);

}  // namespace
