#include "image/codec/CodecTIF.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "image/codec/CodecFile.h"

namespace {

// libtiff's last error text for the handle being used on this thread.
thread_local char g_tiffError[256];

int ErrorHandler(TIFF*, void*, const char* module, const char* fmt, va_list ap) {
  char text[200];
  std::vsnprintf(text, sizeof(text), fmt, ap);
  std::snprintf(g_tiffError, sizeof(g_tiffError), "%s: %s", module ? module : "TIFF", text);
  return 1;
}

int WarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

tmsize_t ReadProc(thandle_t fd, void* buf, tmsize_t size) {
  if (size <= 0) return 0;
  return static_cast<tmsize_t>(static_cast<CCodecFile*>(fd)->Read(buf, 1, static_cast<size_t>(size)));
}

tmsize_t WriteProc(thandle_t fd, void* buf, tmsize_t size) {
  if (size <= 0) return 0;
  return static_cast<tmsize_t>(static_cast<CCodecFile*>(fd)->Write(buf, 1, static_cast<size_t>(size)));
}

toff_t SeekProc(thandle_t fd, toff_t off, int whence) {
  if (off == 0xFFFFFFFFu) return static_cast<toff_t>(-1);
  CCodecFile* f = static_cast<CCodecFile*>(fd);
  if (whence == SEEK_SET && off > static_cast<toff_t>(LONG_MAX)) return static_cast<toff_t>(-1);
  if (!f->Seek(static_cast<long>(off), whence)) return static_cast<toff_t>(-1);
  if (whence == SEEK_SET) return off;
  return static_cast<toff_t>(f->Tell());
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t fd) {
  const long size = static_cast<CCodecFile*>(fd)->Size();
  return size < 0 ? 0 : static_cast<toff_t>(size);
}

// Read-only handles see the whole stream as one block: a memory stream its
// own bytes, a disk file a mapping of it. libtiff's reading of small
// uncompressed tiles works only over such a block; other streams are read
// through the procedures above.
int MapProc(thandle_t fd, void** base, toff_t* size) {
  CCodecFile* f = static_cast<CCodecFile*>(fd);
  if (auto* mem = dynamic_cast<CCodecMemFile*>(f)) {
    BYTE* bytes = mem->GetBuffer(false);
    const long n = mem->Size();
    if (!bytes || n <= 0) return 0;
    *base = bytes;
    *size = static_cast<toff_t>(n);
    return 1;
  }
  if (auto* io = dynamic_cast<CCodecIOFile*>(f)) {
    FILE* fp = io->GetFP();
    struct stat st;
    if (!fp || fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return 0;
    void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fileno(fp), 0);
    if (p == MAP_FAILED) return 0;
    *base = p;
    *size = static_cast<toff_t>(st.st_size);
    return 1;
  }
  return 0;
}

void UnmapProc(thandle_t fd, void* base, toff_t size) {
  if (dynamic_cast<CCodecIOFile*>(static_cast<CCodecFile*>(fd))) munmap(base, static_cast<size_t>(size));
}

// A float tag value as a whole number; nonsense values give 0.
long WholeOf(double v) {
  if (!(v > 0 && v < 1e7)) return 0;
  return static_cast<long>(v);
}

}  // namespace

TIFF* TIFFStreamFdOpen(CCodecFile* stream, const char* name, const char* mode) {
  if (!stream) return nullptr;
  g_tiffError[0] = 0;
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (!opts) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(opts, ErrorHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, WarningHandler, nullptr);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(CBaseImage::GetMemoryLimit()));
  TIFF* tif = TIFFClientOpenExt(name, mode, static_cast<thandle_t>(stream), ReadProc, WriteProc, SeekProc, CloseProc,
                                SizeProc, MapProc, UnmapProc, opts);
  TIFFOpenOptionsFree(opts);
  return tif;
}

TIFF* TIFFStreamOpen(CCodecFile* stream, const char* mode) { return TIFFStreamFdOpen(stream, "TIFF IMAGE", mode); }

