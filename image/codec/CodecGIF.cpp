#include "image/codec/CodecGIF.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"
#include "image/codec/GifScreen.h"

using namespace codec;

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;  // 4096
constexpr long kTileW = 17;
constexpr long kTileH = 15;

// The bytes of an image's LZW data, sub-block after sub-block.
class SubBlockReader {
 public:
  explicit SubBlockReader(CCodecFile* fp) : fp_(fp) {}
  // The next data byte; -1 at the terminator (consumed) or the stream's end.
  long Next() {
    while (left_ == 0) {
      if (ended_) return -1;
      const long n = fp_->GetC();
      if (n <= 0) {
        ended_ = true;
        return -1;
      }
      left_ = n;
    }
    const long b = fp_->GetC();
    if (b < 0) {
      ended_ = true;
      left_ = 0;
      return -1;
    }
    --left_;
    return b;
  }
  // Moves past the rest of the data and its terminator.
  void Finish() {
    if (ended_) return;
    if (left_ > 0) fp_->Seek(left_, SEEK_CUR);
    left_ = 0;
    ended_ = true;
    for (;;) {
      const long n = fp_->GetC();
      if (n <= 0) return;
      fp_->Seek(n, SEEK_CUR);
    }
  }

 private:
  CCodecFile* fp_;
  long left_ = 0;
  bool ended_ = false;
};

}  // namespace

CCodecGIF::CCodecGIF() : CBaseImage(CODEC_FORMAT_GIF) {
  std::memset(&gifgce, 0, sizeof(gifgce));
  m_comment[0] = 0;
  m_loops = 0;
  m_disposal = 0;
  m_curRow = 0;
  m_step = 8;
  m_pass = 1;
  m_interlaced = false;
  m_rowsDone = false;
  n_bits = maxcode = free_ent = 0;
  clear_flg = false;
  g_init_bits = 0;
  g_outfile = nullptr;
  ClearCode = EOFCode = 0;
  cur_accum = 0;
  cur_bits = a_count = 0;
  curx = cury = 0;
  m_writeError = false;
}

void CCodecGIF::SetComment(const char* text) { std::snprintf(m_comment, sizeof(m_comment), "%s", text ? text : ""); }

bool CCodecGIF::SkipSubBlocks(CCodecFile* fp) {
  for (;;) {
    const long n = fp->GetC();
    if (n < 0) return false;
    if (n == 0) return true;
    if (!fp->Seek(n, SEEK_CUR)) return false;
  }
}

bool CCodecGIF::ReadImageDesc(CCodecFile* fp, ImageDesc& desc) {
  BYTE d[9];
  if (fp->Read(d, 1, sizeof(d)) != sizeof(d)) return false;
  desc = ImageDesc{GetLE16(d), GetLE16(d + 2), GetLE16(d + 4), GetLE16(d + 6), d[8]};
  return true;
}

bool CCodecGIF::SkipImage(CCodecFile* fp, const ImageDesc& d) {
  if (d.pf & 0x80) fp->Seek(3L << ((d.pf & 7) + 1), SEEK_CUR);
  if (fp->GetC() < 0) return false;
  return SkipSubBlocks(fp);
}

void CCodecGIF::TakeResult(CBaseImage& pic) { TakePixels(pic); }

// ------------------------------------------------------------------ decoding

bool CCodecGIF::DecodeExtension(CCodecFile* fp) {
  const long label = fp->GetC();
  if (label < 0) return false;
  BYTE buf[256];
  if (label == 0xF9) {
    const long size = fp->GetC();
    if (size < 0 || fp->Read(buf, 1, static_cast<size_t>(size)) != static_cast<size_t>(size)) return false;
    if (size >= 4) {
      gifgce.flags = buf[0];
      gifgce.delaytime = GetLE16(buf + 1);
      gifgce.transpcolindex = buf[3];
    }
  } else if (label == 0xFE) {
    const long size = fp->GetC();
    if (size < 0 || fp->Read(m_comment, 1, static_cast<size_t>(size)) != static_cast<size_t>(size)) return false;
    m_comment[std::min<long>(size, 255)] = 0;
  } else if (label == 0xFF) {
    const long size = fp->GetC();
    if (size < 0 || fp->Read(buf, 1, static_cast<size_t>(size)) != static_cast<size_t>(size)) return false;
    if (size == 11) {
      const long dsize = fp->GetC();
      if (dsize < 0) return false;
      if (dsize == 0) return true;
      if (fp->Read(buf, 1, static_cast<size_t>(dsize)) != static_cast<size_t>(dsize)) return false;
      if (dsize > 2) m_loops = buf[1] + 256 * buf[2];
    }
  }
  return SkipSubBlocks(fp);
}

