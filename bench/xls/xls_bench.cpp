// Benchmarks of the spreadsheet writer: the palette export of 5,000 colours
// with all 21 columns (built and saved), and the writer alone on the same
// amount of cells.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "palette/PaletteWorkbookExport.h"
#include "platform/base.h"
#include "xls/XlsDocument.h"

namespace {

std::vector<CPaletteColor> MakeColors(int count) {
  std::vector<CPaletteColor> colors;
  for (int i = 0; i < count; ++i) {
    CPaletteColor c(CRgbTriple(static_cast<BYTE>(i), static_cast<BYTE>(i * 3), static_cast<BYTE>(i * 7)),
                    ("MFG-" + std::to_string(i)).c_str(), static_cast<DWORD>(i % 500), i, 250, 12345);
    c.nickname = ("Colour number " + std::to_string(i)).c_str();
    c.colorType = i % 2 ? "Opaque" : "Transparent";
    c.typeColor = "Red";
    c.durability = "Good";
    c.safeColor = "Yes";
    c.miscInfo = ("Lot " + std::to_string(i / 10)).c_str();
    c.price = 4321 + static_cast<DWORD>(i);
    c.inventory = i % 300;
    c.assigned = i % 200;
    colors.push_back(c);
  }
  return colors;
}

std::string TempPath(const char* name) { return "/tmp/qm-bench-" + std::to_string(getpid()) + "-" + name; }

void BM_PaletteWorkbookExport(benchmark::State& state) {
  static HINSTANCE pack = [] {
    HINSTANCE h = LoadLibrary((std::string(QM_BIN_DIR_DEFAULT) + "/Pellow_En.dll").c_str());
    if (h) AfxSetResourceHandle(h);
    return h;
  }();
  if (!pack) state.SkipWithError("Pellow_En.dll not found");
  SetAnsiCodePage(1252);
  const std::vector<CPaletteColor> colors = MakeColors(static_cast<int>(state.range(0)));
  CColorListData layout(0);
  layout.columns.clear();
  for (int kind = 0; kind < kColumnKindCount; ++kind) layout.columns.push_back({kind, kColumnAutoWidth});
  const std::string path = TempPath("export.xls");
  for (auto _ : state) {
    CPaletteWorkbookExport exporter(colors, layout, path.c_str());
    if (!exporter.Export(true)) state.SkipWithError("export failed");
  }
  unlink(path.c_str());
}
BENCHMARK(BM_PaletteWorkbookExport)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_WorkbookSave(benchmark::State& state) {
  SetAnsiCodePage(1252);
  const int rows = static_cast<int>(state.range(0));
  XlsDocument doc;
  doc.New(1);
  XlsSheet* sheet = doc.GetWorksheet(0);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < 21; ++c) {
      if (c % 3 == 0)
        *sheet->Cell(r, c) = ("Text " + std::to_string(r * 21 + c)).c_str();
      else if (c % 3 == 1)
        sheet->Cell(r, c)->SetInteger(r * c);
      else
        sheet->Cell(r, c)->SetDouble(r * 0.25 + c);
    }
  const std::string path = TempPath("save.xls");
  for (auto _ : state)
    if (!doc.SaveAs(path.c_str())) state.SkipWithError("save failed");
  unlink(path.c_str());
}
BENCHMARK(BM_WorkbookSave)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