namespace {

// Pictures whose alpha libtiff's RGBA reader loses or rounds: grey with an
// alpha sample (at 16 bits it gives alpha 255), CMYK with an alpha sample
// (dropped) and any 16-bit picture with premultiplied alpha (divided back
// only after the reduction to 8 bits). These are read here, strip by strip
// or tile by tile, with the alpha divided out at 16 bits. Answers false in
// `handled` for every other picture (and for separate planes and the
// orientations that turn the picture, which stay libtiff's).
bool ReadAlphaSamples(TIFF* tif, uint32_t width, uint32_t height, uint32_t* raster, bool& handled) {
  handled = false;
  uint16_t samples = 1, bits = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
  uint16_t inkSet = INKSET_CMYK, count = 0;
  uint16_t* kinds = nullptr;
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkSet);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) return true;
  if (!TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0 || !kinds) return true;
  const bool associated = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
  if (!associated && kinds[0] != EXTRASAMPLE_UNASSALPHA) return true;
  int channels;
  switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE: channels = 1; break;
    case PHOTOMETRIC_RGB: channels = 3; break;
    case PHOTOMETRIC_SEPARATED: channels = inkSet == INKSET_CMYK ? 4 : 0; break;
    default: channels = 0;
  }
  if (channels == 0 || samples != channels + count || (bits != 8 && bits != 16)) return true;
  const bool wanted = channels == 1 || channels == 4 || (bits == 16 && associated);
  if (!wanted || planar != PLANARCONFIG_CONTIG || orientation < ORIENTATION_TOPLEFT ||
      orientation > ORIENTATION_BOTLEFT)
    return true;
  handled = true;

  const std::uint64_t pixelBytes = static_cast<std::uint64_t>(samples) * bits / 8;
  const std::uint64_t lineSize = pixelBytes * width;
  const bool tiled = TIFFIsTiled(tif) != 0;
  uint32_t tileW = 0, tileH = 0, rowsPerStrip = height;
  if (tiled) {
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileW);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileH);
    if (tileW == 0 || tileH == 0) return false;
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0 || rowsPerStrip > height) rowsPerStrip = height;
  }
  const uint32_t bandRows = tiled ? std::min(tileH, height) : rowsPerStrip;
  const std::uint64_t limit = CBaseImage::GetMemoryLimit();
  if (lineSize * bandRows > limit) return false;
  std::vector<BYTE> band(static_cast<size_t>(lineSize * bandRows));
  std::vector<BYTE> tile;
  if (tiled) {
    const tmsize_t tileSize = TIFFTileSize(tif);
    if (tileSize <= 0 || static_cast<std::uint64_t>(tileSize) > limit ||
        static_cast<std::uint64_t>(tileSize) < pixelBytes * tileW * tileH)
      return false;
    tile.resize(static_cast<size_t>(tileSize));
  }
  const bool mirror = orientation == ORIENTATION_TOPRIGHT || orientation == ORIENTATION_BOTRIGHT;
  const bool bottomUp = orientation == ORIENTATION_BOTRIGHT || orientation == ORIENTATION_BOTLEFT;
  auto sample = [bits](const BYTE* p, int i) -> uint32_t {
    if (bits == 8) return p[i] * 257u;
    uint16_t v;
    std::memcpy(&v, p + 2 * i, 2);
    return v;
  };
  for (uint32_t y = 0; y < height;) {
    uint32_t lines;
    if (tiled) {
      lines = std::min(bandRows, height - y);
      for (uint32_t tx = 0; tx < width; tx += tileW) {
        if (TIFFReadTile(tif, tile.data(), tx, y, 0, 0) < 0) return false;
        const std::uint64_t n = pixelBytes * std::min(tileW, width - tx);
        for (uint32_t r = 0; r < lines; ++r)
          std::memcpy(band.data() + r * lineSize + pixelBytes * tx, tile.data() + r * pixelBytes * tileW,
                      static_cast<size_t>(n));
      }
    } else {
      const tmsize_t got =
          TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y, 0), band.data(), static_cast<tmsize_t>(band.size()));
      if (got < 0) return false;
      lines = std::min<uint32_t>(
          static_cast<uint32_t>(static_cast<std::uint64_t>(got) / std::max<std::uint64_t>(lineSize, 1)),
          std::min(bandRows, height - y));
      if (lines == 0) return false;
    }
    for (uint32_t k = 0; k < lines; ++k, ++y) {
      const BYTE* line = band.data() + k * lineSize;
      uint32_t* out = raster + static_cast<size_t>(bottomUp ? y : height - 1 - y) * width;
      for (uint32_t x = 0; x < width; ++x) {
        const BYTE* p = line + pixelBytes * x;
        const uint32_t a = sample(p, channels);
        uint32_t c[4];
        for (int i = 0; i < channels; ++i) {
          c[i] = sample(p, i);
          if (associated && a > 0 && a < 65535) c[i] = std::min<uint32_t>(65535, (c[i] * 65535ull + a / 2) / a);
        }
        uint32_t r, g, b;
        if (channels == 1) {
          r = g = b = photometric == PHOTOMETRIC_MINISWHITE ? 65535 - c[0] : c[0];
        } else if (channels == 3) {
          r = c[0], g = c[1], b = c[2];
        } else {
          const std::uint64_t white = 65535 - c[3];
          r = static_cast<uint32_t>((65535 - c[0]) * white / 65535);
          g = static_cast<uint32_t>((65535 - c[1]) * white / 65535);
          b = static_cast<uint32_t>((65535 - c[2]) * white / 65535);
        }
        out[mirror ? width - 1 - x : x] = (r >> 8) | ((g >> 8) << 8) | ((b >> 8) << 16) | ((a >> 8) << 24);
      }
    }
  }
  return true;
}

}  // namespace

