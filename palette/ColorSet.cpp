#include "palette/ColorSet.h"

#include <algorithm>
#include <array>
#include <utility>

const char kInnerImageLibPath[] = "<Inner Image Lib>";

// A direct-mapped memo of recent nearest-colour answers, keyed by RGB.
struct CColorSet::NearestMemo {
  static constexpr size_t kSize = 4096;
  struct Slot {
    DWORD key = 0;  // RGB with bit 31 set when the slot holds an answer
    int index = -1;
    int distance = 0;
  };
  std::array<Slot, kSize> slots{};
  void Reset() { slots.fill(Slot{}); }
  static size_t SlotOf(DWORD rgb) { return ((rgb * 2654435761u) >> 20) & (kSize - 1); }
};

CColorSet::CColorSet() = default;

CColorSet::CColorSet(const CColorSet& other) { CopyConstruct(other); }

CColorSet::~CColorSet() = default;

bool CColorSet::SetModified(bool modified) {
  const bool previous = modified_ != 0;
  modified_ = modified ? 1 : 0;
  return previous;
}

void CColorSet::CopyConstruct(const CColorSet& other) {
  if (this == &other) return;
  modified_ = other.modified_;
  loaded_ = other.loaded_;
  kind_ = other.kind_;
  imageLibPath_ = other.imageLibPath_;
  filePath_ = other.filePath_;
  header_ = other.header_;
  imageLib_.Clear();
  colors_.clear();
  colors_.reserve(other.colors_.size());
  for (const CPaletteColor& c : other.colors_) {
    colors_.emplace_back();
    colors_.back().CopyFrom(c);
  }
  Touch();
}

CColorSet& CColorSet::operator=(const CColorSet& other) {
  if (this == &other) return *this;
  modified_ = other.modified_;
  loaded_ = other.loaded_;
  kind_ = other.kind_;
  imageLibPath_ = other.imageLibPath_;
  filePath_ = other.filePath_;
  colors_ = other.colors_;
  imageLib_.Clear();
  Touch();
  return *this;
}

void CColorSet::Clear() {
  colors_.clear();
  imageLib_.Clear();
  Touch();
}

const CPaletteColor& CColorSet::GetItem(int i) const {
  if (colors_.empty()) {
    static const CPaletteColor kEmpty;
    return kEmpty;
  }
  if (i < 0 || i >= GetCount()) return colors_.front();
  return colors_[static_cast<size_t>(i)];
}

CPaletteColor& CColorSet::GetItem(int i) {
  if (colors_.empty()) {
    emptyItem_ = CPaletteColor();
    return emptyItem_;
  }
  if (i < 0 || i >= GetCount()) return colors_.front();
  return colors_[static_cast<size_t>(i)];
}

const CPaletteColor* CColorSet::GetColor(int i) const {
  if (i < 0 || colors_.empty()) return nullptr;
  if (i >= GetCount()) return &colors_.front();
  return &colors_[static_cast<size_t>(i)];
}

CPaletteColor* CColorSet::GetColor(int i) {
  return const_cast<CPaletteColor*>(static_cast<const CColorSet*>(this)->GetColor(i));
}

bool CColorSet::GetColorCopy(int i, CPaletteColor& out) const {
  if (i < 0 || i >= GetCount()) return false;
  out.CopyFrom(colors_[static_cast<size_t>(i)]);
  return true;
}

COLORREF CColorSet::GetColorrefAt(int i) const {
  const CPaletteColor* c = GetColor(i);
  return c ? c->GetColorref() : 0xFFFFFFFFu;
}

std::vector<CPaletteColor>& CColorSet::GetColorsForEdit() {
  // Kept and used later: the search notices records changed, made or
  // removed through it by the change count and the size.
  Touch();
  return colors_;
}

void CColorSet::Append(const CPaletteColor& color) {
  colors_.push_back(color);
  Touch();
}

const CPaletteColor* CColorSet::FindByName(const CString& name) const {
  for (const CPaletteColor& c : colors_)
    if (c.mfgName == name) return &c;
  return nullptr;
}

CPaletteColor* CColorSet::FindByName(const CString& name) {
  return const_cast<CPaletteColor*>(static_cast<const CColorSet*>(this)->FindByName(name));
}

bool CColorSet::SetSymbolByName(const CString& name, int code) {
  CPaletteColor* c = FindByName(name);
  if (!c) return false;
  c->symbol = code;
  return true;
}

