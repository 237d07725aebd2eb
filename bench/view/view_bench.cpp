// The design view on a 1,000 x 1,000-bead design of 40 colours, offscreen:
// each case runs from the input (a paint request, a mouse message, a tool
// call) to the pixels in the window's picture (the window updated at once).
#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <cstdlib>

#include "platform/wnd/widgetapp.h"
#include "platform/base/codepage.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

namespace {

void EnsureApp() {
  static const bool ready = [] {
    QmEnsureWidgetApplication();
    std::setlocale(LC_NUMERIC, "C");
    SetAnsiCodePage(1252);
    return true;
  }();
  (void)ready;
}

class CPane : public IViewToolSource {
 public:
  int GetCurrentTool() override { return 0; }
  int GetPenColor() override { return pen; }
  void SelectColor(const CRgbTriple&) override {}
  void RefreshColorList() override {}
  void HideOriginalOverlay() override {}
  void UpdateOriginalControls() override {}
  HWND GetPaneWindow() override { return nullptr; }
  int pen = 0;
};

// One window with the view, kept for all cases.
struct CBench {
  CFrameWnd* frame = nullptr;
  CTabView* view = nullptr;
  CPane pane;

  CBench() {
    EnsureApp();
    GetAppSettings().SetVirtualScreenSize(1920 * 1080);
    frame = new CFrameWnd();
    frame->Create(nullptr, "Bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 960));
    view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
    view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1200, 900), frame, AFX_IDW_PANE_FIRST, nullptr);
    view->SetToolSource(&pane);
    frame->ShowWindow(SW_SHOW);
    CColorSet palette;
    for (int i = 0; i < 40; ++i) {
      CString name;
      name.Format("C%d", i);
      CPaletteColor c(CRgbTriple(BYTE(i * 6), BYTE(255 - i * 5), BYTE((i * 37) % 256)), name, 0, i, 0, 0);
      c.SetInUse(1);
      palette.Append(c);
    }
    view->SetColorSet(palette, "bench.pal");
    Reset();
  }

  // Colours in patches of 25 x 25 beads.
  void Reset() {
    CPattern& design = *view->GetPattern();
    CGridLayout layout;
    layout.width = layout.height = 1000;
    layout.beadWidth = layout.beadHeight = 1;
    design.CreateGrid(layout, 0);
    for (int i = 0; i < design.GetBeadCount(); ++i)
      design.m_beads[size_t(i)].SetColorIndex(((i % 1000) / 25 + (i / 1000) / 25) % 40);
    view->ClearEditHistory();
    view->SetZoomMode(1);
    view->OnPatternChanged(false);
    Paint();
  }

  void Paint() {
    view->Invalidate(FALSE);
    view->UpdateWindow();
  }
};

CBench& Bench() {
  static CBench bench;
  return bench;
}

void BM_RepaintFitted(benchmark::State& state) {
  CBench& b = Bench();
  GetAppSettings().m_advancedImageQuality = static_cast<BYTE>(state.range(0));
  b.view->SetZoomMode(1);
  b.view->ApplyZoomMode(false);
  b.Paint();
  for (auto _ : state) b.Paint();
  GetAppSettings().m_advancedImageQuality = 1;
}
BENCHMARK(BM_RepaintFitted)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ScrollFrameAt100(benchmark::State& state) {
  CBench& b = Bench();
  b.view->GetPatternView()->SetZoom(100, false, false);
  b.Paint();
  int y = 0;
  for (auto _ : state) {
    y = (y + 40) % 200;
    b.view->ScrollToPosition(CPoint(0, y));
    b.view->UpdateWindow();
  }
  b.view->SetZoomMode(1);
  b.view->ApplyZoomMode(true);
  b.Paint();
}
BENCHMARK(BM_ScrollFrameAt100)->Unit(benchmark::kMillisecond);

void BM_PencilMove(benchmark::State& state) {
  CBench& b = Bench();
  const RECT drawn = b.view->GetPatternView()->GetDrawnRect();
  int k = 0;
  for (auto _ : state) {
    const int column = k % 1000, row = (k / 1000) % 1000;
    ++k;
    POINT centre;
    SIZE size;
    b.view->GetPattern()->MapCellToImage(row, column, drawn, centre, size, false);
    b.pane.pen = (k % 39) + 1;
    QmSendMouse(b.view->GetSafeHwnd(), WM_MOUSEMOVE, centre, MK_LBUTTON);
    b.view->UpdateWindow();
  }
}
BENCHMARK(BM_PencilMove)->Unit(benchmark::kMillisecond);

void BM_FloodFillWholeDesign(benchmark::State& state) {
  CBench& b = Bench();
  CPattern& design = *b.view->GetPattern();
  for (auto& bead : design.m_beads) bead.SetColorIndex(0);
  b.view->RefreshPatternView();
  int color = 1;
  // Where the time goes: the fill with its history and picture update,
  // the pane and status refresh, the window's repaint.
  using Clock = std::chrono::steady_clock;
  double fill = 0, edited = 0, paint = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    b.view->FillArea(0, color);
    const auto t1 = Clock::now();
    b.view->OnBeadsEdited();
    const auto t2 = Clock::now();
    b.view->UpdateWindow();
    const auto t3 = Clock::now();
    fill += std::chrono::duration<double, std::milli>(t1 - t0).count();
    edited += std::chrono::duration<double, std::milli>(t2 - t1).count();
    paint += std::chrono::duration<double, std::milli>(t3 - t2).count();
    color = color % 39 + 1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["fill_ms"] = fill / n;
  state.counters["refresh_ms"] = edited / n;
  state.counters["paint_ms"] = paint / n;
  b.Reset();
}
BENCHMARK(BM_FloodFillWholeDesign)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MarkColour(benchmark::State& state) {
  CBench& b = Bench();
  int k = 0;
  for (auto _ : state) {
    b.view->MarkBeadsOfColor((k++ * 26) % 1000);
    b.view->UpdateWindow();
  }
  b.view->GetPattern()->ClearMarkedBeads();
}
BENCHMARK(BM_MarkColour)->Unit(benchmark::kMillisecond);

void BM_FullRender(benchmark::State& state) {
  CBench& b = Bench();
  for (auto _ : state) {
    b.view->RefreshPatternView();
    b.Paint();
  }
}
BENCHMARK(BM_FullRender)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
