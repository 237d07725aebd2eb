// JPEG through libjpeg. libjpeg reports errors by longjmp: the jump target
// lives in the small C-style functions DecodeCore and EncodeCore, which hold
// no C++ objects with destructors, and the stream callbacks hold none either
// when they raise an error.
#include "image/codec/CodecJPG.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "image/codec/CodecFile.h"
#include "image/codec/CodecUtil.h"

namespace {

constexpr size_t kBufferSize = 4096;
// Progressive streams with more scans than this are refused: each scan is a
// pass over the whole picture.
constexpr int kMaxScans = 1000;

struct JpegError {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char* text;  // the image's last-error text (256 bytes)
};

// Leaves the decode or encode: the text becomes the image's last error and
// control jumps back to the set-up in DecodeCore or EncodeCore.
[[noreturn]] void Fail(j_common_ptr cinfo, const char* text) {
  JpegError* err = reinterpret_cast<JpegError*>(cinfo->err);
  std::snprintf(err->text, 256, "%s", text);
  std::longjmp(err->jump, 1);
}

void ErrorExit(j_common_ptr cinfo) {
  char buffer[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, buffer);
  Fail(cinfo, buffer);
}

// Warnings (a truncated stream, a corrupt marker) are not shown anywhere.
void OutputMessage(j_common_ptr) {}

// libjpeg's error manager for one decode or encode: errors end in Fail with
// the image's last-error text; the caller sets the jump target.
jpeg_error_mgr* BindErrors(JpegError& jerr, CCodecJPG* image) {
  jpeg_error_mgr* pub = jpeg_std_error(&jerr.pub);
  jerr.pub.error_exit = ErrorExit;
  jerr.pub.output_message = OutputMessage;
  jerr.text = const_cast<char*>(image->GetLastError());
  return pub;
}

// The stream binding: libjpeg's source and destination managers over a
// codec stream with one 4096-byte buffer.
struct CJpegStream {
  jpeg_destination_mgr dest;
  jpeg_source_mgr src;
  CCodecFile* file;
  JOCTET buffer[kBufferSize];
  boolean start_of_file;
};

CJpegStream* StreamOf(j_compress_ptr cinfo) { return reinterpret_cast<CJpegStream*>(cinfo->dest); }
CJpegStream* StreamOf(j_decompress_ptr cinfo) {
  return reinterpret_cast<CJpegStream*>(reinterpret_cast<char*>(cinfo->src) - offsetof(CJpegStream, src));
}

void InitDestination(j_compress_ptr cinfo) {
  CJpegStream* s = StreamOf(cinfo);
  s->dest.next_output_byte = s->buffer;
  s->dest.free_in_buffer = kBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  CJpegStream* s = StreamOf(cinfo);
  if (s->file->Write(s->buffer, 1, kBufferSize) != kBufferSize) ERREXIT(cinfo, JERR_FILE_WRITE);
  s->dest.next_output_byte = s->buffer;
  s->dest.free_in_buffer = kBufferSize;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  CJpegStream* s = StreamOf(cinfo);
  const size_t count = kBufferSize - s->dest.free_in_buffer;
  if (count > 0 && s->file->Write(s->buffer, 1, count) != count) ERREXIT(cinfo, JERR_FILE_WRITE);
  s->file->Flush();
  if (s->file->Error()) ERREXIT(cinfo, JERR_FILE_WRITE);
}

void InitSource(j_decompress_ptr cinfo) { StreamOf(cinfo)->start_of_file = TRUE; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  CJpegStream* s = StreamOf(cinfo);
  size_t nbytes = s->file->Read(s->buffer, 1, kBufferSize);
  if (nbytes == 0) {
    if (s->start_of_file) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    s->buffer[0] = 0xFF;
    s->buffer[1] = JPEG_EOI;
    nbytes = 2;
  }
  s->src.next_input_byte = s->buffer;
  s->src.bytes_in_buffer = nbytes;
  s->start_of_file = FALSE;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long num_bytes) {
  CJpegStream* s = StreamOf(cinfo);
  if (num_bytes <= 0) return;
  while (num_bytes > static_cast<long>(s->src.bytes_in_buffer)) {
    num_bytes -= static_cast<long>(s->src.bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  s->src.next_input_byte += num_bytes;
  s->src.bytes_in_buffer -= static_cast<size_t>(num_bytes);
}

void TermSource(j_decompress_ptr) {}

void ScanLimit(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    Fail(cinfo, "too many scans in progressive JPEG");
  }
}

// Everything one decode needs, in one plain block.
struct DecodeState {
  jpeg_decompress_struct cinfo;
  JpegError jerr;
  jpeg_progress_mgr progress;
  CJpegStream stream;
  CCodecJPG* image;
  bool exif;
  float xres, yres, resunit;
};

bool DecodeCore(DecodeState* st) {
  CCodecJPG* img = st->image;
  st->cinfo.err = BindErrors(st->jerr, img);
  if (setjmp(st->jerr.jump)) {
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }
  jpeg_create_decompress(&st->cinfo);
  st->progress.progress_monitor = ScanLimit;
  st->cinfo.progress = &st->progress;
  st->cinfo.mem->max_memory_to_use = static_cast<long>(CBaseImage::GetMemoryLimit() * 3);

  st->stream.src.init_source = InitSource;
  st->stream.src.fill_input_buffer = FillInputBuffer;
  st->stream.src.skip_input_data = SkipInputData;
  st->stream.src.resync_to_restart = jpeg_resync_to_restart;
  st->stream.src.term_source = TermSource;
  st->stream.src.bytes_in_buffer = 0;
  st->stream.src.next_input_byte = nullptr;
  st->cinfo.src = &st->stream.src;

  jpeg_read_header(&st->cinfo, TRUE);

  const DWORD opt = img->GetCodecOption(CODEC_FORMAT_JPG);
  if (opt & CCodecJPG::DECODE_GRAYSCALE) st->cinfo.out_color_space = JCS_GRAYSCALE;
  if (opt & CCodecJPG::DECODE_NOSMOOTH) st->cinfo.do_fancy_upsampling = FALSE;
  if (img->GetJpegScale() > 0) {
    st->cinfo.scale_num = 1;
    st->cinfo.scale_denom = img->GetJpegScale();
  }
  if (st->cinfo.out_color_space == JCS_RGB) st->cinfo.out_color_space = JCS_EXT_BGR;

  jpeg_calc_output_dimensions(&st->cinfo);
  if (st->cinfo.output_components != 1 && st->cinfo.output_components != 3 && st->cinfo.output_components != 4) {
    img->SetLastError("unsupported JPEG colour space");
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }
  if (!CBaseImage::FitsMemoryLimit(st->cinfo.output_width, st->cinfo.output_height,
                                   8 * static_cast<std::uint64_t>(st->cinfo.output_components))) {
    img->SetLastError("CODEC_MAX_MEMORY exceeded");
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }

  jpeg_start_decompress(&st->cinfo);
  const int components = st->cinfo.output_components;
  const DWORD width = st->cinfo.output_width, height = st->cinfo.output_height;
  if (!img->Create(width, height, 8 * static_cast<DWORD>(components), CODEC_FORMAT_JPG)) {
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }

  if (st->exif) {
    if (st->resunit != 0 && st->xres != 0) img->SetXDPI(codec::TruncToRange(st->xres / st->resunit, 0, 0x7FFFFFFF));
    if (st->resunit != 0 && st->yres != 0) img->SetYDPI(codec::TruncToRange(st->yres / st->resunit, 0, 0x7FFFFFFF));
  } else if (st->cinfo.density_unit == 2) {
    img->SetXDPI(static_cast<long>(std::floor(st->cinfo.X_density * 2.54 + 0.5)));
    img->SetYDPI(static_cast<long>(std::floor(st->cinfo.Y_density * 2.54 + 0.5)));
  } else {
    img->SetXDPI(st->cinfo.X_density);
    img->SetYDPI(st->cinfo.Y_density);
  }

  if (components == 1) img->SetGrayPalette();

  JSAMPARRAY buffer = nullptr;
  if (components == 4) {
    buffer = (*st->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&st->cinfo), JPOOL_IMAGE,
                                           width * static_cast<JDIMENSION>(components), 1);
  }
  const DWORD stride = img->GetEffWidth();
  for (DWORD row = 0; st->cinfo.output_scanline < st->cinfo.output_height; ++row) {
    if (img->GetEscape()) {
      img->SetLastError("Cancelled");
      jpeg_destroy_decompress(&st->cinfo);
      return false;
    }
    // Rows go from the top of the picture down.
    BYTE* dst = img->GetBits(height - 1 - row);
    if (components == 4) {
      jpeg_read_scanlines(&st->cinfo, buffer, 1);
      // CMYK as libjpeg delivers it (inverted, as Adobe writes it).
      const BYTE* src = buffer[0];
      for (DWORD x = 0, j = 0; x < width && j + 2 < stride; ++x, j += 3) {
        const unsigned c = src[4 * x], m = src[4 * x + 1], y = src[4 * x + 2], k = src[4 * x + 3];
        dst[j] = static_cast<BYTE>(y * k / 255);
        dst[j + 1] = static_cast<BYTE>(m * k / 255);
        dst[j + 2] = static_cast<BYTE>(c * k / 255);
      }
    } else {
      JSAMPROW rowp = dst;
      jpeg_read_scanlines(&st->cinfo, &rowp, 1);
    }
  }
  jpeg_finish_decompress(&st->cinfo);
  jpeg_destroy_decompress(&st->cinfo);
  return true;
}

struct EncodeState {
  jpeg_compress_struct cinfo;
  JpegError jerr;
  CJpegStream stream;
  CCodecJPG* image;
  CCodecFile* file;
  BYTE* row;
};

bool EncodeCore(EncodeState* st) {
  CCodecJPG* img = st->image;
  st->cinfo.err = BindErrors(st->jerr, img);
  if (setjmp(st->jerr.jump)) {
    jpeg_destroy_compress(&st->cinfo);
    return false;
  }
  jpeg_create_compress(&st->cinfo);
  st->stream.file = st->file;
  st->stream.dest.init_destination = InitDestination;
  st->stream.dest.empty_output_buffer = EmptyOutputBuffer;
  st->stream.dest.term_destination = TermDestination;
  st->cinfo.dest = &st->stream.dest;

  const bool grey = img->GetBpp() <= 8;
  st->cinfo.image_width = img->GetWidth();
  st->cinfo.image_height = img->GetHeight();
  st->cinfo.input_components = grey ? 1 : 3;
  st->cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&st->cinfo);

