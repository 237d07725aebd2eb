// The word chart on large designs, and the export of a 1,000 x 1,000 bead
// design with 40 colours in runs, section by section and whole.
//
//   build/release/bench/bench_pdf --benchmark_filter=WordChart
//   build/release/bench/bench_pdf --benchmark_filter='Export/4$'
//
// The pictures are drawn by the program's own renderer (the design view's),
// as File > PDF file... draws them. The peak memory is the process's: run
// one export per process for a section's own figure.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "app/MainFrmPdf.h"
#include "core/FileUtils.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "pdf/PdfExport.h"
#include "pdf/WordChart.h"
#include "platform/wnd/widgetapp.h"
#include "view/PatternRender.h"

namespace {

// A design whose colours come in runs, as a built picture has them.
CPattern MakeDesign(int columns, int rows, int format) {
  CPattern p;
  CGridLayout layout;
  layout.beadWidth = layout.beadHeight = 0.06f;
  layout.width = columns * 0.06f;
  layout.height = rows * 0.06f;
  layout.format = format;
  p.CreateGrid(layout, 0);
  unsigned seed = 12345;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      seed = seed * 1103515245u + 12345u;
      const int noise = (seed >> 16) % 23 == 0 ? 1 : 0;
      p.GetBeadAt(column, row)->SetColorIndex((column / 9 + (row / 6) * 3 + noise) % 40);
    }
  return p;
}

CColorSet MakePalette() {
  CColorSet palette;
  for (int i = 0; i < 40; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "DB-%04d", 100 + i * 7);
    CPaletteColor color(CRgbTriple(static_cast<BYTE>(i * 6), static_cast<BYTE>(255 - i * 5), static_cast<BYTE>((i * 37) % 256)),
                        name, 0, 100 + i, 250, 300 + i);
    color.price = 1000 + i;
    palette.Append(color);
  }
  return palette;
}