long CCodecGIF::get_num_frames(CCodecFile* fp, bool* animated) {
  const long pos = fp->Tell();
  long count = 0;
  bool recognise = true;
  if (animated) *animated = false;
  for (bool done = false; !done;) {
    const long ch = fp->GetC();
    if (ch < 0) break;
    if (!recognise) {
      if (ch == 0) recognise = true;
      continue;
    }
    switch (ch) {
      case '!': {
        const long label = fp->GetC();
        if (label < 0) {
          done = true;
          break;
        }
        if (label == 0xF9) {
          // A control block with a delay makes the file an animation.
          const long size = fp->GetC();
          BYTE gce[4];
          if (size < 0) {
            done = true;
            break;
          }
          if (size >= 4) {
            if (fp->Read(gce, 1, sizeof(gce)) != sizeof(gce)) {
              done = true;
              break;
            }
            if (GetLE16(gce + 1) != 0 && animated) *animated = true;
          }
          if (size != 4 && !fp->Seek(size >= 4 ? size - 4 : size, SEEK_CUR)) {
            done = true;
            break;
          }
        }
        if (!SkipSubBlocks(fp)) done = true;
        break;
      }
      case ',': {
        ImageDesc desc;
        if (!ReadImageDesc(fp, desc)) {
          done = true;
          break;
        }
        if (desc.w > 0 && desc.h > 0) ++count;
        if (!SkipImage(fp, desc)) done = true;
        break;
      }
      case ';':
        done = true;
        break;
      default:
        if (ch != 0) recognise = false;
    }
  }
  fp->Seek(pos, SEEK_SET);
  return count;
}

bool CCodecGIF::out_line(const BYTE* pixels, long linelen) {
  if (m_rowsDone || !m_target) return false;
  const long h = static_cast<long>(m_target->GetHeight());
  const long w = static_cast<long>(m_target->GetWidth());
  if (m_curRow >= h) {
    m_rowsDone = true;
    return false;
  }
  const long row = h - 1 - m_curRow;
  const long n = std::min(w, linelen);
  if (m_target->GetBpp() == 8) {
    std::memcpy(m_target->GetBits(static_cast<DWORD>(row)), pixels, static_cast<size_t>(n));
  } else {
    for (long x = 0; x < n; ++x) m_target->SetPixelIndex(x, row, pixels[x]);
  }
  if (!m_interlaced) {
    ++m_curRow;
  } else {
    // Interlaced order: every 8th row from 0, every 8th from 4, every 4th
    // from 2, every 2nd from 1.
    m_curRow += m_step;
    while (m_curRow >= h) {
      ++m_pass;
      if (m_pass == 2) {
        m_curRow = 4;
        m_step = 8;
      } else if (m_pass == 3) {
        m_curRow = 2;
        m_step = 4;
      } else if (m_pass == 4) {
        m_curRow = 1;
        m_step = 2;
      } else {
        m_rowsDone = true;
        break;
      }
    }
  }
  return true;
}

