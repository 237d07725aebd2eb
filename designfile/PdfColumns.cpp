#include "designfile/PdfColumns.h"

CColorListData ToColorListData(const CPdfColumnLayout& layout) {
  CColorListData list(layout.preset);
  list.rememberSelection = layout.rememberSelection;
  list.highlightShortage = layout.highlightShortage;
  list.allowUsageChange = layout.allowUsageChange;
  list.usageChangeLocked = layout.usageChangeLocked;
  list.sortDirection = layout.sortDirection;
  list.sortColumn = layout.sortColumn;
  list.columns.clear();
  for (const CPdfColumn& column : layout.columns) list.columns.push_back(CColumnPair{column.kind, column.width});
  return list;
}

void AssignColorListData(CPdfColumnLayout& layout, const CColorListData& list) {
  layout.preset = list.preset;
  layout.rememberSelection = list.rememberSelection;
  layout.highlightShortage = list.highlightShortage;
  layout.allowUsageChange = list.allowUsageChange;
  layout.usageChangeLocked = list.usageChangeLocked;
  layout.sortDirection = list.sortDirection;
  layout.sortColumn = list.sortColumn;
  layout.columns.clear();
  for (const CColumnPair& pair : list.columns) layout.columns.push_back(CPdfColumn{pair.kind, pair.width});
}
