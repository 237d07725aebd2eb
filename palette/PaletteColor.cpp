#include "palette/PaletteColor.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<unsigned long long> g_colorChanges{0};

const char kImageLibTag[] = "MosaicImageLibrary";
static_assert(sizeof(kImageLibTag) - 1 == CImageLib::kTagLength);

bool ReadColorValue(CByteStream& stream, CRgbTriple& out) {
  DWORD packed = 0;
  if (!stream.ReadInt(packed)) return false;
  out = CRgbTriple::FromColorref(packed);
  return true;
}

CString FormatFraction(DWORD value, DWORD divisor, int digits) {
  const CString whole = FormatGroupedDigits(value / divisor, ' ');
  CString fraction;
  fraction.Format("%0*lu", digits, static_cast<unsigned long>(value % divisor));
  CString text;
  text.Format("%s.%s", whole.GetString(), fraction.GetString());
  return text;
}

}  // namespace

CPaletteColor::CPaletteColor(const CRgbTriple& colour, const CString& name, DWORD count_, int number_,
                             DWORD beadsPerTube_, DWORD tubePrice_)
    : mfgName(name), count(count_), number(number_), beadsPerTube(beadsPerTube_), tubePrice(tubePrice_),
      match_(colour) {}

void CPaletteColor::CMatchFields::NoteChange() { g_colorChanges.fetch_add(1, std::memory_order_relaxed); }

unsigned long long GetPaletteColorChangeCount() { return g_colorChanges.load(std::memory_order_relaxed); }

void CPaletteColor::SetRgb(const CRgbTriple& rgb) { match_.Set(rgb, match_.inUse); }

void CPaletteColor::SetInUse(BYTE inUse) { match_.Set(match_.rgb, inUse); }

DWORD CPaletteColor::TubesFor(DWORD beads) const {
  if (beads == 0 || beadsPerTube == 0) return 0;
  return beads / beadsPerTube + (beads % beadsPerTube != 0 ? 1u : 0u);
}

DWORD CPaletteColor::GetShortage() const {
  const DWORD have = static_cast<DWORD>(assigned);
  return count > have ? count - have : 0;
}

CString CPaletteColor::GetCostSummaryText() const {
  CString text;
  text.Format("%.2f", static_cast<double>(GetCostSummary()) * 0.01);
  return text;
}

CString CPaletteColor::GetCostShortageText() const {
  CString text;
  text.Format("%.2f", static_cast<double>(GetCostShortage()) * 0.01);
  return text;
}

CString CPaletteColor::OmitName(unsigned n) const {
  if (n >= static_cast<unsigned>(mfgName.GetLength())) return CString();
  return mfgName.Mid(static_cast<int>(n));
}

bool CPaletteColor::Read(CByteStream& s, int version) {
  CRgbTriple rgb;
  if (!ReadColorValue(s, rgb)) return false;
  SetRgb(rgb);
  if (!s.ReadString(mfgName) || !s.ReadString(nickname) || !s.ReadString(colorType)) return false;
  if (!s.ReadInt(reserved)) return false;
  if (!s.ReadInt(price)) return false;
  if (version <= 3) price *= 100;
  if (!s.ReadInt(number)) return false;
  BYTE use = 0;
  if (!s.ReadByte(use)) return false;
  SetInUse(use);
  if (!s.ReadInt(beadsPerTube) || !s.ReadInt(tubePrice)) return false;
  if (!s.ReadString(typeColor)) return false;
  if (version >= 2 && !s.ReadFloat(grams)) return false;
  symbol = 0;
  if (version >= 3 && !s.ReadInt(symbol)) return false;
  symbolVariant = 0;
  if (version >= 4 && !s.ReadByte(symbolVariant)) return false;
  if (version >= 5) {
    if (!s.ReadString(durability) || !s.ReadString(safeColor) || !s.ReadString(miscInfo)) return false;
  }
  return true;
}

bool CPaletteColor::Write(CByteStream& s) const {
  return s.WriteInt(GetColorref()) && s.WriteString(mfgName) && s.WriteString(nickname) &&
         s.WriteString(colorType) && s.WriteInt(reserved) && s.WriteInt(price) && s.WriteInt(number) &&
         s.WriteByte(GetInUse()) && s.WriteInt(beadsPerTube) && s.WriteInt(tubePrice) && s.WriteString(typeColor) &&
         s.WriteFloat(grams) && s.WriteInt(symbol) && s.WriteByte(symbolVariant) && s.WriteString(durability) &&
         s.WriteString(safeColor) && s.WriteString(miscInfo);
}

