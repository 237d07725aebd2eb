// The whole-design operations as they were written before they were made
// faster, kept word for word: the tests compare the present code's results
// with these on tables of designs, and bench/palette times both side by side.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "builder/BuildPicture.h"
#include "builder/ColorOps.h"
#include "builder/SepStitchFinder.h"
#include "core/FrameServices.h"
#include "core/LargeArray.h"
#include "design/BeadBlock.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "palette/NearestColor.h"

namespace oldops {

// The present beads grouped by their cached colour: bead indices ordered by
// colour (24 bits), beads of one colour in bead order, and the runs of one
// colour. A three-pass radix sort keeps this linear in the bead count.
struct CColorRuns {
  std::vector<UINT> order;
  std::vector<COLORREF> color;   // the colour of each entry of order
  std::vector<size_t> runStart;  // one more entry than there are runs
  COLORREF ColorOf(size_t run) const { return color[runStart[run]]; }
  size_t RunCount() const { return runStart.empty() ? 0 : runStart.size() - 1; }
};

inline void SortByColor(const CBeadArray& beads, CColorRuns& runs) {
  // Colour and bead index together, read once in bead order, then sorted
  // by colour a byte at a time (stable, so beads of a colour stay in order).
  std::vector<uint64_t> from;
  from.reserve(beads.size());
  for (size_t i = 0; i < beads.size(); ++i)
    if (beads[i].m_present)
      from.push_back((static_cast<uint64_t>(beads[i].m_cachedColor & 0xFFFFFF) << 32) | static_cast<uint64_t>(i));
  std::vector<uint64_t> to(from.size());
  for (int shift = 32; shift < 56; shift += 8) {
    size_t counts[257] = {};
    for (uint64_t v : from) ++counts[((v >> shift) & 0xFF) + 1];
    for (int b = 0; b < 256; ++b) counts[b + 1] += counts[b];
    for (uint64_t v : from) to[counts[(v >> shift) & 0xFF]++] = v;
    from.swap(to);
  }
  to.clear();
  to.shrink_to_fit();
  runs.order.resize(from.size());
  runs.color.resize(from.size());
  runs.runStart.clear();
  for (size_t k = 0; k < from.size(); ++k) {
    runs.order[k] = static_cast<UINT>(from[k] & 0xFFFFFFFFu);
    runs.color[k] = static_cast<COLORREF>(from[k] >> 32);
    if (k == 0 || runs.color[k] != runs.color[k - 1]) runs.runStart.push_back(k);
  }
  runs.runStart.push_back(from.size());
}

// The remaining cluster keys as channels, for the nearest-key search.
struct CKeyTable {
  std::vector<int> r, g, b;
  void Set(const std::vector<CColorCluster>& clusters) {
    r.resize(clusters.size());
    g.resize(clusters.size());
    b.resize(clusters.size());
    for (size_t i = 0; i < clusters.size(); ++i) {
      r[i] = GetRValue(clusters[i].key);
      g[i] = GetGValue(clusters[i].key);
      b[i] = GetBValue(clusters[i].key);
    }
  }
  // The first key with the smallest squared distance.
  size_t Nearest(COLORREF color) const {
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    const size_t n = r.size();
    distance.resize(n);
    int* d = distance.data();
    const int* pr = r.data();
    const int* pg = g.data();
    const int* pb = b.data();
    int smallest = INT_MAX;
    for (size_t i = 0; i < n; ++i) {
      const int dr = pr[i] - cr, dg = pg[i] - cg, db = pb[i] - cb;
      d[i] = dr * dr + dg * dg + db * db;
      smallest = d[i] < smallest ? d[i] : smallest;
    }
    for (size_t i = 0; i < n; ++i)
      if (d[i] == smallest) return i;
    return 0;
  }
  mutable std::vector<int> distance;
};

// Groups the present beads by their nearest in-use palette colour (each bead
// takes that colour), using runs already sorted by colour.
inline void BuildClustersFromRuns(CPattern& design, const CColorSet& palette, const CColorRuns& runs,
                           std::vector<CColorCluster>& clusters, CStatusProgress* progress) {
  clusters.clear();
  CBeadArray& beads = design.m_beads;
  const size_t colors = static_cast<size_t>(palette.GetCount());
  // Per palette colour: its cluster's members and the first bead that took it
  // (clusters are listed in the order their first bead comes in the design).
  std::vector<std::vector<CColorClusterMember>> members(colors);
  std::vector<UINT> firstBead(colors, UINT_MAX);
  std::vector<int> total(colors, 0);
  std::vector<int> result(beads.size(), -1);
  int done = 0;
  for (size_t run = 0; run < runs.RunCount(); ++run) {
    const size_t from = runs.runStart[run], to = runs.runStart[run + 1];
    const COLORREF color = runs.ColorOf(run);
    const int index = palette.FindNearestColorref(color);
    if (progress) {
      done += static_cast<int>(to - from);
      progress->SetPos(done);
    }
    if (index < 0) continue;  // no colour in use: the beads stay as they are
    for (size_t k = from; k < to; ++k) result[runs.order[k]] = index;
    const size_t i = static_cast<size_t>(index);
    firstBead[i] = std::min(firstBead[i], runs.order[from]);
    members[i].push_back(CColorClusterMember{color, static_cast<int>(to - from)});
    total[i] += static_cast<int>(to - from);
  }
  for (size_t i = 0; i < beads.size(); ++i)
    if (result[i] >= 0) beads[i].SetColorIndex(result[i]);
  std::vector<size_t> used;
  for (size_t i = 0; i < colors; ++i)
    if (firstBead[i] != UINT_MAX) used.push_back(i);
  std::sort(used.begin(), used.end(), [&](size_t a, size_t b) { return firstBead[a] < firstBead[b]; });
  for (size_t i : used)
    clusters.push_back(CColorCluster{palette.GetColorrefAt(static_cast<int>(i)), total[i], std::move(members[i])});
}

inline void MergeColorClusters(std::vector<CColorCluster>& clusters, int target) {
  if (target <= 0 || static_cast<size_t>(target) >= clusters.size()) return;
  // A source colour belongs to one cluster at a time (clusters are made by
  // nearest palette colour), so a moved member never meets its own colour
  // in the cluster it joins.
  CKeyTable keys;
  const size_t removals = clusters.size() - static_cast<size_t>(target);
  for (size_t step = 0; step < removals; ++step) {
    std::stable_sort(clusters.begin(), clusters.end(),
                     [](const CColorCluster& a, const CColorCluster& b) { return a.count > b.count; });
    CColorCluster removed = std::move(clusters.back());
    clusters.pop_back();
    keys.Set(clusters);
    for (const CColorClusterMember& m : removed.members) {
      CColorCluster& into = clusters[keys.Nearest(m.color)];
      into.members.push_back(m);
      into.count += m.count;
    }
  }
}

inline void ReduceColors(CPattern& design, const CColorSet& palette, int target, const char* caption) {
  (void)caption;
  CColorRuns runs;
  SortByColor(design.m_beads, runs);
  std::vector<CColorCluster> clusters;
  BuildClustersFromRuns(design, palette, runs, clusters, nullptr);
  if (target > 0 && static_cast<size_t>(target) < clusters.size()) {
    oldops::MergeColorClusters(clusters, target);
    // Every present bead takes the remaining key nearest to its own colour,
    // and the in-use colour nearest to that key.
    CKeyTable keys;
    keys.Set(clusters);
    std::vector<int> indexOfKey(clusters.size());
    for (size_t k = 0; k < clusters.size(); ++k) indexOfKey[k] = palette.FindNearestColorref(clusters[k].key);
    std::vector<int> result(design.m_beads.size(), -1);
    for (size_t run = 0; run < runs.RunCount(); ++run) {
      const int index = indexOfKey[keys.Nearest(runs.ColorOf(run))];
      for (size_t k = runs.runStart[run]; k < runs.runStart[run + 1]; ++k) result[runs.order[k]] = index;
    }
    for (size_t i = 0; i < result.size(); ++i)
      if (result[i] >= 0) design.m_beads[i].SetColorIndex(result[i]);
  }
  design.SetModified(true);
}

// The colour reduction as it was before the distinct colours were found
// through a bitmap and the merging ran on flat member lists: beads sorted
// by colour into runs, the nearest palette colour of each run found on
// threads, the merging on the clusters' own member lists.
namespace sweep {

// The present beads grouped by their cached colour: bead indices ordered by
// colour (24 bits), beads of one colour in bead order, and the runs of one
// colour. A three-pass radix sort keeps this linear in the bead count.
template <typename T>
using CBigVector = std::vector<T, CLargeBlockAllocator<T>>;

struct CColorRuns {
  CBigVector<UINT> order;
  CBigVector<COLORREF> color;    // the colour of each entry of order
  CBigVector<size_t> runStart;   // one more entry than there are runs
  COLORREF ColorOf(size_t run) const { return color[runStart[run]]; }
  size_t RunCount() const { return runStart.empty() ? 0 : runStart.size() - 1; }
};

inline void SortByColor(const CBeadArray& beads, CColorRuns& runs) {
  // Colour and bead index together, read once in bead order, then sorted
  // by colour a byte at a time (stable, so beads of a colour stay in order).
  CBigVector<uint64_t> from;
  from.reserve(beads.size());
  for (size_t i = 0; i < beads.size(); ++i)
    if (beads[i].m_present)
      from.push_back((static_cast<uint64_t>(beads[i].m_cachedColor & 0xFFFFFF) << 32) | static_cast<uint64_t>(i));
  CBigVector<uint64_t> to(from.size());
  for (int shift = 32; shift < 56; shift += 8) {
    size_t counts[257] = {};
    for (uint64_t v : from) ++counts[((v >> shift) & 0xFF) + 1];
    for (int b = 0; b < 256; ++b) counts[b + 1] += counts[b];
    for (uint64_t v : from) to[counts[(v >> shift) & 0xFF]++] = v;
    from.swap(to);
  }
  to.clear();
  to.shrink_to_fit();
  runs.order.resize(from.size());
  runs.color.resize(from.size());
  runs.runStart.clear();
  runs.runStart.reserve(from.size() + 1);
  for (size_t k = 0; k < from.size(); ++k) {
    runs.order[k] = static_cast<UINT>(from[k] & 0xFFFFFFFFu);
    runs.color[k] = static_cast<COLORREF>(from[k] >> 32);
    if (k == 0 || runs.color[k] != runs.color[k - 1]) runs.runStart.push_back(k);
  }
  runs.runStart.push_back(from.size());
}

// For each run its nearest in-use palette colour (-1 when none is in use),
// the runs shared out among threads, each with its own copy of the search
// (the palette's answers, without its memo that one thread owns).
inline void FindNearestOfRuns(const CColorSet& palette, const CColorRuns& runs, CBigVector<int>& nearest) {
  const size_t count = runs.RunCount();
  nearest.resize(count);
  const int threads = count < 4096 ? 1 : BuilderThreadCount(static_cast<long long>(count) * 64);
  if (threads <= 1) {
    for (size_t run = 0; run < count; ++run) nearest[run] = palette.FindNearestColorref(runs.ColorOf(run));
    return;
  }
  const int tasks = threads * 4;
  std::vector<CNearestColorIndex> search(static_cast<size_t>(threads));
  std::vector<char> built(static_cast<size_t>(threads), 0);
  RunBuilderTasks(tasks, threads, [&](int task, int worker) {
    CNearestColorIndex& index = search[static_cast<size_t>(worker)];
    if (!built[static_cast<size_t>(worker)]) {
      index.Build(palette.GetColors());
      built[static_cast<size_t>(worker)] = 1;
    }
    const size_t from = count * static_cast<size_t>(task) / tasks, to = count * static_cast<size_t>(task + 1) / tasks;
    int distance = 0;
    for (size_t run = from; run < to; ++run) {
      const COLORREF c = runs.ColorOf(run);
      nearest[run] = index.Find(GetRValue(c), GetGValue(c), GetBValue(c), distance);
    }
  });
}

// Groups the present beads by their nearest in-use palette colour, using
// runs already sorted by colour; each bead takes that colour when
// `setBeads`.
inline void BuildClustersFromRuns(CPattern& design, const CColorSet& palette, const CColorRuns& runs,
                           std::vector<CColorCluster>& clusters, CStatusProgress* progress, bool setBeads = true,
                           CBigVector<int>* nearestOut = nullptr) {
  clusters.clear();
  CBeadArray& beads = design.m_beads;
  const size_t colors = static_cast<size_t>(palette.GetCount());
  // Per palette colour: its cluster's members and the first bead that took it
  // (clusters are listed in the order their first bead comes in the design).
  std::vector<std::vector<CColorClusterMember>> members(colors);
  std::vector<UINT> firstBead(colors, UINT_MAX);
  std::vector<int> total(colors, 0);
  CBigVector<int> own;
  CBigVector<int>& nearest = nearestOut ? *nearestOut : own;
  FindNearestOfRuns(palette, runs, nearest);
  int done = 0;
  for (size_t run = 0; run < runs.RunCount(); ++run) {
    const size_t from = runs.runStart[run], to = runs.runStart[run + 1];
    const COLORREF color = runs.ColorOf(run);
    const int index = nearest[run];
    if (progress) {
      done += static_cast<int>(to - from);
      progress->SetPos(done);
    }
    if (index < 0) continue;  // no colour in use: the beads stay as they are
    if (setBeads)
      for (size_t k = from; k < to; ++k) beads[runs.order[k]].SetColorIndex(index);
    const size_t i = static_cast<size_t>(index);
    firstBead[i] = std::min(firstBead[i], runs.order[from]);
    members[i].push_back(CColorClusterMember{color, static_cast<int>(to - from)});
    total[i] += static_cast<int>(to - from);
  }
  std::vector<size_t> used;
  for (size_t i = 0; i < colors; ++i)
    if (firstBead[i] != UINT_MAX) used.push_back(i);
  std::sort(used.begin(), used.end(), [&](size_t a, size_t b) { return firstBead[a] < firstBead[b]; });
  for (size_t i : used)
    clusters.push_back(CColorCluster{palette.GetColorrefAt(static_cast<int>(i)), total[i], std::move(members[i])});
}

// The remaining cluster keys: the first key, in cluster order, of the
// smallest squared distance to a colour, found by sweeping out from the query's
// red level over the keys sorted by red: keys whose red alone is farther
// than the best distance are never looked at.
class CKeySweep {
 public:
  void Set(const std::vector<CColorCluster>& clusters) {
    keys_.resize(clusters.size());
    for (size_t i = 0; i < clusters.size(); ++i) {
      const COLORREF k = clusters[i].key;
      keys_[i] = Key{GetRValue(k), GetGValue(k), GetBValue(k), static_cast<int>(i)};
    }
    std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) { return a.r < b.r || (a.r == b.r && a.at < b.at); });
  }
  size_t Nearest(COLORREF color) const {
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    const size_t n = keys_.size();
    if (n == 0) return 0;
    // The first key whose red is at least the query's.
    size_t up = static_cast<size_t>(
        std::lower_bound(keys_.begin(), keys_.end(), cr, [](const Key& k, int r) { return k.r < r; }) - keys_.begin());
    size_t down = up;  // keys below: down - 1, down - 2, ...
    int best = INT_MAX, bestAt = INT_MAX;
    const auto consider = [&](const Key& k) {
      const int dr = k.r - cr, dg = k.g - cg, db = k.b - cb;
      const int d = dr * dr + dg * dg + db * db;
      if (d < best || (d == best && k.at < bestAt)) best = d, bestAt = k.at;
    };
    for (;;) {
      const bool canUp = up < n && (keys_[up].r - cr) * (keys_[up].r - cr) <= best;
      const bool canDown = down > 0 && (keys_[down - 1].r - cr) * (keys_[down - 1].r - cr) <= best;
      if (!canUp && !canDown) break;
      if (canUp) consider(keys_[up++]);
      if (canDown) consider(keys_[--down]);
    }
    return static_cast<size_t>(bestAt);
  }