bool TIFFReadStraightRGBA(TIFF* tif, uint32_t width, uint32_t height, uint32_t* raster, int stopOnError) {
  bool handled = false;
  const bool read = ReadAlphaSamples(tif, width, height, raster, handled);
  if (handled) return read;
  uint16_t count = 0;
  uint16_t* kinds = nullptr;
  uint16_t first = EXTRASAMPLE_UNSPECIFIED;
  if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) && count > 0 && kinds) first = kinds[0];
  if (first == EXTRASAMPLE_UNASSALPHA) {
    // Declared associated, libtiff hands the samples over as they are.
    std::vector<uint16_t> asIs(kinds, kinds + count);
    asIs[0] = EXTRASAMPLE_ASSOCALPHA;
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, count, asIs.data());
  }
  if (!TIFFReadRGBAImage(tif, width, height, raster, stopOnError)) return false;
  if (first == EXTRASAMPLE_ASSOCALPHA) {
    const std::uint64_t n = static_cast<std::uint64_t>(width) * height;
    for (std::uint64_t i = 0; i < n; ++i) {
      const uint32_t v = raster[i];
      const uint32_t a = TIFFGetA(v);
      if (a == 0 || a == 255) continue;
      auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
      raster[i] = straight(TIFFGetR(v)) | (straight(TIFFGetG(v)) << 8) | (straight(TIFFGetB(v)) << 16) | (a << 24);
    }
  }
  return true;
}

CCodecTIF::~CCodecTIF() {
  if (m_tif) TIFFClose(m_tif);
}