bool CCodecGIF::DecodeImageData(CCodecFile* fp, CBaseImage& pic, bool interlaced) {
  const long codeSize = fp->GetC();
  if (codeSize < 2 || codeSize > 9) {
    if (codeSize >= 0) SkipSubBlocks(fp);
    return false;
  }
  m_target = &pic;
  m_curRow = 0;
  m_step = 8;
  m_pass = 1;
  m_interlaced = interlaced;
  m_rowsDone = false;

  const int clear = 1 << codeSize;
  const int eoi = clear + 1;
  int next = clear + 2;
  int width = static_cast<int>(codeSize) + 1;
  std::vector<WORD> prefix(kMaxCodes, 0);
  std::vector<BYTE> suffix(kMaxCodes, 0);
  std::vector<BYTE> stack(kMaxCodes + 1);
  const long lineLen = static_cast<long>(pic.GetWidth());
  std::vector<BYTE> line(static_cast<size_t>(lineLen), 0);
  long linePos = 0;

  SubBlockReader reader(fp);
  unsigned long acc = 0;
  int bits = 0;
  int old = -1;
  BYTE firstChar = 0;
  bool stop = false;
  while (!stop) {
    while (bits < width) {
      const long b = reader.Next();
      if (b < 0) {
        stop = true;
        break;
      }
      acc |= static_cast<unsigned long>(b) << bits;
      bits += 8;
    }
    if (stop) break;
    int code = static_cast<int>(acc & ((1u << width) - 1));
    acc >>= width;
    bits -= width;

    if (code == clear) {
      width = static_cast<int>(codeSize) + 1;
      next = clear + 2;
      old = -1;
      continue;
    }
    if (code == eoi) break;

    int sp = 0;
    if (old < 0) {
      // The first code after a clear is a pixel value.
      if (code >= clear) code = 0;
      firstChar = static_cast<BYTE>(code);
      stack[sp++] = firstChar;
      old = code;
    } else {
      const int in = code;
      if (code >= next) {
        // The code being defined (or a bad one): the previous string plus
        // its first character.
        stack[sp++] = firstChar;
        code = old;
      }
      while (code >= clear && sp < kMaxCodes) {
        stack[sp++] = suffix[static_cast<size_t>(code)];
        code = prefix[static_cast<size_t>(code)];
      }
      if (code >= clear) code = 0;  // a broken chain
      firstChar = static_cast<BYTE>(code);
      stack[sp++] = firstChar;
      if (next < kMaxCodes) {
        prefix[static_cast<size_t>(next)] = static_cast<WORD>(old);
        suffix[static_cast<size_t>(next)] = firstChar;
        ++next;
        if (next >= (1 << width) && width < kMaxCodeBits) ++width;
      }
      old = in;
    }
    while (sp > 0) {
      line[static_cast<size_t>(linePos++)] = stack[static_cast<size_t>(--sp)];
      if (linePos == lineLen) {
        linePos = 0;
        if (!out_line(line.data(), lineLen)) {
          stop = true;
          break;
        }
      }
    }
  }
  if (linePos > 0) out_line(line.data(), lineLen);
  reader.Finish();
  m_target = nullptr;
  return true;
}

