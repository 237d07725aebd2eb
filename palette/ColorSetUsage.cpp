// Usage counting and chart symbols of a palette against a design.
#include "design/Pattern.h"
#include "palette/ColorSet.h"

bool CColorSet::IsColorInUse(int index) const {
  return index >= 0 && index < GetCount() && colors_[static_cast<size_t>(index)].IsInUse();
}

void CColorSet::SetColorInUse(int index, bool inUse) {
  if (index < 0 || index >= GetCount()) return;
  colors_[static_cast<size_t>(index)].SetInUse(inUse ? 1 : 0);
  Touch();
}

CString CColorSet::GetColorName(int index) const {
  if (index < 0 || index >= GetCount()) return CString();
  return colors_[static_cast<size_t>(index)].mfgName;
}

int CColorSet::CountDesignUsage(const CPattern& design) {
  CColorUsage usage(&design);
  CountUsage(usage);
  return usage.beadCount;
}

bool CColorSet::CountUsage(CColorUsage& usage) {
  ClearUsage();
  usage.beadCount = 0;
  if (!usage.pattern) return false;
  const CPattern& design = *usage.pattern;
  const int count = GetCount();
  const int pathColor = design.m_pathColor;
  for (const CBead& bead : design.m_beads) {
    if (!bead.m_present) continue;
    const int index = bead.GetColorIndex(pathColor);
    if (index < 0 || index >= count) return false;
    ++colors_[static_cast<size_t>(index)].count;
    ++usage.beadCount;
  }
  usage.usedColors = GetUsedCount();
  return true;
}

void CColorSet::CountUsageQuick(const CPattern& design) {
  if (colors_.empty()) return;
  ClearUsage();
  const int count = GetCount();
  const int pathColor = design.m_pathColor;
  for (const CBead& bead : design.m_beads) {
    if (!bead.m_present) continue;
    int index = bead.GetColorIndex(pathColor);
    if (index < 0 || index >= count) index = 0;
    ++colors_[static_cast<size_t>(index)].count;
  }
}

void CColorSet::AssignSymbolsByUsage(const CPattern& design) {
  CColorUsage usage(&design);
  CountUsage(usage);
  AssignSymbolsByCounts(design.m_symbolSet.m_codes);
}
