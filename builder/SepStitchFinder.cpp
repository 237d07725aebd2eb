#include "builder/SepStitchFinder.h"

#include <algorithm>

#include "core/FrameServices.h"
#include "design/Pattern.h"
#include "palette/ColorSet.h"

int CSepStitchGroup::GetRegionCount() const {
  int n = 0;
  for (const CSepStitchPart& part : parts) n += static_cast<int>(part.size());
  return n;
}

int CSepStitchGroup::GetBeadCount() const {
  int n = 0;
  for (const CSepStitchPart& part : parts) n += static_cast<int>(part.GetBeadCount());
  return n;
}

namespace {

// The neighbours of a bead on the design's grid, in the order of
// CPattern::GetNeighbours (left, right, the row below, the row above, then
// the corners), from its storage index and column, without a division per
// bead. Places past the bead count are left out.
class CGridNeighbours {
 public:
  struct Place {
    UINT index;
    UINT column;
  };

  CGridNeighbours(long long columns, long long rows, size_t total)
      : columns_(columns), cells_(columns > 0 && rows > 0 ? columns * rows : 0), total_(static_cast<long long>(total)) {}

  // Fills `out` and returns how many there are (at most 8).
  int Get(long long index, long long column, bool diagonals, Place out[8]) const {
    if (cells_ == 0) return 0;
    const long long rowStart = index - column;
    const bool inRow = rowStart < cells_;
    const bool below = rowStart >= columns_ && rowStart - columns_ < cells_;
    const bool above = rowStart + columns_ < cells_;
    const bool left = column > 0, right = column + 1 < columns_;
    int n = 0;
    const auto at = [&](bool ok, long long i, long long c) {
      if (ok && i < total_) out[n++] = Place{static_cast<UINT>(i), static_cast<UINT>(c)};
    };
    at(inRow && left, index - 1, column - 1);
    at(inRow && right, index + 1, column + 1);
    at(below, index - columns_, column);
    at(above, index + columns_, column);
    if (diagonals) {
      at(below && left, index - columns_ - 1, column - 1);
      at(below && right, index - columns_ + 1, column + 1);
      at(above && left, index + columns_ - 1, column - 1);
      at(above && right, index + columns_ + 1, column + 1);
    }
    return n;
  }

 private:
  long long columns_;
  long long cells_;  // columns x rows
  long long total_;
};

constexpr BYTE kTaken = 1;
constexpr BYTE kInGroup = 2;

template <typename T>
using CBigVector = std::vector<T, CLargeBlockAllocator<T>>;

}  // namespace

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
  const long long columns = static_cast<int>(design.GetColumnCount());
  const CGridNeighbours grid(columns, static_cast<int>(design.GetRowCount()), total);

  // Per bead: 0 until a group takes it (it may then no longer start a group
  // of its own), kTaken after, kInGroup while in the group being grown. A
  // fill takes present beads of its stored colour index; a bead in the path
  // colour starts a group of the path colour but joins fills of its stored
  // colour, so a bead can belong to more than one group.
  CBigVector<BYTE> state(total, 0);
  // One group at a time in a queue of bead indexes with their columns (the
  // fill's rings one after another are the queue's own order). The beads of
  // a group that qualifies are copied to the shared list, and its entry and
  // size noted; the groups are then laid out entry by entry. Every big list
  // is made once (large pages where the system has them).
  auto store = std::make_shared<CSepBeadStore>();
  store->beads.reserve(total);
  CBigVector<int> foundEntry;
  CBigVector<UINT> foundSize;
  foundEntry.reserve(total);
  foundSize.reserve(total);
  std::vector<size_t> groupsOf(entries_.size(), 0), beadsOf(entries_.size(), 0);
  std::vector<UINT> queue, queueColumn;
  CGridNeighbours::Place around[8];
  long long column = 0;
  for (size_t i = 0; i < total; ++i, column = column + 1 == columns ? 0 : column + 1) {
    if (progress) progress->SetPos(static_cast<int>(i + 1));
    if (state[i] || !beads[i].m_present) continue;  // already in a group, or an empty place
    const int color = beads[i].GetColorIndex(pathColor);
    state[i] = kInGroup;
    queue.assign(1, static_cast<UINT>(i));
    queueColumn.assign(1, static_cast<UINT>(column));
    bool qualifies = color >= 0;
    if (qualifies) {
      for (size_t head = 0; head < queue.size(); ++head) {
        const int count = grid.Get(queue[head], queueColumn[head], diagonals, around);
        for (int k = 0; k < count; ++k) {
          const UINT n = around[k].index;
          const CBead& b = beads[n];
          if (state[n] == kInGroup || !b.m_present || b.m_colorIndex != color) continue;
          state[n] = kInGroup;
          queue.push_back(n);
          queueColumn.push_back(around[k].column);
        }
      }
      qualifies = static_cast<long long>(queue.size()) <= largestGroup;
    }
    if (qualifies) {
      // It must touch a present bead outside it, corners included.
      qualifies = false;
      for (size_t q = 0; q < queue.size() && !qualifies; ++q) {
        const int count = grid.Get(queue[q], queueColumn[q], true, around);
        for (int k = 0; k < count && !qualifies; ++k)
          qualifies = beads[around[k].index].m_present && state[around[k].index] != kInGroup;
      }
    }
    if (qualifies && color < colors) {
      const int e = entryOf[static_cast<size_t>(color)];
      if (e >= 0) {
        store->beads.insert(store->beads.end(), queue.begin(), queue.end());
        foundEntry.push_back(e);
        foundSize.push_back(static_cast<UINT>(queue.size()));
        ++groupsOf[static_cast<size_t>(e)];
        beadsOf[static_cast<size_t>(e)] += queue.size();
      }
    }
    for (UINT b : queue) state[b] = kTaken;
  }
  // The groups of each entry together, in the order they were found.
  std::vector<size_t> next(entries_.size(), 0);
  for (size_t e = 1; e < entries_.size(); ++e) next[e] = next[e - 1] + groupsOf[e - 1];
  store->groups.resize(foundSize.size());
  size_t at = 0;
  for (size_t g = 0; g < foundSize.size(); ++g) {
    CSepBeadGroup& group = store->groups[next[static_cast<size_t>(foundEntry[g])]++];
    group.first_ = store->beads.data() + at;
    group.size_ = foundSize[g];
    at += foundSize[g];
  }
  for (size_t e = 0; e < entries_.size(); ++e) {
    CSepStitchPart& part = entries_[e].parts.front();
    part.store_ = store;
    part.count_ = groupsOf[e];
    part.first_ = store->groups.data() + (next[e] - groupsOf[e]);
    part.beads_ = beadsOf[e];
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