bool CCodecGIF::Decode(CCodecFile* fp) {
  if (!fp) return false;
  BYTE sd[13];
  if (fp->Read(sd, 1, sizeof(sd)) != sizeof(sd) || std::memcmp(sd, "GIF8", 4) != 0) return false;
  const long screenW = GetLE16(sd + 6), screenH = GetLE16(sd + 8);
  const BYTE flags = sd[10];
  if (info.nEscape == -1) {
    head.biWidth = screenW;
    head.biHeight = screenH;
    SetLastError("output dimensions returned");
    return false;
  }
  const bool hasGlobal = (flags & 0x80) != 0;
  const int globalSize = 1 << ((flags & 7) + 1);
  BYTE globalPal[768];
  if (hasGlobal && fp->Read(globalPal, 1, static_cast<size_t>(3 * globalSize)) != static_cast<size_t>(3 * globalSize)) {
    SetLastError("GIF colour table runs past the end of the file");
    return false;
  }

  // A still picture (no image waits) is all its images composed; an
  // animation is composed up to the frame asked for.
  bool animated = false;
  const long count = get_num_frames(fp, &animated);
  info.nNumFrames = count;
  if (count == 0) {
    SetLastError("GIF file holds no image");
    return false;
  }
  if (info.nFrame < 0 || info.nFrame >= count) return false;
  const long lastFrame = animated ? info.nFrame : count - 1;

  CGifScreen screen(screenW, screenH, hasGlobal ? globalPal : nullptr, hasGlobal ? globalSize : 0, sd[11],
                    GetMemoryLimit());
  std::memset(&gifgce, 0, sizeof(gifgce));
  long frameNo = -1;
  bool recognise = true;
  for (bool done = false; !done;) {
    if (info.nEscape) return false;
    const long ch = fp->GetC();
    if (ch < 0) break;
    if (!recognise) {
      if (ch == 0) recognise = true;
      continue;
    }
    switch (ch) {
      case '!':
        if (!DecodeExtension(fp)) done = true;
        break;
      case ',': {
        ImageDesc desc;
        if (!ReadImageDesc(fp, desc)) {
          done = true;
          break;
        }
        if (desc.w == 0 || desc.h == 0) {
          if (!SkipImage(fp, desc)) done = true;
          std::memset(&gifgce, 0, sizeof(gifgce));
          break;
        }
        ++frameNo;
        BYTE localPal[768];
        int tableSize = hasGlobal ? globalSize : 0;
        const BYTE* table = hasGlobal ? globalPal : nullptr;
        if (desc.pf & 0x80) {
          tableSize = 1 << ((desc.pf & 7) + 1);
          if (fp->Read(localPal, 1, static_cast<size_t>(3 * tableSize)) != static_cast<size_t>(3 * tableSize)) {
            done = true;
            break;
          }
          table = localPal;
        }
        CBaseImage frame;
        if (!frame.Create(desc.w, desc.h, 8, CODEC_FORMAT_GIF)) {
          SetLastError(frame.GetLastError());
          return false;
        }
        DecodeImageData(fp, frame, (desc.pf & 0x40) != 0);
        GifImage image;
        image.left = desc.l;
        image.top = desc.t;
        image.width = desc.w;
        image.height = desc.h;
        image.pixels = frame.GetBits(desc.h - 1u);
        image.stride = -static_cast<long>(frame.GetEffWidth());
        image.table = table;
        image.tableSize = tableSize;
        image.transparent = (gifgce.flags & 1) ? gifgce.transpcolindex : -1;
        image.disposal = (gifgce.flags >> 2) & 7;
        if (!screen.Add(image)) {
          SetLastError("Can't allocate memory");
          return false;
        }
        m_disposal = image.disposal;
        info.dwFrameDelay = gifgce.delaytime;
        // A control block is for the image that follows it only.
        std::memset(&gifgce, 0, sizeof(gifgce));
        if (frameNo == lastFrame) done = true;
        break;
      }
      case ';':
        done = true;
        break;
      default:
        if (ch != 0) recognise = false;
    }
  }
  if (screen.IsEmpty()) return false;
  return TakeScreen(screen);
}

bool CCodecGIF::TakeScreen(const CGifScreen& screen) {
  const long w = screen.GetWidth(), h = screen.GetHeight();
  const int tableSize = screen.GetTableSize();
  const DWORD bpp = !screen.IsIndexed() ? 24 : tableSize <= 2 ? 1 : (tableSize <= 16 ? 4 : 8);
  CBaseImage pic;
  if (!pic.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), bpp, CODEC_FORMAT_GIF)) {
    SetLastError(pic.GetLastError());
    return false;
  }
  const long trans = screen.GetTransparentIndex();
  if (screen.IsIndexed()) {
    pic.SetPalette(reinterpret_cast<const RGBTRIPLE*>(screen.GetTable()), static_cast<DWORD>(tableSize));
    // A transparent picture's unused entries are white.
    if (trans >= 0)
      for (long i = tableSize; i < static_cast<long>(pic.GetNumColors()); ++i)
        pic.SetPaletteColor(static_cast<BYTE>(i), 255, 255, 255);
  }
  for (long y = 0; y < h; ++y) {
    const BYTE* src = screen.GetRow(y);
    const long row = h - 1 - y;
    if (bpp == 8) {
      std::memcpy(pic.GetBits(static_cast<DWORD>(row)), src, static_cast<size_t>(w));
    } else if (bpp < 8) {
      for (long x = 0; x < w; ++x) pic.SetPixelIndex(x, row, src[x]);
    } else {
      BYTE* dst = pic.GetBits(static_cast<DWORD>(row));
      for (long x = 0; x < w; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
      }
    }
  }
  TakeResult(pic);
  if (!screen.IsIndexed() && trans >= 0) {
    const BYTE* c = screen.GetTransparentColour();
    RGBQUAD q;
    q.rgbRed = c[0];
    q.rgbGreen = c[1];
    q.rgbBlue = c[2];
    q.rgbReserved = 0;
    SetTransColor(q);
  }
  info.nBkgndIndex = trans;
  return true;
}

