// The own GIF reader and the GIF87a writer of the picture back ends. The
// reader composes the images of a file onto its logical screen (see
// image/codec/GifScreen.h; an animation gives its first frame only): an 8-bit picture with the shared colour table as
// palette and, when the file says so, a transparent index; a 24-bit picture
// when the images have tables of their own.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "core/FrameServices.h"
#include "image/Image.h"
#include "image/codec/CodecFile.h"
#include "image/codec/GifScreen.h"
#include "lang/ids/picture.h"
#include "platform/base/codepage.h"

namespace {

// Input of the reader, 16384 bytes at a time.
class CGifInput {
 public:
  explicit CGifInput(CCodecFile& file) : m_file(file) {}
  // The next byte, or -1 at the end.
  int Get() {
    if (m_pos >= m_len) {
      m_len = m_file.Read(m_buffer, 1, sizeof m_buffer);
      m_pos = 0;
      if (m_len == 0) return -1;
    }
    return m_buffer[m_pos++];
  }
  bool Read(BYTE* out, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      const int c = Get();
      if (c < 0) return false;
      out[i] = static_cast<BYTE>(c);
    }
    return true;
  }
  // Skips sub-blocks up to and with the terminating empty one; false at
  // the end of the input.
  bool SkipSubBlocks() {
    for (;;) {
      const int n = Get();
      if (n < 0) return false;
      if (n == 0) return true;
      for (int i = 0; i < n; ++i)
        if (Get() < 0) return false;
    }
  }

 private:
  CCodecFile& m_file;
  BYTE m_buffer[16384];
  size_t m_pos = 0;
  size_t m_len = 0;
};

// Lines of the image into its rows (from the top), plain or interlaced.
class CGifLineWriter {
 public:
  CGifLineWriter(BYTE* pixels, int width, int height, bool interlaced)
      : m_pixels(pixels), m_width(width), m_height(height), m_interlaced(interlaced) {}

  // False when the line has no row left (decoding then ends).
  bool Put(const BYTE* line) {
    int row;
    if (!m_interlaced) {
      if (m_current >= m_height) return false;
      row = m_current++;
    } else {
      if (m_pass >= 4) return false;
      row = m_current;
      m_current += kStep[m_pass];
      while (m_current >= m_height) {
        if (++m_pass >= 4) break;
        m_current = kStart[m_pass];
      }
    }
    std::memcpy(m_pixels + static_cast<size_t>(row) * static_cast<size_t>(m_width), line, static_cast<size_t>(m_width));
    return true;
  }

 private:
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  BYTE* m_pixels;
  int m_width;
  int m_height;
  bool m_interlaced;
  int m_current = 0;
  int m_pass = 0;
};

// Codes of the image data, least significant bit first across the bytes of
// its sub-blocks.
class CGifCodeReader {
 public:
  explicit CGifCodeReader(CGifInput& in) : m_in(in) {}
  // The next code of the given size, or -1 when the data ends.
  int Read(int size) {
    while (m_bits < size) {
      const int b = NextByte();
      if (b < 0) return -1;
      m_acc |= static_cast<unsigned long>(b) << m_bits;
      m_bits += 8;
    }
    const int code = static_cast<int>(m_acc & ((1ul << size) - 1));
    m_acc >>= size;
    m_bits -= size;
    return code;
  }
  // Moves past what is left of the data, up to and with its terminator.
  void Finish() {
    if (m_ended) return;
    m_ended = true;
    for (; m_left > 0; --m_left)
      if (m_in.Get() < 0) return;
    m_in.SkipSubBlocks();
  }

 private:
  int NextByte() {
    if (m_ended) return -1;
    if (m_left == 0) {
      const int n = m_in.Get();
      if (n <= 0) {
        m_ended = true;
        return -1;
      }
      m_left = n;
    }
    const int b = m_in.Get();
    if (b < 0) {
      m_ended = true;
      return -1;
    }
    --m_left;
    return b;
  }

  CGifInput& m_in;
  unsigned long m_acc = 0;
  int m_bits = 0;
  int m_left = 0;
  bool m_ended = false;
};

