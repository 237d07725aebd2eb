#include "settings/PdfData.h"

#include <cstring>

#include "core/ByteStream.h"
#include "core/FileUtils.h"
#include "core/FrameServices.h"
#include "core/PathUtils.h"
#include "lang/ids/designfile.h"

namespace {

bool ReadText(CByteStream& s, CString& out) { return s.ReadString(out); }

}  // namespace

// ---- CPdfTextStyle ------------------------------------------------------------------

CPdfTextStyle::CPdfTextStyle() : m_face("Arial") {}

CPdfTextStyle::CPdfTextStyle(const char* face, int size) : m_face(face ? face : ""), m_size(size) {}

CPdfTextStyle::CPdfTextStyle(const CPdfTextStyle& other)
    : m_face(other.m_face), m_size(other.m_size), m_orientation(other.m_orientation), m_color(other.m_color) {}

CPdfTextStyle& CPdfTextStyle::operator=(const CPdfTextStyle& other) {
  if (this == &other) return *this;
  m_face = other.m_face;
  m_size = other.m_size;
  m_orientation = other.m_orientation;
  m_color = other.m_color;
  m_label = other.m_label;
  return *this;
}

void CPdfTextStyle::Set(const char* face, int size) {
  m_face = face ? face : "";
  m_size = size;
}

void CPdfTextStyle::Reset() {
  m_face = "Arial";
  m_size = 12;
  m_orientation = 0;
  m_color = 0;
}

CString CPdfTextStyle::GetOrientationLabel() const {
  return LoadResString(IsLandscape() ? IDS_PDF_LANDSCAPE : IDS_PDF_PORTRAIT);
}

bool CPdfTextStyle::Write(CByteStream& s) const {
  return s.WriteString(m_face) && s.WriteInt(m_size) && s.WriteInt(m_orientation) && s.WriteInt(m_color);
}

bool CPdfTextStyle::Read(CByteStream& s) {
  return s.ReadString(m_face) && s.ReadInt(m_size) && s.ReadInt(m_orientation) && s.ReadInt(m_color);
}

// ---- CPdfData --------------------------------------------------------------------------

CPdfData::CPdfData() { SetDefaults(); }

CPdfData::~CPdfData() = default;

void CPdfData::SetDefaults() {
  m_outputPath.Empty();
  m_marginTop = 10;
  m_marginBottom = 10;
  m_marginLeft = 20;
  m_marginRight = 10;
  m_headerText.Empty();
  m_footerText.Empty();
  m_createBookmarks = 1;
  auto style = [](CPdfTextStyle& s, const char* face, int size) {
    s.Reset();
    s.Set(face, size);
  };
  style(m_headerStyle, "Arial", 7);
  style(m_footerStyle, "Arial", 7);
  style(m_pageTitleStyle, "Arial", 10);
  style(m_versionStyle, "Arial", 8);
  m_propertiesPage = 0;
  style(m_propertiesStyle, "Tahoma", 10);
  m_wholeDesignPage = 1;
  m_collagePages = 0;
  m_reservedFlag = 1;
  m_wholeDesignMode = 1;
  style(m_previewStyle, "Tahoma", 9);
  m_colorListPage = 1;
  style(m_colorListStyle, "Arial", 9);
  m_colorListColumns.ResetColumns();
  m_gridPages = 1;
  style(m_gridStyle, "Arial", 10);
  m_gridCellCoding = 2;
  m_gridColoring = 0;
  m_reservedText.Empty();
  m_wordChartPages = 1;
  style(m_wordChartStyle, "Arial", 9);
  m_wordChartText = 1;
  m_wordChartDirection = 0;
  m_peyoteCombined = 1;
  m_wordChartAsTable = 1;
  m_wordChartColumns = 2;
  m_wordChartColumnGap = 20;
  m_colorTextOutput = 0;
  m_title.Empty();
  m_author.Empty();
  m_subject.Empty();
  m_keywords.Empty();
  m_creator.Empty();
  m_noPrint = 0;
  m_noModify = 0;
  m_noCopy = 0;
  m_userPassword.Empty();
  m_masterPassword.Empty();
  m_maskPasswords = 0;
  m_omitFirstChars = 0;
  m_pageBackground = 0x00FFFFFF;
}

