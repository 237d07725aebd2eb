#include "image/codec/CodecBMP.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

using namespace codec;

namespace {

// Row stride x height of a header, worked out without overflow; a size that
// does not fit 64 bits (or a negative width) counts as the largest.
std::uint64_t ImageBytes(const BITMAPINFOHEADER& h) {
  if (h.biWidth < 0) return UINT64_MAX;
  const std::uint64_t height = h.biHeight < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(h.biHeight))
                                              : static_cast<std::uint64_t>(h.biHeight);
  const std::uint64_t stride = DibRowStride(h.biWidth, h.biBitCount);
  std::uint64_t size;
  if (__builtin_mul_overflow(stride, height, &size)) return UINT64_MAX;
  return size;
}

}  // namespace

bool CCodecBMP::DibReadBitmapInfo(CCodecFile* fh, BITMAPINFOHEADER* pdib, DWORD* masks) {
  if (!fh || !pdib) return false;
  if (masks) masks[0] = masks[1] = masks[2] = 0;
  // The header's size first, so that a small file with a 12-byte core
  // header is not asked for 40 bytes.
  BYTE raw[52] = {0};
  if (fh->Read(raw, 1, 4) != 4) return false;
  const DWORD size = GetLE32(raw);
  const size_t rest = size == sizeof(BITMAPCOREHEADER) ? 8 : (size >= 52 && size != 64 ? 48 : 36);
  if (fh->Read(raw + 4, 1, rest) != rest) return false;
  ReadInfoHeader(raw, *pdib);
  switch (pdib->biSize) {
    case sizeof(BITMAPCOREHEADER): {
      const WORD w = GetLE16(raw + 4), h = GetLE16(raw + 6), planes = GetLE16(raw + 8), bits = GetLE16(raw + 10);
      std::memset(pdib, 0, sizeof(*pdib));
      pdib->biSize = sizeof(BITMAPCOREHEADER);
      pdib->biWidth = w;
      pdib->biHeight = h;
      pdib->biPlanes = planes;
      pdib->biBitCount = bits;
      break;
    }
    case sizeof(BITMAPINFOHEADER):
      break;
    case 64:  // OS/2 2.x
      if (!fh->Seek(64 - 40, SEEK_CUR)) return false;
      break;
    default: {
      // The longer Windows headers: 52 and 56 bytes (masks), 108 (fourth
      // version, colour space) and 124 (fifth, profile); larger sizes are
      // no bitmap header.
      if (pdib->biSize < 52 || pdib->biSize > 124) return false;
      if (masks) {
        masks[0] = GetLE32(raw + 40);
        masks[1] = GetLE32(raw + 44);
        masks[2] = GetLE32(raw + 48);
      }
      if (!fh->Seek(static_cast<long>(pdib->biSize - 52), SEEK_CUR)) return false;
    }
  }
  // The image size is only a hint (0 for uncompressed pixels, often wrong):
  // the sizes come from the width, height and depth.
  if (pdib->biSizeImage == 0 || pdib->biCompression == BI_RGB || pdib->biCompression == BI_BITFIELDS) {
    const std::uint64_t bytes = ImageBytes(*pdib);
    pdib->biSizeImage = bytes <= 0xFFFFFFFFu ? static_cast<DWORD>(bytes) : 0;
  }
  if (pdib->biClrUsed == 0 && pdib->biBitCount <= 8) pdib->biClrUsed = 1u << pdib->biBitCount;
  return true;
}

