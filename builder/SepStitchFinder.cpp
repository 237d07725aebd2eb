#include "builder/SepStitchFinder.h"

#include <algorithm>

#include "core/FrameServices.h"
#include "design/BeadBlock.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"

int CSepStitchGroup::GetRegionCount() const {
  int n = 0;
  for (const CSepStitchPart& part : parts) n += static_cast<int>(part.size());
  return n;
}

int CSepStitchGroup::GetBeadCount() const {
  int n = 0;
  for (const CSepStitchPart& part : parts)
    for (const CSepBeadGroup& group : part) n += static_cast<int>(group.size());
  return n;
}

bool CSepStitchFinder::Find(const CPattern& design, const CColorSet& palette, int largestGroup, bool diagonals,
                            CStatusProgress* progress) {
  entries_.clear();
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

bool CSepStitchFinder::FindGroupPart(int partIndex, int colorIndex, CSepStitchPart& out) const {
  for (const CSepStitchGroup& entry : entries_) {
    if (entry.colorIndex != colorIndex) continue;
    if (partIndex < 0 || partIndex >= entry.GetPartCount()) return false;
    out = entry.parts[static_cast<size_t>(partIndex)];
    return true;
  }
  return false;
}

bool CSepStitchFinder::ContainsBead(int partIndex, int colorIndex, UINT beadIndex) const {
  for (const CSepStitchGroup& entry : entries_) {
    if (entry.colorIndex != colorIndex || partIndex < 0 || partIndex >= entry.GetPartCount()) continue;
    for (const CSepBeadGroup& group : entry.parts[static_cast<size_t>(partIndex)])
      if (std::find(group.begin(), group.end(), beadIndex) != group.end()) return true;
  }
  return false;
}
