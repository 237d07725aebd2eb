// The Gosper stitch path as the code drew it while it wrote every
// generation of the curve out as a string before drawing it: the reference
// that the path drawn by expanding the rules on the fly is compared with
// (tests and the palette benchmark).
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "design/LSystem.h"
#include "design/StitchPath.h"
#include "core/TextUtils.h"
#include "design/Pattern.h"

namespace oldgosper {

struct CBox {
  double minX = 100000.0, minY = 100000.0, maxX = -100000.0, maxY = -100000.0;
};

inline std::string Rewrite(const std::string& s, const CLSystemPreset& p) {
  std::string next;
  next.reserve(s.size() * 4);
  for (const char c : s) {
    switch (c) {
      case 'F': case 'f': next += p.ruleF.str(); break;
      case 'B': case 'l': next += p.ruleB.str(); break;
      case 'X': case 'x': next += p.ruleX.str(); break;
      case 'Y': case 'y': next += p.ruleY.str(); break;
      case ' ': break;
      default: next += c; break;
    }
  }
  return next;
}

// Walks the string from (0, 0) at heading 0; `segment(x1, y1, x2, y2)` for
// every drawn move.
template <class Segment>
CBox Draw(const std::string& s, double step, double angle, Segment&& segment) {
  CBox box;
  struct CTurtle {
    double x = 0, y = 0, heading = 0;
  };
  CTurtle t;
  std::vector<CTurtle> stack;
  for (const char c : s) {
    switch (c) {
      case 'F': case 'f': case 'B': case 'l': {
        const double nx = t.x + step * std::cos(t.heading);
        const double ny = t.y + step * std::sin(t.heading);
        if (c == 'F' || c == 'f') {
          for (const double px : {t.x, nx}) {
            if (px < box.minX) box.minX = px;
            if (px > box.maxX) box.maxX = px;
          }
          for (const double py : {t.y, ny}) {
            if (py < box.minY) box.minY = py;
            if (py > box.maxY) box.maxY = py;
          }
          segment(t.x, t.y, nx, ny);
        }
        t.x = nx;
        t.y = ny;
        break;
      }
      case '+': t.heading += angle; break;
      case '-': t.heading -= angle; break;
      case '[': stack.push_back(t); break;
      case ']':
        if (stack.empty()) {
          t = CTurtle{};
        } else {
          t = stack.back();
          stack.pop_back();
        }
        break;
      default: break;
    }
  }
  return box;
}

// ApplyStitchPath(design, 7..9, pathColor) as it was: step length kind - 4.
inline void ApplyGosperPath(CPattern& design, int stepLength, int pathColor) {
  const long long columns = static_cast<long long>(design.GetColumnCount());
  const long long rows = static_cast<long long>(design.GetRowCount());
  if (columns <= 0 || rows <= 0 || columns * rows > static_cast<long long>(design.m_beads.size())) return;
  CLSystemPreset preset;
  preset.Load(CLSystemPreset::kGosper);
  const double angle = DegreesToRadians(static_cast<int>(preset.angle));
  const double step = stepLength;
  std::string current = Rewrite(preset.axiom.str(), preset);
  long long sumX = 0, sumY = 0, count = 0;
  for (;;) {
    current = Rewrite(current, preset);
    sumX = sumY = count = 0;
    const CBox box = Draw(current, step, angle, [&](double x1, double y1, double x2, double y2) {
      sumX += static_cast<long long>(RoundToInt(x1)) + RoundToInt(x2);
      sumY += static_cast<long long>(RoundToInt(y1)) + RoundToInt(y2);
      ++count;
    });
    const int minX = RoundToInt(box.minX), minY = RoundToInt(box.minY);
    const long long width = static_cast<long long>(RoundToInt(box.maxX)) - minX;
    const long long height = static_cast<long long>(RoundToInt(box.maxY)) - minY;
    if (height >= 2 * rows && width >= 2 * columns) break;
    if (current.size() * 8 > (size_t{96} << 20)) break;
  }
  long long cx = 0, cy = 0;
  if (count > 0) {
    cx = sumX / count / 2;
    cy = sumY / count / 2;
  }
  const long long offsetX = cx - columns / 2, offsetY = cy - rows / 2;
  Draw(current, step, angle, [&](double x1, double y1, double x2, double y2) {
    LineCells(design, POINT{static_cast<LONG>(RoundToInt(x1) - offsetX), static_cast<LONG>(RoundToInt(y1) - offsetY)},
              POINT{static_cast<LONG>(RoundToInt(x2) - offsetX), static_cast<LONG>(RoundToInt(y2) - offsetY)},
              pathColor);
  });
}

}  // namespace oldgosper