 private:
  struct Key {
    int r, g, b, at;
  };
  std::vector<Key> keys_;
};

// The same answers for a few keys, by looking at all of them (the compiler
// turns the loops into vector code); safe on several threads at once.
class CFewKeys {
 public:
  static constexpr size_t kMost = 64;
  explicit CFewKeys(const std::vector<CColorCluster>& clusters) : n_(std::min(clusters.size(), kMost)) {
    for (size_t i = 0; i < n_; ++i) {
      r_[i] = GetRValue(clusters[i].key);
      g_[i] = GetGValue(clusters[i].key);
      b_[i] = GetBValue(clusters[i].key);
    }
  }
  size_t Nearest(COLORREF color) const {
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    int d[kMost];
    int smallest = INT_MAX;
    for (size_t i = 0; i < n_; ++i) {
      const int dr = r_[i] - cr, dg = g_[i] - cg, db = b_[i] - cb;
      d[i] = dr * dr + dg * dg + db * db;
      smallest = d[i] < smallest ? d[i] : smallest;
    }
    for (size_t i = 0; i < n_; ++i)
      if (d[i] == smallest) return i;
    return 0;
  }

 private:
  size_t n_;
  int r_[kMost] = {}, g_[kMost] = {}, b_[kMost] = {};
};

// The same answers for the members of a removed cluster: the keys sorted
// by their distance from the removed key, and looked at only while that
// distance, less the member's own distance from the removed key, does not
// exceed the best distance found (the triangle inequality: a key farther
// out cannot be nearer to the member, nor as near).
class CKeysAround {
 public:
  void Set(const std::vector<CColorCluster>& clusters, COLORREF centre) {
    centre_ = centre;
    keys_.resize(clusters.size());
    for (size_t i = 0; i < clusters.size(); ++i) {
      const COLORREF k = clusters[i].key;
      keys_[i] = Key{GetRValue(k), GetGValue(k), GetBValue(k), static_cast<int>(i),
                     std::sqrt(static_cast<double>(SquaredColorDistance(k, centre)))};
    }
    std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) { return a.fromCentre < b.fromCentre; });
  }
  size_t Nearest(COLORREF color) const {
    const int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    const double own = std::sqrt(static_cast<double>(SquaredColorDistance(color, centre_)));
    int best = INT_MAX, bestAt = 0;
    double reach = 1e300;  // the best distance, a little widened against rounding
    for (const Key& k : keys_) {
      if (k.fromCentre - own > reach) break;
      const int dr = k.r - cr, dg = k.g - cg, db = k.b - cb;
      const int d = dr * dr + dg * dg + db * db;
      if (d < best || (d == best && k.at < bestAt)) {
        if (d < best) reach = std::sqrt(static_cast<double>(d)) + 1e-6;
        best = d, bestAt = k.at;
      }
    }
    return static_cast<size_t>(bestAt);
  }

 private:
  struct Key {
    int r, g, b, at;
    double fromCentre;
  };
  COLORREF centre_ = 0;
  std::vector<Key> keys_;
};