// ------------------------------------------------------------------ encoding

void CCodecGIF::Put(CCodecFile* fp, const void* data, size_t n) {
  if (n && fp->Write(data, 1, n) != n) m_writeError = true;
}

void CCodecGIF::EncodeHeader(CCodecFile* fp) {
  BYTE h[13];
  std::memcpy(h, "GIF89a", 6);
  PutLE16(h + 6, static_cast<WORD>(GetWidth()));
  PutLE16(h + 8, static_cast<WORD>(GetHeight()));
  const RGBQUAD* pal = GetPalette();
  const int bits = GetBpp();
  h[10] = pal ? static_cast<BYTE>(0x80 | ((bits - 1) << 5) | (bits - 1)) : 0x11;
  h[11] = 0;
  h[12] = 0;
  Put(fp, h, sizeof(h));
  if (pal) {
    std::vector<BYTE> t;
    for (DWORD i = 0; i < GetNumColors(); ++i) {
      t.push_back(pal[i].rgbRed);
      t.push_back(pal[i].rgbGreen);
      t.push_back(pal[i].rgbBlue);
    }
    Put(fp, t.data(), t.size());
  }
}

void CCodecGIF::EncodeExtension(CCodecFile* fp) {
  BYTE e[8];
  e[0] = 0x21;
  e[1] = 0xF9;
  e[2] = 4;
  e[3] = static_cast<BYTE>((m_disposal << 2) | (IsTransparent() ? 1 : 0));
  PutLE16(e + 4, static_cast<WORD>(info.dwFrameDelay));
  e[6] = IsTransparent() ? static_cast<BYTE>(info.nBkgndIndex) : 0xFF;
  e[7] = 0;
  Put(fp, e, sizeof(e));
}

void CCodecGIF::EncodeComment(CCodecFile* fp) {
  const size_t n = std::strlen(m_comment);
  if (!n) return;
  const BYTE head3[3] = {0x21, 0xFE, static_cast<BYTE>(std::min<size_t>(n, 255))};
  Put(fp, head3, sizeof(head3));
  Put(fp, m_comment, head3[2]);
  const BYTE zero = 0;
  Put(fp, &zero, 1);
}

bool CCodecGIF::EncodeBody(CCodecFile* fp, bool bLocalColorMap) {
  const int bits = GetBpp();
  BYTE d[10];
  d[0] = 0x2C;
  PutLE16(d + 1, static_cast<WORD>(info.xOffset));
  PutLE16(d + 3, static_cast<WORD>(info.yOffset));
  PutLE16(d + 5, static_cast<WORD>(GetWidth()));
  PutLE16(d + 7, static_cast<WORD>(GetHeight()));
  d[9] = bLocalColorMap ? static_cast<BYTE>(0x80 | (bits - 1)) : 0;
  Put(fp, d, sizeof(d));
  if (bLocalColorMap) {
    std::vector<BYTE> t;
    const RGBQUAD* pal = GetPalette();
    for (DWORD i = 0; i < GetNumColors(); ++i) {
      t.push_back(pal[i].rgbRed);
      t.push_back(pal[i].rgbGreen);
      t.push_back(pal[i].rgbBlue);
    }
    Put(fp, t.data(), t.size());
  }
  const int initCodeSize = std::max(bits, 2);
  const BYTE cs = static_cast<BYTE>(initCodeSize);
  Put(fp, &cs, 1);
  compressLZW(initCodeSize + 1, fp);
  const BYTE zero = 0;
  Put(fp, &zero, 1);
  return !m_writeError;
}

