// CNameCutting: the option of cutting the first characters of manufacturer
// names in charts, in its 4 stored bytes (first flag, omit count, second
// flag, a zero byte). The palette's COmitName keeps it in the registry; the
// graphic-output settings carry it in their own record. The chart that uses
// the option gives the two flags their meaning.
#pragma once

#include "platform/base.h"

class CByteStream;

struct CNameCutting {
  BYTE firstFlag = 0;
  BYTE omitCount = 0;
  BYTE secondFlag = 0;

  // All three fields 0 (no cutting).
  void SetDefaults() { *this = CNameCutting(); }
  int GetStreamSize() const { return 4; }
  bool Write(CByteStream& stream) const;
  // Fails when fewer than 4 bytes remain; a flag byte other than 0 or 1
  // reads as 0.
  bool Read(CByteStream& stream);
  friend bool operator==(const CNameCutting&, const CNameCutting&) = default;
};
