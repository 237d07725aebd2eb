// Writes a picture with the detail of a photograph as a binary PPM on the
// standard output: a sky and land scene with smooth gradients, cloud and
// terrain texture over several scales, objects with hard edges and shading,
// fine grass texture and sensor noise. For the builder benchmark, which
// encodes it as a JPEG of camera quality.
//
//   make_photo WIDTH HEIGHT [SEED] > photo.ppm
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Value noise on a lattice of `cell` pixels, smooth between lattice points.
class ValueNoise {
 public:
  ValueNoise(int width, int height, int cell, std::mt19937& rng) : cell_(cell) {
    nx_ = width / cell + 2;
    ny_ = height / cell + 2;
    values_.resize(static_cast<size_t>(nx_) * ny_);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    for (float& v : values_) v = d(rng);
  }
  float At(int x, int y) const {
    const float fx = static_cast<float>(x) / cell_, fy = static_cast<float>(y) / cell_;
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const float* r0 = &values_[static_cast<size_t>(iy) * nx_ + ix];
    const float* r1 = r0 + nx_;
    const float a = r0[0] + (r0[1] - r0[0]) * tx;
    const float b = r1[0] + (r1[1] - r1[0]) * tx;
    return a + (b - a) * ty;
  }

 private:
  int cell_, nx_, ny_;
  std::vector<float> values_;
};

struct Blob {
  float cx, cy, rx, ry;
  float r, g, b;
  float rim;
};

float Clamp255(float v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_photo WIDTH HEIGHT [SEED] > photo.ppm\n");
    return 2;
  }
  const int w = std::atoi(argv[1]), h = std::atoi(argv[2]);
  const unsigned seed = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u;
  if (w < 16 || h < 16 || w > 30000 || h > 30000) return 2;
  std::mt19937 rng(seed);
  const int s = std::max(w, h);
  // Octaves from the size of the picture down to a few pixels.
  ValueNoise large(w, h, std::max(8, s / 3), rng), medium(w, h, std::max(4, s / 12), rng),
      small(w, h, std::max(4, s / 60), rng), fine(w, h, std::max(2, s / 400), rng), grain(w, h, 3, rng),
      horizon(w, 1, std::max(4, s / 10), rng), tint(w, h, std::max(8, s / 5), rng);
  std::vector<Blob> blobs;
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  for (int i = 0; i < 60; ++i) {
    Blob b;
    b.cx = u(rng) * w;
    b.cy = h * (0.45f + 0.55f * u(rng));
    b.rx = s * (0.01f + 0.06f * u(rng));
    b.ry = b.rx * (0.4f + 1.2f * u(rng));
    b.r = 40 + 180 * u(rng);
    b.g = 40 + 160 * u(rng);
    b.b = 30 + 150 * u(rng);
    b.rim = 0.5f + 0.4f * u(rng);
    blobs.push_back(b);
  }
  std::sort(blobs.begin(), blobs.end(), [](const Blob& a, const Blob& b) { return a.cy < b.cy; });
  std::normal_distribution<float> sensor(0.0f, 3.5f);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  std::printf("P6\n%d %d\n255\n", w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float line = h * (0.5f + 0.06f * horizon.At(x, 0));
      const float n1 = large.At(x, y), n2 = medium.At(x, y), n3 = small.At(x, y), n4 = fine.At(x, y);
      float r, g, b;
      if (y < line) {
        // Sky: a gradient with clouds.
        const float t = y / line;
        const float cloud = std::max(0.0f, n1 * 0.6f + n2 * 0.3f + n3 * 0.15f + n4 * 0.05f);
        const float haze = 6 * grain.At(x, y);
        r = 70 + 110 * t + 160 * cloud + haze;
        g = 120 + 90 * t + 140 * cloud + haze;
        b = 200 + 40 * t + 60 * cloud;
      } else {
        // Land: terrain colours with grass texture.
        const float t = (y - line) / (h - line);
        const float k = n1 * 0.5f + n2 * 0.3f + n3 * 0.15f;
        const float gr = grain.At(x, y) * 26 + n4 * 16;
        r = 90 + 60 * k - 30 * t + gr + 30 * tint.At(x, y);
        g = 120 + 50 * k - 40 * t + gr;
        b = 60 + 30 * k - 20 * t + gr * 0.5f;
      }
      // Objects with hard edges, shaded from the upper left.
      for (const Blob& o : blobs) {
        const float dx = (x - o.cx) / o.rx, dy = (y - o.cy) / o.ry;
        const float d = dx * dx + dy * dy;
        if (d >= 1.0f) continue;
        const float shade = 0.75f + 0.35f * (-dx * 0.6f - dy * 0.8f) + 0.1f * n3;
        const float edge = d > o.rim * o.rim ? 0.7f : 1.0f;
        const float tex = 18 * grain.At(x, y);
        r = o.r * shade * edge + 12 * n4 + tex;
        g = o.g * shade * edge + 12 * n4 + tex;
        b = o.b * shade * edge + 12 * n4;
      }
      unsigned char* p = &row[static_cast<size_t>(x) * 3];
      p[0] = static_cast<unsigned char>(Clamp255(r + sensor(rng)));
      p[1] = static_cast<unsigned char>(Clamp255(g + sensor(rng)));
      p[2] = static_cast<unsigned char>(Clamp255(b + sensor(rng)));
    }
    if (std::fwrite(row.data(), 1, row.size(), stdout) != row.size()) return 1;
  }
  return 0;
}
