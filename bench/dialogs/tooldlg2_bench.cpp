// The interesting-colours refresh and the separated-beads search on a real
// design view (1200 x 900 pixels, offscreen) holding a 1,000 x 1,000-bead
// design in 40 colours: patches of colour with scattered stray beads.
//
//   InterestingColorsRefresh  the most used colour selected, marking on:
//                             palette faded, beads marked, view re-rendered
//   SeparatedOpenAndChoose    the window opened (first search, size "1"),
//                             then "1 - 3" chosen: search, list, marks
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <clocale>
#include <random>
#include <string>

#include "design/Pattern.h"
#include "dialogs/InterestingColorsDlg.h"
#include "dialogs/SeparatedBeadsDlg.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/base/resource.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "platform/wnd/widgetapp.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

namespace {

constexpr int kSide = 1000;
constexpr int kColours = 40;

struct Bench {
  CFrameWnd* frame = nullptr;
  CTabView* view = nullptr;
};

// The English pack beside the program (build/bin), for the templates.
void LoadPack() {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  dir = dir.substr(0, dir.rfind('/'));
  for (const std::string& path : {dir + "/../bin/Pellow_En.dll", dir + "/Pellow_En.dll"}) {
    if (HINSTANCE pack = LoadLibrary(path.c_str())) {
      AfxSetResourceHandle(pack);
      return;
    }
  }
}

CPattern MakeDesign() {
  CPattern design;
  CGridLayout layout;
  layout.width = layout.height = kSide * 0.1f;
  layout.beadWidth = layout.beadHeight = 0.1f;
  layout.format = kFormatLoom;
  design.CreateGrid(layout, 0);
  std::mt19937 rng(31);
  // Patches of 25 x 25 beads, each in one colour, with one bead in a
  // hundred set to a random colour.
  for (int row = 0; row < kSide; ++row)
    for (int column = 0; column < kSide; ++column) {
      int color = ((row / 25) * 7 + (column / 25) * 3) % kColours;
      if (rng() % 100 == 0) color = static_cast<int>(rng() % kColours);
      design.SetBeadColorIndex(column, row, color);
    }
  return design;
}

Bench& Get() {
  static Bench bench = [] {
    QmEnsureWidgetApplication();
    std::setlocale(LC_NUMERIC, "C");
    SetAnsiCodePage(1252);
    LoadPack();
    SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
    Bench b;
    b.frame = new CFrameWnd();
    b.frame->Create(nullptr, "Bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 960));
    b.view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
    b.view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1200, 900), b.frame, AFX_IDW_PANE_FIRST, nullptr);
    b.view->OnInitialUpdate();
    b.frame->ShowWindow(SW_SHOW);
    CColorSet palette;
    std::mt19937 rng(7);
    for (int i = 0; i < kColours; ++i) {
      CString name;
      name.Format("Colour %d", i);
      palette.Append(CPaletteColor(CRgbTriple(BYTE(rng()), BYTE(rng()), BYTE(rng())), name, 0, i, 0, 0));
    }
    palette.CheckAll();
    *b.view->GetPattern() = MakeDesign();
    b.view->SetColorSet(palette, "bench.pal");
    b.view->GetPattern()->RefreshBeadColors(*b.view->GetColorSet());
    b.view->CountUsedColors();
    b.view->SetZoomMode(1);
    b.view->OnPatternChanged(false);
    b.view->UpdateWindow();
    QmPumpMessages(200);
    return b;
  }();
  return bench;
}

void InterestingColorsRefresh(benchmark::State& state) {
  Bench& b = Get();
  CDisplayOnlyColorsDialog::ResetSharedValues();
  auto* dialog = CDisplayOnlyColorsDialog::Open(b.view, b.frame);
  if (!dialog) {
    state.SkipWithError("the window did not open");
    return;
  }
  dialog->GetList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  for (auto _ : state) {
    dialog->Refresh();
    b.view->UpdateWindow();
  }
  state.counters["marked"] = static_cast<double>(b.view->GetPattern()->m_markedBeads.size());
  dialog->SendMessage(WM_COMMAND, IDCANCEL);
  QmPumpMessages(20);
}
BENCHMARK(InterestingColorsRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void SeparatedOpenAndChoose(benchmark::State& state) {
  Bench& b = Get();
  int rows = 0;
  for (auto _ : state) {
    auto* dialog = CDeleteSepStitchDlg::Open(b.view, b.frame);
    if (!dialog) {
      state.SkipWithError("the window did not open");
      break;
    }
    dialog->ChooseSize(2);  // "1 - 3"
    rows = dialog->GetList().GetItemCount();
    state.PauseTiming();
    dialog->SendMessage(WM_COMMAND, IDCANCEL);
    QmPumpMessages(5);
    state.ResumeTiming();
  }
  state.counters["rows"] = rows;
}
BENCHMARK(SeparatedOpenAndChoose)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
