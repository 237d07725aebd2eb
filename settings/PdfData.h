// The PDF records every design carries:
// - CPdfData, the settings of the design's PDF chart (pages, margins, fonts,
//   codings, document information, protection), stored in current design
//   files as a tagged block and in older design blobs in an earlier layout;
// - CPdfExportOptions, an older record of PDF options that every design
//   still carries and stores but nothing reads;
// - their parts: CPdfTextStyle (the font of one output element),
//   CPdfTableData, CRtfData, and CPdfGridSettings, a record found only
//   inside the earlier layout; the colour table's columns are a
//   CColorColumnLayout (settings/ColorColumnLayout.h).
//
// Stored forms go through CByteStream: little-endian, texts NUL-terminated.
#pragma once

#include <vector>

#include "platform/base.h"
#include "settings/ColorColumnLayout.h"

class CByteStream;

// Converts the page background to and from its stored form: each of the
// three colour bytes inverted, the top byte 0 (white is stored as 0).
inline COLORREF ComplementColor(COLORREF color) { return (color ^ 0x00FFFFFFu) & 0x00FFFFFFu; }

// The font of one output element of the PDF chart.
class CPdfTextStyle {
 public:
  // "Arial", 12 points, portrait, black, no label.
  CPdfTextStyle();
  CPdfTextStyle(const char* face, int size);
  // Copies face, size, orientation and colour; the copy's label is empty.
  CPdfTextStyle(const CPdfTextStyle& other);
  // Copies every field, the label included.
  CPdfTextStyle& operator=(const CPdfTextStyle& other);

  // Face and size; orientation and colour stay.
  void Set(const char* face, int size);
  // "Arial", 12, portrait, black (the label stays).
  void Reset();
  // Orientation 0 is portrait; any other value is landscape.
  bool IsLandscape() const { return m_orientation != 0; }
  // IDS_PDF_PORTRAIT ("Portrait") or IDS_PDF_LANDSCAPE ("Landscape").
  CString GetOrientationLabel() const;

  // Face (NUL-terminated), size, orientation, colour (three int32).
  int GetStreamSize() const { return m_face.GetLength() + 1 + 12; }
  bool Write(CByteStream& stream) const;
  // False as soon as the stream runs short (the fields read so far stay).
  bool Read(CByteStream& stream);

  // Face, size, orientation and colour; the label takes no part.
  friend bool operator==(const CPdfTextStyle& a, const CPdfTextStyle& b) {
    return a.m_face == b.m_face && a.m_size == b.m_size && a.m_orientation == b.m_orientation &&
           a.m_color == b.m_color;
  }
  friend bool operator!=(const CPdfTextStyle& a, const CPdfTextStyle& b) { return !(a == b); }

  CString m_face;         // PDF font name: "Arial", "Arial,Bold", "Times-Roman"...
  int m_size = 12;        // points
  int m_orientation = 0;  // 0 portrait, otherwise landscape
  COLORREF m_color = 0;   // 0x00BBGGRR
  CString m_label;        // the element's name in the options sheet; never stored
};

// The PDF chart settings of a design.
class CPdfData {
 public:
  // The tag that opens the settings block of a current design file (36
  // ASCII bytes, stored without a terminator).
  static constexpr const char* kBlockTag = "81AEEC4A-4681-4b96-8F11-A434692F9F59";
  static constexpr int kBlockTagLength = 36;

  CPdfData();
  virtual ~CPdfData();
  // Copies every field; the styles' labels stay empty (style copy
  // constructor).
  CPdfData(const CPdfData& other) = default;
  // Copies every field, the labels and the columns included.
  CPdfData& operator=(const CPdfData& other) = default;

