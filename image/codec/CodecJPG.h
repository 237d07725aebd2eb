// JPEG pictures for the codec layer, through libjpeg.
#pragma once

#include "image/codec/BaseImage.h"
#include "image/codec/JpegExif.h"

class CCodecJPG : public CBaseImage {
 public:
  CCodecJPG();
  ~CCodecJPG() override;
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);
  // Reads the marker sections and the EXIF block; the stream goes back to
  // where it was. True when an EXIF block was found.
  bool DecodeExif(CCodecFile* hFile);
  const EXIFINFO& GetExifInfo() const { return m_exifinfo; }

  // Codec option bits (format 3).
  enum CODEC_OPTION : DWORD {
    ENCODE_BASELINE = 0x1,
    ENCODE_ARITHMETIC = 0x2,
    ENCODE_GRAYSCALE = 0x4,
    ENCODE_OPTIMIZE = 0x8,
    ENCODE_PROGRESSIVE = 0x10,
    ENCODE_SMOOTHING = 0x40,
    DECODE_GRAYSCALE = 0x80,
    DECODE_NOSMOOTH = 0x800,
  };

 protected:
  CJpegExif* m_exif;
  EXIFINFO m_exifinfo;
  int m_nSmoothing;
  int m_nDither;
};
