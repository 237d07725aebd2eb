#include "designfile/DesignSections.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/ByteStream.h"
#include "core/FrameServices.h"
#include "designfile/DesignFields.h"
#include "lang/ids/designfile.h"

namespace {

constexpr int kReservedText2Field = 33;
constexpr int kExtraBlockSize = 220;

// ---- Items ----

bool WriteStringItem(CDesignFileStream& file, const CString& text) {
  return file.WriteU32(static_cast<DWORD>(text.GetLength())) &&
         file.Write(text.GetString(), static_cast<size_t>(text.GetLength()));
}

// u32 length then the characters; a length of 0 or less is an empty text.
bool ReadStringItem(CDesignFileStream& file, CString& out) {
  int length = 0;
  if (!file.ReadI32(length)) return false;
  if (length <= 0) {
    out.Empty();
    return true;
  }
  if (!file.Fits(static_cast<unsigned long long>(length))) return false;
  std::vector<char> chars(static_cast<size_t>(length));
  if (!file.Read(chars.data(), chars.size())) return false;
  out = CString(chars.data(), length);
  return true;
}

bool ReadTextLines(CDesignFileStream& file, CPattern& design) {
  CTextBlock block;
  if (file.Read(block.fields[0], 80) && file.Read(block.fields[1], 80)) {
    design.m_textBlock = block;
    return true;
  }
  design.m_textBlock.Clear();
  return false;
}

bool ReadTriple(CDesignFileStream& file, CPattern& design) {
  CIntTriple triple;
  if (!file.ReadI32(triple.a) || !file.ReadI32(triple.b) || !file.ReadI32(triple.c)) return false;
  if (triple.IsUnset()) triple = CIntTriple{180, 50, 50};
  design.m_intTriple = triple;
  return true;
}

bool WriteReservedText2(CDesignFileStream& file, const CString& text) {
  char field[kReservedText2Field] = {};
  const int n = text.GetLength() < 32 ? text.GetLength() : 32;
  std::memcpy(field, text.GetString(), static_cast<size_t>(n));
  return file.Write(field, sizeof(field));
}

bool ReadReservedText2(CDesignFileStream& file, CString& out) {
  char field[kReservedText2Field];
  if (!file.Read(field, sizeof(field))) return false;
  out = CString(field, static_cast<int>(strnlen(field, 32)));
  return true;
}

// A size-prefixed blob of the properties section; false only when its
// bytes are not in the file (size 0 or less: `bytes` stays empty).
bool ReadSectionBlob(CDesignFileStream& file, std::vector<BYTE>& bytes) {
  int size = 0;
  bytes.clear();
  if (!file.ReadI32(size)) return false;
  if (size <= 0) return true;
  if (!file.Fits(static_cast<unsigned long long>(size))) return false;
  bytes.resize(static_cast<size_t>(size));
  return file.Read(bytes.data(), bytes.size());
}

template <typename Record>
bool WriteRecordBlob(CDesignFileStream& file, const Record& record) {
  const int size = record.GetStoredSize();
  std::vector<BYTE> bytes(static_cast<size_t>(size));
  CByteStream stream(bytes.data(), size);
  if (!record.Write(stream)) return false;
  return file.WriteU32(static_cast<DWORD>(size)) && file.Write(bytes.data(), bytes.size());
}

// The attributes (emptied when their blob does not parse) and the symbol
// set (its defaults then); reading goes on in both cases.
bool ReadAttributes(CDesignFileStream& file, CPattern& design) {
  design.m_attr.Clear();
  std::vector<BYTE> bytes;
  if (!ReadSectionBlob(file, bytes)) return false;
  if (!bytes.empty()) {
    CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
    design.m_attr.Read(stream);  // empties them on failure
  }
  return true;
}

bool ReadSymbols(CDesignFileStream& file, CPattern& design) {
  std::vector<BYTE> bytes;
  if (!ReadSectionBlob(file, bytes)) return false;
  if (bytes.empty()) {
    design.m_symbolSet.SetDefaults();
    return true;
  }
  CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
  if (!design.m_symbolSet.Read(stream)) design.m_symbolSet.SetDefaults();
  return true;
}

bool ReadExtraBlock(CDesignFileStream& file, CPattern& design) {
  return file.Read(design.m_reservedBlock, kExtraBlockSize) && file.ReadByte(design.m_reservedBlockByte);
}

// The part both layouts of the properties share: the three further texts,
// the text block, the word, the three-int record, the two words, the title,
// the bead effect, the attributes and the second reserved text.
bool ReadMiddleProperties(CDesignFileStream& file, CPattern& d) {
  return ReadStringItem(file, d.m_furtherTexts[0]) && ReadStringItem(file, d.m_furtherTexts[1]) &&
         ReadStringItem(file, d.m_furtherTexts[2]) && ReadTextLines(file, d) && file.ReadU32(d.m_word) &&
         ReadTriple(file, d) && file.ReadU32(d.m_words[0]) && file.ReadU32(d.m_words[1]) &&
         ReadStringItem(file, d.m_title) && file.ReadU32(d.m_beadEffect) && ReadAttributes(file, d) &&
         ReadReservedText2(file, d.m_fixedLengthText);
}

void PutBeadRecord(BYTE* out, const CBead& bead) {
  std::memcpy(out, &bead.m_x, 8);
  std::memcpy(out + 8, &bead.m_y, 8);
  std::memcpy(out + 16, &bead.m_cachedColor, 4);
  std::memcpy(out + 20, &bead.m_colorIndex, 4);
  out[24] = bead.m_present;
  out[25] = bead.m_alternate;
}

}  // namespace