  const DWORD opt = img->GetCodecOption(CODEC_FORMAT_JPG);
  if (opt & CCodecJPG::ENCODE_ARITHMETIC) st->cinfo.arith_code = TRUE;
  if (opt & CCodecJPG::ENCODE_OPTIMIZE) st->cinfo.optimize_coding = TRUE;
  if (opt & CCodecJPG::ENCODE_GRAYSCALE) jpeg_set_colorspace(&st->cinfo, JCS_GRAYSCALE);
  if (opt & CCodecJPG::ENCODE_PROGRESSIVE) jpeg_simple_progression(&st->cinfo);
  jpeg_set_quality(&st->cinfo, img->GetJpegQuality(), (opt & CCodecJPG::ENCODE_BASELINE) ? TRUE : FALSE);

  st->cinfo.density_unit = 1;
  st->cinfo.X_density = static_cast<UINT16>(std::min<long>(std::max<long>(img->GetXDPI(), 0), 65535));
  st->cinfo.Y_density = static_cast<UINT16>(std::min<long>(std::max<long>(img->GetYDPI(), 0), 65535));

  jpeg_start_compress(&st->cinfo, TRUE);
  const DWORD height = img->GetHeight();
  for (DWORD row = 0; st->cinfo.next_scanline < st->cinfo.image_height; ++row) {
    JSAMPROW rowp = img->GetBits(height - 1 - row);
    jpeg_write_scanlines(&st->cinfo, &rowp, 1);
  }
  jpeg_finish_compress(&st->cinfo);
  jpeg_destroy_compress(&st->cinfo);
  return true;
}

}  // namespace