bool CPdfData::IsEmpty() const {
  return m_propertiesPage == 0 && m_wholeDesignPage == 0 && m_collagePages == 0 && m_colorListPage == 0 &&
         m_gridPages == 0 && m_wordChartPages == 0;
}

CString CPdfData::GetWordChartHeadLabel() const {
  const bool columns = m_wordChartDirection == 2 || m_wordChartDirection == 5;
  return LoadResString(columns ? IDS_WORD_CHART_COLUMN : IDS_WORD_CHART_ROW);
}

int CPdfData::GetStreamSize() const {
  int size = 324;
  for (const CString* text : {&m_outputPath, &m_headerText, &m_footerText, &m_reservedText, &m_title, &m_author,
                              &m_subject, &m_keywords, &m_creator, &m_userPassword, &m_masterPassword})
    size += CByteStream::StringSize(*text);
  for (const CPdfTextStyle* style : {&m_headerStyle, &m_footerStyle, &m_pageTitleStyle, &m_versionStyle,
                                     &m_propertiesStyle, &m_previewStyle, &m_colorListStyle, &m_gridStyle,
                                     &m_wordChartStyle})
    size += style->GetStreamSize();
  return size + m_colorListColumns.GetStreamSize();
}

bool CPdfData::Write(CByteStream& s) const {
  return s.WriteString(m_outputPath) && s.WriteString(m_headerText) && s.WriteString(m_footerText) &&
         s.WriteByte(m_createBookmarks) && s.WriteInt(m_marginTop) && s.WriteInt(m_marginBottom) &&
         s.WriteInt(m_marginLeft) && s.WriteInt(m_marginRight) && m_headerStyle.Write(s) && m_footerStyle.Write(s) &&
         m_pageTitleStyle.Write(s) && m_versionStyle.Write(s) &&
         // Properties page.
         s.WriteByte(m_propertiesPage) && m_propertiesStyle.Write(s) && s.WriteZeros(32) &&
         // Whole design and collage.
         s.WriteByte(m_wholeDesignPage) && s.WriteByte(m_collagePages) && s.WriteByte(m_reservedFlag) &&
         s.WriteInt(m_wholeDesignMode) && m_previewStyle.Write(s) && s.WriteZeros(32) &&
         // Colour list.
         s.WriteByte(m_colorListPage) && m_colorListStyle.Write(s) && m_colorListColumns.Write(s) &&
         s.WriteZeros(32) &&
         // Grid.
         s.WriteByte(m_gridPages) && m_gridStyle.Write(s) && s.WriteInt(m_gridCellCoding) &&
         s.WriteInt(m_gridColoring) && s.WriteString(m_reservedText) && s.WriteZeros(32) &&
         // Word chart.
         s.WriteByte(m_wordChartPages) && m_wordChartStyle.Write(s) && s.WriteByte(m_wordChartText) &&
         s.WriteInt(m_wordChartDirection) && s.WriteByte(m_peyoteCombined) && s.WriteByte(m_wordChartAsTable) &&
         s.WriteInt(m_wordChartColumns) && s.WriteInt(m_wordChartColumnGap) && s.WriteByte(m_colorTextOutput) &&
         s.WriteZeros(32) &&
         // Document information.
         s.WriteString(m_title) && s.WriteString(m_author) && s.WriteString(m_subject) &&
         s.WriteString(m_keywords) && s.WriteString(m_creator) &&
         // Protection.
         s.WriteInt(m_noPrint) && s.WriteInt(m_noModify) && s.WriteInt(m_noCopy) && s.WriteString(m_userPassword) &&
         s.WriteString(m_masterPassword) && s.WriteInt(m_maskPasswords) && s.WriteZeros(32) &&
         // Other.
         s.WriteInt(m_omitFirstChars) && s.WriteInt(ComplementColor(m_pageBackground)) && s.WriteZeros(56);
}

void CPdfData::CheckOutputFolder() {
  if (m_outputPath.IsEmpty()) return;
  const CString folder = GetPathFolder(m_outputPath);
  if (!FolderExists(folder)) m_outputPath.Empty();
}