bool CCodecTIF::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  TIFF* tif = TIFFStreamOpen(hFile, "rb");
  if (!tif) {
    SetLastError("Error encountered while opening TIFF file");
    return false;
  }
  const char* error = nullptr;
  bool result = false;
  do {
    info.nNumFrames = TIFFNumberOfDirectories(tif);
    if (info.nFrame < 0 || info.nFrame >= info.nNumFrames || !TIFFSetDirectory(tif, static_cast<tdir_t>(info.nFrame))) {
      error = "Error: page not present in TIFF file";
      break;
    }
    uint32_t width = 0, height = 0, rowsPerStrip = 0;
    uint16_t samples = 1, bits = 1, photometric = 0, orientation = 1, compression = 1, resUnit = 2;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (info.nEscape == -1) {
      head.biWidth = static_cast<LONG>(std::min<uint32_t>(width, 0x7FFFFFFF));
      head.biHeight = static_cast<LONG>(std::min<uint32_t>(height, 0x7FFFFFFF));
      error = "output dimensions returned";
      result = true;
      break;
    }
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &resUnit);
    float xres = 0, yres = 0, xpos = 0, ypos = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres))
      SetXDPI(WholeOf(resUnit == RESUNIT_CENTIMETER ? xres * 2.54 + 0.5 : xres));
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres))
      SetYDPI(WholeOf(resUnit == RESUNIT_CENTIMETER ? yres * 2.54 + 0.5 : yres));
    if (TIFFGetField(tif, TIFFTAG_XPOSITION, &xpos)) info.xOffset = WholeOf(xpos);
    if (TIFFGetField(tif, TIFFTAG_YPOSITION, &ypos)) info.yOffset = WholeOf(ypos);
    if (rowsPerStrip == 0 || rowsPerStrip > height) {
      rowsPerStrip = height;
      TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    }

    // Grey, palette and CIELab pictures are read strip by strip; everything
    // else goes through libtiff's RGBA reader.
    const bool greyOrPalette =
        (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
         photometric == PHOTOMETRIC_PALETTE) &&
        (samples == 1 || (samples == 2 && (bits == 8 || bits == 16))) &&
        (bits == 1 || bits == 2 || bits == 4 || bits == 8 || (bits == 16 && photometric != PHOTOMETRIC_PALETTE));
    const bool lab = photometric == PHOTOMETRIC_CIELAB && bits == 8 && (samples == 3 || samples == 4);
    const bool rgba = !greyOrPalette && !lab;
    int bpp;
    if (rgba || lab) bpp = 24;
    else if (bits == 1 && samples == 1) bpp = 1;
    else if ((bits == 2 || bits == 4) && samples == 1) bpp = 4;
    else bpp = 8;
    if (info.nEscape) {
      error = "Cancelled";
      break;
    }
    if (!Create(width, height, static_cast<DWORD>(bpp), CODEC_FORMAT_TIF)) {
      error = "CCodecTIF can't create image";
      break;
    }
    uint16_t extraCount = 0;
    uint16_t* extraKinds = nullptr;
    const bool alphaSample = TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds) && extraCount > 0 &&
                             extraKinds &&
                             (extraKinds[0] == EXTRASAMPLE_ASSOCALPHA || extraKinds[0] == EXTRASAMPLE_UNASSALPHA);
    const bool alpha =
        (rgba && (samples == 4 || alphaSample)) || (greyOrPalette && samples == 2) || (lab && samples == 4);
    if (alpha && !AlphaCreate()) {
      error = "CCodecTIF can't allocate memory";
      break;
    }
    SetCodecOption(compression, CODEC_FORMAT_TIF);

    if (rgba) {
      const std::uint64_t n = static_cast<std::uint64_t>(width) * height;
      if (n * 4 > GetMemoryLimit()) {
        error = "No space for raster buffer";
        break;
      }
      std::vector<uint32_t> raster;
      try {
        raster.resize(static_cast<size_t>(n));
      } catch (...) {
        error = "No space for raster buffer";
        break;
      }
      if (!TIFFReadStraightRGBA(tif, width, height, raster.data(), 1)) {
        error = "Corrupted TIFF file!";
        break;
      }
      for (uint32_t y = 0; y < height; ++y) {
        BYTE* row = GetBits(y);
        const uint32_t* src = raster.data() + static_cast<size_t>(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
          const uint32_t v = src[x];
          row[3 * x] = static_cast<BYTE>(TIFFGetB(v));
          row[3 * x + 1] = static_cast<BYTE>(TIFFGetG(v));
          row[3 * x + 2] = static_cast<BYTE>(TIFFGetR(v));
          if (alpha) AlphaSet(static_cast<long>(x), static_cast<long>(y), static_cast<BYTE>(TIFFGetA(v)));
        }
      }
      result = true;
      break;
    }
    result = DecodePalettePath(tif, static_cast<long>(width), static_cast<long>(height), bits, samples, photometric,
                               static_cast<long>(rowsPerStrip), orientation, error);
  } while (false);
  TIFFClose(tif);
  if (error) SetLastError(error);
  return result;
}

