// The own BMP reader and writer of the picture back ends. The reader takes
// Windows bitmap files and bare DIBs with a core (12-byte), info (40-byte)
// or larger header; it keeps the file's depth and colour table. It takes
// uncompressed pixels and bit fields only: run-length compressed files are
// refused here and left to the codec layer.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "image/Image.h"
#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"
#include "platform/base/codepage.h"

namespace {

using codec::GetLE16;
using codec::GetLE32;
using codec::PutLE32;

bool ReadExact(CCodecFile& f, void* out, size_t n) { return n == 0 || f.Read(out, 1, n) == n; }

// Frees a block made here when reading fails half way.
class CBlockGuard {
 public:
  explicit CBlockGuard(HGLOBAL h) : m_h(h) {}
  ~CBlockGuard() {
    if (m_h) {
      GlobalUnlock(m_h);
      GlobalFree(m_h);
    }
  }
  HGLOBAL Release() {
    HGLOBAL h = m_h;
    m_h = nullptr;
    return h;
  }

 private:
  HGLOBAL m_h;
};

HGLOBAL ReadDIB(CCodecFile& file) {
  const long start = file.Tell();
  BYTE fileHeader[14];
  if (!ReadExact(file, fileHeader, sizeof fileHeader)) return nullptr;
  DWORD pixelOffset = 0;
  if (fileHeader[0] == 0x42 && fileHeader[1] == 0x4D) {
    pixelOffset = GetLE32(fileHeader + 10);
  } else {
    // A bare DIB: the header starts where the file does.
    if (!file.Seek(start, SEEK_SET)) return nullptr;
  }

  BYTE raw[40];
  if (!ReadExact(file, raw, 4)) return nullptr;
  const DWORD headerSize = GetLE32(raw);
  BITMAPINFOHEADER h{};
  bool core = false;
  BYTE masks[12] = {};
  bool masksInHeader = false;
  if (headerSize == sizeof(BITMAPCOREHEADER)) {
    BYTE c[8];
    if (!ReadExact(file, c, sizeof c)) return nullptr;
    core = true;
    h.biWidth = GetLE16(c);
    h.biHeight = GetLE16(c + 2);
    h.biPlanes = GetLE16(c + 4);
    h.biBitCount = GetLE16(c + 6);
  } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= 4096) {
    if (!ReadExact(file, raw + 4, 36)) return nullptr;
    codec::ReadInfoHeader(raw, h);
    if (headerSize > sizeof(BITMAPINFOHEADER)) {
      // Larger headers carry the masks in their next 12 bytes; the rest is
      // passed over.
      if (headerSize >= 52) {
        if (!ReadExact(file, masks, sizeof masks)) return nullptr;
        masksInHeader = true;
        if (!file.Seek(static_cast<long>(headerSize - 52), SEEK_CUR)) return nullptr;
      } else if (!file.Seek(static_cast<long>(headerSize - sizeof(BITMAPINFOHEADER)), SEEK_CUR)) {
        return nullptr;
      }
    }
  } else {
    return nullptr;
  }

