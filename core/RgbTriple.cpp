#include "core/RgbTriple.h"

#include <array>
#include <cmath>
#include <vector>

namespace {

// The channel weights of the distance; all three are 1.0.
constexpr double kWeightRed = 1.0;
constexpr double kWeightGreen = 1.0;
constexpr double kWeightBlue = 1.0;

constexpr int kMaxSquaredSum = 3 * 255 * 255;
constexpr int kMaxDistance = 442;

int RoundHalfAway(float v) {
  return v >= 0.0f ? static_cast<int>(v + 0.5f) : -static_cast<int>(-v + 0.5f);
}

int ComputeDistance(int dR, int dG, int dB) {
  const double s = static_cast<double>(dB * dB) * kWeightBlue + static_cast<double>(dG * dG) * kWeightGreen +
                   static_cast<double>(dR * dR) * kWeightRed;
  const float d = static_cast<float>(std::sqrt(s));
  return RoundHalfAway(d);
}

// For each rounded distance, the largest squared sum that rounds to it or
// below. The rounding is monotone in the sum, so this table answers both
// "what distance does this sum give" (by search) and the search bounds.
struct DistanceTables {
  std::array<int, kMaxDistance + 1> maxSum{};
  std::vector<unsigned short> distance;
  DistanceTables() : distance(static_cast<size_t>(kMaxSquaredSum) + 1) {
    maxSum.fill(-1);
    for (int s = 0; s <= kMaxSquaredSum; ++s) {
      // The weights are all 1.0, so the distance depends only on the sum.
      const double sum = static_cast<double>(s);
      const int d = RoundHalfAway(static_cast<float>(std::sqrt(sum)));
      distance[static_cast<size_t>(s)] = static_cast<unsigned short>(d);
      if (d <= kMaxDistance) maxSum[d] = s;
    }
    for (int d = 1; d <= kMaxDistance; ++d)
      if (maxSum[d] < maxSum[d - 1]) maxSum[d] = maxSum[d - 1];
  }
};

const DistanceTables& Tables() {
  static const DistanceTables tables;
  return tables;
}

}  // namespace

int ColorDistanceFromSquared(int squaredSum) {
  if (squaredSum <= 0) return 0;
  return RoundHalfAway(static_cast<float>(std::sqrt(static_cast<double>(squaredSum))));
}

int MaxSquaredSumForDistance(int distance) {
  if (distance < 0) return -1;
  if (distance >= kMaxDistance) return kMaxSquaredSum;
  return Tables().maxSum[distance];
}

const unsigned short* ColorDistanceTable() { return Tables().distance.data(); }

const int* MaxSquaredSumTable() { return Tables().maxSum.data(); }

int CRgbTriple::Distance(int r, int g, int b) const {
  return ComputeDistance(static_cast<int>(red) - r, static_cast<int>(green) - g, static_cast<int>(blue) - b);
}
