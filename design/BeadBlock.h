// CBeadBlock: a captured copy of a grid for tiling (repeat by sample).
// CBeadBlockFinder: the same-colour and removed-bead area growth behind the
// block tools and the separated-bead search.
#pragma once

#include <vector>

#include "design/Pattern.h"

class CBeadBlock {
 public:
  // Captures the shown colour indexes and present bytes, top row first.
  CBeadBlock(const CPattern& design, bool mirror);

  // Colour index of a cell (row 0 = top), -1 outside the block.
  int GetCell(int column, int row, BYTE& present) const;
  // The same after mirroring the column (columns - column - 1) and/or the
  // row; false outside the block.
  bool GetCellMirrored(int column, int row, int& index, BYTE& present, bool mirrorColumns, bool mirrorRows) const;
  // Tiles the block over the design, mirroring alternate tiles when the
  // block was captured with mirror.
  bool FillPattern(CPattern& design) const;

  int GetColumnCount() const { return columns_; }
  int GetRowCount() const { return rows_; }

 private:
  std::vector<int> colors_;
  std::vector<BYTE> present_;
  int columns_ = 0;
  int rows_ = 0;
  bool mirror_ = false;
};

class CBeadBlockFinder {
 public:
  explicit CBeadBlockFinder(const CPattern* design) : design_(design) {}

  // Extends `result` ring by ring from `frontier`: every neighour (by
  // CPattern::GetNeighbours with the diagonal choice) that is not yet in the
  // result, is a bead of the design, is present and whose stored colour
  // index equals blockColor (-1 accepts any present bead) is appended to the
  // result and to the next ring; repeats until none is added.
  void GrowSameColor(const std::vector<UINT>& frontier, CIndexList& result, bool diagonal, int blockColor) const;
  // The same walk over removed (absent) beads, without a colour test.
  void GrowRemoved(const std::vector<UINT>& frontier, CIndexList& result, bool diagonal) const;

 private:
  template <typename Accept>
  void Grow(const std::vector<UINT>& frontier, CIndexList& result, bool diagonal, Accept accept) const;

  const CPattern* design_;
};
