// CPatternParams: the parameters from which a design is built, kept by the
// new-design wizard. Stored form: 90 bytes (five doubles, format, stitch
// path, path colour, extra int, blank, last byte, 32 reserved zeros); the
// colour mode is not stored.
#pragma once

#include "platform/base.h"

class CByteStream;

class CPatternParams {
 public:
  CPatternParams() { SetDefaults(); }

  void SetDefaults();
  static constexpr int GetStoredSize() { return 90; }
  // Each fails as soon as the stream has too few bytes left for the next
  // field (fields read so far stay changed).
  bool Read(CByteStream& stream);
  bool Write(CByteStream& stream) const;
  // Columns x rows against the maximum; when larger, shows message 305 and
  // answers false. Counted in 64 bits.
  bool CheckBeadBudget(unsigned long long maximum) const;
  // The counts the budget check uses.
  unsigned GetColumnCount() const;
  unsigned GetRowCount() const;

  friend bool operator==(const CPatternParams& a, const CPatternParams& b);

  double m_width;
  double m_height;
  double m_beadWidth;
  double m_beadHeight;
  double m_spacer;
  int m_format;
  int m_stitchPath;
  int m_colorMode;  // not stored
  int m_pathColor;
  int m_extraInt;
  BYTE m_blank;
  BYTE m_lastByte;
};
