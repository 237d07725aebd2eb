// JPEG decoding for the design builder: the file's bytes in memory, decoded
// by libjpeg with the picture loader's settings straight into a picture's
// rows, a batch of rows at a time, so that the reduction can start on the
// rows already decoded.
//
// libjpeg reports errors with longjmp. The jump targets are the two small
// C-style functions below; their state is one plain struct, and no object
// with a destructor is alive in them. The rows callback returns before the
// next libjpeg call, so nothing it makes can be jumped over.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "builder/BuildPicture.h"

namespace {

constexpr int kMaxScans = 1000;  // as the picture loader allows
constexpr int kRowBatch = 16;

struct BuildJpegError {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

void BuildJpegErrorExit(j_common_ptr cinfo) {
  BuildJpegError* err = reinterpret_cast<BuildJpegError*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void BuildJpegSilent(j_common_ptr) {}

void BuildJpegScanLimit(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) std::longjmp(reinterpret_cast<BuildJpegError*>(cinfo->err)->jump, 1);
}

struct BuildJpegState {
  jpeg_decompress_struct cinfo;
  BuildJpegError jerr;
  jpeg_progress_mgr progress;
  const BYTE* data;
  size_t size;
  // Decoding only.
  int width;
  int height;
  const CJpegRowSink* sink;
  // Header only.
  int outWidth;
  int outHeight;
  int outComponents;
};

void SetUp(BuildJpegState* st) {
  st->cinfo.err = jpeg_std_error(&st->jerr.pub);
  st->jerr.pub.error_exit = BuildJpegErrorExit;
  st->jerr.pub.output_message = BuildJpegSilent;
}

void Open(BuildJpegState* st) {
  jpeg_create_decompress(&st->cinfo);
  st->progress.progress_monitor = BuildJpegScanLimit;
  st->cinfo.progress = &st->progress;
  jpeg_mem_src(&st->cinfo, st->data, static_cast<unsigned long>(st->size));
  jpeg_read_header(&st->cinfo, TRUE);
  // The loader's output: three components as blue, green, red.
  if (st->cinfo.out_color_space == JCS_RGB) st->cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_calc_output_dimensions(&st->cinfo);
}

bool HeaderCore(BuildJpegState* st) {
  SetUp(st);
  if (setjmp(st->jerr.jump)) {
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }
  Open(st);
  st->outWidth = static_cast<int>(st->cinfo.output_width);
  st->outHeight = static_cast<int>(st->cinfo.output_height);
  st->outComponents = st->cinfo.output_components;
  jpeg_destroy_decompress(&st->cinfo);
  return true;
}

bool DecodeCore(BuildJpegState* st) {
  SetUp(st);
  if (setjmp(st->jerr.jump)) {
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }
  Open(st);
  if (st->cinfo.output_components != 3 || st->cinfo.out_color_space != JCS_EXT_BGR ||
      static_cast<int>(st->cinfo.output_width) != st->width ||
      static_cast<int>(st->cinfo.output_height) != st->height) {
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }
  jpeg_start_decompress(&st->cinfo);
  JSAMPROW rows[kRowBatch];
  while (st->cinfo.output_scanline < st->cinfo.output_height) {
    const int first = static_cast<int>(st->cinfo.output_scanline);
    int n = st->height - first;
    if (n > kRowBatch) n = kRowBatch;
    st->sink->getRows(st->sink->context, first, n, reinterpret_cast<BYTE**>(rows));
    // libjpeg may deliver fewer rows than asked; the rest are asked again.
    jpeg_read_scanlines(&st->cinfo, rows, static_cast<JDIMENSION>(n));
    if (st->sink->rowsDone) st->sink->rowsDone(st->sink->context, static_cast<int>(st->cinfo.output_scanline));
  }
  jpeg_finish_decompress(&st->cinfo);
  jpeg_destroy_decompress(&st->cinfo);
  return true;
}

}  // namespace

bool ReadJpegInfo(const BYTE* data, size_t size, CJpegInfo& info) {
  if (!data || size < 4 || size > 0xFFFFFFFFu) return false;
  BuildJpegState* st = static_cast<BuildJpegState*>(std::calloc(1, sizeof(BuildJpegState)));
  if (!st) return false;
  st->data = data;
  st->size = size;
  const bool ok = HeaderCore(st);
  if (ok) {
    info.width = st->outWidth;
    info.height = st->outHeight;
    info.components = st->outComponents;
  }
  std::free(st);
  return ok;
}

namespace {
void BlockRows(void* context, int first, int count, BYTE** rows) {
  const CJpegBlockSink* sink = static_cast<const CJpegBlockSink*>(context);
  // Row first + k from the top is block row height - 1 - first - k.
  for (int k = 0; k < count; ++k)
    rows[k] = sink->bits + static_cast<std::ptrdiff_t>(sink->height - 1 - first - k) * sink->stride;
}
}  // namespace

CJpegBlockSink::CJpegBlockSink(BYTE* blockBits, std::ptrdiff_t blockStride, int blockHeight)
    : bits(blockBits), stride(blockStride), height(blockHeight) {
  getRows = BlockRows;
  context = this;
}

bool DecodeJpegRows(const BYTE* data, size_t size, int width, int height, const CJpegRowSink& sink) {
  if (!data || size < 4 || size > 0xFFFFFFFFu || !sink.getRows || width <= 0 || height <= 0) return false;
  BuildJpegState* st = static_cast<BuildJpegState*>(std::calloc(1, sizeof(BuildJpegState)));
  if (!st) return false;
  st->data = data;
  st->size = size;
  st->width = width;
  st->height = height;
  st->sink = &sink;
  const bool ok = DecodeCore(st);
  std::free(st);
  return ok;
}