namespace {

// One CIELab pixel (L 0-255, a and b signed) to blue, green, red.
void LabToBgr(BYTE L, signed char a, signed char b, BYTE* out) {
  const double l = L * 100.0 / 255.0;
  double fy = (l + 16.0) / 116.0;
  double fx = fy + a / 500.0;
  double fz = fy - b / 200.0;
  auto inv = [](double t) { return t * t * t > 0.008856 ? t * t * t : (t - 16.0 / 116.0) / 7.787; };
  const double X = 0.95047 * inv(fx), Y = 1.0 * inv(fy), Z = 1.08883 * inv(fz);
  double r = 3.240479 * X - 1.53715 * Y - 0.498535 * Z;
  double g = -0.969256 * X + 1.875992 * Y + 0.041556 * Z;
  double bl = 0.055648 * X - 0.204043 * Y + 1.057311 * Z;
  auto curve = [](double v) { return v > 0.00304 ? 1.055 * std::pow(v, 0.41667) - 0.055 : 12.92 * v; };
  auto byte = [](double v) {
    v *= 255.0;
    if (!(v > 0)) return BYTE(0);
    if (v > 255) return BYTE(255);
    return static_cast<BYTE>(v);
  };
  out[0] = byte(curve(bl));
  out[1] = byte(curve(g));
  out[2] = byte(curve(r));
}

}  // namespace