bool CCodecGIF::MakePalettised(CCodecGIF& out) {
  const long w = static_cast<long>(GetWidth()), h = static_cast<long>(GetHeight());
  std::unordered_map<DWORD, BYTE> index;
  std::vector<RGBQUAD> colours;
  auto key = [](RGBQUAD c) { return static_cast<DWORD>(c.rgbRed) << 16 | static_cast<DWORD>(c.rgbGreen) << 8 | c.rgbBlue; };
  // The entry of a colour, added when new; -1 past 256 colours. Runs of one
  // colour ask the table once.
  DWORD lastKey = 0xFFFFFFFF;
  int lastEntry = 0;
  auto entry = [&](RGBQUAD c) {
    const DWORD k = key(c);
    if (k == lastKey) return lastEntry;
    auto it = index.find(k);
    if (it == index.end()) {
      if (colours.size() == 256) return -1;
      it = index.emplace(k, static_cast<BYTE>(colours.size())).first;
      colours.push_back(c);
    }
    lastKey = k;
    lastEntry = it->second;
    return lastEntry;
  };
  // The transparent colour first: entry 0.
  if (IsTransparent()) entry(GetTransColor());
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      if (entry(BlindGetPixelColor(x, y, false)) < 0) return false;
  const DWORD bpp = colours.size() <= 2 ? 1 : (colours.size() <= 16 ? 4 : 8);
  if (!out.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), bpp, CODEC_FORMAT_GIF)) return false;
  for (size_t i = 0; i < colours.size(); ++i) out.SetPaletteColor(static_cast<BYTE>(i), colours[i]);
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) out.SetPixelIndex(x, y, static_cast<BYTE>(entry(BlindGetPixelColor(x, y, false))));
  out.SetTransIndex(IsTransparent() ? 0 : -1);
  std::memcpy(out.m_comment, m_comment, sizeof(m_comment));
  out.m_disposal = m_disposal;
  out.info.dwFrameDelay = info.dwFrameDelay;
  return true;
}

void CCodecGIF::EncodeIndexed(CCodecFile* fp) {
  EncodeHeader(fp);
  EncodeExtension(fp);
  EncodeComment(fp);
  EncodeBody(fp, false);
  const BYTE trailer = ';';
  Put(fp, &trailer, 1);
}

namespace {

// The global table of a mosaic: 6 levels of red, 7 of green, 6 of blue
// (entries 0-251); entry 252 is the transparent colour.
constexpr int kCubeEntries = 252;

// The table entry of a colour at (x, y), ordered-dithered over 4 x 4
// pixels so that the first image shows the shades of large areas.
int CubeIndex(RGBQUAD c, long x, long y) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const int t = (kBayer[y & 3][x & 3] * 2 + 1) * 255 / 32;
  auto level = [t](int v, int steps) { return std::min(steps, (v * steps + t) / 255); };
  return (level(c.rgbRed, 5) * 7 + level(c.rgbGreen, 6)) * 6 + level(c.rgbBlue, 5);
}

RGBQUAD CubeColour(int i) {
  RGBQUAD c;
  c.rgbRed = static_cast<BYTE>((i / 42 * 255 + 2) / 5);
  c.rgbGreen = static_cast<BYTE>((i / 6 % 7 * 255 + 3) / 6);
  c.rgbBlue = static_cast<BYTE>((i % 6 * 255 + 2) / 5);
  c.rgbReserved = 0;
  return c;
}

bool SameColour(RGBQUAD a, RGBQUAD b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

}  // namespace