bool CCodecBMP::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  const long start = hFile->Tell();
  BYTE fh[14];
  const size_t got = hFile->Read(fh, 1, sizeof(fh));
  if (got == 0) {
    SetLastError("Not a BMP");
    return false;
  }
  std::uint64_t offBits = 0;
  if (got == sizeof(fh) && GetLE16(fh) == 0x4D42) {
    offBits = GetLE32(fh + 10);
  } else {
    // A bare info header is accepted too.
    hFile->Seek(start, SEEK_SET);
  }

  BITMAPINFOHEADER bmp;
  DWORD headerMasks[3];
  if (!DibReadBitmapInfo(hFile, &bmp, headerMasks)) {
    SetLastError("Error reading BMP info");
    return false;
  }
  const WORD bits = bmp.biBitCount;
  if (!(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32) || bmp.biWidth <= 0 ||
      bmp.biHeight == 0 || bmp.biHeight == static_cast<LONG>(0x80000000u)) {
    SetLastError("Error reading BMP info");
    return false;
  }
  const bool topdown = bmp.biHeight < 0;
  const std::uint64_t width = static_cast<std::uint64_t>(bmp.biWidth);
  const std::uint64_t height =
      static_cast<std::uint64_t>(topdown ? -static_cast<std::int64_t>(bmp.biHeight) : bmp.biHeight);

  if (info.nEscape == -1) {
    head.biWidth = static_cast<LONG>(width);
    head.biHeight = static_cast<LONG>(height);
    SetLastError("output dimensions returned");
    return false;
  }

  // The compression each depth accepts.
  const DWORD comp = bmp.biCompression;
  if (bits <= 8) {
    if (!(comp == BI_RGB || (comp == BI_RLE8 && bits == 8) || (comp == BI_RLE4 && bits == 4))) {
      SetLastError("compression type not supported");
      return false;
    }
  } else if (bits == 24) {
    if (comp != BI_RGB) {
      SetLastError("unknown compression");
      return false;
    }
  } else if (comp != BI_RGB && comp != BI_BITFIELDS) {
    SetLastError("unknown compression");
    return false;
  }

  // 16 and 32 bits with BI_BITFIELDS: the three masks are in a header of
  // 52 bytes or more, or follow a 40-byte one and come before the palette
  // and the pixels.
  DWORD masks[3] = {0, 0, 0};
  if (bits > 8 && comp == BI_BITFIELDS && bmp.biSize >= 52) {
    std::memcpy(masks, headerMasks, sizeof(masks));
  } else if (bits > 8 && comp == BI_BITFIELDS) {
    BYTE m[12];
    if (hFile->Read(m, 1, sizeof(m)) != sizeof(m)) {
      SetLastError("Error reading BMP info");
      return false;
    }
    masks[0] = GetLE32(m);
    masks[1] = GetLE32(m + 4);
    masks[2] = GetLE32(m + 8);
  }

  // Sizes from the header, checked against the stream before anything is
  // allocated.
  const bool core = bmp.biSize == sizeof(BITMAPCOREHEADER);
  const std::uint64_t entrySize = core ? 3 : 4;
  const std::uint64_t srcColors = bmp.biClrUsed;
  const long paletteAt = hFile->Tell();
  const long streamSize = hFile->Size();
  const std::uint64_t dataAt = offBits ? static_cast<std::uint64_t>(start) + offBits
                                       : static_cast<std::uint64_t>(paletteAt) + srcColors * entrySize;
  if (!FitsMemoryLimit(width, height, bits)) {
    SetLastError("Can't allocate memory");
    return false;
  }
  std::uint64_t needed = 0;
  if (comp == BI_RGB || comp == BI_BITFIELDS) {
    needed = DibRowStride(width, bits) * height;
  }
  if (streamSize >= 0) {
    const std::uint64_t size = static_cast<std::uint64_t>(streamSize);
    if (dataAt > size || needed > size - dataAt) {
      SetLastError("Can't allocate memory");
      return false;
    }
  }
  if (bits == 32 && needed > GetMemoryLimit()) {
    SetLastError("Can't allocate memory");
    return false;
  }

  if (!Create(static_cast<DWORD>(width), static_cast<DWORD>(height), bits, CODEC_FORMAT_BMP)) {
    SetLastError("Can't allocate memory");
    return false;
  }
  head.biXPelsPerMeter = bmp.biXPelsPerMeter;
  head.biYPelsPerMeter = bmp.biYPelsPerMeter;
  info.xDPI = static_cast<LONG>(std::floor(bmp.biXPelsPerMeter * 0.0254 + 0.5));
  info.yDPI = static_cast<LONG>(std::floor(bmp.biYPelsPerMeter * 0.0254 + 0.5));
  if (info.nEscape) {
    SetLastError("Cancelled");
    return false;
  }

  if (RGBQUAD* pal = GetPalette()) {
    const std::uint64_t n = std::min<std::uint64_t>(srcColors, head.biClrUsed);
    BYTE e[4];
    for (std::uint64_t i = 0; i < n; ++i) {
      if (hFile->Read(e, 1, static_cast<size_t>(entrySize)) != entrySize) break;
      pal[i].rgbBlue = e[0];
      pal[i].rgbGreen = e[1];
      pal[i].rgbRed = e[2];
      pal[i].rgbReserved = 0;
    }
  }
  if (info.nEscape) {
    SetLastError("Cancelled");
    return false;
  }

  // The pixels start at the data offset, or right after the palette (all
  // of its entries, also those the picture has no room for).
  hFile->Seek(static_cast<long>(dataAt), SEEK_SET);

  switch (bits) {
    case 1:
    case 4:
    case 8:
      if (comp == BI_RGB) hFile->Read(info.pImage, 1, static_cast<size_t>(needed));
      else DecodeRLE(hFile, comp == BI_RLE4);
      break;
    case 16:
      hFile->Read(info.pImage, 1, static_cast<size_t>(needed));
      Bitfield2RGB(info.pImage, masks[0], masks[1], masks[2], 16);
      break;
    case 24:
      hFile->Read(info.pImage, 1, static_cast<size_t>(needed));
      break;
    case 32: {
      BYTE* buf = static_cast<BYTE*>(std::malloc(static_cast<size_t>(needed)));
      if (!buf) {
        SetLastError("can't allocate memory");
        return false;
      }
      const size_t n = hFile->Read(buf, 1, static_cast<size_t>(needed));
      if (n < needed) std::memset(buf + n, 0, static_cast<size_t>(needed - n));
      Bitfield2RGB(buf, masks[0], masks[1], masks[2], 32);
      std::free(buf);
      break;
    }
  }
  if (topdown) Flip();
  return true;
}

bool CCodecBMP::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  BYTE fh[14];
  PutLE16(fh, 0x4D42);
  PutLE32(fh + 2, GetSize() + 14);
  PutLE16(fh + 6, 0);
  PutLE16(fh + 8, 0);
  PutLE32(fh + 10, 14 + sizeof(BITMAPINFOHEADER) + GetPaletteSize());
  BYTE ih[40];
  WriteInfoHeader(ih, head);
  const BYTE* rest = static_cast<const BYTE*>(pDib) + sizeof(BITMAPINFOHEADER);
  const size_t restSize = GetSize() - sizeof(BITMAPINFOHEADER);
  if (hFile->Write(fh, 1, sizeof(fh)) != sizeof(fh) || hFile->Write(ih, 1, sizeof(ih)) != sizeof(ih) ||
      hFile->Write(rest, 1, restSize) != restSize) {
    SetLastError("Write Error");
    return false;
  }
  return true;
}
