// CGraphicOutputParams: the parameters of the picture exports of a design
// ("Export Beaded Image As", "Save Original Image As"). Each export makes
// one with the defaults and lets its file dialog change part of it. Older
// design files (stored versions 13 and later) carry one after the design
// body; their reader parses it only to pass over it.
#pragma once

#include "platform/base.h"
#include "settings/NameCutting.h"

class CByteStream;

class CGraphicOutputParams {
 public:
  // The process-wide pairs the defaults and the reader fall back to.
  static const POINT kPairOneTwo;       // (1, 2)
  static const POINT kPairTwentyThree;  // (23, 23)

  // The defaults; columns and rows 0, the second unused pair (23, 23).
  CGraphicOutputParams();
  ~CGraphicOutputParams() = default;

  // Every stored field and the output size to its default; columns, rows,
  // the second unused pair and the two unstored texts stay.
  void SetDefaults();

  // 218 bytes plus the two stored texts with their terminators.
  int GetStreamSize() const;
  // The stored order: flags 0 and 1, list placement, font size, value 0,
  // file type, value 1, flags 2 and 3, title font, name cutting, pairs 0
  // and 1, flag 4, pairs 2 and 3, flag 5, the four size bytes, flag 6, list
  // font, flag 7, the four sizes, the two texts, flag 8, 21 reserved bytes
  // (flags, values, pairs, sizes and texts being the unused ones below).
  bool Write(CByteStream& stream) const;
  // Reads the stored layout in order; the second pair with a value not
  // positive becomes (23, 23), the third of (0, 0) becomes (1, 2), the
  // fourth of (0, 0) becomes (23, 23), the first three sizes not positive
  // take their defaults. False as soon as the stream runs short (the 21
  // reserved bytes included); the fields read so far keep their new values.
  bool Read(CByteStream& stream);

  // What the picture exports use.
  int m_listPlacement = 0;  // 0 below the picture, 1 right of it, 2 no list
  int m_fontSize = 30;      // font size of the exported colour list
  int m_fileType = 1;       // 1 JPEG, 4 PNG, 0 BMP
  int m_outputWidth = 1;    // pixels; not stored
  int m_outputHeight = 1;
  int m_columns = 0;  // the design's grid, set by the caller; not stored
  int m_rows = 0;
  // Stored with the record and otherwise unused.
  LOGFONT m_titleFont{};
  LOGFONT m_listFont{};
  CNameCutting m_nameCutting;
  BYTE m_unusedFlags[9] = {1, 1, 0, 0, 1, 1, 1, 1, 0};
  int m_unusedValues[2] = {0, 0};
  POINT m_unusedPairs[4] = {{1, 1}, {23, 23}, {1, 2}, {23, 23}};
  BYTE m_unusedSizeBytes[4] = {4, 4, 4, 4};
  SHORT m_unusedSizes[4] = {23, 12, 14, 7};
  CString m_unusedTexts[2];
  CString m_extraTexts[2];  // not stored
};