  // Every field to its default (the columns to their preset); the styles'
  // labels stay.
  void SetDefaults();
  // All six page kinds switched off.
  bool IsEmpty() const;
  // No print, no modify or no copy set.
  bool HasRestrictions() const { return m_noPrint != 0 || m_noModify != 0 || m_noCopy != 0; }
  // IDS_WORD_CHART_COLUMN ("Column") for the column directions (2 and 5),
  // else IDS_WORD_CHART_ROW ("Row").
  CString GetWordChartHeadLabel() const;

  // The current stream layout.
  int GetStreamSize() const;
  bool Write(CByteStream& stream) const;
  bool ReadCurrent(CByteStream& stream);
  // The earlier stream layout of older design blobs. Whatever it does not
  // carry keeps the value it had (callers set the defaults first).
  bool Read(CByteStream& stream);

  // The tagged block: the 36-byte tag, a u32 body size, the body in the
  // current layout. WriteBlock appends it to `out`; false (nothing appended)
  // when the body cannot be serialised.
  bool WriteBlock(std::vector<BYTE>& out) const;
  // Parses a block body (the bytes after tag and size).
  bool ReadBlockBody(const BYTE* body, size_t size);
  // The tagged block on an open file at its current position. Reading
  // refuses a body size larger than the bytes left in the file before
  // allocating anything.
  bool WriteToFile(HANDLE file) const;
  bool ReadFromFile(HANDLE file);

  // Equal when every field but the reserved text and the labels is equal.
  friend bool operator==(const CPdfData& a, const CPdfData& b);
  friend bool operator!=(const CPdfData& a, const CPdfData& b) { return !(a == b); }

  // Output file and page frame.
  CString m_outputPath;
  int m_marginTop = 10;
  int m_marginBottom = 10;
  int m_marginLeft = 20;
  int m_marginRight = 10;
  CString m_headerText;
  CString m_footerText;
  BYTE m_createBookmarks = 1;
  CPdfTextStyle m_headerStyle;
  CPdfTextStyle m_footerStyle;
  CPdfTextStyle m_pageTitleStyle;
  CPdfTextStyle m_versionStyle;
  // Properties page.
  BYTE m_propertiesPage = 0;
  CPdfTextStyle m_propertiesStyle;
  // Whole design and collage.
  BYTE m_wholeDesignPage = 1;
  BYTE m_collagePages = 0;
  BYTE m_reservedFlag = 1;
  int m_wholeDesignMode = 1;  // 0 actual size (tiled), 1 on one page
  CPdfTextStyle m_previewStyle;
  // Colour list.
  BYTE m_colorListPage = 1;
  CPdfTextStyle m_colorListStyle;
  CColorColumnLayout m_colorListColumns;
  // Grid.
  BYTE m_gridPages = 1;
  CPdfTextStyle m_gridStyle;
  int m_gridCellCoding = 2;  // 0 number, 1 manufacturer name, 2 font symbol
  int m_gridColoring = 0;    // 0 real colour, 1 black, 2 three colours
  CString m_reservedText;
  // Word chart.
  BYTE m_wordChartPages = 1;
  CPdfTextStyle m_wordChartStyle;
  BYTE m_wordChartText = 1;       // 0 numbers, 1 manufacturer names
  int m_wordChartDirection = 0;   // 0..5
  BYTE m_peyoteCombined = 1;
  BYTE m_wordChartAsTable = 1;
  int m_wordChartColumns = 2;
  int m_wordChartColumnGap = 20;
  BYTE m_colorTextOutput = 0;
  // Document information.
  CString m_title;
  CString m_author;
  CString m_subject;
  CString m_keywords;
  CString m_creator;
  // Protection.
  int m_noPrint = 0;
  int m_noModify = 0;
  int m_noCopy = 0;
  CString m_userPassword;
  CString m_masterPassword;
  int m_maskPasswords = 0;
  // Other.
  int m_omitFirstChars = 0;
  COLORREF m_pageBackground = 0x00FFFFFF;

 private:
  // Empties the output path when its folder does not exist.
  void CheckOutputFolder();
};

