// CColorColumnLayout: the column set-up of a list of palette colours, as
// the colour lists, the colour table of the PDF chart and the older PDF
// options store it: which of the 21 column kinds are shown, in which order
// and width, the sort column and direction, and four behaviour flags.
// Stored form (13 + 8 x columns + 128 bytes, through CByteStream): the four
// flags, the sort direction, the sort column, the column count, (kind,
// width) pairs, 128 reserved bytes.
//
// The palette's CColorListData builds on it with the column titles, cell
// texts and sort orders.
#pragma once

#include <vector>

#include "platform/base.h"

class CByteStream;

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

// One shown column: its kind and width in pixels.
struct CColumnPair {
  int kind = 0;
  int width = kColumnAutoWidth;
  friend bool operator==(const CColumnPair& a, const CColumnPair& b) { return a.kind == b.kind && a.width == b.width; }
};
using CColumnArray = std::vector<CColumnPair>;

class CColorColumnLayout {
 public:
  explicit CColorColumnLayout(int presetValue = 0) : preset(presetValue) { ResetColumns(); }

  // The preset's columns and flags, sort direction 1, sort column 0:
  // preset 0 Mfg Name, Nickname, Count; 1 Mfg Name, Nickname, Usage; 2 Mfg
  // Name, Count, Usage; any other preset no columns.
  void ResetColumns();

  int GetStreamSize() const { return 13 + 8 * static_cast<int>(columns.size()) + 128; }
  bool Write(CByteStream& stream) const;
  // False when the stream runs short; a column count larger than the bytes
  // left fails before anything is reserved, and the columns are replaced
  // only when all of them were read (the flags read so far stay; the owner
  // falls back to its preset).
  bool Read(CByteStream& stream);
  // The later layout kept in older PDF settings (a different reserved tail).
  bool ReadV2(CByteStream& stream);

  // A shown column of automatic width.
  bool HasAutoWidth() const;

  // Equal when every stored field is equal (the preset too).
  friend bool operator==(const CColorColumnLayout& a, const CColorColumnLayout& b) {
    return a.preset == b.preset && a.rememberSelection == b.rememberSelection &&
           a.highlightShortage == b.highlightShortage && a.allowUsageChange == b.allowUsageChange &&
           a.usageChangeLocked == b.usageChangeLocked && a.sortDirection == b.sortDirection &&
           a.sortColumn == b.sortColumn && a.columns == b.columns;
  }
  friend bool operator!=(const CColorColumnLayout& a, const CColorColumnLayout& b) { return !(a == b); }

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