bool CCodecGIF::EncodeRGB(CCodecFile* fp) {
  // Up to 256 colours: one palettised image, every colour exact.
  {
    CCodecGIF pal;
    if (MakePalettised(pal)) {
      pal.EncodeIndexed(fp);
      if (pal.m_writeError) m_writeError = true;
      return !m_writeError;
    }
  }
  // More colours: first the whole picture in the colours of a fixed table,
  // then, over it, every 17 x 15 tile that this does not show exactly, with
  // its own table. No image waits and nothing is cleared, so viewers show
  // the picture at once and compose the tiles into it; a viewer that shows
  // only the first image shows the whole picture in fewer colours.
  const long w = static_cast<long>(GetWidth()), h = static_cast<long>(GetHeight());
  const bool transparent = IsTransparent();
  const RGBQUAD transColour = GetTransColor();
  auto isClear = [&](RGBQUAD c) { return transparent && SameColour(c, transColour); };
  CCodecGIF base;
  if (!base.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 8, CODEC_FORMAT_GIF)) {
    SetLastError(base.GetLastError());
    return false;
  }
  for (int i = 0; i < kCubeEntries; ++i) base.SetPaletteColor(static_cast<BYTE>(i), CubeColour(i));
  if (transparent) {
    base.SetPaletteColor(kCubeEntries, transColour);
    base.SetTransIndex(kCubeEntries);
  }
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x) {
      const RGBQUAD c = BlindGetPixelColor(x, y, false);
      base.SetPixelIndex(x, y, static_cast<BYTE>(isClear(c) ? kCubeEntries : CubeIndex(c, x, y)));
    }
  base.m_disposal = 1;
  base.info.dwFrameDelay = 0;
  std::memcpy(base.m_comment, m_comment, sizeof(m_comment));
  base.EncodeHeader(fp);
  base.EncodeComment(fp);
  base.EncodeExtension(fp);
  base.EncodeBody(fp, false);
  if (base.m_writeError) m_writeError = true;

  CCodecGIF tile;
  for (long y = 0; y < h && !m_writeError; y += kTileH) {
    const long th = std::min(kTileH, h - y);
    for (long x = 0; x < w && !m_writeError; x += kTileW) {
      const long tw = std::min(kTileW, w - x);
      bool exact = true;
      for (long i = 0; i < th && exact; ++i)
        for (long j = 0; j < tw && exact; ++j) {
          const long row = h - 1 - (y + i);
          exact = SameColour(GetPixelColor(x + j, row, false), base.GetPaletteColor(base.GetPixelIndex(x + j, row)));
        }
      if (exact) continue;
      // A table just large enough: the transparent colour, then one entry a
      // pixel.
      const long entries = 1 + tw * th;
      const DWORD bpp = entries <= 2 ? 1 : (entries <= 16 ? 4 : 8);
      if (!tile.IsValid() || static_cast<long>(tile.GetWidth()) != tw || static_cast<long>(tile.GetHeight()) != th) {
        if (!tile.Create(static_cast<DWORD>(tw), static_cast<DWORD>(th), bpp, CODEC_FORMAT_GIF)) {
          SetLastError(tile.GetLastError());
          return false;
        }
      }
      if (transparent) {
        tile.SetTransIndex(0);
        tile.SetPaletteColor(0, transColour);
      }
      for (long i = 0; i < th; ++i) {
        for (long j = 0; j < tw; ++j) {
          const RGBQUAD c = GetPixelColor(x + j, h - 1 - (y + i), false);
          tile.SetPaletteColor(static_cast<BYTE>(1 + tw * i + j), c);
          tile.SetPixelIndex(j, th - 1 - i, isClear(c) ? 0 : static_cast<BYTE>(1 + tw * i + j));
        }
      }
      tile.SetOffset(x, y);
      tile.m_disposal = 1;
      tile.m_writeError = false;
      tile.EncodeExtension(fp);
      tile.EncodeBody(fp, true);
      if (tile.m_writeError) m_writeError = true;
    }
  }
  const BYTE trailer = ';';
  Put(fp, &trailer, 1);
  return !m_writeError;
}

bool CCodecGIF::Encode(CCodecFile* fp) {
  if (EncodeSafeCheck(fp)) return false;
  if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) {
    SetLastError("Can't save this image as GIF");
    return false;
  }
  m_writeError = false;
  if (GetBpp() > 8) {
    if (!EncodeRGB(fp) && !m_writeError) return false;
  } else {
    EncodeIndexed(fp);
  }
  if (!fp->Flush() || fp->Error()) m_writeError = true;
  if (m_writeError) {
    SetLastError("Write Error in GIF file");
    return false;
  }
  return true;
}