int CPaletteColor::GetStreamSize() const {
  return 34 + CByteStream::StringSize(mfgName) + CByteStream::StringSize(nickname) +
         CByteStream::StringSize(colorType) + CByteStream::StringSize(typeColor) +
         CByteStream::StringSize(durability) + CByteStream::StringSize(safeColor) +
         CByteStream::StringSize(miscInfo);
}

bool CPaletteColor::ReadFromDesign(CByteStream& s, int f, bool withCount) {
  CString dropped;
  BYTE droppedByte = 0;
  CRgbTriple rgb;
  if (!ReadColorValue(s, rgb)) return false;
  SetRgb(rgb);
  if (!s.ReadString(mfgName) || !s.ReadString(nickname) || !s.ReadString(colorType)) return false;
  if (!s.ReadString(dropped) || !s.ReadByte(droppedByte)) return false;
  if (f >= 10 && (!s.ReadString(dropped) || !s.ReadString(dropped))) return false;
  if (f >= 11 && !s.Skip(4)) return false;
  const int reservedRun = f <= 6 ? 2 : (f <= 9 ? 32 : (f == 10 ? 30 : 26));
  if (!s.Skip(reservedRun)) return false;
  if (f <= 5 && !s.Skip(4)) return false;
  if (!s.ReadInt(number)) return false;
  if (withCount && !s.ReadInt(count)) return false;
  BYTE use = 0;
  if (!s.ReadByte(use)) return false;
  SetInUse(use);
  if (!s.ReadInt(beadsPerTube) || !s.ReadInt(tubePrice)) return false;
  if (!s.ReadString(typeColor)) return false;
  if (f >= 2 && !s.Skip(4)) return false;
  symbol = 0;
  if (f >= 3 && !s.ReadInt(symbol)) return false;
  symbolVariant = 0;
  if (f >= 4 && !s.ReadByte(symbolVariant)) return false;
  if (f >= 5) {
    if (!s.ReadString(durability) || !s.ReadString(safeColor) || !s.ReadString(miscInfo)) return false;
  }
  if (f >= 7 && !s.Skip(4)) return false;
  if (f >= 9 && !s.Skip(3)) return false;
  return true;
}

bool CPaletteHeader::Read(CByteStream& s) {
  return s.ReadInt(version) && s.ReadInt(flags) && s.ReadInt(unusedValues[0]) && s.ReadInt(unusedValues[1]) &&
         s.ReadString(unusedTexts[0]) && s.ReadString(unusedTexts[1]);
}

bool CPaletteHeader::Write(CByteStream& s) const {
  return s.WriteInt(version) && s.WriteInt(flags) && s.WriteInt(unusedValues[0]) && s.WriteInt(unusedValues[1]) &&
         s.WriteString(unusedTexts[0]) && s.WriteString(unusedTexts[1]);
}

void CImageLib::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
  entryCount_ = 0;
}

void CImageLib::SetData(const BYTE* data, int size) {
  Clear();
  if (data && size > 0) data_.assign(data, data + size);
}

bool CImageLib::Read(CByteStream& stream) {
  Clear();
  BYTE* block = nullptr;
  int size = 0;
  if (!stream.ReadBlob(block, size)) return false;
  if (block) {
    data_.assign(block, block + size);
    delete[] block;
  }
  return CheckTag();
}

bool CImageLib::Write(CByteStream& stream) const {
  return stream.WriteBlob(data_.empty() ? nullptr : data_.data(), GetSize());
}

bool CImageLib::CheckTag() {
  if (data_.size() < static_cast<size_t>(kFirstEntryOffset)) return false;
  if (std::memcmp(data_.data(), kImageLibTag, kTagLength) != 0) return false;
  std::memcpy(&entryCount_, data_.data() + kTagLength, 4);
  return true;
}

bool CImageLib::Rewind() {
  if (!CheckTag()) return false;
  position_ = kFirstEntryOffset;
  return true;
}

