// The picture side of the design builder: the 24-bit pixel rows it samples,
// the pipeline that runs the area-averaging reduction of a large picture to
// one pixel per bead on several threads while the picture is still decoding,
// and the small task runner they share. The reduction (CAreaReduction) and
// the JPEG row decoder (DecodeJpegRows) are the picture library's.
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

#include "image/AreaReduction.h"
#include "image/JpegRows.h"
#include "platform/base.h"

class CImage;

// A view of a 24-bit picture's pixel block, or a copy of any other picture's
// colours (GetPixelRGB). False for an empty picture.
bool MakeSampleImage(const CImage& picture, CSampleImage& out);

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
