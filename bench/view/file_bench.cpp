// The view's file operations at the sizes users reach:
// - BM_DesignPreview: a 1,000 x 1,000-bead design file loaded by the design
//   dialog's preview and rendered once into the panel (aim: under 1 s);
// - BM_BeadedImage: the beaded image of such a design (a 2000 x 2000 design
//   picture, 100 used colours listed below it, PNG; aim: under 2 s);
// - BM_BestPalette: the best-palette search for a 6000 x 4000 picture over
//   10 palettes of 500 colours (aim: under 5 s).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/guiapp.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "designfile/DesignFile.h"
#include "image/Image.h"
#include "palette/ColorSet.h"
#include "settings/GraphicOutput.h"
#include "view/BeadedImageExport.h"
#include "view/PreViewFileDlg.h"
#include "view/PreViewPaletteSearch.h"

namespace {

namespace fs = std::filesystem;
fs::path g_folder;

CString Path(const fs::path& p) { return CString(p.string().c_str()); }

void MakePalette(CColorSet& palette, int colours, unsigned seed) {
  std::mt19937 random(seed);
  palette.Clear();
  for (int i = 0; i < colours; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(random()), static_cast<BYTE>(random()), static_cast<BYTE>(random())),
                    CString(("DB-" + std::to_string(1000 + i)).c_str()), 0, i + 1, 225, 150);
    palette.Append(c);
  }
}

fs::path DesignFile() {
  const fs::path path = g_folder / "big.qx";
  if (fs::exists(path)) return path;
  CPattern design;
  CGridLayout layout;
  layout.width = 100.0f;
  layout.height = 100.0f;
  layout.beadWidth = 0.1f;
  layout.beadHeight = 0.1f;
  layout.format = kFormatLoom;
  design.CreateGrid(layout, 0);
  design.m_blank = 1;
  for (size_t i = 0; i < design.m_beads.size(); ++i) design.m_beads[i].SetColorIndex(static_cast<int>(i % 97));
  CColorSet palette;
  MakePalette(palette, 100, 1);
  CString picture, reason;
  if (!SaveDesignFile(Path(path), design, palette, "p.pal", picture, nullptr, nullptr, &reason))
    std::fprintf(stderr, "cannot write the design: %s\n", reason.GetString());
  return path;
}

void BM_DesignPreview(benchmark::State& state) {
  const CString path = Path(DesignFile());
  for (auto _ : state) {
    CPreViewDesign preview;
    CString error, version;
    if (!preview.LoadDesign(path, error, version)) state.SkipWithError("the design does not load");
    auto picture = preview.Render(260, 195);
    benchmark::DoNotOptimize(picture.get());
  }
}

void BM_BeadedImage(benchmark::State& state) {
  bool ok = false;
  CImage design(2000, 2000, ok, RGB(120, 30, 30));
  CColorSet palette;
  MakePalette(palette, 500, 2);
  for (int i = 0; i < 100; ++i) palette.GetColor(i * 5)->count = static_cast<DWORD>(1000 + i);
  CGraphicOutputParams params;
  params.m_listPlacement = 0;
  params.m_outputWidth = 2000;
  params.m_outputHeight = 2000;
  LOGFONT symbols{};
  std::snprintf(symbols.lfFaceName, sizeof symbols.lfFaceName, "Arial");
  const CString path = Path(g_folder / "beads.png");
  for (auto _ : state) {
    if (!ComposeBeadedImage(design, 100.0, 100.0, palette, symbols, params, path))
      state.SkipWithError("the beaded image was not written");
  }
}

void BM_BestPalette(benchmark::State& state) {
  bool ok = false;
  CImage picture(6000, 4000, ok, RGB(0, 0, 0));
  std::mt19937 random(3);
  BYTE* bits = picture.GetBits();
  const int stride = picture.GetRowStride();
  // A photograph-like picture: smooth gradients with noise.
  for (int y = 0; y < 4000; ++y) {
    BYTE* p = bits + static_cast<size_t>(y) * stride;
    for (int x = 0; x < 6000; ++x, p += 3) {
      const unsigned noise = random() & 15;
      p[0] = static_cast<BYTE>((x / 24 + noise) & 0xFF);
      p[1] = static_cast<BYTE>((y / 16 + noise) & 0xFF);
      p[2] = static_cast<BYTE>(((x + y) / 40 + noise) & 0xFF);
    }
  }
  std::vector<CString> files;
  for (int i = 0; i < 10; ++i) {
    CColorSet palette;
    MakePalette(palette, 500, 10 + i);
    const fs::path path = g_folder / ("p" + std::to_string(i) + ".pal");
    palette.SavePaletteAs(Path(path));
    files.push_back(Path(path));
  }
  for (auto _ : state) benchmark::DoNotOptimize(FindBestPaletteFile(&picture, files));
}

}  // namespace

BENCHMARK(BM_DesignPreview)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_BeadedImage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_BestPalette)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv) {
  QmEnsureGuiApplication();
  std::setlocale(LC_NUMERIC, "C");
  SetRussianInterface(false);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  g_folder = fs::temp_directory_path() / ("bench_view_file_" + std::to_string(getpid()));
  fs::create_directories(g_folder);
  SetProgramDataFolder(Path(g_folder));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code error;
  fs::remove_all(g_folder, error);
  return 0;
}
