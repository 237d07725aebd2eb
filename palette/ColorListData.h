// CColorListData: the column set-up of one list of palette colours — which
// of the 21 column kinds are shown, in which order and width, the sort
// column and direction, and four behaviour flags — with its stored form.
// Also the column kinds themselves: titles, cell texts, value kinds and
// sort orders.
#pragma once

#include <vector>

#include "core/ByteStream.h"
#include "palette/PaletteColor.h"

// Column kinds.
enum : int {
  kColumnMfgName = 0,
  kColumnIndex = 1,
  kColumnNickname = 2,
  kColumnCount = 3,
  kColumnCostBead = 4,
  kColumnBeadsTube = 5,
  kColumnCostTube = 6,
  kColumnGramsBead = 7,
  kColumnColorType = 8,
  kColumnTypeColor = 9,
  kColumnDurability = 10,
  kColumnSafeColor = 11,
  kColumnMiscInfo = 12,
  kColumnInventory = 13,
  kColumnAssigned = 14,
  kColumnShortage = 15,
  kColumnUsage = 16,
  kColumnTubesSummary = 17,
  kColumnTubesShortage = 18,
  kColumnCostSummary = 19,
  kColumnCostShortage = 20,
  kColumnKindCount = 21,
};

// The width that means "automatic".
constexpr int kColumnAutoWidth = -7;

// Value kinds of a column for exports.
enum : int { kColumnValueText = 0, kColumnValueInteger = 1, kColumnValueReal = 2, kColumnValueNone = 3 };

// One shown column: its kind and width in pixels.
struct CColumnPair {
  int kind = 0;
  int width = kColumnAutoWidth;
  friend bool operator==(const CColumnPair& a, const CColumnPair& b) { return a.kind == b.kind && a.width == b.width; }
};
using CColumnArray = std::vector<CColumnPair>;

class CColorListData {
 public:
  explicit CColorListData(int preset = 0);
  CColorListData(const CColorListData& other) = default;
  CColorListData& operator=(const CColorListData& other) = default;
  virtual ~CColorListData() = default;

  // The preset's columns and flags; sort direction 1, sort column 0.
  void ResetColumns();

  int GetStreamSize() const { return 13 + 8 * static_cast<int>(columns.size()) + 128; }
  bool Write(CByteStream& stream) const;
  // False when the stream runs short; the fields read so far stay and the
  // owner falls back to its preset.
  bool Read(CByteStream& stream);
  // The later layout kept in PDF settings (a different reserved tail).
  bool ReadV2(CByteStream& stream);

  bool HasAutoWidth() const;
  // The kind's title from the language library (string 229 + kind for kinds
  // 0..20, 250 for any other).
  static CString GetColumnTitle(int kind);
  static UINT GetColumnTitleId(int kind);
  // Sorts colour records by the sort column and direction.
  void Sort(CPaletteColor* first, CPaletteColor* last) const;
  void Sort(std::vector<CPaletteColor>& colors) const {
    if (!colors.empty()) Sort(colors.data(), colors.data() + colors.size());
  }

  friend bool operator==(const CColorListData& a, const CColorListData& b) {
    return a.preset == b.preset && a.rememberSelection == b.rememberSelection &&
           a.highlightShortage == b.highlightShortage && a.allowUsageChange == b.allowUsageChange &&
           a.usageChangeLocked == b.usageChangeLocked && a.sortDirection == b.sortDirection &&
           a.sortColumn == b.sortColumn && a.columns == b.columns;
  }

  int preset;
  BYTE rememberSelection = 0;
  BYTE highlightShortage = 0;
  BYTE allowUsageChange = 0;
  BYTE usageChangeLocked = 0;
  BYTE sortDirection = 1;  // 1: the kind's own order, 0: the opposite
  int sortColumn = 0;      // a position among the shown columns
  CColumnArray columns;

 private:
  bool ReadHead(CByteStream& stream);
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

bool ReadIntPair(CByteStream& stream, CColumnPair& pair);
inline int GetIntPairSize() { return 8; }