// A rich text kept as opaque bytes.
class CRtfData {
 public:
  CRtfData() = default;
  virtual ~CRtfData() = default;
  CRtfData(const CRtfData& other) = default;
  CRtfData& operator=(const CRtfData& other) = default;

  void Clear() { m_bytes.clear(); }
  int GetLength() const { return static_cast<int>(m_bytes.size()); }
  // u32 length, then the bytes.
  int GetStreamSize() const { return 4 + GetLength(); }
  bool Write(CByteStream& stream) const;
  // A length larger than the bytes left fails before anything is allocated.
  bool Read(CByteStream& stream);
  friend bool operator==(const CRtfData& a, const CRtfData& b) { return a.m_bytes == b.m_bytes; }

  std::vector<BYTE> m_bytes;
};

// Table data of the PDF export options: a count, three texts and three
// styles.
class CPdfTableData {
 public:
  CPdfTableData() { SetDefaults(); }
  void SetDefaults();
  int GetStreamSize() const;
  // Count, three texts, three styles, 32 zero bytes.
  bool Write(CByteStream& stream) const;
  bool Read(CByteStream& stream);
  friend bool operator==(const CPdfTableData& a, const CPdfTableData& b);

  int m_count = 3;
  CString m_texts[3];
  CPdfTextStyle m_styles[3];
};

// The older PDF export options every design carries.
class CPdfExportOptions {
 public:
  explicit CPdfExportOptions(int = 0) { SetDefaults(); }
  virtual ~CPdfExportOptions() = default;
  CPdfExportOptions(const CPdfExportOptions&) = default;
  CPdfExportOptions& operator=(const CPdfExportOptions&) = default;

  // The defaults; the texts kept on reset and the style labels stay.
  void SetDefaults();
  int GetSize() const;
  bool Write(CByteStream& stream) const;
  // Reads with the design's section version: the fifth style from version
  // 2, the table data from 3, the column layout from 4. When the read fails
  // the record becomes equal to a new one and the answer is false.
  bool ReadOrDefault(CByteStream& stream, int version);

  // Every stored field (the unstored value included).
  friend bool operator==(const CPdfExportOptions& a, const CPdfExportOptions& b);
  friend bool operator!=(const CPdfExportOptions& a, const CPdfExportOptions& b) { return !(a == b); }

  // Stored in this order: the nine styles; flags 0 to 7; value 0; flags 8
  // and 9; values 1 and 2; flag 10; value 3; flags 11 and 12; texts 0 and
  // 1; the symbol font; texts 2 and 3; the rich texts; the texts kept on
  // reset; flag 13; the table data; flags 14 to 16; the columns; flag 17;
  // three zero bytes. Nothing reads the unused flags, values and texts.
  CPdfTextStyle m_styles[9];
  CString m_symbolFont;
  CRtfData m_richTexts[8];
  CString m_textsKeptOnReset[3];  // SetDefaults leaves them
  CPdfTableData m_table;
  CColorColumnLayout m_columns;
  BYTE m_unusedFlags[18] = {1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0, 0};
  int m_unusedValues[4] = {0, 2, 20, 30};
  CString m_unusedTexts[4];
  int m_unstoredValue = 0;

 private:
  bool Read(CByteStream& stream, int version);
};

// A record found only inside the earlier layout of the PDF settings: read
// and dropped (23 bytes).
class CPdfGridSettings {
 public:
  CPdfGridSettings() = default;
  void SetDefaults();
  // Twelve fields and 2 reserved bytes; a first byte of 0 puts the defaults
  // back after reading. False when the stream runs short.
  bool Read(CByteStream& stream);

  // Stored in this order: byte 0, value 0, bytes 1 to 3, value 1, bytes 4
  // to 6, value 2, bytes 7 and 8. Nothing reads them.
  BYTE m_unusedBytes[9] = {1, 0, 3, 10, 0, 5, 100, 1, 101};
  int m_unusedValues[3] = {0, 255, 0x00FF00FF};
};
