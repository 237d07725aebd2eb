// JPEG decoding row by row: the file's bytes in memory or an open file,
// decoded by libjpeg with the codec layer's settings straight into the
// caller's rows, a batch of rows at a time.
//
// libjpeg reports errors with longjmp. The jump targets are the two small
// C-style functions below; their state is one plain struct, and no object
// with a destructor is alive in them. The rows callbacks return before the
// next libjpeg call, so nothing they make can be jumped over.
#include "image/JpegRows.h"

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "image/codec/BaseImage.h"

namespace {

constexpr int kMaxScans = 1000;  // as the codec layer allows
constexpr int kRowBatch = 16;

struct RowsJpegError {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

void RowsJpegErrorExit(j_common_ptr cinfo) {
  RowsJpegError* err = reinterpret_cast<RowsJpegError*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void RowsJpegSilent(j_common_ptr) {}

void RowsJpegScanLimit(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) std::longjmp(reinterpret_cast<RowsJpegError*>(cinfo->err)->jump, 1);
}

struct RowsJpegState {
  jpeg_decompress_struct cinfo;
  RowsJpegError jerr;
  jpeg_progress_mgr progress;
  CJpegSource source;
  // Decoding only.
  int width;
  int height;
  bool greyAsColour;
  const CJpegRowSink* sink;
  // Header only.
  int outWidth;
  int outHeight;
  int outComponents;
};

void SetUp(RowsJpegState* st) {
  st->cinfo.err = jpeg_std_error(&st->jerr.pub);
  st->jerr.pub.error_exit = RowsJpegErrorExit;
  st->jerr.pub.output_message = RowsJpegSilent;
}

void Open(RowsJpegState* st) {
  jpeg_create_decompress(&st->cinfo);
  st->progress.progress_monitor = RowsJpegScanLimit;
  st->cinfo.progress = &st->progress;
  st->cinfo.mem->max_memory_to_use = static_cast<long>(CBaseImage::GetMemoryLimit() * 3);
  if (st->source.data) jpeg_mem_src(&st->cinfo, st->source.data, static_cast<unsigned long>(st->source.size));
  else jpeg_stdio_src(&st->cinfo, st->source.file);
  jpeg_read_header(&st->cinfo, TRUE);
  // The codec layer's output: three components as blue, green, red.
  if (st->cinfo.out_color_space == JCS_RGB) st->cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_calc_output_dimensions(&st->cinfo);
}

bool HeaderCore(RowsJpegState* st) {
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

// Widens grey rows of `width` bytes, in place, to three equal bytes a pixel
// (from the right, so no byte is read after it is overwritten).
void GreyToColour(BYTE** rows, int count, int width) {
  for (int k = 0; k < count; ++k) {
    BYTE* row = rows[k];
    for (int x = width - 1; x >= 0; --x) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = row[x];
  }
}

bool DecodeCore(RowsJpegState* st) {
  SetUp(st);
  if (setjmp(st->jerr.jump)) {
    jpeg_destroy_decompress(&st->cinfo);
    return false;
  }
  Open(st);
  const bool colour = st->cinfo.output_components == 3 && st->cinfo.out_color_space == JCS_EXT_BGR;
  const bool grey = st->greyAsColour && st->cinfo.output_components == 1 && st->cinfo.out_color_space == JCS_GRAYSCALE;
  if ((!colour && !grey) || static_cast<int>(st->cinfo.output_width) != st->width ||
      static_cast<int>(st->cinfo.output_height) != st->height ||
      !CBaseImage::FitsMemoryLimit(st->cinfo.output_width, st->cinfo.output_height,
                                   8 * static_cast<std::uint64_t>(st->cinfo.output_components))) {
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
    const int got = static_cast<int>(jpeg_read_scanlines(&st->cinfo, rows, static_cast<JDIMENSION>(n)));
    if (grey) GreyToColour(reinterpret_cast<BYTE**>(rows), got, st->width);
    if (st->sink->rowsDone) st->sink->rowsDone(st->sink->context, static_cast<int>(st->cinfo.output_scanline));
  }
  jpeg_finish_decompress(&st->cinfo);
  jpeg_destroy_decompress(&st->cinfo);
  return true;
}

bool UsableSource(const CJpegSource& source) {
  if (source.data) return source.size >= 4 && source.size <= 0xFFFFFFFFu;
  return source.file != nullptr;
}

}  // namespace

bool ReadJpegInfo(const CJpegSource& source, CJpegInfo& info) {
  if (!UsableSource(source)) return false;
  RowsJpegState* st = static_cast<RowsJpegState*>(std::calloc(1, sizeof(RowsJpegState)));
  if (!st) return false;
  st->source = source;
  const bool ok = HeaderCore(st);
  if (ok) {
    info.width = st->outWidth;
    info.height = st->outHeight;
    info.components = st->outComponents;
  }
  std::free(st);
  return ok;
}

bool ReadJpegInfo(const BYTE* data, size_t size, CJpegInfo& info) {
  CJpegSource source;
  source.data = data;
  source.size = size;
  return data && ReadJpegInfo(source, info);
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

bool DecodeJpegRows(const CJpegSource& source, int width, int height, const CJpegRowSink& sink, bool greyAsColour) {
  if (!UsableSource(source) || !sink.getRows || width <= 0 || height <= 0) return false;
  RowsJpegState* st = static_cast<RowsJpegState*>(std::calloc(1, sizeof(RowsJpegState)));
  if (!st) return false;
  st->source = source;
  st->width = width;
  st->height = height;
  st->greyAsColour = greyAsColour;
  st->sink = &sink;
  const bool ok = DecodeCore(st);
  std::free(st);
  return ok;
}

bool DecodeJpegRows(const BYTE* data, size_t size, int width, int height, const CJpegRowSink& sink) {
  CJpegSource source;
  source.data = data;
  source.size = size;
  return data && DecodeJpegRows(source, width, height, sink);
}