bool CCodecTIF::DecodePalettePath(TIFF* tif, long width, long height, int bits, int samples, int photometric,
                                   long rowsperstrip, int orientation, const char*& error) {
  // The palette.
  if (GetPalette()) {
    if (photometric == PHOTOMETRIC_PALETTE) {
      uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
      if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b) {
        error = "Corrupted TIFF file!";
        return false;
      }
      const int n = 1 << bits;
      bool wide = false;
      for (int i = 0; i < n; ++i)
        if (r[i] > 255 || g[i] > 255 || b[i] > 255) wide = true;
      for (int i = 0; i < n && i < static_cast<int>(GetNumColors()); ++i) {
        if (wide)
          SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(r[i] * 255 / 65535), static_cast<BYTE>(g[i] * 255 / 65535),
                          static_cast<BYTE>(b[i] * 255 / 65535));
        else
          SetPaletteColor(static_cast<BYTE>(i), static_cast<BYTE>(r[i]), static_cast<BYTE>(g[i]), static_cast<BYTE>(b[i]));
      }
    } else {
      const int n = bits >= 8 ? 256 : 1 << bits;
      const int step = 255 / (n - 1);
      for (int i = 0; i < n && i < static_cast<int>(GetNumColors()); ++i) {
        BYTE v = static_cast<BYTE>(i * step);
        if (photometric == PHOTOMETRIC_MINISWHITE) v = static_cast<BYTE>(255 - v);
        SetPaletteColor(static_cast<BYTE>(i), v, v, v);
      }
    }
  }

  uint16_t extraCount = 0;
  uint16_t* extraKinds = nullptr;
  const bool premultiplied = TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds) && extraCount > 0 &&
                             extraKinds && extraKinds[0] == EXTRASAMPLE_ASSOCALPHA;
  const std::uint64_t lineSize = (static_cast<std::uint64_t>(samples) * bits * width + 7) / 8;
  const bool tiled = TIFFIsTiled(tif) != 0;
  uint32_t tileW = 0, tileH = 0;
  long bandRows = rowsperstrip;
  std::vector<BYTE> tileBuf;
  if (tiled) {
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileW);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileH);
    if (tileW == 0 || tileH == 0 || (tileW * static_cast<std::uint64_t>(bits) * samples) % 8 != 0) {
      error = "Corrupted tiled TIFF file!";
      return false;
    }
    bandRows = static_cast<long>(std::min<uint32_t>(tileH, static_cast<uint32_t>(height)));
    const tmsize_t tileSize = TIFFTileSize(tif);
    if (tileSize <= 0 || static_cast<std::uint64_t>(tileSize) > GetMemoryLimit()) {
      error = "Corrupted tiled TIFF file!";
      return false;
    }
    tileBuf.resize(static_cast<size_t>(tileSize));
  }
  const std::uint64_t bandBytes = lineSize * static_cast<std::uint64_t>(std::max<long>(bandRows, 1));
  if (bandBytes > GetMemoryLimit()) {
    error = "CCodecTIF can't allocate memory";
    return false;
  }
  std::vector<BYTE> band(static_cast<size_t>(bandBytes));
  std::vector<BYTE> line8(static_cast<size_t>(samples) * width);

  const long w = width;
  long y = 0;
  for (uint32_t strip = 0; y < height; ++strip) {
    if (info.nEscape) {
      error = "Cancelled";
      return false;
    }
    long lines;
    if (tiled) {
      std::fill(band.begin(), band.end(), 0);
      const std::uint64_t tileLine = (static_cast<std::uint64_t>(tileW) * bits * samples) / 8;
      for (uint32_t tx = 0; tx < static_cast<uint32_t>(width); tx += tileW) {
        if (TIFFReadTile(tif, tileBuf.data(), tx, static_cast<uint32_t>(y), 0, 0) < 0) {
          error = "Corrupted tiled TIFF file!";
          return false;
        }
        const std::uint64_t dstOff = (static_cast<std::uint64_t>(tx) * bits * samples) / 8;
        const std::uint64_t n = std::min<std::uint64_t>(tileLine, lineSize - dstOff);
        for (long r = 0; r < bandRows && y + r < height; ++r) {
          if ((r + 1) * tileLine > tileBuf.size()) break;
          std::memcpy(band.data() + r * lineSize + dstOff, tileBuf.data() + r * tileLine, static_cast<size_t>(n));
        }
      }
      lines = std::min(bandRows, height - y);
    } else {
      const tmsize_t got = TIFFReadEncodedStrip(tif, strip, band.data(), static_cast<tmsize_t>(band.size()));
      if (got < 0) {
        error = "Corrupted TIFF file!";
        return false;
      }
      lines = std::min<long>(static_cast<long>(static_cast<std::uint64_t>(got) / std::max<std::uint64_t>(lineSize, 1)),
                             std::min(bandRows, height - y));
      if (lines <= 0) {
        error = "Corrupted TIFF file!";
        return false;
      }
    }
    for (long k = 0; k < lines; ++k, ++y) {
      const BYTE* src = band.data() + static_cast<size_t>(k) * lineSize;
      const long row = height - 1 - y;
      // 16-bit samples give their high byte; premultiplied grey is divided
      // back before, at 16 bits.
      const BYTE* s8 = src;
      if (bits == 16) {
        for (long i = 0; i < samples * w; ++i) {
          uint16_t v;
          std::memcpy(&v, src + 2 * i, 2);
          if (samples == 2 && premultiplied && i % 2 == 0) {
            uint16_t a;
            std::memcpy(&a, src + 2 * i + 2, 2);
            if (a > 0 && a < 65535) v = static_cast<uint16_t>(std::min<uint32_t>(65535, (v * 65535u + a / 2u) / a));
          }
          line8[static_cast<size_t>(i)] = static_cast<BYTE>(v >> 8);
        }
        s8 = line8.data();
      }
      BYTE* dst = GetBits(static_cast<DWORD>(row));
      if (samples == 1) {
        if (bits == 2) {
          for (long x = 0; x < w; ++x) SetPixelIndex(x, row, static_cast<BYTE>((s8[x >> 2] >> (6 - 2 * (x & 3))) & 3));
        } else {
          const std::uint64_t n = bits == 16 ? static_cast<std::uint64_t>(w) : lineSize;
          std::memcpy(dst, s8, static_cast<size_t>(std::min<std::uint64_t>(n, GetEffWidth())));
        }
      } else if (samples == 2) {
        for (long x = 0; x < w; ++x) {
          const unsigned v = s8[2 * x], a = s8[2 * x + 1];
          // Premultiplied grey is divided back.
          dst[x] = premultiplied && bits == 8 && a > 0 && a < 255
                       ? static_cast<BYTE>(std::min(255u, (v * 255 + a / 2) / a))
                       : static_cast<BYTE>(v);
          AlphaSet(x, row, static_cast<BYTE>(a));
        }
      } else {
        for (long x = 0; x < w; ++x) {
          const BYTE* p = s8 + samples * x;
          LabToBgr(p[0], static_cast<signed char>(p[1]), static_cast<signed char>(p[2]), dst + 3 * x);
          if (samples == 4) AlphaSet(x, row, p[3]);
        }
      }
    }
  }

  // The orientation tag: the first line's place in the picture.
  switch (orientation) {
    case ORIENTATION_TOPRIGHT: Mirror(); break;
    case ORIENTATION_BOTRIGHT: Flip(); Mirror(); break;
    case ORIENTATION_BOTLEFT: Flip(); break;
    case ORIENTATION_LEFTTOP: RotateRight(); Mirror(); break;
    case ORIENTATION_RIGHTTOP: RotateRight(); break;
    case ORIENTATION_RIGHTBOT: RotateLeft(); Mirror(); break;
    case ORIENTATION_LEFTBOT: RotateLeft(); break;
    default: break;
  }
  return true;
}