bool CPdfData::ReadCurrent(CByteStream& s) {
  if (!ReadText(s, m_outputPath)) return false;
  CheckOutputFolder();
  DWORD background = 0;
  const bool ok =
      ReadText(s, m_headerText) && ReadText(s, m_footerText) && s.ReadByte(m_createBookmarks) &&
      s.ReadInt(m_marginTop) && s.ReadInt(m_marginBottom) && s.ReadInt(m_marginLeft) && s.ReadInt(m_marginRight) &&
      m_headerStyle.Read(s) && m_footerStyle.Read(s) && m_pageTitleStyle.Read(s) && m_versionStyle.Read(s) &&
      s.ReadByte(m_propertiesPage) && m_propertiesStyle.Read(s) && s.Skip(32) &&
      s.ReadByte(m_wholeDesignPage) && s.ReadByte(m_collagePages) && s.ReadByte(m_reservedFlag) &&
      s.ReadInt(m_wholeDesignMode) && m_previewStyle.Read(s) && s.Skip(32) &&
      s.ReadByte(m_colorListPage) && m_colorListStyle.Read(s) && m_colorListColumns.Read(s) && s.Skip(32) &&
      s.ReadByte(m_gridPages) && m_gridStyle.Read(s) && s.ReadInt(m_gridCellCoding) && s.ReadInt(m_gridColoring) &&
      ReadText(s, m_reservedText) && s.Skip(32) &&
      s.ReadByte(m_wordChartPages) && m_wordChartStyle.Read(s) && s.ReadByte(m_wordChartText) &&
      s.ReadInt(m_wordChartDirection) && s.ReadByte(m_peyoteCombined) && s.ReadByte(m_wordChartAsTable) &&
      s.ReadInt(m_wordChartColumns) && s.ReadInt(m_wordChartColumnGap) && s.ReadByte(m_colorTextOutput) &&
      s.Skip(32) &&
      ReadText(s, m_title) && ReadText(s, m_author) && ReadText(s, m_subject) && ReadText(s, m_keywords) &&
      ReadText(s, m_creator) &&
      s.ReadInt(m_noPrint) && s.ReadInt(m_noModify) && s.ReadInt(m_noCopy) && ReadText(s, m_userPassword) &&
      ReadText(s, m_masterPassword) && s.ReadInt(m_maskPasswords) && s.Skip(32) &&
      s.ReadInt(m_omitFirstChars) && s.ReadInt(background);
  if (!ok) return false;
  m_pageBackground = ComplementColor(background);
  return s.Skip(56);
}

