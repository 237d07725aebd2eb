// Pictures from a photograph: loading a 6000 x 4000 JPEG as a CImage and
// reducing it to 1,000 x 1,000 (CreateResized), side by side in one run with
// plain libjpeg decoding of the same file. The photograph is made when the
// program starts (a scene with gradients, texture at several scales, hard
// edges and sensor noise, JPEG quality 90) and removed at the end; after the
// figures the program prints the two ratios.
//
//   bench_image [benchmark flags]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "image/Image.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kTarget = 1000;

std::string g_photo;

// Smooth value noise on a lattice of `cell` pixels.
class Noise {
 public:
  Noise(int cell, std::mt19937& rng) : cell_(cell), nx_(kWidth / cell + 2), ny_(kHeight / cell + 2) {
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    values_.resize(static_cast<size_t>(nx_) * static_cast<size_t>(ny_));
    for (float& v : values_) v = d(rng);
  }
  float At(int x, int y) const {
    const int ix = x / cell_, iy = y / cell_;
    float tx = static_cast<float>(x % cell_) / static_cast<float>(cell_);
    float ty = static_cast<float>(y % cell_) / static_cast<float>(cell_);
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float* r0 = &values_[static_cast<size_t>(iy) * static_cast<size_t>(nx_) + static_cast<size_t>(ix)];
    const float* r1 = r0 + nx_;
    const float a = r0[0] + (r0[1] - r0[0]) * tx, b = r1[0] + (r1[1] - r1[0]) * tx;
    return a + (b - a) * ty;
  }

 private:
  int cell_, nx_, ny_;
  std::vector<float> values_;
};

unsigned char Channel(float v) { return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Writes the photograph as a JPEG of quality 90 (4:2:0, as cameras save).
bool WritePhoto(const std::string& path) {
  std::mt19937 rng(7);
  const Noise large(1500, rng), medium(400, rng), small(60, rng), fine(9, rng), tint(1100, rng);
  std::normal_distribution<float> sensor(0.0f, 4.0f);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(kWidth) * 3);
  for (int y = 0; y < kHeight; ++y) {
    const float sky = static_cast<float>(y) / kHeight;
    for (int x = 0; x < kWidth; ++x) {
      const float shape = large.At(x, y) * 0.5f + medium.At(x, y) * 0.3f + small.At(x, y) * 0.15f;
      const float grain = fine.At(x, y) * 18.0f;
      // Hard-edged shapes: bands where the large-scale texture crosses levels.
      const float edge = std::floor((shape + 1.0f) * 3.0f) * 22.0f;
      const float horizon = y > kHeight * (0.45f + 0.1f * large.At(x, 0)) ? 1.0f : 0.0f;
      const float t = tint.At(x, y);
      const float r = 60 + 120 * sky + horizon * (edge + 40 * t) + grain + sensor(rng);
      const float g = 90 + 100 * sky + horizon * (0.8f * edge + 30) + grain * 0.9f + sensor(rng);
      const float b = 180 - 60 * sky + horizon * (0.4f * edge - 90 - 30 * t) + grain * 0.7f + sensor(rng);
      row[3 * static_cast<size_t>(x)] = Channel(r);
      row[3 * static_cast<size_t>(x) + 1] = Channel(g);
      row[3 * static_cast<size_t>(x) + 2] = Channel(b);
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(file) == 0;
}

// libjpeg alone: the file decoded row by row into one row buffer, with the
// defaults (integer transform, smooth chroma upsampling), blue-green-red.
void BM_PlainLibjpegDecode(benchmark::State& state) {
  std::vector<unsigned char> row(static_cast<size_t>(kWidth) * 3);
  for (auto _ : state) {
    FILE* file = std::fopen(g_photo.c_str(), "rb");
    if (!file) {
      state.SkipWithError("cannot open the photograph");
      return;
    }
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW p = row.data();
      jpeg_read_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    benchmark::DoNotOptimize(row.data());
  }
}

void BM_LoadPicture(benchmark::State& state) {
  for (auto _ : state) {
    bool ok = false;
    CImage picture(g_photo.c_str(), ok);
    if (!ok || picture.GetWidth() != kWidth || picture.GetHeight() != kHeight) {
      state.SkipWithError("the picture did not load");
      return;
    }
    benchmark::DoNotOptimize(picture.GetBits());
  }
}

void BM_CreateResized(benchmark::State& state) {
  bool ok = false;
  const CImage picture(g_photo.c_str(), ok);
  if (!ok) {
    state.SkipWithError("the picture did not load");
    return;
  }
  for (auto _ : state) {
    std::unique_ptr<CImage> reduced = picture.CreateResized(SIZE{kTarget, kTarget});
    if (!reduced || reduced->GetWidth() != kTarget || reduced->GetHeight() != kTarget) {
      state.SkipWithError("the resize failed");
      return;
    }
    benchmark::DoNotOptimize(reduced->GetBits());
  }
}

// The console figures, and each benchmark's real time (the median when
// repeated) kept for the ratios.
class CRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Iteration ? !medians_.count(name) : median) {
        seconds_[name] = run.GetAdjustedRealTime() / 1000.0;  // figures are in milliseconds
        if (median) medians_[name] = true;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Seconds(const std::string& name) const {
    const auto it = seconds_.find(name);
    return it == seconds_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> seconds_;
  std::map<std::string, bool> medians_;
};

}  // namespace

BENCHMARK(BM_PlainLibjpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_LoadPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CreateResized)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  g_photo = (folder / ("bench_image_photo_" + std::to_string(getpid()) + ".jpg")).string();
  if (error || !WritePhoto(g_photo)) {
    std::fprintf(stderr, "cannot write the photograph %s\n", g_photo.c_str());
    return 1;
  }
  std::fprintf(stderr, "photograph: %d x %d, %ju bytes\n", kWidth, kHeight,
               static_cast<std::uintmax_t>(std::filesystem::file_size(g_photo, error)));
  CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::filesystem::remove(g_photo, error);
  const double decode = reporter.Seconds("BM_PlainLibjpegDecode");
  const double load = reporter.Seconds("BM_LoadPicture");
  const double resize = reporter.Seconds("BM_CreateResized");
  if (decode > 0 && load > 0) std::printf("loading / plain libjpeg decoding: %.2f (goal: 2 or less)\n", load / decode);
  if (decode > 0 && resize > 0)
    std::printf("CreateResized to %d x %d / plain libjpeg decoding: %.2f (%.3f s; goal: under 0.3 s)\n", kTarget,
                kTarget, resize / decode, resize);
  return 0;
}