// ------------------------------------------------------------------ encoding

bool CCodecTIF::EncodeBody(TIFF* tif, bool multipage, int page, int pagecount) {
  const uint32_t width = GetWidth(), height = GetHeight();
  const int bpp = GetBpp();
  const bool alpha = bpp == 24 && AlphaIsValid();
  // A palette picture's transparent index (a GIF's) is kept as an alpha
  // sample beside each index: 0 on that index, 255 elsewhere, 8 bits.
  const bool transparentIndex =
      bpp <= 8 && info.nBkgndIndex >= 0 && info.nBkgndIndex < static_cast<long>(GetNumColors());
  const uint16_t samples = bpp <= 8 ? (transparentIndex ? 2 : 1) : (alpha ? 4 : 3);
  const uint16_t bits = bpp <= 8 && !transparentIndex ? static_cast<uint16_t>(bpp) : 8;
  // A grey ramp palette is written as grey levels (at its own depth only).
  bool grey = bpp <= 8 && (bpp == 8 || !transparentIndex);
  if (grey) {
    const int n = static_cast<int>(GetNumColors());
    const int step = 255 / (n - 1);
    for (int i = 0; i < n && grey; ++i) {
      const RGBQUAD c = GetPaletteColor(static_cast<BYTE>(i));
      if (c.rgbRed != i * step || c.rgbGreen != i * step || c.rgbBlue != i * step) grey = false;
    }
  }
  const uint16_t photometric = bpp > 8 ? PHOTOMETRIC_RGB : (grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE);

  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(GetXDPI()));
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(GetYDPI()));
  if (alpha || transparentIndex) {
    const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (multipage) {
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page), static_cast<uint16_t>(pagecount));
  }
  if (photometric == PHOTOMETRIC_PALETTE) {
    std::vector<uint16_t> r(256, 0), g(256, 0), b(256, 0);
    for (DWORD i = 0; i < GetNumColors(); ++i) {
      const RGBQUAD c = GetPaletteColor(static_cast<BYTE>(i));
      r[i] = static_cast<uint16_t>(c.rgbRed * 257);
      g[i] = static_cast<uint16_t>(c.rgbGreen * 257);
      b[i] = static_cast<uint16_t>(c.rgbBlue * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
  }
  uint16_t compression = static_cast<uint16_t>(GetCodecOption(CODEC_FORMAT_TIF));
  if (compression == 0 || !TIFFIsCODECConfigured(compression)) compression = COMPRESSION_NONE;
  if (compression == COMPRESSION_JPEG && bits != 8) compression = COMPRESSION_NONE;
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  if ((compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE) && bits == 8)
    TIFFSetField(tif, TIFFTAG_PREDICTOR, 2);
  if (compression == COMPRESSION_JPEG) TIFFSetField(tif, TIFFTAG_JPEGQUALITY, static_cast<int>(GetJpegQuality()));
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));

  const size_t lineBytes =
      bpp <= 8 && !transparentIndex ? (static_cast<size_t>(width) * bpp + 7) / 8 : static_cast<size_t>(width) * samples;
  std::vector<BYTE> line(lineBytes);
  for (uint32_t y = 0; y < height; ++y) {
    const long row = static_cast<long>(height - 1 - y);
    const BYTE* src = GetBits(static_cast<DWORD>(row));
    if (transparentIndex) {
      for (uint32_t x = 0; x < width; ++x) {
        const BYTE index = GetPixelIndex(static_cast<long>(x), row);
        line[2 * x] = index;
        line[2 * x + 1] = index == info.nBkgndIndex ? 0 : 255;
      }
    } else if (bpp <= 8) {
      std::memcpy(line.data(), src, lineBytes);
    } else {
      for (uint32_t x = 0; x < width; ++x) {
        BYTE* p = line.data() + static_cast<size_t>(x) * samples;
        p[0] = src[3 * x + 2];
        p[1] = src[3 * x + 1];
        p[2] = src[3 * x];
        if (alpha) p[3] = AlphaGet(static_cast<long>(x), row);
      }
    }
    if (TIFFWriteScanline(tif, line.data(), y, 0) < 0) return false;
  }
  return true;
}