// LZW compression with a 5003-slot hash table of (pixel, prefix) keys.
void CCodecGIF::cl_hash() {
  for (long& e : htab) e = -1;
}

int CCodecGIF::GetNextPixel() {
  const long w = static_cast<long>(GetWidth()), h = static_cast<long>(GetHeight());
  if (cury >= h) return -1;
  const int idx = GetPixelIndex(curx, h - 1 - cury);
  if (++curx == w) {
    curx = 0;
    ++cury;
  }
  return idx;
}

void CCodecGIF::compressLZW(int init_bits, CCodecFile* outfile) {
  g_init_bits = init_bits;
  g_outfile = outfile;
  clear_flg = false;
  n_bits = g_init_bits;
  maxcode = (1 << n_bits) - 1;
  ClearCode = 1 << (init_bits - 1);
  EOFCode = ClearCode + 1;
  free_ent = ClearCode + 2;
  a_count = 0;
  cur_accum = 0;
  cur_bits = 0;
  curx = cury = 0;

  int hshift = 0;
  for (long fcode = HSIZE; fcode < 65536L; fcode *= 2L) ++hshift;
  hshift = 8 - hshift;

  long ent = GetNextPixel();
  if (ent < 0) ent = 0;
  cl_hash();
  output(ClearCode);

  int c;
  while ((c = GetNextPixel()) >= 0) {
    const long fcode = (static_cast<long>(c) << kMaxCodeBits) + ent;
    long i = (static_cast<long>(c) << hshift) ^ ent;
    bool hit = false;
    if (htab[i] == fcode) {
      hit = true;
    } else if (htab[i] >= 0) {
      const long disp = i == 0 ? 1 : HSIZE - i;
      do {
        if ((i -= disp) < 0) i += HSIZE;
        if (htab[i] == fcode) {
          hit = true;
          break;
        }
      } while (htab[i] >= 0);
    }
    if (hit) {
      ent = codetab[i];
      continue;
    }
    output(static_cast<int>(ent));
    ent = c;
    if (free_ent < kMaxCodes) {
      codetab[i] = static_cast<WORD>(free_ent++);
      htab[i] = fcode;
    } else {
      cl_hash();
      free_ent = ClearCode + 2;
      clear_flg = true;
      output(ClearCode);
    }
  }
  output(static_cast<int>(ent));
  output(EOFCode);
}

void CCodecGIF::output(int code) {
  static const unsigned long masks[] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F, 0x003F, 0x007F, 0x00FF,
                                        0x01FF, 0x03FF, 0x07FF, 0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};
  cur_accum &= masks[cur_bits];
  if (cur_bits > 0) cur_accum |= static_cast<unsigned long>(code) << cur_bits;
  else cur_accum = static_cast<unsigned long>(code);
  cur_bits += n_bits;
  while (cur_bits >= 8) {
    char_out(static_cast<int>(cur_accum & 0xFF));
    cur_accum >>= 8;
    cur_bits -= 8;
  }
  // The code width grows with the table and drops back after a clear.
  if (free_ent > maxcode || clear_flg) {
    if (clear_flg) {
      n_bits = g_init_bits;
      maxcode = (1 << n_bits) - 1;
      clear_flg = false;
    } else {
      ++n_bits;
      maxcode = n_bits == kMaxCodeBits ? kMaxCodes : (1 << n_bits) - 1;
    }
  }
  if (code == EOFCode) {
    while (cur_bits > 0) {
      char_out(static_cast<int>(cur_accum & 0xFF));
      cur_accum >>= 8;
      cur_bits -= 8;
    }
    flush_char();
    g_outfile->Flush();
    if (g_outfile->Error()) {
      m_writeError = true;
      SetLastError("Write Error in GIF file");
    }
  }
}

void CCodecGIF::char_out(int c) {
  accum[a_count++] = static_cast<BYTE>(c);
  if (a_count >= 254) flush_char();
}

void CCodecGIF::flush_char() {
  if (a_count > 0) {
    const BYTE n = static_cast<BYTE>(a_count);
    Put(g_outfile, &n, 1);
    Put(g_outfile, accum, static_cast<size_t>(a_count));
    a_count = 0;
  }
}
