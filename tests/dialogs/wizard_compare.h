// Comparisons of what the wizard builds, shared by the wizard's tests here
// and the running program's (tests/app): the same beads, the same pixels.
#pragma once

#include <gtest/gtest.h>

#include "design/Pattern.h"
#include "image/Image.h"

namespace wiztest {

// Both designs have the same beads (colour index, presence, position).
inline ::testing::AssertionResult SameBeads(const CPattern& a, const CPattern& b) {
  if (a.GetColumnCount() != b.GetColumnCount() || a.GetRowCount() != b.GetRowCount())
    return ::testing::AssertionFailure() << "grid " << a.GetColumnCount() << "x" << a.GetRowCount() << " vs "
                                         << b.GetColumnCount() << "x" << b.GetRowCount();
  const auto& x = a.GetBeadArray();
  const auto& y = b.GetBeadArray();
  if (x.size() != y.size()) return ::testing::AssertionFailure() << "bead counts " << x.size() << " vs " << y.size();
  for (size_t i = 0; i < x.size(); ++i)
    if (!(x[i] == y[i])) return ::testing::AssertionFailure() << "bead " << i << " differs";
  return ::testing::AssertionSuccess();
}

// Both pictures have the same size and pixels.
inline ::testing::AssertionResult SamePixels(const CImage& a, const CImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
    return ::testing::AssertionFailure() << "sizes differ";
  for (int y = 0; y < a.GetHeight(); ++y)
    for (int x = 0; x < a.GetWidth(); ++x) {
      COLORREF p = 0, q = 0;
      if (!a.GetPixelColor(x, y, p) || !b.GetPixelColor(x, y, q) || p != q)
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    }
  return ::testing::AssertionSuccess();
}

}  // namespace wiztest
