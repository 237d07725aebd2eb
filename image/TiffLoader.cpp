// The TIFF loader: libtiff over the codec layer's streams, through its RGBA
// interface.
#include "image/TiffLoader.h"

#include <tiffio.h>

#include <new>

#include "image/ImageImpl.h"
#include "image/codec/CodecFile.h"
#include "image/codec/CodecTIF.h"

CTiffLoader::~CTiffLoader() { Close(); }

void CTiffLoader::Close() {
  if (m_tif) TIFFClose(m_tif);
  m_tif = nullptr;
}

bool CTiffLoader::Open(const char* fileName) {
  CCodecIOFile file;
  if (!fileName || !file.Open(fileName, "rb")) return false;
  return Decode(file);
}

bool CTiffLoader::OpenMemory(const BYTE* data, size_t size) {
  if (!data || size > 0x7FFFFFFF) return false;
  CCodecMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  return Decode(file);
}

bool CTiffLoader::Decode(CCodecFile& stream) {
  Close();
  m_raster.clear();
  m_width = m_height = 0;
  try {
    // The handle reads through the stream; the stream outlives it here.
    m_tif = TIFFStreamOpen(&stream, "r");
    if (!m_tif) return false;
    uint32_t width = 0, height = 0;
    TIFFGetField(m_tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(m_tif, TIFFTAG_IMAGELENGTH, &height);
    bool ok = false;
    if (width > 0 && height > 0 && width <= 0x7FFFFFFF && height <= 0x7FFFFFFF &&
        DibRowStride(width, 24) * height <= GetImageMemoryLimit()) {
      m_raster.resize(static_cast<size_t>(width) * height * 4);
      ok = TIFFReadStraightRGBA(m_tif, width, height, reinterpret_cast<uint32_t*>(m_raster.data()), 0);
    }
    // The stream is the caller's: nothing of the file is kept open.
    Close();
    if (!ok) {
      m_raster.clear();
      return false;
    }
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    return true;
  } catch (const std::bad_alloc&) {
    Close();
    m_raster.clear();
    return false;
  }
}

const BYTE* CTiffLoader::GetRow(int row) const {
  if (m_raster.empty() || row < 0 || row >= m_height) return nullptr;
  return m_raster.data() + static_cast<size_t>(row) * static_cast<size_t>(m_width) * 4;
}
