// CGridSettings: whether and how a grid is drawn over the rendered design:
// a line every so many beads, its colour, and its width on the screen and in
// PDF charts. Stored as the 17-byte binary registry value
// "PatternGrid_Jul_20_2011" under the program key; older design files carry
// a longer grid record whose first five fields read into one of these.
//
// The record lives in settings/ (level 2) because the design view, the PDF
// export and the older design-file reader use it; the application object
// owns the instance and registers it with SetGridSettings.
#pragma once

#include <vector>

#include "platform/base.h"

class CByteStream;

class CGridSettings {
 public:
  static constexpr const char* kValueName = "PatternGrid_Jul_20_2011";
  static constexpr int kStoredSize = 17;

  CGridSettings() = default;

  void SetDefaults() { *this = CGridSettings(); }

  // The five fields in stored order; false as soon as one does not fit (a
  // failed Read leaves the record unchanged).
  bool Write(CByteStream& stream) const;
  bool Read(CByteStream& stream);

  // Reads the stored value: true when its first 17 bytes were read (bytes
  // after them are ignored); the defaults and false when it is missing or
  // shorter. A step below one bead, which would draw no grid but loop
  // forever, is put back to its default.
  bool LoadGridSettings();
  bool LoadFromBytes(const BYTE* data, size_t size);
  // Stores the 17 bytes under the program key (created when missing).
  bool SaveGridSettings() const;
  void WriteToBytes(BYTE (&bytes)[kStoredSize]) const;

  BYTE m_showGrid = 0;         // the grid is drawn over the design view
  int m_step = 10;             // a line every this many beads
  COLORREF m_color = 0x0000FF; // red
  int m_screenWidth = 1;       // line width in the design view, pixels
  int m_pdfWidth = 2;          // line width in PDF charts

  friend bool operator==(const CGridSettings&, const CGridSettings&) = default;
};

// The application's grid settings: the record the application object
// registered, else one process-wide record with the defaults.
CGridSettings& GetGridSettings();
void SetGridSettings(CGridSettings* settings);
