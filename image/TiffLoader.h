// CTiffLoader: a thin reader over libtiff's RGBA interface. libtiff decodes
// whatever the file holds into 8-bit red, green, blue and alpha; only the
// first image (directory) of a file is read.
#pragma once

#include <vector>

#include "platform/base.h"

struct tiff;
class CCodecFile;

class CTiffLoader {
 public:
  CTiffLoader() = default;
  CTiffLoader(const CTiffLoader&) = delete;
  CTiffLoader& operator=(const CTiffLoader&) = delete;
  virtual ~CTiffLoader();

  // Opens the file and decodes its first image; false when libtiff cannot
  // open or decode it, or the picture would not fit in memory.
  bool Open(const char* fileName);
  // The same over bytes in memory (the caller keeps them alive during the
  // call only).
  bool OpenMemory(const BYTE* data, size_t size);
  // The size from the image width and length tags; (0, 0) before a
  // successful Open.
  CSize GetSize() const { return CSize(m_width, m_height); }
  // Row `row` (0 = the bottom row of the picture) as red, green, blue,
  // alpha bytes per pixel; null outside or when nothing is loaded.
  const BYTE* GetRow(int row) const;

 private:
  bool Decode(CCodecFile& stream);
  void Close();

  struct tiff* m_tif = nullptr;
  int m_width = 0;
  int m_height = 0;
  std::vector<BYTE> m_raster;
};
