// One palette colour (CPaletteColor), the palette header record
// (CPaletteHeader), the embedded image-library block (CImageLib), money
// texts and the sort predicates on colour records.
#pragma once

#include <vector>

#include "core/ByteStream.h"
#include "core/RgbTriple.h"
#include "platform/base.h"

// The defaults of a colour record where the readers make one.
constexpr DWORD kDefaultBeadsPerTube = 225;
constexpr float kDefaultGramsPerBead = 7.5f;

class CPaletteColor {
 public:
  CPaletteColor() = default;
  CPaletteColor(const CRgbTriple& colour, const CString& mfgName, DWORD count, int number, DWORD beadsPerTube,
                DWORD tubePrice);

  void CopyFrom(const CPaletteColor& other) { *this = other; }

  // The bead colour and whether it may be chosen when pictures are matched
  // (the stored byte: 1 in use, 0 not). The nearest-colour search of a
  // palette depends on both, so they change only through these setters, a
  // read, or a whole record assigned; every such change is counted (see
  // GetPaletteColorChangeCount).
  const CRgbTriple& GetRgb() const { return match_.rgb; }
  void SetRgb(const CRgbTriple& rgb);
  COLORREF GetColorref() const { return match_.rgb.GetColorref(); }
  BYTE GetInUse() const { return match_.inUse; }
  bool IsInUse() const { return match_.inUse != 0; }
  void SetInUse(BYTE inUse);

  // Tubes for a number of beads, rounded up; 0 for 0 beads and for a record
  // without a tube size (beads per tube 0).
  DWORD TubesFor(DWORD beads) const;
  DWORD GetTubesUsed() const { return TubesFor(count); }
  // Beads still missing: count above the assigned number (compared as
  // unsigned numbers), else 0.
  DWORD GetShortage() const;
  DWORD GetTubesShortage() const { return TubesFor(GetShortage()); }
  // Costs in cents.
  DWORD GetCostSummary() const { return GetTubesUsed() * tubePrice; }
  DWORD GetCostShortage() const { return GetTubesShortage() * tubePrice; }
  CString GetCostSummaryText() const;
  CString GetCostShortageText() const;
  // The manufacturer name without its first n characters; empty when n is
  // not less than the name's length.
  CString OmitName(unsigned n) const;

  // Stored record of a palette file body, layout `version` (5 is written).
  bool Read(CByteStream& stream, int version);
  bool Write(CByteStream& stream) const;
  int GetStreamSize() const;
  // The older record embedded in design files of earlier versions.
  bool ReadFromDesign(CByteStream& stream, int version, bool withCount);
  // One Color element of the XML export (UTF-8, palette/PaletteXml.h).
  std::string ToXmlElement(bool writeCount) const;

  CString mfgName;          // manufacturer's code or name; the key for look-ups by name
  CString nickname;
  CString colorType;
  int reserved = 0;         // carried through palette files
  DWORD price = 0;          // per bead, 1/100000 of the currency unit
  DWORD count = 0;          // beads of the current design in this colour (computed)
  int number = 0;           // the manufacturer's colour number ("Index")
  DWORD beadsPerTube = kDefaultBeadsPerTube;
  DWORD tubePrice = 0;      // cents
  float grams = kDefaultGramsPerBead;
  int unstoredReserved = 0;  // neither stored nor shown
  CString typeColor;
  int symbol = 0;           // chart symbol: character code in the design's symbol font
  BYTE symbolVariant = 0;   // 0, 1 or 2
  CString durability;
  CString safeColor;
  CString miscInfo;
  int inventory = 0;
  int assigned = 0;         // beads already assigned

