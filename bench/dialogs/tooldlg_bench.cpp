// The editing windows on a 1,000 x 1,000-bead design in 40 colours in a
// real design view of 1200 x 900 pixels, offscreen:
// - TextApply: the text window's ApplyText (the design back from the
//   opening snapshot, the text rasterised and painted, the view rendered
//   again), a line of text in the middle of the design;
// - PartialRemoveAllAndUndo: the partial-design window's "Remove all" and
//   then its Undo; the counters give each half's milliseconds.
// The windows come from the English language pack beside the program
// (build/<dir>/bin), built with the benchmark.
#include <benchmark/benchmark.h>

#include <chrono>
#include <clocale>
#include <string>
#include <unistd.h>

#include "design/Pattern.h"
#include "dialogs/AddRemoveBlock.h"
#include "dialogs/AddTextDlg.h"
#include "lang/ids/tooldlg.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "platform/wnd/widgetapp.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"

namespace {

constexpr int kSide = 1000;
constexpr int kColours = 40;

// The language pack: bin/ beside the folder of this program.
bool LoadEnglishPack() {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n <= 0) return false;
  std::string dir(self, static_cast<size_t>(n));
  dir = dir.substr(0, dir.rfind('/'));
  dir = dir.substr(0, dir.rfind('/'));
  HINSTANCE pack = LoadLibrary((dir + "/bin/Pellow_En.dll").c_str());
  if (!pack) return false;
  AfxSetResourceHandle(pack);
  return true;
}

CColorSet MakePalette() {
  CColorSet set;
  for (int i = 0; i < kColours; ++i) {
    const BYTE r = static_cast<BYTE>(i * 97 % 256), g = static_cast<BYTE>(i * 53 % 256 + 10),
               b = static_cast<BYTE>(255 - i * 6);
    set.Append(CPaletteColor(CRgbTriple(r, g, b), "C", 0, i, kDefaultBeadsPerTube, 0));
  }
  set.CheckAll();
  return set;
}

// Blocks of 25 x 25 beads over the 40 colours.
CPattern MakeDesign(const CColorSet& palette) {
  CPattern design;
  CGridLayout layout;
  layout.width = layout.height = static_cast<float>(kSide);
  layout.beadWidth = layout.beadHeight = 1.0f;
  layout.spacer = 0.0f;
  layout.format = kFormatLoom;
  design.CreateGrid(layout, 0);
  for (int i = 0; i < design.GetBeadCount(); ++i) {
    const int x = i % kSide, y = i / kSide;
    design.m_beads[size_t(i)].SetColorIndex((x / 25 + y / 25 * 3) % kColours);
  }
  design.CacheBeadColors(palette);
  return design;
}

struct CBenchWindows {
  CFrameWnd* frame = nullptr;
  CTabView* view = nullptr;
  bool ok = false;
};

// One frame with the view and the design, kept for every case.
CBenchWindows& Windows() {
  static CBenchWindows w = [] {
    CBenchWindows made;
    QmEnsureWidgetApplication();
    std::setlocale(LC_NUMERIC, "C");
    SetAnsiCodePage(1252);
    SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
    if (!LoadEnglishPack()) return made;
    GetAppSettings().SetVirtualScreenSize(1920 * 1080);
    made.frame = new CFrameWnd();
    made.frame->Create(nullptr, "Bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 960));
    made.view = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
    made.view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1200, 900), made.frame, AFX_IDW_PANE_FIRST,
                      nullptr);
    made.view->OnInitialUpdate();
    const CColorSet palette = MakePalette();
    made.view->SetColorSet(palette, "bench.pal");
    *made.view->GetPattern() = MakeDesign(palette);
    made.view->CountUsedColors();
    made.view->SetZoomMode(1);
    made.view->OnPatternChanged(false);
    made.frame->ShowWindow(SW_SHOW);
    QmPumpMessages(200);
    made.ok = made.view->GetPattern()->GetBeadCount() == kSide * kSide && made.view->HasPatternView();
    return made;
  }();
  return w;
}

void TextApply(benchmark::State& state) {
  CBenchWindows& w = Windows();
  if (!w.ok) {
    state.SkipWithError("no view with the design (is the language pack built?)");
    return;
  }
  CAddTextIntoDesignDlg* dialog = OpenTextByBeadsDialog(w.view, w.frame);
  if (!dialog) {
    state.SkipWithError("the text window did not open");
    return;
  }
  dialog->SetDlgItemText(IDC_TEXT_EDIT, "Quillmere beads 2026");
  dialog->SetTextPosition(POINT{350, 480});
  dialog->SendMessage(WM_COMMAND, IDC_TEXT_APPLY, 0);
  if (dialog->GetTextSize().cx <= 0) {
    state.SkipWithError("no text was drawn");
    return;
  }
  for (auto _ : state) dialog->ApplyText();
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(50);
}
BENCHMARK(TextApply)->Unit(benchmark::kMillisecond)->UseRealTime();

void PartialRemoveAllAndUndo(benchmark::State& state) {
  CBenchWindows& w = Windows();
  if (!w.ok) {
    state.SkipWithError("no view with the design (is the language pack built?)");
    return;
  }
  CAddRemoveBlock* dialog = OpenPartialDesignDialog(w.view, w.frame);
  if (!dialog) {
    state.SkipWithError("the partial-design window did not open");
    return;
  }
  using Clock = std::chrono::steady_clock;
  double removeMs = 0, undoMs = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    dialog->OnRemoveAll();
    const auto t1 = Clock::now();
    dialog->SendMessage(WM_COMMAND, IDC_SEL_UNDO, 0);
    const auto t2 = Clock::now();
    removeMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
    undoMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
    if (!w.view->GetPattern()->m_beads.front().IsPresent()) {
      state.SkipWithError("Undo did not restore the beads");
      break;
    }
  }
  state.counters["remove_ms"] = benchmark::Counter(removeMs, benchmark::Counter::kAvgIterations);
  state.counters["undo_ms"] = benchmark::Counter(undoMs, benchmark::Counter::kAvgIterations);
  dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
  QmPumpMessages(50);
}
BENCHMARK(PartialRemoveAllAndUndo)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
