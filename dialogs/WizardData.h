// CWizardData: the new-design wizard's record. The New command loads it from
// the registry value "WizardData16Jule2010" when the wizard opens, the pages
// change it, and it is stored again only when the wizard ends with OK, so the
// next wizard starts from the last accepted choices.
#pragma once

#include <vector>

#include "design/PatternParams.h"
#include "platform/base.h"

class CByteStream;

// Project types of the first page.
enum : int { kProjectFromPicture = 0, kProjectBlankCanvas = 1, kProjectExisting = 2 };

class CWizardData {
 public:
  // The registry value under the program key.
  static constexpr const char* kValueName = "WizardData16Jule2010";
  // A stored record larger than this is damaged: the reader refuses it
  // before reading, and the wizard starts from the defaults.
  static constexpr unsigned kMaxStoredSize = 64 * 1024;
  // Fixed bytes besides the three texts and the parameters: the project
  // type, the proportions byte, four ints and 64 reserved zeros.
  static constexpr int kFixedBytes = 85;
  static constexpr int kReservedBytes = 64;

  CWizardData() { SetDefaults(); }
  void SetDefaults();

  // The texts with their terminators + the parameters' stored size + 85.
  int GetStreamSize() const;
  // The stored record, field by field; each answers false when the stream
  // runs short (Read also when the 64 reserved bytes are missing).
  bool Read(CByteStream& stream);
  bool Write(CByteStream& stream) const;

  // The stored bytes (unscrambled); empty when writing fails.
  bool WriteToBytes(std::vector<BYTE>& out) const;
  // Parses unscrambled bytes; on failure every field takes its default.
  bool LoadFromBytes(const BYTE* data, size_t size);

  // Reads, unscrambles and parses the registry value; a missing, oversized,
  // short or damaged record gives the defaults and false.
  bool LoadFromRegistry();
  // Writes the record scrambled as REG_BINARY; false when the serialisation
  // or the write fails (nothing is written when the serialisation fails).
  bool SaveToRegistry() const;

  int m_projectType;
  CString m_picturePath;
  CString m_palettePath;
  CString m_existingDesignPath;
  CPatternParams m_params;
  BYTE m_proportionate;
  // The chosen picture's size in pixels; kept in memory only. 0 until a
  // picture is chosen (no proportions are applied while either is 0).
  int m_pictureWidth;
  int m_pictureHeight;
  int m_rulerUnit;    // 0 inch, 1 cm, 2 mm
  int m_designIn;     // 0 bead sizes ("Inches"), 1 bead counts ("Beads")
  int m_blankColor;   // RGB of the blank canvas
  int m_borderColor;  // RGB of the border, -1 none
};
