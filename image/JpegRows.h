// JPEG files decoded row by row by libjpeg with the settings of the codec
// layer's JPEG decoder (integer transform, smooth chroma upsampling,
// blue-green-red output, the same memory and scan limits), so the pixels are
// those a picture loaded through the codec layer holds. Rows are written
// straight where the caller wants them, a batch at a time: into a picture's
// own pixel block, or into rows that a reduction empties while the decoder
// goes on.
#pragma once

#include <cstddef>
#include <cstdio>

#include "platform/base.h"

// Where a JPEG comes from: bytes in memory, or (without bytes) an open file,
// read from where it stands.
struct CJpegSource {
  const BYTE* data = nullptr;
  size_t size = 0;
  FILE* file = nullptr;
};

struct CJpegInfo {
  int width = 0;
  int height = 0;
  int components = 0;  // of the output: 3 for colour, 1 for grey
};
// The header; false when libjpeg cannot read it.
bool ReadJpegInfo(const CJpegSource& source, CJpegInfo& info);
bool ReadJpegInfo(const BYTE* data, size_t size, CJpegInfo& info);

// Where decoded rows go: getRows gives the addresses of rows first ..
// first + count - 1 (from the top) before they are written; rowsDone tells
// how many rows are written. Both may be null-context plain functions.
struct CJpegRowSink {
  void (*getRows)(void* context, int first, int count, BYTE** rows) = nullptr;
  void (*rowsDone)(void* context, int rows) = nullptr;
  void* context = nullptr;
};
// Rows of a 24-bit block with rows from the bottom.
struct CJpegBlockSink : CJpegRowSink {
  CJpegBlockSink(BYTE* bits, std::ptrdiff_t stride, int height);
  BYTE* bits;
  std::ptrdiff_t stride;
  int height;
};
// Decodes a three-component JPEG, top row first, in batches of at most 16
// rows of 3 x width bytes. With greyAsColour a one-component JPEG is taken
// too, each grey written as three equal bytes. False on a decoding error
// (rows written so far stay), on another component count, on a size that
// differs from the given one, on more than 1000 progressive scans, or on a
// picture or a need of memory beyond what the codec layer allows.
bool DecodeJpegRows(const CJpegSource& source, int width, int height, const CJpegRowSink& sink,
                    bool greyAsColour = false);
bool DecodeJpegRows(const BYTE* data, size_t size, int width, int height, const CJpegRowSink& sink);
