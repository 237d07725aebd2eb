// The design blob of older design files (versions 5 to 16): the whole design
// packed into one size-prefixed record, followed by records of the earlier
// products that are parsed only to pass over them.
#include <climits>
#include <cmath>
#include <cstring>

#include "core/ByteStream.h"
#include "designfile/DesignFields.h"
#include "designfile/DesignSections.h"
#include "designfile/OldDesignRecords.h"
#include "settings/GraphicOutput.h"

namespace {

using designfields::Fits;

// One bead entry: x, y, layers (the last one wins), alternate, 8 reserved
// bytes. At least 29 bytes.
bool ReadBeadEntry(CByteStream& s, CBead& bead) {
  double x = 0, y = 0;
  DWORD layers = 0;
  if (!s.ReadDouble(x) || !s.ReadDouble(y) || !s.ReadInt(layers)) return false;
  // A position that is not a number cannot come from a design.
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  if (!Fits(s, layers, 17)) return false;
  bead = CBead(x, y);
  for (DWORD i = 0; i < layers; ++i) {
    DWORD color = 0;
    int index = 0;
    BYTE present = 0, dropped = 0;
    if (!s.ReadInt(color) || !s.ReadInt(index) || !s.ReadByte(present) || !s.ReadByte(dropped) || !s.Skip(7))
      return false;
    bead.m_cachedColor = color;
    bead.m_colorIndex = index;
    bead.m_present = present;
  }
  return s.ReadByte(bead.m_alternate) && s.Skip(8);
}

bool SkipString(CByteStream& s) {
  CString text;
  return s.ReadString(text);
}

bool SkipIntVector(CByteStream& s) {
  std::vector<int> values;
  return s.ReadIntVector(values);
}

bool SkipAll(CByteStream& s, std::initializer_list<int> sizes) {
  for (int n : sizes)
    if (!s.Skip(n)) return false;
  return true;
}

}  // namespace

