// The design: construction, copying, addressing and the small accessors.
#include "design/Pattern.h"

#include <algorithm>
#include <cstring>

#include "core/ByteStream.h"

// ---- CBead ----

int CBead::GetColorIndex(const CPattern& design) const { return GetColorIndex(design.m_pathColor); }

bool CBead::IsValid() const {
  return m_x >= 0.0 && m_x <= 1.0 && m_y >= 0.0 && m_y <= 1.0 && m_colorIndex >= 0 && m_present <= 1 &&
         m_alternate <= 1;
}

// ---- CTag, CIntTriple, CTextBlock ----

bool CTag::Read(CByteStream& stream) {
  int type = 0;
  if (!stream.ReadInt(type)) return false;
  m_type = type;
  BYTE* data = nullptr;
  int size = 0;
  if (!stream.ReadBlob(data, size)) return false;
  if (size > 0 && data) m_bytes.assign(data, data + size);
  else m_bytes.clear();
  delete[] data;
  return true;
}

bool CIntTriple::Read(CByteStream& stream) { return stream.ReadInt(a) && stream.ReadInt(b) && stream.ReadInt(c); }

void CTextBlock::Clear() { std::memset(fields, 0, sizeof(fields)); }

bool CTextBlock::Read(CByteStream& stream) {
  if (!stream.ReadBytes(fields[0], 80)) return false;
  return stream.ReadBytes(fields[1], 80);
}

// ---- CPattern ----

CPattern::CPattern() {
  CoCreateGuid(&m_guid);
  ResetOptionalSections();
}

CPattern::CPattern(const CPattern& other) : CPattern() { *this = other; }

CPattern::~CPattern() = default;

CPattern& CPattern::operator=(const CPattern& other) {
  if (this == &other) return *this;
  m_reservedByte = other.m_reservedByte;
  m_nominalWidth = other.m_nominalWidth;
  m_nominalHeight = other.m_nominalHeight;
  m_beadWidth = other.m_beadWidth;
  m_beadHeight = other.m_beadHeight;
  m_spacer = other.m_spacer;
  m_actualWidth = other.m_actualWidth;
  m_actualHeight = other.m_actualHeight;
  m_blank = other.m_blank;
  m_format = other.m_format;
  m_stitchPath = other.m_stitchPath;
  m_pathColor = other.m_pathColor;
  m_modified = other.m_modified;
  m_filePath = other.m_filePath;
  m_rowFormats = other.m_rowFormats;
  m_markedBeads = other.m_markedBeads;
  m_beads = other.m_beads;
  m_angle = other.m_angle;
  m_sectionVersion = other.m_sectionVersion;
  m_guid = other.m_guid;
  m_propertiesText = other.m_propertiesText;
  m_fixedLengthText = other.m_fixedLengthText;
  m_propertiesByte = other.m_propertiesByte;
  for (int i = 0; i < 3; ++i) m_texts[i] = other.m_texts[i];
  m_sacredPeyoteDivisor = other.m_sacredPeyoteDivisor;
  for (int i = 0; i < 3; ++i) m_furtherTexts[i] = other.m_furtherTexts[i];
  m_textBlock = other.m_textBlock;
  m_word = other.m_word;
  m_intTriple = other.m_intTriple;
  m_words[0] = other.m_words[0];
  m_words[1] = other.m_words[1];
  m_title = other.m_title;
  m_beadEffect = other.m_beadEffect;
  m_colorMode = other.m_colorMode;
  m_attr = other.m_attr;
  m_flagByte = other.m_flagByte;
  m_beadSectionByte = other.m_beadSectionByte;
  std::memcpy(m_reservedBlock, other.m_reservedBlock, sizeof(m_reservedBlock));
  m_reservedBlockByte = other.m_reservedBlockByte;
  m_pdfOptions = other.m_pdfOptions;
  m_tags = other.m_tags;
  // The chart symbol set travels with the design too: a copy that fell back
  // to the default symbol font would chart the design differently.
  m_symbolSet = other.m_symbolSet;
  return *this;
}

