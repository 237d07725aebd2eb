// Benchmark of the design builder on a photograph: a 1,000 x 1,000-bead
// design in a 500-colour palette, JPEG decoding included. Run through
// bench/builder/run.sh, which makes the photograph and compares with
// ImageMagick and djpeg (see bench/README.md).
//
//   bench_builder --write-palette PATH      writes the palette as a 500 x 1 PNG
//   bench_builder --build-once PHOTO MODE   one build (mode exact or sharp), for
//                                           timing a whole fresh process
//   bench_builder [benchmark flags]         times the builds of $BUILDER_PHOTO
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "builder/PatternBuilder.h"
#include "design/Pattern.h"
#include "design/PatternParams.h"
#include "image/Image.h"
#include "palette/ColorSet.h"
#include "platform/base/msgbox.h"

namespace {

constexpr int kColours = 500;
constexpr int kBeads = 1000;

// A bead maker's range: 500 colours spread over the colour cube, a few
// greys among them.
const CColorSet& Palette() {
  static const CColorSet palette = [] {
    CColorSet set;
    std::mt19937 rng(20240601);
    for (int i = 0; i < kColours; ++i) {
      BYTE r, g, b;
      if (i % 25 == 0) {
        r = g = b = static_cast<BYTE>(i * 255 / kColours);
      } else {
        r = static_cast<BYTE>(rng());
        g = static_cast<BYTE>(rng());
        b = static_cast<BYTE>(rng());
      }
      set.Append(CPaletteColor(CRgbTriple(r, g, b), "C", 0, i, kDefaultBeadsPerTube, 0));
    }
    return set;
  }();
  return palette;
}

const char* PhotoPath() {
  const char* path = std::getenv("BUILDER_PHOTO");
  return path && *path ? path : "photo.jpg";
}

CPatternParams Params(int mode) {
  CPatternParams p;
  p.m_width = kBeads;
  p.m_height = kBeads;
  p.m_beadWidth = 1.0;
  p.m_beadHeight = 1.0;
  p.m_colorMode = mode;
  return p;
}

// The whole build from the file: reading, decoding, reduction, beads. With
// `keep`, the decoded picture is kept too (as the design view keeps the
// original picture).
void BuildFromJpeg(benchmark::State& state, int mode, bool keep = false) {
  const CColorSet& palette = Palette();
  const CPatternParams params = Params(mode);
  for (auto _ : state) {
    CPattern design;
    std::unique_ptr<CImage> picture;
    const BuildFileResult r =
        BuildPatternFromFile(design, 1000000, params, palette, PhotoPath(), keep ? &picture : nullptr);
    if (r != BuildFileResult::kBuilt || design.GetBeadCount() != kBeads * kBeads) {
      state.SkipWithError("the build failed");
      return;
    }
    benchmark::DoNotOptimize(design.m_beads.data());
  }
}
void BM_BuildFromJpeg_Exact(benchmark::State& state) { BuildFromJpeg(state, kColorModeExact); }
void BM_BuildFromJpeg_Sharp(benchmark::State& state) { BuildFromJpeg(state, kColorModeSharp); }
void BM_BuildFromJpegKeepingPicture_Exact(benchmark::State& state) { BuildFromJpeg(state, kColorModeExact, true); }

// The build from a picture already loaded (what the wizard does after
// showing the picture).
void BM_BuildFromLoadedPicture_Exact(benchmark::State& state) {
  bool ok = false;
  static const CImage picture(PhotoPath(), ok);
  const CColorSet& palette = Palette();
  const CPatternParams params = Params(kColorModeExact);
  for (auto _ : state) {
    CPattern design;
    if (!BuildPattern(design, 1000000, params, palette, &picture)) {
      state.SkipWithError("the build failed");
      return;
    }
    benchmark::DoNotOptimize(design.m_beads.data());
  }
}

}  // namespace

BENCHMARK(BM_BuildFromJpeg_Exact)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BuildFromJpeg_Sharp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BuildFromJpegKeepingPicture_Exact)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_BuildFromLoadedPicture_Exact)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
  // No message box may wait for a person.
  SetMessageBoxHook([](const CString& text, const CString&, UINT) {
    std::fprintf(stderr, "message: %s\n", text.GetString());
    return IDOK;
  });
  if (argc == 3 && std::strcmp(argv[1], "--write-palette") == 0) {
    const CColorSet& palette = Palette();
    bool ok = false;
    CImage strip(kColours, 1, ok, 0xFFFFFFFFu);
    for (int i = 0; ok && i < kColours; ++i) {
      const CPaletteColor& c = palette.GetItem(i);
      strip.SetPixelRGB(i, 0, c.GetRgb().red, c.GetRgb().green, c.GetRgb().blue);
    }
    if (!ok || !strip.SaveFile(argv[2], kImageTypePNG)) {
      std::fprintf(stderr, "cannot write %s\n", argv[2]);
      return 1;
    }
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "--build-once") == 0) {
    const int mode = std::strcmp(argv[3], "sharp") == 0 ? kColorModeSharp : kColorModeExact;
    CPattern design;
    const BuildFileResult r = BuildPatternFromFile(design, 1000000, Params(mode), Palette(), argv[2]);
    return r == BuildFileResult::kBuilt && design.GetBeadCount() == kBeads * kBeads ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