// ---- Checks -------------------------------------------------------------------------

bool CheckDesignSizes(const CPattern& d) {
  for (double size : {d.m_nominalWidth, d.m_nominalHeight, d.m_beadWidth, d.m_beadHeight, d.m_spacer,
                      d.m_actualWidth, d.m_actualHeight})
    if (!std::isfinite(size)) return false;
  if (!(d.m_beadWidth + d.m_spacer > 0.0) || !(d.m_beadHeight + d.m_spacer > 0.0)) return false;
  // The grid must fit the actual size.
  const double columns = static_cast<double>(d.GetColumnCount());
  const double rows = static_cast<double>(d.GetRowCount());
  return columns * d.m_beadWidth <= d.m_actualWidth && rows * d.m_beadHeight <= d.m_actualHeight;
}

CString LoadDesignFileString(UINT id, const char* english) {
  CString text = LoadResString(id);
  return text.IsEmpty() ? CString(english) : text;
}

namespace {

// Why a bead is not valid, as a text naming its cell.
CString BeadRefusal(const CPattern& design, size_t index) {
  const CBead& bead = design.m_beads[index];
  const size_t columns = design.GetColumnCount(), rows = design.GetRowCount();
  size_t column = index + 1, row = 1;
  if (columns > 0) {
    column = index % columns + 1;
    const size_t fromBottom = index / columns;
    if (fromBottom < rows) row = rows - fromBottom;
  }
  const bool inside = bead.m_x >= 0.0 && bead.m_x <= 1.0 && bead.m_y >= 0.0 && bead.m_y <= 1.0;
  CString text;
  if (!inside)
    text.Format(LoadDesignFileString(IDS_SAVE_BEAD_OUTSIDE, "The bead in column %u, row %u lies outside the design.")
                    .GetString(),
                static_cast<unsigned>(column), static_cast<unsigned>(row));
  else if (bead.m_colorIndex < 0)
    text.Format(LoadDesignFileString(IDS_SAVE_BEAD_NO_COLOR, "The bead in column %u, row %u has no palette color.")
                    .GetString(),
                static_cast<unsigned>(column), static_cast<unsigned>(row));
  else
    text.Format(LoadDesignFileString(IDS_SAVE_BEAD_DAMAGED, "The bead in column %u, row %u is damaged.").GetString(),
                static_cast<unsigned>(column), static_cast<unsigned>(row));
  return text;
}

}  // namespace

bool IsDesignStorable(const CPattern& design, CString* reason) {
  auto refuse = [&](const CString& text) {
    if (reason) *reason = text;
    return false;
  };
  if (!design.HasBeads()) return refuse(LoadDesignFileString(IDS_SAVE_NO_BEADS, "The design has no beads."));
  const CString sizes =
      LoadDesignFileString(IDS_SAVE_SIZES, "The sizes of the design do not hold its grid of beads.");
  if (design.m_beads.size() > static_cast<size_t>(INT_MAX)) return refuse(sizes);
  for (size_t i = 0; i < design.m_beads.size(); ++i)
    if (!design.m_beads[i].IsValid()) return refuse(BeadRefusal(design, i));
  if (!CheckDesignSizes(design)) return refuse(sizes);
  return true;
}

// ---- Bead section -------------------------------------------------------------------------

bool WriteBeadSection(CDesignFileStream& file, const CPattern& d) {
  if (d.m_beads.size() > static_cast<size_t>(UINT32_MAX)) return false;
  if (!file.WriteU32(static_cast<DWORD>(d.m_beads.size()))) return false;
  // Records go out in batches.
  constexpr size_t kBatch = 4096;
  std::vector<BYTE> batch(kBatch * 26);
  size_t filled = 0;
  for (const CBead& bead : d.m_beads) {
    PutBeadRecord(batch.data() + filled * 26, bead);
    if (++filled == kBatch) {
      if (!file.Write(batch.data(), filled * 26)) return false;
      filled = 0;
    }
  }
  if (filled > 0 && !file.Write(batch.data(), filled * 26)) return false;
  return file.WriteDouble(d.m_nominalWidth) && file.WriteDouble(d.m_nominalHeight) &&
         file.WriteDouble(d.m_beadWidth) && file.WriteDouble(d.m_beadHeight) && file.WriteDouble(d.m_spacer) &&
         file.WriteDouble(d.m_actualWidth) && file.WriteDouble(d.m_actualHeight) && file.WriteByte(d.m_blank) &&
         file.WriteU32(static_cast<DWORD>(d.m_format)) && file.WriteByte(d.m_beadSectionByte) && file.WriteZeros(3);
}

