// Texts that describe a design: its name, its size in the interface's unit
// and the label/value rows of the design information table.
#pragma once

#include <vector>

#include "platform/base.h"

class CPattern;
class IColorSource;

struct CPatternInfoRow {
  CString label;
  CString value;
};
using CPatternInfoRows = std::vector<CPatternInfoRow>;

// Replaces the rows with: size, grid, format, bead size, spacer, number of
// beads, and the path (fullPath) or the file name.
void BuildPatternInfoRows(const CPattern& design, IColorSource& palette, bool fullPath, CPatternInfoRows& rows);
