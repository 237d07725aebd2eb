#include "builder/ColorOps.h"

#include <algorithm>
#include <memory>
#include <climits>
#include <cstdint>
#include <unordered_map>

#include "core/FrameServices.h"
#include "core/HslColor.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"

namespace {

constexpr int kNotSeen = -2;

// The in-use colour nearest to each colour index of the palette, computed
// on first meeting.
class CIndexRemap {
 public:
  explicit CIndexRemap(int count) : map_(static_cast<size_t>(count > 0 ? count : 0), kNotSeen) {}
  template <typename Compute>
  int Get(int index, Compute compute) {
    int& slot = map_[static_cast<size_t>(index)];
    if (slot == kNotSeen) slot = compute(index);
    return slot;
  }

 private:
  std::vector<int> map_;
};

}  // namespace

int SquaredColorDistance(COLORREF a, COLORREF b) {
  const int dr = static_cast<int>(GetRValue(a)) - GetRValue(b);
  const int dg = static_cast<int>(GetGValue(a)) - GetGValue(b);
  const int db = static_cast<int>(GetBValue(a)) - GetBValue(b);
  return dr * dr + dg * dg + db * db;
}

namespace {

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

void SortByColor(const CBeadArray& beads, CColorRuns& runs) {
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
void BuildClustersFromRuns(CPattern& design, const CColorSet& palette, const CColorRuns& runs,
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

}  // namespace

void BuildColorClusters(CPattern& design, const CColorSet& palette, std::vector<CColorCluster>& clusters,
                        const char* caption) {
  std::unique_ptr<CStatusProgress> progress;
  if (caption && *caption)
    progress = std::make_unique<CStatusProgress>(GetIMainFrame(), design.GetBeadCount(), caption);
  CColorRuns runs;
  SortByColor(design.m_beads, runs);
  BuildClustersFromRuns(design, palette, runs, clusters, progress.get());
}

void MergeColorClusters(std::vector<CColorCluster>& clusters, int target) {
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

void ReduceColors(CPattern& design, const CColorSet& palette, int target, const char* caption) {
  std::unique_ptr<CStatusProgress> progress;
  if (caption && *caption)
    progress = std::make_unique<CStatusProgress>(GetIMainFrame(), design.GetBeadCount(), caption);
  CColorRuns runs;
  SortByColor(design.m_beads, runs);
  std::vector<CColorCluster> clusters;
  BuildClustersFromRuns(design, palette, runs, clusters, progress.get());
  if (target > 0 && static_cast<size_t>(target) < clusters.size()) {
    MergeColorClusters(clusters, target);
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

void MakeBrightnessContrastTable(int brightness, int contrast, BYTE table[256]) {
  const double factor = static_cast<double>(0.01f);
  for (int x = 0; x < 256; ++x) {
    const double v = static_cast<double>(brightness) + 128.0 +
                     static_cast<double>(contrast + 100) * factor * static_cast<double>(x - 128);
    long long t = static_cast<long long>(v);  // toward zero
    if (v != v) t = 0;
    table[x] = static_cast<BYTE>(std::clamp<long long>(t, 0, 255));
  }
}

void AdjustBrightnessContrast(CPattern& design, const CColorSet& palette, int brightness, int contrast) {
  BYTE table[256];
  MakeBrightnessContrastTable(brightness, contrast, table);
  const int count = palette.GetCount();
  CIndexRemap remap(count);
  const int pathColor = design.m_pathColor;
  for (CBead& bead : design.m_beads) {
    const int shown = bead.GetColorIndex(pathColor);
    if (shown < 0 || shown >= count) continue;
    const int target = remap.Get(shown, [&](int i) {
      const CRgbTriple& c = palette.GetItem(i).GetRgb();
      return palette.FindNearestColor(static_cast<int>(table[c.red]), table[c.green], table[c.blue]);
    });
    if (target >= 0) bead.SetColorIndex(target);
  }
  design.SetModified(true);
}

void NormalizeHslShifts(int hue, int saturation, int lightness, int& hueOut, float& saturationOut,
                        float& lightnessOut) {
  auto wrap = [](int v, int modulus) {
    v %= modulus;
    return v < 0 ? v + modulus : v;
  };
  hueOut = wrap(hue, 360);
  saturationOut = static_cast<float>(wrap(saturation, 100)) * 0.01f;
  lightnessOut = static_cast<float>(wrap(lightness, 100)) * 0.01f;
}

COLORREF ShiftColorHsl(COLORREF color, int hue, float saturation, float lightness) {
  CHslColor hsl(color);
  float h = hsl.GetHue() + static_cast<float>(hue);
  while (h < 0.0f) h += 360.0f;
  while (h > 360.0f) h -= 360.0f;
  float s = hsl.GetSaturation() + saturation;
  while (s < 0.0f) s += 1.0f;
  while (s > 1.0f) s -= 1.0f;
  float l = hsl.GetLightness() + lightness;
  while (l < 0.0f) l += 1.0f;
  while (l > 1.0f) l -= 1.0f;
  hsl.SetHue(h);
  hsl.SetSaturation(s);
  hsl.SetLightness(l);
  return hsl.GetColorRef();
}

void AdjustHsl(CPattern& design, const CColorSet& palette, int hue, int saturation, int lightness) {
  int h = 0;
  float s = 0.0f, l = 0.0f;
  NormalizeHslShifts(hue, saturation, lightness, h, s, l);
  const int count = palette.GetCount();
  CIndexRemap remap(count);
  const int pathColor = design.m_pathColor;
  for (CBead& bead : design.m_beads) {
    const int shown = bead.GetColorIndex(pathColor);
    if (shown < 0 || shown >= count) continue;
    const int target = remap.Get(shown, [&](int i) {
      return palette.FindNearestColorref(ShiftColorHsl(palette.GetItem(i).GetColorref(), h, s, l));
    });
    if (target >= 0) bead.SetColorIndex(target);
  }
}
