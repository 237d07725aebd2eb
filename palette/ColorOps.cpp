#include "palette/ColorOps.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "design/FrameServices.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"
#include "palette/HslColor.h"

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

// The nearest in-use colour by packed RGB, remembered per colour.
class CNearestMemo {
 public:
  explicit CNearestMemo(const CColorSet& palette) : palette_(palette) {}
  int Get(COLORREF color) {
    color &= 0xFFFFFF;
    const auto it = memo_.find(color);
    if (it != memo_.end()) return it->second;
    const int index = palette_.FindNearestColorref(color);
    memo_.emplace(color, index);
    return index;
  }

 private:
  const CColorSet& palette_;
  std::unordered_map<COLORREF, int> memo_;
};

size_t NearestClusterKey(const std::vector<CColorCluster>& clusters, COLORREF color) {
  size_t best = 0;
  int bestDistance = 0;
  for (size_t i = 0; i < clusters.size(); ++i) {
    const int d = SquaredColorDistance(clusters[i].key, color);
    if (i == 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace

int SquaredColorDistance(COLORREF a, COLORREF b) {
  const int dr = static_cast<int>(GetRValue(a)) - GetRValue(b);
  const int dg = static_cast<int>(GetGValue(a)) - GetGValue(b);
  const int db = static_cast<int>(GetBValue(a)) - GetBValue(b);
  return dr * dr + dg * dg + db * db;
}

void BuildColorClusters(CPattern& design, const CColorSet& palette, std::vector<CColorCluster>& clusters,
                        const char* caption) {
  clusters.clear();
  std::unique_ptr<CStatusProgress> progress;
  if (caption && *caption)
    progress = std::make_unique<CStatusProgress>(GetIMainFrame(), design.GetBeadCount(), caption);

  CNearestMemo nearest(palette);
  std::unordered_map<COLORREF, size_t> clusterOf;
  std::vector<std::unordered_map<COLORREF, size_t>> memberOf;
  int position = 0;
  for (CBead& bead : design.m_beads) {
    if (progress) progress->SetPos(++position);
    if (!bead.m_present) continue;
    const int index = nearest.Get(bead.m_cachedColor);
    if (index < 0) continue;  // no colour in use: the bead stays as it is
    bead.SetColorIndex(index);
    const COLORREF key = palette.GetColorrefAt(index);
    auto found = clusterOf.find(key);
    if (found == clusterOf.end()) {
      found = clusterOf.emplace(key, clusters.size()).first;
      clusters.push_back(CColorCluster{key, 0, {}});
      memberOf.emplace_back();
    }
    CColorCluster& cluster = clusters[found->second];
    const COLORREF source = bead.m_cachedColor & 0xFFFFFF;
    auto& members = memberOf[found->second];
    const auto member = members.find(source);
    if (member == members.end()) {
      members.emplace(source, cluster.members.size());
      cluster.members.push_back(CColorClusterMember{source, 1});
    } else {
      ++cluster.members[member->second].count;
    }
    ++cluster.count;
  }
}

void MergeColorClusters(std::vector<CColorCluster>& clusters, int target) {
  if (target <= 0 || static_cast<size_t>(target) >= clusters.size()) return;
  const size_t removals = clusters.size() - static_cast<size_t>(target);
  for (size_t step = 0; step < removals; ++step) {
    std::stable_sort(clusters.begin(), clusters.end(),
                     [](const CColorCluster& a, const CColorCluster& b) { return a.count > b.count; });
    CColorCluster removed = std::move(clusters.back());
    clusters.pop_back();
    for (const CColorClusterMember& m : removed.members) {
      CColorCluster& into = clusters[NearestClusterKey(clusters, m.color)];
      auto same = std::find_if(into.members.begin(), into.members.end(),
                               [&](const CColorClusterMember& x) { return x.color == m.color; });
      if (same != into.members.end())
        same->count += m.count;
      else
        into.members.push_back(m);
      into.count += m.count;
    }
  }
}

void ReduceColors(CPattern& design, const CColorSet& palette, int target, const char* caption) {
  std::vector<CColorCluster> clusters;
  BuildColorClusters(design, palette, clusters, caption);
  if (target > 0 && static_cast<size_t>(target) < clusters.size()) {
    MergeColorClusters(clusters, target);
    // Every present bead takes the remaining key nearest to its own colour,
    // and the in-use colour nearest to that key.
    std::unordered_map<COLORREF, int> byColor;
    CNearestMemo nearest(palette);
    for (CBead& bead : design.m_beads) {
      if (!bead.m_present) continue;
      const COLORREF source = bead.m_cachedColor & 0xFFFFFF;
      auto it = byColor.find(source);
      if (it == byColor.end()) {
        const COLORREF key = clusters[NearestClusterKey(clusters, source)].key;
        it = byColor.emplace(source, nearest.Get(key)).first;
      }
      if (it->second >= 0) bead.SetColorIndex(it->second);
    }
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
      const CRgbTriple& c = palette.GetItem(i).color;
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