void CPattern::GetActualSize(double& width, double& height) const {
  width = m_actualWidth;
  height = m_actualHeight;
}

void CPattern::GetNominalSize(double& width, double& height) const {
  width = m_nominalWidth;
  height = m_nominalHeight;
}

void CPattern::NewGuid() { CoCreateGuid(&m_guid); }

void CPattern::ResetDocumentInfo() {
  NewGuid();
  m_attr.Clear();
  m_textBlock.Clear();
  m_pdfData.SetDefaults();
  m_filePath.Empty();
}

void CPattern::ResetOptionalSections() {
  m_rowFormats.clear();
  m_angle = 0;
  std::memset(m_reservedBlock, 0, sizeof(m_reservedBlock));
  m_reservedBlockByte = 0;
  m_pdfOptions.SetDefaults();
}

// ---- Addressing ----

CBead* CPattern::GetBeadAt(int column, int row) {
  return const_cast<CBead*>(static_cast<const CPattern*>(this)->GetBeadAt(column, row));
}

const CBead* CPattern::GetBeadAt(int column, int row) const {
  const long long columns = GetColumnCount();
  const long long rows = GetRowCount();
  if (column < 0 || row < 0 || column >= columns || row >= rows) return nullptr;
  const long long index = (rows - row - 1) * columns + column;
  if (!IsValidIndex(index)) return nullptr;
  return &m_beads[static_cast<size_t>(index)];
}

bool CPattern::GetBead(int column, int row, CBead& out) const {
  const CBead* bead = GetBeadAt(column, row);
  if (!bead) return false;
  out = *bead;
  return true;
}

bool CPattern::SetBeadRecord(int column, int row, const CBead& record) {
  CBead* bead = GetBeadAt(column, row);
  if (!bead) return false;
  *bead = record;
  return true;
}

bool CPattern::IndexToCell(int index, int& column, int& storageRow) const {
  const int columns = static_cast<int>(GetColumnCount());
  if (!IsValidIndex(index) || columns <= 0) return false;
  column = index % columns;
  storageRow = index / columns;
  return true;
}

bool CPattern::CellToIndex(int column, int storageRow, int& index) const {
  const long long columns = GetColumnCount();
  const long long rows = GetRowCount();
  if (column < 0 || storageRow < 0 || column >= columns || storageRow >= rows) return false;
  const long long i = storageRow * columns + column;
  if (i > INT32_MAX) return false;
  index = static_cast<int>(i);
  return true;
}

bool CPattern::SplitIndex(int index, int& column, int& storageRow) const {
  const int columns = static_cast<int>(GetColumnCount());
  if (columns <= 0 || index < 0) return false;
  const int row = index / columns;
  if (row >= static_cast<int>(GetRowCount())) return false;
  storageRow = row;
  column = index - columns * row;
  return true;
}

int CPattern::GetBeadColorByIndex(int index) const {
  if (!IsValidIndex(index)) return -1;
  return m_beads[static_cast<size_t>(index)].GetColorIndex(m_pathColor);
}

int CPattern::GetBeadColor(int column, int row) const {
  const CBead* bead = GetBeadAt(column, row);
  if (!bead || !bead->m_present) return -1;
  return bead->GetColorIndex(m_pathColor);
}

// ---- Marked beads ----

void CPattern::SetMarkedBeads(const UINT* indexes, size_t count) {
  m_markedBeads.clear();
  m_markedBeads.reserve(count);
  CIndexList seen;
  seen.ReserveIndexes(m_beads.size());
  for (size_t i = 0; i < count; ++i)
    if (seen.Add(indexes[i])) m_markedBeads.push_back(indexes[i]);
}

bool CPattern::ToggleMarkedBead(UINT index) {
  auto it = std::find(m_markedBeads.begin(), m_markedBeads.end(), index);
  if (it != m_markedBeads.end()) {
    m_markedBeads.erase(it);
    return false;
  }
  m_markedBeads.push_back(index);
  return true;
}
