// The marker sections of a JPEG stream and its EXIF block.
#pragma once

#include <set>

#include "image/codec/BaseImage.h"

struct EXIFINFO {
  char Version[5];
  char CameraMake[32];
  char CameraModel[40];
  char DateTime[20];
  int Height, Width;
  int Orientation;
  int IsColor;
  int Process;
  int FlashUsed;
  float FocalLength;
  float ExposureTime;
  float ApertureFNumber;
  float Distance;
  float CCDWidth;
  float ExposureBias;
  int Whitebalance;
  int MeteringMode;
  int ExposureProgram;
  int ISOequivalent;
  int CompressionLevel;
  float FocalplaneXRes;
  float FocalplaneYRes;
  float FocalplaneUnits;
  float Xresolution;
  float Yresolution;
  float ResolutionUnit;
  float Brightness;
  char Comments[1000];
  const BYTE* ThumbnailPointer;
  DWORD ThumbnailSize;
  bool IsExif;
};

class CJpegExif {
 public:
  static constexpr int MAX_SECTIONS = 20;
  // Marker types.
  static constexpr int M_SOF0 = 0xC0, M_SOF15 = 0xCF, M_DHT = 0xC4, M_DAC = 0xCC, M_SOI = 0xD8, M_EOI = 0xD9,
                       M_SOS = 0xDA, M_JFIF = 0xE0, M_EXIF = 0xE1, M_COM = 0xFE;
  static constexpr int M_IMAGE_DATA = 0x123;
  // ReadSections modes.
  static constexpr int EXIF_READ_EXIF = 0x01;
  static constexpr int EXIF_READ_IMAGE = 0x02;

  explicit CJpegExif(EXIFINFO* info = nullptr);
  ~CJpegExif();
  CJpegExif(const CJpegExif&) = delete;
  CJpegExif& operator=(const CJpegExif&) = delete;

  bool ReadSections(CCodecFile* hFile, int nReadMode);
  bool ParseExif(const BYTE* data, unsigned length);
  bool WriteSections(CCodecFile* hFile);
  void KeepExifOnly();
  const char* GetLastError() const { return m_szLastError; }
  EXIFINFO* GetInfo() const { return m_exifinfo; }
  int GetSectionCount() const { return SectionsRead; }

 protected:
  struct Section {
    BYTE* Data;
    int Type;
    unsigned Size;
  };

  bool ProcessExifDir(const BYTE* DirStart, const BYTE* OffsetBase, unsigned ExifLength, EXIFINFO* pInfo,
                      const BYTE** LastExifRefdP, int depth);
  double ConvertAnyFormat(const BYTE* ValuePtr, int Format) const;
  int Get16u(const BYTE* p) const;
  int Get32s(const BYTE* p) const;
  unsigned Get32u(const BYTE* p) const;
  void ProcessComment(const BYTE* Data, unsigned length);
  void ProcessSOFn(const BYTE* Data, int marker);
  Section* FindSection(int SectionType);
  void SetError(const char* text);

  EXIFINFO* m_exifinfo;
  char m_szLastError[256];
  int ExifImageWidth;
  bool MotorolaOrder;
  Section Sections[MAX_SECTIONS + 1];
  int SectionsRead;
  bool freeinfo;
  // Directories already walked in the current block (by offset), so that
  // links that point back stop instead of recursing without end.
  std::set<long> m_visited;
};
