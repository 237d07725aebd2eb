// CAppSettings: the user's settings record, stored as the binary registry
// value "AppData_01_October_2017" under the program key. It also carries the
// list of named bead sizes that the wizard and the properties offer, and the
// default page of the PDF export, which depends on the interface language.
//
// The record lives in settings/ (level 2) because the design information
// texts, the design builder, the wizard, the design view and the PDF export
// all read it; the application object owns the instance and registers it
// with SetAppSettings (see settings/README.md).
#pragma once

#include <vector>

#include "platform/base.h"

class CByteStream;

// One named bead size, in inches.
struct CBeadSize {
  CString name;
  float width = 0.0f;
  float height = 0.0f;

  friend bool operator==(const CBeadSize& a, const CBeadSize& b) {
    return a.name == b.name && a.width == b.width && a.height == b.height;
  }
};

// The language-dependent default PDF page (A4): units (0 inches, 1
// centimetres, 2 millimetres) and width and height as the user would type
// them. The second form also gives width and height in inches.
void GetDefaultPageSize(int& units, CString& widthText, CString& heightText);
void GetDefaultPageSize(int& units, double& widthInches, double& heightInches, CString& widthText,
                        CString& heightText);

class CAppSettings {
 public:
  // The registry value that holds the record (under the program key).
  static constexpr const char* kValueName = "AppData_01_October_2017";
  // Fixed bytes of the record besides strings, the value list and the bead
  // sizes, and the bytes after the bead sizes' design folder (field 48 and
  // the reserved tail).
  static constexpr int kFixedBytes = 110;
  static constexpr int kReservedTail = 256;
  static constexpr int kPresetCount = 21;

  // Ranges the preferences accept, also used to repair a loaded record.
  static constexpr int kMaxRecentListSize = 16;
  static constexpr int kMinMaxBeads = 200000;
  static constexpr int kMaxMaxBeads = 5000000;
  static constexpr double kMinPdfZoom = 80.0;
  static constexpr double kMaxPdfZoom = 120.0;
  // The largest page a PDF file can describe: 14400 units of 1/72 inch.
  static constexpr double kMaxPdfPageInches = 200.0;

  // Fills the defaults, creating the design folder when it is missing.
  CAppSettings();

  // Every field to its default; the design folder is created on disk when missing.
  void SetDefaults();
  // Replaces the bead-size list by the 21 presets "1" to "21".
  void FillDefaultBeadSizes();

  // Exact size of the stored form.
  int GetStoredSize() const;
  // Serialise / parse the stored form. Each answers false as soon as one
  // element does not fit; a failed Read leaves the record unchanged. Read
  // demands the 256 reserved bytes and ignores anything after them.
  bool Write(CByteStream& stream) const;
  bool Read(CByteStream& stream);

  // Stores the record as REG_BINARY under the program key. False when it
  // cannot be written or stored.
  bool Save() const;
  // Reads the stored record. True when it was read and accepted; otherwise
  // the record holds its defaults (missing, short, malformed or implausible
  // records are replaced silently).
  bool Load();
  // The stored form as bytes (empty on failure), and the steps of Load after
  // the value has been read: parse, check, repair; the defaults when the
  // bytes are refused.
  bool WriteToBytes(std::vector<BYTE>& bytes) const;
  bool LoadFromBytes(const BYTE* data, size_t size);

  // The stored off-screen render size must lie between half and twenty times
  // the screen area (computed in 64 bits, divisions rounding down).
  bool IsScreenAreaPlausible() const;
  bool IsScreenAreaPlausible(int screenWidth, int screenHeight) const;

  int GetVirtualScreenSize() const { return m_virtualScreenSize; }
  void SetVirtualScreenSize(int pixels) { m_virtualScreenSize = pixels; }

  // Index of the bead size nearest to (width, height); the first of equal
  // distances wins. 1 when the list is empty.
  int FindNearestBeadSize(double width, double height) const;
  // Width and height of the bead size at the index, clamped into the list.
  // False, with the outputs unchanged, when the list is empty.
  bool GetBeadSize(int index, double& width, double& height) const;

