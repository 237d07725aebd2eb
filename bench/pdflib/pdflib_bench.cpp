// The PDF library on the three loads of a chart: a grid of a million cells,
// a long word chart in two text columns, and a long colour table. Each run
// writes a real file; the counters give its size and the process's peak
// memory (run one benchmark per process, with --benchmark_filter, for the
// peak of that benchmark alone).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "pdflib/pdflib.h"

namespace {

std::string OutFile(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("qm-bench-") + std::to_string(getpid()) + "-" + name)).string();
}

void Report(benchmark::State& state, const std::string& path) {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["peak_RSS_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
  std::filesystem::remove(path);
}

// 100 pages of 100 x 100 cells: a coloured box, its number and its frame.
void BM_GridCells(benchmark::State& state) {
  const std::string path = OutFile("grid.pdf");
  for (auto _ : state) {
    PDFlib p;
    p.begin_document(path, "");
    const int font = p.load_font("Arial", "winansi", "");
    for (int page = 0; page < 100; ++page) {
      p.begin_page_ext(595, 842, "");
      p.setfont(font, 5);
      p.setlinewidth(0.5);
      p.setcolor("stroke", "gray", 0.5, 0, 0, 0);
      for (int r = 0; r < 100; ++r) {
        for (int c = 0; c < 100; ++c) {
          const double x = 20 + c * 5.5, y = 20 + r * 8;
          p.setcolor("fill", "rgb", (c % 7) / 7.0, (r % 5) / 5.0, 0.5, 0);
          p.rect(x, y, 5.5, 8);
          p.fill();
          p.setcolor("fill", "rgb", 0, 0, 0, 0);
          p.show_xy(std::to_string((r * 100 + c) % 97), x + 1, y + 2);
          p.rect(x, y, 5.5, 8);
          p.stroke();
        }
      }
      p.end_page_ext("");
    }
    p.end_document("");
  }
  state.counters["cells"] = 1e6;
  Report(state, path);
}
BENCHMARK(BM_GridCells)->Unit(benchmark::kMillisecond)->Iterations(3);

// About 1 MB of word-chart text with inline colours, in two columns a page.
void BM_WordChartColumns(benchmark::State& state) {
  const std::string path = OutFile("words.pdf");
  const std::string body = "fontname=Arial fontsize=9 encoding=winansi fillcolor={rgb 0 0 0} charref underline=false alignment=justify";
  const std::string head = "fontname=Arial fontsize=9 encoding=winansi fillcolor={rgb 0 0 0.7} charref underline=true alignment=center";
  std::size_t bytes = 0;
  for (auto _ : state) {
    PDFlib p;
    p.begin_document(path, "");
    int flow = -1;
    bytes = 0;
    for (int line = 1; bytes < 1000000; ++line) {
      const std::string h = "--- Row " + std::to_string(line) + ", left to right ---\n";
      flow = p.add_textflow(flow, h, head);
      bytes += h.size();
      for (int run = 0; run < 12; ++run) {
        const int colour = (line * 7 + run * 3) % 40;
        char coloured[160];
        std::snprintf(coloured, sizeof coloured,
                      "fontname=Arial fontsize=9 encoding=winansi fillcolor={rgb %f %f %f} charref underline=false "
                      "alignment=justify",
                      (colour % 5) / 5.0, (colour % 7) / 7.0, (colour % 3) / 3.0);
        const std::string count = std::to_string(run % 9 + 1) + "(";
        const std::string name = "Colour " + std::to_string(colour);
        flow = p.add_textflow(flow, count, body);
        flow = p.add_textflow(flow, name, coloured);
        flow = p.add_textflow(flow, ") ", body);
        bytes += count.size() + name.size() + 2;
      }
      flow = p.add_textflow(flow, "\n\n", body);
      bytes += 2;
    }
    const double width = (595 - 20 - 10 - 10) / 2.0;
    std::string result;
    do {
      p.begin_page_ext(595, 842, "");
      double x = 20;
      for (int column = 0; column < 2; ++column, x += width + 10) {
        result = p.fit_textflow(flow, x, 842 - 30, x + width, 30, "");
        if (result == "_stop") break;
      }
      p.end_page_ext("");
    } while (result == "_boxfull");
    p.end_document("");
  }
  state.counters["text_MB"] = static_cast<double>(bytes) / 1e6;
  Report(state, path);
}
BENCHMARK(BM_WordChartColumns)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 5,000-row colour table: a swatch, four text columns, header repeated.
void BM_ColourTable(benchmark::State& state) {
  const std::string path = OutFile("table.pdf");
  int pages = 0;
  for (auto _ : state) {
    PDFlib p;
    p.begin_document(path, "");
    const int font = p.load_font("Arial", "winansi", "");
    const std::string head = "fittextline={position=center font=" + std::to_string(font) + " fontsize=9} colspan=1";
    int table = -1;
    const char* titles[] = {"Color", "Name", "Number", "Count", "Cost"};
    for (int c = 0; c < 5; ++c) table = p.add_table_cell(table, c + 1, 1, titles[c], head);
    const int widths[] = {7, 47, 23, 12, 11};
    for (int r = 0; r < 5000; ++r) {
      for (int c = 0; c < 5; ++c) {
        char list[200];
        std::snprintf(list, sizeof list,
                      "colwidth=%d%% fittextline={font=%d fontsize=9} matchbox={fillcolor={rgb %.1f %.1f %.1f}}",
                      widths[c], font, c == 0 ? (r % 10) / 10.0 : 1.0, c == 0 ? (r % 7) / 7.0 : 1.0,
                      c == 0 ? (r % 3) / 3.0 : 1.0);
        const std::string text = c == 0 ? "" : c == 1 ? "Bead colour " + std::to_string(r) : std::to_string(r * c);
        table = p.add_table_cell(table, c + 1, r + 2, text, list);
      }
    }
    pages = 0;
    std::string result;
    do {
      p.begin_page_ext(0, 0, "width=595 height=842");
      result = p.fit_table(table, 20, 22, 565, 801, "header=1 stroke={{line=other}}");
      p.end_page_ext("");
      ++pages;
    } while (result == "_boxfull");
    p.delete_table(table, "");
    p.end_document("");
  }
  state.counters["pages"] = pages;
  Report(state, path);
}
BENCHMARK(BM_ColourTable)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
