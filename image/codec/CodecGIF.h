// GIF pictures for the codec layer. A true-colour picture of 256 colours or
// fewer is written as one palettised image; one of more colours as the
// whole picture in a fixed 252-colour table followed by a mosaic of 17 x 15
// tiles, each with its own table, over the parts that table does not show
// exactly. No image of such a file waits, and such a file (any file whose
// images do not wait) is read back as all its images composed.
#pragma once

#include "image/codec/BaseImage.h"

namespace codec {
class CGifScreen;
}

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
  // Counts the images, from the current position, and tells whether a
  // control block asks for a delay (an animation); the stream is put back.
  long get_num_frames(CCodecFile* fp, bool* animated);
  // Skips data sub-blocks up to and including the zero-length one.
  static bool SkipSubBlocks(CCodecFile* fp);
  // Skips an image's local table and data.
  // The nine bytes of an image descriptor after its ','; false at the end
  // of the stream.
  static bool ReadImageDesc(CCodecFile* fp, ImageDesc& desc);
  static bool SkipImage(CCodecFile* fp, const ImageDesc& d);
  // Decodes one image's LZW data into the rows of pic; the stream ends up
  // after the image's data. False when the code size is bad; bad codes
  // inside the data are tolerated.
  bool DecodeImageData(CCodecFile* fp, CBaseImage& pic, bool interlaced);
  bool out_line(const BYTE* pixels, long linelen);
  // Takes the pixels of a composed picture while keeping this object's
  // settings.
  void TakeResult(CBaseImage& pic);
  // The composed screen as this picture: indexed at the depth of its table,
  // or 24-bit with the transparent colour.
  bool TakeScreen(const codec::CGifScreen& screen);

  // ---- encoding ----
  void EncodeHeader(CCodecFile* fp);
  void EncodeExtension(CCodecFile* fp);
  void EncodeComment(CCodecFile* fp);
  bool EncodeBody(CCodecFile* fp, bool bLocalColorMap);
  bool EncodeRGB(CCodecFile* fp);
  // Header, control block, comment, the one image and the trailer of a
  // palettised picture.
  void EncodeIndexed(CCodecFile* fp);
  // This true-colour picture as a palettised one (the transparent colour
  // entry 0); false when it has more than 256 colours.
  bool MakePalettised(CCodecGIF& out);
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