  // Puts values that a damaged record may hold outside their ranges back to
  // their defaults, field by field, and drops bead sizes that are not
  // positive numbers; an empty bead-size list gets the presets again. Load
  // calls it on an accepted record.
  void RepairValues();

  // Stored fields, in stored order. The stored fields that no part of the
  // program uses are kept in m_unusedFlags, m_reservedBytes, m_unusedValues,
  // m_unusedFloat and m_unusedList (their places are given beside the fields
  // around them), so a record written back carries what was read.
  CString m_lastDesign;                 // 1: design last opened or saved
  CString m_reservedText;               // 2
  // 3: m_unusedFlags[0]
  BYTE m_advancedImageQuality = 1;      // 4
  BYTE m_toolbarShown = 1;              // 5
  BYTE m_rulerBarShown = 1;             // 6
  BYTE m_statusBarShown = 1;            // 7
  BYTE m_reopenLastDesign = 1;          // 8
  // 9: m_unusedFlags[1]
  BYTE m_warningSound = 1;              // 10
  // 11-13: m_reservedBytes[0..2]; 14: m_unusedValues[0]
  int m_recentListSize = 3;             // 15: recent designs offered, 0 to 16
  // 16: m_unusedValues[1]; 17: m_unusedFloat
  COLORREF m_viewBackgroundColor = 0x808080;  // 18
  COLORREF m_blankColor = 0xFFFFFF;     // 19: blank colour of the last build
  COLORREF m_borderColor = 0xFFFFFFFF;  // 20: border colour of the last build, -1 none
  int m_virtualScreenSize = 0;          // 21: off-screen render budget, pixels
  int m_maxBeads = 1000000;             // 22: largest number of beads in a design
  // 23: m_unusedValues[2]
  int m_rulerUnits = 1;                 // 24: 0 beads, 1 inches, 2 cm, 3 mm
  int m_rightClickAction = 1;           // 25: 0 to 2
  BYTE m_showColor = 1;                 // 26
  BYTE m_omitUnusedColors = 1;          // 27
  // 28: m_unusedFlags[2]; 29-30: m_reservedBytes[3..4]; 31: m_unusedValues[3];
  // 32: m_unusedList; 33-34: m_unusedFlags[3..4]
  BYTE m_beadRealColorShown = 1;        // 35
  // 36: m_unusedFlags[5]
  BYTE m_designInfoShown = 1;           // 37
  BYTE m_paletteInfoShown = 1;          // 38
  int m_pdfPageUnits = 0;               // 39: 0 inches, 1 cm, 2 mm
  double m_pdfPageWidth = 0.0;          // 40: inches
  double m_pdfPageHeight = 0.0;         // 41: inches
  CString m_pdfPageWidthText;           // 42: as typed, in the chosen units
  CString m_pdfPageHeightText;          // 43
  int m_pdfPageFormat = 2;              // 44: 0 "A2", 1 "A3", 2 "A4"
  double m_pdfZoom = 100.0;             // 45: per cent
  std::vector<CBeadSize> m_beadSizes;   // 46
  CString m_designFolder;               // 47: folder of the design file dialogs
  int m_printChoice = 0;                // 48: 0 picture file, otherwise PDF
  // 49: 256 reserved bytes, written as zeros and skipped when read.

  // The stored values that nothing uses.
  BYTE m_unusedFlags[6] = {1, 1, 1, 1, 1, 1};
  BYTE m_reservedBytes[5] = {0, 0, 0, 0, 0};
  int m_unusedValues[4] = {7, 32, 0, 4};
  float m_unusedFloat = 1.0f;
  std::vector<int> m_unusedList;

 private:
  void SetDefaultsNoFolder();
};

// The application's settings: the record the application object registered
// with SetAppSettings, else one process-wide record with the defaults (tools
// and tests that run without an application object).
CAppSettings& GetAppSettings();
// The application object registers its record (and null before it goes).
void SetAppSettings(CAppSettings* settings);

// Whether the ruler bars are shown (field 6 of the application's settings).
bool IsRulerBarVisible();

// The settings' default design folder: GetDesignFolder ("Design" in the
// folder where the program writes) with a trailing separator.
CString GetDefaultDesignFolder();
