// GIF pictures for the codec layer. A true-colour picture is written as a
// mosaic of 17 x 15 tiles, each with its own 256-colour table, and such a
// file is read back as the true-colour picture.
#pragma once

#include "image/codec/BaseImage.h"

class CCodecGIF : public CBaseImage {
 public:
  CCodecGIF();
  bool Decode(CCodecFile* hFile);
  bool Encode(CCodecFile* hFile);

  const char* GetComment() const { return m_comment; }
  void SetComment(const char* text);
  long GetLoops() const { return m_loops; }

 protected:
#pragma pack(push, 1)
  struct GifControl {
    BYTE flags;        // bit 0 transparent, bits 2-4 disposal
    WORD delaytime;
    BYTE transpcolindex;
  };
#pragma pack(pop)
  static_assert(sizeof(GifControl) == 4);

  struct ImageDesc {
    WORD l, t, w, h;
    BYTE pf;
  };

  // ---- decoding ----
  bool DecodeExtension(CCodecFile* fp);
  // Counts the images that fit the screen, from the current position; the
  // stream is put back.
  long get_num_frames(CCodecFile* fp, long screenW, long screenH);
  // Skips data sub-blocks up to and including the zero-length one.
  static bool SkipSubBlocks(CCodecFile* fp);
  // Skips an image's local table and data.
  static bool SkipImage(CCodecFile* fp, const ImageDesc& d);
  // Decodes one image's LZW data into the rows of pic; the stream ends up
  // after the image's data. False when the code size is bad; bad codes
  // inside the data are tolerated.
  bool DecodeImageData(CCodecFile* fp, CBaseImage& pic, bool interlaced);
  bool out_line(const BYTE* pixels, long linelen);
  static bool Fits(const ImageDesc& d, long screenW, long screenH);
  // Takes the pixels of a composed picture while keeping this object's
  // settings.
  void TakeResult(CBaseImage& pic);

  // ---- encoding ----
  void EncodeHeader(CCodecFile* fp);
  void EncodeExtension(CCodecFile* fp);
  void EncodeComment(CCodecFile* fp);
  bool EncodeBody(CCodecFile* fp, bool bLocalColorMap);
  bool EncodeRGB(CCodecFile* fp);
  void compressLZW(int init_bits, CCodecFile* outfile);
  int GetNextPixel();
  void Put(CCodecFile* fp, const void* data, size_t n);
  void output(int code);
  void cl_hash();
  void char_out(int c);
  void flush_char();

  GifControl gifgce;
  char m_comment[256];
  long m_loops;
  int m_disposal;

  // decoder row state
  CBaseImage* m_target = nullptr;
  long m_curRow;       // lines written so far (non-interlaced) / position (interlaced)
  long m_step;
  long m_pass;
  bool m_interlaced;
  bool m_rowsDone;

  // encoder state
  static constexpr int HSIZE = 5003;
  long htab[HSIZE];
  WORD codetab[HSIZE];
  int n_bits;
  int maxcode;
  int free_ent;
  bool clear_flg;
  int g_init_bits;
  CCodecFile* g_outfile;
  int ClearCode;
  int EOFCode;
  unsigned long cur_accum;
  int cur_bits;
  int a_count;
  BYTE accum[256];
  long curx, cury;
  bool m_writeError;
};
