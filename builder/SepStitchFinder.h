// The separated-bead finder: for every colour of a design, the groups of
// connected same-coloured beads that are at most a given size and touch at
// least one other bead (stray beads left by picture conversion).
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "core/LargeArray.h"
#include "platform/base.h"

class CPattern;
class CColorSet;
class CStatusProgress;

// A bead group: bead storage indices, the start bead first, then the beads
// in the order the flood fill added them. A group is a view into the bead
// list of the part that holds it (a worst-case design has ~930 k groups:
// none of them has a list of its own on the heap).
class CSepBeadGroup {
 public:
  using value_type = UINT;
  using const_iterator = const UINT*;
  using iterator = const UINT*;

  CSepBeadGroup() = default;

  const UINT* begin() const { return first_; }
  const UINT* end() const { return first_ + size_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  UINT front() const { return first_[0]; }
  UINT operator[](size_t i) const { return first_[i]; }
  // A list of its own, for calls that take one.
  operator std::vector<UINT>() const { return std::vector<UINT>(begin(), end()); }

  friend bool operator==(const CSepBeadGroup& a, const CSepBeadGroup& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }
  friend bool operator==(const CSepBeadGroup& a, const std::vector<UINT>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  friend class CSepStitchFinder;
  const UINT* first_ = nullptr;
  size_t size_ = 0;
};

// The bead lists of a search: the beads of every group found, one group
// after another, and the groups themselves, those of one part together.
// Parts share it (a copy of a part is a copy of a view); it never changes
// once the search is over.
struct CSepBeadStore {
  std::vector<UINT, CLargeBlockAllocator<UINT>> beads;
  std::vector<CSepBeadGroup, CLargeBlockAllocator<CSepBeadGroup>> groups;
};

// A part: an ordered array of bead groups.
class CSepStitchPart {
 public:
  using value_type = CSepBeadGroup;
  using const_iterator = const CSepBeadGroup*;
  using iterator = const_iterator;

  CSepStitchPart() = default;

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const CSepBeadGroup& operator[](size_t i) const { return first_[i]; }
  const CSepBeadGroup& front() const { return first_[0]; }
  const CSepBeadGroup& back() const { return first_[count_ - 1]; }
  const_iterator begin() const { return first_; }
  const_iterator end() const { return first_ + count_; }
  // The beads of all its groups.
  size_t GetBeadCount() const { return beads_; }

  friend bool operator==(const CSepStitchPart& a, const CSepStitchPart& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  friend class CSepStitchFinder;
  std::shared_ptr<const CSepBeadStore> store_;
  const CSepBeadGroup* first_ = nullptr;
  size_t count_ = 0;
  size_t beads_ = 0;
};

// One colour's entry.
class CSepStitchGroup {
 public:
  // Bead groups over all parts.
  int GetRegionCount() const;
  int GetPartCount() const { return static_cast<int>(parts.size()); }
  // Beads of all bead groups over all parts.
  int GetBeadCount() const;
  bool HasMoreRegions(const CSepStitchGroup& other) const { return GetRegionCount() > other.GetRegionCount(); }

  std::vector<CSepStitchPart> parts;
  int colorIndex = -1;
  DWORD count = 0;  // the colour's count in the palette when the entry was made
};

class CSepStitchFinder {
 public:
  CSepStitchFinder() = default;

  // Rebuilds the entries for the design and its palette (whose counts must be
  // current); one progress step per bead when a progress display is given.
  // True when at least one entry remains.
  bool Find(const CPattern& design, const CColorSet& palette, int largestGroup, bool diagonals,
            CStatusProgress* progress);
  // The part at `partIndex` of the first entry with the colour index.
  bool FindGroupPart(int partIndex, int colorIndex, CSepStitchPart& out) const;
  // Whether a bead group in that part of an entry with the colour index
  // holds the bead.
  bool ContainsBead(int partIndex, int colorIndex, UINT beadIndex) const;

  const std::vector<CSepStitchGroup>& GetEntries() const { return entries_; }
  std::vector<CSepStitchGroup>& GetEntries() { return entries_; }
  void RemoveAll() { entries_.clear(); }

 private:
  std::vector<CSepStitchGroup> entries_;
};
