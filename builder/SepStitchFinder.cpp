#include "builder/SepStitchFinder.h"

#include <algorithm>

#include "core/FrameServices.h"
#include "core/LargeArray.h"
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
  // The neighbours of CPattern::GetNeighbours, in its order, from the grid's
  // sizes read once: left, right, below, above, then the corners.
  const long long columns = design.GetColumnCount(), rows = design.GetRowCount();
  const long long size = static_cast<long long>(total);
  const auto neighbours = [&](UINT index, bool corners, UINT out[8]) {
    if (columns <= 0) return 0;
    const long long c = index % columns, r = index / columns;
    int n = 0;
    const auto add = [&](long long cc, long long rr) {
      if (cc < 0 || rr < 0 || cc >= columns || rr >= rows) return;
      const long long i = rr * columns + cc;
      if (i < size) out[n++] = static_cast<UINT>(i);
    };
    add(c - 1, r);
    add(c + 1, r);
    add(c, r - 1);
    add(c, r + 1);
    if (corners) {
      add(c - 1, r - 1);
      add(c + 1, r - 1);
      add(c - 1, r + 1);
      add(c + 1, r + 1);
    }
    return n;
  };
  // Each group is grown breadth first from its first bead, as
  // CBeadBlockFinder::GrowSameColor grows it (a neighbour joins when present
  // and of the start bead's shown colour), in one list that is its own
  // queue; `member` holds the number of the group a bead last joined.
  std::vector<BYTE, CLargeBlockAllocator<BYTE>> visited(total, 0);
  std::vector<UINT, CLargeBlockAllocator<UINT>> member(total, 0);
  std::vector<UINT> group;
  group.reserve(128);  // a small block (see below)
  UINT number = 0;
  UINT around[8];
  // The qualifying groups in the order found: their entry and their beads.
  struct Found {
    int entry;
    UINT first, count;
  };
  std::vector<Found, CLargeBlockAllocator<Found>> found;
  std::vector<UINT, CLargeBlockAllocator<UINT>> beadsFound;
  // Room for the worst case, from page memory (touched only where used).
  found.reserve(total);
  beadsFound.reserve(total);
  std::vector<size_t> groupsOf(entries_.size(), 0);

  for (size_t i = 0; i < total; ++i) {
    if (progress) progress->SetPos(static_cast<int>(i + 1));
    if (visited[i]) continue;
    const CBead& bead = beads[i];
    if (!bead.m_present) continue;  // an empty group: nothing to mark
    const int color = bead.GetColorIndex(pathColor);
    ++number;
    group.clear();
    group.push_back(static_cast<UINT>(i));
    member[i] = number;
    bool qualifies = color >= 0;
    if (qualifies) {
      for (size_t next = 0; next < group.size(); ++next) {
        const int n = neighbours(group[next], diagonals, around);
        for (int k = 0; k < n; ++k) {
          const UINT u = around[k];
          if (member[u] == number) continue;
          const CBead& other = beads[u];
          if (!other.m_present || other.m_colorIndex != color) continue;
          member[u] = number;
          group.push_back(u);
        }
      }
      qualifies = static_cast<long long>(group.size()) <= largestGroup;
    }
    if (qualifies) {
      // It must touch a present bead outside it, corners included.
      qualifies = false;
      for (UINT b : group) {
        const int n = neighbours(b, true, around);
        for (int k = 0; k < n; ++k)
          if (beads[around[k]].m_present && member[around[k]] != number) {
            qualifies = true;
            break;
          }
        if (qualifies) break;
      }
    }
    if (qualifies && color < colors) {
      const int e = entryOf[static_cast<size_t>(color)];
      if (e >= 0) {
        found.push_back(Found{e, static_cast<UINT>(beadsFound.size()), static_cast<UINT>(group.size())});
        beadsFound.insert(beadsFound.end(), group.begin(), group.end());
        ++groupsOf[static_cast<size_t>(e)];
      }
    }
    for (UINT b : group) visited[b] = 1;
  }
  // The groups' own lists are made first, then each entry's list once at
  // its size. The many small lists thus reuse the heap's freed small blocks
  // (a search repeated after the last one was freed) before a large block
  // is asked for: asking first makes the heap merge every freed small block
  // at once, which cost more than the search.
  std::vector<CSepBeadGroup, CLargeBlockAllocator<CSepBeadGroup>> lists;
  lists.reserve(found.size());
  for (const Found& f : found) lists.emplace_back(beadsFound.begin() + f.first, beadsFound.begin() + f.first + f.count);
  for (size_t e = 0; e < entries_.size(); ++e) entries_[e].parts.front().reserve(groupsOf[e]);
  for (size_t k = 0; k < found.size(); ++k)
    entries_[static_cast<size_t>(found[k].entry)].parts.front().push_back(std::move(lists[k]));

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
