#include "image/codec/CodecGIF.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

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

bool CCodecGIF::Fits(const ImageDesc& d, long screenW, long screenH) {
  return d.w > 0 && d.h > 0 && static_cast<long>(d.l) + d.w <= screenW && static_cast<long>(d.t) + d.h <= screenH;
}

bool CCodecGIF::SkipSubBlocks(CCodecFile* fp) {
  for (;;) {
    const long n = fp->GetC();
    if (n < 0) return false;
    if (n == 0) return true;
    if (!fp->Seek(n, SEEK_CUR)) return false;
  }
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
      info.nBkgndIndex = (gifgce.flags & 1) ? gifgce.transpcolindex : -1;
      info.dwFrameDelay = gifgce.delaytime;
      m_disposal = (gifgce.flags >> 2) & 7;
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

long CCodecGIF::get_num_frames(CCodecFile* fp, long screenW, long screenH) {
  const long pos = fp->Tell();
  long count = 0;
  bool recognise = true;
  for (bool done = false; !done;) {
    const long ch = fp->GetC();
    if (ch < 0) break;
    if (!recognise) {
      if (ch == 0) recognise = true;
      continue;
    }
    switch (ch) {
      case '!':
        if (fp->GetC() < 0 || !SkipSubBlocks(fp)) done = true;
        break;
      case ',': {
        BYTE d[9];
        if (fp->Read(d, 1, sizeof(d)) != sizeof(d)) {
          done = true;
          break;
        }
        const ImageDesc desc{GetLE16(d), GetLE16(d + 2), GetLE16(d + 4), GetLE16(d + 6), d[8]};
        if (Fits(desc, screenW, screenH)) ++count;
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
  int trueColour = 0;
  if (hasGlobal) {
    if (fp->Read(globalPal, 1, static_cast<size_t>(3 * globalSize)) != static_cast<size_t>(3 * globalSize)) return false;
  } else {
    trueColour = 1;
  }

  const long count = get_num_frames(fp, screenW, screenH);
  info.nNumFrames = count;
  if (info.nFrame < 0 || info.nFrame >= count) return false;
  if (count == 1) trueColour = 0;

  CBaseImage background;  // composition of an ordinary GIF
  CBaseImage truePic;     // composition of a true-colour mosaic
  long firstBkIndex = -1;
  int prevDisposal = 0;
  long frameNo = -1;
  bool composed = false;
  RGBQUAD lastTransColor = {0, 0, 0, 0};
  bool lastTransparent = false;
  bool recognise = true;
  info.nBkgndIndex = -1;

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
        BYTE d[9];
        if (fp->Read(d, 1, sizeof(d)) != sizeof(d)) {
          done = true;
          break;
        }
        const ImageDesc desc{GetLE16(d), GetLE16(d + 2), GetLE16(d + 4), GetLE16(d + 6), d[8]};
        if (!Fits(desc, screenW, screenH)) {
          if (!SkipImage(fp, desc)) done = true;
          break;
        }
        ++frameNo;
        if (frameNo == 0) {
          // A mosaic's first tile is smaller than the screen; without a
          // global table one direction is enough.
          if (hasGlobal ? (desc.w != screenW && desc.h != screenH) : (desc.w < screenW || desc.h < screenH))
            ++trueColour;
        }
        BYTE localPal[768];
        int tableSize = globalSize;
        const BYTE* table = hasGlobal ? globalPal : nullptr;
        if (desc.pf & 0x80) {
          tableSize = 1 << ((desc.pf & 7) + 1);
          if (fp->Read(localPal, 1, static_cast<size_t>(3 * tableSize)) != static_cast<size_t>(3 * tableSize)) {
            done = true;
            break;
          }
          table = localPal;
        }
        const DWORD bpp = tableSize <= 2 ? 1 : (tableSize <= 16 ? 4 : 8);

        CBaseImage frame;
        if (!frame.Create(desc.w, desc.h, bpp, CODEC_FORMAT_GIF)) {
          SetLastError(frame.GetLastError());
          return false;
        }
        if (table) frame.SetPalette(reinterpret_cast<const RGBTRIPLE*>(table), static_cast<DWORD>(tableSize));
        if (info.nBkgndIndex >= 0)
          for (long i = tableSize; i < static_cast<long>(frame.GetNumColors()); ++i)
            frame.SetPaletteColor(static_cast<BYTE>(i), 255, 255, 255);
        frame.SetTransIndex(info.nBkgndIndex);
        DecodeImageData(fp, frame, (desc.pf & 0x40) != 0);

        if (trueColour < 2) {
          if (frameNo == 0) {
            if (!background.Create(static_cast<DWORD>(screenW), static_cast<DWORD>(screenH), bpp, CODEC_FORMAT_GIF)) {
              SetLastError(background.GetLastError());
              return false;
            }
            background.Clear(gifgce.transpcolindex);
            firstBkIndex = info.nBkgndIndex;
          } else if (prevDisposal == 2 && firstBkIndex >= 0) {
            background.Clear(static_cast<BYTE>(firstBkIndex));
          }
          const long fh = static_cast<long>(frame.GetHeight()), fw = static_cast<long>(frame.GetWidth());
          const long trans = frame.GetTransIndex();
          for (long yt = 0; yt < fh; ++yt) {
            const long dstRow = screenH - 1 - (desc.t + yt);
            for (long x = 0; x < fw; ++x) {
              const BYTE idx = frame.GetPixelIndex(x, fh - 1 - yt);
              if (idx != trans) background.SetPixelIndex(desc.l + x, dstRow, idx);
            }
          }
          background.SetPalette(frame.GetPalette(), frame.GetNumColors());
          composed = true;
          if (frameNo == info.nFrame) done = true;
        } else {
          if (!truePic.IsValid() &&
              !truePic.Create(static_cast<DWORD>(screenW), static_cast<DWORD>(screenH), 24, CODEC_FORMAT_GIF)) {
            SetLastError(truePic.GetLastError());
            return false;
          }
          const long fh = static_cast<long>(frame.GetHeight()), fw = static_cast<long>(frame.GetWidth());
          for (long yt = 0; yt < fh; ++yt) {
            const long dstRow = screenH - 1 - (desc.t + yt);
            BYTE* dst = truePic.GetBits(static_cast<DWORD>(dstRow));
            for (long x = 0; x < fw; ++x) {
              const RGBQUAD c = frame.BlindGetPixelColor(x, fh - 1 - yt, false);
              BYTE* p = dst + 3 * (desc.l + x);
              p[0] = c.rgbBlue;
              p[1] = c.rgbGreen;
              p[2] = c.rgbRed;
            }
          }
          lastTransparent = (gifgce.flags & 1) != 0 && info.nBkgndIndex >= 0;
          if (lastTransparent) lastTransColor = frame.GetPaletteColor(static_cast<BYTE>(info.nBkgndIndex));
          composed = true;
          if (frameNo == count - 1) done = true;
        }
        prevDisposal = (gifgce.flags >> 2) & 7;
        m_disposal = prevDisposal;
        break;
      }
      case ';':
        done = true;
        break;
      default:
        if (ch != 0) recognise = false;
    }
  }
  if (!composed) return false;

  if (truePic.IsValid()) {
    TakeResult(truePic);
    if (lastTransparent) {
      SetTransColor(lastTransColor);
      info.nBkgndIndex = 0;
    } else {
      info.nBkgndIndex = -1;
    }
  } else {
    TakeResult(background);
    info.nBkgndIndex = firstBkIndex;
  }
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

bool CCodecGIF::EncodeRGB(CCodecFile* fp) {
  EncodeHeader(fp);
  EncodeComment(fp);
  const long w = static_cast<long>(GetWidth()), h = static_cast<long>(GetHeight());
  CCodecGIF tile;
  for (long y = 0; y < h && !m_writeError; y += kTileH) {
    const long th = std::min(kTileH, h - y);
    for (long x = 0; x < w && !m_writeError; x += kTileW) {
      const long tw = std::min(kTileW, w - x);
      if (!tile.IsValid() || static_cast<long>(tile.GetWidth()) != tw || static_cast<long>(tile.GetHeight()) != th) {
        if (!tile.Create(static_cast<DWORD>(tw), static_cast<DWORD>(th), 8, CODEC_FORMAT_GIF)) {
          SetLastError(tile.GetLastError());
          return false;
        }
      }
      if (IsTransparent()) {
        tile.SetTransIndex(0);
        tile.SetPaletteColor(0, GetTransColor());
      }
      for (long i = 0; i < th; ++i) {
        for (long j = 0; j < tw; ++j) {
          const RGBQUAD c = GetPixelColor(x + j, h - 1 - (y + i), false);
          tile.SetPaletteColor(static_cast<BYTE>(1 + kTileW * i + j), c);
          tile.SetPixelIndex(j, th - 1 - i, tile.GetNearestIndex(c));
        }
      }
      tile.SetOffset(x, y);
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
    EncodeRGB(fp);
  } else {
    EncodeHeader(fp);
    EncodeExtension(fp);
    EncodeComment(fp);
    EncodeBody(fp, false);
    const BYTE trailer = ';';
    Put(fp, &trailer, 1);
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
