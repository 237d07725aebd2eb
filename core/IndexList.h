// CIndexList: a list of bead storage indexes without repeats, in the order
// they were added, with a constant-time membership test (a bit set that
// grows with the largest index). The drawing operations and the flood fill
// fill it; callers read it like a vector.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/LargeArray.h"
#include "platform/base.h"

using CIndexArray = std::vector<UINT, CLargeBlockAllocator<UINT>>;

class CIndexList {
 public:
  CIndexList() = default;
  CIndexList(std::initializer_list<UINT> items) {
    for (UINT i : items) Add(i);
  }

  // Appends the index unless it is listed; true when it was added.
  bool Add(UINT index) {
    const size_t word = index >> 6;
    const uint64_t bit = uint64_t{1} << (index & 63);
    if (word >= bits_.size()) bits_.resize(word + 1 + (word >> 3), 0);
    else if (bits_[word] & bit) return false;
    bits_[word] |= bit;
    items_.push_back(index);
    return true;
  }
  bool Contains(UINT index) const {
    const size_t word = index >> 6;
    return word < bits_.size() && (bits_[word] >> (index & 63) & 1) != 0;
  }
  // Reserves room for indexes below `count` (saves regrowing the bit set).
  void ReserveIndexes(size_t count) {
    if (bits_.size() < (count + 63) / 64) bits_.resize((count + 63) / 64, 0);
  }
  void clear() {
    items_.clear();
    bits_.clear();
  }
  // Empties the list in time proportional to its length and keeps the bit
  // set's room: for one list reused over many small groups of a large grid.
  void ClearItems() {
    for (UINT i : items_) bits_[i >> 6] &= ~(uint64_t{1} << (i & 63));
    items_.clear();
  }
  bool empty() const { return items_.empty(); }
  size_t size() const { return items_.size(); }
  UINT operator[](size_t i) const { return items_[i]; }
  CIndexArray::const_iterator begin() const { return items_.begin(); }
  CIndexArray::const_iterator end() const { return items_.end(); }
  const CIndexArray& Items() const { return items_; }
  std::vector<UINT> ToVector() const { return std::vector<UINT>(items_.begin(), items_.end()); }
  // The indexes in order as ints (the bead lists of the view and its windows).
  std::vector<int> ToIntVector() const { return std::vector<int>(items_.begin(), items_.end()); }

 private:
  CIndexArray items_;
  std::vector<uint64_t, CLargeBlockAllocator<uint64_t>> bits_;
};