bool CPdfData::Read(CByteStream& s) {
  // Output path, header and footer texts, bookmarks, margins.
  if (!ReadText(s, m_outputPath)) return false;
  CheckOutputFolder();
  if (!ReadText(s, m_headerText) || !ReadText(s, m_footerText) || !s.ReadByte(m_createBookmarks) ||
      !s.ReadInt(m_marginTop) || !s.ReadInt(m_marginBottom) || !s.ReadInt(m_marginLeft) ||
      !s.ReadInt(m_marginRight))
    return false;
  // The four frame styles, the properties page.
  if (!m_headerStyle.Read(s) || !m_footerStyle.Read(s) || !m_pageTitleStyle.Read(s) || !m_versionStyle.Read(s) ||
      !s.ReadByte(m_propertiesPage) || !m_propertiesStyle.Read(s) || !s.Skip(32))
    return false;
  // Whole design and collage.
  if (!s.ReadByte(m_wholeDesignPage) || !s.ReadByte(m_collagePages) || !s.ReadByte(m_reservedFlag) ||
      !s.ReadInt(m_wholeDesignMode) || !m_previewStyle.Read(s))
    return false;
  // The colour-list part of this layout is passed over: its page flag,
  // style and columns keep what they had.
  {
    CPdfTextStyle style;
    CColorColumnLayout layout;
    if (!s.Skip(2) || !s.Skip(30) || !s.Skip(1) || !style.Read(s) || !layout.ReadV2(s) || !s.Skip(2) ||
        !s.Skip(30))
      return false;
  }
  // Grid (the cell coding keeps what it had).
  if (!s.ReadByte(m_gridPages) || !m_gridStyle.Read(s) || !s.Skip(4) || !s.ReadInt(m_gridColoring) ||
      !ReadText(s, m_reservedText))
    return false;
  // Passed over.
  if (!s.Skip(1) || !s.Skip(8) || !s.Skip(32)) return false;
  // Word chart pages and style; a byte that may announce a style.
  BYTE hasStyle = 0;
  if (!s.ReadByte(m_wordChartPages) || !m_wordChartStyle.Read(s) || !s.ReadByte(hasStyle)) return false;
  if (hasStyle != 0) {
    CPdfTextStyle style;
    if (!style.Read(s)) return false;
  }
  // Word chart settings (peyote combined keeps what it had).
  if (!s.ReadInt(m_wordChartDirection) || !s.Skip(1) || !s.ReadByte(m_wordChartAsTable) ||
      !s.ReadInt(m_wordChartColumns) || !s.ReadInt(m_wordChartColumnGap) || !s.ReadByte(m_colorTextOutput) ||
      !s.Skip(32))
    return false;
  // Document information and protection.
  if (!ReadText(s, m_title) || !ReadText(s, m_author) || !ReadText(s, m_subject) || !ReadText(s, m_keywords) ||
      !ReadText(s, m_creator) || !s.ReadInt(m_noPrint) || !s.ReadInt(m_noModify) || !s.ReadInt(m_noCopy) ||
      !ReadText(s, m_userPassword) || !ReadText(s, m_masterPassword) || !s.ReadInt(m_maskPasswords) ||
      !s.Skip(32))
    return false;
  // A name-cutting record (4 bytes), the page background, then records
  // that are passed over. The omit-first-characters value keeps what it had.
  DWORD background = 0;
  if (!s.Skip(4) || !s.ReadInt(background)) return false;
  m_pageBackground = ComplementColor(background);
  CPdfTextStyle style;
  CPdfGridSettings grid;
  return s.Skip(4) && s.Skip(4) && style.Read(s) && s.Skip(4) && s.Skip(3) && grid.Read(s) && s.Skip(5);
}

bool CPdfData::WriteBlock(std::vector<BYTE>& out) const {
  const int size = GetStreamSize();
  std::vector<BYTE> body(static_cast<size_t>(size));
  CByteStream stream(body.data(), size);
  if (!Write(stream)) return false;
  const size_t start = out.size();
  out.resize(start + kBlockTagLength + 4 + body.size());
  std::memcpy(out.data() + start, kBlockTag, kBlockTagLength);
  const DWORD n = static_cast<DWORD>(size);
  std::memcpy(out.data() + start + kBlockTagLength, &n, 4);
  if (!body.empty()) std::memcpy(out.data() + start + kBlockTagLength + 4, body.data(), body.size());
  return true;
}

bool CPdfData::ReadBlockBody(const BYTE* body, size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) return false;
  std::vector<BYTE> copy(body, body + size);
  CByteStream stream(copy.data(), static_cast<int>(copy.size()));
  return ReadCurrent(stream);
}

bool CPdfData::WriteToFile(HANDLE file) const {
  std::vector<BYTE> block;
  if (!WriteBlock(block)) return false;
  return WriteFileBlock(file, block.data(), static_cast<DWORD>(block.size()));
}

bool CPdfData::ReadFromFile(HANDLE file) {
  char tag[kBlockTagLength];
  if (!ReadFileBlock(file, tag, kBlockTagLength) || std::memcmp(tag, kBlockTag, kBlockTagLength) != 0) return false;
  DWORD size = 0;
  if (!ReadFileBlock(file, &size, 4)) return false;
  // The body must lie within the file.
  LONG high = 0;
  const DWORD low = SetFilePointer(file, 0, &high, FILE_CURRENT);
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(file, &sizeHigh);
  if (low == INVALID_SET_FILE_POINTER || sizeLow == INVALID_FILE_SIZE) return false;
  const unsigned long long position =
      (static_cast<unsigned long long>(static_cast<DWORD>(high)) << 32) | static_cast<unsigned long long>(low);
  const unsigned long long total = (static_cast<unsigned long long>(sizeHigh) << 32) | sizeLow;
  if (position > total || size > total - position || size > static_cast<DWORD>(INT_MAX)) return false;
  std::vector<BYTE> body(size);
  if (size > 0 && !ReadFileBlock(file, body.data(), size)) return false;
  CByteStream stream(body.data(), static_cast<int>(size));
  return ReadCurrent(stream);
}

