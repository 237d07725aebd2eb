// CNearestColorIndex: the nearest-colour search of a palette answered from a
// prepared copy of its in-use colours. It gives exactly the answers of the
// plain search (rounded Euclidean distance, lowest index among equally near
// colours, colours not in use never chosen) while looking at only the
// colours whose red channel is near enough to matter.
#pragma once

#include <vector>

#include "palette/PaletteColor.h"

class CNearestColorIndex {
 public:
  // The distance reported when no colour is in use.
  static constexpr int kNoDistance = 100000;

  void Build(const std::vector<CPaletteColor>& colors);
  void Clear();
  // Index of the nearest in-use colour, -1 when none is in use; `distance`
  // takes its rounded distance (kNoDistance when none).
  int Find(int red, int green, int blue, int& distance) const;
  bool IsEmpty() const { return entries_.empty(); }

 private:
  struct Entry {
    int red;
    int green;
    int blue;
    int index;
  };
  std::vector<Entry> entries_;   // in-use colours ordered by red, then index
  int firstAtRed_[257] = {};     // first entry whose red is at least the value
};

// The plain search the index must agree with: every in-use colour in index
// order, a strictly smaller distance wins.
int FindNearestColorPlain(const std::vector<CPaletteColor>& colors, int red, int green, int blue, int& distance);