bool CImageLib::ParseEntryAt(int offset, CImageLibEntry& entry, int& next) const {
  const int size = GetSize();
  if (offset < kFirstEntryOffset || offset >= size) return false;
  int p = offset;
  auto readText = [&](CString& out) {
    if (p >= size) return false;
    const void* nul = std::memchr(data_.data() + p, 0, static_cast<size_t>(size - p));
    if (!nul) return false;
    const int end = static_cast<int>(static_cast<const BYTE*>(nul) - data_.data());
    out = CString(reinterpret_cast<const char*>(data_.data() + p), end - p);
    p = end + 1;
    return true;
  };
  if (!readText(entry.name) || !readText(entry.text)) return false;
  if (size - p < 8) return false;
  std::memcpy(&entry.dataSize, data_.data() + p, 4);
  std::memcpy(&entry.value, data_.data() + p + 4, 4);
  p += 8;
  if (static_cast<unsigned long long>(entry.dataSize) > static_cast<unsigned long long>(size - p)) return false;
  next = p + static_cast<int>(entry.dataSize);
  return true;
}

bool CImageLib::NextEntry(CImageLibEntry& entry, int& startOffset) {
  int next = 0;
  if (!ParseEntryAt(position_, entry, next)) return false;
  startOffset = position_;
  position_ = next;
  return true;
}

bool CImageLib::IsEmpty() const {
  if (data_.size() < static_cast<size_t>(kFirstEntryOffset)) return true;
  if (std::memcmp(data_.data(), kImageLibTag, kTagLength) != 0) return true;
  CImageLibEntry entry;
  int next = 0;
  return !ParseEntryAt(kFirstEntryOffset, entry, next);
}

CString FormatGroupedDigits(unsigned long long value, char separator) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%llu", value);
  const int n = static_cast<int>(std::strlen(digits));
  CString text;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  return text;
}

CString FormatMoney(DWORD cents) { return FormatFraction(cents, 100, 2); }

void FormatMoney(CString& out, DWORD cents) { out = FormatMoney(cents); }

CString FormatMoney5(DWORD amount) { return FormatFraction(amount, 100000, 5); }

int ComparePaletteNames(const CString& a, const CString& b) {
  const int n = a.GetLength() < b.GetLength() ? a.GetLength() : b.GetLength();
  const char* pa = a.GetString();
  const char* pb = b.GetString();
  for (int i = 0; i < n; ++i) {
    const signed char ca = static_cast<signed char>(pa[i]);
    const signed char cb = static_cast<signed char>(pb[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.GetLength() == b.GetLength()) return 0;
  return a.GetLength() < b.GetLength() ? -1 : 1;
}

namespace {
int DarknessKey(const CPaletteColor& c) { return c.GetRgb().Distance(0, 0, 0); }
}  // namespace

bool CompareDarkerFirst(const CPaletteColor& a, const CPaletteColor& b) { return DarknessKey(a) < DarknessKey(b); }
bool CompareLighterFirst(const CPaletteColor& a, const CPaletteColor& b) { return DarknessKey(a) > DarknessKey(b); }
bool CompareNameAscending(const CPaletteColor& a, const CPaletteColor& b) {
  return ComparePaletteNames(a.mfgName, b.mfgName) < 0;
}
bool CompareNameDescending(const CPaletteColor& a, const CPaletteColor& b) {
  return ComparePaletteNames(a.mfgName, b.mfgName) > 0;
}
bool CompareUsageAscending(const CPaletteColor& a, const CPaletteColor& b) { return a.count < b.count; }
bool CompareUsageDescending(const CPaletteColor& a, const CPaletteColor& b) { return a.count > b.count; }
bool CompareSymbolAscending(const CPaletteColor& a, const CPaletteColor& b) {
  return static_cast<unsigned>(a.symbol) < static_cast<unsigned>(b.symbol);
}
bool CompareSymbolDescending(const CPaletteColor& a, const CPaletteColor& b) {
  return static_cast<unsigned>(a.symbol) > static_cast<unsigned>(b.symbol);
}
bool CompareVariantAscending(const CPaletteColor& a, const CPaletteColor& b) {
  return a.symbolVariant < b.symbolVariant;
}
bool CompareVariantDescending(const CPaletteColor& a, const CPaletteColor& b) {
  return a.symbolVariant > b.symbolVariant;
}