  // Only pictures this reader can hold.
  const int bpp = h.biBitCount;
  switch (bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return nullptr;
  }
  const bool bitfields = h.biCompression == BI_BITFIELDS;
  if (!(h.biCompression == BI_RGB || (bitfields && (bpp == 16 || bpp == 32)))) return nullptr;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) return nullptr;
  const bool topDown = h.biHeight < 0;
  const LONG height = topDown ? -h.biHeight : h.biHeight;
  int entries = 0;
  if (bpp <= 8) {
    if (h.biClrUsed > (1u << bpp)) return nullptr;
    entries = h.biClrUsed ? static_cast<int>(h.biClrUsed) : (1 << bpp);
  } else if (!bitfields) {
    if (h.biClrUsed > 256) return nullptr;
    entries = static_cast<int>(h.biClrUsed);
  }
  const std::uint64_t stride = DibRowStride(h.biWidth, bpp);
  const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
  if (stride > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) || imageSize > GetImageMemoryLimit() ||
      imageSize > std::numeric_limits<DWORD>::max() - kDibHeaderRoom)
    return nullptr;
  // The pixels must be there before the block is made for them.
  if (static_cast<std::uint64_t>(file.BytesLeft()) < imageSize) return nullptr;

  const size_t tableBytes = bitfields ? 12 : 4 * static_cast<size_t>(entries);
  const size_t bitsOffset = sizeof(BITMAPINFOHEADER) + tableBytes;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bitsOffset + static_cast<size_t>(imageSize));
  if (!block) return nullptr;
  CBlockGuard guard(block);
  BYTE* p = static_cast<BYTE*>(GlobalLock(block));
  if (!p) return nullptr;

  BITMAPINFOHEADER& out = *reinterpret_cast<BITMAPINFOHEADER*>(p);
  out = h;
  out.biSize = sizeof(BITMAPINFOHEADER);
  out.biHeight = height;
  out.biPlanes = 1;
  out.biSizeImage = static_cast<DWORD>(imageSize);
  out.biClrUsed = static_cast<DWORD>(entries);

  BYTE* table = p + sizeof(BITMAPINFOHEADER);
  if (bitfields) {
    if (!masksInHeader && !ReadExact(file, masks, sizeof masks)) return nullptr;
    std::memcpy(table, masks, sizeof masks);
  } else if (core) {
    for (int i = 0; i < entries; ++i) {
      BYTE t[3];
      if (!ReadExact(file, t, 3)) return nullptr;
      table[4 * i] = t[0];
      table[4 * i + 1] = t[1];
      table[4 * i + 2] = t[2];
      table[4 * i + 3] = 0;
    }
  } else if (!ReadExact(file, table, tableBytes)) {
    return nullptr;
  }

  if (pixelOffset != 0 && !file.Seek(start + static_cast<long>(pixelOffset), SEEK_SET)) return nullptr;
  BYTE* bits = p + bitsOffset;
  if (!ReadExact(file, bits, static_cast<size_t>(imageSize))) return nullptr;
  if (topDown) {
    std::vector<BYTE> row(static_cast<size_t>(stride));
    for (LONG a = 0, b = height - 1; a < b; ++a, --b) {
      BYTE* ra = bits + static_cast<size_t>(a) * stride;
      BYTE* rb = bits + static_cast<size_t>(b) * stride;
      std::memcpy(row.data(), ra, row.size());
      std::memcpy(ra, rb, row.size());
      std::memcpy(rb, row.data(), row.size());
    }
  }
  return guard.Release();  // still locked once, as the back end expects
}

}  // namespace

HGLOBAL ReadDIBFile(const char* name) {
  CCodecIOFile file;
  if (!name || !*name || !file.Open(name, "rb")) return nullptr;
  try {
    return ReadDIB(file);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HGLOBAL ReadDIBBytes(const BYTE* data, size_t size) {
  if (!data || size > 0x7FFFFFFF) return nullptr;
  CCodecMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  try {
    return ReadDIB(file);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool WriteDIBFile(const char* name, const BYTE* p, size_t size) {
  if (!p || size < sizeof(BITMAPINFOHEADER) || !name || !*name) return false;
  const BITMAPINFOHEADER& h = *reinterpret_cast<const BITMAPINFOHEADER*>(p);
  const size_t offset = DibBitsOffset(h);
  const size_t imageSize = static_cast<size_t>(DibRowStride(h.biWidth, h.biBitCount)) * static_cast<size_t>(h.biHeight);
  const size_t total = offset + imageSize;
  bool ok = false;
  if (total <= size && total + 14 <= std::numeric_limits<DWORD>::max()) {
    FILE* f = std::fopen(ToUtf8(CString(name)).c_str(), "wb");
    if (f) {
      BYTE fh[14] = {0x42, 0x4D};
      PutLE32(fh + 2, static_cast<DWORD>(14 + total));
      PutLE32(fh + 10, static_cast<DWORD>(14 + offset));
      ok = std::fwrite(fh, 1, sizeof fh, f) == sizeof fh;
      for (size_t done = 0; ok && done < total;) {
        const size_t piece = std::min<size_t>(32768, total - done);
        ok = std::fwrite(p + done, 1, piece, f) == piece;
        done += piece;
      }
      if (std::fclose(f) != 0) ok = false;
      if (!ok) std::remove(ToUtf8(CString(name)).c_str());
    }
  }
  return ok;
}

// ---- CImageBMP ------------------------------------------------------------------------------

bool CImageBMP::Load(const char* name) {
  if (name && *name) m_fileName = name;
  HGLOBAL block = ReadDIBFile(m_fileName.GetString());
  if (!block) return false;
  TakeBlock(block);
  return true;
}

bool CImageBMP::Save(const char* name) {
  if (name && *name) m_fileName = name;
  if (!m_dib) return false;
  // The file holds colours; in memory the table holds palette indices.
  const bool indexed = m_palette && m_bpp <= 8;
  if (indexed) SetColourTableFromPalette(m_dib, m_palette, 0);
  const bool ok = WriteDIBFile(m_fileName.GetString(), m_dib, GetBlockSize());
  if (indexed) SetColourTableFromPalette(m_dib, m_palette, 1);
  return ok;
}
