// The area-averaging reduction of a 24-bit picture to a smaller size: the
// pixel rows it reads and writes, and the reduction itself, cut into bands
// of target rows that run on any thread in any order. Pictures are resized
// with it (CImage::CreateResized, ScaleBitmap), and the design builder runs
// it while a picture is still decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/LargeArray.h"
#include "platform/base.h"

// 24-bit pixels as the reduction reads and writes them: rows from the bottom, `stride`
// bytes apart, each pixel blue, green, red. Either a view of a picture's own
// block or a block of its own.
struct CSampleImage {
  const BYTE* bits = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
  std::vector<BYTE, CLargeBlockAllocator<BYTE>> own;  // large blocks in page memory

  bool IsEmpty() const { return !bits || width <= 0 || height <= 0; }
  const BYTE* Pixel(int x, int y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride + 3 * x; }
};

// Where the source rows of a reduction are, by row from the top: a picture's
// block (rows from the bottom), or a ring of `ringRows` rows in which row sy
// sits at slot sy mod ringRows.
struct CSourceRows {
  const BYTE* base = nullptr;
  std::ptrdiff_t stride = 0;
  int height = 0;
  int ringRows = 0;
  const BYTE* Row(int sy) const {
    return ringRows ? base + static_cast<std::ptrdiff_t>(sy % ringRows) * stride
                    : base + static_cast<std::ptrdiff_t>(height - 1 - sy) * stride;
  }
};

// The reduction of a W x H picture to w' x h' (both not larger) by area
// averaging, as pictures are resized (CImage::CreateResized, ScaleBitmap): the source
// rows are walked from the top, a row or column that straddles two target
// rows or columns is split between them by its overhang, every term is
// added in single precision in the order of the source pixels, and each
// target byte is trunc(sum x (w' x h') / (W x H) + 0.5).
//
// The target rows are cut into bands. A band adds only into its own target
// rows, so bands run on any thread in any order with the same results; each
// band needs the source rows from the top down to RowsNeeded(band).
class CAreaReduction {
 public:
  // False when either size is empty or the target is larger either way.
  bool Plan(int sourceWidth, int sourceHeight, int width, int height, int bands);
  // The same, the reduced rows written into the caller's block (rows from
  // the bottom, `stride` bytes apart) instead of a block of its own.
  bool Plan(int sourceWidth, int sourceHeight, int width, int height, int bands, BYTE* out, std::ptrdiff_t stride);
  int GetBandCount() const { return static_cast<int>(bandStart_.size()) - 1; }
  // The first source row a band reads, and how many rows from the top it
  // needs to have (its last row + 1).
  int FirstRowNeeded(int band) const;
  int RowsNeeded(int band) const;
  // The most source rows one band reads.
  int GetMaxBandRows() const;
  // The first target row (from the top) of a band; the target height for
  // the band count.
  int GetBandStart(int band) const { return bandStart_[static_cast<size_t>(band)]; }
  // Reduces one band from the source rows.
  void RunBand(int band, const CSourceRows& rows);
  // The reduced picture (complete once every band has run), in its own
  // block or the caller's.
  const CSampleImage& GetResult() const { return result_; }

 private:
  // One target column: the part of the straddling pixel before it (lead),
  // its whole pixels, and its own straddling pixel (tail).
  struct Column {
    int lead = -1;  // source column of the straddling pixel before, or -1
    float leadWeight = 0;
    int first = 0;  // whole pixels first .. end - 1
    int end = 0;
    int tail = -1;  // own straddling source column, or -1
    float tailWeight = 0;
  };
  void AddRow(const BYTE* row, float* acc, bool weighted, float weight) const;

  int sourceWidth_ = 0, sourceHeight_ = 0, width_ = 0, height_ = 0;
  float factor_ = 0;
  std::vector<Column> columns_;
  std::vector<int> rowTarget_;  // target row of each source row (from the top)
  std::vector<BYTE> rowSplit_;  // 1 when the row straddles two target rows
  std::vector<float> rowNext_;  // the share of a straddling row in the next target row
  std::vector<int> firstRow_;   // first source row of each target row, plus the end
  std::vector<int> bandStart_;  // first target row of each band, plus the end
  CSampleImage result_;
  BYTE* out_ = nullptr;  // the result's rows
  std::ptrdiff_t outStride_ = 0;
};
