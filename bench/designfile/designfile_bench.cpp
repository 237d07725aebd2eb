// A design of a million beads written to its file and read back: the whole
// save (temporary file, trailer, rename), the whole open (checksum check,
// current container, picture and palette), the preview loader and the
// checksum check alone.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/FileUtils.h"
#include "designfile/DesignFile.h"
#include "designfile/DesignPreview.h"
#include "image/Image.h"
#include "palette/ColorSet.h"

namespace {

constexpr int kSide = 1000;
constexpr int kColours = 40;

struct Fixture {
  Fixture() {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/qm-bench-designfile-" + std::to_string(getpid());
    CreateFolderPath(folder.c_str());
    SetProgramDataFolder(folder.c_str());
    CGridLayout layout{static_cast<float>(kSide) * 0.1f, static_cast<float>(kSide) * 0.1f, 0.1f, 0.1f, 0.0f,
                       kFormatLoom};
    design.CreateGrid(layout, 0);
    for (size_t i = 0; i < design.m_beads.size(); ++i) {
      design.m_beads[i].m_colorIndex = static_cast<int>((i * 7 + i / kSide) % kColours);
      design.m_beads[i].m_cachedColor = static_cast<COLORREF>(i * 2654435761u) & 0xFFFFFF;
      design.m_beads[i].m_present = i % 97 != 0;
    }
    for (int i = 0; i < kColours; ++i)
      palette.Append(CPaletteColor(CRgbTriple(static_cast<BYTE>(i * 6), static_cast<BYTE>(255 - i * 6), 128),
                                   CString(("C" + std::to_string(i)).c_str()), 0, i, 225, 150));
    bool ok = false;
    CImage image(400, 300, ok, 0x00336699);
    picturePath = (folder + "/original.jpg").c_str();
    image.SaveFile(picturePath);
    path = (folder + "/million.qx").c_str();
    SaveDesignFile(path, design, palette, "", picturePath, nullptr);
  }
  ~Fixture() {
    const std::string command = "rm -rf '" + folder + "'";
    if (std::system(command.c_str()) != 0) {
    }
  }

  std::string folder;
  CPattern design;
  CColorSet palette;
  CString picturePath;
  CString path;
};

unsigned long long FileSizeOf(const CString& path) {
  CFileStatus status;
  return GetFileStatus(path, status) ? status.size : 0;
}

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_SaveDesignFile(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    f.design.SetModified(true);
    if (!SaveDesignFile(f.path, f.design, f.palette, "", f.picturePath, nullptr)) state.SkipWithError("save failed");
  }
  state.counters["MB"] = benchmark::Counter(static_cast<double>(FileSizeOf(f.path)) / 1e6);
}

void BM_OpenDesignFile(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    CDesignFileContents contents;
    CString reason;
    if (OpenDesignFile(f.path, contents, reason) != kDesignOpenOk ||
        contents.design->m_beads.size() != static_cast<size_t>(kSide) * kSide)
      state.SkipWithError("open failed");
    RemoveFile(contents.picturePath);
    benchmark::DoNotOptimize(contents.design->m_beads.data());
  }
}

void BM_PreviewDesignFile(benchmark::State& state) {
  Fixture& f = Shared();
  CDesignPreview preview;
  for (auto _ : state) {
    if (!preview.Load(f.path)) state.SkipWithError("preview failed");
  }
}

void BM_VerifyChecksum(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    if (VerifyDesignChecksum(kDesignChecksumMarker, f.path) != 0) state.SkipWithError("checksum");
  }
}

}  // namespace

BENCHMARK(BM_SaveDesignFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenDesignFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PreviewDesignFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_VerifyChecksum)->Unit(benchmark::kMillisecond)->MinTime(2.0);
