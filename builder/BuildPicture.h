// The picture side of the design builder: the 24-bit pixel rows it samples,
// the area-averaging reduction of a large picture to one pixel per bead
// (split into bands of target rows that run on several threads, also while
// the picture is still decoding), the JPEG decoder that writes a picture's
// rows straight into its pixel block, and the small task runner they share.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/LargeArray.h"
#include "platform/base.h"

class CImage;

// 24-bit pixels as the builder reads them: rows from the bottom, `stride`
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

// A view of a 24-bit picture's pixel block, or a copy of any other picture's
// colours (GetPixelRGB). False for an empty picture.
bool MakeSampleImage(const CImage& picture, CSampleImage& out);

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
// averaging, exactly as CImage::CreateResized reduces a picture: the source
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
  // The reduced picture (complete once every band has run).
  const CSampleImage& GetResult() const { return result_; }

 private:
  // One target column: the part of the straddling pixel before it (lead),
  // its whole pixels, and its own straddling pixel (tail).
  struct Column {
    int lead = -1;       // source column of the straddling pixel before, or -1
    float leadWeight = 0;
    int first = 0;       // whole pixels first .. end - 1
    int end = 0;
    int tail = -1;       // own straddling source column, or -1
    float tailWeight = 0;
  };
  void AddRow(const BYTE* row, float* acc, bool weighted, float weight) const;

  int sourceWidth_ = 0, sourceHeight_ = 0, width_ = 0, height_ = 0;
  float factor_ = 0;
  std::vector<Column> columns_;
  std::vector<int> rowTarget_;    // target row of each source row (from the top)
  std::vector<BYTE> rowSplit_;    // 1 when the row straddles two target rows
  std::vector<float> rowNext_;    // the share of a straddling row in the next target row
  std::vector<int> firstRow_;     // first source row of each target row, plus the end
  std::vector<int> bandStart_;    // first target row of each band, plus the end
  CSampleImage result_;
};

// How many threads a job of `work` units (pixels or beads) may use: 1 for
// small jobs, otherwise the processors (at most 16).
int BuilderThreadCount(long long work);

// Runs body(task, worker) for tasks 0 .. count - 1 on up to `threads`
// threads, the calling thread among them (worker 0; the others 1, 2, ...).
// The calling thread calls afterTask() after each of its own tasks. The
// first exception thrown by a task stops the others from starting and is
// thrown again on the calling thread. Answers the number of workers used.
int RunBuilderTasks(int count, int threads, const std::function<void(int task, int worker)>& body,
                    const std::function<void()>& afterTask = {});

// Runs a reduction's bands on helper threads while the calling thread
// decodes the source rows. Helpers take the bands in order and wait until
// their rows are decoded. With a ring of rows, the decoder waits before it
// overwrites rows that an unfinished band still needs, and runs ready bands
// itself meanwhile (so one thread alone makes progress too).
class CReductionPipeline {
 public:
  CReductionPipeline(CAreaReduction& reduction, const CSourceRows& rows, int helpers);
  // Stops and joins the helpers.
  ~CReductionPipeline();
  CReductionPipeline(const CReductionPipeline&) = delete;
  CReductionPipeline& operator=(const CReductionPipeline&) = delete;

  // Before the decoder writes rows first .. first + count - 1.
  void BeforeRows(int first, int count);
  // The rows from the top that are decoded.
  void RowsDecoded(int rows);
  // After the last row: runs the bands that are left and waits for all.
  // Throws what a band threw.
  void Finish();
  // A failed decoding: stops every band.
  void Abort();

  // Work that follows the reduction, set before the first row: `prepare`
  // runs once, first, on a helper (or in Finish when there is none); then
  // task k runs (on a helper, or in Finish) once the first readyAt(k) target
  // rows from the top are reduced; tasks are started in order. Finish waits
  // for them too.
  void SetFollowUp(int count, std::function<int(int task)> readyAt,
                   std::function<void(int task, int worker)> run, std::function<void()> prepare);

 private:
  // With the lock held.
  bool TakeReadyBand(int& band);
  bool TakeReadyFollowUp(int& task);
  bool FollowUpReady() const;
  int ReducedRows() const;
  // Runs the job without the lock; false (and the pipeline failed) when it
  // threw.
  template <typename Job>
  bool RunUnlocked(std::unique_lock<std::mutex>& lock, Job&& job);
  void RunOne(int band, std::unique_lock<std::mutex>& lock);
  void RunFollowUp(int task, int worker, std::unique_lock<std::mutex>& lock);
  void RunPrepare(std::unique_lock<std::mutex>& lock);
  // Runs one job that is ready, the preparation first, then a band, then
  // follow-up work (as `worker`); false when none is ready.
  bool RunReadyJob(int worker, std::unique_lock<std::mutex>& lock);
  void Fail(std::unique_lock<std::mutex>& lock);
  void HelperLoop(int worker);

  CAreaReduction& reduction_;
  CSourceRows rows_;
  std::mutex mutex_;
  std::condition_variable rowsReady_;  // helpers wait for rows
  std::condition_variable bandDone_;   // the decoder waits for bands
  int decoded_ = 0;
  int waitingFor_ = 0;  // rows the earliest waiting helper needs; 0 = none waits
  int nextBand_ = 0;
  int lowestUnfinished_ = 0;
  std::vector<BYTE> done_;
  bool aborted_ = false;
  bool decoderWaits_ = false;
  int helpersIdle_ = 0;
  // Follow-up work.
  int followCount_ = 0;
  int nextFollowUp_ = 0;
  int followUpsDone_ = 0;
  std::function<int(int)> followReadyAt_;
  std::function<void(int, int)> followRun_;
  std::function<void()> prepare_;
  bool prepareTaken_ = true;  // no preparation until one is set
  bool prepared_ = true;
  std::exception_ptr error_;
  std::vector<std::thread> helpers_;
};

// JPEG files for the builder, decoded with the settings of the picture
// loader (integer DCT, smooth chroma upsampling, blue-green-red output), so
// the pixels are those a loaded picture holds.
struct CJpegInfo {
  int width = 0;
  int height = 0;
  int components = 0;
};
// The header of a JPEG held in memory; false when libjpeg cannot read it.
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
// rows. False on a decoding error (rows written so far stay), on another
// component count, on a size that differs from the given one, or on more
// than 1000 progressive scans.
bool DecodeJpegRows(const BYTE* data, size_t size, int width, int height, const CJpegRowSink& sink);