bool operator==(const CPdfData& a, const CPdfData& b) {
  return a.m_outputPath == b.m_outputPath && a.m_marginTop == b.m_marginTop && a.m_marginBottom == b.m_marginBottom &&
         a.m_marginLeft == b.m_marginLeft && a.m_marginRight == b.m_marginRight && a.m_headerText == b.m_headerText &&
         a.m_footerText == b.m_footerText && a.m_createBookmarks == b.m_createBookmarks &&
         a.m_headerStyle == b.m_headerStyle && a.m_footerStyle == b.m_footerStyle &&
         a.m_pageTitleStyle == b.m_pageTitleStyle && a.m_versionStyle == b.m_versionStyle &&
         a.m_propertiesPage == b.m_propertiesPage && a.m_propertiesStyle == b.m_propertiesStyle &&
         a.m_wholeDesignPage == b.m_wholeDesignPage && a.m_collagePages == b.m_collagePages &&
         a.m_reservedFlag == b.m_reservedFlag && a.m_wholeDesignMode == b.m_wholeDesignMode &&
         a.m_previewStyle == b.m_previewStyle && a.m_colorListPage == b.m_colorListPage &&
         a.m_colorListStyle == b.m_colorListStyle && a.m_colorListColumns == b.m_colorListColumns &&
         a.m_gridPages == b.m_gridPages && a.m_gridStyle == b.m_gridStyle &&
         a.m_gridCellCoding == b.m_gridCellCoding && a.m_gridColoring == b.m_gridColoring &&
         a.m_wordChartPages == b.m_wordChartPages && a.m_wordChartStyle == b.m_wordChartStyle &&
         a.m_wordChartText == b.m_wordChartText && a.m_wordChartDirection == b.m_wordChartDirection &&
         a.m_peyoteCombined == b.m_peyoteCombined && a.m_wordChartAsTable == b.m_wordChartAsTable &&
         a.m_wordChartColumns == b.m_wordChartColumns && a.m_wordChartColumnGap == b.m_wordChartColumnGap &&
         a.m_colorTextOutput == b.m_colorTextOutput && a.m_title == b.m_title && a.m_author == b.m_author &&
         a.m_subject == b.m_subject && a.m_keywords == b.m_keywords && a.m_creator == b.m_creator &&
         a.m_noPrint == b.m_noPrint && a.m_noModify == b.m_noModify && a.m_noCopy == b.m_noCopy &&
         a.m_userPassword == b.m_userPassword && a.m_masterPassword == b.m_masterPassword &&
         a.m_maskPasswords == b.m_maskPasswords && a.m_omitFirstChars == b.m_omitFirstChars &&
         a.m_pageBackground == b.m_pageBackground;
}

// ---- CRtfData, CPdfTableData ----------------------------------------------------------

bool CRtfData::Write(CByteStream& s) const {
  return s.WriteInt(static_cast<DWORD>(m_bytes.size())) &&
         (m_bytes.empty() || s.WriteBytes(m_bytes.data(), static_cast<int>(m_bytes.size())));
}

bool CRtfData::Read(CByteStream& s) {
  DWORD length = 0;
  if (!s.ReadInt(length)) return false;
  if (length > static_cast<DWORD>(s.GetRemaining())) return false;
  std::vector<BYTE> bytes(length);
  if (length > 0 && !s.ReadBytes(bytes.data(), static_cast<int>(length))) return false;
  m_bytes.swap(bytes);
  return true;
}

void CPdfTableData::SetDefaults() {
  m_count = 3;
  for (CString& text : m_texts) text.Empty();
  for (CPdfTextStyle& style : m_styles) style.Reset();
}

int CPdfTableData::GetStreamSize() const {
  int size = 36;
  for (const CString& text : m_texts) size += CByteStream::StringSize(text);
  for (const CPdfTextStyle& style : m_styles) size += style.GetStreamSize();
  return size;
}

