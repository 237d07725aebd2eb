// The separated-bead finder: for every colour of a design, the groups of
// connected same-coloured beads that are at most a given size and touch at
// least one other bead (stray beads left by picture conversion).
#pragma once

#include <vector>

#include "platform/base.h"

class CPattern;
class CColorSet;
class CStatusProgress;

// A bead group: bead storage indices, the start bead first, then the beads
// in the order the flood fill added them.
using CSepBeadGroup = std::vector<UINT>;
// A part: an ordered array of bead groups.
using CSepStitchPart = std::vector<CSepBeadGroup>;

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
