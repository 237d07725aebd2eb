// The colour adjustment sheet's slider release on each page and the
// change-palette dialog's "Current tiles" Apply, run in the real dialogs
// over a real design view: a 1,000 x 1,000-bead design using 40 of a
// 500-colour palette. A release is what the user waits for: the working
// design copied from the page's snapshot, the page's operation, and the
// after preview rendered. Apply re-colours every bead and re-renders the
// view's design.
//
//   bench_dialogs --benchmark_filter='AdjustSliderRelease|ChangePaletteCurrentTiles'
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <random>
#include <string>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "dialogs/AdjustSheet.h"
#include "dialogs/ChangePaletteDlg.h"
#include "lang/ids/adjust.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/base/resource.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "platform/wnd/widgetapp.h"
#include "settings/AppSettings.h"
#include "view/FramePorts.h"
#include "view/TabView.h"
#include "view/ViewHooks.h"

namespace {

constexpr int kPaletteColours = 500;
constexpr int kUsedColours = 40;
constexpr int kBeads = 1000;

CColorSet MakeBenchPalette(unsigned seed) {
  CColorSet set;
  std::mt19937 rng(seed);
  for (int i = 0; i < kPaletteColours; ++i) {
    const BYTE r = static_cast<BYTE>(rng()), g = static_cast<BYTE>(rng()), b = static_cast<BYTE>(rng());
    set.Append(CPaletteColor(CRgbTriple(r, g, b), "C", 0, i, kDefaultBeadsPerTube, 0));
  }
  set.CheckAll();
  set.SetLoaded(true);
  return set;
}

// The main frame as the dialogs reach it: the design view alone.
class CBenchFrame : public IMainFrame {
 public:
  CTabView* view = nullptr;
  CAppStatusBar* GetStatusBar() override { return nullptr; }
  void ResetStatusTexts() override {}
  CTabView* GetTabView() override { return view; }
  CCtrlPane* GetCtrlPane() override { return nullptr; }
  CImageList* GetMenuImageList() override { return nullptr; }
  void EnableClose(bool) override {}
};

// The build's English pack, found beside the benchmark's folder.
void LoadPack() {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  const std::filesystem::path exe(n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string("."));
  const std::filesystem::path pack = exe.parent_path().parent_path() / "bin" / "Pellow_En.dll";
  if (HINSTANCE h = LoadLibrary(pack.c_str())) AfxSetResourceHandle(h);
}

// One frame with a view holding the design, kept for every case.
CTabView& BenchView() {
  static CBenchFrame services;
  static CTabView* view = [] {
    QmEnsureWidgetApplication();
    std::setlocale(LC_NUMERIC, "C");
    SetAnsiCodePage(1252);
    LoadPack();
    GetAppSettings().SetVirtualScreenSize(1920 * 1080);
    InstallViewHooks();
    SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
    auto* frame = new CFrameWnd();
    frame->Create(nullptr, "Bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 960));
    auto* v = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
    v->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1200, 900), frame, AFX_IDW_PANE_FIRST, nullptr);
    v->OnInitialUpdate();
    frame->ShowWindow(SW_SHOW);
    services.view = v;
    SetMainFrameServices(&services, nullptr, nullptr);
    SetActiveTabView(v);
    return v;
  }();
  return *view;
}

// The design: 1,000 x 1,000 loom beads in 40 palette colours, in blocks.
void PutBenchDesign(CTabView& view) {
  view.SetColorSet(MakeBenchPalette(20240601), "/bench/palette.pal");
  CPattern design;
  CGridLayout layout;
  layout.width = layout.height = 0.1f * kBeads;
  layout.beadWidth = layout.beadHeight = 0.1f;
  layout.format = kFormatLoom;
  design.CreateGrid(layout, 0);
  std::mt19937 rng(7);
  std::vector<int> used(kUsedColours);
  for (int& u : used) u = static_cast<int>(rng() % kPaletteColours);
  for (int r = 0; r < kBeads; ++r)
    for (int c = 0; c < kBeads; ++c) design.SetBeadColor(c, r, used[static_cast<size_t>((c / 25 + r / 25) % kUsedColours)], true);
  *view.GetPattern() = design;
  view.GetPattern()->CacheBeadColors(*view.GetColorSet());
  view.CountUsedColors();
  view.OnPatternChanged(false);
  view.ClearEditHistory();
  QmPumpMessages(100);
}

// Releases of one page's slider between two positions, in the live sheet.
void AdjustSliderRelease(benchmark::State& state) {
  CTabView& view = BenchView();
  PutBenchDesign(view);
  const int pageIndex = static_cast<int>(state.range(0));
  CAdjustSheet sheet(view.GetPattern(), view.GetColorSet(), IDS_ADJUST_COLORS, nullptr, 0);
  QmSetModalHook([&](HWND dlg) {
    sheet.SetActivePage(pageIndex);
    CAdjustPage* page = sheet.GetAdjustPage(pageIndex);
    CSliderCtrl& slider = page->GetSlider(0);
    int lo = 0, hi = 0;
    slider.GetRange(lo, hi);
    bool up = true;
    for (auto _ : state) {
      slider.SetPos(up ? hi * 3 / 4 : hi / 4);
      page->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider.m_hWnd));
      up = !up;
    }
    if (!sheet.GetAfterImage()) state.SkipWithError("no after preview");
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  if (sheet.DoModal() < 0) state.SkipWithError("the sheet could not be made (no language pack?)");
  QmSetModalHook({});
}
BENCHMARK(AdjustSliderRelease)->Arg(0)->Arg(1)->Arg(2)->ArgName("page")->Unit(benchmark::kMillisecond)->UseRealTime();

// "Current tiles" Apply to another 500-colour palette, again and again
// (each starts from the design the last one left).
void ChangePaletteCurrentTiles(benchmark::State& state) {
  CTabView& view = BenchView();
  PutBenchDesign(view);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "qm_bench_other.pal";
  CColorSet other = MakeBenchPalette(99);
  if (!other.SavePaletteAs(file.c_str())) {
    state.SkipWithError("cannot write the palette");
    return;
  }
  CChangePaletteDlg dialog(view.GetPattern(), view.GetColorSet(), nullptr);
  QmSetModalHook([&](HWND dlg) {
    if (!dialog.LoadNewPalette(file.c_str())) {
      state.SkipWithError("cannot load the palette");
    } else {
      dialog.GetPickupBox().SetCurSel(CChangePaletteDlg::kPickTiles);
      for (auto _ : state) dialog.OnApply();
    }
    QmClickButton(GetDlgItem(dlg, IDCANCEL));
  });
  if (dialog.DoModal() < 0) state.SkipWithError("the dialog could not be made (no language pack?)");
  QmSetModalHook({});
  std::filesystem::remove(file);
}
BENCHMARK(ChangePaletteCurrentTiles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
