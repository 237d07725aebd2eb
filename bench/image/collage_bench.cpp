// A 3,000 x 2,000 collage (a 2,000 x 1,500 picture layer turned 30 degrees
// with an HSL shift, a text layer with a shadow of 8 and a gradient) loaded
// and rendered, and an EMF of 10,000 records (lines, polygons, 500 text
// runs) decoded to 2,000 x 1,500.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "image/Collage.h"
#include "image/codec/BaseImage.h"
#include "platform/gdi/guiapp.h"
#include "tests/image/collage_fixtures.h"
#include "tests/image/metafile_fixtures.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder() {
  static const fs::path dir = [] {
    QmEnsureGuiApplication();
    fs::path d = fs::temp_directory_path() / "qm_bench_collage";
    fs::create_directories(d);
    bool ok = false;
    CImage pic(2000, 1500, ok, 0);
    for (int y = 0; y < 1500; ++y)
      for (int x = 0; x < 2000; ++x)
        pic.SetPixelRGB(x, y, static_cast<BYTE>(x), static_cast<BYTE>(y), static_cast<BYTE>(x + y));
    pic.SaveFile((d / "big.bmp").string().c_str(), kImageTypeBMP);
    collagetest::CollageFile f;
    f.width = 3000;
    f.height = 2000;
    collagetest::ImageLayer l;
    l.name = "big.bmp";
    l.x = 300;
    l.y = 200;
    l.rotation = 30;
    l.hsl[0] = 20;
    l.hsl[1] = 10;
    l.hsl[2] = -5;
    l.transparency = 40;
    collagetest::TextLayer t;
    t.text = "Quillmere\r\nbeads";
    t.height = -160;
    t.x = 100;
    t.y = 100;
    t.shadow = 8;
    t.fade = 120;
    t.gradient = 1;
    t.color = RGB(255, 0, 0);
    t.gradientEnd = RGB(0, 0, 255);
    t.face = "Arial";
    f.texts.push_back(t);
    f.images.push_back(l);
    f.order = {'t', 'i'};
    const std::vector<BYTE> bytes = f.Bytes(true);
    std::ofstream((d / "bench.tsw"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                            static_cast<std::streamsize>(bytes.size()));
    return d;
  }();
  return dir;
}

void BM_CollageLoadAndRender(benchmark::State& state) {
  const std::string path = (Folder() / "bench.tsw").string();
  for (auto _ : state) {
    CImage canvas;
    const bool ok = LoadCollageFile(canvas, path.c_str(), nullptr);
    if (!ok) state.SkipWithError("collage failed");
    benchmark::DoNotOptimize(canvas.GetBits());
  }
}
BENCHMARK(BM_CollageLoadAndRender)->Unit(benchmark::kMillisecond);

std::vector<unsigned char> BigEmf() {
  using namespace metafiletest;
  Emf e(2000, 1500);
  e.Rec(EmrExtCreateFont, Font(1, -18, 0, "Arial")).Rec(EmrSelectObject, One(1)).Rec(EmrSetBkMode, One(1));
  e.Rec(EmrCreateBrush, Brush(2, RGB(200, 220, 90))).Rec(EmrSelectObject, One(2));
  int records = 5;
  for (int i = 0; records < 10000; ++i) {
    const int x = (i * 37) % 1900, y = (i * 53) % 1400;
    if (i % 19 == 0) {
      const std::string s = "Text run " + std::to_string(i);
      e.Rec(EmrExtTextOutA, TextRun(x, y, std::vector<unsigned char>(s.begin(), s.end()), false));
      ++records;
    } else if (i % 2 == 0) {
      e.Rec(EmrMoveTo, Two(x, y)).Rec(EmrLineTo, Two(x + 90, y + 60));
      records += 2;
    } else {
      e.Rec(EmrPolygon16, Points16({{x, y}, {x + 80, y + 10}, {x + 40, y + 90}}));
      ++records;
    }
  }
  return e.Bytes();
}

void BM_EmfDecode(benchmark::State& state) {
  QmEnsureGuiApplication();
  const std::vector<unsigned char> bytes = BigEmf();
  for (auto _ : state) {
    CBaseImage img;
    if (!img.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), CODEC_FORMAT_WMF))
      state.SkipWithError(img.GetLastError());
    benchmark::DoNotOptimize(img.GetBits());
  }
}
BENCHMARK(BM_EmfDecode)->Unit(benchmark::kMillisecond);

}  // namespace