inline void MergeColorClusters(std::vector<CColorCluster>& clusters, int target) {
  if (target <= 0 || static_cast<size_t>(target) >= clusters.size()) return;
  // A source colour belongs to one cluster at a time (clusters are made by
  // nearest palette colour), so a moved member never meets its own colour
  // in the cluster it joins.
  CKeysAround keys;
  const size_t removals = clusters.size() - static_cast<size_t>(target);
  for (size_t step = 0; step < removals; ++step) {
    std::stable_sort(clusters.begin(), clusters.end(),
                     [](const CColorCluster& a, const CColorCluster& b) { return a.count > b.count; });
    CColorCluster removed = std::move(clusters.back());
    clusters.pop_back();
    keys.Set(clusters, removed.key);
    for (const CColorClusterMember& m : removed.members) {
      CColorCluster& into = clusters[keys.Nearest(m.color)];
      into.members.push_back(m);
      into.count += m.count;
    }
  }
}

inline void ReduceColors(CPattern& design, const CColorSet& palette, int target, const char* caption,
                         IProgressHost* host = nullptr) {
  std::unique_ptr<CStatusProgress> progress;
  if (host && caption && *caption)
    progress = std::make_unique<CStatusProgress>(host, design.GetBeadCount(), caption);
  CColorRuns runs;
  SortByColor(design.m_beads, runs);
  std::vector<CColorCluster> clusters;
  // When the clusters are merged every bead is given its colour once, at
  // the end: the first matching only counts.
  CBigVector<int> nearest;
  BuildClustersFromRuns(design, palette, runs, clusters, progress.get(), false, &nearest);
  if (target > 0 && static_cast<size_t>(target) < clusters.size()) {
    sweep::MergeColorClusters(clusters, target);
    // Every present bead takes the remaining key nearest to its own colour,
    // and the in-use colour nearest to that key.
    CKeySweep keys;
    keys.Set(clusters);
    std::vector<int> indexOfKey(clusters.size());
    for (size_t k = 0; k < clusters.size(); ++k) indexOfKey[k] = palette.FindNearestColorref(clusters[k].key);
    CBeadArray& beads = design.m_beads;
    if (clusters.size() <= CFewKeys::kMost) {
      // Few keys: each bead's answer costs less than finding its colour's,
      // so the beads are read once, in order, a band of them a thread.
      CFewKeys few(clusters);
      const size_t count = beads.size();
      const int threads = BuilderThreadCount(static_cast<long long>(count) * 4);
      const int tasks = threads * 4;
      RunBuilderTasks(tasks, threads, [&](int task, int) {
        const size_t from = count * static_cast<size_t>(task) / tasks, to = count * static_cast<size_t>(task + 1) / tasks;
        for (size_t i = from; i < to; ++i) {
          CBead& bead = beads[i];
          if (!bead.m_present) continue;
          const int index = indexOfKey[few.Nearest(bead.m_cachedColor)];
          if (index >= 0) bead.SetColorIndex(index);
        }
      });
    } else {
      const size_t count = runs.RunCount();
      const int threads = count < 4096 ? 1 : BuilderThreadCount(static_cast<long long>(count) * 16);
      const int tasks = threads * 4;
      // Runs hold distinct beads, so the threads never write the same bead.
      RunBuilderTasks(tasks, threads, [&](int task, int) {
        const size_t from = count * static_cast<size_t>(task) / tasks, to = count * static_cast<size_t>(task + 1) / tasks;
        for (size_t run = from; run < to; ++run) {
          const int index = indexOfKey[keys.Nearest(runs.ColorOf(run))];
          if (index < 0) continue;
          for (size_t k = runs.runStart[run]; k < runs.runStart[run + 1]; ++k) beads[runs.order[k]].SetColorIndex(index);
        }
      });
    }
  } else {
    // Nothing merged: the beads take their matched colours.
    CBeadArray& beads = design.m_beads;
    for (size_t run = 0; run < runs.RunCount(); ++run)
      if (nearest[run] >= 0)
        for (size_t k = runs.runStart[run]; k < runs.runStart[run + 1]; ++k)
          beads[runs.order[k]].SetColorIndex(nearest[run]);
  }
  design.SetModified(true);
}

}  // namespace sweep