bool CPdfTableData::Write(CByteStream& s) const {
  if (!s.WriteInt(m_count)) return false;
  for (const CString& text : m_texts)
    if (!s.WriteString(text)) return false;
  for (const CPdfTextStyle& style : m_styles)
    if (!style.Write(s)) return false;
  return s.WriteZeros(32);
}

bool CPdfTableData::Read(CByteStream& s) {
  if (!s.ReadInt(m_count)) return false;
  for (CString& text : m_texts)
    if (!s.ReadString(text)) return false;
  for (CPdfTextStyle& style : m_styles)
    if (!style.Read(s)) return false;
  return s.Skip(32);
}

bool operator==(const CPdfTableData& a, const CPdfTableData& b) {
  for (int i = 0; i < 3; ++i)
    if (a.m_texts[i] != b.m_texts[i] || a.m_styles[i] != b.m_styles[i]) return false;
  return a.m_count == b.m_count;
}

// ---- CPdfExportOptions -----------------------------------------------------------------

void CPdfExportOptions::SetDefaults() {
  static const struct {
    const char* face;
    int size;
  } kStyles[9] = {{"Arial", 10},       {"Arial", 9},    {"Arial,Bold,Italic", 16},
                  {"Arial", 9},        {"Arial,Bold,Italic", 12}, {"Times-Roman", 12},
                  {"Tahoma", 10},      {"Times-Roman", 11},       {"Tahoma", 12}};
  for (int i = 0; i < 9; ++i) {
    m_styles[i].Reset();
    m_styles[i].Set(kStyles[i].face, kStyles[i].size);
  }
  static const BYTE kFlags[18] = {1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0, 0};
  std::memcpy(m_unusedFlags, kFlags, sizeof(m_unusedFlags));
  static const int kValues[4] = {0, 2, 20, 30};
  std::memcpy(m_unusedValues, kValues, sizeof(m_unusedValues));
  for (CString& text : m_unusedTexts) text.Empty();
  m_symbolFont = "Symbol";
  for (CRtfData& rtf : m_richTexts) rtf.Clear();
  m_table.SetDefaults();
  m_columns.ResetColumns();
  m_unstoredValue = 0;
}

int CPdfExportOptions::GetSize() const {
  int size = 37;
  for (const CPdfTextStyle& style : m_styles) size += style.GetStreamSize();
  for (const CString* text : {&m_unusedTexts[0], &m_unusedTexts[1], &m_symbolFont, &m_unusedTexts[2], &m_unusedTexts[3],
                              &m_textsKeptOnReset[0], &m_textsKeptOnReset[1], &m_textsKeptOnReset[2]})
    size += CByteStream::StringSize(*text);
  for (const CRtfData& rtf : m_richTexts) size += rtf.GetStreamSize();
  return size + m_table.GetStreamSize() + m_columns.GetStreamSize();
}

bool CPdfExportOptions::Write(CByteStream& s) const {
  const BYTE* f = m_unusedFlags;
  const int* v = m_unusedValues;
  for (const CPdfTextStyle& style : m_styles)
    if (!style.Write(s)) return false;
  for (int i = 0; i < 8; ++i)
    if (!s.WriteByte(f[i])) return false;
  if (!s.WriteInt(v[0]) || !s.WriteByte(f[8]) || !s.WriteByte(f[9]) || !s.WriteInt(v[1]) || !s.WriteInt(v[2]) ||
      !s.WriteByte(f[10]) || !s.WriteInt(v[3]) || !s.WriteByte(f[11]) || !s.WriteByte(f[12]))
    return false;
  if (!s.WriteString(m_unusedTexts[0]) || !s.WriteString(m_unusedTexts[1]) || !s.WriteString(m_symbolFont) ||
      !s.WriteString(m_unusedTexts[2]) || !s.WriteString(m_unusedTexts[3]))
    return false;
  for (const CRtfData& rtf : m_richTexts)
    if (!rtf.Write(s)) return false;
  for (const CString& text : m_textsKeptOnReset)
    if (!s.WriteString(text)) return false;
  return s.WriteByte(f[13]) && m_table.Write(s) && s.WriteByte(f[14]) && s.WriteByte(f[15]) && s.WriteByte(f[16]) &&
         m_columns.Write(s) && s.WriteByte(f[17]) && s.WriteZeros(3);
}