void WordChart(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const int mode = static_cast<int>(state.range(1));
  const int format = static_cast<int>(state.range(2));
  const CPattern design = MakeDesign(side, side, format);
  for (auto _ : state) {
    CWordChart chart(&design, CWordChartOptions(true, mode));
    benchmark::DoNotOptimize(chart.GetLineCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(design.GetBeadCount()));
  state.counters["beads"] = static_cast<double>(design.GetBeadCount());
}
// side, mode, format (0 Loom, 1 Peyote, combined)
BENCHMARK(WordChart)
    ->ArgsProduct({{500, 1000, 2000}, {0, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

struct ExportFixture {
  ExportFixture() : design(MakeDesign(1000, 1000, 0)), palette(MakePalette()) {
    folder = std::filesystem::temp_directory_path() / "qm-bench-pdf";
    std::filesystem::create_directories(folder);
    SetProgramDataFolder(folder.string().c_str());
    QmEnsureWidgetApplication();
    inputs.renderer = ChartPictureRenderer();
    palette.CountUsageQuick(design);
    data.m_propertiesPage = data.m_wholeDesignPage = data.m_collagePages = data.m_colorListPage = data.m_gridPages =
        data.m_wordChartPages = 0;
    data.m_gridCellCoding = 0;
  }
  std::filesystem::path folder;
  CPattern design;
  CColorSet palette;
  CPdfData data;
  CPdfExportInputs inputs;  // the view's renderer, as File > PDF file... gives it
};

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// Section: 0 properties, 1 fitted picture, 2 actual size, 3 colour list,
// 4 grid, 5 word chart table, 6 word chart columns, 7 everything (table),
// 8 everything with text columns and actual size, 9 everything with the
// collage (1,000 pages of it).
void Export(benchmark::State& state) {
  static ExportFixture f;
  CPdfData data = f.data;
  switch (state.range(0)) {
    case 0: data.m_propertiesPage = 1; break;
    case 1: data.m_wholeDesignPage = 1; break;
    case 2: data.m_wholeDesignPage = 1, data.m_wholeDesignMode = 0; break;
    case 3: data.m_colorListPage = 1; break;
    case 4: data.m_gridPages = 1; break;
    case 5: data.m_wordChartPages = 1; break;
    case 6: data.m_wordChartPages = 1, data.m_wordChartAsTable = 0; break;
    case 7:
      data.m_propertiesPage = data.m_wholeDesignPage = data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 1;
      break;
    case 8:
      data.m_propertiesPage = data.m_wholeDesignPage = data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 1;
      data.m_wholeDesignMode = 0;
      data.m_wordChartAsTable = 0;
      break;
    default:
      data.m_propertiesPage = data.m_wholeDesignPage = data.m_colorListPage = data.m_gridPages = data.m_wordChartPages = 1;
      data.m_collagePages = 1;
      break;
  }
  const std::filesystem::path pdf = f.folder / "export.pdf";
  int pages = 0;
  for (auto _ : state) {
    CPdfExportNew exporter(&f.design, f.palette, &data, f.inputs);
    if (!exporter.Export(pdf.string().c_str())) state.SkipWithError(exporter.GetErrorText().GetString());
    pages = static_cast<int>(exporter.GetPageList().size());
  }
  state.counters["pages"] = pages;
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(pdf)) / (1024 * 1024);
  state.counters["peakMB"] = static_cast<double>(PeakMegabytes());
}
BENCHMARK(Export)->DenseRange(0, 9)->Unit(benchmark::kSecond)->Iterations(1);

// The collage on the 1,000-row design: 0 as it is written (two pictures
// shared by the pages, each clipped to its rows), 1 as it was (a picture of
// the rows a page), stopped after the given number of pages (the whole took
// minutes and gigabytes). The counters give the pages, the file and the
// process's peak memory: run one per process.
//   bench_pdf --benchmark_filter='Collage/0/1000'
void Collage(benchmark::State& state) {
  static ExportFixture f;
  const bool old = state.range(0) != 0;
  const int pagesWanted = static_cast<int>(state.range(1));
  CPdfData data = f.data;
  const std::filesystem::path pdf = f.folder / "collage.pdf";
  int pages = 0;
  for (auto _ : state) {
    CPdfExportNew exporter(&f.design, f.palette, &data, f.inputs);
    const CKeepFreedMemory keep;  // as during an export
    exporter.Library().begin_document(pdf.string(), "");
    bool ok = true;
    if (!old) {
      ok = exporter.WriteCollage(data.m_previewStyle);
    } else {
      CPattern copy(f.design);
      const int rows = static_cast<int>(f.design.GetRowCount());
      for (int row = 1; row < rows; ++row)
        for (int column = 0; column < 1000; ++column) copy.SetBeadPresent(column, row, false);
      for (int k = 1; k < rows && k <= pagesWanted && ok; ++k) {
        CString title;
        title.Format("assembling preview, rows 1 - %d", k);
        ok = exporter.WritePreviewFitToPage(copy, title, data.m_previewStyle);
        for (int column = 0; column < 1000; ++column) copy.SetBeadPresent(column, k, true);
      }
      if (pagesWanted >= rows)
        ok = ok && exporter.WritePreviewFitToPage(f.design, "assembling preview, all rows", data.m_previewStyle);
    }
    if (!ok) state.SkipWithError(exporter.GetErrorText().GetString());
    exporter.CloseAllPages();
    exporter.Library().end_document("");
    pages = static_cast<int>(exporter.GetPageList().size());
  }
  state.counters["pages"] = pages;
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(pdf)) / (1024 * 1024);
  state.counters["peakMB"] = static_cast<double>(PeakMegabytes());
}
BENCHMARK(Collage)->Args({0, 1000})->Args({1, 50})->Args({1, 1000})->Unit(benchmark::kSecond)->Iterations(1);

// One collage page: the design with its lower half taken away, fitted.
void CollagePage(benchmark::State& state) {
  static ExportFixture f;
  CPattern half = f.design;
  for (int row = 500; row < 1000; ++row)
    for (int column = 0; column < 1000; ++column) half.SetBeadPresent(column, row, false);
  CPdfData data = f.data;
  CPdfExportNew exporter(&f.design, f.palette, &data, f.inputs);
  exporter.Library().begin_document((f.folder / "collage.pdf").string(), "");
  const CKeepFreedMemory keep;  // as during an export
  for (auto _ : state) exporter.WritePreviewFitToPage(half, "collage", data.m_previewStyle);
}
BENCHMARK(CollagePage)->Unit(benchmark::kMillisecond)->Iterations(5);

// Where a collage page's time goes, for the same half design at the size a
// square design gets on an A4 page (4 x 565 points): 0 the beads drawn into
// a bitmap, 1 drawn, taken as a picture and saved as the temporary JPEG (the
// rest of a page is the library's load and placing).
void CollagePageSteps(benchmark::State& state) {
  static ExportFixture f;
  static CPattern half = [] {
    CPattern p = f.design;
    for (int row = 500; row < 1000; ++row)
      for (int column = 0; column < 1000; ++column) p.SetBeadPresent(column, row, false);
    return p;
  }();
  const SIZE size{2260, 2260};
  CPdfData data = f.data;
  CPdfExportNew exporter(&f.design, f.palette, &data, f.inputs);
  const CString jpeg = (f.folder / "steps.jpg").string().c_str();
  const CKeepFreedMemory keep;
  for (auto _ : state) {
    if (state.range(0) == 1) {
      benchmark::DoNotOptimize(exporter.RenderPreviewFile(half, jpeg, size));
    } else {
      CBitmap bitmap;
      benchmark::DoNotOptimize(
          RenderPatternThumbnail(nullptr, half, f.palette, size, 6, &bitmap, RGB(255, 255, 255), nullptr));
    }
  }
}
BENCHMARK(CollagePageSteps)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