constexpr int kMaxCodes = 4096;

// Decodes one image's LZW data into its pixels (width x height indices,
// rows from the top). Errors end the decoding; what was decoded stays.
void DecodeImage(CGifInput& in, BYTE* pixels, int width, int height, bool interlaced) {
  const int s = in.Get();
  if (s < 2 || s > 9) {
    if (s >= 0) in.SkipSubBlocks();
    return;
  }
  std::vector<BYTE> line(static_cast<size_t>(width), 0);
  int linePos = 0;
  CGifLineWriter writer(pixels, width, height, interlaced);
  auto output = [&](BYTE v) -> bool {
    line[static_cast<size_t>(linePos++)] = v;
    if (linePos < width) return true;
    linePos = 0;
    return writer.Put(line.data());
  };

  std::array<std::uint16_t, kMaxCodes> prefix{};
  std::array<BYTE, kMaxCodes> suffix{};
  std::array<BYTE, kMaxCodes + 1> stack{};
  const int clear = 1 << s;
  const int end = clear + 1;
  const int firstFree = clear + 2;
  int codeSize = s + 1;
  int limit = 1 << codeSize;
  int nextFree = firstFree;
  int prev = -1;
  int first = 0;
  CGifCodeReader codes(in);
  bool running = true;
  while (running) {
    int code = codes.Read(codeSize);
    if (code < 0 || code == end) break;
    if (code == clear) {
      codeSize = s + 1;
      limit = 1 << codeSize;
      nextFree = firstFree;
      do {
        code = codes.Read(codeSize);
      } while (code == clear);
      if (code < 0 || code == end) break;
      if (code >= firstFree) code = 0;
      prev = code;
      first = code;
      running = output(static_cast<BYTE>(code));
      continue;
    }
    if (prev < 0) {
      // Data that does not start with a clear code.
      if (code >= clear) code = 0;
      prev = code;
      first = code;
      running = output(static_cast<BYTE>(code));
      continue;
    }
    int sp = 0;
    int cur = code;
    if (code >= nextFree) {
      // The previous string plus its own first byte.
      stack[static_cast<size_t>(sp++)] = static_cast<BYTE>(first);
      cur = prev;
    }
    while (cur >= clear) {
      if (sp >= kMaxCodes || cur >= kMaxCodes) {
        running = false;
        break;
      }
      stack[static_cast<size_t>(sp++)] = suffix[static_cast<size_t>(cur)];
      cur = prefix[static_cast<size_t>(cur)];
    }
    if (!running) break;
    stack[static_cast<size_t>(sp++)] = static_cast<BYTE>(cur);
    first = cur;
    if (nextFree < limit) {
      suffix[static_cast<size_t>(nextFree)] = static_cast<BYTE>(first);
      prefix[static_cast<size_t>(nextFree)] = static_cast<std::uint16_t>(prev);
      ++nextFree;
      if (nextFree >= limit && codeSize < 12) {
        limit <<= 1;
        ++codeSize;
      }
    }
    prev = code < nextFree ? code : nextFree - 1;
    while (sp > 0 && running) running = output(stack[static_cast<size_t>(--sp)]);
  }
  if (linePos > 0) {
    std::fill(line.begin() + linePos, line.end(), 0);
    writer.Put(line.data());
  }
  codes.Finish();
}

WORD LE16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

CString Text(UINT id, const char* fallback) {
  CString s = LoadResString(id);
  return s.IsEmpty() ? CString(fallback) : s;
}

}  // namespace

// ---- Reading ---------------------------------------------------------------------------------

