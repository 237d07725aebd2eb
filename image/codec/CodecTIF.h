// TIFF pictures for the codec layer, through libtiff over the layer's
// streams.
#pragma once

#include <cstdint>

#include "image/codec/BaseImage.h"

struct tiff;

// A libtiff handle over a codec stream. Closing the handle leaves the
// stream open: its owner closes it.
struct tiff* TIFFStreamOpen(CCodecFile* stream, const char* mode);
struct tiff* TIFFStreamFdOpen(CCodecFile* stream, const char* name, const char* mode);

// The picture of the current directory through libtiff's RGBA reader
// (rows from the bottom, red in the low byte), with straight colours: alpha
// stored unassociated is not multiplied in, associated (premultiplied)
// alpha is divided out. stopOnError as TIFFReadRGBAImage's last argument.
bool TIFFReadStraightRGBA(struct tiff* tif, std::uint32_t width, std::uint32_t height, std::uint32_t* raster,
                          int stopOnError);

class CCodecTIF : public CBaseImage {
 public:
  CCodecTIF() : CBaseImage(CODEC_FORMAT_TIF) {}
  ~CCodecTIF() override;
  bool Decode(CCodecFile* hFile);
  // With append the page is written as one more directory and the handle
  // stays open for the next page (closed by the destructor).
  bool Encode(CCodecFile* hFile, bool bAppend = false);
  // Writes the pictures as the pages of one file.
  bool Encode(CCodecFile* hFile, CBaseImage* const* pImages, int pagecount);

 protected:
  bool EncodeBody(struct tiff* m_tif, bool multipage = false, int page = 0, int pagecount = 0);
  bool DecodePalettePath(struct tiff* m_tif, long width, long height, int bpp, int samples, int photometric,
                         long rowsperstrip, int orientation, const char*& error);

  struct tiff* m_tif = nullptr;
  bool m_multipage = false;
  int m_pages = 0;
};
