// PNG through libpng. libpng reports errors by longjmp: the jump targets are
// in the C-style functions DecodeCore and EncodeCore, which hold no C++
// objects with destructors; the callbacks raise errors with png_error.
#include "image/codec/CodecPNG.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/codec/CodecFile.h"

namespace {

struct PngState {
  png_structp png;
  png_infop info;
  BYTE* row;
  png_colorp palette;
  CCodecPNG* img;
  CCodecFile* file;
  bool tempAlpha;
  png_color filePalette[256];
  int paletteCount;
  BYTE fileTrans[256];
  int transCount;
};

void ReadData(png_structp png, png_bytep data, png_size_t length) {
  PngState* st = static_cast<PngState*>(png_get_io_ptr(png));
  if (st->file->Read(data, 1, length) != length) png_error(png, "Read Error");
}

void WriteData(png_structp png, png_bytep data, png_size_t length) {
  PngState* st = static_cast<PngState*>(png_get_io_ptr(png));
  if (st->file->Write(data, 1, length) != length) png_error(png, "Write Error");
}

void FlushData(png_structp png) {
  PngState* st = static_cast<PngState*>(png_get_io_ptr(png));
  if (!st->file->Flush()) png_error(png, "Flush Error");
}

void ErrorFn(png_structp png, png_const_charp message) {
  PngState* st = static_cast<PngState*>(png_get_error_ptr(png));
  st->img->SetLastError(message);
  png_longjmp(png, 1);
}

// Warnings (a bad ancillary chunk and the like) are not shown anywhere.
void WarningFn(png_structp, png_const_charp) {}

bool DecodeCore(PngState* st) {
  CCodecPNG* img = st->img;
  st->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, st, ErrorFn, WarningFn);
  if (!st->png) {
    img->SetLastError("Failed to create PNG structure");
    return false;
  }
  st->info = png_create_info_struct(st->png);
  if (!st->info) {
    png_destroy_read_struct(&st->png, nullptr, nullptr);
    img->SetLastError("Failed to initialize PNG info structure");
    return false;
  }
  if (setjmp(png_jmpbuf(st->png))) {
    std::free(st->row);
    st->row = nullptr;
    png_destroy_read_struct(&st->png, &st->info, nullptr);
    return false;
  }
  png_set_read_fn(st->png, st, ReadData);
  if (img->GetCodecOption(CODEC_FORMAT_PNG) & CCodecPNG::DECODE_IGNORE_CHECKSUMS) {
    png_set_crc_action(st->png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(st->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  }
  png_read_info(st->png, st->info);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(st->png, st->info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
  if (!CBaseImage::FitsMemoryLimit(width, height, 24)) png_error(st->png, "CODEC_MAX_MEMORY exceeded");

  // One rule at every bit depth: an alpha channel (grey or colour) becomes
  // the alpha plane, colours kept as stored; the transparent colour of a
  // grey or colour picture without one (tRNS) is flattened onto the file's
  // background colour, or onto light grey 192. Palette pictures keep their
  // entries' transparency.
  png_color_16p fileBackground = nullptr;
  const bool hasBackground = png_get_bKGD(st->png, st->info, &fileBackground) != 0;
  const bool alphaChannel = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  const bool transparentColour =
      !alphaChannel && colorType != PNG_COLOR_TYPE_PALETTE && png_get_valid(st->png, st->info, PNG_INFO_tRNS) != 0;
  if (transparentColour) {
    // The transparent colour becomes alpha (and grey below 8 bits is
    // widened, so that light grey has a level), which the background
    // then replaces.
    png_set_expand(st->png);
    // The background in 8-bit levels, what libpng delivers.
    png_color_16 back;
    back.index = 0;
    back.red = back.green = back.blue = back.gray = 192;
    if (hasBackground) {
      auto level = [bitDepth](png_uint_16 v) {
        if (bitDepth == 16) return static_cast<png_uint_16>(v >> 8);
        if (bitDepth < 8) return static_cast<png_uint_16>(std::min(255, v * 255 / ((1 << bitDepth) - 1)));
        return static_cast<png_uint_16>(std::min<png_uint_16>(v, 255));
      };
      if (colorType == PNG_COLOR_TYPE_GRAY) {
        back.red = back.green = back.blue = back.gray = level(fileBackground->gray);
      } else {
        back.red = level(fileBackground->red);
        back.green = level(fileBackground->green);
        back.blue = level(fileBackground->blue);
      }
    }
    png_set_background(st->png, &back, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
  } else if (alphaChannel && hasBackground) {
    const int shift = bitDepth == 16 ? 8 : 0;
    RGBQUAD c;
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
      c.rgbRed = c.rgbGreen = c.rgbBlue = static_cast<BYTE>(fileBackground->gray >> shift);
    } else {
      c.rgbRed = static_cast<BYTE>(fileBackground->red >> shift);
      c.rgbGreen = static_cast<BYTE>(fileBackground->green >> shift);
      c.rgbBlue = static_cast<BYTE>(fileBackground->blue >> shift);
    }
    c.rgbReserved = 0;
    img->SetTransColor(c);
  }
  if (bitDepth == 16) png_set_strip_16(st->png);
  if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(st->png);
  png_set_bgr(st->png);
  if (img->GetEscape()) png_error(st->png, "Cancelled");
  // The file's own palette and transparency, before the transformations
  // fold them into the background.
  {
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(st->png, st->info, &palette, &count) && palette) {
      st->paletteCount = std::min(count, 256);
      std::memcpy(st->filePalette, palette, sizeof(png_color) * static_cast<size_t>(st->paletteCount));
    }
    png_bytep trans = nullptr;
    int numTrans = 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE && png_get_tRNS(st->png, st->info, &trans, &numTrans, nullptr) && trans) {
      st->transCount = std::min(numTrans, 256);
      std::memcpy(st->fileTrans, trans, static_cast<size_t>(st->transCount));
    }
  }
  const int passes = png_set_interlace_handling(st->png);
  png_read_update_info(st->png, st->info);

  // The layout libpng delivers after the transformations decides the depth.
  const int outChannels = png_get_channels(st->png, st->info);
  const int outDepth = png_get_bit_depth(st->png, st->info);
  const int outType = png_get_color_type(st->png, st->info);
  const size_t rowBytes = png_get_rowbytes(st->png, st->info);
  int bpp = 0;
  if (outChannels == 1 && outDepth <= 8) bpp = outDepth;
  else if ((outChannels == 3 || outChannels == 4) && outDepth == 8) bpp = 24;
  else png_error(st->png, "unsupported PNG pixel layout");
  const bool alpha = outChannels == 4;

  if (!img->Create(width, height, static_cast<DWORD>(bpp), CODEC_FORMAT_PNG)) {
    png_destroy_read_struct(&st->png, &st->info, nullptr);
    return false;
  }

  png_uint_32 resX = 0, resY = 0;
  int unit = PNG_RESOLUTION_UNKNOWN;
  png_get_pHYs(st->png, st->info, &resX, &resY, &unit);
  if (unit == PNG_RESOLUTION_METER) {
    img->SetXDPI(static_cast<long>(std::floor(resX * 0.0254 + 0.5)));
    img->SetYDPI(static_cast<long>(std::floor(resY * 0.0254 + 0.5)));
  } else {
    img->SetXDPI(static_cast<long>(std::min<png_uint_32>(resX, 0x7FFFFFFF)));
    img->SetYDPI(static_cast<long>(std::min<png_uint_32>(resY, 0x7FFFFFFF)));
  }

  if (outType == PNG_COLOR_TYPE_PALETTE) {
    const int count = st->paletteCount;
    for (int i = 0; i < count && i < static_cast<int>(img->GetNumColors()); ++i)
      img->SetPaletteColor(static_cast<BYTE>(i), st->filePalette[i].red, st->filePalette[i].green,
                           st->filePalette[i].blue);
    const int numTrans = st->transCount;
    if (numTrans > 0) {
      RGBQUAD* pal = img->GetPalette();
      const int n = std::min(std::min(count, numTrans), static_cast<int>(img->GetNumColors()));
      for (int i = 0; i < n; ++i) pal[i].rgbReserved = st->fileTrans[i];
      if (numTrans == 1 && pal[0].rgbReserved == 0) {
        img->SetTransIndex(0);
      } else {
        img->SetAlphaPaletteEnabled(true);
        for (int i = n; i < static_cast<int>(img->GetNumColors()); ++i) pal[i].rgbReserved = 255;
      }
    }
  } else if (outChannels == 1) {
    if (outDepth == 2) {
      static const BYTE kGrey[4] = {0, 85, 170, 255};
      for (int i = 0; i < 4; ++i) img->SetPaletteColor(static_cast<BYTE>(i), kGrey[i], kGrey[i], kGrey[i]);
    } else {
      img->SetGrayPalette();
    }
  }
  if (alpha && !img->AlphaCreate()) png_error(st->png, "CBaseImage::Create can't allocate memory");
  img->SetCodecOption(passes > 1 ? 1 : 0, CODEC_FORMAT_PNG);

  const size_t stride = img->GetEffWidth();
  st->row = static_cast<BYTE*>(std::malloc(std::max(rowBytes, stride) + 10));
  if (!st->row) png_error(st->png, "CBaseImage::Create can't allocate memory");
  const long w = static_cast<long>(width);
  for (int pass = 0; pass < passes; ++pass) {
    const bool lastPass = pass == passes - 1;
    for (png_uint_32 y = 0; y < height; ++y) {
      const long dibRow = static_cast<long>(height - 1 - y);
      BYTE* dst = img->GetBits(static_cast<DWORD>(dibRow));
      if (alpha) {
        if (pass > 0) {
          // Later passes merge into what the earlier ones gave.
          for (long x = 0; x < w; ++x) {
            st->row[4 * x] = dst[3 * x];
            st->row[4 * x + 1] = dst[3 * x + 1];
            st->row[4 * x + 2] = dst[3 * x + 2];
            st->row[4 * x + 3] = img->AlphaGet(x, dibRow);
          }
        }
        png_read_row(st->png, st->row, nullptr);
        for (long x = 0; x < w; ++x) {
          dst[3 * x] = st->row[4 * x];
          dst[3 * x + 1] = st->row[4 * x + 1];
          dst[3 * x + 2] = st->row[4 * x + 2];
          img->AlphaSet(x, dibRow, st->row[4 * x + 3]);
        }
      } else {
        if (pass > 0) std::memcpy(st->row, dst, stride);
        png_read_row(st->png, st->row, nullptr);
        if (lastPass && bpp == 2) {
          // 2-bit pixels widen to nibbles, from the last pixel down so that
          // the row can be widened in place.
          for (long n = w - 1; n >= 0; --n) {
            const BYTE v = static_cast<BYTE>((st->row[n >> 2] >> (6 - 2 * (n & 3))) & 3);
            BYTE& b = st->row[n >> 1];
            if (n & 1) b = static_cast<BYTE>((b & 0xF0) | v);
            else b = static_cast<BYTE>((b & 0x0F) | (v << 4));
          }
        }
        std::memcpy(dst, st->row, stride);
      }
    }
  }
  std::free(st->row);
  st->row = nullptr;
  png_read_end(st->png, nullptr);
  png_destroy_read_struct(&st->png, &st->info, nullptr);
  return true;
}

bool EncodeCore(PngState* st) {
  CCodecPNG* img = st->img;
  st->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, st, ErrorFn, WarningFn);
  if (!st->png) {
    img->SetLastError("Failed to create PNG structure");
    return false;
  }
  st->info = png_create_info_struct(st->png);
  if (!st->info) {
    png_destroy_write_struct(&st->png, nullptr);
    img->SetLastError("Failed to initialize PNG info structure");
    return false;
  }
  if (setjmp(png_jmpbuf(st->png))) {
    std::free(st->row);
    st->row = nullptr;
    std::free(st->palette);
    st->palette = nullptr;
    if (st->tempAlpha) img->AlphaDelete();
    png_destroy_write_struct(&st->png, &st->info);
    img->SetLastError("Error saving PNG file");
    return false;
  }
  png_set_write_fn(st->png, st, WriteData, FlushData);

