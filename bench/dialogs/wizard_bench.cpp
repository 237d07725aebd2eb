// The wizard's Apply on a photograph: a 1,000 x 1,000-bead design in a
// 500-colour palette from a 6000 x 4000 JPEG, with the decoded picture kept
// as the design view's original picture, against the literal order (load
// the picture, then build from it). The *IntoView cases run into a real
// design view of 1200 x 900 pixels, offscreen, until it has painted the
// design fitted to the window; the others stop at the design. Run through
// bench/dialogs/run.sh, which makes the photograph.
//
//   bench_dialogs [benchmark flags]     times the builds of $BUILDER_PHOTO
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "builder/PatternBuilder.h"
#include "design/Pattern.h"
#include "dialogs/WizardBuild.h"
#include "dialogs/WizardData.h"
#include "dialogs/WizardHost.h"
#include "dialogs/WizardViewHost.h"
#include "image/Image.h"
#include "palette/ColorSet.h"
#include "platform/base/codepage.h"
#include "platform/base/msgbox.h"
#include "platform/wnd.h"
#include "platform/wnd/host.h"
#include "platform/wnd/widgetapp.h"
#include "settings/AppSettings.h"
#include "view/TabView.h"
#include "tests/dialogs/wizard_view_only_host.h"

namespace {

constexpr int kColours = 500;
constexpr int kBeads = 1000;

CColorSet MakePalette() {
  CColorSet set;
  std::mt19937 rng(20240601);
  for (int i = 0; i < kColours; ++i) {
    const BYTE r = static_cast<BYTE>(rng()), g = static_cast<BYTE>(rng()), b = static_cast<BYTE>(rng());
    set.Append(CPaletteColor(CRgbTriple(r, g, b), "C", 0, i, kDefaultBeadsPerTube, 0));
  }
  set.CheckAll();
  return set;
}

const char* PhotoPath() {
  const char* path = std::getenv("BUILDER_PHOTO");
  return path && *path ? path : "photo.jpg";
}

// What the view does with the build: it keeps the design, the palette and
// the decoded picture (the rendering belongs to the view's own benchmark).
class CBenchHost : public wiztest::CNothingOffered<IWizardHost> {
 public:
  CPattern& GetPattern() override { return pattern; }
  CColorSet& GetColorSet() override { return palette; }
  void SetColorSet(const CColorSet& p, const CString& path) override {
    palette.CopyConstruct(p);
    palette.SetFilePath(path);
  }
  void SetOriginalPicture(std::unique_ptr<CImage> picture, const CString&) override { original = std::move(picture); }
  void DeleteOriginalPicture() override { original.reset(); }
  bool HasOriginalPicture() override { return original != nullptr; }
  bool OpenDesignFile(const CString&) override { return false; }
  void ClearEditHistory() override {}
  void RenderPatternView() override {}
  void SetZoomMode(int) override {}
  void ApplyZoomMode() override {}
  void RepaintNow() override {}
  void FillColorList() override {}
  void UpdateOriginalControls() override {}

  CPattern pattern;
  CColorSet palette;
  std::unique_ptr<CImage> original;
};

CWizardData Record() {
  CWizardData d;
  d.m_projectType = kProjectFromPicture;
  d.m_picturePath = PhotoPath();
  d.m_params.m_width = kBeads;
  d.m_params.m_height = kBeads;
  d.m_params.m_beadWidth = 1.0;
  d.m_params.m_beadHeight = 1.0;
  d.m_params.m_colorMode = 0;
  return d;
}

void WizardApply(benchmark::State& state) {
  SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
  const CColorSet palette = MakePalette();
  const CWizardData record = Record();
  for (auto _ : state) {
    CBenchHost host;
    if (!BuildWizardDesign(host, record, palette, "Photo", {}) || !host.original ||
        host.pattern.GetBeadCount() != kBeads * kBeads) {
      state.SkipWithError("the build failed");
      break;
    }
  }
}
BENCHMARK(WizardApply)->Unit(benchmark::kMillisecond)->UseRealTime();

// The literal order: the picture loaded as the view's original, then the
// design built from it.
void LoadThenBuild(benchmark::State& state) {
  const CColorSet palette = MakePalette();
  const CWizardData record = Record();
  for (auto _ : state) {
    bool ok = false;
    auto picture = std::make_unique<CImage>(PhotoPath(), ok);
    CPattern design;
    CColorSet copy(palette);
    if (!ok || !BuildPattern(design, 1000000, record.m_params, copy, picture.get())) {
      state.SkipWithError("the build failed");
      break;
    }
  }
}
BENCHMARK(LoadThenBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Into a real design view ----

using CViewHost = wiztest::CViewOnlyHost;

// One frame with the view, kept for every case.
CTabView& BenchView() {
  static CTabView* view = [] {
    QmEnsureWidgetApplication();
    std::setlocale(LC_NUMERIC, "C");
    SetAnsiCodePage(1252);
    GetAppSettings().SetVirtualScreenSize(1920 * 1080);
    auto* frame = new CFrameWnd();
    frame->Create(nullptr, "Bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 960));
    auto* v = static_cast<CTabView*>(RUNTIME_CLASS(CTabView)->CreateObject());
    v->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1200, 900), frame, AFX_IDW_PANE_FIRST, nullptr);
    v->OnInitialUpdate();
    frame->ShowWindow(SW_SHOW);
    QmPumpMessages(200);
    return v;
  }();
  return *view;
}

bool ShowsDesignAtFit(CTabView& view) {
  return view.GetPattern()->GetBeadCount() == kBeads * kBeads && view.IsPatternFitToWindow() &&
         view.GetOriginalView() != nullptr;
}

void WizardApplyIntoView(benchmark::State& state) {
  SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
  CTabView& view = BenchView();
  const CColorSet palette = MakePalette();
  const CWizardData record = Record();
  for (auto _ : state) {
    CViewHost host(view, nullptr);
    if (!BuildWizardDesign(host, record, palette, "Photo", {}) || !ShowsDesignAtFit(view)) {
      state.SkipWithError("the build failed");
      break;
    }
  }
}
BENCHMARK(WizardApplyIntoView)->Unit(benchmark::kMillisecond)->UseRealTime();

// The literal order into the view: the picture loaded as the view's
// original, the palette set, the design built from the original, then the
// same rendering, fit and paint.
void LiteralOrderIntoView(benchmark::State& state) {
  SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
  CTabView& view = BenchView();
  const CColorSet palette = MakePalette();
  const CWizardData record = Record();
  for (auto _ : state) {
    if (!view.LoadOriginalImage(record.m_picturePath)) {
      state.SkipWithError("the picture did not load");
      break;
    }
    view.SetColorSet(palette, "");
    if (!view.BuildDesign(record.m_params)) {
      state.SkipWithError("the build failed");
      break;
    }
    view.GetColorSet()->AssignSymbolsByUsage(*view.GetPattern());
    view.ClearEditHistory();
    view.RenderPatternView(nullptr, false);
    view.SetZoomMode(1);
    view.ApplyZoomMode(false);
    view.Invalidate(TRUE);
    view.UpdateWindow();
    if (!ShowsDesignAtFit(view)) {
      state.SkipWithError("the view does not show the design");
      break;
    }
  }
}
BENCHMARK(LiteralOrderIntoView)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
