#include "palette/NearestColor.h"

#include <algorithm>
#include <climits>

namespace {

// Squared distance from a channel value to the nearest and the farthest
// level of a cell [low, low + 7].
inline int NearGap(int v, int low, int high) { return v < low ? low - v : (v > high ? v - high : 0); }
inline int FarGap(int v, int low, int high) { return std::max(v - low, high - v); }

}  // namespace

void CNearestColorIndex::Clear() {
  entries_.clear();
  for (Level* level : {&coarse_, &fine_}) {
    level->start.clear();
    level->count.clear();
    level->pool.clear();
  }
}

void CNearestColorIndex::Build(const std::vector<CPaletteColor>& colors) {
  Clear();
  for (size_t i = 0; i < colors.size(); ++i) {
    const CPaletteColor& c = colors[i];
    if (!c.IsInUse()) continue;
    const CRgbTriple& rgb = c.GetRgb();
    entries_.push_back(Entry{rgb.red, rgb.green, rgb.blue, static_cast<int>(i)});
  }
  if (entries_.empty()) return;
  coarse_.bits = 5;  // 32 levels a side
  fine_.bits = 3;    // 8 levels a side
  for (Level* level : {&coarse_, &fine_}) {
    const size_t cells = static_cast<size_t>(level->PerAxis()) * level->PerAxis() * level->PerAxis();
    level->start.assign(cells, -1);
    level->count.assign(cells, 0);
  }
}

void CNearestColorIndex::PrepareCell(Level& level, int cell, const Entry* source, size_t sourceCount) const {
  const int side = 1 << level.bits;
  const int perAxis = level.PerAxis();
  const int r0 = (cell / (perAxis * perAxis)) * side;
  const int g0 = ((cell / perAxis) % perAxis) * side;
  const int b0 = (cell % perAxis) * side;
  const int r1 = r0 + side - 1, g1 = g0 + side - 1, b1 = b0 + side - 1;
  // The best colour is at most this far from any point of the cell.
  int sure = INT_MAX;
  for (size_t i = 0; i < sourceCount; ++i) {
    const Entry& e = source[i];
    const int fr = FarGap(e.red, r0, r1), fg = FarGap(e.green, g0, g1), fb = FarGap(e.blue, b0, b1);
    sure = std::min(sure, fr * fr + fg * fg + fb * fb);
  }
  // Every colour that rounds as near as that may win or tie.
  const int reach = MaxSquaredSumForDistance(ColorDistanceFromSquared(sure));
  const int first = static_cast<int>(level.pool.size());
  for (size_t i = 0; i < sourceCount; ++i) {
    const Entry& e = source[i];
    const int nr = NearGap(e.red, r0, r1), ng = NearGap(e.green, g0, g1), nb = NearGap(e.blue, b0, b1);
    if (nr * nr + ng * ng + nb * nb <= reach) level.pool.push_back(e);
  }
  level.start[static_cast<size_t>(cell)] = first;
  level.count[static_cast<size_t>(cell)] = static_cast<int>(level.pool.size()) - first;
}

void CNearestColorIndex::Candidates(Level& level, int r, int g, int b, const Entry*& first, size_t& count) const {
  const int cell = level.CellOf(r, g, b);
  if (level.start[static_cast<size_t>(cell)] < 0) {
    if (&level == &fine_) {
      const Entry* from = nullptr;
      size_t n = 0;
      Candidates(coarse_, r, g, b, from, n);
      PrepareCell(level, cell, from, n);  // fills only the fine pool
    } else {
      PrepareCell(level, cell, entries_.data(), entries_.size());
    }
  }
  first = level.pool.data() + level.start[static_cast<size_t>(cell)];
  count = static_cast<size_t>(level.count[static_cast<size_t>(cell)]);
}

int CNearestColorIndex::Find(int red, int green, int blue, int& distance) const {
  distance = kNoDistance;
  if (entries_.empty()) return -1;
  if (((red | green | blue) & ~0xFF) != 0) {
    // Outside the byte range the cells and bounds do not apply: the plain way.
    int best = kNoDistance, result = -1;
    for (const Entry& e : entries_) {
      const int d = CRgbTriple(static_cast<BYTE>(e.red), static_cast<BYTE>(e.green), static_cast<BYTE>(e.blue))
                        .Distance(red, green, blue);
      if (d < best) {
        best = d;
        result = e.index;
      }
    }
    distance = best;
    return result;
  }
  const Entry* first = nullptr;
  size_t count = 0;
  Candidates(fine_, red, green, blue, first, count);
  // Candidates are in index order: a strictly smaller distance wins.
  const unsigned short* roundedOf = ColorDistanceTable();
  const int* maxSumOf = MaxSquaredSumTable();
  int bestIndex = -1;
  int bestDistance = kNoDistance;
  int strictlyBetter = INT_MAX;  // the largest sum whose distance is smaller than the best
  for (size_t i = 0; i < count; ++i) {
    const Entry& e = first[i];
    const int dr = e.red - red, dg = e.green - green, db = e.blue - blue;
    const int s = dr * dr + dg * dg + db * db;
    if (bestIndex >= 0 && s > strictlyBetter) continue;
    const int d = roundedOf[s];
    if (bestIndex < 0 || d < bestDistance) {
      bestIndex = e.index;
      bestDistance = d;
      strictlyBetter = d > 0 ? maxSumOf[d - 1] : -1;
    }
  }
  distance = bestDistance;
  return bestIndex;
}

int FindNearestColorPlain(const std::vector<CPaletteColor>& colors, int red, int green, int blue, int& distance) {
  int best = CNearestColorIndex::kNoDistance;
  int result = -1;
  for (size_t i = 0; i < colors.size(); ++i) {
    if (!colors[i].IsInUse()) continue;
    const int d = colors[i].GetRgb().Distance(red, green, blue);
    if (d < best) {
      best = d;
      result = static_cast<int>(i);
    }
  }
  distance = best;
  return result;
}
