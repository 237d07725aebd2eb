// Small designs for the builder tests (and the palette benchmark).
#pragma once

#include <string>
#include <vector>

#include "builder/SepStitchFinder.h"
#include "design/Pattern.h"

namespace buildertest {

// A loom design of columns x rows beads of one-inch beads, every bead
// present in colour `colorIndex`.
inline CPattern MakeDesign(int columns, int rows, int colorIndex = 0) {
  CPattern design;
  CGridLayout layout;
  layout.width = static_cast<float>(columns);
  layout.height = static_cast<float>(rows);
  layout.beadWidth = 1.0f;
  layout.beadHeight = 1.0f;
  layout.spacer = 0.0f;
  layout.format = 0;
  design.CreateGrid(layout, colorIndex);
  return design;
}

// The grid as text, top row first: '#' for an absent bead, '*' for a bead
// in the path colour, '.' for any other present bead.
inline std::vector<std::string> Picture(const CPattern& design) {
  std::vector<std::string> rows;
  const int columns = static_cast<int>(design.GetColumnCount());
  const int count = static_cast<int>(design.GetRowCount());
  for (int r = 0; r < count; ++r) {
    std::string line;
    for (int c = 0; c < columns; ++c) {
      const CBead* bead = design.GetBeadAt(c, r);
      line += !bead->m_present ? '#' : (bead->IsPathColor() ? '*' : '.');
    }
    rows.push_back(line);
  }
  return rows;
}

// Sets the colours of a design from text rows (top row first): a digit is
// a colour index, '#' an absent bead.
inline void Paint(CPattern& design, const std::vector<std::string>& rows) {
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) {
      CBead* bead = design.GetBeadAt(static_cast<int>(c), static_cast<int>(r));
      if (rows[r][c] == '#') {
        bead->m_present = 0;
      } else {
        bead->m_present = 1;
        bead->SetColorIndex(rows[r][c] - '0');
      }
    }
}

// The bead groups of a separated-bead part as lists, to compare with lists
// made another way.
inline std::vector<std::vector<UINT>> GroupLists(const CSepStitchPart& part) {
  std::vector<std::vector<UINT>> lists;
  for (const CSepBeadGroup& group : part) lists.emplace_back(group.begin(), group.end());
  return lists;
}

}  // namespace buildertest