bool CPdfExportOptions::Read(CByteStream& s, int version) {
  BYTE* f = m_unusedFlags;
  int* v = m_unusedValues;
  for (int i = 0; i < 9; ++i) {
    if (i == 4 && version < 2) continue;
    if (!m_styles[i].Read(s)) return false;
  }
  for (int i = 0; i < 8; ++i)
    if (!s.ReadByte(f[i])) return false;
  if (!s.ReadInt(v[0]) || !s.ReadByte(f[8]) || !s.ReadByte(f[9]) || !s.ReadInt(v[1]) || !s.ReadInt(v[2]) ||
      !s.ReadByte(f[10]) || !s.ReadInt(v[3]) || !s.ReadByte(f[11]) || !s.ReadByte(f[12]))
    return false;
  if (!s.ReadString(m_unusedTexts[0]) || !s.ReadString(m_unusedTexts[1]) || !s.ReadString(m_symbolFont) ||
      !s.ReadString(m_unusedTexts[2]) || !s.ReadString(m_unusedTexts[3]))
    return false;
  if (m_symbolFont.IsEmpty()) m_symbolFont = "Symbol";
  for (CRtfData& rtf : m_richTexts)
    if (!rtf.Read(s)) return false;
  for (CString& text : m_textsKeptOnReset)
    if (!s.ReadString(text)) return false;
  if (!s.ReadByte(f[13])) return false;
  if (version >= 3) {
    if (!m_table.Read(s)) return false;
  } else {
    m_table.SetDefaults();
  }
  if (!s.ReadByte(f[14]) || !s.ReadByte(f[15]) || !s.ReadByte(f[16])) return false;
  if (version >= 4) {
    if (!m_columns.Read(s)) return false;
  } else {
    m_columns.ResetColumns();
  }
  return s.ReadByte(f[17]) && s.Skip(3);
}

bool CPdfExportOptions::ReadOrDefault(CByteStream& s, int version) {
  if (Read(s, version)) return true;
  // A damaged record leaves one equal to a new record.
  SetDefaults();
  for (CString& text : m_textsKeptOnReset) text.Empty();
  return false;
}

bool operator==(const CPdfExportOptions& a, const CPdfExportOptions& b) {
  for (int i = 0; i < 9; ++i)
    if (a.m_styles[i] != b.m_styles[i]) return false;
  for (int i = 0; i < 8; ++i)
    if (!(a.m_richTexts[i] == b.m_richTexts[i])) return false;
  for (int i = 0; i < 3; ++i)
    if (a.m_textsKeptOnReset[i] != b.m_textsKeptOnReset[i]) return false;
  for (int i = 0; i < 4; ++i)
    if (a.m_unusedTexts[i] != b.m_unusedTexts[i]) return false;
  return std::memcmp(a.m_unusedFlags, b.m_unusedFlags, sizeof(a.m_unusedFlags)) == 0 &&
         std::memcmp(a.m_unusedValues, b.m_unusedValues, sizeof(a.m_unusedValues)) == 0 &&
         a.m_symbolFont == b.m_symbolFont && a.m_table == b.m_table && a.m_columns == b.m_columns &&
         a.m_unstoredValue == b.m_unstoredValue;
}

// ---- CPdfGridSettings -------------------------------------------------------------------

void CPdfGridSettings::SetDefaults() { *this = CPdfGridSettings(); }

bool CPdfGridSettings::Read(CByteStream& s) {
  BYTE* b = m_unusedBytes;
  int* v = m_unusedValues;
  if (!s.ReadByte(b[0]) || !s.ReadInt(v[0]) || !s.ReadByte(b[1]) || !s.ReadByte(b[2]) || !s.ReadByte(b[3]) ||
      !s.ReadInt(v[1]) || !s.ReadByte(b[4]) || !s.ReadByte(b[5]) || !s.ReadByte(b[6]) || !s.ReadInt(v[2]) ||
      !s.ReadByte(b[7]) || !s.ReadByte(b[8]) || !s.Skip(2))
    return false;
  if (b[0] == 0) SetDefaults();
  return true;
}