namespace {

// The composed screen as the picture: 8 bits with the shared table as
// palette, or 24 bits when the images have different tables.
bool TakeScreen(const codec::CGifScreen& screen, CImageGIF& impl) {
  const int w = static_cast<int>(screen.GetWidth()), h = static_cast<int>(screen.GetHeight());
  if (!screen.IsIndexed()) {
    if (!impl.Create(w, h, 24, -1)) return false;
    for (int y = 0; y < h; ++y) {
      const BYTE* src = screen.GetRow(y);
      BYTE* dst = impl.GetBits() + static_cast<size_t>(h - 1 - y) * static_cast<size_t>(impl.GetRowStride());
      for (int x = 0; x < w; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
      }
    }
    return true;
  }
  if (!impl.Create(w, h, 8, -1)) return false;
  const int transparent = static_cast<int>(screen.GetTransparentIndex());
  impl.SetTransparentIndex(transparent);
  const int tableSize = screen.GetTableSize();
  const BYTE* table = screen.GetTable();
  BYTE r[256], g[256], b[256];
  bool hasWhite = false;
  for (int i = 0; i < tableSize; ++i) {
    r[i] = table[3 * i];
    g[i] = table[3 * i + 1];
    b[i] = table[3 * i + 2];
    if (r[i] == 255 && g[i] == 255 && b[i] == 255) hasWhite = true;
  }
  int count = tableSize;
  if (transparent >= 0) {
    // Transparent drawing needs the transparent entry black and a white
    // entry somewhere.
    if (tableSize < 256) {
      for (int i = tableSize; i < 256; ++i) r[i] = g[i] = b[i] = 255;
    } else if (!hasWhite) {
      r[255] = g[255] = b[255] = 255;
    }
    r[transparent] = g[transparent] = b[transparent] = 0;
    count = 256;
  }
  impl.SetPaletteRGB(count, r, g, b);
  for (int y = 0; y < h; ++y)
    std::memcpy(impl.GetBits() + static_cast<size_t>(h - 1 - y) * static_cast<size_t>(impl.GetRowStride()),
                screen.GetRow(y), static_cast<size_t>(w));
  return true;
}

// Reads every image of the file onto its logical screen.
bool ReadGif(CCodecFile& file, CImageGIF& impl) {
  CGifInput in(file);
  BYTE header[13];
  if (!in.Read(header, sizeof header) || std::memcmp(header, "GIF8", 4) != 0) return false;
  BYTE global[256 * 3];
  int globalSize = 0;
  if (header[10] & 0x80) {
    globalSize = 1 << ((header[10] & 7) + 1);
    if (!in.Read(global, static_cast<size_t>(globalSize) * 3)) return false;
  }
  codec::CGifScreen screen(LE16(header + 6), LE16(header + 8), globalSize ? global : nullptr, globalSize, header[11],
                           GetImageMemoryLimit());
  int transparent = -1, disposal = 0;
  // An animation (a control block with a delay anywhere in the file) gives
  // its first frame, as the codec layer does; a still file with several
  // images (the mosaic of a true-colour GIF) gives all of them composed.
  bool animated = false;
  std::optional<codec::CGifScreen> firstFrame;
  std::vector<BYTE> pixels;
  for (bool done = false; !done;) {
    const int c = in.Get();
    if (c == 0x21) {
      const int label = in.Get();
      if (label < 0) break;
      if (label == 0xF9) {
        // The control block's first sub-block; the rest is passed over.
        const int size = in.Get();
        BYTE gce[256];
        if (size < 0 || !in.Read(gce, static_cast<size_t>(size))) break;
        if (size >= 4) {
          transparent = (gce[0] & 1) ? gce[3] : -1;
          disposal = (gce[0] >> 2) & 7;
          if (LE16(gce + 1) != 0) animated = true;
        }
      }
      if (!in.SkipSubBlocks()) break;
    } else if (c == 0x2C) {
      BYTE d[9];
      if (!in.Read(d, sizeof d)) break;
      codec::GifImage image;
      image.left = LE16(d);
      image.top = LE16(d + 2);
      image.width = LE16(d + 4);
      image.height = LE16(d + 6);
      const BYTE packed = d[8];
      BYTE local[256 * 3];
      image.table = globalSize ? global : nullptr;
      image.tableSize = globalSize;
      if (packed & 0x80) {
        image.tableSize = 1 << ((packed & 7) + 1);
        if (!in.Read(local, static_cast<size_t>(image.tableSize) * 3)) break;
        image.table = local;
      }
      image.transparent = transparent;
      image.disposal = disposal;
      // A control block is for the image that follows it only.
      transparent = -1;
      disposal = 0;
      const std::uint64_t area = static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height);
      if (area > GetImageMemoryLimit()) return false;
      pixels.assign(static_cast<size_t>(area), 0);
      image.pixels = pixels.data();
      image.stride = image.width;
      if (area == 0) {
        // No pixels: only the data to pass over.
        if (in.Get() < 0 || !in.SkipSubBlocks()) break;
        continue;
      }
      DecodeImage(in, pixels.data(), static_cast<int>(image.width), static_cast<int>(image.height),
                  (packed & 0x40) != 0);
      if (!screen.Add(image)) return false;
      if (!firstFrame) {
        if (animated) break;
        firstFrame = screen;
      }
    } else {
      done = true;
    }
  }
  // A file without an image is no picture.
  if (screen.IsEmpty()) return false;
  return TakeScreen(animated && firstFrame ? *firstFrame : screen, impl);
}

}  // namespace