bool ParseDesignBlob(CByteStream& s, CPattern& d, int version) {
  // Beads.
  DWORD count = 0;
  if (!s.ReadInt(count)) return false;
  if (count > static_cast<DWORD>(INT_MAX) || !Fits(s, count, 29)) return false;
  d.m_beads.clear();
  d.m_beads.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    CBead bead;
    if (!ReadBeadEntry(s, bead)) return false;
    d.m_beads.push_back(bead);
  }
  // Sizes, blank, format.
  DWORD format = 0;
  if (!s.ReadDouble(d.m_nominalWidth) || !s.ReadDouble(d.m_nominalHeight) || !s.ReadDouble(d.m_beadWidth) ||
      !s.ReadDouble(d.m_beadHeight) || !s.ReadDouble(d.m_spacer) || !s.ReadDouble(d.m_actualWidth) ||
      !s.ReadDouble(d.m_actualHeight) || !s.ReadByte(d.m_blank) || !s.ReadInt(format) || !s.Skip(4))
    return false;
  d.m_format = static_cast<int>(format);
  for (double size : {d.m_nominalWidth, d.m_nominalHeight, d.m_beadWidth, d.m_beadHeight, d.m_spacer,
                      d.m_actualWidth, d.m_actualHeight})
    if (!std::isfinite(size)) return false;
  if (!(d.m_beadWidth + d.m_spacer > 0.0) || !(d.m_beadHeight + d.m_spacer > 0.0)) return false;

  // Section version and row formats.
  if (!designfields::ReadRowFormatRuns(s, d) || !s.Skip(4)) return false;

  // Identity and texts.
  if (!designfields::ReadDesignGuid(s, d)) return false;
  int step = 0;
  if (!s.ReadString(d.m_propertiesText) || !s.ReadByte(d.m_propertiesByte) || !SkipString(s) ||
      !s.ReadString(d.m_texts[1]) || !s.ReadString(d.m_texts[2]) || !s.ReadInt(step))
    return false;
  d.m_sacredPeyoteDivisor = designfields::ClampSacredPeyoteStep(step);
  CTextBlock lines;
  if (!s.ReadString(d.m_furtherTexts[0]) || !s.ReadString(d.m_furtherTexts[1]) ||
      !s.ReadString(d.m_furtherTexts[2]) || !lines.Read(s))
    return false;
  d.m_textBlock = lines;
  if (!s.ReadInt(d.m_word) || !d.m_intTriple.Read(s) || !s.ReadInt(d.m_words[0]) || !s.ReadInt(d.m_words[1]))
    return false;

  // PDF records: the older export options (dropped) or the PDF settings.
  if (d.m_sectionVersion < 8) {
    CPdfExportOptions dropped;
    if (!dropped.ReadOrDefault(s, d.m_sectionVersion)) return false;
    d.m_pdfData.SetDefaults();
  } else {
    d.m_pdfData.SetDefaults();
    if (!d.m_pdfData.Read(s)) return false;
  }

  // Tags (versions 5 to 8 store a count but no tags).
  DWORD tags = 0;
  if (!s.ReadInt(tags)) return false;
  d.m_tags.clear();
  if (version >= 9) {
    if (!Fits(s, tags, 8)) return false;
    d.m_tags.reserve(tags);
    for (DWORD i = 0; i < tags; ++i) {
      CTag tag;
      if (!tag.Read(s)) return false;
      d.m_tags.push_back(tag);
    }
  }

  // Title, attributes, reserved text, stitch path, symbols.
  DWORD stitchPath = 0;
  if (!s.ReadString(d.m_title) || !s.Skip(4) || !d.m_attr.Read(s) || !s.ReadString(d.m_fixedLengthText) ||
      !s.ReadInt(stitchPath) || !SkipString(s) || !s.Skip(4))
    return false;
  d.m_stitchPath = static_cast<int>(stitchPath);
  if (!d.m_symbolSet.Read(s) || !s.Skip(1)) return false;

  // Grid records and fixed fields of the earlier products.
  if (!ReadOldGridRecord(s)) return false;
  if (version >= 11 && !ReadOldGridRecord(s)) return false;
  if (!SkipAll(s, {4, 4, 1, 4, 1, 4, 16, 4, 1})) return false;

  // Text items, entries, the 40-byte record.
  BYTE hasTextItems = 0;
  if (!s.ReadByte(hasTextItems)) return false;
  if (hasTextItems != 0) {
    COldTextItemList list;
    if (!list.Read(s)) return false;
  }
  COldEntryList entries;
  COld40Record record40;
  if (!s.Skip(1) || !entries.Read(s) || !record40.Read(s) || !SkipAll(s, {4, 1, 1, 1, 1})) return false;

  // 42-45.
  if (!SkipIntVector(s) || !SkipAll(s, {1, 4, 4, 4}) || !SkipIntVector(s) || !SkipAll(s, {1, 1, 4, 1, 4}))
    return false;

  // Runs over the beads.
  if (version >= 15) {
    DWORD runEntries = 0;
    if (!s.ReadInt(runEntries) || !Fits(s, runEntries, 44)) return false;
    for (DWORD i = 0; i < runEntries; ++i) {
      int start = 0, length = 0;
      if (!s.ReadInt(start) || !s.ReadInt(length) || !SkipIntVector(s) || !s.Skip(32)) return false;
    }
  } else if (!SkipIntVector(s)) {
    return false;
  }

  // The 17-byte record behind its stored size.
  DWORD size17 = 0;
  if (!s.ReadInt(size17)) return false;
  if (size17 != 17 && size17 != 0) return false;
  COld17Record record17;
  if (!record17.Read(s)) return false;
  if (size17 == 0) record17.SetDefaults();

  // Export settings and the closing records.
  if (version >= 13) {
    CGraphicOutputParams output;
    BYTE b = 0;
    if (!output.Read(s) || !SkipString(s) || !s.ReadByte(b) || !s.ReadByte(b)) return false;
    output.m_columns = static_cast<int>(d.GetColumnCount());
    output.m_rows = static_cast<int>(d.GetRowCount());
    if (version >= 16) {
      COldPictureRecord picture;
      if (!picture.Read(s)) return false;
    }
    return s.Skip(60);
  }
  int a = 0, b = 0;
  BYTE flag = 0;
  return s.ReadIntPair(a, b) && s.ReadIntPair(a, b) && s.ReadByte(flag) && s.Skip(266);
}