  const png_uint_32 width = img->GetWidth(), height = img->GetHeight();
  const int bpp = img->GetBpp();
  const bool interlace = img->GetCodecOption(CODEC_FORMAT_PNG) == 1;
  const int interlaceType = interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;

  // A true-colour picture with a transparent colour gets a temporary alpha
  // plane: that colour becomes transparent.
  if (bpp == 24 && img->IsTransparent() && !img->AlphaIsValid()) {
    if (!img->AlphaCreate()) png_error(st->png, "no memory");
    st->tempAlpha = true;
    const RGBQUAD t = img->GetTransColor();
    for (long y = 0; y < static_cast<long>(height); ++y)
      for (long x = 0; x < static_cast<long>(width); ++x) {
        const RGBQUAD c = img->BlindGetPixelColor(x, y, false);
        if (c.rgbBlue == t.rgbBlue && c.rgbGreen == t.rgbGreen && c.rgbRed == t.rgbRed) img->AlphaSet(x, y, 0);
      }
  }
  const bool alpha = img->AlphaIsValid();

  png_color_16 back;
  std::memset(&back, 0, sizeof(back));
  if (alpha) {
    png_set_IHDR(st->png, st->info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, interlaceType,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  } else if (bpp <= 8) {
    png_set_IHDR(st->png, st->info, width, height, bpp, PNG_COLOR_TYPE_PALETTE, interlaceType,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  } else {
    png_set_IHDR(st->png, st->info, width, height, 8, PNG_COLOR_TYPE_RGB, interlaceType, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
  }
  png_set_pHYs(st->png, st->info, static_cast<png_uint_32>(img->GetHeader().biXPelsPerMeter),
               static_cast<png_uint_32>(img->GetHeader().biYPelsPerMeter), PNG_RESOLUTION_METER);

  if (!alpha && bpp <= 8) {
    png_byte trans[256];
    int numTrans = 0;
    if (img->IsTransparent()) {
      const long idx = img->GetTransIndex();
      if (idx != 0 && idx < static_cast<long>(img->GetNumColors())) img->SwapIndex(0, static_cast<BYTE>(idx));
      img->SetTransIndex(0);
      trans[0] = 0;
      numTrans = 1;
    }
    int entries = static_cast<int>(img->GetNumColors());
    if (entries > 2 && static_cast<std::uint64_t>(width) * height < 65536) {
      int highest = 0;
      for (long y = 0; y < static_cast<long>(height); ++y)
        for (long x = 0; x < static_cast<long>(width); ++x) highest = std::max<int>(highest, img->BlindGetPixelIndex(x, y));
      entries = highest + 1;
    }
    st->palette = static_cast<png_colorp>(std::calloc(static_cast<size_t>(entries), sizeof(png_color)));
    if (!st->palette) png_error(st->png, "no memory");
    for (int i = 0; i < entries; ++i) {
      const RGBQUAD c = img->GetPaletteColor(static_cast<BYTE>(i));
      st->palette[i].red = c.rgbRed;
      st->palette[i].green = c.rgbGreen;
      st->palette[i].blue = c.rgbBlue;
    }
    png_set_PLTE(st->png, st->info, st->palette, entries);
    if (img->IsAlphaPaletteEnabled()) {
      for (int i = 0; i < entries; ++i) trans[i] = img->GetPaletteColor(static_cast<BYTE>(i)).rgbReserved;
      numTrans = entries;
    }
    if (numTrans) png_set_tRNS(st->png, st->info, trans, numTrans, nullptr);
    if (img->IsTransparent()) {
      back.index = 0;
      png_set_bKGD(st->png, st->info, &back);
    }
  } else {
    if (img->IsTransparent()) {
      const RGBQUAD t = img->GetTransColor();
      back.red = t.rgbRed;
      back.green = t.rgbGreen;
      back.blue = t.rgbBlue;
    } else {
      back.red = back.green = back.blue = 255;
    }
    png_set_bKGD(st->png, st->info, &back);
  }

  png_write_info(st->png, st->info);
  const int passes = interlace ? png_set_interlace_handling(st->png) : 1;
  const size_t stride = img->GetEffWidth();
  st->row = static_cast<BYTE*>(std::malloc((alpha ? 4 * static_cast<size_t>(width) : stride) + 10));
  if (!st->row) png_error(st->png, "no memory");
  const BYTE alphaMax = img->GetAlphaMax();
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      const long dibRow = static_cast<long>(height - 1 - y);
      if (alpha) {
        for (long x = static_cast<long>(width) - 1; x >= 0; --x) {
          const RGBQUAD c = img->BlindGetPixelColor(x, dibRow, false);
          st->row[4 * x] = c.rgbRed;
          st->row[4 * x + 1] = c.rgbGreen;
          st->row[4 * x + 2] = c.rgbBlue;
          st->row[4 * x + 3] = static_cast<BYTE>(img->AlphaGet(x, dibRow) * alphaMax / 255);
        }
      } else {
        std::memcpy(st->row, img->GetBits(static_cast<DWORD>(dibRow)), stride);
        if (bpp == 24)
          for (size_t i = 0; i + 2 < 3 * static_cast<size_t>(width); i += 3) std::swap(st->row[i], st->row[i + 2]);
      }
      png_write_row(st->png, st->row);
    }
  }
  std::free(st->row);
  st->row = nullptr;
  if (st->tempAlpha) {
    img->AlphaDelete();
    st->tempAlpha = false;
  }
  png_write_end(st->png, st->info);
  std::free(st->palette);
  st->palette = nullptr;
  png_destroy_write_struct(&st->png, &st->info);
  return true;
}

}  // namespace

bool CCodecPNG::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  PngState st;
  std::memset(&st, 0, sizeof(st));
  st.img = this;
  st.file = hFile;
  return DecodeCore(&st);
}

bool CCodecPNG::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  PngState st;
  std::memset(&st, 0, sizeof(st));
  st.img = this;
  st.file = hFile;
  return EncodeCore(&st);
}