void CColorSet::SetColorSymbol(int i, int code, BYTE variant) {
  if (i < 0 || i >= GetCount()) return;
  colors_[static_cast<size_t>(i)].symbol = code;
  colors_[static_cast<size_t>(i)].symbolVariant = variant;
}

bool CColorSet::IsSymbolUsed(int code) const {
  const int low = code & 0xFF;
  for (const CPaletteColor& c : colors_)
    if (c.count > 0 && c.symbol == low) return true;
  return false;
}

void CColorSet::ColorsChanged() const { Touch(); }

void CColorSet::PrepareNearest() const {
  // The count is taken first: a change made while the index is built
  // leaves it stale.
  nearestStamp_ = GetPaletteColorChangeCount();
  nearestSize_ = colors_.size();
  nearest_.Build(colors_);
  if (!memo_) memo_ = std::make_unique<NearestMemo>();
  memo_->Reset();
  nearestValid_ = true;
}

bool CColorSet::IsNearestCurrent() const {
  return nearestValid_ && nearestStamp_ == GetPaletteColorChangeCount() && nearestSize_ == colors_.size();
}

int CColorSet::FindNearestColor(int red, int green, int blue, int& distance) const {
  if (!IsNearestCurrent()) PrepareNearest();
  if (((red | green | blue) & ~0xFF) != 0) return nearest_.Find(red, green, blue, distance);
  const DWORD rgb = RGB(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue));
  NearestMemo::Slot& slot = memo_->slots[NearestMemo::SlotOf(rgb)];
  if (slot.key == (rgb | 0x80000000u)) {
    distance = slot.distance;
    return slot.index;
  }
  const int index = nearest_.Find(red, green, blue, distance);
  slot.key = rgb | 0x80000000u;
  slot.index = index;
  slot.distance = distance;
  return index;
}

int CColorSet::FindNearestColor(int red, int green, int blue) const {
  int distance = 0;
  return FindNearestColor(red, green, blue, distance);
}

int CColorSet::FindNearestToTriple(const CRgbTriple& t) const { return FindNearestColor(t.red, t.green, t.blue); }

int CColorSet::FindNearestColorref(COLORREF packed) const {
  return FindNearestColor(GetRValue(packed), GetGValue(packed), GetBValue(packed));
}

void CColorSet::CheckAll() {
  for (CPaletteColor& c : colors_) c.SetInUse(1);
  Touch();
}

int CColorSet::GetCheckedCount() const {
  int n = 0;
  for (const CPaletteColor& c : colors_)
    if (c.IsInUse()) ++n;
  return n;
}

int CColorSet::GetNthChecked(int n) const {
  if (n < 0) return -1;
  for (size_t i = 0; i < colors_.size(); ++i) {
    if (!colors_[i].IsInUse()) continue;
    if (n == 0) return static_cast<int>(i);
    --n;
  }
  return -1;
}

int CColorSet::GetUsedCount() const {
  int n = 0;
  for (const CPaletteColor& c : colors_)
    if (c.count > 0) ++n;
  return n;
}

void CColorSet::ClearUsage() {
  for (CPaletteColor& c : colors_) c.count = 0;
}

namespace {

// The default code list of a symbol set: digits 1-9, capitals without O,
// small letters without o, then every other byte value in order.
const std::vector<DWORD>& DefaultSymbolCodes() {
  static const std::vector<DWORD> codes = [] {
    std::vector<DWORD> list;
    std::array<bool, 256> have{};
    auto add = [&](int v) {
      if (!have[static_cast<size_t>(v)]) {
        have[static_cast<size_t>(v)] = true;
        list.push_back(static_cast<DWORD>(v));
      }
    };
    for (int v = 49; v <= 57; ++v) add(v);
    for (int v = 65; v <= 90; ++v)
      if (v != 79) add(v);
    for (int v = 97; v <= 122; ++v)
      if (v != 111) add(v);
    for (int v = 0; v <= 255; ++v) add(v);
    return list;
  }();
  return codes;
}

// A code that prints nothing on a chart: NUL, the controls, the blank, DEL.
bool IsBlankSymbol(int code) { return (code >= 0 && code <= 32) || code == 127; }

// Deals the codes in turn, with the variants 0, 1, 2 in turn, to the colours
// of `order` sorted most used first (equal counts keep their order).
void DealSymbolsByCount(std::vector<CPaletteColor>& colors, std::vector<int> order,
                        const std::vector<DWORD>& codes) {
  std::stable_sort(order.begin(), order.end(), [&colors](int a, int b) {
    return colors[static_cast<size_t>(a)].count > colors[static_cast<size_t>(b)].count;
  });
  size_t cursor = 0;
  BYTE variant = 0;
  for (int i : order) {
    CPaletteColor& c = colors[static_cast<size_t>(i)];
    c.symbol = static_cast<int>(codes[cursor]);
    c.symbolVariant = variant;
    cursor = (cursor + 1) % codes.size();
    variant = static_cast<BYTE>((variant + 1) % 3);
  }
}

}  // namespace