bool CCodecTIF::Encode(CCodecFile* hFile, bool bAppend) {
  if (EncodeSafeCheck(hFile)) return false;
  if (!m_tif) {
    m_tif = TIFFStreamOpen(hFile, "a");
    if (!m_tif) {
      SetLastError("initialization fail");
      return false;
    }
  }
  if (bAppend) m_multipage = true;
  ++m_pages;
  if (!EncodeBody(m_tif, m_multipage, m_pages - 1, m_pages)) {
    SetLastError("Error saving TIFF file");
    TIFFClose(m_tif);
    m_tif = nullptr;
    return false;
  }
  if (bAppend) {
    if (!TIFFWriteDirectory(m_tif)) {
      SetLastError("Error saving TIFF directory");
      return false;
    }
  } else {
    const bool flushed = TIFFFlush(m_tif) != 0;
    TIFFClose(m_tif);
    m_tif = nullptr;
    if (!flushed) {
      SetLastError("Error saving TIFF file");
      return false;
    }
  }
  return true;
}

bool CCodecTIF::Encode(CCodecFile* hFile, CBaseImage* const* pImages, int pagecount) {
  if (!hFile) {
    SetLastError("null file handler");
    return false;
  }
  if (!pImages || pagecount <= 0) {
    SetLastError("null image!!!");
    return false;
  }
  TIFF* tif = TIFFStreamOpen(hFile, "a");
  if (!tif) {
    SetLastError("initialization fail");
    return false;
  }
  for (int i = 0; i < pagecount; ++i) {
    if (!pImages[i] || !pImages[i]->IsValid()) {
      TIFFClose(tif);
      SetLastError("null image!!!");
      return false;
    }
    CCodecTIF page;
    page.Ghost(pImages[i]);
    if (!page.EncodeBody(tif, true, i, pagecount)) {
      TIFFClose(tif);
      SetLastError("Error saving TIFF file");
      return false;
    }
    if (!TIFFWriteDirectory(tif)) {
      TIFFClose(tif);
      SetLastError("Error saving TIFF directory");
      return false;
    }
  }
  TIFFClose(tif);
  return true;
}
