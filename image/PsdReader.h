// CPsdReader: the Photoshop document reader. It reads the flattened
// (composite) image of a document, not its layers, converts it from the
// document's colour mode (grayscale, duotone, indexed, RGB, CMYK,
// multichannel, Lab; 8 or 16 bits per sample; raw or PackBits) to RGB, and
// leaves it in a 24-bit DIB section that the caller may take.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base.h"
#include "platform/gdi.h"

class CCodecFile;

// Load's status codes.
enum : int {
  kPsdOk = 0,
  kPsdCannotOpen = -1,
  kPsdBadHeader = -2,         // not a version-1 Photoshop header
  kPsdBadColorModeData = -3,
  kPsdBadResources = -4,      // byte count does not match the section length
  kPsdBadImageData = -6,      // the image data cannot be read (also: too few channels)
  kPsdDepth1 = -7,            // bitmap documents are not supported
  kPsdBadDepth = -8,          // a depth other than 1, 8 or 16
  kPsdNoBitmap = -9,          // the bitmap section cannot be made
  kPsdZip = -10,
  kPsdZipPrediction = -11,
  kPsdBadCompression = -12,
};

// Colour modes.
enum : int {
  kPsdModeBitmap = 0,
  kPsdModeGrayscale = 1,
  kPsdModeIndexed = 2,
  kPsdModeRGB = 3,
  kPsdModeCMYK = 4,
  kPsdModeMultichannel = 7,
  kPsdModeDuotone = 8,
  kPsdModeLab = 9,
};

class CPsdReader {
 public:
  // The values of the image resources the reader keeps.
  struct Resources {
    bool hasResolution = false;  // 1005
    std::int32_t hRes = 0;       // 16.16 fixed
    std::int16_t hResUnit = 0, widthUnit = 0;
    std::int32_t vRes = 0;
    std::int16_t vResUnit = 0, heightUnit = 0;
    bool hasDisplayInfo = false;  // 1007
    std::int16_t colorSpace = 0;
    std::uint16_t color[4] = {0, 0, 0, 0};
    std::int16_t opacity = 0;
    BYTE kind = 0;
    bool hasObsoleteInfo = false;  // 1000
    std::int16_t oldChannels = 0, oldRows = 0, oldColumns = 0, oldDepth = 0, oldMode = 0;
    bool hasThumbnail = false;  // 1033, 1036
    std::int32_t thumbFormat = 0, thumbWidth = 0, thumbHeight = 0, thumbRowBytes = 0, thumbTotalSize = 0,
                 thumbCompressedSize = 0;
    std::int16_t thumbBitsPerPixel = 0, thumbPlanes = 0;
    bool hasCopyrightFlag = false;  // 1034
    BYTE copyrightFlag = 0;
    std::int32_t globalAngle = 30;   // 1037
    std::int16_t indexedColorCount = -1;  // 1046
    std::int16_t transparencyIndex = -1;  // 1047
  };

  CPsdReader() = default;
  CPsdReader(const CPsdReader&) = delete;
  CPsdReader& operator=(const CPsdReader&) = delete;
  ~CPsdReader();

  // 0 on success (the reader then holds the bitmap), else a status above.
  int Load(const char* fileName);
  int LoadFromBytes(const BYTE* data, size_t size);
  int LoadFromStream(CCodecFile& file);

  // The bitmap, which from then on belongs to the caller.
  HBITMAP DetachBitmap();
  HBITMAP GetBitmap() const { return m_bitmap; }

  int GetChannels() const { return m_channels; }
  long GetWidth() const { return m_width; }
  long GetHeight() const { return m_height; }
  int GetDepth() const { return m_depth; }
  int GetColorMode() const { return m_mode; }
  const Resources& GetResources() const { return m_res; }
  const std::vector<BYTE>& GetColorModeData() const { return m_colorModeData; }

 private:
  bool ReadResources(CCodecFile& file);
  void ParseResource(int id, const std::vector<BYTE>& data);
  // Reads the planes the colour mode needs (the position is just after the
  // compression word).
  int ReadImageData(CCodecFile& file, int compression, std::vector<std::vector<BYTE>>& planes, int needed);
  int MakeBitmap(const std::vector<std::vector<BYTE>>& planes);
  void FreeBitmap();

  HBITMAP m_bitmap = nullptr;
  bool m_detached = false;
  int m_channels = -1;
  long m_height = -1;
  long m_width = -1;
  int m_depth = -1;
  int m_mode = -1;
  std::vector<BYTE> m_colorModeData;
  Resources m_res;
};
