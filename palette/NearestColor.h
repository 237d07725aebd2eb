// CNearestColorIndex: the nearest-colour search of a palette answered from a
// prepared copy of its in-use colours. It gives exactly the answers of the
// plain search (rounded Euclidean distance, lowest index among equally near
// colours, colours not in use never chosen).
//
// The RGB cube is cut into 32 x 32 x 32 cells of 8 levels a side. For each
// cell, on the first query that falls in it, the index keeps the colours
// that can be the answer anywhere in the cell: every colour whose nearest
// point of the cell lies no farther than the distance the best colour is
// sure to reach (the smallest farthest-point distance of any colour, rounded
// as distances are, with every sum of squares that rounds to it). A query
// then looks only at its cell's few candidates. The cells' lists are drawn
// from those of 8 x 8 x 8 larger cells made the same way, since a colour
// that can win somewhere in a small cell can win somewhere in the large one.
#pragma once

#include <cstdint>
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
  // One level of cells: per cell, where its candidates start in the pool
  // and how many there are (start -1 until the cell is prepared).
  struct Level {
    int bits;  // log2 of the levels a side
    std::vector<int32_t> start;
    std::vector<int32_t> count;
    std::vector<Entry> pool;
    int PerAxis() const { return 256 >> bits; }
    int CellOf(int r, int g, int b) const { return ((r >> bits) * PerAxis() + (g >> bits)) * PerAxis() + (b >> bits); }
  };

  // The candidates of a cell of `level`, chosen from `source`.
  void PrepareCell(Level& level, int cell, const Entry* source, size_t sourceCount) const;
  void Candidates(Level& level, int r, int g, int b, const Entry*& first, size_t& count) const;

  std::vector<Entry> entries_;  // in-use colours in index order
  mutable Level coarse_;
  mutable Level fine_;
};

// The plain search the index must agree with: every in-use colour in index
// order, a strictly smaller distance wins.
int FindNearestColorPlain(const std::vector<CPaletteColor>& colors, int red, int green, int blue, int& distance);