CCodecJPG::CCodecJPG() : CBaseImage(CODEC_FORMAT_JPG), m_exif(nullptr), m_nSmoothing(0), m_nDither(0) {
  std::memset(&m_exifinfo, 0, sizeof(m_exifinfo));
}

CCodecJPG::~CCodecJPG() { delete m_exif; }

bool CCodecJPG::DecodeExif(CCodecFile* hFile) {
  delete m_exif;
  std::memset(&m_exifinfo, 0, sizeof(m_exifinfo));
  m_exif = new CJpegExif(&m_exifinfo);
  const long pos = hFile->Tell();
  m_exif->ReadSections(hFile, CJpegExif::EXIF_READ_EXIF);
  hFile->Seek(pos, SEEK_SET);
  return m_exifinfo.IsExif;
}

bool CCodecJPG::Decode(CCodecFile* hFile) {
  if (!hFile) return false;
  const bool exif = DecodeExif(hFile);
  DecodeState* st = static_cast<DecodeState*>(std::calloc(1, sizeof(DecodeState)));
  if (!st) {
    SetLastError("CBaseImage::Create can't allocate memory");
    return false;
  }
  st->image = this;
  st->stream.file = hFile;
  st->exif = exif;
  st->xres = m_exifinfo.Xresolution;
  st->yres = m_exifinfo.Yresolution;
  st->resunit = m_exifinfo.ResolutionUnit;
  const bool ok = DecodeCore(st);
  std::free(st);
  return ok;
}

bool CCodecJPG::Encode(CCodecFile* hFile) {
  if (EncodeSafeCheck(hFile)) return false;
  if (GetBpp() <= 8 && !IsGrayScale()) {
    SetLastError("JPEG can save only RGB or GreyScale images");
    return false;
  }
  EncodeState* st = static_cast<EncodeState*>(std::calloc(1, sizeof(EncodeState)));
  if (!st) {
    SetLastError("CBaseImage::Create can't allocate memory");
    return false;
  }
  st->image = this;
  st->file = hFile;
  const bool ok = EncodeCore(st);
  std::free(st);
  return ok;
}
