// CColorListData: the column set-up of one list of palette colours (the
// stored record CColorColumnLayout of settings/ColorColumnLayout.h) with what
// the column kinds mean for palette colours: titles, cell texts, value kinds
// and sort orders.
#pragma once

#include <vector>

#include "core/ByteStream.h"
#include "palette/PaletteColor.h"
#include "settings/ColorColumnLayout.h"

// Value kinds of a column for exports.
enum : int { kColumnValueText = 0, kColumnValueInteger = 1, kColumnValueReal = 2, kColumnValueNone = 3 };

class CColorListData : public CColorColumnLayout {
 public:
  explicit CColorListData(int presetValue = 0) : CColorColumnLayout(presetValue) {}
  // The colour-list view of a stored layout (the PDF chart's colour table).
  explicit CColorListData(const CColorColumnLayout& layout) : CColorColumnLayout(layout) {}
  CColorListData(const CColorListData& other) = default;
  CColorListData& operator=(const CColorListData& other) = default;
  virtual ~CColorListData() = default;

  // The kind's title from the language library (IDS_COLUMN_MFG_NAME + kind for
  // kinds 0..20, IDS_COLUMN_UNKNOWN for any other).
  static CString GetColumnTitle(int kind);
  static UINT GetColumnTitleId(int kind);
  // Sorts colour records by the sort column and direction.
  void Sort(CPaletteColor* first, CPaletteColor* last) const;
  void Sort(std::vector<CPaletteColor>& colors) const {
    if (!colors.empty()) Sort(colors.data(), colors.data() + colors.size());
  }
};

// 0 text, 1 integer, 2 real, 3 none (kinds outside 0..20).
int GetColumnValueKind(int kind);
// The cell text of the column kind at `position` of `columns`.
CString FormatColorCell(const CPaletteColor& color, const CColumnArray& columns, int position);
// The cell text of one column kind.
CString FormatColorCellOfKind(const CPaletteColor& color, int kind);
// Unsigned decimal with a space between groups of three digits; empty for 0.
CString FormatCount(DWORD number);

// The per-kind predicates: "less" and "greater" by the kind's sort key.
using ColorRecordPredicate = bool (*)(const CPaletteColor&, const CPaletteColor&);
ColorRecordPredicate GetColumnLess(int kind);
ColorRecordPredicate GetColumnGreater(int kind);
// True when the kind sorts ascending at sort direction 1.
bool IsColumnAscendingAtOne(int kind);
