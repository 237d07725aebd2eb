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
  // The process-wide default pairs the defaults and the reader fall back to.
  static const POINT kDefaultPairJ;  // (1, 2)
  static const POINT kDefaultPairK;  // (23, 23)

  // The defaults; columns and rows 0, pair H (23, 23).
  CGraphicOutputParams();
  ~CGraphicOutputParams() = default;

  // Every stored field and the output size to its default; columns, rows,
  // pair H and the two unstored texts stay.
  void SetDefaults();

  // 218 bytes plus the two texts with their terminators.
  int GetStreamSize() const;
  bool Write(CByteStream& stream) const;
  // Reads the stored layout in order; pair H with a value not positive
  // becomes (23, 23), pair J of (0, 0) becomes (1, 2), pair K of (0, 0)
  // becomes (23, 23), sizes S, T, U not positive take their defaults. False
  // as soon as the stream runs short (the 21 reserved bytes included); the
  // fields read so far keep their new values.
  bool Read(CByteStream& stream);

  BYTE m_flagA = 1;
  BYTE m_flagB = 1;
  int m_listPlacement = 0;  // 0 below the picture, 1 right of it, 2 no list
  int m_fontSize = 30;      // font size of the exported colour list
  int m_valueC = 0;
  int m_fileType = 1;       // 1 JPEG, 4 PNG, 0 BMP
  int m_outputWidth = 1;    // pixels; not stored
  int m_outputHeight = 1;
  int m_valueD = 0;
  BYTE m_flagE = 0;
  BYTE m_flagF = 0;
  LOGFONT m_titleFont{};
  CNameCutting m_nameCutting;
  POINT m_pairG{1, 1};
  int m_columns = 0;  // the design's grid, set by the caller; not stored
  int m_rows = 0;
  POINT m_pairH{23, 23};
  BYTE m_flagI = 1;
  POINT m_pairJ{1, 2};
  POINT m_pairK{23, 23};
  BYTE m_flagL = 1;
  BYTE m_sizesM[4] = {4, 4, 4, 4};
  BYTE m_flagN = 1;
  LOGFONT m_listFont{};
  BYTE m_flagO = 1;
  CString m_textP;
  CString m_textQ;
  BYTE m_flagR = 0;
  SHORT m_sizeS = 23;
  SHORT m_sizeT = 12;
  SHORT m_sizeU = 14;
  SHORT m_sizeV = 7;
  CString m_extraTexts[2];  // not stored
};
