#include "palette/NearestColor.h"

#include <algorithm>
#include <climits>

void CNearestColorIndex::Clear() {
  entries_.clear();
  std::fill(std::begin(firstAtRed_), std::end(firstAtRed_), 0);
}

void CNearestColorIndex::Build(const std::vector<CPaletteColor>& colors) {
  entries_.clear();
  for (size_t i = 0; i < colors.size(); ++i) {
    const CPaletteColor& c = colors[i];
    if (!c.inUse) continue;
    entries_.push_back(Entry{c.color.red, c.color.green, c.color.blue, static_cast<int>(i)});
  }
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.red != b.red ? a.red < b.red : a.index < b.index;
  });
  size_t e = 0;
  for (int v = 0; v <= 256; ++v) {
    while (e < entries_.size() && entries_[e].red < v) ++e;
    firstAtRed_[v] = static_cast<int>(e);
  }
}

int CNearestColorIndex::Find(int red, int green, int blue, int& distance) const {
  distance = kNoDistance;
  if (entries_.empty()) return -1;
  if (((red | green | blue) & ~0xFF) != 0) {
    // Outside the byte range the distance bounds do not hold: look at all.
    int best = kNoDistance, result = -1;
    for (const Entry& e : entries_) {
      const int d = CRgbTriple(static_cast<BYTE>(e.red), static_cast<BYTE>(e.green), static_cast<BYTE>(e.blue))
                        .Distance(red, green, blue);
      if (d < best || (d == best && result >= 0 && e.index < result)) {
        best = d;
        result = e.index;
      }
    }
    distance = best;
    return result;
  }
  int bestIndex = -1;
  int bestDistance = kNoDistance;
  int bound = INT_MAX;         // largest squared sum that can still win
  int strictlyBetter = INT_MAX;  // largest squared sum with a smaller distance

  auto consider = [&](const Entry& e, int dR2) {
    const int dG = e.green - green;
    const int dB = e.blue - blue;
    const int s = dR2 + dG * dG + dB * dB;
    if (s > bound) return;
    if (bestIndex < 0 || s <= strictlyBetter) {
      bestDistance = ColorDistanceFromSquared(s);
      bestIndex = e.index;
      bound = MaxSquaredSumForDistance(bestDistance);
      strictlyBetter = MaxSquaredSumForDistance(bestDistance - 1);
    } else if (e.index < bestIndex) {
      bestIndex = e.index;  // as near as the best: the lower index wins
    }
  };

  const int r = std::clamp(red, 0, 256);
  int up = firstAtRed_[r];       // entries with red >= query, going up
  int down = up - 1;             // entries with red < query, going down
  const int n = static_cast<int>(entries_.size());
  while (up < n || down >= 0) {
    const int dUp = up < n ? entries_[up].red - red : INT_MAX;
    const int dDown = down >= 0 ? red - entries_[down].red : INT_MAX;
    const bool takeUp = dUp <= dDown;
    const int dR = takeUp ? dUp : dDown;
    const long long dR2 = static_cast<long long>(dR) * dR;
    if (dR2 > bound) break;  // every remaining colour is at least this far in red
    consider(takeUp ? entries_[up] : entries_[down], static_cast<int>(dR2));
    if (takeUp)
      ++up;
    else
      --down;
  }
  distance = bestDistance;
  return bestIndex;
}

int FindNearestColorPlain(const std::vector<CPaletteColor>& colors, int red, int green, int blue, int& distance) {
  int best = CNearestColorIndex::kNoDistance;
  int result = -1;
  for (size_t i = 0; i < colors.size(); ++i) {
    if (!colors[i].inUse) continue;
    const int d = colors[i].color.Distance(red, green, blue);
    if (d < best) {
      best = d;
      result = static_cast<int>(i);
    }
  }
  distance = best;
  return result;
}