// The separated-bead finder's results as they were kept: a list of its own
// for every bead group.
using CSepBeadGroup = std::vector<UINT>;
using CSepStitchPart = std::vector<CSepBeadGroup>;
struct CSepStitchGroup {
  int GetRegionCount() const {
    int n = 0;
    for (const CSepStitchPart& part : parts) n += static_cast<int>(part.size());
    return n;
  }
  bool HasMoreRegions(const CSepStitchGroup& other) const { return GetRegionCount() > other.GetRegionCount(); }
  std::vector<CSepStitchPart> parts;
  int colorIndex = -1;
  DWORD count = 0;
};

// The separated-bead finder's search: a fill per group with a bead list
// of its own (CBeadBlockFinder), and a list kept per group found.
inline bool FindSeparatedBeads(const CPattern& design, const CColorSet& palette, int largestGroup, bool diagonals,
                               std::vector<CSepStitchGroup>& entries_) {
  entries_.clear();
  CStatusProgress* progress = nullptr;
  const int colors = palette.GetCount();
  std::vector<int> entryOf(static_cast<size_t>(colors), -1);
  for (int i = 0; i < colors; ++i) {
    const DWORD count = palette.GetItem(i).count;
    if (count == 0) continue;
    entryOf[static_cast<size_t>(i)] = static_cast<int>(entries_.size());
    CSepStitchGroup entry;
    entry.parts.emplace_back();
    entry.colorIndex = i;
    entry.count = count;
    entries_.push_back(std::move(entry));
  }

  const CBeadArray& beads = design.m_beads;
  const size_t total = beads.size();
  const int pathColor = design.m_pathColor;
  std::vector<BYTE> visited(total, 0);
  CBeadBlockFinder grower(&design);
  CIndexList group;
  group.ReserveIndexes(total);
  std::vector<UINT> frontier(1);
  std::vector<int> neighbours;

  for (size_t i = 0; i < total; ++i) {
    if (progress) progress->SetPos(static_cast<int>(i + 1));
    if (visited[i]) continue;
    const CBead& bead = beads[i];
    if (!bead.m_present) continue;  // an empty group: nothing to mark
    const int color = bead.GetColorIndex(pathColor);
    group.ClearItems();
    group.Add(static_cast<UINT>(i));
    bool qualifies = color >= 0;
    if (qualifies) {
      frontier[0] = static_cast<UINT>(i);
      grower.GrowSameColor(frontier, group, diagonals, color);
      qualifies = static_cast<long long>(group.size()) <= largestGroup;
    }
    if (qualifies) {
      // It must touch a present bead outside it, corners included.
      qualifies = false;
      for (UINT b : group) {
        design.GetNeighbours(static_cast<int>(b), true, neighbours);
        for (int n : neighbours)
          if (design.IsValidIndex(n) && beads[static_cast<size_t>(n)].m_present && !group.Contains(static_cast<UINT>(n))) {
            qualifies = true;
            break;
          }
        if (qualifies) break;
      }
    }
    if (qualifies && color < colors) {
      const int e = entryOf[static_cast<size_t>(color)];
      if (e >= 0) entries_[static_cast<size_t>(e)].parts.front().emplace_back(group.begin(), group.end());
    }
    for (UINT b : group) visited[b] = 1;
  }

  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [](const CSepStitchGroup& g) { return g.GetRegionCount() == 0; }),
                 entries_.end());
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const CSepStitchGroup& a, const CSepStitchGroup& b) { return a.HasMoreRegions(b); });
  return !entries_.empty();
}

}  // namespace oldops
