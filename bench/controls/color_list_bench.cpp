// The colour list control on a 1,000-colour palette: SetColorSet (rows,
// swatches, sort) and the re-sort of a header click. Runs headless.
#include <benchmark/benchmark.h>


#include <cstdlib>
#include <random>

#include "platform/wnd/widgetapp.h"
#include "controls/ColorListCtrl.h"
#include "palette/ColorSet.h"

namespace {

CColorSet MakePalette(int colours) {
  CColorSet set;
  std::mt19937 rng(7);
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c;
    c.SetRgb(CRgbTriple(static_cast<BYTE>(rng()), static_cast<BYTE>(rng()), static_cast<BYTE>(rng())));
    c.mfgName.Format("DB-%04u", static_cast<unsigned>(rng() % 10000));
    c.nickname.Format("Colour %d", i);
    c.count = rng() % 5000;
    c.number = i;
    set.Append(c);
  }
  return set;
}

struct Fixture {
  Fixture() : list("", 0, 0) {
    host.CreateEx(0, AfxRegisterWndClass(0), "Bench", WS_OVERLAPPEDWINDOW, 0, 0, 500, 700, nullptr, nullptr);
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 480, 650}, &host, 1000);
    list.Init();
  }
  ~Fixture() {
    list.DestroyWindow();
    host.DestroyWindow();
  }
  CWnd host;
  CColorListCtrl list;
};

void BM_SetColorSet(benchmark::State& state) {
  Fixture f;
  const CColorSet palette = MakePalette(1000);
  for (auto _ : state) {
    f.list.SetColorSet(&palette, 1);
    benchmark::DoNotOptimize(f.list.GetItemCount());
  }
}
BENCHMARK(BM_SetColorSet)->Unit(benchmark::kMillisecond);

void BM_HeaderClickResort(benchmark::State& state) {
  Fixture f;
  const CColorSet palette = MakePalette(1000);
  f.list.SetColorSet(&palette, 1);
  int column = 0;
  for (auto _ : state) {
    f.list.ClickColumn(column);  // the other column, then the same one (direction flips)
    column = (column + 1) % 3;
  }
}
BENCHMARK(BM_HeaderClickResort)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QmEnsureWidgetApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