 private:
  // The fields the nearest-colour search depends on. A change of either,
  // by a setter, a read or a record assigned over another, and every record
  // made (a palette may gain it), advances the change count.
  class CMatchFields {
   public:
    CMatchFields() { NoteChange(); }
    explicit CMatchFields(const CRgbTriple& colour) : rgb(colour) { NoteChange(); }
    CMatchFields(const CMatchFields& other) : rgb(other.rgb), inUse(other.inUse) { NoteChange(); }
    CMatchFields& operator=(const CMatchFields& other) {
      Set(other.rgb, other.inUse);
      return *this;
    }
    ~CMatchFields() = default;
    void Set(const CRgbTriple& colour, BYTE use) {
      if (rgb == colour && inUse == use) return;
      rgb = colour;
      inUse = use;
      NoteChange();
    }
    static void NoteChange();

    CRgbTriple rgb;
    BYTE inUse = 1;
  };
  CMatchFields match_;
};

// How many times the colour or in-use byte of a palette colour record has
// changed in this process (records made and assigned count too). A prepared
// nearest-colour search is stale when the count has moved since it was made.
unsigned long long GetPaletteColorChangeCount();

// The header record at the start of every palette body.
class CPaletteHeader {
 public:
  bool HasImageLibrary() const { return (flags & 1) != 0; }
  void SetImageLibrary(bool on) { flags = on ? (flags | 1) : (flags & ~1); }

  bool Read(CByteStream& stream);
  bool Write(CByteStream& stream) const;
  int GetStreamSize() const { return 16 + unusedTexts[0].GetLength() + 1 + unusedTexts[1].GetLength() + 1; }

  int version = 5;
  int flags = 0;
  // Carried unchanged; nothing uses them.
  int unusedValues[2] = {0, 0};
  CString unusedTexts[2];
};

// One entry of an image library.
struct CImageLibEntry {
  CString name;
  CString text;
  DWORD dataSize = 0;
  DWORD value = 0;
};

// The image-library block of mosaic palettes, carried whole: the tag
// "MosaicImageLibrary", an entry count and the entries.
class CImageLib {
 public:
  CImageLib() = default;
  virtual ~CImageLib() = default;
  CImageLib(const CImageLib&) = default;
  CImageLib& operator=(const CImageLib&) = default;

  void Clear();
  // Takes a size-prefixed block from the stream; the answer is the tag check.
  bool Read(CByteStream& stream);
  bool Write(CByteStream& stream) const;
  int GetStreamSize() const { return GetSize() + 4; }
  bool CheckTag();
  bool Rewind();
  bool NextEntry(CImageLibEntry& entry, int& startOffset);
  bool IsEmpty() const;

  int GetSize() const { return static_cast<int>(data_.size()); }
  const std::vector<BYTE>& GetData() const { return data_; }
  void SetData(const BYTE* data, int size);
  DWORD GetEntryCount() const { return entryCount_; }

  static constexpr int kTagLength = 18;
  static constexpr int kFirstEntryOffset = 22;

 private:
  bool ParseEntryAt(int offset, CImageLibEntry& entry, int& next) const;

  std::vector<BYTE> data_;
  int position_ = 0;
  DWORD entryCount_ = 0;
};

// Money texts: whole units with a space between groups of three digits, a
// point and the fraction digits.
CString FormatMoney(DWORD cents);
void FormatMoney(CString& out, DWORD cents);
CString FormatMoney5(DWORD amount);
// Unsigned decimal with `separator` between groups of three digits.
CString FormatGroupedDigits(unsigned long long value, char separator);

// Sort predicates on colour records: true when the first goes first.
bool CompareDarkerFirst(const CPaletteColor& a, const CPaletteColor& b);
bool CompareLighterFirst(const CPaletteColor& a, const CPaletteColor& b);
bool CompareNameAscending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareNameDescending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareUsageAscending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareUsageDescending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareSymbolAscending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareSymbolDescending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareVariantAscending(const CPaletteColor& a, const CPaletteColor& b);
bool CompareVariantDescending(const CPaletteColor& a, const CPaletteColor& b);

// Byte-by-byte comparison with the bytes taken as signed values; on a common
// start the shorter text is smaller. -1, 0 or 1.
int ComparePaletteNames(const CString& a, const CString& b);