bool CImageGIF::Load(const char* name) {
  if (name && *name) m_fileName = name;
  CCodecIOFile file;
  if (m_fileName.IsEmpty() || !file.Open(m_fileName.GetString(), "rb")) return false;
  try {
    return ReadGif(file, *this);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CImageGIF::LoadFromBytes(const BYTE* data, size_t size) {
  if (!data || size > 0x7FFFFFFF) return false;
  CCodecMemFile file(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  try {
    return ReadGif(file, *this);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// ---- Writing -------------------------------------------------------------------------------

namespace {

constexpr int kHashSize = 5003;

// The LZW compressor of the writer, with its packet output.
class CGifCompressor {
 public:
  explicit CGifCompressor(FILE* f) : m_file(f) {}

  void Compress(const std::vector<BYTE>& pixels) {
    m_nBits = kInitBits;
    m_maxCode = (1 << m_nBits) - 1;
    m_freeCode = kClear + 2;
    m_clearFlag = false;
    ClearHash();
    Output(kClear);
    if (pixels.empty()) {
      Output(kEnd);
      return;
    }
    int ent = pixels[0];
    for (size_t p = 1; p < pixels.size(); ++p) {
      const int c = pixels[p];
      const long fcode = (static_cast<long>(c) << 12) + ent;
      int i = (c << 4) ^ ent;
      bool found = false;
      if (m_hash[static_cast<size_t>(i)] == fcode) {
        found = true;
      } else if (m_hash[static_cast<size_t>(i)] >= 0) {
        const int disp = i == 0 ? 1 : kHashSize - i;
        do {
          i -= disp;
          if (i < 0) i += kHashSize;
          if (m_hash[static_cast<size_t>(i)] == fcode) {
            found = true;
            break;
          }
        } while (m_hash[static_cast<size_t>(i)] >= 0);
      }
      if (found) {
        ent = m_codes[static_cast<size_t>(i)];
        continue;
      }
      Output(ent);
      ent = c;
      if (m_freeCode < kMaxCodes) {
        m_codes[static_cast<size_t>(i)] = static_cast<std::uint16_t>(m_freeCode++);
        m_hash[static_cast<size_t>(i)] = fcode;
      } else {
        ClearHash();
        m_freeCode = kClear + 2;
        m_clearFlag = true;
        Output(kClear);
      }
    }
    Output(ent);
    Output(kEnd);
  }

  bool Failed() const { return m_failed; }

 private:
  static constexpr int kInitBits = 9;
  static constexpr int kClear = 256;
  static constexpr int kEnd = 257;

  void ClearHash() { m_hash.fill(-1); }

  void Output(int code) {
    m_acc |= static_cast<unsigned long>(code) << m_accBits;
    m_accBits += m_nBits;
    while (m_accBits >= 8) {
      PutByte(static_cast<BYTE>(m_acc & 0xFF));
      m_acc >>= 8;
      m_accBits -= 8;
    }
    if (m_freeCode > m_maxCode || m_clearFlag) {
      if (m_clearFlag) {
        m_nBits = kInitBits;
        m_maxCode = (1 << m_nBits) - 1;
        m_clearFlag = false;
      } else {
        ++m_nBits;
        m_maxCode = m_nBits == 12 ? kMaxCodes : (1 << m_nBits) - 1;
      }
    }
    if (code == kEnd) {
      while (m_accBits > 0) {
        PutByte(static_cast<BYTE>(m_acc & 0xFF));
        m_acc >>= 8;
        m_accBits = std::max(0, m_accBits - 8);
      }
      FlushPacket();
      if (std::fflush(m_file) != 0 || std::ferror(m_file)) m_failed = true;
    }
  }

  void PutByte(BYTE b) {
    m_packet[m_count++] = b;
    if (m_count >= 254) FlushPacket();
  }

  void FlushPacket() {
    if (m_count == 0) return;
    std::fputc(m_count, m_file);
    std::fwrite(m_packet, 1, static_cast<size_t>(m_count), m_file);
    m_count = 0;
  }

  FILE* m_file;
  std::array<long, kHashSize> m_hash{};
  std::array<std::uint16_t, kHashSize> m_codes{};
  int m_nBits = kInitBits;
  int m_maxCode = 0;
  int m_freeCode = 0;
  bool m_clearFlag = false;
  unsigned long m_acc = 0;
  int m_accBits = 0;
  BYTE m_packet[256] = {};
  int m_count = 0;
  bool m_failed = false;
};

void PutWord(FILE* f, int v) {
  std::fputc(v & 0xFF, f);
  std::fputc((v >> 8) & 0xFF, f);
}

}  // namespace

bool CImageGIF::Save(const char* name) {
  if (name && *name) m_fileName = name;
  if (!m_dib) return false;
  if (m_bpp > 8) {
    AppMessageBox(Text(IDS_GIF_MUST_BE_8BIT, "GIF Images must be 8 bit or less"), MB_OK);
    return false;
  }
  if (m_width > 0xFFFF || m_height > 0xFFFF) return false;
  FILE* f = std::fopen(ToUtf8(m_fileName).c_str(), "wb");
  if (!f) {
    AppMessageBox(Text(IDS_GIF_CANNOT_OPEN, "Can't open GIF for writing"), MB_OK);
    return false;
  }
  std::fwrite("GIF87a", 1, 6, f);
  PutWord(f, m_width);
  PutWord(f, m_height);
  // Global table, colour resolution (8 - 1) << 5, table size field 7 (256).
  std::fputc(0x80 | ((8 - 1) << 5) | 0x07, f);
  std::fputc(0, f);
  std::fputc(0, f);
  for (int i = 0; i < 256; ++i) {
    BYTE r = 0, g = 0, b = 0;
    if (m_palette) m_palette->GetEntryRGB(i, r, g, b);
    else TableColor(i, r, g, b);
    std::fputc(r, f);
    std::fputc(g, f);
    std::fputc(b, f);
  }
  std::fputc(',', f);
  PutWord(f, 0);
  PutWord(f, 0);
  PutWord(f, m_width);
  PutWord(f, m_height);
  std::fputc(0, f);
  std::fputc(8, f);
  // Rows from the top of the picture, left to right.
  std::vector<BYTE> pixels(static_cast<size_t>(m_width) * static_cast<size_t>(m_height));
  size_t k = 0;
  for (int y = m_height - 1; y >= 0; --y)
    for (int x = 0; x < m_width; ++x) pixels[k++] = static_cast<BYTE>(std::max(0, GetPixelIndex(x, y)));
  auto compressor = std::make_unique<CGifCompressor>(f);
  compressor->Compress(pixels);
  std::fputc(0, f);
  std::fputc(';', f);
  const bool failed = compressor->Failed() || std::ferror(f);
  const bool closed = std::fclose(f) == 0;
  if (failed || !closed) {
    AppMessageBox(Text(IDS_GIF_WRITE_ERROR, "Write Error in GIF file"), MB_OK);
    return false;
  }
  return true;
}