bool ReadBeadSection(CDesignFileStream& file, CPattern& d, const CString& path, int recordForm, bool storePath,
                     bool oldForm) {
  const size_t recordSize = recordForm == kBeadRecordCurrent ? 26 : 34;
  const size_t presentAt = recordForm == kBeadRecordCurrent ? 24 : 32;
  DWORD count = 0;
  if (!file.ReadU32(count) || count == 0) return false;
  // The records must be in the file before any room is made for them.
  if (count > static_cast<DWORD>(INT_MAX) || !file.Fits(count, recordSize)) return false;

  d.m_beads.clear();
  bool ok = true;
  try {
    d.m_beads.reserve(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The records are parsed where they lie in the file's bytes.
  const BYTE* records = file.ReadInPlace(static_cast<size_t>(count) * recordSize);
  if (records == nullptr) return false;
  for (size_t i = 0; i < count; ++i) {
    const BYTE* r = records + i * recordSize;
    CBead bead;
    std::memcpy(&bead.m_x, r, 8);
    std::memcpy(&bead.m_y, r + 8, 8);
    std::memcpy(&bead.m_cachedColor, r + 16, 4);
    std::memcpy(&bead.m_colorIndex, r + 20, 4);
    bead.m_present = r[presentAt];
    bead.m_alternate = r[presentAt + 1];
    bead.m_flags = 0;
    if (!bead.IsValid()) {
      ok = false;
      break;
    }
    d.m_beads.push_back(bead);
  }
  if (ok) {
    DWORD format = 0;
    BYTE reserved = 0;
    ok = file.ReadDouble(d.m_nominalWidth) && file.ReadDouble(d.m_nominalHeight) && file.ReadDouble(d.m_beadWidth) &&
         file.ReadDouble(d.m_beadHeight) && file.ReadDouble(d.m_spacer) && file.ReadDouble(d.m_actualWidth) &&
         file.ReadDouble(d.m_actualHeight) && file.ReadByte(d.m_blank) && file.ReadU32(format);
    if (ok) d.m_format = static_cast<int>(format);
    ok = ok && file.ReadByte(reserved) && file.Skip(3);
    if (ok && !oldForm) d.m_beadSectionByte = reserved;
  }
  ok = ok && CheckDesignSizes(d);
  if (!ok) {
    d.m_beads.clear();
    return false;
  }
  if (storePath) {
    d.m_modified = 0;
    d.m_filePath = path;
  }
  return true;
}

// ---- Row formats ---------------------------------------------------------------------------

bool WriteRowFormats(CDesignFileStream& file, const CPattern& d) {
  if (!file.WriteU32(4) || !file.WriteU32(static_cast<DWORD>(d.m_rowFormats.size()))) return false;
  for (const CRowFormat& run : d.m_rowFormats)
    if (!file.WriteU32(run.rows) || !file.WriteU32(run.format)) return false;
  return true;
}

bool ReadRowFormats(CDesignFileStream& file, CPattern& d) { return designfields::ReadRowFormatRuns(file, d); }

// ---- Properties --------------------------------------------------------------------------------

bool WriteProperties(CDesignFileStream& file, const CPattern& d) {
  return file.WriteU32(static_cast<DWORD>(d.m_angle)) && file.Write(&d.m_guid, sizeof(GUID)) &&
         WriteStringItem(file, d.m_propertiesText) && file.WriteByte(d.m_propertiesByte) &&
         WriteStringItem(file, d.m_texts[0]) && WriteStringItem(file, d.m_texts[1]) &&
         WriteStringItem(file, d.m_texts[2]) && file.WriteI32(d.m_sacredPeyoteDivisor) &&
         WriteStringItem(file, d.m_furtherTexts[0]) && WriteStringItem(file, d.m_furtherTexts[1]) &&
         WriteStringItem(file, d.m_furtherTexts[2]) && file.Write(d.m_textBlock.fields[0], 80) &&
         file.Write(d.m_textBlock.fields[1], 80) && file.WriteU32(d.m_word) && file.WriteI32(d.m_intTriple.a) &&
         file.WriteI32(d.m_intTriple.b) && file.WriteI32(d.m_intTriple.c) && file.WriteU32(d.m_words[0]) &&
         file.WriteU32(d.m_words[1]) && WriteStringItem(file, d.m_title) && file.WriteU32(d.m_beadEffect) &&
         WriteRecordBlob(file, d.m_attr) && WriteReservedText2(file, d.m_fixedLengthText) &&
         file.WriteU32(static_cast<DWORD>(d.m_stitchPath)) && file.WriteU32(static_cast<DWORD>(d.m_pathColor)) &&
         file.WriteByte(d.m_flagByte) && WriteRecordBlob(file, d.m_symbolSet) &&
         file.Write(d.m_reservedBlock, kExtraBlockSize) && file.WriteByte(d.m_reservedBlockByte);
}

bool ReadProperties(CDesignFileStream& file, CPattern& d) {
  DWORD angle = 0, stitchPath = 0, pathColor = 0;
  int step = 0;
  if (!file.ReadU32(angle)) return false;
  d.m_angle = angle <= 359 ? static_cast<int>(angle) : 0;
  if (!designfields::ReadDesignGuid(file, d) || !ReadStringItem(file, d.m_propertiesText) ||
      !file.ReadByte(d.m_propertiesByte) || !ReadStringItem(file, d.m_texts[0]) ||
      !ReadStringItem(file, d.m_texts[1]) || !ReadStringItem(file, d.m_texts[2]) || !file.ReadI32(step))
    return false;
  d.m_sacredPeyoteDivisor = designfields::ClampSacredPeyoteStep(step);
  if (!ReadMiddleProperties(file, d) || !file.ReadU32(stitchPath) || !file.ReadU32(pathColor)) return false;
  d.m_stitchPath = static_cast<int>(stitchPath);
  d.m_pathColor = static_cast<int>(pathColor);
  return file.ReadByte(d.m_flagByte) && ReadSymbols(file, d) && ReadExtraBlock(file, d);
}

bool ReadOldProperties(CDesignFileStream& file, CPattern& d) {
  DWORD dropped = 0, stitchPath = 0;
  CString droppedText;
  BYTE droppedByte = 0;
  int step = 0;
  if (!file.ReadU32(dropped) || !designfields::ReadDesignGuid(file, d) || !ReadStringItem(file, d.m_propertiesText) ||
      !file.ReadByte(d.m_propertiesByte) || !ReadStringItem(file, droppedText) || !ReadStringItem(file, d.m_texts[1]) ||
      !ReadStringItem(file, d.m_texts[2]) || !file.ReadI32(step))
    return false;
  d.m_sacredPeyoteDivisor = designfields::ClampSacredPeyoteStep(step);
  if (!ReadMiddleProperties(file, d) || !file.ReadU32(stitchPath) || !file.ReadU32(dropped) ||
      !file.ReadByte(droppedByte))
    return false;
  d.m_stitchPath = static_cast<int>(stitchPath);
  return ReadSymbols(file, d) && file.ReadByte(droppedByte) && ReadExtraBlock(file, d);
}

// ---- PDF options --------------------------------------------------------------------------------

bool WritePdfOptions(CDesignFileStream& file, const CPattern& d) {
  const int size = d.m_pdfOptions.GetSize();
  std::vector<BYTE> bytes(static_cast<size_t>(size));
  CByteStream stream(bytes.data(), size);
  if (!d.m_pdfOptions.Write(stream)) return false;
  return file.WriteU32(static_cast<DWORD>(size)) && file.Write(bytes.data(), bytes.size());
}

bool ReadPdfOptions(CDesignFileStream& file, CPattern& d) {
  if (d.m_sectionVersion == 0) return true;
  DWORD size = 0;
  if (!file.ReadU32(size) || size > static_cast<DWORD>(INT_MAX) || !file.Fits(size)) return false;
  std::vector<BYTE> bytes(size);
  if (size > 0 && !file.Read(bytes.data(), size)) return false;
  CByteStream stream(bytes.data(), static_cast<int>(size));
  return d.m_pdfOptions.ReadOrDefault(stream, d.m_sectionVersion);
}

// ---- Design blob ------------------------------------------------------------------------------------

bool ReadDesignBlob(CDesignFileStream& file, CPattern& d, const CString& path, int version, bool storePath) {
  DWORD size = 0;
  if (!file.ReadU32(size) || size > static_cast<DWORD>(INT_MAX) || !file.Fits(size)) return false;
  std::vector<BYTE> bytes(size);
  if (size > 0 && !file.Read(bytes.data(), size)) return false;
  CByteStream stream(bytes.data(), static_cast<int>(size));
  if (!ParseDesignBlob(stream, d, version)) return false;
  if (storePath) {
    d.m_modified = 0;
    d.m_filePath = path;
  }
  return true;
}
