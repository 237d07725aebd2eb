#include "palette/ColorListData.h"

#include <algorithm>

#include "core/FrameServices.h"
#include "lang/ids/palette.h"

namespace {


// The sort key of a kind as a comparison: negative, zero or positive.
int CompareKey(int kind, const CPaletteColor& a, const CPaletteColor& b) {
  auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
  switch (kind) {
    case kColumnMfgName: return a.mfgName.Compare(b.mfgName);
    case kColumnIndex: return cmp(static_cast<DWORD>(a.number), static_cast<DWORD>(b.number));
    case kColumnNickname: return a.nickname.Compare(b.nickname);
    case kColumnCount: return cmp(a.count, b.count);
    case kColumnCostBead: return cmp(a.price, b.price);
    case kColumnBeadsTube: return cmp(a.beadsPerTube, b.beadsPerTube);
    case kColumnCostTube: return cmp(a.tubePrice, b.tubePrice);
    case kColumnGramsBead: return cmp(a.grams, b.grams);
    case kColumnColorType: return a.colorType.Compare(b.colorType);
    case kColumnTypeColor: return a.typeColor.Compare(b.typeColor);
    case kColumnDurability: return a.durability.Compare(b.durability);
    case kColumnSafeColor: return a.safeColor.Compare(b.safeColor);
    case kColumnMiscInfo: return a.miscInfo.Compare(b.miscInfo);
    case kColumnInventory: return cmp(static_cast<DWORD>(a.inventory), static_cast<DWORD>(b.inventory));
    case kColumnAssigned: return cmp(static_cast<DWORD>(a.assigned), static_cast<DWORD>(b.assigned));
    case kColumnShortage: return cmp(a.GetShortage(), b.GetShortage());
    case kColumnUsage: return cmp(a.GetInUse(), b.GetInUse());
    case kColumnTubesSummary: return cmp(a.GetTubesUsed(), b.GetTubesUsed());
    case kColumnTubesShortage: return cmp(a.GetTubesShortage(), b.GetTubesShortage());
    case kColumnCostSummary: return cmp(a.GetCostSummary(), b.GetCostSummary());
    case kColumnCostShortage: return cmp(a.GetCostShortage(), b.GetCostShortage());
    default: return 0;
  }
}

template <int Kind>
bool LessOf(const CPaletteColor& a, const CPaletteColor& b) {
  return CompareKey(Kind, a, b) < 0;
}
template <int Kind>
bool GreaterOf(const CPaletteColor& a, const CPaletteColor& b) {
  return CompareKey(Kind, a, b) > 0;
}

template <int... Kinds>
struct PredicateTables {
  static constexpr ColorRecordPredicate less[] = {&LessOf<Kinds>...};
  static constexpr ColorRecordPredicate greater[] = {&GreaterOf<Kinds>...};
};
using Tables = PredicateTables<0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20>;
static_assert(sizeof(Tables::less) / sizeof(Tables::less[0]) == kColumnKindCount);

bool IsKnownKind(int kind) { return kind >= 0 && kind < kColumnKindCount; }

CString FormatCost(DWORD cents) {
  CString text;
  text.Format("%.2f", static_cast<double>(cents) * 0.01);
  return text;
}

}  // namespace

UINT CColorListData::GetColumnTitleId(int kind) {
  return IsKnownKind(kind) ? IDS_COLUMN_MFG_NAME + static_cast<UINT>(kind) : IDS_COLUMN_UNKNOWN;
}

CString CColorListData::GetColumnTitle(int kind) { return LoadResString(GetColumnTitleId(kind)); }

void CColorListData::Sort(CPaletteColor* first, CPaletteColor* last) const {
  if (columns.empty() || !first || last <= first) return;
  const int position = std::clamp(sortColumn, 0, static_cast<int>(columns.size()) - 1);
  const int kind = columns[static_cast<size_t>(position)].kind;
  if (!IsKnownKind(kind)) return;
  const bool ascending = IsColumnAscendingAtOne(kind) == (sortDirection != 0);
  std::sort(first, last, ascending ? GetColumnLess(kind) : GetColumnGreater(kind));
}

int GetColumnValueKind(int kind) {
  switch (kind) {
    case kColumnMfgName: case kColumnNickname: case kColumnColorType: case kColumnTypeColor:
    case kColumnDurability: case kColumnSafeColor: case kColumnMiscInfo: case kColumnUsage:
      return kColumnValueText;
    case kColumnIndex: case kColumnCount: case kColumnBeadsTube: case kColumnInventory: case kColumnAssigned:
    case kColumnShortage: case kColumnTubesSummary: case kColumnTubesShortage:
      return kColumnValueInteger;
    case kColumnCostBead: case kColumnCostTube: case kColumnGramsBead: case kColumnCostSummary:
    case kColumnCostShortage:
      return kColumnValueReal;
    default:
      return kColumnValueNone;
  }
}

CString FormatCount(DWORD number) {
  if (number == 0) return CString();
  return FormatGroupedDigits(number, ' ');
}

CString FormatColorCellOfKind(const CPaletteColor& c, int kind) {
  CString text;
  switch (kind) {
    case kColumnMfgName: return c.mfgName;
    case kColumnIndex: text.Format("%d", c.number); return text;
    case kColumnNickname: return c.nickname;
    case kColumnCount: return FormatCount(c.count);
    case kColumnCostBead: return FormatMoney5(c.price);
    case kColumnBeadsTube: return FormatCount(c.beadsPerTube);
    case kColumnCostTube: return FormatMoney(c.tubePrice);
    case kColumnGramsBead: text.Format("%.3f", static_cast<double>(c.grams)); return text;
    case kColumnColorType: return c.colorType;
    case kColumnTypeColor: return c.typeColor;
    case kColumnDurability: return c.durability;
    case kColumnSafeColor: return c.safeColor;
    case kColumnMiscInfo: return c.miscInfo;
    case kColumnInventory: return FormatCount(static_cast<DWORD>(c.inventory));
    case kColumnAssigned: return FormatCount(static_cast<DWORD>(c.assigned));
    case kColumnShortage: return FormatCount(c.GetShortage());
    case kColumnUsage: return c.IsInUse() ? "[X]" : "[  ]";
    case kColumnTubesSummary: return FormatCount(c.GetTubesUsed());
    case kColumnTubesShortage: return FormatCount(c.GetTubesShortage());
    case kColumnCostSummary: return FormatCost(c.GetCostSummary());
    case kColumnCostShortage: return FormatCost(c.GetCostShortage());
    default: return "Unknown";
  }
}

CString FormatColorCell(const CPaletteColor& color, const CColumnArray& columns, int position) {
  if (position < 0 || position >= static_cast<int>(columns.size())) return "Unknown";
  return FormatColorCellOfKind(color, columns[static_cast<size_t>(position)].kind);
}

ColorRecordPredicate GetColumnLess(int kind) { return IsKnownKind(kind) ? Tables::less[kind] : nullptr; }

ColorRecordPredicate GetColumnGreater(int kind) { return IsKnownKind(kind) ? Tables::greater[kind] : nullptr; }

bool IsColumnAscendingAtOne(int kind) {
  switch (kind) {
    case kColumnIndex: case kColumnCostBead: case kColumnBeadsTube: case kColumnCostTube: case kColumnGramsBead:
      return true;
    default:
      return false;
  }
}
