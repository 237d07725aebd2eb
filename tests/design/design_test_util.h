// Helpers shared by the design model's tests: a small palette and grids.
#pragma once

#include <cmath>
#include <vector>

#include "design/ColorSource.h"
#include "design/Pattern.h"

namespace designtest {

// A palette of plain colours with in-use flags.
class FakePalette : public IColorSource {
 public:
  struct Entry {
    COLORREF color;
    bool inUse;
    CString name;
  };
  FakePalette() = default;
  explicit FakePalette(std::vector<COLORREF> colors) {
    for (COLORREF c : colors) entries.push_back(Entry{c, true, ""});
  }

  int GetCount() const override { return static_cast<int>(entries.size()); }
  COLORREF GetColorrefAt(int i) const override { return entries.at(static_cast<size_t>(i)).color; }
  bool IsColorInUse(int i) const override { return entries.at(static_cast<size_t>(i)).inUse; }
  void SetColorInUse(int i, bool inUse) override { entries.at(static_cast<size_t>(i)).inUse = inUse; }
  int FindNearestColor(int r, int g, int b, int& distance) const override {
    ++searches;
    int best = -1;
    distance = 100000;
    for (int i = 0; i < GetCount(); ++i) {
      if (!entries[static_cast<size_t>(i)].inUse) continue;
      const COLORREF c = entries[static_cast<size_t>(i)].color;
      const double dr = GetRValue(c) - r, dg = GetGValue(c) - g, db = GetBValue(c) - b;
      const int d = static_cast<int>(std::lround(std::sqrt(dr * dr + dg * dg + db * db)));
      if (d < distance) {
        distance = d;
        best = i;
      }
    }
    return best;
  }
  CString GetColorName(int i) const override { return entries.at(static_cast<size_t>(i)).name; }
  int CountDesignUsage(const CPattern& design) override {
    int n = 0;
    for (const CBead& b : design.m_beads)
      if (b.m_present) ++n;
    return n;
  }

  std::vector<Entry> entries;
  mutable int searches = 0;
};

// A fresh grid of columns x rows beads of size 1 inch without spacer.
inline CPattern MakeGrid(int columns, int rows, int format = kFormatLoom, int color = 0, float bead = 1.0f,
                         float spacer = 0.0f) {
  CPattern p;
  CGridLayout layout;
  layout.width = columns * bead + (columns - 1) * spacer;
  layout.height = rows * bead + (rows - 1) * spacer;
  layout.beadWidth = layout.beadHeight = bead;
  layout.spacer = spacer;
  layout.format = format;
  p.CreateGrid(layout, color);
  return p;
}

// Gives every cell (column, row from the top) the colour row * 100 + column.
inline void NumberCells(CPattern& p) {
  const int c = static_cast<int>(p.GetColumnCount()), r = static_cast<int>(p.GetRowCount());
  for (int row = 0; row < r; ++row)
    for (int col = 0; col < c; ++col) p.GetBeadAt(col, row)->SetColorIndex(row * 100 + col);
}

}  // namespace designtest