void CColorSet::AssignSymbolsByCounts(const std::vector<DWORD>& givenCodes) {
  if (colors_.empty()) return;
  const std::vector<DWORD>& codes = givenCodes.empty() ? DefaultSymbolCodes() : givenCodes;

  // Every colour, most used first; equal counts keep palette order.
  std::vector<int> order(colors_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  DealSymbolsByCount(colors_, std::move(order), codes);
}

void CColorSet::EnsureDistinctSymbols() { EnsureDistinctSymbols(std::vector<DWORD>()); }

void CColorSet::EnsureDistinctSymbols(const std::vector<DWORD>& designCodes) {
  // The used colours' symbols must each print something and differ.
  std::array<bool, 256> seenLow{};
  std::vector<int> seenOther;
  bool distinct = true;
  for (const CPaletteColor& c : colors_) {
    if (c.count == 0) continue;
    if (IsBlankSymbol(c.symbol)) {
      distinct = false;
      break;
    }
    if (c.symbol >= 0 && c.symbol <= 255) {
      if (seenLow[static_cast<size_t>(c.symbol)]) {
        distinct = false;
        break;
      }
      seenLow[static_cast<size_t>(c.symbol)] = true;
    } else {
      if (std::find(seenOther.begin(), seenOther.end(), c.symbol) != seenOther.end()) {
        distinct = false;
        break;
      }
      seenOther.push_back(c.symbol);
    }
  }
  if (distinct) return;
  // Renumbered from the design's own symbol list (the default list when it
  // has none), most used colour first, as the wizard numbers a new design:
  // digits and letters first, never a code that prints nothing.
  std::vector<DWORD> codes;
  for (DWORD code : designCodes.empty() ? DefaultSymbolCodes() : designCodes)
    if (!IsBlankSymbol(static_cast<int>(code)) &&
        std::find(codes.begin(), codes.end(), code) == codes.end())
      codes.push_back(code);
  if (codes.empty()) codes = {49};
  std::vector<int> order;
  for (size_t i = 0; i < colors_.size(); ++i)
    if (colors_[i].count > 0) order.push_back(static_cast<int>(i));
  DealSymbolsByCount(colors_, std::move(order), codes);
}

void CColorSet::CollectUsedColors(std::vector<CPaletteColor>& out) const {
  out.clear();
  for (const CPaletteColor& c : colors_)
    if (c.count > 0) out.push_back(c);
}

bool CColorSet::CheckOmitNames(unsigned n, bool onlyUsed, CString& reason) const {
  struct Seen {
    CString shortened;
    const CPaletteColor* color;
  };
  std::vector<Seen> seen;
  for (const CPaletteColor& c : colors_) {
    if (onlyUsed && c.count == 0) continue;
    const CString shortened = c.OmitName(n);
    if (shortened.IsEmpty()) {
      reason.Format("Wrong omit value %u\nMfg name <%s> becomes blank", n, c.mfgName.GetString());
      return false;
    }
    for (const Seen& s : seen) {
      if (s.shortened == shortened) {
        reason.Format("Wrong omit value %u\nMfg names <%s> and <%s> affect the same omitted name <%s>", n,
                      c.mfgName.GetString(), s.color->mfgName.GetString(), shortened.GetString());
        return false;
      }
    }
    seen.push_back(Seen{shortened, &c});
  }
  return true;
}

bool CColorSet::ApplyOmitName(unsigned n) {
  bool allNamed = true;
  for (CPaletteColor& c : colors_) {
    c.mfgName = c.OmitName(n);
    if (c.mfgName.IsEmpty()) allNamed = false;
  }
  return allNamed;
}

void CColorSet::GetVersionText(CString& text) const {
  switch (kind_) {
    case kKindPlainText: text = "Version: Without Sheet Data"; break;
    case kKindSheetData: text = "Version: With Sheet Data, Without Image"; break;
    case kKindSheetDataAndImage: text = "Version: With Sheet Data, With Image"; break;
    default: text = "???"; break;
  }
}
